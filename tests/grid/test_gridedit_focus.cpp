// Where the caret stands when an editor takes the focus (a click, a mask),
// the row growing with the text typed, and the editor sitting out a focus
// loss while Alt+Backspace is held.
#include "ShownGrid.h"
#include "grid/ExtGridEditors.h"

#include <QApplication>
#include <QLineEdit>

namespace {

class EditFocus : public ShownGrid {
protected:
    void SetUp() override
    {
        FillCellNames(g, 4, 4);
        g.SetOptions(g.Options().With(goEditing));
        other = new QLineEdit(&host);
        layout->addWidget(other);
        ShowGrid();
    }
    QLineEdit* other = nullptr;
};

} // namespace

TEST_F(EditFocus, ClickThatOpensTheEditorPutsTheCaretUnderTheMouseWithCaretPositioning)
{
    g.MouseActions().SetDirectEdit(true);
    g.SetColWidths(2, 200);
    g.SetCells(2, 2, QStringLiteral("abcdefghijklmnopqrst"));
    const TRect cell = g.CellRect(2, 2);
    const QPoint at(cell.Left + 60, (cell.Top + cell.Bottom) / 2);
    for (const bool caretPositioning : {false, true}) {
        SCOPED_TRACE(caretPositioning);
        g.HideInplaceEdit();
        g.SetCol(1);
        g.SetRow(1);
        g.MouseActions().SetCaretPositioning(caretPositioning);
        QTest::mouseClick(g.Widget()->viewport(), Qt::LeftButton, {}, at);
        ASSERT_TRUE(g.EditorMode());
        QLineEdit* e = g.NormalEdit();
        ASSERT_TRUE(e->hasFocus());
        if (caretPositioning) {
            EXPECT_FALSE(e->hasSelectedText());
            EXPECT_GT(e->cursorPosition(), 0);
            EXPECT_LT(e->cursorPosition(), e->text().size());
            EXPECT_FALSE(g.LButFlg) << "the flag is used once";
        } else {
            EXPECT_EQ(e->selectedText(), e->text()) << "EditSelectAll selects the whole text";
        }
    }
}

TEST_F(EditFocus, ImproveMaskSelSelectsTheFirstPositionOfAMaskedText)
{
    g.SetEditMask(QStringLiteral("00-00;1;_"));
    g.SetCells(1, 1, QStringLiteral("12-34"));
    for (const bool improve : {false, true}) {
        SCOPED_TRACE(improve);
        g.HideInplaceEdit();
        g.Widget()->setFocus();
        g.Navigation().SetImproveMaskSel(improve);
        QTest::keyClick(g.Widget(), Qt::Key_F2);
        ASSERT_TRUE(g.EditorMode());
        QLineEdit* e = g.NormalEdit();
        ASSERT_TRUE(e->hasFocus());
        if (improve) {
            EXPECT_EQ(e->selectionStart(), 0);
            EXPECT_EQ(e->selectedText(), QStringLiteral("1"));
        } else {
            EXPECT_EQ(e->selectedText(), QStringLiteral("12-34"));
        }
    }
}

TEST_F(EditFocus, WordWrappedRowGrowsWithTheTextTypedWhenSizeWhileTypingHeight)
{
    g.SetWordWrap(true);
    g.SetColWidths(1, 50);
    for (const bool sizing : {false, true}) {
        SCOPED_TRACE(sizing);
        g.SetRowHeights(1, g.DefaultRowHeight());
        g.SizeWhileTyping().SetHeight(sizing);
        std::vector<int> ended;
        g.OnEndRowSize = [&](TExtStringGrid*, int r) { ended.push_back(r); };
        g.Widget()->setFocus();
        QTest::keyClick(g.Widget(), Qt::Key_F2);
        ASSERT_TRUE(g.EditorMode());
        QTest::keyClicks(g.NormalEdit(), "aaaa bbbb cccc dddd eeee");
        if (sizing) {
            EXPECT_GT(g.RowHeights(1), g.DefaultRowHeight());
            ASSERT_FALSE(ended.empty());
            EXPECT_EQ(ended.back(), 1);
        } else {
            EXPECT_EQ(g.RowHeights(1), g.DefaultRowHeight());
            EXPECT_TRUE(ended.empty());
        }
        QTest::keyClick(g.NormalEdit(), Qt::Key_Escape);
        g.OnEndRowSize = nullptr;
    }
}

