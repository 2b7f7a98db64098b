// Typing, pasting and number formatting of the drop-down edit: the engine's
// tables first, then the line-edit glue with real key events.
#include "dropdown/ExtDropDown.h"
#include "dropdown/ExtDropDownInput.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using enum TDropDownEditType;

namespace {

FormatSettings PointLocale()
{
    FormatSettings fs;
    fs.DecimalSeparator = '.';
    fs.ThousandSeparator = ',';
    return fs;
}

FormatSettings CommaLocale()
{
    FormatSettings fs;
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = '.';
    return fs;
}

// Pins the locale's separators for a test.
struct PinnedLocale {
    explicit PinnedLocale(const FormatSettings& fs) : old(SystemFormatSettings()) { SetFormatSettings(fs); }
    ~PinnedLocale() { SetFormatSettings(old); }
    FormatSettings old;
};

TDropDownInputSettings Settings(TDropDownEditType type, const FormatSettings& fs = PointLocale())
{
    TDropDownInputSettings s;
    s.EditType = type;
    s.Separators = fs;
    return s;
}

// The edit text with the caret at `caret` (the whole text when -1).
TDropDownEditState At(const QString& text, int caret = -1, int selLength = 0)
{
    return {text, caret < 0 ? int(text.size()) : caret, selLength};
}

// Types the characters one after the other.
TDropDownEditState Type(const TDropDownInputSettings& s, TDropDownEditState st, const QString& chars)
{
    for (QChar c : chars) st = TDropDownInputEngine(s, st, false).Char(c, false, false).State;
    return st;
}

TDropDownEditState Key(const TDropDownInputSettings& s, const TDropDownEditState& st, int key, bool shift = false)
{
    return TDropDownInputEngine(s, st, false).KeyDown(key, shift, false, false).State;
}

} // namespace

// ---- Unit routines -----------------------------------------------------------

TEST(DropDownNumbers, Classify)
{
    struct Case {
        const char* text;
        int point, comma;
    };
    const Case cases[] = {
        {"", 2, 2},     {"123", 0, 0},  {"-1.5", 1, 1}, {"-1,5", 1, 1}, {"1A", 5, 5},     {"--1", 2, 2},
        {"1.2.3", 2, 2}, // two decimal separators, or thousand separators too close
        {"1,234", 1, 1}, {",123", 2, 1}, {"1,2,3", 2, 2}, {"abc", 5, 5},  {"12x", 2, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyDropDownNumber(QString::fromLatin1(c.text), PointLocale()), c.point) << c.text;
        EXPECT_EQ(ClassifyDropDownNumber(QString::fromLatin1(c.text), CommaLocale()), c.comma) << c.text;
    }
}

TEST(DropDownNumbers, HexAndFloatConversions)
{
    EXPECT_EQ(HexToInt(QStringLiteral("FF")), 255u);
    EXPECT_EQ(HexToInt(QStringLiteral("ffffffff")), 0xFFFFFFFFu);
    EXPECT_EQ(HexToInt(QStringLiteral("1FFFFFFFF")), 0xFFFFFFFFu); // wraps, no overflow
    EXPECT_EQ(HexToInt(QStringLiteral("1G")), 16u);                 // G counts as 0
    EXPECT_EQ(HexDigitValue(QLatin1Char('c')), 12);
    EXPECT_TRUE(IsRangeSeparator(QLatin1Char(';')));
    EXPECT_FALSE(IsRangeSeparator(QLatin1Char('.')));

    EXPECT_DOUBLE_EQ(TextToFloat(QStringLiteral("1,234.5"), PointLocale()), 1234.5);
    EXPECT_DOUBLE_EQ(TextToFloat(QStringLiteral("1.234,5"), CommaLocale()), 1234.5);
    EXPECT_DOUBLE_EQ(TextToFloat(QStringLiteral("abc"), PointLocale()), 0);
    EXPECT_DOUBLE_EQ(TextToFloat(QString(), PointLocale()), 0);

    EXPECT_EQ(FormatFloatText(1234567.891, 2, true, PointLocale()), QStringLiteral("1,234,567.89"));
    EXPECT_EQ(FormatFloatText(-1234.5, 1, true, CommaLocale()), QStringLiteral("-1.234,5"));
    EXPECT_EQ(FormatFloatText(0, 2, false, CommaLocale()), QStringLiteral("0,00"));
    EXPECT_EQ(FormatFloatText(2.25, 1, false, PointLocale()).size(), 3);
    EXPECT_EQ(FormatFloatText(1.5, 1000, false, PointLocale()).size(), 20); // precision is bounded
    EXPECT_EQ(HexText(255), QStringLiteral("FF"));
}

