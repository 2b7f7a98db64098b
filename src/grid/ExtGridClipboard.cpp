// The grid's clipboard: copying cells as tab-separated text, rich text, HTML
// and the grid's own cell stream; pasting text, rich text and cell blocks at
// a cell; the smart paste that fills a selection or continues a series.
#include "controls/ExtRichText.h"
#include "controls/ExtUtil.h"
#include "controls/esgspin.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridCellIO.h"
#include "grid/GridIOLimits.h"
#include "platform/Files.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

const QString kTextMime = QStringLiteral("text/plain");
const QString kRtfMime = QStringLiteral("text/rtf");
const QString kHtmlMime = QStringLiteral("text/html");

TGridRect Ordered(TGridRect r)
{
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
}

// A cell as the spreadsheets' tab-separated text holds it: quoted when it
// holds a TAB, a line break or starts with a double quote; inner quotes
// doubled, every line break one LF.
QString QuoteClipboardCell(const QString& t)
{
    const bool quote = t.startsWith(u'"') || std::any_of(t.cbegin(), t.cend(), [](QChar c) {
                           return c == u'\t' || c == u'\r' || c == u'\n';
                       });
    if (!quote) return t;
    QString s;
    s.reserve(t.size() + 2);
    s += u'"';
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == u'\r') {
            s += u'\n';
            if (i + 1 < t.size() && t[i + 1] == u'\n') ++i;
        } else if (c == u'"') {
            s += QStringLiteral("\"\"");
        } else {
            s += c;
        }
    }
    s += u'"';
    return s;
}

// A pasted text split into lines of fields. Lines end at CR LF, LF or CR
// outside quotes; a field that starts with a double quote runs to its
// closing quote, across lines and TABs, doubled quotes standing for one and
// its line breaks (CR, LF, CR LF, character 11) becoming CR LF.
struct TPastedText {
    std::vector<QStringList> Lines;
    // The text ends with a line break: its last line is the empty remainder.
    bool EndsWithBreak = false;
    // The last field is the empty remainder at the very end: it is skipped.
    bool TrailingEmpty = false;
    int MaxFields = 0;
};

TPastedText ParsePastedText(const QString& text)
{
    TPastedText out;
    QStringList line;
    QString field;
    bool fieldStart = true, lastQuoted = false;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto endLine = [&] {
        line << field;
        field.clear();
        out.MaxFields = std::max(out.MaxFields, int(line.size()));
        out.Lines.push_back(std::move(line));
        line = QStringList();
    };
    while (i < n) {
        const QChar ch = text[i];
        if (fieldStart && ch == u'"') {
            lastQuoted = true;
            fieldStart = false;
            for (++i; i < n; ++i) {
                const QChar q = text[i];
                if (q == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (q == u'\r') {
                    field += QStringLiteral("\r\n");
                    if (i + 1 < n && text[i + 1] == u'\n') ++i;
                } else if (q == u'\n' || q == QChar(11)) {
                    field += QStringLiteral("\r\n");
                } else {
                    field += q;
                }
            }
            continue;
        }
        if (ch == u'\t') {
            line << field;
            field.clear();
            fieldStart = true;
            lastQuoted = false;
            ++i;
        } else if (ch == u'\r' || ch == u'\n') {
            endLine();
            fieldStart = true;
            lastQuoted = false;
            i += ch == u'\r' && i + 1 < n && text[i + 1] == u'\n' ? 2 : 1;
        } else {
            fieldStart = false;
            field += ch;
            ++i;
        }
    }
    // Only an unquoted empty field at the very end is the empty remainder.
    out.TrailingEmpty = n > 0 && !lastQuoted && field.isEmpty();
    out.EndsWithBreak = out.TrailingEmpty && line.isEmpty();
    endLine();
    return out;
}

// The sender the clipboard events get when the grid itself pastes: its
// widget, or null for a grid without one.
QObject* GridSender(TExtStringGrid* g) { return dynamic_cast<QObject*>(g->View()); }

bool ReadDateTime(const QString& s, TDateTime& value, const FormatSettings& fs)
{
    if (HasTwoDateSeparators(s, fs)) return ParseDateByShortFormat(Trim(s), value, fs);
    return TryStrToTime(Trim(s), value, fs);
}

bool ReadInteger(const QString& s, qint64& value)
{
    bool ok = false;
    value = Trim(s).toLongLong(&ok);
    return ok;
}

} // namespace

