// The open and close cycle of the drop-down pop-up, driven by real mouse
// and key events on the offscreen platform.
#include "dropdown/ExtDropDown.h"
#include "dropdown/ExtDropDownStrips.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A window with a drop-down edit whose pop-up hosts a list, and a clock the
// test moves by hand.
class PopupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldClock = SetDropDownTickCountSource([this] { return now; });
        host.resize(400, 300);
        edit = new TExtCustomDropDown(&host);
        edit->setGeometry(20, 20, 200, 21);
        list = new QListWidget;
        list->resize(180, 120);
        list->addItems({QStringLiteral("one"), QStringLiteral("two")});
        edit->SetControl(list);
        other = new QLineEdit(&host);
        other->setGeometry(250, 260, 100, 21);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        edit->setFocus();
    }
    void TearDown() override
    {
        if (edit->DroppedDown()) edit->HideDropDown(false);
        SetDropDownTickCountSource(m_oldClock);
    }

    // A left click on the drop-down button (opens on the release).
    void ClickButton()
    {
        QWidget* b = edit->Button()->Button();
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    }
    TDropDownForm* Form() const { return edit->DropDownForm(); }
    // A press and release at a global point while the pop-up has the mouse.
    void ClickOutsideAt(QPoint global)
    {
        const QPoint local = Form()->mapFromGlobal(global);
        QTest::mousePress(Form(), Qt::LeftButton, {}, local);
        if (Form()->isVisible()) QTest::mouseRelease(Form(), Qt::LeftButton, {}, local);
    }

    uint32_t now = 100000;
    QWidget host;
    TExtCustomDropDown* edit = nullptr;
    QListWidget* list = nullptr;
    QLineEdit* other = nullptr;

private:
    TTickCountSource m_oldClock;
};

} // namespace

TEST_F(PopupTest, OpensOnReleaseBelowTheEdit)
{
    QWidget* b = edit->Button()->Button();
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(edit->DroppedDown());
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_TRUE(Form()->isVisible());
    const QPoint editTop = edit->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(Form()->geometry().topLeft(), QPoint(editTop.x(), editTop.y() + edit->height() - 1));
    // Size from the content: the list's height plus both strips and borders.
    EXPECT_EQ(Form()->width(), 180);
    EXPECT_EQ(Form()->height(), 2 + 22 + 22 + 120);
    EXPECT_EQ(list->parentWidget(), Form());
    EXPECT_EQ(list->geometry(), QRect(1, 23, 178, 120));

    // A right-button release does nothing.
    edit->HideDropDown(false);
    now += 1000;
    QTest::mousePress(b, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseRelease(b, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(edit->DroppedDown());
}

TEST_F(PopupTest, KeysToggleAndEnterKeepsEscapeRestores)
{
    edit->SetText(QStringLiteral("abc"));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F4);
    ASSERT_TRUE(edit->DroppedDown());
    QTest::keyClick(Form(), Qt::Key_F4);
    EXPECT_FALSE(edit->DroppedDown());
    QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(edit->DroppedDown());
    QTest::keyClick(Form(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(edit->DroppedDown());

    // Typed text is kept by Enter and undone by Escape.
    edit->SetTextDirect(QStringLiteral("abcx"));
    QTest::keyClick(edit, Qt::Key_F4);
    QTest::keyClick(Form(), Qt::Key_Return);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), QStringLiteral("abcx"));
    QTest::keyClick(edit, Qt::Key_F4);
    QTest::keyClick(Form(), Qt::Key_Escape);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), QStringLiteral("abc"));

    // Keys of the hosted control reach the edit too.
    edit->SetFocusControl(list);
    QTest::keyClick(edit, Qt::Key_F4);
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_TRUE(edit->hasFocus());
}

TEST_F(PopupTest, ClickOutsideClosesAndFocusReturns)
{
    edit->SetText(QStringLiteral("keep"));
    ClickButton();
    ASSERT_TRUE(edit->DroppedDown());
    edit->SetTextDirect(QStringLiteral("changed"));
    ClickOutsideAt(other->mapToGlobal(QPoint(5, 5)));
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_FALSE(Form()->isVisible());
    EXPECT_EQ(edit->Text(), QStringLiteral("keep")); // cancelled by default
    EXPECT_TRUE(edit->hasFocus());

    // Editors that do not cancel on deactivation keep the text.
    Form()->FCancelOnDeActivate = false;
    now += 1000;
    ClickButton();
    ASSERT_TRUE(edit->DroppedDown());
    edit->SetTextDirect(QStringLiteral("changed"));
    ClickOutsideAt(other->mapToGlobal(QPoint(5, 5)));
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), QStringLiteral("changed"));

    // While blocked the pop-up stays open.
    now += 1000;
    ClickButton();
    Form()->FBlockActivate = true;
    ClickOutsideAt(other->mapToGlobal(QPoint(5, 5)));
    EXPECT_TRUE(edit->DroppedDown());
    Form()->FBlockActivate = false;
}

TEST_F(PopupTest, ClickOnTheButtonOfAnOpenPopupLeavesItClosed)
{
    ClickButton();
    ASSERT_TRUE(edit->DroppedDown());
    QWidget* b = edit->Button()->Button();
    const QPoint at = b->mapToGlobal(QPoint(5, 5));
    // The press outside the pop-up closes it; the release on the button
    // comes within 250 ms and does not reopen it.
    QTest::mousePress(Form(), Qt::LeftButton, {}, Form()->mapFromGlobal(at));
    EXPECT_FALSE(edit->DroppedDown());
    now += 120;
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(edit->DroppedDown());
    // Later clicks open it again.
    now += 200;
    ClickButton();
    EXPECT_TRUE(edit->DroppedDown());
}

