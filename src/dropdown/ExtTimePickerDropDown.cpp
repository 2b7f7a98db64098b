#include "dropdown/ExtTimePickerDropDown.h"

#include "platform/SysUtils.h"

#include <QStringList>

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
