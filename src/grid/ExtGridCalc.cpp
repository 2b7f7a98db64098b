// Column and row aggregates of the string grid, the footer row they are kept
// in, and the floating-footer settings.
//
// A column aggregate walks a row range; a range that reaches past the rows
// shown walks real rows instead, hidden ones included (read through
// AllFloats / AllCells). Each walk reports its progress through
// ExportNotification.
#include "grid/ExtGrid.h"
#include "grid/ExtGridPanels.h"

#include <QScopeGuard>
#include <QSet>
#include <cmath>

namespace {

// The kinds of aggregate the shared walk computes.
enum class TColumnAgg { Sum, Min, Max };

} // namespace

// ---------------------------------------------------------------------------
// Column aggregates

namespace {

struct TRowRange {
    int From;
    int To;
    bool Real;
};

} // namespace

static TRowRange RangeOf(TExtStringGrid& g, int fromRow, int toRow)
{
    TRowRange r{fromRow, toRow, false};
    if (r.From == -1) r.From = g.FixedRows();
    if (r.To == -1) r.To = g.RowCount() - g.FixedFooters() - 1;
    r.Real = r.To > (g.FloatingFooter().Visible() ? g.RowCount() - 1 : g.RowCount());
    return r;
}

// The walk of ColumnSum, ColumnMin and ColumnMax: `value` holds the start.
static double WalkColumn(TExtStringGrid& g, int c, const TRowRange& range, TColumnAgg kind, double value,
                         const std::function<void(TGridExportState, int)>& notify)
{
    notify(TGridExportState::esExportStart, range.From);
    for (int r = range.From; r <= range.To; ++r) {
        const bool hidden = range.Real && g.IsHiddenRow(TRealRow(r));
        const int d = range.Real ? g.DisplRowIndex(TRealRow(r)).Value() : r;
        if (!hidden) {
            if (g.GroupColumn() != -1 && (g.IsNode(d) || g.IsSummary(d))) continue;
            if (const TCellProperties* p = g.CellPropsOrNull(c, d); p && !p->IsBaseCell()) continue;
        }
        notify(TGridExportState::esExportNextRow, r);
        double v = 0;
        try {
            v = range.Real ? g.AllFloats(c, TRealRow(r)) : g.Floats(c, r);
        } catch (const EExtGridError&) {
            continue;
        }
        switch (kind) {
        case TColumnAgg::Sum: value += v; break;
        case TColumnAgg::Min: value = std::min(value, v); break;
        case TColumnAgg::Max: value = std::max(value, v); break;
        }
    }
    notify(TGridExportState::esExportDone, -1);
    return value;
}

double TExtStringGrid::ColumnSum(int c, int fromRow, int toRow)
{
    const TRowRange range = RangeOf(*this, fromRow, toRow);
    return WalkColumn(*this, c, range, TColumnAgg::Sum, 0,
                      [this](TGridExportState s, int r) { ExportNotification(s, r); });
}

double TExtStringGrid::ColumnAvg(int c, int fromRow, int toRow)
{
    const TRowRange range = RangeOf(*this, fromRow, toRow);
    if (range.To < range.From) return 0;
    return ColumnSum(c, range.From, range.To) / (range.To - range.From + 1);
}

double TExtStringGrid::ColumnMin(int c, int fromRow, int toRow)
{
    const TRowRange range = RangeOf(*this, fromRow, toRow);
    // The first row's value is the start, and its error is the caller's.
    const double start = range.Real ? AllFloats(c, TRealRow(range.From)) : Floats(c, range.From);
    return WalkColumn(*this, c, range, TColumnAgg::Min, start,
                      [this](TGridExportState s, int r) { ExportNotification(s, r); });
}

double TExtStringGrid::ColumnMax(int c, int fromRow, int toRow)
{
    const TRowRange range = RangeOf(*this, fromRow, toRow);
    const double start = range.Real ? AllFloats(c, TRealRow(range.From)) : Floats(c, range.From);
    return WalkColumn(*this, c, range, TColumnAgg::Max, start,
                      [this](TGridExportState s, int r) { ExportNotification(s, r); });
}

double TExtStringGrid::ColumnStdDev(int c, int fromRow, int toRow)
{
    const TRowRange range = RangeOf(*this, fromRow, toRow);
    // An empty range has no spread.
    if (range.To < range.From) return 0;
    const double avg = ColumnAvg(c, range.From, range.To);
    ExportNotification(TGridExportState::esExportStart, range.From);
    double sum = 0;
    for (int r = range.From; r <= range.To; ++r) {
        const double v = range.Real ? AllFloats(c, TRealRow(r)) : Floats(c, r);
        sum += (v - avg) * (v - avg);
    }
    ExportNotification(TGridExportState::esExportDone, -1);
    return std::sqrt(sum / (range.To - range.From + 1));
}

