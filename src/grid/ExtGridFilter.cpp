// Filtering: the filter conditions, the row test, filter passes and their
// levels, incremental narrowing and the filter list handlers.
#include "controls/ExtFilter.h"
#include "controls/ExtUtil.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridEditors.h"
#include "platform/GridsWidget.h"

#include <QScopeGuard>
#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// Conditions

void TFilterData::Assign(const TFilterData& src)
{
    if (&src == this) return;
    FColumn = src.FColumn;
    FCondition = src.FCondition;
    FCaseSensitive = src.FCaseSensitive;
    FSuffix = src.FSuffix;
    FPrefix = src.FPrefix;
    FOperation = src.FOperation;
    FData = src.FData;
    FMethod = src.FMethod;
}

TFilterData& TFilter::Items(int index)
{
    if (index < 0 || index >= Count()) throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
    return *FItems[size_t(index)];
}

const TFilterData& TFilter::Items(int index) const
{
    return const_cast<TFilter*>(this)->Items(index);
}

void TFilter::SetItems(int index, const TFilterData& v)
{
    Items(index).Assign(v);
}

TFilterData& TFilter::Add()
{
    FItems.push_back(std::make_unique<TFilterData>());
    TFilterData& d = *FItems.back();
    d.SetOperation(FItems.size() == 1 ? TFilterOperation::foNONE : TFilterOperation::foAND);
    return d;
}

TFilterData& TFilter::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    auto it = FItems.insert(FItems.begin() + index, std::make_unique<TFilterData>());
    return **it;
}

void TFilter::Delete(int index)
{
    Items(index);
    FItems.erase(FItems.begin() + index);
}

void TFilter::Clear()
{
    FItems.clear();
}

void TFilter::Assign(const TFilter& src)
{
    if (&src == this) return;
    FItems.clear();
    for (const auto& d : src.FItems) {
        FItems.push_back(std::make_unique<TFilterData>());
        FItems.back()->Assign(*d);
    }
}

TFilterData& TFilter::GetColFilter(int c)
{
    for (auto& d : FItems)
        if (d->Column() == c) return *d;
    TFilterData& d = Add();
    d.SetColumn(c);
    return d;
}

bool TFilter::HasFilter(int c) const
{
    for (const auto& d : FItems)
        if (d->Column() == c) return true;
    return false;
}

void TFilter::RemoveColumnFilter(int c)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (FItems[size_t(i)]->Column() == c) FItems.erase(FItems.begin() + i);
    if (FOwner) FOwner->RepaintCell(c, 0);
}

// ---------------------------------------------------------------------------
// The row test

namespace {

// An entry of the filter list: "name=condition", or a bare text that is
// both.
void SplitFilterEntry(const QString& entry, QString& friendlyName, QString& condition)
{
    const int eq = entry.indexOf(QLatin1Char('='));
    friendlyName = eq >= 0 ? entry.left(eq) : entry;
    condition = eq >= 0 ? entry.mid(eq + 1) : entry;
}

} // namespace

