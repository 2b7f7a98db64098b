#include "platform/SysUtils.h"
#include "grid/ExtGrid.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<TExtStringGrid> Grid(int cols = 5, int rows = 10)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(cols);
    g->SetRowCount(rows);
    return g;
}

} // namespace

// ---------------------------------------------------------------------------
// Defaults

TEST(ExtGridDefaults, NewGrid)
{
    TExtStringGrid g;
    EXPECT_EQ(g.RowCount(), 10);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.DefaultRowHeight(), 22);
    EXPECT_EQ(g.FixedRowHeight(), 22);
    EXPECT_EQ(g.Width(), 400);
    EXPECT_EQ(g.Height(), 250);
    EXPECT_EQ(g.CheckTrue(), "Y");
    EXPECT_EQ(g.CheckFalse(), "N");
    EXPECT_EQ(g.FloatFormat(), "%.2f");
    EXPECT_EQ(g.FilterDropDownClear(), "(All)");
    EXPECT_EQ(g.SelectionColor(), TColor(0xEACAB6));
    EXPECT_EQ(g.SelectionColorMixerFactor(), 50);
    EXPECT_EQ(g.ActiveCellColor(), clGray);
    EXPECT_EQ(g.DisabledFontColor(), clSilver);
    EXPECT_EQ(g.URLColor(), clBlue);
    EXPECT_EQ(g.FixedFont().Font.family(), "Tahoma");
    EXPECT_TRUE(g.FixedFont().Font.bold());
    EXPECT_TRUE(g.ActiveCellFont().Font.bold());
    EXPECT_EQ(g.XYOffset(), QPoint(2, 2));
    EXPECT_EQ(g.Version(), "6.2.1.3");
    g.SetVersion("1.0.0.0");
    EXPECT_EQ(g.Version(), "6.2.1.3");
    EXPECT_EQ(g.XMLEncoding(), "ISO-8859-1");
    EXPECT_EQ(URLCursor, -21);
    EXPECT_GE(GridEditDoneEventType(), QEvent::User);
    EXPECT_NE(GridEditDoneEventType(), DTPShiftFocusEventType());
    EXPECT_EQ(GridEditDoneEventType(), GridEditDoneEventType());
}

TEST(ExtGridDefaults, SettingsObjects)
{
    TExtStringGrid g;
    using enum TControlStyle;
    TControlLook& l = g.ControlLook();
    EXPECT_EQ(l.CheckSize(), 15);
    EXPECT_EQ(l.RadioSize(), 10);
    EXPECT_EQ(l.DropDownCount(), 8);
    EXPECT_EQ(l.ControlStyle(), csTheme);
    EXPECT_EQ(l.FixedGradientHoverFrom(), clGray);
    EXPECT_EQ(l.FixedGradientHoverTo(), clWhite);
    EXPECT_EQ(l.FixedGradientDownFrom(), clGray);
    EXPECT_EQ(l.FixedGradientDownTo(), clSilver);
    EXPECT_EQ(l.FixedGradientDownBorder(), clGray);
    EXPECT_EQ(l.CommentColor(), clRed);
    EXPECT_EQ(l.ProgressMarginX(), 2);

    TSortSettings& s = g.SortSettings();
    EXPECT_EQ(s.Column(), -1);
    EXPECT_EQ(s.Row(), 0);
    EXPECT_FALSE(s.Show());
    EXPECT_TRUE(s.Full());
    EXPECT_TRUE(s.AutoFormat());
    EXPECT_TRUE(s.SortOnVirtualCells());
    EXPECT_TRUE(s.AutoSortForGrouping());
    EXPECT_EQ(s.IndexColor(), clYellow);
    EXPECT_EQ(s.HeaderColor(), clNone);

    TGridProgressAppearance& p = g.ProgressAppearance();
    EXPECT_EQ(p.CompleteColor(), clRed);
    EXPECT_EQ(p.Level0ColorTo(), TColor(0xE1FFE1));
    EXPECT_EQ(p.Level1Perc(), 70);
    EXPECT_EQ(p.Level2Perc(), 90);
    EXPECT_EQ(p.Steps(), 11);
    EXPECT_EQ(p.Style(), TProgressStyle::psXP);

    EXPECT_EQ(g.Balloon().AutoHideDelay(), -1);
    EXPECT_FALSE(g.Balloon().Enable());
    EXPECT_EQ(g.ShowModified().Color(), clYellow);
    EXPECT_EQ(g.Grouping().HeaderLineColor(), clBlue);
    EXPECT_EQ(g.Grouping().SummaryLineWidth(), 2);
    EXPECT_TRUE(g.DragDropSettings().ShowCells());
    EXPECT_TRUE(g.DragDropSettings().OleAcceptURLs());
    EXPECT_FALSE(g.DragDropSettings().OleDropTarget());
    EXPECT_EQ(g.DragScrollOptions().Delays().InitialDelay(), 1000);
    EXPECT_EQ(g.DragScrollOptions().Delays().RepeatDelay(), 250);
    EXPECT_EQ(g.DragScrollOptions().Margins().LeftMargin(), 50);
    EXPECT_EQ(g.BackGround().Display(), TBackGroundDisplay::bdTile);
    EXPECT_EQ(g.BackGround().ColorTo(), clBtnFace);
    EXPECT_EQ(g.ColumnSize().StretchColumn(), -1);
    EXPECT_EQ(g.ColumnSize().Location(), TColumnSizeLocation::clRegistry);
    EXPECT_EQ(g.CellNode().NodeIndent(), 12);
    EXPECT_EQ(g.PrintSettings().DateFormat(), "dd/mm/yyyy");
    EXPECT_EQ(g.PrintSettings().PageNumSep(), "/");
    EXPECT_EQ(g.HTMLSettings().Width(), 100);
}

