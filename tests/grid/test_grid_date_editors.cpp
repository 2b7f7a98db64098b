// The grid's date, time and date-and-time editors, the edit with a button,
// the unit editor and the push button, driven with keys in an offscreen
// window: which keys commit, move or cancel, and what reaches the cell.
#include "ShownGrid.h"
#include "common/TestSupport.h"
#include "grid/ExtGridDateEditors.h"
#include "platform/GridsWidget.h"
#include "platform/SysUtils.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A grid with 1 fixed row and column and 3 x 3 data cells in a shown,
// active window; column 1 is edited with `kind`.
class EditorWindow : public ShownGrid {
protected:
    void SetUp() override
    {
        m_saved = SystemFormatSettings();
        SetFormatSettings(DayMonthYear());
        FillCellNames(g, 4, 4);
        g.SetOptions(g.Options().With(goEditing));
        g.OnGetEditorType = [this](TExtStringGrid*, int c, int, TEditorType& e) {
            if (c == 1) e = kind;
        };
        ShowGrid();
    }
    // Opens the editor of the current cell (F2).
    QWidget* Open()
    {
        QTest::keyClick(g.Widget(), Qt::Key_F2);
        return g.EditCtrl();
    }
    // Types digits one by one, letting the queued moves run between them.
    static void TypeDigits(QWidget* w, const QString& digits)
    {
        for (QChar c : digits) {
            QTest::keyClick(w, c.toLatin1());
            QCoreApplication::processEvents();
        }
    }
    void TearDown() override { SetFormatSettings(m_saved); }
    TEditorType kind = edNormal;
    FormatSettings m_saved;
};

TDateTime Day(int y, int m, int d)
{
    return EncodeDate(y, m, d);
}

} // namespace

// --- date and time picker ------------------------------------------------------------

TEST_F(EditorWindow, DatePickerMovesOnAfterTheDayButNotAfterTheYear)
{
    kind = edDateEdit;
    g.SetCells(1, 1, "15/03/2026");
    TGridDatePicker* p = g.DateTimePicker();
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(Open(), p);
    EXPECT_EQ(p->Date(), Day(2026, 3, 15));
    p->SetActiveField(0);
    TypeDigits(p, "2");
    EXPECT_EQ(p->ActiveField(), 0) << "one digit of the day: the day is not complete";
    TypeDigits(p, "1");
    EXPECT_EQ(p->ActiveField(), 1) << "the day's two digits move on to the month";
    p->SetActiveField(2);
    TypeDigits(p, "2027");
    EXPECT_EQ(p->ActiveField(), 2) << "the year of the default format does not move on";
    QTest::keyClick(p, Qt::Key_Return);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "21/03/2027");
}

TEST_F(EditorWindow, DatePickerCustomFormatsMoveUntilTheirLastField)
{
    kind = edDateEdit;
    g.OnGetEditorProp = [this](TExtStringGrid*, int, int, TEditLink*) { g.DateTimePicker()->SetFormat("yyyy-MM-dd"); };
    g.SetCells(1, 1, "2026-03-15");
    TGridDatePicker* p = g.DateTimePicker();
    ASSERT_EQ(Open(), p);
    EXPECT_EQ(p->Date(), Day(2026, 3, 15)) << "a cell written in the picker's format opens on its date";
    p->SetActiveField(0);
    TypeDigits(p, "2027");
    EXPECT_EQ(p->ActiveField(), 1) << "the year is not the last field here";
    TypeDigits(p, "05");
    EXPECT_EQ(p->ActiveField(), 2);
    TypeDigits(p, "09");
    EXPECT_EQ(p->ActiveField(), 2) << "the day ends the format";
    QTest::keyClick(p, Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "2027-05-09");

    // dd/MM/yyyy: the day moves on, the year (last) does not.
    g.OnGetEditorProp = [this](TExtStringGrid*, int, int, TEditLink*) { g.DateTimePicker()->SetFormat("dd/MM/yyyy"); };
    g.SetCells(1, 1, "15/03/2026");
    ASSERT_EQ(Open(), p);
    p->SetActiveField(0);
    TypeDigits(p, "21");
    EXPECT_EQ(p->ActiveField(), 1);
    p->SetActiveField(2);
    TypeDigits(p, "2030");
    EXPECT_EQ(p->ActiveField(), 2);
    QTest::keyClick(p, Qt::Key_Escape);
    EXPECT_EQ(g.Cells(1, 1), "15/03/2026");
}

