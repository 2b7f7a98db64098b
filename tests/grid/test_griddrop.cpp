// Drops onto the string grid: drag events sent to its viewport, and drags
// carried from one grid to another through the drag runner.
#include "common/DragSupport.h"
#include "common/TestSupport.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridDrop.h"
#include "grid/GridIOLimits.h"
#include "platform/GridsWidget.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QUrl>

namespace {

QString Mime(const char* s) { return QString::fromLatin1(s); }

std::unique_ptr<QMimeData> TextData(const QString& s)
{
    auto m = std::make_unique<QMimeData>();
    m->setText(s);
    return m;
}

// A shown grid of 5 columns and 8 rows (one fixed row and column) taking
// drops, with every cell named by its place and the drop events recorded.
struct DropGrid {
    QWidget form;
    TExtStringGrid g;
    int dropped = 0;
    TGridRect droppedRange{-1, -1, -1, -1};
    QStringList drops;

    explicit DropGrid(int cols = 5, int rows = 8, int height = 300)
    {
        g.SetColCount(cols);
        g.SetRowCount(rows);
        g.CreateWnd(&form);
        g.SetBounds(0, 0, 420, height);
        form.resize(440, height + 20);
        form.show();
        g.SetOptions(g.Options().With(goEditing));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) g.SetCells(c, r, QStringLiteral("%1%2").arg(QChar('A' + c)).arg(r));
        g.DragDropSettings().SetOleDropTarget(true);
        g.OnOleDropped = [this](TExtStringGrid*, const TGridRect& r) {
            ++dropped;
            droppedRange = r;
        };
        g.OnOleDrop = [this](TExtStringGrid*, int r, int c, const QString& s, bool&) {
            drops << QStringLiteral("%1,%2:%3").arg(r).arg(c).arg(s);
        };
    }
    QWidget* Port() { return g.Widget()->viewport(); }
    QPoint At(int c, int r) { return g.CellRect(c, r).ToQRect().center(); }
    QString Row(int r)
    {
        QStringList s;
        for (int c = 0; c < g.ColCount(); ++c) s << g.Cells(c, r);
        return s.join(u'|');
    }
};

} // namespace

TEST(GridDropTarget, FollowsTheDropTargetSetting)
{
    DropGrid d;
    ASSERT_NE(d.g.DropTarget(), nullptr);
    EXPECT_EQ(d.g.DropTarget()->Widget(), d.Port());
    d.g.DragDropSettings().SetOleDropTarget(false);
    EXPECT_EQ(d.g.DropTarget()->Widget(), nullptr);
    auto m = TextData("x");
    EXPECT_FALSE(SendDrag(d.Port(), m.get(), {d.At(1, 2)}).DropAccepted);
    EXPECT_EQ(d.g.Cells(1, 2), "B2");
    // The viewport keeps taking drag events for drag scrolling.
    EXPECT_TRUE(d.Port()->acceptDrops());

    // The accept flags come from the drag settings.
    d.g.DragDropSettings().SetOleDropTarget(true);
    d.g.DragDropSettings().SetOleAcceptText(false);
    EXPECT_FALSE(SendDrag(d.Port(), m.get(), {d.At(1, 2)}).EnterAccepted);
}

TEST(GridDropTarget, TextLandsAtTheCellAndIsSelected)
{
    DropGrid d;
    auto m = TextData("a\tb\r\nc\td\r\n");
    const DragOutcome o = SendDrag(d.Port(), m.get(), {d.At(1, 2)}, Qt::CopyAction | Qt::MoveAction, Qt::ControlModifier);
    EXPECT_EQ(o.DropAction, Qt::CopyAction);
    EXPECT_EQ(d.Row(2), "A2|a|b|D2|E2");
    EXPECT_EQ(d.Row(3), "A3|c|d|D3|E3");
    EXPECT_EQ(d.drops, QStringList({"2,1:a\tb\r\nc\td\r\n"}));
    const TGridRect want{1, 2, 2, 3};
    EXPECT_EQ(d.g.Selection(), want);
    EXPECT_EQ(d.dropped, 1);
    EXPECT_EQ(d.droppedRange, want);
    // A cell holding a line break arrives quoted and stays one cell.
    auto quoted = TextData("\"one\ntwo\"\tx");
    SendDrag(d.Port(), quoted.get(), {d.At(1, 5)});
    EXPECT_EQ(d.g.Cells(1, 5), "one\r\ntwo");
    EXPECT_EQ(d.g.Cells(2, 5), "x");
    EXPECT_EQ(d.g.Cells(1, 6), "B6");
}

