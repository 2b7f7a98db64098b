// Cell access in the grid's index spaces, the per-cell property arrays, the
// column order, typed cell values and the display text.
#include "controls/EsgHTMLE.h"
#include "controls/EsgHTMLUtil.h"
#include "controls/ExtUtil.h"
#include "controls/ExtUtilDraw.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridDropDownEditor.h"
#include "platform/GridsWidget.h"
#include "platform/SysUtils.h"

#include <QLocale>
#include <QScopeGuard>
#include <QRegularExpression>

// ---------------------------------------------------------------------------
// Formats

bool IsSingleNumericFormat(const QString& format)
{
    static const QRegularExpression conv(QStringLiteral("%[-+ 0#]*[0-9]*(\\.[0-9]*)?([a-zA-Z%])"));
    int numeric = 0;
    auto it = conv.globalMatch(format);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QChar c = m.captured(2)[0];
        if (c == QLatin1Char('%')) continue;
        if (!QStringLiteral("diuxXfeEgG").contains(c)) return false;
        ++numeric;
    }
    return numeric == 1;
}

QString FormatFloatValue(const QString& format, double value)
{
    if (!IsSingleNumericFormat(format)) return format;
    QString s = FormatProgressValue(format, value);
    const QChar dec = GetDecimalSeparator();
    if (dec != QLatin1Char('.')) s.replace(QLatin1Char('.'), dec);
    return s;
}

// ---------------------------------------------------------------------------
// Hidden rows and index mapping

TGridItem* TExtStringGrid::HiddenRow(TRealRow r) const
{
    return const_cast<TGridItems&>(FGridItems).FindIdx(r.Value());
}

int TExtStringGrid::RealRowOf(int displRow) const
{
    // The store is ordered by real index: each hidden row at or before the
    // running index pushes it one further. Item i is passed while
    // Idx - i <= displRow, which grows with i: a binary search finds how
    // many are.
    int lo = 0, hi = FGridItems.Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (FGridItems.Items(mid).Idx() - mid <= displRow)
            lo = mid + 1;
        else
            hi = mid;
    }
    return displRow + lo;
}

int TExtStringGrid::DisplRowOf(int realRow) const { return realRow - FGridItems.LowerBound(realRow); }

// ---------------------------------------------------------------------------
// Cells by index space

QString TExtStringGrid::AllCells(int c, TRealRow realRow)
{
    if (c < 0 || !realRow.Valid()) return QString();
    if (const TGridItem* item = HiddenRow(realRow)) {
        const QStringList texts = item->Items();
        if (c >= texts.size()) throw Exception(QStringLiteral("List index out of bounds (%1)").arg(c));
        QString v = texts[c];
        GetDisplText(c, realRow.Value(), v);
        return v;
    }
    return Cells(c, DisplRowOf(realRow.Value()));
}

void TExtStringGrid::SetAllCells(int c, TRealRow realRow, const QString& v)
{
    if (c < 0 || !realRow.Valid()) return;
    if (TGridItem* item = HiddenRow(realRow)) {
        QStringList texts = item->Items();
        while (texts.size() <= c) texts << QString();
        texts[c] = v;
        item->SetItems(texts);
        return;
    }
    const int r = DisplRowOf(realRow.Value());
    SetCells(c, r, v);
    if (DisplColIndex(c) != c) RepaintDispl(c, r);
}

QString TExtStringGrid::AllGridCells(int c, TRealRow realRow) const
{
    if (c < 0 || !realRow.Valid()) return QString();
    if (const TGridItem* item = HiddenRow(realRow)) {
        const QStringList texts = item->Items();
        if (c >= texts.size()) throw Exception(QStringLiteral("List index out of bounds (%1)").arg(c));
        return texts[c];
    }
    return GridCells(c, DisplRowOf(realRow.Value()));
}

