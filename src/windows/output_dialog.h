// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog: writes the cut once, as a continuous sequence, blended with a second
// picture, or faded from white or black. It gathers the choices and shows the progress; the
// window that runs it does the writing.
#pragma once

#include "core/sequence/frame_files.h"
#include "core/sequence/frame_output.h"
#include "core/workspace/workspace.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <optional>

class QButtonGroup;
class QFileDialog;
class QRadioButton;
class QTimer;

namespace Ui {
class OutputDialog;
}

enum class OutputMode { SingleCut, Sequence, Blend, Fade };

// What the user asked for, once the file is chosen.
struct OutputOrder {
    OutputMode mode = OutputMode::SingleCut;
    bool singleFile = false; // the cut as one file (a sequence where only the start fits too)
    QString path;            // that file, or the base name of the numbered frames
    int step = 0;            // Sequence: pixels the frame moves per frame
    Direction direction = Direction::Right;
    int gapX = 0; // Sequence on the grid: pixels between tiles, and whether single-colour tiles
    int gapY = 0; // are left out
    bool skipEmpty = false;
    bool secondOption = false; // Blend: white is transparent; Fade: from black instead of white
    // Where the frames go: numbered files (or the one file) of format, one animation, or a sheet.
    OutputKind kind = OutputKind::NumberedFiles;
    FrameFormat format = FrameFormat::Bmp;
    AnimationOptions animation;
    SheetOptions sheet;

    // The core's description of the output, with path.
    FrameOutput frameOutput() const { return {kind, path, format, animation, sheet}; }
};

// What the window does for the dialog.
struct OutputActions {
    // The number of frames the continuous cut of order writes from where the frame stands (along
    // a direction, 1: only the start fits; on the grid, 0: every tile is left out).
    std::function<int(const OutputOrder &order)> frameCount;
    // Writes what the order asks, telling progress; throws Failure.
    std::function<void(const OutputOrder &order, const FrameProgress &progress)> write;
    // Lets the user choose the picture the cut is blended with; gives its name, or nullopt when
    // the user chose none.
    std::function<std::optional<QString>()> chooseBlendPicture;
    // Reads a picture file (one dropped on the dialog) as the blend picture; gives its name, or
    // nullopt when it could not be used (the window has said why).
    std::function<std::optional<QString>(const QString &path)> loadBlendPicture;
    // The name of the blend picture in use; empty while the cut is blended with white.
    QString blendPictureName;
    // The frames the order would write, made one at a time as the preview shows them: the same
    // run the writing takes, so what plays is what is written.
    std::function<std::unique_ptr<FrameRun>(const OutputOrder &order)> frames;
};

class OutputDialog : public QDialog {
    Q_OBJECT
  public:
    explicit OutputDialog(QWidget *parent = nullptr);
    ~OutputDialog() override;

    // Runs the dialog for mode, showing cut at 1:1 (of a larger cut only the top-left 1500 x 1500
    // pixels). A sequence starts at 15 pixels to the right each time. A single file closes the
    // dialog once written; after a run of frames the dialog stays and says what it wrote. Before
    // frames replace files of the same names, the user is asked once. A failure is reported and
    // the dialog stays.
    void run(OutputMode mode, const QImage &cut, const OutputActions &actions);

    // The sequence's current choice: pixels per frame (the cut's width or height for tiles,
    // following the direction) and direction.
    int step() const;
    Direction direction() const;

  protected:
    // In alpha mode a picture file dropped on the dialog becomes the blend picture.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

  private:
    void prepare(OutputMode mode);
    void showPreview(const QImage &cut);
    void save();
    void saveSingle(bool closeOnCancel);
    void saveSequence();
    bool mayReplaceFramesOf(const FrameOutput &output, int frames);
    void showStatus(const QString &text);
    void chooseBlendPicture();
    void showBlendPictureName(const QString &name);
    void clearStatus();
    void showGridChoice();
    OutputOrder order() const;
    void showProgress(int k, int n);
    // The output section: what the frames become, in a group of its own.
    void setUpOutputChoices();
    void showOutputChoices();
    void saveToOneFile();
    // The preview player: ▶ plays the frames of the current choices at the chosen delay, each made
    // as it is shown; ■ (or saving, or closing) stops it and shows the cut again.
    void play();
    void stop();
    void showNextFrame();

    std::unique_ptr<Ui::OutputDialog> m_ui;
    QButtonGroup *m_stepGroup;
    QButtonGroup *m_directionGroup;
    QFileDialog *m_cutSaveDialog;         // a single file; ".bmp" is added to a name without it
    QFileDialog *m_framesSaveDialog;      // the base name of numbered frames
    QFileDialog *m_animationSaveDialog;   // a GIF or WebP file; its extension is added
    QFileDialog *m_sheetSaveDialog;       // a PNG sheet; ".png" is added
    QButtonGroup *m_kindGroup;            // numbered files, animation, sheet
    QButtonGroup *m_formatGroup;          // BMP or PNG
    QButtonGroup *m_animationFormatGroup; // GIF or WebP
    OutputMode m_mode = OutputMode::SingleCut;
    QSize m_cutSize;
    OutputActions m_actions;
    QElapsedTimer m_progressShown; // when the progress bar was last painted
    QImage m_cut;                  // what the preview shows when nothing plays
    QTimer *m_playTimer;
    std::unique_ptr<FrameRun> m_playing; // the run being played, or none
    std::vector<int> m_playOrder;        // its frames in the order shown
    size_t m_played = 0;                 // the position in m_playOrder shown last
};
