#pragma once
#include "controls/ExtXPVS.h"
// Companions of the string grid: the shared enumerations, the small lists,
// the settings objects the grid publishes (search bar, navigation, mouse,
// synchronisation, bands, focus helper), the search bar's button and check
// box, the indicator windows, the alpha mask with its shadow and blur
// routines, and TObjStringGrid, the platform grid the grid base stands on.
#include "controls/ExtObjTypes.h"
#include "platform/Graphics.h"
#include "platform/Grids.h"

#include <QFont>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QPolygon>
#include <QString>
#include <QStringList>
#include <QWidget>

class QShortcut;
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>



// A settings property: a field with a getter Name() and a plain setter
// SetName(v) that only stores.
#define KR_FIELD_PROP(type, name, def)         \
public:                                        \
    type name() const { return F##name; }      \
    void Set##name(type v) { F##name = v; }    \
                                               \
private:                                       \
    type F##name = def;

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

// ---------------------------------------------------------------------------
// Settings objects

using TNotifyEvent = std::function<void(void* sender)>;

class TSearchFooter {
public:
    // With initDesign the captions and hints take their English texts.
    explicit TSearchFooter(bool initDesign = false);

    bool AlwaysHighLight() const { return FAlwaysHighLight; }
    void SetAlwaysHighLight(bool v) { FAlwaysHighLight = v; }
    bool AutoSearch() const { return FAutoSearch; }
    void SetAutoSearch(bool v) { FAutoSearch = v; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);
    QString FindNextCaption() const { return FFindNextCaption; }
    void SetFindNextCaption(const QString& v);
    QString FindPrevCaption() const { return FFindPrevCaption; }
    void SetFindPrevCaption(const QString& v);
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& v);
    QString HighLightCaption() const { return FHighLightCaption; }
    void SetHighLightCaption(const QString& v);
    QString HintClose() const { return FHintClose; }
    void SetHintClose(const QString& v);
    QString HintFindNext() const { return FHintFindNext; }
    void SetHintFindNext(const QString& v);
    QString HintFindPrev() const { return FHintFindPrev; }
    void SetHintFindPrev(const QString& v);
    QString HintHighlight() const { return FHintHighlight; }
    void SetHintHighlight(const QString& v);
    QString MatchCaseCaption() const { return FMatchCaseCaption; }
    void SetMatchCaseCaption(const QString& v);
    bool SearchActiveColumnOnly() const { return FSearchActiveColumnOnly; }
    void SetSearchActiveColumnOnly(bool v) { FSearchActiveColumnOnly = v; }
    int SearchColumn() const { return FSearchColumn; }
    void SetSearchColumn(int v) { FSearchColumn = v; }
    bool SearchMatchStart() const { return FSearchMatchStart; }
    void SetSearchMatchStart(bool v) { FSearchMatchStart = v; }
    bool SearchFixedCells() const { return FSearchFixedCells; }
    void SetSearchFixedCells(bool v) { FSearchFixedCells = v; }
    bool SearchHiddenRows() const { return FSearchHiddenRows; }
    void SetSearchHiddenRows(bool v) { FSearchHiddenRows = v; }
    TSearchDirection SearchDirection() const { return FSearchDirection; }
    void SetSearchDirection(TSearchDirection v) { FSearchDirection = v; }
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool v);
    bool ShowFindNext() const { return FShowFindNext; }
    void SetShowFindNext(bool v);
    bool ShowFindPrev() const { return FShowFindPrev; }
    void SetShowFindPrev(bool v);
    bool ShowHighLight() const { return FShowHighLight; }
    void SetShowHighLight(bool v);
    bool ShowMatchCase() const { return FShowMatchCase; }
    void SetShowMatchCase(bool v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    QString LastSearch;

    void Assign(const TSearchFooter& src);

    std::function<void(TSearchFooter* sender)> OnChange;

private:
    void Changed();
    void SetFlag(bool& field, bool v);
    void SetText(QString& field, const QString& v);
    bool FAlwaysHighLight = false;
    bool FAutoSearch = true;
    TColor FColor = 0xFFFFFF;
    TColor FColorTo = clBtnFace;
    QString FFindNextCaption;
    QString FFindPrevCaption;
    QFont FFont;
    QString FHighLightCaption;
    QString FHintClose;
    QString FHintFindNext;
    QString FHintFindPrev;
    QString FHintHighlight;
    QString FMatchCaseCaption;
    bool FSearchActiveColumnOnly = false;
    int FSearchColumn = -1;
    bool FSearchMatchStart = false;
    bool FSearchFixedCells = false;
    bool FSearchHiddenRows = false;
    TSearchDirection FSearchDirection = sdTopBottom;
    bool FShowClose = true;
    bool FShowFindNext = true;
    bool FShowFindPrev = true;
    bool FShowHighLight = true;
    bool FShowMatchCase = true;
    bool FVisible = false;
    bool FAutoThemeAdapt = false;
};

