#include "common/TestSupport.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridCellIO.h"
#include "grid/GridIOLimits.h"
#include "platform/ComponentStream.h"
#include "platform/ImageList.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using enum TCellType;

namespace {

// ---------------------------------------------------------------------------
// A reader of the cell stream written from the record layout alone: each
// record becomes its class name and "name=value" entries, values shown by
// tag (integers in decimal, texts quoted, identifiers bare, sets in [],
// binaries as "bin:<size>", lists as (a|b), extended as its decimal value).

struct TRawRecord {
    std::string Class;
    std::vector<std::string> Props;
    std::string Value(const std::string& name) const
    {
        for (const std::string& p : Props)
            if (p.rfind(name + "=", 0) == 0) return p.substr(name.size() + 1);
        return "<absent>";
    }
};

struct TRawReader {
    const QByteArray& b;
    size_t i = 0;
    bool ok = true;
    uint8_t U8() { return i < size_t(b.size()) ? uint8_t(b[qsizetype(i++)]) : (ok = false, 0); }
    uint32_t U32()
    {
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) v |= uint32_t(U8()) << (8 * k);
        return v;
    }
    std::string Raw(size_t n)
    {
        if (i + n > size_t(b.size())) return ok = false, std::string();
        std::string s(b.constData() + i, n);
        i += n;
        return s;
    }
    std::string Short() { return Raw(U8()); }
    std::string Value(uint8_t tag)
    {
        switch (tag) {
        case 2: return std::to_string(int8_t(U8()));
        case 3: {
            const uint16_t lo = U8(), hi = U8();
            return std::to_string(int16_t(lo | (hi << 8)));
        }
        case 4: return std::to_string(int32_t(U32()));
        case 5: {
            const std::string e = Raw(10);
            if (!ok) return {};
            uint64_t m;
            std::memcpy(&m, e.data(), 8);
            const int ex = (uint8_t(e[8]) | (uint8_t(e[9]) << 8)) & 0x7FFF;
            const double v = std::ldexp(double(m), ex - 16383 - 63) * ((uint8_t(e[9]) & 0x80) ? -1 : 1);
            return "ext:" + std::to_string(v);
        }
        case 6: return "'" + Short() + "'";
        case 12: return "'" + Raw(U32()) + "'";
        case 20: return "u'" + Raw(U32()) + "'";
        case 18: {
            const uint32_t n = U32();
            const std::string units = Raw(size_t(n) * 2);
            return "w'" + QString(reinterpret_cast<const QChar*>(units.data()), qsizetype(n)).toStdString() + "'";
        }
        case 7: return Short();
        case 8: return "False";
        case 9: return "True";
        case 11: {
            std::string s = "[";
            for (std::string m = Short(); ok && !m.empty(); m = Short()) s += (s.size() > 1 ? "," : "") + m;
            return s + "]";
        }
        case 10: return "bin:" + std::to_string(Raw(U32()).size());
        case 1: {
            std::string s = "(";
            for (uint8_t t = U8(); ok && t != 0; t = U8()) s += (s.size() > 1 ? "|" : "") + Value(t);
            return s + ")";
        }
        default: ok = false; return {};
        }
    }
    std::vector<TRawRecord> All()
    {
        std::vector<TRawRecord> out;
        while (ok && i < size_t(b.size())) {
            TRawRecord r;
            if (Raw(4) != "TPF0") return ok = false, out;
            r.Class = Short();
            Short();
            for (std::string name = Short(); ok && !name.empty(); name = Short()) r.Props.push_back(name + "=" + Value(U8()));
            if (U8() != 0) ok = false;
            out.push_back(r);
        }
        return out;
    }
};

std::vector<TRawRecord> Decode(const QByteArray& b)
{
    TRawReader rd{b};
    auto out = rd.All();
    EXPECT_TRUE(rd.ok);
    return out;
}

QImage Checker(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, (x + y) % 2 ? 0xFF112233u : 0xFFFFEEDDu);
    return img;
}

