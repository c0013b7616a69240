// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a run's frames as numbered files, an animation, a sprite sheet or an atlas.
#include "core/sequence/frame_output.h"

#include "core/base/atomic_file.h"
#include "core/base/file_names.h"
#include "core/base/files.h"
#include "core/base/ordered_work.h"
#include "core/base/staged_files.h"
#include "core/image/bmp_format.h"
#include "core/image/png_format.h"
#include "core/sequence/frame_runs.h"
#include "core/sequence/output_refusal.h"

#include <QColor>
#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cstdint>
#include <cstring>

void FrameRun::writeBmp(int k, const QString &path, BmpFrameWriter &writer)
{
    writer.write(path, frame(k));
}

QRgb FrameRun::surround() const
{
    return hasAlpha() ? qRgba(0, 0, 0, 0) : qRgb(255, 255, 255);
}

int FrameRun::delayMs(int) const
{
    return 0;
}

std::unique_ptr<FrameRun> FrameRun::animationOf(int k)
{
    return MakePictureRun({frame(k).copy()});
}

namespace {

void tell(const FrameProgress &progress, int k, int n)
{
    if (progress)
        progress(k, n);
}

// How many frames may wait for their turn at once: two per core keeps every core busy while the
// calling thread writes, within a budget that a run of huge frames cannot exceed.
int framesInFlight(const FrameRun &run)
{
    constexpr int64_t kBudgetBytes = 256 << 20;
    const int64_t frameBytes =
        std::max<int64_t>(int64_t(run.frameSize().width()) * run.frameSize().height() * 4, 1);
    return int(std::clamp<int64_t>(kBudgetBytes / frameBytes, 1, 2 * OrderedWorkThreads()));
}

// Frame k at the run's one size: the frame itself, or the frame in the middle of frameSize() on
// the run's surround, the odd pixel of a difference on the right and at the bottom (Trunc).
QImage fitted(FrameRun &run, int k)
{
    const QImage &frame = run.frame(k);
    const QSize size = run.frameSize();
    if (frame.size() == size)
        return frame;
    QImage canvas(size, frame.format());
    if (canvas.isNull())
        throw std::bad_alloc();
    // Through QColor: fill(uint) takes a 24-bit picture's value with red and blue swapped.
    canvas.fill(QColor::fromRgba(run.surround()));
    const int left = (size.width() - frame.width()) / 2, top = (size.height() - frame.height()) / 2;
    const size_t bytesPerPixel = size_t(frame.depth() / 8);
    for (int y = 0; y < frame.height(); ++y)
        std::memcpy(canvas.scanLine(top + y) + size_t(left) * bytesPerPixel, frame.constScanLine(y),
                    size_t(frame.width()) * bytesPerPixel);
    return canvas;
}

// The name of frame k in a sheet's or an atlas's JSON.
QString frameName(const FrameOutput &output, int k)
{
    if (k <= output.frameNames.size())
        return output.frameNames[k - 1];
    return QFileInfo(FrameFileName(output.path, k, FrameFormat::Png)).fileName();
}

// The picture and its JSON as a pair: both new, or both as they were, since a JSON beside
// another picture would send an engine to the wrong pixels. The JSON is made first: a frame name
// given twice refuses the whole output.
void writePictureAndData(const FrameOutput &output, QSize size, const QByteArray &png,
                         const std::vector<DataFrame> &frames)
{
    const DataMeta meta{QFileInfo(output.path).fileName(), size, TagOf(output.path),
                        output.animation.delayMs, output.animation.pingPong};
    const QByteArray data = AtlasData(frames, meta, output.json);
    WriteFilesTogether({{output.path, png}, {SheetDataPath(output.path), data}});
}

// The run in the opposite order, its frames' times with them.
class ReversedFrames : public FrameRun {
  public:
    explicit ReversedFrames(FrameRun &run) : m_run(run) {}
    int count() const override { return m_run.count(); }
    QSize frameSize() const override { return m_run.frameSize(); }
    QRgb surround() const override { return m_run.surround(); }
    bool hasAlpha() const override { return m_run.hasAlpha(); }
    int skipped() const override { return m_run.skipped(); }
    const QImage &frame(int k) override { return m_run.frame(mirrored(k)); }
    void writeBmp(int k, const QString &path, BmpFrameWriter &writer) override
    {
        m_run.writeBmp(mirrored(k), path, writer);
    }
    int delayMs(int k) const override { return m_run.delayMs(mirrored(k)); }
    std::unique_ptr<FrameRun> animationOf(int k) override { return m_run.animationOf(mirrored(k)); }

