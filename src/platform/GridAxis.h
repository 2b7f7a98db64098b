#pragma once
// One axis of a grid's geometry: the columns (widths) or the rows (heights).
// A grid has two, used the same way, so that every rule of the viewport (fixed
// sections at the start, the first scrollable section shown, what fits, where
// a point falls, how far to scroll) is written once.
//
// Sections are numbered 0 .. Count() - 1 in the order the grid shows them.
// Sections 0 .. FixedCount() - 1 stay at the start of the client area; the
// scrollable ones follow from First(). Each section is followed by a line of
// LineWidth() pixels. A hidden section takes no room (no size, no line) and
// is never hit, but keeps its size for when it is shown again.
//
// Logical and visual numbering: the logical index is the section's number;
// the visual index counts only the sections not hidden (VisualIndex /
// LogicalIndex convert; a hidden section has no visual index, -1).
//
// Start positions are cached as running sums, so that SectionStart,
// IndexAt, VisibleCount, MaxFirst and ScrollInView are O(log n) on any number
// of sections. A change keeps the sums before the first section it touched;
// the rest are summed again when a query first needs them, so that adding or
// removing sections at the end costs in proportion to the sections changed.
#include <cstddef>
#include <cstdint>
#include <vector>

class TGridAxis {
public:
    int Count() const { return int(m_sizes.size()); }
    // New sections get DefaultSize().
    void SetCount(int n);
    void Insert(int at, int n);
    void Remove(int at, int n);
    // Moves one section (its size and hidden state) from `from` to `to`.
    void Move(int from, int to);

    int DefaultSize() const { return m_defaultSize; }
    // Only for sections made from now on; ResetSizes applies it to all.
    void SetDefaultSize(int s) { m_defaultSize = s < 0 ? 0 : s; }
    void ResetSizes();
    int Size(int i) const { return i >= 0 && i < Count() ? m_sizes[size_t(i)] : 0; }
    void SetSize(int i, int s);

    int FixedCount() const { return m_fixed; }
    void SetFixedCount(int n) { m_fixed = n < 0 ? 0 : n; }
    // The first scrollable section shown (LeftCol / TopRow).
    int First() const { return m_first; }
    void SetFirst(int i) { m_first = i; }
    int LineWidth() const { return m_line; }
    void SetLineWidth(int w);
    // The length of the client area along this axis.
    int ClientExtent() const { return m_client; }
    void SetClientExtent(int e) { m_client = e < 0 ? 0 : e; }

    // --- hidden sections ---------------------------------------------------
    bool IsHidden(int i) const { return i >= 0 && i < Count() && m_hidden[size_t(i)]; }
    void SetHidden(int i, bool hidden);
    int HiddenCount() const;
    // Visual index of a logical section (-1 when hidden or outside) and the
    // logical section of a visual index (-1 outside).
    int VisualIndex(int logical) const;
    int LogicalIndex(int visual) const;

    // --- geometry ------------------------------------------------------------
    // Room taken by the fixed sections (with their lines).
    int FixedExtent() const;
    // Client position of section i, visible or scrolled away (negative or
    // past the client area).
    int SectionStart(int i) const;
    // Whether section i starts inside the client area and is not scrolled
    // away or hidden.
    bool IsVisible(int i) const;
    // Scrollable sections shown whole from First() (at least 1 while there is
    // any scrollable section).
    int VisibleCount() const;
    // The last First() that still fills the client area.
    int MaxFirst() const;
    // The section under client position p; -1 outside the sections.
    int IndexAt(int p) const;
    // The section shown whose far edge lies within `tolerance` pixels of
    // client position p (where the mouse sizes it); -1 when none.
    int SizingEdgeAt(int p, int tolerance) const;
    // Puts First() into its valid range; answers whether it changed.
    bool Clamp();
    // Scrolls so that section i is shown whole where possible; answers
    // whether First() changed.
    bool ScrollInView(int i);

private:
    // Room of section i: its size and line, 0 when hidden.
    int64_t Extent(int i) const { return m_hidden[size_t(i)] ? 0 : int64_t(m_sizes[size_t(i)]) + m_line; }
    // Sections from `from` on changed: the sums before it stay valid.
    void Changed(int from) const;
    // Makes the sums of sections 0 .. upto - 1 valid (upto is clamped to
    // Count()).
    void Validate(int upto) const;
    // Sum of the extents of sections 0 .. i - 1 (i in 0 .. Count()).
    int64_t StartOf(int i) const;
    // Sections not hidden among 0 .. i - 1.
    int ShownBefore(int i) const;
    int FixedShown() const { return m_fixed < Count() ? m_fixed : Count(); }

    std::vector<int> m_sizes;
    std::vector<char> m_hidden;
    int m_defaultSize = 64;
    int m_fixed = 0;
    int m_first = 0;
    int m_line = 1;
    int m_client = 0;
    // m_starts[k] and m_shown[k] (k in 0 .. m_valid) hold StartOf(k) and
    // ShownBefore(k); entries past m_valid are stale.
    mutable int m_valid = 0;
    mutable std::vector<int64_t> m_starts{0};
    mutable std::vector<int> m_shown{0};
};
