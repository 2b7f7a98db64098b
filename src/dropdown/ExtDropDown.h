#pragma once
// The drop-down edit base: a single-line edit with a button at its right edge
// that opens a pop-up window holding the editor's own control between an
// optional header strip and an optional footer strip. Every drop-down editor
// derives from TExtCustomDropDown and overrides its virtual steps to build,
// fill, place and read its control.
//
// - TExtCustomDropDown: the edit (a QLineEdit; its formatting rectangle is the
//   line edit's text margins), the value with prefix and suffix, focus, mouse,
//   borders, the focus highlight, the attached label, the styles.
// - TDropDownEditButton with TExtDropDownSpeedButton: the button; a click
//   opens on the release of the left button.
// - TDropDownForm: the pop-up, a top-level Qt::Popup window. A press outside
//   it closes it as a deactivation does; keys of the pop-up and of the hosted
//   control reach the edit's handlers by direct calls.
//
// Placement and the label position are pure functions of their inputs. The
// 250 ms guard against reopening a pop-up that a click on the button has just
// closed reads a replaceable millisecond clock. There is no drop shadow.
#include "controls/ExtDropDownAppearance.h"
#include "controls/ExtDropDownDraw.h"
#include "controls/ExtStyleIF.h"
#include "dropdown/ExtDropDownInput.h"
#include "dropdown/ExtDropDownStyles.h"
#include "platform/ImageList.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

class QKeyEvent;
class QLabel;
class TExtCustomDropDown;
class TDropDownEditButton;
class TExtHeader;
class TExtFooter;

enum class TDropDownEditType {
    etString,
    etNumeric,
    etFloat,
    etUppercase,
    etMixedCase,
    etLowerCase,
    etPassword,
    etMoney,
    etRange,
    etHex,
    etAlphaNumeric,
    etValidChars
};

enum class TDropPosition { dpAuto, dpDown, dpUp };

enum class TLabelPosition {
    lpLeftTop,
    lpLeftCenter,
    lpLeftBottom,
    lpTopLeft,
    lpBottomLeft,
    lpLeftTopLeft,
    lpLeftCenterLeft,
    lpLeftBottomLeft,
    lpTopCenter,
    lpBottomCenter,
    lpRightTop,
    lpRightCenter,
    lpRighBottom,
    lpTopRight,
    lpBottomRight
};

enum class TButtonStyle { bsButton, bsDropDown };

// ---- Clock -----------------------------------------------------------------

// Milliseconds of a monotonic clock, wrapping at 2^32.
using TTickCountSource = std::function<uint32_t()>;
uint32_t DropDownTickCount();
// Installs a clock (tests) and returns the one it replaces; empty restores
// the system clock.
TTickCountSource SetDropDownTickCountSource(TTickCountSource source);

// ---- Pure layout -----------------------------------------------------------

// Where a pop-up of `size` opens for an edit whose top-left corner is
// `anchor` (screen coordinates) and whose height is `editHeight`, on the
// screen whose work area is `workArea`:
// - dpDown below the edit (top = anchor.y + editHeight - 1), dpUp above it
//   (bottom = anchor.y), dpAuto below when it fits above the work area's
//   bottom, else above;
// - a pop-up that starts left of the work area's right edge and reaches past
//   it moves left to end there. Nothing else is clamped.
QPoint PlaceDropDown(QPoint anchor, int editHeight, QSize size, TDropPosition position, const QRect& workArea);
// The work area of the screen holding `point` (the primary screen's when
// none does).
QRect DropDownWorkArea(QPoint point);

// The top-left corner of a label of `labelSize` attached to an edit at
// `edit`, `margin` pixels away; `textWidth` is the measured caption width.
QPoint LabelPlacement(TLabelPosition position, const QRect& edit, QSize labelSize, int textWidth, int margin);

// The drop-down button's rectangle in an edit of width x height.
QRect DropDownButtonRect(int width, int height, int buttonWidth, bool flat);

// ---- The button ------------------------------------------------------------

// The speed button that fills the drop-down button and paints its face.
class TExtDropDownSpeedButton : public QWidget {
public:
    explicit TExtDropDownSpeedButton(TDropDownEditButton* container);

    TButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TButtonStyle value);
    bool Etched() const { return FEtched; }
    void SetEtched(bool value);
    bool Focused() const { return FFocused; }
    void SetFocused(bool value);
    bool Hot() const { return FHot; }
    // True: never drawn pressed.
    void SetUp(bool value) { FUp = value; }
    // Pressed: the button is down and not held up.
    bool Pressed() const { return FDown && !FUp; }

    const QImage& Glyph() const { return FGlyph; }
    void SetGlyph(const QImage& value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value) { FNumGlyphs = value; }

    // Paints the face on any canvas of the button's size.
    void Paint(TCanvas& canvas);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void PaintDropDownFace(TCanvas& canvas);
    void PaintButtonFace(TCanvas& canvas);
    void PaintClassicFace(TCanvas& canvas, bool pressed);

    TDropDownEditButton* FContainer;
    TButtonStyle FButtonStyle = TButtonStyle::bsDropDown;
    bool FEtched = false;
    bool FFocused = false;
    bool FHot = false;
    bool FUp = false;
    bool FDown = false;
    QImage FGlyph;
    QString FCaption;
    int FNumGlyphs = 1;
};

// The button at the right edge of the edit; always BWidth wide.
class TDropDownEditButton : public QWidget {
public:
    explicit TDropDownEditButton(QWidget* parent);

    TExtDropDownSpeedButton* Button() const { return FButton; }
    // The edit it serves (cleared when the edit goes).
    QWidget* FocusControl() const { return FFocusControl; }
    void SetFocusControl(QWidget* value) { FFocusControl = value; }
    TExtCustomDropDown* Edit() const;

    int BWidth() const { return FBWidth; }
    void SetBWidth(int value);

    // Applies the size rule: width BWidth, the speed button over it all.
    void SetBounds(int left, int top, int width, int height);

    const QImage& Glyph() const { return FButton->Glyph(); }
    void SetGlyph(const QImage& value) { FButton->SetGlyph(value); }
    QString ButtonCaption() const { return FButton->Caption(); }
    void SetButtonCaption(const QString& value) { FButton->SetCaption(value); }
    int NumGlyphs() const { return FButton->NumGlyphs(); }
    void SetNumGlyphs(int value) { FButton->SetNumGlyphs(value); }

    TColor ButtonColor = clNone;
    TColor ButtonColorHot = clNone;
    TColor ButtonColorDown = clNone;
    TColor ButtonTextColor = clNone;
    TColor ButtonTextColorHot = clNone;
    TColor ButtonTextColorDown = clNone;
    TColor ButtonBorderColor = clNone;

    // Fired by a left-button release over the speed button.
    std::function<void(TDropDownEditButton* sender)> OnClick;

    // Called by the speed button on a release.
    void SpeedButtonMouseUp(Qt::MouseButton button, bool inside);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TExtDropDownSpeedButton* FButton;
    QPointer<QWidget> FFocusControl;
    int FBWidth = 16;
};

// ---- The pop-up window -----------------------------------------------------

class TDropDownForm : public QWidget {
public:
    explicit TDropDownForm(TExtCustomDropDown* owner);
    ~TDropDownForm() override;

    TExtCustomDropDown* ExtDropDown() const { return FExtDropDown; }
    void SetExtDropDown(TExtCustomDropDown* value) { FExtDropDown = value; }
    TExtHeader* Header() const { return FHeader; }
    TExtFooter* Footer() const { return FFooter; }

    // Creates, refreshes, shows or hides the strips from the edit's
    // appearances and routes the edit's strip events to them.
    void InitializeAndUpdate();
    virtual void UpdateSize() {}

    bool FShadow = true;
    bool FCancelOnDeActivate = true;
    uint32_t FDeActivate = 0;
    bool FBlockActivate = false;
    bool FSizeable = false;
    std::function<void(TDropDownForm* sender)> FOnSizing;

