#include "dropdown/ExtTimePickerDropDown.h"

#include "platform/SysUtils.h"

#include "platform/Application.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStringList>
#include <QTimeEdit>
#include <QVBoxLayout>

QChar TimeSeparatorChar() { return SystemFormatSettings().TimeSeparator; }

QString TwoDigitText(int n)
{
    QString s = QString::number(n);
    return s.size() == 1 ? QStringLiteral("0") + s : s;
}

QString FormatTimeText(const TTimeParts& t, bool showSeconds, QChar separator)
{
    QString s = TwoDigitText(t.Hour) + separator + TwoDigitText(t.Minute);
    if (showSeconds) s += separator + TwoDigitText(t.Second);
    return s;
}

QString TimePickerEditMask(bool showSeconds, QChar separator)
{
    return showSeconds ? QStringLiteral("!90") + separator + QStringLiteral("00") + separator + QStringLiteral("00;1; ")
                       : QStringLiteral("!90") + separator + QStringLiteral("00;1; ");
}

QString TimePickerInputMask(bool showSeconds, QChar separator)
{
    static const QString maskCharacters = QStringLiteral("AaNnXx90Dd#HhBb><!|[]{}\\;");
    const QString sep = maskCharacters.contains(separator) ? QStringLiteral("\\") + separator : QString(separator);
    QString mask = QStringLiteral("09") + sep + QStringLiteral("99");
    if (showSeconds) mask += sep + QStringLiteral("99");
    return mask + QStringLiteral("; ");
}

TTimeField TimeFieldAtCaret(const QString& text, int caret, bool showSeconds, QChar separator)
{
    const int first = text.indexOf(separator); // 0-based; the 1-based position is first + 1
    if (first < 0 || caret < first + 1) return TTimeField::tfHour;
    const int a = first + 1;
    const int second = text.mid(a).indexOf(separator);
    const int b = second < 0 ? 0 : second + 1; // 1-based within the rest, 0 when none
    if (showSeconds && b > 0 && caret - a >= b) return TTimeField::tfSecond;
    return TTimeField::tfMinute;
}

TTimeParts StepTimeField(const TTimeParts& t, TTimeField field, bool up)
{
    TTimeParts r = t;
    const int d = up ? -1 : 1;
    switch (field) {
    case TTimeField::tfHour: r.Hour = (t.Hour + d + 24) % 24; break;
    case TTimeField::tfMinute: r.Minute = (t.Minute + d + 60) % 60; break;
    case TTimeField::tfSecond: r.Second = (t.Second + d + 60) % 60; break;
    }
    return r;
}

namespace {

bool AllDigits(const QString& s)
{
    for (QChar c : s)
        if (!c.isDigit() || c.unicode() > 0x7F) return false;
    return true;
}

} // namespace

std::optional<TTimeParts> ParseTimeText(const QString& text, bool showSeconds, QChar separator)
{
    const QString trimmed = Trim(text);
    const QStringList fields = trimmed.split(separator);
    if (fields.size() != (showSeconds ? 3 : 2)) return std::nullopt;
    // Complete: an hour of one or two digits, then fields of exactly two.
    const QString hour = Trim(fields[0]);
    if (hour.isEmpty() || hour.size() > 2 || !AllDigits(hour)) return std::nullopt;
    for (int i = 1; i < fields.size(); ++i)
        if (fields[i].size() != 2 || !AllDigits(fields[i])) return std::nullopt;
    TTimeParts t;
    t.Hour = hour.toInt();
    t.Minute = fields[1].toInt();
    t.Second = showSeconds ? fields[2].toInt() : 0;
    if (t.Hour > 23 || t.Minute > 59 || t.Second > 59) return std::nullopt;
    return t;
}

// ---- The drop-down ---------------------------------------------------------------

namespace {

QTime ToQTime(TDateTime t)
{
    const TTimeParts p = DecodeTimeParts(t);
    return QTime(p.Hour, p.Minute, p.Second, p.MSec);
}

TDateTime FromQTime(const QTime& t) { return EncodeTimeParts({t.hour(), t.minute(), t.second(), t.msec()}); }

bool AltHeld(Qt::KeyboardModifiers shift)
{
    return (shift & Qt::AltModifier) || (QApplication::queryKeyboardModifiers() & Qt::AltModifier);
}

} // namespace

TExtTimePickerDropDown::TExtTimePickerDropDown(QWidget* parent)
    : TExtCustomDropDown(parent), FWatchAppearance(std::make_unique<TWatchAppearance>()),
      FWatchSettings(std::make_unique<TWatchSettings>())
{
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    FInternalCall = true;
    ApplyMask();
    SetTextDirect(FormatTimeText({}, true, TimeSeparatorChar()));
    FInternalCall = false;
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    CreateDropDownForm();
}

