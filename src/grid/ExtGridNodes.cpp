// Tree nodes of the string grid: node rows, their nesting levels, expanding
// and contracting, rows inserted into or removed from a node, and the
// per-row indent painting uses.
//
// A node is a ctNode graphic in column 0 of its row: CellBoolean tells it is
// contracted, CellIndex is its span (rows covered counting its own, 0: up to
// the next node row), CellErrFrom its sub-node count. The span counts rows
// as they stand when every node is expanded. Contracting parks the child
// rows in the hidden-row store as items of kind hkNode, so rows hidden by a
// program or a filter are never shown by expanding, and a node brings back
// only the rows parked between its own row and the next row shown.
#include "grid/ExtGrid.h"

#include <QScopeGuard>
#include <algorithm>
#include <climits>

namespace {

TCellGraphic* NodeOf(TCellGraphic* g) { return g && g->CellType == TCellType::ctNode ? g : nullptr; }

// The node graphic of a parked row (column 0), or null.
const TCellGraphic* ParkedNode(const TGridItem& item)
{
    const auto& cells = item.Row().Cells;
    if (cells.empty()) return nullptr;
    const auto* p = dynamic_cast<const TCellProperties*>(cells[0].Object.get());
    if (!p) return nullptr;
    const auto* g = dynamic_cast<const TCellGraphic*>(p->GraphicObject());
    return g && g->CellType == TCellType::ctNode ? g : nullptr;
}

} // namespace

// ---------------------------------------------------------------------------
// Queries

bool TExtStringGrid::IsNode(int r) { return r >= 0 && GetCellType(0, r) == TCellType::ctNode; }

bool TExtStringGrid::IsSummary(int r) { return r >= 0 && GetCellType(0, r) == TCellType::ctSummary; }

bool TExtStringGrid::GetNodeState(int r)
{
    const TCellGraphic* g = r >= 0 && r < RowCount() ? NodeOf(GetCellGraphic(0, r)) : nullptr;
    return g && g->CellBoolean;
}

void TExtStringGrid::SetNodeState(int r, bool contracted)
{
    if (!IsNode(r) || r >= RowCount() || GetNodeState(r) == contracted) return;
    if (contracted)
        ContractNode(RealRowOf(r));
    else
        ExpandNode(RealRowOf(r));
}

int TExtStringGrid::GetNodeLevel(int r)
{
    if (!IsNode(r) || r >= RowCount()) return -1;
    const TCellProperties* p = CellPropsOrNull(0, r);
    return p ? p->NodeLevel() : 0;
}

int TExtStringGrid::GetNodeSpan(int r)
{
    const TCellGraphic* g = r >= 0 && r < RowCount() ? NodeOf(GetCellGraphic(0, r)) : nullptr;
    return g ? g->CellIndex : -1;
}

void TExtStringGrid::SetNodeSpan(int r, int span)
{
    if (TCellGraphic* g = r >= 0 && r < RowCount() ? NodeOf(GetCellGraphic(0, r)) : nullptr) g->CellIndex = span;
}

void TExtStringGrid::UpdateNodeSpan(int r, int delta)
{
    if (TCellGraphic* g = r >= 0 && r < RowCount() ? NodeOf(GetCellGraphic(0, r)) : nullptr) g->CellIndex += delta;
}

int TExtStringGrid::GetSubNodeCount(int r)
{
    const TCellGraphic* g = r >= 0 && r < RowCount() ? NodeOf(GetCellGraphic(0, r)) : nullptr;
    return g ? g->CellErrFrom : 0;
}

void TExtStringGrid::UpdateSubNodeCount(int r, int delta)
{
    if (TCellGraphic* g = r >= 0 && r < RowCount() ? NodeOf(GetCellGraphic(0, r)) : nullptr) g->CellErrFrom += delta;
}

int TExtStringGrid::GetParentRow(int r)
{
    if (!HasNodes() || r < 0 || r >= RowCount()) return -1;
    int limit = 65535;
    int answer = -1;
    if (IsNode(r)) {
        limit = GetNodeLevel(r);
        answer = r;
    }
    // Walking up: a contracted node above shows only its own row, so the
    // rows it covers no longer count for the nodes around it.
    int hiddenBelow = 0;
    for (int i = r; i >= FixedRows(); --i) {
        if (!IsNode(i) || GetNodeLevel(i) >= limit) continue;
        const int span = GetNodeSpan(i);
        if (GetNodeState(i)) hiddenBelow += span - 1;
        if (r < i + span - hiddenBelow) return i;
    }
    return answer;
}

