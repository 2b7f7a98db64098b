#include "controls/ExtFilter.h"

#include "controls/ExtUtil.h"

#include <QList>
#include <QRegularExpression>
#include <cstdlib>
#include <vector>

namespace {

// The wildcard match of a whole pattern against a whole value, read from the
// left: "*" matches any run, "?" one character, '"' is ignored. A "!" inverts
// the match it is read in: one before the first "*" inverts the whole match,
// one after a "*" only the match of the rest of the pattern against a tail
// of the value, and one behind a character that already failed to match is
// never read.

// A segment of the pattern without stars ('"' already dropped), walked from
// value position j. False when a character does not match; `neg` is set when
// a "!" is read before that.
bool WalkSegment(const QString& segment, const QString& v, qsizetype j, qsizetype& end, bool& neg)
{
    for (QChar c : segment) {
        if (c == '!') {
            neg = true;
            continue;
        }
        if (j == v.size() || (c != '?' && c != v[j])) return false;
        ++j;
    }
    end = j;
    return true;
}

// Plain stars and question marks: iterative with one back-track point, so
// that many stars over a long text stay linear per star.
bool GlobMatch(const QString& p, const QString& value)
{
    const qsizetype pn = p.size(), vn = value.size();
    qsizetype i = 0, j = 0;
    qsizetype star = -1, mark = 0;
    while (j < vn) {
        if (i < pn && p[i] == '*') {
            star = i++;
            mark = j;
        } else if (i < pn && (p[i] == '?' || p[i] == value[j])) {
            ++i;
            ++j;
        } else if (star >= 0) {
            i = star + 1;
            j = ++mark;
        } else {
            return false;
        }
    }
    while (i < pn && p[i] == '*') ++i;
    return i == pn;
}

bool MatchWildcard(const QString& pattern, const QString& value)
{
    // The segments between runs of stars.
    QList<QString> segments{QString()};
    bool afterStar = false;
    for (QChar c : pattern) {
        if (c == '"') continue;
        if (c == '*') {
            if (!afterStar) segments.append(QString());
            afterStar = true;
            continue;
        }
        afterStar = false;
        segments.last() += c;
    }

    // The usual case: "!" only at the start, so it inverts the whole match.
    qsizetype leading = 0;
    while (leading < segments[0].size() && segments[0][leading] == '!') ++leading;
    bool laterNegation = segments[0].indexOf('!', leading) >= 0;
    for (qsizetype k = 1; k < segments.size() && !laterNegation; ++k) laterNegation = segments[k].contains('!');
    if (!laterNegation) {
        segments[0].remove(0, leading);
        return GlobMatch(segments.join('*'), value) != (leading > 0);
    }

    // Otherwise, from the last segment back to the first: match[j] tells
    // whether the pattern from the current segment on matches the value from
    // position j; tailMatch[j] whether that of the next segment matches some
    // tail of the value that starts at j or later.
    const qsizetype n = value.size();
    const qsizetype last = segments.size() - 1;
    std::vector<char> match(size_t(n + 1)), tailMatch(size_t(n + 1));
    for (qsizetype i = last; i >= 0; --i) {
        if (i < last) {
            tailMatch[size_t(n)] = match[size_t(n)];
            for (qsizetype k = n - 1; k >= 0; --k) tailMatch[size_t(k)] = match[size_t(k)] || tailMatch[size_t(k + 1)];
        }
        const qsizetype upTo = i == 0 ? 0 : n;
        for (qsizetype j = 0; j <= upTo; ++j) {
            bool neg = false;
            qsizetype end = 0;
            bool ok = WalkSegment(segments[i], value, j, end, neg);
            if (ok) ok = i == last ? end == n : tailMatch[size_t(end)] != 0;
            match[size_t(j)] = ok != neg;
        }
    }
    return match[0] != 0;
}

// The operand of a comparison, starting at index `i` of the pattern; it ends
// at a blank or at an and / or operator outside quotes, so that a quoted
// range such as "<5^>10" compares with 5 and 10.
// `blankInQuotes`: inside quotes a single blank after a character belongs
// to the operand.
QString CollectOperand(const QString& p, qsizetype i, bool blankInQuotes)
{
    const qsizetype n = p.size();
    while (i < n && p[i] == ' ') ++i;
    const qsizetype start = i;
    QString op;
    int quotes = 0;
    for (; i < n; ++i) {
        const QChar c = p[i];
        if (c == '"') {
            ++quotes;
        } else if (c == ' ') {
            if (!(blankInQuotes && quotes % 2 == 1 && i > start && p[i - 1] != ' ')) break;
        } else if ((c == '&' || c == '|' || c == '^') && quotes % 2 == 0) {
            break;
        }
        op += c;
    }
    if (op.startsWith('"')) op.remove(0, 1);
    if (op.endsWith('"')) op.chop(1);
    return op;
}

bool ToNumber(const QString& s, const FormatSettings& fs, double& v)
{
    static const QRegularExpression number(QStringLiteral("^ *[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    const QString t = NumberTextForConversion(s, fs);
    if (t.isEmpty() || !number.match(t).hasMatch()) return false;
    v = std::strtod(t.trimmed().toLatin1().constData(), nullptr);
    return true;
}

template <class T>
int Sign(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Three-way comparison of a cell value with a comparison operand: by number
// when both are numbers, else by date when both are dates, else by text.
int CompareForFilter(const QString& value, const QString& operand, const FormatSettings& fs)
{
    TDateTime dv = 0, dop = 0;
    const bool valueIsDate = ParseDateByShortFormat(value, dv, fs);
    const bool operandIsDate = ParseDateByShortFormat(operand, dop, fs);
    double nv = 0, nop = 0;
    const bool valueIsNumber = !valueIsDate && ToNumber(value, fs, nv);
    const bool operandIsNumber = !operandIsDate && ToNumber(operand, fs, nop);
    if (valueIsNumber && operandIsNumber) return Sign(nv, nop);
    if (valueIsDate && operandIsDate) return Sign(dv, dop);
    return Sign(QString::compare(value.left(255), operand.left(255), Qt::CaseSensitive), 0);
}

} // namespace

QString StripBlanksOutsideQuotes(const QString& s)
{
    QString r;
    r.reserve(s.size());
    int quotes = 0;
    for (QChar c : s) {
        if (c == '"') ++quotes;
        if (c == ' ' && quotes % 2 == 0) continue;
        r += c;
    }
    return r;
}

int FindUnquotedSeparator(const QString& s)
{
    int quotes = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == '"') ++quotes;
        else if (quotes % 2 == 0 && (c == '(' || c == ';' || c == '^' || c == '&' || c == '|')) return int(i) + 1;
    }
    return 0;
}

int FindClosingParen(const QString& s)
{
    int open = 0, close = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '(') ++open;
        else if (s[i] == ')' && ++close == open) return int(i) + 1;
    }
    return 0;
}

