#include "jobs/reports/balancecharts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace fenpai {

namespace {

using Chart = BalanceCharts::Chart;
using Data = BalanceCharts::Data;
using Part = BalanceCharts::Part;

// Colours that stay apart for colour-blind readers and in grey (dark blue, orange, vermilion).
const QColor kBoys(0x00, 0x72, 0xb2);
const QColor kGirls(0xe6, 0x9f, 0x00);
const QColor kGirlsHatch(0x8a, 0x5a, 0x00);
const QColor kOthers(0xc8, 0xc8, 0xc8);
const QColor kMean(0xd5, 0x5e, 0x00);
const QColor kBar(0x00, 0x72, 0xb2);
const QColor kBoxFill(0x9e, 0xca, 0xe1);
const QColor kBoxEdge(0x08, 0x51, 0x9c);
const QColor kGridLine(0xdd, 0xdd, 0xdd);
const QColor kMuted(0x55, 0x55, 0x55);

constexpr double kLeft = 54; // room for the value axis
constexpr double kRight = 14;
constexpr double kTop = 34;    // the legend
constexpr double kBottom = 36; // class numbers and the axis caption
constexpr double kMinSlot = 18;
constexpr double kHeatRow = 18;
constexpr double kHeatHeader = 20;

QFont font(double pixels, bool bold = false)
{
    QFont f(QStringLiteral("黑体"));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    f.setBold(bold);
    return f;
}

// A step of 1, 2 or 5 times a power of ten giving about `count` ticks over [low, high].
double tickStep(double low, double high, int count)
{
    const double raw = std::max((high - low) / count, 1e-9);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw)
            return m * power;
    }
    return 10 * power;
}

QString tickText(double value, double step)
{
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
    return QString::number(value, 'f', decimals);
}

// A value axis over [low, high] widened to whole steps.
struct Axis
{
    double low = 0;
    double high = 1;
    double step = 1;

    Axis(double from, double to)
    {
        if (!(to > from)) {
            from -= 1;
            to += 1;
        }
        step = tickStep(from, to, 5);
        low = std::floor(from / step) * step;
        high = std::ceil(to / step) * step;
    }
    double y(const QRectF &plot, double v) const
    {
        return plot.bottom() - (v - low) / (high - low) * plot.height();
    }
};

// The frame shared by the bar-like charts: plot area, places, axes, class numbers, layers.
class Canvas
{
public:
    Canvas(QPainter &painter, const Data &data, const Part &part, const QSizeF &size)
        : m_p(painter)
        , m_data(data)
        , m_part(part)
        , m_plot(kLeft, kTop, size.width() - kLeft - kRight, size.height() - kTop - kBottom)
    {}

    const QRectF &plot() const { return m_plot; }
    double slot() const { return m_plot.width() / std::max(1, m_part.places); }
    double centre(int i) const { return m_plot.left() + (i + 0.5) * slot(); }

    void axis(const Axis &a, const QString &caption)
    {
        m_p.setFont(font(11));
        const QFontMetricsF metrics(m_p.font());
        for (double v = a.low; v <= a.high + a.step / 2; v += a.step) {
            const double y = a.y(m_plot, v);
            m_p.setPen(QPen(kGridLine, 0.8));
            m_p.drawLine(QPointF(m_plot.left(), y), QPointF(m_plot.right(), y));
            m_p.setPen(Qt::black);
            const QString text = tickText(v, a.step);
            m_p.drawText(QPointF(m_plot.left() - 6 - metrics.horizontalAdvance(text),
                                 y + metrics.ascent() / 2 - 1),
                         text);
        }
        m_p.setPen(QPen(Qt::black, 1));
        m_p.drawLine(m_plot.bottomLeft(), m_plot.topLeft());
        m_p.drawLine(m_plot.bottomLeft(), QPointF(m_plot.right(), m_plot.bottom()));
        m_p.setFont(font(10));
        m_p.setPen(kMuted);
        m_p.drawText(QRectF(0, 9, kLeft - 10, 14), Qt::AlignRight | Qt::AlignVCenter, caption);
        classNumbers();
        layers();
    }

private:
    void classNumbers()
    {
        m_p.setFont(font(10));
        const QFontMetricsF metrics(m_p.font());
        const QString widest = QString::number(m_data.classes.back().number);
        const int every = std::max(
            1, static_cast<int>(std::ceil((metrics.horizontalAdvance(widest) + 4) / slot())));
        m_p.setPen(Qt::black);
        for (int i = 0; i < m_part.count; ++i) {
            const int number = m_data.classes[static_cast<size_t>(m_part.first + i)].number;
            if (number % every != 0 && every > 1)
                continue;
            m_p.drawText(QRectF(centre(i) - 30, m_plot.bottom() + 3, 60, 14), Qt::AlignHCenter,
                         QString::number(number));
        }
        m_p.setPen(kMuted);
        m_p.drawText(QRectF(m_plot.left(), m_plot.bottom() + 18, m_plot.width(), 14),
                     Qt::AlignHCenter, QStringLiteral("新分班"));
    }

