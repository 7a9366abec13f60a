#pragma once

// The division done the slow, plain way: one statement per walk over the table, one UPDATE per
// row, each committed on its own, the layer codes 1001..1004 kept in 新分班 between the layering
// and the dealing. It shares no code with ClassDivision, so the tests use it as a reference and
// the benchmark as the baseline. Settings are assumed valid.

#include "core/numbertext.h"
#include "db/database.h"
#include "db/savedqueries.h"
#include "jobs/division/divisionsettings.h"

#include <QStringList>
#include <QVariant>

#include <vector>

namespace fenpai::test {

class LiteralDivision
{
public:
    explicit LiteralDivision(Database &db)
        : m_db(db)
    {}

    Status run(const DivisionSettings &settings)
    {
        m_settings = settings;
        Result<Statement> update =
            m_db.prepareNative("UPDATE 分班数据表 SET 新分班 = ?1 WHERE rowid = ?2");
        if (!update)
            return update.status();
        m_update = std::move(*update);

        // Reset.
        for (qint64 rowid : keys("SELECT rowid FROM 分班数据表")) {
            if (!put(rowid, 0))
                return m_status;
        }
        if (settings.mode == DivisionSettings::Mode::Balanced) {
            divide(QStringLiteral("1=1"), 1, static_cast<int>(round(settings.classes)), true);
            return m_status;
        }

        const auto &l = settings.layers;
        const double c = round(l[0] + l[1] + l[2] + l[3]);
        const double t = m_db.scalar("select Count([原学校]) from 分班数据表").value().toDouble();
        const double p = round(t / c);
        int last = 0;
        for (int k = 0; k < 4; ++k) {
            if (round(l[k]) > 0)
                last = k;
        }
        qint64 i = 0;
        for (qint64 rowid : keys("SELECT rowid FROM 分班数据表 ORDER BY 成绩 DESC, rowid")) {
            const double r = static_cast<double>(i++);
            int code = 1001 + last;
            if (r < l[0] * p)
                code = 1001;
            else if (r < (l[0] + l[1]) * p)
                code = 1002;
            else if (r < (l[0] + l[1] + l[2]) * p)
                code = 1003;
            else if (r < (l[0] + l[1] + l[2] + l[3]) * p)
                code = 1004;
            if (!put(rowid, code))
                return m_status;
        }
        int hi = 0;
        for (int k = 0; k < 4; ++k) {
            const int n = static_cast<int>(round(l[k]));
            if (n <= 0)
                continue;
            const int lo = hi + 1;
            hi += n;
            const QString layer = QStringLiteral("新分班=") + QString::number(1001 + k);
            m_status = SavedQueries::replace(
                m_db, "NewQry2", QStringLiteral("select *  from 分班数据表 where ") + layer);
            if (!m_status.isOk())
                return m_status;
            divide(layer, lo, hi, false);
        }
        return m_status;
    }

private:
    static double round(double v) { return NumberText::roundHalfEven(v); }

    std::vector<qint64> keys(const QString &sql, const QVariantList &parameters = {})
    {
        std::vector<qint64> out;
        Result<Statement> st = m_db.prepareNative(sql);
        if (!st) {
            m_status = st.status();
            return out;
        }
        st->bindAll(parameters);
        while (st->step() == Statement::Step::Row)
            out.push_back(st->toInt64(0));
        if (!st->status().isOk())
            m_status = st->status();
        return out;
    }

    bool put(qint64 rowid, int value)
    {
        if (!m_status.isOk())
            return false;
        m_update.bind(1, value).bind(2, rowid);
        m_status = m_update.exec();
        m_update.reset();
        return m_status.isOk();
    }

    // The serpentine walk of one group; false when the group is empty.
    bool deal(const QString &where, const QVariantList &parameters, int s, int lo, int hi)
    {
        const std::vector<qint64> rows =
            keys("SELECT rowid FROM 分班数据表 WHERE " + where + " ORDER BY 成绩 DESC, rowid",
                 parameters);
        if (rows.empty())
            return false;
        int c = lo - 1 + s;
        bool forward = true;
        for (qint64 rowid : rows) {
            if (forward) {
                c = c + 1;
                if (c > hi)
                    c = hi;
                put(rowid, c);
                if (c == hi) {
                    c = hi + 1;
                    forward = false;
                }
            } else {
                c = c - 1;
                put(rowid, c);
                if (c == lo) {
                    c = lo - 1;
                    forward = true;
                }
            }
        }
        return true;
    }

    void divide(const QString &source, int lo, int hi, bool wholeTable)
    {
        const QStringList sexes = {"性别='男'", "性别='女'",
                                   "(性别 IS NULL OR 性别 NOT IN ('男','女'))"};
        if (!m_settings.balanceSex && !m_settings.balanceSchool) {
            deal(source, {}, 1, lo, hi);
            return;
        }
        if (!m_settings.balanceSchool) {
            for (int g = 0; g < 3; ++g)
                deal(source + " AND " + sexes[g], {}, wholeTable ? g : g + 1, lo, hi);
            return;
        }
        QVariantList schools;
        {
            Result<Query> q = m_db.query(
                "SELECT 原学校 FROM 分班数据表 WHERE 原学校 IS NOT NULL AND 原学校 <> '' "
                "GROUP BY 原学校 ORDER BY min(rowid)");
            for (; q && !q->atEnd(); q->next())
                schools.append(q->value(0));
        }
        const QStringList passes = m_settings.balanceSex ? sexes : QStringList{"1=1"};
        int offset = 0;
        auto advance = [&] {
            if (++offset == hi - lo + 1)
                offset = 1;
        };
        for (const QString &sex : passes) {
            for (const QVariant &school : schools) {
                if (deal(source + " AND " + sex + " AND 原学校=?1", {school}, offset, lo, hi))
                    advance();
            }
            if (deal(source + " AND " + sex + " AND (原学校 IS NULL OR 原学校='')", {}, offset, lo,
                     hi))
                advance();
        }
    }

    Database &m_db;
    DivisionSettings m_settings;
    Statement m_update;
    Status m_status;
};

} // namespace fenpai::test
