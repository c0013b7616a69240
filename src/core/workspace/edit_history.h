// SPDX-License-Identifier: GPL-3.0-or-later
// The history of the working picture: 取り消し and やり直し take back and make again one edit at a
// time.
#pragma once

#include "core/workspace/cut_frame.h"

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>
#include <deque>
#include <vector>

// The most picture memory the history keeps. A 24-megapixel photo takes 72 MB, so this holds
// its last fourteen steps, and hundreds of a screen-sized picture, while staying well inside an
// ordinary desktop's memory beside the working picture and its view. Past it the oldest steps go.
inline constexpr qint64 kHistoryByteLimit = qint64(1) << 30;

// The working picture's frames: one for a still picture, each frame of an animation (all of one
// size), which every edit changes together.
using Frames = std::vector<QImage>;

// What an edit changes: the frames and the cut size, which a smaller picture lowers. The frame's
// position is not kept: it stays where the user left it, brought inside the picture.
struct EditState {
    Frames frames;
    QSize cut;
};

// The steps behind and ahead of the working picture. Each keeps the frames it puts back as shallow
// QImage copies: the working picture, the picture as loaded and the steps share pixels. A
// picture held by several steps is counted once against the limit; it counts in full even while it
// is also the working picture or the picture as loaded, so the limit errs on the side of less
// memory.
class EditHistory {
  public:
    explicit EditHistory(qint64 byteLimit = kHistoryByteLimit) : m_byteLimit(byteLimit) {}

    // Forgets every step: a new picture starts a new history.
    void clear();

    // An edit named name has turned before into a picture whose cut is now cutAfter: 取り消し can
    // put before back. The steps that could have been made again are dropped.
    void record(const QString &name, const EditState &before, QSize cutAfter);

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // The name of the edit undo() takes back, or redo() makes again; empty when there is none.
    QString undoName() const;
    QString redoName() const;

    // Puts frames and the cut frame back as they were before the latest edit, which redo() can
    // then make again; and the reverse. The cut frame takes the picture's size, and the cut size
    // it had with that picture unless the user has chosen another since. Without a step nothing
    // changes and the answer is false.
    bool undo(Frames &frames, CutFrame &frame);
    bool redo(Frames &frames, CutFrame &frame);

    int undoCount() const { return int(m_undo.size()); }
    // The pixel memory the steps hold, each shared picture once.
    qint64 byteCount() const { return m_bytes; }
    // A lower limit drops the oldest steps at once.
    void setByteLimit(qint64 byteLimit);

  private:
    struct Step {
        QString name;
        Frames frames; // what the step puts back
        QSize cut;     // the cut size that went with picture
        QSize cutLeft; // the cut size the other side of the step had when it was taken
    };

    bool move(std::deque<Step> &from, std::deque<Step> &to, Frames &frames, CutFrame &frame);
    void hold(const Frames &frames);
    void release(const Frames &frames);
    void keepWithinLimit();

    std::deque<Step> m_undo; // the oldest first
    std::deque<Step> m_redo; // the next to make again last
    qint64 m_byteLimit;
    qint64 m_bytes = 0;
    QHash<qint64, int> m_holders; // cacheKey() of each picture held: how many steps hold it
};