TEST_F(EditorWindow, DatePickerCalendarOptionsAndEventsAtDropDown)
{
    kind = edDateEdit;
    g.SetCells(1, 1, "15/03/2026");
    std::vector<std::pair<int, int>> dropped, closed;
    g.OnDatePickerDropDown = [&](TExtStringGrid*, int r, int c) { dropped.push_back({r, c}); };
    g.OnDatePickerCloseUp = [&](TExtStringGrid*, int r, int c) { closed.push_back({r, c}); };
    TGridDatePicker* p = g.DateTimePicker();
    p->SetWeeknumbers(true);
    p->SetShowToday(false);
    p->SetShowTodayCircle(false);
    ASSERT_EQ(Open(), p);
    p->DropDown();
    ASSERT_TRUE(p->DroppedDown());
    EXPECT_TRUE(p->FOldDropped);
    EXPECT_EQ(p->Calendar()->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    EXPECT_FALSE(p->Calendar()->TodayLine()->isVisibleTo(p->Calendar()));
    EXPECT_FALSE(p->Calendar()->ShowTodayCircle);
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0], std::make_pair(1, 1));
    // DirectDateClose: closing the calendar ends the edit.
    g.MouseActions().SetDirectDateClose(true);
    p->CloseUp();
    EXPECT_EQ(closed.size(), 1u);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "15/03/2026");
    // DirectDateDrop: the calendar opens with the editor; a change is
    // reported as the date's locale text.
    QStringList edits;
    g.OnEditChange = [&](TExtStringGrid*, int, int, const QString& v) { edits << v; };
    g.MouseActions().SetDirectDateDrop(true);
    ASSERT_EQ(Open(), p);
    EXPECT_TRUE(p->DroppedDown());
    EXPECT_EQ(dropped.size(), 2u);
    p->SetDate(Day(2026, 3, 20));
    EXPECT_EQ(edits, QStringList{"20/03/2026"});
}

TEST_F(EditorWindow, DatePickerUncheckedEmptiesTheCell)
{
    kind = edDateEdit;
    g.SetCells(1, 1, "15/03/2026");
    g.OnGetEditorProp = [this](TExtStringGrid*, int, int, TEditLink*) { g.DateTimePicker()->SetShowCheckbox(true); };
    TGridDatePicker* p = g.DateTimePicker();
    ASSERT_EQ(Open(), p);
    EXPECT_TRUE(p->Checked());
    p->SetChecked(false);
    QTest::keyClick(p, Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "");
}

TEST_F(EditorWindow, DatePickerEscAndUnchangedValuesLeaveTheCellAsItWas)
{
    kind = edDateEdit;
    TGridDatePicker* p = g.DateTimePicker();
    // An empty cell opens on today; Esc writes no date into it.
    g.SetCells(1, 1, "");
    ASSERT_EQ(Open(), p);
    EXPECT_EQ(p->Date(), Date());
    p->SetActiveField(0);
    TypeDigits(p, "1");
    QTest::keyClick(p, Qt::Key_Escape);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "");
    // Nor into a text that is no date.
    g.SetCells(1, 1, "soon");
    ASSERT_EQ(Open(), p);
    QTest::keyClick(p, Qt::Key_Escape);
    EXPECT_EQ(g.Cells(1, 1), "soon");
    // A date confirmed unchanged keeps the way it was written.
    g.SetCells(1, 1, "5/3/2026");
    ASSERT_EQ(Open(), p);
    EXPECT_EQ(p->Date(), Day(2026, 3, 5));
    QTest::keyClick(p, Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "5/3/2026");
}

