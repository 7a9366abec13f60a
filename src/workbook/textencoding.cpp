#include "workbook/textencoding.h"

#include <QStringDecoder>

#include <uchardet.h>

#include <memory>

namespace fenpai {

namespace {

struct Utf8Census
{
    qsizetype wellFormed = 0; // multi-byte sequences
    qsizetype broken = 0;
};

// Counts UTF-8's multi-byte sequences and the bytes that cannot start or continue one.
Utf8Census censusUtf8(const QByteArray &bytes)
{
    Utf8Census census;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            low = b == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
            high = b == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;
        }
        bool ok = length > 0 && i + length <= n;
        for (int k = 1; ok && k < length; ++k) {
            const unsigned char c = p[i + k];
            ok = k == 1 ? (c >= low && c <= high) : (c >= 0x80 && c <= 0xBF);
        }
        if (ok) {
            ++census.wellFormed;
            i += length;
        } else {
            ++census.broken;
            ++i;
        }
    }
    return census;
}

QByteArray guessWithUchardet(const QByteArray &bytes)
{
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(
        uchardet_new(), &uchardet_delete);
    if (!detector)
        return {};
    // A few hundred kilobytes say as much as the whole file.
    const qsizetype sample = std::min<qsizetype>(bytes.size(), 512 * 1024);
    if (uchardet_handle_data(detector.get(), bytes.constData(), static_cast<size_t>(sample)) != 0)
        return {};
    uchardet_data_end(detector.get());
    return QByteArray(uchardet_get_charset(detector.get())).toUpper();
}

} // namespace

TextEncoding::Guess TextEncoding::detect(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {"UTF-8", 3};
    if (bytes.startsWith("\xFF\xFE"))
        return {"UTF-16LE", 2};
    if (bytes.startsWith("\xFE\xFF"))
        return {"UTF-16BE", 2};
    const Utf8Census census = censusUtf8(bytes);
    if (census.broken == 0 || census.wellFormed > 2 * census.broken)
        return {"UTF-8", 0};
    const QByteArray guessed = guessWithUchardet(bytes);
    if (guessed == "BIG5" || guessed == "EUC-TW")
        return {guessed, 0};
    return {"GB18030", 0};
}

Result<QString> TextEncoding::decode(const QByteArray &bytes)
{
    return decode(bytes, detect(bytes));
}

Result<QString> TextEncoding::decode(const QByteArray &bytes, const Guess &guess)
{
    const QByteArrayView body = QByteArrayView(bytes).sliced(guess.markBytes);
    const bool utf16 = guess.name.startsWith("UTF-16");
    // Half a UTF-16 unit at the end is a file cut short.
    if (utf16 && body.size() % 2 != 0)
        return Status::error(Status::Kind::Io, reasonUndecodable());
    QStringDecoder decoder(guess.name.constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return Status::error(Status::Kind::Io, reasonUndecodable());
    QString text = decoder.decode(body);
    if (decoder.hasError() || text.contains(QChar(0)) || (utf16 && !text.isValidUtf16()))
        return Status::error(Status::Kind::Io, reasonUndecodable());
    return text;
}

QString TextEncoding::reasonUndecodable()
{
    return QStringLiteral("文件中有无法识别的字节，可能已损坏，或不是 UTF-8、GBK 或 UTF-16 "
                          "编码的文本文件。");
}

} // namespace fenpai
