// Delimited (CSV), fixed-width and native stream text of the grid. Every
// reader decodes and splits its whole input first and checks it against the
// grid size limits; only then does it change the grid.
#include "controls/ExtUtil.h"
#include "grid/ExtGrid.h"
#include "grid/GridIOLimits.h"
#include "platform/Files.h"

#include <QBuffer>
#include <QFile>
#include <QStringEncoder>
#include <algorithm>
#include <cmath>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Line breaks of any kind made CR LF.
QString BreaksToCrLf(const QString& s)
{
    if (!s.contains(u'\r') && !s.contains(u'\n')) return s;
    QString out;
    out.reserve(s.size() + 8);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar ch = s[i];
        if (ch == u'\r' || ch == u'\n') {
            out += kCrLf;
            if (ch == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') ++i;
        } else {
            out += ch;
        }
    }
    return out;
}

// Leading and trailing blanks and control characters removed.
QString TrimControlAndBlanks(const QString& s)
{
    qsizetype a = 0, b = s.size();
    while (a < b && s[a].unicode() <= ' ') ++a;
    while (b > a && s[b - 1].unicode() <= ' ') --b;
    return s.mid(a, b - a);
}

// Rounds halves to even, as the progress reports do.
int RoundEven(double v) { return int(std::nearbyint(v)); }

QByteArray Encode(const QString& text, TTextEncoding enc)
{
    switch (enc) {
    case TTextEncoding::teAnsi: return EncodeAnsi(text);
    case TTextEncoding::teUtf8: return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case TTextEncoding::teUtf16LE: {
        QStringEncoder e(QStringEncoder::Utf16LE);
        return QByteArray("\xFF\xFE", 2) + QByteArray(e.encode(text));
    }
    case TTextEncoding::teUtf16BE: {
        QStringEncoder e(QStringEncoder::Utf16BE);
        return QByteArray("\xFE\xFF", 2) + QByteArray(e.encode(text));
    }
    }
    return {};
}