void TExtStringGrid::SetAllGridCells(int c, TRealRow realRow, const QString& v)
{
    if (c < 0 || !realRow.Valid()) return;
    if (TGridItem* item = HiddenRow(realRow)) {
        QStringList texts = item->Items();
        if (c >= texts.size()) throw Exception(QStringLiteral("List index out of bounds (%1)").arg(c));
        texts[c] = v;
        item->SetItems(texts);
        return;
    }
    SetGridCells(c, DisplRowOf(realRow.Value()), v);
}

TUserValue TExtStringGrid::AllObjects(int c, TRealRow realRow) const
{
    if (const TGridItem* item = HiddenRow(realRow)) {
        const auto& cells = item->Row().Cells;
        if (c < 0 || c >= int(cells.size())) return TUserValue();
        if (auto* p = dynamic_cast<TCellProperties*>(cells[size_t(c)].Object.get())) return p->CellObject();
        return TUserValue();
    }
    return Objects(c, DisplRowOf(realRow.Value()));
}

void TExtStringGrid::SetAllObjects(int c, TRealRow realRow, TUserValue v)
{
    if (TGridItem* item = HiddenRow(realRow)) {
        auto& cells = item->Row().Cells;
        if (c < 0 || c >= int(cells.size())) return;
        if (auto* p = dynamic_cast<TCellProperties*>(cells[size_t(c)].Object.get())) p->SetCellObject(std::move(v));
        return;
    }
    SetObjects(c, DisplRowOf(realRow.Value()), std::move(v));
}

QString TExtStringGrid::OriginalCells(int c, int r)
{
    const int p = ColumnPosition(c);
    return Cells(p == -1 ? c : p, r);
}

void TExtStringGrid::SetOriginalCells(int c, int r, const QString& v)
{
    const int p = ColumnPosition(c);
    SetCells(p == -1 ? c : p, r, v);
}

namespace {
// The position whose entry names row r before sorting.
int UnsortedPosition(const TIntList& xref, int r)
{
    if (xref.Count() == 0 || xref.Count() < r) return r;
    for (int i = 0; i < xref.Count(); ++i)
        if (xref.Items(i) == r) return i;
    return xref.Count();
}
} // namespace

QString TExtStringGrid::UnSortedCells(int c, int r) { return Cells(c, UnsortedPosition(FSortRowXRef, r)); }

void TExtStringGrid::SetUnSortedCells(int c, int r, const QString& v)
{
    SetCells(c, UnsortedPosition(FSortRowXRef, r), v);
}

QString TExtStringGrid::StrippedCells(int c, int r) { return StripMiniHtml(Cells(c, r)); }

int TExtStringGrid::LinesInCell(int c, int r) { return 1 + int(Cells(c, r).count(QLatin1Char('\r'))); }

TRealRow TExtStringGrid::SortedRowIndex(int r) const
{
    if (r >= 0 && r < FSortRowXRef.Count()) r = FSortRowXRef.Items(r);
    return TRealRow(RealRowOf(r));
}

int TExtStringGrid::UnSortedRowIndex(int r) const
{
    if (FSortRowXRef.Count() == 0) return r;
    for (int i = 0; i < FSortRowXRef.Count(); ++i)
        if (FSortRowXRef.Items(i) == r) return i;
    return FSortRowXRef.Count();
}

QString TExtStringGrid::CurrentCell()
{
    const QPoint b = BaseCell(RealCol(), Row());
    return GridCells(b.x(), b.y());
}

void TExtStringGrid::SetCurrentCell(const QString& v)
{
    const QPoint b = BaseCell(RealCol(), Row());
    SetCells(b.x(), b.y(), v);
}

QString TExtStringGrid::GetCurrentCellEx()
{
    const QPoint b = BaseCell(RealCol(), Row());
    return Cells(b.x(), b.y());
}

void TExtStringGrid::SetCurrentCellEx(const QString& v)
{
    int bc = 0, br = 0;
    if (IsBaseCellPos(RealCol(), Row(), bc, br))
        SetEditText(Col(), Row(), v);
    else
        SetEditText(bc, br, v);
}

