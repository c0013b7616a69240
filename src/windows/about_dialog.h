// AboutDialog: the about box.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget *parent);

    void Button1Click(); // close

    QLabel *Label1;       // "MOKARAN"
    QLabel *Label2;       // the version, set by the about command
    QPushButton *Button1; // "閉じる"
};
