// Grouping of the string grid's rows by the values of a column: header rows
// made nodes over each run of equal texts, summary rows, group results,
// sub-groups inside the groups, and the way back to the plain table.
//
// Grouping n rows into g groups arranges the rows once: the header and
// summary rows are added together below the data rows and every row is then
// moved straight to its place, so that no row is shifted once per group.
// UnGroup removes them the same way.
#include "grid/ExtGrid.h"
#include "grid/RowPermutation.h"

#include <QScopeGuard>
#include <algorithm>

namespace {

void SwapFlag(std::vector<bool>& flags, int a, int b)
{
    const int hi = std::max(a, b);
    if (a < 0 || b < 0) return;
    // Flags past the end are off: two such rows need no entry.
    if (hi >= int(flags.size())) {
        const int lo = std::min(a, b);
        if (lo >= int(flags.size()) || !flags[size_t(lo)]) return;
        flags.resize(size_t(hi) + 1, false);
    }
    const bool v = flags[size_t(a)];
    flags[size_t(a)] = flags[size_t(b)];
    flags[size_t(b)] = v;
}

// The column a sub-group node remembers, or -1 (a group header, or no node).
int NodeColumn(TCellGraphic* g)
{
    if (!g || g->CellType != TCellType::ctNode || !g->CellVar.isValid()) return -1;
    bool ok = false;
    const int v = g->CellVar.toInt(&ok);
    return ok ? v : -1;
}

} // namespace

// ---------------------------------------------------------------------------
// Helpers

void TExtStringGrid::ShowAllRowsForGrouping()
{
    if (FilterActive()) SetFilterActive(false);
    // Every filter pass's rows, not only the latest pass's.
    while (FFilterLevel > 0) RemoveLastFilter();
    ExpandAll();
    // What is still parked (rows the program hid, a filter's rows) comes
    // back at its place.
    if (NumHiddenRows() > 0) ShowHiddenRows([](const TGridItem&) { return true; });
}

void TExtStringGrid::SwapRowsForGrouping(int r1, int r2)
{
    m_store.SwapRows(r1, r2);
    if (RowHeights(r1) != RowHeights(r2)) {
        const int h = RowHeights(r1);
        SetRowHeights(r1, RowHeights(r2));
        SetRowHeights(r2, h);
    }
    SwapFlag(FModifiedRows, r1, r2);
    SwapFlag(FEnabledRows, r1, r2);
    if (FMouseActions->DisjunctRowSelect()) SwapFlag(FRowSelect, RowFlagIndex(r1), RowFlagIndex(r2));
}

void TExtStringGrid::ArrangeRows(const std::vector<int>& order, int first)
{
    const int n = int(order.size());
    const std::vector<int> where = PermuteBySwaps(order, [&](int p, int q) { SwapRowsForGrouping(first + p, first + q); });
    if (FControlList.Count() > 0)
        MoveCellControls(
            [&](int y) {
                const int i = y - first;
                return i >= 0 && i < n ? first + where[size_t(i)] : y;
            },
            true);
}

void TExtStringGrid::GroupHeaderLook(int r, int mergedCol)
{
    const TGrouping& gr = *FGrouping;
    if (mergedCol >= 0) {
        if (gr.HeaderColor() != clNone) SetColors(mergedCol, r, gr.HeaderColor());
        if (gr.HeaderColorTo() != clNone) SetColorsTo(mergedCol, r, gr.HeaderColorTo());
        if (gr.HeaderTextColor() != clNone) SetFontColors(mergedCol, r, gr.HeaderTextColor());
        return;
    }
    if (gr.HeaderColor() != clNone) SetRowColor(r, gr.HeaderColor());
    if (gr.HeaderColorTo() != clNone) SetRowColorTo(r, gr.HeaderColorTo());
    if (gr.HeaderTextColor() != clNone) SetRowFontColor(r, gr.HeaderTextColor());
}

