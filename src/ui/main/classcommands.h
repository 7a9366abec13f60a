#pragma once

#include "jobs/reports/classreports.h"

#include <QObject>
#include <QPointer>

namespace fenpai {

class DocumentWindow;
class MainWindow;

// The window's class commands: 原分班表信息, 新班统计 and the items of 浏览新班级, each report in
// a new document, and 手工调整. Owned by the window.
class ClassCommands final : public QObject
{
    Q_OBJECT

public:
    explicit ClassCommands(MainWindow &window);

    // The report in a new document; nullptr, after saying why, when it cannot be built.
    DocumentWindow *show(ClassReports::Kind kind, int number = 0);

private:
    MainWindow &m_window;
    QPointer<QWidget> m_adjust;
};

} // namespace fenpai
