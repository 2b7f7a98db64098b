// Dimensions, fixed parts, and the option and look writers of the string grid.
#include "grid/ExtGrid.h"

void TExtStringGrid::SetRowCount(int n)
{
    n = std::max(1, n);
    const int old = RowCount();
    const bool footer = FFloatingFooter && FFloatingFooter->Visible() && n != old && old > 0;
    // A visible floating footer is the last row: it moves to the new last
    // row before rows are dropped, so shrinking keeps it.
    if (footer && n < old) PutRow(n - 1, TakeRow(old - 1));
    TObjStringGrid::SetRowCount(n);
    if (FFixedRowAlways && RowCount() > FFixedRowsMin) SetFixedRows(FFixedRowsMin);
    FMaxRowCount = std::max(FMaxRowCount, n);
    FNormalRowCount = n;
    UpdateFooter();
    UpdateScrollBarAlways(false);
    if (footer) {
        if (n > old) {
            FNilObjects = true;
            PutRow(n - 1, TakeRow(old - 1));
            FNilObjects = false;
        }
        CalcFooter(-1);
    }
}

void TExtStringGrid::SetColCount(int n)
{
    TObjStringGrid::SetColCount(n);
    if (FFixedColAlways && ColCount() > FFixedColsMin) SetFixedCols(FFixedColsMin);
    FMaxColCount = std::max(FMaxColCount, n);
    UpdateFooter();
    SetBounds(FLeft, FTop, FWidth, FHeight);
    UpdateScrollBarAlways(false);
}

int TExtStringGrid::FixedRows() const
{
    const int v = TCustomGrid::FixedRows();
    return v == 0 && FFixedRowAlways ? 1 : v;
}

void TExtStringGrid::SetFixedRows(int n)
{
    int v = n;
    if (FFixedRowAlways && v >= RowCount()) v = RowCount() - 1;
    TCustomGrid::SetFixedRows(v);
    if (!FLoading) FFixedRowsMin = n;
}

int TExtStringGrid::FixedCols() const
{
    const int v = TCustomGrid::FixedCols();
    return v == 0 && FFixedColAlways ? 1 : v;
}

void TExtStringGrid::SetFixedCols(int n)
{
    int v = n;
    if (FFixedColAlways && v >= ColCount()) v = ColCount() - 1;
    TCustomGrid::SetFixedCols(v);
    if (!FLoading) FFixedColsMin = n;
}

void TExtStringGrid::SetFixedColWidth(int w)
{
    if (FLoading || w == DefaultColWidth()) return;
    for (int c = 0; c < TCustomGrid::FixedCols(); ++c) SetColWidths(c, w);
}

void TExtStringGrid::SetFixedRowHeight(int h)
{
    FFixedRowHeight = h;
    if (FLoading) return;
    if (h == DefaultRowHeight()) {
        SetDefaultRowHeight(h);
        return;
    }
    for (int r = 0; r < TCustomGrid::FixedRows(); ++r) SetRowHeights(r, h);
}

void TExtStringGrid::SetDefaultRowHeight(int h)
{
    TCustomGrid::SetDefaultRowHeight(h);
    if (FDesigning) FFixedRowHeight = h;
    if (FFloatingFooter) FFloatingFooter->SetHeight(h);
}

void TExtStringGrid::SetFixedFooters(int v) { SetRepaint(FFixedFooters, v); }

void TExtStringGrid::SetFixedRightCols(int v) { SetRepaint(FFixedRightCols, v); }

void TExtStringGrid::SetWordWrap(bool v)
{
    TBaseGrid::SetWordWrap(v);
    FWordWrapEx = v;
    if (FUpdateCount == 0) Invalidate();
}

void TExtStringGrid::SetIntegralHeight(bool v)
{
    FIntegralHeight = v;
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TExtStringGrid::SetCol(int c)
{
    TCustomGrid::SetCol(c);
    if (TStringGrid* other = FSyncGrid->Grid(); other && FSyncGrid->SelectionColumn()) other->SetCol(Col());
}

void TExtStringGrid::SetSelection(const TGridRect& r)
{
    TCustomGrid::SetSelection(r);
    if (FActiveCellShow) {
        InvalidateRow(0);
        InvalidateCol(0);
    }
    if (ActiveRowShow()) InvalidateRow(r.Bottom);
}

void TExtStringGrid::SetSelectionColorMixerFactor(int v)
{
    SetChanged(FSelectionColorMixerFactor, std::clamp(v, 0, 100));
}

void TExtStringGrid::SetShowSelection(bool v)
{
    if (v == FShowSelection) return;
    FShowSelection = v;
    SetShowSel(v);
    Invalidate();
}

void TExtStringGrid::SetBorderColor(TColor v)
{
    if (v == FBorderColor) return;
    FBorderColor = v;
    if (HasParent()) Invalidate();
}

void TExtStringGrid::SetFlat(bool v)
{
    FFlat = v;
    if (!FLoading) Invalidate();
}

void TExtStringGrid::SetScrollBarAlways(TScrollBarAlways v)
{
    FScrollBarAlways = v;
    UpdateScrollBarAlways(true);
}

void TExtStringGrid::SetVAlignment(TVAlignment v)
{
    FVAlignment = v;
    FVAlign = v == vtaTop ? 0 : v == vtaBottom ? 8 : 4;
    if (FUpdateCount == 0) Invalidate();
}

void TExtStringGrid::SetAutoThemeAdapt(bool v)
{
    if (v == FAutoThemeAdapt) return;
    FAutoThemeAdapt = v;
    FSearchFooter->SetAutoThemeAdapt(v);
    if (v) Invalidate();
}

void TExtStringGrid::SetSpreadSheet(bool v)
{
    // Whatever the value, the spreadsheet options come on.
    FSpreadSheet = v;
    SetSelectionRectangle(true);
    SetSelectionResizer(true);
    FNavigation->SetAllowSmartClipboard(true);
    SetOptions(Options().With(goRangeSelect).With(goEditing));
    FMouseActions->SetRangeSelectAndEdit(true);
}
