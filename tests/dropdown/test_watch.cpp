#include "dropdown/DropDownTestSupport.h"
#include "controls/ExtDropDownDraw.h"
#include "dropdown/ExtWatch.h"
#include "platform/Exception.h"
#include "platform/Grids.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

TDateTime TimeOf(int h, int m, int s = 0) { return EncodeTimeParts({h, m, s, 0}); }

QString HM(TDateTime t)
{
    const TTimeParts p = DecodeTimeParts(t);
    return QStringLiteral("%1:%2:%3").arg(p.Hour, 2, 10, QChar('0')).arg(p.Minute, 2, 10, QChar('0')).arg(p.Second, 2, 10, QChar('0'));
}

void Click(QWidget& w, int x, int y)
{
    const QPoint p(x, y);
    QMouseEvent press(QEvent::MouseButtonPress, p, w.mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w.mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    QApplication::sendEvent(&w, &release);
}

struct Watch : ::testing::Test {
    TExtWatch watch;
    int changes = 0;
    void SetUp() override
    {
        watch.OnChange = [this](TExtWatch* sender) {
            EXPECT_EQ(sender, &watch);
            ++changes;
        };
    }
    // Runs the hand animation to its end (bounded).
    void Finish()
    {
        for (int i = 0; i < 500 && watch.HandAnimating(); ++i) watch.AnimationTick();
        for (int i = 0; i < 500 && watch.AMPMAnimating(); ++i) watch.AMPMAnimationTick();
        ASSERT_FALSE(watch.HandAnimating());
        ASSERT_FALSE(watch.AMPMAnimating());
    }
};

} // namespace

TEST_F(Watch, FaceSquareRadiusAndAMPMBox)
{
    EXPECT_EQ(watch.width(), 180);
    EXPECT_EQ(watch.GetWatchRect(), Rect(10, 10, 170, 170));
    EXPECT_EQ(WatchCentre(watch.GetWatchRect()), QPoint(90, 90));
    EXPECT_EQ(WatchSquare(200, 120, 0), Rect(50, 10, 150, 110));
    EXPECT_EQ(WatchSquare(200, 120, 60), Rect(70, 30, 130, 90));
    EXPECT_EQ(WatchSquare(200, 120, 500), Rect(40, 0, 160, 120));

    // The AM/PM box: "AM" extent plus 8 wide, under the centre by (r - h) / 3.
    QImage probe(1, 1, QImage::Format_ARGB32);
    TCanvas canvas(&probe);
    canvas.SetFont(watch.Appearance().AMPMFont());
    const QSize ext = TextExtent(canvas, "AM");
    const TRect box = watch.GetAMPMRect();
    EXPECT_EQ(box.Width(), ext.width() + 8);
    EXPECT_EQ(box.Height(), ext.height());
    EXPECT_EQ(box.Left, 90 - (ext.width() + 8) / 2);
    EXPECT_EQ(box.Top, 90 + int(std::nearbyint((80.0 - ext.height()) / 3)));
    watch.SetShowAMPM(false);
    EXPECT_EQ(watch.GetAMPMRect(), Rect(-1, -1, -1, -1));
}

TEST_F(Watch, TimeAtAPoint)
{
    struct Row {
        int x, y, minute, hourAM;
    };
    const Row rows[] = {
        {95, 20, 1, 0},    // just right of 12 o'clock
        {85, 20, 59, 0},   // just left of it: minute 59, whose hour rounds up to 12
        {170, 90, 15, 3},  // 3 o'clock
        {90, 170, 30, 6},  // 6 o'clock
        {10, 90, 45, 9},   // 9 o'clock
        {2, 2, 53, 11},    // the top-left corner, outside the face: 45 degrees rounds to 8 steps
        {90, 90, 23, 5},   // the centre itself counts as one pixel down and right (45 degrees)
        {160, 20, 7, 1},   // 45 degrees: 15 - round(7.5), halves to even
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.x << "," << r.y);
        EXPECT_EQ(watch.MinuteAtPos(r.x, r.y), r.minute);
        EXPECT_EQ(WatchHourAtPos(QPoint(90, 90), r.x, r.y, true), r.hourAM);
        EXPECT_EQ(WatchHourAtPos(QPoint(90, 90), r.x, r.y, false), r.hourAM + 12);
    }
}

