#include "platform/GridAxis.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {
int ToInt(int64_t v)
{
    return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}
} // namespace

void TGridAxis::SetCount(int n)
{
    n = std::max(0, n);
    // The count before the change: sections below it and below n are kept.
    const int old = Count();
    m_sizes.resize(size_t(n), m_defaultSize);
    m_hidden.resize(size_t(n), 0);
    Changed(std::min(old, n));
}

void TGridAxis::Insert(int at, int n)
{
    if (n <= 0) return;
    at = std::clamp(at, 0, Count());
    m_sizes.insert(m_sizes.begin() + at, size_t(n), m_defaultSize);
    m_hidden.insert(m_hidden.begin() + at, size_t(n), 0);
    Changed(at);
}

void TGridAxis::Remove(int at, int n)
{
    if (at < 0 || at >= Count() || n <= 0) return;
    n = std::min(n, Count() - at);
    m_sizes.erase(m_sizes.begin() + at, m_sizes.begin() + at + n);
    m_hidden.erase(m_hidden.begin() + at, m_hidden.begin() + at + n);
    Changed(at);
}

void TGridAxis::Move(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= Count() || to >= Count()) return;
    auto rotate = [from, to](auto& v) {
        auto b = v.begin();
        if (from < to)
            std::rotate(b + from, b + from + 1, b + to + 1);
        else
            std::rotate(b + to, b + from, b + from + 1);
    };
    rotate(m_sizes);
    rotate(m_hidden);
    Changed(std::min(from, to));
}

void TGridAxis::ResetSizes()
{
    std::fill(m_sizes.begin(), m_sizes.end(), m_defaultSize);
    Changed(0);
}

void TGridAxis::SetSize(int i, int s)
{
    if (i < 0 || i >= Count()) return;
    s = std::max(0, s);
    if (m_sizes[size_t(i)] == s) return;
    m_sizes[size_t(i)] = s;
    Changed(i);
}

void TGridAxis::SetLineWidth(int w)
{
    w = std::max(0, w);
    if (w == m_line) return;
    m_line = w;
    Changed(0);
}

void TGridAxis::SetHidden(int i, bool hidden)
{
    if (i < 0 || i >= Count() || bool(m_hidden[size_t(i)]) == hidden) return;
    m_hidden[size_t(i)] = hidden ? 1 : 0;
    Changed(i);
}

int TGridAxis::HiddenCount() const
{
    return Count() - ShownBefore(Count());
}

void TGridAxis::Changed(int from) const
{
    m_valid = std::clamp(from, 0, m_valid);
}

void TGridAxis::Validate(int upto) const
{
    const int n = Count();
    upto = std::clamp(upto, 0, n);
    if (upto <= m_valid) return;
    // The tables follow the count; resizing keeps the valid prefix.
    if (m_starts.size() != size_t(n) + 1) {
        m_starts.resize(size_t(n) + 1);
        m_shown.resize(size_t(n) + 1);
    }
    int64_t start = m_starts[size_t(m_valid)];
    int shown = m_shown[size_t(m_valid)];
    for (int i = m_valid; i < upto; ++i) {
        start += Extent(i);
        shown += m_hidden[size_t(i)] ? 0 : 1;
        m_starts[size_t(i) + 1] = start;
        m_shown[size_t(i) + 1] = shown;
    }
    m_valid = upto;
}

int64_t TGridAxis::StartOf(int i) const
{
    i = std::clamp(i, 0, Count());
    Validate(i);
    return m_starts[size_t(i)];
}

int TGridAxis::ShownBefore(int i) const
{
    i = std::clamp(i, 0, Count());
    Validate(i);
    return m_shown[size_t(i)];
}

int TGridAxis::VisualIndex(int logical) const
{
    if (logical < 0 || logical >= Count() || m_hidden[size_t(logical)]) return -1;
    return ShownBefore(logical);
}

