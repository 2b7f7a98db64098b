// Drag-and-drop formats, the format reader, the drop target and the drag
// starters with the drag runner.
#include "common/DragSupport.h"
#include "controls/OleDragDrop.h"

#include <gtest/gtest.h>

#include <QUrl>
#include <QWidget>

namespace {

QString Mime(const char* s) { return QString::fromLatin1(s); }

std::unique_ptr<QMimeData> MimeOf(std::initializer_list<std::pair<const char*, QByteArray>> items)
{
    auto m = std::make_unique<QMimeData>();
    for (const auto& [type, bytes] : items) m->setData(Mime(type), bytes);
    return m;
}

// Records every hook call as a line "Hook:arguments".
class RecordingTarget : public TESGDropTarget {
public:
    QStringList Calls;
    QPoint LastPoint;
    bool AllowMoves = true;
    bool RefuseText = false;

protected:
    void DropText(QPoint pt, const QString& text) override
    {
        Note(pt, "Text:" + text);
        if (RefuseText) RefuseDrop();
    }
    void DropStream(QPoint pt, const QByteArray& stream) override { Note(pt, "Stream:" + QString::fromLatin1(stream)); }
    void DropCol(QPoint pt, int col) override { Note(pt, "Col:" + QString::number(col)); }
    void DropRTF(QPoint pt, const QString& rtf) override { Note(pt, "RTF:" + rtf); }
    void DropFiles(QPoint pt, const QStringList& files) override { Note(pt, "Files:" + files.join(u'|')); }
    void DropURL(QPoint pt, const QString& url) override { Note(pt, "URL:" + url); }
    void DragMouseMove(QPoint pt, bool& allow, TDropFormats) override
    {
        LastPoint = pt;
        if (!AllowMoves) allow = false;
    }
    void DragMouseEnter() override { Calls << "Enter"; }
    void DragMouseLeave() override { Calls << "Leave"; }

private:
    void Note(QPoint pt, const QString& s)
    {
        LastPoint = pt;
        Calls << s;
    }
};

struct DropFixture : ::testing::Test {
    QWidget widget;
    RecordingTarget target;
    void SetUp() override
    {
        widget.setGeometry(40, 30, 200, 100);
        target.Attach(&widget);
        SetRtfDropEnabled(false);
    }
    void TearDown() override { SetRtfDropEnabled(false); }
    QStringList Drops() const
    {
        QStringList out;
        for (const QString& c : target.Calls)
            if (c != "Enter" && c != "Leave") out << c;
        return out;
    }
};

} // namespace

TEST(OleDragBlocks, ColumnAndCellBlocksCarryTheirHeaders)
{
    EXPECT_EQ(EncodeColumnBlock(5), QByteArray("\x05\0\0\0", 4));
    EXPECT_EQ(EncodeColumnBlock(-2), QByteArray("\xFE\xFF\xFF\xFF", 4));
    EXPECT_EQ(DecodeColumnBlock(EncodeColumnBlock(0x01020304)), 0x01020304);
    EXPECT_EQ(DecodeColumnBlock(QByteArray("\x05\0\0", 3)), -1);
    EXPECT_EQ(DecodeColumnBlock(QByteArray("\x05\0\0\0\0", 5)), -1);

    const QByteArray block = EncodeGridCellsBlock("abc");
    EXPECT_EQ(block, QByteArray("\x03\0\0\0\0\0\0\0abc", 11));
    EXPECT_EQ(DecodeGridCellsBlock(block), QByteArray("abc"));
    EXPECT_EQ(DecodeGridCellsBlock(EncodeGridCellsBlock({})), QByteArray());
    // A length that passes the data, a block shorter than its header, and a
    // length near 4 GiB are no stream; bytes after the stream are left out.
    EXPECT_FALSE(DecodeGridCellsBlock(QByteArray("\x04\0\0\0\0\0\0\0abc", 11)));
    EXPECT_FALSE(DecodeGridCellsBlock(QByteArray("\x00\0\0\0\0\0\0", 7)));
    EXPECT_FALSE(DecodeGridCellsBlock(QByteArray("\xFF\xFF\xFF\xFF\0\0\0\0abc", 11)));
    EXPECT_EQ(DecodeGridCellsBlock(QByteArray("\x02\0\0\0\0\0\0\0abc", 11)), QByteArray("ab"));
}

