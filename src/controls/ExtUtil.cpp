#include "controls/ExtUtil.h"

#include "platform/Exception.h"
#include "platform/Files.h"

#include <QDate>
#include <cmath>

namespace {

constexpr QChar CR = QChar(13);
constexpr QChar LF = QChar(10);
constexpr QChar VT = QChar(11);

// Upper case character by character, so that positions stay valid.
QString UpperSameLength(const QString& s)
{
    QString r = s;
    for (QChar& c : r) c = c.toUpper();
    return r;
}

QString Replaced(QString s, const QString& from, const QString& to)
{
    s.replace(from, to);
    return s;
}

QString Replaced(QString s, QChar from, const QString& to)
{
    s.replace(from, to);
    return s;
}

bool IsLinkChar(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9')) return true;
    switch (u) {
    case '%': case '(': case ')': case '-': case '.': case '/': case ':': case '@':
    case '\\': case '_': case '{': case '}':
        return true;
    default:
        return false;
    }
}

// Escapes the three characters that would break an HTML text, in one pass.
QString EscapeForHtmlText(const QString& s)
{
    QString r;
    r.reserve(s.size() + 16);
    for (QChar c : s) {
        if (c == '&') r += QStringLiteral("&amp;");
        else if (c == '<') r += QStringLiteral("&lt;");
        else if (c == '>') r += QStringLiteral("&gt;");
        else r += c;
    }
    return r;
}

TDateTime TimeOfDay(TDateTime value) { return std::fabs(value - std::trunc(value)); }

} // namespace

// ---------------------------------------------------------------------------
// Cell codings

QString CsvQuoteMultiline(const QString& s) { return '"' + Replaced(s, QStringLiteral("\r\n"), QString(VT)) + '"'; }

QString VTToCRLF(const QString& s)
{
    if (!s.contains(VT)) return s;
    return Replaced(s, VT, QStringLiteral("\r\n"));
}

QString CRToTilde(const QString& s)
{
    QString r;
    r.reserve(s.size());
    for (QChar c : s) {
        if (c == CR) r += '~';
        else if (c != LF) r += c;
    }
    return r;
}

QString TildeToCRLF(const QString& s)
{
    const QString r = Replaced(s, QChar('~'), QStringLiteral("\r\n"));
    return r == QStringLiteral("^") ? QString() : r;
}

QString MultilineToSingleLine(const QString& s)
{
    if (!s.contains(CR)) return s;
    QString r = s;
    for (QChar& c : r) {
        if (c == CR) c = QChar(9);
        else if (c == LF) c = QChar(8);
        else if (c == QChar(0)) c = QChar(1);
    }
    return r;
}

QString SingleLineToMultiline(const QString& s, bool whole)
{
    QString r = s;
    if (r.contains(QChar(8))) {
        for (QChar& c : r) {
            if (c == QChar(9)) c = CR;
            else if (c == QChar(8)) c = LF;
            else if (c == QChar(1)) c = QChar(0);
        }
    }
    if (whole) return r;
    QString first;
    ExtractFirstLine(r, false, first);
    return first;
}

QString EncodeWideCellText(const QString& wide)
{
    QString r = WideTextMarker;
    r.reserve(2 + wide.size() * 2);
    for (QChar c : wide) {
        r += QChar(char16_t(c.unicode() >> 8));
        r += QChar(char16_t(c.unicode() & 0xFF));
    }
    return r;
}

QString DecodeWideCellText(const QString& s)
{
    if (!s.startsWith(WideTextMarker)) return s;
    QString r;
    r.reserve((s.size() - 2) / 2);
    for (qsizetype i = 2; i + 1 < s.size(); i += 2)
        r += QChar(char16_t(s[i].unicode() * 256 + s[i + 1].unicode()));
    return r;
}

QString EscapedNewlineToCR(const QString& s) { return Replaced(s, QStringLiteral("\\n"), QString(CR)); }

QString CRToEscapedNewline(const QString& s)
{
    QString r;
    r.reserve(s.size() + 8);
    for (QChar c : s) {
        if (c == CR) r += QStringLiteral("\\n");
        else if (c != LF) r += c;
    }
    return r;
}

QString CRLFToLF(const QString& s) { return Replaced(s, QStringLiteral("\r\n"), QString(LF)); }

QString StripCR(const QString& s)
{
    QString r = s;
    r.remove(CR);
    return r;
}

