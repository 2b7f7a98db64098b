#pragma once
// Settings objects of the drop-down controls' pop-up strips: the header and
// footer appearances with their button collections, the look of the strip
// buttons, and the range-checked list in which a strip keeps its buttons.
//
// They hold no window and paint nothing: every string grid keeps one header
// and one footer appearance in its control look and copies them into its
// drop-down cell editors; each drop-down edit owns one of each and its pop-up
// strips paint from copies of them.
//
// Notifications are exact, because the pop-up refreshes on them:
// - an appearance raises OnChange only when Visible changes (also through
//   Assign); no other property write notifies;
// - a button's Caption, Enabled or Width change raises its collection's
//   OnChange at once, which the appearance forwards as OnButtonsChanged with
//   itself as sender; Height, ImageIndex, ModalResult, adding and deleting
//   raise nothing.
//
// The program has no form files; the values a form would leave out when
// saving are the kStream... constants below.
#include "controls/ExtDropDownDraw.h"
#include "platform/Exception.h"
#include "platform/Graphics.h"

#include <QFont>
#include <QString>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

class QObject;

// ---- Strip buttons ---------------------------------------------------------


template <class TItem>
class TStripButtonCollection;

// The values every strip button has. TSelf is the button class itself (the
// type its collection holds); a button with more values adds them and copies
// them in its AssignOwnValues.
template <class TSelf>
class TStripButton {
public:
    TStripButton(const TStripButton&) = delete;
    TStripButton& operator=(const TStripButton&) = delete;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value) { FImageIndex = value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    // 0 takes the size of the content.
    int Width() const { return FWidth; }
    void SetWidth(int value);
    int Height() const { return FHeight; }
    void SetHeight(int value) { FHeight = value; }

    // Caption, ImageIndex, the button's own values, Enabled, Width, Height,
    // each through its write.
    void Assign(const TSelf& source);
    // The position in the collection.
    int Index() const;

protected:
    explicit TStripButton(TStripButtonCollection<TSelf>* collection) : FCollection(collection) {}
    ~TStripButton() = default;
    void Changed();
    void AssignOwnValues(const TSelf&) {}

private:
    TStripButtonCollection<TSelf>* FCollection;
    QString FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    int FHeight = 0;
    int FWidth = 0;
};

// One button of a header strip.
class THeaderButton : public TStripButton<THeaderButton> {
protected:
    friend class TStripButtonCollection<THeaderButton>;
    explicit THeaderButton(TStripButtonCollection<THeaderButton>* collection) : TStripButton(collection) {}
};

// One button of a footer strip; its modal result decides whether a click
// closes the pop-up. Assign copies Caption, ImageIndex, ModalResult, Enabled,
// Width, Height.
class TFooterButton : public TStripButton<TFooterButton> {
public:
    // A modal result in the numbering of the drop-down strips (0 none .. 14 Yes to All).
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }

protected:
    friend class TStripButton<TFooterButton>;
    friend class TStripButtonCollection<TFooterButton>;
    explicit TFooterButton(TStripButtonCollection<TFooterButton>* collection) : TStripButton(collection) {}
    void AssignOwnValues(const TFooterButton& source) { SetModalResult(source.ModalResult()); }

private:
    int FModalResult = 0;
};

// An owned, ordered list of items that makes its items itself. TList is the
// collection class deriving from it: its NewItem makes a default item that
// points back to it. The owner (the grid, the edit or the window) is not
// owned.
template <class TItem, class TList>
class TOwnedItemList {
public:
    explicit TOwnedItemList(QObject* owner) : FMyOwner(owner) {}
    TOwnedItemList(const TOwnedItemList&) = delete;
    TOwnedItemList& operator=(const TOwnedItemList&) = delete;

    QObject* Owner() const { return FMyOwner; }
    int Count() const { return int(FItems.size()); }

    TItem* Add() { return Insert(Count()); }
    // A new default item at `index` (cut to 0..Count).
    TItem* Insert(int index)
    {
        index = std::clamp(index, 0, Count());
        FItems.insert(FItems.begin() + index, static_cast<TList*>(this)->NewItem());
        return FItems[size_t(index)].get();
    }
    void Delete(int index)
    {
        GetItem(index);
        FItems.erase(FItems.begin() + index);
    }
    void Clear() { FItems.clear(); }

    // Out-of-range indexes raise "List index out of bounds (n)".
    TItem* GetItem(int index) const
    {
        if (index < 0 || index >= Count()) throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
        return FItems[size_t(index)].get();
    }
    TItem* Items(int index) const { return GetItem(index); }
    void SetItem(int index, const TItem& value) { GetItem(index)->Assign(value); }

    // Replaces the items by copies of the source's items.
    void Assign(const TOwnedItemList& source)
    {
        if (&source == this) return;
        Clear();
        for (const auto& item : source.FItems) Add()->Assign(*item);
    }

