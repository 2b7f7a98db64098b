// Date and time texts by the regional settings, and edit masks.
#include "common/TestSupport.h"
#include "platform/Application.h"
#include "platform/MaskEdit.h"
#include "platform/SysUtils.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TDateTime DT(int y, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    TDateTime t = 0;
    EXPECT_TRUE(TryEncodeTime(h, mi, s, ms, t));
    return EncodeDate(y, m, d) + t;
}

TEST(DateTimeText, FormatTokens)
{
    FormatSettings fs = DayMonthYear();
    fs.DateSeparator = '.';
    fs.TimeSeparator = '-';
    const TDateTime v = DT(2024, 3, 7, 14, 5, 9, 42);
    struct Case {
        const char* format;
        const char* expected;
    } cases[] = {
        {"d/m/yy", "7.3.24"},
        {"dd/mm/yyyy", "07.03.2024"},
        {"h:n:s", "14-5-9"},
        {"hh:nn:ss.zzz", "14-05-09.042"},
        {"h:mm", "14-05"},           // m after an hour: minutes
        {"HH:MM", "14-05"},          // in either case
        {"hh:mm am/pm", "02-05 pm"},
        {"h AM/PM", "2 PM"},
        {"h a/p", "2 p"},
        {"h ampm", "2 PM"},
        {"'at' h\"h\"", "at 14h"},   // quoted literals
        {"yyyy-mm-dd", "2024-03-07"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.format), v, fs), QString::fromUtf8(c.expected)) << c.format;
    EXPECT_EQ(FormatDateTime(QStringLiteral("h ampm"), DT(2024, 3, 7, 0, 30), fs), QStringLiteral("12 AM"));
}

TEST(DateTimeText, ShortDateAndLongTime)
{
    const FormatSettings fs = DayMonthYear();
    EXPECT_EQ(DateToStr(DT(2024, 2, 29), fs), QStringLiteral("29/02/2024"));
    EXPECT_EQ(TimeToStr(DT(2024, 2, 29, 0, 30), fs), QStringLiteral("0:30:00"));
    // Only the time of day shows for a value of a day or more.
    EXPECT_EQ(TimeToStr(1.0 + 23.5 / 24, fs), QStringLiteral("23:30:00"));
}

TEST(DateTimeText, DatesReadBack)
{
    FormatSettings fs = DayMonthYear();
    TDateTime v = 0;
    EXPECT_TRUE(TryStrToDate(QStringLiteral(" 31/01/2024 "), v, fs));
    EXPECT_EQ(v, EncodeDate(2024, 1, 31));
    for (const char* bad : {"31/02/2024", "", "1/2/3/4", "a/1/2024", "1/1/2024x", "0/1/2024"})
        EXPECT_FALSE(TryStrToDate(QString::fromUtf8(bad), v, fs)) << bad;
    fs.ShortDateFormat = QStringLiteral("M/d/yyyy");
    EXPECT_TRUE(TryStrToDate(QStringLiteral("1/31/2024"), v, fs));
    EXPECT_EQ(v, EncodeDate(2024, 1, 31));
    fs.ShortDateFormat = QStringLiteral("yyyy-MM-dd");
    fs.DateSeparator = '-';
    EXPECT_TRUE(TryStrToDate(QStringLiteral("2024-01-31"), v, fs));
    EXPECT_EQ(v, EncodeDate(2024, 1, 31));
    // Round trip of every day of a leap year in three orders.
    for (const char* f : {"dd/MM/yyyy", "M/d/yyyy", "yyyy/MM/dd"}) {
        FormatSettings g = DayMonthYear();
        g.ShortDateFormat = QString::fromUtf8(f);
        for (TDateTime d = EncodeDate(2024, 1, 1); d < EncodeDate(2025, 1, 1); d += 1) {
            TDateTime back = 0;
            ASSERT_TRUE(TryStrToDate(DateToStr(d, g), back, g)) << f;
            EXPECT_EQ(back, d);
        }
    }
}

TEST(DateTimeText, TwoDigitYearsAndTwoNumbers)
{
    const FormatSettings fs = DayMonthYear();
    TDateTime v = 0;
    ASSERT_TRUE(TryStrToDate(QStringLiteral("5/6/24"), v, fs));
    int y, m, d;
    DecodeDate(v, y, m, d);
    EXPECT_EQ(y % 100, 24);
    EXPECT_LE(std::abs(y - QDate::currentDate().year()), 50);
    ASSERT_TRUE(TryStrToDate(QStringLiteral("5/6"), v, fs));
    DecodeDate(v, y, m, d);
    EXPECT_EQ(y, QDate::currentDate().year());
    EXPECT_EQ(m, 6);
    EXPECT_EQ(d, 5);
}

TEST(DateTimeText, TimesReadBack)
{
    const FormatSettings fs = DayMonthYear();
    struct Case {
        const char* text;
        int h, m, s;
    } good[] = {{"0:30:00", 0, 30, 0}, {"23:10", 23, 10, 0}, {" 7:05:09 ", 7, 5, 9}, {"2:05 PM", 14, 5, 0},
                {"12:00 am", 0, 0, 0}, {"12 PM", 12, 0, 0}, {"PM 1:00", 13, 0, 0}};
    for (const Case& c : good) {
        TDateTime v = -1;
        ASSERT_TRUE(TryStrToTime(QString::fromUtf8(c.text), v, fs)) << c.text;
        int h, m, s, ms;
        DecodeTime(v, h, m, s, ms);
        EXPECT_EQ(h, c.h) << c.text;
        EXPECT_EQ(m, c.m) << c.text;
        EXPECT_EQ(s, c.s) << c.text;
    }
    for (const char* bad : {"", "24:00", "12:60", "7", "13:00 PM", "1:2:3:4", "1:x"}) {
        TDateTime v = 0;
        EXPECT_FALSE(TryStrToTime(QString::fromUtf8(bad), v, fs)) << bad;
    }
}

