// AboutDialog: the about box.
#include "windows/about_dialog.h"

#include "windows/window_support.h"

#include <QLabel>
#include <QPushButton>

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFixedSize(218, 89);
    Label1 = MakeLabel(this, "Label1", QStringLiteral("MOKARAN"), {8, 8});
    Label2 = MakeLabel(this, "Label2", QString(), {56, 32});
    Button1 = MakeButton(this, "Button1", QStringLiteral("閉じる"), {72, 56, 65, 25});
    connect(Button1, &QPushButton::clicked, this, &AboutDialog::Button1Click);
}

void AboutDialog::Button1Click()
{
    accept();
}
