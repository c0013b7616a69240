// SPDX-License-Identifier: GPL-3.0-or-later
// Without libFuzzer, a fuzz target is built with this main: it runs the target once on each file
// named, or on each file inside each folder named, so that the seeds and the findings kept in
// fuzz/findings/ are read again by every test run (under the sanitizers, too). A path that does
// not exist is passed over: a target may have no findings yet.
#include "fuzz_target.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

bool runOn(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    // Named before it runs: a sanitizer's report then follows the name of the input it is about.
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                           size_t(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    int inputs = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        QStringList files{path};
        if (!QFileInfo::exists(path))
            continue;
        if (QFileInfo(path).isDir()) {
            files.clear();
            const QDir folder(path);
            for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name))
                files << folder.filePath(name);
        }
        for (const QString &file : files) {
            ok = runOn(file) && ok;
            ++inputs;
        }
    }
    std::printf("%d inputs read\n", inputs);
    return ok && inputs > 0 ? 0 : 1;
}
