// In-place editing of the string grid: the decisions (editability, targets
// of Enter and Tab, filters, completion, the combo's opening index) as
// tables, validation through the grid's calls, and the editors driven with
// keys in an offscreen window.
#include "ShownGrid.h"
#include "ModifyQueryGrid.h"
#include "grid/ExtCGrid.h"
#include "grid/ExtGridEditors.h"
#include "platform/GridsWidget.h"
#include "platform/SysUtils.h"

#include <QApplication>
#include <QDialog>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A grid with 1 fixed row and column and 3 x 3 data cells, text in every cell.
void Fill(TExtStringGrid& g, int cols = 4, int rows = 4)
{
    FillCellNames(g, cols, rows);
    g.SetOptions(g.Options().With(goEditing));
}

// The grid in a shown, active window.
class EditWindow : public ShownGrid {
protected:
    void SetUp() override
    {
        Fill(g);
        ShowGrid();
    }
    QWidget* Editor() { return g.EditCtrl(); }
    void Key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(w, k, m); }
};

} // namespace

// --- decisions -------------------------------------------------------------------

TEST(GridEditDecisions, EditabilityOfCells)
{
    TExtStringGrid g;
    Fill(g);
    EXPECT_TRUE(g.IsEditable(1, 1));
    EXPECT_FALSE(g.IsEditable(0, 1)) << "fixed column";
    EXPECT_FALSE(g.IsEditable(1, 0)) << "fixed row";
    g.SetReadOnly(2, 2, true);
    EXPECT_FALSE(g.IsEditable(2, 2));
    bool asked = false;
    g.OnCanEditCell = [&](TExtStringGrid*, int r, int c, bool& can) {
        if (c == 2 && r == 2) {
            asked = true;
            EXPECT_FALSE(can) << "the handler sees the answer so far";
            can = true;
        }
    };
    EXPECT_TRUE(g.IsEditable(2, 2)) << "the handler has the last word";
    EXPECT_TRUE(asked);
    g.SetOptions(g.Options().Without(goEditing));
    EXPECT_FALSE(g.IsEditable(1, 1)) << "no goEditing: nothing is editable";

    struct Case {
        TEditorType kind;
        bool text;
    } kinds[] = {{edNormal, true},     {edNumeric, true},  {edValidChars, true}, {edPositiveFloat, true},
                 {edPassword, true},   {edComboList, false}, {edComboEdit, false}, {edCheckBox, false},
                 {edSpinEdit, false},  {edCustom, false},  {edNone, false}};
    for (const Case& c : kinds) EXPECT_EQ(TExtStringGrid::IsTextEditorKind(c.kind), c.text) << int(c.kind);
}

TEST(GridEditDecisions, NoEditorForEdNoneReadOnlyOrCheckBoxCells)
{
    TExtColumnGrid g;
    g.SetColCount(4);
    g.SetRowCount(3);
    g.SetOptions(g.Options().With(goEditing));
    g.Columns().Items(2).SetEditor(edDataCheckBox);
    g.Columns().Items(3).SetReadOnly(true);
    g.OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& e) {
        if (c == 1) e = edNone;
    };
    for (int c : {1, 2, 3}) {
        g.SetCol(c);
        g.SetRow(1);
        g.ShowInplaceEdit();
        EXPECT_FALSE(g.EditMode()) << "column " << c;
    }
}

TEST(GridEditDecisions, AdvanceTargets)
{
    TExtStringGrid g;
    Fill(g, 4, 4); // data cells: columns 1..3, rows 1..3
    bool add = false;
    struct Case {
        TAdvanceDirection dir;
        bool forward;
        int c, r;
        int tc, tr;
    } cases[] = {
        {adLeftRight, true, 1, 1, 2, 1},      {adLeftRight, true, 3, 1, 1, 2},
        {adLeftRight, true, 3, 3, 1, 1},      {adLeftRight, false, 1, 2, 3, 1},
        {adLeftRight, false, 1, 1, 3, 3},     {adTopBottom, true, 2, 3, 3, 1},
        {adTopBottom, true, 3, 3, 1, 1},      {adTopBottomInCol, true, 2, 3, 2, 1},
        {adLeftRightInRow, true, 3, 2, 1, 2}, {adTopBottom, false, 2, 1, 1, 3},
    };
    for (const Case& c : cases) {
        g.Navigation().SetAdvanceDirection(c.dir);
        const TGridCoord t = g.AdvanceTarget(c.c, c.r, c.forward, add);
        EXPECT_EQ(t, (TGridCoord{c.tc, c.tr})) << int(c.dir) << " from " << c.c << "," << c.r;
        EXPECT_FALSE(add);
    }
    g.Navigation().SetAdvanceDirection(adLeftRight);
    // Read-only cells are skipped, or taken without AdvanceSkipReadOnlyCells.
    g.SetReadOnly(2, 1, true);
    EXPECT_EQ(g.AdvanceTarget(1, 1, true, add), (TGridCoord{3, 1}));
    g.Navigation().SetAdvanceSkipReadOnlyCells(false);
    EXPECT_EQ(g.AdvanceTarget(1, 1, true, add), (TGridCoord{2, 1}));
    g.Navigation().SetAdvanceSkipReadOnlyCells(true);
    // No loop at the end: it stays.
    g.Navigation().SetAdvanceOnEnterLoop(false);
    EXPECT_EQ(g.AdvanceTarget(3, 3, true, add), (TGridCoord{3, 3}));
    g.Navigation().SetAdvanceOnEnterLoop(true);
    // Footer rows and fixed right columns are never reached.
    g.SetFixedFooters(1);
    g.SetFixedRightCols(1);
    EXPECT_EQ(g.AdvanceTarget(2, 2, true, add), (TGridCoord{1, 1}));
    g.SetFixedFooters(0);
    g.SetFixedRightCols(0);
    // Every cell read-only: the advance ends where it started.
    for (int c = 1; c < 4; ++c)
        for (int r = 1; r < 4; ++r) g.SetReadOnly(c, r, true);
    EXPECT_EQ(g.AdvanceTarget(1, 1, true, add), (TGridCoord{1, 1}));
    TGridCoord t;
    g.SetCol(1);
    g.SetRow(1);
    EXPECT_FALSE(g.TabTarget(false, t));
    g.Navigation().SetAdvanceOnEnter(true);
    g.AdvanceEdit(1, 1, false, false, true, false, false);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_TRUE(g.TabToNextCell(false)) << "Tab over a read-only grid ends";
    EXPECT_EQ(g.Col(), 1);
}

