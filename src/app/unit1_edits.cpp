// TForm1: the Edit menu's picture edits. Each asks its value (if any), calls the core, and puts
// the result in place; none touches UndoImage.
#include "app/unit1.h"

#include "app/spinedit.h"
#include "app/ui_support.h"
#include "image/edits.h"
#include "image/unit9.h"

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

void TForm1::connectEdits()
{
    connect(C1, &QAction::triggered, this, &TForm1::C1Click);
    connect(R3, &QAction::triggered, this, &TForm1::R3Click);
    connect(S1, &QAction::triggered, this, &TForm1::S1Click);
    connect(R2, &QAction::triggered, this, &TForm1::R2Click);
    connect(N17, &QAction::triggered, this, &TForm1::N17Click);
    connect(N18, &QAction::triggered, this, &TForm1::N18Click);
    connect(N19, &QAction::triggered, this, &TForm1::N19Click);
}

bool TForm1::askWidth(int32_t maximum)
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

void TForm1::C1Click()
{
    if (!askWidth(2 * m_ws.CanvasWidth))
        return;
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(ScaleToWidth(m_ws.WorkImage, Form9->IntValue), EditResultKind::ChangesSize);
    });
}

void TForm1::ShrinkCaptured()
{
    if (!askWidth(m_ws.CanvasWidth))
        return;
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(ShrinkToFit(m_ws.WorkImage, Form9->IntValue), EditResultKind::ChangesSize);
    });
}

void TForm1::R3Click()
{
    Form9->AskValue(4, QStringLiteral("画像回転設定"), QStringLiteral("回転角度を設定してください"),
                    5, 0.1);
    Form9->SetSpinRange(0, 359);
    Form9->exec();
    if (!Form9->Accepted)
        return;
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(Conv->Rotate(Form9->IntValue, m_ws.WorkImage, 1.0),
                      EditResultKind::ChangesSize);
    });
}

void TForm1::S1Click()
{
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(Conv->Filter3x3(1, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                      EditResultKind::KeepsSize);
    });
}

void TForm1::R2Click()
{
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(Conv->Filter3x3(2, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                      EditResultKind::KeepsSize);
    });
}

void TForm1::N17Click()
{
    Form9->AskValue(2, QStringLiteral("コントラスト設定"),
                    QStringLiteral("コントラスト値を設定してください(0.01～1)"), 0, 0.1);
    Form9->exec();
    if (!Form9->Accepted)
        return;
    Guarded(this, [this] {
        BusyCursor busy;
        PutEditResult(
            Conv->Contrast(Form9->RealValue, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
            EditResultKind::KeepsSizeAndLabels);
    });
}

void TForm1::N18Click()
{
    Form9->AskValue(3, QStringLiteral("ガンマ補正設定"),
                    QStringLiteral("ガンマ値を設定してください(0.01～3)"), 0, 1.0);
    Form9->exec();
    if (!Form9->Accepted)
        return;
    Guarded(this, [this] {
        BusyCursor busy;
        const double g = Form9->RealValue;
        PutEditResult(Conv->Gamma(g, g, g, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                      EditResultKind::KeepsSizeAndLabels);
    });
}

void TForm1::N19Click()
{
    Guarded(this, [this] {
        BusyCursor busy;
        QImage picture = m_ws.WorkImage;
        Conv->LevelCorrect(picture);
        PutEditResult(picture, EditResultKind::KeepsSizeAndLabels);
    });
}
