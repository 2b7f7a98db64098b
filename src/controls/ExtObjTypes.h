#pragma once
// The types shared by the grid family: the enumerations (editor kinds, cell
// borders, sort styles, alignments, the options of the grid's settings
// objects; their ordinal values are part of the interface, stored in column
// definitions and settings, so the names keep their order) and the small
// lists a grid keeps (integer lists, sort index, cell controls, file lines,
// pictures by file name).
#include "platform/Graphics.h"
#include "platform/Grids.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

// ---------------------------------------------------------------------------
// Enumerations (their ordinal values are part of the interface).

enum TEditorType : uint8_t {
    edNormal,
    edSpinEdit,
    edComboEdit,
    edComboList,
    edEditBtn,
    edCheckBox,
    edDateEdit,
    edDateEditUpDown,
    edTimeEdit,
    edButton,
    edDataCheckBox,
    edNumeric,
    edPositiveNumeric,
    edFloat,
    edCapital,
    edMixedCase,
    edPassword,
    edUnitEditBtn,
    edLowerCase,
    edUpperCase,
    edFloatSpinEdit,
    edTimeSpinEdit,
    edDateSpinEdit,
    edNumericEditBtn,
    edFloatEditBtn,
    edCustom,
    edRichEdit,
    edNone,
    edDateTimeEdit,
    edValidChars,
    edTrackbarDropDown,
    edMemoDropDown,
    edCalculatorDropDown,
    edTimePickerDropDown,
    edDetailDropDown,
    edGridDropDown,
    edColorPickerDropDown,
    edImagePickerDropDown,
    edExtGridDropDown,
    edPositiveFloat,
    edNumericUnitEditBtn,
    edFloatUnitEditBtn,
    edMaskEditBtn,
};

enum TCellBorder : uint8_t { cbTop, cbLeft, cbRight, cbBottom };
using TCellBorders = TSet<TCellBorder>;
enum TCellGradientDirection : uint8_t { GradientVertical, GradientHorizontal };
enum class TSortStyle : uint8_t {
    ssAutomatic,
    ssAlphabetic,
    ssNumeric,
    ssDate,
    ssAlphaNoCase,
    ssAlphaCase,
    ssShortDateEU,
    ssShortDateUS,
    ssCustom,
    ssFinancial,
    ssAnsiAlphaCase,
    ssAnsiAlphaNoCase,
    ssRaw,
    ssHTML,
    ssImages,
    ssCheckBox,
    ssDateTime,
    ssTime,
    ssAlphaNumeric,
    ssAlphaNumericNoCase,
};
enum TVAlignment : uint8_t { vtaTop, vtaCenter, vtaBottom };
enum TArrowDirection : uint8_t { arrUp, arrDown, arrLeft, arrRight };
enum TExtGridButtonStyle : uint8_t { tasButton, tasCheck };
enum TSearchDirection : uint8_t { sdTopBottom, sdLeftRight };
enum THomeEndAction : uint8_t { heFirstLastColumn, heFirstLastRow, heFirstLastCell };
enum TClipboardPasteAction : uint8_t { paReplace, paInsert };
enum TAdvanceDirection : uint8_t { adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol };
enum TInsertPosition : uint8_t { pInsertBefore, pInsertAfter };
enum TCursorAdvance : uint8_t { caDefault, caSnake, caLoop };
enum TGridFixedCellEdit : uint8_t { fceNone, fceDblClick, fceLeftClick, fceRightClick };
enum TGridFixedCellEditor : uint8_t { fceEdit, fceComboEdit, fceComboList };
enum TWheelAction : uint8_t { waMoveSelection, waScroll };

// ---------------------------------------------------------------------------
// Lists

// A list of 32-bit integers that belongs to a cell; Add, Delete and writing
// an entry fire OnChange(Sender, Acol, Arow), Insert and Clear do not.
class TIntList {
public:
    TIntList(int col, int row) : FCol(col), FRow(row) {}
    virtual ~TIntList() = default;

    int Count() const { return int(m_items.size()); }
    // Index errors raise Exception "List index out of bounds (n)".
    int32_t Items(int index) const;
    void SetItems(int index, int32_t value);
    void Add(int32_t value);
    void Insert(int index, int32_t value);
    void Delete(int index);
    void DeleteValue(int32_t value);
    bool HasValue(int32_t value) const;
    void Clear() { m_items.clear(); }
    // The entries as decimal numbers joined by ",".
    QString StrValue() const;
    // Reads a comma text; every item is checked before anything changes: a
    // item that is not an integer raises EConvertError and leaves the list
    // as it was. Then the list is cleared and each number added (one OnChange
    // per entry).
    void SetStrValue(const QString& s);
    int Col() const { return FCol; }
    int Row() const { return FRow; }

    std::function<void(TIntList* sender, int acol, int arow)> OnChange;

protected:
    void Changed();
    std::vector<int32_t> m_items;
    int FCol;
    int FRow;
};

// Sort order of several columns, most significant first: each entry is a
// column number in bits 0..30 with bit 31 set for descending order.
class TSortIndexList : public TIntList {
public:
    explicit TSortIndexList(int col = -1, int row = -1) : TIntList(col, row) {}
    void AddIndex(int columnIndex, bool ascending);
    int FindIndex(int columnIndex) const;
    void ToggleIndex(int columnIndex);
    int SortColumns(int i) const;
    int GetSortColumns(int i) const { return SortColumns(i); }
    void SetSortColumns(int i, int column);
    // true = ascending.
    bool SortDirections(int i) const;
    void SetSortDirections(int i, bool ascending);
    // "u" or "d" and the column number for each entry, joined by ";".
    QString SaveToString() const;
    // Reads what SaveToString wrote; items shorter than two characters are
    // skipped. A column that is not a number raises EConvertError before the
    // list is changed.
    void LoadFromString(const QString& s);
};

// One control placed in a grid cell.
struct TControlItem {
    int X = 0;
    int Y = 0;
    QPointer<QWidget> Control;
};

class TControlList {
public:
    void AddControl(int x, int y, QWidget* control);
    int ControlIndex(int x, int y) const;
    // Frees the list item, not the control.
    void RemoveControl(int i);
    bool HasHandle(const QWidget* window) const;
    // Index errors raise Exception "List index out of bounds (n)".
    const TControlItem& Control(int i) const;
    // The item itself, for a grid that moves its controls with their cells.
    TControlItem& Control(int i);
    const TControlItem& GetControl(int i) const { return Control(i); }
    int Count() const { return int(m_items.size()); }
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TControlItem>> m_items;
};

// A string list read and written line by line.
class TFileStringList {
public:
    QStringList Lines;
    // A byte-order mark selects UTF-8 or UTF-16, else the ANSI code page.
    void LoadFromFile(const QString& path);
    void Reset();
    bool Eof() const { return fp >= Lines.size(); }
    void ReadLn(QString& s);
    void Write(const QString& s) { cache += s; }
    void WriteLn(const QString& s);
    int fp = 0;
    QString cache;
};

// A picture kept by its file name.
class TFilePicture {
public:
    QString Filename() const { return FFilename; }
    // Stores the name and reads the picture's size; a picture that cannot be
    // loaded counts as empty (size 0 x 0, nothing drawn).
    void SetFilename(const QString& name);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void DrawPicture(TCanvas& canvas, const TRect& r) const;
    void Assign(const TFilePicture& src);

private:
    QString FFilename;
    int FWidth = 0;
    int FHeight = 0;
};