TEST(GridEditDecisions, AdvanceInsertAddsARowAtTheEnd)
{
    TExtStringGrid g;
    Fill(g, 3, 3);
    g.Navigation().SetAdvanceOnEnter(true);
    g.Navigation().SetAdvanceInsert(true);
    int added = -1;
    g.OnAutoAddRow = [&](TExtStringGrid*, int r) { added = r; };
    g.SetCol(2);
    g.SetRow(2);
    g.AdvanceEdit(2, 2, false, false, true, false, false);
    EXPECT_EQ(g.RowCount(), 4);
    EXPECT_EQ(added, 3);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(g.Col(), 1);
}

TEST(GridEditDecisions, TabTargets)
{
    TExtStringGrid g;
    Fill(g, 4, 3);
    TGridCoord t;
    struct Case {
        int c, r;
        bool back;
        int tc, tr;
    } cases[] = {{1, 1, false, 2, 1}, {3, 1, false, 1, 2}, {3, 2, false, 1, 1},
                 {2, 2, true, 1, 2},  {1, 2, true, 3, 1},  {1, 1, true, 3, 2}};
    for (const Case& c : cases) {
        g.SetCol(c.c);
        g.SetRow(c.r);
        ASSERT_TRUE(g.TabTarget(c.back, t));
        EXPECT_EQ(t, (TGridCoord{c.tc, c.tr})) << c.c << "," << c.r << (c.back ? " back" : "");
    }
    // A merged cell is left whole.
    g.MergeCells(1, 1, 2, 1);
    g.SetCol(1);
    g.SetRow(1);
    ASSERT_TRUE(g.TabTarget(false, t));
    EXPECT_EQ(t, (TGridCoord{3, 1}));
    // At the end with TabToNextAtEnd the grid gives the Tab away.
    g.Navigation().SetTabToNextAtEnd(true);
    g.SetCol(3);
    g.SetRow(2);
    EXPECT_FALSE(g.TabTarget(false, t));
    EXPECT_FALSE(g.TabToNextCell(false));
}

TEST(GridEditDecisions, CharacterFilter)
{
    FormatSettings fs;
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = '.';
    struct Case {
        TEditorType kind;
        const char* text;
        int selStart, selLen;
        char16_t ch;
        bool accept, beep;
        char16_t out;
    } cases[] = {
        {edNumeric, "12", 2, 0, '-', false, true, '-'},       // a minus after a digit beeps
        {edNumeric, "12", 0, 0, '-', true, false, '-'},       // at the start it is taken
        {edNumeric, "-12", 0, 0, '-', false, true, '-'},      // a second one beeps
        {edNumeric, "1", 1, 0, 'a', false, true, 'a'},
        {edPositiveNumeric, "", 0, 0, '-', false, true, '-'},
        {edPositiveFloat, "1", 1, 0, '-', false, false, '-'}, // ignored silently
        {edFloat, "1,5", 3, 0, ',', false, false, ','},       // second decimal separator
        {edFloat, "1,5", 1, 1, ',', true, false, ','},        // unless the first is selected
        {edFloat, "1", 1, 0, '.', false, false, '.'},         // the thousand separator never
        {edFloat, "1", 1, 0, 'x', false, false, 'x'},
        {edCapital, "", 0, 0, 'q', true, false, 'Q'},
        {edLowerCase, "", 0, 0, 'Q', true, false, 'q'},
        {edValidChars, "", 0, 0, 'b', true, false, 'b'},
        {edValidChars, "", 0, 0, 'z', false, true, 'z'},
        {edNormal, "", 0, 0, '%', true, false, '%'},
    };
    for (const Case& c : cases) {
        const TCharVerdict v =
            FilterEditChar(c.kind, QChar(c.ch), QString::fromUtf8(c.text), c.selStart, c.selLen, false, "abc", fs);
        EXPECT_EQ(v.Accept, c.accept) << int(c.kind) << " '" << c.text << "' + " << char(c.ch);
        EXPECT_EQ(v.Beep, c.beep) << int(c.kind) << " '" << c.text << "' + " << char(c.ch);
        if (v.Accept) {
            EXPECT_EQ(v.Char, QChar(c.out));
        }
    }
    // Any character passes in a float editor while Ctrl is held.
    EXPECT_TRUE(FilterEditChar(edFloat, 'x', "1", 1, 0, true, "", fs).Accept);
}

