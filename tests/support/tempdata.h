#pragma once

#include "db/database.h"
#include "db/datadirectory.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fenpai::test {

// A fresh data directory with its database open, removed after the test.
class TempData
{
public:
    TempData()
        : directory(dir.path())
    {
        const Status s = directory.openDatabase(db);
        EXPECT_TRUE(s.isOk()) << s.message().toStdString();
    }

    // Runs statements of the dialect the jobs write; any failure fails the test.
    void exec(const QStringList &statements)
    {
        for (const QString &sql : statements) {
            const Status s = db.exec(sql);
            EXPECT_TRUE(s.isOk()) << sql.toStdString() << ": " << s.message().toStdString();
        }
    }

    // The whole result of a query as lines of tab-joined display texts.
    QStringList rows(const QString &sql);

    QTemporaryDir dir;
    DataDirectory directory;
    Database db;
};

inline QStringList TempData::rows(const QString &sql)
{
    QStringList out;
    Result<Query> q = db.query(sql);
    EXPECT_TRUE(q.isOk()) << sql.toStdString() << ": " << q.status().message().toStdString();
    if (!q)
        return out;
    for (; !q->atEnd(); q->next()) {
        QStringList fields;
        for (const QVariant &v : q->row()) {
            if (v.isNull())
                fields.append(QString());
            else if (v.typeId() == QMetaType::Double)
                fields.append(QString::number(v.toDouble(), 'g', 15));
            else
                fields.append(v.toString());
        }
        out.append(fields.join(u'\t'));
    }
    return out;
}

} // namespace fenpai::test

// Readable QString failures in gtest.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
