#include "dropdown/DropDownTestSupport.h"
#include "dropdown/ExtTimePickerDropDown.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimeEdit>
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

// ---- The drop-down ---------------------------------------------------------------


namespace {

QString TimeText(TDateTime t)
{
    return FormatTimeText(DecodeTimeParts(t), true, ':');
}

struct TimePicker : ::testing::Test {
    PinnedFormat pin{Separators('.', ',')};
    std::unique_ptr<TExtTimePickerDropDown> picker;
    int timeChanges = 0;
    void SetUp() override
    {
        picker = std::make_unique<TExtTimePickerDropDown>();
        picker->SetEditorEnabled(true);
        picker->SetAnimation(false);
        picker->resize(120, 22);
        picker->show();
        picker->OnTimeChange = [this](TExtTimePickerDropDown*) { ++timeChanges; };
    }
    void TearDown() override { picker.reset(); }
    void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent e(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(w, &e);
    }
};

} // namespace

TEST_F(TimePicker, StartsAtMidnightWithSeconds)
{
    EXPECT_EQ(picker->text(), "00:00:00");
    EXPECT_EQ(picker->Time(), 0.0);
    EXPECT_FALSE(TimePicker::picker->DropDownHeader().Visible());
    EXPECT_FALSE(picker->DropDownFooter().Visible());
    TExtTimePickerDropDown fresh;
    EXPECT_FALSE(fresh.EditorEnabled());
}

TEST_F(TimePicker, UpAndDownStepTheFieldUnderTheCaret)
{
    // The masked line edit may move a caret off a separator; the field
    // follows the caret it reports (every position is covered by the text
    // rule's own test).
    const char* byField[] = {"11:34:56", "12:33:56", "12:34:55"};
    for (int p = 0; p <= 8; ++p) {
        SCOPED_TRACE(p);
        picker->SetTime(EncodeTimeParts({12, 34, 56, 0}));
        picker->setCursorPosition(p);
        const int caret = picker->cursorPosition();
        timeChanges = 0;
        Key(picker.get(), Qt::Key_Up);
        const char* expected = byField[caret < 3 ? 0 : caret < 6 ? 1 : 2];
        EXPECT_EQ(picker->text(), expected);
        EXPECT_EQ(TimeText(picker->Time()), expected);
        EXPECT_EQ(picker->cursorPosition(), caret);
        EXPECT_EQ(timeChanges, 1);
    }
    picker->SetShowSeconds(false);
    for (int p = 0; p <= 5; ++p) {
        SCOPED_TRACE(p);
        picker->SetTime(EncodeTimeParts({12, 34, 0, 0}));
        picker->setCursorPosition(p);
        const int caret = picker->cursorPosition();
        Key(picker.get(), Qt::Key_Down);
        EXPECT_EQ(picker->text(), caret < 3 ? "13:34" : "12:35");
    }
}

TEST_F(TimePicker, SteppingWrapsWithinTheField)
{
    picker->SetTime(EncodeTimeParts({23, 10, 0, 0}));
    picker->setCursorPosition(1);
    Key(picker.get(), Qt::Key_Down);
    EXPECT_EQ(picker->text(), "00:10:00");
    picker->SetTime(EncodeTimeParts({8, 0, 0, 0}));
    picker->setCursorPosition(4);
    Key(picker.get(), Qt::Key_Up);
    EXPECT_EQ(picker->text(), "08:59:00");
    EXPECT_EQ(TimeText(picker->Time()), "08:59:00");
}

