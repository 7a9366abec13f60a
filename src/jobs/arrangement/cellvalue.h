#pragma once

#include <QByteArray>
#include <QVariant>

namespace fenpai {

// One stored value reduced to what the arrangement sorts and groups by. Values compare as the
// database orders them (nulls, then numbers, then texts by their bytes, then blobs), so an
// ordering computed in memory is the one the matching ORDER BY would give.
class CellValue final
{
public:
    enum class Kind
    {
        Null,
        Number,
        Text,
        Blob
    };

    CellValue() = default;
    static CellValue fromVariant(const QVariant &value);
    static CellValue number(double value);
    // A whole number kept exactly (exam numbers reach 18 digits, past a double's 15).
    static CellValue integer(qint64 value);
    static CellValue text(QByteArray utf8);
    static CellValue blob(QByteArray bytes);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    bool isNumber() const { return m_kind == Kind::Number; }
    double numberValue() const { return m_number; }
    bool isInteger() const { return m_integer; }
    qint64 integerValue() const { return m_integer ? m_whole : static_cast<qint64>(m_number); }

    // The value read as a number: null reads 0, a text its leading number.
    double toNumber() const;
    // True when the value joined as text gives the empty string (an empty text or blob).
    bool isEmptyText() const;

    // <0, 0, >0 as the database orders the two values (BINARY collation for texts).
    int compare(const CellValue &other) const
    {
        if (m_kind == Kind::Number && other.m_kind == Kind::Number &&
            !(m_integer && other.m_integer))
            return (m_number > other.m_number) - (m_number < other.m_number);
        return compareSlow(other);
    }
    bool operator==(const CellValue &other) const { return compare(other) == 0; }

    // Bytes that identify the value as GROUP BY and DISTINCT see it (1 and 1.0 are one value).
    QByteArray groupKey() const;

    QVariant toVariant() const;

private:
    int compareSlow(const CellValue &other) const;

    Kind m_kind = Kind::Null;
    double m_number = 0.0;
    qint64 m_whole = 0;     // the exact value when m_integer
    bool m_integer = false; // a number that came as an integer
    QByteArray m_bytes;     // UTF-8 for texts
};

} // namespace fenpai
