#pragma once
// The colour selector panels of the colour picker's pop-up:
// - TExtColorCubePanel: 127 hexagonal cells of web-safe-like colours;
// - TExtColorSpectrumPanel: a 128 x 128 spectrum picture with two swatches
//   (the selected colour and the colour under the pointer);
// - TCustomColorSelector: a matrix of colour boxes (by default a 60-box
//   palette), driven by the mouse and by the picker's keys.
//
// Each panel paints itself, tracks the pointer, knows a selected colour and
// raises a notification when the user picks one. The geometry (cell centres,
// hit tests, box layout, swatch rectangles) is computed by plain functions and
// stored before painting, so that it can be checked without a window.
#include "controls/ExtDropDownAppearance.h"
#include "dropdown/ExtDropDownStyles.h"
#include "platform/Canvas.h"
#include "platform/Exception.h"
#include "platform/Graphics.h"

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <vector>

// How a colour box joins its neighbours above and below.
enum class TItemPos { ipStandAlone, ipTop, ipMiddle, ipBottom };

using TColorNotifyEvent = std::function<void(QObject* Sender)>;

// The application cursor number of the eyedropper.
constexpr int crEyedropper = 54;
// The eyedropper cursor (32 x 32, hot spot at its lower-left tip (1, 30)),
// drawn by our own code once and shared by every spectrum panel.
const QCursor& EyedropperCursor();
// The cursor's picture (ARGB, transparent around the dropper).
QImage EyedropperImage();

// The spectrum picture, 128 x 128, 24 bits: hue from red through yellow,
// green, cyan, blue and magenta back to red from left to right; the middle row
// (y = 64) fully saturated, fading to white towards the top row and to black
// towards the bottom row. Made once and shared.
const QImage& SpectrumPicture();
// The colour ($00BBGGRR) of the spectrum picture at (x, y), 0 <= x, y < 128.
TColor SpectrumColorAt(int x, int y);

// ---------------------------------------------------------------------------

// The common base of the three panels.
class TExtCustomColorSelectorPanel : public QWidget {
public:
    explicit TExtCustomColorSelectorPanel(QWidget* parent = nullptr);

    // The background colour of the panel.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);

    // The panel's own hint and whether it is shown.
    QString Hint() const { return FHint; }
    void SetHint(const QString& value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);

    // Raised when a mouse button is released over the cube or the spectrum.
    TColorNotifyEvent FOnShouldHide;

    // Paints the whole panel on any canvas of its size.
    virtual void Paint(TCanvas& canvas) const { PaintBackground(canvas); }

protected:
    void paintEvent(QPaintEvent* e) override;
    // Fills the panel with its colour.
    void PaintBackground(TCanvas& canvas) const;
    void SetDefaultSize(int width, int height) { resize(width, height); }
    void RaiseShouldHide();
    // Cancels the hint on show, so that a new one can show.
    void CancelHint();

private:
    TColor FColor = clBtnFace;
    QString FHint;
    bool FShowHint = false;
};

// ---------------------------------------------------------------------------

struct TCubeCell {
    int X = 0;
    int Y = 0;
    TColor Color = clNone;
};

class TExtColorCubePanel : public TExtCustomColorSelectorPanel {
public:
    static constexpr int CellCount = 127;

    explicit TExtColorCubePanel(QWidget* parent = nullptr);

    // Sets the cell size and every cell's centre and colour.
    void InitializeCells();
    // Clears the hot cell and gives the panel its size (182 x 160).
    void ResetHotCell();

    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor value);
    bool ShowRGBHint() const { return FShowRGBHint; }
    void SetShowRGBHint(bool value);

    // Cell n, 1..127.
    const TCubeCell& Cell(int n) const { return FCubeCells.at(size_t(n - 1)); }
    QPoint CubeSize() const { return FCubeSize; }
    int SelectedIndex() const { return FSelectedIndex; }
    int HotIndex() const { return FHotIndex; }

    // The first cell (lowest number) whose centre lies within FCubeSize.X of
    // the point; -1 when none.
    int CellAtPos(int x, int y) const;

    // A hexagon around (cx, cy): half width w, vertical step s.
    static void DrawHexagon(TCanvas& canvas, QPoint centre, int w, int s);
    // Draws cell n (1..127) with its hot and selected marks.
    void DrawCell(TCanvas& canvas, int n) const;
    void Paint(TCanvas& canvas) const override;

    TColorNotifyEvent OnSelect;

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void InvalidateCell(int n);
    std::array<TCubeCell, CellCount> FCubeCells{};
    QPoint FCubeSize{6, 3};
    TColor FSelectedColor = clNone;
    int FSelectedIndex = -1;
    int FHotIndex = -1;
    bool FShowRGBHint = false;
};

