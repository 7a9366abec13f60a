#pragma once

#include <QObject>
#include <QString>

namespace fenpai {

// Program-wide state, owned by the main window and handed to whoever needs it: who is logged in
// and the title the next document receives. The data is reached through the Workspace.
class AppState final : public QObject
{
    Q_OBJECT

public:
    explicit AppState(QObject *parent = nullptr)
        : QObject(parent)
    {}

    bool isLoggedIn() const { return m_loggedIn; }
    const QString &userName() const { return m_userName; }
    void logIn(const QString &userName);
    void logOut();
    void setUserName(const QString &userName) { m_userName = userName; }

    const QString &documentTitle() const { return m_documentTitle; }
    void setDocumentTitle(const QString &title) { m_documentTitle = title; }

signals:
    void loginChanged(bool loggedIn);

private:
    bool m_loggedIn = false;
    QString m_userName;
    QString m_documentTitle;
};

} // namespace fenpai
