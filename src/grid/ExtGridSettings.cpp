#include "grid/ExtGridSettings.h"

#include "controls/OleDragDrop.h"
#include "grid/ExtGrid.h"

#include <algorithm>
#include <iterator>

bool& GridOleDropRTF = RtfDropSwitch;

// ---------------------------------------------------------------------------
// TControlLook

TControlLook::TControlLook(TExtStringGrid* grid) : FGrid(grid)
{
    Init();
    FDropDownHeader = std::make_unique<THeaderAppearance>(nullptr);
    FDropDownFooter = std::make_unique<TFooterAppearance>(nullptr);
}

void TControlLook::Repaint()
{
    if (FGrid) FGrid->Invalidate();
}

void TControlLook::Init()
{
    FColor = clBlack;
    FCommentColor = clRed;
    FProgressBorderColor = clGray;
    FFixedGradientFrom = clNone;
    FFixedGradientTo = clNone;
    FFixedGradientMirrorFrom = clNone;
    FFixedGradientMirrorTo = clNone;
    FFixedGradientHoverFrom = clGray;
    FFixedGradientHoverTo = clWhite;
    SetFixedGradientHoverMirrorFrom(clNone);
    SetFixedGradientHoverMirrorTo(clNone);
    FFixedGradientHoverBorder = clSilver;
    FFixedGradientDownFrom = clGray;
    FFixedGradientDownTo = clSilver;
    SetFixedGradientDownMirrorFrom(clNone);
    SetFixedGradientDownMirrorTo(clNone);
    FFixedGradientDownBorder = clGray;
}

void TControlLook::Assign(const TControlLook& s)
{
    FCheckSize = s.FCheckSize;
    FRadioSize = s.FRadioSize;
    FControlStyle = s.FControlStyle;
    FCheckedGlyph = s.FCheckedGlyph;
    FUnCheckedGlyph = s.FUnCheckedGlyph;
    FRadioOnGlyph = s.FRadioOnGlyph;
    FRadioOffGlyph = s.FRadioOffGlyph;
    FProgressMarginX = s.FProgressMarginX;
    FProgressMarginY = s.FProgressMarginY;
    FCommentColor = s.FCommentColor;
    FColor = s.FColor;
    FProgressBorderColor = s.FProgressBorderColor;
    FCheckAlwaysActive = s.FCheckAlwaysActive;
    FRadioAlwaysActive = s.FRadioAlwaysActive;
    FFixedGradientFrom = s.FFixedGradientFrom;
    FFixedGradientTo = s.FFixedGradientTo;
    FFixedGradientMirrorFrom = s.FFixedGradientMirrorFrom;
    FFixedGradientMirrorTo = s.FFixedGradientMirrorTo;
    FFixedGradientHoverFrom = s.FFixedGradientHoverFrom;
    FFixedGradientHoverTo = s.FFixedGradientHoverTo;
    FFixedGradientHoverMirrorFrom = s.FFixedGradientHoverMirrorFrom;
    FFixedGradientHoverMirrorTo = s.FFixedGradientHoverMirrorTo;
    FFixedGradientHoverBorder = s.FFixedGradientHoverBorder;
    FFixedGradientDownFrom = s.FFixedGradientDownFrom;
    FFixedGradientDownTo = s.FFixedGradientDownTo;
    FFixedGradientDownMirrorFrom = s.FFixedGradientDownMirrorFrom;
    FFixedGradientDownMirrorTo = s.FFixedGradientDownMirrorTo;
    FFixedGradientDownBorder = s.FFixedGradientDownBorder;
    FDropDownAlwaysVisible = s.FDropDownAlwaysVisible;
    FSpinButtonsAlwaysVisible = s.FSpinButtonsAlwaysVisible;
    FDropDownCount = s.FDropDownCount;
    FDropDownFooter->Assign(*s.FDropDownFooter);
    FDropDownHeader->Assign(*s.FDropDownHeader);
    FHintMaxWidth = s.FHintMaxWidth;
}

