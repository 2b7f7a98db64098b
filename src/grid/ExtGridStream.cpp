// The grid's binary cell stream (any block of cells with texts, properties
// and graphics) and its native text file. Every reader parses and checks its
// whole input into a staging list first and only then changes the grid, so a
// damaged or hostile input changes nothing.
#include "controls/ExtUtil.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridCellIO.h"
#include "grid/GridIOLimits.h"
#include "platform/ComponentStream.h"
#include "platform/Files.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cmath>
#include <map>
#include <optional>

using enum TCellType;

namespace {

// ---------------------------------------------------------------------------
// Names of the enumerations as the stream writes them.

template <size_t N>
QByteArray NameOf(const char* const (&names)[N], int v)
{
    return v >= 0 && size_t(v) < N ? QByteArray(names[v]) : QByteArray();
}

template <size_t N>
int ValueOf(const char* const (&names)[N], const QByteArray& name)
{
    for (size_t i = 0; i < N; ++i)
        if (name == names[i]) return int(i);
    return -1;
}

const char* const kCellTypeNames[] = {
    "ctBitmap",      "ctIcon",         "ctNone",         "ctImageList",   "ctCheckBox",       "ctDataCheckBox",
    "ctRotated",     "ctDataImage",    "ctNode",         "ctRadio",       "ctEmpty",          "ctImages",
    "ctPicture",     "ctFilePicture",  "ctValue",        "ctProgress",    "ctComment",        "ctButton",
    "ctBitButton",   "ctVirtCheckBox", "ctRowCheckBox",  "ctProgressPie", "ctSummary",        "ctRangeIndicator",
    "ctXPProgress",  "ctInterface",    "ctScrollbar",    "ctRadioButton", "ctBalloon",        "ctShape",
    "ctRating",      "ctTriStateCheckBox", "ctExpand"};
static_assert(std::size(kCellTypeNames) == size_t(CellTypeCount));
const char* const kCellVAlignNames[] = {"vaTop", "vaBottom", "vaCenter", "vaUnderText", "vaAboveText", "vaFull"};
const char* const kCellHAlignNames[] = {"haLeft", "haRight", "haCenter", "haBeforeText", "haAfterText", "haFull"};
const char* const kCheckBoxStateNames[] = {"cbUnchecked", "cbChecked", "cbGrayed"};
const char* const kAlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
const char* const kVAlignmentNames[] = {"vtaTop", "vtaCenter", "vtaBottom"};
const char* const kGradientNames[] = {"GradientVertical", "GradientHorizontal"};
const char* const kFontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
const char* const kEditorNames[] = {
    "edNormal",           "edSpinEdit",           "edComboEdit",           "edComboList",
    "edEditBtn",          "edCheckBox",           "edDateEdit",            "edDateEditUpDown",
    "edTimeEdit",         "edButton",             "edDataCheckBox",        "edNumeric",
    "edPositiveNumeric",  "edFloat",              "edCapital",             "edMixedCase",
    "edPassword",         "edUnitEditBtn",        "edLowerCase",           "edUpperCase",
    "edFloatSpinEdit",    "edTimeSpinEdit",       "edDateSpinEdit",        "edNumericEditBtn",
    "edFloatEditBtn",     "edCustom",             "edRichEdit",            "edNone",
    "edDateTimeEdit",     "edValidChars",         "edTrackbarDropDown",    "edMemoDropDown",
    "edCalculatorDropDown", "edTimePickerDropDown", "edDetailDropDown",    "edGridDropDown",
    "edColorPickerDropDown", "edImagePickerDropDown", "edExtGridDropDown", "edPositiveFloat",
    "edNumericUnitEditBtn", "edFloatUnitEditBtn",  "edMaskEditBtn"};
static_assert(std::size(kEditorNames) == size_t(edMaskEditBtn) + 1);

struct TBrushName {
    Qt::BrushStyle Style;
    const char* Name;
};
// The eight classic brush styles by their usual names; Qt's further
// patterns by names of our own, so that none is lost.
const TBrushName kBrushNames[] = {
    {Qt::SolidPattern, "bsSolid"},     {Qt::NoBrush, "bsClear"},          {Qt::HorPattern, "bsHorizontal"},
    {Qt::VerPattern, "bsVertical"},    {Qt::FDiagPattern, "bsFDiagonal"}, {Qt::BDiagPattern, "bsBDiagonal"},
    {Qt::CrossPattern, "bsCross"},     {Qt::DiagCrossPattern, "bsDiagCross"}, {Qt::Dense1Pattern, "bsDense1"},
    {Qt::Dense2Pattern, "bsDense2"},   {Qt::Dense3Pattern, "bsDense3"},   {Qt::Dense4Pattern, "bsDense4"},
    {Qt::Dense5Pattern, "bsDense5"},   {Qt::Dense6Pattern, "bsDense6"},   {Qt::Dense7Pattern, "bsDense7"}};

QByteArray BrushName(Qt::BrushStyle s)
{
    for (const TBrushName& b : kBrushNames)
        if (b.Style == s) return b.Name;
    return "bsSolid";  // gradients and textures need objects a stream cannot carry
}

const QByteArray kPropPrefix = "CellProperties.";
const QByteArray kGraphicPrefix = "CellGraphic.";

// ---------------------------------------------------------------------------
// Writing

void WriteCellProperties(TComponentWriter& w, const TCellProperties& p)
{
    auto n = [](const char* name) { return kPropPrefix + name; };
    w.WriteBoolean(n("IsBaseCell"), p.IsBaseCell());
    w.WriteInteger(n("CellSpanX"), p.CellSpanX());
    w.WriteInteger(n("CellSpanY"), p.CellSpanY());
    w.WriteIdent(n("Alignment"), NameOf(kAlignmentNames, p.Alignment()));
    w.WriteInteger(n("BorderColor"), p.BorderColor());
    w.WriteInteger(n("BorderWidth"), p.BorderWidth());
    w.WriteInteger(n("BrushColor"), p.BrushColor());
    w.WriteInteger(n("BrushColorTo"), p.BrushColorTo());
    w.WriteIdent(n("BrushStyle"), BrushName(p.BrushStyle()));
    // The user's value may point into this program: it is written as 0.
    w.WriteInteger(n("CellObject"), 0);
    w.WriteInteger(n("FontColor"), p.FontColor());
    if (!p.FontName().isEmpty()) w.WriteString(n("FontName"), p.FontName());
    w.WriteInteger(n("FontSize"), p.FontSize());
    QList<QByteArray> styles;
    for (int i = 0; i < int(std::size(kFontStyleNames)); ++i)
        if (p.FontStyle().Contains(TCellFontStyle(i))) styles << kFontStyleNames[i];
    w.WriteSet(n("FontStyle"), styles);
    w.WriteIdent(n("Editor"), NameOf(kEditorNames, p.Editor()));
    w.WriteIdent(n("GradientDirection"), NameOf(kGradientNames, p.GradientDirection()));
    w.WriteBoolean(n("ReadOnly"), p.ReadOnly());
    w.WriteIdent(n("VAlignment"), NameOf(kVAlignmentNames, p.VAlignment()));
    w.WriteBoolean(n("WordWrap"), p.WordWrap());
    w.WriteInteger(n("NodeLevel"), p.NodeLevel());
    // Control (a widget of this program) is left out.
}

void WriteCellGraphic(TComponentWriter& w, const TCellGraphic& g)
{
    auto n = [](const char* name) { return kGraphicPrefix + name; };
    w.WriteIdent(n("CellType"), NameOf(kCellTypeNames, int(g.CellType)));
    w.WriteIdent(n("CellVAlign"), NameOf(kCellVAlignNames, int(g.CellVAlign)));
    w.WriteIdent(n("CellHAlign"), NameOf(kCellHAlignNames, int(g.CellHAlign)));
    w.WriteInteger(n("CellIndex"), g.CellIndex);
    w.WriteBoolean(n("CellTransparent"), g.CellTransparent);
    w.WriteBoolean(n("CellCreated"), g.CellCreated);
    w.WriteBoolean(n("CellBoolean"), g.CellBoolean);
    w.WriteIdent(n("CellCheckBoxState"), NameOf(kCheckBoxStateNames, g.CellCheckBoxState));
    w.WriteInteger(n("CellAngle"), g.CellAngle);
    if (g.CellValue != 0) w.WriteFloat(n("CellValue"), g.CellValue);
    w.WriteInteger(n("CellErrFrom"), g.CellErrFrom);
    w.WriteInteger(n("CellErrLen"), g.CellErrLen);
    if (!g.CellText.isEmpty()) w.WriteString(n("CellText"), g.CellText);
}

// A record through its plain property accessors.
void WriteRecord(TComponentWriter& w, const TGridStreamRecord& rec)
{
    using enum TStreamPropType;
    w.BeginRecord(rec.ClassName().toLatin1());
    for (const TStreamProp& p : rec.Properties()) {
        const QByteArray name = p.Name.toLatin1();
        const QVariant v = rec.PropValue(p.Name);
        switch (p.Type) {
        case ptIndex: w.WriteInteger(name, v.toInt()); break;
        case ptBoolean: w.WriteBoolean(name, v.toBool()); break;
        case ptString:
        case ptFilePicture:
            if (!v.toString().isEmpty()) w.WriteString(name, v.toString());
            break;
        case ptBitmap:
        case ptIcon:
        case ptPicture:
            if (!v.toByteArray().isEmpty()) w.WriteBinary(name, v.toByteArray());
            break;
        case ptStrings:
            if (!v.toStringList().isEmpty()) w.WriteList(name, v.toStringList());
            break;
        case ptCellProperties: WriteCellProperties(w, static_cast<const TGridCellPropIO&>(rec).CellProperties()); break;
        case ptCellGraphic: WriteCellGraphic(w, static_cast<const TGridGraphicIO&>(rec).CellGraphic()); break;
        }
    }
    w.EndRecord();
}

void WriteHeader(TComponentWriter& w, const TGridPropIO& h)
{
    w.BeginRecord("TGridPropIO");
    w.WriteInteger("ColCount", h.ColCount);
    w.WriteInteger("RowCount", h.RowCount);
    if (!h.ColWidths.isEmpty()) w.WriteString("ColWidths", h.ColWidths);
    if (!h.RowHeights.isEmpty()) w.WriteString("RowHeights", h.RowHeights);
    w.WriteBoolean("FullGrid", h.FullGrid);
    w.WriteInteger("ID", h.ID);
    w.EndRecord();
}

QByteArray ImageBytes(const QImage* img)
{
    if (!img || img->isNull()) return {};
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    img->save(&b, "PNG");
    return bytes;
}

// ---------------------------------------------------------------------------
// Reading

// Decoded pictures of one stream may take no more memory than this together.
constexpr qint64 kPictureBudget = qint64(4) * GridIOLimits::MaxPictureMegabytes << 20;

struct TStagedCell {
    int Col = 0;  // target cell
    int Row = 0;
    QString Text;
    bool HasProp = false;
    std::vector<std::pair<QByteArray, TStreamValue>> Props;  // present properties, checked
    bool HasGraphic = false;
    std::unique_ptr<TGridGraphicIO> Graphic;
    QImage Image;         // ctBitmap, ctBitButton, ctPicture, ctIcon
    QStringList Strings;  // ctRadio
    QList<int> Indexes;   // ctImages
    QString FileName;     // ctFilePicture
    bool HasPayload = false;
};

class TStreamParser {
public:
    TStreamParser(QByteArrayView data) : m_in(data) {}

