// ValueDialog: the parameter dialog.
#include "windows/value_dialog.h"

#include "core/image/rounding.h"
#include "windows/clamping_spin_box.h"
#include "windows/window_support.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <limits>

ValueDialog::ValueDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form9"));
    setFixedSize(239, 136);
    SetDarkBackground(this);

    Label1 = MakeLabel(this, "Label1", QStringLiteral("Label1"), {16, 16});
    Label2 = MakeLabel(this, "Label2", QString(), {40, 40});
    Label2->setVisible(false);
    SpinEdit1 = new ClampingSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setGeometry(64, 48, 121, 21);
    SetSpinRange(0, 0);
    SpinEdit1->setValue(0);
    ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setGeometry(48, 56, 153, 16);
    ScrollBar1->setRange(0, 100);
    ScrollBar1->setValue(0);
    ScrollBar1->setVisible(false);
    Button1 = MakeButton(this, "Button1", QStringLiteral("決定"), {40, 96, 75, 25});
    Button2 = MakeButton(this, "Button2", QStringLiteral("キャンセル"), {136, 96, 75, 25});
    Button1->setDefault(true);

    connect(Button1, &QPushButton::clicked, this, &ValueDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &ValueDialog::Button2Click);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &ValueDialog::ScrollBar1Change);
}

void ValueDialog::SetSpinRange(int32_t minimum, int32_t maximum)
{
    if (minimum == maximum)
        SpinEdit1->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    else
        SpinEdit1->setRange(minimum, maximum);
}

void ValueDialog::AskValue(int kind, const QString &caption, const QString &prompt,
                           int32_t intDefault, double realDefault)
{
    IntValue = intDefault;
    RealValue = realDefault;
    SetLabelText(Label1, prompt);
    setWindowTitle(caption);
    // The position is set under the range the bar has now; the new range comes after it.
    ScrollBar1->setValue(int(Trunc((long double)realDefault * 100)));
    Accepted = false;
    if (kind == 1 || kind == 4) {
        SpinEdit1->setValue(IntValue);
        SpinEdit1->setVisible(true);
        ScrollBar1->setVisible(false);
        Label2->setVisible(false);
    } else if (kind == 2 || kind == 3) {
        ScrollBar1Change();
        SpinEdit1->setVisible(false);
        Label2->setVisible(true);
        ScrollBar1->setRange(1, kind == 2 ? 100 : 300);
        ScrollBar1->setVisible(true);
    }
    if (parentWidget()) // centred on the main window
        move(parentWidget()->frameGeometry().center() - rect().center());
}

void ValueDialog::Button1Click()
{
    IntValue = SpinEdit1->readValue();
    RealValue = double(ScrollBar1->value() * 0.01L);
    Accepted = true;
    accept();
}

void ValueDialog::Button2Click()
{
    reject();
}

void ValueDialog::ScrollBar1Change()
{
    // Shortest general form: 0.1, 1, 0.35, 2.5.
    SetLabelText(Label2, QString::number(double(ScrollBar1->value() * 0.01L), 'g', 15));
}