TEST_F(EditorWindow, DatePickerValidatesBeforeWriting)
{
    kind = edDateEdit;
    g.SetCells(1, 1, "15/03/2026");
    g.OnCellValidate = [](TExtStringGrid*, int, int, QString& v, bool& valid) { valid = v != "16/03/2026"; };
    TGridDatePicker* p = g.DateTimePicker();
    ASSERT_EQ(Open(), p);
    p->SetDate(Day(2026, 3, 16));
    QTest::keyClick(p, Qt::Key_Return);
    EXPECT_TRUE(g.EditMode()) << "a refused date keeps the editor open";
    EXPECT_EQ(g.Cells(1, 1), "15/03/2026");
    p->SetDate(Day(2026, 3, 17));
    QTest::keyClick(p, Qt::Key_Return);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "17/03/2026");
}

TEST_F(EditorWindow, TimePickerAndMissingDateControls)
{
    kind = edTimeEdit;
    g.SetCells(1, 1, "10:30:00");
    TGridDatePicker* p = g.DateTimePicker();
    ASSERT_EQ(Open(), p);
    EXPECT_EQ(p->Kind(), TDateTimeKind::dtkTime);
    int h, m, s, ms;
    DecodeTime(p->Time(), h, m, s, ms);
    EXPECT_EQ(h * 100 + m, 1030);
    p->SetTime(EncodeDate(1899, 12, 30) + (11.0 * 60 + 45) / (24 * 60));
    QTest::keyClick(p, Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "11:45:00");

    ComCtl470 = false;
    EXPECT_EQ(Open(), nullptr) << "without the platform's date controls nothing opens";
    EXPECT_FALSE(g.EditMode());
    ComCtl470 = true;
}

// --- date-and-time picker --------------------------------------------------------------

TEST_F(EditorWindow, DateTimePickerTabKeepsTheTimeAndEscRestores)
{
    kind = edDateTimeEdit;
    g.SetOptions(g.Options().With(goTabs));
    g.SetCells(1, 1, "15/03/2026 10:30");
    std::vector<TDateTime> changes;
    g.OnDateTimeChange = [&](TExtStringGrid*, int, int, TDateTime v) { changes.push_back(v); };
    TGridDateTimePicker* p = g.DateAndTimePicker();
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(Open(), p);
    const TDateTime opened = Day(2026, 3, 15) + 10.5 / 24;
    EXPECT_NEAR(g.FOriginalDateTime, opened, 1e-6);
    EXPECT_NEAR(p->DateTime(), opened, 1e-6);
    // Esc: the cell stays as it was.
    p->SetDateTime(Day(2026, 4, 1) + 8.0 / 24);
    EXPECT_FALSE(changes.empty());
    QTest::keyClick(p, Qt::Key_Escape);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "15/03/2026 10:30");
    // Tab writes the date and the time, once, and moves on.
    int writes = 0;
    g.OnCellsChanged = [&](TExtStringGrid*, const TGridRect&) { ++writes; };
    ASSERT_EQ(Open(), p);
    p->SetDateTime(Day(2026, 4, 1) + 8.25 / 24);
    QTest::keyClick(p, Qt::Key_Tab);
    EXPECT_EQ(g.Cells(1, 1), "01/04/2026 8:15");
    EXPECT_EQ(g.Col(), 2);
    EXPECT_LE(writes, 1);
}

TEST_F(EditorWindow, DateTimePickerValidatesEnterAndTab)
{
    kind = edDateTimeEdit;
    g.SetOptions(g.Options().With(goTabs));
    g.SetCells(1, 1, "15/03/2026 10:30");
    g.OnCellValidate = [](TExtStringGrid*, int, int, QString& v, bool& valid) { valid = !v.startsWith("01/01"); };
    TGridDateTimePicker* p = g.DateAndTimePicker();
    ASSERT_EQ(Open(), p);
    p->SetDateTime(Day(2026, 1, 1) + 9.0 / 24);
    QTest::keyClick(p, Qt::Key_Return);
    EXPECT_TRUE(g.EditMode()) << "a refused value keeps the editor open";
    QTest::keyClick(p, Qt::Key_Tab);
    EXPECT_TRUE(g.EditMode());
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Cells(1, 1), "15/03/2026 10:30");
    p->SetDateTime(Day(2026, 1, 2) + 9.0 / 24);
    QTest::keyClick(p, Qt::Key_Return);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "02/01/2026 9:00");
}

