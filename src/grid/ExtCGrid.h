#pragma once
// The column grid: a string grid whose columns are described by column
// items (header, width, editor kind with its combo items and spin limits,
// check texts, colours, fonts, borders, print settings, sort format, filter
// entries, read-only and fixed flags). It keeps one item per column, hidden
// columns included (item index = real column), and answers the grid's
// per-cell questions from the item of the cell's column before the string
// grid's behaviour and the events run. Per-cell properties win over the
// item, the events have the last word.
#include "grid/ExtGrid.h"
#include "grid/ExtGridEditors.h"

#include <QDataStream>
#include <QMenu>
#include <QPointer>

class TExtColumnGrid;
class TGridColumnCollection;

enum class TColumnPopupType : uint8_t {
    cpFixedCellsRClick,
    cpFixedCellsLClick,
    cpNormalCellsRClick,
    cpNormalCellsLClick,
    cpAllCellsRClick,
    cpAllCellsLClick
};


class TGridColumnItem {
public:
    // collection: the collection the item joins (appended); nullptr makes a
    // free item with the platform's default fonts and colour.
    explicit TGridColumnItem(TGridColumnCollection* collection);
    TGridColumnItem(const TGridColumnItem&) = delete;
    TGridColumnItem& operator=(const TGridColumnItem&) = delete;
    virtual ~TGridColumnItem() = default;

    TGridColumnCollection* Collection() const { return FCollection; }
    TExtColumnGrid* Grid() const;
    // The position in the collection (-1 without one).
    int Index() const;

