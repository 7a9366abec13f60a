#include "grid/outputfile.h"

#include <QFileInfo>
#include <QtGlobal>

namespace fenpai {

OutputFile::OutputFile(const QString &path)
    : m_path(path)
    , m_file(path)
{}

Status OutputFile::failed(const QString &why) const
{
    qWarning("cannot write %s: %s", qUtf8Printable(m_path), qUtf8Printable(m_file.errorString()));
    return Status::error(Status::Kind::Io, why);
}

Status OutputFile::open()
{
    const QFileInfo target(m_path);
    if (target.isDir())
        return Status::error(Status::Kind::Io, QStringLiteral("这是一个文件夹"));
    // The read-only mark is the user's say, whoever runs the program.
    if (target.exists() && !(target.permissions() & QFileDevice::WriteOwner))
        return Status::error(Status::Kind::Io, QStringLiteral("文件是只读的"));
    if (!m_file.open(QIODevice::WriteOnly))
        return failed(QStringLiteral("无法在这个文件夹中创建文件"));
    return Status::ok();
}

Status OutputFile::commit()
{
    if (!m_file.commit())
        return failed(QStringLiteral("无法写完文件，原来的文件未改动"));
    return Status::ok();
}

} // namespace fenpai
