// The colour picker drop-down: its named colours and the colour texts.
#include "common/PixelSupport.h"
#include "dropdown/ExtColorPickerDropDown.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QStyle>
#include <QWheelEvent>

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

// ---- The picker ------------------------------------------------------------------

namespace {

using enum TColorSelectionStyle;

struct Picker {
    Picker()
    {
        window.resize(300, 200);
        p = new TExtColorPickerDropDown(&window);
        p->SetBounds(10, 10, 200, 21);
        p->OnSelect = [this](TExtColorPickerDropDown* s) {
            EXPECT_EQ(s, p);
            ++selects;
        };
        window.show();
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(p, Qt::Key(key), mods); }
    bool Open() const { return p->DropDownForm()->isVisible(); }
    QWidget window;
    TExtColorPickerDropDown* p;
    int selects = 0;
};

void Wheel(QWidget* w, int delta)
{
    QWheelEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(ColorPicker, Defaults)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    EXPECT_EQ(p.ColorSelectionStyle(), csList);
    EXPECT_EQ(p.ItemIndex(), -1);
    EXPECT_EQ(p.SelectedColor(), clNone);
    EXPECT_EQ(p.ColorBoxWidth(), 14);
    EXPECT_EQ(p.ColorBoxHeight(), 14);
    EXPECT_EQ(p.Columns(), 1);
    EXPECT_TRUE(p.ShowText());
    EXPECT_EQ(p.ColorValueText(), TColorValueText::cvtNone);
    EXPECT_EQ(p.DropDownHeight(), 200);
    EXPECT_FALSE(p.EditorEnabled());
    EXPECT_TRUE(p.DropDownEnabled());
    EXPECT_FALSE(p.DropDownHeader().Visible());
    EXPECT_FALSE(p.DropDownFooter().Visible());
    EXPECT_EQ(p.KeyTimer()->interval(), 500);
    EXPECT_FALSE(p.KeyTimer()->isActive());
    EXPECT_EQ(p.Colors().Count(), 0);
    p.AddDefaultColors();
    p.AddDefaultColors();
    ASSERT_EQ(p.Colors().Count(), 32);
    EXPECT_EQ(p.Colors().GetItem(16)->Caption(), QStringLiteral("Black"));
    EXPECT_EQ(p.Colors().GetItem(31)->Caption(), QStringLiteral("White"));
    EXPECT_EQ(p.Colors().GetItem(25)->Color(), 0x0000FF);
}

TEST(ColorPicker, SelectedColorAndItemIndex)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    p.AddDefaultColors();
    p.SetSelectedColor(0x0000FF);
    EXPECT_EQ(p.ItemIndex(), 9);
    EXPECT_EQ(p.SelectedColorText(), QStringLiteral("Red"));
    EXPECT_EQ(t.selects, 1);
    // A colour that none of Colors has: no item, the text by ColorValueText.
    p.SetSelectedColor(0x123456);
    EXPECT_EQ(p.ItemIndex(), -1);
    EXPECT_EQ(t.selects, 1);
    EXPECT_EQ(p.SelectedColorText(), QString());
    struct Case {
        TColorValueText form;
        const char* text;
    } cases[] = {{TColorValueText::cvtHex, "123456"},
                 {TColorValueText::cvtWebName, "#563412"},
                 {TColorValueText::cvtHTML, "#563412"},
                 {TColorValueText::cvtRGB, "Red:86,Green:52,Blue:18"}};
    for (const Case& c : cases) {
        p.SetColorValueText(c.form);
        EXPECT_EQ(p.SelectedColorText(), QString::fromLatin1(c.text));
    }
    p.SetColorValueText(TColorValueText::cvtHex);
    p.SetSelectedColor(clBtnFace);
    EXPECT_EQ(p.SelectedColorText(), QStringLiteral("FF00000F"));
    // Writing the index takes the colour; past the end is ignored; -1 keeps
    // the colour.
    p.SetItemIndex(12);
    EXPECT_EQ(p.SelectedColor(), 0xFF0000);
    p.SetItemIndex(16);
    EXPECT_EQ(p.ItemIndex(), 12);
    p.SetItemIndex(-1);
    EXPECT_EQ(p.SelectedColor(), 0xFF0000);
    EXPECT_EQ(p.SelectedColorText(), QStringLiteral("FF0000"));
    // The caption is used only in the list style.
    p.SetItemIndex(9);
    p.SetColorSelectionStyle(csColorCube);
    EXPECT_EQ(p.SelectedColorText(), QStringLiteral("0000FF"));
}

