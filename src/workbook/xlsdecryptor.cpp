#include "workbook/xlsdecryptor.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <array>
#include <cstdint>
#include <utility>

namespace fenpai {

namespace {

constexpr qsizetype BlockSize = 1024; // the key changes every 1024 bytes of the stream

struct Rc4
{
    std::array<std::uint8_t, 256> s{};
    std::uint8_t i = 0;
    std::uint8_t j = 0;

    explicit Rc4(const QByteArray &key)
    {
        for (int k = 0; k < 256; ++k)
            s[k] = static_cast<std::uint8_t>(k);
        std::uint8_t m = 0;
        for (int k = 0; k < 256; ++k) {
            m = static_cast<std::uint8_t>(m + s[k] +
                                          static_cast<std::uint8_t>(key[k % key.size()]));
            std::swap(s[k], s[m]);
        }
    }

    std::uint8_t next()
    {
        ++i;
        j = static_cast<std::uint8_t>(j + s[i]);
        std::swap(s[i], s[j]);
        return s[static_cast<std::uint8_t>(s[i] + s[j])];
    }

    QByteArray apply(QByteArray data)
    {
        for (char &c : data)
            c = static_cast<char>(static_cast<std::uint8_t>(c) ^ next());
        return data;
    }
};

QByteArray le32(std::uint32_t value)
{
    char b[4];
    qToLittleEndian(value, b);
    return QByteArray(b, 4);
}

QByteArray hash(QCryptographicHash::Algorithm algorithm, const QByteArray &data)
{
    return QCryptographicHash::hash(data, algorithm);
}

// The RC4 key of each block: from a hash of the password and salt and the block's number.
struct BlockKeys
{
    bool cryptoApi = false;
    QByteArray base;
    int keyBytes = 16;

    QByteArray key(std::uint32_t block) const
    {
        if (!cryptoApi)
            return hash(QCryptographicHash::Md5, base + le32(block));
        QByteArray key = hash(QCryptographicHash::Sha1, base + le32(block)).left(keyBytes);
        // A 40-bit key is used as 128 bits with the rest zero.
        if (key.size() < 16)
            key += QByteArray(16 - key.size(), '\0');
        return key;
    }
};

QByteArray passwordBytes(const QString &password)
{
    QByteArray out;
    for (const QChar c : password) {
        char b[2];
        qToLittleEndian(c.unicode(), b);
        out += QByteArray(b, 2);
    }
    return out;
}

// The block keys when the password opens the FILEPASS record's verifier; none otherwise.
bool blockKeys(QByteArrayView filePass, const QString &password, BlockKeys &keys)
{
    const auto u16 = [&](qsizetype at) {
        return qFromLittleEndian<std::uint16_t>(filePass.data() + at);
    };
    const auto u32 = [&](qsizetype at) {
        return qFromLittleEndian<std::uint32_t>(filePass.data() + at);
    };
    if (filePass.size() < 6 || u16(0) != 1) // 1: RC4; 0 would be XOR obfuscation
        return false;
    const std::uint16_t major = u16(2);
    const std::uint16_t minor = u16(4);
    const QByteArray secret = passwordBytes(password.left(15));

    if (major == 1 && minor == 1) {
        if (filePass.size() < 54)
            return false;
        const QByteArray salt = filePass.sliced(6, 16).toByteArray();
        const QByteArray first = hash(QCryptographicHash::Md5, secret).left(5);
        keys.base = hash(QCryptographicHash::Md5, (first + salt).repeated(16)).left(5);
        Rc4 rc4(keys.key(0));
        const QByteArray verifier = rc4.apply(filePass.sliced(22, 16).toByteArray());
        const QByteArray verifierHash = rc4.apply(filePass.sliced(38, 16).toByteArray());
        return hash(QCryptographicHash::Md5, verifier) == verifierHash;
    }

    if ((major == 2 || major == 3 || major == 4) && minor == 2) {
        // Flags, the header's size, the header (its key size at 16), then the verifier.
        if (filePass.size() < 14)
            return false;
        const qsizetype headerSize = u32(10);
        const qsizetype verifierAt = 14 + headerSize;
        if (headerSize < 20 || verifierAt + 60 > filePass.size() || u32(verifierAt) != 16 ||
            u32(verifierAt + 36) != 20)
            return false;
        const std::uint32_t keyBits = u32(14 + 16);
        if (u32(14 + 8) != 0x6801) // RC4
            return false;
        keys.cryptoApi = true;
        keys.keyBytes = keyBits == 0 ? 5 : static_cast<int>(keyBits / 8);
        if (keys.keyBytes < 5 || keys.keyBytes > 16)
            return false;
        const QByteArray salt = filePass.sliced(verifierAt + 4, 16).toByteArray();
        keys.base = hash(QCryptographicHash::Sha1, salt + secret);
        Rc4 rc4(keys.key(0));
        const QByteArray verifier = rc4.apply(filePass.sliced(verifierAt + 20, 16).toByteArray());
        const QByteArray verifierHash =
            rc4.apply(filePass.sliced(verifierAt + 40, 20).toByteArray());
        return hash(QCryptographicHash::Sha1, verifier) == verifierHash;
    }
    return false;
}

// Records whose data is never encrypted: BOF, FILEPASS, USREXCL, FILELOCK, INTERFACEHDR,
// RRDINFO, RRDHEAD.
bool isPlain(std::uint16_t id)
{
    return id == 0x0809 || id == 0x002F || id == 0x0194 || id == 0x0195 || id == 0x00E1 ||
           id == 0x0196 || id == 0x0138;
}

} // namespace

QString XlsDecryptor::defaultPassword()
{
    return QStringLiteral("VelvetSweatshop");
}

bool XlsDecryptor::decrypt(QByteArray &stream, qsizetype filePassAt, const QString &password)
{
    if (filePassAt < 0 || filePassAt + 4 > stream.size())
        return false;
    const qsizetype length = qFromLittleEndian<std::uint16_t>(stream.constData() + filePassAt + 2);
    if (filePassAt + 4 + length > stream.size())
        return false;
    BlockKeys keys;
    if (!blockKeys(QByteArrayView(stream).sliced(filePassAt + 4, length), password, keys))
        return false;

    // The key stream runs over the whole stream, record headers included, though only record
    // data is encrypted.
    char *data = stream.data();
    std::uint32_t block = 0;
    Rc4 rc4(keys.key(0));
    qsizetype at = 0; // the stream offset of rc4's next byte
    const auto keyByte = [&](qsizetype offset) {
        if (offset / BlockSize != block || offset < at) {
            block = static_cast<std::uint32_t>(offset / BlockSize);
            rc4 = Rc4(keys.key(block));
            at = qsizetype(block) * BlockSize;
        }
        for (; at < offset; ++at)
            rc4.next();
        ++at;
        return rc4.next();
    };
    qsizetype pos = filePassAt + 4 + length;
    while (pos + 4 <= stream.size()) {
        const auto id = qFromLittleEndian<std::uint16_t>(data + pos);
        const qsizetype end = pos + 4 + qFromLittleEndian<std::uint16_t>(data + pos + 2);
        if (end > stream.size())
            break; // left to the reader, which finds the record cut short
        qsizetype from = pos + 4;
        if (id == 0x0085)
            from += 4; // a sheet's stream offset stays readable
        if (!isPlain(id)) {
            for (qsizetype o = from; o < end; ++o)
                data[o] = static_cast<char>(static_cast<std::uint8_t>(data[o]) ^ keyByte(o));
        }
        pos = end;
    }
    return true;
}

} // namespace fenpai
