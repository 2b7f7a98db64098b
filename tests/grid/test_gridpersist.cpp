// Settings kept outside the form: the column-state line, column widths and
// order in INI files and the per-user key store, the visual-properties file
// and the print-settings section, read back by this grid and by other INI
// readers, and readers fed bad files.
#include "../common/TestSupport.h"
#include "grid/ExtCGrid.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

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

// The section of an INI file as configparser reads it, "key=value" lines in
// file order, key case kept.
QStringList ConfigParserSection(const QString& file, const QString& section)
{
    const QString script = QStringLiteral(
        "import configparser,sys\n"
        "c=configparser.RawConfigParser(strict=True)\n"
        "c.optionxform=str\n"
        "c.read(sys.argv[1],encoding='utf-8')\n"
        "for k,v in c.items(sys.argv[2]): print(k+'='+v)\n");
    return Python(script, {file, section}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Writes an INI file with configparser: the arguments are section, then
// key=value pairs.
void ConfigParserWrite(const QString& file, const QStringList& args)
{
    const QString script = QStringLiteral(
        "import configparser,sys\n"
        "c=configparser.RawConfigParser()\n"
        "c.optionxform=str\n"
        "s=sys.argv[2]\n"
        "c.add_section(s)\n"
        "for kv in sys.argv[3:]:\n"
        "  k,v=kv.split('=',1)\n"
        "  c.set(s,k,v)\n"
        "with open(sys.argv[1],'w',encoding='utf-8') as f: c.write(f)\n");
    Python(script, QStringList{file} + args);
}

// The texts of row 0 column by column on screen, and those of the hidden
// columns in real order.
QStringList Shown(TExtStringGrid& g)
{
    QStringList s;
    for (int d = 0; d < g.ColCount(); ++d) s << g.Cells(g.RealColIndex(TDisplCol(d)).Value(), 0);
    return s;
}
QStringList HiddenNames(TExtStringGrid& g)
{
    QStringList s;
    for (int c = 0; c < g.AllColCount(); ++c)
        if (g.IsHiddenColumn(c)) s << g.Cells(c, 0);
    return s;
}
QList<int> Widths(TExtStringGrid& g)
{
    QList<int> w;
    for (int d = 0; d < g.ColCount(); ++d) w << g.ColWidths(d);
    return w;
}

// A grid of n columns named A, B, C ... in row 0, of widths 11, 12, 13 ...
void Name(TExtStringGrid& g, int n)
{
    g.SetColCount(n);
    for (int c = 0; c < n; ++c) {
        g.SetCells(c, 0, QString(QChar('A' + c)));
        g.SetColWidths(c, 11 + c);
    }
}

struct FileStamp {
    QByteArray bytes;
    QDateTime time;
    bool operator==(const FileStamp&) const = default;
};
FileStamp Stamp(const QString& file) { return {ReadFileBytes(file), QFileInfo(file).lastModified()}; }

} // namespace

// ---------------------------------------------------------------------------
// Colour texts

TEST(GridPersistColors, NamesAndHexTextsGoBothWays)
{
    const std::pair<TColor, const char*> cases[] = {
        {clBlack, "clBlack"},   {clRed, "clRed"},         {clMedGray, "clMedGray"}, {clWindow, "clWindow"},
        {clInfoBk, "clInfoBk"}, {clMenuBar, "clMenuBar"}, {clNone, "clNone"},       {clDefault, "clDefault"},
        {0x00123456, "$00123456"}, {TColor(0xFF000019), "$FF000019"}, {-2, "$FFFFFFFE"}};
    for (const auto& [c, text] : cases) {
        EXPECT_EQ(ColorToString(c), QString::fromLatin1(text));
        EXPECT_EQ(StringToColor(QString::fromLatin1(text)), c) << text;
    }
    // Every value that has no name comes back unchanged through its text.
    for (TColor c : {0, 1, 0x7FFFFFFF, int(0x80000000), 0x1FFFFFFE, int(0xFF00001F)})
        EXPECT_EQ(StringToColor(ColorToString(c)), c);
    EXPECT_EQ(StringToColor("CLRED"), clRed);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_EQ(StringToColor("$FF"), clRed);
    for (const char* bad : {"", "clRedd", "red", "$123456789", "12x"})
        EXPECT_THROW(StringToColor(QString::fromLatin1(bad)), EConvertError) << bad;
}

// ---------------------------------------------------------------------------
// Column-state line

TEST(GridPersistColumnStates, TheLineOfAPlainGridFeedsBackUnchanged)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetDefaultColWidth(64);
    EXPECT_EQ(g.ColumnStatesToString(), "3#64,64,64#0,1,2#1,1,1");
    g.HideColumn(1);
    EXPECT_EQ(g.ColumnStatesToString(), "3#64,64,64#0,1,2#1,0,1");
    g.UnHideColumnsAll();
    g.StringToColumnStates("3#64,64,64#0,1,2#1,1,1");
    EXPECT_EQ(g.ColumnStatesToString(), "3#64,64,64#0,1,2#1,1,1");
    EXPECT_EQ(g.NumHiddenColumns(), 0);
}

