#include "controls/ExtRichText.h"

#include "platform/Files.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QPainter>
#include <QSet>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr QChar ParagraphEnd(0x2029);
constexpr QChar LineBreak(0x2028);

// Largest font size kept, in half points (1638 points).
constexpr int MaxFontSize = 3276;
// Largest vertical offset kept, in half points.
constexpr int MaxOffset = 32767;

// Destinations whose text is never shown.
const QSet<QString>& SkippedDestinations()
{
    static const QSet<QString> names = {
        QStringLiteral("stylesheet"), QStringLiteral("info"),      QStringLiteral("pict"),
        QStringLiteral("object"),     QStringLiteral("header"),    QStringLiteral("headerl"),
        QStringLiteral("headerr"),    QStringLiteral("headerf"),   QStringLiteral("footer"),
        QStringLiteral("footerl"),    QStringLiteral("footerr"),   QStringLiteral("footerf"),
        QStringLiteral("footnote"),   QStringLiteral("fldinst"),   QStringLiteral("xe"),
        QStringLiteral("tc"),         QStringLiteral("listtable"), QStringLiteral("listoverridetable"),
        QStringLiteral("rsidtbl"),    QStringLiteral("generator"), QStringLiteral("filetbl"),
        QStringLiteral("revtbl"),     QStringLiteral("themedata"), QStringLiteral("colorschememapping"),
        QStringLiteral("latentstyles"), QStringLiteral("datastore"), QStringLiteral("xmlnstbl"),
        QStringLiteral("userprops"),  QStringLiteral("nonshppict"), QStringLiteral("shppict"),
        QStringLiteral("bkmkstart"),  QStringLiteral("bkmkend"),   QStringLiteral("annotation"),
        QStringLiteral("atnid"),      QStringLiteral("atnauthor"), QStringLiteral("pgdsctbl"),
        QStringLiteral("mmathPr"),    QStringLiteral("template"),  QStringLiteral("falt"),
        QStringLiteral("panose"),
    };
    return names;
}

enum class TDest { Text, Skip, FontTable, ColorTable };

struct TRtfState {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int FontSize = 0;
    int Color = 0;
    int Offset = 0;
    int Font = -1;
    int SkipAfterUnicode = 1;
    TDest Dest = TDest::Text;
};

class TRtfReader {
public:
    explicit TRtfReader(const QString& rtf) : m_in(rtf) {}

    TRichTextRuns Read()
    {
        m_stack.push_back(TRtfState{});
        qsizetype depth = 0;       // groups open, counted past the kept ones too
        bool started = false;
        while (m_pos < m_in.size()) {
            const QChar c = m_in[m_pos];
            if (c == '{') {
                ++m_pos;
                m_pendingSkip = 0;
                m_destinationStart = true;
                if (started && depth == 0) break;  // a second document: not ours
                started = true;
                ++depth;
                if (int(m_stack.size()) < MaxRichTextDepth) m_stack.push_back(m_stack.back());
            } else if (c == '}') {
                ++m_pos;
                m_pendingSkip = 0;
                m_destinationStart = false;
                EndGroup();
                if (depth > 0 && depth <= qsizetype(m_stack.size()) - 1) m_stack.pop_back();
                if (depth > 0) --depth;
                if (started && depth == 0) break;
            } else if (c == '\\') {
                ReadControl();
            } else {
                ++m_pos;
                if (c == '\r' || c == '\n') continue;
                if (c == '\t') Text(QStringLiteral("\t"));
                else if (c.unicode() >= 0x20) Text(QString(c));
                m_destinationStart = false;
            }
        }
        EndGroup();
        return std::move(m_runs);
    }

private:
    TRtfState& S() { return m_stack.back(); }

    // A font or colour table entry ends with ";" or with its group.
    void EndGroup()
    {
        if (S().Dest == TDest::FontTable && m_fontNumber >= 0 && !m_fontName.trimmed().isEmpty()) {
            if (!m_fonts.contains(m_fontNumber)) m_fonts.insert(m_fontNumber, m_fontName.trimmed());
        }
        if (S().Dest == TDest::FontTable) {
            m_fontName.clear();
            m_fontNumber = -1;
        }
    }

