#include "odsreader.h"

#include "workbookreader.h"
#include "zipentrydevice.h"

#include <QFile>

#include <orcus/orcus_ods.hpp>
#include <orcus/spreadsheet/import_interface.hpp>

#include <zip.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace fenpai {

namespace {

namespace ss = orcus::spreadsheet;

constexpr ss::row_t maxRows = 1048576;
constexpr ss::col_t maxColumns = 16384;

Status failure(const QString &reason)
{
    return Status::error(Status::Kind::Io, reason);
}

QString fromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

bool inside(ss::row_t row, ss::col_t col)
{
    return row >= 0 && row < maxRows && col >= 0 && col < maxColumns;
}

class Strings final : public ss::iface::import_shared_strings
{
public:
    size_t append(std::string_view s) override
    {
        m_list.append(fromView(s));
        return static_cast<size_t>(m_list.size() - 1);
    }
    size_t add(std::string_view s) override
    {
        const auto found = m_index.find(std::string(s));
        if (found != m_index.end())
            return found->second;
        const size_t id = append(s);
        m_index.emplace(std::string(s), id);
        return id;
    }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                                ss::color_elem_t) override
    {}
    void append_segment(std::string_view s) override { m_segments += s; }
    size_t commit_segments() override
    {
        const size_t id = append(m_segments);
        m_segments.clear();
        return id;
    }

    const QStringList &list() const { return m_list; }

private:
    QStringList m_list;
    std::unordered_map<std::string, size_t> m_index;
    std::string m_segments;
};

// Receives the cells of one sheet; drops them when the sheet is not wanted.
class SheetSink final : public ss::iface::import_sheet
{
public:
    explicit SheetSink(Sheet *sheet)
        : m_sheet(sheet)
        , m_formula(*this)
    {}

    ss::iface::import_formula *get_formula() override { return &m_formula; }

    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override
    {
        if (!m_sheet || !inside(row, col))
            return;
        bool ok = false;
        const QString text = fromView(s);
        const double number = text.toDouble(&ok);
        if (ok)
            m_sheet->setNumber(row, col, number);
        else
            m_sheet->setText(row, col, text);
    }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t sindex) override
    {
        if (m_sheet && inside(row, col))
            m_sheet->setPooledText(row, col, sindex);
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override
    {
        if (m_sheet && inside(row, col))
            m_sheet->setNumber(row, col, value);
    }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override
    {
        set_value(row, col, value ? 1 : 0);
    }
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int hour,
                       int minute, double second) override
    {
        if (m_sheet && inside(row, col))
            m_sheet->setText(row, col, Sheet::dateText(year, month, day, hour, minute, second));
    }
    void set_format(ss::row_t, ss::col_t, size_t) override {}
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t row, ss::col_t col, ss::row_t count) override
    {
        if (!m_sheet || !inside(row, col))
            return;
        const Sheet::Cell source = m_sheet->cell(row, col);
        for (ss::row_t r = row + 1; r <= row + count && r < maxRows; ++r) {
            if (source.kind == Sheet::Cell::Kind::Number)
                m_sheet->setNumber(r, col, source.number);
            else if (source.kind == Sheet::Cell::Kind::Text)
                m_sheet->setPooledText(r, col, source.text);
        }
    }
    ss::range_size_t get_sheet_size() const override
    {
        ss::range_size_t size;
        size.rows = maxRows;
        size.columns = maxColumns;
        return size;
    }