TEST(GridPersistColumnStates, RoundTripsOntoAFreshGrid)
{
    struct Case {
        const char* name;
        std::function<void(TExtStringGrid&)> arrange;
        QStringList shown;
        QStringList hidden;
    };
    const std::vector<Case> cases = {
        {"identity", [](TExtStringGrid&) {}, {"A", "B", "C", "D", "E"}, {}},
        {"moved", [](TExtStringGrid& g) { g.MoveColumn(0, 3); }, {"B", "C", "D", "A", "E"}, {}},
        {"hidden", [](TExtStringGrid& g) { g.HideColumns(1, 2); }, {"A", "D", "E"}, {"B", "C"}},
        {"moved and hidden",
         [](TExtStringGrid& g) {
             g.MoveColumn(4, 0);
             g.MoveColumn(2, 3);
             g.HideColumn(1);
         },
         {"E", "C", "B", "D"},
         {"A"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TExtStringGrid a;
        Name(a, 5);
        k.arrange(a);
        ASSERT_EQ(Shown(a), k.shown);
        const QList<int> widths = Widths(a);
        const QString line = a.ColumnStatesToString();

        TExtStringGrid b;
        Name(b, 5);
        b.SetColCount(2); // a different count: the line sets it
        b.SetColCount(5);
        for (int c = 0; c < 5; ++c) b.SetCells(c, 0, QString(QChar('A' + c)));
        b.StringToColumnStates(line);
        EXPECT_EQ(Shown(b), k.shown);
        EXPECT_EQ(HiddenNames(b), k.hidden);
        EXPECT_EQ(Widths(b), widths);
        EXPECT_EQ(b.ColumnStatesToString(), line);
        // The hidden columns come back with their own widths.
        a.UnHideColumnsAll();
        b.UnHideColumnsAll();
        EXPECT_EQ(Widths(b), Widths(a));
    }
}

TEST(GridPersistColumnStates, EdgeCasesOfTheLine)
{
    const auto fresh = [](TExtStringGrid& g) {
        Name(g, 3);
        g.SetDefaultColWidth(64);
        for (int c = 0; c < 3; ++c) g.SetColWidths(c, 64);
    };
    {
        SCOPED_TRACE("no # changes nothing");
        TExtStringGrid g;
        fresh(g);
        g.StringToColumnStates("5,1,2");
        EXPECT_EQ(g.ColumnStatesToString(), "3#64,64,64#0,1,2#1,1,1");
    }
    {
        SCOPED_TRACE("an empty order field only hides and sizes");
        TExtStringGrid g;
        fresh(g);
        g.MoveColumn(0, 2);
        g.StringToColumnStates("3#10,20,30##1,0,1");
        EXPECT_EQ(Shown(g), QStringList({"B", "A"}));
        EXPECT_EQ(HiddenNames(g), QStringList({"C"}));
        EXPECT_EQ(Widths(g), QList<int>({10, 20}));
        EXPECT_EQ(g.AllColWidths(1), 30);
    }
    {
        SCOPED_TRACE("an older line: the hidden column's entry is the default width");
        TExtStringGrid g;
        fresh(g);
        g.StringToColumnStates("3#70,80,64#0,1,2#1,0,1");
        EXPECT_EQ(Widths(g), QList<int>({70, 80}));
        EXPECT_EQ(HiddenNames(g), QStringList({"B"}));
    }
    {
        SCOPED_TRACE("an order that is no arrangement keeps the order");
        TExtStringGrid g;
        fresh(g);
        g.StringToColumnStates("3#10,20,30#0,0,1#1,1,1");
        EXPECT_EQ(Shown(g), QStringList({"A", "B", "C"}));
        EXPECT_EQ(Widths(g), QList<int>({10, 20, 30}));
    }
    {
        SCOPED_TRACE("-1 entries are skipped: what is left is no arrangement of all columns");
        TExtStringGrid g;
        fresh(g);
        g.StringToColumnStates("3#10,20,30#1,-1,0#1,1,1");
        EXPECT_EQ(Shown(g), QStringList({"A", "B", "C"}));
        EXPECT_EQ(Widths(g), QList<int>({10, 20, 30}));
    }
    {
        SCOPED_TRACE("an order recorded while a column was hidden still reads back");
        TExtStringGrid g;
        Name(g, 4);
        g.HideColumn(1);
        g.MoveColumn(0, 2);
        const QStringList shown = Shown(g);
        const QString line = g.ColumnStatesToString();
        EXPECT_EQ(line.section('#', 2, 2).split(',').size(), 4);
        TExtStringGrid b;
        Name(b, 4);
        EXPECT_NO_THROW(b.StringToColumnStates(line));
        EXPECT_EQ(b.ColumnStatesToString(), line);
    }
    {
        SCOPED_TRACE("a width outside 0..32767 keeps the current width");
        TExtStringGrid g;
        fresh(g);
        g.StringToColumnStates("3#10,99999,-5#0,1,2#1,1,1");
        EXPECT_EQ(Widths(g), QList<int>({10, 64, 64}));
    }
    {
        SCOPED_TRACE("more columns than the grid has");
        TExtStringGrid g;
        fresh(g);
        g.StringToColumnStates("4#1,2,3,4#3,2,1,0#1,1,1,1");
        EXPECT_EQ(g.ColCount(), 4);
        EXPECT_EQ(Shown(g), QStringList({"", "C", "B", "A"}));
        EXPECT_EQ(Widths(g), QList<int>({1, 2, 3, 4}));
    }
}

TEST(GridPersistColumnStates, ABadLineChangesNothing)
{
    const std::pair<const char*, bool> cases[] = {
        // line, whether the error is a conversion error (else a list index)
        {"x#10,20,30#0,1,2#1,1,1", true},
        {"3#10,x,30#0,1,2#1,1,1", true},
        {"3#10,20,30#0,1,y#1,1,1", true},
        {"3#10,20,30#0,1,2#1,1", false},
        {"3#10,20#0,1,2#1,1,1", false},
        {"3#10,20,30#0,1#1,1,1", false},
        {"3#10,20,30#0,1,2", false},
        {"99999999999#1#0#1", true},
        {"-1#1#0#1", true},
        {"3000000#1#0#1", true},
    };
    for (const auto& [line, conversion] : cases) {
        SCOPED_TRACE(line);
        TExtStringGrid g;
        Name(g, 5);
        g.MoveColumn(0, 1);
        g.HideColumn(4);
        const QString before = g.ColumnStatesToString();
        if (conversion)
            EXPECT_THROW(g.StringToColumnStates(QString::fromLatin1(line)), EConvertError);
        else
            try {
                g.StringToColumnStates(QString::fromLatin1(line));
                ADD_FAILURE() << "no error";
            } catch (const EConvertError&) {
                ADD_FAILURE() << "a conversion error";
            } catch (const Exception& e) {
                EXPECT_TRUE(e.Message().startsWith("List index out of bounds")) << e.Message().toStdString();
            }
        EXPECT_EQ(g.ColumnStatesToString(), before);
        EXPECT_EQ(Shown(g), QStringList({"B", "A", "C", "D"}));
    }
}

TEST(GridPersistColumnStates, ErrorsNameTheField)
{
    TExtStringGrid g;
    try {
        g.StringToColumnStates("5#1,2,3,4,5#0,1,2,3,4#1,1,zz,1,1");
        SUCCEED();
    } catch (...) {
        ADD_FAILURE() << "visibility flags are compared, not converted";
    }
    try {
        g.StringToColumnStates("5#1,2,3,q,5#0,1,2,3,4#1,1,1,1,1");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_TRUE(e.Message().contains("'q'")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("width field")) << e.Message().toStdString();
    }
}

// ---------------------------------------------------------------------------
// Column widths and order in INI files

class GridPersistStore : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(GridPersistStore, SavedWidthsAndOrderAreReadByConfigParser)
{
    const QString ini = Path("cols.ini");
    TExtStringGrid g;
    Name(g, 4);
    g.MoveColumn(3, 0);
    g.HideColumn(2);
    g.ColumnSize().SetLocation(TColumnSizeLocation::clIniFile);
    g.ColumnSize().SetKey(ini);
    g.ColumnSize().SetSection("Grid");
    g.SaveColSizes();
    g.SaveColPositions();
    EXPECT_EQ(ConfigParserSection(ini, "Grid"),
              QStringList({"Col0=14", "Col1=11", "Col2=13", "Pos0=3", "Pos1=0", "Pos2=1", "Pos3=2"}));

    // Read back onto a fresh grid of the same columns.
    TExtStringGrid b;
    Name(b, 4);
    b.ColumnSize().Assign(g.ColumnSize());
    b.LoadColPositions();
    EXPECT_EQ(Shown(b), QStringList({"D", "A", "B", "C"}));
    b.HideColumn(2);
    b.LoadColSizes();
    EXPECT_EQ(Shown(b), QStringList({"D", "A", "C"}));
    EXPECT_EQ(Widths(b), QList<int>({14, 11, 13}));
}

TEST_F(GridPersistStore, FilesOfOtherWritersLoadAndLoadingNeverWrites)
{
    const QString ini = Path("other.ini");
    ConfigParserWrite(ini, {"grid", "col0=30", "COL1=31", "cOl2=abc", "Col3=99999", "pos0=2", "POS1=0", "Pos2=1", "Pos3=3"});
    const FileStamp before = Stamp(ini);
    QThread::msleep(20);

    TExtStringGrid g;
    Name(g, 4);
    g.ColumnSize().SetLocation(TColumnSizeLocation::clIniFile);
    g.ColumnSize().SetKey(ini);
    g.ColumnSize().SetSection("GRID");
    g.LoadColSizes();
    // A value that is no width keeps the current one.
    EXPECT_EQ(Widths(g), QList<int>({30, 31, 13, 14}));
    g.LoadColPositions();
    EXPECT_EQ(Shown(g), QStringList({"C", "A", "B", "D"}));
    EXPECT_EQ(g.ColumnStatesToString().section('#', 2, 2), "2,0,1,3");
    EXPECT_TRUE(Stamp(ini) == before);
}

TEST_F(GridPersistStore, PositionsThatAreNoArrangementOrMissingChangeNothing)
{
    const QString ini = Path("pos.ini");
    TExtStringGrid g;
    Name(g, 3);
    g.ColumnSize().SetLocation(TColumnSizeLocation::clIniFile);
    g.ColumnSize().SetKey(ini);
    g.ColumnSize().SetSection("S");
    // No file, no Pos0, a repeated value, a value out of range.
    g.LoadColPositions();
    g.LoadColSizes();
    EXPECT_FALSE(QFileInfo::exists(ini));
    for (const QStringList& keys : {QStringList{"Pos1=0"}, QStringList{"Pos0=1", "Pos1=1", "Pos2=0"},
                                    QStringList{"Pos0=0", "Pos1=1", "Pos2=7"}}) {
        ConfigParserWrite(ini, QStringList{"S"} + keys);
        g.LoadColPositions();
        EXPECT_EQ(Shown(g), QStringList({"A", "B", "C"})) << keys.join(' ').toStdString();
    }
    // Without key or section nothing is read or written.
    g.ColumnSize().SetSection("");
    g.MoveColumn(0, 2);
    g.SaveColPositions();
    g.SaveColSizes();
    EXPECT_EQ(ConfigParserSection(ini, "S"), QStringList({"Pos0=0", "Pos1=1", "Pos2=7"}));
}

TEST_F(GridPersistStore, HiddenColumnsStayHiddenWhenPositionsLoad)
{
    const QString ini = Path("hid.ini");
    ConfigParserWrite(ini, {"S", "Pos0=2", "Pos1=1", "Pos2=0"});
    TExtStringGrid g;
    Name(g, 3);
    g.HideColumn(1);
    g.ColumnSize().SetLocation(TColumnSizeLocation::clIniFile);
    g.ColumnSize().SetKey(ini);
    g.ColumnSize().SetSection("S");
    g.LoadColPositions();
    EXPECT_EQ(g.NumHiddenColumns(), 1);
    EXPECT_EQ(Shown(g), QStringList({"C", "A"}));
}

TEST_F(GridPersistStore, TheGridSavesAndRestoresItsWidthsByItself)
{
    const QString ini = Path("auto.ini");
    {
        TExtStringGrid g;
        Name(g, 3);
        g.ColumnSize().SetLocation(TColumnSizeLocation::clIniFile);
        g.ColumnSize().SetKey(ini);
        g.ColumnSize().SetSection("Auto");
        g.ColumnSize().SetSave(true);
        g.SetColWidths(1, 77);
    }
    EXPECT_EQ(TIniFile(ini).ReadInteger("Auto", "Col1", -1), 77);
    TExtStringGrid g;
    Name(g, 3);
    g.ColumnSize().SetLocation(TColumnSizeLocation::clIniFile);
    g.ColumnSize().SetKey(ini);
    g.ColumnSize().SetSection("Auto");
    g.ColumnSize().SetSave(true);
    g.Loaded();
    EXPECT_EQ(Widths(g), QList<int>({11, 77, 13}));
    g.SetColWidths(1, 5);
    QWidget parent;
    g.CreateWnd(&parent);
    EXPECT_EQ(g.ColWidths(1), 77);
    g.ColumnSize().SetSave(false);
}

TEST_F(GridPersistStore, AStoreThatCannotBeWrittenIsReportedWhenTheGridGoes)
{
    ScriptedMessages boxes;
    boxes.Answer(mrOk);
    {
        TExtStringGrid g;
        g.ColumnSize().SetLocation(TColumnSizeLocation::clIniFile);
        g.ColumnSize().SetKey(Path("no/such/folder/x.ini"));
        g.ColumnSize().SetSection("S");
        g.ColumnSize().SetSave(true);
    }
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_TRUE(boxes.Texts()[0].contains("x.ini")) << boxes.Texts()[0].toStdString();
}

// The per-user key store lands in the user's configuration folder, here a
// temporary one.
class GridPersistRegistry : public GridPersistStore {
protected:
    void SetUp() override
    {
        m_home = qgetenv("HOME");
        m_xdg = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", m_dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8());
        QStandardPaths::setTestModeEnabled(true);
    }
    void TearDown() override
    {
        QStandardPaths::setTestModeEnabled(false);
        qputenv("HOME", m_home);
        if (m_xdg.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_xdg);
    }
    QByteArray m_home, m_xdg;
};

TEST_F(GridPersistRegistry, KeysBecomeFilesUnderTheUsersConfigurationFolder)
{
    const QString file = RegistryKeyFileName("Software\\Maker\\Grid");
    EXPECT_TRUE(file.startsWith(m_dir.path() + "/")) << file.toStdString();
    EXPECT_TRUE(file.endsWith("/Software/Maker/Grid.ini")) << file.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));

    TExtColumnGrid g;
    Name(g, 3);
    g.MoveColumn(2, 0);
    g.ColumnSize().SetKey("Software\\Maker\\Grid");
    g.ColumnSize().SetSection("Columns");
    EXPECT_EQ(g.ColumnSize().Location(), TColumnSizeLocation::clRegistry);
    g.SaveColSizes();
    g.SaveColPositions();
    EXPECT_EQ(ConfigParserSection(file, "Columns"),
              QStringList({"Col0=13", "Col1=11", "Col2=12", "Pos0=2", "Pos1=0", "Pos2=1"}));

    TExtColumnGrid b;
    Name(b, 3);
    b.ColumnSize().Assign(g.ColumnSize());
    b.LoadColPositions();
    b.LoadColSizes();
    EXPECT_EQ(Shown(b), QStringList({"C", "A", "B"}));
    EXPECT_EQ(Widths(b), QList<int>({13, 11, 12}));
}

