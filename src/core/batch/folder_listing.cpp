// SPDX-License-Identifier: GPL-3.0-or-later
// Listing one folder, flat, for one wildcard pattern.
#include "core/batch/folder_listing.h"

#include "core/base/file_names.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace {

bool sameLetter(QChar a, QChar b)
{
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

// Closes the directory on every way out.
struct DirectoryHandle {
    DIR *dir = nullptr;
    ~DirectoryHandle()
    {
        if (dir)
            ::closedir(dir);
    }
};

// A regular file, or a link to one: a link stands for what it leads to. fstatat follows the link,
// so a link to a folder is left out like the folder itself.
bool isRegularFile(DIR *dir, const char *name)
{
    struct stat info {};
    return ::fstatat(::dirfd(dir), name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

} // namespace

bool MatchesWildcard(QStringView name, QStringView pattern)
{
    // Greedy matching that backs up to the last '*' on a mismatch: linear for patterns with one
    // star, never exponential.
    qsizetype n = 0, p = 0, starAt = -1, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || sameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

QStringList ListFolder(const QString &folder, const QString &pattern)
{
    QStringList list;
    const QByteArray path = EncodePath(folder);
    DirectoryHandle handle{path.isEmpty() ? nullptr : ::opendir(path.constData())};
    if (!handle.dir)
        return list;
    std::vector<QByteArray> names;
    while (const dirent *entry = ::readdir(handle.dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.') // hidden files, and "." and ".."
            continue;
        if (MatchesWildcard(DecodePath(name), pattern) && isRegularFile(handle.dir, name))
            names.emplace_back(name);
    }
    std::sort(names.begin(), names.end()); // QByteArray compares bytes as unsigned values
    for (const QByteArray &name : names)
        list << folder + DecodePath(name);
    return list;
}