    // A dashed line where one layer ends and the next begins, each layer named at its top.
    void layers()
    {
        if (m_data.blocks.size() < 2)
            return;
        m_p.setFont(font(10));
        for (size_t b = 0; b < m_data.blocks.size(); ++b) {
            const auto [lo, hi] = m_data.blocks[b];
            const int first = std::max(lo - 1 - m_part.first, 0);
            const int last = std::min(hi - 1 - m_part.first, m_part.count - 1);
            if (first > last)
                continue;
            const double left = m_plot.left() + first * slot();
            const double right = m_plot.left() + (last + 1) * slot();
            m_p.setPen(kMuted);
            m_p.drawText(QRectF(left, m_plot.top() + 1, right - left, 14), Qt::AlignHCenter,
                         QStringLiteral("第%1层").arg(b + 1));
            if (hi - 1 - m_part.first == last && last < m_part.count - 1) {
                m_p.setPen(QPen(kMuted, 1, Qt::DashLine));
                m_p.drawLine(QPointF(right, m_plot.top()), QPointF(right, m_plot.bottom()));
            }
        }
    }

    QPainter &m_p;
    const Data &m_data;
    const Part &m_part;
    QRectF m_plot;
};

// The legend across the top: a symbol drawn by `symbol` into a 14 × 14 box, then its text.
class Legend
{
public:
    explicit Legend(QPainter &painter)
        : m_p(painter)
    {
        m_p.setFont(font(11));
    }

    template <typename Symbol> void add(const QString &text, Symbol symbol)
    {
        const QRectF box(m_x, 9, 14, 14);
        m_p.save();
        symbol(box);
        m_p.restore();
        m_p.setPen(Qt::black);
        m_p.setFont(font(11));
        const double width = QFontMetricsF(m_p.font()).horizontalAdvance(text);
        m_p.drawText(QPointF(m_x + 19, 21), text);
        m_x += 19 + width + 18;
    }

private:
    QPainter &m_p;
    double m_x = kLeft;
};

// A colour with, for grey print, diagonal lines or dots drawn in page units (a brush pattern
// would follow the picture's fine dots and vanish on paper).
void fillPattern(QPainter &p, const QRectF &r, const QColor &colour, Qt::BrushStyle pattern,
                 const QColor &ink)
{
    p.fillRect(r, colour);
    if (pattern == Qt::NoBrush)
        return;
    p.save();
    p.setClipRect(r);
    p.setPen(QPen(ink, 0.9));
    constexpr double gap = 4;
    if (pattern == Qt::BDiagPattern) {
        for (double x = r.left() - r.height(); x < r.right(); x += gap)
            p.drawLine(QPointF(x, r.bottom()), QPointF(x + r.height(), r.top()));
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        for (double y = r.top() + gap / 2; y < r.bottom(); y += gap) {
            for (double x = r.left() + gap / 2; x < r.right(); x += gap)
                p.drawEllipse(QPointF(x, y), 0.7, 0.7);
        }
    }
    p.restore();
}

