// MainWindow: the Edit menu's picture edits. Each asks its value (if any), calls the core, and puts
// the result in place; none touches UndoImage.
#include "windows/main_window.h"

#include "core/image/edits.h"
#include "core/image/filters.h"
#include "core/image/rotate.h"
#include "windows/clamping_spin_box.h"
#include "windows/value_dialog.h"
#include "windows/window_support.h"

#include <QApplication>
#include <QCursor>

namespace {

// Shows a wait cursor while a long edit runs on a large picture.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

void MainWindow::connectEdits()
{
    connect(C1, &QAction::triggered, this, &MainWindow::C1Click);
    connect(R3, &QAction::triggered, this, &MainWindow::R3Click);
    connect(S1, &QAction::triggered, this, &MainWindow::S1Click);
    connect(R2, &QAction::triggered, this, &MainWindow::R2Click);
    connect(N17, &QAction::triggered, this, &MainWindow::N17Click);
    connect(N18, &QAction::triggered, this, &MainWindow::N18Click);
    connect(N19, &QAction::triggered, this, &MainWindow::N19Click);
}

bool MainWindow::askWidth(int32_t maximum)
{
    Form9->AskValue(1, QStringLiteral("縮小幅設定"),
                    QStringLiteral("縮小時の画像幅を設定してください"), 5, 0.1);
    Form9->SetSpinRange(5, maximum);
    Form9->IntValue = m_ws.WindowSettings.RWidth;
    Form9->SpinEdit1->setValue(m_ws.WindowSettings.RWidth); // clamped into the range
    Form9->exec();
    if (!Form9->Accepted)
        return false;
    m_ws.WindowSettings.RWidth = Form9->IntValue;
    return true;
}

void MainWindow::C1Click()
{
    if (!askWidth(2 * m_ws.CanvasWidth))
        return;
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(ScaleToWidth(m_ws.WorkImage, Form9->IntValue), EditResultKind::ChangesSize);
    });
}

void MainWindow::ShrinkCaptured()
{
    if (!askWidth(m_ws.CanvasWidth))
        return;
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(ShrinkToFit(m_ws.WorkImage, Form9->IntValue), EditResultKind::ChangesSize);
    });
}

void MainWindow::R3Click()
{
    Form9->AskValue(4, QStringLiteral("画像回転設定"), QStringLiteral("回転角度を設定してください"),
                    5, 0.1);
    Form9->SetSpinRange(0, 359);
    Form9->exec();
    if (!Form9->Accepted)
        return;
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(Rotate(Form9->IntValue, m_ws.WorkImage, 1.0), EditResultKind::ChangesSize);
    });
}

void MainWindow::S1Click()
{
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(Filter3x3(FilterKind::Blur, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                      EditResultKind::KeepsSize);
    });
}

void MainWindow::R2Click()
{
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(Filter3x3(FilterKind::Sharpen, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                      EditResultKind::KeepsSize);
    });
}

void MainWindow::N17Click()
{
    Form9->AskValue(2, QStringLiteral("コントラスト設定"),
                    QStringLiteral("コントラスト値を設定してください(0.01～1)"), 0, 0.1);
    Form9->exec();
    if (!Form9->Accepted)
        return;
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(Contrast(Form9->RealValue, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                      EditResultKind::KeepsSizeAndLabels);
    });
}

void MainWindow::N18Click()
{
    Form9->AskValue(3, QStringLiteral("ガンマ補正設定"),
                    QStringLiteral("ガンマ値を設定してください(0.01～3)"), 0, 1.0);
    Form9->exec();
    if (!Form9->Accepted)
        return;
    Guarded(this, [this] {
        BusyCursor busy;
        const double g = Form9->RealValue;
        PutEditResult(Gamma(g, g, g, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                      EditResultKind::KeepsSizeAndLabels);
    });
}

void MainWindow::N19Click()
{
    Guarded(this, [this] {
        BusyCursor busy;
        QImage picture = m_ws.WorkImage;
        LevelCorrect(picture);
        PutEditResult(picture, EditResultKind::KeepsSizeAndLabels);
    });
}
