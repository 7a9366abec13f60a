#include "grid/gridjsonscanner.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cctype>
#include <climits>

namespace fenpai {

namespace {

// The character a one-letter escape stands for; 0 for an escape JSON does not have.
char unescaped(char esc)
{
    switch (esc) {
    case '"':
    case '\\':
    case '/':
        return esc;
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    default:
        return 0;
    }
}

} // namespace

bool GridJsonScanner::atEnd()
{
    ws();
    return m_pos == m_end;
}

void GridJsonScanner::ws()
{
    while (m_pos < m_end && (*m_pos == ' ' || *m_pos == '\n' || *m_pos == '\r' || *m_pos == '\t'))
        ++m_pos;
}

bool GridJsonScanner::consume(char ch)
{
    ws();
    if (m_pos < m_end && *m_pos == ch) {
        ++m_pos;
        return true;
    }
    return false;
}

bool GridJsonScanner::peek(char ch)
{
    ws();
    return m_pos < m_end && *m_pos == ch;
}

bool GridJsonScanner::string(QString *out)
{
    if (!consume('"'))
        return false;
    const char *start = m_pos;
    while (m_pos < m_end && *m_pos != '"' && *m_pos != '\\') {
        if (static_cast<unsigned char>(*m_pos) < 0x20)
            return false;
        ++m_pos;
    }
    if (m_pos < m_end && *m_pos == '"') {
        if (out)
            *out = QString::fromUtf8(start, m_pos - start);
        ++m_pos;
        return true;
    }
    return escapedString(start, out);
}

bool GridJsonScanner::escapedString(const char *start, QString *out)
{
    QByteArray utf8(start, m_pos - start);
    QString result;
    while (m_pos < m_end && *m_pos != '"') {
        const char ch = *m_pos++;
        if (static_cast<unsigned char>(ch) < 0x20)
            return false;
        if (ch != '\\') {
            utf8 += ch;
            continue;
        }
        if (m_pos >= m_end)
            return false;
        const char esc = *m_pos++;
        if (esc == 'u') {
            // A UTF-16 unit; a pair of them arrives as two escapes, one after the other.
            bool ok = false;
            const ushort code = m_end - m_pos >= 4 ? QByteArray(m_pos, 4).toUShort(&ok, 16) : 0;
            if (!ok)
                return false;
            m_pos += 4;
            result += QString::fromUtf8(utf8);
            utf8.clear();
            result += QChar(code);
        } else if (const char plain = unescaped(esc)) {
            utf8 += plain;
        } else {
            return false;
        }
    }
    if (m_pos >= m_end)
        return false;
    ++m_pos;
    result += QString::fromUtf8(utf8);
    if (out)
        *out = result;
    return true;
}

bool GridJsonScanner::integer(qint64 *out)
{
    ws();
    const char *start = m_pos;
    if (m_pos < m_end && *m_pos == '-')
        ++m_pos;
    const char *digits = m_pos;
    while (m_pos < m_end && *m_pos >= '0' && *m_pos <= '9' && m_pos - digits < 12)
        ++m_pos;
    if (m_pos == digits || (m_pos < m_end && (*m_pos == '.' || *m_pos == 'e' || *m_pos == 'E' ||
                                              (*m_pos >= '0' && *m_pos <= '9'))))
        return false;
    bool ok = false;
    *out = QByteArray(start, m_pos - start).toLongLong(&ok);
    return ok;
}

bool GridJsonScanner::skipValue(int depth)
{
    if (depth > 32)
        return false;
    ws();
    if (m_pos >= m_end)
        return false;
    switch (*m_pos) {
    case '"':
        return string(nullptr);
    case '{':
        ++m_pos;
        if (consume('}'))
            return true;
        do {
            if (!string(nullptr) || !consume(':') || !skipValue(depth + 1))
                return false;
        } while (consume(','));
        return consume('}');
    case '[':
        ++m_pos;
        if (consume(']'))
            return true;
        do {
            if (!skipValue(depth + 1))
                return false;
        } while (consume(','));
        return consume(']');
    default: {
        const char *start = m_pos;
        while (m_pos < m_end && (std::isalnum(static_cast<unsigned char>(*m_pos)) ||
                                 *m_pos == '-' || *m_pos == '+' || *m_pos == '.'))
            ++m_pos;
        return m_pos > start;
    }
    }
}

bool GridJsonScanner::stringArray(QStringList *out)
{
    if (!consume('['))
        return false;
    if (consume(']'))
        return true;
    do {
        QString text;
        if (!string(&text))
            return false;
        out->append(text);
    } while (consume(','));
    return consume(']');
}

bool GridJsonScanner::row(Row *row)
{
    if (!consume('{'))
        return false;
    if (!peek('}')) {
        do {
            QString key;
            if (!string(&key) || !consume(':'))
                return false;
            qint64 n = 0;
            if (key == QLatin1String("r")) {
                if (!integer(&n) || n < 0 || n > INT_MAX)
                    return false;
                row->row = int(n);
            } else if (key == QLatin1String("h")) {
                if (!integer(&n) || n < 0 || n > 1'000'000)
                    return false;
                row->height = int(n);
            } else if (key == QLatin1String("t")) {
                if (!stringArray(&row->texts))
                    return false;
            } else if (key == QLatin1String("g")) {
                if (!stringArray(&row->tags))
                    return false;
            } else if (key == QLatin1String("s")) {
                if (!consume('['))
                    return false;
                if (!consume(']')) {
                    do {
                        if (!integer(&n))
                            return false;
                        row->styles.append(n);
                    } while (consume(','));
                    if (!consume(']'))
                        return false;
                }
            } else if (!skipValue()) {
                return false; // a later version's key: ignored
            }
        } while (consume(','));
    }
    return consume('}') && row->row >= 0;
}

bool GridJsonScanner::cells(std::vector<Row> *rows)
{
    if (!consume('['))
        return false;
    if (consume(']'))
        return true;
    do {
        Row parsed;
        if (!row(&parsed))
            return false;
        rows->push_back(std::move(parsed));
    } while (consume(','));
    return consume(']');
}

bool GridJsonScanner::split(const QByteArray &bytes, QJsonObject *root, std::vector<Row> *cells)
{
    GridJsonScanner sc(bytes.constData(), bytes.constData() + bytes.size());
    if (!sc.consume('{'))
        return false;
    if (!sc.consume('}')) {
        do {
            QString key;
            if (!sc.string(&key) || !sc.consume(':'))
                return false;
            if (key == QLatin1String("cells")) {
                if (!sc.cells(cells))
                    return false;
                continue;
            }
            sc.ws();
            const char *start = sc.m_pos;
            if (!sc.skipValue())
                return false;
            const QByteArray wrapped = '[' + QByteArray(start, sc.m_pos - start) + ']';
            QJsonParseError error;
            const QJsonDocument doc = QJsonDocument::fromJson(wrapped, &error);
            if (error.error != QJsonParseError::NoError || !doc.isArray())
                return false;
            root->insert(key, doc.array().at(0));
        } while (sc.consume(','));
        if (!sc.consume('}'))
            return false;
    }
    return sc.atEnd();
}

} // namespace fenpai