void drawMeans(QPainter &p, const Data &data, const Part &part, const QSizeF &size)
{
    double low = 0, high = 0;
    bool any = false;
    for (const BalanceCharts::ClassFigures &c : data.classes) {
        if (c.scores.empty())
            continue;
        low = any ? std::min(low, c.mean - c.sd) : c.mean - c.sd;
        high = any ? std::max(high, c.mean + c.sd) : c.mean + c.sd;
        any = true;
    }
    const Axis axis(low, high);
    Canvas canvas(p, data, part, size);
    canvas.axis(axis, QStringLiteral("分"));
    const QRectF &plot = canvas.plot();
    const double cap = std::min(8.0, canvas.slot() * 0.4);
    for (int i = 0; i < part.count; ++i) {
        const BalanceCharts::ClassFigures &c = data.classes[static_cast<size_t>(part.first + i)];
        if (c.scores.empty())
            continue;
        const double x = canvas.centre(i);
        const double top = axis.y(plot, c.mean + c.sd);
        const double bottom = axis.y(plot, c.mean - c.sd);
        p.setPen(QPen(kBar, 1.6));
        p.drawLine(QPointF(x, top), QPointF(x, bottom));
        p.drawLine(QPointF(x - cap, top), QPointF(x + cap, top));
        p.drawLine(QPointF(x - cap, bottom), QPointF(x + cap, bottom));
        p.setPen(QPen(Qt::black, 0.8));
        p.setBrush(kMean);
        const double r = std::min(4.0, canvas.slot() * 0.3);
        p.drawEllipse(QPointF(x, axis.y(plot, c.mean)), r, r);
    }
    Legend legend(p);
    legend.add(QStringLiteral("平均分"), [&](const QRectF &b) {
        p.setPen(QPen(Qt::black, 0.8));
        p.setBrush(kMean);
        p.drawEllipse(b.center(), 4, 4);
    });
    legend.add(QStringLiteral("平均分 ± 标准差"), [&](const QRectF &b) {
        p.setPen(QPen(kBar, 1.6));
        p.drawLine(QPointF(b.center().x(), b.top()), QPointF(b.center().x(), b.bottom()));
        p.drawLine(QPointF(b.left() + 3, b.top()), QPointF(b.right() - 3, b.top()));
        p.drawLine(QPointF(b.left() + 3, b.bottom()), QPointF(b.right() - 3, b.bottom()));
    });
}

// The quantile of sorted values, interpolated between neighbours.
double quantile(const std::vector<double> &sorted, double q)
{
    const double h = (static_cast<double>(sorted.size()) - 1) * q;
    const size_t lo = static_cast<size_t>(std::floor(h));
    const size_t hi = std::min(lo + 1, sorted.size() - 1);
    return sorted[lo] + (h - static_cast<double>(lo)) * (sorted[hi] - sorted[lo]);
}

void drawBoxes(QPainter &p, const Data &data, const Part &part, const QSizeF &size)
{
    double low = 0, high = 0;
    bool any = false;
    for (const BalanceCharts::ClassFigures &c : data.classes) {
        if (c.scores.empty())
            continue;
        low = any ? std::min(low, c.scores.front()) : c.scores.front();
        high = any ? std::max(high, c.scores.back()) : c.scores.back();
        any = true;
    }
    const Axis axis(low, high);
    Canvas canvas(p, data, part, size);
    canvas.axis(axis, QStringLiteral("分"));
    const QRectF &plot = canvas.plot();
    const double half = std::min(14.0, canvas.slot() * 0.32);
    for (int i = 0; i < part.count; ++i) {
        const std::vector<double> &s = data.classes[static_cast<size_t>(part.first + i)].scores;
        if (s.empty())
            continue;
        const double x = canvas.centre(i);
        const double q1 = axis.y(plot, quantile(s, 0.25));
        const double q3 = axis.y(plot, quantile(s, 0.75));
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(QPointF(x, axis.y(plot, s.back())), QPointF(x, q3));
        p.drawLine(QPointF(x, q1), QPointF(x, axis.y(plot, s.front())));
        for (double v : {s.front(), s.back()})
            p.drawLine(QPointF(x - half / 2, axis.y(plot, v)),
                       QPointF(x + half / 2, axis.y(plot, v)));
        p.setPen(QPen(kBoxEdge, 1));
        p.setBrush(kBoxFill);
        p.drawRect(QRectF(QPointF(x - half, q3), QPointF(x + half, q1)));
        p.setPen(QPen(kMean, 2.2));
        const double median = axis.y(plot, quantile(s, 0.5));
        p.drawLine(QPointF(x - half, median), QPointF(x + half, median));
    }
    Legend legend(p);
    legend.add(QStringLiteral("中间一半学生的成绩"), [&](const QRectF &b) {
        p.setPen(QPen(kBoxEdge, 1));
        p.setBrush(kBoxFill);
        p.drawRect(b.adjusted(2, 1, -2, -1));
    });
    legend.add(QStringLiteral("中位数"), [&](const QRectF &b) {
        p.setPen(QPen(kMean, 2.2));
        p.drawLine(QPointF(b.left(), b.center().y()), QPointF(b.right(), b.center().y()));
    });
    legend.add(QStringLiteral("最高分至最低分"), [&](const QRectF &b) {
        p.setPen(QPen(Qt::black, 1));
        const double x = b.center().x();
        p.drawLine(QPointF(x, b.top()), QPointF(x, b.bottom()));
        p.drawLine(QPointF(x - 4, b.top()), QPointF(x + 4, b.top()));
        p.drawLine(QPointF(x - 4, b.bottom()), QPointF(x + 4, b.bottom()));
    });
}

