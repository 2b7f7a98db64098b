// The string grid's mouse: the left-button press and release, the double
// click, the right button, mouse moves over the cells (links, fixed-cell
// sizing, select modes) and the cursor. The decisions are the plain
// functions of ExtGridMouse.h; this file gathers the facts and acts.
#include "grid/ExtGridMouse.h"

#include "controls/EsgHTMLE.h"
#include "controls/ExtUtil.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridEditors.h"
#include "platform/GridsWidget.h"
#include "platform/Menus.h"
#include "platform/Shell.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QPixmap>
#include <QToolTip>
#include <algorithm>
#include <cmath>

static void InitCursorResources() { Q_INIT_RESOURCE(ExtGridCursors); }

namespace GridMouse {

int FixedBorderAt(const std::vector<int>& sizes, int pos)
{
    int p = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const int border = p + sizes[i];
        if (std::abs(border - pos) < FixedSizingDistance) return int(i);
        p += sizes[i] + 1;
    }
    return -1;
}

bool NearSideBorder(const TRect& cell, int x, int distance)
{
    return std::abs(x - cell.Left) <= distance || std::abs(x - cell.Right) <= distance;
}

bool InFixedDropDownButton(const TRect& cell, int x, bool colSizing)
{
    const int d = colSizing ? 2 : 0;
    return x > cell.Right - FixedButtonWidth && x < cell.Right - d;
}

bool InsideFixedEditInset(const TRect& cell, int x, int y)
{
    return x > cell.Left + FixedEditInset && x < cell.Right - FixedEditInset && y > cell.Top + FixedEditInset &&
           y < cell.Bottom - FixedEditInset;
}

int HeaderDblClickColumn(const TRect& cell, int x, int col, int fixedCols)
{
    if (std::abs(x - cell.Left) <= HeaderBorderDistance) return col - 1 >= fixedCols ? col - 1 : -1;
    if (std::abs(x - cell.Right) <= HeaderBorderDistance) return col >= fixedCols ? col : -1;
    return -1;
}

double RatingAt(int dx) { return dx < 0 ? 0.0 : (dx / 9) / 2.0; }

void SizingProbe(int col, int row, int x, int y, int& px, int& py)
{
    px = col == 0 ? x : x - 5;
    py = row == 0 ? y : y - 4;
    if (col == 0) py = y - 4;
    if (row == 0) px = x - 5;
    if (col == 0 && row == 0) {
        px = x;
        py = y;
    }
}

bool ReleaseMaySort(const TSortFacts& f, bool& doSort)
{
    doSort = true;
    if (f.AfterAutoSize || f.OnSizingBorder || f.OnHeaderButton) return false;
    if (!f.SortRow || !f.HasFixedRows || f.InCheckBox || !f.Show || f.EnhancedMoveEnded || f.RowCount <= 2)
        return false;
    if (f.Ignored) doSort = false;
    return true;
}

void ApplySortIndexClick(TSortIndexList& list, int col, bool indexKeyDown, bool initAscending)
{
    if (indexKeyDown) {
        if (list.FindIndex(col) >= 0)
            list.ToggleIndex(col);
        else
            list.AddIndex(col, initAscending);
        return;
    }
    if (list.Count() == 1 && list.FindIndex(col) == 0) {
        list.ToggleIndex(col);
        return;
    }
    list.Clear();
    list.AddIndex(col, initAscending);
}

TSortStep NextSortStep(int sortColumn, bool ascending, int clicked, bool initAscending, bool undoSort)
{
    TSortStep s;
    if (clicked == sortColumn) {
        if (ascending != initAscending && undoSort) {
            s.Undo = true;
            s.Column = -1;
            s.Ascending = initAscending;
            return s;
        }
        s.Column = clicked;
        s.Ascending = !ascending;
        return s;
    }
    s.Column = clicked;
    s.Ascending = initAscending;
    return s;
}

bool CellAnchorTarget(const QString& anchor, int& col, int& row)
{
    const qsizetype at = anchor.toUpper().indexOf(QStringLiteral("CELL://"));
    if (at < 0) return false;
    QPoint p;
    if (!ParseRowColRef(anchor.mid(at + 7), p)) return false;
    col = p.x();
    row = p.y();
    return true;
}

} // namespace GridMouse

using namespace GridMouse;
using enum TShiftStateItem;

// --- small helpers -------------------------------------------------------------------------

TShiftState TExtStringGrid::PressShift(TShiftState s)
{
    if (s.Contains(ssAlt)) return {ssAlt};
    if (s.Contains(ssShift)) return {ssShift};
    if (s.Contains(ssCtrl)) return {ssCtrl};
    return {};
}

void TExtStringGrid::FocusGrid()
{
    if (HandleAllocated() && Widget()->isVisible()) Widget()->setFocus(Qt::MouseFocusReason);
}

int TExtStringGrid::FixedSizingColumnAt(int x) const
{
    std::vector<int> w;
    for (int i = 0; i < TCustomGrid::FixedCols(); ++i) w.push_back(ColWidths(i));
    return FixedBorderAt(w, x);
}

int TExtStringGrid::FixedSizingRowAt(int y) const
{
    std::vector<int> h;
    for (int i = 0; i < TCustomGrid::FixedRows(); ++i) h.push_back(RowHeights(i));
    return FixedBorderAt(h, y);
}

bool TExtStringGrid::IsHoverFixedCell(int c, int r) const
{
    const THoverFixedCells h = HoverFixedCells();
    if (h == THoverFixedCells::hfNone) return false;
    if (c >= 0 && c < TCustomGrid::FixedCols() &&
        (h == THoverFixedCells::hfAll || h == THoverFixedCells::hfFixedColumns))
        return true;
    return r >= 0 && r < TCustomGrid::FixedRows() &&
           (h == THoverFixedCells::hfAll || h == THoverFixedCells::hfFixedRows);
}

void TExtStringGrid::ResetFixedCellHighlight()
{
    FSizeFixed = false;
    FSizeFixedR = false;
    FNoMouseLeave = false;
    if (HoverFixedCells() != THoverFixedCells::hfNone && (HoverFixedX != -1 || HoverFixedY != -1)) {
        const int c = HoverFixedX, r = HoverFixedY;
        HoverFixedX = HoverFixedY = -1;
        if (c >= 0 && r >= 0) RepaintCell(c, r);
    }
}

void TExtStringGrid::CheckBoxClick(int c, int r, bool state)
{
    if (OnCheckBoxClick) OnCheckBoxClick(this, c, r, state);
}

void TExtStringGrid::ClickSort(int c)
{
    if (OnClickSort) OnClickSort(this, c);
}

// --- anchors ----------------------------------------------------------------------------------

void TExtStringGrid::ExitAnchor(int r, int c)
{
    if (FAnchor.isEmpty()) return;
    FAnchor.clear();
    if (OnAnchorExit) OnAnchorExit(this, r, c, QString());
}

bool TExtStringGrid::AnchorAt(int c, int r, int x, int y, TAnchorHit& hit, const QString& ctrlID)
{
    hit = TAnchorHit();
    if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount()) return false;
    const int rc = RealColIndex(c);
    const QString text = Cells(rc, r);
    const int kind = DetectCellTextKind(text, EnableHTML());
    if (kind != 1) {
        // Leaving a link always reports the exit, also onto a plain cell.
        ExitAnchor(r, c);
        if (URLShow() && TextIsUrl(text)) {
            hit.Anchor = text;
            return true;
        }
        return false;
    }
    TRect rect = CellRect(c, r);
    rect.Left += FXYOffset.x() + 1;
    rect.Top += FXYOffset.y() + 1;
    rect.Right -= FXYOffset.x();
    if (HasCheckBox(rc, r)) rect.Left += FControlLook->CheckSize();
    TGridDrawState state;
    TCellFont font;
    TCellBrush brush;
    GetFontProperties(c, rc, r, state, font, brush, true);
    QImage scratch(1, 1, QImage::Format_RGB32);
    TCanvas canvas(&scratch);
    canvas.SetFont(font.Font);
    TMiniHtmlParams params(canvas, text, rect);
    params.HitTestOnly = true;
    params.HitControlID = ctrlID;
    params.HitX = ctrlID.isEmpty() ? x : -1;
    params.HitY = ctrlID.isEmpty() ? y : -1;
    params.URLColor = URLColor();
    params.WordWrap = true;
    params.Images = GetGridImages();
    const TMiniHtmlResult res = RenderMiniHtml(params);
    if (!res.Hit) return false;
    hit.Anchor = res.HitAnchorRef;
    hit.Title = res.HitAnchorTitle;
    hit.Number = res.HitAnchorNumber;
    hit.CtrlID = res.HitControlID;
    hit.CtrlType = res.HitControlType;
    hit.CtrlValue = res.HitControlValue;
    hit.CtrlRect = res.HitControlRect;
    return !hit.Anchor.isEmpty() || !hit.CtrlID.isEmpty();
}

void TExtStringGrid::FollowAnchor(const QString& anchor)
{
    if (anchor.toUpper().contains(QStringLiteral("CELL://"))) {
        int c = -1, r = -1;
        if (!CellAnchorTarget(anchor, c, r)) return;
        if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount()) return;
        SetRow(r);
        SetCol(c);
        ScrollInView(c, r);
        return;
    }
    // Only web and mail links are opened; a refusal is silent.
    ShellOpenLink(anchor);
}

