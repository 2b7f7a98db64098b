#include "common/TestSupport.h"
#include "controls/ExtRichText.h"
#include "grid/ExtGrid.h"
#include "grid/ExtRichEdit.h"
#include "PaintedGrid.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace {

struct Queries {
    bool normal, sub, super;
    bool operator==(const Queries&) const = default;
};
Queries Ask(const TExtRichEdit& e) { return {e.IsSelNormal(), e.IsSelSubscript(), e.IsSelSuperscript()}; }

void Select(TExtRichEdit& e, int from, int to)
{
    QTextCursor c = e.textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    e.setTextCursor(c);
}

// A grid in a window whose cells are edited by the rich editor.
struct RichGridWindow {
    QWidget form;
    TExtStringGrid grid;
    TGridWidget* w = nullptr;
    int rowSizeEvents = 0;
    int lastSizedRow = -1;

    RichGridWindow()
    {
        form.resize(320, 200);
        grid.Font = TestFont();
        grid.SetColCount(4);
        grid.SetRowCount(5);
        grid.SetOptions(grid.Options().With(goEditing));
        grid.OnGetEditorType = [](TExtStringGrid*, int c, int r, TEditorType& kind) {
            if (c >= 1 && r >= 1) kind = edRichEdit;
        };
        grid.SetBounds(0, 0, 300, 180);
        w = grid.CreateWnd(&form);
        grid.OnEndRowSize = [this](TExtStringGrid*, int row) {
            ++rowSizeEvents;
            lastSizedRow = row;
        };
        form.show();
        (void)QTest::qWaitForWindowExposed(&form);
        QApplication::setActiveWindow(&form);
    }

    // Opens the editor on (c, r); answers the rich edit.
    TExtRichEdit* Open(int c, int r)
    {
        grid.MoveColRow(c, r, true, true);
        w->setFocus();
        QTest::keyClick(w, Qt::Key_F2);
        if (!grid.EditorMode()) return nullptr;
        auto* editor = dynamic_cast<TRichCellEditor*>(w->ActiveEditor());
        return editor ? editor->Edit() : nullptr;
    }
};

} // namespace

TEST(RichEdit, SubAndSuperscriptOfTheSelection)
{
    TExtRichEdit e(nullptr);
    e.LoadCellText(QStringLiteral("{\\rtf1 H{\\b 2}O x2}"));
    Select(e, 1, 2);
    EXPECT_EQ(Ask(e), (Queries{true, false, false}));
    e.SelSuperscript();
    EXPECT_EQ(Ask(e), (Queries{false, false, true}));
    e.SelSubscript();
    EXPECT_EQ(Ask(e), (Queries{false, true, false}));
    // Nothing else of the selection changed: it is still bold, its
    // neighbours have no offset.
    QTextCursor c = e.textCursor();
    c.setPosition(2);
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    Select(e, 0, 1);
    EXPECT_EQ(Ask(e), (Queries{true, false, false}));
    // A selection of mixed offsets answers false to all three.
    Select(e, 0, 2);
    EXPECT_EQ(Ask(e), (Queries{false, false, false}));
    Select(e, 1, 2);
    e.SelNormal();
    EXPECT_EQ(Ask(e), (Queries{true, false, false}));

    // Stored and read back, the offset and the rest of the format stay.
    Select(e, 4, 5);
    e.SelSuperscript();
    const QString stored = e.CellText();
    EXPECT_TRUE(stored.startsWith(QStringLiteral("{\\rtf")));
    TExtRichEdit back(nullptr);
    back.LoadCellText(stored);
    EXPECT_EQ(DocumentToRichTextRuns(*back.document()), DocumentToRichTextRuns(*e.document()));
    Select(back, 4, 5);
    EXPECT_TRUE(back.IsSelSuperscript());
}

TEST(RichEdit, OwnerMustBeAStringGrid)
{
    TBaseGrid base;
    EXPECT_THROW(TExtRichEdit e(&base), EInvalidCast);
    TExtStringGrid grid;
    TExtRichEdit ok(&grid);
    EXPECT_EQ(ok.Grid(), &grid);
}