// The number of different texts, without letter case.
static double DistinctOf(TExtStringGrid& g, int c, const TRowRange& range,
                         const std::function<void(TGridExportState, int)>& notify)
{
    notify(TGridExportState::esExportStart, range.From);
    const auto done = qScopeGuard([&] { notify(TGridExportState::esExportDone, -1); });
    QSet<QString> texts;
    for (int r = range.From; r <= range.To; ++r) {
        notify(TGridExportState::esExportNextRow, r);
        texts.insert((range.Real ? g.AllCells(c, TRealRow(r)) : g.Cells(c, r)).toCaseFolded());
    }
    return double(texts.size());
}

double TExtStringGrid::ColumnDistinct(int c, int fromRow, int toRow)
{
    return DistinctOf(*this, c, RangeOf(*this, fromRow, toRow),
                      [this](TGridExportState s, int r) { ExportNotification(s, r); });
}

double TExtStringGrid::ColumnCustomCalc(int c, int fromRow, int toRow)
{
    double res = 0;
    if (OnColumnCalc) OnColumnCalc(this, c, fromRow, toRow, res);
    return res;
}

double TExtStringGrid::DoGroupCalc(int c, int fromRow, int toRow)
{
    double res = 0;
    if (OnGroupCalc) OnGroupCalc(this, c, fromRow, toRow, res);
    return res;
}

// ---------------------------------------------------------------------------
// Row aggregates

namespace {

template <typename Step>
double WalkRow(TExtStringGrid& g, int r, int fromCol, int toCol, double value, Step step)
{
    for (int c = fromCol; c <= toCol; ++c) {
        if (const TCellProperties* p = g.CellPropsOrNull(c, r); p && !p->IsBaseCell()) continue;
        try {
            value = step(value, g.Floats(c, r));
        } catch (const EExtGridError&) {
        }
    }
    return value;
}

} // namespace

double TExtStringGrid::RowSum(int r, int fromCol, int toCol)
{
    return WalkRow(*this, r, fromCol, toCol, 0, [](double a, double v) { return a + v; });
}

double TExtStringGrid::RowAvg(int r, int fromCol, int toCol)
{
    if (toCol < fromCol) return 0;
    return RowSum(r, fromCol, toCol) / (toCol - fromCol + 1);
}

double TExtStringGrid::RowMin(int r, int fromCol, int toCol)
{
    return WalkRow(*this, r, fromCol, toCol, Floats(fromCol, r), [](double a, double v) { return std::min(a, v); });
}

double TExtStringGrid::RowMax(int r, int fromCol, int toCol)
{
    return WalkRow(*this, r, fromCol, toCol, Floats(fromCol, r), [](double a, double v) { return std::max(a, v); });
}

// ---------------------------------------------------------------------------
// The footer row

void TExtStringGrid::CalcFooter(int c)
{
    if (!FFloatingFooter || !FFloatingFooter->Visible() ||
        FFloatingFooter->FooterStyle() != TFooterStyle::fsFixedLastRow || !FFloatingFooter->EnableCalculation())
        return;
    CalcFooterCells(c);
}

void TExtStringGrid::CalcFooterCells(int c)
{
    const int footer = RowCount() - 1;
    const int h = FFloatingFooter->CalculateHiddenRows() ? NumHiddenRows() : 0;
    // The rows above the footer; with hidden rows counted the range is one
    // of real rows (whose last is the row above the footer too).
    const TRowRange range{FixedRows(), footer - 1 + h, h > 0};
    const auto notify = [this](TGridExportState s, int r) { ExportNotification(s, r); };
    const int first = c < 0 ? 0 : c;
    const int last = c < 0 ? TotalColCount() - 1 : std::min(c, TotalColCount() - 1);
    for (int col = first; col <= last; ++col) {
        const TCellProperties* p = CellPropsOrNull(col, footer);
        if (!p || p->CalcType() == acNONE || p->CalcType() == acSPREAD) continue;
        const TColumnCalcType kind = p->CalcType();
        if (kind == acCOUNT) {
            SetInts(col, footer, RowCount() - FixedRows() - 1 + h);
            continue;
        }
        if (kind == acCUSTOM) {
            QString value;
            if (OnFooterCalc)
                OnFooterCalc(this, col, footer + h, value);
            else if (FFloatingFooter->OnCalcFooter)
                FFloatingFooter->OnCalcFooter(this, col, footer + h, value);
            SetCells(col, footer, value);
            continue;
        }
        // A column whose aggregate fails shows nothing; the others go on.
        try {
            double v = 0;
            switch (kind) {
            case acSUM: v = WalkColumn(*this, col, range, TColumnAgg::Sum, 0, notify); break;
            case acAVG:
                v = range.To < range.From ? 0
                                          : WalkColumn(*this, col, range, TColumnAgg::Sum, 0, notify) /
                                                (range.To - range.From + 1);
                break;
            case acMIN:
            case acMAX: {
                const double start =
                    range.Real ? AllFloats(col, TRealRow(range.From)) : Floats(col, range.From);
                v = WalkColumn(*this, col, range, kind == acMIN ? TColumnAgg::Min : TColumnAgg::Max, start, notify);
                break;
            }
            case acDISTINCT: v = DistinctOf(*this, col, range, notify); break;
            case acSTDDEV: {
                if (range.To < range.From) break;
                const double avg = WalkColumn(*this, col, range, TColumnAgg::Sum, 0, notify) /
                                   (range.To - range.From + 1);
                double sum = 0;
                for (int r = range.From; r <= range.To; ++r) {
                    const double x = range.Real ? AllFloats(col, TRealRow(r)) : Floats(col, r);
                    sum += (x - avg) * (x - avg);
                }
                v = std::sqrt(sum / (range.To - range.From + 1));
                break;
            }
            default: break;
            }
            SetFloats(col, footer, v);
        } catch (const EExtGridError&) {
            SetCells(col, footer, QString());
        }
    }
    UpdateFooter();
}

