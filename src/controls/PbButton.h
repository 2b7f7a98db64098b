#pragma once
// TPbButton: the owner-drawn push button of every window.
//
// It paints itself completely into an off-screen image: a face that follows
// the mouse (hot tracking) and the pressed state, a bevel or frame chosen by
// Style, an optional glyph from an image strip of 1 to 4 cells (normal,
// disabled, pressed, hot), a caption beside, above or below the glyph, and a
// small arrow when a popup menu is attached.
//
// A press takes the keyboard focus before the click runs, so the control
// that had the focus finishes its work first. A click runs OnClick, hands
// ModalResult to the TForm that contains the button and opens the popup menu.
//
// Most windows give their buttons one shared look: ApplyProgramLook().
#include "platform/Canvas.h"
#include "platform/Graphics.h"

#include <QFont>
#include <QImage>
#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>


class QShortcut;
class QTimer;

enum TPbButtonStyle { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };
enum TPbColorStyle {
    lcsCustom,
    lcsGold,
    lcsChrome,
    lcsBlue,
    lcsRed,
    lcsUltraFlat1,
    lcsUltraFlat2,
    lcsUltraFlatXP,
    lcsAqua,
    lcsDefault,
    lcsQuicken
};
enum TPbButtonKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
using TPbButtonLayout = TButtonLayout;

// The colours a colour-style preset gives a button.
struct TPbColorStyleColors {
    TColor Color;
    TColor LightColor;
    TColor ShadowColor;
    TColor ColorWhenDown;
    TColor HotTrackColor;
    bool Flat;
    TColor FontColor;
    TPbButtonStyle Style;
};
// The preset of `style`; false for lcsCustom, which has none.
bool GetPbColorStyleColors(TPbColorStyle style, TPbColorStyleColors& colors);

// The face colour at fade step `step` (0..8): the hot colour weighs step / 8.
TColor PbBlendFadeColor(TColor color, TColor hotColor, int step);

// 32 bands from `from` (top) to `to` (bottom) over left..right-1, top..bottom-1.
void PbGradientFill(TCanvas& canvas, TColor from, TColor to, int left, int top, int right, int bottom);

// One band of PbGradientFill: its colour and its rows top..bottom-1.
struct TPbBand {
    TColor Color;
    int Top;
    int Bottom;
};
std::vector<TPbBand> PbGradientBands(TColor from, TColor to, int top, int bottom);

// Where the caption and the glyph of a face go (see PbLayoutFace).
struct TPbLayoutInput {
    int W = 0, H = 0;
    TPbButtonStyle Style = bsNormal;
    TPbButtonLayout Layout = blGlyphLeft;
    TAlignment Alignment = taCenter;
    bool WordWrap = false;
    int Shift = 0;        // 1 while drawn pressed (not bsEncarta)
    int GlyphW = 0, GlyphH = 0;
    int TextW = 0, TextH = 0; // caption extent measured within AvailWidth()
    bool CaptionEmpty = true;
};
struct TPbLayout {
    TRect Caption; // caption rectangle (format: word break + alignment)
    QPoint Glyph;  // top-left corner of the glyph cell
};
// The width the caption may take.
int PbAvailWidth(const TPbLayoutInput& in);
TPbLayout PbLayoutFace(const TPbLayoutInput& in);

// The caption cut character by character until its width (as measured by
// `width`) fits `avail`; no ellipsis.
QString PbCutCaption(const QString& caption, int avail, const std::function<int(const QString&)>& width);

// Named glyph pictures of the button kinds ("LBOK" .. "LBALL") and the popup
// arrow "LBARROW"; a null image for any other name.
QImage PbResourceBitmap(const QString& name);

class TPbButton : public QWidget {
    Q_OBJECT
public:
    explicit TPbButton(QWidget* parent = nullptr);
    ~TPbButton() override;

