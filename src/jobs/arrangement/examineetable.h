#pragma once

#include "core/result.h"
#include "jobs/arrangement/arrangementprogress.h"
#include "jobs/arrangement/cellvalue.h"

#include <QVariant>

#include <array>
#include <vector>

namespace fenpai {

class Database;
class RowCursor;

// One row of 考生表 as the arrangement works on it.
struct Examinee
{
    qint64 rowid = 0;
    bool blank = false;  // the first two columns joined give the empty string
    bool named = false;  // 姓名 is not null: the row counts as an examinee
    int classGroup = 0;  // index into ExamineeTable::classGroups()
    int schoolGroup = 0; // index into ExamineeTable::schoolGroups()
    CellValue score;
    CellValue room;    // 考场
    CellValue number;  // 考号
    CellValue seat;    // 座位号
    CellValue version; // 试卷: the paper version of the desk; null without the column
};

// A distinct (学校, 班级) or 学校 value of the table, in order of first appearance.
struct ExamineeGroup
{
    bool hasNull = false;   // some part is null: a filter on it matches no row
    bool emptyKey = false;  // its parts joined as text give the empty string
    bool nullClass = false; // class groups: 班级 is null, so count(班级) counts 0 for it
};

// The whole of 考生表 in memory, in import order, with the result columns as they are changed;
// write() stores the changed rows with one prepared UPDATE by rowid.
class ExamineeTable final
{
public:
    // Reads every row; the caller has checked the tables.
    [[nodiscard]] static Result<ExamineeTable> load(Database &db);

    std::vector<Examinee> &rows() { return m_rows; }
    const std::vector<Examinee> &rows() const { return m_rows; }
    const std::vector<ExamineeGroup> &classGroups() const { return m_classGroups; }
    const std::vector<ExamineeGroup> &schoolGroups() const { return m_schoolGroups; }

    // Rows with a name (E).
    int examineeCount() const;

    // Rows whose 考场, 考号 or 座位号 differ from what was read.
    int changedRowCount() const;

    // Whether 考生表 has the column 试卷 (before write() adds it for a row that needs it).
    bool hasVersionColumn() const { return m_hasVersionColumn; }

    // Writes the changed rows; adds the column 试卷 first when a row holds a version and the
    // table has no such column. The progress callback may cancel (Status::Kind::Cancelled).
    [[nodiscard]] Status write(Database &db, const ArrangementProgress &progress) const;

    // False when a result column is declared as text: such a column turns the numbers written
    // into texts of the database's own spelling, which stored() does not foresee.
    bool resultsKeepNumbers() const;
    // 考场, 考号 and 座位号 of a row as the table holds them once write() has run: as read for
    // a row that is not written, otherwise as their columns store them (a whole number becomes
    // an integer in an INTEGER or NUMERIC column, every number a real in a REAL one). Only
    // while resultsKeepNumbers().
    std::array<CellValue, 3> stored(size_t row) const;

private:
    // How a column stores what it is given, from its declared type (SQLite's column affinity).
    enum class Affinity
    {
        Text,
        Numeric,
        Integer,
        Real,
        Blob,
    };
    static Affinity affinityOf(const QString &declaredType);
    static CellValue storedAs(Affinity affinity, const CellValue &value);
    [[nodiscard]] Status readAffinities(Database &db);
    // Reserves room for every row of the table, counted once before the rows are read.
    [[nodiscard]] Status reserveRows(Database &db);
    // Reads the rows of load()'s statement and gathers their class and school groups.
    [[nodiscard]] Status readRows(RowCursor &st, bool firstAreSchoolAndClass);
    bool changed(size_t index) const;

    std::vector<Examinee> m_rows;
    std::vector<std::array<CellValue, 3>> m_stored; // 考场, 考号, 座位号 as read
    std::vector<CellValue> m_storedVersions;        // 试卷 as read
    bool m_hasVersionColumn = false;
    std::array<Affinity, 3> m_affinities{}; // of 考场, 考号, 座位号
    std::vector<ExamineeGroup> m_classGroups;
    std::vector<ExamineeGroup> m_schoolGroups;
};

} // namespace fenpai
