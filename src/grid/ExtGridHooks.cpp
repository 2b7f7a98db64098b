// The per-cell hooks of the string grid: each combines the grid's settings
// and the cell's properties, then fires its event, which has the last word.
#include "grid/ExtGrid.h"

void TExtStringGrid::CanEditCell(int c, int r, bool& canEdit)
{
    if (OnCanEditCell) OnCanEditCell(this, r, c, canEdit);
}

void TExtStringGrid::SearchFooterAction(const QString& value, int c, int r, TSearchAction action)
{
    if (OnSearchFooterAction) OnSearchFooterAction(this, value, c, r, action);
}

void TExtStringGrid::ButtonClick(int c, int r)
{
    if (OnButtonClick) OnButtonClick(this, c, r);
}

void TExtStringGrid::ExpandClick(int c, int r, bool expanded)
{
    if (OnExpandClick) OnExpandClick(this, c, r, expanded);
}

void TExtStringGrid::ComboCloseUp(int r, int c)
{
    if (OnComboCloseUp) OnComboCloseUp(this, r, c);
}

void TExtStringGrid::ComboDropDown(int r, int c)
{
    if (OnComboDropDown) OnComboDropDown(this, r, c);
}

int TExtStringGrid::GetCellCursor(int c, int r, int x, int y)
{
    if (!OnGetCellCursor) return -1;
    int cursor = FCursor;
    OnGetCellCursor(this, c, r, x, y, cursor);
    return cursor;
}

void TExtStringGrid::GetCellHint(int c, int r, QString& hint)
{
    // Texts are UTF-16 here: the plain hint carries every character, so no
    // separate wide hint is needed.
    if (OnGridHint) OnGridHint(this, r, c, hint);
}

void TExtStringGrid::GetCellColor(int c, int r, TGridDrawState state, TCellBrush& brush, TCellFont& font)
{
    if (FActiveCellShow) {
        const int d = DisplColIndex(c);
        const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
        if ((r == Row() && d == fc - 1 && fc > 0) || (d == Col() && r == fr - 1 && fr > 0)) {
            font = FActiveCellFont;
            brush.Color = FActiveCellColor;
        }
    }
    if (const TCellProperties* p = CellPropsOrNull(c, r)) {
        using enum TCellType;
        const TCellType t = GetCellType(c, r);
        const bool plain = t == ctIcon || t == ctNone || t == ctImageList || t == ctEmpty || t == ctImages ||
                           t == ctComment;
        if (plain && p->BrushColor() != clNone) brush.Color = p->BrushColor();
        if (p->FontColor() != clNone) font.Color = p->FontColor();
        if (!p->FontStyle().Empty()) ApplyFontStyles(font.Font, p->FontStyle());
        if (p->FontSize() != 0) font.Font.setPointSize(p->FontSize());
        if (!p->FontName().isEmpty()) font.Font.setFamily(p->FontName());
    }
    if (OnGetCellColor) OnGetCellColor(this, r, c, state, brush, font);
}

void TExtStringGrid::GetCellPrintColor(int c, int r, TGridDrawState state, TCellBrush& brush, TCellFont& font)
{
    if (OnGetCellPrintColor) OnGetCellPrintColor(this, r, c, state, brush, font);
}

void TExtStringGrid::GetCellBorder(int c, int r, TCellPen& pen, TCellBorders& borders)
{
    if (FGrouping->HeaderUnderline() && IsNode(r) && c > 0) {
        borders = TCellBorders{cbBottom};
        pen.Color = FGrouping->HeaderLineColor();
        pen.Width = FGrouping->HeaderLineWidth();
    }
    if (FGrouping->SummaryLine() && IsSummary(r) && c > 0) {
        borders = TCellBorders{cbTop};
        pen.Color = FGrouping->SummaryLineColor();
        pen.Width = FGrouping->SummaryLineWidth();
    }
    if (OnGetCellBorder) OnGetCellBorder(this, r, c, pen, borders);
}

