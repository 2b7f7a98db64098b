#include "controls/esgspin.h"

#include "controls/ExtUtilDraw.h"
#include "controls/ExtXPVS.h"
#include "platform/Application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

static void InitSpinResources() { Q_INIT_RESOURCE(esgspin); }

// ---------------------------------------------------------------------------
// Number texts

bool TryTextToFloat(const QString& text, double& value, const FormatSettings& fs)
{
    const QString t = Trim(text);
    if (t.isEmpty()) return false;
    QString c;
    c.reserve(t.size());
    for (QChar ch : t) {
        if (ch == fs.DecimalSeparator)
            c += '.';
        else if (ch == '.' || ch == ',' || ch == ' ')
            return false; // a separator that is not the regional decimal one
        else
            c += ch;
    }
    bool ok = false;
    const double v = c.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    value = v;
    return true;
}

QString SpinFloatToStr(double value, int precision, const FormatSettings& fs)
{
    QString s;
    if (precision > 0) {
        s = QString::number(value, 'f', precision);
    } else {
        s = QString::number(value, 'g', 15);
        // The exponent as the platform writes it: "E", sign only when negative.
        const qsizetype e = s.indexOf('e');
        if (e >= 0) {
            QString mant = s.left(e);
            QString exp = s.mid(e + 1);
            const bool neg = exp.startsWith('-');
            if (exp.startsWith('+') || neg) exp.remove(0, 1);
            while (exp.size() > 1 && exp.startsWith('0')) exp.remove(0, 1);
            s = mant + 'E' + (neg ? QStringLiteral("-") : QString()) + exp;
        }
    }
    s.replace('.', fs.DecimalSeparator);
    return s;
}

// ---------------------------------------------------------------------------
// TExtTimerSpeedButton

TExtTimerSpeedButton::TExtTimerSpeedButton(QWidget* parent) : TSpeedButton(parent) {}

TExtTimerSpeedButton::~TExtTimerSpeedButton() = default;

void TExtTimerSpeedButton::SetTimeBtnState(TTimeBtnState s)
{
    m_timeBtnState = s;
    update();
}

void TExtTimerSpeedButton::SetButtonDirection(TButtonDirection d)
{
    m_buttonDirection = d;
    update();
}

void TExtTimerSpeedButton::SetIsWinXP(bool v)
{
    m_isWinXP = v;
    update();
}

TEsgSpinButton* TExtTimerSpeedButton::SpinButton() const { return dynamic_cast<TEsgSpinButton*>(parentWidget()); }

void TExtTimerSpeedButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    TSpeedButton::MouseDown(button, shift, x, y);
    if (m_timeBtnState.Has(TTimeBtnStates::tbAllowTimer)) {
        if (!m_repeatTimer) {
            m_repeatTimer = std::make_unique<QTimer>();
            // An exception from a repeated click stops the timer and goes to
            // the default handler.
            GuardedConnect(m_repeatTimer.get(), &QTimer::timeout, this, [this] { TimerExpired(); });
        }
        m_repeatTimer->setInterval(400);
        m_repeatTimer->start();
    }
    if (parentWidget()) parentWidget()->update();
}

void TExtTimerSpeedButton::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    TSpeedButton::MouseUp(button, shift, x, y);
    if (m_repeatTimer) m_repeatTimer->stop();
    if (parentWidget()) parentWidget()->update();
}

void TExtTimerSpeedButton::TimerExpired()
{
    if (!m_repeatTimer) return;
    m_repeatTimer->setInterval(100);
    if (State() == TButtonState::bsDown && MouseCapture()) {
        try {
            Click();
        } catch (...) {
            m_repeatTimer->stop();
            throw;
        }
    }
}

