// Check boxes, three-state boxes, radio buttons and radio groups of the
// string grid: adding and removing them, reading, setting and toggling their
// state, the automatic checking of node groups and the glyph hit test.
#include "grid/ExtGrid.h"

using enum TCellType;

namespace {

bool IsBoxKind(TCellType t)
{
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox ||
           t == ctTriStateCheckBox;
}

} // namespace

int TExtStringGrid::FirstCheckRow() const { return FMouseActions->CheckAllCheck() ? 0 : FixedRows(); }

TCellVAlign TExtStringGrid::BoxVAlign() const
{
    switch (FVAlignment) {
    case vtaCenter: return TCellVAlign::vaCenter;
    case vtaBottom: return TCellVAlign::vaBottom;
    default: return TCellVAlign::vaTop;
    }
}

TCellGraphic* TExtStringGrid::GraphicAtRealRow(int c, TRealRow r)
{
    if (c < 0 || !r.Valid()) return nullptr;
    // Column 0 of every row, hidden or not, is the shared row box then.
    if (c == 0 && FMouseActions->HotmailRowSelect()) {
        FCellGraphic->CellType = ctRowCheckBox;
        return FCellGraphic.get();
    }
    if (const TGridItem* item = HiddenRow(r)) {
        const auto& cells = item->Row().Cells;
        if (size_t(c) >= cells.size()) return nullptr;
        if (const auto* p = dynamic_cast<const TCellProperties*>(cells[size_t(c)].Object.get()))
            return dynamic_cast<TCellGraphic*>(p->GraphicObject());
        return nullptr;
    }
    return GetCellGraphic(c, DisplRowIndex(r).Value());
}

TCellGraphic* TExtStringGrid::NewBoxGraphic(int c, int r)
{
    if (c < 0 || r < 0 || c >= ColCount() + NumHiddenColumns() || r >= RowCount() + NumHiddenRows())
        throw Exception(QStringLiteral("Invalid cell"));
    return CreateCellGraphic(c, r);
}

void TExtStringGrid::AddCheckBox(int c, int r, bool state, bool data)
{
    TCellGraphic* g = NewBoxGraphic(c, r);
    if (!g) return;
    g->SetCheckBox(state, data, true, BoxHAlign(), BoxVAlign());
    if (data) {
        const QString t = Cells(c, r);
        if (t != CheckTrue() && t != CheckFalse()) SetCells(c, r, state ? CheckTrue() : CheckFalse());
    }
}

void TExtStringGrid::AddCheckBox(int c, int r, TCheckBoxState state)
{
    if (TCellGraphic* g = NewBoxGraphic(c, r)) g->SetCheckBox(state, true, BoxHAlign(), BoxVAlign());
}

void TExtStringGrid::AddCheckBoxColumn(int c, bool defaultState, bool dataCheckBox)
{
    for (int r = FirstCheckRow(); r < RowCount(); ++r) {
        if (IsSummary(r)) continue;
        if (IsNode(r))
            AddCheckBox(c, r, cbUnchecked);
        else
            AddCheckBox(c, r, defaultState, dataCheckBox);
    }
}

void TExtStringGrid::AddTriStateCheckBoxColumn(int c, TCheckBoxState state)
{
    for (int r = FirstCheckRow(); r < RowCount(); ++r) AddCheckBox(c, r, state);
}

void TExtStringGrid::RemoveCheckBoxColumn(int c)
{
    for (int r = FirstCheckRow(); r < RowCount(); ++r)
        if (HasCheckBox(c, r)) RemoveCheckBox(c, r);
}

void TExtStringGrid::RemoveCheckBox(int c, int r)
{
    const TCellType t = GetCellType(c, r);
    if (t == ctCheckBox || t == ctDataCheckBox || t == ctTriStateCheckBox) RemoveCellGraphicOfType(c, r, t);
}

void TExtStringGrid::AddRadioButton(int c, int r, bool state)
{
    if (TCellGraphic* g = NewBoxGraphic(c, r)) g->SetRadioButton(state, true, BoxHAlign(), BoxVAlign());
}

