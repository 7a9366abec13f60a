#include "ui/main/startpage.h"

#include "jobs/import/demoimport.h"
#include "ui/common/datachanges.h"
#include "ui/main/dynamicmenu.h"
#include "ui/main/helpwindows.h"
#include "ui/main/importmenu.h"
#include "ui/main/mainwindow.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

namespace fenpai {

namespace {

// Links look like links; a road's next step stands out in the same way for every link.
const char *const pageStyle = R"(
QWidget#startContent { background: palette(base); }
QPushButton { border: 1px solid transparent; color: #1a5fb4; text-decoration: underline;
              padding: 3px 6px; text-align: left; background: transparent; }
QPushButton:hover { background: #e8f0fb; }
QPushButton:focus { border: 1px dotted #1a5fb4; }
QPushButton:disabled { color: #8a8a8a; text-decoration: none; }
QPushButton[next="true"] { font-weight: bold; background: #fff3c4; border: 1px solid #e0a800;
                           border-radius: 3px; }
QLabel[state="true"] { color: #333333; padding-left: 6px; }
)";

// A dynamic menu's first item ("全部班级", "全部考场") is named "menu:0".
constexpr QChar itemMark = u':';

QString linkName(const QString &entry)
{
    return QStringLiteral("start") + entry.section(itemMark, 0, 0);
}

QLabel *stepHeading(const QString &text)
{
    auto *heading = new QLabel(QStringLiteral("<b>%1</b>").arg(text));
    heading->setAccessibleName(text);
    return heading;
}

} // namespace

StartPage::StartPage(MainWindow &window)
    : QScrollArea(nullptr)
    , m_window(window)
{
    setObjectName(QStringLiteral("startPage"));
    setAccessibleName(QStringLiteral("开始"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("startContent"));
    content->setStyleSheet(QString::fromUtf8(pageStyle));
    auto *page = new QVBoxLayout(content);
    page->setContentsMargins(32, 24, 32, 24);
    auto *title = new QLabel(QStringLiteral("<h2>分班排考</h2>"
                                            "每一步都可以从菜单做，也可以点下面的链接；"
                                            "加框的是接下来要做的。"));
    title->setAccessibleName(QStringLiteral("分班排考：从这里开始"));
    page->addWidget(title);

    m_login = new QWidget;
    auto *login = new QHBoxLayout(m_login);
    login->setContentsMargins(0, 8, 0, 8);
    login->addWidget(
        new QLabel(QStringLiteral("还没有登录：导入、分班、编排和打印之前请先登录。")));
    addLink(login, QStringLiteral("logain"), QStringLiteral("登录…"));
    login->addStretch();
    page->addWidget(m_login);

    auto *roads = new QHBoxLayout;
    roads->setSpacing(24);
    roads->addWidget(buildDivisionRoad(), 1);
    roads->addWidget(buildArrangementRoad(), 1);
    page->addLayout(roads);
    page->addWidget(buildFooter());
    page->addStretch();
    setWidget(content);

    m_viewport = window.mdiArea()->viewport();
    m_viewport->installEventFilter(this);
    connect(&window.dataChanges(), &DataChanges::changed, this, [this] { refresh(); });
    connect(&window.state(), &AppState::loginChanged, this, [this] { refresh(); });
    m_ask = [this](const QString &question) {
        return m_window.ask(QMessageBox::Question, QStringLiteral("示例数据"), question,
                            QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    refresh();
}

QPushButton *StartPage::addLink(QBoxLayout *row, const QString &entry, const QString &caption)
{
    auto *link = new QPushButton(caption);
    link->setObjectName(linkName(entry));
    link->setCursor(Qt::PointingHandCursor);
    link->setAutoDefault(false);
    connect(link, &QPushButton::clicked, this, [this, entry] { runEntry(entry); });
    row->addWidget(link);
    m_links.insert(link->objectName(), link);
    return link;
}

QLabel *StartPage::addState(QBoxLayout *road, const QString &name, const QString &step)
{
    road->addWidget(stepHeading(step));
    auto *state = new QLabel;
    state->setObjectName(name);
    state->setProperty("state", true);
    state->setWordWrap(true);
    state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    road->addWidget(state);
    m_states.insert(name, state);
    return state;
}

QGroupBox *StartPage::buildDivisionRoad()
{
    auto *road = new QGroupBox(QStringLiteral("分班"));
    road->setAccessibleName(QStringLiteral("分班"));
    auto *steps = new QVBoxLayout(road);
    addState(steps, QStringLiteral("divisionData"), QStringLiteral("第 1 步　导入新生分班数据"));
    auto *row = new QHBoxLayout;
    addLink(row, QStringLiteral("xsfb"), QStringLiteral("导入新生分班数据…"));
    row->addStretch();
    steps->addLayout(row);
    addState(steps, QStringLiteral("division"), QStringLiteral("第 2 步　分班"));
    row = new QHBoxLayout;
    addLink(row, QStringLiteral("fbsz"), QStringLiteral("分班…"));
    addLink(row, QStringLiteral("sgtz"), QStringLiteral("手工调整…"));
    addLink(row, QStringLiteral("azxs"), QStringLiteral("安置新增学生…"));
    row->addStretch();
    steps->addLayout(row);
    steps->addWidget(stepHeading(QStringLiteral("第 3 步　打印")));
    row = new QHBoxLayout;
    addLink(row, QStringLiteral("czzpm"), QStringLiteral("新班统计"));
    addLink(row, QStringLiteral("class:0"), QStringLiteral("班级名单"));
    addLink(row, QStringLiteral("jhbg"), QStringLiteral("均衡报告"));
    row->addStretch();
    steps->addLayout(row);
    steps->addStretch();
    return road;
}

QGroupBox *StartPage::buildArrangementRoad()
{
    auto *road = new QGroupBox(QStringLiteral("考场编排"));
    road->setAccessibleName(QStringLiteral("考场编排"));
    auto *steps = new QVBoxLayout(road);
    addState(steps, QStringLiteral("examData"), QStringLiteral("第 1 步　导入考场编排数据"));
    auto *row = new QHBoxLayout;
    addLink(row, QStringLiteral("kcbp"), QStringLiteral("导入考场编排数据…"));
    row->addStretch();
    steps->addLayout(row);
    addState(steps, QStringLiteral("arrangement"), QStringLiteral("第 2 步　编排"));
    row = new QHBoxLayout;
    addLink(row, QStringLiteral("bianpai"), QStringLiteral("编排…"));
    addLink(row, QStringLiteral("ktiaoz"), QStringLiteral("手工调整…"));
    addLink(row, QStringLiteral("azks"), QStringLiteral("安置新增考生…"));
    row->addStretch();
    steps->addLayout(row);
    steps->addWidget(stepHeading(QStringLiteral("第 3 步　打印")));
    row = new QHBoxLayout;
    addLink(row, QStringLiteral("gkc:0"), QStringLiteral("考场名单"));
    addLink(row, QStringLiteral("zwb:0"), QStringLiteral("座位表"));
    addLink(row, QStringLiteral("qdb:0"), QStringLiteral("签到表"));
    addLink(row, QStringLiteral("zhizhuo"), QStringLiteral("准考证"));
    addLink(row, QStringLiteral("hbjc"), QStringLiteral("混排检测"));
    row->addStretch();
    steps->addLayout(row);
    steps->addStretch();
    return road;
}

QWidget *StartPage::buildFooter()
{
    auto *footer = new QWidget;
    auto *rows = new QVBoxLayout(footer);
    rows->setContentsMargins(0, 12, 0, 0);
    auto *row = new QHBoxLayout;
    auto *demo = new QPushButton(QStringLiteral("第一次使用？打开示例数据"));
    demo->setObjectName(QStringLiteral("startDemo"));
    demo->setAutoDefault(false);
    connect(demo, &QPushButton::clicked, this, &StartPage::importDemo);
    m_links.insert(demo->objectName(), demo);
    row->addWidget(demo);
    row->addStretch();
    rows->addLayout(row);
    row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("使用说明：")));
    const std::pair<const char *, QString> pages[] = {
        {"data.html", QStringLiteral("导入数据")},
        {"division.html", QStringLiteral("分班")},
        {"arrangement.html", QStringLiteral("考场编排")},
        {"printing.html", QStringLiteral("表格与打印")},
        {"problems.html", QStringLiteral("常见问题")},
    };
    for (const auto &[file, caption] : pages) {
        auto *help = new QPushButton(caption);
        help->setObjectName(QStringLiteral("startHelp") +
                            QString::fromLatin1(file).section(u'.', 0, 0));
        help->setAccessibleName(QStringLiteral("使用说明：") + caption);
        help->setAutoDefault(false);
        const QString page = QString::fromLatin1(file);
        connect(help, &QPushButton::clicked, this, [this, page] {
            if (!HelpWindows(m_window.programDir()).showManual(&m_window, page))
                m_window.message(QMessageBox::Warning, QStringLiteral("提示"),
                                 QStringLiteral("帮助文件不存在。"));
        });
        m_links.insert(help->objectName(), help);
        row->addWidget(help);
    }
    row->addStretch();
    rows->addLayout(row);
    return footer;
}

QPushButton *StartPage::link(const QString &objectName) const
{
    return m_links.value(objectName);
}

QLabel *StartPage::stateLabel(const QString &objectName) const
{
    return m_states.value(objectName);
}

void StartPage::refresh()
{
    Result<YearStatus> read =
        m_window.workspace().use([](Database &db) { return YearStatus::read(db); });
    // A database that cannot be read shows every road at its start; the menus say why.
    m_status = read ? std::move(*read) : YearStatus();
    const YearStatus &s = m_status;
    m_login->setVisible(!m_window.state().isLoggedIn());
    m_states.value(QStringLiteral("divisionData"))->setText(s.divisionDataText());
    m_states.value(QStringLiteral("division"))->setText(s.divisionText());
    m_states.value(QStringLiteral("examData"))->setText(s.examDataText());
    m_states.value(QStringLiteral("arrangement"))->setText(s.arrangementText());
    // The settings of the last run, for whoever wants to know how it was done.
    const auto settingsOf = [](const std::optional<RunRecord> &run) {
        return run ? run->settings : QString();
    };
    m_states.value(QStringLiteral("division"))->setToolTip(settingsOf(s.division.division));
    m_states.value(QStringLiteral("arrangement"))
        ->setToolTip(settingsOf(s.arrangement.arrangement));

    const bool pupils = s.division.pupils > 0;
    const bool examinees = s.arrangement.examinees > 0 && s.arrangement.rooms > 0;
    for (const char *name : {"startfbsz"})
        m_links.value(QString::fromLatin1(name))->setEnabled(pupils);
    for (const char *name : {"startsgtz", "startazxs", "startczzpm", "startclass", "startjhbg"})
        m_links.value(QString::fromLatin1(name))->setEnabled(s.divided());
    for (const char *name : {"startbianpai"})
        m_links.value(QString::fromLatin1(name))->setEnabled(examinees);
    for (const char *name : {"startktiaoz", "startazks", "startgkc", "startzwb", "startqdb",
                             "startzhizhuo", "starthbjc"})
        m_links.value(QString::fromLatin1(name))->setEnabled(s.arranged());

    QStringList next;
    if (!m_window.state().isLoggedIn())
        next.append(QStringLiteral("logain"));
    if (!pupils)
        next.append(QStringLiteral("xsfb"));
    else if (!s.divided())
        next.append(QStringLiteral("fbsz"));
    else if (s.division.placed < s.division.pupils)
        next.append(QStringLiteral("azxs"));
    else
        next.append(QStringLiteral("czzpm"));
    if (!examinees)
        next.append(QStringLiteral("kcbp"));
    else if (!s.arranged())
        next.append(QStringLiteral("bianpai"));
    else if (s.arrangement.seated < s.arrangement.examinees)
        next.append(QStringLiteral("azks"));
    else
        next.append(QStringLiteral("gkc"));
    markNext(next);
}

void StartPage::markNext(const QStringList &entries)
{
    for (QPushButton *link : std::as_const(m_links)) {
        const bool next = entries.contains(link->objectName().mid(5));
        if (link->property("next").toBool() == next && link->property("next").isValid())
            continue;
        link->setProperty("next", next);
        // A screen reader says which step comes next, as the frame shows it.
        link->setAccessibleDescription(next ? QStringLiteral("下一步") : QString());
        link->style()->unpolish(link);
        link->style()->polish(link);
    }
}

void StartPage::runEntry(const QString &entry)
{
    if (entry.contains(itemMark)) {
        const DynamicMenu *menu = m_window.dynamicMenu(entry.section(itemMark, 0, 0));
        if (menu && menu->item(0))
            menu->item(0)->trigger();
        return;
    }
    if (QAction *action = m_window.action(entry); action && action->isEnabled())
        action->trigger();
}

void StartPage::importDemo()
{
    if (!m_ask(DemoImport::question()))
        return;
    QTemporaryDir folder;
    Result<std::vector<ImportReport>> reports =
        folder.isValid() ? m_window.workspace().use(
                               [&](Database &db) { return DemoImport::run(db, folder.path()); })
                         : Result<std::vector<ImportReport>>(Status::error(
                               Status::Kind::Other, QStringLiteral("无法创建临时文件夹。")));
    if (!reports) {
        m_window.message(QMessageBox::Warning, QStringLiteral("示例数据"),
                         reports.status().describe());
        return;
    }
    for (const ImportReport &report : *reports)
        m_window.importMenu().announce(report);
}

bool StartPage::eventFilter(QObject *watched, QEvent *event)
{
    // The scroll area watches its own parts too; the window may be going when they go.
    if (watched != m_viewport)
        return QScrollArea::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
        // The documents come and go as children of the viewport; their count settles after
        // the event.
        QTimer::singleShot(0, this, &StartPage::followDocuments);
        break;
    default:
        break;
    }
    return QScrollArea::eventFilter(watched, event);
}

void StartPage::followDocuments()
{
    const bool none = m_window.mdiArea()->subWindowList().isEmpty();
    if (none != isHidden())
        return;
    setVisible(none);
    if (none) {
        raise();
        refresh();
        // The closed document's selection sum would stand beside no document.
        m_window.setStatusText(2, QString());
    }
}

} // namespace fenpai
