#include "support/literalarrangement.h"

#include "core/numbertext.h"
#include "db/database.h"
#include "db/sqldialect.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/arrangementcounts.h"

#include <functional>
#include <limits>
#include <vector>

namespace fenpai {

namespace {

using Settings = ArrangementSettings;

struct WalkRow
{
    qint64 rowid;
    QVariantList values;
};

class Walker final
{
public:
    Walker(Database &db, const Settings &settings, const std::vector<int> &capacities)
        : m_db(db)
        , m_settings(settings)
        , m_capacities(capacities)
    {
        const QStringList columns = db.columns(QStringLiteral("考生表"));
        m_firstTwo = SqlDialect::quoteName(columns[0]) + u',' + SqlDialect::quoteName(columns[1]);
    }

    // The rows of "SELECT rowid, <first two columns>, <extra> FROM 考生表 <tail>".
    std::vector<WalkRow> walk(const QString &tail, const QVariantList &parameters = {},
                              const QString &extra = QStringLiteral("0"))
    {
        std::vector<WalkRow> rows;
        Result<Query> q = m_db.query(QStringLiteral("SELECT rowid, ") + m_firstTwo + u',' + extra +
                                         QStringLiteral(" FROM 考生表 ") + tail,
                                     parameters);
        if (!q) {
            m_status = q.status();
            return rows;
        }
        for (; !q->atEnd(); q->next()) {
            QVariantList values;
            for (int i = 1; i < q->fieldCount(); ++i)
                values.append(q->value(i));
            rows.push_back({q->value(0).toLongLong(), values});
        }
        return rows;
    }

    static bool blank(const WalkRow &row)
    {
        const QVariant &a = row.values[0];
        const QVariant &b = row.values[1];
        if (a.isNull() && b.isNull())
            return false;
        return (a.isNull() || a.toString().isEmpty()) && (b.isNull() || b.toString().isEmpty());
    }

    void set(qint64 rowid, const QString &column, const QVariant &value)
    {
        Result<Statement> st = m_db.prepareNative(QStringLiteral("UPDATE 考生表 SET ") + column +
                                                  QStringLiteral(" = ? WHERE rowid = ?"));
        if (!st) {
            m_status = st.status();
            return;
        }
        st->bind(1, value).bind(2, QVariant(rowid));
        const Status s = st->exec();
        if (!s.isOk())
            m_status = s;
    }

    void clear()
    {
        for (const WalkRow &row : walk(QStringLiteral("ORDER BY rowid"))) {
            if (blank(row))
                break;
            set(row.rowid, QStringLiteral("考场"), 0.0);
            set(row.rowid, QStringLiteral("考号"), 0.0);
            set(row.rowid, QStringLiteral("座位号"), 0.0);
        }
    }

    // Sequential seating over the walk; returns the rowids it seated. A walk may leave out rows.
    QList<qint64> seat(const QString &tail, const std::function<bool(const WalkRow &)> &skip = {})
    {
        QList<qint64> seated;
        size_t r = 0;
        int s = 1;
        qint64 k = 0;
        auto skipEmptyRooms = [&] {
            while (r < m_capacities.size() && m_capacities[r] <= 0)
                ++r;
        };
        skipEmptyRooms();
        for (const WalkRow &row : walk(tail)) {
            if (skip && skip(row))
                continue;
            if (blank(row) || r >= m_capacities.size())
                break;
            const int room = static_cast<int>(r) + 1;
            set(row.rowid, QStringLiteral("考场"), double(room));
            set(row.rowid, QStringLiteral("座位号"), double(s));
            set(row.rowid, QStringLiteral("考号"), examNumber(room, s, ++k));
            seated.append(row.rowid);
            if (++s > m_capacities[r]) {
                s = 1;
                ++r;
                skipEmptyRooms();
            }
        }
        return seated;
    }

    void scoreMix()
    {
        clear();
        size_t r = 0;
        int c = 1;
        int last = 0;
        auto skip = [&] {
            while (r < m_capacities.size() && m_capacities[r] <= 0)
                ++r;
        };
        skip();
        for (const WalkRow &row : walk(QStringLiteral("ORDER BY 成绩 DESC, rowid"))) {
            if (blank(row) || r >= m_capacities.size())
                break;
            last = static_cast<int>(r) + 1;
            set(row.rowid, QStringLiteral("考场"), double(last));
            if (++c > m_capacities[r]) {
                c = 1;
                ++r;
                skip();
            }
        }
        for (int q = 1; q <= last; ++q) {
            Result<Query> ranks = m_db.query(
                QStringLiteral(
                    "SELECT 学校, 班级, count(班级) AS 班数, min(rowid) AS f FROM 考生表 "
                    "WHERE 考场 = ? GROUP BY 学校, 班级 ORDER BY 班数 DESC, f"),
                {q});
            QList<QVariantList> list;
            for (; ranks && !ranks->atEnd(); ranks->next()) {
                const QVariantList key = {ranks->value(0), ranks->value(1)};
                if (blank({0, key}))
                    break;
                list.append({key[0], key[1], ranks->value(2)});
            }
            const QString inRoom = QStringLiteral("WHERE 考场 = ? ");
            for (const WalkRow &row : walk(inRoom + QStringLiteral("ORDER BY rowid"), {q},
                                           QStringLiteral("学校, 班级"))) {
                for (int t = 0; t < list.size(); ++t) {
                    if (same(list[t][0], row.values[2]) && same(list[t][1], row.values[3])) {
                        set(row.rowid, QStringLiteral("考号"), double(t + 1));
                        break;
                    }
                }
            }
            const int n = static_cast<int>(list.size());
            const int m = n > 0 ? list[0][2].toInt() : 0;
            int a = 1, b = 1, w = 1;
            for (const WalkRow &row : walk(inRoom + QStringLiteral("ORDER BY 考号, rowid"), {q})) {
                if (w > m) {
                    ++a;
                    b = a;
                    w = 1;
                }
                set(row.rowid, QStringLiteral("考号"), double(b));
                b += n;
                ++w;
            }
            int seat = 0;
            for (const WalkRow &row : walk(inRoom + QStringLiteral("ORDER BY 考号, rowid"), {q})) {
                ++seat;
                set(row.rowid, QStringLiteral("考号"), double(seat));
                set(row.rowid, QStringLiteral("座位号"), double(seat));
            }
        }
        qint64 k = 0;
        for (const WalkRow &row : walk(QStringLiteral("ORDER BY 考场, 考号, rowid"), {},
                                       QStringLiteral("考场, 座位号"))) {
            set(row.rowid, QStringLiteral("考号"),
                examNumber(static_cast<int>(number(row.values[2])),
                           static_cast<int>(number(row.values[3])), ++k));
        }
    }

