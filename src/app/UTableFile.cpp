#include "app/UTableFile.h"

#include "app/ULanguage.h"
#include "grid/ExtCGrid.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "platform/XmlDoc.h"

#include <QFileInfo>

namespace {

const QString Version_Comment = QStringLiteral("SW_VERSION = 1.000");

bool Enabled(const TTableRow& row) { return !row.isEmpty() && row[0].trimmed().toUpper() == QLatin1String("Y"); }

QString Cell_Trimmed(const TTableRow& row, int gridColumn)
{
    const int k = gridColumn - 1;
    return k >= 0 && k < row.size() ? row[k].trimmed() : QString();
}

// The key of a row: empty only when every key column is empty.
QString Key(const TTableDef& tableDef, const TTableRow& row)
{
    const QString key = Cell_Trimmed(row, tableDef.KeyColumn);
    return key.isEmpty() && tableDef.AltKeyColumn > 0 ? Cell_Trimmed(row, tableDef.AltKeyColumn) : key;
}

// Characters XML 1.0 cannot carry, not even as a character reference.
bool Xml_Can_Carry(const QString& text)
{
    for (int i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) return false;
        if (u == 0xFFFE || u == 0xFFFF) return false;
        if (QChar::isHighSurrogate(u)) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate()) return false;
            ++i;
        } else if (QChar::isLowSurrogate(u)) {
            return false;
        }
    }
    return true;
}

QString Row_Error(const TTableDef& tableDef, int row, const QString& reason)
{
    return SL_Lang[tableDef.ErrorRowText] + QString::number(row) + reason;
}

} // namespace

int32_t Table_Int(const QString& text) { return TryStrToInt(text).value_or(-1); }

TTableRow Table_Cleared_Row(const TTableDef& tableDef)
{
    TTableRow row;
    for (size_t c = 0; c < tableDef.Columns.size(); ++c) row << (c == 0 ? QStringLiteral("Y") : QString());
    return row;
}

std::vector<TTableRow> Table_Read(const TXMLDocument& doc, const TTableDef& tableDef)
{
    std::vector<TTableRow> rows;
    const XmlNode table = doc.FirstNode();
    if (table.IsNull() || !table.IsElement()) return rows;
    for (const XmlNode& e : table.ChildElements()) {
        if (int(rows.size()) >= tableDef.Rows) break;
        rows.push_back(Table_Read_Row(e, tableDef));
    }
    return rows;
}

TTableRow Table_Read_Row(const XmlNode& e, const TTableDef& tableDef, QStringList* missing)
{
    TTableRow row = Table_Cleared_Row(tableDef);
    for (size_t c = 0; c < tableDef.Columns.size(); ++c) {
        const TTableColumn& col = tableDef.Columns[c];
        if (e.HasAttribute(col.Attribute)) {
            row[int(c)] = e.Attribute(col.Attribute);
        } else {
            row[int(c)] = col.RowDefault ? col.RowDefault(row) : col.Default;
            if (missing) missing->append(col.Attribute);
        }
    }
    return row;
}

void Table_Write_Row(XmlNode& e, const TTableDef& tableDef, const TTableRow& row)
{
    for (size_t c = 0; c < tableDef.Columns.size(); ++c)
        e.SetAttribute(tableDef.Columns[c].Attribute, int(c) < row.size() ? row[int(c)] : QString());
}

std::vector<TTableRow> Table_Load(const QString& path, const TTableDef& tableDef)
{
    if (!QFileInfo(path).isFile()) return {};
    TXMLDocument doc;
    doc.LoadFromFile(path);
    return Table_Read(doc, tableDef);
}

int Table_Length(const TTableDef& tableDef, const std::vector<TTableRow>& rows)
{
    int n = 0;
    while (n < int(rows.size()) && !Key(tableDef, rows[size_t(n)]).isEmpty()) ++n;
    return n;
}

bool Table_Row_Filled(const TTableDef& tableDef, const TTableRow& row)
{
    for (size_t c = 0; c < tableDef.Columns.size() && int(c) < row.size(); ++c)
        if (tableDef.Columns[c].Editor != edDataCheckBox && !row[int(c)].trimmed().isEmpty()) return true;
    return false;
}

int Table_Gap_Row(const TTableDef& tableDef, const std::vector<TTableRow>& rows)
{
    const int length = Table_Length(tableDef, rows);
    for (int r = length + 1; r < int(rows.size()); ++r)
        if (Table_Row_Filled(tableDef, rows[size_t(r)])) return length + 1;
    return 0;
}

int Table_Bad_Char_Column(const TTableDef& tableDef, const TTableRow& row)
{
    for (size_t c = 0; c < tableDef.Columns.size() && int(c) < row.size(); ++c)
        if (!Xml_Can_Carry(row[int(c)])) return int(c);
    return -1;
}

