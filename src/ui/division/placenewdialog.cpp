#include "ui/division/placenewdialog.h"

#include "jobs/workspace.h"
#include "ui/common/jobprogress.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace fenpai {

PlaceNewDialog::PlaceNewDialog(Workspace &workspace, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
{
    setObjectName(QStringLiteral("azxsfrm"));
    setWindowTitle(QStringLiteral("安置新增学生"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("countLabel"));
    auto *explanation = new QLabel(
        QStringLiteral("没有班级（新分班为空或0）的学生按上次分班的班数、分层和均衡选项安置到"
                       "各班，各班人数相差不超过1。\n允许调动几名已分班的学生，可使各班平均分"
                       "恢复接近；为0时已分班的学生都不动。"),
        this);
    explanation->setWordWrap(true);
    auto *movesLabel = new QLabel(QStringLiteral("最多调动已分班的学生"), this);
    m_movesEdit = new QLineEdit(QStringLiteral("0"), this);
    m_movesEdit->setObjectName(QStringLiteral("movesEdit"));
    movesLabel->setBuddy(m_movesEdit);
    auto *runButton = new QPushButton(QStringLiteral("确 定"), this);
    runButton->setObjectName(QStringLiteral("runButton"));
    runButton->setDefault(true);
    auto *cancelButton = new QPushButton(QStringLiteral("取 消"), this);

    auto *moves = new QHBoxLayout;
    moves->addWidget(movesLabel);
    moves->addWidget(m_movesEdit);
    moves->addWidget(new QLabel(QStringLiteral("人"), this));
    moves->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(runButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_countLabel);
    layout->addWidget(explanation);
    layout->addLayout(moves);
    layout->addLayout(buttons);

    connect(runButton, &QPushButton::clicked, this, &PlaceNewDialog::runPlacement);
    connect(cancelButton, &QPushButton::clicked, this, &PlaceNewDialog::close);

    // A missing table counts nobody; the run itself says what is wrong.
    const Result<int> late =
        m_workspace.use([](Database &db) { return ClassPlacement::latePupilCount(db); });
    m_countLabel->setText(QStringLiteral("分班数据表中没有班级的学生：%1人").arg(late ? *late : 0));
}

Result<PlacementSettings> PlaceNewDialog::settings() const
{
    const Result<int> moves = PlacementSettings::parseMaxMoves(m_movesEdit->text());
    if (!moves)
        return moves.status();
    PlacementSettings s;
    s.maxMoves = *moves;
    return s;
}

bool PlaceNewDialog::runPlacement()
{
    const Result<PlacementSettings> chosen = settings();
    if (!chosen) {
        say(chosen.status().message());
        return false;
    }
    std::optional<Result<PlacementOutcome>> outcome;
    JobProgress(this, QStringLiteral("正在安置新增学生……"))
        .run(
            [&](const JobProgress::Report &) {
                outcome = m_workspace.useOwnConnection(
                    [&](Database &db) { return ClassPlacement::run(db, *chosen); });
            },
            false);
    const Result<PlacementOutcome> &result = *outcome;
    if (!result) {
        say(result.status().message());
        return false;
    }
    QString done = QStringLiteral("安置完成!\n") + result->text();
    if (!result->lastRunKnown)
        done += QStringLiteral("\n没有找到上次分班的设置，按分班数据表中的%1个班安置。")
                    .arg(result->classCount);
    done += QStringLiteral("\n安置前（不含新增学生）：") + result->before.spreadsText({}, 0) +
            QStringLiteral("\n安置后：") + result->after.spreadsText({}, 0);
    constexpr qsizetype shown = 8;
    for (qsizetype i = 0; i < std::min(shown, result->notes.size()); ++i)
        done += u'\n' + result->notes[i];
    say(done);
    emit placed(*result);
    close();
    return true;
}

void PlaceNewDialog::say(const QString &text)
{
    m_message(this, QMessageBox::NoIcon, QString(), text, QMessageBox::Ok);
}

} // namespace fenpai
