#include "ui/import/columnmappingdialog.h"

#include "core/numbertext.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace fenpai {

namespace {

// What the box's data holds for an empty column (a header is never null).
const QString emptyColumn = QString();

QString emptyCaption()
{
    return QStringLiteral("（空列）");
}

QString howText(FieldMatch::How how)
{
    switch (how) {
    case FieldMatch::How::Exact:
        return QStringLiteral("列名相同");
    case FieldMatch::How::Synonym:
        return QStringLiteral("按常用列名找到，请核对");
    case FieldMatch::How::Position:
        return QStringLiteral("第二列即考场人数");
    case FieldMatch::How::Chosen:
        return QStringLiteral("已指定");
    case FieldMatch::How::Empty:
        return QStringLiteral("工作表中没有，加一个空列");
    case FieldMatch::How::Missing:
        return QStringLiteral("没有找到，请选择");
    }
    return QString();
}

} // namespace

ColumnMappingDialog::ColumnMappingDialog(const PreparedImport &prepared, size_t table,
                                         QWidget *parent)
    : QDialog(parent)
    , m_problem(new QLabel(this))
    , m_preview(makePreview(prepared, table))
{
    const PreparedImport::Table &t = prepared.tables()[table];
    setWindowTitle(QStringLiteral("导入：对应字段"));
    const QString source =
        t.textFile ? QStringLiteral("“%1”").arg(QFileInfo(t.file).fileName())
                   : QStringLiteral("“%1”的工作表“%2”").arg(QFileInfo(t.file).fileName(), t.sheet);
    auto *intro = new QLabel(
        QStringLiteral("%1导入为%2。请核对每个字段取自哪一列：").arg(source, t.table), this);
    intro->setWordWrap(true);
    auto *form = new QFormLayout;
    for (size_t f = 0; f < t.fields.size(); ++f) {
        const FieldMatch &m = t.matches[f];
        auto *box = new QComboBox(this);
        for (const QString &header : t.headers)
            box->addItem(header, header);
        if (!t.fields[f].capacity)
            box->addItem(emptyCaption(), emptyColumn);
        box->setPlaceholderText(QStringLiteral("请选择列"));
        box->setCurrentIndex(m.column >= 0                     ? m.column
                             : m.how == FieldMatch::How::Empty ? box->count() - 1
                                                               : -1);
        auto *line = new QHBoxLayout;
        line->addWidget(box, 1);
        line->addWidget(new QLabel(howText(m.how), this), 1);
        form->addRow(t.fields[f].name + QStringLiteral(" ←"), line);
        m_rows.push_back({t.fields[f].name, box});
        connect(box, &QComboBox::currentIndexChanged, this, &ColumnMappingDialog::check);
    }
    m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_import = buttons->button(QDialogButtonBox::Ok);
    m_import->setText(QStringLiteral("导入"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addWidget(new QLabel(QStringLiteral("工作表的前几行："), this));
    layout->addWidget(m_preview, 1);
    layout->addWidget(buttons);
    // Room for a field's column, what was found, and a few preview columns side by side.
    resize(560, 500);
    check();
}

QTableWidget *ColumnMappingDialog::makePreview(const PreparedImport &prepared, size_t table)
{
    const PreparedImport::Table &t = prepared.tables()[table];
    const int rows = std::min(previewRows, prepared.rowCount(table));
    auto *preview = new QTableWidget(rows, static_cast<int>(t.headers.size()), this);
    preview->setHorizontalHeaderLabels(t.headers);
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview->verticalHeader()->setVisible(false);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < t.headers.size(); ++c)
            preview->setItem(
                r, c, new QTableWidgetItem(NumberText::display(prepared.value(table, r, c))));
    }
    preview->resizeColumnsToContents();
    return preview;
}

void ColumnMappingDialog::check()
{
    QSet<QString> used;
    QString problem;
    for (const Row &row : m_rows) {
        if (row.box->currentIndex() < 0) {
            problem = QStringLiteral("请为字段“%1”选择一列。").arg(row.field);
            break;
        }
        const QString header = row.box->currentData().toString();
        if (!header.isEmpty() && used.contains(header)) {
            problem = QStringLiteral("列“%1”不能同时对应两个字段。").arg(header);
            break;
        }
        used.insert(header);
    }
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    m_import->setEnabled(problem.isEmpty());
}

QHash<QString, QString> ColumnMappingDialog::columns() const
{
    QHash<QString, QString> chosen;
    for (const Row &row : m_rows) {
        if (row.box->currentIndex() >= 0)
            chosen.insert(row.field, row.box->currentData().toString());
    }
    return chosen;
}

QComboBox *ColumnMappingDialog::box(const QString &field) const
{
    for (const Row &row : m_rows) {
        if (row.field == field)
            return row.box;
    }
    return nullptr;
}

} // namespace fenpai
