#include "grid/ExtCGrid.h"
#include "grid/ExtGrid.h"

#include <gtest/gtest.h>

using enum TCellType;
using enum TCellHAlign;
using enum TCellVAlign;

namespace {

std::unique_ptr<TExtStringGrid> Grid(int cols = 5, int rows = 10)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(cols);
    g->SetRowCount(rows);
    return g;
}

// A grid with one node: row 2 heads rows 2..4 (span 3), row 5 is a plain
// top-level row.
class TNodeGrid : public TExtStringGrid {
public:
    bool IsNode(int r) override { return r == 2; }
    int GetParentRow(int r) override { return r == 3 || r == 4 ? 2 : -1; }
    int GetNodeSpan(int r) override { return r == 2 ? 3 : 1; }
    bool NodeState(int) override { return false; }
};

} // namespace

// ---------------------------------------------------------------------------
// The configurator's path: a plain check-box column read and set by row

TEST(ExtGridCheck, PlainColumnAsTheEditorsUseIt)
{
    auto g = Grid(4, 6);
    g->AddCheckBoxColumn(2, false, false);
    using enum TCheckBoxState;
    // The header row carries no box; every data row does, unchecked.
    EXPECT_FALSE(g->HasCheckBox(2, 0));
    for (int r = 1; r < 6; ++r) {
        ASSERT_EQ(g->GetCellType(2, r), ctCheckBox) << r;
        bool state = true;
        EXPECT_TRUE(g->GetCheckBoxState(2, r, state));
        EXPECT_FALSE(state);
        EXPECT_TRUE(g->Cells(2, r).isEmpty());
    }
    std::vector<std::tuple<int, int, bool>> changes;
    g->OnCheckBoxChange = [&](TExtStringGrid*, int c, int r, bool s) { changes.emplace_back(c, r, s); };

    EXPECT_TRUE(g->SetCheckBoxState(2, 3, true));
    EXPECT_TRUE(g->IsChecked(2, 3));
    EXPECT_FALSE(g->IsChecked(2, 4));
    EXPECT_TRUE(changes.empty()) << "the plain setter does not notify";
    TCheckBoxState tri = cbGrayed;
    EXPECT_TRUE(g->GetCheckBoxState(2, 3, tri));
    EXPECT_EQ(tri, cbChecked);

    EXPECT_TRUE(g->ToggleCheckBox(2, 4));
    EXPECT_TRUE(g->IsChecked(2, 4));
    EXPECT_TRUE(g->ToggleCheckBox(2, 4));
    EXPECT_FALSE(g->IsChecked(2, 4));
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0], std::make_tuple(2, 4, true));
    EXPECT_EQ(changes[1], std::make_tuple(2, 4, false));

    // A cell without a box: False, the variable untouched.
    bool untouched = true;
    EXPECT_FALSE(g->GetCheckBoxState(1, 3, untouched));
    EXPECT_TRUE(untouched);
    EXPECT_FALSE(g->IsChecked(1, 3));
    EXPECT_FALSE(g->SetCheckBoxState(1, 3, true));
    EXPECT_FALSE(g->ToggleCheckBox(1, 3));

    g->RemoveCheckBoxColumn(2);
    for (int r = 0; r < 6; ++r) EXPECT_EQ(g->GetCellType(2, r), ctEmpty);
}

TEST(ExtGridCheck, CheckAllCheckPutsABoxIntoTheHeaderRow)
{
    auto g = Grid(3, 4);
    g->MouseActions().SetCheckAllCheck(true);
    g->AddCheckBoxColumn(1, true, false);
    EXPECT_TRUE(g->HasCheckBox(1, 0));
    EXPECT_TRUE(g->IsChecked(1, 0));
}

TEST(ExtGridCheck, DataBoxKeepsAnExistingCheckText)
{
    struct Case {
        const char* before;
        bool state;
        const char* after;
    };
    const Case cases[] = {{"N", true, "N"}, {"Y", false, "Y"}, {"", true, "Y"}, {"", false, "N"}, {"x", true, "Y"}};
    for (const Case& k : cases) {
        auto g = Grid();
        g->SetCells(1, 1, k.before);
        g->AddCheckBox(1, 1, k.state, true);
        EXPECT_EQ(g->GetCellType(1, 1), ctDataCheckBox);
        EXPECT_EQ(g->Cells(1, 1), k.after) << k.before << " " << k.state;
        EXPECT_EQ(g->IsChecked(1, 1), QString(k.after) == "Y");
    }
}

