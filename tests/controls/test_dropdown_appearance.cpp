#include "controls/ExtDropDownAppearance.h"

#include <QApplication>
#include <QObject>
#include <gtest/gtest.h>

namespace {

// Counts the notifications of one appearance.
template <class TAppearance>
struct Counters {
    int change = 0;
    int buttons = 0;
    TAppearance* lastSender = nullptr;
    explicit Counters(TAppearance& a)
    {
        a.OnChange = [this](TAppearance* s) {
            ++change;
            lastSender = s;
        };
        a.OnButtonsChanged = [this](TAppearance* s) {
            ++buttons;
            lastSender = s;
        };
    }
};

template <class TAppearance>
void ExpectInitialValues(const TAppearance& a)
{
    EXPECT_EQ(a.Color(), TColor(0xC0C0C0));
    EXPECT_EQ(a.ColorTo(), TColor(0xFFFFFF));
    EXPECT_TRUE(a.Caption().isEmpty());
    EXPECT_EQ(a.GradientDirection(), TGradientDirection::gdVertical);
    EXPECT_TRUE(a.Visible());
    EXPECT_EQ(a.Height(), 22);
    EXPECT_EQ(a.BorderColor(), TColor(0));
    EXPECT_EQ(a.BorderWidth(), 1);
    EXPECT_EQ(a.ImageIndex(), -1);
    EXPECT_EQ(a.Buttons().Count(), 0);
    EXPECT_EQ(a.ButtonAlignment(), TButtonAlignment::baRight);
    EXPECT_EQ(a.FontColor(), clWindowText);
}

} // namespace

