#pragma once
// The item selector: a matrix of items (an image or a colour box, each with an
// optional mini-HTML caption) with a fixed number of columns, one hot
// (hovered) item and one selected item. The list drop-downs put one into their
// pop-up and drive it from their keyboard handling.
//
// Three classes make it up:
// - TExtCustomItemSelector, a scroll area that owns the items and their look
//   and holds exactly one panel;
// - TCustomItemSelector, that panel: it lays the items out (pure geometry
//   first, then the panel's size), paints and hit-tests them, and keeps the
//   hot and the selected item. Only its container makes it, so it always has
//   one;
// - TItemAppearance, the colours and the font of the items.
//
// Notifications: an item's Caption, Color or ImageIndex change raises its
// collection's OnChange, which lays the panel out again; adding, inserting and
// deleting items raise nothing, so the owner calls UpdateSelectorPanel.
#include "controls/ExtDropDownAppearance.h"
#include "controls/ExtStyleIF.h"
#include "dropdown/ExtDropDownStyles.h"
#include "platform/ImageList.h"
#include "platform/Canvas.h"
#include "platform/Exception.h"
#include "platform/Graphics.h"

#include <QFont>
#include <QImage>
#include <QScrollArea>
#include <QSize>
#include <QTimer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TExtCustomItemSelector;
class TCustomItemSelector;

// Colour boxes or pictures.
enum class TSelectorType { stImage, stColor };

// ---- Items -------------------------------------------------------------------

// An item with a caption and a picture (its own, or an index into an image
// list) in an owned collection; caption and image-index changes raise the
// collection's OnChange. The selector's items and the list drop-downs' items
// are all of this kind.
template <class TItem>
class TCaptionedItem {
public:
    TCaptionedItem(const TCaptionedItem&) = delete;
    TCaptionedItem& operator=(const TCaptionedItem&) = delete;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value)
    {
        if (value == FCaption) return;
        FCaption = value;
        Changed();
    }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value)
    {
        if (value == FImageIndex) return;
        FImageIndex = value;
        Changed();
    }
    const QImage& Image() const { return FImage; }
    void SetImage(const QImage& value) { FImage = value; }
    QString Hint() const { return FHint; }
    void SetHint(const QString& value) { FHint = value; }
    // A disabled item is never hot or selected.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    int Index() const { return FCollection->IndexOf(static_cast<const TItem*>(this)); }

protected:
    explicit TCaptionedItem(TStripButtonCollection<TItem>* collection) : FCollection(collection) {}
    ~TCaptionedItem() = default;
    void Changed() { FCollection->ItemChanged(); }
    // The picture, the enabled state and the hint (the notifying properties
    // are the caller's, in its order).
    void AssignPicture(const TCaptionedItem& source)
    {
        FImage = source.FImage;
        FEnabled = source.FEnabled;
        FHint = source.FHint;
    }

private:
    TStripButtonCollection<TItem>* FCollection;
    QString FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    QImage FImage;
    QString FHint;
};

class TSelectorItem : public TCaptionedItem<TSelectorItem> {
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // The rectangle in panel coordinates; (-1, -1, -1, -1) until laid out.
    const TRect& ItemRect() const { return FRect; }

    // Caption, Color and ImageIndex through their writes, then the picture,
    // the enabled state and the hint.
    void Assign(const TSelectorItem& source);

private:
    friend class TStripButtonCollection<TSelectorItem>;
    friend class TCustomItemSelector;
    explicit TSelectorItem(TStripButtonCollection<TSelectorItem>* collection) : TCaptionedItem(collection) {}

    TColor FColor = clNone;
    TRect FRect{-1, -1, -1, -1};
};

// The owned, ordered items of a selector; out-of-range indexes raise
// "List index out of bounds (n)".
class TSelectorItems : public TStripButtonCollection<TSelectorItem> {
public:
    using TStripButtonCollection<TSelectorItem>::TStripButtonCollection;
};

// Rebuilds `target` from the list drop-downs' items: caption, picture, image
// index and hint of each, laid out once at the end by the caller.
template <class TItems>
void CopyPictureItems(TSelectorItems& target, const TItems& source)
{
    // One layout at the end rather than one per caption.
    const auto relayout = std::move(target.OnChange);
    target.OnChange = nullptr;
    target.Clear();
    for (int i = 0; i < source.Count(); ++i) {
        const auto* from = source.GetItem(i);
        TSelectorItem* item = target.Add();
        item->SetCaption(from->Caption());
        item->SetImage(from->Image());
        item->SetImageIndex(from->ImageIndex());
        item->SetHint(from->Hint());
    }
    target.OnChange = relayout;
}