bool TExtStringGrid::MatchFilterRow(int r)
{
    bool result = true;
    for (int i = 0; i < FFilter->Count(); ++i) {
        const TFilterData& f = FFilter->Items(i);
        const int c = f.Column();
        const bool inGrid = c >= 0 && c < AllColCount();
        QString text;
        switch (f.Data()) {
        case TFilterCells::fcVirtual:
            if (inGrid) text = Cells(c, r);
            break;
        case TFilterCells::fcNormal:
            if (inGrid) text = GridCells(c, r);
            break;
        case TFilterCells::fcStripHTML:
            if (inGrid) text = StrippedCells(c, r);
            break;
        case TFilterCells::fcCalculated:
            if (inGrid) FormulaCellText(c, r, text);
            break;
        case TFilterCells::fcRow:
            for (int k = 0; k < AllColCount(); ++k) text += GridCells(k, r) + QStringLiteral("\r\n");
            break;
        }
        text = Trim(text);
        if (text.contains(QStringLiteral("|\\"))) text = DecodeWideCellText(text);

        bool match = false;
        if (f.Data() == TFilterCells::fcRow) {
            match = text.toUpper().contains(f.Condition().toUpper());
        } else {
            if (!f.Prefix().isEmpty() && text.startsWith(f.Prefix())) text.remove(0, f.Prefix().size());
            if (!f.Suffix().isEmpty()) {
                const int at = text.indexOf(f.Suffix());
                if (at >= 0 && at + f.Suffix().size() == text.size()) text.truncate(at);
            }
            if (f.Condition().isEmpty()) {
                match = true;
            } else if (f.Method() == TFilterMethod::fmLiteral) {
                match = f.Condition() == text;
            } else {
                try {
                    match = MatchFilterExpression(f.Condition(), text, f.CaseSensitive(), SystemFormatSettings());
                } catch (const std::exception&) {
                    match = false;
                }
            }
        }

        switch (f.Operation()) {
        case TFilterOperation::foSHORT:
            result = match;
            break;
        case TFilterOperation::foNONE:
            result = match;
            break;
        case TFilterOperation::foAND:
            result = result && match;
            break;
        case TFilterOperation::foXOR:
            result = result != match;
            break;
        case TFilterOperation::foOR:
            result = result || match;
            break;
        }
        if (f.Operation() == TFilterOperation::foSHORT && !match) break;
    }
    if (OnCustomFilter) {
        bool accept = result;
        OnCustomFilter(this, r, accept);
        result = accept;
    }
    return result;
}

// ---------------------------------------------------------------------------
// Filter passes and levels

void TExtStringGrid::ApplyFilter()
{
    FFilterFixedRows = FixedRows();
    const int first = FixedRows();
    const int last = RowCount() - FixedFooters() - 1;
    const int n = last - first + 1;
    TIntList failing(-1, -1);
    int k = 0;
    // Halves go to the even percentage.
    auto percent = [&] { return int16_t(std::nearbyint(double(k) * 100.0 / double(n))); };
    for (int r = first; r <= last; ++r) {
        if (FilterNormalCellsOnly() && (IsNode(r) || IsSummary(r))) continue;
        if (!MatchFilterRow(r)) failing.Add(r);
        ++k;
        if (OnFilterProgress && n > 0) OnFilterProgress(this, percent());
    }
    HideRowList(failing);
    if (OnFilterProgress && n > 0) OnFilterProgress(this, percent());
}

void TExtStringGrid::FilterRow(int r)
{
    if (r < 0 || r >= RowCount()) return;
    if (!MatchFilterRow(r)) HideRow(RealRowIndex(r));
}

void TExtStringGrid::DropFilterLevel()
{
    UnHideRowList();
    --FFilterLevel;
    if (FFilterFixedRows >= 0) SetFixedRows(FFilterFixedRows);
    if (FSelHidden) UnHideSelection();
}

bool TExtStringGrid::RemoveLastFilter()
{
    if (FFilterLevel <= 0) return false;
    DropFilterLevel();
    CalcFooter(-1);
    return FFilterLevel > 1;
}

void TExtStringGrid::RemoveAllFilters()
{
    if (FFilterLevel <= 0) {
        FFilter->Clear();
        return;
    }
    while (FFilterLevel > 0) RemoveLastFilter();
}

void TExtStringGrid::NarrowDown(const QString& condition, int column)
{
    SetFixedRowAlways(true);
    const QString& last = FLastFilter;
    auto single = [&](bool quoteBlanks) {
        FFilter->Clear();
        TFilterData& d = FFilter->Add();
        if (column == -1) {
            d.SetData(TFilterCells::fcRow);
            d.SetCondition(condition);
        } else {
            d.SetData(TFilterCells::fcNormal);
            QString cond = QLatin1Char('*') + condition + QLatin1Char('*');
            if (quoteBlanks && cond.contains(QLatin1Char(' '))) cond = QLatin1Char('"') + cond + QLatin1Char('"');
            d.SetCondition(cond);
        }
        d.SetCaseSensitive(false);
        d.SetColumn(column);
    };
    if (!last.isEmpty() && condition.size() == last.size() + 1 && condition.startsWith(last)) {
        // One more character: only the rows still shown are tested again.
        single(true);
        ApplyFilter();
    } else if (last.size() == condition.size() + 1 && !condition.isEmpty() && last.startsWith(condition)) {
        // One character less: the level of that character goes.
        RemoveLastFilter();
    } else {
        RemoveAllFilters();
        if (!condition.isEmpty()) {
            single(false);
            ApplyFilter();
        }
    }
    FLastFilter = condition;
    if (condition.isEmpty()) {
        // Every filter level goes; rows hidden otherwise stay hidden.
        ShowHiddenRows([](const TGridItem& i) { return i.Kind() == THiddenRowKind::hkFilter; });
        FFilterLevel = 0;
    }
}