TEST_F(GridPersistRegistry, KeysReachingOutsideAreRefused)
{
    for (const char* key : {"..\\x", "a\\..\\..\\b", "/etc/x", "\\x", "C:\\x", "a/./b", "\\\\"}) {
        EXPECT_THROW(RegistryKeyFileName(QString::fromLatin1(key)), Exception) << key;
        TExtStringGrid g;
        g.ColumnSize().SetKey(QString::fromLatin1(key));
        g.ColumnSize().SetSection("S");
        EXPECT_THROW(g.SaveColSizes(), Exception) << key;
        EXPECT_THROW(g.LoadColSizes(), Exception) << key;
    }
    QDirIterator it(m_dir.path(), {"*.ini"}, QDir::Files, QDirIterator::Subdirectories);
    EXPECT_FALSE(it.hasNext());
}

// ---------------------------------------------------------------------------
// Visual properties

namespace {
const char* const kDefaultVisualProps[] = {
    "Color=clWindow",
    "HintColor=clInfoBk",
    "SelectionColor=$00EACAB6",
    "SelectionColorTo=clNone",
    "SelectionMirrorColor=clNone",
    "SelectionMirrorColorTo=clNone",
    "SelectionTextColor=clBlack",
    "URLColor=clBlue",
    "URLShow=false",
    "URLShowInText=false",
    "ScrollColor=clNone",
    "ActiveRowColor=clInfoBk",
    "ActiveRowShow=false",
    "ActiveCellShow=false",
    "Font.Color=clWindowText",
    "Font.Style=",
    "Font.Size=@SIZE@",
    "Font.Name=@NAME@",
    "ActiveCellColor=clGray",
    "ActiveCellColorTo=clNone",
    "ActiveCellFont.Color=@ACOLOR@",
    "ActiveCellFont.Style=@ASTYLE@",
    "ActiveCellFont.Size=@ASIZE@",
    "ActiveCellFont.Name=@ANAME@",
    "FixedFont.Color=@FCOLOR@",
    "FixedFont.Style=@FSTYLE@",
    "FixedFont.Size=@FSIZE@",
    "FixedFont.Name=@FNAME@",
    "Balloon.BackgroundColor=clNone",
    "Balloon.TextColor=clNone",
    "Balloon.Transparency=0",
    "Bands.PrimaryColor=@BAND1@",
    "Bands.SecondaryColor=clWindow",
    "Bands.Active=false",
    "SortSettings.IndexColor=clYellow",
    "FloatingFooter.Color=clBtnFace",
    "ControlLook.CheckSize=15",
    "ControlLook.Color=clBlack",
    "ControlLook.CommentColor=clRed",
    "ControlLook.ControlStyle=csTheme",
    "ControlLook.FixedGradientFrom=clNone",
    "ControlLook.FixedGradientTo=clNone",
    "ControlLook.RadioSize=10",
    "ControlLook.FlatButton=false",
    "ControlLook.ProgressBorderColor=clGray",
    "ControlLook.ProgressXP=false",
    "Look=@LOOK@",
    "SearchFooter.Color=@SFC@",
    "SearchFooter.ColorTo=@SFCT@",
    "Grouping.HeaderColor=clNone",
    "Grouping.HeaderColorTo=clNone",
    "Grouping.HeaderTextColor=clNone",
    "Grouping.HeaderUnderline=false",
    "Grouping.HeaderLineColor=clBlue",
    "Grouping.HeaderLineWidth=2",
    "Grouping.SummaryColor=clNone",
    "Grouping.SummaryColorTo=clNone",
    "Grouping.SummaryTextColor=clNone",
    "Grouping.SummaryLine=false",
    "Grouping.SummaryLineColor=clBlue",
    "Grouping.SummaryLineWidth=2",
    "GridLineColor=clSilver",
    "GridFixedLineColor=clGray",
    "BackGround.Top=0",
    "BackGround.Left=0",
    "BackGround.Display=bdTile",
    "BackGround.Cells=bcNormal",
    "BackGround.Color=clWindow",
    "BackGround.ColorTo=clBtnFace",
};

QString StyleText(const QFont& f)
{
    QStringList s;
    if (f.bold()) s << "fsBold";
    if (f.italic()) s << "fsItalic";
    if (f.underline()) s << "fsUnderline";
    if (f.strikeOut()) s << "fsStrikeOut";
    return s.join(',');
}

void WriteText(const QString& file, const QByteArray& bytes) { WriteFileAtomic(file, bytes); }
} // namespace

