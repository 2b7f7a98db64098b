// The grid's clipboard as other programs see it: run under a real X server
// (the ctest entry starts it with xvfb-run and QT_QPA_PLATFORM=xcb), read and
// written by xclip and python3. Skipped on any other platform.
#include "common/TestSupport.h"
#include "grid/ExtGrid.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kCells = QString::fromLatin1(GridCellsClipboardFormat);

class RealClipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X server";
        xclip = QStandardPaths::findExecutable(QStringLiteral("xclip"));
        if (xclip.isEmpty()) GTEST_SKIP() << "xclip is not installed";
        // The system's python carries the Debian modules (html5lib).
        python = QFileInfo::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                         : QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty()) GTEST_SKIP() << "python3 is not installed";
    }

    // Runs a program while this process goes on serving the clipboard.
    QByteArray Run(const QString& program, const QStringList& args, const QByteArray& input = {})
    {
        QProcess p;
        p.start(program, args);
        if (!p.waitForStarted(5000)) return "(not started)";
        if (!input.isEmpty()) p.write(input);
        p.closeWriteChannel();
        QElapsedTimer t;
        t.start();
        while (!p.waitForFinished(10)) {
            QCoreApplication::processEvents();
            if (t.elapsed() > 20000) {
                p.kill();
                p.waitForFinished();
                return "(timed out)";
            }
        }
        return p.readAllStandardOutput();
    }
    QByteArray Xclip(const QString& target) { return Run(xclip, {"-o", "-selection", "clipboard", "-t", target}); }

    // Hands the clipboard to xclip serving `bytes` as `target`, and waits
    // until this process sees it.
    void Serve(const QString& target, const QByteArray& bytes)
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("clip"));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        Run(xclip, {"-i", "-selection", "clipboard", "-t", target, file});
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            QCoreApplication::processEvents();
            const QMimeData* m = QGuiApplication::clipboard()->mimeData();
            if (m && m->hasFormat(target) && m->data(target) == bytes) return;
        }
        FAIL() << "xclip's clipboard did not arrive";
    }

    QString xclip, python;
};

std::unique_ptr<TExtStringGrid> Grid(int cols, int rows)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetFixedCols(0);
    g->SetFixedRows(0);
    g->SetColCount(cols);
    g->SetRowCount(rows);
    g->SetOptions(g->Options().With(goEditing));
    return g;
}

const QStringList kCellsText = {"plain", "tab\there", "say \"hi\"", "two\r\nlines", "\"lead", "last"};

} // namespace

TEST_F(RealClipboard, OtherProgramsReadEveryFormat)
{
    auto g = Grid(3, 2);
    for (int i = 0; i < kCellsText.size(); ++i) g->SetCells(i % 3, i / 3, kCellsText[i]);
    g->Navigation().SetAllowFmtClipboard(true);
    g->SetSelection({0, 0, 2, 1});
    g->CopySelectionToClipboard();

    const QByteArray targets = Xclip(QStringLiteral("TARGETS"));
    EXPECT_TRUE(targets.contains("text/plain")) << targets.constData();
    EXPECT_TRUE(targets.contains("TExtStringGrid Cells")) << targets.constData();

    // python's csv reader (TAB) gives the cells, quotes, TABs and line breaks.
    const QByteArray rows = Run(python, {"-c",
                                         "import csv, io, json, sys\n"
                                         "text = sys.stdin.buffer.read().decode('utf-8')\n"
                                         "print(json.dumps(list(csv.reader(io.StringIO(text, newline=''), delimiter='\\t'))))"},
                                Xclip(QStringLiteral("text/plain")));
    EXPECT_EQ(QString::fromUtf8(rows).trimmed(),
              "[[\"plain\", \"tab\\there\", \"say \\\"hi\\\"\"], [\"two\\nlines\", \"\\\"lead\", \"last\"]]");

    g->CopyToClipBoardAsHTML();
    const QByteArray text = Run(python, {"-c",
                                         "import html5lib, sys\n"
                                         "doc = html5lib.parse(sys.stdin.buffer.read(), namespaceHTMLElements=False)\n"
                                         "print('|'.join(''.join(td.itertext()) for td in doc.iter('td')))"},
                                Xclip(QStringLiteral("text/html")));
    EXPECT_TRUE(QString::fromUtf8(text).contains("say \"hi\"|two")) << text.constData();
}

TEST_F(RealClipboard, TextAndCellBlocksFromOtherProgramsPaste)
{
    // Text python's csv writes with LF line ends.
    const QByteArray csv = Run(python, {"-c",
                                        "import csv, sys\n"
                                        "w = csv.writer(sys.stdout, delimiter='\\t', lineterminator='\\n')\n"
                                        "w.writerows([['plain', 'tab\\there', 'say \"hi\"'], ['two\\nlines', '\"lead', 'last']])"});
    Serve(QStringLiteral("text/plain"), csv);
    auto g = Grid(1, 1);
    int rows = 0, cols = 0;
    g->PasteClipboardAt(0, 0, rows, cols);
    QStringList got;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) got << g->Cells(c, r);
    EXPECT_EQ(got, kCellsText);

    // A cell block taken out with xclip and served back keeps its properties.
    auto src = Grid(2, 1);
    src->SetCells(0, 0, QStringLiteral("red"));
    src->SetFontColors(0, 0, clRed);
    src->AddCheckBox(1, 0, true, false);
    src->Navigation().SetAllowFmtClipboard(true);
    src->SetSelection({0, 0, 1, 0});
    src->CopySelectionToClipboard();
    const QByteArray block = Xclip(kCells);
    ASSERT_FALSE(block.isEmpty());
    QGuiApplication::clipboard()->setText(QStringLiteral("other"));
    Serve(kCells, block);
    auto dst = Grid(1, 1);
    dst->Navigation().SetAllowFmtClipboard(true);
    EXPECT_EQ(dst->PasteClipboardAt(0, 0, rows, cols), 2);
    EXPECT_EQ(dst->Cells(0, 0), "red");
    EXPECT_EQ(dst->FontColors(0, 0), clRed);
    bool state = false;
    EXPECT_TRUE(dst->GetCheckBoxState(1, 0, state));
    EXPECT_TRUE(state);
}
