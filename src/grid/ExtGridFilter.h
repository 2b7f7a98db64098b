#pragma once
// The conditions of a grid's row filter (TFilter, a list of TFilterData) and
// the options of its text search (TFindParams). The grid evaluates the
// conditions itself (TExtStringGrid::MatchFilterRow); here is only the data.
#include "controls/ExtObjSettings.h"
#include "platform/Grids.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class TExtStringGrid;

// How a condition's result joins the result of the conditions before it.
enum class TFilterOperation : uint8_t {
    foSHORT, // takes the result; a failure ends the test with False
    foNONE,  // takes the result
    foAND,
    foXOR,
    foOR
};
// Which text of the cell a condition tests.
enum class TFilterCells : uint8_t {
    fcVirtual,    // the display text
    fcNormal,     // the stored text
    fcStripHTML,  // the text without mini-HTML tags
    fcCalculated, // the formula-cell text
    fcRow         // every cell text of the row, each followed by CR LF
};
// How the condition is compared: as a filter expression, or as the exact
// (case-sensitive) whole text.
enum class TFilterMethod : uint8_t { fmExpression, fmLiteral };

// One condition of a filter.
class TFilterData {
public:
    // Column whose cell is tested (real index).
    KR_FIELD_PROP(int, Column, 0)
    // The condition; an empty one lets every row pass.
    KR_FIELD_PROP(QString, Condition, QString())
    KR_FIELD_PROP(bool, CaseSensitive, true)
    // Removed from the end of the tested text when it ends the text.
    KR_FIELD_PROP(QString, Suffix, QString())
    // Removed from the start of the tested text when it begins it.
    KR_FIELD_PROP(QString, Prefix, QString())
    KR_FIELD_PROP(TFilterOperation, Operation, TFilterOperation::foSHORT)
    KR_FIELD_PROP(TFilterCells, Data, TFilterCells::fcVirtual)
    KR_FIELD_PROP(TFilterMethod, Method, TFilterMethod::fmExpression)
public:
    // Copies every field of src, the method included (a copied literal
    // condition stays literal).
    void Assign(const TFilterData& src);
};

// The conditions of a grid, tested in order. Items are indexed from 0; an
// index outside 0 .. Count() - 1 raises Exception "List index out of bounds
// (n)".
class TFilter {
public:
    // The grid that owns the conditions (may be null).
    explicit TFilter(TExtStringGrid* owner = nullptr) : FOwner(owner) {}
    TFilter(const TFilter&) = delete;
    TFilter& operator=(const TFilter&) = delete;
    TExtStringGrid* Owner() const { return FOwner; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TFilterData& Items(int index);
    const TFilterData& Items(int index) const;
    // Copies v into the item at index.
    void SetItems(int index, const TFilterData& v);
    // Appends a condition: foNONE when it is the only one, else foAND.
    TFilterData& Add();
    // A condition placed at index (clamped to 0 .. Count()); its operation
    // stays foSHORT.
    TFilterData& Insert(int index);
    void Delete(int index);
    void Clear();
    // Copies the conditions of src.
    void Assign(const TFilter& src);
    // The first condition of column c; a new one (by Add) when it has none.
    TFilterData& GetColFilter(int c);
    bool HasFilter(int c) const;
    // Deletes every condition of column c, then repaints that column's cell
    // in row 0 of the owning grid.
    void RemoveColumnFilter(int c);

private:
    TExtStringGrid* FOwner;
    std::vector<std::unique_ptr<TFilterData>> FItems;
};

// The options of a text search.
enum class TFindParameters : uint8_t {
    fnMatchCase,            // compare case-sensitively
    fnMatchFull,            // the whole cell text must equal the search text
    fnMatchRegular,         // the search text is a filter condition
    fnDirectionLeftRight,   // row by row, left to right (else column by column)
    fnMatchStart,           // the cell text must begin with the search text
    fnFindInCurrentRow,     // only the current row
    fnFindInCurrentCol,     // only the current column
    fnIncludeFixed,         // fixed rows and columns too
    fnAutoGoto,             // a found cell becomes the current cell
    fnIgnoreHTMLTags,       // mini-HTML tags are removed from the cell text first
    fnBackward,             // search backwards
    fnIncludeHiddenColumns, // hidden columns too
    fnFindInPresetCol,      // only the column FindCol
    fnFindInPresetRow,      // only the row FindRow
    fnSelectedCells,        // only the selection rectangle
    fnIncludeHiddenRows     // hidden rows too
};
using TFindParams = TSet<TFindParameters>;
