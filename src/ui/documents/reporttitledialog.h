#pragma once

#include "jobs/documents/reportformat.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace fenpai {

// 报表标题设置: the two texts every printed report carries under its title, left and right, and
// whether the date follows the right one. Collects them; the owner writes them through the
// Workspace.
class ReportTitleDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit ReportTitleDialog(const ReportFormat::Subtitle &titles, QWidget *parent = nullptr);

    ReportFormat::Subtitle titles() const;
    QLineEdit *leftBox() const { return m_left; }
    QLineEdit *rightBox() const { return m_right; }
    QCheckBox *dateBox() const { return m_date; }

private:
    QLineEdit *m_left;
    QLineEdit *m_right;
    QCheckBox *m_date;
};

} // namespace fenpai