    TComponentReader m_in;
    qint64 m_pictureBytes = 0;

    [[noreturn]] void Fail(const QString& what, qint64 at) { throw EReadError(what, at); }

    // Calls onProp(name, value, at) for every property of one record.
    template <class F>
    void Record(F&& onProp)
    {
        m_in.BeginRecord();
        while (!m_in.EndOfProperties()) {
            const qint64 at = m_in.Position();
            const QByteArray name = m_in.ReadName();
            const TStreamValue v = m_in.ReadValue();
            if (!onProp(name, v)) Fail(QStringLiteral("property %1 unknown or of a wrong value").arg(QString::fromLatin1(name)), at);
        }
        m_in.EndRecord();
    }

    TGridPropIO Header()
    {
        TGridPropIO h;
        Record([&](const QByteArray& name, const TStreamValue& v) {
            if (name == "ColCount" && v.IsInteger()) return h.ColCount = int32_t(v.Int), true;
            if (name == "RowCount" && v.IsInteger()) return h.RowCount = int32_t(v.Int), true;
            if (name == "ColWidths" && v.IsText()) return h.ColWidths = v.Text, true;
            if (name == "RowHeights" && v.IsText()) return h.RowHeights = v.Text, true;
            if (name == "FullGrid" && v.IsBoolean()) return h.FullGrid = v.Bool, true;
            if (name == "ID" && v.IsInteger()) return h.ID = int32_t(v.Int), true;
            return false;
        });
        return h;
    }

