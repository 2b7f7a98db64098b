// What the grid repaints when it gains or loses the focus, and what a press
// on the fixed cells does to the selection, the focus and the open editor.
#include "ShownGrid.h"
#include "grid/ExtGridEditors.h"

#include <QApplication>
#include <QLineEdit>
#include <algorithm>

namespace {

class FocusRepaint : public ShownGrid {
protected:
    void SetUp() override
    {
        FillCellNames(g, 5, 5);
        other = new QLineEdit(&host);
        layout->addWidget(other);
        ShowGrid();
        g.Widget()->RepaintObserver = [this](const TRect& r) { repainted.push_back(r); };
    }
    void TearDown() override { g.Widget()->RepaintObserver = nullptr; }
    bool Repainted(const TRect& r) const { return std::find(repainted.begin(), repainted.end(), r) != repainted.end(); }
    void Leave()
    {
        other->setFocus();
        QApplication::processEvents();
    }
    void Enter()
    {
        g.Widget()->setFocus();
        QApplication::processEvents();
    }
    // The area of cells (c1, r) .. (c2, r).
    TRect Span(int c1, int c2, int r) const
    {
        const TRect a = g.CellRect(c1, r), b = g.CellRect(c2, r);
        return TRect{a.Left, a.Top, b.Right, b.Bottom};
    }
    QLineEdit* other = nullptr;
    std::vector<TRect> repainted;
};

} // namespace

TEST_F(FocusRepaint, MergedCurrentCellIsRepaintedOverItsWholeSpan)
{
    for (const bool merged : {false, true}) {
        SCOPED_TRACE(merged);
        if (merged) g.MergeCells(1, 1, 3, 1);
        g.SetCol(1);
        g.SetRow(1);
        repainted.clear();
        Leave();
        EXPECT_EQ(Repainted(Span(1, 3, 1)), merged) << "on focus loss";
        repainted.clear();
        Enter();
        EXPECT_EQ(Repainted(Span(1, 3, 1)), merged) << "on focus gain";
    }
}

TEST_F(FocusRepaint, PressedInlineButtonIsLetGoWhenTheFocusLeaves)
{
    g.SetOptions(g.Options().With(goEditing));
    g.SetColWidths(2, 160);
    g.SetCells(2, 2, QStringLiteral("<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"Go\" WIDTH=\"60\">"));
    QPoint at(-1, -1);
    const TRect cell = g.CellRect(2, 2);
    for (int y = cell.Top; y < cell.Bottom && at.x() < 0; ++y)
        for (int x = cell.Left; x < cell.Right && at.x() < 0; ++x) {
            TExtStringGrid::TAnchorHit hit;
            if (g.AnchorAt(2, 2, x, y, hit) && hit.CtrlType == QLatin1String("BUTTON")) at = QPoint(x, y);
        }
    ASSERT_GE(at.x(), 0);
    int controlClicks = 0;
    g.OnControlClick = [&](TExtStringGrid*, int, int, const QString&, const QString&, const QString&) {
        ++controlClicks;
    };
    for (const bool pressed : {false, true}) {
        SCOPED_TRACE(pressed);
        Enter();
        if (pressed) QTest::mousePress(g.Widget()->viewport(), Qt::LeftButton, {}, at);
        repainted.clear();
        Leave();
        EXPECT_EQ(Repainted(cell), pressed) << "the button is drawn up again";
        repainted.clear();
        if (pressed) {
            // The button is up already: the release has nothing to let go.
            QTest::mouseRelease(g.Widget()->viewport(), Qt::LeftButton, {}, at);
            EXPECT_FALSE(Repainted(cell));
        }
    }
    EXPECT_EQ(controlClicks, 1);
}

// --- whole rows, columns or the grid chosen on the fixed cells ----------------------

TEST_F(FocusRepaint, SelectingFromTheFixedCellsCommitsTheEditorAndReportsTheExit)
{
    struct Case {
        const char* name;
        QPoint fixedCell;
        TGridRect selection;
    } cases[] = {
        {"row", {0, 3}, {1, 3, 4, 3}},
        {"column", {2, 0}, {2, 1, 2, 4}},
        {"all", {0, 0}, {1, 1, 4, 4}},
    };
    g.SetOptions(g.Options().With(goEditing).With(goRangeSelect));
    g.MouseActions().SetRowSelect(true);
    g.MouseActions().SetColSelect(true);
    g.MouseActions().SetAllSelect(true);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        int exits = 0;
        g.OnExit = [&](TCustomGrid*) { ++exits; };
        Enter();
        g.SetCol(1);
        g.SetRow(1);
        QTest::keyClick(g.Widget(), Qt::Key_F2);
        ASSERT_TRUE(g.EditorMode());
        g.NormalEdit()->setText(QStringLiteral("typed"));
        const TRect fc = g.CellRect(k.fixedCell.x(), k.fixedCell.y());
        const QPoint p((fc.Left + fc.Right) / 2, (fc.Top + fc.Bottom) / 2);
        QTest::mouseMove(g.Widget()->viewport(), p);
        g.MouseMove({}, p.x(), p.y());
        QTest::mouseClick(g.Widget()->viewport(), Qt::LeftButton, {}, p);
        EXPECT_EQ(g.Selection(), k.selection);
        EXPECT_FALSE(g.EditorMode());
        EXPECT_EQ(g.Cells(1, 1), QStringLiteral("typed"));
        EXPECT_EQ(exits, 1);
        EXPECT_TRUE(g.Widget()->hasFocus());
        EXPECT_FALSE(g.SelHidden());
        EXPECT_TRUE(g.ShowSel()) << "the new selection shows";
        g.SetCells(1, 1, QStringLiteral("B1"));
        g.OnExit = nullptr;
    }
}
