#include "common/TestSupport.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridCellIO.h"

#include <QBuffer>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

using enum TStreamPropType;

QByteArray Png(const QImage& img)
{
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "PNG");
    return bytes;
}

QImage Checker()
{
    QImage img(4, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) img.setPixel(x, y, (x + y) % 2 ? 0xFF112233u : 0x80FFEEDDu);
    return img;
}

} // namespace

TEST(CellStreamRecords, PropertiesInDeclarationOrderWithTypes)
{
    TExtStringGrid g;
    struct Case {
        std::unique_ptr<TGridStreamRecord> record;
        const char* className;
        std::vector<TStreamProp> props;
    };
    Case cases[] = {
        {std::make_unique<TGridCellIO>(&g), "TGridCellIO",
         {{"Col", ptIndex}, {"Row", ptIndex}, {"Cell", ptString}, {"HasProp", ptBoolean}}},
        {std::make_unique<TGridCellPropIO>(&g), "TGridCellPropIO", {{"CellProperties", ptCellProperties}, {"HasGraphic", ptBoolean}}},
        {std::make_unique<TGridGraphicIO>(&g), "TGridGraphicIO", {{"CellGraphic", ptCellGraphic}}},
        {std::make_unique<TGridBMPIO>(&g), "TGridBMPIO", {{"Bitmap", ptBitmap}}},
        {std::make_unique<TGridIconIO>(&g), "TGridIconIO", {{"Icon", ptIcon}}},
        {std::make_unique<TGridPicIO>(&g), "TGridPicIO", {{"Picture", ptPicture}}},
        {std::make_unique<TGridFilePicIO>(&g), "TGridFilePicIO", {{"Picture", ptFilePicture}}},
        {std::make_unique<TGridSLIO>(&g), "TGridSLIO", {{"Strings", ptStrings}}},
    };
    for (Case& c : cases) {
        EXPECT_EQ(c.record->ClassName(), QString::fromLatin1(c.className));
        EXPECT_EQ(c.record->Properties(), c.props) << c.className;
        EXPECT_EQ(c.record->Owner(), &g);
        EXPECT_FALSE(c.record->SetPropValue(QStringLiteral("Tagged"), 1)) << c.className;
        EXPECT_FALSE(c.record->PropValue(QStringLiteral("Tagged")).isValid()) << c.className;
    }
}

TEST(CellStreamRecords, CellRecordKeepsPositionsPastSixteenBits)
{
    TGridCellIO r;
    EXPECT_TRUE(r.SetPropValue(QStringLiteral("Col"), 65536));
    EXPECT_EQ(r.Col(), 65536);
    EXPECT_TRUE(r.SetPropValue(QStringLiteral("Col"), 65535));
    EXPECT_TRUE(r.SetPropValue(QStringLiteral("Row"), 7));
    EXPECT_TRUE(r.SetPropValue(QStringLiteral("Cell"), QStringLiteral("a\r\nb")));
    EXPECT_TRUE(r.SetPropValue(QStringLiteral("HasProp"), true));
    EXPECT_EQ(r.Col(), 65535);
    EXPECT_EQ(r.PropValue(QStringLiteral("Row")).toUInt(), 7u);
    EXPECT_EQ(r.Cell(), QStringLiteral("a\r\nb"));
    EXPECT_TRUE(r.HasProp());
    // Negative or non-numeric positions are refused, the old value stays.
    EXPECT_FALSE(r.SetPropValue(QStringLiteral("Col"), -1));
    EXPECT_FALSE(r.SetPropValue(QStringLiteral("Row"), QStringLiteral("x")));
    EXPECT_EQ(r.Col(), 65535);
    r.Reset();
    EXPECT_EQ(r.Col(), 0);
    EXPECT_TRUE(r.Cell().isEmpty());
    EXPECT_FALSE(r.HasProp());
}

TEST(CellStreamRecords, CellPropertiesCopyOwnsItsObjectAndCarriesNoPointer)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    TCellProperties& cell = *g.GetCellProperties(2, 2);
    QLabel hosted;
    cell.SetFontSize(14);
    cell.SetFontName(QStringLiteral("DejaVu Sans"));
    cell.SetBrushColor(clRed);
    cell.SetBrushColorTo(clBlue);
    cell.SetReadOnly(true);
    cell.SetCellObject(42);
    cell.SetControl(&hosted);

    TGridCellPropIO rec(&g);
    EXPECT_EQ(rec.CellProperties().OwnerGrid(), &g);
    EXPECT_EQ(rec.CellProperties().OwnerCol(), 0);
    EXPECT_EQ(rec.CellProperties().OwnerRow(), 0);
    rec.SetCellProperties(cell);
    EXPECT_NE(&rec.CellProperties(), &cell);
    EXPECT_EQ(rec.CellProperties().FontSize(), 14);
    EXPECT_EQ(rec.CellProperties().BrushColorTo(), clBlue);
    EXPECT_TRUE(rec.CellProperties().ReadOnly());
    EXPECT_FALSE(rec.CellProperties().CellObject().has_value());
    EXPECT_EQ(rec.CellProperties().Control(), nullptr);
    // The record's copy is its own: changing the cell leaves it alone.
    cell.SetFontSize(20);
    EXPECT_EQ(rec.CellProperties().FontSize(), 14);
    // So is a copy of the record.
    rec.SetHasGraphic(true);
    const TGridCellPropIO copy = rec;
    EXPECT_NE(&copy.CellProperties(), &rec.CellProperties());
    rec.CellProperties().SetFontSize(9);
    EXPECT_EQ(copy.CellProperties().FontSize(), 14);
    EXPECT_TRUE(copy.HasGraphic());

    // Reading back keeps the target's own value and control, even when the
    // record was given some.
    TCellProperties& target = *g.GetCellProperties(1, 1);
    QLabel other;
    target.SetCellObject(QStringLiteral("mine"));
    target.SetControl(&other);
    TGridCellPropIO read(&g);
    read.SetCellProperties(cell);
    read.CellProperties().SetCellObject(7);
    read.CellProperties().SetControl(&hosted);
    read.AssignTo(target);
    EXPECT_EQ(target.FontSize(), 20);
    EXPECT_EQ(target.BrushColor(), clRed);
    EXPECT_EQ(std::any_cast<QString>(target.CellObject()), QStringLiteral("mine"));
    EXPECT_EQ(target.Control(), &other);
}