TEST(ColorPicker, ClosedListKeys)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    p.AddDefaultColors();
    t.Key(Qt::Key_Up);
    EXPECT_EQ(p.ItemIndex(), 0);
    t.Key(Qt::Key_Down);
    EXPECT_EQ(p.ItemIndex(), 1);
    t.Key(Qt::Key_End);
    EXPECT_EQ(p.ItemIndex(), 15);
    const int before = t.selects;
    t.Key(Qt::Key_Down);
    EXPECT_EQ(p.ItemIndex(), 15);
    EXPECT_EQ(t.selects, before);
    t.Key(Qt::Key_Home);
    EXPECT_EQ(p.ItemIndex(), 0);
    t.Key(Qt::Key_Up);
    EXPECT_EQ(p.ItemIndex(), 0);
    EXPECT_FALSE(t.Open());
    // Enter raises OnSelect.
    const int n = t.selects;
    t.Key(Qt::Key_Return);
    EXPECT_EQ(t.selects, n + 1);
    // Alt-held keys and a disabled picker do nothing more.
    p.setEnabled(false);
    t.Key(Qt::Key_Down);
    EXPECT_EQ(p.ItemIndex(), 0);
}

TEST(ColorPicker, TypeAhead)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    for (const char* c : {"Red", "Green", "<b>Emerald</b>", "Reseda"}) {
        TColorItem* item = p.Colors().Add();
        item->SetCaption(QString::fromLatin1(c));
        item->SetColor(p.Colors().Count());
    }
    t.Key(Qt::Key_R);
    EXPECT_EQ(p.ItemIndex(), 0);
    EXPECT_EQ(p.CurSearch(), QStringLiteral("R"));
    EXPECT_TRUE(p.KeyTimer()->isActive());
    t.Key(Qt::Key_E);
    t.Key(Qt::Key_S);
    EXPECT_EQ(p.CurSearch(), QStringLiteral("RES"));
    EXPECT_EQ(p.ItemIndex(), 3);
    // Keys that type nothing leave the search alone.
    t.Key(Qt::Key_Shift);
    t.Key(Qt::Key_Escape);
    EXPECT_EQ(p.CurSearch(), QStringLiteral("RES"));
    // The timer's tick ends the search: E starts a new one.
    p.KeyTimerTick();
    EXPECT_FALSE(p.KeyTimer()->isActive());
    EXPECT_EQ(p.CurSearch(), QString());
    t.Key(Qt::Key_E);
    EXPECT_EQ(p.ItemIndex(), 2);
    // A search that matches nothing keeps the selection.
    t.Key(Qt::Key_X);
    EXPECT_EQ(p.ItemIndex(), 2);
    // With Ctrl held no search.
    p.KeyTimerTick();
    t.Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(p.CurSearch(), QString());
}

TEST(ColorPicker, TypeAheadTimerIsNotRestartedByLaterKeys)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    p.AddDefaultColors();
    t.Key(Qt::Key_R);
    const int remaining = p.KeyTimer()->remainingTime();
    QTest::qWait(30);
    t.Key(Qt::Key_E);
    EXPECT_LE(p.KeyTimer()->remainingTime(), remaining);
    EXPECT_EQ(p.SelectedColorText(), QStringLiteral("Red"));
}

