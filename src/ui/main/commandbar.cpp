#include "ui/main/commandbar.h"

#include <QAction>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QStyle>

namespace fenpai {

CommandBar::CommandBar(QWidget *parent)
    : QToolBar(QStringLiteral("命令"), parent)
{
    setObjectName(QStringLiteral("Toolbar1"));
    // Tango icons compiled in; the style's own icon where one is missing.
    const struct
    {
        int button;
        const char *icon;
        QStyle::StandardPixmap fallback;
        const char *tip;
    } buttons[] = {
        {1, "document-open", QStyle::SP_DialogOpenButton, "打开表格文件"},
        {2, "document-save", QStyle::SP_DialogSaveButton, "保存"},
        {3, "document-print", QStyle::SP_FileDialogDetailedView, "打印"},
        {4, "document-print-preview", QStyle::SP_FileDialogContentsView, "打印预览"},
        {5, nullptr, QStyle::SP_CustomBase, nullptr},
        {6, "edit-copy", QStyle::SP_FileLinkIcon, "复制"},
        {7, "edit-paste", QStyle::SP_FileIcon, "粘贴"},
        {8, "format-justify-fill", QStyle::SP_TitleBarShadeButton, "合并单元格"},
        {9, "format-justify-left", QStyle::SP_TitleBarUnshadeButton, "取消合并单元格"},
        {10, "go-down", QStyle::SP_ArrowDown, "插入行"},
        {11, "go-next", QStyle::SP_ArrowRight, "插入列"},
        {12, "list-remove", QStyle::SP_DialogDiscardButton, "删除行"},
        {13, "edit-delete", QStyle::SP_DialogCancelButton, "删除列"},
        {14, nullptr, QStyle::SP_CustomBase, nullptr},
        {15, "document-print-preview", QStyle::SP_FileDialogInfoView, "打印预览"},
        {16, "help-browser", QStyle::SP_DialogHelpButton, "帮助"},
    };
    for (const auto &b : buttons) {
        if (!b.tip) {
            addSeparator();
            continue;
        }
        const QString file = QStringLiteral(":/icons/%1.png").arg(QLatin1String(b.icon));
        QAction *a =
            addAction(QFile::exists(file) ? QIcon(file) : style()->standardIcon(b.fallback),
                      QString::fromUtf8(b.tip));
        a->setObjectName(QStringLiteral("Toolbar1_%1").arg(b.button));
        a->setToolTip(QString::fromUtf8(b.tip));
        const int number = b.button;
        connect(a, &QAction::triggered, this, [this, number] { emit buttonClicked(number); });
    }
}

QAction *CommandBar::button(int number) const
{
    return findChild<QAction *>(QStringLiteral("Toolbar1_%1").arg(number));
}

void CommandBar::followEntries(const std::function<QAction *(const QString &)> &entry)
{
    for (int number = 1; number <= 16; ++number) {
        QAction *b = button(number);
        QAction *e = entry(menuEntry(number));
        if (!b || !e)
            continue;
        b->setEnabled(e->isEnabled());
        connect(e, &QAction::enabledChanged, b, &QAction::setEnabled);
    }
}

QString CommandBar::menuEntry(int button)
{
    static const QHash<int, const char *> entries = {
        {1, "mnuOpen"},          {2, "mnuSave"},         {3, "mnuDirectPrint"},
        {4, "mnuPrintPreview"},  {6, "mnuCopy"},         {7, "mnuPaste"},
        {8, "mnuMerge"},         {9, "mnuUnMerge"},      {10, "mnuInsertRows"},
        {11, "mnuInsertCols"},   {12, "mnuDeleteByRow"}, {13, "mnuDeleteByCol"},
        {15, "mnuPrintPreview"}, {16, "mnufileHelp"},
    };
    return QString::fromLatin1(entries.value(button));
}

} // namespace fenpai