TEST(ExtGridCheck, StateByKind)
{
    using enum TCheckBoxState;
    auto g = Grid();
    g->AddCheckBox(1, 1, true, false);
    g->AddCheckBox(1, 2, false, true);
    g->AddCheckBox(1, 3, cbGrayed);
    g->AddCheckBox(1, 4, cbChecked);
    g->AddRadioButton(1, 5, true);
    g->AddBitmap(1, 6, nullptr, false, haLeft, vaTop);

    struct Case {
        int row;
        bool has;
        bool boolState;
        TCheckBoxState triState;
    };
    const Case cases[] = {{1, true, true, cbChecked},    {2, true, false, cbUnchecked}, {3, true, false, cbGrayed},
                          {4, true, true, cbChecked},    {5, false, false, cbUnchecked}, {6, false, false, cbUnchecked},
                          {7, false, false, cbUnchecked}};
    for (const Case& k : cases) {
        bool b = false;
        TCheckBoxState t = cbUnchecked;
        EXPECT_EQ(g->GetCheckBoxState(1, k.row, b), k.has) << k.row;
        EXPECT_EQ(g->GetCheckBoxState(1, k.row, t), k.has) << k.row;
        EXPECT_EQ(g->HasCheckBox(1, k.row), k.has) << k.row;
        EXPECT_EQ(b, k.boolState) << k.row;
        EXPECT_EQ(t, k.triState) << k.row;
    }
    // The Boolean setter writes the data box's text; the three-state setter
    // only touches three-state boxes.
    EXPECT_TRUE(g->SetCheckBoxState(1, 2, true));
    EXPECT_EQ(g->Cells(1, 2), "Y");
    EXPECT_FALSE(g->SetCheckBoxState(1, 3, true));
    EXPECT_TRUE(g->SetCheckBoxState(1, 3, cbUnchecked));
    EXPECT_FALSE(g->SetCheckBoxState(1, 1, cbChecked));
}

TEST(ExtGridCheck, InvalidCellRaisesAndCreatesNothing)
{
    auto g = Grid(4, 5);
    const std::pair<int, int> bad[] = {{-1, 1}, {1, -1}, {4, 1}, {1, 5}};
    for (auto [c, r] : bad) {
        try {
            g->AddCheckBox(c, r, true, false);
            ADD_FAILURE() << c << "," << r;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Invalid cell");
        }
        EXPECT_THROW(g->AddCheckBox(c, r, TCheckBoxState::cbChecked), Exception);
        EXPECT_THROW(g->AddRadioButton(c, r, true), Exception);
    }
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 5; ++r) EXPECT_EQ(g->GetCellType(c, r), ctEmpty);
}

TEST(ExtGridCheck, TriStateCycleReportsTheStateItEndsIn)
{
    using enum TCheckBoxState;
    auto g = Grid();
    g->AddCheckBox(2, 2, cbUnchecked);
    std::vector<bool> reported;
    g->OnCheckBoxChange = [&](TExtStringGrid*, int, int, bool s) { reported.push_back(s); };
    std::vector<TCheckBoxState> walk;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(g->ToggleCheckBox(2, 2));
        TCheckBoxState s = cbUnchecked;
        g->GetCheckBoxState(2, 2, s);
        walk.push_back(s);
    }
    EXPECT_EQ(walk, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
    EXPECT_EQ(reported, (std::vector<bool>{false, true, false}));
}

