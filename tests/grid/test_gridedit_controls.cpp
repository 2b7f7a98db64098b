// The editors of fixed cells and of inline form controls, the controls
// placed in cells, and a special editor closed by scrolling.
#include "ShownGrid.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridEditors.h"
#include "platform/GridsWidget.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class ControlsWindow : public ShownGrid {
protected:
    void SetUp() override
    {
        FillCellNames(g, 4, 30);
        g.SetOptions(g.Options().With(goEditing));
        other = new QLineEdit(&host);
        layout->addWidget(other);
        ShowGrid();
    }
    void Leave()
    {
        other->setFocus();
        QCoreApplication::processEvents();
    }
    QLineEdit* other = nullptr;
};

} // namespace

TEST_F(ControlsWindow, FixedCellEditorsValidateAndWriteOnExit)
{
    int done = 0, cellDone = 0;
    g.OnEditingDone = [&](TExtStringGrid*) { ++done; };
    g.OnEditCellDone = [&](TExtStringGrid*, int, int) { ++cellDone; };
    std::vector<std::tuple<int, int, QString>> asked;
    g.OnCellValidate = [&](TExtStringGrid*, int c, int r, QString& v, bool& valid) {
        asked.emplace_back(c, r, v);
        valid = v != "bad";
    };
    for (int kind = 0; kind < 2; ++kind) {
        SCOPED_TRACE(kind == 0 ? "edit" : "combo");
        QWidget* w;
        std::function<void(const QString&)> type;
        if (kind == 0) {
            TGridTransEdit* e = g.EditTrans();
            EXPECT_FALSE(e->isVisible()) << "made hidden";
            e->SetCol(2);
            e->SetRow(0);
            type = [e](const QString& s) { e->setText(s); };
            w = e;
        } else {
            TGridTransCombo* e = g.ComboTrans();
            EXPECT_FALSE(e->isVisible());
            e->SetCol(2);
            e->SetRow(0);
            type = [e](const QString& s) { e->setEditText(s); };
            w = e;
        }
        done = 0;
        asked.clear();
        w->show();
        w->setFocus();
        type("bad");
        QTest::keyClick(w, Qt::Key_Return);
        EXPECT_TRUE(w->isVisible()) << "Enter does not end the edit";
        EXPECT_TRUE(asked.empty());
        Leave();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], std::make_tuple(2, 0, QString("bad")));
        EXPECT_TRUE(w->isVisible()) << "a refused text keeps the editor";
        EXPECT_TRUE(w->hasFocus() || w->isAncestorOf(QApplication::focusWidget()));
        EXPECT_EQ(g.Cells(2, 0), kind == 0 ? QString("C0") : QString("Title")) << "the cell keeps its text";
        EXPECT_EQ(done, 0);
        type(kind == 0 ? "Title" : "Head");
        Leave();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(g.Cells(2, 0), kind == 0 ? "Title" : "Head");
        EXPECT_EQ(done, 1);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(cellDone, 0) << "no OnEditCellDone for fixed cells";
}

TEST_F(ControlsWindow, InlineEditLeavesOnEnterAndTab)
{
    auto* e = new TControlEdit(g.Widget()->viewport());
    e->SetGrid(&g);
    int exits = 0;
    e->OnExit = [&](QObject*) { ++exits; };
    e->show();
    e->setFocus();
    QTest::keyClicks(e, "ab");
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(e->text(), "ab") << "Enter types nothing";
    EXPECT_GE(exits, 1) << "Enter stores the value";
    EXPECT_TRUE(g.Widget()->hasFocus());
    // Tab with automatic advance moves the current cell on.
    g.Navigation().SetAdvanceAuto(true);
    e->setFocus();
    exits = 0;
    QTest::keyClick(e, Qt::Key_Tab);
    EXPECT_GE(exits, 1);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 1);
    delete e;
}

