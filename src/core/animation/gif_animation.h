// SPDX-License-Identifier: GPL-3.0-or-later
// Animated GIF, looping forever, as small as its frames allow: each frame after the first stores
// only the rectangle that changed, where a pixel the player already shows is drawn or left
// transparent as codes shorter (GifLzwData); a frame of few colours keeps them exactly, in the
// file's one global table when that is smaller than a table of its own, the table ordered at the
// end so that most frames need few bits (ReorderGlobalTable); any other frame gets a palette from
// libimagequant, remapped over what the player shows so that still areas stay as they were.
#pragma once

#include "core/animation/animation.h"
#include "core/animation/gif_canvas.h"
#include "core/animation/gif_exact_frame.h"
#include "core/animation/gif_quantizer.h"
#include "core/animation/gif_table_order.h"

#include <array>

class GifAnimationEncoder : public AnimationEncoder {
  public:
    GifAnimationEncoder(QSize size, const AnimationOptions &options);
    ~GifAnimationEncoder() override;
    GifAnimationEncoder(const GifAnimationEncoder &) = delete;
    GifAnimationEncoder &operator=(const GifAnimationEncoder &) = delete;

    // The frame's exact colours, or its palette from a quantizer of its own.
    std::unique_ptr<PreparedFrame> prepare(const QImage &frame) const override;
    // Each frame is written once the next is known, which says what the player must clear.
    void addPrepared(std::shared_ptr<PreparedFrame> frame) override;
    // Frames prepared for the same colours: at any quality from 50 up.
    bool canReuse(const PreparedFrame &frame) const override;
    QByteArray finish() override;

    // What a quality (0 .. kMaxQuality) gives up for a smaller file.
    struct Tuning {
        int colours = 256;        // the most colours a frame keeps exactly
        int paletteColours = 208; // the most a quantized frame's palette holds
        float dither = 1.0f;      // error diffusion, 0 .. 1
        int tolerance = 0;        // channel difference below which a shown pixel is kept
    };
    static Tuning tuningOf(int quality, bool dither);

  private:
    struct Frame;
    struct Placement;
    // The file so far under one way of weighing the global table against a frame's own table:
    // with the bytes by which a frame makes the global table grow counted against it, or not.
    // Which pays depends on whether later frames draw those colours again, so both files are
    // kept (their frames show the same pixels) and the smaller is written.
    struct FileSoFar {
        bool countsTableGrowth = false;
        GifGlobalTable global;
        std::vector<QByteArray> frames;
        // The frames coded with the global table, while its order may still change.
        bool reorderable = true;
        std::vector<GlobalTableFrame> globalFrames;
        size_t keptBytes = 0;
    };
    void write(Frame &frame, const QImage *next);
    // A frame of few colours: each way of indexing it (ExactIndexings) with the bytes it codes
    // to, and the one chosen for a file, which goes in with it.
    struct CodedIndexing {
        ExactIndexing indexing;
        QByteArray bytes;
    };
    std::vector<CodedIndexing> codeExact(const Frame &frame, const Placement &place,
                                         const GifGlobalTable &global) const;
    void chooseExact(const Frame &frame, const Placement &place, std::vector<CodedIndexing> coded,
                     FileSoFar &file) const;
    QByteArray writeQuantized(Frame &frame, const Placement &place);
    // The remapped indices of a quantized frame as the player will show them: transparent where
    // the frame is or the player keeps what it shows, drawn where nothing shows through; the
    // canvas then shows them. Returns each pixel's alternative (GifLzwData).
    std::vector<short> settleQuantized(const Frame &frame, const Placement &place,
                                       GifQuantizer::Remapped &remapped);
    // Keeps a frame just coded with the global table, for ReorderGlobalTable at the end.
    void keepForReordering(FileSoFar &file, GlobalTableFrame frame) const;

    QSize m_size;
    AnimationOptions m_options;
    Tuning m_tuning;
    GifCanvas m_canvas;
    std::shared_ptr<PreparedFrame> m_pending;
    bool m_finished = false;
    std::array<FileSoFar, 2> m_files;
};