void TExtStringGrid::AddRadioButtonColumn(int c)
{
    for (int r = FixedRows(); r < RowCount(); ++r) AddRadioButton(c, r, false);
}

void TExtStringGrid::RemoveRadioButton(int c, int r) { RemoveCellGraphicOfType(c, r, ctRadioButton); }

void TExtStringGrid::RemoveRadioButtonColumn(int c)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (HasRadioButton(c, r)) RemoveRadioButton(c, r);
}

void TExtStringGrid::AddRadio(int c, int r, int dirRadio, int idxRadio, QStringList* sl)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->CellType = ctRadio;
    g->CellBitmap = sl;
    g->CellAngle = sl ? int(sl->size()) : 0;
    g->CellBoolean = dirRadio != 0;
    g->CellIndex = idxRadio;
}

QStringList* TExtStringGrid::CreateRadio(int c, int r, int dirRadio, int idxRadio)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return nullptr;
    auto list = std::make_unique<QStringList>();
    QStringList* result = list.get();
    g->CellType = ctRadio;
    g->CellBitmap = std::move(list);
    g->CellCreated = true;
    g->CellAngle = 0;
    g->CellBoolean = dirRadio != 0;
    g->CellIndex = idxRadio;
    return result;
}

bool TExtStringGrid::HasCheckBox(int c, int r)
{
    return HasCellTypeIn(c, r, {ctCheckBox, ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox, ctTriStateCheckBox});
}

bool TExtStringGrid::HasDataCheckBox(int c, int r)
{
    return HasCellTypeIn(c, r, {ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox});
}

bool TExtStringGrid::IsRadioButtonChecked(int c, int r)
{
    if (c < 0 || r < 0) return false;
    const QPoint b = BaseCell(c, r);
    const TCellGraphic* g = GetCellGraphic(b.x(), b.y());
    return g && g->CellType == ctRadioButton && g->CellBoolean;
}

int TExtStringGrid::GetRadioButtonColumnIndex(int c)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (IsRadioButtonChecked(c, r)) return r;
    return -1;
}

QStringList* TExtStringGrid::GetRadioStrings(int c, int r)
{
    if (c < 0 || r < 0) return nullptr;
    const QPoint b = BaseCell(c, r);
    const TCellGraphic* g = GetCellGraphic(b.x(), b.y());
    return g && g->CellType == ctRadio ? g->Strings() : nullptr;
}

bool TExtStringGrid::GetRadioIdx(int c, int r, int& idxRadio)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) return false;
    idxRadio = g->CellIndex;
    return g->CellType == ctRadio;
}

bool TExtStringGrid::SetRadioIdx(int c, int r, int idxRadio)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) return false;
    g->CellIndex = idxRadio;
    if (idxRadio == -1) SetCells(c, r, QString());
    RepaintDispl(c, r);
    return g->CellType == ctRadio;
}

bool TExtStringGrid::IsChecked(int c, int r)
{
    bool state = false;
    return GetCheckBoxState(c, r, state) && state;
}

bool TExtStringGrid::GetCheckBoxState(int c, int r, bool& state)
{
    const TCellGraphic* g = GraphicAtRealRow(c, TRealRow(r));
    if (!g) return false;
    switch (g->CellType) {
    case ctCheckBox: state = g->CellBoolean; return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        QString t;
        GetCheckTrue(c, r, t);
        state = AllCells(c, TRealRow(r)) == t;
        return true;
    }
    case ctRowCheckBox:
        if (c != 0) return false;
        state = RowSelect(r);
        return true;
    case ctTriStateCheckBox: state = g->CellCheckBoxState == cbChecked; return true;
    default: return false;
    }
}

bool TExtStringGrid::GetCheckBoxState(int c, int r, TCheckBoxState& state)
{
    const TCellGraphic* g = GraphicAtRealRow(c, TRealRow(r));
    if (!g) return false;
    if (g->CellType == ctTriStateCheckBox) {
        state = g->CellCheckBoxState;
        return true;
    }
    bool b = false;
    if (!GetCheckBoxState(c, r, b)) return false;
    state = b ? cbChecked : cbUnchecked;
    return true;
}

