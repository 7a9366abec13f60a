#include "ui/main/logindialog.h"

#include "db/database.h"
#include "db/useraccounts.h"
#include "ui/common/appstate.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenpai {

LoginDialog::LoginDialog(AppState &state, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_userName(new QLineEdit(this))
    , m_password(new QLineEdit(this))
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("登录"));
    m_userName->setObjectName(QStringLiteral("txtUserName"));
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);

    auto *form = new QFormLayout;
    auto *userLabel = new QLabel(QStringLiteral("用户名称(&U):"), this);
    userLabel->setBuddy(m_userName);
    auto *passwordLabel = new QLabel(QStringLiteral("密码(&P):"), this);
    passwordLabel->setBuddy(m_password);
    form->addRow(userLabel, m_userName);
    form->addRow(passwordLabel, m_password);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    QPushButton *cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &LoginDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LoginDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_userName->setMinimumWidth(200);
}

void LoginDialog::accept()
{
    Database db;
    Status opened = m_state.dataDirectory().openDatabase(db);
    if (!opened.isOk()) {
        m_message(this, QMessageBox::Warning, QStringLiteral("登录"), opened.message(),
                  QMessageBox::Ok);
        return;
    }
    const Result<QString> user = UserAccounts::login(db, m_userName->text(), m_password->text());
    db.close();
    if (!user) {
        m_message(this, QMessageBox::NoIcon, QStringLiteral("登录"), user.status().message(),
                  QMessageBox::Ok);
        m_password->setFocus();
        m_password->selectAll();
        return;
    }
    m_state.logIn(*user);
    hide();
    m_message(parentWidget(), QMessageBox::NoIcon, QStringLiteral("登录"),
              QStringLiteral("登录成功!"), QMessageBox::Ok);
    QDialog::accept();
}

void LoginDialog::reject()
{
    m_state.logOut();
    QDialog::reject();
}

} // namespace fenpai