TEST_F(PopupTest, DisabledOrReadOnlyNeverOpens)
{
    edit->setEnabled(false);
    ClickButton();
    edit->DoShowDropDown();
    EXPECT_FALSE(edit->DroppedDown());
    edit->setEnabled(true);
    edit->SetReadOnly(true);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F4);
    ClickButton();
    EXPECT_FALSE(edit->DroppedDown());
    edit->SetReadOnly(false);
    QTest::keyClick(edit, Qt::Key_F4);
    EXPECT_TRUE(edit->DroppedDown());
}

TEST_F(PopupTest, EventOrderAndRefusal)
{
    std::vector<std::string> events;
    edit->OnBeforeDropDown = [&](TExtCustomDropDown*) {
        events.push_back("before drop down");
        EXPECT_FALSE(Form()->isVisible());
    };
    edit->OnDropDown = [&](TExtCustomDropDown*, bool& accept) {
        events.push_back(accept ? "drop down" : "drop down refused?");
        // The strips are already prepared.
        EXPECT_NE(Form()->Header(), nullptr);
    };
    edit->OnBeforeDropUp = [&](TExtCustomDropDown*) {
        events.push_back("before drop up");
        EXPECT_TRUE(Form()->isVisible());
    };
    edit->OnDropUp = [&](TExtCustomDropDown*, bool cancelled) {
        events.push_back(cancelled ? "drop up cancelled" : "drop up");
        EXPECT_FALSE(Form()->isVisible());
        EXPECT_FALSE(edit->DroppedDown());
    };
    edit->ShowDropDown();
    edit->HideDropDown(true);
    EXPECT_EQ(events, (std::vector<std::string>{"before drop down", "drop down", "before drop up", "drop up cancelled"}));

    events.clear();
    edit->OnDropDown = [&](TExtCustomDropDown*, bool& accept) {
        events.push_back("refused");
        accept = false;
    };
    ClickButton();
    EXPECT_EQ(events, (std::vector<std::string>{"before drop down", "refused"}));
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_FALSE(Form()->isVisible());
}

TEST_F(PopupTest, GripDragSizeIsRememberedUntilHeightIsWritten)
{
    int sizing = 0;
    Form()->FOnSizing = [&](TDropDownForm*) { ++sizing; };
    ClickButton();
    ASSERT_TRUE(edit->DroppedDown());
    TExtFooter* footer = Form()->Footer();
    ASSERT_NE(footer, nullptr);
    ASSERT_TRUE(footer->SizeGripActive());
    const QSize before = Form()->size();
    // The footer moves with the pop-up's bottom: aim at fixed screen points.
    const QPoint corner = footer->mapToGlobal(QPoint(footer->width() - 4, footer->height() - 4));
    QTest::mousePress(footer, Qt::LeftButton, {}, footer->mapFromGlobal(corner));
    QTest::mouseMove(footer, footer->mapFromGlobal(corner + QPoint(15, 10)));
    QTest::mouseMove(footer, footer->mapFromGlobal(corner + QPoint(30, 20)));
    QTest::mouseRelease(footer, Qt::LeftButton, {}, footer->mapFromGlobal(corner + QPoint(30, 20)));
    EXPECT_EQ(Form()->size(), before + QSize(30, 20));
    EXPECT_EQ(sizing, 2);
    // The footer stays at the bottom and the list fills the middle.
    EXPECT_EQ(footer->geometry().bottom(), Form()->height() - 2);
    EXPECT_EQ(list->height(), Form()->height() - 2 - 44);

    edit->HideDropDown(false);
    now += 1000;
    ClickButton();
    EXPECT_EQ(Form()->size(), before + QSize(30, 20));
    edit->HideDropDown(false);
    edit->SetDropDownHeight(90);
    now += 1000;
    ClickButton();
    EXPECT_EQ(Form()->size(), QSize(before.width() + 30, 90));
}

TEST_F(PopupTest, UpwardPopupEndsAtTheEditWithRememberedSize)
{
    edit->SetDropPosition(TDropPosition::dpUp);
    host.move(100, 300);
    edit->ShowDropDown();
    const int editTop = edit->mapToGlobal(QPoint(0, 0)).y();
    EXPECT_EQ(Form()->geometry().bottom() + 1, editTop);
    Form()->resize(Form()->width(), Form()->height() + 40);
    edit->HideDropDown(false);
    edit->ShowDropDown();
    EXPECT_EQ(Form()->geometry().bottom() + 1, editTop);
}

TEST_F(PopupTest, EditorDisabledClickOpensAndKeysClose)
{
    edit->SetEditorEnabled(false);
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(edit->DroppedDown());
    QTest::keyClick(Form(), Qt::Key_Return);
    EXPECT_FALSE(edit->DroppedDown());
    // A typed character does not reach a read-only value.
    edit->SetText(QStringLiteral("x"));
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(edit->Text(), QStringLiteral("x"));
}

TEST_F(PopupTest, HeaderChangesRebuildTheOpenStrips)
{
    edit->ShowDropDown();
    ASSERT_NE(Form()->Header(), nullptr);
    EXPECT_EQ(Form()->Header()->ButtonList().Count(), 0);
    edit->DropDownHeader().Buttons().Add()->SetCaption(QStringLiteral("A"));
    EXPECT_EQ(Form()->Header()->ButtonList().Count(), 1);
    edit->DropDownHeader().SetVisible(false);
    EXPECT_FALSE(Form()->Header()->isVisible());
}
