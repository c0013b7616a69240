// SPDX-License-Identifier: GPL-3.0-or-later
// Shift-JIS (CP932) and UTF-8 for the program's text files, through glibc iconv.
#include "core/base/text_codec.h"

#include "core/base/files.h"

#include <cerrno>
#include <iconv.h>

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

bool hasUtf8Bom(QByteArrayView bytes)
{
    return bytes.startsWith(QByteArrayView(kUtf8Bom, 3));
}

QByteArrayView withoutBom(QByteArrayView bytes)
{
    return hasUtf8Bom(bytes) ? bytes.sliced(3) : bytes;
}

// Length of the well-formed UTF-8 sequence at bytes[pos], or 0 when it is malformed (overlong
// forms, surrogates and code points above U+10FFFF included).
qsizetype utf8SequenceLength(QByteArrayView bytes, qsizetype pos)
{
    const auto byteAt = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byteAt(pos);
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else
        return 0;
    if (pos + length > bytes.size())
        return 0;
    if (byteAt(pos + 1) < low || byteAt(pos + 1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i)
        if ((byteAt(pos + i) & 0xC0) != 0x80)
            return 0;
    return length;
}

class Iconv {
  public:
    Iconv(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of in as it can, appending to out and advancing in past what was
    // converted. Returns 0 when all input was used, else the errno that stopped it (EILSEQ for
    // an invalid or unconvertible sequence, EINVAL for one cut off at the end).
    int run(QByteArrayView &in, QByteArray &out)
    {
        char *src = const_cast<char *>(in.data());
        size_t srcLeft = static_cast<size_t>(in.size());
        char buffer[4096];
        while (srcLeft > 0) {
            char *dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t done = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            const int err = errno;
            out.append(buffer, dst - buffer);
            if (done == static_cast<size_t>(-1) && err != E2BIG) {
                in = in.sliced(in.size() - static_cast<qsizetype>(srcLeft));
                return err;
            }
        }
        in = in.sliced(in.size());
        return 0;
    }

  private:
    iconv_t m_cd;
};

bool isCp932Trail(unsigned char c)
{
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// How many bytes one bad CP932 character occupies: a lead byte with a proper trail byte is a
// two-byte code without a mapping, so both go; otherwise only the offending byte, so that an
// ASCII byte after a stray lead byte survives.
qsizetype badCp932Length(QByteArrayView rest)
{
    if (rest.size() >= 2 && IsCp932LeadByte(static_cast<unsigned char>(rest[0])) &&
        isCp932Trail(static_cast<unsigned char>(rest[1])))
        return 2;
    return 1;
}

QString decodeCp932Lenient(QByteArrayView bytes)
{
    Iconv conv("UTF-8", "CP932");
    if (!conv.valid())
        return QString(bytes.size(), QChar::ReplacementCharacter);
    QByteArray utf8;
    while (!bytes.isEmpty()) {
        if (conv.run(bytes, utf8) == 0)
            break;
        utf8.append("\xEF\xBF\xBD"); // U+FFFD
        bytes = bytes.sliced(qMin(bytes.size(), badCp932Length(bytes)));
    }
    return QString::fromUtf8(utf8);
}

bool hasLoneSurrogate(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

} // namespace

TextEncoding DetectEncoding(QByteArrayView bytes)
{
    if (hasUtf8Bom(bytes))
        return TextEncoding::Utf8;
    bool nonAscii = false;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const qsizetype length = utf8SequenceLength(bytes, pos);
        if (length == 0)
            return TextEncoding::Cp932;
        nonAscii = nonAscii || length > 1;
        pos += length;
    }
    return nonAscii ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

QString DecodeText(QByteArrayView bytes, TextEncoding encoding)
{
    bytes = withoutBom(bytes);
    if (encoding == TextEncoding::Utf8)
        return QString::fromUtf8(bytes); // invalid -> U+FFFD
    return decodeCp932Lenient(bytes);
}

std::optional<QString> DecodeCp932(QByteArrayView bytes)
{
    Iconv conv("UTF-8", "CP932");
    QByteArray utf8;
    if (!conv.valid() || conv.run(bytes, utf8) != 0)
        return std::nullopt;
    return QString::fromUtf8(utf8);
}

std::optional<QByteArray> EncodeCp932(const QString &text)
{
    // toUtf8() would quietly replace a lone surrogate; such text has no CP932 form either.
    if (hasLoneSurrogate(text))
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    QByteArrayView in(utf8);
    QByteArray out;
    Iconv conv("CP932", "UTF-8");
    if (!conv.valid() || conv.run(in, out) != 0)
        return std::nullopt;
    return out;
}
