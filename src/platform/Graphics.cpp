#include "platform/Graphics.h"

#include "platform/Exception.h"
#include "platform/SysUtils.h"

namespace {
// The classic desktop scheme, 0x00BBGGRR, indexed by system colour number.
const TColor kSystemColors[] = {
    0xC8C8C8, // 0 scroll bar
    0x000000, // 1 background
    0x6A240A, // 2 active caption
    0x808080, // 3 inactive caption
    0xC8D0D4, // 4 menu
    0xFFFFFF, // 5 window
    0x000000, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0xFFFFFF, // 9 caption text
    0xC8D0D4, // 10 active border
    0xC8D0D4, // 11 inactive border
    0x808080, // 12 app workspace
    0x6A240A, // 13 highlight
    0xFFFFFF, // 14 highlight text
    0xC8D0D4, // 15 button face
    0x808080, // 16 button shadow
    0x808080, // 17 gray text
    0x000000, // 18 button text
    0xC8D0D4, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x404040, // 21 3D dark shadow
    0xC8D0D4, // 22 3D light
    0x000000, // 23 info text
    0xE1FFFF, // 24 info background
    0xB5B5B5, // 25 (unused)
    0x800000, // 26 hot light
    0xF0CAA6, // 27 gradient active caption
    0xC0C0C0, // 28 gradient inactive caption
    0x6A240A, // 29 menu highlight
    0xC8D0D4, // 30 menu bar
};
} // namespace

TColor ColorToRGB(TColor c)
{
    if (c == clNone || c == clDefault) return clBlack;
    if (IsSystemColor(c)) {
        const uint32_t idx = uint32_t(c) & 0xFF;
        if (idx < sizeof(kSystemColors) / sizeof(kSystemColors[0])) return kSystemColors[idx];
        return clBlack;
    }
    return c & 0x00FFFFFF;
}

QColor ColorToQColor(TColor c)
{
    if (c == clNone) return QColor(0, 0, 0, 0);
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor QColorToColor(const QColor& c) { return RGBColor(c.red(), c.green(), c.blue()); }

// ---------------------------------------------------------------------------
// Colour texts

namespace {
struct TColorName {
    TColor Value;
    const char* Name;
};
const TColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};
} // namespace

QString ColorToString(TColor c)
{
    for (const TColorName& n : kColorNames)
        if (n.Value == c) return QString::fromLatin1(n.Name);
    return QLatin1Char('$') + IntToHex(uint32_t(c), 8);
}

bool TryStringToColor(const QString& text, TColor& c)
{
    for (const TColorName& n : kColorNames)
        if (text.compare(QLatin1String(n.Name), Qt::CaseInsensitive) == 0) {
            c = n.Value;
            return true;
        }
    const auto v = TryStrToInt(text);
    if (!v) return false;
    c = *v;
    return true;
}

TColor StringToColor(const QString& text)
{
    TColor c = clNone;
    if (!TryStringToColor(text, c)) throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return c;
}