    // A plain record through its accessors.
    void Plain(TGridStreamRecord& rec)
    {
        using enum TStreamPropType;
        rec.Reset();
        const std::vector<TStreamProp> props = rec.Properties();
        Record([&](const QByteArray& name, const TStreamValue& v) {
            const QString n = QString::fromLatin1(name);
            for (const TStreamProp& p : props) {
                if (p.Name != n) continue;
                switch (p.Type) {
                case ptIndex: return v.IsInteger() && rec.SetPropValue(n, v.Int);
                case ptBoolean: return v.IsBoolean() && rec.SetPropValue(n, v.Bool);
                case ptString:
                case ptFilePicture: return v.IsText() && rec.SetPropValue(n, v.Text);
                case ptStrings: return v.Type == TValueType::vaList && rec.SetPropValue(n, v.Lines);
                case ptBitmap:
                case ptIcon:
                case ptPicture: return v.Type == TValueType::vaBinary && rec.SetPropValue(n, v.Binary);
                default: return false;
                }
            }
            return false;
        });
    }

    void CellProps(TStagedCell& cell)
    {
        // Checked against a scratch object now, applied to the cell later.
        TCellProperties scratch(nullptr, 0, 0);
        bool hasGraphic = false;
        Record([&](const QByteArray& name, const TStreamValue& v) {
            if (name == "HasGraphic") return v.IsBoolean() && ((hasGraphic = v.Bool), true);
            if (!name.startsWith(kPropPrefix) || !ApplyCellProperty(scratch, name.mid(kPropPrefix.size()), v)) return false;
            cell.Props.emplace_back(name.mid(kPropPrefix.size()), v);
            return true;
        });
        cell.HasGraphic = hasGraphic;
    }

    void Graphic(TStagedCell& cell)
    {
        cell.Graphic = std::make_unique<TGridGraphicIO>();
        TCellGraphic& g = cell.Graphic->CellGraphic();
        Record([&](const QByteArray& name, const TStreamValue& v) {
            return name.startsWith(kGraphicPrefix) && ApplyGraphicProperty(g, name.mid(kGraphicPrefix.size()), v);
        });
    }

    void Payload(TStagedCell& cell)
    {
        const qint64 at = m_in.Position();
        switch (cell.Graphic->CellGraphic().CellType) {
        case ctBitmap:
        case ctBitButton: {
            TGridBMPIO rec;
            Plain(rec);
            cell.Image = rec.Bitmap();
            break;
        }
        case ctIcon: {
            TGridIconIO rec;
            Plain(rec);
            cell.Image = rec.Icon();
            break;
        }
        case ctPicture: {
            TGridPicIO rec;
            Plain(rec);
            if (!rec.Picture().isEmpty() && !DecodePicture(rec.Picture(), cell.Image))
                Fail(QStringLiteral("a picture that cannot be read"), at);
            break;
        }
        case ctFilePicture: {
            TGridFilePicIO rec;
            Plain(rec);
            cell.FileName = rec.Picture().Filename();
            break;
        }
        case ctRadio: {
            TGridSLIO rec;
            Plain(rec);
            cell.Strings = rec.Strings();
            break;
        }
        case ctImages: {
            TGridSLIO rec;
            Plain(rec);
            if (!rec.ImageIndexes(cell.Indexes)) Fail(QStringLiteral("an image index that is no number"), at);
            break;
        }
        default: return;
        }
        cell.HasPayload = true;
        m_pictureBytes += cell.Image.sizeInBytes();
        if (m_pictureBytes > kPictureBudget) Fail(QStringLiteral("pictures too large"), at);
    }

