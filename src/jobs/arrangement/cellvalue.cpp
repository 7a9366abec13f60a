#include "jobs/arrangement/cellvalue.h"

#include "core/numbertext.h"

#include <QString>

#include <cstring>

namespace fenpai {

CellValue CellValue::fromVariant(const QVariant &value)
{
    CellValue v;
    if (value.isNull())
        return v;
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
        return integer(value.toLongLong());
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return number(value.toDouble());
    case QMetaType::QByteArray:
        v.m_kind = Kind::Blob;
        v.m_bytes = value.toByteArray();
        return v;
    default:
        v.m_kind = Kind::Text;
        v.m_bytes = value.toString().toUtf8();
        return v;
    }
}

CellValue CellValue::number(double value)
{
    CellValue v;
    v.m_kind = Kind::Number;
    v.m_number = value == 0.0 ? 0.0 : value; // one zero, whatever its sign
    return v;
}

CellValue CellValue::integer(qint64 value)
{
    CellValue v;
    v.m_kind = Kind::Number;
    v.m_number = static_cast<double>(value);
    v.m_whole = value;
    v.m_integer = true;
    return v;
}

CellValue CellValue::text(QByteArray utf8)
{
    CellValue v;
    v.m_kind = Kind::Text;
    v.m_bytes = std::move(utf8);
    return v;
}

CellValue CellValue::blob(QByteArray bytes)
{
    CellValue v;
    v.m_kind = Kind::Blob;
    v.m_bytes = std::move(bytes);
    return v;
}

double CellValue::toNumber() const
{
    switch (m_kind) {
    case Kind::Number:
        return m_number;
    case Kind::Text:
        return NumberText::leadingValue(QString::fromUtf8(m_bytes));
    case Kind::Null:
    case Kind::Blob:
        break;
    }
    return 0.0;
}

bool CellValue::isEmptyText() const
{
    return (m_kind == Kind::Text || m_kind == Kind::Blob) && m_bytes.isEmpty();
}

int CellValue::compareSlow(const CellValue &other) const
{
    if (m_kind != other.m_kind)
        return static_cast<int>(m_kind) < static_cast<int>(other.m_kind) ? -1 : 1;
    switch (m_kind) {
    case Kind::Null:
        return 0;
    case Kind::Number:
        if (m_integer && other.m_integer)
            return m_whole < other.m_whole ? -1 : (m_whole > other.m_whole ? 1 : 0);
        return m_number < other.m_number ? -1 : (m_number > other.m_number ? 1 : 0);
    case Kind::Text:
    case Kind::Blob:
        break;
    }
    const qsizetype common = std::min(m_bytes.size(), other.m_bytes.size());
    const int c = common == 0 ? 0
                              : std::memcmp(m_bytes.constData(), other.m_bytes.constData(),
                                            static_cast<size_t>(common));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return m_bytes.size() < other.m_bytes.size() ? -1 : (m_bytes.size() > other.m_bytes.size());
}

QByteArray CellValue::groupKey() const
{
    QByteArray key(1, static_cast<char>('0' + static_cast<int>(m_kind)));
    // 1 and 1.0 group together; an integer past a double's precision keys by its exact value.
    if (m_kind == Kind::Number && m_integer && (m_whole > (1LL << 53) || m_whole < -(1LL << 53)))
        key.append(QByteArray::number(m_whole));
    else if (m_kind == Kind::Number)
        key.append(reinterpret_cast<const char *>(&m_number), sizeof m_number);
    else
        key.append(m_bytes);
    return key;
}

QVariant CellValue::toVariant() const
{
    switch (m_kind) {
    case Kind::Null:
        break;
    case Kind::Number:
        return m_integer ? QVariant(m_whole) : QVariant(m_number);
    case Kind::Text:
        return QVariant(QString::fromUtf8(m_bytes));
    case Kind::Blob:
        return QVariant(m_bytes);
    }
    return QVariant();
}

} // namespace fenpai