#define KR_LOOK_REPAINT(type, name)           \
    void TControlLook::Set##name(type v)      \
    {                                         \
        F##name = v;                          \
        Repaint();                            \
    }
KR_LOOK_REPAINT(TColor, Color)
KR_LOOK_REPAINT(TColor, CommentColor)
KR_LOOK_REPAINT(int, CheckSize)
KR_LOOK_REPAINT(int, RadioSize)
KR_LOOK_REPAINT(TControlStyle, ControlStyle)
KR_LOOK_REPAINT(bool, DropDownAlwaysVisible)
KR_LOOK_REPAINT(bool, SpinButtonsAlwaysVisible)
KR_LOOK_REPAINT(bool, FlatButton)
KR_LOOK_REPAINT(bool, NoDisabledCheckRadioLook)
KR_LOOK_REPAINT(bool, NoDisabledButtonLook)
KR_LOOK_REPAINT(int, ProgressMarginX)
KR_LOOK_REPAINT(int, ProgressMarginY)
KR_LOOK_REPAINT(bool, ProgressXP)
KR_LOOK_REPAINT(const QImage&, CheckedGlyph)
KR_LOOK_REPAINT(const QImage&, UnCheckedGlyph)
KR_LOOK_REPAINT(const QImage&, RadioOnGlyph)
KR_LOOK_REPAINT(const QImage&, RadioOffGlyph)
#undef KR_LOOK_REPAINT

void TControlLook::SetFixedGradientFrom(TColor v)
{
    FFixedGradientFrom = v;
    if (v != clNone && FGrid) FGrid->SetStudioGradientFrom(v);
}

void TControlLook::SetFixedGradientTo(TColor v)
{
    FFixedGradientTo = v;
    if (v != clNone && FGrid) FGrid->SetStudioGradientTo(v);
}

void TControlLook::SetFixedGradientMirrorFrom(TColor v)
{
    FFixedGradientMirrorFrom = v;
    if (FGrid) FGrid->SetStudioGradientMirrorFrom(v);
}

void TControlLook::SetFixedGradientMirrorTo(TColor v)
{
    FFixedGradientMirrorTo = v;
    if (FGrid) FGrid->SetStudioGradientMirrorTo(v);
}

// Hover and pressed colours go into the grid's plain fields: unless clNone,
// or always for the mirror colours.
#define KR_LOOK_COPY(name, always)                                              \
    void TControlLook::SetFixedGradient##name(TColor v)                         \
    {                                                                           \
        FFixedGradient##name = v;                                               \
        if (FGrid && ((always) || v != clNone)) FGrid->StudioGradient##name = v; \
    }
KR_LOOK_COPY(HoverFrom, false)
KR_LOOK_COPY(HoverTo, false)
KR_LOOK_COPY(HoverMirrorFrom, true)
KR_LOOK_COPY(HoverMirrorTo, true)
KR_LOOK_COPY(HoverBorder, false)
KR_LOOK_COPY(DownFrom, false)
KR_LOOK_COPY(DownTo, false)
KR_LOOK_COPY(DownMirrorFrom, true)
KR_LOOK_COPY(DownMirrorTo, true)
KR_LOOK_COPY(DownBorder, false)
#undef KR_LOOK_COPY

// ---------------------------------------------------------------------------
// TSortSettings

TSortSettings::TSortSettings(TExtStringGrid* grid) : FGrid(grid) {}

