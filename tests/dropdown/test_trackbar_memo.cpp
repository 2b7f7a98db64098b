// The track-bar and memo drop-downs: value, keys, dragging, display text,
// and the memo's text across the pop-up.
#include "dropdown/ExtMemoDropDown.h"
#include "dropdown/ExtTrackBarDropDown.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

template <class TEdit>
class EditHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.resize(300, 200);
        edit = new TEdit(&host);
        edit->setGeometry(10, 10, 150, 21);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        edit->setFocus();
    }
    void TearDown() override
    {
        if (edit->DroppedDown()) edit->HideDropDown(false);
    }
    QWidget host;
    TEdit* edit = nullptr;
};

using TrackBar = EditHost<TExtTrackBarDropDown>;
using Memo = EditHost<TExtMemoDropDown>;

void SendMouse(QWidget* w, QEvent::Type type, int x, Qt::MouseButton button)
{
    const QPointF p(x, 10);
    QMouseEvent e(type, p, w->mapToGlobal(p), button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST_F(TrackBar, PositionStaysInRange)
{
    EXPECT_EQ(edit->Max(), 10);
    EXPECT_EQ(edit->PageSize(), 2);
    EXPECT_FALSE(edit->EditorEnabled());
    edit->SetPosition(12);
    EXPECT_EQ(edit->Position(), 10);
    EXPECT_EQ(edit->Text(), QStringLiteral("10"));
    edit->SetPosition(-3);
    EXPECT_EQ(edit->Position(), 0);
    // A range that turns over is corrected by the track bar and stored so.
    edit->SetMin(20);
    EXPECT_EQ(edit->Min(), 20);
    EXPECT_EQ(edit->Max(), 20);
    EXPECT_EQ(edit->Position(), 20); // the track bar moved it into the range
    edit->SetPosition(5);
    EXPECT_EQ(edit->Position(), 20);
}

TEST_F(TrackBar, UpAndDownStepByFrequencyWithinTheRange)
{
    edit->SetPosition(10);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Position(), 10); // would pass Max
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Position(), 9);
    edit->SetFrequency(3);
    edit->SetPosition(2);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Position(), 2); // would pass Min
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Position(), 5);
    QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier); // Alt+Down opens instead
    EXPECT_EQ(edit->Position(), 5);
    EXPECT_TRUE(edit->DroppedDown());
}

TEST_F(TrackBar, DraggingMovesOneStepPerPage)
{
    EXPECT_EQ(TrackBarDragPosition(3, 5, 2), 5);
    EXPECT_EQ(TrackBarDragPosition(3, -5, 2), 1); // cut toward zero
    EXPECT_EQ(TrackBarDragPosition(3, 5, 0), 8);  // page size 0 counts as 1
    EXPECT_EQ(TrackBarDragPosition(3, 5, -4), 8);

    edit->SetPosition(3);
    SendMouse(edit, QEvent::MouseButtonPress, 20, Qt::RightButton);
    SendMouse(edit, QEvent::MouseMove, 25, Qt::RightButton);
    EXPECT_EQ(edit->Position(), 5);
    for (int x = 26; x < 30; ++x) SendMouse(edit, QEvent::MouseMove, x, Qt::RightButton);
    EXPECT_EQ(edit->Position(), 5); // each 1-pixel move alone is less than a page
    SendMouse(edit, QEvent::MouseButtonRelease, 29, Qt::RightButton);
    SendMouse(edit, QEvent::MouseMove, 60, Qt::NoButton);
    EXPECT_EQ(edit->Position(), 5); // no longer dragging
}

TEST_F(TrackBar, TextAndTrackBarFeedPosition)
{
    int changes = 0;
    edit->OnTrackChange = [&](TExtTrackBarDropDown*) { ++changes; };
    edit->SetEditorEnabled(true);
    edit->SetText(QStringLiteral("7"));
    EXPECT_EQ(edit->Position(), 7);
    // No integer: Position stays, and no error reaches the user.
    for (const char* text : {"abc", "", "7.5"}) {
        edit->SetTextDirect(QString::fromUtf8(text));
        EXPECT_EQ(edit->Position(), 7) << text;
    }
    edit->TrackBar()->setValue(4);
    EXPECT_EQ(edit->Position(), 4);
    EXPECT_EQ(edit->Text(), QStringLiteral("4"));
    EXPECT_EQ(changes, 1);
}

