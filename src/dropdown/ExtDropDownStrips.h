#pragma once
// The strips of a drop-down pop-up and their buttons.
//
// TExtHeader (top) and TExtFooter (bottom) paint a gradient, a border, an
// image and a caption from a private copy of the edit's appearance and carry
// one TExtButton per item of the appearance's button collection. The footer
// draws a size grip; dragging it resizes the pop-up (a pop-up window has no
// window-manager border, so the drag is our own). TExtButton is a flat
// gradient button painted from the edit's TExtButtonAppearance; an idle
// button shows the strip behind it.
#include "controls/ExtDropDownAppearance.h"
#include "platform/Canvas.h"
#include "platform/ImageList.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class TExtCustomDropDown;

enum class TExtButtonStyle { tasButton, tasCheck };
enum class TExtButtonState { absUp, absDisabled, absDown, absDropDown, absExclusive };

// ---- Strip button ----------------------------------------------------------

class TExtButton : public QWidget {
public:
    explicit TExtButton(QWidget* parent);

    TExtButtonAppearance* Appearance() const { return FAppearance; }
    void SetAppearance(TExtButtonAppearance* value);
    TCustomImageList* Images() const { return FImages.get(); }
    void SetImages(TCustomImageList* value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }
    TExtCustomDropDown* ExtDropDown() const { return FExtDropDown; }
    void SetExtDropDown(TExtCustomDropDown* value) { FExtDropDown = value; }
    int Tag() const { return FTag; }
    void SetTag(int value) { FTag = value; }

    TExtButtonStyle Style() const { return FStyle; }
    void SetStyle(TExtButtonStyle value) { FStyle = value; }
    TExtButtonState State() const { return FState; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value) { FGroupIndex = value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value) { FAllowAllUp = value; }
    bool Down() const { return FDown; }
    void SetDown(bool value);
    bool MouseInControl() const { return FMouseInControl; }

    // Sets the modal result of the pop-up, closes it through the edit for a
    // closing result and raises OnClick.
    virtual void Click();
    // Paints the face on any canvas of the button's size.
    virtual void DrawButton(TCanvas& canvas);
    // Caption and image size plus a margin.
    void AutoSizeToContent();
    void SetBounds(int left, int top, int width, int height) { setGeometry(left, top, width, height); }

    std::function<void(TExtButton* sender)> OnClick;
    std::function<void(TExtButton* sender)> OnMouseEnter;
    std::function<void(TExtButton* sender)> OnMouseLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Another button of the same group went down.
    void GroupButtonDown(TExtButton* other);
    void SyncState();

    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    int FOffSet = 4;
    bool FMouseInControl = false;
    bool FHot = false;
    TExtButtonStyle FStyle = TExtButtonStyle::tasButton;
    TExtButtonState FState = TExtButtonState::absUp;
    bool FMouseDownInControl = false;
    bool FGrouped = true;
    bool FDragging = false;
    bool FInternalClick = false;
    TExtButtonAppearance* FAppearance = nullptr;
    TImageListRef FImages;
    int FImageIndex = -1;
    int FModalResult = 0;
    QPointer<TExtCustomDropDown> FExtDropDown;
    QString FCaption;
    int FTag = 0;
};

// ---- Strips ----------------------------------------------------------------

using TDrawBackGroundEvent = std::function<void(QWidget* sender, TCanvas& canvas, const TRect& r)>;
using TGetTextEvent = std::function<void(QWidget* sender, QString& text)>;

// What a strip paints from, whichever appearance it copies.
struct TStripLook {
    TColor Color, ColorTo, BorderColor;
    TGradientDirection GradientDirection;
    int BorderWidth, ImageIndex;
    QString Caption;
    QFont Font;
    TColor FontColor;
    TButtonAlignment ButtonAlignment;
};

// One button item, whichever collection it comes from.
struct TStripButtonItem {
    QString Caption;
    int ImageIndex;
    bool Enabled;
    int Width, Height;
    int ModalResult;
};

