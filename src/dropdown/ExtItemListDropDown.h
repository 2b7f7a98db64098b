#pragma once
// What the list drop-downs whose pop-up is one item selector share: the
// owned items, the chosen index, the item layout and look, the selector
// (made with the pop-up, filled with copies of the items at every opening)
// and stepping through the items from the closed edit.
//
// TSelf is the drop-down itself: its SetItemIndex decides what taking an
// index does, and its SelectorItemSelected what a choice in the selector
// does. TItems is its item collection.
#include "dropdown/ExtDropDown.h"
#include "dropdown/ExtItemSelector.h"

#include <memory>

template <class TSelf, class TItems>
class TExtItemListDropDown : public TExtCustomDropDown {
public:
    TItems& Items() const { return *FItems; }
    void SetItems(const TItems& value) { FItems->Assign(value); }
    int ItemIndex() const { return FItemIndex; }
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout value) { FLayout = value; }
    TItemAppearance& ItemAppearance() const { return *FItemAppearance; }
    void SetItemAppearance(const TItemAppearance& value) { FItemAppearance->Assign(value); }
    TExtCustomItemSelector* ItemSelector() const { return FItemSelector; }
    // The text typed into the list so far.
    QString CurrentSearch() const { return FDriver.CurrentSearch(); }

    void SelectFirst()
    {
        if (FItems->Count() > 0) Self().SetItemIndex(0);
    }
    void SelectLast()
    {
        if (FItems->Count() > 0) Self().SetItemIndex(FItems->Count() - 1);
    }
    void SelectNext()
    {
        if (const auto next = SteppedIndex(FItemIndex, FItems->Count(), 1)) Self().SetItemIndex(*next);
    }
    void SelectPrevious()
    {
        if (const auto next = SteppedIndex(FItemIndex, FItems->Count(), -1)) Self().SetItemIndex(*next);
    }
    // Ends a list search (the key timer does this 500 ms after the last key).
    void ResetTypeAhead() { FDriver.ResetTypeAhead(); }

    // Makes the selector once the pop-up exists, then gives it the pop-up's
    // colour and makes it the pop-up's control.
    void CreateDropDownForm() override
    {
        TExtCustomDropDown::CreateDropDownForm();
        if (!DropDownForm()) return;
        if (!FItemSelector) {
            FItemSelector = new TExtCustomItemSelector(DropDownForm());
            FItemSelector->SetSelectorType(TSelectorType::stImage);
            FItemSelector->setGeometry(0, 0, FItemSelector->width(), 150);
            SelectorCreated();
            FDriver.Selector = FItemSelector;
        }
        FItemSelector->SetColor(DropDownColor());
        FItemSelector->UpdateSelectorPanel();
        SetControl(FItemSelector);
    }
    // Fills the selector and keeps the index a cancelled pop-up goes back to.
    void BeforeDropDown() override
    {
        TExtCustomDropDown::BeforeDropDown();
        FillSelector();
        FOldItemIndex = FItemIndex;
    }
    void SetSelectionColorStyle(TSelectionColorStyle value) override
    {
        TExtCustomDropDown::SetSelectionColorStyle(value);
        if (FItemSelector) FItemSelector->ItemAppearance().SetColorStyle(value);
    }
    void SetComponentStyle(TStudioStyle style) override
    {
        TExtCustomDropDown::SetComponentStyle(style);
        ApplyItemAppearanceStyle(FItemAppearance.get(), style);
    }

    // Copies the columns, images, layout, colour, look and items into the
    // selector and selects the chosen item there; the selector's own choices
    // go to SelectorItemSelected, the copying's do not.
    void FillSelector()
    {
        if (!FItemSelector) return;
        FItemSelector->OnItemSelect = nullptr;
        FItemSelector->SetColumns(FColumns);
        FItemSelector->SetImages(Images());
        FItemSelector->SetItemLayout(FLayout);
        FItemSelector->SetColor(DropDownColor());
        FItemSelector->SetItemAppearance(*FItemAppearance);
        CopyPictureItems(FItemSelector->Items(), *FItems);
        FItemSelector->UpdateSelectorPanel();
        FItemSelector->SetItemIndex(FItemIndex);
        FItemSelector->OnItemSelect = [this](QObject*) { SelectorItemSelected(); };
    }

protected:
    explicit TExtItemListDropDown(QWidget* parent)
        : TExtCustomDropDown(parent), FItems(std::make_unique<TItems>(this)), FItemAppearance(std::make_unique<TItemAppearance>(this))
    {
    }

    // Runs once, right after the selector is made, before the list search
    // drives it.
    virtual void SelectorCreated() {}
    // A choice in the selector.
    virtual void SelectorItemSelected() = 0;

    // Not owned: a child of the pop-up, deleted first by the drop-down's
    // destructor because it draws through the drop-down.
    TExtCustomItemSelector* FItemSelector = nullptr;
    // The selector's columns.
    int FColumns = 1;
    TItemLayout FLayout = TItemLayout::ilCaptionRight;
    std::unique_ptr<TItems> FItems;
    int FItemIndex = -1;
    std::unique_ptr<TItemAppearance> FItemAppearance;
    TSelectorDriver FDriver;
    int FOldItemIndex = -1;
    // Set while the edit handles a key press of its own.
    bool FEditKey = false;

private:
    TSelf& Self() { return static_cast<TSelf&>(*this); }
};