void TExtStringGrid::GetCellPrintBorder(int c, int r, TCellPen& pen, TCellBorders& borders)
{
    if (OnGetCellPrintBorder) OnGetCellPrintBorder(this, r, c, pen, borders);
}

void TExtStringGrid::QueryAlignment(int c, int r, TAlignment& ha, TVAlignment& va)
{
    if (c == 0 && FMouseActions->HotmailRowSelect()) ha = taCenter;
    if (OnGetAlignment) OnGetAlignment(this, r, c, ha, va);
}

void TExtStringGrid::GetColFormat(int c, TSortStyle& style, QString& prefix, QString& suffix)
{
    if (OnGetFormat) OnGetFormat(this, c, style, prefix, suffix);
}

void TExtStringGrid::QueryEditorType(int c, int r, TEditorType& editor)
{
    if (OnGetEditorType) OnGetEditorType(this, c, r, editor);
}

void TExtStringGrid::GetCellEditor(int c, int r, TEditorType& editor)
{
    if (OnGetEditorType) OnGetEditorType(this, c, r, editor);
}

bool TExtStringGrid::IsNoEditorCell(int c, int r)
{
    if (!OnGetEditorType) return false;
    TEditorType e = edNormal;
    OnGetEditorType(this, c, r, e);
    return e == edNone;
}

void TExtStringGrid::QueryFixedCell(int c, int r, bool& isFixed)
{
    isFixed = isFixed || (FFixedRowAlways && r <= FFixedRowsMin && RowCount() == FFixedRowsMin) ||
              (FFixedColAlways && c < FFixedColsMin && ColCount() == FFixedColsMin) ||
              c < TCustomGrid::FixedCols() || r < TCustomGrid::FixedRows();
    if (!isFixed && OnIsFixedCell) OnIsFixedCell(this, r, c, isFixed);
}

bool TExtStringGrid::IsFixed(int c, int r)
{
    bool f = false;
    QueryFixedCell(c, r, f);
    return f;
}

void TExtStringGrid::QueryCanEdit(int c, int r, bool& canEdit)
{
    const QPoint b = BaseCell(c, r);
    if (canEdit && HasCellProps(b.x(), b.y())) {
        canEdit = !ReadOnly(b.x(), b.y());
        if (!Options().Contains(goEditing) && !FMouseActions->RangeSelectAndEdit()) canEdit = false;
    }
    if (b.x() < ColCount() + NumHiddenColumns())
        CanEditCell(b.x(), b.y(), canEdit);
    else
        // A base column beyond the grid is not editable.
        canEdit = false;
}

void TExtStringGrid::QueryPasswordCell(int c, int r, bool& isPassword)
{
    if (OnIsPasswordCell) OnIsPasswordCell(this, r, c, isPassword);
}

void TExtStringGrid::QueryWordWrap(int c, int r, bool& wordWrap)
{
    if (OnGetWordWrap) OnGetWordWrap(this, c, r, wordWrap);
}

bool TExtStringGrid::HasCombo(int c, int r)
{
    if (OnHasComboBox) {
        bool has = false;
        OnHasComboBox(this, c, r, has);
        return has;
    }
    if (FControlLook->DropDownAlwaysVisible()) {
        TEditorType e = DefaultEditor();
        GetCellEditor(c, r, e);
        return e == edComboEdit || e == edComboList;
    }
    return false;
}

bool TExtStringGrid::HasSpin(int c, int r)
{
    if (c < TCustomGrid::FixedCols() || r < TCustomGrid::FixedRows()) return false;
    if (OnHasSpinEdit) {
        bool has = false;
        OnHasSpinEdit(this, c, r, has);
        return has;
    }
    if (FControlLook->SpinButtonsAlwaysVisible()) {
        TEditorType e = DefaultEditor();
        QueryEditorType(c, r, e);
        return e == edSpinEdit || e == edFloatSpinEdit || e == edTimeSpinEdit || e == edDateSpinEdit;
    }
    return false;
}

