#include "dropdown/DropDownTestSupport.h"
#include "dropdown/ExtCalculatorDropDown.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Calculator : ::testing::Test {
    FormatSettings saved = SystemFormatSettings();
    std::unique_ptr<TExtCalculatorDropdown> calc;
    void SetUp() override { Make(Separators('.', ',')); }
    void TearDown() override
    {
        calc.reset();
        SetFormatSettings(saved);
    }
    void Make(const FormatSettings& fs)
    {
        calc.reset();
        SetFormatSettings(fs);
        calc = std::make_unique<TExtCalculatorDropdown>();
        calc->resize(120, 22);
        calc->show();
    }
    int KeyIndex(const QString& caption) const
    {
        const TButtonItems& b = calc->Keypad()->Buttons();
        for (int i = 0; i < b.Count(); ++i)
            if (b.Items(i)->Caption() == caption) return i;
        return -1;
    }
    // Clicks keys given by caption, separated by blanks ("_" is the blank key);
    // returns the text after each.
    std::vector<QString> Click(const QString& keys)
    {
        std::vector<QString> texts;
        for (const QString& k : keys.split(' ', Qt::SkipEmptyParts)) {
            const int i = k == "_" ? 0 : KeyIndex(k);
            EXPECT_GE(i, 0) << k.toStdString();
            calc->KeypadButtonClick(calc->Keypad(), i);
            texts.push_back(calc->Text());
        }
        return texts;
    }
    void Key(QWidget* w, int key, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &press);
    }
};

std::vector<QString> Texts(std::initializer_list<const char*> l)
{
    std::vector<QString> v;
    for (const char* s : l) v.push_back(QString::fromUtf8(s));
    return v;
}

} // namespace

TEST_F(Calculator, StartsAsAFloatEditWithTwoDecimals)
{
    EXPECT_EQ(calc->EditType(), TDropDownEditType::etFloat);
    EXPECT_EQ(calc->Precision(), 2);
    EXPECT_EQ(calc->DropDownWidth(), 230);
    EXPECT_FALSE(calc->DropDownHeader().Visible());
    EXPECT_FALSE(calc->DropDownFooter().Visible());
    ASSERT_NE(calc->Keypad(), nullptr);
    EXPECT_EQ(calc->Keypad()->Buttons().Count(), 28);
    EXPECT_EQ(calc->Keypad()->height(), 150);
}

TEST_F(Calculator, KeySequencesWithPointAndCommaDecimals)
{
    struct Row {
        const char* keys;
        std::vector<QString> point; // texts after each key, point locale
    };
    const Row rows[] = {
        {"1 2 3 . 5", Texts({"1.00", "12.00", "123.00", "123.00", "123.50"})},
        {"7 . 5 C 3", Texts({"7.00", "7.00", "7.50", "0.00", "3.00"})},
        {"7 . 5 CE 3", Texts({"7.00", "7.00", "7.50", "0.00", "3.00"})},
        {"7 . 5 _ 3", Texts({"7.00", "7.00", "7.50", "0.00", "3.00"})},
        {"9 / 0 = +", Texts({"9.00", "9.00", "0.00", "Error", "0.00"})},
        {"5 + 3 = =", Texts({"5.00", "5.00", "3.00", "8.00", "8.00"})},
        {"4 +/- +/-", Texts({"4.00", "-4.00", "4.00"})},
        {"1 2 + Back", Texts({"1.00", "12.00", "12.00", "12.00"})},
        {"1 2 3 Back", Texts({"1.00", "12.00", "123.00", "12.00"})},
        {"2 0 0 + 1 0 % =", Texts({"2.00", "20.00", "200.00", "200.00", "1.00", "10.00", "20.00", "220.00"})},
        {"2 + 3 * 4 =", Texts({"2.00", "2.00", "3.00", "5.00", "4.00", "20.00"})},
        {"9 sqrt", Texts({"9.00", "3.00"})},
        {"4 +/- sqrt", Texts({"4.00", "-4.00", "Error"})},
        {"4 1/x", Texts({"4.00", "0.25"})},
        {"0 1/x", Texts({"0.00", "Error"})},
        {"5 MS C MR M+ MR", Texts({"5.00", "5.00", "0.00", "5.00", "5.00", "10.00"})},
    };
    for (bool comma : {false, true}) {
        for (const Row& r : rows) {
            SCOPED_TRACE(testing::Message() << r.keys << (comma ? " (comma)" : " (point)"));
            Make(comma ? Separators(',', '.') : Separators('.', ','));
            std::vector<QString> expected = r.point;
            if (comma)
                for (QString& t : expected) t.replace('.', ',');
            EXPECT_EQ(Click(QString::fromLatin1(r.keys)), expected);
        }
    }
}

TEST_F(Calculator, MaxLengthStopsDigitsSignAndPoint)
{
    Click("1 2");
    calc->setMaxLength(5); // "12.00" is five characters long
    calc->SetModifiedState(false);
    EXPECT_EQ(Click("3 +/- ."), Texts({"12.00", "12.00", "12.00"}));
    EXPECT_FALSE(calc->IsModified());
    Click("+");
    EXPECT_TRUE(calc->IsModified());
}

