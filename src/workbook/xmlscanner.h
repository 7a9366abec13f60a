#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

class QIODevice;

namespace fenpai {

// A small forward-only XML tokenizer for large machine-written parts (the worksheets of an
// .xlsx), several times faster than QXmlStreamReader. It reads UTF-8 from a device in chunks,
// reports elements by their local name (any prefix dropped), resolves the predefined and numeric
// entities in text, passes CDATA as text and skips comments, processing instructions and the
// document type. It checks only what it needs to: a tag that never closes, an end tag without
// a start, a second root element, a part that ends before its root element closes and a text
// or tag over 16 MB are errors. Line breaks in text are normalised to LF as XML requires.
// Names, attributes and text stay valid until the next call of next().
class XmlScanner final
{
public:
    enum class Token
    {
        StartElement,
        EndElement,
        Text,
        End,
        Error
    };

    explicit XmlScanner(QIODevice *device);

    Token next();

    QByteArrayView name() const;
    // The raw value of the attribute with that local name; empty when absent.
    QByteArrayView attribute(QByteArrayView localName) const;
    // The text of a Text token, entities resolved.
    const QByteArray &text() const { return m_text; }

    // Resolves &lt; &gt; &amp; &quot; &apos; &#n; &#xh; (unknown entities stay as written).
    static void appendDecoded(QByteArray &out, QByteArrayView raw);

private:
    struct Range
    {
        qsizetype begin = 0;
        qsizetype end = 0;
    };
    struct Attribute
    {
        Range name;
        Range value;
    };

    bool refill();
    // Makes sure the buffer holds `pattern` at or after `from`; returns its index or -1.
    qsizetype find(QByteArrayView pattern, qsizetype from);
    Token parseTag(qsizetype end);
    // The character data up to the next "<".
    Token readText();
    // Comments, processing instructions and declarations are skipped (none: read on); CDATA is
    // text; a tag is parsed.
    std::optional<Token> readMarkup();
    // Where the tag at m_pos ends: its ">" outside quotes; -1 when there is none.
    qsizetype tagEnd();
    // Reads the attribute at `i` and moves `i` past it; false when it is damaged.
    bool readAttribute(qsizetype &i, qsizetype end);
    // The local name of the name at [begin, end): after its prefix's ":".
    Range localName(qsizetype begin, qsizetype end) const;

    QIODevice *m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_eof = false;
    bool m_pendingEnd = false;
    bool m_tooLong = false; // a token passed the size any real part needs
    int m_depth = 0;        // open elements
    bool m_sawRoot = false;
    Range m_name;
    std::vector<Attribute> m_attributes;
    QByteArray m_text;
};

} // namespace fenpai