private:
    // A formula cell gives its cached result.
    class Formula final : public ss::iface::import_formula
    {
    public:
        explicit Formula(SheetSink &sink)
            : m_sink(sink)
        {}
        void set_position(ss::row_t row, ss::col_t col) override
        {
            m_row = row;
            m_col = col;
            m_kind = Kind::Empty;
        }
        void set_formula(ss::formula_grammar_t, std::string_view) override {}
        void set_shared_formula_index(size_t) override {}
        void set_result_string(std::string_view value) override
        {
            m_kind = Kind::Text;
            m_text = fromView(value);
        }
        void set_result_value(double value) override
        {
            m_kind = Kind::Number;
            m_number = value;
        }
        void set_result_bool(bool value) override { set_result_value(value ? 1 : 0); }
        void set_result_empty() override { m_kind = Kind::Empty; }
        void commit() override
        {
            Sheet *sheet = m_sink.m_sheet;
            if (!sheet || !inside(m_row, m_col))
                return;
            if (m_kind == Kind::Number)
                sheet->setNumber(m_row, m_col, m_number);
            else if (m_kind == Kind::Text)
                sheet->setText(m_row, m_col, m_text);
        }

    private:
        enum class Kind
        {
            Empty,
            Number,
            Text
        };
        SheetSink &m_sink;
        ss::row_t m_row = 0;
        ss::col_t m_col = 0;
        Kind m_kind = Kind::Empty;
        double m_number = 0;
        QString m_text;
    };

    Sheet *m_sheet;
    Formula m_formula;
};

class Factory final : public ss::iface::import_factory
{
public:
    Factory(Workbook &workbook, const QStringList &wanted)
        : m_workbook(workbook)
        , m_wanted(wanted)
    {}

    ss::iface::import_shared_strings *get_shared_strings() override { return &m_strings; }

    ss::iface::import_sheet *append_sheet(ss::sheet_t, std::string_view name) override
    {
        Sheet *sheet = m_workbook.addSheet(fromView(name), m_wanted);
        if (sheet)
            m_filled.push_back(sheet);
        m_sinks.push_back(std::make_unique<SheetSink>(sheet));
        return m_sinks.back().get();
    }
    ss::iface::import_sheet *get_sheet(std::string_view name) override
    {
        const QString wantedName = fromView(name);
        const QStringList &names = m_workbook.sheetNames();
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (names[i] == wantedName)
                return m_sinks[static_cast<size_t>(i)].get();
        }
        return nullptr;
    }
    ss::iface::import_sheet *get_sheet(ss::sheet_t index) override
    {
        if (index < 0 || static_cast<size_t>(index) >= m_sinks.size())
            return nullptr;
        return m_sinks[static_cast<size_t>(index)].get();
    }
    void finalize() override
    {
        for (Sheet *sheet : m_filled)
            sheet->setPool(m_strings.list());
    }

private:
    Workbook &m_workbook;
    QStringList m_wanted;
    Strings m_strings;
    std::vector<std::unique_ptr<SheetSink>> m_sinks;
    std::vector<Sheet *> m_filled;
};

struct ArchiveCloser
{
    void operator()(zip *z) const { zip_discard(z); }
};

// An encrypted document keeps a readable manifest that says so; its content is not XML.
bool isEncrypted(const QString &path)
{
    std::unique_ptr<zip, ArchiveCloser> archive(
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, nullptr));
    if (!archive)
        return false;
    const QByteArray manifest =
        ZipEntryDevice::readAll(archive.get(), QStringLiteral("META-INF/manifest.xml"));
    return manifest.contains("encryption-data");
}

} // namespace

Result<Workbook> OdsReader::read(const QString &path, const QStringList &wanted)
{
    if (!QFile::exists(path))
        return failure(WorkbookReader::reasonMissing());
    if (isEncrypted(path))
        return failure(WorkbookReader::reasonEncrypted());
    Workbook workbook;
    workbook.setFormat(Workbook::Format::Ods);
    Factory factory(workbook, wanted);
    try {
        orcus::orcus_ods filter(&factory);
        filter.read_file(QFile::encodeName(path).toStdString());
        factory.finalize(); // in case the filter did not; setting the pool twice is harmless
    } catch (const std::exception &) {
        return failure(WorkbookReader::reasonDamaged());
    }
    return workbook;
}

} // namespace fenpai