TEST(GridEditDecisions, PasteFilter)
{
    struct Case {
        TEditorType kind;
        const char* text;
        bool taken;
        const char* result;
    } cases[] = {
        {edNumeric, "-42", true, "-42"},      {edNumeric, "4.5", false, ""},
        {edPositiveNumeric, "-4", false, ""}, {edFloat, "-4.5", true, "-4.5"},
        {edUpperCase, "abC", true, "ABC"},    {edMixedCase, "hello wORLD", true, "Hello World"},
        {edValidChars, "abba", true, "abba"}, {edValidChars, "abx", false, ""},
        {edCapital, "abC", true, "abC"},
    };
    for (const Case& c : cases) {
        QString out;
        EXPECT_EQ(FilterPasteText(c.kind, QString::fromUtf8(c.text), "ab", out), c.taken) << c.text;
        if (c.taken) {
            EXPECT_EQ(out, QString::fromUtf8(c.result)) << c.text;
        }
    }
}

TEST(GridEditDecisions, LookupCompletion)
{
    const QStringList items{"Abc", "abd", "xyz"};
    int k = -1;
    EXPECT_EQ(TExtStringGrid::LookupCompletion("ab", items, false, &k), "abc");
    EXPECT_EQ(k, 0);
    EXPECT_EQ(TExtStringGrid::LookupCompletion("ab", items, true, &k), "abd");
    EXPECT_EQ(k, 1);
    EXPECT_EQ(TExtStringGrid::LookupCompletion("", items, false), "");
    EXPECT_EQ(TExtStringGrid::LookupCompletion("q", items, false), "");
    // No cap on the completed length.
    const QString longItem = "p" + QString(400, 'x');
    EXPECT_EQ(TExtStringGrid::LookupCompletion("p", {longItem}, false), longItem);
}

TEST(GridEditDecisions, ComboOpeningIndex)
{
    TExtStringGrid g;
    g.ClearComboString();
    for (const char* s : {"one", "two", "three"}) g.AddComboString(s);
    bool defaulted = false;
    EXPECT_EQ(g.ComboOpenIndex("two", "two", -1, defaulted), 1);
    EXPECT_FALSE(defaulted);
    EXPECT_EQ(g.ComboOpenIndex("<b>two</b>", "two", -1, defaulted), 1) << "the text without tags";
    EXPECT_EQ(g.ComboOpenIndex("zz", "zz", -1, defaulted), 0);
    EXPECT_TRUE(defaulted) << "not in the list: the first item";
    EXPECT_EQ(g.ComboOpenIndex("zz", "zz", 2, defaulted), 2);
    EXPECT_FALSE(defaulted) << "the preselected item";
    // The preselection serves one edit only.
    EXPECT_TRUE(g.SetComboSelectionString("three"));
    EXPECT_FALSE(g.SetComboSelectionString("four"));
    EXPECT_EQ(g.TakeComboSelection(), 2);
    EXPECT_EQ(g.TakeComboSelection(), -1);
    EXPECT_TRUE(g.RemoveComboString("two"));
    EXPECT_FALSE(g.RemoveComboString("two"));
    EXPECT_EQ(g.GetComboCount(), 2);
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetComboIndex(1, 1, 1);
    EXPECT_EQ(g.Cells(1, 1), "three");
    EXPECT_EQ(g.GetComboIndex(1, 1), 1);
    EXPECT_THROW(g.SetComboIndex(1, 1, 5), EExtGridError);
    EXPECT_EQ(g.Cells(1, 1), "three");
}

TEST(GridEditDecisions, ComboDropWidthFitsTheWidestItem)
{
    TGridCombo c;
    c.resize(60, 22);
    c.SetItems({"a", "a rather long item text"});
    c.SizeDropDownWidth();
    const int w = QFontMetrics(c.font()).horizontalAdvance("a rather long item text");
    EXPECT_EQ(c.DropWidth(), w + 8);
    QStringList many;
    for (int i = 0; i < 12; ++i) many << "a rather long item text";
    c.SetItems(many);
    c.SizeDropDownWidth();
    EXPECT_EQ(c.DropWidth(), w + 25) << "a list that scrolls leaves room for its scroll bar";
}

// --- validation -----------------------------------------------------------------

TEST(GridEditValidation, UnchangedTextIsNotValidatedUnlessAlways)
{
    TExtStringGrid g;
    Fill(g);
    int calls = 0;
    g.OnCellValidate = [&](TExtStringGrid*, int, int, QString&, bool&) { ++calls; };
    g.SetCol(1);
    g.SetRow(1);
    g.ShowInplaceEdit();
    ASSERT_TRUE(g.EditMode());
    EXPECT_TRUE(g.ValidateCell("B1"));
    EXPECT_EQ(calls, 0);
    g.HideInplaceEdit();
    g.SetAlwaysValidate(true);
    g.ShowInplaceEdit();
    EXPECT_TRUE(g.ValidateCell("B1"));
    EXPECT_EQ(calls, 1);
}

TEST(GridEditValidation, RefusedChangedValueReopensTheEditorWithIt)
{
    QWidget host;
    TExtStringGrid g;
    Fill(g);
    g.CreateWnd(&host);
    host.show();
    g.SetInvalidEntryText("Too big");
    g.OnCellValidate = [](TExtStringGrid*, int, int, QString& v, bool& valid) {
        if (v.toInt() > 10) {
            valid = false;
            v = "10";
        }
    };
    g.SetCol(1);
    g.SetRow(1);
    g.ShowInplaceEdit();
    g.SetEditorText("99");
    EXPECT_FALSE(g.ValidateCell("99"));
    EXPECT_TRUE(g.EditMode()) << "the editor stays open";
    EXPECT_EQ(g.EditorText(), "10") << "with the handler's value";
    EXPECT_EQ(g.Cells(1, 1), "B1") << "a refused value is never written";
    EXPECT_FALSE(g.LastValidation());
    EXPECT_EQ(g.InvalidEntryBalloon(), "Too big");
    // Moving away asks again and is refused while the value is.
    g.SetEditorText("50");
    g.SetRow(2);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Cells(1, 1), "B1");
    g.SetEditorText("7");
    g.SetRow(2);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.Cells(1, 1), "7");
}

