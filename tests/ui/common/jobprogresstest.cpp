#include "ui/common/jobprogress.h"

#include "jobs/division/classdivision.h"
#include "jobs/workspace.h"
#include "support/divisiontestdata.h"
#include "support/testapp.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>

using namespace fenpai;
using fenpai::test::DivisionData;

namespace {

// Counts the paint events a widget receives.
class PaintCounter final : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
};

QProgressDialog *visibleProgress()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *d = qobject_cast<QProgressDialog *>(w); d && d->isVisible())
            return d;
    }
    return nullptr;
}

} // namespace

TEST(JobProgress, ACancelledDivisionRollsBackWhileTheWindowKeepsPainting)
{
    test::ensureApp();
    DivisionData data;
    std::vector<test::PupilRow> rows;
    for (int i = 0; i < 50; ++i)
        rows.push_back({i % 2 ? "女" : "男", 50 + i, "一中"});
    data.add(rows, 7);
    Workspace workspace(data.directory);

    PaintCounter window;
    window.resize(200, 100);
    window.show();

    // The window's side: once the progress window shows, let the window repaint, then cancel.
    int paintsWhileRunning = -1;
    bool dialogSeen = false;
    QTimer driver;
    driver.setInterval(10);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QProgressDialog *progress = visibleProgress();
        if (!progress)
            return;
        dialogSeen = true;
        if (paintsWhileRunning < 0) {
            paintsWhileRunning = window.paints;
            window.update();
            return;
        }
        if (window.paints > paintsWhileRunning) {
            if (QPushButton *cancel = progress->findChild<QPushButton *>())
                cancel->click();
            driver.stop();
        }
    });
    driver.start();

    // The job's side: a division whose first progress report holds it until the user cancels,
    // as a long run would be.
    auto divide = [&](const ClassDivision::Progress &progress) {
        return workspace.useOwnConnection(
            [&](Database &db) { return ClassDivision::run(db, DivisionSettings{}, progress); });
    };
    bool onOtherThread = false;
    const Result<DivisionSummary> result =
        JobProgress(&window, "正在分班……").compute([&](const JobProgress::Report &report) {
            onOtherThread = QThread::currentThread() != QApplication::instance()->thread();
            return divide([&](int done, int total) {
                while (report(done, total))
                    QThread::msleep(2);
                return false;
            });
        });

    EXPECT_TRUE(onOtherThread);
    EXPECT_TRUE(dialogSeen);
    EXPECT_GT(window.paints, paintsWhileRunning);
    ASSERT_FALSE(result.isOk());
    EXPECT_TRUE(result.status().isCancelled());
    EXPECT_EQ(data.classes(), std::vector<int>(50, 7));
    EXPECT_EQ(visibleProgress(), nullptr);

    // A short job shows no progress window and returns its result.
    const Result<DivisionSummary> quick =
        JobProgress(&window, "正在分班……").compute([&](const JobProgress::Report &report) {
            return divide(report);
        });
    ASSERT_TRUE(quick.isOk()) << quick.status().message().toStdString();
    EXPECT_NE(data.classes(), std::vector<int>(50, 7));
}
