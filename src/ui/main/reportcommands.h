#pragma once

#include "jobs/reports/reportcatalogue.h"

#include <QObject>

namespace fenpai {

class DocumentWindow;
class MainWindow;

// The window's report entries, one for each row of the report catalogue: a menu entry or the
// items of a data-driven submenu, each opening its report in a new document. Owned by the window.
class ReportCommands final : public QObject
{
    Q_OBJECT

public:
    explicit ReportCommands(MainWindow &window);

    // The report in a new document, behind the login when it needs one; nullptr, after saying
    // why, when it cannot be built.
    DocumentWindow *show(const ReportCatalogue::Entry &entry,
                         const ReportCatalogue::Request &request);

private:
    void wire(const ReportCatalogue::Entry &entry);

    MainWindow &m_window;
};

} // namespace fenpai