// The index that stepping by `step` (+1 or -1) moves a selection of
// `current` among `count` items to: the first when none is selected;
// nothing at either end or without items.
std::optional<int> SteppedIndex(int current, int count, int step);

// ---- Look --------------------------------------------------------------------

// The twelve colours a selection colour style sets.
struct TItemStyleColors {
    TColor ColorHot, ColorHotTo, ColorMirrorHot, ColorMirrorHotTo;
    TColor BorderColorTop, BorderColorBottom, BorderColor, EdgeColor;
    TColor ColorSelected, ColorSelectedTo, ColorMirrorSelected, ColorMirrorSelectedTo;
    bool operator==(const TItemStyleColors&) const = default;
};
// The colours of a style; null for scCustom, which changes none.
const TItemStyleColors* ItemStyleColors(TSelectionColorStyle style);

class TItemAppearance {
public:
    explicit TItemAppearance(QObject* owner = nullptr);
    TItemAppearance(const TItemAppearance&) = delete;
    TItemAppearance& operator=(const TItemAppearance&) = delete;

    QObject* Owner() const { return FOwner; }

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { FBorderColor = v; }
    TColor BorderColorTop() const { return FBorderColorTop; }
    void SetBorderColorTop(TColor v) { FBorderColorTop = v; }
    TColor BorderColorBottom() const { return FBorderColorBottom; }
    void SetBorderColorBottom(TColor v) { FBorderColorBottom = v; }
    // Not none: hot items get a plain framed gradient in this colour.
    TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor v) { FBorderColorHot = v; }
    TColor BorderColorSelected() const { return FBorderColorSelected; }
    void SetBorderColorSelected(TColor v) { FBorderColorSelected = v; }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor v) { FColorHot = v; }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor v) { FColorHotTo = v; }
    TColor ColorHotText() const { return FColorHotText; }
    void SetColorHotText(TColor v) { FColorHotText = v; }
    TColor ColorMirrorHot() const { return FColorMirrorHot; }
    void SetColorMirrorHot(TColor v) { FColorMirrorHot = v; }
    TColor ColorMirrorHotTo() const { return FColorMirrorHotTo; }
    void SetColorMirrorHotTo(TColor v) { FColorMirrorHotTo = v; }
    TColor ColorSelected() const { return FColorSelected; }
    void SetColorSelected(TColor v) { FColorSelected = v; }
    TColor ColorSelectedTo() const { return FColorSelectedTo; }
    void SetColorSelectedTo(TColor v) { FColorSelectedTo = v; }
    TColor ColorMirrorSelected() const { return FColorMirrorSelected; }
    void SetColorMirrorSelected(TColor v) { FColorMirrorSelected = v; }
    TColor ColorMirrorSelectedTo() const { return FColorMirrorSelectedTo; }
    void SetColorMirrorSelectedTo(TColor v) { FColorMirrorSelectedTo = v; }
    TColor ColorSelectedText() const { return FColorSelectedText; }
    void SetColorSelectedText(TColor v) { FColorSelectedText = v; }
    TColor EdgeColor() const { return FEdgeColor; }
    void SetEdgeColor(TColor v) { FEdgeColor = v; }
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& v) { FFont = v; }
    // The colour of the font, copied wherever the font is.
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor v) { FFontColor = v; }

    TSelectionColorStyle ColorStyle() const { return FColorStyle; }
    // Nothing when unchanged; else stores the style and, unless scCustom,
    // writes its twelve colours.
    void SetColorStyle(TSelectionColorStyle style);

    // The twelve style colours, the font, the style (which writes its colours
    // again when it differs and is not scCustom), then the text colours and
    // the two special border colours.
    void Assign(const TItemAppearance& source);

    // Never raised.
    std::function<void(TItemAppearance* sender)> OnChange;

