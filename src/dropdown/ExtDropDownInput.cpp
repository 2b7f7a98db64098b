#include "dropdown/ExtDropDownInput.h"

#include "controls/ExtUtil.h"
#include "dropdown/ExtDropDown.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <optional>

using enum TDropDownEditType;

namespace {

constexpr QChar kBackspace(8), kTab(9), kEnter(13), kEscape(27);

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The most decimals a number is shown with.
constexpr int kMaxPrecision = 18;

} // namespace

// ---- Unit routines ---------------------------------------------------------

int ClassifyDropDownNumber(const QString& s, const FormatSettings& fs)
{
    if (s.isEmpty()) return 2;
    bool isInt = true, isFloat = true, isHex = true;
    int lastTS = -1, decimals = 0, minus = 0;
    for (int i = 1; i <= int(s.size()); ++i) {
        const QChar c = s[i - 1];
        const bool digit = IsDigit(c);
        if (!(c == QLatin1Char('-') || digit)) isInt = false;
        if (!(c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('.') || digit)) isFloat = false;
        const bool hexLetter = (c >= QLatin1Char('A') && c <= QLatin1Char('F')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
        if (!(c == QLatin1Char('-') || digit || hexLetter)) isHex = false;
        if (c == fs.ThousandSeparator) {
            if (i - lastTS < 3) isFloat = false;
            lastTS = i;
        }
        if (c == fs.DecimalSeparator) ++decimals;
        if (c == QLatin1Char('-')) ++minus;
    }
    int result = 2;
    if (isHex && !isInt) result = 5;
    if (isInt)
        result = 0;
    else if (isFloat)
        result = 1;
    if (minus > 1 || decimals > 1) result = 2;
    return result;
}

QString StripThousandSeparators(const QString& s, const FormatSettings& fs)
{
    QString r = s;
    r.remove(fs.ThousandSeparator);
    return r;
}

int HexDigitValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    return 0;
}

uint32_t HexToInt(const QString& s)
{
    uint32_t v = 0;
    for (QChar c : s) v = v * 16u + uint32_t(HexDigitValue(c));
    return v;
}

bool IsRangeSeparator(QChar c) { return c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char(';'); }

