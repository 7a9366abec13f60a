#pragma once

#include "ui/common/messagesink.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace fenpai {

class AppState;

// frmLogin: checks a user name and password against ustarv and logs the user in. Modeless.
class LoginDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit LoginDialog(AppState &state, QWidget *parent = nullptr);

    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }

    QLineEdit *userNameEdit() const { return m_userName; }
    QLineEdit *passwordEdit() const { return m_password; }

    void accept() override; // cmdOK
    void reject() override; // cmdCancel: logged out, hidden

private:
    AppState &m_state;
    QLineEdit *m_userName;
    QLineEdit *m_password;
    MessageSink::Function m_message = &MessageSink::show;
};

} // namespace fenpai
