// Frame sequences: numbered frame names, continuous cutting, and the blended and faded runs.
#include "sequence/frames.h"

#include "image/image.h"
#include "image/parallel.h"

#include <QSize>
#include <algorithm>
#include <array>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

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

// The exact products x * d for every difference d = -255..255 of two channel values, as their
// floor and where the rest lies against a half.
struct ExactSteps {
    std::array<int64_t, 511> quotient{}; // [d + 255]
    std::array<int8_t, 511> above{};     // 1 above a half, 0 below, -1 exactly a half
};

ExactSteps exactSteps(double x)
{
    ExactSteps steps;
    if (!(std::fabs(x) >= kSmallestWeight)) // x * d cannot reach a half: every step is 0
        return steps;
    const ExactWeight w = exactWeight(x);
    const Wide one = Wide(1) << w.s;
    const Wide half = one >> 1;
    for (int d = -255; d <= 255; ++d) {
        const Wide product = Wide(w.m) * d;
        const Wide q = product >> w.s; // floor, also for a negative product
        const Wide remainder = product - q * one;
        steps.quotient[size_t(d + 255)] = int64_t(q);
        steps.above[size_t(d + 255)] = remainder > half ? 1 : remainder == half ? -1 : 0;
    }
    return steps;
}

// Every pair of channel values: [cut * 256 + blend] = x * blend + (1 - x) * cut.
// Written as cut + x * d with d = blend - cut, the exact numerator is 2^s * cut + m * d: its
// quotient is cut plus the quotient of m * d, and its remainder, which decides the rounding, is
// that of m * d alone. So 511 exact products serve all 65536 pairs, with the same bytes as
// mixChannel; only an exact half still looks at the parity of the whole quotient.
std::vector<uint8_t> blendTable(double x)
{
    const ExactSteps steps = exactSteps(x);
    std::vector<uint8_t> table(256 * 256);
    for (int cut = 0; cut < 256; ++cut) {
        for (int blend = 0; blend < 256; ++blend) {
            const size_t d = size_t(blend - cut + 255);
            int64_t q = cut + steps.quotient[d];
            if (steps.above[d] == 1 || (steps.above[d] == -1 && (q & 1) != 0))
                ++q;
            table[size_t(cut * 256 + blend)] = uint8_t(std::clamp<int64_t>(q, 0, 255));
        }
    }
    return table;
}

// The mix of a channel pair is cut + round(x * d) with d = blend - cut, and round(x * -d) is
// -round(x * d) unless a product falls exactly on a half (whose rounding then depends on the
// parity of cut). Without such halves, and for weights that keep every mix between its cut and
// blend values (0 to about 1), round(x * |d|) for |d| = 0..255 is one multiply-add in 16.16
// fixed point, (|d| * m + b) >> 16, for a suitable pair (m, b): a few vector instructions per 16
// channels instead of a table lookup per channel.
struct FixedStep {
    uint32_t m = 0;
    uint32_t b = 0;
};

// The pair (m, b) that gives exactly the rounded steps of x, checked against all 256 of them, or
// nothing: then the mix takes the table.
std::optional<FixedStep> fixedStep(double x)
{
    if (!(x >= 0.0 && x < 2.0))
        return std::nullopt;
    const ExactSteps exact = exactSteps(x);
    std::array<int64_t, 256> step{}; // round(x * d) for d >= 0
    for (int d = 1; d < 256; ++d) {
        const size_t i = size_t(d + 255);
        step[size_t(d)] = exact.quotient[i] + (exact.above[i] == 1 ? 1 : 0);
        if (exact.above[i] == -1 || step[size_t(d)] > d) // a half, or a mix past the blend
            return std::nullopt;
    }
    // Every d bounds b from both sides: step * 2^16 <= d * m + b < (step + 1) * 2^16. Slopes
    // next to x * 2^16 are tried first; the nearest nearly always fits.
    constexpr int64_t kOne = 1 << 16;
    const int64_t nearest = std::llround(x * double(kOne));
    for (int tried = 0; tried < 64; ++tried) {
        const int64_t m = nearest + ((tried & 1) ? -(tried + 1) / 2 : tried / 2);
        if (m < 0 || m >= kOne)
            continue;
        int64_t lowest = 0;
        int64_t highest = kOne - 1;
        for (int64_t d = 1; d < 256 && lowest <= highest; ++d) {
            lowest = std::max(lowest, step[size_t(d)] * kOne - d * m);
            highest = std::min(highest, step[size_t(d)] * kOne + kOne - 1 - d * m);
        }
        if (lowest <= highest)
            return FixedStep{uint32_t(m), uint32_t(lowest)};
    }
    return std::nullopt;
}

