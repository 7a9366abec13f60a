#include "ui/arrangement/mixingcheckdialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenpai {

MixingCheckDialog::MixingCheckDialog(const QStringList &findings, QWidget *parent)
    : QDialog(parent)
    , m_list(new QPlainTextEdit(this))
    , m_copy(new QPushButton(QStringLiteral("复制"), this))
{
    setObjectName(QStringLiteral("hbjcfrm"));
    setWindowTitle(QStringLiteral("混排检测"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    // The findings of neighbouring desks follow those of neighbouring numbers; each is counted.
    const qsizetype desks = findings.filter(QStringLiteral("座位的考生同班相邻")).size();
    QString heading = QStringLiteral("考号相邻的同班考生共 %1 处").arg(findings.size() - desks);
    if (desks > 0)
        heading += QStringLiteral("，座位相邻的同班考生共 %1 对").arg(desks);
    auto *caption = new QLabel(heading + u'：', this);
    m_list->setReadOnly(true);
    m_list->setPlainText(findings.join(u'\n'));
    auto *close = new QPushButton(QStringLiteral("确定"), this);
    close->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_copy);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(640, 460);

    connect(m_copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(m_list->toPlainText()); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace fenpai
