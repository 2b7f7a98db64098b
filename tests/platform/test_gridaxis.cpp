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

namespace {

// A new axis with the same sections and settings: it sums every position
// from scratch on its first query.
TGridAxis Fresh(const TGridAxis& a)
{
    TGridAxis f;
    f.SetCount(a.Count());
    for (int i = 0; i < a.Count(); ++i) {
        f.SetSize(i, a.Size(i));
        f.SetHidden(i, a.IsHidden(i));
    }
    f.SetLineWidth(a.LineWidth());
    f.SetFixedCount(a.FixedCount());
    f.SetFirst(a.First());
    f.SetClientExtent(a.ClientExtent());
    return f;
}

// One query, picked by q, answered by the changed axis and by a fresh one.
void ExpectSameAnswer(const TGridAxis& a, int q, int arg)
{
    const TGridAxis f = Fresh(a);
    const int n = std::max(1, a.Count());
    switch (q % 7) {
    case 0: EXPECT_EQ(a.SectionStart(arg % n), f.SectionStart(arg % n)) << "start " << arg % n; break;
    case 1: EXPECT_EQ(a.IndexAt(arg % 2000), f.IndexAt(arg % 2000)) << "at " << arg % 2000; break;
    case 2: EXPECT_EQ(a.VisibleCount(), f.VisibleCount()); break;
    case 3: EXPECT_EQ(a.MaxFirst(), f.MaxFirst()); break;
    case 4: EXPECT_EQ(a.HiddenCount(), f.HiddenCount()); break;
    case 5:
        EXPECT_EQ(a.VisualIndex(arg % n), f.VisualIndex(arg % n));
        EXPECT_EQ(a.LogicalIndex(arg % n), f.LogicalIndex(arg % n));
        break;
    default: EXPECT_EQ(a.FixedExtent(), f.FixedExtent()); break;
    }
}

void ExpectSameEverywhere(const TGridAxis& a)
{
    const TGridAxis f = Fresh(a);
    for (int i = -1; i <= a.Count(); ++i) {
        EXPECT_EQ(a.SectionStart(i), f.SectionStart(i)) << "start " << i;
        EXPECT_EQ(a.VisualIndex(i), f.VisualIndex(i)) << "visual " << i;
        EXPECT_EQ(a.LogicalIndex(i), f.LogicalIndex(i)) << "logical " << i;
    }
    for (int p = -1; p < 1200; p += 3) EXPECT_EQ(a.IndexAt(p), f.IndexAt(p)) << "at " << p;
    EXPECT_EQ(a.VisibleCount(), f.VisibleCount());
    EXPECT_EQ(a.MaxFirst(), f.MaxFirst());
    EXPECT_EQ(a.HiddenCount(), f.HiddenCount());
    EXPECT_EQ(a.FixedExtent(), f.FixedExtent());
}

} // namespace

// Changes at the start, in the middle and at the end, each after the
// positions were read up to some point, agree with positions summed anew.
TEST(GridAxis, ChangesAfterPartReadsAgreeWithAFreshAxis)
{
    struct Step {
        const char* what;
        void (*run)(TGridAxis&);
    };
    const Step steps[] = {
        {"grow at the end", [](TGridAxis& a) { a.SetCount(a.Count() + 7); }},
        {"shrink at the end", [](TGridAxis& a) { a.SetCount(a.Count() - 5); }},
        {"count to 0", [](TGridAxis& a) { a.SetCount(0); }},
        {"count back from 0", [](TGridAxis& a) { a.SetCount(30); }},
        {"insert at the start", [](TGridAxis& a) { a.Insert(0, 3); }},
        {"insert in the middle", [](TGridAxis& a) { a.Insert(a.Count() / 2, 4); }},
        {"insert at the end", [](TGridAxis& a) { a.Insert(a.Count(), 2); }},
        {"remove at the start", [](TGridAxis& a) { a.Remove(0, 2); }},
        {"remove in the middle", [](TGridAxis& a) { a.Remove(a.Count() / 2, 3); }},
        {"remove at the end", [](TGridAxis& a) { a.Remove(a.Count() - 1, 1); }},
        {"resize the first", [](TGridAxis& a) { a.SetSize(0, 33); }},
        {"resize in the middle", [](TGridAxis& a) { a.SetSize(a.Count() / 2, 5); }},
        {"resize the last", [](TGridAxis& a) { a.SetSize(a.Count() - 1, 71); }},
        {"hide the first", [](TGridAxis& a) { a.SetHidden(0, true); }},
        {"hide in the middle", [](TGridAxis& a) { a.SetHidden(a.Count() / 2, true); }},
        {"hide the last", [](TGridAxis& a) { a.SetHidden(a.Count() - 1, true); }},
        {"show the first", [](TGridAxis& a) { a.SetHidden(0, false); }},
        {"move last to first", [](TGridAxis& a) { a.Move(a.Count() - 1, 0); }},
        {"move first to middle", [](TGridAxis& a) { a.Move(0, a.Count() / 2); }},
        {"line width", [](TGridAxis& a) { a.SetLineWidth(3); }},
        {"reset sizes", [](TGridAxis& a) { a.ResetSizes(); }},
        {"shrink to 1 and grow", [](TGridAxis& a) {
             a.SetCount(1);
             a.SetCount(12);
         }},
    };
    TGridAxis a;
    a.SetDefaultSize(20);
    a.SetCount(40);
    for (int i = 0; i < 40; ++i) a.SetSize(i, 10 + (i * 7) % 23);
    a.SetFixedCount(2);
    a.SetFirst(5);
    a.SetClientExtent(300);
    // Read partway (a position in the middle) before each change, then
    // compare every answer. New sections differ in size from the old ones.
    int size = 11;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        a.SetDefaultSize(size += 3);
        (void)a.SectionStart(a.Count() / 2);
        s.run(a);
        a.Clamp();
        ExpectSameEverywhere(a);
    }
}

// Random changes, each followed by a few random reads, compared with an
// axis that sums all positions anew.
TEST(GridAxis, RandomChangesAndReadsAgreeWithAFreshAxis)
{
    std::mt19937 rng(1234);
    TGridAxis a;
    a.SetDefaultSize(15);
    a.SetCount(60);
    a.SetFixedCount(1);
    a.SetClientExtent(400);
    for (int round = 0; round < 3000; ++round) {
        const int n = a.Count();
        const int at = n > 0 ? int(rng() % unsigned(n)) : 0;
        switch (rng() % 9) {
        case 0: a.SetCount(int(rng() % 120)); break;
        case 1: a.Insert(int(rng() % unsigned(n + 1)), 1 + int(rng() % 5)); break;
        case 2: a.Remove(at, 1 + int(rng() % 5)); break;
        case 3: a.SetSize(at, int(rng() % 40)); break;
        case 4: a.SetHidden(at, rng() % 2 == 0); break;
        case 5: a.Move(at, n > 0 ? int(rng() % unsigned(n)) : 0); break;
        case 6: a.SetLineWidth(int(rng() % 3)); break;
        case 7: a.SetFirst(int(rng() % unsigned(n + 1))); break;
        default: a.SetDefaultSize(5 + int(rng() % 30)); break;
        }
        const int reads = int(rng() % 3);
        for (int k = 0; k < reads; ++k) {
            SCOPED_TRACE(testing::Message() << "round " << round);
            ExpectSameAnswer(a, int(rng() % 7), int(rng() % 100000));
        }
        if (HasFailure()) break;
    }
    ExpectSameEverywhere(a);
}
