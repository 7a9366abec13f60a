#include "ui/common/jobprogress.h"

#include <QProgressDialog>
#include <QWidget>

namespace fenpai {

JobProgress::JobProgress(QWidget *parent, const QString &label)
    : m_parent(parent)
    , m_label(label)
{
    m_clock.start();
}

JobProgress::~JobProgress() = default;

bool JobProgress::report(int done, int total)
{
    if (!m_dialog && m_clock.elapsed() >= 500) {
        m_dialog =
            std::make_unique<QProgressDialog>(m_label, QStringLiteral("取消"), 0, total, m_parent);
        if (m_parent)
            m_dialog->setWindowTitle(m_parent->windowTitle());
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(0);
    }
    if (!m_dialog)
        return true;
    m_dialog->setMaximum(total);
    m_dialog->setValue(done);
    return !m_dialog->wasCanceled();
}

} // namespace fenpai