// Everything the stream carries of a grid, as text: size, widths, heights,
// texts, the properties and graphics of each cell.
QString Snapshot(TExtStringGrid& g)
{
    QString s = QStringLiteral("%1x%2 fixed %3,%4\n").arg(g.ColCount()).arg(g.RowCount()).arg(g.FixedCols()).arg(g.FixedRows());
    for (int c = 0; c < g.ColCount(); ++c) s += QString::number(g.ColWidths(c)) + u' ';
    s += u'\n';
    for (int r = 0; r < g.RowCount(); ++r) s += QString::number(g.RowHeights(r)) + u' ';
    s += u'\n';
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.TotalColCount(); ++c) {
            const QString t = g.GridCells(c, r);
            if (!t.isEmpty()) s += QStringLiteral("(%1,%2)'%3'\n").arg(c).arg(r).arg(t);
            if (!g.HasCellProps(c, r)) continue;
            const TCellProperties& p = *g.GetCellProperties(c, r);
            s += QStringLiteral("(%1,%2) props %3 %4 %5 %6 %7 %8 %9 ro%10 ww%11 span%12,%13,%14 brush%15 fs%16\n")
                     .arg(c).arg(r).arg(p.FontSize()).arg(p.FontName()).arg(p.FontColor()).arg(p.BrushColor())
                     .arg(int(p.Alignment())).arg(int(p.VAlignment())).arg(int(p.Editor())).arg(p.ReadOnly())
                     .arg(p.WordWrap()).arg(p.IsBaseCell()).arg(p.CellSpanX()).arg(p.CellSpanY())
                     .arg(int(p.BrushStyle())).arg(p.FontStyle().Contains(cfsBold));
            if (const TCellGraphic* gr = g.GetCellGraphic(c, r)) {
                s += QStringLiteral("(%1,%2) graphic %3 idx%4 b%5 st%6 ang%7 val%8 text'%9' created%10")
                         .arg(c).arg(r).arg(int(gr->CellType)).arg(gr->CellIndex).arg(gr->CellBoolean)
                         .arg(int(gr->CellCheckBoxState)).arg(gr->CellAngle).arg(gr->CellValue).arg(gr->CellText)
                         .arg(gr->CellCreated);
                if (gr->Bitmap()) s += QStringLiteral(" bmp%1x%2").arg(gr->Bitmap()->width()).arg(gr->Bitmap()->height());
                if (gr->Icon()) s += QStringLiteral(" icon%1x%2").arg(gr->Icon()->width()).arg(gr->Icon()->height());
                if (gr->Strings()) s += " strings:" + gr->Strings()->join(u'|');
                if (gr->IntList()) s += " ints:" + gr->IntList()->StrValue();
                if (gr->FilePicture()) s += " file:" + gr->FilePicture()->Filename();
                s += u'\n';
            }
        }
    return s;
}

// A grid with every kind of payload.
struct RichGrid {
    std::unique_ptr<TExtStringGrid> g = std::make_unique<TExtStringGrid>();
    TCustomImageList images{16, 16};
    QImage unowned = Checker(3, 3);

    RichGrid()
    {
        g->SetColCount(6);
        g->SetRowCount(5);
        g->SetColWidths(2, 91);
        g->SetRowHeights(3, 33);
        g->SetGridImages(&images);
        g->SetCells(0, 0, QStringLiteral("head"));
        g->SetCells(1, 1, QStringLiteral("é ü multi\r\nline"));
        g->SetCells(2, 1, QString(300, u'x'));
        g->SetCells(3, 1, QStringLiteral("日本"));
        TCellProperties& p = *g->GetCellProperties(1, 1);
        p.SetFontSize(14);
        p.SetFontName(QStringLiteral("DejaVu Sans"));
        p.SetFontColor(clRed);
        p.SetBrushColor(0x123456);
        p.SetAlignment(taCenter);
        p.SetVAlignment(vtaBottom);
        p.SetEditor(edComboList);
        p.SetReadOnly(true);
        p.SetBrushStyle(Qt::Dense3Pattern);
        TCellFontStyles fs;
        fs.Include(cfsBold);
        p.SetFontStyle(fs);
        *g->CreateBitmap(1, 2, true, TCellHAlign::haRight, TCellVAlign::vaCenter) = Checker(5, 4);
        *g->CreateIcon(2, 2, TCellHAlign::haLeft, TCellVAlign::vaTop) = Checker(7, 2);
        *g->CreatePicture(3, 2, false, TStretchMode::Stretch, 2, TCellHAlign::haLeft, TCellVAlign::vaTop) = Checker(6, 6);
        g->CreateFilePicture(4, 2, false, TStretchMode::noStretch, 0, TCellHAlign::haLeft, TCellVAlign::vaTop)
            ->SetFilename(QStringLiteral("/nonexistent/pic.png"));
        *g->CreateRadio(5, 2, 1, 2) = QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        g->AddMultiImage(1, 3, 0, TCellHAlign::haLeft, TCellVAlign::vaTop);
        for (int i : {1, 4, 2}) g->GetCellGraphic(1, 3)->IntList()->Add(i);
        g->AddCheckBox(2, 3, true, false);
        g->AddBitmap(3, 3, &unowned, false, TCellHAlign::haLeft, TCellVAlign::vaTop);
        g->AddProgress(4, 3, clRed, clBlue);
        g->GetCellGraphic(4, 3)->CellValue = 0.1;
        g->GetCellProperties(5, 3)->SetBrushColor(clGreen);  // properties, no graphic
    }
};

