// The grid as a plain-text table: every saved column padded to the width of
// its longest text line plus one, each cell aligned as the grid aligns it;
// the further lines of multi-line cells go into continuation lines below
// the row, each at its column's start.
#include "grid/ExtGrid.h"
#include "platform/Files.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <map>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A text aligned in a cell of `width` + 1 characters.
QString AlignCell(const QString& text, int width, TAlignment align)
{
    const qsizetype w = width;
    switch (align) {
    case taRightJustify: return QString(std::max<qsizetype>(0, w - text.size()), u' ') + text + u' ';
    case taCenter: {
        QString s = text;
        while (s.size() < w) s = u' ' + s + u' ';
        return s + QString(std::max<qsizetype>(0, w + 1 - s.size()), u' ');
    }
    default: return text + QString(std::max<qsizetype>(0, w + 1 - text.size()), u' ');
    }
}

QStringList CellLines(const QString& text, bool multi)
{
    if (!multi) return {text.left(text.indexOf(kCrLf) < 0 ? text.size() : text.indexOf(kCrLf))};
    return text.split(kCrLf);
}

} // namespace

QStringList TExtStringGrid::ASCIILines()
{
    const int firstCol = SaveFixedCells() || SaveFixedCols() ? 0 : FixedCols();
    const int firstRow = SaveFixedCells() || SaveFixedRows() ? 0 : FixedRows();
    const int lastCol = ColCount() - 1 + (SaveHiddenCells() ? NumHiddenColumns() : 0);
    const bool multi = Multilinecells();

    // Each saved column's width: its longest line over all rows.
    std::vector<int> widths;
    for (int c = firstCol; c <= lastCol; ++c) {
        qsizetype w = 0;
        for (int r = 0; r < RowCount(); ++r) {
            QString text;
            GetSaveText(c, r, text);
            for (const QString& line : CellLines(text, multi)) w = std::max(w, line.size());
        }
        widths.push_back(int(w));
    }

    QStringList lines;
    ExportNotification(TGridExportState::esExportStart, firstRow);
    for (int r = firstRow; r < RowCount(); ++r) {
        ExportNotification(TGridExportState::esExportNextRow, r);
        QString line;
        std::vector<QString> more; // the continuation lines of this row
        for (int c = firstCol; c <= lastCol; ++c) {
            QString text;
            GetSaveText(c, r, text);
            TAlignment ha = taLeftJustify;
            TVAlignment va = vtaTop;
            const int real = c < ColCount() ? RealColIndex(TDisplCol(c)).Value() : c;
            GetCellAlignment(real, r, ha, va);
            const int w = widths[size_t(c - firstCol)];
            const QStringList parts = CellLines(text, multi);
            const qsizetype start = line.size();
            line += AlignCell(parts.value(0), w, ha);
            for (qsizetype k = 1; k < parts.size(); ++k) {
                if (more.size() < size_t(k)) more.emplace_back();
                QString& cont = more[size_t(k - 1)];
                if (cont.size() < start) cont += QString(start - cont.size(), u' ');
                cont += AlignCell(parts[k], w, ha);
            }
        }
        lines << line;
        for (const QString& cont : more) lines << cont;
    }
    ExportNotification(TGridExportState::esExportDone, -1);
    return lines;
}

namespace {

QByteArray EncodeTextFile(const QString& text, bool unicode)
{
    if (!unicode) return EncodeAnsi(text);
    QStringEncoder enc(QStringEncoder::Utf16LE, QStringConverter::Flag::WriteBom);
    return enc.encode(text);
}

// The lines of an existing text file (UTF-16 with its byte-order mark,
// UTF-8 with its mark, else the 8-bit code page); none when it is missing.
QStringList ExistingLines(const QString& fileName)
{
    QFile f(fileName);
    if (!f.exists()) return {};
    const QByteArray bytes = ReadFileBytes(fileName);
    QString text;
    if (bytes.startsWith("\xFF\xFE")) text = QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    else if (bytes.startsWith("\xFE\xFF")) text = QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    else if (bytes.startsWith("\xEF\xBB\xBF")) text = QString::fromUtf8(bytes.mid(3));
    else text = DecodeAnsi(bytes);
    if (text.isEmpty()) return {};
    if (text.endsWith(kCrLf)) text.chop(2);
    else if (text.endsWith(u'\n')) text.chop(1);
    return text.split(QRegularExpression(QStringLiteral("\r\n|\n")));
}

// The hourglass cursor for the time of an export; the previous cursor comes
// back when the export ends, also when it fails.
class TBusyCursor {
public:
    TBusyCursor()
        : FShown(qGuiApp != nullptr)
    {
        if (FShown) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~TBusyCursor()
    {
        if (FShown) QGuiApplication::restoreOverrideCursor();
    }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    bool FShown;
};

} // namespace

void TExtStringGrid::SaveToASCII(const QString& fileName, bool unicode)
{
    const TBusyCursor busy;
    const QStringList lines = ASCIILines();
    WriteFileAtomic(fileName, EncodeTextFile(lines.isEmpty() ? QString() : lines.join(kCrLf) + kCrLf, unicode));
}

void TExtStringGrid::AppendToASCII(const QString& fileName, bool unicode)
{
    const TBusyCursor busy;
    const QStringList lines = ExistingLines(fileName) + ASCIILines();
    WriteFileAtomic(fileName, EncodeTextFile(lines.isEmpty() ? QString() : lines.join(kCrLf) + kCrLf, unicode));
}
