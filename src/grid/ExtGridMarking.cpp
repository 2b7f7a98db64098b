// Services of the string grid over many cells at once: highlighting and
// error marking of text with mini-HTML tags, checking cells through the
// attached checker, and filling a range with test content.
//
// Marking escapes the cell text and wraps the matches in "<hi>" or "<e>"
// tag pairs; it rewrites only the cells with a match. Unmarking touches only
// cells that hold a tag pair of a marked text: it removes the pairs, then
// decodes the entities once, so that a round trip gives every text back.
#include "grid/ExtGrid.h"

#include "controls/EsgHTMLUtil.h"
#include "controls/esgcheck.h"

#include <QRandomGenerator>

namespace {

QString OpenTag(const QString& tag) { return QLatin1Char('<') + tag + QLatin1Char('>'); }
QString CloseTag(const QString& tag) { return QStringLiteral("</") + tag + QLatin1Char('>'); }

QString MarkOf(bool doCase, const QString& s, const QString& text, const QString& tag)
{
    const QString escaped = EscapeHtmlChars(s, false);
    if (text.isEmpty()) return escaped;
    return MarkMatchesInHtml(escaped, EscapeHtmlChars(text, false), tag, doCase);
}

// Whether s is a marked text: it holds a tag pair, and once the pairs are
// gone no raw angle bracket is left (marking escaped every other one).
bool IsMarked(const QString& s, const QString& tag, QString* stripped)
{
    const QString open = OpenTag(tag), close = CloseTag(tag);
    const qsizetype o = s.indexOf(open, 0, Qt::CaseInsensitive);
    if (o < 0 || s.indexOf(close, o, Qt::CaseInsensitive) < 0) return false;
    QString t = s;
    t.remove(open, Qt::CaseInsensitive);
    t.remove(close, Qt::CaseInsensitive);
    if (t.contains(QLatin1Char('<')) || t.contains(QLatin1Char('>'))) return false;
    if (stripped) *stripped = t;
    return true;
}

QString UnmarkOf(const QString& s, const QString& tag)
{
    QString stripped;
    if (!IsMarked(s, tag, &stripped)) return s;
    return UnescapeHtmlChars(stripped, false);
}

} // namespace

// ---------------------------------------------------------------------------
// Marking texts

// The text forms work on mini-HTML as it stands: matches outside tags are
// wrapped, and unmarking removes the tags (and decodes the angle brackets).
QString TExtStringGrid::HilightText(bool doCase, const QString& s, const QString& text)
{
    return MarkMatchesInHtml(s, text, QStringLiteral("hi"), doCase);
}

QString TExtStringGrid::UnHilightText(const QString& s) { return UnmarkMatchesInHtml(s, QStringLiteral("hi")); }

QString TExtStringGrid::MarkText(bool doCase, const QString& s, const QString& text)
{
    return MarkMatchesInHtml(s, text, QStringLiteral("e"), doCase);
}

QString TExtStringGrid::UnMarkText(const QString& s) { return UnmarkMatchesInHtml(s, QStringLiteral("e")); }

// ---------------------------------------------------------------------------
// Marking ranges

void TExtStringGrid::MarkRange(const TMarkRange& range, const QString& tag, bool mark, bool doCase, const QString& text)
{
    for (int r = range.FromRow; r <= range.ToRow; ++r) {
        for (int i = range.FromCol; i <= range.ToCol; ++i) {
            // Display columns are mapped to their store columns; a range that
            // takes the hidden columns walks the store columns themselves.
            const int c = range.RealCols ? i : RealColIndex(TDisplCol(i)).Value();
            if (c < 0 || c >= TotalColCount() || r < 0 || r >= RowCount()) continue;
            if (const TCellProperties* p = CellPropsOrNull(c, r); p && !p->IsBaseCell()) continue;
            const QString old = OnGetDisplText ? Cells(c, r) : GridCells(c, r);
            QString now;
            if (mark) {
                now = MarkOf(doCase, old, text, tag);
                // A cell without a match keeps its text as it is.
                if (now == EscapeHtmlChars(old, false)) continue;
            } else {
                now = UnmarkOf(old, tag);
                if (now == old) continue;
            }
            SetCells(c, r, now);
        }
    }
}