// The rows of delimited text, each a list of fields, split in one pass.
// Unquoted fields lose their leading blanks (while at least two characters
// are left on the line); a field that opens with a double quote runs to its
// closing quote across line ends (its breaks become CR LF, "" inside is one
// quote, text after the closing quote up to the separator is kept, a quote
// never closed takes the rest). A line that ends with the separator has no
// last field.
std::vector<QStringList> SplitDelimited(QStringView t, QChar sep, qsizetype firstLine)
{
    std::vector<QStringList> rows;
    const qsizetype n = t.size();
    qsizetype i = firstLine;
    auto lineEnd = [&](qsizetype k) { return k >= n || t[k] == u'\r' || t[k] == u'\n'; };
    while (i < n) {
        QStringList fields;
        bool sepPending = false;  // a separator was passed: a field may follow
        for (;;) {
            if (lineEnd(i)) break;
            // Leading blanks, while at least two characters are left.
            while (i + 1 < n && t[i] == u' ' && !lineEnd(i + 1)) ++i;
            QString field;
            if (t[i] == u'"' && !sep.isNull()) {
                ++i;
                for (;;) {
                    if (i >= n) break;
                    const QChar ch = t[i];
                    if (ch == u'"') {
                        if (i + 1 < n && t[i + 1] == u'"') {
                            field += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (ch == u'\r' || ch == u'\n') {
                        field += kCrLf;
                        i += ch == u'\r' && i + 1 < n && t[i + 1] == u'\n' ? 2 : 1;
                        continue;
                    }
                    field += ch;
                    ++i;
                }
                // Text after the closing quote, up to the separator, stays.
                const qsizetype from = i;
                while (!lineEnd(i) && t[i] != sep) ++i;
                field += t.sliced(from, i - from);
            } else {
                const qsizetype from = i;
                while (!lineEnd(i) && (sep.isNull() || t[i] != sep)) ++i;
                field = t.sliced(from, i - from).toString();
            }
            fields << field;
            sepPending = false;
            if (!lineEnd(i) && t[i] == sep) {
                ++i;
                sepPending = true;
                continue;
            }
            break;
        }
        (void)sepPending;
        rows.push_back(std::move(fields));
        if (i < n) i += t[i] == u'\r' && i + 1 < n && t[i + 1] == u'\n' ? 2 : 1;
    }
    return rows;
}

// The separator guess over the first two lines (empty: none found).
QChar GuessSeparator(const QString& l1, const QString& l2)
{
    static const QChar first[] = {u',', u';', u'#', u'\t', u'|'};
    static const QChar second[] = {u'@', u'*', u'-', u'+', u'&'};
    auto passes = [&](const QChar* cands, int count) -> QChar {
        QChar taken;
        int best = 0;
        for (int k = 0; k < count; ++k) {
            const int m1 = CountClosingQuotes(cands[k], l1), m2 = CountClosingQuotes(cands[k], l2);
            if (m1 == m2 && m1 > best) taken = cands[k], best = m1;
        }
        if (!taken.isNull()) return taken;
        for (int k = 0; k < count; ++k) {
            const int m1 = CharCount(cands[k], l1), m2 = CharCount(cands[k], l2);
            if (m1 == m2 && m1 > best) taken = cands[k], best = m1;
        }
        if (!taken.isNull()) return taken;
        for (int k = 0; k < count; ++k) {
            const int m = std::max(CharCount(cands[k], l1), CharCount(cands[k], l2));
            if (m > best) taken = cands[k], best = m;
        }
        return taken;
    };
    const QChar a = passes(first, 5);
    return a.isNull() ? passes(second, 5) : a;
}

QByteArray ReadWholeFile(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) throw EFileError(QStringLiteral("Cannot open file \"%1\"").arg(fileName));
    if (f.size() > GridIOLimits::MaxFileBytes) throw EExtGridError(QStringLiteral("File too large: ") + fileName);
    return f.readAll();
}

// The bytes from a stream's position to its end, refused past the file
// limit (a stream's read of a maximum size would reserve that size first).
QByteArray ReadRest(QIODevice& stream)
{
    QByteArray bytes;
    if (stream.isSequential()) {
        bytes = stream.readAll();
    } else {
        const qint64 left = stream.size() - stream.pos();
        if (left > GridIOLimits::MaxFileBytes) throw EExtGridError(QStringLiteral("Stream too large"));
        bytes = stream.read(std::max<qint64>(0, left));
    }
    if (bytes.size() > GridIOLimits::MaxFileBytes) throw EExtGridError(QStringLiteral("Stream too large"));
    return bytes;
}

} // namespace

// ---------------------------------------------------------------------------
// Delimited text

QByteArray TExtStringGrid::SaveToCSVBytes(bool unicode, const QByteArray& existing)
{
    const QChar sep = Delimiter().isNull() ? QChar(u',') : Delimiter();
    const int extra = SaveHiddenCells() ? NumHiddenColumns() : 0;
    TTextEncoding enc = TTextEncoding::teAnsi;
    QString out;
    if (!existing.isEmpty()) {
        QString old;
        qsizetype bad = 0;
        if (!DecodeTextFileChecked(existing, old, &enc, &bad))
            throw EExtGridError(QStringLiteral("Invalid text at byte %1 of the file to append to").arg(bad));
        for (const QString& line : SplitLines(old)) out += line + kCrLf;
    }
    if (unicode) enc = TTextEncoding::teUtf8;
    ExportNotification(TGridExportState::esExportStart, SaveStartRow());
    int last = -1;
    for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
        ExportNotification(TGridExportState::esExportNextRow, r);
        for (int c = SaveStartCol(); c <= SaveEndCol() + extra; ++c) {
            if (c > SaveStartCol()) out += sep;
            const int col = SaveHiddenCells() ? c : RealColIndex(TDisplCol(c)).Value();
            QString s;
            GetSaveText(col, r, s);
            s = BreaksToCrLf(s);
            if (s.contains(u'"')) s = DoubleQuoteChars(s);
            if (OemConvert()) s = AnsiTextToOem(s);
            bool quoted = false;
            if (AlwaysQuotes() || (!s.contains(sep) && s.contains(u'"')) || s.startsWith(u' ')) {
                s = u'"' + s + u'"';
                quoted = true;
            }
            if (s.isEmpty()) s = JavaCSV() ? QStringLiteral("^") : QuoteEmptyCells() ? QStringLiteral("\"\"") : QString();
            if (s.contains(sep) || s.contains(u'\r')) {
                if (JavaCSV()) {
                    s = CRToTilde(s);
                    if (!quoted && s.contains(sep)) s = u'"' + s + u'"';
                } else {
                    s.replace(kCrLf, QString(QChar(11)));
                    if (!quoted) s = u'"' + s + u'"';
                }
            }
            out += s;
        }
        out += kCrLf;
        if (OnFileProgress) {
            const int p = std::clamp(RoundEven(100.0 * r / std::max(1, RowCount() - 1)), 0, 100);
            if (p != last) OnFileProgress(this, int16_t(p));
            last = p;
        }
    }
    ExportNotification(TGridExportState::esExportDone, -1);
    return Encode(out, enc);
}