void TExtStringGrid::GroupSummaryLook(int r, int mergedCol)
{
    const TGrouping& gr = *FGrouping;
    if (mergedCol >= 0) {
        if (gr.SummaryColor() != clNone) SetColors(mergedCol, r, gr.SummaryColor());
        if (gr.SummaryColorTo() != clNone) SetColorsTo(mergedCol, r, gr.SummaryColorTo());
        if (gr.SummaryTextColor() != clNone) SetFontColors(mergedCol, r, gr.SummaryTextColor());
        return;
    }
    if (gr.SummaryColor() != clNone) SetRowColor(r, gr.SummaryColor());
    if (gr.SummaryColorTo() != clNone) SetRowColorTo(r, gr.SummaryColorTo());
    if (gr.SummaryTextColor() != clNone) SetRowFontColor(r, gr.SummaryTextColor());
}

void TExtStringGrid::SetGroupColumn(int v)
{
    if (v == -1)
        UnGroup();
    else if (v > 0)
        Group(v);
}

// ---------------------------------------------------------------------------
// Group and UnGroup

void TExtStringGrid::Group(int colIndex)
{
    // Column 0 carries the node glyphs: grouping it could never be undone.
    if (colIndex < FixedCols() || colIndex < 1) return;
    if (FGroupColumn != -1) UnGroup();
    if (colIndex >= ColCount()) return;
    if (RowCount() - FixedFooters() - 1 < FixedRows()) return;

    BeginUpdate();
    FIsGrouping = true;
    bool grouped = false;
    const auto done = qScopeGuard([&] {
        FIsGrouping = false;
        // A step that failed before the column left keeps the grid ungrouped.
        if (!grouped) FGroupColumn = -1;
        EndUpdate();
        if (FSearchFooter->Visible() && FSearchPanel) {
            // The search bar lays itself out anew.
            const QSize s = FSearchPanel->size();
            FSearchPanel->resize(s.width() + 1, s.height());
            FSearchPanel->resize(s);
        }
    });
    // Rows out of view would be misplaced by the rows added and lose their
    // cell of the grouped column.
    ShowAllRowsForGrouping();
    FGroupColumn = colIndex;

    FGroupWidth = ColWidths(colIndex);
    FGroupCaption = FixedRows() > 0 ? GridCells(colIndex, 0) : QString();
    FGroupFooter = FixedFooters() > 0 ? GridCells(colIndex, RowCount() - 1) : QString();

    if (FSortSettings->AutoSortForGrouping()) {
        FSortSettings->SetColumn(colIndex);
        QSort();
    }

    // The runs of equal texts: the first data row always opens one.
    const int first = FixedRows();
    const int n = RowCount() - FixedFooters() - first;
    std::vector<int> starts;
    for (int r = first; r < first + n; ++r)
        if (r == first || GridCells(colIndex, r) != GridCells(colIndex, r - 1)) starts.push_back(r - first);
    const bool summary = FGrouping->Summary();
    const int groups = int(starts.size());
    const int added = groups * (summary ? 2 : 1);

    // The new rows join below the data rows, then every row goes to its
    // place: header, the group's rows, the summary row.
    InsertRows(first + n, added, true);
    std::vector<int> order;
    order.reserve(size_t(n + added));
    std::vector<int> headers, summaries;
    headers.reserve(size_t(groups));
    int spare = n;
    for (int gi = 0; gi < groups; ++gi) {
        const int from = starts[size_t(gi)];
        const int to = gi + 1 < groups ? starts[size_t(gi) + 1] : n;
        headers.push_back(first + int(order.size()));
        order.push_back(spare++);
        for (int i = from; i < to; ++i) order.push_back(i);
        if (summary) {
            summaries.push_back(first + int(order.size()));
            order.push_back(spare++);
        }
    }
    ArrangeRows(order, first);

    // hc: the column that is column 1 once the grouped column is gone.
    const int hc = colIndex == 1 ? 2 : 1;
    for (int gi = 0; gi < groups; ++gi) {
        const int h = headers[size_t(gi)];
        const int span = (gi + 1 < groups ? headers[size_t(gi) + 1] : first + n + added) - h - (summary ? 1 : 0);
        // The header's text: its group's first row is right below it.
        if (hc < ColCount()) SetCells(hc, h, GridCells(colIndex, h + 1));
        AddNode(h, span);
        if (!FGrouping->MergeHeader()) GroupHeaderLook(h, -1);
    }
    for (int s : summaries) {
        MarkSummaryRow(s);
        if (!FGrouping->MergeSummary()) GroupSummaryLook(s, -1);
    }

    RemoveCols(colIndex, 1);
    grouped = true;

    const bool mergeHeader = FGrouping->MergeHeader();
    const bool mergeSummary = FGrouping->MergeSummary() && summary;
    if ((mergeHeader || mergeSummary) && ColCount() > 1) {
        for (int b = FixedRows(); b < RowCount() - FixedFooters(); ++b) {
            if (mergeHeader && IsNode(b)) {
                MergeCells(1, b, ColCount() - 1, 1);
                GroupHeaderLook(b, 1);
            } else if (mergeSummary && IsSummary(b)) {
                MergeCells(1, b, ColCount() - 1, 1);
                GroupSummaryLook(b, 1);
            }
        }
    }

    if (FCellNode->ExpandOne())
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (IsNode(r)) {
                ExpandNode(RealRowOf(r));
                break;
            }

    if (Col() >= ColCount() || Row() >= RowCount()) MoveColRow(FixedCols(), FixedRows(), true, false);
    SetRow(FixedRows());
}

