// The multi-column drop-down and its list: completion in the edit, keys,
// searching and choosing in the open list, sizing and the list's painting.
#include "common/PixelSupport.h"
#include "dropdown/ExtMultiColumnDropDown.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

using namespace ExtMultiColumnDropDown;

namespace {

class MultiColumnTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.resize(500, 400);
        dd = new TExtMultiColumnDropDown(&host);
        dd->setGeometry(20, 20, 200, 21);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        dd->setFocus();
    }
    void TearDown() override
    {
        if (dd->DroppedDown()) dd->HideDropDown(false);
    }
    void AddColumns(int n)
    {
        for (int i = 0; i < n; ++i) {
            TDropDownColumn& c = dd->Columns().Add();
            c.Header = QStringLiteral("H%1").arg(i);
            c.Width = 60;
        }
    }
    void AddItems(const std::vector<QStringList>& rows)
    {
        for (const QStringList& r : rows) dd->Items().Add().Text = r;
        dd->EndUpdate();
    }
    void Type(const QString& s) { QTest::keyClicks(dd, s); }
    TExtColGrid* Grid() const { return dd->Grid(); }

    QWidget host;
    TExtMultiColumnDropDown* dd = nullptr;
};

} // namespace

TEST(MultiColumnHelpers, WholeRowsHeightTable)
{
    struct Case {
        int height, strips, header, row, expected;
    };
    const Case cases[] = {
        {200, 0, 25, 22, 181},  // 173 / 22 = 7 rows
        {200, 44, 25, 22, 181}, // 129 / 22 = 5 rows under both strips
        {49, 0, 25, 22, 49},    // exactly one row
        {48, 0, 25, 22, 27},    // not quite one row
        {100, 0, 25, 10, 97},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WholeRowsHeight(c.height, c.strips, c.header, c.row), c.expected) << c.height << " " << c.strips;
}

TEST(MultiColumnHelpers, ScaledColumnWidthsCarryTheRoundingError)
{
    // f = 200 / 241: 66.39 each; the carry passes 1 at the third column.
    EXPECT_EQ(ScaledColumnWidths({80, 80, 80}, 200), (std::vector<int>{66, 66, 67}));
    // Halves go to the even neighbour: f = 101 / 101 * 1.0 with widths 50, 50.
    EXPECT_EQ(ScaledColumnWidths({50, 50}, 101), (std::vector<int>{50, 50}));
    // f = 2.5 / 1 * ...: 1 + 3 = 4, avail 10 -> f = 2.5, 3 * 2.5 = 7.5 -> 8.
    EXPECT_EQ(ScaledColumnWidths({3}, 10), (std::vector<int>{8}));
    EXPECT_EQ(ScaledColumnWidths({}, 10), (std::vector<int>{}));
}

TEST_F(MultiColumnTest, CreationValues)
{
    EXPECT_EQ(dd->LineColor(), 0xF1EDEBu);
    EXPECT_EQ(dd->FixedLineColor(), 0xD1BBA4u);
    EXPECT_EQ(dd->HeaderColor(), 0xFFFFFFu);
    EXPECT_EQ(dd->HeaderColorTo(), 0x808080u);
    EXPECT_EQ(dd->HeaderFontColor(), 0x723708u);
    EXPECT_EQ(dd->DropDownHeight(), 200);
    EXPECT_EQ(dd->ItemIndex(), -1);
    EXPECT_NE(dd->LineColor(), TExtMultiColumnDropDown::LineColorStreamDefault);
    ASSERT_NE(Grid(), nullptr);
    EXPECT_EQ(Grid()->GridLineWidth(), 1);
    EXPECT_EQ(Grid()->TCustomGrid::GridLineWidth(), 0);
}

