// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog's preview.
#include "windows/preview_player.h"

#include "core/image/alpha.h"

#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <exception>

namespace {

constexpr int kPreviewLimit = 1500; // the preview's drawing surface, in pixels each way

} // namespace

PreviewPlayer::PreviewPlayer(QWidget *parent) : QScrollArea(parent)
{
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("previewLabel"));
    setWidget(m_picture);
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("playTimer"));
    connect(m_timer, &QTimer::timeout, this, &PreviewPlayer::showNextFrame);
}

void PreviewPlayer::showStill(const QImage &picture)
{
    m_still = picture;
    if (!playing())
        show(m_still);
}

void PreviewPlayer::show(const QImage &picture)
{
    const QRect shownArea(0, 0, std::min(picture.width(), kPreviewLimit),
                          std::min(picture.height(), kPreviewLimit));
    // Frames with alpha show over the canvas's checkerboard, as the picture they come from does.
    const QImage shown =
        HasAlpha(picture) ? OverCheckerboard(picture, shownArea) : picture.copy(shownArea);
    m_picture->setPixmap(QPixmap::fromImage(shown));
    m_picture->resize(shown.size());
}

void PreviewPlayer::play(std::unique_ptr<FrameRun> run, std::vector<int> order, int delayMs,
                         bool withAlpha)
{
    stop();
    if (order.empty())
        return;
    m_run = std::move(run);
    m_order = std::move(order);
    m_withAlpha = withAlpha;
    m_shown = m_order.size() - 1; // the next is the first
    // The first frame at once; the rest each when its turn comes.
    showNextFrame();
    if (playing())
        m_timer->start(delayMs);
}

void PreviewPlayer::stop()
{
    if (!playing())
        return;
    m_timer->stop();
    m_run.reset();
    m_order.clear();
    show(m_still);
}

void PreviewPlayer::showNextFrame()
{
    if (!playing())
        return;
    m_shown = (m_shown + 1) % m_order.size();
    try {
        const QImage &frame = m_run->frame(m_order[m_shown]);
        show(m_withAlpha ? frame : OverWhite(frame));
    } catch (const std::exception &failure) {
        stop();
        emit failed(QString::fromUtf8(failure.what()));
    }
}