TEST_F(Watch, ClicksSetHourInsideMinuteOutsideAndSwitchHalves)
{
    watch.SetAnimation(false);
    watch.SetTime(TimeOf(3, 20));
    Click(watch, 95, 30); // inside, right of the top: hour 0 in the AM half
    EXPECT_EQ(HM(watch.Time()), "00:20:00");
    Click(watch, 85, 30); // left of the top
    EXPECT_EQ(HM(watch.Time()), "00:20:00");
    EXPECT_EQ(changes, 1);
    Click(watch, 2, 2); // the corner: minute 53
    EXPECT_EQ(HM(watch.Time()), "00:53:00");

    // The AM/PM box moves to the other half and keeps the minute.
    const TRect box = watch.GetAMPMRect();
    Click(watch, (box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2);
    EXPECT_EQ(HM(watch.Time()), "12:53:00");
    EXPECT_FALSE(watch.AM());
    Click(watch, 95, 30); // in the PM half the top gives 12 (unchanged)
    Click(watch, 170 - 12, 90); // 3 o'clock inside the face: 15
    EXPECT_EQ(HM(watch.Time()), "15:53:00");
    EXPECT_EQ(changes, 4);
}

TEST_F(Watch, AMPMBoxAnimatesFrameByFrameWhenAnimationIsOn)
{
    watch.SetTime(TimeOf(9, 5));
    const TRect box = watch.GetAMPMRect();
    Click(watch, (box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2);
    EXPECT_TRUE(watch.AMPMAnimating());
    EXPECT_FALSE(watch.AM());
    EXPECT_EQ(HM(watch.Time()), "21:05:00"); // the hour moved at once
    EXPECT_EQ(changes, 1);
    int frames = 0;
    while (watch.AMPMAnimating() && frames < 100) {
        watch.AMPMAnimationTick();
        watch.Render();
        ++frames;
    }
    EXPECT_EQ(frames, box.Height() - 2);
    EXPECT_EQ(changes, 1);
}

TEST_F(Watch, KeysStepHourAndMinute)
{
    watch.SetAnimation(false);
    struct Row {
        int h, m, key, eh, em, changes;
    };
    const Row rows[] = {
        {10, 30, 'P', 22, 30, 1},     {22, 30, 'P', 22, 30, 0},      {22, 30, 'A', 10, 30, 1},     {10, 30, 'A', 10, 30, 0},
        {10, 30, VK_PRIOR, 11, 30, 1}, {23, 30, VK_PRIOR, 0, 30, 0}, {5, 30, VK_NEXT, 4, 30, 1},   {0, 30, VK_NEXT, 23, 30, 0},
        {5, 30, VK_HOME, 12, 30, 0},  {5, 30, VK_END, 5, 0, 1},      {5, 45, VK_END, 6, 0, 1},     {5, 10, VK_LEFT, 5, 9, 1},
        {5, 0, VK_LEFT, 4, 59, 0},    {0, 0, VK_LEFT, 23, 59, 0},    {5, 10, VK_RIGHT, 5, 11, 1},  {5, 59, VK_RIGHT, 6, 0, 1},
        {23, 59, VK_RIGHT, 0, 0, 1},  {5, 10, VK_UP, 5, 10, 0},      {5, 10, VK_DOWN, 5, 10, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.h << ":" << r.m << " key " << r.key);
        watch.SetTime(TimeOf(r.h, r.m));
        changes = 0;
        watch.HandleWatchKey(r.key);
        const TTimeParts p = DecodeTimeParts(watch.Time());
        EXPECT_EQ(p.Hour, r.eh);
        EXPECT_EQ(p.Minute, r.em);
        EXPECT_EQ(changes, r.changes);
        EXPECT_EQ(watch.AM(), r.eh < 12);
    }
}

TEST_F(Watch, AnimatedMinuteThroughTheTopEndsInTheNextHourWithOneChange)
{
    watch.SetTime(TimeOf(10, 45));
    watch.SetMinute(0);
    EXPECT_TRUE(watch.HandAnimating());
    EXPECT_EQ(HM(watch.Time()), "10:45:00");
    std::vector<int> seen;
    for (int i = 0; i < 100 && watch.HandAnimating(); ++i) {
        watch.AnimationTick();
        seen.push_back(DecodeTimeParts(watch.Time()).Minute);
    }
    EXPECT_FALSE(watch.HandAnimating());
    EXPECT_EQ(HM(watch.Time()), "11:00:00");
    EXPECT_EQ(changes, 1);
    // Forward through 59, never backward.
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), 47); // step round(15 / 10) = 2
    for (size_t i = 1; i + 1 < seen.size(); ++i) {
        if (seen[i] != 0) {
            EXPECT_GT(seen[i], seen[i - 1]);
        }
    }

    // An animated hour move ends on the target, in the other half.
    changes = 0;
    watch.SetHour(23);
    Finish();
    EXPECT_EQ(HM(watch.Time()), "23:00:00");
    EXPECT_FALSE(watch.AM());
    EXPECT_EQ(changes, 1);

    // Without animation the change is immediate.
    watch.SetAnimation(false);
    changes = 0;
    watch.SetHour(5);
    EXPECT_EQ(HM(watch.Time()), "05:00:00");
    EXPECT_EQ(changes, 1);
}

