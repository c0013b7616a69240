// SPDX-License-Identifier: GPL-3.0-or-later
// Animated GIF: the frames planned over the player's canvas, their palettes and their coding.
#include "core/animation/gif_animation.h"

#include "core/animation/gif_coding.h"
#include "core/animation/gif_colours.h"
#include "core/animation/gif_exact_frame.h"
#include "core/animation/gif_lzw.h"
#include "core/animation/gif_quantizer.h"
#include "core/animation/gif_table_order.h"
#include "core/base/io_error.h"
#include "core/image/rounding.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// GIF keeps sides in 16 bits.
constexpr int kMaxGifSide = 65535;
// Measured on 21 photo-like blend frames of 400 x 300 (bench/compare_formats.sh): libimagequant's
// speed 8 takes a fifth of the time of its default 4, at 1 dB less.
constexpr int kQuantizerSpeed = 8;
// Measured on the photographic animations of bench/make_gif_corpus.sh: error diffusion at 0.1
// gives 0.1 to 0.3 dB more than at 0.3 in a file 1.5 to 3 % smaller, and at 0.3 0.4 to 1 dB more
// than at full strength, since diffused noise is what LZW codes worst and the palette already
// holds most colours close by.
constexpr float kDitherLevel = 0.1f;
// Measured on the same animations: a palette of 208 colours makes them 5 to 7 % smaller than one
// of 256, at 0.5 to 0.6 dB less, since the last colours mostly tell noise apart. Frames of up to
// 256 colours are still kept exactly.
constexpr int kPaletteColours = 208;
// From kMaxQuality down to kFullPaletteDownTo a shown pixel stays when no channel of the wanted
// one differs by more than a tolerance that grows as the square root of the steps, up to
// kToleranceAtFullPalette. On 21 blend frames of 320 x 240 a tolerance of 3 makes the file 1 %
// smaller, 5 4 % and 10 over a fifth: so the size falls about evenly with quality, which lets
// FitGifQuality find a size in few encodes. Below, it grows by one every kQualityStepsPerLevel.
constexpr double kToleranceAtFullPalette = 10.0;
constexpr double kQualityStepsPerLevel = 5.0;
// Below this quality the palettes shrink too, halving every kQualityPerHalving steps, since
// tolerance alone stops saving once most pixels are kept: 256 colours (a palette 208) at 50,
// 16 at 0.
constexpr int kFullPaletteDownTo = 50;
constexpr double kQualityPerHalving = 12.5;
constexpr int kFewestColours = 16;
// The frames coded with the global table are kept, to be coded again in a better order of the
// table (ReorderGlobalTable), up to this many bytes: some 20 million pixels.
constexpr size_t kMostKeptForReordering = size_t(64) << 20;

} // namespace

struct GifAnimationEncoder::Frame : PreparedFrame {
    // The colours kept exactly and quantized to (Tuning) that the frame was prepared for.
    int exactLimit = 0, paletteColours = 0;
    QImage pixels; // ARGB32, each pixel opaque or 0
    // A frame of few colours: its opaque colours, and each pixel's place among them.
    bool exact = false;
    std::vector<QRgb> colours;
    std::vector<unsigned char> ids;
    // Any other frame: its palette.
    std::unique_ptr<GifQuantizer> quantizer;
};

// Where a frame goes on the canvas and what the player does with it afterwards.
struct GifAnimationEncoder::Placement {
    QRect rect;
    // By pixel of rect: the player may go on showing what it shows (Keeps): kKeptSame where that
    // is the very pixel wanted, kKeptClose where it is only close enough; else 0.
    std::vector<unsigned char> kept;
    GifDisposal disposal = GifDisposal::Keep;
};

GifAnimationEncoder::Tuning GifAnimationEncoder::tuningOf(int quality, bool dither)
{
    quality = std::clamp(quality, 0, kMaxQuality);
    Tuning tuning;
    tuning.dither = dither ? kDitherLevel : 0.0f;
    tuning.tolerance =
        quality >= kFullPaletteDownTo
            ? int(Round(kToleranceAtFullPalette * std::sqrt(double(kMaxQuality - quality) /
                                                            (kMaxQuality - kFullPaletteDownTo))))
            : int(Round(kToleranceAtFullPalette +
                        (kFullPaletteDownTo - quality) / kQualityStepsPerLevel));
    if (quality < kFullPaletteDownTo) {
        const double halvings = (kFullPaletteDownTo - quality) / kQualityPerHalving;
        tuning.colours = std::max(kFewestColours, int(Round(kGifColours / std::exp2(halvings))));
    }
    tuning.paletteColours = std::min(tuning.colours, kPaletteColours);
    return tuning;
}

