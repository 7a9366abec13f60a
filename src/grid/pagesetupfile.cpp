#include "grid/pagesetupfile.h"

#include "core/fileerrortext.h"
#include "grid/griddata.h"
#include "grid/gridfilereader.h"
#include "grid/gridfilewriter.h"
#include "grid/outputfile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>

namespace fenpai {

Status PageSetupFile::save(const PageSetup &setup, const QString &path)
{
    const auto failed = [&](const QString &why) {
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法保存页面设置文件“%1”：%2").arg(path, why));
    };
    const QJsonObject root{
        {QStringLiteral("format"), QLatin1String(kFormatName)},
        {QStringLiteral("version"), kVersion},
        {QStringLiteral("pageSetup"), GridFileWriter::pageSetupJson(setup)},
    };
    OutputFile file(path);
    if (const Status s = file.open(); !s.isOk())
        return failed(s.message());
    file.device()->write(QJsonDocument(root).toJson());
    if (const Status s = file.commit(); !s.isOk())
        return failed(s.message());
    return Status::ok();
}

Result<PageSetup> PageSetupFile::load(const QString &path)
{
    const auto failed = [&](const QString &why) {
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法读取页面设置文件“%1”：%2").arg(path, why));
    };
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return failed(FileErrorText::describe(file, errno));
    // A page setup is a few hundred bytes; anything far larger is not one.
    const QByteArray bytes = file.read(1 << 20);
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    if (root.value(QStringLiteral("format")).toString() != QLatin1String(kFormatName) ||
        !root.value(QStringLiteral("pageSetup")).isObject())
        return failed(QStringLiteral("不是页面设置文件"));
    if (root.value(QStringLiteral("version")).toInt() > kVersion)
        return failed(QStringLiteral("由较新版本的程序保存"));
    GridData scratch;
    GridFileReader reader(&scratch, nullptr);
    PageSetup setup;
    if (const Status s = reader.readPageSetup(root.value(QStringLiteral("pageSetup")), &setup);
        !s.isOk())
        return failed(s.message());
    return setup;
}

} // namespace fenpai
