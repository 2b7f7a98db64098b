#include "dropdown/ExtDropDown.h"

#include "controls/ExtUtilDraw.h"
#include "controls/ExtXPVS.h"
#include "dropdown/ExtDropDownStrips.h"
#include "platform/Application.h"
#include "platform/SysUtils.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>

namespace {

bool IsNumberType(TDropDownEditType t)
{
    using enum TDropDownEditType;
    return t == etNumeric || t == etFloat || t == etMoney || t == etHex;
}

// Sends clicks and double clicks of the attached label to the edit.
class TDropDownLabel : public QLabel {
public:
    TDropDownLabel(TExtCustomDropDown* edit, QWidget* parent) : QLabel(parent), m_edit(edit) {}

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QLabel::mouseReleaseEvent(event);
        if (m_edit && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) m_edit->DoLabelClick();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        QLabel::mouseDoubleClickEvent(event);
        if (m_edit && event->button() == Qt::LeftButton) m_edit->DoLabelDblClick();
    }

private:
    QPointer<TExtCustomDropDown> m_edit;
};

} // namespace

// ---- Pure layout -----------------------------------------------------------

QPoint LabelPlacement(TLabelPosition position, const QRect& e, QSize l, int w, int m)
{
    using enum TLabelPosition;
    const int centredTop = e.top() + (e.height() - l.height()) / 2;
    const int centredLeft = e.left() + (e.width() - l.width()) / 2;
    const int bottomTop = e.top() + e.height() - l.height();
    const int above = e.top() - l.height() - m;
    const int below = e.top() + e.height() + m;
    const int leftOf = e.left() - w - m;
    const int rightOf = e.left() + e.width() + m;
    switch (position) {
    case lpLeftTop: return {leftOf, e.top()};
    case lpLeftCenter: return {leftOf, centredTop};
    case lpLeftBottom: return {leftOf, bottomTop};
    case lpTopLeft: return {e.left(), above};
    case lpBottomLeft: return {e.left(), below};
    case lpLeftTopLeft: return {e.left() - m, e.top()};
    case lpLeftCenterLeft: return {e.left() - m, centredTop};
    case lpLeftBottomLeft: return {e.left() - m, bottomTop};
    case lpTopCenter: return {centredLeft, above};
    case lpBottomCenter: return {centredLeft, below};
    case lpRightTop: return {rightOf, e.top()};
    case lpRightCenter: return {rightOf, centredTop};
    case lpRighBottom: return {rightOf, bottomTop};
    case lpTopRight: return {e.left() + e.width() - l.width(), above};
    case lpBottomRight: return {e.left() + e.width() - l.width(), below};
    }
    return {leftOf, e.top()};
}

QRect DropDownButtonRect(int width, int height, int buttonWidth, bool flat)
{
    // Inside the edit's 2-pixel frame: the right end of the client area.
    const int d = flat ? 3 : 4;
    const int frame = 2;
    return QRect(width - buttonWidth - d + frame, (flat ? 2 : 0) + frame, buttonWidth, height - d);
}

// ---- TExtDropDownSpeedButton -----------------------------------------------

TExtDropDownSpeedButton::TExtDropDownSpeedButton(TDropDownEditButton* container) : QWidget(container), FContainer(container)
{
    setFocusPolicy(Qt::NoFocus);
}

void TExtDropDownSpeedButton::SetButtonStyle(TButtonStyle value)
{
    FButtonStyle = value;
    update();
}

void TExtDropDownSpeedButton::SetEtched(bool value)
{
    if (FEtched == value) return;
    FEtched = value;
    update();
}

void TExtDropDownSpeedButton::SetFocused(bool value)
{
    if (FFocused == value) return;
    FFocused = value;
    update();
}

void TExtDropDownSpeedButton::SetGlyph(const QImage& value)
{
    FGlyph = value;
    update();
}

void TExtDropDownSpeedButton::SetCaption(const QString& value)
{
    FCaption = value;
    update();
}

void TExtDropDownSpeedButton::paintEvent(QPaintEvent*)
{
    TCanvas canvas(this);
    Paint(canvas);
}

void TExtDropDownSpeedButton::Paint(TCanvas& canvas)
{
    if (FButtonStyle == TButtonStyle::bsButton)
        PaintButtonFace(canvas);
    else
        PaintDropDownFace(canvas);
}

void TExtDropDownSpeedButton::PaintClassicFace(TCanvas& canvas, bool pressed)
{
    DrawClassicButtonFrame(canvas, TRect{0, 0, width(), height()}, pressed, false);
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(clBtnFace);
    canvas.FillRect(TRect{2, 2, width() - 2, height() - 2});
}

void TExtDropDownSpeedButton::PaintDropDownFace(TCanvas& c)
{
    const TDropDownEditButton& k = *FContainer;
    const bool pressed = Pressed();
    const std::vector<QPoint> arrow{QPoint(5, 7), QPoint(11, 7), QPoint(8, 10)};
    TExtCustomDropDown* edit = k.Edit();
    if (k.ButtonColor != clNone) {
        TColor brush = pressed ? k.ButtonColorDown : FHot ? k.ButtonColorHot : k.ButtonColor;
        c.SetBrushStyle(TBrushStyle::Solid);
        c.SetBrushColor(brush);
        c.SetPenColor(brush);
        c.Rectangle(TRect{0, 0, width(), height()});
        c.SetPenColor(edit ? edit->BorderColor() : clNone);
        c.MoveTo(0, 0);
        c.LineTo(0, height());
        const TColor text = pressed ? k.ButtonTextColorDown : FHot ? k.ButtonTextColorHot : k.ButtonTextColor;
        c.SetBrushColor(text);
        c.SetPenColor(text);
        c.Polygon(arrow);
        return;
    }
    if (!FGlyph.isNull()) {
        c.SetBrushStyle(TBrushStyle::Solid);
        c.SetBrushColor(clBtnFace);
        c.SetPenColor(0x808080);
        c.Rectangle(TRect{0, 0, width(), height()});
        c.DrawTransparent(0, 0, FGlyph, QColorToColor(FGlyph.pixelColor(0, FGlyph.height() - 1)));
        return;
    }
    setEnabled(edit ? edit->isEnabled() && !edit->ReadOnly() : isEnabled());
    const int state = !isEnabled() ? thsDisabled : pressed ? thsPressed : FHot ? thsHot : thsNormal;
    if (TThemeData* theme = IsWinXPOrLater() ? OpenThemeData(this, QStringLiteral("combobox")) : nullptr) {
        TRect r{0, 0, width(), height()};
        if (IsVistaOrLater())
            r.Left += 1;
        else
            r = TRect{r.Left + 1, r.Top - 1, r.Right + 1, r.Bottom + 1};
        DrawThemeBackground(theme, c, tpComboDropDown, state, r);
        CloseThemeData(theme);
        return;
    }
    PaintClassicFace(c, pressed);
    c.SetPenColor(clBtnFace);
    c.MoveTo(width() - 2, 0);
    c.LineTo(0, 0);
    c.LineTo(0, height() - 1);
    c.SetPenColor(clWhite);
    c.MoveTo(width() - 3, 1);
    c.LineTo(1, 1);
    c.LineTo(1, height() - 2);
    c.SetBrushStyle(TBrushStyle::Solid);
    c.SetBrushColor(clBlack);
    c.SetPenColor(clBlack);
    c.Polygon(arrow);
}