TEST(RichEdit, ConverterMeasuresAndConvertsWithoutAWindow)
{
    TExtStringGrid grid;
    grid.Font = TestFont();
    grid.SetColCount(3);
    grid.SetRowCount(3);
    const QString rtf = QStringLiteral("{\\rtf1 Hello\\par wide {\\b World}\\par caf\\'e9}");
    grid.SetCells(1, 1, rtf);
    TExtRichEdit* conv = grid.RichEdit();
    EXPECT_EQ(grid.RichEdit(), conv);
    EXPECT_TRUE(grid.IsRichEditConverter(conv));
    grid.CellToRich(1, 1, conv);
    EXPECT_EQ(conv->PlainText(), QString::fromUtf8("Hello\r\nwide World\r\ncafé"));
    QFont bold = TestFont();
    bold.setBold(true);
    const QFontMetricsF fm(TestFont());
    const qreal wideWorld = fm.horizontalAdvance(QStringLiteral("wide ")) + QFontMetricsF(bold).horizontalAdvance(QStringLiteral("World"));
    EXPECT_NEAR(conv->ReqWidth(), wideWorld, 2.0);
    EXPECT_NEAR(conv->ReqHeight(), 3 * fm.height(), 3.0);
    EXPECT_FALSE(conv->isVisible());
    EXPECT_EQ(grid.View(), nullptr) << "no window was needed";
    EXPECT_EQ(grid.RichCellToPlainText(rtf), conv->PlainText());

    // Into the cell and back: the same text and formatting.
    grid.RichToCell(2, 2, conv);
    EXPECT_TRUE(grid.Cells(2, 2).startsWith(QStringLiteral("{\\rtf")));
    EXPECT_EQ(ParseRichText(grid.Cells(2, 2)), ParseRichText(rtf));
    grid.SetCells(2, 1, QString());
    grid.CellToRich(2, 1, conv);
    EXPECT_TRUE(conv->document()->isEmpty());
    EXPECT_EQ(grid.RichToString(conv), QString());
}

TEST(RichEdit, InPlaceEditStoresRichText)
{
    RichGridWindow win;
    win.grid.SetCells(1, 1, QStringLiteral("{\\rtf1 plain {\\i it}}"));
    TExtRichEdit* e = win.Open(1, 1);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e, win.grid.InplaceRichEdit());
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(e->PlainText(), QStringLiteral("plain it"));
    // All selected on opening (Navigation.EditSelectAll); type over it.
    int selectionChanges = 0;
    win.grid.OnRichEditSelectionChange = [&](TExtStringGrid* sender) {
        EXPECT_EQ(sender, &win.grid);
        ++selectionChanges;
    };
    QTest::keyClicks(e, "new");
    Select(*e, 0, 3);
    EXPECT_GE(selectionChanges, 1);
    e->SelSuperscript();
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_FALSE(win.grid.EditorMode());
    const TRichTextRuns runs = ParseRichText(win.grid.Cells(1, 1));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Text, QStringLiteral("new"));
    EXPECT_EQ(runs[0].Offset, 40);

    // What the user sees while editing: coloured, bold and raised text.
    win.grid.SetCells(2, 2, QStringLiteral("{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}x{\\up4 2} {\\b\\cf1 RED}}"));
    win.grid.SetColWidths(2, 120);
    TExtRichEdit* shown = win.Open(2, 2);
    ASSERT_NE(shown, nullptr);
    shown->moveCursor(QTextCursor::End);
    const QImage shot = shown->grab().toImage();
    // A picture for a person to look at, when asked for.
    const QString dir = qEnvironmentVariable("KR_SCREENSHOT_DIR");
    if (!dir.isEmpty()) shot.save(dir + QStringLiteral("/richedit.png"));
    int red = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) red += shot.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_GT(red, 10);
}

TEST(RichEdit, GrowsTheRowWhileTyping)
{
    struct Case {
        const char* what;
        bool sizeWhileTyping;
        bool locked;
        int row;
        int expectedRow;
        int expectedEditor;
        int events;
    };
    // A 20-pixel row whose text needs 30 grows to 40, the editor to 39.
    const Case cases[] = {
        {"grows", true, false, 1, 40, 39, 1},
        {"locked", true, true, 1, 20, -1, 0},
        {"switched off", false, false, 1, 20, -1, 0},
        {"past the bottom", true, false, 4, 20, -1, 0},
    };
    for (const Case& c : cases) {
        RichGridWindow win;
        win.grid.SizeWhileTyping().SetHeight(c.sizeWhileTyping);
        for (int r = 0; r < 5; ++r) win.grid.SetRowHeights(r, r == 3 ? 95 : 20);
        TExtRichEdit* e = win.Open(1, c.row);
        ASSERT_NE(e, nullptr) << c.what;
        const int before = e->height();
        if (c.locked) e->Lock();
        e->RequestResize(QRect(0, 0, 50, 30));
        EXPECT_EQ(win.grid.RowHeights(c.row), c.expectedRow) << c.what;
        EXPECT_EQ(e->height(), c.expectedEditor < 0 ? before : c.expectedEditor) << c.what;
        EXPECT_EQ(win.rowSizeEvents, c.events) << c.what;
        if (c.events) {
            EXPECT_EQ(win.lastSizedRow, c.row);
        }
        // A row already high enough stays.
        e->Unlock();
        const int height = win.grid.RowHeights(c.row);
        e->RequestResize(QRect(0, 0, 50, height - 10));
        EXPECT_EQ(win.grid.RowHeights(c.row), height) << c.what;
    }

    // Typing text that wraps makes the row as high as the text needs.
    RichGridWindow win;
    win.grid.SizeWhileTyping().SetHeight(true);
    win.grid.SetColWidths(1, 60);
    TExtRichEdit* e = win.Open(1, 1);
    ASSERT_NE(e, nullptr);
    QTest::keyClicks(e, "one two three four five");
    const int needed = int(std::ceil(e->document()->size().height()));
    EXPECT_GT(needed, 2 * QFontMetrics(TestFont()).height());
    EXPECT_EQ(win.grid.RowHeights(1), needed + 10);
    EXPECT_GE(win.rowSizeEvents, 1);
}

