// The output dialog: writes the cut once, as a continuous sequence, blended with a second
// picture, or faded from white or black. It gathers the choices and shows the progress; the
// window that runs it does the writing.
#pragma once

#include "core/sequence/frame_files.h"
#include "core/workspace/workspace.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <optional>

class QButtonGroup;
class QFileDialog;

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
    bool secondOption = false; // Blend: white is transparent; Fade: from black instead of white
};

// What the window does for the dialog.
struct OutputActions {
    // The number of frames a continuous cut of step pixels in direction writes from where the
    // frame stands (1: only the start fits).
    std::function<int(int step, Direction direction)> frameCount;
    // Writes what the order asks, telling progress; throws Failure.
    std::function<void(const OutputOrder &order, const FrameProgress &progress)> write;
    // Lets the user choose the picture the cut is blended with; gives its name, or nullopt when
    // the user chose none.
    std::function<std::optional<QString>()> chooseBlendPicture;
    // The name of the blend picture in use; empty while the cut is blended with white.
    QString blendPictureName;
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

  private:
    void prepare(OutputMode mode);
    void showPreview(const QImage &cut);
    void save();
    void saveSingle(bool closeOnCancel);
    void saveSequence();
    bool mayReplaceFramesOf(const QString &base, int frames);
    void chooseBlendPicture();
    void showBlendPictureName(const QString &name);
    void clearStatus();
    OutputOrder order() const;
    void showProgress(int k, int n);

    std::unique_ptr<Ui::OutputDialog> m_ui;
    QButtonGroup *m_stepGroup;
    QButtonGroup *m_directionGroup;
    QFileDialog *m_cutSaveDialog;    // a single file; ".bmp" is added to a name without it
    QFileDialog *m_framesSaveDialog; // the base name of numbered frames
    OutputMode m_mode = OutputMode::SingleCut;
    QSize m_cutSize;
    OutputActions m_actions;
    QElapsedTimer m_progressShown; // when the progress bar was last painted
};