void TExtDropDownSpeedButton::PaintButtonFace(TCanvas& c)
{
    TExtCustomDropDown* edit = FContainer->Edit();
    if (edit) c.SetFont(edit->font());
    const bool down = Pressed();
    const int state = !isEnabled() ? thsDisabled : down ? thsPressed : FHot ? thsHot : thsNormal;
    const TRect client{0, 0, width(), height()};
    auto drawCaption = [&](TRect r) {
        if (FCaption.isEmpty()) return;
        c.SetBkMode(TBkMode::Transparent);
        c.SetFontColor(isEnabled() ? clBtnText : clGrayText);
        if (down) r = r.Offset(1, 1);
        c.DrawText(FCaption, r, tfCenter | tfVCenter | tfSingleLine);
    };
    if (TThemeData* theme = OpenThemeData(this, QStringLiteral("button"))) {
        c.FillRect(client);
        DrawThemeBackground(theme, c, tpButtonPush, state, TRect{0, 0, width() + 1, height() + 1});
        CloseThemeData(theme);
        if (!FGlyph.isNull()) {
            TRect r = client.Inflated(-2, -2);
            int x = r.Left, y = r.Top;
            if (!FCaption.isEmpty())
                x += 2;
            else if (FGlyph.width() < r.Width())
                x = r.Left + (r.Width() - FGlyph.width()) / 2;
            if (FGlyph.height() < r.Height()) y = r.Top + (r.Height() - FGlyph.height()) / 2;
            if (down) ++x, ++y;
            c.DrawTransparent(x, y, FGlyph, QColorToColor(FGlyph.pixelColor(0, FGlyph.height() - 1)));
            if (!FCaption.isEmpty()) {
                c.SetBkMode(TBkMode::Transparent);
                c.SetFontColor(isEnabled() ? clBtnText : clGrayText);
                c.TextOut(x + FGlyph.width() + 2, y - 1, FCaption);
            }
        } else {
            drawCaption(client.Inflated(-3, -1));
        }
        return;
    }
    c.SetBrushStyle(TBrushStyle::Solid);
    c.SetBrushColor(clBtnFace);
    c.FillRect(client);
    DrawClassicButtonFrame(c, client, down, down);
    if (!FGlyph.isNull()) DrawTransparentBitmap(c, FGlyph, clBtnFace, client.Inflated(-3, -3).Offset(down ? 1 : 0, down ? 1 : 0));
    drawCaption(client.Inflated(-3, -1));
}

void TExtDropDownSpeedButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isEnabled()) {
        FDown = true;
        update();
    }
}

void TExtDropDownSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasDown = FDown;
    FDown = false;
    update();
    if (wasDown || event->button() != Qt::LeftButton) FContainer->SpeedButtonMouseUp(event->button(), rect().contains(event->position().toPoint()));
}

void TExtDropDownSpeedButton::enterEvent(QEnterEvent*)
{
    FHot = true;
    update();
}

void TExtDropDownSpeedButton::leaveEvent(QEvent*)
{
    FHot = false;
    update();
}

// ---- TDropDownEditButton ---------------------------------------------------

TDropDownEditButton::TDropDownEditButton(QWidget* parent) : QWidget(parent), FButton(new TExtDropDownSpeedButton(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    FButton->SetButtonStyle(TButtonStyle::bsDropDown);
    FButton->show();
    resize(16, 25);
}

TExtCustomDropDown* TDropDownEditButton::Edit() const { return dynamic_cast<TExtCustomDropDown*>(FFocusControl.data()); }

void TDropDownEditButton::SetBWidth(int value)
{
    FBWidth = value;
    SetBounds(x(), y(), width(), height());
}

void TDropDownEditButton::SetBounds(int left, int top, int width, int height)
{
    (void)width;
    setGeometry(left, top, FBWidth, height);
    FButton->setGeometry(0, 0, FBWidth, height);
}

void TDropDownEditButton::SpeedButtonMouseUp(Qt::MouseButton button, bool inside)
{
    if (button == Qt::LeftButton && inside && OnClick) OnClick(this);
}

void TDropDownEditButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (width() != FBWidth)
        resize(FBWidth, height());
    else
        FButton->setGeometry(0, 0, FBWidth, height());
}

void TDropDownEditButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) FButton->setEnabled(isEnabled());
}

// ---- TExtCustomDropDown: life ------------------------------------------------

TExtCustomDropDown::TExtCustomDropDown(QWidget* parent)
    : QLineEdit(parent), FButtonAppearance(std::make_unique<TExtButtonAppearance>()),
      FDropDownHeader(std::make_unique<THeaderAppearance>(this)), FDropDownFooter(std::make_unique<TFooterAppearance>(this))
{
    resize(200, 21);
    CreateDropDownForm();
    CreateDropDownButton();
    UpdateReadOnlyState();
    FDropDownHeader->OnChange = [this](THeaderAppearance*) { HeaderChanged(); };
    FDropDownHeader->OnButtonsChanged = [this](THeaderAppearance*) { HeaderChanged(); };
    FDropDownFooter->OnChange = [this](TFooterAppearance*) { FooterChanged(); };
    FDropDownFooter->OnButtonsChanged = [this](TFooterAppearance*) { FooterChanged(); };
    SetSelectionColorStyle(TSelectionColorStyle::scOffice2007);
    SetComponentStyle(tsOffice2007Luna);
    setAttribute(Qt::WA_Hover, true);
    SetEditRect();
    connect(this, &QLineEdit::textChanged, this, [this] {
        // A reformatting right after a change is not reported again.
        if (FBlockChange) {
            FBlockChange = false;
            return;
        }
        Change();
    });
}

