// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: start-up, placement, the state of the commands, and shut-down.
#include "windows/main_window.h"

#include "core/base/io_error.h"
#include "core/image/picture_reading.h"
#include "ui_main_window.h"
#include "windows/about_dialog.h"
#include "windows/batch_shrink_dialog.h"
#include "windows/busy_cursor.h"
#include "windows/cut_size_dialog.h"
#include "windows/dialog_places.h"
#include "windows/error_box.h"
#include "windows/file_dialogs.h"
#include "windows/flow_layout.h"
#include "windows/frame_position_dialog.h"
#include "windows/import_dialog.h"
#include "windows/output_dialog.h"
#include "windows/page_maker_dialog.h"
#include "windows/palettes.h"
#include "windows/screen_placement.h"
#include "windows/value_dialog.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <algorithm>

namespace {

constexpr QSize kMinSize(750, 550); // the window never starts smaller than this
constexpr int kButtonGroupGap = 16; // between the buttons that set up a cut and those that write
// The window hides this long before a capture, so that the screen has repainted what it covered
// and the window manager has activated the window behind it.
constexpr int kCaptureDelayMs = 800;

const char *const kSaveFilter =
    QT_TRANSLATE_NOOP("MainWindow", "ビットマップファイル(*.bmp)|*.bmp|JPEGファイル(*.jpg)|*.jpg|"
                                    "PNGファイル(*.png)|*.png|WebPファイル(*.webp)|*.webp");

} // namespace

MainWindow::MainWindow(const AppPaths &paths, QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::MainWindow>()), m_paths(paths)
{
    m_ui->setupUi(this);
    layOutButtons();
    SetDarkBackground(m_ui->buttonBar);
    SetDarkBackground(m_ui->sizeStrip);
    QPalette line = m_ui->stripLine->palette();
    line.setColor(QPalette::Window, GrayTextColor());
    m_ui->stripLine->setPalette(line);

    // No default extension and no overwrite question: the save command adds the extension itself.
    m_pictureSaveDialog =
        MakeFileDialog(this, "pictureSaveDialog", QFileDialog::AcceptSave, tr(kSaveFilter));
    m_captureTimer = new QTimer(this);
    m_captureTimer->setObjectName(QStringLiteral("captureTimer"));
    m_captureTimer->setInterval(kCaptureDelayMs);
    m_captureTimer->setSingleShot(true);

    restoreSession();
    createDialogs();
    connectCommands();
    connectCanvas();
    connectView();
    restoreView();
}

MainWindow::~MainWindow() = default;

void MainWindow::layOutButtons()
{
    // One row while the window is wide enough, more rows when it is not: no button is ever cut.
    auto *row = new FlowLayout(m_ui->buttonBar);
    row->addWidget(m_ui->loadButton);
    row->addWidget(m_ui->cutSizeButton);
    row->addGap(kButtonGroupGap); // the commands that write stand apart
    for (QPushButton *output : {m_ui->saveCutButton, m_ui->saveSequenceButton,
                                m_ui->saveBlendButton, m_ui->saveFadeButton})
        row->addWidget(output);
}

void MainWindow::createDialogs()
{
    QStringList presetNames;
    for (const Preset &preset : m_presets)
        presetNames << preset.name;
    m_importDialog = new ImportDialog(this);
    m_cutSizeDialog = new CutSizeDialog(presetNames, this);
    m_outputDialog = new OutputDialog(this);
    m_pageMakerDialog = new PageMakerDialog(this);
    m_aboutDialog = new AboutDialog(this);
    m_batchShrinkDialog = new BatchShrinkDialog(m_paths.dataFile(QStringLiteral("jpeg.dat")), this);
    m_valueDialog = new ValueDialog(this);
    m_framePositionDialog = new FramePositionDialog(this);
    // Every dialog kept between openings, the file dialogs inside the others too.
    for (QDialog *dialog : findChildren<QDialog *>())
        KeepPlaceBetweenOpenings(dialog);
}

void MainWindow::connectCommands()
{
    const auto onClick = [this](QPushButton *button, void (MainWindow::*command)()) {
        connect(button, &QPushButton::clicked, this, command);
        // Once the command's dialog closes, the keys go back to the canvas: the arrows move the
        // frame again without a click on the picture.
        connect(button, &QPushButton::clicked, m_ui->canvas, qOverload<>(&QWidget::setFocus));
    };
    onClick(m_ui->loadButton, &MainWindow::loadPicture);
    onClick(m_ui->cutSizeButton, &MainWindow::chooseCutSize);
    onClick(m_ui->saveCutButton, &MainWindow::saveCut);
    onClick(m_ui->saveSequenceButton, &MainWindow::saveSequence);
    onClick(m_ui->saveBlendButton, &MainWindow::saveBlend);
    onClick(m_ui->saveFadeButton, &MainWindow::saveFade);

    const auto onTrigger = [this](QAction *item, auto command) {
        connect(item, &QAction::triggered, this, command);
    };
    onTrigger(m_ui->loadAction, &MainWindow::loadPicture);
    onTrigger(m_ui->savePictureAction, &MainWindow::savePicture);
    onTrigger(m_ui->exitAction, &QWidget::close);
    connectEdits();
    onTrigger(m_ui->captureScreenAction, [this] { capture(CaptureTarget::Screen, false); });
    onTrigger(m_ui->captureScreenShrunkAction, [this] { capture(CaptureTarget::Screen, true); });
    onTrigger(m_ui->captureWindowAction, [this] { capture(CaptureTarget::ActiveWindow, false); });
    onTrigger(m_ui->captureWindowShrunkAction,
              [this] { capture(CaptureTarget::ActiveWindow, true); });
    onTrigger(m_ui->batchShrinkAction, &MainWindow::openBatchShrink);
    onTrigger(m_ui->pageMakerAction, &MainWindow::openPageMaker);
    onTrigger(m_ui->helpAction, &MainWindow::openHelp);
    onTrigger(m_ui->readmeAction, &MainWindow::openReadme);
    onTrigger(m_ui->aboutAction, &MainWindow::showAbout);
    onTrigger(m_ui->quitAction, &QWidget::close);
    connect(m_captureTimer, &QTimer::timeout, this, &MainWindow::takeCapture);
}

