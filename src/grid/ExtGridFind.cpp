// Find and replace, the sort-column search and the search bar's handlers.
#include "controls/EsgHTMLUtil.h"
#include "controls/ExtFilter.h"
#include "grid/ExtGrid.h"

namespace {

using enum TFindParameters;

const QString TwoQuotes = QStringLiteral("\"\"");

// text with every occurrence of from replaced by to, outside mini-HTML tags
// only when outsideTags; whether anything was replaced.
bool ReplaceIn(QString& text, const QString& from, const QString& to, Qt::CaseSensitivity cs, bool outsideTags)
{
    if (from.isEmpty()) return false;
    if (!outsideTags) {
        if (!text.contains(from, cs)) return false;
        text.replace(from, to, cs);
        return true;
    }
    QString out;
    bool changed = false;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == QLatin1Char('<')) {
            qsizetype end = text.indexOf(QLatin1Char('>'), i);
            end = end < 0 ? text.size() : end + 1;
            out += text.mid(i, end - i);
            i = end;
            continue;
        }
        qsizetype end = text.indexOf(QLatin1Char('<'), i);
        if (end < 0) end = text.size();
        QString part = text.mid(i, end - i);
        if (part.contains(from, cs)) {
            part.replace(from, to, cs);
            changed = true;
        }
        out += part;
        i = end;
    }
    if (changed) text = out;
    return changed;
}

} // namespace

// ---------------------------------------------------------------------------
// Find

QPoint TExtStringGrid::Find(QPoint start, const QString& s, TFindParams params)
{
    ExportNotification(TGridExportState::esExportStart, -1);
    const QPoint result = FindCell(start, s, QString(), params);
    ExportNotification(result.x() < 0 ? TGridExportState::esExportDone : TGridExportState::esExportFail, -1);
    if (params.Contains(fnAutoGoto)) {
        // Keeps the current row clear of the bottom edge and the footer.
        const int a = FloatingFooter().Visible() ? 2 : 0;
        if (TopRow() + VisibleRowCount() - a - 2 < Row() && VisibleRowCount() + FixedRows() + a < RowCount())
            SetTopRow(TopRow() + a + 1);
    }
    return result;
}

QPoint TExtStringGrid::FindWide(QPoint start, const QString& s, TFindParams params)
{
    ExportNotification(TGridExportState::esExportStart, -1);
    const QPoint result = FindCell(start, QString(), s, params);
    ExportNotification(result.x() < 0 ? TGridExportState::esExportDone : TGridExportState::esExportFail, -1);
    return result;
}

QPoint TExtStringGrid::FindFirst(const QString& s, TFindParams params)
{
    FSearchCell = Find(QPoint(-1, -1), s, params);
    return FSearchCell;
}

QPoint TExtStringGrid::FindNext()
{
    FSearchCell = Find(FSearchCell, FSearchCache, FFindParams);
    return FSearchCell;
}