// ---------------------------------------------------------------------------
// Property writers

void TExtStringGrid::SetFilterActive(bool v)
{
    if (v != FFilterActive) {
        FFilterActive = v;
        if (v) {
            if (Row() >= RowCount() || Col() >= ColCount()) FocusCell(FixedCols(), FixedRows());
            BeginUpdate();
            const auto done = qScopeGuard([this] { EndUpdate(); });
            ApplyFilter();
            FSelHidden = false;
        } else if (FFilterLevel > 0) {
            // The level of the pass that switched the filter on goes, so
            // that switching on and off leaves the grid as it was.
            DropFilterLevel();
        }
        SetTopRow(FixedRows());
    }
    CalcFooter(-1);
}

void TExtStringGrid::SetFilterDropDownRow(int v)
{
    if (v < FixedRows()) {
        FFilterDropDownRow = v;
        Invalidate();
    }
}

void TExtStringGrid::SetFilterDropDownAuto(bool v)
{
    FFilterDropDownAuto = v;
    Invalidate();
}

// ---------------------------------------------------------------------------
// The filter lists

void TExtStringGrid::FilterListSelect(int itemIndex)
{
    if (TGridWidget* w = GridWidgetOf(this)) w->setFocus();
    const int entries = FFilterListView ? FFilterListView->EntryCount() : 0;
    if (FFilterCol >= 0 && FFilterCol < AllColCount() && itemIndex >= 0 && itemIndex < entries) {
        GetColumnFilter(FFilterCol);
        if (itemIndex < FFilterList.size()) {
            QString friendlyName, condition;
            SplitFilterEntry(FFilterList[itemIndex], friendlyName, condition);
            if (AutoFilterUpdate()) SetFilterActive(false);
            if (condition == FilterDropDownClear()) condition.clear();
            if (OnFilterSelect) OnFilterSelect(this, FFilterCol, itemIndex, friendlyName, condition);
            if (!condition.isEmpty())
                FFilter->GetColFilter(FFilterCol).SetCondition(condition);
            else
                FFilter->RemoveColumnFilter(FFilterCol);
            if (AutoFilterUpdate()) {
                SetFixedRowAlways(true);
                SetFilterActive(true);
                if (RowCount() != FixedRows() && RowCount() != 1) SetRow(FixedRows());
                DoFilterDone();
            }
        }
    }
    FFilterCol = -1;
}

void TExtStringGrid::FilterCheckListClick(int /*itemIndex*/)
{
    if (FFilterCol < 0 || FFilterCol >= AllColCount()) return;
    GetColumnFilter(FFilterCol);
    if (AutoFilterUpdate()) SetFilterActive(false);
    FFilter->Clear();
    const int entries = FFilterListView ? FFilterListView->EntryCount() : 0;
    for (int i = 0; i < entries && i < FFilterList.size(); ++i) {
        if (!FFilterListView->Checked(i)) continue;
        QString friendlyName, condition;
        SplitFilterEntry(FFilterList[i], friendlyName, condition);
        if (condition == FilterDropDownClear()) condition.clear();
        if (OnFilterCheck) OnFilterCheck(this, FFilterCol, i, friendlyName, condition, FFilterListView);
        TFilterData& d = FFilter->Add();
        d.SetCondition(condition);
        d.SetColumn(FFilterCol);
        d.SetOperation(FFilter->Count() == 1 ? TFilterOperation::foNONE : TFilterOperation::foOR);
    }
    SetFilterActive(true);
    if (FFilterListView) FFilterListView->Repaint();
}
