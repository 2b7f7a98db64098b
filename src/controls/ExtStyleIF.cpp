#include "controls/ExtStyleIF.h"

#include "controls/ExtXPVS.h"

int XPThemeSchemeFromName(const QString& colorName)
{
    if (colorName.contains(QLatin1String("NormalColor"))) return 1;
    if (colorName.contains(QLatin1String("HomeStead"))) return 2;
    if (colorName.contains(QLatin1String("Metallic"))) return 3;
    return 0;
}

TOfficeTheme OfficeThemeFromValues(int theme2010, int theme2007, int xpScheme)
{
    if (theme2010 != -1) {
        switch (theme2010) {
        case 1: return ot2010Blue;
        case 2: return ot2010Silver;
        case 3: return ot2010Black;
        default: return ot2003Blue;
        }
    }
    if (theme2007 != -1) {
        switch (theme2007) {
        case 1: return ot2007Blue;
        case 2: return ot2007Silver;
        case 3: return ot2007Black;
        default: return ot2003Blue;
        }
    }
    switch (xpScheme) {
    case 0: return ot2003Classic;
    case 2: return ot2003Olive;
    case 3: return ot2003Silver;
    default: return ot2003Blue;
    }
}

int CurrentXPThemeScheme()
{
    if (!IsWinXPOrLater() || !IsComCtl6()) return 0;
    if (!BindThemeLibrary() || !IsThemeActive()) return 0;
    return XPThemeSchemeFromName(GetCurrentThemeColorName());
}

TOfficeTheme GetCurrentOfficeTheme() { return OfficeThemeFromValues(-1, -1, CurrentXPThemeScheme()); }
