// SPDX-License-Identifier: GPL-3.0-or-later
// The blended and faded runs: exact mixing tables, the frame rows, and the runs themselves.
#include "core/sequence/mixing.h"

#include "core/image/alpha.h"
#include "core/image/bmp_format.h"
#include "core/image/parallel.h"
#include "core/image/picture.h"
#include "core/sequence/exact_mixing.h"
#include "core/sequence/fixed_step_blend.h"

#include <QSize>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <vector>

double MixWeight(int frame)
{
    // The step is added at extended precision (64-bit mantissa) and each sum stored as a double;
    // that double rounding is why frames 4 to 6 differ from plain double sums. The weights are
    // part of the output, so refuse to build where long double is something else.
    static_assert(std::numeric_limits<long double>::digits == 64,
                  "the mixing weights need the 64-bit-mantissa extended format");
    double x = 0.0;
    for (int k = 1; k < frame; ++k)
        x = double(static_cast<long double>(x) + 0.05L);
    return x;
}

namespace {

// The multiplier that gives exactly the rounded steps of x, or nothing: then the mix takes the
// table. It must put every d * m / 2^15 less than a half from round(x * d), on either side.
std::optional<FixedStep> fixedStep(double x)
{
    if (!(x >= 0.0 && x < 2.0))
        return std::nullopt;
    const ExactSteps exact = ExactStepsOf(x);
    std::array<int64_t, 256> step{}; // round(x * d) for d >= 0
    for (int d = 1; d < 256; ++d) {
        const size_t i = size_t(d + 255);
        if (exact.above[i] == -1)
            return std::nullopt;
        step[size_t(d)] = exact.quotient[i] + exact.above[i];
    }
    constexpr int64_t kOne = 1 << 15;
    constexpr int64_t kHalf = kOne / 2;
    const int64_t nearest = std::llround(x * double(kOne));
    // Multipliers next to x * 2^15 first; the nearest or its neighbour nearly always fits.
    for (int tried = 0; tried < 16; ++tried) {
        const int64_t m = nearest + ((tried & 1) ? -(tried + 1) / 2 : tried / 2);
        if (m < 0 || m >= kOne)
            continue;
        bool fits = true;
        for (int64_t d = 1; d < 256 && fits; ++d)
            fits = std::abs(d * m - step[size_t(d)] * kOne) < kHalf;
        if (fits)
            return FixedStep{int(m)};
    }
    return std::nullopt;
}

// The frame buffer as a 24-bit picture of the cut's size.
void prepareFrame(const QSize &size, QImage &frame)
{
    if (frame.size() != size || frame.format() != kPictureFormat)
        frame = QImage(size, kPictureFormat);
}

// The blend picture as a 24-bit picture exactly the cut's size, so no row is read past its end.
QImage blendMatching(const QImage &blend, const QSize &size)
{
    if (blend.size() == size)
        return To24Bit(blend);
    return FitToCut(blend, size.width(), size.height());
}

bool blends(MixKind kind)
{
    return kind == MixKind::Blend || kind == MixKind::BlendWhiteTransparent;
}

// Where a mix puts its rows, in the order they lie in memory: row i at start + i * stride holds
// the frame's row y = i, or y = height - 1 - i when the rows run bottom-up as in a BMP file.
// Rows are made in memory order, which keeps the writes streaming forwards.
struct FrameRows {
    uchar *start = nullptr;
    qsizetype stride = 0;
    int height = 0;
    bool bottomUp = false;
    uchar *at(int i) const { return start + i * stride; }
    int frameRow(int i) const { return bottomUp ? height - 1 - i : i; }
};

FrameRows rowsOf(QImage &frame)
{
    // bits() once: scanLine() on several threads would race on the detach.
    return {frame.bits(), frame.bytesPerLine(), frame.height(), false};
}

// The mixes, from 24-bit pictures of the frame's size.
void blendInto(const QImage &cut24, const QImage &blend24, double x, FrameRows to)
{
    const int rowBytes = cut24.width() * 3;
    if (const std::optional<FixedStep> fixed = fixedStep(x)) {
        // A few vector instructions per 32 bytes: a second core pays from large cuts only.
        ParallelRows(to.height, rowBytes / 8, [&](int first, int last) {
            for (int i = first; i < last; ++i) {
                const int y = to.frameRow(i);
                BlendRowFixed(cut24.constScanLine(y), blend24.constScanLine(y), to.at(i), rowBytes,
                              *fixed);
            }
        });
        return;
    }
    const std::vector<uint8_t> table = BlendTable(x);
    // A lookup and its index per byte: worth a second core from cuts of about 300 x 300 up.
    ParallelRows(to.height, 2LL * rowBytes, [&](int first, int last) {
        for (int i = first; i < last; ++i) {
            const uchar *c = cut24.constScanLine(to.frameRow(i));
            const uchar *b = blend24.constScanLine(to.frameRow(i));
            uchar *out = to.at(i);
            for (int j = 0; j < rowBytes; ++j)
                out[j] = table[c[j] * 256 + b[j]];
        }
    });
}

void blendWhiteTransparentInto(const QImage &cut24, const QImage &blend24, double x, FrameRows to)
{
    const std::vector<uint8_t> table = BlendTable(x);
    for (int i = 0; i < to.height; ++i) {
        const uchar *c = cut24.constScanLine(to.frameRow(i));
        const uchar *b = blend24.constScanLine(to.frameRow(i));
        uchar *out = to.at(i);
        for (int px = 0; px < cut24.width(); ++px, c += 3, b += 3, out += 3) {
            // Only pure white in all three channels lets the cut through.
            const bool white = b[0] == 255 && b[1] == 255 && b[2] == 255;
            for (int ch = 0; ch < 3; ++ch)
                out[ch] = white ? c[ch] : table[c[ch] * 256 + b[ch]];
        }
    }
}

void fadeInto(const QImage &cut24, double x, int colour, FrameRows to)
{
    const std::array<uint8_t, 256> table = FadeTable(x, colour);
    const int rowBytes = cut24.width() * 3;
    for (int i = 0; i < to.height; ++i) {
        const uchar *from = cut24.constScanLine(to.frameRow(i));
        uchar *out = to.at(i);
        for (int j = 0; j < rowBytes; ++j)
            out[j] = table[from[j]];
    }
}

void mixInto(MixKind kind, const QImage &cut24, const QImage &blend24, double x, FrameRows to)
{
    switch (kind) {
    case MixKind::Blend: blendInto(cut24, blend24, x, to); break;
    case MixKind::BlendWhiteTransparent: blendWhiteTransparentInto(cut24, blend24, x, to); break;
    // 255 - x * (255 - cut) is exactly x * cut + (1 - x) * 255.
    case MixKind::FadeToWhite: fadeInto(cut24, x, 255, to); break;
    case MixKind::FadeToBlack: fadeInto(cut24, x, 0, to); break;
    }
}

// Mixes with alpha. The pictures are non-premultiplied (Format_ARGB32); the mix is that of their
// premultiplied pixels, each weight exactly m / 2^s: over 2^s, the alpha is m * ab + (2^s - m) * ac
// and each colour times the alpha m * ab * cb + (2^s - m) * ac * cc, where b is the blend
// picture's pixel (or, for a fade, no pixel at all) and c the cut's. A pixel left with no
// opacity is 0 (transparent black), whatever colour it hid.

// n / d rounded to the nearest integer, halves to even, then clamped to 0..255; d > 0.
uint8_t roundedQuotient(MixWide n, MixWide d)
{
    MixWide q = n / d;
    MixWide r = n % d;
    if (r < 0) { // floor, for a numerator below 0
        --q;
        r += d;
    }
    if (2 * r > d || (2 * r == d && (q & 1) != 0))
        ++q;
    return uint8_t(std::clamp<MixWide>(q, 0, 255));
}

// The weights of a frame and the tables its equal-alpha pixels take.
struct AlphaMix {
    explicit AlphaMix(double x)
        : weight(ExactWeightOf(x)), colours(BlendTable(x)), alphas(FadeTable(x, 0))
    {
    }
    ExactWeight weight;
    std::vector<uint8_t> colours;    // [cut * 256 + blend], for pixels of one alpha
    std::array<uint8_t, 256> alphas; // x * a, for a fade
};

QRgb blendPixel(const AlphaMix &mix, QRgb cut, QRgb blend)
{
    const int ac = qAlpha(cut), ab = qAlpha(blend);
    const MixWide one = MixWide(1) << mix.weight.s;
    const MixWide wb = mix.weight.m, wc = one - mix.weight.m;
    const MixWide opacity = wb * ab + wc * ac; // over 2^s
    const uint8_t alpha = opacity > 0 ? roundedQuotient(opacity, one) : 0;
    if (alpha == 0)
        return 0;
    if (ab == ac) { // the opacity is theirs, the colours mix as opaque ones do
        const auto channel = [&](int c, int b) { return mix.colours[size_t(c * 256 + b)]; };
        return qRgba(channel(qRed(cut), qRed(blend)), channel(qGreen(cut), qGreen(blend)),
                     channel(qBlue(cut), qBlue(blend)), alpha);
    }
    if (ac == 0)
        return (blend & 0x00FFFFFFu) | (QRgb(alpha) << 24);
    if (ab == 0)
        return (cut & 0x00FFFFFFu) | (QRgb(alpha) << 24);
    const auto channel = [&](int c, int b) {
        return roundedQuotient(wb * ab * b + wc * ac * c, opacity);
    };
    return qRgba(channel(qRed(cut), qRed(blend)), channel(qGreen(cut), qGreen(blend)),
                 channel(qBlue(cut), qBlue(blend)), alpha);
}

bool pureWhite(QRgb pixel)
{
    return (pixel & 0x00FFFFFFu) == 0x00FFFFFFu;
}

void mixAlphaInto(MixKind kind, const QImage &cut32, const QImage &blend32, double x, QImage &to)
{
    const AlphaMix mix(x);
    const int width = cut32.width();
    uchar *const bits = to.bits(); // once: scanLine() on several threads would race on the detach
    const qsizetype stride = to.bytesPerLine();
    ParallelRows(to.height(), 4LL * width, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const auto *c = reinterpret_cast<const QRgb *>(cut32.constScanLine(y));
            auto *out = reinterpret_cast<QRgb *>(bits + y * stride);
            if (!blends(kind)) { // a fade: the cut's colours, their opacity x times theirs
                for (int i = 0; i < width; ++i) {
                    const uint8_t alpha = mix.alphas[qAlpha(c[i])];
                    out[i] = alpha == 0 ? 0 : (c[i] & 0x00FFFFFFu) | (QRgb(alpha) << 24);
                }
                continue;
            }
            const auto *b = reinterpret_cast<const QRgb *>(blend32.constScanLine(y));
            for (int i = 0; i < width; ++i) {
                if (kind == MixKind::BlendWhiteTransparent && pureWhite(b[i]))
                    out[i] = qAlpha(c[i]) == 0 ? 0 : c[i];
                else
                    out[i] = blendPixel(mix, c[i], b[i]);
            }
        }
    });
}