TExtStringGrid::TMarkRange TExtStringGrid::MarkRangeOf(TMarkScope scope, bool doFixed, int index, bool plusHidden)
{
    const int hidden = plusHidden ? NumHiddenColumns() : 0;
    const int dataTop = FixedRows(), dataBottom = RowCount() - FixedFooters() - 1;
    const int dataLeft = FixedCols(), dataRight = ColCount() - FixedRightCols() - 1;
    TMarkRange m{0, 0, 0, 0, plusHidden};
    switch (scope) {
    case TMarkScope::msCol:
        m = {index, index, doFixed ? 0 : dataTop, doFixed ? RowCount() - 1 : dataBottom, true};
        break;
    case TMarkScope::msRow:
        m = {doFixed ? 0 : dataLeft, (doFixed ? ColCount() - 1 : dataRight) + hidden, index, index, plusHidden};
        break;
    case TMarkScope::msGrid:
        m = {doFixed ? 0 : dataLeft, (doFixed ? ColCount() - 1 : dataRight) + hidden, doFixed ? 0 : dataTop,
             doFixed ? RowCount() - 1 : dataBottom, plusHidden};
        break;
    }
    return m;
}

void TExtStringGrid::HilightInCell(bool doCase, int c, int r, const QString& hiText)
{
    MarkRange({c, c, r, r, true}, QStringLiteral("hi"), true, doCase, hiText);
}

void TExtStringGrid::HilightInCol(bool doFixed, bool doCase, int c, const QString& hiText)
{
    MarkRange(MarkRangeOf(TMarkScope::msCol, doFixed, c, false), QStringLiteral("hi"), true, doCase, hiText);
}

void TExtStringGrid::HilightInRow(bool doFixed, bool doCase, int r, const QString& hiText)
{
    MarkRange(MarkRangeOf(TMarkScope::msRow, doFixed, r, false), QStringLiteral("hi"), true, doCase, hiText);
}

void TExtStringGrid::HilightInGrid(bool doFixed, bool doCase, const QString& hiText)
{
    MarkRange(MarkRangeOf(TMarkScope::msGrid, doFixed, 0, !doFixed), QStringLiteral("hi"), true, doCase, hiText);
}

void TExtStringGrid::UnHilightInCell(int c, int r) { MarkRange({c, c, r, r, true}, QStringLiteral("hi"), false, false, {}); }

void TExtStringGrid::UnHilightInCol(bool doFixed, int c)
{
    MarkRange(MarkRangeOf(TMarkScope::msCol, doFixed, c, false), QStringLiteral("hi"), false, false, {});
}

void TExtStringGrid::UnHilightInRow(bool doFixed, int r)
{
    MarkRange(MarkRangeOf(TMarkScope::msRow, doFixed, r, true), QStringLiteral("hi"), false, false, {});
}

void TExtStringGrid::UnHilightInGrid(bool doFixed)
{
    MarkRange(MarkRangeOf(TMarkScope::msGrid, doFixed, 0, true), QStringLiteral("hi"), false, false, {});
}

void TExtStringGrid::MarkInCell(bool doCase, int c, int r, const QString& text)
{
    MarkRange({c, c, r, r, true}, QStringLiteral("e"), true, doCase, text);
}

void TExtStringGrid::MarkInCol(bool doFixed, bool doCase, int c, const QString& text)
{
    MarkRange(MarkRangeOf(TMarkScope::msCol, doFixed, c, false), QStringLiteral("e"), true, doCase, text);
}

