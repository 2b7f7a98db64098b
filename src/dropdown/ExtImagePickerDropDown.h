#pragma once
// The image picker drop-down: the edit takes no typing and shows the chosen
// item's picture (or image-list image) centred in its text area; the pop-up
// holds an item selector with Columns columns of images, with captions and
// hints when given. The value is ItemIndex; ImageIndex is the chosen item's
// image-list index.
#include "controls/ExtDropDownAppearance.h"
#include "dropdown/ExtItemListDropDown.h"

#include <QImage>

class TImageItem : public TCaptionedItem<TImageItem> {
public:
    // Caption and ImageIndex through their writes, then the picture, the
    // enabled state and the hint.
    void Assign(const TImageItem& source);

private:
    friend class TStripButtonCollection<TImageItem>;
    explicit TImageItem(TStripButtonCollection<TImageItem>* collection) : TCaptionedItem(collection) {}
};

class TImageItems : public TStripButtonCollection<TImageItem> {
public:
    using TStripButtonCollection<TImageItem>::TStripButtonCollection;
};

// The picture of a file for the picker: JPEG through the program's JPEG
// codec, other formats through the platform's picture loading. Null when the
// file cannot be read or is no picture.
QImage LoadPickerImageFile(const QString& fileName);

// The names of the files (not folders) of `folder` that match `mask`
// ("*.png", "img?.*"; letter case ignored), in name order.
QStringList PickerFolderFiles(const QString& folder, const QString& mask);

class TExtImagePickerDropDown : public TExtItemListDropDown<TExtImagePickerDropDown, TImageItems> {
public:
    explicit TExtImagePickerDropDown(QWidget* parent = nullptr);
    ~TExtImagePickerDropDown() override;

    int Columns() const { return FColumns; }
    // Taken at the next opening.
    void SetColumns(int value) { FColumns = value; }
    // A new index below the count (negative: none) repaints the edit and
    // raises OnChange, then OnSelect.
    void SetItemIndex(int value);

    // The chosen item's image-list index (-1 without one); writing selects
    // the first item of that index, or none.
    int ImageIndex() const;
    void SetImageIndex(int value);
    // One item per image of Images, in order; existing items stay.
    void AddImagesFromImageList();
    // One item per file of the folder of `pathWithMask` that matches its
    // mask, with the file's picture (none when it is no picture) and, with
    // `setCaption`, the file name as caption.
    void AddImagesFromFolder(const QString& pathWithMask, bool setCaption);

    std::function<void(TExtImagePickerDropDown* sender)> OnSelect;
    std::function<void(TExtImagePickerDropDown* sender, TCanvas* canvas, const TRect& r)> OnDrawSelectedImage;
    std::function<void(QObject* sender, TCanvas* canvas, const TRect& r, int index)> OnDrawItem;

    // Also hands OnDrawItem to the selector.
    void BeforeDropDown() override;
    void AdaptDropDownSize() override;
    void DoHideDropDown(bool cancel) override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;
    bool WMKeyDown(int key, Qt::KeyboardModifiers shift) override;

    // The chosen picture centred in the edit's text area.
    void DrawSelectedImage(TCanvas& canvas);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void SelectorItemSelected() override;

private:
    // Enter over the hot item of the open list takes it; true when it did.
    bool TakeHotItem(int key);
    bool ListKeys(int key, Qt::KeyboardModifiers shift, bool tookHot);
};