QString CRToLF(const QString& s)
{
    QString r = s;
    r.replace(CR, LF);
    return r;
}

QString CRToHtmlBreak(const QString& s)
{
    if (!s.contains(CR)) return s;
    return Replaced(s, CR, QStringLiteral("<br>"));
}

QString DoubleQuoteChars(const QString& s) { return Replaced(s, QChar('"'), QStringLiteral("\"\"")); }

QString UndoubleChar(QChar c, const QString& s)
{
    if (!s.contains(c)) return s;
    QString r;
    r.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        r += s[i];
        if (s[i] == c && i + 1 < s.size() && s[i + 1] == c) ++i;
    }
    return r;
}

QString AnsiTextToOem(const QString& s) { return DecodeAnsi(EncodeOem(s)); }
QString OemTextToAnsi(const QString& s) { return DecodeOem(EncodeAnsi(s)); }

// ---------------------------------------------------------------------------
// Numbers

// Any Unicode number: decimal digits of every script, letter numbers (Roman
// numerals) and other numbers (superscripts, fractions).
bool IsDigitChar(QChar c) { return c.isNumber(); }
bool IsDigitOrMinus(QChar c) { return IsDigitChar(c) || c == '-'; }

bool IsNumericChar(QChar c, const FormatSettings& fs)
{
    return IsDigitChar(c) || c == fs.ThousandSeparator || c == fs.DecimalSeparator || c == 'e' || c == 'E';
}

bool IsSignedNumericChar(QChar c, const FormatSettings& fs) { return IsNumericChar(c, fs) || c == '+' || c == '-'; }

bool IsPlainNumberChar(QChar c)
{
    return IsDigitChar(c) || c == ',' || c == '-' || c == '.' || c == 'e' || c == 'E' || c == '+';
}

int ClassifyNumericText(const QString& s, const FormatSettings& fs)
{
    if (s.isEmpty()) return 2;
    const QChar dec = fs.DecimalSeparator;
    const QChar th = fs.ThousandSeparator;
    const qsizetype minus = s.count(QChar('-'));
    const qsizetype decimals = s.count(dec);
    const qsizetype exps = s.count(QChar('e')) + s.count(QChar('E'));
    const bool minusOnlyFirst = minus == 0 || (minus == 1 && s[0] == '-');

    bool allIntChars = true;
    for (QChar c : s) allIntChars = allIntChars && IsDigitOrMinus(c);
    if (allIntChars) return minusOnlyFirst ? 0 : 2;

    if (decimals > 1) return 2;

    if (exps == 0) {
        bool ok = minusOnlyFirst;
        qsizetype lastTh = -1;
        for (qsizetype i = 0; ok && i < s.size(); ++i) {
            const QChar c = s[i];
            if (c == th) {
                if (lastTh >= 0 && i - lastTh < 4) ok = false;
                lastTh = i;
            } else if (!(IsDigitChar(c) || c == '-' || c == dec)) {
                ok = false;
            }
        }
        return ok ? 1 : 2;
    }

    if (exps == 1 && minus <= 2) {
        const QChar first = s[0];
        const QChar last = s[s.size() - 1];
        if (first == 'e' || first == 'E') return 2;
        if (last == 'e' || last == 'E' || last == '+' || last == '-') return 2;
        for (QChar c : s)
            if (!(IsDigitChar(c) || c == dec || c == 'e' || c == 'E' || c == '+' || c == '-')) return 2;
        return 5;
    }
    return 2;
}

QString NormalizeNumericText(const QString& s, const FormatSettings& fs)
{
    if (s.isEmpty()) return QString();
    QString t = Trim(s);
    bool negative = t.startsWith('(') && t.endsWith(')');
    while (t.size() >= 2 && !IsNumericChar(t[0], fs)) {
        if (t[0] == '-') negative = true;
        t.remove(0, 1);
    }
    QString r;
    r.reserve(t.size() + 1);
    for (QChar c : t) {
        if (c == fs.ThousandSeparator) continue;
        if (c == fs.DecimalSeparator) r += '.';
        else if (IsPlainNumberChar(c)) r += c;
        else break;
    }
    if (negative) r.prepend('-');
    return r;
}

// ---------------------------------------------------------------------------
// Dates