TEST_F(Calculator, ThousandSeparatorsAreShownAndRead)
{
    calc->SetShowThousandSeparator(true);
    EXPECT_EQ(calc->EditType(), TDropDownEditType::etMoney);
    EXPECT_EQ(Click("1 2 3 4"), Texts({"1.00", "12.00", "123.00", "1,234.00"}));
    EXPECT_DOUBLE_EQ(double(calc->Value()), 1234.0);
    EXPECT_EQ(Click("+ 1 ="), Texts({"1,234.00", "1.00", "1,235.00"}));
    // "MS" reads the grouped text as the number it shows.
    EXPECT_EQ(Click("MS C MR"), Texts({"1,235.00", "0.00", "1,235.00"}));
    calc->SetShowThousandSeparator(false);
    EXPECT_EQ(calc->Text(), "1235.00");
}

TEST_F(Calculator, MemoryOverErrorCountsAsZeroWithoutAMessage)
{
    Click("7 MS");
    Click("9 / 0 =");
    ASSERT_EQ(calc->Text(), "Error");
    Click("MS");
    EXPECT_EQ(Click("MR"), Texts({"0.00"}));
    Click("9 / 0 = M+ MR");
    EXPECT_EQ(calc->Text(), "0.00");
}

TEST_F(Calculator, AnOverflowStartsTheAccumulatorAgain)
{
    calc->SetValue(1e300L);
    Click("* =");
    EXPECT_EQ(calc->Text(), "0.00");
    EXPECT_EQ(Click("+ 2 ="), Texts({"0.00", "2.00", "2.00"}));
}

TEST_F(Calculator, ValueAndCalcResult)
{
    calc->SetText("");
    EXPECT_DOUBLE_EQ(double(calc->Value()), 0.0);
    EXPECT_EQ(calc->Text(), "0.00");
    calc->SetValue(2.5L);
    EXPECT_EQ(calc->Text(), "2.50");
    Click("*");
    calc->SetText("4");
    calc->CalcResult();
    EXPECT_EQ(calc->Text(), "10.00");
}

TEST_F(Calculator, TypedOperatorsWorkWhileThePopupIsClosed)
{
    calc->setFocus();
    calc->SetText("0");
    calc->setCursorPosition(0);
    calc->SelectAll(); // as the focus entry does
    QTest::keyClicks(calc.get(), "12+3=");
    EXPECT_EQ(calc->Text(), "15.00");
    QTest::keyClicks(calc.get(), "*2");
    Key(calc.get(), Qt::Key_Return, "\r");
    EXPECT_EQ(calc->Text(), "30.00");
    QTest::keyClicks(calc.get(), "c");
    EXPECT_EQ(calc->Text(), "0.00");
}

TEST_F(Calculator, OpenPopupEnterEvaluatesAndClosesEscapeRestores)
{
    calc->SetText("2");
    calc->ShowDropDown();
    ASSERT_TRUE(calc->DroppedDown());
    TDropDownForm* form = calc->DropDownForm();
    Key(form, Qt::Key_Plus, "+");
    Key(form, Qt::Key_3, "3");
    EXPECT_EQ(calc->Text(), "3.00");
    Key(form, Qt::Key_Return, "\r");
    EXPECT_FALSE(calc->DroppedDown());
    EXPECT_EQ(calc->Text(), "5.00");

    calc->ShowDropDown();
    Key(form, Qt::Key_9, "9");
    Key(form, Qt::Key_Asterisk, "*");
    Key(form, Qt::Key_4, "4");
    EXPECT_EQ(calc->Text(), "4.00");
    Key(form, Qt::Key_Escape);
    EXPECT_FALSE(calc->DroppedDown());
    EXPECT_EQ(calc->Text(), "5.00");

    // The accumulator and the pending multiplication survive the cancel:
    // 9 * 5 + 1. Keypad clicks in the open pop-up; a click outside keeps
    // the result.
    calc->ShowDropDown();
    Click("+ 1 =");
    form->Deactivate(form->mapToGlobal(QPoint(-40, -40)));
    EXPECT_FALSE(calc->DroppedDown());
    EXPECT_EQ(calc->Text(), "46.00");
}

TEST_F(Calculator, ComponentStyleCopiesTheButtonColoursIntoTheKeys)
{
    calc->SetComponentStyle(tsOffice2010Blue);
    const TButtonAppearance& k = calc->CalcButtonAppearance();
    EXPECT_EQ(k.Color(), calc->ButtonAppearance().Color());
    EXPECT_EQ(k.ColorHotTo(), calc->ButtonAppearance().ColorHotTo());
    EXPECT_EQ(k.GlowColorHot(), calc->ButtonAppearance().ColorHot());
    EXPECT_EQ(k.GlowColorDown(), calc->ButtonAppearance().ColorHot());
    calc->SetComponentStyle(tsWindows7);
    EXPECT_EQ(k.GlowColorHot(), calc->ButtonAppearance().ColorDownTo());
    EXPECT_EQ(k.GlowColorDown(), 0xD5C244);
}
