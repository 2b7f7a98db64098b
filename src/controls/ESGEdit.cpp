#include "controls/ESGEdit.h"

#include "controls/ExtUtilDraw.h"
#include "controls/ExtXPVS.h"
#include "controls/esgspin.h"
#include "platform/Menus.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QPaintEvent>
#include <algorithm>

// ---------------------------------------------------------------------------
// TExtSpeedButton

TExtSpeedButton::TExtSpeedButton(QWidget* parent) : TSpeedButton(parent) {}

TExtSpeedButton::~TExtSpeedButton() = default;

void TExtSpeedButton::SetIsWinXP(bool v)
{
    m_isWinXP = v;
    update();
}

TEsgEditButton* TExtSpeedButton::Container() const { return dynamic_cast<TEsgEditButton*>(parentWidget()); }

void TExtSpeedButton::Paint(TCanvas& canvas)
{
    TRect r{0, 0, width(), height()};
    const bool pressed = Pressed();
    TEsgEditButton* box = Container();
    TThemeData* theme = nullptr;
    if (box && box->ButtonColor() != clNone) {
        if (!Flat()) SetFlat(true);
        const TColor c = pressed ? box->ButtonColorDown() : Hot() ? box->ButtonColorHot() : box->ButtonColor();
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(c);
        canvas.FillRect(r);
    } else if (m_isWinXP && (theme = OpenThemeData(parentWidget(), QStringLiteral("button")))) {
        DrawThemeBackground(theme, canvas, tpButtonPush, pressed ? thsPressed : Hot() ? thsHot : thsNormal, r);
        CloseThemeData(theme);
    } else if (Flat()) {
        // A one-pixel edge: raised inside, or sunken outside while pressed,
        // with the middle filled.
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(clBtnFace);
        canvas.FillRect(r);
        const TColor tl = pressed ? clBtnShadow : clBtnHighlight;
        const TColor br = pressed ? clBtnHighlight : clBtnShadow;
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(tl);
        canvas.MoveTo(r.Left, r.Bottom - 1);
        canvas.LineTo(r.Left, r.Top);
        canvas.LineTo(r.Right - 1, r.Top);
        canvas.SetPenColor(br);
        canvas.LineTo(r.Right - 1, r.Bottom - 1);
        canvas.LineTo(r.Left - 1, r.Bottom - 1);
        r = r.Inflated(-1, -1);
    } else {
        DrawClassicButtonFrame(canvas, r, pressed, false);
        r = r.Inflated(-2, -2);
    }
    const bool down = State() == TButtonState::bsDown;
    if (!Glyph().isNull()) {
        const QImage& g = Glyph();
        const int x = (g.width() < width() ? (width() - g.width()) / 2 : 0) + (down ? 1 : 0);
        const int y = (g.height() < height() ? (height() - g.height()) / 2 : 0) + (down ? 1 : 0);
        const TColor key = QColorToColor(QColor::fromRgb(g.pixel(0, g.height() - 1)));
        canvas.DrawTransparent(x, y, g, key);
    }
    if (!Caption().isEmpty()) {
        canvas.SetFont(font());
        canvas.SetFontColor(clBlack);
        canvas.SetBkMode(TBkMode::Transparent);
        TRect tr = down ? r.Offset(1, 1) : r;
        canvas.DrawText(Caption(), tr, tfCenter | tfVCenter | tfSingleLine);
    }
}

// ---------------------------------------------------------------------------
// TEsgEditButton

TEsgEditButton::TEsgEditButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_button = std::make_unique<TExtSpeedButton>(this);
    m_button->SetCaption(QString());
    m_button->OnClick = [](QObject*) {};
    m_button->OnMouseUp = [this](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) { BtnMouseUp(b); };
    m_button->show();
    resize(20, 25);
    m_button->setGeometry(0, 0, width(), height());
}

TEsgEditButton::~TEsgEditButton() = default;

void TEsgEditButton::SetFlat(bool v)
{
    m_flat = v;
    m_button->SetFlat(v);
}

void TEsgEditButton::resizeEvent(QResizeEvent*) { m_button->setGeometry(0, 0, width(), height()); }

void TEsgEditButton::BtnMouseUp(Qt::MouseButton button)
{
    if (button != Qt::LeftButton) return;
    if (OnClick) OnClick(this);
    QWidget* fc = m_focusControl;
    auto canFocus = [](QWidget* w) { return w->isEnabled() && w->isVisible(); };
    if (fc && (fc->focusPolicy() & Qt::TabFocus) && canFocus(fc) && !fc->hasFocus())
        fc->setFocus(Qt::MouseFocusReason);
    else if (TabStop() && !hasFocus() && canFocus(this))
        setFocus(Qt::MouseFocusReason);
}

// ---------------------------------------------------------------------------
// TEsgEditBtn

TEsgEditBtn::TEsgEditBtn(QWidget* parent) : TEsgEditBtn(parent, 0, false) {}

TEsgEditBtn::TEsgEditBtn(QWidget* parent, int unitSize, bool rightAlign) : TMaskEdit(parent), m_unitSize(unitSize), m_rightAlign(rightAlign)
{
    m_button = std::make_unique<TEsgEditButton>(this);
    m_button->resize(18, 18);
    m_button->SetFocusControl(this);
    m_button->OnClick = [this](QObject* s) { ButtonClick(s); };
    m_button->show();
    setText(QStringLiteral("0"));
    resize(121, std::max(21, MinHeight()));
    RecreateWnd();
    WMSize();
}

