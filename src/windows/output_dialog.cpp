// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog: its choices, the cut job they make, the blend picture and the preview (the
// saving is in output_dialog_saving.cpp).
#include "windows/output_dialog.h"

#include "core/animation/animation.h"
#include "core/image/alpha.h"
#include "core/sequence/frame_runs.h"
#include "core/sequence/mixing.h"
#include "core/workspace/picture_document.h"
#include "ui_output_dialog.h"
#include "windows/application.h"
#include "windows/dialog_buttons.h"
#include "windows/dropped_files.h"
#include "windows/error_box.h"
#include "windows/file_dialogs.h"
#include "windows/labels.h"
#include "windows/palettes.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMessageBox>

namespace {

constexpr int kTileStep = 0; // the step group's id of "切り取りサイズ": one cut per frame
// The filters' order is FrameFormat's and AnimationFormat's: a filter's index is the format.
const char *const kFrameFilter =
    QT_TRANSLATE_NOOP("OutputDialog", "ビットマップファイル(*.bmp)|*.bmp|PNGファイル(*.png)|*.png");
const char *const kAnimationFilter = QT_TRANSLATE_NOOP(
    "OutputDialog", "GIFアニメーション(*.gif)|*.gif|WebPアニメーション(*.webp)|*.webp");
const char *const kSheetFilter = QT_TRANSLATE_NOOP("OutputDialog", "PNGファイル(*.png)|*.png");

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
    // While a run writes, the choices are off: they read as off on the dark panel.
    QPalette panel = m_ui->topPanel->palette();
    panel.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
    m_ui->topPanel->setPalette(panel);
    for (QGroupBox *group : {m_ui->stepBox, m_ui->directionBox, m_ui->optionBox}) {
        QPalette pal = group->palette();
        pal.setColor(QPalette::Active, QPalette::WindowText, Qt::white);
        pal.setColor(QPalette::Inactive, QPalette::WindowText, Qt::white);
        pal.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
        group->setPalette(pal);
    }
    m_ui->cancelButton->hide();
    connect(m_ui->cancelButton, &QPushButton::clicked, this, [this] { m_stopAsked = true; });

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
    m_directionGroup->addButton(m_ui->gridRadio, kGridId);
    m_directionGroup->addButton(m_ui->autoRadio, kAutoId);
    connect(m_directionGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (!checked)
            return; // the one checked next tells
        showChoices();
        findSprites();
    });
    setAcceptDrops(true);

    // The single file, the animation and the sheet take the extension of the filter chosen when
    // the name typed has none (withSuffix), as a default suffix would, but following the filter.
    m_cutSaveDialog =
        MakeFileDialog(this, "cutSaveDialog", QFileDialog::AcceptSave, tr(kFrameFilter));
    // Frames take their numbers and extension after the base name, so this one adds nothing.
    m_framesSaveDialog =
        MakeFileDialog(this, "framesSaveDialog", QFileDialog::AcceptSave, tr(kFrameFilter));
    m_animationSaveDialog =
        MakeFileDialog(this, "animationSaveDialog", QFileDialog::AcceptSave, tr(kAnimationFilter));
    m_sheetSaveDialog =
        MakeFileDialog(this, "sheetSaveDialog", QFileDialog::AcceptSave, tr(kSheetFilter));
    setUpOutputChoices();
    setUpSpriteChoices();
    setUpAtlasChoices();

    connect(m_ui->playButton, &QPushButton::clicked, this, &OutputDialog::play);
    connect(m_ui->stopButton, &QPushButton::clicked, m_ui->previewArea, &PreviewPlayer::stop);
    // Closing stops the player, however the dialog is closed.
    connect(this, &QDialog::finished, m_ui->previewArea, &PreviewPlayer::stop);
    connect(m_ui->previewArea, &PreviewPlayer::failed, this,
            [this](const QString &why) { ShowError(this, why); });
    QDialogButtonBox *buttons = m_ui->buttonBox;
    QPushButton *save =
        AddDialogButton(buttons, tr("保存する"), QDialogButtonBox::AcceptRole, "saveButton");
    QPushButton *close =
        AddDialogButton(buttons, tr("閉じる"), QDialogButtonBox::RejectRole, "closeButton");
    ChainTabOrder({save, close, m_ui->step15Radio});
    connect(buttons, &QDialogButtonBox::accepted, this, &OutputDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_ui->blendPictureButton, &QPushButton::clicked, this,
            &OutputDialog::chooseBlendPicture);
}