class TNavigation {
    KR_FIELD_PROP(bool, AdvanceOnEnterLoop, true)
    KR_FIELD_PROP(bool, AdvanceAutoEdit, true)
    KR_FIELD_PROP(bool, AdvanceSkipReadOnlyCells, true)
    KR_FIELD_PROP(bool, AllowCtrlEnter, true)
    KR_FIELD_PROP(bool, AllowClipboardRowGrow, true)
    KR_FIELD_PROP(bool, AllowClipboardColGrow, true)
    KR_FIELD_PROP(bool, EditSelectAll, true)
    KR_FIELD_PROP(bool, ComboGetUpDown, true)
    KR_FIELD_PROP(bool, CursorWalkAlwaysEdit, true)
    KR_FIELD_PROP(bool, LeftRightRowSelect, true)
    KR_FIELD_PROP(bool, CopyHTMLTagsToClipboard, true)
    KR_FIELD_PROP(bool, SkipFixedCells, true)
    KR_FIELD_PROP(bool, SkipDisabledRows, true)
    KR_FIELD_PROP(bool, AllowInsertRow, false)
    KR_FIELD_PROP(bool, AllowDeleteRow, false)
    KR_FIELD_PROP(bool, AlwaysEdit, false)
    KR_FIELD_PROP(bool, AdvanceOnEnter, false)
    KR_FIELD_PROP(bool, AutoGotoWhenSorted, false)
    KR_FIELD_PROP(bool, AutoGotoIncremental, false)
    KR_FIELD_PROP(bool, AutoComboDropSize, false)
    KR_FIELD_PROP(bool, AllowClipboardShortCuts, false)
    KR_FIELD_PROP(bool, AllowSmartClipboard, false)
    KR_FIELD_PROP(bool, AllowRTFClipboard, false)
    KR_FIELD_PROP(bool, AllowFmtClipboard, false)
    KR_FIELD_PROP(bool, AllowClipboardAlways, false)
    KR_FIELD_PROP(bool, AppendOnArrowDown, false)
    KR_FIELD_PROP(bool, CursorWalkEditor, false)
    KR_FIELD_PROP(bool, CursorMoveRows, false)
    KR_FIELD_PROP(bool, MoveRowOnSort, false)
    KR_FIELD_PROP(bool, KeepScrollOnSort, false)
    KR_FIELD_PROP(bool, MoveScrollOnly, false)
    KR_FIELD_PROP(bool, ImproveMaskSel, false)
    KR_FIELD_PROP(bool, KeepHorizScroll, false)
    KR_FIELD_PROP(bool, LineFeedOnEnter, false)
    KR_FIELD_PROP(bool, TabToNextAtEnd, false)
    KR_FIELD_PROP(TAdvanceDirection, TabAdvanceDirection, adLeftRight)
    KR_FIELD_PROP(TInsertPosition, InsertPosition, pInsertBefore)
    KR_FIELD_PROP(TClipboardPasteAction, ClipboardPasteAction, paReplace)
    KR_FIELD_PROP(TCursorAdvance, CursorAdvance, caDefault)
    KR_FIELD_PROP(THomeEndAction, HomeEndKey, heFirstLastColumn)

public:
    // Fire OnChange when the value changes.
    TAdvanceDirection AdvanceDirection() const { return FAdvanceDirection; }
    void SetAdvanceDirection(TAdvanceDirection v);
    bool AdvanceInsert() const { return FAdvanceInsert; }
    void SetAdvanceInsert(bool v);
    // Switching it on also switches AdvanceOnEnter on.
    bool AdvanceAuto() const { return FAdvanceAuto; }
    void SetAdvanceAuto(bool v);

