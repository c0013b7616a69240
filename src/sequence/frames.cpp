// Frame sequences: numbered frame names, continuous cutting, and the blended and faded runs.
#include "sequence/frames.h"

#include "image/image.h"
#include "image/parallel.h"

#include <QSize>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

QString FrameFileName(const QString &chosenPath, int frame)
{
    const qsizetype slash = chosenPath.lastIndexOf(u'/');
    QString folder;
    if (slash >= 0) {
        // Doubled slashes before the base name collapse, so the folder ends in exactly one "/"
        // and a file directly in the root keeps its single leading "/".
        folder = chosenPath.left(slash);
        while (folder.endsWith(u'/'))
            folder.chop(1);
        folder += u'/';
    }
    const QString baseName = chosenPath.mid(slash + 1);

    QString number = QString::number(frame);
    if (number.size() == 1)
        number.prepend(QStringLiteral("00"));
    else if (number.size() == 2)
        number.prepend(u'0');
    return folder + baseName + number + QStringLiteral(".bmp");
}

int WholeSteps(const Workspace &ws)
{
    if (ws.FrameStep <= 0)
        return 0;
    // 64-bit so that no sum of positions and sizes can overflow.
    int64_t room = 0;
    switch (ws.FrameDirection) {
    case kRight: room = int64_t(ws.CanvasWidth) - (int64_t(ws.FrameX) + ws.CutWidth); break;
    case kLeft: room = ws.FrameX; break;
    case kDown: room = int64_t(ws.CanvasHeight) - (int64_t(ws.FrameY) + ws.CutHeight); break;
    case kUp: room = ws.FrameY; break;
    default: return 0;
    }
    if (room <= 0)
        return 0;
    // Integer division truncates like the quotient it replaces; room is positive here.
    return int(std::min<int64_t>(room / ws.FrameStep, std::numeric_limits<int>::max() - 1));
}

namespace {

// Puts the frame position back when a run ends, however it ends.
class FramePositionGuard {
  public:
    explicit FramePositionGuard(Workspace &ws) : m_ws(ws), m_x(ws.FrameX), m_y(ws.FrameY) {}
    ~FramePositionGuard()
    {
        m_ws.FrameX = m_x;
        m_ws.FrameY = m_y;
    }
    FramePositionGuard(const FramePositionGuard &) = delete;
    FramePositionGuard &operator=(const FramePositionGuard &) = delete;

  private:
    Workspace &m_ws;
    int32_t m_x;
    int32_t m_y;
};

void moveFrame(Workspace &ws)
{
    switch (ws.FrameDirection) {
    case kRight: ws.FrameX += ws.FrameStep; break;
    case kLeft: ws.FrameX -= ws.FrameStep; break;
    case kDown: ws.FrameY += ws.FrameStep; break;
    case kUp: ws.FrameY -= ws.FrameStep; break;
    default: break;
    }
}

} // namespace

void WriteContinuousFrames(Workspace &ws, const QString &chosenPath, const FrameWriter &write,
                           const FrameProgress &progress)
{
    const int count = ContinuousFrameCount(ws);
    const FramePositionGuard restore(ws);
    for (int k = 1; k <= count; ++k) {
        write(FrameFileName(chosenPath, k), ws.CutImage);
        if (progress)
            progress(k, count);
        // No move after the last frame: the next position would leave the canvas.
        if (k < count) {
            moveFrame(ws);
            FillCutImage(ws);
        }
    }
}

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

// Wide enough for every numerator below; __extension__ keeps -Wpedantic quiet about the type.
__extension__ typedef __int128 Wide;

// A weight x held exactly as m / 2^s. Every double is such a fraction, so the mixes below can be
// computed in integers with no rounding at all until the final half-to-even step: floating-point
// products of x would round before that step and could move a result sitting next to a half.
struct ExactWeight {
    int64_t m = 0;
    int s = 0;
};