// ---------------------------------------------------------------------------
// Settings objects

TEST(ExtGridLook, FixedGradientsReachTheGridAsThePartsSay)
{
    TExtStringGrid g;
    TControlLook& l = g.ControlLook();
    const TColor from = g.StudioGradientFrom();
    l.SetFixedGradientFrom(clNone);
    EXPECT_EQ(l.FixedGradientFrom(), clNone);
    EXPECT_EQ(g.StudioGradientFrom(), from);
    l.SetFixedGradientFrom(clBtnFace);
    EXPECT_EQ(g.StudioGradientFrom(), ColorToRGB(clBtnFace));
    g.SetStudioGradientMirrorFrom(0x123456);
    l.SetFixedGradientMirrorFrom(clNone);
    // "No colour" stays no colour: a fixed cell then gets no mirror half
    // (it would otherwise paint its lower half black).
    EXPECT_EQ(g.StudioGradientMirrorFrom(), clNone);
    l.SetFixedGradientHoverFrom(0xCFD0D1);
    EXPECT_EQ(g.StudioGradientHoverFrom, TColor(0xCFD0D1));
    l.SetFixedGradientHoverFrom(clNone);
    EXPECT_EQ(g.StudioGradientHoverFrom, TColor(0xCFD0D1));
    l.SetFixedGradientDownMirrorTo(0x627376);
    EXPECT_EQ(g.StudioGradientDownMirrorTo, TColor(0x627376));
    l.Init();
    EXPECT_EQ(l.FixedGradientDownMirrorTo(), clNone);
    EXPECT_EQ(g.StudioGradientDownMirrorTo, clNone);
    EXPECT_EQ(l.FixedGradientHoverFrom(), clGray);
}

TEST(ExtGridLook, AssignCopiesTheGradientsButNotTheButtonLook)
{
    TExtStringGrid a, b;
    a.ControlLook().SetFixedGradientDownBorder(0xD5BCAA);
    a.ControlLook().SetFixedGradientHoverTo(0xBEC6C8);
    a.ControlLook().SetFlatButton(true);
    a.ControlLook().SetCheckSize(20);
    a.ControlLook().SetControlStyle(TControlStyle::csWinXP);
    a.ControlLook().DropDownHeader().SetCaption("head");
    a.ControlLook().DropDownFooter().SetColor(clRed);
    b.ControlLook().Assign(a.ControlLook());
    EXPECT_EQ(b.ControlLook().DropDownHeader().Caption(), "head");
    EXPECT_EQ(b.ControlLook().DropDownFooter().Color(), clRed);
    EXPECT_EQ(b.ControlLook().FixedGradientDownBorder(), TColor(0xD5BCAA));
    EXPECT_EQ(b.ControlLook().FixedGradientHoverTo(), TColor(0xBEC6C8));
    EXPECT_EQ(b.ControlLook().CheckSize(), 20);
    EXPECT_EQ(b.ControlLook().ControlStyle(), TControlStyle::csWinXP);
    EXPECT_FALSE(b.ControlLook().FlatButton());
    // Nothing was forwarded to the target grid.
    EXPECT_EQ(b.StudioGradientDownBorder, clNone);
}

