#pragma once
// Small value conversions shared by every layer.
#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

// The program's integer convention: optional leading blanks and a sign, then
// decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X".
// Anything else (the empty text, trailing characters, a value outside the
// range) is no integer. The 32-bit form takes hexadecimal up to eight digits,
// read as the 32-bit pattern (so "$FFFFFFFF" is -1); the 64-bit form takes
// the signed 64-bit decimal range and up to sixteen hexadecimal digits, read
// as the 64-bit pattern. The UTF-8 forms read the same rule straight from
// bytes (for readers that walk large files without making QStrings).
std::optional<int32_t> TryStrToInt(const QString& text);
std::optional<int32_t> TryStrToInt(std::string_view utf8);
inline std::optional<int32_t> TryStrToInt(const char* utf8) { return TryStrToInt(std::string_view(utf8)); }
std::optional<int64_t> TryStrToInt64(const QString& text);
std::optional<int64_t> TryStrToInt64(std::string_view utf8);
inline std::optional<int64_t> TryStrToInt64(const char* utf8) { return TryStrToInt64(std::string_view(utf8)); }
int32_t StrToIntDef(const QString& text, int32_t def);
// True when the text has the form of an integer (blanks, sign, prefix and
// digits as above), however large its value: a text that is no integer only
// because it is out of range.
bool IsIntegerForm(const QString& text);
bool IsIntegerForm(std::string_view utf8);
inline bool IsIntegerForm(const char* utf8) { return IsIntegerForm(std::string_view(utf8)); }
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
