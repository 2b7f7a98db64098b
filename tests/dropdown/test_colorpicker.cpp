// The colour picker drop-down: its named colours and the colour texts.
#include "dropdown/ExtColorPickerDropDown.h"

#include <gtest/gtest.h>

TEST(ColorPickerText, ValueForms)
{
    using enum TColorValueText;
    struct Case {
        TColor color;
        TColorValueText form;
        const char* text;
    } cases[] = {
        {0x0000FF, cvtHex, "0000FF"},
        {0x123456, cvtHex, "123456"},
        {0x000001, cvtHex, "000001"},
        {clBtnFace, cvtHex, "FF00000F"},
        {0x00FFFF, cvtWebName, "clWebYellow"},
        {0x123456, cvtWebName, "#563412"},
        {0x123456, cvtHTML, "#563412"},
        {0x123456, cvtRGB, "Red:86,Green:52,Blue:18"},
        {0xFFFFFF, cvtHTML, "#FFFFFF"},
        {0xFFFFFF, cvtRGB, "Red:255,Green:255,Blue:255"},
        {0x0000FF, cvtNone, ""},
        // System colours are resolved first (button face is 0xC8D0D4).
        {clBtnFace, cvtHTML, "#D4D0C8"},
        {clBtnFace, cvtRGB, "Red:212,Green:208,Blue:200"},
        {clWindow, cvtWebName, "clWebWhite"},
        // No colour has no text.
        {clNone, cvtHex, ""},
        {clNone, cvtHTML, ""},
        {clNone, cvtWebName, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorValueToText(c.color, c.form), QString::fromLatin1(c.text)) << std::hex << c.color << " " << int(c.form);
}

TEST(ColorPickerItems, WritesNotifyAndAssignCopies)
{
    TColorItems items(nullptr);
    int changes = 0;
    items.FOnChange = [&](QObject*) { ++changes; };
    TColorItem* a = items.Add();
    EXPECT_EQ(a->Color(), clNone);
    EXPECT_EQ(changes, 0);
    a->SetCaption(QStringLiteral("Red"));
    a->SetCaption(QStringLiteral("Red"));
    a->SetColor(clRed);
    a->SetColor(clRed);
    a->SetHint(QStringLiteral("hint"));
    EXPECT_EQ(changes, 2);
    a->SetEnabled(false);
    TColorItem* b = items.Insert(0);
    EXPECT_EQ(a->Index(), 1);
    b->Assign(*a);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(b->Caption(), QStringLiteral("Red"));
    EXPECT_EQ(b->Color(), clRed);
    EXPECT_EQ(b->Hint(), QStringLiteral("hint"));
    EXPECT_FALSE(b->Enabled());
    EXPECT_THROW(items.GetItem(2), Exception);
    EXPECT_THROW(items.GetItem(-1), Exception);
    TColorItems copy(nullptr);
    copy.Assign(items);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.GetItem(1)->Caption(), QStringLiteral("Red"));
}
