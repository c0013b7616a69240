// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog: writes the cut once, as a continuous sequence, blended with a second
// picture, or faded from white or black. It turns the choices into a cut job, takes the frames
// from MakeFrameRun and writes them with WriteFrameOutput, showing the progress; a run can be
// stopped part way.
#pragma once

#include "core/sequence/cut_job.h"
#include "core/sequence/frame_run.h"
#include "core/workspace/cut_frame.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QRect>

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

    // Runs the dialog for mode on document's picture cut with frame, showing the cut (scaled down
    // to fit when larger than the preview) and only the choices of the mode and of the output
    // chosen. A sequence starts at 15 pixels to the right each time. The frames, their count, the
    // preview and the files written all come from MakeFrameRun. A single file closes the dialog
    // once written; after a run of frames the dialog stays and says what it wrote. Before files
    // of the same names are replaced, or more than kManyFiles files written, the user is asked
    // once. A failure is reported and the dialog stays.
    void run(OutputMode mode, const PictureDocument &document, const CutFrame &frame,
             const BlendPictureActions &blendPicture);

    // A grid found on the sheet: its gaps, and 格子 chosen when the next sequence starts.
    void offerGrid(QSize gap);

    // Whether the picture being cut is an animation.
    bool animated() const;
    // The job the dialog's choices make now (its output without a path).
    CutJob job() const;

    // A run of more numbered files than this asks before it starts.
    static constexpr int kManyFiles = 1000;

  signals:
    // The sprites 自動検出 finds with the choices of now, for the canvas to show numbered while
    // the dialog is open; none when another direction is chosen or the dialog closes.
    void spriteBoxesChanged(const std::vector<QRect> &boxes);

  public slots:
    // While a run writes, closing the dialog (Escape, the window's close button) stops the run
    // instead, as 停止 does.
    void reject() override;

  protected:
    // In alpha mode a picture file dropped on the dialog becomes the blend picture.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

  private:
    // The direction group's ids of 格子 and 自動検出: after the four directions.
    static constexpr int kGridId = 4;
    static constexpr int kAutoId = 5;

    void prepare(OutputMode mode);
    std::unique_ptr<FrameRun> frames(const CutJob &job) const;
    void save();
    void saveSingle(FrameRun &run, bool closeOnCancel);
    void saveSequence(FrameRun &run);
    void saveToOneFile(FrameRun &run);
    // Writes run to output once the user agrees to replace what is there, with the choices off
    // and 停止 on.
    enum class RunEnd { Declined, Stopped, Finished };
    // Throws the Failure OutputRefusal says for output of run, the picture cut being its input.
    void refuseToDestroy(const FrameRun &run, const FrameOutput &output) const;
    RunEnd write(FrameRun &run, const FrameOutput &output);
    // " (単色のタイル 3 個は書き出していません)" after a grid run that left tiles out.
    QString skippedTiles(const FrameRun &run) const;
    void setRunning(bool running);
    void showStatus(const QString &text);
    void chooseBlendPicture();
    void showBlendPictureName();
    void clearStatus();
    void showProgress(int k, int n);
    // The output section: what the frames become, in a group of its own.
    void setUpOutputChoices();
    // Shows the controls of the mode and of the output chosen now, and hides the others.
    void showChoices();
    // 自動検出 (output_dialog_sprites.cpp): its choices, the background the picture's kind
    // suggests, and the sprites found, counted here and shown on the canvas.
    void setUpSpriteChoices();
    void offerBackgroundOf(const PictureDocument &document);
    SpriteSearch spriteSearch() const;
    void chooseBackgroundColour();
    void findSprites();
    bool autoChosen() const;
    // アトラス and the JSON of the sheet and the atlas.
    void setUpAtlasChoices();
    AtlasOptions atlasOptions() const;
    // ▶ plays the frames of the current choices at the chosen delay; ■ (or saving, or closing)
    // stops the player, which shows the cut again.
    void play();

    std::unique_ptr<Ui::OutputDialog> m_ui;
    QButtonGroup *m_stepGroup;
    QButtonGroup *m_directionGroup;
    bool m_gridOffered = false;   // the next sequence starts on 格子, not 15 pixels to the right
    QFileDialog *m_cutSaveDialog; // a single file; ".bmp" is added to a name without it
    QFileDialog *m_framesSaveDialog;               // the base name of numbered frames
    QFileDialog *m_animationSaveDialog;            // a GIF or WebP file; its extension is added
    QFileDialog *m_sheetSaveDialog;                // a PNG sheet; ".png" is added
    QButtonGroup *m_kindGroup;                     // numbered files, animation, sheet
    QButtonGroup *m_formatGroup;                   // BMP or PNG
    QButtonGroup *m_animationFormatGroup;          // GIF or WebP
    QRgb m_backgroundColour = qRgb(255, 255, 255); // 自動検出's background when a colour is chosen
    OutputMode m_mode = OutputMode::SingleCut;
    const PictureDocument *m_document = nullptr; // while the dialog runs
    CutFrame m_frame;
    BlendPictureActions m_blendPicture;
    QElapsedTimer m_progressShown; // when the progress bar was last painted
    bool m_running = false;        // a run is writing
    bool m_stopAsked = false;      // 停止 was pressed during the run
    int m_stepsDone = 0;           // of the run writing now (for numbered files, files written)
};