TEST(GridEditValidation, UndoItemHoldsTheOldTextFirstAndCheckerRuns)
{
    TExtStringGrid g;
    Fill(g);
    TExtGridUndoRedo undo;
    g.SetUndoRedo(&undo);
    TExtStringGridCheck check;
    check.SetAutoCorrect(true);
    g.CellChecker = &check;
    g.SetCol(2);
    g.SetRow(2);
    g.ShowInplaceEdit();
    EXPECT_TRUE(g.ValidateCell("new"));
    ASSERT_EQ(undo.Count(), 1);
    EXPECT_EQ(undo.Items(0).OrigValue, "C2");
    EXPECT_EQ(undo.Items(0).Value, "new");
    EXPECT_TRUE(g.GridModified());
    g.SetUndoRedo(nullptr);
}

// --- the editors in a window ------------------------------------------------------

TEST_F(EditWindow, TypingOpensTheTextEditorAndEnterCommitsAndMoves)
{
    g.Navigation().SetAdvanceOnEnter(true);
    std::vector<QString> changes;
    g.OnEditChange = [&](TExtStringGrid*, int, int, const QString& v) { changes.push_back(v); };
    int done = 0;
    g.OnEditingDone = [&](TExtStringGrid*) { ++done; };
    std::vector<std::pair<int, int>> cellDone;
    g.OnEditCellDone = [&](TExtStringGrid*, int c, int r) { cellDone.push_back({c, r}); };
    QTest::keyClicks(g.Widget(), "hi");
    ASSERT_TRUE(g.EditMode());
    ASSERT_EQ(Editor(), g.NormalEdit());
    EXPECT_EQ(g.NormalEdit()->text(), "hi");
    EXPECT_EQ(changes.back(), "hi");
    Key(Editor(), Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "hi");
    EXPECT_EQ(g.Col(), 2) << "Enter moved on";
    EXPECT_EQ(g.Row(), 1);
    EXPECT_TRUE(g.EditMode()) << "and opened the next cell";
    EXPECT_EQ(done, 1);
    EXPECT_TRUE(cellDone.empty()) << "OnEditCellDone waits for the event loop";
    QCoreApplication::processEvents();
    ASSERT_EQ(cellDone.size(), 1u);
    EXPECT_EQ(cellDone[0], std::make_pair(1, 1));
}

TEST_F(EditWindow, EscRestoresTheCell)
{
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    QTest::keyClicks(Editor(), "zzz");
    QChar seen;
    g.OnKeyPress = [&](TCustomGrid*, QChar& k) { seen = k; };
    Key(Editor(), Qt::Key_Escape);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "B1");
    EXPECT_EQ(seen, QChar(VK_ESCAPE)) << "OnKeyPress sees Esc";
    // Esc in the host would have closed nothing: the editor took it.
}

// The cell follows the text editor while it is typed; a value the
// validation refuses on Enter leaves the cell with its old text (and the
// editor open with the refused one), and Esc puts the old text back.
TEST_F(EditWindow, CellFollowsTheEditorUntilAValueIsRefusedOrCancelled)
{
    int asked = 0;
    g.OnCellValidate = [&](TExtStringGrid*, int, int, QString& v, bool& valid) {
        ++asked;
        valid = v != "bad";
    };
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    EXPECT_TRUE(g.ShowEditProcess());
    EXPECT_EQ(g.Cells(1, 1), "B1") << "opening the editor changes nothing";
    g.NormalEdit()->selectAll();
    QTest::keyClicks(Editor(), "ba");
    EXPECT_EQ(g.Cells(1, 1), "ba") << "the cell shows the edit as it is typed";
    QTest::keyClicks(Editor(), "d");
    EXPECT_EQ(g.Cells(1, 1), "bad");
    Key(Editor(), Qt::Key_Return);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(g.EditMode()) << "a refused value keeps the editor";
    EXPECT_EQ(g.EditorText(), "bad");
    EXPECT_EQ(g.Cells(1, 1), "B1") << "and the cell its old text";
    // A second Enter on the same refused text is asked again and refused.
    Key(Editor(), Qt::Key_Return);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "B1");
    g.NormalEdit()->selectAll();
    QTest::keyClicks(Editor(), "good");
    Key(Editor(), Qt::Key_Return);
    EXPECT_EQ(asked, 3);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "good");

    // Esc after typing: the cell is as it was.
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    QTest::keyClicks(Editor(), "zz");
    EXPECT_EQ(g.Cells(1, 1), g.EditorText());
    Key(Editor(), Qt::Key_Escape);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "good");
    // Leaving the grid with a refused value does not leave it in the cell.
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    g.NormalEdit()->selectAll();
    QTest::keyClicks(Editor(), "bad");
    EXPECT_EQ(g.Cells(1, 1), "bad");
    g.HideInplaceEdit();
    EXPECT_EQ(g.Cells(1, 1), "good");
}

// A password cell's editor shows the grid's password character.
TEST_F(EditWindow, PasswordEditorShowsThePasswordCharacter)
{
    g.OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& e) {
        if (c == 1) e = edPassword;
    };
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    auto* e = g.NormalEdit();
    e->selectAll();
    QTest::keyClicks(e, "abc");
    EXPECT_EQ(e->displayText(), "***");
    EXPECT_EQ(e->text(), "abc");
    Key(e, Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "abc");
    g.SetPasswordChar("#");
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    EXPECT_EQ(g.NormalEdit()->displayText(), "###");
    Key(g.NormalEdit(), Qt::Key_Escape);
    // Any other kind shows its text.
    g.SetCol(2);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    EXPECT_EQ(g.NormalEdit()->displayText(), "C1");
}