    int IndexOf(const TItem* item) const
    {
        for (int i = 0; i < Count(); ++i)
            if (FItems[size_t(i)].get() == item) return i;
        return -1;
    }

protected:
    ~TOwnedItemList() = default;

private:
    QObject* FMyOwner;
    std::vector<std::unique_ptr<TItem>> FItems;
};

// An owned, ordered collection of strip buttons.
template <class TItem>
class TStripButtonCollection : public TOwnedItemList<TItem, TStripButtonCollection<TItem>> {
public:
    using TOwnedItemList<TItem, TStripButtonCollection>::TOwnedItemList;
    virtual ~TStripButtonCollection() = default;

    std::function<void(TStripButtonCollection* sender)> OnChange;

    // Raised by the items' notifying writes.
    void ItemChanged()
    {
        if (OnChange) OnChange(this);
    }

private:
    friend class TOwnedItemList<TItem, TStripButtonCollection>;
    std::unique_ptr<TItem> NewItem() { return std::unique_ptr<TItem>(new TItem(this)); }
};

class THeaderButtons : public TStripButtonCollection<THeaderButton> {
public:
    using TStripButtonCollection<THeaderButton>::TStripButtonCollection;
};

class TFooterButtons : public TStripButtonCollection<TFooterButton> {
public:
    using TStripButtonCollection<TFooterButton>::TStripButtonCollection;
};

// ---- Appearances -----------------------------------------------------------

// The values a form leaves out when saved (the initial values of the
// constructors). Visible, Font and Buttons have none: they are always written.
constexpr TColor kStreamColor = 0xC0C0C0;
constexpr TColor kStreamColorTo = 0xFFFFFF;
constexpr TGradientDirection kStreamGradientDirection = TGradientDirection::gdVertical;
constexpr int kStreamHeight = 22;
constexpr TColor kStreamBorderColor = 0x000000;
constexpr int kStreamBorderWidth = 1;
constexpr int kStreamImageIndex = -1;
constexpr bool kStreamSizeGrip = true;
constexpr TButtonAlignment kStreamButtonAlignment = TButtonAlignment::baRight;

// The settings both pop-up strips share. TSelf is the strip's own appearance
// class, the sender of its events; TButtons its button collection. A strip
// with more values adds them and copies them in its AssignOwnValues.
template <class TSelf, class TButtons>
class TStripAppearance {
public:
    TStripAppearance(const TStripAppearance&) = delete;
    TStripAppearance& operator=(const TStripAppearance&) = delete;

    QObject* Owner() const { return FOwner; }

    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor value) { FColorTo = value; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value) { FCaption = value; }
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& value) { FFont = value; }
    // The colour of the font, copied wherever the font is.
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor value) { FFontColor = value; }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection value) { FGradientDirection = value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    int Height() const { return FHeight; }
    void SetHeight(int value) { FHeight = value; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value) { FBorderColor = value; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value) { FBorderWidth = value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value) { FImageIndex = value; }
    TButtons& Buttons() { return *FButtons; }
    const TButtons& Buttons() const { return *FButtons; }
    void SetButtons(const TButtons& value) { FButtons->Assign(value); }
    TButtonAlignment ButtonAlignment() const { return FButtonAlignment; }
    void SetButtonAlignment(TButtonAlignment value) { FButtonAlignment = value; }

    // ColorTo, Color, BorderColor, Caption, Font, ImageIndex, BorderWidth,
    // GradientDirection, Height, the strip's own values, Visible (notifying),
    // ButtonAlignment, Buttons.
    void Assign(const TSelf& source);
    // Color, ColorTo, BorderColor, Font, GradientDirection.
    void AssignColors(const TSelf& source);

    std::function<void(TSelf* sender)> OnChange;
    std::function<void(TSelf* sender)> OnButtonsChanged;

protected:
    explicit TStripAppearance(QObject* owner);
    ~TStripAppearance() = default;
    void AssignOwnValues(const TSelf&) {}

private:
    TSelf* Self() { return static_cast<TSelf*>(this); }

    QObject* FOwner;
    bool FVisible = true;
    int FHeight = 22;
    int FBorderWidth = 1;
    int FImageIndex = -1;
    QString FCaption;
    TColor FColorTo = 0xFFFFFF;
    TColor FColor = 0xC0C0C0;
    TColor FBorderColor = 0x000000;
    QFont FFont;
    TColor FFontColor = clWindowText;
    std::unique_ptr<TButtons> FButtons;
    TGradientDirection FGradientDirection = TGradientDirection::gdVertical;
    TButtonAlignment FButtonAlignment = TButtonAlignment::baRight;
};

// The strip at the top of a drop-down's pop-up; its font is Tahoma.
class THeaderAppearance : public TStripAppearance<THeaderAppearance, THeaderButtons> {
public:
    explicit THeaderAppearance(QObject* owner);
};