TEST(GridDropTarget, RefusedDropsChangeNothing)
{
    DropGrid d;
    auto m = TextData("new");
    // The header row refuses the drag, and a drop sent there all the same.
    DragOutcome o = SendDrag(d.Port(), m.get(), {d.At(1, 0)});
    EXPECT_EQ(o.MovesAccepted, std::vector<bool>({false}));
    EXPECT_FALSE(o.DropAccepted);
    // The event refuses: nothing written, no OnOleDropped, no effect for the source.
    d.g.OnOleDrop = [](TExtStringGrid*, int, int, const QString&, bool& allow) { allow = false; };
    o = SendDrag(d.Port(), m.get(), {d.At(2, 3)});
    EXPECT_EQ(o.DropAction, Qt::IgnoreAction);
    EXPECT_EQ(d.g.Cells(1, 0), "B0");
    EXPECT_EQ(d.g.Cells(2, 3), "C3");
    EXPECT_EQ(d.dropped, 0);
    EXPECT_EQ(d.g.RowCount(), 8);
    // OnOleDragOver may refuse too.
    d.g.OnOleDrop = nullptr;
    d.g.OnOleDragOver = [](TExtStringGrid*, int r, int, bool& allow) { allow = r != 4; };
    o = SendDrag(d.Port(), m.get(), {d.At(2, 4), d.At(2, 5)});
    EXPECT_EQ(o.MovesAccepted, std::vector<bool>({false, true}));
}

