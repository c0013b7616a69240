// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog: saving. The run made once for a save decides what is asked, and the same
// frames are written, with the progress shown and what was written said.
#include "windows/output_dialog.h"

#include "core/animation/animation.h"
#include "core/sequence/frame_runs.h"
#include "ui_output_dialog.h"
#include "windows/application.h"
#include "windows/error_box.h"
#include "windows/file_dialogs.h"
#include "windows/labels.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QString suffixOf(FrameFormat format)
{
    return FrameExtension(format).mid(1);
}

QString suffixOf(AnimationFormat format)
{
    return format == AnimationFormat::Gif ? QStringLiteral("gif") : QStringLiteral("webp");
}

void selectFilter(QFileDialog *dialog, int index)
{
    dialog->selectNameFilter(dialog->nameFilters().value(index));
}

// A chosen name without an extension gets the one given; a name with any extension stays.
QString withSuffix(const QString &path, const QString &suffix)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + u'.' + suffix;
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
    Guarded(this, [this] {
        // One run for the whole save: the count decides what is asked, and the same frames are
        // written.
        const CutJob choices = job();
        const std::unique_ptr<FrameRun> run = frames(choices);
        if (m_mode == OutputMode::SingleCut)
            saveSingle(*run, true);
        else if (choices.kind == CutKind::Grid && run->count() == 0)
            ShowError(this, tr("書き出すタイルがありません (どのタイルも単色です)"));
        else if (choices.output.kind != OutputKind::NumberedFiles)
            saveToOneFile(*run);
        else if (choices.kind == CutKind::Continuous && run->count() < 2)
            saveSingle(*run, false); // only the start fits: one file
        else
            saveSequence(*run);
    });
}

bool OutputDialog::write(FrameRun &run, const FrameOutput &output)
{
    if (!mayReplaceFramesOf(output, run.count()))
        return false;
    WriteFrameOutput(run, output, [this](int k, int n) { showProgress(k, n); });
    m_ui->progressBar->setValue(0);
    return true;
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
    // The filter chosen in the save dialog is the format.
    const auto format = FrameFormat(SelectedFilterIndex(m_cutSaveDialog));
    m_formatGroup->button(int(format))->setChecked(true);
    FrameOutput output;
    output.kind = OutputKind::OneFile;
    output.format = format;
    output.path = withSuffix(chosen, suffixOf(format));
    // The file dialog has asked already whether to replace a file of that name.
    WriteFrameOutput(run, output);
    accept();
}

void OutputDialog::saveSequence(FrameRun &run)
{
    selectFilter(m_framesSaveDialog, m_formatGroup->checkedId());
    const QString path = RunFileDialog(m_framesSaveDialog);
    if (path.isEmpty())
        return; // cancelled: the dialog stays open
    m_formatGroup->button(SelectedFilterIndex(m_framesSaveDialog))->setChecked(true);
    FrameOutput output = job().output;
    output.path = path;
    if (!write(run, output))
        return;
    const int count = run.count();
    showStatus(tr("%1 個のファイルを書き込みました: %2 ～ %3")
                   .arg(count)
                   .arg(FrameFileName(output.path, 1, output.format),
                        QFileInfo(FrameFileName(output.path, count, output.format)).fileName()));
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
    } else {
        path = withSuffix(path, QStringLiteral("png"));
    }
    FrameOutput output = job().output;
    output.path = path;
    if (write(run, output))
        showStatus(
            tr("%1 を書き込みました").arg(OutputFiles(output, run.count()).join(tr(" と "))));
}

void OutputDialog::showStatus(const QString &text)
{
    // The run can take a while: say what it wrote, here rather than in a box to click away.
    ShowElided(m_ui->statusLabel, text);
}

bool OutputDialog::mayReplaceFramesOf(const FrameOutput &output, int frames)
{
    const QStringList taken = ExistingOutputFiles(output, frames);
    if (taken.isEmpty())
        return true;
    // One question for the whole run: the first file that would be replaced stands for all.
    return QMessageBox::question(
               this, kAppTitle, tr("%1 は既にあります。上書きしますか?").arg(taken.first()),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void OutputDialog::showProgress(int k, int n)
{
    m_ui->progressBar->setRange(0, n);
    m_ui->progressBar->setValue(k);
    // Let the bar repaint, a few dozen times a second at most: a run of thousands of small
    // frames must not spend its time painting. The dialog takes no input while the run lasts.
    if (k == 1 || k == n || !m_progressShown.isValid() || m_progressShown.elapsed() > 40) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_progressShown.start();
    }
}