bool ParseDateByShortFormat(const QString& s, TDateTime& value, const FormatSettings& fs)
{
    // Field order from the first D, M and Y of the format.
    const QString f = fs.ShortDateFormat.toUpper();
    const qsizetype pd = f.indexOf('D'), pm = f.indexOf('M'), py = f.indexOf('Y');
    if (pd < 0 || pm < 0 || py < 0) return false;
    auto rank = [&](qsizetype p) { return int(p > pd) + int(p > pm) + int(p > py); };

    const QChar ds = fs.DateSeparator;
    const qsizetype p1 = s.indexOf(ds);
    if (p1 < 0) return false;
    QString rest = s.mid(p1 + 1);
    const qsizetype p2 = rest.indexOf(ds);
    if (p2 < 0) return false;
    QString fields[3] = {s.left(p1), rest.left(p2), QString()};
    rest = Trim(rest.mid(p2 + 1));
    QString timeText;
    const qsizetype blank = rest.indexOf(' ');
    if (blank >= 0) {
        timeText = rest.mid(blank);
        fields[2] = rest.left(blank);
    } else {
        fields[2] = rest;
    }
    int nums[3];
    for (int i = 0; i < 3; ++i) {
        const auto n = TryStrToInt(fields[i]);
        if (!n) return false;
        nums[i] = *n;
    }
    const int day = nums[rank(pd)], month = nums[rank(pm)], year = nums[rank(py)];
    if (day > 31 || month > 12) return false;
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date)) return false;

    TDateTime time = 0;
    if (!timeText.isEmpty()) {
        const QChar ts = fs.TimeSeparator;
        const qsizetype t1 = timeText.indexOf(ts);
        if (t1 < 0) {
            value = date;
            return false;
        }
        const auto hours = TryStrToInt(timeText.left(t1));
        const QString afterHours = timeText.mid(t1 + 1);
        const qsizetype t2 = afterHours.indexOf(ts);
        std::optional<int32_t> minutes, seconds = 0;
        if (t2 >= 0) {
            minutes = TryStrToInt(afterHours.left(t2));
            seconds = TryStrToInt(afterHours.mid(t2 + 1));
        } else {
            minutes = TryStrToInt(afterHours);
        }
        if (!hours || !minutes || !seconds) return false;
        if (*hours < 0 || *hours > 23 || *minutes < 0 || *minutes > 59 || *seconds < 0 || *seconds > 60) return false;
        if (!TryEncodeTime(*hours, *minutes, *seconds, 0, time)) return false;
    }
    value = ComposeDateTime(date, time);
    return true;
}

namespace {

// A year text of one or two digits is completed with a century.
int YearOf(const QString& text, int written)
{
    QString digits = Trim(text);
    if (digits.startsWith('-') || digits.startsWith('+')) digits.remove(0, 1);
    if (digits.size() > 2) return written;
    return written <= 25 ? 2000 + written : 1900 + written;
}

TDateTime ParseShortDate(const QString& s, bool dayFirst)
{
    qsizetype p = s.indexOf('/');
    if (p < 0) p = s.indexOf('.');
    if (p < 0) p = s.indexOf('-');
    if (p < 0) return 0;
    const QChar sep = s[p];
    const QString rest = s.mid(p + 1);
    const qsizetype q = rest.indexOf(sep);
    if (q < 0) return 0;
    const QString yearText = rest.mid(q + 1);
    const auto a = TryStrToInt(s.left(p));
    const auto b = TryStrToInt(rest.left(q));
    const auto y = TryStrToInt(yearText);
    if (!a || !b || !y) return 0;
    const int day = dayFirst ? *a : *b;
    const int month = dayFirst ? *b : *a;
    return EncodeDate(YearOf(yearText, *y), month, day);
}

} // namespace

TDateTime ParseDateMDY(const QString& s) { return ParseShortDate(s, false); }
TDateTime ParseDateDMY(const QString& s) { return ParseShortDate(s, true); }

bool HasTwoDateSeparators(const QString& s, const FormatSettings& fs)
{
    const qsizetype p = s.indexOf(fs.DateSeparator);
    if (p < 1) return false;
    return s.mid(p + 1).indexOf(fs.DateSeparator) >= 1;
}

