// The grid drop-down: choosing, searching, filtering and sorting in its
// inner string grid, item mode and grid mode, the keys of the edit and of
// the open grid, the forwarded grid events and the style table.
#include "dropdown/ExtCustomGridDropDown.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace ExtCustomGridDropDown;

namespace {

class GridDropDownTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.resize(500, 400);
        dd = new TCustomExtGridDropDown(&host);
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
    // Three items, named and numbered, the names in the lookup column.
    void Fruit()
    {
        AddColumns(2);
        AddItems({{QStringLiteral("Cherry"), QStringLiteral("3")},
                  {QStringLiteral("Apple"), QStringLiteral("1")},
                  {QStringLiteral("Banana"), QStringLiteral("2")}});
    }
    // Grid mode: the application's own rows under a header row.
    void GridRows(const QStringList& names)
    {
        dd->SetUseItems(false);
        TExtColGrid* g = Grid();
        g->SetColCount(2);
        g->SetRowCount(names.size() + 1);
        g->SetCells(0, 0, QStringLiteral("Name"));
        for (int i = 0; i < names.size(); ++i) {
            g->SetCells(0, i + 1, names[i]);
            g->SetCells(1, i + 1, QString::number(i));
        }
    }
    void Press(QChar c) { dd->ControlKeyPress(c); }
    TExtColGrid* Grid() const { return dd->GetGrid(); }
    TGridWidget* Area() const { return dynamic_cast<TGridWidget*>(Grid()->Widget()); }
    QPoint CellCentre(int c, int r) const
    {
        const TRect rc = Grid()->CellRect(c, r);
        return QPoint((rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
    }

    QWidget host;
    TCustomExtGridDropDown* dd = nullptr;
};

} // namespace

TEST_F(GridDropDownTest, CreationValues)
{
    EXPECT_TRUE(dd->UseItems());
    EXPECT_EQ(dd->LookupMethod(), lmLookup);
    EXPECT_EQ(dd->Style(), dsDropDown);
    EXPECT_EQ(dd->Sorting(), gsNone);
    EXPECT_EQ(dd->ItemIndex(), -1);
    EXPECT_EQ(dd->LineColor(), 0xF1EDEBu);
    EXPECT_EQ(dd->FixedLineColor(), 0xD1BBA4u);
    EXPECT_EQ(dd->HeaderColor(), 0xFFFFFFu);
    EXPECT_EQ(dd->HeaderColorTo(), 0x808080u);
    EXPECT_EQ(dd->HeaderFontColor(), 0x723708u);
    EXPECT_EQ(dd->HoverRowColor(), clInfoBk);
    EXPECT_EQ(dd->HoverRowColorTo(), clNone);
    EXPECT_EQ(dd->Navigation().HomeEndKey(), heFirstLastRow);
    EXPECT_EQ(dd->GetVersionNr(), 0x06000101);
    ASSERT_NE(Grid(), nullptr);
    EXPECT_TRUE(Grid()->FixedRowAlways());
    EXPECT_EQ(Grid()->Navigation().HomeEndKey(), heFirstLastRow);
    EXPECT_TRUE(Grid()->HasOption(goRowSelect));
    EXPECT_FALSE(Grid()->HasOption(goRangeSelect));
}

// A subclass supplies its own item collection, whose items are its own class.
TEST(GridDropDownFactories, CreateItemsAndItemClassAreOverridable)
{
    class TNoteItem : public TDropDownItem {
    public:
        QString Note = QStringLiteral("note");
    };
    class TNoteItems : public TDropDownItems {
    public:
        TItemFactory GetItemClass() const override
        {
            return [] { return std::make_unique<TNoteItem>(); };
        }
    };
    class TNoteDropDown : public TCustomExtGridDropDown {
    public:
        std::unique_ptr<TDropDownItems> CreateItems() override { return std::make_unique<TNoteItems>(); }
    };
    TNoteDropDown dd;
    TDropDownItem& item = dd.Items().Add();
    auto* note = dynamic_cast<TNoteItem*>(&item);
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->Note, QStringLiteral("note"));
}