    void Assign(const TNavigation& src);
    std::function<void(TNavigation* sender)> OnChange;

private:
    TAdvanceDirection FAdvanceDirection = adLeftRight;
    bool FAdvanceInsert = false;
    bool FAdvanceAuto = false;
};

class TMouseActions {
    KR_FIELD_PROP(bool, AutoSizeColOnDblClick, true)
    KR_FIELD_PROP(bool, PreciseNodeClick, true)
    KR_FIELD_PROP(bool, AllColumnSize, false)
    KR_FIELD_PROP(bool, AllRowSize, false)
    KR_FIELD_PROP(bool, AllSelect, false)
    KR_FIELD_PROP(bool, CaretPositioning, false)
    KR_FIELD_PROP(bool, CheckAllCheck, false)
    KR_FIELD_PROP(bool, ColSelect, false)
    KR_FIELD_PROP(bool, DirectComboClose, false)
    KR_FIELD_PROP(bool, DirectComboDrop, false)
    KR_FIELD_PROP(bool, DirectDateClose, false)
    KR_FIELD_PROP(bool, DirectDateDrop, false)
    KR_FIELD_PROP(bool, DirectEdit, false)
    KR_FIELD_PROP(bool, DisjunctRowSelectNoCtrl, false)
    KR_FIELD_PROP(bool, MoveRowOnNodeClick, false)
    KR_FIELD_PROP(bool, NoAutoRangeScroll, false)
    KR_FIELD_PROP(bool, NodeAllExpandContract, false)
    KR_FIELD_PROP(bool, NoScrollOnPartialRow, false)
    KR_FIELD_PROP(bool, PreciseCheckBoxCheck, false)
    KR_FIELD_PROP(bool, RangeSelectAndEdit, false)
    KR_FIELD_PROP(bool, RowSelect, false)
    KR_FIELD_PROP(bool, RowSelectPersistent, false)
    KR_FIELD_PROP(bool, SelectOnRightClick, false)
    KR_FIELD_PROP(bool, SizeFixedCol, false)
    KR_FIELD_PROP(bool, SizeFixedRow, false)
    KR_FIELD_PROP(TGridFixedCellEdit, FixedRowsEdit, fceNone)
    KR_FIELD_PROP(TGridFixedCellEdit, FixedColsEdit, fceNone)
    KR_FIELD_PROP(TGridFixedCellEditor, FixedRowsEditor, fceEdit)
    KR_FIELD_PROP(TGridFixedCellEditor, FixedColsEditor, fceEdit)
    KR_FIELD_PROP(int, WheelIncrement, 0)

public:
    TWheelAction WheelAction() const { return FWheelAction; }
    void SetWheelAction(TWheelAction v);
    // On: also sets DisjunctRowSelect and CheckAllCheck; then OnInvalidate.
    bool HotmailRowSelect() const { return FHotmailRowSelect; }
    void SetHotmailRowSelect(bool v);
    // On: fires OnDisableEdit.
    bool EditOnDblClickOnly() const { return FEditOnDblClickOnly; }
    void SetEditOnDblClickOnly(bool v);
    // Switching one of the three on clears the other two only while the grid
    // is being designed (OnIsDesigning).
    bool DisjunctRowSelect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelect(bool v);
    bool DisjunctColSelect() const { return FDisjunctColSelect; }
    void SetDisjunctColSelect(bool v);
    bool DisjunctCellSelect() const { return FDisjunctCellSelect; }
    void SetDisjunctCellSelect(bool v);
    bool DisjunctRowSelectDirect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelectDirect(bool v) { FDisjunctRowSelect = v; }
    const QStringList& FixedComboValues() const { return FFixedComboValues; }
    void SetFixedComboValues(const QStringList& v) { FFixedComboValues = v; }

    void Assign(const TMouseActions& src);