TEST_F(ControlsWindow, InlineComboLeavesOnEnterAndTab)
{
    auto* c = new TControlCombo(g.Widget()->viewport());
    c->SetGrid(&g);
    c->SetItems({"one", "two"});
    int exits = 0;
    c->OnExit = [&](QObject*) { ++exits; };
    c->show();
    c->setFocus();
    QTest::keyClick(c, Qt::Key_Return);
    EXPECT_GE(exits, 1);
    EXPECT_TRUE(g.Widget()->hasFocus());
    EXPECT_EQ(g.Col(), 1) << "without automatic advance Tab does not move";
    c->setFocus();
    exits = 0;
    QTest::keyClick(c, Qt::Key_Tab);
    EXPECT_GE(exits, 1);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_FALSE(c->hasFocus());
    delete c;
}

TEST_F(ControlsWindow, CellControlsFollowTheVisibleCells)
{
    QWidget a, b, f;
    g.SetCellControls(2, 2, &a);
    g.SetCellControls(1, 5, &b);
    g.SetCellControls(0, 3, &f); // a fixed column
    f.setVisible(true);
    g.CellControlsUpdate(true);
    EXPECT_EQ(g.NumCellControls(), 3);
    EXPECT_TRUE(a.isVisible());
    const TRect r = g.CellRect(2, 2);
    EXPECT_EQ(a.geometry(), QRect(r.Left - 1, r.Top - 1, r.Width() + 1, r.Height() + 1));
    // The first row just past the visible rows is out of view.
    const int past = g.TopRow() + g.VisibleRowCount();
    QWidget p;
    g.SetCellControls(1, past, &p);
    g.CellControlsUpdate(true);
    EXPECT_FALSE(p.isVisible());
    // Scrolling: out of view is hidden, fixed cells' controls stay.
    g.SetTopRow(4);
    EXPECT_FALSE(a.isVisible());
    EXPECT_TRUE(b.isVisible());
    EXPECT_TRUE(f.isVisible());
    const TRect rb = g.CellRect(1, 5);
    EXPECT_EQ(b.geometry().topLeft(), QPoint(rb.Left - 1, rb.Top - 1));
    // A hidden row hides its control.
    g.HideRow(5);
    g.CellControlsUpdate(false);
    EXPECT_FALSE(b.isVisible());
    g.UnHideRow(5);
    g.SetCellControls(2, 2, nullptr);
    g.SetCellControls(1, 5, nullptr);
    g.SetCellControls(0, 3, nullptr);
    g.SetCellControls(1, past, nullptr);
}

TEST_F(ControlsWindow, ScrollingClosesAComboAndWritesItsText)
{
    g.ClearComboString();
    g.AddComboString("x");
    g.AddComboString("y");
    g.OnGetEditorType = [](TExtStringGrid*, int, int, TEditorType& e) { e = edComboEdit; };
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_EQ(g.EditCtrl(), g.EditCombo());
    g.EditCombo()->SetText("scrolled");
    g.SetTopRow(5);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(1, 1), "scrolled");
    EXPECT_EQ(g.Cells(1, 2), "B2");
}