TEST(ExtGridSort, StateTexts)
{
    TExtStringGrid g;
    TSortSettings& s = g.SortSettings();
    EXPECT_EQ(s.SaveToString(), "u-1");
    s.SetDirection(TSortDirection::sdDescending);
    s.SetColumn(3);
    EXPECT_EQ(s.SaveToString(), "d3");
    s.SetIndexShow(true);
    g.SortIndexes().AddIndex(0, true);
    g.SortIndexes().AddIndex(3, false);
    EXPECT_EQ(s.SaveToString(), "i;u0;d3");

    struct Case {
        const char* text;
        bool show, indexShow;
        TSortDirection dir;
        int column;
    };
    using enum TSortDirection;
    const Case cases[] = {
        {"d3", true, false, sdDescending, 3},
        {"u2", true, false, sdAscending, 2},
        {"dx", true, false, sdDescending, -1}, // column kept
        {"u-1", true, false, sdAscending, -1},
    };
    for (const Case& c : cases) {
        TExtStringGrid h;
        h.SortSettings().LoadFromString(QString::fromLatin1(c.text));
        EXPECT_EQ(h.SortSettings().Show(), c.show) << c.text;
        EXPECT_EQ(h.SortSettings().IndexShow(), c.indexShow) << c.text;
        EXPECT_EQ(h.SortSettings().Direction(), c.dir) << c.text;
        EXPECT_EQ(h.SortSettings().Column(), c.column) << c.text;
    }

    TExtStringGrid h;
    h.SortIndexes().AddIndex(4, true);
    h.SortSettings().LoadFromString("i;");
    EXPECT_TRUE(h.SortSettings().IndexShow());
    EXPECT_EQ(h.SortIndexes().SaveToString(), "u4");
    h.SortSettings().LoadFromString("i;d1;u2");
    EXPECT_EQ(h.SortIndexes().SaveToString(), "d1;u2");

    TExtStringGrid e;
    try {
        e.SortSettings().LoadFromString("x");
        FAIL() << "no error";
    } catch (const Exception& ex) {
        EXPECT_EQ(ex.Message(), "Invalid sort settings specifier");
    }
    EXPECT_TRUE(e.SortSettings().Show());
    e.SortSettings().LoadFromString("");
    EXPECT_EQ(e.SortSettings().Column(), -1);
}

TEST(ExtGridSort, RowMustBeAFixedRowAndRemoveClearsTheIndexes)
{
    TExtStringGrid g;
    g.SortSettings().SetRow(0);
    try {
        g.SortSettings().SetRow(1);
        FAIL() << "no error";
    } catch (const Exception& ex) {
        EXPECT_EQ(ex.Message(), "Sort row should be smaller than number of fixed rows");
    }
    EXPECT_EQ(g.SortSettings().Row(), 0);
    g.SortSettings().SetColumn(2);
    g.SortIndexes().AddIndex(2, true);
    g.SortSettings().Remove();
    EXPECT_EQ(g.SortSettings().Column(), -1);
    EXPECT_EQ(g.SortIndexes().Count(), 0);
    g.SortSettings().ToggleDirection();
    EXPECT_EQ(g.SortSettings().Direction(), TSortDirection::sdDescending);
}

TEST(ExtGridSettings, ChangeNotifications)
{
    TGridProgressAppearance p;
    int changes = 0;
    p.OnChange = [&](TGridProgressAppearance*) { ++changes; };
    p.SetSteps(11);
    EXPECT_EQ(changes, 0);
    p.SetSteps(12);
    EXPECT_EQ(changes, 1);
    TGridProgressAppearance q;
    q.SetLevel1Perc(40);
    p.Assign(q);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(p.Level1Perc(), 40);
    EXPECT_EQ(p.Steps(), 11);

    TBalloonSettings b;
    int enables = 0;
    b.OnEnableChange = [&](TBalloonSettings*) { ++enables; };
    b.SetEnable(false);
    b.SetEnable(false);
    EXPECT_EQ(enables, 2);
    TBalloonSettings c;
    c.SetTransparency(7);
    c.SetEnable(true);
    b.Assign(c);
    EXPECT_EQ(enables, 2);
    EXPECT_TRUE(b.Enable());
    EXPECT_EQ(b.Transparency(), 0);

    TGrouping g1, g2;
    g2.SetHeaderLineWidth(5);
    g2.SetSummary(true);
    g2.SetShowGroupCount(true);
    g1.Assign(g2);
    EXPECT_EQ(g1.HeaderLineWidth(), 2);
    EXPECT_FALSE(g1.Summary());
    EXPECT_TRUE(g1.ShowGroupCount());

    TDragDropSettings d1(nullptr), d2(nullptr);
    d2.SetOleDropRTF(true);
    EXPECT_TRUE(GridOleDropRTF);
    d2.SetOleEntireRows(true);
    GridOleDropRTF = false;
    d1.Assign(d2);
    EXPECT_TRUE(d1.OleDropRTF());
    EXPECT_TRUE(d1.OleEntireRows());
    EXPECT_FALSE(GridOleDropRTF);
}

// ---------------------------------------------------------------------------
// Dimensions

