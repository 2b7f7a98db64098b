#pragma once
// The bodies of the grid's exchange-format harnesses, shared by the libFuzzer
// harnesses and the ordinary test that replays every seed and crash file.
// Each needs a running QApplication (the grid is a widget's core).
#include "FuzzSupport.h"
#include "grid/ExtGrid.h"
#include "grid/GridIOLimits.h"
#include "platform/ComponentStream.h"
#include "platform/Workbook.h"

#include <QBuffer>

namespace GridIOFuzz {

// What a reader may change of a grid: size, widths, heights, texts and the
// properties and graphics of each cell.
inline QString Shape(TExtStringGrid& g)
{
    QString s = QStringLiteral("%1x%2;").arg(g.ColCount()).arg(g.RowCount());
    for (int c = 0; c < g.ColCount(); ++c) s += QString::number(g.ColWidths(c)) + u',';
    for (int r = 0; r < g.RowCount(); ++r) s += QString::number(g.RowHeights(r)) + u',';
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.TotalColCount(); ++c) {
            s += g.GridCells(c, r) + u'\x1f';
            if (g.HasCellProps(c, r)) {
                const TCellProperties& p = *g.GetCellProperties(c, r);
                s += QStringLiteral("p%1.%2.%3.%4").arg(p.FontSize()).arg(p.CellSpanX()).arg(p.CellSpanY()).arg(p.IsBaseCell());
                if (const TCellGraphic* gr = g.GetCellGraphic(c, r)) s += QStringLiteral("g%1").arg(int(gr->CellType));
            }
        }
    return s;
}

// A small grid with a text, properties and (for the cell stream) a graphic.
inline void Fill(TExtStringGrid& g, bool graphic)
{
    g.SetColCount(6);
    g.SetRowCount(6);
    g.SetCells(1, 1, QStringLiteral("keep"));
    g.GetCellProperties(2, 2)->SetFontSize(9);
    if (graphic) g.AddCheckBox(3, 3, true, false);
}

// The cell stream loaded at a point of a small grid. Byte 0: the point
// (bits 0-2 column, 3-5 row) and SaveFixedCells (bit 6); the rest is the
// stream. A refused stream leaves the grid as it was; an accepted one, saved
// again as a whole grid, loads back into a fresh grid the same.
inline void CellStream(const uint8_t* data, size_t size)
{
    if (size < 1) return;
    TExtStringGrid g;
    Fill(g, true);
    g.SetSaveFixedCells(data[0] & 0x40);
    const QString before = Shape(g);
    try {
        g.LoadAtPointFromBinBytes(QPoint(data[0] & 7, (data[0] >> 3) & 7), QByteArrayView(data + 1, qsizetype(size - 1)));
    } catch (const EReadError&) {
        Require(Shape(g) == before, "a refused stream changes nothing");
        return;
    }
    Require(GridIOLimits::ColsFit(g.ColCount()) && GridIOLimits::RowsFit(g.RowCount()), "the grid stays within the limits");
    if (qint64(g.ColCount()) * g.RowCount() > 20000) return;
    g.SetSaveFixedCells(true);
    const QByteArray again = g.SaveRectToBinBytes({0, 0, g.TotalColCount() - 1, g.RowCount() - 1});
    TExtStringGrid h;
    h.SetSaveFixedCells(true);
    h.LoadAtPointFromBinBytes(QPoint(0, 0), again);
    if (Shape(h) != Shape(g)) std::fprintf(stderr, "%s\n%s\n", qPrintable(Shape(g)), qPrintable(Shape(h)));
    Require(Shape(h) == Shape(g), "a saved grid loads back the same");
}

// The native text file. Byte 0: SaveFixedCells (bit 0), Multilinecells
// (bit 1); the rest is the file. A corrupt file leaves the grid as it was;
// an accepted one, saved again, loads back into a grid of the same size
// with the same texts.
inline void GridFile(const uint8_t* data, size_t size)
{
    if (size < 1) return;
    TExtStringGrid g;
    Fill(g, false);
    g.SetSaveFixedCells(data[0] & 1);
    g.SetMultilinecells(data[0] & 2);
    const QString before = Shape(g);
    try {
        g.LoadFromFileBytes(Bytes(data + 1, size - 1), QStringLiteral("fuzz.txt"));
    } catch (const EExtGridError&) {
        Require(Shape(g) == before, "a corrupt file changes nothing");
        return;
    }
    Require(GridIOLimits::ColsFit(g.ColCount()) && GridIOLimits::RowsFit(g.RowCount()), "the grid stays within the limits");
    if (qint64(g.ColCount()) * g.RowCount() > 20000) return;
    g.SetSaveFixedCells(true);
    g.SetMultilinecells(true);
    const QByteArray again = g.SaveToFileBytes(true);
    TExtStringGrid h;
    h.SetSaveFixedCells(true);
    h.SetMultilinecells(true);
    h.LoadFromFileBytes(again, QStringLiteral("again.txt"));
    Require(h.ColCount() == g.ColCount() && h.RowCount() == g.RowCount(), "the size comes back");
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) {
            // Line breaks come back as CR LF. The file codes breaks with
            // characters 0, 1, 8 and 9: a text that holds them may not.
            QString t = g.GridCells(c, r);
            if (t.contains(QChar(0)) || t.contains(QChar(1)) || t.contains(QChar(8)) || t.contains(QChar(9))) continue;
            t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n').replace(u'\n', QStringLiteral("\r\n"));
            if (h.GridCells(c, r) != t)
                std::fprintf(stderr, "(%d,%d) '%s' came back as '%s'\n", c, r, qPrintable(t), qPrintable(h.GridCells(c, r)));
            Require(h.GridCells(c, r) == t, "the texts come back");
        }
}