QPoint TExtStringGrid::FindCell(QPoint start, const QString& text, const QString& wideText, TFindParams params)
{
    const QPoint none(-1, -1);
    FFindParams = params;
    const bool matchCase = params.Contains(fnMatchCase);
    FSearchCache = matchCase ? text : text.toUpper();
    FSearchCacheWide = matchCase ? wideText : wideText.toUpper();
    if (ColCount() == FixedCols() || ColCount() == 0 || RowCount() + NumHiddenRows() == FixedRows() || RowCount() == 0)
        return none;
    const bool wide = !wideText.isEmpty();

    // The region.
    int minC, maxC, minR, maxR;
    if (params.Contains(fnIncludeFixed)) {
        minC = 0;
        maxC = ColCount() - 1;
        minR = 0;
        maxR = RowCount() - 1;
    } else {
        minC = FixedCols();
        maxC = ColCount() - FixedRightCols() - 1;
        minR = FixedRows();
        maxR = RowCount() - FixedFooters() - 1;
    }
    if (params.Contains(fnSelectedCells)) {
        const TGridRect sel = Selection();
        minC = sel.Left;
        maxC = sel.Right;
        minR = sel.Top;
        maxR = sel.Bottom;
    }
    if (params.Contains(fnIncludeHiddenColumns)) maxC += NumHiddenColumns();
    if (params.Contains(fnIncludeHiddenRows)) maxR += NumHiddenRows();

    // The start: the corner, or one step on from the start cell.
    const bool back = params.Contains(fnBackward);
    const bool leftRight = params.Contains(fnDirectionLeftRight);
    const int d = back ? -1 : 1;
    QPoint p;
    if (start == none) {
        p = back ? QPoint(maxC, maxR) : QPoint(minC, minR);
    } else {
        p = start;
        int& inner = leftRight ? p.rx() : p.ry();
        int& outer = leftRight ? p.ry() : p.rx();
        const int innerEdge = leftRight ? (back ? minC : maxC) : (back ? minR : maxR);
        const int outerEdge = leftRight ? (back ? minR : maxR) : (back ? minC : maxC);
        if (back ? inner >= innerEdge : inner <= innerEdge)
            inner += d;
        else if (back ? outer >= outerEdge : outer <= outerEdge)
            outer += d;
        else
            p = back ? QPoint(maxC, maxR) : QPoint(minC, minR);
    }

    // Restrictions to one row or column.
    bool restricted = false;
    if (params.Contains(fnFindInCurrentRow)) {
        minR = maxR = Row();
        p.setY(Row());
        restricted = true;
    }
    if (params.Contains(fnFindInPresetRow)) {
        minR = maxR = FFindRow;
        p.setY(FFindRow);
        restricted = true;
    }
    if (params.Contains(fnFindInCurrentCol)) {
        minC = maxC = Col();
        p.setX(Col());
        restricted = true;
    }
    if (params.Contains(fnFindInPresetCol)) {
        minC = maxC = FFindCol;
        p.setX(FFindCol);
        restricted = true;
    }
    if (restricted && p == start) {
        // Never the start cell again: on to the next row (column).
        if (leftRight)
            p.ry() += d;
        else
            p.rx() += d;
    }

    auto found = [&](int x, int y) {
        ExportNotification(TGridExportState::esExportNewRow, y);
        return FindCellMatch(x, y, wide);
    };
    QPoint hit = none;
    if (leftRight) {
        const int restartC = params.Contains(fnFindInCurrentCol) ? Col() : (back ? maxC : minC);
        for (int y = p.y(), first = 1; y >= minR && y <= maxR && hit == none; y += d, first = 0)
            for (int x = first ? p.x() : restartC; x >= minC && x <= maxC; x += d) {
                if (IsIgnoredColumn(x)) continue;
                if (found(x, y)) {
                    hit = QPoint(x, y);
                    break;
                }
            }
    } else {
        const int restartR = params.Contains(fnFindInCurrentRow) ? Row() : (back ? maxR : minR);
        for (int x = p.x(), first = 1; x >= minC && x <= maxC && hit == none; x += d, first = 0)
            for (int y = first ? p.y() : restartR; y >= minR && y <= maxR; y += d)
                if (found(x, y)) {
                    hit = QPoint(x, y);
                    break;
                }
    }
    if (hit == none) return none;

    FSearchCell = hit;
    if (params.Contains(fnAutoGoto)) {
        int t = hit.y();
        bool reachable = true;
        if (params.Contains(fnIncludeHiddenRows) && NumHiddenRows() > 0) {
            // hit.y() is a real row: contracted nodes over it open, outermost
            // first; a row hidden otherwise stays out of reach.
            const TRealRow real(hit.y());
            for (int guard = 0; IsHiddenRow(real) && guard <= TotalRowCount(); ++guard) {
                const TGridItem* item = HiddenRow(real);
                if (!item || item->Kind() != THiddenRowKind::hkNode) break;
                int above = -1; // the nearest shown row above it
                for (int r = 0; r < RowCount() && RealRowIndex(TDisplRow(r)).Value() < hit.y(); ++r) above = r;
                if (above < 0 || !IsNode(above) || !GetNodeState(above)) break;
                ExpandNode(RealRowIndex(TDisplRow(above)).Value());
            }
            reachable = !IsHiddenRow(real);
            if (reachable) t = DisplRowIndex(real).Value();
        }
        int c = hit.x();
        if (params.Contains(fnIncludeHiddenColumns)) {
            if (IsHiddenColumn(c))
                c = Col();
            else
                c = DisplColIndex(c);
        }
        if (reachable) {
            if (MouseActions().DisjunctRowSelect()) {
                ClearRowSelect();
                SetRowSelect(t, true);
                SetRow(t);
            } else {
                SetRow(t);
                SetCol(c);
            }
        }
    }
    return hit;
}

