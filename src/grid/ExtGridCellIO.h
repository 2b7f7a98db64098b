#pragma once
// The records of the grid's binary cell stream: each carries one piece of one
// cell (its position and text, a copy of its properties, a copy of its
// graphic, or the graphic's payload). They are plain classes that own what
// they carry: a copy of a record, and the objects it holds, never share
// anything with the cell they came from.
//
// For the stream's codec each record lists its properties in declaration
// order with their types (Properties) and reads and writes the plain ones by
// name (PropValue / SetPropValue); the nested cell properties and cell graphic
// are reached through their own accessors. Payloads travel as bytes: PNG for
// bitmaps and icons, a picture's own file bytes, a file picture's name.
//
// Nothing that points into a running program crosses a stream: the user's
// value (CellObject) and the hosted control (Control) of the copied cell
// properties are left unset when a cell is copied into a record and are kept
// as the target cell has them when a record is copied into a cell.
#include "controls/BaseGrid.h"
#include "controls/ExtObjTypes.h"
#include "grid/ExtGridGraphic.h"
#include "grid/ExtGridSettings.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

// Decodes picture bytes (any format Qt reads, or only `format`) into `out`;
// false when they are no picture or their pixels would need more memory
// than the readers' limit (GridIOLimits), so nothing large is allocated.
bool DecodePicture(const QByteArray& bytes, QImage& out, const char* format = nullptr);

enum class TStreamPropType {
    ptIndex,           // int32_t, a column or row index (0 or more)
    ptString,          // QString
    ptBoolean,         // bool
    ptCellProperties,  // nested TCellProperties
    ptCellGraphic,     // nested TCellGraphic
    ptBitmap,          // image, PNG bytes
    ptIcon,            // image, PNG bytes
    ptPicture,         // a picture file's own bytes
    ptFilePicture,     // a picture file's name
    ptStrings,         // QStringList
};

struct TStreamProp {
    QString Name;
    TStreamPropType Type;
    bool operator==(const TStreamProp&) const = default;
};

// What every record of the cell stream offers its codec.
class TGridStreamRecord {
public:
    explicit TGridStreamRecord(TBaseGrid* owner) : FOwner(owner) {}
    virtual ~TGridStreamRecord();

    TBaseGrid* Owner() const { return FOwner; }
    // The record's class name as the stream names it.
    virtual QString ClassName() const = 0;
    // The published properties, in declaration order.
    virtual std::vector<TStreamProp> Properties() const = 0;
    // The value of a plain property (ptIndex as int, ptString and
    // ptFilePicture as QString, ptBoolean as bool, ptBitmap, ptIcon and
    // ptPicture as QByteArray, ptStrings as QStringList); invalid for a
    // nested object or a name the record lacks.
    virtual QVariant PropValue(const QString& name) const = 0;
    // Sets a plain property; false when the record lacks it or the value
    // does not fit (a negative index, bytes that are no picture or a picture
    // too large to decode).
    virtual bool SetPropValue(const QString& name, const QVariant& value) = 0;
    // Back to a new record's values (the codec reads into a reset record).
    virtual void Reset() = 0;

protected:
    TGridStreamRecord(const TGridStreamRecord&) = default;
    TGridStreamRecord& operator=(const TGridStreamRecord&) = default;

private:
    TBaseGrid* FOwner;
};

// One cell: its column and row in the source grid, its raw text and whether
// a TGridCellPropIO follows. The position is a full index (the stream writes
// an integer in the bytes its value needs), so cells past 65535 keep their
// place.
class TGridCellIO : public TGridStreamRecord {
public:
    explicit TGridCellIO(TBaseGrid* owner = nullptr) : TGridStreamRecord(owner) {}
    TGridCellIO(const TGridCellIO&) = default;
    TGridCellIO& operator=(const TGridCellIO&) = default;

