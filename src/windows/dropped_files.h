// SPDX-License-Identifier: GPL-3.0-or-later
// Files dragged onto a window.
#pragma once

#include <QString>

class QMimeData;

// The file a drag and drop carries when it carries exactly one local file; "" otherwise.
QString DraggedFile(const QMimeData *data);