void TExtStringGrid::SaveToCSV(const QString& fileName, bool unicode) { WriteFileAtomic(fileName, SaveToCSVBytes(unicode)); }

void TExtStringGrid::AppendToCSV(const QString& fileName, bool unicode)
{
    WriteFileAtomic(fileName, SaveToCSVBytes(unicode, ReadFileBytes(fileName)));
}

void TExtStringGrid::LoadFromCSVBytes(const QByteArray& bytes, int maxRows, bool insert, const QString& fileName)
{
    QString text;
    qsizetype bad = 0;
    if (!DecodeTextFileChecked(bytes, text, nullptr, &bad))
        throw EExtGridError(QStringLiteral("File %1: invalid text at byte %2").arg(fileName).arg(bad));
    if (text.isEmpty()) throw Exception(QStringLiteral("File is empty"));

    // The separator: the grid's, or guessed from the first two lines.
    QChar sep = Delimiter();
    if (sep.isNull()) {
        const QStringList firstTwo = SplitLines(text.left(std::min<qsizetype>(text.size(), 1 << 20))).mid(0, 2);
        sep = GuessSeparator(firstTwo.value(0), firstTwo.value(1));
    }
    qsizetype start = 0;
    if (!LoadFirstRow()) {
        while (start < text.size() && text[start] != u'\r' && text[start] != u'\n') ++start;
        if (start < text.size()) start += text[start] == u'\r' && start + 1 < text.size() && text[start + 1] == u'\n' ? 2 : 1;
    }
    if (OemConvert()) text = OemTextToAnsi(text);
    std::vector<QStringList> rows = SplitDelimited(text, sep, start);
    if (maxRows > 0 && qsizetype(rows.size()) > maxRows) rows.resize(size_t(maxRows));

    const bool footer = insert && FloatingFooter().Visible();
    int startRow = insert ? RowCount() - (footer ? 1 : 0) : SaveStartRow();
    const int startCol = SaveStartCol();
    const int h = SaveHiddenCells() ? NumHiddenColumns() : 0;
    qsizetype widest = 0;
    for (const QStringList& f : rows) widest = std::max(widest, f.size());
    const qint64 needCols = std::max<qint64>(ColCount(), qint64(startCol) + widest - h);
    // The rows loaded, the fixed footers and (inserting under a visible
    // footer) the footer row.
    const qint64 needRows = qint64(startRow) + qint64(rows.size()) + FixedFooters() + (footer && FixedFooters() == 0 ? 1 : 0);
    if (!GridIOLimits::ColsFit(needCols) || !GridIOLimits::RowsFit(needRows))
        throw EExtGridError(QStringLiteral("File %1: %2 columns by %3 rows is larger than a grid may be")
                                .arg(fileName).arg(needCols).arg(needRows));

    // Apply.
    const QChar oldDelimiter = Delimiter();
    SetDelimiter(sep);
    struct TRestore {
        TExtStringGrid* g;
        QChar d;
        ~TRestore() { g->SetDelimiter(d); }
    } restore{this, oldDelimiter};
    QStringList footerCells;
    if (footer) {
        for (int c = 0; c < ColCount(); ++c) footerCells << GridCells(c, RowCount() - 1);
        ClearRowCells(RowCount() - 1);
    }
    if (needCols > ColCount()) SetColCount(int(needCols));
    if (RowCount() != needRows) SetRowCount(int(needRows));
    int r = startRow;
    int last = -1;
    const int total = std::max<int>(1, int(rows.size()));
    int loaded = 0;
    for (const QStringList& fields : rows) {
        int c = startCol;
        for (const QString& raw : fields) {
            QString v = raw;
            if (JavaCSV())
                v = v == QLatin1String("^") ? QString() : TildeToCRLF(v);
            else
                v = VTToCRLF(v);
            SetLoadText(c, r, v);
            ++c;
        }
        ++r;
        ++loaded;
        if (OnFileProgress) {
            const int p = std::clamp(RoundEven(100.0 * loaded / total), 0, 100);
            if (p != last) OnFileProgress(this, int16_t(p));
            last = p;
        }
    }
    FMaxRowCount = RowCount();
    if (footer)
        for (int c = 0; c < footerCells.size() && c < ColCount(); ++c) SetGridCells(c, RowCount() - 1, footerCells[c]);
    CellsChanged({0, 0, ColCount(), RowCount()});
    CellsLoaded();
}