GifAnimationEncoder::GifAnimationEncoder(QSize size, const AnimationOptions &options)
    : m_size(size), m_options(options), m_tuning(tuningOf(options.gifQuality, options.dither))
{
    if (size.width() < 1 || size.height() < 1 || size.width() > kMaxGifSide ||
        size.height() > kMaxGifSide)
        throw Failure(
            QCoreApplication::translate("GifAnimation", "GIF にできない大きさです (%1 x %2)")
                .arg(size.width())
                .arg(size.height()));
    m_canvas = EmptyGifCanvas(size);
    m_files[1].countsTableGrowth = true;
}

GifAnimationEncoder::~GifAnimationEncoder() = default;

std::unique_ptr<PreparedFrame> GifAnimationEncoder::prepare(const QImage &frame) const
{
    if (frame.size() != m_size)
        throw Failure(
            QCoreApplication::translate("GifAnimation", "GIF のフレームの大きさが違います"));
    auto prepared = std::make_unique<Frame>();
    prepared->exactLimit = m_tuning.colours;
    prepared->paletteColours = m_tuning.paletteColours;
    bool transparent = false;
    prepared->pixels = BinaryAlpha(frame, transparent);
    // A frame of a run with alpha keeps an index free for transparency: the next frame may need
    // it, to let this one show through, even where this one has none.
    const int limit =
        std::min(m_tuning.colours, frame.hasAlphaChannel() ? kGifColours - 1 : kGifColours);
    prepared->exact = ExactColours(prepared->pixels, limit, prepared->colours, prepared->ids);
    if (!prepared->exact) {
        prepared->quantizer = std::make_unique<GifQuantizer>(
            prepared->pixels, m_tuning.paletteColours, kQuantizerSpeed);
    }
    return prepared;
}

void GifAnimationEncoder::addPrepared(std::shared_ptr<PreparedFrame> prepared)
{
    if (m_finished)
        throw Failure(
            QCoreApplication::translate("GifAnimation", "GIF のフレームの大きさが違います"));
    // Only this encoder's prepare makes the frames it is given.
    const auto *next = static_cast<const Frame *>(prepared.get());
    if (m_pending)
        write(static_cast<Frame &>(*m_pending), &next->pixels);
    m_pending = std::move(prepared);
}

bool GifAnimationEncoder::canReuse(const PreparedFrame &prepared) const
{
    // Remapping, where tolerance and dithering count, happens as frames are added: frames
    // prepared for the same colours are the same frames.
    const auto *frame = dynamic_cast<const Frame *>(&prepared);
    return frame && frame->pixels.size() == m_size && frame->exactLimit == m_tuning.colours &&
           frame->paletteColours == m_tuning.paletteColours;
}

QByteArray GifAnimationEncoder::finish()
{
    if (m_finished)
        throw Failure(
            QCoreApplication::translate("GifAnimation", "GIF のフレームの大きさが違います"));
    m_finished = true;
    if (m_pending)
        write(static_cast<Frame &>(*std::exchange(m_pending, nullptr)), nullptr);
    QByteArray smallest;
    for (FileSoFar &file : m_files) {
        if (file.reorderable)
            ReorderGlobalTable(file.global.colours, file.global.indicesUsed, file.globalFrames,
                               file.frames);
        file.globalFrames.clear();
        std::vector<QRgb> global = file.global.colours;
        global.resize(size_t(std::max(int(global.size()), file.global.indicesUsed)), qRgb(0, 0, 0));
        QByteArray gif = AssembleGif(m_size, global, std::exchange(file.frames, {}));
        if (smallest.isEmpty() || gif.size() < smallest.size())
            smallest = std::move(gif);
    }
    return smallest;
}