TEST(ExtGridDims, FixedRowAlwaysKeepsTheHeaderRow)
{
    auto g = Grid();
    g->SetFixedRowAlways(true);
    g->SetRowCount(1);
    EXPECT_EQ(g->TCustomGrid::FixedRows(), 0);
    EXPECT_EQ(g->FixedRows(), 1);
    g->SetRowCount(5);
    EXPECT_EQ(g->FixedRows(), 1);
    EXPECT_EQ(g->TCustomGrid::FixedRows(), 1);

    auto h = Grid(5, 2);
    h->SetFixedRowAlways(true);
    h->SetFixedRows(3);
    EXPECT_EQ(h->TCustomGrid::FixedRows(), 1);
    EXPECT_EQ(h->FixedRowsMin(), 3);
    h->SetRowCount(3);
    EXPECT_EQ(h->FixedRows(), 1);
    h->SetRowCount(4);
    EXPECT_EQ(h->FixedRows(), 3);
}

TEST(ExtGridDims, CountsWidthsAndHeights)
{
    auto g = Grid();
    g->SetRowCount(100);
    g->SetRowCount(40);
    EXPECT_EQ(g->MaxRowCount(), 100);
    EXPECT_EQ(g->NormalRowCount(), 40);

    g->SetFixedColWidth(40);
    EXPECT_EQ(g->ColWidths(0), 40);
    g->SetFixedColWidth(g->DefaultColWidth());
    EXPECT_EQ(g->ColWidths(0), 40);

    g->SetFixedRowHeight(30);
    EXPECT_EQ(g->RowHeights(0), 30);
    EXPECT_EQ(g->RowHeights(5), 22);
    g->SetRowHeights(5, 40);
    g->SetFixedRowHeight(g->DefaultRowHeight());
    EXPECT_EQ(g->RowHeights(0), 22);
    EXPECT_EQ(g->RowHeights(5), 22);

    g->FloatingFooter().SetVisible(true);
    g->SetDefaultRowHeight(21);
    EXPECT_EQ(g->FloatingFooter().Height(), 21);

    g->SetSelectionColorMixerFactor(150);
    EXPECT_EQ(g->SelectionColorMixerFactor(), 100);
    g->SetSelectionColorMixerFactor(-5);
    EXPECT_EQ(g->SelectionColorMixerFactor(), 0);

    g->SetVAlignment(vtaBottom);
    EXPECT_EQ(g->VAlign(), 8);
    g->SetVAlignment(vtaCenter);
    EXPECT_EQ(g->VAlign(), 4);
}

TEST(ExtGridDims, SpreadSheetSwitchesItsOptionsOnWhateverTheValue)
{
    auto g = Grid();
    g->SetOptions(TGridOptions{});
    g->SetSpreadSheet(false);
    EXPECT_TRUE(g->SelectionRectangle());
    EXPECT_TRUE(g->SelectionResizer());
    EXPECT_TRUE(g->Navigation().AllowSmartClipboard());
    EXPECT_TRUE(g->Options().Contains(goRangeSelect));
    EXPECT_TRUE(g->Options().Contains(goEditing));
    EXPECT_TRUE(g->MouseActions().RangeSelectAndEdit());
}

TEST(ExtGridDims, FloatingFooterRowFollowsTheRowCount)
{
    auto g = Grid(3, 10);
    g->FloatingFooter().SetVisible(true);
    g->SetCells(1, 9, "sum");
    g->SetCells(1, 4, "data");
    g->SetRowCount(20);
    EXPECT_EQ(g->Cells(1, 19), "sum");
    EXPECT_EQ(g->Cells(1, 9), "");
    // Shrinking keeps the footer: it moves before the rows are dropped.
    g->SetRowCount(5);
    EXPECT_EQ(g->Cells(1, 4), "sum");
    EXPECT_EQ(g->RowCount(), 5);
}

TEST(ExtGridDims, IntegralHeightGivesWholeRows)
{
    auto g = Grid(5, 10);
    g->SetScrollWidth(17);
    for (int c = 0; c < 5; ++c) g->SetColWidths(c, 200); // a horizontal scroll bar is needed
    g->SetIntegralHeight(true);
    g->SetHeight(100);
    EXPECT_EQ(g->Height(), 100 + 2 - ((100 - 17 - 2) % 22));
    EXPECT_EQ(g->Height(), 87);
}

// ---------------------------------------------------------------------------
// Cells

TEST(ExtGridCells, PropertyArraysReadWithoutCreating)
{
    auto g = Grid();
    EXPECT_EQ(g->Colors(2, 3), clNone);
    EXPECT_EQ(g->FontSizes(2, 3), 0);
    EXPECT_EQ(g->Alignments(2, 3), taLeftJustify);
    EXPECT_FALSE(g->ReadOnly(2, 3));
    EXPECT_FALSE(g->HasCellProps(2, 3));
    g->WordWraps(2, 3);
    EXPECT_TRUE(g->HasCellProps(2, 3));
    g->SetColors(1, 1, clRed);
    g->SetFontNames(1, 1, "DejaVu Sans");
    g->SetReadOnly(1, 1, true);
    EXPECT_EQ(g->Colors(1, 1), clRed);
    EXPECT_EQ(g->FontNames(1, 1), "DejaVu Sans");
    EXPECT_TRUE(g->ReadOnly(1, 1));
    EXPECT_EQ(g->GetCellFont(1, 1).Font.family(), "DejaVu Sans");
}

