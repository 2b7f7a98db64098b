#pragma once
// The body of the grid's XML import harness, shared by the libFuzzer
// harness and the test that replays its seeds (see GridIOFuzz.h).
#include "GridIOFuzz.h"

namespace GridIOFuzz {

// Byte 0: LevelToRow (bit 0), LoadFieldDescr (bit 1), SaveFixedCells
// (bit 2); the rest is the document. A refused document leaves the grid as
// it was; an accepted one stays within the limits, and the grid it gives,
// exported with every cell and imported again, gives back the texts the
// writer saved.
inline void GridXML(const uint8_t* data, size_t size)
{
    if (size < 1) return;
    TExtStringGrid g;
    Fill(g, false);
    g.SetSaveFixedCells(data[0] & 4);
    const QString before = Shape(g);
    try {
        g.LoadFromXMLBytes(Bytes(data + 1, size - 1), data[0] & 1, data[0] & 2);
    } catch (const EExtGridError&) {
        Require(Shape(g) == before, "a refused document changes nothing");
        return;
    }
    Require(GridIOLimits::ColsFit(g.ColCount()) && GridIOLimits::RowsFit(g.RowCount()), "the grid stays within the limits");
    if (qint64(g.ColCount()) * g.RowCount() > 20000) return;
    g.SetSaveFixedCells(true);
    g.SetXMLEncoding(QStringLiteral("UTF-8"));
    const QByteArray saved = g.SaveToXMLBytes(QStringLiteral("L"), QStringLiteral("R"), {}, true);
    TExtStringGrid h;
    h.SetSaveFixedCells(true);
    h.LoadFromXMLBytes(saved);
    Require(h.ColCount() == g.ColCount() && h.RowCount() == g.RowCount(), "the size comes back");
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) {
            // The writer saves a cell's save text (a rich-text cell as its
            // plain text, say); that is what must come back.
            QString t;
            g.GetSaveText(c, r, t);
            if (t == QLatin1String("\"\"")) continue; // the writer's form of an empty cell
            if (h.GridCells(c, r) != t)
                std::fprintf(stderr, "(%d,%d) '%s' came back as '%s'\n", c, r, qPrintable(t), qPrintable(h.GridCells(c, r)));
            Require(h.GridCells(c, r) == t, "the texts come back");
        }
}

} // namespace GridIOFuzz
