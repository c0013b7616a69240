// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog: 自動検出, which finds the sprites on the picture's background, and the
// atlas's choices.
#include "windows/output_dialog.h"

#include "core/base/io_error.h"
#include "core/image/plugin_reading.h"
#include "core/workspace/picture_document.h"
#include "ui_output_dialog.h"
#include "windows/labels.h"

#include <QButtonGroup>
#include <QColorDialog>

void OutputDialog::setUpSpriteChoices()
{
    m_ui->backgroundCombo->addItem(tr("透明"), int(BackgroundKind::Transparent));
    m_ui->backgroundCombo->addItem(tr("四隅の色"), int(BackgroundKind::Corner));
    m_ui->backgroundCombo->addItem(tr("指定した色"), int(BackgroundKind::Colour));
    m_ui->toleranceSpin->setRange(0, kMaxBackgroundTolerance);
    m_ui->mergeSpin->setRange(0, kMaxMergeDistance);
    m_ui->minAreaSpin->setValue(kDefaultMinSpriteArea);
    connect(m_ui->backgroundColourButton, &QPushButton::clicked, this,
            &OutputDialog::chooseBackgroundColour);
    // Each change finds the sprites again: a sheet of thousands takes a few milliseconds.
    connect(m_ui->backgroundCombo, &QComboBox::currentIndexChanged, this, [this] {
        showChoices();
        findSprites();
    });
    for (QSpinBox *spin : {m_ui->toleranceSpin, m_ui->mergeSpin, m_ui->minAreaSpin})
        connect(spin, &QSpinBox::valueChanged, this, &OutputDialog::findSprites);
}

void OutputDialog::offerBackgroundOf(const PictureDocument &document)
{
    // A JPEG's noise needs a tolerance a PNG's flat colours do not: the kind is the file's.
    const SpriteBackground background =
        DefaultBackground(document.picture(), ContentKindOfFile(document.fileName()));
    const QSignalBlocker comboQuiet(m_ui->backgroundCombo);
    const QSignalBlocker toleranceQuiet(m_ui->toleranceSpin);
    m_ui->backgroundCombo->setCurrentIndex(m_ui->backgroundCombo->findData(int(background.kind)));
    m_ui->toleranceSpin->setValue(background.tolerance);
    m_backgroundColour = background.colour;
}

bool OutputDialog::autoChosen() const
{
    return m_directionGroup->checkedId() == kAutoId;
}

SpriteSearch OutputDialog::spriteSearch() const
{
    SpriteSearch search;
    search.background.kind = BackgroundKind(m_ui->backgroundCombo->currentData().toInt());
    search.background.colour = m_backgroundColour;
    search.background.tolerance = m_ui->toleranceSpin->readValue();
    search.mergeDistance = m_ui->mergeSpin->readValue();
    search.minArea = m_ui->minAreaSpin->readValue();
    return search;
}

void OutputDialog::chooseBackgroundColour()
{
    const QColor chosen = QColorDialog::getColor(QColor(m_backgroundColour), this, tr("背景の色"));
    if (!chosen.isValid())
        return;
    m_backgroundColour = chosen.rgb();
    findSprites();
}

void OutputDialog::findSprites()
{
    if (!m_document || m_mode != OutputMode::Sequence || !autoChosen()) {
        emit spriteBoxesChanged({});
        return;
    }
    std::vector<QRect> boxes;
    QString said;
    try {
        boxes = FindSprites(m_document->picture(), spriteSearch());
        said =
            boxes.empty() ? NoSpritesText() : tr("スプライト: %n 個", nullptr, int(boxes.size()));
    } catch (const Failure &failure) {
        // A background that cannot be told (no transparency, corners of four colours) is said
        // here, where the choice that caused it is.
        said = failure.description();
    }
    ShowElided(m_ui->spriteCountLabel, said);
    emit spriteBoxesChanged(boxes);
}

void OutputDialog::setUpAtlasChoices()
{
    m_ui->jsonCombo->addItem(QStringLiteral("hash"), int(JsonLayout::Hash));
    m_ui->jsonCombo->addItem(QStringLiteral("array"), int(JsonLayout::Array));
    for (QSpinBox *spin : {m_ui->borderSpin, m_ui->extrudeSpin})
        spin->setRange(0, kMaxAtlasSpacing);
    m_ui->maxSizeSpin->setRange(1, kMaxAtlasSize);
    m_ui->maxSizeSpin->setValue(kDefaultAtlasMaxSize);
}

AtlasOptions OutputDialog::atlasOptions() const
{
    AtlasOptions options;
    options.trim = m_ui->trimCheck->isChecked();
    options.padding = m_ui->paddingSpin->readValue();
    options.border = m_ui->borderSpin->readValue();
    options.extrude = m_ui->extrudeSpin->readValue();
    options.powerOfTwo = m_ui->powerOfTwoCheck->isChecked();
    options.maxSize = m_ui->maxSizeSpin->readValue();
    options.keepDuplicates = m_ui->keepDuplicatesCheck->isChecked();
    return options;
}
