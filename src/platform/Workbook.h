#pragma once
// Spreadsheet workbooks read directly from their files: the Office Open XML
// workbook (.xlsx), the OpenDocument spreadsheet (.ods) and the binary
// workbook (.xls), the format known by the file's content. The whole file is
// read and checked before anything is handed out; every cell value arrives as
// the text a user sees for it in this program.
#include "platform/Exception.h"
#include "platform/SysUtils.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// A file that is not a readable workbook: a broken archive or XML document,
// a cell reference or repeat count beyond the format, a part too large.
class EWorkbookError : public Exception {
public:
    using Exception::Exception;
};

// The largest sheet the formats hold.
inline constexpr int WorkbookMaxRows = 1048576;
inline constexpr int WorkbookMaxCols = 16384;

struct TWorkbookCell {
    int Row = 1;  // 1-based
    int Col = 1;  // 1-based
    QString Text;
    bool Error = false;  // an error value: it has no text to load
};

struct TWorkbookSheet {
    QString Name;
    // The cells holding a value, in no particular order.
    std::vector<TWorkbookCell> Cells;
    // The box of those cells (1-based, inclusive); A1 for an empty sheet.
    int Top = 1, Left = 1, Bottom = 1, Right = 1;
    bool Empty() const { return Cells.empty(); }
};

// Column letters of a 1-based column (1 = A, 27 = AA, 16384 = XFD).
QString WorkbookColumnLetters(int col);
// A 1-based row and column from a reference such as "B2" or "$AA$10";
// false when it is not one or lies beyond the format.
bool ParseWorkbookCellRef(QStringView ref, int& row, int& col);
// A number as the program shows it: at most 15 significant digits, the
// decimal separator of the settings, an exponent as "E-5".
QString WorkbookNumberText(double v, const FormatSettings& fs);
// A date-time value as short date and, when it has one, the time; a value
// without a date part as the time alone; a value outside the years 1 to 9999
// as the number.
QString WorkbookDateTimeText(TDateTime v, const FormatSettings& fs);

class TWorkbookReader {
public:
    // Reads the workbook held in `bytes` (its sheet list); raises
    // EWorkbookError when the content is not one of the three formats or is
    // broken.
    explicit TWorkbookReader(const QByteArray& bytes, const FormatSettings& fs = SystemFormatSettings());
    ~TWorkbookReader();
    TWorkbookReader(const TWorkbookReader&) = delete;
    TWorkbookReader& operator=(const TWorkbookReader&) = delete;

    const QStringList& SheetNames() const { return FNames; }
    // Index of the workbook's active sheet (0-based).
    int ActiveSheet() const { return FActive; }
    // The cells of one sheet; raises EWorkbookError when its part is broken.
    TWorkbookSheet ReadSheet(int index);

    struct TImpl;

private:
    std::unique_ptr<TImpl> FImpl;
    QStringList FNames;
    int FActive = 0;
};

// --- writing ---------------------------------------------------------------
// The longest text a cell holds.
inline constexpr int WorkbookMaxText = 32767;

// Whether a text is written as a number: it reads back (WorkbookNumberText)
// as the same text. `value` gets the number.
bool WorkbookTextIsNumber(const QString& text, const FormatSettings& fs, double& value);
// A sheet name the formats accept: 1 to 31 characters, none of : \ / ? * [ ],
// not starting or ending with an apostrophe.
bool IsValidSheetName(const QString& name);

// A new workbook (.xlsx) with one sheet holding `rows` from A1: a text that
// reads back as the same number becomes a number, any other a string (never
// a formula), an empty text no cell. Raises EWorkbookError naming what it
// refuses (sheet name, a text too long, too many rows or columns) before
// anything is made.
QByteArray WriteNewWorkbook(const QString& sheetName, const std::vector<QStringList>& rows,
                            const FormatSettings& fs = SystemFormatSettings());
// The existing workbook `xlsx` with the sheet `sheetName` (the last of that
// name) rewritten, or added at the end when it has none: the cells of the
// range from A1 over `rows` are replaced, each keeping its style, the cells
// beside the range are kept; the calculation chain is dropped when a formula
// is overwritten. Every other entry is copied as it is. Raises
// EWorkbookError when the workbook is broken or the data is refused.
QByteArray RewriteWorkbookSheet(const QByteArray& xlsx, const QString& sheetName, const std::vector<QStringList>& rows,
                                const FormatSettings& fs = SystemFormatSettings());
