#include "common/TestSupport.h"
#include "grid/ExtGrid.h"
#include "grid/GridIOLimits.h"
#include "platform/ComponentStream.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

using enum TShiftStateItem;

const QString kCells = QString::fromLatin1(GridCellsClipboardFormat);

// A grid without fixed cells, editable, filled row by row from `rows`.
class ClipGrid : public TExtStringGrid {
public:
    ClipGrid(int cols, int rowCount, const QStringList& rows = {})
    {
        SetFixedCols(0);
        SetFixedRows(0);
        SetColCount(cols);
        SetRowCount(rowCount);
        SetOptions(Options().With(goEditing));
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList cells = rows[r].split(u'|');
            for (int c = 0; c < cells.size(); ++c) SetCells(c, r, cells[c]);
        }
    }
    // What the paste passed to the modified-marking hook.
    void CellsPasted(QPoint src, const TGridRect& target, TClipOperation op) override
    {
        Source = src;
        Target = target;
        Op = op;
        TExtStringGrid::CellsPasted(src, target, op);
    }
    QPoint Source{-2, -2};
    TGridRect Target{};
    TClipOperation Op = coCopy;

    QString Texts()
    {
        QStringList rows;
        for (int r = 0; r < RowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < ColCount(); ++c) cells << Cells(c, r);
            rows << cells.join(u'|');
        }
        return QStringLiteral("%1x%2:").arg(ColCount()).arg(RowCount()) + rows.join(u'/');
    }
    void Select(int l, int t, int r, int b) { SetSelection({l, t, r, b}); }
};

void Key(TExtStringGrid& g, int key, TShiftState shift) { g.DoKeyDown(key, shift); }

QString ClipText() { return QGuiApplication::clipboard()->text(); }

void PutText(const QString& text)
{
    auto* m = new QMimeData;
    m->setText(text);
    QGuiApplication::clipboard()->setMimeData(m);
}

} // namespace

// The bytes a copy places as text, and how the paster reads them back.
TEST(GridClipboard, CopiedTextIsTheSpreadsheetFormAndPastesBack)
{
    struct Case {
        QStringList cells;  // rows, cells split by "|"
        int cols, rows;
        bool excel;
        QString text;
    } cases[] = {
        {{"a|b", "c|d"}, 2, 2, false, "a\tb\r\nc\td\r\n"},
        {{"x"}, 1, 1, false, "x"},
        {{"l1\r\nl2"}, 1, 1, false, "\"l1\nl2\""},
        {{"l1\r\nl2"}, 1, 1, true, "\"l1\nl2\""},
        {{"say \"hi\"|t\tab", "\"q|plain"}, 2, 2, true, "say \"hi\"\t\"t\tab\"\r\n\"\"\"q\"\tplain\r\n"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text.toStdString());
        ClipGrid g(k.cols, k.rows, k.cells);
        g.SetExcelClipboardFormat(k.excel);
        g.Select(0, 0, k.cols - 1, k.rows - 1);
        g.CopySelectionToClipboard();
        EXPECT_EQ(ClipText(), k.text);
        EXPECT_EQ(g.ClipLastOp(), coCopy);
        // Into an empty grid of the same size the cells come back as they were.
        ClipGrid h(k.cols, k.rows);
        int rows = 0, cols = 0;
        h.PasteClipboardAt(0, 0, rows, cols);
        EXPECT_EQ(h.Texts(), g.Texts());
    }
}

TEST(GridClipboard, TextPasterCountsGrowsAndReadsOtherProgramsText)
{
    struct Case {
        QString text;
        int col, row;
        QString grid;
        int result, rows, cols;
    } cases[] = {
        // The block grows a 2 x 2 grid to 3 x 3: four fields and the final empty line.
        {"1\t2\r\n3\t4\r\n", 1, 1, "3x3:||/|1|2/|3|4", 5, 3, 1},
        // Linux text: LF rows, a quoted field over lines with doubled quotes.
        {"a\t\"b\nc \"\"q\"\"\"\nd\n", 0, 0, "2x2:a|b\r\nc \"q\"/d|", 4, 3, 1},
        // CR rows; character 11 inside quotes is a line break; a trailing TAB's
        // empty remainder is not a column.
        {"\"x\x0by\"\ry\t", 0, 0, "2x2:x\r\ny|/y|", 3, 2, 2},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text.toStdString());
        ClipGrid g(2, 2);
        int rows = 0, cols = 0;
        EXPECT_EQ(g.PasteTextAt(k.col, k.row, rows, cols, k.text), k.result);
        EXPECT_EQ(g.Texts(), k.grid);
        EXPECT_EQ(rows, k.rows);
        EXPECT_EQ(cols, k.cols);
    }
}

