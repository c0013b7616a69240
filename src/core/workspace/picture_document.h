// SPDX-License-Identifier: GPL-3.0-or-later
// The picture document: the picture being worked on, the picture as it was loaded, the history of
// its edits and the second picture of alpha compositing. It says what changed.
#pragma once

#include "core/image/jpeg_metadata.h"
#include "core/workspace/cut_frame.h"
#include "core/workspace/edit_history.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

// The working picture before the first one is loaded or captured: a white picture of this size.
inline constexpr QSize kStartPictureSize(200, 100);

// The one owner of the pictures; the windows and the command line read them and change them only
// through the routines below. Each routine that changes the picture's size takes the cut frame, so
// the frame stays inside the picture (and follows the history's rule for the cut size).
class PictureDocument : public QObject {
    Q_OBJECT
  public:
    explicit PictureDocument(QObject *parent = nullptr);

    // The working picture. A loaded BMP keeps its own depth until an edit converts it; the edits'
    // results are 24-bit, or 32-bit with alpha.
    const QImage &picture() const { return m_picture; }
    QSize size() const { return m_picture.size(); }
    // The picture as last loaded or captured, which 元に戻す returns to; null before the first.
    const QImage &loadedPicture() const { return m_loaded; }
    bool hasPicture() const { return !m_loaded.isNull(); }
    // The picture the cut is blended with, as it was imported; null blends with white.
    const QImage &blendPicture() const { return m_blend; }
    // The file it came from; empty while the cut is blended with white.
    const QString &blendPictureName() const { return m_blendName; }
    const EditHistory &history() const { return m_history; }
    EditHistory &history() { return m_history; }
    // The file the picture was loaded from; empty for a capture.
    const QString &fileName() const { return m_fileName; }
    // What a JPEG saved from the picture carries of the photo loaded (date taken, camera,
    // copyright...): MetadataForCopy of the file's own, for the working picture's size now.
    JpegMetadata metadataForSaving() const;
    // Whether the working picture differs from the one loaded or last saved: undoing every edit
    // makes it the same again.
    bool isModified() const { return hasPicture() && m_picture.cacheKey() != m_savedKey; }

    // A loaded or captured picture: it becomes the working picture and the picture as loaded, and
    // the history starts afresh. fileName is where it came from, empty for a capture; metadata
    // the photo's, as read for a copy of it (LoadedPicture::metadata).
    void load(const QImage &picture, CutFrame &frame, const QString &fileName = {},
              const JpegMetadata &metadata = {});
    // The working picture has been saved: it is no longer modified.
    void markSaved();
    // An edit's result, as a step of the history named name that 取り消し takes back.
    void applyEdit(const QString &name, const QImage &result, CutFrame &frame);
    // Makes the working picture the one 元に戻す returns to (a capture after its shrink).
    void keepAsLoaded();
    // Back to the picture as loaded, as a step named name; nothing when it is already that one.
    void revertToLoaded(const QString &name, CutFrame &frame);
    // The history's steps; false when there was none to take.
    bool undo(CutFrame &frame);
    bool redo(CutFrame &frame);
    void setBlendPicture(const QImage &picture, const QString &name);

  signals:
    // The working picture has changed (its size may have too).
    void pictureChanged();
    // A step was recorded or taken: the names of 取り消し and やり直し may differ.
    void historyChanged();
    void blendPictureChanged();
    // The picture was saved: isModified() may have changed without the picture changing.
    void modificationChanged();

  private:
    void replacePicture(const QImage &picture, CutFrame &frame);

    QImage m_picture;
    QImage m_loaded;
    QImage m_blend;
    QString m_blendName;
    QString m_fileName;
    JpegMetadata m_metadata;
    qint64 m_savedKey = 0; // cacheKey() of the picture as loaded or last saved
    EditHistory m_history;
};
