// SPDX-License-Identifier: GPL-3.0-or-later
// Outputs refused before any work.
#include "core/sequence/output_refusal.h"

#include "core/base/output_names.h"
#include "core/image/picture.h"

#include <QCoreApplication>

namespace {

QString tooManyFrames(const char *text, long long frames, int limit)
{
    return QCoreApplication::translate("FrameOutput", text).arg(frames).arg(limit);
}

} // namespace

QString OutputNameRefusal(const FrameOutput &output, int frames, const QStringList &inputs)
{
    const bool pair = output.kind == OutputKind::Sheet || output.kind == OutputKind::Atlas;
    // Under another name a viewer or an engine would take the PNG data for the kind the name
    // says; and "s.json" would be the picture's name and its JSON's at once.
    if (pair && !output.path.isEmpty() && !IsPngName(output.path))
        return QCoreApplication::translate(
                   "FrameOutput", "%1: シートやアトラスの名前は .png で終わる必要があります")
            .arg(output.path);
    // An empty BASE would still give names ("001.bmp" in the current folder) that no one chose.
    const QStringList files =
        output.path.isEmpty() ? QStringList{QString()} : OutputFiles(output, std::max(frames, 1));
    return OutputNamesRefusal(files, inputs);
}

QString OutputSizeRefusal(const FrameOutput &output, int frames, QSize frameSize)
{
    switch (output.kind) {
    case OutputKind::OneFile:
    case OutputKind::NumberedFiles: return {};
    case OutputKind::Animation: {
        const long long shown = PlayedFrames(frames, output.animation.pingPong);
        if (shown > kMaxAnimationFrames)
            return tooManyFrames(
                QT_TRANSLATE_NOOP("FrameOutput",
                                  "アニメーションのフレームが多すぎます: %1 (上限 %2)"),
                shown, kMaxAnimationFrames);
        return {};
    }
    case OutputKind::Sheet:
    case OutputKind::Atlas: break;
    }
    if (frames > kMaxSheetFrames)
        return tooManyFrames(
            QT_TRANSLATE_NOOP("FrameOutput",
                              "シートやアトラスのフレームが多すぎます: %1 (上限 %2)"),
            frames, kMaxSheetFrames);
    if (output.kind == OutputKind::Atlas)
        return {}; // its size is known once packed, within --max-size, and LayOutAtlas checks it
    const SheetExtent sheet = SheetExtentOf(frames, frameSize, output.sheet);
    if (ExceedsPictureLimit(sheet.width, sheet.height))
        return QCoreApplication::translate("FrameOutput",
                                           "シートが大きすぎます: %1 x %2 (画像は %3 MB まで)")
            .arg(sheet.width)
            .arg(sheet.height)
            .arg(kMaxPictureBytes >> 20);
    return {};
}

QString OutputRefusal(const FrameOutput &output, const FrameRun &run, const QStringList &inputs)
{
    const QString names = OutputNameRefusal(output, run.count(), inputs);
    return names.isEmpty() ? OutputSizeRefusal(output, run.count(), run.frameSize()) : names;
}
