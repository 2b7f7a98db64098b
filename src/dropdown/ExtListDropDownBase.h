#pragma once
// What the drop-downs that show their items as rows under a header have in
// common (the multi-column drop-down and the grid drop-down): the header,
// line and row look they hand to their list, the lookup column and the
// lookup list of its texts, the completion of the typed text, the stepping
// through the items with the keys and the wheel, and the sizing of the
// pop-up and its columns.
//
// A drop-down answers where its list and its items are: ListGrid,
// ListNaturalWidth and ListColumnCount for the list in the pop-up,
// ListItemCount and ListItem for its items, ChoiceCount for what the keys
// step through.
#include "dropdown/ExtDropDown.h"

#include <QFont>
#include <QStringList>

class TCustomGrid;

namespace ExtMultiColumnDropDown {

struct TDropDownItemSettings;

// Page Up and Down, Home, End, Up and Down: the keys that step through a
// list drop-down's choices.
bool IsNavigationKey(int key);

class TExtListDropDownBase : public TExtCustomDropDown {
public:
    explicit TExtListDropDownBase(QWidget* parent = nullptr);
    ~TExtListDropDownBase() override;

    // -- content --------------------------------------------------------------
    int ItemIndex() const { return FItemIndex; }
    virtual void SetItemIndex(int value) = 0;
    int LookupColumn() const { return FLookupColumn; }
    void SetLookupColumn(int value) { FLookupColumn = value; }
    const QStringList& LookupItems() const { return FLookupItems; }
    QString LookupEntry() const { return FLookupEntry; }
    // The first item whose lookup text starts with `s`; false, empty and -1
    // when none.
    virtual bool FindLookupMatch(const QString& s, QString& text, int& index) const = 0;
    void BeginUpdate() {}
    void EndUpdate() { UpdateLookupItems(); }

    // -- look -----------------------------------------------------------------
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value) { FCaseSensitive = value; }
    bool DropDownAutoWidth() const { return FDropDownAutoWidth; }
    void SetDropDownAutoWidth(bool value) { FDropDownAutoWidth = value; }
    int DropDownRowHeight() const { return FDropDownRowHeight; }
    void SetDropDownRowHeight(int value) { FDropDownRowHeight = value; }
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor value) { FLineColor = value; }
    TColor FixedLineColor() const { return FFixedLineColor; }
    void SetFixedLineColor(TColor value) { FFixedLineColor = value; }
    bool ColumnSizing() const { return FColumnSizing; }
    void SetColumnSizing(bool value) { FColumnSizing = value; }
    bool ColumnSizeWithDropDown() const { return FColumnSizeWithDropDown; }
    void SetColumnSizeWithDropDown(bool value) { FColumnSizeWithDropDown = value; }
    TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor value) { FHeaderColor = value; }
    TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor value) { FHeaderColorTo = value; }
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int value) { FHeaderHeight = value; }
    const QFont& HeaderFont() const { return FHeaderFont; }
    void SetHeaderFont(const QFont& value) { FHeaderFont = value; }
    TColor HeaderFontColor() const { return FHeaderFontColor; }
    void SetHeaderFontColor(TColor value) { FHeaderFontColor = value; }
    TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(TColor value) { FSelectionTextColor = value; }
    // Stream default of LineColor: a value equal to it is not written to a
    // form file (it then reads back as the creation value).
    static constexpr TColor LineColorStreamDefault = 0x808080;

    // -- keys and choosing ------------------------------------------------------
    // Step through the ChoiceCount choices; a page is ten of them.
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void SelectNextPage();
    void SelectPreviousPage();
    // Stretches the list's columns to the pop-up's width.
    void SizeColumnsToDropDown();

    // The typed text completes from the lookup list, except text the control
    // sets itself.
    void Change() override;
    // Backspace, Escape and Delete stop the completion; Enter takes a typed
    // lookup text as the item; Escape goes back to the item of the text.
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    // The edit's key release: takes a whole typed entry in its own case.
    virtual void KeyUp(int& key, Qt::KeyboardModifiers shift);
    bool WMKeyDown(int key, Qt::KeyboardModifiers shift) override;
    void SetComponentStyle(TStudioStyle style) override;
    void SetSelectionColorStyle(TSelectionColorStyle value) override;

    void AdaptDropDownHeight(int& height) override;
    void PlaceDropDownControl() override;
    void AdaptDropDownSize() override;
    void DropDownFormSizing() override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;

