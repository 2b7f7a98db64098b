#pragma once
// The windows a string grid makes for itself and keeps for its whole life:
// the floating-footer panel and the search panel under the cells, the two
// filter drop-down lists, the scroll hint window, the header drag button and
// the thin touch scroll indicators.
//
// Here they are what the grid's life cycle needs: each knows its grid,
// starts with its defaults (hidden, empty), is put into the grid's window
// when the window is made (TGridCompanionWindows::Parent) and is freed by
// the grid. Their drawing and input handling belong to the footer, search,
// filter and scroll code.
//
// The grid's window may be deleted by its parent before the grid; the
// companions put into it are then taken out of it again first, so that they
// live on with the grid.
#include "controls/ExtObjSettings.h"
#include "platform/Graphics.h"

#include <QListWidget>
#include <QWidget>
#include <functional>
#include <vector>

class TExtStringGrid;

// A panel that keeps itself at the bottom of its parent, as wide as the
// parent, at its own height.
class TGridBottomPanel : public QWidget {
public:
    explicit TGridBottomPanel(TExtStringGrid* grid);
    TExtStringGrid* Grid() const { return FGrid; }
    int PanelHeight() const { return FHeight; }
    // Stores the height and places the panel again.
    void SetPanelHeight(int h);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int w) { FBorderWidth = w < 0 ? 0 : w; }
    // Puts the panel at the bottom of its parent.
    void Realign();
    void Invalidate() { update(); }
    void Repaint() { repaint(); }

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    TExtStringGrid* FGrid;
    int FHeight = 0;
    int FBorderWidth = 0;
};

// The panel that shows the floating footer row.
class TFooterPanel : public TGridBottomPanel {
public:
    explicit TFooterPanel(TExtStringGrid* grid);
};

// The panel of the search footer.
class TSearchPanel : public TGridBottomPanel {
public:
    // The height of the panel while the search footer is shown.
    static constexpr int ShownHeight = 32;
    explicit TSearchPanel(TExtStringGrid* grid);
    // Takes the search footer's settings; shown at ShownHeight (when in a
    // window) while the footer is visible, hidden at height 0 otherwise.
    void UpdateSearchFooter(const TSearchFooter& footer);
    const TSearchFooter& Settings() const { return FSettings; }

    // The panel's events, bound by the grid to its search-footer handlers.
    std::function<void(TSearchPanel* sender, const QString& value)> OnEditChange;
    std::function<void(TSearchPanel* sender)> OnBackward;
    std::function<void(TSearchPanel* sender)> OnForward;
    std::function<void(TSearchPanel* sender)> OnExit;
    std::function<void(TSearchPanel* sender)> OnHighlight;

private:
    TSearchFooter FSettings;
};

// The single-choice list of a column's filter drop-down.
class TDropList : public QListWidget {
public:
    explicit TDropList(TExtStringGrid* grid);
    TExtStringGrid* Grid() const { return FGrid; }
    // A filter entry was chosen: its index.
    std::function<void(TDropList* sender, int itemIndex)> OnSelect;

private:
    TExtStringGrid* FGrid;
};

// The multi-choice (check) list of a column's filter drop-down.
class TDropCheckList : public QListWidget {
public:
    explicit TDropCheckList(TExtStringGrid* grid);
    TExtStringGrid* Grid() const { return FGrid; }
    // An entry was ticked or unticked (index -1).
    std::function<void(TDropCheckList* sender, int itemIndex)> OnSelect;

private:
    TExtStringGrid* FGrid;
};

// The hint window that shows mini-HTML text; the grid's scroll hint.
class THTMLHintWindow : public QWidget {
public:
    THTMLHintWindow();
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    QString Text() const { return FText; }
    void SetText(const QString& v) { FText = v; }

private:
    TColor FColor = clInfoBk;
    QString FText;
};

// The button shown while a column header is dragged.
class THeaderDragButton : public QWidget {
public:
    explicit THeaderDragButton(TExtStringGrid* grid);
    TExtStringGrid* Grid() const { return FGrid; }

private:
    TExtStringGrid* FGrid;
};

// The thin touch scroll indicator of the metro scroll type.
class TScrollControl : public QWidget {
public:
    enum { sdVertical = 0, sdHorizontal = 1 };
    TScrollControl(TExtStringGrid* grid, int direction);
    TExtStringGrid* Grid() const { return FGrid; }
    int Direction() const { return FDirection; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v)
    {
        FColor = v;
        update();
    }
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int v) { FScrollWidth = v; }

private:
    TExtStringGrid* FGrid;
    int FDirection;
    TColor FColor = clSilver;
    int FScrollWidth = 4;
};

// Puts companion windows into the grid's window and takes them out again
// when that window is deleted before them.
namespace TGridCompanionWindows {
void Parent(QWidget* window, const std::vector<QWidget*>& companions);
}