QString TExtStringGrid::GetEditText(int c, int r)
{
    const int rc = RealColIndex(c);
    const QPoint b = BaseCell(rc, r);
    const QString s = TBaseGrid::GetEditText(b.x(), b.y());
    return EditWithTags() ? s : StripMiniHtml(s);
}

void TExtStringGrid::SetEditText(int c, int r, const QString& v)
{
    // A drop-down editor writes its own way (a colour, an image index).
    if (FEditActive && IsDropDownEditorKind(FEditControl) && !FStoringDropDown) {
        if (TGridDropDownEditor* dd = DropDownEditor(FEditControl)) {
            FStoringDropDown = true;
            const auto done = qScopeGuard([this] { FStoringDropDown = false; });
            dd->StoreValue(RealColIndex(c), r, v);
            return;
        }
    }
    const QPoint b = BaseCell(c, r);
    TBaseGrid::SetEditText(RealColIndex(b.x()), b.y(), v);
    // An edited value reaches the cell here: the column's footer follows.
    ColumnCellChanged(RealColIndex(b.x()));
}

QString TExtStringGrid::GetEditMask(int c, int r) { return EditMask(); }

void TExtStringGrid::RepaintDispl(int c, int r) { InvalidateCell(DisplColIndex(c), r); }

// ---------------------------------------------------------------------------
// Per-cell property arrays

// A field of the cell's properties, its neutral value without properties.
template <typename T>
T TExtStringGrid::PropOr(int c, int r, T (TCellProperties::*get)() const, T neutral) const
{
    const TCellProperties* p = CellPropsOrNull(c, r);
    return p ? (p->*get)() : neutral;
}

// Writes a field of the cell's properties (made when missing) and repaints
// the cell at its display column.
template <typename T>
void TExtStringGrid::SetProp(int c, int r, void (TCellProperties::*set)(T), T v)
{
    if (TCellProperties* p = PropsFor(c, r)) (p->*set)(v);
    if (FUpdateCount == 0) RepaintDispl(c, r);
}

TColor TExtStringGrid::Colors(int c, int r) const { return PropOr(c, r, &TCellProperties::BrushColor, clNone); }
void TExtStringGrid::SetColors(int c, int r, TColor v) { SetProp(c, r, &TCellProperties::SetBrushColor, v); }
TColor TExtStringGrid::ColorsTo(int c, int r) const { return PropOr(c, r, &TCellProperties::BrushColorTo, clNone); }
void TExtStringGrid::SetColorsTo(int c, int r, TColor v) { SetProp(c, r, &TCellProperties::SetBrushColorTo, v); }
TCellGradientDirection TExtStringGrid::Gradients(int c, int r) const
{
    return PropOr(c, r, &TCellProperties::GradientDirection, GradientVertical);
}
void TExtStringGrid::SetGradients(int c, int r, TCellGradientDirection v)
{
    SetProp(c, r, &TCellProperties::SetGradientDirection, v);
}
TColor TExtStringGrid::FontColors(int c, int r) const { return PropOr(c, r, &TCellProperties::FontColor, clNone); }
void TExtStringGrid::SetFontColors(int c, int r, TColor v) { SetProp(c, r, &TCellProperties::SetFontColor, v); }
TCellFontStyles TExtStringGrid::FontStyles(int c, int r) const
{
    return PropOr(c, r, &TCellProperties::FontStyle, TCellFontStyles());
}
void TExtStringGrid::SetFontStyles(int c, int r, TCellFontStyles v) { SetProp(c, r, &TCellProperties::SetFontStyle, v); }
int TExtStringGrid::FontSizes(int c, int r) const { return PropOr(c, r, &TCellProperties::FontSize, 0); }
void TExtStringGrid::SetFontSizes(int c, int r, int v) { SetProp(c, r, &TCellProperties::SetFontSize, v); }
QString TExtStringGrid::FontNames(int c, int r) const { return PropOr(c, r, &TCellProperties::FontName, QString()); }
void TExtStringGrid::SetFontNames(int c, int r, const QString& v)
{
    if (TCellProperties* p = PropsFor(c, r)) p->SetFontName(v);
    if (FUpdateCount == 0) RepaintDispl(c, r);
}

