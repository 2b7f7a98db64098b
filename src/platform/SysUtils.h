#pragma once
// Small value conversions shared by every layer.
#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>

// The program's integer convention: optional leading blanks and a sign, then
// decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X".
// Anything else (the empty text, trailing characters, a value outside the
// 32-bit range) is no integer. Hexadecimal takes up to eight digits, read as
// the 32-bit pattern (so "$FFFFFFFF" is -1).
std::optional<int32_t> TryStrToInt(const QString& text);
int32_t StrToIntDef(const QString& text, int32_t def);
// Throws EConvertError "'text' is not a valid integer value" when not an integer.
int32_t StrToInt(const QString& text);

// Decimal text of an integer.
inline QString IntToStr(int64_t v) { return QString::number(v); }
// Upper-case hexadecimal, zero-padded to at least `digits` characters.
QString IntToHex(uint64_t v, int digits);

// Trims characters up to and including the blank (control characters and
// blanks) at both ends, as the program's texts are trimmed.
QString Trim(const QString& s);
QString TrimLeft(const QString& s);
QString TrimRight(const QString& s);

// Locale values read from the system at start and fixed for the program's
// life; tests pin them with SetFormatSettings.
struct FormatSettings {
    QChar DecimalSeparator = '.';
    QChar ThousandSeparator = ',';
    QChar DateSeparator = '/';
    QChar TimeSeparator = ':';
    QString ShortDateFormat = QStringLiteral("dd/MM/yyyy");

    // The values of the system locale.
    static FormatSettings FromSystem();
};

const FormatSettings& SystemFormatSettings();
void SetFormatSettings(const FormatSettings& fs);
