#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace fenpai {

// The findings of the mixing check in one list, with a button that copies them all: a score-order
// arrangement can give hundreds, one message box each would be unusable.
class MixingCheckDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit MixingCheckDialog(const QStringList &findings, QWidget *parent = nullptr);

    QPlainTextEdit *list() const { return m_list; }
    QPushButton *copyButton() const { return m_copy; }

private:
    QPlainTextEdit *m_list;
    QPushButton *m_copy;
};

} // namespace fenpai
