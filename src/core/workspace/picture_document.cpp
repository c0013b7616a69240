// SPDX-License-Identifier: GPL-3.0-or-later
// The picture document.
#include "core/workspace/picture_document.h"

#include "core/image/picture.h"

PictureDocument::PictureDocument(QObject *parent)
    : QObject(parent),
      m_picture(WhitePicture(kStartPictureSize.width(), kStartPictureSize.height()))
{
}

void PictureDocument::replacePicture(const QImage &picture, CutFrame &frame)
{
    m_picture = picture;
    frame.setPictureSize(m_picture.size());
    emit pictureChanged();
}

void PictureDocument::load(const QImage &picture, CutFrame &frame, const QString &fileName,
                           const JpegMetadata &metadata)
{
    m_loaded = picture; // shared until one of them changes; edits never touch it
    m_savedKey = picture.cacheKey();
    m_fileName = fileName;
    m_metadata = metadata;
    m_history.clear();
    replacePicture(picture, frame);
    emit historyChanged();
}

JpegMetadata PictureDocument::metadataForSaving() const
{
    // The orientation is 1 and the profile gone already if reading applied them; only the EXIF
    // pixel dimensions follow the edits.
    return MetadataForCopy(m_metadata, m_picture.size(), false, false);
}

void PictureDocument::applyEdit(const QString &name, const QImage &result, CutFrame &frame)
{
    const EditState before{m_picture, frame.size()};
    replacePicture(result, frame);
    m_history.record(name, before, frame.size());
    emit historyChanged();
}

void PictureDocument::keepAsLoaded()
{
    m_loaded = m_picture;
    m_savedKey = m_picture.cacheKey();
}

void PictureDocument::markSaved()
{
    m_savedKey = m_picture.cacheKey();
    emit modificationChanged();
}

void PictureDocument::revertToLoaded(const QString &name, CutFrame &frame)
{
    // Already the picture as loaded (the same pixels): no step that 取り消し would take for
    // nothing.
    if (!hasPicture() || m_picture.cacheKey() == m_loaded.cacheKey())
        return;
    applyEdit(name, m_loaded, frame);
}

bool PictureDocument::undo(CutFrame &frame)
{
    if (!m_history.undo(m_picture, frame))
        return false;
    emit pictureChanged();
    emit historyChanged();
    return true;
}

bool PictureDocument::redo(CutFrame &frame)
{
    if (!m_history.redo(m_picture, frame))
        return false;
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
