// TForm1: the Tools menu's screen and active-window captures.
#include "app/unit1.h"

#include "app/paintbox.h"
#include "app/ui_support.h"
#include "image/image.h"

#include <QTimer>

void TForm1::connectCaptures()
{
    connect(N3, &QAction::triggered, this, &TForm1::N3Click);
    connect(N8, &QAction::triggered, this, &TForm1::N8Click);
    connect(N6, &QAction::triggered, this, &TForm1::N6Click);
    connect(N9, &QAction::triggered, this, &TForm1::N9Click);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
}

void TForm1::startCapture(int32_t mode)
{
    // The window hides so that it is not in the picture; the timer gives the screen time to
    // repaint what it covered (and the window manager to activate the window behind it).
    CaptureMode = mode;
    hide();
    Timer1->start();
}

void TForm1::N3Click()
{
    startCapture(1);
}

void TForm1::N8Click()
{
    startCapture(2);
}

void TForm1::N6Click()
{
    startCapture(3);
}

void TForm1::N9Click()
{
    startCapture(4);
}

void TForm1::Timer1Timer()
{
    Timer1->stop();
    PaintBox1->hide();
    QImage capture;
    QString failure;
    try {
        capture =
            CaptureMode >= 3 ? Conv->CaptureActiveWindow() : Conv->CaptureScreen();
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
