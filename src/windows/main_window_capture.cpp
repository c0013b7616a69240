// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the Tools menu's screen and active-window captures, through X11 or, on
// Wayland, the desktop portal.
#include "windows/main_window.h"

#include "ui_main_window.h"
#include "windows/error_box.h"
#include "windows/portal_capture.h"

#include <QTimer>

namespace {

CaptureResult captureOnX11(CaptureTarget target)
{
    try {
        return CaptureResult::taken(Capture(target));
    } catch (const std::exception &error) {
        return CaptureResult::failed(QString::fromUtf8(error.what()));
    }
}

} // namespace

void MainWindow::capture(CaptureTarget target, bool shrink)
{
    if (!mayLetPictureGo())
        return;
    // The window hides so that it is not in the picture; the timer gives the screen time to
    // repaint what it covered (and the window manager to activate the window behind it).
    m_captureTarget = target;
    m_shrinkCapture = shrink;
    hide();
    m_captureTimer->start();
}

void MainWindow::takeCapture()
{
    m_captureTimer->stop();
    m_ui->canvas->hide();
    const auto putInPlace = [this](const CaptureResult &result) {
        show();
        if (result.picture.isNull()) { // nothing changes: the old picture stays
            updateActions();
            if (!result.cancelled())
                ShowError(this, result.failure);
            return;
        }
        takeNewPicture(result.picture); // a new history, which the shrink is the first step of
        if (m_shrinkCapture)
            shrinkCaptured(); // a cancelled prompt keeps the full-size capture
    };
    if (!PortalCaptureChosen()) {
        putInPlace(captureOnX11(m_captureTarget));
        return;
    }
    // The portal answers later, from the event loop; the window stays out of the picture until
    // then, since the desktop may take it only once the user has confirmed or chosen.
    auto *request = new PortalCapture(this);
    connect(request, &PortalCapture::finished, this,
            [request, putInPlace](const CaptureResult &result) {
                request->deleteLater();
                putInPlace(result);
            });
    request->start(m_captureTarget);
}
