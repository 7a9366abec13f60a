#include "workbook/xmlscanner.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace fenpai::test {
namespace {

// The tokens of a document as one line each: "<name a=v>", "</name>", "'text'".
QStringList tokens(const QByteArray &xml, const QList<QByteArray> &attributes = {"r", "t"})
{
    QBuffer buffer;
    buffer.setData(xml);
    buffer.open(QIODevice::ReadOnly);
    XmlScanner scanner(&buffer);
    QStringList out;
    for (;;) {
        switch (scanner.next()) {
        case XmlScanner::Token::StartElement: {
            QString line = QLatin1Char('<') + QString::fromUtf8(scanner.name());
            for (const QByteArray &a : attributes) {
                if (!scanner.attribute(a).isEmpty())
                    line += QLatin1Char(' ') + QString::fromUtf8(a) + QLatin1Char('=') +
                            QString::fromUtf8(scanner.attribute(a));
            }
            out.append(line + QLatin1Char('>'));
            break;
        }
        case XmlScanner::Token::EndElement:
            out.append(QStringLiteral("</") + QString::fromUtf8(scanner.name()) + QLatin1Char('>'));
            break;
        case XmlScanner::Token::Text:
            out.append(QLatin1Char('\'') + QString::fromUtf8(scanner.text()) + QLatin1Char('\''));
            break;
        case XmlScanner::Token::End:
            return out;
        case XmlScanner::Token::Error:
            out.append(QStringLiteral("ERROR"));
            return out;
        }
    }
}

TEST(XmlScannerTest, Tokens)
{
    const struct
    {
        const char *xml;
        const char *expected;
    } cases[] = {
        {"<?xml version=\"1.0\"?><a><b r=\"A1\" t='s'/></a>", "<a>|<b r=A1 t=s>|</b>|</a>"},
        {"<x:c r=\"B2\"><x:v>1</x:v></x:c>", "<c r=B2>|<v>|'1'|</v>|</c>"},
        {"<t>a&lt;b&gt;&amp;&quot;&apos;&#20013;&#x6587;&unknown;</t>",
         "<t>|'a<b>&\"'中文&unknown;'|</t>"},
        {"<t><![CDATA[<raw> & ]]></t>", "<t>|'<raw> & '|</t>"},
        {"<!-- note --><!DOCTYPE x><a>x<!-- y -->z</a>", "<a>|'x'|'z'|</a>"},
        {"<a r=\"x>y\"/>", "<a r=x>y>|</a>"},
        {"<a r=\"1\"", "ERROR"},
        {"<a r=1>", "ERROR"},
        // Only the whole of a part is a part: cut short, unbalanced or with two roots.
        {"<a><b>1</b>", "<a>|<b>|'1'|</b>|ERROR"},
        {"", "ERROR"},
        {"<a/></a>", "<a>|</a>|ERROR"},
        {"<a/><b/>", "<a>|</a>|ERROR"},
        // Line breaks as XML reads them; a written &#13; stays a CR.
        {"<t>1\r\n2\r3&#13;\n</t>", "<t>|'1\n2\n3\r\n'|</t>"},
        {"<t><![CDATA[a\r\nb]]></t>", "<t>|'a\nb'|</t>"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tokens(c.xml).join(u'|'), QString::fromUtf8(c.expected)) << c.xml;
}

// Tokens that straddle the chunks the scanner reads stay whole.
TEST(XmlScannerTest, LongDocuments)
{
    QByteArray xml = "<sheetData>";
    for (int i = 0; i < 40000; ++i)
        xml += "<c r=\"A" + QByteArray::number(i) + "\"><v>" + QByteArray::number(i * 7) +
               "</v></c><!-- padding -->";
    xml += "</sheetData>";
    const QStringList all = tokens(xml);
    ASSERT_EQ(all.size(), 2 + 40000 * 5);
    for (int i = 0; i < 40000; i += 997) {
        EXPECT_EQ(all[1 + i * 5], QStringLiteral("<c r=A%1>").arg(i));
        EXPECT_EQ(all[3 + i * 5], QStringLiteral("'%1'").arg(i * 7));
    }
}

// A text run no worksheet needs is refused instead of being buffered whole.
TEST(XmlScannerTest, RefusesAnEndlessTextRun)
{
    const QByteArray xml = "<v>" + QByteArray(17 * 1024 * 1024, '9') + "</v>";
    EXPECT_EQ(tokens(xml).join(u'|'), QStringLiteral("<v>|ERROR"));
}

} // namespace
} // namespace fenpai::test
