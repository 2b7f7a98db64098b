#pragma once
// The cell store of the string grid: one text and one owned object per cell,
// kept sparsely. The store is a list of rows; a row is held by pointer and
// exists only once one of its cells got a text or an object, and it holds
// cells only up to its last used column. Inserting, deleting, moving or
// parking a row therefore moves one pointer per row and never copies the
// cells of other rows.
#include <QString>
#include <cstddef>
#include <memory>
#include <vector>

// Base of every object a cell can own (the per-cell properties, graphics,
// calculation objects). Owned by the cell that holds it.
class TCellObject {
public:
    virtual ~TCellObject();
};

struct TGridCell {
    QString Text;
    std::unique_ptr<TCellObject> Object;
    bool Empty() const { return Text.isEmpty() && !Object; }
};

// One row of the store: its cells from column 0 up to the last used one.
class TGridRowData {
public:
    std::vector<TGridCell> Cells;
    bool Empty() const;
    // Drops unused cells at the end.
    void Trim();
};

class TGridCellStore {
public:
    TGridCellStore() = default;
    ~TGridCellStore();
    TGridCellStore(const TGridCellStore&) = delete;
    TGridCellStore& operator=(const TGridCellStore&) = delete;

    int ColCount() const { return m_cols; }
    int RowCount() const { return int(m_rows.size()); }
    // Shrinking drops the cells (and frees the objects) beyond the new size.
    void SetColCount(int n);
    void SetRowCount(int n);
    bool Contains(int c, int r) const { return c >= 0 && r >= 0 && c < m_cols && r < RowCount(); }

    // The stored cell at c, r; nullptr when it is outside the grid or nothing
    // was stored there. One lookup for a reader that wants text and object;
    // inline, as every cell read of the grid goes through it.
    const TGridCell* StoredCell(int c, int r) const
    {
        if (!Contains(c, r)) return nullptr;
        const TGridRowData* row = m_rows[size_t(r)];
        if (!row || size_t(c) >= row->Cells.size()) return nullptr;
        return &row->Cells[size_t(c)];
    }
    // Reading outside the store answers the empty text and no object.
    const QString& Text(int c, int r) const;
    TCellObject* Object(int c, int r) const;
    // Writing outside the store is ignored (and asserts in debug builds).
    // Writing the empty text into a cell without object drops its entry.
    void SetText(int c, int r, const QString& s);
    // The cell owns the object from then on; the one it held before is freed
    // unless it is the same object.
    void SetObject(int c, int r, std::unique_ptr<TCellObject> obj);
    std::unique_ptr<TCellObject> ReleaseObject(int c, int r);
    // Empties a cell (text and object).
    void ClearCell(int c, int r);

    void InsertRows(int at, int n);
    void DeleteRows(int at, int n);
    void MoveRow(int from, int to);
    void SwapRows(int a, int b);
    void InsertCols(int at, int n);
    void DeleteCols(int at, int n);
    void MoveCol(int from, int to);
    // The row's data, taken out (the row stays, empty); nullptr for an empty row.
    std::unique_ptr<TGridRowData> TakeRow(int r);
    // Replaces row r by the given data (nullptr empties it). Cells past the
    // column count are dropped.
    void PutRow(int r, std::unique_ptr<TGridRowData> row);
    // The row's data or nullptr when the row has no cell.
    const TGridRowData* RowData(int r) const;

    // Number of cells that hold a text or an object.
    size_t FilledCellCount() const;
    // Bytes held by the store (rows, cells, text buffers; not the objects).
    size_t MemoryBytes() const;

    // Calls f(c, r, object) for every cell that owns an object.
    template <typename F>
    void ForEachObject(F&& f) const
    {
        for (size_t r = 0; r < m_rows.size(); ++r) {
            const TGridRowData* row = m_rows[r];
            if (!row) continue;
            for (size_t c = 0; c < row->Cells.size(); ++c)
                if (row->Cells[c].Object) f(int(c), int(r), row->Cells[c].Object.get());
        }
    }

private:
    TGridCell* StoredCell(int c, int r);
    TGridCell* CellForWrite(int c, int r);
    // After a part of the stored cell c, r was cleared: when it is the last
    // cell of its row, the row drops its empty tail.
    void TrimAfterClear(int c, int r);
    void TrimRow(int r);

    int m_cols = 0;
    // Owned rows (nullptr for a row without cells), held as plain pointers
    // so that inserting and deleting rows moves them as a block.
    std::vector<TGridRowData*> m_rows;
};
