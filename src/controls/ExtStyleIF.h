#pragma once
// The style vocabulary the grid family and the drop-down controls share: the
// named looks a control can take, the office colour themes, and sets of
// colour tones.
//
// The office colour theme is found from the values the office suite and the
// desktop give; there is no registry here, so the lookup is a pure function
// of those values, and the watcher that followed changes of the theme does
// not exist.
#include "platform/Graphics.h"

#include <QString>

enum TStudioStyle {
    tsOffice2003Blue,
    tsOffice2003Silver,
    tsOffice2003Olive,
    tsOffice2003Classic,
    tsOffice2007Luna,
    tsOffice2007Obsidian,
    tsWindowsXP,
    tsWhidbey,
    tsCustom,
    tsOffice2007Silver,
    tsWindowsVista,
    tsWindows7,
    tsTerminal,
    tsOffice2010Blue,
    tsOffice2010Silver,
    tsOffice2010Black
};

enum TOfficeTheme {
    ot2003Blue,
    ot2003Silver,
    ot2003Olive,
    ot2003Classic,
    ot2007Blue,
    ot2007Silver,
    ot2007Black,
    ot2010Blue,
    ot2010Silver,
    ot2010Black,
    otUnknown
};

struct TColorTone {
    TColor BrushColor = clNone;
    TColor BorderColor = clNone;
    TColor TextColor = clNone;
    bool operator==(const TColorTone&) const = default;
};

struct TColorTones {
    TColorTone Background;
    TColorTone Foreground;
    TColorTone Selected;
    TColorTone Hover;
    TColorTone Disabled;
    bool operator==(const TColorTones&) const = default;
};

// A control that can take one of the named looks.
class IStudioStyle {
public:
    virtual ~IStudioStyle() = default;
    virtual void SetComponentStyle(TStudioStyle style) = 0;
};

// A control that can take a set of colour tones.
class IStudioTones {
public:
    virtual ~IStudioTones() = default;
    virtual void SetColorTones(const TColorTones& tones) = 0;
};

// The desktop colour scheme from the colour part of a visual-style name:
// 1 "NormalColor", 2 "HomeStead", 3 "Metallic", 0 any other.
int XPThemeSchemeFromName(const QString& colorName);

// The office theme from the "Theme" values of the 2010 and the 2007 office
// settings (-1 where a setting is missing) and the desktop colour scheme
// (0 classic, 1 normal, 2 homestead, 3 metallic):
// 2010 1/2/3 -> ot2010Blue/Silver/Black; else, when the 2010 value is
// missing, 2007 1/2/3 -> ot2007Blue/Silver/Black; when both are missing the
// scheme: 0 -> ot2003Classic, 2 -> ot2003Olive, 3 -> ot2003Silver;
// every other case ot2003Blue.
TOfficeTheme OfficeThemeFromValues(int theme2010, int theme2007, int xpScheme);

// The current desktop colour scheme (see XPThemeSchemeFromName): 0 unless
// visual styles are active.
int CurrentXPThemeScheme();

// The office theme of this desktop. No office settings exist here, so it
// follows the desktop colour scheme alone.
TOfficeTheme GetCurrentOfficeTheme();
