#include "ui/import/sheetchoicedialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenpai {

SheetChoiceDialog::SheetChoiceDialog(const PreparedImport::Table &table, QWidget *parent)
    : QDialog(parent)
    , m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("导入：选择工作表"));
    auto *label =
        new QLabel(QStringLiteral("“%1”中没有工作表“%2”。请选择%3所在的工作表：")
                       .arg(QFileInfo(table.file).fileName(), table.usualSheet, table.table),
                   this);
    label->setWordWrap(true);
    for (const PreparedImport::SheetInfo &s : table.sheets) {
        auto *item = new QListWidgetItem(
            s.rows < 0 ? s.name : QStringLiteral("%1（%2 行）").arg(s.name).arg(s.rows), m_list);
        item->setData(Qt::UserRole, s.name);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    connect(m_list, &QListWidget::currentRowChanged, ok,
            [ok](int row) { ok->setEnabled(row >= 0); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    // The largest sheet is the likeliest.
    int best = -1;
    for (int i = 0; i < static_cast<int>(table.sheets.size()); ++i) {
        if (best < 0 || table.sheets[static_cast<size_t>(i)].rows >
                            table.sheets[static_cast<size_t>(best)].rows)
            best = i;
    }
    m_list->setCurrentRow(best);
}

QString SheetChoiceDialog::sheet() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

} // namespace fenpai