TEST(RichEdit, TabGoesToTheGridOnlyWithGoTabs)
{
    {
        RichGridWindow win;
        win.grid.SetOptions(win.grid.Options().With(goTabs));
        TExtRichEdit* e = win.Open(1, 1);
        ASSERT_NE(e, nullptr);
        QTest::keyClicks(e, "a");
        QTest::keyClick(e, Qt::Key_Tab);
        EXPECT_EQ(win.grid.Col(), 2);
        EXPECT_TRUE(win.grid.EditorMode()) << "the editor opens again on the next cell";
        EXPECT_EQ(win.grid.EditorCell().X, 2);
        EXPECT_EQ(RichTextToPlainText(win.grid.Cells(1, 1)), QStringLiteral("a")) << "no tab typed";
    }
    {
        RichGridWindow win;
        TExtRichEdit* e = win.Open(1, 1);
        ASSERT_NE(e, nullptr);
        QTest::keyClicks(e, "a");
        QTest::keyClick(e, Qt::Key_Tab);
        QTest::keyClicks(e, "b");
        EXPECT_EQ(win.grid.Col(), 1);
        EXPECT_TRUE(win.grid.EditorMode());
        EXPECT_EQ(e->PlainText(), QStringLiteral("a\tb"));
    }
}

TEST(RichEdit, DownLeavesASingleLineGridAndMovesInTheTextWithWordWrap)
{
    const QString twoLines = QStringLiteral("{\\rtf1 first\\par second}");
    {
        RichGridWindow win;
        win.grid.SetWordWrap(false);
        win.grid.SetCells(1, 1, twoLines);
        TExtRichEdit* e = win.Open(1, 1);
        ASSERT_NE(e, nullptr);
        e->moveCursor(QTextCursor::Start);
        QTest::keyClick(e, Qt::Key_Down);
        EXPECT_EQ(win.grid.Row(), 2);
        EXPECT_FALSE(win.grid.EditorMode() && win.grid.EditorCell().Y == 1);
        EXPECT_EQ(ParseRichText(win.grid.Cells(1, 1)), ParseRichText(twoLines)) << "the edit was kept";
    }
    {
        RichGridWindow win;
        win.grid.SetWordWrap(true);
        win.grid.SetCells(1, 1, twoLines);
        TExtRichEdit* e = win.Open(1, 1);
        ASSERT_NE(e, nullptr);
        e->moveCursor(QTextCursor::Start);
        QTest::keyClick(e, Qt::Key_Down);
        EXPECT_EQ(win.grid.Row(), 1);
        EXPECT_TRUE(win.grid.EditorMode());
        EXPECT_EQ(e->textCursor().blockNumber(), 1);
    }
}

TEST(RichEdit, FocusBackToTheGridClosesTheEditor)
{
    RichGridWindow win;
    QLineEdit other(&win.form);
    other.move(0, 185);
    other.show();
    TExtRichEdit* e = win.Open(1, 1);
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(e->hasFocus());
    QTest::keyClicks(e, "kept");
    // While the grid moves the focus itself, the loss is ignored.
    win.grid.SetGridFocusChanging(true);
    win.w->setFocus();
    EXPECT_TRUE(win.grid.EditorMode());
    win.grid.SetGridFocusChanging(false);
    e->setFocus();
    ASSERT_TRUE(e->hasFocus());
    // To the grid's window: the edit ends and is stored.
    win.w->setFocus();
    EXPECT_FALSE(win.grid.EditorMode());
    EXPECT_EQ(RichTextToPlainText(win.grid.Cells(1, 1)), QStringLiteral("kept"));

    // To another control of the form: the grid's exit handling commits the
    // edit; the rich edit itself closes nothing.
    e = win.Open(2, 1);
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(e->hasFocus());
    QTest::keyClicks(e, "left");
    other.setFocus();
    ASSERT_TRUE(other.hasFocus());
    EXPECT_EQ(RichTextToPlainText(win.grid.Cells(2, 1)), QStringLiteral("left"));
    EXPECT_TRUE(RichTextToPlainText(win.grid.Cells(1, 1)) == QStringLiteral("kept"));
}