void TExtStringGrid::UnGroup()
{
    if (FGroupColumn <= 0) return;
    BeginUpdate();
    const bool expandOne = FCellNode->ExpandOne();
    const auto done = qScopeGuard([&] {
        FIsGrouping = false;
        FCellNode->SetExpandOne(expandOne);
        EndUpdate();
    });
    FCellNode->SetExpandOne(false);
    ShowAllRowsForGrouping();
    // Sub-groups go first, the last one made first.
    while (!m_subGroupColumns.empty()) SubUnGroup(m_subGroupColumns.back());

    const int gc = FGroupColumn;
    InsertCols(gc, 1);
    SetColWidths(gc, FGroupWidth);
    if (FixedRows() > 0) SetCells(gc, 0, FGroupCaption);
    if (FixedFooters() > 0) SetCells(gc, RowCount() - 1, FGroupFooter);

    FIsGrouping = true;
    // The header's text stands in column 1, in column 2 when the column put
    // back is column 1.
    const int hc = gc == 1 ? 2 : 1;
    const int first = FixedRows();
    const int n = RowCount() - FixedFooters() - first;
    std::vector<int> kept, gone;
    kept.reserve(size_t(n));
    QString text;
    for (int r = first; r < first + n; ++r) {
        if (IsNode(r)) {
            text = GridCells(hc, r);
            RemoveNode(r);
            gone.push_back(r - first);
        } else if (IsSummary(r)) {
            gone.push_back(r - first);
        } else {
            SetCells(gc, r, text);
            kept.push_back(r - first);
        }
    }
    if (!gone.empty()) {
        std::vector<int> order = kept;
        order.insert(order.end(), gone.begin(), gone.end());
        ArrangeRows(order, first);
        DoRemoveRows(first + int(kept.size()), int(gone.size()), true);
    }
    FIsGrouping = false;
    FGroupColumn = -1;
    Invalidate();
}

// ---------------------------------------------------------------------------
// Sub-groups