bool TExtStringGrid::PressOnAnchor(int c, int r, int x, int y)
{
    const int rc = RealColIndex(c);
    const QString text = Cells(rc, r);
    const bool html = DetectCellTextKind(text, EnableHTML()) == 1;
    if (!URLShow() && !html) return false;
    TAnchorHit hit;
    if (AnchorAt(c, r, x, y, hit)) {
        bool autoHandle = true;
        bool editAllowed = HasOption(goEditing) && !ReadOnly(rc, r);
        if (!hit.CtrlID.isEmpty()) CanEditCell(c, r, editAllowed);
        if (!hit.CtrlID.isEmpty() && editAllowed) {
            if (FCtrlEditing) StopControlEdit();
            QString cell = Cells(rc, r);
            const QString type = hit.CtrlType;
            QString value = hit.CtrlValue;
            if (type == QLatin1String("BUTTON")) {
                FCtrlXY = QPoint(rc, r);
                FCtrlDown = true;
                RepaintCell(c, r);
            } else if (type == QLatin1String("CHECK")) {
                value = value.toUpper() == QLatin1String("TRUE") ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
                BuildControlTag(cell, hit.CtrlID, value);
                SetCells(rc, r, cell);
            } else if (type == QLatin1String("RADIO")) {
                cell = UncheckRadioControls(cell);
                value = QStringLiteral("TRUE");
                BuildControlTag(cell, hit.CtrlID, value);
                SetCells(rc, r, cell);
            }
            if (OnControlClick) OnControlClick(this, r, c, hit.CtrlID, type, value);
            ShowControlEdit(cell, type, r, rc, c, hit.CtrlRect, value, hit.CtrlID);
            return true;
        }
        if (!hit.CtrlID.isEmpty()) return true;
        if (OnAnchorClick) OnAnchorClick(this, r, c, hit.Anchor, autoHandle);
        if (autoHandle) FollowAnchor(hit.Anchor);
        return true;
    }
    if (html && HasControlTag(text)) {
        if (OnClickCell) OnClickCell(this, r, c);
        HideInplaceEdit();
        SetSelection({c, r, c, r});
        return true;
    }
    return false;
}

// --- the press ------------------------------------------------------------------------------

QPoint TExtStringGrid::ClientToScreen(QPoint p)
{
    return HandleAllocated() ? Widget()->viewport()->mapToGlobal(p) : p;
}

void TExtStringGrid::PopFixedDropDown(int c, int r)
{
    // The hover look stays while the menu is open.
    FNoMouseLeave = true;
    QMenu* menu = FFixedDropDownMenu.data();
    if (menu) menu->setProperty("Tag", c);
    bool keep = false;
    if (OnFixedDropDownClick) OnFixedDropDownClick(this, c, r, menu, keep);
    if (menu) {
        FMouseDownMove = false;
        HoverFixedX = c;
        HoverFixedY = r;
        RepaintCell(c, r);
        const TRect cell = CellRect(c, r);
        TrackPopupMenu(*menu, ClientToScreen(QPoint(cell.Right - FixedButtonWidth, cell.Bottom)));
        // The menu took the release of the button.
        FDropDownDown = false;
        HoverFixedDown = false;
        HoverFixedX = HoverFixedY = -1;
        RepaintCell(c, r);
    }
    FNoMouseLeave = keep;
}

void TExtStringGrid::SetHoverFixedDown(bool down)
{
    if (HoverFixedDown == down) return;
    HoverFixedDown = down;
    // The hovered fixed cell shows the pressed (or again the hover) look.
    if (HoverFixedX >= 0 && HoverFixedY >= 0 && IsHoverFixedCell(HoverFixedX, HoverFixedY))
        RepaintCell(HoverFixedX, HoverFixedY);
}

void TExtStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) SetHoverFixedDown(true);
    if (button == mbLeft && shift.Contains(ssDouble)) {
        // The second press of a double click: DblClick follows and does
        // what the double click does.
        FDblClickPos = QPoint(x, y);
        return;
    }
    if (button == mbLeft)
        LeftButtonDown(shift, x, y);
    else if (button == mbRight)
        RightButtonDown(shift, x, y);
    else
        GridMouseDown(button, shift, x, y);
}

void TExtStringGrid::GridMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    const TGridCoord g = MouseCoord(x, y);
    const bool valid = g.X >= 0 && g.Y >= 0;
    if (MouseActions().RangeSelectAndEdit() && button == mbLeft && !MouseActions().EditOnDblClickOnly()) {
        const bool current = g.X == Col() && g.Y == Row();
        if (valid && current && !HasOption(goEditing) && IsEditable(RealColIndex(g.X), g.Y)) {
            SetOptions(Options().With(goEditing));
            TBaseGrid::MouseDown(button, shift, x, y);
            ShowInplaceEdit();
            return;
        }
        if (valid && !current && HasOption(goEditing) && shift.Contains(ssShift)) {
            SetOptions(Options().Without(goEditing));
            TBaseGrid::MouseDown(button, shift, x, y);
            return;
        }
    }
    if (valid) {
        const TRect cell = CellRect(g.X, g.Y);
        if (IsHoverFixedCell(g.X, g.Y) && FControlLook->FixedDropDownButton() &&
            CanShowFixedDropDown(RealColIndex(g.X)) && InFixedDropDownButton(cell, x, HasOption(goColSizing))) {
            FDropDownDown = true;
            if (FFixedDropDownMenu || OnFixedDropDownClick) {
                PopFixedDropDown(g.X, g.Y);
                return;
            }
        }
        // The hovered header shows its pressed look.
        if (IsHoverFixedCell(g.X, g.Y) && FControlLook->FixedGradientDownTo() != clNone &&
            g.Y == TCustomGrid::FixedRows() - 1)
            RepaintCell(g.X, g.Y);
    }
    TBaseGrid::MouseDown(button, shift, x, y);
    if (shift.Contains(ssShift) && FSelectionRectangle) {
        const TGridRect s = Selection();
        RepaintRect(s);
    }
    // A synchronised grid follows the column and row.
    if (TStringGrid* sync = SyncGrid().Grid()) {
        if (SyncGrid().SelectionColumn() && Col() < sync->ColCount()) sync->SetCol(Col());
        if (SyncGrid().SelectionRow() && Row() < sync->RowCount()) sync->SetRow(Row());
    }
    if (!valid) return;
    const bool fixedRow = g.Y < TCustomGrid::FixedRows();
    const bool fixedCol = g.X < TCustomGrid::FixedCols();
    const TRect cell = CellRect(g.X, g.Y);
    const TMouseActions& ma = MouseActions();
    if (ma.FixedRowsEdit() == fceLeftClick && button == mbLeft && fixedRow) {
        if (HasOption(goColSizing) && !InsideFixedEditInset(cell, x, y)) return;
        ShowFixedCellEditor(g.X, g.Y);
        return;
    }
    if (ma.FixedColsEdit() == fceLeftClick && button == mbLeft && fixedCol) {
        if (HasOption(goRowSizing) && !InsideFixedEditInset(cell, x, y)) return;
        ShowFixedCellEditor(g.X, g.Y);
        return;
    }
    if (ma.FixedRowsEdit() == fceRightClick && button == mbRight && fixedRow) {
        ShowFixedCellEditor(g.X, g.Y);
        return;
    }
    if (ma.FixedColsEdit() == fceRightClick && button == mbRight && fixedCol) ShowFixedCellEditor(g.X, g.Y);
}

