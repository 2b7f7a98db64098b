// The editors of fixed cells and of inline form controls, the controls
// placed in cells, and a special editor closed by scrolling.
#include "grid/ExtGrid.h"
#include "grid/ExtGridEditors.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class ControlsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        g.SetColCount(4);
        g.SetRowCount(30);
        g.SetOptions(g.Options().With(goEditing));
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 30; ++r) g.SetCells(c, r, QStringLiteral("%1%2").arg(QChar('A' + c)).arg(r));
        auto* lay = new QVBoxLayout(&host);
        lay->addWidget(g.CreateWnd(&host));
        other = new QLineEdit(&host);
        lay->addWidget(other);
        host.resize(420, 200);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        g.Widget()->setFocus();
        g.SetCol(1);
        g.SetRow(1);
    }
    void Leave()
    {
        other->setFocus();
        QCoreApplication::processEvents();
    }
    QWidget host;
    QLineEdit* other = nullptr;
    TExtStringGrid g;
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
