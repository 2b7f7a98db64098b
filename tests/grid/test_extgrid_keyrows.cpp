// The key procedure's row and control keys: Insert and Delete of rows,
// Space on check boxes, Enter and F2 on cells that may not be edited,
// disjunct row flags.
#include "grid/ExtGrid.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using enum TShiftStateItem;

// A 3 x 6 grid (one fixed column and row) whose column 1 holds the row's name.
std::unique_ptr<TExtStringGrid> NamedRows()
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(3);
    g->SetRowCount(6);
    for (int r = 1; r < 6; ++r) g->SetCells(1, r, QString("r%1").arg(r));
    return g;
}

void Key(TExtStringGrid& g, int key, TShiftState shift = {})
{
    g.DoKeyDown(key, shift);
}

QStringList Names(TExtStringGrid& g)
{
    QStringList l;
    for (int r = 1; r < g.RowCount(); ++r) l << g.Cells(1, r);
    return l;
}

class F2Grid : public TExtStringGrid {
public:
    void DoF2Key() override { ++f2; }
    void RememberCell(int c, int r) override
    {
        remembered = {c, r};
        TExtStringGrid::RememberCell(c, r);
    }
    int f2 = 0;
    std::pair<int, int> remembered{-1, -1};
};

} // namespace

TEST(GridKeyRows, InsertAddsARowBeforeOrAfterTheCurrentOne)
{
    struct Case {
        const char* name;
        TInsertPosition position;
        TShiftState shift;
        QStringList want;
        int row;
    };
    const Case cases[] = {
        {"before", pInsertBefore, {}, {"r1", "r2", "", "r3", "r4", "r5"}, 3},
        {"after", pInsertAfter, {}, {"r1", "r2", "r3", "", "r4", "r5"}, 4},
        {"not with ctrl", pInsertBefore, {ssCtrl}, {"r1", "r2", "r3", "r4", "r5"}, 3},
        {"not with alt", pInsertBefore, {ssAlt}, {"r1", "r2", "r3", "r4", "r5"}, 3},
    };
    for (const Case& k : cases) {
        auto g = NamedRows();
        g->Navigation().SetAllowInsertRow(true);
        g->Navigation().SetInsertPosition(k.position);
        int fired = -1;
        g->OnAutoInsertRow = [&](TExtStringGrid*, int index) { fired = index; };
        g->MoveColRow(1, 3, true, true);
        Key(*g, VK_INSERT, k.shift);
        EXPECT_EQ(Names(*g), k.want) << k.name;
        EXPECT_EQ(g->Row(), k.row) << k.name;
        EXPECT_EQ(g->GridModified(), k.want.size() == 6) << k.name;
        if (k.want.size() == 6) {
            EXPECT_EQ(fired, k.want.indexOf("") + 1) << k.name;
        }
    }
    // Off by default, and refused by OnCanInsertRow.
    auto g = NamedRows();
    Key(*g, VK_INSERT);
    EXPECT_EQ(g->RowCount(), 6);
    g->Navigation().SetAllowInsertRow(true);
    g->OnCanInsertRow = [](TExtStringGrid*, int, bool& can) { can = false; };
    Key(*g, VK_INSERT);
    EXPECT_EQ(g->RowCount(), 6);
}

// Under a filter the insertion runs with the filter off and the current row
// on the row the user was on (its real row), not on whatever row the lifted
// filter put under the display index.
TEST(GridKeyRows, InsertMakesTheRealRowCurrentWhileItInserts)
{
    struct InsertGrid : TExtStringGrid {
        void InsertGridRow(int r) override
        {
            Seen.push_back({r, Cells(1, Row())});
            TExtStringGrid::InsertGridRow(r);
        }
        std::vector<std::pair<int, QString>> Seen; // (index, current row's name)
    } g;
    g.SetColCount(3);
    g.SetRowCount(6);
    for (int r = 1; r < 6; ++r) g.SetCells(1, r, QString("r%1").arg(r));
    g.Navigation().SetAllowInsertRow(true);
    TFilterData& d = g.Filter().Add();
    d.SetColumn(1);
    d.SetCondition("r3");
    g.SetFilterActive(true);
    ASSERT_EQ(g.RowCount(), 2);
    g.MoveColRow(1, 1, true, true);
    Key(g, VK_INSERT);
    EXPECT_EQ(g.Seen, (std::vector<std::pair<int, QString>>{{3, "r3"}}));
    g.SetFilterActive(false);
    EXPECT_EQ(Names(g), (QStringList{"r1", "r2", "", "r3", "r4", "r5"}));
}

