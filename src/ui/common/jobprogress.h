#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>
#include <type_traits>

class QProgressDialog;
class QWidget;

namespace fenpai {

// The progress window of a long job: it appears once the job has run for half a second, so
// short runs never flash a window, and its cancel button stops the job. Application modal:
// nothing else reaches the data while the job runs.
class JobProgress final
{
public:
    // done of total; false when the user cancelled.
    using Report = std::function<bool(int done, int total)>;

    JobProgress(QWidget *parent, const QString &label);
    ~JobProgress();
    JobProgress(const JobProgress &) = delete;
    JobProgress &operator=(const JobProgress &) = delete;

    // Runs the job on a thread of its own and returns when it has finished. Meanwhile the
    // window keeps painting; the user's input waits until the progress window shows, which
    // then takes it. The job gets a Report it may call from its thread. A job that cannot stop
    // part-way gets a progress window without a cancel button.
    void run(const std::function<void(const Report &)> &job, bool cancellable = true);
    // The same for a job that returns its outcome (a Result or a Status), returned here.
    template <typename Job> auto compute(Job job, bool cancellable = true)
    {
        std::optional<std::invoke_result_t<Job &, const Report &>> outcome;
        run([&](const Report &report) { outcome.emplace(job(report)); }, cancellable);
        return std::move(*outcome);
    }

private:
    void show(int total, bool cancellable);

    QWidget *m_parent;
    QString m_label;
    QElapsedTimer m_clock;
    // Owned by the parent window like any child; deleted here when the job is done.
    QPointer<QProgressDialog> m_dialog;
};

} // namespace fenpai
