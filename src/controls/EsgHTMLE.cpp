#include "controls/EsgHTMLE.h"

#include "controls/EsgHTMLUtil.h"
#include "controls/ExtUtilDraw.h"
#include "controls/ExtXPVS.h"
#include "controls/PictureContainer.h"
#include "platform/ImageList.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <optional>

namespace {

TColor g_highlightBrush = clHighlight;
TColor g_highlightFont = clHighlightText;

// Entities of run text, decoded in one scan so that "&amp;lt;" shows as
// "&lt;". The first group matches in any letter case, the second exactly.
struct Entity {
    const char* name;
    char16_t ch;
};
constexpr std::array<Entity, 9> kCaselessEntities{{{"amp;", u'&'},
                                                   {"quot;", u'"'},
                                                   {"sect;", u'\u00A7'},
                                                   {"permil;", u'\u2030'},
                                                   {"reg;", u'\u00AE'},
                                                   {"copy;", u'\u00A9'},
                                                   {"para;", u'\u00B6'},
                                                   {"trade;", u'\u2122'},
                                                   {"euro;", u'\u20AC'}}};
constexpr std::array<Entity, 3> kExactEntities{{{"nbsp;", u' '}, {"lt;", u'<'}, {"gt;", u'>'}}};

// Decodes the entities of a run; `hadEntity` tells whether it held one.
QString DecodeEntities(const QString& s, bool* hadEntity = nullptr)
{
    if (hadEntity) *hadEntity = false;
    if (!s.contains(u'&')) return s;
    QString out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] != u'&') {
            out += s[i];
            continue;
        }
        const QStringView rest = QStringView(s).mid(i + 1);
        bool done = false;
        for (const Entity& e : kCaselessEntities)
            if (rest.startsWith(QLatin1String(e.name), Qt::CaseInsensitive)) {
                out += QChar(e.ch);
                i += int(qstrlen(e.name));
                done = true;
                break;
            }
        if (!done)
            for (const Entity& e : kExactEntities)
                if (rest.startsWith(QLatin1String(e.name), Qt::CaseSensitive)) {
                    out += QChar(e.ch);
                    i += int(qstrlen(e.name));
                    done = true;
                    break;
                }
        if (done) {
            if (hadEntity) *hadEntity = true;
        } else {
            out += s[i];
        }
    }
    return out;
}

// "<#name>" shows as "#name"; CR breaks the line as <BR>; LF vanishes.
QString PrepareText(const QString& text)
{
    QString s = text;
    for (int p = s.indexOf(QLatin1String("<#")); p >= 0; p = s.indexOf(QLatin1String("<#"), p)) {
        s.remove(p, 1);
        const int gt = s.indexOf(u'>', p);
        if (gt >= 0) s.remove(gt, 1);
    }
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (c == u'\r')
            out += QLatin1String("<BR>");
        else if (c != u'\n')
            out += c;
    }
    return out;
}

// The name of a tag: the characters after "<" (or "</") up to a blank or ">".
QString TagName(const QString& upperTag, int start)
{
    int end = start;
    while (end < upperTag.size() && !upperTag[end].isSpace() && upperTag[end] != u'>') ++end;
    return upperTag.mid(start, end - start);
}

// A whole number with leading blanks skipped, read up to the first other
// character; `ok` false when there are no digits.
int LeadingNumber(const QString& s, bool* ok = nullptr)
{
    int i = 0;
    while (i < s.size() && s[i] == u' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
    const int first = i;
    long long v = 0;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && v < 100000000) v = v * 10 + (s[i++].unicode() - u'0');
    if (ok) *ok = i > first;
    return int(negative ? -v : v);
}

// A whole number: the complete value must be one.
int StrictNumber(const QString& s, bool* ok)
{
    return s.trimmed().toInt(ok);
}

TColor AttributeColor(const QString& value)
{
    const QString up = value.toUpper();
    if (up.startsWith(u'#')) return HtmlHexToColor(up);
    return HtmlColorNameToColor(up.toLower());
}

// The brush colour as the renderer saves it: none when the brush is clear.
TColor BrushOrNone(const TCanvas& c)
{
    return c.BrushStyle() == TBrushStyle::Clear ? clNone : c.BrushColor();
}

void SetBrushOrClear(TCanvas& c, TColor color)
{
    c.SetBrushStyle(TBrushStyle::Solid);
    c.SetBrushColor(color);
}

void DrawFocusFrame(TCanvas& c, const TRect& r)
{
    c.Save();
    c.SetPenStyle(TPenStyle::Dot);
    c.SetPenColor(clBlack);
    c.SetBrushStyle(TBrushStyle::Clear);
    c.Rectangle(r);
    c.Restore();
}

// A classic check box or radio button: a white square or circle framed in
// grey, with a mark when checked.
void DrawClassicCheck(TCanvas& c, const TRect& r, bool radio, bool checked)
{
    c.Save();
    c.SetPenStyle(TPenStyle::Solid);
    c.SetPenColor(clGray);
    c.SetBrushStyle(TBrushStyle::Solid);
    c.SetBrushColor(clWhite);
    if (radio) {
        c.Ellipse(r);
        if (checked) {
            c.SetPenColor(clBlack);
            c.SetBrushColor(clBlack);
            c.Ellipse(r.Inflated(-(r.Width() / 3), -(r.Height() / 3)));
        }
    } else {
        c.Rectangle(r);
        if (checked) {
            const int x = r.Left + r.Width() / 4, y = r.Top + r.Height() / 2;
            c.SetPenColor(clBlack);
            for (int d = 0; d < 2; ++d) {
                c.MoveTo(x, y + d - 1);
                c.LineTo(x + 2, y + d + 1);
                c.LineTo(x + 7, y + d - 4);
            }
        }
    }
    c.Restore();
}

// The state shared by the lines of one call.
struct FontState {
    QFont Font;
    TColor Color = clBlack;
    int Escapement = 0;
};

enum class TagEffect { Consumed, LineFull, LineBreak };

struct Line {
    int Left = 0;  // the placed left edge
    int Top = 0;
    int Right = 0;
    int Height = 0; // running height of the text
    int SubRoom = 0;
    int SupRoom = 0;
    int PicAlign = 0; // picture alignment offset
    // The drawing pass keeps the text bottom the measuring pass found.
    int FrozenTextBottom = -1;
    int TextBottom() const { return FrozenTextBottom >= 0 ? FrozenTextBottom : Top + Height + SupRoom; }
    int Bottom() const { return TextBottom() + SubRoom; }
    QString Source;
    int Width = 0;
    bool AnchorHit = false;
    bool PictureHit = false;
    bool ControlHit = false;
    int ItemsInLine = 0;
    bool Sub = false;
    bool Sup = false;
};

// What a picture tag found.
struct FoundPicture {
    enum Kind { None, ImageListPicture, SystemIcon, HtmlPicture } kind = None;
    int index = -1;
    QString path;
    bool large = false;
    THTMLPicture* picture = nullptr;
};

