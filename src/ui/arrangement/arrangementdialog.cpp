#include "ui/arrangement/arrangementdialog.h"

#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/arrangement/roomseating.h"
#include "jobs/workspace.h"
#include "ui/common/jobprogress.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <optional>

namespace fenpai {

namespace {

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

const QString hoverHint = QStringLiteral("请将鼠标放在不同的内容上,看解释");
const QString roomsVary = QStringLiteral("每个考场内班级数不一定相同");
const QString topThirty = QStringLiteral("如,全级前30名在第一考场");
const QString separateKey = QStringLiteral("arrangement/separateClassmates");
const QString seatOrderKey = QStringLiteral("arrangement/seatOrder");
const QString versionsKey = QStringLiteral("arrangement/versions");

} // namespace

ArrangementDialog::ArrangementDialog(Workspace &workspace, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
{
    setObjectName(QStringLiteral("kcbpfrm"));
    setWindowTitle(QStringLiteral("考场编排"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    QGridLayout *modes = buildModes();
    QHBoxLayout *seatingRow = buildSeatingRow();
    QGroupBox *numberingFrame = buildNumberingGroup();
    readCounts();
    QHBoxLayout *countsRow = buildCountsRow();
    QHBoxLayout *buttons = buildButtonRow();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(modes);
    layout->addLayout(seatingRow);
    layout->addWidget(numberingFrame);
    layout->addLayout(countsRow);
    layout->addLayout(buttons);

    m_groupMixOption->setChecked(true);
    m_similarScoresOption->setChecked(true);
    m_consecutiveOption->setChecked(true);
    modeChosen();
    numberingChosen();
}

QGridLayout *ArrangementDialog::buildModes()
{
    // The mode options stand beside their frames, so a disabled frame never hides its option.
    buildGroupMixMode();
    buildScoreMixMode();
    buildScoreOnlyMode();

    auto *mode = new QButtonGroup(this);
    auto *modes = new QGridLayout;
    int row = 0;
    for (auto [option, frame] :
         {std::pair<QRadioButton *, QGroupBox *>{m_groupMixOption, m_groupMixFrame},
          {m_scoreMixOption, m_scoreMixFrame},
          {m_scoreOnlyOption, m_scoreOnlyFrame}}) {
        mode->addButton(option);
        modes->addWidget(option, row, 0, Qt::AlignTop);
        modes->addWidget(frame, row, 1);
        ++row;
    }
    for (QRadioButton *b : {m_groupMixOption, m_scoreMixOption, m_scoreOnlyOption})
        connect(b, &QRadioButton::toggled, this, &ArrangementDialog::modeChosen);
    return modes;
}

void ArrangementDialog::buildGroupMixMode()
{
    m_groupMixOption = named(new QRadioButton(QStringLiteral("编排方式1"), this), "Opt1");
    m_groupMixOption->setToolTip(hoverHint);
    m_groupMixFrame = named(new QGroupBox(QStringLiteral("编排方式1"), this), "Frame1");
    m_groupMixFrame->setToolTip(hoverHint);
    m_perRoomLabel = named(new QLabel(QStringLiteral("每个考场"), m_groupMixFrame), "Label1");
    m_groupsPerRoomEdit = named(new QLineEdit(QStringLiteral("3"), m_groupMixFrame), "Text1");
    m_groupsPerRoomEdit->setMaximumWidth(48);
    m_differentLabel = named(new QLabel(QStringLiteral("个不同"), m_groupMixFrame), "Label2");
    m_groupKindCombo = named(new QComboBox(m_groupMixFrame), "Combo1");
    m_groupKindCombo->addItems({QStringLiteral("班级"), QStringLiteral("学校")});
    m_groupKindCombo->setCurrentIndex(0);
    m_mixLabel =
        named(new QLabel(QStringLiteral("的考生混排,并兼顾："), m_groupMixFrame), "Label3");
    m_adjacentCheck =
        named(new QCheckBox(QStringLiteral("相邻班级的学生编排在一起"), m_groupMixFrame), "Check1");
    m_adjacentCheck->setToolTip(QStringLiteral("如第一考场是123班混排"));
    m_similarScoresOption = named(
        new QRadioButton(QStringLiteral("成绩相近的学生编排在一起"), m_groupMixFrame), "Opt11");
    m_similarScoresOption->setToolTip(QStringLiteral("如每个班级的前几名都在第一考场"));
    m_randomOrderOption =
        named(new QRadioButton(QStringLiteral("按成绩随机编排"), m_groupMixFrame), "Opt12");
    m_spreadScoresOption = named(
        new QRadioButton(QStringLiteral("成绩相差大的学生排在一起"), m_groupMixFrame), "Opt13");
    auto *sentence = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_perRoomLabel, m_groupsPerRoomEdit, m_differentLabel, m_groupKindCombo, m_mixLabel})
        sentence->addWidget(w);
    sentence->addStretch();
    auto *groupMixLayout = new QVBoxLayout(m_groupMixFrame);
    groupMixLayout->addLayout(sentence);
    for (QWidget *w : std::initializer_list<QWidget *>{m_adjacentCheck, m_similarScoresOption,
                                                       m_randomOrderOption, m_spreadScoresOption})
        groupMixLayout->addWidget(w);
    auto *scoreOrder = new QButtonGroup(this);
    for (QRadioButton *b : {m_similarScoresOption, m_randomOrderOption, m_spreadScoresOption})
        scoreOrder->addButton(b);
}

void ArrangementDialog::buildScoreMixMode()
{
    m_scoreMixOption = named(new QRadioButton(QStringLiteral("编排方式2"), this), "Opt2");
    m_scoreMixOption->setToolTip(hoverHint);
    m_scoreMixFrame = named(new QGroupBox(QStringLiteral("编排方式2"), this), "Frame2");
    m_scoreMixFrame->setToolTip(roomsVary);
    m_scoreMixLabel =
        named(new QLabel(QStringLiteral(
                             "全部考生按成绩由高到低编排,并尽可能兼顾每个考场内不同班级学生混排"),
                         m_scoreMixFrame),
              "Label4");
    m_scoreMixLabel->setToolTip(topThirty);
    m_scoreMixLabel->setWordWrap(true);
    (new QVBoxLayout(m_scoreMixFrame))->addWidget(m_scoreMixLabel);
}

void ArrangementDialog::buildScoreOnlyMode()
{
    m_scoreOnlyOption = named(new QRadioButton(QStringLiteral("编排方式3"), this), "Option1");
    m_scoreOnlyFrame = named(new QGroupBox(QStringLiteral("编排方式3"), this), "Frame4");
    m_scoreOnlyFrame->setToolTip(roomsVary);
    m_scoreOnlyLabel =
        named(new QLabel(QStringLiteral("全部考生只按成绩由高到低编排,不考虑同班相邻。"),
                         m_scoreOnlyFrame),
              "Label5");
    m_scoreOnlyLabel->setToolTip(topThirty);
    m_scoreOnlyLabel->setWordWrap(true);
    (new QVBoxLayout(m_scoreOnlyFrame))->addWidget(m_scoreOnlyLabel);
}

QHBoxLayout *ArrangementDialog::buildSeatingRow()
{
    // Seats inside each room, after whichever mode: off by default, so the modes stay as they are.
    m_separateCheck =
        named(new QCheckBox(QStringLiteral("同班考生不相邻"), this), "separateClassmates");
    m_separateCheck->setToolTip(
        QStringLiteral("编排后在每个考场内调换座位，前后左右相邻的考生尽量不同班"));
    auto *seatOrderLabel = new QLabel(QStringLiteral("座位顺序"), this);
    m_seatOrderCombo = named(new QComboBox(this), "seatOrder");
    for (SeatOrder order : {SeatOrder::ByColumn, SeatOrder::ByColumnSnake, SeatOrder::ByRow})
        m_seatOrderCombo->addItem(DeskLayout::seatOrderName(order), static_cast<int>(order));
    m_seatOrderCombo->setToolTip(
        QStringLiteral("座位号在考场中的排法：考场表可有“行数”“列数”两列，没有时每行5个座位"));
    seatOrderLabel->setBuddy(m_seatOrderCombo);
    // Paper versions go over the final desks, so they come last of all.
    auto *versionsLabel = new QLabel(QStringLiteral("试卷版本"), this);
    m_versionsCombo = named(new QComboBox(this), "versions");
    m_versionsCombo->addItem(QStringLiteral("无"), QStringLiteral("1"));
    m_versionsCombo->addItem(QStringLiteral("AB卷"), QStringLiteral("2"));
    m_versionsCombo->addItem(QStringLiteral("ABCD卷"), QStringLiteral("4"));
    m_versionsCombo->setToolTip(
        QStringLiteral("AB卷：前后左右相邻的座位试卷不同；ABCD卷：斜对角相邻的也不同。"
                       "写入考生表的“试卷”列"));
    versionsLabel->setBuddy(m_versionsCombo);
    auto *seatingRow = new QHBoxLayout;
    seatingRow->addWidget(m_separateCheck);
    seatingRow->addSpacing(24);
    seatingRow->addWidget(seatOrderLabel);
    seatingRow->addWidget(m_seatOrderCombo);
    seatingRow->addSpacing(24);
    seatingRow->addWidget(versionsLabel);
    seatingRow->addWidget(m_versionsCombo);
    seatingRow->addStretch();
    return seatingRow;
}

QGroupBox *ArrangementDialog::buildNumberingGroup()
{
    auto *numberingFrame = named(new QGroupBox(QStringLiteral("考号生成方式"), this), "Frame3");
    m_consecutiveOption = named(
        new QRadioButton(QStringLiteral("从第一到最后一考场 起始考号+1"), numberingFrame), "Opt21");
    m_startNumberLabel = named(new QLabel(QStringLiteral("起始考号"), numberingFrame), "Labkh1");
    m_startNumberEdit = named(new QLineEdit(QStringLiteral("2100001"), numberingFrame), "Text2");
    m_roomSeatOption =
        named(new QRadioButton(QStringLiteral("由考场号座位号定"), numberingFrame), "Opt22");
    m_prefixLabel = named(new QLabel(QStringLiteral("前缀固定号"), numberingFrame), "Labkh2");
    m_prefixEdit = named(new QLineEdit(QStringLiteral("210"), numberingFrame), "Text3");
    m_roomSeatLabel = named(new QLabel(QStringLiteral("+考场号+座位号"), numberingFrame), "Labkh3");
    auto *numbering = new QButtonGroup(this);
    numbering->addButton(m_consecutiveOption);
    numbering->addButton(m_roomSeatOption);
    auto *numberingLayout = new QGridLayout(numberingFrame);
    numberingLayout->addWidget(m_consecutiveOption, 0, 0);
    numberingLayout->addWidget(m_startNumberLabel, 0, 1);
    numberingLayout->addWidget(m_startNumberEdit, 0, 2);
    numberingLayout->addWidget(m_roomSeatOption, 1, 0);
    numberingLayout->addWidget(m_prefixLabel, 1, 1);
    numberingLayout->addWidget(m_prefixEdit, 1, 2);
    numberingLayout->addWidget(m_roomSeatLabel, 1, 3);
    numberingLayout->setColumnStretch(4, 1);
    for (QRadioButton *b : {m_consecutiveOption, m_roomSeatOption})
        connect(b, &QRadioButton::toggled, this, &ArrangementDialog::numberingChosen);
    return numberingFrame;
}

QHBoxLayout *ArrangementDialog::buildCountsRow()
{
    auto *examineeLabel = named(new QLabel(m_counts.examineeCaption(), this), "ksLab");
    auto *roomLabel = named(new QLabel(m_counts.roomCaption(), this), "kcLab");
    roomLabel->setToolTip(
        QStringLiteral("考场数及各考场人数在电子表格中的考场表中设置,再同考生表一同导入"));
    auto *schoolLabel = named(new QLabel(m_counts.schoolCaption(), this), "xxLab");
    auto *classLabel = named(new QLabel(m_counts.classCaption(), this), "bjLab");
    auto *countsRow = new QHBoxLayout;
    for (QLabel *label : {examineeLabel, roomLabel, schoolLabel, classLabel})
        countsRow->addWidget(label);
    countsRow->addStretch();
    return countsRow;
}

QHBoxLayout *ArrangementDialog::buildButtonRow()
{
    auto *runButton = named(new QPushButton(QStringLiteral("确 定"), this), "Command2");
    auto *cancelButton = named(new QPushButton(QStringLiteral("取 消"), this), "Command1");
    runButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(runButton);
    buttons->addWidget(cancelButton);
    connect(runButton, &QPushButton::clicked, this, &ArrangementDialog::runArrangement);
    connect(cancelButton, &QPushButton::clicked, this, &ArrangementDialog::close);
    return buttons;
}

Result<ArrangementSettings> ArrangementDialog::settings() const
{
    ArrangementSettings s;
    s.mode = m_groupMixOption->isChecked()   ? ArrangementSettings::Mode::GroupMix
             : m_scoreMixOption->isChecked() ? ArrangementSettings::Mode::ScoreMix
                                             : ArrangementSettings::Mode::ScoreOnly;
    s.groupKind = m_groupKindCombo->currentText() == QStringLiteral("学校")
                      ? ArrangementSettings::GroupKind::School
                      : ArrangementSettings::GroupKind::Class;
    s.groupsPerRoom = ArrangementSettings::parseGroupsPerRoom(m_groupsPerRoomEdit->text());
    s.adjacentGroups = m_adjacentCheck->isChecked();
    s.scoreOrder = m_similarScoresOption->isChecked() ? ArrangementSettings::ScoreOrder::Similar
                   : m_randomOrderOption->isChecked() ? ArrangementSettings::ScoreOrder::Random
                                                      : ArrangementSettings::ScoreOrder::Spread;
    s.numbering = m_roomSeatOption->isChecked() ? ArrangementSettings::Numbering::RoomSeat
                                                : ArrangementSettings::Numbering::Consecutive;
    // Only the scheme chosen is read: the other box may hold anything.
    if (s.numbering == ArrangementSettings::Numbering::Consecutive) {
        const Result<qint64> start =
            ArrangementSettings::parseStartNumber(m_startNumberEdit->text());
        if (!start)
            return start.status();
        s.startNumber = *start;
    } else {
        const Result<QString> prefix = ArrangementSettings::parsePrefix(m_prefixEdit->text());
        if (!prefix)
            return prefix.status();
        s.prefix = *prefix;
    }
    s.separateClassmates = m_separateCheck->isChecked();
    s.seatOrder = static_cast<SeatOrder>(m_seatOrderCombo->currentData().toInt());
    const Result<ArrangementSettings::Versions> versions =
        ArrangementSettings::parseVersions(m_versionsCombo->currentData().toString());
    if (!versions)
        return versions.status();
    s.versions = *versions;
    return s;
}

void ArrangementDialog::rememberIn(QSettings *settings)
{
    m_separateCheck->setChecked(settings->value(separateKey, false).toBool());
    m_seatOrderCombo->setCurrentIndex(
        m_seatOrderCombo->findData(static_cast<int>(rememberedSeatOrder(*settings))));
    m_versionsCombo->setCurrentIndex(
        std::max(0, m_versionsCombo->findData(settings->value(versionsKey).toString())));
    connect(m_separateCheck, &QCheckBox::toggled, settings,
            [settings](bool on) { settings->setValue(separateKey, on); });
    connect(m_versionsCombo, &QComboBox::currentIndexChanged, settings, [this, settings] {
        settings->setValue(versionsKey, m_versionsCombo->currentData().toString());
    });
    connect(m_seatOrderCombo, &QComboBox::currentIndexChanged, settings, [this, settings] {
        settings->setValue(seatOrderKey, m_seatOrderCombo->currentData().toInt());
    });
}

SeatOrder ArrangementDialog::rememberedSeatOrder(const QSettings &settings)
{
    const int stored = settings.value(seatOrderKey, 0).toInt();
    return stored == static_cast<int>(SeatOrder::ByColumnSnake) ? SeatOrder::ByColumnSnake
           : stored == static_cast<int>(SeatOrder::ByRow)       ? SeatOrder::ByRow
                                                                : SeatOrder::ByColumn;
}

void ArrangementDialog::readCounts()
{
    Result<ArrangementCounts> counts =
        m_workspace.use([](Database &db) { return ArrangementCounts::read(db); });
    if (counts)
        m_counts = std::move(*counts);
    else
        m_countsError = counts.status().message();
}

void ArrangementDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_warned) {
        m_warned = true;
        // After the dialog has appeared, so the warning stands in front of it.
        QTimer::singleShot(0, this, &ArrangementDialog::warnOnOpening);
    }
}