TEST_F(GridDropDownTest, OpeningFillsTheGridAndTagsTheRows)
{
    Fruit();
    dd->SetItemIndex(2);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    TExtColGrid* g = Grid();
    EXPECT_EQ(g->RowCount(), 4);
    EXPECT_EQ(g->ColCount(), 2);
    EXPECT_EQ(g->Cells(0, 0), QStringLiteral("H0"));
    EXPECT_EQ(g->Cells(1, 3), QStringLiteral("2"));
    EXPECT_EQ(dd->ItemOfRow(0), -1);
    for (int r = 1; r < 4; ++r) EXPECT_EQ(dd->ItemOfRow(r), r - 1);
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(g->RowHeights(0), 25);
    EXPECT_EQ(g->DefaultRowHeight(), 22);
    // The height holds whole rows, with 6 pixels to spare.
    EXPECT_EQ((dd->DropDownForm()->height() - 25 - 6) % 22, 0);
    EXPECT_EQ(dd->text(), QStringLiteral("Banana"));
}

TEST_F(GridDropDownTest, OpenAndEnterKeepsTheItem)
{
    Fruit();
    dd->SetItemIndex(1);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    QTest::keyClick(Grid()->Widget(), Qt::Key_Return);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->text(), QStringLiteral("Apple"));
}

TEST_F(GridDropDownTest, CancelRestoresTheItem)
{
    Fruit();
    dd->SetItemIndex(0);
    dd->ShowDropDown();
    Grid()->SetRow(3);
    EXPECT_EQ(dd->ItemIndex(), 2);
    dd->HideDropDown(true);
    EXPECT_EQ(dd->ItemIndex(), 0);
    EXPECT_EQ(dd->text(), QStringLiteral("Cherry"));
}

TEST_F(GridDropDownTest, LookupNoneNeverSearchesButCompletes)
{
    Fruit();
    dd->SetLookupMethod(lmNone);
    dd->ShowDropDown();
    const int row = Grid()->Row();
    Press(QChar('b'));
    EXPECT_TRUE(dd->LookupEntry().isEmpty());
    EXPECT_EQ(Grid()->Row(), row);
    dd->HideDropDown(true);
    dd->SetTextDirect(QString());
    QTest::keyClicks(dd, QStringLiteral("ba"));
    EXPECT_EQ(dd->text(), QStringLiteral("banana"));
    EXPECT_EQ(dd->selectedText(), QStringLiteral("nana"));
    EXPECT_EQ(dd->ItemIndex(), 2);
    EXPECT_TRUE(dd->LookupEntry().isEmpty());
}

TEST_F(GridDropDownTest, LookupInTheOpenGridFollowsTheStyle)
{
    struct Case {
        TDropDownStyle style;
        QString typed;
        QString entry; // the search afterwards
        int item;      // the item chosen afterwards
    };
    const Case cases[] = {
        // The whole search continues an entry.
        {dsDropDown, QStringLiteral("ba"), QStringLiteral("ba"), 2},
        {dsDropDownList, QStringLiteral("ba"), QStringLiteral("ba"), 2},
        // "bc" continues nothing: the list restarts with "c", the edit
        // style gives up and the open grid clears the search.
        {dsDropDownList, QStringLiteral("bc"), QStringLiteral("c"), 0},
        {dsDropDown, QStringLiteral("bc"), QString(), 2},
        // A character that starts nothing clears the search.
        {dsDropDownList, QStringLiteral("bq"), QString(), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString() + (c.style == dsDropDown ? " dsDropDown" : " dsDropDownList"));
        dd->Items().Clear();
        dd->Columns().Clear();
        Fruit();
        dd->SetStyle(c.style);
        dd->SetItemIndex(1);
        dd->ShowDropDown();
        for (QChar ch : c.typed) Press(ch);
        EXPECT_EQ(dd->LookupEntry(), c.entry);
        EXPECT_EQ(dd->ItemIndex(), c.item);
        EXPECT_EQ(dd->ItemOfRow(Grid()->Row()), c.item);
        dd->HideDropDown(true);
    }
}

TEST_F(GridDropDownTest, SearchTypedInTheEditKeepsGrowingWithoutAMatch)
{
    Fruit();
    QTest::keyClicks(dd, QStringLiteral("bx"));
    EXPECT_EQ(dd->LookupEntry(), QStringLiteral("bx"));
    EXPECT_EQ(dd->ItemIndex(), 2);
    QTest::keyClick(dd, Qt::Key_Down);
    EXPECT_TRUE(dd->LookupEntry().isEmpty());
}