// A click on an inline control of a cell's text opens the grid's own inline
// editor over it; Enter and Tab leave it with the value written into the
// control's tag, Tab going on to the cell's next editable control.
TEST_F(ControlsWindow, InlineControlsOpenOnClickAndWriteTheirTag)
{
    g.SetColWidths(2, 320);
    g.SetRowHeights(2, 40);
    const QString text = QStringLiteral(
        "Name <CONTROL TYPE=\"EDIT\" ID=\"n\" VALUE=\"old\" WIDTH=\"60\"> "
        "<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"FALSE\" WIDTH=\"15\"> "
        "<CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"a\" WIDTH=\"60\"> end");
    g.SetCells(2, 2, text);
    QStringList done, picked;
    g.OnControlEditDone = [&](TExtStringGrid*, int r, int c, const QString& id, const QString& type,
                              const QString& v) { done << QStringLiteral("%1,%2 %3 %4 %5").arg(r).arg(c).arg(id, type, v); };
    g.OnControlComboList = [](TExtStringGrid*, int, int, const QString&, const QString&, const QString&,
                              QStringList& values, bool& edit, int&) {
        values = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        edit = false;
    };
    g.OnControlComboSelect = [&](TExtStringGrid*, int r, int c, int index, const QString& id, const QString& v) {
        picked << QStringLiteral("%1,%2 %3 %4 %5").arg(r).arg(c).arg(index).arg(id, v);
    };
    QWidget* vp = g.Widget()->viewport();
    auto clickControl = [&](const QString& id) {
        TExtStringGrid::TAnchorHit hit;
        EXPECT_TRUE(g.AnchorAt(2, 2, -1, -1, hit, id));
        EXPECT_EQ(hit.CtrlID, id);
        QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(hit.CtrlRect.Left + 5, hit.CtrlRect.Top + 5));
        QCoreApplication::processEvents();
        return hit.CtrlRect;
    };

    // The edit opens over the control, with the control's value.
    const TRect nr = clickControl(QStringLiteral("n"));
    ASSERT_TRUE(g.ControlEditing());
    TControlEdit* edit = g.ControlEditWidget();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->geometry().topLeft(), QPoint(nr.Left + 1, nr.Top + 8));
    EXPECT_EQ(edit->text(), "old");
    EXPECT_EQ(g.Col(), 1) << "a click on a control leaves the current cell";
    // Typing and Enter write the value into the tag only.
    edit->selectAll();
    QTest::keyClicks(edit, "new");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(g.ControlEditing());
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(g.Widget()->hasFocus());
    EXPECT_EQ(g.ControlValues(2, 2, "n"), "new");
    EXPECT_EQ(g.ControlValues(2, 2, "c"), "FALSE");
    EXPECT_EQ(g.ControlValues(2, 2, "k"), "a");
    EXPECT_TRUE(g.Cells(2, 2).startsWith("Name <CONTROL"));
    EXPECT_TRUE(g.Cells(2, 2).endsWith("> end"));
    EXPECT_EQ(done, QStringList{"2,2 n EDIT new"});

    // Tab stores the value and opens the next editable control of the same
    // cell (the check box is skipped), although the cell is not current.
    done.clear();
    clickControl(QStringLiteral("n"));
    ASSERT_TRUE(edit->hasFocus());
    edit->selectAll();
    QTest::keyClicks(edit, "tab");
    QTest::keyClick(edit, Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(g.ControlValues(2, 2, "n"), "tab");
    ASSERT_TRUE(g.ControlEditing());
    EXPECT_EQ(g.ControlEditID(), "k");
    TControlCombo* combo = g.ControlComboWidget();
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isVisible());
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(combo->Items(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(combo->Text(), "a");
    EXPECT_EQ(combo->Style(), TComboStyle::csDropDownList);
    // A pick from the dropped-down list reports the item; leaving the combo
    // writes it into the tag.
    ASSERT_TRUE(combo->DroppedDown());
    QWidget* list = combo->view();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(picked, QStringList{"2,2 1 k b"});
    EXPECT_TRUE(g.ControlEditing()) << "the pick alone does not close the combo";
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_FALSE(g.ControlEditing());
    EXPECT_FALSE(combo->isVisible());
    EXPECT_EQ(g.ControlValues(2, 2, "k"), "b");
    EXPECT_EQ(g.ControlValues(2, 2, "n"), "tab");
    EXPECT_EQ(done, (QStringList{"2,2 n EDIT tab", "2,2 k COMBO b"}));

    // Tab in the last control gives the grid the focus.
    g.EditCellControl(2, 2, QStringLiteral("n"));
    ASSERT_EQ(g.ControlEditID(), "k");
    combo->SetDroppedDown(false);
    // The closed list hands the activation back to the window.
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    ASSERT_TRUE(combo->hasFocus());
    QTest::keyClick(combo, Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_FALSE(g.ControlEditing());
    EXPECT_TRUE(g.Widget()->hasFocus());
    // By key the first editable control opens for an empty ID; a cell
    // without controls gives the grid the focus.
    g.EditCellControl(2, 2, QString());
    EXPECT_TRUE(g.ControlEditing());
    EXPECT_EQ(g.ControlEditID(), "n");
    EXPECT_TRUE(edit->hasFocus());
    g.StopControlEdit();
    g.EditCellControl(3, 3, QString());
    EXPECT_FALSE(g.ControlEditing());
    EXPECT_TRUE(g.Widget()->hasFocus());
}

// With the text editor open, a key that reaches the grid's window and that
// the editor ignores climbs back to the grid: it ends there (it used to be
// handed to the editor again and again until the stack overflowed).
TEST_F(ControlsWindow, KeyTheOpenEditorIgnoresEndsAtTheGrid)
{
    g.ShowInplaceEdit();
    ASSERT_TRUE(g.EditorMode());
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    QTest::keyClick(g.Widget(), Qt::Key_F7);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(g.Cells(1, 1), "B1");
}

// Enter and F2 on a cell whose mini-HTML holds inline controls open its
// first editable control; they never open the text editor on the raw tags,
// and typed characters do not reach such a cell.
TEST_F(ControlsWindow, EnterAndF2OpenTheFirstInlineControl)
{
    g.SetColWidths(1, 320);
    g.SetRowHeights(1, 40);
    const QString text = QStringLiteral(
        "<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"FALSE\" WIDTH=\"15\"> "
        "Key <CONTROL TYPE=\"PASSWORD\" ID=\"p\" VALUE=\"\" WIDTH=\"60\"> "
        "<CONTROL TYPE=\"EDIT\" ID=\"n\" VALUE=\"x\" WIDTH=\"60\">");
    g.SetCells(1, 1, text);
    int keyPresses = 0;
    g.OnKeyPress = [&](TCustomGrid*, QChar&) { ++keyPresses; };
    QTest::keyClick(g.Widget(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_FALSE(g.EditMode()) << "no text editor on the tags";
    ASSERT_TRUE(g.ControlEditing());
    EXPECT_EQ(g.ControlEditID(), "p") << "the check box is not an editable control";
    TControlEdit* edit = g.ControlEditWidget();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(keyPresses, 0) << "the key went no further";
    // A password control shows a star for each character and stores the
    // plain text.
    QTest::keyClicks(edit, "abc");
    EXPECT_EQ(edit->displayText(), "***");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(g.ControlEditing());
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.ControlValues(1, 1, "p"), "abc");
    EXPECT_TRUE(g.Widget()->hasFocus());
    // F2 opens it again; the next control is a plain edit.
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.ControlEditing());
    EXPECT_EQ(g.ControlEditID(), "p");
    QTest::keyClick(edit, Qt::Key_Tab);
    QCoreApplication::processEvents();
    ASSERT_TRUE(g.ControlEditing());
    EXPECT_EQ(g.ControlEditID(), "n");
    EXPECT_EQ(edit->text(), "x");
    EXPECT_EQ(edit->displayText(), "x") << "only the password control masks";
    g.StopControlEdit();
    // Typing on the cell changes nothing.
    g.Widget()->setFocus();
    QTest::keyClicks(g.Widget(), "q");
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.ControlValues(1, 1, "n"), "x");
    // A cell without controls still opens its text editor on Enter.
    g.SetCol(2);
    QTest::keyClick(g.Widget(), Qt::Key_Return);
    EXPECT_TRUE(g.EditMode());
    EXPECT_FALSE(g.ControlEditing());
}

// The inline combo's list shows the drop-down count of items that
// OnControlComboList asks for.
TEST_F(ControlsWindow, InlineComboListShowsTheDropCountOfItems)
{
    g.SetColWidths(1, 320);
    g.SetRowHeights(1, 40);
    g.SetCells(1, 1, QStringLiteral("<CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"v0\" WIDTH=\"80\">"));
    int asked = 0;
    g.OnControlComboList = [&](TExtStringGrid*, int, int, const QString&, const QString&, const QString&,
                               QStringList& values, bool&, int& dropCount) {
        EXPECT_EQ(dropCount, 8) << "eight by default";
        for (int i = 0; i < 20; ++i) values << QStringLiteral("v%1").arg(i);
        dropCount = asked++ == 0 ? 5 : 30;
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        g.EditCellControl(1, 1, QString());
        TControlCombo* combo = g.ControlComboWidget();
        ASSERT_NE(combo, nullptr);
        ASSERT_TRUE(combo->DroppedDown());
        QAbstractItemView* list = combo->view();
        const int rowHeight = list->sizeHintForRow(0);
        ASSERT_GT(rowHeight, 0);
        const int shown = list->viewport()->height() / rowHeight;
        if (round == 0) {
            EXPECT_LE(shown, 5);
            EXPECT_GE(shown, 4);
        } else {
            EXPECT_GT(shown, 5) << "a larger count shows more";
        }
        combo->SetDroppedDown(false);
        g.StopControlEdit();
    }
}

// The in-cell scroll bar: shown over a scroll-bar cell whose page is below
// its range, stepping the cell's position (lines by 10, pages by 100, never
// past its ends) and reporting each change; kept at the current cell's edge
// and shrunk to nothing when that cell scrolls out of view.
TEST_F(ControlsWindow, InCellScrollBarStepsTheCellsPosition)
{
    g.SetColWidths(2, 120);
    g.SetRowHeights(2, 60);
    g.AddScrollBar(2, 2, false);
    g.SetScrollProp(2, 2, {20, 100});
    std::vector<std::tuple<int, int, int, int, int>> seen;
    g.OnScrollCell = [&](TExtStringGrid*, int c, int r, int pos, int mn, int mx) { seen.emplace_back(c, r, pos, mn, mx); };
    g.SetCol(2);
    g.SetRow(2);
    g.ShowCellScrollBar(2, 2);
    QScrollBar* bar = g.CellScrollBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isVisible());
    const TRect cr = g.CellRect(2, 2);
    const int lw = g.GridLineWidth();
    EXPECT_EQ(bar->geometry(), QRect(cr.Right - 17 - lw, cr.Top + lw, 17, cr.Height() - 2 * lw));
    struct Step {
        QAbstractSlider::SliderAction action;
        int pos;
    };
    const Step steps[] = {
        {QAbstractSlider::SliderSingleStepAdd, 10}, {QAbstractSlider::SliderSingleStepAdd, 20},
        {QAbstractSlider::SliderPageStepAdd, 80},   {QAbstractSlider::SliderSingleStepAdd, 80},
        {QAbstractSlider::SliderSingleStepSub, 70}, {QAbstractSlider::SliderPageStepSub, 0},
    };
    for (const Step& s : steps) {
        bar->triggerAction(s.action);
        EXPECT_EQ(g.GetScrollPosition(2, 2), s.pos) << int(s.action);
        EXPECT_EQ(bar->value(), s.pos);
    }
    using T = std::tuple<int, int, int, int, int>;
    EXPECT_EQ(seen, (std::vector<T>{T{2, 2, 10, 0, 100}, T{2, 2, 20, 0, 100}, T{2, 2, 80, 0, 100},
                                    T{2, 2, 70, 0, 100}, T{2, 2, 0, 0, 100}}))
        << "only changes are reported";
    // Scrolling the current cell out of view shrinks the bar to nothing.
    g.SetTopRow(10);
    EXPECT_EQ(bar->height(), 0);
    g.SetTopRow(1);
    EXPECT_EQ(bar->geometry().top(), g.CellRect(2, 2).Top);
    EXPECT_EQ(bar->height(), g.CellRect(2, 2).Height());
    // A cell without a scroll bar, or whose page covers its range, hides it.
    g.ShowCellScrollBar(1, 2);
    EXPECT_FALSE(bar->isVisible());
    g.SetScrollProp(2, 2, {100, 100});
    g.ShowCellScrollBar(2, 2);
    EXPECT_FALSE(bar->isVisible());
}