  private:
    int mirrored(int k) const { return m_run.count() + 1 - k; }
    FrameRun &m_run;
};

bool isAnimationFormat(FrameFormat format)
{
    return AnimationFormatOf(format).has_value();
}

AnimationOptions animationOptionsFor(const FrameOutput &output)
{
    AnimationOptions options = output.animation;
    options.format = AnimationFormatOf(output.format).value_or(options.format);
    return options;
}

void writeAnimationFile(FrameRun &run, const QString &path, const AnimationOptions &options,
                        const FrameProgress &progress);

void writeOneFile(FrameRun &run, const FrameOutput &output, const FrameProgress &progress)
{
    switch (output.format) {
    case FrameFormat::Png: WritePngFile(output.path, run.frame(1)); break;
    case FrameFormat::Bmp: WriteBmp24File(output.path, run.frame(1)); break;
    case FrameFormat::Gif:
    case FrameFormat::Webp:
        writeAnimationFile(run, output.path, animationOptionsFor(output), {});
        break;
    }
    tell(progress, 1, 1);
}

// One animation per frame of the run (FrameRun::animationOf): the tiles of an animated picture.
void writeNumberedAnimations(FrameRun &run, const FrameOutput &output,
                             const FrameProgress &progress)
{
    const AnimationOptions options = animationOptionsFor(output);
    const int n = run.count();
    for (int k = 1; k <= n; ++k) {
        const std::unique_ptr<FrameRun> animation = run.animationOf(k);
        writeAnimationFile(*animation, FrameFileName(output.path, k, output.format), options, {});
        tell(progress, k, n);
    }
}

void writeNumberedFiles(FrameRun &run, const FrameOutput &output, const FrameProgress &progress)
{
    if (isAnimationFormat(output.format)) {
        writeNumberedAnimations(run, output, progress);
        return;
    }
    const int n = run.count();
    if (output.format == FrameFormat::Bmp) {
        BmpFrameWriter writer;
        for (int k = 1; k <= n; ++k) {
            run.writeBmp(k, FrameFileName(output.path, k, FrameFormat::Bmp), writer);
            tell(progress, k, n);
        }
        return;
    }
    // Deflating a frame costs far more than making or storing it: frames are made and written in
    // order here while the cores encode them.
    struct Frame {
        QString path;
        QImage picture; // shares the run's pixels; the run detaches before it makes the next
    };
    RunInOrder<Frame, QByteArray>(
        n, framesInFlight(run),
        [&](int k) {
            return Frame{FrameFileName(output.path, k, FrameFormat::Png), run.frame(k)};
        },
        [](const Frame &frame) { return EncodePngFor(frame.path, frame.picture); },
        [&](int k, QByteArray png) {
            WriteFileAtomically(FrameFileName(output.path, k, FrameFormat::Png), png);
            tell(progress, k, n);
        });
}

// The frames one encode of a file prepared, kept for its next encode (FitGifQuality's), which
// needs them again when it quantizes alike, within the same budget as the frames in flight.
struct PreparedFrames {
    std::vector<std::shared_ptr<PreparedFrame>> frames; // by step of the play order
    int64_t bytes = 0;
    bool keeping = true;
};

// One encode of the run's frames in the order shown, telling progress when given; with the
// frames an earlier encode prepared when the encoder can take them.
QByteArray encodeAnimation(FrameRun &run, const AnimationOptions &options,
                           const FrameProgress &progress, PreparedFrames *kept = nullptr)
{
    const std::vector<int> order = PlayOrder(run.count(), options.pingPong, options.reverse);
    if (order.size() > size_t(kMaxAnimationFrames))
        throw Failure(QCoreApplication::translate(
                          "FrameOutput", "アニメーションのフレームが多すぎます: %1 (上限 %2)")
                          .arg(order.size())
                          .arg(kMaxAnimationFrames));
    const std::unique_ptr<AnimationEncoder> encoder =
        MakeAnimationEncoder(run.frameSize(), options);
    const int steps = int(order.size());
    if (kept && int(kept->frames.size()) == steps && encoder->canReuse(*kept->frames.front())) {
        for (int i = 1; i <= steps; ++i) {
            encoder->addPrepared(kept->frames[size_t(i - 1)]);
            tell(progress, i, steps);
        }
        return encoder->finish();
    }
    if (kept)
        *kept = {};
    constexpr int64_t kKeptBudgetBytes = 256 << 20;
    // A prepared frame holds its pixels and an index or two a pixel.
    const int64_t preparedBytes = int64_t(run.frameSize().width()) * run.frameSize().height() * 6;
    // Preparing a frame (a GIF's palette) is the costly part and needs no other frame: the
    // cores prepare frames while this thread adds them in order.
    RunInOrder<QImage, std::unique_ptr<PreparedFrame>>(
        steps, framesInFlight(run), [&](int i) { return fitted(run, order[size_t(i - 1)]); },
        [&](const QImage &frame) { return encoder->prepare(frame); },
        [&](int i, std::unique_ptr<PreparedFrame> frame) {
            frame->delayMs = FrameDelayMs(run.delayMs(order[size_t(i - 1)]), options);
            std::shared_ptr<PreparedFrame> shared = std::move(frame);
            if (kept && kept->keeping) {
                kept->bytes += preparedBytes;
                kept->keeping = kept->bytes <= kKeptBudgetBytes;
                if (kept->keeping)
                    kept->frames.push_back(shared);
                else
                    kept->frames.clear();
            }
            encoder->addPrepared(std::move(shared));
            tell(progress, i, steps);
        });
    return encoder->finish();
}

void writeAnimationFile(FrameRun &run, const QString &path, const AnimationOptions &options,
                        const FrameProgress &progress)
{
    QByteArray file;
    try {
        if (options.format == AnimationFormat::Gif && options.maxBytes > 0) {
            // Progress is told again from the first frame for each encode, so that a stop asked
            // during any encode ends the run; the run's frames are made again unless those
            // prepared for the encode before serve.
            PreparedFrames kept;
            file = FitGifQuality(options.maxBytes, options.gifQuality, [&](int quality) {
                AnimationOptions atQuality = options;
                atQuality.gifQuality = quality;
                return encodeAnimation(run, atQuality, progress, &kept);
            });
        } else {
            file = encodeAnimation(run, options, progress);
        }
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const Cancelled &) {
        throw; // the progress asked to stop: no failure of the file
    } catch (const Failure &failure) {
        throw WriteFailure(path, failure.description());
    }
    WriteFileAtomically(path, file);
}

void writeSheet(FrameRun &run, const FrameOutput &output, const FrameProgress &progress)
{
    const int n = run.count();
    QByteArray png;
    SheetLayout layout;
    try {
        layout = LayOutSheet(n, run.frameSize(), output.sheet);
        QImage sheet = BlankSheet(layout, run.hasAlpha());
        for (int k = 1; k <= n; ++k) {
            PlaceOnSheet(sheet, layout.cells[size_t(k - 1)], fitted(run, k));
            tell(progress, k, n);
        }
        EncodePng(sheet, png);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const Cancelled &) {
        throw; // the progress asked to stop: no failure of the file
    } catch (const Failure &failure) {
        throw WriteFailure(output.path, failure.description());
    }
    std::vector<DataFrame> frames;
    for (int k = 1; k <= n; ++k) {
        const QRect &cell = layout.cells[size_t(k - 1)];
        frames.push_back({frameName(output, k), cell, QRect(QPoint(0, 0), cell.size()), cell.size(),
                          FrameDelayMs(run.delayMs(k), output.animation)});
    }
    writePictureAndData(output, layout.size, png, frames);
}

void writeAtlas(FrameRun &run, const FrameOutput &output, const FrameProgress &progress)
{
    const int n = run.count();
    const AtlasFrameSource frame = [&run](int k) -> const QImage & { return run.frame(k); };
    QByteArray png;
    AtlasLayout layout;
    try {
        layout = LayOutAtlas(n, frame, output.atlas, [&](int k) { tell(progress, k, 2 * n); });
        EncodePng(
            DrawAtlas(layout, frame, output.atlas, [&](int k) { tell(progress, n + k, 2 * n); }),
            png);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const Cancelled &) {
        throw; // the progress asked to stop: no failure of the file
    } catch (const Failure &failure) {
        throw WriteFailure(output.path, failure.description());
    }
    std::vector<DataFrame> frames;
    for (int k = 1; k <= n; ++k) {
        const AtlasFrame &each = layout.frames[size_t(k - 1)];
        frames.push_back({frameName(output, k), each.rect, each.kept, each.frameSize,
                          FrameDelayMs(run.delayMs(k), output.animation)});
    }
    writePictureAndData(output, layout.size, png, frames);
}

} // namespace