// Weights outside this range need no exact form: below it x * (a - b) stays under a quarter and
// the result is b; above it the result leaves 0..255 and saturates unless a == b.
constexpr double kSmallestWeight = 0x1p-10;
constexpr double kLargestWeight = 256.0;

ExactWeight exactWeight(double x)
{
    x = std::clamp(x, -kLargestWeight, kLargestWeight);
    int exponent = 0;
    const double fraction = std::frexp(x, &exponent); // x = fraction * 2^exponent, |fraction| < 1
    // fraction * 2^53 is an integer (53-bit mantissa); s stays within 44..62 in the range above.
    return {int64_t(std::ldexp(fraction, 53)), 53 - exponent};
}

// x * a + (1 - x) * b, rounded to the nearest integer (halves to even) and clamped to 0..255.
uint8_t mixChannel(double x, int a, int b)
{
    if (!(std::fabs(x) >= kSmallestWeight)) // also NaN
        return uint8_t(b);
    const ExactWeight w = exactWeight(x);
    const Wide one = Wide(1) << w.s;
    // Numerator over 2^s; at most 2^62 * 255 + 2^53 * 255 in size, so 128 bits always hold it.
    const Wide numerator = Wide(w.m) * a + (one - w.m) * b;
    Wide quotient = numerator >> w.s; // floor, also for a negative numerator
    const Wide remainder = numerator - quotient * one;
    const Wide half = one >> 1;
    if (remainder > half || (remainder == half && (quotient & 1) != 0))
        ++quotient;
    return uint8_t(std::clamp<Wide>(quotient, 0, 255));
}

// One mix of a channel with a fixed value, for every channel value: [v] = x * v + (1 - x) * b.
std::array<uint8_t, 256> fadeTable(double x, int b)
{
    std::array<uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v)
        table[v] = mixChannel(x, v, b);
    return table;
}

// Every pair of channel values: [cut * 256 + blend] = x * blend + (1 - x) * cut.
// Written as cut + x * d with d = blend - cut, the exact numerator is 2^s * cut + m * d: its
// quotient is cut plus the quotient of m * d, and its remainder, which decides the rounding, is
// that of m * d alone. So 511 exact products serve all 65536 pairs, with the same bytes as
// mixChannel; only an exact half still looks at the parity of the whole quotient.
std::vector<uint8_t> blendTable(double x)
{
    std::vector<uint8_t> table(256 * 256);
    if (!(std::fabs(x) >= kSmallestWeight)) { // x * d cannot reach a half: the cut stays
        for (int cut = 0; cut < 256; ++cut)
            std::fill_n(table.begin() + cut * 256, 256, uint8_t(cut));
        return table;
    }
    const ExactWeight w = exactWeight(x);
    const Wide one = Wide(1) << w.s;
    const Wide half = one >> 1;
    std::array<int64_t, 511> quotient{};
    std::array<int8_t, 511> above{}; // 1 above a half, 0 below, -1 exactly a half
    for (int d = -255; d <= 255; ++d) {
        const Wide product = Wide(w.m) * d;
        const Wide q = product >> w.s; // floor, also for a negative product
        const Wide remainder = product - q * one;
        quotient[d + 255] = int64_t(q);
        above[d + 255] = remainder > half ? 1 : remainder == half ? -1 : 0;
    }
    for (int cut = 0; cut < 256; ++cut) {
        for (int blend = 0; blend < 256; ++blend) {
            const int d = blend - cut + 255;
            int64_t q = cut + quotient[d];
            if (above[d] == 1 || (above[d] == -1 && (q & 1) != 0))
                ++q;
            table[cut * 256 + blend] = uint8_t(std::clamp<int64_t>(q, 0, 255));
        }
    }
    return table;
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

void fadeFrame(const QImage &cut, double x, int colour, QImage &frame)
{
    const QImage cut24 = To24Bit(cut);
    prepareFrame(cut24.size(), frame);
    const std::array<uint8_t, 256> table = fadeTable(x, colour);
    const int rowBytes = cut24.width() * 3;
    for (int y = 0; y < cut24.height(); ++y) {
        const uchar *from = cut24.constScanLine(y);
        uchar *to = frame.scanLine(y);
        for (int i = 0; i < rowBytes; ++i)
            to[i] = table[from[i]];
    }
}

} // namespace

