#pragma once
// The colour picker drop-down: an edit that shows a colour box and a colour
// text, with a pop-up offering the colours as a named list, a palette of
// boxes, a hexagonal colour cube or a spectrum.
#include "dropdown/ExtColorSelector.h"
#include "dropdown/ExtDropDown.h"
#include "dropdown/ExtItemSelector.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

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

class QTimer;

// Draws the edit area instead of the colour box and text.
using TOnDrawSelectedItem = std::function<void(QObject* Sender, TCanvas& Canvas, const TRect& R)>;
// Draws the content of one list item (after its background).
using TDrawItemEvent = std::function<void(QObject* Sender, TCanvas* Canvas, const TRect& R, int Index)>;

class TExtColorPickerDropDown : public TExtCustomDropDown {
public:
    explicit TExtColorPickerDropDown(QWidget* parent = nullptr);
    ~TExtColorPickerDropDown() override;

    // Appends the 16 default colours (without clearing).
    void AddDefaultColors();

    TColorItems& Colors() { return FColors; }
    const TColorItems& Colors() const { return FColors; }
    void SetColors(const TColorItems& value) { FColors.Assign(value); }

    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int value);
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor value);
    TColorSelectionStyle ColorSelectionStyle() const { return FColorSelectionStyle; }
    void SetColorSelectionStyle(TColorSelectionStyle value);
    TColorValueText ColorValueText() const { return FColorValueText; }
    void SetColorValueText(TColorValueText value);
    int Columns() const { return FColumns; }
    void SetColumns(int value) { FColumns = value; }
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int value) { FColorBoxWidth = value; }
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int value) { FColorBoxHeight = value; }
    bool ShowText() const { return FShowText; }
    void SetShowText(bool value);
    // Where the list items' captions stand (used at the next opening).
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout value) { FLayout = value; }
    TItemAppearance& ItemAppearance() { return *FItemAppearance; }
    void SetItemAppearance(const TItemAppearance& value) { FItemAppearance->Assign(value); }

    // The picker's own stepping through Colors (the list closed).
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();

    // The colour text shown beside the colour box.
    virtual void GetSelectedColorText(QString& text) const;
    QString SelectedColorText() const;

    // The hosted controls (the panels are null until their style was prepared).
    TExtCustomItemSelector* ItemSelector() const { return FItemSelector; }
    TCustomColorSelector* ColorSelector() const { return FColorSelector; }
    TExtColorCubePanel* ColorCubePanel() const { return FColorCubePanel; }
    TExtColorSpectrumPanel* SpectrumPanel() const { return FSpectrumPanel; }

    // Type-ahead: the text typed so far and its timer.
    QString CurSearch() const { return FCurSearch; }
    QTimer* KeyTimer() const { return FKeyTimer; }
    void KeyTimerTick();

    // Paints the colour box and the colour text on any canvas of the edit's size.
    void PaintSelectedColor(TCanvas& canvas);

    void SetComponentStyle(TStudioStyle style) override;
    void SetSelectionColorStyle(TSelectionColorStyle value) override;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void PlaceDropDownControl() override;
    void AdaptDropDownSize() override;
    void DoHideDropDown(bool cancel) override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;
    void PaintFocusHighlight(TCanvas& canvas) override;
    bool WMKeyDown(int key, Qt::KeyboardModifiers shift) override;

    std::function<void(TExtColorPickerDropDown* Sender)> OnSelect;
    TOnDrawSelectedItem OnDrawSelectedColor;
    TDrawItemEvent OnDrawColor;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The picker's key-down steps around the base's (`baseStep`, which
    // answers whether it took the key): Enter picks the hot item of an open
    // list or box palette first; then the keys of the style.
    bool ColorKeyDown(int key, Qt::KeyboardModifiers shift, const std::function<bool()>& baseStep);
    void PrepareStyle(TColorSelectionStyle style);
    void PrepareItemSelector();
    // Fills the list from Colors and the picker's settings.
    void ConfigureItemSelector();
    // Selects a list item from the keyboard: the picker follows, the pop-up stays.
    void SelectorSelect(int index);
    void ItemSelectorSelect();
    bool ListKey(int key, bool open, bool pickedByEnter, Qt::KeyboardModifiers shift);
    void PrepareColorSelector();
    void PrepareColorCube();
    void PreparePanel(TExtCustomColorSelectorPanel* panel);
    void PrepareSpectrum();
    // Shows the hosted control of the current style and hides the others.
    void ShowOnly(QWidget* control);
    void ConfigureStyle(TColorSelectionStyle style);
    void SizePanelDropDown();
    void ColorSelectorSelect();
    void CubeSelect();
    void SpectrumSelect();
    void PanelPicked(TColor color);
    void TypeAhead(int key);
    void SyncClosedSelector();
    void WheelStep(bool down);
    // Runs f with FInternalCall set, so that a selection does not close.
    template <class F>
    void Internal(F f)
    {
        const bool was = FInternalCall;
        FInternalCall = true;
        f();
        FInternalCall = was;
    }

    QPointer<TExtCustomItemSelector> FItemSelector;
    QPointer<TExtColorCubePanel> FColorCubePanel;
    QPointer<TExtColorSpectrumPanel> FSpectrumPanel;
    QPointer<TCustomColorSelector> FColorSelector;
    int FColumns = 1;
    TItemLayout FLayout = TItemLayout::ilCaptionRight;
    TColorItems FColors;
    int FItemIndex = -1;
    int FColorBoxWidth = 14;
    int FColorBoxHeight = 14;
    TColorSelectionStyle FColorSelectionStyle = TColorSelectionStyle::csList;
    TColor FSelectedColor = clNone;
    bool FShowText = true;
    std::unique_ptr<TItemAppearance> FItemAppearance;
    bool FInternalCall = false;
    QTimer* FKeyTimer; // owned as child
    QString FCurSearch;
    int FOldItemIndex = -1;
    TColor FOldSelectedColor = clNone;
    TColorValueText FColorValueText = TColorValueText::cvtNone;
    bool FDestroying = false;
};
