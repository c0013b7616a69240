// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the Edit menu's picture edits and their history. Each edit asks its value (if
// any), calls the core, and puts the result in place as a step that 取り消し takes back.
#include "windows/main_window.h"

#include "core/image/edits.h"
#include "core/image/pixel_scaling.h"
#include "ui_main_window.h"
#include "windows/busy_cursor.h"
#include "windows/error_box.h"
#include "windows/value_dialog.h"

namespace {

constexpr int kSmallestWidth = 5; // the width prompt's least value
constexpr int kProposedAngle = 5;

// The name of the capture's shrink in the history: not an edit of the menu.
const char *const kCaptureShrinkStep = QT_TRANSLATE_NOOP("MainWindow", "縮小");

// The item's caption, with the name of the step it takes when there is one.
QString historyItemText(const QString &command, const QString &step)
{
    return step.isEmpty() ? command : command + QStringLiteral(": ") + step;
}

} // namespace

void MainWindow::connectEdits()
{
    // Both redo keys are in common use on Linux desktops; the menu shows the first.
    m_ui->redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(m_ui->undoAction, &QAction::triggered, this, &MainWindow::undoEdit);
    connect(m_ui->redoAction, &QAction::triggered, this, &MainWindow::redoEdit);
    connect(m_ui->revertAction, &QAction::triggered, this, &MainWindow::revertToLoaded);
    connect(&m_document, &PictureDocument::historyChanged, this, &MainWindow::updateHistoryActions);
    // Each edit's item is named after its option on the command line ("blurAction").
    for (const Edit &edit : Edits()) {
        auto *item = findChild<QAction *>(QLatin1String(edit.option) + QLatin1String("Action"));
        item->setText(EditCaption(edit));
        connect(item, &QAction::triggered, this, [this, &edit] { editPicture(edit); });
    }
}

void MainWindow::updateHistoryActions()
{
    const EditHistory &history = m_document.history();
    m_ui->undoAction->setEnabled(history.canUndo());
    m_ui->undoAction->setText(historyItemText(tr("取り消し"), history.undoName()));
    m_ui->redoAction->setEnabled(history.canRedo());
    m_ui->redoAction->setText(historyItemText(tr("やり直し"), history.redoName()));
}

void MainWindow::undoEdit()
{
    Guarded(this, [this] { m_document.undo(m_frame); });
}

void MainWindow::redoEdit()
{
    Guarded(this, [this] { m_document.redo(m_frame); });
}

void MainWindow::revertToLoaded()
{
    Guarded(this, [this] { m_document.revertToLoaded(tr("元に戻す"), m_frame); });
}

std::optional<int> MainWindow::askWidth(int maximum)
{
    const std::optional<int> width =
        m_valueDialog->askWholeNumber(tr("縮小幅設定"), tr("縮小時の画像幅を設定してください"),
                                      m_settings.shrinkWidth, kSmallestWidth, maximum);
    if (width)
        m_settings.shrinkWidth = *width; // offered again next time, and kept in set.ini
    return width;
}

std::optional<double> MainWindow::askEditValue(const Edit &edit)
{
    switch (edit.kind) {
    case EditKind::Rotate:
        return m_valueDialog->askWholeNumber(tr("画像回転設定"), tr("回転角度を設定してください"),
                                             kProposedAngle, 0, 359);
    case EditKind::Contrast:
        return m_valueDialog->askFraction(
            tr("コントラスト設定"), tr("コントラスト値を設定してください(0.01～1)"), 0.1, 1.0);
    case EditKind::Gamma:
        return m_valueDialog->askFraction(tr("ガンマ補正設定"),
                                          tr("ガンマ値を設定してください(0.01～3)"), 1.0, 3.0);
    default: return 0.0; // asks for nothing
    }
}

void MainWindow::editPicture(const Edit &edit)
{
    if (edit.kind == EditKind::Resize) {
        resizePicture();
        return;
    }
    const std::optional<double> value = askEditValue(edit);
    if (!value)
        return;
    Guarded(this, [&] {
        BusyCursor busy;
        // Every frame of an animation alike.
        m_document.applyEdit(
            EditStepName(edit),
            [&](const QImage &picture) { return ApplyEdit(edit, picture, *value); }, m_frame);
    });
}

void MainWindow::resizePicture()
{
    const QImage &picture = m_document.picture();
    // Enlarging and shrinking alike: the title names both. Pixel art may be enlarged pixel for
    // pixel; the dialog offers it for a whole factor.
    const std::optional<ValueDialog::Resize> choice = m_valueDialog->askResize(
        tr("拡大縮小"), tr("新しい画像の幅を設定してください (ピクセル)"), m_settings.shrinkWidth,
        kSmallestWidth, 2 * picture.width(), picture.width(), HasFewColours(picture));
    if (!choice)
        return;
    m_settings.shrinkWidth = choice->width;
    Guarded(this, [&] {
        BusyCursor busy;
        m_document.applyEdit(
            EditStepName(EditOf(EditKind::Resize)),
            [&](const QImage &picture) {
                return ResizeToWidth(picture, choice->width, choice->repeatPixels);
            },
            m_frame);
    });
}

void MainWindow::shrinkCaptured()
{
    const std::optional<int> width = askWidth(m_document.size().width());
    if (!width)
        return; // the capture stays at full size
    Guarded(this, [&] {
        BusyCursor busy;
        m_document.applyEdit(tr(kCaptureShrinkStep), ShrinkToFit(m_document.picture(), *width),
                             m_frame);
        // 元に戻す returns to the capture as it stands after its shrink, as to a loaded picture;
        // 取り消し can still go back to the full size.
        m_document.keepAsLoaded();
    });
}
