// MainWindow: the Tools menu's screen and active-window captures.
#include "windows/main_window.h"

#include "core/image/picture.h"
#include "windows/canvas_widget.h"
#include "windows/screen_capture.h"
#include "windows/window_support.h"

#include <QTimer>

void MainWindow::connectCaptures()
{
    connect(N3, &QAction::triggered, this, &MainWindow::N3Click);
    connect(N8, &QAction::triggered, this, &MainWindow::N8Click);
    connect(N6, &QAction::triggered, this, &MainWindow::N6Click);
    connect(N9, &QAction::triggered, this, &MainWindow::N9Click);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1Timer);
}

void MainWindow::startCapture(int32_t mode)
{
    // The window hides so that it is not in the picture; the timer gives the screen time to
    // repaint what it covered (and the window manager to activate the window behind it).
    CaptureMode = mode;
    hide();
    Timer1->start();
}

void MainWindow::N3Click()
{
    startCapture(1);
}

void MainWindow::N8Click()
{
    startCapture(2);
}

void MainWindow::N6Click()
{
    startCapture(3);
}

void MainWindow::N9Click()
{
    startCapture(4);
}

void MainWindow::Timer1Timer()
{
    Timer1->stop();
    PaintBox1->hide();
    QImage capture;
    QString failure;
    try {
        capture = CaptureMode >= 3 ? CaptureActiveWindow() : CaptureScreen();
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    }
    show();
    if (!failure.isEmpty()) { // nothing changes: the old picture stays
        applyPictureState();
        ShowError(this, failure);
        return;
    }
    m_ws.WorkImage = capture;
    m_ws.CanvasWidth = capture.width();
    m_ws.CanvasHeight = capture.height();
    if (CaptureMode == 2 || CaptureMode == 4)
        ShrinkCaptured(); // a cancelled prompt keeps the full-size capture
    // Undo returns to the capture as it stands now, shrunk or not.
    TakeNewPicture(m_ws.WorkImage);
}
