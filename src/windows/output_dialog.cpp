// The output dialog.
#include "windows/output_dialog.h"

#include "core/sequence/continuous_cut.h"
#include "core/sequence/mixing.h"
#include "ui_output_dialog.h"
#include "windows/window_support.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFileInfo>
#include <QMessageBox>

namespace {

constexpr int kPreviewLimit = 1500; // the preview's drawing surface, in pixels each way
constexpr int kTileStep = 0; // the step group's id of "切り取りサイズ": one cut per frame
const char *const kBmpFilter =
    QT_TRANSLATE_NOOP("OutputDialog", "ビットマップファイル(*.bmp)|*.bmp");

QString titleOf(OutputMode mode)
{
    switch (mode) {
    case OutputMode::SingleCut: return OutputDialog::tr("画像切り取り");
    case OutputMode::Sequence: return OutputDialog::tr("連続画像切り取り");
    case OutputMode::Blend: return OutputDialog::tr("アルファ合成");
    case OutputMode::Fade: return OutputDialog::tr("フェードアウト");
    }
    return {};
}

} // namespace

OutputDialog::OutputDialog(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::OutputDialog>())
{
    m_ui->setupUi(this);
    SetDarkBackground(m_ui->topPanel);
    for (QGroupBox *group : {m_ui->stepBox, m_ui->directionBox, m_ui->optionBox}) {
        QPalette pal = group->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        group->setPalette(pal);
    }
    FitLabelWidths(this);

    m_stepGroup = new QButtonGroup(this);
    m_stepGroup->setObjectName(QStringLiteral("stepGroup"));
    // The buttons stand in the order of the steps, largest first; a step's id is its pixels.
    QRadioButton *const steps[] = {m_ui->step15Radio, m_ui->step8Radio, m_ui->step3Radio,
                                   m_ui->step1Radio};
    for (size_t i = 0; i < kFrameSteps.size(); ++i)
        m_stepGroup->addButton(steps[i], kFrameSteps[i]);
    m_stepGroup->addButton(m_ui->tileStepRadio, kTileStep);
    m_directionGroup = new QButtonGroup(this);
    m_directionGroup->setObjectName(QStringLiteral("directionGroup"));
    m_directionGroup->addButton(m_ui->rightRadio, int(Direction::Right));
    m_directionGroup->addButton(m_ui->leftRadio, int(Direction::Left));
    m_directionGroup->addButton(m_ui->downRadio, int(Direction::Down));
    m_directionGroup->addButton(m_ui->upRadio, int(Direction::Up));

    m_cutSaveDialog =
        MakeFileDialog(this, "cutSaveDialog", QFileDialog::AcceptSave, tr(kBmpFilter));
    m_cutSaveDialog->setDefaultSuffix(QStringLiteral("bmp"));
    // Frames take their numbers and ".bmp" after the base name, so this one adds nothing.
    m_framesSaveDialog =
        MakeFileDialog(this, "framesSaveDialog", QFileDialog::AcceptSave, tr(kBmpFilter));

    connect(m_ui->saveButton, &QPushButton::clicked, this, &OutputDialog::save);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->blendPictureButton, &QPushButton::clicked, this,
            &OutputDialog::chooseBlendPicture);
}

OutputDialog::~OutputDialog() = default;

void OutputDialog::run(OutputMode mode, const QImage &cut, const OutputActions &actions)
{
    m_actions = actions;
    m_cutSize = cut.size();
    prepare(mode);
    showPreview(cut);
    showBlendPictureName(actions.blendPictureName);
    clearStatus();
    exec();
    m_actions = {};
}

