#include "jobs/tickets/ticketproduction.h"

#include "core/naturalorder.h"
#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "grid/grid.h"
#include "grid/gridpagination.h"
#include "grid/gridpaperfit.h"
#include "jobs/arrangement/roomseating.h"
#include "jobs/examday/qrcode.h"
#include "jobs/examday/ticketcheck.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace fenpai {

namespace {

const QString photoColumn = QStringLiteral("照片");

// Rows 1..11 × columns 1..15 of the template: one ticket.
constexpr int kBlockRows = 11;
constexpr int kBlockCols = 15;
const GridArea blockArea{1, 1, kBlockRows, kBlockCols};
constexpr double kSmallestValueSize = 7; // points: the least a ticket's value shrinks to
// Codes of version 4 at least: the factory templates' code cell then shows it 18 mm wide or more
// whatever the exam number, and longer numbers only make it denser.
constexpr int kCodeVersion = 4;

QStringList column(Database &db, const QString &sql, const QVariantList &parameters, int field)
{
    QStringList out;
    if (!db.hasRelation(TableNames::examinees))
        return out;
    Result<Query> q = db.query(sql, parameters);
    if (!q)
        return out;
    for (; !q->atEnd(); q->next())
        out.append(NumberText::display(q->value(field)));
    return out;
}

bool hasPhotoColumn(Database &db)
{
    return db.columns(TableNames::examinees).contains(photoColumn, Qt::CaseInsensitive);
}

// One group's examinees, read forward.
struct Group
{
    std::unique_ptr<Query> rows;
    int count = 0;
};

class Filler
{
public:
    Filler(Database &db, const Grid &ticketTemplate, const TicketSettings &settings, Grid &doc,
           const QByteArray &key)
        : m_settings(settings)
        , m_doc(doc)
        , m_template(ticketTemplate)
        , m_codeCells(TicketProduction::codeCells(ticketTemplate))
        , m_key(key)
    {
        m_block = preparedBlock(ticketTemplate);
        m_fields =
            QStringList{QStringLiteral("姓名"), QStringLiteral("考号"), QStringLiteral("座位号"),
                        QStringLiteral("考场"), QStringLiteral("性别"), QStringLiteral("学校"),
                        QStringLiteral("班级")};
        if (hasPhotoColumn(db))
            m_fields.append(photoColumn);
        if (RoomSeating::hasPaperVersions(db))
            m_fields.append(ColumnNames::paperVersion);
    }

    const QStringList &fields() const { return m_fields; }

    // Block b (1-based) from the current row of `q`, or an empty ticket when q is null.
    void fill(int b, const Query *q)
    {
        const int top = kBlockRows * (b - 1);
        m_doc.setRows(top + kBlockRows + 1);
        m_doc.pasteFragment(m_block, top + 1, 1);
        auto value = [&](const QString &field) {
            const int i = q ? m_fields.indexOf(field) : -1;
            QString text = i < 0 ? QString() : NumberText::display(q->value(i));
            // The seat names its paper version: the examinee checks the paper handed out.
            if (field == ColumnNames::seat && q) {
                const int v = m_fields.indexOf(ColumnNames::paperVersion);
                if (const QString version = v < 0 ? QString() : q->value(v).toString().trimmed();
                    !version.isEmpty())
                    text += QStringLiteral("（%1卷）").arg(version);
            }
            return text;
        };
        for (int j = 1; j <= 6; ++j) {
            const QString text = value(m_settings.rowFields[size_t(j - 1)]);
            for (int col : {4, 11}) {
                m_doc.setCellText(top + 3 + j, col, text);
                // An 18-digit exam number or a long school name takes smaller type.
                GridPaperFit::shrinkToFit(m_doc, top + 3 + j, col, kSmallestValueSize);
            }
        }
        const int templateRows = std::min(m_template.rows() - 1, kBlockRows);
        for (int k = 1; k <= templateRows; ++k)
            m_doc.setRowHeight(top + k, m_template.rowHeight(k));
        const QStringList digits =
            TicketProduction::capitalDigits(q ? value(QStringLiteral("考号")) : QString());
        for (int k = 4; k <= 7; ++k)
            m_doc.setCellText(top + k, 8, digits.at(k - 4));
        // The code stands where the template names its field; an empty ticket has none.
        for (const auto &[r, c] : m_codeCells) {
            m_doc.setCellText(top + r, c, QString());
            if (q)
                QrCode::place(m_doc, top + r, c, codeText(*q), 4, kCodeVersion);
        }
        if (q && m_settings.usePhotos) {
            const QString name = value(m_settings.photoNameField).trimmed();
            const QString path = TicketProduction::photoPath(m_settings.photoFolder, name);
            if (!path.isEmpty() &&
                (m_doc.imageKeys().contains(name) || m_doc.addImage(name, path))) {
                for (int col : {6, 13}) {
                    m_doc.setCellImage(top + 3, col, name);
                    m_doc.setCellText(top + 3, col, QString()); // the caption gives way
                }
            } else {
                // A missing or unreadable photo leaves its frame with the caption, and the
                // examinee on the list of those without one.
                m_withoutPhoto.append(value(QStringLiteral("考号")) + u' ' +
                                      value(QStringLiteral("姓名")));
            }
        }
    }