void GifAnimationEncoder::write(Frame &frame, const QImage *next)
{
    Placement place;
    // The first frame covers the canvas, as players expect; a frame that changes nothing still
    // takes its turn, as one pixel kept.
    place.rect = m_files[0].frames.empty()
                     ? QRect(QPoint(0, 0), m_size)
                     : ChangedRect(m_canvas, frame.pixels, m_tuning.tolerance, frame.exact);
    if (place.rect.isEmpty())
        place.rect = QRect(0, 0, 1, 1);
    if (next) {
        const QRect cleared = ClearedRect(frame.pixels, *next);
        if (!cleared.isEmpty()) {
            place.disposal = GifDisposal::Clear;
            place.rect |= cleared;
        }
    }
    const QRect &r = place.rect;
    place.kept.resize(size_t(r.width()) * size_t(r.height()));
    unsigned char *kept = place.kept.data();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb *shown = GifRow(m_canvas.shown, y), *source = GifRow(m_canvas.source, y);
        const QRgb *wanted = GifRow(std::as_const(frame.pixels), y);
        for (int x = r.left(); x <= r.right(); ++x)
            *kept++ = !Keeps(shown[x], source[x], wanted[x], m_tuning.tolerance, frame.exact) ? 0
                      : shown[x] == wanted[x] ? kKeptSame
                                              : kKeptClose;
    }
    if (frame.exact) {
        // While both files hold the same global table, the same indexings serve both.
        std::vector<CodedIndexing> coded = codeExact(frame, place, m_files[0].global);
        const GifGlobalTable &first = m_files[0].global, &second = m_files[1].global;
        std::vector<CodedIndexing> other =
            first.colours == second.colours && first.indicesUsed == second.indicesUsed
                ? coded
                : codeExact(frame, place, second);
        chooseExact(frame, place, std::move(coded), m_files[0]);
        chooseExact(frame, place, std::move(other), m_files[1]);
        // Whichever way a frame is indexed, the player then shows its opaque pixels but those
        // it keeps, which show what they showed (the very pixel, or one close enough).
        const unsigned char *keptPixel = place.kept.data();
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const QRgb *p = GifRow(std::as_const(frame.pixels), y);
            QRgb *shown = GifRow(m_canvas.shown, y);
            for (int x = r.left(); x <= r.right(); ++x, ++keptPixel) {
                if (qAlpha(p[x]) != 0 && !*keptPixel)
                    shown[x] = p[x];
            }
        }
    } else {
        const QByteArray bytes = writeQuantized(frame, place);
        for (FileSoFar &file : m_files)
            file.frames.push_back(bytes);
    }
    m_canvas.source = frame.pixels;
    if (place.disposal == GifDisposal::Clear)
        ClearOnCanvas(m_canvas, r);
}

std::vector<GifAnimationEncoder::CodedIndexing>
GifAnimationEncoder::codeExact(const Frame &frame, const Placement &place,
                               const GifGlobalTable &global) const
{
    const QRect &r = place.rect;
    const ExactFrame exact{frame.pixels, frame.colours,
                           frame.ids,    r,
                           place.kept,   place.disposal == GifDisposal::Clear};
    std::vector<CodedIndexing> coded;
    for (ExactIndexing &indexing : ExactIndexings(exact, global)) {
        std::vector<unsigned char> indices = indexing.indices;
        GifFrameCode code;
        code.rect = r;
        code.indices = indices.data();
        code.alternatives = indexing.alternatives.data();
        code.indexBits = indexing.indexBits;
        code.colours = indexing.inGlobalTable ? nullptr : &indexing.own;
        code.transparentIndex = indexing.transparentIndex;
        code.disposal = place.disposal;
        code.delay = GifDelay(frame.delayMs > 0 ? frame.delayMs : m_options.delayMs);
        QByteArray bytes = CodeGifFrame(code);
        coded.push_back({std::move(indexing), std::move(bytes)});
    }
    if (coded.empty()) // every frame of few colours has a table of its own
        throw Failure(QCoreApplication::translate("GifAnimation", "GIF のパレットを作れません"));
    return coded;
}

void GifAnimationEncoder::chooseExact(const Frame &frame, const Placement &place,
                                      std::vector<CodedIndexing> coded, FileSoFar &file) const
{
    // A frame in the global table costs the bytes by which the table grows too.
    GifGlobalTable &global = file.global;
    const int tableNow = std::max(int(global.colours.size()), global.indicesUsed);
    auto cost = [&](const CodedIndexing &candidate) {
        const ExactIndexing &indexing = candidate.indexing;
        qsizetype bytes = candidate.bytes.size();
        if (indexing.inGlobalTable && file.countsTableGrowth) {
            const int tableThen =
                std::max({tableNow, int(global.colours.size() + indexing.appended.size()),
                          indexing.transparentIndex + 1});
            bytes += GifTableBytes(tableThen) - GifTableBytes(tableNow);
        }
        return bytes;
    };
    CodedIndexing &best = *std::min_element(
        coded.begin(), coded.end(),
        [&](const CodedIndexing &a, const CodedIndexing &b) { return cost(a) < cost(b); });
    ExactIndexing &chosen = best.indexing;
    if (chosen.inGlobalTable) {
        for (const QRgb colour : chosen.appended) {
            global.indexOf.insert(colour, int(global.colours.size()));
            global.colours.push_back(colour);
        }
        global.indicesUsed = std::max(global.indicesUsed, chosen.transparentIndex + 1);
        GlobalTableFrame kept;
        kept.code.rect = place.rect;
        kept.code.indexBits = chosen.indexBits;
        kept.code.transparentIndex = chosen.transparentIndex;
        kept.code.disposal = place.disposal;
        kept.code.delay = GifDelay(frame.delayMs > 0 ? frame.delayMs : m_options.delayMs);
        kept.indices = std::move(chosen.indices);
        kept.alternatives = std::move(chosen.alternatives);
        keepForReordering(file, std::move(kept));
    }
    file.frames.push_back(std::move(best.bytes));
}

