// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog: writes the cut once, as a continuous sequence, blended with a second
// picture, or faded from white or black. It turns the choices into a cut job, takes the frames
// from MakeFrameRun and writes them with WriteFrameOutput, showing the progress.
#pragma once

#include "core/sequence/cut_job.h"
#include "core/sequence/frame_run.h"
#include "core/workspace/cut_frame.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <vector>

class PictureDocument;
class QButtonGroup;
class QFileDialog;
class QRadioButton;

namespace Ui {
class OutputDialog;
}

enum class OutputMode { SingleCut, Sequence, Blend, Fade };

// How the dialog asks the window for the blend picture: through the window's import dialog, or
// from a file dropped on the dialog. Either puts the picture into the document, whose
// blendPictureChanged the dialog follows.
struct BlendPictureActions {
    std::function<void()> choose;
    std::function<void(const QString &path)> load;
};

class OutputDialog : public QDialog {
    Q_OBJECT
  public:
    explicit OutputDialog(QWidget *parent = nullptr);
    ~OutputDialog() override;

    // Runs the dialog for mode on document's picture cut with frame, showing the cut at 1:1 (of a
    // larger cut only the top-left 1500 x 1500 pixels). A sequence starts at 15 pixels to the right
    // each time. The frames, their count, the preview and the files written all come from
    // MakeFrameRun. A single file closes the dialog once written; after a run of frames the
    // dialog stays and says what it wrote. Before frames replace files of the same names, the
    // user is asked once. A failure is reported and the dialog stays.
    void run(OutputMode mode, const PictureDocument &document, const CutFrame &frame,
             const BlendPictureActions &blendPicture);

    // The job the dialog's choices make now (its output without a path).
    CutJob job() const;

  protected:
    // In alpha mode a picture file dropped on the dialog becomes the blend picture.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

  private:
    void prepare(OutputMode mode);
    std::unique_ptr<FrameRun> frames(const CutJob &job) const;
    void save();
    void saveSingle(FrameRun &run, bool closeOnCancel);
    void saveSequence(FrameRun &run);
    void saveToOneFile(FrameRun &run);
    bool write(FrameRun &run, const FrameOutput &output);
    bool mayReplaceFramesOf(const FrameOutput &output, int frames);
    void showStatus(const QString &text);
    void chooseBlendPicture();
    void showBlendPictureName();
    void clearStatus();
    void showGridChoice();
    void showProgress(int k, int n);
    // The output section: what the frames become, in a group of its own.
    void setUpOutputChoices();
    void showOutputChoices();
    // ▶ plays the frames of the current choices at the chosen delay; ■ (or saving, or closing)
    // stops the player, which shows the cut again.
    void play();

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
    const PictureDocument *m_document = nullptr; // while the dialog runs
    CutFrame m_frame;
    BlendPictureActions m_blendPicture;
    QElapsedTimer m_progressShown; // when the progress bar was last painted
};
