// SPDX-License-Identifier: GPL-3.0-or-later
// The RIFF container of an animated WebP, written chunk by chunk: the frames of several
// animations libwebp encoded apart, joined into one.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>

// One frame as an ANMF chunk holds it.
struct WebpFrame {
    int x = 0; // even: the container stores half of it
    int y = 0;
    int width = 0;
    int height = 0;
    int durationMs = 0;
    bool disposeToBackground = false;
    bool blend = false;     // alpha-blended over the canvas, or drawn over it as it is
    QByteArrayView payload; // the frame's ALPH, VP8 or VP8L chunks, their headers included
};

// The ANMF chunk of a frame, padded to an even length.
QByteArray AnmfChunk(const WebpFrame &frame);

// The image chunks of a still WebP file (ALPH, VP8 or VP8L, after RIFF and VP8X): what an ANMF
// chunk holds of it. Empty when the file is not a WebP.
QByteArrayView ImageChunks(QByteArrayView stillWebp);

// The whole file: RIFF, VP8X (animation, and alpha when any frame has it), ANIM (the background
// colour as libwebp gives it, looping forever), then the ANMF chunks as they are.
QByteArray AnimatedWebpFile(QSize canvas, bool alpha, quint32 backgroundBgra,
                            const QByteArray &anmfChunks);
