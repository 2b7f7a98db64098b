// The spin edit: values per kind, accepted characters, steps, keys, pastes,
// the repeating spin button and its custom-colour look.
#include "common/PixelSupport.h"
#include "common/TestSupport.h"
#include "controls/ExtXPVS.h"
#include "controls/esgspin.h"
#include "platform/Application.h"
#include "platform/Exception.h"
#include "platform/Menus.h"

#include <QMenu>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Regional settings pinned, beeps counted.
class SpinFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFormatSettings(DayMonthYear());
        m_oldBeep = SetBeepHandler([this] { ++beeps; });
    }
    void TearDown() override
    {
        SetBeepHandler(m_oldBeep);
        SetFormatSettings(DayMonthYear());
    }
    int beeps = 0;

private:
    BeepHandler m_oldBeep;
};

using SpinValues = SpinFixture;

TEST_F(SpinValues, IntegerReadWriteAndClamp)
{
    TEsgSpinEdit e;
    EXPECT_EQ(e.Text(), QStringLiteral("0"));
    struct Case {
        const char* text;
        int32_t value;
    } reads[] = {{" 42 ", 42}, {"", 0}, {"abc", 7}, {"-5", -5}};
    e.SetMinValue(7);
    for (const Case& c : reads) {
        e.SetText(QString::fromUtf8(c.text));
        EXPECT_EQ(e.Value(), c.value) << c.text;
    }
    e.SetMaxValue(20);
    e.SetValue(25);
    EXPECT_EQ(e.Text(), QStringLiteral("20"));
    e.SetValue(-3);
    EXPECT_EQ(e.Text(), QStringLiteral("7"));
    // Equal limits switch the clamp off.
    e.SetMinValue(5);
    e.SetMaxValue(5);
    e.SetValue(-300);
    EXPECT_EQ(e.Text(), QStringLiteral("-300"));
    // Steps in 64 bits, held within 32 bits when unlimited.
    e.SetValue(2147483647);
    e.SetIncrement(10);
    e.StepUp(false);
    EXPECT_EQ(e.Value(), 2147483647);
    e.SetValue(-2147483647 - 1);
    e.StepDown(false);
    EXPECT_EQ(e.Value(), -2147483647 - 1);
}

TEST_F(SpinValues, WriteWithEditorDisabledSelectsAll)
{
    TEsgSpinEdit e;
    e.SetEditorEnabled(false);
    e.SetValue(12);
    EXPECT_EQ(e.SelText(), QStringLiteral("12"));
}

TEST_F(SpinValues, FloatReadWrite)
{
    FormatSettings fs = DayMonthYear();
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = '.';
    SetFormatSettings(fs);
    TEsgSpinEdit e;
    e.SetSpinType(TEsgSpinType::sptFloat);
    e.SetMinValue(3);
    e.SetMinFloatValue(-50);
    e.SetText(QStringLiteral("1,25"));
    EXPECT_DOUBLE_EQ(e.FloatValue(), 1.25);
    for (const char* bad : {"abc", "1.25", "", "1,2,3"}) {
        e.SetText(QString::fromUtf8(bad));
        EXPECT_DOUBLE_EQ(e.FloatValue(), -50.0) << bad; // the float limit, not the integer one
    }
    e.SetFloatValue(0.1 + 0.2);
    EXPECT_EQ(e.Text(), QStringLiteral("0,3"));
    e.SetFloatValue(1000.0);
    EXPECT_EQ(e.Text(), QStringLiteral("100"));
    e.SetPrecision(2);
    EXPECT_EQ(e.Text(), QStringLiteral("100,00"));
    e.SetFloatValue(-51);
    EXPECT_EQ(e.Text(), QStringLiteral("-50,00"));
    e.SetMinFloatValue(1);
    e.SetMaxFloatValue(1);
    e.SetFloatValue(12345.678);
    EXPECT_EQ(e.Text(), QStringLiteral("12345,68"));
    e.SetPrecision(0);
    e.SetFloatValue(1e20);
    EXPECT_EQ(e.Text(), QStringLiteral("1E20"));
}