TEST_F(GridPersistStore, ADefaultGridWritesTheSixtyNineLines)
{
    TExtStringGrid g;
    const QString file = Path("look.txt");
    g.SaveVisualProps(file);
    QString look;
    LookToIdent(g.Look(), look);
    QByteArray expected;
    for (const char* line : kDefaultVisualProps) {
        QString l = QString::fromLatin1(line);
        l.replace("@SIZE@", QString::number(FontSizeOf(g.Font)));
        l.replace("@NAME@", g.Font.family());
        l.replace("@ACOLOR@", ColorToString(g.ActiveCellFont().Color));
        l.replace("@ASTYLE@", StyleText(g.ActiveCellFont().Font));
        l.replace("@ASIZE@", QString::number(FontSizeOf(g.ActiveCellFont().Font)));
        l.replace("@ANAME@", g.ActiveCellFont().Font.family());
        l.replace("@FCOLOR@", ColorToString(g.FixedFont().Color));
        l.replace("@FSTYLE@", StyleText(g.FixedFont().Font));
        l.replace("@FSIZE@", QString::number(FontSizeOf(g.FixedFont().Font)));
        l.replace("@FNAME@", g.FixedFont().Font.family());
        l.replace("@BAND1@", ColorToString(g.Bands().PrimaryColor()));
        l.replace("@LOOK@", look);
        l.replace("@SFC@", ColorToString(g.SearchFooter().Color()));
        l.replace("@SFCT@", ColorToString(g.SearchFooter().ColorTo()));
        expected += EncodeAnsi(l) + "\r\n";
    }
    EXPECT_EQ(std::size(kDefaultVisualProps), 69u);
    const QByteArray written = ReadFileBytes(file);
    EXPECT_EQ(QString::fromLatin1(written).toStdString(), QString::fromLatin1(expected).toStdString());
}