TEST_F(MultiColumnTest, CompletionWhileTyping)
{
    AddColumns(2);
    AddItems({{QStringLiteral("ALPHA"), QStringLiteral("1")}, {QStringLiteral("BETA"), QStringLiteral("2")}, {QString(300, QChar('Z'))}});

    Type(QStringLiteral("al"));
    EXPECT_EQ(dd->text(), QStringLiteral("alPHA"));
    EXPECT_EQ(dd->selectedText(), QStringLiteral("PHA"));
    EXPECT_EQ(dd->cursorPosition(), 2);
    EXPECT_EQ(dd->ItemIndex(), 0);

    // The whole entry typed in lower case takes the entry's case on release.
    dd->SetText(QString());
    Type(QStringLiteral("beta"));
    EXPECT_EQ(dd->text(), QStringLiteral("BETA"));
    EXPECT_EQ(dd->cursorPosition(), 4);
    EXPECT_FALSE(dd->hasSelectedText());
    EXPECT_EQ(dd->ItemIndex(), 1);

    // Completion adds the whole rest of a long entry.
    dd->SetText(QString());
    Type(QStringLiteral("zz"));
    EXPECT_EQ(dd->text().size(), 300);
    EXPECT_EQ(dd->selectedText().size(), 298);
    EXPECT_EQ(dd->ItemIndex(), 2);
}

TEST_F(MultiColumnTest, CharacterNoEntryContinuesCutsBackToTheCaret)
{
    AddColumns(1);
    AddItems({{QStringLiteral("ALPHA")}});
    dd->SetText(QStringLiteral("xyz"));
    dd->setCursorPosition(1);
    Type(QStringLiteral("q"));
    EXPECT_EQ(dd->text(), QStringLiteral("xq"));
    EXPECT_EQ(dd->cursorPosition(), 2);
}

TEST_F(MultiColumnTest, KeysWithoutItemsChangeNothing)
{
    AddColumns(1);
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_End}) {
        QTest::keyClick(dd, k);
        EXPECT_EQ(dd->ItemIndex(), -1);
        EXPECT_TRUE(dd->text().isEmpty());
    }
}

TEST_F(MultiColumnTest, PageAndArrowKeys)
{
    AddColumns(1);
    std::vector<QStringList> rows;
    for (int i = 0; i < 100; ++i) rows.push_back({QStringLiteral("item %1").arg(i)});
    AddItems(rows);

    QTest::keyClick(dd, Qt::Key_Down);
    EXPECT_EQ(dd->ItemIndex(), 0);
    EXPECT_EQ(dd->text(), QStringLiteral("item 0"));
    QTest::keyClick(dd, Qt::Key_Up);
    EXPECT_EQ(dd->ItemIndex(), 0);
    dd->SetItemIndex(95);
    QTest::keyClick(dd, Qt::Key_PageDown);
    EXPECT_EQ(dd->ItemIndex(), 99);
    QTest::keyClick(dd, Qt::Key_Down);
    EXPECT_EQ(dd->ItemIndex(), 99);
    dd->SetItemIndex(5);
    QTest::keyClick(dd, Qt::Key_PageUp);
    EXPECT_EQ(dd->ItemIndex(), 0);
    // Home and End keep the caret in an editable edit and choose otherwise.
    dd->SetItemIndex(50);
    QTest::keyClick(dd, Qt::Key_End);
    EXPECT_EQ(dd->ItemIndex(), 50);
    dd->SetEditorEnabled(false);
    QTest::keyClick(dd, Qt::Key_End);
    EXPECT_EQ(dd->ItemIndex(), 99);
    QTest::keyClick(dd, Qt::Key_Home);
    EXPECT_EQ(dd->ItemIndex(), 0);
}

TEST_F(MultiColumnTest, ItemIndexWritesAndEscape)
{
    AddColumns(2);
    AddItems({{QStringLiteral("ALPHA"), QStringLiteral("1")}, {QStringLiteral("BETA")}});
    dd->SetItemIndex(1);
    EXPECT_EQ(dd->text(), QStringLiteral("BETA"));
    dd->SetItemIndex(2); // at the count: ignored
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->text(), QStringLiteral("BETA"));
    dd->SetLookupColumn(1);
    dd->SetItemIndex(1); // the item has no lookup string
    EXPECT_TRUE(dd->text().isEmpty());
    dd->SetLookupColumn(0);
    dd->SetItemIndex(-1);
    EXPECT_TRUE(dd->text().isEmpty());
    EXPECT_EQ(dd->GetItemIndex(QStringLiteral("BETA")), 1);
    EXPECT_EQ(dd->GetItemIndex(QStringLiteral("beta")), -1);

    Type(QStringLiteral("qq"));
    EXPECT_EQ(dd->text(), QStringLiteral("qq"));
    QTest::keyClick(dd, Qt::Key_Escape);
    EXPECT_TRUE(dd->text().isEmpty());
    EXPECT_EQ(dd->ItemIndex(), -1);
}