class Renderer {
public:
    explicit Renderer(const TMiniHtmlParams& p) : P(p), C(p.Canvas) {}
    TMiniHtmlResult Run();

private:
    void RenderMiniHtmlLine(int pass, QString& text, Line& L);
    TagEffect Tag(int pass, const QString& tag, Line& L);
    TagEffect ClosingTag(int pass, const QString& up, Line& L);
    void AnchorStart(int pass, const QString& tag, Line& L);
    void AnchorEnd(int pass, Line& L);
    TagEffect Picture(int pass, const QString& tag, Line& L);
    TagEffect Control(int pass, const QString& tag, Line& L);
    void Font(int pass, const QString& tag);
    void Body(const QString& tag);
    FoundPicture FindPicture(const QString& name);
    void DrawRun(const QString& run, int width, Line& L);
    void CloseFocusAtLineEnd(Line& L);
    // Draws a part of an inline control in the visual style (opened for the
    // theme window and closed again); false when visual styles are not in use.
    bool Themed(const QString& themeClass, int part, int state, const TRect& r)
    {
        TThemeData* theme = themed ? OpenThemeData(P.ThemeWindow, themeClass) : nullptr;
        if (!theme) return false;
        DrawThemeBackground(theme, C, part, state, r);
        CloseThemeData(theme);
        return true;
    }

    bool Drawing(int pass) const { return pass == 2 && !P.HitTestOnly && !P.MeasureOnly; }
    bool Hovered() const { return !P.UnderlineHoverOnly || k.anchorCount == P.HoverAnchorNumber; }
    int GH() const { return C.TextHeight(QStringLiteral("gh")); }
    void SetFontFlag(void (QFont::*setter)(bool), bool on)
    {
        QFont f = C.Font();
        (f.*setter)(on);
        C.SetFont(f);
    }

    const TMiniHtmlParams& P;
    TCanvas& C;
    TMiniHtmlResult R;

    QFont baseFont;
    TColor baseColor = clBlack;
    TColor startBrush = clNone;
    unsigned flags = 0;
    bool themed = false;

    int x = 0;        // position in the line, relative to its left
    int drawLeft = 0; // drawing position (canvas)
    int drawRight = 0; // right-to-left drawing position (canvas)

    // Carried from line to line.
    int align = 0; // 0 left, 1 right, 2 centre
    int paraIndent = 0;
    // Both passes of a line start from what the last pass of the line
    // before left here.
    struct Carried {
        int anchorCount = 0;
        int listLevel = 0;
        int pictureCount = 0;
        bool inAnchor = false;
        QString anchorRef, anchorTitle;
    } k;
    int hitPicture = -1;
    bool shadow = false, hidden = false, error = false, paraBackground = false;
    bool anchorMarkedHit = false;
    int anchorStartX = 0, anchorStartTop = 0;
    int lineNumber = 0, anchorStartLine = 0;
    TColor savedFontBrush = clNone, savedHiBrush = clNone, savedHiFont = clBlack, savedParaBrush = clNone;
    TColor savedHoverBrush = clNone, savedHoverFont = clBlack;
    std::optional<TCanvasFontState> beforeRotation;
    TRect focus;
    int objectW = 0, objectH = 0; // size of the last inline control or picture
};

TMiniHtmlResult Renderer::Run()
{
    // Starting state, restored at the end.
    const TColor penColor = C.PenColor();
    const int penWidth = C.PenWidth();
    const TPenStyle penStyle = C.PenStyle();
    const TColor brushColor = C.BrushColor();
    const TBrushStyle brushStyle = C.BrushStyle();
    const TBkMode bkMode = C.BkMode();
    const QFont startFont = C.Font();
    const TColor startFontColor = C.FontColor();
    const int startEscapement = C.FontEscapement();
    startBrush = brushStyle == TBrushStyle::Clear ? clNone : brushColor;
    baseFont = startFont;
    baseColor = startFontColor;
    FontState pass[2] = {{startFont, startFontColor, startEscapement}, {startFont, startFontColor, startEscapement}};
    // Text gets a background only where a tag sets a brush colour.
    C.SetBrushStyle(TBrushStyle::Solid);
    C.SetBrushColor(clNone);
    C.SetBkMode(TBkMode::Opaque);

    themed = IsWinXPOrLater() && IsThemeActive();
    if (P.HitTestOnly) R.HitControlID = P.HitControlID;
    flags = MiniHtmlBiDiFlags(P.BiDiMode, P.WordWrap);

    QString text = PrepareText(P.Text);
    int top = P.Rect.Top;
    auto select = [&](const FontState& s) {
        C.SetFont(s.Font);
        C.SetFontColor(s.Color);
        C.SetFontEscapement(s.Escapement);
    };
    auto keep = [&](FontState& s) { s = {C.Font(), C.FontColor(), C.FontEscapement()}; };

    while (!text.isEmpty()) {
        ++lineNumber;
        Line L;
        L.Left = P.Rect.Left + 1;
        L.Top = top;
        L.Right = P.Rect.Right;
        select(pass[0]);
        L.Height = GH();
        const int ghBefore = L.Height;
        const Carried lineStart = k;
        const int textLength = int(text.size());
        RenderMiniHtmlLine(1, text, L);
        keep(pass[0]);
        if (int(text.size()) == textLength && L.Source.isEmpty()) break; // nothing could be placed

        // Place the line.
        if (align == 1) L.Left = std::max(L.Left, L.Right - L.Width);
        else if (align == 2 && L.Right - L.Left - L.Width > 0) L.Left += (L.Right - L.Left - L.Width) / 2;
        L.Left += paraIndent;

        if (!P.MeasureOnly) {
            k = lineStart;
            select(pass[1]);
            QString source = L.Source;
            Line L2 = L;
            L2.FrozenTextBottom = L.TextBottom();
            RenderMiniHtmlLine(2, source, L2);
            keep(pass[1]);
            const int band = L.Bottom() - L.PicAlign;
            if ((L2.AnchorHit && P.HitY > band - ghBefore && P.HitY < band) || L2.PictureHit || L2.ControlHit) R.Hit = true;
        }
        const int lineHeight = L.Height + L.SubRoom + L.SupRoom;
        top += lineHeight;
        R.TotalHeight += lineHeight;
        if (!P.MeasureOnly && P.Rect.Bottom < top + ghBefore) break;
    }
    if (R.TotalHeight == 0) {
        C.SetFont(startFont);
        R.TotalHeight = GH();
    }
    R.AnchorCount = k.anchorCount;

    C.SetPenColor(penColor);
    C.SetPenWidth(penWidth);
    C.SetPenStyle(penStyle);
    C.SetBrushColor(brushColor);
    C.SetBrushStyle(brushStyle);
    C.SetBkMode(bkMode);
    C.SetFont(startFont);
    C.SetFontColor(startFontColor);
    C.SetFontEscapement(startEscapement);
    return R;
}