    // Set by a footer button before it acts.
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }

    // Places the strips and the hosted control in the client area.
    void ArrangeChildren();
    // The client area less the border on every side.
    QRect InnerRect() const;
    // Paints the background and border onto any canvas of the window's size.
    void PaintBackground(TCanvas& canvas);

    // A press at a global position outside the window (also called by Qt's
    // closing of a pop-up): closes through the edit unless blocked or the
    // point lies in a window opened from this one.
    void Deactivate(QPoint globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TExtCustomDropDown;
    friend class TExtFooter;
    // A drag of the bottom-right corner resizes the window.
    void BeginSizing(QPoint globalPos);
    void SizeTo(QPoint globalPos);

    TExtCustomDropDown* FExtDropDown;
    TExtHeader* FHeader = nullptr;
    TExtFooter* FFooter = nullptr;
    int FModalResult = 0;
    bool FSizing = false;
    QPoint FSizeStart;
    QSize FSizeStartSize;
    // The last key event of the hosted control that the edit has seen.
    struct TForwardedKey {
        const QKeyEvent* Event = nullptr;
        int Type = 0;
        int Key = 0;
        quint64 Timestamp = 0;
    } FForwarded;
    void RememberForwarded(const QKeyEvent* event);
    bool AlreadyForwarded(const QKeyEvent* event) const;
    QPointer<QWidget> FWatchedControl;
};

// ---- The edit --------------------------------------------------------------

class TExtCustomDropDown : public QLineEdit, public IStudioStyle, public IStudioTones {
public:
    explicit TExtCustomDropDown(QWidget* parent = nullptr);
    ~TExtCustomDropDown() override;

    // -- value ----------------------------------------------------------------
    // The edit's text without Prefix and Suffix.
    QString Text() const;
    virtual void SetText(const QString& value);
    // The edit's text as given, with no bookkeeping.
    void SetTextDirect(const QString& value);
    void SetModifiedState(bool value);
    bool IsModified() const { return FIsModified; }
    void SelectAll();
    void SelectBeforeDecimal();
    void SelectAfterDecimal();
    QString OldText() const { return FOldText; }

