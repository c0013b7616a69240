// SPDX-License-Identifier: GPL-3.0-or-later
// MakeFrameRun: where each frame of a cut lies, and the runs that cut it.
#include "core/sequence/frame_runs.h"

#include "core/image/alpha.h"
#include "core/image/picture.h"
#include "core/sequence/mixing.h"
#include "core/sequence/sprite_finding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// The step of a continuous cut in pixels: the job's, or the cut's own side along the direction.
int stepOf(const CutJob &job, QSize cut)
{
    if (job.step)
        return *job.step;
    const bool across = job.direction == Direction::Right || job.direction == Direction::Left;
    return across ? cut.width() : cut.height();
}

// The number of whole steps the frame can still take in its direction without leaving the
// picture: the room left divided by the step, truncated. A step of 0 or less gives 0.
int wholeSteps(const CutFrame &frame, int step, Direction direction)
{
    if (step <= 0)
        return 0;
    const QRect r = frame.rect();
    const QSize picture = frame.pictureSize();
    // 64-bit so that no sum of positions and sizes can overflow.
    int64_t room = 0;
    switch (direction) {
    case Direction::Right: room = int64_t(picture.width()) - (int64_t(r.x()) + r.width()); break;
    case Direction::Left: room = r.x(); break;
    case Direction::Down: room = int64_t(picture.height()) - (int64_t(r.y()) + r.height()); break;
    case Direction::Up: room = r.y(); break;
    }
    if (room <= 0)
        return 0;
    return int(std::min<int64_t>(room / step, std::numeric_limits<int>::max() - 1));
}

// The distance from one tile to the next, across and down: the cut and the gap (below 0 as 0).
QSize gridPitch(QSize cut, QSize gap)
{
    return {cut.width() + std::max(gap.width(), 0), cut.height() + std::max(gap.height(), 0)};
}

// The whole tiles of the grid that starts at the frame: one there, then one per whole pitch of
// the room left after it, each way.
QSize gridTiles(const CutFrame &frame, QSize pitch)
{
    const auto count = [](int64_t picture, int64_t at, int64_t cut, int64_t pitch) {
        const int64_t room = picture - (at + cut);
        return room < 0 ? 0 : int(std::min<int64_t>(room / pitch + 1, INT32_MAX));
    };
    const QRect r = frame.rect();
    return {count(frame.pictureSize().width(), r.x(), r.width(), pitch.width()),
            count(frame.pictureSize().height(), r.y(), r.height(), pitch.height())};
}

// The colour of rect's first pixel, 24-bit, and whether every pixel of rect (inside the picture)
// has it.
bool singleColour(const QImage &picture, const QRect &rect, uint32_t &colour)
{
    const bool direct = picture.format() == kPictureFormat;
    const QImage pixels = direct ? picture : To24Bit(picture.copy(rect));
    const QPoint origin = direct ? rect.topLeft() : QPoint(0, 0);
    const uchar *first = pixels.constScanLine(origin.y()) + 3 * origin.x();
    colour = uint32_t(first[0]) | uint32_t(first[1]) << 8 | uint32_t(first[2]) << 16;
    for (int y = 0; y < rect.height(); ++y) {
        const uchar *row = pixels.constScanLine(origin.y() + y) + 3 * origin.x();
        for (int x = 0; x < rect.width(); ++x)
            if (std::memcmp(row + 3 * x, first, 3) != 0)
                return false;
    }
    return true;
}

// Whether rect is one colour in every frame, the same in all: a tile nothing ever shows in.
bool singleColour(const Frames &frames, const QRect &rect)
{
    uint32_t first = 0, colour = 0;
    for (size_t f = 0; f < frames.size(); ++f) {
        if (!singleColour(frames[f], rect, f == 0 ? first : colour) || (f > 0 && colour != first))
            return false;
    }
    return true;
}

// Where frame k of a cut run lies: arithmetic along a direction or over the grid, or, for a grid
// that leaves out single-colour tiles, the k-th tile kept, which only a walk over the grid can
// tell.
class Placement {
  public:
    Placement(const Frames &frames, const CutFrame &frame, const CutJob &job)
        : m_start(frame.position()), m_direction(job.direction)
    {
        switch (job.kind) {
        case CutKind::Continuous:
            m_step = stepOf(job, frame.size());
            m_count = wholeSteps(frame, m_step, job.direction) + 1;
            break;
        case CutKind::Grid: placeGrid(frames, frame, job); break;
        default: m_count = 1; break;
        }
    }
    int count() const { return m_count; }
    int skipped() const { return m_skipped; }
    QPoint at(int k) const
    {
        if (!m_kept.empty())
            return m_kept[size_t(k - 1)];
        if (m_columns > 0)
            return tile((k - 1) % m_columns, (k - 1) / m_columns);
        // Positions stay inside the picture for every k of the run: the product cannot overflow.
        const int moved = (k - 1) * m_step;
        switch (m_direction) {
        case Direction::Right: return m_start + QPoint(moved, 0);
        case Direction::Left: return m_start - QPoint(moved, 0);
        case Direction::Down: return m_start + QPoint(0, moved);
        case Direction::Up: return m_start - QPoint(0, moved);
        }
        return m_start;
    }

