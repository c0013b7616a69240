// SPDX-License-Identifier: GPL-3.0-or-later
// The picture document.
#include "core/workspace/picture_document.h"

#include "core/image/picture.h"

#include <algorithm>

PictureDocument::PictureDocument(QObject *parent)
    : QObject(parent), m_frames{WhitePicture(kStartPictureSize.width(), kStartPictureSize.height())}
{
}

void PictureDocument::replaceFrames(const Frames &frames, CutFrame &frame)
{
    m_frames = frames;
    m_shown = std::min(m_shown, int(m_frames.size()) - 1);
    frame.setPictureSize(m_frames.front().size());
    emit pictureChanged();
}

void PictureDocument::load(const QImage &picture, CutFrame &frame, const QString &fileName,
                           const JpegMetadata &metadata)
{
    loadAnimation({picture}, {}, frame, fileName);
    m_metadata = metadata;
}

void PictureDocument::load(const LoadedPicture &loaded, CutFrame &frame, const QString &fileName)
{
    if (loaded.frames.size() > 1)
        loadAnimation(loaded.frames, loaded.delaysMs, frame, fileName);
    else
        load(loaded.picture, frame, fileName, loaded.metadata);
}

void PictureDocument::loadAnimation(const Frames &frames, const std::vector<int> &delaysMs,
                                    CutFrame &frame, const QString &fileName)
{
    m_loaded = frames; // shared until one of them changes; edits never touch it
    m_delays = delaysMs;
    m_delays.resize(frames.size(), 0); // a delay missing is one the file did not give
    m_savedKey = frames.front().cacheKey();
    m_fileName = fileName;
    m_metadata = {};
    m_history.clear();
    m_shown = 0;
    replaceFrames(frames, frame);
    emit historyChanged();
}

void PictureDocument::showFrame(int index)
{
    index = std::clamp(index, 0, int(m_frames.size()) - 1);
    if (index == m_shown)
        return;
    m_shown = index;
    emit pictureChanged();
}

JpegMetadata PictureDocument::metadataForSaving() const
{
    // The orientation is 1 and the profile gone already if reading applied them; only the EXIF
    // pixel dimensions follow the edits.
    return MetadataForCopy(m_metadata, size(), false, false);
}

void PictureDocument::record(const QString &name, const Frames &result, CutFrame &frame)
{
    const EditState before{m_frames, frame.size()};
    replaceFrames(result, frame);
    m_history.record(name, before, frame.size());
    emit historyChanged();
}

void PictureDocument::applyEdit(const QString &name, const QImage &result, CutFrame &frame)
{
    record(name, {result}, frame);
}

void PictureDocument::applyEdit(const QString &name,
                                const std::function<QImage(const QImage &)> &edit, CutFrame &frame)
{
    Frames result;
    result.reserve(m_frames.size());
    for (const QImage &each : m_frames)
        result.push_back(edit(each));
    record(name, result, frame);
}

void PictureDocument::keepAsLoaded()
{
    m_loaded = m_frames;
    m_savedKey = m_frames.front().cacheKey();
}

void PictureDocument::markSaved()
{
    m_savedKey = m_frames.front().cacheKey();
    emit modificationChanged();
}

void PictureDocument::revertToLoaded(const QString &name, CutFrame &frame)
{
    // Already the picture as loaded (the same pixels): no step that 取り消し would take for
    // nothing.
    if (!hasPicture() || m_frames.front().cacheKey() == m_loaded.front().cacheKey())
        return;
    record(name, m_loaded, frame);
}

bool PictureDocument::undo(CutFrame &frame)
{
    if (!m_history.undo(m_frames, frame))
        return false;
    m_shown = std::min(m_shown, int(m_frames.size()) - 1);
    emit pictureChanged();
    emit historyChanged();
    return true;
}

bool PictureDocument::redo(CutFrame &frame)
{
    if (!m_history.redo(m_frames, frame))
        return false;
    m_shown = std::min(m_shown, int(m_frames.size()) - 1);
    emit pictureChanged();
    emit historyChanged();
    return true;
}

void PictureDocument::setBlendPicture(const QImage &picture, const QString &name)
{
    m_blend = picture;
    m_blendName = name;
    emit blendPictureChanged();
}