bool TExtStringGrid::SetCheckBoxState(int c, int r, bool state)
{
    TCellGraphic* g = GraphicAtRealRow(c, TRealRow(r));
    if (!g) return false;
    switch (g->CellType) {
    case ctCheckBox:
        g->CellBoolean = state;
        if (!IsHiddenRow(TRealRow(r))) RepaintDispl(c, DisplRowIndex(TRealRow(r)).Value());
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        QString t;
        if (state)
            GetCheckTrue(c, r, t);
        else
            GetCheckFalse(c, r, t);
        SetAllCells(c, TRealRow(r), t);
        return true;
    }
    case ctRowCheckBox:
        if (c != 0) return false;
        SetRowSelect(r, state);
        return true;
    default: return false;
    }
}

bool TExtStringGrid::SetCheckBoxState(int c, int r, TCheckBoxState state)
{
    TCellGraphic* g = GraphicAtRealRow(c, TRealRow(r));
    if (!g || g->CellType != ctTriStateCheckBox) return false;
    g->CellCheckBoxState = state;
    if (!IsHiddenRow(TRealRow(r))) RepaintDispl(c, DisplRowIndex(TRealRow(r)).Value());
    return true;
}

bool TExtStringGrid::ChangeCheckBoxState(int c, int r, bool value)
{
    const TRealRow real = RealRowIndex(TDisplRow(r));
    TCellGraphic* g = GraphicAtRealRow(c, real);
    if (!g) return false;
    switch (g->CellType) {
    case ctCheckBox:
        if (g->CellBoolean != value) {
            g->CellBoolean = value;
            CheckBoxChange(c, r, value);
            RepaintDispl(c, r);
        }
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        QString t, f;
        GetCheckTrue(c, r, t);
        GetCheckFalse(c, r, f);
        const bool was = AllCells(c, real) == t;
        SetAllCells(c, real, value ? t : f);
        if (was != value) CheckBoxChange(c, r, value);
        return true;
    }
    case ctRowCheckBox: {
        if (c != 0) return false;
        const int idx = RowFlagIndex(r);
        if (RowSelect(idx) != value) {
            SetRowSelect(idx, value);
            CheckBoxChange(c, r, value);
        }
        return true;
    }
    default: return false;
    }
}

void TExtStringGrid::CheckAll(int c)
{
    for (int r = FixedRows(); r < RowCount(); ++r) ChangeCheckBoxState(c, r, true);
    if (NumHiddenColumns() > 0) InvalidateCol(DisplColIndex(c));
}

void TExtStringGrid::UnCheckAll(int c)
{
    for (int r = FixedRows(); r < RowCount(); ++r) ChangeCheckBoxState(c, r, false);
}

bool TExtStringGrid::SetRadioButtonState(int c, int r, bool state)
{
    if (c < 0 || r < 0) return false;
    const QPoint b = BaseCell(c, r);
    TCellGraphic* g = GetCellGraphic(b.x(), b.y());
    if (!g || g->CellType != ctRadioButton) return false;
    if (g->CellBoolean != state) {
        g->CellBoolean = state;
        RepaintDispl(b.x(), b.y());
    }
    return true;
}

void TExtStringGrid::SetRadioButtonColumnIndex(int c, int index)
{
    for (int r = FixedRows(); r < RowCount(); ++r) SetRadioButtonState(c, r, r == index);
}

void TExtStringGrid::RecordToggle(int c, int r, const QString& oldText, const QString& newText)
{
    if (TExtGridUndoRedo* u = UndoRedo()) u->RegisterChange(c, r, oldText, newText);
}