void MainWindow::restoreSession()
{
    // The settings come first: the cut size and the window's place are read from them.
    // A set.ini that cannot be read leaves the defaults in place; say why once the window is up,
    // or the user would wonder why it forgot its place and size.
    if (const std::optional<QString> problem = ReadSettings(m_paths.settingsFile, m_settings))
        QTimer::singleShot(0, this, [this, text = *problem] { ShowError(this, text); });
    // The stored cut size stands until the first picture lowers it (the frame keeps each side at
    // least 1, whatever a hand-edited file holds).
    m_frame = CutFrame(QSize(m_settings.cutWidth, m_settings.cutHeight));
    placeWindow();
    updateActions();
    readPresets();
}

void MainWindow::readPresets()
{
    m_presets.clear();
    try {
        ReadPresets(m_paths.dataFile(QStringLiteral("data.dat")), m_presets);
    } catch (const Failure &failure) {
        // Start-up goes on with the records read before the failure; the box waits for the
        // window.
        const QString description = failure.description();
        QTimer::singleShot(0, this, [this, description] { ShowError(this, description); });
    }
}

void MainWindow::placeWindow()
{
    const SettingsRecord &s = m_settings;
    // The stored size is the outer size. A place stored before a monitor was removed, or a size no
    // screen can show, is brought onto a screen.
    const QRect outer = PlaceOnScreens(s.windowLeft, s.windowTop, s.windowWidth, s.windowHeight,
                                       kMinSize, AvailableScreenAreas());
    m_placedOuterSize = outer.size();
    move(outer.topLeft());
    resize(m_placedOuterSize);
}

bool MainWindow::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    // The window manager adds its frame after the window is shown; the stored size includes the
    // frame, so the inside is made smaller by the frame once it is known.
    if (!m_outerSizeFixed && isVisible() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
         event->type() == QEvent::Show)) {
        // A frame may have a title bar and no side borders (or the reverse): any frame counts.
        const QSize frame = frameGeometry().size() - geometry().size();
        if (frame.width() > 0 || frame.height() > 0) {
            m_outerSizeFixed = true;
            resize(m_placedOuterSize - frame);
        }
    }
    return handled;
}

void MainWindow::updateActions()
{
    // Before the first picture there is nothing to cut, save or edit.
    const bool picture = hasPicture();
    m_ui->canvas->setVisible(picture);
    m_ui->editMenu->menuAction()->setEnabled(picture);
    m_ui->savePictureAction->setEnabled(picture);
    for (QPushButton *output : {m_ui->saveCutButton, m_ui->saveSequenceButton,
                                m_ui->saveBlendButton, m_ui->saveFadeButton})
        output->setEnabled(picture);
    updateHistoryActions();
    m_ui->recentMenu->menuAction()->setEnabled(!m_recentFiles.isEmpty());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_sessionSaved && !mayLetPictureGo()) {
        event->ignore();
        return;
    }
    saveSession();
    event->accept();
}

void MainWindow::saveSession()
{
    if (m_sessionSaved)
        return;
    m_sessionSaved = true;
    // Brought onto a screen as the next start would bring it, so set.ini never keeps a size or
    // place that no screen can show. The minimum is left to the next start: a window the user
    // made smaller is stored as it was.
    const QRect frame = frameGeometry();
    const QRect outer = PlaceOnScreens(frame.x(), frame.y(), frame.width(), frame.height(),
                                       QSize(0, 0), AvailableScreenAreas());
    SettingsRecord &s = m_settings;
    if (hasPicture()) { // a run without a picture keeps the stored cut size
        s.cutWidth = m_frame.size().width();
        s.cutHeight = m_frame.size().height();
    }
    s.windowTop = outer.top();
    s.windowLeft = outer.left();
    s.windowWidth = outer.width();
    s.windowHeight = outer.height();
    try {
        if (!m_paths.configDir.isEmpty())
            QDir().mkpath(m_paths.configDir);
        WriteSettings(m_paths.settingsFile, s, viewSettings());
    } catch (const Failure &failure) {
        ShowError(this, failure.description());
    }
}