int CountClass(const std::vector<TRawRecord>& recs, const std::string& cls)
{
    return int(std::count_if(recs.begin(), recs.end(), [&](const TRawRecord& r) { return r.Class == cls; }));
}

} // namespace

TEST(CellStream, FullGridRoundTripKeepsEverything)
{
    RichGrid src;
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    src.g->SaveToBinStream(buf);
    buf.seek(0);

    TExtStringGrid dst;
    dst.SetGridImages(&src.images);
    dst.SetColCount(2);
    dst.SetRowCount(9);
    dst.SetCells(1, 7, QStringLiteral("old"));
    dst.LoadFromBinStream(buf);

    // The bitmap the grid did not create is not stored: compare without it.
    src.g->RemoveBitmap(3, 3);
    EXPECT_EQ(Snapshot(dst), Snapshot(*src.g));
    EXPECT_EQ(dst.GetCellGraphic(1, 3)->IntList()->StrValue(), QStringLiteral("1,4,2"));
    EXPECT_EQ(dst.GetCellGraphic(1, 2)->Bitmap()->convertToFormat(QImage::Format_ARGB32), Checker(5, 4));
    EXPECT_EQ(dst.GetCellGraphic(2, 2)->Icon()->convertToFormat(QImage::Format_ARGB32), Checker(7, 2));
    EXPECT_EQ(dst.GetCellGraphic(3, 2)->Picture()->convertToFormat(QImage::Format_ARGB32), Checker(6, 6));
    EXPECT_DOUBLE_EQ(dst.GetCellGraphic(4, 3)->CellValue, 0.1);
}

TEST(CellStream, RecordsReadByAnIndependentReader)
{
    RichGrid src;
    src.g->SetSaveFixedCells(true);
    const QByteArray bytes = src.g->SaveRectToBinBytes({0, 0, 5, 4});
    const std::vector<TRawRecord> recs = Decode(bytes);
    ASSERT_FALSE(recs.empty());
    const TRawRecord& h = recs[0];
    EXPECT_EQ(h.Class, "TGridPropIO");
    EXPECT_EQ(h.Props[0], "ColCount=6");
    EXPECT_EQ(h.Props[1], "RowCount=5");
    EXPECT_EQ(h.Value("ColWidths"), "'64,64,91,64,64,64'");
    EXPECT_EQ(h.Value("RowHeights"), "'22,22,22,33,22'");
    EXPECT_EQ(h.Value("FullGrid"), "True");
    EXPECT_EQ(h.Value("ID"), std::to_string(src.g->StreamID()));
    EXPECT_EQ(CountClass(recs, "TGridCellIO"), 30);
    EXPECT_EQ(CountClass(recs, "TGridBMPIO"), 1);
    EXPECT_EQ(CountClass(recs, "TGridIconIO"), 1);
    EXPECT_EQ(CountClass(recs, "TGridPicIO"), 1);
    EXPECT_EQ(CountClass(recs, "TGridFilePicIO"), 1);
    EXPECT_EQ(CountClass(recs, "TGridSLIO"), 2);

    auto after = [&](int col, int row) {
        for (size_t i = 0; i < recs.size(); ++i)
            if (recs[i].Class == "TGridCellIO" && recs[i].Value("Col") == std::to_string(col) &&
                recs[i].Value("Row") == std::to_string(row))
                return i;
        ADD_FAILURE() << col << "," << row;
        return size_t(0);
    };
    // Texts: ASCII short and long, UTF-8, UTF-16; an empty text is left out.
    EXPECT_EQ(recs[after(0, 0)].Props, (std::vector<std::string>{"Col=0", "Row=0", "Cell='head'", "HasProp=False"}));
    EXPECT_EQ(recs[after(2, 1)].Value("Cell"), "'" + std::string(300, 'x') + "'");
    EXPECT_EQ(recs[after(1, 1)].Value("Cell"), "u'é ü multi\r\nline'");
    EXPECT_EQ(recs[after(3, 1)].Value("Cell"), "w'日本'");
    EXPECT_EQ(recs[after(0, 2)].Value("Cell"), "<absent>");

    // Properties under dotted names, in declaration order; the user's value
    // is 0 and the hosted control absent.
    const size_t p = after(1, 1) + 1;
    EXPECT_EQ(recs[p].Class, "TGridCellPropIO");
    const std::vector<std::string> props = recs[p].Props;
    const std::vector<std::string> want = {
        "CellProperties.IsBaseCell=True",      "CellProperties.CellSpanX=-1",
        "CellProperties.CellSpanY=-1",         "CellProperties.Alignment=taCenter",
        "CellProperties.BorderColor=0",        "CellProperties.BorderWidth=0",
        "CellProperties.BrushColor=1193046",   "CellProperties.BrushColorTo=" + std::to_string(clNone),
        "CellProperties.BrushStyle=bsDense3",  "CellProperties.CellObject=0",
        "CellProperties.FontColor=" + std::to_string(clRed), "CellProperties.FontName='DejaVu Sans'",
        "CellProperties.FontSize=14",          "CellProperties.FontStyle=[fsBold]",
        "CellProperties.Editor=edComboList",   "CellProperties.GradientDirection=GradientVertical",
        "CellProperties.ReadOnly=True",        "CellProperties.VAlignment=vtaBottom",
        "CellProperties.WordWrap=True",        "CellProperties.NodeLevel=0",
        "HasGraphic=False"};
    EXPECT_EQ(props, want);

    // A check box: a graphic record and no payload.
    const size_t cb = after(2, 3);
    EXPECT_EQ(recs[cb + 1].Value("HasGraphic"), "True");
    EXPECT_EQ(recs[cb + 2].Class, "TGridGraphicIO");
    EXPECT_EQ(recs[cb + 2].Value("CellGraphic.CellType"), "ctCheckBox");
    EXPECT_EQ(recs[cb + 2].Value("CellGraphic.CellBoolean"), "True");
    EXPECT_EQ(recs[cb + 3].Class, "TGridCellIO");
    // A bitmap the grid did not create: no graphic record.
    const size_t ub = after(3, 3);
    EXPECT_EQ(recs[ub + 1].Value("HasGraphic"), "False");
    EXPECT_EQ(recs[ub + 2].Class, "TGridCellIO");
    // Image indexes one per line; the progress value as extended.
    EXPECT_EQ(recs[after(1, 3) + 3].Value("Strings"), "('1'|'4'|'2')");
    EXPECT_EQ(recs[after(4, 3) + 2].Value("CellGraphic.CellValue"), "ext:0.100000");
    EXPECT_EQ(recs[after(5, 2) + 3].Value("Strings"), "('a'|'b'|'c')");
    EXPECT_EQ(recs[after(4, 2) + 3].Value("Picture"), "'/nonexistent/pic.png'");
    EXPECT_EQ(recs[after(1, 2) + 3].Value("Bitmap").substr(0, 4), "bin:");
}