TExtCustomDropDown::~TExtCustomDropDown()
{
    FDestroying = true;
    // The pop-up and its strips refer to the appearances: they go first.
    delete FDropDownForm;
    FDropDownForm = nullptr;
    delete FLabel.data();
}

void TExtCustomDropDown::CreateDropDownForm()
{
    if (FDropDownForm) return;
    FDropDownForm = new TDropDownForm(this);
    FDropDownForm->hide();
    FDropDownForm->resize(std::max(1, FDropDownWidth), std::max(1, FDropDownHeight));
    FDropDownForm->FOnSizing = [this](TDropDownForm*) { DropDownFormSizing(); };
}

void TExtCustomDropDown::CreateDropDownButton()
{
    if (FButton) return;
    FButton = new TDropDownEditButton(this);
    FButton->OnClick = [this](TDropDownEditButton*) { DropDownButtonClick(); };
    UpdateDropDownButton();
}

void TExtCustomDropDown::UpdateDropDownButton()
{
    if (!FButton) return;
    FButton->SetBounds(FButton->x(), FButton->y(), FDropDownButtonWidth, 17);
    FButton->show();
    FButton->SetFocusControl(this);
}

void TExtCustomDropDown::Assign(const TExtCustomDropDown& s)
{
    if (&s == this) return;
    FFocusDraw = s.FFocusDraw;
    FForceShadow = s.FForceShadow;
    FDropDownEnabled = s.FDropDownEnabled;
    FDropDownColor = s.FDropDownColor;
    FDropDownColorTo = s.FDropDownColorTo;
    FDropDownGradient = s.FDropDownGradient;
    FDropDownBorderColor = s.FDropDownBorderColor;
    FDropDownBorderWidth = s.FDropDownBorderWidth;
    FDropDownShadow = s.FDropDownShadow;
    SetDropDownWidth(s.FDropDownWidth);
    SetDropDownHeight(s.FDropDownHeight);
    FDropDownSizeable = s.FDropDownSizeable;
    FInput.EditType = s.FInput.EditType;
    FInput.ReturnIsTab = s.FInput.ReturnIsTab;
    FInput.LengthLimit = s.FInput.LengthLimit;
    FInput.Precision = s.FInput.Precision;
    FInput.Prefix = s.FInput.Prefix;
    FInput.Suffix = s.FInput.Suffix;
    FInput.DefaultHandling = s.FInput.DefaultHandling;
    FInput.CanUndo = s.FInput.CanUndo;
    FInput.ExcelStyleDecimalSeparator = s.FInput.ExcelStyleDecimalSeparator;
    FInput.ValidChars = s.FInput.ValidChars;
    FInput.Signed = s.FInput.Signed;
    FInput.AutoThousandSeparator = s.FInput.AutoThousandSeparator;
    FButtonAppearance->Assign(*s.FButtonAppearance);
    FDropDownHeader->Assign(*s.FDropDownHeader);
    FDropDownFooter->Assign(*s.FDropDownFooter);
    FDropPosition = s.FDropPosition;
    SetFlat(s.FFlat);
    SetDropDownButtonWidth(s.FDropDownButtonWidth);
    SetDropDownButtonHint(s.FDropDownButtonHint);
    FInput.EditorEnabled = s.FInput.EditorEnabled;
    UpdateReadOnlyState();
    SetDropDownButtonGlyph(s.DropDownButtonGlyph());
    SetDropDownButtonCaption(s.DropDownButtonCaption());
    SetEtched(s.FEtched);
    FImages = s.FImages;
    FSelectionColorStyle = s.FSelectionColorStyle;
    FSelectionColor = s.FSelectionColor;
    FSelectionColorTo = s.FSelectionColorTo;
}

// ---- value -----------------------------------------------------------------

QString TExtCustomDropDown::Text() const
{
    QString s = QLineEdit::text();
    if (!FInput.Prefix.isEmpty() && s.startsWith(FInput.Prefix)) s.remove(0, FInput.Prefix.size());
    if (!FInput.Suffix.isEmpty() && s.size() >= FInput.Suffix.size()) s.chop(FInput.Suffix.size());
    return s;
}

void TExtCustomDropDown::SetText(const QString& value)
{
    using enum TDropDownEditType;
    QString v = value;
    if (v.isEmpty() && IsNumberType(FInput.EditType)) v = QStringLiteral("0");
    if (FInput.Precision > 0 && !v.isEmpty() && v != QStringLiteral("Error")) {
        const FormatSettings& fs = SystemFormatSettings();
        if (FInput.EditType == etMoney) v = FormatFloatText(TextToFloat(v, fs), FInput.Precision, true, fs);
        if (FInput.EditType == etFloat) v = FormatFloatText(TextToFloat(v, fs), FInput.Precision, false, fs);
    }
    if (FInput.EditType == etHex) v = v.toUpper();
    QLineEdit::setText(FInput.Prefix + v + FInput.Suffix);
    FOldText = v;
    SetModifiedState(false);
}

void TExtCustomDropDown::SetTextDirect(const QString& value) { QLineEdit::setText(value); }

void TExtCustomDropDown::SetModifiedState(bool value)
{
    if (!FInput.EditorEnabled || FInput.ReadOnly) return;
    setModified(value);
    FIsModified = value;
}

void TExtCustomDropDown::SelectAll()
{
    const int len = int(Text().size());
    if (FInput.Prefix.isEmpty() && FInput.Suffix.isEmpty())
        setSelection(0, len);
    else
        setSelection(int(FInput.Prefix.size()), len);
}

void TExtCustomDropDown::SelectBeforeDecimal()
{
    const int p = int(Text().indexOf(SystemFormatSettings().DecimalSeparator)) + 1;
    setCursorPosition(int(FInput.Prefix.size()) + (p > 0 ? p - 1 : 0));
}

void TExtCustomDropDown::SelectAfterDecimal()
{
    const int p = int(Text().indexOf(SystemFormatSettings().DecimalSeparator)) + 1;
    setCursorPosition(int(FInput.Prefix.size()) + (p > 0 ? p : 0));
}

