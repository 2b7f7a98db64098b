#include "controls/EsgHTMLUtil.h"

#include <QStringView>
#include <algorithm>

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
    const qsizetype n = text.size();
    QString r(n, Qt::Uninitialized);
    const QChar* s = text.constData();
    QChar* d = r.data();
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == '<') {
            const qsizetype close = text.indexOf('>', i + 1);
            if (close < 0) {
                // No tag after all: the rest is kept as it is.
                std::copy(s + i, s + n, d);
                d += n - i;
                break;
            }
            i = close;
            continue;
        }
        *d++ = s[i];
    }
    r.truncate(d - r.constData());
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
    int from = 0; // where the search for the next match starts in the visible text
    int p = FindNextMatch(visible, search, from, caseSensitive);
    if (p == 0) return text;

    // A "<" or ">" in the visible text would be taken for a tag once marks
    // are inserted around it: then the visible text is escaped and marked
    // instead of the tagged one. Matches are still looked for in the plain
    // visible text, so that none lands inside an "&lt;" or "&gt;".
    const bool escaped = visible.contains('<') || visible.contains('>');
    const QString working = escaped ? EscapeAngles(visible) : text;

    // A place in the visible text counted in visible characters of the
    // working text, where an escaped "<" or ">" is four of them.
    qsizetype shift = 0, scanned = 0;
    const auto inWorking = [&](qsizetype v) {
        if (escaped)
            for (; scanned < v; ++scanned)
                if (visible[scanned] == '<' || visible[scanned] == '>') shift += 3;
        return v + shift;
    };
    // The marks of the current match: the opening one goes before any tag
    // that precedes its first character, the closing one right after its
    // last character, before any tag that follows.
    qsizetype openAt = inWorking(p - 1), closeAt = inWorking(p - 1 + length);
    bool opened = false;
    const auto nextMark = [&]() -> qsizetype { return p == 0 ? -1 : opened ? closeAt : openAt; };

    const QString open = '<' + tag + '>';
    const QString close = QStringLiteral("</") + tag + '>';
    const qsizetype n = working.size();
    const QChar* s = working.constData();
    QString out;
    out.reserve(n + 64);
    const qsizetype lastGt = working.lastIndexOf('>');
    qsizetype counted = 0; // visible characters copied so far
    const auto placeMarks = [&]() {
        while (p != 0 && nextMark() == counted) {
            if (!opened) {
                out += open;
                opened = true;
                continue;
            }
            out += close;
            from = p - 1 + length;
            p = FindNextMatch(visible, search, from, caseSensitive);
            if (p != 0) {
                openAt = inWorking(p - 1);
                closeAt = inWorking(p - 1 + length);
                opened = false;
            }
        }
    };
    for (qsizetype i = 0; i < n;) {
        placeMarks();
        if (s[i] == '<' && i < lastGt) {
            // A tag, up to the first ">" after it; it holds no visible character.
            const qsizetype end = working.indexOf('>', i + 1);
            out.append(s + i, end + 1 - i);
            i = end + 1;
            continue;
        }
        // Visible characters up to the next mark or tag, in one copy.
        const qsizetype mark = nextMark();
        const qsizetype room = mark < 0 ? n : mark - counted;
        qsizetype j = i;
        while (j < n && j - i < room && !(s[j] == '<' && j < lastGt)) ++j;
        out.append(s + i, j - i);
        counted += j - i;
        i = j;
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