TEST(CellStream, BlockLandsAtThePointAndSkipsWhatFallsOutside)
{
    RichGrid src;
    const QByteArray bytes = src.g->SaveRectToBinBytes({1, 1, 2, 2});
    TExtStringGrid dst;
    dst.SetColCount(7);
    dst.SetRowCount(5);
    dst.LoadAtPointFromBinBytes(QPoint(5, 3), bytes);
    EXPECT_EQ(dst.GridCells(5, 3), QStringLiteral("é ü multi\r\nline"));
    EXPECT_EQ(dst.GridCells(6, 3), QString(300, u'x'));
    EXPECT_EQ(dst.GetCellType(5, 4), ctBitmap);
    EXPECT_EQ(dst.GetCellType(6, 4), ctIcon);
    EXPECT_EQ(dst.GetCellProperties(5, 3)->FontSize(), 14);
    EXPECT_EQ(dst.GetCellProperties(5, 3)->OwnerCol(), 5);
    // At (6, 4) only the first cell fits: the rest is skipped.
    TExtStringGrid small;
    small.SetColCount(7);
    small.SetRowCount(5);
    small.LoadAtPointFromBinBytes(QPoint(6, 4), bytes);
    EXPECT_EQ(small.ColCount(), 7);
    EXPECT_EQ(small.RowCount(), 5);
    EXPECT_EQ(small.GridCells(6, 4), QStringLiteral("é ü multi\r\nline"));
}