// ---------------------------------------------------------------------------
// Copy

QString TExtStringGrid::ClipboardText(const TGridRect& rect, bool disjunct)
{
    TMouseActions& ma = MouseActions();
    TNavigation& nav = Navigation();
    FClipTopLeft = QPoint(rect.Left, rect.Top);
    ExportNotification(TGridExportState::esExportStart, -1);
    const bool whole = rect.Top == FixedRows() && rect.Bottom == RowCount() - FixedFooters() - 1;
    for (int r = rect.Top; r <= rect.Bottom; ++r)
        ExportNotification(whole ? TGridExportState::esExportNewRow : TGridExportState::esExportSelRow, r);
    const bool multiRow = rect.Bottom > rect.Top;
    QString out;
    for (int r = rect.Top; r <= rect.Bottom; ++r) {
        if (disjunct && ma.DisjunctRowSelect() && !ma.DisjunctColSelect() && !RowSelect(r)) continue;
        ExportNotification(TGridExportState::esExportNewRow, r);
        bool first = true;
        for (int c = rect.Left; c <= rect.Right; ++c) {
            if (disjunct && ma.DisjunctColSelect() && !ColSelect(c)) continue;
            if (!first) out += u'\t';
            first = false;
            const int rc = RealColIndex(c);
            QString t;
            GetSaveText(rc, r, t);
            if (t.startsWith(WideTextMarker)) t = DecodeWideCellText(t);
            if (!nav.CopyHTMLTagsToClipboard() && t.contains(QStringLiteral("</")))
                t = StrippedCells(rc, r);
            else if (t.contains(RichTextMarker))
                t = RichTextToPlainText(t);
            out += QuoteClipboardCell(t);
        }
        if (multiRow) out += QStringLiteral("\r\n");
        // The first row tells about how long the others are: the text is
        // then built in place instead of being moved at every growth.
        if (r == rect.Top && multiRow) out.reserve(out.size() * (qsizetype(rect.Bottom - rect.Top) + 1) * 9 / 8);
    }
    ExportNotification(TGridExportState::esExportDone, -1);
    return out;
}

QString TExtStringGrid::GetSelectionAsText() { return ClipboardText(Ordered(Selection()), false); }

