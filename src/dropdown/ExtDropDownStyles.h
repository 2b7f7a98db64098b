#pragma once
// The colour presets of the drop-down controls as data: what each named
// component style writes into the pop-up background, the header and footer
// strips and the strip buttons, and the selection colours of the list
// editors with the bevelled face they are drawn in.
#include "controls/ExtDropDownAppearance.h"
#include "controls/ExtStyleIF.h"
#include "platform/Graphics.h"

enum class TSelectionColorStyle { scCustom, scOffice2007, scWindowsVista, scWindows7 };

// Where an item's or a key's caption stands beside its box or picture
// (item selector, calculator keypad).
enum class TItemLayout { ilCaptionLeft, ilCaptionRight, ilCaptionTop, ilCaptionBottom };

// What a style writes into one strip appearance.
struct TDropDownStripColors {
    TColor Color;
    TColor ColorTo;
    TColor FontColor;
    TColor BorderColor;
    bool operator==(const TDropDownStripColors&) const = default;
};

// The strip button colours a style writes, in the order the button
// appearance lists them.
struct TDropDownButtonColors {
    TColor Color, ColorTo, BorderColor;
    TColor ColorHot, ColorHotTo, BorderColorHot;
    TColor ColorDown, ColorDownTo, BorderColorDown;
    TColor ColorDisabled, ColorDisabledTo;
    TColor ColorChecked, ColorCheckedTo, BorderColorChecked;
    bool operator==(const TDropDownButtonColors&) const = default;
};

struct TDropDownStylePreset {
    TColor DropDownColor;
    TColor DropDownColorTo;
    bool WritesBorderColor; // false: the pop-up's border colour is kept
    TColor DropDownBorderColor;
    TDropDownStripColors Header;
    TDropDownStripColors Footer;
    TDropDownButtonColors Buttons;
};

// The preset of a style; null for tsCustom (and any value outside the list),
// which changes no colour.
const TDropDownStylePreset* DropDownStylePreset(TStudioStyle style);

// Writes a preset into the strip appearances and the button appearance.
void ApplyStripColors(THeaderAppearance& header, TFooterAppearance& footer, const TDropDownStylePreset& preset);
void ApplyButtonColors(TExtButtonAppearance& buttons, const TDropDownButtonColors& colors);

// The selection colours of a selection style; false for scCustom, which
// keeps the colours it has.
bool SelectionColorsOf(TSelectionColorStyle style, TColor& color, TColor& colorTo);

// The colours of the bevelled selection face besides its two face colours.
struct TSelectionBevelColors {
    TColor Edge, Border, BottomInner, TopInner, MirrorFrom, MirrorTo;
    bool operator==(const TSelectionBevelColors&) const = default;
};
// Null for scCustom, which fills flat.
const TSelectionBevelColors* SelectionBevelColors(TSelectionColorStyle style);