TEST(ColorPicker, CubePick)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    p.AddDefaultColors();
    p.SetColorSelectionStyle(csColorCube);
    p.SetColorValueText(TColorValueText::cvtHTML);
    p.SetSelectedColor(clRed);
    EXPECT_EQ(p.ItemIndex(), 9);
    p.ShowDropDown();
    ASSERT_TRUE(t.Open());
    TExtColorCubePanel* cube = p.ColorCubePanel();
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(p.Control(), cube);
    EXPECT_EQ(cube->size(), QSize(182, 160));
    EXPECT_EQ(p.DropDownForm()->size(), QSize(184, 162));
    EXPECT_EQ(cube->SelectedIndex(), 118); // red's cell
    const int before = t.selects;
    QTest::mouseClick(cube, Qt::LeftButton, {}, QPoint(91, 80));
    EXPECT_FALSE(t.Open());
    EXPECT_EQ(p.SelectedColor(), clWhite);
    // White is one of Colors, but a panel pick leaves no item selected.
    EXPECT_EQ(p.ItemIndex(), -1);
    EXPECT_EQ(t.selects, before + 2);
    EXPECT_EQ(p.SelectedColorText(), QStringLiteral("#FFFFFF"));
    p.SetColorValueText(TColorValueText::cvtRGB);
    EXPECT_EQ(p.SelectedColorText(), QStringLiteral("Red:255,Green:255,Blue:255"));
}

TEST(ColorPicker, SpectrumPick)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    p.SetColorSelectionStyle(csSpectrum);
    p.SetSelectedColor(clBlue);
    p.ShowDropDown();
    ASSERT_TRUE(t.Open());
    TExtColorSpectrumPanel* sp = p.SpectrumPanel();
    ASSERT_NE(sp, nullptr);
    EXPECT_EQ(sp->size(), QSize(150, 174));
    EXPECT_EQ(sp->SelectedColor(), clBlue);
    QTest::mouseClick(sp->SpectrumImage(), Qt::LeftButton, {}, QPoint(64, 64));
    EXPECT_FALSE(t.Open());
    EXPECT_EQ(p.SelectedColor(), clAqua);
    EXPECT_EQ(p.ItemIndex(), -1);
}

TEST(ColorPicker, DiscreteClickEnterWheelAndCancel)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    p.SetColorSelectionStyle(csDiscrete);
    TCustomColorSelector* sel = p.ColorSelector();
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(sel->Items().Count(), 60);
    p.SetSelectedColor(0x123456);

    // A click on a box picks its colour and closes.
    p.ShowDropDown();
    ASSERT_TRUE(t.Open());
    EXPECT_EQ(p.Control(), sel);
    EXPECT_EQ(sel->size(), QSize(165, 84));
    EXPECT_EQ(sel->ItemIndex(), -1);
    QTest::mouseClick(sel, Qt::LeftButton, {}, QPoint(25, 25)); // box 11
    EXPECT_FALSE(t.Open());
    EXPECT_EQ(p.SelectedColor(), 0x7F7F7F);
    EXPECT_EQ(p.ItemIndex(), -1);

    // Keys while open step the boxes and the picker's colour follows; Escape
    // restores the colour of the opening.
    p.ShowDropDown();
    EXPECT_EQ(sel->ItemIndex(), 11);
    t.Key(Qt::Key_Down);
    EXPECT_TRUE(t.Open());
    EXPECT_EQ(sel->ItemIndex(), 21);
    EXPECT_EQ(p.SelectedColor(), 0x595959);
    t.Key(Qt::Key_Escape);
    EXPECT_FALSE(t.Open());
    EXPECT_EQ(p.SelectedColor(), 0x7F7F7F);

    // Also when the colour of the opening is no box.
    p.SetSelectedColor(0x123456);
    p.ShowDropDown();
    t.Key(Qt::Key_Down);
    EXPECT_EQ(p.SelectedColor(), clWhite);
    t.Key(Qt::Key_Escape);
    EXPECT_EQ(p.SelectedColor(), 0x123456);

    // The wheel over the pop-up (a synthesized wheel event does not travel
    // from the box panel up to the window, so it goes there) moves the hot
    // box; Enter picks the hot box.
    p.ShowDropDown();
    Wheel(p.DropDownForm(), -120);
    Wheel(p.DropDownForm(), -120);
    EXPECT_EQ(sel->ItemHot(), 1);
    EXPECT_EQ(p.SelectedColor(), 0x123456);
    t.Key(Qt::Key_Return);
    EXPECT_FALSE(t.Open());
    EXPECT_EQ(p.SelectedColor(), clBlack);

    // Closed, the wheel and the keys select the next box at once.
    Wheel(&p, -120);
    EXPECT_EQ(p.SelectedColor(), 0xE1ECEE);
    t.Key(Qt::Key_Left);
    EXPECT_EQ(p.SelectedColor(), clBlack);
    EXPECT_FALSE(t.Open());
}

