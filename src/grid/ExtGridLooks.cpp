// Looks, named colour styles, colour schemes and colour tones of the string
// grid: each writes a set of colour properties and leaves the others.
#include "controls/ExtUtilDraw.h"
#include "controls/ExtXPVS.h"
#include "grid/ExtGrid.h"

#include <cmath>

using enum TGridLook;
using enum TExtGridStyle;

void LookToIdent(TGridLook look, QString& ident)
{
    static const char* const names[] = {"glStandard", "glSoft",  "glClassic", "glStudio",     "glXP",
                                        "glListView", "glVista", "glWin7",    "glOffice2007"};
    if (look != glCustom) ident = QString::fromLatin1(names[int(look)]);
}

void LookToCaption(TGridLook look, QString& caption)
{
    static const char* const names[] = {"Standard", "Soft",          "Classic",   "Studio",    "Windows XP",
                                        "ListView", "Windows Vista", "Windows 7", "Office2007"};
    if (look != glCustom) caption = QString::fromLatin1(names[int(look)]);
}

TColor MixColors(TColor selection, TColor other, int percent)
{
    if (percent >= 100) return selection;
    if (percent < 1 || selection == clNone) return other;
    if (other == clNone) return selection;
    const TColor s = ColorToRGB(selection), o = ColorToRGB(other);
    const double p = percent / 100.0;
    auto channel = [&](int shift) {
        const double v = p * ((s >> shift) & 0xFF) + (1 - p) * ((o >> shift) & 0xFF);
        // Halves go to the even neighbour.
        return std::min(255, int(std::nearbyint(v))) << shift;
    };
    return TColor(channel(0) | channel(8) | channel(16));
}

void TExtStringGrid::SetLook(TGridLook v)
{
    if (v == FLook) return;
    FLook = v;
    TControlLook& cl = *FControlLook;
    if (v != glCustom) {
        cl.SetFixedGradientFrom(clNone);
        cl.SetFixedGradientTo(clNone);
        cl.SetFixedGradientMirrorFrom(clNone);
        cl.SetFixedGradientMirrorTo(clNone);
        FStudioGradFrom = FStudioGradTo = FStudioGradMirrorFrom = FStudioGradMirrorTo = clNone;
        FSortSettings->SetHeaderColor(clNone);
    }
    switch (v) {
    case glVista:
        SetStyle(gsWindowsVista);
        SetSelectionStyle(TGridSelectionStyle::ssVista);
        break;
    case glWin7:
        SetStyle(gsWindows7);
        SetSelectionStyle(TGridSelectionStyle::ssWin7);
        break;
    case glOffice2007:
        SetStyle(gsOffice2007Luna);
        SetSelectionStyle(TGridSelectionStyle::ssOffice2007);
        break;
    case glCustom: break;
    default:
        SetSelectionStyle(TGridSelectionStyle::ssDefault);
        if (FLoading) break;
        if (v == glStandard || v == glSoft || v == glClassic) {
            FixedColor = clBtnFace;
            cl.SetFixedGradientFrom(clBtnFace);
            cl.SetFixedGradientTo(clNone);
        } else {
            cl.SetFixedGradientFrom(clWhite);
            cl.SetFixedGradientTo(clBtnFace);
        }
        SetGridFixedLineColor(clGray);
        cl.SetFixedGradientMirrorFrom(clNone);
        cl.SetFixedGradientMirrorTo(clNone);
        SetStudioGradientMirrorFrom(clNone);
        SetStudioGradientMirrorTo(clNone);
        SetGridLineColor(clSilver);
        if (v == glStudio || v == glXP) {
            FActiveCellColor = 0xEACAB6;
            FActiveCellColorTo = clNone;
            FSelectionColor = 0xEACAB6;
            FSelectionColorTo = clNone;
            FSelectionTextColor = clBlack;
            FSearchFooter->SetColor(FStudioGradFrom);
            FSearchFooter->SetColorTo(FStudioGradTo);
            cl.SetFixedGradientFrom(clWhite);
            cl.SetFixedGradientTo(v == glXP ? clBtnFace : clSilver);
            cl.SetFixedGradientHoverFrom(0xCFD0D1);
            cl.SetFixedGradientHoverTo(0xBEC6C8);
            cl.SetFixedGradientHoverMirrorFrom(0xBEC6C8);
            cl.SetFixedGradientHoverMirrorTo(0xABBCBF);
            cl.SetFixedGradientDownFrom(0x868788);
            cl.SetFixedGradientDownTo(0x737C7E);
            cl.SetFixedGradientDownMirrorFrom(0x737C7E);
            cl.SetFixedGradientDownMirrorTo(0x627376);
        } else {
            FActiveCellColor = clGray;
            FActiveCellColorTo = clNone;
            FSelectionColor = clHighlight;
            FSelectionTextColor = clHighlightText;
            FSearchFooter->SetColor(clBtnFace);
            FSearchFooter->SetColorTo(clBtnFace);
        }
        break;
    }
    SetScrollType(TScrollType::ssNormal);
    FBorderColor = 0xB99D7F;
    Invalidate();
    if (!FLoading) UpdateFooter();
}