// ---- Typing ------------------------------------------------------------------

TEST(DropDownTyping, FloatPrecisionAndSeparators)
{
    for (const FormatSettings& fs : {PointLocale(), CommaLocale()}) {
        const QString ds(fs.DecimalSeparator);
        auto s = Settings(etFloat, fs);
        s.Precision = 2;
        const QString v = QStringLiteral("1") + ds + QStringLiteral("25");
        // Caret at the end: the decimals are full, a digit is dropped.
        EXPECT_EQ(Type(s, At(v), QStringLiteral("7")), At(v));
        // Caret behind the separator: the digit replaces the first decimal.
        EXPECT_EQ(Type(s, At(v, 2), QStringLiteral("7")), At(QStringLiteral("1") + ds + QStringLiteral("75"), 3));
        // The separator into an empty value gives "0" and the separator.
        EXPECT_EQ(Type(s, At(QString()), ds), At(QStringLiteral("0") + ds, 2));
        // A second separator moves the caret behind the first.
        EXPECT_EQ(Type(s, At(QStringLiteral("12") + ds + QStringLiteral("5"), 1), ds), At(QStringLiteral("12") + ds + QStringLiteral("5"), 3));
        // Letters are dropped.
        EXPECT_EQ(Type(s, At(QStringLiteral("1")), QStringLiteral("x")), At(QStringLiteral("1")));
        // Precision 0: no separator at all.
        s.Precision = 0;
        EXPECT_EQ(Type(s, At(QStringLiteral("12")), ds), At(QStringLiteral("12")));
    }
}

TEST(DropDownTyping, NumericSigns)
{
    auto s = Settings(etNumeric);
    EXPECT_EQ(Type(s, At(QStringLiteral("12")), QStringLiteral("-")), At(QStringLiteral("12"))); // not signed
    s.Signed = true;
    EXPECT_EQ(Type(s, At(QStringLiteral("12")), QStringLiteral("-")), At(QStringLiteral("-12"), 3));
    EXPECT_EQ(Type(s, At(QStringLiteral("-12")), QStringLiteral("-")), At(QStringLiteral("12"), 2));
    EXPECT_EQ(Type(s, At(QStringLiteral("12"), 0, 2), QStringLiteral("-")), At(QStringLiteral("-"), 1));
    EXPECT_EQ(Type(s, At(QString()), QStringLiteral("-")), At(QStringLiteral("-"), 1));
    EXPECT_EQ(Type(s, At(QStringLiteral("1")), QStringLiteral("2a3")), At(QStringLiteral("123")));
    // The sign toggle keeps the caret out of the prefix.
    s.Prefix = QStringLiteral("#");
    EXPECT_EQ(Type(s, At(QStringLiteral("#-5"), 1), QStringLiteral("-")), At(QStringLiteral("#5"), 1));
}

TEST(DropDownTyping, MoneyGroupsAsYouType)
{
    for (const FormatSettings& fs : {PointLocale(), CommaLocale()}) {
        auto s = Settings(etMoney, fs);
        const QString ts(fs.ThousandSeparator);
        EXPECT_EQ(Type(s, At(QString()), QStringLiteral("1234")), At(QStringLiteral("1") + ts + QStringLiteral("234"), 5));
        EXPECT_EQ(Type(s, At(QString()), QStringLiteral("1234567")),
                  At(QStringLiteral("1") + ts + QStringLiteral("234") + ts + QStringLiteral("567"), 9));
        // The thousand separator itself is not typed.
        EXPECT_EQ(Type(s, At(QStringLiteral("12")), ts), At(QStringLiteral("12")));
        s.AutoThousandSeparator = false;
        EXPECT_EQ(Type(s, At(QString()), QStringLiteral("1234")), At(QStringLiteral("1234")));
    }
    // Decimals as typed; a separator with precision jumps behind the one there.
    auto s = Settings(etMoney);
    s.Precision = 2;
    EXPECT_EQ(Type(s, At(QString()), QStringLiteral("1234.5")), At(QStringLiteral("1,234.5")));
    EXPECT_EQ(Type(s, At(QStringLiteral("1,234.5"), 2), QStringLiteral(".")), At(QStringLiteral("1,234.5"), 6));
}

