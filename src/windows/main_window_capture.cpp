// The main window: the Tools menu's screen and active-window captures.
#include "windows/main_window.h"

#include "ui_main_window.h"
#include "windows/window_support.h"

#include <QTimer>

void MainWindow::capture(CaptureTarget target, bool shrink)
{
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
    QImage picture;
    QString failure;
    try {
        picture = Capture(m_captureTarget);
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    }
    show();
    if (!failure.isEmpty()) { // nothing changes: the old picture stays
        updateActions();
        ShowError(this, failure);
        return;
    }
    takeNewPicture(picture); // a new history, which the shrink is the first step of
    if (m_shrinkCapture)
        shrinkCaptured(); // a cancelled prompt keeps the full-size capture
}