    int32_t Col() const { return FCol; }
    void SetCol(int32_t v) { FCol = v; }
    int32_t Row() const { return FRow; }
    void SetRow(int32_t v) { FRow = v; }
    QString Cell() const { return FCell; }
    void SetCell(const QString& v) { FCell = v; }
    bool HasProp() const { return FHasProp; }
    void SetHasProp(bool v) { FHasProp = v; }

    QString ClassName() const override { return QStringLiteral("TGridCellIO"); }
    std::vector<TStreamProp> Properties() const override;
    QVariant PropValue(const QString& name) const override;
    bool SetPropValue(const QString& name, const QVariant& value) override;
    void Reset() override;

private:
    int32_t FCol = 0;
    int32_t FRow = 0;
    QString FCell;
    bool FHasProp = false;
};

// A copy of a cell's properties (made for the owning grid at column 0, row
// 0) and whether a TGridGraphicIO follows.
class TGridCellPropIO : public TGridStreamRecord {
public:
    explicit TGridCellPropIO(TBaseGrid* owner = nullptr);
    ~TGridCellPropIO() override;
    TGridCellPropIO(const TGridCellPropIO& o);
    TGridCellPropIO& operator=(const TGridCellPropIO& o);

    TCellProperties& CellProperties() { return *FCellProperties; }
    const TCellProperties& CellProperties() const { return *FCellProperties; }
    // Copies a cell's properties in; the user's value and the hosted control
    // stay unset.
    void SetCellProperties(const TCellProperties& src);
    // Copies the record's properties into a cell's; the cell keeps its own
    // user's value and hosted control.
    void AssignTo(TCellProperties& target) const;
    bool HasGraphic() const { return FHasGraphic; }
    void SetHasGraphic(bool v) { FHasGraphic = v; }

    QString ClassName() const override { return QStringLiteral("TGridCellPropIO"); }
    std::vector<TStreamProp> Properties() const override;
    QVariant PropValue(const QString& name) const override;
    bool SetPropValue(const QString& name, const QVariant& value) override;
    void Reset() override;

private:
    std::unique_ptr<TCellProperties> FCellProperties;
    bool FHasGraphic = false;
};

// A copy of a cell's graphic: its kind and plain fields, and a colour held in
// a payload slot; never a payload object (that travels in its own record)
// nor CellVar.
class TGridGraphicIO : public TGridStreamRecord {
public:
    explicit TGridGraphicIO(TBaseGrid* owner = nullptr);
    ~TGridGraphicIO() override;
    TGridGraphicIO(const TGridGraphicIO& o);
    TGridGraphicIO& operator=(const TGridGraphicIO& o);

    TCellGraphic& CellGraphic() { return *FCellGraphic; }
    const TCellGraphic& CellGraphic() const { return *FCellGraphic; }
    void SetCellGraphic(const TCellGraphic& src);

    QString ClassName() const override { return QStringLiteral("TGridGraphicIO"); }
    std::vector<TStreamProp> Properties() const override;
    QVariant PropValue(const QString& name) const override;
    bool SetPropValue(const QString& name, const QVariant& value) override;
    void Reset() override;

private:
    std::unique_ptr<TCellGraphic> FCellGraphic;
};

// The bitmap of a ctBitmap or ctBitButton cell.
class TGridBMPIO : public TGridStreamRecord {
public:
    explicit TGridBMPIO(TBaseGrid* owner = nullptr) : TGridStreamRecord(owner) {}
    TGridBMPIO(const TGridBMPIO&) = default;
    TGridBMPIO& operator=(const TGridBMPIO&) = default;

    const QImage& Bitmap() const { return FBitmap; }
    void SetBitmap(const QImage& v) { FBitmap = v; }

    QString ClassName() const override { return QStringLiteral("TGridBMPIO"); }
    std::vector<TStreamProp> Properties() const override;
    QVariant PropValue(const QString& name) const override;
    bool SetPropValue(const QString& name, const QVariant& value) override;
    void Reset() override { FBitmap = QImage(); }

private:
    QImage FBitmap;
};

