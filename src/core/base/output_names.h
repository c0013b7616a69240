// SPDX-License-Identifier: GPL-3.0-or-later
// Output names that would destroy what they name, refused before anything is read or written.
#pragma once

#include <QString>
#include <QStringList>

// Why writing the files `outputs` would destroy a file: an empty name, two outputs that are one
// file (a sheet's picture and its JSON), or an output that is one of the files read (`inputs`),
// also through a symbolic or a hard link. An empty text when none would. One look at each file:
// a run's thousands of numbered names cost a few milliseconds.
QString OutputNamesRefusal(const QStringList &outputs, const QStringList &inputs);

// "<output> は読み込む画像 <input> と同じファイルです".
QString SameAsInputText(const QString &output, const QString &input);