    static bool Enum(const TStreamValue& v, int& out, int found)
    {
        if (v.Type != TValueType::vaIdent || found < 0) return false;
        out = found;
        return true;
    }

    static bool Int32(const TStreamValue& v, int32_t& out)
    {
        if (!v.IsInteger()) return false;
        out = int32_t(v.Int);
        return true;
    }

    static bool ApplyCellProperty(TCellProperties& p, const QByteArray& name, const TStreamValue& v)
    {
        int e = 0;
        int32_t i = 0;
        if (name == "IsBaseCell") return v.IsBoolean() && (p.SetIsBaseCell(v.Bool), true);
        if (name == "CellSpanX") return Int32(v, i) && (p.SetCellSpanX(i), true);
        if (name == "CellSpanY") return Int32(v, i) && (p.SetCellSpanY(i), true);
        if (name == "Alignment") return Enum(v, e, ValueOf(kAlignmentNames, v.Ident)) && (p.SetAlignment(TAlignment(e)), true);
        if (name == "BorderColor") return Int32(v, i) && (p.SetBorderColor(i), true);
        if (name == "BorderWidth") return Int32(v, i) && (p.SetBorderWidth(i), true);
        if (name == "BrushColor") return Int32(v, i) && (p.SetBrushColor(i), true);
        if (name == "BrushColorTo") return Int32(v, i) && (p.SetBrushColorTo(i), true);
        if (name == "BrushStyle") {
            if (v.Type != TValueType::vaIdent) return false;
            for (const TBrushName& b : kBrushNames)
                if (v.Ident == b.Name) return p.SetBrushStyle(b.Style), true;
            return false;
        }
        if (name == "CellObject") return v.IsInteger();  // never a pointer: the cell keeps its own
        if (name == "FontColor") return Int32(v, i) && (p.SetFontColor(i), true);
        if (name == "FontName") return v.IsText() && (p.SetFontName(v.Text), true);
        if (name == "FontSize") return Int32(v, i) && (p.SetFontSize(i), true);
        if (name == "FontStyle") {
            if (v.Type != TValueType::vaSet) return false;
            TCellFontStyles s;
            for (const QByteArray& m : v.Members) {
                const int f = ValueOf(kFontStyleNames, m);
                if (f < 0) return false;
                s.Include(TCellFontStyle(f));
            }
            p.SetFontStyle(s);
            return true;
        }
        if (name == "Editor") return Enum(v, e, ValueOf(kEditorNames, v.Ident)) && (p.SetEditor(TEditorType(e)), true);
        if (name == "GradientDirection")
            return Enum(v, e, ValueOf(kGradientNames, v.Ident)) && (p.SetGradientDirection(TCellGradientDirection(e)), true);
        if (name == "ReadOnly") return v.IsBoolean() && (p.SetReadOnly(v.Bool), true);
        if (name == "VAlignment") return Enum(v, e, ValueOf(kVAlignmentNames, v.Ident)) && (p.SetVAlignment(TVAlignment(e)), true);
        if (name == "WordWrap") return v.IsBoolean() && (p.SetWordWrap(v.Bool), true);
        if (name == "NodeLevel") return Int32(v, i) && (p.SetNodeLevel(i), true);
        return false;
    }

    static bool ApplyGraphicProperty(TCellGraphic& g, const QByteArray& name, const TStreamValue& v)
    {
        int e = 0;
        if (name == "CellType") return Enum(v, e, ValueOf(kCellTypeNames, v.Ident)) && ((g.CellType = TCellType(e)), true);
        if (name == "CellVAlign") return Enum(v, e, ValueOf(kCellVAlignNames, v.Ident)) && ((g.CellVAlign = TCellVAlign(e)), true);
        if (name == "CellHAlign") return Enum(v, e, ValueOf(kCellHAlignNames, v.Ident)) && ((g.CellHAlign = TCellHAlign(e)), true);
        if (name == "CellIndex") return Int32(v, g.CellIndex);
        if (name == "CellTransparent") return v.IsBoolean() && ((g.CellTransparent = v.Bool), true);
        if (name == "CellCreated") return v.IsBoolean() && ((g.CellCreated = v.Bool), true);
        if (name == "CellBoolean") return v.IsBoolean() && ((g.CellBoolean = v.Bool), true);
        if (name == "CellCheckBoxState")
            return Enum(v, e, ValueOf(kCheckBoxStateNames, v.Ident)) && ((g.CellCheckBoxState = TCheckBoxState(e)), true);
        if (name == "CellAngle") return Int32(v, g.CellAngle);
        if (name == "CellValue") {
            if (v.Type == TValueType::vaExtended) return g.CellValue = v.Float, true;
            return v.IsInteger() && ((g.CellValue = double(v.Int)), true);
        }
        if (name == "CellErrFrom") return Int32(v, g.CellErrFrom);
        if (name == "CellErrLen") return Int32(v, g.CellErrLen);
        if (name == "CellText") return v.IsText() && ((g.CellText = v.Text), true);
        return false;
    }
};

// Comma-separated sizes: exactly `count` numbers from 0 to the limit.
bool ParseSizes(const QString& text, qsizetype count, std::vector<int>& out)
{
    out.clear();
    if (count == 0) return text.trimmed().isEmpty();
    // Each entry needs at least one digit and, but for the last, a comma.
    if (text.size() < 2 * count - 1) return false;
    out.reserve(size_t(count));
    for (QStringView part : QStringView(text).tokenize(u',')) {
        bool ok = false;
        const int v = part.trimmed().toInt(&ok);
        if (!ok || v < 0 || v > GridIOLimits::MaxCellExtent || qsizetype(out.size()) == count) return false;
        out.push_back(v);
    }
    return qsizetype(out.size()) == count;
}

} // namespace

