#include "ui/documents/reporttitledialog.h"

#include "jobs/documents/reporttitles.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenpai {

ReportTitleDialog::ReportTitleDialog(const ReportFormat::Subtitle &titles, QWidget *parent)
    : QDialog(parent)
    , m_left(new QLineEdit(titles.left, this))
    , m_right(new QLineEdit(titles.right, this))
    , m_date(new QCheckBox(QStringLiteral("右标题后加印打印日期(&D)"), this))
{
    setObjectName(QStringLiteral("frmReportTitles"));
    setWindowTitle(QStringLiteral("报表标题设置"));
    m_left->setObjectName(QStringLiteral("txtLeftTitle"));
    m_right->setObjectName(QStringLiteral("txtRightTitle"));
    m_date->setObjectName(QStringLiteral("chkShowDate"));
    for (QLineEdit *box : {m_left, m_right}) {
        box->setMaxLength(ReportTitles::maxLength);
        box->setMinimumWidth(320);
    }
    m_left->setPlaceholderText(QStringLiteral("如：湖滨市第一中学"));
    m_right->setPlaceholderText(QStringLiteral("如：2025—2026学年第一学期 期中考试"));
    m_date->setChecked(titles.showDate);

    auto *note = new QLabel(
        QStringLiteral("每张打印或输出的报表，在标题下面一行的左端印左标题、右端印右标题。"), this);
    note->setWordWrap(true);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("左标题（学校名称）(&L)："), m_left);
    form->addRow(QStringLiteral("右标题（学年度、考试）(&R)："), m_right);
    form->addRow(QString(), m_date);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确 定"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("Command1"));
    buttons->addButton(QStringLiteral("取 消"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("Command2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ReportFormat::Subtitle ReportTitleDialog::titles() const
{
    return {m_left->text().trimmed(), m_right->text().trimmed(), m_date->isChecked()};
}

} // namespace fenpai