// The RGB hint of a colour, as the cube shows it.
QString CubeRGBHint(TColor color);

// ---------------------------------------------------------------------------

class TExtColorSpectrumPanel;

// The picture child of the spectrum panel; its mouse goes to the panel.
class TSpectrumImage : public QWidget {
public:
    explicit TSpectrumImage(TExtColorSpectrumPanel* panel);
    const QImage& Picture() const { return SpectrumPicture(); }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TExtColorSpectrumPanel* FPanel;
};

class TExtColorSpectrumPanel : public TExtCustomColorSelectorPanel {
public:
    explicit TExtColorSpectrumPanel(QWidget* parent = nullptr);

    // Sizes the panel (150 x 174), centres the picture, places the swatches
    // and forgets the hot colour.
    void ArrangeSpectrum();

    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor value);
    TColor HotColor() const { return FHotColor; }
    TRect HotRect() const { return FHotRect; }
    TRect SelectedRect() const { return FSelectedRect; }
    TSpectrumImage* SpectrumImage() const { return FSpectrumImage; }
    // The picture's rectangle in panel coordinates.
    TRect ImageRect() const;

    // The pointer over the picture, in picture coordinates.
    void SpectrumMouseMove(int x, int y);
    void SpectrumMouseDown(int x, int y);
    void SpectrumMouseUp();

    void Paint(TCanvas& canvas) const override;

    TColorNotifyEvent OnSelect;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void DrawSwatch(TCanvas& canvas, const TRect& r, TColor color) const;
    TSpectrumImage* FSpectrumImage; // owned as child
    TColor FHotColor = clNone;
    TColor FSelectedColor = clWhite;
    TRect FHotRect;
    TRect FSelectedRect;
};

// The layout rule of the spectrum panel for a panel of the given width.
struct TSpectrumLayout {
    TRect Image;
    TRect Selected;
    TRect Hot;
};
TSpectrumLayout SpectrumLayout(int panelWidth, int imageWidth, int imageHeight);

// ---------------------------------------------------------------------------

// An owned, ordered collection of colour items (boxes of the selector,
// named colours of the picker). The owner is not owned. A change of an item's
// notifying properties raises FOnChange with the owner as sender; adding,
// inserting and deleting raise nothing.
template <class TItem>
class TColorCollection : public TOwnedItemList<TItem, TColorCollection<TItem>> {
public:
    using TOwnedItemList<TItem, TColorCollection>::TOwnedItemList;

    TColorNotifyEvent FOnChange;
    void ItemChanged()
    {
        if (FOnChange) FOnChange(this->Owner());
    }

private:
    friend class TOwnedItemList<TItem, TColorCollection>;
    std::unique_ptr<TItem> NewItem() { return std::unique_ptr<TItem>(new TItem(this)); }
};

// One box of the discrete selector.
class TColorBoxItem {
public:
    using TCollectionType = TColorCollection<TColorBoxItem>;

    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TItemPos ColorBoxPos() const { return FColorBoxPos; }
    void SetColorBoxPos(TItemPos value) { FColorBoxPos = value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    // The box rectangle, set by the layout.
    TRect Rect() const { return FRect; }
    void SetRect(const TRect& r) { FRect = r; }

    // Copies Color (through its write), the enabled state and the position,
    // so that a copied palette keeps its joined columns.
    void Assign(const TColorBoxItem& source);
    int Index() const { return FCollection->IndexOf(this); }
    TCollectionType* Collection() const { return FCollection; }

private:
    friend class TColorCollection<TColorBoxItem>;
    explicit TColorBoxItem(TCollectionType* collection) : FCollection(collection) {}
    TCollectionType* FCollection;
    TColor FColor = clNone;
    bool FEnabled = true;
    TRect FRect{-1, -1, -1, -1};
    TItemPos FColorBoxPos = TItemPos::ipStandAlone;
};

class TColorBoxItems : public TColorCollection<TColorBoxItem> {
public:
    using TColorCollection<TColorBoxItem>::TColorCollection;
};

class TColorBoxAppearance {
public:
    // The value a saved form leaves out for BorderColor (the initial value
    // differs, so it is always written).
    static constexpr TColor StreamBorderColor = 0xC0C0C0;

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { FBorderColor = v; }
    TColor OuterBorderColorHot() const { return FOuterBorderColorHot; }
    void SetOuterBorderColorHot(TColor v) { FOuterBorderColorHot = v; }
    TColor InnerBorderColorHot() const { return FInnerBorderColorHot; }
    void SetInnerBorderColorHot(TColor v) { FInnerBorderColorHot = v; }
    TColor OuterBorderColorSelected() const { return FOuterBorderColorSelected; }
    void SetOuterBorderColorSelected(TColor v) { FOuterBorderColorSelected = v; }
    TColor InnerBorderColorSelected() const { return FInnerBorderColorSelected; }
    void SetInnerBorderColorSelected(TColor v) { FInnerBorderColorSelected = v; }