TCellFont TExtStringGrid::GetCellFont(int c, int r) const
{
    TCellFont f{Font, FontColor};
    const TCellProperties* p = CellPropsOrNull(c, r);
    if (!p) return f;
    if (!p->FontName().isEmpty()) f.Font.setFamily(p->FontName());
    if (p->FontSize() > 0) f.Font.setPointSize(p->FontSize());
    ApplyFontStyles(f.Font, p->FontStyle());
    f.Color = p->FontColor();
    return f;
}

void TExtStringGrid::SetCellFont(int c, int r, const TCellFont& f)
{
    if (TCellProperties* p = PropsFor(c, r)) {
        p->SetFontName(f.Font.family());
        p->SetFontSize(FontSizeOf(f.Font));
        p->SetFontStyle(FontStylesOf(f.Font));
        p->SetFontColor(f.Color);
    }
    if (FUpdateCount == 0) RepaintDispl(c, r);
}

TAlignment TExtStringGrid::Alignments(int c, int r) const
{
    return PropOr(c, r, &TCellProperties::Alignment, taLeftJustify);
}
void TExtStringGrid::SetAlignments(int c, int r, TAlignment v) { SetProp(c, r, &TCellProperties::SetAlignment, v); }
bool TExtStringGrid::ReadOnly(int c, int r) const { return PropOr(c, r, &TCellProperties::ReadOnly, false); }
void TExtStringGrid::SetReadOnly(int c, int r, bool v) { SetProp(c, r, &TCellProperties::SetReadOnly, v); }

bool TExtStringGrid::WordWraps(int c, int r)
{
    TCellProperties* p = PropsFor(c, r);
    return p ? p->WordWrap() : WordWrap();
}

void TExtStringGrid::SetWordWraps(int c, int r, bool v) { SetProp(c, r, &TCellProperties::SetWordWrap, v); }

// Writes one colour into every non-fixed cell of a row. Clearing it (clNone)
// clears only that colour: the cells keep their fonts, alignments and other
// properties, and cells without properties get none.
void TExtStringGrid::SetRowField(int r, void (TCellProperties::*set)(TColor), TColor v)
{
    for (int c = FixedCols(); c < AllColCount(); ++c) {
        TCellProperties* p = v == clNone ? CellPropsOrNull(c, r) : PropsFor(c, r);
        if (p) (p->*set)(v);
    }
    InvalidateRow(r);
}

void TExtStringGrid::SetRowColor(int r, TColor v) { SetRowField(r, &TCellProperties::SetBrushColor, v); }
void TExtStringGrid::SetRowColorTo(int r, TColor v) { SetRowField(r, &TCellProperties::SetBrushColorTo, v); }
void TExtStringGrid::SetRowFontColor(int r, TColor v) { SetRowField(r, &TCellProperties::SetFontColor, v); }

QWidget* TExtStringGrid::CellControls(int c, int r) const
{
    const TCellProperties* p = CellPropsOrNull(c, r);
    return p ? p->Control() : nullptr;
}

void TExtStringGrid::SetCellControls(int c, int r, QWidget* control)
{
    const int real = RealRowOf(r);
    if (!control) {
        TCellProperties* p = CellPropsOrNull(c, r);
        if (p && p->Control()) {
            const int i = FControlList.ControlIndex(c, real);
            if (i >= 0) FControlList.RemoveControl(i);
            if (FNumCellControls > 0) --FNumCellControls;
            p->SetControl(nullptr);
        }
        return;
    }
    TCellProperties* p = PropsFor(c, r);
    if (!p) return;
    const int i = FControlList.ControlIndex(c, real);
    if (i >= 0) FControlList.RemoveControl(i);
    if (!p->Control()) ++FNumCellControls;
    FControlList.AddControl(c, real, control);
    p->SetControl(control);
    if (HandleAllocated()) {
        control->setParent(Widget()->viewport());
        const TRect cr = CellRect(DisplColIndex(c), r);
        control->setGeometry(cr.Left - 1, cr.Top - 1, cr.Width() + 1, cr.Height() + 1);
    }
}

