// SPDX-License-Identifier: GPL-3.0-or-later
// GIF's LZW coding of a frame's indices.
#include "core/animation/gif_lzw.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// GIF's codes are at most 12 bits: 4096 of them, the last of which a coder never assigns, as
// giflib's decoder (and so most players) clears its table on reaching it.
constexpr int kMaxCodeBits = 12;
constexpr int kLastCode = (1 << kMaxCodeBits) - 1;
constexpr int kSubBlockBytes = 255;

// Codes packed from the lowest bit up, in sub-blocks each led by its length.
class CodeWriter {
  public:
    explicit CodeWriter(int minCodeSize)
    {
        m_out.reserve(4096);
        m_out.append(char(minCodeSize));
        m_out.append(char(0)); // the first sub-block's length, filled in as it grows
    }
    void put(int code, int bits)
    {
        m_bits |= uint32_t(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            putByte((unsigned char)(m_bits & 0xffu));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_count > 0)
            putByte((unsigned char)(m_bits & 0xffu));
        if (m_blockLength == 0)
            m_out.chop(1); // no empty sub-block: its zero would end the data early
        else
            m_out[m_blockStart] = char(m_blockLength);
        m_out.append(char(0)); // the block terminator
        return std::move(m_out);
    }

  private:
    void putByte(unsigned char byte)
    {
        if (m_blockLength == kSubBlockBytes) {
            m_out[m_blockStart] = char(kSubBlockBytes);
            m_blockStart = m_out.size();
            m_out.append(char(0));
            m_blockLength = 0;
        }
        m_out.append(char(byte));
        ++m_blockLength;
    }

    QByteArray m_out;
    qsizetype m_blockStart = 1;
    int m_blockLength = 0;
    uint32_t m_bits = 0;
    int m_count = 0;
};

// The strings coded so far: the code of each string one index longer than a coded one, in a
// table of open addressing twice as large as the most codes GIF has. Code 0 is a one-index
// string, never a longer one, so 0 marks "none".
class CodeTable {
  public:
    CodeTable() : m_keys(kSlots, kEmpty), m_codes(kSlots, 0) { m_filled.reserve(kLastCode + 1); }
    int find(int prefix, int index) const
    {
        const uint32_t key = keyOf(prefix, index);
        for (size_t at = slotOf(key);; at = (at + 1) & (kSlots - 1)) {
            if (m_keys[at] == key)
                return m_codes[at];
            if (m_keys[at] == kEmpty)
                return 0;
        }
    }
    void add(int prefix, int index, int code)
    {
        const uint32_t key = keyOf(prefix, index);
        size_t at = slotOf(key);
        while (m_keys[at] != kEmpty)
            at = (at + 1) & (kSlots - 1);
        m_keys[at] = key;
        m_codes[at] = uint16_t(code);
        m_filled.push_back(uint32_t(at));
    }
    void clear()
    {
        for (const uint32_t at : m_filled)
            m_keys[at] = kEmpty;
        m_filled.clear();
    }

  private:
    static constexpr size_t kSlots = size_t(2) << kMaxCodeBits;
    static constexpr uint32_t kEmpty = ~uint32_t(0);
    static uint32_t keyOf(int prefix, int index)
    {
        return (uint32_t(prefix) << 8) | uint32_t(index);
    }
    static size_t slotOf(uint32_t key)
    {
        // Fibonacci hashing: the top bits of the key times 2^32 / phi.
        return size_t((key * 2654435769u) >> (32 - (kMaxCodeBits + 1)));
    }
    std::vector<uint32_t> m_keys;
    std::vector<uint16_t> m_codes;
    std::vector<uint32_t> m_filled;
};

} // namespace

QByteArray GifLzwData(unsigned char *indices, const short *alternatives, size_t count,
                      int indexBits)
{
    indexBits = std::clamp(indexBits, 1, 8);
    // GIF has no minimum code size below 2: one-bit pictures are coded as two-bit ones.
    const int minCodeSize = std::max(2, indexBits);
    const int clearCode = 1 << minCodeSize, endCode = clearCode + 1;
    CodeWriter out(minCodeSize);
    // One table a thread, emptied of the codes of its last use: a frame of a few pixels costs a
    // few pixels, not a table.
    thread_local CodeTable table;
    table.clear();
    int bits = minCodeSize + 1, next = endCode + 1;
    // As giflib codes, so that every decoder reads it: a code is written in the current width,
    // which grows once the next code to be assigned no longer fits in it.
    auto put = [&](int code) {
        out.put(code, bits);
        if (next >= (1 << bits) && bits < kMaxCodeBits)
            ++bits;
    };
    put(clearCode);
    if (count == 0) {
        put(endCode);
        return out.finish();
    }
    int prefix = indices[0];
    for (size_t i = 1; i < count; ++i) {
        const int own = indices[i];
        int taken = own;
        int code = table.find(prefix, own);
        if (alternatives && alternatives[i] != kNoAlternative) {
            const int other = alternatives[i];
            // Either index shows the same: take the one that goes on with the string, or when
            // neither does, the one the pixel before took, so that runs of it grow.
            if (code == 0) {
                if (const int otherCode = table.find(prefix, other); otherCode != 0) {
                    code = otherCode;
                    taken = other;
                } else if (other == indices[i - 1]) {
                    taken = other;
                }
            }
            indices[i] = (unsigned char)taken;
        }
        if (code != 0) {
            prefix = code;
            continue;
        }
        put(prefix);
        if (next < kLastCode) {
            table.add(prefix, taken, next++);
        } else {
            put(clearCode);
            table.clear();
            bits = minCodeSize + 1;
            next = endCode + 1;
        }
        prefix = taken;
    }
    put(prefix);
    put(endCode);
    return out.finish();
}
