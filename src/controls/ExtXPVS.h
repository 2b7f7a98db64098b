#pragma once
// Theme binding: the controls draw their push, combo and spin buttons, check
// boxes and radio buttons with the desktop's visual style when one is in use,
// and in their own classic look otherwise.
//
// The visual style is the application's QStyle. Whether visual styles count
// as active is a process-wide switch (on by default); tests and desktops that
// want the classic look turn it off. A control asks so:
//
//     if (TThemeData* t = OpenThemeData(widget, "button")) {
//         DrawThemeBackground(t, canvas, tpButtonPush, thsHot, r);
//         CloseThemeData(t);
//     } else { ...classic drawing... }
#include "platform/Canvas.h"

#include <QString>

class QWidget;

// Binds the visual styles once; true while bound (an application with a
// style exists). FreeThemeLibrary unbinds.
bool BindThemeLibrary();
void FreeThemeLibrary();
bool ThemeLibraryBound();

// The switch "visual styles active".
bool IsThemeActive();
void SetVisualStylesActive(bool active);

// The name of the style in use, and its colour-scheme part.
QString GetCurrentThemeName();
QString GetCurrentThemeColorName();

// Platform-version flags that pick drawing paths and fonts; all true unless
// set otherwise (once at start or by a test).
bool IsWinXPOrLater();
bool IsVistaOrLater();
bool IsComCtl6();
void SetPlatformVersionFlags(bool winXPOrLater, bool vistaOrLater, bool comCtl6);
// "Segoe UI" when IsVistaOrLater, else "Tahoma".
QString DefaultUIFontName();

// Theme classes and their parts.
enum TThemePart {
    tpButtonPush = 1,  // class "button"
    tpButtonRadio = 2, // class "button"
    tpButtonCheck = 3, // class "button"
    tpComboDropDown = 1, // class "combobox"
    tpSpinUp = 1,      // class "spin"
    tpSpinDown = 2,    // class "spin"
    tpSpinUpHorz = 3,  // class "spin": the right-pointing button of a horizontal pair
    tpSpinDownHorz = 4, // class "spin": the left-pointing button
};
// Part states: push buttons, combo and spin buttons use 1..4 (5 a default
// push button); radio and check boxes add 4 for checked and 8 for mixed.
enum TThemeState { thsNormal = 1, thsHot = 2, thsPressed = 3, thsDisabled = 4, thsDefaulted = 5 };
constexpr int CheckBoxThemeState(int state, bool checked, bool mixed = false)
{
    return state + (mixed ? 8 : checked ? 4 : 0);
}

struct TThemeData;
// Opens the theme class ("button", "combobox" or "spin") for drawing on
// behalf of `widget` (may be null); null when visual styles are not in use
// or the class is unknown.
TThemeData* OpenThemeData(QWidget* widget, const QString& classList);
void CloseThemeData(TThemeData* theme);
// Draws a part in a state into r; false when the part is unknown.
bool DrawThemeBackground(TThemeData* theme, TCanvas& canvas, int part, int state, const TRect& r);
