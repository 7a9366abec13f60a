#include "workbook/biffrecord.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstring>

namespace fenpai {

bool BiffRecord::read(QByteArrayView stream, qsizetype &pos)
{
    m_segments.clear();
    m_segment = 0;
    m_pos = 0;
    m_before = 0;
    m_total = 0;
    m_overrun = false;
    bool first = true;
    while (pos + 4 <= stream.size()) {
        const auto id = qFromLittleEndian<std::uint16_t>(stream.data() + pos);
        if (!first && id != ContinueId)
            break;
        const qsizetype length = qFromLittleEndian<std::uint16_t>(stream.data() + pos + 2);
        if (pos + 4 + length > stream.size())
            return false;
        if (first)
            m_id = id;
        m_segments.push_back(stream.sliced(pos + 4, length));
        m_total += length;
        pos += 4 + length;
        first = false;
    }
    return !first;
}

bool BiffRecord::nextSegment()
{
    if (m_segment + 1 >= m_segments.size())
        return false;
    m_before += m_segments[m_segment].size();
    ++m_segment;
    m_pos = 0;
    return true;
}

void BiffRecord::bytes(char *out, qsizetype n)
{
    if (n > remaining()) {
        m_overrun = true;
        std::memset(out, 0, static_cast<size_t>(n));
        return;
    }
    while (n > 0) {
        const QByteArrayView segment = m_segments[m_segment];
        const qsizetype take = std::min(n, segment.size() - m_pos);
        if (take == 0) {
            (void)nextSegment(); // cannot fail: remaining() counted the bytes
            continue;
        }
        std::memcpy(out, segment.data() + m_pos, static_cast<size_t>(take));
        out += take;
        m_pos += take;
        n -= take;
    }
}

std::uint8_t BiffRecord::u8()
{
    char c = 0;
    bytes(&c, 1);
    return static_cast<std::uint8_t>(c);
}

std::uint16_t BiffRecord::u16()
{
    char b[2];
    bytes(b, 2);
    return qFromLittleEndian<std::uint16_t>(b);
}

std::uint32_t BiffRecord::u32()
{
    char b[4];
    bytes(b, 4);
    return qFromLittleEndian<std::uint32_t>(b);
}

double BiffRecord::f64()
{
    char b[8];
    bytes(b, 8);
    return std::bit_cast<double>(qFromLittleEndian<std::uint64_t>(b));
}

void BiffRecord::skip(qsizetype n)
{
    if (n > remaining()) {
        m_overrun = true;
        n = remaining();
    }
    while (n > 0) {
        const qsizetype take = std::min(n, m_segments[m_segment].size() - m_pos);
        if (take == 0) {
            (void)nextSegment(); // cannot fail: remaining() counted the bytes
            continue;
        }
        m_pos += take;
        n -= take;
    }
}

QString BiffRecord::characters(std::uint32_t count, bool wide)
{
    // Every character takes at least a byte: what is reserved is bounded by the bytes left.
    QString out;
    out.reserve(std::min<qsizetype>(count, remaining()));
    qsizetype left = count;
    while (left > 0) {
        const QByteArrayView segment = m_segments[m_segment];
        const qsizetype available = segment.size() - m_pos;
        if (available == 0) {
            // A string split across records starts each continuation with a fresh option byte.
            if (!nextSegment()) {
                m_overrun = true;
                break;
            }
            wide = (u8() & 0x01) != 0;
            continue;
        }
        const char *at = segment.data() + m_pos;
        if (wide) {
            const qsizetype n = std::min(left, available / 2);
            if (n == 0) { // half a character before the record's end
                m_overrun = true;
                break;
            }
            for (qsizetype i = 0; i < n; ++i)
                out.append(QChar(qFromLittleEndian<char16_t>(at + 2 * i)));
            m_pos += 2 * n;
            left -= n;
        } else {
            const qsizetype n = std::min(left, available);
            out.append(QLatin1StringView(at, n));
            m_pos += n;
            left -= n;
        }
    }
    return out;
}

QString BiffRecord::unicodeString(int countBytes)
{
    const std::uint32_t count = countBytes == 1 ? u8() : u16();
    const std::uint8_t options = u8();
    const std::uint16_t runs = (options & 0x08) ? u16() : 0;
    const std::uint32_t phonetic = (options & 0x04) ? u32() : 0;
    QString text = characters(count, (options & 0x01) != 0);
    skip(qsizetype(runs) * 4);
    skip(static_cast<qsizetype>(phonetic));
    return text;
}

QByteArray BiffRecord::byteString(int countBytes)
{
    const qsizetype count = countBytes == 1 ? u8() : u16();
    if (count > remaining()) {
        m_overrun = true;
        QByteArray out(remaining(), Qt::Uninitialized);
        bytes(out.data(), out.size());
        return out;
    }
    QByteArray out(count, Qt::Uninitialized);
    bytes(out.data(), count);
    return out;
}

} // namespace fenpai
