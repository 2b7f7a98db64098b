// The grid drop-down's columns and items and the item-mode filling of its
// inner grid.
#include "dropdown/ExtCustomGridDropDown.h"

#include <gtest/gtest.h>
#include <type_traits>

using namespace ExtCustomGridDropDown;

namespace {

// An item class of an application's own, chosen through GetItemClass.
class TTaggedItem : public TDropDownItem {
public:
    QString Tag = QStringLiteral("tagged");
};

class TTaggedItems : public TDropDownItems {
public:
    TItemFactory GetItemClass() const override
    {
        return [] { return std::make_unique<TTaggedItem>(); };
    }
};

void AddColumns(TDropDownColumns& cols, const QStringList& headers)
{
    for (const QString& h : headers) cols.Add().Header = h;
}

} // namespace

TEST(GridDropDownItems, ClassesAreDistinctFromTheMultiColumnOnes)
{
    static_assert(!std::is_same_v<TDropDownColumn, ExtMultiColumnDropDown::TDropDownColumn>);
    static_assert(!std::is_same_v<TDropDownItem, ExtMultiColumnDropDown::TDropDownItem>);
    TDropDownColumn c;
    EXPECT_EQ(c.Width, 80);
    EXPECT_EQ(c.Color, 0xFFFFFFu);
    EXPECT_EQ(c.ColumnType, TColumnType::ctText);
    TDropDownItem i;
    EXPECT_EQ(i.ImageIndex, -1);
}

TEST(GridDropDownItems, AssignCopiesAllSettings)
{
    TDropDownColumns a;
    TDropDownColumn& c = a.Add();
    c.Header = QStringLiteral("Name");
    c.Width = 120;
    c.Wordwrap = true;
    c.Ellipsis = true;
    c.Alignment = taCenter;
    c.ColumnType = TColumnType::ctImage;
    c.Font.setBold(true);
    TDropDownColumns b;
    b.Add();
    b.Add();
    b.Assign(a);
    ASSERT_EQ(b.Count(), 1);
    EXPECT_EQ(b.Items(0).Header, QStringLiteral("Name"));
    EXPECT_EQ(b.Items(0).Width, 120);
    EXPECT_TRUE(b.Items(0).Wordwrap);
    EXPECT_TRUE(b.Items(0).Ellipsis);
    EXPECT_EQ(b.Items(0).Alignment, taCenter);
    EXPECT_EQ(b.Items(0).ColumnType, TColumnType::ctImage);
    EXPECT_TRUE(b.Items(0).Font.bold());
    // A copy, not a share.
    a.Items(0).Header = QStringLiteral("changed");
    EXPECT_EQ(b.Items(0).Header, QStringLiteral("Name"));
}

TEST(GridDropDownItems, ItemClassIsChosenByTheCollection)
{
    TTaggedItems items;
    items.Add().Text = {QStringLiteral("a")};
    items.Insert(0).Text = {QStringLiteral("b")};
    ASSERT_EQ(items.Count(), 2);
    for (int i = 0; i < 2; ++i) EXPECT_NE(dynamic_cast<TTaggedItem*>(&items.Items(i)), nullptr);
    EXPECT_EQ(items.Items(0).Text, QStringList{QStringLiteral("b")});
    // Assigning into the collection keeps its own item class.
    TDropDownItems plain;
    plain.Add().Text = {QStringLiteral("x"), QStringLiteral("y")};
    plain.Items(0).ImageIndex = 3;
    items.Assign(plain);
    ASSERT_EQ(items.Count(), 1);
    EXPECT_NE(dynamic_cast<TTaggedItem*>(&items.Items(0)), nullptr);
    EXPECT_EQ(items.Items(0).ImageIndex, 3);
    EXPECT_EQ(items.Items(0).TextAt(1), QStringLiteral("y"));
    EXPECT_TRUE(items.Items(0).TextAt(2).isEmpty());
}

TEST(GridDropDownItems, FillFromItemsTagsRowsWithTheirItems)
{
    TDropDownColumns cols;
    AddColumns(cols, {QStringLiteral("Code"), QStringLiteral("Name"), QStringLiteral("Note")});
    TDropDownItems items;
    items.Add().Text = {QStringLiteral("C"), QStringLiteral("third")};
    items.Add().Text = {QStringLiteral("A"), QStringLiteral("first"), QStringLiteral("n")};
    items.Add().Text = {QStringLiteral("B")};
    TBaseGrid g;
    FillFromItems(g, cols, items);
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.RowCount(), 4);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(g.Cells(c, 0), cols.Items(c).Header);
        ASSERT_NE(g.ObjectAs<int>(c, 0), nullptr);
        EXPECT_EQ(*g.ObjectAs<int>(c, 0), -1);
    }
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("third"));
    // Fewer strings than columns: the rest of the row stays empty.
    EXPECT_TRUE(g.Cells(2, 1).isEmpty());
    EXPECT_TRUE(g.Cells(1, 3).isEmpty());
    for (int r = 1; r < 4; ++r) EXPECT_EQ(ItemOfRow(g, r), r - 1);
    // The tag travels with its row when the rows are reordered.
    g.MoveRow(1, 3);
    EXPECT_EQ(g.Cells(0, 3), QStringLiteral("C"));
    EXPECT_EQ(ItemOfRow(g, 3), 0);
    EXPECT_EQ(ItemOfRow(g, 1), 1);
}

TEST(GridDropDownItems, FillWithoutItemsKeepsTheRowCount)
{
    TDropDownColumns cols;
    AddColumns(cols, {QStringLiteral("One")});
    TDropDownItems items;
    TBaseGrid g;
    g.SetRowCount(3);
    FillFromItems(g, cols, items);
    EXPECT_EQ(g.ColCount(), 1);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.Cells(0, 0), QStringLiteral("One"));
    EXPECT_EQ(ItemOfRow(g, 1), -1);
}
