#include "dropdown/ExtImagePickerDropDown.h"

#include "controls/PictureContainer.h"
#include "platform/ImageList.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>

// ---- Items -------------------------------------------------------------------

void TImageItem::Assign(const TImageItem& source)
{
    if (&source == this) return;
    SetCaption(source.Caption());
    SetImageIndex(source.ImageIndex());
    AssignPicture(source);
}

// ---- Pictures from files -------------------------------------------------------

QImage LoadPickerImageFile(const QString& fileName)
{
    // The picture store reads JPEG through the program's codec and the other
    // formats through the platform's.
    THTMLPicture picture;
    picture.LoadFromFile(fileName);
    return picture.Empty() ? QImage() : picture.Picture();
}

QStringList PickerFolderFiles(const QString& folder, const QString& mask)
{
    // Name filters of a folder listing ignore letter case unless asked not to.
    return QDir(folder).entryList(QStringList{mask}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
}

// ---- The edit ------------------------------------------------------------------

TExtImagePickerDropDown::TExtImagePickerDropDown(QWidget* parent)
    : TExtItemListDropDown(parent)
{
    CreateDropDownForm();
    FItems->OnChange = [](TStripButtonCollection<TImageItem>*) {};
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    setCursor(Qt::ArrowCursor);
}

TExtImagePickerDropDown::~TExtImagePickerDropDown() { delete FItemSelector; }

void TExtImagePickerDropDown::BeforeDropDown()
{
    TExtItemListDropDown::BeforeDropDown();
    if (OnDrawItem)
        FItemSelector->OnDrawItem = [this](QObject*, TCanvas* canvas, const TRect& r, int index) { OnDrawItem(this, canvas, r, index); };
    else
        FItemSelector->OnDrawItem = nullptr;
}

void TExtImagePickerDropDown::AdaptDropDownSize()
{
    if (!FItemSelector) {
        TExtCustomDropDown::AdaptDropDownSize();
        return;
    }
    const QSize panel = FItemSelector->GetSelectorPanelSize();
    if (DropDownWidth() < 1) FItemSelector->resize(panel.width(), FItemSelector->height());
    if (DropDownHeight() < 1) FItemSelector->resize(FItemSelector->width(), panel.height());
    TExtCustomDropDown::AdaptDropDownSize();
    if (FItemSelector->VertScrollBarVisible() && DropDownForm()) {
        const int bar = FItemSelector->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        DropDownForm()->resize(DropDownForm()->width() + bar, DropDownForm()->height());
    }
}

void TExtImagePickerDropDown::DoHideDropDown(bool cancel)
{
    TExtCustomDropDown::DoHideDropDown(cancel);
    if (cancel && FItemSelector) SetItemIndex(FOldItemIndex);
}

void TExtImagePickerDropDown::HandleMouseWheelDown()
{
    TExtCustomDropDown::HandleMouseWheelDown();
    if (!isEnabled() || ReadOnly() || !FItemSelector) return;
    if (DroppedDown()) {
        FItemSelector->HotNext();
        return;
    }
    // The list follows the edit's choice before it steps from it.
    FillSelector();
    FDriver.Internal([](TExtCustomItemSelector& s) { s.SelectNext(); });
}

void TExtImagePickerDropDown::HandleMouseWheelUp()
{
    TExtCustomDropDown::HandleMouseWheelUp();
    if (!isEnabled() || ReadOnly() || !FItemSelector) return;
    if (DroppedDown()) {
        FItemSelector->HotPrevious();
        return;
    }
    FillSelector();
    FDriver.Internal([](TExtCustomItemSelector& s) { s.SelectPrevious(); });
}

void TExtImagePickerDropDown::SetItemIndex(int value)
{
    if (value < 0) value = -1;
    if (value == FItemIndex || value >= FItems->Count()) return;
    FItemIndex = value;
    update();
    Change();
    if (OnSelect) OnSelect(this);
}

int TExtImagePickerDropDown::ImageIndex() const { return FItemIndex < 0 ? -1 : FItems->GetItem(FItemIndex)->ImageIndex(); }

void TExtImagePickerDropDown::SetImageIndex(int value)
{
    for (int i = 0; i < FItems->Count(); ++i) {
        if (FItems->GetItem(i)->ImageIndex() == value) {
            SetItemIndex(i);
            return;
        }
    }
    SetItemIndex(-1);
}

void TExtImagePickerDropDown::SelectorItemSelected()
{
    SetItemIndex(FItemSelector->ItemIndex());
    if (!FDriver.InternalCall()) DoHideDropDown(false);
}

void TExtImagePickerDropDown::AddImagesFromImageList()
{
    TCustomImageList* images = Images();
    if (!images) return;
    for (int i = 0; i < images->Count(); ++i) FItems->Add()->SetImageIndex(i);
}

void TExtImagePickerDropDown::AddImagesFromFolder(const QString& pathWithMask, bool setCaption)
{
    const QFileInfo info(pathWithMask);
    const QString folder = info.path();
    for (const QString& name : PickerFolderFiles(folder, info.fileName())) {
        TImageItem* item = FItems->Add();
        const QImage picture = LoadPickerImageFile(QDir(folder).filePath(name));
        if (picture.isNull()) continue;
        item->SetImage(picture);
        if (setCaption) item->SetCaption(name);
    }
}

// ---- Keys ----------------------------------------------------------------------

bool TExtImagePickerDropDown::TakeHotItem(int key)
{
    if (!isEnabled() || !DroppedDown() || !FItemSelector || (key != Qt::Key_Return && key != Qt::Key_Enter)) return false;
    const int hot = FItemSelector->ItemHot();
    if (hot < 0) return false;
    FItemSelector->SetItemIndex(hot);
    return true;
}

void TExtImagePickerDropDown::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool tookHot = TakeHotItem(key);
    FEditKey = true;
    TExtCustomDropDown::keyPressEvent(event);
    FEditKey = false;
    if (ListKeys(key, event->modifiers(), tookHot)) event->accept();
}

