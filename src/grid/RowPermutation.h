#pragma once
// Putting a run of rows into a new order through nothing but exchanges of two
// rows, so that everything an exchange carries (cells, heights, flags, cell
// controls) travels with its row.
#include <cstddef>
#include <numeric>
#include <vector>

// Brings positions 0 .. order.size() - 1 into `order`: position p receives
// what stood at order[p] (each position once), with swap(p, q) exchanging
// what stands at p and q, at most one exchange per position. Answers where
// each original ended: where[o] is the new position of what stood at o.
template <typename Swap>
std::vector<int> PermuteBySwaps(const std::vector<int>& order, Swap&& swap)
{
    const int n = int(order.size());
    // at[p]: the original standing at position p; where[o]: the position of
    // original o.
    std::vector<int> at(static_cast<size_t>(n)), where(static_cast<size_t>(n));
    std::iota(at.begin(), at.end(), 0);
    std::iota(where.begin(), where.end(), 0);
    for (int p = 0; p < n; ++p) {
        const int o = order[size_t(p)];
        const int cur = where[size_t(o)];
        if (cur == p) continue;
        swap(p, cur);
        const int moved = at[size_t(p)];
        at[size_t(cur)] = moved;
        where[size_t(moved)] = cur;
        at[size_t(p)] = o;
        where[size_t(o)] = p;
    }
    return where;
}
