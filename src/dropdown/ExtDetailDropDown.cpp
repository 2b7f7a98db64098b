#include "dropdown/ExtDetailDropDown.h"

#include "dropdown/ExtTypeAhead.h"
#include "platform/ImageList.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

// ---- Items -------------------------------------------------------------------

void TDetailItem::Assign(const TDetailItem& source)
{
    if (&source == this) return;
    SetCaption(source.Caption());
    SetImageIndex(source.ImageIndex());
    AssignPicture(source);
    FNotes = source.FNotes;
    FTag = source.FTag;
    FItemObject = source.FItemObject;
}

int TDetailItems::IndexOf(const QString& caption) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->Caption() == caption) return i;
    return -1;
}

// ---- The edit ------------------------------------------------------------------

TExtDetailDropDown::TExtDetailDropDown(QWidget* parent)
    : TExtItemListDropDown(parent)
{
    CreateDropDownForm();
    FItems->OnChange = [](TStripButtonCollection<TDetailItem>*) {};
    SetEditorEnabled(true);
    SetDropDownEnabled(true);
    FCaptionFont = font();
    FNotesFont = font();
}

TExtDetailDropDown::~TExtDetailDropDown()
{
    // The selector draws through this edit: it goes first.
    delete FItemSelector;
}

void TExtDetailDropDown::SelectorCreated()
{
    FItemSelector->OnDrawItem = [this](QObject* sender, TCanvas* canvas, const TRect& r, int index) {
        DrawDetailItem(sender, canvas, r, index);
    };
    FItemSelector->OnItemSize = [this](QObject* sender, QSize& size) { DetailItemSize(sender, size); };
    FItemSelector->UpdateSelectorPanel();
    FItemSelector->OnResize = [this](QObject*) { FItemSelector->UpdateSelectorPanel(); };
}

void TExtDetailDropDown::DoShowDropDown()
{
    TExtCustomDropDown::DoShowDropDown();
    if (FItemSelector && FItemSelector->isVisible()) FItemSelector->setFocus(Qt::PopupFocusReason);
}

void TExtDetailDropDown::AdaptDropDownSize()
{
    if (FItemSelector) {
        if (DropDownWidth() <= 0) FItemSelector->resize(width(), FItemSelector->height());
        if (DropDownHeight() <= 0) FItemSelector->resize(FItemSelector->width(), 100);
    }
    TExtCustomDropDown::AdaptDropDownSize();
}

void TExtDetailDropDown::DoHideDropDown(bool cancel)
{
    TExtCustomDropDown::DoHideDropDown(cancel);
    if (cancel && FItemSelector && FOldItemIndex != -1) SetItemIndex(FOldItemIndex);
}

void TExtDetailDropDown::DropDownFormSizing()
{
    TExtCustomDropDown::DropDownFormSizing();
    if (FItemSelector) FItemSelector->UpdateSelectorPanel();
}

void TExtDetailDropDown::StepInSelector(int delta)
{
    const int current = FItemSelector->ItemIndex();
    FDriver.Select(current < 0 ? 0 : current + delta);
    update();
}

void TExtDetailDropDown::HandleMouseWheelDown()
{
    TExtCustomDropDown::HandleMouseWheelDown();
    if (!DroppedDown() || !FItemSelector)
        SelectNext();
    else
        StepInSelector(1);
    update();
}

void TExtDetailDropDown::HandleMouseWheelUp()
{
    TExtCustomDropDown::HandleMouseWheelUp();
    if (!DroppedDown() || !FItemSelector)
        SelectPrevious();
    else
        StepInSelector(-1);
    update();
}

void TExtDetailDropDown::SetItemIndex(int value)
{
    if (value != FItemIndex && value >= 0 && value < FItems->Count()) {
        FItemIndex = value;
        SetOwnText(FItems->GetItem(value)->Caption());
        SelectAll();
        update();
        if (FItemSelector) FItemSelector->viewport()->update();
        if (OnSelect) OnSelect(this);
    } else if (value == -1 && value != FItemIndex) {
        SetOwnText(QString());
        FItemIndex = -1;
    }
}

