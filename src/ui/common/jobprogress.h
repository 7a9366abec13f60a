#pragma once

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace fenpai {

// The progress window of a long job: it appears once the job has run for half a second, so
// short runs never flash a window, and its cancel button stops the job. Application modal:
// nothing else reaches the data while the job runs.
class JobProgress final
{
public:
    JobProgress(QWidget *parent, const QString &label);
    ~JobProgress();
    JobProgress(const JobProgress &) = delete;
    JobProgress &operator=(const JobProgress &) = delete;

    // The job's progress callback: false when the user cancelled.
    bool report(int done, int total);

private:
    QWidget *m_parent;
    QString m_label;
    QElapsedTimer m_clock;
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace fenpai