TDateTime IncDateParts(int yearDelta, int monthDelta, int dayDelta, TDateTime step, TDateTime date)
{
    if (dayDelta != 0 && yearDelta == 0 && monthDelta == 0) return date + dayDelta;
    int y = 0, m = 0, d = 0;
    if (yearDelta != 0 && monthDelta == 0 && dayDelta == 0) {
        DecodeDate(date, y, m, d);
        return ComposeDateTime(EncodeDate(y + yearDelta, m, d), TimeOfDay(date));
    }
    if (monthDelta != 0 && yearDelta == 0 && dayDelta == 0) {
        DecodeDate(date, y, m, d);
        m += monthDelta;
        if (m == 0) {
            m = 12;
            --y;
        } else if (m > 12) {
            m -= 12;
            ++y;
        }
        return ComposeDateTime(EncodeDate(y, m, d), TimeOfDay(date));
    }
    return date + step;
}

// ---------------------------------------------------------------------------
// HTML and clipboard

QByteArray WrapClipboardHtml(const QString& fragment)
{
    static const QByteArray docType = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    static const QByteArray head =
        "<html><head><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></head><body><!--StartFragment-->";
    static const QByteArray tail = "<!--EndFragment--></body></html>";
    const QByteArray frag = fragment.toUtf8();

    // The header has a fixed length as long as each number fits in 8 digits.
    auto header = [](qsizetype startHtml, qsizetype endHtml, qsizetype startFrag, qsizetype endFrag) {
        auto line = [](const char* name, qsizetype v) {
            return QByteArray(name) + QByteArray::number(v).rightJustified(8, '0') + "\r\n";
        };
        return QByteArray("Version:1.0\r\n") + line("StartHTML:", startHtml) + line("EndHTML:", endHtml) +
               line("StartFragment:", startFrag) + line("EndFragment:", endFrag);
    };
    qsizetype headerSize = header(0, 0, 0, 0).size();
    for (;;) {
        const qsizetype startHtml = headerSize;
        const qsizetype startFrag = startHtml + docType.size() + head.size();
        const qsizetype endFrag = startFrag + frag.size();
        const qsizetype endHtml = endFrag + tail.size();
        const QByteArray h = header(startHtml, endHtml, startFrag, endFrag);
        if (h.size() == headerSize) return h + docType + head + frag + tail;
        headerSize = h.size(); // a number grew past 8 digits: lay out again
    }
}

bool TextToHtmlWithLinks(const QString& text, const QString& marker, QString& html)
{
    if (!UpperSameLength(text).contains(marker)) return false;
    QString r = EscapeForHtmlText(text);
    const qsizetype start = UpperSameLength(r).indexOf(UpperSameLength(marker));
    if (start >= 0) {
        qsizetype end = start;
        while (end < r.size() && IsLinkChar(r[end])) ++end;
        const QString link = r.mid(start, end - start);
        r.replace(start, end - start, QStringLiteral("<a href=\"%1\">%1</a>").arg(link));
    }
    html = r;
    return true;
}

QString ColorToHtmlHex(TColor color)
{
    const TColor c = ColorToRGB(color);
    return QStringLiteral("%1%2%3")
        .arg(GetRValue(c), 2, 16, QChar('0'))
        .arg(GetGValue(c), 2, 16, QChar('0'))
        .arg(GetBValue(c), 2, 16, QChar('0'))
        .toUpper();
}

// ---------------------------------------------------------------------------
// Cell-text tests and small text functions

int DetectCellTextKind(const QString& s, bool miniHtml)
{
    // Runs for every cell a file writer saves: no copy of the text, and the
    // tag search only when the text holds a '<' at all.
    if (s.isEmpty()) return 0;
    if (s[0] == '=') return 3;
    if (s.startsWith(WideTextMarker)) return (s.size() >= 5 && s[3] == '=' && s[4] == QChar(0)) ? 3 : 5;
    if (s.startsWith(RichTextMarker)) return 2;
    if (miniHtml && s.contains(QLatin1Char('<')) &&
        (s.contains(QLatin1String("</")) || s.contains(QLatin1String("<B")) || s.contains(QLatin1String("<I")) ||
         s.contains(QLatin1String("<C"))))
        return 1;
    return 0;
}

bool TextIsUrl(const QString& s) { return s.contains(QStringLiteral("://")) || s.contains(QStringLiteral("mailto:")); }

void RemoveUrlScheme(QString& s)
{
    qsizetype p = s.indexOf(QStringLiteral("://"));
    if (p >= 0) {
        s.remove(0, p + 3);
        return;
    }
    p = s.indexOf(QStringLiteral("mailto:"));
    if (p >= 0) s.remove(0, p + 7);
}

