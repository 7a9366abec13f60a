#include "ui/grid/gridcelleditor.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTimer>

namespace fenpai {

namespace {

const QRegularExpression &numberPattern()
{
    static const QRegularExpression number(QStringLiteral(R"(^[-+]?\d*\.?\d*$)"));
    return number;
}

} // namespace

GridCellEditor::GridCellEditor(QWidget *viewport)
    : QObject(viewport)
    , m_viewport(viewport)
{}

GridCellEditor::~GridCellEditor() = default;

bool GridCellEditor::canStartNumber(const QString &text)
{
    return numberPattern().match(text).hasMatch();
}

QString GridCellEditor::lineText() const
{
    return m_line ? m_line->text() : QString();
}

void GridCellEditor::openLine(int row, int col, const QRect &rect, const QFont &font,
                              const QString &text, bool numeric)
{
    close();
    m_row = row;
    m_col = col;
    m_line = new QLineEdit(m_viewport);
    m_line->setFrame(false);
    m_line->setFont(font);
    if (numeric)
        m_line->setValidator(new QRegularExpressionValidator(numberPattern(), m_line));
    m_line->setText(text);
    m_line->setGeometry(rect);
    m_line->installEventFilter(this);
    m_line->show();
    m_line->setFocus();
    m_line->end(false);
}

void GridCellEditor::openList(int row, int col, const QRect &rect, const QStringList &items,
                              const QString &current)
{
    close();
    m_row = row;
    m_col = col;
    m_items = items;
    m_list = new QComboBox(m_viewport);
    m_list->addItems(m_items);
    m_list->setCurrentIndex(int(m_items.indexOf(current)));
    m_list->setGeometry(rect);
    m_list->installEventFilter(this);
    connect(m_list, &QComboBox::activated, this, &GridCellEditor::chosen);
    m_list->show();
    m_list->setFocus();
    m_list->showPopup();
}

void GridCellEditor::close()
{
    // Deleted later: the editor may be closing from inside one of its own event handlers.
    if (m_line) {
        m_line->removeEventFilter(this);
        m_line->hide();
        m_line->deleteLater();
        m_line = nullptr;
    }
    if (m_list) {
        m_list->removeEventFilter(this);
        m_list->hide();
        m_list->deleteLater();
        m_list = nullptr;
    }
    m_row = -1;
    m_col = -1;
}

bool GridCellEditor::eventFilter(QObject *watched, QEvent *event)
{
    const bool mine = (m_line && watched == m_line) || (m_list && watched == m_list);
    if (!mine)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool shift = key->modifiers() & Qt::ShiftModifier;
        switch (key->key()) {
        case Qt::Key_Escape:
            emit cancelled();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_list)
                break;
            emit commitAndMove(shift ? -1 : 1, 0);
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            emit commitAndMove(0, key->key() == Qt::Key_Tab ? 1 : -1);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (m_list)
                break;
            emit commitAndMove(key->key() == Qt::Key_Up ? -1 : 1, 0);
            return true;
        default:
            break;
        }
    } else if (event->type() == QEvent::FocusOut && m_line && watched == m_line) {
        // Checked once the focus has settled: a popup of the line edit itself keeps it.
        QTimer::singleShot(0, this, [this] {
            if (m_line && !m_line->hasFocus())
                emit focusLost();
        });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace fenpai
