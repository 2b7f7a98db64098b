// The date-time pickers: auto-tab between fields, the kinds and the owned
// time picker, values, check box rules, the label and the look.
#include "common/PixelSupport.h"
#include "common/TestSupport.h"
#include "controls/EsgCombo.h"
#include "controls/EsgDateTimePicker.h"
#include "controls/ExtDateTimePicker.h"
#include "controls/ExtXPVS.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PickerForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFormatSettings(DayMonthYear());
        form.resize(400, 200);
    }
    void TearDown() override
    {
        SetFormatSettings(DayMonthYear());
        SetPlatformVersionFlags(true, true, true);
        SetVisualStylesActive(true);
    }
    void ShowAndFocus(QWidget* w)
    {
        form.show();
        QApplication::setActiveWindow(&form);
        w->setFocus();
    }
    // Types digits; each runs its posted field jump.
    static void Type(QWidget* w, const QString& digits)
    {
        for (QChar c : digits) {
            QTest::keyClicks(w, QString(c));
            QCoreApplication::sendPostedEvents();
        }
    }
    QWidget form;
};

TDateTime At(int y, int m, int d, int h = 0, int mi = 0, int s = 0)
{
    TDateTime t = 0;
    TryEncodeTime(h, mi, s, 0, t);
    return EncodeDate(y, m, d) + t;
}

using AutoTab = PickerForm;

TEST_F(AutoTab, CompletedDateFieldsMoveOnAndTheYearGoesToTheTimePicker)
{
    TExtDateTimePicker p(&form);
    p.resize(220, 21);
    p.SetFormat(QStringLiteral("dd/MM/yyyy"));
    p.SetAutoTab(true);
    p.SetDateTime(At(2024, 3, 7, 10, 20, 30));
    ShowAndFocus(&p);
    p.SetActiveField(0);
    Type(&p, QStringLiteral("1"));
    EXPECT_EQ(p.ActiveField(), 0); // one digit of two
    Type(&p, QStringLiteral("5"));
    EXPECT_EQ(p.ActiveField(), 1);
    Type(&p, QStringLiteral("04"));
    EXPECT_EQ(p.ActiveField(), 2);
    Type(&p, QStringLiteral("202"));
    EXPECT_TRUE(p.hasFocus());
    Type(&p, QStringLiteral("5"));
    ASSERT_NE(p.TimePicker(), nullptr);
    EXPECT_TRUE(p.TimePicker()->hasFocus());
    EXPECT_EQ(p.Date(), EncodeDate(2025, 4, 15));
}

TEST_F(AutoTab, EmptyFormatYearMovesToTheTimePickerOnlyWhenThereIsOne)
{
    TExtDateTimePicker p(&form);
    p.resize(220, 21);
    p.SetAutoTab(true);
    p.SetDateTime(At(2024, 3, 7, 10, 20, 30));
    ShowAndFocus(&p);
    p.SetActiveField(2);
    Type(&p, QStringLiteral("2030"));
    EXPECT_TRUE(p.TimePicker()->hasFocus());

    TExtDateTimePicker d(&form);
    d.SetKind(TExtDateTimeKind::dkDate);
    d.SetAutoTab(true);
    d.SetDateTime(At(2024, 3, 7));
    EXPECT_EQ(d.TimePicker(), nullptr);
    d.move(0, 40);
    d.show();
    d.setFocus();
    d.SetActiveField(2);
    Type(&d, QStringLiteral("2030"));
    EXPECT_TRUE(d.hasFocus());
    EXPECT_EQ(d.ActiveField(), 2);
    EXPECT_EQ(d.Date(), EncodeDate(2030, 3, 7));
}

TEST_F(AutoTab, TimeDigitThatChangesNothingMovesNothing)
{
    TExtDateTimePicker p(&form);
    p.SetKind(TExtDateTimeKind::dkTime);
    p.SetAutoTab(true);
    p.SetFormat(QStringLiteral("HH:mm:ss"));
    p.SetDateTime(At(2024, 3, 7, 10, 20, 30));
    ShowAndFocus(&p);
    p.SetActiveField(0);
    Type(&p, QStringLiteral("10"));
    EXPECT_EQ(p.ActiveField(), 0);
    Type(&p, QStringLiteral("11"));
    EXPECT_EQ(p.ActiveField(), 1);
    // Without AutoTab nothing moves.
    p.SetAutoTab(false);
    p.SetActiveField(0);
    Type(&p, QStringLiteral("12"));
    EXPECT_EQ(p.ActiveField(), 0);
    int h, m, s, ms;
    DecodeTime(p.Time(), h, m, s, ms);
    EXPECT_EQ(h, 12);
}