    std::function<void(TMouseActions* sender)> OnChange;
    std::function<void(TMouseActions* sender)> OnInvalidate;
    std::function<void(TMouseActions* sender)> OnDisableEdit;
    std::function<void(TMouseActions* sender, bool& isDesigning)> OnIsDesigning;

private:
    bool Designing();
    TWheelAction FWheelAction = waMoveSelection;
    bool FHotmailRowSelect = false;
    bool FEditOnDblClickOnly = false;
    bool FDisjunctRowSelect = false;
    bool FDisjunctColSelect = false;
    bool FDisjunctCellSelect = false;
    QStringList FFixedComboValues;
};

class TSyncGrid {
    KR_FIELD_PROP(bool, ScrollHorizontal, false)
    KR_FIELD_PROP(bool, ScrollVertical, false)
    KR_FIELD_PROP(bool, SelectionRow, false)
    KR_FIELD_PROP(bool, SelectionColumn, false)
    KR_FIELD_PROP(bool, MoveRow, false)
    KR_FIELD_PROP(bool, MoveColumn, false)

public:
    explicit TSyncGrid(TStringGrid* owner) : FOwner(owner) {}
    TStringGrid* Grid() const { return FGrid; }
    // The owning grid itself is refused.
    void SetGrid(TStringGrid* g);
    TStringGrid* Owner() const { return FOwner; }
    void Assign(const TSyncGrid& src);

private:
    TStringGrid* FOwner;
    TStringGrid* FGrid = nullptr;
};

class TBands {
public:
    bool Active() const { return FActive; }
    void SetActive(bool v);
    TColor PrimaryColor() const { return FPrimaryColor; }
    void SetPrimaryColor(TColor v);
    int PrimaryLength() const { return FPrimaryLength; }
    void SetPrimaryLength(int v);
    TColor SecondaryColor() const { return FSecondaryColor; }
    void SetSecondaryColor(TColor v);
    int SecondaryLength() const { return FSecondaryLength; }
    void SetSecondaryLength(int v);
    bool Print() const { return FPrint; }
    void SetPrint(bool v) { FPrint = v; }
    int TotalLength() const { return FTotalLength; }
    void Assign(const TBands& src);
    std::function<void(TBands* sender)> OnChange;

private:
    void Changed();
    bool FPrint = false;
    bool FActive = false;
    int FTotalLength = 2;
    int FSecondaryLength = 1;
    int FPrimaryLength = 1;
    TColor FSecondaryColor = clWindow;
    TColor FPrimaryColor = clInfoBk;
};

class TFocusHelper {
    KR_FIELD_PROP(bool, Enabled, false)
public:
    void Assign(const TFocusHelper& src) { FEnabled = src.FEnabled; }
};

// ---------------------------------------------------------------------------
// Platform tests and a stepped gradient

// IsWinXPOrLater: controls/ExtXPVS.h.
// Visual styles are in use with common controls of version 6: the button
// and the check box then draw themed, otherwise in their classic look.
bool IsThemedComCtl6();
// The colour scheme of the current visual style: "NormalColor" 1,
// "HomeStead" 2, "Metallic" 3, anything else (or no style) 0.
int GetXPColorScheme();
// Fills r in `steps` bands from `from` to `to` (steps 0 is taken as 1), then
// frames it unless borderColor is clNone.
void FillGradientSteps(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& r, int steps,
                       TColor borderColor);

// ---------------------------------------------------------------------------
// Search-bar controls

// TButtonLayout: platform/Graphics.h.
enum TButtonState : uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };

// A flat, styled speed button; a grouped one stays down until another of its
// group is pressed, a check-style one toggles.
class TExtGridButton : public QWidget {
    Q_OBJECT
public:
    explicit TExtGridButton(QWidget* parent = nullptr);
    ~TExtGridButton() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool Down() const { return FDown; }
    // Accepted only for grouped or check-style buttons.
    void SetDown(bool v);
    TExtGridButtonStyle Style() const { return FStyle; }
    void SetStyle(TExtGridButtonStyle v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool Rounded() const { return FRounded; }
    void SetRounded(bool v);
    bool Shaded() const { return FShaded; }
    void SetShaded(bool v);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool v);
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool v);
    QMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(QMenu* m) { FDropDownMenu = m; }
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    bool AutoXPStyle() const { return FAutoXPStyle; }
    void SetAutoXPStyle(bool v) { FAutoXPStyle = v; }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout v);
    int Margin() const { return FMargin; }
    // Values below -1 are refused.
    void SetMargin(int v);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { SetCol(FColor, v); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { SetCol(FColorTo, v); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor v) { SetCol(FColorHot, v); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor v) { SetCol(FColorHotTo, v); }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor v) { SetCol(FColorDown, v); }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor v) { SetCol(FColorDownTo, v); }
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor v) { SetCol(FColorChecked, v); }
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor v) { SetCol(FColorCheckedTo, v); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { SetCol(FBorderColor, v); }
    TColor BorderDownColor() const { return FBorderDownColor; }
    void SetBorderDownColor(TColor v) { SetCol(FBorderDownColor, v); }
    TColor BorderHotColor() const { return FBorderHotColor; }
    void SetBorderHotColor(TColor v) { SetCol(FBorderHotColor, v); }
    int Look() const { return FLook; }
    // Sets the colours of one of the looks 0..6 as a group.
    void SetLook(int v);

    // Glyphs: writing Glyph also makes the disabled glyph when none was set.
    const QImage& Glyph() const { return FGlyph; }
    void SetGlyph(const QImage& g);
    const QImage& GlyphHot() const { return FGlyphHot; }
    void SetGlyphHot(const QImage& g);
    const QImage& GlyphDown() const { return FGlyphDown; }
    void SetGlyphDown(const QImage& g);
    const QImage& GlyphDisabled() const { return FGlyphDisabled; }
    void SetGlyphDisabled(const QImage& g);
    const QImage& GlyphShade() const { return FGlyphShade; }

    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    // Fires OnClick.
    virtual void Click();

    std::function<void(TExtGridButton* sender)> OnClick;
    std::function<void(TExtGridButton* sender)> OnDblClick;
    std::function<void(TExtGridButton* sender)> OnMouseEnter;
    std::function<void(TExtGridButton* sender)> OnMouseLeave;
    std::function<void(TExtGridButton* sender)> OnDropDown;

    // The glyph and caption positions inside the client area (for tests and
    // painting), with the caption's size measured in the button's font.
    void CalcLayout(QPoint& glyphPos, QRect& captionRect) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void SetCol(TColor& field, TColor v);
    void UpdateAccelerator();
    void UpdateExclusive();
    void BuildShade();
    void SyncState();
    const QImage& CurrentGlyph() const;

    int FGroupIndex = 0;
    QImage FGlyph;
    bool FDown = false;
    bool FDragging = false;
    bool FAllowAllUp = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
    int FMargin = -1;
    bool FFlat = true;
    bool FMouseInControl = false;
    TColor FColor = clBtnFace;
    TColor FColorTo = clNone;
    TColor FColorHot = 0xCAC7C7;
    TColor FColorHotTo = clNone;
    TColor FColorDown = 0xD8D3D2;
    TColor FColorDownTo = clNone;
    TColor FBorderColor = clNone;
    TColor FBorderDownColor = clNone;
    TColor FBorderHotColor = clNone;
    QImage FGlyphDisabled;
    QImage FGlyphHot;
    QImage FGlyphDown;
    QImage FGlyphShade;
    bool FShaded = true;
    TColor FColorChecked = 0x808080;
    TColor FColorCheckedTo = clNone;
    TExtGridButtonStyle FStyle = tasButton;
    int FLook = 0;
    bool FRounded = false;
    bool FDropDownButton = false;
    bool FAutoThemeAdapt = false;
    bool FAutoXPStyle = false;
    QPointer<QMenu> FDropDownMenu;
    bool FShowCaption = true;
    TButtonState FState = bsUp;
    QString FCaption;
    QShortcut* m_accel = nullptr;
};

enum TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };
enum TLeftRight : uint8_t { taLeftJustifyBox, taRightJustifyBox };
enum TButtonVertAlign : uint8_t { tvaTop, tvaCenter, tvaBottom };