int TExtStringGrid::GetNodeSpanType(int r)
{
    if (IsNode(r)) return 0;
    if (r < 0 || r >= RowCount()) return 1;
    if (r < RowCount() - FixedFooters() - 1) {
        const TCellProperties* next = CellPropsOrNull(0, r + 1);
        const TCellProperties* self = CellPropsOrNull(0, r);
        if (next && next->NodeLevel() >= (self ? self->NodeLevel() : 0)) return 2;
    }
    return 1;
}

int TExtStringGrid::GetNodeIndent(int r)
{
    if (!HasNodes() || r < 0 || r >= RowCount()) return 0;
    const TCellProperties* p = CellPropsOrNull(0, r);
    return p ? p->NodeLevel() * FCellNode->NodeIndent() : 0;
}

bool TExtStringGrid::IsNodeGlyphHit(int r, int x)
{
    if (!FMouseActions->PreciseNodeClick()) return true;
    const TCellProperties* p = r >= 0 && r < RowCount() ? CellPropsOrNull(0, r) : nullptr;
    const int level = p ? p->NodeLevel() : 0;
    const int indent = FCellNode->NodeIndent();
    const bool glyph = !FCellNode->ExpandGlyph().isNull();
    int left = 0, right = 0;
    switch (FCellNode->NodeType()) {
    case TNodeType::cn3D: right = 6; break;
    case TNodeType::cnGlyph:
        right = glyph ? FCellNode->ExpandGlyph().width() / 2 : 0;
        left = glyph ? 2 : 0;
        break;
    case TNodeType::cnLeaf:
        right = 8;
        left = 2;
        break;
    case TNodeType::cnFlat:
    case TNodeType::cnXP:
        right = 4;
        left = 4;
        break;
    }
    return left + (level - 1) * indent < x && x < right + level * indent;
}

// ---------------------------------------------------------------------------
// Adding and removing nodes

void TExtStringGrid::AddNode(int realRow, int span)
{
    if (realRow < 0 || IsHiddenRow(realRow)) return;
    const int n = DisplRowOf(realRow);
    if (n >= RowCount()) return;
    // The span never reaches past the last row.
    span = std::clamp(span, 0, RowCount() - n);
    TCellGraphic* g = CreateCellGraphic(0, n);
    if (!g) return;
    g->CellType = TCellType::ctNode;
    g->CellBoolean = false;
    g->CellIndex = span;
    g->CellErrFrom = 0;
    g->CellAngle = n;
    g->CellVar = QVariant(-1);
    g->CellHAlign = TCellHAlign::haBeforeText;
    g->CellVAlign = TCellVAlign::vaCenter;
    for (int i = n; i < n + span; ++i) {
        TCellProperties* p = GetCellProperties(0, i);
        p->SetNodeLevel(p->NodeLevel() + 1);
    }
    if (FNumNodes == 0) Invalidate();
    ++FNumNodes;
    if (Col() == 0 && ColCount() > 1) SetCol(1);
}

void TExtStringGrid::MarkSummaryRow(int realRow)
{
    if (realRow < 0 || IsHiddenRow(realRow)) return;
    if (TCellGraphic* g = CreateCellGraphic(0, DisplRowOf(realRow))) g->CellType = TCellType::ctSummary;
}

void TExtStringGrid::RemoveNode(int realRow)
{
    if (realRow < 0 || IsHiddenRow(realRow)) return;
    int n = DisplRowOf(realRow);
    if (!IsNode(n)) return;
    ExpandNode(realRow);
    n = DisplRowOf(realRow);
    const int span = GetNodeSpan(n);
    for (int i = n; i < std::min(n + span, RowCount()); ++i)
        if (TCellProperties* p = CellPropsOrNull(0, i)) p->SetNodeLevel(std::max(0, p->NodeLevel() - 1));
    RemoveCellGraphic(0, n);
    if (FNumNodes > 0) --FNumNodes;
}