// One class's bar: boys at the bottom, then girls, then the others, each with its count where
// it fits.
void sexBar(QPainter &p, const BalanceCharts::ClassFigures &c, const Axis &axis, const QRectF &plot,
            double x, double half)
{
    const QFontMetricsF metrics(p.font());
    int below = 0;
    const struct
    {
        int count;
        QColor colour;
        Qt::BrushStyle pattern;
        QColor ink;
        QColor text;
    } parts[] = {{c.boys, kBoys, Qt::NoBrush, kMuted, Qt::white},
                 {c.girls, kGirls, Qt::BDiagPattern, kGirlsHatch, Qt::black},
                 {c.others, kOthers, Qt::Dense6Pattern, kMuted, Qt::black}};
    for (const auto &piece : parts) {
        if (piece.count == 0)
            continue;
        const QRectF bar(QPointF(x - half, axis.y(plot, below + piece.count)),
                         QPointF(x + half, axis.y(plot, below)));
        below += piece.count;
        fillPattern(p, bar, piece.colour, piece.pattern, piece.ink);
        p.setPen(QPen(Qt::black, 0.6));
        p.setBrush(Qt::NoBrush);
        p.drawRect(bar);
        const QString text = QString::number(piece.count);
        const double width = metrics.horizontalAdvance(text);
        if (bar.height() < metrics.height() || bar.width() < width)
            continue;
        // The count on a light patch where the hatching would hide it.
        const QRectF label(x - width / 2 - 1, bar.center().y() - metrics.height() / 2, width + 2,
                           metrics.height());
        if (piece.pattern != Qt::NoBrush)
            p.fillRect(label, piece.colour.lighter(130));
        p.setPen(piece.text);
        p.drawText(label, Qt::AlignCenter, text);
    }
}

void drawSexes(QPainter &p, const Data &data, const Part &part, const QSizeF &size)
{
    int largest = 1;
    bool others = false;
    for (const BalanceCharts::ClassFigures &c : data.classes) {
        largest = std::max(largest, c.boys + c.girls + c.others);
        others = others || c.others > 0;
    }
    const Axis axis(0, largest);
    Canvas canvas(p, data, part, size);
    canvas.axis(axis, QStringLiteral("人"));
    p.setFont(font(std::clamp(canvas.slot() * 0.5, 7.0, 10.0)));
    for (int i = 0; i < part.count; ++i)
        sexBar(p, data.classes[static_cast<size_t>(part.first + i)], axis, canvas.plot(),
               canvas.centre(i), canvas.slot() * 0.36);
    Legend legend(p);
    legend.add(QStringLiteral("男生"),
               [&](const QRectF &b) { fillPattern(p, b, kBoys, Qt::NoBrush, kMuted); });
    legend.add(QStringLiteral("女生"),
               [&](const QRectF &b) { fillPattern(p, b, kGirls, Qt::BDiagPattern, kGirlsHatch); });
    if (others)
        legend.add(QStringLiteral("未填或其他"),
                   [&](const QRectF &b) { fillPattern(p, b, kOthers, Qt::Dense6Pattern, kMuted); });
}

// Light to dark blue: the lightness alone tells the count, in grey as well.
QColor heat(double t)
{
    const QColor light(0xf7, 0xfb, 0xff), middle(0x6b, 0xae, 0xd6), dark(0x08, 0x30, 0x6b);
    const auto mix = [](const QColor &a, const QColor &b, double s) {
        return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * s,
                                a.greenF() + (b.greenF() - a.greenF()) * s,
                                a.blueF() + (b.blueF() - a.blueF()) * s);
    };
    t = std::clamp(t, 0.0, 1.0);
    return t < 0.5 ? mix(light, middle, t * 2) : mix(middle, dark, t * 2 - 1);
}

void heatLegend(QPainter &p, double left, int largest);

