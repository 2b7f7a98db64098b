#include "platform/DateTimePicker.h"

#include "platform/Application.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

// ---------------------------------------------------------------------------
// Formats

namespace {

int Run(const QString& f, qsizetype i)
{
    int n = 0;
    while (i + n < f.size() && f[i + n] == f[i]) ++n;
    return n;
}

void AppendLiteral(QString& out, const QString& text)
{
    if (text.isEmpty()) return;
    QString q = text;
    q.replace(QStringLiteral("'"), QStringLiteral("''"));
    out += '\'' + q + '\'';
}

// The long time format (FormatDateTime's pattern) in the picker's syntax.
QString TimePatternToPicker(const QString& f)
{
    QString r = f;
    r.replace(QStringLiteral("ampm"), QStringLiteral("tt"), Qt::CaseInsensitive);
    r.replace(QStringLiteral("am/pm"), QStringLiteral("tt"), Qt::CaseInsensitive);
    r.replace('n', 'm');
    r.replace('N', 'm');
    return r;
}

} // namespace

QDateTime ToQDateTime(TDateTime v)
{
    int y, mo, d, h, mi, s, ms;
    DecodeDate(v, y, mo, d);
    DecodeTime(v, h, mi, s, ms);
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

TDateTime FromQDateTime(const QDateTime& dt)
{
    TDateTime date = 0, time = 0;
    const QDate d = dt.date();
    TryEncodeDate(d.year(), d.month(), d.day(), date);
    const QTime t = dt.time();
    TryEncodeTime(t.hour(), t.minute(), t.second(), t.msec(), time);
    return ComposeDateTime(date, time);
}

QString PickerFormatToQt(const QString& f)
{
    QString out;
    QString literal;
    for (qsizetype i = 0; i < f.size();) {
        const QChar c = f[i];
        if (c == '\'') {
            // A quoted literal; two quotes inside stand for one.
            qsizetype j = i + 1;
            while (j < f.size()) {
                if (f[j] == '\'') {
                    if (j + 1 < f.size() && f[j + 1] == '\'') {
                        literal += '\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                literal += f[j++];
            }
            i = j + 1;
            continue;
        }
        const int n = Run(f, i);
        QString token;
        switch (c.unicode()) {
        case 'd': token = QString(std::min(n, 4), 'd'); break;
        case 'M': token = QString(std::min(n, 4), 'M'); break;
        case 'y': token = n >= 3 ? QStringLiteral("yyyy") : QStringLiteral("yy"); break;
        case 'h': token = QString(std::min(n, 2), 'h'); break;
        case 'H': token = QString(std::min(n, 2), 'H'); break;
        case 'm': token = QString(std::min(n, 2), 'm'); break;
        case 's': token = QString(std::min(n, 2), 's'); break;
        case 't': token = QStringLiteral("AP"); break;
        default: break;
        }
        if (!token.isEmpty()) {
            AppendLiteral(out, literal);
            literal.clear();
            out += token;
            i += n;
            continue;
        }
        if (c.isLetter()) {
            literal += c;
        } else {
            AppendLiteral(out, literal);
            literal.clear();
            out += c;
        }
        ++i;
    }
    AppendLiteral(out, literal);
    return out;
}

bool PickerFieldComplete(QChar field, int width, const QString& digits)
{
    if (digits.isEmpty()) return false;
    const bool fourDigitYear = (field == 'y' || field == 'Y') && width >= 3;
    const int full = fourDigitYear ? 4 : 2;
    if (digits.size() >= full) return true;
    int max = 99;
    switch (field.unicode()) {
    case 'd': max = 31; break;
    case 'M': max = 12; break;
    case 'h': max = 12; break;
    case 'H': max = 23; break;
    case 'm': case 's': max = 59; break;
    default: max = fourDigitYear ? 9999 : 99; break;
    }
    const int value = digits.toInt();
    return value * 10 > max;
}

// ---------------------------------------------------------------------------
// Calendar

TPickerCalendar::TPickerCalendar(QWidget* parent) : QCalendarWidget(parent)
{
    setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    setGridVisible(false);
    m_today = new QLabel(this);
    m_today->setObjectName(QStringLiteral("todayLine"));
    m_today->setContentsMargins(6, 2, 6, 2);
    if (auto* box = qobject_cast<QVBoxLayout*>(layout())) box->addWidget(m_today);
    UpdateToday();
}

TPickerCalendar::~TPickerCalendar() = default;

void TPickerCalendar::UpdateToday()
{
    TDateTime today = 0;
    const QDate d = QDate::currentDate();
    TryEncodeDate(d.year(), d.month(), d.day(), today);
    m_today->setText(QStringLiteral("Today: ") + DateToStr(today));
}

void TPickerCalendar::paintCell(QPainter* painter, const QRect& rect, QDate date) const
{
    QCalendarWidget::paintCell(painter, rect, date);
    if (!ShowTodayCircle || date != QDate::currentDate()) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(QColor(200, 0, 0), 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawEllipse(rect.adjusted(1, 1, -2, -2));
    painter->restore();
}

// ---------------------------------------------------------------------------
// TDateTimePicker

TDateTimePicker::TDateTimePicker(QWidget* parent) : QDateTimeEdit(parent)
{
    setDateTimeRange(QDateTime(QDate(1752, 9, 14), QTime(0, 0)), QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999)));
    setDateTime(QDateTime(QDate::currentDate(), QTime::currentTime()));
    // The calendar lives in the drop-down, which the editor creates when the
    // pop-up is switched on (and which owns it from then on).
    setCalendarPopup(true);
    m_calendar = new TPickerCalendar;
    setCalendarWidget(m_calendar);
    if (QWidget* popup = m_calendar->window(); popup && popup != m_calendar) popup->installEventFilter(this);
    GuardedConnect(this, &QDateTimeEdit::dateTimeChanged, this, [this] { Change(); });
    resize(186, 21);
    ApplyFormat();
}

TDateTimePicker::~TDateTimePicker() = default;

void TDateTimePicker::SetKind(TDateTimeKind kind)
{
    m_kind = kind;
    ApplyFormat();
}

void TDateTimePicker::SetDateMode(TDTDateMode mode)
{
    m_dateMode = mode;
    ApplyFormat();
}

void TDateTimePicker::SetFormat(const QString& format)
{
    m_format = format;
    ApplyFormat();
}

void TDateTimePicker::ApplyFormat()
{
    const FormatSettings& fs = SystemFormatSettings();
    QString f = m_format;
    if (f.isEmpty()) f = m_kind == TDateTimeKind::dtkTime ? TimePatternToPicker(fs.LongTimeFormat) : fs.ShortDateFormat;
    const QDateTime keep = dateTime();
    setDisplayFormat(PickerFormatToQt(f));
    setCalendarPopup(m_kind == TDateTimeKind::dtkDate && m_dateMode == TDTDateMode::dmComboBox);
    setDateTime(keep);
}

TDateTime TDateTimePicker::DateTime() const { return FromQDateTime(dateTime()); }

void TDateTimePicker::SetDateTime(TDateTime value) { setDateTime(ToQDateTime(value)); }

TDateTime TDateTimePicker::Date() const { return std::trunc(DateTime()); }

void TDateTimePicker::SetDate(TDateTime value) { setDate(ToQDateTime(value).date()); }

TDateTime TDateTimePicker::Time() const
{
    const TDateTime v = DateTime();
    return std::fabs(v - std::trunc(v));
}

void TDateTimePicker::SetTime(TDateTime value) { setTime(ToQDateTime(value).time()); }

TDateTime TDateTimePicker::MinDate() const { return FromQDateTime(QDateTime(minimumDate(), QTime(0, 0))); }
void TDateTimePicker::SetMinDate(TDateTime value) { setMinimumDate(ToQDateTime(value).date()); }
TDateTime TDateTimePicker::MaxDate() const { return FromQDateTime(QDateTime(maximumDate(), QTime(0, 0))); }
void TDateTimePicker::SetMaxDate(TDateTime value) { setMaximumDate(ToQDateTime(value).date()); }

void TDateTimePicker::SetShowCheckbox(bool show)
{
    if (show == ShowCheckbox()) return;
    if (show) {
        m_checkBox = new QCheckBox(this);
        m_checkBox->setChecked(true);
        m_checkBox->setFocusPolicy(Qt::NoFocus);
        GuardedConnect(m_checkBox, &QCheckBox::toggled, this, [this] { CheckChanged(); });
        m_checkBox->show();
    } else {
        delete m_checkBox;
        m_checkBox = nullptr;
    }
    PlaceCheckBox();
    CheckChanged();
}

bool TDateTimePicker::Checked() const { return !m_checkBox || m_checkBox->isChecked(); }

void TDateTimePicker::SetChecked(bool checked)
{
    if (m_checkBox) m_checkBox->setChecked(checked);
}

void TDateTimePicker::CheckChanged()
{
    const bool on = Checked();
    lineEdit()->setReadOnly(!on);
    QPalette pal = palette();
    if (!on) pal.setColor(QPalette::Text, pal.color(QPalette::Disabled, QPalette::Text));
    lineEdit()->setPalette(pal);
    if (m_checkBox) Change();
}

void TDateTimePicker::PlaceCheckBox()
{
    if (!m_checkBox) {
        lineEdit()->setTextMargins(0, 0, 0, 0);
        return;
    }
    const QSize s = m_checkBox->sizeHint();
    m_checkBox->setGeometry(3, (height() - s.height()) / 2, s.width(), s.height());
    lineEdit()->setTextMargins(s.width() + 2, 0, 0, 0);
}

bool TDateTimePicker::DroppedDown() const
{
    QWidget* popup = m_calendar->window();
    return popup && popup != m_calendar && popup->isVisible();
}

void TDateTimePicker::DropDown()
{
    if (!calendarPopup() || DroppedDown()) return;
    QWidget* popup = m_calendar->window();
    m_calendar->setSelectedDate(date());
    m_calendar->UpdateToday();
    // Room for the six week rows and the "Today" line under them.
    m_calendar->setMinimumSize(m_calendar->sizeHint().width(),
                               m_calendar->sizeHint().height() + m_calendar->TodayLine()->sizeHint().height());
    popup->adjustSize();
    popup->move(mapToGlobal(QPoint(0, height())));
    popup->show();
}

void TDateTimePicker::CloseUp()
{
    if (DroppedDown()) m_calendar->window()->hide();
}

void TDateTimePicker::SetActiveField(int index)
{
    if (index < 0 || index >= sectionCount()) return;
    setCurrentSectionIndex(index);
    setSelectedSection(currentSection());
}

bool TDateTimePicker::FieldComplete(int index) const
{
    if (index < 0 || index >= sectionCount()) return false;
    const Section section = sectionAt(index);
    QChar letter;
    switch (section) {
    case DaySection: letter = 'd'; break;
    case MonthSection: letter = 'M'; break;
    case YearSection: letter = 'y'; break;
    case HourSection: letter = displayFormat().contains(QLatin1String("AP"), Qt::CaseInsensitive) ? 'h' : 'H'; break;
    case MinuteSection: letter = 'm'; break;
    case SecondSection: letter = 's'; break;
    default: return true;
    }
    // The width of the field's token in the format.
    const QString f = displayFormat();
    int width = 0;
    for (qsizetype i = 0; i < f.size(); ++i) {
        if (f[i] == '\'') {
            i = f.indexOf('\'', i + 1);
            if (i < 0) break;
            continue;
        }
        if (f[i].toLower() == letter.toLower() && (letter != 'M' || f[i] == 'M') && (letter == 'M' || f[i] != 'M')) {
            int n = 0;
            while (i + n < f.size() && f[i + n] == f[i]) ++n;
            width = n;
            break;
        }
    }
    QString digits;
    for (QChar c : sectionText(section))
        if (c.isDigit()) digits += c;
    return PickerFieldComplete(letter, width, digits);
}

bool TDateTimePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_calendar->window()) {
        if (event->type() == QEvent::Show) {
            m_calendar->UpdateToday();
            Guard([this] { DoDropDown(); });
        } else if (event->type() == QEvent::Hide) {
            Guard([this] { DoCloseUp(); });
        }
    }
    return QDateTimeEdit::eventFilter(watched, event);
}