#if defined(__SSE2__)
// (|d| * m + b) >> 16 on 16-bit lanes is the high half of the product plus the carry out of its
// low half when b is added; cut and blend hold channel values widened to 16 bits.
inline __m128i mixLanes(__m128i cut, __m128i blend, __m128i m, __m128i bias)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i flip = _mm_set1_epi16(short(0x8000)); // unsigned order through signed compares
    const __m128i d = _mm_sub_epi16(blend, cut);
    const __m128i negative = _mm_cmpgt_epi16(zero, d);
    const __m128i magnitude = _mm_max_epi16(d, _mm_sub_epi16(zero, d));
    const __m128i low = _mm_mullo_epi16(magnitude, m);
    const __m128i high = _mm_mulhi_epu16(magnitude, m);
    const __m128i sum = _mm_add_epi16(low, bias);
    const __m128i carry = _mm_cmpgt_epi16(_mm_xor_si128(low, flip), _mm_xor_si128(sum, flip));
    const __m128i step = _mm_sub_epi16(high, carry);
    return _mm_add_epi16(cut, _mm_sub_epi16(_mm_xor_si128(step, negative), negative));
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define MOKARAN_HAS_AVX2_PATH 1
// The same on 32 channels at a time, for processors that have AVX2 (nearly all since 2013).
__attribute__((target("avx2"))) inline __m256i mixLanes256(__m256i cut, __m256i blend, __m256i m,
                                                           __m256i bias)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i flip = _mm256_set1_epi16(short(0x8000));
    const __m256i d = _mm256_sub_epi16(blend, cut);
    const __m256i negative = _mm256_cmpgt_epi16(zero, d);
    const __m256i magnitude = _mm256_abs_epi16(d);
    const __m256i low = _mm256_mullo_epi16(magnitude, m);
    const __m256i high = _mm256_mulhi_epu16(magnitude, m);
    const __m256i sum = _mm256_add_epi16(low, bias);
    const __m256i carry =
        _mm256_cmpgt_epi16(_mm256_xor_si256(low, flip), _mm256_xor_si256(sum, flip));
    const __m256i step = _mm256_sub_epi16(high, carry);
    return _mm256_add_epi16(cut, _mm256_sub_epi16(_mm256_xor_si256(step, negative), negative));
}

// Mixes whole groups of 32 channels; returns how many channels it did.
__attribute__((target("avx2"))) int blendRowAvx2(const uchar *c, const uchar *b, uchar *to,
                                                 int bytes, FixedStep f)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i m = _mm256_set1_epi16(short(f.m));
    const __m256i bias = _mm256_set1_epi16(short(f.b));
    int i = 0;
    for (; i + 32 <= bytes; i += 32) {
        const __m256i cut = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(c + i));
        const __m256i blend = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(b + i));
        // Unpacking and packing both work within 128-bit halves, so the order comes back.
        const __m256i lowHalves = mixLanes256(_mm256_unpacklo_epi8(cut, zero),
                                              _mm256_unpacklo_epi8(blend, zero), m, bias);
        const __m256i highHalves = mixLanes256(_mm256_unpackhi_epi8(cut, zero),
                                               _mm256_unpackhi_epi8(blend, zero), m, bias);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(to + i),
                            _mm256_packus_epi16(lowHalves, highHalves));
    }
    return i;
}

bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

// One row of BlendFrame through the fixed-point step: the widest vectors the processor has, then
// one channel at a time for the rest; every path computes the same expression.
void blendRowFixed(const uchar *c, const uchar *b, uchar *to, int bytes, FixedStep f)
{
    int i = 0;
#if defined(MOKARAN_HAS_AVX2_PATH)
    if (hasAvx2())
        i = blendRowAvx2(c, b, to, bytes, f);
#endif
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i m = _mm_set1_epi16(short(f.m));
    const __m128i bias = _mm_set1_epi16(short(f.b));
    for (; i + 16 <= bytes; i += 16) {
        const __m128i cut = _mm_loadu_si128(reinterpret_cast<const __m128i *>(c + i));
        const __m128i blend = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + i));
        const __m128i lowHalf =
            mixLanes(_mm_unpacklo_epi8(cut, zero), _mm_unpacklo_epi8(blend, zero), m, bias);
        const __m128i highHalf =
            mixLanes(_mm_unpackhi_epi8(cut, zero), _mm_unpackhi_epi8(blend, zero), m, bias);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + i), _mm_packus_epi16(lowHalf, highHalf));
    }
