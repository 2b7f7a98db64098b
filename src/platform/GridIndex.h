#pragma once
// Typed indexes of grid rows and columns.
//
// A grid that hides columns or rows has two numberings of each axis:
//  - the real index: where the cells are stored (a hidden column keeps its
//    cells at its real index; the store is addressed by real column);
//  - the display index: the place among the columns or rows shown.
// Mixing the two is the classic fault of such grids, so each has its own
// type (T-prefixed: the string grid has read-only properties named `RealCol`
// and `RealRow`, which a type of that name would collide with). They are
// built from a plain number only explicitly (`TRealCol(3)`),
// give it back only explicitly (`.Value()`), never convert into each other,
// and are turned from one kind into the other only by the grid, which knows
// what is hidden: `DisplColIndex(TRealCol)`, `RealColIndex(TDisplCol)`,
// `DisplRowIndex(TRealRow)`, `RealRowIndex(TDisplRow)`.
//
// Signatures where only one kind can be meant keep taking `int` (the cell
// accessors take the real column and the display row as plain numbers, as
// their callers pass them); signatures where both kinds meet take these types.
#include <compare>
#include <ostream>

template <typename Tag>
class TGridIndex {
public:
    constexpr TGridIndex() = default;
    constexpr explicit TGridIndex(int v) : m_v(v) {}
    constexpr int Value() const { return m_v; }
    constexpr bool Valid() const { return m_v >= 0; }
    constexpr auto operator<=>(const TGridIndex&) const = default;

    // Steps within the same numbering.
    constexpr TGridIndex operator+(int n) const { return TGridIndex(m_v + n); }
    constexpr TGridIndex operator-(int n) const { return TGridIndex(m_v - n); }
    constexpr TGridIndex& operator++()
    {
        ++m_v;
        return *this;
    }
    constexpr TGridIndex& operator--()
    {
        --m_v;
        return *this;
    }
    // The distance between two indexes of the same numbering.
    constexpr int operator-(const TGridIndex& o) const { return m_v - o.m_v; }

    friend std::ostream& operator<<(std::ostream& os, const TGridIndex& i) { return os << Tag::Name << i.m_v; }

private:
    int m_v = -1;
};

struct TRealColTag {
    static constexpr const char* Name = "real col ";
};
struct TDisplColTag {
    static constexpr const char* Name = "display col ";
};
struct TRealRowTag {
    static constexpr const char* Name = "real row ";
};
struct TDisplRowTag {
    static constexpr const char* Name = "display row ";
};

using TRealCol = TGridIndex<TRealColTag>;
using TDisplCol = TGridIndex<TDisplColTag>;
using TRealRow = TGridIndex<TRealRowTag>;
using TDisplRow = TGridIndex<TDisplRowTag>;