// The owner-drawn check box of the search bar.
class TExtCheckBox : public QWidget {
    Q_OBJECT
public:
    explicit TExtCheckBox(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight v);
    TButtonVertAlign ButtonVertAlign() const { return FBtnVAlign; }
    void SetButtonVertAlign(TButtonVertAlign v);
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    // Takes the focus with Tab (and from its accelerator).
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool v) { setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus); }
    bool Down() const { return FDown; }
    bool Hot() const { return FHot; }
    TColor Color = clBtnFace;

    // Flips Checked unless ReadOnly (a grayed box becomes checked).
    virtual void Toggle();
    // Fires OnClick.
    virtual void Click();
    // Where the box is drawn.
    QRect BoxRect() const;

    std::function<void(TExtCheckBox* sender)> OnClick;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    bool FDown = false;
    TCheckBoxState FState = cbUnchecked;
    bool FFocused = false;
    bool FReturnIsTab = false;
    TButtonVertAlign FBtnVAlign = tvaTop;
    TLeftRight FAlignment = taLeftJustifyBox;
    bool FEllipsis = false;
    QString FCaption = QStringLiteral("TExtCheckBox");
    bool FHot = false;
    bool FReadOnly = false;
    bool FMouseDown = false;
    bool FTransparent = false;
    QShortcut* m_accel = nullptr;
};

// ---------------------------------------------------------------------------
// Indicator windows: overlays on the grid's viewport (child widgets), so they
// work also where a program cannot place top-level windows.

class TArrowWindow : public QWidget {
    Q_OBJECT
public:
    explicit TArrowWindow(QWidget* parent = nullptr);
    // Stores the direction, colours the window $00FF00, puts it on the owner
    // and hides it. Its shape is the arrow outline.
    void Init(QWidget* owner, TArrowDirection dir);
    TArrowDirection Dir() const { return m_dir; }
    const QPolygon& Arrow() const { return m_arrow; }
    TColor Color = 0x00FF00;
    static QPolygon Outline(TArrowDirection dir);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TArrowDirection m_dir = arrUp;
    QPolygon m_arrow;
};

// The focus indicator: a red, mouse-transparent overlay, 0 x 0 at creation.
class TGridFocusWindow : public QWidget {
    Q_OBJECT
public:
    explicit TGridFocusWindow(QWidget* owner = nullptr);
    TColor Color = clRed;

protected:
    void paintEvent(QPaintEvent* e) override;
};

// ---------------------------------------------------------------------------
// Images

// A 32-bit image with an opacity.
class TGridAlphaMask {
public:
    TGridAlphaMask();
    uint8_t Opacity() const { return FOpacity; }
    void SetOpacity(uint8_t v) { FOpacity = v; }
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }
    void SetSize(int w, int h);
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    // From another mask: the opacity and the pixels, into the current size.
    void Assign(const TGridAlphaMask& src);
    // From any other picture: its copy, made 32-bit.
    void Assign(const QImage& src);
    // For a 24-bit bitmap only: the mask takes its size; alpha := the
    // mask's red channel and each colour channel premultiplied by it.
    // The colour is not used.
    void MergeMask(const QImage& mask, const QImage& bitmap, TColor color = clNone);

private:
    uint8_t FOpacity = 255;
    QImage m_image;
};

// Makes bmp a 24-bit black w x h image with a white rounded rectangle (filled
// when penWidth <= 0, else outlined), blurred when radius > 0.
void MakeShadowMask(QImage& bmp, int w, int h, int penWidth, int rounding, int radius);
// A separable Gaussian blur of a 24-bit image (QImage::Format_RGB888);
// raises Exception "Blur only works for 24-bit bitmaps" for any other.
void BlurBitmap24(QImage& bmp, double radius);
// The normalised kernel weights, centre at index n of 2n + 1.
std::vector<double> BuildGaussKernel(double radius);

// ---------------------------------------------------------------------------

// The platform's string grid without additions; the grid base derives from it.
class TObjStringGrid : public TStringGrid {
public:
    TObjStringGrid() = default;
};
