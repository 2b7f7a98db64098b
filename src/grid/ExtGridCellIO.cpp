#include "grid/ExtGridCellIO.h"

#include "grid/GridIOLimits.h"

#include <QBuffer>
#include <QImageReader>

namespace {

QByteArray ImageToPng(const QImage& img)
{
    if (img.isNull()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

// Empty bytes clear the image; bytes that are no PNG, or a PNG whose pixels
// would need more than the readers' picture limit, are refused.
bool PngToImage(const QVariant& value, QImage& img)
{
    if (!value.canConvert<QByteArray>()) return false;
    const QByteArray bytes = value.toByteArray();
    if (bytes.isEmpty()) {
        img = QImage();
        return true;
    }
    QImage decoded;
    if (!DecodePicture(bytes, decoded, "PNG")) return false;
    img = decoded;
    return true;
}

bool ToIndex(const QVariant& value, int32_t& out)
{
    bool ok = false;
    const qlonglong v = value.toLongLong(&ok);
    if (!ok || v < 0 || v > 0x7FFFFFFF) return false;
    out = int32_t(v);
    return true;
}

// Copies what a record keeps of cell properties: the published settings and
// the gradient's end colour and direction; never the user's value, the
// hosted control, the graphic or the calculation.
void CopyCellProperties(const TCellProperties& src, TCellProperties& dst)
{
    const TUserValue object = dst.CellObject();
    QWidget* const control = dst.Control();
    dst.Assign(src);
    dst.SetCellObject(object);
    dst.SetControl(control);
    dst.SetBrushColorTo(src.BrushColorTo());
    dst.SetGradientDirection(src.GradientDirection());
}

// Copies what a record keeps of a cell graphic: its kind and plain fields and
// a colour held in a payload slot; never a payload object or CellVar, which
// may point into this program.
void CopyCellGraphic(const TCellGraphic& src, TCellGraphic& dst)
{
    dst.Assign(src);
    dst.CellCheckBoxState = src.CellCheckBoxState;
    dst.CellBitmap = std::holds_alternative<TColor>(src.CellBitmap) ? TCellPayload(std::get<TColor>(src.CellBitmap)) : TCellPayload();
    dst.CellIcon = std::holds_alternative<TColor>(src.CellIcon) ? TCellPayload(std::get<TColor>(src.CellIcon)) : TCellPayload();
}

} // namespace

bool DecodePicture(const QByteArray& bytes, QImage& out, const char* format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAllocationLimit(GridIOLimits::MaxPictureMegabytes);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() * 4 > qint64(GridIOLimits::MaxPictureMegabytes) << 20)
        return false;
    QImage img;
    if (!reader.read(&img) || img.isNull()) return false;
    out = img;
    return true;
}

TGridStreamRecord::~TGridStreamRecord() = default;

// ---------------------------------------------------------------------------
// TGridCellIO

std::vector<TStreamProp> TGridCellIO::Properties() const
{
    using enum TStreamPropType;
    return {{QStringLiteral("Col"), ptIndex},
            {QStringLiteral("Row"), ptIndex},
            {QStringLiteral("Cell"), ptString},
            {QStringLiteral("HasProp"), ptBoolean}};
}

QVariant TGridCellIO::PropValue(const QString& name) const
{
    if (name == QLatin1String("Col")) return int(FCol);
    if (name == QLatin1String("Row")) return int(FRow);
    if (name == QLatin1String("Cell")) return FCell;
    if (name == QLatin1String("HasProp")) return FHasProp;
    return {};
}

bool TGridCellIO::SetPropValue(const QString& name, const QVariant& value)
{
    if (name == QLatin1String("Col")) return ToIndex(value, FCol);
    if (name == QLatin1String("Row")) return ToIndex(value, FRow);
    if (name == QLatin1String("Cell")) {
        FCell = value.toString();
        return true;
    }
    if (name == QLatin1String("HasProp")) {
        FHasProp = value.toBool();
        return true;
    }
    return false;
}

void TGridCellIO::Reset()
{
    FCol = FRow = 0;
    FCell.clear();
    FHasProp = false;
}

// ---------------------------------------------------------------------------
// TGridCellPropIO

TGridCellPropIO::TGridCellPropIO(TBaseGrid* owner)
    : TGridStreamRecord(owner), FCellProperties(std::make_unique<TCellProperties>(owner, 0, 0))
{
}

TGridCellPropIO::~TGridCellPropIO() = default;

TGridCellPropIO::TGridCellPropIO(const TGridCellPropIO& o)
    : TGridStreamRecord(o), FCellProperties(std::make_unique<TCellProperties>(o.Owner(), 0, 0)), FHasGraphic(o.FHasGraphic)
{
    CopyCellProperties(*o.FCellProperties, *FCellProperties);
}

TGridCellPropIO& TGridCellPropIO::operator=(const TGridCellPropIO& o)
{
    if (this == &o) return *this;
    TGridStreamRecord::operator=(o);
    FCellProperties = std::make_unique<TCellProperties>(o.Owner(), 0, 0);
    CopyCellProperties(*o.FCellProperties, *FCellProperties);
    FHasGraphic = o.FHasGraphic;
    return *this;
}

void TGridCellPropIO::SetCellProperties(const TCellProperties& src)
{
    if (&src == FCellProperties.get()) return;
    CopyCellProperties(src, *FCellProperties);
}

void TGridCellPropIO::AssignTo(TCellProperties& target) const
{
    if (&target == FCellProperties.get()) return;
    CopyCellProperties(*FCellProperties, target);
}

std::vector<TStreamProp> TGridCellPropIO::Properties() const
{
    using enum TStreamPropType;
    return {{QStringLiteral("CellProperties"), ptCellProperties}, {QStringLiteral("HasGraphic"), ptBoolean}};
}

QVariant TGridCellPropIO::PropValue(const QString& name) const
{
    if (name == QLatin1String("HasGraphic")) return FHasGraphic;
    return {};
}

bool TGridCellPropIO::SetPropValue(const QString& name, const QVariant& value)
{
    if (name == QLatin1String("HasGraphic")) {
        FHasGraphic = value.toBool();
        return true;
    }
    return false;
}

void TGridCellPropIO::Reset()
{
    FCellProperties = std::make_unique<TCellProperties>(Owner(), 0, 0);
    FHasGraphic = false;
}

// ---------------------------------------------------------------------------
// TGridGraphicIO

TGridGraphicIO::TGridGraphicIO(TBaseGrid* owner) : TGridStreamRecord(owner), FCellGraphic(std::make_unique<TCellGraphic>()) {}

TGridGraphicIO::~TGridGraphicIO() = default;

TGridGraphicIO::TGridGraphicIO(const TGridGraphicIO& o)
    : TGridStreamRecord(o), FCellGraphic(std::make_unique<TCellGraphic>())
{
    CopyCellGraphic(*o.FCellGraphic, *FCellGraphic);
}

TGridGraphicIO& TGridGraphicIO::operator=(const TGridGraphicIO& o)
{
    if (this == &o) return *this;
    TGridStreamRecord::operator=(o);
    FCellGraphic = std::make_unique<TCellGraphic>();
    CopyCellGraphic(*o.FCellGraphic, *FCellGraphic);
    return *this;
}

void TGridGraphicIO::SetCellGraphic(const TCellGraphic& src)
{
    if (&src == FCellGraphic.get()) return;
    FCellGraphic = std::make_unique<TCellGraphic>();
    CopyCellGraphic(src, *FCellGraphic);
}

std::vector<TStreamProp> TGridGraphicIO::Properties() const
{
    return {{QStringLiteral("CellGraphic"), TStreamPropType::ptCellGraphic}};
}

QVariant TGridGraphicIO::PropValue(const QString&) const { return {}; }

bool TGridGraphicIO::SetPropValue(const QString&, const QVariant&) { return false; }

void TGridGraphicIO::Reset() { FCellGraphic = std::make_unique<TCellGraphic>(); }

// ---------------------------------------------------------------------------
// Payloads

std::vector<TStreamProp> TGridBMPIO::Properties() const { return {{QStringLiteral("Bitmap"), TStreamPropType::ptBitmap}}; }

QVariant TGridBMPIO::PropValue(const QString& name) const
{
    return name == QLatin1String("Bitmap") ? QVariant(ImageToPng(FBitmap)) : QVariant();
}

bool TGridBMPIO::SetPropValue(const QString& name, const QVariant& value)
{
    return name == QLatin1String("Bitmap") && PngToImage(value, FBitmap);
}

std::vector<TStreamProp> TGridIconIO::Properties() const { return {{QStringLiteral("Icon"), TStreamPropType::ptIcon}}; }

QVariant TGridIconIO::PropValue(const QString& name) const
{
    return name == QLatin1String("Icon") ? QVariant(ImageToPng(FIcon)) : QVariant();
}

bool TGridIconIO::SetPropValue(const QString& name, const QVariant& value)
{
    return name == QLatin1String("Icon") && PngToImage(value, FIcon);
}

std::vector<TStreamProp> TGridPicIO::Properties() const { return {{QStringLiteral("Picture"), TStreamPropType::ptPicture}}; }

QVariant TGridPicIO::PropValue(const QString& name) const
{
    return name == QLatin1String("Picture") ? QVariant(FPicture) : QVariant();
}

bool TGridPicIO::SetPropValue(const QString& name, const QVariant& value)
{
    if (name != QLatin1String("Picture") || !value.canConvert<QByteArray>()) return false;
    FPicture = value.toByteArray();
    return true;
}

std::vector<TStreamProp> TGridFilePicIO::Properties() const
{
    return {{QStringLiteral("Picture"), TStreamPropType::ptFilePicture}};
}

QVariant TGridFilePicIO::PropValue(const QString& name) const
{
    return name == QLatin1String("Picture") ? QVariant(FPicture.Filename()) : QVariant();
}

bool TGridFilePicIO::SetPropValue(const QString& name, const QVariant& value)
{
    if (name != QLatin1String("Picture") || !value.canConvert<QString>()) return false;
    FPicture.SetFilename(value.toString());
    return true;
}

std::vector<TStreamProp> TGridSLIO::Properties() const { return {{QStringLiteral("Strings"), TStreamPropType::ptStrings}}; }

QVariant TGridSLIO::PropValue(const QString& name) const
{
    return name == QLatin1String("Strings") ? QVariant(FStrings) : QVariant();
}

bool TGridSLIO::SetPropValue(const QString& name, const QVariant& value)
{
    if (name != QLatin1String("Strings") || !value.canConvert<QStringList>()) return false;
    FStrings = value.toStringList();
    return true;
}

void TGridSLIO::SetImageIndexes(const QList<int>& indexes)
{
    FStrings.clear();
    for (int i : indexes) FStrings << QString::number(i);
}

bool TGridSLIO::ImageIndexes(QList<int>& indexes) const
{
    indexes.clear();
    for (const QString& line : FStrings) {
        bool ok = false;
        const int v = line.trimmed().toInt(&ok);
        if (!ok) return false;
        indexes << v;
    }
    return true;
}