TEST(GridDropTarget, HeaderOnlyGridTakesTheDropInRowOne)
{
    DropGrid d(4, 1);
    d.g.SetFixedRowAlways(true);
    d.g.DragDropSettings().SetOleInsertRows(true);
    auto m = TextData("p\tq");
    // The insertion arrow points under the header, at the cell's left.
    QDragEnterEvent enter(d.At(1, 0), Qt::CopyAction, m.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(d.Port(), &enter);
    QDragMoveEvent move(d.At(1, 0), Qt::CopyAction, m.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(d.Port(), &move);
    TArrowWindow* arrow = d.g.InsertionArrow(arrLeft);
    EXPECT_TRUE(arrow->isVisible());
    EXPECT_EQ(arrow->parentWidget(), d.Port());
    EXPECT_EQ(arrow->pos(), QPoint(d.g.CellRect(1, 0).Left - 10, d.g.CellRect(1, 0).Bottom));
    QDragLeaveEvent leave;
    QApplication::sendEvent(d.Port(), &leave);
    EXPECT_FALSE(arrow->isVisible());
    const DragOutcome o = SendDrag(d.Port(), m.get(), {d.At(1, 0)});
    EXPECT_EQ(o.MovesAccepted, std::vector<bool>({true}));
    EXPECT_TRUE(o.DropAccepted);
    ASSERT_EQ(d.g.RowCount(), 2);
    EXPECT_EQ(d.g.Cells(0, 0), "A0");
    EXPECT_EQ(d.g.Cells(1, 1), "p");
    EXPECT_EQ(d.g.Cells(2, 1), "q");
    EXPECT_FALSE(d.g.InsertionArrow(arrLeft)->isVisible());
}

TEST(GridDropTarget, InsertingAndAppendingRows)
{
    DropGrid d(4, 4);
    TDragDropSettings& dd = d.g.DragDropSettings();
    dd.SetOleEntireRows(true);
    dd.SetOleAppendRows(true);
    dd.SetOleInsertRows(true);
    // Below the last row: two rows appended, the text in the first new one.
    const TRect last = d.g.CellRect(0, 3);
    const QPoint below(last.Left + 70, last.Bottom + 20);
    auto m = TextData("x\ty\r\nz\r\n");
    DragOutcome o = SendDrag(d.Port(), m.get(), {below});
    EXPECT_EQ(o.MovesAccepted, std::vector<bool>({true}));
    ASSERT_EQ(d.g.RowCount(), 6);
    EXPECT_EQ(d.Row(3), "A3|B3|C3|D3");
    EXPECT_EQ(d.Row(4), "|x|y|");
    EXPECT_EQ(d.Row(5), "|z||");

    // On a row: rows inserted there, the old row moves down.
    o = SendDrag(d.Port(), m.get(), {d.At(2, 2)});
    ASSERT_EQ(d.g.RowCount(), 8);
    EXPECT_EQ(d.Row(2), "||x|y");
    EXPECT_EQ(d.Row(4), "A2|B2|C2|D2");

    // A paste refused for the grid's size takes its inserted rows back.
    d.g.Navigation().SetAllowClipboardColGrow(true);
    auto wide = TextData(QString(GridIOLimits::MaxCols + 1, QLatin1Char('\t')) + QStringLiteral("w"));
    {
        ScriptedMessages boxes;
        boxes.Expect(QStringLiteral("The pasted text needs a grid larger than 16384 columns by 1048576 rows"));
        o = SendDrag(d.Port(), wide.get(), {d.At(2, 2)});
    }
    EXPECT_EQ(o.DropAction, Qt::IgnoreAction);
    EXPECT_EQ(d.g.RowCount(), 8);
    EXPECT_EQ(d.Row(2), "||x|y");
    EXPECT_EQ(d.g.ColCount(), 4);

    // A grid the paster may not write gets no empty rows.
    d.g.SetOptions(d.g.Options().Without(goEditing));
    SendDrag(d.Port(), m.get(), {d.At(2, 2)});
    EXPECT_EQ(d.g.RowCount(), 8);
    EXPECT_EQ(d.Row(2), "||x|y");
}

TEST(GridDropTarget, AutoScrollWhileDragging)
{
    // No fixed rows: 7 px below the top scrolls up one row per move.
    DropGrid d(30, 40, 150);
    d.g.SetFixedRows(0);
    d.g.SetTopRow(3);
    auto m = TextData("t");
    SendDrag(d.Port(), m.get(), {{100, 7}, {100, 7}}, Qt::CopyAction | Qt::MoveAction, Qt::NoModifier, false);
    EXPECT_EQ(d.g.TopRow(), 1);

    // Sideways: one column per tick of the grid's timer, however many moves.
    d.g.GridTimerTick();
    if (d.g.TimerTicks() % 2) d.g.GridTimerTick();
    const int left = d.g.LeftCol();
    const int edge = d.g.LeftCol() + d.g.VisibleColCount();
    const TRect cell = d.g.CellRect(edge, 2);
    ASSERT_GT(cell.Right, cell.Left);
    const QPoint p((cell.Left + std::min(cell.Right, d.g.ClientWidth() - 1)) / 2, (cell.Top + cell.Bottom) / 2);
    SendDrag(d.Port(), m.get(), {p, p, p}, Qt::CopyAction | Qt::MoveAction, Qt::NoModifier, false);
    EXPECT_EQ(d.g.LeftCol(), left + 1);
    d.g.GridTimerTick();
    SendDrag(d.Port(), m.get(), {p, p}, Qt::CopyAction | Qt::MoveAction, Qt::NoModifier, false);
    EXPECT_EQ(d.g.LeftCol(), left + 2);
}

TEST(GridDropTarget, ColumnDroppedRightOfTheLastMovesToTheEnd)
{
    DropGrid d(4, 4);
    d.g.DragDropSettings().SetOleColumnReorder(true);
    auto col = std::make_unique<QMimeData>();
    col->setData(Mime(DragColumnMimeType), EncodeColumnBlock(1));
    const TRect last = d.g.CellRect(3, 0);
    const QPoint right(last.Right + 15, (last.Top + last.Bottom) / 2);
    std::vector<int> events;
    d.g.OnOleDropCol = [&](TExtStringGrid*, int r, int c, int dc) { events = {r, c, dc}; };
    const DragOutcome o = SendDrag(d.Port(), col.get(), {right});
    EXPECT_EQ(o.MovesAccepted, std::vector<bool>({true}));
    EXPECT_TRUE(o.DropAccepted);
    EXPECT_EQ(d.Row(0), "A0|C0|D0|B0");
    EXPECT_EQ(events, std::vector<int>({-1, 3, 1}));

    // Below the fixed rows a column is refused; a column outside the grid moves nothing.
    EXPECT_EQ(SendDrag(d.Port(), col.get(), {d.At(2, 2)}).MovesAccepted, std::vector<bool>({false}));
    col->setData(Mime(DragColumnMimeType), EncodeColumnBlock(99));
    SendDrag(d.Port(), col.get(), {d.At(2, 0)});
    EXPECT_EQ(d.Row(0), "A0|C0|D0|B0");
}

TEST(GridDropTarget, ColumnFromAColumnListIsShownWhereDropped)
{
    DropGrid d(5, 4);
    d.g.DragDropSettings().SetOleColumnDragDrop(true);
    d.g.SetColumnOrder();
    d.g.HideColumn(3);
    QListWidget list;
    list.addItems({"x", "D"});
    d.g.OleColumnDragStart(3, 1, &list);
    auto col = std::make_unique<QMimeData>();
    col->setData(Mime(DragColumnMimeType), EncodeColumnBlock(3));
    EXPECT_TRUE(SendDrag(d.Port(), col.get(), {d.At(1, 0)}).DropAccepted);
    EXPECT_FALSE(d.g.IsHiddenColumn(3));
    EXPECT_EQ(d.Row(0), "A0|D0|B0|C0|E0");
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.item(0)->text(), "x");

    // The next column drop is an ordinary one again: without reordering
    // nothing moves.
    SendDrag(d.Port(), col.get(), {d.At(3, 0)});
    EXPECT_EQ(d.Row(0), "A0|D0|B0|C0|E0");
}

TEST(GridDropTarget, RichTextAndUrlsOnlyIntoEditableCells)
{
    DropGrid d;
    auto url = std::make_unique<QMimeData>();
    url->setUrls({QUrl("https://example.org/a")});
    EXPECT_TRUE(SendDrag(d.Port(), url.get(), {d.At(2, 2)}).DropAccepted);
    EXPECT_EQ(d.g.Cells(2, 2), "https://example.org/a");

    d.g.SetOptions(d.g.Options().Without(goEditing));
    EXPECT_EQ(SendDrag(d.Port(), url.get(), {d.At(2, 3)}).DropAction, Qt::IgnoreAction);
    EXPECT_EQ(d.g.Cells(2, 3), "C3");
    d.g.Navigation().SetAllowClipboardAlways(true);
    SendDrag(d.Port(), url.get(), {d.At(2, 3)});
    EXPECT_EQ(d.g.Cells(2, 3), "https://example.org/a");

    d.g.DragDropSettings().SetOleDropRTF(true);
    auto rtf = std::make_unique<QMimeData>();
    rtf->setData(Mime(DragRtfMimeType), "{\\rtf1 hi}");
    d.g.Navigation().SetAllowClipboardAlways(false);
    SendDrag(d.Port(), rtf.get(), {d.At(3, 3)});
    EXPECT_EQ(d.g.Cells(3, 3), "D3");
    d.g.SetOptions(d.g.Options().With(goEditing));
    SendDrag(d.Port(), rtf.get(), {d.At(3, 3)});
    EXPECT_EQ(d.g.Cells(3, 3), "{\\rtf1 hi}");
    d.g.DragDropSettings().SetOleDropRTF(false);
}

TEST(GridDropTarget, DroppedFilesLoadByTheirLastSuffix)
{
    QTemporaryDir dir;
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.filePath(name);
    };
    TExtStringGrid book;
    book.SetColCount(2);
    book.SetRowCount(2);
    book.SetCells(0, 0, "w1");
    book.SetCells(1, 1, "w2");
    const QString workbook = dir.filePath("x.csv.xls");
    book.SaveToXLS(workbook);
    const QString upper = write("DATA.CSV", "p,q\r\nr,s\r\n");
    const QString text = write("notes.txt", "p,q\r\n");

    struct Case {
        QStringList files;
        QStringList loads; // OnOleDrop calls for the files
        QString cell00;
    };
    const std::vector<Case> cases = {
        {{upper}, {"-1,-1:" + upper}, "p"},
        {{workbook}, {"-1,-1:" + workbook}, "w1"},
        {{text}, {}, "A0"},
        {{upper, workbook}, {}, "A0"},
    };
    for (const Case& c : cases) {
        DropGrid d;
        QStringList seen;
        d.g.OnOleDropFile = [&](TExtStringGrid*, int, int, const QString& f, bool&) { seen << f; };
        auto m = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString& f : c.files) urls << QUrl::fromLocalFile(f);
        m->setUrls(urls);
        SendDrag(d.Port(), m.get(), {d.At(1, 1)});
        EXPECT_EQ(d.drops, c.loads) << c.files.join(u' ').toStdString();
        EXPECT_EQ(d.g.Cells(0, 0), c.cell00) << c.files.join(u' ').toStdString();
        EXPECT_EQ(seen.size(), c.files.size() == 1 ? 1 : 0);
    }
}

