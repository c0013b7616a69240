// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog: saving. The run made once for a save decides what is asked, and the same
// frames are written, with the progress shown, a way to stop, and what was written said.
#include "windows/output_dialog.h"

#include "core/animation/animation.h"
#include "core/base/io_error.h"
#include "core/image/picture_writing.h"
#include "core/sequence/frame_runs.h"
#include "core/sequence/output_refusal.h"
#include "ui_output_dialog.h"
#include "windows/application.h"
#include "windows/busy_cursor.h"
#include "windows/error_box.h"
#include "windows/file_dialogs.h"
#include "windows/labels.h"
#include "windows/questions.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QString suffixOf(AnimationFormat format)
{
    return format == AnimationFormat::Gif ? QStringLiteral("gif") : QStringLiteral("webp");
}

void selectFilter(QFileDialog *dialog, int index)
{
    dialog->selectNameFilter(dialog->nameFilters().value(index));
}

PictureFileKind fileKindOf(FrameFormat format)
{
    return format == FrameFormat::Png ? PictureFileKind::Png : PictureFileKind::Bmp;
}

// The choices and buttons of a layout, however deep.
void setEnabledWithin(QLayout *layout, bool enabled)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget())
            item->widget()->setEnabled(enabled);
        else if (item->layout())
            setEnabledWithin(item->layout(), enabled);
    }
}

// "walk001.bmp ～ walk120.bmp" for the files written, the folder named once.
QString framesWritten(const FrameOutput &output, int count)
{
    const QString first = FrameFileName(output.path, 1, output.format);
    if (count == 1)
        return first;
    return first + OutputDialog::tr(" ～ ") +
           QFileInfo(FrameFileName(output.path, count, output.format)).fileName();
}

} // namespace

void OutputDialog::clearStatus()
{
    // The tooltip holds the whole text of an elided status: it goes with it.
    m_ui->statusLabel->clear();
    m_ui->statusLabel->setToolTip({});
}

void OutputDialog::save()
{
    m_ui->previewArea->stop();
    clearStatus();
    m_ui->progressBar->setValue(0);
    Guarded(this, [this] {
        // One run for the whole save: the count decides what is asked, and the same frames are
        // written.
        const CutJob choices = job();
        const std::unique_ptr<FrameRun> run = frames(choices);
        if (m_mode == OutputMode::SingleCut && !animated())
            saveSingle(*run, true);
        else if (choices.kind == CutKind::Grid && run->count() == 0)
            ShowError(this, tr("書き出すタイルがありません (どのタイルも単色です)"));
        else if (choices.kind == CutKind::Auto && run->count() == 0)
            ShowError(this, NoSpritesText());
        else if (choices.output.kind != OutputKind::NumberedFiles)
            saveToOneFile(*run);
        else if (choices.kind == CutKind::Continuous && run->count() < 2)
            saveSingle(*run, false); // only the start fits: one file
        else
            saveSequence(*run);
    });
}

void OutputDialog::reject()
{
    if (m_running)
        m_stopAsked = true;
    else
        QDialog::reject();
}

void OutputDialog::setRunning(bool running)
{
    m_running = running;
    m_stopAsked = false;
    setEnabledWithin(m_ui->choicesRow, !running);
    m_ui->formatPanel->setEnabled(!running);
    m_ui->buttonBox->setEnabled(!running);
    m_ui->cancelButton->setVisible(running);
    if (running)
        m_ui->cancelButton->setFocus();
}

void OutputDialog::refuseToDestroy(const FrameRun &run, const FrameOutput &output) const
{
    // A name that would replace the picture being cut, or a run beyond what the output holds, is
    // said before anything is asked or written; the dialog stays for another choice.
    const QString refused = OutputRefusal(output, run, {m_document->fileName()});
    if (!refused.isEmpty())
        throw Failure(refused);
}

OutputDialog::RunEnd OutputDialog::write(FrameRun &run, const FrameOutput &output)
{
    refuseToDestroy(run, output);
    if (!MayReplaceFiles(this, ExistingOutputFiles(output, run.count())))
        return RunEnd::Declined;
    m_stepsDone = 0;
    setRunning(true);
    // The arrow stays beside the busy mark: 停止 must still be clickable.
    const BusyCursor busy(Qt::BusyCursor);
    RunEnd end = RunEnd::Finished;
    try {
        WriteFrameOutput(run, output, [this](int k, int n) { showProgress(k, n); });
    } catch (const Cancelled &) {
        end = RunEnd::Stopped;
    } catch (...) {
        setRunning(false);
        throw;
    }
    setRunning(false);
    return end;
}

QString OutputDialog::skippedTiles(const FrameRun &run) const
{
    if (run.skipped() == 0)
        return {};
    return tr(" (単色のタイル %n 個は書き出していません)", nullptr, run.skipped());
}