TEST_F(GridPersistStore, VisualPropertiesRoundTripOntoAFreshGrid)
{
    TExtStringGrid a;
    // Another look than a fresh grid's: loading it applies its preset.
    a.SetLook(TGridLook::glSoft);
    // Values set after the look: loading must not let the look's preset
    // overwrite them.
    a.SetSelectionColor(0x00010203);
    a.SetHintColor(clCream);
    a.SetURLShow(true);
    a.Font.setFamily(QStringLiteral("Caf\u00e9 Sans"));
    a.Font.setPointSize(13);
    a.Font.setBold(true);
    a.Font.setStrikeOut(true);
    a.FontColor = clMaroon;
    a.Balloon().SetTransparency(200);
    a.ControlLook().SetControlStyle(TControlStyle::csFlat);
    a.ControlLook().SetCheckSize(21);
    a.Grouping().SetSummaryLineWidth(5);
    a.BackGround().SetDisplay(TBackGroundDisplay::bdGradientVert);
    a.BackGround().SetCells(TBackGroundCells::bcAll);
    a.BackGround().SetLeft(-7);
    a.SetGridLineColor(TColor(0x00ABCDEF));
    const QString fa = Path("a.txt"), fb = Path("b.txt");
    a.SaveVisualProps(fa);
    EXPECT_TRUE(ReadFileBytes(fa).contains("Font.Name=Caf\xe9 Sans\r\n"));

    TExtStringGrid b;
    b.LoadVisualProps(fa);
    b.SaveVisualProps(fb);
    EXPECT_EQ(QString::fromLatin1(ReadFileBytes(fb)).toStdString(), QString::fromLatin1(ReadFileBytes(fa)).toStdString());
    EXPECT_EQ(b.Look(), TGridLook::glSoft);
    EXPECT_EQ(b.SelectionColor(), 0x00010203);
    EXPECT_EQ(b.Font.family(), QStringLiteral("Caf\u00e9 Sans"));
    EXPECT_TRUE(b.Font.bold() && b.Font.strikeOut() && !b.Font.italic());
}