    // The one look most windows give their buttons: light face with a gray
    // frame, yellow under the mouse, orange with a bold caption while pressed
    // (a few buttons use other hot or pressed colours, the main window's step
    // buttons bsNormal).
    void ApplyProgramLook(TColor hotTrackColor = clYellow, TColor colorWhenDown = RGBColor(255, 128, 0),
                          TPbButtonStyle style = bsEncarta);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment a);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool on);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    TColor Color() const;
    void SetColor(TColor c);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);
    TPbColorStyle ColorStyle() const { return lcsCustom; }
    void SetColorStyle(TPbColorStyle style);
    TColor ColorWhenDown() const { return m_colorWhenDown; }
    void SetColorWhenDown(TColor c) { m_colorWhenDown = c; }
    bool Default() const { return m_default; }
    void SetDefault(bool on);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool on) { setEnabled(on); }
    bool Flat() const { return m_flat; }
    void SetFlat(bool on);
    const QImage& Glyph() const { return m_glyph; }
    void SetGlyph(const QImage& glyph);
    TColor HotTrackColor() const { return m_hotTrackColor; }
    void SetHotTrackColor(TColor c) { m_hotTrackColor = c; }
    const QFont& HotTrackFont() const { return m_htFont; }
    TColor HotTrackFontColor() const { return m_htFontColor; }
    void SetHotTrackFont(const QFont& f, TColor color);
    TPbButtonKind Kind() const { return m_kind; }
    void SetKind(TPbButtonKind kind);
    TPbButtonLayout Layout() const { return m_layout; }
    void SetLayout(TPbButtonLayout l);
    TColor LightColor() const { return m_lightColor; }
    void SetLightColor(TColor c);
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int mr);
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int n);
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor c);
    bool SlowDecease() const { return m_slowDecease; }
    void SetSlowDecease(bool on);
    TPbButtonStyle Style() const { return m_style; }
    void SetStyle(TPbButtonStyle s);
    bool UseHotTrackFont() const { return m_useHTFont; }
    void SetUseHotTrackFont(bool on) { m_useHTFont = on; }
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool on);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor c);
    QMenu* PopupMenu() const { return m_popup; }
    void SetPopupMenu(QMenu* menu);
    // A linked action: the button takes its caption, enabled state,
    // visibility and hint, and its icon as the glyph while the button has
    // none; a click triggers it after OnClick.
    QAction* Action() const { return m_action; }
    void SetAction(QAction* action);

    std::function<void(TPbButton*)> OnClick;
    std::function<void(TPbButton*)> OnMouseEnter;
    std::function<void(TPbButton*)> OnMouseExit;

    // The click operation, as keys and accelerators run it.
    void Click();

    // State, for painting and for tests.
    bool IsDown() const { return m_down; }
    bool IsCursorOnButton() const { return m_cursorOn; }
    bool IsHot() const { return m_cursorOn || hasFocus(); }
    int HotTrackStep() const { return m_hotTrackStep; }
    // True while the fade timer exists / runs.
    bool HasFadeWorker() const;
    bool FadeRunning() const;
    // One tick of the fade (run by the fade timer every 30 ms).
    void FadeStep();

    // Renders the button as it would be painted now.
    QImage Render() const;

    QSize sizeHint() const override { return QSize(100, 23); }

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    // A hidden button gets no leave event: it forgets the mouse when hidden.
    void hideEvent(QHideEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void DoButtonClick();
    void Repaint() { update(); }
    void DrawFace(TCanvas& canvas, int w, int h, TColor lightColor) const;
    void UpdateShortcut();
    void UpdateDialogKeyFilter();
    bool ParentShowing() const;
    // Takes the focus, so the control that had it finishes its work first.
    void TakeFocus();
    void ClickFromKeyboard();
    void ActionChanged();
    void GlyphFromImageList();

    TAlignment m_alignment = taCenter;
    TColor m_shadowColor = RGBColor(128, 128, 128);
    TColor m_colorWhenDown = clNone;
    TColor m_color = clBtnFace;
    bool m_parentColor = false;
    bool m_flat = false;
    bool m_wordWrap = false;
    QImage m_glyph;
    TColor m_hotTrackColor = clNone;
    QFont m_htFont;
    TColor m_htFontColor = clWindowText;
    TColor m_fontColor = clWindowText;
    TPbButtonKind m_kind = bkCustom;
    TPbButtonLayout m_layout = blGlyphLeft;
    TColor m_lightColor = clWhite;
    int m_modalResult = 0;
    int m_numGlyphs = 0;
    bool m_useHTFont = false;
    TPbButtonStyle m_style = bsNormal;
    bool m_default = false;
    bool m_cancel = false;
    bool m_slowDecease = false;
    bool m_down = false;
    bool m_cursorOn = false;
    int m_hotTrackStep = 0;
    bool m_destroying = false;
    int m_keyDown = 0; // the Enter or Space key this button saw go down
    QString m_caption;
    QPointer<QMenu> m_popup;
    QPointer<QAction> m_action;
    QMetaObject::Connection m_actionChanged;
    std::unique_ptr<QTimer> m_fade;
    QShortcut* m_shortcut = nullptr;
    QPointer<QWidget> m_filteredWindow;
};