TEST(CellStream, CellPastSixteenBitsKeepsItsRow)
{
    TExtStringGrid src;
    src.SetColCount(2);
    src.SetRowCount(70002);
    src.SetCells(1, 70000, QStringLiteral("far"));
    src.SetCells(1, 70001, QStringLiteral("farther"));
    const QByteArray bytes = src.SaveRectToBinBytes({1, 70000, 1, 70001});
    EXPECT_EQ(Decode(bytes)[1].Value("Row"), "70000");
    TExtStringGrid dst;
    dst.SetColCount(2);
    dst.SetRowCount(70002);
    dst.LoadAtPointFromBinBytes(QPoint(1, 69999), bytes);
    EXPECT_EQ(dst.GridCells(1, 69999), QStringLiteral("far"));
    EXPECT_EQ(dst.GridCells(1, 70000), QStringLiteral("farther"));

    // A full grid keeps cells at their own place.
    TExtStringGrid full;
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    src.SaveToBinStream(buf);
    buf.seek(0);
    full.LoadFromBinStream(buf);
    EXPECT_EQ(full.RowCount(), 70002);
    EXPECT_EQ(full.GridCells(1, 70001), QStringLiteral("farther"));
}

TEST(CellStream, FullGridWithoutFixedCellsGetsThemBack)
{
    TExtStringGrid src;
    src.SetColCount(4);
    src.SetRowCount(3);
    src.SetSaveFixedCells(false);
    src.SetColWidths(1, 70);
    src.SetColWidths(3, 90);
    src.SetCells(0, 0, QStringLiteral("fixed"));
    src.SetCells(3, 2, QStringLiteral("last"));
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    src.SaveToBinStream(buf);
    EXPECT_EQ(Decode(buf.data())[0].Value("FullGrid"), "True");
    buf.seek(0);
    TExtStringGrid dst;
    dst.SetSaveFixedCells(false);
    dst.SetCells(0, 0, QStringLiteral("own"));
    dst.LoadFromBinStream(buf);
    EXPECT_EQ(dst.ColCount(), 4);
    EXPECT_EQ(dst.RowCount(), 3);
    EXPECT_EQ(dst.GridCells(3, 2), QStringLiteral("last"));
    EXPECT_EQ(dst.ColWidths(1), 70);
    EXPECT_EQ(dst.ColWidths(3), 90);
    EXPECT_TRUE(dst.GridCells(0, 0).isEmpty());  // the full load cleared the grid
}

TEST(CellStream, MergeKeptOnlyWhenTheRangeIsInsideTheBlock)
{
    TExtStringGrid src;
    src.SetColCount(5);
    src.SetRowCount(5);
    src.MergeCells(1, 1, 2, 2);
    // The whole range: kept.
    TExtStringGrid a;
    a.SetColCount(5);
    a.SetRowCount(5);
    a.LoadAtPointFromBinBytes(QPoint(2, 2), src.SaveRectToBinBytes({1, 1, 2, 2}));
    EXPECT_EQ(a.GetCellProperties(2, 2)->CellSpanX(), 1);
    EXPECT_FALSE(a.GetCellProperties(3, 3)->IsBaseCell());
    // Half the range: the cells come unmerged.
    TExtStringGrid b;
    b.SetColCount(5);
    b.SetRowCount(5);
    b.LoadAtPointFromBinBytes(QPoint(0, 0), src.SaveRectToBinBytes({2, 1, 3, 2}));
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r) {
            EXPECT_TRUE(b.GetCellProperties(c, r)->IsBaseCell());
            EXPECT_EQ(b.GetCellProperties(c, r)->CellSpanX(), -1);
        }
    // The range lands partly outside the grid: unmerged too.
    TExtStringGrid c;
    c.SetColCount(4);
    c.SetRowCount(4);
    c.LoadAtPointFromBinBytes(QPoint(3, 3), src.SaveRectToBinBytes({1, 1, 2, 2}));
    EXPECT_EQ(c.GetCellProperties(3, 3)->CellSpanX(), -1);
}

TEST(CellStream, TargetKeepsItsOwnValueAndControl)
{
    TExtStringGrid src;
    src.SetColCount(2);
    src.SetRowCount(2);
    src.GetCellProperties(1, 1)->SetCellObject(99);
    src.GetCellProperties(1, 1)->SetFontSize(11);
    const QByteArray bytes = src.SaveRectToBinBytes({1, 1, 1, 1});
    TExtStringGrid dst;
    dst.SetColCount(2);
    dst.SetRowCount(2);
    dst.GetCellProperties(1, 1)->SetCellObject(QStringLiteral("mine"));
    dst.LoadAtPointFromBinBytes(QPoint(1, 1), bytes);
    EXPECT_EQ(std::any_cast<QString>(dst.GetCellProperties(1, 1)->CellObject()), QStringLiteral("mine"));
    EXPECT_EQ(dst.GetCellProperties(1, 1)->FontSize(), 11);
}