void TExtCustomDropDown::SetEditType(TDropDownEditType value)
{
    if (value == FInput.EditType) return;
    using enum TDropDownEditType;
    FInput.EditType = value;
    if (value == etPassword) {
        setEchoMode(QLineEdit::Password);
        FInput.CanUndo = false;
    } else {
        setEchoMode(QLineEdit::Normal);
    }
    const int k = ClassifyDropDownNumber(Text(), SystemFormatSettings());
    if (value == etNumeric && k != 0) SetIntValue(0);
    if ((value == etFloat || value == etMoney) && k > 1) SetFloatValue(0);
    if (value == etHex && k != 0 && k != 5) SetIntValue(0);
}

void TExtCustomDropDown::SetPrecision(int value)
{
    using enum TDropDownEditType;
    if (value == FInput.Precision) return;
    if (FInput.EditType != etString && FInput.EditType != etFloat && FInput.EditType != etMoney) return;
    FInput.Precision = value;
    if (ClassifyDropDownNumber(Text(), SystemFormatSettings()) > 1)
        SetFloatValue(0);
    else
        SetFloatValue(FloatValue());
}

double TExtCustomDropDown::FloatValue() const
{
    using enum TDropDownEditType;
    const FormatSettings& fs = SystemFormatSettings();
    const QString v = Text();
    switch (FInput.EditType) {
    case etString: {
        bool ok = false;
        const double d = v.trimmed().toDouble(&ok);
        return ok && std::isfinite(d) ? d : 0;
    }
    case etNumeric:
    case etFloat:
        if (v.isEmpty() || v == QStringLiteral("Error") || v == QStringLiteral("-")) return 0;
        return TextToFloat(v, fs);
    case etMoney: {
        if (v.isEmpty()) return 0;
        QString t = StripThousandSeparators(v, fs);
        if (t.endsWith(fs.DecimalSeparator)) t.chop(1);
        if (t.isEmpty() || t == QStringLiteral("-")) return 0;
        return TextToFloat(t, fs);
    }
    case etHex: return v.isEmpty() ? 0 : double(HexToInt(v));
    default: return 0;
    }
}

void TExtCustomDropDown::SetFloatValue(double value)
{
    using enum TDropDownEditType;
    const FormatSettings& fs = SystemFormatSettings();
    switch (FInput.EditType) {
    case etString:
    case etFloat: SetText(FormatFloatText(value, FInput.Precision, false, fs)); break;
    case etNumeric: SetText(FormatFloatText(value, FInput.Precision, true, fs)); break;
    case etMoney:
        SetText(FormatFloatText(value, FInput.Precision, false, fs));
        FormatMoneyText();
        break;
    case etHex: SetText(HexText(int64_t(std::trunc(std::isfinite(value) ? value : 0)))); break;
    default: break;
    }
    SetModifiedState(true);
}

void TExtCustomDropDown::SetIntValue(int value)
{
    using enum TDropDownEditType;
    switch (FInput.EditType) {
    case etNumeric:
    case etFloat: SetText(QString::number(value)); break;
    case etMoney:
        SetText(QString::number(value));
        FormatMoneyText();
        break;
    case etHex: SetText(HexText(value)); break;
    default: break;
    }
    SetModifiedState(true);
}

void TExtCustomDropDown::FormatMoneyText()
{
    const QString v = Text();
    if (v.isEmpty()) return;
    TDropDownInputSettings settings = InputSettings();
    settings.Precision = 0;
    const TDropDownInputEngine engine(settings, EditState(), FDroppedDown);
    const QString formatted = engine.FormatMoneyValue(v);
    const QString text = FInput.Prefix + formatted + FInput.Suffix;
    const int caret = cursorPosition();
    FBlockChange = text != QLineEdit::text();
    QLineEdit::setText(text);
    FBlockChange = false;
    setCursorPosition(std::clamp(caret + int(formatted.size() - v.size()), 0, int(text.size())));
}

TDropDownInputSettings TExtCustomDropDown::InputSettings() const
{
    TDropDownInputSettings s = FInput;
    s.MaxLength = maxLength() < 32767 ? maxLength() : 0;
    s.Separators = SystemFormatSettings();
    return s;
}

TDropDownEditState TExtCustomDropDown::EditState() const
{
    TDropDownEditState st;
    st.Text = QLineEdit::text();
    if (hasSelectedText()) {
        st.SelStart = selectionStart();
        st.SelLength = int(selectedText().size());
    } else {
        st.SelStart = cursorPosition();
    }
    return st;
}

void TExtCustomDropDown::SetEditState(const TDropDownEditState& state)
{
    if (state.Text != QLineEdit::text()) {
        const bool modified = isModified();
        QLineEdit::setText(state.Text);
        setModified(modified);
    }
    if (state.SelLength > 0)
        setSelection(state.SelStart, state.SelLength);
    else
        setCursorPosition(state.SelStart);
}

bool TExtCustomDropDown::ApplyInput(const TDropDownInputResult& r)
{
    if (r.Consumed && !(r.State == EditState())) SetEditState(r.State);
    if (r.SetModified) SetModifiedState(true);
    if (r.ClearModified) SetModifiedState(false);
    if (r.MoveFocus) focusNextChild();
    switch (r.Popup) {
    case TPopupAction::Show: DoShowDropDown(); break;
    case TPopupAction::Hide: DoHideDropDown(false); break;
    case TPopupAction::HideCancel: DoHideDropDown(true); break;
    case TPopupAction::Toggle: FDroppedDown ? DoHideDropDown(false) : DoShowDropDown(); break;
    case TPopupAction::None: break;
    }
    return !r.ToParent;
}

void TExtCustomDropDown::TypeChar(QChar c, bool keypad)
{
    TDropDownInputEngine engine(InputSettings(), EditState(), FDroppedDown);
    ApplyInput(engine.Char(c, false, keypad));
}

void TExtCustomDropDown::Change()
{
    if (OnChange) OnChange(this);
}

void TExtCustomDropDown::CutToClipboard()
{
    if (!FInput.EditorEnabled || FInput.ReadOnly) return;
    bool allow = true;
    FBlockCopy = true;
    if (OnClipboardCut) OnClipboardCut(this, selectedText(), allow);
    if (allow) QLineEdit::cut();
    FBlockCopy = false;
}

void TExtCustomDropDown::CopyToClipboard()
{
    bool allow = true;
    if (OnClipboardCopy && !FBlockCopy) OnClipboardCopy(this, selectedText(), allow);
    FBlockCopy = false;
    if (allow) QLineEdit::copy();
}