void TExtStringGrid::LoadFromCSV(const QString& fileName, int maxRows)
{
    const QByteArray bytes = ReadWholeFile(fileName);
    if (bytes.isEmpty()) return;
    LoadFromCSVBytes(bytes, maxRows, false, fileName);
}

void TExtStringGrid::InsertFromCSV(const QString& fileName, int maxRows)
{
    const QByteArray bytes = ReadWholeFile(fileName);
    if (bytes.isEmpty()) return;
    LoadFromCSVBytes(bytes, maxRows, true, fileName);
}

void TExtStringGrid::LoadFromCSVStream(QIODevice& stream, int maxRows)
{
    const QByteArray bytes = ReadRest(stream);
    LoadFromCSVBytes(bytes, maxRows, false, QStringLiteral("stream"));
}

// ---------------------------------------------------------------------------
// Fixed-width text

int TExtStringGrid::MaxTextLengthInCol(int c)
{
    int longest = 0;
    for (int r = 0; r < RowCount(); ++r) {
        QString s;
        GetSaveText(c, r, s);
        if (Multilinecells()) {
            for (const QString& line : SplitLines(s)) longest = std::max(longest, int(line.size()));
        } else {
            qsizetype br = 0;
            while (br < s.size() && s[br] != u'\r' && s[br] != u'\n') ++br;
            longest = std::max(longest, int(br));
        }
    }
    return longest;
}

QByteArray TExtStringGrid::SaveToFixedBytes(TIntList& positions)
{
    const int extra = SaveHiddenCells() ? NumHiddenColumns() : 0;
    const int first = SaveStartCol(), lastCol = SaveEndCol() + extra;
    for (int c = first + positions.Count(); c <= lastCol; ++c) positions.Add(MaxTextLengthInCol(c) + 1);
    QString out;
    ExportNotification(TGridExportState::esExportStart, SaveStartRow());
    for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
        ExportNotification(TGridExportState::esExportNextRow, r);
        for (int c = first; c <= lastCol; ++c) {
            const int col = SaveHiddenCells() ? c : RealColIndex(TDisplCol(c)).Value();
            QString s;
            GetSaveText(col, r, s);
            const int w = std::max(0, positions.Items(c - first));
            out += s.size() > w ? s.left(w) : s.leftJustified(w, u' ');
        }
        out += kCrLf;
    }
    ExportNotification(TGridExportState::esExportDone, -1);
    return EncodeAnsi(out);
}

void TExtStringGrid::SaveToFixed(const QString& fileName, TIntList& positions)
{
    const QByteArray bytes = SaveToFixedBytes(positions);
    try {
        WriteFileAtomic(fileName, bytes);
    } catch (const EFileError&) {
        throw EExtGridError(QStringLiteral("Cannot Create file ") + fileName);
    }
}