TEST(ExtGridCheck, NodeGroupPropagation)
{
    using enum TCheckBoxState;
    TNodeGrid g;
    g.SetColCount(3);
    g.SetRowCount(7);
    g.Grouping().SetAutoCheckGroup(true);
    g.AddCheckBoxColumn(1, false, false);
    ASSERT_EQ(g.GetCellType(1, 2), ctTriStateCheckBox);
    ASSERT_EQ(g.GetCellType(1, 3), ctCheckBox);

    // The node passes its new state down to its rows.
    EXPECT_TRUE(g.ToggleCheckBox(1, 2));
    EXPECT_TRUE(g.IsChecked(1, 3));
    EXPECT_TRUE(g.IsChecked(1, 4));
    EXPECT_FALSE(g.IsChecked(1, 5)) << "past the node's span";

    // A child that differs grays the node; all alike sets it.
    EXPECT_TRUE(g.ToggleCheckBox(1, 3));
    TCheckBoxState s = cbUnchecked;
    g.GetCheckBoxState(1, 2, s);
    EXPECT_EQ(s, cbGrayed);
    EXPECT_TRUE(g.ToggleCheckBox(1, 4));
    g.GetCheckBoxState(1, 2, s);
    EXPECT_EQ(s, cbUnchecked);
    EXPECT_TRUE(g.ToggleCheckBox(1, 3));
    EXPECT_TRUE(g.ToggleCheckBox(1, 4));
    g.GetCheckBoxState(1, 2, s);
    EXPECT_EQ(s, cbChecked);

    // A grayed node toggles to checked and checks its rows.
    EXPECT_TRUE(g.ToggleCheckBox(1, 4));
    g.GetCheckBoxState(1, 2, s);
    ASSERT_EQ(s, cbGrayed);
    EXPECT_TRUE(g.ToggleCheckBox(1, 2));
    g.GetCheckBoxState(1, 2, s);
    EXPECT_EQ(s, cbChecked);
    EXPECT_TRUE(g.IsChecked(1, 4));
}

TEST(ExtGridCheck, ToggleIsUndone)
{
    auto g = Grid();
    TExtGridUndoRedo undo;
    g->SetUndoRedo(&undo);
    g->SetCells(1, 2, "N");
    g->AddCheckBox(1, 2, false, true);
    EXPECT_TRUE(g->ToggleCheckBox(1, 2));
    EXPECT_EQ(g->Cells(1, 2), "Y");
    ASSERT_EQ(undo.Count(), 1);
    EXPECT_EQ(undo.Items(0).OrigValue, "N");
    EXPECT_EQ(undo.Items(0).Value, "Y");
    undo.Undo();
    EXPECT_EQ(g->Cells(1, 2), "N");
    EXPECT_FALSE(g->IsChecked(1, 2));

    // A plain box records check-false to check-true when toggled on, the
    // reverse when toggled off.
    g->AddCheckBox(2, 3, false, false);
    g->ToggleCheckBox(2, 3);
    g->ToggleCheckBox(2, 3);
    ASSERT_EQ(undo.Count(), 2);
    EXPECT_EQ(undo.Items(0).OrigValue, "N");
    EXPECT_EQ(undo.Items(0).Value, "Y");
    EXPECT_EQ(undo.Items(1).OrigValue, "Y");
    EXPECT_EQ(undo.Items(1).Value, "N");
    // Undo and redo give the box its state back and leave its text alone.
    undo.Undo();
    EXPECT_TRUE(g->IsChecked(2, 3));
    undo.Undo();
    EXPECT_FALSE(g->IsChecked(2, 3));
    EXPECT_TRUE(g->Cells(2, 3).isEmpty());
    undo.Redo();
    EXPECT_TRUE(g->IsChecked(2, 3));
    EXPECT_TRUE(g->Cells(2, 3).isEmpty());

    // A three-state box comes back to the exact state, grayed included.
    undo.Reset();
    g->AddCheckBox(3, 4, cbUnchecked);
    g->ToggleCheckBox(3, 4);
    g->ToggleCheckBox(3, 4);
    TCheckBoxState t = cbUnchecked;
    g->GetCheckBoxState(3, 4, t);
    ASSERT_EQ(t, cbChecked);
    undo.Undo();
    g->GetCheckBoxState(3, 4, t);
    EXPECT_EQ(t, cbGrayed);
    undo.Undo();
    g->GetCheckBoxState(3, 4, t);
    EXPECT_EQ(t, cbUnchecked);
    EXPECT_TRUE(g->Cells(3, 4).isEmpty());
    g->SetUndoRedo(nullptr);
}

