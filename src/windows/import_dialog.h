// ImportDialog: the import dialog. Browse to a BMP or JPEG file, see it at full size, take it as
// the working picture (ImportTarget 1) or as the compositing picture (ImportTarget 2).
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class MainWindow;

class ImportDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ImportDialog(MainWindow &main);

    void Button1Click(); // browse and preview
    void Button2Click(); // import and close
    void Button3Click(); // close without importing

    QFrame *Panel1;          // the strip along the top
    QLineEdit *Edit1;        // the chosen file's full path (read-only)
    QPushButton *Button1;    // "参照": browse
    QPushButton *Button2;    // "決定": import
    QPushButton *Button3;    // "キャンセル": close
    QScrollArea *ScrollBox1; // scrolls the preview
    QLabel *Image3;          // the preview at 1:1

  private:
    void showPreview(const QImage &picture);
    void importInto(const QString &path);

    MainWindow &m_main;
};
