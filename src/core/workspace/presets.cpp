// The cut-size preset file data.dat: records of a name line, a width and a height.
#include "core/workspace/presets.h"

#include "core/base/io_error.h"
#include "core/base/number_text.h"
#include "core/base/text_codec.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Ctrl-Z marks the end of a text file wherever it stands.
constexpr char kEndOfFileMark = 0x1A;
// A number token longer than this is no number.
constexpr qsizetype kMaxTokenLength = 32;
// Only the first 100 presets are ever used; a file far larger than that many records can need
// is read no further, so that a stray huge file cannot exhaust memory.
constexpr qsizetype kMaxFileSize = 1024 * 1024;
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
        const qsizetype start = m_pos;
        while (!atEnd() && m_bytes[m_pos] != '\r' && m_bytes[m_pos] != '\n')
            ++m_pos;
        const QByteArrayView line = m_bytes.sliced(start, m_pos - start);
        skipLineEnd();
        return line;
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
    // CR LF, LF, or a lone CR.
    void skipLineEnd()
    {
        if (!atEnd() && m_bytes[m_pos] == '\r')
            ++m_pos;
        if (!atEnd() && m_bytes[m_pos] == '\n')
            ++m_pos;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

QByteArray readFileStart(const QString &path, qsizetype limit)
{
    // O_NONBLOCK keeps a FIFO in the file's place from hanging start-up.
    FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        throw ioErrorFromErrno(errno);
    QByteArray bytes;
    char buffer[64 * 1024];
    while (bytes.size() < limit) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw ioErrorFromErrno(errno);
        if (got == 0)
            break;
        bytes.append(buffer, qMin<qsizetype>(got, limit - bytes.size()));
    }
    return bytes;
}

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
        presets.push_back(preset);
    }
}

void ReadPresets(const QString &path, std::vector<Preset> &presets)
{
    ParsePresets(readFileStart(path, kMaxFileSize), presets);
}