TEST_F(GridDropDownTest, ListStyleDisablesTypingButStillSearches)
{
    Fruit();
    dd->SetStyle(dsDropDownList);
    EXPECT_FALSE(dd->EditorEnabled());
    QTest::keyClicks(dd, QStringLiteral("ap"));
    EXPECT_EQ(dd->text(), QStringLiteral("Apple"));
    EXPECT_EQ(dd->ItemIndex(), 1);
    // Home and End choose the first and the last item in this style.
    QTest::keyClick(dd, Qt::Key_End);
    EXPECT_EQ(dd->ItemIndex(), 2);
    QTest::keyClick(dd, Qt::Key_Home);
    EXPECT_EQ(dd->ItemIndex(), 0);
}

TEST_F(GridDropDownTest, GridModeLooksUpTheApplicationsRows)
{
    GridRows({QStringLiteral("Oslo"), QStringLiteral("Bergen"), QStringLiteral("Tromso")});
    EXPECT_EQ(dd->GetItemCount(), 3);
    QString text;
    int index = -1;
    ASSERT_TRUE(dd->FindLookupMatch(QStringLiteral("be"), text, index));
    EXPECT_EQ(text, QStringLiteral("Bergen"));
    EXPECT_EQ(index, 2); // the row number
    dd->SetItemIndex(2);
    EXPECT_EQ(dd->text(), QStringLiteral("Tromso"));
    // Writing the current value again does not refresh the text.
    dd->SetTextDirect(QStringLiteral("typed"));
    dd->SetItemIndex(2);
    EXPECT_EQ(dd->text(), QStringLiteral("typed"));
    // At or past the row count: ignored.
    dd->SetItemIndex(4);
    EXPECT_EQ(dd->ItemIndex(), 2);

    dd->SetTextDirect(QStringLiteral("Bergen"));
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    EXPECT_EQ(Grid()->Row(), 2);
    EXPECT_EQ(dd->ItemIndex(), 1);
    // The drop-down gets a column for every grid column.
    EXPECT_EQ(dd->Columns().Count(), 2);
    Grid()->SetRow(3);
    EXPECT_EQ(dd->text(), QStringLiteral("Tromso"));
    EXPECT_EQ(dd->ItemIndex(), 2);
    Press(QChar('o'));
    EXPECT_EQ(Grid()->Row(), 1);
    EXPECT_EQ(dd->text(), QStringLiteral("Oslo"));
}

TEST_F(GridDropDownTest, GridModeKeysStepThroughTheApplicationsRows)
{
    // Without items the edit's keys step through the grid's data rows.
    GridRows({QStringLiteral("Oslo"), QStringLiteral("Bergen"), QStringLiteral("Tromso")});
    QTest::keyClick(dd, Qt::Key_Down);
    EXPECT_EQ(dd->ItemIndex(), 0);
    EXPECT_EQ(dd->text(), QStringLiteral("Oslo"));
    QTest::keyClick(dd, Qt::Key_PageDown);
    EXPECT_EQ(dd->ItemIndex(), 2);
    EXPECT_EQ(dd->text(), QStringLiteral("Tromso"));
    QTest::keyClick(dd, Qt::Key_Up);
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->text(), QStringLiteral("Bergen"));
}

TEST_F(GridDropDownTest, HeaderClickSortKeepsTheChosenItem)
{
    Fruit();
    dd->SetSorting(gsSingleColumn);
    dd->SetItemIndex(0); // Cherry
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    ASSERT_TRUE(Grid()->SortSettings().Show());
    QTest::mouseClick(Area()->viewport(), Qt::LeftButton, {}, CellCentre(0, 0));
    EXPECT_TRUE(dd->DroppedDown());
    // Sorted by name: Apple, Banana, Cherry, each row still tagged with its
    // item.
    EXPECT_EQ(Grid()->Cells(0, 1), QStringLiteral("Apple"));
    EXPECT_EQ(Grid()->Cells(0, 3), QStringLiteral("Cherry"));
    EXPECT_EQ(dd->ItemOfRow(1), 1);
    EXPECT_EQ(dd->ItemOfRow(2), 2);
    EXPECT_EQ(dd->ItemOfRow(3), 0);
    EXPECT_EQ(dd->ItemOfRow(0), -1);
    EXPECT_EQ(Grid()->Row(), 3);
    EXPECT_EQ(dd->ItemIndex(), 0);
    EXPECT_EQ(dd->text(), QStringLiteral("Cherry"));
}