    // Reads a control word's number: an optional "-" and at most ten digits,
    // clamped to 32 bits.
    std::optional<qint64> ReadNumber()
    {
        const qsizetype start = m_pos;
        bool negative = false;
        if (m_pos < m_in.size() && m_in[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        qint64 value = 0;
        int digits = 0;
        while (m_pos < m_in.size() && m_in[m_pos].isDigit() && m_in[m_pos].unicode() < 128) {
            if (digits < 10) value = value * 10 + (m_in[m_pos].unicode() - '0');
            ++digits;
            ++m_pos;
        }
        if (digits == 0) {
            m_pos = start;
            return std::nullopt;
        }
        value = std::clamp<qint64>(negative ? -value : value, INT32_MIN, INT32_MAX);
        return value;
    }

    static int HexValue(QChar c)
    {
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9') return u - '0';
        if (u >= 'a' && u <= 'f') return u - 'a' + 10;
        if (u >= 'A' && u <= 'F') return u - 'A' + 10;
        return -1;
    }

    void ReadControl()
    {
        ++m_pos;  // the backslash
        if (m_pos >= m_in.size()) return;
        const QChar c = m_in[m_pos];
        const bool atDestinationStart = m_destinationStart;
        m_destinationStart = false;
        if (c.unicode() < 128 && c.isLetter()) {
            const qsizetype start = m_pos;
            while (m_pos < m_in.size() && m_in[m_pos].unicode() < 128 && m_in[m_pos].isLetter() && m_pos - start < 32)
                ++m_pos;
            const QString word = m_in.mid(start, m_pos - start);
            const std::optional<qint64> number = ReadNumber();
            if (m_pos < m_in.size() && m_in[m_pos] == ' ') ++m_pos;
            Word(word, number, atDestinationStart);
            return;
        }
        ++m_pos;
        switch (c.unicode()) {
        case '\\': case '{': case '}':
            Text(QString(c));
            break;
        case '\'': {
            if (m_pos + 1 < m_in.size()) {
                const int hi = HexValue(m_in[m_pos]), lo = HexValue(m_in[m_pos + 1]);
                if (hi >= 0 && lo >= 0) {
                    m_pos += 2;
                    const char byte = char(hi * 16 + lo);
                    Text(DecodeAnsi(QByteArray(1, byte)));
                }
            }
            break;
        }
        case '~':
            Text(QString(QChar(0x00A0)));
            break;
        case '_':
            Text(QString(QChar(0x2011)));
            break;
        case '*':
            // The group is a destination this reader may not know: skipped
            // unless a known word follows.
            if (atDestinationStart) m_optionalDestination = true;
            m_destinationStart = atDestinationStart;
            return;
        case '\r': case '\n':
            Text(QString(ParagraphEnd));
            break;
        default:
            // \- (optional hyphen) and other symbols show nothing, but a
            // symbol still counts as a fallback character after \u.
            if (m_pendingSkip > 0) --m_pendingSkip;
            break;
        }
        m_optionalDestination = false;
    }

    void Word(const QString& w, std::optional<qint64> n, bool atDestinationStart)
    {
        const bool optional = m_optionalDestination;
        m_optionalDestination = false;
        TRtfState& s = S();
        const qint64 v = n.value_or(1);

        // The shown text of the current group.
        if (w == QLatin1String("u")) {
            const qint64 code = n ? (*n < 0 ? *n + 65536 : *n) : -1;
            if (code >= 0 && code <= 0xFFFF) AppendChar(QChar(char16_t(code)));
            m_pendingSkip = s.SkipAfterUnicode;
            return;
        }
        if (m_pendingSkip > 0 && w != QLatin1String("bin")) {
            --m_pendingSkip;
            return;
        }
        if (w == QLatin1String("bin")) {
            const qint64 len = std::clamp<qint64>(n.value_or(0), 0, m_in.size() - m_pos);
            m_pos += len;
            m_pendingSkip = 0;
            return;
        }
        if (w == QLatin1String("fonttbl")) {
            s.Dest = TDest::FontTable;
            return;
        }
        if (w == QLatin1String("colortbl")) {
            s.Dest = TDest::ColorTable;
            m_red = m_green = m_blue = -1;
            return;
        }
        if (SkippedDestinations().contains(w) || (optional && atDestinationStart)) {
            s.Dest = TDest::Skip;
            return;
        }
        switch (s.Dest) {
        case TDest::Skip:
            return;
        case TDest::ColorTable:
            if (w == QLatin1String("red")) m_red = int(std::clamp<qint64>(v, 0, 255));
            else if (w == QLatin1String("green")) m_green = int(std::clamp<qint64>(v, 0, 255));
            else if (w == QLatin1String("blue")) m_blue = int(std::clamp<qint64>(v, 0, 255));
            return;
        case TDest::FontTable:
            if (w == QLatin1String("f")) {
                EndGroup();
                m_fontNumber = int(v);
            }
            return;
        case TDest::Text:
            break;
        }

        if (w == QLatin1String("par")) AppendChar(ParagraphEnd);
        else if (w == QLatin1String("line")) AppendChar(LineBreak);
        else if (w == QLatin1String("tab")) AppendChar(QChar('\t'));
        else if (w == QLatin1String("emdash")) AppendChar(QChar(0x2014));
        else if (w == QLatin1String("endash")) AppendChar(QChar(0x2013));
        else if (w == QLatin1String("bullet")) AppendChar(QChar(0x2022));
        else if (w == QLatin1String("lquote")) AppendChar(QChar(0x2018));
        else if (w == QLatin1String("rquote")) AppendChar(QChar(0x2019));
        else if (w == QLatin1String("ldblquote")) AppendChar(QChar(0x201C));
        else if (w == QLatin1String("rdblquote")) AppendChar(QChar(0x201D));
        else if (w == QLatin1String("b")) s.Bold = v != 0;
        else if (w == QLatin1String("i")) s.Italic = v != 0;
        else if (w == QLatin1String("ul")) s.Underline = v != 0;
        else if (w == QLatin1String("ulnone")) s.Underline = false;
        else if (w == QLatin1String("fs")) s.FontSize = n && *n > 0 ? int(std::clamp<qint64>(*n, 2, MaxFontSize)) : 0;
        else if (w == QLatin1String("cf")) s.Color = int(std::clamp<qint64>(v, 0, INT32_MAX));
        else if (w == QLatin1String("f")) s.Font = int(v);
        else if (w == QLatin1String("deff")) m_defaultFont = int(v);
        else if (w == QLatin1String("up")) s.Offset = int(std::clamp<qint64>(n.value_or(6), 0, MaxOffset)) * 10;
        else if (w == QLatin1String("dn")) s.Offset = -int(std::clamp<qint64>(n.value_or(6), 0, MaxOffset)) * 10;
        else if (w == QLatin1String("uc")) s.SkipAfterUnicode = int(std::clamp<qint64>(v, 0, 8));
        else if (w == QLatin1String("plain")) {
            s.Bold = s.Italic = s.Underline = false;
            s.FontSize = 0;
            s.Color = 0;
            s.Offset = 0;
            s.Font = -1;
        }
        // Every other word changes nothing that is kept.
    }

    void Text(const QString& t)
    {
        m_destinationStart = false;
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        for (QChar c : t) AppendChar(c);
    }

    void AppendChar(QChar c)
    {
        // Control characters other than the tab are not text.
        if (c.unicode() < 0x20 && c != '\t') return;
        TRtfState& s = S();
        switch (s.Dest) {
        case TDest::Skip:
            return;
        case TDest::ColorTable:
            if (c == ';') {
                m_colors.push_back(m_red < 0 && m_green < 0 && m_blue < 0
                                       ? QColor()
                                       : QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
                m_red = m_green = m_blue = -1;
            }
            return;
        case TDest::FontTable:
            if (c == ';') EndGroup();
            else if (m_fontNumber >= 0 && m_fontName.size() < 256 && c != ParagraphEnd && c != LineBreak && c != '\t')
                m_fontName += c;
            return;
        case TDest::Text:
            break;
        }
        TRichTextRun fmt;
        fmt.Bold = s.Bold;
        fmt.Italic = s.Italic;
        fmt.Underline = s.Underline;
        fmt.FontSize = s.FontSize;
        const int font = s.Font >= 0 ? s.Font : m_defaultFont;
        fmt.FontName = font >= 0 ? m_fonts.value(font) : QString();
        fmt.Color = s.Color >= 0 && s.Color < qsizetype(m_colors.size()) ? m_colors[size_t(s.Color)] : QColor();
        fmt.Offset = s.Offset;
        if (m_runs.empty() || !m_runs.back().SameFormat(fmt)) m_runs.push_back(std::move(fmt));
        m_runs.back().Text += c;
    }

    const QString& m_in;
    qsizetype m_pos = 0;
    std::vector<TRtfState> m_stack;
    TRichTextRuns m_runs;
    QHash<int, QString> m_fonts;
    std::vector<QColor> m_colors;  // entries 1.. of the colour table (entry 0 is "auto")
    int m_red = -1, m_green = -1, m_blue = -1;
    int m_fontNumber = -1;
    QString m_fontName;
    int m_defaultFont = -1;
    int m_pendingSkip = 0;
    bool m_destinationStart = false;
    bool m_optionalDestination = false;
};

void WriteEscaped(QString& out, const QString& text, bool inTable)
{
    const auto ansi = [](QChar c) -> int {
        const QByteArray b = EncodeAnsi(QString(c), '\0');
        if (b.size() != 1 || b[0] == '\0') return -1;
        return uint8_t(b[0]);
    };
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += c;
        } else if (u == ';' && inTable) {
            continue;  // ends a table entry: a name never holds one
        } else if (c == ParagraphEnd) {
            out += QStringLiteral("\\par\r\n");
        } else if (c == LineBreak) {
            out += QStringLiteral("\\line ");
        } else if (u == '\t') {
            out += QStringLiteral("\\tab ");
        } else if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else if (u < 0x20) {
            continue;  // other control characters are not text
        } else if (const int b = u >= 0x80 ? ansi(c) : -1; b >= 0) {
            out += QStringLiteral("\\'%1").arg(b, 2, 16, QLatin1Char('0'));
        } else {
            out += QStringLiteral("\\u%1?").arg(u > 32767 ? int(u) - 65536 : int(u));
        }
    }
}

// The size a run is drawn in, for the baseline offset's percentage.
qreal PointSizeOf(const QTextCharFormat& fmt, const QFont& fallback)
{
    if (fmt.hasProperty(QTextFormat::FontPointSize) && fmt.fontPointSize() > 0) return fmt.fontPointSize();
    if (fallback.pointSizeF() > 0) return fallback.pointSizeF();
    return fallback.pixelSize() > 0 ? fallback.pixelSize() * 72.0 / 96.0 : 9.0;
}

void ApplyOffset(QTextCharFormat& fmt, int twips, const QFont& fallback)
{
    fmt.setProperty(RichTextOffsetProperty(), twips);
    fmt.setBaselineOffset(twips == 0 ? 0.0 : twips / 20.0 / PointSizeOf(fmt, fallback) * 100.0);
}

} // namespace

