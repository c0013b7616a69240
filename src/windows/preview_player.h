// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog's preview: the cut at 1:1, or the frames of a run played one after another,
// each made as it is shown, so that thousands of frames start at once.
#pragma once

#include "core/sequence/frame_run.h"

#include <QImage>
#include <QScrollArea>
#include <memory>
#include <vector>

class QLabel;
class QTimer;

class PreviewPlayer : public QScrollArea {
    Q_OBJECT
  public:
    explicit PreviewPlayer(QWidget *parent = nullptr);

    // What shows while nothing plays (of a larger picture only the top-left 1500 x 1500 pixels).
    void showStill(const QImage &picture);
    // Plays run's frames in order, round and round, delayMs apart; withAlpha shows them over the
    // checkerboard as an output that keeps alpha holds them, otherwise over white.
    void play(std::unique_ptr<FrameRun> run, std::vector<int> order, int delayMs, bool withAlpha);
    // Stops playing and shows the still picture again.
    void stop();
    bool playing() const { return m_run != nullptr; }

  signals:
    // Making a frame failed; the player has stopped.
    void failed(const QString &why);

  private:
    void show(const QImage &picture);
    void showNextFrame();

    QLabel *m_picture;
    QTimer *m_timer;
    QImage m_still;
    std::unique_ptr<FrameRun> m_run; // the run being played, or none
    std::vector<int> m_order;        // its frames in the order shown
    size_t m_shown = 0;              // the position in m_order shown last
    bool m_withAlpha = false;
};