TEST_F(SpinValues, DateAndTimeReadWrite)
{
    TEsgSpinEdit e;
    e.SetSpinType(TEsgSpinType::sptDate);
    EXPECT_EQ(e.DateValue(), Date()); // "0" is today
    e.SetText(QString());
    EXPECT_EQ(e.DateValue(), Date());
    e.SetMinDateValue(EncodeDate(2020, 1, 1));
    e.SetMaxDateValue(EncodeDate(2020, 12, 31));
    e.SetText(QStringLiteral("nonsense"));
    EXPECT_EQ(e.DateValue(), EncodeDate(2020, 1, 1));
    e.SetDateValue(EncodeDate(2024, 5, 1));
    EXPECT_EQ(e.Text(), QStringLiteral("31/12/2020"));

    e.SetMinDateValue(0);
    e.SetMaxDateValue(0);
    e.SetSpinType(TEsgSpinType::sptTime);
    e.SetTimeValue(13.5 / 24);
    EXPECT_EQ(e.Text(), QStringLiteral("13:30:00"));
    e.SetShowSeconds(false);
    e.SetTimeValue(1 + 7.25 / 24);
    EXPECT_EQ(e.Text(), QStringLiteral("7:15"));
    e.SetText(QStringLiteral("x"));
    EXPECT_EQ(e.TimeValue(), 0);
}

TEST_F(SpinValues, KindChangeRewritesInTheNewKind)
{
    TEsgSpinEdit e;
    e.SetText(QStringLiteral("5"));
    e.SetSpinType(TEsgSpinType::sptFloat);
    e.SetPrecision(1);
    EXPECT_EQ(e.Text(), QStringLiteral("5.0"));
    e.SetSpinType(TEsgSpinType::sptNormal);
    EXPECT_EQ(e.Text(), QStringLiteral("0")); // "5.0" is no integer: MinValue
}

TEST_F(SpinValues, LeavingClampsTypedText)
{
    QWidget form;
    TEsgSpinEdit e(&form);
    QLineEdit other(&form);
    other.move(0, 40);
    form.show();
    QApplication::setActiveWindow(&form);
    e.setFocus();
    ASSERT_TRUE(e.hasFocus());
    e.SetText(QStringLiteral("500"));
    other.setFocus();
    EXPECT_EQ(e.Text(), QStringLiteral("100"));
}

using SpinChars = SpinFixture;

struct CharCase {
    TEsgSpinType kind;
    const char* text;
    int selStart;
    int selLength;
    int precision;
    char16_t key;
    bool accepted;
};

TEST_F(SpinChars, IsValidCharTable)
{
    using enum TEsgSpinType;
    const CharCase cases[] = {
        {sptFloat, "1.23", 4, 0, 2, '5', false},  // at most Precision decimals
        {sptFloat, "1.23", 4, 0, 0, '5', true},
        {sptFloat, "1.23", 1, 0, 2, '5', true},   // left of the separator
        {sptFloat, "1.2", 3, 0, 2, '5', true},
        {sptFloat, "1.23", 4, 0, 0, '.', false},  // a second separator
        {sptFloat, "1.23", 1, 1, 0, '.', true},   // over the selected one
        {sptFloat, "1", 1, 0, 0, ',', false},     // thousand separator
        {sptNormal, "12", 1, 0, 0, '-', false},   // "-" in the middle
        {sptNormal, "12", 0, 0, 0, '-', true},    // at position 0
        {sptNormal, "-12", 0, 1, 0, '-', true},   // over a selected "-"
        {sptNormal, "-12", 3, 0, 0, '-', false},
        {sptNormal, "12", 2, 0, 0, '.', false},
        {sptNormal, "12", 2, 0, 0, 'a', false},
        {sptNormal, "12", 2, 0, 0, 3, false},     // Ctrl+C
        {sptFloat, "12", 2, 0, 0, 3, true},
        {sptNormal, "12", 2, 0, 0, 0x0663, true}, // an Arabic-Indic digit is a number character
        {sptNormal, "12", 2, 0, 0, ':', false},
        {sptTime, "12:30", 5, 0, 0, ':', true},
        {sptTime, "12:30:", 6, 0, 0, ':', false}, // a third time separator
        {sptTime, "12", 2, 0, 0, '/', false},
        {sptDate, "12", 2, 0, 0, '/', true},
        {sptDate, "12", 2, 0, 0, ':', false},
        {sptFloat, "12", 2, 0, 0, 13, false},
    };
    for (const CharCase& c : cases) {
        TEsgSpinEdit e;
        e.SetSpinType(c.kind);
        e.SetPrecision(c.precision);
        e.SetText(QString::fromUtf8(c.text));
        e.setSelection(c.selStart, c.selLength);
        if (c.selLength == 0) e.setCursorPosition(c.selStart);
        QChar k(c.key);
        EXPECT_EQ(e.IsValidChar(k), c.accepted) << "kind " << int(c.kind) << " text " << c.text << " key " << int(c.key);
    }
}

