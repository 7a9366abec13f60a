#include "ui/documents/pagesetupdialog.h"

#include "core/numbertext.h"
#include "grid/grid.h"
#include "grid/pagesetupfile.h"
#include "ui/common/messagesink.h"
#include "ui/documents/pagepicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace fenpai {

namespace {

// Zoom within what printing honours; counts never below 0 (a grid file refuses both).
int wholeNumber(const QLineEdit *box, int min, int max)
{
    const double v = NumberText::roundHalfEven(NumberText::leadingValue(box->text()));
    return int(std::clamp(v, double(min), double(max)));
}

double number(const QLineEdit *box)
{
    return NumberText::leadingValue(box->text());
}

QLabel *buddyLabel(const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

QComboBox *alignmentList(const char *objectName)
{
    auto *list = new QComboBox;
    list->setObjectName(QLatin1String(objectName));
    list->addItems(
        {QStringLiteral("左对齐"), QStringLiteral("居中对齐"), QStringLiteral("右对齐")});
    return list;
}

} // namespace

PageSetupDialog::PageSetupDialog(QWidget *parent)
    : QDialog(parent)
    , m_tabs(new QTabWidget(this))
{
    setObjectName(QStringLiteral("frmPageSetup"));
    setWindowTitle(QStringLiteral("页面设置"));
    m_tabs->addTab(buildPageTab(), QStringLiteral(" 页面 "));
    m_tabs->addTab(buildMarginsTab(), QStringLiteral(" 页边距 "));
    m_tabs->addTab(buildHeaderFooterTab(), QStringLiteral("页眉/页脚"));

    auto *ok = new QPushButton(QStringLiteral("确定"));
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *saveAs = new QPushButton(QStringLiteral("另存为设置…"));
    saveAs->setObjectName(QStringLiteral("cmdSaveSettings"));
    connect(ok, &QPushButton::clicked, this, &PageSetupDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &PageSetupDialog::reject);
    connect(saveAs, &QPushButton::clicked, this, &PageSetupDialog::saveSettings);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(saveAs);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);
    setPageSetup(PageSetup());
}

QLineEdit *PageSetupDialog::numberBox(const char *objectName)
{
    auto *box = new QLineEdit;
    box->setObjectName(QLatin1String(objectName));
    box->setMaximumWidth(70);
    return box;
}

QWidget *PageSetupDialog::buildPageTab()
{
    auto *frame = new QWidget;
    frame->setObjectName(QStringLiteral("fraPage"));

    auto *orientation = new QGroupBox(QStringLiteral("方向"));
    m_portrait = new QRadioButton(QStringLiteral("纵向(&T)"));
    m_portrait->setObjectName(QStringLiteral("optPortrait"));
    m_landscape = new QRadioButton(QStringLiteral("横向(&L)"));
    m_landscape->setObjectName(QStringLiteral("optLandscape"));
    auto *o = new QHBoxLayout(orientation);
    o->addWidget(m_portrait);
    o->addWidget(m_landscape);
    o->addStretch(1);
    connect(m_portrait, &QRadioButton::toggled, this, &PageSetupDialog::updatePicture);

    // Built in the order they stand, which is the order the Tab key follows.
    QGroupBox *paper = buildPaperBox();
    auto *scaling = new QGroupBox(QStringLiteral("缩放"));
    m_zoom = numberBox("txtZoom");
    auto *z = new QHBoxLayout(scaling);
    z->addWidget(buddyLabel(QStringLiteral("缩放比例(&Z):"), m_zoom));
    z->addWidget(m_zoom);
    z->addWidget(new QLabel(QStringLiteral("% 正常尺寸")));
    z->addStretch(1);

    QGroupBox *titles = buildTitlesBox();
    QGroupBox *printing = buildPrintingBox();
    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(orientation);
    layout->addWidget(paper);
    layout->addWidget(scaling);
    layout->addWidget(titles);
    layout->addWidget(printing);
    layout->addStretch(1);
    return frame;
}