int RichTextOffsetProperty() { return QTextFormat::UserProperty + 0x52; }

bool TRichTextRun::SameFormat(const TRichTextRun& o) const
{
    return Bold == o.Bold && Italic == o.Italic && Underline == o.Underline && FontSize == o.FontSize &&
           FontName == o.FontName && Color == o.Color && Offset == o.Offset;
}

bool IsRichText(const QString& text) { return text.startsWith(QStringLiteral("{\\")); }

TRichTextRuns ParseRichText(const QString& rtf) { return TRtfReader(rtf).Read(); }

QString RichTextRunsToRtf(const TRichTextRuns& runs)
{
    QStringList fonts;
    std::vector<QColor> colors;
    for (const TRichTextRun& r : runs) {
        if (!r.FontName.isEmpty() && !fonts.contains(r.FontName)) fonts << r.FontName;
        if (r.Color.isValid() && std::find(colors.begin(), colors.end(), r.Color) == colors.end()) colors.push_back(r.Color);
    }
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\uc1");
    if (!fonts.isEmpty()) {
        out += QStringLiteral("{\\fonttbl");
        for (qsizetype i = 0; i < fonts.size(); ++i) {
            out += QStringLiteral("{\\f%1 ").arg(i);
            WriteEscaped(out, fonts[i], true);
            out += QStringLiteral(";}");
        }
        out += '}';
    }
    if (!colors.empty()) {
        out += QStringLiteral("{\\colortbl ;");
        for (const QColor& c : colors)
            out += QStringLiteral("\\red%1\\green%2\\blue%3;").arg(c.red()).arg(c.green()).arg(c.blue());
        out += '}';
    }
    out += QStringLiteral("\r\n");
    for (const TRichTextRun& r : runs) {
        if (r.Text.isEmpty()) continue;
        out += QStringLiteral("\\plain");
        if (!r.FontName.isEmpty()) out += QStringLiteral("\\f%1").arg(fonts.indexOf(r.FontName));
        if (r.FontSize > 0) out += QStringLiteral("\\fs%1").arg(r.FontSize);
        if (r.Bold) out += QStringLiteral("\\b");
        if (r.Italic) out += QStringLiteral("\\i");
        if (r.Underline) out += QStringLiteral("\\ul");
        if (r.Color.isValid())
            out += QStringLiteral("\\cf%1").arg(std::find(colors.begin(), colors.end(), r.Color) - colors.begin() + 1);
        if (r.Offset > 0) out += QStringLiteral("\\up%1").arg((r.Offset + 5) / 10);
        if (r.Offset < 0) out += QStringLiteral("\\dn%1").arg((-r.Offset + 5) / 10);
        out += ' ';
        WriteEscaped(out, r.Text, false);
    }
    out += QStringLiteral("}");
    return out;
}