TEST_F(EditWindow, EnterWithoutAdvanceStaysAndTextKindsFilter)
{
    g.OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& e) {
        if (c == 1) e = edNumeric;
    };
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    auto* e = g.NormalEdit();
    e->selectAll();
    QTest::keyClicks(e, "1a-2");
    EXPECT_EQ(e->text(), "12");
    Key(e, Qt::Key_Return);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "12");
    EXPECT_EQ(g.Col(), 1) << "AdvanceOnEnter off: Enter does not move";
}

TEST_F(EditWindow, MaskedEditKeepsOrDropsTheLiterals)
{
    struct Case {
        const char* mask;
        const char* typed;
        const char* stored;
    } cases[] = {
        {"(999) 000;1;_", "12345", "(123) 45 "},
        {"(999) 000;0;_", "123456", "123456"},
        {"00-99;0;_", "123", "123 "},
    };
    for (const Case& c : cases) {
        g.SetEditMask(c.mask);
        g.SetCol(2);
        g.SetRow(2);
        QTest::keyClick(g.Widget(), Qt::Key_F2);
        ASSERT_TRUE(g.EditMode());
        auto* e = g.NormalEdit();
        e->setCursorPosition(0);
        e->selectAll();
        e->del();
        e->setCursorPosition(0);
        QTest::keyClicks(e, c.typed);
        Key(e, Qt::Key_Return);
        EXPECT_EQ(g.Cells(2, 2), QString::fromUtf8(c.stored)) << c.mask;
    }
}

TEST_F(EditWindow, PickListTakesOnlyItsItems)
{
    for (const char* s : {"red", "green", "blue"}) g.AddComboString(s);
    g.OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& e) {
        if (c == 2) e = edComboList;
    };
    std::vector<std::pair<int, QString>> combo;
    g.OnComboChange = [&](TExtStringGrid*, int, int, int i, const QString& s) { combo.push_back({i, s}); };
    g.SetCol(2);
    g.SetCells(2, 1, "green");
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    TGridCombo* c = g.EditCombo();
    ASSERT_EQ(Editor(), c);
    EXPECT_FALSE(c->isEditable());
    EXPECT_EQ(c->Text(), "green");
    EXPECT_TRUE(combo.empty()) << "a text in the list opens quietly";
    Key(c, Qt::Key_Down);
    EXPECT_EQ(c->Text(), "blue");
    ASSERT_EQ(combo.size(), 1u);
    EXPECT_EQ(combo[0], std::make_pair(2, QString("blue")));
    QTest::keyClicks(c, "x"); // no item: nothing changes
    EXPECT_EQ(c->Text(), "blue");
    Key(c, Qt::Key_Return);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(2, 1), "blue");

    // A text outside the list: the first item is shown and reported, but
    // the cell keeps its text unless the user picks or confirms.
    g.SetRow(2);
    g.SetCells(2, 2, "purple");
    combo.clear();
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    EXPECT_EQ(c->Text(), "red");
    ASSERT_EQ(combo.size(), 1u);
    EXPECT_EQ(combo[0], std::make_pair(0, QString("red")));
    Key(c, Qt::Key_Escape);
    EXPECT_EQ(g.Cells(2, 2), "purple") << "Esc leaves the cell as it was";
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    g.Widget()->setFocus(); // the focus moves inside the grid: nothing was picked
    g.SetCol(1);
    EXPECT_EQ(g.Cells(2, 2), "purple");
    g.SetCol(2);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    Key(c, Qt::Key_Return);
    EXPECT_EQ(g.Cells(2, 2), "red") << "confirmed: the shown item is taken";
}

// Choosing an item reports its object; items without one report none, and
// the objects keep to their items when an item is removed.
TEST_F(EditWindow, ComboObjectChangeHandsOutTheItemsObject)
{
    g.AddComboString("none");
    g.AddComboStringObject("one", 1);
    g.AddComboStringObject("two", 2);
    g.AddComboStringObject("three", 3);
    EXPECT_TRUE(g.RemoveComboString("two"));
    g.OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& e) {
        if (c == 2) e = edComboList;
    };
    std::vector<std::tuple<int, int, int, QString, int>> seen;
    g.OnComboObjectChange = [&](TExtStringGrid*, int c, int r, int i, const QString& s, const TUserValue& o) {
        seen.emplace_back(c, r, i, s, o.has_value() ? std::any_cast<int>(o) : -1);
    };
    g.SetCol(2);
    g.SetCells(2, 1, "none");
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    TGridCombo* c = g.EditCombo();
    Key(c, Qt::Key_Down);
    Key(c, Qt::Key_Down);
    Key(c, Qt::Key_Up);
    Key(c, Qt::Key_Up);
    using T = std::tuple<int, int, int, QString, int>;
    EXPECT_EQ(seen, (std::vector<T>{T{2, 1, 1, "one", 1}, T{2, 1, 2, "three", 3}, T{2, 1, 1, "one", 1},
                                    T{2, 1, 0, "none", -1}}));
    Key(c, Qt::Key_Escape);
    // A cell text outside the pick list reports the first item it shows.
    seen.clear();
    g.SetCells(2, 1, "other");
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    EXPECT_EQ(seen, (std::vector<T>{T{2, 1, 0, "none", -1}}));
    Key(c, Qt::Key_Escape);
    g.ClearComboString();
    EXPECT_FALSE(g.ComboObject(0).has_value());
}