bool TExtImagePickerDropDown::WMKeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (FEditKey) return TExtCustomDropDown::WMKeyDown(key, shift);
    const bool tookHot = TakeHotItem(key);
    const bool consumed = TExtCustomDropDown::WMKeyDown(key, shift);
    return ListKeys(key, shift, tookHot) || consumed || tookHot;
}

bool TExtImagePickerDropDown::ListKeys(int key, Qt::KeyboardModifiers shift, bool tookHot)
{
    if (!isEnabled() || (shift & Qt::AltModifier)) return false;
    const bool open = DroppedDown();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!tookHot && OnSelect) OnSelect(this);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (!FItemSelector) break;
        if (FItemSelector->Items().Count() != FItems->Count()) FillSelector();
        FDriver.Page(key == Qt::Key_PageUp);
        break;
    case Qt::Key_End:
    case Qt::Key_Home:
        if (open)
            FDriver.Internal([key](TExtCustomItemSelector& s) { key == Qt::Key_End ? s.SelectLast() : s.SelectFirst(); });
        else
            key == Qt::Key_End ? SelectLast() : SelectFirst();
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (open && !EditorEnabled())
            FDriver.Internal([key](TExtCustomItemSelector& s) { key == Qt::Key_Left ? s.SelectPrevious() : s.SelectNext(); });
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (open && FItemSelector) {
            const int current = FItemSelector->ItemIndex();
            FDriver.Select(current < 0 ? 0 : current + (key == Qt::Key_Up ? -FColumns : FColumns));
        } else if (!open) {
            key == Qt::Key_Up ? SelectPrevious() : SelectNext();
        }
        break;
    default: FDriver.Search(key, shift & Qt::ControlModifier); break;
    }
    return open && IsListMoveKey(key);
}

// ---- Painting ------------------------------------------------------------------

void TExtImagePickerDropDown::paintEvent(QPaintEvent* event)
{
    TExtCustomDropDown::paintEvent(event);
    TCanvas canvas(this);
    DrawSelectedImage(canvas);
}

void TExtImagePickerDropDown::DrawSelectedImage(TCanvas& canvas)
{
    const TRect area = TRect::FromQRect(EditRect());
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, &canvas, area);
        return;
    }
    if (FItemIndex < 0) return;
    const TImageItem* item = FItems->GetItem(FItemIndex);
    TCustomImageList* images = Images();
    if (!item->Image().isNull()) {
        const QImage& picture = item->Image();
        canvas.Draw(area.Left + (area.Width() - picture.width()) / 2, area.Top + (area.Height() - picture.height()) / 2, picture);
    } else if (images && item->ImageIndex() >= 0) {
        images->Draw(canvas, area.Left + (area.Width() - images->Width()) / 2, area.Top + (area.Height() - images->Height()) / 2,
                     item->ImageIndex(), true);
    }
}
