#include "controls/ExtDateTimePicker.h"

#include "controls/ExtXPVS.h"
#include "platform/Application.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <cmath>

namespace {
// The hour, minute and second of a value joined with its date (milliseconds
// dropped).
TDateTime WithoutMilliseconds(TDateTime v)
{
    int h, m, s, ms;
    DecodeTime(v, h, m, s, ms);
    TDateTime t = 0;
    TryEncodeTime(h, m, s, 0, t);
    return ComposeDateTime(std::trunc(v), t);
}
} // namespace

// ---------------------------------------------------------------------------
// TCustomDateTimePicker

TCustomDateTimePicker::TCustomDateTimePicker(QWidget* parent) : TLookDateTimePicker(parent, clBlack, false, 4)
{
    Look().RedrawOutline = true;
}

TCustomDateTimePicker::~TCustomDateTimePicker() = default;

void TCustomDateTimePicker::SetAutoTab(bool value) { m_autoTab = value; }

void TCustomDateTimePicker::RememberBeforeDigit()
{
    m_digitField = ActiveField();
    if (Kind() == TDateTimeKind::dtkTime) {
        int h, m, s, ms;
        DecodeTime(TDateTimePicker::Time(), h, m, s, ms);
        Fh = uint16_t(h);
        Fm = uint16_t(m);
        Fs = uint16_t(s);
        Fms = uint16_t(ms);
    }
}

void TCustomDateTimePicker::KeyPress(QChar& key)
{
    if (!(m_autoTab && key >= '0' && key <= '9')) {
        TDateTimePicker::KeyPress(key);
        return;
    }
    RememberBeforeDigit();
    TDateTimePicker::KeyPress(key);
    // Runs once the digit has been taken, as a posted message would.
    QMetaObject::invokeMethod(this, [this] { Guard([this] { ShiftFocus(); }); }, Qt::QueuedConnection);
}

void TCustomDateTimePicker::ShiftFocus()
{
    if (Kind() != TDateTimeKind::dtkTime) return;
    int h, m, s, ms;
    DecodeTime(TDateTimePicker::Time(), h, m, s, ms);
    if ((h != Fh || m != Fm || s != Fs) && FieldComplete(m_digitField)) SetActiveField(m_digitField + 1);
}

// ---------------------------------------------------------------------------
// TExtDateTimePicker

TExtDateTimePicker::TExtDateTimePicker(QWidget* parent) : TCustomDateTimePicker(parent)
{
    Look().BorderStyle = TBorderStyle::bsSingle;
    Look().Ctl3D = true;
    m_labelFont = font();
    m_focusTimer.setInterval(20);
    connect(&m_focusTimer, &QTimer::timeout, this, [this] { m_focusTimer.stop(); });
    m_lastValue = TDateTimePicker::DateTime();
    CreateTimePicker();
    Layout();
}

TExtDateTimePicker::~TExtDateTimePicker() { delete m_label.data(); }

void TExtDateTimePicker::CreateTimePicker()
{
    if (m_kind != TExtDateTimeKind::dkDateTime || m_timePicker) return;
    m_timePicker = std::make_unique<TCustomDateTimePicker>(this);
    TCustomDateTimePicker* tp = m_timePicker.get();
    tp->resize(90, 17);
    tp->hide();
    tp->setEnabled(isEnabled());
    tp->SetKind(TDateTimeKind::dtkTime);
    tp->SetAutoTab(AutoTab());
    tp->OnChange = [this](QObject*) {
        DoChange();
        if (OnTimeChange) OnTimeChange(this);
    };
    tp->OnClick = [this](QObject*) { DoClick(); };
    tp->OnKeyPress = [this](QObject* s, QChar& k) { TimePickerKeyPress(s, k); };
    tp->OnKeyDown = [this](QObject*, int& key, Qt::KeyboardModifiers shift) { KeyDown(key, shift); };
}

void TExtDateTimePicker::DoChange()
{
    if (OnChange) OnChange(this);
}

void TExtDateTimePicker::DoClick()
{
    if (OnClick) OnClick(this);
}

