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
#include "grid/ExtGridFilterViews.h"
#include "platform/Graphics.h"

#include <QLineEdit>
#include <QListWidget>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class TExtStringGrid;
class TCustomImageList;
class TPictureContainer;
struct TSlimThumb;
class QMouseEvent;
class QPaintEvent;

class TCanvas;
class TFooterPanel;
class TRetEdit;
class TExtGridButton;
class TExtCheckBox;
class QKeyEvent;
class QFocusEvent;
class QListWidgetItem;

// Paints a footer cell, the footer's preview area or the whole strip:
// the panel, the column, the panel's canvas and the rectangle.
using TFooterPaintEvent = std::function<void(TFooterPanel* sender, int acolumn, TCanvas& canvas, const TRect& rect)>;

// A panel under the grid's cells. The grid's window keeps a bottom margin
// as high as its shown panels: the footer panel sits right below the
// cells, the search panel below it, both as wide as the cells, so no row is
// ever painted under them.
class TGridBottomPanel : public QWidget {
public:
    explicit TGridBottomPanel(TExtStringGrid* grid);
    TExtStringGrid* Grid() const { return FGrid; }
    int PanelHeight() const { return FHeight; }
    // Stores the height (never below 0) and lays the panels out again.
    void SetPanelHeight(int h);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int w) { FBorderWidth = w < 0 ? 0 : w; }
    // Lays out the grid's bottom panels and its margin.
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

// Gives the grid's window a bottom margin as high as its shown bottom
// panels and puts them there: the footer right under the cells, the search
// bar under the footer.
void LayoutGridBottomPanels(TExtStringGrid& grid);

// One column of the footer strip and its width.
struct TFooterColumn {
    int Col;
    int Width;
};
// The columns of the footer strip from the left: the fixed columns, then
// the columns from the grid's left column to its last.
std::vector<TFooterColumn> FooterColumns(TExtStringGrid& grid);
// The column under x: the first whose right edge (running sum of widths
// from 0) is at x or beyond it; -1 when x lies past the last column.
int FooterColumnAt(const std::vector<TFooterColumn>& columns, int x);
// A footer template with each "<#n>" replaced by cellText(n): the text of
// column n, or nothing when n is no decimal number or no column of
// 0..colCount-1 (no cell outside the grid is read). A "<#" without a
// closing ">" is shown as it stands, with the rest of the template.
QString ExpandFooterTemplate(const QString& tmpl, int colCount, const std::function<QString(int col)>& cellText);

// The panel that shows the floating footer: the footer row, a preview of a
// column or a template, or the application's painting. Hints come from the
// grid's OnGridHint for the footer column under the mouse; a release fires
// the grid's OnClick and OnClickCell.
class TFooterPanel : public TGridBottomPanel {
public:
    explicit TFooterPanel(TExtStringGrid* grid);
    // The panel's own hint switch (the footer's ShowHint).
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v) { FShowHint = v; }
    // The footer column of the last hint shown, -1 when none.
    int LastHintCol() const { return FLastHintCol; }
    // The footer column under x within the panel, -1 when none.
    int ColumnAt(int x) const;
    // The panel is in the grid's window: its height from the footer's
    // settings, then the grid's OnCreatedFloatingFooter.
    void CreateWnd();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    // Paints the footer row; the right edge of the last cell.
    int PaintFooterRow(TCanvas& canvas, const std::vector<TFooterColumn>& columns);
    // The preview frame over 0..w, the strip beyond it in the grid's colour.
    void PaintPreviewFrame(TCanvas& canvas, int w);

    bool FShowHint = false;
    int FLastHintCol = -1;
};

// The search bar's text box: Enter fires OnReturn, Ctrl+Enter OnCtrlReturn,
// and neither goes further (no dialog's default button sees them, no line
// break is typed).
class TRetEdit : public QLineEdit {
public:
    explicit TRetEdit(QWidget* parent = nullptr);
    std::function<void(TRetEdit* sender)> OnReturn;
    std::function<void(TRetEdit* sender)> OnCtrlReturn;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};

// The search bar under the cells: the text box, the find-next,
// find-previous, highlight and close buttons and the match-case box, on a
// flat or banded background with a grid-line coloured top line.
class TSearchPanel : public TGridBottomPanel, public ISearchBarView {
public:
    // The height of the panel while the search footer is shown.
    static constexpr int ShownHeight = 32;
    explicit TSearchPanel(TExtStringGrid* grid);
    ~TSearchPanel() override;