TEST(DropDownTyping, SeparatorDistances)
{
    auto s = Settings(etFloat);
    const QString v = QStringLiteral("1,234");
    TDropDownInputEngine e(s, At(v), false);
    // A thousand separator is accepted only exactly three places from the
    // nearest one.
    EXPECT_TRUE(e.SeparatorTooClose(v, 1));
    EXPECT_TRUE(e.SeparatorTooClose(v, 4));
    EXPECT_FALSE(e.SeparatorTooClose(v, 5));
    EXPECT_FALSE(e.SeparatorTooClose(QStringLiteral("1234"), 1)); // none there
    EXPECT_EQ(Type(s, At(v, 4), QStringLiteral(",")), At(v, 4));
    EXPECT_EQ(e.IntegerPartLength(QStringLiteral("1,234.5")), 5);
    EXPECT_EQ(e.DecimalSeparatorPos(), 6); // none: past the end
}

TEST(DropDownTyping, LengthLimit)
{
    auto s = Settings(etFloat);
    s.Precision = 2;
    s.LengthLimit = 3;
    EXPECT_EQ(Type(s, At(QStringLiteral("123")), QStringLiteral("4")), At(QStringLiteral("123")));
    EXPECT_EQ(Type(s, At(QStringLiteral("123")), QStringLiteral(".")), At(QStringLiteral("123.")));
    EXPECT_EQ(Type(s, At(QStringLiteral("123.")), QStringLiteral("4")), At(QStringLiteral("123.4")));
    EXPECT_EQ(Type(s, At(QStringLiteral("12")), QStringLiteral("3")), At(QStringLiteral("123")));
    // Deleting the separator of 123.45 would make the integer part too long.
    EXPECT_EQ(Key(s, At(QStringLiteral("123.45"), 3), Qt::Key_Delete), At(QStringLiteral("123.45"), 3));
    EXPECT_EQ(Key(s, At(QStringLiteral("123.45"), 4), Qt::Key_Delete), At(QStringLiteral("123.5"), 4));
}

TEST(DropDownTyping, RangeHexAlphaValidAndCase)
{
    auto range = Settings(etRange);
    EXPECT_EQ(Type(range, At(QStringLiteral("1-")), QStringLiteral("-")), At(QStringLiteral("1-")));
    EXPECT_EQ(Type(range, At(QStringLiteral("1-")), QStringLiteral(",")), At(QStringLiteral("1-")));
    EXPECT_EQ(Type(range, At(QStringLiteral("1-")), QStringLiteral(";")), At(QStringLiteral("1-")));
    EXPECT_EQ(Type(range, At(QString()), QStringLiteral(",")), At(QString()));
    EXPECT_EQ(Type(range, At(QStringLiteral("1-")), QStringLiteral("5;7x")), At(QStringLiteral("1-5;7")));
    EXPECT_EQ(Type(range, At(QStringLiteral("15"), 1), QStringLiteral("-")), At(QStringLiteral("1-5"), 2));

    EXPECT_EQ(Type(Settings(etHex), At(QString()), QStringLiteral("1aFg")), At(QStringLiteral("1aF")));
    EXPECT_EQ(Type(Settings(etAlphaNumeric), At(QString()), QStringLiteral("a1!Z ")), At(QStringLiteral("a1Z")));
    auto valid = Settings(etValidChars);
    valid.ValidChars = QStringLiteral("xy");
    EXPECT_EQ(Type(valid, At(QString()), QStringLiteral("xzy")), At(QStringLiteral("xy")));
    EXPECT_EQ(Type(Settings(etUppercase), At(QString()), QStringLiteral("abC")), At(QStringLiteral("ABC")));
    EXPECT_EQ(Type(Settings(etLowerCase), At(QString()), QStringLiteral("AbC")), At(QStringLiteral("abc")));
    EXPECT_EQ(Type(Settings(etMixedCase), At(QString()), QStringLiteral("hello wORLD")), At(QStringLiteral("Hello World")));
    EXPECT_EQ(Type(Settings(etMixedCase), At(QStringLiteral("ab"), 1), QStringLiteral("X")), At(QStringLiteral("Axb"), 2));
}