TEST_F(GridDropDownTest, EditableGridEnterClosesOnlyInTheLookupColumn)
{
    Fruit();
    dd->SetGridEditable(true);
    dd->SetRowSelect(false);
    dd->SetItemIndex(0);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    TExtColGrid* g = Grid();
    ASSERT_TRUE(g->HasOption(goEditing));
    // Choosing a row leaves the pop-up open.
    g->SetConfirmSelection(true);
    g->SetRow(2);
    dd->GridSelect();
    EXPECT_TRUE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 1);

    // A cell editor outside the lookup column: Enter only ends the edit.
    g->SetCol(1);
    g->ShowInplaceEdit();
    ASSERT_TRUE(g->EditMode());
    int key = Qt::Key_Return;
    dd->KeyUp(key, Qt::NoModifier);
    EXPECT_FALSE(g->EditMode());
    EXPECT_TRUE(dd->DroppedDown());
    // In the lookup column Enter closes the pop-up.
    g->SetCol(0);
    g->ShowInplaceEdit();
    ASSERT_TRUE(g->EditMode());
    key = Qt::Key_Return;
    dd->KeyUp(key, Qt::NoModifier);
    EXPECT_FALSE(dd->DroppedDown());
}

TEST_F(GridDropDownTest, CheckBoxClickAndRightReleaseChooseNothing)
{
    Fruit();
    dd->SetItemIndex(0);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    TExtColGrid* g = Grid();
    int selects = 0;
    dd->OnSelect = [&](TCustomExtGridDropDown*) { ++selects; };
    g->AddCheckBox(1, 2, false, false);
    const TRect box = g->CellRect(1, 2);
    g->MouseUp(TMouseButton::mbRight, {}, box.Left + 5, box.Top + 5);
    EXPECT_EQ(selects, 0);
    EXPECT_TRUE(dd->DroppedDown());
    const TRect plain = g->CellRect(0, 3);
    g->MouseUp(TMouseButton::mbRight, {}, plain.Left + 5, plain.Top + 5);
    EXPECT_EQ(selects, 0);
    EXPECT_TRUE(dd->DroppedDown());
    g->MouseUp(TMouseButton::mbLeft, {}, box.Left + 5, box.Top + 5);
    EXPECT_EQ(selects, 0);
    EXPECT_TRUE(dd->DroppedDown());
    // A left release over a plain data cell chooses.
    g->MouseUp(TMouseButton::mbLeft, {}, plain.Left + 5, plain.Top + 5);
    EXPECT_EQ(selects, 1);
    EXPECT_FALSE(dd->DroppedDown());
}

TEST_F(GridDropDownTest, Office2010StylesLeaveTheOwnColours)
{
    dd->SetComponentStyle(tsWindowsVista);
    EXPECT_EQ(dd->HeaderColor(), 0xFFFDF9u);
    EXPECT_EQ(dd->LineColor(), 0xFCF2DAu);
    for (TStudioStyle s : {tsOffice2010Blue, tsOffice2010Silver, tsOffice2010Black, tsCustom}) {
        dd->SetComponentStyle(s);
        EXPECT_EQ(dd->HeaderColor(), 0xFFFDF9u);
        EXPECT_EQ(dd->HeaderColorTo(), 0xFFFAF0u);
        EXPECT_EQ(dd->LineColor(), 0xFCF2DAu);
        EXPECT_EQ(dd->FixedLineColor(), 0xFCF2DAu);
    }
    dd->SetComponentStyle(tsWindowsXP);
    EXPECT_EQ(dd->HeaderColor(), clBtnFace);
    EXPECT_EQ(dd->LineColor(), 0xC0C0C0u);
    EXPECT_EQ(dd->FixedLineColor(), 0u);
    EXPECT_EQ(dd->SelectionTextColor(), clHighlightText);
}

