#include "ui/documents/filterdialog.h"

#include "grid/grid.h"
#include "jobs/documents/tabletools.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenpai {

FilterDialog::FilterDialog(const Grid &source, QWidget *parent)
    : QDialog(parent)
    , m_source(&source)
    , m_school(new QComboBox(this))
    , m_class(new QComboBox(this))
{
    setObjectName(QStringLiteral("frmshaixuan"));
    setWindowTitle(QStringLiteral("筛选"));
    m_school->setObjectName(QStringLiteral("Combo1"));
    m_class->setObjectName(QStringLiteral("Combo2"));
    m_school->setMinimumContentsLength(12);
    m_class->setMinimumContentsLength(12);

    // The boxes are named after the columns they go by: 学校 and 班级 on examinee documents,
    // 原学校 and 新分班 on the intake's.
    const TableTools::FilterColumns columns = TableTools::filterColumns(source);
    auto *frame = new QGroupBox(QStringLiteral("筛选某一个学校、班级"), this);
    auto *fields = new QHBoxLayout(frame);
    auto *schoolLabel = new QLabel(source.cellText(0, columns.school).trimmed(), frame);
    schoolLabel->setBuddy(m_school);
    fields->addWidget(schoolLabel);
    fields->addWidget(m_school);
    fields->addSpacing(12);
    auto *classLabel = new QLabel(columns.klass >= 0 ? source.cellText(0, columns.klass).trimmed()
                                                     : QStringLiteral("班级"),
                                  frame);
    classLabel->setBuddy(m_class);
    fields->addWidget(classLabel);
    fields->addWidget(m_class);
    // Without the one column its box has nothing to offer.
    schoolLabel->setVisible(columns.school >= 0);
    m_school->setVisible(columns.school >= 0);
    classLabel->setEnabled(columns.klass >= 0);
    m_class->setEnabled(columns.klass >= 0);

    auto *ok = new QPushButton(QStringLiteral("确 定"), this);
    auto *cancel = new QPushButton(QStringLiteral("取 消"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    cancel->setObjectName(QStringLiteral("Command2"));
    ok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    m_school->addItems(TableTools::schools(source));
    fillClasses();
    connect(m_school, &QComboBox::currentIndexChanged, this, &FilterDialog::fillClasses);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString FilterDialog::school() const
{
    return m_school->currentText();
}

QString FilterDialog::className() const
{
    return m_class->currentText();
}

void FilterDialog::fillClasses()
{
    m_class->clear();
    if (m_source)
        m_class->addItems(TableTools::classes(*m_source, school()));
}

} // namespace fenpai