namespace {

struct TStyleColors {
    TColor From, To, MirrorFrom, MirrorTo;
};

} // namespace

void TExtStringGrid::SetStyle(TExtGridStyle style)
{
    TControlLook& cl = *FControlLook;
    FSelectionColor = clHighlight;
    FSelectionColorTo = clNone;
    FSelectionTextColor = clHighlightText;
    SetSelectionStyle(TGridSelectionStyle::ssDefault);
    TSortSettings& ss = *FSortSettings;
    auto sortHeader = [&ss](TColor a, TColor b, TColor c, TColor d) {
        ss.SetHeaderColor(a);
        ss.SetHeaderColorTo(b);
        ss.SetHeaderMirrorColor(c);
        ss.SetHeaderMirrorColorTo(d);
    };
    sortHeader(clNone, clNone, clNone, clNone);
    cl.Init();
    auto grad = [this](TColor from, TColor to, TColor mirrorFrom = clNone, TColor mirrorTo = clNone) {
        SetStudioGradientFrom(from);
        SetStudioGradientTo(to);
        SetStudioGradientMirrorFrom(mirrorFrom);
        SetStudioGradientMirrorTo(mirrorTo);
    };
    auto active = [this](TColor from, TColor to) {
        FActiveCellColor = from;
        FActiveCellColorTo = to;
    };
    auto sel = [this](TColor c) {
        FSelectionColor = c;
        FSelectionColorTo = clNone;
        FSelectionTextColor = clBlack;
    };
    auto lines = [this](TColor l, TColor f) {
        SetGridLineColor(l);
        SetGridFixedLineColor(f);
    };
    auto footer = [this](TColor from, TColor to) {
        FSearchFooter->SetColor(from);
        FSearchFooter->SetColorTo(to);
    };
    auto hover = [&cl](TColor a, TColor b, TColor c, TColor d, TColor border) {
        cl.SetFixedGradientHoverFrom(a);
        cl.SetFixedGradientHoverTo(b);
        cl.SetFixedGradientHoverMirrorFrom(c);
        cl.SetFixedGradientHoverMirrorTo(d);
        cl.SetFixedGradientHoverBorder(border);
    };
    auto down = [&cl](TColor a, TColor b, TColor c, TColor d, TColor border) {
        cl.SetFixedGradientDownFrom(a);
        cl.SetFixedGradientDownTo(b);
        cl.SetFixedGradientDownMirrorFrom(c);
        cl.SetFixedGradientDownMirrorTo(d);
        cl.SetFixedGradientDownBorder(border);
    };
    auto office2003 = [&](TColor from, TColor to) {
        SetLook(glXP);
        grad(from, to);
        active(0x94E6FB, 0x1595EE);
        FSelectionColor = 0x94E6FB;
        FSelectionColorTo = 0x1595EE;
        FSelectionTextColor = clBlack;
        lines(0xC0C0C0, 0x808080);
        footer(from, clNone);
        cl.SetFixedGradientFrom(from);
        cl.SetFixedGradientTo(to);
    };
    auto office2010 = [&](TColor face, TColor fixedLine, TColor sortColor) {
        SetLook(glOffice2007);
        grad(face, face, face, face);
        active(0x5BD5FF, 0x71EFFF);
        sel(0xFFDBB7);
        lines(0xC0C0C0, fixedLine);
        footer(face, face);
        hover(0x6BDFFF, 0xAFEFFF, 0xAFEFFF, 0xE6FCFF, 0x3ABFE8);
        down(0x5BD5FF, 0x64E0FF, 0x64E0FF, 0x71EFFF, 0x308AC2);
        sortHeader(sortColor, sortColor, sortColor, sortColor);
    };
    switch (style) {
    case gsOffice2003Blue: office2003(0xFCE1CB, 0xE0A57D); break;
    case gsOffice2003Silver: office2003(0xECE2E1, 0xB39698); break;
    case gsOffice2003Olive: office2003(0xCFF0EA, 0x8CC0B1); break;
    case gsOffice2003Classic:
        SetLook(glXP);
        grad(clWhite, 0xCCD4D8);
        active(0xD8D5D4, 0xD8D5D4);
        lines(0xC0C0C0, 0x808080);
        footer(clWhite, clNone);
        break;
    case gsOffice2007Luna:
        SetLook(glOffice2007);
        grad(0xFBF9F6, 0xE8DBD2);
        active(0x9DD8F9, 0x5EC1F1);
        sel(0x5EC1F1);
        lines(0xF1EDEB, 0xD1BBA4);
        footer(0xFBF9F6, clNone);
        hover(0xE4E2DF, 0xDBD3CD, 0xDBD3CD, 0xD2C5BC, 0xB79F87);
        down(0xE4C19D, 0xE4C19D, 0xE4C19D, 0xE4C19D, 0xE4C19D);
        SetSelectionStyle(TGridSelectionStyle::ssOffice2007);
        break;
    case gsOffice2007Obsidian:
        SetLook(glOffice2007);
        grad(0xF7F7F7, 0xDEDEDE);
        active(0x9DD8F9, 0x5EC1F1);
        sel(0x5EC1F1);
        lines(0xE5D7D0, 0x808080);
        footer(0xF7F7F7, clNone);
        break;
    case gsWindowsXP:
        SetLook(glXP);
        grad(clBtnFace, clBtnFace);
        active(clBtnFace, clBtnFace);
        lines(0xC0C0C0, 0x808080);
        footer(clBtnFace, clNone);
        break;
    case gsWhidbey:
        grad(clWhite, clBtnFace);
        active(0x94E6FB, 0x1595EE);
        lines(0xC0C0C0, 0x808080);
        footer(clWhite, clNone);
        break;
    case gsCustom: break;
    case gsOffice2007Silver:
        SetLook(glOffice2007);
        SetStudioGradientFrom(0xF3F3F1);
        SetStudioGradientTo(0xCAC9C8);
        active(0x99CCFF, 0x699CFF);
        sel(0x95C7F5);
        lines(0xE5D7D0, 0x808080);
        footer(0xF3F3F1, FStudioGradMirrorTo);
        break;
    case gsWindowsVista:
        SetLook(glVista);
        grad(clWhite, clWhite, 0xFAF8F7, 0xF4F2F1);
        active(0xFDF8F1, 0xFCEFD5);
        sel(0xEACAB6);
        lines(0xECECF0, 0xD4D2D1);
        footer(clWhite, 0xF4F2F1);
        hover(0xFFF7E3, 0xFFF7E3, 0xFFEDBD, 0xFBE7B7, 0xE3C993);
        down(0xF9E4BC, 0xF9E4BC, 0xF7D68D, 0xF5D18A, 0xAE904F);
        sortHeader(0xFCF9F2, 0xFCF9F2, 0xF9F1E1, 0xF6ECD8);
        SetSelectionStyle(TGridSelectionStyle::ssVista);
        break;
    case gsWindows7:
        SetLook(glWin7);
        grad(0xFDFCFA, 0xFAF0E6, 0xF4E6DC, 0xF7E9DD);
        active(0xFCEBDC, 0xFCDBC1);
        sel(0xEACAB6);
        lines(0xECECF0, 0xD4D2D1);
        footer(0xFDFCFA, 0xF7E9DD);
        hover(0xFEFBF8, 0xFAF2ED, 0xF4E4D7, 0xE8D2C1, 0xEEE8E3);
        down(0xF1E8DD, 0xF1E4D8, 0xECDBCF, 0xEDDCCF, 0xD5BCAA);
        sortHeader(0xFCF9F2, 0xFCF9F2, 0xF9F1E1, 0xF6ECD8);
        SetSelectionStyle(TGridSelectionStyle::ssWin7);
        break;
    case gsTerminal: SetLook(glStandard); break;
    case gsOffice2010Blue: office2010(0xF5E7DA, 0xC7B0A0, 0xD6CEC7); break;
    case gsOffice2010Silver: office2010(0xE8E3DF, 0xBAB5B1, 0xAAAAAA); break;
    case gsOffice2010Black: office2010(0x6A6A6A, 0x444444, 0xBABABA); break;
    }
    Invalidate();
}