void TExtStringGrid::GetCheckTrue(int c, int r, QString& value)
{
    value = CheckTrue();
    if (OnGetCheckTrue) OnGetCheckTrue(this, c, r, value);
}

void TExtStringGrid::GetCheckFalse(int c, int r, QString& value)
{
    value = CheckFalse();
    if (OnGetCheckFalse) OnGetCheckFalse(this, c, r, value);
}

bool TExtStringGrid::GetColumnFilter(int c)
{
    FFilterList.clear();
    if (FilterDropDownAuto() && (c >= TCustomGrid::FixedCols() || FilterDropDownColumns() == TFilterDropDownColumns::fdAll)) {
        auto add = [this](const QString& t) {
            const QString entry =
                t.contains(QLatin1Char(' ')) ? t + QStringLiteral("=\"") + t + QLatin1Char('"') : t;
            if (!FFilterList.contains(entry)) FFilterList << entry;
        };
        for (int r = TCustomGrid::FixedRows(); r <= RowCount() - FFixedFooters - 1; ++r) add(Cells(c, r).trimmed());
        if (!FilterIncremental())
            for (int i = 0; i < FGridItems.Count(); ++i) {
                const QStringList texts = FGridItems.Items(i).Items();
                if (c < texts.size()) add(texts[c]);
            }
        FFilterList.sort();
        if (!FilterDropDownClear().isEmpty()) FFilterList.prepend(FilterDropDownClear());
    }
    if (OnGetColumnFilter) OnGetColumnFilter(this, c, FFilterList);
    return !FFilterList.isEmpty();
}

void TExtStringGrid::GetCellDefaults(int c, int r, TCellLook& look)
{
    TBaseGrid::GetCellDefaults(c, r, look);
    TVisualProperties vp;
    static_cast<TCellLook&>(vp) = look;
    vp.Print = false;
    vp.Select = false;
    vp.Remap = false;
    GetVisualProperties(c, r, vp);
    look = vp;
    const bool gradientBack = FBackGround->Display() == TBackGroundDisplay::bdGradientHorz ||
                              FBackGround->Display() == TBackGroundDisplay::bdGradientVert;
    if (IsFixed(c, r) || FBands->Active() || gradientBack || vp.State.Contains(gdSelected)) {
        look.Brush.Color = clNone;
        look.ColorTo = clNone;
    }
}

TCellType TExtStringGrid::GetCellType(int c, int r)
{
    if (c < 0 || r < 0) return TCellType::ctEmpty;
    if (c == 0 && FMouseActions->HotmailRowSelect()) return TCellType::ctRowCheckBox;
    if (const TCellProperties* p = CellPropsOrNull(c, r))
        if (const auto* g = dynamic_cast<const TCellGraphic*>(p->GraphicObject())) return g->CellType;
    return TCellType::ctEmpty;
}

TCellGraphic* TExtStringGrid::GetCellGraphic(int c, int r)
{
    if (c < 0 || r < 0) return nullptr;
    if (c == 0 && FMouseActions->HotmailRowSelect()) {
        // The shared row box, prepared for the row asked: on the header row
        // it tells whether some or all data rows are selected.
        TCellGraphic& g = *FCellGraphic;
        g.CellType = TCellType::ctRowCheckBox;
        g.CellTransparent = FControlLook->ControlStyle() == TControlStyle::csFlat;
        if (r == 0) {
            const int n = RowSelectCount();
            const int data = RowCount() - FixedRows();
            g.CellAngle = n > 0 && n < data ? 1 : 0;
            g.CellBoolean = n >= data;
        } else {
            g.CellAngle = 0;
            g.CellBoolean = RowSelect(RowFlagIndex(r));
        }
        return &g;
    }
    if (const TCellProperties* p = CellPropsOrNull(c, r)) return dynamic_cast<TCellGraphic*>(p->GraphicObject());
    return nullptr;
}