using ExtKinds = PickerForm;

TEST_F(ExtKinds, ValuesDropMillisecondsAndDateKeepsTheTime)
{
    TExtDateTimePicker p(&form);
    p.SetDateTime(EncodeDate(2024, 3, 7) + (10 * 3600 + 20 * 60 + 30.789) / 86400.0);
    int h, m, s, ms;
    DecodeTime(p.DateTime(), h, m, s, ms);
    EXPECT_EQ(ms, 0);
    EXPECT_EQ(s, 30);
    DecodeTime(p.TimePicker()->Time(), h, m, s, ms);
    EXPECT_EQ(h, 10);
    p.SetDate(EncodeDate(2025, 12, 31) + 0.75);
    EXPECT_EQ(p.DateTime(), At(2025, 12, 31, 10, 20, 30));
    EXPECT_EQ(p.Version(), QStringLiteral("1.2.0.0"));
    p.SetVersion(QStringLiteral("9"));
    EXPECT_EQ(p.Version(), QStringLiteral("1.2.0.0"));
}

TEST_F(ExtKinds, SwitchToDateFreesTheTimePickerAndKeepsTheTime)
{
    TExtDateTimePicker p(&form);
    p.resize(220, 21);
    p.SetDateTime(At(2024, 3, 7, 10, 20, 30));
    form.show();
    ASSERT_NE(p.TimePicker(), nullptr);
    EXPECT_TRUE(p.TimePicker()->isVisible());
    p.TimePicker()->SetTime(At(1899, 12, 30, 18, 45, 0));
    p.SetKind(TExtDateTimeKind::dkDate);
    EXPECT_EQ(p.TimePicker(), nullptr);
    EXPECT_EQ(p.DateTime(), At(2024, 3, 7, 18, 45, 0));
    p.SetKind(TExtDateTimeKind::dkDateTime);
    ASSERT_NE(p.TimePicker(), nullptr);
    EXPECT_EQ(p.DateTime(), At(2024, 3, 7, 18, 45, 0));
}

TEST_F(ExtKinds, TimeTypedIntoTheTimePickerSurvivesALayout)
{
    TExtDateTimePicker p(&form);
    p.resize(220, 21);
    p.SetDateTime(At(2024, 3, 7, 10, 20, 30));
    form.show();
    p.TimePicker()->SetTime(At(1899, 12, 30, 18, 45, 0));
    p.resize(240, 21); // a size change runs the layout
    EXPECT_EQ(p.DateTime(), At(2024, 3, 7, 18, 45, 0));
}

TEST_F(ExtKinds, TimePickerEnabledOverEnabledCheckedAndCheckBox)
{
    TExtDateTimePicker p(&form);
    form.show();
    for (bool enabled : {true, false})
        for (bool box : {true, false})
            for (bool checked : {true, false}) {
                p.setEnabled(enabled);
                p.SetShowCheckbox(box);
                if (box) p.SetChecked(checked);
                p.Layout();
                const bool expected = enabled && (checked || !box);
                ASSERT_NE(p.TimePicker(), nullptr);
                EXPECT_EQ(p.TimePicker()->isEnabled(), expected) << enabled << box << checked;
                // A new value with a check box enables it by enabled-and-checked.
                p.SetDateTime(At(2024, 1, 1, 1, 1, 1));
                EXPECT_EQ(p.TimePicker()->isEnabled(), expected) << enabled << box << checked;
            }
}

TEST_F(ExtKinds, DropDownAndCloseUpWithACheckBox)
{
    TExtDateTimePicker p(&form);
    p.SetShowCheckbox(true);
    form.show();
    int downs = 0, ups = 0;
    p.OnDropDown = [&](QObject*) { ++downs; };
    p.OnCloseUp = [&](QObject*) { ++ups; };
    p.DropDown();
    p.CloseUp();
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
}