    // The grid's width of the column (its remembered width when hidden); 0
    // without a collection.
    int Width() const;
    void SetWidth(int v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    QString Header() const { return FColumnHeader; }
    // Written into row 0 (with fixed rows, not while a column moves); the
    // grid's ColumnHeaders list is rebuilt from all items.
    void SetHeader(const QString& v);
    const TCellFont& Font() const { return FFont; }
    void SetFont(const TCellFont& v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    bool ShowBands() const { return FShowBands; }
    void SetShowBands(bool v);
    bool Fixed() const { return FFixed; }
    void SetFixed(bool v);
    bool Password() const { return FPassword; }
    void SetPassword(bool v);
    TCellBorders Borders() const { return FBorders; }
    void SetBorders(TCellBorders v);
    const TCellPen& BorderPen() const { return FBorderPen; }
    void SetBorderPen(const TCellPen& v);
    const TCellPen& PrintBorderPen() const { return FPrintBorderPen; }
    void SetPrintBorderPen(const TCellPen& v) { FPrintBorderPen = v; }
    QStringList& ComboItems() { return FComboItems; }
    const QStringList& ComboItems() const { return FComboItems; }
    void SetComboItems(const QStringList& v) { FComboItems = v; }
    const QStringList& Filter() const { return FFilter; }
    void SetFilter(const QStringList& v);
    const TCellFont& PrintFont() const { return FPrintFont; }
    void SetPrintFont(const TCellFont& v) { FPrintFont = v; }
    const TCellFont& HeaderFont() const { return FHeaderFont; }
    void SetHeaderFont(const TCellFont& v);
    QString FloatFormat() const { return FFloatFormat; }
    void SetFloatFormat(const QString& v);
    TAlignment HeaderAlignment() const { return FHeaderAlignment; }
    void SetHeaderAlignment(TAlignment v);
    TEditorType Editor() const { return FEditorType; }
    // Repaints when a data check box column comes or goes.
    void SetEditor(TEditorType v);
    TEditLink* EditLink() const { return FEditLink.data(); }
    void SetEditLink(TEditLink* v) { FEditLink = v; }
    QMenu* ColumnPopup() const { return FColumnPopup.data(); }
    void SetColumnPopup(QMenu* v) { FColumnPopup = v; }

    KR_FIELD_PROP(TSortStyle, SortStyle, TSortStyle::ssAutomatic)
    KR_FIELD_PROP(QString, SortPrefix, QString())
    KR_FIELD_PROP(QString, SortSuffix, QString())
    KR_FIELD_PROP(QString, EditMask, QString())
    KR_FIELD_PROP(int, EditLength, 0)
    KR_FIELD_PROP(bool, ReadOnly, false)
    KR_FIELD_PROP(int, DropDownCount, 8)
    KR_FIELD_PROP(int, SpinMin, 0)
    KR_FIELD_PROP(int, SpinMax, 0)
    KR_FIELD_PROP(int, SpinStep, 1)
    KR_FIELD_PROP(TColor, PrintColor, clWhite)
    KR_FIELD_PROP(TCellBorders, PrintBorders, (TCellBorders{cbTop, cbLeft, cbRight, cbBottom}))
    KR_FIELD_PROP(int, Tag, 0)
    KR_FIELD_PROP(int, DefIdx, 0)
    KR_FIELD_PROP(QString, Name, QString())
    KR_FIELD_PROP(QString, CheckFalse, QStringLiteral("N"))
    KR_FIELD_PROP(QString, CheckTrue, QStringLiteral("Y"))
    KR_FIELD_PROP(int, MaxSize, 0)
    KR_FIELD_PROP(int, MinSize, 0)
    KR_FIELD_PROP(int, AutoMinSize, 0)
    KR_FIELD_PROP(int, AutoMaxSize, 0)
    KR_FIELD_PROP(TColumnPopupType, ColumnPopupType, TColumnPopupType::cpFixedCellsRClick)
    KR_FIELD_PROP(bool, FilterCaseSensitive, false)
    KR_FIELD_PROP(bool, PrintBorderCustom, true)
    KR_FIELD_PROP(bool, PrintFontCustom, true)

public:
    // Copies every setting into the fields (nothing reaches the grid); not
    // ColumnPopupType, PrintBorderCustom or PrintFontCustom. The width is the
    // grid's current width of the source column.
    virtual void Assign(const TGridColumnItem& src);
    // As Assign, but colour and font are the owning grid's and the combo
    // items, drop-down count, header font, header, name and tag stay.
    void AssignVisuals(const TGridColumnItem& src);
    virtual QString GetDisplayName() const;

    // The column's cells by display row.
    QString Rows(int r) const;
    void SetRows(int r, const QString& v);
    int Ints(int r) const;
    void SetInts(int r, int v);
    double Floats(int r) const;
    void SetFloats(int r, double v);
    QDateTime Dates(int r) const;
    void SetDates(int r, const QDateTime& v);
    QTime Times(int r) const;
    void SetTimes(int r, const QTime& v);

    // The published settings as a byte stream (and back).
    void WriteTo(QDataStream& s) const;
    void ReadFrom(QDataStream& s);

private:
    friend class TGridColumnCollection;
    friend class TExtColumnGrid;
    void Changed();
    void GridRepaint();
    void CopyFrom(const TGridColumnItem& src, bool visualsOnly);

    TGridColumnCollection* FCollection;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    QString FColumnHeader;
    QPointer<TEditLink> FEditLink;
    TCellFont FFont;
    TColor FColor = clWindow;
    TEditorType FEditorType = edNormal;
    bool FFixed = false;
    QStringList FComboItems;
    bool FPassword = false;
    TCellFont FPrintFont;
    TCellBorders FBorders;
    TCellPen FBorderPen{clSilver, 1, TPenStyle::Solid};
    TCellPen FPrintBorderPen{clBlack, 1, TPenStyle::Solid};
    bool FShowBands = false;
    QStringList FFilter;
    QPointer<QMenu> FColumnPopup;
    QString FFloatFormat;
    TAlignment FHeaderAlignment = taLeftJustify;
    TCellFont FHeaderFont;
};

class TGridColumnCollection {
public:
    explicit TGridColumnCollection(TExtColumnGrid* owner) : FOwner(owner) {}
    TGridColumnCollection(const TGridColumnCollection&) = delete;
    TGridColumnCollection& operator=(const TGridColumnCollection&) = delete;
    virtual ~TGridColumnCollection();

    TExtColumnGrid* Owner() const { return FOwner; }
    int Count() const { return int(FItems.size()); }
    TGridColumnItem& Items(int i) const;
    // Index errors raise Exception "List index out of bounds (n)".
    TGridColumnItem* operator[](int i) const { return &Items(i); }
    // Appends an item that looks like its left neighbour.
    TGridColumnItem& Add();
    // A new item at index, with default settings.
    TGridColumnItem& Insert(int index);
    void Delete(int index);
    void Clear();
    // Copies the items of another collection (one item each, Assign).
    void Assign(const TGridColumnCollection& src);
    int IndexOf(const TGridColumnItem* item) const;
    // Moves an item to another index.
    void Move(int from, int to);

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // An item changed (nullptr: the list itself): the grid follows, unless
    // updates are held.
    virtual void Update(TGridColumnItem* item);
    // Every item's DefIdx := its index (after the grid brings the item count
    // in step).
    void SetOrganization();
    // Moves the columns until every item stands at its DefIdx.
    void ResetOrganization();

    // Suppresses the grid update of Update.
    bool FNoRecursiveUpdate = false;

private:
    friend class TGridColumnItem;
    void Attach(TGridColumnItem* item, int at);
    TExtColumnGrid* FOwner;
    std::vector<std::unique_ptr<TGridColumnItem>> FItems;
    int FUpdateCount = 0;
};

using TColumnPopupEvent = std::function<void(TExtColumnGrid* sender, int acol, int arow, QMenu* menu)>;
using TAfterColumnMovedEvent = std::function<void(TExtColumnGrid* sender, int fromIndex, int toIndex)>;

// Version of the column grid: 3.1.3.1.
constexpr int32_t ExtColumnGridVersionNr = 0x03010301;

class TExtColumnGrid : public TExtStringGrid {
public:
    explicit TExtColumnGrid(QWidget* ownerForm = nullptr, bool designing = false);
    ~TExtColumnGrid() override;

    void Loaded() override;
    void SetColCount(int n) override;
    // Inserting and removing columns moves the column items along.
    void InsertCols(int c, int count) override;
    void RemoveCols(int c, int count) override;
    TGridColumnCollection& Columns() { return *FColumnCollection; }
    void SetColumns(const TGridColumnCollection& v) { FColumnCollection->Assign(v); }
    // The first item of that name (exact case), nullptr when none.
    TGridColumnItem* ColumnByName(const QString& name) const;
    bool AutoFilterDisplay() const { return FAutoFilterDisplay; }
    void SetAutoFilterDisplay(bool v) { FAutoFilterDisplay = v; }
    bool ColMoving() const { return FColMoving; }

    // The items as a byte stream of their settings; reading replaces the
    // items by the ones read. A stream that is not one raises Exception
    // "Invalid column stream".
    void SaveColumnsToStream(QIODevice& st);
    void LoadColumnsFromStream(QIODevice& st);
    // Column positions in an INI file: "CP" + item index = its DefIdx.
    void SaveColumnPositions(const QString& key, const QString& section);
    void LoadColumnPositions(const QString& key, const QString& section);
    // In the INI store, the "CP" keys of SaveColumnPositions; in the
    // registry store, the string grid's "Pos" keys.
    void SaveColPositions() override;
    void LoadColPositions() override;

    // Brings the item count to ColCount + hidden columns.
    void SyncColumnItems();
    void UpdateColumnHeaders();
    int32_t GetVersionNr() const override { return ExtColumnGridVersionNr; }
    QString GetVersionString() const override;
    void ChangeScale(int m, int d) override;

    // The per-cell hooks, answered from the column items first.
    void GetCellDefaults(int c, int r, TCellLook& look) override;
    QString GetFormattedCell(int c, int r) override;
    void GetCellFloatFormat(int c, int r, QString& format) override;
    TCellType GetCellType(int c, int r) override;
    TCellGraphic* GetCellGraphic(int c, int r) override;
    void UpdateColumnSize(int c, int& width) override;
    void UpdateAutoColumnSize(int c, int& width) override;
    void ColumnHeadersChanged() override;
    void GetCellColor(int c, int r, TGridDrawState state, TCellBrush& brush, TCellFont& font) override;
    void GetCellPrintColor(int c, int r, TGridDrawState state, TCellBrush& brush, TCellFont& font) override;
    void GetCellBorder(int c, int r, TCellPen& pen, TCellBorders& borders) override;
    void GetCellPrintBorder(int c, int r, TCellPen& pen, TCellBorders& borders) override;
    void QueryAlignment(int c, int r, TAlignment& ha, TVAlignment& va) override;
    void GetColFormat(int c, TSortStyle& style, QString& prefix, QString& suffix) override;
    void GetCellEditor(int c, int r, TEditorType& editor) override;
    void QueryFixedCell(int c, int r, bool& isFixed) override;
    void QueryCanEdit(int c, int r, bool& canEdit) override;
    void QueryPasswordCell(int c, int r, bool& isPassword) override;
    bool HasCombo(int c, int r) override;
    void GetCheckTrue(int c, int r, QString& value) override;
    void GetCheckFalse(int c, int r, QString& value) override;
    bool GetColumnFilter(int c) override;
    // A filter entry was chosen: the line of the column item's Filter
    // becomes the column's condition (with the item's case rule).
    void FilterListSelect(int itemIndex) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

    // The editor settings of the last GetCellEditor (combo items, spin
    // limits, edit link) for the editor that is about to open.
    const QStringList& EditComboItems() const { return FEditComboItems; }
    int EditDropDownCount() const { return FEditDropDownCount; }
    int EditSpinMin() const { return FEditSpinMin; }
    int EditSpinMax() const { return FEditSpinMax; }
    void SpinEditorLimits(TGridSpin& spin) override;
    int EditSpinStep() const { return FEditSpinStep; }
    TEditLink* CurrentEditLink() const { return FEditLink.data(); }

    TColumnPopupEvent OnColumnPopup;
    TAfterColumnMovedEvent OnAfterColumnMoved;

protected:
    virtual std::unique_ptr<TGridColumnCollection> CreateColumns();
    void ColumnMoved(int from, int to) override;
    void ColWidthsChanged() override;
    int GetEditLimit() override;
    QString GetEditMask(int c, int r) override;

private:
    // The item of a real column, nullptr without one.
    TGridColumnItem* ItemOf(int c) const;
    bool IsNormalCell(int c, int r) const;
    bool IsInnerCell(int c, int r) const;

    std::unique_ptr<TGridColumnCollection> FColumnCollection;
    std::unique_ptr<TGridColumnItem> FSaveCol;
    std::unique_ptr<TCellGraphic> FVirtCheckGraphic;
    bool FColMoving = false;
    bool FAutoFilterDisplay = false;
    QStringList FEditComboItems;
    int FEditDropDownCount = 8;
    int FEditSpinMin = 0;
    int FEditSpinMax = 0;
    int FEditSpinStep = 1;
    QPointer<TEditLink> FEditLink;
};

// The carrier of a column grid's items in a column stream.
class TExtColumnGridIO {
public:
    explicit TExtColumnGridIO(TExtColumnGrid* owner) : FItems(owner) { FItems.FNoRecursiveUpdate = true; }
    TGridColumnCollection& Items() { return FItems; }
    void WriteTo(QDataStream& s) const;
    void ReadFrom(QDataStream& s);

private:
    TGridColumnCollection FItems;
};