void BlendFrame(const QImage &cut, const QImage &blend, double x, QImage &frame)
{
    const QImage cut24 = To24Bit(cut);
    const QImage blend24 = blendMatching(blend, cut24.size());
    prepareFrame(cut24.size(), frame);
    const std::vector<uint8_t> table = blendTable(x);
    const int rowBytes = cut24.width() * 3;
    uchar *const out = frame.bits(); // once: scanLine() on several threads would race on detach
    const qsizetype stride = frame.bytesPerLine();
    // A lookup and its index per byte: worth a second core from cuts of about 300 x 300 up.
    ParallelRows(cut24.height(), 2LL * rowBytes, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const uchar *c = cut24.constScanLine(y);
            const uchar *b = blend24.constScanLine(y);
            uchar *to = out + y * stride;
            for (int i = 0; i < rowBytes; ++i)
                to[i] = table[c[i] * 256 + b[i]];
        }
    });
}

void BlendFrameWhiteTransparent(const QImage &cut, const QImage &blend, double x, QImage &frame)
{
    const QImage cut24 = To24Bit(cut);
    const QImage blend24 = blendMatching(blend, cut24.size());
    prepareFrame(cut24.size(), frame);
    const std::vector<uint8_t> table = blendTable(x);
    for (int y = 0; y < cut24.height(); ++y) {
        const uchar *c = cut24.constScanLine(y);
        const uchar *b = blend24.constScanLine(y);
        uchar *to = frame.scanLine(y);
        for (int px = 0; px < cut24.width(); ++px, c += 3, b += 3, to += 3) {
            // Only pure white in all three channels lets the cut through.
            const bool white = b[0] == 255 && b[1] == 255 && b[2] == 255;
            for (int ch = 0; ch < 3; ++ch)
                to[ch] = white ? c[ch] : table[c[ch] * 256 + b[ch]];
        }
    }
}

void FadeToWhite(const QImage &cut, double x, QImage &frame)
{
    // 255 - x * (255 - cut) is exactly x * cut + (1 - x) * 255.
    fadeFrame(cut, x, 255, frame);
}

void FadeToBlack(const QImage &cut, double x, QImage &frame)
{
    fadeFrame(cut, x, 0, frame);
}

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

void WriteMixFrames(Workspace &ws, MixKind kind, const QString &chosenPath,
                    const FrameWriter &write, const FrameProgress &progress)
{
    const bool blends = kind == MixKind::Blend || kind == MixKind::BlendWhiteTransparent;
    if (blends)
        ws.BlendImage = FitToCut(ws.BlendImage, ws.CutWidth, ws.CutHeight);
    prepareFrame(To24Bit(ws.CutImage).size(), ws.FrameImage);
    for (int k = 1; k <= kMixFrames; ++k) {
        const double x = MixWeight(k);
        switch (kind) {
        case MixKind::Blend: BlendFrame(ws.CutImage, ws.BlendImage, x, ws.FrameImage); break;
        case MixKind::BlendWhiteTransparent:
            BlendFrameWhiteTransparent(ws.CutImage, ws.BlendImage, x, ws.FrameImage);
            break;
        case MixKind::FadeToWhite: FadeToWhite(ws.CutImage, x, ws.FrameImage); break;
        case MixKind::FadeToBlack: FadeToBlack(ws.CutImage, x, ws.FrameImage); break;
        }
        write(FrameFileName(chosenPath, k), ws.FrameImage);
        if (progress)
            progress(k, kMixFrames);
    }
}
