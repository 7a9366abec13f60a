#pragma once

#include "jobs/status/yearstatus.h"

#include <QHash>
#include <QScrollArea>

class QAbstractButton;
class QBoxLayout;
class QGroupBox;
class QLabel;
class QPushButton;

namespace fenpai {

class MainWindow;

// What the workspace shows while no document is open: the two roads (分班, 考场编排) side by side,
// each step with its state read from the database and a link that runs the menu command, the next
// step of each road marked; the login first while nobody is logged in; the demo data and the
// manual's pages. It lies over the documents' area and is shown only while no document is open;
// it reads the state again after every job and every login.
class StartPage final : public QScrollArea
{
    Q_OBJECT

public:
    explicit StartPage(MainWindow &window);

    void refresh();
    const YearStatus &status() const { return m_status; }
    // The links by their object names ("start" + the menu entry's name, as startxsfb); the
    // links of one road's next step are marked with the property "next".
    QPushButton *link(const QString &objectName) const;
    QLabel *stateLabel(const QString &objectName) const;
    // How a demo import is confirmed; tests answer instead of a message box.
    void setAsk(std::function<bool(const QString &)> ask) { m_ask = std::move(ask); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QGroupBox *buildDivisionRoad();
    QGroupBox *buildArrangementRoad();
    QWidget *buildFooter();
    QPushButton *addLink(QBoxLayout *row, const QString &entry, const QString &caption);
    QLabel *addState(QBoxLayout *road, const QString &name, const QString &step);
    void runEntry(const QString &entry);
    void markNext(const QStringList &entries);
    void importDemo();
    void followDocuments();

    MainWindow &m_window;
    QWidget *m_viewport = nullptr; // the documents' area's, whose documents the page follows
    YearStatus m_status;
    QWidget *m_login = nullptr;
    QHash<QString, QPushButton *> m_links;
    QHash<QString, QLabel *> m_states;
    std::function<bool(const QString &)> m_ask;
};

} // namespace fenpai
