#pragma once
// The calculator drop-down and its keypad.
//
// The keypad: a panel of push buttons laid out in a fixed grid of
// digits, operators, memory and clear keys, painted with the desktop's push
// button face, tracking the hovered and the pressed key and reporting a
// completed click with the key's index. The key's Tag carries its meaning.
//
// The panel can also hold a free list of buttons with pictures
// (plCustom); it then neither builds nor places them.
//
// The layout of the calculator keys is a pure function of the button area
// (CalculatorKeyRects), which LayoutButtons applies.
#include "dropdown/ExtDropDown.h"
#include "dropdown/ExtDropDownStyles.h"
#include "platform/Canvas.h"
#include "platform/Graphics.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class TCustomImageList;
class TCustomButtonPanel;

// ---- Number format of the desktop ------------------------------------------

// The thousand and decimal separators of the current number format, read at
// each call.
QChar ThousandSeparatorChar();
QChar DecimalSeparatorChar();
// The text with every thousand separator removed.
QString StripThousandSeparators(const QString& text);

// ---- Keypad ------------------------------------------------------------------

// A calculator keypad, or a free list of buttons.
enum class TButtonPanelType { plCalculator, plCustom };

// One button of the panel.
class TButtonItem {
public:
    TButtonItem() = default;
    TButtonItem(const TButtonItem&) = delete;
    TButtonItem& operator=(const TButtonItem&) = delete;

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& v) { FCaption = v; }
    // Stored only: painting takes its colours from the panel's appearance.
    TColor CaptionColor() const { return FCaptionColor; }
    void SetCaptionColor(TColor v) { FCaptionColor = v; }
    int32_t ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int32_t v) { FImageIndex = v; }
    const QImage& Image() const { return FImage; }
    void SetImage(const QImage& v) { FImage = v; }
    int32_t Tag() const { return FTag; }
    void SetTag(int32_t v) { FTag = v; }

    // Set by the panel's builder (and by an owner of plCustom buttons).
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    const QString& Name() const { return FName; }
    void SetName(const QString& v) { FName = v; }
    bool Special() const { return FSpecial; }
    void SetSpecial(bool v) { FSpecial = v; }

    // The button's rectangle in panel coordinates (right and bottom outside).
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TRect Rect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    void SetBounds(int left, int top, int width, int height);

    // Copies caption, caption colour, tag, image index, picture, enabled
    // flag and name; not the special flag nor the rectangle.
    void Assign(const TButtonItem& source);

private:
    QString FCaption;
    int32_t FImageIndex = -1;
    bool FEnabled = true;
    QImage FImage;
    int32_t FTag = 0;
    int32_t FHeight = 0;
    int32_t FLeft = 0;
    int32_t FWidth = 0;
    int32_t FTop = 0;
    QString FName;
    TColor FCaptionColor = 0xFFFFFF;
    bool FSpecial = false;
};

// The panel's buttons, in index order.
class TButtonItems {
public:
    explicit TButtonItems(TCustomButtonPanel* owner = nullptr) : FMyOwner(owner) {}
    TButtonItems(const TButtonItems&) = delete;
    TButtonItems& operator=(const TButtonItems&) = delete;

    TCustomButtonPanel* Owner() const { return FMyOwner; }
    int Count() const { return int(m_items.size()); }
    TButtonItem* Items(int index) const;
    TButtonItem* Add();
    TButtonItem* Insert(int index);
    void Delete(int index);
    void Clear();
    // The same number of buttons, each assigned from the source's.
    void Assign(const TButtonItems& source);

private:
    TCustomButtonPanel* FMyOwner;
    std::vector<std::unique_ptr<TButtonItem>> m_items;
};

// The look of the keys. Painting uses Font, TextColor and SpecialTextColor;
// the face colours are stored and copied for the owner but the faces are
// always the desktop's push-button faces.
class TButtonAppearance {
public:
    TButtonAppearance();
    TButtonAppearance(const TButtonAppearance&) = delete;
    TButtonAppearance& operator=(const TButtonAppearance&) = delete;

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { StoreColor(FBorderColor, v); }
    TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor v) { StoreColor(FBorderColorHot, v); }
    TColor BorderColorDown() const { return FBorderColorDown; }
    void SetBorderColorDown(TColor v) { StoreColor(FBorderColorDown, v); }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { StoreColor(FColor, v); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { StoreColor(FColorTo, v); }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor v) { StoreColor(FColorDown, v); }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor v) { StoreColor(FColorDownTo, v); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor v) { StoreColor(FColorHot, v); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor v) { StoreColor(FColorHotTo, v); }
    // Stored without notification.
    TColor GlowColorHot() const { return FGlowColorHot; }
    void SetGlowColorHot(TColor v) { FGlowColorHot = v; }
    TColor GlowColorDown() const { return FGlowColorDown; }
    void SetGlowColorDown(TColor v) { FGlowColorDown = v; }
    TColor ShineColor() const { return FShineColor; }
    void SetShineColor(TColor v) { FShineColor = v; }
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& f) { FFont = f; }
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor v) { StoreColor(FTextColor, v); }
    TColor SpecialTextColor() const { return FSpecialTextColor; }
    void SetSpecialTextColor(TColor v) { StoreColor(FSpecialTextColor, v); }

    // Copies every colour, the font and both text colours (OnChange for each
    // changed notifying value).
    void Assign(const TButtonAppearance& source);

    std::function<void(TButtonAppearance* sender)> OnChange;