    // The background runs from Color at the top to ColorTo at the bottom in
    // 32 bands; ColorTo clNone: flat Color.
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);

    QString FindNextCaption, FindPrevCaption, MatchCaseCaption, HighLightCaption;
    QString HintClose, HintFindNext, HintFindPrev, HintHighlight;

    TRetEdit* EditControl() const { return FEdit; }
    TExtGridButton* ForwardButton() const { return FForward; }
    TExtGridButton* BackwardButton() const { return FBackward; }
    TExtGridButton* HiliteButton() const { return FHilite; }
    TExtGridButton* ExitButton() const { return FExit; }
    TExtCheckBox* MatchCaseBox() const { return FMatchCase; }

    // The panel is in the grid's window: its controls placed and wired,
    // then the grid's OnCreatedSearchFooter.
    void CreateWnd();
    // Takes the search footer's settings: colours, captions, hints, font,
    // shown parts and button look; shown at ShownHeight while the footer is
    // visible (and the panel in a window), hidden at height 0 otherwise.
    void UpdateSearchFooter(const TSearchFooter& footer);
    const TSearchFooter& Settings() const { return FSettings; }

    // What the grid's search handlers read and set.
    QString Text() const override;
    TColor BoxColor() const override;
    void SetBoxColor(TColor color) override;
    bool HighlightDown() const override;
    bool MatchCase() const override;
    void Repaint() override { repaint(); }

    // The panel's events, bound by the grid to its search-footer handlers.
    std::function<void(TSearchPanel* sender)> OnBackwardClick;
    std::function<void(TSearchPanel* sender)> OnEditChange;
    std::function<void(TSearchPanel* sender)> OnForwardClick;
    std::function<void(TSearchPanel* sender)> OnHighlightClick;
    std::function<void(TSearchPanel* sender)> OnExitClick;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    // Puts the controls at their places (mirrored right to left).
    void PlaceControls();
    void TextChanged();

    TColor FColor = clBtnFace;
    TColor FColorTo = clNone;
    TSearchFooter FSettings;
    TRetEdit* FEdit;
    TExtGridButton* FForward;
    TExtGridButton* FBackward;
    TExtGridButton* FExit;
    TExtGridButton* FHilite;
    TExtCheckBox* FMatchCase;
};

// While a filter list is shown, a press anywhere outside it closes it; a
// press on the filter button of the open column leaves the open column for
// the button's own release to close.
class TFilterListCloser;

// The single-choice list of a column's filter drop-down. Enter or a mouse
// release hides it and fires OnSelect with the current item; losing the
// focus or a press outside it with the pointer outside closes it.
class TDropList : public QListWidget, public IFilterListView {
public:
    int EntryCount() const override { return count(); }
    QString Entry(int index) const override;
    bool Checked(int index) const override;
    void Repaint() override { viewport()->update(); }
    explicit TDropList(TExtStringGrid* grid);
    ~TDropList() override;
    TExtStringGrid* Grid() const { return FGrid; }
    // A filter entry was chosen: its index.
    std::function<void(TDropList* sender, int itemIndex)> OnSelect;
    // The cancel-mode handling: with the pointer (global position) outside
    // the list, the grid's open filter column becomes -1 and the list hides.
    void CancelMode(QPoint globalPos);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void Select();
    TExtStringGrid* FGrid;
    std::unique_ptr<TFilterListCloser> FCloser;
};

// The multi-choice (check) list of a column's filter drop-down. Each tick
// or untick fires OnSelect(-1) and the list stays open; it closes as the
// single-choice list does.
class TDropCheckList : public QListWidget, public IFilterListView {
public:
    int EntryCount() const override { return count(); }
    QString Entry(int index) const override;
    bool Checked(int index) const override;
    void Repaint() override { viewport()->update(); }
    explicit TDropCheckList(TExtStringGrid* grid);
    ~TDropCheckList() override;
    TExtStringGrid* Grid() const { return FGrid; }
    // An entry was ticked or unticked (index -1).
    std::function<void(TDropCheckList* sender, int itemIndex)> OnSelect;
    void CancelMode(QPoint globalPos);
    // Adds an entry with its tick (no OnSelect).
    void AddEntry(const QString& text, bool checked);

protected:
    void focusOutEvent(QFocusEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void ItemChanged(QListWidgetItem* item);
    TExtStringGrid* FGrid;
    std::unique_ptr<TFilterListCloser> FCloser;
    bool FFilling = false;
};

// A frameless pop-up window with a one-pixel border that never takes the
// activation: showing it or clicking on it leaves the active window as it
// is, and it takes no input.
class TNoActiveForm : public QWidget {
public:
    explicit TNoActiveForm(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;
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