void TExtStringGrid::PlayBackCell(int c, int r, const QString& value)
{
    // The store addresses the cell by real column and display row, as the
    // toggle recorded it.
    TCellGraphic* g = GetCellGraphic(c, r);
    if (g && (g->CellType == ctCheckBox || g->CellType == ctTriStateCheckBox)) {
        QString checkTrue, checkFalse;
        GetCheckTrue(c, r, checkTrue);
        GetCheckFalse(c, r, checkFalse);
        if (g->CellType == ctTriStateCheckBox) {
            // The three states were recorded as check-true, check-false and
            // the empty text for grayed (see ToggleCheck).
            g->CellCheckBoxState = value == checkTrue ? cbChecked : value == checkFalse ? cbUnchecked : cbGrayed;
            RepaintDispl(c, r);
            return;
        }
        if (value == checkTrue || value == checkFalse) {
            g->CellBoolean = value == checkTrue;
            RepaintDispl(c, r);
            return;
        }
    }
    SetCellEx(c, r, value);
}

bool TExtStringGrid::ToggleCheck(int c, int r, bool checkEditable)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) return false;

    const bool autoGroup = FGrouping->AutoCheckGroup();
    bool isNode = false;
    bool contracted = false;
    int span = 0;
    int parent = -1;
    if (autoGroup) {
        if (IsNode(r)) {
            isNode = true;
            span = GetNodeSpan(r);
            contracted = NodeState(r);
        } else {
            parent = GetParentRow(r);
            if (parent >= 0) span = GetNodeSpan(parent);
        }
    }

    const TCellType kind = g->CellType;
    if (!IsBoxKind(kind)) return false;
    if (checkEditable && !FControlLook->CheckAlwaysActive()) {
        bool allow = true;
        QueryCanEdit(c, r, allow);
        if (!allow) return false;
    }

    QString checkTrue, checkFalse;
    GetCheckTrue(c, r, checkTrue);
    GetCheckFalse(c, r, checkFalse);

    bool newState = false;
    switch (kind) {
    case ctCheckBox:
        g->CellBoolean = !g->CellBoolean;
        newState = g->CellBoolean;
        RecordToggle(c, r, newState ? checkFalse : checkTrue, newState ? checkTrue : checkFalse);
        break;
    case ctTriStateCheckBox: {
        TCheckBoxState& s = g->CellCheckBoxState;
        const TCheckBoxState old = s;
        if (isNode)
            s = s == cbChecked ? cbUnchecked : cbChecked;
        else
            s = s == cbUnchecked ? cbGrayed : s == cbGrayed ? cbChecked : cbUnchecked;
        // The state the box ends in is what is reported.
        newState = s == cbChecked;
        // Two texts cannot tell three states apart: grayed is recorded as
        // the empty text, so that undo brings back the exact state.
        auto text = [&](TCheckBoxState t) {
            return t == cbChecked ? checkTrue : t == cbUnchecked ? checkFalse : QString();
        };
        RecordToggle(c, r, text(old), text(s));
        break;
    }
    case ctRowCheckBox: {
        // The row box is the row's selection flag: toggling it selects or
        // unselects the row and leaves the cell text alone.
        const int idx = RowFlagIndex(r);
        newState = !RowSelect(idx);
        SetRowSelect(idx, newState);
        break;
    }
    default: {
        const QString old = Cells(c, r);
        newState = old != checkTrue;
        const QString now = newState ? checkTrue : checkFalse;
        SetCells(c, r, now);
        RecordToggle(c, r, old, now);
        break;
    }
    }
    RepaintDispl(c, r);
    CheckBoxChange(c, r, newState);

    if (autoGroup) {
        if (isNode) {
            const int real = RealRowIndex(TDisplRow(r)).Value();
            for (int k = 1; k < span; ++k) {
                const int target = contracted ? real + k : RealRowIndex(TDisplRow(r + k)).Value();
                SetCheckBoxState(c, target, newState);
            }
        } else if (parent >= 0) {
            const int realParent = RealRowIndex(TDisplRow(parent)).Value();
            bool first = false;
            GetCheckBoxState(c, realParent + 1, first);
            bool differs = false;
            for (int k = 1; k < span && !differs; ++k) {
                bool s = false;
                GetCheckBoxState(c, realParent + k, s);
                differs = s != first;
            }
            SetCheckBoxState(c, realParent, differs ? cbGrayed : first ? cbChecked : cbUnchecked);
        }
    }
    return true;
}

