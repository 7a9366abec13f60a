#pragma once

#include "core/result.h"
#include "core/status.h"
#include "jobs/tickets/ticketsettings.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace fenpai {

class Database;
class Grid;

// Admission tickets: the template's block (rows 1..11 × columns 1..15, see TicketTemplates)
// pasted once per examinee into a document, its field rows, capital digits and photos filled,
// 2 or 3 blocks to a page of A4 landscape with cutting lines between them. Also the lists the
// ticket tab offers.
class TicketProduction final
{
public:
    // The lists of the selection drop-downs, in their queries' order; empty without 考生表.
    static QStringList schools(Database &db);
    static QStringList classes(Database &db, const QString &school);
    static QStringList rooms(Database &db);
    // The fields a field row may show, in the drop-down's order.
    static QStringList rowFieldChoices();
    // The columns a photo may be named by: 姓名, 考号, and 照片 when 考生表 has it.
    static QStringList photoNameChoices(Database &db);

    // The message of the first missing choice, as the dialog shows it; ok when complete.
    [[nodiscard]] static Status validate(const TicketSettings &settings);

    // The four capital digits of an exam number's last four characters ("…0517" → 零 伍 壹 柒);
    // a shorter number counts as if led by zeros.
    static QStringList capitalDigits(const QString &examNumber);
    // folder + one separator + the trimmed name + ".jpg"; empty for an empty name or one that
    // would reach outside the folder.
    static QString photoPath(const QString &folder, const QString &name);

    struct Outcome
    {
        int tickets = 0;
        // With photos: "考号 姓名" of each examinee whose photo was not found (their frame
        // keeps its caption), in the order of the tickets.
        QStringList withoutPhoto;
    };

    // Fills `document` with the tickets of the settings from the template grid. A missing
    // choice, a missing table or no examinee to print fails and leaves the document untouched.
    [[nodiscard]] static Result<Outcome> build(Database &db, const Grid &ticketTemplate,
                                               const TicketSettings &settings, Grid &document);

    static QString cuttingLine(); // 172 "-"

    // The field "二维码": a cell (or merged block) of the template's ticket holding this text gets
    // the examinee's QR code ("考号:… 考场:… 座位:… 校验:…", see TicketCheck) drawn over it.
    static QString codeField();
    // The cells (row, column) of the template's ticket that hold the field.
    static std::vector<std::pair<int, int>> codeCells(const Grid &ticketTemplate);

    // A4 landscape inside printable margins; `perPage` blocks fill one page, scaled down when
    // the template is larger than the page.
    static void setUpPage(Grid &document, int perPage);
};

} // namespace fenpai
