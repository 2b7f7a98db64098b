#include "controls/EsgHTMLUtil.h"

#include <QStringView>
#include <algorithm>
#include <vector>

namespace {

struct AccentEntity {
    char16_t ch;
    const char* name;
};

// The accented letters and signs that HTML export writes as named
// references, in the order they are replaced.
const AccentEntity kAccents[] = {
    {0x00E9, "&eacute;"}, {0x00E8, "&egrave;"}, {0x00EB, "&euml;"},   {0x00EA, "&ecirc;"},  {0x00F3, "&oacute;"},
    {0x00F2, "&ograve;"}, {0x00F6, "&ouml;"},   {0x00F4, "&ocirc;"},  {0x00ED, "&iacute;"}, {0x00EC, "&igrave;"},
    {0x00EF, "&iuml;"},   {0x00EE, "&icirc;"},  {0x00FA, "&uacute;"}, {0x00F9, "&ugrave;"}, {0x00FC, "&uuml;"},
    {0x00FB, "&ucirc;"},  {0x00E1, "&aacute;"}, {0x00E0, "&agrave;"}, {0x00E4, "&auml;"},   {0x00E2, "&acirc;"},
    {0x00C9, "&Eacute;"}, {0x00C8, "&Egrave;"}, {0x00CB, "&Euml;"},   {0x00CA, "&Ecirc;"},  {0x00D3, "&Oacute;"},
    {0x00D2, "&Ograve;"}, {0x00D6, "&Ouml;"},   {0x00D4, "&Ocirc;"},  {0x00CD, "&Iacute;"}, {0x00CC, "&Igrave;"},
    {0x00CF, "&Iuml;"},   {0x00CE, "&Icirc;"},  {0x00DA, "&Uacute;"}, {0x00D9, "&Ugrave;"}, {0x00DC, "&Uuml;"},
    {0x00DB, "&Ucirc;"},  {0x00C1, "&Aacute;"}, {0x00C0, "&Agrave;"}, {0x00C4, "&Auml;"},   {0x00C2, "&Acirc;"},
    {0x00E7, "&ccedil;"}, {0x00C7, "&Ccedil;"}, {0x00F8, "&oslash;"}, {0x00D8, "&Oslash;"}, {0x00E5, "&aring;"},
    {0x00C5, "&Aring;"},  {0x00A9, "&copy;"},   {0x00AE, "&reg;"},    {0x20AC, "&euro;"},   {0x00AB, "&laquo;"},
    {0x00BB, "&raquo;"},
};

struct Entity {
    const char* name;
    char16_t ch;
};

const Entity kReserved[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}};

bool EntityAt(const QString& text, qsizetype i, const char* name)
{
    return QStringView(text).mid(i).startsWith(QLatin1String(name));
}

QString EscapeAngles(const QString& s)
{
    QString r;
    r.reserve(s.size() + 8);
    for (QChar c : s) {
        if (c == '<') r += QStringLiteral("&lt;");
        else if (c == '>') r += QStringLiteral("&gt;");
        else r += c;
    }
    return r;
}

QString AsciiUpper(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c >= 'a' && c <= 'z') c = QChar(c.unicode() - 32);
    return r;
}

} // namespace

QString StripMiniHtml(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("<BR>"), QStringLiteral("\r\n"), Qt::CaseInsensitive);
    t.replace(QStringLiteral("<HR>"), QStringLiteral("\r\n"), Qt::CaseInsensitive);
    return StripTagsOnly(t);
}

QString EscapeHtmlChars(const QString& text, bool withAccents)
{
    QString r;
    r.reserve(text.size() + 16);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&': r += QStringLiteral("&amp;"); continue;
        case '"': r += QStringLiteral("&quot;"); continue;
        case '<': r += QStringLiteral("&lt;"); continue;
        case '>': r += QStringLiteral("&gt;"); continue;
        default: break;
        }
        if (withAccents && c.unicode() >= 0xA0) {
            const AccentEntity* hit = nullptr;
            for (const AccentEntity& e : kAccents)
                if (e.ch == c.unicode()) {
                    hit = &e;
                    break;
                }
            if (hit) {
                r += QLatin1String(hit->name);
                continue;
            }
        }
        r += c;
    }
    return r;
}

QString UnescapeHtmlChars(const QString& text, bool withAccents)
{
    QString r;
    r.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        if (text[i] == '&') {
            qsizetype len = 0;
            QChar ch;
            for (const Entity& e : kReserved)
                if (EntityAt(text, i, e.name)) {
                    len = qsizetype(qstrlen(e.name));
                    ch = QChar(e.ch);
                    break;
                }
            if (len == 0 && withAccents)
                for (const AccentEntity& e : kAccents)
                    if (EntityAt(text, i, e.name)) {
                        len = qsizetype(qstrlen(e.name));
                        ch = QChar(e.ch);
                        break;
                    }
            if (len > 0) {
                r += ch;
                i += len;
                continue;
            }
        }
        r += text[i++];
    }
    return r;
}