TEST_F(SpinChars, SeparatorThatDoublesAsNumberSeparator)
{
    FormatSettings fs = DayMonthYear();
    fs.DateSeparator = '.'; // also the decimal separator
    SetFormatSettings(fs);
    TEsgSpinEdit e;
    e.SetSpinType(TEsgSpinType::sptFloat);
    e.SetText(QStringLiteral("1"));
    e.setCursorPosition(1);
    QChar dot('.');
    EXPECT_TRUE(e.IsValidChar(dot));
    e.SetSpinType(TEsgSpinType::sptTime);
    EXPECT_FALSE(e.IsValidChar(dot));
}

TEST_F(SpinChars, BackspaceAndDisabledEditor)
{
    TEsgSpinEdit e;
    QChar bs(8), five('5'), ctrlC(3);
    EXPECT_TRUE(e.IsValidChar(bs));
    e.SetEditorEnabled(false);
    EXPECT_FALSE(e.IsValidChar(bs));
    EXPECT_FALSE(e.IsValidChar(five));
    e.SetSpinType(TEsgSpinType::sptFloat);
    EXPECT_TRUE(e.IsValidChar(ctrlC));
}

TEST_F(SpinChars, RefusedTypedCharacterBeepsAndIsDropped)
{
    TEsgSpinEdit e;
    e.show();
    e.SetText(QStringLiteral("12"));
    e.setCursorPosition(2);
    QTest::keyClicks(&e, QStringLiteral("a3"));
    EXPECT_EQ(e.Text(), QStringLiteral("123"));
    EXPECT_EQ(beeps, 1);
}

TEST_F(SpinChars, KeypadDotTypesTheRegionalSeparator)
{
    FormatSettings fs = DayMonthYear();
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = '.';
    SetFormatSettings(fs);
    TEsgSpinEdit e;
    e.show();
    e.SetSpinType(TEsgSpinType::sptFloat);
    e.SetText(QStringLiteral("1"));
    e.setCursorPosition(1);
    e.SetExcelStyleDecimalSeparator(true);
    QTest::keyClick(&e, Qt::Key_Period, Qt::KeypadModifier);
    QTest::keyClick(&e, Qt::Key_5);
    EXPECT_EQ(e.Text(), QStringLiteral("1,5"));
    // The main keyboard's "." stays a thousand separator, refused in a float.
    QTest::keyClick(&e, Qt::Key_Period);
    EXPECT_EQ(e.Text(), QStringLiteral("1,5"));
    EXPECT_EQ(beeps, 1);
    e.SetExcelStyleDecimalSeparator(false);
    e.SetText(QStringLiteral("1"));
    e.setCursorPosition(1);
    QTest::keyClick(&e, Qt::Key_Period, Qt::KeypadModifier);
    EXPECT_EQ(e.Text(), QStringLiteral("1"));
}

using SpinSteps = SpinFixture;

TEST_F(SpinSteps, TimeWrapsAroundMidnight)
{
    TEsgSpinEdit e;
    e.SetSpinType(TEsgSpinType::sptTime);
    e.SetText(QStringLiteral("23:30:00"));
    e.setCursorPosition(1);
    e.StepUp(false);
    EXPECT_EQ(e.Text(), QStringLiteral("0:30:00"));
    e.SetText(QStringLiteral("0:10:00"));
    e.setCursorPosition(0);
    e.StepDown(false);
    EXPECT_EQ(e.Text(), QStringLiteral("23:10:00"));
    // Minutes and seconds by the caret.
    e.setCursorPosition(3);
    e.StepUp(false);
    EXPECT_EQ(e.Text(), QStringLiteral("23:11:00"));
    e.setCursorPosition(7);
    e.SetIncrementSeconds(15);
    e.StepDown(false);
    EXPECT_EQ(e.Text(), QStringLiteral("23:10:45"));
    EXPECT_EQ(e.cursorPosition(), 7); // the caret stays
}

