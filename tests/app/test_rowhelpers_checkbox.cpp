// The row buttons of the string grids whose cells carry their own check
// boxes: column 1 and column 3 hold boxes, column 2 text; the free rows at
// the end are read-only.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "grid/ExtGrid.h"

#include "../common/SharedState.h"
#include "../common/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class BoxRowHelpers : public SharedStateTest {
protected:
    void SetUp() override
    {
        Load_Default_Texts();
        grid = std::make_unique<TExtStringGrid>();
        grid->SetColCount(4);
        grid->SetRowCount(5);
        grid->SetFixedCols(1);
        grid->SetFixedRows(1);
        for (int r = 1; r < 5; ++r) {
            grid->SetCells(0, r, QString::number(r));
            grid->AddCheckBox(1, r, false, false);
            grid->AddCheckBox(3, r, false, false);
        }
    }
    void Set(int row, bool box1, const QString& text, bool box3, bool readOnly = false)
    {
        grid->SetCheckBoxState(1, row, box1);
        grid->SetCells(2, row, text);
        grid->SetCheckBoxState(3, row, box3);
        for (int c = 1; c < 4; ++c) grid->CellProperties(c, row)->SetReadOnly(readOnly);
    }
    // "box1|text|box3|ro" with boxes as Y/N and ro as R (read-only) or -.
    QString RowOf(int row)
    {
        bool b1 = false, b3 = false;
        grid->GetCheckBoxState(1, row, b1);
        grid->GetCheckBoxState(3, row, b3);
        bool allRo = true, noneRo = true;
        for (int c = 1; c < 4; ++c) {
            const bool ro = grid->CellProperties(c, row)->ReadOnly();
            allRo = allRo && ro;
            noneRo = noneRo && !ro;
        }
        return QStringLiteral("%1|%2|%3|%4")
            .arg(b1 ? "Y" : "N", grid->Cells(2, row), b3 ? "Y" : "N", allRo ? "R" : noneRo ? "-" : "mixed");
    }

    std::unique_ptr<TExtStringGrid> grid;
};

TEST_F(BoxRowHelpers, CopyRecordsBoxesAndPasteSetsThem)
{
    Set(2, false, "abc", true);
    Grid_Copy_Row_CheckBox(grid.get(), 2);
    EXPECT_EQ(SL_Copy_Row, (QStringList{"N", "abc", "Y"}));
    EXPECT_EQ(Copy_Row_Is_CheckBox, (std::vector<bool>{true, false, true}));

    Set(3, true, "", false);
    Grid_Paste_Row_CheckBox(grid.get(), 3, true);
    EXPECT_EQ(RowOf(3), "N|abc|Y|-");
    // The boxes are still boxes: their cells hold no "Y"/"N" text.
    EXPECT_TRUE(grid->HasCheckBox(1, 3));
    EXPECT_TRUE(grid->HasCheckBox(3, 3));

    // A clipboard last filled by the plain copy records no boxes: its entries
    // go to the cells as texts, the box states stay.
    SL_Copy_Row = {"Y", "plain", "Y"};
    Copy_Row_Is_CheckBox.clear();
    Set(4, false, "", false);
    Grid_Paste_Row_CheckBox(grid.get(), 4, true);
    EXPECT_EQ(grid->Cells(2, 4), "plain");
    EXPECT_EQ(RowOf(4).left(1), "N");
}

TEST_F(BoxRowHelpers, PasteChecksInOrder)
{
    struct Case {
        const char* name;
        bool copied;
        QStringList clipboard;
        QString target; // text of column 2 before the paste
        const char* box;
        int answer;
        QString after;
    };
    const QStringList data{"Y", "7", "N"};
    const Case cases[] = {
        {"not copied here", false, data, "", "Error!!! Copy a valid row before Paste it", mrOk, "N||N|-"},
        {"other width", true, {"Y"}, "", "Error in the Copy values!!! Copy a valid row before Paste it", mrOk,
         "N||N|-"},
        {"empty row", true, data, "", "", 0, "Y|7|N|-"},
        // Blanks count here (the plain family trims them away).
        {"blanks, No", true, data, "  ", "Row Already used. Do you want to overwrite the values?", mrNo, "N|  |N|-"},
        {"used, Yes", true, data, "5", "Row Already used. Do you want to overwrite the values?", mrYes, "Y|7|N|-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SL_Copy_Row = c.clipboard;
        Copy_Row_Is_CheckBox = {true, false, true};
        Set(1, false, c.target, false);
        ScriptedMessages msgs;
        if (*c.box) msgs.Expect(c.box, c.answer);
        Grid_Paste_Row_CheckBox(grid.get(), 1, c.copied);
        EXPECT_EQ(RowOf(1), c.after);
    }
}

TEST_F(BoxRowHelpers, DeleteMovesStatesTextsAndFlagsAndFreesTheLastRow)
{
    Set(1, true, "a", false);
    Set(2, false, "b", true);
    Set(3, true, "c", true);
    Set(4, false, "", false, true);
    Grid_Delete_Row_CheckBox(2, grid.get(), true);
    EXPECT_EQ(RowOf(1), "Y|a|N|-");
    EXPECT_EQ(RowOf(2), "Y|c|Y|-");
    EXPECT_EQ(RowOf(3), "N||N|R");
    // The new free row: emptied, column 1 ticked for enable, read-only.
    EXPECT_EQ(RowOf(4), "Y||N|R");
}

TEST_F(BoxRowHelpers, InsertMovesRowsDownAndOpensTheNewRow)
{
    Set(1, true, "a", true);
    Set(2, false, "b", false);
    Set(3, true, "", false, true);
    Set(4, false, "", false, true);
    ASSERT_TRUE(Grid_Insert_Row_CheckBox(1, grid.get(), true));
    EXPECT_EQ(RowOf(1), "Y||N|-");
    EXPECT_EQ(RowOf(2), "Y|a|Y|-");
    EXPECT_EQ(RowOf(3), "N|b|N|-");
    EXPECT_EQ(RowOf(4), "Y||N|R");

    // The last row is now in use: its content would be lost, so the user is
    // asked, and No changes nothing.
    Set(4, false, "last", false);
    {
        ScriptedMessages msgs;
        msgs.Expect(SL_Lang[1506], mrNo);
        EXPECT_FALSE(Grid_Insert_Row_CheckBox(1, grid.get(), true));
    }
    EXPECT_EQ(RowOf(4), "N|last|N|-");
    EXPECT_EQ(RowOf(1), "Y||N|-");
}

} // namespace