TEST_F(GridDropDownTest, ForwardedEventsReachTheHandlersWithTheGridsArguments)
{
    Fruit();
    dd->Columns().Items(1).Alignment = taRightJustify;
    dd->Columns().Items(1).Color = 0x123456;
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    TExtColGrid* g = Grid();

    // Alignment and colour come pre-set from the column; a handler may
    // change them.
    TAlignment seenAlign = taLeftJustify;
    dd->OnGridGetAlignment = [&](TExtStringGrid* s, int r, int c, TAlignment& ha, TVAlignment&) {
        EXPECT_EQ(s, g);
        EXPECT_EQ(r, 2);
        EXPECT_EQ(c, 1);
        seenAlign = ha;
    };
    TAlignment ha = taLeftJustify;
    TVAlignment va = TVAlignment::vtaTop;
    ASSERT_TRUE(g->OnGetAlignment);
    g->OnGetAlignment(g, 2, 1, ha, va);
    EXPECT_EQ(seenAlign, taRightJustify);
    EXPECT_EQ(ha, taRightJustify);
    TCellBrush brush;
    TCellFont font;
    g->OnGetCellColor(g, 2, 1, TGridDrawState{}, brush, font);
    EXPECT_EQ(brush.Color, 0x123456u);
    // Beyond the columns nothing is pre-set.
    brush.Color = clWindow;
    g->OnGetCellColor(g, 2, 5, TGridDrawState{}, brush, font);
    EXPECT_EQ(brush.Color, clWindow);

    // FloatFormat is emptied first, also without a handler.
    bool isFloat = false;
    QString format = QStringLiteral("%.2f");
    g->OnGetFloatFormat(g, 1, 1, isFloat, format);
    EXPECT_TRUE(format.isEmpty());

    // An ellipsis click runs with the pop-up's activation blocked.
    bool blocked = false;
    dd->OnGridEllipsClick = [&](TExtStringGrid*, int c, int r, QString& s) {
        blocked = dd->DropDownForm()->FBlockActivate;
        EXPECT_EQ(c, 1);
        EXPECT_EQ(r, 3);
        s = QStringLiteral("set");
    };
    QString value;
    g->OnEllipsClick(g, 1, 3, value);
    EXPECT_TRUE(blocked);
    EXPECT_FALSE(dd->DropDownForm()->FBlockActivate);
    EXPECT_EQ(value, QStringLiteral("set"));

    // Keys in the grid reach the handlers with the drop-down as sender.
    TCustomExtGridDropDown* keySender = nullptr;
    QChar typed;
    dd->OnGridKeyPress = [&](TCustomExtGridDropDown* s, QChar& k) {
        keySender = s;
        typed = k;
    };
    Press(QChar('x'));
    EXPECT_EQ(keySender, dd);
    EXPECT_EQ(typed, QChar('x'));

    bool defaultSearch = true;
    QString searched;
    dd->OnGridSearchEditChange = [&](TExtStringGrid*, const QString& v, bool& d) {
        searched = v;
        d = false;
    };
    g->OnSearchEditChange(g, QStringLiteral("find"), defaultSearch);
    EXPECT_EQ(searched, QStringLiteral("find"));
    EXPECT_FALSE(defaultSearch);

    // Events the grid does not raise stay unraised, and an unset handler is
    // simply skipped.
    bool can = true;
    g->OnCanAddRow(g, can);
    EXPECT_TRUE(can);
    int rightClicks = 0;
    dd->OnGridRightClickCell = [&](TExtStringGrid*, int r, int c) {
        ++rightClicks;
        EXPECT_EQ(r, 2);
        EXPECT_EQ(c, 0);
    };
    g->OnRightClickCell(g, 2, 0);
    EXPECT_EQ(rightClicks, 1);
}

TEST_F(GridDropDownTest, CustomDrawingIsBoundOnlyWhenSetAtOpening)
{
    Fruit();
    dd->ShowDropDown();
    EXPECT_FALSE(Grid()->OnCustomCellDraw);
    dd->HideDropDown(true);
    dd->OnGridCustomCellDraw = [](TExtStringGrid*, TCanvas&, int, int, TGridDrawState, const TRect&, bool) {};
    dd->ShowDropDown();
    EXPECT_TRUE(Grid()->OnCustomCellDraw);
    EXPECT_FALSE(Grid()->OnCustomCellBkgDraw);
}