TEST(GridDropTarget, DamagedCellBlocksChangeNothing)
{
    DropGrid d;
    auto m = std::make_unique<QMimeData>();
    m->setData(Mime(DragGridCellsMimeType), EncodeGridCellsBlock("not a cell stream"));
    const DragOutcome o = SendDrag(d.Port(), m.get(), {d.At(1, 1)});
    EXPECT_EQ(o.DropAction, Qt::IgnoreAction);
    EXPECT_EQ(d.Row(1), "A1|B1|C1|D1|E1");
    EXPECT_EQ(d.dropped, 0);
}

TEST(GridDropTarget, DragRunnerCarriesCellsFromGridToGrid)
{
    DropGrid a, b;
    a.g.Navigation().SetAllowFmtClipboard(true);
    const QByteArray stream = a.g.SaveRectToBinBytes({1, 1, 2, 2});
    TESGDropSource source;
    int effect = -1;
    {
        CarryDragsTo carry(b.Port(), {b.At(2, 3)});
        EXPECT_EQ(BeginTextDragDrop(a.g.Widget(), source, "B1\tC1\r\nB2\tC2\r\n", QString(), effect,
                                    Qt::CopyAction | Qt::MoveAction, &stream),
                  Qt::MoveAction);
    }
    EXPECT_EQ(effect, 2);
    EXPECT_EQ(b.Row(3), "A3|B3|B1|C1|E3");
    EXPECT_EQ(b.Row(4), "A4|B4|B2|C2|E4");
    EXPECT_EQ(b.dropped, 1);
    EXPECT_EQ(a.Row(1), "A1|B1|C1|D1|E1");
}
