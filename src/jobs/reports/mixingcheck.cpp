#include "jobs/reports/mixingcheck.h"

#include "core/numbertext.h"
#include "db/database.h"
#include "jobs/arrangement/arrangementtables.h"
#include "jobs/arrangement/paperversions.h"
#include "jobs/arrangement/roomseating.h"
#include "jobs/reports/examlistings.h"

#include <optional>

namespace fenpai {

namespace {

// "（一中 初三(1)班）", what the two have in common; nothing when both parts are empty.
QString classOf(const QVariant &school, const QVariant &className)
{
    const QString text = QStringList{school.toString(), className.toString()}.join(u' ').trimmed();
    return text.isEmpty() ? QString() : QStringLiteral("（%1）").arg(text);
}

} // namespace

QString MixingCheck::allMixedText()
{
    return QStringLiteral("全部混排");
}

namespace {

// Neighbouring desks that hold one paper version; with more than two versions in use, desks
// corner to corner count as neighbours too.
void versionFindings(const std::vector<SeatedRoom> &rooms, QStringList &out)
{
    bool fourVersions = false;
    std::vector<std::vector<int>> versions;
    for (const SeatedRoom &room : rooms) {
        std::vector<int> bySeat;
        for (const SeatedExaminee &e : room.seats) {
            const int v = e.classId < 0 ? -1 : PaperVersions::fromLetter(e.version);
            fourVersions = fourVersions || v >= 2;
            bySeat.push_back(v);
        }
        versions.push_back(std::move(bySeat));
    }
    for (size_t r = 0; r < rooms.size(); ++r) {
        for (const auto &[a, b] : rooms[r].layout.equalPairs(versions[r], fourVersions))
            out.append(QStringLiteral("在第%1考场%2号和%3号座位的考生试卷相同%4")
                           .arg(rooms[r].room)
                           .arg(a)
                           .arg(b)
                           .arg(out.size() + 1));
    }
}

} // namespace

Result<QStringList> MixingCheck::findings(Database &db, SeatOrder order)
{
    if (Status s = ExamListings::requireExaminees(db); !s.isOk())
        return s;
    Result<Query> q =
        db.query(QStringLiteral("select 学校,班级,考场,考号,姓名 from 考生表  ORDER BY 考号"));
    if (!q)
        return q.status();
    QStringList out;
    // No key before the first examinee: one without school and class is no finding.
    std::optional<QString> previous;
    QString previousWho;
    for (; !q->atEnd(); q->next()) {
        const QString key = q->value(0).toString() + u'\x1f' + q->value(1).toString();
        const QString who = QStringLiteral("考号 %1 %2")
                                .arg(NumberText::display(q->value(3)), q->value(4).toString());
        if (previous && *previous == key)
            out.append(QStringLiteral("在第%1考场有没混排的%2：%3 与 %4%5")
                           .arg(NumberText::display(q->value(2)))
                           .arg(out.size() + 1)
                           .arg(who, previousWho, classOf(q->value(0), q->value(1))));
        previous = key;
        previousWho = who;
    }
    if (!q->status().isOk())
        return q->status();

    // Desks need the room table and the seats as well; without them the exam-number walk is all
    // there is to check.
    if (!ArrangementTables::check(db, false).isOk())
        return out;
    const Result<std::vector<SeatedRoom>> rooms = RoomSeating::read(db, order);
    if (!rooms)
        return rooms.status();
    for (const SeatedRoom &room : *rooms) {
        for (const auto &[a, b] : room.layout.classmatePairs(room.classOfSeat())) {
            const SeatedExaminee &first = room.seats[size_t(a - 1)];
            const SeatedExaminee &second = room.seats[size_t(b - 1)];
            out.append(
                QStringLiteral("在第%1考场%2号和%3号座位的考生同班相邻%4：考号 %5 %6 与 考号 "
                               "%7 %8%9")
                    .arg(room.room)
                    .arg(a)
                    .arg(b)
                    .arg(out.size() + 1)
                    .arg(NumberText::display(first.number), first.name,
                         NumberText::display(second.number), second.name,
                         classOf(first.school, first.className)));
        }
    }
    versionFindings(*rooms, out);
    return out;
}

} // namespace fenpai
