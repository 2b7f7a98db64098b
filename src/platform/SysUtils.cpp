#include "platform/SysUtils.h"

#include "platform/Exception.h"

#include <QLocale>

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
