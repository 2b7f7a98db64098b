#include "platform/SysUtils.h"

#include "platform/Exception.h"

#include <QDate>
#include <algorithm>
#include <QLocale>
#include <cmath>

namespace {

// An integer text split into sign, base and magnitude; nothing when the text
// does not follow the convention or its magnitude needs more than 64 bits
// (sixteen significant hexadecimal digits, 2^63 in decimal).
struct IntText {
    uint64_t magnitude = 0;
    bool negative = false;
    bool hex = false;
};

inline char16_t Unit(char c) { return char16_t(uint8_t(c)); }
inline char16_t Unit(char16_t c) { return c; }

// One reading for every character type: UTF-16 units of a QString and UTF-8
// bytes (bytes of multi-byte sequences are no digits, as their characters).
template <class Ch>
std::optional<IntText> ScanInt(const Ch* p, const Ch* e, bool bounded = true)
{
    IntText r;
    while (p < e && Unit(*p) == ' ') ++p;
    if (p < e && (Unit(*p) == '+' || Unit(*p) == '-')) {
        r.negative = Unit(*p) == '-';
        ++p;
    }
    if (p < e && (Unit(*p) == '$' || Unit(*p) == 'x' || Unit(*p) == 'X')) {
        r.hex = true;
        ++p;
    } else if (e - p >= 2 && Unit(p[0]) == '0' && (Unit(p[1]) == 'x' || Unit(p[1]) == 'X')) {
        r.hex = true;
        p += 2;
    }
    if (p >= e) return std::nullopt;
    int significant = 0;
    for (; p < e; ++p) {
        const char16_t c = Unit(*p);
        unsigned d;
        if (c >= '0' && c <= '9')
            d = unsigned(c - '0');
        else if (r.hex && c >= 'a' && c <= 'f')
            d = unsigned(c - 'a' + 10);
        else if (r.hex && c >= 'A' && c <= 'F')
            d = unsigned(c - 'A' + 10);
        else
            return std::nullopt;
        if (!bounded) continue;
        if (r.hex) {
            if (r.magnitude != 0 || d != 0) ++significant;
            if (significant > 16) return std::nullopt;
            r.magnitude = r.magnitude * 16 + d;
        } else {
            if (r.magnitude > (uint64_t(1) << 63) / 10) return std::nullopt;
            r.magnitude = r.magnitude * 10 + d;
            if (r.magnitude > (uint64_t(1) << 63)) return std::nullopt;
        }
    }
    return r;
}

// Hexadecimal is a 32-bit pattern, decimal must lie in the signed 32-bit range.
std::optional<int32_t> ToInt32(const std::optional<IntText>& t)
{
    if (!t) return std::nullopt;
    if (t->hex) {
        if (t->magnitude > 0xFFFFFFFFull) return std::nullopt;
        const uint32_t v = uint32_t(t->magnitude);
        return int32_t(t->negative ? 0u - v : v);
    }
    if (t->magnitude > (t->negative ? 2147483648ull : 2147483647ull)) return std::nullopt;
    return t->negative ? int32_t(-int64_t(t->magnitude)) : int32_t(t->magnitude);
}

std::optional<int64_t> ToInt64(const std::optional<IntText>& t)
{
    if (!t) return std::nullopt;
    if (t->hex) return int64_t(t->negative ? 0 - t->magnitude : t->magnitude);
    if (!t->negative && t->magnitude > uint64_t(INT64_MAX)) return std::nullopt;
    return int64_t(t->negative ? 0 - t->magnitude : t->magnitude);
}

std::optional<IntText> ScanInt(const QString& text)
{
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    return ScanInt(p, p + text.size());
}

std::optional<IntText> ScanInt(std::string_view text) { return ScanInt(text.data(), text.data() + text.size()); }

} // namespace

bool IsIntegerForm(const QString& text)
{
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    return ScanInt(p, p + text.size(), false).has_value();
}
bool IsIntegerForm(std::string_view utf8) { return ScanInt(utf8.data(), utf8.data() + utf8.size(), false).has_value(); }

