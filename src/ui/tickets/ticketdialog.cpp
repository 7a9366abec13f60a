#include "ui/tickets/ticketdialog.h"

#include "grid/grid.h"
#include "jobs/tickets/desklabels.h"
#include "jobs/tickets/ticketproduction.h"
#include "jobs/workspace.h"
#include "ui/documents/documentwindow.h"
#include "ui/grid/gridprinter.h"
#include "ui/grid/gridview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QVBoxLayout>

namespace fenpai {

namespace {

using Layout = TicketSettings::Layout;
using Order = TicketSettings::Order;
using Grouping = TicketSettings::Grouping;

// Template rows 4..9 of column 11 choose the field of their row.
constexpr int kFieldCol = 11;
constexpr int kFirstFieldRow = 4;
constexpr int kLastFieldRow = 9;

QRadioButton *radio(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QRadioButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QGroupBox *optionBox(const QString &title, QRadioButton *a, QRadioButton *b, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(a);
    layout->addWidget(b);
    // Each box is its own choice.
    auto *group = new QButtonGroup(box);
    group->addButton(a);
    group->addButton(b);
    return box;
}

const QString usePhotosKey = QStringLiteral("tickets/usePhotos");
const QString photoFolderKey = QStringLiteral("tickets/photoFolder");
const QString photoFieldKey = QStringLiteral("tickets/photoField");

void refill(QComboBox *box, const QStringList &items)
{
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
}

} // namespace

TicketDialog::TicketDialog(Workspace &workspace, const TicketTemplates &templates,
                           DocumentBuilder builder, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
    , m_templates(templates)
    , m_buildDocument(std::move(builder))
{
    setObjectName(QStringLiteral("zizhuo"));
    setWindowTitle(QStringLiteral("制作准考证"));
    setModal(false);
    m_preview = [this](const Grid &grid) { GridPrinter(grid).preview(this); };
    m_rowFields = TicketSettings().rowFields;

    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    auto *ticketTab = new QWidget(m_tabs);
    auto *labelTab = new QWidget(m_tabs);
    m_tabs->addTab(ticketTab, QStringLiteral("制作准考证"));
    m_tabs->addTab(labelTab, QStringLiteral("制作桌贴"));
    layout->addWidget(m_tabs, 1);
    buildTicketTab(ticketTab);
    buildLabelTab(labelTab);

    auto *ok = new QPushButton(QStringLiteral("确  定"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取  消"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { (void)produce(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);

    // The defaults, each as its option's click: the standard template, sequential, by class.
    m_standard->setChecked(true);
    m_sequential->setChecked(true);
    m_byClass->setChecked(true);
    m_labelSeat->setChecked(true);
    loadTemplate(false);
    fillGroupLists();
    updateSelectors();
    setPhotos(false);
    const Workspace::TicketLists lists = m_workspace.ticketLists();
    refill(m_labelRoom, lists.rooms);
    m_photoName->addItems(lists.photoNames.isEmpty()
                              ? QStringList{QStringLiteral("姓名"), QStringLiteral("考号")}
                              : lists.photoNames);
    m_photoName->setCurrentIndex(-1);
    resize(1000, 720);
}

TicketDialog::~TicketDialog() = default;

void TicketDialog::buildTicketTab(QWidget *tab)
{
    QHBoxLayout *options = buildTicketOptions(tab);
    QHBoxLayout *templateRow = buildTemplateRow(tab);
    QHBoxLayout *photoRow = buildPhotoRow(tab);
    QGridLayout *selectors = buildSelectors(tab);

    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(options);
    layout->addLayout(templateRow, 1);
    layout->addLayout(photoRow);
    layout->addLayout(selectors);
}

QHBoxLayout *TicketDialog::buildTicketOptions(QWidget *tab)
{
    m_standard = radio(QStringLiteral("标准型(每页2个)"), "Option1", tab);
    m_economy = radio(QStringLiteral("经济型(每页3个)"), "Option2", tab);
    m_byClass = radio(QStringLiteral("按班级打印"), "Option5", tab);
    m_byRoom = radio(QStringLiteral("按考场打印"), "Option6", tab);
    m_sequential = radio(QStringLiteral("顺序打印"), "Option3", tab);
    m_sequential->setToolTip(QStringLiteral("如:第一页是1班考生1,1班考生2,....."));
    m_stacked = radio(QStringLiteral("叠式打印"), "Option4", tab);
    m_stacked->setToolTip(
        QStringLiteral("每页打印2或3名班级(考场)的学生,如:第一页第一个是一班考生1,第二页第一个是一"
                       "班考生2,...这样便于装钉."));
    auto *options = new QHBoxLayout;
    options->addWidget(
        optionBox(QStringLiteral("准考证类型(A4纸横排)"), m_standard, m_economy, tab));
    options->addWidget(optionBox(QStringLiteral("分组方式"), m_byClass, m_byRoom, tab));
    options->addWidget(optionBox(QStringLiteral("打印方式"), m_sequential, m_stacked, tab));
    options->addStretch(1);
    connect(m_standard, &QRadioButton::clicked, this,
            [this] { setTicketLayout(Layout::Standard); });
    connect(m_economy, &QRadioButton::clicked, this, [this] { setTicketLayout(Layout::Economy); });
    connect(m_sequential, &QRadioButton::clicked, this, [this] { setOrder(Order::Sequential); });
    connect(m_stacked, &QRadioButton::clicked, this, [this] { setOrder(Order::Stacked); });
    connect(m_byClass, &QRadioButton::clicked, this, [this] { setGrouping(Grouping::ByClass); });
    connect(m_byRoom, &QRadioButton::clicked, this, [this] { setGrouping(Grouping::ByRoom); });
    return options;
}

QHBoxLayout *TicketDialog::buildTemplateRow(QWidget *tab)
{
    m_template = new Grid(this);
    m_view = new GridView(m_template, tab);
    m_view->setObjectName(QStringLiteral("Grid1"));
    m_view->setMinimumSize(640, 260);
    auto *font = new QPushButton(QStringLiteral("字 体"), tab);
    font->setObjectName(QStringLiteral("Command3"));
    auto *save = new QPushButton(QStringLiteral("保 存"), tab);
    save->setObjectName(QStringLiteral("Command4"));
    auto *restore = new QPushButton(QStringLiteral("恢复默认"), tab);
    restore->setObjectName(QStringLiteral("Command5"));
    auto *code = new QPushButton(QStringLiteral("二维码"), tab);
    code->setObjectName(QStringLiteral("Command7"));
    code->setToolTip(QStringLiteral("把所选的单元格合并为二维码的位置：打印时画上考生的考号、考场、"
                                    "座位和校验码，可用手机扫描核对"));
    auto *templateButtons = new QVBoxLayout;
    templateButtons->addWidget(font);
    templateButtons->addWidget(code);
    templateButtons->addWidget(save);
    templateButtons->addWidget(restore);
    templateButtons->addStretch(1);
    auto *templateRow = new QHBoxLayout;
    templateRow->addWidget(m_view, 1);
    templateRow->addLayout(templateButtons);
    connect(font, &QPushButton::clicked, this, &TicketDialog::chooseFont);
    connect(save, &QPushButton::clicked, this, &TicketDialog::saveTemplate);
    connect(restore, &QPushButton::clicked, this, &TicketDialog::restoreTemplate);
    connect(code, &QPushButton::clicked, this, &TicketDialog::placeCode);
    connect(m_view, &GridView::dropDownRequested, this, [](int row, int col, QStringList *items) {
        if (col == kFieldCol && row >= kFirstFieldRow && row <= kLastFieldRow)
            *items = TicketProduction::rowFieldChoices();
    });
    connect(m_view, &GridView::dropDownChosen, this,
            [this](int row, int col, int, const QString &text) {
                if (col == kFieldCol)
                    chooseRowField(row, text);
            });
    return templateRow;
}

QHBoxLayout *TicketDialog::buildPhotoRow(QWidget *tab)
{
    m_usePhotos = new QCheckBox(QStringLiteral("使用电子照片 目录"), tab);
    m_usePhotos->setObjectName(QStringLiteral("Check1"));
    m_folder = new QLineEdit(tab);
    m_folder->setObjectName(QStringLiteral("Text1"));
    m_browse = new QPushButton(QStringLiteral("浏览.."), tab);
    m_browse->setObjectName(QStringLiteral("Command6"));
    m_photoNameLabel = new QLabel(QStringLiteral("照片文件名"), tab);
    m_photoName = new QComboBox(tab);
    m_photoName->setObjectName(QStringLiteral("Combo5"));
    m_photoName->setMinimumContentsLength(4);
    auto *photoRow = new QHBoxLayout;
    photoRow->addWidget(m_usePhotos);
    photoRow->addWidget(m_folder, 1);
    photoRow->addWidget(m_browse);
    photoRow->addWidget(new QLabel(QStringLiteral("格式"), tab));
    photoRow->addWidget(new QLabel(QStringLiteral(".jpg"), tab));
    photoRow->addSpacing(12);
    photoRow->addWidget(m_photoNameLabel);
    photoRow->addWidget(m_photoName);
    connect(m_usePhotos, &QCheckBox::toggled, this, [this](bool on) { setPhotos(on); });
    connect(m_browse, &QPushButton::clicked, this, &TicketDialog::browseFolder);
    return photoRow;
}

QGridLayout *TicketDialog::buildSelectors(QWidget *tab)
{
    auto *selectors = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        m_labels[size_t(i)] = new QLabel(tab);
        m_labels[size_t(i)]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        m_combos[size_t(i)] = new QComboBox(tab);
        m_combos[size_t(i)]->setObjectName(QStringLiteral("Combo%1").arg(i + 1));
        m_combos[size_t(i)]->setMinimumContentsLength(10);
        selectors->addWidget(m_labels[size_t(i)], 0, i);
        selectors->addWidget(m_combos[size_t(i)], 1, i);
    }
    selectors->setColumnStretch(4, 1);
    connect(m_combos[0], &QComboBox::textActivated, this, [this](const QString &text) {
        if (m_byClass->isChecked())
            chooseSchool(text);
    });
    return selectors;
}

void TicketDialog::buildLabelTab(QWidget *tab)
{
    m_labelExamNumber = radio(QStringLiteral("考号"), "Option7", tab);
    m_labelSeat = radio(QStringLiteral("座位号"), "Option8", tab);
    m_labelRoom = new QComboBox(tab);
    m_labelRoom->setObjectName(QStringLiteral("Combo6"));
    m_labelRoom->setMinimumContentsLength(10);
    auto *roomBox = new QGroupBox(QStringLiteral("选择考场"), tab);
    auto *roomLayout = new QHBoxLayout(roomBox);
    roomLayout->addWidget(new QLabel(QStringLiteral("考场"), roomBox));
    roomLayout->addWidget(m_labelRoom, 1);
    auto *layout = new QHBoxLayout(tab);
    auto *column = new QVBoxLayout;
    column->addWidget(optionBox(QStringLiteral("桌贴类型"), m_labelExamNumber, m_labelSeat, tab));
    column->addWidget(roomBox);
    column->addStretch(1);
    layout->addLayout(column);
    layout->addStretch(1);
}

TicketSettings TicketDialog::ticketSettings() const
{
    TicketSettings s;
    s.layout = m_layout;
    s.grouping = m_byRoom->isChecked() ? Grouping::ByRoom : Grouping::ByClass;
    s.order = m_stacked->isChecked() ? Order::Stacked : Order::Sequential;
    // The drop-downs the options show: by class Combo1 is the school, the rest the classes.
    const int first = s.grouping == Grouping::ByClass ? 1 : 0;
    if (first == 1)
        s.school = m_combos[0]->currentText();
    for (int i = 0; i < s.groupCount(); ++i)
        s.groups.append(m_combos[size_t(first + i)]->currentText());
    s.usePhotos = m_usePhotos->isChecked();
    s.photoFolder = m_folder->text();
    s.photoNameField = m_photoName->currentText();
    s.rowFields = m_rowFields;
    return s;
}

DeskLabelSettings TicketDialog::labelSettings() const
{
    DeskLabelSettings s;
    s.kind = m_labelExamNumber->isChecked() ? DeskLabelSettings::Kind::ExamNumber
                                            : DeskLabelSettings::Kind::Seat;
    s.room = m_labelRoom->currentText();
    return s;
}

void TicketDialog::rememberIn(QSettings *settings)
{
    setPhotos(settings->value(usePhotosKey, false).toBool(),
              settings->value(photoFolderKey).toString(),
              settings->value(photoFieldKey).toString());
    const auto store = [this, settings] {
        settings->setValue(usePhotosKey, m_usePhotos->isChecked());
        settings->setValue(photoFolderKey, m_folder->text());
        settings->setValue(photoFieldKey, m_photoName->currentText());
    };
    connect(m_usePhotos, &QCheckBox::toggled, settings, store);
    connect(m_folder, &QLineEdit::textChanged, settings, store);
    connect(m_photoName, &QComboBox::currentTextChanged, settings, store);
}

TicketDialog::Photos TicketDialog::rememberedPhotos(const QSettings &settings)
{
    if (!settings.value(usePhotosKey, false).toBool())
        return {};
    return {settings.value(photoFolderKey).toString(), settings.value(photoFieldKey).toString()};
}

void TicketDialog::setTicketLayout(Layout layout)
{
    (layout == Layout::Standard ? m_standard : m_economy)->setChecked(true);
    m_layout = layout;
    loadTemplate(false);
    updateSelectors();
}

void TicketDialog::setOrder(Order order)
{
    (order == Order::Sequential ? m_sequential : m_stacked)->setChecked(true);
    updateSelectors();
}

void TicketDialog::setGrouping(Grouping grouping)
{
    (grouping == Grouping::ByClass ? m_byClass : m_byRoom)->setChecked(true);
    fillGroupLists();
    updateSelectors();
}

void TicketDialog::setPhotos(bool on, const QString &folder, const QString &nameField)
{
    if (m_usePhotos->isChecked() != on)
        m_usePhotos->setChecked(on); // comes back here through toggled
    if (!folder.isEmpty())
        m_folder->setText(folder);
    if (!nameField.isEmpty())
        m_photoName->setCurrentIndex(m_photoName->findText(nameField));
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_folder, m_browse, m_photoNameLabel, m_photoName})
        w->setEnabled(on);
}

void TicketDialog::chooseSchool(const QString &school)
{
    m_combos[0]->setCurrentIndex(m_combos[0]->findText(school));
    const QStringList classes = m_workspace.ticketLists(school).classes;
    for (int i = 1; i < 4; ++i)
        refill(m_combos[size_t(i)], classes);
}

void TicketDialog::chooseRowField(int row, const QString &field)
{
    if (row < kFirstFieldRow || row > kLastFieldRow)
        return;
    m_rowFields[size_t(row - kFirstFieldRow)] = field;
    // Both halves of the template name the field their row shows.
    m_template->setCellText(row, 4, field);
    m_template->setCellText(row, kFieldCol, field);
}

void TicketDialog::loadTemplate(bool restore)
{
    const Status s = restore ? m_templates.restore(*m_template, m_layout)
                             : m_templates.load(*m_template, m_layout);
    if (!s.isOk()) {
        showMessage(s.message());
        return;
    }
    m_template->range(kFirstFieldRow, kFieldCol, kLastFieldRow, kFieldCol).setDropDown(true);
    for (int row = kFirstFieldRow; row <= kLastFieldRow; ++row)
        chooseRowField(row, m_rowFields[size_t(row - kFirstFieldRow)]);
}

void TicketDialog::updateSelectors()
{
    for (int i = 0; i < 4; ++i) {
        m_combos[size_t(i)]->setVisible(false);
        m_labels[size_t(i)]->clear();
    }
    QStringList captions;
    const int count = ticketSettings().groupCount();
    if (m_byClass->isChecked()) {
        captions.append(QStringLiteral("学校"));
        for (int i = 1; i <= count; ++i)
            captions.append(count == 1 ? QStringLiteral("班级") : QStringLiteral("班级%1").arg(i));
    } else {
        for (int i = 1; i <= count; ++i)
            captions.append(count == 1 ? QStringLiteral("考场") : QStringLiteral("考场%1").arg(i));
    }
    for (int i = 0; i < captions.size(); ++i) {
        m_labels[size_t(i)]->setText(captions.at(i));
        m_combos[size_t(i)]->setVisible(true);
    }
}

void TicketDialog::fillGroupLists()
{
    const Workspace::TicketLists lists = m_workspace.ticketLists();
    if (m_byClass->isChecked()) {
        refill(m_combos[0], lists.schools);
        for (int i = 1; i < 4; ++i)
            refill(m_combos[size_t(i)], {});
    } else {
        for (int i = 0; i < 3; ++i)
            refill(m_combos[size_t(i)], lists.rooms);
        refill(m_combos[3], {});
    }
}

void TicketDialog::chooseFont()
{
    QFont preset(QStringLiteral("宋体"));
    preset.setPointSize(14);
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, preset, this);
    if (!ok)
        return;
    GridRange range = m_view->selection().range();
    range.setFont(GridFont::fromQFont(font));
}

void TicketDialog::placeCode()
{
    GridRange range = m_view->selection().range();
    range.merge();
    const GridArea block = m_template->mergeAt(range.firstRow(), range.firstCol());
    m_template->setCellText(block.firstRow, block.firstCol, TicketProduction::codeField());
    GridRange cell =
        m_template->range(block.firstRow, block.firstCol, block.firstRow, block.firstCol);
    cell.setAlignment(GridAlign::CenterMiddle);
    cell.setForeColor(QColor(0x80, 0x80, 0x80));
}

void TicketDialog::browseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("请选择目标文件夹路径："), m_folder->text());
    if (!folder.isEmpty())
        m_folder->setText(folder);
}