protected:
    // The list drop-downs' part of the construction, run by each from its
    // own constructor so that its overrides take part.
    void SetUpList();

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

    // The list in the pop-up (nullptr before it is made), the width that
    // shows its columns whole, and the count of its own copy of the columns.
    virtual TCustomGrid* ListGrid() const = 0;
    virtual int ListNaturalWidth() const = 0;
    virtual int ListColumnCount() const = 0;
    // The drop-down's items.
    virtual int ListItemCount() const = 0;
    virtual const TDropDownItemSettings& ListItem(int index) const = 0;
    // What SelectFirst and the others step through: the items unless a
    // drop-down says otherwise.
    virtual int ChoiceCount() const { return ListItemCount(); }
    // Whether Home and End choose the first and the last choice rather than
    // move the caret.
    virtual bool HomeEndSelects(Qt::KeyboardModifiers shift) const;
    // Raised before a navigation key of the edit acts.
    virtual void NavigationKeyPressed() {}
    // The edit's keys before the base steps of KeyDown run, once the
    // completion has seen them.
    virtual void CompletionKeyDown(int key) { (void)key; }
    // Sets the text without completing it.
    virtual void SetTextQuietly(const QString& text);

    // The lookup list: the items' texts in the lookup column.
    void UpdateLookupItems();
    // The first item in the lookup list equal to `text` in any case; -1.
    int LookupIndexOf(const QString& text) const;
    // The first item whose lookup text starts with `key` (after the case
    // folding); false, empty and -1 when none.
    bool FindItemMatch(const QString& key, QString& text, int& index) const;
    // The lookup text of item `value` (empty for -1 or an item without one).
    QString ItemLookupText(int value) const;
    // The first step of a typed search character: a backspace takes one
    // character back from the entry (or the selected text from the edit)
    // and answers true; another character but Tab joins the entry.
    bool LookupEntryKey(QChar key);
    // The last step of a search that found nothing for the entry: the item
    // that starts with `key` alone starts a new entry; else the entry is
    // cleared. The item found, or -1.
    int LookupSingleKey(QChar key);
    // The arrow, page, Home and End keys of the edit; true when one acted.
    bool NavigationKey(int key, Qt::KeyboardModifiers shift);

    bool FColumnSizing = false;
    int FLookupColumn = 0;
    TColor FHeaderColorTo = 0x808080;
    TColor FHeaderColor = 0xFFFFFF;
    TColor FLineColor = 0xF1EDEB;
    int FItemIndex = -1;
    int FHeaderHeight = 25;
    QFont FHeaderFont;
    TColor FHeaderFontColor = 0x723708;
    TColor FFixedLineColor = 0xD1BBA4;
    bool workmode = true;
    QString FOldValue;
    QStringList FLookupItems;
    bool FMatchCase = false;
    bool FItemChange = false;
    int FItemIdx = 0;
    int FItemSel = 0;
    int FOldItemIndex = -1;
    bool FDropDownAutoWidth = true;
    bool FColumnSizeWithDropDown = true;
    TColor FSelectionTextColor = 0;
    int FDropDownRowHeight = 22;
    QString FLookupEntry;
    bool FCaseSensitive = false;
    // Text set by the control itself is not completed.
    bool FBlockCompletion = false;
    bool FInKeyPress = false;
    bool FCompletionPending = false;

private:
    void Complete();
};

} // namespace ExtMultiColumnDropDown
