#pragma once
// A grid that reports each time an editor asks whether its edit may modify
// the cell: the tests of the text, combo and drop-down editors count the
// questions against the keys they type.
#include "grid/ExtGrid.h"

#include <functional>

class TModifyQueryGrid : public TExtStringGrid {
public:
    std::function<void()> OnModifyQuery;
    bool CanEditModify() override
    {
        if (OnModifyQuery) OnModifyQuery();
        return TExtStringGrid::CanEditModify();
    }
};
