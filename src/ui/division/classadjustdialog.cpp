#include "ui/division/classadjustdialog.h"

#include "grid/grid.h"
#include "grid/gridselection.h"
#include "jobs/division/classadjustment.h"
#include "jobs/reports/classreports.h"
#include "jobs/workspace.h"
#include "ui/grid/gridview.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace fenpai {

ClassAdjustDialog::ClassAdjustDialog(Workspace &workspace, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
{
    setObjectName(QStringLiteral("sgtzfrm"));
    setWindowTitle(QStringLiteral("手工调整"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildStatisticsFrame());
    layout->addWidget(buildAdjustFrame(), 1);

    m_current = new QLabel(QStringLiteral("当前:"), this);
    m_current->setObjectName(QStringLiteral("Label3"));
    layout->addWidget(m_current);

    loadStatistics();
    // The pickers follow the classes as the dialog opens; moves never add or remove a class.
    for (Side &s : m_sides) {
        s.classes->clear();
        for (int r = 2; r <= m_stats->rows() - 2; ++r)
            s.classes->addItem(m_stats->cellText(r, 1));
        s.classes->setCurrentIndex(-1);
    }
}

QGroupBox *ClassAdjustDialog::buildStatisticsFrame()
{
    auto *statsFrame = new QGroupBox(QStringLiteral("调整统计"), this);
    statsFrame->setObjectName(QStringLiteral("Frame1"));
    auto *statsLayout = new QVBoxLayout(statsFrame);
    m_stats = new Grid(this);
    m_statsView = new GridView(m_stats, statsFrame);
    m_statsView->setObjectName(QStringLiteral("Grid1"));
    m_statsView->setMinimumSize(760, 180);
    statsLayout->addWidget(m_statsView);
    return statsFrame;
}

QGroupBox *ClassAdjustDialog::buildAdjustFrame()
{
    auto *adjustFrame = new QGroupBox(QStringLiteral("调整"), this);
    adjustFrame->setObjectName(QStringLiteral("Frame2"));
    auto *grid = new QGridLayout(adjustFrame);
    for (int side = 0; side < 2; ++side)
        buildSide(side, adjustFrame, grid);
    m_sides[0].move = new QPushButton(QStringLiteral("调整到=>"), adjustFrame);
    m_sides[0].move->setObjectName(QStringLiteral("Command1"));
    m_sides[1].move = new QPushButton(QStringLiteral("<=调整到"), adjustFrame);
    m_sides[1].move->setObjectName(QStringLiteral("Command2"));
    auto *close = new QPushButton(QStringLiteral("关 闭"), adjustFrame);
    close->setObjectName(QStringLiteral("Command3"));
    auto *buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_sides[0].move);
    buttons->addWidget(m_sides[1].move);
    buttons->addSpacing(24);
    buttons->addWidget(close);
    buttons->addStretch(1);
    grid->addLayout(buttons, 1, 1);
    connect(m_sides[0].move, &QPushButton::clicked, this, [this] { move(0); });
    connect(m_sides[1].move, &QPushButton::clicked, this, [this] { move(1); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    return adjustFrame;
}

void ClassAdjustDialog::buildSide(int side, QWidget *frame, QGridLayout *grid)
{
    const char *boxNames[] = {"Combo1", "Combo2"};
    const char *gridNames[] = {"Grid2", "Grid3"};
    const char *labelNames[] = {"Label1", "Label2"};
    Side &s = m_sides[side];
    s.queryName = side == 0 ? QStringLiteral("NewQry4") : QStringLiteral("NewQry5");
    auto *caption = new QLabel(QStringLiteral("选择班级"), frame);
    caption->setObjectName(QLatin1String(labelNames[side]));
    s.classes = new QComboBox(frame);
    s.classes->setObjectName(QLatin1String(boxNames[side]));
    s.classes->setMinimumContentsLength(6);
    auto *picker = new QHBoxLayout;
    picker->addWidget(caption);
    picker->addWidget(s.classes);
    picker->addStretch(1);
    s.grid = new Grid(this);
    s.grid->setCols(1);
    s.grid->setRows(1);
    s.view = new GridView(s.grid, frame);
    s.view->setObjectName(QLatin1String(gridNames[side]));
    s.view->setMinimumSize(side == 0 ? 320 : 400, 220);
    const int col = side == 0 ? 0 : 2;
    grid->addLayout(picker, 0, col);
    grid->addWidget(s.view, 1, col);
    connect(s.classes, &QComboBox::textActivated, this, [this, side] { fill(side); });
    connect(s.view, &GridView::rowClicked, this, [this, side](int row) { clickRow(side, row); });
    // The keys move the selection too: "当前：" names whoever is selected.
    connect(&s.view->selection(), &GridSelection::selectionChanged, this,
            [this, side] { selectionMoved(side); });
}

ClassAdjustDialog::~ClassAdjustDialog() = default;

void ClassAdjustDialog::loadStatistics()
{
    // The means are not among the dialog's columns; they come from the document's variant,
    // built first so that NewQry3 ends up holding the dialog's own statement.
    Grid withMeans;
    QHash<QString, QString> means;
    if (m_workspace.use([&](Database &db) { return ClassReports::newClassStats(db, withMeans); })) {
        for (int c = 1; c < withMeans.cols(); ++c) {
            if (withMeans.cellText(0, c) != QStringLiteral("平均分"))
                continue;
            for (int r = 2; r < withMeans.rows() - 1; ++r)
                means.insert(withMeans.cellText(r, 1), withMeans.cellText(r, c));
        }
    }
    // Without data the grid stays empty, and so do the pickers.
    if (!m_workspace.use(
            [&](Database &db) { return ClassReports::adjustmentStats(db, *m_stats); })) {
        m_stats->reset();
        m_stats->setRows(1);
        m_stats->setCols(1);
        return;
    }
    for (int c = 1; c < m_stats->cols(); ++c) {
        QString h = m_stats->cellText(0, c);
        if (h.endsWith(u'段'))
            h = h.mid(1, h.size() - 2);
        if (h.startsWith(u'分'))
            h = h.mid(1);
        m_stats->setCellText(0, c, h);
    }
    m_stats->range(0, 1, 0, m_stats->cols() - 1).setWrapText(true);
    markDeparture(means);
    m_stats->refresh();
    fitStatistics();
}

// Every class in sight as far as the screen allows; more than that scroll.
void ClassAdjustDialog::fitStatistics()
{
    int rows = 0;
    for (int r = 0; r < m_stats->rows(); ++r)
        rows += m_stats->rowHeight(r);
    const int frame = 2 * m_statsView->frameWidth() +
                      m_statsView->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    m_statsView->setMinimumHeight(std::clamp(rows + frame, 180, maxStatisticsHeight));
}

// The class whose mean, boys or girls count lies furthest from the other classes' average, measured
// in the spread of that figure over all classes, gets a tinted row.
void ClassAdjustDialog::markDeparture(const QHash<QString, QString> &means)
{
    m_marked = -1;
    const int first = 2, last = m_stats->rows() - 2;
    if (last - first < 2)
        return;
    auto col = [this](const QString &header) {
        for (int c = 1; c < m_stats->cols(); ++c) {
            if (m_stats->cellText(0, c) == header)
                return c;
        }
        return -1;
    };
    double worst = 0;
    for (const QString &header :
         {QStringLiteral("平均分"), QStringLiteral("男生"), QStringLiteral("女生")}) {
        const int c = col(header);
        const bool mean = header == QStringLiteral("平均分");
        if (c < 0 && !mean)
            continue;
        std::vector<double> values;
        for (int r = first; r <= last; ++r)
            values.push_back(mean ? means.value(m_stats->cellText(r, 1)).toDouble()
                                  : m_stats->cellText(r, c).toDouble());
        double sum = 0;
        for (double v : values)
            sum += v;
        const double n = double(values.size());
        double spread = 0;
        for (double v : values)
            spread += (v - sum / n) * (v - sum / n);
        spread = std::sqrt(spread / n);
        if (spread <= 0)
            continue;
        for (size_t i = 0; i < values.size(); ++i) {
            const double others = (sum - values[i]) / (n - 1);
            const double departure = std::abs(values[i] - others) / spread;
            if (departure > worst) {
                worst = departure;
                m_marked = first + int(i);
            }
        }
    }
    if (m_marked > 0)
        m_stats->applyStyle(GridArea{m_marked, 1, m_marked, m_stats->cols() - 1},
                            [](CellStyle &style) { style.backColor = QColor(255, 228, 196); });
}

void ClassAdjustDialog::fill(int side)
{
    Side &s = m_sides[side];
    m_filling = true;
    Result<std::vector<qint64>> rowids = m_workspace.use([&](Database &db) {
        return ClassAdjustment::fillClass(db, *s.grid, s.queryName,
                                          s.classes->currentText().toInt(), side == 1);
    });
    // A list that cannot be shown stays empty; a move then finds no pupil on the picked row.
    s.rowids = rowids ? *rowids : std::vector<qint64>{};
    s.grid->refresh();
    // A list shown afresh has nobody picked: the selection rests on the header row.
    s.view->selection().select(0, 0, 0, 0);
    m_filling = false;
    if (m_pickedSide == side)
        forgetPick();
}

void ClassAdjustDialog::forgetPick()
{
    m_row = 0;
    m_pickedSide = -1;
    m_current->setText(QStringLiteral("当前:"));
}

void ClassAdjustDialog::selectionMoved(int side)
{
    if (m_filling)
        return;
    const Side &s = m_sides[side];
    const int row = s.view->selection().activeRow();
    if (row >= 1 && size_t(row) <= s.rowids.size())
        pick(side, row);
    else if (m_pickedSide == side)
        forgetPick();
}

void ClassAdjustDialog::chooseClass(int side, const QString &number)
{
    m_sides[side].classes->setCurrentText(number);
    fill(side);
}

void ClassAdjustDialog::clickRow(int side, int row)
{
    const Side &s = m_sides[side];
    if (row >= 1 && row < s.grid->rows())
        s.view->selection().select(row, 1, row, s.grid->cols() - 1);
    pick(side, row);
}

void ClassAdjustDialog::pick(int side, int row)
{
    const Side &s = m_sides[side];
    const Side &other = m_sides[1 - side];
    m_row = row;
    m_pickedSide = side;
    m_current->setText(QStringLiteral("当前：  将 ") + s.classes->currentText() +
                       QStringLiteral(" 班学生 ") + s.grid->cellText(row, 1) +
                       QStringLiteral(" 调整到 ") + other.classes->currentText() +
                       QStringLiteral(" 班"));
    s.move->setEnabled(true);
    other.move->setEnabled(false);
}

void ClassAdjustDialog::move(int side)
{
    const Side &s = m_sides[side];
    const Side &target = m_sides[1 - side];
    if (target.classes->currentText().isEmpty())
        return;
    // Only a pupil picked in this side's list moves from it.
    if (m_pickedSide != side || m_row < 1 || size_t(m_row) > s.rowids.size()) {
        m_message(this, QMessageBox::NoIcon, QString(),
                  side == 0 ? QStringLiteral("请选择在左侧班级中选择一个欲调整的学生")
                            : QStringLiteral("请选择在右侧班级中选择一个欲调整的学生"),
                  QMessageBox::Ok);
        return;
    }
    const QString from = s.classes->currentText();
    const QString to = target.classes->currentText();
    if (m_message(this, QMessageBox::Question, QString(),
                  QStringLiteral("你想将 ") + from + QStringLiteral(" 班学生 ") +
                      s.grid->cellText(m_row, 1) + QStringLiteral(" 调整到 ") + to +
                      QStringLiteral(" 班吗?"),
                  QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (const Status moved = m_workspace.use([&](Database &db) {
            return ClassAdjustment::move(db, s.rowids[size_t(m_row - 1)], to.toInt());
        });
        !moved.isOk()) {
        m_message(this, QMessageBox::Warning, QStringLiteral("提示"), moved.message(),
                  QMessageBox::Ok);
        return;
    }
    emit moved();
    loadStatistics();
    // The pupil has gone to the other list: nobody is picked until the user picks again.
    fill(0);
    fill(1);
    forgetPick();
}

} // namespace fenpai
