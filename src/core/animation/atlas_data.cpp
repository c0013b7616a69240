// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON beside a sprite sheet or an atlas. Written by hand rather than through QJsonObject,
// which sorts keys: the frames stay in the run's order and each entry's keys in the order the
// engines' own exporters write them, so the file reads as users expect to find it.
#include "core/animation/atlas_data.h"

#include "core/base/io_error.h"
#include "core/base/version.h"

#include <QCoreApplication>
#include <QSet>

namespace {

// A JSON string: the text in UTF-8 with quotes, backslashes and control characters escaped.
QByteArray quoted(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (uchar(c) < 0x20) {
            out += QByteArray("\\u00") + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
        } else {
            out += c;
        }
    }
    return out + '"';
}

QByteArray number(int value)
{
    return QByteArray::number(value);
}

QByteArray rectObject(const QRect &rect)
{
    return "{\"x\": " + number(rect.x()) + ", \"y\": " + number(rect.y()) +
           ", \"w\": " + number(rect.width()) + ", \"h\": " + number(rect.height()) + "}";
}

QByteArray sizeObject(QSize size)
{
    return "{\"w\": " + number(size.width()) + ", \"h\": " + number(size.height()) + "}";
}

// A frame's fields after its name (or its "filename").
QByteArray frameFields(const DataFrame &frame, int durationMs)
{
    const bool trimmed = frame.kept != QRect(QPoint(0, 0), frame.frameSize);
    return "\"frame\": " + rectObject(frame.rect) +
           ", \"rotated\": false, \"trimmed\": " + (trimmed ? "true" : "false") +
           ", \"spriteSourceSize\": " + rectObject(frame.kept) +
           ", \"sourceSize\": " + sizeObject(frame.frameSize) +
           ", \"duration\": " + number(frame.durationMs > 0 ? frame.durationMs : durationMs);
}

QByteArray framesPart(const std::vector<DataFrame> &frames, int durationMs, JsonLayout layout)
{
    QByteArray out = layout == JsonLayout::Hash ? "  \"frames\": {\n" : "  \"frames\": [\n";
    for (size_t i = 0; i < frames.size(); ++i) {
        const DataFrame &frame = frames[i];
        if (layout == JsonLayout::Hash)
            out += "    " + quoted(frame.name) + ": {" + frameFields(frame, durationMs) + "}";
        else
            out += "    {\"filename\": " + quoted(frame.name) + ", " +
                   frameFields(frame, durationMs) + "}";
        out += i + 1 < frames.size() ? ",\n" : "\n";
    }
    return out + (layout == JsonLayout::Hash ? "  },\n" : "  ],\n");
}

QByteArray animationsPart(const std::vector<DataFrame> &frames, const QString &tag)
{
    QByteArray names;
    for (const DataFrame &frame : frames)
        names += (names.isEmpty() ? "" : ", ") + quoted(frame.name);
    return "  \"animations\": {\n    " + quoted(tag) + ": [" + names + "]\n  },\n";
}

QByteArray metaPart(int frameCount, const DataMeta &meta)
{
    const QByteArray tag = "{\"name\": " + quoted(meta.tag) +
                           ", \"from\": 0, \"to\": " + number(std::max(frameCount - 1, 0)) +
                           ", \"direction\": " + (meta.pingPong ? "\"pingpong\"" : "\"forward\"") +
                           "}";
    return "  \"meta\": {\n"
           "    \"app\": \"mokaran\",\n"
           "    \"version\": " +
           quoted(QString::fromLatin1(kVersion)) +
           ",\n"
           "    \"image\": " +
           quoted(meta.image) +
           ",\n"
           "    \"format\": \"RGBA8888\",\n"
           "    \"size\": " +
           sizeObject(meta.size) +
           ",\n"
           "    \"scale\": \"1\",\n"
           "    \"frameTags\": [" +
           tag + "]\n  }\n";
}

} // namespace

QByteArray AtlasData(const std::vector<DataFrame> &frames, const DataMeta &meta, JsonLayout layout)
{
    QSet<QString> names;
    for (const DataFrame &frame : frames) {
        if (names.contains(frame.name))
            throw Failure(QCoreApplication::translate("Atlas", "フレームの名前 %1 が重なっています")
                              .arg(frame.name));
        names.insert(frame.name);
    }
    return "{\n" + framesPart(frames, meta.durationMs, layout) + animationsPart(frames, meta.tag) +
           metaPart(int(frames.size()), meta) + "}\n";
}

QString TagOf(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}