TEST(ColorPicker, ListCancelRestoresTheIndex)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    p.AddDefaultColors();
    p.SetItemIndex(3);
    p.ShowDropDown();
    ASSERT_TRUE(t.Open());
    t.Key(Qt::Key_R);
    EXPECT_EQ(p.ItemIndex(), 9);
    EXPECT_TRUE(t.Open());
    t.Key(Qt::Key_Escape);
    EXPECT_FALSE(t.Open());
    EXPECT_EQ(p.ItemIndex(), 3);
    EXPECT_EQ(p.SelectedColorText(), QStringLiteral("Olive"));
}

TEST(ColorPicker, SwitchingStylePreparesEachControlOnce)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    EXPECT_EQ(p.ColorSelector(), nullptr);
    EXPECT_EQ(p.ColorCubePanel(), nullptr);
    p.SetColorSelectionStyle(csDiscrete);
    TCustomColorSelector* sel = p.ColorSelector();
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(p.DropDownForm()->size(), QSize(167, 86));
    p.SetColorSelectionStyle(csColorCube);
    ASSERT_NE(p.ColorCubePanel(), nullptr);
    EXPECT_EQ(p.Control(), p.ColorCubePanel());
    EXPECT_TRUE(sel->isHidden());
    EXPECT_EQ(p.DropDownForm()->size(), QSize(184, 162));
    p.SetColorSelectionStyle(csDiscrete);
    EXPECT_EQ(p.ColorSelector(), sel);
    EXPECT_TRUE(p.ColorCubePanel()->isHidden());
    EXPECT_FALSE(sel->isHidden());
}

TEST(ColorPicker, PaintsTheColourBoxAndText)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    p.AddDefaultColors();
    p.SetItemIndex(9); // red
    QImage img = p.grab().toImage();
    // Area from (1, 1); the 14 x 14 box at left 5, top (21 - 14) / 2 + 1 = 4.
    EXPECT_EQ(At(img, 5, 4), clBlack);
    EXPECT_EQ(At(img, 10, 10), clRed);
    EXPECT_EQ(At(img, 18, 17), clBlack);
    // The caption right of the box: some dark pixels from x = 23 on.
    int ink = 0;
    for (int x = 23; x < 60; ++x)
        for (int y = 4; y < 18; ++y)
            if (QColor(img.pixel(x, y)).value() < 100) ++ink;
    EXPECT_GT(ink, 10);
    // Without text and colour only the edit remains.
    p.SetShowText(false);
    p.SetItemIndex(-1);
    p.SetSelectedColor(clNone);
    img = p.grab().toImage();
    ink = 0;
    for (int x = 5; x < 60; ++x)
        for (int y = 4; y < 18; ++y)
            if (QColor(img.pixel(x, y)).value() < 100) ++ink;
    EXPECT_EQ(ink, 0);
    // A drawing handler replaces it all.
    TRect seen;
    p.OnDrawSelectedColor = [&](QObject*, TCanvas& c, const TRect& r) {
        seen = r;
        c.SetBrushColor(clLime);
        c.FillRect(r);
    };
    img = p.grab().toImage();
    EXPECT_EQ(seen, Rect(1, 1, 200 - p.DropDownButtonWidth() - 2, 19));
    EXPECT_EQ(At(img, 30, 10), clLime);
}

