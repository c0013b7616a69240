// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace: the pictures, the cut and the frame that every output and edit works on.
#pragma once

#include "core/workspace/presets.h"
#include "core/workspace/settings.h"

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

inline constexpr int kMaxPresets = 100; // data.dat records beyond this are ignored
inline constexpr int kStartCanvasWidth = 200;
inline constexpr int kStartCanvasHeight = 100;

// The way the frame moves from one frame of a continuous cut to the next. Grid: every whole tile
// from the frame's position, left to right and then down (see continuous_cut.h).
enum class Direction : uint8_t { Right, Left, Down, Up, Grid };

// One plain struct, owned by the main window; the command line and the tests build their own. The
// core's routines below keep its fields consistent; state that only a window needs (whether a
// drag is under way, whether a picture has been loaded) lives in that window.
struct Workspace {
    // The six bitmaps. WorkImage is the current picture: created 24-bit, but a BMP loaded whole
    // keeps its own depth until a routine that reads pixels converts it.
    QImage WorkImage;  // the current picture, CanvasWidth x CanvasHeight
    QImage CutImage;   // the pixels under the cut frame, CutWidth x CutHeight
    QImage FrameImage; // per-frame work buffer of the sequence output
    QImage ViewImage;  // WorkImage with the cut-frame outline, as shown
    QImage BlendImage; // the second picture of alpha compositing, sized to the cut
    QImage UndoImage;  // WorkImage as last loaded or captured (null until then)

    int32_t CanvasWidth = kStartCanvasWidth;
    int32_t CanvasHeight = kStartCanvasHeight;
    int32_t CutWidth = 0; // from WindowSettings at start-up
    int32_t CutHeight = 0;
    int32_t FrameX = 0; // canvas coordinates of the frame's top-left pixel
    int32_t FrameY = 0;

    SettingsRecord WindowSettings; // what set.ini keeps between runs

    // Presets of data.dat in file order; entries 0 .. PresetCount - 1 are valid.
    std::array<QString, kMaxPresets> PresetNames;
    std::array<int32_t, kMaxPresets> PresetWidths{};
    std::array<int32_t, kMaxPresets> PresetHeights{};
    int32_t PresetCount = 0;

    int32_t FrameStep = 0; // pixels the frame moves per frame in continuous cutting
    Direction FrameDirection = Direction::Right;

    // Grid cutting: the pixels between two tiles across and down, and whether tiles of a single
    // colour (the empty cells of a sheet) are left out.
    int32_t GridGapX = 0;
    int32_t GridGapY = 0;
    bool SkipEmptyTiles = false;
};

// Makes picture the working picture as loaded or captured: WorkImage (in the picture's own depth),
// UndoImage (a copy Undo returns to) and the canvas size. The frame is left where it is.
void SetWorkPicture(Workspace &ws, const QImage &picture);

// Puts presets into the workspace arrays, at most kMaxPresets of them.
void SetPresets(Workspace &ws, const std::vector<Preset> &presets);

// The bitmap half of the start canvas: five white 24-bit bitmaps of width x height, a fresh empty
// UndoImage, and the canvas size.
void ResetCanvasImages(Workspace &ws, int width, int height);

// Lowers the cut size to the canvas where it is larger. Every command that changes the canvas
// size calls it, so a cut always fits once a picture is there.
void LowerCutToCanvas(Workspace &ws);

// The frame clamp: brings the frame's top-left corner back inside the picture. The frame may touch
// the right and bottom edges (a 100 x 50 cut on 300 x 200 goes no further than (200, 150)). Any
// cut size is taken, negative or larger than the canvas, without overflow.
void ClampFrame(Workspace &ws);

// How far a key moves the frame: one picture pixel, ten, or one cut width or height (the next
// tile).
enum class NudgeSize { Pixel, TenPixels, Tile };

// Moves the frame by dx and dy (each -1, 0 or 1) steps of size, then clamps it as a drag does.
void NudgeFrame(Workspace &ws, int dx, int dy, NudgeSize size);

// Fills CutImage, sized to the cut, with the 24-bit pixels under the frame of WorkImage (never
// the outline, which only ViewImage carries). Only the cut area is read and, for a picture that is
// not 24-bit, converted: the cost follows the cut, not the picture. A cut side below 1, or a cut
// beyond kMaxPictureBytes (values from set.ini before the first picture), leaves CutImage null.
void FillCutImage(Workspace &ws);

// Whether the edit result placement should resize the canvas as well.
enum class EditResultKind {
    ChangesSize,        // scale, rotation, the shrink after a capture
    KeepsSize,          // blur, sharpen
    KeepsSizeAndLabels, // contrast, gamma, level correction: the size labels are refreshed
};

// Puts an edit's result in place of the working picture: WorkImage becomes result (24-bit); when
// the size changes, the canvas takes the new size and the cut is lowered to it. The frame position
// and UndoImage are left alone.
void PlaceEditResult(Workspace &ws, const QImage &result, EditResultKind kind);
