#include "workbook/xmlscanner.h"

#include <QIODevice>

namespace fenpai {

namespace {

constexpr qsizetype chunkSize = 256 * 1024;
// No text run or tag of a worksheet comes near this (a cell holds at most 32,767 characters);
// a longer one is a damaged or hostile part, not a reason to buffer gigabytes.
constexpr qsizetype maxTokenSize = 16 * 1024 * 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void appendUtf8(QByteArray &out, uint code)
{
    if (code < 0x80) {
        out.append(static_cast<char>(code));
    } else if (code < 0x800) {
        out.append(static_cast<char>(0xC0 | (code >> 6)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(static_cast<char>(0xE0 | (code >> 12)));
        out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x110000) {
        out.append(static_cast<char>(0xF0 | (code >> 18)));
        out.append(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// XML reads a line break written as CR LF or CR alone as LF (a CR written as &#13; stays).
QByteArray normalizedLineBreaks(QByteArrayView raw)
{
    QByteArray out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\r') {
            out.append(raw[i]);
            continue;
        }
        out.append('\n');
        if (i + 1 < raw.size() && raw[i + 1] == '\n')
            ++i;
    }
    return out;
}

} // namespace

XmlScanner::XmlScanner(QIODevice *device)
    : m_device(device)
{}

bool XmlScanner::refill()
{
    if (m_eof)
        return false;
    // Drop what has been consumed, then append the next chunk.
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + chunkSize);
    const qint64 n = m_device->read(m_buffer.data() + old, chunkSize);
    if (n <= 0) {
        m_buffer.resize(old);
        m_eof = true;
        return false;
    }
    m_buffer.resize(old + n);
    return true;
}

qsizetype XmlScanner::find(QByteArrayView pattern, qsizetype from)
{
    for (;;) {
        const qsizetype at = QByteArrayView(m_buffer).indexOf(pattern, from);
        if (at >= 0)
            return at;
        if (m_buffer.size() - m_pos > maxTokenSize) {
            m_tooLong = true;
            return -1;
        }
        const qsizetype keep = m_pos;
        const qsizetype searched = std::max<qsizetype>(from, m_buffer.size() - pattern.size() + 1);
        if (!refill())
            return -1;
        from = searched - keep; // the buffer shifted by what was consumed
        if (from < 0)
            from = 0;
    }
}

XmlScanner::Token XmlScanner::next()
{
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_attributes.clear();
        --m_depth;
        return Token::EndElement;
    }
    for (;;) {
        if (m_pos >= m_buffer.size() && !refill()) {
            // A part cut short (or never begun) leaves its root open: it is not the whole part.
            return m_sawRoot && m_depth == 0 ? Token::End : Token::Error;
        }
        if (m_buffer.at(m_pos) != '<')
            return readText();
        if (const std::optional<Token> token = readMarkup())
            return *token;
    }
}

XmlScanner::Token XmlScanner::readText()
{
    const qsizetype lt = find("<", m_pos);
    if (m_tooLong)
        return Token::Error;
    const qsizetype end = lt < 0 ? m_buffer.size() : lt;
    const QByteArrayView raw = QByteArrayView(m_buffer).sliced(m_pos, end - m_pos);
    m_text.truncate(0);
    if (raw.contains('\r'))
        appendDecoded(m_text, normalizedLineBreaks(raw));
    else
        appendDecoded(m_text, raw);
    m_pos = end;
    return Token::Text;
}

std::optional<XmlScanner::Token> XmlScanner::readMarkup()
{
    // Make sure the markup's opening is in the buffer.
    if (m_pos + 9 > m_buffer.size())
        refill();
    const QByteArrayView rest = QByteArrayView(m_buffer).sliced(m_pos);
    // What is skipped: its opening, its close, and how long the opening is.
    const struct
    {
        const char *open;
        const char *close;
        qsizetype skip;
    } skipped[] = {{"<!--", "-->", 4}, {"<?", "?>", 2}};
    if (rest.startsWith("<![CDATA[")) {
        const qsizetype end = find("]]>", m_pos + 9);
        if (end < 0)
            return Token::Error;
        m_text = normalizedLineBreaks(QByteArrayView(m_buffer).sliced(m_pos + 9, end - m_pos - 9));
        m_pos = end + 3;
        return Token::Text;
    }
    for (const auto &k : skipped) {
        if (rest.startsWith(k.open)) {
            const qsizetype end = find(k.close, m_pos + k.skip);
            if (end < 0)
                return Token::Error;
            m_pos = end + qsizetype(qstrlen(k.close));
            return std::nullopt;
        }
    }
    if (rest.startsWith("<!")) {
        const qsizetype end = find(">", m_pos + 2);
        if (end < 0)
            return Token::Error;
        m_pos = end + 1;
        return std::nullopt;
    }
    const qsizetype end = tagEnd();
    if (end < 0)
        return Token::Error;
    return parseTag(end);
}

qsizetype XmlScanner::tagEnd()
{
    qsizetype i = m_pos + 1;
    char quote = 0;
    for (;; ++i) {
        if (i >= m_buffer.size()) {
            const qsizetype offset = i - m_pos;
            if (offset > maxTokenSize || !refill())
                return -1;
            i = m_pos + offset;
        }
        const char c = m_buffer.at(i);
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
}

XmlScanner::Range XmlScanner::localName(qsizetype begin, qsizetype end) const
{
    const char *data = m_buffer.constData();
    for (qsizetype k = end - 1; k >= begin; --k) {
        if (data[k] == ':')
            return {k + 1, end};
    }
    return {begin, end};
}

bool XmlScanner::readAttribute(qsizetype &i, qsizetype end)
{
    const char *data = m_buffer.constData();
    const qsizetype attributeBegin = i;
    while (i < end && data[i] != '=' && !isSpace(data[i]))
        ++i;
    Attribute a;
    a.name = localName(attributeBegin, i);
    while (i < end && (isSpace(data[i]) || data[i] == '='))
        ++i;
    if (i >= end || (data[i] != '"' && data[i] != '\''))
        return false;
    const char quote = data[i++];
    const qsizetype valueBegin = i;
    while (i < end && data[i] != quote)
        ++i;
    a.value = {valueBegin, i};
    ++i;
    m_attributes.push_back(a);
    return true;
}

XmlScanner::Token XmlScanner::parseTag(qsizetype end)
{
    const char *data = m_buffer.constData();
    qsizetype i = m_pos + 1;
    const bool closing = data[i] == '/';
    if (closing)
        ++i;
    const qsizetype nameBegin = i;
    while (i < end && !isSpace(data[i]) && data[i] != '/')
        ++i;
    m_name = localName(nameBegin, i);
    m_attributes.clear();
    bool selfClosing = false;
    while (i < end) {
        while (i < end && isSpace(data[i]))
            ++i;
        if (i >= end)
            break;
        if (data[i] == '/') {
            selfClosing = true;
            ++i;
        } else if (!readAttribute(i, end)) {
            return Token::Error;
        }
    }
    m_pos = end + 1;
    if (closing) {
        if (--m_depth < 0)
            return Token::Error;
        return Token::EndElement;
    }
    if (m_sawRoot && m_depth == 0)
        return Token::Error; // a second root element
    m_sawRoot = true;
    ++m_depth;
    m_pendingEnd = selfClosing;
    return Token::StartElement;
}

QByteArrayView XmlScanner::name() const
{
    return QByteArrayView(m_buffer).sliced(m_name.begin, m_name.end - m_name.begin);
}

QByteArrayView XmlScanner::attribute(QByteArrayView localName) const
{
    for (const Attribute &a : m_attributes) {
        const QByteArrayView n =
            QByteArrayView(m_buffer).sliced(a.name.begin, a.name.end - a.name.begin);
        if (n == localName)
            return QByteArrayView(m_buffer).sliced(a.value.begin, a.value.end - a.value.begin);
    }
    return {};
}

void XmlScanner::appendDecoded(QByteArray &out, QByteArrayView raw)
{
    qsizetype i = 0;
    while (i < raw.size()) {
        const qsizetype amp = raw.indexOf('&', i);
        if (amp < 0) {
            out.append(raw.sliced(i));
            return;
        }
        out.append(raw.sliced(i, amp - i));
        const qsizetype semicolon = raw.indexOf(';', amp);
        if (semicolon < 0 || semicolon - amp > 10) {
            out.append('&');
            i = amp + 1;
            continue;
        }
        const QByteArrayView entity = raw.sliced(amp + 1, semicolon - amp - 1);
        if (entity == "lt")
            out.append('<');
        else if (entity == "gt")
            out.append('>');
        else if (entity == "amp")
            out.append('&');
        else if (entity == "quot")
            out.append('"');
        else if (entity == "apos")
            out.append('\'');
        else if (entity.startsWith('#')) {
            bool ok = false;
            const uint code = entity.startsWith("#x") || entity.startsWith("#X")
                                  ? entity.sliced(2).toByteArray().toUInt(&ok, 16)
                                  : entity.sliced(1).toByteArray().toUInt(&ok, 10);
            if (ok)
                appendUtf8(out, code);
            else
                out.append(raw.sliced(amp, semicolon - amp + 1));
        } else {
            out.append(raw.sliced(amp, semicolon - amp + 1));
        }
        i = semicolon + 1;
    }
}

} // namespace fenpai