void OutputDialog::saveSingle(FrameRun &run, bool closeOnCancel)
{
    selectFilter(m_cutSaveDialog, m_formatGroup->checkedId());
    const QString chosen = RunFileDialog(m_cutSaveDialog);
    if (chosen.isEmpty()) {
        if (closeOnCancel)
            accept();
        return;
    }
    // A typed .bmp or .png is the format; any other name takes the filter's extension.
    const auto filtered = FrameFormat(SelectedFilterIndex(m_cutSaveDialog));
    const SaveTarget target =
        SaveTargetOf(chosen, fileKindOf(filtered), {PictureFileKind::Bmp, PictureFileKind::Png});
    const FrameFormat format =
        target.kind == PictureFileKind::Png ? FrameFormat::Png : FrameFormat::Bmp;
    m_formatGroup->button(int(format))->setChecked(true);
    FrameOutput output;
    output.kind = OutputKind::OneFile;
    output.format = format;
    output.path = target.path;
    refuseToDestroy(run, output);
    if (!MayReplaceFiles(this, ExistingOutputFiles(output, 1)))
        return; // the dialog stays for another name
    WriteFrameOutput(run, output);
    accept();
}

void OutputDialog::saveSequence(FrameRun &run)
{
    const int count = run.count();
    if (count > kManyFiles && QMessageBox::question(this, kAppTitle,
                                                    tr("%n 個のファイルを書き出します。続けますか?",
                                                       nullptr, count)) != QMessageBox::Yes)
        return;
    const FrameFormat asked = job().output.format;
    // Numbered animations take their base name where an animation is saved; the format stays
    // the one chosen in the dialog.
    const bool animations = AnimationFormatOf(asked).has_value();
    QFileDialog *dialog = animations ? m_animationSaveDialog : m_framesSaveDialog;
    selectFilter(dialog,
                 animations ? m_animationFormatGroup->checkedId() : m_formatGroup->checkedId());
    const QString path = RunFileDialog(dialog);
    if (path.isEmpty())
        return; // cancelled: the dialog stays open
    if (!animations)
        m_formatGroup->button(SelectedFilterIndex(dialog))->setChecked(true);
    const CutJob chosen = job();
    FrameOutput output = chosen.output;
    output.path = path;
    // A blend or a fade mixes its frames for the output: through transparency for PNG, over
    // white for BMP. The filter chosen may have changed which.
    std::unique_ptr<FrameRun> remade;
    if (output.format != asked)
        remade = frames(chosen);
    FrameRun &writing = remade ? *remade : run;
    switch (write(writing, output)) {
    case RunEnd::Declined: return;
    case RunEnd::Finished:
        showStatus(tr("%n 個のファイルを書き込みました: %1", nullptr, count)
                       .arg(framesWritten(output, count)) +
                   skippedTiles(writing));
        return;
    case RunEnd::Stopped:
        // Each file is written whole or not at all: those written so far are complete.
        showStatus(m_stepsDone == 0 ? tr("停止しました。ファイルは書き込んでいません")
                                    : tr("停止しました。%n 個のファイルを書き込みました: %1",
                                         nullptr, m_stepsDone)
                                          .arg(framesWritten(output, m_stepsDone)));
        return;
    }
}

void OutputDialog::saveToOneFile(FrameRun &run)
{
    const bool animation = m_kindGroup->checkedId() == int(OutputKind::Animation);
    QFileDialog *dialog = animation ? m_animationSaveDialog : m_sheetSaveDialog;
    if (animation)
        selectFilter(dialog, m_animationFormatGroup->checkedId());
    QString path = RunFileDialog(dialog);
    if (path.isEmpty())
        return; // cancelled: the dialog stays open
    if (animation) {
        // A name typed with either format's extension is that format; any other name takes the
        // extension of the filter chosen.
        if (!AnimationFormatOf(path))
            path += u'.' + suffixOf(AnimationFormat(SelectedFilterIndex(dialog)));
        m_animationFormatGroup->button(int(*AnimationFormatOf(path)))->setChecked(true);
    } else { // the sheet or the atlas: a PNG
        path = SaveTargetOf(path, PictureFileKind::Png, {PictureFileKind::Png}).path;
    }
    FrameOutput output = job().output;
    output.path = path;
    switch (write(run, output)) {
    case RunEnd::Declined: return;
    case RunEnd::Finished:
        showStatus(
            tr("%1 を書き込みました").arg(OutputFiles(output, run.count()).join(tr(" と "))) +
            skippedTiles(run));
        return;
    case RunEnd::Stopped:
        // The animation or the sheet is made in memory and written at the end.
        showStatus(tr("停止しました。ファイルは書き込んでいません"));
        return;
    }
}

void OutputDialog::showStatus(const QString &text)
{
    // The run can take a while: say what it wrote, here rather than in a box to click away.
    ShowElided(m_ui->statusLabel, text);
}

void OutputDialog::showProgress(int k, int n)
{
    m_stepsDone = k;
    m_ui->progressBar->setRange(0, n);
    m_ui->progressBar->setValue(k);
    // Let the bar repaint and 停止 be pressed, a few dozen times a second at most: a run of
    // thousands of small frames must not spend its time painting. The other controls are off.
    if (k == 1 || k == n || !m_progressShown.isValid() || m_progressShown.elapsed() > 40) {
        QApplication::processEvents();
        m_progressShown.start();
    }
    if (m_stopAsked && k < n)
        throw Cancelled(CancelledText());
}
