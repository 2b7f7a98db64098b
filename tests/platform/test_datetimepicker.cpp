// The date-time picker: format translation, field completion, values, the
// check box and the calendar drop-down.
#include "common/TestSupport.h"
#include "platform/DateTimePicker.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(PickerFormat, EveryTokenLiteralsAndHalfOfDay)
{
    struct Case {
        const char* picker;
        const char* qt;
    } cases[] = {
        {"d dd ddd dddd", "d dd ddd dddd"},
        {"M MM MMM MMMM", "M MM MMM MMMM"},
        {"y yy yyy yyyy", "yy yy yyyy yyyy"}, // one digit of year shows as two
        {"h hh H HH", "h hh H HH"},
        {"m mm s ss", "m mm s ss"},
        {"hh:mm t", "hh:mm AP"},
        {"hh:mm tt", "hh:mm AP"},
        {"dd'de'MM", "dd'de'MM"},
        {"'It''s' d", "'It''s' d"},
        {"d-M-yyyy", "d-M-yyyy"},
        {"dd of MM", "dd 'of' MM"}, // a letter that is no token is a literal
        {"ddddd", "dddd"},
    };
    for (const Case& c : cases) EXPECT_EQ(PickerFormatToQt(QString::fromUtf8(c.picker)), QString::fromUtf8(c.qt)) << c.picker;
}

TEST(PickerFormat, DatesWrittenReadBack)
{
    for (const char* f : {"dd/MM/yyyy", "M/d/yyyy", "yyyy-MM-dd", "d MMMM yyyy", "dddd, dd.MM.yyyy", "dd.MM.yy", "'day' d 'of' M, yyyy"}) {
        const QString qt = PickerFormatToQt(QString::fromUtf8(f));
        for (QDate d(2024, 1, 1); d.year() == 2024; d = d.addDays(17)) {
            const QString text = QLocale::c().toString(d, qt);
            const QDate back = QLocale::c().toDate(text, qt);
            // (a two-digit year reads back in its century's first hundred)
            EXPECT_EQ(back.addYears(qt.contains(QLatin1String("yyyy")) ? 0 : 100), d) << f << " " << text.toStdString();
        }
    }
}

