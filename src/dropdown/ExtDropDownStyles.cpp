#include "dropdown/ExtDropDownStyles.h"

#include <iterator>

namespace {

// The hot, down, disabled and checked colours shared by most styles.
#define KR_SET_A 0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, 0x45667B
// The same for the office 2010 styles.
#define KR_SET_B 0x8AE3FD, clNone, 0x58CAF1, 0x6CD0FF, clNone, 0x308AC2, 0xF2F2F2, 0xB6B6B6, 0x45E1FE, clNone, 0x4FA0CE

constexpr bool Write = true;
constexpr bool Keep = false;

// One entry per style in the order of TStudioStyle; tsCustom's is unused.
const TDropDownStylePreset kPresets[] = {
    // tsOffice2003Blue: the footer's border is darker.
    {0xFFFFFF, clNone, Keep, 0, {0xFCE1CB, 0xE0A57D, 0x000000, 0x000000}, {0xFCE1CB, 0xE0A57D, 0x000000, 0x962D00},
     {0xFCE1CB, 0xE0A57D, clNone, KR_SET_A}},
    // tsOffice2003Silver
    {0xFFFFFF, clNone, Keep, 0, {0xECE2E1, 0xB39698, 0x000000, 0x947C7C}, {0xECE2E1, 0xB39698, 0x000000, 0x947C7C},
     {0xECE2E1, 0xB39698, clNone, KR_SET_A}},
    // tsOffice2003Olive
    {0xFFFFFF, clNone, Write, clNone, {0xCFF0EA, 0x8CC0B1, 0x000000, 0x588060}, {0xCFF0EA, 0x8CC0B1, 0x000000, 0x588060},
     {0xCFF0EA, 0x8CC0B1, clNone, KR_SET_A}},
    // tsOffice2003Classic
    {0xF2F2F2, 0xF2F2F2, Write, clNone, {0x808080, 0x808080, 0xFFFFFF, 0x808080}, {0x808080, 0x808080, 0xFFFFFF, 0x808080},
     {0xFFFFFF, 0xC9D1D5, clNone, 0xD2BDB6, 0xD2BDB6, 0x808080, 0xB59285, 0xB59285, 0x808080, 0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0xD8D5D4,
      0x808080}},
    // tsOffice2007Luna
    {0xF3E5DA, 0xF0DED0, Write, clNone, {0xFFEFE3, 0xFFD2AF, 0x723708, 0xFFD2AF}, {0xFFEFE3, 0xFFD2AF, 0x723708, 0xFFD2AF},
     {0xFFEFE3, 0xFFDDC4, clNone, KR_SET_A}},
    // tsOffice2007Obsidian
    {0xFFFFFF, clNone, Write, clNone, {0xF2F1F0, 0xC9C2BD, 0x433C37, 0x5C534C}, {0xF2F1F0, 0xC9C2BD, 0x433C37, 0x5C534C},
     {0xF2F1F0, 0xC9C2BD, clNone, KR_SET_A}},
    // tsWindowsXP
    {0xFFFFFF, clNone, Keep, 0, {0xFFFFFF, clBtnFace, 0x000000, 0x808080}, {0xFFFFFF, clBtnFace, 0x000000, 0x808080},
     {0xFFFFFF, clBtnFace, clNone, 0xEFD3C6, 0xEFD3C6, clHighlight, clInactiveCaption, clInactiveCaption, clHighlight, 0xB6B6B6, 0xB6B6B6,
      0xB9D8DC, 0xB9D8DC, 0x000000}},
    // tsWhidbey
    {0xF5F9FA, 0xF5F9FA, Write, clNone, {0xEBEEEF, 0x7E9898, 0xFFFFFF, 0x962D00}, {0xEBEEEF, 0x7E9898, 0xFFFFFF, 0x962D00},
     {0xFFFFFF, 0xDFEDF0, clNone, KR_SET_A}},
    // tsCustom: never applied.
    {0, 0, Keep, 0, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    // tsOffice2007Silver
    {0xF8F4F1, 0xF0E8E3, Write, clNone, {0xF8F7F6, 0xE8E0DB, 0x8B4215, 0x74706F}, {0xF8F7F6, 0xE8E0DB, 0x8B4215, 0x74706F},
     {0xF9F8F8, 0xE4E2DF, clNone, KR_SET_A}},
    // tsWindowsVista: the footer's gradient runs the other way.
    {0xFFFFFF, 0xFFFFFF, Write, 0x979797, {0xFFFDF9, 0xFFFAF0, 0x000000, 0xFCF2DA}, {0xFFFAF0, 0xFFFDF9, 0x000000, 0xFCF2DA},
     {0xFFFDF9, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFDF0D7, 0xFEDF9A, 0xFFFFFF, 0xFFFFFF, 0xFEF9F0, 0xFDF0D7,
      0xFEDF9A}},
    // tsWindows7
    {0xFFFFFF, 0xFFFFFF, Write, 0x979797, {0xFDFBFA, 0xFDF3EB, 0x000000, 0xFBD6B8}, {0xFDFBFA, 0xFDF3EB, 0x000000, 0xFBD6B8},
     {0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFCEBDC, 0xFCDBC1, 0xCEA27D, 0xFFFFFF, 0xFFFFFF, 0xFEF9F0, 0xFCDBC1,
      0xCEA27D}},
    // tsTerminal
    {0xFFFFFF, 0xFFFFFF, Write, 0x808080, {clBtnFace, clBtnFace, 0x000000, clNone}, {clBtnFace, clBtnFace, 0x000000, clNone},
     {clBtnFace, clBtnFace, clNone, 0xC0C0C0, 0xC0C0C0, 0x808080, clHighlight, clHighlight, 0x808080, clBtnFace, clBtnFace, clBtnFace,
      clBtnFace, clHighlight}},
    // tsOffice2010Blue
    {0xFFFFFF, 0xF1EFED, Write, 0xEDEDEC, {0xFDF6EF, 0xF0DAC7, 0x5B391E, 0xC7B29F}, {0xFDF6EF, 0xF0DAC7, 0x5B391E, 0xC7B29F},
     {0xFDF6EF, 0xF0DAC7, 0xC7B29F, KR_SET_B}},
    // tsOffice2010Silver
    {0xFFFFFF, 0xF1EFED, Write, 0xEDEDEC, {0xFFFFFF, 0xEDE5E0, 0x5B391E, 0xD2CDC8}, {0xFFFFFF, 0xEDE5E0, 0x5B391E, 0xD2CDC8},
     {0xFFFFFF, 0xEDE5E0, 0xD2CDC8, KR_SET_B}},
    // tsOffice2010Black
    {0xFFFFFF, 0xF1EFED, Write, 0xEDEDEC, {0xBFBFBF, 0x919191, 0xD7D7D6, 0x6D6D6D}, {0xBFBFBF, 0x919191, 0xD7D7D6, 0x6D6D6D},
     {0xBFBFBF, 0x919191, 0xD7D7D6, KR_SET_B}},
};

#undef KR_SET_A
#undef KR_SET_B

const TSelectionBevelColors kOffice2007Bevel{0xC3D9DF, 0x8DD7D3, 0xCAF8FF, 0xF4FEFF, 0xB3F1FC, 0x58D4FC};
const TSelectionBevelColors kVistaBevel{0xFCEDCB, 0xFDDE99, 0xFDF5E7, 0xFDFBF6, clNone, clNone};
const TSelectionBevelColors kWindows7Bevel{0xE0C5AE, 0xCEA27D, 0xFDEADB, 0xFDF4EB, clNone, clNone};

template <class TAppearance>
void ApplyStrip(TAppearance& a, const TDropDownStripColors& c)
{
    a.SetColor(c.Color);
    a.SetColorTo(c.ColorTo);
    a.SetFontColor(c.FontColor);
    a.SetBorderColor(c.BorderColor);
}

} // namespace

const TDropDownStylePreset* DropDownStylePreset(TStudioStyle style)
{
    const int i = int(style);
    if (style == tsCustom || i < 0 || i >= int(std::size(kPresets))) return nullptr;
    return &kPresets[i];
}

void ApplyStripColors(THeaderAppearance& header, TFooterAppearance& footer, const TDropDownStylePreset& preset)
{
    ApplyStrip(header, preset.Header);
    ApplyStrip(footer, preset.Footer);
}

void ApplyButtonColors(TExtButtonAppearance& b, const TDropDownButtonColors& c)
{
    b.SetColor(c.Color);
    b.SetColorTo(c.ColorTo);
    b.SetBorderColor(c.BorderColor);
    b.SetColorHot(c.ColorHot);
    b.SetColorHotTo(c.ColorHotTo);
    b.SetBorderColorHot(c.BorderColorHot);
    b.SetColorDown(c.ColorDown);
    b.SetColorDownTo(c.ColorDownTo);
    b.SetBorderColorDown(c.BorderColorDown);
    b.SetColorDisabled(c.ColorDisabled);
    b.SetColorDisabledTo(c.ColorDisabledTo);
    b.SetColorChecked(c.ColorChecked);
    b.SetColorCheckedTo(c.ColorCheckedTo);
    b.SetBorderColorChecked(c.BorderColorChecked);
}

bool SelectionColorsOf(TSelectionColorStyle style, TColor& color, TColor& colorTo)
{
    switch (style) {
    case TSelectionColorStyle::scOffice2007: color = 0xD7FFFD, colorTo = 0x58D4FC; return true;
    case TSelectionColorStyle::scWindowsVista: color = 0xFDF8F1, colorTo = 0xFCEFD5; return true;
    case TSelectionColorStyle::scWindows7: color = 0xFCEBDC, colorTo = 0xFCDBC1; return true;
    case TSelectionColorStyle::scCustom: break;
    }
    return false;
}

const TSelectionBevelColors* SelectionBevelColors(TSelectionColorStyle style)
{
    switch (style) {
    case TSelectionColorStyle::scOffice2007: return &kOffice2007Bevel;
    case TSelectionColorStyle::scWindowsVista: return &kVistaBevel;
    case TSelectionColorStyle::scWindows7: return &kWindows7Bevel;
    case TSelectionColorStyle::scCustom: break;
    }
    return nullptr;
}
