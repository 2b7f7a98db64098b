#include "dropdown/ExtImagePickerDropDown.h"

#include "controls/PictureContainer.h"
#include "dropdown/ExtTypeAhead.h"
#include "platform/ImageList.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>

// ---- Items -------------------------------------------------------------------

void TImageItem::SetCaption(const QString& value)
{
    if (value == FCaption) return;
    FCaption = value;
    Changed();
}

void TImageItem::SetImageIndex(int value)
{
    if (value == FImageIndex) return;
    FImageIndex = value;
    Changed();
}

void TImageItem::Assign(const TImageItem& source)
{
    if (&source == this) return;
    SetCaption(source.FCaption);
    SetImageIndex(source.FImageIndex);
    FImage = source.FImage;
    FEnabled = source.FEnabled;
    FHint = source.FHint;
}

int TImageItem::Index() const { return FCollection->IndexOf(this); }

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
    : TExtCustomDropDown(parent), FItems(std::make_unique<TImageItems>(this)), FItemAppearance(std::make_unique<TItemAppearance>(this))
{
    CreateDropDownForm();
    FItems->OnChange = [](TStripButtonCollection<TImageItem>*) {};
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    FKeyTimer.setInterval(500);
    FKeyTimer.setSingleShot(true);
    QObject::connect(&FKeyTimer, &QTimer::timeout, this, [this] { ResetTypeAhead(); });
    setCursor(Qt::ArrowCursor);
}

TExtImagePickerDropDown::~TExtImagePickerDropDown() { delete FItemSelector; }

void TExtImagePickerDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (!DropDownForm()) return;
    if (!FItemSelector) {
        FItemSelector = new TExtCustomItemSelector(DropDownForm());
        FItemSelector->SetSelectorType(TSelectorType::stImage);
        FItemSelector->setGeometry(0, 0, FItemSelector->width(), 150);
    }
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TExtImagePickerDropDown::FillSelector()
{
    if (!FItemSelector) return;
    FItemSelector->OnItemSelect = nullptr;
    FItemSelector->SetColumns(FColumns);
    FItemSelector->SetImages(Images());
    FItemSelector->SetItemLayout(FLayout);
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->SetItemAppearance(*FItemAppearance);
    TSelectorItems& items = FItemSelector->Items();
    const auto relayout = std::move(items.OnChange);
    items.OnChange = nullptr;
    items.Clear();
    for (int i = 0; i < FItems->Count(); ++i) {
        const TImageItem* source = FItems->GetItem(i);
        TSelectorItem* item = items.Add();
        item->SetCaption(source->Caption());
        item->SetImage(source->Image());
        item->SetImageIndex(source->ImageIndex());
        item->SetHint(source->Hint());
    }
    items.OnChange = relayout;
    FItemSelector->UpdateSelectorPanel();
    FItemSelector->SetItemIndex(FItemIndex);
    FItemSelector->OnItemSelect = [this](QObject*) { SelectorItemSelected(); };
}

void TExtImagePickerDropDown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    FillSelector();
    if (OnDrawItem)
        FItemSelector->OnDrawItem = [this](QObject*, TCanvas* canvas, const TRect& r, int index) { OnDrawItem(this, canvas, r, index); };
    else
        FItemSelector->OnDrawItem = nullptr;
    FOldItemIndex = FItemIndex;
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
    FInternalCall = true;
    FItemSelector->SelectNext();
    FInternalCall = false;
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
    FInternalCall = true;
    FItemSelector->SelectPrevious();
    FInternalCall = false;
}

void TExtImagePickerDropDown::SetSelectionColorStyle(TSelectionColorStyle value)
{
    TExtCustomDropDown::SetSelectionColorStyle(value);
    if (FItemSelector) FItemSelector->ItemAppearance().SetColorStyle(value);
}

void TExtImagePickerDropDown::SetComponentStyle(TStudioStyle style)
{
    TExtCustomDropDown::SetComponentStyle(style);
    ApplyItemAppearanceStyle(FItemAppearance.get(), style);
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

void TExtImagePickerDropDown::SelectFirst()
{
    if (FItems->Count() > 0) SetItemIndex(0);
}

void TExtImagePickerDropDown::SelectLast()
{
    if (FItems->Count() > 0) SetItemIndex(FItems->Count() - 1);
}

void TExtImagePickerDropDown::SelectNext()
{
    if (FItems->Count() == 0) return;
    if (FItemIndex < 0) SetItemIndex(0);
    else if (FItemIndex < FItems->Count() - 1) SetItemIndex(FItemIndex + 1);
}

void TExtImagePickerDropDown::SelectPrevious()
{
    if (FItems->Count() == 0) return;
    if (FItemIndex < 0) SetItemIndex(0);
    else if (FItemIndex > 0) SetItemIndex(FItemIndex - 1);
}

void TExtImagePickerDropDown::SelectorItemSelected()
{
    SetItemIndex(FItemSelector->ItemIndex());
    if (!FInternalCall) DoHideDropDown(false);
}

void TExtImagePickerDropDown::ResetTypeAhead()
{
    FKeyTimer.stop();
    FCurSearch.clear();
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

void TExtImagePickerDropDown::SelectInSelector(int index)
{
    if (index < 0 || index >= FItemSelector->Items().Count()) return;
    FInternalCall = true;
    FItemSelector->SetItemIndex(index);
    FInternalCall = false;
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
    case Qt::Key_PageDown: {
        if (!FItemSelector) break;
        if (FItemSelector->Items().Count() != FItems->Count()) FillSelector();
        const int n = FItemSelector->GetVisibleItemCount();
        if (n < 1) break;
        const int current = FItemSelector->ItemIndex();
        const int last = FItemSelector->Items().Count() - 1;
        SelectInSelector(key == Qt::Key_PageUp ? std::max(0, current - n) : std::min(last, current + n));
        break;
    }
    case Qt::Key_End:
    case Qt::Key_Home:
        if (open && FItemSelector) {
            FInternalCall = true;
            key == Qt::Key_End ? FItemSelector->SelectLast() : FItemSelector->SelectFirst();
            FInternalCall = false;
        } else if (!open) {
            key == Qt::Key_End ? SelectLast() : SelectFirst();
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (open && !EditorEnabled() && FItemSelector) {
            FInternalCall = true;
            key == Qt::Key_Left ? FItemSelector->SelectPrevious() : FItemSelector->SelectNext();
            FInternalCall = false;
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (open && FItemSelector) {
            const int current = FItemSelector->ItemIndex();
            const int step = key == Qt::Key_Up ? -FColumns : FColumns;
            SelectInSelector(current < 0 ? 0 : current + step);
        } else if (!open) {
            key == Qt::Key_Up ? SelectPrevious() : SelectNext();
        }
        break;
    default: {
        const QString c = TypeAheadSearchKey(key, shift & Qt::ControlModifier);
        if (c.isEmpty() || !FItemSelector) break;
        FCurSearch += c;
        FInternalCall = true;
        FItemSelector->LookupItem(FCurSearch);
        FInternalCall = false;
        FKeyTimer.start();
        break;
    }
    }
    const bool moves = key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up || key == Qt::Key_Down ||
                       key == Qt::Key_Left || key == Qt::Key_Right;
    return open && moves;
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
