#pragma once

#include "core/result.h"
#include "jobs/reports/reportdocument.h"
#include "jobs/tickets/ticketsettings.h"
#include "jobs/tickets/tickettemplates.h"
#include "ui/common/messagesink.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSettings;
class QTabWidget;

namespace fenpai {

class DocumentWindow;
class Grid;
class GridView;
class Workspace;

// zizhuo: admission tickets (tab "制作准考证") from the template shown and edited in its grid,
// and desk labels for one room (tab "制作桌贴"). "确  定" makes the current tab's document in a
// new result document and shows its print preview; the dialog stays open. The dialog only
// collects settings: TicketProduction and DeskLabels do the work, through the Workspace.
class TicketDialog final : public QDialog
{
    Q_OBJECT

public:
    // Opens a new result document with the title; the dialog fills its grid.
    // Builds a new document with `build`: the document, or nullptr after the reason was shown.
    using DocumentBuilder = std::function<DocumentWindow *(
        const std::function<Result<ReportDocument>(Grid &grid)> &build)>;
    using Preview = std::function<void(const Grid &grid)>;

    TicketDialog(Workspace &workspace, const TicketTemplates &templates, DocumentBuilder builder,
                 QWidget *parent = nullptr);
    ~TicketDialog() override;

    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }

    // The photo choice (使用电子照片, the folder and 照片文件名) starts as last chosen and is
    // stored whenever it changes; the sign-in sheets take their photos from it.
    void rememberIn(QSettings *settings);
    struct Photos
    {
        QString folder; // empty while photos are off
        QString field;
    };
    static Photos rememberedPhotos(const QSettings &settings);
    void setPreviewFunction(Preview preview) { m_preview = std::move(preview); }

    QTabWidget *tabs() const { return m_tabs; }
    Grid &templateGrid() const { return *m_template; }
    GridView *templateView() const { return m_view; }
    QComboBox *selector(int i) const { return m_combos[size_t(i)]; } // Combo1..Combo4 as 0..3
    QLabel *selectorLabel(int i) const { return m_labels[size_t(i)]; }

    // The choices as the controls hold them.
    TicketSettings ticketSettings() const;
    DeskLabelSettings labelSettings() const;

    // The options, as clicking them does.
    void setTicketLayout(TicketSettings::Layout layout);
    void setOrder(TicketSettings::Order order);
    void setGrouping(TicketSettings::Grouping grouping);
    void setPhotos(bool on, const QString &folder = {}, const QString &nameField = {});
    void chooseSchool(const QString &school);
    // The field of template row 4..9, as choosing it in the row's drop-down does.
    void chooseRowField(int row, const QString &field);

    // 确  定: validates, then makes the current tab's document; false when nothing was made.
    bool produce();
    // 保 存 and 恢复默认.
    void saveTemplate();
    void restoreTemplate();
    // 二维码: the selected cells become one block holding the field "二维码", where the tickets
    // get the examinee's QR code.
    void placeCode();

    // The message listing the examinees whose photo was not found ("考号 姓名" each).
    static QString withoutPhotoText(const QStringList &examinees);

private:
    void buildTicketTab(QWidget *tab);
    // The ticket type, grouping and printing order, each a box of two options.
    QHBoxLayout *buildTicketOptions(QWidget *tab);
    // The template's grid and its font, QR code, save and restore buttons.
    QHBoxLayout *buildTemplateRow(QWidget *tab);
    QHBoxLayout *buildPhotoRow(QWidget *tab);
    // Combo1..Combo4 under their captions; Combo1 picks the school while grouping by class.
    QGridLayout *buildSelectors(QWidget *tab);
    void buildLabelTab(QWidget *tab);
    void loadTemplate(bool restore);
    void updateSelectors();
    void fillGroupLists();
    void chooseFont();
    void browseFolder();
    void showMessage(const QString &text);
    bool produceTickets();
    bool produceLabels();
    bool fillDocument(const QString &title, const std::function<Status(Grid &)> &build);

    Workspace &m_workspace;
    TicketTemplates m_templates;
    DocumentBuilder m_buildDocument;
    MessageSink::Function m_message = &MessageSink::show;
    Preview m_preview;

    TicketSettings::Layout m_layout = TicketSettings::Layout::Standard;
    std::array<QString, 6> m_rowFields;

    QTabWidget *m_tabs = nullptr;
    Grid *m_template = nullptr;
    GridView *m_view = nullptr;
    QRadioButton *m_standard = nullptr;
    QRadioButton *m_economy = nullptr;
    QRadioButton *m_byClass = nullptr;
    QRadioButton *m_byRoom = nullptr;
    QRadioButton *m_sequential = nullptr;
    QRadioButton *m_stacked = nullptr;
    std::array<QComboBox *, 4> m_combos{};
    std::array<QLabel *, 4> m_labels{};
    QCheckBox *m_usePhotos = nullptr;
    QLineEdit *m_folder = nullptr;
    QPushButton *m_browse = nullptr;
    QLabel *m_photoNameLabel = nullptr;
    QComboBox *m_photoName = nullptr;
    QRadioButton *m_labelExamNumber = nullptr;
    QRadioButton *m_labelSeat = nullptr;
    QComboBox *m_labelRoom = nullptr;
};

} // namespace fenpai