TExtTimePickerDropDown::~TExtTimePickerDropDown()
{
    if (FExtWatch) FExtWatch->OnChange = nullptr;
    if (FDateTimePicker) FDateTimePicker->removeEventFilter(this);
}

void TExtTimePickerDropDown::ApplyMask() { setInputMask(TimePickerInputMask(FShowSeconds, TimeSeparatorChar())); }

void TExtTimePickerDropDown::WriteTime(TDateTime value, bool force)
{
    if (value == FTime && !force) return;
    FTime = value;
    const bool internal = FInternalCall;
    const int caret = cursorPosition();
    FInternalCall = true;
    SetTextDirect(FormatTimeText(DecodeTimeParts(value), FShowSeconds, TimeSeparatorChar()));
    FInternalCall = internal;
    setCursorPosition(caret); // a rewrite keeps the caret where the user left it
    if (DroppedDown() && FExtWatch) {
        FExtWatch->SetTime(value);
        if (FShowTimePicker && FDateTimePicker) {
            const QSignalBlocker block(FDateTimePicker);
            FDateTimePicker->setTime(ToQTime(value));
        }
    }
}

void TExtTimePickerDropDown::SetTime(TDateTime value) { WriteTime(value, false); }

void TExtTimePickerDropDown::SetShowSeconds(bool value)
{
    if (FShowSeconds == value) return;
    FShowSeconds = value;
    FInternalCall = true;
    setInputMask(QString());
    SetTextDirect(QString());
    ApplyMask();
    FInternalCall = false;
    WriteTime(FTime, true);
}

void TExtTimePickerDropDown::SetComponentStyle(TStudioStyle style)
{
    TExtCustomDropDown::SetComponentStyle(style);
    if (FWatchAppearance) ApplyWatchComponentStyle(*FWatchAppearance, style);
}

void TExtTimePickerDropDown::Change()
{
    TExtCustomDropDown::Change();
    if (FInternalCall) return;
    const std::optional<TTimeParts> t = ParseTimeText(QLineEdit::text(), FShowSeconds, TimeSeparatorChar());
    if (t) FTime = EncodeTimeParts(*t);
}

void TExtTimePickerDropDown::ChangeField(TTimeField field, int value)
{
    TTimeParts p = DecodeTimeParts(FTime);
    int& f = field == TTimeField::tfHour ? p.Hour : field == TTimeField::tfMinute ? p.Minute : p.Second;
    const int limit = field == TTimeField::tfHour ? 23 : 59;
    if (value == f || value < 0 || value > limit) return;
    f = value;
    SetTime(EncodeTimeParts(p));
    if (OnTimeChange) OnTimeChange(this);
}

void TExtTimePickerDropDown::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    TExtCustomDropDown::KeyDown(key, shift);
    if (key != Qt::Key_Up && key != Qt::Key_Down) return;
    if (AltHeld(shift) || (shift & Qt::ControlModifier)) return;
    const int caret = cursorPosition();
    const TTimeField field = TimeFieldAtCaret(QLineEdit::text(), caret, FShowSeconds, TimeSeparatorChar());
    const TTimeParts now = DecodeTimeParts(FTime);
    const TTimeParts next = StepTimeField(now, field, key == Qt::Key_Up);
    ChangeField(field, field == TTimeField::tfHour ? next.Hour : field == TTimeField::tfMinute ? next.Minute : next.Second);
    setCursorPosition(caret);
    key = 0;
}

void TExtTimePickerDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (!DropDownForm()) return;
    if (!FPanelCtrl) {
        FPanelCtrl = new QWidget(DropDownForm());
        FPanelCtrl->setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(FPanelCtrl);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        FExtWatch = new TExtWatch(FPanelCtrl);
        // Keys typed in the pop-up reach the watch through the drop-down.
        FExtWatch->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(FExtWatch, 1);
    }
    FPanelCtrl->setGeometry(0, 0, FPanelCtrl->width(), 180);
    SetControl(FPanelCtrl);
}