std::optional<AnimationFormat> AnimationFormatOf(FrameFormat format)
{
    switch (format) {
    case FrameFormat::Bmp:
    case FrameFormat::Png: break;
    case FrameFormat::Gif: return AnimationFormat::Gif;
    case FrameFormat::Webp: return AnimationFormat::Webp;
    }
    return std::nullopt;
}

FrameFormat FrameFormatOf(AnimationFormat format)
{
    return format == AnimationFormat::Gif ? FrameFormat::Gif : FrameFormat::Webp;
}

bool KeepsAlpha(FrameFormat format)
{
    return format != FrameFormat::Bmp;
}

bool KeepsAlpha(const FrameOutput &output)
{
    const bool files =
        output.kind == OutputKind::OneFile || output.kind == OutputKind::NumberedFiles;
    return !files || KeepsAlpha(output.format);
}

QStringList OutputFiles(const FrameOutput &output, int frames)
{
    switch (output.kind) {
    case OutputKind::OneFile: return {output.path};
    case OutputKind::NumberedFiles: {
        QStringList names;
        for (int k = 1; k <= frames; ++k)
            names << FrameFileName(output.path, k, output.format);
        return names;
    }
    case OutputKind::Animation: return {output.path};
    case OutputKind::Sheet:
    case OutputKind::Atlas: return {output.path, SheetDataPath(output.path)};
    }
    return {};
}

