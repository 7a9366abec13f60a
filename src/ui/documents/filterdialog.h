#pragma once

#include <QDialog>
#include <QPointer>

class QComboBox;

namespace fenpai {

class Grid;

// frmshaixuan: chooses one school, and a class of it or all of them (the empty entry), from the
// rows of a document, by the school and class columns it has (TableTools::filterColumns); on
// "确 定" the owner copies them into a new document (TableTools).
class FilterDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit FilterDialog(const Grid &source, QWidget *parent = nullptr);

    const Grid *source() const { return m_source; }
    QString school() const;
    QString className() const;
    QComboBox *schoolBox() const { return m_school; }
    QComboBox *classBox() const { return m_class; }

private:
    void fillClasses();

    QPointer<const Grid> m_source;
    QComboBox *m_school;
    QComboBox *m_class;
};

} // namespace fenpai