TEST(GridClipboard, PasteRespectsEditingReadOnlyCellsAndGrowthOptions)
{
    // Nothing without editing, AllowClipboardAlways or RangeSelectAndEdit.
    ClipGrid off(2, 2);
    off.SetOptions(off.Options().Without(goEditing));
    int rows = 0, cols = 0;
    EXPECT_EQ(off.PasteTextAt(0, 0, rows, cols, "a"), 0);
    EXPECT_EQ(off.Cells(0, 0), "");

    for (bool always : {false, true}) {
        ClipGrid g(2, 2, {"k|k"});
        g.OnCanEditCell = [](TExtStringGrid*, int, int c, bool& allow) { allow = c != 1; };
        g.Navigation().SetAllowClipboardAlways(always);
        g.PasteTextAt(0, 0, rows, cols, "n\tn");
        EXPECT_EQ(g.Cells(1, 0), always ? "n" : "k");
        EXPECT_EQ(g.Cells(0, 0), "n");
    }

    // Growth off: cells outside are skipped.
    ClipGrid fixed(2, 2);
    fixed.Navigation().SetAllowClipboardColGrow(false);
    fixed.Navigation().SetAllowClipboardRowGrow(false);
    fixed.PasteTextAt(1, 1, rows, cols, "1\t2\r\n3\t4\r\n");
    EXPECT_EQ(fixed.Texts(), "2x2:|/|1");

    // Insert: a row for every pasted line, the existing ones move down.
    ClipGrid ins(1, 3, {"o0", "o1", "o2"});
    ins.Navigation().SetClipboardPasteAction(paInsert);
    ins.PasteTextAt(0, 1, rows, cols, "n1\r\nn2\r\n");
    EXPECT_EQ(ins.Texts(), "1x5:o0/n1/n2/o1/o2");
}

TEST(GridClipboard, PastePastTheLimitsIsRefusedWhole)
{
    ClipGrid g(2, 2, {"a|b"});
    int rows = 0, cols = 0;
    EXPECT_THROW(g.PasteTextAt(GridIOLimits::MaxCols - 1, 0, rows, cols, "1\t2\t3"), EExtGridError);
    EXPECT_THROW(g.PasteTextAt(0, GridIOLimits::MaxRows - 1, rows, cols, "1\r\n2\r\n3"), EExtGridError);
    EXPECT_EQ(g.Texts(), "2x2:a|b/|");
}

TEST(GridClipboard, CutEmptiesOnlyEditableCellsAndMarksRows)
{
    ClipGrid g(3, 2, {"a|b|c", "d|e|f"});
    g.OnCanEditCell = [](TExtStringGrid*, int, int c, bool& allow) { allow = c != 1; };
    g.ShowModified().SetEnabled(true);
    g.CutToClipboard();
    EXPECT_EQ(ClipText(), "a\tb\tc\r\nd\te\tf\r\n");
    EXPECT_EQ(g.Texts(), "3x2:|b|/|e|");
    EXPECT_TRUE(g.RowModified(0) && g.RowModified(1));
    EXPECT_EQ(g.ClipLastOp(), coCut);

    ClipGrid s(2, 2, {"a|b", "c|d"});
    s.OnCanEditCell = [](TExtStringGrid*, int, int c, bool& allow) { allow = c != 1; };
    s.Select(0, 1, 1, 1);
    s.CutSelectionToClipboard();
    EXPECT_EQ(ClipText(), "c\td");
    EXPECT_EQ(s.Texts(), "2x2:a|b/|d");
}

