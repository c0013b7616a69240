// The batch JPEG shrink: one run over the listed files of a folder, shared by the dialog's worker
// thread and the command line.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

struct ShrinkJob {
    QString sourceFolder;      // ends with "/"
    QString destinationFolder; // ends with "/"
    int32_t targetWidth = 200; // T: the longer side of the output (see FitSize)
    QString extensionsFile;    // jpeg.dat
    int workers = 0;           // files shrunk at once; 0: one per core
};

struct ShrinkResult {
    int filesFound = 0;   // entries of the found list (a file listed twice counts twice)
    int filesWritten = 0; // outputs written
    QStringList failures; // one line per file that was skipped: "<file>: <reason>"
};

// Lists the files, then shrinks every one: full-scale accurate decode, FitSize and box averaging,
// baseline quality-90 encode, written under the file's own name in the destination (temporary file,
// then rename). A file that cannot be read or written is skipped and listed in the result; the
// run goes on. started(total) is told once before the first file (only when files were found);
// progressed(done) after each file, in increasing order, from whichever thread finished it.
// Throws Failure, before touching any file, when the extension file cannot be read.
ShrinkResult RunShrink(const ShrinkJob &job, const std::function<void(int total)> &started = {},
                       const std::function<void(int done)> &progressed = {});
