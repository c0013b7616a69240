// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size preset file data.dat: records of a name line, a width and a height.
#include "core/workspace/presets.h"

#include "core/base/files.h"
#include "core/base/number_text.h"
#include "core/base/text_codec.h"

namespace {

// Ctrl-Z marks the end of a text file wherever it stands.
constexpr char kEndOfFileMark = 0x1A;
// A number token longer than this is no number.
constexpr qsizetype kMaxTokenLength = 32;
// Only the first 100 presets are ever used; a file far larger than that many records can need
// is read no further, so that a stray huge file cannot exhaust memory. The file is read at
// start-up, so a FIFO in its place must not hang the program: it gives what it holds.
constexpr FileReading kPresetFileReading{.limit = 1024 * 1024,
                                         .larger = LargerFiles::CutAtLimit,
                                         .special = SpecialFiles::ReadWithoutWaiting};
constexpr int kNotANumber = 106;

bool isBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

// Reads the records byte by byte. CP932 trail bytes are never below 0x40 and UTF-8 continuation
// bytes never below 0x80, so line ends and blanks found here are always whole characters.
class RecordReader {
  public:
    explicit RecordReader(QByteArrayView bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_pos >= m_bytes.size(); }

    // The rest of the current line, unchanged, then past its line end.
    QByteArrayView readLine()
    {
        const TextLine line = LineAt(m_bytes, m_pos);
        m_pos = line.next;
        return m_bytes.sliced(line.start, line.end - line.start);
    }

    // Blanks and line ends before the number do not count as lines; the end of the file there
    // gives 0. After the number the rest of its line goes, so units may follow it ("240 px").
    int32_t readNumber()
    {
        while (!atEnd() && isBlankOrControl(m_bytes[m_pos]))
            ++m_pos;
        if (atEnd())
            return 0;
        const qsizetype start = m_pos;
        while (!atEnd() && !isBlankOrControl(m_bytes[m_pos]))
            ++m_pos;
        const QByteArrayView token = m_bytes.sliced(start, m_pos - start);
        const auto value = token.size() <= kMaxTokenLength ? ParseInteger(token) : std::nullopt;
        if (!value)
            throw IoError(kNotANumber);
        readLine();
        return *value;
    }

  private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

} // namespace

void ParsePresets(QByteArrayView bytes, std::vector<Preset> &presets)
{
    const qsizetype mark = bytes.indexOf(kEndOfFileMark);
    if (mark >= 0)
        bytes = bytes.first(mark);
    const TextEncoding encoding = DetectEncoding(bytes);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);

    RecordReader reader(bytes);
    // Only here is the end of the file tested: any character left, even a lone line end,
    // starts another record.
    while (!reader.atEnd()) {
        Preset preset;
        preset.name = DecodeText(reader.readLine(), encoding);
        preset.width = reader.readNumber();
        preset.height = reader.readNumber();
        if (presets.size() < kMaxPresets) // later records are read for their faults only
            presets.push_back(preset);
    }
}

void ReadPresets(const QString &path, std::vector<Preset> &presets)
{
    ParsePresets(ReadFile(path, kPresetFileReading), presets);
}
