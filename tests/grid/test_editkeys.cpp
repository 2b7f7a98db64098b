// The text editor's walking, line-break and automatic-advance keys, and the
// grid's character procedure (typing on a cell that has no editor open),
// driven with keys in an offscreen window.
#include "ShownGrid.h"
#include "grid/ExtCGrid.h"
#include "grid/ExtGridEditors.h"
#include "platform/GridsWidget.h"

#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class EditKeys : public ShownGrid {
protected:
    void SetUp() override
    {
        FillCellNames(g, 4, 4);
        ShowGrid();
    }
    void Open()
    {
        g.SetOptions(g.Options().With(goEditing));
        QTest::keyClick(g.Widget(), Qt::Key_F2);
        ASSERT_TRUE(g.EditorMode());
    }
    QLineEdit* Edit() { return qobject_cast<QLineEdit*>(g.EditCtrl()); }
};

} // namespace

TEST_F(EditKeys, LeftAtTheStartWalksToThePreviousCellAndEditsIt)
{
    g.Navigation().SetCursorWalkEditor(true);
    Open();
    g.SetCol(2);
    QTest::keyClick(g.Widget(), Qt::Key_Escape);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditorMode());
    Edit()->setText(QStringLiteral("new"));
    Edit()->setCursorPosition(0);
    QTest::keyClick(Edit(), Qt::Key_Left);
    EXPECT_EQ(g.Cells(2, 1), QStringLiteral("new"));
    EXPECT_EQ(g.Col(), 1);
    EXPECT_TRUE(g.EditorMode()); // CursorWalkAlwaysEdit is on by default

    // Right at the end walks forward; without CursorWalkAlwaysEdit no editor
    // opens on the new cell.
    g.Navigation().SetCursorWalkAlwaysEdit(false);
    Edit()->setCursorPosition(Edit()->text().size());
    QTest::keyClick(Edit(), Qt::Key_Right);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_FALSE(g.EditorMode());
}

TEST_F(EditKeys, WalkStopsOnARefusedValueAndNeedsTheOption)
{
    Open();
    Edit()->setCursorPosition(0);
    QTest::keyClick(Edit(), Qt::Key_Left);
    EXPECT_EQ(g.Col(), 1); // no CursorWalkEditor: the caret just stays
    EXPECT_TRUE(g.EditorMode());

    g.Navigation().SetCursorWalkEditor(true);
    g.OnCellValidate = [](TExtStringGrid*, int, int, QString&, bool& valid) { valid = false; };
    Edit()->setText(QStringLiteral("bad"));
    Edit()->setCursorPosition(0);
    QTest::keyClick(Edit(), Qt::Key_Left);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_TRUE(g.EditorMode());
}

TEST_F(EditKeys, ShiftLeftAtTheStartCommitsAndExtendsTheSelection)
{
    g.SetOptions(g.Options().With(goRangeSelect));
    g.Navigation().SetCursorWalkEditor(true);
    Open();
    Edit()->setText(QStringLiteral("x"));
    Edit()->setCursorPosition(0);
    QTest::keyClick(Edit(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("x"));
}

TEST_F(EditKeys, CtrlEnterBreaksTheLineOnlyInMultiLineCells)
{
    g.SetWordWrap(false);
    Open();
    Edit()->setText(QStringLiteral("a"));
    Edit()->setCursorPosition(1);
    QTest::keyClick(Edit(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(g.EditorMode()); // neither committed nor moved
    EXPECT_EQ(Edit()->text(), QStringLiteral("a"));

    g.SetMultilinecells(true);
    QTest::keyClick(Edit(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(Edit()->text(), QStringLiteral("a\r\n"));

    g.Navigation().SetAllowCtrlEnter(false);
    QTest::keyClick(Edit(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Edit()->text(), QStringLiteral("a\r\n"));
}

TEST_F(EditKeys, FullCellAdvancesWithAdvanceAuto)
{
    g.Navigation().SetAdvanceAuto(true);
    g.Navigation().SetAdvanceOnEnter(true);
    g.SetMaxEditLength(2);
    Open();
    Edit()->clear();
    QTest::keyClicks(Edit(), "ab");
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("ab"));
    EXPECT_FALSE(g.Col() == 1 && g.Row() == 1);
}

// --- the character procedure ----------------------------------------------------------

TEST_F(EditKeys, TypingOpensTheEditorThroughItsFilter)
{
    g.SetOptions(g.Options().With(goEditing));
    QChar seen;
    g.OnKeyPress = [&](TCustomGrid*, QChar& k) { seen = k; };
    QTest::keyClick(g.Widget(), Qt::Key_Q);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(seen, QChar('q'));
    EXPECT_EQ(Edit()->text(), QStringLiteral("q"));

    // A numeric cell refuses a letter as its first character too.
    QTest::keyClick(g.Widget(), Qt::Key_Escape);
    g.SetDefaultEditor(edNumeric);
    QTest::keyClick(g.Widget(), Qt::Key_Q);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(Edit()->text(), QString());
}

TEST_F(EditKeys, RangeSelectAndEditStartsAnEditByTyping)
{
    g.MouseActions().SetRangeSelectAndEdit(true);
    g.SetOptions(g.Options().Without(goEditing));
    QTest::keyClick(g.Widget(), Qt::Key_Z);
    EXPECT_TRUE(g.HasOption(goEditing));
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(Edit()->text(), QStringLiteral("z"));
}

TEST_F(EditKeys, EditOnDblClickOnlyTypingSwitchesEditingOnForEditableCells)
{
    g.MouseActions().SetEditOnDblClickOnly(true);
    g.SetOptions(g.Options().Without(goEditing));
    g.OnCanEditCell = [](TExtStringGrid*, int, int c, bool& can) { can = c != 2; };
    g.SetCol(2);
    QChar ch('x');
    g.DoCharMessage(ch, TShiftState());
    EXPECT_FALSE(g.HasOption(goEditing));
    g.SetCol(1);
    ch = QChar('x');
    g.DoCharMessage(ch, TShiftState());
    EXPECT_TRUE(g.HasOption(goEditing));
}
