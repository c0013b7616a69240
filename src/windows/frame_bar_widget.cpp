// SPDX-License-Identifier: GPL-3.0-or-later
// The frame bar of an animation.
#include "windows/frame_bar_widget.h"

#include "core/animation/animation.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace {

// How long browsers show a frame faster than kFastestGifDelayMs; a player that showed it as given
// would not show what the page will.
constexpr int kSlowedDelayMs = 100;

} // namespace

FrameBarWidget::FrameBarWidget(QWidget *parent)
    : QWidget(parent), m_slider(new QSlider(Qt::Horizontal, this)),
      m_playButton(new QToolButton(this)), m_readout(new QLabel(this)), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("frameBar"));
    m_playButton->setObjectName(QStringLiteral("playFramesButton"));
    m_playButton->setCheckable(true);
    m_playButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_playButton->setToolTip(tr("アニメーションを再生します"));
    m_slider->setObjectName(QStringLiteral("frameSlider"));
    m_slider->setAccessibleName(tr("フレーム"));
    m_slider->setPageStep(1);
    m_readout->setObjectName(QStringLiteral("frameReadout"));
    m_timer->setSingleShot(true);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_playButton);
    layout->addWidget(m_slider, 1);
    layout->addWidget(m_readout);

    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        showReadout();
        emit frameChosen(value);
    });
    // A frame chosen by hand stops the animation there.
    connect(m_slider, &QSlider::sliderPressed, this, [this] { setPlaying(false); });
    connect(m_playButton, &QToolButton::toggled, this, &FrameBarWidget::setPlaying);
    connect(m_timer, &QTimer::timeout, this, &FrameBarWidget::playNext);
    setFrames({});
}

int FrameBarWidget::shownDelayMs(int delayMs)
{
    return delayMs < kFastestGifDelayMs ? kSlowedDelayMs : delayMs;
}

void FrameBarWidget::setFrames(const std::vector<int> &delaysMs)
{
    setPlaying(false);
    m_delays = delaysMs;
    const QSignalBlocker quiet(m_slider);
    m_slider->setRange(0, std::max(int(m_delays.size()) - 1, 0));
    m_slider->setValue(0);
    showReadout();
    setVisible(m_delays.size() > 1);
}

void FrameBarWidget::showFrame(int index)
{
    const QSignalBlocker quiet(m_slider);
    m_slider->setValue(index);
    showReadout();
}

bool FrameBarWidget::playing() const
{
    return m_timer->isActive();
}

void FrameBarWidget::setPlaying(bool play)
{
    play = play && m_delays.size() > 1;
    {
        const QSignalBlocker quiet(m_playButton);
        m_playButton->setChecked(play);
        m_playButton->setIcon(
            style()->standardIcon(play ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
        m_playButton->setText(play ? tr("停止") : tr("再生"));
        m_playButton->setAccessibleName(m_playButton->text());
    }
    if (!play) {
        m_timer->stop();
        return;
    }
    m_timer->start(shownDelayMs(m_delays[size_t(m_slider->value())]));
}

void FrameBarWidget::playNext()
{
    const int next = (m_slider->value() + 1) % int(m_delays.size());
    m_slider->setValue(next); // tells frameChosen
    m_timer->start(shownDelayMs(m_delays[size_t(next)]));
}

void FrameBarWidget::showReadout()
{
    m_readout->setText(tr("フレーム %1 / %2")
                           .arg(m_slider->value() + 1)
                           .arg(std::max<size_t>(m_delays.size(), 1)));
}
