#include "dropdown/ExtColorPickerDropDown.h"

#include "platform/WebColors.h"

// ---- TColorItem ------------------------------------------------------------

void TColorItem::SetCaption(const QString& value)
{
    if (FCaption == value) return;
    FCaption = value;
    FCollection->ItemChanged();
}

void TColorItem::SetColor(TColor value)
{
    if (FColor == value) return;
    FColor = value;
    FCollection->ItemChanged();
}

void TColorItem::Assign(const TColorItem& source)
{
    SetCaption(source.FCaption);
    SetColor(source.FColor);
    FEnabled = source.FEnabled;
    FHint = source.FHint;
}

// ---- Colour texts ------------------------------------------------------------

const TDefaultColor DefaultPickerColors[16] = {
    {"Black", 0x000000},  {"Maroon", 0x000080}, {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080}, {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},    {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00}, {"White", 0xFFFFFF},
};

namespace {

QString Hex2(int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper(); }

QString Html(TColor rgb) { return QLatin1Char('#') + Hex2(GetRValue(rgb)) + Hex2(GetGValue(rgb)) + Hex2(GetBValue(rgb)); }

} // namespace

QString ColorValueToText(TColor color, TColorValueText form)
{
    if (color == clNone) return QString();
    const TColor rgb = ColorToRGB(color);
    switch (form) {
    case TColorValueText::cvtNone: return QString();
    case TColorValueText::cvtHex:
        return QStringLiteral("%1").arg(uint32_t(color), 6, 16, QLatin1Char('0')).toUpper();
    case TColorValueText::cvtWebName: {
        QString name;
        return WebColorName(rgb, name) ? name : Html(rgb);
    }
    case TColorValueText::cvtRGB:
        return QStringLiteral("Red:%1,Green:%2,Blue:%3").arg(GetRValue(rgb)).arg(GetGValue(rgb)).arg(GetBValue(rgb));
    case TColorValueText::cvtHTML: return Html(rgb);
    }
    return QString();
}