TEST(DateTimeText, MonthStepsClipTheDay)
{
    TDateTime r = 0;
    ASSERT_TRUE(TryIncMonth(DT(2024, 1, 31, 6), 1, r));
    EXPECT_EQ(r, DT(2024, 2, 29, 6));
    ASSERT_TRUE(TryIncMonth(DT(2024, 1, 15), -1, r));
    EXPECT_EQ(r, DT(2023, 12, 15));
    EXPECT_FALSE(TryIncMonth(DT(9999, 12, 1), 1, r));
    EXPECT_FALSE(TryIncMonth(DT(1, 1, 1), -1, r));
}

TEST(EditMaskEngine, Translation)
{
    const FormatSettings fs = DayMonthYear();
    struct Case {
        const char* mask;
        const char* qt;
        bool save;
        char16_t blank;
    } cases[] = {
        {"!99/99/0000;1;_", "00/00/9999;_", true, '_'},
        {"!90:00:00;1; ", "09:99:99; ", true, ' '},
        {"LlAaCc", "AaNnXx;_", true, '_'},
        {">LL<ll<>L", ">AA<aa!A;_", true, '_'},
        {"\\A-#_0;0;*", "\\A-# 9;*", false, '*'},
        {"(999) 000-0000", "(000) 999-9999;_", true, '_'},
    };
    for (const Case& c : cases) {
        const TEditMask m = ParseEditMask(QString::fromUtf8(c.mask), fs);
        EXPECT_EQ(m.InputMask, QString::fromUtf8(c.qt)) << c.mask;
        EXPECT_EQ(m.SaveLiterals, c.save) << c.mask;
        EXPECT_EQ(m.Blank, QChar(c.blank)) << c.mask;
    }
    EXPECT_TRUE(ParseEditMask(QString(), fs).InputMask.isEmpty());
}

TEST(EditMaskEngine, TextWithAndWithoutLiterals)
{
    FormatSettings fs = DayMonthYear();
    fs.DateSeparator = '.';
    SetFormatSettings(fs);
    TMaskEdit e;
    e.SetEditMask(QStringLiteral("!99/99/0000;1;_"));
    e.SetText(QStringLiteral("07.03.2024"));
    EXPECT_EQ(e.EditText(), QStringLiteral("07.03.2024"));
    EXPECT_EQ(e.Text(), QStringLiteral("07.03.2024"));
    e.SetEditMask(QStringLiteral("!99/99/0000;0;_"));
    e.SetText(QStringLiteral("07.03.2024"));
    EXPECT_EQ(e.Text(), QStringLiteral("07032024"));
    e.SetText(QString());
    EXPECT_EQ(e.EditText(), QStringLiteral("__.__.____"));
    EXPECT_EQ(e.Text(), QStringLiteral("        "));
    SetFormatSettings(DayMonthYear());
}

// An edit that counts what passes its two doors.
class DoorEdit : public TMaskEdit {
public:
    QStringList pasted;
    QString chars;
    bool refuse = false;

protected:
    void WMPaste(const QString& text) override
    {
        pasted << text;
        if (!refuse) TMaskEdit::WMPaste(text);
    }
    void KeyPress(QChar& key) override
    {
        chars += key;
        if (refuse) key = QChar();
    }
};

TEST(MaskEditDoors, EveryPastePathAndCharacterPathPasses)
{
    DoorEdit e;
    e.show();
    QApplication::clipboard()->setText(QStringLiteral("ab"));
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier);
    QInputMethodEvent im;
    im.setCommitString(QStringLiteral("xy"));
    QApplication::sendEvent(&e, &im);
    EXPECT_EQ(e.pasted, QStringList({QStringLiteral("ab"), QStringLiteral("ab")}));
    EXPECT_EQ(e.Text(), QStringLiteral("ababxy"));
    // Ctrl+V is the control character 22 before it is a paste.
    EXPECT_EQ(e.chars, QString(QChar(22)) + QStringLiteral("xy"));
    e.refuse = true;
    QTest::keyClicks(&e, QStringLiteral("z"));
    QTest::keyClick(&e, Qt::Key_Backspace);
    QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(e.Text(), QStringLiteral("ababxy"));
}

TEST(MaskEditDoors, PasteTakesTheFirstLineOverTheSelection)
{
    TMaskEdit e;
    e.SetText(QStringLiteral("hello"));
    e.setSelection(1, 3);
    QApplication::clipboard()->setText(QStringLiteral("AB\r\nCD"));
    e.Paste();
    EXPECT_EQ(e.Text(), QStringLiteral("hABo"));
    e.SetReadOnly(true);
    e.Paste();
    EXPECT_EQ(e.Text(), QStringLiteral("hABo"));
}

TEST(BeepHandler, CountsAndRestores)
{
    int beeps = 0;
    BeepHandler old = SetBeepHandler([&] { ++beeps; });
    Beep();
    Beep();
    EXPECT_EQ(beeps, 2);
    SetBeepHandler(old);
}

} // namespace