// A hidden column answers the width it had when it was hidden; a shown one
// the width of its display column.
int TExtStringGrid::AllColWidths(int c) const
{
    int d = c;
    for (const THiddenCol& h : FHiddenCols) {
        if (h.Real == c) return h.Width;
        if (h.Real > c) break;
        --d;
    }
    return ColWidths(d);
}

void TExtStringGrid::SetAllColWidths(int c, int w)
{
    int d = c;
    for (THiddenCol& h : FHiddenCols) {
        if (h.Real == c) {
            h.Width = w;
            return;
        }
        if (h.Real > c) break;
        --d;
    }
    SetColWidths(d, w);
}

// ---------------------------------------------------------------------------
// Column order

void TExtStringGrid::SetColumnOrder()
{
    FColumnOrder.Clear();
    for (int c = 0; c < ColCount(); ++c) FColumnOrder.Add(c);
}

int TExtStringGrid::ColumnPosition(int c) const
{
    if (FColumnOrder.Count() == 0) return c;
    int p = c;
    for (int i = 0; i < std::min(FColumnOrder.Count(), ColCount() + FNumHidden); ++i)
        if (FColumnOrder.Items(i) == c) {
            p = i;
            break;
        }
    if (FGroupColumn != -1 && c >= FGroupColumn) --p;
    return p;
}

int TExtStringGrid::ColumnAtPosition(int c)
{
    if (FColumnOrder.Count() == 0) SetColumnOrder();
    if (FColumnOrder.Count() == 0 || c < 0 || c >= FColumnOrder.Count()) return c;
    int v = FColumnOrder.Items(c);
    if (FGroupColumn != -1 && v >= FGroupColumn) ++v;
    return v;
}

void TExtStringGrid::ResetColumnOrder()
{
    if (FColumnOrder.Count() == 0) {
        SetColumnOrder();
        return;
    }
    bool moved = true;
    while (moved) {
        moved = false;
        for (int p = 0; p < ColCount() && p < FColumnOrder.Count(); ++p) {
            const int e = FColumnOrder.Items(p);
            if (e < p) {
                // The list follows the move (ColumnMoved).
                MoveColumn(p, e);
                moved = true;
            }
        }
    }
}

int TExtStringGrid::ColumnByHeader(const QString& value)
{
    for (int c = 0; c < TotalColCount(); ++c)
        if (AllCells(c, TRealRow(0)) == value) return c;
    return -1;
}

// ---------------------------------------------------------------------------
// Typed values

namespace {
int ToInt(const QString& text)
{
    if (text.isEmpty() || text == QLatin1String("-")) return 0;
    const std::optional<int32_t> v = TryStrToInt(text);
    if (!v) throw EExtGridError(QStringLiteral("Cell does not contain integer value"));
    return *v;
}

double ToFloat(const QString& text)
{
    const QString n = NormalizeNumericText(text, SystemFormatSettings());
    if (n.isEmpty() || n == QLatin1String("-")) return 0;
    bool ok = false;
    const double v = n.toDouble(&ok);
    if (!ok) throw EExtGridError(QStringLiteral("Cell does not contain a float value"));
    return v;
}
} // namespace

int TExtStringGrid::Ints(int c, int r) { return ToInt(Trim(StrippedCells(c, r))); }

void TExtStringGrid::SetInts(int c, int r, int v)
{
    SetCells(c, r, QString::number(v));
    if (FNumHidden > 0) RepaintDispl(c, r);
}

int TExtStringGrid::AllInts(int c, TRealRow r) { return ToInt(Trim(AllCells(c, r))); }

void TExtStringGrid::SetAllInts(int c, TRealRow r, int v) { SetAllCells(c, r, QString::number(v)); }