QString Table_Check(const TTableDef& tableDef, const std::vector<TTableRow>& rows)
{
    const int length = Table_Length(tableDef, rows);
    for (int r = 0; r < length; ++r) {
        const TTableRow& row = rows[size_t(r)];
        if (const int c = Table_Bad_Char_Column(tableDef, row); c >= 0)
            return Row_Error(tableDef, r + 1, SL_Lang[tableDef.BadCharText] + SL_Lang[tableDef.Columns[size_t(c)].HeaderText]);
        if (!Enabled(row)) continue;
        for (const TTableColumn& col : tableDef.Columns)
            if (col.Check) {
                const QString reason = col.Check(row);
                if (!reason.isEmpty()) return Row_Error(tableDef, r + 1, reason);
            }
    }
    if (const int gap = Table_Gap_Row(tableDef, rows)) return Row_Error(tableDef, gap, SL_Lang[tableDef.EmptyKeyText]);
    return QString();
}

QByteArray Table_ToBytes(const TTableDef& tableDef, const std::vector<TTableRow>& rows)
{
    TXMLDocument doc;
    XmlNode table = doc.AddRoot(tableDef.Root);
    doc.AddDocComment(Version_Comment);
    const int length = Table_Length(tableDef, rows);
    for (int r = 0; r < length; ++r) {
        XmlNode e = table.AddChild(QStringLiteral("row"));
        Table_Write_Row(e, tableDef, rows[size_t(r)]);
    }
    return doc.SaveToBytes();
}

void Table_Save(const QString& path, const TTableDef& tableDef, const std::vector<TTableRow>& rows)
{
    WriteFileAtomic(path, Table_ToBytes(tableDef, rows));
}

// ---- the grid ------------------------------------------------------------------

void Table_Setup_Grid(TExtColumnGrid& grid, const TTableDef& tableDef, bool cellHints)
{
    const int n = int(tableDef.Columns.size());
    grid.SetColCount(n + 1);
    grid.SetRowCount(tableDef.Rows + 1);
    grid.SetFixedCols(1);
    grid.SetFixedRows(1);
    grid.SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goColSizing,
                                 goEditing});
    grid.SetScrollBars(TScrollStyle::ssBoth);
    if (cellHints) {
        grid.SetHoverRow(true);
        grid.SetHoverRowCells(THoverRowCells{hcNormal, hcSelected});
        grid.SetHintShowCells(true);
        TCellFont active;
        active.Font = QFont(QStringLiteral("Tahoma"), 8, QFont::Bold);
        grid.SetActiveCellFont(active);
        grid.SetActiveCellColor(RGBColor(0xB6, 0xCA, 0xEA));
        grid.SetActiveCellShow(true);
    }
    grid.SetDefaultRowHeight(22);
    grid.SetFixedColWidth(40);
    grid.SyncColumnItems();
    for (int c = 1; c <= n; ++c) {
        const TTableColumn& col = tableDef.Columns[size_t(c - 1)];
        TGridColumnItem& item = grid.Columns().Items(c);
        item.SetWidth(col.Width);
        item.SetColor(col.Color);
        item.SetEditor(col.Editor);
        if (col.Editor == edDataCheckBox) item.SetAlignment(taCenter);
        if (!col.PickList.isEmpty()) item.SetComboItems(col.PickList);
    }
}

void Table_Set_Lang(TExtColumnGrid& grid, const TTableDef& tableDef, int firstHeaderText, QStringList& hints)
{
    grid.Columns().Items(0).SetHeader(SL_Lang[firstHeaderText]);
    hints.clear();
    for (size_t c = 0; c < tableDef.Columns.size(); ++c) {
        grid.Columns().Items(int(c) + 1).SetHeader(SL_Lang[tableDef.Columns[c].HeaderText]);
        hints << (tableDef.Columns[c].HintText ? SL_Lang[tableDef.Columns[c].HintText] : QString());
    }
}

void Table_To_Grid(TExtColumnGrid& grid, const TTableDef& tableDef, const std::vector<TTableRow>& rows)
{
    const TTableRow cleared = Table_Cleared_Row(tableDef);
    for (int r = 1; r <= tableDef.Rows; ++r) {
        const TTableRow& row = r - 1 < int(rows.size()) ? rows[size_t(r - 1)] : cleared;
        grid.SetCells(0, r, QString::number(r));
        for (int c = 0; c < int(tableDef.Columns.size()); ++c) grid.SetCells(c + 1, r, c < row.size() ? row[c] : QString());
    }
}

std::vector<TTableRow> Table_From_Grid(TExtColumnGrid& grid, const TTableDef& tableDef)
{
    std::vector<TTableRow> rows;
    for (int r = 1; r <= tableDef.Rows; ++r) {
        TTableRow row;
        for (int c = 1; c <= int(tableDef.Columns.size()); ++c) row << grid.Cells(c, r);
        rows.push_back(row);
    }
    return rows;
}

QString Table_Header_Hint(const QStringList& hints, int row, int col)
{
    return row == 0 && col >= 1 && col - 1 < hints.size() ? hints[col - 1] : QString();
}