TEST_F(SpinSteps, DateFieldsByCaretDayFirst)
{
    TEsgSpinEdit e;
    e.SetSpinType(TEsgSpinType::sptDate);
    struct Case {
        const char* from;
        int caret;
        int sign;
        const char* to;
    } cases[] = {
        {"31/01/2024", 4, +1, "29/02/2024"}, // month field
        {"31/01/2024", 0, +1, "01/02/2024"}, // day field
        {"29/02/2024", 8, +1, "28/02/2025"}, // year field: as month steps, the day clipped
        {"29/02/2024", 8, -1, "28/02/2023"},
        {"31/03/2024", 3, -1, "29/02/2024"},
    };
    for (const Case& c : cases) {
        e.SetText(QString::fromUtf8(c.from));
        e.setCursorPosition(c.caret);
        c.sign > 0 ? e.StepUp(false) : e.StepDown(false);
        EXPECT_EQ(e.Text(), QString::fromUtf8(c.to)) << c.from << " caret " << c.caret;
    }
    EXPECT_FALSE(e.UsDates());
    EXPECT_EQ(beeps, 0);
}

TEST_F(SpinSteps, DateFieldsFollowTheFormatOrder)
{
    FormatSettings fs = DayMonthYear();
    fs.ShortDateFormat = QStringLiteral("yyyy-MM-dd");
    fs.DateSeparator = '-';
    SetFormatSettings(fs);
    TEsgSpinEdit e;
    e.SetSpinType(TEsgSpinType::sptDate);
    e.SetText(QStringLiteral("2024-01-31"));
    e.setCursorPosition(0);
    e.StepUp(false);
    EXPECT_EQ(e.Text(), QStringLiteral("2025-01-31"));
    e.setCursorPosition(6);
    e.StepUp(false);
    EXPECT_EQ(e.Text(), QStringLiteral("2025-02-28"));
    EXPECT_TRUE(e.UsDates());
    fs.ShortDateFormat = QStringLiteral("M/d/yyyy");
    fs.DateSeparator = '/';
    SetFormatSettings(fs);
    e.SetText(QStringLiteral("1/31/2024"));
    e.setCursorPosition(0);
    e.StepUp(false);
    EXPECT_EQ(e.Text(), QStringLiteral("2/29/2024"));
}

TEST_F(SpinSteps, DateOutsideTheYearsBeepsAndKeeps)
{
    TEsgSpinEdit e;
    e.SetSpinType(TEsgSpinType::sptDate);
    e.SetText(QStringLiteral("31/12/9999"));
    for (int caret : {0, 4, 8}) {
        e.setCursorPosition(caret);
        e.StepUp(false);
        EXPECT_EQ(e.Text(), QStringLiteral("31/12/9999"));
    }
    EXPECT_EQ(beeps, 3);
}

TEST_F(SpinSteps, FloatPagesAndReadOnly)
{
    TEsgSpinEdit e;
    e.SetSpinType(TEsgSpinType::sptFloat);
    e.SetText(QStringLiteral("1"));
    e.StepUp(false);
    EXPECT_EQ(e.Text(), QStringLiteral("1.1"));
    e.StepUp(true);
    EXPECT_EQ(e.Text(), QStringLiteral("2.1"));
    e.StepDown(true);
    e.StepDown(false);
    EXPECT_EQ(e.Text(), QStringLiteral("1"));
    e.SetReadOnly(true);
    e.StepUp(false);
    EXPECT_EQ(e.Text(), QStringLiteral("1"));
    EXPECT_EQ(beeps, 1);
}

using SpinKeys = SpinFixture;