QStringList ExistingOutputFiles(const FrameOutput &output, int frames)
{
    if (output.kind == OutputKind::NumberedFiles)
        return ExistingFrameFiles(output.path, frames, output.format);
    QStringList existing;
    for (const QString &path : OutputFiles(output, frames)) {
        const QFileInfo file(path);
        if (file.exists() || file.isSymLink())
            existing << path;
    }
    return existing;
}

bool IsPngName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.size() > 4 && name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive);
}

QString FastGifWarning(FrameRun &run, const FrameOutput &output)
{
    const bool animation =
        output.kind == OutputKind::Animation && output.animation.format == AnimationFormat::Gif;
    const bool files =
        (output.kind == OutputKind::OneFile || output.kind == OutputKind::NumberedFiles) &&
        output.format == FrameFormat::Gif;
    if ((!animation && !files) || run.count() == 0)
        return {};
    // Numbered GIFs are each a place of every frame of the picture: the first shows them all.
    const std::unique_ptr<FrameRun> tile =
        output.kind == OutputKind::NumberedFiles ? run.animationOf(1) : nullptr;
    const FrameRun &shown = tile ? *tile : run;
    int fastest = kMaxFrameDelayMs;
    for (int k = 1; k <= shown.count(); ++k)
        fastest = std::min(fastest, FrameDelayMs(shown.delayMs(k), output.animation));
    if (fastest >= kFastestGifDelayMs || shown.count() < 2) // one frame is never timed
        return {};
    return QCoreApplication::translate(
               "FrameOutput", "警告: %1 ミリ秒の間隔はブラウザでは 100 ミリ秒で再生されます "
                              "(GIF は %2 ミリ秒以上にしてください)")
        .arg(fastest)
        .arg(kFastestGifDelayMs);
}

void WriteFrameOutput(FrameRun &run, const FrameOutput &output, const FrameProgress &progress)
{
    // Callers ask first, with the files they read; this is for one that did not.
    if (const QString refusal = OutputRefusal(output, run, {}); !refusal.isEmpty())
        throw Failure(refusal);
    // Whatever the output, its files go beside output.path: temporary files that killed writers
    // left there go first.
    RemoveStaleTemporaryFiles(FolderOfPath(output.path));
    // Played backwards, the frames are written last first: numbered files and sheets in that
    // order, where an animation (and each numbered one) plays its own frames backwards.
    const bool files =
        output.kind == OutputKind::OneFile || output.kind == OutputKind::NumberedFiles;
    const bool played =
        output.kind == OutputKind::Animation || (files && isAnimationFormat(output.format));
    ReversedFrames reversed(run);
    FrameRun &frames = output.animation.reverse && !played ? reversed : run;
    switch (output.kind) {
    case OutputKind::OneFile: writeOneFile(frames, output, progress); break;
    case OutputKind::NumberedFiles: writeNumberedFiles(frames, output, progress); break;
    case OutputKind::Animation:
        writeAnimationFile(frames, output.path, output.animation, progress);
        break;
    case OutputKind::Sheet: writeSheet(frames, output, progress); break;
    case OutputKind::Atlas: writeAtlas(frames, output, progress); break;
    }
}
