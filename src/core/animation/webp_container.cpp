// SPDX-License-Identifier: GPL-3.0-or-later
// The chunks of an animated WebP file.
#include "core/animation/webp_container.h"

namespace {

constexpr qsizetype kRiffHeader = 12; // "RIFF", the size, "WEBP"
constexpr qsizetype kChunkHeader = 8; // the four letters, the size

void appendLe(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char(value >> (8 * i));
}

QByteArray chunk(const char *fourCc, const QByteArray &payload)
{
    QByteArray out(fourCc, 4);
    appendLe(out, quint32(payload.size()), 4);
    out += payload;
    if (payload.size() % 2)
        out += '\0';
    return out;
}

quint32 le32At(QByteArrayView b, qsizetype at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 |
           quint32(uchar(b[at + 2])) << 16 | quint32(uchar(b[at + 3])) << 24;
}

} // namespace

QByteArray AnmfChunk(const WebpFrame &frame)
{
    QByteArray payload;
    appendLe(payload, quint32(frame.x / 2), 3);
    appendLe(payload, quint32(frame.y / 2), 3);
    appendLe(payload, quint32(frame.width - 1), 3);
    appendLe(payload, quint32(frame.height - 1), 3);
    appendLe(payload, quint32(frame.durationMs), 3);
    payload += char((frame.blend ? 0 : 2) | (frame.disposeToBackground ? 1 : 0));
    payload += frame.payload.toByteArray();
    return chunk("ANMF", payload);
}

QByteArrayView ImageChunks(QByteArrayView stillWebp)
{
    if (stillWebp.size() < kRiffHeader + kChunkHeader || !stillWebp.startsWith("RIFF") ||
        stillWebp.sliced(8, 4) != "WEBP")
        return {};
    qsizetype at = kRiffHeader;
    if (stillWebp.sliced(at, 4) == "VP8X") { // the image chunks follow the extended header
        const qsizetype size = qsizetype(le32At(stillWebp, at + 4));
        at += kChunkHeader + size + size % 2;
    }
    return at < stillWebp.size() ? stillWebp.sliced(at) : QByteArrayView();
}

QByteArray AnimatedWebpFile(QSize canvas, bool alpha, quint32 backgroundBgra,
                            const QByteArray &anmfChunks)
{
    constexpr char kAnimation = 0x02;
    constexpr char kAlpha = 0x10;
    QByteArray header;
    header += char(kAnimation | (alpha ? kAlpha : 0));
    appendLe(header, 0, 3);
    appendLe(header, quint32(canvas.width() - 1), 3);
    appendLe(header, quint32(canvas.height() - 1), 3);
    QByteArray animation;
    appendLe(animation, backgroundBgra, 4);
    appendLe(animation, 0, 2); // loops: forever
    const QByteArray body = "WEBP" + chunk("VP8X", header) + chunk("ANIM", animation) + anmfChunks;
    QByteArray file("RIFF");
    appendLe(file, quint32(body.size()), 4);
    return file + body;
}
