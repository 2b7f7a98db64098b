// The detail drop-down: type-ahead completion, the keys of the edit and of
// the open list, cancel, and the list's items as drawn.
#include "common/PixelSupport.h"
#include "dropdown/ExtDetailDropDown.h"

#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Detail : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.resize(300, 300);
        edit = new TExtDetailDropDown(&host);
        edit->setGeometry(10, 10, 180, 21);
        for (const char* caption : {"Apple", "Apricot", "Banana"}) edit->Items().Add()->SetCaption(QString::fromUtf8(caption));
        edit->OnSelect = [this](TExtDetailDropDown*) { ++selects; };
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        edit->setFocus();
    }
    void TearDown() override
    {
        if (edit->DroppedDown()) edit->HideDropDown(false);
    }
    QWidget* List() { return edit->ItemSelector(); }

    QWidget host;
    TExtDetailDropDown* edit = nullptr;
    int selects = 0;
};

} // namespace

TEST_F(Detail, TypingCompletesFromTheCaptions)
{
    QTest::keyClicks(edit, QStringLiteral("A"));
    EXPECT_EQ(edit->text(), QStringLiteral("Apple"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("pple"));
    EXPECT_EQ(edit->cursorPosition(), 1);
    EXPECT_EQ(edit->ItemIndex(), 0);
    QTest::keyClicks(edit, QStringLiteral("pr"));
    EXPECT_EQ(edit->text(), QStringLiteral("Apricot"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("icot"));
    EXPECT_EQ(edit->ItemIndex(), 1);
    EXPECT_EQ(selects, 0); // a completion is not announced
    EXPECT_TRUE(edit->IsModified());

    // Backspace is not completed again.
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("Apr"));
}

TEST_F(Detail, NothingFitsOrCaseMatters)
{
    QTest::keyClicks(edit, QStringLiteral("X"));
    EXPECT_EQ(edit->text(), QStringLiteral("X"));
    EXPECT_EQ(edit->cursorPosition(), 1);
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(edit->ItemIndex(), -1);

    edit->SetTextDirect(QString());
    edit->SetMatchCase(true);
    QTest::keyClicks(edit, QStringLiteral("a"));
    EXPECT_EQ(edit->text(), QStringLiteral("a"));
    EXPECT_EQ(edit->ItemIndex(), -1);
}

TEST_F(Detail, LongCaptionCompletesWhole)
{
    const QString caption = QStringLiteral("Z") + QString(300, QLatin1Char('z'));
    edit->Items().Add()->SetCaption(caption);
    QTest::keyClicks(edit, QStringLiteral("z"));
    EXPECT_EQ(edit->text(), QStringLiteral("z") + caption.mid(1)); // the typed letter as typed
    EXPECT_EQ(edit->selectedText().size(), 300);
}

TEST_F(Detail, EnterTakesAnExactCaption)
{
    edit->SetTextDirect(QStringLiteral("banana"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), QStringLiteral("banana"));
    EXPECT_EQ(selects, 0);

    edit->SetTextDirect(QStringLiteral("Banana"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_EQ(edit->text(), QStringLiteral("Banana"));
    EXPECT_EQ(selects, 1);
}

TEST_F(Detail, IndexWritesOutsideTheItemsAreIgnored)
{
    edit->SetItemIndex(1);
    EXPECT_EQ(edit->text(), QStringLiteral("Apricot"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("Apricot"));
    EXPECT_EQ(selects, 1);
    edit->SetItemIndex(-2);
    edit->SetItemIndex(3);
    edit->SetItemIndex(1);
    EXPECT_EQ(edit->ItemIndex(), 1);
    EXPECT_EQ(selects, 1);
    edit->SetItemIndex(-1);
    EXPECT_EQ(edit->text(), QString());
    EXPECT_EQ(edit->ItemIndex(), -1);
    // A caption that another begins with is kept as written.
    edit->Items().Insert(0)->SetCaption(QStringLiteral("Banana split"));
    edit->SetItemIndex(3);
    EXPECT_EQ(edit->text(), QStringLiteral("Banana"));
    EXPECT_EQ(edit->ItemIndex(), 3);
}

TEST_F(Detail, ArrowKeysOpenAndClosed)
{
    QTest::keyClick(edit, Qt::Key_Down); // closed, nothing selected: the first
    EXPECT_EQ(edit->ItemIndex(), 0);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->ItemIndex(), 2);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->ItemIndex(), 1);

    edit->SetItemIndex(2);
    QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemSelector()->ItemIndex(), 2);
    EXPECT_TRUE(List()->hasFocus());
    QTest::keyClick(List(), Qt::Key_Down); // the last item: nothing
    EXPECT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 2);
    QTest::keyClick(List(), Qt::Key_Up);
    EXPECT_TRUE(edit->DroppedDown()); // moving in the list keeps it open
    EXPECT_EQ(edit->ItemIndex(), 1);
    EXPECT_EQ(edit->text(), QStringLiteral("Apricot"));
    QTest::keyClick(List(), Qt::Key_Home);
    EXPECT_EQ(edit->ItemIndex(), 0);
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 0);
    EXPECT_EQ(edit->text(), QStringLiteral("Apple"));
}

