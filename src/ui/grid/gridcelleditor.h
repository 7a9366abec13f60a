#pragma once

#include <QObject>
#include <QStringList>

class QComboBox;
class QFont;
class QLineEdit;
class QRect;
class QWidget;

namespace fenpai {

// The in-place editor of a grid view: a line edit over the cell, or a list for a drop-down
// cell. It tells the view what the user did; the view writes to the grid.
class GridCellEditor final : public QObject
{
    Q_OBJECT

public:
    explicit GridCellEditor(QWidget *viewport);
    ~GridCellEditor() override;

    bool isOpen() const { return m_row >= 0; }
    int row() const { return m_row; }
    int col() const { return m_col; }
    bool isLine() const { return m_line != nullptr; }
    QString lineText() const;
    QString item(int index) const { return m_items.value(index); }

    // A numeric editor takes numbers only.
    void openLine(int row, int col, const QRect &rect, const QFont &font, const QString &text,
                  bool numeric);
    void openList(int row, int col, const QRect &rect, const QStringList &items,
                  const QString &current);
    void close();

    // False when a key's text cannot start a number, so a numeric cell opens no editor for it.
    static bool canStartNumber(const QString &text);

signals:
    // Enter, Tab or an arrow key: keep the text, then move by (dRow, dCol).
    void commitAndMove(int dRow, int dCol);
    void cancelled();
    void chosen(int index); // an item of the list
    // The line edit lost the focus to something else than itself.
    void focusLost();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_viewport;
    QLineEdit *m_line = nullptr;
    QComboBox *m_list = nullptr;
    QStringList m_items;
    int m_row = -1;
    int m_col = -1;
};

} // namespace fenpai