void TExtDateTimePicker::TimePickerKeyPress(QObject*, QChar&) {}

bool TExtDateTimePicker::TimePickerShouldBeEnabled() const { return isEnabled() && (Checked() || !ShowCheckbox()); }

void TExtDateTimePicker::SetKind(TExtDateTimeKind kind)
{
    if (kind == m_kind) return;
    // The time typed into the time picker stays in the value.
    if (m_timePicker && m_kind == TExtDateTimeKind::dkDateTime)
        TDateTimePicker::SetDateTime(ComposeDateTime(TDateTimePicker::Date(), m_timePicker->Time()));
    m_kind = kind;
    TDateTimePicker::SetKind(kind == TExtDateTimeKind::dkTime ? TDateTimeKind::dtkTime : TDateTimeKind::dtkDate);
    CreateTimePicker();
    Layout();
}

void TExtDateTimePicker::Layout()
{
    TCustomDateTimePicker* tp = m_timePicker.get();
    if (!tp) return;
    const bool shown = m_kind == TExtDateTimeKind::dkDateTime;
    if (shown && tp->isVisible()) {
        // What was typed into the time picker is kept when it takes this
        // picker's value below.
        TDateTimePicker::SetTime(tp->Time());
    }
    if (tp->parentWidget() != this) tp->setParent(this);
    QPalette pal = tp->palette();
    pal.setColor(QPalette::Base, palette().color(QPalette::Base));
    tp->setPalette(pal);
    tp->setEnabled(TimePickerShouldBeEnabled());
    tp->setVisible(shown);
    tp->TDateTimePicker::SetDateTime(TDateTimePicker::DateTime());
    tp->SetFormat(m_timeFormat);
    tp->setFont(font());
    if (!shown) {
        m_timePicker.reset();
        return;
    }
    const int w = QFontMetrics(font()).horizontalAdvance(tp->Text().left(255)) + 31;
    const int b = 0; // no bevels here
    const int W = width();
    const int H = height();
    if (IsVistaOrLater()) {
        if (!IsComCtl6() || !BindThemeLibrary())
            tp->setGeometry(W - w - b - 23, -2, w, H - b);
        else if (!IsThemeActive())
            tp->setGeometry(W - w - b - 21, 2, w, H - b - 4);
        else if (MetroStyle())
            tp->setGeometry(W - w - b - 21, 1, w, H - b - 2);
        else
            tp->setGeometry(W - w - b - 34, 1, w, H - b - 2);
    } else {
        tp->setGeometry(W - w - 21, -2, w, H);
    }
}

TDateTime TExtDateTimePicker::Time() const
{
    if (m_kind == TExtDateTimeKind::dkDateTime && m_timePicker) return m_timePicker->Time();
    return TDateTimePicker::Time();
}

void TExtDateTimePicker::SetTime(TDateTime value)
{
    TDateTimePicker::SetTime(value);
    if (m_timePicker) m_timePicker->SetTime(value);
    Layout();
}

TDateTime TExtDateTimePicker::DateTime() const
{
    if (m_timePicker) return ComposeDateTime(TDateTimePicker::Date(), m_timePicker->Time());
    return TDateTimePicker::DateTime();
}

void TExtDateTimePicker::SetDateTime(TDateTime value)
{
    const TDateTime v = WithoutMilliseconds(value);
    TDateTimePicker::SetDateTime(v);
    CreateTimePicker();
    if (m_timePicker) {
        m_timePicker->TDateTimePicker::SetDateTime(v);
        if (ShowCheckbox()) {
            m_timePicker->setEnabled(isEnabled() && Checked());
            m_ignoreTimePickerCheck = m_timePicker->isEnabled();
        }
    }
}

TDateTime TExtDateTimePicker::Date() const { return TDateTimePicker::Date(); }

void TExtDateTimePicker::SetDate(TDateTime value)
{
    int h, m, s, ms;
    DecodeTime(Time(), h, m, s, ms);
    TDateTime t = 0;
    TryEncodeTime(h, m, s, 0, t);
    SetDateTime(ComposeDateTime(std::trunc(value), t));
}