void TExtStringGrid::LeftButtonDown(TShiftState shift, int x, int y)
{
    FDoOnClick = FMouseDownMove = FMouseKeepDown = true;
    FSpinUpClick = FSpinDnClick = false;
    FPressSelection = Selection();
    FPressWasAnchor = false;
    TGridCoord g = MouseCoord(x, y);
    int c = g.X, r = g.Y;

    // The selection resizer: the bottom 6 pixels of the selection's last
    // cell, its right 6 pixels.
    auto startResize = [&](bool withPress) {
        FGridState = gsSelecting;
        FDropSelection = Selection();
        // The release pastes this copy into the range the drag makes.
        CopySelectionToClipboard();
        FMouseResize = true;
        if (withPress) {
            const TGridRect sel = Selection();
            GridMouseDown(mbLeft, shift, x, y);
            SetSelection(sel);
        }
        FGridState = gsSelecting;
        MouseMove({}, x, y);
    };
    if (FSelectionResizer && FSelectionRectangle) {
        const TGridRect sel = Selection();
        const TRect last = CellRect(sel.Right, sel.Bottom);
        if (x >= last.Right - 6 && x <= last.Right && y >= last.Bottom - 6 && y <= last.Bottom) {
            startResize(!HasOption(goEditing) && !MouseActions().RangeSelectAndEdit());
            return;
        }
    }
    if (HasOption(goEditing) && MouseActions().RangeSelectAndEdit() && !Selection().Contains(c, r))
        SetOptions(Options().Without(goEditing));
    bool allow = true;
    if (OnCanClickCell) OnCanClickCell(this, r, c, allow);
    if (!allow) return;
    if (FCellSelectorMode) {
        CellSelectorClick(c, r);
        return;
    }
    if (FMouseSelectMode == msResize) {
        startResize(!HasOption(goEditing));
        return;
    }
    if (MouseActions().DisjunctCellSelect() && !shift.Contains(ssCtrl) && c >= TCustomGrid::FixedCols() &&
        r >= TCustomGrid::FixedRows()) {
        ClearSelectedCells();
        Invalidate();
    }
    SearchInc.clear();
    FSelectionClick = false;
    FPushedCellButton = {-1, -1};
    FOldTopRow = TopRow();
    FOldKeepLeftCol = LeftCol();
    if (FLook == TGridLook::glListView && (FHotFixedCell.X != -1 || FHotFixedCell.Y != -1) &&
        (FHotFixedCell.X < TCustomGrid::FixedCols() || FHotFixedCell.Y < TCustomGrid::FixedRows()))
        RepaintCell(FHotFixedCell.X, FHotFixedCell.Y);
    {
        int px = x, py = y;
        SizingProbe(c, r, x, y, px, py);
        const TGridCoord probe = MouseCoord(px, py);
        Colclicked = probe.X;
        Rowclicked = probe.Y;
        Colclickedsize = Colclicked >= 0 ? ColWidths(Colclicked) : 0;
        Rowclickedsize = Rowclicked >= 0 ? RowHeights(Rowclicked) : 0;
    }
    Clickposx = x;
    Clickposy = y;

    if (c < 0 || r < 0) {
        HideInplaceEdit();
        if (!FixedRowAlways()) GridMouseDown(mbLeft, shift, x, y);
        return;
    }
    const bool fixedArea = c < TCustomGrid::FixedCols() || r < TCustomGrid::FixedRows();
    const QPoint base = BaseCell(c, r);
    c = base.x();
    r = base.y();
    const TRect cell = CellRect(c, r);
    if (MouseActions().CaretPositioning()) LButFlg = true;

    // Sizing of the fixed columns or rows (armed by the moves).
    if (FSizeFixed) {
        FSizingFixed = true;
        FSizeFixedX = x;
        FSizingFixedCol = FixedSizingColumnAt(x);
        Invalidate();
        return;
    }
    if (FSizeFixedR) {
        FSizingFixedR = true;
        FSizeFixedY = y;
        FSizingFixedRow = FixedSizingRowAt(y);
        Invalidate();
        return;
    }

    const bool isFixed = fixedArea || IsFixed(c, r);
    if (isFixed) HideInplaceEdit();
    bool nodeRow = IsNode(r);
    // A fixed cell drawn as a button is pushed, but not by a press on the
    // expand glyph of a node row.
    if (isFixed && FixedAsButtons() && HasOption(goFixedVertLine) && HasOption(goFixedHorzLine) && !FFlat &&
        !(nodeRow && IsNodeGlyphHit(r, x))) {
        FPushedFixedCell = cell;
        FPushedCellButton = {c, r};
        FFixedCellPushed = true;
        RepaintCell(c, r);
        nodeRow = false;
    }
    const int rc = RealColIndex(c);
    const bool editable = IsEditable(c, r);

    // An always-visible spin button: the press notes which half it hit.
    if (!Designing() && !isFixed && FControlLook->SpinButtonsAlwaysVisible() && HasSpin(rc, r) &&
        x >= cell.Right - 18 && x <= cell.Right) {
        if (y > (cell.Top + cell.Bottom) / 2)
            FSpinDnClick = true;
        else
            FSpinUpClick = true;
    }
    // Node glyphs. In a header row it folds or unfolds the whole tree (with
    // NodeAllExpandContract) and shows the new state; in a data row it
    // expands or contracts its node and ends the press.
    if (c == 0 && nodeRow && !Designing() && IsNodeGlyphHit(r, x)) {
        if (r < TCustomGrid::FixedRows()) {
            if (MouseActions().NodeAllExpandContract()) {
                TCellGraphic* ng = GetCellGraphic(0, r);
                const bool contracted = ng && ng->CellBoolean;
                if (contracted)
                    ExpandAll();
                else
                    ContractAll();
                if ((ng = GetCellGraphic(0, r)) != nullptr && ng->CellType == TCellType::ctNode) ng->CellBoolean = !contracted;
                RepaintCell(0, r);
            }
        } else {
            if (OnMouseDown) OnMouseDown(this, mbLeft, PressShift(shift), x, y);
            if (OnClickCell) OnClickCell(this, r, c);
            NodeButtonClick(c, r);
            if (MouseActions().MoveRowOnNodeClick() && r < RowCount()) SetRow(r);
            return;
        }
    }
    if (IsRadio(rc, r) && (editable || FControlLook->RadioAlwaysActive())) {
        HideInplaceEdit();
        ClickRadioGroup(rc, r, y - cell.Top, x - cell.Left);
        FocusGrid();
        return;
    }
    // The node column of a tree grid only reports the click.
    if (c == 0 && r >= TCustomGrid::FixedRows() && !MouseActions().RowSelect() && !HasOption(goRowSizing) &&
        HasNodeRows()) {
        if (OnMouseDown) OnMouseDown(this, mbLeft, PressShift(shift), x, y);
        if (OnClickCell) OnClickCell(this, r, c);
        return;
    }
    const bool onSelectionDrag =
        (IsSelected(c, r) || (r < TCustomGrid::FixedRows() && !EnhRowColMove())) && !HasOption(goEditing) &&
        !HasButton(rc, r) && !HasCheckBox(rc, r) && DragDropSettings().OleDropSource() &&
        !(r < TCustomGrid::FixedRows() && (MouseActions().ColSelect() || MouseActions().AllSelect())) &&
        c >= TCustomGrid::FixedCols() &&
        ((x > cell.Left + 4 && x < cell.Right - 4) || !HasOption(goColSizing));
    if (onSelectionDrag) {
        FocusGrid();
        if (OnMouseDown) OnMouseDown(this, mbLeft, PressShift(shift), x, y);
        FSelectionClick = true;
        if (OnClickCell) OnClickCell(this, r, c);
        return;
    }
    if (HasRating(rc, r) && editable) {
        HideInplaceEdit();
        double rate = RatingAt(x - cell.Left);
        if (RatingChange(rc, r, rate)) {
            SetFloats(rc, r, rate);
            RepaintCell(c, r);
        }
        return;
    }
    for (const bool expand : {false, true}) {
        if (expand ? !HasExpand(rc, r) : !HasButton(rc, r)) continue;
        HideInplaceEdit();
        if (!isFixed) {
            const bool old = FForceSel;
            FForceSel = true;
            SelectCell(c, r);
            FForceSel = old;
        }
        TRect br;
        if (expand)
            GetExpandRect(c, r, br);
        else
            CellButtonRect(c, r, br);
        if (x >= br.Left && x < br.Right && y >= br.Top && y < br.Bottom) {
            if (!expand) PushButton(c, r, true);
            FPushedCellButton = {c, r};
            if (OnClickCell) OnClickCell(this, r, c);
            return;
        }
    }
    if (c >= ColCount() || r >= RowCount()) {
        GridMouseDown(mbLeft, shift, x, y);
        return;
    }
    Clickposdx = Colclicked >= 0 ? x - CellRect(Colclicked, std::max(0, Rowclicked)).Right : 0;
    Clickposdy = Rowclicked >= 0 ? y - CellRect(std::max(0, Colclicked), Rowclicked).Bottom : 0;

    // Disjunct row and column selection.
    const bool dataRow = r >= TCustomGrid::FixedRows();
    if (MouseActions().DisjunctRowSelect() && dataRow && !(c == 0 && MouseActions().HotmailRowSelect())) {
        if (shift.Contains(ssShift)) {
            const TGridRect old = FPressSelection;
            GridMouseDown(mbLeft, shift, x, y);
            SetSelection({std::min(c, old.Left), std::min(r, old.Top), std::max(c, old.Left), std::max(r, old.Top)});
            return;
        }
        if (shift.Contains(ssCtrl) || MouseActions().DisjunctRowSelectNoCtrl())
            FDeselectState = RowSelect(r);
        else {
            FMouseDown = true;
            if (!shift.Contains(ssAlt)) ClearRowSelect();
        }
    }
    if (MouseActions().DisjunctColSelect() && c >= TCustomGrid::FixedCols()) {
        if (shift.Contains(ssCtrl))
            FDeselectState = ColSelect(c);
        else {
            FMouseDown = true;
            ClearColSelect();
        }
    }
    if (PressOnAnchor(c, r, x, y)) {
        FPressWasAnchor = true;
        return;
    }

    // Whole rows, columns or the grid from the fixed cells.
    Movecell = -1;
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    // The old selection is taken away (repainted) before the new one is
    // set; leaving the cells as for an exit commits an open editor and
    // reports the exit; the active headers repaint with the selection.
    const auto selectFromFixed = [this](const TGridRect& sel) {
        HideSelection();
        SetSelection(sel);
        FSelHidden = false;
        SetShowSel(FOldShowSel);
        DoExit();
    };
    if (c < fc && r < fr && MouseActions().AllSelect() && HasOption(goRangeSelect) && FMouseSelectMode == msAll) {
        FocusGrid();
        const TGridRect all{fc, fr, ColCount() - 1, RowCount() - 1};
        DoSelectAllCells(all);
        selectFromFixed(all);
        return;
    }
    if (c < fc && r >= fr && MouseActions().RowSelect() && FMouseSelectMode == msRow) {
        if (EditMode()) FocusGrid();
        if (MouseActions().DisjunctCellSelect()) ClearSelectedCells();
        const int from = shift.Contains(ssShift) ? FPressSelection.Top : r;
        selectFromFixed({fc, std::min(from, r), ColCount() - 1, std::max(from, r)});
        FMouseSelectStart = r;
        // Without a row indicator picture the indicator column shows the
        // selected rows afresh.
        if (RowIndicator().isNull()) InvalidateCol(0);
        return;
    }
    if (r < fr && c >= fc && MouseActions().ColSelect() && HasOption(goRangeSelect) && FMouseSelectMode == msColumn) {
        FocusGrid();
        if (MouseActions().DisjunctCellSelect()) ClearSelectedCells();
        int from = c, to = c;
        if (shift.Contains(ssShift)) {
            if (c < FPressSelection.Left)
                to = FPressSelection.Right;
            else
                from = FPressSelection.Left;
        }
        selectFromFixed({std::min(from, to), fr, std::max(from, to), RowCount() - 1});
        FMouseSelectStart = c;
        return;
    }
    if (r < fr && c >= fc) Movecell = c;
    if (c < fc && r >= fr) Movecell = r;
    MoveOfsX = x - cell.Left;
    MoveOfsY = y - cell.Top;

    bool canEdit = HasOption(goEditing) || MouseActions().RangeSelectAndEdit();
    QueryCanEdit(rc, r, canEdit);
    if (c < ColCount() && r < RowCount() &&
        (canEdit || FControlLook->CheckAlwaysActive() || (c == 0 && MouseActions().HotmailRowSelect())) &&
        (HasCheckBox(rc, r) || HasRadioButton(rc, r)) && IsInCheckBox(rc, r, x, y)) {
        PressOnCheckBox(c, r, shift, x, y);
        return;
    }
    const bool dataCell = !isFixed;
    const bool dropDown = dataCell && FControlLook->DropDownAlwaysVisible() && HasCombo(rc, r);
    if (dataCell && (canEdit || (MouseActions().EditOnDblClickOnly() && dropDown)) &&
        (MouseActions().DirectEdit() || (FControlLook->DropDownAlwaysVisible() && dropDown))) {
        if (MouseActions().EditOnDblClickOnly() && dropDown) FEditActive = false;
        HideInplaceEdit();
    }
    const TGridRect selNow = Selection();
    const bool sameCell = selNow == TGridRect{c, r, c, r};
    bool selectingAtEnd = false;
    if (!sameCell && MouseActions().RangeSelectAndEdit() && !isFixed && !canEdit) {
        SetOptions(Options().Without(goEditing));
        selectingAtEnd = true;
    }
    if (isFixed) {
        // The platform's press runs here too: it starts the sizing and
        // moving of columns and rows from the fixed cells.
        GridMouseDown(mbLeft, shift, x, y);
        const bool footerRow = FloatingFooter().Visible() &&
                               FloatingFooter().FooterStyle() == TFooterStyle::fsFixedLastRow && r == RowCount() - 1;
        // A press on a header border sizes the column: no click.
        const bool sizingPress = r < fr && HasOption(goColSizing) && NearSideBorder(cell, x, HeaderBorderDistance);
        if (!footerRow && !sizingPress && OnClickCell) OnClickCell(this, r, c);
    } else {
        const bool keep = HasOption(goRowSelect) && Navigation().KeepHorizScroll();
        const int left = LeftCol();
        const bool alwaysEdit = Navigation().AlwaysEdit();
        if (!FSelHidden) Navigation().SetAlwaysEdit(false);
        GridMouseDown(mbLeft, shift, x, y);
        Navigation().SetAlwaysEdit(alwaysEdit);
        if (keep) SetLeftCol(left);
        const bool edge = r >= TopRow() + VisibleRowCount() || c >= LeftCol() + VisibleColCount() ||
                          (c == LeftCol() && LeftCol() > fc);
        if (FGridState == gsSelecting && edge && MouseActions().NoAutoRangeScroll()) FGridState = gsNormal;
        if (TopRow() != FOldTopRow && MouseActions().NoScrollOnPartialRow()) {
            SetTopRow(FOldTopRow);
            FGridState = gsNormal;
        }
        const bool sizingPress =
            r < fr && HasOption(goColSizing) && NearSideBorder(cell, x, HeaderBorderDistance);
        if (!sizingPress && OnClickCell) OnClickCell(this, r, c);
    }
    if (OnCellValidate) RememberCell(Col(), Row());
    if (IsMergedCell(c, r) && !isFixed && (sameCell || MouseActions().DirectEdit()) && canEdit) ShowInplaceEdit();
    if (dataCell && x > cell.Left + 3 && x < cell.Right - 3 &&
        (canEdit || (MouseActions().EditOnDblClickOnly() && dropDown)) &&
        (MouseActions().DirectEdit() || (FControlLook->DropDownAlwaysVisible() && dropDown)) &&
        !IsEditControlCell(rc, r)) {
        if (MouseActions().EditOnDblClickOnly() && dropDown && !HasOption(goEditing))
            SetOptions(Options().With(goEditing));
        bool ok = true;
        if (Row() != r && OnRowChanging) OnRowChanging(this, Row(), r, ok);
        if (ok && Col() != c && OnColChanging) OnColChanging(this, Col(), c, ok);
        if (ok && (Col() != c || Row() != r) && OnCellChanging) OnCellChanging(this, Row(), Col(), r, c, ok);
        if (ok) {
            SetSelection({c, r, c, r});
            RememberCell(c, r);
            ShowEditor();
        }
    }
    if (selectingAtEnd) FGridState = gsSelecting;
}