// ---------------------------------------------------------------------------

int32_t TExtStringGrid::StreamID()
{
    while (FStreamID == 0) FStreamID = int32_t(QRandomGenerator::global()->generate());
    return FStreamID;
}

void TExtStringGrid::FileProgress(int percent, bool first)
{
    if (!OnFileProgress) return;
    percent = std::clamp(percent, 0, 100);
    if (!first && percent == FLastFileProgress) return;
    FLastFileProgress = percent;
    OnFileProgress(this, int16_t(percent));
}

QByteArray TExtStringGrid::SaveRectToBinBytes(const TGridRect& rect)
{
    if (rect.Left < 0 || rect.Top < 0 || rect.Left > rect.Right || rect.Top > rect.Bottom ||
        rect.Right >= TotalColCount() || rect.Bottom >= RowCount())
        throw EExtGridError(QStringLiteral("Cell block outside the grid"));
    QByteArray out;
    TComponentWriter w(out);

    TGridPropIO h;
    h.ColCount = rect.Right - rect.Left + 1;
    h.RowCount = rect.Bottom - rect.Top + 1;
    h.FullGrid = SaveFixedCells() ? h.RowCount == RowCount() && h.ColCount == ColCount()
                                  : h.RowCount == RowCount() - FixedRows() && h.ColCount == ColCount() - FixedCols();
    QStringList widths, heights;
    for (int c = rect.Left; c <= rect.Right; ++c) widths << QString::number(c < ColCount() ? ColWidths(c) : DefaultColWidth());
    for (int r = rect.Top; r <= rect.Bottom; ++r) heights << QString::number(RowHeights(r));
    h.ColWidths = widths.join(',');
    h.RowHeights = heights.join(',');
    h.ID = StreamID();
    WriteHeader(w, h);

    ExportNotification(TGridExportState::esExportStart, rect.Top);
    TGridCellIO cellRec(this);
    TGridCellPropIO propRec(this);
    TGridGraphicIO graphicRec(this);
    for (int r = rect.Top; r <= rect.Bottom; ++r) {
        ExportNotification(TGridExportState::esExportNextRow, r);
        for (int c = rect.Left; c <= rect.Right; ++c) {
            cellRec.SetCol(c);
            cellRec.SetRow(r);
            cellRec.SetCell(GridCells(c, r));
            cellRec.SetHasProp(HasCellProps(c, r));
            WriteRecord(w, cellRec);
            if (!cellRec.HasProp()) continue;
            const TCellProperties& props = *GetCellProperties(c, r);
            const auto* g = dynamic_cast<const TCellGraphic*>(props.GraphicObject());
            bool hasGraphic = g != nullptr;
            if (g) switch (g->CellType) {
                case ctEmpty: hasGraphic = false; break;
                case ctBitmap:
                case ctIcon:
                case ctRadio:
                case ctImages:
                case ctPicture:
                case ctFilePicture:
                case ctBitButton: hasGraphic = g->CellCreated; break;
                default: break;
                }
            propRec.SetCellProperties(props);
            propRec.SetHasGraphic(hasGraphic);
            WriteRecord(w, propRec);
            if (!hasGraphic) continue;
            graphicRec.SetCellGraphic(*g);
            WriteRecord(w, graphicRec);
            switch (g->CellType) {
            case ctBitmap:
            case ctBitButton: {
                TGridBMPIO rec;
                if (g->Bitmap()) rec.SetBitmap(*g->Bitmap());
                WriteRecord(w, rec);
                break;
            }
            case ctIcon: {
                TGridIconIO rec;
                if (g->Icon()) rec.SetIcon(*g->Icon());
                WriteRecord(w, rec);
                break;
            }
            case ctPicture: {
                TGridPicIO rec;
                rec.SetPicture(ImageBytes(g->Picture()));
                WriteRecord(w, rec);
                break;
            }
            case ctFilePicture: {
                TGridFilePicIO rec;
                if (g->FilePicture()) rec.SetPicture(*g->FilePicture());
                WriteRecord(w, rec);
                break;
            }
            case ctRadio: {
                TGridSLIO rec;
                if (g->Strings()) rec.SetStrings(*g->Strings());
                WriteRecord(w, rec);
                break;
            }
            case ctImages: {
                TGridSLIO rec;
                if (const TIntList* list = g->IntList()) {
                    QList<int> idx;
                    for (int i = 0; i < list->Count(); ++i) idx << list->Items(i);
                    rec.SetImageIndexes(idx);
                }
                WriteRecord(w, rec);
                break;
            }
            default: break;
            }
        }
        FileProgress(int(std::lround(double(r - rect.Top) / std::max(1, rect.Bottom - rect.Top) * 100)), r == rect.Top);
    }
    ExportNotification(TGridExportState::esExportDone, -1);
    return out;
}

void TExtStringGrid::SaveRectToBinStream(const TGridRect& rect, QIODevice& stream)
{
    const QByteArray bytes = SaveRectToBinBytes(rect);
    if (stream.write(bytes) != bytes.size()) throw EFileError(QStringLiteral("Stream write error"));
}

void TExtStringGrid::SaveToBinStream(QIODevice& stream)
{
    SaveRectToBinStream({SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()}, stream);
}

void TExtStringGrid::SaveToBinFile(const QString& fileName)
{
    WriteFileAtomic(fileName, SaveRectToBinBytes({SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()}));
}

