#include "grid/ExtCGrid.h"
#include "platform/Files.h"
#include "platform/GridsWidget.h"
#include "platform/IniFile.h"
#include "platform/SysUtils.h"

#include <QApplication>
#include <QBuffer>
#include <QWidget>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Runs a python3 script with arguments; its standard output.
QString Python(const QString& script, const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), script} + args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << "python3 failed: " << p.readAllStandardError().toStdString();
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(ColumnGridItems, ItemCountFollowsTheColumns)
{
    TExtColumnGrid g;
    ASSERT_EQ(g.Columns().Count(), 5);
    g.Columns().Items(4).SetAlignment(taRightJustify);
    g.Columns().Items(4).SetEditor(edComboList);
    g.Columns().Items(4).SetHeader("Last");
    g.Columns().Items(4).SetCheckTrue("1");
    g.SetColCount(8);
    ASSERT_EQ(g.Columns().Count(), 8);
    for (int i = 5; i < 8; ++i) {
        EXPECT_EQ(g.Columns().Items(i).Alignment(), taRightJustify) << i;
        EXPECT_EQ(g.Columns().Items(i).Editor(), edComboList) << i;
        EXPECT_EQ(g.Columns().Items(i).CheckTrue(), "1") << i;
        EXPECT_EQ(g.Columns().Items(i).Header(), "") << i;
    }
    g.SetColCount(2);
    EXPECT_EQ(g.Columns().Count(), 2);
    // Adding items to the collection widens the grid.
    g.Columns().Add();
    g.Columns().Add();
    EXPECT_EQ(g.ColCount(), 4);
}

TEST(ColumnGridItems, NewItemDefaultsAndCopies)
{
    TExtColumnGrid g;
    g.Font = QFont("DejaVu Sans", 8);
    g.SetColCount(1);
    TGridColumnItem& a = g.Columns().Insert(1);
    ASSERT_EQ(g.ColCount(), 2);
    EXPECT_EQ(a.Font().Font.family(), "DejaVu Sans");
    EXPECT_EQ(a.PrintFont().Font.pointSize(), 8);
    EXPECT_EQ(a.HeaderFont().Font.family(), "DejaVu Sans");
    EXPECT_EQ(a.Color(), g.Color);
    EXPECT_EQ(a.PrintColor(), clWhite);
    EXPECT_EQ(a.CheckTrue(), "Y");
    EXPECT_EQ(a.CheckFalse(), "N");
    EXPECT_EQ(a.DropDownCount(), 8);
    EXPECT_EQ(a.SpinStep(), 1);
    EXPECT_EQ(a.PrintBorders(), (TCellBorders{cbTop, cbLeft, cbRight, cbBottom}));
    EXPECT_EQ(a.BorderPen().Color, clSilver);

    a.SetName("ID");
    a.SetColor(clRed);
    a.SetBorders(TCellBorders{cbLeft});
    a.ComboItems() = QStringList{"x"};
    a.SetTag(9);
    TGridColumnItem& b = g.Columns().Add();
    EXPECT_EQ(b.Borders(), TCellBorders{cbLeft});
    EXPECT_EQ(b.Color(), g.Color);
    EXPECT_EQ(b.Name(), "");
    EXPECT_TRUE(b.ComboItems().isEmpty());
    EXPECT_EQ(b.Tag(), 0);

    TGridColumnItem free(nullptr);
    free.Assign(a);
    EXPECT_EQ(free.Name(), "ID");
    EXPECT_EQ(free.Color(), clRed);
    EXPECT_EQ(free.ComboItems(), QStringList{"x"});
    EXPECT_EQ(free.Width(), 0); // no collection, no grid

    EXPECT_EQ(g.Columns().Items(1).GetDisplayName(), "Col 1: ID");
    EXPECT_EQ(g.Columns().Items(2).GetDisplayName(), "Column 2");
    EXPECT_EQ(g.ColumnByName("ID"), &g.Columns().Items(1));
    EXPECT_EQ(g.ColumnByName("id"), nullptr);
    EXPECT_THROW(g.Columns().Items(9), Exception);
}

