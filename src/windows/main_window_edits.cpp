// The main window: the Edit menu's picture edits. Each asks its value (if any), calls the core,
// and puts the result in place; none touches UndoImage.
#include "windows/main_window.h"

#include "core/image/edits.h"
#include "core/image/filters.h"
#include "core/image/rotate.h"
#include "windows/busy_cursor.h"
#include "windows/value_dialog.h"
#include "windows/window_support.h"

namespace {

constexpr int kSmallestWidth = 5; // the width prompt's least value
constexpr int kProposedAngle = 5;

} // namespace

std::optional<int> MainWindow::askWidth(int maximum)
{
    const std::optional<int> width = m_valueDialog->askWholeNumber(
        QStringLiteral("縮小幅設定"), QStringLiteral("縮小時の画像幅を設定してください"),
        m_ws.WindowSettings.RWidth, kSmallestWidth, maximum);
    if (width)
        m_ws.WindowSettings.RWidth = *width; // offered again next time, and kept in set.ini
    return width;
}

void MainWindow::resizePicture()
{
    const std::optional<int> width = askWidth(2 * m_ws.CanvasWidth);
    if (!width)
        return;
    Guarded(this, [&] {
        BusyCursor busy;
        putEditResult(ScaleToWidth(m_ws.WorkImage, *width), EditResultKind::ChangesSize);
    });
}

void MainWindow::rotatePicture()
{
    const std::optional<int> angle = m_valueDialog->askWholeNumber(
        QStringLiteral("画像回転設定"), QStringLiteral("回転角度を設定してください"),
        kProposedAngle, 0, 359);
    if (!angle)
        return;
    Guarded(this, [&] {
        BusyCursor busy;
        putEditResult(Rotate(*angle, m_ws.WorkImage, 1.0), EditResultKind::ChangesSize);
    });
}

void MainWindow::blurPicture()
{
    Guarded(this, [this] {
        BusyCursor busy;
        putEditResult(Filter3x3(FilterKind::Blur, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                      EditResultKind::KeepsSize);
    });
}

void MainWindow::sharpenPicture()
{
    Guarded(this, [this] {
        BusyCursor busy;
        putEditResult(Filter3x3(FilterKind::Sharpen, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                      EditResultKind::KeepsSize);
    });
}

void MainWindow::adjustContrast()
{
    const std::optional<double> factor = m_valueDialog->askFraction(
        QStringLiteral("コントラスト設定"),
        QStringLiteral("コントラスト値を設定してください(0.01～1)"), 0.1, 1.0);
    if (!factor)
        return;
    Guarded(this, [&] {
        BusyCursor busy;
        putEditResult(Contrast(*factor, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                      EditResultKind::KeepsSizeAndLabels);
    });
}

void MainWindow::adjustGamma()
{
    const std::optional<double> gamma =
        m_valueDialog->askFraction(QStringLiteral("ガンマ補正設定"),
                                   QStringLiteral("ガンマ値を設定してください(0.01～3)"), 1.0, 3.0);
    if (!gamma)
        return;
    Guarded(this, [&] {
        BusyCursor busy;
        const double g = *gamma;
        putEditResult(Gamma(g, g, g, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                      EditResultKind::KeepsSizeAndLabels);
    });
}

void MainWindow::correctLevels()
{
    Guarded(this, [this] {
        BusyCursor busy;
        QImage picture = m_ws.WorkImage;
        LevelCorrect(picture);
        putEditResult(picture, EditResultKind::KeepsSizeAndLabels);
    });
}

void MainWindow::shrinkCaptured()
{
    const std::optional<int> width = askWidth(m_ws.CanvasWidth);
    if (!width)
        return; // the capture stays at full size
    Guarded(this, [&] {
        BusyCursor busy;
        putEditResult(ShrinkToFit(m_ws.WorkImage, *width), EditResultKind::ChangesSize);
    });
}
