#include "grid/ExtCGrid.h"

#include "controls/ExtUtil.h"
#include "grid/ExtGridEditors.h"
#include "platform/GridsWidget.h"
#include "platform/IniFile.h"
#include "platform/SysUtils.h"

#include <QBuffer>
#include <cmath>

// ---------------------------------------------------------------------------
// TGridColumnItem

TGridColumnItem::TGridColumnItem(TGridColumnCollection* collection) : FCollection(collection)
{
    if (TExtColumnGrid* g = Grid()) {
        FFont = TCellFont{g->Font, g->FontColor};
        FHeaderFont = FFont;
        FPrintFont = FFont;
        FColor = g->Color;
    }
    if (collection) collection->Attach(this, collection->Count());
}

TExtColumnGrid* TGridColumnItem::Grid() const { return FCollection ? FCollection->Owner() : nullptr; }

int TGridColumnItem::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

void TGridColumnItem::Changed()
{
    if (FCollection) FCollection->Update(this);
}

void TGridColumnItem::GridRepaint()
{
    if (TExtColumnGrid* g = Grid()) g->Invalidate();
}

int TGridColumnItem::Width() const
{
    TExtColumnGrid* g = Grid();
    return g ? g->AllColWidths(Index()) : 0;
}

void TGridColumnItem::SetWidth(int v)
{
    FWidth = v;
    if (TExtColumnGrid* g = Grid()) g->SetAllColWidths(Index(), v);
}

void TGridColumnItem::SetAlignment(TAlignment v)
{
    FAlignment = v;
    GridRepaint();
}

void TGridColumnItem::SetHeader(const QString& v)
{
    FColumnHeader = v;
    TExtColumnGrid* g = Grid();
    if (!g) return;
    if (g->TCustomGrid::FixedRows() > 0 && !g->ColMoving()) {
        g->SetCells(Index(), 0, v);
        Changed();
    }
    QStringList headers;
    for (int i = 0; i < FCollection->Count(); ++i) headers << FCollection->Items(i).Header();
    g->SetColumnHeaders(headers);
}

void TGridColumnItem::SetFont(const TCellFont& v)
{
    FFont = v;
    Changed();
}

void TGridColumnItem::SetColor(TColor v)
{
    FColor = v;
    Changed();
}

void TGridColumnItem::SetShowBands(bool v)
{
    FShowBands = v;
    Changed();
}

void TGridColumnItem::SetFixed(bool v)
{
    FFixed = v;
    Changed();
}

void TGridColumnItem::SetPassword(bool v)
{
    FPassword = v;
    Changed();
}

void TGridColumnItem::SetBorders(TCellBorders v)
{
    FBorders = v;
    Changed();
}

void TGridColumnItem::SetBorderPen(const TCellPen& v)
{
    FBorderPen = v;
    Changed();
}

void TGridColumnItem::SetFilter(const QStringList& v)
{
    FFilter = v;
    GridRepaint();
}

void TGridColumnItem::SetHeaderFont(const TCellFont& v)
{
    FHeaderFont = v;
    GridRepaint();
}

void TGridColumnItem::SetFloatFormat(const QString& v)
{
    FFloatFormat = v;
    GridRepaint();
}

void TGridColumnItem::SetHeaderAlignment(TAlignment v)
{
    FHeaderAlignment = v;
    GridRepaint();
}

void TGridColumnItem::SetEditor(TEditorType v)
{
    if (v == FEditorType) return;
    const bool checkBoxes = v == edDataCheckBox || FEditorType == edDataCheckBox;
    FEditorType = v;
    if (checkBoxes) GridRepaint();
}

void TGridColumnItem::CopyFrom(const TGridColumnItem& s, bool visualsOnly)
{
    FAlignment = s.FAlignment;
    FHeaderAlignment = s.FHeaderAlignment;
    FBorderPen = s.FBorderPen;
    FBorders = s.FBorders;
    FCheckFalse = s.FCheckFalse;
    FCheckTrue = s.FCheckTrue;
    TExtColumnGrid* g = Grid();
    if (visualsOnly) {
        if (g) {
            FColor = g->Color;
            FFont = TCellFont{g->Font, g->FontColor};
        }
    } else {
        FColor = s.FColor;
        FComboItems = s.FComboItems;
        FDropDownCount = s.FDropDownCount;
        FFont = s.FFont;
        FHeaderFont = s.FHeaderFont;
        FColumnHeader = s.FColumnHeader;
        FName = s.FName;
        FTag = s.FTag;
    }
    FEditLength = s.FEditLength;
    FEditLink = s.FEditLink;
    FEditMask = s.FEditMask;
    FEditorType = s.FEditorType;
    FFixed = s.FFixed;
    FPassword = s.FPassword;
    FPrintBorderPen = s.FPrintBorderPen;
    FPrintBorders = s.FPrintBorders;
    FPrintColor = s.FPrintColor;
    FPrintFont = s.FPrintFont;
    FReadOnly = s.FReadOnly;
    FSortPrefix = s.FSortPrefix;
    FSortStyle = s.FSortStyle;
    FSortSuffix = s.FSortSuffix;
    FSpinMax = s.FSpinMax;
    FSpinMin = s.FSpinMin;
    FSpinStep = s.FSpinStep;
    FColumnPopup = s.FColumnPopup;
    FWidth = s.FCollection ? s.Width() : s.FWidth;
    FShowBands = s.FShowBands;
    FMinSize = s.FMinSize;
    FMaxSize = s.FMaxSize;
    FAutoMinSize = s.FAutoMinSize;
    FAutoMaxSize = s.FAutoMaxSize;
    FFilter = s.FFilter;
    FFilterCaseSensitive = s.FFilterCaseSensitive;
    FDefIdx = s.FDefIdx;
    FFloatFormat = s.FFloatFormat;
}

