#pragma once
// The condition language of the grid's row filter and of its find function:
// operands joined by "&" (and), "|", "^" or ";" (or), strictly from left to
// right, with parenthesised groups. An operand is a comparison (">", ">=",
// "<", "<=": numeric, by date or by text), a wildcard pattern ("*", "?"),
// negated with "!", or a double-quoted text that keeps its blanks.
#include "platform/SysUtils.h"

#include <QString>

// Whether `value` satisfies `condition`. Pure: nothing is reported, a
// malformed condition simply yields true or false.
bool MatchFilterExpression(const QString& condition, const QString& value, bool caseSensitive,
                           const FormatSettings& fs);

// One operand; both texts upper-cased first unless `caseSensitive`.
bool MatchFilterOperand(const QString& operand, const QString& value, bool caseSensitive, const FormatSettings& fs);

// The comparison and wildcard matcher of one operand.
bool MatchFilterCondition(const QString& operand, const QString& value, const FormatSettings& fs);

// Removes every blank that stands outside double quotes.
QString StripBlanksOutsideQuotes(const QString& s);
// 1-based position of the first "(", ";", "^", "&" or "|" outside double
// quotes; 0 when none.
int FindUnquotedSeparator(const QString& s);
// 1-based position of the ")" that balances the "(" counted from the start;
// 0 when none does.
int FindClosingParen(const QString& s);
// The locale's decimal separator becomes ".", thousand separators are
// dropped, every other character stays.
QString NumberTextForConversion(const QString& s, const FormatSettings& fs);