TEsgEditBtn::~TEsgEditBtn() = default;

void TEsgEditBtn::SetButtonWidth(int w)
{
    m_buttonWidth = w;
    m_button->resize(w, m_button->height());
    WMSize();
}

void TEsgEditBtn::SetIsWinXP(bool v)
{
    m_isWinXP = v;
    m_button->Button()->SetIsWinXP(v);
}

void TEsgEditBtn::SetRightAlign(bool v)
{
    if (v == m_rightAlign) return;
    m_rightAlign = v;
    RecreateWnd();
}

Qt::Alignment TEsgEditBtn::CreateAlignment() const { return m_rightAlign ? Qt::AlignRight : Qt::AlignLeft; }

void TEsgEditBtn::CreateWnd() { SetEditRect(); }

void TEsgEditBtn::AdjustHeight()
{
    // The height follows the font: held at the minimum by the size handler.
}

int TEsgEditBtn::MinHeight() const { return EditFontHeight(*this); }

void TEsgEditBtn::SetEditRect()
{
    const int lt = BorderStyle() == TBorderStyle::bsNone ? 3 : 1;
    int right = ClientWidth() - m_button->width() - 5 - m_unitSize;
    if (m_unitSize > 0) right -= 3;
    TMaskEdit::SetEditRect(TRect{lt, lt, right, ClientHeight() + 1});
}

void TEsgEditBtn::WMSize()
{
    if (!PlaceEmbeddedButton(*this, MinHeight(), m_button->width(),
                             [this](int l, int t, int w, int h) { m_button->SetBounds(l, t, w, h); }))
        return;
    SetEditRect();
}

void TEsgEditBtn::ButtonClick(QObject* Sender)
{
    if (OnClickBtn) OnClickBtn(Sender);
}

void TEsgEditBtn::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_Delete && !m_editorEnabled) key = 0;
    TMaskEdit::KeyDown(key, shift);
    if (key == Qt::Key_F4 && !(shift & (Qt::ControlModifier | Qt::AltModifier))) ButtonClick(this);
}

void TEsgEditBtn::WMChar(QChar& key, bool keypad)
{
    if (!m_editorEnabled) {
        key = QChar();
        return;
    }
    TMaskEdit::WMChar(key, keypad);
}

void TEsgEditBtn::WMPaste(const QString& text)
{
    if (!m_editorEnabled || ReadOnly()) return;
    TMaskEdit::WMPaste(text);
}

void TEsgEditBtn::WMCut()
{
    if (!m_editorEnabled || ReadOnly()) return;
    TMaskEdit::WMCut();
}

void TEsgEditBtn::CMEnter()
{
    if (AutoSelect() && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) selectAll();
    if (OnEnter) OnEnter(this);
}

// ---------------------------------------------------------------------------
// TEsgUnitEditBtn

TEsgUnitEditBtn::TEsgUnitEditBtn(QWidget* parent) : TEsgEditBtn(parent, 20, true) {}

TEsgUnitEditBtn::~TEsgUnitEditBtn() = default;

void TEsgUnitEditBtn::SetUnitID(const QString& unit)
{
    m_unitID = unit;
    update();
}

void TEsgUnitEditBtn::SetUnitSpace(int w)
{
    m_unitSize = w;
    SetEditRect();
    update();
}

QString TEsgUnitEditBtn::TextAndUnit() const { return Text() + m_unitID; }

void TEsgUnitEditBtn::SetTextAndUnit(const QString& value)
{
    for (const QString& u : m_units) {
        if (u.isEmpty()) continue;
        const qsizetype at = value.indexOf(u);
        if (at >= 0 && at == value.size() - u.size()) {
            SetText(value.left(at));
            SetUnitID(u);
            return;
        }
    }
}

void TEsgUnitEditBtn::ButtonClick(QObject*)
{
    if (OnClickBtn) OnClickBtn(this);
    QMenu menu(this);
    for (qsizetype i = 0; i < m_units.size(); ++i) menu.addAction(m_units[i])->setData(int(i + 1));
    if (menu.isEmpty()) return;
    const QPoint at = mapToGlobal(QPoint(BorderWidth() + ClientWidth() - 15, BorderWidth() + ClientHeight()));
    if (QAction* chosen = TrackPopupMenu(menu, at)) WMCommand(chosen->data().toInt());
}

void TEsgUnitEditBtn::WMCommand(int id)
{
    if (id < 1 || id > m_units.size()) return;
    const QString previous = m_unitID;
    SetUnitID(m_units[id - 1]);
    if (m_unitID != previous && OnUnitChanged) OnUnitChanged(this, m_unitID);
}

void TEsgUnitEditBtn::paintEvent(QPaintEvent* event)
{
    TEsgEditBtn::paintEvent(event);
    TCanvas canvas(this);
    canvas.SetFont(font());
    canvas.SetFontColor(clWindowText);
    canvas.SetBkMode(TBkMode::Transparent);
    const int bw = Button()->width();
    const int b = BorderWidth();
    TRect r{ClientWidth() - (bw + 3) - m_unitSize, 2, ClientWidth() - (bw + 3), ClientHeight()};
    r = r.Offset(b, b);
    canvas.DrawText(m_unitID, r, tfLeft | tfTop | tfSingleLine | tfNoPrefix);
}
