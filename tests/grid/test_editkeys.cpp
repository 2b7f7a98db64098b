// The text editor's walking, line-break and automatic-advance keys, and the
// grid's character procedure (typing on a cell that has no editor open),
// driven with keys in an offscreen window.
#include "grid/ExtCGrid.h"
#include "grid/ExtGridEditors.h"
#include "platform/GridsWidget.h"

#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class EditKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        g.SetColCount(4);
        g.SetRowCount(4);
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r) g.SetCells(c, r, QStringLiteral("%1%2").arg(QChar('A' + c)).arg(r));
        auto* lay = new QVBoxLayout(&host);
        lay->addWidget(g.CreateWnd(&host));
        host.resize(420, 200);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        g.Widget()->setFocus();
        g.SetCol(1);
        g.SetRow(1);
    }
    void Open()
    {
        g.SetOptions(g.Options().With(goEditing));
        QTest::keyClick(g.Widget(), Qt::Key_F2);
        ASSERT_TRUE(g.EditorMode());
    }
    QLineEdit* Edit() { return qobject_cast<QLineEdit*>(g.EditCtrl()); }
    QWidget host;
    TExtStringGrid g;
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