TEST(CellStreamRecords, GraphicCopyIsItsOwn)
{
    TCellGraphic g;
    g.CellType = TCellType::ctCheckBox;
    g.CellBoolean = true;
    g.CellText = QStringLiteral("caption");
    TGridGraphicIO rec;
    rec.SetCellGraphic(g);
    EXPECT_NE(&rec.CellGraphic(), &g);
    g.CellBoolean = false;
    EXPECT_TRUE(rec.CellGraphic().CellBoolean);
    const TGridGraphicIO copy = rec;
    rec.CellGraphic().CellText = QStringLiteral("changed");
    EXPECT_EQ(copy.CellGraphic().CellText, QStringLiteral("caption"));
    EXPECT_EQ(copy.CellGraphic().CellType, TCellType::ctCheckBox);
    rec.Reset();
    EXPECT_EQ(rec.CellGraphic().CellType, TCellType::ctNone);

    // A payload object never rides along (it has a record of its own); a
    // colour in a payload slot and the check-box state do.
    TCellGraphic pic;
    pic.SetBitmap(std::make_unique<QImage>(4, 4, QImage::Format_RGB32), true, TCellHAlign::haLeft, TCellVAlign::vaTop);
    pic.CellIcon = TColor(clRed);
    pic.CellCheckBoxState = cbGrayed;
    TGridGraphicIO withPayload;
    withPayload.SetCellGraphic(pic);
    EXPECT_EQ(withPayload.CellGraphic().CellType, TCellType::ctBitmap);
    EXPECT_TRUE(withPayload.CellGraphic().CellCreated);
    EXPECT_EQ(withPayload.CellGraphic().Bitmap(), nullptr);
    EXPECT_EQ(withPayload.CellGraphic().IconColor(), clRed);
    EXPECT_EQ(withPayload.CellGraphic().CellCheckBoxState, cbGrayed);
}

TEST(CellStreamRecords, PayloadsTravelAsBytes)
{
    const QImage img = Checker();
    TGridBMPIO bmp;
    bmp.SetBitmap(img);
    const QByteArray png = bmp.PropValue(QStringLiteral("Bitmap")).toByteArray();
    EXPECT_TRUE(png.startsWith("\x89PNG"));
    TGridBMPIO back;
    ASSERT_TRUE(back.SetPropValue(QStringLiteral("Bitmap"), png));
    EXPECT_EQ(back.Bitmap().convertToFormat(QImage::Format_ARGB32), img);
    EXPECT_FALSE(back.SetPropValue(QStringLiteral("Bitmap"), QByteArray("not a picture")));
    EXPECT_EQ(back.Bitmap().size(), img.size());  // a refused value changes nothing
    EXPECT_TRUE(back.SetPropValue(QStringLiteral("Bitmap"), QByteArray()));
    EXPECT_TRUE(back.Bitmap().isNull());
    EXPECT_TRUE(back.PropValue(QStringLiteral("Bitmap")).toByteArray().isEmpty());

    TGridIconIO icon;
    ASSERT_TRUE(icon.SetPropValue(QStringLiteral("Icon"), Png(img)));
    EXPECT_EQ(icon.Icon().convertToFormat(QImage::Format_ARGB32), img);

    // A picture keeps its file's own bytes, whatever they are.
    const QByteArray gif("GIF89a\x01\x00\x01\x00", 10);
    TGridPicIO pic;
    ASSERT_TRUE(pic.SetPropValue(QStringLiteral("Picture"), gif));
    EXPECT_EQ(TGridPicIO(pic).Picture(), gif);

    TGridFilePicIO file;
    ASSERT_TRUE(file.SetPropValue(QStringLiteral("Picture"), QStringLiteral("/nonexistent/p.png")));
    EXPECT_EQ(file.Picture().Filename(), QStringLiteral("/nonexistent/p.png"));
    EXPECT_EQ(file.PropValue(QStringLiteral("Picture")).toString(), QStringLiteral("/nonexistent/p.png"));

    TGridSLIO sl;
    sl.SetImageIndexes({1, 4, 2});
    EXPECT_EQ(sl.Strings(), (QStringList{"1", "4", "2"}));
    TGridSLIO sl2;
    ASSERT_TRUE(sl2.SetPropValue(QStringLiteral("Strings"), sl.PropValue(QStringLiteral("Strings"))));
    QList<int> indexes;
    ASSERT_TRUE(sl2.ImageIndexes(indexes));
    EXPECT_EQ(indexes, (QList<int>{1, 4, 2}));
    sl2.SetStrings({QStringLiteral("3"), QStringLiteral("x")});
    EXPECT_FALSE(sl2.ImageIndexes(indexes));
    EXPECT_EQ(indexes, QList<int>{3});
}