TEST(ExtGridCells, ClearingARowColourKeepsTheOtherProperties)
{
    auto g = Grid();
    g->SetFontColors(2, 3, clBlue);
    g->SetRowColor(3, clYellow);
    EXPECT_EQ(g->Colors(1, 3), clYellow);
    EXPECT_EQ(g->Colors(4, 3), clYellow);
    EXPECT_EQ(g->Colors(0, 3), clNone); // fixed column untouched
    g->SetRowColor(3, clNone);
    EXPECT_EQ(g->Colors(2, 3), clNone);
    EXPECT_TRUE(g->HasCellProps(2, 3));
    EXPECT_EQ(g->FontColors(2, 3), clBlue);
    g->SetRowColorTo(3, clNone);
    g->SetRowFontColor(3, clNone);
    EXPECT_TRUE(g->HasCellProps(2, 3));
    EXPECT_EQ(g->FontColors(2, 3), clNone);
}

TEST(ExtGridCells, HiddenRowsAndIndexSpaces)
{
    auto g = Grid(4, 6);
    g->SetCells(1, 3, "shown3");
    // Row 3 of all rows is hidden: its cells live in the hidden-row store.
    TGridItem& item = g->GridItems().Add();
    item.SetIdx(3);
    item.SetItems({"", "hidden", "x"});
    EXPECT_EQ(g->AllCells(1, TRealRow(3)), "hidden");
    EXPECT_EQ(g->AllCells(1, TRealRow(4)), "shown3");
    EXPECT_EQ(g->AllCells(-1, TRealRow(2)), "");
    EXPECT_EQ(g->RealRowIndex(TDisplRow(3)), TRealRow(4));
    EXPECT_EQ(g->DisplRowIndex(TRealRow(4)), TDisplRow(3));
    g->SetAllCells(5, TRealRow(3), "five");
    EXPECT_EQ(item.Items(), (QStringList{"", "hidden", "x", "", "", "five"}));
    EXPECT_THROW(g->AllGridCells(9, TRealRow(3)), Exception);
    EXPECT_EQ(g->AllRowCount(), 7);
}

TEST(ExtGridCells, ColumnOrderAndHeaders)
{
    auto g = Grid(4, 3);
    EXPECT_EQ(g->ColumnPosition(2), 2);
    g->SetColumnHeaders({"A", "B", "C", "D"});
    EXPECT_EQ(g->Cells(2, 0), "C");
    EXPECT_EQ(g->ColumnByHeader("C"), 2);
    EXPECT_EQ(g->ColumnByHeader("c"), -1);
    g->SetColumnOrder();
    g->MoveColumn(1, 3);
    EXPECT_EQ(g->ColumnPosition(1), 3);
    EXPECT_EQ(g->ColumnAtPosition(3), 1);
    EXPECT_EQ(g->OriginalCells(1, 0), "B");
    g->ResetColumnOrder();
    EXPECT_EQ(g->Cells(1, 0), "B");
    EXPECT_EQ(g->Cells(3, 0), "D");
    EXPECT_EQ(g->UnSortedRowIndex(2), 2);
}

TEST(ExtGridCells, TypedValues)
{
    const FormatSettings saved = SystemFormatSettings();
    FormatSettings fs;
    fs.DecimalSeparator = ',';
    fs.ShortDateFormat = "dd/MM/yyyy";
    SetFormatSettings(fs);
    auto g = Grid();
    g->SetCells(1, 1, "<b> 42 </b>");
    EXPECT_EQ(g->Ints(1, 1), 42);
    EXPECT_THROW(g->AllInts(1, TRealRow(1)), EExtGridError);
    for (const char* t : {"", "-"}) {
        g->SetCells(1, 2, QString::fromLatin1(t));
        EXPECT_EQ(g->Ints(1, 2), 0) << t;
        EXPECT_EQ(g->Floats(1, 2), 0.0) << t;
    }
    g->SetCells(1, 2, "abc");
    try {
        g->Ints(1, 2);
        FAIL();
    } catch (const EExtGridError& e) {
        EXPECT_EQ(e.Message(), "Cell does not contain integer value");
    }
    // Letters are dropped by the number reduction; a second separator is not.
    EXPECT_EQ(g->Floats(1, 2), 0.0);
    g->SetCells(1, 2, "1.2.3");
    try {
        g->Floats(1, 2);
        FAIL();
    } catch (const EExtGridError& e) {
        EXPECT_EQ(e.Message(), "Cell does not contain a float value");
    }
    g->SetFloats(2, 2, 3.14159);
    EXPECT_EQ(g->Cells(2, 2), "3,14");
    g->SetInts(3, 3, -7);
    EXPECT_EQ(g->Cells(3, 3), "-7");
    // A float format that is not one numeric conversion is not applied.
    g->SetFloatFormat("%s%n");
    g->SetFloats(2, 4, 1.5);
    EXPECT_EQ(g->Cells(2, 4), "%s%n");
    try {
        g->PrintColWidth(512);
        FAIL();
    } catch (const EExtGridError& e) {
        EXPECT_EQ(e.Message(), "Columns is not in valid range");
    }
    g->SetDates(1, 5, QDateTime());
    EXPECT_EQ(g->Cells(1, 5), "30/12/1899");
    g->SetShowNullDates(false);
    g->SetDates(1, 5, QDateTime());
    EXPECT_EQ(g->Cells(1, 5), "");
    g->SetDates(1, 5, QDateTime(QDate(2024, 3, 9), QTime()));
    EXPECT_EQ(g->Dates(1, 5).date(), QDate(2024, 3, 9));
    EXPECT_EQ(g->Cells(1, 5), "09/03/2024");
    SetFormatSettings(saved);
}

