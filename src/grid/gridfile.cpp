#include "grid/gridfile.h"

#include "grid/gridfilereader.h"
#include "grid/gridfilewriter.h"
#include "grid/outputfile.h"

namespace fenpai {

QByteArray GridFile::write(const GridData &data, const GridCursor &cursor)
{
    return GridFileWriter(data, cursor).write();
}

Status GridFile::read(const QByteArray &bytes, GridData *into, GridCursor *cursor)
{
    return GridFileReader(into, cursor).read(bytes);
}

Status GridFile::save(const GridData &data, const GridCursor &cursor, const QString &path)
{
    auto failure = [&](const QString &why) {
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法保存表格文件“%1”：%2").arg(path, why));
    };
    OutputFile file(path);
    if (const Status s = file.open(); !s.isOk())
        return failure(s.message());
    const QByteArray bytes = write(data, cursor);
    if (file.device()->write(bytes) != bytes.size())
        return failure(QStringLiteral("无法写完文件，原来的文件未改动"));
    if (const Status s = file.commit(); !s.isOk())
        return failure(s.message());
    return Status::ok();
}

} // namespace fenpai
