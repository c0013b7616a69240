// SPDX-License-Identifier: GPL-3.0-or-later
// The bar under the picture of an animation: a slider over its frames, a play button to play
// them as a browser would, and the readout "フレーム n / N". Hidden for a still picture.
#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QSlider;
class QTimer;
class QToolButton;

class FrameBarWidget : public QWidget {
    Q_OBJECT
  public:
    explicit FrameBarWidget(QWidget *parent = nullptr);

    // The animation's delays, one per frame; fewer than two frames hide the bar. Playing stops.
    void setFrames(const std::vector<int> &delaysMs);
    // Moves the slider to frame index (0-based) without telling frameChosen.
    void showFrame(int index);
    bool playing() const;
    // Starts or stops playing from the frame shown.
    void setPlaying(bool play);

    // How long a player shows a frame of delayMs: browsers show a delay below 20 ms as 100 ms.
    static int shownDelayMs(int delayMs);

  signals:
    // The user, or playing, has chosen frame index (0-based).
    void frameChosen(int index);

  private:
    void showReadout();
    void playNext();

    QSlider *m_slider;
    QToolButton *m_playButton;
    QLabel *m_readout;
    QTimer *m_timer;
    std::vector<int> m_delays;
};