void TExtTimerSpeedButton::Paint(TCanvas& canvas)
{
    const TRect r{0, 0, width(), height()};
    const bool pressed = Pressed();
    TEsgSpinButton* spin = SpinButton();
    if (spin && spin->ButtonColor() != clNone) {
        const TColor c = pressed ? spin->ButtonColorDown() : HasMouse() ? spin->ButtonColorHot() : spin->ButtonColor();
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(c);
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(c);
        canvas.Rectangle(r);
        std::vector<QPoint> tri;
        switch (m_buttonDirection) {
        case TButtonDirection::bdUp: tri = {{4, 4}, {8, 4}, {6, 2}}; break;
        case TButtonDirection::bdDown: tri = {{4, 2}, {8, 2}, {6, 4}}; break;
        case TButtonDirection::bdLeft: tri = {{5, 5}, {3, 7}, {5, 9}}; break;
        case TButtonDirection::bdRight: tri = {{3, 5}, {5, 7}, {3, 9}}; break;
        }
        canvas.SetBrushColor(clBlack);
        canvas.SetPenColor(clBlack);
        canvas.Polygon(tri);
    } else if (TThemeData* theme = m_isWinXP ? OpenThemeData(spin ? static_cast<QWidget*>(spin) : this, QStringLiteral("spin"))
                                             : nullptr) {
        int part = tpSpinUp;
        switch (m_buttonDirection) {
        case TButtonDirection::bdUp: part = tpSpinUp; break;
        case TButtonDirection::bdDown: part = tpSpinDown; break;
        case TButtonDirection::bdRight: part = tpSpinUpHorz; break;
        case TButtonDirection::bdLeft: part = tpSpinDownHorz; break;
        }
        DrawThemeBackground(theme, canvas, part, pressed ? thsPressed : HasMouse() ? thsHot : thsNormal, r);
        CloseThemeData(theme);
    } else if (m_buttonDirection == TButtonDirection::bdLeft || m_buttonDirection == TButtonDirection::bdRight) {
        // The scroll-arrow frame: a button frame with a small arrow.
        DrawClassicButtonFrame(canvas, r, pressed, Flat());
        const int d = pressed ? 1 : 0;
        const int cx = r.Width() / 2 + d;
        const int cy = r.Height() / 2 + d;
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(isEnabled() ? clBtnText : clGrayText);
        canvas.SetPenColor(isEnabled() ? clBtnText : clGrayText);
        if (m_buttonDirection == TButtonDirection::bdLeft)
            canvas.Polygon({{cx + 1, cy - 3}, {cx - 2, cy}, {cx + 1, cy + 3}});
        else
            canvas.Polygon({{cx - 1, cy - 3}, {cx + 2, cy}, {cx - 1, cy + 3}});
    } else {
        TSpeedButton::Paint(canvas);
    }
    if (m_timeBtnState.Has(TTimeBtnStates::tbFocusRect)) {
        QPainter& p = canvas.Painter();
        p.save();
        QPen pen(Qt::black, 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(2, 2, width() - 5, height() - 5));
        p.restore();
    }
}

// ---------------------------------------------------------------------------
// TEsgSpinButton

QImage TEsgSpinButton::DefaultGlyph(bool up)
{
    static const bool initialised = (InitSpinResources(), true);
    (void)initialised;
    return QImage(up ? QStringLiteral(":/EsgSpinUp") : QStringLiteral(":/EsgSpinDown"));
}

TEsgSpinButton::TEsgSpinButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_upButton = std::make_unique<TExtTimerSpeedButton>(this);
    m_downButton = std::make_unique<TExtTimerSpeedButton>(this);
    for (TExtTimerSpeedButton* b : {m_upButton.get(), m_downButton.get()}) {
        TTimeBtnState s;
        s.Include(TTimeBtnStates::tbAllowTimer);
        b->SetTimeBtnState(s);
        b->OnClick = [this, b](QObject*) { BtnClick(b); };
        b->OnMouseDown = [this, b](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) { BtnMouseDown(b, button); };
        b->show();
    }
    m_upButton->SetButtonDirection(TButtonDirection::bdUp);
    m_downButton->SetButtonDirection(TButtonDirection::bdDown);
    m_upButton->SetGlyph(DefaultGlyph(true));
    m_downButton->SetGlyph(DefaultGlyph(false));
    m_focusedButton = m_upButton.get();
    resize(15, 25);
    LayoutButtons();
}