TEST_F(TimePicker, AltUpAndDownOpenAndCloseInsteadOfStepping)
{
    picker->SetTime(EncodeTimeParts({9, 15, 0, 0}));
    picker->setCursorPosition(1);
    Key(picker.get(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(picker->DroppedDown());
    EXPECT_EQ(picker->text(), "09:15:00");
    Key(picker.get(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->text(), "09:15:00");
    EXPECT_EQ(timeChanges, 0);
}

TEST_F(TimePicker, SwitchingSecondsKeepsTheTimeAndRewritesTheText)
{
    picker->SetTime(EncodeTimeParts({8, 30, 0, 0}));
    EXPECT_EQ(picker->text(), "08:30:00");
    picker->SetShowSeconds(false);
    EXPECT_EQ(picker->text(), "08:30");
    EXPECT_EQ(TimeText(picker->Time()), "08:30:00");
    picker->SetShowSeconds(true);
    EXPECT_EQ(picker->text(), "08:30:00");
}

TEST_F(TimePicker, TypedTimesBecomeTheValueWhenCompleteAndInRange)
{
    picker->setFocus();
    picker->setCursorPosition(0);
    QTest::keyClicks(picker.get(), "083000");
    EXPECT_EQ(picker->text(), "08:30:00");
    EXPECT_EQ(TimeText(picker->Time()), "08:30:00");
    // An hour out of range leaves the value, with no message.
    picker->setCursorPosition(0);
    QTest::keyClicks(picker.get(), "251500");
    EXPECT_EQ(picker->text(), "25:15:00");
    EXPECT_EQ(TimeText(picker->Time()), "08:30:00");
    // A text written into the edit counts as typed.
    picker->setText("17:05:09");
    EXPECT_EQ(TimeText(picker->Time()), "17:05:09");
    EXPECT_EQ(timeChanges, 0);
}

TEST_F(TimePicker, CancelRestoresAndAClickOutsideKeepsTheWatchTime)
{
    picker->SetTime(EncodeTimeParts({10, 20, 0, 0}));
    picker->ShowDropDown();
    ASSERT_TRUE(picker->DroppedDown());
    ASSERT_NE(picker->Watch(), nullptr);
    EXPECT_EQ(TimeText(picker->Watch()->Time()), "10:20:00");
    picker->Watch()->SetHour(3);
    EXPECT_EQ(TimeText(picker->Time()), "03:20:00"); // the value follows the watch while open
    picker->HideDropDown(true);
    EXPECT_EQ(TimeText(picker->Time()), "10:20:00");
    EXPECT_EQ(picker->text(), "10:20:00");
    EXPECT_EQ(TimeText(picker->Watch()->Time()), "10:20:00");

    picker->ShowDropDown();
    picker->Watch()->SetMinute(45);
    picker->DropDownForm()->Deactivate(picker->DropDownForm()->mapToGlobal(QPoint(-50, -50)));
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(TimeText(picker->Time()), "10:45:00");
    EXPECT_EQ(picker->text(), "10:45:00");
}

TEST_F(TimePicker, PageUpInTheOpenPopupStepsTheWatchNotTheEdit)
{
    picker->SetTime(EncodeTimeParts({6, 40, 0, 0}));
    picker->setCursorPosition(1);
    picker->ShowDropDown();
    TDropDownForm* form = picker->DropDownForm();
    Key(form, Qt::Key_PageUp);
    EXPECT_EQ(TimeText(picker->Watch()->Time()), "07:40:00");
    Key(form, Qt::Key_Up); // the watch ignores Up, and the edit does not step
    Key(form, Qt::Key_Right);
    EXPECT_EQ(TimeText(picker->Watch()->Time()), "07:41:00");
    EXPECT_TRUE(picker->DroppedDown());
    picker->HideDropDown(false);
    EXPECT_EQ(picker->text(), "07:41:00");
    EXPECT_EQ(picker->cursorPosition(), 1);
}

TEST_F(TimePicker, TimePickerBelowTheWatchFollowsIt)
{
    picker->SetShowTimePicker(true);
    picker->SetTime(EncodeTimeParts({14, 5, 30, 0}));
    picker->ShowDropDown();
    ASSERT_NE(picker->TimePicker(), nullptr);
    EXPECT_EQ(picker->TimePicker()->time(), QTime(14, 5, 30));
    EXPECT_EQ(picker->TimePicker()->displayFormat(), "HH:mm:ss");
    picker->Watch()->SetHour(16);
    EXPECT_EQ(picker->TimePicker()->time(), QTime(16, 5, 30));
    EXPECT_EQ(timeChanges, 1);
    picker->TimePicker()->setTime(QTime(9, 0, 0));
    EXPECT_EQ(TimeText(picker->Watch()->Time()), "09:00:00");
    picker->HideDropDown(false);
    EXPECT_EQ(picker->text(), "09:00:00");
}

TEST_F(TimePicker, ComponentStyleColoursTheWatchAppearance)
{
    picker->SetComponentStyle(tsOffice2010Blue);
    EXPECT_EQ(picker->WatchAppearance().BorderColor(), 0xC7B29F);
    EXPECT_EQ(picker->WatchAppearance().AMPMColor(), 0xF0DAC7);
    picker->ShowDropDown();
    EXPECT_EQ(picker->Watch()->Appearance().BorderColor(), 0xC7B29F);
}