    // The k-th number given out in a run, in room `room`, seat `seat`.
    qint64 examNumber(int room, int seat, qint64 k) const
    {
        if (m_settings.numbering == Settings::Numbering::Consecutive)
            return m_settings.startNumber + k - 1;
        return Arrangement::roomSeatNumber(m_settings.prefix, room, seat);
    }

    void groupMix(const ArrangementCounts &counts)
    {
        const bool bySchool = m_settings.groupKind == Settings::GroupKind::School;
        const int groups = bySchool ? counts.schoolCount() : counts.classCount();
        const int n = m_settings.groupsPerRoom;
        if (n < 1 || n > groups) {
            m_status =
                Status::refused(Arrangement::groupCountMessage(m_settings.groupKind, groups));
            return;
        }
        const auto blocks = Arrangement::groupBlocks(groups, n, m_settings.adjacentGroups);
        clear();
        QHash<qint64, QVariant> before;
        std::vector<double> next;
        for (int i = 1; i <= n; ++i)
            next.push_back(i);
        for (size_t j = 0; j < blocks.size(); ++j) {
            for (size_t i = 0; i < blocks[j].size(); ++i) {
                QString filter;
                QVariantList parameters;
                if (bySchool) {
                    filter = QStringLiteral("WHERE 学校 = ?");
                    parameters = {counts.schools[blocks[j][i]]};
                } else {
                    filter = QStringLiteral("WHERE 学校 = ? AND 班级 = ?");
                    parameters = {counts.classes[blocks[j][i]].school,
                                  counts.classes[blocks[j][i]].className};
                }
                QString order = QStringLiteral(" ORDER BY 成绩 DESC, rowid");
                if (m_settings.scoreOrder == Settings::ScoreOrder::Random)
                    order = QStringLiteral(" ORDER BY rowid");
                else if (m_settings.scoreOrder == Settings::ScoreOrder::Spread && (i + j) % 2 == 1)
                    order = QStringLiteral(" ORDER BY 成绩 ASC, rowid");
                for (const WalkRow &row :
                     walk(filter + order, parameters, QStringLiteral("考号"))) {
                    before.insert(row.rowid, row.values[2]);
                    set(row.rowid, QStringLiteral("考号"), next[i]);
                    next[i] += n;
                }
            }
        }
        // Rows below the first blank row walk only when they received a key.
        qint64 firstBlank = std::numeric_limits<qint64>::max();
        for (const WalkRow &row : walk(QStringLiteral("ORDER BY rowid"))) {
            if (blank(row)) {
                firstBlank = row.rowid;
                break;
            }
        }
        const QList<qint64> seated =
            seat(QStringLiteral(" ORDER BY 考号, rowid"), [&](const WalkRow &row) {
                return row.rowid >= firstBlank && !before.contains(row.rowid);
            });
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (!seated.contains(it.key()))
                set(it.key(), QStringLiteral("考号"), it.value());
        }
    }

    const Status &status() const { return m_status; }

private:
    static bool same(const QVariant &a, const QVariant &b)
    {
        if (a.isNull() || b.isNull())
            return a.isNull() && b.isNull();
        return a == b;
    }

    static double number(const QVariant &v)
    {
        if (v.isNull())
            return 0;
        if (v.typeId() == QMetaType::QString)
            return NumberText::leadingValue(v.toString());
        return v.toDouble();
    }

    Database &m_db;
    const Settings &m_settings;
    const std::vector<int> &m_capacities;
    QString m_firstTwo;
    Status m_status;
};

} // namespace

Status LiteralArrangement::run(Database &db, const ArrangementSettings &settings,
                               bool commitEachRow)
{
    Result<ArrangementCounts> counts = ArrangementCounts::read(db);
    if (!counts)
        return counts.status();
    if (counts->roomsTooSmall())
        return Status::refused(Arrangement::capacityMessage(counts->roomCount()));
    if (!commitEachRow) {
        if (const Status begun = db.begin(); !begun.isOk())
            return begun;
    }
    Walker walker(db, settings, counts->capacities);
    switch (settings.mode) {
    case Settings::Mode::GroupMix:
        walker.groupMix(*counts);
        break;
    case Settings::Mode::ScoreMix:
        walker.scoreMix();
        break;
    case Settings::Mode::ScoreOnly:
        walker.clear();
        walker.seat(QStringLiteral("ORDER BY 成绩 DESC, rowid"));
        break;
    }
    if (commitEachRow)
        return walker.status();
    if (!walker.status().isOk()) {
        static_cast<void>(db.rollback()); // the walker's failure is the one to report
        return walker.status();
    }
    return db.commit();
}

} // namespace fenpai