TEST(ExtGridCells, DisplayTextMarksLinks)
{
    auto g = Grid();
    g->SetURLShowInText(true);
    g->SetCells(1, 1, "see www.example.org now");
    EXPECT_TRUE(g->Cells(1, 1).contains("<a href=")) << g->Cells(1, 1).toStdString();
    g->SetCells(1, 2, "no link here");
    EXPECT_EQ(g->Cells(1, 2), "no link here");
}

// ---------------------------------------------------------------------------
// Hooks

TEST(ExtGridHooks, EditorAndEditability)
{
    auto g = Grid();
    EXPECT_FALSE(g->IsNoEditorCell(1, 1));
    g->OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& e) {
        if (c == 2) e = edNone;
    };
    EXPECT_TRUE(g->IsNoEditorCell(2, 1));
    EXPECT_FALSE(g->IsNoEditorCell(1, 1));

    g->OnHasSpinEdit = [](TExtStringGrid*, int, int, bool& has) { has = true; };
    EXPECT_FALSE(g->HasSpin(0, 3));
    EXPECT_FALSE(g->HasSpin(2, 0));
    EXPECT_TRUE(g->HasSpin(2, 3));

    g->SetOptions(g->Options().Without(goEditing));
    bool can = true;
    g->QueryCanEdit(1, 1, can);
    EXPECT_TRUE(can); // no properties: the option is not consulted here
    g->SetColors(1, 1, clRed);
    can = true;
    g->QueryCanEdit(1, 1, can);
    EXPECT_FALSE(can);
    g->MouseActions().SetRangeSelectAndEdit(true);
    can = true;
    g->QueryCanEdit(1, 1, can);
    EXPECT_TRUE(can);
    int fired = 0;
    g->OnCanEditCell = [&](TExtStringGrid*, int r, int c, bool& ce) {
        ++fired;
        EXPECT_EQ(r, 1);
        EXPECT_EQ(c, 1);
        ce = false;
    };
    can = true;
    g->QueryCanEdit(1, 1, can);
    EXPECT_FALSE(can);
    EXPECT_EQ(fired, 1);
}

TEST(ExtGridHooks, FixedCellsAndActiveCellHeaders)
{
    auto g = Grid();
    EXPECT_TRUE(g->IsFixed(0, 4));
    EXPECT_TRUE(g->IsFixed(3, 0));
    EXPECT_FALSE(g->IsFixed(3, 4));
    g->OnIsFixedCell = [](TExtStringGrid*, int r, int c, bool& f) { f = r == 4 && c == 3; };
    EXPECT_TRUE(g->IsFixed(3, 4));

    g->SetActiveCellShow(true);
    g->SetActiveCellColor(clLime);
    g->MoveColRow(2, 3, true, false);
    auto colorOf = [&](int c, int r) {
        TCellBrush b{clBtnFace};
        TCellFont f{g->Font, clBlack};
        g->GetCellColor(c, r, TGridDrawState{gdFixed}, b, f);
        return b.Color;
    };
    EXPECT_EQ(colorOf(0, 3), clLime);
    EXPECT_EQ(colorOf(2, 0), clLime);
    EXPECT_EQ(colorOf(0, 4), clBtnFace);
    EXPECT_EQ(colorOf(3, 0), clBtnFace);
}

