#pragma once
// The body of the clipboard paster's harness, shared by the libFuzzer
// harness and the test that replays its seeds. Needs a running
// QGuiApplication (the smart paste reads the clipboard).
#include "GridIOFuzz.h"
#include "controls/ExtUtil.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace GridPasteFuzz {

// Cells of a grid within cols x rows, empty outside it.
inline QString CellsIn(TExtStringGrid& g, int cols, int rows)
{
    QString s;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) s += (c < g.ColCount() && r < g.RowCount() ? g.Cells(c, r) : QString()) + u'\x1f';
    return s;
}

// Byte 0: format (bits 0-1: text, rich text, grid cells, text), paste
// action insert (bit 2), growth off (bit 3), smart paste into the selection
// (bit 4), AllowClipboardAlways (bit 5). Byte 1: the target cell or the
// selection's top-left cell (bits 0-2 column, 3-5 row); byte 2: the
// selection's width and height less one (bits 0-2, 3-5). The rest is the
// payload (UTF-8 text, rich-text bytes or a cell stream).
inline void Paste(const uint8_t* data, size_t size)
{
    if (size < 3) return;
    const int format = data[0] & 3;
    const QByteArray payload = Bytes(data + 3, size - 3);
    const QString cellsFormat = QString::fromLatin1(GridCellsClipboardFormat);
    auto prepare = [&](TExtStringGrid& g) {
        g.SetOptions(g.Options().With(goEditing));
        TNavigation& nav = g.Navigation();
        nav.SetAllowFmtClipboard(true);
        nav.SetAllowRTFClipboard(true);
        nav.SetClipboardPasteAction(data[0] & 4 ? paInsert : paReplace);
        nav.SetAllowClipboardColGrow(!(data[0] & 8));
        nav.SetAllowClipboardRowGrow(!(data[0] & 8));
        nav.SetAllowSmartClipboard(true);
        nav.SetAllowClipboardAlways(data[0] & 32);
    };
    auto mime = [&] {
        auto m = new QMimeData;
        if (format == 1) m->setData(QStringLiteral("text/rtf"), payload);
        else if (format == 2) m->setData(cellsFormat, payload);
        else m->setText(QString::fromUtf8(payload));
        return m;
    };

    TExtStringGrid g;
    GridIOFuzz::Fill(g, true);
    prepare(g);
    const int c0 = data[1] & 7, r0 = (data[1] >> 3) & 7;
    const QString before = GridIOFuzz::Shape(g);
    if (data[0] & 16) {
        g.SetSelection({c0, r0, std::min(c0 + (data[2] & 7), g.ColCount() - 1), std::min(r0 + ((data[2] >> 3) & 7), g.RowCount() - 1)});
        QGuiApplication::clipboard()->setMimeData(mime());
        try {
            g.PasteSelectionFromClipboard();
        } catch (const EReadError&) {
            Require(GridIOFuzz::Shape(g) == before, "a refused cell block changes nothing");
        } catch (const EExtGridError&) {
        }
    } else {
        std::unique_ptr<QMimeData> m(mime());
        int rows = 0, cols = 0;
        try {
            g.PasteMimeAt(m.get(), c0, r0, rows, cols);
            Require(rows >= 0 && cols >= 0, "the block's size is not negative");
        } catch (const EReadError&) {
            Require(GridIOFuzz::Shape(g) == before, "a refused cell block changes nothing");
        } catch (const EExtGridError&) {
            Require(GridIOFuzz::Shape(g) == before, "a paste past the limits changes nothing");
        }
    }
    Require(GridIOLimits::ColsFit(g.ColCount()) && GridIOLimits::RowsFit(g.RowCount()), "the grid stays within the limits");

    // Text pasted into an empty grid, copied as text and pasted into another
    // gives the same cells. The copy writes cells with a wide-text marker
    // decoded, rich text as plain text and formulas as their results, and
    // the paster reads character 11 inside a quoted field as a line break,
    // so texts that may be such cells are left out.
    if (format == 1 || format == 2) return;
    TExtStringGrid a, b;
    for (TExtStringGrid* x : {&a, &b}) {
        x->SetFixedCols(0);
        x->SetFixedRows(0);
        x->SetColCount(1);
        x->SetRowCount(1);
        x->SetOptions(x->Options().With(goEditing));
    }
    int rows = 0, cols = 0;
    try {
        a.PasteTextAt(0, 0, rows, cols, QString::fromUtf8(payload));
    } catch (const EExtGridError&) {
        return;
    }
    for (int r = 0; r < a.RowCount(); ++r)
        for (int c = 0; c < a.ColCount(); ++c) {
            const QString t = a.Cells(c, r);
            if (t.contains(WideTextMarker) || t.contains(RichTextMarker) || t.startsWith(u'=') || t.contains(u'\x0b')) return;
        }
    a.SetSelection({0, 0, a.ColCount() - 1, a.RowCount() - 1});
    b.PasteTextAt(0, 0, rows, cols, a.GetSelectionAsText());
    Require(CellsIn(b, a.ColCount(), a.RowCount()) == CellsIn(a, a.ColCount(), a.RowCount()), "copied text pastes back the same cells");
}

} // namespace GridPasteFuzz
