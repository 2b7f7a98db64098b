#include "dropdown/ExtMultiColumnDropDown.h"

#include "platform/GridsWidget.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLocale>
#include <QStyle>
#include <cmath>

namespace ExtMultiColumnDropDown {

namespace {

// A surface to measure texts on.
struct TMeasureCanvas {
    QImage Image{1, 1, QImage::Format_RGB32};
    TCanvas Canvas{&Image};
};

} // namespace

int ScrollBarWidth() { return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

bool OnDropDownForm(const TCustomGrid& grid)
{
    auto* w = dynamic_cast<QWidget*>(grid.View());
    return w && dynamic_cast<TDropDownForm*>(w->parentWidget());
}

int AutoSizeCellWidth(const TDropDownColumnSettings& col, int index, const TDropDownItemSettings& item,
                      TCustomImageList* images)
{
    const QString text = item.TextAt(index);
    int w = col.ColumnType == TColumnType::ctImage && item.ImageIndex >= 0 && images ? images->Width() + 4 : 0;
    if (!text.isEmpty()) {
        TMeasureCanvas m;
        m.Canvas.SetFont(col.Font);
        TRect box{0, 0, 1000, 500};
        m.Canvas.DrawText(text, box, tfCalcRect | tfSingleLine | tfNoPrefix);
        w += box.Width() + 6;
    }
    return w;
}

int WrappedCellHeight(const TDropDownColumnSettings& col, int index, int width, const TDropDownItemSettings& item,
                      TCustomImageList* images)
{
    int h = col.ColumnType == TColumnType::ctImage && item.ImageIndex >= 0 && images ? images->Height() + 6 : 0;
    const QString text = item.TextAt(index);
    if (!text.isEmpty()) {
        TMeasureCanvas m;
        m.Canvas.SetFont(col.Font);
        TRect box{0, 0, width, 500};
        m.Canvas.DrawText(text, box, tfCalcRect | tfWordBreak | tfNoPrefix);
        h = std::max(h, box.Height() + 6);
    }
    return h;
}

// ---- shared helpers -----------------------------------------------------------

QString FoldLookupCase(const QString& s, bool keep) { return keep ? s : QLocale().toUpper(s); }

std::vector<int> ScaledColumnWidths(const std::vector<int>& widths, int avail)
{
    int total = 1;
    for (int w : widths) total += w;
    const double f = double(avail) / double(total);
    double err = 0;
    std::vector<int> out;
    out.reserve(widths.size());
    for (int w : widths) {
        const double exact = f * w;
        const double near = std::nearbyint(exact);
        err += exact - near;
        if (err > 1) {
            out.push_back(int(near) + 1);
            err -= 1;
        } else {
            out.push_back(int(near));
        }
    }
    return out;
}

int WholeRowsHeight(int height, int strips, int headerHeight, int rowHeight)
{
    if (rowHeight <= 0) return height;
    const int b = height - strips - headerHeight - 2;
    return strips + headerHeight + (b / rowHeight) * rowHeight + 2;
}

// ---- columns and items -----------------------------------------------------------

int TDropDownItems::IndexInColumn(int column, const QString& value) const
{
    for (int i = 0; i < Count(); ++i) {
        const TDropDownItem& it = Items(i);
        if (it.HasText(column) && it.Text[column] == value) return i;
    }
    return -1;
}

// ---- the list grid ---------------------------------------------------------------

TExtColGrid::TExtColGrid()
{
    SetFixedRows(1);
    SetFixedCols(0);
    SetOptions(Options().Without(goRangeSelect).Without(goDrawFocusSelected).With(goHorzLine).With(goRowSelect));
    DefaultDrawingEnabled = false;
    TCustomGrid::SetGridLineWidth(0);
    FOldRow = Row();
}

TExtColGrid::~TExtColGrid() = default;

void TExtColGrid::UpdateFromDropDown(TExtMultiColumnDropDown* d)
{
    if (!d) return;
    SetDropDown(d);
    FColumns.Assign(d->Columns());
    SetColCount(FColumns.Count());
    const int items = d->Items().Count();
    SetRowCount(items + 1);
    if (RowCount() > 1) {
        SetFixedRows(1);
        SetRow(1);
        SetRowCount(items + 1);
    }
    for (int i = 0; i < FColumns.Count(); ++i) SetColWidths(i, FColumns.Items(i).Width);
    TakeLook(*d);
    SetOptions(d->ColumnSizing() ? Options().With(goColSizing) : Options().Without(goColSizing));
    AutoSizeFlaggedColumns();
    AutoSizeWrappedRows();
}

int TExtColGrid::GetNaturalWidth() const
{
    int w = 0;
    for (int c = 0; c < ColCount(); ++c) w += ColWidths(c);
    if (VisibleRowCount() + FixedRows() != RowCount()) w += ScrollBarWidth();
    return w;
}

TRect TExtColGrid::GetCellRect(int c, int r) const
{
    TRect rc = CellRect(c, r);
    if (rc.IsEmpty()) return TRect{};
    rc.Right = rc.Left + ColWidths(c);
    rc.Bottom = rc.Top + RowHeights(r);
    return rc;
}

void TExtColGrid::DrawCell(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state)
{
    TExtMultiColumnDropDown* d = FExtDropDown;
    if (d && d->OnDropDownDrawItem) {
        d->OnDropDownDrawItem(d, c, r, canvas, rect);
        return;
    }
    const int first = FixedCols();
    const int last = ColCount() - 1;
    const int part = c == first && c == last ? 0 : c == first ? 1 : c == last ? 2 : 3;

    TRect rc = GetCellRect(c, r);
    if (rc.IsEmpty()) rc = rect;
    int imageIndex = -1;
    QString text = StoreCell(c, r);
    const bool header = r < FixedRows();
    TColor background = Color;
    TAlignment alignment = taLeftJustify;
    bool wrap = false;
    bool ellipsis = false;
    TColor fontColor = FontColor;
    if (c >= FixedCols() && c < FColumns.Count()) {
        const TDropDownColumn& col = FColumns.Items(c);
        background = col.Color;
        alignment = col.Alignment;
        wrap = col.Wordwrap;
        ellipsis = col.Ellipsis;
        canvas.SetFont(col.Font);
        fontColor = col.FontColor;
        if (d && r > 0 && r - 1 < d->Items().Count()) {
            const TDropDownItem& item = d->Items().Items(r - 1);
            if (col.ColumnType == TColumnType::ctImage) imageIndex = item.ImageIndex;
            if (item.HasText(c)) text = item.Text[c];
        }
    } else {
        canvas.SetFont(FHeaderFont);
    }
    if (d && d->OnDropDownGetItemText) d->OnDropDownGetItemText(d, c, r, text);

    const bool selected = !header && state.Contains(gdSelected);
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetPenStyle(TPenStyle::Solid);
    if (header) {
        text = c < FColumns.Count() ? FColumns.Items(c).Header : QString();
        imageIndex = -1;
        if (FHeaderColor == clNone || FHeaderColorTo == clNone) {
            canvas.SetBrushColor(FHeaderColor);
            canvas.FillRect(rc);
        } else if (d) {
            d->DrawGradient(canvas, FHeaderColor, FHeaderColorTo, 80, rc, true);
        } else {
            FillDropDownGradient(canvas, FHeaderColor, FHeaderColorTo, 80, rc, false);
        }
    } else if (selected && d) {
        d->DrawSelectionBackground(canvas, rc, part, background);
    } else {
        canvas.SetPenColor(background);
        canvas.SetBrushColor(background);
        canvas.SetPenWidth(1);
        canvas.Rectangle(rc);
    }

    // Lines: a width of 0 draws none.
    const int lineWidth = header ? 1 : FGridLineWidth;
    if (lineWidth > 0) {
        canvas.SetPenColor(header ? FFixedLineColor : FLineColor);
        canvas.SetPenWidth(lineWidth);
        const int k = header ? 1 : (lineWidth + 1) / 2;
        if ((!header && HasOption(goHorzLine)) || (header && HasOption(goFixedHorzLine))) {
            canvas.MoveTo(rc.Left - k + 1, rc.Bottom - k);
            canvas.LineTo(rc.Right - k + 1, rc.Bottom - k);
        }
        if ((!header && HasOption(goVertLine)) || (header && HasOption(goFixedVertLine))) {
            canvas.MoveTo(rc.Right - k, rc.Bottom - k);
            canvas.LineTo(rc.Right - k, rc.Top - k);
        }
    }

    rc = rc.Inflated(-FGridLineWidth, -FGridLineWidth);
    int textLeft = rc.Left + 2;
    TCustomImageList* images = d ? d->Images() : nullptr;
    if (images && imageIndex >= 0) {
        const int ih = images->Height();
        const int y = ih < rc.Height() ? rc.Top + (rc.Height() - ih) / 2 : rc.Top;
        images->Draw(canvas, rc.Left + 2, y, imageIndex);
        textLeft = rc.Left + images->Width() + 4;
    }
    if (text.isEmpty()) return;
    canvas.SetBkMode(TBkMode::Transparent);
    canvas.SetFontColor(header ? (d ? d->HeaderFontColor() : FontColor) : selected && d ? d->SelectionTextColor() : fontColor);
    unsigned flags = tfNoPrefix | (wrap ? unsigned(tfWordBreak) : unsigned(tfSingleLine | tfVCenter));
    if (alignment == taRightJustify) flags |= tfRight;
    if (alignment == taCenter) flags |= tfCenter;
    if (ellipsis) flags |= tfEndEllipsis;
    TRect tr{textLeft, rc.Top, rc.Right, rc.Bottom};
    if (wrap) {
        // Word-wrapped text is centred by its measured height.
        TRect m = tr;
        canvas.DrawText(text, m, flags | tfCalcRect);
        const int offset = std::max(0, (tr.Height() - m.Height()) / 2);
        tr.Top += offset;
    }
    canvas.DrawText(text, tr, flags);
}

void TExtColGrid::DoSelect()
{
    if (OnSelect) OnSelect(this);
}

void TExtColGrid::KeyDown(int& key, TShiftState shift)
{
    if (ListKeyDown(key, shift)) return;
    const int k = key;
    TStringGrid::KeyDown(key, shift);
    if (k == VK_RETURN) DoSelect();
}

void TExtColGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TStringGrid::MouseUp(button, shift, x, y);
    int c = -1;
    int r = -1;
    MouseToCell(x, y, c, r);
    if (r >= FixedRows() && r < RowCount()) DoSelect();
}

// ---- the drop-down ------------------------------------------------------------------

TExtMultiColumnDropDown::TExtMultiColumnDropDown(QWidget* parent) : TExtListDropDownBase(parent) { SetUpList(); }

TExtMultiColumnDropDown::~TExtMultiColumnDropDown() = default;

void TExtMultiColumnDropDown::Assign(const TExtMultiColumnDropDown& s)
{
    if (&s == this) return;
    TExtCustomDropDown::Assign(s);
    FCaseSensitive = s.FCaseSensitive;
    FDropDownAutoWidth = s.FDropDownAutoWidth;
    FDropDownRowHeight = s.FDropDownRowHeight;
    FLineColor = s.FLineColor;
    FFixedLineColor = s.FFixedLineColor;
    FColumnSizing = s.FColumnSizing;
    FColumnSizeWithDropDown = s.FColumnSizeWithDropDown;
    FColumns.Assign(s.FColumns);
    FHeaderColor = s.FHeaderColor;
    FHeaderColorTo = s.FHeaderColorTo;
    FHeaderHeight = s.FHeaderHeight;
    FHeaderFont = s.FHeaderFont;
    FHeaderFontColor = s.FHeaderFontColor;
    FLookupColumn = s.FLookupColumn;
    FSelectionTextColor = s.FSelectionTextColor;
    FItems.Assign(s.FItems);
    FItemIndex = s.FItemIndex;
}

void TExtMultiColumnDropDown::SetItemIndex(int value)
{
    if (value >= FItems.Count()) return;
    FItemIndex = value;
    SetTextQuietly(ItemLookupText(value));
}

int TExtMultiColumnDropDown::GetItemIndex(const QString& value) const { return FItems.IndexInColumn(FLookupColumn, value); }

bool TExtMultiColumnDropDown::FindLookupMatch(const QString& s, QString& text, int& index) const
{
    text.clear();
    index = -1;
    if (s.isEmpty() || !FExtColGrid) return false;
    return FindItemMatch(FoldLookupCase(s, FCaseSensitive), text, index);
}

int TExtMultiColumnDropDown::LookupKey(QChar key)
{
    if (LookupEntryKey(key)) return -1;
    QString text;
    int index = -1;
    if (FindLookupMatch(FLookupEntry, text, index)) {
        FItemIndex = index;
        SetTextQuietly(text);
        const int n = std::min<int>(FLookupEntry.size(), text.size());
        setSelection(n, text.size() - n);
        return index;
    }
    return LookupSingleKey(key);
}

// ---- the pop-up ----------------------------------------------------------------------

void TExtMultiColumnDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (FExtColGrid || !DropDownForm()) return;
    FExtColGrid = std::make_unique<TExtColGrid>();
    TGridWidget* w = FExtColGrid->CreateWidget(DropDownForm());
    w->setFrameShape(QFrame::NoFrame);
    FExtColGrid->SetDropDown(this);
    w->setGeometry(0, 0, w->width(), 180);
    FExtColGrid->Color = DropDownColor();
    FExtColGrid->SetFocused(false);
}