void TExtTimePickerDropDown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    TDropDownForm* form = DropDownForm();
    if (!form || !FPanelCtrl || !FExtWatch) return;
    FTimeAtOpening = FTime;
    FPanelCtrl->resize(170, 170);
    form->resize(form->width() + 1, form->height());
    form->resize(form->width() - 1, form->height());
    form->FCancelOnDeActivate = false;
    QPalette pal = FPanelCtrl->palette();
    pal.setColor(QPalette::Window, ColorToQColor(DropDownColor()));
    FPanelCtrl->setPalette(pal);

    FExtWatch->OnChange = nullptr;
    FExtWatch->SetAppearance(*FWatchAppearance);
    FExtWatch->SetSettings(*FWatchSettings);
    FExtWatch->SetShowAMPM(FShowWatchAMPM);
    FExtWatch->SetShowNumbers(FShowWatchNumbers);
    FExtWatch->SetAnimation(FAnimation);
    FExtWatch->SetAnimationFactor(FAnimationFactor);
    if (!FWatchSettings->Auto()) FExtWatch->SetTime(FTime);
    FExtWatch->OnChange = [this](TExtWatch* w) { WatchChanged(w); };

    if (!FShowTimePicker) {
        if (FDateTimePicker) FDateTimePicker->hide();
        return;
    }
    if (!FDateTimePicker) {
        FDateTimePicker = new QTimeEdit(FPanelCtrl);
        FPanelCtrl->layout()->addWidget(FDateTimePicker);
        QObject::connect(FDateTimePicker, &QTimeEdit::timeChanged, this, [this] { Guard([this] { TimePickerChanged(); }); });
        FDateTimePicker->installEventFilter(this);
    }
    {
        const QSignalBlocker block(FDateTimePicker);
        FDateTimePicker->show();
        FDateTimePicker->setTime(ToQTime(FTime));
        FDateTimePicker->raise();
    }
    FDateTimePicker->setDisplayFormat(FShowSeconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    FPanelCtrl->resize(FPanelCtrl->width(), FDateTimePicker->sizeHint().height() + 170);
}

void TExtTimePickerDropDown::WatchChanged(TExtWatch* watch)
{
    const TDateTime t = watch->Time();
    if (FShowTimePicker && FDateTimePicker && FDateTimePicker->isVisible() && FromQTime(FDateTimePicker->time()) != t) {
        {
            const QSignalBlocker block(FDateTimePicker);
            FDateTimePicker->setTime(ToQTime(t));
        }
        if (OnTimeChange) OnTimeChange(this);
    }
    SetTime(t);
}

void TExtTimePickerDropDown::TimePickerChanged()
{
    if (!FExtWatch || FWatchSettings->Auto()) return;
    FExtWatch->SetTime(FromQTime(FDateTimePicker->time()));
}

void TExtTimePickerDropDown::DoHideDropDown(bool cancel)
{
    const bool open = DropDownForm() && DropDownForm()->isVisible();
    const TDateTime watchTime = FExtWatch ? FExtWatch->Time() : FTime;
    TExtCustomDropDown::DoHideDropDown(cancel);
    if (!open) return;
    if (FExtWatch) FExtWatch->OnChange = nullptr;
    if (cancel) {
        WriteTime(FTimeAtOpening, true);
        if (FExtWatch) FExtWatch->SetTime(FTimeAtOpening);
    } else {
        WriteTime(FWatchSettings->Auto() ? FTime : watchTime, true);
    }
}

void TExtTimePickerDropDown::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const bool typed = !text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!typed || !EditorEnabled() || ReadOnly()) {
        TExtCustomDropDown::keyPressEvent(event);
        return;
    }
    int key = event->key();
    KeyDown(key, event->modifiers());
    QChar c = text.at(0);
    KeyPress(c);
    if (key != 0 && !c.isNull()) QLineEdit::keyPressEvent(event);
    event->accept();
}

bool TExtTimePickerDropDown::NavigationKey(int key)
{
    return key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up || key == Qt::Key_Down;
}

void TExtTimePickerDropDown::DropDownFormKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    const int typed = key;
    if (!NavigationKey(key) || AltHeld(shift)) TExtCustomDropDown::DropDownFormKeyDown(key, shift);
    if (DropDownForm() && DropDownForm()->isVisible() && FExtWatch) FExtWatch->HandleWatchKey(QtKeyToVirtualKey(typed));
}

void TExtTimePickerDropDown::DropDownFormKeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if (!NavigationKey(key) || AltHeld(shift)) TExtCustomDropDown::DropDownFormKeyUp(key, shift);
}

void TExtTimePickerDropDown::ControlKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (!NavigationKey(key) || AltHeld(shift)) TExtCustomDropDown::ControlKeyDown(key, shift);
}

void TExtTimePickerDropDown::ControlKeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if (!NavigationKey(key) || AltHeld(shift)) TExtCustomDropDown::ControlKeyUp(key, shift);
}

bool TExtTimePickerDropDown::eventFilter(QObject* watched, QEvent* event)
{
    if (FDateTimePicker && watched == FDateTimePicker) {
        if (event->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(event);
            int key = k->key();
            ControlKeyDown(key, k->modifiers());
            const QString text = k->text();
            if (DroppedDown() && !text.isEmpty() && text.at(0).isPrint()) {
                QChar c = text.at(0);
                ControlKeyPress(c);
            }
            if (!DroppedDown()) return true;
        } else if (event->type() == QEvent::KeyRelease) {
            auto* k = static_cast<QKeyEvent*>(event);
            int key = k->key();
            ControlKeyUp(key, k->modifiers());
        }
    }
    return TExtCustomDropDown::eventFilter(watched, event);
}