double TExtStringGrid::Floats(int c, int r) { return ToFloat(StrippedCells(c, r)); }

void TExtStringGrid::SetFloats(int c, int r, double v)
{
    QString f;
    GetCellFloatFormat(c, r, f);
    SetCells(c, r, FormatFloatValue(f, v));
}

double TExtStringGrid::AllFloats(int c, TRealRow r) { return ToFloat(AllCells(c, r)); }

void TExtStringGrid::SetAllFloats(int c, TRealRow r, double v) { SetAllCells(c, r, FormatFloatValue(FloatFormat(), v)); }

namespace {
// The desktop's short date pattern (kept in Qt's letters).
QString QtDatePattern() { return GetShortDateFormat(); }
} // namespace

QDateTime TExtStringGrid::Dates(int c, int r)
{
    const QString t = Trim(Cells(c, r));
    const QDate d = QDate::fromString(t, QtDatePattern());
    if (!d.isValid()) throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(t));
    return QDateTime(d, QTime(0, 0));
}

void TExtStringGrid::SetDates(int c, int r, const QDateTime& v)
{
    // A null date (day 0 of the platform's calendar) shows only with
    // ShowNullDates.
    const bool null = !v.isValid() || v.date() <= QDate(1899, 12, 30);
    if (!null || ShowNullDates())
        SetCells(c, r, (v.isValid() ? v.date() : QDate(1899, 12, 30)).toString(QtDatePattern()));
    else
        SetCells(c, r, QString());
}

QTime TExtStringGrid::Times(int c, int r)
{
    const QString t = Trim(Cells(c, r));
    QTime v = QTime::fromString(t, GetLongTimeFormat());
    if (!v.isValid()) v = QTime::fromString(t, GetShortTimeFormat());
    if (!v.isValid()) throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(t));
    return v;
}

void TExtStringGrid::SetTimes(int c, int r, const QTime& v) { SetCells(c, r, v.toString(GetLongTimeFormat())); }

int TExtStringGrid::PrintColWidth(int c) const
{
    if (c < 0 || size_t(c) >= MaxWidths.size()) throw EExtGridError(QStringLiteral("Columns is not in valid range"));
    return MaxWidths[size_t(c)];
}

int TExtStringGrid::PrintColOffset(int c) const
{
    if (c < 0 || size_t(c) >= Indents.size()) throw EExtGridError(QStringLiteral("Columns is not in valid range"));
    return Indents[size_t(c)];
}

bool TExtStringGrid::IsSortIndicatorCell(int c, int r) const
{
    if (HasCellProps(c, r)) {
        const QPoint base = BaseCell(c, r);
        const QPoint span = CellSpan(c, r);
        r = base.y() + std::max(0, span.y());
    }
    return r == FSortSettings->Row() && FSortSettings->Show() && RowCount() > TCustomGrid::FixedRows() + 1;
}

// ---------------------------------------------------------------------------
// Display text

void TExtStringGrid::GetDisplText(int c, int r, QString& value)
{
    TBaseGrid::GetDisplText(c, r, value);
    if (URLShowInText()) {
        static const char* const prefixes[] = {"HTTP://", "WWW.", "MAILTO:", "HTTPS://", "NNTP://", "FILE://", "FTP://"};
        for (const char* p : prefixes) {
            QString html;
            if (TextToHtmlWithLinks(value, QString::fromLatin1(p), html)) {
                value = html;
                break;
            }
        }
    }
}

QString TExtStringGrid::GetFormattedCell(int c, int r) { return Cells(c, r); }

QString TExtStringGrid::ControlValues(int c, int r, const QString& id)
{
    QString value;
    if (!GetControlValue(Cells(c, r), id, value)) return QString();
    return value;
}

void TExtStringGrid::SetControlValues(int c, int r, const QString& id, const QString& value)
{
    QString text = Cells(c, r);
    if (BuildControlTag(text, id, value)) SetCells(c, r, text);
}
