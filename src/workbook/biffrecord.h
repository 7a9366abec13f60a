#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <vector>

namespace fenpai {

// One record of a BIFF5/BIFF8 workbook stream together with the CONTINUE records that carry the
// rest of its data, and a cursor over that data. A read past the end gives zeros and marks the
// record as overrun, so a parser reads all the fields of a record and checks once.
class BiffRecord final
{
public:
    static constexpr std::uint16_t ContinueId = 0x003C;

    // Reads the record that starts at `pos` in `stream`, with its CONTINUE records, and moves
    // `pos` past them. False when the stream ends inside a record header or a record's length
    // runs past the end of the stream.
    bool read(QByteArrayView stream, qsizetype &pos);

    std::uint16_t id() const { return m_id; }
    // True once a read went past the end of the data.
    bool overrun() const { return m_overrun; }
    // For a record whose last field some writers cut short, where what is there will do.
    void forgiveOverrun() { m_overrun = false; }
    // The record's own length, its continuations left out.
    qsizetype size() const { return m_segments.empty() ? 0 : m_segments.front().size(); }
    // Bytes not yet read, continuations included.
    qsizetype remaining() const { return m_total - m_before - m_pos; }

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    double f64();
    void skip(qsizetype bytes);

    // A BIFF8 string: a character count of `countBytes` (1 or 2) bytes, an option byte, the
    // characters (one byte each or UTF-16, the choice made again at each continuation) and any
    // rich-text runs and phonetic data, which are skipped.
    QString unicodeString(int countBytes);
    // A BIFF5 string: a count of `countBytes` bytes and that many bytes in the workbook's code
    // page.
    QByteArray byteString(int countBytes);
    // Both give what there is of a string cut short by the record's end, and mark the overrun.

private:
    bool nextSegment();
    void bytes(char *out, qsizetype n);
    QString characters(std::uint32_t count, bool wide);

    std::uint16_t m_id = 0;
    std::vector<QByteArrayView> m_segments; // the record's data, then each continuation's
    size_t m_segment = 0;
    qsizetype m_pos = 0;    // in the current segment
    qsizetype m_before = 0; // bytes in the segments before the current one
    qsizetype m_total = 0;
    bool m_overrun = false;
};

} // namespace fenpai