// --- edit with a button ---------------------------------------------------------------

TEST_F(EditorWindow, EditButtonPasteDropsOnlyAClosingLineBreak)
{
    kind = edEditBtn;
    g.SetCells(1, 1, "");
    TGridEditBtn* e = g.BtnEdit();
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(Open(), e);
    QApplication::clipboard()->setText("abc\r\n");
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->Text(), "abc");
    EXPECT_EQ(g.Cells(1, 1), "abc") << "a paste is written into the cell at once";
    e->selectAll();
    QApplication::clipboard()->setText("a\r\nb");
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->Text(), "a\r\nb");
    // A handler may refuse the paste.
    g.OnClipboardPaste = [](QObject*, bool& allow) { allow = false; };
    QApplication::clipboard()->setText("zzz");
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->Text(), "a\r\nb");
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_EQ(g.Cells(1, 1), "") << "Esc leaves the cell as it was when the editor opened";
}

TEST_F(EditorWindow, FloatEditButtonCharacterAndPasteRules)
{
    kind = edFloatEditBtn;
    g.SetCells(1, 1, "");
    TGridEditBtn* e = g.BtnEdit();
    ASSERT_EQ(Open(), e);
    const QChar sep = SystemFormatSettings().DecimalSeparator;
    // '.' below stands for the locale's decimal separator.
    auto T = [&](QString s) { return s.replace('.', sep); };
    QTest::keyClicks(e, T("1.2."));
    EXPECT_EQ(e->Text(), T("1.2")) << "a second decimal separator is dropped";
    QTest::keyClick(e, Qt::Key_Minus);
    EXPECT_EQ(e->Text(), T("1.2")) << "\"-\" only at the start";
    e->setCursorPosition(0);
    QTest::keyClick(e, Qt::Key_Minus);
    EXPECT_EQ(e->Text(), T("-1.2"));
    e->setCursorPosition(0);
    QTest::keyClick(e, Qt::Key_Minus);
    EXPECT_EQ(e->Text(), T("-1.2")) << "one \"-\" only";
    e->setCursorPosition(2);
    QTest::keyClick(e, Qt::Key_A);
    EXPECT_EQ(e->Text(), T("-1.2")) << "letters are refused";
    // Selecting the separator lets a new one replace it.
    e->setSelection(2, 1);
    QTest::keyClicks(e, QString(sep));
    EXPECT_EQ(e->Text(), T("-1.2"));
    // A paste the kind would refuse typed is refused whole.
    e->setCursorPosition(int(e->text().size()));
    QApplication::clipboard()->setText("4x");
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->Text(), T("-1.2"));
    QApplication::clipboard()->setText("45");
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->Text(), T("-1.245"));
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), T("-1.245"));

    kind = edNumericEditBtn;
    ASSERT_EQ(Open(), e);
    e->selectAll();
    QTest::keyClicks(e, T("7.8"));
    EXPECT_EQ(e->Text(), "78") << "the whole-number kind takes no separator";
    QApplication::clipboard()->setText(T("1.5"));
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->Text(), "78");
}