TEST(GridKeyRows, DeleteRemovesTheRowOrEmptiesTheOnlyOne)
{
    auto g = NamedRows();
    g->Navigation().SetAllowDeleteRow(true);
    g->MoveColRow(1, 2, true, true);
    int asked = -1;
    bool allow = false;
    g->OnCanDeleteRow = [&](TExtStringGrid*, int r, bool& can) {
        asked = r;
        can = allow;
    };
    Key(*g, VK_DELETE);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(Names(*g), (QStringList{"r1", "r2", "r3", "r4", "r5"}));
    allow = true;
    Key(*g, VK_DELETE);
    EXPECT_EQ(Names(*g), (QStringList{"r1", "r3", "r4", "r5"}));
    EXPECT_TRUE(g->GridModified());
    // Alt blocks it.
    Key(*g, VK_DELETE, {ssAlt});
    EXPECT_EQ(g->RowCount(), 5);

    // The only data row is emptied, not removed.
    TExtStringGrid one;
    one.SetColCount(3);
    one.SetRowCount(2);
    one.SetCells(1, 1, "only");
    one.Navigation().SetAllowDeleteRow(true);
    Key(one, VK_DELETE);
    EXPECT_EQ(one.RowCount(), 2);
    EXPECT_EQ(one.Cells(1, 1), "");
}

TEST(GridKeyRows, SpaceTogglesACheckBoxOnlyWhereItMayBeEdited)
{
    struct Case {
        const char* name;
        bool editing, readOnly, alwaysActive, toggled;
    };
    const Case cases[] = {
        {"editable", true, false, false, true},
        {"read-only column", true, true, false, false},
        {"read-only but always active", true, true, true, true},
        {"no editing", false, false, false, false},
    };
    for (const Case& k : cases) {
        auto g = NamedRows();
        g->AddCheckBox(2, 3, false, false);
        if (k.editing) g->SetOptions(g->Options().With(goEditing));
        if (k.readOnly) g->OnCanEditCell = [](TExtStringGrid*, int, int c, bool& can) { can = can && c != 2; };
        g->ControlLook().SetCheckAlwaysActive(k.alwaysActive);
        g->MoveColRow(2, 3, true, true);
        std::vector<std::tuple<int, int, bool>> clicks;
        g->OnCheckBoxClick = [&](TExtStringGrid*, int c, int r, bool st) { clicks.emplace_back(c, r, st); };
        Key(*g, VK_SPACE);
        bool state = false;
        ASSERT_TRUE(g->GetCheckBoxState(2, 3, state)) << k.name;
        EXPECT_EQ(state, k.toggled) << k.name;
        // A toggle is reported once, with the new state; no toggle, no report.
        if (k.toggled) {
            ASSERT_EQ(clicks.size(), 1u) << k.name;
            EXPECT_EQ(clicks[0], std::make_tuple(2, 3, true)) << k.name;
            Key(*g, VK_SPACE);
            ASSERT_EQ(clicks.size(), 2u) << k.name;
            EXPECT_EQ(clicks[1], std::make_tuple(2, 3, false)) << k.name;
        } else {
            EXPECT_TRUE(clicks.empty()) << k.name;
        }
    }
}

TEST(GridKeyRows, SpaceOnRadiosReportsTheChoice)
{
    // A radio group steps to its next item and reports the new index; Enter
    // does not work it.
    auto g = NamedRows();
    g->SetOptions(g->Options().With(goEditing));
    QStringList captions{"a", "b", "c"};
    g->AddRadio(2, 2, 0, 2, &captions);
    std::vector<std::tuple<int, int, int>> radio;
    g->OnRadioClick = [&](TExtStringGrid*, int c, int r, int idx) { radio.emplace_back(c, r, idx); };
    g->MoveColRow(2, 2, true, true);
    Key(*g, VK_SPACE);
    ASSERT_EQ(radio.size(), 1u);
    EXPECT_EQ(radio[0], std::make_tuple(2, 2, 0));
    EXPECT_EQ(g->Cells(2, 2), "a");
    Key(*g, VK_RETURN);
    EXPECT_EQ(radio.size(), 1u);

    // A radio button becomes the column's chosen one and is reported; a
    // read-only cell reports nothing unless radios are always active.
    g->AddRadioButtonColumn(1);
    std::vector<std::pair<int, int>> buttons;
    g->OnRadioButtonClick = [&](TExtStringGrid*, int c, int r) { buttons.emplace_back(c, r); };
    g->MoveColRow(1, 4, true, true);
    Key(*g, VK_SPACE);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0], std::make_pair(1, 4));
    EXPECT_EQ(g->GetRadioButtonColumnIndex(1), 4);
    g->OnCanEditCell = [](TExtStringGrid*, int, int, bool& can) { can = false; };
    g->MoveColRow(1, 2, true, true);
    Key(*g, VK_SPACE);
    EXPECT_EQ(buttons.size(), 1u);
    EXPECT_EQ(g->GetRadioButtonColumnIndex(1), 4);
    g->ControlLook().SetRadioAlwaysActive(true);
    Key(*g, VK_SPACE);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(g->GetRadioButtonColumnIndex(1), 2);
}