TEST(ColumnGridItems, HeadersWidthsAndNames)
{
    TExtColumnGrid g;
    g.SetColCount(3);
    g.Columns().Items(1).SetHeader("Name");
    EXPECT_EQ(g.Cells(1, 0), "Name");
    EXPECT_EQ(g.ColumnHeaders(), (QStringList{"", "Name", ""}));
    g.SetColumnHeaders({"a", "b", "c"});
    EXPECT_EQ(g.Columns().Items(2).Header(), "c");

    g.Columns().Items(2).SetWidth(90);
    EXPECT_EQ(g.ColWidths(2), 90);
    g.SetColWidths(1, 33);
    EXPECT_EQ(g.Columns().Items(1).Width(), 33);

    TExtColumnGrid n;
    n.SetColCount(3);
    n.SetFixedRows(0);
    n.SetCells(1, 0, "data");
    n.Columns().Items(1).SetHeader("H");
    EXPECT_EQ(n.Cells(1, 0), "data");
    EXPECT_EQ(n.ColumnHeaders().value(1), "H");
    EXPECT_EQ(n.GetVersionString(), "3.1.3.1 Aug, 2012");
    EXPECT_EQ(n.Version(), "3.1.3.1");
}

TEST(ColumnGridHooks, AnswersFromTheItems)
{
    TExtColumnGrid g;
    g.SetColCount(4);
    g.SetRowCount(6);
    g.Columns().Items(1).SetEditor(edDataCheckBox);
    g.Columns().Items(2).SetReadOnly(true);
    g.Columns().Items(3).SetCheckTrue("1");
    g.Columns().Items(3).SetEditor(edComboEdit);
    g.SetFixedFooters(1);

    using enum TCellType;
    EXPECT_EQ(g.GetCellType(1, 2), ctDataCheckBox);
    ASSERT_NE(g.GetCellGraphic(1, 2), nullptr);
    EXPECT_EQ(g.GetCellGraphic(1, 2)->CellType, ctVirtCheckBox);
    EXPECT_EQ(g.GetCellType(1, 0), ctEmpty); // fixed row
    EXPECT_EQ(g.GetCellType(1, 5), ctEmpty); // footer row
    EXPECT_EQ(g.GetCellGraphic(1, 5), nullptr);

    bool can = true;
    g.QueryCanEdit(2, 2, can);
    EXPECT_FALSE(can);
    can = true;
    g.QueryCanEdit(3, 2, can);
    EXPECT_TRUE(can);
    g.SetReadOnly(3, 2, true);
    can = true;
    g.QueryCanEdit(3, 2, can);
    EXPECT_FALSE(can);
    g.OnCanEditCell = [](TExtStringGrid*, int, int, bool& ce) { ce = true; };
    can = false;
    g.QueryCanEdit(2, 2, can);
    EXPECT_TRUE(can); // the event has the last word

    g.OnGetCheckTrue = [](TExtStringGrid*, int, int, QString& v) { v = "X"; };
    QString v;
    g.GetCheckTrue(3, 2, v);
    EXPECT_EQ(v, "1");
    g.GetCheckTrue(3, 0, v); // not an inner cell: the event's answer stays
    EXPECT_EQ(v, "X");

    EXPECT_TRUE(g.HasCombo(3, 2));
    EXPECT_FALSE(g.HasCombo(3, 0));
    EXPECT_FALSE(g.HasCombo(2, 2));

    g.Columns().Items(2).SetFixed(true);
    EXPECT_TRUE(g.IsFixed(2, 3));
    EXPECT_FALSE(g.IsFixed(3, 3));

    g.Columns().Items(3).SetAlignment(taCenter);
    g.Columns().Items(3).SetHeaderAlignment(taRightJustify);
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    g.QueryAlignment(3, 3, ha, va);
    EXPECT_EQ(ha, taCenter);
    g.QueryAlignment(3, 2, ha, va); // the cell's own alignment wins
    EXPECT_EQ(ha, taLeftJustify);
    g.QueryAlignment(3, 0, ha, va);
    EXPECT_EQ(ha, taRightJustify);

    g.Columns().Items(3).SetBorders(TCellBorders{cbTop});
    TCellPen pen;
    TCellBorders borders;
    g.GetCellBorder(3, 2, pen, borders);
    EXPECT_EQ(borders, TCellBorders{cbTop});
    EXPECT_EQ(pen.Color, clSilver);
}