void TExtDetailDropDown::SelectorItemSelected()
{
    const int index = FItemSelector->ItemIndex();
    SetItemIndex(index);
    if (index >= 0 && index < FItems->Count()) {
        SetOwnText(FItems->GetItem(index)->Caption());
        SelectAll();
    }
    if (!FDriver.InternalCall()) DoHideDropDown(false);
}

void TExtDetailDropDown::SetOwnText(const QString& text)
{
    // A caption put in by the edit itself is not typed: it is not completed
    // (which could turn it into an earlier caption it begins with).
    const bool completing = FCompleting;
    FCompleting = true;
    SetText(text);
    FCompleting = completing;
}

// ---- Type-ahead ----------------------------------------------------------------

void TExtDetailDropDown::Change()
{
    FItemChange = false;
    TExtCustomDropDown::Change();
    // The completion's own text write comes back here: nothing more then.
    if (!FWorkMode || FCompleting) return;
    SetModifiedState(!Text().isEmpty());
    // A typed character is completed once the edit has placed it and its
    // caret; other changes at once.
    if (FTyping > 0)
        FCompletePending = true;
    else
        CompleteTyped();
}

void TExtDetailDropDown::CompleteTyped()
{
    FCompletePending = false;
    if (FItems->Count() == 0) return;
    QStringList captions;
    for (int i = 0; i < FItems->Count(); ++i) captions << FItems->GetItem(i)->Caption();
    const QString text = QLineEdit::text();
    const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
    const TTypeAheadResult r = CompleteTypeAhead(text, selStart, captions, FMatchCase);
    if (r.Index < 0 && selStart == 0) return;
    if (r.Index >= 0) {
        FItemIndex = r.Index;
        FItemIdx = r.Index;
        FItemSel = r.SelStart;
    }
    FCompleting = true;
    if (r.Text != text) SetTextDirect(r.Text);
    // The completed rest selected, the caret after the typed part.
    setSelection(r.SelStart + r.SelLength, -r.SelLength);
    FCompleting = false;
    FItemChange = r.Index >= 0;
}

void TExtDetailDropDown::WMChar(QChar c)
{
    ++FTyping;
    TExtCustomDropDown::WMChar(c);
    --FTyping;
    if (FCompletePending && FTyping == 0) CompleteTyped();
}

void TExtDetailDropDown::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (FItems->Count() == 0) {
        TExtCustomDropDown::KeyDown(key, shift);
        return;
    }
    if (key == Qt::Key_Backspace || key == Qt::Key_Escape || key == Qt::Key_Delete) {
        FWorkMode = false;
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        const int index = FItems->IndexOf(Text());
        if (index >= 0) {
            SetOwnText(FItems->GetItem(index)->Caption());
            // Enter confirms the item, also one that typing had completed.
            if (index == FItemIndex && OnSelect) OnSelect(this);
            SetItemIndex(index);
            FCompleting = true;
            Change();
            FCompleting = false;
        }
    } else {
        FWorkMode = true;
    }
    TExtCustomDropDown::KeyDown(key, shift);
}

void TExtDetailDropDown::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    FEditKey = true;
    ++FTyping;
    TExtCustomDropDown::keyPressEvent(event);
    --FTyping;
    FEditKey = false;
    if (FCompletePending && FTyping == 0) CompleteTyped();
    // The text Escape left (restored when it closed the pop-up) names the item.
    if (key == Qt::Key_Escape && FItems->Count() > 0) {
        const int index = FItems->IndexOf(Text());
        if (index >= 0) SetItemIndex(index);
    }
    if (ListKeys(key, event->modifiers())) event->accept();
}

void TExtDetailDropDown::keyReleaseEvent(QKeyEvent* event)
{
    TExtCustomDropDown::keyReleaseEvent(event);
    FItemChange = false;
}

bool TExtDetailDropDown::WMKeyDown(int key, Qt::KeyboardModifiers shift)
{
    const bool consumed = TExtCustomDropDown::WMKeyDown(key, shift);
    // The edit's own keys get the list keys once, after the whole base handling.
    if (FEditKey) return consumed;
    return ListKeys(key, shift) || consumed;
}

