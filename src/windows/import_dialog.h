// SPDX-License-Identifier: GPL-3.0-or-later
// The import dialog: browse to a picture file (or type its path), see it at full size, and take it.
#pragma once

#include "core/image/jpeg_metadata.h"

#include <QDialog>
#include <QImage>

#include <memory>
#include <optional>

class QFileDialog;

// A picture taken in the import dialog, with the file it was read from.
struct ImportedPicture {
    QImage picture;
    QString path;
    QString convertedFrom; // the colour space its pixels were converted from to sRGB, if any
    JpegMetadata metadata; // what a JPEG saved from it keeps of the photo
    // An animation's frames (picture is the first) and delays; empty for a still picture.
    std::vector<QImage> frames;
    std::vector<int> delaysMs;
};

// The picture file at path read as the window reads pictures (upright, in sRGB). Throws Failure.
ImportedPicture ImportPictureFile(const QString &path);

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
    std::optional<ImportedPicture> choosePicture();

  private:
    void browse();
    void showFile(const QString &path);
    void take();
    void showPreview(const QImage &picture);
    void tell(const QString &text);

    std::unique_ptr<Ui::ImportDialog> m_ui;
    QFileDialog *m_openDialog; // kept between uses: it remembers the folder
    ImportedPicture m_taken;
    QString m_shownPath; // the file whose preview shows
};