// What the header and the footer share.
class TExtStrip : public QWidget {
public:
    explicit TExtStrip(QWidget* parent);
    ~TExtStrip() override;

    TCustomImageList* Images() const { return FImages.get(); }
    void SetImages(TCustomImageList* value) { FImages = value; }
    TExtCustomDropDown* ExtDropDown() const { return FExtDropDown; }

    virtual void AttachDropDown(TExtCustomDropDown* edit) = 0;
    void RefreshButtons();
    // Sets Visible and Height from the private appearance.
    virtual void AppearanceChanged() = 0;

    virtual void BuildButtons();
    virtual void ClearButtons();
    virtual void ArrangeButtons();
    virtual void UpdateButtons();

    // The area the buttons are laid out in.
    virtual TRect ButtonArea() const = 0;
    const TDbgList<TExtButton*>& ButtonList() const { return FButtonList; }

    // Paints the strip onto any canvas of its size.
    void PaintStrip(TCanvas& canvas);

    TDrawBackGroundEvent OnDrawBackGround;
    TGetTextEvent OnGetText;

protected:
    virtual TStripLook Look() const = 0;
    virtual int ItemCount() const = 0;
    virtual TStripButtonItem Item(int index) const = 0;
    virtual bool IsFooter() const = 0;
    virtual void PaintBorder(TCanvas& canvas, const TRect& client, const TStripLook& look) = 0;
    // After the caption (the footer's size grip).
    virtual void PaintExtra(TCanvas& canvas, const TRect& client, const TStripLook& look) { (void)canvas, (void)client, (void)look; }
    virtual void ButtonClicked(TExtButton* button) = 0;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    TImageListRef FImages;
    QPointer<TExtCustomDropDown> FExtDropDown;
    TDbgList<TExtButton*> FButtonList;
};

class TExtHeader : public TExtStrip {
public:
    explicit TExtHeader(QWidget* parent);

    THeaderAppearance& Appearance() { return *FAppearance; }
    void SetAppearance(const THeaderAppearance& value) { FAppearance->Assign(value); }
    // The attached edit's header buttons; null while unattached.
    THeaderButtons* Buttons() const;

    void AttachDropDown(TExtCustomDropDown* edit) override;
    void AppearanceChanged() override;
    TRect ButtonArea() const override;

protected:
    TStripLook Look() const override;
    int ItemCount() const override;
    TStripButtonItem Item(int index) const override;
    bool IsFooter() const override { return false; }
    void PaintBorder(TCanvas& canvas, const TRect& client, const TStripLook& look) override;
    void ButtonClicked(TExtButton* button) override;

private:
    std::unique_ptr<THeaderAppearance> FAppearance;
};

class TExtFooter : public TExtStrip {
public:
    explicit TExtFooter(QWidget* parent);

    TFooterAppearance& Appearance() { return *FAppearance; }
    void SetAppearance(const TFooterAppearance& value) { FAppearance->Assign(value); }
    TFooterButtons* Buttons() const;

    void AttachDropDown(TExtCustomDropDown* edit) override;
    void AppearanceChanged() override;
    TRect ButtonArea() const override;
    // The footer's SizeGrip with an attached edit whose pop-up is sizeable.
    bool SizeGripActive() const;
    // The corner in which a press starts resizing.
    bool InGripCorner(QPoint p) const;
    // The six squares of the grip, white ones first, for the client width
    // and height.
    static std::vector<std::pair<QPoint, TColor>> GripSquares(int clientRight, int bottom, int borderWidth, TColor borderColor);

protected:
    TStripLook Look() const override;
    int ItemCount() const override;
    TStripButtonItem Item(int index) const override;
    bool IsFooter() const override { return true; }
    void PaintBorder(TCanvas& canvas, const TRect& client, const TStripLook& look) override;
    void PaintExtra(TCanvas& canvas, const TRect& client, const TStripLook& look) override;
    void ButtonClicked(TExtButton* button) override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    std::unique_ptr<TFooterAppearance> FAppearance;
    bool FGripDrag = false;
};