private:
    void SetStyleColors(const TItemStyleColors& c);
    TItemStyleColors StyleColors() const;

    QObject* FOwner;
    TColor FColorMirrorHotTo = clNone;
    TColor FBorderColor = clNone;
    TColor FColorMirrorHot = clNone;
    TColor FColorSelectedTo = clNone;
    TColor FColorSelected = clNone;
    TColor FEdgeColor = clNone;
    TColor FColorHotTo = clNone;
    TColor FBorderColorBottom = clNone;
    TColor FColorHot = clNone;
    TColor FBorderColorTop = clNone;
    TColor FColorMirrorSelectedTo = clNone;
    TColor FColorMirrorSelected = clNone;
    TColor FColorSelectedText = 0x000000;
    TColor FColorHotText = 0x000000;
    TSelectionColorStyle FColorStyle = TSelectionColorStyle::scCustom;
    QFont FFont;
    TColor FFontColor = clWindowText;
    TColor FBorderColorHot = clNone;
    TColor FBorderColorSelected = clNone;
};

// The item colours of a named component style, written into `appearance`
// (nothing for a null one; tsCustom changes nothing).
void ApplyItemAppearanceStyle(TItemAppearance* appearance, TStudioStyle style);

// ---- Layout (pure) -------------------------------------------------------------

// The margins of an item matrix.
struct TItemMargins {
    int OffSetX = 2;     // matrix inside the panel
    int OffSetY = 2;
    int ItemOffSetX = 4; // content inside an item
    int ItemOffSetY = 4;
    int CaptionGap = 4;  // between box or picture and caption
};

// The one size of all items from the largest box (or picture) and the
// largest caption measured.
QSize ItemSizeFor(TItemLayout layout, QSize box, QSize caption, const TItemMargins& m);

// The rectangles of `count` items of `itemSize`, `columns` per row, from the
// area's top-left corner without gaps, and the panel size that holds them.
struct TItemMatrix {
    std::vector<TRect> Rects;
    QSize PanelSize;
};
TItemMatrix LayoutItemMatrix(int count, int columns, QSize itemSize, const TItemMargins& m);

// Where an item's content and caption go inside its content rectangle.
struct TItemPlacement {
    QPoint Content;  // top-left corner of the box or picture
    TRect Caption;   // where the caption is drawn (empty without one)
};
// `captionSize` is the measured caption; `isColorBox` puts a box at the top
// where a picture would be centred vertically.
TItemPlacement PlaceItem(TItemLayout layout, const TRect& contentRect, QSize contentSize, QSize captionSize, bool hasCaption,
                         bool isColorBox, int captionGap);

// ---- The panel ---------------------------------------------------------------

class TCustomItemSelector : public QWidget {
public:
    TCustomItemSelector(const TCustomItemSelector&) = delete;
    TCustomItemSelector& operator=(const TCustomItemSelector&) = delete;

    int ItemIndex() const { return FItemIndex; }
    // Ignored for a disabled item or an index beyond the items; a negative
    // value clears the selection. A valid index raises OnItemSelect, also
    // when it is written again.
    void SetItemIndex(int value);
    int ItemHot() const { return FItemHot; }
    void SetItemHot(int index);

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    // Selects the first item whose caption, stripped of mini-HTML, trimmed
    // and upper-cased, begins with `text` (compared as given).
    bool LookupItem(const QString& text);
    // The first item whose rectangle holds the point; -1 when none.
    int ItemAtPos(int x, int y) const;

    int Columns() const;
    TSelectorItems& Items() const;
    TSelectorType SelectorType() const;
    TItemLayout ItemLayout() const;
    TCustomImageList* Images() const;
    TSelectionColorStyle ItemColorStyle() const;
    TColor ItemColorHot() const;
    TColor ItemColorHotTo() const;
    TColor ItemColorSelected() const;
    TColor ItemColorSelectedTo() const;
    int ColorBoxHeight() const;
    int ColorBoxWidth() const;
    TExtCustomItemSelector* ExtItemSelector() const { return FExtItemSelector; }
    const TItemMargins& Margins() const { return FMargins; }

    // Raised with the panel as sender.
    std::function<void(QObject* sender)> OnItemSelect;

    virtual void DrawItem(int index, TCanvas* canvas);
    virtual TRect GetItemsArea() const;
    virtual QSize GetItemSize();
    virtual void InvalidateItem(int index);
    virtual void LayoutItems();

protected:
    friend class TExtCustomItemSelector;
    explicit TCustomItemSelector(TExtCustomItemSelector& owner);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    TColor PanelColor() const;
    bool ItemUsable(int index) const;

    int FItemIndex = -1;
    int FItemHot = -1;
    TItemMargins FMargins;
    TExtCustomItemSelector* FExtItemSelector;
};

