#include "grid/gridfile.h"

#include "grid/gridfilereader.h"
#include "grid/gridfilewriter.h"

#include <QSaveFile>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    const QByteArray bytes = write(data, cursor);
    if (file.write(bytes) != bytes.size())
        return failure(file.errorString());
    if (!file.commit())
        return failure(file.errorString());
    return Status::ok();
}

} // namespace fenpai