double TextToFloat(const QString& s, const FormatSettings& fs)
{
    QString t = StripThousandSeparators(s, fs).trimmed();
    if (t.isEmpty()) return 0;
    // Only the locale's own decimal separator counts as the point.
    if (fs.DecimalSeparator != QLatin1Char('.') && t.contains(QLatin1Char('.'))) return 0;
    t.replace(fs.DecimalSeparator, QLatin1Char('.'));
    for (QChar c : t)
        if (!(IsDigit(c) || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('+') || c == QLatin1Char('e') ||
              c == QLatin1Char('E')))
            return 0;
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

QString FormatFloatText(double v, int precision, bool grouped, const FormatSettings& fs)
{
    if (!std::isfinite(v)) v = 0;
    QString s = precision < 0 ? QString::number(v, 'g', 15) : QString::number(v, 'f', std::min(precision, kMaxPrecision));
    QString sign;
    if (s.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("-");
        s.remove(0, 1);
    }
    qsizetype point = s.indexOf(QLatin1Char('.'));
    QString intPart = point < 0 ? s : s.left(point);
    QString rest = point < 0 ? QString() : s.mid(point + 1);
    if (grouped && !intPart.contains(QLatin1Char('e'))) {
        QString g;
        for (qsizetype i = 0; i < intPart.size(); ++i) {
            if (i > 0 && (intPart.size() - i) % 3 == 0) g += fs.ThousandSeparator;
            g += intPart[i];
        }
        intPart = g;
    }
    return sign + intPart + (point < 0 ? QString() : QString(fs.DecimalSeparator) + rest);
}

QString HexText(int64_t v) { return QString::number(qulonglong(uint32_t(v)), 16).toUpper(); }

// ---- Engine helpers ----------------------------------------------------------

QString TDropDownInputEngine::Value() const
{
    QString s = St.Text;
    if (!S.Prefix.isEmpty() && s.startsWith(S.Prefix)) s.remove(0, S.Prefix.size());
    if (!S.Suffix.isEmpty() && s.size() >= S.Suffix.size()) s.chop(S.Suffix.size());
    return s;
}

bool TDropDownInputEngine::IsNumericType() const { return S.EditType == etNumeric || S.EditType == etFloat || S.EditType == etMoney; }

bool TDropDownInputEngine::IsSignedMinus(QChar c) const { return S.Signed && IsNumericType() && c == QLatin1Char('-'); }

int TDropDownInputEngine::IntegerPartLength(const QString& value) const
{
    const QString s = StripThousandSeparators(value, S.Separators);
    const qsizetype ds = s.indexOf(S.Separators.DecimalSeparator);
    int n = ds < 0 ? int(s.size()) + 1 : int(ds) + 1;
    if (S.Signed && IsNumericType() && s.contains(QLatin1Char('-'))) --n;
    return n;
}

int TDropDownInputEngine::DecimalSeparatorPos() const
{
    const QString v = Value();
    const qsizetype ds = v.indexOf(S.Separators.DecimalSeparator);
    if (ds >= 0) return int(ds) + 1 + int(S.Prefix.size());
    return int(S.Prefix.size() + v.size() + S.Suffix.size()) + 1;
}

bool TDropDownInputEngine::DecimalPartFull(const QString& value, int p) const
{
    if (S.Precision <= 0) return false;
    if (int(value.size()) - p > S.Precision) return false;
    const qsizetype ds = value.indexOf(S.Separators.DecimalSeparator);
    if (ds < 0) return false;
    return p >= int(ds) + 1 && int(value.size() - ds - 1) >= S.Precision;
}

bool TDropDownInputEngine::SeparatorTooClose(const QString& value, int p) const
{
    const QChar ts = S.Separators.ThousandSeparator;
    if (!value.contains(ts)) return false;
    QString rest = value;
    int d = p;
    int m = int(value.size());
    for (qsizetype at = rest.indexOf(ts); at >= 0; at = rest.indexOf(ts)) {
        const int t = int(at) + 1;
        m = std::min(m, std::abs(t - d));
        if (std::abs(t - d) < 3) return true;
        if (d > t) d -= t;
        rest.remove(0, at + 1);
    }
    return m > 3;
}

QString TDropDownInputEngine::ComposePasteText(const QString& clip, TDropDownEditState& state) const
{
    const QString v = Value();
    const int p = std::clamp(P(), 0, int(v.size()));
    const int len = std::clamp(St.SelLength, 0, int(v.size()) - p);
    const QString s = v.left(p) + clip + v.mid(p + len);
    state = St;
    state.Text = S.Prefix + s + S.Suffix;
    if (len > 0) {
        state.SelStart = int(S.Prefix.size()) + p;
        state.SelLength = int(clip.size());
    } else {
        state.SelStart = int(S.Prefix.size()) + p + int(clip.size());
        state.SelLength = 0;
    }
    return s;
}

QString TDropDownInputEngine::FormatMoneyValue(const QString& value) const
{
    if (value.isEmpty()) return value;
    const FormatSettings& fs = S.Separators;
    QString work = value;
    QString sign;
    if (work.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("-");
        work.remove(0, 1);
    }
    const qsizetype ds = work.indexOf(fs.DecimalSeparator);
    const QString decimals = ds < 0 ? QString() : work.mid(ds, 255);
    // The integer part of the value, truncated in floating point.
    QString money = StripThousandSeparators(value, fs);
    if (money.endsWith(fs.DecimalSeparator)) money.chop(1);
    const double v = (money.isEmpty() || money == QStringLiteral("-")) ? 0 : TextToFloat(money, fs);
    const double whole = std::trunc(std::fabs(v));
    QString intPart = FormatFloatText(whole, 0, S.AutoThousandSeparator, fs);
    return sign + intPart + decimals;
}

void TDropDownInputEngine::SetValue(const QString& value, int caretInValue)
{
    St.Text = S.Prefix + value + S.Suffix;
    St.SelStart = int(S.Prefix.size()) + std::clamp(caretInValue, 0, int(value.size()));
    St.SelLength = 0;
}

void TDropDownInputEngine::InsertChar(QChar c)
{
    if (c == kTab || c == kEnter || c == kEscape || c.unicode() < 32) return;
    const int start = std::clamp(St.SelStart, 0, int(St.Text.size()));
    const int len = std::clamp(St.SelLength, 0, int(St.Text.size()) - start);
    if (S.MaxLength > 0 && int(St.Text.size()) - len + 1 > S.MaxLength) return;
    St.Text = St.Text.left(start) + c + St.Text.mid(start + len);
    St.SelStart = start + 1;
    St.SelLength = 0;
    Modified = true;
}

void TDropDownInputEngine::Backspace()
{
    const int start = std::clamp(St.SelStart, 0, int(St.Text.size()));
    const int len = std::clamp(St.SelLength, 0, int(St.Text.size()) - start);
    if (len > 0) {
        St.Text.remove(start, len);
        St.SelStart = start;
    } else if (start > 0) {
        St.Text.remove(start - 1, 1);
        St.SelStart = start - 1;
    } else {
        return;
    }
    St.SelLength = 0;
    Modified = true;
}

void TDropDownInputEngine::ToggleSign()
{
    const QString v = Value();
    const int prefix = int(S.Prefix.size());
    if (v.contains(QLatin1Char('-'))) {
        const int caret = St.SelStart <= prefix ? prefix : St.SelStart - 1;
        St.Text = S.Prefix + v.mid(1) + S.Suffix;
        St.SelStart = std::max(prefix, caret);
    } else {
        St.Text = S.Prefix + QStringLiteral("-") + v + S.Suffix;
        St.SelStart = St.SelStart + 1;
    }
    St.SelLength = 0;
}

void TDropDownInputEngine::ApplyMoneyFormat()
{
    const QString v = Value();
    if (v.isEmpty()) return;
    const int caret = St.SelStart;
    const QString formatted = FormatMoneyValue(v);
    St.Text = S.Prefix + formatted + S.Suffix;
    St.SelStart = std::clamp(caret + int(formatted.size() - v.size()), 0, int(St.Text.size()));
    St.SelLength = 0;
}

TDropDownInputResult TDropDownInputEngine::Done(bool consumed) const
{
    TDropDownInputResult r;
    r.Consumed = consumed;
    r.State = St;
    r.SetModified = Modified;
    return r;
}

// ---- Key down --------------------------------------------------------------

TDropDownInputResult TDropDownInputEngine::KeyDown(int key, bool shift, bool ctrl, bool alt)
{
    const int prefix = int(S.Prefix.size());
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    TDropDownInputResult r = Done(false);

    if (alt && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        r.Consumed = true;
        r.Popup = Dropped ? TPopupAction::Hide : TPopupAction::Show;
        return r;
    }
    if (!S.EditorEnabled) {
        if (!S.ReadOnly) {
            if (enter) r.Popup = TPopupAction::Hide;
            else if (key == Qt::Key_Escape) r.Popup = TPopupAction::HideCancel;
            else if (key == Qt::Key_F4) r.Popup = Dropped ? TPopupAction::Hide : TPopupAction::Show;
        }
        // Enter and Escape go on (to the parent when nothing closes).
        r.Consumed = true;
        r.ToParent = (enter || key == Qt::Key_Escape) && !Dropped;
        return r;
    }
    if (ctrl && (key == Qt::Key_Tab || enter)) {
        r.Consumed = enter; // Ctrl+Enter types nothing
        return r;
    }
    if (enter && S.ReturnIsTab && !Dropped) {
        r.Consumed = true;
        r.MoveFocus = true;
        return r;
    }
    if (key == Qt::Key_Right && !S.Suffix.isEmpty() && St.SelEnd() >= ValueEnd()) return Done(true);
    if (key == Qt::Key_Delete && !S.Suffix.isEmpty()) {
        if (St.SelEnd() >= ValueEnd() && St.SelLength == 0) return Done(true);
        Modified = true;
    }
    if (key == Qt::Key_Left && !S.Prefix.isEmpty() && St.SelEnd() <= prefix) return Done(true);
    if (key == Qt::Key_End && !S.Suffix.isEmpty()) {
        if (shift) {
            St.SelLength = ValueEnd() - St.SelStart;
        } else {
            St.SelStart = ValueEnd();
            St.SelLength = 0;
        }
        return Done(true);
    }
    if (key == Qt::Key_Home && !S.Prefix.isEmpty()) {
        if (shift) {
            St.SelStart = prefix;
            St.SelLength = ValueEnd() - prefix;
        } else {
            St.SelStart = prefix;
            St.SelLength = 0;
        }
        return Done(true);
    }
    if (key == Qt::Key_Backspace) {
        // The character step deletes; the key-down only counts the change.
        if (!S.Prefix.isEmpty() && St.SelStart > prefix + 1) Modified = true;
        return Done(true);
    }
    if (key == Qt::Key_Delete && St.SelStart >= prefix) {
        const QString v = Value();
        const int p = P();
        const int len = St.SelLength > 0 ? St.SelLength : 1;
        const QString after = v.left(p) + v.mid(p + len);
        if (S.LengthLimit > 0 && IntegerPartLength(after) - 1 > S.LengthLimit) return Done(true);
        Modified = true;
    }
    if (key == Qt::Key_Delete) {
        // Passed on: the deletion itself, then the money format.
        const int start = St.SelStart;
        const int len = St.SelLength > 0 ? St.SelLength : (start < int(St.Text.size()) ? 1 : 0);
        if (S.ReadOnly) return Done(true);
        St.Text.remove(start, len);
        St.SelLength = 0;
        if (len > 0) Modified = true;
        if (S.EditType == etMoney) ApplyMoneyFormat();
        if (!S.Prefix.isEmpty() && St.SelStart < prefix) St.SelStart = prefix;
        return Done(true);
    }
    if (enter || key == Qt::Key_Escape || key == Qt::Key_F4) {
        r = Done(true);
        if (enter) {
            r.Popup = Dropped ? TPopupAction::Hide : TPopupAction::None;
        } else if (key == Qt::Key_Escape) {
            if (Dropped) {
                r.Popup = TPopupAction::HideCancel;
            } else {
                // Escape undoes the edit mark: the value selected, not
                // modified; the parent then sees the key.
                if (S.CanUndo) {
                    St.SelStart = S.Prefix.isEmpty() && S.Suffix.isEmpty() ? 0 : prefix;
                    St.SelLength = int(Value().size());
                    r.State = St;
                    r.ClearModified = true;
                }
                r.ToParent = true;
            }
        } else {
            r.Popup = Dropped ? TPopupAction::Hide : TPopupAction::Show;
        }
        return r;
    }
    return r; // passed on to the line edit
}

TDropDownInputResult TDropDownInputEngine::AfterKeyDown(int key, const TDropDownEditState& state)
{
    (void)key;
    St = state;
    const int prefix = int(S.Prefix.size());
    if (!S.Prefix.isEmpty() && St.SelStart < prefix) {
        St.SelStart = prefix;
        St.SelLength = std::max(0, St.SelLength - prefix);
    }
    return Done(true);
}

// ---- Characters ------------------------------------------------------------

TDropDownInputResult TDropDownInputEngine::Char(QChar c, bool ctrl, bool keypad)
{
    if (!S.EditorEnabled || S.ReadOnly) return Done(true);
    const FormatSettings& fs = S.Separators;
    const QChar DS = fs.DecimalSeparator, TS = fs.ThousandSeparator;
    const int prefix = int(S.Prefix.size());
    TDropDownInputResult r;

    if (ctrl && c == kEnter) return Done(true);
    if (c == kEnter) {
        r = Done(true);
        r.ToParent = !S.DefaultHandling;
        return r;
    }
    if (c == kEscape) {
        r = Done(true);
        r.ToParent = true;
        return r;
    }
    if (S.ExcelStyleDecimalSeparator && keypad && (c == QLatin1Char('.') || c == QLatin1Char(','))) c = DS;
    if (c == kBackspace && !S.Prefix.isEmpty() && St.SelStart <= prefix && St.SelLength == 0) return Done(true);

    QString v = Value();
    const int p = P();
    if (S.LengthLimit > 0 && IntegerPartLength(v) > S.LengthLimit && St.SelLength == 0 && St.SelStart < DecimalSeparatorPos() &&
        c != kBackspace && c != DS && !IsSignedMinus(c))
        return Done(true);
    if (c == kBackspace) {
        Backspace();
        return Done(true);
    }
    if (ctrl && c == QChar(10)) return Done(true);
    if (c == QLatin1Char('-') && IsNumericType() && !S.Signed) return Done(true);

    const QString selected = St.Text.mid(St.SelStart, St.SelLength);
    const bool wholeSelected = St.SelLength == int(v.size()) && St.SelStart == prefix;
    auto passOn = [&] {
        InsertChar(c);
        return Done(true);
    };
    auto floatRules = [&](bool money) -> std::optional<TDropDownInputResult> {
        if (c == DS || c == TS) {
            if (SeparatorTooClose(v, p)) return Done(true);
        }
        if (DecimalPartFull(v, p) && St.SelLength == 0 && (IsDigit(c) || c == DS)) {
            const qsizetype ds = v.indexOf(DS);
            if (IsDigit(c) && p >= int(ds) + 1 && p < int(v.size())) {
                St.SelLength = 1; // the digit overwrites the next one
            } else {
                return Done(true);
            }
        }
        if (p == 0 && v.isEmpty() && c == DS) {
            SetValue(QStringLiteral("0") + DS, 2);
            Modified = true;
            return Done(true);
        }
        if (c == QLatin1Char('-') && St.SelLength == 0) {
            ToggleSign();
            Modified = true;
            return Done(true);
        }
        (void)money;
        return std::nullopt;
    };

    switch (S.EditType) {
    case etString:
    case etPassword: Modified = true; return passOn();
    case etNumeric:
        if (c == QLatin1Char('-')) {
            if (wholeSelected || (v.isEmpty() && St.SelLength == 0)) {
                SetValue(QStringLiteral("-"), 1);
                return Done(true);
            }
            const bool adds = !v.contains(QLatin1Char('-'));
            ToggleSign();
            if (adds) Modified = true;
            return Done(true);
        }
        if (c == kTab || IsDigit(c) || ctrl) return passOn();
        return Done(true);
    case etFloat: {
        if (c == QLatin1Char(',') && c != DS && c != TS) return Done(true);
        if (c == QLatin1Char('.') && c != DS && c != TS) return Done(true);
        if (!(c == kTab || c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('.') || IsDigit(c))) return Done(true);
        if (c == DS && !selected.contains(DS)) {
            if (v.contains(DS) || S.Precision == 0) {
                if (S.Precision > 0) {
                    const qsizetype ds = v.indexOf(DS);
                    St.SelStart = prefix + int(ds) + 1;
                    St.SelLength = 0;
                }
                return Done(true);
            }
        }
        if (c == QLatin1Char(',') && v.contains(QLatin1Char(',')) && !selected.contains(QLatin1Char(',')) && TS != QLatin1Char(','))
            return Done(true);
        if (auto done = floatRules(false)) return *done;
        return passOn();
    }
    case etMoney: {
        if (!(c == kTab || c == QLatin1Char('-') || IsDigit(c) || c == DS)) return Done(true);
        if (c == DS && (v.contains(DS) || S.Precision <= 0)) {
            if (S.Precision > 0) {
                if (wholeSelected) {
                    v = FormatFloatText(0, S.Precision, true, fs);
                    SetValue(v, 0);
                }
                St.SelStart = prefix + int(v.indexOf(DS)) + 1;
                St.SelLength = 0;
            }
            return Done(true);
        }
        if (auto done = floatRules(true)) return *done;
        InsertChar(c);
        const QString now = Value();
        if (!now.isEmpty() && now != QStringLiteral("-") && c != DS) ApplyMoneyFormat();
        return Done(true);
    }
    case etUppercase: c = c.toUpper(); return passOn();
    case etLowerCase: c = c.toLower(); return passOn();
    case etMixedCase: {
        const int caret = St.SelStart;
        InsertChar(c);
        SetValue(ProperCaseText(Value()), caret + 1 - prefix);
        return Done(true);
    }
    case etRange: {
        if (!(c == kTab || c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char(';') || IsDigit(c))) return Done(true);
        Modified = true;
        if (IsRangeSeparator(c)) {
            const QString text = St.Text + QLatin1Char(' ');
            const QChar before = St.SelStart > 0 ? text[St.SelStart - 1] : QChar(' ');
            const QChar after = text[std::min<qsizetype>(St.SelStart, text.size() - 1)];
            if (St.SelStart <= prefix || IsRangeSeparator(before) || IsRangeSeparator(after)) return Done(true);
        }
        return passOn();
    }
    case etHex: {
        const bool ok = c == kTab || c == QLatin1Char('-') || IsDigit(c) || (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ||
                        (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
        if (!ok) return Done(true);
        Modified = true;
        return passOn();
    }
    case etAlphaNumeric: {
        const bool ok = c == kTab || IsDigit(c) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
        if (!ok) return Done(true);
        Modified = true;
        return passOn();
    }
    case etValidChars:
        if (!S.ValidChars.contains(c)) return Done(true);
        Modified = true;
        return passOn();
    }
    return passOn();
}

// ---- Paste -----------------------------------------------------------------

TDropDownInputResult TDropDownInputEngine::Paste(const QString& clip, bool allowed)
{
    const TDropDownEditState before = St;
    TDropDownEditState composed;
    QString s = ComposePasteText(clip, composed);
    if (!allowed) return Done(true);
    if (S.MaxLength > 0 && int(clip.size() + Value().size()) - St.SelLength > S.MaxLength) return Done(true);
    const FormatSettings& fs = S.Separators;
    bool accepted = true;
    bool modified = false;
    switch (S.EditType) {
    case etString:
    case etPassword: break;
    case etNumeric:
        accepted = ClassifyDropDownNumber(s, fs) == 0 && (S.Signed || !s.contains(QLatin1Char('-')));
        modified = true;
        break;
    case etFloat:
    case etMoney: {
        accepted = ClassifyDropDownNumber(s, fs) < 2 && !(S.Precision == 0 && clip.contains(fs.DecimalSeparator)) &&
                   (S.Signed || !s.contains(QLatin1Char('-')));
        if (accepted) {
            // Written, then reformatted through the number.
            QString t = s;
            if (S.EditType == etMoney) {
                t = StripThousandSeparators(t, fs);
                if (t.endsWith(fs.DecimalSeparator)) t.chop(1);
            }
            const double v = (t.isEmpty() || t == QStringLiteral("-")) ? 0 : TextToFloat(t, fs);
            s = FormatFloatText(v, S.Precision, S.EditType == etMoney, fs);
            if (S.EditType == etMoney) s = FormatMoneyValue(s);
        }
        modified = true;
        break;
    }
    case etUppercase: s = s.toUpper(); break;
    case etLowerCase: s = s.toLower(); break;
    case etMixedCase: s = ProperCaseText(s); break;
    case etAlphaNumeric:
    case etValidChars:
        for (QChar c : s) {
            const bool ok = S.EditType == etValidChars ? S.ValidChars.contains(c)
                                                       : (IsDigit(c) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                                                          (c >= QLatin1Char('a') && c <= QLatin1Char('z')));
            if (!ok) accepted = false;
        }
        modified = true;
        break;
    case etRange:
    case etHex: accepted = false; break;
    }
    if (!accepted) {
        St = before;
        return Done(true);
    }
    St.Text = S.Prefix + s + S.Suffix;
    if (S.EditType == etMoney && s.size() > 3) {
        St.SelStart = int(S.Prefix.size());
        St.SelLength = int(s.size());
    } else {
        St.SelStart = std::min(composed.SelStart, int(St.Text.size()));
        St.SelLength = std::min(composed.SelLength, int(St.Text.size()) - St.SelStart);
    }
    if (modified || S.EditType == etString || S.EditType == etUppercase || S.EditType == etMixedCase || S.EditType == etLowerCase ||
        S.EditType == etPassword)
        Modified = true;
    return Done(true);
}
