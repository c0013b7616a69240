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

void EditHistory::record(const QString &name, const EditState &before, const Workspace &ws)
{
    for (const Step &step : m_redo)
        release(step.picture);
    m_redo.clear();
    m_undo.push_back({name, before.picture, before.cut, QSize(ws.CutWidth, ws.CutHeight)});
    hold(before.picture);
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

void EditHistory::undo(Workspace &ws)
{
    move(m_undo, m_redo, ws);
}

void EditHistory::redo(Workspace &ws)
{
    move(m_redo, m_undo, ws);
}

void EditHistory::move(std::deque<Step> &from, std::deque<Step> &to, Workspace &ws)
{
    if (from.empty())
        return;
    Step step = std::move(from.back());
    from.pop_back();
    release(step.picture);

    const QSize cutNow(ws.CutWidth, ws.CutHeight);
    Step back{step.name, ws.WorkImage, cutNow, QSize()};
    ws.WorkImage = step.picture; // shared, never copied: the step's pixels become the picture's
    ws.CanvasWidth = ws.WorkImage.width();
    ws.CanvasHeight = ws.WorkImage.height();
    // The cut size goes back to what it was with that picture when the cut is still the one the
    // edit left. A size the user has chosen since is kept (lowered to the picture): taking back
    // a blur must not undo a choice made after it.
    if (cutNow == step.cutLeft) {
        ws.CutWidth = step.cut.width();
        ws.CutHeight = step.cut.height();
    } else {
        LowerCutToCanvas(ws);
    }
    ClampFrame(ws);
    back.cutLeft = QSize(ws.CutWidth, ws.CutHeight);

    hold(back.picture);
    to.push_back(std::move(back));
    // Going back to a smaller picture leaves a larger one to the history, which may pass the limit.
    keepWithinLimit();
}

void EditHistory::setByteLimit(qint64 byteLimit)
{
    m_byteLimit = byteLimit;
    keepWithinLimit();
}

void EditHistory::hold(const QImage &picture)
{
    int &holders = m_holders[picture.cacheKey()];
    if (holders++ == 0)
        m_bytes += picture.sizeInBytes();
}

void EditHistory::release(const QImage &picture)
{
    const auto found = m_holders.find(picture.cacheKey());
    if (found == m_holders.end())
        return;
    if (--found.value() == 0) {
        m_bytes -= picture.sizeInBytes();
        m_holders.erase(found);
    }
}

void EditHistory::keepWithinLimit()
{
    // The oldest edits matter least; only when none is left do the farthest steps ahead go.
    while (m_bytes > m_byteLimit && !(m_undo.empty() && m_redo.empty())) {
        std::deque<Step> &side = m_undo.empty() ? m_redo : m_undo;
        release(side.front().picture);
        side.pop_front();
    }
}