void TExtStringGrid::CopyRectToClipboard(const TGridRect& rect, bool disjunct)
{
    TNavigation& nav = Navigation();
    auto mime = std::make_unique<QMimeData>();
    mime->setText(ClipboardText(rect, disjunct));
    const bool inside = rect.Left >= 0 && rect.Top >= 0 && rect.Left <= rect.Right && rect.Top <= rect.Bottom &&
                        rect.Right < TotalColCount() && rect.Bottom < RowCount();
    if (inside && nav.AllowRTFClipboard()) {
        const QString rich = Cells(RealColIndex(rect.Left), rect.Top);
        if (rich.contains(RichTextMarker)) mime->setData(kRtfMime, EncodeAnsi(rich));
    }
    if (inside && nav.AllowFmtClipboard())
        mime->setData(QString::fromLatin1(GridCellsClipboardFormat), SaveRectToBinBytes(rect));
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

void TExtStringGrid::WidenOverMergedCorners()
{
    TGridRect sel = Ordered(Selection());
    auto spanOf = [&](int c, int r, QPoint& base) {
        base = BaseCell(c, r);
        return CellSpan(base.x(), base.y());
    };
    QPoint base;
    bool changed = false;
    QPoint span = spanOf(sel.Left, sel.Top, base);
    if (span.x() > 0 || span.y() > 0) {
        sel.Left = base.x();
        sel.Top = base.y();
        changed = true;
    }
    span = spanOf(sel.Right, sel.Bottom, base);
    if (span.x() > 0 || span.y() > 0) {
        sel.Right = std::min(ColCount() - 1, base.x() + span.x());
        sel.Bottom = std::min(RowCount() - 1, base.y() + span.y());
        changed = true;
    }
    if (changed) SetSelection(sel);
}

void TExtStringGrid::CopySelectionToClipboard()
{
    WidenOverMergedCorners();
    TMouseActions& ma = MouseActions();
    const bool fmt = Navigation().AllowFmtClipboard();
    if (ma.DisjunctRowSelect() && !fmt)
        CopyRectToClipboard({FixedCols(), SaveStartRow(), ColCount() - FixedRightCols() - 1, SaveEndRow()}, true);
    else if (!ma.DisjunctRowSelect() && ma.DisjunctColSelect() && !fmt)
        CopyRectToClipboard({SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()}, true);
    else
        CopyRectToClipboard(Ordered(Selection()), false);
    FClipLastOp = coCopy;
}

void TExtStringGrid::CopyToClipBoard()
{
    CopyRectToClipboard({SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()}, false);
    FClipLastOp = coCopy;
}

void TExtStringGrid::CopyToClipBoardAsHTML()
{
    // The page from its document type on: the platform adds the offset
    // header the Windows clipboard wants. No picture files are written.
    const QByteArray wrapped = WrapClipboardHtml(SaveToHTMLString(QString()));
    const QByteArray page = wrapped.mid(std::max<qsizetype>(0, wrapped.indexOf("<!DOCTYPE")));
    auto mime = std::make_unique<QMimeData>();
    mime->setData(kHtmlMime, page);
    mime->setText(QString::fromUtf8(page));
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

void TExtStringGrid::CutToClipboard()
{
    const TGridRect range{SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()};
    CopyRectToClipboard(range, false);
    const bool always = Navigation().AllowClipboardAlways();
    for (int r = range.Top; r <= range.Bottom; ++r) {
        for (int c = range.Left; c <= range.Right; ++c) {
            const int rc = RealColIndex(c);
            if (always || IsEditable(rc, r)) SetCells(rc, r, QString());
        }
        if (ShowModified().Enabled()) SetRowModified(r, true);
    }
    FClipLastOp = coCut;
}

void TExtStringGrid::CutSelectionToClipboard()
{
    const TGridRect sel = Ordered(Selection());
    CopySelectionToClipboard();
    TMouseActions& ma = MouseActions();
    const bool modified = ShowModified().Enabled();
    if (ma.DisjunctRowSelect()) {
        for (int r = FixedRows(); r < RowCount(); ++r) {
            if (!RowSelect(r)) continue;
            ClearRows(r, 1);
            if (modified) SetRowModified(r, true);
        }
    } else if (ma.DisjunctColSelect()) {
        for (int c = FixedCols(); c < ColCount(); ++c)
            if (ColSelect(c)) ClearCols(c, 1);
    } else {
        const bool always = Navigation().AllowClipboardAlways();
        TExtGridUndoRedo* undo = UndoRedo();
        if (undo) undo->StartSequence();
        for (int r = sel.Top; r <= sel.Bottom; ++r)
            for (int c = sel.Left; c <= sel.Right; ++c) {
                const int rc = RealColIndex(c);
                if (!always && !IsEditable(rc, r)) continue;
                if (undo) undo->RegisterChange(rc, r, Cells(rc, r), QString());
                SetCells(rc, r, QString());
            }
        if (undo) undo->StopSequence();
        if (modified)
            for (int r = sel.Top; r <= sel.Bottom; ++r) SetRowModified(r, true);
        if (Navigation().AllowFmtClipboard()) FreeCellPropsRect(sel.Left, sel.Top, sel.Right, sel.Bottom);
    }
    FClipLastOp = coCut;
    if (OnCellsChanged) OnCellsChanged(this, sel);
    if (NumHiddenColumns() > 0) Invalidate();
}

// ---------------------------------------------------------------------------
// Paste

void TExtStringGrid::StorePastedCell(int c, int r, const QString& value)
{
    const int rc = RealColIndex(c);
    if (TExtGridUndoRedo* undo = UndoRedo()) undo->RegisterChange(rc, r, Cells(rc, r), value);
    if (HasCheckBox(rc, r)) {
        QString checkTrue;
        GetCheckTrue(rc, r, checkTrue);
        ChangeCheckBoxState(rc, r, value == checkTrue);
    } else {
        SetCells(rc, r, value);
    }
    if (rc != c) RepaintDispl(c, r);
}

void TExtStringGrid::CellsPasted(QPoint /*sourceTopLeft*/, const TGridRect& target, TClipOperation /*lastOp*/)
{
    if (!ShowModified().Enabled()) return;
    for (int r = std::max(0, target.Top); r <= target.Bottom && r < RowCount(); ++r) SetRowModified(r, true);
}

bool TExtStringGrid::AllowGridClipboardFormat() { return Navigation().AllowFmtClipboard(); }

void TExtStringGrid::MeasurePastedText(const QString& text, int& cols, int& rowSpan)
{
    // The span counts one per line break, one less for each empty line; a
    // final line break adds nothing: one less than the lines holding text.
    const TPastedText pasted = ParsePastedText(text);
    int filled = 0;
    for (const QStringList& line : pasted.Lines)
        if (line.size() > 1 || !line[0].isEmpty()) ++filled;
    cols = pasted.MaxFields;
    rowSpan = std::max(0, filled - 1);
}

int TExtStringGrid::PasteTextAt(int acol, int arow, int& rows, int& cols, const QString& text)
{
    using namespace GridIOLimits;
    rows = cols = 0;
    TNavigation& nav = Navigation();
    const bool always = nav.AllowClipboardAlways();
    if (acol < 0 || arow < 0) return 0;
    if (!HasOption(goEditing) && !always && !MouseActions().RangeSelectAndEdit()) return 0;

    const TPastedText pasted = ParsePastedText(text);
    const int lineCount = int(pasted.Lines.size());
    const bool insert = nav.ClipboardPasteAction() == paInsert;
    // The grid may not grow past the readers' limits: such a paste is refused whole.
    qint64 needRows = RowCount(), needCols = ColCount();
    if (nav.AllowClipboardColGrow()) needCols = std::max<qint64>(needCols, qint64(acol) + pasted.MaxFields);
    if (nav.AllowClipboardRowGrow()) needRows = std::max<qint64>(needRows, qint64(arow) + lineCount);
    if (insert) needRows += lineCount;
    if (!ColsFit(needCols) || !RowsFit(needRows))
        throw EExtGridError(QStringLiteral("The pasted text needs a grid larger than %1 columns by %2 rows").arg(MaxCols).arg(MaxRows));

    const bool floatingLastRow =
        FloatingFooter().Visible() && FloatingFooter().FooterStyle() == TFooterStyle::fsFixedLastRow;
    TExtGridUndoRedo* undo = UndoRedo();
    if (undo) undo->StartSequence();
    int result = 0, r = arow;
    TGridRect stored{INT_MAX, INT_MAX, -1, -1};
    for (int li = 0; li < lineCount; ++li) {
        const QStringList& fields = pasted.Lines[size_t(li)];
        const bool lastLine = li == lineCount - 1;
        ImportNotification(FPasteAll ? TGridImportState::isImportNewRow : TGridImportState::isImportSelRow, r);
        const bool emptyLine = fields.size() == 1 && fields[0].isEmpty();
        if (insert && !emptyLine && r <= RowCount()) InsertRows(r, 1);
        for (int fi = 0; fi < fields.size(); ++fi) {
            ++result;
            const bool lastField = fi == fields.size() - 1;
            if (lastLine && lastField && pasted.TrailingEmpty) continue;
            const int c = acol + fi;
            if (c == ColCount() && nav.AllowClipboardColGrow()) SetColCount(ColCount() + 1);
            if (c >= ColCount() || r >= RowCount()) continue;
            if (!always && !IsEditable(RealColIndex(c), r)) continue;
            QString value = fields[fi];
            bool allow = true;
            const bool wide = value.startsWith(WideTextMarker);
            QString decoded;
            if (wide) {
                decoded = DecodeWideCellText(value);
                if (OnClipboardBeforePasteWideCell) OnClipboardBeforePasteWideCell(this, c, r, decoded, allow);
                value = EncodeWideCellText(decoded);
            } else if (OnClipboardBeforePasteCell) {
                OnClipboardBeforePasteCell(GridSender(this), c, r, value, allow);
            }
            if (!allow) continue;
            StorePastedCell(c, r, value);
            stored = {std::min(stored.Left, c), std::min(stored.Top, r), std::max(stored.Right, c), std::max(stored.Bottom, r)};
            if (wide && !lastField) {
                if (OnClipboardAfterPasteWideCell) OnClipboardAfterPasteWideCell(this, c, r, decoded);
            } else if (OnClipboardAfterPasteCell) {
                OnClipboardAfterPasteCell(GridSender(this), c, r, value);
            }
        }
        // The row advances when more text follows this line.
        const bool moreText = li + 1 < lineCount && !(li + 2 == lineCount && pasted.EndsWithBreak);
        if (moreText) {
            ++r;
            const int growAt = floatingLastRow ? RowCount() - 1 : RowCount();
            if (r == growAt && nav.AllowClipboardRowGrow()) SetRowCount(RowCount() + 1);
        }
    }
    if (undo) undo->StopSequence();
    FPastedBlock = QSize(int(pasted.Lines.front().size()), lineCount - (pasted.EndsWithBreak ? 1 : 0));
    if (stored.Right >= 0) {
        CellsPasted(FClipTopLeft, stored, FClipLastOp);
        CellsChanged({RealColIndex(stored.Left), stored.Top, RealColIndex(stored.Right), stored.Bottom});
    }
    rows = lineCount;
    cols = int(pasted.Lines.back().size());
    return result;
}

void TExtStringGrid::SetSelectionAsText(QString& value)
{
    using namespace GridIOLimits;
    const TGridRect sel = Ordered(Selection());
    const TPastedText pasted = ParsePastedText(value);
    const int lineCount = int(pasted.Lines.size());
    if (!ColsFit(qint64(sel.Left) + pasted.MaxFields) || !RowsFit(qint64(sel.Top) + lineCount))
        throw EExtGridError(QStringLiteral("The text needs a grid larger than %1 columns by %2 rows").arg(MaxCols).arg(MaxRows));
    const bool floatingLastRow =
        FloatingFooter().Visible() && FloatingFooter().FooterStyle() == TFooterStyle::fsFixedLastRow;
    int r = sel.Top, right = sel.Left;
    for (int li = 0; li < lineCount; ++li) {
        const QStringList& fields = pasted.Lines[size_t(li)];
        for (int fi = 0; fi < fields.size(); ++fi) {
            if (li == lineCount - 1 && fi == fields.size() - 1 && pasted.TrailingEmpty) continue;
            const int c = sel.Left + fi;
            if (c >= ColCount()) SetColCount(c + 1);
            if (r >= RowCount()) continue;
            SetGridCells(RealColIndex(c), r, fields[fi]);
            right = std::max(right, c);
        }
        const bool moreText = li + 1 < lineCount && !(li + 2 == lineCount && pasted.EndsWithBreak);
        if (moreText) {
            ++r;
            const int growAt = floatingLastRow ? RowCount() - 1 : RowCount();
            if (r >= growAt) SetRowCount(RowCount() + 1);
        }
    }
    CellsChanged({sel.Left, sel.Top, right, r});
}

int TExtStringGrid::PasteCellsAt(const QByteArray& bytes, int acol, int arow, int& rows, int& cols)
{
    using namespace GridIOLimits;
    if (acol < 0 || arow < 0) return 0;
    TNavigation& nav = Navigation();
    const bool insert = nav.ClipboardPasteAction() == paInsert;
    BeforePaste();
    TGridPropIO head;
    // The block is read and checked whole before the grid grows or rows are
    // inserted: a bad block raises the stream error and changes nothing.
    LoadCellBlock(QPoint(acol, arow), bytes, true, [&](const TGridPropIO& h) {
        head = h;
        qint64 needCols = ColCount(), needRows = RowCount();
        if (nav.AllowClipboardColGrow() && qint64(acol) + h.ColCount >= ColCount()) needCols = qint64(acol) + h.ColCount;
        if (nav.AllowClipboardRowGrow() && qint64(arow) + h.RowCount >= RowCount()) needRows = qint64(arow) + h.RowCount;
        const bool canInsert = insert && arow <= needRows;
        if (canInsert) needRows += h.RowCount;
        if (!ColsFit(needCols) || !RowsFit(needRows))
            throw EExtGridError(QStringLiteral("The pasted cells need a grid larger than %1 columns by %2 rows").arg(MaxCols).arg(MaxRows));
        if (needCols != ColCount()) SetColCount(int(needCols));
        if (canInsert) {
            if (needRows - h.RowCount != RowCount()) SetRowCount(int(needRows - h.RowCount));
            InsertRows(arow, h.RowCount);
        } else if (needRows != RowCount()) {
            SetRowCount(int(needRows));
        }
    });
    const TGridRect target{acol, arow, acol + head.ColCount - 1, arow + head.RowCount - 1};
    CellsPasted(head.ID == StreamID() ? FClipTopLeft : QPoint(-1, -1), target, FClipLastOp);
    rows = head.RowCount;
    cols = head.ColCount;
    FPastedBlock = QSize(cols, rows);
    AfterPaste();
    return head.ColCount * head.RowCount;
}

int TExtStringGrid::PasteMimeAt(const QMimeData* mime, int acol, int arow, int& rows, int& cols)
{
    rows = cols = 0;
    FPastedBlock = QSize();
    if (!mime) return 0;
    const QString cellsFormat = QString::fromLatin1(GridCellsClipboardFormat);
    if (AllowGridClipboardFormat() && mime->hasFormat(cellsFormat))
        return PasteCellsAt(mime->data(cellsFormat), acol, arow, rows, cols);
    if (Navigation().AllowRTFClipboard() && mime->hasFormat(kRtfMime)) {
        QByteArray bytes = mime->data(kRtfMime);
        if (const qsizetype zero = bytes.indexOf('\0'); zero >= 0) bytes.truncate(zero);
        if (acol >= 0 && arow >= 0 && acol < ColCount() && arow < RowCount() && IsEditable(RealColIndex(acol), arow))
            StorePastedCell(acol, arow, DecodeAnsi(bytes));
        rows = cols = 1;
        FPastedBlock = QSize(1, 1);
        return 0;
    }
    if (mime->hasText()) {
        const QString text = mime->text();
        if (!text.isEmpty()) return PasteTextAt(acol, arow, rows, cols, text);
    }
    return 0;
}

int TExtStringGrid::PasteClipboardAt(int acol, int arow, int& rows, int& cols)
{
    rows = cols = 0;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
    return PasteMimeAt(QGuiApplication::clipboard()->mimeData(), acol, arow, rows, cols);
}

void TExtStringGrid::PasteFromClipboard()
{
    ImportNotification(TGridImportState::isImportStart, -1);
    FPasteAll = true;
    int rows = 0, cols = 0;
    try {
        PasteClipboardAt(SaveStartCol(), SaveStartRow(), rows, cols);
    } catch (...) {
        FPasteAll = false;
        throw;
    }
    FPasteAll = false;
    ImportNotification(TGridImportState::isImportDone, -1);
    CellsLoaded();
}

void TExtStringGrid::PasteSelectionAfterResize()
{
    const bool held = FEditDisable;
    PasteSelectionFromClipboard();
    FEditDisable = held;
}

void TExtStringGrid::PasteSelectionFromClipboard()
{
    ImportNotification(TGridImportState::isImportStart, -1);
    FPasteAll = false;
    WidenOverMergedCorners();
    const TGridRect sel = Ordered(Selection());
    int lines = 0, fields = 0;
    const int n = PasteClipboardAt(HasOption(goRowSelect) ? FixedCols() : sel.Left, sel.Top, lines, fields);
    if (!Navigation().AllowSmartClipboard()) return;
    const qint64 cellCount = qint64(sel.Right - sel.Left + 1) * (sel.Bottom - sel.Top + 1);
    if (n == cellCount + 1) return;
    if (SmartPaste(sel, n)) return;

    // A block selection: one pasted line goes again on each further row, one
    // pasted column into each further column.
    if (sel.Right > sel.Left && sel.Bottom > sel.Top) {
        const TGridRect saved = Selection();
        int l = 0, f = 0;
        if (lines == 1) {
            for (int r = sel.Top + 1; r <= sel.Bottom; ++r) PasteClipboardAt(sel.Left, r, l, f);
        } else if (fields == 1) {
            for (int c = sel.Left + 1; c <= sel.Right; ++c) PasteClipboardAt(c, sel.Top, l, f);
        }
        SetSelection(saved);
    }
    ImportNotification(TGridImportState::isImportDone, -1);
    CellsChanged(sel);
    CellsLoaded();
}

bool TExtStringGrid::SmartPaste(const TGridRect& sel, int n)
{
    const bool always = Navigation().AllowClipboardAlways();
    const qint64 cellCount = qint64(sel.Right - sel.Left + 1) * (sel.Bottom - sel.Top + 1);
    auto editable = [&](int c, int r) { return always || IsEditable(RealColIndex(c), r); };
    auto mark = [&](int c, int r) { CellsPasted(FClipTopLeft, {c, r, c, r}, FClipLastOp); };

    BeginClipboardPaste();
    if (n == 1 && cellCount > 1) {
        // One pasted value fills the selection.
        const int rc0 = RealColIndex(sel.Left);
        QString v = Cells(rc0, sel.Top);
        if (HasCheckBox(rc0, sel.Top)) {
            bool state = false;
            GetCheckBoxState(rc0, RealRowIndex(TDisplRow(sel.Top)).Value(), state);
            if (state) GetCheckTrue(rc0, sel.Top, v);
            else GetCheckFalse(rc0, sel.Top, v);
        }
        for (int r = sel.Top; r <= sel.Bottom; ++r)
            for (int c = sel.Left; c <= sel.Right; ++c) {
                if (!editable(c, r)) continue;
                const bool first = c == sel.Left && r == sel.Top;
                QString value = v;
                bool allow = true;
                if (!first && OnClipboardBeforePasteCell) OnClipboardBeforePasteCell(GridSender(this), c, r, value, allow);
                if (!allow) continue;
                StorePastedCell(c, r, value);
                if (!first && OnClipboardAfterPasteCell) OnClipboardAfterPasteCell(GridSender(this), c, r, value);
                mark(c, r);
            }
    }
    EndClipboardPaste();

    const bool oneCol = sel.Left == sel.Right, oneRow = sel.Top == sel.Bottom;
    if (n <= 1 || cellCount < 2 || !(oneCol || oneRow)) return false;

    // A series along a single column or row, from its first two cells.
    std::vector<QPoint> cells;
    cells.reserve(size_t(cellCount));
    for (int r = sel.Top; r <= sel.Bottom; ++r)
        for (int c = sel.Left; c <= sel.Right; ++c) cells.emplace_back(c, r);
    const QString a = Cells(RealColIndex(cells[0].x()), cells[0].y());
    const QString b = Cells(RealColIndex(cells[1].x()), cells[1].y());
    const FormatSettings& fs = SystemFormatSettings();
    auto dateLike = [&](const QString& s) { return HasTwoDateSeparators(s, fs) || s.contains(fs.TimeSeparator); };

    // Stores one value of a series; events for every cell but the first.
    auto put = [&](size_t i, QString value) {
        const int c = cells[i].x(), r = cells[i].y();
        bool allow = true;
        if (i > 0 && OnClipboardBeforePasteCell) OnClipboardBeforePasteCell(GridSender(this), c, r, value, allow);
        if (!allow) return;
        StorePastedCell(c, r, value);
        if (i > 0 && OnClipboardAfterPasteCell) OnClipboardAfterPasteCell(GridSender(this), c, r, value);
        mark(c, r);
    };
    qint64 ia = 0, ib = 0;
    if (dateLike(a) && dateLike(b)) {
        TDateTime da = 0, db = 0;
        if (ReadDateTime(a, da, fs) && ReadDateTime(b, db, fs)) {
            int ya = 0, ma = 0, dya = 0, yb = 0, mb = 0, dyb = 0;
            DecodeDate(da, ya, ma, dya);
            DecodeDate(db, yb, mb, dyb);
            const bool asDate = a.contains(fs.DateSeparator);
            TDateTime d = da;
            try {
                for (size_t i = 0; i < cells.size(); ++i) {
                    if (editable(cells[i].x(), cells[i].y())) put(i, asDate ? DateToStr(d, fs) : TimeToStr(d, fs));
                    d = IncDateParts(yb - ya, mb - ma, dyb - dya, db - da, d);
                }
            } catch (const EConvertError&) {
                // The series ends at a date that does not exist.
            }
        }
    } else if (a.contains(fs.DecimalSeparator) || b.contains(fs.DecimalSeparator)) {
        double fa = 0, fb = 0;
        if (TryTextToFloat(a, fa, fs) && TryTextToFloat(b, fb, fs)) {
            const double step = fb - fa;
            double f = fa;
            for (size_t i = 0; i < cells.size(); ++i) {
                if (editable(cells[i].x(), cells[i].y())) {
                    QString format;
                    GetCellFloatFormat(RealColIndex(cells[i].x()), cells[i].y(), format);
                    put(i, FormatFloatValue(format, f));
                }
                f += step;
            }
        }
    } else if (ReadInteger(a, ia) && ReadInteger(b, ib)) {
        qint64 step = 0;
        if (!__builtin_sub_overflow(ib, ia, &step)) {
            qint64 v = ia;
            for (size_t i = 0; i < cells.size(); ++i) {
                if (editable(cells[i].x(), cells[i].y())) put(i, QString::number(v));
                if (i + 1 < cells.size() && __builtin_add_overflow(v, step, &v)) break;
            }
        }
    } else {
        // Other text: the pasted cells repeat along the selection.
        const int period = oneCol ? FPastedBlock.height() : FPastedBlock.width();
        if (period >= 1) {
            for (size_t i = size_t(period); i < cells.size(); ++i) {
                if (!editable(cells[i].x(), cells[i].y())) continue;
                const QPoint src = cells[i - size_t(period)];
                StorePastedCell(cells[i].x(), cells[i].y(), Cells(RealColIndex(src.x()), src.y()));
                mark(cells[i].x(), cells[i].y());
            }
        }
        return false;
    }
    CellsChanged(sel);
    return true;
}
