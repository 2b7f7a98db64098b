#pragma once
// The small widgets of the grid family: the search bar's flat button and
// check box, and the indicator windows shown over a grid (arrows of a
// column or row move, the focus frame).
#include "controls/ExtObjTypes.h"
#include "controls/ExtXPVS.h"
#include "platform/Buttons.h"

#include <QFont>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QPolygon>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

class QShortcut;

// ---------------------------------------------------------------------------
// Search-bar controls

// TButtonLayout: platform/Graphics.h; TButtonState (the platform's button
// states) with its values in reach unqualified: platform/Buttons.h.
using enum TButtonState;

// A flat, styled speed button; a grouped one stays down until another of its
// group is pressed, a check-style one toggles.
class TExtGridButton : public QWidget {
    Q_OBJECT
public:
    explicit TExtGridButton(QWidget* parent = nullptr);
    ~TExtGridButton() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool Down() const { return FDown; }
    // Accepted only for grouped or check-style buttons.
    void SetDown(bool v);
    TExtGridButtonStyle Style() const { return FStyle; }
    void SetStyle(TExtGridButtonStyle v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool Rounded() const { return FRounded; }
    void SetRounded(bool v);
    bool Shaded() const { return FShaded; }
    void SetShaded(bool v);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool v);
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool v);
    QMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(QMenu* m) { FDropDownMenu = m; }
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    bool AutoXPStyle() const { return FAutoXPStyle; }
    void SetAutoXPStyle(bool v) { FAutoXPStyle = v; }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout v);
    int Margin() const { return FMargin; }
    // Values below -1 are refused.
    void SetMargin(int v);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { SetCol(FColor, v); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { SetCol(FColorTo, v); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor v) { SetCol(FColorHot, v); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor v) { SetCol(FColorHotTo, v); }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor v) { SetCol(FColorDown, v); }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor v) { SetCol(FColorDownTo, v); }
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor v) { SetCol(FColorChecked, v); }
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor v) { SetCol(FColorCheckedTo, v); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { SetCol(FBorderColor, v); }
    TColor BorderDownColor() const { return FBorderDownColor; }
    void SetBorderDownColor(TColor v) { SetCol(FBorderDownColor, v); }
    TColor BorderHotColor() const { return FBorderHotColor; }
    void SetBorderHotColor(TColor v) { SetCol(FBorderHotColor, v); }
    int Look() const { return FLook; }
    // Sets the colours of one of the looks 0..6 as a group.
    void SetLook(int v);

    // Glyphs: writing Glyph also makes the disabled glyph when none was set.
    const QImage& Glyph() const { return FGlyph; }
    void SetGlyph(const QImage& g);
    const QImage& GlyphHot() const { return FGlyphHot; }
    void SetGlyphHot(const QImage& g);
    const QImage& GlyphDown() const { return FGlyphDown; }
    void SetGlyphDown(const QImage& g);
    const QImage& GlyphDisabled() const { return FGlyphDisabled; }
    void SetGlyphDisabled(const QImage& g);
    const QImage& GlyphShade() const { return FGlyphShade; }

    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    // Fires OnClick.
    virtual void Click();

    std::function<void(TExtGridButton* sender)> OnClick;
    std::function<void(TExtGridButton* sender)> OnDblClick;
    std::function<void(TExtGridButton* sender)> OnMouseEnter;
    std::function<void(TExtGridButton* sender)> OnMouseLeave;
    std::function<void(TExtGridButton* sender)> OnDropDown;

    // The glyph and caption positions inside the client area (for tests and
    // painting), with the caption's size measured in the button's font.
    void CalcLayout(QPoint& glyphPos, QRect& captionRect) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void SetCol(TColor& field, TColor v);
    void UpdateAccelerator();
    void UpdateExclusive();
    void BuildShade();
    void SyncState();
    const QImage& CurrentGlyph() const;

    int FGroupIndex = 0;
    QImage FGlyph;
    bool FDown = false;
    bool FDragging = false;
    bool FAllowAllUp = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
    int FMargin = -1;
    bool FFlat = true;
    bool FMouseInControl = false;
    TColor FColor = clBtnFace;
    TColor FColorTo = clNone;
    TColor FColorHot = 0xCAC7C7;
    TColor FColorHotTo = clNone;
    TColor FColorDown = 0xD8D3D2;
    TColor FColorDownTo = clNone;
    TColor FBorderColor = clNone;
    TColor FBorderDownColor = clNone;
    TColor FBorderHotColor = clNone;
    QImage FGlyphDisabled;
    QImage FGlyphHot;
    QImage FGlyphDown;
    QImage FGlyphShade;
    bool FShaded = true;
    TColor FColorChecked = 0x808080;
    TColor FColorCheckedTo = clNone;
    TExtGridButtonStyle FStyle = tasButton;
    int FLook = 0;
    bool FRounded = false;
    bool FDropDownButton = false;
    bool FAutoThemeAdapt = false;
    bool FAutoXPStyle = false;
    QPointer<QMenu> FDropDownMenu;
    bool FShowCaption = true;
    TButtonState FState = bsUp;
    QString FCaption;
    QShortcut* m_accel = nullptr;
};

