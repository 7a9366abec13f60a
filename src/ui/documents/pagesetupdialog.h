#pragma once

#include "grid/pagesetup.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QGroupBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace fenpai {

class Grid;
class PagePicture;

// frmPageSetup: the grid's page setup on three tabs. "确定" applies the boxes to the grid's page
// setup (zoom and title counts as whole numbers, boxes without a number as 0), "取消" changes
// nothing; "另存为设置…" writes the boxes to a page setup file for the command line.
class PageSetupDialog final : public QDialog
{
    Q_OBJECT

public:
    using FileChooser = std::function<QString()>;
    using FontChooser = std::function<bool(QFont *font)>;

    explicit PageSetupDialog(QWidget *parent = nullptr);

    // SetGrid: remembers the grid and shows its page setup.
    void setGrid(Grid *grid);
    void setPageSetup(const PageSetup &setup);
    // The page setup the boxes describe.
    PageSetup pageSetup() const;

    // Tests answer instead of the file and font dialogs.
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setFontChooser(FontChooser chooser) { m_chooseFont = std::move(chooser); }

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildPageTab();
    QGroupBox *buildPaperBox();
    QGroupBox *buildTitlesBox();
    QGroupBox *buildPrintingBox();
    QWidget *buildMarginsTab();
    QWidget *buildHeaderFooterTab();
    QLineEdit *numberBox(const char *objectName);
    void updatePaperBoxes();
    void updatePicture();
    void chooseFont(QLineEdit *box);
    void saveSettings();

    Grid *m_grid = nullptr;
    PageSetup m_initial; // what the boxes do not show is kept
    QTabWidget *m_tabs;
    QRadioButton *m_portrait = nullptr;
    QRadioButton *m_landscape = nullptr;
    QComboBox *m_paper = nullptr;
    QLabel *m_widthLabel = nullptr;
    QLabel *m_heightLabel = nullptr;
    QLineEdit *m_paperWidth = nullptr;
    QLineEdit *m_paperHeight = nullptr;
    QLineEdit *m_zoom = nullptr;
    QLineEdit *m_titleRows = nullptr;
    QLineEdit *m_titleCols = nullptr;
    QLineEdit *m_bottomRows = nullptr;
    QCheckBox *m_fixedRow = nullptr;
    QCheckBox *m_fixedCol = nullptr;
    QCheckBox *m_gridlines = nullptr;
    QCheckBox *m_blackAndWhite = nullptr;
    QList<QLineEdit *>
        m_margins; // in PagePicture::Line order: top, bottom, left, right, header, footer
    QCheckBox *m_centerH = nullptr;
    QCheckBox *m_centerV = nullptr;
    PagePicture *m_picture = nullptr;
    QLineEdit *m_header = nullptr;
    QLineEdit *m_footer = nullptr;
    QComboBox *m_headerAlign = nullptr;
    QComboBox *m_footerAlign = nullptr;
    FileChooser m_chooseFile;
    FontChooser m_chooseFont;
};

} // namespace fenpai