TEST_F(GridPersistStore, VisualPropertiesLoadTable)
{
    const QString file = Path("v.txt");
    struct Case {
        const char* name;
        QByteArray text;
        std::function<void(TExtStringGrid&)> check;
    };
    const std::vector<Case> cases = {
        {"keys in any case", "bALLOON.backgroundCOLOR=clRed\r\nurlshow=TRUE\r\nlook=GLSOFT\r\n",
         [](TExtStringGrid& g) {
             EXPECT_EQ(g.Balloon().BackgroundColor(), clRed);
             EXPECT_TRUE(g.URLShow());
             EXPECT_EQ(g.Look(), TGridLook::glSoft);
         }},
        {"the first match wins", "Color=clRed\r\nColor=clBlue\r\nBackground.Color=$00000010\r\n",
         [](TExtStringGrid& g) {
             EXPECT_EQ(g.Color, clRed);
             EXPECT_EQ(g.BackGround().Color(), 16);
         }},
        {"missing keys leave their property", "HintColor=\r\n",
         [](TExtStringGrid& g) {
             EXPECT_EQ(g.HintColor(), clNone); // present but empty: no colour
             EXPECT_EQ(g.Color, clWindow);
             EXPECT_FALSE(g.Font.family().isEmpty());
             EXPECT_EQ(g.ControlLook().CheckSize(), 15);
         }},
        {"glCustom and unknown names keep the current value", "Look=\r\nBackGround.Display=bdNowhere\r\n",
         [](TExtStringGrid& g) {
             EXPECT_EQ(g.Look(), TGridLook::glWin7);
             EXPECT_EQ(g.BackGround().Display(), TBackGroundDisplay::bdFixed);
         }},
        {"Booleans, styles and an empty font name", "Bands.Active=yes\r\nFixedFont.Style=xfsItalicx\r\nFixedFont.Name=\r\n",
         [](TExtStringGrid& g) {
             EXPECT_FALSE(g.Bands().Active());
             EXPECT_TRUE(g.FixedFont().Font.italic());
             EXPECT_FALSE(g.FixedFont().Font.bold());
             EXPECT_TRUE(g.FixedFont().Font.family().isEmpty());
         }},
        {"lines without = and values with =", "junk\r\nSearchFooter.Color=12\r\nBalloon.TextColor==1\r\n",
         [](TExtStringGrid&) {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        WriteText(file, k.text);
        TExtStringGrid g;
        g.SetLook(TGridLook::glWin7);
        g.BackGround().SetDisplay(TBackGroundDisplay::bdFixed);
        g.Bands().SetActive(true);
        const TColor footerBefore = g.SearchFooter().Color();
        try {
            g.LoadVisualProps(file);
            k.check(g);
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(k.name), "lines without = and values with =") << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains("Balloon.TextColor")) << e.Message().toStdString();
            EXPECT_EQ(g.SearchFooter().Color(), footerBefore);
        }
    }
}

TEST_F(GridPersistStore, ABadVisualValueChangesNothingAndNamesItsKey)
{
    const QString file = Path("bad.txt");
    const std::pair<const char*, const char*> cases[] = {
        {"Font.Size=abc", "Font.Size"},
        {"Font.Size=", "Font.Size"},
        {"Font.Size=99999999999", "Font.Size"},
        {"Font.Size=0", "Font.Size"},
        {"Balloon.Transparency=256", "Balloon.Transparency"},
        {"ControlLook.RadioSize=-1", "ControlLook.RadioSize"},
        {"GridLineColor=clPink", "GridLineColor"},
        {"BackGround.ColorTo=$1FFFFFFFF", "BackGround.ColorTo"},
    };
    for (const auto& [line, key] : cases) {
        SCOPED_TRACE(line);
        WriteText(file, QByteArray("Color=clRed\r\nLook=glXP\r\nFont.Name=Other\r\n") + line + "\r\n");
        TExtStringGrid g;
        const QString before = Path("before.txt"), after = Path("after.txt");
        g.SaveVisualProps(before);
        try {
            g.LoadVisualProps(file);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_TRUE(e.Message().contains(QString::fromLatin1(key))) << e.Message().toStdString();
        }
        g.SaveVisualProps(after);
        EXPECT_EQ(ReadFileBytes(after), ReadFileBytes(before));
    }
}