TEST(ColumnGridHooks, ColoursFontsAndDefaults)
{
    TExtColumnGrid g;
    g.SetColCount(3);
    g.Columns().Items(1).SetColor(clYellow);
    TCellFont hf{QFont("DejaVu Sans", 11), clBlue};
    g.Columns().Items(1).SetHeaderFont(hf);
    auto colour = [&](int c, int r, TCellFont* font = nullptr) {
        TCellBrush b{clWindow};
        TCellFont f{g.Font, clBlack};
        g.GetCellColor(c, r, TGridDrawState{}, b, f);
        if (font) *font = f;
        return b.Color;
    };
    EXPECT_EQ(colour(1, 3), clYellow);
    TCellFont f;
    colour(1, 0, &f);
    EXPECT_EQ(f.Color, clBlue);
    g.SetColors(1, 3, clRed);
    EXPECT_EQ(colour(1, 3), clRed); // the cell's own colour wins
    // A new cell's properties start from the item.
    EXPECT_EQ(g.CellProperties(1, 4)->BrushColor(), clYellow);
    EXPECT_EQ(g.CellProperties(0, 4)->BrushColor(), clNone);
}

TEST(ColumnGridHooks, FloatFormatOfTheColumn)
{
    const FormatSettings saved = SystemFormatSettings();
    FormatSettings fs;
    fs.DecimalSeparator = '.';
    SetFormatSettings(fs);
    TExtColumnGrid g;
    g.SetColCount(3);
    g.Columns().Items(1).SetFloatFormat("%.2f");
    struct Case {
        const char* text;
        const char* shown;
    };
    const Case cases[] = {{"3", "3.00"}, {"2.5", "2.50"}, {"1e5", "1e5"}, {"abc", "abc"}, {"", ""}};
    for (const Case& c : cases) {
        g.SetCells(1, 1, QString::fromLatin1(c.text));
        EXPECT_EQ(g.DisplCells(1, 1), QString::fromLatin1(c.shown)) << c.text;
    }
    // A format other than one numeric conversion shows the text as it is.
    g.Columns().Items(1).SetFloatFormat("%s");
    g.SetCells(1, 1, "3");
    EXPECT_EQ(g.DisplCells(1, 1), "3");
    g.OnGetFloatFormat = [](TExtStringGrid*, int, int, bool& isFloat, QString& f) {
        isFloat = true;
        f = "%.1f";
    };
    EXPECT_EQ(g.DisplCells(1, 1), "3.0");
    // Asking for the editor leaves the grid's float format alone.
    g.Columns().Items(2).SetFloatFormat("%.4f");
    TEditorType e = edNormal;
    g.GetCellEditor(2, 1, e);
    EXPECT_EQ(g.FloatFormat(), "%.2f");
    QString cf;
    g.GetCellFloatFormat(2, 1, cf);
    EXPECT_EQ(cf, "%.4f");
    SetFormatSettings(saved);
}

TEST(ColumnGridHooks, ColumnPopupBelongsToTheRealColumn)
{
    TExtColumnGrid g;
    g.SetColCount(4);
    g.SetRowCount(3);
    QMenu menu;
    g.Columns().Items(2).SetColumnPopup(&menu);
    g.Columns().Items(2).SetColumnPopupType(TColumnPopupType::cpNormalCellsRClick);
    int col = -1, row = -1;
    QMenu* got = nullptr;
    g.OnColumnPopup = [&](TExtColumnGrid*, int c, int r, QMenu* m) {
        col = c;
        row = r;
        got = m;
    };
    // With column 1 hidden, the shown column 1 is the real column 2.
    g.HideColumn(1);
    const TRect shown = g.CellRect(1, 1);
    g.MouseDown(mbRight, TShiftState(), shown.Left + 2, shown.Top + 2);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(got, &menu);
    // A left click is not this column's kind of click.
    col = -1;
    g.MouseDown(mbLeft, TShiftState(), shown.Left + 2, shown.Top + 2);
    EXPECT_EQ(col, -1);
    // The event comes for a right click on the header too (only the menu
    // stays shut there); still the real column.
    const TRect header = g.CellRect(1, 0);
    g.MouseDown(mbRight, TShiftState(), header.Left + 2, header.Top + 2);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 0);
}