void TExtStringGrid::SetComponentStyle(TStudioStyle style)
{
    FComponentStyle = style;
    SetStyle(TExtGridStyle(int(style)));
    if (style != tsCustom && ScrollType() == TScrollType::ssMetro) SetScrollType(TScrollType::ssNormal);
}

void TExtStringGrid::SetTheme(TXPColorScheme scheme)
{
    using enum TXPColorScheme;
    TColor from = clWhite, to = clBtnFace, mirrorFrom = clNone, mirrorTo = clNone;
    TColor footerFrom, footerTo;
    switch (scheme) {
    case xpNone:
        FActiveCellColor = clWhite;
        FActiveCellColorTo = 0xFFD9B3;
        FControlLook->SetFixedGradientFrom(clNone);
        FControlLook->SetFixedGradientTo(clNone);
        FStudioGradFrom = clWhite;
        FStudioGradTo = ColorToRGB(clBtnFace);
        FStudioGradMirrorFrom = FStudioGradMirrorTo = clNone;
        FSearchFooter->SetColor(clWhite);
        FSearchFooter->SetColorTo(0xFFD9B3);
        return;
    case xpBlue: from = 0xFCE1CB, to = 0xE0A57D; break;
    case xpGreen: from = 0xCFF0EA, to = 0x8CC0B1; break;
    case xpGray: from = 0xECE2E1, to = 0xB39698; break;
    case vistaAero: from = to = clWhite, mirrorFrom = 0xFAF8F7, mirrorTo = 0xF4F2F1; break;
    }
    FStudioGradFrom = from;
    FStudioGradTo = to;
    FStudioGradMirrorFrom = mirrorFrom;
    FStudioGradMirrorTo = mirrorTo;
    FActiveCellColor = 0x94E6FB;
    FActiveCellColorTo = 0x1595EE;
    FControlLook->SetFixedGradientFrom(from);
    FControlLook->SetFixedGradientTo(to);
    if (scheme == vistaAero) footerFrom = 0xECE2E1, footerTo = 0xB39698;
    else footerFrom = from, footerTo = to;
    FSearchFooter->SetColor(footerFrom);
    FSearchFooter->SetColorTo(footerTo);
}