TEST(GridKeyRows, EnterAndF2RememberTheCellAndOpenNoEditorOnAFixedCell)
{
    F2Grid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetOptions(g.Options().With(goEditing));
    g.MoveColRow(2, 2, true, true);
    Key(g, VK_F2);
    EXPECT_EQ(g.f2, 1);
    EXPECT_EQ(g.remembered, (std::pair<int, int>{2, 2}));
    g.HideInplaceEdit();
    // A cell the grid refuses to edit: the key goes no further.
    g.OnCanEditCell = [](TExtStringGrid*, int, int, bool& can) { can = false; };
    g.remembered = {-1, -1};
    Key(g, VK_F2);
    EXPECT_EQ(g.f2, 1);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.remembered, (std::pair<int, int>{-1, -1}));
}

TEST(GridKeyRows, DisjunctRowFlagsFollowTheKeys)
{
    auto g = NamedRows();
    g->MouseActions().SetDisjunctRowSelect(true);
    g->MoveColRow(1, 2, true, true);
    Key(*g, VK_SPACE);
    EXPECT_TRUE(g->RowSelect(2));
    // Ctrl+Down flags the row it lands on; a plain Down clears the flags.
    Key(*g, VK_DOWN, {ssCtrl});
    EXPECT_TRUE(g->RowSelect(3));
    EXPECT_TRUE(g->RowSelect(2));
    Key(*g, VK_DOWN);
    EXPECT_FALSE(g->RowSelect(2));
    EXPECT_FALSE(g->RowSelect(3));
    Key(*g, VK_SPACE);
    Key(*g, VK_SPACE);
    EXPECT_FALSE(g->RowSelect(g->Row()));
}

TEST(GridKeyRows, LeavingTheGridTurnsAChangedSelectionIntoRowFlags)
{
    auto g = NamedRows();
    g->MouseActions().SetDisjunctRowSelect(true);
    g->SetSelection(TGridRect{1, 2, 2, 3});
    // Unchanged selection: no flags.
    g->DoExit();
    EXPECT_FALSE(g->RowSelect(2));
    g->SetSelChange(true);
    g->DoExit();
    EXPECT_TRUE(g->RowSelect(2));
    EXPECT_TRUE(g->RowSelect(3));
    EXPECT_FALSE(g->RowSelect(4));
    EXPECT_FALSE(g->SelChange());
    // A click remembers the cell it leaves current.
    F2Grid f;
    f.SetColCount(3);
    f.SetRowCount(4);
    f.MoveColRow(2, 3, true, true);
    f.Click();
    EXPECT_EQ(f.remembered, (std::pair<int, int>{2, 3}));
}

TEST(GridKeyRows, RecordedColumnWidthsFollowTheGridsWidth)
{
    TExtStringGrid g;
    g.SetColCount(3);
    for (int c = 0; c < 3; ++c) g.SetColWidths(c, 60 + c);
    g.SetBounds(0, 0, 300, 200);
    g.InitOrigColSizes();
    g.ColumnSize().SetSynchWithGrid(true);
    g.SetBounds(0, 0, 450, 200);
    g.ClientResized(450, 200);
    EXPECT_EQ(g.ColWidths(0), 90);
    EXPECT_EQ(g.ColWidths(1), 91);
    EXPECT_EQ(g.ColWidths(2), 93);
    // Only the normal columns with SynchNormalCellsOnly.
    g.ColumnSize().SetSynchNormalCellsOnly(true);
    g.SetBounds(0, 0, 150, 200);
    g.ClientResized(150, 200);
    EXPECT_EQ(g.ColWidths(0), 90);
    EXPECT_EQ(g.ColWidths(1), 30);
    EXPECT_EQ(g.ColWidths(2), 31);
}