TEST_F(EditWindow, EditableComboKeepsFreeTextAndCompletes)
{
    g.OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& e) {
        if (c == 1) e = edComboEdit;
    };
    g.ClearComboString();
    g.AddComboString("Abc");
    g.AddComboString("abd");
    g.SetLookup(true);
    g.SetCells(1, 1, "");
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    TGridCombo* c = g.EditCombo();
    ASSERT_EQ(Editor(), c);
    ASSERT_TRUE(c->isEditable());
    QTest::keyClicks(c, "ab");
    EXPECT_EQ(c->lineEdit()->text(), "abc");
    EXPECT_EQ(c->lineEdit()->selectedText(), "c");
    EXPECT_EQ(c->currentIndex(), 0);
    QTest::keyClick(c, Qt::Key_Backspace); // removes the completed part
    QTest::keyClicks(c, "Q");
    Key(c, Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "abQ");
}

TEST_F(EditWindow, SpaceTogglesTheCheckBoxEditorWhichWritesNothing)
{
    g.OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& e) {
        if (c == 3) e = edCheckBox;
    };
    g.SetCol(3);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    TGridCheckBox* cb = g.EditCheck();
    ASSERT_EQ(Editor(), cb);
    EXPECT_EQ(cb->text(), "D1");
    EXPECT_FALSE(cb->isChecked());
    Key(cb, Qt::Key_Space);
    EXPECT_TRUE(cb->isChecked());
    Key(cb, Qt::Key_Space);
    EXPECT_FALSE(cb->isChecked());
    Key(cb, Qt::Key_Right);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(3, 1), "D1");
}

TEST_F(EditWindow, SpinEditorStepsAndJumpsToItsLimits)
{
    g.OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& e) {
        if (c == 2) e = edSpinEdit;
    };
    std::vector<std::pair<int, bool>> clicks;
    g.OnSpinClick = [&](TExtStringGrid*, int, int, int v, bool up) { clicks.push_back({v, up}); };
    // The spin's limits are set as it opens.
    g.OnGetEditorProp = [&](TExtStringGrid*, int, int, TEditLink*) {
        if (TGridSpin* s = g.SpinEdit()) s->SetMaxValue(100);
    };
    g.SetCol(2);
    g.SetCells(2, 1, "41");
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    TGridSpin* s = g.SpinEdit();
    ASSERT_EQ(Editor(), s);
    Key(s, Qt::Key_Up);
    EXPECT_EQ(s->Value(), 42);
    EXPECT_EQ(g.Row(), 1) << "Up stays in the spin editor";
    Key(s, Qt::Key_Home);
    EXPECT_EQ(s->Value(), 100);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(100, true));
    Key(s, Qt::Key_Return);
    EXPECT_EQ(g.Cells(2, 1), "100");
    // Esc after typing restores the cell's text.
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    s->selectAll();
    QTest::keyClicks(s, "7");
    Key(s, Qt::Key_Escape);
    EXPECT_EQ(g.Cells(2, 1), "100");
}

TEST(GridEditSpin, ColumnLimitsFloatKindAndSpinButtons)
{
    QWidget host;
    auto* lay = new QVBoxLayout(&host);
    TExtColumnGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetOptions(g.Options().With(goEditing));
    g.Columns().Items(1).SetEditor(edSpinEdit);
    g.Columns().Items(1).SetSpinMin(-5);
    g.Columns().Items(1).SetSpinMax(20);
    g.Columns().Items(1).SetSpinStep(5);
    g.Columns().Items(2).SetEditor(edFloatSpinEdit);
    lay->addWidget(g.CreateWnd(&host));
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    std::vector<std::pair<int, bool>> clicks;
    g.OnSpinClick = [&](TExtStringGrid*, int, int, int v, bool up) { clicks.push_back({v, up}); };
    std::vector<std::pair<double, bool>> floatClicks;
    g.OnFloatSpinClick = [&](TExtStringGrid*, int, int, double v, bool up) { floatClicks.push_back({v, up}); };
    g.Widget()->setFocus();
    g.SetCol(1);
    g.SetRow(1);
    g.SetCells(1, 1, "3");
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    TGridSpin* s = g.SpinEdit();
    ASSERT_EQ(g.EditCtrl(), s);
    EXPECT_EQ(s->SpinType(), TEsgSpinType::sptNormal);
    QTest::keyClick(s, Qt::Key_Up);
    EXPECT_EQ(s->Value(), 8) << "the column's step";
    EXPECT_TRUE(clicks.empty()) << "keys step without spin-click events";
    QTest::keyClick(s, Qt::Key_End);
    EXPECT_EQ(s->Value(), -5);
    s->UpClick(nullptr);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], std::make_pair(-5, false)) << "End reports a downward step";
    EXPECT_EQ(clicks[1], std::make_pair(0, true)) << "the up button steps and reports";
    QTest::keyClick(s, Qt::Key_Home);
    EXPECT_EQ(s->Value(), 20);
    QTest::keyClick(s, Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "20");
    // The float kind: the same shared editor with the float spin type.
    g.SetCol(2);
    g.SetCells(2, 1, "1.5");
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_EQ(g.EditCtrl(), s);
    EXPECT_EQ(s->SpinType(), TEsgSpinType::sptFloat);
    EXPECT_DOUBLE_EQ(s->FloatValue(), 1.5);
    s->DownClick(nullptr);
    ASSERT_EQ(floatClicks.size(), 1u);
    EXPECT_FALSE(floatClicks[0].second);
    EXPECT_DOUBLE_EQ(floatClicks[0].first, s->FloatValue());
    EXPECT_LT(s->FloatValue(), 1.5);
    QTest::keyClick(s, Qt::Key_Escape);
    EXPECT_EQ(g.Cells(2, 1), "1.5") << "Esc keeps the cell";
}

