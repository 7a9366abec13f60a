#include "core/fileerrortext.h"

#include <QFileInfo>

#include <cerrno>

namespace fenpai {

QString FileErrorText::forErrno(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("文件或文件夹不存在");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有访问权限");
    case EISDIR:
        return QStringLiteral("这是一个文件夹，不是文件");
    case ENOTDIR:
        return QStringLiteral("路径中有一段不是文件夹");
    case ENOSPC:
        return QStringLiteral("磁盘空间不足");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("超出了磁盘配额");
#endif
    case EFBIG:
        return QStringLiteral("文件超过了允许的大小");
    case EROFS:
        return QStringLiteral("磁盘是只读的");
    case ENAMETOOLONG:
        return QStringLiteral("文件名太长");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("同时打开的文件太多");
    case EIO:
        return QStringLiteral("读写磁盘时出错");
    case EEXIST:
        return QStringLiteral("文件已存在");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("文件正被使用");
    case ELOOP:
        return QStringLiteral("符号链接太多层");
    default:
        return {};
    }
}

QString FileErrorText::describe(const QFileDevice &file, int error)
{
    // Qt finds a folder itself and leaves errno as it was, so the path is asked first.
    if (!file.fileName().isEmpty() && QFileInfo(file.fileName()).isDir())
        return forErrno(EISDIR);
    if (const QString words = forErrno(error); !words.isEmpty())
        return words;
    switch (file.error()) {
    case QFileDevice::ReadError:
        return QStringLiteral("无法读取文件");
    case QFileDevice::WriteError:
        return QStringLiteral("无法写入文件");
    case QFileDevice::OpenError:
        return QStringLiteral("无法打开文件");
    case QFileDevice::PermissionsError:
        return forErrno(EACCES);
    case QFileDevice::ResourceError:
        return QStringLiteral("系统资源不足");
    case QFileDevice::RenameError:
    case QFileDevice::CopyError:
    case QFileDevice::RemoveError:
        return QStringLiteral("无法替换文件");
    case QFileDevice::NoError:
    case QFileDevice::FatalError:
    case QFileDevice::AbortError:
    case QFileDevice::TimeOutError:
    case QFileDevice::UnspecifiedError:
    case QFileDevice::ResizeError:
    case QFileDevice::PositionError:
        break;
    }
    return QStringLiteral("文件操作失败");
}

} // namespace fenpai