void Renderer::RenderMiniHtmlLine(int pass, QString& text, Line& L)
{
    x = 0;
    drawLeft = L.Left;
    drawRight = P.BiDiMode == 1 ? L.Right : L.Left + L.Width;
    L.Sub = L.Sup = false;
    L.ItemsInLine = 0;
    const bool drawing = Drawing(pass);
    const int lineWidth = L.Right - L.Left;
    int trailingBlank = 0;
    bool hadRuns = false;
    bool lastEndsInBlank = false;

    if (drawing && paraBackground) C.FillRect(TRect{P.Rect.Left, L.Top, P.Rect.Right, L.Top + L.Height});

    while (!text.isEmpty()) {
        const int lt = int(text.indexOf(u'<'));
        if (lt != 0) {
            // A run of text.
            QString raw = lt < 0 ? text : text.left(lt);
            if (P.WordWrap) {
                const int blank = int(raw.indexOf(u' '));
                if (blank >= 0) raw = raw.left(blank + 1);
            }
            bool hadEntity = false;
            const QString run = DecodeEntities(raw, &hadEntity);
            if (!run.isEmpty()) {
                const int h = C.TextHeight(run);
                L.Height = std::max(L.Height, h);
                if (pass == 1) {
                    if (L.Sub) L.SubRoom = std::max(L.SubRoom, h / 4);
                    if (L.Sup) L.SupRoom = std::max(L.SupRoom, h / 4);
                }
            }
            if (pass == 1) R.PlainText += run;
            if (hidden) {
                text.remove(0, raw.size());
                L.Source += raw;
                continue;
            }
            const int w = C.TextWidth(run);
            const int newX = x + w;
            // A run wider than the line fits only at the line's start, so
            // that a long word stands on a line of its own.
            const bool overflows = newX >= lineWidth;
            bool fits = !overflows || (w >= lineWidth && !hadRuns);
            const bool dropRest = pass == 1 && overflows && !P.WordWrap; // nothing after the first overflowing line is shown
            if (pass == 1 && !fits && hadRuns && !lastEndsInBlank) fits = true; // a word is not split from a glued predecessor
            if (pass == 2 || !P.WordWrap) fits = true;
            if (!fits) break; // the run goes to the next line

            if (pass == 2) {
                const int runLeft = P.BiDiMode != 0 ? drawRight - w : L.Left + x;
                if (k.inAnchor && P.HitX >= runLeft && P.HitX <= runLeft + w) {
                    L.AnchorHit = true;
                    if (P.HitY > L.Top && P.HitY < L.Bottom()) {
                        R.HitAnchorRef = k.anchorRef;
                        R.HitAnchorTitle = k.anchorTitle;
                        anchorMarkedHit = true;
                    }
                }
                if (k.inAnchor && k.anchorCount == P.FocusAnchorIndex + 1) R.FocusAnchorRef = k.anchorRef;
                if (drawing) DrawRun(run, w, L);
            }
            x = newX;
            drawLeft += w;
            drawRight -= w;
            trailingBlank = raw.endsWith(u' ') && !hadEntity ? C.TextWidth(QStringLiteral(" ")) : 0;
            hadRuns = true;
            lastEndsInBlank = raw.endsWith(u' ');
            text.remove(0, raw.size());
            L.Source += raw;
            if (dropRest && !text.isEmpty()) {
                text.clear();
                break;
            }
            continue;
        }
        // A tag, up to the next ">" (a tag without one swallows the rest).
        const int gt = int(text.indexOf(u'>'));
        const QString tag = gt < 0 ? text : text.left(gt + 1);
        const TagEffect effect = Tag(pass, tag, L);
        if (effect == TagEffect::LineFull) break;
        text.remove(0, tag.size());
        L.Source += tag;
        if (effect == TagEffect::LineBreak) break;
    }
    if (pass == 1) {
        L.Width = x - trailingBlank;
        R.MaxLineWidth = std::max(R.MaxLineWidth, L.Width);
    }
    if (drawing) CloseFocusAtLineEnd(L);
}

void Renderer::DrawRun(const QString& run, int width, Line& L)
{
    int bottom = L.TextBottom() - L.PicAlign;
    if (L.Sup) bottom -= L.SupRoom;
    if (L.Sub) bottom += L.SubRoom;
    TRect r = P.BiDiMode != 0 ? TRect{drawRight - width, L.Top, drawRight, bottom} : TRect{drawLeft, L.Top, L.Right, bottom};
    auto draw = [&](const TRect& rr) {
        if (C.FontEscapement() != 0) {
            // Turned text stands on the run's bottom-left corner.
            C.TextOut(rr.Left, rr.Bottom, run);
        } else {
            TRect box = rr;
            C.DrawText(run, box, flags);
        }
    };
    if (shadow) {
        const TColor color = C.FontColor();
        const TColor brush = C.BrushColor();
        C.SetFontColor(P.ShadowTextColor);
        C.SetBrushColor(clNone);
        draw(r.Offset(P.ShadowShift, P.ShadowShift));
        C.SetFontColor(color);
        C.SetBrushColor(brush);
    }
    draw(r);
    if (error) {
        const int tb = L.TextBottom();
        std::vector<QPoint> points;
        for (int px = r.Left - r.Left % 2; px <= r.Left + width; px += 2) points.emplace_back(px, px % 4 == 0 ? tb + 1 : tb - 1);
        if (points.size() >= 2) {
            C.Save();
            C.SetPenStyle(TPenStyle::Solid);
            C.SetPenColor(clRed);
            C.SetPenWidth(1);
            C.Polyline(points);
            C.Restore();
        }
    }
}

void Renderer::CloseFocusAtLineEnd(Line& L)
{
    if (!k.inAnchor || k.anchorCount != P.FocusAnchorIndex + 1) return;
    focus.Right = drawLeft;
    focus.Bottom = L.Bottom();
    DrawFocusFrame(C, focus.Inflated(1, 1));
    focus.Left = L.Left + 1;
    focus.Top = L.Bottom();
}