void TGridColumnItem::Assign(const TGridColumnItem& src)
{
    if (&src != this) CopyFrom(src, false);
}

void TGridColumnItem::AssignVisuals(const TGridColumnItem& src)
{
    if (&src != this) CopyFrom(src, true);
}

QString TGridColumnItem::GetDisplayName() const
{
    const int i = Index();
    if (!FName.isEmpty()) return QStringLiteral("Col %1: %2").arg(i).arg(FName);
    return QStringLiteral("Column %1").arg(i);
}

QString TGridColumnItem::Rows(int r) const { return Grid() ? Grid()->Cells(Index(), r) : QString(); }
void TGridColumnItem::SetRows(int r, const QString& v)
{
    if (Grid()) Grid()->SetCells(Index(), r, v);
}
int TGridColumnItem::Ints(int r) const { return Grid() ? Grid()->Ints(Index(), r) : 0; }
void TGridColumnItem::SetInts(int r, int v)
{
    if (Grid()) Grid()->SetInts(Index(), r, v);
}
double TGridColumnItem::Floats(int r) const { return Grid() ? Grid()->Floats(Index(), r) : 0; }
void TGridColumnItem::SetFloats(int r, double v)
{
    if (Grid()) Grid()->SetFloats(Index(), r, v);
}
QDateTime TGridColumnItem::Dates(int r) const { return Grid() ? Grid()->Dates(Index(), r) : QDateTime(); }
void TGridColumnItem::SetDates(int r, const QDateTime& v)
{
    if (Grid()) Grid()->SetDates(Index(), r, v);
}
QTime TGridColumnItem::Times(int r) const { return Grid() ? Grid()->Times(Index(), r) : QTime(); }
void TGridColumnItem::SetTimes(int r, const QTime& v)
{
    if (Grid()) Grid()->SetTimes(Index(), r, v);
}

namespace {
void WriteFont(QDataStream& s, const TCellFont& f) { s << f.Font.toString() << quint32(f.Color); }
void ReadFont(QDataStream& s, TCellFont& f)
{
    QString desc;
    quint32 color = 0;
    s >> desc >> color;
    f.Font.fromString(desc);
    f.Color = TColor(color);
}
void WritePen(QDataStream& s, const TCellPen& p) { s << quint32(p.Color) << qint32(p.Width) << quint8(p.Style); }
void ReadPen(QDataStream& s, TCellPen& p)
{
    quint32 c = 0;
    qint32 w = 0;
    quint8 st = 0;
    s >> c >> w >> st;
    p = TCellPen{TColor(c), w, TPenStyle(std::min<int>(st, int(TPenStyle::Clear)))};
}
} // namespace

void TGridColumnItem::WriteTo(QDataStream& s) const
{
    s << qint32(FWidth) << quint8(FAlignment) << FColumnHeader << quint8(FSortStyle) << FSortPrefix << FSortSuffix
      << FEditMask << qint32(FEditLength);
    WriteFont(s, FFont);
    s << quint32(FColor) << quint8(FEditorType) << FFixed << FReadOnly << FComboItems << qint32(FDropDownCount)
      << qint32(FSpinMin) << qint32(FSpinMax) << qint32(FSpinStep) << FPassword;
    WriteFont(s, FPrintFont);
    s << quint32(FPrintColor) << quint64(FBorders.Bits());
    WritePen(s, FBorderPen);
    s << quint64(FPrintBorders.Bits());
    WritePen(s, FPrintBorderPen);
    s << qint32(FTag) << FName << FCheckFalse << FCheckTrue << FShowBands << FFilter << qint32(FMaxSize)
      << qint32(FMinSize) << qint32(FAutoMinSize) << qint32(FAutoMaxSize) << quint8(FColumnPopupType)
      << FFilterCaseSensitive << FFloatFormat << quint8(FHeaderAlignment);
    WriteFont(s, FHeaderFont);
    s << FPrintBorderCustom << FPrintFontCustom;
}

