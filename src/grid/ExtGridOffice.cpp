// Spreadsheet, document and database exchange of the string grid: workbooks
// and documents are read and written directly as files, databases through
// Qt SQL.
#include "grid/ExtGrid.h"
#include "grid/GridIOLimits.h"
#include "controls/ExtUtil.h"
#include "platform/Database.h"
#include "platform/Docx.h"
#include "platform/Files.h"
#include "platform/Workbook.h"

#include <QCursor>
#include <QGuiApplication>
#include <algorithm>

namespace {

// The hourglass cursor while an exchange runs; the previous cursor comes back
// on every exit, also when it fails.
class TOfficeBusyCursor {
public:
    TOfficeBusyCursor()
        : FShown(qGuiApp != nullptr)
    {
        if (FShown) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~TOfficeBusyCursor()
    {
        if (FShown) QGuiApplication::restoreOverrideCursor();
    }
    TOfficeBusyCursor(const TOfficeBusyCursor&) = delete;
    TOfficeBusyCursor& operator=(const TOfficeBusyCursor&) = delete;

private:
    bool FShown;
};

const QString kIncorrectXls = QStringLiteral("Incorrect XLS file");

bool IsZip(const QByteArray& bytes) { return bytes.startsWith("PK\x03\x04"); }

} // namespace

QStringList TExtStringGrid::GetXLSSheets(const QString& fileName)
{
    TOfficeBusyCursor busy;
    const QByteArray bytes = ReadFileBytes(fileName);
    try {
        return TWorkbookReader(bytes).SheetNames();
    } catch (const EWorkbookError&) {
        throw Exception(kIncorrectXls);
    }
}

void TExtStringGrid::LoadFromXLS(const QString& fileName)
{
    TOfficeBusyCursor busy;
    LoadFromXLSBytes(ReadFileBytes(fileName), QString());
}

void TExtStringGrid::LoadFromXLSSheet(const QString& fileName, const QString& sheetName)
{
    TOfficeBusyCursor busy;
    LoadFromXLSBytes(ReadFileBytes(fileName), sheetName);
}

void TExtStringGrid::LoadFromXLSBytes(const QByteArray& bytes, const QString& sheetName)
{
    TWorkbookSheet sheet;
    try {
        TWorkbookReader reader(bytes);
        int index = reader.ActiveSheet();
        if (!sheetName.isEmpty()) {
            // The last sheet of that name wins.
            index = int(reader.SheetNames().lastIndexOf(sheetName));
            if (index < 0) throw EExtGridError(QStringLiteral("Excel worksheet ") + sheetName + QStringLiteral(" not found"));
        }
        sheet = reader.ReadSheet(index);
    } catch (const EWorkbookError&) {
        throw Exception(kIncorrectXls);
    }

    // Everything is read; check the size, then apply.
    const int colOffset = SaveFixedCells() || SaveFixedCols() ? 0 : FixedCols();
    const int rowOffset = SaveFixedCells() || SaveFixedRows() ? 0 : FixedRows();
    const int64_t cols = int64_t(sheet.Right) - sheet.Left + 1 + colOffset;
    const int64_t rows = int64_t(sheet.Bottom) - sheet.Top + 1 + rowOffset;
    if (!GridIOLimits::ColsFit(cols) || !GridIOLimits::RowsFit(rows))
        throw EExtGridError(QStringLiteral("The worksheet %1 is too large for the grid (%2 columns, %3 rows)")
                                .arg(sheet.Name)
                                .arg(cols)
                                .arg(rows));

    const int oldFixedCols = FixedCols();
    const int oldFixedRows = FixedRows();
    const int oldCols = ColCount();
    const int oldRows = RowCount();
    SetColCount(int(cols));
    SetRowCount(int(rows));
    if (oldFixedCols < ColCount() && FixedCols() != oldFixedCols) SetFixedCols(oldFixedCols);
    if (oldFixedRows < RowCount() && FixedRows() != oldFixedRows) SetFixedRows(oldFixedRows);

    // Every cell of the range is stored: the empty ones with an empty text,
    // error values not at all (the cell keeps its text). Cells the grid did
    // not have before are empty already: there only the values are stored,
    // so that a sheet with two far corners costs no more than its values.
    std::sort(sheet.Cells.begin(), sheet.Cells.end(), [](const TWorkbookCell& a, const TWorkbookCell& b) {
        return a.Row != b.Row ? a.Row < b.Row : a.Col < b.Col;
    });
    auto next = sheet.Cells.cbegin();
    const int64_t oldRight = int64_t(sheet.Left) + oldCols - colOffset - 1;
    for (int r = sheet.Top; r <= sheet.Bottom; ++r) {
        const int gridRow = r - sheet.Top + rowOffset;
        const int lastEmpty = gridRow < oldRows ? int(std::min<int64_t>(sheet.Right, oldRight)) : sheet.Left - 1;
        int c = sheet.Left;
        for (;;) {
            const bool value = next != sheet.Cells.cend() && next->Row == r;
            const int upTo = value ? std::min(lastEmpty, next->Col - 1) : lastEmpty;
            for (; c <= upTo; ++c) SetLoadText(c - sheet.Left + colOffset, gridRow, QString());
            if (!value) break;
            if (!next->Error) SetLoadText(next->Col - sheet.Left + colOffset, gridRow, next->Text);
            c = std::max(c, next->Col + 1);
            ++next;
        }
    }
    CellsChanged({0, 0, ColCount(), RowCount()});
    CellsLoaded();
}

namespace {
// The save texts of the grid rows and columns a workbook gets, every CR
// removed, with the export notifications.
std::vector<QStringList> WorkbookRows(TExtStringGrid& g)
{
    std::vector<QStringList> rows;
    g.ExportNotification(TGridExportState::esExportStart, g.SaveStartRow());
    for (int r = g.SaveStartRow(); r < g.RowCount(); ++r) {
        g.ExportNotification(TGridExportState::esExportNextRow, r);
        QStringList row;
        for (int c = g.SaveStartCol(); c < g.ColCount(); ++c) {
            QString s;
            g.GetSaveText(g.RealColIndex(TDisplCol(c)).Value(), r, s);
            row << StripCR(s);
        }
        rows.push_back(std::move(row));
    }
    g.ExportNotification(TGridExportState::esExportDone, -1);
    return rows;
}
} // namespace

void TExtStringGrid::SaveToXLS(const QString& fileName, bool createNewSheet)
{
    TOfficeBusyCursor busy;
    const std::vector<QStringList> rows = WorkbookRows(*this);
    QByteArray bytes;
    try {
        bytes = WriteNewWorkbook(QStringLiteral("Sheet1"), rows);
    } catch (const EWorkbookError& e) {
        throw EExtGridError(e.Message());
    }
    WriteFileAtomic(fileName, bytes);
}

void TExtStringGrid::SaveToXLSSheet(const QString& fileName, const QString& sheetName)
{
    TOfficeBusyCursor busy;
    if (!IsValidSheetName(sheetName)) throw EExtGridError(QStringLiteral("Invalid sheet name \"%1\"").arg(sheetName));
    const std::vector<QStringList> rows = WorkbookRows(*this);
    QByteArray bytes;
    try {
        if (FileExists(fileName)) {
            const QByteArray old = ReadFileBytes(fileName);
            // Only Office Open XML workbooks are updated in place.
            if (!IsZip(old)) throw EExtGridError(QStringLiteral("Only .xlsx workbooks can be updated: ") + fileName);
            bytes = RewriteWorkbookSheet(old, sheetName, rows);
        } else
            bytes = WriteNewWorkbook(sheetName, rows);
    } catch (const EWorkbookError& e) {
        throw EExtGridError(e.Message());
    }
    WriteFileAtomic(fileName, bytes);
}

namespace {
// Every grid cell for a document table, aligned as the grid shows it.
TDocxTable DocxTable(TExtStringGrid& g)
{
    TDocxTable table;
    g.ExportNotification(TGridExportState::esExportStart, 0);
    for (int r = 0; r < g.RowCount(); ++r) {
        g.ExportNotification(TGridExportState::esExportNextRow, r + 1);
        std::vector<TDocxCell> row;
        for (int c = 0; c < g.ColCount(); ++c) {
            TDocxCell cell;
            g.GetSaveText(g.RealColIndex(TDisplCol(c)).Value(), r, cell.Text);
            TAlignment ha = taLeftJustify;
            TVAlignment va = vtaTop;
            g.GetCellAlignment(c, r, ha, va);
            cell.Align = ha == taRightJustify ? TDocxAlign::Right : ha == taCenter ? TDocxAlign::Centre : TDocxAlign::Left;
            row.push_back(std::move(cell));
        }
        table.push_back(std::move(row));
    }
    g.ExportNotification(TGridExportState::esExportDone, -1);
    return table;
}
} // namespace

void TExtStringGrid::SaveToDOC(const QString& fileName, bool createNewDocument)
{
    TOfficeBusyCursor busy;
    const TDocxTable table = DocxTable(*this);
    QByteArray bytes;
    try {
        bytes = WriteNewDocx(table, Text());
    } catch (const EDocxError& e) {
        throw EExtGridError(e.Message());
    }
    WriteFileAtomic(fileName, bytes);
}

void TExtStringGrid::AppendToDoc(const QString& fileName, const QString& bookmark)
{
    TOfficeBusyCursor busy;
    const QByteArray old = ReadFileBytes(fileName);
    // Only Office Open XML documents are updated.
    if (!IsZip(old)) throw EExtGridError(QStringLiteral("Only .docx documents can be updated: ") + fileName);
    const TDocxTable table = DocxTable(*this);
    QByteArray bytes;
    try {
        bytes = AppendDocxTable(old, table, Text(), bookmark);
    } catch (const EDocxError& e) {
        throw EExtGridError(e.Message());
    }
    WriteFileAtomic(fileName, bytes);
}

void TExtStringGrid::LoadFromMDBTable(const QString& fileName, const QString& table)
{
    std::unique_ptr<TDatabaseQuery> q = TDatabaseQuery::OpenFile(fileName);
    LoadFromMDBSQL(fileName, QStringLiteral("SELECT * FROM ") + q->EscapeIdentifier(table));
}

namespace {
// A field value as the grid shows it.
QString FieldText(const QVariant& v)
{
    if (v.isNull() || !v.isValid()) return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return WorkbookNumberText(v.toDouble(), SystemFormatSettings());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QByteArray:
        return QString::fromUtf8(v.toByteArray());
    default:
        return v.toString();
    }
}
} // namespace