private:
    void StoreColor(TColor& field, TColor v);

    TColor FBorderColor = 0x000000;
    TColor FBorderColorHot = 0x000000;
    TColor FBorderColorDown = 0x000000;
    TColor FColor = 0x9A915F;
    TColor FColorTo = 0xB0A170;
    TColor FColorDown = 0x4B2F08;
    TColor FColorDownTo = 0xADB514;
    TColor FColorHot = 0x9F6F1C;
    TColor FColorHotTo = 0xD5C244;
    TColor FGlowColorHot = 0xD5C244;
    TColor FGlowColorDown = 0xD5C244;
    TColor FShineColor = 0xFFFFFF;
    QFont FFont;
    TColor FTextColor = 0x000000;
    TColor FSpecialTextColor = 0x000080;
};

// The calculator keys: their number, and the tags that give them meaning.
constexpr int kCalculatorKeyCount = 28;
namespace CalcTag {
constexpr int32_t Plus = 10, Minus = 11, Multiply = 12, Divide = 13, Sign = 14, Point = 15, Clear = 16, Equals = 17, Percent = 18;
constexpr int32_t Blank = 30, Back = 31, ClearEntry = 32, MemoryClear = 33, MemoryRecall = 34, MemoryStore = 35, MemoryAdd = 36;
constexpr int32_t Sqrt = 37, Reciprocal = 38;
} // namespace CalcTag
struct TCalculatorKey {
    const char* Caption;
    const char* Name;
    int32_t Tag;
    bool Special;
};
// The 28 keys in collection order.
extern const TCalculatorKey CalculatorKeys[kCalculatorKeyCount];

// The rectangles of the 28 calculator keys (in collection order) in the
// button area `a`: six columns and five rows, digits and operators in
// blocks whose neighbouring keys overlap by one pixel, and three wide keys
// in the top row. Sizes follow from the area without any correction, so a
// too small area gives zero or negative sizes.
std::vector<TRect> CalculatorKeyRects(const TRect& a);

class TCustomButtonPanel : public QWidget {
public:
    explicit TCustomButtonPanel(QWidget* parent = nullptr);
    ~TCustomButtonPanel() override;

