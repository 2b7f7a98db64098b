#include "platform/GridsStore.h"

#include <QtGlobal>
#include <algorithm>
#include <utility>

TCellObject::~TCellObject() = default;

bool TGridRowData::Empty() const
{
    for (const TGridCell& c : Cells)
        if (!c.Empty()) return false;
    return true;
}

void TGridRowData::Trim()
{
    while (!Cells.empty() && Cells.back().Empty()) Cells.pop_back();
}

namespace {
const QString& EmptyText()
{
    static const QString empty;
    return empty;
}
} // namespace

void TGridCellStore::SetColCount(int n)
{
    n = std::max(0, n);
    if (n < m_cols) {
        for (size_t r = 0; r < m_rows.size(); ++r) {
            TGridRowData* row = m_rows[r];
            if (row && int(row->Cells.size()) > n) {
                row->Cells.resize(size_t(n));
                TrimRow(int(r));
            }
        }
    }
    m_cols = n;
}

TGridCellStore::~TGridCellStore()
{
    for (TGridRowData* row : m_rows) delete row;
}

void TGridCellStore::SetRowCount(int n)
{
    n = std::max(0, n);
    for (size_t r = size_t(n); r < m_rows.size(); ++r) delete m_rows[r];
    m_rows.resize(size_t(n), nullptr);
}

TGridCell* TGridCellStore::StoredCell(int c, int r)
{
    return const_cast<TGridCell*>(std::as_const(*this).StoredCell(c, r));
}

const QString& TGridCellStore::Text(int c, int r) const
{
    const TGridCell* cell = StoredCell(c, r);
    return cell ? cell->Text : EmptyText();
}

TCellObject* TGridCellStore::Object(int c, int r) const
{
    const TGridCell* cell = StoredCell(c, r);
    return cell ? cell->Object.get() : nullptr;
}

TGridCell* TGridCellStore::CellForWrite(int c, int r)
{
    Q_ASSERT_X(Contains(c, r), "TGridCellStore", "cell outside the grid written");
    if (!Contains(c, r)) return nullptr;
    TGridRowData*& row = m_rows[size_t(r)];
    if (!row) {
        row = new TGridRowData;
        // Tables mostly fill whole rows: give a new row the full width at
        // once, unless the grid is very wide.
        if (m_cols <= 64) row->Cells.reserve(size_t(m_cols));
    }
    if (size_t(c) >= row->Cells.size()) row->Cells.resize(size_t(c) + 1);
    return &row->Cells[size_t(c)];
}

void TGridCellStore::TrimAfterClear(int c, int r)
{
    if (size_t(c) + 1 == m_rows[size_t(r)]->Cells.size()) TrimRow(r);
}

void TGridCellStore::TrimRow(int r)
{
    TGridRowData*& row = m_rows[size_t(r)];
    if (!row) return;
    row->Trim();
    if (row->Cells.empty()) {
        delete row;
        row = nullptr;
    }
}

void TGridCellStore::SetText(int c, int r, const QString& s)
{
    if (s.isEmpty()) {
        Q_ASSERT_X(Contains(c, r), "TGridCellStore", "cell outside the grid written");
        if (TGridCell* cell = StoredCell(c, r)) {
            cell->Text.clear();
            TrimAfterClear(c, r);
        }
        return;
    }
    if (TGridCell* cell = CellForWrite(c, r)) cell->Text = s;
}

void TGridCellStore::SetObject(int c, int r, std::unique_ptr<TCellObject> obj)
{
    if (!obj) {
        Q_ASSERT_X(Contains(c, r), "TGridCellStore", "cell outside the grid written");
        if (TGridCell* cell = StoredCell(c, r)) {
            cell->Object.reset();
            TrimAfterClear(c, r);
        }
        return;
    }
    TGridCell* cell = CellForWrite(c, r);
    if (!cell) return; // the object is freed: nothing outside the grid owns it
    if (cell->Object.get() == obj.get()) {
        (void)obj.release(); // the cell already owns it
        return;
    }
    cell->Object = std::move(obj);
}

std::unique_ptr<TCellObject> TGridCellStore::ReleaseObject(int c, int r)
{
    TGridCell* cell = StoredCell(c, r);
    if (!cell) return nullptr;
    std::unique_ptr<TCellObject> o = std::move(cell->Object);
    TrimAfterClear(c, r);
    return o;
}

void TGridCellStore::ClearCell(int c, int r)
{
    TGridCell* cell = StoredCell(c, r);
    if (!cell) return;
    *cell = TGridCell();
    TrimAfterClear(c, r);
}