TEST(OleDragFormats, ReaderSeesWhatTheDragOffers)
{
    struct Case {
        const char* name;
        std::function<void(QMimeData&)> fill;
        QString formats; // letters: T text, F file, C column, R rich text, U URL, G grid cells
    };
    const std::vector<Case> cases = {
        {"text", [](QMimeData& m) { m.setText("a\tb"); }, "T"},
        {"file list", [](QMimeData& m) { m.setUrls({QUrl::fromLocalFile("/tmp/a.csv")}); }, "F"},
        {"file list with its paths as text",
         [](QMimeData& m) {
             m.setUrls({QUrl::fromLocalFile("/tmp/a b.csv"), QUrl::fromLocalFile("/tmp/c.xls")});
             m.setText("/tmp/a b.csv\n/tmp/c.xls\n");
         },
         "F"},
        {"file list with its URLs as text",
         [](QMimeData& m) {
             m.setUrls({QUrl::fromLocalFile("/tmp/a b.csv")});
             m.setText(QUrl::fromLocalFile("/tmp/a b.csv").toString(QUrl::FullyEncoded));
         },
         "F"},
        {"file list with other text",
         [](QMimeData& m) {
             m.setUrls({QUrl::fromLocalFile("/tmp/a.csv")});
             m.setText("hello");
         },
         "TF"},
        {"web URL", [](QMimeData& m) { m.setUrls({QUrl("https://example.org/x")}); }, "U"},
        {"browser URL",
         [](QMimeData& m) {
             const QString s = "https://example.org/y\nTitle";
             m.setData(Mime(DragMozUrlMimeType), QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2));
         },
         "U"},
        {"column", [](QMimeData& m) { m.setData(Mime(DragColumnMimeType), EncodeColumnBlock(3)); }, "C"},
        {"column of 5 bytes", [](QMimeData& m) { m.setData(Mime(DragColumnMimeType), QByteArray(5, '\0')); }, ""},
        {"cells", [](QMimeData& m) { m.setData(Mime(DragGridCellsMimeType), EncodeGridCellsBlock("xy")); }, "G"},
        {"cells too short",
         [](QMimeData& m) { m.setData(Mime(DragGridCellsMimeType), QByteArray("\x09\0\0\0\0\0\0\0xy", 10)); },
         ""},
        {"rich text", [](QMimeData& m) { m.setData(Mime(DragRtfMimeType), "{\\rtf1 x}"); }, "R"},
        {"nothing", [](QMimeData&) {}, ""},
    };
    for (const Case& c : cases) {
        QMimeData m;
        c.fill(m);
        const TEnumFormats f(&m);
        QString got;
        const TDropFormats fs = f.Formats();
        if (fs.Has(dfText)) got += 'T';
        if (fs.Has(dfFile)) got += 'F';
        if (fs.Has(dfCol)) got += 'C';
        if (fs.Has(dfRTF)) got += 'R';
        if (fs.Has(dfURL)) got += 'U';
        if (fs.Has(dfGridCells)) got += 'G';
        EXPECT_EQ(got, c.formats) << c.name;
    }
    EXPECT_EQ(TEnumFormats(nullptr).Formats(), TDropFormats{});

    auto m = MimeOf({{DragRtfMimeType, QByteArray("{\\rtf1 caf\xE9}\0junk", 16)},
                     {DragColumnMimeType, EncodeColumnBlock(7)},
                     {DragGridCellsMimeType, EncodeGridCellsBlock("s")}});
    m->setText(QStringLiteral("t\u00E9"));
    m->setUrls({QUrl::fromLocalFile("/x/1.csv"), QUrl("http://h/p"), QUrl::fromLocalFile("/x/2.ods")});
    TEnumFormats f(m.get());
    EXPECT_EQ(f.RTF(), QStringLiteral("{\\rtf1 caf\u00E9}"));
    EXPECT_EQ(f.Col(), 7);
    EXPECT_EQ(f.Stream(), QByteArray("s"));
    EXPECT_EQ(f.URL(), "http://h/p");
    ASSERT_TRUE(f.ReadFileList());
    EXPECT_EQ(f.Files(), QStringList({"/x/1.csv", "/x/2.ods"}));
}