void TSortSettings::Assign(const TSortSettings& s)
{
    FAutoSortForGrouping = s.FAutoSortForGrouping;
    FAutoColumnMerge = s.FAutoColumnMerge;
    FColumn = s.FColumn;
    FShow = s.FShow;
    FIndexShow = s.FIndexShow;
    FIndexColor = s.FIndexColor;
    FIndexSortKey = s.FIndexSortKey;
    FFull = s.FFull;
    FSingleColumn = s.FSingleColumn;
    FIgnoreBlanks = s.FIgnoreBlanks;
    FBlankPos = s.FBlankPos;
    FAutoFormat = s.FAutoFormat;
    FDirection = s.FDirection;
    FUpGlyph = s.FUpGlyph;
    FDownGlyph = s.FDownGlyph;
    FIndexUpGlyph = s.FIndexUpGlyph;
    FIndexDownGlyph = s.FIndexDownGlyph;
    FInitSortDirection = s.FInitSortDirection;
    FFixedCols = s.FFixedCols;
    FNormalCellsOnly = s.FNormalCellsOnly;
    FRow = s.FRow;
    FUndoSort = s.FUndoSort;
    FHeaderColor = s.FHeaderColor;
    FHeaderColorTo = s.FHeaderColorTo;
    FHeaderMirrorColor = s.FHeaderMirrorColor;
    FHeaderMirrorColorTo = s.FHeaderMirrorColorTo;
}

void TSortSettings::SetShow(bool v)
{
    if (v == FShow) return;
    FShow = v;
    if (FGrid) FGrid->Invalidate();
}

void TSortSettings::SetRow(int v)
{
    if (FGrid && v >= FGrid->FixedRows())
        throw Exception(QStringLiteral("Sort row should be smaller than number of fixed rows"));
    FRow = v;
}

void TSortSettings::SetHeader(TColor& field, TColor v)
{
    if (field == v) return;
    field = v;
    if (FGrid && FGrid->TCustomGrid::FixedRows() > 0) FGrid->InvalidateRow(FGrid->TCustomGrid::FixedRows() - 1);
}

void TSortSettings::SetHeaderColor(TColor v) { SetHeader(FHeaderColor, v); }
void TSortSettings::SetHeaderColorTo(TColor v) { SetHeader(FHeaderColorTo, v); }
void TSortSettings::SetHeaderMirrorColor(TColor v) { SetHeader(FHeaderMirrorColor, v); }
void TSortSettings::SetHeaderMirrorColorTo(TColor v) { SetHeader(FHeaderMirrorColorTo, v); }

QString TSortSettings::SaveToString() const
{
    if (FIndexShow) return QStringLiteral("i;") + (FGrid ? FGrid->SortIndexes().SaveToString() : QString());
    return (FDirection == TSortDirection::sdDescending ? QStringLiteral("d") : QStringLiteral("u")) +
           QString::number(FColumn);
}

void TSortSettings::LoadFromString(const QString& s)
{
    if (s.isEmpty()) return;
    SetShow(true);
    if (s.size() < 2) throw Exception(QStringLiteral("Invalid sort settings specifier"));
    if (s.contains(QStringLiteral("i;"))) {
        FIndexShow = true;
        const QString rest = s.mid(2);
        if (!rest.isEmpty() && FGrid) {
            FGrid->SortIndexes().LoadFromString(rest);
            FGrid->QSortIndexed();
        }
        return;
    }
    FIndexShow = false;
    FDirection = s.contains(QLatin1Char('u')) ? TSortDirection::sdAscending : TSortDirection::sdDescending;
    bool ok = false;
    const int col = s.mid(1).toInt(&ok);
    if (!ok) return;
    FColumn = col;
    if (FGrid) FGrid->QSort();
}

void TSortSettings::Remove()
{
    FColumn = -1;
    if (!FGrid) return;
    FGrid->SortIndexes().Clear();
    if (FGrid->TCustomGrid::FixedRows() > 0) FGrid->InvalidateRow(FGrid->TCustomGrid::FixedRows() - 1);
}

void TSortSettings::ToggleDirection()
{
    FDirection = FDirection == TSortDirection::sdAscending ? TSortDirection::sdDescending : TSortDirection::sdAscending;
}

// ---------------------------------------------------------------------------
// Progress, balloon, grouping, drag and drop, background

void TGridProgressAppearance::Assign(const TGridProgressAppearance& s)
{
    AssignExcept(*this, s, &TGridProgressAppearance::OnChange);
    Changed();
}

