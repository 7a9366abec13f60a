#pragma once

#include "jobs/import/importfields.h"
#include "jobs/import/importreport.h"

#include <QObject>

namespace fenpai {

class MainWindow;

// 文件 → 导入数据: the intake (新生分班数据), the examinees and rooms (考场编排数据) and the scores
// and teachers (成绩数据), each through ImportFlow; afterwards the status bar names what came in,
// the data-driven submenus follow and the documents made from the replaced tables are marked.
// Owned by the window.
class ImportMenu final : public QObject
{
    Q_OBJECT

public:
    explicit ImportMenu(MainWindow &window);

    void import(ImportKind kind);
    // What follows an import made elsewhere (the start page's demo data): the status bar, the
    // submenus and the documents of the replaced tables.
    void announce(const ImportReport &report);

private:
    MainWindow &m_window;
};

} // namespace fenpai