OutputDialog::~OutputDialog() = default;

void OutputDialog::run(OutputMode mode, const PictureDocument &document, const CutFrame &frame,
                       const BlendPictureActions &blendPicture)
{
    m_document = &document;
    m_frame = frame;
    m_blendPicture = blendPicture;
    const QMetaObject::Connection blendShown =
        connect(&document, &PictureDocument::blendPictureChanged, this,
                &OutputDialog::showBlendPictureName);
    // The dialog shows the cut with its alpha, as the outputs that keep it write it.
    CutJob single;
    single.output.kind = OutputKind::OneFile;
    single.output.format = FrameFormat::Png;
    // Of an animation, the cut of the frame shown.
    m_ui->previewArea->showStill(
        frames(single)->frame(animated() ? document.shownFrame() + 1 : 1).copy());
    offerBackgroundOf(document);
    prepare(mode);
    showBlendPictureName();
    clearStatus();
    m_ui->progressBar->setValue(0);
    // As small as the mode's choices and the cut allow: the last mode's size is no guide. The
    // layouts' hints are worked out again, as controls hidden before the dialog was first shown
    // leave the hints cached with them; and the panels' own hints, which their parents keep
    // until the layout requests posted by this mode's hiding are handled: without that, the
    // dialog opened for one cut after a run kept the run's height, an empty band above 出力形式.
    for (QLayout *layout : findChildren<QLayout *>())
        layout->invalidate();
    for (QWidget *each : findChildren<QWidget *>())
        each->updateGeometry();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    adjustSize();
    exec();
    emit spriteBoxesChanged({});
    m_ui->previewArea->stop();
    disconnect(blendShown);
    m_blendPicture = {};
    m_document = nullptr;
    m_ui->previewArea->showStill({});
}

std::unique_ptr<FrameRun> OutputDialog::frames(const CutJob &job) const
{
    return MakeFrameRun(*m_document, m_frame, job);
}

void OutputDialog::prepare(OutputMode mode)
{
    m_mode = mode;
    if (mode == OutputMode::Blend) {
        m_ui->optionBox->setTitle(tr("オプション"));
        m_ui->firstOptionRadio->setText(tr("ノーマル"));
        m_ui->secondOptionRadio->setText(tr("白を透過させる"));
    } else if (mode == OutputMode::Fade) {
        m_ui->optionBox->setTitle(tr("色を選択してください"));
        m_ui->firstOptionRadio->setText(tr("白"));
        m_ui->secondOptionRadio->setText(tr("黒"));
    }
    // The grid's gap and skip stay as the last run left them: they belong to the sheet.
    if (mode != OutputMode::SingleCut) { // whatever the last run used
        m_stepGroup->button(kDefaultFrameStep)->setChecked(true);
        m_ui->rightRadio->setChecked(true);
    }
    if (mode == OutputMode::Sequence && m_gridOffered) {
        m_directionGroup->button(kGridId)->setChecked(true);
        m_gridOffered = false;
    }
    if (mode == OutputMode::Blend || mode == OutputMode::Fade)
        m_ui->firstOptionRadio->setChecked(true);
    // One cut of a still picture is one file: an animation or a sheet needs a run. Of an
    // animation, the cut is an animation too, or the cut of each frame as a file or on a sheet.
    const bool single = mode == OutputMode::SingleCut && !animated();
    if (single)
        m_ui->filesRadio->setChecked(true);
    else if (mode == OutputMode::SingleCut)
        m_ui->animationRadio->setChecked(true);
    m_ui->filesRadio->setText(single ? tr("ファイル") : tr("連番ファイル"));
    m_ui->titleLabel->setText(titleOf(mode));
    showChoices();
}

void OutputDialog::offerGrid(QSize gap)
{
    m_ui->gridGapXSpin->setValue(gap.width());
    m_ui->gridGapYSpin->setValue(gap.height());
    m_gridOffered = true;
}

bool OutputDialog::animated() const
{
    return m_document && m_document->isAnimated();
}