TEST(DropDownTyping, CaretGuardsAroundPrefixAndSuffix)
{
    auto s = Settings(etString);
    s.Prefix = QStringLiteral("$");
    s.Suffix = QStringLiteral("EUR");
    const QString t = QStringLiteral("$12EUR");
    EXPECT_EQ(Key(s, At(t, 2), Qt::Key_Home), At(t, 1));
    EXPECT_EQ(Key(s, At(t, 2), Qt::Key_Home, true), At(t, 1, 2));
    EXPECT_EQ(Key(s, At(t, 1), Qt::Key_End), At(t, 3));
    EXPECT_EQ(Key(s, At(t, 1), Qt::Key_End, true), At(t, 1, 2));
    struct Case {
        int key, caret;
        bool consumed;
    };
    for (const Case& c : {Case{Qt::Key_Left, 1, true}, Case{Qt::Key_Left, 2, false}, Case{Qt::Key_Right, 3, true}, Case{Qt::Key_Right, 2, false}}) {
        const TDropDownInputResult r = TDropDownInputEngine(s, At(t, c.caret), false).KeyDown(c.key, false, false, false);
        EXPECT_EQ(r.Consumed, c.consumed) << c.key << " at " << c.caret;
        if (r.Consumed) {
            EXPECT_EQ(r.State, At(t, c.caret));
        }
    }
    // Delete at the value's end and Backspace at its start change nothing.
    EXPECT_EQ(Key(s, At(t, 3), Qt::Key_Delete), At(t, 3));
    EXPECT_EQ(Type(s, At(t, 1), QString(QChar(8))), At(t, 1));
    EXPECT_EQ(Type(s, At(t, 2), QString(QChar(8))), At(QStringLiteral("$2EUR"), 1));
    EXPECT_EQ(Key(s, At(t, 1), Qt::Key_Delete), At(QStringLiteral("$2EUR"), 1));
    // After a passed-on key the caret leaves the prefix.
    EXPECT_EQ(TDropDownInputEngine(s, At(t, 0), false).AfterKeyDown(Qt::Key_Up, At(t, 0)).State, At(t, 1));
}

TEST(DropDownTyping, EnterEscapeAndPopupKeys)
{
    auto s = Settings(etString);
    TDropDownInputResult r = TDropDownInputEngine(s, At(QStringLiteral("a")), false).Char(QChar(13), false, false);
    EXPECT_FALSE(r.ToParent); // default handling keeps Enter
    s.DefaultHandling = false;
    r = TDropDownInputEngine(s, At(QStringLiteral("a")), false).Char(QChar(13), false, false);
    EXPECT_TRUE(r.ToParent);
    EXPECT_EQ(r.State, At(QStringLiteral("a"))); // nothing typed

    r = TDropDownInputEngine(s, At(QStringLiteral("abc"), 1), false).KeyDown(Qt::Key_Escape, false, false, false);
    EXPECT_TRUE(r.ToParent);
    EXPECT_TRUE(r.ClearModified);
    EXPECT_EQ(r.State, At(QStringLiteral("abc"), 0, 3));
    r = TDropDownInputEngine(s, At(QStringLiteral("abc")), true).KeyDown(Qt::Key_Escape, false, false, false);
    EXPECT_EQ(r.Popup, TPopupAction::HideCancel);
    EXPECT_FALSE(r.ToParent);
    EXPECT_EQ(TDropDownInputEngine(s, At(QString()), false).KeyDown(Qt::Key_F4, false, false, false).Popup, TPopupAction::Show);
    EXPECT_EQ(TDropDownInputEngine(s, At(QString()), true).KeyDown(Qt::Key_F4, false, false, false).Popup, TPopupAction::Hide);
    EXPECT_EQ(TDropDownInputEngine(s, At(QString()), true).KeyDown(Qt::Key_Return, false, false, false).Popup, TPopupAction::Hide);
    s.ReturnIsTab = true;
    EXPECT_TRUE(TDropDownInputEngine(s, At(QString()), false).KeyDown(Qt::Key_Return, false, false, false).MoveFocus);
    // Without the editor nothing is typed and other keys stop.
    s.EditorEnabled = false;
    EXPECT_EQ(Type(s, At(QStringLiteral("a")), QStringLiteral("b")), At(QStringLiteral("a")));
    EXPECT_TRUE(TDropDownInputEngine(s, At(QStringLiteral("a")), false).KeyDown(Qt::Key_Left, false, false, false).Consumed);
}

