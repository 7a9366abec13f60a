#include "ui/main/application.h"

#include "ui/main/mainwindow.h"

#include "grid/fontsubstitutes.h"
#include "jobs/workspace.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QSplashScreen>
#include <QTranslator>

namespace fenpai {

namespace {

QPixmap splashPixmap(const QString &version)
{
    QPixmap pixmap(420, 220);
    pixmap.fill(QColor(0x2d, 0x5b, 0x8c));
    QPainter p(&pixmap);
    p.setPen(Qt::white);
    QFont title(QStringLiteral("黑体"), 32, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(0, 50, 420, 70), Qt::AlignCenter, QStringLiteral("分班排考"));
    p.setFont(QFont(QStringLiteral("宋体"), 11));
    p.drawText(QRect(0, 130, 420, 30), Qt::AlignCenter,
               QStringLiteral("新生分班 · 考场编排 · 准考证与桌贴"));
    p.drawText(QRect(12, 180, 200, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("版本 ") + version);
    p.drawText(QRect(0, 180, 410, 30), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("正在启动…"));
    return pixmap;
}

} // namespace

bool Application::installQtTranslations(QCoreApplication &app)
{
    // The program is Chinese whatever the system locale says, so its standard buttons are too.
    auto *translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

QString Application::dataDirArgument(const QStringList &args)
{
    const QString option = QStringLiteral("--data-dir");
    QString dataDir;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == option && i + 1 < args.size())
            dataDir = args[++i];
        else if (args[i].startsWith(option + u'='))
            dataDir = args[i].mid(option.size() + 1);
    }
    return dataDir;
}

int Application::run(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("分班排考"));
    // Dates, numbers and dialogs follow the program's language, not the machine's.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    (void)installQtTranslations(app); // without them Qt's own texts stay English, nothing more
    QIcon icon;
    for (int size : {16, 22, 32})
        icon.addFile(QStringLiteral(":/icons/fenpai-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("fenpai"));
    QApplication::setApplicationVersion(QStringLiteral(FENPAI_VERSION));
    FontSubstitutes::install();
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 10));

    const QString dataDir = dataDirArgument(QApplication::arguments());

    QSplashScreen splash(splashPixmap(QApplication::applicationVersion()));
    splash.show();
    app.processEvents();

    MainWindow::Options options;
    options.programDir = QApplication::applicationDirPath();
    options.dataDirectory = Workspace::resolveDataDirectory(dataDir, options.programDir);
    MainWindow window(options);
    window.show();
    splash.finish(&window);
    return app.exec();
}

} // namespace fenpai
