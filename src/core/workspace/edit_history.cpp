// SPDX-License-Identifier: GPL-3.0-or-later
// The history of the working picture.
#include "core/workspace/edit_history.h"

void EditHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
    m_holders.clear();
    m_bytes = 0;
}

void EditHistory::record(const QString &name, const EditState &before, QSize cutAfter)
{
    for (const Step &step : m_redo)
        release(step.frames);
    m_redo.clear();
    m_undo.push_back({name, before.frames, before.cut, cutAfter});
    hold(before.frames);
    keepWithinLimit();
}

QString EditHistory::undoName() const
{
    return m_undo.empty() ? QString() : m_undo.back().name;
}

QString EditHistory::redoName() const
{
    return m_redo.empty() ? QString() : m_redo.back().name;
}

bool EditHistory::undo(Frames &frames, CutFrame &frame)
{
    return move(m_undo, m_redo, frames, frame);
}

bool EditHistory::redo(Frames &frames, CutFrame &frame)
{
    return move(m_redo, m_undo, frames, frame);
}

bool EditHistory::move(std::deque<Step> &from, std::deque<Step> &to, Frames &frames,
                       CutFrame &frame)
{
    if (from.empty())
        return false;
    Step step = std::move(from.back());
    from.pop_back();
    release(step.frames);

    const QSize cutNow = frame.size();
    Step back{step.name, frames, cutNow, QSize()};
    frames = step.frames; // shared, never copied: the step's pixels become the picture's
    frame.setPictureSize(frames.front().size());
    // The cut size goes back to what it was with that picture when the cut is still the one the
    // edit left. A size the user has chosen since is kept (lowered to the picture): taking back
    // a blur must not undo a choice made after it.
    if (cutNow == step.cutLeft)
        frame.setSize(step.cut);
    back.cutLeft = frame.size();

    hold(back.frames);
    to.push_back(std::move(back));
    // Going back to a smaller picture leaves a larger one to the history, which may pass the limit.
    keepWithinLimit();
    return true;
}

void EditHistory::setByteLimit(qint64 byteLimit)
{
    m_byteLimit = byteLimit;
    keepWithinLimit();
}

void EditHistory::hold(const Frames &frames)
{
    for (const QImage &picture : frames) {
        int &holders = m_holders[picture.cacheKey()];
        if (holders++ == 0)
            m_bytes += picture.sizeInBytes();
    }
}

void EditHistory::release(const Frames &frames)
{
    for (const QImage &picture : frames) {
        const auto found = m_holders.find(picture.cacheKey());
        if (found == m_holders.end())
            continue;
        if (--found.value() == 0) {
            m_bytes -= picture.sizeInBytes();
            m_holders.erase(found);
        }
    }
}

void EditHistory::keepWithinLimit()
{
    // The oldest edits matter least; only when none is left do the farthest steps ahead go.
    while (m_bytes > m_byteLimit && !(m_undo.empty() && m_redo.empty())) {
        std::deque<Step> &side = m_undo.empty() ? m_redo : m_undo;
        release(side.front().frames);
        side.pop_front();
    }
}