    // Back to the initial five colours.
    void Reset();
    void Assign(const TColorBoxAppearance& source);

    TColorNotifyEvent FOnChange; // never raised

private:
    TColor FBorderColor = 0xC5C5C5;
    TColor FOuterBorderColorHot = 0x3694F2;
    TColor FInnerBorderColorHot = 0x94E2FF;
    TColor FOuterBorderColorSelected = 0x0000FF;
    TColor FInnerBorderColorSelected = 0x94E2FF;
};

// The result of laying out boxes: each box's rectangle and the selector size.
struct TColorBoxLayout {
    std::vector<TRect> Rects;
    int Width = 100;
    int Height = 50;
};
// Lays out boxes of the given positions: `columns` per row from the area's
// top-left corner, `gap` between boxes and after a row holding a stand-alone box.
TColorBoxLayout LayoutColorBoxes(const std::vector<TItemPos>& positions, int columns, int gap, int boxWidth,
                                 int boxHeight, const TRect& area);

class TCustomColorSelector : public TExtCustomColorSelectorPanel {
public:
    explicit TCustomColorSelector(QWidget* parent = nullptr);

    // Clears the boxes and adds the 60-box palette.
    void AddDefaultColorBoxes();

    TColorBoxItems& Items() { return FItems; }
    const TColorBoxItems& Items() const { return FItems; }
    void SetItems(const TColorBoxItems& value) { FItems.Assign(value); }
    TColorBoxAppearance& ColorBoxAppearance() { return FColorBoxAppearance; }
    void SetColorBoxAppearance(const TColorBoxAppearance& value) { FColorBoxAppearance.Assign(value); }

    int Columns() const { return FColumns; }
    void SetColumns(int value);
    int ColumnGap() const { return FColumnGap; }
    void SetColumnGap(int value);
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int value);
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int value);
    TSelectionColorStyle ItemColorStyle() const { return FItemColorStyle; }
    void SetItemColorStyle(TSelectionColorStyle value);

    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int value);
    int ItemHot() const { return FItemHot; }
    void SetItemHot(int value);
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor value);

    int ItemAtPos(int x, int y) const;
    TRect GetItemRect(int index) const;

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    // Keys 33..40 (page up .. down, as virtual-key numbers).
    void HandleKey(int key, bool editorEnabled, bool droppedDown);

    virtual void DrawItem(int index, TCanvas* canvas) const;
    virtual void GetItemsArea(TRect& r) const;
    virtual void GetItemSize(QSize& s) const;
    virtual void LayoutItems();
    virtual void InvalidateItem(int index);

    void Paint(TCanvas& canvas) const override;

    TColorNotifyEvent OnItemSelect;

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    bool IsDisabledBox(int index) const;
    int FItemIndex = -1;
    int FItemHot = -1;
    int FOffSetX = 4;
    int FOffSetY = 4;
    int FColumns = 10;
    int FColumnGap = 4;
    int FColorBoxHeight = 12;
    int FColorBoxWidth = 12;
    TColorBoxAppearance FColorBoxAppearance;
    TColorBoxItems FItems;
    TSelectionColorStyle FItemColorStyle = TSelectionColorStyle::scOffice2007;
    TColor FSelectedColor = clNone;
};