TEST(DropDownAppearance, InitialValuesAndOwner)
{
    QObject owner;
    THeaderAppearance header(&owner);
    TFooterAppearance footer(&owner);
    ExpectInitialValues(header);
    ExpectInitialValues(footer);
    EXPECT_EQ(header.Font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(footer.Font().family(), QApplication::font().family());
    EXPECT_TRUE(footer.SizeGrip());
    EXPECT_EQ(header.Owner(), &owner);
    EXPECT_EQ(header.Buttons().Owner(), &owner);
    EXPECT_EQ(footer.Buttons().Owner(), &owner);
    // The stream defaults are the initial values.
    EXPECT_EQ(kStreamColor, header.Color());
    EXPECT_EQ(kStreamHeight, footer.Height());
    EXPECT_EQ(kStreamSizeGrip, footer.SizeGrip());
}

TEST(DropDownAppearance, OnlyVisibilityChangesNotify)
{
    THeaderAppearance a(nullptr);
    Counters<THeaderAppearance> n(a);
    a.SetVisible(true); // its value: nothing
    a.SetColor(clRed);
    a.SetCaption(QStringLiteral("x"));
    a.SetHeight(40);
    a.SetButtonAlignment(TButtonAlignment::baLeft);
    EXPECT_EQ(n.change, 0);
    a.SetVisible(false);
    EXPECT_EQ(n.change, 1);
    EXPECT_EQ(n.lastSender, &a);

    // Assign with the same visibility raises nothing, a different one once.
    THeaderAppearance same(nullptr);
    same.SetVisible(false);
    same.SetColor(clBlue);
    a.Assign(same);
    EXPECT_EQ(n.change, 1);
    EXPECT_EQ(a.Color(), clBlue);
    THeaderAppearance shown(nullptr);
    a.Assign(shown);
    EXPECT_EQ(n.change, 2);
    EXPECT_TRUE(a.Visible());
    EXPECT_EQ(n.buttons, 0);
}

TEST(DropDownAppearance, AssignCopiesEveryProperty)
{
    TFooterAppearance src(nullptr);
    src.SetColor(1);
    src.SetColorTo(2);
    src.SetBorderColor(3);
    src.SetCaption(QStringLiteral("<b>Total</b>"));
    QFont f(QStringLiteral("Courier"));
    f.setPixelSize(15);
    src.SetFont(f);
    src.SetFontColor(clMaroon);
    src.SetGradientDirection(TGradientDirection::gdHorizontal);
    src.SetHeight(30);
    src.SetBorderWidth(2);
    src.SetImageIndex(4);
    src.SetSizeGrip(false);
    src.SetButtonAlignment(TButtonAlignment::baLeft);
    src.Buttons().Add()->SetModalResult(2);

    QObject owner;
    TFooterAppearance dst(&owner);
    dst.Assign(src);
    EXPECT_EQ(dst.Color(), 1);
    EXPECT_EQ(dst.ColorTo(), 2);
    EXPECT_EQ(dst.BorderColor(), 3);
    EXPECT_EQ(dst.Caption(), src.Caption());
    EXPECT_EQ(dst.Font(), f);
    EXPECT_EQ(dst.FontColor(), clMaroon);
    EXPECT_EQ(dst.GradientDirection(), TGradientDirection::gdHorizontal);
    EXPECT_EQ(dst.Height(), 30);
    EXPECT_EQ(dst.BorderWidth(), 2);
    EXPECT_EQ(dst.ImageIndex(), 4);
    EXPECT_FALSE(dst.SizeGrip());
    EXPECT_EQ(dst.ButtonAlignment(), TButtonAlignment::baLeft);
    ASSERT_EQ(dst.Buttons().Count(), 1);
    EXPECT_EQ(dst.Buttons().Items(0)->ModalResult(), 2);
    EXPECT_NE(dst.Buttons().Items(0), src.Buttons().Items(0)); // copies, not shared
    EXPECT_EQ(dst.Owner(), &owner);

    // AssignColors takes the colours, font and direction only.
    TFooterAppearance colours(nullptr);
    colours.AssignColors(src);
    EXPECT_EQ(colours.Color(), 1);
    EXPECT_EQ(colours.ColorTo(), 2);
    EXPECT_EQ(colours.BorderColor(), 3);
    EXPECT_EQ(colours.Font(), f);
    EXPECT_EQ(colours.FontColor(), clMaroon);
    EXPECT_EQ(colours.GradientDirection(), TGradientDirection::gdHorizontal);
    EXPECT_EQ(colours.Height(), 22);
    EXPECT_TRUE(colours.Caption().isEmpty());
    EXPECT_EQ(colours.Buttons().Count(), 0);
}

TEST(DropDownAppearance, ButtonNotifications)
{
    THeaderAppearance a(nullptr);
    Counters<THeaderAppearance> n(a);
    THeaderButton* b = a.Buttons().Add(); // adding raises nothing
    a.Buttons().Insert(0);
    EXPECT_EQ(n.buttons, 0);
    EXPECT_EQ(b->Index(), 1);
    b->SetHeight(30);
    b->SetImageIndex(3);
    b->SetCaption(QString()); // unchanged
    b->SetEnabled(true);
    b->SetWidth(0);
    EXPECT_EQ(n.buttons, 0);
    b->SetCaption(QStringLiteral("OK"));
    b->SetEnabled(false);
    b->SetWidth(50);
    EXPECT_EQ(n.buttons, 3);
    EXPECT_EQ(n.lastSender, &a);
    a.Buttons().Delete(0);
    EXPECT_EQ(n.buttons, 3);
    EXPECT_EQ(n.change, 0);

    TFooterAppearance footer(nullptr);
    Counters<TFooterAppearance> fn(footer);
    footer.Buttons().Add()->SetModalResult(1);
    footer.Buttons().Items(0)->SetHeight(9);
    EXPECT_EQ(fn.buttons, 0);
    footer.Buttons().Items(0)->SetWidth(9);
    EXPECT_EQ(fn.buttons, 1);
}

TEST(DropDownAppearance, CollectionCopyNotifiesPerChangedButton)
{
    // Three buttons, two of them differing from the defaults in one notifying
    // property each: the copy raises OnButtonsChanged twice.
    TFooterAppearance src(nullptr);
    src.Buttons().Add()->SetCaption(QStringLiteral("OK"));
    src.Buttons().Add()->SetHeight(40); // Height does not notify
    src.Buttons().Add()->SetEnabled(false);
    TFooterAppearance dst(nullptr);
    Counters<TFooterAppearance> n(dst);
    dst.Assign(src);
    EXPECT_EQ(n.buttons, 2);
    EXPECT_EQ(n.change, 0);
    EXPECT_EQ(dst.Buttons().Items(1)->Height(), 40);

    THeaderAppearance h(nullptr);
    THeaderAppearance hsrc(nullptr);
    hsrc.Buttons().Add()->SetWidth(20);
    hsrc.Buttons().Add()->SetImageIndex(2);
    Counters<THeaderAppearance> hn(h);
    h.Assign(hsrc);
    EXPECT_EQ(hn.buttons, 1);
    // An empty or all-default collection raises nothing.
    THeaderAppearance empty(nullptr);
    h.Assign(empty);
    EXPECT_EQ(hn.buttons, 1);
    EXPECT_EQ(h.Buttons().Count(), 0);
}

TEST(DropDownAppearance, ButtonCollectionIndexErrors)
{
    THeaderButtons buttons(nullptr);
    buttons.Add();
    EXPECT_THROW(buttons.Items(1), Exception);
    EXPECT_THROW(buttons.Items(-1), Exception);
    EXPECT_THROW(buttons.Delete(5), Exception);
    THeaderButtons others(nullptr);
    others.Add()->SetCaption(QStringLiteral("A"));
    buttons.SetItem(0, *others.Items(0));
    EXPECT_EQ(buttons.Items(0)->Caption(), QStringLiteral("A"));
}

TEST(ExtButtonAppearance, InitialAndCheckedColours)
{
    TExtButtonAppearance a;
    EXPECT_EQ(a.ColorChecked(), TColor(0xF5D8CA));
    EXPECT_EQ(a.ColorCheckedTo(), TColor(0xF9BDA0));
    EXPECT_EQ(a.BorderColorChecked(), TColor(0xFF0000));
    EXPECT_EQ(a.BorderColor(), clNone);
    EXPECT_EQ(a.BorderColorHot(), TColor(0x808080));
    EXPECT_EQ(a.BorderColorDown(), TColor(0x800000));
    EXPECT_EQ(a.Color(), clNone);
    EXPECT_EQ(a.ColorTo(), clNone);
    EXPECT_EQ(a.ColorDisabled(), TColor(0xF2F2F2));
    EXPECT_EQ(a.ColorDisabledTo(), clNone);
    EXPECT_EQ(a.ColorDown(), TColor(0xF5D8CA));
    EXPECT_EQ(a.ColorHot(), TColor(0xF5F0E1));
    EXPECT_EQ(a.ColorHotTo(), TColor(0xF9D2B2));
    EXPECT_EQ(a.Gradient(), TGradientDirection::gdVertical);
    EXPECT_EQ(a.Font().family(), QStringLiteral("Tahoma"));
}

TEST(ExtButtonAppearance, WritesNotifyOnChangeAndAssignSkipsFont)
{
    TExtButtonAppearance a;
    int changes = 0;
    a.OnChange = [&](TExtButtonAppearance* s) {
        EXPECT_EQ(s, &a);
        ++changes;
    };
    a.SetColorHot(0xF5F0E1); // same value
    a.SetGradient(TGradientDirection::gdVertical);
    a.SetFont(QFont(QStringLiteral("Courier")));
    EXPECT_EQ(changes, 0);
    a.SetColorHot(clRed);
    a.SetGradient(TGradientDirection::gdHorizontal);
    EXPECT_EQ(changes, 2);

    TExtButtonAppearance src;
    src.SetColor(clGreen);
    src.SetBorderColorChecked(clRed);
    changes = 0;
    a.Assign(src);
    // ColorHot, Gradient back to the source's, Color and BorderColorChecked.
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(a.Color(), clGreen);
    EXPECT_EQ(a.BorderColorChecked(), clRed);
    EXPECT_EQ(a.ColorHot(), TColor(0xF5F0E1));
    EXPECT_EQ(a.Font().family(), QStringLiteral("Courier"));
}

TEST(DbgList, RangeCheckedAccess)
{
    TDbgList<int> list;
    list.Add(10);
    list.Add(20);
    EXPECT_EQ(list.GetItemsEx(1), 20);
    list.SetItemsEx(0, 11);
    EXPECT_EQ(list[0], 11);
    struct Case {
        int index;
        bool write;
        const char* message;
    };
    const Case cases[] = {
        {2, false, "Index out of bounds in list read access"},
        {-1, false, "Index out of bounds in list read access"},
        {2, true, "Index out of bounds in list write access"},
        {-1, true, "Index out of bounds in list write access"},
    };
    for (const Case& c : cases) {
        try {
            if (c.write)
                list.SetItemsEx(c.index, 1);
            else
                (void)list.GetItemsEx(c.index);
            ADD_FAILURE() << "no exception for " << c.index;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.message)) << c.index;
        }
    }
    EXPECT_EQ(list[0], 11);
    EXPECT_EQ(list[1], 20);

    TDbgList<int> copy;
    copy.Add(99);
    copy.AssignList(list);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy[0], 11);
    EXPECT_EQ(copy[1], 20);
}