TEST(ColumnGridHooks, EditorSettingsAndSizeLimits)
{
    TExtColumnGrid g;
    g.SetColCount(3);
    TGridColumnItem& it = g.Columns().Items(1);
    it.SetEditor(edComboList);
    it.ComboItems() = QStringList{"a", "b"};
    it.SetDropDownCount(4);
    it.SetMinSize(30);
    it.SetMaxSize(100);
    it.SetAutoMaxSize(80);
    int edits = 0;
    g.OnGetEditorType = [&](TExtStringGrid*, int, int, TEditorType&) { ++edits; };
    TEditorType e = edNormal;
    g.GetCellEditor(1, 2, e);
    EXPECT_EQ(e, edComboList);
    EXPECT_EQ(g.EditComboItems(), (QStringList{"a", "b"}));
    EXPECT_EQ(g.ControlLook().DropDownCount(), 4);
    EXPECT_EQ(edits, 1);
    int w = 10;
    g.UpdateColumnSize(1, w);
    EXPECT_EQ(w, 30);
    w = 500;
    g.UpdateColumnSize(1, w);
    EXPECT_EQ(w, 100);
    w = 500;
    g.UpdateAutoColumnSize(1, w);
    EXPECT_EQ(w, 80);
}

TEST(ColumnGridMoves, ItemsMoveWithTheirColumns)
{
    TExtColumnGrid g;
    g.SetColCount(5);
    g.Columns().Items(1).SetName("one");
    g.SetCells(1, 2, "cell");
    int from = -1, to = -1;
    g.OnAfterColumnMoved = [&](TExtColumnGrid*, int f, int t) {
        from = f;
        to = t;
    };
    g.MoveColumn(1, 3);
    EXPECT_EQ(g.Columns().Items(3).Name(), "one");
    EXPECT_EQ(g.Cells(3, 2), "cell");
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 3);
    EXPECT_EQ(g.Columns().Count(), 5);
}

TEST(ColumnGridPersistence, PositionsInAnIniFileReadAndWrittenByPython)
{
    QTemporaryDir dir;
    const QString ini = QDir(dir.path()).filePath("cols.ini");
    TExtColumnGrid g;
    g.SetColCount(3);
    g.Columns().Items(0).SetName("a");
    g.Columns().Items(1).SetName("b");
    g.Columns().Items(2).SetName("c");
    g.Columns().SetOrganization();
    g.SaveColumnPositions(ini, "Grid");
    const QString read = Python(
        "import configparser,sys\n"
        "c=configparser.ConfigParser(); c.optionxform=str; c.read(sys.argv[1])\n"
        "print(','.join(k+'='+v for k,v in c['Grid'].items()))\n",
        {ini});
    EXPECT_EQ(read.trimmed(), "CP0=0,CP1=1,CP2=2");

    // python writes the order 2, 0, 1; the grid loads it.
    Python("import configparser,sys\n"
           "c=configparser.ConfigParser(); c.optionxform=str\n"
           "c['Grid']={'CP0':'2','CP1':'0','CP2':'1'}\n"
           "c.write(open(sys.argv[1],'w'))\n",
           {ini});
    g.LoadColumnPositions(ini, "Grid");
    EXPECT_EQ(g.Columns().Items(0).Name(), "c");
    EXPECT_EQ(g.Columns().Items(1).Name(), "a");
    EXPECT_EQ(g.Columns().Items(2).Name(), "b");
    EXPECT_EQ(g.Columns().Items(0).DefIdx(), 2);
    EXPECT_EQ(g.Columns().Items(1).DefIdx(), 0);

    // Missing values or values that are not a permutation change nothing.
    TIniFile f(ini);
    f.WriteString("Grid", "CP1", "2");
    g.LoadColumnPositions(ini, "Grid");
    EXPECT_EQ(g.Columns().Items(0).Name(), "c");
    f.DeleteKey("Grid", "CP2");
    g.LoadColumnPositions(ini, "Grid");
    EXPECT_EQ(g.Columns().Items(0).Name(), "c");

    g.ColumnSize().SetLocation(TColumnSizeLocation::clIniFile);
    g.ColumnSize().SetKey(ini);
    g.ColumnSize().SetSection("Other");
    g.SaveColPositions();
    EXPECT_EQ(TIniFile(ini).ReadInteger("other", "cp0", -1), 2);
}

