#include "db/datadirectory.h"

#include "db/database.h"
#include "db/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <sqlite3.h>

namespace fenpai {

namespace {

bool isWritableDir(const QString &dir)
{
    const QString suju = QDir(dir).filePath(QStringLiteral("suju"));
    const QFileInfo info(QFileInfo::exists(suju) ? suju : dir);
    if (!info.isDir())
        return false;
    QTemporaryFile probe(info.absoluteFilePath() + QStringLiteral("/.fenpai-probe-XXXXXX"));
    return probe.open();
}

bool markedReadOnly(const QFileInfo &info)
{
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !info.isWritable() || !(info.permissions() & anyWrite);
}

} // namespace

QString DataDirectory::resolve(const QString &explicitDir, const QString &programDir)
{
    if (!explicitDir.isEmpty())
        return explicitDir;
    const QString fromEnv = qEnvironmentVariable("FENPAI_DATA_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    const QString installed = installedDir(programDir);
    const QString shared = installed.isEmpty() ? programDir : installed;
    // A prefix such as /usr/local belongs to the administrator: each user keeps data of their own.
    return isWritableDir(shared) ? shared : userDir();
}

QString DataDirectory::installedDir(const QString &programDir)
{
    const QDir bin(programDir);
    if (bin.dirName() != QLatin1String("bin"))
        return {};
    const QString shared = QDir::cleanPath(bin.filePath(QStringLiteral("../share/fenpai")));
    return QFileInfo(shared).isDir() ? shared : QString();
}

QString DataDirectory::userDir()
{
    // Data kept in the per-user folder of earlier versions stays where it is: a user must not
    // find an empty database after an update.
    const QString generic = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!generic.isEmpty()) {
        const QString earlier = QDir(generic).filePath(QStringLiteral("fenpai"));
        if (QFileInfo::exists(databasePath(earlier)))
            return earlier;
    }
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return user.isEmpty() ? QDir::home().filePath(QStringLiteral(".fenpai")) : user;
}

QString DataDirectory::databasePath(const QString &dir)
{
    QString path = dir;
    if (!path.endsWith(u'/') && !path.endsWith(u'\\'))
        path += u'/';
    return path + QStringLiteral("suju/sujuf.mdb");
}

Status DataDirectory::openDatabase(Database &db) const
{
    const QString file = databasePath();
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        return Status::error(Status::Kind::Io, QStringLiteral("无法创建数据目录 ") + folder);
    const bool isNew = !QFileInfo::exists(file);
    // A file or folder marked read-only is the user's say, whoever runs the program: the data is
    // read, and every change is refused, instead of being written behind the mark.
    OpenOptions options;
    options.readOnly =
        !isNew && (markedReadOnly(QFileInfo(file)) || markedReadOnly(QFileInfo(folder)));
    Status s = db.open(file, options);
    if (!s.isOk()) {
        if ((s.sqliteCode() & 0xff) == SQLITE_NOTADB)
            return Status::error(Status::Kind::Io, QStringLiteral("文件 ") + file +
                                                       QStringLiteral(" 不是本程序的数据库文件"));
        return s.withContext(QStringLiteral("无法打开数据库 ") + file + QStringLiteral("："));
    }
    s = Schema::ensure(db);
    if (!s.isOk()) {
        db.close();
        if (isNew)
            QFile::remove(file);
        return s.withContext(QStringLiteral("无法建立数据库 ") + file + QStringLiteral("："));
    }
    return Status::ok();
}

} // namespace fenpai