TEST(PickerFormat, FieldCompletion)
{
    struct Case {
        char field;
        int width;
        const char* digits;
        bool complete;
    } cases[] = {
        {'d', 2, "1", false}, {'d', 2, "15", true}, {'d', 2, "4", true}, {'d', 2, "3", false},
        {'M', 2, "1", false}, {'M', 2, "2", true},  {'M', 1, "0", false}, {'y', 4, "202", false},
        {'y', 4, "2025", true}, {'y', 2, "2", false}, {'y', 2, "24", true}, {'H', 2, "2", false},
        {'H', 2, "3", true},  {'h', 2, "1", false}, {'h', 2, "2", true},  {'m', 2, "5", false},
        {'m', 2, "6", true},  {'s', 2, "07", true}, {'d', 2, "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PickerFieldComplete(QChar(c.field), c.width, QString::fromUtf8(c.digits)), c.complete) << c.field << c.digits;
}

class PickerFixture : public ::testing::Test {
protected:
    void SetUp() override { SetFormatSettings(DayMonthYear()); }
    void TearDown() override { SetFormatSettings(DayMonthYear()); }
};

using Picker = PickerFixture;

TEST_F(Picker, ValuesAndDefaultFormats)
{
    TDateTimePicker p;
    const TDateTime v = EncodeDate(2024, 2, 29) + (13 * 3600 + 5 * 60 + 9) / 86400.0;
    p.SetDateTime(v);
    EXPECT_EQ(p.Text(), QStringLiteral("29/02/2024"));
    EXPECT_EQ(p.Date(), EncodeDate(2024, 2, 29));
    EXPECT_NEAR(p.Time(), (13 * 3600 + 5 * 60 + 9) / 86400.0, 1e-9);
    p.SetKind(TDateTimeKind::dtkTime);
    EXPECT_EQ(p.Text(), QStringLiteral("13:05:09"));
    EXPECT_EQ(p.Date(), EncodeDate(2024, 2, 29)); // the date stays
    p.SetKind(TDateTimeKind::dtkDate);
    p.SetFormat(QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(p.Text(), QStringLiteral("2024-02-29"));
    p.SetMaxDate(EncodeDate(2024, 1, 31));
    EXPECT_EQ(p.Date(), EncodeDate(2024, 1, 31));
}

TEST_F(Picker, ADigitLeavesTheFieldActive)
{
    QWidget form;
    TDateTimePicker p(&form);
    p.SetDateTime(EncodeDate(2024, 3, 7));
    form.show();
    QApplication::setActiveWindow(&form);
    p.setFocus();
    p.SetActiveField(0);
    QTest::keyClicks(&p, QStringLiteral("15"));
    EXPECT_EQ(p.Date(), EncodeDate(2024, 3, 15));
    EXPECT_EQ(p.ActiveField(), 0);
    QStringList typed;
    p.OnKeyPress = [&](QObject*, QChar& k) {
        typed << QString(k);
        if (k == '9') k = QChar();
    };
    QTest::keyClicks(&p, QStringLiteral("9"));
    EXPECT_EQ(p.Date(), EncodeDate(2024, 3, 15));
    EXPECT_EQ(typed, QStringList({QStringLiteral("9")}));
}

TEST_F(Picker, CheckBoxGreysAndReportsNoDate)
{
    QWidget form;
    TDateTimePicker p(&form);
    form.show();
    int changes = 0;
    p.OnChange = [&](QObject*) { ++changes; };
    p.SetShowCheckbox(true);
    EXPECT_TRUE(p.Checked());
    p.SetChecked(false);
    EXPECT_FALSE(p.Checked());
    EXPECT_GE(changes, 1);
    QCheckBox* box = p.findChild<QCheckBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_LT(box->x(), 6);
    // Typing into an unchecked picker changes nothing.
    p.SetDateTime(EncodeDate(2024, 3, 7));
    QApplication::setActiveWindow(&form);
    p.setFocus();
    p.SetActiveField(0);
    QTest::keyClicks(&p, QStringLiteral("15"));
    EXPECT_EQ(p.Date(), EncodeDate(2024, 3, 7));
}

TEST_F(Picker, CalendarDropDownAndCloseUpWithCheckBox)
{
    QWidget form;
    TDateTimePicker p(&form);
    p.SetShowCheckbox(true);
    form.show();
    QStringList events;
    p.OnDropDown = [&](QObject* s) {
        EXPECT_EQ(s, &p);
        events << QStringLiteral("down");
    };
    p.OnCloseUp = [&](QObject*) { events << QStringLiteral("up"); };
    p.DropDown();
    EXPECT_TRUE(p.DroppedDown());
    EXPECT_TRUE(p.Calendar()->TodayLine()->text().startsWith(QStringLiteral("Today: ")));
    EXPECT_EQ(p.Calendar()->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    p.CloseUp();
    EXPECT_FALSE(p.DroppedDown());
    EXPECT_EQ(events, QStringList({QStringLiteral("down"), QStringLiteral("up")}));
    // An up-down picker has no calendar.
    p.SetDateMode(TDTDateMode::dmUpDown);
    p.DropDown();
    EXPECT_FALSE(p.DroppedDown());
}

} // namespace

namespace {
TEST(PickerCalendarLook, TodayIsCircled)
{
    TPickerCalendar cal;
    const QDate today = QDate::currentDate();
    cal.setSelectedDate(today.day() > 15 ? today.addDays(-8) : today.addDays(8));
    cal.resize(cal.sizeHint().width(), cal.sizeHint().height() + 20);
    cal.show();
    auto redPixels = [&] {
        const QImage img = cal.grab().toImage();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (QColor(img.pixel(x, y)) == QColor(200, 0, 0)) ++n;
        return n;
    };
    EXPECT_GT(redPixels(), 20);
    cal.setCurrentPage(today.year() + 1, today.month());
    EXPECT_EQ(redPixels(), 0);
    EXPECT_EQ(cal.TodayLine()->text(), QStringLiteral("Today: ") + DateToStr(EncodeDate(today.year(), today.month(), today.day())));
}
} // namespace
