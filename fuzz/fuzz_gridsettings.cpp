// fuzz-layer: kr_grid
// The three readers of a grid's kept settings, chosen by the first byte: the
// visual-properties file, the print-settings section and the column-state
// line. None crashes; a refused input changes nothing; what a reader took
// in is written, read back and written again the same.
#include "FuzzSupport.h"
#include "grid/ExtGrid.h"
#include "platform/Files.h"

#include <QApplication>
#include <QTemporaryDir>

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "fuzz_gridsettings";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

void Columns(TExtStringGrid& g)
{
    g.SetColCount(4);
    for (int c = 0; c < 4; ++c) g.SetColWidths(c, 20 + c);
    g.HideColumn(2);
}

void VisualProps(const QString& dir, const QByteArray& bytes)
{
    const QString in = dir + "/in.txt", a = dir + "/a.txt", b = dir + "/b.txt";
    WriteFileAtomic(in, bytes);
    TExtStringGrid g;
    g.SaveVisualProps(a);
    try {
        g.LoadVisualProps(in);
    } catch (const Exception&) {
        g.SaveVisualProps(b);
        Require(ReadFileBytes(a) == ReadFileBytes(b), "a refused file changes nothing");
        return;
    }
    g.SaveVisualProps(a);
    TExtStringGrid h;
    h.LoadVisualProps(a);
    h.SaveVisualProps(b);
    Require(ReadFileBytes(a) == ReadFileBytes(b), "what was read is written back the same");
}

void PrintSettings(const QString& dir, const QByteArray& bytes)
{
    const QString in = dir + "/in.ini", a = dir + "/a.ini", b = dir + "/b.ini";
    WriteFileAtomic(in, bytes);
    QFile::remove(a);
    QFile::remove(b);
    TExtStringGrid g;
    g.LoadPrintSettings(in, QStringLiteral("Print"));
    Require(ReadFileBytes(in) == bytes, "loading never writes");
    g.SavePrintSettings(a, QStringLiteral("Print"));
    TExtStringGrid h;
    h.LoadPrintSettings(a, QStringLiteral("Print"));
    h.SavePrintSettings(b, QStringLiteral("Print"));
    Require(ReadFileBytes(a) == ReadFileBytes(b), "what was read is written back the same");
}

void ColumnStates(const QByteArray& bytes)
{
    TExtStringGrid g;
    Columns(g);
    const QString before = g.ColumnStatesToString();
    try {
        g.StringToColumnStates(QString::fromLatin1(bytes));
    } catch (const Exception&) {
        Require(g.ColumnStatesToString() == before, "a refused line changes nothing");
        return;
    }
    const QString line = g.ColumnStatesToString();
    TExtStringGrid h;
    Columns(h);
    h.StringToColumnStates(line);
    Require(h.ColumnStatesToString() == line, "a written line reads back the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    App();
    static QTemporaryDir dir;
    if (size < 1) return 0;
    const QByteArray bytes = Bytes(data + 1, size - 1);
    switch (data[0] % 3) {
    case 0: VisualProps(dir.path(), bytes); break;
    case 1: PrintSettings(dir.path(), bytes); break;
    default: ColumnStates(bytes); break;
    }
    return 0;
}