void TExtStringGrid::LoadFromFixedBytes(const QByteArray& bytes, TIntList& positions, bool doTrim, int maxRows,
                                        const QString& fileName)
{
    QString text;
    qsizetype bad = 0;
    if (!DecodeTextFileChecked(bytes, text, nullptr, &bad))
        throw EExtGridError(QStringLiteral("File %1: invalid text at byte %2").arg(fileName).arg(bad));
    std::vector<int> pos;
    for (int i = 0; i < positions.Count(); ++i) {
        if (positions.Items(i) < 1) throw EExtGridError(QStringLiteral("Fixed-width position below 1: %1").arg(positions.Items(i)));
        pos.push_back(positions.Items(i));
    }
    std::sort(pos.begin(), pos.end());
    const int n = std::max(0, int(pos.size()) - 1);
    QStringList lines = SplitLines(text);
    if (lines.isEmpty()) lines << QString();  // at least one line is read
    if (maxRows != -1) lines = lines.mid(0, std::max(1, maxRows));
    const qint64 needCols = std::max<qint64>(FixedCols() + 1, qint64(SaveStartCol()) + n);
    const qint64 needRows = std::max<qint64>(RowCount(), qint64(SaveStartRow()) + lines.size());
    if (!GridIOLimits::ColsFit(needCols) || !GridIOLimits::RowsFit(needRows))
        throw EExtGridError(QStringLiteral("File %1: larger than a grid may be").arg(fileName));

    // Sorted in place, as the caller's list.
    positions.Clear();
    for (int p : pos) positions.Add(p);
    SetColCount(int(needCols));
    if (needRows > RowCount()) SetRowCount(int(needRows));
    int r = SaveStartRow();
    for (const QString& line : lines) {
        for (int k = 1; k <= n; ++k) {
            QString field = line.mid(pos[size_t(k - 1)] - 1, pos[size_t(k)] - pos[size_t(k - 1)]);
            if (doTrim) field = TrimControlAndBlanks(field);
            SetLoadText(SaveStartCol() + k - 1, r, field);
        }
        ++r;
    }
    CellsChanged({0, 0, ColCount(), RowCount()});
    CellsLoaded();
}

void TExtStringGrid::LoadFromFixed(const QString& fileName, TIntList& positions, bool doTrim, int maxRows)
{
    QFile f(fileName);
    if (!f.exists()) throw EExtGridError(QStringLiteral("File ") + fileName + QStringLiteral(" not found"));
    LoadFromFixedBytes(ReadWholeFile(fileName), positions, doTrim, maxRows, fileName);
}

// ---------------------------------------------------------------------------
// Native text stream

void TExtStringGrid::SaveToStream(QIODevice& stream)
{
    QString out;
    out += QString::number(SaveColCount()) + u',' + QString::number(SaveRowCount()) + kCrLf;
    for (int c = 0; c < ColCount(); ++c) out += QStringLiteral("cw ") + QString::number(c) + u',' + QString::number(ColWidths(c)) + kCrLf;
    ExportNotification(TGridExportState::esExportStart, SaveStartRow());
    for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
        ExportNotification(TGridExportState::esExportNextRow, r);
        for (int c = SaveStartCol(); c <= SaveEndCol(); ++c) {
            QString s;
            GetSaveText(c, r, s);
            if (s.isEmpty()) continue;
            out += QString::number(c - SaveStartCol()) + u',' + QString::number(r - SaveStartRow()) + u',' +
                   MultilineToSingleLine(BreaksToCrLf(s)) + kCrLf;
        }
    }
    ExportNotification(TGridExportState::esExportDone, -1);
    QStringEncoder e(QStringEncoder::Utf16LE);
    const QByteArray bytes = e.encode(out);
    if (stream.write(bytes) != bytes.size()) throw EFileError(QStringLiteral("Stream write error"));
}

