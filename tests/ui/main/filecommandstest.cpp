#include "ui/main/filecommands.h"
#include "db/database.h"
#include "db/datadirectory.h"
#include "grid/grid.h"
#include "jobs/documents/documentwriteback.h"
#include "jobs/documents/reportformat.h"
#include "ui/documents/documentwindow.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

struct Asked
{
    QString title;
    QString text;
    QMessageBox::Icon icon;
};

class Files : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Database db;
        ASSERT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
        ASSERT_TRUE(db.exec("CREATE TABLE 考生表 (学校 text, 姓名 text, 成绩 double)").isOk());
        ASSERT_TRUE(db.exec("INSERT INTO 考生表 VALUES ('一中','甲',95)").isOk());
        ASSERT_TRUE(db.exec("INSERT INTO 考生表 VALUES ('二中','乙',80)").isOk());
        MainWindow::Options options;
        options.dataDirectory = dir.path();
        options.programDir = dir.path();
        options.settingsFile = dir.filePath("settings.ini");
        w = std::make_unique<MainWindow>(options);
        w->setMessageFunction([this](QWidget *, QMessageBox::Icon icon, const QString &title,
                                     const QString &text, QMessageBox::StandardButtons) {
            messages.append({title, text, icon});
            return icon == QMessageBox::Question ? answer : QMessageBox::Ok;
        });
        files = w->findChild<FileCommands *>();
        ASSERT_NE(files, nullptr);
        files->setFileChooser([this](FileCommands::FileKind, bool) { return nextFile; });
    }

    QStringList table()
    {
        Database db;
        EXPECT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
        QStringList rows;
        Result<Query> q =
            db.query("SELECT 学校 || '/' || 姓名 || '/' || ifnull(成绩, '') FROM 考生表");
        for (; q && !q->atEnd(); q->next())
            rows.append(q->value(0).toString());
        return rows;
    }

    void run(const char *action, const QString &file = {})
    {
        nextFile = file;
        QAction *a = w->action(action);
        if (!a)
            a = w->findChild<QAction *>(action);
        ASSERT_NE(a, nullptr) << action;
        ASSERT_TRUE(a->isEnabled()) << action;
        a->trigger();
    }

    QTemporaryDir dir;
    std::unique_ptr<MainWindow> w;
    FileCommands *files = nullptr;
    QString nextFile;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    QList<Asked> messages;
};

} // namespace