TEST_F(DropFixture, AcceptFlagsDecideWhetherADragMayDrop)
{
    auto text = std::make_unique<QMimeData>();
    text->setText("word");
    target.SetAcceptText(false);
    DragOutcome o = SendDrag(&widget, text.get(), {{10, 10}});
    EXPECT_FALSE(o.EnterAccepted);
    EXPECT_FALSE(target.Ok());
    EXPECT_TRUE(target.DropFormats().Has(dfText));

    auto files = std::make_unique<QMimeData>();
    files->setUrls({QUrl::fromLocalFile("/tmp/one.csv"), QUrl::fromLocalFile("/tmp/two.txt")});
    o = SendDrag(&widget, files.get(), {{10, 10}});
    EXPECT_TRUE(o.DropAccepted);
    EXPECT_EQ(Drops(), QStringList({"Files:/tmp/one.csv|/tmp/two.txt"}));

    // Columns are refused by default; a cell block is always taken.
    target.Calls.clear();
    auto col = MimeOf({{DragColumnMimeType, EncodeColumnBlock(2)}});
    EXPECT_FALSE(SendDrag(&widget, col.get(), {{10, 10}}).EnterAccepted);
    target.SetAcceptCols(true);
    EXPECT_TRUE(SendDrag(&widget, col.get(), {{10, 10}}).DropAccepted);
    target.SetAcceptText(false);
    target.SetAcceptFiles(false);
    target.SetAcceptURLs(false);
    auto cells = MimeOf({{DragGridCellsMimeType, EncodeGridCellsBlock("zz")}});
    EXPECT_TRUE(SendDrag(&widget, cells.get(), {{10, 10}}).DropAccepted);
    EXPECT_EQ(Drops(), QStringList({"Col:2", "Stream:zz"}));

    // Rich text alone is taken only while the switch is on (and text is accepted).
    target.SetAcceptText(true);
    auto rtf = MimeOf({{DragRtfMimeType, "{\\rtf1 r}"}});
    EXPECT_FALSE(SendDrag(&widget, rtf.get(), {{10, 10}}).EnterAccepted);
    SetRtfDropEnabled(true);
    EXPECT_TRUE(SendDrag(&widget, rtf.get(), {{10, 10}}).DropAccepted);
    EXPECT_EQ(Drops().last(), "RTF:{\\rtf1 r}");
}

TEST_F(DropFixture, EffectFollowsCtrlAndTheAllowedEffects)
{
    EXPECT_EQ(TESGDropTarget::DropEffectFromKeys(Qt::ControlModifier, Qt::MoveAction), Qt::CopyAction);
    EXPECT_EQ(TESGDropTarget::DropEffectFromKeys(Qt::NoModifier, Qt::CopyAction | Qt::MoveAction), Qt::MoveAction);
    EXPECT_EQ(TESGDropTarget::DropEffectFromKeys(Qt::ShiftModifier, Qt::CopyAction), Qt::CopyAction);

    auto text = std::make_unique<QMimeData>();
    text->setText("w");
    DragOutcome o = SendDrag(&widget, text.get(), {{5, 5}, {6, 6}}, Qt::CopyAction | Qt::MoveAction, Qt::ControlModifier);
    EXPECT_EQ(o.EnterAction, Qt::CopyAction);
    EXPECT_EQ(o.MoveActions, std::vector<Qt::DropAction>({Qt::CopyAction, Qt::CopyAction}));
    EXPECT_EQ(o.DropAction, Qt::CopyAction);
    o = SendDrag(&widget, text.get(), {{5, 5}});
    EXPECT_EQ(o.DropAction, Qt::MoveAction);
}

TEST_F(DropFixture, DropHandsTheDataToTheHooksInOrder)
{
    // Text then the files; a column drop ends the drop; cells win over text.
    auto both = std::make_unique<QMimeData>();
    both->setText("hello");
    both->setUrls({QUrl::fromLocalFile("/tmp/f.csv"), QUrl("https://example.org/")});
    SendDrag(&widget, both.get(), {{10, 20}});
    EXPECT_EQ(target.Calls, QStringList({"Enter", "Text:hello", "Files:/tmp/f.csv", "URL:https://example.org/"}));
    // Hooks get screen points.
    EXPECT_EQ(target.LastPoint, widget.mapToGlobal(QPoint(10, 20)));

    target.Calls.clear();
    target.SetAcceptCols(true);
    auto col = MimeOf({{DragColumnMimeType, EncodeColumnBlock(4)}, {DragGridCellsMimeType, EncodeGridCellsBlock("c")}});
    col->setText("t");
    col->setUrls({QUrl::fromLocalFile("/tmp/g.csv")});
    SendDrag(&widget, col.get(), {{1, 1}});
    EXPECT_EQ(Drops(), QStringList({"Col:4"}));

    target.Calls.clear();
    auto cells = MimeOf({{DragGridCellsMimeType, EncodeGridCellsBlock("c")}, {DragRtfMimeType, "{\\rtf1}"}});
    cells->setText("t");
    SetRtfDropEnabled(true);
    SendDrag(&widget, cells.get(), {{1, 1}});
    EXPECT_EQ(Drops(), QStringList({"Stream:c"}));
    target.Calls.clear();
    auto rich = MimeOf({{DragRtfMimeType, "{\\rtf1}"}});
    rich->setText("t");
    SendDrag(&widget, rich.get(), {{1, 1}});
    EXPECT_EQ(Drops(), QStringList({"RTF:{\\rtf1}"}));
}