void TExtStringGrid::SetColorTones(const TColorTones& tones)
{
    FTones = tones;
    SetLook(glClassic);
    SetFlat(true);
    SetScrollType(TScrollType::ssMetro);
    FixedColor = tones.Foreground.BrushColor;
    FFixedFont.Color = tones.Foreground.TextColor;
    const QString ui = DefaultUIFontName();
    FFixedFont.Font.setFamily(ui);
    Font.setFamily(ui);
    Color = tones.Background.BrushColor;
    FontColor = tones.Background.TextColor;
    FSelectionColor = tones.Selected.BrushColor;
    FSelectionTextColor = tones.Selected.TextColor;
    FSelectionColorTo = clNone;
    SetGridLineColor(0xE6E6E6);
    SetGridFixedLineColor(ScaleColorPercent(tones.Foreground.BrushColor, -20));
    TControlLook& cl = *FControlLook;
    cl.SetControlStyle(TControlStyle::csGlyph);
    cl.SetCheckedGlyph(QImage(QStringLiteral(":/metrocheckon")));
    cl.SetUnCheckedGlyph(QImage(QStringLiteral(":/metrocheckoff")));
    cl.SetRadioOffGlyph(QImage(QStringLiteral(":/metroradiooff")));
    cl.SetRadioOnGlyph(QImage(QStringLiteral(":/metroradioon")));
    cl.SetFlatButton(true);
    FFloatingFooter->SetColor(tones.Foreground.BrushColor);
    FSearchFooter->SetColor(tones.Foreground.BrushColor);
    FSearchFooter->SetColorTo(tones.Foreground.BrushColor);
    FCellNode->SetNodeType(TNodeType::cnFlat);
    Invalidate();
}

void TExtStringGrid::UpdateOfficeTheme(TOfficeTheme current)
{
    if (FDesigning || current == FOldOfficeTheme) return;
    static const TStudioStyle styles[] = {tsOffice2003Blue,    tsOffice2003Silver, tsOffice2003Olive,
                                          tsOffice2003Classic, tsOffice2007Luna,   tsOffice2007Silver,
                                          tsOffice2007Obsidian, tsOffice2010Blue,  tsOffice2010Silver,
                                          tsOffice2010Black};
    if (current != otUnknown) SetComponentStyle(styles[int(current)]);
    FOldOfficeTheme = current;
}
