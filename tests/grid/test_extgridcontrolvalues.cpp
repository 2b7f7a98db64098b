#include "grid/ExtGrid.h"

#include <gtest/gtest.h>

TEST(ExtGridControlValues, ReadAndRewriteTheTagOfOneControl)
{
    TExtStringGrid g;
    const QString text = "Name <CONTROL TYPE=\"EDIT\" ID=\"e1\" VALUE=\"a&amp;b\" WIDTH=\"40\">"
                         " <CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"TRUE\" WIDTH=\"16\"> end";
    g.SetCells(1, 2, text);
    EXPECT_EQ(g.ControlValues(1, 2, "e1"), "a&b");
    EXPECT_EQ(g.ControlValues(1, 2, "c1"), "TRUE");
    EXPECT_EQ(g.ControlValues(1, 2, "zz"), "");
    EXPECT_EQ(g.ControlValues(2, 2, "e1"), "");

    g.SetControlValues(1, 2, "c1", "FALSE");
    EXPECT_EQ(g.ControlValues(1, 2, "c1"), "FALSE");
    EXPECT_EQ(g.ControlValues(1, 2, "e1"), "a&b");
    EXPECT_TRUE(g.Cells(1, 2).startsWith("Name <CONTROL TYPE=\"EDIT\" ID=\"e1\""));
    EXPECT_TRUE(g.Cells(1, 2).endsWith("> end"));

    g.SetControlValues(1, 2, "e1", "x<y");
    EXPECT_EQ(g.ControlValues(1, 2, "e1"), "x<y");
    EXPECT_TRUE(g.Cells(1, 2).contains("VALUE=\"x&lt;y\""));

    // No such control: the text stays as it is.
    const QString before = g.Cells(1, 2);
    g.SetControlValues(1, 2, "zz", "v");
    g.SetCells(3, 3, "plain");
    g.SetControlValues(3, 3, "e1", "v");
    EXPECT_EQ(g.Cells(1, 2), before);
    EXPECT_EQ(g.Cells(3, 3), "plain");
}