TEST_F(EditFocus, CtrlEnterInAMultiLineCellSizesTheRowToItsLines)
{
    g.SetMultilinecells(true);
    g.SetWordWrap(false); // the key-ups leave the row alone
    g.SizeWhileTyping().SetHeight(true);
    std::vector<int> ended;
    g.OnEndRowSize = [&](TExtStringGrid*, int r) { ended.push_back(r); };
    const int start = g.RowHeights(1);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditorMode());
    QLineEdit* e = g.NormalEdit();
    QTest::keyClick(e, Qt::Key_Return, Qt::ControlModifier);
    const int twoLines = g.RowHeights(1);
    EXPECT_GT(twoLines, start);
    QTest::keyClicks(e, "x");
    QTest::keyClick(e, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_GT(g.RowHeights(1), twoLines) << "a third line needs more room";
    EXPECT_EQ(ended, (std::vector<int>{1, 1}));
    ASSERT_TRUE(g.EditorMode());
    // The line breaks reach the cell.
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("\r\nx\r\n"));
}

// With word wrap the key-ups size the row too: releasing Ctrl after
// Ctrl+Enter keeps the room made for the new line.
TEST_F(EditFocus, CtrlEnterSizingSurvivesTheKeyUpsOfAWordWrappedCell)
{
    g.SetMultilinecells(true);
    g.SetWordWrap(true);
    g.SetColWidths(1, 200);
    g.SizeWhileTyping().SetHeight(true);
    const int start = g.RowHeights(1);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditorMode());
    QLineEdit* e = g.NormalEdit();
    QTest::keyPress(e, Qt::Key_Control);
    QTest::keyPress(e, Qt::Key_Return, Qt::ControlModifier);
    const int twoLines = g.RowHeights(1);
    EXPECT_GT(twoLines, start);
    QTest::keyRelease(e, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyRelease(e, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(g.RowHeights(1), twoLines);
    QTest::keyClicks(e, "x");
    EXPECT_EQ(g.RowHeights(1), twoLines) << "the second line typed into";
    QTest::keyClick(e, Qt::Key_Escape);
}

TEST_F(EditFocus, FocusLossWhileAltBackspaceIsHeldNeitherCommitsNorCloses)
{
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held);
        g.SetCells(1, 1, QStringLiteral("B1"));
        int exits = 0, done = 0;
        g.OnExit = [&](TCustomGrid*) { ++exits; };
        g.OnEditingDone = [&](TExtStringGrid*) { ++done; };
        g.Widget()->setFocus();
        QTest::keyClick(g.Widget(), Qt::Key_F2);
        ASSERT_TRUE(g.EditorMode());
        QLineEdit* e = g.NormalEdit();
        e->selectAll();
        QTest::keyClicks(e, "new");
        if (held) QTest::keyPress(e, Qt::Key_Backspace, Qt::AltModifier);
        other->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(exits, 1);
        if (held) {
            EXPECT_TRUE(g.EditorMode());
            EXPECT_TRUE(e->isVisible());
            EXPECT_EQ(done, 0) << "the edit is not done";
            QTest::keyRelease(e, Qt::Key_Backspace, Qt::AltModifier);
            g.HideInplaceEdit();
        } else {
            EXPECT_FALSE(g.EditorMode());
            EXPECT_EQ(g.Cells(1, 1), QStringLiteral("new"));
            EXPECT_EQ(done, 1);
        }
        g.OnExit = nullptr;
        g.OnEditingDone = nullptr;
    }
}
