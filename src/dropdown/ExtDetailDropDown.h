#pragma once
// The detail drop-down: an edit for choosing one of a list of items, each
// with a caption, an optional picture or image-list image and optional notes
// (mini-HTML under the caption). The pop-up holds an item selector of one
// column whose items this edit draws. Typing completes the text from the
// captions, the arrow, page and Home/End keys move through the list, and a
// click in the list takes the item and closes the pop-up.
#include "controls/ExtDropDownAppearance.h"
#include "dropdown/ExtItemListDropDown.h"

#include <QImage>

class TDetailItem : public TCaptionedItem<TDetailItem> {
public:
    // Mini-HTML shown under the caption.
    QString Notes() const { return FNotes; }
    void SetNotes(const QString& value) { FNotes = value; }
    int Tag() const { return FTag; }
    void SetTag(int value) { FTag = value; }
    // Not owned.
    QObject* ItemObject() const { return FItemObject; }
    void SetItemObject(QObject* value) { FItemObject = value; }

    // Caption and ImageIndex through their writes, then the picture, the
    // enabled state, Notes, Tag and ItemObject.
    void Assign(const TDetailItem& source);

private:
    friend class TStripButtonCollection<TDetailItem>;
    explicit TDetailItem(TStripButtonCollection<TDetailItem>* collection) : TCaptionedItem(collection) {}

    QString FNotes;
    QObject* FItemObject = nullptr;
    int FTag = 0;
};

class TDetailItems : public TStripButtonCollection<TDetailItem> {
public:
    using TStripButtonCollection<TDetailItem>::TStripButtonCollection;
    using TStripButtonCollection<TDetailItem>::IndexOf;
    // The first item whose Caption equals the text exactly; -1 when none.
    int IndexOf(const QString& caption) const;
};

class TExtDetailDropDown : public TExtItemListDropDown<TExtDetailDropDown, TDetailItems> {
public:
    explicit TExtDetailDropDown(QWidget* parent = nullptr);
    ~TExtDetailDropDown() override;

    // A valid new index shows its caption (all selected) and raises
    // OnSelect; -1 clears the text; other values are ignored.
    void SetItemIndex(int value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value) { FItemHeight = value; }
    const QFont& CaptionFont() const { return FCaptionFont; }
    void SetCaptionFont(const QFont& value) { FCaptionFont = value; }
    const QFont& NotesFont() const { return FNotesFont; }
    void SetNotesFont(const QFont& value) { FNotesFont = value; }
    // Type-ahead compares letter case as typed.
    bool MatchCase() const { return FMatchCase; }
    void SetMatchCase(bool value) { FMatchCase = value; }

    std::function<void(TExtDetailDropDown* sender)> OnSelect;
    std::function<void(TExtDetailDropDown* sender, TCanvas* canvas, const TRect& r)> OnDrawSelectedImage;

    void DoShowDropDown() override;
    void AdaptDropDownSize() override;
    void DoHideDropDown(bool cancel) override;
    void DropDownFormSizing() override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;
    void Change() override;
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    bool WMKeyDown(int key, Qt::KeyboardModifiers shift) override;
    void WMChar(QChar c) override;

    // The selector's item drawing and item size.
    void DrawDetailItem(QObject* sender, TCanvas* canvas, const TRect& r, int index);
    void DetailItemSize(QObject* sender, QSize& size);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // The selector draws the items through this edit and lays out again
    // when resized.
    void SelectorCreated() override;
    void SelectorItemSelected() override;

private:
    // The key table of the edit; true when the key is consumed.
    bool ListKeys(int key, Qt::KeyboardModifiers shift);
    void SetOwnText(const QString& text);
    void CompleteTyped();
    void StepInSelector(int delta);

    int FItemHeight = 22;
    QFont FCaptionFont;
    QFont FNotesFont;
    bool FWorkMode = true;
    bool FItemChange = false;
    bool FCompleting = false;
    int FTyping = 0;
    bool FCompletePending = false;
    int FItemIdx = -1;
    int FItemSel = 0;
    bool FMatchCase = false;
};
