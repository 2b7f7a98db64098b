// The row buttons and the Enter walk of the table editors, on a small column
// grid of the shape the editors use: column 1 a data check box, the others
// text.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "grid/ExtCGrid.h"

#include "../common/SharedState.h"
#include "../common/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class RowHelpers : public SharedStateTest {
protected:
    void SetUp() override
    {
        Load_Default_Texts();
        grid = Make(4, 5);
    }

    // cols columns (0 the row numbers), rows rows (0 the header).
    static std::unique_ptr<TExtColumnGrid> Make(int cols, int rows)
    {
        auto g = std::make_unique<TExtColumnGrid>();
        g->SetColCount(cols);
        g->SetRowCount(rows);
        g->SetFixedCols(1);
        g->SetFixedRows(1);
        g->Columns().Items(1).SetEditor(edDataCheckBox);
        for (int r = 1; r < rows; ++r) g->SetCells(0, r, QString::number(r));
        return g;
    }
    void Fill(int row, const QStringList& cells)
    {
        for (int c = 1; c <= cells.size(); ++c) grid->SetCells(c, row, cells[c - 1]);
    }
    QStringList RowOf(int row, TExtColumnGrid* g = nullptr)
    {
        if (!g) g = grid.get();
        QStringList l;
        for (int c = 0; c < g->ColCount(); ++c) l << g->Cells(c, row);
        return l;
    }

    std::unique_ptr<TExtColumnGrid> grid;
};

TEST_F(RowHelpers, CopyTakesColumnsOneOnAndClearsTheCheckBoxMarks)
{
    Copy_Row_Is_CheckBox = {true, false, true};
    Fill(2, {"N", "100", " x "});
    Grid_Copy_Row(grid.get(), 2);
    EXPECT_EQ(SL_Copy_Row, (QStringList{"N", "100", " x "}));
    EXPECT_TRUE(Copy_Row_Is_CheckBox.empty());
}