TagEffect Renderer::Tag(int pass, const QString& tag, Line& L)
{
    const QString up = tag.toUpper();
    const bool drawing = Drawing(pass);
    if (up.startsWith(QLatin1String("</"))) {
        // A closing tag needs more than "</" and one character.
        if (up.size() > 3) return ClosingTag(pass, up, L);
        return TagEffect::Consumed;
    }
    const QString name = TagName(up, 1);
    if (name.isEmpty()) return TagEffect::Consumed;
    const QChar c = name[0];
    const std::vector<TTagAttribute> attrs = TagAttributes(tag);
    switch (c.unicode()) {
    case u'A':
        AnchorStart(pass, tag, L);
        break;
    case u'B':
        if (name == QLatin1String("B")) {
            SetFontFlag(&QFont::setBold, true);
        } else if (name.startsWith(QLatin1String("BR"))) {
            if (pass == 1) R.PlainText += u'\r';
            return TagEffect::LineBreak;
        } else if (name.startsWith(QLatin1String("BL"))) {
            if (!P.BlinkVisible) C.SetFontColor(startBrush);
        } else if (name.startsWith(QLatin1String("BO"))) {
            if (drawing) Body(tag);
        }
        break;
    case u'C':
        return Control(pass, tag, L);
    case u'E':
        error = true;
        break;
    case u'F':
        Font(pass, tag);
        break;
    case u'H':
        if (name.startsWith(QLatin1String("HI"))) {
            if (drawing) {
                savedHiBrush = BrushOrNone(C);
                savedHiFont = C.FontColor();
                SetBrushOrClear(C, g_highlightBrush);
                C.SetFontColor(g_highlightFont);
            }
        } else if (name.startsWith(QLatin1String("HR"))) {
            if (drawing) {
                C.Save();
                C.SetPenStyle(TPenStyle::Solid);
                C.SetPenColor(clBlack);
                C.SetPenWidth(1);
                C.MoveTo(L.Left, L.TextBottom());
                C.LineTo(L.Right, L.TextBottom());
                C.Restore();
            }
            return TagEffect::LineBreak;
        }
        break;
    case u'I':
        if (name == QLatin1String("I")) {
            SetFontFlag(&QFont::setItalic, true);
        } else if (name.startsWith(QLatin1String("IN"))) {
            bool ok = false;
            const int to = StrictNumber(TagAttribute(attrs, QStringLiteral("X")), &ok);
            if (ok && x < to) {
                x = to;
                drawLeft = P.Rect.Left + to;
            }
        } else if (name.startsWith(QLatin1String("IM"))) {
            return Picture(pass, tag, L);
        }
        break;
    case u'L': {
        if (pass == 1 && L.ItemsInLine > 0) return TagEffect::LineFull; // one item per line
        ++L.ItemsInLine;
        x += 12 * k.listLevel;
        if (drawing && k.listLevel > 0) {
            const QFont f = C.Font();
            QFont symbol = f;
            symbol.setFamily(QStringLiteral("Symbol"));
            C.SetFont(symbol);
            TRect r{drawLeft + 12 * (k.listLevel - 1), L.Top, L.Right, L.TextBottom() - L.PicAlign};
            C.DrawText(k.listLevel % 2 == 1 ? QStringLiteral("\u00B7") : QStringLiteral("o"), r, flags);
            C.SetFont(f);
        }
        drawLeft += 12 * k.listLevel;
        break;
    }
    case u'P': {
        const QString a = TagAttribute(attrs, QStringLiteral("ALIGN")).toUpper();
        if (a.contains(QLatin1String("RIGHT"))) align = 1;
        if (a.contains(QLatin1String("LEFT"))) align = 0;
        if (a.contains(QLatin1String("CENTER"))) align = 2;
        if (HasTagAttribute(attrs, QStringLiteral("INDENT"))) paraIndent = LeadingNumber(TagAttribute(attrs, QStringLiteral("INDENT")));
        if (drawing && HasTagAttribute(attrs, QStringLiteral("BGCOLOR"))) {
            const TColor color = AttributeColor(TagAttribute(attrs, QStringLiteral("BGCOLOR")));
            savedParaBrush = BrushOrNone(C);
            SetBrushOrClear(C, color);
            C.SetPenColor(color);
            C.FillRect(TRect{P.Rect.Left, L.Top, P.Rect.Right, L.TextBottom()});
            paraBackground = true;
        }
        break;
    }
    case u'R': {
        bool ok = false;
        const int angle = StrictNumber(TagAttribute(attrs, QStringLiteral("A")), &ok);
        const TCanvasFontState before = SelectRotatedFont(C, ok ? angle : 0);
        if (!beforeRotation) beforeRotation = before;
        break;
    }
    case u'S':
        if (name == QLatin1String("S")) SetFontFlag(&QFont::setStrikeOut, true);
        else if (name.startsWith(QLatin1String("SH"))) shadow = true;
        else if (name == QLatin1String("SUB")) L.Sub = true;
        else if (name == QLatin1String("SUP")) L.Sup = true;
        break;
    case u'U':
        if (name == QLatin1String("U")) {
            SetFontFlag(&QFont::setUnderline, true);
        } else {
            ++k.listLevel;
            return TagEffect::LineBreak;
        }
        break;
    case u'Z':
        hidden = true;
        break;
    default:
        break;
    }
    return TagEffect::Consumed;
}

TagEffect Renderer::ClosingTag(int pass, const QString& up, Line& L)
{
    const bool drawing = Drawing(pass);
    const QString name = TagName(up, 2);
    if (name.isEmpty()) return TagEffect::Consumed;
    switch (name[0].unicode()) {
    case u'A':
        AnchorEnd(pass, L);
        break;
    case u'B':
        if (name == QLatin1String("B")) SetFontFlag(&QFont::setBold, false);
        else C.SetFontColor(baseColor);
        break;
    case u'E':
        error = false;
        break;
    case u'F': {
        QFont f = C.Font();
        f.setFamily(baseFont.family());
        if (baseFont.pixelSize() > 0) f.setPixelSize(baseFont.pixelSize());
        else f.setPointSizeF(baseFont.pointSizeF());
        C.SetFont(f);
        if (drawing && !P.OnSelection) {
            C.SetFontColor(baseColor);
            SetBrushOrClear(C, savedFontBrush);
        }
        break;
    }
    case u'H':
        if (drawing) {
            C.SetFontColor(savedHiFont);
            SetBrushOrClear(C, savedHiBrush);
        }
        break;
    case u'I':
        SetFontFlag(&QFont::setItalic, false);
        break;
    case u'L':
        return TagEffect::LineBreak;
    case u'P':
        if (drawing) {
            SetBrushOrClear(C, savedParaBrush);
            paraBackground = false;
        }
        return TagEffect::LineBreak;
    case u'R':
        if (beforeRotation) {
            C.SetFont(beforeRotation->Font);
            C.SetFontEscapement(beforeRotation->Escapement);
            beforeRotation.reset();
        }
        break;
    case u'S':
        if (name.startsWith(QLatin1String("SU"))) L.Sub = L.Sup = false;
        else if (name.startsWith(QLatin1String("SH"))) shadow = false;
        else SetFontFlag(&QFont::setStrikeOut, false);
        break;
    case u'U':
        if (name == QLatin1String("U") || k.listLevel == 0) SetFontFlag(&QFont::setUnderline, false);
        else --k.listLevel;
        break;
    case u'Z':
        hidden = false;
        break;
    default:
        break;
    }
    return TagEffect::Consumed;
}