TEST_F(SpinKeys, StepKeysAreConsumed)
{
    TEsgSpinEdit e;
    e.show();
    int keyDowns = 0;
    e.OnKeyDown = [&](QObject*, int&, Qt::KeyboardModifiers) { ++keyDowns; };
    e.SetIncrement(2);
    e.SetText(QStringLiteral("10"));
    QTest::keyClick(&e, Qt::Key_Up);
    QTest::keyClick(&e, Qt::Key_Up);
    QTest::keyClick(&e, Qt::Key_Down);
    QTest::keyClick(&e, Qt::Key_PageUp);
    EXPECT_EQ(e.Text(), QStringLiteral("14"));
    QTest::keyClick(&e, Qt::Key_PageDown);
    EXPECT_EQ(e.Text(), QStringLiteral("12"));
    EXPECT_EQ(keyDowns, 0);
    QTest::keyClick(&e, Qt::Key_Home);
    EXPECT_EQ(keyDowns, 1);
}

TEST_F(SpinKeys, ReturnIsTabMovesTheFocus)
{
    QWidget form;
    TEsgSpinEdit e(&form);
    QLineEdit next(&form);
    next.move(0, 40);
    form.show();
    QApplication::setActiveWindow(&form);
    e.setFocus();
    ASSERT_TRUE(e.hasFocus());
    QTest::keyClick(&e, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(e.hasFocus()) << "without ReturnIsTab Enter stays";
    e.SetReturnIsTab(true);
    QTest::keyClick(&e, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(next.hasFocus());
}

TEST_F(SpinKeys, DeleteIsSwallowedWithEditorDisabled)
{
    TEsgSpinEdit e;
    e.show();
    e.SetText(QStringLiteral("123"));
    e.setCursorPosition(0);
    e.SetEditorEnabled(false);
    QTest::keyClick(&e, Qt::Key_Delete);
    EXPECT_EQ(e.Text(), QStringLiteral("123"));
    e.SetEditorEnabled(true);
    QTest::keyClick(&e, Qt::Key_Delete);
    EXPECT_EQ(e.Text(), QStringLiteral("23"));
}

using SpinPaste = SpinFixture;

// Every way to paste: keys, context menu, middle button, drop.
void PasteAllWays(TEsgSpinEdit& e, const QString& clip)
{
    QApplication::clipboard()->setText(clip);
    e.setCursorPosition(int(e.text().size()));
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier); // character 22, then the paste
    e.setCursorPosition(int(e.text().size()));
    QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier);
    // The context menu's paste command.
    e.setCursorPosition(int(e.text().size()));
    PopupMenuHandler old = SetPopupMenuHandler([](QMenu& m, const QPoint&) -> QAction* {
        for (QAction* a : m.actions())
            if (a->objectName() == QLatin1String("edit-paste")) {
                a->setEnabled(true);
                return a;
            }
        ADD_FAILURE() << "no paste command in the context menu";
        return nullptr;
    });
    QContextMenuEvent cm(QContextMenuEvent::Mouse, QPoint(5, 5), e.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&e, &cm);
    SetPopupMenuHandler(old);
    // A drop.
    QMimeData mime;
    mime.setText(clip);
    QDropEvent drop(QPointF(e.width() - 20, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    // (the application delivers a drop only after a drag has entered, so
    // the event goes straight to the widget)
    static_cast<QObject*>(&e)->event(&drop);
    // The selection paste of the middle button, where the desktop has one.
    if (QApplication::clipboard()->supportsSelection()) {
        QApplication::clipboard()->setText(clip, QClipboard::Selection);
        QTest::mouseClick(&e, Qt::MiddleButton, Qt::NoModifier, QPoint(e.width() - 20, 5));
    }
}

TEST_F(SpinPaste, EveryPathHonoursEditorEnabledReadOnlyAndKind)
{
    TEsgSpinEdit e;
    e.show();
    e.SetSpinType(TEsgSpinType::sptFloat); // the integer kind refuses Ctrl+V as a control character
    e.SetText(QStringLiteral("1"));
    PasteAllWays(e, QStringLiteral("2"));
    const int ways = int(e.Text().size()) - 1;
    EXPECT_GE(ways, 4);
    EXPECT_EQ(e.Text(), QStringLiteral("1") + QString(ways, QChar('2')));

    e.SetText(QStringLiteral("1"));
    e.SetEditorEnabled(false);
    PasteAllWays(e, QStringLiteral("2"));
    EXPECT_EQ(e.Text(), QStringLiteral("1"));
    e.SetEditorEnabled(true);
    e.SetReadOnly(true);
    PasteAllWays(e, QStringLiteral("2"));
    EXPECT_EQ(e.Text(), QStringLiteral("1"));
    EXPECT_EQ(beeps, 0);
    e.SetReadOnly(false);
    // A paste that would leave no integer beeps.
    PasteAllWays(e, QStringLiteral("x"));
    EXPECT_EQ(e.Text(), QStringLiteral("1"));
    EXPECT_EQ(beeps, ways);
}

TEST_F(SpinPaste, IntegerKindRefusesControlKeysButTakesShiftInsert)
{
    TEsgSpinEdit e;
    e.show();
    e.SetText(QStringLiteral("1"));
    e.setCursorPosition(1);
    QApplication::clipboard()->setText(QStringLiteral("2"));
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), QStringLiteral("1"));
    EXPECT_EQ(beeps, 1);
    QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(e.Text(), QStringLiteral("12"));
    // Empty text is taken; a date text in a date edit, not a stray word.
    e.selectAll();
    QApplication::clipboard()->setText(QStringLiteral(" "));
    QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(e.Text(), QStringLiteral(" "));
    e.SetSpinType(TEsgSpinType::sptDate);
    e.selectAll();
    QApplication::clipboard()->setText(QStringLiteral("29/02/2024"));
    QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(e.Text(), QStringLiteral("29/02/2024"));
    e.selectAll();
    QApplication::clipboard()->setText(QStringLiteral("30/02/2024"));
    QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(e.Text(), QStringLiteral("29/02/2024"));
    EXPECT_EQ(beeps, 2);
}