QGroupBox *PageSetupDialog::buildPaperBox()
{
    auto *paper = new QGroupBox(QStringLiteral("纸张"));
    m_paper = new QComboBox;
    m_paper->setObjectName(QStringLiteral("cboPaperSize"));
    for (const PaperKind &kind : PageSetup::paperKinds())
        m_paper->addItem(kind.name);
    // Only digits and one point: a second point is refused as it is typed.
    auto *decimal = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*\\.?[0-9]*")), this);
    m_paperWidth = numberBox("txtPaperWidth");
    m_paperHeight = numberBox("txtPaperHeight");
    m_paperWidth->setValidator(decimal);
    m_paperHeight->setValidator(decimal);
    m_widthLabel = buddyLabel(QStringLiteral("宽度(&W):"), m_paperWidth);
    m_heightLabel = buddyLabel(QStringLiteral("高度(&H):"), m_paperHeight);
    auto *p = new QGridLayout(paper);
    p->addWidget(buddyLabel(QStringLiteral("大小(&S):"), m_paper), 0, 0);
    p->addWidget(m_paper, 0, 1, 1, 4);
    p->addWidget(m_widthLabel, 1, 0);
    p->addWidget(m_paperWidth, 1, 1);
    p->addWidget(m_heightLabel, 1, 2);
    p->addWidget(m_paperHeight, 1, 3);
    p->setColumnStretch(4, 1);
    connect(m_paper, &QComboBox::currentIndexChanged, this, [this] {
        updatePaperBoxes();
        updatePicture();
    });
    return paper;
}

QGroupBox *PageSetupDialog::buildTitlesBox()
{
    auto *titles = new QGroupBox(QStringLiteral("打印标题"));
    m_titleRows = numberBox("txtPrintTitleRows");
    m_titleCols = numberBox("txtPrintTitleColumns");
    m_bottomRows = numberBox("txtPrintBottomTitleRows");
    auto *t = new QGridLayout(titles);
    t->addWidget(buddyLabel(QStringLiteral("标题行数(&I):"), m_titleRows), 0, 0);
    t->addWidget(m_titleRows, 0, 1);
    t->addWidget(buddyLabel(QStringLiteral("标题列数(&O):"), m_titleCols), 0, 2);
    t->addWidget(m_titleCols, 0, 3);
    t->addWidget(buddyLabel(QStringLiteral("底部标题行数(&B):"), m_bottomRows), 1, 0);
    t->addWidget(m_bottomRows, 1, 1);
    t->setColumnStretch(4, 1);
    return titles;
}

QGroupBox *PageSetupDialog::buildPrintingBox()
{
    auto *printing = new QGroupBox(QStringLiteral("打印"));
    m_fixedRow = new QCheckBox(QStringLiteral("打印固定行(&R)"));
    m_fixedRow->setObjectName(QStringLiteral("chkPrintFixedRow"));
    m_fixedCol = new QCheckBox(QStringLiteral("打印固定列(&C)"));
    m_fixedCol->setObjectName(QStringLiteral("chkPrintFixedColumn"));
    m_gridlines = new QCheckBox(QStringLiteral("打印网格线(&G)"));
    m_gridlines->setObjectName(QStringLiteral("chkPrintGridlines"));
    m_blackAndWhite = new QCheckBox(QStringLiteral("单色打印(&W)"));
    m_blackAndWhite->setObjectName(QStringLiteral("chkBlackAndWhite"));
    auto *c = new QGridLayout(printing);
    c->addWidget(m_fixedRow, 0, 0);
    c->addWidget(m_fixedCol, 0, 1);
    c->addWidget(m_gridlines, 1, 0);
    c->addWidget(m_blackAndWhite, 1, 1);
    return printing;
}