TEST_F(RowHelpers, PasteChecksInOrder)
{
    struct Case {
        const char* name;
        bool copied;
        QStringList clipboard;
        QStringList target;   // cells 1..3 of row 1 before the paste
        const char* box;      // expected box, "" none
        int answer;
        QStringList after;    // cells 0..3 of row 1
    };
    const QStringList data{"N", "7", "m"};
    const Case cases[] = {
        {"not copied here, clipboard full", false, data, {"Y", "", ""}, "Error!!! Copy a valid row before Paste it", mrOk,
         {"1", "Y", "", ""}},
        {"other width", true, {"Y", "1"}, {"Y", "", ""}, "Error in the Copy values!!! Copy a valid row before Paste it",
         mrOk, {"1", "Y", "", ""}},
        {"only the check box set", true, data, {"Y", "", ""}, "", 0, {"1", "N", "7", "m"}},
        {"blanks only (trimmed)", true, data, {"Y", "  ", " "}, "", 0, {"1", "N", "7", "m"}},
        {"used, Yes", true, data, {"Y", "5", ""}, "Row Already used. Do you want to overwrite the values?", mrYes,
         {"1", "N", "7", "m"}},
        {"used, No", true, data, {"Y", "5", ""}, "Row Already used. Do you want to overwrite the values?", mrNo,
         {"1", "Y", "5", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SL_Copy_Row = c.clipboard;
        Fill(1, c.target);
        ScriptedMessages msgs;
        if (*c.box) msgs.Expect(c.box, c.answer);
        Grid_Paste_Row(grid.get(), 1, c.copied);
        EXPECT_EQ(RowOf(1), c.after);
    }
}

TEST_F(RowHelpers, RowCopiedInOneEditorPastesInAnotherOfTheSameWidth)
{
    auto wide = Make(5, 3);
    Fill(1, {"N", "1", "2"});
    Grid_Copy_Row(grid.get(), 1);
    {
        ScriptedMessages msgs;
        msgs.Expect("Error in the Copy values!!! Copy a valid row before Paste it");
        Grid_Paste_Row(wide.get(), 1, true);
    }
    auto same = Make(4, 3);
    Grid_Paste_Row(same.get(), 2, true);
    EXPECT_EQ(RowOf(2, same.get()), (QStringList{"2", "N", "1", "2"}));
}

TEST_F(RowHelpers, DeleteMovesRowsUpAndEmptiesTheLast)
{
    for (int r = 1; r <= 4; ++r) Fill(r, {"Y", QString::number(r * 10), "m" + QString::number(r)});
    Grid_Delete_Row(2, grid.get());
    EXPECT_EQ(RowOf(1), (QStringList{"1", "Y", "10", "m1"}));
    EXPECT_EQ(RowOf(2), (QStringList{"2", "Y", "30", "m3"}));
    EXPECT_EQ(RowOf(3), (QStringList{"3", "Y", "40", "m4"}));
    EXPECT_EQ(RowOf(4), (QStringList{"4", "", "", ""}));
    Fill(4, {"N", "9", "x"});
    Grid_Delete_Row(4, grid.get());
    EXPECT_EQ(RowOf(4), (QStringList{"4", "", "", ""}));
    EXPECT_EQ(RowOf(3), (QStringList{"3", "Y", "40", "m4"}));
}

TEST_F(RowHelpers, InsertMovesRowsDownAndEnablesTheNewRow)
{
    for (int r = 1; r <= 3; ++r) Fill(r, {"N", QString::number(r * 10), ""});
    Grid_Insert_Row(2, grid.get(), true);
    EXPECT_EQ(RowOf(1), (QStringList{"1", "N", "10", ""}));
    EXPECT_EQ(RowOf(2), (QStringList{"2", "Y", "", ""}));
    EXPECT_EQ(RowOf(3), (QStringList{"3", "N", "20", ""}));
    EXPECT_EQ(RowOf(4), (QStringList{"4", "N", "30", ""}));
}

TEST_F(RowHelpers, InsertOnAFullTableAsksBeforeTheLastRowIsLost)
{
    for (int r = 1; r <= 4; ++r) Fill(r, {"N", QString::number(r), ""});
    const QString question =
        "The last row of the table is in use and its values will be lost. Do you want to insert the row?";
    {
        ScriptedMessages msgs;
        msgs.Expect(question, mrNo);
        Grid_Insert_Row(1, grid.get(), true);
    }
    EXPECT_EQ(RowOf(4), (QStringList{"4", "N", "4", ""}));
    EXPECT_EQ(RowOf(1), (QStringList{"1", "N", "1", ""}));
    {
        ScriptedMessages msgs;
        msgs.Expect(question, mrYes);
        Grid_Insert_Row(1, grid.get(), true);
    }
    EXPECT_EQ(RowOf(1), (QStringList{"1", "Y", "", ""}));
    EXPECT_EQ(RowOf(4), (QStringList{"4", "N", "3", ""}));
    // At the last row itself only that row is emptied, without a question.
    Grid_Insert_Row(4, grid.get(), true);
    EXPECT_EQ(RowOf(4), (QStringList{"4", "Y", "", ""}));
}

TEST_F(RowHelpers, EnterWalksTheCells)
{
    struct Case {
        bool option;
        int key;
        int col, row;
        int toCol, toRow, keyAfter;
    };
    const Case cases[] = {
        {true, 13, 1, 1, 2, 1, 0},  {true, 13, 3, 2, 1, 3, 0}, {true, 13, 3, 4, 1, 1, 0},
        {false, 13, 1, 1, 1, 1, 13}, {true, 'a', 1, 1, 1, 1, 'a'},
    };
    // (The grid never makes a fixed cell current, so the helper's guard for
    // one cannot be reached from here.)
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.col << "," << c.row << " option " << c.option);
        Enable_Jump_Field_Tables = c.option;
        grid->SetCol(c.col);
        grid->SetRow(c.row);
        QChar key(c.key);
        Grid_Enter_Next_Cell(grid.get(), key);
        EXPECT_EQ(grid->Col(), c.toCol);
        EXPECT_EQ(grid->Row(), c.toRow);
        EXPECT_EQ(key.unicode(), c.keyAfter);
    }
}

TEST_F(RowHelpers, DoubleClickOnATitleSizesOnlyThatColumn)
{
    grid->SetCells(2, 0, "A title much wider than the column");
    grid->SetCells(3, 2, "A cell much wider than the column");
    const int w2 = grid->ColWidths(2), w3 = grid->ColWidths(3);
    struct Case {
        bool option;
        int row, col;
        bool sized2, sized3;
    };
    const Case cases[] = {{false, 0, 2, false, false}, {true, 1, 3, false, false}, {true, 0, 2, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << c.option << " row " << c.row);
        Double_Click_Auto_Size = c.option;
        Grid_DblClick_AutoSize(grid.get(), c.row, c.col);
        EXPECT_EQ(grid->ColWidths(2) > w2, c.sized2);
        EXPECT_EQ(grid->ColWidths(3) != w3, c.sized3);
    }
}

} // namespace