TEsgSpinButton::~TEsgSpinButton() = default;

void TEsgSpinButton::RepaintButtons()
{
    m_upButton->update();
    m_downButton->update();
}

void TEsgSpinButton::SetDirection(TSpinDirection d)
{
    if (d == m_direction) return;
    m_direction = d;
    if (d == TSpinDirection::spHorizontal) {
        resize(20, height());
        m_upButton->SetButtonDirection(TButtonDirection::bdRight);
        m_downButton->SetButtonDirection(TButtonDirection::bdLeft);
    } else {
        resize(15, height());
        m_upButton->SetButtonDirection(TButtonDirection::bdUp);
        m_downButton->SetButtonDirection(TButtonDirection::bdDown);
    }
    LayoutButtons();
}

void TEsgSpinButton::SetIsWinXP(bool v)
{
    m_isWinXP = v;
    m_upButton->SetIsWinXP(v);
    m_downButton->SetIsWinXP(v);
}

QImage TEsgSpinButton::UpGlyph() const { return m_upButton->Glyph(); }
QImage TEsgSpinButton::DownGlyph() const { return m_downButton->Glyph(); }
int TEsgSpinButton::UpNumGlyphs() const { return m_upButton->NumGlyphs(); }
int TEsgSpinButton::DownNumGlyphs() const { return m_downButton->NumGlyphs(); }
void TEsgSpinButton::SetUpNumGlyphs(int n) { m_upButton->SetNumGlyphs(n); }
void TEsgSpinButton::SetDownNumGlyphs(int n) { m_downButton->SetNumGlyphs(n); }

void TEsgSpinButton::SetUpGlyph(const QImage& glyph)
{
    if (!glyph.isNull()) {
        m_upButton->SetGlyph(glyph);
    } else {
        m_upButton->SetGlyph(DefaultGlyph(true));
        m_upButton->SetNumGlyphs(1);
    }
}

void TEsgSpinButton::SetDownGlyph(const QImage& glyph)
{
    if (!glyph.isNull()) {
        m_downButton->SetGlyph(glyph);
    } else {
        m_downButton->SetGlyph(DefaultGlyph(false));
        m_downButton->SetNumGlyphs(1);
    }
}

void TEsgSpinButton::AdjustSize(int& w, int& h)
{
    if (m_direction == TSpinDirection::spVertical) {
        if (w < 15) w = 15;
        const int upH = h / 2;
        m_upButton->setGeometry(0, 0, w, upH);
        m_downButton->setGeometry(0, upH - 1, w, h - upH + 1);
    } else {
        if (w < 20) w = 20;
        m_downButton->setGeometry(0, 0, w / 2, h);
        m_upButton->setGeometry(w / 2 + 1, 0, w / 2, h);
    }
}

void TEsgSpinButton::LayoutButtons()
{
    int w = width();
    int h = height();
    AdjustSize(w, h);
    if (w != width() || h != height()) resize(w, h);
}

void TEsgSpinButton::SetBounds(int left, int top, int w, int h)
{
    AdjustSize(w, h);
    setGeometry(left, top, w, h);
}

void TEsgSpinButton::resizeEvent(QResizeEvent*) { LayoutButtons(); }

void TEsgSpinButton::paintEvent(QPaintEvent*)
{
    // The parts cover the control; what they leave shows the button face.
    QPainter p(this);
    p.fillRect(rect(), ColorToQColor(clBtnFace));
}