TEST_F(MultiColumnTest, EnterTakesTheEntryAsStored)
{
    AddColumns(1);
    AddItems({{QStringLiteral("ALPHA")}, {QStringLiteral("BETA")}});
    dd->SetTextDirect(QStringLiteral("beta"));
    QTest::keyClick(dd, Qt::Key_Return);
    EXPECT_EQ(dd->text(), QStringLiteral("BETA"));
    EXPECT_EQ(dd->ItemIndex(), 1);
}

TEST_F(MultiColumnTest, OpeningFillsTheListAndCancelRestores)
{
    AddColumns(3);
    AddItems({{QStringLiteral("ALPHA"), QStringLiteral("a")}, {QStringLiteral("BETA")}, {QStringLiteral("GAMMA")}});
    dd->SetItemIndex(1);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    EXPECT_EQ(Grid()->RowCount(), 4);
    EXPECT_EQ(Grid()->ColCount(), 3);
    EXPECT_EQ(Grid()->Row(), 2);
    EXPECT_EQ(Grid()->RowHeights(0), 25);
    // The columns are stretched over the pop-up (all rows fit: no scroll bar).
    const std::vector<int> expected = ScaledColumnWidths({60, 60, 60}, dd->DropDownForm()->width());
    for (int c = 0; c < 3; ++c) EXPECT_EQ(Grid()->ColWidths(c), expected[size_t(c)]);
    // The height holds whole rows.
    EXPECT_EQ((dd->DropDownForm()->height() - 25 - 2) % 22, 0);

    Grid()->SetRow(3);
    EXPECT_EQ(dd->ItemIndex(), 2);
    EXPECT_EQ(dd->text(), QStringLiteral("GAMMA"));
    dd->HideDropDown(true);
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->text(), QStringLiteral("BETA"));
}

TEST_F(MultiColumnTest, SearchInTheOpenList)
{
    AddColumns(1);
    AddItems({{QStringLiteral("ALPHA")}, {QStringLiteral("BETA")}, {QStringLiteral("BETAMAX")}});
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    QChar k('b');
    dd->ControlKeyPress(k);
    EXPECT_EQ(dd->LookupEntry(), QStringLiteral("b"));
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(Grid()->Row(), 2);
    k = QChar('a'); // "ba" continues nothing, "a" starts ALPHA
    dd->ControlKeyPress(k);
    EXPECT_EQ(dd->LookupEntry(), QStringLiteral("a"));
    EXPECT_EQ(dd->ItemIndex(), 0);
    k = QChar('q'); // starts nothing
    dd->ControlKeyPress(k);
    EXPECT_TRUE(dd->LookupEntry().isEmpty());
    EXPECT_EQ(dd->ItemIndex(), 0);
}

TEST_F(MultiColumnTest, FindLookupMatchCase)
{
    AddColumns(2);
    AddItems({{QStringLiteral("x")}, {QStringLiteral("Beta"), QStringLiteral("2")}});
    dd->SetLookupColumn(1);
    QString text;
    int index = 0;
    EXPECT_FALSE(dd->FindLookupMatch(QString(), text, index));
    EXPECT_EQ(index, -1);
    EXPECT_TRUE(dd->FindLookupMatch(QStringLiteral("2"), text, index));
    EXPECT_EQ(index, 1);
    dd->SetLookupColumn(0);
    EXPECT_TRUE(dd->FindLookupMatch(QStringLiteral("BE"), text, index));
    EXPECT_EQ(text, QStringLiteral("Beta"));
    dd->SetCaseSensitive(true);
    EXPECT_FALSE(dd->FindLookupMatch(QStringLiteral("BE"), text, index));
}