// ---- Paste -------------------------------------------------------------------

TEST(DropDownPaste, Table)
{
    struct Case {
        TDropDownEditType type;
        int precision;
        bool isSigned;
        const char* before;
        int caret, sel;
        const char* clip;
        const char* after; // null: refused
        int afterCaret, afterSel;
    };
    const Case cases[] = {
        {etString, 0, false, "abc", 1, 0, "XY", "aXYbc", 3, 0},
        {etString, 0, false, "abc", 1, 1, "XY", "aXYc", 1, 2}, // the pasted text selected
        {etNumeric, 0, false, "1", 1, 0, "23", "123", 3, 0},
        {etNumeric, 0, false, "1", 1, 0, "2a", nullptr, 0, 0},
        {etNumeric, 0, false, "1", 0, 0, "-", nullptr, 0, 0},
        {etNumeric, 0, true, "1", 0, 0, "-", "-1", 1, 0},
        {etFloat, 0, false, "1", 1, 0, ".5", nullptr, 0, 0},
        {etFloat, 2, false, "1", 1, 0, ".5", "1.50", 3, 0},
        {etMoney, 2, false, "", 0, 0, "1234.5", "1,234.50", 0, 8},
        {etUppercase, 0, false, "a", 1, 0, "bc", "ABC", 3, 0},
        {etLowerCase, 0, false, "A", 1, 0, "BC", "abc", 3, 0},
        {etMixedCase, 0, false, "", 0, 0, "two words", "Two Words", 9, 0},
        {etAlphaNumeric, 0, false, "", 0, 0, "a1", "a1", 2, 0},
        {etAlphaNumeric, 0, false, "", 0, 0, "a-", nullptr, 0, 0},
        {etRange, 0, false, "", 0, 0, "1-2", nullptr, 0, 0},
        {etHex, 0, false, "", 0, 0, "FF", nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        auto s = Settings(c.type);
        s.Precision = c.precision;
        s.Signed = c.isSigned;
        const TDropDownEditState before = At(QString::fromLatin1(c.before), c.caret, c.sel);
        const TDropDownInputResult r = TDropDownInputEngine(s, before, false).Paste(QString::fromLatin1(c.clip), true);
        if (c.after) {
            EXPECT_EQ(r.State, At(QString::fromLatin1(c.after), c.afterCaret, c.afterSel)) << int(c.type) << " " << c.clip;
        } else {
            EXPECT_EQ(r.State, before) << int(c.type) << " " << c.clip; // refused: nothing moves
        }
    }
    // Refused by the event, or by the length limit.
    auto s = Settings(etString);
    EXPECT_EQ(TDropDownInputEngine(s, At(QStringLiteral("ab")), false).Paste(QStringLiteral("cd"), false).State, At(QStringLiteral("ab")));
    s.MaxLength = 3;
    EXPECT_EQ(TDropDownInputEngine(s, At(QStringLiteral("ab")), false).Paste(QStringLiteral("cd"), true).State, At(QStringLiteral("ab")));
    EXPECT_EQ(TDropDownInputEngine(s, At(QStringLiteral("ab")), false).Paste(QStringLiteral("c"), true).State, At(QStringLiteral("abc")));
}

// ---- The edit ----------------------------------------------------------------

TEST(DropDownInputEdit, NumberValuesAndFocusLoss)
{
    PinnedLocale pin(CommaLocale());
    QWidget host;
    auto* e = new TExtCustomDropDown(&host);
    auto* other = new QLineEdit(&host);
    other->move(0, 50);
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    e->SetEditType(etFloat);
    e->SetPrecision(2);
    EXPECT_EQ(e->Text(), QStringLiteral("0,00"));
    e->SetText(QString());
    EXPECT_EQ(e->Text(), QStringLiteral("0,00"));
    e->SetText(QStringLiteral("Error"));
    EXPECT_EQ(e->Text(), QStringLiteral("Error"));
    EXPECT_DOUBLE_EQ(e->FloatValue(), 0);
    e->SetFloatValue(1234.567);
    EXPECT_EQ(e->Text(), QStringLiteral("1234,57"));
    EXPECT_DOUBLE_EQ(e->FloatValue(), 1234.57);

    // Focus loss reformats; an empty value becomes 0 unless null values are allowed.
    e->setFocus();
    e->SetTextDirect(QStringLiteral("1,5"));
    other->setFocus();
    EXPECT_EQ(e->Text(), QStringLiteral("1,50"));
    e->setFocus();
    e->SetTextDirect(QString());
    other->setFocus();
    EXPECT_EQ(e->Text(), QStringLiteral("0,00"));
    e->SetAllowNumericNullValue(true);
    e->setFocus();
    e->SetTextDirect(QString());
    other->setFocus();
    EXPECT_EQ(e->Text(), QString());

    e->SetEditType(etMoney);
    e->SetFloatValue(1234567.5);
    EXPECT_EQ(e->Text(), QStringLiteral("1.234.567,50"));
    EXPECT_DOUBLE_EQ(e->FloatValue(), 1234567.5);
    e->SetIntValue(-4000);
    EXPECT_EQ(e->Text(), QStringLiteral("-4.000,00"));

    e->SetEditType(etHex);
    EXPECT_EQ(e->Text(), QStringLiteral("0")); // a money text is no hexadecimal number
    e->SetIntValue(255);
    EXPECT_EQ(e->Text(), QStringLiteral("FF"));
    EXPECT_DOUBLE_EQ(e->FloatValue(), 255);
    e->SetPrecision(3); // ignored for hexadecimal values
    EXPECT_EQ(e->Precision(), 2);

    e->SetEditType(etString);
    e->SetText(QStringLiteral("no number"));
    EXPECT_DOUBLE_EQ(e->FloatValue(), 0);
    e->SetEditType(etNumeric);
    EXPECT_EQ(e->Text(), QStringLiteral("0"));
    e->SetEditType(etPassword);
    EXPECT_EQ(e->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(e->CanUndo());
}

TEST(DropDownInputEdit, KeyClicksGoThroughTheEngine)
{
    PinnedLocale pin(PointLocale());
    QWidget host;
    auto* e = new TExtCustomDropDown(&host);
    host.show();
    e->setFocus();
    e->SetEditType(etMoney);
    e->SetText(QString());
    e->SetTextDirect(QString());
    int changes = 0;
    e->OnChange = [&](TExtCustomDropDown*) { ++changes; };
    QTest::keyClicks(e, QStringLiteral("1234"));
    EXPECT_EQ(e->text(), QStringLiteral("1,234"));
    EXPECT_EQ(e->cursorPosition(), 5);
    EXPECT_EQ(changes, 4); // one change per key, the regrouping included
    EXPECT_TRUE(e->isModified());
    // Backspace deletes without regrouping.
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), QStringLiteral("1,23"));

    e->SetEditType(etNumeric);
    e->SetText(QStringLiteral("5"));
    QTest::keyClicks(e, QStringLiteral("x7"));
    EXPECT_EQ(e->Text(), QStringLiteral("57"));
    // The grid's start character goes the same way.
    e->TypeChar(QLatin1Char('a'));
    e->TypeChar(QLatin1Char('8'));
    EXPECT_EQ(e->Text(), QStringLiteral("578"));

    QChar enter(13);
    e->KeyPress(enter);
    EXPECT_TRUE(enter.isNull());
    QChar other(QLatin1Char('a'));
    e->KeyPress(other);
    EXPECT_EQ(other, QLatin1Char('a'));
}