bool TExtDetailDropDown::ListKeys(int key, Qt::KeyboardModifiers shift)
{
    if (!isEnabled() || (shift & Qt::AltModifier)) return false;
    const bool open = DroppedDown();
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (!FItemSelector) break;
        if (FItemSelector->Items().Count() != FItems->Count()) FillSelector();
        FDriver.Page(key == Qt::Key_PageUp);
        break;
    case Qt::Key_End:
    case Qt::Key_Home:
        if (open && FItemSelector)
            FDriver.Internal([key](TExtCustomItemSelector& s) { key == Qt::Key_End ? s.SelectLast() : s.SelectFirst(); });
        else if (!open && !EditorEnabled())
            key == Qt::Key_End ? SelectLast() : SelectFirst();
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (open && !EditorEnabled())
            FDriver.Internal([key](TExtCustomItemSelector& s) { key == Qt::Key_Left ? s.SelectPrevious() : s.SelectNext(); });
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (open && FItemSelector)
            StepInSelector(key == Qt::Key_Up ? -1 : 1);
        else if (!open)
            key == Qt::Key_Up ? SelectPrevious() : SelectNext();
        break;
    default:
        // The list search: only without the editor, where typing in the edit
        // does not complete the text itself.
        if (!EditorEnabled()) FDriver.Search(key, shift & Qt::ControlModifier);
        break;
    }
    return open && IsListMoveKey(key);
}

// ---- Drawing -------------------------------------------------------------------

void TExtDetailDropDown::DrawDetailItem(QObject* sender, TCanvas* canvas, const TRect& rect, int index)
{
    (void)sender;
    if (!canvas || index < 0 || index >= FItems->Count()) return;
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, canvas, rect);
        return;
    }
    const TDetailItem* item = FItems->GetItem(index);
    TRect r = rect;
    const bool hasCaption = !item->Caption().isEmpty();
    auto place = [&](int w, int h) {
        const int x = hasCaption ? r.Left + 2 : r.Left + (r.Width() - w) / 2;
        return QPoint(x, r.Top + (r.Height() - h) / 2);
    };
    TCustomImageList* images = Images();
    if (item->Image().isNull() && images && item->ImageIndex() >= 0) {
        const QPoint p = place(images->Width(), images->Height());
        images->Draw(*canvas, p.x(), p.y(), item->ImageIndex(), true);
        r.Left += images->Width() + 4;
    } else if (!item->Image().isNull()) {
        const QImage& picture = item->Image();
        const QPoint p = place(picture.width(), picture.height());
        if (picture.hasAlphaChannel())
            canvas->Draw(p.x(), p.y(), picture);
        else // a bitmap: transparent in the colour of its bottom-left pixel
            canvas->DrawTransparent(p.x(), p.y(), picture, QColorToColor(picture.pixelColor(0, picture.height() - 1)));
        r.Left += picture.width() + 4;
    }

    const bool hot = FItemSelector && index == FItemSelector->ItemHot();
    const TColor textColor = index == FItemIndex ? FItemAppearance->ColorSelectedText()
                             : hot              ? FItemAppearance->ColorHotText()
                                                : clWindowText;
    canvas->SetFont(FCaptionFont);
    canvas->SetFontColor(textColor);
    canvas->SetBrushStyle(TBrushStyle::Clear);
    canvas->SetBkMode(TBkMode::Transparent);
    TRect textRect{r.Left + 4, r.Top + 2, r.Right - 4, r.Bottom};
    TRect captionRect = textRect;
    canvas->DrawText(item->Caption(), captionRect, tfEndEllipsis | tfNoPrefix);
    if (!item->Notes().isEmpty()) {
        textRect.Top += canvas->TextHeight(QStringLiteral("gh"));
        canvas->SetFont(FNotesFont);
        canvas->SetFontColor(textColor);
        DrawItemTextOrHtml(*canvas, item->Notes(), textRect, this, true, images);
    }
}

void TExtDetailDropDown::DetailItemSize(QObject* sender, QSize& size)
{
    (void)sender;
    int w = DropDownWidth() > 0 ? DropDownWidth() : (DropDownForm() ? DropDownForm()->width() : width());
    if (FItemSelector && FItemSelector->VertScrollBarVisible()) w -= FItemSelector->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    w -= 2 * 1 + 4; // the system's border width on both sides, and a margin
    size = QSize(w, FItemHeight);
}