void TExtStringGrid::PressOnCheckBox(int c, int r, TShiftState shift, int x, int y)
{
    const int rc = RealColIndex(c);
    HideInplaceEdit();
    FocusGrid();
    const int realRow = RealRowIndex(r);
    if (HasRadioButton(rc, r)) {
        ToggleRadioButton(rc, r, true);
        if (OnRadioButtonClick) OnRadioButtonClick(this, rc, r);
    } else {
        ToggleCheck(rc, r, true);
    }
    if (ShowModified().Enabled()) {
        SetRowModified(r, true);
        RepaintCell(0, r);
    }
    if (c == 0 && MouseActions().HotmailRowSelect()) {
        SetSelection({TCustomGrid::FixedCols(), r, ColCount() - 1, r});
        SetRowSelect(r, !RowSelect(r));
        if (realRow != r) RepaintCell(0, r);
    }
    bool state = false;
    GetCheckBoxState(rc, realRow, state);
    if (!Navigation().AlwaysEdit() && c >= TCustomGrid::FixedCols() && r >= TCustomGrid::FixedRows())
        MoveColRow(c, r, true, true);
    CheckBoxClick(c, r, state);
    RepaintCell(c, r);
    if (r < TCustomGrid::FixedRows() && MouseActions().CheckAllCheck()) {
        for (int i = TCustomGrid::FixedRows(); i < RowCount(); ++i) {
            if (MouseActions().HotmailRowSelect())
                SetRowSelect(i, state);
            else
                SetCheckBoxState(rc, RealRowIndex(i), state);
        }
        Invalidate();
    }
    if (OnMouseDown) OnMouseDown(this, mbLeft, shift, x, y);
}

void TExtStringGrid::ClickRadioGroup(int c, int r, int y, int x)
{
    const int dc = DisplColIndex(c);
    const QPoint base = BaseCell(dc, r);
    if (!IsFixed(base.x(), base.y())) MoveColRow(base.x(), base.y(), true, true);
    QStringList* items = GetRadioStrings(c, r);
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!items || !g) return;
    const int glyph = 16;
    TGridDrawState state;
    TCellFont font;
    TCellBrush brush;
    GetFontProperties(dc, c, r, state, font, brush, true);
    const QFontMetrics fm(font.Font);
    int idx = -1, end = 0;
    const bool sideBySide = g->CellBoolean;
    for (int i = 0; i < items->size(); ++i) {
        const int span = sideBySide ? fm.horizontalAdvance(items->at(i)) + glyph
                                    : std::max(glyph, fm.height());
        const int start = end;
        end += span;
        const int pos = sideBySide ? x : y;
        if (pos > start && pos <= end) {
            idx = i;
            break;
        }
    }
    if (idx < 0) return;
    int holder = -1;
    GetRadioIdx(c, r, holder);
    if (holder != -1)
        SetRadioIdx(c, r, idx);
    else
        SetCells(c, r, items->at(idx));
    SetCells(c, r, Cells(c, r));
    if (OnRadioClick) OnRadioClick(this, c, r, idx);
}

// --- the release ----------------------------------------------------------------------------

void TExtStringGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        SetHoverFixedDown(false);
        LeftButtonUp(shift, x, y);
        // Also when the release ended early (on a cell button).
        FDropDownDown = false;
        return;
    }
    // The right button's release is swallowed while a row or column is
    // moved.
    if (button == mbRight && (FGridState == gsRowMoving || FGridState == gsColMoving) && EnhRowColMove()) return;
    GridMouseUp(button, shift, x, y);
    // The context menu opens where the right button was let go.
    if (button == mbRight && FPopupMenu) TrackPopupMenu(*FPopupMenu, ClientToScreen(QPoint(x, y)));
}

