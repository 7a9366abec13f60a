#include "ui/main/passworddialog.h"

#include "jobs/workspace.h"
#include "ui/common/appstate.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenpai {

PasswordDialog::PasswordDialog(AppState &state, Workspace &workspace, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_workspace(workspace)
    , m_oldPasswordEdit(new QLineEdit(this))
    , m_newUserEdit(new QLineEdit(this))
    , m_newPasswordEdit(new QLineEdit(this))
    , m_confirmEdit(new QLineEdit(this))
{
    setObjectName(QStringLiteral("mimafrm"));
    setWindowTitle(QStringLiteral("用户名及密码"));
    m_oldPasswordEdit->setObjectName(QStringLiteral("oldText"));
    m_newUserEdit->setObjectName(QStringLiteral("useText"));
    m_newPasswordEdit->setObjectName(QStringLiteral("newText"));
    m_confirmEdit->setObjectName(QStringLiteral("okText"));
    for (QLineEdit *e : {m_oldPasswordEdit, m_newPasswordEdit, m_confirmEdit})
        e->setEchoMode(QLineEdit::Password);

    auto *frame = new QGroupBox(QStringLiteral("修改用户名和密码"), this);
    auto *form = new QFormLayout(frame);
    form->addRow(QStringLiteral("输入旧密码"), m_oldPasswordEdit);
    form->addRow(QStringLiteral("输入新用户名"), m_newUserEdit);
    form->addRow(QStringLiteral("输入新密码"), m_newPasswordEdit);
    form->addRow(QStringLiteral("新密码确认"), m_confirmEdit);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("确定(&O)"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("Command2"));
    ok->setDefault(true);
    QPushButton *cancel =
        buttons->addButton(QStringLiteral("取消(&C)"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Command1"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PasswordDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PasswordDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);
    // Most changes keep the name: it starts as it is, and the old password is asked first.
    m_newUserEdit->setText(m_state.userName());
    m_oldPasswordEdit->setFocus();
}

QLineEdit *PasswordDialog::fieldAtFault(UserAccounts::ChangeCheck check) const
{
    switch (check) {
    case UserAccounts::ChangeCheck::MissingOld:
    case UserAccounts::ChangeCheck::WrongOld:
        return m_oldPasswordEdit;
    case UserAccounts::ChangeCheck::MissingUser:
        return m_newUserEdit;
    case UserAccounts::ChangeCheck::MissingNew:
    case UserAccounts::ChangeCheck::Mismatch:
        return m_newPasswordEdit;
    case UserAccounts::ChangeCheck::MissingConfirm:
        return m_confirmEdit;
    case UserAccounts::ChangeCheck::Ok:
    case UserAccounts::ChangeCheck::Failed:
        break;
    }
    return nullptr;
}

void PasswordDialog::accept()
{
    const UserAccounts::Change change{m_state.userName(), m_oldPasswordEdit->text(),
                                      m_newUserEdit->text(), m_newPasswordEdit->text(),
                                      m_confirmEdit->text()};
    const Result<UserAccounts::ChangeOutcome> changed = m_workspace.changePassword(change);
    if (!changed) {
        m_message(this, QMessageBox::Warning, QString(), changed.status().message(),
                  QMessageBox::Ok);
        return;
    }
    const UserAccounts::ChangeOutcome &outcome = *changed;
    if (outcome.check == UserAccounts::ChangeCheck::Mismatch) {
        m_newPasswordEdit->clear();
        m_confirmEdit->clear();
    }
    m_message(this, QMessageBox::NoIcon, QString(), outcome.message, QMessageBox::Ok);
    if (outcome.check != UserAccounts::ChangeCheck::Ok) {
        // Back to the box to put right, its text selected for retyping.
        if (QLineEdit *fault = fieldAtFault(outcome.check)) {
            fault->setFocus();
            fault->selectAll();
        }
        return;
    }
    m_state.setUserName(outcome.userName);
    QDialog::accept();
}

} // namespace fenpai
