#pragma once

#include <QObject>
#include <QStringList>

class QAction;

namespace fenpai {

class MainWindow;

// Keeps the open documents true to their data: when a job changes tables, the documents made
// from them are marked out of date, and 视图 → 刷新 (F5) makes the active one again. Owned by the
// window.
class DocumentCommands final : public QObject
{
    Q_OBJECT

public:
    explicit DocumentCommands(MainWindow &window);

    void refresh();

private:
    void tablesChanged(const QStringList &tables, QObject *by);
    void documentActivated();

    MainWindow &m_window;
    QAction *m_refresh = nullptr;
};

} // namespace fenpai