void TEsgSpinButton::SetFocusBtn(TExtTimerSpeedButton* btn)
{
    if (!TabStop() || !isEnabled() || !isVisible() || btn == m_focusedButton) return;
    TTimeBtnState s = m_focusedButton->TimeBtnState();
    s.Exclude(TTimeBtnStates::tbFocusRect);
    m_focusedButton->SetTimeBtnState(s);
    m_focusedButton = btn;
    if (hasFocus()) {
        s = m_focusedButton->TimeBtnState();
        s.Include(TTimeBtnStates::tbFocusRect);
        m_focusedButton->SetTimeBtnState(s);
        update();
    }
}

void TEsgSpinButton::BtnMouseDown(TExtTimerSpeedButton* btn, Qt::MouseButton button)
{
    if (button != Qt::LeftButton) return;
    SetFocusBtn(btn);
    QWidget* fc = m_focusControl;
    auto canFocus = [](QWidget* w) { return w->isEnabled() && w->isVisible(); };
    if (fc && (fc->focusPolicy() & Qt::TabFocus) && canFocus(fc) && !fc->hasFocus())
        fc->setFocus(Qt::MouseFocusReason);
    else if (TabStop() && !hasFocus() && canFocus(this))
        setFocus(Qt::MouseFocusReason);
}

void TEsgSpinButton::BtnClick(TExtTimerSpeedButton* btn)
{
    if (btn == m_upButton.get()) {
        if (OnUpClick) OnUpClick(this);
    } else if (OnDownClick) {
        OnDownClick(this);
    }
}

void TEsgSpinButton::keyPressEvent(QKeyEvent* event)
{
    Guard([&] {
        switch (event->key()) {
        case Qt::Key_Space: m_focusedButton->Click(); break;
        case Qt::Key_Up:
            SetFocusBtn(m_upButton.get());
            m_upButton->Click();
            break;
        case Qt::Key_Down:
            SetFocusBtn(m_downButton.get());
            m_downButton->Click();
            break;
        default: QWidget::keyPressEvent(event); return;
        }
        event->accept();
    });
}

void TEsgSpinButton::focusInEvent(QFocusEvent*)
{
    TTimeBtnState s = m_focusedButton->TimeBtnState();
    s.Include(TTimeBtnStates::tbFocusRect);
    m_focusedButton->SetTimeBtnState(s);
}

void TEsgSpinButton::focusOutEvent(QFocusEvent*)
{
    TTimeBtnState s = m_focusedButton->TimeBtnState();
    s.Exclude(TTimeBtnStates::tbFocusRect);
    m_focusedButton->SetTimeBtnState(s);
}

// ---------------------------------------------------------------------------
// Edits with a button at the right edge

int EditFontHeight(const QWidget& edit)
{
    const int h = QFontMetrics(edit.font()).height();
    const int s = QFontMetrics(QApplication::font()).height();
    return h + std::min(h, s) / 4;
}

bool PlaceEmbeddedButton(TMaskEdit& edit, int minHeight, int buttonWidth, const std::function<void(int, int, int, int)>& setBounds)
{
    if (edit.height() < minHeight) {
        edit.resize(edit.width(), minHeight);
        return false;
    }
    const int m = edit.BorderStyle() == TBorderStyle::bsNone ? 1 : 5;
    // The positions are client coordinates.
    const int b = edit.BorderWidth();
    if (IsComCtl6() && edit.Ctl3D())
        setBounds(b + edit.width() - buttonWidth - m, b, buttonWidth, edit.height() - m);
    else
        setBounds(b + edit.width() - buttonWidth, b + 1, buttonWidth, edit.height() - 3);
    return true;
}

// ---------------------------------------------------------------------------
// TEsgSpinEdit

TEsgSpinEdit::TEsgSpinEdit(QWidget* parent) : TMaskEdit(parent)
{
    m_button = std::make_unique<TEsgSpinButton>(this);
    m_button->resize(15, 17);
    m_button->SetFocusControl(this);
    m_button->OnUpClick = [this](QObject* s) { UpClick(s); };
    m_button->OnDownClick = [this](QObject* s) { DownClick(s); };
    m_button->show();
    setText(QStringLiteral("0"));
    resize(121, std::max(21, MinHeight()));
    RecreateWnd();
    WMSize();
}