void TExtDateTimePicker::SetTimeFormat(const QString& format)
{
    if (m_timePicker) m_timePicker->SetFormat(format);
    if (m_kind == TExtDateTimeKind::dkTime) SetFormat(format);
    m_timeFormat = format;
    Layout();
}

void TExtDateTimePicker::SetBorderStyle(TBorderStyle value)
{
    TLookDateTimePicker::SetBorderStyle(value);
    Layout();
}

void TExtDateTimePicker::SetAutoTab(bool value)
{
    TCustomDateTimePicker::SetAutoTab(value);
    if (m_timePicker) m_timePicker->SetAutoTab(value);
}

void TExtDateTimePicker::RememberBeforeDigit()
{
    int y, m, d;
    DecodeDate(TDateTimePicker::DateTime(), y, m, d);
    Fy = uint16_t(y);
    Fmo = uint16_t(m);
    Fd = uint16_t(d);
    TCustomDateTimePicker::RememberBeforeDigit();
}

void TExtDateTimePicker::ShiftFocus()
{
    if (m_kind == TExtDateTimeKind::dkTime) {
        TCustomDateTimePicker::ShiftFocus();
        return;
    }
    if (!FieldComplete(m_digitField)) return;
    int y, m, d;
    DecodeDate(TDateTimePicker::DateTime(), y, m, d);
    const bool dayChanged = d != Fd;
    const bool monthChanged = m != Fmo;
    const bool yearChanged = y != Fy;
    auto toTimePicker = [this] {
        if (!m_timePicker) return;
        m_timePicker->setFocus(Qt::TabFocusReason);
        m_timePicker->SetActiveField(0);
    };
    auto next = [this] { SetActiveField(m_digitField + 1); };
    const QString f = Format();
    if (!f.isEmpty()) {
        const QChar c = f.back();
        if ((dayChanged && (c == 'D' || c == 'd')) || (monthChanged && (c == 'M' || c == 'm')) ||
            (yearChanged && (c == 'Y' || c == 'y')))
            toTimePicker();
        else if (dayChanged || monthChanged || yearChanged)
            next();
    } else if (dayChanged || monthChanged) {
        next();
    } else if (yearChanged) {
        toTimePicker();
    }
}

void TExtDateTimePicker::UpdateTimePickerEnabled()
{
    if (!m_timePicker || !ShowCheckbox()) return;
    if (!m_ignoreTimePickerCheck) m_timePicker->setEnabled(isEnabled() && Checked());
}

void TExtDateTimePicker::Change()
{
    TCustomDateTimePicker::Change();
    if (!ShowCheckbox()) {
        m_lastValue = TDateTimePicker::DateTime();
        return;
    }
    UpdateTimePickerEnabled();
    m_ignoreTimePickerCheck = false;
    // Which date field changed (for the focus timer).
    int y0, m0, d0, y1, m1, d1;
    DecodeDate(m_lastValue, y0, m0, d0);
    DecodeDate(TDateTimePicker::DateTime(), y1, m1, d1);
    m_lastValue = TDateTimePicker::DateTime();
    if (y0 != y1 || m0 != m1 || d0 != d1) {
        Fpt = y0 != y1 ? QPoint(80, 5) : m0 != m1 ? QPoint(46, 5) : QPoint(28, 5);
        m_focusTimer.start();
    } else {
        Fpt = QPoint(-1, -1);
    }
}

void TExtDateTimePicker::CheckChanged()
{
    m_ignoreTimePickerCheck = false;
    TCustomDateTimePicker::CheckChanged();
}

void TExtDateTimePicker::changeEvent(QEvent* event)
{
    TCustomDateTimePicker::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (m_timePicker) m_timePicker->setEnabled(TimePickerShouldBeEnabled());
        if (m_label && !m_labelAlwaysEnabled) m_label->setEnabled(isEnabled());
        LayoutLabel();
        break;
    case QEvent::ParentChange:
        if (m_label) m_label->setParent(parentWidget());
        LayoutLabel();
        break;
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        Layout();
        break;
    default: break;
    }
}