// Pictures of the pop-up styles, kept as artefacts (KR_SCREENSHOT_DIR).
TEST(Screenshots, ColorPickerPopupStyles)
{
    const QString dir = qEnvironmentVariable("KR_SCREENSHOT_DIR");
    for (TColorSelectionStyle s : {csList, csDiscrete, csColorCube, csSpectrum}) {
        Picker t;
        TExtColorPickerDropDown& p = *t.p;
        p.AddDefaultColors();
        p.SetColorSelectionStyle(s);
        p.SetSelectedColor(0x0099FF);
        p.ShowDropDown();
        ASSERT_TRUE(t.Open());
        const QImage img = p.DropDownForm()->grab().toImage();
        EXPECT_EQ(img.size(), p.DropDownForm()->size());
        if (!dir.isEmpty()) img.save(dir + QStringLiteral("/colorpicker-%1.png").arg(int(s)));
        p.HideDropDown(true);
        p.SetColorValueText(TColorValueText::cvtWebName);
        const QImage edit = p.grab().toImage();
        EXPECT_EQ(At(edit, 10, 10), 0x0099FF);
        if (!dir.isEmpty()) edit.save(dir + QStringLiteral("/colorpicker-edit-%1.png").arg(int(s)));
    }
}

// ---- The list of named colours ----------------------------------------------------