std::optional<int32_t> TryStrToInt(const QString& text) { return ToInt32(ScanInt(text)); }
std::optional<int32_t> TryStrToInt(std::string_view utf8) { return ToInt32(ScanInt(utf8)); }
std::optional<int64_t> TryStrToInt64(const QString& text) { return ToInt64(ScanInt(text)); }
std::optional<int64_t> TryStrToInt64(std::string_view utf8) { return ToInt64(ScanInt(utf8)); }

int32_t StrToIntDef(const QString& text, int32_t def)
{
    const auto v = TryStrToInt(text);
    return v ? *v : def;
}

int32_t StrToInt(const QString& text)
{
    const auto v = TryStrToInt(text);
    if (!v) throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return *v;
}

QString IntToHex(uint64_t v, int digits) { return QStringLiteral("%1").arg(v, digits, 16, QChar('0')).toUpper(); }

QString TrimLeft(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i].unicode() <= ' ') ++i;
    return s.mid(i);
}

QString TrimRight(const QString& s)
{
    qsizetype j = s.size();
    while (j > 0 && s[j - 1].unicode() <= ' ') --j;
    return s.left(j);
}

QString Trim(const QString& s) { return TrimLeft(TrimRight(s)); }

namespace {
// A locale's time format in the pattern syntax of FormatDateTime: the half
// of the day ("AP", "ap", "A", "a") becomes "ampm", time zones are dropped.
QString LocaleTimePattern(const QString& qt)
{
    QString r;
    for (qsizetype i = 0; i < qt.size(); ++i) {
        const QChar c = qt[i];
        if (c == '\'') { // quoted literal: copied as it is
            const qsizetype j = qt.indexOf('\'', i + 1);
            const qsizetype end = j < 0 ? qt.size() : j + 1;
            r += qt.mid(i, end - i);
            i = end - 1;
        } else if (c == 'A' || c == 'a') {
            if (i + 1 < qt.size() && (qt[i + 1] == 'P' || qt[i + 1] == 'p')) ++i;
            r += QStringLiteral("ampm");
        } else if (c == 't') {
            while (i + 1 < qt.size() && qt[i + 1] == 't') ++i;
        } else {
            r += c;
        }
    }
    return r.trimmed();
}
} // namespace

FormatSettings FormatSettings::FromSystem()
{
    const QLocale loc = QLocale::system();
    FormatSettings fs;
    if (!loc.decimalPoint().isEmpty()) fs.DecimalSeparator = loc.decimalPoint().at(0);
    if (!loc.groupSeparator().isEmpty()) fs.ThousandSeparator = loc.groupSeparator().at(0);
    fs.ShortDateFormat = loc.dateFormat(QLocale::ShortFormat);
    for (QChar c : fs.ShortDateFormat)
        if (!c.isLetter()) {
            fs.DateSeparator = c;
            break;
        }
    const QString tf = loc.timeFormat(QLocale::ShortFormat);
    for (QChar c : tf)
        if (!c.isLetter() && c != ' ') {
            fs.TimeSeparator = c;
            break;
        }
    fs.LongTimeFormat = LocaleTimePattern(loc.timeFormat(QLocale::LongFormat));
    fs.ShortTimeFormat = LocaleTimePattern(tf);
    if (!loc.amText().isEmpty()) fs.TimeAMString = loc.amText();
    if (!loc.pmText().isEmpty()) fs.TimePMString = loc.pmText();
    return fs;
}

namespace {
FormatSettings& Current()
{
    static FormatSettings fs = FormatSettings::FromSystem();
    return fs;
}
} // namespace

const FormatSettings& SystemFormatSettings() { return Current(); }
void SetFormatSettings(const FormatSettings& fs) { Current() = fs; }

namespace {
QLocale& CurrentCollation()
{
    static QLocale locale = QLocale::system();
    return locale;
}
} // namespace

const QLocale& CollationLocale() { return CurrentCollation(); }
void SetCollationLocale(const QLocale& locale) { CurrentCollation() = locale; }

// ---------------------------------------------------------------------------
// Date-time values