bool ParseRowColRef(const QString& s, QPoint& point)
{
    if (s.size() <= 3) return false;
    const QString u = UpperSameLength(s);
    if (u[0] != 'R') return false;
    const qsizetype c = u.indexOf('C', 1);
    if (c < 0) return false;
    const auto row = TryStrToInt(s.mid(1, c - 1));
    const auto col = TryStrToInt(s.mid(c + 1));
    if (!row || !col) return false;
    point = QPoint(*col, *row);
    return true;
}

QString ProperCaseText(const QString& s)
{
    QString r;
    r.reserve(s.size());
    bool capitalise = true;
    bool mcSeen = false; // the first " Mc" of the result has been found
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s[i];
        if (c == ' ' || c == '\'' || c == ',' || c == '-' || c == '.') {
            r += c;
            capitalise = true;
        } else if (capitalise) {
            r += c.toUpper();
            capitalise = false;
        } else {
            r += c.toLower();
        }
        const qsizetype pos = i + 1; // characters so far
        if (pos == 2 && r[0] == 'M' && r[1] == 'c') capitalise = true;
        // The first " Mc" of the text ends here. Written characters never
        // change, so it is enough to look at the last three once per step.
        if (!mcSeen && pos >= 3 && r[pos - 3] == ' ' && r[pos - 2] == 'M' && r[pos - 1] == 'c') {
            mcSeen = true;
            capitalise = true;
        }
        if (pos >= n - 2 && (r.endsWith(QStringLiteral(" I")) || r.endsWith(QStringLiteral(" II")))) capitalise = true;
    }
    return r;
}

QString ExtractToken(QString& s, const QString& sep)
{
    const qsizetype p = sep.isEmpty() ? -1 : s.indexOf(sep);
    if (p < 0) return QString();
    const QString token = s.left(p);
    s.remove(0, p + 1);
    return token;
}

void ExtractFirstLine(QString& s, bool keepRest, QString& first)
{
    const qsizetype p = s.indexOf(CR);
    if (p < 0) {
        first = s;
        s.clear();
        return;
    }
    first = s.left(p);
    if (!keepRest) {
        s.clear();
        return;
    }
    qsizetype from = p + 1;
    if (from < s.size() && s[from] == LF) ++from;
    s.remove(0, from);
}

int LineCountOf(const QString& s, bool multiline) { return multiline ? 1 + int(s.count(CR)) : 1; }

int FindClosingQuote(QChar quote, const QString& s)
{
    int run = 0;
    const int n = int(s.size());
    for (int i = 0; i < n; ++i) {
        if (s[i] == quote) {
            ++run;
            if (i == n - 1) return n;
        } else {
            if (run % 2 == 1) return i; // 1-based position of the run's last quote
            run = 0;
        }
    }
    return 0;
}

int CountClosingQuotes(QChar quote, const QString& s)
{
    int count = 0;
    QString rest = s;
    for (;;) {
        const int p = FindClosingQuote(quote, rest);
        if (p == 0) return count;
        ++count;
        rest.remove(0, p);
    }
}

int CharCount(QChar c, const QString& s) { return int(s.count(c)); }
int CharPos(QChar c, const QString& s) { return int(s.indexOf(c)) + 1; }

int CharPosVar(QChar c, const QString& s, int& pos)
{
    const int p = CharPos(c, s);
    if (p > 0) pos = p;
    return p;
}

int PosVar(const QString& sub, const QString& s, int& pos)
{
    const int p = sub.isEmpty() ? 0 : int(s.indexOf(sub)) + 1;
    if (p > 0) pos = p;
    return p;
}

int UpperTextPos(const QString& sub, const QString& s)
{
    return sub.isEmpty() ? 0 : int(UpperSameLength(s).indexOf(sub)) + 1;
}

int WidePos(const QString& sub, const QString& s) { return sub.isEmpty() ? 0 : int(s.indexOf(sub)) + 1; }

void FillWithChar(QString& s, QChar c) { s.fill(c); }

QString ConcatStrings(const QStringList& lines) { return lines.join(QString()); }

int ClampToLimits(int value, int min, int max)
{
    if (min == max) return value;
    if (min > 0 && value < min) value = min;
    if (max > 0 && value > max) value = max;
    return value;
}
