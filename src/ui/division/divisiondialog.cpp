#include "ui/division/divisiondialog.h"

#include "core/numbertext.h"
#include "jobs/division/balancecertificate.h"
#include "jobs/division/classdivision.h"
#include "jobs/workspace.h"
#include "ui/common/jobprogress.h"

#include <QCheckBox>
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
#include <QVBoxLayout>

#include <memory>
#include <optional>

namespace fenpai {

namespace {

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

DivisionDialog::DivisionDialog(Workspace &workspace, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
{
    setObjectName(QStringLiteral("fbszfrm"));
    setWindowTitle(QStringLiteral("分班"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    QGroupBox *mode = buildModeGroup();
    QGroupBox *options = buildOptionsGroup();

    m_totalLabel = named(new QLabel(QStringLiteral("总人数"), this), "Label7");
    m_averageLabel = named(new QLabel(QStringLiteral("每班平均人数"), this), "Label8");
    auto *cancelButton = named(new QPushButton(QStringLiteral("取 消"), this), "Command2");
    auto *runButton = named(new QPushButton(QStringLiteral("确 定"), this), "Command1");
    runButton->setDefault(true);

    auto *figures = new QHBoxLayout;
    figures->addWidget(m_totalLabel);
    figures->addWidget(m_averageLabel);
    figures->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(runButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mode);
    layout->addWidget(options);
    layout->addLayout(figures);
    layout->addLayout(buttons);

    connect(m_balancedOption, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            selectBalanced();
    });
    connect(m_layeredOption, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            selectLayered();
    });
    connect(m_classesEdit, &QLineEdit::textChanged, this, &DivisionDialog::classesChanged);
    for (QLineEdit *box : m_layerEdits)
        connect(box, &QLineEdit::textChanged, this, &DivisionDialog::layersChanged);
    connect(runButton, &QPushButton::clicked, this, &DivisionDialog::runDivision);
    connect(cancelButton, &QPushButton::clicked, this, &DivisionDialog::close);

    // A missing or unreadable table shows a total of 0; the run itself says what is wrong.
    if (const Result<int> total =
            m_workspace.use([](Database &db) { return ClassDivision::pupilTotal(db); }))
        m_total = *total;
    m_balancedOption->setChecked(true);
    m_totalLabel->setText(QStringLiteral("总人数：") + QString::number(m_total));
}

QGroupBox *DivisionDialog::buildModeGroup()
{
    auto *mode = named(new QGroupBox(QStringLiteral("分班方式"), this), "Frame1");
    m_balancedOption =
        named(new QRadioButton(QStringLiteral("均衡分班(各班学生成绩均衡)"), mode), "jhopt");
    m_classesLabel = named(new QLabel(QStringLiteral("新分班级数"), mode), "Label6");
    m_classesEdit = named(new QLineEdit(QStringLiteral("2"), mode), "Text5");
    m_layeredOption =
        named(new QRadioButton(
                  QStringLiteral("分层分班(如成绩最好的学生分在A层的几个班级中,其它同理)"), mode),
              "fcopt");
    m_layeredOption->setToolTip(QStringLiteral("各层内的班级是均衡的"));
    m_layersLabel = named(new QLabel(QStringLiteral("新分班级数"), mode), "Label5");
    m_classCountLabel = named(new QLabel(mode), "Label9");
    const char *labelNames[] = {"Label1", "Label2", "Label3", "Label4"};
    const char *boxNames[] = {"Text1", "Text2", "Text3", "Text4"};
    const QString heads[] = {QStringLiteral("A层"), QStringLiteral("B层"), QStringLiteral("C层"),
                             QStringLiteral("D层")};
    auto *modeLayout = new QGridLayout(mode);
    modeLayout->addWidget(m_balancedOption, 0, 0, 1, 5);
    modeLayout->addWidget(m_classesLabel, 1, 0);
    modeLayout->addWidget(m_classesEdit, 1, 1);
    modeLayout->addWidget(m_layeredOption, 2, 0, 1, 5);
    modeLayout->addWidget(m_layersLabel, 4, 0);
    for (size_t k = 0; k < 4; ++k) {
        m_layerLabels[k] = named(new QLabel(heads[k], mode), labelNames[k]);
        m_layerLabels[k]->setAlignment(Qt::AlignCenter);
        m_layerEdits[k] = named(new QLineEdit(QStringLiteral("1"), mode), boxNames[k]);
        modeLayout->addWidget(m_layerLabels[k], 3, static_cast<int>(k) + 1);
        modeLayout->addWidget(m_layerEdits[k], 4, static_cast<int>(k) + 1);
    }
    modeLayout->addWidget(m_classCountLabel, 5, 0, 1, 5);
    return mode;
}

QGroupBox *DivisionDialog::buildOptionsGroup()
{
    auto *options = named(new QGroupBox(QStringLiteral("分班选项"), this), "Frame2");
    m_balanceSexCheck =
        named(new QCheckBox(QStringLiteral("均衡各班男女生人数比例"), options), "Check1");
    m_balanceSchoolCheck =
        named(new QCheckBox(QStringLiteral("均衡各班生源比例"), options), "Check2");
    m_refineCheck = named(new QCheckBox(QStringLiteral("分班后优化均衡"), options), "Check3");
    m_refineCheck->setToolTip(
        QStringLiteral("分班后在同一范围的班级间交换学生，使各班人数、男女生、生源人数相差不超过1，"
                       "平均分和标准差尽量一致；分班数据表中有“指定班级”“同班”“分开”列时"
                       "先满足这些要求。"));
    auto *optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(m_balanceSexCheck);
    optionsLayout->addWidget(m_balanceSchoolCheck);
    optionsLayout->addWidget(m_refineCheck);
    return options;
}

Result<DivisionSettings> DivisionDialog::settings() const
{
    DivisionSettings s;
    s.mode = m_layeredOption->isChecked() ? DivisionSettings::Mode::Layered
                                          : DivisionSettings::Mode::Balanced;
    // Only the mode chosen is read: the other boxes may hold anything.
    if (s.mode == DivisionSettings::Mode::Balanced) {
        const Result<int> classes = DivisionSettings::parseClasses(m_classesEdit->text());
        if (!classes)
            return classes.status();
        s.classes = *classes;
    } else {
        std::array<QString, 4> texts;
        for (size_t k = 0; k < 4; ++k)
            texts[k] = m_layerEdits[k]->text();
        const Result<std::array<int, 4>> layers = DivisionSettings::parseLayers(texts);
        if (!layers)
            return layers.status();
        s.layers = *layers;
    }
    s.balanceSex = m_balanceSexCheck->isChecked();
    s.balanceSchool = m_balanceSchoolCheck->isChecked();
    s.refine = m_refineCheck->isChecked();
    return s;
}

void DivisionDialog::rememberIn(QSettings *settings)
{
    static const QString key = QStringLiteral("division/refine");
    m_refineCheck->setChecked(settings->value(key, false).toBool());
    connect(m_refineCheck, &QCheckBox::toggled, settings,
            [settings](bool on) { settings->setValue(key, on); });
}

void DivisionDialog::setLayerControlsEnabled(bool layered)
{
    m_classesEdit->setEnabled(!layered);
    m_classesLabel->setEnabled(!layered);
    for (size_t k = 0; k < 4; ++k) {
        m_layerLabels[k]->setEnabled(layered);
        m_layerEdits[k]->setEnabled(layered);
    }
    m_layersLabel->setEnabled(layered);
    m_classCountLabel->setEnabled(layered);
}

void DivisionDialog::selectBalanced()
{
    setLayerControlsEnabled(false);
    classesChanged();
}

void DivisionDialog::selectLayered()
{
    setLayerControlsEnabled(true);
    layersChanged();
}

void DivisionDialog::showAverage(double classes)
{
    // A count that is not above 0 leaves the last average standing.
    if (classes > 0)
        m_averageLabel->setText(QStringLiteral("每班平均人数：") +
                                NumberText::format(NumberText::roundHalfEven(m_total / classes)));
}

void DivisionDialog::classesChanged()
{
    showAverage(NumberText::leadingValue(m_classesEdit->text()));
}

void DivisionDialog::layersChanged()
{
    double sum = 0;
    for (QLineEdit *box : m_layerEdits)
        sum += NumberText::leadingValue(box->text());
    const double classCount = NumberText::roundHalfEven(sum);
    m_classCountLabel->setText(QStringLiteral("新分班数：") + NumberText::format(classCount));
    showAverage(classCount);
}

bool DivisionDialog::runDivision()
{
    const Status opened = m_workspace.open();
    if (!opened.isOk()) {
        say(this, ClassDivision::failedMessage() + opened.message());
        return false;
    }

    const Result<DivisionSettings> chosen = settings();
    if (!chosen) {
        say(this, chosen.status().message());
        focusFault();
        return false;
    }
    // The job runs on a thread and connection of its own; the window keeps painting. Its
    // certificate's random divisions are part of the work.
    QString certificate;
    const auto job = [&](const JobProgress::Report &report) {
        Result<DivisionSummary> run = m_workspace.useOwnConnection(
            [&](Database &db) { return ClassDivision::run(db, *chosen, report); });
        if (run)
            certificate = BalanceCertificate(*run).meanLine();
        return run;
    };
    const Result<DivisionSummary> result =
        JobProgress(this, QStringLiteral("正在分班……")).compute(job);
    if (!result) {
        say(this, result.status().message());
        return false;
    }
    QString done = QStringLiteral("分班完成!");
    const WishOutcome &wishes = result->wishes();
    if (const DivisionSummary *dealt = result->dealt()) {
        done += QStringLiteral("\n优化前：") + dealt->spreadsText(wishes, wishes.metBefore) +
                QStringLiteral("\n优化后：") + result->spreadsText(wishes, wishes.met);
    }
    // A long list would push the buttons off the screen; the command line prints them all.
    constexpr qsizetype shown = 8;
    for (qsizetype i = 0; i < std::min(shown, wishes.notes.size()); ++i)
        done += u'\n' + wishes.notes[i];
    if (wishes.notes.size() > shown)
        done += QStringLiteral("\n……另有%1条未能满足的愿望").arg(wishes.notes.size() - shown);
    say(this, done + u'\n' + certificate);
    emit divisionFinished();
    close();
    return true;
}

void DivisionDialog::focusFault()
{
    QLineEdit *box = m_classesEdit;
    if (m_layeredOption->isChecked()) {
        std::array<QString, 4> texts;
        for (size_t k = 0; k < 4; ++k)
            texts[k] = m_layerEdits[k]->text();
        box = m_layerEdits[DivisionSettings::layerAtFault(texts)];
    }
    box->setFocus();
    box->selectAll();
}

void DivisionDialog::say(QWidget *parent, const QString &text)
{
    m_message(parent, QMessageBox::NoIcon, QString(), text, QMessageBox::Ok);
}

} // namespace fenpai