TEST_F(SpinPaste, CutOnlyWhenEditable)
{
    TEsgSpinEdit e;
    e.show();
    e.SetSpinType(TEsgSpinType::sptFloat);
    e.SetText(QStringLiteral("123"));
    e.SetEditorEnabled(false);
    e.selectAll();
    QTest::keyClick(&e, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), QStringLiteral("123"));
    e.SetEditorEnabled(true);
    e.selectAll();
    QTest::keyClick(&e, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), QString());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("123"));
}

using SpinButtonTest = SpinFixture;

TEST_F(SpinButtonTest, LayoutOfTheParts)
{
    TEsgSpinButton b;
    b.SetBounds(0, 0, 10, 25);
    EXPECT_EQ(b.width(), 15);
    EXPECT_EQ(b.UpButton()->geometry(), QRect(0, 0, 15, 12));
    EXPECT_EQ(b.DownButton()->geometry(), QRect(0, 11, 15, 14));
    b.SetDirection(TSpinDirection::spHorizontal);
    b.SetBounds(0, 0, 10, 17);
    EXPECT_EQ(b.width(), 20);
    EXPECT_EQ(b.DownButton()->geometry(), QRect(0, 0, 10, 17));
    EXPECT_EQ(b.UpButton()->geometry(), QRect(11, 0, 10, 17));
    EXPECT_EQ(b.UpButton()->ButtonDirection(), TButtonDirection::bdRight);
    EXPECT_EQ(b.DownButton()->ButtonDirection(), TButtonDirection::bdLeft);
}

TEST_F(SpinButtonTest, EditPlacesItsButtonAndKeepsItsMinimumHeight)
{
    TEsgSpinEdit e;
    // Client coordinates start inside the 2-pixel border.
    EXPECT_EQ(e.Button()->geometry(), QRect(2 + e.width() - 15 - 5, 2, 15, e.height() - 5));
    e.show();
    e.resize(100, 5);
    EXPECT_EQ(e.height(), e.MinHeight());
    e.resize(100, 30);
    EXPECT_EQ(e.Button()->geometry(), QRect(2 + 100 - 15 - 5, 2, 15, 25));
    EXPECT_EQ(e.EditRect(), (TRect{0, 0, 96 - 15 - 2, 27}));
    SetPlatformVersionFlags(true, true, false);
    e.resize(101, 30);
    EXPECT_EQ(e.Button()->geometry(), QRect(2 + 101 - 15, 3, 15, 27));
    SetPlatformVersionFlags(true, true, true);
}