void TExtStringGrid::LoadAtPointFromBinBytes(QPoint point, QByteArrayView bytes) { LoadCellBlock(point, bytes, false, nullptr); }

void TExtStringGrid::LoadCellBlock(QPoint point, QByteArrayView bytes, bool asBlock,
                                   const std::function<void(const TGridPropIO&)>& beforeApply)
{
    using namespace GridIOLimits;
    TStreamParser parser(bytes);
    TComponentReader& in = parser.m_in;

    // 1. The header, checked against the limits and the bytes left.
    TGridPropIO h = parser.Header();
    if (asBlock) h.FullGrid = false;
    if (h.ColCount < 1 || h.RowCount < 1 || !ColsFit(h.ColCount) || !RowsFit(h.RowCount))
        parser.Fail(QStringLiteral("block size %1 x %2 out of range").arg(h.ColCount).arg(h.RowCount), 0);
    // Every cell has a record of at least 8 bytes (signature, two name
    // lengths, the two list ends).
    constexpr qint64 kMinCellRecord = 8;
    if (qint64(h.ColCount) * h.RowCount > in.Remaining() / kMinCellRecord)
        parser.Fail(QStringLiteral("the cells of a %1 x %2 block cannot fit in the bytes left").arg(h.ColCount).arg(h.RowCount),
                    in.Position());
    std::vector<int> widths, heights;
    if (h.FullGrid && (!ParseSizes(h.ColWidths, h.ColCount, widths) || !ParseSizes(h.RowHeights, h.RowCount, heights)))
        parser.Fail(QStringLiteral("column widths or row heights do not match the block"), 0);

    // A full grid written without its fixed cells gets them back: its cells
    // keep their own places, its widths and heights move past the fixed ones.
    int addCols = 0, addRows = 0;
    if (h.FullGrid && !SaveFixedCells()) {
        addCols = FixedCols();
        addRows = FixedRows();
    }
    const int newCols = h.FullGrid ? h.ColCount + addCols : ColCount();
    const int newRows = h.FullGrid ? h.RowCount + addRows : RowCount();
    if (!ColsFit(newCols) || !RowsFit(newRows)) parser.Fail(QStringLiteral("grid size out of range"), 0);

    // 2. Every cell, staged.
    std::vector<TStagedCell> cells;
    int c0 = 0, r0 = 0;
    bool first = true;
    TGridCellIO cellRec;
    while (in.Remaining() >= 2) {
        const qint64 at = in.Position();
        parser.Plain(cellRec);
        if (first && !h.FullGrid) {
            c0 = cellRec.Col();
            r0 = cellRec.Row();
        }
        first = false;
        TStagedCell cell;
        const qint64 tc = qint64(point.x()) + cellRec.Col() - c0;
        const qint64 tr = qint64(point.y()) + cellRec.Row() - r0;
        if (tc > MaxCols || tr > MaxRows || tc < -MaxCols || tr < -MaxRows) parser.Fail(QStringLiteral("cell position out of range"), at);
        cell.Col = int(tc);
        cell.Row = int(tr);
        cell.Text = cellRec.Cell();
        cell.HasProp = cellRec.HasProp();
        if (cell.HasProp) parser.CellProps(cell);
        if (cell.HasGraphic) {
            parser.Graphic(cell);
            parser.Payload(cell);
        }
        if (qsizetype(cells.size()) >= qsizetype(h.ColCount) * h.RowCount)
            parser.Fail(QStringLiteral("more cells than the header says"), at);
        cells.push_back(std::move(cell));
    }
    if (in.Remaining() != 0) parser.Fail(QStringLiteral("trailing byte"), in.Position());
    // A writer stores every cell of its block: fewer records mean a cut stream.
    if (qsizetype(cells.size()) != qsizetype(h.ColCount) * h.RowCount)
        parser.Fail(QStringLiteral("the stream ends before the last cell of its block"), in.Position());

    // The stream is sound: the caller may make room for it now.
    if (beforeApply) beforeApply(h);

    // Merge data stays only when the whole range lies in the block and the
    // grid: the block's cells as they will land, by position.
    const int gridRows = h.FullGrid ? newRows : RowCount();
    const int blockLeft = h.FullGrid ? addCols : point.x();
    const int blockTop = h.FullGrid ? addRows : point.y();
    const int gridCols = h.FullGrid ? newCols : TotalColCount();
    auto inside = [&](qint64 c, qint64 r) {
        return c >= std::max(0, blockLeft) && r >= std::max(0, blockTop) && c < std::min<qint64>(qint64(blockLeft) + h.ColCount, gridCols) &&
               r < std::min<qint64>(qint64(blockTop) + h.RowCount, gridRows);
    };
    for (TStagedCell& cell : cells) {
        if (!cell.HasProp) continue;
        bool base = true;
        qint64 sx = -1, sy = -1;
        for (const auto& [name, v] : cell.Props) {
            if (name == "IsBaseCell") base = v.Bool;
            if (name == "CellSpanX") sx = v.Int;
            if (name == "CellSpanY") sy = v.Int;
        }
        if (base && sx == -1 && sy == -1) continue;
        const bool keep = base ? sx >= 0 && sy >= 0 && inside(cell.Col, cell.Row) && inside(cell.Col + sx, cell.Row + sy)
                               : sx >= 0 && sy >= 0 && inside(cell.Col, cell.Row) && inside(cell.Col - sx, cell.Row - sy);
        if (keep) continue;
        for (auto& [name, v] : cell.Props) {
            if (name == "IsBaseCell") v.Bool = true;
            if (name == "CellSpanX" || name == "CellSpanY") v.Int = -1;
        }
    }

    // 3. Apply.
    BeginUpdate();
    struct TEnd {
        TExtStringGrid* g;
        ~TEnd() { g->EndUpdate(); }
    } end{this};
    if (h.FullGrid) {
        Clear();
        SetRowCount(newRows);
        SetColCount(newCols);
        for (int i = 0; i < h.ColCount; ++i) SetColWidths(i + addCols, widths[size_t(i)]);
        for (int i = 0; i < h.RowCount; ++i) SetRowHeights(i + addRows, heights[size_t(i)]);
    }
    int lastRow = -1;
    bool firstProgress = true;
    for (TStagedCell& cell : cells) {
        const int c = cell.Col, r = cell.Row;
        if (c < 0 || r < 0 || c >= TotalColCount() || r >= RowCount()) continue;
        SetGridCells(c, r, cell.Text);
        if (r != lastRow) {
            FileProgress(int(std::lround(double(r) / std::max(1, RowCount()) * 100)), firstProgress);
            firstProgress = false;
            lastRow = r;
        }
        if (!cell.HasProp) continue;
        TCellProperties& target = *GetCellProperties(c, r);
        TGridCellPropIO rec(this);
        rec.SetCellProperties(target);
        for (const auto& [name, v] : cell.Props) TStreamParser::ApplyCellProperty(rec.CellProperties(), name, v);
        rec.AssignTo(target);
        target.SetOwnerCol(c);
        target.SetOwnerRow(r);
        if (!cell.HasGraphic) continue;
        const TCellGraphic& src = cell.Graphic->CellGraphic();
        if (src.CellType == ctEmpty) {  // no graphic, as the writer sees it
            RemoveCellGraphic(c, r);
            continue;
        }
        TCellGraphic* g = CreateCellGraphic(c, r);
        if (!g) continue;
        if (cell.HasPayload) {
            switch (src.CellType) {
            case ctBitmap:
            case ctBitButton:
            case ctPicture:
                if (!cell.Image.isNull()) g->CellBitmap = std::make_unique<QImage>(cell.Image);
                break;
            case ctIcon:
                if (!cell.Image.isNull()) g->CellIcon = std::make_unique<QImage>(cell.Image);
                break;
            case ctFilePicture:
                if (!cell.FileName.isEmpty()) {
                    auto pic = std::make_unique<TFilePicture>();
                    pic->SetFilename(cell.FileName);
                    g->CellBitmap = std::move(pic);
                }
                break;
            case ctRadio: g->CellBitmap = std::make_unique<QStringList>(cell.Strings); break;
            case ctImages: {
                g->SetMultiImage(c, r, 0, src.CellHAlign, src.CellVAlign,
                                 [this](TIntList*, int acol, int arow) { RepaintDispl(acol, arow); });
                for (int i : cell.Indexes) g->IntList()->Add(i);
                break;
            }
            default: break;
            }
        }
        g->Assign(src);
        g->CellCheckBoxState = src.CellCheckBoxState;
        // A payload kind's object, when the stream had one, is the graphic's
        // own, whatever the stream said.
        if (cell.HasPayload) g->CellCreated = true;
    }
    Invalidate();
}