// Delimited text. Byte 0: the delimiter (0 guesses; else one of ",;\t|#"),
// byte 1: JavaCSV (bit 0), LoadFirstRow (bit 1), OemConvert (bit 2),
// insert (bit 3), byte 2: MaxRows; the rest is the file. A refused file
// changes nothing; the delimiter is always put back.
inline void Csv(const uint8_t* data, size_t size)
{
    if (size < 3) return;
    static const char seps[] = {0, ',', ';', '\t', '|', '#'};
    TExtStringGrid g;
    Fill(g, false);
    const QChar sep = QChar(seps[data[0] % 6]);
    g.SetDelimiter(sep);
    g.SetJavaCSV(data[1] & 1);
    g.SetLoadFirstRow(data[1] & 2);
    g.SetOemConvert(data[1] & 4);
    const QString before = Shape(g);
    try {
        g.LoadFromCSVBytes(Bytes(data + 3, size - 3), data[2], data[1] & 8, QStringLiteral("fuzz.csv"));
    } catch (const Exception&) {
        Require(Shape(g) == before, "a refused file changes nothing");
    }
    Require(g.Delimiter() == sep, "the delimiter is put back");
    Require(GridIOLimits::ColsFit(g.ColCount()) && GridIOLimits::RowsFit(g.RowCount()), "the grid stays within the limits");
}

// Fixed-width text. Byte 0: the number of positions (0..7), then one byte
// each; the rest is the file.
inline void Fixed(const uint8_t* data, size_t size)
{
    if (size < 1) return;
    const size_t n = data[0] % 8;
    if (size < 1 + n) return;
    TIntList positions(0, 0);
    for (size_t i = 0; i < n; ++i) positions.Add(int(data[1 + i]));
    TExtStringGrid g;
    Fill(g, false);
    const QString before = Shape(g);
    try {
        g.LoadFromFixedBytes(Bytes(data + 1 + n, size - 1 - n), positions, data[0] & 8, (data[0] & 16) ? 3 : -1,
                             QStringLiteral("fuzz.txt"));
    } catch (const Exception&) {
        Require(Shape(g) == before, "a refused file changes nothing");
        return;
    }
    for (int i = 1; i < positions.Count(); ++i) Require(positions.Items(i - 1) <= positions.Items(i), "positions sorted");
}

// The native text stream. The whole input is the stream. A refused stream
// changes nothing; an accepted one leaves the stream within its bytes.
inline void Stream(const uint8_t* data, size_t size)
{
    TExtStringGrid g;
    Fill(g, false);
    const QString before = Shape(g);
    QBuffer in;
    in.setData(Bytes(data, size));
    in.open(QIODevice::ReadOnly);
    try {
        g.LoadFromStream(in);
    } catch (const Exception&) {
        Require(Shape(g) == before, "a refused stream changes nothing");
        return;
    }
    Require(in.pos() >= 0 && in.pos() <= qint64(size), "the stream position stays inside");
    Require(GridIOLimits::ColsFit(g.ColCount()) && GridIOLimits::RowsFit(g.RowCount()), "the grid stays within the limits");
}

// A workbook (.xlsx, .ods or .xls by its content) loaded into a small grid:
// a refused one leaves the grid as it was, an accepted one stays within the
// limits; every other sheet of it is read or refused cleanly too.
inline void Workbook(const uint8_t* data, size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    TExtStringGrid g;
    Fill(g, false);
    const QString before = Shape(g);
    try {
        g.LoadFromXLSBytes(bytes);
    } catch (const Exception&) {
        Require(Shape(g) == before, "a refused workbook changes nothing");
        return;
    }
    Require(GridIOLimits::ColsFit(g.ColCount()) && GridIOLimits::RowsFit(g.RowCount()), "the grid stays within the limits");
    TWorkbookReader reader(bytes);
    for (int i = 0; i < reader.SheetNames().size(); ++i) {
        try {
            const TWorkbookSheet sheet = reader.ReadSheet(i);
            Require(sheet.Top >= 1 && sheet.Left >= 1 && sheet.Bottom <= WorkbookMaxRows && sheet.Right <= WorkbookMaxCols,
                    "a sheet's box lies within the format");
        } catch (const EWorkbookError&) {
        }
    }
}

} // namespace GridIOFuzz