TEST_F(EditorWindow, EditButtonClickPassesThroughOnEllipsClick)
{
    kind = edEditBtn;
    g.SetCells(1, 1, "x");
    std::vector<std::pair<int, int>> cells;
    g.OnEllipsClick = [&](TExtStringGrid*, int c, int r, QString& s) {
        cells.push_back({c, r});
        s += "!";
    };
    TGridEditBtn* e = g.BtnEdit();
    ASSERT_EQ(e->ButtonCaption(), "...");
    ASSERT_EQ(Open(), e);
    QTest::keyClick(e, Qt::Key_F4);
    EXPECT_EQ(e->Text(), "x!");
    EXPECT_EQ(e->selectedText(), "x!") << "the result is selected";
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0], std::make_pair(1, 1));
    EXPECT_TRUE(g.EditMode()) << "without StopEditAfterClick the edit goes on";
    // A click on the button with StopEditAfterClick ends the edit.
    e->SetStopEditAfterClick(true);
    QTest::mouseClick(e->Button()->Button(), Qt::LeftButton);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "x!!");
    // A double click in the editor reports the cell (row, column).
    std::vector<std::pair<int, int>> dbl;
    g.OnDblClickCell = [&](TExtStringGrid*, int r, int c) { dbl.push_back({r, c}); };
    g.SetRow(2);
    ASSERT_EQ(Open(), e);
    QTest::mouseDClick(e, Qt::LeftButton, Qt::NoModifier, QPoint(5, e->height() / 2));
    ASSERT_EQ(dbl.size(), 1u);
    EXPECT_EQ(dbl[0], std::make_pair(2, 1));
}

TEST_F(EditorWindow, EditButtonLookupCompletionAndCursorWalk)
{
    kind = edEditBtn;
    g.SetCells(1, 1, "");
    g.SetLookup(true);
    g.LookupList() = QStringList{"Beta", "Alpha"};
    TGridEditBtn* e = g.BtnEdit();
    ASSERT_EQ(Open(), e);
    QTest::keyClicks(e, "al");
    EXPECT_EQ(e->Text(), "alpha");
    EXPECT_EQ(e->selectedText(), "pha") << "the completed part is selected";
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->Text(), "al") << "Backspace completes nothing";

    // The cursor walk: Right at the end moves on, Left at the start moves back.
    g.Navigation().SetCursorWalkEditor(true);
    g.Navigation().SetCursorWalkAlwaysEdit(false);
    e->setCursorPosition(int(e->text().size()));
    QTest::keyClick(e, Qt::Key_Right);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "al");
    EXPECT_EQ(g.Col(), 2);
    g.SetCol(1);
    ASSERT_EQ(Open(), e);
    e->setCursorPosition(1);
    QTest::keyClick(e, Qt::Key_Left);
    EXPECT_TRUE(g.EditMode()) << "Left that brings the caret to the start stays";
    QTest::keyClick(e, Qt::Key_Left);
    EXPECT_EQ(g.Col(), 3) << "backwards from the first data cell wraps as the advance does";
    g.SetCol(2);
    g.SetRow(1);
    kind = edNormal;
    g.OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& k) {
        if (c == 2) k = edEditBtn;
    };
    ASSERT_EQ(Open(), e);
    e->setCursorPosition(0);
    QTest::keyClick(e, Qt::Key_Left);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
}

TEST_F(EditorWindow, EditButtonRefusedValueNeverReachesTheCell)
{
    kind = edEditBtn;
    g.SetCells(1, 1, "ok");
    g.OnCellValidate = [](TExtStringGrid*, int, int, QString& v, bool& valid) { valid = v != "bad"; };
    TGridEditBtn* e = g.BtnEdit();
    ASSERT_EQ(Open(), e);
    e->selectAll();
    QTest::keyClicks(e, "bad");
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_TRUE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "ok");
    QTest::keyClick(e, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 1) << "nor does Down leave a refused value";
    EXPECT_EQ(g.Cells(1, 1), "ok");
    e->selectAll();
    QTest::keyClicks(e, "good");
    QTest::keyClick(e, Qt::Key_Down);
    EXPECT_EQ(g.Cells(1, 1), "good");
    EXPECT_EQ(g.Row(), 2);
}