#endif
    for (; i < bytes; ++i) {
        const int d = b[i] - c[i];
        const int step = int((uint32_t(std::abs(d)) * f.m + f.b) >> 16);
        to[i] = uchar(c[i] + (d < 0 ? -step : step));
    }
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
    const int rowBytes = cut24.width() * 3;
    uchar *const out = frame.bits(); // once: scanLine() on several threads would race on detach
    const qsizetype stride = frame.bytesPerLine();
    if (const std::optional<FixedStep> fixed = fixedStep(x)) {
        // About a sixteenth of a lookup per byte: a second core pays from large cuts only.
        ParallelRows(cut24.height(), rowBytes / 8, [&](int first, int last) {
            for (int y = first; y < last; ++y)
                blendRowFixed(cut24.constScanLine(y), blend24.constScanLine(y), out + y * stride,
                              rowBytes, *fixed);
        });
        return;
    }
    const std::vector<uint8_t> table = blendTable(x);
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

namespace {

// Mixes the frames of a run one ahead of the writing, on a worker thread: frame k goes into
// buffer (k - 1) % 2 once the frame that buffer held before (k - 2) is written. The caller mixes
// frame 1 itself, writes frame k when ready(k) returns and then calls written(k), so writing a
// frame and mixing the next overlap while the writer and the progress stay on its thread.
class MixAhead {
  public:
    using Mix = std::function<void(int k, QImage &frame)>;

    MixAhead(Mix mix, std::array<QImage *, 2> buffers, int frames)
        : m_mix(std::move(mix)), m_buffers(buffers), m_frames(frames), m_worker([this] { run(); })
    {
    }
    // Also when the writer threw: the mix in flight ends before the buffers go.
    ~MixAhead()
    {
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            m_stop = true;
        }
        m_changed.notify_all();
        m_worker.join();
    }
    MixAhead(const MixAhead &) = delete;
    MixAhead &operator=(const MixAhead &) = delete;

    // Frame k once it is mixed; passes on a failure of its mix, such as memory running out.
    const QImage &ready(int k)
    {
        std::unique_lock<std::mutex> hold(m_lock);
        m_changed.wait(hold, [&] { return m_mixed >= k || m_failure; });
        if (m_mixed < k)
            std::rethrow_exception(m_failure);
        return *m_buffers[size_t((k - 1) % 2)];
    }

    void written(int k)
    {
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            m_written = k;
        }
        m_changed.notify_all();
    }

  private:
    void run()
    {
        for (int k = 2; k <= m_frames; ++k) {
            {
                std::unique_lock<std::mutex> hold(m_lock);
                m_changed.wait(hold, [&] { return m_stop || m_written >= k - 2; });
                if (m_stop)
                    return;
            }
            std::exception_ptr failure;
            try {
                m_mix(k, *m_buffers[size_t((k - 1) % 2)]);
            } catch (...) {
                failure = std::current_exception();
            }
            {
                const std::lock_guard<std::mutex> hold(m_lock);
                if (failure)
                    m_failure = failure;
                else
                    m_mixed = k;
            }
            m_changed.notify_all();
            if (failure)
                return;
        }
    }

    const Mix m_mix;
    const std::array<QImage *, 2> m_buffers;
    const int m_frames;
    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_mixed = 1; // frame 1 comes mixed
    int m_written = 0;
    bool m_stop = false;
    std::exception_ptr m_failure;
    std::thread m_worker; // last: starts once everything above is in place
};

} // namespace

void WriteMixFrames(Workspace &ws, MixKind kind, const QString &chosenPath,
                    const FrameWriter &write, const FrameProgress &progress)
{
    const bool blends = kind == MixKind::Blend || kind == MixKind::BlendWhiteTransparent;
    if (blends)
        ws.BlendImage = FitToCut(ws.BlendImage, ws.CutWidth, ws.CutHeight);
    const auto mix = [&ws, kind](int k, QImage &frame) {
        const double x = MixWeight(k);
        switch (kind) {
        case MixKind::Blend: BlendFrame(ws.CutImage, ws.BlendImage, x, frame); break;
        case MixKind::BlendWhiteTransparent:
            BlendFrameWhiteTransparent(ws.CutImage, ws.BlendImage, x, frame);
            break;
        case MixKind::FadeToWhite: FadeToWhite(ws.CutImage, x, frame); break;
        case MixKind::FadeToBlack: FadeToBlack(ws.CutImage, x, frame); break;
        }
    };
    QImage spare;
    mix(1, ws.FrameImage);
    {
        MixAhead ahead(mix, {&ws.FrameImage, &spare}, kMixFrames);
        for (int k = 1; k <= kMixFrames; ++k) {
            write(FrameFileName(chosenPath, k), ahead.ready(k));
            ahead.written(k);
            if (progress)
                progress(k, kMixFrames);
        }
    }
    // FrameImage ends holding the last frame.
    if ((kMixFrames - 1) % 2 != 0)
        ws.FrameImage.swap(spare);
}
