// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog's preview.
#include "windows/preview_player.h"

#include "windows/frame_bar_widget.h"

#include "core/image/alpha.h"
#include "windows/palettes.h"

#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <exception>

namespace {

// The preview's largest size before the picture is scaled down: room for a typical sprite or
// banner at 1:1, and a dialog that still fits a 1366 x 768 screen with its controls.
const QSize kLargestPreview(640, 400);
const QSize kSmallestPreview(240, 120);

} // namespace

PreviewPlayer::PreviewPlayer(QWidget *parent) : QWidget(parent)
{
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("playTimer"));
    connect(m_timer, &QTimer::timeout, this, &PreviewPlayer::showNextFrame);
}

QSize PreviewPlayer::sizeHint() const
{
    return m_still.size().boundedTo(kLargestPreview).expandedTo(kSmallestPreview);
}

QSize PreviewPlayer::minimumSizeHint() const
{
    return kSmallestPreview;
}

void PreviewPlayer::showStill(const QImage &picture)
{
    m_still = picture;
    updateGeometry();
    if (!playing())
        show(m_still);
}

void PreviewPlayer::show(const QImage &picture)
{
    m_shown = picture;
    update();
}

void PreviewPlayer::paintEvent(QPaintEvent *)
{
    if (m_shown.isNull())
        return;
    // Scaled down to fit, never up: a small sprite's pixels stay as they are.
    QSize fitted = m_shown.size();
    if (fitted.width() > width() || fitted.height() > height())
        fitted.scale(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted.expandedTo(QSize(1, 1)));
    QPainter painter(this);
    // Frames with alpha show over the checkerboard, as the canvas shows the picture.
    if (HasAlpha(m_shown))
        painter.fillRect(target, CheckerboardBrush());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, fitted != m_shown.size());
    painter.drawImage(target, m_shown);
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
    m_delayMs = delayMs;
    m_shownAt = m_order.size() - 1; // the next is the first
    // The first frame at once; the rest each when its turn comes.
    showNextFrame();
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
    m_shownAt = (m_shownAt + 1) % m_order.size();
    try {
        const int k = m_order[m_shownAt];
        const QImage &frame = m_run->frame(k);
        // A copy: the run reuses its buffer for the next frame.
        show(m_withAlpha ? frame.copy() : OverWhite(frame));
        // The cut of an animation plays at its own pace, as a browser would show it.
        const int own = m_run->delayMs(k);
        m_timer->start(own > 0 ? FrameBarWidget::shownDelayMs(own) : m_delayMs);
    } catch (const std::exception &failure) {
        stop();
        emit failed(QString::fromUtf8(failure.what()));
    }
}