TEST_F(DropFixture, HooksMayRefuseMovesAndDrops)
{
    auto text = std::make_unique<QMimeData>();
    text->setText("x");
    target.AllowMoves = false;
    DragOutcome o = SendDrag(&widget, text.get(), {{3, 3}}, Qt::CopyAction | Qt::MoveAction, Qt::NoModifier, false);
    EXPECT_TRUE(o.EnterAccepted);
    EXPECT_EQ(o.MovesAccepted, std::vector<bool>({false}));
    EXPECT_EQ(target.Calls, QStringList({"Enter", "Leave"}));

    // A refused drop ends with no effect, so a moving source keeps its data.
    target.AllowMoves = true;
    target.RefuseText = true;
    o = SendDrag(&widget, text.get(), {{3, 3}});
    EXPECT_FALSE(o.DropAccepted);
    EXPECT_EQ(o.DropAction, Qt::IgnoreAction);
    // A drop whose other part was taken is not refused.
    text->setUrls({QUrl("https://example.org/")});
    o = SendDrag(&widget, text.get(), {{3, 3}});
    EXPECT_EQ(o.DropAction, Qt::MoveAction);

    // Detached, the widget no longer takes drops.
    target.Detach();
    EXPECT_FALSE(widget.acceptDrops());
    EXPECT_EQ(target.Widget(), nullptr);
}

TEST(OleDragSource, DragDataOffersItsFormatsInOrder)
{
    SetRtfDropEnabled(false);
    const TSourceDataObject colOnly(QString(), nullptr, 3, QString());
    EXPECT_EQ(colOnly.formats(), QStringList({Mime(DragColumnMimeType)}));
    EXPECT_EQ(colOnly.data(Mime(DragColumnMimeType)).size(), 4);

    const QByteArray stream("0123456789");
    const TSourceDataObject noRtf(QStringLiteral("a\u00E9"), &stream, -1, "{\\rtf1}");
    EXPECT_EQ(noRtf.formats(), QStringList({Mime(DragTextMimeType), Mime(DragGridCellsMimeType)}));
    EXPECT_EQ(noRtf.data(Mime(DragTextMimeType)), QByteArray("a\xC3\xA9"));
    const QByteArray block = noRtf.data(Mime(DragGridCellsMimeType));
    EXPECT_EQ(block.size(), stream.size() + 8);
    EXPECT_EQ(block.mid(8), stream);

    SetRtfDropEnabled(true);
    const TSourceDataObject all("t", &stream, 1, "{\\rtf1}");
    EXPECT_EQ(all.formats(), QStringList({Mime(DragTextMimeType), Mime(DragRtfMimeType), Mime(DragColumnMimeType),
                                          Mime(DragGridCellsMimeType)}));
    SetRtfDropEnabled(false);
}

namespace {

struct RecordingSource : TESGDropSource {
    std::vector<int> Effects;
    int Done = 0, Queries = 0;
    void DragDropDone() override { ++Done; }
    void CurrentEffect(int effect) override { Effects.push_back(effect); }
    void QueryDrag() override { ++Queries; }
};

} // namespace

TEST_F(DropFixture, DragRunnerCarriesADragToAWidget)
{
    RecordingSource source;
    QObject from;
    int effect = -1;
    {
        CarryDragsTo carry(&widget, {{4, 4}, {8, 8}});
        const Qt::DropAction a =
            BeginTextDragDrop(&from, source, "moved", QString(), effect, Qt::CopyAction | Qt::MoveAction, nullptr);
        EXPECT_EQ(a, Qt::MoveAction);
        EXPECT_EQ(effect, 2);
        EXPECT_EQ(Drops(), QStringList({"Text:moved"}));
        EXPECT_EQ(source.Effects, std::vector<int>({2, 2}));
        EXPECT_EQ(source.Done, 1);
        EXPECT_GE(source.Queries, 2);

        // Copy only: the drop copies.
        target.SetAcceptCols(true);
        EXPECT_EQ(BeginColumnDragDrop(&from, source, 6, Qt::CopyAction, effect), Qt::CopyAction);
        EXPECT_EQ(effect, 1);
        EXPECT_EQ(Drops().last(), "Col:6");

        // A target that refuses: cancelled, effect 0, the source saw no effect.
        target.SetAcceptCols(false);
        EXPECT_EQ(BeginColumnDragDrop(&from, source, 6, Qt::CopyAction | Qt::MoveAction, effect), Qt::IgnoreAction);
        EXPECT_EQ(effect, 0);
        EXPECT_TRUE(source.NoAccept());
        EXPECT_EQ(carry.Drags, 3);
    }
}