QString RichTextRunsToPlainText(const TRichTextRuns& runs)
{
    QString out;
    for (const TRichTextRun& r : runs) {
        for (QChar c : r.Text) {
            if (c == ParagraphEnd || c == LineBreak) out += QStringLiteral("\r\n");
            else out += c;
        }
    }
    return out;
}

QString RichTextToPlainText(const QString& rtf) { return RichTextRunsToPlainText(ParseRichText(rtf)); }

void RichTextRunsToDocument(const TRichTextRuns& runs, QTextDocument& doc)
{
    doc.clear();
    QTextCursor cursor(&doc);
    const QFont base = doc.defaultFont();
    for (const TRichTextRun& r : runs) {
        QTextCharFormat fmt;
        fmt.setFontWeight(r.Bold ? QFont::Bold : QFont::Normal);
        fmt.setFontItalic(r.Italic);
        fmt.setFontUnderline(r.Underline);
        if (r.FontSize > 0) fmt.setFontPointSize(r.FontSize / 2.0);
        if (!r.FontName.isEmpty()) fmt.setFontFamilies(QStringList{r.FontName});
        if (r.Color.isValid()) fmt.setForeground(r.Color);
        ApplyOffset(fmt, r.Offset, base);
        // A paragraph break gives the new paragraph the run's format.
        cursor.insertText(r.Text, fmt);
    }
}