TEST_F(ExtKinds, TimePickerPlaceByDesktopFlags)
{
    TExtDateTimePicker p(&form);
    p.resize(240, 24);
    p.SetDateTime(At(2024, 3, 7, 10, 20, 30));
    form.show();
    const int w = QFontMetrics(p.font()).horizontalAdvance(p.TimePicker()->Text()) + 31;
    struct Case {
        bool vista, comctl6, active, metro;
        QRect expected;
    } cases[] = {
        {true, false, true, false, QRect(240 - w - 23, -2, w, 24)},
        {true, true, false, false, QRect(240 - w - 21, 2, w, 20)},
        {true, true, true, true, QRect(240 - w - 21, 1, w, 22)},
        {true, true, true, false, QRect(240 - w - 34, 1, w, 22)},
        {false, true, true, false, QRect(240 - w - 21, -2, w, 24)},
    };
    for (const Case& c : cases) {
        SetPlatformVersionFlags(true, c.vista, c.comctl6);
        SetVisualStylesActive(c.active);
        p.SetMetroStyle(c.metro);
        p.Layout();
        EXPECT_EQ(p.TimePicker()->geometry(), c.expected) << c.vista << c.comctl6 << c.active << c.metro;
    }
}

using PickerLabel = PickerForm;

TEST(LabelLayout, EveryPosition)
{
    using enum TLabelPosition;
    const QRect c(100, 50, 80, 20);
    const QSize l(30, 13);
    const int w = 28, m = 4;
    struct Case {
        TLabelPosition p;
        QPoint at;
    } cases[] = {
        {lpLeftTop, {100 - 28 - 4, 50}},       {lpLeftCenter, {68, 50 + 3}},  {lpLeftBottom, {68, 57}},
        {lpTopLeft, {100, 50 - 13 - 4}},       {lpBottomLeft, {100, 74}},     {lpLeftTopLeft, {96, 50}},
        {lpLeftCenterLeft, {96, 53}},          {lpLeftBottomLeft, {96, 57}},  {lpTopCenter, {125, 33}},
        {lpBottomCenter, {125, 74}},           {lpRightTop, {184, 50}},       {lpRightCenter, {184, 53}},
        {lpRighBottom, {184, 57}},
    };
    for (const Case& k : cases) EXPECT_EQ(LabelLayoutPosition(k.p, c, l, w, m), k.at) << int(k.p);
    // Centring halves toward zero when the label is taller.
    EXPECT_EQ(LabelLayoutPosition(lpLeftCenter, QRect(0, 0, 10, 10), QSize(5, 13), 5, 0).y(), -1);
}

TEST_F(PickerLabel, FollowsThePickerAndRaisesItsEvents)
{
    TExtDateTimePicker p(&form);
    p.move(150, 60);
    p.SetLabelCaption(QStringLiteral("&Start"));
    form.show();
    QLabel* l = p.PickerLabel();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->parentWidget(), &form);
    const int w = l->fontMetrics().horizontalAdvance(QStringLiteral("Start"));
    EXPECT_EQ(l->pos(), QPoint(150 - w - 4, 60));
    p.SetLabelPosition(TLabelPosition::lpTopLeft);
    EXPECT_EQ(l->pos(), QPoint(150, 60 - l->height() - 4));
    p.move(160, 70);
    EXPECT_EQ(l->pos(), QPoint(160, 70 - l->height() - 4));
    int clicks = 0;
    p.OnLabelClick = [&](QObject* s) {
        EXPECT_EQ(s, &p);
        ++clicks;
    };
    QTest::mouseClick(l, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    p.setEnabled(false);
    EXPECT_FALSE(l->isEnabled());
    p.SetLabelAlwaysEnabled(true);
    EXPECT_TRUE(l->isEnabled());
    p.hide();
    EXPECT_FALSE(l->isVisible());
}

using PickerLook = PickerForm;