TEST_F(MultiColumnTest, AutoSizedWidthsAndNaturalWidth)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    AddColumns(2);
    dd->Columns().Items(1).AutoSize = true;
    dd->Columns().Items(1).Font = f;
    dd->Columns().Items(0).Width = 70;
    // Without items the auto-sized column is 0 wide.
    Grid()->UpdateFromDropDown(dd);
    EXPECT_EQ(Grid()->ColWidths(1), 0);

    AddItems({{QStringLiteral("a"), QStringLiteral("short")}, {QStringLiteral("b"), QStringLiteral("a longer text")}, {QStringLiteral("c")}});
    Grid()->UpdateFromDropDown(dd);
    const QFontMetrics fm(f);
    EXPECT_EQ(Grid()->ColWidths(1), fm.horizontalAdvance(QStringLiteral("a longer text")) + 6);
    EXPECT_EQ(Grid()->Columns().Items(1).Width, Grid()->ColWidths(1));
    EXPECT_EQ(dd->Columns().Items(1).Width, 60); // the drop-down's own column stays

    // Natural width, on a list without a window of its own.
    TExtColGrid list;
    list.UpdateFromDropDown(dd);
    list.SetColWidths(1, 90);
    list.SetClientSize(300, 500);
    EXPECT_EQ(list.GetNaturalWidth(), 70 + 90);
    list.SetClientSize(300, 60);
    EXPECT_EQ(list.GetNaturalWidth(), 70 + 90 + QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

namespace {

// The list painted into an image of its client size.
QImage PaintList(TExtColGrid& g, int w, int h)
{
    g.SetClientSize(w, h);
    QImage img = White(w, h);
    TCanvas c(&img);
    g.Paint(c);
    return img;
}

} // namespace

TEST_F(MultiColumnTest, ListPainting)
{
    AddColumns(3);
    for (int i = 0; i < 3; ++i) dd->Columns().Items(i).Color = 0xF0F0F0;
    AddItems({{QStringLiteral("ALPHA"), QStringLiteral("xx"), QStringLiteral("yy")}, {QStringLiteral("BETA")}});
    TExtColGrid list;
    list.UpdateFromDropDown(dd);
    list.SetRow(1);
    const QImage img = PaintList(list, 180, 120);
    // Gradient header: white at the top to grey at the bottom.
    EXPECT_GE(At(img, 30, 1) & 0xFF, 0xF0u);
    const TColor bottom = At(img, 30, 22);
    EXPECT_LT(bottom & 0xFF, 0x90u);
    // The selected row is painted in the selection colours, not the column's.
    EXPECT_NE(At(img, 100, 25 + 11), 0xF0F0F0u);
    // Row 2 (BETA): its second and third cells have no text.
    for (int x = 62; x < 118; ++x)
        for (int y = 25 + 22 + 2; y < 25 + 44 - 3; ++y) ASSERT_EQ(At(img, x, y), 0xF0F0F0u) << x << "," << y;
    // Data lines in LineColor at the cell's bottom.
    EXPECT_EQ(At(img, 70, 25 + 44 - 1), dd->LineColor());

    // A flat header without a bottom colour.
    dd->SetHeaderColorTo(clNone);
    dd->SetHeaderColor(0x00FF00);
    list.UpdateFromDropDown(dd);
    const QImage flat = PaintList(list, 180, 120);
    EXPECT_EQ(At(flat, 30, 1), 0x00FF00u);
    EXPECT_EQ(At(flat, 30, 21), 0x00FF00u);

    // A line width of 0 draws no data lines.
    list.SetGridLineWidth(0);
    const QImage nolines = PaintList(list, 180, 120);
    EXPECT_EQ(At(nolines, 70, 25 + 44 - 1), 0xF0F0F0u);
}

TEST_F(MultiColumnTest, ListWithoutItemsIsOneEmptyDataRow)
{
    AddColumns(2);
    TExtColGrid list;
    list.UpdateFromDropDown(dd);
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(list.FixedRows(), 0);
    const QImage img = PaintList(list, 120, 60);
    // The row is the current one, in the light selection colours, with no
    // header gradient and no header text (nothing dark inside the cell).
    for (int x = 3; x < 55; ++x)
        for (int y = 3; y < 18; ++y) ASSERT_GE(qGray(img.pixel(x, y)), 0xC0) << x << "," << y;
    EXPECT_NE(At(img, 30, 10), 0xFFFFFFu);
}

TEST_F(MultiColumnTest, RightButtonReleaseOverARowChooses)
{
    AddColumns(1);
    AddItems({{QStringLiteral("ALPHA")}, {QStringLiteral("BETA")}, {QStringLiteral("GAMMA")}});
    int selected = 0;
    dd->OnSelect = [&](TExtMultiColumnDropDown*) { ++selected; };
    dd->SetItemIndex(1);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    // The right button does not move the current row; its release over a
    // data row takes the current one and closes.
    const TRect r = Grid()->GetCellRect(0, 3);
    Grid()->MouseDown(mbRight, {}, r.Left + 5, r.Top + 5);
    Grid()->MouseUp(mbRight, {}, r.Left + 5, r.Top + 5);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->text(), QStringLiteral("BETA"));
    EXPECT_EQ(selected, 1);
}