void TExtStringGrid::RemoveAllNodes()
{
    for (int r = 0; r < RowCount(); ++r) {
        if (!IsNode(r)) continue;
        DoExpandNode(r);
        const int span = GetNodeSpan(r);
        for (int i = r; i < std::min(r + span, RowCount()); ++i)
            if (TCellProperties* p = CellPropsOrNull(0, i)) p->SetNodeLevel(std::max(0, p->NodeLevel() - 1));
        RemoveCellGraphic(0, r);
        if (FNumNodes > 0) --FNumNodes;
    }
    Invalidate();
}

// ---------------------------------------------------------------------------
// Expanding and contracting

std::vector<int> TExtStringGrid::DisplayRealRows() const
{
    std::vector<int> real;
    real.reserve(size_t(RowCount()));
    int i = 0;
    for (int r = 0; int(real.size()) < RowCount(); ++r) {
        if (i < FGridItems.Count() && FGridItems.Items(i).Idx() == r) {
            ++i;
            continue;
        }
        real.push_back(r);
    }
    return real;
}

void TExtStringGrid::CollectNodeRows(int n, const TCellGraphic& g, int realN, int realNext,
                                     std::vector<const TGridItem*>& out)
{
    (void)n;
    // The rows this node parked lie between its row and the next row shown;
    // a node with a span holds at most span - 1 of them, one without stops
    // at the next node row.
    int left = g.CellIndex > 0 ? g.CellIndex - 1 : INT_MAX;
    for (int i = FGridItems.LowerBound(realN + 1); i < FGridItems.Count() && left > 0; ++i) {
        const TGridItem& item = FGridItems.Items(i);
        if (realNext >= 0 && item.Idx() >= realNext) break;
        if (g.CellIndex == 0 && ParkedNode(item)) break;
        if (item.Kind() != THiddenRowKind::hkNode) continue;
        out.push_back(&item);
        --left;
    }
}

void TExtStringGrid::DoExpandNode(int n)
{
    TCellGraphic* g = n >= 0 && n < RowCount() ? NodeOf(GetCellGraphic(0, n)) : nullptr;
    if (!g || !g->CellBoolean) return;
    g->CellBoolean = false;
    const int realN = RealRowOf(n);
    const int realNext = n + 1 < RowCount() ? RealRowOf(n + 1) : -1;
    std::vector<const TGridItem*> rows;
    CollectNodeRows(n, *g, realN, realNext, rows);
    if (rows.empty()) return;

    const int realRow = RealRowOf(Row());
    const int realTop = RealRowOf(TopRow());
    const bool disjunct = FMouseActions->DisjunctRowSelect();
    FMouseActions->SetDisjunctRowSelectDirect(false);
    const TGridOptions options = Options();
    const bool rowSelect = options.Contains(goRowSelect);
    if (rowSelect) {
        TGridOptions o = options;
        o.Exclude(goRowSelect);
        SetOptions(o);
    }
    const bool update = FControlList.Count() == 0;
    if (update) BeginUpdate();

    std::sort(rows.begin(), rows.end());
    // Parked nested nodes come back expanded: their rows come back with them.
    for (const TGridItem* item : rows)
        if (const TCellGraphic* inner = ParkedNode(*item)) const_cast<TCellGraphic*>(inner)->CellBoolean = false;
    ShowHiddenRows([&](const TGridItem& item) { return std::binary_search(rows.begin(), rows.end(), &item); });

    if (rowSelect) {
        SetOptions(options);
        SetRow(DisplRowOf(realRow));
        SetTopRow(DisplRowOf(realTop));
    }
    FMouseActions->SetDisjunctRowSelectDirect(disjunct);
    if (update) EndUpdate();
}

void TExtStringGrid::ExpandNode(int realRow)
{
    if (realRow < 0) return;
    if (FCellNode->ExpandOne()) {
        // Every other expanded node folds first; the nodes holding this row
        // stay open, else the row would vanish with them.
        std::vector<int> holders;
        if (!IsHiddenRow(realRow))
            for (int p = GetParentRow(DisplRowOf(realRow)), last = -1; p >= 0 && p != last; last = p, p = GetParentRow(p))
                holders.push_back(RealRowOf(p));
        for (int r = FixedRows(); r < RowCount(); ++r) {
            const int real = RealRowOf(r);
            if (IsNode(r) && !GetNodeState(r) && real != realRow &&
                std::find(holders.begin(), holders.end(), real) == holders.end())
                ContractNode(real);
        }
    }
    if (IsHiddenRow(realRow)) return;
    const int n = DisplRowOf(realRow);
    if (!GetNodeState(n)) return;
    DoExpandNode(n);
    CalcFooter(-1);
}