void GifAnimationEncoder::keepForReordering(FileSoFar &file, GlobalTableFrame frame) const
{
    if (!file.reorderable)
        return;
    file.keptBytes += frame.indices.size() * (sizeof(unsigned char) + sizeof(short));
    if (file.keptBytes > kMostKeptForReordering) {
        file.reorderable = false;
        file.globalFrames.clear();
        return;
    }
    frame.place = file.frames.size(); // the frame goes in next
    file.globalFrames.push_back(std::move(frame));
}

QByteArray GifAnimationEncoder::writeQuantized(Frame &frame, const Placement &place)
{
    const QRect &r = place.rect;
    QImage part = frame.pixels.copy(r);
    const QImage shownPart = m_canvas.shown.copy(r);
    // A pixel the player keeps is given to the quantizer as shown, so that its dithering counts
    // with the colour that stays.
    const unsigned char *kept = place.kept.data();
    for (int y = 0; y < r.height(); ++y) {
        QRgb *p = GifRow(part, y);
        const QRgb *shown = GifRow(shownPart, y);
        for (int x = 0; x < r.width(); ++x, ++kept) {
            if (*kept)
                p[x] = shown[x];
        }
    }
    GifQuantizer::Remapped remapped = frame.quantizer->remap(part, shownPart, m_tuning.dither);
    std::vector<short> alternatives = settleQuantized(frame, place, remapped);
    GifFrameCode code;
    code.rect = r;
    code.indices = remapped.indices.data();
    code.alternatives = alternatives.data();
    code.indexBits = GifIndexBits(int(remapped.colours.size()));
    code.transparentIndex = remapped.transparentIndex;
    code.disposal = place.disposal;
    code.delay = GifDelay(frame.delayMs > 0 ? frame.delayMs : m_options.delayMs);
    // The first frame's palette is the global table: no frame carries a table it could share.
    // The table's order is the quantizer's, which its frame alone is coded in.
    if (m_files[0].frames.empty()) {
        for (FileSoFar &file : m_files) {
            file.reorderable = false;
            file.global.colours = remapped.colours;
            for (int i = 0; i < int(remapped.colours.size()); ++i) {
                if (i != remapped.transparentIndex)
                    file.global.indexOf.insert(remapped.colours[size_t(i)] | 0xff000000u, i);
            }
            file.global.indicesUsed = int(remapped.colours.size());
        }
    } else {
        code.colours = &remapped.colours;
    }
    return CodeGifFrame(code);
}

std::vector<short> GifAnimationEncoder::settleQuantized(const Frame &frame, const Placement &place,
                                                        GifQuantizer::Remapped &remapped)
{
    const QRect &r = place.rect;
    const int t = remapped.transparentIndex;
    // Where the palette holds the very colour shown, drawing it or leaving the pixel transparent
    // shows the same: the other is the pixel's alternative.
    QHash<QRgb, short> paletteIndex;
    for (int i = 0; i < int(remapped.colours.size()); ++i) {
        if (i != t)
            paletteIndex.insert(remapped.colours[size_t(i)] | 0xff000000u, short(i));
    }
    std::vector<short> alternatives(remapped.indices.size(), kNoAlternative);
    short *alternative = alternatives.data();
    unsigned char *index = remapped.indices.data();
    const unsigned char *kept = place.kept.data();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb *wanted = GifRow(frame.pixels, y);
        QRgb *shown = GifRow(m_canvas.shown, y);
        for (int x = r.left(); x <= r.right(); ++x, ++index, ++kept, ++alternative) {
            if (qAlpha(wanted[x]) == 0) {
                *index = (unsigned char)t;
                continue;
            }
            if (*kept)
                *index = (unsigned char)t;
            // Over transparency nothing stays to be seen: the pixel must be drawn.
            if (*index == t && qAlpha(shown[x]) == 0)
                *index = (unsigned char)NearestOpaque(remapped.colours, wanted[x], t);
            if (qAlpha(shown[x]) != 0)
                *alternative = *index == t ? paletteIndex.value(shown[x], kNoAlternative)
                               : (remapped.colours[*index] | 0xff000000u) == shown[x]
                                   ? short(t)
                                   : kNoAlternative;
            if (*index != t)
                shown[x] = remapped.colours[*index] | 0xff000000u;
        }
    }
    return alternatives;
}