TEST_F(Watch, MinuteSixtyIsAnInvalidTime)
{
    watch.SetTime(TimeOf(8, 15));
    try {
        watch.SetMinute(60);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid time");
    }
    EXPECT_EQ(HM(watch.Time()), "08:15:00");
    EXPECT_EQ(changes, 0);
}

TEST_F(Watch, NumbersFollowTheTickMarks)
{
    TWatchAppearance& a = watch.Appearance();
    a.SetHourFontColor(0x00C000);
    a.SetHourFont(QFont("DejaVu Sans", 10));
    QImage probe(1, 1, QImage::Format_ARGB32);
    TCanvas canvas(&probe);
    canvas.SetFont(a.HourFont());
    const double R = 80 - a.BorderWidth() / 2;
    const int b = int(std::nearbyint(R - R * 0.9)) + 2;
    auto numberBox = [&](int hour) {
        const QSize ext = TextExtent(canvas, QString::number(hour));
        const QPoint p = WatchNumberPos(QPoint(90, 90), R, b, hour, ext);
        return Rect(p.x(), p.y(), p.x() + ext.width(), p.y() + ext.height());
    };
    auto inkAt = [&](int hour) { return CountColor(watch.Render(), numberBox(hour), 0x00C000); };

    EXPECT_GT(inkAt(1), 0);
    EXPECT_GT(inkAt(10), 0);
    a.SetTickMarks(TTickMarks::tmQuartHours);
    EXPECT_EQ(inkAt(1), 0);
    EXPECT_GT(inkAt(3), 0);
    EXPECT_GT(inkAt(12), 0);
    a.SetTickMarks(TTickMarks::tmHours);
    EXPECT_EQ(inkAt(3), 0);
    EXPECT_EQ(inkAt(12), 0);
    a.SetTickMarks(TTickMarks::tmAll);
    watch.SetShowNumbers(false);
    EXPECT_EQ(inkAt(3), 0);
}

TEST_F(Watch, PaintsFaceMarksAndHands)
{
    TWatchAppearance& a = watch.Appearance();
    a.SetBorderColor(0x0000C0);
    a.SetHourColor(0xC00000);
    a.SetHourPointer(0x00C000);
    a.SetHourPointerShadow(clNone);
    a.SetMinutePointerShadow(clNone);
    watch.SetTime(TimeOf(3, 0)); // hour hand to 3 o'clock, minute hand to 12
    const QImage img = watch.Render();
    EXPECT_EQ(At(img, 90, 11), 0x0000C0);       // the border at the top of the face
    EXPECT_EQ(At(img, 3, 3), QColorToColor(watch.palette().color(watch.backgroundRole()))); // outside the circle
    EXPECT_EQ(At(img, 60, 120), clWhite);       // the face
    EXPECT_EQ(At(img, 90 + 30, 90), 0x00C000);  // the hour hand, half a radius long
    EXPECT_NE(At(img, 90 + 45, 90), 0x00C000);
    EXPECT_EQ(At(img, 167 - 3, 90), 0xC00000);  // the 3 o'clock mark inside the border
    EXPECT_GT(CountColor(img, Rect(86, 30, 95, 60), clBlack), 0); // the minute hand up

    // The short-line style draws its hands like the line style.
    a.SetPointerStyle(TPointerStyle::psShortLine);
    EXPECT_EQ(At(watch.Render(), 90 + 30, 90), 0x00C000);
    // The pointer style fills a shape around the hand's line.
    a.SetPointerStyle(TPointerStyle::psPointer);
    EXPECT_EQ(At(watch.Render(), 90 + 20, 92), 0x00C000);
}