TEsgSpinEdit::~TEsgSpinEdit() = default;

int TEsgSpinEdit::MinHeight() const
{
    int m = EditFontHeight(*this) + 2;
    if (BorderStyle() == TBorderStyle::bsSingle) m += 4;
    return m;
}

void TEsgSpinEdit::AdjustHeight()
{
    // The height follows the font: held at the minimum by the size handler.
}

void TEsgSpinEdit::SetEditRect()
{
    const int b = BorderStyle() == TBorderStyle::bsNone ? 3 : 0;
    TMaskEdit::SetEditRect(TRect{b, b, ClientWidth() - m_button->width() - 2 - b, ClientHeight() + 1});
}

void TEsgSpinEdit::WMSize()
{
    if (!PlaceEmbeddedButton(*this, MinHeight(), m_button->width(),
                             [this](int l, int t, int w, int h) { m_button->SetBounds(l, t, w, h); }))
        return;
    SetEditRect();
}

void TEsgSpinEdit::ForceResize()
{
    resize(width() + 1, height());
    resize(width() - 1, height());
}

Qt::Alignment TEsgSpinEdit::CreateAlignment() const
{
    switch (m_editAlign) {
    case TEditAlign::eaRight: return Qt::AlignRight;
    case TEditAlign::eaCenter: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

void TEsgSpinEdit::CreateWnd() { SetEditRect(); }

void TEsgSpinEdit::SetEditAlign(TEditAlign a)
{
    if (a == m_editAlign) return;
    m_editAlign = a;
    RecreateWnd();
}

void TEsgSpinEdit::SetDirection(TSpinDirection d)
{
    if (d == m_direction) return;
    m_direction = d;
    m_button->SetDirection(d);
    ForceResize();
}

void TEsgSpinEdit::SetSpinFlat(bool v)
{
    m_spinFlat = v;
    m_button->UpButton()->SetFlat(v);
    m_button->DownButton()->SetFlat(v);
}

void TEsgSpinEdit::SetSpinTransparent(bool v)
{
    m_spinTransparent = v;
    m_button->UpButton()->SetTransparent(v);
    m_button->DownButton()->SetTransparent(v);
    ForceResize();
}

void TEsgSpinEdit::SetIsWinXP(bool v)
{
    m_isWinXP = v;
    m_button->SetIsWinXP(v);
}

// ---- values ----------------------------------------------------------------

int32_t TEsgSpinEdit::CheckValue(int64_t v) const
{
    if (m_minValue != m_maxValue) v = std::clamp<int64_t>(v, m_minValue, m_maxValue);
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

double TEsgSpinEdit::CheckFloatValue(double v) const
{
    if (m_minFloatValue == m_maxFloatValue) return v;
    return std::clamp(v, m_minFloatValue, m_maxFloatValue);
}

TDateTime TEsgSpinEdit::CheckDateValue(TDateTime v) const
{
    if (m_minDateValue == m_maxDateValue) return v;
    if (v < m_minDateValue) return m_minDateValue;
    if (v > m_maxDateValue) return m_maxDateValue;
    return v;
}

int32_t TEsgSpinEdit::Value() const
{
    const QString t = Trim(Text());
    if (t.isEmpty()) return 0;
    const auto v = TryStrToInt(t);
    return v ? *v : m_minValue;
}

void TEsgSpinEdit::SetValue(int32_t v)
{
    setText(QString::number(CheckValue(v)));
    if (!m_editorEnabled) selectAll();
}

double TEsgSpinEdit::FloatValue() const
{
    double v = 0;
    return TryTextToFloat(Text(), v, SystemFormatSettings()) ? v : m_minFloatValue;
}

void TEsgSpinEdit::SetFloatValue(double v) { setText(SpinFloatToStr(CheckFloatValue(v), m_precision, SystemFormatSettings())); }

TDateTime TEsgSpinEdit::DateValue() const
{
    const QString t = Text();
    if (t.isEmpty() || t == QLatin1String("0")) return Date();
    TDateTime v = 0;
    return TryStrToDate(t, v) ? v : m_minDateValue;
}

void TEsgSpinEdit::WriteKeepingCaret(const QString& text)
{
    const int p = cursorPosition();
    setText(text);
    setCursorPosition(std::min<int>(p, int(text.size())));
}

void TEsgSpinEdit::SetDateValue(TDateTime v)
{
    m_dateValue = v;
    if (m_loading) return;
    m_dateValue = CheckDateValue(v);
    WriteKeepingCaret(DateToStr(m_dateValue));
}

TDateTime TEsgSpinEdit::TimeValue() const
{
    TDateTime v = 0;
    return TryStrToTime(Text(), v) ? v : 0;
}

void TEsgSpinEdit::SetTimeValue(TDateTime v)
{
    m_timeValue = v;
    if (m_loading) return;
    m_timeValue = CheckDateValue(v);
    WriteKeepingCaret(m_showSeconds ? TimeToStr(m_timeValue) : FormatDateTime(QStringLiteral("h:nn"), m_timeValue));
}

void TEsgSpinEdit::SetPrecision(int p)
{
    m_precision = p;
    if (m_spinType == TEsgSpinType::sptFloat) SetFloatValue(FloatValue());
}

void TEsgSpinEdit::RewriteValue()
{
    switch (m_spinType) {
    case TEsgSpinType::sptNormal: SetValue(Value()); break;
    case TEsgSpinType::sptFloat: SetFloatValue(FloatValue()); break;
    case TEsgSpinType::sptDate: SetDateValue(DateValue()); break;
    case TEsgSpinType::sptTime: SetTimeValue(TimeValue()); break;
    }
}

void TEsgSpinEdit::SetSpinType(TEsgSpinType t)
{
    m_spinType = t;
    if (!m_loading) RewriteValue();
}

void TEsgSpinEdit::Loaded()
{
    m_loading = false;
    if (m_spinType == TEsgSpinType::sptDate) SetDateValue(m_dateValue);
    if (m_spinType == TEsgSpinType::sptTime) SetTimeValue(m_timeValue);
    RewriteValue();
}

// ---- steps -----------------------------------------------------------------

void TEsgSpinEdit::StepUp(bool page) { Step(+1, page); }
void TEsgSpinEdit::StepDown(bool page) { Step(-1, page); }
void TEsgSpinEdit::UpClick(QObject*) { StepUp(false); }
void TEsgSpinEdit::DownClick(QObject*) { StepDown(false); }

void TEsgSpinEdit::Step(int sign, bool page)
{
    if (ReadOnly()) {
        Beep();
        return;
    }
    switch (m_spinType) {
    case TEsgSpinType::sptNormal: SetValue(CheckValue(int64_t(Value()) + int64_t(sign) * m_increment)); break;
    case TEsgSpinType::sptFloat: SetFloatValue(FloatValue() + sign * (page ? m_incrementFloatPage : m_incrementFloat)); break;
    case TEsgSpinType::sptDate: StepDate(sign); break;
    case TEsgSpinType::sptTime: StepTime(sign); break;
    }
}

namespace {
// 1-based position of the n-th (1 or 2) occurrence of c; 0 when absent.
int NthPos(const QString& s, QChar c, int n)
{
    qsizetype p = -1;
    for (int i = 0; i < n; ++i) {
        p = s.indexOf(c, p + 1);
        if (p < 0) return 0;
    }
    return int(p) + 1;
}
} // namespace

void TEsgSpinEdit::StepDate(int sign)
{
    const FormatSettings& fs = SystemFormatSettings();
    const QString f = fs.ShortDateFormat.toUpper();
    const qsizetype posD = f.indexOf('D');
    const qsizetype posM = f.indexOf('M');
    const qsizetype posY = f.indexOf('Y');
    m_usDates = posM >= 0 && (posD < 0 || posM < posD);
    // The fields in the order of the format's letters.
    std::vector<std::pair<qsizetype, QChar>> order = {{posD < 0 ? 1000 : posD, 'D'}, {posM < 0 ? 1001 : posM, 'M'},
                                                      {posY < 0 ? 1002 : posY, 'Y'}};
    std::sort(order.begin(), order.end());
    const QString t = Text();
    const int p = SelStart();
    const int s1 = NthPos(t, fs.DateSeparator, 1);
    const int s2 = NthPos(t, fs.DateSeparator, 2);
    const int field = p < s1 ? 0 : p < s2 ? 1 : 2;
    const QChar which = order[size_t(field)].second;

    const TDateTime v = DateValue();
    int y, m, d;
    DecodeDate(v, y, m, d);
    TDateTime result = v;
    bool ok = false;
    if (which == 'M') {
        ok = TryIncMonth(v, sign, result);
    } else if (which == 'Y') {
        const int ny = y + sign;
        ok = ny >= 1 && ny <= 9999 && TryEncodeDate(ny, m, std::min(d, QDate(ny, m, 1).daysInMonth()), result);
    } else {
        result = v + sign;
        int ry, rm, rd;
        DecodeDate(result, ry, rm, rd);
        ok = ry >= 1 && ry <= 9999;
    }
    if (!ok) {
        Beep();
        return;
    }
    SetDateValue(result);
}

void TEsgSpinEdit::StepTime(int sign)
{
    const FormatSettings& fs = SystemFormatSettings();
    const QString t = Text();
    const int p = SelStart();
    const int t1 = NthPos(t, fs.TimeSeparator, 1);
    const int t2 = NthPos(t, fs.TimeSeparator, 2);
    double step;
    if (p < t1)
        step = m_incrementHours / 24.0;
    else if (m_showSeconds && p >= t2)
        step = m_incrementSeconds / 86400.0;
    else
        step = m_incrementMinutes / 1440.0;
    const TDateTime v = TimeValue();
    if (sign > 0) {
        SetTimeValue(v + step);
    } else {
        TDateTime r = (v + 1) - step;
        if (r > 1) r -= 1;
        SetTimeValue(r);
    }
}

// ---- keys and characters ---------------------------------------------------

bool TEsgSpinEdit::WMKeyDown(int key, Qt::KeyboardModifiers)
{
    switch (key) {
    case Qt::Key_PageUp: StepUp(true); return true;
    case Qt::Key_PageDown: StepDown(true); return true;
    case Qt::Key_Up: StepUp(false); return true;
    case Qt::Key_Down: StepDown(false); return true;
    default: return false;
    }
}

void TEsgSpinEdit::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_returnIsTab) {
        key = Qt::Key_Tab;
        QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
    }
    if (key == Qt::Key_Delete && !m_editorEnabled) key = 0;
    TMaskEdit::KeyDown(key, shift);
}

void TEsgSpinEdit::WMChar(QChar& key, bool keypad)
{
    if (m_excelStyleDecimalSeparator && key == '.' && keypad) key = SystemFormatSettings().DecimalSeparator;
    TMaskEdit::WMChar(key, keypad);
}

void TEsgSpinEdit::KeyPress(QChar& key)
{
    if (!IsValidChar(key)) {
        key = QChar();
        Beep();
        return;
    }
    TMaskEdit::KeyPress(key);
}

bool TEsgSpinEdit::IsValidChar(QChar& key)
{
    const FormatSettings& fs = SystemFormatSettings();
    const char16_t k = key.unicode();
    if (k == 8) return m_editorEnabled;
    const bool control = k < 32;
    bool ok = key == fs.DecimalSeparator || key == fs.ThousandSeparator || key == fs.TimeSeparator || key == fs.DateSeparator ||
              key.isNumber() || key == '-' || (control && k != 13);
    const bool numberKind = m_spinType == TEsgSpinType::sptNormal || m_spinType == TEsgSpinType::sptFloat;
    auto doubles = [&](QChar sep) { return sep == fs.DecimalSeparator || sep == fs.ThousandSeparator || sep == '-' || sep == '+'; };
    if (key == fs.TimeSeparator && m_spinType != TEsgSpinType::sptTime) {
        if (!(doubles(fs.TimeSeparator) && numberKind)) ok = false;
    }
    if (key == fs.DateSeparator && m_spinType != TEsgSpinType::sptDate) {
        if (!(doubles(fs.DateSeparator) && numberKind)) ok = false;
    }
    const QString t = text();
    if (key == '-') {
        if (!t.contains('-')) {
            if (SelStart() > 0) ok = false;
        } else if (!(SelText().contains('-') && SelStart() == 0)) {
            ok = false;
        }
    }
    if (m_spinType == TEsgSpinType::sptNormal && !(key.isNumber() || key == '-')) ok = false;
    if (m_spinType == TEsgSpinType::sptFloat && k != 27 && k != 13 && k != 8) {
        if (key == fs.ThousandSeparator) ok = false;
        if (key == fs.DecimalSeparator && t.contains(fs.DecimalSeparator) && !SelText().contains(fs.DecimalSeparator)) ok = false;
        const int d = int(t.indexOf(fs.DecimalSeparator)) + 1;
        if (m_precision > 0 && d > 0 && SelStart() >= d && SelLength() == 0 && ok && t.size() >= d + m_precision) ok = false;
    }
    if (m_spinType == TEsgSpinType::sptTime && key == fs.TimeSeparator && t.count(fs.TimeSeparator) >= 2) ok = false;
    if (!m_editorEnabled) ok = ok && control;
    return ok;
}

bool TEsgSpinEdit::TextParsesInKind(const QString& t) const
{
    if (Trim(t).isEmpty()) return true;
    TDateTime dt = 0;
    double f = 0;
    switch (m_spinType) {
    case TEsgSpinType::sptNormal: return TryStrToInt(Trim(t)).has_value();
    case TEsgSpinType::sptFloat: return TryTextToFloat(t, f, SystemFormatSettings());
    case TEsgSpinType::sptDate: return t == QLatin1String("0") || TryStrToDate(t, dt);
    case TEsgSpinType::sptTime: return TryStrToTime(t, dt);
    }
    return false;
}

void TEsgSpinEdit::WMPaste(const QString& text)
{
    if (!m_editorEnabled || ReadOnly()) return;
    if (!TextParsesInKind(TextAfterPaste(text))) {
        Beep();
        return;
    }
    TMaskEdit::WMPaste(text);
}

void TEsgSpinEdit::WMCut()
{
    if (!m_editorEnabled || ReadOnly()) return;
    TMaskEdit::WMCut();
}

void TEsgSpinEdit::CMEnter()
{
    if (AutoSelect() && (!(QGuiApplication::mouseButtons() & Qt::LeftButton) || !m_editorEnabled)) selectAll();
    if (OnEnter) OnEnter(this);
}

void TEsgSpinEdit::CMExit()
{
    TMaskEdit::CMExit();
    switch (m_spinType) {
    case TEsgSpinType::sptNormal: {
        const int32_t v = Value();
        if (CheckValue(v) != v) SetValue(v);
        break;
    }
    case TEsgSpinType::sptFloat: {
        const double v = FloatValue();
        if (CheckFloatValue(v) != v) SetFloatValue(v);
        break;
    }
    case TEsgSpinType::sptDate: {
        const TDateTime v = DateValue();
        if (CheckDateValue(v) != v) SetDateValue(v);
        break;
    }
    case TEsgSpinType::sptTime: {
        const TDateTime v = TimeValue();
        if (CheckDateValue(v) != v) SetTimeValue(v);
        break;
    }
    }
}