    const QStringList &withoutPhoto() const { return m_withoutPhoto; }

private:
    QString codeText(const Query &q) const
    {
        const auto raw = [&](const QString &field) {
            const int i = m_fields.indexOf(field);
            return i < 0 ? QVariant() : q.value(i);
        };
        return TicketCheck::code(m_key, raw(ColumnNames::examNumber),
                                 raw(ColumnNames::name).toString(), raw(ColumnNames::room),
                                 raw(ColumnNames::seat))
            .text();
    }

    // The template's block; with photos, the photo areas are made one picture area each.
    GridFragment preparedBlock(const Grid &ticketTemplate) const
    {
        GridFragment block = ticketTemplate.fragment(blockArea);
        if (!m_settings.usePhotos)
            return block;
        Grid scratch;
        scratch.setRows(kBlockRows + 1);
        scratch.setCols(kBlockCols + 1);
        scratch.pasteFragment(block, 1, 1);
        for (int col : {6, 13})
            scratch.range(3, col, 8, col).merge();
        return scratch.fragment(blockArea);
    }

    const TicketSettings &m_settings;
    Grid &m_doc;
    const Grid &m_template;
    std::vector<std::pair<int, int>> m_codeCells;
    QByteArray m_key;
    GridFragment m_block;
    QStringList m_fields;
    QStringList m_withoutPhoto;
};

Result<Group> openGroup(Database &db, const TicketSettings &settings, const QStringList &fields,
                        const QString &group)
{
    QString sql = QStringLiteral("select ") + fields.join(u',') + QStringLiteral(" from 考生表 ");
    QVariantList parameters;
    if (settings.grouping == TicketSettings::Grouping::ByClass) {
        sql += QStringLiteral("where 学校=? and 班级=? ");
        parameters = {settings.school, group};
    } else {
        sql += QStringLiteral("where 考场=? ");
        parameters = {group};
    }
    sql += QStringLiteral("ORDER BY 考号,rowid");
    Result<QVariant> count =
        db.scalar(QStringLiteral("select count(*) from (") + sql + u')', parameters);
    if (!count)
        return count.status();
    Result<Query> q = db.query(sql, parameters);
    if (!q)
        return q.status();
    Group g;
    g.rows = std::make_unique<Query>(std::move(*q));
    g.count = count->toInt();
    return g;
}

} // namespace

QStringList TicketProduction::schools(Database &db)
{
    return column(db, QStringLiteral("select distinct 学校  from 考生表 ORDER BY 学校"), {}, 0);
}

QStringList TicketProduction::classes(Database &db, const QString &school)
{
    QStringList classes = column(
        db,
        QStringLiteral("select distinct 学校,班级  from 考生表 where 学校=? ORDER BY 学校,班级"),
        {school}, 1);
    // As people count them: 初三(2)班 before 初三(10)班, as the menus list them.
    std::stable_sort(classes.begin(), classes.end(), &NaturalOrder::less);
    return classes;
}

QStringList TicketProduction::rooms(Database &db)
{
    return column(db, QStringLiteral("select distinct 考场  from 考生表 ORDER BY 考场"), {}, 0);
}