TEST_F(SpinButtonTest, ClickStepsAndRepeatRunsOnTheTimersTick)
{
    QWidget form;
    TEsgSpinEdit e(&form);
    form.show();
    QApplication::setActiveWindow(&form);
    e.SetText(QStringLiteral("5"));
    TExtTimerSpeedButton* up = e.Button()->UpButton();
    QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_TRUE(e.hasFocus()); // the press gives the focus to the edit
    ASSERT_NE(up->RepeatTimer(), nullptr);
    EXPECT_EQ(up->RepeatTimer()->interval(), 400);
    EXPECT_TRUE(up->RepeatTimer()->isActive());
    up->TimerExpired();
    up->TimerExpired();
    EXPECT_EQ(up->RepeatTimer()->interval(), 100);
    EXPECT_EQ(e.Text(), QStringLiteral("7"));
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(e.Text(), QStringLiteral("8")); // the click of the release
    EXPECT_FALSE(up->RepeatTimer()->isActive());
    up->TimerExpired(); // a late tick does nothing once released
    EXPECT_EQ(e.Text(), QStringLiteral("8"));
    TExtTimerSpeedButton* down = e.Button()->DownButton();
    QTest::mouseClick(down, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(e.Text(), QStringLiteral("7"));
    // A right click does nothing.
    QTest::mouseClick(down, Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(e.Text(), QStringLiteral("7"));
}

TEST_F(SpinButtonTest, FocusedSpinButtonKeys)
{
    QWidget form;
    TEsgSpinButton b(&form);
    b.SetTabStop(true);
    int ups = 0, downs = 0;
    b.OnUpClick = [&](QObject* s) { EXPECT_EQ(s, &b); ++ups; };
    b.OnDownClick = [&](QObject*) { ++downs; };
    form.show();
    QApplication::setActiveWindow(&form);
    b.setFocus();
    EXPECT_TRUE(b.UpButton()->TimeBtnState().Has(TTimeBtnStates::tbFocusRect));
    QTest::keyClick(&b, Qt::Key_Down);
    EXPECT_EQ(b.FocusedButton(), b.DownButton());
    EXPECT_TRUE(b.DownButton()->TimeBtnState().Has(TTimeBtnStates::tbFocusRect));
    EXPECT_FALSE(b.UpButton()->TimeBtnState().Has(TTimeBtnStates::tbFocusRect));
    QTest::keyClick(&b, Qt::Key_Space);
    QTest::keyClick(&b, Qt::Key_Up);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(downs, 2);
}

TEST_F(SpinButtonTest, CustomColourTriangles)
{
    SetVisualStylesActive(false);
    TEsgSpinButton b;
    b.SetButtonColor(clLime);
    b.SetButtonColorHot(clYellow);
    b.SetButtonColorDown(clRed);
    b.SetBounds(0, 0, 15, 24);
    const QImage up = b.UpButton()->grab().toImage();
    EXPECT_EQ(At(up, 0, 0), clLime);
    EXPECT_EQ(At(up, 14, 11), clLime);
    EXPECT_EQ(At(up, 6, 2), clBlack); // the apex
    EXPECT_EQ(At(up, 6, 3), clBlack);
    EXPECT_EQ(At(up, 5, 4), clBlack); // the base
    EXPECT_EQ(At(up, 9, 4), clLime);
    EXPECT_EQ(At(up, 6, 5), clLime);
    const QImage down = b.DownButton()->grab().toImage();
    EXPECT_EQ(At(down, 6, 4), clBlack);
    EXPECT_EQ(At(down, 5, 2), clBlack);
    EXPECT_EQ(At(down, 6, 1), clLime);
    b.SetDirection(TSpinDirection::spHorizontal);
    const QImage left = b.DownButton()->grab().toImage();
    EXPECT_EQ(At(left, 3, 7), clBlack);
    EXPECT_EQ(At(left, 5, 6), clBlack);
    EXPECT_EQ(At(left, 7, 7), clLime);
    const QImage right = b.UpButton()->grab().toImage();
    EXPECT_EQ(At(right, 5, 7), clBlack);
    EXPECT_EQ(At(right, 2, 7), clLime);
    SetVisualStylesActive(true);
}

TEST_F(SpinButtonTest, ClassicLookShowsTheArrowPictures)
{
    const QImage upGlyph = TEsgSpinButton::DefaultGlyph(true);
    ASSERT_EQ(upGlyph.size(), QSize(9, 6));
    EXPECT_EQ(At(upGlyph, 4, 1), clBlack);
    EXPECT_NE(At(upGlyph, 3, 1), clBlack);
    EXPECT_EQ(At(upGlyph, 1, 4), clBlack);
    EXPECT_EQ(At(TEsgSpinButton::DefaultGlyph(false), 4, 4), clBlack);
    SetVisualStylesActive(false);
    TEsgSpinButton b;
    b.SetBounds(0, 0, 15, 24);
    const QImage up = b.UpButton()->grab().toImage();
    // 9 x 6 centred in 15 x 12: the apex at (3 + 4, 3 + 1).
    EXPECT_EQ(At(up, 7, 4), clBlack);
    EXPECT_NE(At(up, 7, 3), clBlack);
    EXPECT_EQ(At(up, 4, 7), clBlack);
    // A glyph set and taken back.
    QImage dot(3, 3, QImage::Format_RGB32);
    dot.fill(Qt::red);
    b.SetUpGlyph(dot);
    EXPECT_EQ(b.UpGlyph().size(), QSize(3, 3));
    b.SetUpGlyph(QImage());
    EXPECT_EQ(b.UpGlyph().size(), QSize(9, 6));
    SetVisualStylesActive(true);
}

} // namespace

namespace {

using SpinMore = SpinFixture;

TEST_F(SpinMore, InputMethodCommitsPassTheCharacterFilter)
{
    TEsgSpinEdit e;
    e.show();
    e.SetText(QStringLiteral("1"));
    e.setCursorPosition(1);
    QInputMethodEvent im;
    im.setCommitString(QStringLiteral("a2.3"));
    QApplication::sendEvent(&e, &im);
    EXPECT_EQ(e.Text(), QStringLiteral("123"));
    EXPECT_EQ(beeps, 2);
    e.SetEditorEnabled(false);
    QInputMethodEvent im2;
    im2.setCommitString(QStringLiteral("4"));
    QApplication::sendEvent(&e, &im2);
    EXPECT_EQ(e.Text(), QStringLiteral("123"));
}

TEST_F(SpinMore, LoadingStoresDatesAndLoadedWritesThem)
{
    TEsgSpinEdit e;
    e.BeginLoad();
    e.SetSpinType(TEsgSpinType::sptDate);
    e.SetDateValue(EncodeDate(2024, 2, 29));
    EXPECT_EQ(e.Text(), QStringLiteral("0"));
    e.Loaded();
    EXPECT_EQ(e.Text(), QStringLiteral("29/02/2024"));
}

TEST_F(SpinMore, EnteringSelectsAll)
{
    QWidget form;
    TEsgSpinEdit e(&form);
    QLineEdit other(&form);
    other.move(0, 40);
    form.show();
    QApplication::setActiveWindow(&form);
    other.setFocus();
    e.SetText(QStringLiteral("42"));
    e.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(e.SelText(), QStringLiteral("42"));
    other.setFocus();
    e.SetAutoSelect(false);
    e.setCursorPosition(1);
    e.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(e.SelText(), QString());
}

} // namespace

namespace {
TEST(SpinButtonErrors, AnExceptionFromARepeatedClickStopsTheTimerAndIsShown)
{
    TEsgSpinButton b;
    b.SetBounds(0, 0, 15, 24);
    b.show();
    bool fail = false;
    b.OnUpClick = [&](QObject*) {
        if (fail) throw Exception(QStringLiteral("step failed"));
    };
    TExtTimerSpeedButton* up = b.UpButton();
    QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    ASSERT_TRUE(up->RepeatTimer()->isActive());
    fail = true;
    EXPECT_THROW(up->TimerExpired(), Exception);
    EXPECT_FALSE(up->RepeatTimer()->isActive());
    // From a key, the default handler shows it and nothing leaves the handler.
    b.SetTabStop(true);
    ScriptedMessages msgs;
    msgs.Expect(QStringLiteral("step failed"));
    QTest::keyClick(&b, Qt::Key_Up);
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, QPoint(30, 3));
}
} // namespace
