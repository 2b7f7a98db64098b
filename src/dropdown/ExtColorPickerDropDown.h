#pragma once
// The colour picker drop-down: an edit that shows a colour box and a colour
// text, with a pop-up offering the colours as a named list, a palette of
// boxes, a hexagonal colour cube or a spectrum.
#include "dropdown/ExtColorSelector.h"

#include <QString>

enum class TColorSelectionStyle { csList, csDiscrete, csColorCube, csSpectrum };
enum class TColorValueText { cvtNone, cvtHex, cvtWebName, cvtRGB, cvtHTML };

// One named colour of the picker's list.
class TColorItem {
public:
    using TCollectionType = TColorCollection<TColorItem>;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    QString Hint() const { return FHint; }
    void SetHint(const QString& value) { FHint = value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    TRect Rect() const { return FRect; }

    // Caption and Color through their writes, then the enabled state and Hint.
    void Assign(const TColorItem& source);
    int Index() const { return FCollection->IndexOf(this); }
    TCollectionType* Collection() const { return FCollection; }

private:
    friend class TColorCollection<TColorItem>;
    explicit TColorItem(TCollectionType* collection) : FCollection(collection) {}
    TCollectionType* FCollection;
    QString FCaption;
    TColor FColor = clNone;
    bool FEnabled = true;
    TRect FRect{-1, -1, -1, -1};
    QString FHint;
};

class TColorItems : public TColorCollection<TColorItem> {
public:
    using TColorCollection<TColorItem>::TColorCollection;
};

// The 16 default colours with their captions, in order.
struct TDefaultColor {
    const char* Caption;
    TColor Color;
};
extern const TDefaultColor DefaultPickerColors[16];

// The text of a colour in one of the value forms (no colour gives an empty
// text in every form):
// - cvtHex: the value itself, upper-case hexadecimal, at least 6 digits, in
//   the value's own byte order (a system colour gives 8 digits);
// - cvtWebName: the web colour name, else "#" + RRGGBB;
// - cvtRGB: "Red:r,Green:g,Blue:b";
// - cvtHTML: "#" + RRGGBB.
// System colours are turned into their current RGB value for the last three.
QString ColorValueToText(TColor color, TColorValueText form);