void Renderer::AnchorStart(int pass, const QString& tag, Line& L)
{
    const bool drawing = Drawing(pass);
    if (drawing && k.anchorCount == P.FocusAnchorIndex) {
        focus.Left = drawLeft;
        focus.Top = L.Top;
    }
    ++k.anchorCount;
    if (drawing && Hovered()) {
        SetFontFlag(&QFont::setUnderline, true);
        if (P.HoverBrushColor != clNone) {
            savedHoverBrush = BrushOrNone(C);
            SetBrushOrClear(C, P.HoverBrushColor);
        }
        if (P.HoverTextColor != clNone) {
            savedHoverFont = C.FontColor();
            C.SetFontColor(P.HoverTextColor);
        }
    }
    if (!P.OnSelection && (P.HoverTextColor == clNone || k.anchorCount != P.HoverAnchorNumber || !P.UnderlineHoverOnly))
        C.SetFontColor(P.URLColor);
    const std::vector<TTagAttribute> attrs = TagAttributes(tag);
    k.anchorRef = DecodeEntities(TagAttribute(attrs, QStringLiteral("HREF")));
    k.anchorTitle = DecodeEntities(TagAttribute(attrs, QStringLiteral("TITLE")));
    k.inAnchor = true;
    if (pass == 2) {
        // Where the anchor began, for its rectangle; the measuring pass of a
        // later line must not disturb an anchor still open in the drawing pass.
        anchorMarkedHit = false;
        anchorStartX = x;
        anchorStartTop = L.Top;
        anchorStartLine = lineNumber;
    }
}

void Renderer::AnchorEnd(int pass, Line& L)
{
    const bool drawing = Drawing(pass);
    if (drawing && Hovered()) {
        SetFontFlag(&QFont::setUnderline, false);
        if (P.HoverBrushColor != clNone) SetBrushOrClear(C, savedHoverBrush);
        if (P.HoverTextColor != clNone) C.SetFontColor(savedHoverFont);
    }
    if (!P.OnSelection) C.SetFontColor(baseColor);
    k.inAnchor = false;
    if (anchorMarkedHit && pass == 2) {
        const bool sameLine = anchorStartLine == lineNumber;
        R.HitAnchorRect = TRect{sameLine ? L.Left + anchorStartX : L.Left, sameLine ? anchorStartTop : L.Top, L.Left + x, L.TextBottom()};
        R.HitAnchorNumber = k.anchorCount;
        anchorMarkedHit = false;
    }
    if (k.anchorCount == P.FocusAnchorIndex + 1 && drawing) {
        focus.Right = drawLeft;
        focus.Bottom = L.TextBottom() - L.PicAlign;
        focus.Top = focus.Bottom - GH();
        DrawFocusFrame(C, focus.Inflated(1, 1));
    }
}

void Renderer::Font(int pass, const QString& tag)
{
    const std::vector<TTagAttribute> attrs = TagAttributes(tag);
    QFont f = C.Font();
    if (HasTagAttribute(attrs, QStringLiteral("FACE"))) f.setFamily(TagAttribute(attrs, QStringLiteral("FACE")));
    if (HasTagAttribute(attrs, QStringLiteral("SIZE"))) {
        bool ok = false;
        const int n = LeadingNumber(TagAttribute(attrs, QStringLiteral("SIZE")), &ok);
        static constexpr int kSizes[] = {8, 10, 12, 14, 16};
        const int points = n >= 1 && n <= 5 ? kSizes[n - 1] : n;
        if (ok && points > 0) f.setPointSize(points);
    }
    C.SetFont(f);
    if (P.OnSelection) return;
    if (HasTagAttribute(attrs, QStringLiteral("COLOR"))) C.SetFontColor(AttributeColor(TagAttribute(attrs, QStringLiteral("COLOR"))));
    if (Drawing(pass) && HasTagAttribute(attrs, QStringLiteral("BGCOLOR"))) {
        savedFontBrush = BrushOrNone(C);
        SetBrushOrClear(C, AttributeColor(TagAttribute(attrs, QStringLiteral("BGCOLOR"))));
    }
}

void Renderer::Body(const QString& tag)
{
    const std::vector<TTagAttribute> attrs = TagAttributes(tag);
    if (HasTagAttribute(attrs, QStringLiteral("BACKGROUND"))) {
        const FoundPicture found = FindPicture(TagAttribute(attrs, QStringLiteral("BACKGROUND")));
        THTMLPicture* pic = found.kind == FoundPicture::HtmlPicture ? found.picture : nullptr;
        if (pic && !pic->Empty() && pic->Width() > 0 && pic->Height() > 0) {
            const int w = ScaleToCanvasX(C, pic->Width()), h = ScaleToCanvasY(C, pic->Height());
            C.Save();
            C.IntersectClipRect(P.Rect);
            pic->SetStretched(false);
            for (int ty = P.Rect.Top; ty < P.Rect.Bottom; ty += h)
                for (int tx = P.Rect.Left; tx < P.Rect.Right; tx += w) pic->Draw(C, TRect{tx, ty, tx + w, ty + h});
            C.Restore();
        }
    }
    if (HasTagAttribute(attrs, QStringLiteral("BGCOLOR"))) {
        const QString value = TagAttribute(attrs, QStringLiteral("BGCOLOR")).toUpper();
        std::optional<TColor> color;
        if (value.contains(QLatin1String("CL"))) color = HtmlColorNameToColor(value.toLower());
        if (value.contains(u'#')) color = HtmlHexToColor(value.mid(value.indexOf(u'#')));
        if (color) {
            SetBrushOrClear(C, *color);
            C.SetPenColor(*color);
            C.FillRect(P.Rect);
            savedFontBrush = *color;
        }
    }
}

FoundPicture Renderer::FindPicture(const QString& source)
{
    FoundPicture found;
    QString name = source;
    if (name.startsWith(QLatin1String("IDX:"), Qt::CaseInsensitive)) {
        name = name.mid(4);
        bool ok = false;
        const int n = name.trimmed().toInt(&ok);
        if (ok && P.Images && P.Images->ValidIndex(n)) {
            found.kind = FoundPicture::ImageListPicture;
            found.index = n;
            return found;
        }
    }
    if (name.startsWith(QLatin1String("SSYS:"), Qt::CaseInsensitive) || name.startsWith(QLatin1String("LSYS:"), Qt::CaseInsensitive)) {
        found.kind = FoundPicture::SystemIcon;
        found.large = name[0].toUpper() == u'L';
        found.path = name.mid(5);
        return found;
    }
    if (!name.contains(u':') && P.NamedPictures) {
        if (THTMLPicture* pic = P.NamedPictures->FindPicture(name)) {
            found.kind = FoundPicture::HtmlPicture;
            found.picture = pic;
            return found;
        }
    }
    if (name.contains(QLatin1String("://")) && P.PictureCache) {
        THTMLPicture* pic = P.PictureCache->FindPicture(name);
        if (!pic) {
            THTMLPicture* added = P.PictureCache->AddPicture();
            added->SetAsynch(false);
            added->LoadFromURL(name);
            pic = P.PictureCache->FindPicture(name);
        }
        if (pic) {
            found.kind = FoundPicture::HtmlPicture;
            found.picture = pic;
        }
    }
    return found;
}