bool TExtStringGrid::FindCellMatch(int x, int y, bool wide)
{
    const bool matchCase = FFindParams.Contains(fnMatchCase);
    const int c = FFindParams.Contains(fnIncludeHiddenColumns) ? x : RealColIndex(x);
    QString cell;
    if (wide) {
        cell = WideCells(c, y);
    } else if (FFindParams.Contains(fnIncludeHiddenRows)) {
        try {
            cell = AllCells(c, TRealRow(y));
        } catch (const Exception&) {
            cell.clear(); // a parked row that holds fewer columns
        }
    } else {
        cell = Cells(c, y);
    }
    if (!matchCase) cell = cell.toUpper();
    if (!wide && FFindParams.Contains(fnIgnoreHTMLTags)) cell = StripMiniHtml(cell);
    const QString& s = wide ? FSearchCacheWide : FSearchCache;
    if (s == TwoQuotes) return cell.isEmpty();
    if (FFindParams.Contains(fnMatchRegular)) return MatchFilterExpression(s, cell, matchCase, SystemFormatSettings());
    const qsizetype pos = s.isEmpty() ? -1 : cell.indexOf(s);
    const bool startOk = FFindParams.Contains(fnMatchStart) ? pos == 0 : pos >= 0;
    const bool fullOk = !FFindParams.Contains(fnMatchFull) || s == cell;
    return startOk && fullOk;
}

// ---------------------------------------------------------------------------
// Replace and the sort-column search

