// SPDX-License-Identifier: GPL-3.0-or-later
// The frames of a cut job as the window and the command line make them: a document holding
// picture (and blend), the frame placed at frame's corner with its size, then MakeFrameRun.
#pragma once

#include "core/sequence/frame_runs.h"

#include <QRect>

inline std::unique_ptr<FrameRun> CutRun(const QImage &picture, const QRect &frame,
                                        const CutJob &job, const QImage &blend = {})
{
    PictureDocument document;
    CutFrame cut(frame.size());
    document.load(picture, cut);
    cut.moveTo(frame.topLeft());
    document.setBlendPicture(blend, {});
    return MakeFrameRun(document, cut, job);
}

inline CutJob JobOf(CutKind kind)
{
    CutJob job;
    job.kind = kind;
    return job;
}