void TExtStringGrid::MarkInRow(bool doFixed, bool doCase, int r, const QString& text)
{
    MarkRange(MarkRangeOf(TMarkScope::msRow, doFixed, r, false), QStringLiteral("e"), true, doCase, text);
}

void TExtStringGrid::MarkInGrid(bool doFixed, bool doCase, const QString& text)
{
    MarkRange(MarkRangeOf(TMarkScope::msGrid, doFixed, 0, false), QStringLiteral("e"), true, doCase, text);
}

void TExtStringGrid::UnMarkInCell(int c, int r) { MarkRange({c, c, r, r, true}, QStringLiteral("e"), false, false, {}); }

void TExtStringGrid::UnMarkInCol(bool doFixed, int c)
{
    MarkRange(MarkRangeOf(TMarkScope::msCol, doFixed, c, false), QStringLiteral("e"), false, false, {});
}

void TExtStringGrid::UnMarkInRow(bool doFixed, int r)
{
    MarkRange(MarkRangeOf(TMarkScope::msRow, doFixed, r, true), QStringLiteral("e"), false, false, {});
}

void TExtStringGrid::UnMarkInGrid(bool doFixed)
{
    MarkRange(MarkRangeOf(TMarkScope::msGrid, doFixed, 0, true), QStringLiteral("e"), false, false, {});
}

// ---------------------------------------------------------------------------
// Checking cells

bool TExtStringGrid::CheckCell(int c, int r)
{
    TExtStringGridCheck* checker = CellChecker.data();
    if (!checker) return true;
    const QString clean = UnmarkOf(Cells(c, r), QStringLiteral("e"));
    if (checker->GotoCell()) MoveColRow(DisplColIndex(TRealCol(c)).Value(), r, true, true);
    // Both receive the clean text: with both on, the marking is the result.
    QString result = clean;
    if (checker->UseCorrect()) result = checker->Correct(c, r, clean);
    if (checker->UseMarkError()) result = checker->MarkError(c, r, clean);
    SetCells(c, r, result);
    return result == clean;
}

bool TExtStringGrid::CheckCells(int fromCol, int fromRow, int toCol, int toRow)
{
    TExtStringGridCheck* checker = CellChecker.data();
    if (!checker) return true;
    checker->StartCheck();
    const int row = Row(), col = Col();
    bool ok = true;
    for (int r = fromRow; r <= toRow; ++r)
        for (int c = fromCol; c <= toCol; ++c)
            if (!CheckCell(c, r)) ok = false;
    checker->StopCheck();
    if (checker->GotoCell()) MoveColRow(col, row, true, true);
    return ok;
}

bool TExtStringGrid::CheckCol(bool doFixed, int c)
{
    return CheckCells(c, doFixed ? 0 : FixedRows(), c, doFixed ? RowCount() - 1 : RowCount() - FixedFooters() - 1);
}

bool TExtStringGrid::CheckRow(bool doFixed, int r)
{
    return CheckCells(doFixed ? 0 : FixedCols(), r, doFixed ? ColCount() - 1 : ColCount() - FixedRightCols() - 1, r);
}

bool TExtStringGrid::CheckGrid(bool doFixed)
{
    if (doFixed) return CheckCells(0, 0, ColCount() - 1, RowCount() - 1);
    return CheckCells(FixedCols(), FixedRows(), ColCount() - FixedRightCols() - 1, RowCount() - FixedFooters() - 1);
}

// ---------------------------------------------------------------------------
// Fills

