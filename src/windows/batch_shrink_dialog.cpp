// BatchShrinkDialog: the batch JPEG shrink dialog.
#include "windows/batch_shrink_dialog.h"

#include "core/batch/shrink_worker.h"
#include "windows/clamping_spin_box.h"
#include "windows/window_support.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

namespace {

constexpr int kListedFailures = 20; // more would not fit a message box

QLineEdit *makeFolderField(QWidget *parent, const char *name, QRect geometry)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(geometry);
    field->setReadOnly(true);           // only the picker changes it
    field->setFocusPolicy(Qt::NoFocus); // not a tab stop
    return field;
}

} // namespace

BatchShrinkDialog::BatchShrinkDialog(const QString &jpegDat, QWidget *parent)
    : QDialog(parent), m_jpegDat(jpegDat)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("フォルダ内JPEGファイル変換ツール"));
    // No close box and no system menu: a run must end before the dialog can go.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(404, 242);
    QFrame *panel = MakeDarkPanel(this, "Panel1");
    panel->setGeometry(0, 0, 404, 242);

    Label11 = MakeLabel(panel, "Label11", QStringLiteral("変換元フォルダ"), {13, 16});
    Edit1 = makeFolderField(panel, "Edit1", {32, 40, 297, 20});
    Button1 = MakeButton(panel, "Button1", QStringLiteral("参照"), {336, 40, 49, 25});
    Label1 = MakeLabel(panel, "Label1", QStringLiteral("保存先フォルダ"), {13, 72});
    Edit2 = makeFolderField(panel, "Edit2", {32, 88, 297, 20});
    Button2 = MakeButton(panel, "Button2", QStringLiteral("参照"), {336, 88, 49, 25});
    Label3 = MakeLabel(panel, "Label3", QStringLiteral("縮小サイズ幅"), {13, 128});
    SpinEdit1 = new ClampingSpinBox(panel);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setGeometry(32, 144, 57, 21);
    SpinEdit1->setRange(15, 3000);
    SpinEdit1->setValue(200);
    ProgressBar1 = new QProgressBar(panel);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(32, 205, 185, 10);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Button3 = MakeButton(panel, "Button3", QStringLiteral("縮小開始"), {232, 200, 75, 25});
    Button4 = MakeButton(panel, "Button4", QStringLiteral("閉じる"), {312, 200, 75, 25});

    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, SpinEdit1);

    connect(Button1, &QPushButton::clicked, this, &BatchShrinkDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &BatchShrinkDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &BatchShrinkDialog::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &BatchShrinkDialog::Button4Click);
}

QString BatchShrinkDialog::pickFolder(const QString &current)
{
    QFileDialog picker(this, QStringLiteral("フォルダを選択してください"));
    picker.setObjectName(QStringLiteral("FolderPicker"));
    picker.setOption(QFileDialog::DontUseNativeDialog);
    picker.setFileMode(QFileDialog::Directory);
    picker.setOption(QFileDialog::ShowDirsOnly);
    picker.setDirectory(PickedFolder.isEmpty() ? QDir::homePath() : PickedFolder);
    const QString chosen = RunFileDialog(&picker);
    if (chosen.isEmpty())
        return current; // cancelled: the field keeps what it had
    PickedFolder = QDir::cleanPath(chosen);
    if (!PickedFolder.endsWith(u'/')) // the listing and the output names rely on it
        PickedFolder += u'/';
    return PickedFolder.trimmed();
}

void BatchShrinkDialog::run()
{
    Edit1->clear();
    Edit2->clear();
    exec();
}

void BatchShrinkDialog::Button1Click()
{
    Edit1->setText(pickFolder(Edit1->text()));
}

void BatchShrinkDialog::Button2Click()
{
    Edit2->setText(pickFolder(Edit2->text()));
}

void BatchShrinkDialog::Button3Click()
{
    if (Edit1->text().isEmpty() || Edit2->text().isEmpty())
        return;
    setRunning(true);
    ProgressBar1->setValue(0);
    ShrinkSettingsPath = m_jpegDat;
    ShrinkJob job;
    job.sourceFolder = Edit1->text();
    job.destinationFolder = Edit2->text();
    job.targetWidth = SpinEdit1->readValue();
    job.extensionsFile = ShrinkSettingsPath;
    auto *worker = new ShrinkWorker(job);
    connect(worker, &ShrinkWorker::progressMaximum, ProgressBar1, &QProgressBar::setMaximum);
    connect(worker, &ShrinkWorker::progressed, ProgressBar1, &QProgressBar::setValue);
    connect(worker, &ShrinkWorker::finishedRun, this, &BatchShrinkDialog::finishRun);
    worker->start();
}

void BatchShrinkDialog::setRunning(bool running)
{
    m_running = running;
    // The order in which the end of a run gives the controls back.
    for (QWidget *control :
         std::initializer_list<QWidget *>{SpinEdit1, Button1, Button2, Button3, Button4})
        control->setEnabled(!running);
}

void BatchShrinkDialog::finishRun(int written, const QStringList &failures, const QString &fatal)
{
    Q_UNUSED(written);
    setRunning(false);
    emit runFinished();
    if (!fatal.isEmpty()) {
        ShowError(this, fatal);
        return;
    }
    if (failures.isEmpty())
        return;
    QStringList shown = failures.mid(0, kListedFailures);
    if (failures.size() > kListedFailures)
        shown << QStringLiteral("ほか %1 件").arg(failures.size() - kListedFailures);
    QMessageBox::warning(this, kAppTitle,
                         QStringLiteral("次のファイルは変換できませんでした。\n\n") +
                             shown.join(u'\n'));
}

void BatchShrinkDialog::Button4Click()
{
    accept();
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