void TExtCustomDropDown::PasteFromClipboard()
{
    if (FInput.ReadOnly) return;
    const QString clip = QGuiApplication::clipboard()->text();
    if (clip.isEmpty()) return;
    TDropDownInputEngine engine(InputSettings(), EditState(), FDroppedDown);
    TDropDownEditState composed;
    const QString s = engine.ComposePasteText(clip, composed);
    bool allow = true;
    if (OnClipboardPaste) OnClipboardPaste(this, s, allow);
    ApplyInput(engine.Paste(clip, allow));
}

void TExtCustomDropDown::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu's cut, copy and paste go through the same handlers as the keys.
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* a : menu->actions()) {
        std::function<void()> handler;
        if (a->objectName() == QStringLiteral("edit-cut")) handler = [this] { CutToClipboard(); };
        if (a->objectName() == QStringLiteral("edit-copy")) handler = [this] { CopyToClipboard(); };
        if (a->objectName() == QStringLiteral("edit-paste")) handler = [this] { PasteFromClipboard(); };
        if (!handler) continue;
        a->disconnect();
        connect(a, &QAction::triggered, this, [handler] { Guard(handler); });
    }
    menu->exec(event->globalPos());
}

void TExtCustomDropDown::SetEditorEnabled(bool value)
{
    FInput.EditorEnabled = value;
    UpdateReadOnlyState();
    update();
}

void TExtCustomDropDown::SetReadOnly(bool value)
{
    FInput.ReadOnly = value;
    UpdateReadOnlyState();
    if (FButton) FButton->Button()->update();
}

void TExtCustomDropDown::UpdateReadOnlyState()
{
    // Without the editor the edit takes no characters and shows no caret.
    setReadOnly(FInput.ReadOnly || !FInput.EditorEnabled);
}

void TExtCustomDropDown::SetPrefix(const QString& value)
{
    const QString v = Text();
    FInput.Prefix = value;
    QLineEdit::setText(FInput.Prefix + v + FInput.Suffix);
}

void TExtCustomDropDown::SetSuffix(const QString& value)
{
    const QString v = Text();
    FInput.Suffix = value;
    QLineEdit::setText(FInput.Prefix + v + FInput.Suffix);
}

// ---- pop-up properties -------------------------------------------------------

void TExtCustomDropDown::SetDropDownWidth(int value)
{
    if (value == FDropDownWidth) return;
    FDropDownWidth = value;
    FUserDropDownWidth = -1;
}

void TExtCustomDropDown::SetDropDownHeight(int value)
{
    if (value == FDropDownHeight) return;
    FDropDownHeight = value;
    FUserDropDownHeight = -1;
}

void TExtCustomDropDown::SetDropDownButtonWidth(int value)
{
    if (value == FDropDownButtonWidth) return;
    FDropDownButtonWidth = value;
    if (FButton) {
        FButton->SetBWidth(value);
        ResizeControl();
    }
}

void TExtCustomDropDown::SetDropDownButtonHint(const QString& value)
{
    FDropDownButtonHint = value;
    if (FButton) FButton->setToolTip(value);
}

QImage TExtCustomDropDown::DropDownButtonGlyph() const { return FButton ? FButton->Glyph() : QImage(); }

void TExtCustomDropDown::SetDropDownButtonGlyph(const QImage& value)
{
    if (FButton) FButton->SetGlyph(value);
}

QString TExtCustomDropDown::DropDownButtonCaption() const { return FButton ? FButton->ButtonCaption() : QString(); }

void TExtCustomDropDown::SetDropDownButtonCaption(const QString& value)
{
    if (FButton) FButton->SetButtonCaption(value);
}

void TExtCustomDropDown::SetControl(QWidget* value)
{
    if (value == FControl) return;
    FControl = value;
    PlaceDropDownControl();
}

void TExtCustomDropDown::SetBorderColor(TColor value)
{
    if (value == FBorderColor) return;
    FBorderColor = value;
    update();
    if (FButton) FButton->Button()->update();
}

void TExtCustomDropDown::SetFocusBorderColor(TColor value)
{
    FFocusBorderColor = value;
    update();
}

void TExtCustomDropDown::SetFlat(bool value)
{
    FFlat = value;
    ResizeControl();
}

void TExtCustomDropDown::SetEtched(bool value)
{
    FEtched = value;
    if (FButton) FButton->Button()->SetEtched(value);
}