TEST(ExtGridHooks, CheckTextsAndColumnFilter)
{
    auto g = Grid(3, 4);
    QString v;
    g->GetCheckTrue(1, 1, v);
    EXPECT_EQ(v, "Y");
    g->OnGetCheckTrue = [](TExtStringGrid*, int, int, QString& s) { s = "X"; };
    g->GetCheckTrue(1, 1, v);
    EXPECT_EQ(v, "X");

    g->SetFilterDropDownAuto(true);
    g->SetCells(1, 1, "x y");
    g->SetCells(1, 2, "z");
    g->SetCells(1, 3, "z");
    EXPECT_TRUE(g->GetColumnFilter(1));
    EXPECT_EQ(g->FilterList(), (QStringList{"(All)", "x y=\"x y\"", "z"}));
    g->OnGetColumnFilter = [](TExtStringGrid*, int, QStringList& l) { l.clear(); };
    EXPECT_FALSE(g->GetColumnFilter(1));
}

TEST(ExtGridHooks, CellDefaultsOfFixedAndBandedCells)
{
    auto g = Grid();
    EXPECT_EQ(g->CellProperties(0, 2)->BrushColor(), clNone);
    EXPECT_EQ(g->CellProperties(2, 2)->BrushColor(), g->Color);
    g->Bands().SetActive(true);
    EXPECT_EQ(g->CellProperties(3, 3)->BrushColor(), clNone);
}

// ---------------------------------------------------------------------------
// Sizes

TEST(ExtGridSize, StretchingTheLastColumn)
{
    auto g = Grid(3, 4);
    g->SetFixedCols(0);
    g->SetClientSize(400, 200);
    g->SetColWidths(0, 64);
    g->SetColWidths(1, 100);
    g->ColumnSize().SetStretch(true);
    g->StretchColumn(-1);
    EXPECT_EQ(g->ColWidths(2), 400 - 0 - 164 - 1);

    // When the others fill the width, the stretched column falls back to the
    // default width.
    g->SetColWidths(0, 300);
    g->SetColWidths(1, 150);
    EXPECT_EQ(g->ColWidths(2), 64);

    try {
        g->StretchColumn(3);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Stretch column index out of range");
    }
    // A stale stretch column in the settings is ignored by notifications.
    g->ColumnSize().SetStretchColumn(7);
    g->SetColWidths(0, 90);
    EXPECT_EQ(g->ColWidths(0), 90);
}

TEST(ExtGridSize, ProportionalSizingAndTheWidthHook)
{
    auto g = Grid(5, 4);
    g->SetColWidths(1, 40);
    g->SetColWidths(2, 80);
    g->SetColWidths(3, 50);
    g->SetColWidths(4, 50);
    g->MouseActions().SetAllColumnSize(true);
    g->Colclicked = 2;
    g->Colclickedsize = 80;
    g->ColSized = true;
    int ended = -1;
    g->OnEndColumnSize = [&](TExtStringGrid*, int c) { ended = c; };
    g->SetColWidths(2, 100);
    EXPECT_EQ(g->ColWidths(1), 50);
    EXPECT_EQ(g->ColWidths(3), 62); // 62.5 to the even neighbour
    EXPECT_EQ(g->ColWidths(0), 64); // fixed columns stay
    EXPECT_EQ(ended, 2);

    g->MouseActions().SetAllColumnSize(false);
    g->OnUpdateColumnSize = [](TExtStringGrid*, int, int& w) { w = 120; };
    g->Colclicked = 1;
    g->Colclickedsize = 50;
    g->ColSized = true;
    g->SetColWidths(1, 150);
    EXPECT_EQ(g->ColWidths(1), 120);
}

TEST(ExtGridSize, SizingVetoInFixedRowsOnly)
{
    auto g = Grid(5, 5);
    g->SetOptions(g->Options().With(goColSizing));
    g->SetClientSize(400, 200);
    std::vector<int> asked;
    g->OnColumnSize = [&](TExtStringGrid*, int c, bool& allow) {
        asked.push_back(c);
        allow = c != 2;
    };
    const int border2 = g->Viewport().ColLeft(3);
    TGridState state = gsNormal;
    int index = -1;
    g->CalcSizingState(border2, 5, state, index);
    EXPECT_EQ(state, gsNormal);
    EXPECT_EQ(asked, std::vector<int>{2});
    const int border1 = g->Viewport().ColLeft(2);
    g->CalcSizingState(border1, 5, state, index);
    EXPECT_EQ(state, gsColSizing);
    asked.clear();
    g->CalcSizingState(border2, 60, state, index);
    EXPECT_TRUE(asked.empty());
}