void TExtStringGrid::SubGroup(int colIndex)
{
    // The sub-group headers show their text in the next column: the last
    // column has none.
    if (FGroupColumn == -1 || colIndex < FixedCols() || colIndex < 1 || colIndex + 1 >= ColCount()) return;
    // A column sub-grouped already holds its values in its headers.
    if (std::find(m_subGroupColumns.begin(), m_subGroupColumns.end(), colIndex) != m_subGroupColumns.end()) return;
    BeginUpdate();
    const auto done = qScopeGuard([this] { EndUpdate(); });
    ExpandAll();
    m_subGroupColumns.push_back(colIndex);

    const bool mergeHeader = FGrouping->MergeHeader();
    const auto headerLook = [&](int r) {
        if (mergeHeader) {
            MergeCells(colIndex + 1, r, ColCount() - colIndex - 1, 1);
            GroupHeaderLook(r, colIndex + 1);
        } else {
            GroupHeaderLook(r, -1);
        }
    };
    const auto plain = [&](int r) { return !IsNode(r) && !IsSummary(r); };
    const auto closeGroup = [&](int h, int r) {
        AddNode(h, r - h);
        if (TCellGraphic* g = GetCellGraphic(0, h)) g->CellVar = QVariant(colIndex);
    };

    int h = -1;
    bool fresh = true; // the next row opens a sub-group whatever its text
    QString last;
    int r = FixedRows() + 1;
    while (r < RowCount() - FixedFooters()) {
        const QString text = Cells(colIndex, r);
        if (fresh || text != last || !plain(r)) {
            if (h >= 0 && plain(h)) closeGroup(h, r);
            if (plain(r)) {
                InsertChildRow(RealRowOf(r), 0);
                SetCells(colIndex + 1, r, text);
                headerLook(r);
            }
            h = r;
            ++r;
        }
        // The row's value now lives in its sub-group's header.
        if (r < RowCount() - FixedFooters() && plain(r - 1)) {
            last = Cells(colIndex, r);
            SetCells(colIndex, r, QString());
            fresh = false;
            ++r;
        } else {
            fresh = true;
        }
    }
    if (h >= 0 && IsSummary(h)) {
        SetRow(FixedRows());
        return;
    }
    if (h >= 0 && plain(h)) {
        closeGroup(h, r);
        if (mergeHeader) headerLook(h);
    }
    if (FGrouping->Summary()) {
        InsertRows(r, 1, true);
        MarkSummaryRow(RealRowOf(r));
        if (FGrouping->MergeSummary()) {
            MergeCells(colIndex + 1, r, ColCount() - colIndex - 1, 1);
            GroupSummaryLook(r, colIndex + 1);
        } else {
            GroupSummaryLook(r, -1);
        }
    }
    SetRow(FixedRows());
}

void TExtStringGrid::SubUnGroup(int colIndex)
{
    BeginUpdate();
    const auto done = qScopeGuard([this] { EndUpdate(); });
    ExpandAll();
    const auto it = std::find(m_subGroupColumns.rbegin(), m_subGroupColumns.rend(), colIndex);
    if (it != m_subGroupColumns.rend()) m_subGroupColumns.erase(std::next(it).base());
    // Rows get a value only below a header of this column: a column that
    // was never sub-grouped keeps its texts.
    QString text;
    bool seen = false;
    for (int r = FixedRows(); r <= RowCount() - FixedFooters() - 1;) {
        if (IsNode(r)) {
            if (NodeColumn(GetCellGraphic(0, r)) == colIndex) {
                text = Cells(colIndex + 1, r);
                seen = true;
                const int real = RealRowOf(r);
                RemoveNode(real);
                RemoveChildRow(real);
                continue;
            }
        } else if (seen && !IsSummary(r)) {
            SetCells(colIndex, r, text);
        }
        ++r;
    }
}

// ---------------------------------------------------------------------------
// Group results

void TExtStringGrid::GroupCalc(int colIndex, int method)
{
    if (method < 1 || method > 8) return;
    const bool summary = FGrouping->Summary();
    for (int r = FixedRows(); r < RowCount();) {
        if (!IsNode(r) || NodeState(r)) {
            ++r;
            continue;
        }
        const int s = GetNodeSpan(r);
        const int target = summary ? r + s : r;
        const int from = r + 1, to = r + s - 1;
        if (target < RowCount()) {
            switch (method) {
            case 1: SetFloats(colIndex, target, ColumnSum(colIndex, from, to)); break;
            case 2: SetFloats(colIndex, target, ColumnAvg(colIndex, from, to)); break;
            case 3: SetFloats(colIndex, target, ColumnMin(colIndex, from, to)); break;
            case 4: SetFloats(colIndex, target, ColumnMax(colIndex, from, to)); break;
            case 5: SetInts(colIndex, target, s - 1); break;
            case 6: SetFloats(colIndex, target, DoGroupCalc(colIndex, from, to)); break;
            case 7: SetFloats(colIndex, target, ColumnDistinct(colIndex, from, to)); break;
            case 8: SetFloats(colIndex, target, ColumnStdDev(colIndex, from, to)); break;
            }
        }
        r += std::max(s, 1);
    }
    if (FFloatingFooter->Visible()) {
        static constexpr TColumnCalcType kinds[] = {acSUM, acAVG, acMIN, acMAX, acCOUNT};
        if (method <= 5) FFloatingFooter->SetColumnCalc(colIndex, kinds[method - 1]);
    }
}