TEST(GridDateEditors, EnterInADialogCommitsAndLeavesOkUnpressed)
{
    QDialog dlg;
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetOptions(g.Options().With(goEditing));
    g.OnGetEditorType = [](TExtStringGrid*, int, int, TEditorType& e) { e = edEditBtn; };
    auto* lay = new QVBoxLayout(&dlg);
    lay->addWidget(g.CreateWnd(&dlg));
    auto* ok = new QPushButton("OK", &dlg);
    ok->setDefault(true);
    lay->addWidget(ok);
    bool pressed = false;
    QObject::connect(ok, &QPushButton::clicked, [&] { pressed = true; });
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    g.Widget()->setFocus();
    g.SetCol(1);
    g.SetRow(1);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    QWidget* e = g.EditCtrl();
    ASSERT_EQ(e, g.BtnEdit());
    QTest::keyClicks(e, "typed");
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "typed");
    EXPECT_FALSE(pressed);
    EXPECT_TRUE(dlg.isVisible());
}

// --- unit editor ------------------------------------------------------------------------

TEST_F(EditorWindow, UnitEditorSplitsRestoresAndDoesNotRepeatTheUnit)
{
    kind = edNumericUnitEditBtn;
    TGridUnitEditBtn* u = g.BtnUnitEdit();
    ASSERT_NE(u, nullptr);
    u->SetUnits({"mm", "cm"});
    g.SetCells(1, 1, "5mm");
    ASSERT_EQ(Open(), u);
    EXPECT_EQ(u->Text(), "5");
    EXPECT_EQ(u->UnitID(), "mm");
    u->selectAll();
    QTest::keyClicks(u, "8x");
    EXPECT_EQ(u->Text(), "8") << "the whole-number rules";
    QTest::keyClick(u, Qt::Key_Escape);
    EXPECT_EQ(g.Cells(1, 1), "5mm");

    // A refused value keeps its unit; the later commit does not repeat it.
    bool refuse = true;
    QString seen;
    g.OnCellValidate = [&](TExtStringGrid*, int, int, QString& v, bool& valid) {
        seen = v;
        valid = !refuse;
    };
    ASSERT_EQ(Open(), u);
    u->selectAll();
    QTest::keyClicks(u, "7");
    QTest::keyClick(u, Qt::Key_Return);
    EXPECT_EQ(seen, "7mm");
    EXPECT_TRUE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "5mm");
    EXPECT_EQ(u->Text(), "7");
    EXPECT_EQ(u->UnitID(), "mm");
    refuse = false;
    QTest::keyClick(u, Qt::Key_Return);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "7mm");

    // A text in none of the units goes back unchanged.
    kind = edUnitEditBtn;
    g.SetCells(1, 1, "12 inch");
    ASSERT_EQ(Open(), u);
    EXPECT_EQ(u->Text(), "12 inch");
    EXPECT_EQ(u->UnitID(), "");
    QTest::keyClick(u, Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "12 inch");
}

