#include "platform/GridAxis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// The axis's answers worked out the plain way, walking every section.
struct Reference {
    const TGridAxis& a;
    int Ext(int i) const { return a.IsHidden(i) ? 0 : a.Size(i) + a.LineWidth(); }
    int FixedExtent() const
    {
        int x = 0;
        for (int i = 0; i < std::min(a.FixedCount(), a.Count()); ++i) x += Ext(i);
        return x;
    }
    int Start(int i) const
    {
        if (i < a.FixedCount()) {
            int x = 0;
            for (int k = 0; k < i; ++k) x += Ext(k);
            return x;
        }
        int x = FixedExtent();
        if (i >= a.First())
            for (int k = a.First(); k < i; ++k) x += Ext(k);
        else
            for (int k = i; k < a.First(); ++k) x -= Ext(k);
        return x;
    }
    int IndexAt(int p) const
    {
        if (p < 0) return -1;
        for (int i = 0; i < a.Count(); ++i) {
            if (i >= a.FixedCount() && i < a.First()) continue;
            if (a.IsHidden(i)) continue;
            if (p >= Start(i) && p < Start(i) + Ext(i)) return i;
        }
        return -1;
    }
    int VisibleCount() const
    {
        if (a.Count() <= a.FixedCount()) return 0;
        int x = FixedExtent(), n = 0;
        for (int i = a.First(); i < a.Count(); ++i) {
            if (a.IsHidden(i)) continue;
            x += a.Size(i);
            if (x > a.ClientExtent()) break;
            x += a.LineWidth();
            ++n;
        }
        return std::max(1, n);
    }
};

TGridAxis MakeAxis(int count, int fixed, int first, int client, unsigned seed, bool hide)
{
    TGridAxis a;
    a.SetDefaultSize(20);
    a.SetCount(count);
    std::mt19937 rng(seed);
    for (int i = 0; i < count; ++i) a.SetSize(i, int(rng() % 40));
    if (hide)
        for (int i = fixed; i < count; i += 7) a.SetHidden(i, true);
    a.SetFixedCount(fixed);
    a.SetFirst(first);
    a.SetClientExtent(client);
    return a;
}

} // namespace

TEST(GridAxis, AgreesWithAWalkOverEverySection)
{
    struct Case {
        int count, fixed, first, client, line;
        bool hide;
    };
    const Case cases[] = {
        {50, 0, 0, 300, 1, false}, {50, 2, 10, 300, 1, false}, {50, 2, 10, 300, 0, true},
        {50, 3, 3, 5, 2, true},    {1, 0, 0, 100, 1, false},   {200, 1, 150, 800, 1, true},
    };
    for (const Case& c : cases) {
        TGridAxis a = MakeAxis(c.count, c.fixed, c.first, c.client, unsigned(c.count + c.first), c.hide);
        a.SetLineWidth(c.line);
        const Reference ref{a};
        SCOPED_TRACE(testing::Message() << "count " << c.count << " first " << c.first << " line " << c.line);
        EXPECT_EQ(a.FixedExtent(), ref.FixedExtent());
        for (int i = 0; i < c.count; ++i) EXPECT_EQ(a.SectionStart(i), ref.Start(i)) << "section " << i;
        for (int p = -2; p < c.client + 40; ++p) EXPECT_EQ(a.IndexAt(p), ref.IndexAt(p)) << "at " << p;
        EXPECT_EQ(a.VisibleCount(), ref.VisibleCount());
    }
}

TEST(GridAxis, HundredThousandRowsAnswerAtAnyScrollPosition)
{
    TGridAxis a;
    a.SetDefaultSize(24);
    a.SetCount(100000);
    a.SetFixedCount(1);
    a.SetClientExtent(24 * 10 + 10);
    a.SetSize(50000, 100);
    // After scrolling to the end, the last row is the last one shown whole.
    EXPECT_TRUE(a.ScrollInView(99999));
    EXPECT_EQ(a.First(), 99999 - 8);
    EXPECT_EQ(a.IndexAt(a.SectionStart(99999) + 3), 99999);
    EXPECT_EQ(a.MaxFirst(), a.First());
    // A tall row in the middle: scrolling to it shows it whole.
    EXPECT_TRUE(a.ScrollInView(50000));
    EXPECT_EQ(a.First(), 50000);
    EXPECT_EQ(a.SectionStart(50001), a.FixedExtent() + 101);
    // 101 for it, then 25 a row: five more fit in the 225 pixels left.
    EXPECT_EQ(a.VisibleCount(), 6);
    EXPECT_EQ(a.IndexAt(a.FixedExtent() + 100), 50000);
    EXPECT_EQ(a.IndexAt(a.FixedExtent() + 101), 50001);
    // Sections before First are scrolled away; the fixed one stays.
    EXPECT_FALSE(a.IsVisible(49999));
    EXPECT_TRUE(a.IsVisible(0));
    EXPECT_EQ(a.IndexAt(5), 0);
}

TEST(GridAxis, HiddenSectionsTakeNoRoomAndHaveNoVisualIndex)
{
    TGridAxis a;
    a.SetDefaultSize(10);
    a.SetCount(6);
    a.SetClientExtent(100);
    a.SetHidden(2, true);
    a.SetHidden(4, true);
    EXPECT_EQ(a.HiddenCount(), 2);
    EXPECT_EQ(a.SectionStart(3), 22);
    EXPECT_FALSE(a.IsVisible(2));
    EXPECT_EQ(a.IndexAt(22), 3);
    EXPECT_EQ(a.VisualIndex(3), 2);
    EXPECT_EQ(a.VisualIndex(2), -1);
    EXPECT_EQ(a.LogicalIndex(2), 3);
    EXPECT_EQ(a.LogicalIndex(3), 5);
    EXPECT_EQ(a.LogicalIndex(4), -1);
    // Moving and removing carry the hidden state with the section.
    a.Move(2, 0);
    EXPECT_TRUE(a.IsHidden(0));
    EXPECT_FALSE(a.IsHidden(2));
    a.Remove(0, 1);
    EXPECT_EQ(a.HiddenCount(), 1);
    EXPECT_TRUE(a.IsHidden(3));
    // Shown again, a section has its old size.
    a.SetSize(3, 17);
    a.SetHidden(3, false);
    EXPECT_EQ(a.SectionStart(4), 3 * 11 + 18);
}

TEST(GridAxis, SizingEdgeIsFoundOnShownSectionsOnly)
{
    TGridAxis a;
    a.SetDefaultSize(50);
    a.SetCount(10);
    a.SetFixedCount(1);
    a.SetFirst(4);
    a.SetClientExtent(200);
    EXPECT_EQ(a.SizingEdgeAt(50, 3), 0);
    // Column 4 follows the fixed column: its right edge is at 51 + 50.
    EXPECT_EQ(a.SizingEdgeAt(103, 3), 4);
    EXPECT_EQ(a.SizingEdgeAt(75, 3), -1);
    EXPECT_EQ(a.SizingEdgeAt(1000, 3), -1);
}