TagEffect Renderer::Picture(int pass, const QString& tag, Line& L)
{
    const bool drawing = Drawing(pass);
    ++k.pictureCount;
    const std::vector<TTagAttribute> attrs = TagAttributes(tag);
    QString source = TagAttribute(attrs, QStringLiteral("SRC"));
    if (HasTagAttribute(attrs, QStringLiteral("ALT")) && k.pictureCount == hitPicture) source = TagAttribute(attrs, QStringLiteral("ALT"));
    bool ok = false;
    int givenW = StrictNumber(TagAttribute(attrs, QStringLiteral("WIDTH")), &ok);
    if (!ok || givenW < 0) givenW = 0;
    int givenH = StrictNumber(TagAttribute(attrs, QStringLiteral("HEIGHT")), &ok);
    if (!ok || givenH < 0) givenH = 0;

    const FoundPicture found = FindPicture(source);
    int w = 0, h = 0;
    switch (found.kind) {
    case FoundPicture::None:
        return TagEffect::Consumed;
    case FoundPicture::ImageListPicture:
        w = ScaleToCanvasX(C, P.Images->Width());
        h = ScaleToCanvasY(C, P.Images->Height());
        if (drawing) {
            if (P.Printing)
                StretchBitmapToRect(C,
                                    TRect{drawLeft, L.Top, drawLeft + qRound(P.Images->Width() * P.PrintScale),
                                          L.Top + qRound(P.Images->Height() * P.PrintScale)},
                                    P.Images->GetImage(found.index));
            else
                P.Images->Draw(C, drawLeft, L.Top, found.index);
        }
        break;
    case FoundPicture::SystemIcon: {
        const QSize size = DrawSystemIcon(C, found.path, found.large, drawLeft, L.Top, drawing, P.Printing, P.PrintScale);
        w = size.width();
        h = size.height();
        break;
    }
    case FoundPicture::HtmlPicture: {
        THTMLPicture* pic = found.picture;
        if (pic->Empty() || pic->Width() <= 0 || pic->Height() <= 0) return TagEffect::Consumed;
        int pw = pic->GetMaxWidth(), ph = pic->GetMaxHeight();
        if (givenW > 0 && givenH > 0) {
            pw = givenW;
            ph = givenH;
        } else if (givenW > 0) {
            pw = givenW;
            ph = qRound(double(pic->Height()) * givenW / pic->Width());
        } else if (givenH > 0) {
            ph = givenH;
            pw = qRound(double(pic->Width()) * givenH / pic->Height());
        }
        w = ScaleToCanvasX(C, pw);
        h = ScaleToCanvasY(C, ph);
        if (drawing) {
            const bool stretched = givenW > 0 || givenH > 0;
            pic->SetStretched(stretched);
            if (stretched) {
                pic->Draw(C, TRect{drawLeft, L.Top, drawLeft + w, L.Top + h});
            } else {
                if (pic->FrameCount() > 1 && startBrush != clNone) {
                    C.Save();
                    SetBrushOrClear(C, startBrush);
                    C.FillRect(TRect{drawLeft, L.Top, drawLeft + w, L.Top + h});
                    C.Restore();
                }
                const int fx = ScaleToCanvasX(C, pic->FrameXPos()), fy = ScaleToCanvasY(C, pic->FrameYPos());
                pic->Draw(C, TRect{drawLeft + fx, L.Top + fy, drawLeft + w, L.Top + h});
            }
        }
        break;
    }
    }
    objectW = w;
    objectH = h;
    // Hit: a picture inside an anchor under the point.
    const int rel = P.HitX - L.Left;
    if (k.inAnchor && rel > x && rel < x + w && P.HitY > L.Top && P.HitY < L.Top + h) {
        hitPicture = k.pictureCount;
        if (pass == 2) {
            L.PictureHit = true;
            R.HitAnchorRef = k.anchorRef;
            R.HitAnchorTitle = k.anchorTitle;
        }
    }
    const int lineWidth = L.Right - L.Left;
    if (pass == 1 && x + w > lineWidth && w < lineWidth) return TagEffect::LineFull;
    x += w;
    drawLeft += w;
    drawRight -= w;
    L.Height = std::max(L.Height, h);
    if (pass == 1) {
        const QString a = TagAttribute(attrs, QStringLiteral("ALIGN")).toUpper();
        if (a.startsWith(QLatin1String("TOP"))) L.PicAlign = L.Height - GH();
        else if (a.startsWith(QLatin1String("MIDDLE"))) L.PicAlign = (L.Height - GH()) / 2;
    }
    return TagEffect::Consumed;
}

TagEffect Renderer::Control(int pass, const QString& tag, Line& L)
{
    if (!tag.toUpper().startsWith(QLatin1String("<CONTROL"))) return TagEffect::Consumed;
    const TControlTagAttributes a = ParseControlTagAttributes(tag);
    bool ok = false;
    int h = StrictNumber(a.Height, &ok);
    if (!ok) h = 25;
    if (a.Width.isEmpty()) return TagEffect::Consumed;
    const int W = StrictNumber(a.Width, &ok);
    if (ok) {
        objectW = W;
        objectH = GH() + 10;
    }
    const bool box = a.Type == QLatin1String("CHECK") || a.Type == QLatin1String("RADIO");
    L.Height = h > 25 ? h - 2 : box ? 16 : 23;
    const int lineH = L.Height;

    if (Drawing(pass)) {
        const int left = drawLeft, bottom = L.TextBottom();
        const bool hot = P.HitX > left - 2 && P.HitX < left - 2 + objectW && P.HitY > bottom - objectH - 2 && P.HitY < bottom - 2;
        const TColor framePen = themed ? TColor(0xB99D7F) : TColor(0x808080);
        C.Save();
        const TColor fontColor = C.FontColor();
        C.SetPenStyle(TPenStyle::Solid);
        C.SetBrushStyle(TBrushStyle::Solid);
        auto frame = [&]() {
            C.SetPenColor(framePen);
            C.SetBrushColor(clWhite);
            C.Rectangle(left, bottom - lineH + 4, left + W, bottom + 2);
            C.SetBrushColor(clNone);
        };
        auto value = [&](const QString& s, TRect r, unsigned f) {
            C.SetFontColor(fontColor);
            C.DrawText(s, r, f | tfSingleLine | tfNoPrefix);
        };
        if (a.Type == QLatin1String("EDIT") || a.Type == QLatin1String("PASSWORD") || a.Type == QLatin1String("MASK")) {
            frame();
            const QString shown = a.Type == QLatin1String("PASSWORD") ? QString(a.Value.size(), u'*') : a.Value;
            value(shown, TRect{left + 2, bottom - lineH + 4, left + W, bottom}, tfVCenter);
        } else if (a.Type == QLatin1String("COMBO")) {
            frame();
            value(a.Value, TRect{left + 4, bottom - lineH + 4, left + W - 18, bottom}, tfVCenter);
            const TRect button{left + W - 18, bottom - lineH + 5, left + W - 1, bottom + 1};
            if (!Themed(QStringLiteral("combobox"), tpComboDropDown, hot ? thsHot : thsNormal, button)) {
                // The combo button area of the control's frame extended by one pixel.
                DrawThemedComboButton(C, P.ThemeWindow, TRect{left, bottom - lineH + 4, left + W + 1, bottom + 2}, TButtonColors(), bdsNormal,
                                      blkClassic);
            }
        } else if (box) {
            const bool radio = a.Type == QLatin1String("RADIO");
            const bool checked = a.Value.toUpper() == QLatin1String("TRUE");
            const TRect r = radio ? TRect{left + 2, bottom - 14, left + 14, bottom} : TRect{left + 2, bottom - 15, left + 15, bottom};
            if (!Themed(QStringLiteral("button"), radio ? tpButtonRadio : tpButtonCheck, CheckBoxThemeState(thsNormal, checked), r))
                DrawClassicCheck(C, r, radio, checked);
        } else if (a.Type == QLatin1String("BUTTON")) {
            const TRect r{left + 2, bottom - h, left + W - 2, bottom};
            if (!Themed(QStringLiteral("button"), tpButtonPush, P.ButtonDown ? thsPressed : hot ? thsHot : thsNormal, r))
                DrawClassicButtonFrame(C, r, hot && P.ButtonDown, false);
            C.SetBrushColor(clNone);
            value(a.Value, r.Inflated(-2, -2), tfCenter | tfVCenter);
        }
        C.Restore();
    }
    if (a.Type == QLatin1String("BUTTON") || a.Type == QLatin1String("COMBO")) objectH = 25;
    if (box) objectW = objectH = 16;

    // Hit: the control under the point, or the one asked for by ID.
    const int rel = P.HitX - L.Left;
    if (pass == 2 && ((rel > x && rel < x + objectW && P.HitY > L.Top && P.HitY < L.Top + objectH) ||
                      (P.HitTestOnly && !P.HitControlID.isEmpty() && P.HitControlID == a.ID))) {
        L.ControlHit = true;
        R.HitAnchorRef = QStringLiteral("ctrl");
        R.HitControlRect = TRect{L.Left + x, L.Top, L.Left + x + objectW, L.Top + objectH};
        R.HitControlValue = a.Value;
        R.HitControlID = a.ID;
        R.HitControlType = a.Type;
    }
    const int lineWidth = L.Right - L.Left;
    if (pass == 1 && x + objectW > lineWidth && objectW < lineWidth) return TagEffect::LineFull;
    x += objectW;
    drawLeft += objectW;
    drawRight -= objectW;
    L.Height = std::max(L.Height, objectH);
    return TagEffect::Consumed;
}

} // namespace