TEST_F(EditorWindow, UnitEditorButtonPassesTheValueThroughOnEllipsClick)
{
    kind = edUnitEditBtn;
    TGridUnitEditBtn* u = g.BtnUnitEdit();
    u->SetUnits({"mm", "cm"});
    g.SetCells(1, 1, "5cm");
    g.OnEllipsClick = [](TExtStringGrid*, int, int, QString& s) { s = "9"; };
    ASSERT_EQ(Open(), u);
    QTest::keyClick(u, Qt::Key_F4);
    EXPECT_EQ(u->Text(), "9");
    EXPECT_EQ(u->selectedText(), "9");
    QTest::keyClick(u, Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "9cm");
    // A paste is written at once, with the unit.
    ASSERT_EQ(Open(), u);
    u->selectAll();
    QApplication::clipboard()->setText("42\r\n");
    QTest::keyClick(u, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(u->Text(), "42");
    EXPECT_EQ(g.Cells(1, 1), "42cm");
    QTest::keyClick(u, Qt::Key_Escape);
    EXPECT_EQ(g.Cells(1, 1), "9cm") << "Esc undoes the pasted value";
}

// --- push button -------------------------------------------------------------------------

TEST_F(EditorWindow, ButtonClicksEscRestoresAndArrowsMove)
{
    kind = edButton;
    g.SetCells(1, 1, "Go");
    int clicks = 0;
    g.OnEllipsClick = [&](TExtStringGrid*, int, int, QString& s) {
        ++clicks;
        s = "Done";
    };
    std::vector<int> gridKeys;
    g.OnKeyDown = [&](TCustomGrid*, int& key, TShiftState) { gridKeys.push_back(key); };
    TGridButton* b = g.GridButton();
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(Open(), b);
    EXPECT_EQ(b->text(), "Go");
    // The Space that went down before the button opened does not click it.
    QTest::keyRelease(b, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);
    QTest::keyClick(b, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(g.Cells(1, 1), "Done");
    EXPECT_TRUE(b->hasFocus());
    gridKeys.clear();
    QTest::keyClick(b, Qt::Key_Escape);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "Go") << "Esc puts the cell back";
    EXPECT_NE(std::find(gridKeys.begin(), gridKeys.end(), VK_ESCAPE), gridKeys.end()) << "the grid receives Esc";

    ASSERT_EQ(Open(), b);
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(g.Cells(1, 1), "Done");
    QTest::keyClick(b, Qt::Key_Down);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.Cells(1, 1), "Done");
    ASSERT_EQ(Open(), b);
    QTest::keyClick(b, Qt::Key_Right);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 2);
}

// --- keys the editors leave alone, key-up, Tab out of the grid, date limits -----------

