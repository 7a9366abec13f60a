#pragma once

#include "ui/common/messagesink.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace fenpai {

class AppState;
class Workspace;

// Checks a user name and password against the user table and logs the user in. Modeless.
class LoginDialog final : public QDialog
{
    Q_OBJECT

public:
    LoginDialog(AppState &state, Workspace &workspace, QWidget *parent = nullptr);

    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }

    QLineEdit *userNameEdit() const { return m_userNameEdit; }
    QLineEdit *passwordEdit() const { return m_passwordEdit; }

    void accept() override;
    void reject() override; // logs out and hides

private:
    AppState &m_state;
    Workspace &m_workspace;
    QLineEdit *m_userNameEdit;
    QLineEdit *m_passwordEdit;
    MessageSink::Function m_message = &MessageSink::show;
};

} // namespace fenpai