bool TExtStringGrid::ToggleRadioButton(int c, int r, bool checkEditable)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType != ctRadioButton) return false;
    if (checkEditable && !FControlLook->CheckAlwaysActive()) {
        bool allow = true;
        QueryCanEdit(c, r, allow);
        if (!allow) return false;
    }
    if (!g->CellBoolean) {
        g->CellBoolean = true;
        RepaintDispl(c, r);
        for (int i = 0; i < RowCount(); ++i) {
            if (i == r) continue;
            TCellGraphic* o = GetCellGraphic(c, i);
            if (o && o->CellType == ctRadioButton && o->CellBoolean) {
                o->CellBoolean = false;
                RepaintDispl(c, i);
            }
        }
    }
    return true;
}

void TExtStringGrid::SelectNextRadio(int c, int r, bool checkEditable)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType != ctRadio) return;
    const QStringList* captions = g->Strings();
    if (!captions || captions->isEmpty()) return;
    if (checkEditable && !FControlLook->RadioAlwaysActive()) {
        bool allow = true;
        QueryCanEdit(c, r, allow);
        if (!allow) return;
    }
    int next = g->CellIndex >= 0 ? g->CellIndex + 1 : int(captions->indexOf(Cells(c, r))) + 1;
    if (next >= captions->size()) next = 0;
    if (g->CellIndex >= -1) g->CellIndex = next;
    g->CellVar = next;
    SetCells(c, r, captions->at(next));
}

void TExtStringGrid::CanAddRow(bool& canAdd)
{
    if (OnCanAddRow) OnCanAddRow(this, canAdd);
}

void TExtStringGrid::CanInsertRow(int r, bool& canInsert)
{
    if (OnCanInsertRow) OnCanInsertRow(this, r, canInsert);
}

void TExtStringGrid::CheckBoxChange(int c, int r, bool state)
{
    if (OnCheckBoxChange) OnCheckBoxChange(this, c, r, state);
}

bool TExtStringGrid::RatingChange(int c, int r, double& newRate)
{
    bool allow = true;
    if (OnRatingChange) OnRatingChange(this, c, r, newRate, allow);
    return allow;
}

void TExtStringGrid::ColorSelect(TColor color, const QString& value)
{
    if (OnColorSelect) OnColorSelect(this, Col(), Row(), color, value);
}

void TExtStringGrid::ImageSelect(int index)
{
    if (OnImageSelect) OnImageSelect(this, Col(), Row(), index);
}

bool TExtStringGrid::IsInCheckBox(int c, int r, int x, int y)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) return false;
    const TCellType t = g->CellType;
    if (!IsBoxKind(t) && t != ctRadioButton) return false;
    if (!FMouseActions->PreciseCheckBoxCheck()) return true;
    const int s = FControlLook->CheckSize();
    const TRect rc = CellRect(DisplColIndex(c), r);
    int top = rc.Top + (rc.Height() - s) / 2;
    if (g->CellVAlign == TCellVAlign::vaTop)
        top = rc.Top + 2;
    else if (g->CellVAlign == TCellVAlign::vaBottom)
        top = rc.Bottom - s - 2;
    TAlignment ha = Alignments(c, r);
    TVAlignment va = FVAlignment;
    QueryAlignment(c, r, ha, va);
    int left = rc.Left + 2;
    if (ha == taRightJustify) {
        left = rc.Right - s - 2;
        if (!Cells(c, r).isEmpty()) left -= CellMeasurer().GetCellTextSize(c, r, false).width();
    } else if (ha == taCenter) {
        left = rc.Left + (rc.Width() - s) / 2;
    }
    return x >= left && x < left + s && y >= top && y < top + s;
}
