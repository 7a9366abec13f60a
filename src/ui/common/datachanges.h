#pragma once

#include <QObject>
#include <QStringList>

namespace fenpai {

// Word that a job has changed tables (an import, a division, an arrangement, a move or a swap,
// rows saved back): the window marks the documents made from them as out of date. Owned by the
// main window; whoever changes data through it says so here.
class DataChanges final : public QObject
{
    Q_OBJECT

public:
    explicit DataChanges(QObject *parent = nullptr)
        : QObject(parent)
    {}

    // Nothing is said for no table. `by` is the document that wrote them, if one did: it holds
    // what it wrote.
    void announce(const QStringList &tables, QObject *by = nullptr);

signals:
    void changed(const QStringList &tables, QObject *by);
};

} // namespace fenpai
