#include "ui/main/passworddialog.h"

#include "db/database.h"
#include "db/useraccounts.h"
#include "ui/common/appstate.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenpai {

PasswordDialog::PasswordDialog(AppState &state, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_old(new QLineEdit(this))
    , m_user(new QLineEdit(this))
    , m_new(new QLineEdit(this))
    , m_confirm(new QLineEdit(this))
{
    setObjectName(QStringLiteral("mimafrm"));
    setWindowTitle(QStringLiteral("用户名及密码"));
    m_old->setObjectName(QStringLiteral("oldText"));
    m_user->setObjectName(QStringLiteral("useText"));
    m_new->setObjectName(QStringLiteral("newText"));
    m_confirm->setObjectName(QStringLiteral("okText"));
    for (QLineEdit *e : {m_old, m_new, m_confirm})
        e->setEchoMode(QLineEdit::Password);

    auto *frame = new QGroupBox(QStringLiteral("修改用户名和密码"), this);
    auto *form = new QFormLayout(frame);
    form->addRow(QStringLiteral("输入旧密码"), m_old);
    form->addRow(QStringLiteral("输入新用户名"), m_user);
    form->addRow(QStringLiteral("输入新密码"), m_new);
    form->addRow(QStringLiteral("新密码确认"), m_confirm);

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
}

void PasswordDialog::accept()
{
    UserAccounts::Change change{m_state.userName(), m_old->text(), m_user->text(), m_new->text(),
                                m_confirm->text()};
    UserAccounts::ChangeOutcome outcome;
    const bool needsDatabase = !m_old->text().isEmpty() && !m_user->text().isEmpty() &&
                               !m_new->text().isEmpty() && !m_confirm->text().isEmpty() &&
                               m_new->text().trimmed() == m_confirm->text().trimmed();
    Database db;
    if (needsDatabase) {
        const Status opened = m_state.dataDirectory().openDatabase(db);
        if (!opened.isOk()) {
            m_message(this, QMessageBox::Warning, QString(), opened.message(), QMessageBox::Ok);
            return;
        }
    }
    outcome = UserAccounts::changePassword(db, change);
    db.close();
    if (outcome.check == UserAccounts::ChangeCheck::Mismatch) {
        m_new->clear();
        m_confirm->clear();
    }
    m_message(this, QMessageBox::NoIcon, QString(), outcome.message, QMessageBox::Ok);
    if (outcome.check != UserAccounts::ChangeCheck::Ok)
        return;
    m_state.setUserName(outcome.userName);
    QDialog::accept();
}

} // namespace fenpai
