#pragma once
// Colours as the program stores them: 32-bit values 0x00BBGGRR for plain
// colours, 0xFF000000 + n for system colour n, and clNone for "no colour".
// They stay 32-bit values in every model and become QColor only when painted,
// through ColorToQColor.
#include <QColor>
#include <QRect>
#include <QString>
#include <cstdint>

using TColor = int32_t;

constexpr TColor RGBColor(int r, int g, int b) { return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16)); }
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

// System colours: 0xFF000000 + index.
constexpr TColor clSystemColor = TColor(0xFF000000);
constexpr TColor SysColor(int index) { return TColor(0xFF000000u | uint32_t(index)); }
constexpr TColor clScrollBar = SysColor(0);
constexpr TColor clBackground = SysColor(1);
constexpr TColor clActiveCaption = SysColor(2);
constexpr TColor clInactiveCaption = SysColor(3);
constexpr TColor clMenu = SysColor(4);
constexpr TColor clWindow = SysColor(5);
constexpr TColor clWindowFrame = SysColor(6);
constexpr TColor clMenuText = SysColor(7);
constexpr TColor clWindowText = SysColor(8);
constexpr TColor clCaptionText = SysColor(9);
constexpr TColor clActiveBorder = SysColor(10);
constexpr TColor clInactiveBorder = SysColor(11);
constexpr TColor clAppWorkSpace = SysColor(12);
constexpr TColor clHighlight = SysColor(13);
constexpr TColor clHighlightText = SysColor(14);
constexpr TColor clBtnFace = SysColor(15);
constexpr TColor clBtnShadow = SysColor(16);
constexpr TColor clGrayText = SysColor(17);
constexpr TColor clBtnText = SysColor(18);
constexpr TColor clInactiveCaptionText = SysColor(19);
constexpr TColor clBtnHighlight = SysColor(20);
constexpr TColor cl3DDkShadow = SysColor(21);
constexpr TColor cl3DLight = SysColor(22);
constexpr TColor clInfoText = SysColor(23);
constexpr TColor clInfoBk = SysColor(24);
constexpr TColor clHotLight = SysColor(26);
constexpr TColor clGradientActiveCaption = SysColor(27);
constexpr TColor clGradientInactiveCaption = SysColor(28);
constexpr TColor clMenuHighlight = SysColor(29);
constexpr TColor clMenuBar = SysColor(30);

inline bool IsSystemColor(TColor c) { return (uint32_t(c) & 0xFF000000u) == 0xFF000000u; }

// The plain 0x00BBGGRR value of a colour: system colours are looked up in the
// one table of system colours (the classic desktop scheme), clNone and
// clDefault give black.
TColor ColorToRGB(TColor c);

// The one conversion to Qt; clNone gives a transparent colour.
QColor ColorToQColor(TColor c);
// And back (alpha dropped).
TColor QColorToColor(const QColor& c);

// Colour texts, as settings files hold them: the identifier of a named
// colour ("clBlack", "clWindow", "clNone", "clDefault": the basic, extra and
// system colours above), else "$" and eight upper-case hexadecimal digits.
QString ColorToString(TColor c);
// Reads such a text back: an identifier in any letter case, or an integer
// (decimal, or hexadecimal after "$"). Anything else raises EConvertError
// "'text' is not a valid integer value".
TColor StringToColor(const QString& text);
// The same without raising: false when the text is no colour.
bool TryStringToColor(const QString& text, TColor& c);

// A rectangle as the drawing routines take it: it covers the pixels
// Left..Right-1 and Top..Bottom-1 (Right and Bottom lie just outside).
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    constexpr TRect Inflated(int dx, int dy) const { return {Left - dx, Top - dy, Right + dx, Bottom + dy}; }
    constexpr TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    constexpr bool operator==(const TRect&) const = default;
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
};

constexpr TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

// Horizontal alignment of a text.
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// Where a button's glyph stands beside its caption.
enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The border of an edit or picker: none or a single frame.
enum class TBorderStyle { bsNone, bsSingle };
