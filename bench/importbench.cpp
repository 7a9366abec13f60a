// Import of a large workbook: 100,000 rows × 10 columns into 分班数据表. Prints the time per
// import (reading alone in BM_ReadXlsx) and the peak resident memory of an import process
// (target: < 2 s, < 300 MB). BM_ImportSparseOds: a 1 KB .ods whose 20,000 rows of 1,998 columns
// (40 million cells) are empty texts but one number each (targets: < 3 s, memory within twice
// the database it makes).
#include "db/database.h"
#include "db/datadirectory.h"
#include "jobs/import/spreadsheetimport.h"
#include "workbook/sheettable.h"
#include "workbook/workbookreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>

namespace {

constexpr int rows = 100000;

// Written in a child process, so the writer's own memory does not count as the import's.
bool writeWorkbook(const QString &path, bool inlineStrings)
{
    const pid_t child = fork();
    if (child == 0) {
        lxw_workbook_options options = {};
        options.constant_memory = inlineStrings ? LXW_TRUE : LXW_FALSE; // inline vs shared
        lxw_workbook *book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(book, "Sheet1");
        const char *header[] = {"学号",   "姓名", "性别", "成绩", "原学校",
                                "原班级", "语文", "数学", "英语", "备注"};
        for (int c = 0; c < 10; ++c)
            worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), header[c], nullptr);
        const char *surnames = "王李张刘陈杨黄赵吴周";
        for (int r = 1; r <= rows; ++r) {
            const auto row = static_cast<lxw_row_t>(r);
            const std::string name = std::string(surnames + 3 * (r % 10), 3) + std::to_string(r);
            worksheet_write_number(sheet, row, 0, 2026000000 + r, nullptr);
            worksheet_write_string(sheet, row, 1, name.c_str(), nullptr);
            worksheet_write_string(sheet, row, 2, r % 2 ? "男" : "女", nullptr);
            worksheet_write_number(sheet, row, 3, 300 + (r * 37 % 4000) / 10.0, nullptr);
            worksheet_write_string(sheet, row, 4,
                                   (std::string("第") + std::to_string(r % 8) + "小学").c_str(),
                                   nullptr);
            worksheet_write_string(sheet, row, 5,
                                   (std::string("六(") + std::to_string(r % 4 + 1) + ")班").c_str(),
                                   nullptr);
            worksheet_write_number(sheet, row, 6, r % 120, nullptr);
            worksheet_write_number(sheet, row, 7, (r * 7) % 120, nullptr);
            worksheet_write_number(sheet, row, 8, (r * 13) % 120 + 0.5, nullptr);
            worksheet_write_string(sheet, row, 9, r % 3 ? "" : "备注文字", nullptr);
        }
        _exit(workbook_close(book) == LXW_NO_ERROR ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

QTemporaryDir *workDir = nullptr;

// The sparse sheet's columns are named 列, 列1, 列2 …: the fields are given by hand.
bool isSparse(const QString &file)
{
    return file.endsWith(QLatin1String(".ods"));
}

bool importInto(const QString &dataDir, const QString &file)
{
    fenpai::DataDirectory directory(dataDir);
    fenpai::Database db;
    if (!directory.openDatabase(db).isOk())
        return false;
    fenpai::ImportRequest request{fenpai::ImportKind::Division, {workDir->filePath(file)}, {}, {}};
    if (isSparse(file))
        request.columns = {{"姓名", "列"}, {"性别", "列1"}, {"成绩", "列2"}, {"原学校", "列3"}};
    const auto report = fenpai::SpreadsheetImport::import(db, request);
    return report.isOk() && report->tables.front().rowCount == (isSparse(file) ? 20000 : rows);
}

// One row of 1,998 names, then 20,000 rows of a number and 1,997 empty texts.
bool writeSparseOds(const QString &path)
{
    const QByteArray content =
        R"(<?xml version="1.0"?><office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet><table:table table:name="Sheet1">)"
        R"(<table:table-row><table:table-cell table:number-columns-repeated="1998" office:value-type="string"><text:p>列</text:p></table:table-cell></table:table-row>)"
        R"(<table:table-row table:number-rows-repeated="20000"><table:table-cell office:value-type="float" office:value="7"/><table:table-cell table:number-columns-repeated="1997" office:value-type="string"><text:p/></table:table-cell></table:table-row>)"
        "</table:table></office:spreadsheet></office:body></office:document-content>";
    const QByteArray mimetype = "application/vnd.oasis.opendocument.spreadsheet";
    int error = 0;
    zip *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto &[name, data] : {std::pair{"mimetype", &mimetype}, {"content.xml", &content}}) {
        zip_source_t *source = zip_source_buffer(archive, data->constData(),
                                                 static_cast<zip_uint64_t>(data->size()), 0);
        if (!source || zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

// The peak resident memory of one import, in MB: run in a child process whose maximum resident
// set size the kernel reports (it includes the little the process holds before importing).
double importPeakMb(const QString &file)
{
    QTemporaryDir dataDir;
    const pid_t child = fork();
    if (child == 0)
        _exit(importInto(dataDir.path(), file) ? 0 : 1);
    int status = 0;
    rusage usage = {};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void importWorkbook(benchmark::State &state, const QString &file)
{
    qint64 databaseBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dataDir;
        state.ResumeTiming();
        if (!importInto(dataDir.path(), file)) {
            state.SkipWithError("import failed");
            return;
        }
        state.PauseTiming();
        databaseBytes = QFileInfo(fenpai::DataDirectory(dataDir.path()).databasePath()).size();
        state.ResumeTiming();
    }
    state.counters["rows"] = isSparse(file) ? 20000 : rows;
    state.counters["peak_rss_MB"] = importPeakMb(file);
    state.counters["database_MB"] = static_cast<double>(databaseBytes) / (1024.0 * 1024.0);
}

void BM_ReadXlsx(benchmark::State &state)
{
    for (auto _ : state) {
        const auto book = fenpai::WorkbookReader::read(
            workDir->filePath(QStringLiteral("shared.xlsx")), {QStringLiteral("Sheet1")});
        if (!book.isOk()) {
            state.SkipWithError("read failed");
            return;
        }
        fenpai::SheetTable table(*book->sheet(QStringLiteral("Sheet1")));
        benchmark::DoNotOptimize(table.rowCount());
    }
}
BENCHMARK(BM_ReadXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportXlsxSharedStrings(benchmark::State &state)
{
    importWorkbook(state, QStringLiteral("shared.xlsx"));
}
BENCHMARK(BM_ImportXlsxSharedStrings)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportXlsxInlineStrings(benchmark::State &state)
{
    importWorkbook(state, QStringLiteral("inline.xlsx"));
}
BENCHMARK(BM_ImportXlsxInlineStrings)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportSparseOds(benchmark::State &state)
{
    importWorkbook(state, QStringLiteral("sparse.ods"));
}
BENCHMARK(BM_ImportSparseOds)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    workDir = &dir;
    if (!writeWorkbook(dir.filePath(QStringLiteral("shared.xlsx")), false) ||
        !writeWorkbook(dir.filePath(QStringLiteral("inline.xlsx")), true) ||
        !writeSparseOds(dir.filePath(QStringLiteral("sparse.ods")))) {
        std::fprintf(stderr, "cannot write the benchmark workbooks\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
