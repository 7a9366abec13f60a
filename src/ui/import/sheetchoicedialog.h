#pragma once

#include "jobs/import/preparedimport.h"

#include <QDialog>

class QListWidget;

namespace fenpai {

// Asks which sheet of a workbook holds a table, when the workbook has several and none of the
// usual name: a list of the sheets with their rows; a double click or "确定" takes one.
class SheetChoiceDialog final : public QDialog
{
    Q_OBJECT

public:
    SheetChoiceDialog(const PreparedImport::Table &table, QWidget *parent = nullptr);

    // The sheet taken; empty while none is selected.
    QString sheet() const;
    QListWidget *list() const { return m_list; }

private:
    QListWidget *m_list;
};

} // namespace fenpai
