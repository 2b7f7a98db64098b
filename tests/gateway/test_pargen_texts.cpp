// The parameter editor's texts in the built-in English table: every caption,
// hint and list item its panels take from the table has a wording.
#include "app/ULanguage.h"
#include "gateway/UParGen.h"

#include <gtest/gtest.h>

TEST(ParGenBuiltInTexts, EveryPanelTextHasABuiltInWording)
{
    Load_Default_Texts();

    const auto& assigns = ParGen_Panel_Texts();
    ASSERT_FALSE(assigns.empty());
    for (const TTextAssign& a : assigns) {
        ASSERT_GE(a.Text, 400) << a.Control.toStdString();
        ASSERT_LE(a.Text, 1441) << a.Control.toStdString();
        EXPECT_FALSE(SL_Lang[a.Text].trimmed().isEmpty())
            << "text " << a.Text << " of " << a.Control.toStdString() << " is blank";
    }
    for (const TPanelDef& p : ParGen_Panels())
        EXPECT_FALSE(SL_Lang[p.CaptionText].trimmed().isEmpty()) << "caption of " << p.Name;

    // The window's own texts, its question and the device choices.
    for (int n : {400, 401, 402, 403, 404, 405, 1336, 1346, 1347, 1348})
        EXPECT_FALSE(SL_Lang[n].trimmed().isEmpty()) << "text " << n;
}

TEST(ParGenBuiltInTexts, VisibleRowsKeepTheirWording)
{
    Load_Default_Texts();
    // Texts the window shows in this gateway's layout, checked where a wrong
    // number would show another row's wording.
    EXPECT_EQ(SL_Lang[409], "Obtain an IP Address Automatically (DHCP for Cable Connection)");
    EXPECT_EQ(SL_Lang[1336], "Do you want to exit without saving changes?");
    EXPECT_EQ(SL_Lang[1408], "Error LoRaWAN!! Diagnostic Position must be between 0 and %d");
    EXPECT_EQ(SL_Lang[1346], "Only Ethernet Cable");
    EXPECT_EQ(SL_Lang[1348], "Ethernet Cable + Mobile Connection");
}
