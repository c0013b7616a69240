// SPDX-License-Identifier: GPL-3.0-or-later
// What the file-writing benchmarks share: one scratch folder for the whole run.
#pragma once

#include <QTemporaryDir>
#include <QtGlobal>
#include <filesystem>
#include <stdexcept>
#include <string>

// Every folder written goes under one temporary folder that is removed only when the program
// ends. Nothing is deleted between runs on purpose: ext4 without a journal (as on the machine this
// was written on) skips inodes freed in the last minutes when it allocates new ones, so each file
// created right after thousands were deleted pays for a scan over them, whoever writes it.
inline QTemporaryDir &ScratchFolder()
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        throw std::runtime_error("cannot make a temporary folder");
    return dir;
}

// A new empty folder under ScratchFolder(), without a trailing "/".
inline std::string FreshFolder(const std::string &name)
{
    static int made = 0;
    const std::string path =
        ScratchFolder().path().toStdString() + "/" + name + "-" + std::to_string(++made);
    std::filesystem::create_directory(path);
    return path;
}

// Whether a run's folder goes as soon as the run is measured (MOKARAN_BENCH_RECYCLE=1). On a
// memory file system that keeps the machine from handing out ever more fresh memory pages for
// the files, whose first touch can cost more than the writing itself on a virtual machine; on a
// disk without a journal it is better left off (see ScratchFolder()).
inline bool RecycleFolders()
{
    static const bool recycle = qEnvironmentVariableIntValue("MOKARAN_BENCH_RECYCLE") != 0;
    return recycle;
}
