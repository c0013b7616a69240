// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the Edit menu's picture edits and their history. Each edit asks its value (if
// any), calls the core, and puts the result in place as a step that 取り消し takes back; none
// touches UndoImage.
#include "windows/main_window.h"

#include "core/image/edits.h"
#include "core/image/filters.h"
#include "core/image/rotate.h"
#include "ui_main_window.h"
#include "windows/busy_cursor.h"
#include "windows/value_dialog.h"
#include "windows/window_support.h"

namespace {

constexpr int kSmallestWidth = 5; // the width prompt's least value
constexpr int kProposedAngle = 5;

// The names the history items show for each edit ("取り消し: ぼかし"): the menu captions
// without their access keys.
const char *const kResizeStep = QT_TRANSLATE_NOOP("MainWindow", "拡大縮小");
const char *const kRotateStep = QT_TRANSLATE_NOOP("MainWindow", "回転");
const char *const kBlurStep = QT_TRANSLATE_NOOP("MainWindow", "ぼかし");
const char *const kSharpenStep = QT_TRANSLATE_NOOP("MainWindow", "シャープネス");
const char *const kContrastStep = QT_TRANSLATE_NOOP("MainWindow", "コントラスト強調");
const char *const kGammaStep = QT_TRANSLATE_NOOP("MainWindow", "ガンマ補正");
const char *const kLevelsStep = QT_TRANSLATE_NOOP("MainWindow", "レベル補正");
const char *const kCaptureShrinkStep = QT_TRANSLATE_NOOP("MainWindow", "縮小");

// The item's caption, with the name of the step it takes when there is one.
QString historyItemText(const QString &command, const QString &step)
{
    return step.isEmpty() ? command : command + QStringLiteral(": ") + step;
}

} // namespace

void MainWindow::connectHistory()
{
    // Both redo keys are in common use on Linux desktops; the menu shows the first.
    m_ui->redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(m_ui->undoAction, &QAction::triggered, this, &MainWindow::undoEdit);
    connect(m_ui->redoAction, &QAction::triggered, this, &MainWindow::redoEdit);
}

void MainWindow::updateHistoryActions()
{
    m_ui->undoAction->setEnabled(m_history.canUndo());
    m_ui->undoAction->setText(historyItemText(tr("取り消し"), m_history.undoName()));
    m_ui->redoAction->setEnabled(m_history.canRedo());
    m_ui->redoAction->setText(historyItemText(tr("やり直し"), m_history.redoName()));
}

void MainWindow::putEditStep(const QString &name, const QImage &result, EditResultKind kind)
{
    const EditState before = CurrentEditState(m_ws);
    putEditResult(result, kind);
    m_history.record(name, before, m_ws);
    updateHistoryActions();
}

void MainWindow::undoEdit()
{
    Guarded(this, [this] {
        m_history.undo(m_ws);
        showHistoryStep();
    });
}

void MainWindow::redoEdit()
{
    Guarded(this, [this] {
        m_history.redo(m_ws);
        showHistoryStep();
    });
}

void MainWindow::showHistoryStep()
{
    m_ui->canvas->setPictureSize(QSize(m_ws.CanvasWidth, m_ws.CanvasHeight));
    updateSizeLabels();
    refreshCanvas();
    updateHistoryActions();
}

std::optional<int> MainWindow::askWidth(int maximum)
{
    const std::optional<int> width =
        m_valueDialog->askWholeNumber(tr("縮小幅設定"), tr("縮小時の画像幅を設定してください"),
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
        putEditStep(tr(kResizeStep), ScaleToWidth(m_ws.WorkImage, *width),
                    EditResultKind::ChangesSize);
    });
}

void MainWindow::rotatePicture()
{
    const std::optional<int> angle = m_valueDialog->askWholeNumber(
        tr("画像回転設定"), tr("回転角度を設定してください"), kProposedAngle, 0, 359);
    if (!angle)
        return;
    Guarded(this, [&] {
        BusyCursor busy;
        putEditStep(tr(kRotateStep), Rotate(*angle, m_ws.WorkImage, 1.0),
                    EditResultKind::ChangesSize);
    });
}

void MainWindow::blurPicture()
{
    Guarded(this, [this] {
        BusyCursor busy;
        putEditStep(tr(kBlurStep),
                    Filter3x3(FilterKind::Blur, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                    EditResultKind::KeepsSize);
    });
}

void MainWindow::sharpenPicture()
{
    Guarded(this, [this] {
        BusyCursor busy;
        putEditStep(tr(kSharpenStep),
                    Filter3x3(FilterKind::Sharpen, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                    EditResultKind::KeepsSize);
    });
}

void MainWindow::adjustContrast()
{
    const std::optional<double> factor = m_valueDialog->askFraction(
        tr("コントラスト設定"), tr("コントラスト値を設定してください(0.01～1)"), 0.1, 1.0);
    if (!factor)
        return;
    Guarded(this, [&] {
        BusyCursor busy;
        putEditStep(tr(kContrastStep),
                    Contrast(*factor, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                    EditResultKind::KeepsSizeAndLabels);
    });
}

void MainWindow::adjustGamma()
{
    const std::optional<double> gamma = m_valueDialog->askFraction(
        tr("ガンマ補正設定"), tr("ガンマ値を設定してください(0.01～3)"), 1.0, 3.0);
    if (!gamma)
        return;
    Guarded(this, [&] {
        BusyCursor busy;
        const double g = *gamma;
        putEditStep(tr(kGammaStep), Gamma(g, g, g, WholePicture(m_ws.WorkImage), m_ws.WorkImage),
                    EditResultKind::KeepsSizeAndLabels);
    });
}

void MainWindow::correctLevels()
{
    Guarded(this, [this] {
        BusyCursor busy;
        QImage picture = m_ws.WorkImage;
        LevelCorrect(picture);
        putEditStep(tr(kLevelsStep), picture, EditResultKind::KeepsSizeAndLabels);
    });
}

void MainWindow::shrinkCaptured()
{
    const std::optional<int> width = askWidth(m_ws.CanvasWidth);
    if (!width)
        return; // the capture stays at full size
    Guarded(this, [&] {
        BusyCursor busy;
        putEditStep(tr(kCaptureShrinkStep), ShrinkToFit(m_ws.WorkImage, *width),
                    EditResultKind::ChangesSize);
        // 元に戻す returns to the capture as it stands after its shrink, as to a loaded picture;
        // 取り消し can still go back to the full size.
        m_ws.UndoImage = m_ws.WorkImage;
    });
}
