// Replays every input the fuzzers once found (tests/workbook/regressions/<reader>/): each must be
// read or refused without a crash, a sanitizer report or a hang.
#include "../../fuzz/workbookfuzz.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace fenpai::test {
namespace {

int replay(const QString &reader, void (*read)(const std::uint8_t *, std::size_t))
{
    const QDir dir(QStringLiteral(FENPAI_SOURCE_DIR "/tests/workbook/regressions/") + reader);
    int count = 0;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        SCOPED_TRACE(name.toStdString());
        read(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
             static_cast<std::size_t>(bytes.size()));
        ++count;
    }
    return count;
}

// A reader's folder may still be empty; the CSV one holds inputs, so the replay is seen to run.
TEST(FuzzRegressions, InputsReadOrAreRefused)
{
    replay(QStringLiteral("xlsx"), &fuzz::readXlsx);
    replay(QStringLiteral("ods"), &fuzz::readOds);
    EXPECT_GT(replay(QStringLiteral("csv"), &fuzz::readCsv), 0);
}

} // namespace
} // namespace fenpai::test
