#include "grid/outputfile.h"

#include "core/fileerrortext.h"
#include "core/heldfiles.h"

#include <QFileInfo>
#include <QtGlobal>

#include <cerrno>

namespace fenpai {

OutputFile::OutputFile(const QString &path)
    : m_path(path)
    , m_file(path)
    , m_device(&m_file)
{}

QString OutputFile::heldFileMessage()
{
    return QStringLiteral("不能把输出写到数据库文件上");
}

Status OutputFile::checkTarget(const QString &path)
{
    // Replacing the open database would lose every table; a link or another spelling of its
    // path is the same file.
    if (HeldFiles::isHeld(path))
        return Status::refused(heldFileMessage());
    const QFileInfo target(path);
    if (target.isDir())
        return Status::error(Status::Kind::Io, QStringLiteral("这是一个文件夹"));
    // The read-only mark is the user's say, whoever runs the program.
    if (target.exists() && !(target.permissions() & QFileDevice::WriteOwner))
        return Status::error(Status::Kind::Io, QStringLiteral("文件是只读的"));
    return Status::ok();
}

Status OutputFile::failed(const QString &why, int error) const
{
    const QString system = m_device.failed() ? m_device.errorString() : m_file.errorString();
    qWarning("cannot write %s: %s", qUtf8Printable(m_path), qUtf8Printable(system));
    const QString reason = FileErrorText::forErrno(error);
    return Status::error(Status::Kind::Io,
                         reason.isEmpty() ? why : reason + QStringLiteral("，") + why);
}

Status OutputFile::open()
{
    if (Status s = checkTarget(m_path); !s.isOk())
        return s;
    errno = 0;
    if (!m_file.open(QIODevice::WriteOnly))
        return failed(QStringLiteral("无法在这个文件夹中创建文件"), errno);
    m_device.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    return Status::ok();
}

Status OutputFile::commit()
{
    // QSaveFile keeps the last bytes written in a buffer, and a failure to write them when it
    // closes does not stop its commit: a full disk would leave a cut-off file in place of the
    // old one. They are written out here, and checked, first.
    const QString unfinished = QStringLiteral("无法写完文件，原来的文件未改动");
    if (m_device.failed()) {
        const Status s = failed(unfinished, m_device.failure());
        m_file.cancelWriting();
        return s;
    }
    errno = 0;
    if (!m_file.flush()) {
        const Status s = failed(unfinished, errno);
        m_file.cancelWriting();
        return s;
    }
    errno = 0;
    if (!m_file.commit())
        return failed(unfinished, errno);
    return Status::ok();
}

} // namespace fenpai
