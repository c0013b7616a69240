// SPDX-License-Identifier: GPL-3.0-or-later
// The batch JPEG shrink: one run over the listed files of a folder, shared by the dialog's worker
// thread and the command line.
#pragma once

#include "core/image/jpeg_codec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

// What a shrunk photo keeps besides its pixels.
enum class PhotoMetadata {
    Keep,  // EXIF (orientation 1 once applied, no thumbnail), XMP, IPTC and the ICC profile
    Strip, // nothing; the pixels converted to sRGB when the photo had a profile
};

struct ShrinkJob {
    QString sourceFolder;      // ends with "/"
    QString destinationFolder; // ends with "/"
    int32_t longerSide = 200;  // the longer side of each output (SizeWithLongerSide)
    QString extensionsFile;    // jpeg.dat
    int workers = 0;           // files shrunk at once; 0: one per core
    // Photos are shrunk upright by their EXIF orientation, their outputs' tag made 1; true keeps
    // the pixels as stored and the tag as it was, so that viewers turn them.
    bool keepOrientation = false;
    PhotoMetadata metadata = PhotoMetadata::Keep;
};

struct ShrinkResult {
    int filesFound = 0;   // files found (each once, whatever rows of jpeg.dat match it)
    int filesWritten = 0; // outputs written
    QStringList failures; // one line per file that was skipped, naming the file and the reason,
                          // in list order
    QString stopped;      // why the run stopped before its last file (the disk is full), with the
                          // number of files not tried; empty when every file was tried
};

// The memory one worker reuses from file to file: a 12-megapixel photograph takes 36 MB decoded,
// and fresh memory of that size for every file costs more than shrinking a small one. Each buffer
// is replaced only when a larger file comes.
struct ShrinkBuffers {
    QByteArray fileBytes; // the source file
    PixelBuffer pixels;   // the decoded picture
    QByteArray encoded;   // the output file
};

// One file of a run: decodes source (full scale, accurate DCT), shrinks it by box averaging to
// SizeWithLongerSide(longerSide) (a smaller picture keeps its size), encodes it as a baseline
// quality-90 JPEG and writes it to target through a temporary file in target's folder, renamed into
// place: target is either untouched or whole, also when it is source itself. Throws Failure naming
// the file when it cannot be read, shrunk or written. The picture is turned upright by its EXIF
// orientation first, unless keepOrientation; the output keeps the photo's metadata as `metadata`
// says (MetadataForCopy).
void ShrinkOneFile(const QString &source, const QString &target, int32_t longerSide,
                   ShrinkBuffers &buffers, bool keepOrientation = false,
                   PhotoMetadata metadata = PhotoMetadata::Keep);

// Lists the files, then shrinks every one: full-scale accurate decode, SizeWithLongerSide and box
// averaging, baseline quality-90 encode with the metadata the job keeps, written under the file's
// own name in the destination (temporary file, then rename). A file that cannot be read or written
// is skipped and listed in the result; the run goes on, except after a full disk (DiskFull): then
// no further file is started, and result.stopped says so. job.workers threads shrink files at once,
// each with its own buffers; the outputs, the counts and the failures are those of a run on one
// thread. Folders without a trailing "/" get one. Temporary files that killed runs left in the
// destination are removed before the first file (RemoveStaleTemporaryFiles). started(total) is told
// once before the first file (only when files were found); progressed(done) after each file,
// written or skipped, with done counting 1, 2, ... total; the calls come one at a time (under a
// lock) from whichever thread finished the file, and must not throw. Throws Failure, before
// touching any file, when the extension file cannot be read, a folder is not given, longerSide is
// below 1, or (files having been found) the destination is not a folder.
ShrinkResult RunShrink(const ShrinkJob &job, const std::function<void(int total)> &started = {},
                       const std::function<void(int done)> &progressed = {});