QStringList TicketProduction::rowFieldChoices()
{
    return {QStringLiteral("姓名"),   QStringLiteral("考号"),   QStringLiteral("考场"),
            QStringLiteral("座位号"), QStringLiteral("性别"),   QStringLiteral("学校"),
            QStringLiteral("班级"),   ColumnNames::paperVersion};
}

QStringList TicketProduction::photoNameChoices(Database &db)
{
    QStringList choices = {QStringLiteral("姓名"), QStringLiteral("考号")};
    if (hasPhotoColumn(db))
        choices.append(photoColumn);
    return choices;
}

Status TicketProduction::validate(const TicketSettings &settings)
{
    const bool byClass = settings.grouping == TicketSettings::Grouping::ByClass;
    bool complete = !byClass || !settings.school.isEmpty();
    for (int i = 0; i < settings.groupCount(); ++i)
        complete = complete && !settings.groups.value(i).isEmpty();
    if (!complete)
        return Status::refused(byClass ? QStringLiteral("请选择全学校、班级")
                                       : QStringLiteral("请选择全考场"));
    if (settings.usePhotos && (settings.photoFolder.isEmpty() || settings.photoNameField.isEmpty()))
        return Status::refused(QStringLiteral("请选择存放照片的目录及与照片文件名相对应的列"));
    return Status::ok();
}

QStringList TicketProduction::capitalDigits(const QString &examNumber)
{
    static const QString capitals = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
    QString last = examNumber.right(4);
    last = last.rightJustified(4, u'0');
    QStringList out;
    for (QChar ch : std::as_const(last)) {
        const int d = ch.digitValue();
        // Only a letter of a prefixed number is no digit; it stands as it is.
        out.append(d >= 0 && d <= 9 ? QString(capitals.at(d)) : QString(ch));
    }
    return out;
}

QString TicketProduction::photoPath(const QString &folder, const QString &name)
{
    const QString file = name.trimmed();
    // A name is a file in the folder, never a path elsewhere.
    if (file.isEmpty() || file.contains(u'/') || file.contains(u'\\') || file == u'.' ||
        file == QLatin1String(".."))
        return {};
    QString path = folder;
    if (!path.endsWith(u'/') && !path.endsWith(u'\\'))
        path += u'/';
    return path + file + QStringLiteral(".jpg");
}

QString TicketProduction::codeField()
{
    return QStringLiteral("二维码");
}

std::vector<std::pair<int, int>> TicketProduction::codeCells(const Grid &ticketTemplate)
{
    std::vector<std::pair<int, int>> cells;
    for (int r = 1; r <= kBlockRows && r < ticketTemplate.rows(); ++r) {
        for (int c = 1; c <= kBlockCols && c < ticketTemplate.cols(); ++c) {
            if (ticketTemplate.cellText(r, c).trimmed() == codeField())
                cells.emplace_back(r, c);
        }
    }
    return cells;
}

QString TicketProduction::cuttingLine()
{
    return QString(172, u'-');
}

namespace {

// Why no ticket can be made of these choices and this database; ok when they can be.
Status checkChoices(Database &db, const TicketSettings &settings)
{
    if (Status s = TicketProduction::validate(settings); !s.isOk())
        return s;
    if (!db.hasRelation(TableNames::examinees))
        return Status::error(
            Status::Kind::MissingTable,
            QStringLiteral("找不到数据表 %1，请先导入考场编排数据。").arg(TableNames::examinees));
    if (settings.usePhotos && settings.photoNameField == photoColumn && !hasPhotoColumn(db))
        return Status::refused(QStringLiteral("考生表没有“照片”列"));
    // Without the folder every ticket would print without its photo, unnoticed.
    if (settings.usePhotos && !QFileInfo(settings.photoFolder).isDir())
        return Status::refused(
            QStringLiteral("找不到存放照片的目录：%1").arg(settings.photoFolder));
    return Status::ok();
}

// Nobody to print, or (stacked) a group without examinees, whose place would be blank on every
// page.
Status checkGroups(const TicketSettings &settings, const std::vector<Group> &groups, int most)
{
    if (most == 0)
        return Status::refused(QStringLiteral("所选班级或考场没有考生"));
    for (size_t g = 0; g < groups.size(); ++g) {
        if (groups[g].count > 0)
            continue;
        const QString name = settings.groups.value(static_cast<qsizetype>(g));
        return Status::refused(settings.grouping == TicketSettings::Grouping::ByClass
                                   ? QStringLiteral("%1 %2 没有考生").arg(settings.school, name)
                                   : QStringLiteral("第 %1 考场没有考生").arg(name));
    }
    return Status::ok();
}

} // namespace

