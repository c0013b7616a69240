// BatchShrinkDialog: the batch JPEG shrink dialog. Two folders, a width, and a run on a worker
// thread.
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class ClampingSpinBox;

class BatchShrinkDialog : public QDialog {
    Q_OBJECT
  public:
    // jpegDat: where the extension file is (AppDir followed by jpeg.dat).
    explicit BatchShrinkDialog(const QString &jpegDat, QWidget *parent = nullptr);
    void run();

    void Button1Click(); // pick the source folder
    void Button2Click(); // pick the destination folder
    void Button3Click(); // start a run
    void Button4Click(); // close

    bool running() const { return m_running; }

    QLabel *Label11;            // "変換元フォルダ"
    QLineEdit *Edit1;           // source folder (set only by the picker)
    QPushButton *Button1;       // "参照": source folder
    QLabel *Label1;             // "保存先フォルダ"
    QLineEdit *Edit2;           // destination folder (set only by the picker)
    QPushButton *Button2;       // "参照": destination folder
    QLabel *Label3;             // "縮小サイズ幅"
    ClampingSpinBox *SpinEdit1; // target width, 15 to 3000
    QProgressBar *ProgressBar1; // files done
    QPushButton *Button3;       // "縮小開始": start
    QPushButton *Button4;       // "閉じる"

    QString PickedFolder;       // the folder last picked, shared by both pickers
    QString ShrinkSettingsPath; // jpeg.dat of the run

  signals:
    void runFinished(); // the controls are enabled again (tests wait for it)

  protected:
    void reject() override; // Escape: ignored while a run lasts
    void closeEvent(QCloseEvent *event) override;

  private:
    QString pickFolder(const QString &current);
    void setRunning(bool running);
    void finishRun(int written, const QStringList &failures, const QString &fatal);

    QString m_jpegDat;
    bool m_running = false;
};