TEST_F(TrackBar, EscapeGivesBackTheValueAtOpening)
{
    edit->SetPosition(3);
    edit->ShowDropDown();
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->TrackBar()->value(), 3);
    EXPECT_FALSE(edit->DropDownForm()->FCancelOnDeActivate);
    edit->TrackBar()->setValue(8);
    EXPECT_EQ(edit->Position(), 8);
    QTest::keyClick(edit->TrackBar(), Qt::Key_Escape);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Position(), 3);
    EXPECT_EQ(edit->Text(), QStringLiteral("3"));

    edit->ShowDropDown();
    edit->TrackBar()->setValue(9);
    QTest::keyClick(edit->TrackBar(), Qt::Key_Return);
    EXPECT_EQ(edit->Position(), 9);
}

TEST(MemoLines, TextToLinesAndBack)
{
    EXPECT_EQ(TextToLines(QString()), QStringList());
    EXPECT_EQ(TextToLines(QStringLiteral("a\r\nb\r\n")), (QStringList{"a", "b"}));
    EXPECT_EQ(TextToLines(QStringLiteral("a\nb")), (QStringList{"a", "b"}));
    EXPECT_EQ(TextToLines(QStringLiteral("a\r\rb")), (QStringList{"a", "", "b"}));
    EXPECT_EQ(LinesToText({"a", "b"}), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(LinesToText({}), QString());
}

TEST_F(Memo, DisplayShowsTheFirstLineShortened)
{
    edit->SetEditorEnabled(false);
    edit->SetMemoText({"one", "two", "three"});
    EXPECT_EQ(edit->Text(), QStringLiteral("one..."));
    EXPECT_EQ(edit->MemoText(), (QStringList{"one", "two", "three"})); // the display is not taken back

    const QString longLine = QStringLiteral("a rather long first line that cannot fit into the edit");
    edit->SetMemoText({longLine});
    const QString shown = edit->Text();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("..."))) << shown.toStdString();
    EXPECT_TRUE(longLine.startsWith(shown.chopped(3)));
    EXPECT_LT(QFontMetrics(edit->font()).horizontalAdvance(shown), edit->EditRect().width());

    edit->SetMemoText({"single"});
    EXPECT_EQ(edit->Text(), QStringLiteral("single"));
}

TEST_F(Memo, TypingInTheEditReplacesMemoText)
{
    edit->SetMemoText({"one", "two"});
    EXPECT_EQ(edit->Text(), QStringLiteral("one\r\ntwo\r\n")); // with the editor: the whole text
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("typed"));
    EXPECT_EQ(edit->MemoText(), QStringList{"typed"});
}

TEST_F(Memo, TheMemoEditsMemoTextWithLineBreaksConverted)
{
    edit->SetEditorEnabled(false);
    edit->SetMemoText(TextToLines(QStringLiteral("first\r\nsecond\r\n")));
    edit->ShowDropDown();
    ASSERT_TRUE(edit->DroppedDown());
    QPlainTextEdit* memo = edit->Memo();
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("first\nsecond"));
    // Enter and the arrows stay in the memo.
    memo->moveCursor(QTextCursor::End);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, QStringLiteral("third"));
    QTest::keyClick(memo, Qt::Key_Up);
    EXPECT_TRUE(edit->DroppedDown());
    // Escape cancels: MemoText and the display stay.
    QTest::keyClick(memo, Qt::Key_Escape);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->MemoTextString(), QStringLiteral("first\r\nsecond\r\n"));
    EXPECT_EQ(edit->Text(), QStringLiteral("first..."));

    // Closing by the keyboard's F4 keeps what was typed.
    edit->ShowDropDown();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, QStringLiteral("third"));
    QTest::keyClick(memo, Qt::Key_F4);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->MemoTextString(), QStringLiteral("first\r\nsecond\r\nthird\r\n"));
}

TEST_F(Memo, AutoDropOpensOnEntering)
{
    edit->SetAutoDrop(true);
    edit->clearFocus();
    edit->setFocus();
    EXPECT_TRUE(edit->DroppedDown());
    QTest::keyClick(edit->Memo(), Qt::Key_Escape);
    EXPECT_FALSE(edit->DroppedDown()); // getting the focus back does not reopen it
}