TEST(CellStream, ProgressStaysWithinAHundred)
{
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(5);
    std::vector<int> seen;
    g.OnFileProgress = [&](TExtStringGrid*, int16_t p) { seen.push_back(p); };
    const QByteArray bytes = g.SaveRectToBinBytes({0, 0, 1, 4});
    EXPECT_EQ(seen, (std::vector<int>{0, 25, 50, 75, 100}));
    seen.clear();
    g.LoadAtPointFromBinBytes(QPoint(0, 0), bytes);
    for (int p : seen) EXPECT_TRUE(p >= 0 && p <= 100);
    EXPECT_FALSE(seen.empty());
}

// ---------------------------------------------------------------------------
// Hostile streams

class HostileStream : public ::testing::Test {
protected:
    void SetUp() override
    {
        g.SetColCount(4);
        g.SetRowCount(4);
        g.SetCells(1, 1, QStringLiteral("keep"));
        g.GetCellProperties(2, 2)->SetFontSize(9);
        before = Snapshot(g);
    }
    // Loading fails with a read error and leaves the grid as it was.
    void ExpectRefused(const QByteArray& bytes, QPoint at = QPoint(0, 0))
    {
        EXPECT_THROW(g.LoadAtPointFromBinBytes(at, bytes), EReadError) << bytes.toHex().toStdString();
        EXPECT_EQ(Snapshot(g), before);
    }
    TExtStringGrid g;
    QString before;
};

TEST_F(HostileStream, CutAtEveryOffset)
{
    RichGrid src;
    const QByteArray bytes = src.g->SaveRectToBinBytes({1, 1, 2, 3});
    for (qsizetype n = 0; n < bytes.size() - 1; ++n) ExpectRefused(bytes.first(n));
}

TEST_F(HostileStream, InflatedCountsAndLengths)
{
    // Header asking for the largest block with one cell behind it.
    QByteArray h;
    TComponentWriter w(h);
    w.BeginRecord("TGridPropIO");
    w.WriteInteger("ColCount", 16384);
    w.WriteInteger("RowCount", 1048576);
    w.WriteBoolean("FullGrid", true);
    w.EndRecord();
    ExpectRefused(h + QByteArray("TPF0\x0bTGridCellIO\x00\x00\x00", 18));

    // Past the limits, zero and negative sizes.
    for (auto [cols, rows] : {std::pair{16385, 1}, {1, 1048577}, {0, 1}, {-1, 1}}) {
        QByteArray b;
        TComponentWriter bw(b);
        bw.BeginRecord("TGridPropIO");
        bw.WriteInteger("ColCount", cols);
        bw.WriteInteger("RowCount", rows);
        bw.EndRecord();
        ExpectRefused(b);
    }

    // A full grid whose widths miss a column.
    RichGrid src;
    QByteArray full = src.g->SaveRectToBinBytes({0, 0, 5, 4});
    const QByteArray widths = "64,64,91,64,64,64";
    full.replace(widths, "64,64,91,64,64,6,");
    ExpectRefused(full);
    full.replace("64,64,91,64,64,6,", "64,64,91,64,64,6x");
    ExpectRefused(full);

    // String and binary lengths far beyond the bytes left.
    const QByteArray cell = src.g->SaveRectToBinBytes({1, 1, 1, 1});
    const qsizetype at = cell.indexOf("Cell\x14");  // the UTF-8 text's length follows
    ASSERT_GT(at, 0);
    QByteArray big = cell;
    big.replace(at + 5, 4, QByteArray("\xFF\xFF\xFF\x7F", 4));
    ExpectRefused(big);
    const QByteArray bmp = src.g->SaveRectToBinBytes({1, 2, 1, 2});
    const qsizetype bin = bmp.indexOf("Bitmap\x0a");
    ASSERT_GT(bin, 0);
    QByteArray bigBin = bmp;
    bigBin.replace(bin + 7, 4, QByteArray("\xF0\xFF\xFF\xFF", 4));
    ExpectRefused(bigBin);
}

