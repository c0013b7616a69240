// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog's preview: the cut, or the frames of a run played one after another, each
// made as it is shown, so that thousands of frames start at once. Larger pictures are scaled
// down to fit the preview; smaller ones show at 1:1, centred.
#pragma once

#include "core/sequence/frame_run.h"

#include <QImage>
#include <QWidget>
#include <memory>
#include <vector>

class QTimer;

class PreviewPlayer : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewPlayer(QWidget *parent = nullptr);

    // What shows while nothing plays.
    void showStill(const QImage &picture);
    // Plays run's frames in order, round and round, delayMs apart (a frame with a delay of its
    // own, FrameRun::delayMs, that long); withAlpha shows them over the
    // checkerboard as an output that keeps alpha holds them, otherwise over white.
    void play(std::unique_ptr<FrameRun> run, std::vector<int> order, int delayMs, bool withAlpha);
    // Stops playing and shows the still picture again.
    void stop();
    bool playing() const { return m_run != nullptr; }
    // The picture showing now, at its own size.
    const QImage &shown() const { return m_shown; }

    // As large as the picture, within a size that leaves the dialog on a small screen.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // Making a frame failed; the player has stopped.
    void failed(const QString &why);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    void show(const QImage &picture);
    void showNextFrame();

    QTimer *m_timer;
    QImage m_still;
    QImage m_shown;
    std::unique_ptr<FrameRun> m_run; // the run being played, or none
    std::vector<int> m_order;        // its frames in the order shown
    size_t m_shownAt = 0;            // the position in m_order shown last
    bool m_withAlpha = false;
    int m_delayMs = 0; // between frames without a delay of their own
};