void TGridColumnItem::ReadFrom(QDataStream& s)
{
    qint32 width = 0, editLength = 0, dropDown = 0, spinMin = 0, spinMax = 0, spinStep = 0, tag = 0, maxSize = 0,
           minSize = 0, autoMin = 0, autoMax = 0;
    quint8 align = 0, sortStyle = 0, editor = 0, popupType = 0, headerAlign = 0;
    quint32 color = 0, printColor = 0;
    quint64 borders = 0, printBorders = 0;
    s >> width >> align >> FColumnHeader >> sortStyle >> FSortPrefix >> FSortSuffix >> FEditMask >> editLength;
    ReadFont(s, FFont);
    s >> color >> editor >> FFixed >> FReadOnly >> FComboItems >> dropDown >> spinMin >> spinMax >> spinStep >>
        FPassword;
    ReadFont(s, FPrintFont);
    s >> printColor >> borders;
    ReadPen(s, FBorderPen);
    s >> printBorders;
    ReadPen(s, FPrintBorderPen);
    s >> tag >> FName >> FCheckFalse >> FCheckTrue >> FShowBands >> FFilter >> maxSize >> minSize >> autoMin >>
        autoMax >> popupType >> FFilterCaseSensitive >> FFloatFormat >> headerAlign;
    ReadFont(s, FHeaderFont);
    s >> FPrintBorderCustom >> FPrintFontCustom;
    if (s.status() != QDataStream::Ok || align > taCenter || headerAlign > taCenter || editor > edMaskEditBtn ||
        sortStyle > quint8(TSortStyle::ssAlphaNumericNoCase) || popupType > quint8(TColumnPopupType::cpAllCellsLClick))
        throw Exception(QStringLiteral("Invalid column stream"));
    FWidth = width;
    FAlignment = TAlignment(align);
    FSortStyle = TSortStyle(sortStyle);
    FEditLength = editLength;
    FColor = TColor(color);
    FEditorType = TEditorType(editor);
    FDropDownCount = dropDown;
    FSpinMin = spinMin;
    FSpinMax = spinMax;
    FSpinStep = spinStep;
    FPrintColor = TColor(printColor);
    FBorders = TCellBorders::FromBits(borders);
    FPrintBorders = TCellBorders::FromBits(printBorders);
    FTag = tag;
    FMaxSize = maxSize;
    FMinSize = minSize;
    FAutoMinSize = autoMin;
    FAutoMaxSize = autoMax;
    FColumnPopupType = TColumnPopupType(popupType);
    FHeaderAlignment = TAlignment(headerAlign);
}

// ---------------------------------------------------------------------------
// TGridColumnCollection

TGridColumnCollection::~TGridColumnCollection()
{
    // Items see no collection while it goes.
    for (auto& i : FItems) i->FCollection = nullptr;
}

void TGridColumnCollection::Attach(TGridColumnItem* item, int at)
{
    FItems.insert(FItems.begin() + at, std::unique_ptr<TGridColumnItem>(item));
}

TGridColumnItem& TGridColumnCollection::Items(int i) const
{
    if (i < 0 || i >= Count()) throw Exception(QStringLiteral("List index out of bounds (%1)").arg(i));
    return *FItems[size_t(i)];
}

int TGridColumnCollection::IndexOf(const TGridColumnItem* item) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == item) return int(i);
    return -1;
}

TGridColumnItem& TGridColumnCollection::Add()
{
    auto* item = new TGridColumnItem(this); // appended and owned by this collection
    if (Count() > 1) item->AssignVisuals(Items(Count() - 2));
    Update(nullptr);
    return *item;
}

TGridColumnItem& TGridColumnCollection::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    auto* item = new TGridColumnItem(nullptr);
    item->FCollection = this;
    if (TExtColumnGrid* g = FOwner) {
        item->FFont = TCellFont{g->Font, g->FontColor};
        item->FHeaderFont = item->FFont;
        item->FPrintFont = item->FFont;
        item->FColor = g->Color;
    }
    Attach(item, index);
    Update(nullptr);
    return *item;
}

void TGridColumnCollection::Delete(int index)
{
    Items(index);
    FItems.erase(FItems.begin() + index);
    Update(nullptr);
}

void TGridColumnCollection::Clear()
{
    FItems.clear();
    Update(nullptr);
}

void TGridColumnCollection::Move(int from, int to)
{
    Items(from);
    Items(to);
    auto item = std::move(FItems[size_t(from)]);
    FItems.erase(FItems.begin() + from);
    FItems.insert(FItems.begin() + to, std::move(item));
}

void TGridColumnCollection::Assign(const TGridColumnCollection& src)
{
    if (&src == this) return;
    BeginUpdate();
    FItems.clear();
    for (int i = 0; i < src.Count(); ++i) {
        auto* item = new TGridColumnItem(this);
        item->Assign(src.Items(i));
    }
    EndUpdate();
}

void TGridColumnCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0) Update(nullptr);
}

void TGridColumnCollection::Update(TGridColumnItem*)
{
    if (FUpdateCount > 0 || FNoRecursiveUpdate || !FOwner || FOwner->Loading()) return;
    const int n = Count() - FOwner->NumHiddenColumns();
    if (n != FOwner->ColCount() && n > FOwner->TCustomGrid::FixedCols()) FOwner->SetColCount(n);
    FOwner->UpdateColumnHeaders();
    FOwner->Invalidate();
}

void TGridColumnCollection::SetOrganization()
{
    if (FNoRecursiveUpdate && FOwner) FOwner->SyncColumnItems();
    for (int i = 0; i < Count(); ++i) Items(i).SetDefIdx(i);
}

