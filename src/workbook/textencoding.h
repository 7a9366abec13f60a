#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QString>

namespace fenpai {

// Finds how a text file is encoded and decodes it. Files handed out by schools come as UTF-8
// (with or without a byte-order mark), as UTF-16 with a mark, and very often in GBK, what a
// spreadsheet program on a Chinese system writes as "CSV". The order of the tests:
//  1. a byte-order mark names UTF-8, UTF-16LE or UTF-16BE;
//  2. bytes that are valid UTF-8 are UTF-8; bytes that are mostly valid UTF-8 (more well-formed
//     multi-byte sequences than twice the broken ones) are a damaged UTF-8 file, not GBK;
//  3. otherwise uchardet guesses; a Chinese encoding it names (GB18030, Big5, EUC-TW) is taken,
//     anything else (its guesses on short texts are often single-byte encodings) is read as
//     GB18030, which holds GBK and GB2312.
// Decoding fails on any byte the encoding does not allow, and on a NUL character, which no text
// table holds: such a file is refused rather than imported with replacement characters.
class TextEncoding final
{
public:
    struct Guess
    {
        QByteArray name;   // as QStringDecoder knows it: "UTF-8", "UTF-16LE", "GB18030" …
        int markBytes = 0; // length of the byte-order mark to skip
    };

    static Guess detect(const QByteArray &bytes);

    // The text without its byte-order mark; an error (kind Io, message reasonUndecodable()) when
    // the bytes are not valid in the encoding found.
    static Result<QString> decode(const QByteArray &bytes);
    // Decodes with a given encoding.
    static Result<QString> decode(const QByteArray &bytes, const Guess &guess);

    static QString reasonUndecodable();
};

} // namespace fenpai
