#include "platform/SysUtils.h"

#include "platform/Exception.h"

#include <QLocale>

std::optional<int32_t> TryStrToInt(const QString& text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i < n && (text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n) return std::nullopt;
    uint64_t value = 0;
    int digits = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * (hex ? 16 : 10) + uint64_t(d);
        ++digits;
        if (hex) {
            if (value > 0xFFFFFFFFull) return std::nullopt;
        } else if (value > 2147483648ull) {
            return std::nullopt;
        }
    }
    if (digits == 0) return std::nullopt;
    if (hex) {
        int32_t v = static_cast<int32_t>(static_cast<uint32_t>(value));
        return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(v)) : v;
    }
    if (!negative && value > 2147483647ull) return std::nullopt;
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(value)) : static_cast<int32_t>(value);
}

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