void ArrangementDialog::warnOnOpening()
{
    if (!m_countsError.isEmpty())
        say(this, m_countsError);
    else if (m_counts.roomsTooSmall())
        say(this, Arrangement::capacityMessage(m_counts.roomCount()));
    else if (const Status desks =
                 m_workspace.use([](Database &db) { return RoomSeating::checkDesks(db); });
             !desks.isOk())
        say(this, desks.message());
}

void ArrangementDialog::modeChosen()
{
    const bool mode1 = m_groupMixOption->isChecked();
    const bool mode2 = m_scoreMixOption->isChecked();
    const bool mode3 = m_scoreOnlyOption->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_groupMixFrame, m_perRoomLabel, m_differentLabel, m_mixLabel, m_groupsPerRoomEdit,
             m_groupKindCombo, m_similarScoresOption, m_randomOrderOption, m_spreadScoresOption,
             m_adjacentCheck})
        w->setEnabled(mode1);
    m_scoreMixFrame->setEnabled(mode2);
    m_scoreMixLabel->setEnabled(mode2);
    m_scoreOnlyFrame->setEnabled(mode3);
    m_scoreOnlyLabel->setEnabled(mode3);
}

void ArrangementDialog::numberingChosen()
{
    const bool consecutive = m_consecutiveOption->isChecked();
    m_startNumberLabel->setEnabled(consecutive);
    m_startNumberEdit->setEnabled(consecutive);
    m_prefixLabel->setEnabled(!consecutive);
    m_roomSeatLabel->setEnabled(!consecutive);
    m_prefixEdit->setEnabled(!consecutive);
}