TEST_F(EditWindow, ExitEventSeesTheCommittedText)
{
    auto* other = new QLineEdit(&host);
    host.layout()->addWidget(other);
    QString seen;
    g.OnExit = [&](TCustomGrid*) { seen = g.Cells(1, 1); };
    QTest::keyClicks(g.Widget(), "typed");
    ASSERT_TRUE(g.EditMode());
    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(seen, "typed");
}

TEST_F(EditWindow, ExitWithARefusedValueKeepsTheOldText)
{
    auto* other = new QLineEdit(&host);
    host.layout()->addWidget(other);
    g.OnCellValidate = [](TExtStringGrid*, int, int, QString& v, bool& valid) { valid = v != "bad"; };
    QTest::keyClicks(g.Widget(), "bad");
    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "B1");
}

TEST_F(EditWindow, TabMovesBetweenCellsWithGoTabs)
{
    g.SetOptions(g.Options().With(goTabs));
    std::vector<std::pair<int, int>> downs;
    g.OnKeyDown = [&](TCustomGrid*, int& k, TShiftState) { downs.push_back({k, g.Col()}); };
    QTest::keyClicks(g.Widget(), "x");
    downs.clear();
    Key(Editor(), Qt::Key_Tab);
    EXPECT_EQ(g.Cells(1, 1), "x");
    EXPECT_EQ(g.Col(), 2);
    EXPECT_TRUE(g.Widget()->hasFocus() || g.Widget()->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(downs, (std::vector<std::pair<int, int>>{{VK_TAB, 1}})) << "OnKeyDown sees the Tab once";
    // Without an editor as well.
    if (g.EditMode()) g.HideInplaceEdit();
    g.Widget()->setFocus();
    downs.clear();
    Key(g.Widget(), Qt::Key_Tab);
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(downs, (std::vector<std::pair<int, int>>{{VK_TAB, 2}}));
}

namespace {

// A custom editor: a line edit created by the link.
class StubLink : public TEditLink {
public:
    QWidget* GetEditControl() override { return edit; }
    void CreateEditor(QWidget* parent) override { edit = new QLineEdit(parent); }
    void SetEditorValue(const QString& s) override
    {
        ++loads;
        edit->setText(s);
    }
    QString GetEditorValue() override { return edit->text(); }
    QPointer<QLineEdit> edit;
    int loads = 0;
};

} // namespace

TEST_F(EditWindow, EditLinkEditsACellThroughItsVirtuals)
{
    StubLink link;
    g.SetEditLink(&link);
    TEditLink* propLink = nullptr;
    g.OnGetEditorProp = [&](TExtStringGrid*, int, int, TEditLink* l) { propLink = l; };
    g.OnGetEditorType = [](TExtStringGrid*, int, int, TEditorType& e) { e = edCustom; };
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    ASSERT_NE(link.edit, nullptr);
    EXPECT_EQ(propLink, &link);
    EXPECT_EQ(link.edit->text(), "B1");
    EXPECT_TRUE(link.edit->hasFocus());
    link.edit->setText("linked");
    Key(link.edit, Qt::Key_Escape);
    EXPECT_EQ(g.Cells(1, 1), "B1") << "Esc keeps the original value";
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    link.edit->setText("linked");
    Key(link.edit, Qt::Key_Return);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "linked");
    g.SetEditLink(nullptr);
}

TEST(GridEditDialog, EnterMovesToTheNextCellInsteadOfPressingOk)
{
    QDialog dlg;
    auto* lay = new QVBoxLayout(&dlg);
    TExtColumnGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetOptions(g.Options().With(goEditing));
    g.Columns().Items(2).SetEditor(edComboList);
    g.Columns().Items(2).ComboItems() = QStringList{"x", "y"};
    lay->addWidget(g.CreateWnd(&dlg));
    auto* ok = new QPushButton("OK", &dlg);
    ok->setDefault(true);
    lay->addWidget(ok);
    int pressed = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++pressed; });
    // The tables' own Enter helper: Enter moves to the next cell.
    g.OnKeyPress = [&](TCustomGrid*, QChar& k) {
        if (k != QChar(VK_RETURN)) return;
        g.SetCol(g.Col() < g.ColCount() - 1 ? g.Col() + 1 : 1);
        k = QChar();
    };
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    g.Widget()->setFocus();
    g.SetCol(1);
    g.SetRow(1);
    QTest::keyClicks(g.Widget(), "abc");
    QTest::keyClick(g.EditCtrl(), Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "abc");
    EXPECT_EQ(g.Col(), 2);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_EQ(g.EditCtrl(), g.EditCombo());
    EXPECT_EQ(g.EditCombo()->Items(), (QStringList{"x", "y"})) << "the column's pick list";
    QTest::keyClick(g.EditCtrl(), Qt::Key_Down);
    QTest::keyClick(g.EditCtrl(), Qt::Key_Return);
    EXPECT_EQ(g.Cells(2, 1), "y");
    EXPECT_EQ(g.Col(), 1);
    QTest::keyClick(g.Widget(), Qt::Key_Return);
    EXPECT_EQ(pressed, 0) << "the default button never saw Enter";
    EXPECT_TRUE(dlg.isVisible());
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    QTest::keyClick(g.EditCtrl(), Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible()) << "Esc in an editor does not close the dialog";
}