Result<TicketProduction::Outcome> TicketProduction::build(Database &db, const Grid &ticketTemplate,
                                                          const TicketSettings &settings,
                                                          Grid &document)
{
    if (Status s = checkChoices(db, settings); !s.isOk())
        return s;

    // Tickets with a code need the database's key, made on the first such print.
    QByteArray key;
    if (!codeCells(ticketTemplate).empty()) {
        Result<QByteArray> made = TicketCheck::key(db, true);
        if (!made)
            return made.status();
        key = *made;
    }
    Filler filler(db, ticketTemplate, settings, document, key);
    std::vector<Group> groups;
    int most = 0;
    for (int g = 0; g < settings.groupCount(); ++g) {
        Result<Group> group = openGroup(db, settings, filler.fields(), settings.groups.value(g));
        if (!group)
            return group.status();
        most = std::max(most, group->count);
        groups.push_back(std::move(*group));
    }
    if (Status s = checkGroups(settings, groups, most); !s.isOk())
        return s;

    document.reset();
    document.setAutoRedraw(false);
    document.setCols(16);
    // The template's widths first: the values are fitted to them.
    const int templateCols = std::min(ticketTemplate.cols() - 1, kBlockCols);
    for (int c = 1; c <= templateCols; ++c)
        document.setColumnWidth(c, ticketTemplate.columnWidth(c));
    int blocks = 0;
    const int m = int(groups.size());
    for (int p = 1; p <= most; ++p) {
        for (int g = 0; g < m; ++g) {
            Query &rows = *groups[size_t(g)].rows;
            filler.fill(++blocks, rows.atEnd() ? nullptr : &rows);
        }
        for (Group &g : groups) {
            if (!g.rows->atEnd())
                g.rows->next();
        }
    }

    // The last block ends the document: no page break and no empty page after it.
    const int perPage = settings.perPage();
    for (int b = 1; b <= blocks; ++b) {
        if (b % perPage == 0) {
            if (b < blocks)
                document.addHPageBreak(kBlockRows * b + 1);
            document.setCellText(kBlockRows * b, 1, QString());
        } else {
            document.setCellText(kBlockRows * b, 1, cuttingLine());
        }
    }

    setUpPage(document, perPage);
    document.setAutoRedraw(true);
    document.refresh();
    return Outcome{blocks, filler.withoutPhoto()};
}

void TicketProduction::setUpPage(Grid &document, int perPage)
{
    PageSetup setup = document.pageSetup();
    setup.orientation = PageSetup::Orientation::Landscape;
    // Nothing within 5 mm of the edge, which most printers cannot reach; the top margin gives
    // the bottom what it needs.
    setup.topMargin = 0.8;
    setup.bottomMargin = 0.5;
    setup.headerMargin = 0.5;
    setup.footerMargin = 0.5;
    setup.leftMargin = 1;
    setup.rightMargin = 1;
    // The tickets carry their own lines; the sheet's headings and grid lines are no part of them.
    setup.printFixedRow = false;
    setup.printFixedColumn = false;
    setup.printGridlines = false;
    setup.zoom = 100;
    document.setPageSetup(setup);
    // A template edited taller or wider than the page is printed smaller rather than split.
    int height = 0;
    for (int r = 1; r <= kBlockRows && r < document.rows(); ++r)
        height += document.rowHeight(r);
    int width = 0;
    for (int c = 1; c <= kBlockCols && c < document.cols(); ++c)
        width += document.columnWidth(c);
    const QRectF page = GridPagination::contentRect(setup);
    const double fit =
        std::min(page.height() / std::max(1, height * perPage), page.width() / std::max(1, width));
    if (fit < 1) {
        setup.zoom = std::max(10, int(std::floor(fit * 100)));
        document.setPageSetup(setup);
    }
}

} // namespace fenpai
