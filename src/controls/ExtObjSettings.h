#pragma once
// The settings objects a grid publishes: search bar, navigation, mouse
// actions, synchronised grid, bands and focus helper. Each is a plain class
// owned by its grid, copied with Assign, and tells its grid of a change
// through its OnChange (and the like) events.
#include "controls/ExtObjTypes.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

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
