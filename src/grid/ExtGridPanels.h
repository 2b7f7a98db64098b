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
class TCustomImageList;
class TPictureContainer;
struct TSlimThumb;
class QMouseEvent;
class QPaintEvent;

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

// The hint window that shows mini-HTML text and encoded wide text: the grid's
// scroll position hint, and the cell hints whose text carries markup. A
// frameless tool-tip window that never takes the focus. Its user sets the
// text, shows it at a screen point and hides it:
//     hint.ActivateHint(QPoint(x, y), text);   ...   hint.ReleaseHandle();
class THTMLHintWindow : public QWidget {
public:
    THTMLHintWindow();
    // The background colour.
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    // The text as given (the window's caption).
    QString Text() const { return FText; }
    void SetText(const QString& v);
    // Where "IDX:n" pictures and named pictures of the text come from.
    void SetImages(const TCustomImageList* v) { FImages = v; }
    void SetPictureContainer(TPictureContainer* v) { FPictureContainer = v; }
    // The family of the font an encoded wide text is drawn in (the grid's).
    void SetWideFontName(const QString& v) { FWideFontName = v; }

    // The size the text needs: (0, 0, width, height), an encoded wide text
    // measured as one line within maxWidth, else the mini-HTML text.
    QRect CalcHintRect(int maxWidth, const QString& hint);
    // Sets the text, sizes the window to it (8 pixels of margin for a wide
    // text, 16 for mini-HTML, 4 in height) with its top-left at the screen
    // point, kept 2 pixels inside the screen under that point, and shows it
    // on top without taking the focus.
    void ActivateHint(QPoint topLeft, const QString& hint);
    // The same with a rectangle's top-left corner.
    void ActivateHint(const QRect& rect, const QString& hint) { ActivateHint(rect.topLeft(), hint); }
    // Hides the window.
    void ReleaseHandle() { hide(); }
    // The text's measured size at the last ActivateHint.
    int TextWidth() const { return FTextWidth; }
    int TextHeight() const { return FTextHeight; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QSize MeasureText(const QString& hint, int maxWidth);
    QFont WideFont() const;

    TColor FColor = clInfoBk;
    QString FText;
    QString FWideCaption;
    QString FWideFontName;
    const TCustomImageList* FImages = nullptr;
    TPictureContainer* FPictureContainer = nullptr;
    int FTextWidth = 0;
    int FTextHeight = 0;
};

// The small window that shows a header cell's text while a column or row is
// dragged: the grid's header cell look, the caption centred on it (mini-HTML
// when it holds a closing tag, else one line cut with an ellipsis).
class THeaderDragButton : public QWidget {
public:
    explicit THeaderDragButton(TExtStringGrid* grid);
    TExtStringGrid* Grid() const { return FGrid; }
    void SetGrid(TExtStringGrid* g) { FGrid = g; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v) { FFlat = v; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TExtStringGrid* FGrid;
    QString FCaption;
    bool FFlat = false;
};

// The slim scroll bar of the metro scroll type: a strip along the grid's
// right edge (vertical) or bottom edge (horizontal) that shows only a thumb
// over the grid's picture; a press beside the thumb scrolls a page, a drag
// of the thumb scrolls along.
class TScrollControl : public QWidget {
public:
    enum { sdVertical = 0, sdHorizontal = 1 };
    TScrollControl(TExtStringGrid* grid, int direction);
    TExtStringGrid* Grid() const { return FGrid; }
    int Direction() const { return FDirection; }
    void SetDirection(int v) { FDirection = v; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v)
    {
        if (v == FColor) return;
        FColor = v;
        update();
    }
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int v) { FScrollWidth = v; }
    // The thumb as it stands now for the grid.
    TSlimThumb Thumb() const;
    bool Dragging() const { return FDragging; }

    // Along the right (vertical) or bottom (horizontal) edge of its parent,
    // at its own thickness.
    void Realign();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TExtStringGrid* FGrid;
    int FDirection;
    TColor FColor = clSilver;
    int FScrollWidth = 4;
    bool FDragging = false;
    int FDragStart = 0;
    int FDragFirst = 0;
};

// Puts companion windows into the grid's window and takes them out again
// when that window is deleted before them.
namespace TGridCompanionWindows {
void Parent(QWidget* window, const std::vector<QWidget*>& companions);
}