void drawSchools(QPainter &p, const Data &data, const Part &part, const QSizeF &size)
{
    int largest = 1;
    for (const BalanceCharts::ClassFigures &c : data.classes) {
        for (int n : c.schools)
            largest = std::max(largest, n);
    }
    // School names at the left, in a column as wide as the longest needs (within reason).
    p.setFont(font(11));
    const QFontMetricsF metrics(p.font());
    double nameWidth = 40;
    for (int s = 0; s < part.schoolCount; ++s)
        nameWidth = std::max(
            nameWidth, metrics.horizontalAdvance(data.schools.value(part.firstSchool + s)) + 8);
    nameWidth = std::min(nameWidth, size.width() / 4);
    const double left = std::max(kLeft, nameWidth);
    const double slot = (size.width() - left - kRight) / std::max(1, part.places);
    const double top = kTop + kHeatHeader;

    p.setPen(kMuted);
    p.setFont(font(10));
    p.drawText(QRectF(0, kTop, left - 6, kHeatHeader), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("新分班"));
    p.setPen(Qt::black);
    for (int i = 0; i < part.count; ++i)
        p.drawText(QRectF(left + i * slot, kTop, slot, kHeatHeader), Qt::AlignCenter,
                   QString::number(data.classes[static_cast<size_t>(part.first + i)].number));
    const QFont cellFont = font(std::clamp(slot * 0.5, 7.0, 10.0));
    for (int s = 0; s < part.schoolCount; ++s) {
        const double y = top + s * kHeatRow;
        p.setFont(font(11));
        p.setPen(Qt::black);
        p.drawText(
            QRectF(0, y, left - 6, kHeatRow), Qt::AlignRight | Qt::AlignVCenter,
            metrics.elidedText(data.schools.value(part.firstSchool + s), Qt::ElideRight, left - 8));
        p.setFont(cellFont);
        for (int i = 0; i < part.count; ++i) {
            const std::vector<int> &counts =
                data.classes[static_cast<size_t>(part.first + i)].schools;
            const int n = counts[static_cast<size_t>(part.firstSchool + s)];
            const double t = static_cast<double>(n) / largest;
            const QRectF cell(left + i * slot, y, slot, kHeatRow);
            p.fillRect(cell, heat(t));
            p.setPen(QPen(Qt::white, 0.8));
            p.drawRect(cell);
            p.setPen(t > 0.55 ? Qt::white : Qt::black);
            p.drawText(cell, Qt::AlignCenter, QString::number(n));
        }
    }
    heatLegend(p, left, largest);
}

// The heat table's legend: the scale from 0 to the largest count.
void heatLegend(QPainter &p, double left, int largest)
{
    p.setFont(font(11));
    const QFontMetricsF metrics(p.font());
    const QString caption = QStringLiteral("每班人数：");
    p.setPen(Qt::black);
    p.drawText(QPointF(left, 21), caption);
    const double x0 = left + metrics.horizontalAdvance(caption) + 4;
    const int steps = std::min(largest, 10);
    for (int k = 0; k <= steps; ++k) {
        const int value = static_cast<int>(std::lround(static_cast<double>(largest) * k / steps));
        const QRectF box(x0 + k * 26, 8, 26, 16);
        p.fillRect(box, heat(static_cast<double>(value) / largest));
        p.setPen(QPen(Qt::white, 0.8));
        p.drawRect(box);
        p.setPen(static_cast<double>(value) / largest > 0.55 ? Qt::white : Qt::black);
        p.setFont(font(10));
        p.drawText(box, Qt::AlignCenter, QString::number(value));
    }
}

} // namespace

int BalanceCharts::placesPerPicture(double printedWidth)
{
    return std::max(1, static_cast<int>((printedWidth - kLeft - kRight) / kMinSlot));
}

double BalanceCharts::height(Chart chart, int schools)
{
    switch (chart) {
    case Chart::Means:
    case Chart::Boxes:
        return 300;
    case Chart::Sexes:
        return 250;
    case Chart::Schools:
        break;
    }
    return kTop + kHeatHeader + schools * kHeatRow + 8;
}

QImage BalanceCharts::draw(Chart chart, const Data &data, const Part &part, const QSizeF &printed,
                           double dpi)
{
    const double scale = dpi / 96;
    QImage image(std::max(1, static_cast<int>(std::lround(printed.width() * scale))),
                 std::max(1, static_cast<int>(std::lround(printed.height() * scale))),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    if (data.classes.empty() || part.count <= 0)
        return image;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    switch (chart) {
    case Chart::Means:
        drawMeans(p, data, part, printed);
        break;
    case Chart::Boxes:
        drawBoxes(p, data, part, printed);
        break;
    case Chart::Sexes:
        drawSexes(p, data, part, printed);
        break;
    case Chart::Schools:
        drawSchools(p, data, part, printed);
        break;
    }
    return image;
}

} // namespace fenpai