CutJob OutputDialog::job() const
{
    CutJob job;
    const int direction = m_directionGroup->checkedId();
    const bool grid = direction == kGridId || direction == kAutoId;
    switch (m_mode) {
    case OutputMode::SingleCut: job.kind = CutKind::Single; break;
    case OutputMode::Sequence:
        job.kind = direction == kGridId   ? CutKind::Grid
                   : direction == kAutoId ? CutKind::Auto
                                          : CutKind::Continuous;
        break;
    case OutputMode::Blend: job.kind = CutKind::Blend; break;
    case OutputMode::Fade: job.kind = CutKind::Fade; break;
    }
    if (m_stepGroup->checkedId() == kTileStep)
        job.step.reset();
    else
        job.step = m_stepGroup->checkedId();
    if (!grid)
        job.direction = Direction(m_directionGroup->checkedId());
    job.gridGap = QSize(m_ui->gridGapXSpin->readValue(), m_ui->gridGapYSpin->readValue());
    job.skipEmptyTiles = m_ui->skipEmptyCheck->isChecked();
    job.sprites = spriteSearch();
    job.whiteTransparent = m_mode == OutputMode::Blend && m_ui->secondOptionRadio->isChecked();
    job.fadeColour = m_mode == OutputMode::Fade && m_ui->secondOptionRadio->isChecked()
                         ? FadeColour::Black
                         : FadeColour::White;
    FrameOutput &output = job.output;
    output.kind = OutputKind(m_kindGroup->checkedId());
    output.format = FrameFormat(m_formatGroup->checkedId());
    output.animation.format = AnimationFormat(m_animationFormatGroup->checkedId());
    output.animation.delayMs = m_ui->delaySpin->readValue();
    // The tiles and sprites of an animation are each an animation, numbered.
    const bool places =
        job.kind == CutKind::Continuous || job.kind == CutKind::Grid || job.kind == CutKind::Auto;
    if (animated() && places && output.kind == OutputKind::Animation) {
        output.kind = OutputKind::NumberedFiles;
        output.format = FrameFormatOf(output.animation.format);
    }
    output.animation.pingPong = m_ui->pingPongCheck->isChecked();
    output.animation.quality =
        m_ui->losslessCheck->isChecked() ? kLosslessQuality : m_ui->qualitySpin->value();
    output.sheet.columns = m_ui->columnsSpin->readValue();
    output.sheet.padding = m_ui->paddingSpin->readValue();
    output.atlas = atlasOptions();
    output.json = JsonLayout(m_ui->jsonCombo->currentData().toInt());
    return job;
}

void OutputDialog::chooseBlendPicture()
{
    if (m_blendPicture.choose)
        m_blendPicture.choose();
}

void OutputDialog::showBlendPictureName()
{
    // Until a picture is chosen the cut is blended with white: say so rather than leave the user
    // to find out from the frames.
    const QString name = m_document ? m_document->blendPictureName() : QString();
    const QString shown = name.isEmpty() ? tr("白") : name;
    ShowElided(m_ui->blendPictureLabel, tr("合成用画像: %1").arg(shown));
}

void OutputDialog::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_mode == OutputMode::Blend && m_blendPicture.load &&
        !DraggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void OutputDialog::dropEvent(QDropEvent *event)
{
    const QString path = DraggedFile(event->mimeData());
    if (m_mode != OutputMode::Blend || !m_blendPicture.load || path.isEmpty() || m_running)
        return;
    event->acceptProposedAction();
    m_blendPicture.load(path);
}

void OutputDialog::setUpOutputChoices()
{
    SetDarkBackground(m_ui->formatPanel);
    QPalette pal = m_ui->formatBox->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    m_ui->formatBox->setPalette(pal);
    const auto group = [this](const char *name,
                              std::initializer_list<std::pair<QAbstractButton *, int>> buttons) {
        auto *g = new QButtonGroup(this);
        g->setObjectName(QLatin1String(name));
        for (const auto &[button, id] : buttons)
            g->addButton(button, id);
        buttons.begin()->first->setChecked(true);
        connect(g, &QButtonGroup::idToggled, this, [this] { showChoices(); });
        return g;
    };
    m_kindGroup = group("kindGroup", {{m_ui->filesRadio, int(OutputKind::NumberedFiles)},
                                      {m_ui->animationRadio, int(OutputKind::Animation)},
                                      {m_ui->sheetRadio, int(OutputKind::Sheet)},
                                      {m_ui->atlasRadio, int(OutputKind::Atlas)}});
    m_formatGroup = group("formatGroup", {{m_ui->bmpRadio, int(FrameFormat::Bmp)},
                                          {m_ui->pngRadio, int(FrameFormat::Png)}});
    m_animationFormatGroup =
        group("animationFormatGroup", {{m_ui->gifRadio, int(AnimationFormat::Gif)},
                                       {m_ui->webpRadio, int(AnimationFormat::Webp)}});
    connect(m_ui->losslessCheck, &QCheckBox::toggled, this, &OutputDialog::showChoices);
    m_ui->delaySpin->setRange(kMinFrameDelayMs, kMaxFrameDelayMs);
    m_ui->delaySpin->setValue(kDefaultFrameDelayMs);
    m_ui->qualitySpin->setRange(0, kMaxQuality);
    m_ui->paddingSpin->setRange(0, kMaxSheetPadding);
}

