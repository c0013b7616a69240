// TForm3: the cut-size dialog.
#include "dialogs/unit3.h"

#include "app/spinedit.h"
#include "app/ui_support.h"
#include "app/unit1.h"
#include "dialogs/cut_size.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

TSpinEdit *makeSpin(QWidget *parent, const char *name, QRect geometry)
{
    auto *spin = new TSpinEdit(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setGeometry(geometry);
    spin->setRange(3, 1500);
    return spin;
}

} // namespace

TForm3::TForm3(TForm1 &main) : QDialog(&main), m_main(main)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("切り取り画像サイズ設定"));
    setFixedSize(302, 194);
    SetDarkBackground(this);

    Label1 = MakeLabel(this, "Label1", QStringLiteral("切り取り画像サイズ設定"), {16, 12});
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(16, 34, 270, 24);
    ComboBox1->setEditable(false);
    ComboBox1->setMaxVisibleItems(10);
    Label3 = MakeLabel(this, "Label3", QStringLiteral("任意の切り取りサイズ"), {16, 76});
    Label2 = MakeLabel(this, "Label2", QStringLiteral("横幅"), {16, 104});
    SpinEdit1 = makeSpin(this, "SpinEdit1", {48, 100, 80, 24});
    Label4 = MakeLabel(this, "Label4", QStringLiteral("高さ"), {152, 104});
    SpinEdit2 = makeSpin(this, "SpinEdit2", {184, 100, 80, 24});
    Button1 = MakeButton(this, "Button1", QStringLiteral("決定"), {72, 150, 75, 25});
    Button2 = MakeButton(this, "Button2", QStringLiteral("閉じる"), {156, 150, 75, 25});

    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
}

void TForm3::Button1Click()
{
    // A value still being typed counts as it will once the field is left.
    const int width = SpinEdit1->readValue();
    const int height = SpinEdit2->readValue();
    ApplyCutSize(m_main.workspace(), ComboBox1->currentText(), width, height);
    m_main.UpdateSizeLabels();
    m_main.RefreshCanvas();
    accept();
}

void TForm3::Button2Click()
{
    reject();
}
