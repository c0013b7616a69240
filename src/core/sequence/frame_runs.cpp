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

// Whether every pixel of rect (inside the picture) has the colour of its first one.
bool singleColour(const QImage &picture, const QRect &rect)
{
    const bool direct = picture.format() == kPictureFormat;
    const QImage pixels = direct ? picture : To24Bit(picture.copy(rect));
    const QPoint origin = direct ? rect.topLeft() : QPoint(0, 0);
    const uchar *first = pixels.constScanLine(origin.y()) + 3 * origin.x();
    for (int y = 0; y < rect.height(); ++y) {
        const uchar *row = pixels.constScanLine(origin.y() + y) + 3 * origin.x();
        for (int x = 0; x < rect.width(); ++x)
            if (std::memcmp(row + 3 * x, first, 3) != 0)
                return false;
    }
    return true;
}

// Where frame k of a cut run lies: arithmetic along a direction or over the grid, or, for a grid
// that leaves out single-colour tiles, the k-th tile kept, which only a walk over the grid can
// tell.
class Placement {
  public:
    Placement(const QImage &picture, const CutFrame &frame, const CutJob &job)
        : m_start(frame.position()), m_direction(job.direction)
    {
        switch (job.kind) {
        case CutKind::Continuous:
            m_step = stepOf(job, frame.size());
            m_count = wholeSteps(frame, m_step, job.direction) + 1;
            break;
        case CutKind::Grid: placeGrid(picture, frame, job); break;
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
    void placeGrid(const QImage &picture, const CutFrame &frame, const CutJob &job)
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
                if (!singleColour(picture, QRect(tile(column, row), frame.size())))
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

// The cut at each place of a run: 24-bit, or with the picture's alpha.
class CutFrames : public FrameRun {
  public:
    CutFrames(const QImage &picture, const CutFrame &frame, const CutJob &job)
        : m_picture(picture), m_size(frame.size()), m_alpha(HasAlpha(picture)),
          m_placement(picture, frame, job)
    {
    }
    int count() const override { return m_placement.count(); }
    int skipped() const override { return m_placement.skipped(); }
    QSize frameSize() const override { return m_size; }
    bool hasAlpha() const override { return m_alpha; }
    const QImage &frame(int k) override
    {
        const QRect area(m_placement.at(k), m_size);
        if (m_alpha)
            CopyWithAlpha(m_picture, area, m_cut);
        else
            CopyOverWhite(m_picture, area, m_cut);
        return m_cut;
    }

  private:
    QImage m_picture;
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

// The sprites found on the picture, each cut at its box: 24-bit, or with the picture's alpha.
class SpriteFrames : public FrameRun {
  public:
    SpriteFrames(const QImage &picture, const SpriteSearch &search)
        : m_picture(picture), m_alpha(HasAlpha(picture)), m_boxes(FindSprites(picture, search))
    {
        if (!m_boxes.empty())
            m_surround = backgroundColour(picture, search.background);
        for (const QRect &box : m_boxes)
            m_size = m_size.expandedTo(box.size());
    }
    int count() const override { return int(m_boxes.size()); }
    QSize frameSize() const override { return m_size; }
    bool hasAlpha() const override { return m_alpha; }
    QRgb surround() const override { return m_surround; }
    const QImage &frame(int k) override
    {
        const QRect &box = m_boxes[size_t(k - 1)];
        if (m_alpha)
            CopyWithAlpha(m_picture, box, m_cut);
        else
            CopyOverWhite(m_picture, box, m_cut);
        return m_cut;
    }

  private:
    QImage m_picture;
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
    if (job.kind == CutKind::Auto)
        return std::make_unique<SpriteFrames>(document.picture(), job.sprites);
    return std::make_unique<CutFrames>(document.picture(), frame, job);
}

std::unique_ptr<FrameRun> MakePictureRun(std::vector<QImage> pictures)
{
    return std::make_unique<PictureFrames>(std::move(pictures));
}