int TExtStringGrid::Replace(const QString& origStr, const QString& newStr, TFindParams params)
{
    const Qt::CaseSensitivity cs = params.Contains(fnMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool hiddenRows = params.Contains(fnIncludeHiddenRows);
    const bool outsideTags = params.Contains(fnIgnoreHTMLTags);
    int count = 0;
    QPoint p(-1, -1);
    for (;;) {
        p = Find(p, origStr, params);
        if (p.x() < 0) break;
        const int c = params.Contains(fnIncludeHiddenColumns) ? p.x() : RealColIndex(p.x());
        // The stored text is changed, never the display text (a formatted
        // number would lose its digits).
        QString text;
        try {
            text = hiddenRows ? AllGridCells(c, TRealRow(p.y())) : GridCells(c, p.y());
        } catch (const Exception&) {
            continue;
        }
        if (!ReplaceIn(text, origStr, newStr, cs, outsideTags)) continue;
        if (hiddenRows)
            SetAllCells(c, TRealRow(p.y()), text);
        else
            SetCells(c, p.y(), text);
        if (ShowModified().Enabled()) {
            const int r = hiddenRows ? DisplRowIndex(TRealRow(p.y())).Value() : p.y();
            if (r >= 0 && r < RowCount()) SetRowModified(r, true);
        }
        ++count;
    }
    return count;
}

int TExtStringGrid::Search(const QString& s)
{
    if (RowCount() < 2) return -1;
    int c = FixedCols();
    if (SortSettings().Show()) {
        if (SortSettings().IndexShow())
            c = SortIndexes().Count() > 0 ? SortIndexes().SortColumns(0) : FixedCols();
        else
            c = SortSettings().Column();
    }
    if (c < 0) return -1;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (StrippedCells(c, r).left(s.size()).toUpper() == s) return r;
    return -1;
}

// ---------------------------------------------------------------------------
// The search bar

namespace {

// The options the bar's switches give every search of the bar.
TFindParams BarParams(TExtStringGrid& g, TFindParams p, bool highlight, bool matchCase)
{
    const TSearchFooter& f = g.SearchFooter();
    if (highlight) p.Include(fnIgnoreHTMLTags);
    if (matchCase) p.Include(fnMatchCase);
    if (f.SearchActiveColumnOnly()) p.Include(fnFindInCurrentCol);
    if (f.SearchMatchStart()) p.Include(fnMatchStart);
    if (f.SearchColumn() >= 0 && f.SearchColumn() < g.ColCount()) {
        g.SetFindCol(f.SearchColumn());
        p.Include(fnFindInPresetCol);
    }
    return p;
}

} // namespace

void TExtStringGrid::SearchFooterEditChange(const QString& value)
{
    bool defaultSearch = true;
    if (OnSearchEditChange) OnSearchEditChange(this, value, defaultSearch);
    const TSearchFooter& f = *FSearchFooter;
    if (!defaultSearch || !f.AutoSearch()) return;
    ISearchBarView* bar = FSearchBarView;
    const bool highlight = bar && bar->HighlightDown();
    const bool matchCase = bar && bar->MatchCase();
    TFindParams p = BarParams(*this, {fnAutoGoto}, highlight, matchCase);
    if (f.SearchFixedCells()) p.Include(fnIncludeFixed);
    if (f.SearchHiddenRows()) p.Include(fnIncludeHiddenRows);
    if (f.SearchDirection() == sdLeftRight) p.Include(fnDirectionLeftRight);
    FFindParams = p;
    const int col = f.SearchColumn();
    auto unhighlight = [&] {
        if (col == -1)
            UnHilightInGrid(false);
        else
            UnHilightInCol(false, col);
    };
    auto setColor = [&](TColor color) {
        if (!bar) return;
        bar->SetBoxColor(color);
        bar->Repaint();
    };
    if (highlight || f.AlwaysHighLight()) unhighlight();
    if (!value.isEmpty()) {
        FSearchCell = Find(QPoint(-1, -1), value, p);
        SearchFooterAction(value, FSearchCell.x(), FSearchCell.y(), TSearchAction::saFindFirst);
        if (FSearchCell.x() < 0) {
            setColor(clRed);
        } else {
            setColor(clWindow);
            if (!p.Contains(fnIncludeHiddenRows)) ScrollInView(FSearchCell.x(), FSearchCell.y());
            if (highlight || f.AlwaysHighLight()) {
                if (col == -1)
                    HilightInGrid(false, matchCase, value);
                else
                    HilightInCol(false, matchCase, col, value);
            }
        }
    } else {
        setColor(clWindow);
        if (highlight) unhighlight();
    }
}

namespace {

// The find-next and find-previous buttons.
void BarStep(TExtStringGrid& g, bool backward)
{
    TSearchFooter& f = g.SearchFooter();
    ISearchBarView* bar = g.SearchBarView();
    const QString text = bar ? bar->Text() : QString();
    if (!f.AutoSearch()) {
        // A new text starts from the beginning.
        if (text != f.LastSearch) g.SetSearchCell(QPoint(-1, -1));
        f.LastSearch = text;
    }
    TFindParams p = BarParams(g, backward ? TFindParams{fnAutoGoto, fnBackward} : TFindParams{fnAutoGoto},
                              bar && bar->HighlightDown(), bar && bar->MatchCase());
    if (!backward && f.SearchDirection() == sdLeftRight) p.Include(fnDirectionLeftRight);
    const QPoint cell = g.Find(g.SearchCell(), text, p);
    g.SetSearchCell(cell);
    const int v = g.FloatingFooter().Visible() ? 1 : 0;
    auto keepClear = [&] {
        if (g.TopRow() + g.VisibleRowCount() - 2 - v < g.Row() && g.VisibleRowCount() + g.FixedRows() + v < g.RowCount())
            g.SetTopRow(g.TopRow() + 2);
    };
    const bool hit = cell.x() >= 0;
    if (backward) keepClear();
    if (hit) g.ScrollInView(cell.x(), cell.y());
    if (!backward) keepClear();
    g.SearchFooterAction(text, cell.x(), cell.y(),
                       backward ? TSearchAction::saFindPrevious : TSearchAction::saFindNext);
    if (bar) bar->Repaint();
}

} // namespace

void TExtStringGrid::SearchFooterFindNext()
{
    BarStep(*this, false);
}

void TExtStringGrid::SearchFooterFindPrev()
{
    BarStep(*this, true);
}

void TExtStringGrid::SearchFooterHighlight()
{
    ISearchBarView* bar = FSearchBarView;
    const int col = FSearchFooter->SearchColumn();
    if (bar && bar->HighlightDown()) {
        const QString text = bar->Text();
        if (col == -1)
            HilightInGrid(false, bar->MatchCase(), text);
        else
            HilightInCol(false, bar->MatchCase(), col, text);
    } else if (col == -1) {
        UnHilightInGrid(false);
    } else {
        UnHilightInCol(false, col);
    }
}
