// SPDX-License-Identifier: GPL-3.0-or-later
// The files of one folder that match a wildcard, for the batch shrink's listing.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Whether name matches pattern, where '*' stands for any run of characters and '?' for one;
// letter case is ignored, so "*.jpg" also finds the "PHOTO.JPG" that cameras write.
bool MatchesWildcard(QStringView name, QStringView pattern);

// The regular files directly inside folder whose names match pattern ("*.jpg"). Each entry is
// folder exactly as given followed by the file's name, so folder should end with "/". Left out:
// names starting with "." (hidden files), folders, anything inside a subfolder, and entries that
// are neither. The entries are sorted by the bytes of their names: the directory's own order
// changes with its history, and a batch run should take the same files in the same order every
// time. A folder that does not exist or cannot be read gives an empty list and no error. Names
// that are not UTF-8 come back losslessly (DecodePath), so the entries open as listed.
QStringList ListFolder(const QString &folder, const QString &pattern);