QWidget *PageSetupDialog::buildMarginsTab()
{
    auto *frame = new QWidget;
    frame->setObjectName(QStringLiteral("fraMargins"));
    const struct
    {
        const char *name;
        const char *caption;
    } boxes[] = {
        {"txtTopMargin", "上(&T):"},      {"txtBottomMargin", "下(&B):"},
        {"txtLeftMargin", "左(&L):"},     {"txtRightMargin", "右(&R):"},
        {"txtHeaderMargin", "页眉(&H):"}, {"txtFooterMargin", "页脚(&F):"},
    };
    m_picture = new PagePicture;
    auto *grid = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        QLineEdit *box = numberBox(boxes[i].name);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, &PageSetupDialog::updatePicture);
        m_margins.append(box);
        const int row = i / 2;
        const int col = (i % 2) * 4;
        grid->addWidget(buddyLabel(QString::fromUtf8(boxes[i].caption), box), row, col);
        grid->addWidget(box, row, col + 1);
        grid->addWidget(new QLabel(QStringLiteral("厘米")), row, col + 2);
    }
    grid->setColumnMinimumWidth(3, 24); // between the two columns of boxes
    grid->setColumnStretch(7, 1);

    auto *centring = new QGroupBox(QStringLiteral("居中方式"));
    m_centerH = new QCheckBox(QStringLiteral("水平居中(&Z)"));
    m_centerH->setObjectName(QStringLiteral("chkCenterHorizontally"));
    m_centerV = new QCheckBox(QStringLiteral("垂直居中(&V)"));
    m_centerV->setObjectName(QStringLiteral("chkCenterVertically"));
    connect(m_centerH, &QCheckBox::toggled, this, &PageSetupDialog::updatePicture);
    connect(m_centerV, &QCheckBox::toggled, this, &PageSetupDialog::updatePicture);
    auto *cl = new QHBoxLayout(centring);
    cl->addWidget(m_centerH);
    cl->addWidget(m_centerV);
    cl->addStretch(1);

    auto *layout = new QVBoxLayout(frame);
    layout->addLayout(grid);
    layout->addWidget(m_picture, 1, Qt::AlignHCenter);
    layout->addWidget(centring);
    return frame;
}

QWidget *PageSetupDialog::buildHeaderFooterTab()
{
    auto *frame = new QWidget;
    frame->setObjectName(QStringLiteral("fraHeaderFooter"));
    auto part = [this](const QString &caption, const char *box, const char *align, QLineEdit **edit,
                       QComboBox **list) {
        auto *group = new QGroupBox(caption);
        *edit = new QLineEdit;
        (*edit)->setObjectName(QLatin1String(box));
        *list = alignmentList(align);
        auto *font = new QPushButton(QStringLiteral("设置字体"));
        font->setObjectName(QLatin1String(box) + QStringLiteral("Font"));
        QLineEdit *target = *edit;
        connect(font, &QPushButton::clicked, this, [this, target] { chooseFont(target); });
        auto *l = new QGridLayout(group);
        l->addWidget(*edit, 0, 0, 1, 4);
        l->addWidget(buddyLabel(QStringLiteral("对齐:"), *list), 1, 0);
        l->addWidget(*list, 1, 1);
        l->addWidget(font, 1, 3);
        l->setColumnStretch(2, 1);
        return group;
    };
    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(
        part(QStringLiteral("页眉"), "txtHeader", "cboHeaderAlign", &m_header, &m_headerAlign));
    layout->addWidget(
        part(QStringLiteral("页脚"), "txtFooter", "cboFooterAlign", &m_footer, &m_footerAlign));
    auto *hint = new QLabel(
        QStringLiteral("&p 为页码，&n 为总页数，如“%1”。").arg(PageSetup::standardFooter()));
    hint->setTextFormat(Qt::PlainText);
    layout->addWidget(hint);
    layout->addStretch(1);
    return frame;
}

void PageSetupDialog::setGrid(Grid *grid)
{
    m_grid = grid;
    if (grid)
        setPageSetup(grid->pageSetup());
}

void PageSetupDialog::setPageSetup(const PageSetup &s)
{
    m_initial = s;
    (s.isLandscape() ? m_landscape : m_portrait)->setChecked(true);
    m_paper->setCurrentIndex(std::clamp(s.paperKind, 0, PageSetup::customPaperKind()));
    m_paperWidth->setText(NumberText::format(s.paperWidth));
    m_paperHeight->setText(NumberText::format(s.paperHeight));
    m_zoom->setText(QString::number(s.zoom));
    m_titleRows->setText(QString::number(s.printTitleRows));
    m_titleCols->setText(QString::number(s.printTitleColumns));
    m_bottomRows->setText(QString::number(s.printBottomTitleRows));
    m_fixedRow->setChecked(s.printFixedRow);
    m_fixedCol->setChecked(s.printFixedColumn);
    m_gridlines->setChecked(s.printGridlines);
    m_blackAndWhite->setChecked(s.blackAndWhite);
    const double margins[] = {s.topMargin,   s.bottomMargin, s.leftMargin,
                              s.rightMargin, s.headerMargin, s.footerMargin};
    for (int i = 0; i < 6; ++i)
        m_margins[i]->setText(QString::number(margins[i], 'f', 1));
    m_centerH->setChecked(s.centerHorizontally);
    m_centerV->setChecked(s.centerVertically);
    m_header->setText(s.header);
    m_header->setFont(s.headerFont.toQFont());
    m_headerAlign->setCurrentIndex(std::clamp(int(s.headerAlignment), 0, 2));
    m_footer->setText(s.footer);
    m_footer->setFont(s.footerFont.toQFont());
    m_footerAlign->setCurrentIndex(std::clamp(int(s.footerAlignment), 0, 2));
    updatePaperBoxes();
    updatePicture();
}

