// Putting rows into a new order through exchanges of two rows.
#include "grid/RowPermutation.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <utility>

TEST(RowPermutation, SwapsBringEveryPositionItsRowAndTellWhereEachWent)
{
    const std::vector<std::vector<int>> orders = {
        {},
        {0},
        {0, 1, 2, 3},
        {3, 2, 1, 0},
        {1, 2, 3, 0},
        {2, 0, 1, 4, 3},
        {5, 3, 0, 4, 1, 2},
    };
    for (const std::vector<int>& order : orders) {
        const int n = int(order.size());
        std::vector<int> rows(order.size());
        for (int i = 0; i < n; ++i) rows[size_t(i)] = 100 + i;
        int swaps = 0;
        const std::vector<int> where = PermuteBySwaps(order, [&](int p, int q) {
            ++swaps;
            ASSERT_NE(p, q);
            std::swap(rows[size_t(p)], rows[size_t(q)]);
        });
        ASSERT_EQ(where.size(), order.size());
        for (int p = 0; p < n; ++p) {
            EXPECT_EQ(rows[size_t(p)], 100 + order[size_t(p)]) << "position " << p;
            EXPECT_EQ(where[size_t(order[size_t(p)])], p) << "original " << order[size_t(p)];
        }
        EXPECT_LT(swaps, std::max(n, 1));
    }
}