void TicketDialog::saveTemplate()
{
    if (const Status s = m_template->saveFile(m_templates.workingPath(m_layout)); !s.isOk())
        showMessage(s.message());
}

void TicketDialog::restoreTemplate()
{
    loadTemplate(true);
}

void TicketDialog::showMessage(const QString &text)
{
    m_message(this, QMessageBox::NoIcon, QString(), text, QMessageBox::Ok);
}

bool TicketDialog::produce()
{
    return m_tabs->currentIndex() == 0 ? produceTickets() : produceLabels();
}

bool TicketDialog::produceTickets()
{
    const TicketSettings settings = ticketSettings();
    if (const Status s = TicketProduction::validate(settings); !s.isOk()) {
        showMessage(s.message());
        return false;
    }
    QStringList withoutPhoto;
    const bool made = fillDocument(QStringLiteral("准考证"), [&](Grid &grid) {
        Result<TicketProduction::Outcome> outcome = m_workspace.use(
            [&](Database &db) { return TicketProduction::build(db, *m_template, settings, grid); });
        if (outcome)
            withoutPhoto = outcome->withoutPhoto;
        return outcome.status();
    });
    if (made && !withoutPhoto.isEmpty())
        showMessage(withoutPhotoText(withoutPhoto));
    return made;
}

