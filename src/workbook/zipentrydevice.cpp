#include "workbook/zipentrydevice.h"

#include "workbook/workbookreader.h"

#include <QFile>

#include <zip.h>

namespace fenpai {

void ZipArchiveCloser::operator()(zip *archive) const
{
    zip_discard(archive);
}

Result<ZipArchive> ZipEntryDevice::openArchive(const QString &path)
{
    int error = 0;
    ZipArchive archive(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
    if (archive)
        return archive;
    QString reason = WorkbookReader::reasonDamaged();
    if (error == ZIP_ER_NOENT)
        reason = WorkbookReader::reasonMissing();
    else if (error == ZIP_ER_OPEN || error == ZIP_ER_READ)
        reason = WorkbookReader::reasonCannotOpen();
    return Status::error(Status::Kind::Io, reason);
}

ZipEntryDevice::ZipEntryDevice(zip *archive, const QString &entryName)
    : m_archive(archive)
    , m_name(entryName.toUtf8())
{}

ZipEntryDevice::~ZipEntryDevice()
{
    close();
}

bool ZipEntryDevice::open(OpenMode mode)
{
    if (mode != ReadOnly || !m_archive)
        return false;
    m_file = zip_fopen(m_archive, m_name.constData(), 0);
    if (!m_file)
        return false;
    return QIODevice::open(mode);
}

void ZipEntryDevice::close()
{
    if (m_file) {
        zip_fclose(m_file);
        m_file = nullptr;
    }
    QIODevice::close();
}

qint64 ZipEntryDevice::readData(char *data, qint64 maxSize)
{
    if (!m_file)
        return -1;
    const zip_int64_t n = zip_fread(m_file, data, static_cast<zip_uint64_t>(maxSize));
    if (n < 0) {
        m_failed = true;
        setErrorString(QString::fromUtf8(zip_file_strerror(m_file)));
        return -1;
    }
    return n;
}

QByteArray ZipEntryDevice::readAll(zip *archive, const QString &entryName, bool *ok)
{
    if (ok)
        *ok = true;
    ZipEntryDevice device(archive, entryName);
    if (!device.open(ReadOnly))
        return QByteArray();
    QByteArray data = device.QIODevice::readAll();
    if (device.failed()) {
        if (ok)
            *ok = false;
        return QByteArray("");
    }
    if (data.isNull())
        data = QByteArray("");
    return data;
}

} // namespace fenpai