TEST(ExtGridCheck, CanEditQueryRefusesTheToggle)
{
    auto g = Grid();
    g->AddCheckBox(1, 1, false, false);
    g->OnCanEditCell = [](TExtStringGrid*, int, int, bool& allow) { allow = false; };
    g->SetOptions(g->Options().With(goEditing));
    EXPECT_FALSE(g->ToggleCheck(1, 1, true));
    EXPECT_FALSE(g->IsChecked(1, 1));
    EXPECT_TRUE(g->ToggleCheck(1, 1, false));
    g->ControlLook().SetCheckAlwaysActive(true);
    EXPECT_TRUE(g->ToggleCheck(1, 1, true));
    EXPECT_FALSE(g->IsChecked(1, 1));
}

TEST(ExtGridCheck, CheckAllNotifiesOnlyChanges)
{
    auto g = Grid(3, 5);
    g->AddCheckBox(1, 1, true, false);
    g->AddCheckBox(1, 2, false, false);
    g->AddCheckBox(1, 3, true, true);
    g->AddCheckBox(1, 4, false, true);
    std::vector<int> rows;
    g->OnCheckBoxChange = [&](TExtStringGrid*, int, int r, bool) { rows.push_back(r); };
    g->CheckAll(1);
    EXPECT_EQ(rows, (std::vector<int>{2, 4}));
    for (int r = 1; r < 5; ++r) EXPECT_TRUE(g->IsChecked(1, r)) << r;
    rows.clear();
    g->UnCheckAll(1);
    EXPECT_EQ(rows, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(g->Cells(1, 3), "N");
}

TEST(ExtGridCheck, RowBoxesAreTheRowSelection)
{
    auto g = Grid(3, 5);
    g->MouseActions().SetHotmailRowSelect(true);
    EXPECT_EQ(g->GetCellType(0, 3), ctRowCheckBox);
    g->AddBitmap(0, 2, nullptr, false, haLeft, vaTop);
    EXPECT_EQ(g->GetCellType(0, 2), ctRowCheckBox) << "column 0 always answers the row box";
    g->SetCells(0, 3, "text");
    EXPECT_TRUE(g->ToggleCheckBox(0, 3));
    EXPECT_TRUE(g->RowSelect(3));
    EXPECT_EQ(g->Cells(0, 3), "text") << "the row box leaves the cell text alone";
    EXPECT_TRUE(g->IsChecked(0, 3));
    // The header box: some but not all rows selected.
    EXPECT_EQ(g->GetCellGraphic(0, 0)->CellAngle, 1);
    EXPECT_FALSE(g->GetCellGraphic(0, 0)->CellBoolean);
    g->SelectRows(1, 4);
    EXPECT_EQ(g->GetCellGraphic(0, 0)->CellAngle, 0);
    EXPECT_TRUE(g->GetCellGraphic(0, 0)->CellBoolean);
    // Removing never frees the shared box.
    g->RemoveCheckBox(0, 3);
    EXPECT_EQ(g->GetCellType(0, 3), ctRowCheckBox);
    EXPECT_TRUE(g->SetCheckBoxState(0, 3, false));
    EXPECT_FALSE(g->RowSelect(3));

    // A hidden row keeps its row box: its state is the row's persistent flag.
    g->MouseActions().SetDisjunctRowSelect(true);
    g->MouseActions().SetRowSelectPersistent(true);
    g->SetRowSelect(2, true);
    g->HideRow(2);
    bool b = false;
    EXPECT_TRUE(g->GetCheckBoxState(0, 2, b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(g->SetCheckBoxState(0, 2, false));
    EXPECT_FALSE(g->RowSelect(2));
}

TEST(ExtGridCheck, ColumnGridDataBoxes)
{
    TExtColumnGrid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    g.Columns().Items(1).SetEditor(edDataCheckBox);
    g.SetCells(1, 1, "Y");
    g.SetCells(1, 2, "N");
    bool s = false;
    EXPECT_TRUE(g.GetCheckBoxState(1, 1, s));
    EXPECT_TRUE(s);
    EXPECT_TRUE(g.GetCheckBoxState(1, 2, s));
    EXPECT_FALSE(s);
    EXPECT_TRUE(g.SetCheckBoxState(1, 2, true));
    EXPECT_EQ(g.Cells(1, 2), "Y");
    EXPECT_TRUE(g.ToggleCheckBox(1, 1));
    EXPECT_EQ(g.Cells(1, 1), "N");
    // The shared virtual box is never removed.
    g.RemoveCheckBox(1, 1);
    EXPECT_TRUE(g.HasCheckBox(1, 1));
    EXPECT_TRUE(g.HasDataCheckBox(1, 1));
}

TEST(ExtGridCheck, RadioButtons)
{
    auto g = Grid(3, 5);
    g->AddRadioButtonColumn(1);
    EXPECT_EQ(g->GetRadioButtonColumnIndex(1), -1);
    EXPECT_TRUE(g->ToggleRadioButton(1, 2, false));
    EXPECT_EQ(g->GetRadioButtonColumnIndex(1), 2);
    EXPECT_TRUE(g->ToggleRadioButton(1, 4, false));
    EXPECT_FALSE(g->IsRadioButtonChecked(1, 2));
    EXPECT_TRUE(g->IsRadioButtonChecked(1, 4));
    // A checked button stays checked.
    EXPECT_TRUE(g->ToggleRadioButton(1, 4, false));
    EXPECT_TRUE(g->IsRadioButtonChecked(1, 4));
    // The setter never unchecks the others.
    EXPECT_TRUE(g->SetRadioButtonState(1, 1, true));
    EXPECT_TRUE(g->IsRadioButtonChecked(1, 4));
    g->SetRadioButtonColumnIndex(1, 3);
    EXPECT_EQ(g->GetRadioButtonColumnIndex(1), 3);
    EXPECT_FALSE(g->IsRadioButtonChecked(1, 4));
    EXPECT_FALSE(g->ToggleRadioButton(2, 2, false));
    g->RemoveRadioButtonColumn(1);
    EXPECT_FALSE(g->HasRadioButton(1, 3));
}

TEST(ExtGridCheck, RadioGroupMovesToTheNextCaption)
{
    auto g = Grid(3, 5);
    QStringList captions{"a", "b", "c"};
    g->AddRadio(1, 1, 0, 1, &captions);
    EXPECT_TRUE(g->IsRadio(1, 1));
    EXPECT_EQ(g->GetRadioStrings(1, 1), &captions);
    g->SelectNextRadio(1, 1, false);
    int idx = 0;
    EXPECT_TRUE(g->GetRadioIdx(1, 1, idx));
    EXPECT_EQ(idx, 2);
    EXPECT_EQ(g->Cells(1, 1), "c");
    g->SelectNextRadio(1, 1, false);
    g->GetRadioIdx(1, 1, idx);
    EXPECT_EQ(idx, 0) << "past the last caption wraps to the first";
    EXPECT_EQ(g->Cells(1, 1), "a");

    // An index below -1 keeps following the text.
    g->AddRadio(1, 2, 1, -2, &captions);
    g->SetCells(1, 2, "b");
    g->SelectNextRadio(1, 2, false);
    g->GetRadioIdx(1, 2, idx);
    EXPECT_EQ(idx, -2);
    EXPECT_EQ(g->Cells(1, 2), "c");

    // A group the grid made owns its empty list: nothing to select.
    QStringList* own = g->CreateRadio(1, 3, 0, 0);
    ASSERT_NE(own, nullptr);
    g->SetCells(1, 3, "keep");
    g->SelectNextRadio(1, 3, false);
    EXPECT_EQ(g->Cells(1, 3), "keep");
    own->append("x");
    g->RemoveRadio(1, 3);
    EXPECT_FALSE(g->IsRadio(1, 3));

    EXPECT_TRUE(g->SetRadioIdx(1, 1, -1));
    EXPECT_TRUE(g->Cells(1, 1).isEmpty());
    EXPECT_FALSE(g->SetRadioIdx(1, 4, 1));
}

TEST(ExtGridCheck, GlyphHitTest)
{
    auto g = Grid(3, 4);
    g->SetColWidths(1, 64);
    g->SetDefaultRowHeight(22);
    g->AddCheckBox(1, 1, false, false);
    const TRect r = g->CellRect(1, 1);
    // Without the precise test anywhere in a box cell, never in a text cell.
    EXPECT_TRUE(g->IsInCheckBox(1, 1, r.Right - 1, r.Bottom - 1));
    EXPECT_FALSE(g->IsInCheckBox(2, 1, r.Left + 3, r.Top + 3));
    g->MouseActions().SetPreciseCheckBoxCheck(true);
    // A top-aligned, left-justified box: 15 x 15 from (Left + 2, Top + 2).
    EXPECT_TRUE(g->IsInCheckBox(1, 1, r.Left + 2, r.Top + 2));
    EXPECT_TRUE(g->IsInCheckBox(1, 1, r.Left + 16, r.Top + 16));
    EXPECT_FALSE(g->IsInCheckBox(1, 1, r.Left + 17, r.Top + 5));
    EXPECT_FALSE(g->IsInCheckBox(1, 1, r.Left + 1, r.Top + 5));
    g->SetAlignments(1, 1, taCenter);
    const int left = r.Left + (r.Width() - 15) / 2;
    EXPECT_TRUE(g->IsInCheckBox(1, 1, left, r.Top + 2));
    EXPECT_FALSE(g->IsInCheckBox(1, 1, left - 1, r.Top + 2));
    g->SetAlignments(1, 1, taRightJustify);
    EXPECT_TRUE(g->IsInCheckBox(1, 1, r.Right - 17, r.Top + 2));
    EXPECT_FALSE(g->IsInCheckBox(1, 1, r.Right - 2, r.Top + 2));
    // Radio buttons answer the same square; other graphics never.
    g->AddRadioButton(1, 2, false);
    const TRect r2 = g->CellRect(1, 2);
    EXPECT_TRUE(g->IsInCheckBox(1, 2, r2.Left + 2, r2.Top + 2));
    g->AddComment(1, 3, "c");
    g->MouseActions().SetPreciseCheckBoxCheck(false);
    EXPECT_FALSE(g->IsInCheckBox(1, 3, 0, 0));
}

TEST(ExtGridCheck, HiddenRowsAreReachedByRealRow)
{
    auto g = Grid(3, 8);
    g->AddCheckBoxColumn(1, false, false);
    g->SetCells(2, 4, "N");
    g->AddCheckBox(2, 4, false, true);
    g->SetCheckBoxState(1, 4, true);
    g->SetCheckBoxState(1, 6, true);
    g->HideRows(3, 4);
    ASSERT_EQ(g->NumHiddenRows(), 2);
    // Real rows: hidden row 4 and shown row 6 (now displayed as 4).
    for (int real : {4, 6}) {
        bool b = false;
        TCheckBoxState t = cbUnchecked;
        EXPECT_TRUE(g->GetCheckBoxState(1, real, b)) << real;
        EXPECT_TRUE(b) << real;
        EXPECT_TRUE(g->GetCheckBoxState(1, real, t)) << real;
        EXPECT_EQ(t, cbChecked) << real;
    }
    bool b = true;
    EXPECT_TRUE(g->GetCheckBoxState(1, 5, b));
    EXPECT_FALSE(b);
    // A hidden data box is set through its parked text.
    EXPECT_TRUE(g->SetCheckBoxState(2, 4, true));
    g->UnHideRowsAll();
    EXPECT_EQ(g->Cells(2, 4), "Y");
    EXPECT_TRUE(g->IsChecked(1, 4));
}

TEST(ExtGridCheck, HiddenColumnsAreReachedByRealColumn)
{
    auto g = Grid(4, 5);
    g->HideColumn(3);
    ASSERT_EQ(g->ColCount(), 3);
    // Real column 3 is hidden but still a cell of the grid: its box is made.
    g->AddCheckBox(3, 2, true, false);
    EXPECT_EQ(g->GetCellType(3, 2), ctCheckBox);
    EXPECT_TRUE(g->IsChecked(3, 2));
    g->AddBitmap(3, 3, nullptr, false, haLeft, vaTop);
    EXPECT_EQ(g->GetCellType(3, 3), ctBitmap);
    EXPECT_THROW(g->AddCheckBox(4, 2, true, false), Exception);
    g->UnHideColumnsAll();
    EXPECT_TRUE(g->IsChecked(3, 2));
}