TEST_F(HostileStream, UnknownNamesAndBadValues)
{
    RichGrid src;
    const QByteArray cell = src.g->SaveRectToBinBytes({1, 1, 1, 1});
    QByteArray bad = cell;
    bad.replace("taCenter", "taMiddle");  // same length
    ASSERT_NE(bad, cell);
    ExpectRefused(bad);
    bad = cell;
    bad.replace("FontSize\x02", "FontSizz\x02");
    ASSERT_NE(bad, cell);
    ExpectRefused(bad);
    bad = cell;
    bad.replace("edComboList", "edComboLisX");
    ASSERT_NE(bad, cell);
    ExpectRefused(bad);
    // A property its record lacks, a child component, a trailing byte.
    QByteArray extra;
    TComponentWriter w(extra);
    w.BeginRecord("TGridPropIO");
    w.WriteInteger("ColCount", 1);
    w.WriteInteger("RowCount", 1);
    w.WriteInteger("Tag", 1);
    w.EndRecord();
    ExpectRefused(extra + QByteArray(20, '\0'));
    ExpectRefused(cell + QByteArray("\x01", 1) + QByteArray(0, '\0') + "x");
    // A picture that would need gigabytes is refused before it is decoded.
    QImage huge(1, 1, QImage::Format_ARGB32);
    QByteArray png;
    QBuffer pb(&png);
    pb.open(QIODevice::WriteOnly);
    huge.save(&pb, "PNG");
    // Patch the IHDR size to 60000 x 60000 (the CRC then fails too: either way
    // it must not be decoded).
    QByteArray hugePng = png;
    const qsizetype ihdr = hugePng.indexOf("IHDR");
    hugePng.replace(ihdr + 4, 8, QByteArray("\x00\x00\xEA\x60\x00\x00\xEA\x60", 8));
    QImage out;
    EXPECT_FALSE(DecodePicture(hugePng, out));
}

// ---------------------------------------------------------------------------
// The extended float conversion

TEST(ComponentStream, ExtendedRoundTripsEveryDouble)
{
    for (double v : {0.0, -0.0, 1.0, -2.5, 0.1, 1e300, -1e-300, 4.9406564584124654e-324, 2.2250738585072014e-308,
                     std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity()}) {
        uint8_t e[10];
        DoubleToExtended(v, e);
        const double back = ExtendedToDouble(e);
        EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << v;
    }
    uint8_t one[10];
    DoubleToExtended(1.0, one);
    const uint8_t want[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
    EXPECT_EQ(std::memcmp(one, want, 10), 0);
    uint8_t nan[10];
    DoubleToExtended(std::nan(""), nan);
    EXPECT_TRUE(std::isnan(ExtendedToDouble(nan)));
}

// ---------------------------------------------------------------------------
// Native text file

TEST(NativeFile, LinesOfASmallGrid)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(2);
    g.SetColWidths(2, 64);
    g.SetColWidths(1, 80);
    g.SetCells(1, 1, QStringLiteral("a\r\nb"));
    EXPECT_EQ(g.SaveToFileBytes(), QByteArray("3,2\r\ncw 0,64\r\ncw 1,80\r\ncw 2,64\r\n1,1,a\tb\r\n").replace('\t', "\t\x08"));

    // A TAB without CR stays; lone LF and lone CR are coded like CR LF.
    struct Case {
        QString text;
        QByteArray line;
    } cases[] = {
        {QStringLiteral("a\tb"), "1,1,a\tb"},
        {QStringLiteral("a\nb"), QByteArray("1,1,a\t\x08" "b")},
        {QStringLiteral("a\rb"), QByteArray("1,1,a\t\x08" "b")},
        {QStringLiteral("x\r\n\ny"), QByteArray("1,1,x\t\x08\t\x08y")},
    };
    for (const Case& c : cases) {
        g.SetCells(1, 1, c.text);
        EXPECT_TRUE(g.SaveToFileBytes().contains("\r\n" + c.line + "\r\n")) << c.text.toStdString();
    }
}

TEST(NativeFile, RoundTripsThroughAFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grid.txt"));
    TExtStringGrid src;
    src.SetColCount(4);
    src.SetRowCount(3);
    src.SetColWidths(3, 99);
    src.SetCells(0, 0, QStringLiteral("h"));
    src.SetCells(2, 1, QStringLiteral("one\r\ntwo"));
    src.SetCells(3, 2, QStringLiteral("日本, ok"));
    for (bool unicode : {true, false}) {
        src.SaveToFile(path, unicode);
        EXPECT_EQ(QFile(path).size() > 0, true);
        TExtStringGrid dst;
        dst.SetMultilinecells(true);
        dst.LoadFromFile(path);
        EXPECT_EQ(dst.ColCount(), 4);
        EXPECT_EQ(dst.RowCount(), 3);
        EXPECT_EQ(dst.ColWidths(3), 99);
        EXPECT_EQ(dst.GridCells(0, 0), QStringLiteral("h"));
        EXPECT_EQ(dst.GridCells(2, 1), QStringLiteral("one\r\ntwo"));
        EXPECT_EQ(dst.GridCells(3, 2), unicode ? QStringLiteral("日本, ok") : QStringLiteral("??, ok"));
    }
    // Without Multilinecells only the first line is stored.
    TExtStringGrid single;
    single.LoadFromFile(path);
    EXPECT_EQ(single.GridCells(2, 1), QStringLiteral("one"));
    EXPECT_THROW(single.LoadFromFile(dir.filePath(QStringLiteral("missing.txt"))), EFileError);
}