TEST_F(Watch, FaceCacheIsPaintedOnlyWhenTheFaceChanges)
{
    watch.Render();
    const int painted = watch.FaceCachePaints();
    watch.SetAnimation(false);
    watch.SetTime(TimeOf(4, 10));
    watch.SetMinute(20);
    watch.Render();
    EXPECT_EQ(watch.FaceCachePaints(), painted);
    watch.Appearance().SetMinuteColor(0x123456);
    watch.Render();
    EXPECT_EQ(watch.FaceCachePaints(), painted + 1);
    watch.SetTime(TimeOf(16, 10)); // the AM/PM box shows the other half
    watch.Render();
    EXPECT_EQ(watch.FaceCachePaints(), painted + 2);
}

TEST_F(Watch, LiveClockIgnoresClicksAndKeysAndShowsTheSecondHand)
{
    watch.SetTime(TimeOf(2, 0));
    watch.Settings().SetAuto(true);
    EXPECT_TRUE(watch.LiveClockRunning());
    const TDateTime before = watch.Time();
    changes = 0;
    Click(watch, 95, 30);
    Click(watch, 2, 2);
    watch.HandleWatchKey(VK_PRIOR);
    watch.HandleWatchKey('P');
    EXPECT_EQ(watch.Time(), before);
    EXPECT_FALSE(watch.HandAnimating());
    EXPECT_EQ(changes, 0);

    TWatchAppearance& a = watch.Appearance();
    a.SetSecondPointer(0x00C0C0);
    const TRect face = watch.GetWatchRect();
    EXPECT_GT(CountColor(watch.Render(), face, 0x00C0C0), 0);
    watch.Settings().SetSecond(false);
    EXPECT_EQ(CountColor(watch.Render(), face, 0x00C0C0), 0);
    watch.Settings().SetAuto(false);
    EXPECT_FALSE(watch.LiveClockRunning());
    watch.Settings().SetSecond(true);
    EXPECT_EQ(CountColor(watch.Render(), face, 0x00C0C0), 0); // only a live clock has a second hand
}

TEST(WatchAppearance, AssignCopiesEverythingAndNotifiesOnlyThroughTheLastThree)
{
    TWatchAppearance a, b;
    int changes = 0;
    a.OnChange = [&](TWatchAppearance*) { ++changes; };
    b.SetBorderWidth(9);
    b.SetHourFont(QFont("DejaVu Sans", 12));
    a.Assign(b);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(a.AllValues() == b.AllValues());
    b.SetTickMarks(TTickMarks::tmNone);
    a.Assign(b);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(a.TickMarks(), TTickMarks::tmNone);
    a.Reset();
    EXPECT_TRUE(a.AllValues() == TWatchAppearance().AllValues());
}

// ---- Presets -----------------------------------------------------------------------

TEST(WatchPresets, SameStyleChangesNothingAnotherResetsThenApplies)
{
    TExtWatch watch;
    watch.SetStyle(TWatchStyle::wsTower);
    EXPECT_EQ(watch.Appearance().Shape(), TWatchShape::wsRect);
    EXPECT_EQ(watch.Appearance().BackgroundColorTo(), 0x5BCCE8);
    EXPECT_FALSE(watch.ShowNumbers());
    watch.Appearance().SetHourMarkWidth(7);
    watch.SetStyle(TWatchStyle::wsTower);
    EXPECT_EQ(watch.Appearance().HourMarkWidth(), 7);

    watch.SetStyle(TWatchStyle::wsGray);
    const TWatchAppearance& a = watch.Appearance();
    EXPECT_EQ(a.HourMarkWidth(), 1);                   // reset
    EXPECT_EQ(a.Shape(), TWatchShape::wsCircle);       // reset
    EXPECT_EQ(a.PointerStyle(), TPointerStyle::psLine); // reset
    EXPECT_EQ(a.BackgroundColor(), 0xD1D1D1);
    EXPECT_EQ(a.BackgroundColorTo(), 0x6C6C6C);
    EXPECT_EQ(a.BackgroundGradient(), TWatchGradient::wgRadial);
    EXPECT_EQ(a.HourPointerShadow(), clNone);
    EXPECT_EQ(a.HourFont().family(), "Comic Sans MS");
    EXPECT_EQ(a.HourFont().pointSize(), 8);
    EXPECT_EQ(a.AMPMFont().pointSize(), 10);
    EXPECT_TRUE(watch.ShowAMPM());
    EXPECT_TRUE(watch.ShowNumbers());

    // Back to the initial style applies its preset.
    watch.SetStyle(TWatchStyle::wsClassic);
    EXPECT_EQ(a.HourMarkLength(), 8);
    EXPECT_EQ(a.HourFont().family(), "Comic Sans MS");
    EXPECT_TRUE(a.HourFont().bold());
    EXPECT_EQ(a.HourFont().pointSize(), 10);
    EXPECT_EQ(a.AMPMFont().family(), "MS Sans Serif");
}

