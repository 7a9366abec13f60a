#include "core/programfiles.h"

#include <QDir>
#include <QFileInfo>

namespace fenpai {

QString ProgramFiles::sharedDir(const QString &programDir)
{
    if (programDir.isEmpty())
        return {};
    const QDir bin(programDir);
    if (bin.dirName() != QLatin1String("bin"))
        return {};
    const QString shared = QDir::cleanPath(bin.filePath(QStringLiteral("../share/fenpai")));
    return QFileInfo(shared).isDir() ? shared : QString();
}

QString ProgramFiles::resourceDir(const QString &programDir)
{
    // The shared folder first: a prefix that once had the manual beside the binary keeps that
    // stale copy after an update, and the current one is in share/fenpai.
    const QString shared = sharedDir(programDir);
    if (!shared.isEmpty() && QFileInfo(QDir(shared).filePath(QStringLiteral("help"))).isDir())
        return shared;
    return programDir;
}

bool ProgramFiles::isInSystemTree(const QString &dir)
{
    if (dir.isEmpty())
        return false;
    // Merged /usr makes /bin a link to /usr/bin; a folder not made yet is judged by its path.
    const QFileInfo info(dir);
    const QString canonical = info.canonicalFilePath();
    const QString path = canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    return path == QLatin1String("/usr") || path.startsWith(QLatin1String("/usr/"));
}

} // namespace fenpai
