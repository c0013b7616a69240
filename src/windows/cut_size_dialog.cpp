// CutSizeDialog: the cut-size dialog.
#include "windows/cut_size_dialog.h"

#include "core/workspace/cut_size.h"
#include "windows/clamping_spin_box.h"
#include "windows/main_window.h"
#include "windows/window_support.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

ClampingSpinBox *makeSpin(QWidget *parent, const char *name, QRect geometry)
{
    auto *spin = new ClampingSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setGeometry(geometry);
    spin->setRange(3, 1500);
    return spin;
}

} // namespace

CutSizeDialog::CutSizeDialog(MainWindow &main) : QDialog(&main), m_main(main)
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

    connect(Button1, &QPushButton::clicked, this, &CutSizeDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &CutSizeDialog::Button2Click);
}

void CutSizeDialog::Button1Click()
{
    // A value still being typed counts as it will once the field is left.
    const int width = SpinEdit1->readValue();
    const int height = SpinEdit2->readValue();
    ApplyCutSize(m_main.workspace(), ComboBox1->currentText(), width, height);
    m_main.UpdateSizeLabels();
    m_main.RefreshCanvas();
    accept();
}

void CutSizeDialog::Button2Click()
{
    reject();
}