TEST(WatchPresets, EachPresetSetsItsDistinctiveValues)
{
    TExtWatch watch;
    const TWatchAppearance& a = watch.Appearance();
    using enum TWatchStyle;
    watch.SetStyle(wsFluorescent);
    EXPECT_EQ(a.Shape(), TWatchShape::wsRoundRect);
    EXPECT_EQ(a.HourMarkStyle(), THourMarkStyle::hmsQuartDblLine);
    EXPECT_EQ(a.CenterPointSize(), 20);
    EXPECT_FALSE(watch.ShowAMPM());
    watch.SetStyle(wsEmerald);
    EXPECT_EQ(a.AMPMFontColor(), 0xA00000);
    EXPECT_EQ(a.AMPMColor(), clNone);
    EXPECT_EQ(a.HourFontColor(), 0x3AE800);
    EXPECT_EQ(a.SecondPointer(), 0x00FFFF);
    watch.SetStyle(wsBlueStar);
    EXPECT_EQ(a.AMPMBorderColor(), clNone);
    EXPECT_EQ(a.BackgroundGradient(), TWatchGradient::wgRadial);
    watch.SetStyle(wsFuchsia);
    EXPECT_EQ(a.TickMarks(), TTickMarks::tmQuartHours);
    EXPECT_EQ(a.CenterPointColor(), 0x000000); // not listed: initial
    EXPECT_EQ(a.CenterPointBorderColor(), 0xDD68DD);
    watch.SetStyle(wsBlack);
    EXPECT_EQ(a.BackgroundColor(), 0x202020);
    EXPECT_EQ(a.HourFont().family(), "Century Gothic");
    EXPECT_EQ(a.HourFont().pointSize(), 11);
    watch.SetStyle(wsBlackWhite);
    EXPECT_EQ(a.BorderWidth(), 8);
    EXPECT_EQ(a.AMPMFont().family(), "Tahoma"); // not listed: initial
    watch.SetStyle(wsSmooth);
    EXPECT_EQ(a.HourPointerShadow(), 0xB2B2B2);
    EXPECT_EQ(a.MinutePointerShadow(), 0xB2B2B2);
    EXPECT_EQ(a.CenterPointOuterBorderColor(), 0x4A4A4A);
}

TEST(WatchPresets, SizeDependentStylesStayWithinAByte)
{
    TExtWatch watch; // 180 x 180
    watch.SetStyle(TWatchStyle::wsSuperNova);
    EXPECT_EQ(watch.Appearance().HourMarkLength(), 40);   // round(180 / 4.5)
    EXPECT_EQ(watch.Appearance().MinuteMarkLength(), 60); // 180 div 3
    EXPECT_EQ(watch.Appearance().BorderColor(), clNone);
    watch.SetStyle(TWatchStyle::wsSports);
    EXPECT_EQ(watch.Appearance().CenterPointSize(), 50); // round(180 / 3.6)

    TExtWatch big;
    big.resize(1200, 1000);
    big.SetStyle(TWatchStyle::wsSuperNova);
    EXPECT_EQ(big.Appearance().HourMarkLength(), 222);   // round(1000 / 4.5)
    EXPECT_EQ(big.Appearance().MinuteMarkLength(), 255); // 333 capped
    big.SetStyle(TWatchStyle::wsSports);
    EXPECT_EQ(big.Appearance().CenterPointSize(), 255);  // 278 capped
}

TEST(WatchComponentStyles, CustomChangesNothing)
{
    TExtWatch watch;
    watch.SetStyle(TWatchStyle::wsEmerald);
    const TWatchAppearance::Values before = watch.Appearance().AllValues();
    watch.SetComponentStyle(tsCustom);
    EXPECT_TRUE(watch.Appearance().AllValues() == before);
}