void TExtStringGrid::GridMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const TGridRect s0 = Selection();
    const bool reportable = button == mbLeft || (button == mbRight && MouseActions().SelectOnRightClick());
    const TGridCoord g = MouseCoord(x, y);
    // The filter button of a header cell: the filter code shows the list.
    if (g.X >= 0 && g.Y >= 0 && g.Y == FilterDropDownRow() && HasFilterButton(RealColIndex(g.X))) {
        const TRect cell = CellRect(g.X, g.Y);
        if (x > cell.Right - FixedButtonWidth && x < cell.Right - 3 && y < cell.Top + 19) FilterButtonClick(g.X, g.Y);
    }
    FDropDownDown = false;
    // A release beyond the grid while sizing abandons the sizing.
    if ((FGridState == gsColSizing && x > ClientWidth()) || (FGridState == gsRowSizing && y > ClientHeight())) {
        FGridState = gsNormal;
        return;
    }
    if (MouseActions().DisjunctCellSelect() && button == mbLeft && g.X >= 0 && g.Y >= 0) {
        const QPoint b = BaseCell(g.X, g.Y);
        const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
        const bool baseFixed = IsFixed(b.x(), b.y()) || b.x() < fc || b.y() < fr;
        if (!baseFixed) {
            bool allow = true;
            if (OnSelectCell) OnSelectCell(this, b.x(), b.y(), allow);
            if (!allow) return;
            if (shift.Contains(ssShift))
                SetSelectedCells(g.X, g.Y, true);
            else if (shift.Contains(ssCtrl))
                SetSelectedCells(b.x(), b.y(), !SelectedCells(b.x(), b.y()));
            else {
                // Only the list starts over: the selection is the drag's.
                FSelectedCells.clear();
                SetSelectedCells(b.x(), b.y(), true);
            }
        } else if (!shift.Contains(ssCtrl) && !(IsFixed(g.X, g.Y) || g.X < fc || g.Y < fr)) {
            FSelectedCells.clear();
        }
        // A dragged rectangle joins the picked cells.
        const TGridRect sel = s0;
        if (!(sel.Left == sel.Right && sel.Top == sel.Bottom)) {
            for (int rr = sel.Top; rr <= sel.Bottom; ++rr)
                for (int cc = sel.Left; cc <= sel.Right; ++cc)
                    if (!(cc == b.x() && rr == b.y()) && cc >= fc && rr >= fr && !SelectedCells(cc, rr))
                        SetSelectedCells(cc, rr, true);
        }
        Invalidate();
    }
    const bool moving = FGridState == gsColMoving && button == mbRight;
    if (!moving) TBaseGrid::MouseUp(button, shift, x, y);
    if (!moving && g.X >= 0 && g.Y >= 0 && IsHoverFixedCell(g.X, g.Y) &&
        FControlLook->FixedGradientDownTo() != clNone && g.Y == TCustomGrid::FixedRows() - 1)
        RepaintCell(g.X, g.Y);
    // The selection-changed notification fires once, and only for a real
    // change since the press.
    const TGridRect now = Selection();
    // (FPressSelection: the selection at the press, or as last reported
    // while the mouse moved.)
    if (reportable && now != FPressSelection) {
        DoSelectionChanged(now.Left, now.Top, now.Right, now.Bottom);
        FPressSelection = now;
    }
    (void)s0;
}

void TExtStringGrid::LeftButtonUp(TShiftState shift, int x, int y)
{
    const TGridCoord g = MouseCoord(x, y);
    const int c = g.X, r = g.Y;
    ColMoveFlg = ColSizeFlg = false;
    FMouseDown = FMouseKeepDown = FMouseDownMove = false;
    FMouseSelectMode = msNormal;
    FMouseSelectStart = -1;
    if (FCtrlDown) {
        FCtrlDown = false;
        if (FCtrlXY.x() >= 0) RepaintCell(DisplColIndex(FCtrlXY.x()), FCtrlXY.y());
    }
    if (FLook == TGridLook::glListView) {
        RepaintRow(0);
        if (TCustomGrid::FixedCols() > 0)
            for (int i = 0; i < RowCount(); ++i) RepaintCell(0, i);
    }
    if (FSizingFixed) {
        FSizingFixed = FSizeFixed = false;
        if (FSizingFixedCol >= 0) {
            int before = 0;
            for (int i = 0; i < FSizingFixedCol; ++i) before += ColWidths(i);
            int w = std::max(0, x - before);
            SetColWidths(FSizingFixedCol, w);
            if (OnEndColumnSize) OnEndColumnSize(this, FSizingFixedCol);
            int aw = w;
            if (OnUpdateColumnSize) OnUpdateColumnSize(this, FSizingFixedCol, aw);
            if (aw != w) SetColWidths(FSizingFixedCol, aw);
        }
        FSizingFixedCol = -1;
        Invalidate();
    }
    if (FSizingFixedR) {
        FSizingFixedR = FSizeFixedR = false;
        if (FSizingFixedRow >= 0) {
            int before = 0;
            for (int i = 0; i < FSizingFixedRow; ++i) before += RowHeights(i);
            SetRowHeights(FSizingFixedRow, std::max(0, y - before));
            if (OnEndRowSize) OnEndRowSize(this, FSizingFixedRow);
        }
        FSizingFixedRow = -1;
        Invalidate();
    }
    if (FFixedCellPushed) {
        FFixedCellPushed = false;
        InvalidateCellRect(FPushedFixedCell);
    }
    bool onButton = false;
    if (FPushedCellButton.X != -1 || FPushedCellButton.Y != -1) {
        const int pc = FPushedCellButton.X, pr = FPushedCellButton.Y;
        const bool fixedPushed = pc < TCustomGrid::FixedCols() || pr < TCustomGrid::FixedRows();
        const bool enabled = HasOption(goEditing) ||
                             (pc >= 0 && pr >= 0 && !FControlLook->NoDisabledButtonLook() && CanEditCellAt(pc, pr));
        if (enabled || FControlLook->NoDisabledButtonLook() || fixedPushed) {
            if (!IsNode(pr) && HasButton(RealColIndex(pc), pr)) PushButton(pc, pr, false);
            if (c >= 0 && r >= 0) {
                const QPoint b = BaseCell(c, r);
                const int brc = RealColIndex(b.x());
                const bool fixedAlways = (pc < TCustomGrid::FixedCols() && FixedAsButtons()) ||
                                         pr < TCustomGrid::FixedRows();
                TRect br;
                if (HasButton(brc, b.y())) {
                    CellButtonRect(b.x(), b.y(), br);
                    const bool in = x >= br.Left && x < br.Right && y >= br.Top && y < br.Bottom;
                    onButton = onButton || in;
                    if (in || fixedAlways) ButtonClick(pc, pr);
                }
                if (HasExpand(brc, b.y())) {
                    GetExpandRect(b.x(), b.y(), br);
                    const bool in = x >= br.Left && x < br.Right && y >= br.Top && y < br.Bottom;
                    onButton = onButton || in;
                    if (in || fixedAlways) {
                        const int prc = RealColIndex(pc);
                        ToggleExpand(prc, pr);
                        ExpandClick(pc, pr, GetExpandState(prc, pr));
                    }
                }
            }
        }
        FPushedCellButton = {-1, -1};
    }
    HideSizingHint();
    // A release on a cell button ends here.
    if (onButton) return;
    // A release in the fixed cells clicks the grid, unless it ends a sizing.
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    const bool inFixed = c >= 0 && r >= 0 && (c < fc || r < fr);
    if (inFixed) {
        TGridState sizing = FGridState;
        int index = -1;
        if (sizing == gsNormal) CalcSizingState(x, y, sizing, index);
        const bool sizingCursor = r < fr && HasOption(goColSizing) && sizing == gsColSizing;
        if (TCustomGrid::OnClick && FDoOnClick && !sizingCursor) TCustomGrid::OnClick(this);
    }
    FDoOnClick = false;
    if (FSelectionClick) {
        FSelectionClick = false;
        if (c >= TCustomGrid::FixedCols() && r >= TCustomGrid::FixedRows()) {
            if (MouseActions().DisjunctRowSelect() && DragDropSettings().OleDropSource() &&
                (shift.Contains(ssCtrl) || MouseActions().DisjunctRowSelectNoCtrl())) {
                SetRowSelect(r, !RowSelect(r));
                if (OnMouseUp) OnMouseUp(this, mbLeft, {ssCtrl}, x, y);
                return;
            }
            if (MouseActions().DisjunctRowSelect() && DragDropSettings().OleDropSource()) ClearRowSelect();
            if (HasOption(goRowSelect))
                SetSelection({TCustomGrid::FixedCols(), r, ColCount() - 1, r});
            else
                SetSelection({c, r, c, r});
        }
    }
    if (MouseActions().DisjunctRowSelect() && c >= 0 && !(c == 0 && IsNode(r))) {
        if (!(c == 0 && MouseActions().HotmailRowSelect())) SelectionToRowSelect(false);
        if (r >= TCustomGrid::FixedRows() && r < RowCount() - FixedFooters() && FDeselectState) SetRowSelect(r, false);
        FDeselectState = false;
    }
    if (MouseActions().DisjunctColSelect()) {
        SelectionToColSelect(false);
        if (c >= TCustomGrid::FixedCols() && c < ColCount() - FixedRightCols() && FDeselectState) SetColSelect(c, false);
        FDeselectState = false;
    }
    if (c > 0 && r >= fr && IsNode(r) && Grouping().AutoSelectGroup() && !NodeState(r)) {
        // An expanded node selects its group.
        const int span = GetNodeSpan(r);
        if (MouseActions().DisjunctRowSelect()) {
            for (int i = 1; i < span && r + i < RowCount(); ++i) SetRowSelect(r + i, true);
        } else {
            SetSelection({fc, r, ColCount() - 1, std::min(RowCount() - 1, r + std::max(0, span - 1))});
        }
    }
    const bool enhancedMoveEnded = EndEnhancedMove(c, r);
    const TGridState before = FGridState;
    // The platform's click of this release: the fixed cells had theirs.
    FSkipPlatformClick = inFixed;
    GridMouseUp(mbLeft, shift, x, y);
    FSkipPlatformClick = false;
    if (before == gsColSizing) ColSizeFlg = true;
    if (FMouseResize) {
        if (OnSelectionResize) OnSelectionResize(this, FDropSelection, Selection());
        PasteSelectionAfterResize();
        FMouseResize = false;
        if (OnSelectionResized) OnSelectionResized(this, FDropSelection, Selection());
    }
    if (ColMoveFlg || ColSizeFlg || c < 0 || r < 0) {
        FDblClk = false;
        return;
    }
    const int rc = RealColIndex(c);
    if (c >= TCustomGrid::FixedCols() || SortSettings().FixedCols()) {
        bool state = false;
        if (HasCheckBox(rc, r) && GetCheckBoxState(rc, RealRowIndex(r), state) && OnCheckBoxMouseUp)
            OnCheckBoxMouseUp(this, rc, r, state);
        int idx = -1;
        if (IsRadio(rc, r) && GetRadioIdx(rc, r, idx) && OnRadioMouseUp) OnRadioMouseUp(this, rc, r, idx);
    }
    HeaderClickSort(c, r, shift, x, y, enhancedMoveEnded);
}

