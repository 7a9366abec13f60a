#pragma once

#include "jobs/import/preparedimport.h"

#include <QDialog>
#include <QHash>

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace fenpai {

// The mapping step: for each field a table needs, the sheet's column that gives it (or an empty
// column where the field may be empty), filled in with what the matching found, beside a preview
// of the sheet's first rows. "导入" is offered once every field has a column of its own.
class ColumnMappingDialog final : public QDialog
{
    Q_OBJECT

public:
    ColumnMappingDialog(const PreparedImport &prepared, size_t table, QWidget *parent = nullptr);

    // field → header; an empty header for an empty column.
    QHash<QString, QString> columns() const;

    // The box of a field, for tests and screenshots; null when the table has no such field.
    QComboBox *box(const QString &field) const;
    QPushButton *importButton() const { return m_import; }
    QTableWidget *preview() const { return m_preview; }

    static constexpr int previewRows = 5;

private:
    void check();
    QTableWidget *makePreview(const PreparedImport &prepared, size_t table);

    struct Row
    {
        QString field;
        QComboBox *box;
    };
    std::vector<Row> m_rows;
    QLabel *m_problem;
    QPushButton *m_import = nullptr;
    QTableWidget *m_preview;
};

} // namespace fenpai