namespace {

qint64 EpochJulianDay()
{
    static const qint64 jd = QDate(1899, 12, 30).toJulianDay();
    return jd;
}

// Milliseconds of the time of day of a value.
int64_t TimeMsecs(TDateTime value)
{
    int64_t ms = int64_t(std::llround(std::fabs(value - std::trunc(value)) * 86400000.0));
    if (ms >= 86400000) ms = 86399999;
    return ms;
}

QDate ToQDate(TDateTime value) { return QDate::fromJulianDay(EpochJulianDay() + qint64(std::trunc(value))); }

TDateTime FromQDate(const QDate& d) { return TDateTime(d.toJulianDay() - EpochJulianDay()); }

} // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& value)
{
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day)) return false;
    value = FromQDate(QDate(year, month, day));
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime v = 0;
    if (!TryEncodeDate(year, month, day, v)) throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return v;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& value)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    value = (((hour * 60 + minute) * 60 + second) * 1000.0 + msec) / 86400000.0;
    return true;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    const QDate d = ToQDate(value);
    year = d.year();
    month = d.month();
    day = d.day();
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec)
{
    int64_t ms = TimeMsecs(value);
    msec = int(ms % 1000);
    ms /= 1000;
    second = int(ms % 60);
    ms /= 60;
    minute = int(ms % 60);
    hour = int(ms / 60);
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

TDateTime Date() { return FromQDate(QDate::currentDate()); }

bool TryIncMonth(TDateTime value, int months, TDateTime& result)
{
    int y, m, d;
    DecodeDate(value, y, m, d);
    const int64_t total = int64_t(y) * 12 + (m - 1) + months;
    const int64_t ny = total >= 0 ? total / 12 : -((-total + 11) / 12);
    const int nm = int(total - ny * 12) + 1;
    if (ny < 1 || ny > 9999) return false;
    const int nd = std::min(d, QDate(int(ny), nm, 1).daysInMonth());
    TDateTime date = 0;
    if (!TryEncodeDate(int(ny), nm, nd, date)) return false;
    result = ComposeDateTime(date, std::fabs(value - std::trunc(value)));
    return true;
}

// ---------------------------------------------------------------------------
// Formatting

namespace {

QString Pad(int v, int width) { return QStringLiteral("%1").arg(v, width, 10, QChar('0')); }

// Whether the pattern shows the half of the day, so that hours count 1..12.
bool HasHalfOfDay(const QString& f)
{
    const QString u = f.toLower();
    return u.contains(QLatin1String("am/pm")) || u.contains(QLatin1String("a/p")) || u.contains(QLatin1String("ampm"));
}

int RunLength(const QString& f, qsizetype i, QChar lower)
{
    int n = 0;
    while (i + n < f.size() && f[i + n].toLower() == lower) ++n;
    return n;
}

void AppendFormatted(QString& out, const QString& f, TDateTime value, const FormatSettings& fs, int depth)
{
    int y, mo, d, h, mi, se, ms;
    DecodeDate(value, y, mo, d);
    DecodeTime(value, h, mi, se, ms);
    const QDate date = ToQDate(value);
    const bool twelve = HasHalfOfDay(f);
    bool afterHour = false; // an "m" right after an hour means minutes
    const QLocale loc = QLocale::system();
    for (qsizetype i = 0; i < f.size();) {
        const QChar c = f[i];
        const QChar lc = c.toLower();
        if (c == '"' || c == '\'') {
            const qsizetype j = f.indexOf(c, i + 1);
            const qsizetype end = j < 0 ? f.size() : j;
            out += f.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (lc == 'a') {
            const QString rest = f.mid(i, 5).toLower();
            if (rest.startsWith(QLatin1String("am/pm"))) {
                const QString half = h < 12 ? QStringLiteral("am") : QStringLiteral("pm");
                out += c.isUpper() ? half.toUpper() : half;
                i += 5;
            } else if (rest.startsWith(QLatin1String("a/p"))) {
                const bool upper = f[i].isUpper();
                out += h < 12 ? (upper ? 'A' : 'a') : (upper ? 'P' : 'p');
                i += 3;
            } else if (rest.startsWith(QLatin1String("ampm"))) {
                out += h < 12 ? fs.TimeAMString : fs.TimePMString;
                i += 4;
            } else {
                out += c;
                ++i;
            }
            continue;
        }
        const int n = RunLength(f, i, lc);
        switch (lc.unicode()) {
        case 'd':
            if (n >= 5) {
                if (depth < 2) AppendFormatted(out, fs.ShortDateFormat, value, fs, depth + 1);
            } else if (n == 4) {
                out += loc.dayName(date.dayOfWeek(), QLocale::LongFormat);
            } else if (n == 3) {
                out += loc.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            } else {
                out += Pad(d, n);
            }
            i += n;
            afterHour = false;
            continue;
        case 'm':
            if (afterHour && n <= 2) {
                out += Pad(mi, n);
            } else if (n >= 4) {
                out += loc.monthName(mo, QLocale::LongFormat);
            } else if (n == 3) {
                out += loc.monthName(mo, QLocale::ShortFormat);
            } else {
                out += Pad(mo, n);
            }
            i += n;
            afterHour = false;
            continue;
        case 'y':
            out += n >= 3 ? Pad(y, 4) : Pad(y % 100, 2);
            i += n;
            afterHour = false;
            continue;
        case 'h': {
            int hh = h;
            if (twelve) {
                hh = h % 12;
                if (hh == 0) hh = 12;
            }
            out += Pad(hh, n >= 2 ? 2 : 1);
            i += n;
            afterHour = true;
            continue;
        }
        case 'n':
            out += Pad(mi, n >= 2 ? 2 : 1);
            i += n;
            afterHour = false;
            continue;
        case 's':
            out += Pad(se, n >= 2 ? 2 : 1);
            i += n;
            afterHour = false;
            continue;
        case 'z':
            out += n >= 3 ? Pad(ms, 3) : QString::number(ms);
            i += n;
            afterHour = false;
            continue;
        case 'c':
            if (depth < 2) {
                AppendFormatted(out, fs.ShortDateFormat, value, fs, depth + 1);
                if (TimeMsecs(value) != 0) {
                    out += ' ';
                    AppendFormatted(out, fs.LongTimeFormat, value, fs, depth + 1);
                }
            }
            i += n;
            continue;
        case 't':
            if (depth < 2) AppendFormatted(out, n >= 2 ? fs.LongTimeFormat : fs.ShortTimeFormat, value, fs, depth + 1);
            i += n;
            continue;
        case '/':
            out += fs.DateSeparator;
            ++i;
            continue;
        case ':':
            out += fs.TimeSeparator;
            ++i;
            continue;
        default:
            // Separators between an hour and its minutes keep "m" meaning
            // minutes (h:mm, h.mm).
            out += c;
            ++i;
            continue;
        }
    }
}

} // namespace

QString FormatDateTime(const QString& format, TDateTime value, const FormatSettings& fs)
{
    QString out;
    AppendFormatted(out, format.isEmpty() ? QStringLiteral("c") : format, value, fs, 0);
    return out;
}

QString FormatDateTime(const QString& format, TDateTime value) { return FormatDateTime(format, value, SystemFormatSettings()); }
QString DateToStr(TDateTime value, const FormatSettings& fs) { return FormatDateTime(fs.ShortDateFormat, value, fs); }
QString DateToStr(TDateTime value) { return DateToStr(value, SystemFormatSettings()); }
QString TimeToStr(TDateTime value, const FormatSettings& fs) { return FormatDateTime(fs.LongTimeFormat, value, fs); }
QString TimeToStr(TDateTime value) { return TimeToStr(value, SystemFormatSettings()); }

// ---------------------------------------------------------------------------
// Parsing

namespace {

// Reads digits at p (after blanks); false when none.
bool ScanNumber(const QString& s, qsizetype& p, int& value, int& digits)
{
    while (p < s.size() && s[p] == ' ') ++p;
    digits = 0;
    int64_t v = 0;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') {
        v = v * 10 + (s[p].unicode() - '0');
        if (v > 99999) return false;
        ++p;
        ++digits;
    }
    value = int(v);
    return digits > 0;
}

bool ScanChar(const QString& s, qsizetype& p, QChar c)
{
    while (p < s.size() && s[p] == ' ') ++p;
    if (p < s.size() && s[p] == c) {
        ++p;
        return true;
    }
    return false;
}

// The order of day, month and year in a date format: "DMY", "MDY", "YMD" ...
QString DateOrder(const QString& format)
{
    const QString u = format.toUpper();
    struct Item {
        qsizetype pos;
        QChar letter;
    };
    Item items[3] = {{u.indexOf('D'), 'D'}, {u.indexOf('M'), 'M'}, {u.indexOf('Y'), 'Y'}};
    for (auto& it : items)
        if (it.pos < 0) it.pos = 1000 + it.letter.unicode(); // missing parts go last, in D M Y order
    std::sort(std::begin(items), std::end(items), [](const Item& a, const Item& b) { return a.pos < b.pos; });
    return QString(items[0].letter) + items[1].letter + items[2].letter;
}

int ExpandYear(int year, int digits)
{
    if (digits > 2) return year;
    const int current = QDate::currentDate().year();
    int y = current - current % 100 + year;
    if (y > current + 50) y -= 100;
    else if (y <= current - 50) y += 100;
    return y;
}

} // namespace

bool TryStrToDate(const QString& text, TDateTime& value, const FormatSettings& fs)
{
    const QString s = text;
    qsizetype p = 0;
    int n[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int count = 0;
    for (; count < 3; ++count) {
        if (count > 0 && !ScanChar(s, p, fs.DateSeparator)) break;
        if (!ScanNumber(s, p, n[count], digits[count])) return false;
    }
    while (p < s.size() && s[p] == ' ') ++p;
    if (p != s.size() || count < 2) return false;
    const QString order = DateOrder(fs.ShortDateFormat);
    int y = 0, m = 0, d = 0;
    if (count == 2) {
        // Day and month in the format's order; the year is this year.
        const bool monthFirst = order.indexOf('M') < order.indexOf('D');
        m = monthFirst ? n[0] : n[1];
        d = monthFirst ? n[1] : n[0];
        y = QDate::currentDate().year();
    } else {
        int yDigits = 4;
        for (int i = 0; i < 3; ++i) {
            if (order[i] == 'D') d = n[i];
            else if (order[i] == 'M') m = n[i];
            else {
                y = n[i];
                yDigits = digits[i];
            }
        }
        y = ExpandYear(y, yDigits);
    }
    TDateTime v = 0;
    if (!TryEncodeDate(y, m, d, v)) return false;
    value = v;
    return true;
}

bool TryStrToDate(const QString& text, TDateTime& value) { return TryStrToDate(text, value, SystemFormatSettings()); }

namespace {
// Reads a half-of-day marker at p: 0 none, 1 AM, 2 PM.
int ScanHalf(const QString& s, qsizetype& p, const FormatSettings& fs)
{
    while (p < s.size() && s[p] == ' ') ++p;
    const QString rest = s.mid(p);
    const std::pair<QString, int> marks[] = {{fs.TimeAMString, 1}, {fs.TimePMString, 2}, {QStringLiteral("AM"), 1},
                                             {QStringLiteral("PM"), 2}, {QStringLiteral("A"), 1}, {QStringLiteral("P"), 2}};
    for (const auto& [mark, half] : marks)
        if (!mark.isEmpty() && rest.startsWith(mark, Qt::CaseInsensitive)) {
            p += mark.size();
            return half;
        }
    return 0;
}
} // namespace

bool TryStrToTime(const QString& text, TDateTime& value, const FormatSettings& fs)
{
    const QString& s = text;
    qsizetype p = 0;
    int half = ScanHalf(s, p, fs);
    int parts[3] = {0, 0, 0};
    int count = 0;
    int digits = 0;
    for (; count < 3; ++count) {
        if (count > 0 && !ScanChar(s, p, fs.TimeSeparator)) break;
        if (!ScanNumber(s, p, parts[count], digits)) return false;
    }
    int msec = 0;
    if (count == 3 && ScanChar(s, p, fs.DecimalSeparator)) {
        if (!ScanNumber(s, p, msec, digits) || digits > 3) return false;
        for (int i = digits; i < 3; ++i) msec *= 10;
    }
    if (half == 0) half = ScanHalf(s, p, fs);
    while (p < s.size() && s[p] == ' ') ++p;
    if (p != s.size()) return false;
    if (count == 1 && half == 0) return false;
    int h = parts[0];
    if (half != 0) {
        if (h < 1 || h > 12) return false;
        if (h == 12) h = 0;
        if (half == 2) h += 12;
    }
    TDateTime v = 0;
    if (!TryEncodeTime(h, parts[1], parts[2], msec, v)) return false;
    value = v;
    return true;
}

bool TryStrToTime(const QString& text, TDateTime& value) { return TryStrToTime(text, value, SystemFormatSettings()); }
