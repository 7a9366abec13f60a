#pragma once

#include "db/datadirectory.h"

#include <QObject>
#include <QString>

namespace fenpai {

// Program-wide state, owned by the main window and handed to whoever needs it: who is logged in,
// the title the next document receives, and where the data lives.
class AppState final : public QObject
{
    Q_OBJECT

public:
    explicit AppState(const DataDirectory &dataDirectory, QObject *parent = nullptr)
        : QObject(parent)
        , m_dataDirectory(dataDirectory)
    {}

    const DataDirectory &dataDirectory() const { return m_dataDirectory; }

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
    DataDirectory m_dataDirectory;
    bool m_loggedIn = false;
    QString m_userName;
    QString m_documentTitle;
};

} // namespace fenpai