TEST(WatchComponentStyles, EveryRowOfTheColourTable)
{
    struct Row {
        TStudioStyle style;
        TColor ampmBorder, ampm, from, to, border, centre, centreBorder, hand, second, shadow, font;
    };
    const TColor face = clBtnFace;
    const Row rows[] = {
        {tsOffice2003Blue, 0x962D00, 0xD68759, 0xFFD2AF, 0xFFD2AF, 0xD68759, 0xD68759, 0xD68759, 0xD68759, 0xFFFFFF, 0xFFFFFF, 0},
        {tsOffice2003Silver, 0x962D00, 0xBDA4A5, 0xE6D8D8, 0xE6D8D8, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, 0xFFFFFF, 0xFFFFFF, 0},
        {tsOffice2003Olive, 0x962D00, 0x82C0AF, 0xB9EAE1, 0xB9EAE1, 0x82C0AF, 0x82C0AF, 0x82C0AF, 0x82C0AF, 0xFFFFFF, 0xFFFFFF, 0},
        {tsOffice2003Classic, 0x962D00, 0x808080, 0xF2F2F2, 0xF2F2F2, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0xFFFFFF, 0},
        {tsOffice2007Luna, 0xF0DED0, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0x723708, 0x723708, 0xFFFFFF, 0},
        {tsOffice2007Obsidian, 0xF2F1F0, 0x5C534C, 0x5C534C, 0x5C534C, 0xF2F1F0, 0xFFEFE3, 0xFFEFE3, 0xF2F1F0, 0xF2F1F0, 0xFFFFFF,
         0xF2F1F0},
        {tsWindowsXP, 0x000000, face, face, face, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0xFFFFFF, 0},
        {tsWhidbey, 0x7E9898, 0xF5F9FA, 0xF5F9FA, 0xF5F9FA, 0x7E9898, 0x7E9898, 0x7E9898, 0x7E9898, 0x7E9898, 0xFFFFFF, 0},
        {tsOffice2007Silver, 0xE8E0DB, 0xF8F4F1, 0xF8F4F1, 0xF8F4F1, 0xE8E0DB, 0x74706F, 0xE8E0DB, 0x74706F, 0x74706F, 0xFFFFFF, 0},
        {tsWindowsVista, 0xFEDF9A, 0xFFFDF9, 0xFFFDF9, 0xFFFAF0, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFFFFFF, 0},
        {tsWindows7, 0xFBD6B8, 0xFDFBFA, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFFFFFF, 0},
        {tsTerminal, 0x808080, face, face, face, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0xFFFFFF, 0},
        {tsOffice2010Blue, 0xC7B29F, 0xF0DAC7, 0xFDF6EF, 0xFDF6EF, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xFFFFFF, 0},
        {tsOffice2010Silver, 0xD2CDC8, 0xEDE5E0, 0xFFFFFF, 0xFFFFFF, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xC0C0C0, 0},
        {tsOffice2010Black, 0x6D6D6D, 0x919191, 0xBFBFBF, 0xBFBFBF, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0xFFFFFF, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.style));
        TWatchAppearance a;
        ApplyWatchComponentStyle(a, r.style);
        EXPECT_EQ(a.AMPMBorderColor(), r.ampmBorder);
        EXPECT_EQ(a.AMPMColor(), r.ampm);
        EXPECT_EQ(a.BackgroundColor(), r.from);
        EXPECT_EQ(a.BackgroundColorTo(), r.to);
        EXPECT_EQ(a.BorderColor(), r.border);
        EXPECT_EQ(a.CenterPointColor(), r.centre);
        EXPECT_EQ(a.CenterPointBorderColor(), r.centreBorder);
        EXPECT_EQ(a.CenterPointOuterBorderColor(), 0x000000);
        EXPECT_EQ(a.HourColor(), r.hand);
        EXPECT_EQ(a.MinuteColor(), r.hand);
        EXPECT_EQ(a.HourPointer(), r.hand);
        EXPECT_EQ(a.MinutePointer(), r.hand);
        EXPECT_EQ(a.SecondPointer(), r.second);
        EXPECT_EQ(a.HourPointerShadow(), r.shadow);
        EXPECT_EQ(a.MinutePointerShadow(), r.shadow);
        EXPECT_EQ(a.HourFontColor(), r.font);
        EXPECT_EQ(a.AMPMFontColor(), r.font);
    }
}
