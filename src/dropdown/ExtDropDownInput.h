#pragma once
// How a drop-down edit takes typing and pasting, as a pure engine.
//
// The edit state (whole text, caret and selection), the edit's input settings
// and the locale separators go in with one key or character; out come the new
// state, whether the key was consumed or is passed on to the line edit,
// whether the modified flag is to be set, what to do with the pop-up, and
// whether the key goes on to the parent window. The line edit glue
// (TExtCustomDropDown) turns Qt key events into these calls and applies the
// results; the tests drive the engine directly.
//
// Terms: the value is the text without Prefix and Suffix; p is the caret
// counted in the value; DS and TS are the decimal and thousand separators,
// read at each use.
#include "platform/SysUtils.h"

#include <QString>
#include <cstdint>

enum class TDropDownEditType;

// ---- Unit routines ---------------------------------------------------------

// 0 integer, 1 float, 2 no number, 5 hexadecimal.
int ClassifyDropDownNumber(const QString& s, const FormatSettings& fs);
QString StripThousandSeparators(const QString& s, const FormatSettings& fs);
int HexDigitValue(QChar c);
// Unsigned 32-bit: more than eight digits wrap.
uint32_t HexToInt(const QString& s);
bool IsRangeSeparator(QChar c);
// Thousand separators removed, then read with the locale's separators; 0
// for a text that is no number.
double TextToFloat(const QString& s, const FormatSettings& fs);
// v with `precision` decimals (below 0: the shortest general form), the DS
// for the point, the integer part grouped with the TS when `grouped`.
QString FormatFloatText(double v, int precision, bool grouped, const FormatSettings& fs);
// v in upper-case hexadecimal without leading zeros.
QString HexText(int64_t v);

// ---- The engine ------------------------------------------------------------

struct TDropDownInputSettings {
    TDropDownEditType EditType{}; // etString
    QString Prefix;
    QString Suffix;
    int Precision = 0;
    int LengthLimit = 0;
    bool Signed = false;
    QString ValidChars;
    bool AutoThousandSeparator = true;
    bool ExcelStyleDecimalSeparator = false;
    bool ReturnIsTab = false;
    bool DefaultHandling = true;
    bool CanUndo = true;
    bool EditorEnabled = true;
    bool ReadOnly = false;
    int MaxLength = 0;
    FormatSettings Separators;
};

struct TDropDownEditState {
    QString Text;      // the whole edit text: Prefix + value + Suffix
    int SelStart = 0;  // the caret, or the start of the selection
    int SelLength = 0; // 0: no selection
    bool operator==(const TDropDownEditState&) const = default;
    int SelEnd() const { return SelStart + SelLength; }
};

enum class TPopupAction { None, Show, Hide, HideCancel, Toggle };

struct TDropDownInputResult {
    // Consumed: the line edit does not see the key; the state below is the
    // edit's new state. Otherwise the key is passed on to the line edit.
    bool Consumed = false;
    TDropDownEditState State;
    bool SetModified = false;
    TPopupAction Popup = TPopupAction::None;
    // Enter acting as Tab: the focus moves on.
    bool MoveFocus = false;
    // The key goes on to the parent window (Enter or Escape).
    bool ToParent = false;
    // Escape: the modified state is to be cleared.
    bool ClearModified = false;
};

class TDropDownInputEngine {
public:
    TDropDownInputEngine(const TDropDownInputSettings& settings, const TDropDownEditState& state, bool droppedDown)
        : S(settings), St(state), Dropped(droppedDown)
    {
    }

    // The key-down steps for a Qt key code (a key passed on is handled by the
    // line edit: caret moves and the like).
    TDropDownInputResult KeyDown(int key, bool shift, bool ctrl, bool alt);
    // After the line edit has handled a passed-on key: the money format after
    // Delete, the caret out of the prefix, and the pop-up keys.
    TDropDownInputResult AfterKeyDown(int key, const TDropDownEditState& state);
    // One typed character (8 Backspace, 9 Tab, 13 Enter, 27 Escape); `keypad`:
    // it came from the numeric keypad. Characters passed on are inserted by
    // the engine itself, so the result always carries the new state.
    TDropDownInputResult Char(QChar c, bool ctrl, bool keypad);
    // The paste of `clip` (the caller checks read-only and the clipboard).
    // Refused pastes leave the state as it was.
    TDropDownInputResult Paste(const QString& clip, bool allowed);

    // The value and caret helpers, public for the tests.
    QString Value() const;
    int P() const { return St.SelStart - int(S.Prefix.size()); }
    int ValueEnd() const { return int(S.Prefix.size() + Value().size()); }
    int IntegerPartLength(const QString& value) const;
    int DecimalSeparatorPos() const;
    bool DecimalPartFull(const QString& value, int p) const;
    bool SeparatorTooClose(const QString& value, int p) const;
    bool IsSignedMinus(QChar c) const;
    // The value with the clipboard text put in at the caret (replacing the
    // selection); the new caret and selection in `state`.
    QString ComposePasteText(const QString& clip, TDropDownEditState& state) const;
    // The money text of a value: sign, grouped integer part of the truncated
    // absolute value, the decimal part as typed.
    QString FormatMoneyValue(const QString& value) const;

private:
    TDropDownInputResult Done(bool consumed) const;
    void SetValue(const QString& value, int caretInValue);
    void InsertChar(QChar c);
    void Backspace();
    bool IsNumericType() const;
    void ToggleSign();
    void ApplyMoneyFormat();

    TDropDownInputSettings S;
    TDropDownEditState St;
    bool Dropped;
    bool Modified = false;
};