void TExtStringGrid::LoadFromStream(QIODevice& stream)
{
    const qint64 origin = stream.pos();
    const QByteArray bytes = ReadRest(stream);
    const qsizetype units = bytes.size() / 2;
    auto unit = [&](qsizetype k) { return char16_t(uint8_t(bytes[2 * k]) | (uint8_t(bytes[2 * k + 1]) << 8)); };
    qsizetype k = 0;
    int lineNo = 0;
    // One line: units up to a CR (the unit after it is consumed unread).
    auto readLine = [&](QString& line) {
        const qsizetype from = k;
        while (k < units && unit(k) != u'\r') ++k;
        line.resize(k - from);
        for (qsizetype i = from; i < k; ++i) line[i - from] = QChar(unit(i));
        if (k < units) k += 2;
        if (k > units) k = units;
        ++lineNo;
    };
    auto number = [&](QStringView s) {
        bool ok = false;
        const int v = s.trimmed().toInt(&ok);
        if (!ok) throw EExtGridError(QStringLiteral("Invalid number \"%1\" in line %2 of the stream").arg(s.toString()).arg(lineNo));
        return v;
    };
    int cols = ColCount(), rows = RowCount();
    struct TCell {
        int c, r;
        QString text;
    };
    std::vector<TCell> cells;
    std::vector<std::pair<int, int>> widths;
    qsizetype stop = -1;  // where the first line that is no cell line starts
    if (k < units) {
        QString head;
        readLine(head);
        if (!head.isEmpty()) {
            const qsizetype comma = head.indexOf(u',');
            if (comma < 0) throw EExtGridError(QStringLiteral("Invalid size line of the stream"));
            const qint64 nc = qint64(number(QStringView(head).first(comma))) + SaveStartCol();
            const qint64 nr = qint64(number(QStringView(head).sliced(comma + 1))) + SaveStartRow();
            if (nc < 1 || nr < 1 || !GridIOLimits::ColsFit(nc) || !GridIOLimits::RowsFit(nr))
                throw EExtGridError(QStringLiteral("Grid size %1 x %2 in the stream is out of range").arg(nc).arg(nr));
            cols = int(nc);
            rows = int(nr);
        }
    }
    while (k < units) {
        const qsizetype at = k;
        QString line;
        readLine(line);
        if (line.startsWith(QLatin1String("cw"))) {
            const QStringView rest = QStringView(line).sliced(std::min<qsizetype>(3, line.size()));
            const qsizetype comma = rest.indexOf(u',');
            if (comma < 0) throw EExtGridError(QStringLiteral("Invalid column width in line %1 of the stream").arg(lineNo));
            const int idx = number(rest.first(comma)), w = number(rest.sliced(comma + 1));
            if (idx < 0 || idx >= cols || w < 0 || w > GridIOLimits::MaxCellExtent)
                throw EExtGridError(QStringLiteral("Invalid column width in line %1 of the stream").arg(lineNo));
            widths.emplace_back(idx, w);
            continue;
        }
        const qsizetype c1 = line.indexOf(u',');
        const qsizetype c2 = c1 < 0 ? -1 : line.indexOf(u',', c1 + 1);
        if (c1 <= 0 || c2 < 0 || c2 == c1 + 1) {
            stop = at;
            break;
        }
        const int c = number(QStringView(line).first(c1)) + SaveStartCol();
        const int r = number(QStringView(line).sliced(c1 + 1, c2 - c1 - 1)) + SaveStartRow();
        cells.push_back({c, r, line.mid(c2 + 1)});
    }
    if (stop < 0 && bytes.size() % 2) throw EExtGridError(QStringLiteral("The stream ends inside a character"));

    // Apply.
    if (cols != ColCount()) SetColCount(cols);
    if (rows != RowCount()) SetRowCount(rows);
    for (const auto& [idx, w] : widths) SetColWidths(idx, w);
    for (const TCell& cell : cells)
        if (cell.c >= 0 && cell.r >= 0 && cell.c < ColCount() && cell.r < RowCount())
            SetLoadText(cell.c, cell.r, SingleLineToMultiline(cell.text, Multilinecells()));
    stream.seek(origin + 2 * (stop < 0 ? units : stop) + (stop < 0 ? bytes.size() % 2 : 0));
    CellsChanged({0, 0, ColCount(), RowCount()});
    CellsLoaded();
}