void OutputDialog::prepare(OutputMode mode)
{
    m_mode = mode;
    const bool mix = mode == OutputMode::Blend || mode == OutputMode::Fade;
    m_ui->stepBox->setVisible(mode == OutputMode::Sequence);
    m_ui->directionBox->setVisible(mode == OutputMode::Sequence);
    m_ui->optionBox->setVisible(mix);
    if (mode == OutputMode::Blend) {
        m_ui->optionBox->setTitle(tr("オプション"));
        m_ui->firstOptionRadio->setText(tr("ノーマル"));
        m_ui->secondOptionRadio->setText(tr("白を透過させる"));
    } else if (mode == OutputMode::Fade) {
        m_ui->optionBox->setTitle(tr("色を選択してください"));
        m_ui->firstOptionRadio->setText(tr("白"));
        m_ui->secondOptionRadio->setText(tr("黒"));
    }
    m_ui->firstOptionRadio->adjustSize();
    m_ui->secondOptionRadio->adjustSize();
    if (mode != OutputMode::SingleCut) { // whatever the last run used
        m_stepGroup->button(kDefaultFrameStep)->setChecked(true);
        m_ui->rightRadio->setChecked(true);
    }
    if (mix)
        m_ui->firstOptionRadio->setChecked(true);
    m_ui->blendPictureButton->setVisible(mode == OutputMode::Blend);
    m_ui->blendPictureLabel->setVisible(mode == OutputMode::Blend);
    SetLabelText(m_ui->titleLabel, titleOf(mode));
}

void OutputDialog::showPreview(const QImage &cut)
{
    const QImage shown =
        cut.copy(0, 0, std::min(cut.width(), kPreviewLimit), std::min(cut.height(), kPreviewLimit));
    m_ui->previewLabel->setPixmap(QPixmap::fromImage(shown));
    m_ui->previewLabel->resize(shown.size());
}

int OutputDialog::step() const
{
    if (m_stepGroup->checkedId() != kTileStep)
        return m_stepGroup->checkedId();
    const Direction d = direction();
    return d == Direction::Right || d == Direction::Left ? m_cutSize.width() : m_cutSize.height();
}

Direction OutputDialog::direction() const
{
    return Direction(m_directionGroup->checkedId());
}

OutputOrder OutputDialog::order() const
{
    OutputOrder order;
    order.mode = m_mode;
    order.step = step();
    order.direction = direction();
    order.secondOption = m_ui->secondOptionRadio->isChecked();
    return order;
}

void OutputDialog::chooseBlendPicture()
{
    if (const std::optional<QString> name = m_actions.chooseBlendPicture())
        showBlendPictureName(*name);
}

void OutputDialog::showBlendPictureName(const QString &name)
{
    // Until a picture is chosen the cut is blended with white: say so rather than leave the user
    // to find out from the frames.
    const QString shown = name.isEmpty() ? tr("白") : name;
    const QString text = tr("合成用画像: %1").arg(shown);
    QLabel *label = m_ui->blendPictureLabel;
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width()));
    label->setToolTip(text);
}

void OutputDialog::clearStatus()
{
    // The tooltip holds the whole text of an elided status: it goes with it.
    m_ui->statusLabel->clear();
    m_ui->statusLabel->setToolTip({});
}

void OutputDialog::save()
{
    clearStatus();
    Guarded(this, [this] {
        if (m_mode == OutputMode::SingleCut)
            saveSingle(true);
        else if (m_mode == OutputMode::Sequence && m_actions.frameCount(step(), direction()) < 2)
            saveSingle(false); // only the start fits: one file
        else
            saveSequence();
    });
}

void OutputDialog::saveSingle(bool closeOnCancel)
{
    const QString path = RunFileDialog(m_cutSaveDialog);
    if (path.isEmpty()) {
        if (closeOnCancel)
            accept();
        return;
    }
    OutputOrder single = order();
    single.singleFile = true;
    single.path = path;
    m_actions.write(single, {});
    accept();
}

void OutputDialog::saveSequence()
{
    OutputOrder frames = order();
    frames.path = RunFileDialog(m_framesSaveDialog);
    if (frames.path.isEmpty())
        return; // cancelled: the dialog stays open
    const int count =
        m_mode == OutputMode::Sequence ? m_actions.frameCount(step(), direction()) : kMixFrames;
    if (!mayReplaceFramesOf(frames.path, count))
        return;
    m_actions.write(frames, [this](int k, int n) { showProgress(k, n); });
    m_ui->progressBar->setValue(0);
    // The run can take a while: say what it wrote, here rather than in a box to click away.
    const QString text = tr("%1 個のファイルを書き込みました: %2 ～ %3")
                             .arg(count)
                             .arg(FrameFileName(frames.path, 1),
                                  QFileInfo(FrameFileName(frames.path, count)).fileName());
    QLabel *label = m_ui->statusLabel;
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width()));
    label->setToolTip(text);
}

bool OutputDialog::mayReplaceFramesOf(const QString &base, int frames)
{
    const QStringList taken = ExistingFrameFiles(base, frames);
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
