#include "ui/arrangement/arrangementdialog.h"

#include "db/database.h"
#include "jobs/arrangement/arrangement.h"
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
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace fenpai {

namespace {

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void showMessageBox(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

const QString hoverHint = QStringLiteral("请将鼠标放在不同的内容上,看解释");
const QString roomsVary = QStringLiteral("每个考场内班级数不一定相同");
const QString topThirty = QStringLiteral("如,全级前30名在第一考场");

} // namespace

ArrangementDialog::ArrangementDialog(const DataDirectory &dataDirectory, QWidget *parent)
    : QDialog(parent)
    , m_dataDirectory(dataDirectory)
    , m_message(&showMessageBox)
{
    setObjectName(QStringLiteral("kcbpfrm"));
    setWindowTitle(QStringLiteral("考场编排"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    // The mode options stand beside their frames, so a disabled frame never hides its option.
    m_opt1 = named(new QRadioButton(QStringLiteral("编排方式1"), this), "Opt1");
    m_opt1->setToolTip(hoverHint);
    m_frame1 = named(new QGroupBox(QStringLiteral("编排方式1"), this), "Frame1");
    m_frame1->setToolTip(hoverHint);
    m_label1 = named(new QLabel(QStringLiteral("每个考场"), m_frame1), "Label1");
    m_text1 = named(new QLineEdit(QStringLiteral("3"), m_frame1), "Text1");
    m_text1->setMaximumWidth(48);
    m_label2 = named(new QLabel(QStringLiteral("个不同"), m_frame1), "Label2");
    m_combo1 = named(new QComboBox(m_frame1), "Combo1");
    m_combo1->addItems({QStringLiteral("班级"), QStringLiteral("学校")});
    m_combo1->setCurrentIndex(0);
    m_label3 = named(new QLabel(QStringLiteral("的考生混排,并兼顾："), m_frame1), "Label3");
    m_check1 = named(new QCheckBox(QStringLiteral("相邻班级的学生编排在一起"), m_frame1), "Check1");
    m_check1->setToolTip(QStringLiteral("如第一考场是123班混排"));
    m_opt11 =
        named(new QRadioButton(QStringLiteral("成绩相近的学生编排在一起"), m_frame1), "Opt11");
    m_opt11->setToolTip(QStringLiteral("如每个班级的前几名都在第一考场"));
    m_opt12 = named(new QRadioButton(QStringLiteral("按成绩随机编排"), m_frame1), "Opt12");
    m_opt13 =
        named(new QRadioButton(QStringLiteral("成绩相差大的学生排在一起"), m_frame1), "Opt13");
    auto *sentence = new QHBoxLayout;
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_label1, m_text1, m_label2, m_combo1, m_label3})
        sentence->addWidget(w);
    sentence->addStretch();
    auto *frame1Layout = new QVBoxLayout(m_frame1);
    frame1Layout->addLayout(sentence);
    for (QWidget *w : std::initializer_list<QWidget *>{m_check1, m_opt11, m_opt12, m_opt13})
        frame1Layout->addWidget(w);
    auto *scoreOrder = new QButtonGroup(this);
    for (QRadioButton *b : {m_opt11, m_opt12, m_opt13})
        scoreOrder->addButton(b);

    m_opt2 = named(new QRadioButton(QStringLiteral("编排方式2"), this), "Opt2");
    m_opt2->setToolTip(hoverHint);
    m_frame2 = named(new QGroupBox(QStringLiteral("编排方式2"), this), "Frame2");
    m_frame2->setToolTip(roomsVary);
    m_label4 =
        named(new QLabel(QStringLiteral(
                             "全部考生按成绩由高到低编排,并尽可能兼顾每个考场内不同班级学生混排"),
                         m_frame2),
              "Label4");
    m_label4->setToolTip(topThirty);
    m_label4->setWordWrap(true);
    (new QVBoxLayout(m_frame2))->addWidget(m_label4);

    m_option1 = named(new QRadioButton(QStringLiteral("编排方式3"), this), "Option1");
    m_frame4 = named(new QGroupBox(QStringLiteral("编排方式3"), this), "Frame4");
    m_frame4->setToolTip(roomsVary);
    m_label5 =
        named(new QLabel(QStringLiteral("全部考生只按成绩由高到低编排,不考虑同班相邻。"), m_frame4),
              "Label5");
    m_label5->setToolTip(topThirty);
    m_label5->setWordWrap(true);
    (new QVBoxLayout(m_frame4))->addWidget(m_label5);

    auto *mode = new QButtonGroup(this);
    auto *modes = new QGridLayout;
    int row = 0;
    for (auto [option, frame] : {std::pair<QRadioButton *, QGroupBox *>{m_opt1, m_frame1},
                                 {m_opt2, m_frame2},
                                 {m_option1, m_frame4}}) {
        mode->addButton(option);
        modes->addWidget(option, row, 0, Qt::AlignTop);
        modes->addWidget(frame, row, 1);
        ++row;
    }

    auto *frame3 = named(new QGroupBox(QStringLiteral("考号生成方式"), this), "Frame3");
    m_opt21 =
        named(new QRadioButton(QStringLiteral("从第一到最后一考场 起始考号+1"), frame3), "Opt21");
    m_labkh1 = named(new QLabel(QStringLiteral("起始考号"), frame3), "Labkh1");
    m_text2 = named(new QLineEdit(QStringLiteral("2100001"), frame3), "Text2");
    m_opt22 = named(new QRadioButton(QStringLiteral("由考场号座位号定"), frame3), "Opt22");
    m_labkh2 = named(new QLabel(QStringLiteral("前缀固定号"), frame3), "Labkh2");
    m_text3 = named(new QLineEdit(QStringLiteral("210"), frame3), "Text3");
    m_labkh3 = named(new QLabel(QStringLiteral("+考场号+座位号"), frame3), "Labkh3");
    auto *numbering = new QButtonGroup(this);
    numbering->addButton(m_opt21);
    numbering->addButton(m_opt22);
    auto *frame3Layout = new QGridLayout(frame3);
    frame3Layout->addWidget(m_opt21, 0, 0);
    frame3Layout->addWidget(m_labkh1, 0, 1);
    frame3Layout->addWidget(m_text2, 0, 2);
    frame3Layout->addWidget(m_opt22, 1, 0);
    frame3Layout->addWidget(m_labkh2, 1, 1);
    frame3Layout->addWidget(m_text3, 1, 2);
    frame3Layout->addWidget(m_labkh3, 1, 3);
    frame3Layout->setColumnStretch(4, 1);

    readCounts();
    auto *ksLab = named(new QLabel(m_counts.examineeCaption(), this), "ksLab");
    auto *kcLab = named(new QLabel(m_counts.roomCaption(), this), "kcLab");
    kcLab->setToolTip(
        QStringLiteral("考场数及各考场人数在电子表格中的考场表中设置,再同考生表一同导入"));
    auto *xxLab = named(new QLabel(m_counts.schoolCaption(), this), "xxLab");
    auto *bjLab = named(new QLabel(m_counts.classCaption(), this), "bjLab");
    auto *countsRow = new QHBoxLayout;
    for (QLabel *label : {ksLab, kcLab, xxLab, bjLab})
        countsRow->addWidget(label);
    countsRow->addStretch();

    auto *ok = named(new QPushButton(QStringLiteral("确 定"), this), "Command2");
    auto *cancel = named(new QPushButton(QStringLiteral("取 消"), this), "Command1");
    ok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(modes);
    layout->addWidget(frame3);
    layout->addLayout(countsRow);
    layout->addLayout(buttons);

    for (QRadioButton *b : {m_opt1, m_opt2, m_option1})
        connect(b, &QRadioButton::toggled, this, &ArrangementDialog::modeChosen);
    for (QRadioButton *b : {m_opt21, m_opt22})
        connect(b, &QRadioButton::toggled, this, &ArrangementDialog::numberingChosen);
    connect(ok, &QPushButton::clicked, this, &ArrangementDialog::runArrangement);
    connect(cancel, &QPushButton::clicked, this, &ArrangementDialog::close);

    m_opt1->setChecked(true);
    m_opt11->setChecked(true);
    m_opt21->setChecked(true);
    modeChosen();
    numberingChosen();
}

ArrangementSettings ArrangementDialog::settings() const
{
    ArrangementSettings s;
    s.mode = m_opt1->isChecked()   ? ArrangementSettings::Mode::GroupMix
             : m_opt2->isChecked() ? ArrangementSettings::Mode::ScoreMix
                                   : ArrangementSettings::Mode::ScoreOnly;
    s.groupKind = m_combo1->currentText() == QStringLiteral("学校")
                      ? ArrangementSettings::GroupKind::School
                      : ArrangementSettings::GroupKind::Class;
    s.groupsPerRoom = m_text1->text();
    s.adjacentGroups = m_check1->isChecked();
    s.scoreOrder = m_opt11->isChecked()   ? ArrangementSettings::ScoreOrder::Similar
                   : m_opt12->isChecked() ? ArrangementSettings::ScoreOrder::Random
                                          : ArrangementSettings::ScoreOrder::Spread;
    s.numbering = m_opt22->isChecked() ? ArrangementSettings::Numbering::RoomSeat
                                       : ArrangementSettings::Numbering::Consecutive;
    s.startNumber = m_text2->text();
    s.prefix = m_text3->text();
    return s;
}

void ArrangementDialog::readCounts()
{
    Database db;
    Status s = m_dataDirectory.openDatabase(db);
    if (s.isOk()) {
        Result<ArrangementCounts> counts = ArrangementCounts::read(db);
        if (counts)
            m_counts = std::move(*counts);
        s = counts.status();
    }
    if (!s.isOk())
        m_countsError = s.message();
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
        m_message(this, m_countsError);
    else if (m_counts.roomsTooSmall())
        m_message(this, Arrangement::capacityMessage(m_counts.roomCount()));
}

void ArrangementDialog::modeChosen()
{
    const bool mode1 = m_opt1->isChecked();
    const bool mode2 = m_opt2->isChecked();
    const bool mode3 = m_option1->isChecked();
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_frame1, m_label1, m_label2, m_label3, m_text1, m_combo1,
                                          m_opt11, m_opt12, m_opt13, m_check1})
        w->setEnabled(mode1);
    m_frame2->setEnabled(mode2);
    m_label4->setEnabled(mode2);
    m_frame4->setEnabled(mode3);
    m_label5->setEnabled(mode3);
}

void ArrangementDialog::numberingChosen()
{
    const bool consecutive = m_opt21->isChecked();
    m_labkh1->setEnabled(consecutive);
    m_text2->setEnabled(consecutive);
    m_labkh2->setEnabled(!consecutive);
    m_labkh3->setEnabled(!consecutive);
    m_text3->setEnabled(!consecutive);
}

bool ArrangementDialog::runArrangement()
{
    Database db;
    const Status opened = m_dataDirectory.openDatabase(db);
    if (!opened.isOk()) {
        m_message(this, QStringLiteral("编排失败，考生表未改动：") + opened.message());
        return false;
    }

    JobProgress progress(this, QStringLiteral("正在编排……"));
    const auto onProgress = [&progress](int done, int total) {
        return progress.report(done, total);
    };
    const Result<ArrangementOutcome> result = Arrangement::run(db, settings(), onProgress);
    db.close();
    if (!result) {
        m_message(this, result.status().message());
        return false;
    }
    close();
    emit arrangementFinished();
    m_message(parentWidget(), Arrangement::finishedMessage());
    return true;
}

} // namespace fenpai
