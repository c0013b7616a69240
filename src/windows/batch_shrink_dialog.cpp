// SPDX-License-Identifier: GPL-3.0-or-later
// The batch JPEG shrink dialog.
#include "windows/batch_shrink_dialog.h"

#include "core/base/file_names.h"
#include "core/base/files.h"
#include "core/batch/shrink_worker.h"
#include "ui_batch_shrink_dialog.h"
#include "windows/application.h"
#include "windows/dialog_buttons.h"
#include "windows/error_box.h"
#include "windows/file_dialogs.h"
#include "windows/labels.h"
#include "windows/palettes.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {

constexpr int kListedFailures = 20; // more would not fit a message box

} // namespace

BatchShrinkDialog::BatchShrinkDialog(const QString &extensionsFile, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::BatchShrinkDialog>()),
      m_extensionsFile(extensionsFile)
{
    m_ui->setupUi(this);
    // No close box and no system menu: a run must end before the dialog can go.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    SetDarkBackground(this);
    m_startButton = AddDialogButton(m_ui->buttonBox, tr("縮小開始"), QDialogButtonBox::AcceptRole,
                                    "startButton");
    m_closeButton =
        AddDialogButton(m_ui->buttonBox, tr("閉じる"), QDialogButtonBox::RejectRole, "closeButton");

    connect(m_ui->sourceButton, &QPushButton::clicked, this, &BatchShrinkDialog::pickSource);
    connect(m_ui->destinationButton, &QPushButton::clicked, this,
            &BatchShrinkDialog::pickDestination);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &BatchShrinkDialog::startShrink);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::accept);
}

BatchShrinkDialog::~BatchShrinkDialog() = default;

void BatchShrinkDialog::run()
{
    m_ui->sourceField->clear();
    m_ui->destinationField->clear();
    m_ui->statusLabel->clear();
    exec();
}

void BatchShrinkDialog::pickSource()
{
    m_ui->sourceField->setText(pickFolder(m_ui->sourceField->text()));
}

void BatchShrinkDialog::pickDestination()
{
    m_ui->destinationField->setText(pickFolder(m_ui->destinationField->text()));
}

QString BatchShrinkDialog::pickFolder(const QString &current)
{
    QFileDialog picker(this, tr("フォルダを選択してください"));
    picker.setObjectName(QStringLiteral("folderPicker"));
    picker.setOption(QFileDialog::DontUseNativeDialog);
    picker.setFileMode(QFileDialog::Directory);
    picker.setOption(QFileDialog::ShowDirsOnly);
    picker.setDirectory(m_pickedFolder.isEmpty() ? QDir::homePath() : m_pickedFolder);
    const QString chosen = RunFileDialog(&picker);
    if (chosen.isEmpty())
        return current; // cancelled: the field keeps what it had
    // The listing and the output names rely on the trailing slash.
    m_pickedFolder = WithTrailingSlash(QDir::cleanPath(chosen));
    return m_pickedFolder.trimmed();
}

void BatchShrinkDialog::startShrink()
{
    m_ui->progressBar->setValue(0); // the last run's bar must not stand for this one
    m_ui->statusLabel->clear();
    const QString source = m_ui->sourceField->text();
    const QString destination = m_ui->destinationField->text();
    if (source.isEmpty() || destination.isEmpty()) {
        QMessageBox::information(this, kAppTitle,
                                 tr("変換元フォルダと保存先フォルダを「参照」で選んでください。"));
        return;
    }
    // Every output takes its source's name: into the source folder, each original is replaced.
    if (IsSameFolder(source, destination) &&
        QMessageBox::question(this, kAppTitle,
                              tr("保存先が変換元と同じフォルダです。元の画像を縮小した"
                                 "画像で置き換えますか?"),
                              QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) != QMessageBox::Yes)
        return;
    setRunning(true);
    ShrinkJob job;
    job.sourceFolder = m_ui->sourceField->text();
    job.destinationFolder = m_ui->destinationField->text();
    job.longerSide = m_ui->widthSpin->readValue();
    job.metadata =
        m_ui->keepMetadataCheck->isChecked() ? PhotoMetadata::Keep : PhotoMetadata::Strip;
    job.extensionsFile = m_extensionsFile;
    auto *worker = new ShrinkWorker(job);
    connect(worker, &ShrinkWorker::progressMaximum, m_ui->progressBar, &QProgressBar::setMaximum);
    connect(worker, &ShrinkWorker::progressed, m_ui->progressBar, &QProgressBar::setValue);
    connect(worker, &ShrinkWorker::finishedRun, this, &BatchShrinkDialog::finishRun);
    worker->start();
}

void BatchShrinkDialog::setRunning(bool running)
{
    m_running = running;
    // The order in which the end of a run gives the controls back.
    for (QWidget *control : std::initializer_list<QWidget *>{
             m_ui->widthSpin, m_ui->keepMetadataCheck, m_ui->sourceButton, m_ui->destinationButton,
             m_startButton, m_closeButton})
        control->setEnabled(!running);
}

void BatchShrinkDialog::finishRun(int written, const QStringList &failures, const QString &fatal)
{
    setRunning(false);
    if (fatal.isEmpty()) {
        // Said here, not in a box to click away: the run may have taken minutes.
        QString text = tr("%n 個のファイルを %1 に書き込みました", nullptr, written)
                           .arg(m_ui->destinationField->text());
        if (!failures.isEmpty())
            text += tr(" (%n 個は変換できませんでした)", nullptr, int(failures.size()));
        ShowElided(m_ui->statusLabel, text);
    }
    emit runFinished();
    if (!fatal.isEmpty()) {
        ShowError(this, fatal);
        return;
    }
    if (failures.isEmpty())
        return;
    QStringList shown = failures.mid(0, kListedFailures);
    if (failures.size() > kListedFailures)
        shown << tr("ほか %1 件").arg(failures.size() - kListedFailures);
    QMessageBox::warning(this, kAppTitle,
                         tr("次のファイルは変換できませんでした。\n\n") + shown.join(u'\n'));
}

void BatchShrinkDialog::reject()
{
    if (!m_running)
        QDialog::reject();
}

void BatchShrinkDialog::closeEvent(QCloseEvent *event)
{
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}
