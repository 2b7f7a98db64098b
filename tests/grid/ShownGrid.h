#pragma once
// A grid in a shown, active window: the fixture of the tests that drive the
// grid and its editors with real keys, clicks and focus changes.
#include "grid/ExtGrid.h"
#include "platform/GridsWidget.h"

#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

// Gives every cell its name: column letter and row number ("B1").
inline void FillCellNames(TExtStringGrid& g, int cols, int rows)
{
    g.SetColCount(cols);
    g.SetRowCount(rows);
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r) g.SetCells(c, r, QStringLiteral("%1%2").arg(QChar('A' + c)).arg(r));
}

template <class Grid = TExtStringGrid>
class ShownGridTest : public ::testing::Test {
protected:
    // Puts the grid's window at the top of the host (widgets added to
    // `layout` before stay below it), shows and activates the host, gives
    // the grid the focus and makes cell (1, 1) current.
    void ShowGrid(int width = 420, int height = 200)
    {
        layout->insertWidget(0, g.CreateWnd(&host));
        host.resize(width, height);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        g.Widget()->setFocus();
        g.SetCol(1);
        g.SetRow(1);
    }
    QWidget host;
    QVBoxLayout* layout = new QVBoxLayout(&host);
    Grid g;
};

using ShownGrid = ShownGridTest<>;