void OutputDialog::showChoices()
{
    const auto show = [](std::initializer_list<QWidget *> widgets, bool visible) {
        for (QWidget *w : widgets)
            w->setVisible(visible);
    };
    const bool sequence = m_mode == OutputMode::Sequence;
    const bool grid = sequence && m_directionGroup->checkedId() == kGridId;
    const bool found = sequence && autoChosen();
    const bool blend = m_mode == OutputMode::Blend;
    // On the grid the tiles step by the cut and the gap, and found sprites are where they are:
    // the steps do not apply.
    show({m_ui->stepBox}, sequence && !grid && !found);
    show({m_ui->directionBox}, sequence);
    show({m_ui->gridGapCaption, m_ui->gridGapXSpin, m_ui->gridGapYSpin, m_ui->skipEmptyCheck},
         grid);
    show({m_ui->autoBox}, found);
    show({m_ui->backgroundColourButton},
         BackgroundKind(m_ui->backgroundCombo->currentData().toInt()) == BackgroundKind::Colour);
    show({m_ui->optionBox}, blend || m_mode == OutputMode::Fade);
    show({m_ui->blendPictureButton, m_ui->blendPictureLabel}, blend);

    const bool single = m_mode == OutputMode::SingleCut && !animated();
    const auto kind = OutputKind(m_kindGroup->checkedId());
    const bool animation = kind == OutputKind::Animation;
    const bool webp =
        animation && m_animationFormatGroup->checkedId() == int(AnimationFormat::Webp);
    // One file has nothing to play, and is written before a bar could show it.
    show({m_ui->animationRadio, m_ui->sheetRadio, m_ui->atlasRadio, m_ui->playButton,
          m_ui->stopButton, m_ui->progressCaption, m_ui->progressBar},
         !single);
    const bool sheet = kind == OutputKind::Sheet;
    const bool atlas = kind == OutputKind::Atlas;
    show({m_ui->bmpRadio, m_ui->pngRadio}, kind == OutputKind::NumberedFiles);
    show({m_ui->gifRadio, m_ui->webpRadio, m_ui->pingPongCheck}, animation);
    // An animation's frames keep the times its file gave them.
    show({m_ui->delayLabel, m_ui->delaySpin}, animation && !animated());
    show({m_ui->losslessCheck}, webp);
    show({m_ui->qualityLabel, m_ui->qualitySpin}, webp && !m_ui->losslessCheck->isChecked());
    show({m_ui->columnsLabel, m_ui->columnsSpin}, sheet);
    show({m_ui->paddingLabel, m_ui->paddingSpin, m_ui->jsonLabel, m_ui->jsonCombo}, sheet || atlas);
    show({m_ui->trimCheck, m_ui->borderLabel, m_ui->borderSpin, m_ui->extrudeLabel,
          m_ui->extrudeSpin, m_ui->powerOfTwoCheck, m_ui->maxSizeLabel, m_ui->maxSizeSpin,
          m_ui->keepDuplicatesCheck},
         atlas);
    m_ui->paddingSpin->setToolTip(atlas ? tr("フレームの間に空けるピクセル数")
                                        : tr("フレームの間とシートの縁に空けるピクセル数"));
}

void OutputDialog::play()
{
    if (!m_document)
        return;
    Guarded(this, [this] {
        const CutJob choices = job();
        const FrameOutput &output = choices.output;
        const bool pingPong = output.kind == OutputKind::Animation && output.animation.pingPong;
        std::unique_ptr<FrameRun> run = frames(choices);
        std::vector<int> order = PlayOrder(run->count(), pingPong);
        // As the output will hold the frames: BMP files see a transparent picture over white.
        m_ui->previewArea->play(std::move(run), std::move(order), output.animation.delayMs,
                                KeepsAlpha(output));
    });
}
