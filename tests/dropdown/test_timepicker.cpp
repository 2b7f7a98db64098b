#include "common/TestSupport.h"
#include "dropdown/ExtTimePickerDropDown.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {
TTimeParts T(int h, int m, int s = 0) { return {h, m, s, 0}; }
bool Same(const TTimeParts& a, const TTimeParts& b) { return a.Hour == b.Hour && a.Minute == b.Minute && a.Second == b.Second; }
} // namespace

TEST(TimePickerText, TwoDigitFieldsAndMasks)
{
    EXPECT_EQ(TwoDigitText(0), "00");
    EXPECT_EQ(TwoDigitText(7), "07");
    EXPECT_EQ(TwoDigitText(23), "23");
    EXPECT_EQ(FormatTimeText(T(8, 5, 3), true, ':'), "08:05:03");
    EXPECT_EQ(FormatTimeText(T(8, 5, 3), false, '.'), "08.05");
    EXPECT_EQ(TimePickerEditMask(true, ':'), "!90:00:00;1; ");
    EXPECT_EQ(TimePickerEditMask(false, '.'), "!90.00;1; ");
    EXPECT_EQ(TimePickerInputMask(true, ':'), "09:99:99; ");
    EXPECT_EQ(TimePickerInputMask(false, ':'), "09:99; ");

    // The line edit takes the mask: the first hour digit may stay blank,
    // the others are required.
    QLineEdit edit;
    edit.setInputMask(TimePickerInputMask(true, ':'));
    edit.setText("08:30:00");
    EXPECT_EQ(edit.text(), "08:30:00");
    EXPECT_TRUE(edit.hasAcceptableInput());
    edit.setText("8:3");
    EXPECT_FALSE(edit.hasAcceptableInput());
    edit.setText(" 8:30:00");
    EXPECT_TRUE(edit.hasAcceptableInput());
}

TEST(TimePickerText, FieldUnderEveryCaretPosition)
{
    const TTimeField h = TTimeField::tfHour, m = TTimeField::tfMinute, s = TTimeField::tfSecond;
    const TTimeField withSeconds[] = {h, h, h, m, m, m, s, s, s};
    for (int p = 0; p <= 8; ++p) EXPECT_EQ(TimeFieldAtCaret("12:34:56", p, true, ':'), withSeconds[p]) << p;
    const TTimeField withoutSeconds[] = {h, h, h, m, m, m};
    for (int p = 0; p <= 5; ++p) EXPECT_EQ(TimeFieldAtCaret("12:34", p, false, ':'), withoutSeconds[p]) << p;
    // A text of the seconds form with seconds switched off steps minutes only.
    for (int p = 3; p <= 8; ++p) EXPECT_EQ(TimeFieldAtCaret("12:34:56", p, false, ':'), m) << p;
}

TEST(TimePickerText, SteppingWrapsWithinTheField)
{
    using enum TTimeField;
    EXPECT_TRUE(Same(StepTimeField(T(23, 10), tfHour, false), T(0, 10)));
    EXPECT_TRUE(Same(StepTimeField(T(0, 10), tfHour, true), T(23, 10)));
    EXPECT_TRUE(Same(StepTimeField(T(8, 0), tfMinute, true), T(8, 59)));   // the hour stays
    EXPECT_TRUE(Same(StepTimeField(T(8, 59), tfMinute, false), T(8, 0)));
    EXPECT_TRUE(Same(StepTimeField(T(8, 1, 59), tfSecond, false), T(8, 1, 0)));
    EXPECT_TRUE(Same(StepTimeField(T(12, 34, 56), tfSecond, true), T(12, 34, 55)));
}

TEST(TimePickerText, ParsingCompleteTextsOnly)
{
    struct Row {
        const char* text;
        bool seconds;
        int h, m, s; // -1: nothing
    };
    const Row rows[] = {
        {"08:30:00", true, 8, 30, 0},  {" 8:30:15", true, 8, 30, 15}, {"23:59:59", true, 23, 59, 59},
        {"25:00:00", true, -1, 0, 0},  {"08:60:00", true, -1, 0, 0},  {"08:30:61", true, -1, 0, 0},
        {"08:3 :  ", true, -1, 0, 0},  {"  :  :  ", true, -1, 0, 0},  {"08:30", true, -1, 0, 0},
        {"08:30", false, 8, 30, 0},    {"8:30", false, 8, 30, 0},     {"08:30:00", false, -1, 0, 0},
        {"0a:30", false, -1, 0, 0},    {"123:30", false, -1, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        const std::optional<TTimeParts> t = ParseTimeText(r.text, r.seconds, ':');
        if (r.h < 0) {
            EXPECT_FALSE(t.has_value());
        } else {
            ASSERT_TRUE(t.has_value());
            EXPECT_TRUE(Same(*t, T(r.h, r.m, r.s)));
        }
    }
    EXPECT_TRUE(ParseTimeText("08.30.00", true, '.').has_value());
}