// The icon of a ctIcon cell.
class TGridIconIO : public TGridStreamRecord {
public:
    explicit TGridIconIO(TBaseGrid* owner = nullptr) : TGridStreamRecord(owner) {}
    TGridIconIO(const TGridIconIO&) = default;
    TGridIconIO& operator=(const TGridIconIO&) = default;

    const QImage& Icon() const { return FIcon; }
    void SetIcon(const QImage& v) { FIcon = v; }

    QString ClassName() const override { return QStringLiteral("TGridIconIO"); }
    std::vector<TStreamProp> Properties() const override;
    QVariant PropValue(const QString& name) const override;
    bool SetPropValue(const QString& name, const QVariant& value) override;
    void Reset() override { FIcon = QImage(); }

private:
    QImage FIcon;
};

// The picture of a ctPicture cell: the picture file's own bytes (the grid
// writes PNG; a JPEG or another format Qt reads is kept as it is).
class TGridPicIO : public TGridStreamRecord {
public:
    explicit TGridPicIO(TBaseGrid* owner = nullptr) : TGridStreamRecord(owner) {}
    TGridPicIO(const TGridPicIO&) = default;
    TGridPicIO& operator=(const TGridPicIO&) = default;

    const QByteArray& Picture() const { return FPicture; }
    void SetPicture(const QByteArray& v) { FPicture = v; }

    QString ClassName() const override { return QStringLiteral("TGridPicIO"); }
    std::vector<TStreamProp> Properties() const override;
    QVariant PropValue(const QString& name) const override;
    bool SetPropValue(const QString& name, const QVariant& value) override;
    void Reset() override { FPicture.clear(); }

private:
    QByteArray FPicture;
};

// The file picture of a ctFilePicture cell (carried by its file name).
class TGridFilePicIO : public TGridStreamRecord {
public:
    explicit TGridFilePicIO(TBaseGrid* owner = nullptr) : TGridStreamRecord(owner) {}
    TGridFilePicIO(const TGridFilePicIO&) = default;
    TGridFilePicIO& operator=(const TGridFilePicIO&) = default;

    TFilePicture& Picture() { return FPicture; }
    const TFilePicture& Picture() const { return FPicture; }
    void SetPicture(const TFilePicture& v) { FPicture.Assign(v); }

    QString ClassName() const override { return QStringLiteral("TGridFilePicIO"); }
    std::vector<TStreamProp> Properties() const override;
    QVariant PropValue(const QString& name) const override;
    bool SetPropValue(const QString& name, const QVariant& value) override;
    void Reset() override { FPicture = TFilePicture(); }

private:
    TFilePicture FPicture;
};

// The captions of a ctRadio cell, or the image indexes of a ctImages cell,
// one per line.
class TGridSLIO : public TGridStreamRecord {
public:
    explicit TGridSLIO(TBaseGrid* owner = nullptr) : TGridStreamRecord(owner) {}
    TGridSLIO(const TGridSLIO&) = default;
    TGridSLIO& operator=(const TGridSLIO&) = default;

    const QStringList& Strings() const { return FStrings; }
    void SetStrings(const QStringList& v) { FStrings = v; }
    // The image indexes of a ctImages cell, one line each.
    void SetImageIndexes(const QList<int>& indexes);
    // The lines read back as image indexes; false when a line is not a
    // number (the list then holds the ones before it).
    bool ImageIndexes(QList<int>& indexes) const;

    QString ClassName() const override { return QStringLiteral("TGridSLIO"); }
    std::vector<TStreamProp> Properties() const override;
    QVariant PropValue(const QString& name) const override;
    bool SetPropValue(const QString& name, const QVariant& value) override;
    void Reset() override { FStrings.clear(); }

private:
    QStringList FStrings;
};

// The head of a cell stream: the size of the stored rectangle, the widths of
// its columns and heights of its rows (decimal values joined by ","), whether
// it is the whole grid, and the ID of the grid that wrote it.
class TGridPropIO {
public:
    int32_t ColCount = 0;
    int32_t RowCount = 0;
    QString ColWidths;
    QString RowHeights;
    bool FullGrid = false;
    int32_t ID = 0;
};