    TDropDownEditType EditType() const { return FInput.EditType; }
    void SetEditType(TDropDownEditType value);
    bool EditorEnabled() const { return FInput.EditorEnabled; }
    void SetEditorEnabled(bool value);
    QString Prefix() const { return FInput.Prefix; }
    void SetPrefix(const QString& value);
    QString Suffix() const { return FInput.Suffix; }
    void SetSuffix(const QString& value);
    int Precision() const { return FInput.Precision; }
    // Only etString, etFloat and etMoney take a precision; the value is
    // rewritten with it.
    void SetPrecision(int value);
    int LengthLimit() const { return FInput.LengthLimit; }
    void SetLengthLimit(int value) { FInput.LengthLimit = value; }
    bool Signed() const { return FInput.Signed; }
    void SetSigned(bool value) { FInput.Signed = value; }
    QString ValidChars() const { return FInput.ValidChars; }
    void SetValidChars(const QString& value) { FInput.ValidChars = value; }
    bool AllowNumericNullValue() const { return FAllowNumericNullValue; }
    void SetAllowNumericNullValue(bool value) { FAllowNumericNullValue = value; }
    bool AutoThousandSeparator() const { return FInput.AutoThousandSeparator; }
    void SetAutoThousandSeparator(bool value) { FInput.AutoThousandSeparator = value; }
    bool ExcelStyleDecimalSeparator() const { return FInput.ExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool value) { FInput.ExcelStyleDecimalSeparator = value; }
    bool ReturnIsTab() const { return FInput.ReturnIsTab; }
    void SetReturnIsTab(bool value) { FInput.ReturnIsTab = value; }
    bool DefaultHandling() const { return FInput.DefaultHandling; }
    void SetDefaultHandling(bool value) { FInput.DefaultHandling = value; }
    bool CanUndo() const { return FInput.CanUndo; }
    void SetCanUndo(bool value) { FInput.CanUndo = value; }
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool value) { FAutoSelect = value; }
    bool ReadOnly() const { return FInput.ReadOnly; }
    void SetReadOnly(bool value);

    // -- numbers and input -----------------------------------------------------
    // The value as a number (0 for a value that is none).
    double FloatValue() const;
    void SetFloatValue(double value);
    void SetIntValue(int value);
    // Regroups the integer part of an etMoney value, keeping the caret.
    void FormatMoneyText();
    // The input settings and the edit state the input engine works on.
    TDropDownInputSettings InputSettings() const;
    TDropDownEditState EditState() const;
    void SetEditState(const TDropDownEditState& state);
    // One character as typed (the grid hands its start character this way).
    void TypeChar(QChar c, bool keypad = false);
    // Cut, copy and paste through the clipboard with their events.
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    // Runs for every change of the edit text (fires OnChange).
    virtual void Change();
    std::function<void(TExtCustomDropDown* sender)> OnChange;

    // -- pop-up ---------------------------------------------------------------
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int value);
    int DropDownHeight() const { return FDropDownHeight; }
    void SetDropDownHeight(int value);
    TColor DropDownColor() const { return FDropDownColor; }
    void SetDropDownColor(TColor value) { FDropDownColor = value; }
    TColor DropDownColorTo() const { return FDropDownColorTo; }
    void SetDropDownColorTo(TColor value) { FDropDownColorTo = value; }
    TGradientDirection DropDownGradient() const { return FDropDownGradient; }
    void SetDropDownGradient(TGradientDirection value) { FDropDownGradient = value; }
    TColor DropDownBorderColor() const { return FDropDownBorderColor; }
    void SetDropDownBorderColor(TColor value) { FDropDownBorderColor = value; }
    int DropDownBorderWidth() const { return FDropDownBorderWidth; }
    void SetDropDownBorderWidth(int value) { FDropDownBorderWidth = value; }
    bool DropDownSizeable() const { return FDropDownSizeable; }
    void SetDropDownSizeable(bool value) { FDropDownSizeable = value; }
    bool DropDownShadow() const { return FDropDownShadow; }
    void SetDropDownShadow(bool value) { FDropDownShadow = value; }
    bool ForceShadow() const { return FForceShadow; }
    void SetForceShadow(bool value) { FForceShadow = value; }
    TDropPosition DropPosition() const { return FDropPosition; }
    void SetDropPosition(TDropPosition value) { FDropPosition = value; }
    bool DropDownEnabled() const { return FDropDownEnabled; }
    void SetDropDownEnabled(bool value) { FDropDownEnabled = value; }
    int DropDownButtonWidth() const { return FDropDownButtonWidth; }
    void SetDropDownButtonWidth(int value);
    QString DropDownButtonHint() const { return FDropDownButtonHint; }
    void SetDropDownButtonHint(const QString& value);
    QImage DropDownButtonGlyph() const;
    void SetDropDownButtonGlyph(const QImage& value);
    QString DropDownButtonCaption() const;
    void SetDropDownButtonCaption(const QString& value);
    TExtButtonAppearance& ButtonAppearance() { return *FButtonAppearance; }
    void SetButtonAppearance(const TExtButtonAppearance& value) { FButtonAppearance->Assign(value); }
    THeaderAppearance& DropDownHeader() { return *FDropDownHeader; }
    void SetDropDownHeader(const THeaderAppearance& value) { FDropDownHeader->Assign(value); }
    TFooterAppearance& DropDownFooter() { return *FDropDownFooter; }
    void SetDropDownFooter(const TFooterAppearance& value) { FDropDownFooter->Assign(value); }
    TCustomImageList* Images() const { return FImages.get(); }
    void SetImages(TCustomImageList* value) { FImages = value; }
    QWidget* Control() const { return FControl; }
    void SetControl(QWidget* value);
    QWidget* FocusControl() const { return FFocusControl; }
    void SetFocusControl(QWidget* value) { FFocusControl = value; }
    TDropDownEditButton* Button() const { return FButton; }
    TDropDownForm* DropDownForm() const { return FDropDownForm; }
    bool DroppedDown() const { return FDroppedDown; }
    int UserDropDownWidth() const { return FUserDropDownWidth; }
    int UserDropDownHeight() const { return FUserDropDownHeight; }

    // -- look -----------------------------------------------------------------
    TSelectionColorStyle SelectionColorStyle() const { return FSelectionColorStyle; }
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor value) { FSelectionColor = value; }
    TColor SelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(TColor value) { FSelectionColorTo = value; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value);
    TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(TColor value);
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool value) { FDisabledBorder = value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    bool Etched() const { return FEtched; }
    void SetEtched(bool value);
    bool FocusDraw() const { return FFocusDraw; }
    void SetFocusDraw(bool value) { FFocusDraw = value; }
    QString Version() const;
    void SetVersion(const QString&) {}

    // -- attached label -------------------------------------------------------
    QString LabelCaption() const { return FLabelCaption; }
    void SetLabelCaption(const QString& value);
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition value);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int value);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool value);
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool value) { FLabelAlwaysEnabled = value; }
    const QFont& LabelFont() const { return FLabelFont; }
    void SetLabelFont(const QFont& value);
    QLabel* Label() const { return FLabel; }
    void UpdateLabelPosition();

    // -- operations -----------------------------------------------------------
    void ShowDropDown() { DoShowDropDown(); }
    void HideDropDown(bool cancelChanges) { DoHideDropDown(cancelChanges); }
    void Assign(const TExtCustomDropDown& source);
    // Inherited placement, then the label follows.
    void SetBounds(int left, int top, int width, int height);
    // The minimum height: the font's text height plus a quarter of the
    // smaller of it and the system font's.
    int MinimumHeight() const;
    // The formatting rectangle last set.
    QRect EditRect() const { return FEditRect; }

    // The key-down and character steps the grid's wrappers call directly.
    // KeyDown fires OnKeyDown, then Alt+Up / Alt+Down toggles the pop-up.
    virtual void KeyDown(int& key, Qt::KeyboardModifiers shift);
    // Fires OnKeyPress, then Enter becomes 0.
    virtual void KeyPress(QChar& key);
    // The edit's key-down handling of the pop-up keys; true when the key
    // was consumed.
    virtual bool WMKeyDown(int key, Qt::KeyboardModifiers shift);
    // A character typed while the pop-up has the keyboard.
    virtual void WMChar(QChar c);
    // The focus-gain steps: remember the value, then select it (AutoSelect)
    // or put the caret before the decimal separator of a number.
    void WMSetFocus();
    // Enter and Escape before the key handling: Escape (with CanUndo)
    // selects the value, clears the modified state and becomes 0. True when
    // the edit wants the key itself (Escape while dropped down).
    bool CMWantSpecialKey(int& key);

    void SetComponentStyle(TStudioStyle style) override;
    TStudioStyle GetComponentStyle() const { return FStudioStyle; }
    void SetColorTones(const TColorTones& tones) override;
    virtual void SetSelectionColorStyle(TSelectionColorStyle value);
    virtual void DrawSelectionBackground(TCanvas& canvas, const TRect& r, int part, TColor backgroundColor);
    virtual void DrawGradient(TCanvas& canvas, TColor fromColor, TColor toColor, int steps, const TRect& r, bool direction);

    // -- the virtual steps of the cycle, in their order -------------------------
    virtual void DoLabelClick();
    virtual void DoLabelDblClick();
    virtual int GetVersionNr() const { return 0x01020104; }
    virtual void CreateDropDownForm();
    virtual void CreateDropDownButton();
    virtual void UpdateDropDownButton();
    virtual void BeforeDropDown();
    virtual void AdaptDropDownHeight(int& height) { (void)height; }
    virtual void FocusDropDownControl();
    virtual void DoShowDropDown();
    virtual void PlaceDropDownControl();
    virtual void AdaptDropDownSize();
    virtual void DoHideDropDown(bool cancel);
    virtual void DropDownFormHide();
    virtual void DropDownFormDestroy() {}
    virtual void DropDownFormMouseWheelDown() { HandleMouseWheelDown(); }
    virtual void DropDownFormMouseWheelUp() { HandleMouseWheelUp(); }
    virtual void DropDownFormKeyPress(QChar& key);
    virtual void DropDownFormKeyDown(int& key, Qt::KeyboardModifiers shift);
    virtual void DropDownFormKeyUp(int& key, Qt::KeyboardModifiers shift);
    virtual void ControlKeyDown(int& key, Qt::KeyboardModifiers shift);
    virtual void ControlKeyUp(int& key, Qt::KeyboardModifiers shift);
    virtual void ControlKeyPress(QChar& key);
    virtual void DropDownFormSizing() {}
    virtual void HandleMouseWheelDown() {}
    virtual void HandleMouseWheelUp() {}
    virtual void PaintFocusHighlight(TCanvas& canvas);
    virtual void SetEditRect();
    virtual void ResizeControl();
    void DropDownButtonClick();

    // -- events ---------------------------------------------------------------
    std::function<void(TExtCustomDropDown* sender)> OnBeforeDropDown;
    std::function<void(TExtCustomDropDown* sender, bool& acceptDrop)> OnDropDown;
    std::function<void(TExtCustomDropDown* sender)> OnBeforeDropUp;
    std::function<void(TExtCustomDropDown* sender, bool cancelled)> OnDropUp;
    std::function<void(TExtCustomDropDown* sender, int buttonIndex)> OnDropDownHeaderButtonClick;
    std::function<void(TExtCustomDropDown* sender, int buttonIndex)> OnDropDownFooterButtonClick;
    std::function<void(QWidget* sender, TCanvas& canvas, const TRect& r)> OnDrawHeader;
    std::function<void(QWidget* sender, TCanvas& canvas, const TRect& r)> OnDrawFooter;
    std::function<void(QWidget* sender, QString& text)> OnGetHeaderText;
    std::function<void(QWidget* sender, QString& text)> OnGetFooterText;
    std::function<void(TExtCustomDropDown* sender, const QString& text, bool& allow)> OnClipboardCopy;
    std::function<void(TExtCustomDropDown* sender, const QString& text, bool& allow)> OnClipboardCut;
    std::function<void(TExtCustomDropDown* sender, const QString& text, bool& allow)> OnClipboardPaste;
    std::function<void(TExtCustomDropDown* sender)> OnLabelClick;
    std::function<void(TExtCustomDropDown* sender)> OnLabelDblClick;
    std::function<void(TExtCustomDropDown* sender, int& key, Qt::KeyboardModifiers shift)> OnKeyDown;
    std::function<void(TExtCustomDropDown* sender, QChar& key)> OnKeyPress;
    std::function<void(TExtCustomDropDown* sender, int& key, Qt::KeyboardModifiers shift)> OnKeyUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    // Applies a result of the input engine; false: the key goes on to the
    // parent window.
    bool ApplyInput(const TDropDownInputResult& result);

    // The frame of the edit by its state (Algorithms of the borders).
    void DrawBorder(TCanvas& canvas);
    // Whether the button is drawn focused: mouse over the edit or focus in it.
    void UpdateButtonFocus();
    void HeaderChanged();
    void FooterChanged();
    void UpdateReadOnlyState();

    QString FOldText;
    QString FOldString;
    int FUserDropDownWidth = -1;
    int FUserDropDownHeight = -1;
    bool FIsModified = false;
    bool FBlockChange = false;
    bool FBlockCopy = false;
    bool FButtonDown = false;
    bool FMouseInControl = false;
    QRect FEditRect;
    TStudioStyle FStudioStyle = tsOffice2007Luna;
    QPointer<QLabel> FLabel;
    TDropDownForm* FDropDownForm = nullptr;
    TDropDownEditButton* FButton = nullptr;

