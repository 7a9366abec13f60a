#include "ui/main/helpwindows.h"

#include "core/programfiles.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QUrl>

namespace fenpai {

QString HelpWindows::manualPath(const QString &page) const
{
    QString dir = ProgramFiles::resourceDir(m_programDir);
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir + QStringLiteral("help/") + page;
}

bool HelpWindows::showManual(QWidget *parent, const QString &page) const
{
    const QString path = manualPath(page);
    if (!QFileInfo::exists(path))
        return false;
    // Without a browser set up the manual opens in the program's own viewer.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        showManualWindow(parent, page);
    return true;
}

void HelpWindows::showManualWindow(QWidget *parent, const QString &page) const
{
    auto *browser = new QTextBrowser(parent);
    browser->setWindowFlag(Qt::Window);
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browser->setWindowTitle(QStringLiteral("分班排考 帮助"));
    browser->setOpenExternalLinks(true);
    const QString path = manualPath(page);
    if (QFileInfo::exists(path))
        browser->setSource(QUrl::fromLocalFile(path));
    else
        browser->setHtml(QStringLiteral("<h2>分班排考</h2><p>帮助文件不存在。</p>"));
    // Centred on the window's screen, whatever size the main window has.
    const QScreen *screen =
        parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize size = QSize(900, 700).boundedTo(avail.size() * 9 / 10);
    browser->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, avail));
    browser->show();
}

void HelpWindows::showAbout(QWidget *parent)
{
    QMessageBox::about(
        parent, QStringLiteral("关于 分班排考"),
        QStringLiteral("<h3>分班排考</h3>"
                       "<p>版本 %1</p>"
                       "<p>新生分班、考场编排、准考证与桌贴。</p>"
                       "<p>使用的软件库及其许可：</p><ul>"
                       "<li>Qt %2 — LGPL 3</li>"
                       "<li>SQLite — 公有领域</li>"
                       "<li>libsodium — ISC</li>"
                       "<li>libzip — BSD 3-Clause</li>"
                       "<li>libxlsxwriter — BSD 2-Clause</li>"
                       "<li>Noto CJK 字体 — SIL OFL 1.1；Liberation 字体 — SIL OFL 1.1</li>"
                       "<li>Tango 图标 — 公有领域</li></ul>")
            .arg(QCoreApplication::applicationVersion(), QString::fromLatin1(qVersion())));
}

} // namespace fenpai
