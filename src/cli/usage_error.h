// SPDX-License-Identifier: GPL-3.0-or-later
// The command line is wrong: the verb's runner prints the usage and exits 2.
#pragma once

#include <QString>

struct UsageError {
    QString message;
};
