// CutSizeDialog: the cut-size dialog. A preset from data.dat, or a free width and height.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class ClampingSpinBox;
class MainWindow;

class CutSizeDialog : public QDialog {
    Q_OBJECT
  public:
    explicit CutSizeDialog(MainWindow &main);

    void Button1Click(); // apply the chosen size and close
    void Button2Click(); // close without change

    QLabel *Label1;             // "切り取り画像サイズ設定": title
    QComboBox *ComboBox1;       // the preset names
    QLabel *Label3;             // "任意の切り取りサイズ": heading of the free size
    QLabel *Label2;             // "横幅"
    ClampingSpinBox *SpinEdit1; // free width
    QLabel *Label4;             // "高さ"
    ClampingSpinBox *SpinEdit2; // free height
    QPushButton *Button1;       // "決定"
    QPushButton *Button2;       // "閉じる"

  private:
    MainWindow &m_main;
};
