#pragma once
// Small value conversions shared by every layer.
#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

class QLocale;

// The program's integer convention: optional leading blanks and a sign, then
// decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X".
// Anything else (the empty text, trailing characters, a value outside the
// range) is no integer. The 32-bit form takes hexadecimal up to eight digits,
// read as the 32-bit pattern (so "$FFFFFFFF" is -1); the 64-bit form takes
// the signed 64-bit decimal range and up to sixteen hexadecimal digits, read
// as the 64-bit pattern. The UTF-8 forms read the same rule straight from
// bytes (for readers that walk large files without making QStrings).
std::optional<int32_t> TryStrToInt(const QString& text);
std::optional<int32_t> TryStrToInt(std::string_view utf8);
inline std::optional<int32_t> TryStrToInt(const char* utf8) { return TryStrToInt(std::string_view(utf8)); }
std::optional<int64_t> TryStrToInt64(const QString& text);
std::optional<int64_t> TryStrToInt64(std::string_view utf8);
inline std::optional<int64_t> TryStrToInt64(const char* utf8) { return TryStrToInt64(std::string_view(utf8)); }
int32_t StrToIntDef(const QString& text, int32_t def);
// True when the text has the form of an integer (blanks, sign, prefix and
// digits as above), however large its value: a text that is no integer only
// because it is out of range.
bool IsIntegerForm(const QString& text);
bool IsIntegerForm(std::string_view utf8);
inline bool IsIntegerForm(const char* utf8) { return IsIntegerForm(std::string_view(utf8)); }
// Throws EConvertError "'text' is not a valid integer value" when not an integer.
int32_t StrToInt(const QString& text);

// Decimal text of an integer.
inline QString IntToStr(int64_t v) { return QString::number(v); }
// Upper-case hexadecimal, zero-padded to at least `digits` characters.
QString IntToHex(uint64_t v, int digits);

// Trims characters up to and including the blank (control characters and
// blanks) at both ends, as the program's texts are trimmed.
QString Trim(const QString& s);
QString TrimLeft(const QString& s);
QString TrimRight(const QString& s);

// Locale values read from the system at start and fixed for the program's
// life; tests pin them with SetFormatSettings.
struct FormatSettings {
    QChar DecimalSeparator = '.';
    QChar ThousandSeparator = ',';
    QChar DateSeparator = '/';
    QChar TimeSeparator = ':';
    QString ShortDateFormat = QStringLiteral("dd/MM/yyyy");
    // Time formats in the date-time pattern syntax of FormatDateTime, and the
    // texts of the two halves of the day for 12-hour formats.
    QString LongTimeFormat = QStringLiteral("h:nn:ss");
    QString ShortTimeFormat = QStringLiteral("h:nn");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");

    // The values of the system locale.
    static FormatSettings FromSystem();
};

const FormatSettings& SystemFormatSettings();
void SetFormatSettings(const FormatSettings& fs);
// The locale whose collation orders texts in the locale-aware text
// comparisons: the user's locale; tests pin one with SetCollationLocale.
const QLocale& CollationLocale();
void SetCollationLocale(const QLocale& locale);

// ---------------------------------------------------------------------------
// Date-time values: days since 30 December 1899 in the integer part, the
// time of day as the fraction (for dates before that day the day count is
// negative and the time is counted away from it).
using TDateTime = double;

// False when the date does not exist (years 1..9999).
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
// Throws EConvertError when the date does not exist.
TDateTime EncodeDate(int year, int month, int day);
// False unless 0..23, 0..59, 0..59, 0..999.
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& value);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
// The time of day of a value, rounded to the millisecond.
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);
// A date plus a time of day.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);
// Today without a time part.
TDateTime Date();
// The same day `months` calendar months later (earlier when negative), the
// day clipped to the length of the target month; false outside 1..9999.
bool TryIncMonth(TDateTime value, int months, TDateTime& result);

// Formats a value by a pattern. Pattern letters, in either case:
//   d dd ddd dddd        day, two-digit day, short and long day name
//   ddddd dddddd         the short date format (the long one is the same)
//   m mm mmm mmmm        month (minutes right after an hour), names
//   yy yyyy              two- and four-digit year (y alone as yy)
//   h hh                 hour; 12-hour when the pattern holds am/pm, a/p or ampm
//   n nn  s ss  z zzz    minute, second, millisecond
//   am/pm a/p ampm       the half of the day (ampm gives TimeAMString/TimePMString)
//   c                    short date and long time; t tt short and long time
//   /  :                 the date and the time separator
//   "..." '...'          literal text
// Every other character is copied.
QString FormatDateTime(const QString& format, TDateTime value, const FormatSettings& fs);
QString FormatDateTime(const QString& format, TDateTime value);
// The short date text and the long time text of a value.
QString DateToStr(TDateTime value, const FormatSettings& fs);
QString DateToStr(TDateTime value);
QString TimeToStr(TDateTime value, const FormatSettings& fs);
QString TimeToStr(TDateTime value);

// A date typed as numbers between date separators, in the order of the
// short date format (day, month and year as its first d, M and y letters
// come). Two numbers are day and month of the current year; a year of one
// or two digits is taken within 50 years of today. Blanks around the text
// are allowed, nothing else.
bool TryStrToDate(const QString& text, TDateTime& value, const FormatSettings& fs);
bool TryStrToDate(const QString& text, TDateTime& value);
// A time "h[:m[:s[.zzz]]]" with the time separator, optionally followed or
// preceded by TimeAMString / TimePMString (or "AM" / "PM"), blanks allowed
// around the parts; an hour alone needs the half of the day.
bool TryStrToTime(const QString& text, TDateTime& value, const FormatSettings& fs);
bool TryStrToTime(const QString& text, TDateTime& value);
