// Writing a file so that it is either the old one or the whole new one, never a part.
#pragma once

#include <QByteArrayView>
#include <QString>

// Writes the bytes so that path holds either its old content or the whole new one: a new file is
// linked into place once written, an existing one replaced by renaming a temporary file beside it
// over it. Not synced to disk one by one (a sequence writes thousands of frames). Throws Failure
// "<path> に書き込めません (<reason>)" and leaves nothing behind on any error.
void WriteFileAtomically(const QString &path, QByteArrayView bytes);