void TExtStringGrid::ContractNode(int realRow)
{
    if (realRow < 0 || IsHiddenRow(realRow)) return;
    HideInplaceEdit();
    const bool oldForce = FForceSel;
    FForceSel = true;
    const auto restore = qScopeGuard([&] { FForceSel = oldForce; });
    const int n = DisplRowOf(realRow);
    TCellGraphic* g = n < RowCount() ? NodeOf(GetCellGraphic(0, n)) : nullptr;
    if (!g || g->CellBoolean) return;
    g->CellBoolean = true;
    const int lastData = RowCount() - FixedFooters();
    int end = lastData;
    if (g->CellIndex > 0) {
        end = n + g->CellIndex;
    } else {
        for (int r = n + 1; r < lastData; ++r)
            if (IsNode(r)) {
                end = r;
                break;
            }
    }
    // A contracted node inside shows only its own row: the end comes up by
    // the rows it holds, and it joins this node's parked block expanded.
    std::vector<int> rows;
    for (int r = n + 1; r < std::min(end, lastData); ++r) {
        if (TCellGraphic* inner = NodeOf(GetCellGraphic(0, r)); inner && inner->CellBoolean) {
            inner->CellBoolean = false;
            end = std::max(r + 1, end - std::max(0, inner->CellIndex - 1));
        }
        rows.push_back(RealRowOf(r));
    }
    HideRealRows(std::move(rows), THiddenRowKind::hkNode, 0);
    FForceSel = oldForce;
    CalcFooter(-1);
}

void TExtStringGrid::ExpandAll()
{
    BeginUpdate();
    {
        const auto done = qScopeGuard([this] { EndUpdate(); });
        const std::vector<int> real = DisplayRealRows();
        std::vector<const TGridItem*> rows;
        for (int r = FixedRows(); r < RowCount(); ++r) {
            TCellGraphic* g = NodeOf(GetCellGraphic(0, r));
            if (!g || !g->CellBoolean) continue;
            g->CellBoolean = false;
            CollectNodeRows(r, *g, real[size_t(r)], r + 1 < RowCount() ? real[size_t(r) + 1] : -1, rows);
        }
        if (!rows.empty()) {
            std::sort(rows.begin(), rows.end());
            for (const TGridItem* item : rows)
                if (const TCellGraphic* inner = ParkedNode(*item)) const_cast<TCellGraphic*>(inner)->CellBoolean = false;
            ShowHiddenRows([&](const TGridItem& item) { return std::binary_search(rows.begin(), rows.end(), &item); });
        }
    }
    CalcFooter(-1);
}

void TExtStringGrid::ContractAll()
{
    BeginUpdate();
    {
        const auto done = qScopeGuard([this] { EndUpdate(); });
        ExpandAll();
        const std::vector<int> real = DisplayRealRows();
        const int lastData = RowCount() - FixedFooters();
        std::vector<int> rows;
        for (int r = FixedRows(); r < lastData;) {
            TCellGraphic* g = NodeOf(GetCellGraphic(0, r));
            if (!g) {
                ++r;
                continue;
            }
            g->CellBoolean = true;
            int end = lastData;
            if (g->CellIndex > 0) {
                end = std::min(r + g->CellIndex, lastData);
            } else {
                for (int i = r + 1; i < lastData; ++i)
                    if (IsNode(i)) {
                        end = i;
                        break;
                    }
            }
            // Nodes nested inside stay expanded within the parked block.
            for (int i = r + 1; i < end; ++i) rows.push_back(real[size_t(i)]);
            r = std::max(end, r + 1);
        }
        HideRealRows(std::move(rows), THiddenRowKind::hkNode, 0);
    }
    CellControlsUpdate(false);
    CalcFooter(-1);
}

// ---------------------------------------------------------------------------
// Rows inside nodes

void TExtStringGrid::InsertNormalRow(int realRow)
{
    // Inserting moves the parked rows behind the place one down itself.
    if (realRow < 0) return;
    InsertRows(DisplRowOf(realRow), 1);
}