bool TExtStringGrid::EndEnhancedMove(int c, int r)
{
    const bool cols = FGridState == gsColMoving;
    if (!(cols || FGridState == gsRowMoving) || !EnhRowColMove() || Movecell < 0) return false;
    // The picture, the arrows and the header drag button go in every case.
    EndMoveFeedback();
    // A release on the pressed header is a click, not a move.
    if (cols ? c == Movecell : r == Movecell) return false;
    if (OnEndBlockFocus) OnEndBlockFocus(this);
    const bool drop = cols ? c >= TCustomGrid::FixedCols() : r >= TCustomGrid::FixedRows();
    if (!drop) {
        // Dropped where no row or column can go: the header is redrawn.
        if (cols)
            RepaintRow(0);
        else
            for (int i = 0; i < RowCount(); ++i) RepaintCell(0, i);
    } else if (cols) {
        MoveColumn(Movecell, c);
    } else {
        MoveRow(Movecell, r);
    }
    FGridState = gsNormal;
    return true;
}

void TExtStringGrid::HeaderClickSort(int c, int r, TShiftState shift, int x, int y, bool enhancedMoveEnded)
{
    TSortFacts f;
    f.AfterAutoSize = FDblClk;
    FDblClk = false;
    const TRect cell = CellRect(c, r);
    f.OnSizingBorder = r == 0 && HasOption(goColSizing) && NearSideBorder(cell, x);
    const TGridCoord pressed = MouseCoord(Clickposx, Clickposy);
    if (x > cell.Right - FixedButtonWidth)
        f.OnHeaderButton = (FControlLook->FixedDropDownButton() && IsHoverFixedCell(c, r) &&
                            CanShowFixedDropDown(RealColIndex(c))) ||
                           HasFilterButton(RealColIndex(c));
    f.SortRow = r == SortSettings().Row() && pressed.Y == r;
    f.HasFixedRows = TCustomGrid::FixedRows() > 0;
    f.InCheckBox = IsInCheckBox(RealColIndex(c), r, x, y) && HasCheckBox(RealColIndex(c), r);
    f.Show = SortSettings().Show();
    f.EnhancedMoveEnded = enhancedMoveEnded;
    f.RowCount = RowCount();
    f.Ignored = FIgnoreColumns.HasValue(RealColIndex(c));
    bool doSort = true;
    if (!ReleaseMaySort(f, doSort)) return;
    if (OnCanSort) OnCanSort(this, c, doSort);
    if (!doSort) {
        RepaintCell(c, SortSettings().Row());
        return;
    }
    HideInplaceEdit();
    const int rc = RealColIndex(c);
    const bool initAsc = SortSettings().InitSortDirection() == TSortDirection::sdAscending;
    const bool keep = HasOption(goRowSelect) && Navigation().KeepHorizScroll();
    const int left = LeftCol();
    QElapsedTimer clock;
    clock.start();
    if (keep) BeginUpdate();
    if (SortSettings().IndexShow()) {
        const bool key = SortSettings().IndexSortKey() == TIndexSortKey::ikShift ? shift.Contains(ssShift)
                                                                                  : shift.Contains(ssCtrl);
        ApplySortIndexClick(FSortIndexes, rc, key, initAsc);
        bool nodes = false;
        for (int i = TCustomGrid::FixedRows(); i < RowCount() && !nodes; ++i) nodes = IsNode(i);
        if (nodes)
            QSortGroupIndexed();
        else
            QSortIndexed();
        SortSettings().SetColumn(FSortIndexes.Count() > 0 ? FSortIndexes.SortColumns(0) : -1);
    } else {
        const TSortStep step = NextSortStep(SortSettings().Column(),
                                            SortSettings().Direction() == TSortDirection::sdAscending, rc, initAsc,
                                            SortSettings().UndoSort());
        if (step.Undo) {
            QUnSort();
            SortSettings().SetColumn(-1);
            SortSettings().SetDirection(initAsc ? TSortDirection::sdAscending : TSortDirection::sdDescending);
        } else {
            SortSettings().SetColumn(step.Column);
            SortSettings().SetDirection(step.Ascending ? TSortDirection::sdAscending : TSortDirection::sdDescending);
            bool nodes = false;
            for (int i = TCustomGrid::FixedRows(); i < RowCount() && !nodes; ++i) nodes = IsNode(i);
            if (nodes)
                QSortGroup();
            else
                QSort();
        }
    }
    if (keep) {
        SetLeftCol(left);
        EndUpdate();
    }
    SortTime = int(clock.elapsed());
    Invalidate();
    ClickSort(SortSettings().Column());
}

// --- double click ------------------------------------------------------------------------------

void TExtStringGrid::DblClick()
{
    const int x = FDblClickPos.x(), y = FDblClickPos.y();
    TGridCoord g = MouseCoord(x, y);
    int c = g.X, r = g.Y;
    if (MouseActions().RangeSelectAndEdit() && c >= 0 && r >= 0 && !IsControlCell(RealColIndex(c), r))
        FForceSel = true;
    auto inherited = [&] {
        TBaseGrid::MouseDown(mbLeft, {ssDouble}, x, y);
        TCustomGrid::DblClick();
    };
    if (c < 0) {
        if (FixedRowAlways()) {
            FForceSel = false;
            inherited();
            return;
        }
        c = ColCount() - 1;
        r = 0;
    }
    if (r < 0) {
        FForceSel = false;
        inherited();
        return;
    }
    const TRect cell = CellRect(c, r);
    if (r < TCustomGrid::FixedRows() && HasOption(goColSizing) && MouseActions().AutoSizeColOnDblClick()) {
        const int col = HeaderDblClickColumn(cell, x, c, TCustomGrid::FixedCols());
        if (col >= 0) {
            FDblClk = true;
            bool allow = true;
            if (OnColumnSize) OnColumnSize(this, col, allow);
            if (allow) {
                AutoSizeCol(col, 0);
                if (OnEndColumnSize) OnEndColumnSize(this, col);
            }
            FForceSel = false;
            TCustomGrid::DblClick();
            return;
        }
    }
    const int rc = RealColIndex(c);
    auto inRect = [&](const TRect& b) { return x >= b.Left && x < b.Right && y >= b.Top && y < b.Bottom; };
    TRect br;
    if (HasButton(rc, r)) {
        CellButtonRect(c, r, br);
        if (inRect(br)) return;
    }
    if (HasExpand(rc, r)) {
        GetExpandRect(c, r, br);
        if (inRect(br)) return;
    }
    if (IsControlCell(rc, r)) {
        FForceSel = false;
        inherited();
        return;
    }
    inherited();
    if (OnDblClickCell) OnDblClickCell(this, r, c);
    if (MouseActions().EditOnDblClickOnly()) {
        const bool old = MouseActions().RangeSelectAndEdit();
        MouseActions().SetRangeSelectAndEdit(true);
        const bool editable = IsEditable(c, r);
        MouseActions().SetRangeSelectAndEdit(old);
        if (editable) {
            SetOptions(Options().With(goEditing));
            FOldCol = c;
            FOldRow = r;
            ShowInplaceEdit();
        }
    } else if (MouseActions().RangeSelectAndEdit() && IsEditable(c, r)) {
        SetOptions(Options().With(goEditing));
        const QPoint b = BaseCell(c, r);
        const TRect bc = CellRect(b.x(), b.y());
        GridMouseDown(mbLeft, {}, bc.Left + 4, bc.Top + 4);
    }
    FForceSel = false;
    if ((r < TCustomGrid::FixedRows() && MouseActions().FixedRowsEdit() == fceDblClick) ||
        (c < TCustomGrid::FixedCols() && MouseActions().FixedColsEdit() == fceDblClick))
        ShowFixedCellEditor(c, r);
}

void TExtStringGrid::ShowFixedCellEditor(int c, int r)
{
    // An open fixed-cell edit or combo ends first; a refused text keeps it.
    if (FEditTrans && FEditTrans->isVisible() && !EditTrans()->StopEdit()) return;
    if (FComboTrans && FComboTrans->isVisible() && !ComboTrans()->StopEdit()) return;
    bool canEdit = true;
    if (OnCanEditCell) OnCanEditCell(this, r, c, canEdit);
    if (!canEdit) return;
    FFixedColEdit = c;
    FFixedRowEdit = r;
    TGridFixedCellEditor editor = c == 0 ? MouseActions().FixedColsEditor() : MouseActions().FixedRowsEditor();
    const TGridFixedCellEditor chosen = editor;
    QStringList values = MouseActions().FixedComboValues();
    DoFixedEdit(c, r, editor, values);
    // The editors live on the grid's window.
    if (!HandleAllocated()) return;
    const TRect cell = CellRect(c, r);
    const QRect place(cell.Left + 1, cell.Top + 1, cell.Width() - 2, cell.Height() - 2);
    const int rc = RealColIndex(c);
    const QString text = Cells(rc, r);
    auto reportChange = [this](const QString& value) {
        if (OnEditChange) OnEditChange(this, FFixedColEdit, FFixedRowEdit, value);
    };
    if (chosen == fceEdit) {
        TGridTransEdit* e = EditTrans();
        if (!e->property("krChangeHooked").toBool()) {
            QObject::connect(e, &QLineEdit::textChanged, e, reportChange);
            e->setProperty("krChangeHooked", true);
        }
        e->setGeometry(place);
        {
            const QSignalBlocker block(e);
            e->setText(text);
        }
        e->SetCol(rc);
        e->SetRow(r);
        e->show();
        e->raise();
        e->setFocus(Qt::MouseFocusReason);
        return;
    }
    TGridTransCombo* cb = ComboTrans();
    if (!cb->property("krChangeHooked").toBool()) {
        QObject::connect(cb, &QComboBox::currentTextChanged, cb, reportChange);
        cb->setProperty("krChangeHooked", true);
    }
    // One pixel further left and up and one wider than the edit.
    cb->setGeometry(place.x() - 1, place.y() - 1, place.width() + 1, place.height());
    {
        const QSignalBlocker block(cb);
        cb->clear();
        cb->addItems(values);
        cb->setEditable(chosen == fceComboEdit);
        if (chosen == fceComboEdit)
            cb->setEditText(text);
        else
            cb->setCurrentIndex(cb->findText(text));
    }
    cb->SetCol(rc);
    cb->SetRow(r);
    cb->show();
    cb->raise();
    cb->setFocus(Qt::MouseFocusReason);
}