TEST_F(GridDropDownTest, FirstMouseMoveReArmsTheBalloons)
{
    Fruit();
    Grid()->Balloon().SetEnable(true);
    int toggles = 0;
    Grid()->Balloon().OnEnableChange = [&](TBalloonSettings*) { ++toggles; };
    int moves = 0;
    dd->OnGridMouseMove = [&](TExtStringGrid*, TShiftState, int, int) { ++moves; };
    dd->ShowDropDown();
    Grid()->MouseMove({}, 10, 40);
    Grid()->MouseMove({}, 12, 40);
    EXPECT_EQ(toggles, 2); // off and on once
    EXPECT_TRUE(Grid()->Balloon().Enable());
    EXPECT_EQ(moves, 2);
}

// ---- real events -----------------------------------------------------------------

TEST_F(GridDropDownTest, RealKeysOpenTypeAndEnter)
{
    Fruit();
    QTest::keyClick(dd, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(dd->DroppedDown());
    QWidget* grid = Grid()->Widget();
    QTest::keyClicks(grid, QStringLiteral("ba"));
    EXPECT_EQ(dd->ItemIndex(), 2);
    EXPECT_EQ(Grid()->Row(), 3);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 2);
    EXPECT_EQ(dd->text(), QStringLiteral("Banana"));
}

TEST_F(GridDropDownTest, RealClickOnARowChooses)
{
    Fruit();
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    QTest::mouseClick(Area()->viewport(), Qt::LeftButton, {}, CellCentre(0, 2));
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->text(), QStringLiteral("Apple"));
}

TEST_F(GridDropDownTest, WheelInTheGridMovesWithoutChoosing)
{
    AddColumns(1);
    std::vector<QStringList> rows;
    for (int i = 0; i < 30; ++i) rows.push_back({QStringLiteral("item %1").arg(i)});
    AddItems(rows);
    dd->SetItemIndex(0);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    const int before = Grid()->Row();
    const int topBefore = Grid()->TopRow();
    const QPoint at(10, 40);
    QWheelEvent wheel(at, Area()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(Area()->viewport(), &wheel);
    EXPECT_TRUE(dd->DroppedDown());
    EXPECT_TRUE(Grid()->Row() != before || Grid()->TopRow() != topBefore);
    EXPECT_EQ(dd->ItemIndex(), 0);
    EXPECT_EQ(dd->text(), QStringLiteral("item 0"));
    EXPECT_FALSE(Grid()->ConfirmSelection());
}

TEST_F(GridDropDownTest, NarrowDownFiltersTheGridToMatchingRows)
{
    AddColumns(1);
    AddItems({{QStringLiteral("cherry")}, {QStringLiteral("apple")}, {QStringLiteral("banana")}, {QStringLiteral("grape")}});
    dd->SetLookupMethod(lmNarrowDown);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    TExtColGrid* g = Grid();
    Press(QChar('a'));
    Press(QChar('p'));
    // apple and grape contain "ap"; the first remaining row is chosen.
    ASSERT_EQ(g->RowCount(), 3);
    EXPECT_EQ(g->Cells(0, 1), QStringLiteral("apple"));
    EXPECT_EQ(g->Cells(0, 2), QStringLiteral("grape"));
    EXPECT_EQ(g->Row(), 1);
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->text(), QStringLiteral("apple"));
    EXPECT_EQ(dd->selectedText(), QStringLiteral("ple"));
    // No row contains "apz": the header row stays, the search ends.
    Press(QChar('z'));
    EXPECT_EQ(g->RowCount(), 1);
    EXPECT_EQ(g->Cells(0, 0), QStringLiteral("H0"));
    EXPECT_TRUE(dd->LookupEntry().isEmpty());
    // A search of blanks removes every filter.
    Press(QChar(' '));
    EXPECT_EQ(g->RowCount(), 5);
    EXPECT_EQ(g->Row(), 1);
    EXPECT_EQ(dd->ItemIndex(), 0);
    // The focus coming into the edit removes the filters.
    Press(QChar('n'));
    EXPECT_EQ(g->RowCount(), 2); // banana
    dd->DoEnter();
    EXPECT_EQ(g->RowCount(), 5);
    EXPECT_TRUE(dd->LookupEntry().isEmpty());
}
