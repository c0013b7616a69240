// SPDX-License-Identifier: GPL-3.0-or-later
// The picture document: the picture being worked on (a still picture, or every frame of an
// animation), the picture as it was loaded, the history of its edits and the second picture of
// alpha compositing. It says what changed.
#pragma once

#include "core/image/jpeg_metadata.h"
#include "core/image/plugin_reading.h"
#include "core/workspace/cut_frame.h"
#include "core/workspace/edit_history.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

// The working picture before the first one is loaded or captured: a white picture of this size.
inline constexpr QSize kStartPictureSize(200, 100);

// The one owner of the pictures; the windows and the command line read them and change them only
// through the routines below. Each routine that changes the picture's size takes the cut frame, so
// the frame stays inside the picture (and follows the history's rule for the cut size).
class PictureDocument : public QObject {
    Q_OBJECT
  public:
    explicit PictureDocument(QObject *parent = nullptr);

    // The working picture: of an animation, the frame shown. A loaded BMP keeps its own depth
    // until an edit converts it; the edits' results are 24-bit, or 32-bit with alpha.
    const QImage &picture() const { return m_frames[size_t(m_shown)]; }
    QSize size() const { return picture().size(); }
    // Every frame of the working picture, all of one size and format: the picture alone when it
    // is still.
    const Frames &frames() const { return m_frames; }
    bool isAnimated() const { return m_frames.size() > 1; }
    // An animation's delays, frame by frame in milliseconds (as its file gave them); empty for a
    // still picture.
    std::vector<int> delaysMs() const { return isAnimated() ? m_delays : std::vector<int>(); }
    // The frame of an animation the window shows and edits are previewed on, 0 .. frames - 1.
    int shownFrame() const { return m_shown; }
    void showFrame(int index);
    // The picture as last loaded or captured (of an animation, its first frame), which 元に戻す
    // returns to; null before the first.
    const QImage &loadedPicture() const { return m_loaded.front(); }
    bool hasPicture() const { return !m_loaded.front().isNull(); }
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
    bool isModified() const { return hasPicture() && m_frames.front().cacheKey() != m_savedKey; }

    // A loaded or captured picture: it becomes the working picture and the picture as loaded, and
    // the history starts afresh. fileName is where it came from, empty for a capture; metadata
    // the photo's, as read for a copy of it (LoadedPicture::metadata).
    void load(const QImage &picture, CutFrame &frame, const QString &fileName = {},
              const JpegMetadata &metadata = {});
    // A picture as read: a still picture with its metadata, or an animation.
    void load(const LoadedPicture &loaded, CutFrame &frame, const QString &fileName);
    // A loaded animation: frames (at least two, all of one size and format) shown delaysMs each,
    // one delay per frame; frame 1 is shown first.
    void loadAnimation(const Frames &frames, const std::vector<int> &delaysMs, CutFrame &frame,
                       const QString &fileName = {});
    // The working picture has been saved: it is no longer modified.
    void markSaved();
    // An edit's result, as a step of the history named name that 取り消し takes back: the one
    // picture of a still picture (an animation becomes that still picture).
    void applyEdit(const QString &name, const QImage &result, CutFrame &frame);
    // An edit of every frame: edit(frame) for each, in order, as one step of the history. Whatever
    // edit throws leaves the document as it was.
    void applyEdit(const QString &name, const std::function<QImage(const QImage &)> &edit,
                   CutFrame &frame);
    // Makes the working picture the one 元に戻す returns to (a capture after its shrink).
    void keepAsLoaded();
    // Back to the picture as loaded, as a step named name; nothing when it is already that one.
    void revertToLoaded(const QString &name, CutFrame &frame);
    // The history's steps; false when there was none to take.
    bool undo(CutFrame &frame);
    bool redo(CutFrame &frame);
    void setBlendPicture(const QImage &picture, const QString &name);

  signals:
    // The working picture has changed (its size may have too), or another frame is shown.
    void pictureChanged();
    // A step was recorded or taken: the names of 取り消し and やり直し may differ.
    void historyChanged();
    void blendPictureChanged();
    // The picture was saved: isModified() may have changed without the picture changing.
    void modificationChanged();

  private:
    void replaceFrames(const Frames &frames, CutFrame &frame);
    void record(const QString &name, const Frames &result, CutFrame &frame);

    Frames m_frames; // never empty
    // One per frame of the animation loaded; kept while an edit has made it a still picture, for
    // the frames an undo brings back.
    std::vector<int> m_delays;
    int m_shown = 0;
    Frames m_loaded{QImage()}; // never empty; null before the first picture
    QImage m_blend;
    QString m_blendName;
    QString m_fileName;
    JpegMetadata m_metadata;
    qint64 m_savedKey = 0; // cacheKey() of the first frame as loaded or last saved
    EditHistory m_history;
};
