// SPDX-License-Identifier: GPL-3.0-or-later
// The frame files of every sequence run: their numbered names, the writer that makes each one, and
// the progress report after it.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

// The file formats of numbered frames and single cuts; BMP unless the user chooses otherwise.
// A GIF or WebP file holds an animation: frame k's (FrameRun::animationOf).
enum class FrameFormat { Bmp, Png, Gif, Webp };

// The extension of a format's files, with its dot: ".bmp", ".png", ".gif", ".webp".
QLatin1String FrameExtension(FrameFormat format);

// The file name of frame `frame` of a sequence whose base is `chosenPath`: the folder (up to the
// last "/"; kept with a single "/" after it), the base name less one ending of a picture's
// extension (.bmp, .png, .jpg, .jpeg, .gif, .webp, .tif, .tiff, .tga) in any letter case, the
// number padded with zeros to three digits (longer numbers unchanged), then the extension (".bmp"
// or ".png").
// "/anim/walk", 1 -> "/anim/walk001.bmp"; "/walk", 5 -> "/walk005.bmp";
// "/anim/walk.BMP", 12 -> "/anim/walk012.bmp"; "/anim/walk", 1234 -> "/anim/walk1234.bmp";
// "/anim/walk.bmp.bak", 2 -> "/anim/walk.bmp.bak002.bmp".
// With FrameFormat::Png the same rule gives "/anim/walk.png", 1 -> "/anim/walk001.png".
QString FrameFileName(const QString &chosenPath, int frame, FrameFormat format = FrameFormat::Bmp);

// The names among frames 1 .. frameCount of a run on `chosenPath` (FrameFileName) that something
// already occupies (a file, a folder, or a link, even a broken one), in frame order; empty when
// the run replaces nothing. Asked before a run so the user can be asked once.
QStringList ExistingFrameFiles(const QString &chosenPath, int frameCount,
                               FrameFormat format = FrameFormat::Bmp);

// Writes one frame file (a 24-bit BMP, or a PNG); throws Failure. Runs take it as an argument so
// the dialogs, the command line and the tests share the loops.
using FrameWriter = std::function<void(const QString &path, const QImage &picture)>;
// Told after frame k of n is written.
using FrameProgress = std::function<void(int k, int n)>;