namespace {

QPoint ItemCentre(TExtCustomItemSelector* sel, int index)
{
    const TRect r = sel->Items().GetItem(index)->ItemRect();
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

void MovePointer(QWidget* w, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(ColorPickerList, OpeningFillsTheList)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    TExtCustomItemSelector* sel = p.ItemSelector();
    ASSERT_NE(sel, nullptr); // from construction on
    EXPECT_EQ(sel->SelectorType(), TSelectorType::stColor);
    p.AddDefaultColors();
    p.Colors().GetItem(9)->SetHint(QStringLiteral("pure red"));
    p.SetColumns(2);
    p.SetColorBoxWidth(10);
    p.SetLayout(TItemLayout::ilCaptionLeft);
    p.SetItemIndex(9);
    p.ShowDropDown();
    ASSERT_TRUE(t.Open());
    EXPECT_EQ(p.Control(), sel);
    ASSERT_EQ(sel->Items().Count(), 16);
    EXPECT_EQ(sel->Items().GetItem(9)->Caption(), QStringLiteral("Red"));
    EXPECT_EQ(sel->Items().GetItem(9)->Color(), clRed);
    EXPECT_EQ(sel->Items().GetItem(9)->Hint(), QStringLiteral("pure red"));
    EXPECT_EQ(sel->ItemIndex(), 9);
    EXPECT_EQ(sel->Columns(), 2);
    EXPECT_EQ(sel->ColorBoxWidth(), 10);
    EXPECT_EQ(sel->ItemLayout(), TItemLayout::ilCaptionLeft);
    // The pop-up: DropDownHeight high, the list's width plus border and
    // scroll bar (16 items in 8 rows do not fit 198 pixels).
    const QSize panel = sel->GetSelectorPanelSize();
    ASSERT_GT(panel.height(), 198);
    EXPECT_EQ(p.DropDownForm()->height(), 200);
    EXPECT_EQ(p.DropDownForm()->width(), panel.width() + 2 + p.style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

TEST(ColorPickerList, ClickEnterAndWheel)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    p.AddDefaultColors();
    p.ShowDropDown();
    TExtCustomItemSelector* sel = p.ItemSelector();
    QWidget* panel = sel->Panel();
    // A click on an item picks it and closes.
    QTest::mouseClick(panel, Qt::LeftButton, {}, ItemCentre(sel, 2));
    EXPECT_FALSE(t.Open());
    EXPECT_EQ(p.ItemIndex(), 2);
    EXPECT_EQ(p.SelectedColorText(), QStringLiteral("Green"));
    // Enter on the hot item picks it.
    p.ShowDropDown();
    MovePointer(panel, ItemCentre(sel, 4));
    EXPECT_EQ(sel->ItemHot(), 4);
    const int before = t.selects;
    t.Key(Qt::Key_Return);
    EXPECT_FALSE(t.Open());
    EXPECT_EQ(p.ItemIndex(), 4);
    EXPECT_EQ(t.selects, before + 1);
    // The wheel over the open list moves the hot item only.
    p.ShowDropDown();
    Wheel(p.DropDownForm(), -120);
    EXPECT_EQ(sel->ItemHot(), 0);
    Wheel(p.DropDownForm(), -120);
    EXPECT_EQ(sel->ItemHot(), 1);
    EXPECT_EQ(p.ItemIndex(), 4);
    t.Key(Qt::Key_Escape);
    EXPECT_EQ(p.ItemIndex(), 4);
    // Closed, it selects.
    Wheel(&p, -120);
    EXPECT_EQ(p.ItemIndex(), 5);
    Wheel(&p, 120);
    Wheel(&p, 120);
    EXPECT_EQ(p.ItemIndex(), 3);
    EXPECT_FALSE(t.Open());
    // Closed keys and the closed wheel work from the same index.
    t.Key(Qt::Key_Down);
    Wheel(&p, -120);
    EXPECT_EQ(p.ItemIndex(), 5);
}

TEST(ColorPickerList, OpenKeysStepTheListAndEscapeRestores)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    p.AddDefaultColors();
    p.SetColumns(2);
    p.SetItemIndex(6);
    p.ShowDropDown();
    TExtCustomItemSelector* sel = p.ItemSelector();
    struct Step {
        int key;
        int expected;
    } steps[] = {
        {Qt::Key_Down, 8},  {Qt::Key_Up, 6},    {Qt::Key_Right, 7}, {Qt::Key_Left, 6},  {Qt::Key_End, 15},
        {Qt::Key_Down, 15}, {Qt::Key_Home, 0},  {Qt::Key_Up, 0},    {Qt::Key_PageDown, -2}, {Qt::Key_PageUp, 0},
    };
    for (const Step& s : steps) {
        t.Key(s.key);
        if (s.expected == -2) {
            // A page is the visible rows times the columns.
            const int n = sel->GetVisibleItemCount();
            ASSERT_GT(n, 0);
            EXPECT_EQ(p.ItemIndex(), std::min(n, 15));
        } else {
            EXPECT_EQ(p.ItemIndex(), s.expected) << "key " << std::hex << s.key;
        }
        EXPECT_EQ(sel->ItemIndex(), p.ItemIndex());
        EXPECT_TRUE(t.Open());
    }
    t.Key(Qt::Key_Escape);
    EXPECT_FALSE(t.Open());
    EXPECT_EQ(p.ItemIndex(), 6);
    EXPECT_EQ(p.SelectedColorText(), QStringLiteral("Teal"));
}

TEST(ColorPickerList, DrawColorHandlerAndStyles)
{
    Picker t;
    TExtColorPickerDropDown& p = *t.p;
    p.AddDefaultColors();
    std::vector<int> drawn;
    p.OnDrawColor = [&](QObject* s, TCanvas* c, const TRect& r, int index) {
        EXPECT_EQ(s, t.p);
        ASSERT_NE(c, nullptr);
        EXPECT_FALSE(r.IsEmpty());
        drawn.push_back(index);
    };
    p.ShowDropDown();
    p.ItemSelector()->Panel()->grab();
    EXPECT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front(), 0);
    p.HideDropDown(false);
    p.OnDrawColor = nullptr;
    p.ShowDropDown();
    EXPECT_FALSE(bool(p.ItemSelector()->OnDrawItem));
    p.HideDropDown(false);

    // The component style sets the item colours; the appearance goes to the
    // list at the next opening.
    p.SetComponentStyle(tsWindows7);
    EXPECT_EQ(p.ItemAppearance().ColorHot(), 0xFDFBFA);
    EXPECT_EQ(p.ItemAppearance().BorderColor(), 0xCEA27D);
    p.ShowDropDown();
    EXPECT_EQ(p.ItemSelector()->ItemAppearance().ColorHot(), 0xFDFBFA);
    p.SetSelectionColorStyle(TSelectionColorStyle::scWindowsVista);
    EXPECT_EQ(p.ItemSelector()->ItemAppearance().ColorStyle(), TSelectionColorStyle::scWindowsVista);
}