TEST_F(GridPersistStore, VisualFilesThatCannotBeOpenedOrCreated)
{
    TExtStringGrid g;
    try {
        g.LoadVisualProps(Path("missing.txt"));
        ADD_FAILURE();
    } catch (const EFileError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + Path("missing.txt"));
    }
    EXPECT_THROW(g.LoadVisualProps(m_dir.path()), EFileError);
    try {
        g.SaveVisualProps(Path("none/x.txt"));
        ADD_FAILURE();
    } catch (const EFileError& e) {
        EXPECT_EQ(e.Message(), "Cannot Create " + Path("none/x.txt"));
    }
    EXPECT_FALSE(QFileInfo::exists(Path("none")));
}

// ---------------------------------------------------------------------------
// Print settings

TEST_F(GridPersistStore, PrintSettingsDefaultsOnAMissingFileOrSection)
{
    const QString ini = Path("print.ini");
    for (bool withFile : {false, true}) {
        if (withFile) ConfigParserWrite(ini, {"Other", "Centered=N", "FooterSize=7"});
        TExtStringGrid g;
        g.PrintSettings().SetCentered(false);
        g.PrintSettings().SetFooterSize(3);
        g.PrintSettings().SetColumnSpacing(1);
        g.PrintSettings().SetBorders(TPrintBorders::pbDouble);
        g.PrintSettings().SetTitleLines({"x"});
        g.LoadPrintSettings(ini, "Print");
        const TPrintSettings& p = g.PrintSettings();
        EXPECT_TRUE(p.Centered());
        EXPECT_EQ(p.FooterSize(), 100);
        EXPECT_EQ(p.LeftSize(), 100);
        EXPECT_EQ(p.ColumnSpacing(), 20);
        EXPECT_EQ(p.Borders(), TPrintBorders::pbNoborder);
        EXPECT_EQ(p.Font().family(), "Arial");
        EXPECT_EQ(FontSizeOf(p.Font()), 10);
        EXPECT_EQ(p.FontColor(), 0);
        EXPECT_FALSE(p.UseDisplayFont());
        EXPECT_TRUE(p.TitleLines().isEmpty());
        EXPECT_TRUE(p.DateFormat().isEmpty());
    }
    EXPECT_EQ(ConfigParserSection(ini, "Other"), QStringList({"Centered=N", "FooterSize=7"}));
}

TEST_F(GridPersistStore, PrintSettingsRoundTripAndAreReadByConfigParser)
{
    const QString ini = Path("p.ini");
    TExtStringGrid a;
    TPrintSettings& p = a.PrintSettings();
    p.SetTitleLines({"First line", "Second, with comma"});
    p.SetTitleText("Hello, world");
    p.SetDate(TPrintPosition::ppBottomRight);
    p.SetBorders(TPrintBorders::pbAroundVertical);
    p.SetBorderStyle(Qt::DashDotLine);
    p.SetBorderColor(clRed);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(12);
    f.setBold(true);
    f.setUnderline(true);
    p.SetHeaderFont(f);
    p.SetHeaderFontColor(clBlue);
    p.SetOrientation(TPrinterOrientation::poLandscape);
    p.SetFitToPage(TFitToPage::fpShrink);
    p.SetPrintGraphics(true);
    p.SetColumnSpacing(7);
    a.SavePrintSettings(ini, "Print");
    const QStringList lines = ConfigParserSection(ini, "Print");
    const QStringList keys = [&] {
        QStringList k;
        for (const QString& l : lines) k << l.section('=', 0, 0);
        return k;
    }();
    EXPECT_EQ(keys, QStringList({"ColumnSpacing", "RowSpacing", "TitleSpacing", "FixedHeight", "FixedWidth", "Centered",
                                 "NoAutoSize", "UseFixedHeight", "UseFixedWidth", "RepeatFixedRows", "RepeatFixedCols",
                                 "UseDisplFont", "UseDefOrientation", "Borders", "BorderColor", "BorderStyle", "Date",
                                 "PageNr", "Title", "Time", "DateFormat", "TitleText", "FooterSize", "HeaderSize",
                                 "LeftSize", "RightSize", "FitToPage", "FontName", "FontSize", "FontStyle", "FontColor",
                                 "HeaderFontName", "HeaderFontSize", "HeaderFontStyle", "HeaderFontColor",
                                 "FooterFontName", "FooterFontSize", "FooterFontStyle", "FooterFontColor", "PageNumSep",
                                 "PageSuffix", "PagePrefix", "Orientation", "TitleLines", "PrintGraphics"}));
    for (const char* kv : {"ColumnSpacing=7", "Centered=Y", "UseDisplFont=Y", "Borders=6", "BorderColor=255",
                           "BorderStyle=3", "Date=5", "TitleText=Hello, world", "FitToPage=2", "HeaderFontSize=12",
                           "HeaderFontStyle=5", "HeaderFontColor=16711680", "HeaderFontName=DejaVu Sans", "Orientation=1",
                           "TitleLines=First line\\nSecond, with comma\\n", "PrintGraphics=Y", "PageNumSep=/"})
        EXPECT_TRUE(lines.contains(QString::fromLatin1(kv))) << kv;

    TExtStringGrid b;
    b.LoadPrintSettings(ini, "print");
    const TPrintSettings& q = b.PrintSettings();
    EXPECT_EQ(q.TitleLines(), QStringList({"First line", "Second, with comma"}));
    EXPECT_EQ(q.TitleText(), "Hello, world");
    EXPECT_EQ(q.Date(), TPrintPosition::ppBottomRight);
    EXPECT_EQ(q.Borders(), TPrintBorders::pbAroundVertical);
    EXPECT_EQ(q.BorderStyle(), Qt::DashDotLine);
    EXPECT_EQ(q.HeaderFont().family(), "DejaVu Sans");
    EXPECT_TRUE(q.HeaderFont().bold() && q.HeaderFont().underline() && !q.HeaderFont().italic());
    EXPECT_EQ(q.HeaderFontColor(), clBlue);
    EXPECT_EQ(q.Orientation(), TPrinterOrientation::poLandscape);
    EXPECT_EQ(q.FitToPage(), TFitToPage::fpShrink);
    EXPECT_TRUE(q.PrintGraphics());
    EXPECT_EQ(q.ColumnSpacing(), 7);
}

