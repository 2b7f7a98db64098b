// The edit with a button and the unit edit.
#include "common/PixelSupport.h"
#include "common/TestSupport.h"
#include "controls/ESGEdit.h"
#include "controls/ExtXPVS.h"
#include "platform/Menus.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(UnitEdit, TextAndUnitSplitsByTheFirstUnitThatEndsTheValue)
{
    TEsgUnitEditBtn e;
    e.SetUnits({QStringLiteral("m"), QStringLiteral("mm"), QStringLiteral("km")});
    struct Case {
        const char* value;
        const char* text;
        const char* unit;
    } cases[] = {
        {"5mm", "5", "mm"},   // "m" occurs first at position 2, not at 3
        {"12m", "12", "m"},
        {"3km", "3k", "m"},   // list order: "m" ends it and occurs nowhere earlier
        {"7 s", "3k", "m"},   // no unit: nothing changes
        {"m", "", "m"},
    };
    for (const Case& c : cases) {
        e.SetTextAndUnit(QString::fromUtf8(c.value));
        EXPECT_EQ(e.Text(), QString::fromUtf8(c.text)) << c.value;
        EXPECT_EQ(e.UnitID(), QString::fromUtf8(c.unit)) << c.value;
        EXPECT_EQ(e.TextAndUnit(), QString::fromUtf8(c.text) + QString::fromUtf8(c.unit));
    }
}