// ---- The container -------------------------------------------------------------

class TExtCustomItemSelector : public QScrollArea {
public:
    explicit TExtCustomItemSelector(QWidget* parent = nullptr);
    ~TExtCustomItemSelector() override;
    TExtCustomItemSelector(const TExtCustomItemSelector&) = delete;
    TExtCustomItemSelector& operator=(const TExtCustomItemSelector&) = delete;

    void UpdateSelectorPanel();

    int Columns() const { return FColumns; }
    // Only values above 0 are taken.
    void SetColumns(int value);
    TSelectorItems& Items() const { return *FItems; }
    void SetItems(const TSelectorItems& value) { FItems->Assign(value); }
    int ItemIndex() const;
    void SetItemIndex(int value);
    int ItemHot() const;
    TSelectorType SelectorType() const { return FSelectorType; }
    void SetSelectorType(TSelectorType value);
    TItemLayout ItemLayout() const { return FItemLayout; }
    // Only stored: the owner calls UpdateSelectorPanel afterwards.
    void SetItemLayout(TItemLayout value) { FItemLayout = value; }
    // Not owned; reads as null once the list is gone.
    TCustomImageList* Images() const { return FImages.get(); }
    void SetImages(TCustomImageList* value);
    TItemAppearance& ItemAppearance() const { return *FItemAppearance; }
    void SetItemAppearance(const TItemAppearance& value) { FItemAppearance->Assign(value); }
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int value);
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int value);
    // The background of the panel and of items that are neither hot nor selected.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    bool LookupItem(const QString& text);
    // Scrolls so that the item is inside the client area (only while the
    // vertical scroll bar is shown).
    void ScrollItemInView(int index);
    // Whole rows in the client height times Columns; 0 without items or for
    // items of no height.
    int GetVisibleItemCount() const;
    // The panel's size: the pop-ups are sized from it.
    QSize GetSelectorPanelSize() const;
    TCustomItemSelector* Panel() const { return FItemSelectorPanel; }
    bool VertScrollBarVisible() const;
    bool HorzScrollBarVisible() const;

    std::function<void(QObject* sender)> OnItemSelect;
    std::function<void(QObject* sender, TCanvas* canvas, const TRect& r, int index)> OnDrawItem;
    std::function<void(QObject* sender, QSize& size)> OnItemSize;
    std::function<void(QObject* sender)> OnResize;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Keys and the wheel are left to the window holding the selector: the
    // drop-downs drive it from their own handlers.
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    std::unique_ptr<TSelectorItems> FItems;
    TSelectorType FSelectorType = TSelectorType::stImage;
    TItemLayout FItemLayout = TItemLayout::ilCaptionRight;
    int FColumns = 1;
    int FColorBoxWidth = 14;
    int FColorBoxHeight = 14;
    TImageListRef FImages;
    TColor FColor = clWindow;
    std::unique_ptr<TItemAppearance> FItemAppearance;
    TCustomItemSelector* FItemSelectorPanel = nullptr; // owned as child widget
};

// ---- Driving a selector from an edit ---------------------------------------------

// What the list drop-downs share in driving their selector: selections they
// make themselves (flagged, so that the pop-up stays open), the page keys,
// and the list search, a text typed into the list that ends 500 ms after the
// last key.
// Page Up, Page Down and the arrows: the keys an open list keeps to itself.
bool IsListMoveKey(int key);

class TSelectorDriver {
public:
    TSelectorDriver();
    TSelectorDriver(const TSelectorDriver&) = delete;
    TSelectorDriver& operator=(const TSelectorDriver&) = delete;

    TExtCustomItemSelector* Selector = nullptr;

    // Set while the edit itself selects in the list.
    bool InternalCall() const { return FInternalCall; }
    // Runs `step` on the selector with InternalCall set.
    void Internal(const std::function<void(TExtCustomItemSelector& selector)>& step);
    // Selects `index` (internally) when it names an item.
    void Select(int index);
    // Moves the selection by the number of items in view: at least to the
    // first, at most to the last; nothing when none are in view.
    void Page(bool up);
    // Adds the key's character to the search and selects the first item it
    // begins (internally); false for a key that adds no character.
    bool Search(int key, bool ctrlHeld);
    void ResetTypeAhead();
    QString CurrentSearch() const { return FCurSearch; }

private:
    bool FInternalCall = false;
    QTimer FKeyTimer;
    QString FCurSearch;
};
