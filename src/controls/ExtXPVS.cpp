#include "controls/ExtXPVS.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

struct TThemeData {
    QString cls;
    QWidget* widget = nullptr;
};

namespace {
bool g_bound = false;
bool g_active = true;
bool g_xp = true, g_vista = true, g_comctl6 = true;

QStyle* Style(const QWidget* w) { return w ? w->style() : QApplication::style(); }

void SetStateFlags(QStyleOption& opt, int state)
{
    opt.state = QStyle::State_None;
    if (state != thsDisabled) opt.state |= QStyle::State_Enabled;
    if (state == thsHot) opt.state |= QStyle::State_MouseOver;
    if (state == thsPressed) opt.state |= QStyle::State_Sunken;
    else opt.state |= QStyle::State_Raised;
}

QPalette Palette(const TThemeData& theme) { return theme.widget ? theme.widget->palette() : QApplication::palette(); }

// A command-button face with an arrow on it, `inset` pixels in from its edges:
// the drop-down button of a combo box and the buttons of a spin box.
void DrawArrowButton(QStyle& style, QPainter& p, const TThemeData& theme, const TRect& r, int state, int inset,
                     QStyle::PrimitiveElement arrowKind)
{
    QStyleOptionButton opt;
    opt.rect = r.ToQRect();
    opt.palette = Palette(theme);
    SetStateFlags(opt, state);
    style.drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, theme.widget);
    QStyleOption arrow;
    arrow.rect = r.ToQRect().adjusted(inset, inset, -inset, -inset);
    arrow.state = opt.state;
    arrow.palette = QApplication::palette();
    style.drawPrimitive(arrowKind, &arrow, &p, theme.widget);
}
} // namespace

bool BindThemeLibrary()
{
    if (!g_bound) g_bound = QApplication::instance() != nullptr && QApplication::style() != nullptr;
    return g_bound;
}

void FreeThemeLibrary() { g_bound = false; }

bool ThemeLibraryBound() { return g_bound; }

bool IsThemeActive() { return g_active; }

void SetVisualStylesActive(bool active) { g_active = active; }

QString GetCurrentThemeName()
{
    QStyle* s = QApplication::instance() ? QApplication::style() : nullptr;
    return s ? s->name() : QString();
}

QString GetCurrentThemeColorName() { return GetCurrentThemeName(); }

bool IsWinXPOrLater() { return g_xp; }
bool IsVistaOrLater() { return g_vista; }
bool IsComCtl6() { return g_comctl6; }

void SetPlatformVersionFlags(bool winXPOrLater, bool vistaOrLater, bool comCtl6)
{
    g_xp = winXPOrLater;
    g_vista = vistaOrLater;
    g_comctl6 = comCtl6;
}

QString DefaultUIFontName() { return IsVistaOrLater() ? QStringLiteral("Segoe UI") : QStringLiteral("Tahoma"); }

TThemeData* OpenThemeData(QWidget* widget, const QString& classList)
{
    if (!BindThemeLibrary() || !IsThemeActive()) return nullptr;
    const QString cls = classList.trimmed().toLower();
    if (cls != QLatin1String("button") && cls != QLatin1String("combobox") && cls != QLatin1String("spin")) return nullptr;
    return new TThemeData{cls, widget};
}

void CloseThemeData(TThemeData* theme) { delete theme; }

bool DrawThemeBackground(TThemeData* theme, TCanvas& canvas, int part, int state, const TRect& r)
{
    if (!theme || r.IsEmpty()) return false;
    QStyle* style = Style(theme->widget);
    QPainter& p = canvas.Painter();
    p.save();
    bool drawn = true;
    if (theme->cls == QLatin1String("button")) {
        QStyleOptionButton opt;
        opt.rect = r.ToQRect();
        opt.palette = Palette(*theme);
        if (part == tpButtonPush) {
            SetStateFlags(opt, state);
            if (state == thsDefaulted) opt.features |= QStyleOptionButton::DefaultButton;
            style->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, theme->widget);
        } else if (part == tpButtonRadio || part == tpButtonCheck) {
            const int base = (state - 1) % 4 + 1;
            SetStateFlags(opt, base);
            const int group = (state - 1) / 4; // 0 unchecked, 1 checked, 2 mixed
            opt.state |= group == 1 ? QStyle::State_On : group == 2 ? QStyle::State_NoChange : QStyle::State_Off;
            style->drawPrimitive(part == tpButtonRadio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &opt, &p,
                                 theme->widget);
        } else {
            drawn = false;
        }
    } else if (theme->cls == QLatin1String("combobox") && part == tpComboDropDown) {
        DrawArrowButton(*style, p, *theme, r, state, 2, QStyle::PE_IndicatorArrowDown);
    } else if (theme->cls == QLatin1String("spin") && part >= tpSpinUp && part <= tpSpinDownHorz) {
        static const QStyle::PrimitiveElement arrows[] = {QStyle::PE_IndicatorArrowUp, QStyle::PE_IndicatorArrowDown,
                                                          QStyle::PE_IndicatorArrowRight, QStyle::PE_IndicatorArrowLeft};
        DrawArrowButton(*style, p, *theme, r, state, 1, arrows[part - tpSpinUp]);
    } else {
        drawn = false;
    }
    p.restore();
    return drawn;
}