QString SpacesToNbsp(const QString& text)
{
    QString r = text;
    r.replace(QChar(' '), QStringLiteral("&nbsp;"));
    return r;
}

QString StripTagsOnly(const QString& text)
{
    QString r;
    r.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == '<') {
            const qsizetype close = text.indexOf('>', i + 1);
            if (close < 0) {
                r += QStringView(text).mid(i);
                break;
            }
            i = close;
            continue;
        }
        r += text[i];
    }
    return r;
}

int HtmlPosOfVisibleChar(const QString& text, int n)
{
    const qsizetype len = text.size();
    int visible = 0;
    qsizetype i = 0;
    while (i < len) {
        if (visible == n - 1) return int(i) + 1;
        if (text[i] == '<') {
            const qsizetype close = text.indexOf('>', i + 1);
            if (close >= 0) {
                i = close + 1;
                continue;
            }
            // A "<" without a later ">" is plain text, as StripTagsOnly keeps it.
        }
        ++visible;
        ++i;
    }
    return visible == n - 1 ? int(len) + 1 : 0;
}

int FindNextMatch(const QString& visible, const QString& search, int from, bool caseSensitive)
{
    if (search.isEmpty() || from < 0) return 0;
    const qsizetype p = visible.indexOf(search, from, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
    return p < 0 ? 0 : int(p) + 1;
}

QString MarkMatchesInHtml(const QString& text, const QString& search, const QString& tag, bool caseSensitive)
{
    if (search.isEmpty()) return text;
    const QString visible = StripTagsOnly(text);
    const int length = int(search.size());

    // The matches, as [start, end) in the visible text, not overlapping.
    std::vector<std::pair<qsizetype, qsizetype>> matches;
    for (int from = 0;;) {
        const int p = FindNextMatch(visible, search, from, caseSensitive);
        if (p == 0) break;
        matches.emplace_back(p - 1, p - 1 + length);
        from = p - 1 + length;
    }
    if (matches.empty()) return text;

    // A "<" or ">" in the visible text would be taken for a tag once marks
    // are inserted around it: then the visible text is escaped and marked
    // instead of the tagged one. Matches are still looked for in the plain
    // visible text, so that none lands inside an "&lt;" or "&gt;".
    const bool escaped = visible.contains('<') || visible.contains('>');
    const QString working = escaped ? EscapeAngles(visible) : text;

    // Each mark's place counted in visible characters of the working text
    // (an escaped "<" or ">" is four of them there): the opening mark goes
    // before any tag that precedes the match's first character, the closing
    // mark right after its last character, before any tag that follows.
    std::vector<qsizetype> targets;
    targets.reserve(matches.size() * 2);
    {
        qsizetype shift = 0, k = 0;
        const auto at = [&](qsizetype v) {
            if (escaped)
                for (; k < v; ++k)
                    if (visible[k] == '<' || visible[k] == '>') shift += 3;
            return v + shift;
        };
        for (const auto& [start, end] : matches) {
            targets.push_back(at(start));
            targets.push_back(at(end));
        }
    }

    const QString open = '<' + tag + '>';
    const QString close = QStringLiteral("</") + tag + '>';
    QString out;
    out.reserve(working.size() + qsizetype(targets.size() / 2) * (open.size() + close.size()));
    const qsizetype n = working.size();
    const qsizetype lastGt = working.lastIndexOf('>');
    size_t next = 0;       // the next mark to place
    qsizetype counted = 0; // visible characters copied so far
    const auto placeMarks = [&]() {
        while (next < targets.size() && targets[next] == counted) {
            out += next % 2 == 0 ? open : close;
            ++next;
        }
    };
    for (qsizetype i = 0; i < n;) {
        placeMarks();
        if (working[i] == '<' && i < lastGt) {
            // A tag, up to the first ">" after it; it holds no visible character.
            const qsizetype end = working.indexOf('>', i + 1);
            out += QStringView(working).mid(i, end + 1 - i);
            i = end + 1;
            continue;
        }
        out += working[i++];
        ++counted;
    }
    placeMarks();
    return out;
}

QString UnmarkMatchesInHtml(const QString& text, const QString& tag)
{
    QString r = text;
    r.remove('<' + tag + '>', Qt::CaseInsensitive);
    r.remove(QStringLiteral("</") + tag + '>', Qt::CaseInsensitive);
    r.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    r.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    return r;
}

int PosIgnoreCase(const QString& sub, const QString& text)
{
    if (sub.isEmpty()) return 0;
    return int(AsciiUpper(text).indexOf(AsciiUpper(sub))) + 1;
}

bool ReplaceFirstIgnoreCase(const QString& find, const QString& replacement, QString& text)
{
    const int p = PosIgnoreCase(find, text);
    if (p == 0) return false;
    text.replace(p - 1, find.size(), replacement);
    return true;
}