QString TicketDialog::withoutPhotoText(const QStringList &examinees)
{
    // A long list is cut: the message box must fit the screen.
    constexpr qsizetype kShown = 20;
    QString text =
        QStringLiteral("以下 %1 名考生没有照片，准考证上照片框留空：\n").arg(examinees.size());
    text += examinees.mid(0, kShown).join(u'\n');
    if (examinees.size() > kShown)
        text += QStringLiteral("\n……等 %1 人").arg(examinees.size());
    return text;
}

bool TicketDialog::produceLabels()
{
    const DeskLabelSettings settings = labelSettings();
    return fillDocument(QStringLiteral("第 ") + settings.room + QStringLiteral(" 考场桌贴"),
                        [&](Grid &grid) {
                            return m_workspace.use([&](Database &db) {
                                return DeskLabels::build(db, settings, grid);
                            });
                        });
}

bool TicketDialog::fillDocument(const QString &title, const std::function<Status(Grid &)> &build)
{
    DocumentWindow *doc = m_buildDocument([&](Grid &grid) -> Result<ReportDocument> {
        if (Status s = build(grid); !s.isOk())
            return s;
        return ReportDocument{title, QString()};
    });
    if (!doc)
        return false;
    m_preview(doc->grid());
    return true;
}

} // namespace fenpai