TEST_F(PickerLook, FlatOutlineColours)
{
    form.setStyleSheet(QString());
    QPalette pal = form.palette();
    pal.setColor(QPalette::Window, QColor(0x20, 0x40, 0x60));
    form.setPalette(pal);
    form.setAutoFillBackground(true);
    TEsgDateTimePicker p(&form);
    p.resize(150, 22);
    form.show();
    p.SetCtl3D(false);
    // The plain picker draws it only with a border colour.
    p.SetBorderColor(clRed);
    p.Look().IsThemed = false;
    p.SetBorderStyle(TBorderStyle::bsSingle);
    QImage img = p.grab().toImage();
    EXPECT_EQ(::At(img, 0, 10), clRed);
    EXPECT_EQ(::At(img, 75, 0), clRed);
    EXPECT_EQ(::At(img, 75, 1), RGBColor(0x20, 0x40, 0x60)); // the inner line in the parent's colour
    p.Look().IsThemed = true;
    img = p.grab().toImage();
    EXPECT_EQ(::At(img, 0, 10), TColor(0xB99D7F));
    p.SetBorderStyle(TBorderStyle::bsNone);
    img = p.grab().toImage();
    EXPECT_EQ(::At(img, 0, 10), RGBColor(0x20, 0x40, 0x60));
    EXPECT_EQ(::At(img, 149, 10), RGBColor(0x20, 0x40, 0x60));
    EXPECT_EQ(p.Version(), QStringLiteral("1.0.0.0"));
}

TEST_F(PickerLook, MetroDropButtonInCustomColours)
{
    SetVisualStylesActive(true);
    TEsgDateTimePicker p(&form);
    p.resize(150, 22);
    p.SetMetroStyle(true);
    p.Look().ButtonColor = clLime;
    p.Look().ButtonColorHot = clYellow;
    p.Look().ButtonBorderColor = clBlue;
    p.Look().ButtonTextColor = clRed;
    form.show();
    const QImage img = p.grab().toImage();
    const int bw = p.Look().ButtonWidth;
    // The button B, shrunk by 1; the fill F from B.left + 2, one in elsewhere.
    const int fLeft = 150 - bw + 2 + 1 + 2;
    const int fTop = 1 + 1;
    EXPECT_EQ(::At(img, fLeft, fTop + 3), clBlue);      // the line at its left edge
    EXPECT_EQ(::At(img, fLeft + 2, fTop + 2), clLime);   // the fill
    EXPECT_EQ(::At(img, fLeft + 5, fTop + 7), clRed);    // the arrow's left corner
    EXPECT_EQ(::At(img, fLeft + 8, fTop + 9), clRed);
    EXPECT_EQ(::At(img, fLeft + 8, fTop + 11), clLime);
    EXPECT_EQ(::At(img, fLeft + 4, fTop + 7), clLime);
}

} // namespace

namespace {
using PickerState = PickerForm;

TEST_F(PickerState, DateChangeWithCheckBoxStartsTheFocusTimer)
{
    TExtDateTimePicker p(&form);
    p.SetDateTime(At(2024, 3, 7, 10, 0, 0));
    EXPECT_FALSE(p.FocusTimer().isActive()); // no check box
    p.SetShowCheckbox(true);
    p.TDateTimePicker::SetDate(EncodeDate(2024, 3, 8));
    EXPECT_TRUE(p.FocusTimer().isActive());
    EXPECT_EQ(p.FocusTimer().interval(), 20);
    EXPECT_EQ(p.ChangedFieldPoint(), QPoint(28, 5));
    p.TDateTimePicker::SetDate(EncodeDate(2025, 3, 8));
    EXPECT_EQ(p.ChangedFieldPoint(), QPoint(80, 5));
    p.TDateTimePicker::SetDate(EncodeDate(2025, 4, 8));
    EXPECT_EQ(p.ChangedFieldPoint(), QPoint(46, 5));
    // Unchecking disables the time picker.
    p.SetChecked(false);
    EXPECT_FALSE(p.TimePicker()->isEnabled());
    p.SetChecked(true);
    EXPECT_TRUE(p.TimePicker()->isEnabled());
}

TEST_F(PickerState, TimePickerChangesRaiseChangeAndTimeChange)
{
    TExtDateTimePicker p(&form);
    QStringList events;
    p.OnChange = [&](QObject* s) {
        EXPECT_EQ(s, &p);
        events << QStringLiteral("change");
    };
    p.OnTimeChange = [&](QObject*) { events << QStringLiteral("time"); };
    p.TimePicker()->SetTime(At(1899, 12, 30, 7, 0, 0));
    EXPECT_EQ(events, QStringList({QStringLiteral("change"), QStringLiteral("time")}));
}
} // namespace