class MixFrames : public FrameRun {
  public:
    MixFrames(const QImage &cut, const QImage &blend, MixKind kind, bool keepAlpha)
        : m_kind(kind), m_cut24(To24Bit(cut)),
          m_blend24(blends(kind) ? blendMatching(blend, m_cut24.size()) : QImage()),
          m_alpha(keepAlpha && (HasAlpha(cut) || (blends(kind) && HasAlpha(blend))))
    {
        if (!m_alpha)
            return;
        m_cut32 = cut.convertToFormat(QImage::Format_ARGB32);
        // As FitToCut, with the blend picture's alpha: any added area opaque white.
        if (blends(kind))
            CopyWithAlpha(blend, QRect(QPoint(0, 0), m_cut32.size()), m_blend32);
        if (m_cut32.size() != m_cut24.size() ||
            (blends(kind) && m_blend32.size() != m_cut24.size()))
            throw std::bad_alloc();
    }
    int count() const override { return kMixFrames; }
    QSize frameSize() const override { return m_cut24.size(); }
    bool hasAlpha() const override { return m_alpha; }
    const QImage &frame(int k) override
    {
        if (m_alpha) {
            if (m_frame.size() != m_cut32.size() || m_frame.format() != QImage::Format_ARGB32)
                m_frame = QImage(m_cut32.size(), QImage::Format_ARGB32);
            if (m_frame.size() != m_cut32.size())
                throw std::bad_alloc();
            mixAlphaInto(m_kind, m_cut32, m_blend32, MixWeight(k), m_frame);
            return m_frame;
        }
        prepareFrame(m_cut24.size(), m_frame);
        mixInto(m_kind, m_cut24, m_blend24, MixWeight(k), rowsOf(m_frame));
        return m_frame;
    }
    void writeBmp(int k, const QString &path, BmpFrameWriter &writer) override
    {
        const int height = m_cut24.height();
        writer.writeRows(path, m_cut24.width(), height, [&](uchar *rows, qsizetype stride) {
            mixInto(m_kind, m_cut24, m_blend24, MixWeight(k), {rows, stride, height, true});
        });
    }

  private:
    MixKind m_kind;
    QImage m_cut24; // the pictures over white, for the 24-bit mix and BMP files
    QImage m_blend24;
    bool m_alpha;
    QImage m_cut32; // with their alpha, for the mix of opacities
    QImage m_blend32;
    QImage m_frame;
};

} // namespace

QImage FitToCut(const QImage &blend, int width, int height)
{
    QImage fitted = WhitePicture(std::max(width, 0), std::max(height, 0));
    if (fitted.isNull() || blend.isNull())
        return fitted;
    const QImage blend24 = To24Bit(blend);
    const int rows = std::min(height, blend24.height());
    const size_t rowBytes = size_t(std::min(width, blend24.width())) * 3;
    for (int y = 0; y < rows; ++y)
        std::memcpy(fitted.scanLine(y), blend24.constScanLine(y), rowBytes);
    return fitted;
}

std::unique_ptr<FrameRun> MixRun(const QImage &cut, const QImage &blend, MixKind kind,
                                 bool keepAlpha)
{
    return std::make_unique<MixFrames>(cut, blend, kind, keepAlpha);
}
