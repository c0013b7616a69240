// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the button bar, the size strip and the canvas, with the File, Edit, View, Tools
// and Help menus. It owns the picture document and the cut frame; its commands ask the dialogs for
// values, call the core and put the results in place. The commands are split over files by
// group: main_window.cpp (start-up and shut-down), _canvas (the picture and the frame), _view
// (zoom and readouts), _file (load, save, help), _output (cut size and the outputs), _edits (the
// edits and their history) and _capture.
#pragma once

#include "core/base/app_paths.h"
#include "core/image/edit_table.h"
#include "core/workspace/cut_frame.h"
#include "core/workspace/picture_document.h"
#include "core/workspace/presets.h"
#include "core/workspace/settings.h"
#include "core/workspace/zoom.h"
#include "windows/output_dialog.h"
#include "windows/screen_capture.h"

#include <QMainWindow>
#include <memory>

class AboutDialog;
class HelpWindow;
class BatchShrinkDialog;
class CutSizeDialog;
class FrameBarWidget;
class FramePositionDialog;
class ImportDialog;
struct ImportedPicture;
class PageMakerDialog;
class QFileDialog;
class QTimer;
class QUrl;
class ValueDialog;

namespace Ui {
class MainWindow;
}

// Where an imported picture goes.
enum class ImportTarget { WorkingPicture, BlendPicture };

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // paths: where the program's own files and set.ini are (see ResolveAppPaths).
    explicit MainWindow(const AppPaths &paths, QWidget *parent = nullptr);
    ~MainWindow() override;

    PictureDocument &document() { return m_document; }
    const CutFrame &frame() const { return m_frame; }
    // Whether a picture has been loaded or captured since start-up; there is no way back.
    bool hasPicture() const { return m_document.hasPicture(); }
    // What set.ini keeps: the window's place, the cut size and the shrink width.
    SettingsRecord &settings() { return m_settings; }
    // The cut-size presets of data.dat, in file order.
    const std::vector<Preset> &presets() const { return m_presets; }

    // Makes a loaded or captured picture the working picture and the picture as loaded, with a
    // new history; the cut is lowered to the picture. fileName: where it was read from, empty for
    // a capture.
    void takeNewPicture(const LoadedPicture &loaded, const QString &fileName = {});
    void takeNewPicture(const QImage &picture, const QString &fileName = {});
    // Whether the picture may give way to another or to quitting: it has no edits that were not
    // saved, or the user, asked, saved them or chose to let them go.
    bool mayLetPictureGo();
    // Puts the frame where frame says, kept inside the picture, and shows it.
    void placeFrame(const CutFrame &frame);
    // Reads the picture file at path and takes it as the import dialog's 決定 does (a recent
    // picture too): the way in for a file given on the command line, dropped on the window or
    // chosen from 最近使ったファイル. A file that is gone or cannot be read is reported.
    void openPicture(const QString &path);

    // The commands of the buttons and menus.
    void loadPicture();
    void chooseCutSize();
    void saveCut();
    void saveSequence();
    void saveBlend();
    void saveFade();
    void savePicture();
    void undoEdit();
    void redoEdit();
    void revertToLoaded();
    // The Edit menu's edits: asks the edit's value, if any, and applies it as a step of the
    // history.
    void editPicture(const Edit &edit);
    void resizePicture();
    void capture(CaptureTarget target, bool shrink);
    void openBatchShrink();
    void openPageMaker();
    void openHelp();
    void openReadme();
    void showAbout();

    // The view's commands: the zoom and the frame's position typed in (main_window_view.cpp).
    void zoomIn();
    void zoomOut();
    void showActualSize();
    void fitToWindow();
    void chooseFramePosition();

  protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    // Drops of picture files, and a double click on the position readout.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    // Start-up and shut-down (main_window.cpp).
    void layOutButtons();
    void restoreSession();
    void saveSession();
    void readPresets();
    void placeWindow();
    void createDialogs();
    void connectCommands();
    void updateActions();

    // The canvas (main_window_canvas.cpp).
    void connectCanvas();
    void showPicture();
    void showTitle();
    void updateSizeLabels();
    void frameMoved(const CutFrame &frame);

    // Loading and the outputs (main_window_file.cpp, main_window_output.cpp).
    // The file name of the picture taken, or nullopt when none was.
    std::optional<QString> importPicture(ImportTarget target);
    // The save of the whole picture; false when nothing was saved.
    bool savePictureAs();
    void openInBrowser(const QUrl &address);
    void openOutput(OutputMode mode);

    // The view (main_window_view.cpp): zoom and readouts; dropped and
    // recent pictures (main_window_file.cpp).
    void connectView();
    void restoreView();
    ViewSettings viewSettings() const;
    void setZoom(Zoom zoom, QPoint anchor); // anchor: the viewport point that stays in place
    void showZoom(Zoom zoom);
    void showFramePosition();
    void showPointer(QPoint pixel);
    void hidePointer();
    std::optional<QString> placePicture(const ImportedPicture &taken, ImportTarget target);
    std::optional<QString> readPictureFile(const QString &path, ImportTarget target);
    void showRecentFiles();

    // The edits, their history and the captures (main_window_edits.cpp, main_window_capture.cpp).
    void connectEdits();
    std::optional<int> askWidth(int maximum);
    std::optional<double> askEditValue(const Edit &edit);
    void updateHistoryActions();
    void shrinkCaptured();
    void takeCapture();

    std::unique_ptr<Ui::MainWindow> m_ui;
    AppPaths m_paths;
    PictureDocument m_document;
    CutFrame m_frame;
    SettingsRecord m_settings;
    std::vector<Preset> m_presets; // data.dat's records in file order

    ImportDialog *m_importDialog = nullptr;
    CutSizeDialog *m_cutSizeDialog = nullptr;
    OutputDialog *m_outputDialog = nullptr;
    PageMakerDialog *m_pageMakerDialog = nullptr;
    AboutDialog *m_aboutDialog = nullptr;
    HelpWindow *m_helpWindow = nullptr; // made when first needed: most desktops have a browser
    BatchShrinkDialog *m_batchShrinkDialog = nullptr;
    ValueDialog *m_valueDialog = nullptr;
    QFileDialog *m_pictureSaveDialog = nullptr;
    QTimer *m_captureTimer = nullptr; // runs a capture once the window is out of the way

    CaptureTarget m_captureTarget = CaptureTarget::Screen;
    bool m_shrinkCapture = false;
    QSize m_placedOuterSize;       // the outer size asked for at start-up
    bool m_outerSizeFixed = false; // the window frame has been taken into account
    bool m_sessionSaved = false;

    // The view.
    FramePositionDialog *m_framePositionDialog = nullptr;
    FrameBarWidget *m_frameBar = nullptr; // an animation's frames, under the picture
    QStringList m_recentFiles;            // newest first, at most kRecentFileCount
};