TMiniHtmlResult RenderMiniHtml(const TMiniHtmlParams& params) { return Renderer(params).Run(); }

// ---------------------------------------------------------------------------
// Colours and drawing helpers

TColor HtmlColorNameToColor(const QString& name)
{
    static const std::pair<const char*, TColor> kPlain[] = {
        {"clred", clRed},       {"clblack", clBlack},   {"clblue", clBlue},   {"clgreen", clGreen},   {"claqua", clAqua},
        {"clyellow", clYellow}, {"clfuchsia", clFuchsia}, {"clwhite", clWhite}, {"cllime", clLime},   {"clsilver", clSilver},
        {"clgray", clGray},     {"clolive", clOlive},   {"clnavy", clNavy},   {"clpurple", clPurple}, {"clteal", clTeal},
        {"clmaroon", clMaroon}};
    static const char* const kSystem[] = {"clbackground",    "clactivecaption",       "clinactivecaption", "clmenu",
                                          "clwindow",        "clwindowframe",         "clmenutext",        "clwindowtext",
                                          "clcaptiontext",   "clactiveborder",        "clinactiveborder",  "clappworkspace",
                                          "clhighlight",     "clhighlighttext",       "clbtnface",         "clbtnshadow",
                                          "clgraytext",      "clbtntext",             "clinactivecaptiontext", "clbtnhighlight",
                                          "cl3ddkshadow",    "cl3dlight",             "clinfotext",        "clinfobk"};
    TColor result = 0;
    for (const auto& [n, c] : kPlain)
        if (name == QLatin1String(n)) result = c;
    if (result == 0)
        for (int i = 0; i < int(std::size(kSystem)); ++i)
            if (name == QLatin1String(kSystem[i])) return SysColor(i + 1);
    return result;
}

TColor HtmlHexToColor(const QString& value)
{
    auto digit = [&](int i) {
        if (i >= value.size()) return 0;
        const ushort c = value[i].unicode();
        return c < u'A' ? int(c) - '0' : int(c) - 'A' + 10;
    };
    auto pair = [&](int i) { return std::clamp(digit(i) * 16 + digit(i + 1), 0, 255); };
    return RGBColor(pair(1), pair(3), pair(5));
}

void SetHtmlHighlightColors(TColor brushColor, TColor fontColor)
{
    g_highlightBrush = brushColor;
    g_highlightFont = fontColor;
}

TColor HtmlHighlightBrushColor() { return g_highlightBrush; }
TColor HtmlHighlightFontColor() { return g_highlightFont; }

unsigned MiniHtmlBiDiFlags(int biDiMode, bool wordWrap)
{
    unsigned f = tfSingleLine | tfBottom | tfNoPrefix;
    if (biDiMode >= 1 && biDiMode <= 3) f |= tfRtlReading;
    if (biDiMode == 1) f |= tfRight; // the start alignment (left) mirrored
    if (!wordWrap) f |= tfEndEllipsis;
    return f;
}

TCanvasFontState SelectRotatedFont(TCanvas& canvas, int angle)
{
    TCanvasFontState before{canvas.Font(), canvas.FontEscapement()};
    canvas.SetFontEscapement(angle * 10);
    return before;
}

QSize DrawSystemIcon(TCanvas& canvas, const QString& path, bool large, int x, int y, bool draw, bool printing, double printScale)
{
    const int size = large ? 32 : 16;
    if (draw) {
        QFileIconProvider provider;
        bool isIndex = false;
        const int index = path.trimmed().toInt(&isIndex);
        const QIcon icon = isIndex ? provider.icon(QAbstractFileIconProvider::IconType(std::clamp(index, 0, 6))) : provider.icon(QFileInfo(path));
        const QImage image = icon.pixmap(size, size).toImage();
        if (!image.isNull()) {
            if (printing)
                StretchBitmapToRect(canvas, TRect{x, y, x + qRound(size * printScale), y + qRound(size * printScale)}, image);
            else
                canvas.Draw(x, y, image);
        }
    }
    return QSize(ScaleToCanvasX(canvas, size), ScaleToCanvasY(canvas, size));
}

void StretchBitmapToRect(TCanvas& canvas, const TRect& r, const QImage& picture) { canvas.StretchDraw(r, picture); }

// ---------------------------------------------------------------------------
// Tag attributes