private:
    // The input settings, kept in the form the input engine takes them.
    TDropDownInputSettings FInput;
    bool FAllowNumericNullValue = false;
    bool FAutoSelect = true;
    int FDropDownWidth = 0;
    int FDropDownHeight = 0;
    TColor FDropDownColor = 0xFFFFFF;
    TColor FDropDownColorTo = clNone;
    TGradientDirection FDropDownGradient = TGradientDirection::gdHorizontal;
    TColor FDropDownBorderColor = 0x000000;
    int FDropDownBorderWidth = 1;
    bool FDropDownSizeable = true;
    bool FDropDownShadow = true;
    bool FForceShadow = false;
    TDropPosition FDropPosition = TDropPosition::dpAuto;
    bool FDropDownEnabled = false;
    int FDropDownButtonWidth = 17;
    QString FDropDownButtonHint;
    std::unique_ptr<TExtButtonAppearance> FButtonAppearance;
    std::unique_ptr<THeaderAppearance> FDropDownHeader;
    std::unique_ptr<TFooterAppearance> FDropDownFooter;
    TImageListRef FImages;
    QPointer<QWidget> FControl;
    QPointer<QWidget> FFocusControl;
    bool FDroppedDown = false;
    TSelectionColorStyle FSelectionColorStyle = TSelectionColorStyle::scOffice2007;
    TColor FSelectionColor = 0xD7FFFD;
    TColor FSelectionColorTo = 0x58D4FC;
    TColor FBorderColor = clNone;
    TColor FFocusBorderColor = clNone;
    bool FDisabledBorder = true;
    bool FFlat = false;
    bool FEtched = false;
    bool FFocusDraw = true;
    QString FLabelCaption;
    TLabelPosition FLabelPosition = TLabelPosition::lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false;
    bool FLabelAlwaysEnabled = false;
    QFont FLabelFont;
    bool FDestroying = false;
};