TEST(NativeFile, FixedCellsNotSavedAreAddedBack)
{
    TExtStringGrid src;
    src.SetColCount(4);
    src.SetRowCount(3);
    src.SetSaveFixedCells(false);
    src.SetCells(0, 0, QStringLiteral("fixed"));
    src.SetCells(3, 2, QStringLiteral("last"));
    const QByteArray bytes = src.SaveToFileBytes();
    EXPECT_TRUE(bytes.startsWith("3,2\r\ncw 1,64\r\n"));
    EXPECT_FALSE(bytes.contains("fixed"));
    TExtStringGrid dst;
    dst.SetSaveFixedCells(false);
    dst.LoadFromFileBytes(bytes, QStringLiteral("f"));
    EXPECT_EQ(dst.ColCount(), 4);
    EXPECT_EQ(dst.RowCount(), 3);
    EXPECT_EQ(dst.GridCells(3, 2), QStringLiteral("last"));
}

TEST(NativeFile, ReaderRules)
{
    TExtStringGrid g;
    g.SetColCount(5);
    g.SetRowCount(5);
    std::vector<int> changed;
    g.OnCellsChanged = [&](TExtStringGrid*, const TGridRect& r) { changed.push_back(r.Right); };
    g.OnLoadCell = [](TExtStringGrid*, int, int, QString& v) { v += u'!'; };
    // An empty first line keeps the size; cells and widths outside the grid
    // (negative ones too) are skipped; hex numbers and leading blanks read.
    g.LoadFromFileBytes("\r\ncw 1,40\r\ncw 9,50\r\ncw $2,0x20\r\n 1,2,x,y\r\n7,1,out\r\n-1,1,neg\r\n$3,1,hex\n4,4,lf\r0,3,cr,last\r\n",
                        QStringLiteral("f"));
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.ColWidths(1), 40);
    EXPECT_EQ(g.ColWidths(2), 32);
    EXPECT_EQ(g.GridCells(1, 2), QStringLiteral("x,y!"));
    EXPECT_EQ(g.GridCells(3, 1), QStringLiteral("hex!"));
    EXPECT_EQ(g.GridCells(4, 4), QStringLiteral("lf!"));
    EXPECT_EQ(g.GridCells(0, 3), QStringLiteral("cr,last!"));
    EXPECT_EQ(changed, std::vector<int>{5});

    // One row saved with progress: 0.
    TExtStringGrid one;
    one.SetFixedRows(0);
    one.SetRowCount(1);
    std::vector<int> seen;
    one.OnFileProgress = [&](TExtStringGrid*, int16_t p) { seen.push_back(p); };
    one.SaveToFileBytes();
    EXPECT_EQ(seen, std::vector<int>{0});
}

TEST(NativeFile, CorruptFilesChangeNothing)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetCells(1, 1, QStringLiteral("keep"));
    const QString before = Snapshot(g);
    const QByteArray cases[] = {
        "0,0\r\n",                                     // no columns, no rows
        "3,0\r\n",                                     // no rows
        "99999999999,2\r\n",                           // overflows 32 bits
        "2,4294967297\r\n",                            // overflows too
        "16385,2\r\n",                                 // past the column limit
        "2,1048577\r\n",                               // past the row limit
        "2,2\r\ncw 1,70000\r\n",                        // a width past the limit
        "2,2\r\ncw 1,99999999999\r\n",                  // a width that overflows
        "2,2\r\n1,1\r\n",                              // a cell line without its text
        "2,2\r\n1,99999999999,x\r\n",                  // a row that overflows
        QByteArray("\xEF\xBB\xBF" "2,2\r\n1,1,\xC3\r\n"),  // UTF-8 mark, bad UTF-8
        QByteArray("\xFF\xFE" "2\0,\0" "2\0\r", 9),        // UTF-16 mark, odd byte count
        QByteArray("\xFF\xFE" "2\0,\0" "2\0\x00\xD8", 10), // UTF-16 mark, lone surrogate
    };
    for (const QByteArray& bytes : cases) {
        try {
            g.LoadFromFileBytes(bytes, QStringLiteral("x.txt"));
            ADD_FAILURE() << "accepted " << bytes.toHex().toStdString();
        } catch (const EExtGridError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("File contains no data or corrupt file x.txt"));
        }
        EXPECT_EQ(Snapshot(g), before) << bytes.toHex().toStdString();
    }
}
