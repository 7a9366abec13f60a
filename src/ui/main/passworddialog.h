#pragma once

#include "jobs/workspace.h"
#include "ui/common/messagesink.h"

#include <QDialog>

class QLineEdit;

namespace fenpai {

class AppState;
class Workspace;

// The logged-in user replaces his user name and password; the new name starts as the current one.
// A refusal puts the focus back in the box at fault.
class PasswordDialog final : public QDialog
{
    Q_OBJECT

public:
    PasswordDialog(AppState &state, Workspace &workspace, QWidget *parent = nullptr);

    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }

    QLineEdit *oldPasswordEdit() const { return m_oldPasswordEdit; }
    QLineEdit *newUserEdit() const { return m_newUserEdit; }
    QLineEdit *newPasswordEdit() const { return m_newPasswordEdit; }
    QLineEdit *confirmEdit() const { return m_confirmEdit; }

    void accept() override;

private:
    QLineEdit *fieldAtFault(UserAccounts::ChangeCheck check) const;

    AppState &m_state;
    Workspace &m_workspace;
    QLineEdit *m_oldPasswordEdit;
    QLineEdit *m_newUserEdit;
    QLineEdit *m_newPasswordEdit;
    QLineEdit *m_confirmEdit;
    MessageSink::Function m_message = &MessageSink::show;
};

} // namespace fenpai