void TExtMultiColumnDropDown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    if (DropDownForm()) DropDownForm()->FCancelOnDeActivate = false;
    FShowing = true;
    TExtColGrid* g = FExtColGrid.get();
    if (!g) return;
    g->UpdateFromDropDown(this);
    g->SetOptions(g->Options().With(goThumbTracking));
    g->Color = DropDownColor();
    g->OnSelectCell = [this](TCustomGrid*, int, int row, bool&) { GridSelectCell(row); };
    g->OnSelect = [this](TExtColGrid*) { GridSelect(); };
    int row = FItemIndex + 1;
    if (row < g->FixedRows()) row = 1;
    if (row < g->RowCount()) g->SetRow(row);
    FOldItemIndex = FItemIndex;
}

void TExtMultiColumnDropDown::DoShowDropDown()
{
    TExtCustomDropDown::DoShowDropDown();
    TExtColGrid* g = FExtColGrid.get();
    if (g && DropDownForm() && DropDownForm()->isVisible()) {
        // The list's client size follows the window that was just placed.
        QWidget* w = g->Widget();
        if (auto* area = dynamic_cast<TGridWidget*>(w)) g->SetClientSize(area->viewport()->width(), area->viewport()->height());
        SizeColumnsToDropDown();
        if (g->RowCount() > g->FixedRows() && FItems.Count() > 0) {
            const int row = FItemIndex < 0 ? 1 : FItemIndex + 1;
            if (row < g->RowCount()) {
                g->SetRow(row);
                if (g->GetCellRect(g->FixedCols(), row).IsEmpty())
                    g->SetTopRow(std::max(g->FixedRows(), row - g->VisibleRowCount() + 1));
            }
        }
    }
    FShowing = false;
}