void TExtStringGrid::UpdateFooter()
{
    if (FFooterPanel && FFloatingFooter && FFloatingFooter->Visible()) FFooterPanel->Invalidate();
}

void TExtStringGrid::LastRowChanged()
{
    TBaseGrid::LastRowChanged();
    UpdateFooter();
}

// ---------------------------------------------------------------------------
// Floating-footer settings

void TFloatingFooter::Invalidate()
{
    if (FGrid) FGrid->FooterPanel().Invalidate();
}

void TFloatingFooter::SetBorderColor(TColor v)
{
    if (v == FBorderColor) return;
    FBorderColor = v;
    Invalidate();
}

void TFloatingFooter::SetColor(TColor v)
{
    FColor = v;
    Invalidate();
}

void TFloatingFooter::SetColumn(int v)
{
    FColumn = v;
    Invalidate();
}

void TFloatingFooter::SetCustomTemplate(const QString& v)
{
    FCustomTemplate = v;
    Invalidate();
}

void TFloatingFooter::SetFooterStyle(TFooterStyle v)
{
    FFooterStyle = v;
    if (!FGrid) return;
    FGrid->SetHideLastRow(FVisible && v == TFooterStyle::fsFixedLastRow);
    FGrid->Invalidate();
    Invalidate();
}

void TFloatingFooter::SetHeight(int v)
{
    FHeight = v;
    // A hidden footer keeps its panel 0 pixels high.
    if (FGrid && FVisible && v > 0) FGrid->FooterPanel().SetPanelHeight(v - 1);
}

void TFloatingFooter::SetVisible(bool v)
{
    FVisible = v;
    if (!FGrid) return;
    TFooterPanel& panel = FGrid->FooterPanel();
    panel.SetPanelHeight(v ? std::max(0, FHeight - 1) : 0);
    if (panel.parentWidget()) panel.setVisible(v);
    const bool lastRow = v && FFooterStyle == TFooterStyle::fsFixedLastRow;
    FGrid->SetFixedFooters(lastRow ? 1 : 0);
    FGrid->SetHideLastRow(lastRow);
    FGrid->Invalidate();
}

TColumnCalcType TFloatingFooter::GetColumnCalc(int c) const
{
    if (!FGrid) return acNONE;
    const TCellProperties* p = FGrid->CellPropsOrNull(c, FGrid->RowCount() - 1);
    return p ? p->CalcType() : acNONE;
}

void TFloatingFooter::SetColumnCalc(int c, TColumnCalcType v)
{
    if (!FGrid || c < 0 || c >= FGrid->TotalColCount()) return;
    TCellProperties* p = FGrid->GetCellProperties(c, FGrid->RowCount() - 1);
    if (!p) return;
    p->SetCalcType(v);
    FGrid->CalcFooter(c);
}

void TFloatingFooter::Assign(const TFloatingFooter& src)
{
    if (&src == this) return;
    FCalculateHiddenRows = src.FCalculateHiddenRows;
    FColor = src.FColor;
    FColumn = src.FColumn;
    FCustomTemplate = src.FCustomTemplate;
    FFooterStyle = src.FFooterStyle;
    SetVisible(src.FVisible);
    // The panel's hint switch follows too, so that it never stays stale.
    SetShowHint(src.FShowHint);
}

void TFloatingFooter::SetShowHint(bool v)
{
    FShowHint = v;
    if (FGrid) FGrid->FooterPanel().SetShowHint(v);
}