bool ArrangementDialog::runArrangement()
{
    const Status opened = m_workspace.open();
    if (!opened.isOk()) {
        say(this, Arrangement::failedMessage() + opened.message());
        return false;
    }

    const Result<ArrangementSettings> chosen = settings();
    if (!chosen) {
        say(this, chosen.status().message());
        // Only the numbering boxes are refused here, the box of the scheme chosen.
        focusBox(m_roomSeatOption->isChecked() ? m_prefixEdit : m_startNumberEdit);
        return false;
    }
    // The job runs on a thread and connection of its own; the window keeps painting.
    const auto job = [&](const JobProgress::Report &report) {
        return m_workspace.useOwnConnection(
            [&](Database &db) { return Arrangement::run(db, *chosen, report); });
    };
    const Result<ArrangementOutcome> result =
        JobProgress(this, QStringLiteral("正在编排……")).compute(job);
    if (!result) {
        say(this, result.status().message());
        if (groupCountAtFault(*chosen))
            focusBox(m_groupsPerRoomEdit);
        return false;
    }
    close();
    QString summary = QStringLiteral("座位相邻的同班考生 %1 对").arg(result->classmatePairs);
    if (chosen->separateClassmates)
        summary += QStringLiteral("（调整座位前 %1 对）").arg(result->classmatePairsBefore);
    if (!result->versionCounts.empty())
        summary += QStringLiteral("，相邻座位试卷相同 %1 对").arg(result->versionPairs);
    if (!chosen->separateClassmates && result->classmatePairs > 0)
        summary += QStringLiteral("。") + separationHint();
    emit summaryReady(summary);
    emit arrangementFinished();
    QString done = Arrangement::finishedMessage();
    if (result->classmatePairs > 0 && !chosen->separateClassmates)
        done += u'\n' + separationHint();
    say(parentWidget(), done);
    return true;
}

QString ArrangementDialog::separationHint()
{
    return QStringLiteral("勾选“同班考生不相邻”可以让同班考生不坐在相邻座位。");
}

void ArrangementDialog::focusBox(QLineEdit *box)
{
    box->setFocus();
    box->selectAll();
}

bool ArrangementDialog::groupCountAtFault(const ArrangementSettings &chosen) const
{
    if (chosen.mode != ArrangementSettings::Mode::GroupMix)
        return false;
    const int groups = chosen.groupKind == ArrangementSettings::GroupKind::School
                           ? m_counts.schoolCount()
                           : m_counts.classCount();
    return chosen.groupsPerRoom < 1 || chosen.groupsPerRoom > groups;
}

void ArrangementDialog::say(QWidget *parent, const QString &text)
{
    m_message(parent, QMessageBox::NoIcon, QString(), text, QMessageBox::Ok);
}

} // namespace fenpai