QString TExtCustomDropDown::Version() const
{
    const int v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg((v >> 24) & 0xFF).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

void TExtCustomDropDown::HeaderChanged()
{
    if (FDropDownForm && FDroppedDown) FDropDownForm->InitializeAndUpdate();
}

void TExtCustomDropDown::FooterChanged()
{
    if (FDropDownForm && FDroppedDown) FDropDownForm->InitializeAndUpdate();
}

// ---- the cycle ---------------------------------------------------------------

void TExtCustomDropDown::DoLabelClick()
{
    if (OnLabelClick) OnLabelClick(this);
}

void TExtCustomDropDown::DoLabelDblClick()
{
    if (OnLabelDblClick) OnLabelDblClick(this);
}

void TExtCustomDropDown::BeforeDropDown()
{
    if (OnBeforeDropDown) OnBeforeDropDown(this);
}

void TExtCustomDropDown::DropDownButtonClick()
{
    if (!FDropDownForm || FDropDownForm->isVisible()) return;
    if (uint32_t(DropDownTickCount() - FDropDownForm->FDeActivate) > 250) DoShowDropDown();
}

void TExtCustomDropDown::AdaptDropDownSize()
{
    if (!FDropDownForm) return;
    const bool control = FControl && !FControl->isHidden();
    int w = FDropDownWidth > 0 ? FDropDownWidth : control ? FControl->width() : width();
    int h = FDropDownHeight;
    if (h <= 0) {
        h = 2 * FDropDownBorderWidth;
        if (FDropDownHeader->Visible()) h += FDropDownHeader->Height();
        if (FDropDownFooter->Visible()) h += FDropDownFooter->Height();
        if (control) h += FControl->height();
    }
    FDropDownForm->resize(w, h);
}

void TExtCustomDropDown::PlaceDropDownControl()
{
    if (!FDropDownForm || !FControl) return;
    if (FControl->parentWidget() != FDropDownForm) {
        FControl->setParent(FDropDownForm);
        FControl->show();
    }
    FControl->move(FControl->x(), FDropDownHeader->Visible() ? FDropDownHeader->Height() + 2 : FDropDownBorderWidth);
    // The control keeps its own size until the pop-up opens: the size from
    // the content is read from it.
    if (FDropDownForm->isVisible()) FDropDownForm->ArrangeChildren();
}

void TExtCustomDropDown::FocusDropDownControl()
{
    QWidget* f = FFocusControl;
    if (f && (f->focusPolicy() & Qt::TabFocus) && f->isEnabled() && f->isVisible() && !f->hasFocus()) f->setFocus(Qt::PopupFocusReason);
}

void TExtCustomDropDown::DoShowDropDown()
{
    TDropDownForm* form = FDropDownForm;
    if (!form || form->isVisible() || !isEnabled() || FInput.ReadOnly) return;
    BeforeDropDown();
    form->FShadow = FDropDownShadow;
    form->InitializeAndUpdate();
    AdaptDropDownSize();
    PlaceDropDownControl();
    form->setMinimumSize(80, 50);
    if (FControl && FControl->isWidgetType()) {
        if (form->FWatchedControl && form->FWatchedControl != FControl) form->FWatchedControl->removeEventFilter(form);
        form->FWatchedControl = FControl;
        FControl->installEventFilter(form);
    }
    const QPoint anchor = parentWidget() ? parentWidget()->mapToGlobal(pos()) : mapToGlobal(QPoint(0, 0));

    // The remembered user size and the editor's last word on the height come
    // before the placement, so that an upward pop-up ends at the edit.
    int w = std::max(80, form->width());
    int h = std::max(50, form->height());
    if (FUserDropDownWidth != -1) w = FUserDropDownWidth;
    if (FUserDropDownHeight != -1) h = FUserDropDownHeight;
    AdaptDropDownHeight(h);
    const QPoint at = PlaceDropDown(anchor, height(), QSize(w, h), FDropPosition, DropDownWorkArea(anchor));

    bool allow = true;
    if (OnDropDown) OnDropDown(this, allow);
    if (!allow) return;

    FDroppedDown = true;
    form->setGeometry(at.x(), at.y(), w, h);
    form->FModalResult = 0;
    form->show();
    form->raise();
    form->activateWindow();
    FocusDropDownControl();
}

void TExtCustomDropDown::DoHideDropDown(bool cancel)
{
    TDropDownForm* form = FDropDownForm;
    if (!form || !form->isVisible()) return;
    if (OnBeforeDropUp) OnBeforeDropUp(this);
    FUserDropDownWidth = form->width();
    FUserDropDownHeight = form->height();
    form->hide();
    QToolTip::hideText();
    if (cancel) SetText(FOldText);
    if (OnDropUp) OnDropUp(this, cancel);
}

void TExtCustomDropDown::DropDownFormHide()
{
    FDroppedDown = false;
    if (!FDestroying && focusPolicy() != Qt::NoFocus && isEnabled() && isVisible() && !hasFocus()) {
        activateWindow();
        setFocus(Qt::PopupFocusReason);
    }
}

void TExtCustomDropDown::DropDownFormKeyPress(QChar& key) { WMChar(key); }

void TExtCustomDropDown::DropDownFormKeyDown(int& key, Qt::KeyboardModifiers shift) { WMKeyDown(key, shift); }

void TExtCustomDropDown::DropDownFormKeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TExtCustomDropDown::ControlKeyDown(int& key, Qt::KeyboardModifiers shift) { WMKeyDown(key, shift); }

void TExtCustomDropDown::ControlKeyUp(int& key, Qt::KeyboardModifiers shift) { DropDownFormKeyUp(key, shift); }

void TExtCustomDropDown::ControlKeyPress(QChar& key) { WMChar(key); }

// ---- keys --------------------------------------------------------------------

void TExtCustomDropDown::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (OnKeyDown) OnKeyDown(this, key, shift);
    if ((shift & Qt::AltModifier) && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        if (FDroppedDown)
            DoHideDropDown(false);
        else
            DoShowDropDown();
    }
}

void TExtCustomDropDown::KeyPress(QChar& key)
{
    if (OnKeyPress) OnKeyPress(this, key);
    if (key == QChar(13)) key = QChar(0);
}

bool TExtCustomDropDown::WMKeyDown(int key, Qt::KeyboardModifiers shift)
{
    TDropDownInputEngine engine(InputSettings(), EditState(), FDroppedDown);
    const TDropDownInputResult r = engine.KeyDown(key, shift & Qt::ShiftModifier, shift & Qt::ControlModifier, shift & Qt::AltModifier);
    if (!r.Consumed) return false;
    ApplyInput(r);
    return true;
}

void TExtCustomDropDown::WMChar(QChar c)
{
    if (c.isNull()) return;
    TypeChar(c);
}

void TExtCustomDropDown::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Cut || event == QKeySequence::Copy || event == QKeySequence::Paste) {
        if (event == QKeySequence::Cut) CutToClipboard();
        if (event == QKeySequence::Copy) CopyToClipboard();
        if (event == QKeySequence::Paste) PasteFromClipboard();
        event->accept();
        return;
    }
    int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool altArrow = (mods & Qt::AltModifier) && (key == Qt::Key_Up || key == Qt::Key_Down);
    KeyDown(key, mods);
    // Alt+Up and Alt+Down are system keys: KeyDown alone toggles for them.
    if (key == 0 || altArrow) {
        event->accept();
        return;
    }
    const bool wasDropped = FDroppedDown;
    TDropDownInputEngine engine(InputSettings(), EditState(), FDroppedDown);
    const TDropDownInputResult down = engine.KeyDown(key, mods & Qt::ShiftModifier, ctrl, mods & Qt::AltModifier);
    bool toParent = false;
    if (down.Consumed) toParent = !ApplyInput(down);
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool closedPopup = wasDropped && !FDroppedDown;
    const QString text = event->text();

    // The character step follows the key-down step, as a typed character
    // follows its key.
    QChar c;
    if (enter)
        c = down.Consumed && !down.MoveFocus && !closedPopup && !ctrl && FInput.EditorEnabled ? QChar(13) : QChar();
    else if (key == Qt::Key_Backspace)
        c = QChar(8);
    else if (!down.Consumed && !text.isEmpty() && text[0].isPrint())
        c = text[0];
    if (!c.isNull()) {
        if (enter) {
            QChar copy = c; // the handler sees Enter; its change is ignored
            if (OnKeyPress) OnKeyPress(this, copy);
        } else {
            KeyPress(c);
        }
        if (!c.isNull()) {
            TDropDownInputEngine typed(InputSettings(), EditState(), FDroppedDown);
            toParent = !ApplyInput(typed.Char(c, ctrl, mods & Qt::KeypadModifier)) || toParent;
        }
    } else if (!down.Consumed) {
        QLineEdit::keyPressEvent(event);
        TDropDownInputEngine after(InputSettings(), EditState(), FDroppedDown);
        ApplyInput(after.AfterKeyDown(key, EditState()));
        return;
    }
    if (toParent)
        event->ignore();
    else
        event->accept();
}