  private:
    QPoint tile(int64_t column, int64_t row) const
    {
        return {int(m_start.x() + column * m_pitch.width()),
                int(m_start.y() + row * m_pitch.height())};
    }
    void placeGrid(const Frames &frames, const CutFrame &frame, const CutJob &job)
    {
        m_pitch = gridPitch(frame.size(), job.gridGap);
        const QSize tiles = gridTiles(frame, m_pitch);
        m_columns = std::max(tiles.width(), 1);
        if (!job.skipEmptyTiles) {
            m_count = int(std::min<int64_t>(int64_t(tiles.width()) * tiles.height(), INT32_MAX));
            return;
        }
        for (int row = 0; row < tiles.height(); ++row)
            for (int column = 0; column < tiles.width(); ++column)
                if (!singleColour(frames, QRect(tile(column, row), frame.size())))
                    m_kept.push_back(tile(column, row));
        m_count = int(m_kept.size());
        m_skipped =
            int(std::min<int64_t>(int64_t(tiles.width()) * tiles.height() - m_count, INT32_MAX));
    }

    QPoint m_start;
    Direction m_direction;
    int m_step = 0;
    QSize m_pitch;
    int m_columns = 0;          // the grid's columns; 0 along a direction
    std::vector<QPoint> m_kept; // the tiles written when single-colour ones are left out
    int m_count = 0;
    int m_skipped = 0; // single-colour tiles left out
};

// Copies area of picture into cut: with its alpha, or over white.
void cutOut(const QImage &picture, const QRect &area, bool alpha, QImage &cut)
{
    if (alpha)
        CopyWithAlpha(picture, area, cut);
    else
        CopyOverWhite(picture, area, cut);
}

// One place cut from every frame of an animation, shown as long as the frame is.
class AnimationCuts : public FrameRun {
  public:
    AnimationCuts(const Frames &frames, const std::vector<int> &delaysMs, const QRect &area)
        : m_frames(frames), m_delays(delaysMs), m_area(area), m_alpha(HasAlpha(frames.front()))
    {
    }
    int count() const override { return int(m_frames.size()); }
    QSize frameSize() const override { return m_area.size(); }
    bool hasAlpha() const override { return m_alpha; }
    int delayMs(int k) const override
    {
        return k <= int(m_delays.size()) ? m_delays[size_t(k - 1)] : 0;
    }
    const QImage &frame(int k) override
    {
        cutOut(m_frames[size_t(k - 1)], m_area, m_alpha, m_cut);
        return m_cut;
    }

  private:
    Frames m_frames;
    std::vector<int> m_delays;
    QRect m_area;
    bool m_alpha;
    QImage m_cut;
};

// What a run of a document's picture needs of it: the frame shown, and for an animation every
// frame with its delays, so that each place of the run can be an animation of its own.
struct Source {
    explicit Source(const PictureDocument &document)
        : picture(document.picture()), frames(document.frames()), delaysMs(document.delaysMs())
    {
    }
    QImage picture;
    Frames frames;
    std::vector<int> delaysMs;
    bool animated() const { return frames.size() > 1; }
    std::unique_ptr<FrameRun> animationOf(const QRect &area) const
    {
        return std::make_unique<AnimationCuts>(frames, delaysMs, area);
    }
};

// The cut at each place of a run: 24-bit, or with the picture's alpha.
class CutFrames : public FrameRun {
  public:
    CutFrames(const Source &source, const CutFrame &frame, const CutJob &job)
        : m_source(source), m_size(frame.size()), m_alpha(HasAlpha(source.picture)),
          m_placement(source.frames, frame, job)
    {
    }
    int count() const override { return m_placement.count(); }
    int skipped() const override { return m_placement.skipped(); }
    QSize frameSize() const override { return m_size; }
    bool hasAlpha() const override { return m_alpha; }
    const QImage &frame(int k) override
    {
        cutOut(m_source.picture, QRect(m_placement.at(k), m_size), m_alpha, m_cut);
        return m_cut;
    }
    std::unique_ptr<FrameRun> animationOf(int k) override
    {
        if (!m_source.animated())
            return FrameRun::animationOf(k);
        return m_source.animationOf(QRect(m_placement.at(k), m_size));
    }