// A key the open editor does not use climbs back up to the grid's window;
// it must not be handed to the editor a second time.
TEST_F(EditorWindow, AnIgnoredKeyReachesEachEditorOnce)
{
    struct Case {
        TEditorType kind;
        const char* cell;
    };
    for (const Case& c : {Case{edEditBtn, "abc"}, Case{edUnitEditBtn, "5"}, Case{edDateEdit, "15/03/2026"},
                          Case{edTimeEdit, "10:30"}, Case{edDateTimeEdit, "15/03/2026 10:30"}}) {
        SCOPED_TRACE(int(c.kind));
        kind = c.kind;
        g.SetCells(1, 1, c.cell);
        QWidget* w = Open();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->isVisible());
        int downs = 0, ups = 0;
        const auto countDown = [&](QObject*, int& k, Qt::KeyboardModifiers) { downs += k == Qt::Key_F9; };
        const auto countUp = [&](QObject*, int& k, Qt::KeyboardModifiers) { ups += k == Qt::Key_F9; };
        if (auto* m = dynamic_cast<TMaskEdit*>(w)) {
            m->OnKeyDown = countDown;
            m->OnKeyUp = countUp;
        } else if (auto* p = dynamic_cast<TDateTimePicker*>(w)) {
            p->OnKeyDown = countDown;
            p->OnKeyUp = countUp;
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
        EXPECT_EQ(downs, 1);
        EXPECT_EQ(ups, 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(g.EditMode());
        // The editor outlives this pass (the date kinds share one): its
        // handlers must not keep the counters of this pass.
        if (auto* m = dynamic_cast<TMaskEdit*>(w)) {
            m->OnKeyDown = nullptr;
            m->OnKeyUp = nullptr;
        } else if (auto* p = dynamic_cast<TDateTimePicker*>(w)) {
            p->OnKeyDown = nullptr;
            p->OnKeyUp = nullptr;
        }
        g.Widget()->setFocus();
    }
}

TEST_F(EditorWindow, GridKeyUpFiresInTheGridAndFirstInTheEditButton)
{
    std::vector<int> order;
    g.OnKeyUp = [&](TCustomGrid* s, int& k, TShiftState) {
        EXPECT_EQ(s, &g);
        order.push_back(k);
    };
    QTest::keyClick(g.Widget(), Qt::Key_Down);
    EXPECT_EQ(order, std::vector<int>{VK_DOWN}) << "a key released in the grid";
    EXPECT_EQ(g.Row(), 2);
    g.SetRow(1);

    kind = edEditBtn;
    g.SetCells(1, 1, "ab");
    TGridEditBtn* e = g.BtnEdit();
    ASSERT_EQ(Open(), e);
    order.clear();
    e->OnKeyUp = [&](QObject*, int&, Qt::KeyboardModifiers) { order.push_back(-1); };
    QTest::keyClick(e, Qt::Key_X);
    EXPECT_EQ(order, (std::vector<int>{'X', -1})) << "the grid's OnKeyUp, then the editor's own";
    // A handler that clears the key stops the editor's key-up (here, the
    // lookup completion).
    g.SetLookup(true);
    g.LookupList() = QStringList{"abcdef"};
    e->SetText("ab");
    e->setCursorPosition(2);
    g.OnKeyUp = [&](TCustomGrid*, int& k, TShiftState) { k = 0; };
    QTest::keyClick(e, Qt::Key_C);
    EXPECT_EQ(e->text(), "abc");
    g.OnKeyUp = nullptr;
    QTest::keyClick(e, Qt::Key_D);
    EXPECT_EQ(e->text(), "abcdef") << "without the handler the completion runs";
}

TEST_F(EditorWindow, TabWithoutGoTabsLeavesTheGridFromEveryPicker)
{
    auto* next = new QLineEdit(&host);
    host.layout()->addWidget(next);
    next->show();
    for (TEditorType k : {edDateEdit, edTimeEdit, edDateTimeEdit}) {
        SCOPED_TRACE(int(k));
        kind = k;
        g.SetCells(1, 1, k == edTimeEdit ? "10:30" : k == edDateEdit ? "15/03/2026" : "15/03/2026 10:30");
        g.Widget()->setFocus();
        g.SetCol(1);
        ASSERT_NE(Open(), nullptr);
        QWidget* f = QApplication::focusWidget();
        // The caret on the first field: Tab does not step through the fields.
        QTest::keyClick(f, Qt::Key_Tab);
        EXPECT_TRUE(next->hasFocus()) << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");
        EXPECT_FALSE(g.EditMode()) << "the focus loss closes the editor";
        EXPECT_EQ(g.Col(), 1);
    }
}

TEST_F(EditorWindow, DatePickerOpensWithinItsLimits)
{
    kind = edDateEdit;
    TGridDatePicker* p = g.DateTimePicker();
    ASSERT_NE(p, nullptr);
    p->SetMinDate(Day(2026, 1, 10));
    p->SetMaxDate(Day(2026, 6, 30));
    struct Case {
        const char* cell;
        TDateTime shown;
    };
    for (const Case& c : {Case{"15/03/2026", Day(2026, 3, 15)}, Case{"15/08/2026", Day(2026, 6, 29)},
                          Case{"01/01/2026", Day(2026, 1, 11)}, Case{"10/01/2026", Day(2026, 1, 10)},
                          Case{"30/06/2026", Day(2026, 6, 30)}}) {
        SCOPED_TRACE(c.cell);
        g.SetCells(1, 1, c.cell);
        ASSERT_EQ(Open(), p);
        EXPECT_EQ(p->Date(), c.shown);
        QTest::keyClick(p, Qt::Key_Escape);
        EXPECT_EQ(g.Cells(1, 1), c.cell);
    }
}

TEST_F(EditorWindow, DatePickerCalendarIsItsMinimumSizePlusTwo)
{
    kind = edDateEdit;
    g.SetCells(1, 1, "15/03/2026");
    TGridDatePicker* p = g.DateTimePicker();
    ASSERT_EQ(Open(), p);
    for (bool weeks : {false, true}) {
        SCOPED_TRACE(weeks);
        p->SetWeeknumbers(weeks);
        p->DropDown();
        ASSERT_TRUE(p->DroppedDown());
        TPickerCalendar* c = p->Calendar();
        const QSize min = c->minimumSizeHint().expandedTo(c->layout()->minimumSize());
        EXPECT_EQ(c->size(), min + QSize(2, 2));
        p->CloseUp();
    }
}