TEST_F(MultiColumnTest, StylesSetTheListColours)
{
    dd->SetComponentStyle(tsOffice2010Blue);
    EXPECT_EQ(dd->HeaderColorTo(), clNone);
    EXPECT_EQ(dd->SelectionColor(), 0x6CD0FFu);
    EXPECT_EQ(dd->LineColor(), 0xEEDDCFu);
    EXPECT_EQ(dd->HeaderFontColor(), 0x5B391Eu);
    dd->SetComponentStyle(tsOffice2003Silver); // header font colour unchanged
    EXPECT_EQ(dd->HeaderFontColor(), 0x5B391Eu);
    dd->SetComponentStyle(tsWindowsXP);
    EXPECT_EQ(dd->LineColor(), 0xC0C0C0u);
    EXPECT_EQ(dd->FixedLineColor(), 0u);
    EXPECT_EQ(dd->SelectionTextColor(), clHighlightText);
    dd->SetComponentStyle(tsWindowsVista);
    EXPECT_EQ(dd->LineColor(), 0xFCF2DAu);
    EXPECT_EQ(dd->SelectionTextColor(), 0u);
    dd->SetComponentStyle(tsCustom);
    EXPECT_EQ(dd->LineColor(), 0xFCF2DAu);
}

// ---- real events ----------------------------------------------------------------

TEST_F(MultiColumnTest, RealKeysOpenMoveAndEnter)
{
    AddColumns(2);
    AddItems({{QStringLiteral("ALPHA")}, {QStringLiteral("BETA")}, {QStringLiteral("GAMMA")}});
    QTest::keyClick(dd, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(dd->DroppedDown());
    QWidget* list = Grid()->Widget();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(dd->ItemIndex(), 1);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(dd->ItemIndex(), 2);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 2);
    EXPECT_EQ(dd->text(), QStringLiteral("GAMMA"));
}

TEST_F(MultiColumnTest, RealClickOnARowChooses)
{
    AddColumns(2);
    AddItems({{QStringLiteral("ALPHA")}, {QStringLiteral("BETA")}, {QStringLiteral("GAMMA")}});
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    auto* area = dynamic_cast<TGridWidget*>(Grid()->Widget());
    ASSERT_NE(area, nullptr);
    const TRect r = Grid()->GetCellRect(0, 2);
    QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, QPoint(r.Left + 10, r.Top + 5));
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->text(), QStringLiteral("BETA"));
}

TEST_F(MultiColumnTest, WheelInTheListMovesWithoutChoosing)
{
    AddColumns(1);
    std::vector<QStringList> rows;
    for (int i = 0; i < 30; ++i) rows.push_back({QStringLiteral("item %1").arg(i)});
    AddItems(rows);
    dd->SetItemIndex(0);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    auto* area = dynamic_cast<TGridWidget*>(Grid()->Widget());
    ASSERT_NE(area, nullptr);
    const int before = Grid()->Row();
    const int topBefore = Grid()->TopRow();
    const QPoint at(10, 40);
    QWheelEvent wheel(at, area->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(area->viewport(), &wheel);
    EXPECT_TRUE(dd->DroppedDown());
    EXPECT_TRUE(Grid()->Row() != before || Grid()->TopRow() != topBefore); // the list moved
    EXPECT_EQ(dd->ItemIndex(), 0);
    EXPECT_EQ(dd->text(), QStringLiteral("item 0"));
    EXPECT_FALSE(Grid()->ConfirmSelection());
}