void LoadRichText(const QString& rtf, QTextDocument& doc) { RichTextRunsToDocument(ParseRichText(rtf), doc); }

namespace {

TRichTextRun RunFormat(const QTextCharFormat& f)
{
    TRichTextRun r;
    r.Bold = f.fontWeight() > QFont::Medium;
    r.Italic = f.fontItalic();
    r.Underline = f.fontUnderline();
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        r.FontSize = std::clamp(int(std::lround(f.fontPointSize() * 2)), 2, MaxFontSize);
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = f.fontFamilies().toStringList();
        if (!families.isEmpty()) r.FontName = families.first();
    }
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        r.Color = f.foreground().color();
    r.Offset = RichTextOffset(f);
    return r;
}

void AppendRun(TRichTextRuns& runs, const TRichTextRun& fmt, const QString& text)
{
    if (text.isEmpty()) return;
    if (runs.empty() || !runs.back().SameFormat(fmt)) {
        runs.push_back(fmt);
        runs.back().Text.clear();
    }
    runs.back().Text += text;
}

} // namespace

TRichTextRuns DocumentToRichTextRuns(const QTextDocument& doc)
{
    TRichTextRuns runs;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        // The break before a paragraph carries the paragraph's own format.
        if (block != doc.begin()) AppendRun(runs, RunFormat(block.charFormat()), QString(ParagraphEnd));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            QString text = frag.text();
            text.replace(QChar::ObjectReplacementCharacter, QString());
            AppendRun(runs, RunFormat(frag.charFormat()), text);
        }
    }
    return runs;
}