void TExtMultiColumnDropDown::GridSelectCell(int row)
{
    if ((FExtColGrid && FExtColGrid->MouseWheelSelection()) || FShowing) return;
    SetItemIndex(row - 1);
}

void TExtMultiColumnDropDown::GridSelect()
{
    if (FExtColGrid && FExtColGrid->ConfirmSelection()) SetItemIndex(FExtColGrid->Row() - 1);
    DoHideDropDown(false);
    if (OnSelect) OnSelect(this);
}

void TExtMultiColumnDropDown::DoHideDropDown(bool cancel)
{
    if (!DropDownForm() || !DropDownForm()->isVisible()) {
        TExtCustomDropDown::DoHideDropDown(cancel);
        return;
    }
    TExtCustomDropDown::DoHideDropDown(cancel);
    if (cancel) {
        SetItemIndex(FOldItemIndex);
    } else {
        if (FExtColGrid && FExtColGrid->ConfirmSelection()) SetItemIndex(FExtColGrid->Row() - 1);
        FOldItemIndex = FItemIndex;
    }
}

// ---- keys in the open list ----------------------------------------------------------------

namespace {
bool StaysInList(int key, Qt::KeyboardModifiers shift)
{
    return !(shift & Qt::AltModifier) &&
           (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up || key == Qt::Key_Down);
}
} // namespace

void TExtMultiColumnDropDown::ControlKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (!StaysInList(key, shift)) TExtCustomDropDown::ControlKeyDown(key, shift);
}

void TExtMultiColumnDropDown::ControlKeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if (!StaysInList(key, shift)) TExtCustomDropDown::ControlKeyUp(key, shift);
}

void TExtMultiColumnDropDown::ControlKeyPress(QChar& key)
{
    if (key == QChar(13) || key == QChar(27)) {
        FLookupEntry.clear();
        return;
    }
    const int a = LookupKey(key);
    TExtColGrid* g = FExtColGrid.get();
    if (a < 0 || !g) {
        FLookupEntry.clear();
        return;
    }
    const int r = a + g->FixedRows();
    if (r > g->TopRow() + g->VisibleRowCount() || r < g->TopRow()) g->SetTopRow(r);
    g->SetRow(r);
    g->SetCol(0);
}

} // namespace ExtMultiColumnDropDown
