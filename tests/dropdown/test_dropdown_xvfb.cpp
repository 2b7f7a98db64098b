// The pop-up under a real X server: real clicks and keys (xdotool) open it,
// close it by a click outside (the focus goes back to the edit), by Escape
// and by Return. Runs only on the xcb platform (ctest runs it under
// xvfb-run); elsewhere it is skipped.
#include "dropdown/ExtDropDown.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool XDo(const QStringList& args) { return QProcess::execute(QStringLiteral("xdotool"), args) == 0; }

bool ClickAt(QPoint global)
{
    return XDo({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()), QString::number(global.y()), QStringLiteral("click"),
                QStringLiteral("1")});
}

bool Key(const QString& key) { return XDo({QStringLiteral("key"), key}); }

} // namespace

TEST(RealPopup, MouseAndKeysUnderX)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X server";
    QWidget host;
    host.setGeometry(100, 100, 400, 300);
    auto* edit = new TExtCustomDropDown(&host);
    edit->setGeometry(20, 20, 200, 21);
    auto* list = new QListWidget;
    list->resize(200, 120);
    list->addItems({QStringLiteral("one"), QStringLiteral("two")});
    edit->SetControl(list);
    auto* other = new QLineEdit(&host);
    other->setGeometry(20, 250, 150, 21);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }, 10000));
    edit->SetText(QStringLiteral("start"));

    // A real click on the button opens the pop-up below the edit.
    QWidget* button = edit->Button()->Button();
    ASSERT_TRUE(ClickAt(button->mapToGlobal(button->rect().center())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->DroppedDown(); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->DropDownForm()->isVisible(); }, 10000));

    // A click outside closes it (cancelled) and the focus is back in the edit.
    edit->SetTextDirect(QStringLiteral("typed"));
    QTest::qWait(300); // past the guard against reopening
    ASSERT_TRUE(ClickAt(other->mapToGlobal(other->rect().center())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !edit->DroppedDown(); }, 10000));
    EXPECT_EQ(edit->Text(), QStringLiteral("start"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }, 10000));

    // A key opens the pop-up, another closes it. Without a window manager
    // the X server may take the focus from the application while the pop-up
    // maps, and Qt then closes the pop-up as deactivated: such a round is
    // tried again.
    auto round = [&](const QString& open, const QString& close, const QString& typed, const QString& expected) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            edit->SetText(QStringLiteral("start"));
            edit->SetTextDirect(typed);
            if (!Key(open)) return false;
            if (!QTest::qWaitFor([&] { return edit->DroppedDown(); }, 10000)) continue;
            QTest::qWait(200);
            if (!edit->DroppedDown()) continue;
            if (!Key(close)) return false;
            if (!QTest::qWaitFor([&] { return !edit->DroppedDown(); }, 10000)) return false;
            if (edit->Text() == expected) return true;
        }
        return false;
    };
    // F4 opens, Escape closes and restores.
    EXPECT_TRUE(round(QStringLiteral("F4"), QStringLiteral("Escape"), QStringLiteral("typed"), QStringLiteral("start")));
    // Alt+Down opens, Return closes and keeps.
    EXPECT_TRUE(round(QStringLiteral("alt+Down"), QStringLiteral("Return"), QStringLiteral("kept"), QStringLiteral("kept")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }, 10000));
}