std::vector<TTagAttribute> TagAttributes(const QString& tag)
{
    std::vector<TTagAttribute> out;
    const int n = int(tag.size());
    int i = 0;
    if (i < n && tag[i] == u'<') ++i;
    if (i < n && tag[i] == u'/') ++i;
    while (i < n && !tag[i].isSpace() && tag[i] != u'>') ++i; // the tag's name
    for (;;) {
        while (i < n && tag[i].isSpace()) ++i;
        if (i >= n || tag[i] == u'>') break;
        const int start = i;
        while (i < n && !tag[i].isSpace() && tag[i] != u'=' && tag[i] != u'>') ++i;
        TTagAttribute a;
        a.Name = tag.mid(start, i - start).toUpper();
        while (i < n && tag[i].isSpace()) ++i;
        if (i < n && tag[i] == u'=') {
            ++i;
            while (i < n && tag[i].isSpace()) ++i;
            if (i < n && tag[i] == u'"') {
                const int close = int(tag.indexOf(u'"', i + 1));
                if (close < 0) {
                    int end = n;
                    if (tag.endsWith(u'>')) --end;
                    a.Value = tag.mid(i + 1, end - i - 1);
                    i = n;
                } else {
                    a.Value = tag.mid(i + 1, close - i - 1);
                    i = close + 1;
                }
            } else {
                // An unquoted value counts as empty.
                while (i < n && !tag[i].isSpace() && tag[i] != u'>') ++i;
            }
        }
        if (i == start) ++i; // a stray character
        if (!a.Name.isEmpty()) out.push_back(a);
    }
    return out;
}

QString TagAttribute(const std::vector<TTagAttribute>& attributes, const QString& name)
{
    for (const TTagAttribute& a : attributes)
        if (a.Name.compare(name, Qt::CaseInsensitive) == 0) return a.Value;
    return {};
}

bool HasTagAttribute(const std::vector<TTagAttribute>& attributes, const QString& name)
{
    return std::any_of(attributes.begin(), attributes.end(), [&](const TTagAttribute& a) { return a.Name.compare(name, Qt::CaseInsensitive) == 0; });
}

// ---------------------------------------------------------------------------
// Inline control tags

namespace {

// A control tag found in a text: where it starts and how long it is.
struct ControlTag {
    int pos = -1;
    int length = 0;
    TControlTagAttributes attrs;
};

// The control tags of a text, in order.
std::vector<ControlTag> ControlTags(const QString& text)
{
    std::vector<ControlTag> tags;
    int from = 0;
    for (;;) {
        const int pos = int(text.indexOf(QLatin1String("<CONTROL "), from, Qt::CaseInsensitive));
        if (pos < 0) break;
        const int gt = int(text.indexOf(u'>', pos));
        const int end = gt < 0 ? int(text.size()) : gt + 1;
        tags.push_back({pos, end - pos, ParseControlTagAttributes(text.mid(pos, end - pos))});
        from = end;
    }
    return tags;
}

std::optional<ControlTag> FindControl(const QString& text, const QString& id)
{
    for (const ControlTag& t : ControlTags(text))
        if (t.attrs.ID == id) return t;
    return std::nullopt;
}

QString Quoted(const QString& s) { return u'"' + s + u'"'; }

// The tag of a control rebuilt with a new value; its other attributes kept.
QString RebuiltTag(const QString& oldTag, const TControlTagAttributes& a, const QString& value)
{
    QString tag = QStringLiteral("<CONTROL ID=") + Quoted(a.ID) + QStringLiteral(" VALUE=") + Quoted(EscapeHtmlChars(value, true)) +
                  QStringLiteral(" WIDTH=") + Quoted(a.Width) + QStringLiteral(" TYPE=") + Quoted(a.Type);
    if (!a.Height.isEmpty()) tag += QStringLiteral(" HEIGHT=") + Quoted(a.Height);
    if (!a.Prop.isEmpty()) tag += QStringLiteral(" PROP=") + Quoted(EscapeHtmlChars(a.Prop, true));
    if (!a.MaxLen.isEmpty()) tag += QStringLiteral(" MAXLEN=") + Quoted(a.MaxLen);
    static const QStringList kKnown = {QStringLiteral("TYPE"),  QStringLiteral("WIDTH"), QStringLiteral("HEIGHT"), QStringLiteral("ID"),
                                       QStringLiteral("VALUE"), QStringLiteral("PROP"),  QStringLiteral("MAXLEN")};
    for (const TTagAttribute& other : TagAttributes(oldTag))
        if (!kKnown.contains(other.Name)) tag += u' ' + other.Name + u'=' + Quoted(other.Value);
    return tag + u'>';
}

} // namespace

TControlTagAttributes ParseControlTagAttributes(const QString& tagText)
{
    const std::vector<TTagAttribute> attrs = TagAttributes(tagText);
    TControlTagAttributes a;
    a.Type = TagAttribute(attrs, QStringLiteral("TYPE")).toUpper();
    a.Width = TagAttribute(attrs, QStringLiteral("WIDTH"));
    a.Height = TagAttribute(attrs, QStringLiteral("HEIGHT"));
    a.ID = TagAttribute(attrs, QStringLiteral("ID"));
    a.Value = UnescapeHtmlChars(TagAttribute(attrs, QStringLiteral("VALUE")), true);
    a.Prop = UnescapeHtmlChars(TagAttribute(attrs, QStringLiteral("PROP")), true);
    a.MaxLen = TagAttribute(attrs, QStringLiteral("MAXLEN"));
    return a;
}

bool HasControlTag(const QString& text) { return text.contains(QLatin1String("<CONTROL"), Qt::CaseInsensitive); }

QString NextEditableControlID(const QString& text, const QString& id)
{
    bool passed = id.isEmpty();
    for (const ControlTag& t : ControlTags(text)) {
        const QString& type = t.attrs.Type;
        const bool editable = type != QLatin1String("BUTTON") && type != QLatin1String("CHECK") && type != QLatin1String("RADIO");
        if (passed && editable) return t.attrs.ID;
        if (!passed && t.attrs.ID == id) passed = true;
    }
    return {};
}

bool GetControlValue(const QString& text, const QString& id, QString& value)
{
    const std::optional<ControlTag> t = FindControl(text, id);
    if (!t) return false;
    value = t->attrs.Value;
    return true;
}

QString GetControlProp(const QString& text, const QString& id)
{
    const std::optional<ControlTag> t = FindControl(text, id);
    return t ? t->attrs.Prop : QString();
}

int GetControlMaxLen(const QString& text, const QString& id)
{
    const std::optional<ControlTag> t = FindControl(text, id);
    return t ? std::max(0, LeadingNumber(t->attrs.MaxLen)) : 0;
}

bool BuildControlTag(QString& text, const QString& id, const QString& value)
{
    const std::optional<ControlTag> t = FindControl(text, id);
    if (!t) return false;
    text.replace(t->pos, t->length, RebuiltTag(text.mid(t->pos, t->length), t->attrs, value));
    return true;
}

QString UncheckRadioControls(const QString& text)
{
    QString out = text;
    const std::vector<ControlTag> tags = ControlTags(text);
    // From the last to the first, so that the earlier positions stay valid.
    for (auto it = tags.rbegin(); it != tags.rend(); ++it)
        if (it->attrs.Type == QLatin1String("RADIO"))
            out.replace(it->pos, it->length, RebuiltTag(text.mid(it->pos, it->length), it->attrs, QStringLiteral("FALSE")));
    return out;
}