void TExtCustomDropDown::WMSetFocus()
{
    if (FInput.EditorEnabled) {
        FOldString = Text();
        if (FAutoSelect)
            SelectAll();
        else if (FInput.EditType == TDropDownEditType::etFloat || FInput.EditType == TDropDownEditType::etMoney)
            SelectBeforeDecimal();
    }
    update();
}

bool TExtCustomDropDown::CMWantSpecialKey(int& key)
{
    if (key != Qt::Key_Escape) return false;
    if (FDroppedDown) return true;
    if (FInput.CanUndo) {
        SelectAll();
        SetModifiedState(false);
        key = 0;
    }
    return false;
}

void TExtCustomDropDown::keyReleaseEvent(QKeyEvent* event)
{
    int key = event->key();
    if (OnKeyUp) OnKeyUp(this, key, event->modifiers());
    QLineEdit::keyReleaseEvent(event);
}

// ---- focus and mouse ---------------------------------------------------------

void TExtCustomDropDown::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // A click places the caret where it lands.
    if (event->reason() != Qt::MouseFocusReason) WMSetFocus();
    else if (FInput.EditorEnabled) FOldString = Text();
    UpdateButtonFocus();
    update();
}

void TExtCustomDropDown::focusOutEvent(QFocusEvent* event)
{
    using enum TDropDownEditType;
    const bool floating = FInput.EditType == etFloat || FInput.EditType == etMoney;
    if (FInput.Precision > 0 && floating && (!Text().isEmpty() || !FAllowNumericNullValue)) {
        const bool modified = FIsModified;
        SetFloatValue(FloatValue());
        SetModifiedState(modified);
    }
    if (FInput.EditType == etNumeric && Text().isEmpty() && !FAllowNumericNullValue) SetText(QStringLiteral("0"));
    if (floating && Text().isEmpty() && !FAllowNumericNullValue) SetFloatValue(0);
    QLineEdit::focusOutEvent(event);
    UpdateButtonFocus();
    update();
}

void TExtCustomDropDown::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    if (!FInput.EditorEnabled) {
        QLineEdit::mousePressEvent(event);
        DropDownButtonClick();
        return;
    }
    if (hasSelectedText() && hasFocus()) {
        const int pos = cursorPositionAt(event->position().toPoint());
        const int start = selectionStart(), end = start + int(selectedText().size());
        if (pos >= start && pos <= end) {
            FButtonDown = true;
            event->accept();
            return;
        }
    }
    QLineEdit::mousePressEvent(event);
}

void TExtCustomDropDown::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && FButtonDown) setCursorPosition(cursorPositionAt(event->position().toPoint()));
    FButtonDown = false;
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const int prefixEnd = int(FInput.Prefix.size());
    const int valueEnd = prefixEnd + int(Text().size());
    if (!FInput.Prefix.isEmpty() && cursorPosition() < prefixEnd && !hasSelectedText()) setSelection(prefixEnd, int(Text().size()));
    if (!FInput.Suffix.isEmpty()) {
        if (hasSelectedText()) {
            const int start = selectionStart(), end = start + int(selectedText().size());
            if (end > valueEnd) setSelection(start, std::max(0, valueEnd - start));
        } else if (cursorPosition() > valueEnd) {
            setCursorPosition(valueEnd);
        }
    }
}

void TExtCustomDropDown::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Without the editor double clicks are not taken.
    if (!FInput.EditorEnabled) {
        mousePressEvent(event);
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}

void TExtCustomDropDown::wheelEvent(QWheelEvent* event)
{
    QLineEdit::wheelEvent(event);
    if (event->angleDelta().y() < 0)
        HandleMouseWheelDown();
    else if (event->angleDelta().y() > 0)
        HandleMouseWheelUp();
}

void TExtCustomDropDown::enterEvent(QEnterEvent* event)
{
    QLineEdit::enterEvent(event);
    if (isEnabled() && !FMouseInControl) {
        FMouseInControl = true;
        UpdateButtonFocus();
        update();
    }
}

void TExtCustomDropDown::leaveEvent(QEvent* event)
{
    QLineEdit::leaveEvent(event);
    if (isEnabled() && FMouseInControl) {
        FMouseInControl = false;
        UpdateButtonFocus();
        update();
    }
}

void TExtCustomDropDown::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (FButton) FButton->setEnabled(isEnabled());
        if (FLabel && !FLabelAlwaysEnabled) FLabel->setEnabled(isEnabled());
        break;
    case QEvent::FontChange: SetEditRect(); break;
    default: break;
    }
}

void TExtCustomDropDown::showEvent(QShowEvent* event)
{
    QLineEdit::showEvent(event);
    if (FLabel && !FLabelCaption.isEmpty()) UpdateLabelPosition();
}

void TExtCustomDropDown::hideEvent(QHideEvent* event)
{
    QLineEdit::hideEvent(event);
    if (FLabel && !FLabelCaption.isEmpty()) FLabel->hide();
}

bool TExtCustomDropDown::eventFilter(QObject* watched, QEvent* event) { return QLineEdit::eventFilter(watched, event); }

void TExtCustomDropDown::UpdateButtonFocus()
{
    if (FButton) FButton->Button()->SetFocused(FMouseInControl || hasFocus());
}

// ---- painting and layout -------------------------------------------------------

void TExtCustomDropDown::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    TCanvas canvas(this);
    PaintFocusHighlight(canvas);
    if (FBorderColor != clNone || FFocusBorderColor != clNone || (!isEnabled() && FDisabledBorder)) DrawBorder(canvas);
}

