#include "ui/import/importflow.h"

#include "jobs/import/preparedimport.h"
#include "jobs/import/replacedresults.h"
#include "jobs/import/spreadsheetimport.h"
#include "jobs/workspace.h"
#include "ui/common/jobprogress.h"
#include "ui/import/columnmappingdialog.h"
#include "ui/import/sheetchoicedialog.h"

#include <algorithm>

namespace fenpai {

ImportFlow::ImportFlow(QWidget *parent, Workspace &workspace, MessageSink::Function message,
                       FileChooser chooseFile)
    : m_parent(parent)
    , m_workspace(workspace)
    , m_message(std::move(message))
    , m_chooseFile(std::move(chooseFile))
{}

std::optional<ImportReport> ImportFlow::run(ImportKind kind)
{
    ImportRequest request;
    request.kind = kind;
    const QString path = m_chooseFile(QStringLiteral("导入数据"));
    if (path.isEmpty())
        return std::nullopt;
    if (const Status opened = m_workspace.open(); !opened.isOk()) {
        m_message(m_parent, QMessageBox::Warning, SpreadsheetImport::adviceTitle(),
                  opened.message(), QMessageBox::Ok);
        return std::nullopt;
    }
    request.files = {path};
    std::optional<PreparedImport> prepared = prepare(request);
    if (!prepared || !askSheets(*prepared) || !askColumns(*prepared) ||
        !confirmReplacing(*prepared))
        return std::nullopt;
    // The writing runs on a connection of its own and cannot stop part-way, so its progress
    // window has no cancel button.
    std::optional<Result<ImportReport>> report;
    JobProgress(m_parent, QStringLiteral("正在导入数据……"))
        .run(
            [&](const JobProgress::Report &) {
                report =
                    m_workspace.useOwnConnection([&](Database &db) { return prepared->write(db); });
            },
            false);
    if (!*report) {
        fail(report->status().message());
        return std::nullopt;
    }
    tell(**report);
    return std::move(**report);
}

std::optional<PreparedImport> ImportFlow::prepare(ImportRequest &request)
{
    for (;;) {
        std::optional<Result<PreparedImport>> read;
        JobProgress(m_parent, QStringLiteral("正在读取数据……"))
            .run([&](const JobProgress::Report &) { read = PreparedImport::read(request); }, false);
        Result<PreparedImport> &prepared = *read;
        if (!prepared) {
            fail(prepared.status().message());
            return std::nullopt;
        }
        // A one-sheet file gave the first table; the second comes from a file of its own.
        const auto &tables = prepared->tables();
        const auto wanting =
            std::find_if(tables.begin(), tables.end(), [](const auto &t) { return t.wantsFile; });
        if (wanting == tables.end() || request.files.size() > 1)
            return std::move(*prepared);
        const QString second = m_chooseFile(QStringLiteral("选择%1的文件").arg(wanting->table));
        if (second.isEmpty())
            return std::nullopt;
        request.files.append(second);
    }
}

bool ImportFlow::askSheets(PreparedImport &prepared)
{
    for (size_t i = 0; i < prepared.tables().size(); ++i) {
        while (prepared.tables()[i].sheet.isEmpty()) {
            if (prepared.tables()[i].wantsFile) {
                fail(prepared.tables()[i].sheetProblem);
                return false;
            }
            SheetChoiceDialog dialog(prepared.tables()[i], m_parent);
            if (dialog.exec() != QDialog::Accepted)
                return false;
            if (const Status s = prepared.chooseSheet(i, dialog.sheet()); !s.isOk())
                fail(s.message());
        }
    }
    return true;
}

bool ImportFlow::askColumns(PreparedImport &prepared)
{
    if (!prepared.needsReview())
        return true;
    for (size_t i = 0; i < prepared.tables().size(); ++i) {
        bool review = !prepared.missingFields(i).isEmpty();
        for (const FieldMatch &m : prepared.tables()[i].matches)
            review = review || m.how == FieldMatch::How::Synonym;
        if (!review)
            continue;
        ColumnMappingDialog dialog(prepared, i, m_parent);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        prepared.chooseColumns(i, dialog.columns());
    }
    return true;
}

bool ImportFlow::confirmReplacing(const PreparedImport &prepared)
{
    // A table that cannot be read here will not be written either: the writing says why.
    const Result<std::vector<ReplacedResult>> replaced = m_workspace.use(
        [&](Database &db) { return ReplacedResults::find(db, prepared.tableNames()); });
    if (!replaced)
        return true;
    for (const ReplacedResult &r : *replaced) {
        if (m_message(m_parent, QMessageBox::Question, SpreadsheetImport::successTitle(),
                      r.question(), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return false;
    }
    return true;
}

void ImportFlow::fail(const QString &text)
{
    m_message(m_parent, QMessageBox::NoIcon, SpreadsheetImport::adviceTitle(), text,
              QMessageBox::Ok);
}

void ImportFlow::tell(const ImportReport &report)
{
    QString text = SpreadsheetImport::successMessage();
    if (const QString mapping = report.mappingNotice(); !mapping.isEmpty())
        text += QStringLiteral("\n\n导入时对应的字段：\n") + mapping;
    if (const QString controls = report.controlsNotice(); !controls.isEmpty())
        text += QStringLiteral("\n\n") + controls;
    m_message(m_parent, QMessageBox::NoIcon, SpreadsheetImport::successTitle(), text,
              QMessageBox::Ok);
    if (report.lacksColumns())
        m_message(m_parent, QMessageBox::Information, SpreadsheetImport::successTitle(),
                  report.missingColumnsNotice(), QMessageBox::Ok);
}

} // namespace fenpai
