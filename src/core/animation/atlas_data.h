// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON beside a sprite sheet or an atlas, in the layout game engines load as it is: the "JSON
// hash" (frames keyed by name) or the "JSON array" (frames in order, each with its file name),
// with the frames' trim, their duration, the run's animation and its frame tag.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

enum class JsonLayout { Hash, Array };

// The most frames a sheet's or an atlas's JSON may name: a tile set of 256 x 256 tiles, whose JSON
// takes some 15 MB. Each frame costs some 1.3 KB while the JSON is made and written.
inline constexpr int kMaxSheetFrames = 65536;

// One frame as the JSON tells it.
struct DataFrame {
    QString name;
    QRect rect;         // where its pixels are in the picture
    QRect kept;         // where those pixels were in the frame: all of it unless trimmed
    QSize frameSize;    // the frame's own size
    int durationMs = 0; // how long it is shown; 0 for the meta's one duration
};

// What the JSON says of the whole.
struct DataMeta {
    QString image;         // the picture's file name
    QSize size;            // the picture's size
    QString tag;           // the run's name: its animation and its frame tag
    int durationMs = 100;  // each frame's
    bool pingPong = false; // the tag's direction: forward, or forward and back
};

// The JSON text: frames (a name's "frame", "rotated" false, "trimmed", "spriteSourceSize",
// "sourceSize", "duration"), "animations" (the tag's frame names in order) and "meta" ("app",
// "version", "image", "format" RGBA8888, "size", "scale" "1", "frameTags" with the one tag from
// the first frame to the last). The keys are written in that order. Frame names must differ from
// each other, since the hash keys frames by them: throws Failure otherwise.
QByteArray AtlasData(const std::vector<DataFrame> &frames, const DataMeta &meta, JsonLayout layout);

// The tag of a picture written as path: its file name less the extension ("walk" for
// "/anim/walk.png").
QString TagOf(const QString &path);