TEST_F(Files, EditsGoBackToTheTableAllOrNothing)
{
    run("kstable");
    DocumentWindow *doc = w->activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(doc->hasUnsavedRecords()) << "centring the columns is no edit";
    Grid &g = doc->grid();
    g.setCellText(1, 3, "88");
    g.setCellText(3, 1, "三中");
    g.setCellText(3, 2, "丙");
    g.deleteRows(2);
    run("mnuSave");
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.last().text, "数据保存成功。");
    EXPECT_EQ(table(), QStringList({"一中/甲/88.0", "三中/丙/"}));

    // Text in the score column: refused, naming the cell, nothing written.
    g.setCellText(2, 3, "良");
    g.setCellText(1, 2, "甲甲");
    run("mnuSave");
    EXPECT_EQ(messages.last().text, "第2行“成绩”应为数字，现在是“良”。没有保存任何数据。");
    EXPECT_EQ(table(), QStringList({"一中/甲/88.0", "三中/丙/"}));

    // Closing asks: 取消 keeps the document, 保存 with a bad cell says why and keeps it too,
    // 不保存 closes it.
    QMdiSubWindow *sub = w->mdiArea()->currentSubWindow();
    answer = QMessageBox::Cancel;
    sub->close();
    EXPECT_EQ(w->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(messages.last().text, "“考生表”的数据已修改，是否保存到数据库？");
    answer = QMessageBox::Save;
    sub->close();
    EXPECT_EQ(w->mdiArea()->subWindowList().size(), 1);
    g.setCellText(2, 3, "60");
    sub->close();
    EXPECT_TRUE(w->mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(table(), QStringList({"一中/甲甲/88.0", "三中/丙/60.0"}));
}

TEST_F(Files, GridFilesExportsAndDocumentsThatCannotBeSavedBack)
{
    run("kstable");
    DocumentWindow *doc = w->activeDocument();
    doc->grid().setCellText(1, 1, "改过");
    const QString cel = dir.filePath("a.cel");
    run("mnuFileSaveAs", cel);
    EXPECT_EQ(messages.last().text, "保存成功。");

    // Opened into a new document the file is the same grid, cell for cell; it is no table's.
    w->openDocument();
    DocumentWindow *opened = w->activeDocument();
    run("mnuOpen", cel);
    EXPECT_EQ(opened->grid().toJson(), doc->grid().toJson());
    EXPECT_FALSE(opened->source().isTable());
    EXPECT_EQ(w->mdiArea()->subWindowList().size(), 2);

    // A file that cannot be read is named and leaves the document as it was.
    QFile bad(dir.filePath("bad.cel"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("{\"format\": \"fenpai-grid\"");
    bad.close();
    const int before = messages.size();
    run("mnuOpen", bad.fileName());
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_TRUE(messages.last().text.contains("bad.cel"));
    EXPECT_EQ(opened->grid().toJson(), doc->grid().toJson());

    // Not from a table: saving offers 另存为 instead.
    answer = QMessageBox::No;
    run("mnuSave");
    EXPECT_EQ(messages.last().text, DocumentWriteBack::notSavableText());

    for (const auto &[action, name] : {std::pair{"ExcelSave", "x.xlsx"},
                                       {"mnuExportHtml", "x.html"},
                                       {"mnuExportPdf", "x.pdf"}}) {
        run(action, dir.filePath(name));
        EXPECT_TRUE(QFile::exists(dir.filePath(name))) << name;
    }
}

// Saving or exporting a document onto the open database is refused, and the data stays.
TEST_F(Files, NothingIsSavedOverTheDatabase)
{
    run("kstable");
    const QString database = DataDirectory(dir.path()).databasePath();
    const QString link = dir.filePath("link.pdf");
    ASSERT_TRUE(QFile::link(database, link));
    for (const char *action : {"mnuFileSaveAs", "ExcelSave", "mnuExportHtml", "mnuExportPdf"}) {
        for (const QString &target : {database, link}) {
            const qsizetype before = messages.size();
            run(action, target);
            ASSERT_EQ(messages.size(), before + 1) << action;
            EXPECT_TRUE(messages.last().text.contains("不能把输出写到数据库文件上"))
                << action << ' ' << messages.last().text.toStdString();
        }
    }
    EXPECT_EQ(table(), QStringList({"一中/甲/95.0", "二中/乙/80.0"}));
}

TEST_F(Files, TheFactoryTitlesAreSaidOnceAndTheDialogSetsThem)
{
    int edits = 0;
    std::optional<ReportFormat::Subtitle> chosen;
    files->setTitleEditor([&](const ReportFormat::Subtitle &current) {
        ++edits;
        EXPECT_EQ(current.left, "XX县XX中学");
        return chosen;
    });
    const auto questions = [&] {
        int n = 0;
        for (const Asked &a : std::as_const(messages))
            n += a.icon == QMessageBox::Question ? 1 : 0;
        return n;
    };
    // A document that prints no titles asks nothing, however often it is exported.
    run("kstable");
    run("mnuExportPdf", dir.filePath("a.pdf"));
    EXPECT_EQ(questions(), 0);

    // A report with the factory titles: the first export asks; cancelling the dialog still
    // exports; the next export asks no more.
    DocumentWindow *doc = w->activeDocument();
    ReportFormat::setPrintTitles(doc->grid(), "考生表", w->workspace().reportSubtitle());
    answer = QMessageBox::Yes;
    run("mnuExportPdf", dir.filePath("b.pdf"));
    EXPECT_EQ(questions(), 1);
    EXPECT_TRUE(messages.last().text.contains("XX县XX中学"));
    EXPECT_EQ(edits, 1);
    EXPECT_TRUE(QFile::exists(dir.filePath("b.pdf")));
    run("mnuExportPdf", dir.filePath("c.pdf"));
    EXPECT_EQ(questions(), 1);
    EXPECT_EQ(edits, 1);

    // 工具 → 报表标题设置…: saved, and the open report prints the new titles.
    chosen = ReportFormat::Subtitle{"湖滨市第一中学", "2025学年第一学期", false};
    run("bbtsz");
    EXPECT_EQ(edits, 2);
    EXPECT_EQ(w->workspace().reportSubtitle().left, "湖滨市第一中学");
    EXPECT_EQ(doc->grid().reportTitles()[1].text, "湖滨市第一中学||2025学年第一学期");
}