TEST(ColumnGridPersistence, ColumnStreamRoundTrip)
{
    TExtColumnGrid a;
    a.SetColCount(3);
    TGridColumnItem& it = a.Columns().Items(2);
    it.SetHeader("Kind");
    it.SetEditor(edComboEdit);
    it.ComboItems() = QStringList{"x", "y"};
    it.SetCheckTrue("1");
    it.SetFont(TCellFont{QFont("DejaVu Sans", 9), clBlue});
    it.SetBorders(TCellBorders{cbLeft, cbBottom});
    it.SetWidth(77);
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    a.SaveColumnsToStream(buf);

    TExtColumnGrid b;
    buf.seek(0);
    b.LoadColumnsFromStream(buf);
    ASSERT_EQ(b.Columns().Count(), 3);
    const TGridColumnItem& r = b.Columns().Items(2);
    EXPECT_EQ(r.Header(), "Kind");
    EXPECT_EQ(r.Editor(), edComboEdit);
    EXPECT_EQ(r.ComboItems(), (QStringList{"x", "y"}));
    EXPECT_EQ(r.CheckTrue(), "1");
    EXPECT_EQ(r.Font().Font.family(), "DejaVu Sans");
    EXPECT_EQ(r.Font().Color, clBlue);
    EXPECT_EQ(r.Borders(), (TCellBorders{cbLeft, cbBottom}));

    QBuffer bad;
    bad.setData(QByteArray("not a column stream"));
    bad.open(QIODevice::ReadOnly);
    b.Columns().Items(2).SetName("kept");
    try {
        b.LoadColumnsFromStream(bad);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid column stream");
    }
    EXPECT_EQ(b.Columns().Items(2).Name(), "kept");
}

TEST(ColumnGridScale, ItemFontsScaleAfterTheGrid)
{
    TExtColumnGrid g;
    g.SetColCount(2);
    g.Columns().Items(1).SetFont(TCellFont{QFont("DejaVu Sans", 10), clBlack});
    g.Columns().Items(1).SetHeaderFont(TCellFont{QFont("DejaVu Sans", 8), clBlack});
    g.ChangeScale(3, 2);
    EXPECT_EQ(g.Columns().Items(1).Font().Font.pointSize(), 15);
    EXPECT_EQ(g.Columns().Items(1).HeaderFont().Font.pointSize(), 12);
    g.ChangeScale(2, 2);
    EXPECT_EQ(g.Columns().Items(1).Font().Font.pointSize(), 15);
}

TEST(ColumnGridWindow, ShowsItsHeadersAndCells)
{
    QWidget form;
    form.resize(420, 200);
    TExtColumnGrid g(&form);
    g.Font = QFont("DejaVu Sans", 9);
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetBounds(0, 0, 400, 180);
    g.CreateWnd(&form);
    g.Columns().Items(1).SetHeader("Name");
    g.Columns().Items(2).SetHeader("Value");
    g.Columns().Items(2).SetColor(clYellow);
    g.SetCells(1, 1, "first");
    g.SetCells(2, 1, "42");
    g.ColumnSize().SetStretch(true);
    form.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    // The last column takes the rest of the client width.
    EXPECT_EQ(g.ColWidths(2), g.ClientWidth() - 128 - 1);
    const QImage img = g.Widget()->grab().toImage();
    if (!qEnvironmentVariableIsEmpty("KR_GRAB_DIR")) img.save(qEnvironmentVariable("KR_GRAB_DIR") + "/columngrid.png");
    // The header row shows the item's header: dark text pixels in its cell.
    const TRect r = g.CellRect(2, 0);
    int dark = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) dark += img.pixelColor(x, y).lightness() < 80;
    EXPECT_GT(dark, 10);
    // Growing the form keeps the last column filling the grid.
    g.SetSizeWithForm(true);
    form.resize(520, 200);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    EXPECT_EQ(g.Width(), 500);
    EXPECT_EQ(g.ColWidths(2), g.ClientWidth() - 128 - 1);
}