void TBalloonSettings::Assign(const TBalloonSettings& s)
{
    FTextColor = s.FTextColor;
    FBackgroundColor = s.FBackgroundColor;
    FInitialDelay = s.FInitialDelay;
    FAutoHideDelay = s.FAutoHideDelay;
    FReshowDelay = s.FReshowDelay;
    FEnable = s.FEnable;
}

void TGrouping::Assign(const TGrouping& s)
{
    FGroupCountFormat = s.FGroupCountFormat;
    FHeaderColor = s.FHeaderColor;
    FHeaderColorTo = s.FHeaderColorTo;
    FHeaderTextColor = s.FHeaderTextColor;
    FHeaderUnderline = s.FHeaderUnderline;
    FMergeHeader = s.FMergeHeader;
    FMergeSummary = s.FMergeSummary;
    FShowGroupCount = s.FShowGroupCount;
    FSummaryColor = s.FSummaryColor;
    FSummaryColorTo = s.FSummaryColorTo;
    FSummaryTextColor = s.FSummaryTextColor;
    FSummaryLine = s.FSummaryLine;
    FAutoCheckGroup = s.FAutoCheckGroup;
    FAutoSelectGroup = s.FAutoSelectGroup;
}

void TDragDropSettings::SetOleDropRTF(bool v)
{
    SetRtfDropEnabled(v);
    FOleDropRTF = v;
}

void TDragDropSettings::SetOleDropTarget(bool v)
{
    FOleDropTarget = v;
    if (FGrid && FGrid->Designing()) return;
    if (OnDropTargetChange) OnDropTargetChange(this);
}

void TDragDropSettings::Assign(const TDragDropSettings& s)
{
    AssignExcept(*this, s, &TDragDropSettings::FGrid, &TDragDropSettings::OnDropTargetChange);
}

void TBackGround::Repaint()
{
    if (FGrid) FGrid->Invalidate();
}

void TBackGround::Assign(const TBackGround& s)
{
    FTop = s.FTop;
    FLeft = s.FLeft;
    FDisplay = s.FDisplay;
    FCells = s.FCells;
    FColor = s.FColor;
    FColorTo = s.FColorTo;
    FBitmap = s.FBitmap;
}

// ---------------------------------------------------------------------------
// Column size, nodes, HTML and print settings

void TColumnSize::SetStretch(bool v)
{
    FStretch = v;
    if (FOwner && FOwner->HasParent()) FOwner->StretchColumn(FStretchColumn);
}

void TColumnSize::Assign(const TColumnSize& s)
{
    FSave = s.FSave;
    FKey = s.FKey;
    FSection = s.FSection;
    FStretch = s.FStretch;
    FStretchColumn = s.FStretchColumn;
    FSynchWithGrid = s.FSynchWithGrid;
    FSynchNormalCellsOnly = s.FSynchNormalCellsOnly;
    FLocation = s.FLocation;
    FRows = s.FRows;
}

template <typename T>
void TCellNode::SetRepaint(T& field, T v)
{
    if (field == v) return;
    field = v;
    if (FOwner) FOwner->Invalidate();
}

void TCellNode::SetNodeType(TNodeType v) { SetRepaint(FNodeType, v); }
void TCellNode::SetNodeIndent(int v) { SetRepaint(FNodeIndent, v); }
void TCellNode::SetShowTree(bool v) { SetRepaint(FShowTree, v); }
void TCellNode::SetShowTreeFull(bool v) { SetRepaint(FShowTreeFull, v); }
void TCellNode::SetTreeColor(TColor v) { SetRepaint(FTreeColor, v); }

void TCellNode::Assign(const TCellNode& s) { AssignExcept(*this, s, &TCellNode::FOwner); }

void THTMLSettings::Assign(const THTMLSettings& s)
{
    AssignExcept(*this, s, &THTMLSettings::FExportImages, &THTMLSettings::ColWidths);
}