void TGridCellStore::InsertRows(int at, int n)
{
    if (n <= 0) return;
    at = std::clamp(at, 0, RowCount());
    m_rows.insert(m_rows.begin() + at, size_t(n), nullptr);
}

void TGridCellStore::DeleteRows(int at, int n)
{
    if (at < 0 || at >= RowCount() || n <= 0) return;
    n = std::min(n, RowCount() - at);
    for (int r = at; r < at + n; ++r) delete m_rows[size_t(r)];
    m_rows.erase(m_rows.begin() + at, m_rows.begin() + at + n);
}

void TGridCellStore::MoveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= RowCount() || to >= RowCount()) return;
    if (from < to)
        std::rotate(m_rows.begin() + from, m_rows.begin() + from + 1, m_rows.begin() + to + 1);
    else
        std::rotate(m_rows.begin() + to, m_rows.begin() + from, m_rows.begin() + from + 1);
}

void TGridCellStore::SwapRows(int a, int b)
{
    if (a < 0 || b < 0 || a >= RowCount() || b >= RowCount()) return;
    std::swap(m_rows[size_t(a)], m_rows[size_t(b)]);
}

void TGridCellStore::InsertCols(int at, int n)
{
    if (n <= 0) return;
    at = std::clamp(at, 0, m_cols);
    m_cols += n;
    for (TGridRowData* row : m_rows) {
        if (!row || size_t(at) >= row->Cells.size()) continue;
        const size_t old = row->Cells.size();
        row->Cells.resize(old + size_t(n));
        std::rotate(row->Cells.begin() + at, row->Cells.begin() + long(old), row->Cells.end());
    }
}

void TGridCellStore::DeleteCols(int at, int n)
{
    if (at < 0 || at >= m_cols || n <= 0) return;
    n = std::min(n, m_cols - at);
    m_cols -= n;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        TGridRowData* row = m_rows[r];
        if (!row || size_t(at) >= row->Cells.size()) continue;
        const size_t end = std::min(row->Cells.size(), size_t(at + n));
        row->Cells.erase(row->Cells.begin() + at, row->Cells.begin() + long(end));
        TrimRow(int(r));
    }
}

void TGridCellStore::MoveCol(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= m_cols || to >= m_cols) return;
    const size_t need = size_t(std::max(from, to)) + 1;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        TGridRowData* row = m_rows[r];
        if (!row) continue;
        if (row->Cells.size() <= size_t(std::min(from, to))) continue; // nothing in the range
        if (row->Cells.size() < need) row->Cells.resize(need);
        auto b = row->Cells.begin();
        if (from < to)
            std::rotate(b + from, b + from + 1, b + to + 1);
        else
            std::rotate(b + to, b + from, b + from + 1);
        TrimRow(int(r));
    }
}

std::unique_ptr<TGridRowData> TGridCellStore::TakeRow(int r)
{
    if (r < 0 || r >= RowCount()) return nullptr;
    TGridRowData* row = m_rows[size_t(r)];
    m_rows[size_t(r)] = nullptr;
    return std::unique_ptr<TGridRowData>(row);
}

void TGridCellStore::PutRow(int r, std::unique_ptr<TGridRowData> row)
{
    Q_ASSERT_X(r >= 0 && r < RowCount(), "TGridCellStore", "row outside the grid written");
    if (r < 0 || r >= RowCount()) return;
    if (row && int(row->Cells.size()) > m_cols) row->Cells.resize(size_t(m_cols));
    delete m_rows[size_t(r)];
    m_rows[size_t(r)] = row.release();
    TrimRow(r);
}

const TGridRowData* TGridCellStore::RowData(int r) const
{
    if (r < 0 || r >= RowCount()) return nullptr;
    return m_rows[size_t(r)];
}

size_t TGridCellStore::FilledCellCount() const
{
    size_t n = 0;
    for (const TGridRowData* row : m_rows)
        if (row)
            for (const TGridCell& c : row->Cells)
                if (!c.Empty()) ++n;
    return n;
}

size_t TGridCellStore::MemoryBytes() const
{
    size_t bytes = m_rows.capacity() * sizeof(void*);
    for (const TGridRowData* row : m_rows) {
        if (!row) continue;
        bytes += sizeof(TGridRowData) + row->Cells.capacity() * sizeof(TGridCell);
        // Every text buffer is counted, shared ones too (an upper bound).
        for (const TGridCell& c : row->Cells)
            if (c.Text.capacity() > 0) bytes += 16 + size_t(c.Text.capacity() + 1) * sizeof(QChar);
    }
    return bytes;
}
