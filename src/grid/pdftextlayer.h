#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QRawFont>
#include <QSet>
#include <QString>

class QFont;
class QIODevice;

namespace fenpai {

// The text a PDF gives back when it is searched or copied. Qt's PDF writer names the character
// of each glyph by the lowest code point the font maps to that glyph, and the CJK fonts share
// one glyph between an ideograph and its radical (黄 and ⻩, 一 and ⼀), or a space and a tab;
// so the PDF would read as radicals. The layer remembers which characters were drawn with which
// glyph of which font, and afterwards rewrites each font's ToUnicode map (through qpdf) so that
// every glyph stands for the character that was drawn with it.
class PdfTextLayer final
{
public:
    // Text as handed to the painter with this font (fallback fonts are found as Qt finds them).
    void record(const QFont &font, const QString &text);

    // The PDF with every recorded glyph mapped to its character; other entries stay as they
    // are. Fails with the reason when the bytes are no PDF qpdf can read.
    [[nodiscard]] Result<QByteArray> rewrite(const QByteArray &pdf) const;
    // The same written to `out` as it is made; the reason when qpdf or the device fails.
    [[nodiscard]] Status write(const QByteArray &pdf, QIODevice &out) const;

    // The character to name a glyph by, given the code point the PDF names it by now; 0 when
    // nothing recorded with this font shares that glyph. Exposed for tests.
    char32_t characterFor(const QString &postscriptName, char32_t current) const;

    // The PostScript name a font's 'name' table gives (what a PDF's BaseFont carries).
    static QString postscriptName(const QRawFont &font);

private:
    struct FontGlyphs
    {
        QRawFont font;
        QHash<quint32, QSet<char32_t>> characters; // glyph index → characters drawn with it
    };

    QString rewriteCMap(const QString &postscriptName, const QByteArray &cmap) const;

    QHash<QString, FontGlyphs> m_fonts; // by PostScript name
    QSet<QString> m_recorded;           // font key + text already recorded
};

} // namespace fenpai