void TPrintSettings::Assign(const TPrintSettings& s)
{
    AssignExcept(*this, s, &TPrintSettings::FGrid, &TPrintSettings::FFixedCellsAlways);
}

// ---------------------------------------------------------------------------
// Hidden-row store

QStringList TGridItem::Items() const
{
    QStringList texts;
    for (const TGridCell& c : Row().Cells) texts << c.Text;
    return texts;
}

void TGridItem::SetItems(const QStringList& texts)
{
    std::vector<TGridCell>& cells = Row().Cells;
    if (cells.size() < size_t(texts.size())) cells.resize(size_t(texts.size()));
    for (int i = 0; i < texts.size(); ++i) cells[size_t(i)].Text = texts[i];
}

TGridRowData& TGridItem::Row()
{
    if (!FRow) FRow = std::make_unique<TGridRowData>();
    return *FRow;
}

const TGridRowData& TGridItem::Row() const
{
    static const TGridRowData empty;
    return FRow ? *FRow : empty;
}

void TGridItem::SetRow(std::unique_ptr<TGridRowData> row) { FRow = std::move(row); }

std::unique_ptr<TGridRowData> TGridItem::TakeRowData() { return std::move(FRow); }

TGridItem& TGridItems::Add() { return FItems.emplace_back(); }

TGridItem& TGridItems::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    return *FItems.emplace(FItems.begin() + index);
}

void TGridItems::Delete(int index)
{
    if (index < 0 || index >= Count()) throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
    FItems.erase(FItems.begin() + index);
}

int TGridItems::LowerBound(int realRow) const
{
    const auto it = std::lower_bound(FItems.begin(), FItems.end(), realRow,
                                     [](const TGridItem& i, int r) { return i.Idx() < r; });
    return int(it - FItems.begin());
}

TGridItem& TGridItems::InsertOrdered(int realRow)
{
    TGridItem& item = Insert(LowerBound(realRow));
    item.SetIdx(realRow);
    return item;
}

void TGridItems::DeleteRange(int index, int n)
{
    index = std::clamp(index, 0, Count());
    n = std::clamp(n, 0, Count() - index);
    FItems.erase(FItems.begin() + index, FItems.begin() + index + n);
}

void TGridItems::MergeOrdered(std::vector<TGridItem> items)
{
    if (FItems.empty()) {
        FItems = std::move(items);
        return;
    }
    std::vector<TGridItem> merged;
    merged.reserve(FItems.size() + items.size());
    std::merge(std::make_move_iterator(FItems.begin()), std::make_move_iterator(FItems.end()),
               std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()), std::back_inserter(merged),
               [](const TGridItem& a, const TGridItem& b) { return a.Idx() < b.Idx(); });
    FItems = std::move(merged);
}

void TGridItems::DeleteAt(const std::vector<int>& indexes)
{
    size_t next = 0, out = 0;
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (next < indexes.size() && size_t(indexes[next]) == i) {
            ++next;
            continue;
        }
        if (out != i) FItems[out] = std::move(FItems[i]);
        ++out;
    }
    FItems.resize(out);
}

TGridItem* TGridItems::FindIdx(int realRow)
{
    const int i = LowerBound(realRow);
    return i < Count() && FItems[size_t(i)].Idx() == realRow ? &FItems[size_t(i)] : nullptr;
}

const TGridItem* TGridItems::FindIdx(int realRow) const { return const_cast<TGridItems*>(this)->FindIdx(realRow); }

// ---------------------------------------------------------------------------
// Floating footer and filter drop-down

void TFilterDropDown::Assign(const TFilterDropDown& s)
{
    if (&s == this) return;
    FColor = s.FColor;
    FColumnWidth = s.FColumnWidth;
    FFont = s.FFont;
    FHeight = s.FHeight;
    FWidth = s.FWidth;
    SetGlyph(s.FGlyph);
    SetGlyphActive(s.FGlyphActive);
}