TEST(ExtGridSize, DragScrollingByTimerTicks)
{
    auto g = Grid(5, 50);
    g->SetClientSize(300, 200);
    g->SetHeight(200);
    g->SetTopRow(3);
    g->DragOver(100, 10, true);
    EXPECT_EQ(g->DragTimer(), nullptr); // not active
    g->DragScrollOptions().SetActive(true);
    g->DragOver(100, 10, true);
    ASSERT_NE(g->DragTimer(), nullptr);
    EXPECT_EQ(g->DragTimer()->interval(), 1000);
    g->DragScrollTick();
    EXPECT_EQ(g->DragTimer()->interval(), 250);
    EXPECT_EQ(g->TopRow(), 2);
    g->DragScrollTick();
    g->DragScrollTick();
    EXPECT_EQ(g->TopRow(), 1); // never above the first normal row
    bool refuse = true;
    g->OnDragScroll = [&](TExtStringGrid*, int, int, TDragScrollDirection& d, bool& can) { can = !refuse; };
    g->DragOver(100, 190, true);
    g->DragScrollTick();
    EXPECT_EQ(g->TopRow(), 1);
    refuse = false;
    g->DragScrollTick();
    EXPECT_EQ(g->TopRow(), 2);
    g->DragOver(100, 100, true); // away from the margins
    EXPECT_EQ(g->DragTimer(), nullptr);
    g->DragOver(100, 190, true);
    g->DragOver(0, 0, false);
    EXPECT_EQ(g->DragTimer(), nullptr);
}

TEST(ExtGridSize, NotifiersAndSelectionListener)
{
    auto g = Grid();
    struct Notifier : TGridChangeNotifier {
        std::vector<TGridRect>* seen;
        explicit Notifier(std::vector<TGridRect>* s) : seen(s) {}
        void CellsChanged(const TGridRect& r) override { seen->push_back(r); }
    };
    std::vector<TGridRect> seen;
    Notifier n(&seen);
    g->RegisterNotifier(&n);
    g->RegisterNotifier(&n);
    EXPECT_EQ(g->NotifierCount(), 1);
    bool eventFirst = false;
    g->OnCellsChanged = [&](TExtStringGrid*, const TGridRect&) { eventFirst = seen.empty(); };
    g->CellsChanged(TGridRect{1, 2, 3, 4});
    EXPECT_TRUE(eventFirst);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (TGridRect{1, 2, 3, 4}));
    g->UnRegisterNotifier(&n);
    EXPECT_EQ(g->NotifierCount(), 0);

    struct Listener : ITExtStringGridSelect {
        void CellSelected(int, int) override {}
    } a, b;
    g->RegisterSelListener(&a);
    g->RegisterSelListener(&b);
    EXPECT_EQ(g->SelListener(), &b);
    g->UnRegisterSelListener(&a);
    EXPECT_EQ(g->SelListener(), nullptr);
}

TEST(ExtGridSize, OwnerFormResizeAndScaling)
{
    QWidget form;
    form.resize(500, 400);
    form.show();
    TExtStringGrid g(&form);
    g.SetColCount(3);
    g.SetFixedCols(0);
    g.SetSizeWithForm(true);
    g.SetBounds(0, 0, 300, 200);
    g.ColumnSize().SetStretch(true);
    form.resize(600, 450);
    QApplication::processEvents();
    EXPECT_EQ(g.Width(), 400);
    EXPECT_EQ(g.Height(), 250);
    EXPECT_EQ(g.ColWidths(2), g.ClientWidth() - 128 - 1);

    // Two grids on one form each follow it on their own.
    {
        TExtStringGrid other(&form);
        other.SetSizeWithForm(true);
        other.SetBounds(0, 0, 100, 100);
        form.resize(610, 450);
        QApplication::processEvents();
        EXPECT_EQ(other.Width(), 110);
    }
    form.resize(620, 450);
    QApplication::processEvents();
    EXPECT_EQ(g.Width(), 420);

    g.FixedFont().Font.pointSize();
    TCellFont fixed = g.FixedFont();
    fixed.Font.setPointSize(8);
    g.SetFixedFont(fixed);
    g.Font.setPointSize(10);
    g.ChangeScale(3, 2);
    EXPECT_EQ(g.FixedFont().Font.pointSize(), 12);
    EXPECT_EQ(g.Font.pointSize(), 15);
}

TEST(ExtGridAssign, CopiesSettingsSizesAndCells)
{
    auto a = Grid(4, 6);
    a->SetColWidths(2, 77);
    a->SetRowHeights(3, 33);
    a->SetCells(2, 3, "text");
    a->SetFixedRowAlways(true);
    a->Navigation().SetAdvanceOnEnter(true);
    a->SortSettings().SetColumn(2);
    a->SetColumnHeaders({"h0", "h1"});
    TExtStringGrid b;
    b.Assign(*a);
    EXPECT_EQ(b.ColCount(), 4);
    EXPECT_EQ(b.RowCount(), 6);
    EXPECT_EQ(b.ColWidths(2), 77);
    EXPECT_EQ(b.RowHeights(3), 33);
    EXPECT_EQ(b.Cells(2, 3), "text");
    EXPECT_EQ(b.Cells(1, 0), "h1");
    EXPECT_TRUE(b.FixedRowAlways());
    EXPECT_TRUE(b.Navigation().AdvanceOnEnter());
    EXPECT_EQ(b.SortSettings().Column(), 2);
}