// Every key of the combo's key-down steps, with the list closed: which keys
// stay in the combo (and what it then shows), which close it, where the
// current cell goes and what the cell holds afterwards.
TEST_F(EditWindow, ComboKeysStayInTheComboOrEndTheEditByMode)
{
    for (const char* s : {"red", "green", "blue", "gray"}) g.AddComboString(s);
    bool editable = false;
    g.OnGetEditorType = [&](TExtStringGrid*, int c, int, TEditorType& e) {
        if (c == 2) e = editable ? edComboEdit : edComboList;
    };
    struct Case {
        bool editable, upDown;
        Qt::Key key;
        bool open;       // the combo is still open
        QString shown;   // ... and shows this (open) / the cell holds this (closed)
        int col, row;    // the current cell afterwards
    };
    // The pick list starts on "blue", the editable combo on "gold"; the
    // cell held "green".
    const Case cases[] = {
        {false, true, Qt::Key_Up, true, "green", 2, 2},
        {false, true, Qt::Key_Down, true, "gray", 2, 2},
        {false, false, Qt::Key_Up, false, "blue", 2, 1},
        {false, false, Qt::Key_Down, false, "blue", 2, 3},
        {false, true, Qt::Key_PageUp, true, "green", 2, 2},
        {false, true, Qt::Key_PageDown, true, "gray", 2, 2},
        {false, false, Qt::Key_PageUp, true, "green", 2, 2},
        {false, false, Qt::Key_PageDown, true, "gray", 2, 2},
        {false, true, Qt::Key_Home, true, "red", 2, 2},
        {false, true, Qt::Key_End, true, "gray", 2, 2},
        {false, true, Qt::Key_Left, false, "blue", 1, 2},
        {false, true, Qt::Key_Right, false, "blue", 3, 2},
        {false, true, Qt::Key_Return, false, "blue", 2, 2},
        {false, true, Qt::Key_Escape, false, "green", 2, 2},
        {true, true, Qt::Key_Up, false, "gold", 2, 1},
        {true, true, Qt::Key_Down, false, "gold", 2, 3},
        {true, false, Qt::Key_Up, false, "gold", 2, 1},
        {true, false, Qt::Key_Down, false, "gold", 2, 3},
        {true, true, Qt::Key_PageUp, false, "gold", 2, 1},
        {true, true, Qt::Key_PageDown, false, "gold", 2, 3},
        {true, false, Qt::Key_PageDown, false, "gold", 2, 3},
        {true, true, Qt::Key_Home, true, "gold", 2, 2},
        {true, true, Qt::Key_End, true, "gold", 2, 2},
        {true, true, Qt::Key_Left, true, "gold", 2, 2},
        {true, true, Qt::Key_Right, true, "gold", 2, 2},
        {true, true, Qt::Key_Return, false, "gold", 2, 2},
        {true, true, Qt::Key_Escape, false, "green", 2, 2},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(testing::Message() << (cs.editable ? "edit" : "list") << " upDown " << cs.upDown << " key "
                                        << QKeySequence(cs.key).toString().toStdString());
        editable = cs.editable;
        g.Navigation().SetComboGetUpDown(cs.upDown);
        g.Widget()->setFocus();
        g.SetCol(2);
        g.SetRow(2);
        g.SetCells(2, 2, "green");
        QTest::keyClick(g.Widget(), Qt::Key_F2);
        ASSERT_TRUE(g.EditMode());
        TGridCombo* c = g.EditCombo();
        ASSERT_EQ(Editor(), c);
        ASSERT_EQ(c->isEditable(), cs.editable);
        if (cs.editable)
            c->setEditText("gold");
        else
            c->setCurrentIndex(2);
        Key(c, cs.key);
        EXPECT_EQ(g.EditMode(), cs.open);
        if (cs.open)
            EXPECT_EQ(c->Text(), cs.shown);
        else
            EXPECT_EQ(g.Cells(2, 2), cs.shown);
        EXPECT_EQ(g.Col(), cs.col);
        EXPECT_EQ(g.Row(), cs.row);
        if (g.EditMode()) Key(c, Qt::Key_Escape);
    }
}

namespace {

using ModifyQueryWindow = ShownGridTest<TModifyQueryGrid>;

} // namespace

// A typed change asks the grid's modify query, then reports the text; the
// validator runs once, when the edit is committed.
TEST_F(ModifyQueryWindow, TextAndComboEditorsAskBeforeEachChangeAndValidateOnCommit)
{
    Fill(g);
    ShowGrid();
    std::vector<QString> seen;
    g.OnModifyQuery = [&] { seen.push_back("query"); };
    g.OnEditChange = [&](TExtStringGrid*, int, int, const QString& v) { seen.push_back("change " + v); };
    g.OnCellValidate = [&](TExtStringGrid*, int, int, QString& v, bool&) { seen.push_back("validate " + v); };
    g.OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& e) {
        if (c == 2) e = edComboEdit;
    };
    for (int col : {1, 2}) {
        SCOPED_TRACE(col);
        g.SetCol(col);
        g.SetRow(1);
        g.SetCells(col, 1, "");
        QTest::keyClick(g.Widget(), Qt::Key_F2);
        ASSERT_TRUE(g.EditMode());
        seen.clear();
        QTest::keyClick(g.EditCtrl(), Qt::Key_Q, Qt::NoModifier);
        EXPECT_EQ(seen, (std::vector<QString>{"query", "change q"}));
        seen.clear();
        QTest::keyClick(g.EditCtrl(), Qt::Key_Return);
        EXPECT_FALSE(g.EditMode());
        EXPECT_EQ(seen, (std::vector<QString>{"validate q"}));
        EXPECT_EQ(g.Cells(col, 1), "q");
    }
}