void TExtDateTimePicker::moveEvent(QMoveEvent* event)
{
    TCustomDateTimePicker::moveEvent(event);
    LayoutLabel();
}

void TExtDateTimePicker::resizeEvent(QResizeEvent* event)
{
    TCustomDateTimePicker::resizeEvent(event);
    Layout();
    LayoutLabel();
}

void TExtDateTimePicker::showEvent(QShowEvent* event)
{
    TCustomDateTimePicker::showEvent(event);
    if (m_label) m_label->setVisible(true);
}

void TExtDateTimePicker::hideEvent(QHideEvent* event)
{
    TCustomDateTimePicker::hideEvent(event);
    if (m_label) m_label->setVisible(false);
}

void TExtDateTimePicker::paintEvent(QPaintEvent* event)
{
    if (m_firstRun) {
        m_firstRun = false;
        Layout();
    }
    TCustomDateTimePicker::paintEvent(event);
}

void TExtDateTimePicker::focusInEvent(QFocusEvent* event)
{
    TCustomDateTimePicker::focusInEvent(event);
    if (m_focusLabel && m_label) {
        QFont f = m_label->font();
        f.setBold(true);
        m_label->setFont(f);
    }
}

void TExtDateTimePicker::focusOutEvent(QFocusEvent* event)
{
    TCustomDateTimePicker::focusOutEvent(event);
    if (m_focusLabel && m_label) {
        QFont f = m_label->font();
        f.setBold(false);
        m_label->setFont(f);
    }
}

// ---- label -------------------------------------------------------------------

QString TExtDateTimePicker::LabelCaption() const { return m_label ? m_label->text() : QString(); }

void TExtDateTimePicker::SetLabelCaption(const QString& caption)
{
    if (!m_label) {
        m_label = new QLabel(parentWidget());
        m_label->setBuddy(this);
        m_label->setFont(m_labelFont);
        m_label->installEventFilter(this);
    }
    m_label->setText(caption);
    LayoutLabel();
}

void TExtDateTimePicker::SetLabelPosition(TLabelPosition p)
{
    m_labelPosition = p;
    LayoutLabel();
}

void TExtDateTimePicker::SetLabelMargin(int m)
{
    m_labelMargin = m;
    LayoutLabel();
}

void TExtDateTimePicker::SetLabelTransparent(bool v)
{
    m_labelTransparent = v;
    LayoutLabel();
}

void TExtDateTimePicker::SetLabelAlwaysEnabled(bool v)
{
    m_labelAlwaysEnabled = v;
    if (v && m_label) m_label->setEnabled(true);
    LayoutLabel();
}

void TExtDateTimePicker::SetLabelFont(const QFont& f)
{
    m_labelFont = f;
    if (m_label) m_label->setFont(f);
    LayoutLabel();
}

void TExtDateTimePicker::LayoutLabel()
{
    if (!m_label) return;
    m_label->setAutoFillBackground(!m_labelTransparent);
    m_label->adjustSize();
    QString plain = m_label->text();
    plain.remove('&');
    const int w = m_label->fontMetrics().horizontalAdvance(plain);
    m_label->move(LabelLayoutPosition(m_labelPosition, geometry(), m_label->size(), w, m_labelMargin));
    m_label->setVisible(isVisible());
}

bool TExtDateTimePicker::eventFilter(QObject* watched, QEvent* event)
{
    // The label is recognised as a label first: while it is being destroyed
    // it is no longer one, and the guarded pointer must not be read as one.
    if (auto* label = qobject_cast<QLabel*>(watched); label && label == m_label) {
        if (event->type() == QEvent::MouseButtonRelease && OnLabelClick) Guard([this] { OnLabelClick(this); });
        if (event->type() == QEvent::MouseButtonDblClick && OnLabelDblClick) Guard([this] { OnLabelDblClick(this); });
    }
    return TCustomDateTimePicker::eventFilter(watched, event);
}