void TExtStringGrid::LoadAtPointFromBinStream(QPoint point, QIODevice& stream)
{
    // A read of a maximum size would reserve that size first: read what is there.
    const QByteArray bytes = stream.isSequential() ? stream.readAll() : stream.read(std::max<qint64>(0, stream.size() - stream.pos()));
    if (bytes.size() > GridIOLimits::MaxFileBytes) throw EReadError(QStringLiteral("stream too large"), 0);
    LoadAtPointFromBinBytes(point, bytes);
}

void TExtStringGrid::LoadFromBinStream(QIODevice& stream)
{
    LoadAtPointFromBinStream(QPoint(0, 0), stream);
    // The tree's node count is kept by the node code (IsNode); column 0 is
    // repainted when node rows came in.
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (GetCellType(0, r) == ctNode) {
            RepaintCol(0);
            break;
        }
}

void TExtStringGrid::LoadFromBinFile(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) throw EFileError(QStringLiteral("Cannot open file \"%1\"").arg(fileName));
    LoadFromBinStream(f);
}

// ---------------------------------------------------------------------------
// Native text file

namespace {

// Line breaks of any kind made CR LF.
QString NormalizeBreaks(const QString& s)
{
    if (!s.contains(u'\r') && !s.contains(u'\n')) return s;
    QString out;
    out.reserve(s.size() + 8);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar ch = s[i];
        if (ch == u'\r') {
            out += QStringLiteral("\r\n");
            if (i + 1 < s.size() && s[i + 1] == u'\n') ++i;
        } else if (ch == u'\n') {
            out += QStringLiteral("\r\n");
        } else {
            out += ch;
        }
    }
    return out;
}

// A number as the file's reader takes it: leading blanks skipped, an
// optional sign, "$" or "0x" for hexadecimal, then the digits up to the first
// character that is none (0 when there are none). False when the value does
// not fit in 32 bits.
bool FileNumber(QStringView s, int& out)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
    int base = 10;
    if (i < s.size() && s[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    qint64 v = 0;
    for (; i < s.size(); ++i) {
        const int d = s[i].isDigit() && s[i].unicode() < 128 ? s[i].unicode() - '0'
                      : base == 16 && s[i].toLower() >= u'a' && s[i].toLower() <= u'f' ? s[i].toLower().unicode() - 'a' + 10
                                                                                          : -1;
        if (d < 0) break;
        v = v * base + d;
        if (v > qint64(std::numeric_limits<int32_t>::max()) + 1) return false;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min()) return false;
    out = int(v);
    return true;
}

struct TStagedText {
    int Col;
    int Row;
    QString Text;
};

} // namespace

