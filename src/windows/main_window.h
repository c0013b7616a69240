// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the button bar, the size strip and the canvas, with the File, Edit, Tools and
// Help menus. It owns the workspace; its commands ask the dialogs for values, call the core and
// put the results in place. The commands are split over files by group: main_window.cpp (start-up
// and shut-down), _canvas (the picture and the frame), _file (load, save, undo, help), _output
// (cut size and the outputs), _edits and _capture.
#pragma once

#include "core/base/app_paths.h"
#include "core/workspace/edit_history.h"
#include "core/workspace/settings.h"
#include "core/workspace/view_composer.h"
#include "core/workspace/workspace.h"
#include "core/workspace/zoomed_view.h"
#include "windows/output_dialog.h"
#include "windows/screen_capture.h"

#include <QMainWindow>
#include <memory>

class AboutDialog;
class BatchShrinkDialog;
class CutSizeDialog;
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

// The address the Help menu's home-page item opens.
inline const char kHomePageUrl[] = "https://mokaran.example.jp/";

// Where an imported picture goes.
enum class ImportTarget { WorkingPicture, BlendPicture };

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // paths: where the program's own files and set.ini are (see ResolveAppPaths).
    explicit MainWindow(const AppPaths &paths, QWidget *parent = nullptr);
    ~MainWindow() override;

    Workspace &workspace() { return m_ws; }
    // The steps 取り消し and やり直し take.
    EditHistory &history() { return m_history; }
    // Whether a picture has been loaded or captured since start-up; there is no way back.
    bool hasPicture() const { return m_pictureLoaded; }

    // Makes a loaded or captured picture the working picture: UndoImage, canvas, the first
    // picture's switch to the working state, the cut lowered to the picture, the labels, and a
    // new history.
    void takeNewPicture(const QImage &picture);
    // Reads the picture file at path and takes it as the import dialog's 決定 does (a recent
    // picture too): the way in for a file given on the command line, dropped on the window or
    // chosen from 最近使ったファイル. A file that is gone or cannot be read is reported.
    void openPicture(const QString &path);
    // Puts an edit's result in place of the working picture and refreshes what that edit changes.
    // The history is left alone: the Edit menu's commands go through putEditStep.
    void putEditResult(const QImage &result, EditResultKind kind);

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
    void resizePicture();
    void rotatePicture();
    void blurPicture();
    void sharpenPicture();
    void adjustContrast();
    void adjustGamma();
    void correctLevels();
    void capture(CaptureTarget target, bool shrink);
    void openBatchShrink();
    void openPageMaker();
    void openHelp();
    void openReadme();
    void openHomePage();
    void showAbout();

    // The view's commands: the zoom, the frame's position typed in, and loading a picture file
    // (dropped or recent) as the import dialog's 決定 does (main_window_view.cpp, _file).
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
    void restoreSession();
    void saveSession();
    void readPresets();
    void placeWindow();
    void createDialogs();
    void connectCommands();
    void updateActions();

    // The canvas (main_window_canvas.cpp).
    void connectCanvas();
    void resetCanvas(int width, int height);
    void updateSizeLabels();
    void enterWorkingState();
    QRegion composeView();
    void refreshCanvas();
    void paintCanvas(QPainter &painter, const QRegion &exposed);
    void startDrag(QPoint pixel);
    void drag(QPoint pixel);
    void endDrag();

    // Loading and the outputs (main_window_file.cpp, main_window_output.cpp).
    // The file name of the picture taken, or nullopt when none was.
    std::optional<QString> importPicture(ImportTarget target);
    void openInBrowser(const QUrl &address);
    void openOutput(OutputMode mode);
    void writeOutput(const OutputOrder &order, const FrameProgress &progress);

    // The view (main_window_view.cpp): zoom, readouts, the frame's keys and marks; dropped and
    // recent pictures (main_window_file.cpp).
    void connectView();
    void restoreView();
    ViewSettings viewSettings() const;
    void setZoom(Zoom zoom, QPoint anchor); // anchor: the viewport point that stays in place
    void zoomByWheel(int steps, QPoint at);
    void nudgeFrame(int dx, int dy, NudgeSize size);
    void frameMovedByKey();
    void paintFrameMarks(QPainter &painter) const;
    void paintPixelGrid(QPainter &painter, const QRegion &exposed) const;
    void showFramePosition();
    void showPointer(QPoint pixel);
    void hidePointer();
    std::optional<QString> placePicture(const ImportedPicture &taken, ImportTarget target);
    std::optional<QString> readPictureFile(const QString &path, ImportTarget target);
    void showRecentFiles();

    // The edits, their history and the captures (main_window_edits.cpp, main_window_capture.cpp).
    std::optional<int> askWidth(int maximum);
    // putEditResult as a step of the history named name, which 取り消し takes back.
    void putEditStep(const QString &name, const QImage &result, EditResultKind kind);
    void showHistoryStep();
    void connectHistory();
    void updateHistoryActions();
    void shrinkCaptured();
    void takeCapture();

    std::unique_ptr<Ui::MainWindow> m_ui;
    AppPaths m_paths;
    Workspace m_ws;
    EditHistory m_history;
    ViewComposer m_view;

    ImportDialog *m_importDialog = nullptr;
    CutSizeDialog *m_cutSizeDialog = nullptr;
    OutputDialog *m_outputDialog = nullptr;
    PageMakerDialog *m_pageMakerDialog = nullptr;
    AboutDialog *m_aboutDialog = nullptr;
    BatchShrinkDialog *m_batchShrinkDialog = nullptr;
    ValueDialog *m_valueDialog = nullptr;
    QFileDialog *m_pictureSaveDialog = nullptr;
    QTimer *m_captureTimer = nullptr; // runs a capture once the window is out of the way

    bool m_pictureLoaded = false;
    bool m_dragging = false; // a mouse button is held on the canvas
    CaptureTarget m_captureTarget = CaptureTarget::Screen;
    bool m_shrinkCapture = false;
    QSize m_placedOuterSize;       // the outer size asked for at start-up
    bool m_outerSizeFixed = false; // the window frame has been taken into account
    bool m_sessionSaved = false;
    QString m_blendPictureName; // the file the blend picture came from; empty: plain white

    // The view.
    FramePositionDialog *m_framePositionDialog = nullptr;
    ZoomedView m_zoomedView;   // the picture at zooms other than 100 %
    QRect m_shownFrame;        // the frame whose marks the canvas shows
    qint64 m_shownPicture = 0; // cacheKey() of the picture the canvas shows
    QStringList m_recentFiles; // newest first, at most kRecentFileCount
};
