#pragma once
// The two widgets the grid's filter and search handlers talk to, seen
// through small interfaces so that the handlers work (and are tested)
// without them: the open filter drop-down list and the search bar under the
// cells. The widgets implement these and register themselves with the grid
// (TExtStringGrid::SetFilterListView, SetSearchBarView); without one the
// handlers see an empty list or an empty, plain bar.
#include "platform/Graphics.h"

#include <QString>

// The filter drop-down list that is open under a column's filter button:
// its entries (the display names the grid's filter list gave it, in the same
// order) and, for the check list, their ticks.
class IFilterListView {
public:
    virtual ~IFilterListView() = default;
    virtual int EntryCount() const = 0;
    virtual QString Entry(int index) const = 0;
    // Whether entry `index` is ticked (always false in a single-choice list).
    virtual bool Checked(int index) const = 0;
    virtual void Repaint() = 0;
};

// The search bar: its text box (text and colour), the highlight button and
// the match-case box.
class ISearchBarView {
public:
    virtual ~ISearchBarView() = default;
    virtual QString Text() const = 0;
    virtual TColor BoxColor() const = 0;
    virtual void SetBoxColor(TColor color) = 0;
    // Whether the highlight button is pressed.
    virtual bool HighlightDown() const = 0;
    // Whether the match-case box is ticked.
    virtual bool MatchCase() const = 0;
    virtual void Repaint() = 0;
};
