// OutputDialog: the save and sequence dialog. Writes the cut once, as a continuous sequence,
// blended with a second picture, or faded from white or black, by OutputMode.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QFileDialog;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class MainWindow;

class OutputDialog : public QDialog {
    Q_OBJECT
  public:
    explicit OutputDialog(MainWindow &main);

    // Shows the cut at 1:1; of a larger cut only the top-left 1500 x 1500 pixels.
    void ShowPreview(const QImage &cut);

    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton8Click();
    void RadioButton11Click();
    void RadioButton4Click();
    void RadioButton5Click();
    void RadioButton6Click();
    void RadioButton7Click();
    void Button1Click(); // "保存する": the save of the current mode
    void Button2Click(); // "閉じる"
    void Button3Click(); // "合成用画像を開く"

    QLabel *Label1;              // the mode's title
    QPushButton *Button1;        // "保存する"
    QPushButton *Button3;        // "合成用画像を開く": alpha compositing only
    QPushButton *Button2;        // "閉じる"
    QGroupBox *GroupBox1;        // "移動量": move amount
    QRadioButton *RadioButton1;  // "大(15移動)"
    QRadioButton *RadioButton2;  // "中（8移動）"
    QRadioButton *RadioButton3;  // "小（3移動）"
    QRadioButton *RadioButton8;  // "移動量　１"
    QRadioButton *RadioButton11; // "切り取りサイズ": tiles
    QGroupBox *GroupBox2;        // "移動動作": direction
    QRadioButton *RadioButton4;  // "右へ"
    QRadioButton *RadioButton5;  // "左へ"
    QRadioButton *RadioButton6;  // "下へ"
    QRadioButton *RadioButton7;  // "上へ"
    QGroupBox *GroupBox3;        // per mode: blend option or fade colour
    QRadioButton *RadioButton9;  // "ノーマル" / "白"
    QRadioButton *RadioButton10; // "白を透過させる" / "黒"
    QLabel *Label2;              // "作成進行状況"
    QProgressBar *ProgressBar1;  // progress of a sequence
    QScrollArea *ScrollBox1;     // scrolls the preview
    QLabel *Image1;              // the preview of the cut
    QFileDialog *SaveDialog1;    // target of a single file (adds ".bmp")
    QFileDialog *SaveDialog2;    // base name of a frame sequence

  private:
    void buildStrip();
    void buildGroups();
    void buildSaveDialogs();
    void connectHandlers();
    void saveSingle(bool closeOnCancel);
    void saveSequence();
    void showProgress(int k, int n);

    MainWindow &m_main;
    QElapsedTimer m_progressShown; // when the progress bar was last painted
};
