#pragma once
// The project table files of the table editors, written once: each editor
// describes its table by one declarative list of columns (file attribute,
// header and hint text numbers, width, colour, editor kind, fixed pick list,
// default when the attribute is missing, check of an enabled row) and the
// routines below do the rest: set up the grid, re-text it, clear it, read the
// file into it, check it, and write it back.
//
// File layout: the table element is the document's first node (its name is
// not checked on reading); the comment "SW_VERSION = 1.000" follows it; one
// empty element `row` per table row with one attribute per column, in column
// order, each holding the cell text as typed. The table ends at the first row
// whose key cell, trimmed, is empty.
#include "controls/ExtObjTypes.h"
#include "platform/Graphics.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class TExtColumnGrid;
class TXMLDocument;
class XmlNode;

// One table row: the cells of grid columns 1 .. N (item k is column k + 1).
using TTableRow = QStringList;

struct TTableColumn {
    QString Attribute;       // file attribute
    int HeaderText = 0;      // text number of the column title
    int HintText = 0;        // text number of the title's hint (0: none)
    int Width = 48;
    TEditorType Editor = edNormal;
    TColor Color = clWindow;
    QStringList PickList;    // fixed pick-list items (lists filled at showing are left empty)
    QString Default;         // cell text when the attribute is missing
    // A default that depends on the cells read before it in the same row
    // (columns to the left); it wins over Default when set.
    std::function<QString(const TTableRow& row)> RowDefault;
    // The check of this cell in an enabled row: the reason text, empty when
    // the cell is fine. Checks run in column order; the first failure wins.
    std::function<QString(const TTableRow& row)> Check;
};

struct TTableDef {
    QString Root;              // table element
    int KeyColumn = 2;         // grid column whose empty text ends the table
    int AltKeyColumn = 0;      // a second key column (0: none): the table ends only where both are empty
    int Rows = 512;            // table rows (grid rows 1 .. Rows)
    int ErrorRowText = 0;      // "Error row " (the row number follows)
    int EmptyKeyText = 0;      // reason: filled rows follow a row with an empty key
    int BadCharText = 0;       // reason: a character XML cannot carry (the column title follows)
    std::vector<TTableColumn> Columns; // grid columns 1 .. N
};

// The integer value of a cell: optional leading blanks and sign, decimal
// digits or hexadecimal ones after "$", "x", "X", "0x", "0X"; anything else
// (the empty text, trailing blanks, an overflow) is -1.
int32_t Table_Int(const QString& text);

// A cleared row: "Y" in column 1 (the Enable column), the others empty.
TTableRow Table_Cleared_Row(const TTableDef& tableDef);

// One row from the attributes of an element, each attribute on its own
// guard; the attributes that were missing (and took their default) are
// appended to `missing` when given.
TTableRow Table_Read_Row(const XmlNode& e, const TTableDef& tableDef, QStringList* missing = nullptr);
// Writes the cells of a row as the element's attributes, in column order.
void Table_Write_Row(XmlNode& e, const TTableDef& tableDef, const TTableRow& row);

// The rows of a loaded document (at most tableDef.Rows), each attribute on its
// own guard; a document without a first element gives none.
std::vector<TTableRow> Table_Read(const TXMLDocument& doc, const TTableDef& tableDef);
// A missing file gives no rows; a file that cannot be parsed throws
// EXMLError.
std::vector<TTableRow> Table_Load(const QString& path, const TTableDef& tableDef);

// The number of rows before the first one with an empty trimmed key.
int Table_Length(const TTableDef& tableDef, const std::vector<TTableRow>& rows);

// A row holds something besides its check boxes.
bool Table_Row_Filled(const TTableDef& tableDef, const TTableRow& row);

// The number (from 1) of the row that ends the table although filled rows
// follow it; 0 when nothing follows the end.
int Table_Gap_Row(const TTableDef& tableDef, const std::vector<TTableRow>& rows);
// The index (0 = grid column 1) of the first cell of the row holding a
// character XML cannot carry, -1 when every cell can be written.
int Table_Bad_Char_Column(const TTableDef& tableDef, const TTableRow& row);

// The check of OK: the complete message of the first failure ("Error row " +
// row number + reason), empty when the table may be written. Disabled rows
// (Enable, trimmed and upper-cased, not "Y") skip the column checks; every
// written row is refused when a cell holds a character XML cannot carry; a
// filled row after the table's end is refused naming the row with the empty
// key.
QString Table_Check(const TTableDef& tableDef, const std::vector<TTableRow>& rows);

// The document as it is written.
QByteArray Table_ToBytes(const TTableDef& tableDef, const std::vector<TTableRow>& rows);
// Writes the file whole and atomically; throws EFileError when it cannot.
void Table_Save(const QString& path, const TTableDef& tableDef, const std::vector<TTableRow>& rows);

// ---- the grid ------------------------------------------------------------------
// Columns, widths, colours, editor kinds, pick lists and the editors' common
// grid settings; Rows + 1 rows with the header row, column 0 the row numbers.
// With `cellHints` the grid also shows the hints of the cells under the mouse,
// highlights the row under it and marks the titles of the current cell
// (bold Tahoma on #B6CAEA), as the frame tables do; without, those stay off.
void Table_Setup_Grid(TExtColumnGrid& grid, const TTableDef& tableDef, bool cellHints = true);
// Column titles (column 0 takes `firstHeaderText`) and the header hints.
void Table_Set_Lang(TExtColumnGrid& grid, const TTableDef& tableDef, int firstHeaderText, QStringList& hints);
// Clears every row (row number, "Y", empty cells) and puts the rows in.
void Table_To_Grid(TExtColumnGrid& grid, const TTableDef& tableDef, const std::vector<TTableRow>& rows);
// All table rows of the grid.
std::vector<TTableRow> Table_From_Grid(TExtColumnGrid& grid, const TTableDef& tableDef);
// The hint of a header cell: item column - 1 of the hints, empty elsewhere.
QString Table_Header_Hint(const QStringList& hints, int row, int col);
