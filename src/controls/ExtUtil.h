#pragma once
// Text routines of the grid family: codings of cell texts for files and the
// clipboard, number and date recognition, small HTML helpers and string
// utilities. All are free functions without state; the locale values they
// need come in through a FormatSettings argument.
#include "platform/Graphics.h"
#include "platform/SysUtils.h"

#include <QPoint>
#include <QString>
#include <QStringList>

// ---------------------------------------------------------------------------
// Cell codings.

// The marker of a wide (16-bit) text coded as byte pairs, and of rich text.
inline const QString WideTextMarker = QStringLiteral("|\\");
inline const QString RichTextMarker = QStringLiteral("{\\");

// Every CR LF becomes character 11, then the text is wrapped in quotes.
QString CsvQuoteMultiline(const QString& s);
// Every character 11 becomes CR LF.
QString VTToCRLF(const QString& s);
// Every CR becomes "~", every LF is dropped.
QString CRToTilde(const QString& s);
// Every "~" becomes CR LF; a result of exactly "^" becomes empty.
QString TildeToCRLF(const QString& s);
// When the text holds a CR: CR -> 9, LF -> 8, character 0 -> 1.
QString MultilineToSingleLine(const QString& s);
// When the text holds character 8: 9 -> CR, 8 -> LF, 1 -> character 0. With
// `whole` false only the first line is returned.
QString SingleLineToMultiline(const QString& s, bool whole);
// The wide-text marker, then high byte and low byte of every character.
QString EncodeWideCellText(const QString& wide);
// Reverses EncodeWideCellText; a text without the marker is returned as it is.
QString DecodeWideCellText(const QString& s);
// Backslash + "n" -> CR.
QString EscapedNewlineToCR(const QString& s);
// CR -> backslash + "n"; LF dropped.
QString CRToEscapedNewline(const QString& s);
// The CR of every CR LF pair deleted.
QString CRLFToLF(const QString& s);
QString StripCR(const QString& s);
QString CRToLF(const QString& s);
// When the text holds a CR, every CR becomes "<br>" (LF kept).
QString CRToHtmlBreak(const QString& s);
QString DoubleQuoteChars(const QString& s);
// Every pair of `c` collapsed to one, scanning from the left.
QString UndoubleChar(QChar c, const QString& s);
// A text to be written in the ANSI code page re-coded so that the bytes
// written are its OEM (code page 850) bytes, and back.
QString AnsiTextToOem(const QString& s);
QString OemTextToAnsi(const QString& s);

// ---------------------------------------------------------------------------
// Numbers in cell texts.

// 0 integer, 1 decimal number, 2 not a number, 5 scientific notation.
int ClassifyNumericText(const QString& s, const FormatSettings& fs);
// Plain number text for a floating-point conversion: separators resolved,
// leading text dropped, "-" for a negative or a value in parentheses.
QString NormalizeNumericText(const QString& s, const FormatSettings& fs);

// A character of the Unicode number categories.
bool IsDigitChar(QChar c);
// A digit or "-".
bool IsDigitOrMinus(QChar c);
// A digit, the thousand or decimal separator, "e" or "E".
bool IsNumericChar(QChar c, const FormatSettings& fs);
// The same, or "+" or "-".
bool IsSignedNumericChar(QChar c, const FormatSettings& fs);
// A digit, ",", "-", ".", "e", "E" or "+".
bool IsPlainNumberChar(QChar c);

// ---------------------------------------------------------------------------
// Dates.

// Date and optional time in the order of the locale's short date format.
// Stores the value on success, and also when only the time text lacks its
// separator (the result is then false).
bool ParseDateByShortFormat(const QString& s, TDateTime& value, const FormatSettings& fs);
// Month/day/year or day/month/year with "/", "." or "-". A year of one or two
// digits is taken in 1926..2025; a longer one as written. 0 when the text
// does not parse; a day or month that does not exist throws EConvertError.
TDateTime ParseDateMDY(const QString& s);
TDateTime ParseDateDMY(const QString& s);
bool HasTwoDateSeparators(const QString& s, const FormatSettings& fs);
// The next date of a series; throws EConvertError for a date that does not
// exist.
TDateTime IncDateParts(int yearDelta, int monthDelta, int dayDelta, TDateTime step, TDateTime date);

// ---------------------------------------------------------------------------
// HTML and clipboard.

// The clipboard's HTML format: the header with byte offsets, the page
// template (declaring UTF-8) and the fragment, as UTF-8 bytes.
QByteArray WrapClipboardHtml(const QString& fragment);
// When the upper-cased text holds `marker`: html := the text escaped, with
// the link starting at the marker turned into an anchor; true. Else false
// and html untouched.
bool TextToHtmlWithLinks(const QString& text, const QString& marker, QString& html);
// Six upper-case hexadecimal digits, red, green, blue.
QString ColorToHtmlHex(TColor color);

// ---------------------------------------------------------------------------
// Cell-text tests and small text functions.

// 0 plain, 1 mini-HTML (only when enabled), 2 rich text, 3 formula,
// 5 wide-coded text.
int DetectCellTextKind(const QString& s, bool miniHtml);
bool TextIsUrl(const QString& s);
void RemoveUrlScheme(QString& s);
// "R<row>C<column>" in either letter case; point = (column, row).
bool ParseRowColRef(const QString& s, QPoint& point);
QString ProperCaseText(const QString& s);
// The part before the first `sep`; the text loses it and the separator's
// first character. Empty and the text unchanged when there is no separator.
QString ExtractToken(QString& s, const QString& sep);
// first := the text up to the first CR; the text keeps the rest (a LF after
// the CR dropped) when keepRest, else it is emptied.
void ExtractFirstLine(QString& s, bool keepRest, QString& first);
int LineCountOf(const QString& s, bool multiline);
// The 1-based position that ends a quoted field, 0 when none.
int FindClosingQuote(QChar quote, const QString& s);
int CountClosingQuotes(QChar quote, const QString& s);
int CharCount(QChar c, const QString& s);
// 1-based positions; 0 when absent. The ...Var forms also store a found
// position in `pos`.
int CharPos(QChar c, const QString& s);
int CharPosVar(QChar c, const QString& s, int& pos);
int PosVar(const QString& sub, const QString& s, int& pos);
// Position of `sub` in the upper-cased text.
int UpperTextPos(const QString& sub, const QString& s);
int WidePos(const QString& sub, const QString& s);
void FillWithChar(QString& s, QChar c);
QString ConcatStrings(const QStringList& lines);
int ClampToLimits(int value, int min, int max);
inline int IntMax(int a, int b) { return a > b ? a : b; }
inline int IntMin(int a, int b) { return a < b ? a : b; }

// A cell inside a grid rectangle (any type with Left, Top, Right, Bottom),
// bounds included.
template <class Rect>
bool CellInGridRect(const Rect& r, int col, int row)
{
    return col >= r.Left && col <= r.Right && row >= r.Top && row <= r.Bottom;
}
