#pragma once

#include "ui/common/messagesink.h"

#include <QDialog>

class QLineEdit;

namespace fenpai {

class AppState;

// mimafrm: the logged-in user replaces his user name and password.
class PasswordDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit PasswordDialog(AppState &state, QWidget *parent = nullptr);

    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }

    QLineEdit *oldText() const { return m_old; }
    QLineEdit *useText() const { return m_user; }
    QLineEdit *newText() const { return m_new; }
    QLineEdit *okText() const { return m_confirm; }

    void accept() override; // Command2 "确定(&O)"

private:
    AppState &m_state;
    QLineEdit *m_old;
    QLineEdit *m_user;
    QLineEdit *m_new;
    QLineEdit *m_confirm;
    MessageSink::Function m_message = &MessageSink::show;
};

} // namespace fenpai