namespace {

// The pattern with up to two integer conversions (d, i, u, x, X with
// flags, width and precision; "%%" a percent sign) applied to a and b;
// nullopt for any other pattern.
std::optional<QString> FormatTwoInts(const QString& fmt, int a, int b)
{
    QString out;
    const int args[2] = {a, b};
    int used = 0;
    for (qsizetype i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != QLatin1Char('%')) {
            out += fmt[i];
            continue;
        }
        if (i + 1 < fmt.size() && fmt[i + 1] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        bool left = false, zero = false, plus = false, space = false;
        for (; j < fmt.size() && QStringLiteral("-0+ #").contains(fmt[j]); ++j) {
            left |= fmt[j] == QLatin1Char('-');
            zero |= fmt[j] == QLatin1Char('0');
            plus |= fmt[j] == QLatin1Char('+');
            space |= fmt[j] == QLatin1Char(' ');
        }
        int width = 0;
        for (; j < fmt.size() && fmt[j].isDigit() && width < 1000; ++j) width = width * 10 + fmt[j].digitValue();
        int precision = -1;
        if (j < fmt.size() && fmt[j] == QLatin1Char('.')) {
            precision = 0;
            for (++j; j < fmt.size() && fmt[j].isDigit() && precision < 1000; ++j)
                precision = precision * 10 + fmt[j].digitValue();
        }
        if (j >= fmt.size() || used >= 2 || width >= 1000 || precision >= 1000) return std::nullopt;
        const QChar conv = fmt[j];
        const int v = args[used++];
        QString digits;
        switch (conv.unicode()) {
        case 'd':
        case 'i': digits = QString::number(qAbs(qint64(v))); break;
        case 'u': digits = QString::number(quint32(v)); break;
        case 'x': digits = QString::number(quint32(v), 16); break;
        case 'X': digits = QString::number(quint32(v), 16).toUpper(); break;
        default: return std::nullopt;
        }
        if (precision >= 0 && digits.size() < precision) digits = QString(precision - digits.size(), QLatin1Char('0')) + digits;
        QString sign;
        if ((conv == QLatin1Char('d') || conv == QLatin1Char('i')))
            sign = v < 0 ? QStringLiteral("-") : plus ? QStringLiteral("+") : space ? QStringLiteral(" ") : QString();
        QString field = sign + digits;
        if (field.size() < width) {
            const qsizetype pad = width - field.size();
            if (left)
                field += QString(pad, QLatin1Char(' '));
            else if (zero && precision < 0)
                field = sign + QString(pad, QLatin1Char('0')) + digits;
            else
                field = QString(pad, QLatin1Char(' ')) + field;
        }
        out += field;
        i = j;
    }
    return out;
}

} // namespace

void TExtStringGrid::FillRange(bool doFixed, const std::function<void(int c, int r)>& write)
{
    const int top = doFixed ? 0 : FixedRows(), bottom = doFixed ? RowCount() - 1 : RowCount() - FixedFooters() - 1;
    const int left = doFixed ? 0 : FixedCols(), right = doFixed ? ColCount() - 1 : ColCount() - FixedRightCols() - 1;
    for (int r = top; r <= bottom; ++r)
        for (int c = left; c <= right; ++c) write(c, r);
    CellsLoaded();
}

void TExtStringGrid::TextFill(bool doFixed, const QString& txt)
{
    FillRange(doFixed, [&](int c, int r) { SetCells(c, r, txt); });
}

void TExtStringGrid::FormatFill(bool doFixed, const QString& fmt)
{
    // The pattern is checked before any cell changes.
    if (!FormatTwoInts(fmt, 0, 0))
        throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(fmt));
    FillRange(doFixed, [&](int c, int r) { SetCells(c, r, *FormatTwoInts(fmt, c, r)); });
}

void TExtStringGrid::RandomFill(bool doFixed, int rnd)
{
    FillRange(doFixed, [&](int c, int r) {
        int v = 0;
        if (rnd > 0) v = RandomSource ? RandomSource(rnd) : int(QRandomGenerator::global()->bounded(rnd));
        SetInts(c, r, v);
    });
}

void TExtStringGrid::LinearFill(bool doFixed)
{
    FillRange(doFixed, [&](int c, int r) { SetCells(c, r, QStringLiteral("%1:%2").arg(c).arg(r)); });
}