// The strip at the bottom of a drop-down's pop-up, with the size grip. Assign
// copies SizeGrip just before Visible.
class TFooterAppearance : public TStripAppearance<TFooterAppearance, TFooterButtons> {
public:
    explicit TFooterAppearance(QObject* owner) : TStripAppearance(owner) {}

    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool value) { FSizeGrip = value; }

protected:
    friend class TStripAppearance<TFooterAppearance, TFooterButtons>;
    void AssignOwnValues(const TFooterAppearance& source) { FSizeGrip = source.FSizeGrip; }

private:
    bool FSizeGrip = true;
};

extern template class TStripButton<THeaderButton>;
extern template class TStripButton<TFooterButton>;
extern template class TStripAppearance<THeaderAppearance, THeaderButtons>;
extern template class TStripAppearance<TFooterAppearance, TFooterButtons>;

// ---- Strip button look -----------------------------------------------------

// The colours of the flat gradient buttons of the strips, per state. The
// checked colours are not settings: they follow from the hot colours.
class TExtButtonAppearance {
public:
    TExtButtonAppearance();
    TExtButtonAppearance(const TExtButtonAppearance&) = delete;
    TExtButtonAppearance& operator=(const TExtButtonAppearance&) = delete;

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value) { Write(FBorderColor, value); }
    TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor value) { Write(FBorderColorHot, value); }
    TColor BorderColorDown() const { return FBorderColorDown; }
    void SetBorderColorDown(TColor value) { Write(FBorderColorDown, value); }
    TColor BorderColorDisabled() const { return FBorderColorDisabled; }
    void SetBorderColorDisabled(TColor value) { Write(FBorderColorDisabled, value); }
    TColor BorderColorChecked() const { return FBorderColorChecked; }
    void SetBorderColorChecked(TColor value) { Write(FBorderColorChecked, value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { Write(FColor, value); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor value) { Write(FColorTo, value); }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor value) { Write(FColorDown, value); }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor value) { Write(FColorDownTo, value); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor value) { Write(FColorHot, value); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor value) { Write(FColorHotTo, value); }
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor value) { Write(FColorCheckedTo, value); }
    TColor ColorDisabled() const { return FColorDisabled; }
    void SetColorDisabled(TColor value) { Write(FColorDisabled, value); }
    TColor ColorDisabledTo() const { return FColorDisabledTo; }
    void SetColorDisabledTo(TColor value) { Write(FColorDisabledTo, value); }
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor value) { Write(FColorChecked, value); }
    TGradientDirection Gradient() const { return FGradient; }
    void SetGradient(TGradientDirection value);
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& value) { FFont = value; }

    // All sixteen colours and Gradient through their writes; not the font.
    void Assign(const TExtButtonAppearance& source);

    std::function<void(TExtButtonAppearance* sender)> OnChange;

private:
    void Write(TColor& field, TColor value);

    TColor FBorderColor = clNone;
    TColor FBorderColorHot = 0x808080;
    TColor FBorderColorDown = 0x800000;
    TColor FBorderColorDisabled = 0x808080;
    TColor FBorderColorChecked = 0xFF0000;
    TColor FColor = clNone;
    TColor FColorTo = clNone;
    TColor FColorDown = 0xF5D8CA;
    TColor FColorDownTo = 0xF9BDA0;
    TColor FColorHot = 0xF5F0E1;
    TColor FColorHotTo = 0xF9D2B2;
    TColor FColorCheckedTo;
    TColor FColorDisabled = 0xF2F2F2;
    TColor FColorDisabledTo = clNone;
    TColor FColorChecked;
    TGradientDirection FGradient = TGradientDirection::gdVertical;
    QFont FFont;
};

// ---- Range-checked list ----------------------------------------------------

// A list whose indexed access refuses every index outside 0..Count-1 with a
// fixed message, so nothing outside the list is read or written.
template <class T>
class TDbgList {
public:
    int Count() const { return int(FItems.size()); }
    void Add(T item) { FItems.push_back(std::move(item)); }
    void Clear() { FItems.clear(); }
    void Delete(int index)
    {
        if (index < 0 || index >= Count()) throw Exception(QStringLiteral("Index out of bounds in list write access"));
        FItems.erase(FItems.begin() + index);
    }

    const T& GetItemsEx(int index) const
    {
        if (index < 0 || index >= Count()) throw Exception(QStringLiteral("Index out of bounds in list read access"));
        return FItems[size_t(index)];
    }
    void SetItemsEx(int index, T item)
    {
        if (index < 0 || index >= Count()) throw Exception(QStringLiteral("Index out of bounds in list write access"));
        FItems[size_t(index)] = std::move(item);
    }
    const T& operator[](int index) const { return GetItemsEx(index); }

    // Clears the list, then appends every item of the other in order.
    void AssignList(const TDbgList& other)
    {
        if (&other == this) return;
        FItems = other.FItems;
    }

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<T> FItems;
};