void TGridColumnCollection::ResetOrganization()
{
    if (!FOwner) return;
    bool moved = true;
    while (moved) {
        moved = false;
        for (int i = 0; i < Count(); ++i) {
            const int def = Items(i).DefIdx();
            if (def < i && def >= 0) {
                FOwner->MoveColumn(i, def);
                moved = true;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// TExtColumnGrid

TExtColumnGrid::TExtColumnGrid(QWidget* ownerForm, bool designing) : TExtStringGrid(ownerForm, designing)
{
    FColumnCollection = CreateColumns();
    FColumnCollection->FNoRecursiveUpdate = true;
    SyncColumnItems();
    FColumnCollection->FNoRecursiveUpdate = false;
    FVirtCheckGraphic = std::make_unique<TCellGraphic>();
    FSaveCol = std::make_unique<TGridColumnItem>(nullptr);
}

TExtColumnGrid::~TExtColumnGrid()
{
    FDestroying = true;
    FColumnCollection.reset();
}

std::unique_ptr<TGridColumnCollection> TExtColumnGrid::CreateColumns()
{
    return std::make_unique<TGridColumnCollection>(this);
}

void TExtColumnGrid::Loaded()
{
    TExtStringGrid::Loaded();
    SyncColumnItems();
    FColumnCollection->SetOrganization();
}

void TExtColumnGrid::SetColCount(int n)
{
    TExtStringGrid::SetColCount(n);
    if (!FColumnCollection) return; // still being made
    const bool old = FColumnCollection->FNoRecursiveUpdate;
    FColumnCollection->FNoRecursiveUpdate = true;
    SyncColumnItems();
    FColumnCollection->FNoRecursiveUpdate = old;
}

void TExtColumnGrid::InsertCols(int c, int count)
{
    if (count <= 0) return;
    c = std::clamp(c, 0, TotalColCount());
    const bool old = FColumnCollection->FNoRecursiveUpdate;
    FColumnCollection->FNoRecursiveUpdate = true;
    TExtStringGrid::InsertCols(c, count);
    for (int k = 0; k < count; ++k) FColumnCollection->Insert(c + k);
    FColumnCollection->FNoRecursiveUpdate = old;
    UpdateColumnHeaders();
}

void TExtColumnGrid::RemoveCols(int c, int count)
{
    const int before = TotalColCount();
    const bool old = FColumnCollection->FNoRecursiveUpdate;
    FColumnCollection->FNoRecursiveUpdate = true;
    TExtStringGrid::RemoveCols(c, count);
    for (int k = before - TotalColCount(); k > 0 && c < FColumnCollection->Count(); --k) FColumnCollection->Delete(c);
    FColumnCollection->FNoRecursiveUpdate = old;
    UpdateColumnHeaders();
}

void TExtColumnGrid::SyncColumnItems()
{
    const int want = ColCount() + NumHiddenColumns();
    while (FColumnCollection->Count() < want) FColumnCollection->Add();
    while (FColumnCollection->Count() > want) FColumnCollection->Delete(FColumnCollection->Count() - 1);
    if (FDesigning)
        for (int c = 0; c < ColCount(); ++c)
            if (FixedRows() < RowCount()) SetCells(c, FixedRows(), QStringLiteral("Column ") + QString::number(c));
}

void TExtColumnGrid::UpdateColumnHeaders()
{
    if (TCustomGrid::FixedRows() <= 0) return;
    QStringList headers;
    for (int i = 0; i < FColumnCollection->Count(); ++i) {
        TGridColumnItem& item = FColumnCollection->Items(i);
        if (item.Header().isEmpty()) {
            const QString t = Cells(i, 0);
            if (!t.isEmpty()) item.FColumnHeader = t;
        }
        headers << item.Header();
    }
    SetColumnHeaders(headers);
}

TGridColumnItem* TExtColumnGrid::ColumnByName(const QString& name) const
{
    for (int i = 0; i < FColumnCollection->Count(); ++i)
        if (FColumnCollection->Items(i).Name() == name) return &FColumnCollection->Items(i);
    return nullptr;
}

TGridColumnItem* TExtColumnGrid::ItemOf(int c) const
{
    if (!FColumnCollection || c < 0 || c >= FColumnCollection->Count()) return nullptr;
    return &FColumnCollection->Items(c);
}

bool TExtColumnGrid::IsNormalCell(int c, int r) const
{
    return c >= TCustomGrid::FixedCols() && r >= TCustomGrid::FixedRows();
}

bool TExtColumnGrid::IsInnerCell(int c, int r) const
{
    return IsNormalCell(c, r) && c < ColCount() + FNumHidden - FixedRightCols() && r < RowCount() - FixedFooters();
}

QString TExtColumnGrid::GetVersionString() const
{
    return VersionNrText(GetVersionNr()) + QStringLiteral(" Aug, 2012");
}

void TExtColumnGrid::ChangeScale(int m, int d)
{
    TExtStringGrid::ChangeScale(m, d);
    if (FDesigning || m == d || d == 0) return;
    for (int i = 0; i < std::min(ColCount(), FColumnCollection->Count()); ++i) {
        TGridColumnItem& item = FColumnCollection->Items(i);
        ScaleFont(item.FFont.Font, m, d);
        ScaleFont(item.FHeaderFont.Font, m, d);
    }
}

// --- hooks ------------------------------------------------------------------

void TExtColumnGrid::GetCellDefaults(int c, int r, TCellLook& look)
{
    TGridColumnItem* item = ItemOf(c);
    if (!item) {
        TExtStringGrid::GetCellDefaults(c, r, look);
        return;
    }
    look.Font = item->Font();
    look.Brush.Color = item->Color();
    look.ColorTo = clNone;
    look.HAlign = r < TCustomGrid::FixedRows() ? item->HeaderAlignment() : item->Alignment();
    look.VAlign = VAlignment();
    look.WordWrap = WordWrap();
    look.GradientDir = GradientVertical;
    if (IsFixed(DisplColIndex(c), r) || (Bands().Active() && item->ShowBands())) {
        look.Brush.Color = clNone;
        look.ColorTo = clNone;
    }
}

void TExtColumnGrid::GetCellColor(int c, int r, TGridDrawState state, TCellBrush& brush, TCellFont& font)
{
    TGridColumnItem* item = ItemOf(c);
    if (item && c >= TCustomGrid::FixedCols() && c < ColCount() + FNumHidden - FixedRightCols() &&
        r < RowCount() - FixedFooters()) {
        if (item->Fixed())
            brush.Color = FixedColor;
        else if (r >= TCustomGrid::FixedRows() && !(item->ShowBands() && Bands().Active()))
            brush.Color = item->Color();
        font = r < TCustomGrid::FixedRows() ? item->HeaderFont() : item->Font();
        if (const TCellProperties* p = CellPropsOrNull(c, r)) {
            if (p->BrushColor() != clNone) brush.Color = p->BrushColor();
            if (p->FontColor() != clNone) font.Color = p->FontColor();
        }
    }
    TExtStringGrid::GetCellColor(c, r, state, brush, font);
}

void TExtColumnGrid::GetCellPrintColor(int c, int r, TGridDrawState state, TCellBrush& brush, TCellFont& font)
{
    if (TGridColumnItem* item = ItemOf(c)) {
        const bool fixedPos = c < TCustomGrid::FixedCols() || r < TCustomGrid::FixedRows() ||
                              c >= ColCount() - FixedRightCols() || r >= RowCount() - FixedFooters();
        if (fixedPos) {
            font = TCellFont{PrintSettings().FixedFont(), font.Color};
        } else {
            if (item->Fixed())
                brush.Color = FixedColor;
            else if (!(item->ShowBands() && Bands().Active() && Bands().Print()))
                brush.Color = item->PrintColor();
            const TCellProperties* p = CellPropsOrNull(c, r);
            if (p && p->BrushColor() != clNone) brush.Color = p->BrushColor();
            if (item->PrintFontCustom()) {
                font = item->PrintFont();
                if (p) {
                    if (p->FontColor() != clNone) font.Color = p->FontColor();
                    if (!p->FontStyle().Empty()) ApplyFontStyles(font.Font, p->FontStyle());
                    if (p->FontSize() != 0) font.Font.setPointSize(p->FontSize());
                    if (!p->FontName().isEmpty()) font.Font.setFamily(p->FontName());
                }
            } else {
                font.Font = PrintSettings().Font();
            }
        }
    }
    TExtStringGrid::GetCellPrintColor(c, r, state, brush, font);
}

void TExtColumnGrid::GetCellBorder(int c, int r, TCellPen& pen, TCellBorders& borders)
{
    if (TGridColumnItem* item = ItemOf(c); item && IsNormalCell(c, r)) {
        borders = item->Borders();
        pen = item->BorderPen();
    }
    TExtStringGrid::GetCellBorder(c, r, pen, borders);
}

void TExtColumnGrid::GetCellPrintBorder(int c, int r, TCellPen& pen, TCellBorders& borders)
{
    if (TGridColumnItem* item = ItemOf(c); item && IsNormalCell(c, r) && item->PrintBorderCustom()) {
        borders = item->PrintBorders();
        pen = item->PrintBorderPen();
    }
    TExtStringGrid::GetCellPrintBorder(c, r, pen, borders);
}

void TExtColumnGrid::QueryAlignment(int c, int r, TAlignment& ha, TVAlignment& va)
{
    if (TGridColumnItem* item = ItemOf(c)) {
        ha = r < TCustomGrid::FixedRows() ? item->HeaderAlignment() : item->Alignment();
        if (const TCellProperties* p = CellPropsOrNull(c, r)) ha = p->Alignment();
    }
    TExtStringGrid::QueryAlignment(c, r, ha, va);
}

void TExtColumnGrid::GetColFormat(int c, TSortStyle& style, QString& prefix, QString& suffix)
{
    if (TGridColumnItem* item = ItemOf(c)) {
        style = item->SortStyle();
        prefix = item->SortPrefix();
        suffix = item->SortSuffix();
    }
    TExtStringGrid::GetColFormat(c, style, prefix, suffix);
}

void TExtColumnGrid::GetCellFloatFormat(int c, int r, QString& format)
{
    format = FloatFormat();
    if (TGridColumnItem* item = ItemOf(c); item && !item->FloatFormat().isEmpty()) format = item->FloatFormat();
}

QString TExtColumnGrid::GetFormattedCell(int c, int r)
{
    TGridColumnItem* item = ItemOf(c);
    if (!item) return TExtStringGrid::GetFormattedCell(c, r);
    QString f = item->FloatFormat();
    const QString text = Cells(c, r);
    const int kind = ClassifyNumericText(Trim(StrippedCells(c, r)), SystemFormatSettings());
    bool isFloat = kind == 0 || kind == 1;
    if (OnGetFloatFormat) OnGetFloatFormat(this, c, r, isFloat, f);
    // Float formats go through the checked formatter; a format that is not
    // one numeric conversion shows the text as it is.
    if (!f.isEmpty() && isFloat && IsSingleNumericFormat(f)) {
        try {
            return FormatFloatValue(f, Floats(c, r));
        } catch (const EExtGridError&) {
            return text;
        }
    }
    return text;
}

TCellType TExtColumnGrid::GetCellType(int c, int r)
{
    TCellType t = TExtStringGrid::GetCellType(c, r);
    if (FDestroying) return t;
    if (TGridColumnItem* item = ItemOf(c);
        item && t == TCellType::ctEmpty && IsInnerCell(c, r) && item->Editor() == edDataCheckBox)
        t = TCellType::ctDataCheckBox;
    return t;
}

TCellGraphic* TExtColumnGrid::GetCellGraphic(int c, int r)
{
    TCellGraphic* g = TExtStringGrid::GetCellGraphic(c, r);
    if (FDestroying || g) return g;
    if (TGridColumnItem* item = ItemOf(c); item && IsInnerCell(c, r) && item->Editor() == edDataCheckBox) {
        FVirtCheckGraphic->CellType = TCellType::ctVirtCheckBox;
        FVirtCheckGraphic->CellTransparent = ControlLook().ControlStyle() == TControlStyle::csFlat;
        return FVirtCheckGraphic.get();
    }
    return g;
}

void TExtColumnGrid::UpdateColumnSize(int c, int& width)
{
    if (TGridColumnItem* item = ItemOf(c)) {
        if (item->MinSize() > 0 && width < item->MinSize()) width = item->MinSize();
        if (item->MaxSize() > 0 && width > item->MaxSize()) width = item->MaxSize();
    }
    TExtStringGrid::UpdateColumnSize(c, width);
}

void TExtColumnGrid::UpdateAutoColumnSize(int c, int& width)
{
    if (TGridColumnItem* item = ItemOf(c)) {
        if (item->AutoMinSize() > 0 && width < item->AutoMinSize()) width = item->AutoMinSize();
        if (item->AutoMaxSize() > 0 && width > item->AutoMaxSize()) width = item->AutoMaxSize();
    }
    TExtStringGrid::UpdateAutoColumnSize(c, width);
}

void TExtColumnGrid::ColumnHeadersChanged()
{
    if (!FColumnCollection) return;
    const QStringList& h = ColumnHeaders();
    for (int i = 0; i < FColumnCollection->Count() && i < h.size(); ++i) FColumnCollection->Items(i).FColumnHeader = h[i];
}

void TExtColumnGrid::GetCellEditor(int c, int r, TEditorType& editor)
{
    TGridColumnItem* item = ItemOf(c);
    if (item && IsNormalCell(c, r)) {
        editor = item->Editor();
        FEditComboItems = item->ComboItems();
        ComboItems() = item->ComboItems();
        FEditDropDownCount = item->DropDownCount();
        FEditSpinMin = item->SpinMin();
        FEditSpinMax = item->SpinMax();
        FEditSpinStep = item->SpinStep();
        FEditLink = item->EditLink();
        ControlLook().SetDropDownCount(item->DropDownCount());
    }
    TExtStringGrid::GetCellEditor(c, r, editor);
}

void TExtColumnGrid::QueryFixedCell(int c, int r, bool& isFixed)
{
    const int rc = RealColIndex(TDisplCol(c)).Value();
    if (TGridColumnItem* item = ItemOf(rc); item && IsNormalCell(c, r)) isFixed = item->Fixed();
    TExtStringGrid::QueryFixedCell(c, r, isFixed);
}

void TExtColumnGrid::QueryCanEdit(int c, int r, bool& canEdit)
{
    canEdit = false;
    if (!FLoading)
        if (TGridColumnItem* item = ItemOf(c); item && IsNormalCell(c, r)) canEdit = !(item->ReadOnly() || item->Fixed());
    if (canEdit && HasCellProps(c, r)) canEdit = !ReadOnly(c, r);
    const QPoint b = BaseCell(c, r);
    // A base column beyond the grid is not editable.
    if (b.x() >= ColCount() + NumHiddenColumns()) {
        canEdit = false;
        return;
    }
    if (OnCanEditCell) OnCanEditCell(this, b.y(), b.x(), canEdit);
}

void TExtColumnGrid::QueryPasswordCell(int c, int r, bool& isPassword)
{
    if (TGridColumnItem* item = ItemOf(c)) isPassword = item->Password();
    TExtStringGrid::QueryPasswordCell(c, r, isPassword);
}

bool TExtColumnGrid::HasCombo(int c, int r)
{
    bool has = false;
    if (TGridColumnItem* item = ItemOf(c); item && IsNormalCell(c, r))
        has = item->Editor() == edComboEdit || item->Editor() == edComboList;
    if (OnHasComboBox) OnHasComboBox(this, c, r, has);
    return has;
}

void TExtColumnGrid::GetCheckTrue(int c, int r, QString& value)
{
    TExtStringGrid::GetCheckTrue(c, r, value);
    if (TGridColumnItem* item = ItemOf(c); item && IsInnerCell(c, r)) value = item->CheckTrue();
}

void TExtColumnGrid::GetCheckFalse(int c, int r, QString& value)
{
    TExtStringGrid::GetCheckFalse(c, r, value);
    if (TGridColumnItem* item = ItemOf(c); item && IsInnerCell(c, r)) value = item->CheckFalse();
}

bool TExtColumnGrid::GetColumnFilter(int c)
{
    TExtStringGrid::GetColumnFilter(c);
    TGridColumnItem* item = ItemOf(c);
    if (!item || item->Filter().isEmpty()) return false;
    QStringList list;
    for (const QString& line : item->Filter()) {
        const int eq = line.indexOf(QLatin1Char('='));
        list << (eq >= 0 ? line.left(eq) : line);
    }
    const_cast<QStringList&>(FilterList()) = list;
    return true;
}

void TExtColumnGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExtStringGrid::MouseDown(button, shift, x, y);
    const TGridCoord cell = MouseCoord(x, y);
    if (cell.X < 0 || cell.Y < 0) return;
    // The pop-up belongs to the real column under the mouse.
    const int rc = RealColIndex(TDisplCol(cell.X)).Value();
    TGridColumnItem* item = ItemOf(rc);
    if (!item || !item->ColumnPopup()) return;
    using enum TColumnPopupType;
    const TColumnPopupType t = item->ColumnPopupType();
    const bool fixedRow = cell.Y < TCustomGrid::FixedRows();
    bool fires = false, pops = false;
    if (button == mbLeft) {
        fires = t == cpFixedCellsLClick || t == cpNormalCellsLClick || t == cpAllCellsLClick;
        pops = fixedRow ? (t == cpFixedCellsLClick || t == cpAllCellsLClick)
                        : (t == cpNormalCellsLClick || t == cpAllCellsLClick);
    } else if (button == mbRight) {
        fires = t == cpFixedCellsRClick || t == cpNormalCellsRClick || t == cpAllCellsRClick;
        pops = fixedRow ? (t == cpFixedCellsRClick || t == cpAllCellsRClick)
                        : (t == cpNormalCellsRClick || t == cpAllCellsRClick);
    }
    if (fires && OnColumnPopup) OnColumnPopup(this, rc, cell.Y, item->ColumnPopup());
    if (fires && pops && HandleAllocated()) {
        const TRect r = CellRect(cell.X, cell.Y);
        item->ColumnPopup()->popup(Widget()->viewport()->mapToGlobal(QPoint(r.Left, r.Bottom)));
    }
}

void TExtColumnGrid::ColumnMoved(int from, int to)
{
    const int realFrom = RealColIndex(TDisplCol(from)).Value();
    const int realTo = RealColIndex(TDisplCol(to)).Value();
    const int top = TopRow();
    const bool old = FColumnCollection->FNoRecursiveUpdate;
    FColumnCollection->FNoRecursiveUpdate = true;
    TExtStringGrid::ColumnMoved(from, to);
    FColMoving = true;
    if (realFrom >= 0 && realFrom < FColumnCollection->Count() && realTo >= 0 && realTo < FColumnCollection->Count())
        FColumnCollection->Move(realFrom, realTo);
    SetTopRow(top);
    FColMoving = false;
    FColumnCollection->FNoRecursiveUpdate = old;
    if (OnAfterColumnMoved) OnAfterColumnMoved(this, realFrom, realTo);
}

void TExtColumnGrid::ColWidthsChanged()
{
    TExtStringGrid::ColWidthsChanged();
    if (FLoading || FDestroying || !FColumnCollection) return;
    for (int d = 0; d < ColCount(); ++d)
        if (TGridColumnItem* item = ItemOf(RealColIndex(TDisplCol(d)).Value())) item->FWidth = ColWidths(d);
}

int TExtColumnGrid::GetEditLimit()
{
    const int c = Col();
    if (c >= TCustomGrid::FixedCols())
        if (TGridColumnItem* item = ItemOf(RealColIndex(TDisplCol(c)).Value())) return item->EditLength();
    return TExtStringGrid::GetEditLimit();
}

QString TExtColumnGrid::GetEditMask(int c, int r)
{
    QString mask;
    if (c >= TCustomGrid::FixedCols())
        if (TGridColumnItem* item = ItemOf(RealColIndex(TDisplCol(c)).Value())) mask = item->EditMask();
    const QString own = TExtStringGrid::GetEditMask(c, r);
    return own.isEmpty() ? mask : own;
}

// --- persistence ------------------------------------------------------------

namespace {
constexpr quint32 ColumnStreamMagic = 0x4B524347; // "KRCG"
constexpr quint16 ColumnStreamVersion = 1;
} // namespace

void TExtColumnGridIO::WriteTo(QDataStream& s) const
{
    s << ColumnStreamMagic << ColumnStreamVersion << qint32(FItems.Count());
    for (int i = 0; i < FItems.Count(); ++i) FItems.Items(i).WriteTo(s);
}

void TExtColumnGridIO::ReadFrom(QDataStream& s)
{
    quint32 magic = 0;
    quint16 version = 0;
    qint32 count = 0;
    s >> magic >> version >> count;
    if (s.status() != QDataStream::Ok || magic != ColumnStreamMagic || version != ColumnStreamVersion || count < 0 ||
        count > 100000)
        throw Exception(QStringLiteral("Invalid column stream"));
    for (int i = 0; i < count; ++i) {
        auto* item = new TGridColumnItem(&FItems); // owned by the collection
        item->ReadFrom(s);
    }
}

void TExtColumnGrid::SaveColumnsToStream(QIODevice& st)
{
    TExtColumnGridIO io(this);
    io.Items().Assign(*FColumnCollection);
    QDataStream s(&st);
    s.setVersion(QDataStream::Qt_6_0);
    io.WriteTo(s);
    if (s.status() != QDataStream::Ok) throw EFileError(QStringLiteral("The columns could not be written"));
}

void TExtColumnGrid::LoadColumnsFromStream(QIODevice& st)
{
    // Everything is read before the columns change: a bad stream leaves
    // them as they were.
    TExtColumnGridIO io(this);
    QDataStream s(&st);
    s.setVersion(QDataStream::Qt_6_0);
    io.ReadFrom(s);
    FColumnCollection->FNoRecursiveUpdate = true;
    FColumnCollection->Assign(io.Items());
    FColumnCollection->FNoRecursiveUpdate = false;
    Invalidate();
}

void TExtColumnGrid::SaveColumnPositions(const QString& key, const QString& section)
{
    TIniFile ini(key);
    ini.BeginUpdate();
    for (int i = 0; i < FColumnCollection->Count(); ++i)
        ini.WriteInteger(section, QStringLiteral("CP") + QString::number(i), FColumnCollection->Items(i).DefIdx());
    ini.EndUpdate();
}

void TExtColumnGrid::LoadColumnPositions(const QString& key, const QString& section)
{
    TIniFile ini(key);
    const int n = FColumnCollection->Count();
    std::vector<int> pos(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        pos[size_t(i)] = ini.ReadInteger(section, QStringLiteral("CP") + QString::number(i), -1);
        if (pos[size_t(i)] == -1) return;
    }
    // The values count only as a permutation of the columns.
    std::vector<int> sorted = pos;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < n; ++i)
        if (sorted[size_t(i)] != i) return;
    ResetColumnOrder();
    for (int j = 0; j < n; ++j) FColumnCollection->Items(pos[size_t(j)]).SetDefIdx(j);
    FColumnCollection->ResetOrganization();
    for (int j = 0; j < n; ++j) FColumnCollection->Items(j).SetDefIdx(pos[size_t(j)]);
}

void TExtColumnGrid::SaveColPositions()
{
    if (ColumnSize().Location() == TColumnSizeLocation::clIniFile)
        SaveColumnPositions(ColumnSize().Key(), ColumnSize().Section());
    else
        TExtStringGrid::SaveColPositions();
}

void TExtColumnGrid::LoadColPositions()
{
    if (ColumnSize().Location() == TColumnSizeLocation::clIniFile)
        LoadColumnPositions(ColumnSize().Key(), ColumnSize().Section());
    else
        TExtStringGrid::LoadColPositions();
}

void TExtColumnGrid::SpinEditorLimits(TGridSpin& spin)
{
    // The limits of the column the editor last opened on.
    spin.SetMinValue(FEditSpinMin);
    spin.SetMaxValue(FEditSpinMax);
    spin.SetIncrement(FEditSpinStep);
}

void TExtColumnGrid::FilterListSelect(int itemIndex)
{
    const int c = FilterCol();
    TGridColumnItem* item = c >= 0 ? ItemOf(c) : nullptr;
    if (item && itemIndex >= 0 && itemIndex < item->Filter().size()) {
        const QString line = item->Filter()[itemIndex];
        const int eq = line.indexOf(QLatin1Char('='));
        const QString friendlyName = eq >= 0 ? line.left(eq) : line;
        QString condition = eq >= 0 ? line.mid(eq + 1) : line;
        if (AutoFilterDisplay()) item->SetHeader(friendlyName);
        if (AutoFilterUpdate()) SetFilterActive(false);
        if (OnFilterSelect) OnFilterSelect(this, c, itemIndex, friendlyName, condition);
        TFilterData& f = Filter().GetColFilter(c);
        f.SetCondition(condition);
        f.SetCaseSensitive(item->FilterCaseSensitive());
        if (AutoFilterUpdate()) {
            SetFilterActive(true);
            if (RowCount() != FixedRows() && !(RowCount() == 1 && FixedRowAlways())) SetRow(FixedRows());
            DoFilterDone();
        }
    }
    SetFilterCol(-1);
}