int TGridAxis::LogicalIndex(int visual) const
{
    if (visual < 0 || visual >= ShownBefore(Count())) return -1;
    // The first section with visual + 1 shown sections up to and including it.
    auto it = std::lower_bound(m_shown.begin(), m_shown.begin() + Count() + 1, visual + 1);
    return int(it - m_shown.begin()) - 1;
}

int TGridAxis::FixedExtent() const
{
    return ToInt(StartOf(FixedShown()));
}

int TGridAxis::SectionStart(int i) const
{
    if (i < m_fixed) return ToInt(StartOf(i));
    return ToInt(FixedExtent() + StartOf(i) - StartOf(m_first));
}

bool TGridAxis::IsVisible(int i) const
{
    if (i < 0 || i >= Count() || IsHidden(i)) return false;
    if (i >= m_fixed && i < m_first) return false;
    return SectionStart(i) < m_client;
}

int TGridAxis::VisibleCount() const
{
    if (Count() <= m_fixed) return 0;
    const int first = std::clamp(m_first, 0, Count());
    // Section c fits whole when its end, StartOf(c + 1) - line, lies within
    // the room left after the fixed sections.
    const int64_t limit = int64_t(m_client) - FixedExtent() + StartOf(first) + m_line;
    Validate(Count());
    auto b = m_starts.begin();
    auto it = std::upper_bound(b + first + 1, b + Count() + 1, limit);
    // Sections first .. k - 2 fit, where *it = StartOf(k).
    const int k = int(it - b);
    const int fit = ShownBefore(k - 1) - ShownBefore(first);
    return std::max(1, fit);
}

int TGridAxis::MaxFirst() const
{
    if (Count() <= m_fixed) return m_fixed;
    const int64_t avail = int64_t(m_client) - FixedExtent();
    // The smallest F whose sections F .. Count() - 1 fit whole.
    const int64_t target = StartOf(Count()) - m_line - avail;
    auto b = m_starts.begin();
    auto it = std::lower_bound(b + m_fixed, b + Count() + 1, target);
    return std::clamp(int(it - b), m_fixed, Count() - 1);
}

int TGridAxis::IndexAt(int p) const
{
    if (p < 0) return -1;
    const int fixedExt = FixedExtent();
    int lo, hi;
    int64_t target;
    if (p < fixedExt) {
        lo = 0;
        hi = FixedShown();
        target = p;
    } else {
        if (m_first < 0 || m_first >= Count()) return -1;
        lo = m_first;
        hi = Count();
        target = int64_t(p) - fixedExt + StartOf(m_first);
    }
    Validate(hi);
    auto b = m_starts.begin();
    auto it = std::upper_bound(b + lo + 1, b + hi + 1, target);
    if (it == b + hi + 1) return -1;
    return int(it - b) - 1;
}

bool TGridAxis::Clamp()
{
    const int old = m_first;
    m_first = std::clamp(m_first, m_fixed, std::max(m_fixed, MaxFirst()));
    return old != m_first;
}

bool TGridAxis::ScrollInView(int i)
{
    if (i < m_fixed || i >= Count()) return false;
    const int old = m_first;
    if (i < m_first) {
        m_first = i;
    } else {
        const int64_t avail = int64_t(m_client) - FixedExtent();
        if (StartOf(i + 1) - StartOf(m_first) - m_line > avail) {
            // Make i the last section shown whole: the smallest first section
            // from which i still fits.
            const int64_t target = StartOf(i + 1) - m_line - avail;
            auto b = m_starts.begin();
            auto it = std::lower_bound(b + m_fixed, b + i + 1, target);
            m_first = std::min(i, int(it - b));
        }
    }
    return old != m_first;
}

int TGridAxis::SizingEdgeAt(int p, int tolerance) const
{
    auto near = [&](int i) {
        const int start = SectionStart(i);
        return !IsHidden(i) && std::abs(p - (start + Size(i))) <= tolerance;
    };
    for (int i = 0; i < FixedShown(); ++i)
        if (near(i)) return i;
    for (int i = std::max(m_first, m_fixed); i < Count() && SectionStart(i) < m_client; ++i)
        if (near(i)) return i;
    return -1;
}
