#include "ui/common/jobprogress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>

namespace fenpai {

namespace {

constexpr int showAfterMs = 500;

} // namespace

JobProgress::JobProgress(QWidget *parent, const QString &label)
    : m_parent(parent)
    , m_label(label)
{
    m_clock.start();
}

JobProgress::~JobProgress()
{
    delete m_dialog.data();
}

void JobProgress::show(int total, bool cancellable)
{
    m_dialog = new QProgressDialog(m_label, QStringLiteral("取消"), 0, total, m_parent);
    m_dialog->setObjectName(QStringLiteral("jobProgress"));
    if (!cancellable)
        m_dialog->setCancelButton(nullptr);
    if (m_parent)
        m_dialog->setWindowTitle(m_parent->windowTitle());
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setMinimumDuration(0);
    // A job without a count shows a busy bar at 0 of 0, which must not count as done.
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setValue(0);
    m_dialog->show();
}

void JobProgress::run(const std::function<void(const Report &)> &job, bool cancellable)
{
    std::atomic<int> done = 0;
    std::atomic<int> total = 0;
    std::atomic<bool> cancelled = false;
    const Report report = [&](int d, int t) {
        done = d;
        total = t;
        return !cancelled.load();
    };
    std::unique_ptr<QThread> thread(QThread::create([&] { job(report); }));
    thread->start();

    // Each pass runs the events until the job ends or the progress window is due; before it
    // shows, input waits, so nothing reaches the data under the job's feet.
    while (!thread->isFinished()) {
        QEventLoop loop;
        QTimer tick;
        tick.setInterval(20);
        const bool shown = !m_dialog.isNull();
        QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
            if (m_dialog) {
                if (total > 0)
                    m_dialog->setMaximum(total);
                m_dialog->setValue(std::min<int>(done, m_dialog->maximum()));
                if (m_dialog->wasCanceled())
                    cancelled = true;
            }
            if (thread->isFinished() || (!shown && m_clock.elapsed() >= showAfterMs))
                loop.quit();
        });
        tick.start();
        loop.exec(shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        if (!thread->isFinished() && !m_dialog)
            show(total > 0 ? total.load() : 0, cancellable);
    }
    thread->wait();
}

} // namespace fenpai