QString NumberTextForConversion(const QString& s, const FormatSettings& fs)
{
    QString r;
    r.reserve(s.size());
    for (QChar c : s) {
        if (c == fs.ThousandSeparator) continue;
        r += c == fs.DecimalSeparator ? QChar('.') : c;
    }
    return r;
}

bool MatchFilterCondition(const QString& operand, const QString& value, const FormatSettings& fs)
{
    const QString& p = operand;
    bool greaterSeen = false, lessSeen = false, greaterHolds = true, lessHolds = true;

    const qsizetype gt = p.indexOf('>');
    if (gt >= 0) {
        qsizetype i = gt + 1;
        const bool orEqual = i < p.size() && p[i] == '=';
        if (orEqual) ++i;
        const int cmp = CompareForFilter(value, CollectOperand(p, i, true), fs);
        greaterHolds = orEqual ? cmp >= 0 : cmp > 0;
        greaterSeen = true;
    }
    const qsizetype lt = p.indexOf('<');
    if (lt >= 0) {
        qsizetype i = lt + 1;
        const bool orEqual = i < p.size() && p[i] == '=';
        if (orEqual) ++i;
        const int cmp = CompareForFilter(value, CollectOperand(p, i, false), fs);
        lessHolds = orEqual ? cmp <= 0 : cmp < 0;
        lessSeen = true;
    }
    if (p.contains('!')) {
        // A negated operand takes part only through the wildcard match, but
        // it counts as both comparisons seen for the range rules below.
        if (gt < 0) greaterSeen = true;
        if (lt < 0) lessSeen = true;
    }

    if (p.contains('^') && (greaterSeen || lessSeen)) return lessHolds || greaterHolds;
    if (p.contains('&') && greaterSeen && lessSeen) return lessHolds && greaterHolds;
    if (gt >= 0 && greaterHolds) return true;
    if (lt >= 0 && lessHolds) return true;
    return MatchWildcard(p, value);
}

bool MatchFilterOperand(const QString& operand, const QString& value, bool caseSensitive, const FormatSettings& fs)
{
    if (caseSensitive) return MatchFilterCondition(operand, value, fs);
    return MatchFilterCondition(operand.toUpper(), value.toUpper(), fs);
}

namespace {

// Groups nested deeper than this are not split further: their text is taken
// as one operand, so that no condition can exhaust the stack.
constexpr int kMaxGroupDepth = 200;

bool MatchExpressionAt(const QString& condition, const QString& value, bool caseSensitive, const FormatSettings& fs,
                       int depth)
{
    if (depth > kMaxGroupDepth) return MatchFilterOperand(condition, value, caseSensitive, fs);
    QString c = StripBlanksOutsideQuotes(Trim(condition));
    if (c.startsWith('=')) c.remove(0, 1);

    bool result = true;
    QChar pending; // none until the first separator
    auto combine = [&](bool r) {
        switch (pending.unicode()) {
        case 0: result = r; break;
        case '&': result = result && r; break;
        case '|': case ';': case '^': result = result || r; break;
        default: break; // after a group the operand is dropped
        }
    };

    for (;;) {
        const int p = FindUnquotedSeparator(c);
        if (p == 0) break;
        const QChar sep = c[p - 1];
        if (c.startsWith('(')) {
            const int q = FindClosingParen(c);
            if (q == 0) {
                // No balancing ")": the rest is the group, and it ends the condition.
                combine(MatchExpressionAt(c.mid(1), value, caseSensitive, fs, depth + 1));
                return result;
            }
            combine(MatchExpressionAt(c.mid(1, q - 2), value, caseSensitive, fs, depth + 1));
            c.remove(0, q);
        } else {
            combine(MatchFilterOperand(c.left(p - 1), value, caseSensitive, fs));
            c.remove(0, p);
        }
        pending = sep;
    }
    combine(MatchFilterOperand(c, value, caseSensitive, fs));
    return result;
}

} // namespace

bool MatchFilterExpression(const QString& condition, const QString& value, bool caseSensitive,
                           const FormatSettings& fs)
{
    return MatchExpressionAt(condition, value, caseSensitive, fs, 0);
}