void TExtStringGrid::LoadFromMDBSQL(const QString& fileName, const QString& sql)
{
    // The whole result is read first: an error leaves the grid as it was.
    QStringList names;
    std::vector<QStringList> records;
    {
        std::unique_ptr<TDatabaseQuery> q = TDatabaseQuery::OpenFile(fileName);
        q->Exec(sql);
        const int n = q->FieldCount();
        if (!GridIOLimits::ColsFit(int64_t(n) + FixedCols()))
            throw EExtGridError(QStringLiteral("The query has too many fields for the grid: %1").arg(n));
        for (int i = 0; i < n; ++i) names << q->FieldName(i);
        while (q->Next()) {
            if (!GridIOLimits::RowsFit(int64_t(records.size()) + 1 + FixedRows()))
                throw EExtGridError(QStringLiteral("The query has too many records for the grid"));
            QStringList rec;
            for (int i = 0; i < n; ++i) rec << FieldText(q->Value(i));
            records.push_back(std::move(rec));
        }
    }

    const int n = int(names.size());
    SetColCount(n + FixedCols());
    if (FixedRows() > 0)
        for (int i = 0; i < n; ++i) SetCells(FixedCols() + i, FixedRows() - 1, names[i]);
    // One row per record below the fixed rows; one empty row when there is none.
    SetRowCount(FixedRows() + std::max<int>(1, int(records.size())));
    if (records.empty())
        for (int i = 0; i < n; ++i) SetLoadText(FixedCols() + i, FixedRows(), QString());
    for (size_t r = 0; r < records.size(); ++r)
        for (int i = 0; i < n; ++i) SetLoadText(FixedCols() + i, FixedRows() + int(r), records[r][i]);
    CellsChanged({0, 0, ColCount(), RowCount()});
    CellsLoaded();
}