QString DocumentToRtf(const QTextDocument& doc) { return RichTextRunsToRtf(DocumentToRichTextRuns(doc)); }

QString DocumentPlainText(const QTextDocument& doc) { return RichTextRunsToPlainText(DocumentToRichTextRuns(doc)); }

int RichTextOffset(const QTextCharFormat& fmt)
{
    return fmt.hasProperty(RichTextOffsetProperty()) ? fmt.intProperty(RichTextOffsetProperty()) : 0;
}

void SetRichTextOffset(QTextCursor& cursor, int twips)
{
    QTextDocument* doc = cursor.document();
    if (!doc) return;
    const QFont base = doc->defaultFont();
    if (!cursor.hasSelection()) {
        QTextCharFormat fmt = cursor.charFormat();
        ApplyOffset(fmt, twips, base);
        QTextCharFormat only;
        only.setProperty(RichTextOffsetProperty(), twips);
        only.setBaselineOffset(fmt.baselineOffset());
        cursor.mergeCharFormat(only);
        return;
    }
    const int from = cursor.selectionStart(), to = cursor.selectionEnd();
    // Walk the selection fragment by fragment, so that each keeps its size
    // and gets the baseline offset that fits it.
    int pos = from;
    QTextCursor walk(doc);
    while (pos < to) {
        const QTextBlock block = doc->findBlock(pos);
        if (!block.isValid()) break;
        int next = to;
        QTextCharFormat fmt;
        bool found = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (pos >= frag.position() && pos < frag.position() + frag.length()) {
                next = std::min(to, frag.position() + frag.length());
                fmt = frag.charFormat();
                found = true;
                break;
            }
        }
        if (!found) next = std::min(to, block.position() + std::max(1, block.length()));
        if (next <= pos) next = pos + 1;
        ApplyOffset(fmt, twips, base);
        QTextCharFormat only;
        only.setProperty(RichTextOffsetProperty(), twips);
        only.setBaselineOffset(fmt.baselineOffset());
        walk.setPosition(pos);
        walk.setPosition(next, QTextCursor::KeepAnchor);
        walk.mergeCharFormat(only);
        pos = next;
    }
}

bool SelectionRichTextOffset(const QTextCursor& cursor, int& twips)
{
    if (!cursor.hasSelection()) {
        twips = RichTextOffset(cursor.charFormat());
        return true;
    }
    const QTextDocument* doc = cursor.document();
    const int from = cursor.selectionStart(), to = cursor.selectionEnd();
    std::optional<int> seen;
    for (QTextBlock block = doc->findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (frag.position() + frag.length() <= from || frag.position() >= to) continue;
            const int v = RichTextOffset(frag.charFormat());
            if (seen && *seen != v) return false;
            seen = v;
        }
    }
    twips = seen.value_or(RichTextOffset(cursor.charFormat()));
    return true;
}

namespace {

void PrepareDocument(QTextDocument& doc, const QString& rtf, const QFont& font, qreal width)
{
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    LoadRichText(rtf, doc);
    doc.setTextWidth(width);
}

} // namespace

QSizeF MeasureRichText(const QString& rtf, const QFont& font, qreal width)
{
    QTextDocument doc;
    PrepareDocument(doc, rtf, font, width);
    return doc.size();
}

void DrawRichText(QPainter& painter, const QRectF& rect, const QString& rtf, const QFont& font,
                  const QColor& textColor, bool wrap)
{
    QTextDocument doc;
    PrepareDocument(doc, rtf, font, wrap ? rect.width() : -1);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.palette.setColor(QPalette::Text, textColor);
    ctx.clip = QRectF(0, 0, rect.width(), rect.height());
    painter.save();
    painter.translate(rect.topLeft());
    painter.setClipRect(ctx.clip, Qt::IntersectClip);
    doc.documentLayout()->draw(&painter, ctx);
    painter.restore();
}