// --- right button -----------------------------------------------------------------------------

void TExtStringGrid::RightButtonDown(TShiftState shift, int x, int y)
{
    FPressSelection = Selection();
    GridMouseDown(mbRight, shift, x, y);
    const TGridCoord g = MouseCoord(x, y);
    const int c = g.X, r = g.Y;
    const bool valid = c >= 0 && r >= 0;
    if (MouseActions().SelectOnRightClick() && valid && !IsFixed(c, r) && c >= TCustomGrid::FixedCols() &&
        r >= TCustomGrid::FixedRows() && !(MouseActions().DisjunctCellSelect() && SelectedCells(c, r))) {
        const bool wasSelected = IsSelected(c, r) || RowSelect(r);
        if (!IsControlCell(RealColIndex(c), r)) {
            if (OnRightClickCell)
                FocusCell(c, r);
            else {
                GridMouseDown(mbLeft, {}, x, y);
                GridMouseUp(mbLeft, {}, x, y);
            }
        }
        if (IsSelected(c, r)) {
            bool canSelect = true;
            if (OnSelectCell) OnSelectCell(this, c, r, canSelect);
        } else {
            const QPoint b = BaseCell(c, r);
            const bool keep = Navigation().KeepHorizScroll();
            const int left = LeftCol();
            if (keep) BeginUpdate();
            MoveColRow(b.x(), b.y(), true, true);
            if (keep) {
                SetLeftCol(left);
                EndUpdate();
            }
        }
        if (MouseActions().DisjunctRowSelect()) {
            if (shift.Contains(ssCtrl) || MouseActions().DisjunctRowSelectNoCtrl())
                SetRowSelect(r, !RowSelect(r));
            else if (!(RowSelectCount() > 1 && FPopupMenu && wasSelected)) {
                // A selection of several rows stays for the context menu
                // when the click is on one of them.
                ClearRowSelect();
                SetRowSelect(r, true);
            }
        }
    }
    if (OnRightClickCell) OnRightClickCell(this, r, c);
    if (URLShow() && URLEdit() && valid && TextIsUrl(Cells(RealColIndex(c), r))) {
        MoveColRow(c, r, true, true);
        ShowEditor();
    }
}

// --- moves, leaving and the cursor ---------------------------------------------------------

void TExtStringGrid::TrackAnchor(int c, int r, int x, int y, bool& cursorClaimed)
{
    const QString text = Cells(RealColIndex(c), r);
    const int kind = DetectCellTextKind(text, EnableHTML());
    if (kind != 1) {
        // Leaving a link always reports the exit, also onto a plain cell.
        ExitAnchor(r, c);
        if (URLShow() && TextIsUrl(text)) {
            cursorClaimed = true;
            FMouseSelectMode = msURL;
        }
        if (URLUnderlineOnHover() && (FHoverCell != QPoint(-1, -1) || FHoverlink != -1)) {
            const QPoint old = FHoverCell;
            FHoverlink = -1;
            FHoverCell = QPoint(-1, -1);
            if (old.x() >= 0) RepaintCell(old.x(), old.y());
        }
        return;
    }
    TAnchorHit hit;
    const bool found = AnchorAt(c, r, x, y, hit) && !hit.Anchor.isEmpty() && hit.CtrlID.isEmpty();
    if (URLUnderlineOnHover()) {
        const int link = found ? hit.Number : -1;
        if (FHoverCell != QPoint(c, r) || FHoverlink != link) {
            if (FHoverCell.x() >= 0) RepaintCell(FHoverCell.x(), FHoverCell.y());
            FHoverCell = QPoint(c, r);
            FHoverlink = link;
            RepaintCell(c, r);
        }
    }
    if (found) {
        QString hint = hit.Title;
        if (hint.isEmpty() && OnAnchorHint) OnAnchorHint(this, r, c, hint);
        if (hint != FLastAnchorHint && hit.Anchor != FAnchor) FLastAnchorHint = hint;
        cursorClaimed = true;
        FMouseSelectMode = msURL;
        if (hit.Anchor != FAnchor) {
            // Leaving one link for another is an exit and an enter.
            if (!FAnchor.isEmpty() && OnAnchorExit) OnAnchorExit(this, r, c, FAnchor);
            FAnchor = hit.Anchor;
            if (OnAnchorEnter) OnAnchorEnter(this, r, c, FAnchor);
        }
    } else {
        ExitAnchor(r, c);
    }
}

void TExtStringGrid::MouseMove(TShiftState shift, int x, int y)
{
    if (FMouseDownMove && MouseActions().RangeSelectAndEdit() && HasOption(goEditing) && !EditorMode())
        SetOptions(Options().Without(goEditing));
    const TGridRect s0 = Selection();
    if (FGridState == gsSelecting && FSelectionRectangle && s0 != FSizeSelection) FSizeSelection = s0;
    const TGridCoord g = MouseCoord(x, y);
    const int c = g.X, r = g.Y;
    const bool valid = c >= 0 && r >= 0;
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    bool cursorClaimed = false;
    bool scrolledUp = false;
    if (valid && !Designing()) {
        // The hover row follows the mouse.
        if (HoverRow() && r != HoverRowIdx()) {
            const int old = HoverRowIdx();
            SetHoverRowIdx(r);
            RepaintRow(r);
            if (old >= 0 && old < RowCount()) RepaintRow(old);
        }
        // The in-cell scroll bar follows the mouse over scroll-bar cells.
        ShowCellScrollBar(c, r);
    }
    if (valid && HoverFixedCells() != THoverFixedCells::hfNone && !FNoMouseLeave &&
        (HoverFixedX != c || HoverFixedY != r)) {
        const int oc = HoverFixedX, orow = HoverFixedY;
        HoverFixedX = c;
        HoverFixedY = r;
        if (oc >= 0 && orow >= 0 && (orow <= fr || oc <= fc)) RepaintCell(oc, orow);
        if (r <= fr || c <= fc) RepaintCell(c, r);
    }
    // The list-view look lights the fixed cell under the mouse.
    if (valid && FLook == TGridLook::glListView && (FHotFixedCell.X != c || FHotFixedCell.Y != r)) {
        const TGridCoord old = FHotFixedCell;
        if (old.X >= 0 && old.Y >= 0 && (old.X < fc || old.Y < fr)) RepaintCell(old.X, old.Y);
        if (c < fc || r < fr) RepaintCell(c, r);
        FHotFixedCell = {c, r};
    }
    if (valid) {
        const int rc = RealColIndex(c);
        TRect br;
        bool over = false;
        if (HasButton(rc, r)) {
            CellButtonRect(c, r, br);
            over = x >= br.Left && x < br.Right && y >= br.Top && y < br.Bottom;
        }
        if (!over && HasExpand(rc, r)) {
            GetExpandRect(c, r, br);
            over = x >= br.Left && x < br.Right && y >= br.Top && y < br.Bottom;
        }
        const TGridCoord old = FHoverButton;
        FHoverButton = over ? TGridCoord{c, r} : TGridCoord{-1, -1};
        if (!(old == FHoverButton)) {
            if (old.X >= 0) RepaintCell(old.X, old.Y);
            if (over) RepaintCell(c, r);
        }
    }
    // Dragging over the fixed cells selects whole rows or columns.
    if (FMouseSelectStart >= 0 && MouseActions().RowSelect() && FMouseSelectMode == msRow && r >= fr &&
        r <= RowCount() - FixedFooters()) {
        const int to = std::max(fr, r);
        SetSelection({fc, std::min(FMouseSelectStart, to), ColCount() - 1, std::max(FMouseSelectStart, to)});
        if (FSelectionRectangle && Selection() != FSizeSelection) {
            RepaintSelectionRect(FSizeSelection, Selection());
            FSizeSelection = Selection();
        }
    }
    if (FMouseSelectStart >= 0 && MouseActions().RowSelect() && FMouseSelectMode == msRow) {
        // Dragging past the bottom or over the header scrolls by a row.
        if (y > ClientHeight() - 4 && TopRow() + VisibleRowCount() < RowCount()) SetTopRow(TopRow() + 1);
        if (fr > 0 && RowCount() > 0 && y < RowHeights(0) && TopRow() > fr) {
            SetTopRow(TopRow() - 1);
            scrolledUp = true;
        }
    }
    if (FMouseSelectStart >= 0 && MouseActions().ColSelect() && FMouseSelectMode == msColumn && c >= 0) {
        const int to = std::max(fc, c);
        SetSelection({std::min(FMouseSelectStart, to), fr, std::max(FMouseSelectStart, to), RowCount() - 1});
        if (FSelectionRectangle && Selection() != FSizeSelection) {
            RepaintSelectionRect(FSizeSelection, Selection());
            FSizeSelection = Selection();
        }
    }
    // Borders of the fixed columns and rows.
    FSizeFixed = fc > 0 && valid && !Designing() && FixedSizingColumnAt(x) >= 0 && MouseActions().SizeFixedCol();
    if (FSizingFixed) {
        FSizeFixedX = x;
        Invalidate();
    }
    FSizeFixedR = fr > 0 && valid && !Designing() && FixedSizingRowAt(y) >= 0 && MouseActions().SizeFixedRow();
    if (FSizingFixedR) {
        FSizeFixedY = y;
        Invalidate();
    }
    bool onResizer = false;
    if (FSelectionResizer && FSelectionRectangle) {
        const TGridRect sel = Selection();
        const TRect last = CellRect(sel.Right, sel.Bottom);
        onResizer = x >= last.Right - 6 && x <= last.Right && y >= last.Bottom - 6 && y <= last.Bottom;
    }
    // A press on the selection that moves on starts a drag (drag code).
    if (FSelectionClick && FMouseDownMove) SelectionDragStart(c, r, x, y, onResizer);
    RowColMoveStep(c, r, x, y);
    if (!Designing() && FGridState == gsNormal) {
        FMouseSelectMode = msNormal;
        if (onResizer) {
            FMouseSelectMode = msResize;
        } else if (valid && c < fc && r < fr && MouseActions().AllSelect()) {
            FMouseSelectMode = msAll;
            cursorClaimed = true;
        } else if (valid && r < fr && c >= fc && MouseActions().ColSelect() && !IsOnSizingBorder(x, y)) {
            FMouseSelectMode = msColumn;
            cursorClaimed = true;
        } else if (valid && c < fc && (r >= fr || scrolledUp) &&
                   r <= RowCount() - (FloatingFooter().Visible() &&
                                              FloatingFooter().FooterStyle() == TFooterStyle::fsFixedLastRow
                                          ? 2
                                          : 1) &&
                   MouseActions().RowSelect() && !IsOnSizingBorder(x, y)) {
            FMouseSelectMode = msRow;
            cursorClaimed = true;
        }
    }
    if (valid)
        TrackAnchor(c, r, x, y, cursorClaimed);
    else
        ExitAnchor(r, c);
    if (!cursorClaimed && FCursor != FOldCursor) FCursor = FOldCursor;
    if (FLastHintPos != QPoint(-1, -1) && valid) {
        const QPoint b = BaseCell(c, r);
        if (b != FLastHintPos) {
            // The hint belongs to the cell the mouse left.
            CancelCellHint();
        }
    }
    TBaseGrid::MouseMove(shift, x, y);
    // While selecting, the selection rectangle is redrawn where it changed.
    if (FGridState == gsSelecting && FSelectionRectangle && Selection() != FMoveSelection) {
        RepaintSelectionRect(FMoveSelection, Selection());
        FMoveSelection = Selection();
    }
    // Sizing events, and the sizing hint at design time or with HintShowSizing.
    const bool sizingHint = Designing() || HintShowSizing();
    if (FSizingFixed || (FGridState == gsColSizing && Colclicked >= 0)) {
        const int size = FSizingFixed ? FSizeFixedX : x - CellRect(Colclicked, 0).Left - Clickposdx;
        const int col = FSizingFixed ? 0 : Colclicked;
        if (OnColumnSizing) OnColumnSizing(this, col, size);
        if (sizingHint) ShowSizingHint(true, size, col, 0);
    }
    if (FSizingFixedR || (FGridState == gsRowSizing && Rowclicked >= 0)) {
        const int size = FSizingFixedR ? FSizeFixedY : y - CellRect(0, Rowclicked).Top - Clickposdy;
        const int row = FSizingFixedR ? 0 : Rowclicked;
        if (OnRowSizing) OnRowSizing(this, row, size);
        if (sizingHint) ShowSizingHint(false, size, 0, row);
    }
    const TGridRect now = Selection();
    if (now != s0) {
        DoSelectionChanged(now.Left, now.Top, now.Right, now.Bottom);
        FPressSelection = now;
    }
    if (HandleAllocated()) Widget()->viewport()->setCursor(CursorAt(x, y));
}