void TExtStringGrid::RemoveNormalRow(int r)
{
    if (IsNode(r)) {
        DoExpandNode(r);
        if (FNumNodes > 0) --FNumNodes;
    }
    RemoveRows(r, 1);
}

void TExtStringGrid::InsertChildRow(int realRow, int insertAt)
{
    if (realRow < 0 || IsHiddenRow(realRow)) return;
    int d = DisplRowOf(realRow);
    if (d >= RowCount()) return;
    int p = GetParentRow(d);
    const int realP = p >= 0 ? RealRowOf(p) : -1;
    int level = 1;
    int parentLevel = 0;
    if (p >= 0) {
        UpdateNodeSpan(p, 1);
        UpdateSubNodeCount(p, 1);
        ExpandNode(realP);
        p = DisplRowOf(realP);
        level = parentLevel = GetNodeLevel(p);
    }
    // Every node around the parent grows by the row too.
    for (int cur = p; level > 1 && cur >= FixedRows();) {
        const int q = GetParentRow(cur);
        if (q < 0 || q == cur) break;
        if (GetNodeLevel(q) < level) {
            const int realQ = RealRowOf(q);
            UpdateNodeSpan(q, 1);
            UpdateSubNodeCount(q, 1);
            ExpandNode(realQ);
            level = GetNodeLevel(DisplRowOf(realQ));
            cur = DisplRowOf(realQ);
        } else {
            cur = q;
        }
    }
    d = DisplRowOf(realRow);
    bool firstChild = false;
    if (IsNode(d) && insertAt == 0) {
        insertAt = 1;
        firstChild = true;
    }
    const int at = d + insertAt;
    // InsertRows moves the parked rows at and behind the place one down.
    InsertRows(at, 1, true);
    if (firstChild) {
        // The node row's texts and objects (but its node graphic) go to the
        // new first child; the node row is left empty.
        for (int c = 0; c < TotalColCount(); ++c) {
            SetCells(c, d + 1, Cells(c, d));
            SetCells(c, d, QString());
            if (c > 0) SetGridObjects(c, d + 1, Store().ReleaseObject(c, d));
        }
    }
    if (p >= 0) GetCellProperties(0, at)->SetNodeLevel(parentLevel);
}

void TExtStringGrid::RemoveChildRow(int realRow)
{
    if (realRow < 0 || IsHiddenRow(realRow)) return;
    int d = DisplRowOf(realRow);
    if (d >= RowCount()) return;
    int p = GetParentRow(d);
    if (p >= 0 && p != d) {
        const int level = GetNodeLevel(p);
        if (GetNodeSpan(p) > 1) {
            UpdateNodeSpan(p, -1);
            UpdateSubNodeCount(p, -1);
        }
        for (;;) {
            const int realP = RealRowOf(p);
            ExpandNode(realP);
            p = DisplRowOf(realP);
            if (GetNodeLevel(p) <= 1) break;
            const int q = GetParentRow(p);
            if (q < 0 || q == p || GetNodeLevel(q) >= level) break;
            p = q;
            if (GetNodeSpan(p) > 1) {
                UpdateNodeSpan(p, -1);
                UpdateSubNodeCount(p, -1);
            }
        }
    }
    d = DisplRowOf(realRow);
    // A node row that goes takes its node with it; its parked rows come
    // back first, else they would stay out of reach.
    if (IsNode(d)) {
        DoExpandNode(d);
        if (FNumNodes > 0) --FNumNodes;
    }
    // Removing moves the in-cell controls below up and lowers the row maximum.
    RemoveRowsInternal(d, 1);
}

// ---------------------------------------------------------------------------
// The node glyph clicked

bool TExtStringGrid::NodeButtonClick(int /*c*/, int r)
{
    if (!IsNode(r) || r >= RowCount()) return false;
    const int real = RealRowOf(r);
    bool allow = true;
    if (GetNodeState(r)) {
        if (OnBeforeExpandNode) OnBeforeExpandNode(this, r, real, allow);
        if (!allow) return false;
        ExpandNode(real);
        if (OnExpandNode) OnExpandNode(this, r, real);
    } else {
        if (OnBeforeContractNode) OnBeforeContractNode(this, r, real, allow);
        if (!allow) return false;
        ContractNode(real);
        if (OnContractNode) OnContractNode(this, r, real);
    }
    return true;
}