TEST_F(Detail, EscapeRestoresTheItemAtOpening)
{
    edit->SetItemIndex(0);
    edit->ShowDropDown();
    QTest::keyClick(List(), Qt::Key_Down);
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(edit->ItemIndex(), 2);
    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 0);
    EXPECT_EQ(edit->text(), QStringLiteral("Apple"));
}

TEST_F(Detail, ClickingAnItemTakesItAndCloses)
{
    edit->ShowDropDown();
    const TRect r = edit->ItemSelector()->Items().GetItem(1)->ItemRect();
    QTest::mouseClick(edit->ItemSelector()->Panel(), Qt::LeftButton, {}, QPoint(r.Left + 5, r.Top + 5));
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 1);
    EXPECT_EQ(edit->text(), QStringLiteral("Apricot"));
    EXPECT_EQ(selects, 1);
}

TEST_F(Detail, ListSearchTakesShiftedLetters)
{
    edit->SetEditorEnabled(false);
    edit->ShowDropDown();
    QTest::keyClick(List(), Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(edit->CurrentSearch(), QStringLiteral("B"));
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_TRUE(edit->DroppedDown());
    QTest::keyClick(List(), Qt::Key_Shift); // adds nothing
    EXPECT_EQ(edit->CurrentSearch(), QStringLiteral("B"));
    edit->ResetTypeAhead();
    QTest::keyClicks(List(), QStringLiteral("apr"));
    EXPECT_EQ(edit->CurrentSearch(), QStringLiteral("APR"));
    EXPECT_EQ(edit->ItemIndex(), 1);
}

TEST_F(Detail, PageKeysMoveByTheVisibleCount)
{
    for (int i = 0; i < 20; ++i) edit->Items().Add()->SetCaption(QStringLiteral("Item %1").arg(i));
    edit->ShowDropDown();
    const int n = edit->ItemSelector()->GetVisibleItemCount();
    ASSERT_GT(n, 0);
    QTest::keyClick(List(), Qt::Key_PageDown);
    EXPECT_EQ(edit->ItemIndex(), n - 1); // from none (-1)
    QTest::keyClick(List(), Qt::Key_End);
    EXPECT_EQ(edit->ItemIndex(), 22);
    QTest::keyClick(List(), Qt::Key_PageDown);
    EXPECT_EQ(edit->ItemIndex(), 22);
    QTest::keyClick(List(), Qt::Key_PageUp);
    EXPECT_EQ(edit->ItemIndex(), 22 - n);
}

TEST_F(Detail, ItemsDrawCaptionAndNotes)
{
    edit->ItemSelector()->SetColor(clWhite);
    edit->SetDropDownColor(clWhite);
    edit->Items().GetItem(0)->SetNotes(QStringLiteral("<b>notes</b>"));
    QImage red(10, 10, QImage::Format_ARGB32);
    red.fill(Qt::red);
    edit->Items().GetItem(1)->SetImage(red);
    edit->SetItemHeight(40);
    edit->ShowDropDown();
    QApplication::processEvents();
    const QImage img = edit->ItemSelector()->Panel()->grab().toImage();
    const TRect r0 = edit->ItemSelector()->Items().GetItem(0)->ItemRect();
    const TRect r1 = edit->ItemSelector()->Items().GetItem(1)->ItemRect();
    EXPECT_EQ(r0.Height(), 40);
    const int bar = edit->ItemSelector()->VertScrollBarVisible() ? edit->ItemSelector()->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    EXPECT_EQ(r0.Width(), edit->DropDownForm()->width() - 6 - bar);
    // The picture at the left, centred vertically; the caption after it.
    EXPECT_EQ(At(img, r1.Left + 2 + 5, r1.Top + 20), clRed);
    auto inkRows = [&](const TRect& r, int left) {
        int rows = 0;
        for (int y = r.Top; y < r.Bottom; ++y) {
            bool ink = false;
            for (int x = left; x < r.Right; ++x) ink = ink || GetRValue(At(img, x, y)) < 100;
            rows += ink;
        }
        return rows;
    };
    // Caption and notes make two lines of ink; a caption alone one.
    const int lineHeight = QFontMetrics(edit->CaptionFont()).height();
    EXPECT_GT(inkRows(r0, r0.Left + 4), lineHeight);
    EXPECT_LE(inkRows(edit->ItemSelector()->Items().GetItem(2)->ItemRect(), r0.Left + 4), lineHeight);
}