void TExtStringGrid::MouseLeave()
{
    FMouseSelectMode = msNormal;
    FSizeFixed = FSizeFixedR = false;
    if (FLastHintPos != QPoint(-1, -1)) CancelCellHint();
    if (!FNoMouseLeave) HoverFixedDown = false;
    if (!FNoMouseLeave && HoverFixedCells() != THoverFixedCells::hfNone && HoverFixedX >= 0 && HoverFixedY >= 0) {
        const int c = HoverFixedX, r = HoverFixedY;
        HoverFixedX = HoverFixedY = -1;
        RepaintCell(c, r);
    }
    if (FLook == TGridLook::glListView && FHotFixedCell.X >= 0 && FHotFixedCell.Y >= 0 &&
        (FHotFixedCell.X < TCustomGrid::FixedCols() || FHotFixedCell.Y < TCustomGrid::FixedRows()))
        RepaintCell(FHotFixedCell.X, FHotFixedCell.Y);
    FHotFixedCell = {-1, -1};
    if (HoverRow() && HoverRowIdx() >= 0) {
        const int old = HoverRowIdx();
        SetHoverRowIdx(-1);
        if (old < RowCount()) RepaintRow(old);
    }
    ExitAnchor(-1, -1);
}

void TExtStringGrid::RepaintSelectionRect(const TGridRect& a, const TGridRect& b)
{
    // Both rectangles, the old frame and the new, within the grid.
    auto valid = [this](const TGridRect& g) {
        return g.Left >= 0 && g.Top >= 0 && g.Right < ColCount() && g.Bottom < RowCount();
    };
    if (valid(a)) RepaintRect(a);
    if (valid(b)) RepaintRect(b);
}

void TExtStringGrid::ShowSizingHint(bool column, int size, int c, int r)
{
    if (!FScrollHintWnd) return;
    // Without a column (row) recorded the hint sits at the last one.
    if (column && c < 0) c = ColCount() - 1;
    if (!column && r < 0) r = RowCount() - 1;
    const QString text = QStringLiteral("%1=<b>%2</b>").arg(column ? QStringLiteral("cw") : QStringLiteral("rh")).arg(size);
    FScrollHintWnd->SetColor(HintColor());
    const QRect measured = FScrollHintWnd->CalcHintRect(200, text);
    (void)measured;
    const TRect cell = CellRect(c, r);
    FScrollHintWnd->ActivateHint(ClientToScreen(QPoint(cell.Left, cell.Top)), text);
    FScrollHintShow = true;
}

void TExtStringGrid::HideSizingHint()
{
    if (!FScrollHintShow) return;
    FScrollHintShow = false;
    if (FScrollHintWnd) FScrollHintWnd->ReleaseHandle();
}

bool TExtStringGrid::HasNodeRows()
{
    for (int i = TCustomGrid::FixedRows(); i < RowCount(); ++i)
        if (IsNode(i)) return true;
    return false;
}

// The grid's own cursor pictures: 8010 row selection (an arrow pointing
// right), 8011 column selection (pointing down), 8012 the whole grid and the
// selection resizer (pointing down-right), 8014 cell selection (a cross).
QCursor TExtStringGrid::GridCursor(int id)
{
    static const bool loaded = (InitCursorResources(), true);
    (void)loaded;
    QString name;
    switch (id) {
    case crGridRowSelect: name = QStringLiteral(":/CUR8010"); break;
    case crGridColSelect: name = QStringLiteral(":/CUR8011"); break;
    case crGridAllSelect: name = QStringLiteral(":/CUR8012"); break;
    case crGridCellSelect: name = QStringLiteral(":/CUR8014"); break;
    default: return QCursor(Qt::ArrowCursor);
    }
    const QPixmap pm(name);
    if (pm.isNull()) return QCursor(Qt::ArrowCursor);
    return QCursor(pm, pm.width() / 2, pm.height() / 2);
}

QCursor TExtStringGrid::CursorAt(int x, int y)
{
    if (FMoveCursor != 0 && (FGridState == gsColMoving || FGridState == gsRowMoving))
        return QCursor(FMoveCursor == 1 ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
    if (FSizeFixed || FSizingFixed) return QCursor(Qt::SplitHCursor);
    if (FSizeFixedR || FSizingFixedR) return QCursor(Qt::SplitVCursor);
    const bool sizing = FGridState == gsColSizing || FGridState == gsRowSizing;
    if (!sizing) {
        switch (FMouseSelectMode) {
        case msColumn: return GridCursor(crGridColSelect);
        case msRow: return GridCursor(crGridRowSelect);
        case msAll:
        case msResize: return GridCursor(crGridAllSelect);
        case msURL: return QCursor(Qt::PointingHandCursor);
        default: break;
        }
    }
    if (FCellSelectorMode) return GridCursor(crGridCellSelect);
    TGridState state = FGridState;
    int index = -1;
    if (state == gsNormal) CalcSizingState(x, y, state, index);
    if (state == gsColSizing) return QCursor(Qt::SplitHCursor);
    if (state == gsRowSizing) return QCursor(Qt::SplitVCursor);
    const TGridCoord g = MouseCoord(x, y);
    if (g.X >= 0 && g.Y >= 0) {
        const int id = GetCellCursor(g.X, g.Y, x, y);
        if (id == URLCursor) return QCursor(Qt::PointingHandCursor);
        if (id >= 8010 && id <= 8014) return GridCursor(id);
        if (id > 0 && id < int(Qt::LastCursor)) return QCursor(Qt::CursorShape(id));
    }
    return QCursor(Qt::ArrowCursor);
}