TEST_F(GridPersistStore, PrintSettingsRangeRulesAndOtherWriters)
{
    const QString ini = Path("w.ini");
    ConfigParserWrite(ini, {"PRINT", "date=7", "PAGENR=3", "Borders=9", "BorderStyle=-1", "FitToPage=5", "Orientation=2",
                            "fontstyle=0", "FontSize=0", "HeaderFontStyle=2", "centered=y", "NoAutoSize=Y",
                            "TitleText=Hello, world", "titlelines=One\\nTwo"});
    const FileStamp before = Stamp(ini);
    QThread::msleep(20);
    TExtStringGrid g;
    TPrintSettings& p = g.PrintSettings();
    QFont bold = p.Font();
    bold.setBold(true);
    bold.setPointSize(9);
    p.SetFont(bold);
    p.SetBorders(TPrintBorders::pbHorizontal);
    p.SetBorderStyle(Qt::DotLine);
    p.SetFitToPage(TFitToPage::fpGrow);
    p.SetOrientation(TPrinterOrientation::poLandscape);
    g.LoadPrintSettings(ini, "Print");
    EXPECT_EQ(p.Date(), TPrintPosition::ppNone);
    EXPECT_EQ(p.PageNr(), TPrintPosition::ppTopCenter);
    EXPECT_EQ(p.Borders(), TPrintBorders::pbHorizontal);
    EXPECT_EQ(p.BorderStyle(), Qt::DotLine);
    EXPECT_EQ(p.FitToPage(), TFitToPage::fpGrow);
    EXPECT_EQ(p.Orientation(), TPrinterOrientation::poLandscape);
    // The file's style bits are the style: 0 clears bold. A size no font has
    // keeps the current one.
    EXPECT_FALSE(p.Font().bold());
    EXPECT_EQ(FontSizeOf(p.Font()), 9);
    EXPECT_TRUE(p.HeaderFont().italic());
    EXPECT_FALSE(p.Centered());
    EXPECT_TRUE(p.NoAutoSize());
    EXPECT_EQ(p.TitleText(), "Hello, world");
    EXPECT_EQ(p.TitleLines(), QStringList({"One", "Two"}));
    EXPECT_TRUE(Stamp(ini) == before);
}

TEST_F(GridPersistStore, APrintTextWithALineBreakIsRefusedBeforeAnythingIsWritten)
{
    const QString ini = Path("lb.ini");
    TExtStringGrid g;
    g.PrintSettings().SetTitleText("a\r\n[Other]\r\nx=1");
    EXPECT_THROW(g.SavePrintSettings(ini, "Print"), EConvertError);
    EXPECT_FALSE(QFileInfo::exists(ini));
}

// ---------------------------------------------------------------------------
// Bad files: none crashes a reader, and a refused file changes nothing.

TEST_F(GridPersistStore, HostileFilesForTheThreeReaders)
{
    QList<QByteArray> inputs = {
        QByteArray(),
        QByteArray("\0\0\0\xff\xfe", 5),
        QByteArray("Color=clRed\r\nFont.Size=1").left(20),
        QByteArray("[Print]\r\nFontSize=2147483648\r\nBorders=-2147483648\r\nTitleLines=\\n\\n\\n\r\n"),
        QByteArray("Font.Size=-2147483649\r\n"),
        QByteArray("Font.Name=") + QByteArray(200000, 'x') + "\r\n",
        QByteArray("[Print]\r\nTitleText=") + QByteArray(200000, 'y'),
        QByteArray("99999#") + QByteArray(100, ',') + "#",
        QByteArray("2#1,2#1,0,") + QByteArray(10000, '9') + "#1,1",
    };
    QRandomGenerator rng(41);
    for (int i = 0; i < 30; ++i) {
        QByteArray b(int(rng.bounded(1, 400)), '\0');
        for (char& c : b) c = char(rng.bounded(256));
        inputs << b;
    }
    const QString file = Path("h.bin");
    for (const QByteArray& in : inputs) {
        WriteText(file, in);
        TExtStringGrid g;
        Name(g, 3);
        const QString states = g.ColumnStatesToString();
        g.SaveVisualProps(Path("v0.txt"));
        try {
            g.LoadVisualProps(file);
        } catch (const Exception&) {
            g.SaveVisualProps(Path("v1.txt"));
            EXPECT_EQ(ReadFileBytes(Path("v1.txt")), ReadFileBytes(Path("v0.txt")));
        }
        g.LoadPrintSettings(file, "Print");
        try {
            g.StringToColumnStates(QString::fromLatin1(in));
        } catch (const Exception&) {
            EXPECT_EQ(g.ColumnStatesToString(), states);
        }
    }
    // Files too large to be settings are refused unread.
    WriteText(file, QByteArray(2 << 20, 'a'));
    TExtStringGrid g;
    EXPECT_THROW(g.LoadVisualProps(file), EFileError);
}