TEST(DropDownInputEdit, GridEntryPoints)
{
    PinnedLocale pin(PointLocale());
    TExtCustomDropDown e;
    e.SetPrefix(QStringLiteral("$"));
    e.SetText(QStringLiteral("12.5"));
    e.WMSetFocus();
    EXPECT_EQ(e.selectedText(), QStringLiteral("12.5"));
    e.SetAutoSelect(false);
    e.SetEditType(etFloat);
    e.WMSetFocus();
    EXPECT_EQ(e.cursorPosition(), 3); // before the point
    int key = Qt::Key_Escape;
    e.SetModifiedState(true);
    EXPECT_FALSE(e.CMWantSpecialKey(key));
    EXPECT_EQ(key, 0);
    EXPECT_EQ(e.selectedText(), QStringLiteral("12.5"));
    EXPECT_FALSE(e.IsModified());
    key = Qt::Key_Return;
    EXPECT_FALSE(e.CMWantSpecialKey(key));
    EXPECT_EQ(key, int(Qt::Key_Return));
}

TEST(DropDownInputEdit, ReturnIsTabMovesTheFocus)
{
    QWidget host;
    auto* e = new TExtCustomDropDown(&host);
    auto* next = new QLineEdit(&host);
    next->move(0, 40);
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    e->setFocus();
    e->SetReturnIsTab(true);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_TRUE(next->hasFocus());
}

