#include "ui/grid/gridclipboard.h"
#include "grid/grid.h"
#include "support/testapp.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

using namespace fenpai;
using fenpai::test::ensureApp;

TEST(GridClipboard, CopyThenPasteWithFormatsIntoAnotherGrid)
{
    ensureApp();
    Grid source;
    source.setRows(12);
    source.setCols(16);
    source.setCellText(1, 1, QStringLiteral("准考证"));
    source.setCellText(4, 4, QStringLiteral("姓名"));
    source.range(1, 1, 1, 15).merge();
    source.range(1, 1, 1, 15).setFont(GridFont{QStringLiteral("黑体"), 18, true});
    source.range(4, 1, 9, 15)
        .setBorder(GridBorder::Edge::InsideHorizontal, GridBorder::Style::Thin);
    source.cell(4, 4).setTag(QStringLiteral("t"));
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
    }
    ASSERT_TRUE(source.addImageData(QStringLiteral("p"), png));
    source.setCellImage(3, 6, QStringLiteral("p"));
    ASSERT_TRUE(GridClipboard::copy(source, GridArea{1, 1, 11, 15}));

    Grid target;
    target.setCols(16);
    target.setRows(24);
    ASSERT_TRUE(GridClipboard::paste(target, 12, 1));
    EXPECT_EQ(target.cellText(12, 1), QStringLiteral("准考证"));
    EXPECT_EQ(target.cellText(15, 4), QStringLiteral("姓名"));
    EXPECT_EQ(target.cellTag(15, 4), QStringLiteral("t"));
    EXPECT_TRUE(target.cellFont(12, 1).bold);
    EXPECT_EQ(target.cellFont(12, 1).name, QStringLiteral("黑体"));
    EXPECT_EQ(target.cellStyle(15, 4).borders[3], GridBorder::Style::Thin);
    EXPECT_EQ(target.merges(), (QList<GridArea>{{12, 1, 12, 15}}));
    EXPECT_EQ(target.cellStyle(14, 6).imageKey, QStringLiteral("p"));
    EXPECT_FALSE(target.image(QStringLiteral("p")).isNull());
    // Other programs get tab/newline text.
    const QString plain = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(plain.startsWith(QStringLiteral("准考证\t\t")));
    EXPECT_EQ(plain.count(u'\n'), 11);

    // Pasting past the edge cuts off; it never grows the grid.
    ASSERT_TRUE(GridClipboard::paste(target, 20, 10));
    EXPECT_EQ(target.rows(), 24);
    EXPECT_EQ(target.cols(), 16);
    EXPECT_EQ(target.cellText(20, 10), QStringLiteral("准考证"));
    EXPECT_EQ(target.mergeAt(20, 15), (GridArea{20, 10, 20, 15}));
}

TEST(GridClipboard, ForeignOrDamagedDataPastesItsTextOrNothing)
{
    ensureApp();
    Grid g;
    g.setRows(4);
    g.setCols(4);
    // A damaged rich copy falls back to the text beside it.
    QMimeData damaged;
    damaged.setData(GridClipboard::mimeType(), QByteArray("not a fragment"));
    damaged.setText(QStringLiteral("a\tb"));
    EXPECT_TRUE(GridClipboard::pasteMimeData(g, damaged, 1, 1));
    EXPECT_EQ(g.cellText(1, 2), QStringLiteral("b"));
    // Neither a rich copy nor text: nothing is pasted.
    QMimeData picture;
    picture.setData(QStringLiteral("image/png"), QByteArray("png"));
    EXPECT_FALSE(GridClipboard::pasteMimeData(g, picture, 1, 1));
    EXPECT_EQ(g.cellText(1, 1), QStringLiteral("a"));
    // An area outside the grid copies nothing and leaves the clipboard alone.
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    EXPECT_FALSE(GridClipboard::copy(g, GridArea{9, 9, 10, 10}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    // The rich copy round-trips through its own MIME data, merges included.
    g.range(2, 1, 2, 3).merge();
    const std::unique_ptr<QMimeData> mime(GridClipboard::toMimeData(g.fragment({1, 1, 2, 3})));
    Grid other;
    other.setRows(4);
    other.setCols(4);
    ASSERT_TRUE(GridClipboard::pasteMimeData(other, *mime, 0, 0));
    EXPECT_EQ(other.cellText(0, 1), QStringLiteral("b"));
    EXPECT_EQ(other.merges(), (QList<GridArea>{{1, 0, 1, 2}}));
}