QByteArray TExtStringGrid::SaveToFileBytes(bool unicode)
{
    const int cols = SaveColCount() + (SaveHiddenCells() ? NumHiddenColumns() : 0);
    const int first = SaveStartCol();
    const int rows = SaveRowCount();
    QString out;
    const QString crlf = QStringLiteral("\r\n");
    out += QString::number(cols) + u',' + QString::number(rows) + crlf;
    for (int c = first; c < first + cols; ++c)
        out += QStringLiteral("cw ") + QString::number(c) + u',' +
               QString::number(c < ColCount() ? ColWidths(c) : DefaultColWidth()) + crlf;
    ExportNotification(TGridExportState::esExportStart, SaveStartRow());
    for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
        ExportNotification(TGridExportState::esExportNextRow, r);
        for (int c = first; c < first + cols; ++c) {
            QString text;
            GetSaveText(c, r, text);
            if (text.isEmpty()) continue;
            out += QString::number(c) + u',' + QString::number(r) + u',' + MultilineToSingleLine(NormalizeBreaks(text)) + crlf;
        }
        const int done = r - SaveStartRow();
        FileProgress(int(std::lround(double(done) / std::max(1, rows - 1) * 100)), done == 0);
    }
    ExportNotification(TGridExportState::esExportDone, -1);
    if (!unicode) return EncodeAnsi(out);
    QByteArray bytes("\xFF\xFE", 2);
    QStringEncoder enc(QStringEncoder::Utf16LE);
    bytes += enc.encode(out);
    return bytes;
}

void TExtStringGrid::SaveToFile(const QString& fileName, bool unicode) { WriteFileAtomic(fileName, SaveToFileBytes(unicode)); }

void TExtStringGrid::LoadFromFileBytes(const QByteArray& bytes, const QString& fileName)
{
    using namespace GridIOLimits;
    auto corrupt = [&]() { return EExtGridError(QStringLiteral("File contains no data or corrupt file ") + fileName); };
    QString text;
    if (!DecodeTextFileChecked(bytes, text)) throw corrupt();
    const QStringList lines = SplitLines(text);

    // 1. Parse and check every line.
    const int a = SaveFixedCells() || SaveFixedCols() ? 0 : FixedCols();
    const int b = SaveFixedCells() || SaveFixedRows() ? 0 : FixedRows();
    int cols = ColCount(), rows = RowCount();
    if (!lines.isEmpty() && !lines[0].isEmpty()) {
        const QStringView head = lines[0];
        const qsizetype comma = head.indexOf(u',');
        int c = 0, r = 0;
        if (!FileNumber(comma < 0 ? head : head.first(comma), c) || !FileNumber(comma < 0 ? QStringView() : head.sliced(comma + 1), r))
            throw corrupt();
        const qint64 nc = qint64(a) + c, nr = qint64(b) + r;
        if (nc < 1 || nr < 1 || !ColsFit(nc) || !RowsFit(nr)) throw corrupt();
        cols = int(nc);
        rows = int(nr);
    }
    if (cols < 1 || rows < 1) throw corrupt();
    std::map<int, int> widths;
    std::vector<TStagedText> cells;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (line.isEmpty()) continue;
        if (line.startsWith(u"cw")) {
            const qsizetype comma = line.indexOf(u',');
            int n = 0, w = 0;
            if (comma < 0 || !FileNumber(line.sliced(std::min<qsizetype>(3, comma), comma - std::min<qsizetype>(3, comma)), n) ||
                !FileNumber(line.sliced(comma + 1).first(std::min<qsizetype>(255, line.size() - comma - 1)), w))
                throw corrupt();
            if (w < 0 || w > MaxCellExtent) throw corrupt();
            if (n >= 0 && n < cols) widths[n] = w;
            continue;
        }
        const qsizetype c1 = line.indexOf(u',');
        const qsizetype c2 = c1 < 0 ? -1 : line.indexOf(u',', c1 + 1);
        int c = 0, r = 0;
        if (c2 < 0 || !FileNumber(line.first(c1), c) || !FileNumber(line.sliced(c1 + 1, c2 - c1 - 1), r)) throw corrupt();
        if (c < 0 || r < 0 || c >= cols || r >= rows) continue;
        cells.push_back({c, r, line.sliced(c2 + 1).toString()});
    }

    // 2. Apply.
    if (cols != ColCount()) SetColCount(cols);
    if (rows != RowCount()) SetRowCount(rows);
    for (const auto& [n, w] : widths)
        if (n < ColCount()) SetColWidths(n, w);
    bool first = true;
    for (const TStagedText& cell : cells) {
        if (cell.Col >= ColCount() || cell.Row >= RowCount()) continue;
        SetLoadText(cell.Col, cell.Row, SingleLineToMultiline(cell.Text, Multilinecells()));
        FileProgress(int(std::lround(double(cell.Row) / std::max(1, RowCount() - 1) * 100)), first);
        first = false;
    }
    CellsChanged({0, 0, ColCount(), RowCount()});
    CellsLoaded();
}

void TExtStringGrid::LoadFromFile(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) throw EFileError(QStringLiteral("Cannot open file \"%1\"").arg(fileName));
    if (f.size() > GridIOLimits::MaxFileBytes)
        throw EExtGridError(QStringLiteral("File contains no data or corrupt file ") + fileName);
    LoadFromFileBytes(f.readAll(), fileName);
}