enum TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };
enum class TLeftRight : uint8_t { taLeftJustifyBox, taRightJustifyBox };
enum TButtonVertAlign : uint8_t { tvaTop, tvaCenter, tvaBottom };

// The owner-drawn check box of the search bar.
class TExtCheckBox : public QWidget {
    Q_OBJECT
public:
    explicit TExtCheckBox(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight v);
    TButtonVertAlign ButtonVertAlign() const { return FBtnVAlign; }
    void SetButtonVertAlign(TButtonVertAlign v);
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    // Takes the focus with Tab (and from its accelerator).
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool v) { setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus); }
    bool Down() const { return FDown; }
    bool Hot() const { return FHot; }
    TColor Color = clBtnFace;

    // Flips Checked unless ReadOnly (a grayed box becomes checked).
    virtual void Toggle();
    // Fires OnClick.
    virtual void Click();
    // Where the box is drawn.
    QRect BoxRect() const;

    std::function<void(TExtCheckBox* sender)> OnClick;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    bool FDown = false;
    TCheckBoxState FState = cbUnchecked;
    bool FFocused = false;
    bool FReturnIsTab = false;
    TButtonVertAlign FBtnVAlign = tvaTop;
    TLeftRight FAlignment = TLeftRight::taLeftJustifyBox;
    bool FEllipsis = false;
    QString FCaption = QStringLiteral("TExtCheckBox");
    bool FHot = false;
    bool FReadOnly = false;
    bool FMouseDown = false;
    bool FTransparent = false;
    QShortcut* m_accel = nullptr;
};

// ---------------------------------------------------------------------------
// Indicator windows: overlays on the grid's viewport (child widgets), so they
// work also where a program cannot place top-level windows.

class TArrowWindow : public QWidget {
    Q_OBJECT
public:
    explicit TArrowWindow(QWidget* parent = nullptr);
    // Stores the direction, colours the window $00FF00, puts it on the owner
    // and hides it. Its shape is the arrow outline.
    void Init(QWidget* owner, TArrowDirection dir);
    TArrowDirection Dir() const { return m_dir; }
    const QPolygon& Arrow() const { return m_arrow; }
    TColor Color = 0x00FF00;
    static QPolygon Outline(TArrowDirection dir);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TArrowDirection m_dir = arrUp;
    QPolygon m_arrow;
};

// The focus indicator: a red, mouse-transparent overlay, 0 x 0 at creation.
class TGridFocusWindow : public QWidget {
    Q_OBJECT
public:
    explicit TGridFocusWindow(QWidget* owner = nullptr);
    TColor Color = clRed;
    // The soft frame with per-pixel alpha, drawn at Opacity (0 .. 255);
    // without it the window is filled with Color.
    QImage Layer;
    int Opacity = 255;

protected:
    void paintEvent(QPaintEvent* e) override;
};