  private:
    Source m_source;
    QSize m_size;
    bool m_alpha;
    Placement m_placement;
    QImage m_cut; // the frame made last, its buffer reused for the next
};

// The colour around a sprite set on the run's one size: the background it was found on.
QRgb backgroundColour(const QImage &picture, const SpriteBackground &background)
{
    switch (background.kind) {
    case BackgroundKind::Transparent: return qRgba(0, 0, 0, 0);
    case BackgroundKind::Corner: return CornerColour(picture, background.tolerance);
    case BackgroundKind::Colour: return background.colour | 0xff000000u;
    }
    return qRgb(255, 255, 255);
}

// The sprites found on the picture (of an animation, the frame shown), each cut at its box:
// 24-bit, or with the picture's alpha.
class SpriteFrames : public FrameRun {
  public:
    SpriteFrames(const Source &source, const SpriteSearch &search)
        : m_source(source), m_alpha(HasAlpha(source.picture)),
          m_boxes(FindSprites(source.picture, search))
    {
        if (!m_boxes.empty())
            m_surround = backgroundColour(source.picture, search.background);
        for (const QRect &box : m_boxes)
            m_size = m_size.expandedTo(box.size());
    }
    int count() const override { return int(m_boxes.size()); }
    QSize frameSize() const override { return m_size; }
    bool hasAlpha() const override { return m_alpha; }
    QRgb surround() const override { return m_surround; }
    const QImage &frame(int k) override
    {
        cutOut(m_source.picture, m_boxes[size_t(k - 1)], m_alpha, m_cut);
        return m_cut;
    }
    std::unique_ptr<FrameRun> animationOf(int k) override
    {
        if (!m_source.animated())
            return FrameRun::animationOf(k);
        return m_source.animationOf(m_boxes[size_t(k - 1)]);
    }

  private:
    Source m_source;
    bool m_alpha;
    std::vector<QRect> m_boxes;
    QRgb m_surround = qRgba(0, 0, 0, 0);
    QSize m_size;
    QImage m_cut;
};

// Pictures as frames, each converted to the run's one format.
class PictureFrames : public FrameRun {
  public:
    explicit PictureFrames(std::vector<QImage> pictures) : m_pictures(std::move(pictures))
    {
        for (const QImage &picture : m_pictures) {
            m_alpha = m_alpha || HasAlpha(picture);
            m_size = m_size.expandedTo(picture.size());
        }
    }
    int count() const override { return int(m_pictures.size()); }
    QSize frameSize() const override { return m_size; }
    bool hasAlpha() const override { return m_alpha; }
    const QImage &frame(int k) override
    {
        const QImage &picture = m_pictures[size_t(k - 1)];
        if (m_alpha)
            CopyWithAlpha(picture, picture.rect(), m_frame);
        else
            m_frame = To24Bit(picture);
        return m_frame;
    }

  private:
    std::vector<QImage> m_pictures;
    bool m_alpha = false;
    QSize m_size;
    QImage m_frame;
};

MixKind mixKindOf(const CutJob &job)
{
    if (job.kind == CutKind::Blend)
        return job.whiteTransparent ? MixKind::BlendWhiteTransparent : MixKind::Blend;
    return job.fadeColour == FadeColour::Black ? MixKind::FadeToBlack : MixKind::FadeToWhite;
}

} // namespace

std::unique_ptr<FrameRun> MakeFrameRun(const PictureDocument &document, const CutFrame &frame,
                                       const CutJob &job)
{
    if (job.kind == CutKind::Blend || job.kind == CutKind::Fade) {
        // Transparency is mixed only where the output holds it: BMP files keep the mix of the
        // pictures over white, which the preview must show as it is written.
        const bool keepAlpha = KeepsAlpha(job.output);
        QImage cut;
        if (keepAlpha && HasAlpha(document.picture()))
            CopyWithAlpha(document.picture(), frame.rect(), cut);
        else
            CopyOverWhite(document.picture(), frame.rect(), cut);
        return MixRun(cut, document.blendPicture(), mixKindOf(job), keepAlpha);
    }
    const Source source(document);
    if (job.kind == CutKind::Auto)
        return std::make_unique<SpriteFrames>(source, job.sprites);
    if (job.kind == CutKind::Single && source.animated())
        return source.animationOf(frame.rect());
    return std::make_unique<CutFrames>(source, frame, job);
}

std::unique_ptr<FrameRun> MakePictureRun(std::vector<QImage> pictures)
{
    return std::make_unique<PictureFrames>(std::move(pictures));
}
