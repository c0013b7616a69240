// SPDX-License-Identifier: GPL-3.0-or-later
// Output names that would destroy what they name.
#include "core/base/output_names.h"

#include "core/base/file_names.h"

#include <QCoreApplication>
#include <QHash>

#include <sys/stat.h>

namespace {

// What a name reaches: the file there (its device and inode), or, when nothing is there yet, the
// folder it would be made in and the name in it.
struct Reached {
    dev_t device = 0;
    ino_t inode = 0;
    QString name; // empty for a file that is there
    bool operator==(const Reached &other) const
    {
        return device == other.device && inode == other.inode && name == other.name;
    }
};

size_t qHash(const Reached &reached, size_t seed = 0)
{
    return qHashMulti(seed, quint64(reached.device), quint64(reached.inode), reached.name);
}

Reached reached(const QString &path)
{
    struct stat info {};
    if (::stat(EncodePath(path).constData(), &info) == 0)
        return {info.st_dev, info.st_ino, {}};
    // The folder's own inode: "x", "./x" and a path through a link to the folder are one file.
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    if (::stat(EncodePath(FolderOfPath(path)).constData(), &info) == 0)
        return {info.st_dev, info.st_ino, name};
    return {0, 0, path}; // a missing folder: writing fails later and says so
}

} // namespace

QString SameAsInputText(const QString &output, const QString &input)
{
    return QCoreApplication::translate("Files", "%1 は読み込む画像 %2 と同じファイルです")
        .arg(output, input);
}

QString OutputNamesRefusal(const QStringList &outputs, const QStringList &inputs)
{
    QHash<Reached, QString> read;
    for (const QString &input : inputs)
        read.insert(reached(input), input);
    QHash<Reached, QString> written;
    for (const QString &output : outputs) {
        if (output.isEmpty())
            return QCoreApplication::translate("Files", "書き込むファイルの名前が空です");
        const Reached file = reached(output);
        if (const auto input = read.constFind(file); input != read.cend())
            return SameAsInputText(output, input.value());
        if (const auto other = written.constFind(file); other != written.cend())
            return QCoreApplication::translate("Files", "%1 と %2 は同じファイルです")
                .arg(other.value(), output);
        written.insert(file, output);
    }
    return {};
}