PageSetup PageSetupDialog::pageSetup() const
{
    PageSetup s = m_initial;
    s.orientation = m_portrait->isChecked() ? PageSetup::Orientation::Portrait
                                            : PageSetup::Orientation::Landscape;
    s.paperKind = m_paper->currentIndex();
    if (s.paperKind == PageSetup::customPaperKind()) {
        s.paperWidth = number(m_paperWidth);
        s.paperHeight = number(m_paperHeight);
    }
    s.zoom = wholeNumber(m_zoom, 10, 400);
    s.printTitleRows = wholeNumber(m_titleRows, 0, 1'000'000);
    s.printTitleColumns = wholeNumber(m_titleCols, 0, 10'000);
    s.printBottomTitleRows = wholeNumber(m_bottomRows, 0, 1'000'000);
    s.printFixedRow = m_fixedRow->isChecked();
    s.printFixedColumn = m_fixedCol->isChecked();
    s.printGridlines = m_gridlines->isChecked();
    s.blackAndWhite = m_blackAndWhite->isChecked();
    s.centerHorizontally = m_centerH->isChecked();
    s.centerVertically = m_centerV->isChecked();
    double *margins[] = {&s.topMargin,   &s.bottomMargin, &s.leftMargin,
                         &s.rightMargin, &s.headerMargin, &s.footerMargin};
    for (int i = 0; i < 6; ++i)
        *margins[i] = number(m_margins[i]);
    s.header = m_header->text();
    s.headerAlignment = PageSetup::TextAlign(m_headerAlign->currentIndex());
    s.headerFont = GridFont::fromQFont(m_header->font());
    s.footer = m_footer->text();
    s.footerAlignment = PageSetup::TextAlign(m_footerAlign->currentIndex());
    s.footerFont = GridFont::fromQFont(m_footer->font());
    return s;
}

void PageSetupDialog::accept()
{
    if (m_grid)
        m_grid->setPageSetup(pageSetup());
    QDialog::accept();
}

void PageSetupDialog::updatePaperBoxes()
{
    const bool custom = m_paper->currentIndex() == PageSetup::customPaperKind();
    for (QWidget *w : {static_cast<QWidget *>(m_widthLabel), static_cast<QWidget *>(m_heightLabel),
                       static_cast<QWidget *>(m_paperWidth), static_cast<QWidget *>(m_paperHeight)})
        w->setVisible(custom);
}

void PageSetupDialog::updatePicture()
{
    if (m_picture && m_margins.size() == 6 && m_centerV)
        m_picture->setPage(pageSetup());
}

bool PageSetupDialog::eventFilter(QObject *watched, QEvent *event)
{
    const int line = m_margins.indexOf(qobject_cast<QLineEdit *>(watched));
    if (line >= 0) {
        if (event->type() == QEvent::FocusIn)
            m_picture->setHighlighted(PagePicture::Line(line));
        else if (event->type() == QEvent::FocusOut && m_picture->highlighted() == line)
            m_picture->setHighlighted(PagePicture::None);
    }
    return QDialog::eventFilter(watched, event);
}

void PageSetupDialog::chooseFont(QLineEdit *box)
{
    QFont font = box->font();
    bool chosen = false;
    if (m_chooseFont)
        chosen = m_chooseFont(&font);
    else
        font = QFontDialog::getFont(&chosen, box->font(), this, QStringLiteral("字体"));
    if (chosen)
        box->setFont(font);
}

void PageSetupDialog::saveSettings()
{
    const QString path =
        m_chooseFile ? m_chooseFile()
                     : QFileDialog::getSaveFileName(this, QStringLiteral("另存为设置"), QString(),
                                                    QStringLiteral("页面设置 (*.json)"));
    if (path.isEmpty())
        return;
    if (const Status s = PageSetupFile::save(pageSetup(), path); !s.isOk())
        MessageSink::show(this, QMessageBox::Warning, QStringLiteral("提示"), s.message());
}

} // namespace fenpai
