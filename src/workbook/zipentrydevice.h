#pragma once

#include "core/result.h"

#include <QIODevice>

#include <memory>

struct zip;
struct zip_file;

namespace fenpai {

struct ZipArchiveCloser
{
    void operator()(zip *archive) const;
};
using ZipArchive = std::unique_ptr<zip, ZipArchiveCloser>;

// One entry of an open zip archive as a sequential, read-only device, so a parser can stream a
// large entry instead of holding all of it. The archive must outlive the device.
class ZipEntryDevice final : public QIODevice
{
public:
    ZipEntryDevice(zip *archive, const QString &entryName);
    ~ZipEntryDevice() override;

    // Opens the entry; false when the archive has no such entry or it cannot be read.
    bool open(OpenMode mode) override;
    void close() override;
    bool isSequential() const override { return true; }
    // True when reading stopped on a damaged entry rather than at its end.
    bool failed() const { return m_failed; }

    // The whole entry at once (small parts such as the workbook and its relations); null when it
    // is missing, empty when it is damaged (see `ok`).
    static QByteArray readAll(zip *archive, const QString &entryName, bool *ok = nullptr);

    // Opens an archive read-only; fails with the reason a workbook reader reports (missing,
    // cannot be opened, damaged).
    static Result<ZipArchive> openArchive(const QString &path);

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    zip *m_archive;
    zip_file *m_file = nullptr;
    QByteArray m_name;
    bool m_failed = false;
};

} // namespace fenpai
