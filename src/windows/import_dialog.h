// The import dialog: browse to a picture file, see it at full size, and take it.
#pragma once

#include <QDialog>
#include <QImage>

#include <memory>
#include <optional>

class QFileDialog;

namespace Ui {
class ImportDialog;
}

class ImportDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ImportDialog(QWidget *parent = nullptr);
    ~ImportDialog() override;

    // Runs the dialog and returns the picture read once 決定 is pressed. nullopt when the dialog
    // is closed, or when the chosen file is gone by then. A file that cannot be read is reported
    // and the dialog stays open. The path and the preview stay for the next use.
    std::optional<QImage> choosePicture();

  private:
    void browse();
    void take();
    void showPreview(const QImage &picture);

    std::unique_ptr<Ui::ImportDialog> m_ui;
    QFileDialog *m_openDialog; // kept between uses: it remembers the folder
    QImage m_taken;
};
