// SPDX-License-Identifier: GPL-3.0-or-later
// Reading integers from the program's text files.
#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <optional>

// Reads a whole token as a signed 32-bit integer: an optional sign, then decimal digits, or
// hexadecimal digits after "$", "0x" or "0X". Hexadecimal takes up to 32 bits and wraps
// ("$FFFFFFFF" is -1); a decimal value outside the 32-bit range, an empty token, or any other
// character gives nullopt.
std::optional<int32_t> ParseInteger(QByteArrayView token);
