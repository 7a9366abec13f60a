#include "ui/main/importmenu.h"

#include "jobs/import/spreadsheetimport.h"
#include "ui/common/datachanges.h"
#include "ui/import/importflow.h"
#include "ui/main/mainwindow.h"

#include <QFileDialog>

namespace fenpai {

ImportMenu::ImportMenu(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    m_window.wire(QStringLiteral("xsfb"), this, [this] { import(ImportKind::Division); });
    m_window.wire(QStringLiteral("kcbp"), this, [this] { import(ImportKind::Arrangement); });
    m_window.wire(QStringLiteral("cjsj"), this, [this] { import(ImportKind::Scores); });
}

void ImportMenu::import(ImportKind kind)
{
    ImportFlow flow(&m_window, m_window.workspace(), m_window.messageFunction(),
                    [this](const QString &caption) {
                        if (const auto &choose = m_window.fileChooser())
                            return choose();
                        return QFileDialog::getOpenFileName(&m_window, caption, QString(),
                                                            SpreadsheetImport::fileFilter());
                    });
    const std::optional<ImportReport> report = flow.run(kind);
    if (report)
        announce(*report);
}

void ImportMenu::announce(const ImportReport &report)
{
    QStringList counts;
    QStringList tables;
    for (const ImportedTable &table : report.tables) {
        counts.append(QStringLiteral("%1 %2 行").arg(table.table).arg(table.rowCount));
        tables.append(table.table);
    }
    m_window.setStatusText(1, QStringLiteral("已导入：") + counts.join(QStringLiteral("，")));
    // The submenus list the data, so they follow a new import.
    m_window.rebuildNewClassMenu();
    m_window.rebuildRoomAndClassMenus();
    m_window.rebuildSchoolMenu();
    m_window.dataChanges().announce(tables);
}

} // namespace fenpai