TEST(DropDownInputEdit, ClipboardEvents)
{
    QWidget host;
    auto* e = new TExtCustomDropDown(&host);
    host.show();
    e->setFocus();
    e->SetText(QStringLiteral("hello"));
    e->setSelection(0, 4);
    QString seen;
    bool allow = false;
    e->OnClipboardCopy = [&](TExtCustomDropDown*, const QString& t, bool& a) {
        seen = t;
        a = allow;
    };
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(e, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(seen, QStringLiteral("hell"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before")); // refused
    allow = true;
    e->CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("hell"));

    e->OnClipboardCut = [&](TExtCustomDropDown*, const QString& t, bool& a) {
        seen = t;
        a = false;
    };
    e->setSelection(1, 2);
    QTest::keyClick(e, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(seen, QStringLiteral("el"));
    EXPECT_EQ(e->Text(), QStringLiteral("hello"));

    QString offered;
    e->OnClipboardPaste = [&](TExtCustomDropDown*, const QString& t, bool& a) {
        offered = t;
        a = false;
    };
    QApplication::clipboard()->setText(QStringLiteral("XY"));
    e->setCursorPosition(5);
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(offered, QStringLiteral("helloXY"));
    EXPECT_EQ(e->Text(), QStringLiteral("hello"));
    EXPECT_EQ(e->cursorPosition(), 5);
    e->OnClipboardPaste = nullptr;
    e->PasteFromClipboard();
    EXPECT_EQ(e->Text(), QStringLiteral("helloXY"));
}

TEST(DropDownInputEdit, EnterAndEscapeInADialog)
{
    for (bool defaultHandling : {true, false}) {
        QDialog dialog;
        auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setDefault(true);
        int clicked = 0;
        QObject::connect(ok, &QPushButton::clicked, [&] { ++clicked; });
        auto* e = new TExtCustomDropDown(&dialog);
        e->move(0, 40);
        e->SetDefaultHandling(defaultHandling);
        dialog.show();
        e->setFocus();
        e->SetText(QStringLiteral("abc"));
        QTest::keyClick(e, Qt::Key_Return);
        EXPECT_EQ(clicked, defaultHandling ? 0 : 1) << defaultHandling;
        EXPECT_EQ(e->Text(), QStringLiteral("abc"));
        // Escape selects the value and goes on to the dialog.
        e->setCursorPosition(1);
        QTest::keyClick(e, Qt::Key_Escape);
        EXPECT_EQ(e->selectedText(), QStringLiteral("abc"));
        EXPECT_FALSE(dialog.isVisible());
    }
}
