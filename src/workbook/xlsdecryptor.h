#pragma once

#include <QByteArray>
#include <QString>

namespace fenpai {

// Decrypts a BIFF8 workbook stream encrypted with RC4 (Excel 97–2003's "password to open", plain
// or through CryptoAPI). Excel encrypts some workbooks with a built-in password, "VelvetSweatshop",
// and opens them without asking; those are read like any other.
class XlsDecryptor final
{
public:
    static QString defaultPassword();

    // Decrypts, in place, every record that follows the FILEPASS record at `filePassAt`. False,
    // with `stream` unchanged, when the encryption is of another kind or the password does not
    // open it.
    static bool decrypt(QByteArray &stream, qsizetype filePassAt, const QString &password);
};

} // namespace fenpai
