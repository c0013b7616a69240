// SPDX-License-Identifier: GPL-3.0-or-later
// Reading integers from the program's text files.
#include "core/base/number_text.h"

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Hexadecimal is a bit pattern: anything that fits in 32 bits is taken, and the top bit makes
// the value negative ("$FFFFFFFF" is -1). Longer values do not fit and are refused.
std::optional<uint32_t> parseHex(QByteArrayView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

// Decimal magnitudes up to 2^31, the largest a negative 32-bit value needs.
std::optional<uint32_t> parseDecimal(QByteArrayView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > 0x80000000u)
            return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

} // namespace

std::optional<int32_t> ParseInteger(QByteArrayView token)
{
    bool negative = false;
    if (!token.isEmpty() && (token[0] == '+' || token[0] == '-')) {
        negative = token[0] == '-';
        token = token.sliced(1);
    }
    qsizetype prefix = 0;
    if (token.startsWith('$'))
        prefix = 1;
    else if (token.startsWith("0x") || token.startsWith("0X"))
        prefix = 2;
    const auto magnitude = prefix ? parseHex(token.sliced(prefix)) : parseDecimal(token);
    if (!magnitude || (!prefix && !negative && *magnitude > 0x7FFFFFFFu))
        return std::nullopt;
    // Unsigned negation wraps, which is what both "-2147483648" and "-$1" need.
    return static_cast<int32_t>(negative ? 0u - *magnitude : *magnitude);
}