TEST(GridClipboard, SmartPasteFillsAndContinuesSeries)
{
    FormatSettings fs;
    fs.DecimalSeparator = u'.';
    fs.DateSeparator = u'/';
    fs.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
    SetFormatSettings(fs);
    struct Case {
        QString clip;
        TGridRect sel;
        QString grid;
    } cases[] = {
        {"x", {0, 0, 0, 4}, "1x5:x/x/x/x/x"},
        {"1\r\n2\r\n", {0, 0, 0, 4}, "1x5:1/2/3/4/5"},
        {"30/01/2024\r\n31/01/2024\r\n", {0, 0, 0, 3}, "1x5:30/01/2024/31/01/2024/01/02/2024/02/02/2024/"},
        {"1.5\r\n2.0\r\n", {0, 0, 0, 4}, "1x5:1.5/2.0/2.5/3.0/3.5"},
        // Other texts repeat with the pasted block's length.
        {"a\r\nb\r\n", {0, 0, 0, 4}, "1x5:a/b/a/b/a"},
        {"a\tb", {0, 0, 4, 0}, "5x1:a|b|a|b|a"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.clip.toStdString());
        const bool row = k.sel.Top == k.sel.Bottom && k.sel.Right > 0;
        ClipGrid g(row ? 5 : 1, row ? 1 : 5);
        g.SetFloatFormat(QStringLiteral("%.1f"));
        g.Navigation().SetAllowSmartClipboard(true);
        g.Select(k.sel.Left, k.sel.Top, k.sel.Right, k.sel.Bottom);
        PutText(k.clip);
        g.PasteSelectionFromClipboard();
        EXPECT_EQ(g.Texts(), k.grid);
    }
    SetFormatSettings(FormatSettings());

    // A one-line block goes again on each row of a block selection.
    ClipGrid b(3, 3);
    b.Navigation().SetAllowSmartClipboard(true);
    b.Select(0, 0, 1, 2);
    PutText("p\tq");
    b.PasteSelectionFromClipboard();
    EXPECT_EQ(b.Texts(), "3x3:p|q|/p|q|/p|q|");

    // Without the smart option only the block itself is pasted.
    ClipGrid plain(1, 3);
    plain.Select(0, 0, 0, 2);
    PutText("x");
    plain.PasteSelectionFromClipboard();
    EXPECT_EQ(plain.Texts(), "1x3:x//");
}

TEST(GridClipboard, CellFormatCarriesPropertiesBetweenGrids)
{
    ClipGrid src(2, 3, {"a|b", "c|d", "e|f"});
    src.Navigation().SetAllowFmtClipboard(true);
    src.SetFontColors(0, 0, clRed);
    src.AddCheckBox(1, 1, true, false);
    src.Select(0, 0, 1, 2);
    src.CopySelectionToClipboard();
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(m->hasFormat(kCells));
    EXPECT_TRUE(m->hasText());

    // The same grid: the copy's top-left cell and operation reach the hook.
    src.ShowModified().SetEnabled(true);
    int rows = 0, cols = 0;
    EXPECT_EQ(src.PasteClipboardAt(0, 3, rows, cols), 6);
    EXPECT_EQ(src.Source, QPoint(0, 0));
    EXPECT_EQ(src.Target, (TGridRect{0, 3, 1, 5}));
    EXPECT_EQ(src.RowCount(), 6);

    ClipGrid dst(1, 5);
    dst.Navigation().SetAllowFmtClipboard(true);
    dst.ShowModified().SetEnabled(true);
    EXPECT_EQ(dst.PasteClipboardAt(0, 1, rows, cols), 6);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(cols, 2);
    EXPECT_EQ(dst.Source, QPoint(-1, -1));
    EXPECT_EQ(dst.Texts(), "2x5:|/a|b/c|d/e|f/|");
    EXPECT_EQ(dst.FontColors(0, 1), clRed);
    bool state = false;
    EXPECT_TRUE(dst.GetCheckBoxState(1, 2, state));
    EXPECT_TRUE(state);
    for (int r = 0; r < 5; ++r) EXPECT_EQ(dst.RowModified(r), r >= 1 && r <= 3) << r;

    // Column growth off keeps ColCount; insert moves existing rows down.
    ClipGrid narrow(1, 2, {"k", "l"});
    narrow.Navigation().SetAllowFmtClipboard(true);
    narrow.Navigation().SetAllowClipboardColGrow(false);
    narrow.Navigation().SetAllowClipboardRowGrow(false);
    narrow.Navigation().SetClipboardPasteAction(paInsert);
    narrow.PasteClipboardAt(0, 1, rows, cols);
    EXPECT_EQ(narrow.Texts(), "1x5:k/a/c/e/l");
}