TEST(UnitEdit, MenuChoiceChangesTheUnitOnce)
{
    QWidget form;
    TEsgUnitEditBtn e(&form);
    form.show();
    e.SetUnits({QStringLiteral("m"), QStringLiteral("mm")});
    e.SetUnitID(QStringLiteral("m"));
    QStringList changes;
    int clicks = 0;
    QObject* clickSender = nullptr;
    e.OnUnitChanged = [&](QObject* s, const QString& u) {
        EXPECT_EQ(s, &e);
        changes << u;
    };
    e.OnClickBtn = [&](QObject* s) {
        ++clicks;
        clickSender = s;
    };
    QStringList shown;
    QPoint shownAt;
    int pick = 2;
    PopupMenuHandler old = SetPopupMenuHandler([&](QMenu& m, const QPoint& at) -> QAction* {
        shownAt = at;
        shown.clear();
        for (QAction* a : m.actions()) shown << a->text();
        for (QAction* a : m.actions())
            if (a->data().toInt() == pick) return a;
        return nullptr;
    });
    QTest::mouseClick(e.Button()->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(clickSender, &e); // the unit edit passes itself
    EXPECT_EQ(shown, QStringList({QStringLiteral("m"), QStringLiteral("mm")}));
    EXPECT_EQ(shownAt, e.mapToGlobal(QPoint(e.width() - 2 - 15, e.height() - 2)));
    EXPECT_EQ(e.UnitID(), QStringLiteral("mm"));
    EXPECT_EQ(changes, QStringList({QStringLiteral("mm")}));
    // The unit already shown: no event.
    QTest::mouseClick(e.Button()->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(changes.size(), 1);
    // Closed without a choice, or a command outside the list: nothing.
    pick = 0;
    QTest::mouseClick(e.Button()->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    e.WMCommand(3);
    e.WMCommand(0);
    EXPECT_EQ(e.UnitID(), QStringLiteral("mm"));
    EXPECT_EQ(changes.size(), 1);
    SetPopupMenuHandler(old);
}

TEST(UnitEdit, UnitTextIsPaintedBesideTheButton)
{
    TEsgUnitEditBtn e;
    QFont f = e.font();
    f.setPixelSize(14);
    e.setFont(f);
    e.resize(140, 26);
    e.show();
    e.SetText(QString());
    e.SetUnitSpace(30);
    const int bw = e.Button()->width();
    const TRect unitRect = TRect{e.ClientWidth() - (bw + 3) - 30, 2, e.ClientWidth() - (bw + 3), e.ClientHeight()}.Offset(2, 2);
    auto ink = [&](const QImage& img) {
        int n = 0;
        for (int y = unitRect.Top; y < unitRect.Bottom; ++y)
            for (int x = unitRect.Left; x < unitRect.Right; ++x)
                if (qGray(img.pixel(x, y)) < 100) ++n;
        return n;
    };
    EXPECT_EQ(ink(e.grab().toImage()), 0);
    e.SetUnitID(QStringLiteral("kg"));
    const QImage img = e.grab().toImage();
    EXPECT_GT(ink(img), 10);
    // Nothing of it left of its rectangle.
    int outside = 0;
    for (int y = 4; y < e.height() - 4; ++y)
        for (int x = 4; x < unitRect.Left; ++x)
            if (qGray(img.pixel(x, y)) < 100) ++outside;
    EXPECT_EQ(outside, 0);
}

TEST(EditBtn, F4AndClicksRaiseOnClickBtnWithTheirSender)
{
    QWidget form;
    TEsgEditBtn e(&form);
    form.show();
    QApplication::setActiveWindow(&form);
    std::vector<QObject*> senders;
    e.OnClickBtn = [&](QObject* s) { senders.push_back(s); };
    QTest::keyClick(&e, Qt::Key_F4);
    QTest::keyClick(&e, Qt::Key_F4, Qt::ControlModifier);
    QTest::keyClick(&e, Qt::Key_F4, Qt::AltModifier);
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], &e);
    QTest::mouseClick(e.Button()->Button(), Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(senders.size(), 1u);
    form.setFocus();
    QTest::mouseClick(e.Button()->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    ASSERT_EQ(senders.size(), 2u);
    EXPECT_EQ(senders[1], e.Button());
    EXPECT_TRUE(e.hasFocus()); // the click gives the focus to the edit
    // A release away from the button still clicks.
    QTest::mousePress(e.Button()->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QTest::mouseRelease(e.Button()->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(-30, 3));
    EXPECT_EQ(senders.size(), 3u);
}

TEST(EditBtn, EditorDisabledIgnoresTypingPasteCutAndDelete)
{
    TEsgEditBtn e;
    e.show();
    e.SetText(QStringLiteral("abc"));
    e.setCursorPosition(1);
    e.SetEditorEnabled(false);
    QApplication::clipboard()->setText(QStringLiteral("X"));
    QTest::keyClicks(&e, QStringLiteral("z"));
    QTest::keyClick(&e, Qt::Key_Backspace);
    QTest::keyClick(&e, Qt::Key_Delete);
    QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier);
    e.Paste();
    e.selectAll();
    e.Cut();
    EXPECT_EQ(e.Text(), QStringLiteral("abc"));
    e.SetEditorEnabled(true);
    e.setCursorPosition(1);
    QTest::keyClicks(&e, QStringLiteral("z"));
    QTest::keyClick(&e, Qt::Key_Delete);
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), QStringLiteral("azXc")); // no character is filtered
    e.SetReadOnly(true);
    e.Paste();
    EXPECT_EQ(e.Text(), QStringLiteral("azXc"));
}

TEST(EditBtn, LayoutAndEditRectangle)
{
    TEsgEditBtn e;
    e.show();
    e.resize(100, 24);
    // Client coordinates start inside the 2-pixel border.
    EXPECT_EQ(e.Button()->geometry(), QRect(2 + 100 - 18 - 5, 2, 18, 19));
    EXPECT_EQ(e.Button()->Button()->geometry(), QRect(0, 0, 18, 19));
    EXPECT_EQ(e.EditRect(), (TRect{1, 1, 96 - 18 - 5, 21}));
    e.SetButtonWidth(24);
    EXPECT_EQ(e.Button()->width(), 24);
    EXPECT_EQ(e.EditRect().Right, 96 - 24 - 5);
    e.SetBorderStyle(TBorderStyle::bsNone);
    e.resize(100, 25);
    EXPECT_EQ(e.Button()->geometry(), QRect(100 - 24 - 1, 0, 24, 24));
    EXPECT_EQ(e.EditRect(), (TRect{3, 3, 100 - 24 - 5, 26}));
    TEsgUnitEditBtn u;
    u.show();
    u.resize(100, 24);
    EXPECT_EQ(u.EditRect().Right, 96 - 18 - 5 - 20 - 3);
    EXPECT_TRUE(u.alignment() & Qt::AlignRight);
    u.resize(100, 2);
    EXPECT_EQ(u.height(), u.MinHeight());
}

TEST(EditBtnLook, CustomColoursAndCaptionShiftWhenDown)
{
    SetVisualStylesActive(false);
    TEsgEditButton box;
    box.resize(30, 24);
    box.SetButtonColor(clLime);
    box.SetButtonColorHot(clYellow);
    box.SetButtonColorDown(clRed);
    box.SetButtonCaption(QStringLiteral("..."));
    box.show();
    auto inkBox = [](const QImage& img) {
        int l = img.width(), t = img.height(), r = -1, b = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (At(img, x, y) == clBlack) {
                    l = std::min(l, x);
                    t = std::min(t, y);
                    r = std::max(r, x);
                    b = std::max(b, y);
                }
        return QRect(QPoint(l, t), QPoint(r, b));
    };
    const QImage up = box.Button()->grab().toImage();
    EXPECT_EQ(At(up, 0, 0), clLime);
    EXPECT_EQ(At(up, 29, 23), clLime);
    EXPECT_TRUE(box.Button()->Flat());
    const QRect capUp = inkBox(up);
    ASSERT_TRUE(capUp.isValid());
    QTest::mousePress(box.Button(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    const QImage down = box.Button()->grab().toImage();
    EXPECT_EQ(At(down, 0, 0), clRed);
    EXPECT_EQ(inkBox(down), capUp.translated(1, 1));
    QTest::mouseRelease(box.Button(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    SetVisualStylesActive(true);
}

} // namespace
