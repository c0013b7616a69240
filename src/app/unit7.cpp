// TForm7: the about box.
#include "app/unit7.h"

#include "app/ui_support.h"

#include <QLabel>
#include <QPushButton>

TForm7::TForm7(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFixedSize(218, 89);
    Label1 = MakeLabel(this, "Label1", QStringLiteral("MOKARAN"), {8, 8});
    Label2 = MakeLabel(this, "Label2", QString(), {56, 32});
    Button1 = MakeButton(this, "Button1", QStringLiteral("閉じる"), {72, 56, 65, 25});
    connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
}

void TForm7::Button1Click()
{
    accept();
}