TEST(GridClipboard, BadCellBlockChangesNothingAndWholeGridCopyPastesAsBlock)
{
    ClipGrid src(2, 2, {"a|b", "c|d"});
    src.Navigation().SetAllowFmtClipboard(true);
    src.CopyToClipBoard();  // the save range: the whole grid
    const QByteArray good = QGuiApplication::clipboard()->mimeData()->data(kCells);

    // A whole-grid copy lands at the cell and keeps the target's other cells.
    ClipGrid dst(3, 3, {"k|k|k", "k|k|k", "k|k|k"});
    dst.Navigation().SetAllowFmtClipboard(true);
    int rows = 0, cols = 0;
    dst.PasteClipboardAt(2, 2, rows, cols);
    EXPECT_EQ(dst.Texts(), "4x4:k|k|k|/k|k|k|/k|k|a|b/||c|d");

    for (const QByteArray& bad : {good.left(good.size() - 3), QByteArray("TPF0garbage"), good + "x"}) {
        ClipGrid g(1, 1, {"keep"});
        g.Navigation().SetAllowFmtClipboard(true);
        g.Navigation().SetClipboardPasteAction(paInsert);
        QMimeData m;
        m.setData(kCells, bad);
        EXPECT_THROW(g.PasteMimeAt(&m, 0, 0, rows, cols), EReadError);
        EXPECT_EQ(g.Texts(), "1x1:keep");
    }
}

TEST(GridClipboard, RichTextAndHtmlCopies)
{
    const QString rtf = QStringLiteral("{\\rtf1\\ansi Caf\\'e9}");
    ClipGrid src(2, 1, {rtf + "|plain"});
    src.Navigation().SetAllowRTFClipboard(true);
    src.Select(0, 0, 1, 0);
    src.CopySelectionToClipboard();
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(m->data("text/rtf"), rtf.toLatin1());
    EXPECT_FALSE(m->hasFormat(kCells));

    ClipGrid dst(1, 1);
    dst.Navigation().SetAllowRTFClipboard(true);
    int rows = 0, cols = 0;
    EXPECT_EQ(dst.PasteClipboardAt(0, 0, rows, cols), 0);
    EXPECT_EQ(dst.Cells(0, 0), rtf);
    EXPECT_EQ(rows, 1);

    ClipGrid h(1, 1, {"<b>x</b> & y"});
    h.CopyToClipBoardAsHTML();
    const QMimeData* hm = QGuiApplication::clipboard()->mimeData();
    const QByteArray html = hm->data("text/html");
    EXPECT_TRUE(html.startsWith("<!DOCTYPE"));
    EXPECT_TRUE(html.contains("&amp; y"));
    EXPECT_EQ(hm->text(), QString::fromUtf8(html));
}

TEST(GridClipboard, ShortcutsRunOnlyWhenAllowedAndAskTheirEvents)
{
    ClipGrid g(2, 2, {"a|b"});
    g.Select(0, 0, 1, 0);
    PutText("before");
    Key(g, 'C', TShiftState{ssCtrl});
    EXPECT_EQ(ClipText(), "before");

    g.Navigation().SetAllowClipboardShortCuts(true);
    Key(g, 'C', TShiftState{ssCtrl});
    EXPECT_EQ(ClipText(), "a\tb");

    g.Select(0, 1, 1, 1);
    Key(g, VK_INSERT, TShiftState{ssShift});
    EXPECT_EQ(g.Texts(), "2x2:a|b/a|b");

    bool asked = false;
    g.OnClipboardCut = [&](QObject*, bool& allow) {
        asked = true;
        allow = false;
    };
    Key(g, 'X', TShiftState{ssCtrl});
    EXPECT_TRUE(asked);
    EXPECT_EQ(g.Texts(), "2x2:a|b/a|b");
    g.OnClipboardCut = nullptr;
    Key(g, VK_DELETE, TShiftState{ssShift});
    EXPECT_EQ(g.Texts(), "2x2:a|b/|");
}

TEST(GridClipboard, MeasureAndSelectionText)
{
    struct Case {
        QString text;
        int cols, span;
    } cases[] = {{"a\tb\r\nc\r\n", 2, 1}, {"a", 1, 0}, {"a\r\n\r\nb\tc\td", 3, 1}};
    for (const Case& k : cases) {
        int cols = -1, span = -1;
        TExtStringGrid::MeasurePastedText(k.text, cols, span);
        EXPECT_EQ(cols, k.cols) << k.text.toStdString();
        EXPECT_EQ(span, k.span) << k.text.toStdString();
    }

    ClipGrid g(1, 1);
    g.Select(0, 0, 0, 0);
    QString text = QStringLiteral("1\t2\r\n3\t4");
    g.SetSelectionAsText(text);
    EXPECT_EQ(g.Texts(), "2x2:1|2/3|4");
    EXPECT_EQ(g.GetSelectionAsText(), "1");
}
