#include "ui/main/logindialog.h"

#include "jobs/workspace.h"
#include "ui/common/appstate.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenpai {

LoginDialog::LoginDialog(AppState &state, Workspace &workspace, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_workspace(workspace)
    , m_userNameEdit(new QLineEdit(this))
    , m_passwordEdit(new QLineEdit(this))
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("登录"));
    m_userNameEdit->setObjectName(QStringLiteral("txtUserName"));
    m_passwordEdit->setObjectName(QStringLiteral("txtPassword"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);

    auto *form = new QFormLayout;
    auto *userLabel = new QLabel(QStringLiteral("用户名称(&U):"), this);
    userLabel->setBuddy(m_userNameEdit);
    auto *passwordLabel = new QLabel(QStringLiteral("密码(&P):"), this);
    passwordLabel->setBuddy(m_passwordEdit);
    form->addRow(userLabel, m_userNameEdit);
    form->addRow(passwordLabel, m_passwordEdit);

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
    m_userNameEdit->setMinimumWidth(200);
}

void LoginDialog::accept()
{
    const Status opened = m_workspace.open();
    if (!opened.isOk()) {
        m_message(this, QMessageBox::Warning, QStringLiteral("登录"), opened.message(),
                  QMessageBox::Ok);
        return;
    }
    const Result<QString> user = m_workspace.use([&](Database &db) {
        return UserAccounts::login(db, m_userNameEdit->text(), m_passwordEdit->text());
    });
    if (!user) {
        m_message(this, QMessageBox::NoIcon, QStringLiteral("登录"), user.status().message(),
                  QMessageBox::Ok);
        m_passwordEdit->setFocus();
        m_passwordEdit->selectAll();
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