void TExtCustomDropDown::DrawBorder(TCanvas& c)
{
    const TRect r{0, 0, width(), height()};
    c.SetBrushStyle(TBrushStyle::Solid);
    if (!isEnabled() && IsThemeActive() && FDisabledBorder) {
        c.SetBrushColor(0xC0C0C0);
        c.FrameRect(r);
    } else if (FBorderColor != clNone && (!hasFocus() || FFocusBorderColor == clNone)) {
        c.SetBrushColor(FBorderColor);
        c.FrameRect(r);
    } else if (FFocusBorderColor != clNone) {
        if (hasFocus()) {
            c.SetBrushColor(FFocusBorderColor);
            c.FrameRect(r);
        }
    }
}

void TExtCustomDropDown::PaintFocusHighlight(TCanvas& c)
{
    if (FInput.EditorEnabled || !hasFocus() || !FFocusDraw) return;
    TRect r{2, 2, width() - FDropDownButtonWidth - 1, height() - 2};
    c.SetPenStyle(TPenStyle::Solid);
    c.SetPenColor(clBlack);
    c.SetBrushStyle(TBrushStyle::Solid);
    c.SetBrushColor(clHighlight);
    c.Rectangle(r);
    r.Left += 2;
    r.Right -= 3;
    c.SetFont(font());
    c.SetFontColor(clHighlightText);
    c.SetBkMode(TBkMode::Transparent);
    c.DrawText(Text(), r, tfSingleLine | tfVCenter | tfNoPrefix);
}

int TExtCustomDropDown::MinimumHeight() const
{
    const int h = QFontMetrics(font()).height();
    const int system = QFontMetrics(QApplication::font()).height();
    return h + std::min(h, system) / 4;
}

void TExtCustomDropDown::ResizeControl()
{
    if (height() < MinimumHeight()) {
        resize(width(), MinimumHeight());
        return;
    }
    if (FButton) {
        const QRect r = DropDownButtonRect(width(), height(), FButton->BWidth(), FFlat);
        FButton->SetBounds(r.x(), r.y(), r.width(), r.height());
        SetEditRect();
    }
    update();
}

void TExtCustomDropDown::SetEditRect()
{
    const int buttonWidth = FButton ? FButton->width() : 0;
    FEditRect = QRect(QPoint(1, 1), QPoint(width() - buttonWidth - 3 - 1, height()));
    setTextMargins(0, 0, buttonWidth + 1, 0);
}

void TExtCustomDropDown::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    ResizeControl();
    if (FLabel && FLabel->parentWidget()) UpdateLabelPosition();
}

void TExtCustomDropDown::moveEvent(QMoveEvent* event)
{
    QLineEdit::moveEvent(event);
    if (FLabel && FLabel->parentWidget()) UpdateLabelPosition();
}

void TExtCustomDropDown::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, width, height);
    if (FLabel && FLabel->parentWidget()) UpdateLabelPosition();
}

// ---- label ---------------------------------------------------------------------

void TExtCustomDropDown::SetLabelCaption(const QString& value)
{
    FLabelCaption = value;
    if (!FLabel) {
        FLabel = new TDropDownLabel(this, parentWidget());
        FLabel->setBuddy(this);
        FLabel->setFont(FLabelFont);
    }
    FLabel->setText(value);
    UpdateLabelPosition();
}

void TExtCustomDropDown::SetLabelPosition(TLabelPosition value)
{
    FLabelPosition = value;
    UpdateLabelPosition();
}

void TExtCustomDropDown::SetLabelMargin(int value)
{
    FLabelMargin = value;
    UpdateLabelPosition();
}

void TExtCustomDropDown::SetLabelTransparent(bool value)
{
    FLabelTransparent = value;
    UpdateLabelPosition();
}

void TExtCustomDropDown::SetLabelFont(const QFont& value)
{
    FLabelFont = value;
    UpdateLabelPosition();
}

void TExtCustomDropDown::UpdateLabelPosition()
{
    if (!FLabel) return;
    FLabel->setAutoFillBackground(!FLabelTransparent);
    FLabel->setFont(FLabelFont);
    const QFontMetrics fm(FLabelFont);
    const int w = fm.boundingRect(QRect(0, 0, 1000, 255), Qt::TextShowMnemonic, FLabelCaption).width();
    FLabel->resize(w, fm.height());
    FLabel->move(LabelPlacement(FLabelPosition, geometry(), FLabel->size(), w, FLabelMargin));
    FLabel->setVisible(isVisibleTo(parentWidget() ? parentWidget() : this) && !isHidden());
}

// ---- styles --------------------------------------------------------------------

void TExtCustomDropDown::SetComponentStyle(TStudioStyle style)
{
    FStudioStyle = style;
    const TDropDownStylePreset* p = DropDownStylePreset(style);
    if (!p) return;
    FDropDownColor = p->DropDownColor;
    FDropDownColorTo = p->DropDownColorTo;
    if (p->WritesBorderColor) FDropDownBorderColor = p->DropDownBorderColor;
    ApplyStripColors(*FDropDownHeader, *FDropDownFooter, *p);
    ApplyButtonColors(*FButtonAppearance, p->Buttons);
}

void TExtCustomDropDown::SetColorTones(const TColorTones& tones)
{
    if (FButton) {
        FButton->ButtonColor = tones.Background.BrushColor;
        FButton->ButtonColorHot = tones.Hover.BrushColor;
        FButton->ButtonColorDown = tones.Selected.BrushColor;
        FButton->ButtonBorderColor = tones.Background.BorderColor;
        FButton->Button()->update();
    }
    SetBorderColor(tones.Background.BorderColor);
}

void TExtCustomDropDown::SetSelectionColorStyle(TSelectionColorStyle value)
{
    FSelectionColorStyle = value;
    SelectionColorsOf(value, FSelectionColor, FSelectionColorTo);
}

void TExtCustomDropDown::DrawSelectionBackground(TCanvas& canvas, const TRect& r, int part, TColor backgroundColor)
{
    const TSelectionBevelColors* b = SelectionBevelColors(FSelectionColorStyle);
    if (!b) {
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(FSelectionColor);
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(FSelectionColor);
        canvas.Rectangle(r);
        return;
    }
    DrawBevelTabFace(canvas, FSelectionColor, FSelectionColorTo, b->MirrorFrom, b->MirrorTo, b->TopInner, b->BottomInner, b->Border, b->Edge,
                     backgroundColor, r, part);
}

void TExtCustomDropDown::DrawGradient(TCanvas& canvas, TColor fromColor, TColor toColor, int steps, const TRect& r, bool direction)
{
    FillDropDownGradient(canvas, fromColor, toColor, steps, r, !direction);
}