    TButtonItems& Buttons() { return *FButtons; }
    const TButtonItems& Buttons() const { return *FButtons; }
    void SetButtons(const TButtonItems& v) { FButtons->Assign(v); }
    TButtonAppearance& ButtonAppearance() { return *FButtonAppearance; }
    void SetButtonAppearance(const TButtonAppearance& v) { FButtonAppearance->Assign(v); }
    TItemLayout ButtonLayout() const { return FButtonLayout; }
    void SetButtonLayout(TItemLayout v);
    TButtonPanelType ButtonPanelType() const { return FButtonPanelType; }
    void SetButtonPanelType(TButtonPanelType v);
    // Not owned: the owner clears it before the list goes.
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* v);
    TSelectionColorStyle ItemColorStyle() const { return FItemColorStyle; }
    void SetItemColorStyle(TSelectionColorStyle v) { FItemColorStyle = v; }
    QWidget* Edit() const { return FEdit.data(); }
    void SetEdit(QWidget* v) { FEdit = v; }
    // The drop-down edit hosting the panel, or null for a stand-alone one.
    QWidget* ExtDropDown() const { return FExtDropDown.data(); }
    void SetExtDropDown(QWidget* host) { FExtDropDown = host; }
    // The panel's background colour (behind the keys).
    TColor Color() const { return FColor; }
    void SetColor(TColor v);

    // Sender, index of the clicked button.
    std::function<void(TCustomButtonPanel* sender, int index)> OnButtonClick;

    int ButtonHot() const { return FButtonHot; }
    int ButtonDown() const { return FButtonDown; }
    // The first button whose rectangle holds the point, or -1.
    int ButtonAtPos(int x, int y) const;

    virtual void DrawButton(int index, TCanvas& canvas);
    virtual void GetButtonsArea(TRect& r);
    virtual void GetButtonSize(int& width, int& height);
    virtual void ClearButtons();
    virtual void ResetButtons();
    virtual void BuildButtons();
    virtual void LayoutButtons();
    virtual void InvalidateButton(int index);
    virtual void ButtonClick(int index);

    // After the panel's settings are complete: builds the buttons of a
    // stand-alone panel.
    void Loaded();

    void SetButtonHot(int index);
    void SetButtonDown(int index);

    // The panel as painted.
    QImage Render();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void Paint(TCanvas& canvas);
    // The picture of a button and its size; null when none.
    QImage ButtonPicture(const TButtonItem& item) const;
    void DrawPicture(TCanvas& canvas, const TButtonItem& item, const QImage& picture, int x, int y);
    void AppearanceChanged();
    // Changes a hot or pressed index as SetButtonHot and SetButtonDown say.
    void SetTrackedIndex(int& field, int index);

    std::unique_ptr<TButtonItems> FButtons;
    TItemLayout FButtonLayout = TItemLayout::ilCaptionRight;
    TSelectionColorStyle FItemColorStyle = TSelectionColorStyle::scCustom;
    int FButtonHot = -1;
    int FOffSetX = 8;
    int FOffSetY = 8;
    int FButtonOffSetX = 4;
    int FButtonOffSetY = 4;
    TCustomImageList* FImages = nullptr;
    int FCaptionGap = 0;
    QPointer<QWidget> FEdit;
    TButtonPanelType FButtonPanelType = TButtonPanelType::plCalculator;
    std::unique_ptr<TButtonAppearance> FButtonAppearance;
    int FButtonDown = -1;
    QPointer<QWidget> FExtDropDown;
    TColor FColor = clBtnFace;
};

// ---- The calculator drop-down ------------------------------------------------------


// A number edit whose pop-up is a pocket calculator. The shown number lives
// in the edit's text; the accumulator and the memory are extended precision.
// Operations apply strictly from left to right, each operator key applying
// the pending one to the shown number.
class TExtCalculatorDropdown : public TExtCustomDropDown {
public:
    explicit TExtCalculatorDropdown(QWidget* parent = nullptr);
    ~TExtCalculatorDropdown() override;

    TButtonAppearance& CalcButtonAppearance() { return *FCalcButtonAppearance; }
    void SetCalcButtonAppearance(const TButtonAppearance& v) { FCalcButtonAppearance->Assign(v); }
    bool ShowThousandSeparator() const { return FShowThousandSeparator; }
    void SetShowThousandSeparator(bool value);
    // The shown number (an empty text first becomes "0").
    long double Value();
    void SetValue(long double value);
    // Evaluates the pending operation, as "=" does.
    void CalcResult() { DoEquals(); }
    // The keypad (null until the pop-up is created) and a click on key
    // `index` of it.
    TCustomButtonPanel* Keypad() const { return FExtButtonPanel; }
    void KeypadButtonClick(TCustomButtonPanel* sender, int index);

    // A hook before every keypad click and every key of the open pop-up.
    virtual void BeforeCalculatorAction() {}

    void SetComponentStyle(TStudioStyle style) override;
    void KeyPress(QChar& key) override;
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool cancel) override;
    void DropDownFormKeyPress(QChar& key) override;
    void DropDownFormKeyDown(int& key, Qt::KeyboardModifiers shift) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void DoCalc();
    void DoPlus();
    void DoMinus();
    void DoMultiply();
    void DoDivide();
    void DoEquals();
    void DoPercent();
    void PopupKeyPress(QChar key);
    // The typed-key rules; `popupOpen` skips the operator keys.
    void EditKeyPress(QChar& key, bool popupOpen);
    // The shown text read as a number (thousand separators removed; a text
    // that is no number counts as 0).
    long double ShownNumber() const;
    void ClearAll();
    bool AtMaxLength() const;

    TCustomButtonPanel* FExtButtonPanel = nullptr;
    int32_t FDecim = 0;
    bool FNewval = false;
    long double FPrevval = 0;
    int32_t FPrevop = -1;
    bool FCalcClosed = true;
    std::unique_ptr<TButtonAppearance> FCalcButtonAppearance;
    long double FMVal = 0;
    bool FShowThousandSeparator = false;
    QString FTextAtOpening;
};