void TDateTimePicker::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TDateTimePicker::KeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TDateTimePicker::KeyPress(QChar& key)
{
    if (OnKeyPress) OnKeyPress(this, key);
    if (!key.isNull()) DefaultKeyPress();
}

void TDateTimePicker::DefaultKeyPress()
{
    if (!m_pendingKey || m_keyHandled) return;
    m_keyHandled = true;
    if (!Checked()) return;
    const int field = currentSectionIndex();
    QDateTimeEdit::keyPressEvent(m_pendingKey);
    // The field stays active after a digit: moving on is the owner's choice.
    const QString t = m_pendingKey->text();
    if (!t.isEmpty() && t[0].isDigit() && currentSectionIndex() != field) SetActiveField(field);
}

void TDateTimePicker::Change()
{
    if (OnChange) OnChange(this);
}

void TDateTimePicker::DoDropDown()
{
    if (OnDropDown) OnDropDown(this);
}

void TDateTimePicker::DoCloseUp()
{
    if (OnCloseUp) OnCloseUp(this);
}

void TDateTimePicker::keyPressEvent(QKeyEvent* event)
{
    Guard([&] {
        const int original = event->key();
        int key = original;
        KeyDown(key, event->modifiers());
        if (key == 0 || key != original) {
            event->accept();
            return;
        }
        const QString t = event->text();
        if (!t.isEmpty() && t[0].isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            QChar c = t[0];
            m_pendingKey = event;
            m_keyHandled = false;
            KeyPress(c);
            m_pendingKey = nullptr;
            event->accept();
            return;
        }
        QDateTimeEdit::keyPressEvent(event);
    });
}

void TDateTimePicker::keyReleaseEvent(QKeyEvent* event)
{
    Guard([&] {
        int key = event->key();
        KeyUp(key, event->modifiers());
        if (key != 0) QDateTimeEdit::keyReleaseEvent(event);
    });
}

void TDateTimePicker::mouseReleaseEvent(QMouseEvent* event)
{
    Guard([&] {
        QDateTimeEdit::mouseReleaseEvent(event);
        if (OnClick) OnClick(this);
    });
}

void TDateTimePicker::resizeEvent(QResizeEvent* event)
{
    QDateTimeEdit::resizeEvent(event);
    PlaceCheckBox();
}
