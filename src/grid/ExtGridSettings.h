#pragma once
// The settings objects a string grid owns and publishes as nested
// properties: the look of in-cell controls and fixed cells (TControlLook),
// sorting (TSortSettings), progress bars, balloon hints, modified-row
// marking, grouping, OLE drag and drop, drag scrolling and the background;
// the companions of column sizing, tree nodes, typing, HTML export and
// printing; the cell graphic; the hidden-row store and the change notifier.
//
// Each object holds values and tells its grid when a value that changes the
// picture is written. Assign copies only from an object of the same class
// and sends no notification unless its comment says so. Owned pictures and
// fonts are copied by content, never replaced.
#include "controls/BaseGrid.h"
#include "controls/ExtDropDownAppearance.h"
#include "controls/ExtObj.h"
#include "grid/ExtGridGraphic.h"
#include "platform/Exception.h"
#include "platform/Graphics.h"

#include <QFont>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <tuple>
#include <functional>
#include <memory>
#include <vector>

class TExtStringGrid;

enum class TControlStyle : uint8_t { csClassic, csFlat, csWinXP, csBorland, csStudio, csGlyph, csTheme };
enum class TIndexSortKey : uint8_t { ikShift, ikCtrl };
enum class TSortBlankPosition : uint8_t { blFirst, blLast };
enum class TSortDirection : uint8_t { sdAscending, sdDescending };
enum class TProgressStyle : uint8_t { psXP, psClassic };
enum class TBackGroundDisplay : uint8_t { bdTile, bdFixed, bdGradientHorz, bdGradientVert };
enum class TBackGroundCells : uint8_t { bcNormal, bcFixed, bcAll };
enum class TColumnSizeLocation : uint8_t { clRegistry, clIniFile };
enum class TAutoSizeRows : uint8_t { arAll, arNormal, arFixed };
enum class TNodeType : uint8_t { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };
enum class TPrintPosition : uint8_t { ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter };
enum class TPrintBorders : uint8_t {
    pbNoborder,
    pbSingle,
    pbDouble,
    pbVertical,
    pbHorizontal,
    pbAround,
    pbAroundVertical,
    pbAroundHorizontal,
    pbCustom
};
enum class TFitToPage : uint8_t { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };
enum class TPrinterOrientation : uint8_t { poPortrait, poLandscape };
enum class TDragScrollDirectionItem : uint8_t { dsdUp, dsdDown, dsdLeft, dsdRight };
using TDragScrollDirection = TSet<TDragScrollDirectionItem>;

// Copies every member of src into dst except the given ones, which dst
// keeps (its grid link and change handlers).
template <class T, class... M>
void AssignExcept(T& dst, const T& src, M T::*... keep)
{
    auto saved = std::make_tuple(std::move(dst.*keep)...);
    dst = src;
    std::apply([&](auto&&... v) { ((dst.*keep = std::move(v)), ...); }, saved);
}

// A settings property that stores and then calls `after` (a statement).
#define KR_NOTIFY_PROP(type, name, def, after) \
public:                                        \
    type name() const { return F##name; }      \
    void Set##name(type v)                     \
    {                                          \
        F##name = v;                           \
        after;                                 \
    }                                          \
                                               \
private:                                       \
    type F##name = def;

// ---------------------------------------------------------------------------
// Look of in-cell controls and fixed cells, and the header and footer
// strips copied into each drop-down in-place editor before it shows.
class TControlLook {
public:
    explicit TControlLook(TExtStringGrid* grid);

    // Resets Color, CommentColor, ProgressBorderColor and the fourteen
    // fixed-cell gradient colours to their initial values. The four hover and
    // pressed mirror colours go through their writers (so the grid's copies
    // become clNone too); the rest is stored without telling the grid.
    void Init();
    // Copies the sizes, style, glyphs, margins, colours, the fourteen
    // gradient colours, the always-visible flags, DropDownCount, the
    // drop-down header and footer and HintMaxWidth; not FlatButton, ProgressXP, the two no-disabled-look
    // flags or FixedDropDownButton. Nothing reaches the grid.
    void Assign(const TControlLook& src);

    // Stored, then the grid is repainted.
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TColor CommentColor() const { return FCommentColor; }
    void SetCommentColor(TColor v);
    int CheckSize() const { return FCheckSize; }
    void SetCheckSize(int v);
    int RadioSize() const { return FRadioSize; }
    void SetRadioSize(int v);
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle v);
    bool DropDownAlwaysVisible() const { return FDropDownAlwaysVisible; }
    void SetDropDownAlwaysVisible(bool v);
    bool SpinButtonsAlwaysVisible() const { return FSpinButtonsAlwaysVisible; }
    void SetSpinButtonsAlwaysVisible(bool v);
    bool FlatButton() const { return FFlatButton; }
    void SetFlatButton(bool v);
    bool NoDisabledCheckRadioLook() const { return FNoDisabledCheckRadioLook; }
    void SetNoDisabledCheckRadioLook(bool v);
    bool NoDisabledButtonLook() const { return FNoDisabledButtonLook; }
    void SetNoDisabledButtonLook(bool v);
    int ProgressMarginX() const { return FProgressMarginX; }
    void SetProgressMarginX(int v);
    int ProgressMarginY() const { return FProgressMarginY; }
    void SetProgressMarginY(int v);
    bool ProgressXP() const { return FProgressXP; }
    void SetProgressXP(bool v);
    // Copied by content, then the grid is repainted.
    const QImage& CheckedGlyph() const { return FCheckedGlyph; }
    void SetCheckedGlyph(const QImage& v);
    const QImage& UnCheckedGlyph() const { return FUnCheckedGlyph; }
    void SetUnCheckedGlyph(const QImage& v);
    const QImage& RadioOnGlyph() const { return FRadioOnGlyph; }
    void SetRadioOnGlyph(const QImage& v);
    const QImage& RadioOffGlyph() const { return FRadioOffGlyph; }
    void SetRadioOffGlyph(const QImage& v);

    // Fixed-cell gradients. From/To: stored; unless clNone also given to the
    // grid's studio gradient colour of the same name (which repaints).
    // MirrorFrom/MirrorTo: stored and always given to the grid. Hover and
    // Down: stored; unless clNone copied into the grid's field (no repaint);
    // their mirror colours are always copied.
    TColor FixedGradientFrom() const { return FFixedGradientFrom; }
    void SetFixedGradientFrom(TColor v);
    TColor FixedGradientTo() const { return FFixedGradientTo; }
    void SetFixedGradientTo(TColor v);
    TColor FixedGradientMirrorFrom() const { return FFixedGradientMirrorFrom; }
    void SetFixedGradientMirrorFrom(TColor v);
    TColor FixedGradientMirrorTo() const { return FFixedGradientMirrorTo; }
    void SetFixedGradientMirrorTo(TColor v);
    TColor FixedGradientHoverFrom() const { return FFixedGradientHoverFrom; }
    void SetFixedGradientHoverFrom(TColor v);
    TColor FixedGradientHoverTo() const { return FFixedGradientHoverTo; }
    void SetFixedGradientHoverTo(TColor v);
    TColor FixedGradientHoverMirrorFrom() const { return FFixedGradientHoverMirrorFrom; }
    void SetFixedGradientHoverMirrorFrom(TColor v);
    TColor FixedGradientHoverMirrorTo() const { return FFixedGradientHoverMirrorTo; }
    void SetFixedGradientHoverMirrorTo(TColor v);
    TColor FixedGradientHoverBorder() const { return FFixedGradientHoverBorder; }
    void SetFixedGradientHoverBorder(TColor v);
    TColor FixedGradientDownFrom() const { return FFixedGradientDownFrom; }
    void SetFixedGradientDownFrom(TColor v);
    TColor FixedGradientDownTo() const { return FFixedGradientDownTo; }
    void SetFixedGradientDownTo(TColor v);
    TColor FixedGradientDownMirrorFrom() const { return FFixedGradientDownMirrorFrom; }
    void SetFixedGradientDownMirrorFrom(TColor v);
    TColor FixedGradientDownMirrorTo() const { return FFixedGradientDownMirrorTo; }
    void SetFixedGradientDownMirrorTo(TColor v);
    TColor FixedGradientDownBorder() const { return FFixedGradientDownBorder; }
    void SetFixedGradientDownBorder(TColor v);

    // Copied by content.
    THeaderAppearance& DropDownHeader() { return *FDropDownHeader; }
    void SetDropDownHeader(const THeaderAppearance& v) { FDropDownHeader->Assign(v); }
    TFooterAppearance& DropDownFooter() { return *FDropDownFooter; }
    void SetDropDownFooter(const TFooterAppearance& v) { FDropDownFooter->Assign(v); }

    KR_FIELD_PROP(bool, FixedDropDownButton, false)
    KR_FIELD_PROP(int, HintMaxWidth, 0)
    KR_FIELD_PROP(bool, CheckAlwaysActive, false)
    KR_FIELD_PROP(bool, RadioAlwaysActive, false)
    KR_FIELD_PROP(int, DropDownCount, 8)
    KR_FIELD_PROP(TColor, ProgressBorderColor, clGray)

private:
    void Repaint();
    TExtStringGrid* FGrid;
    TColor FColor = clBlack;
    TColor FCommentColor = clRed;
    int FCheckSize = 15;
    int FRadioSize = 10;
    TControlStyle FControlStyle = TControlStyle::csTheme;
    bool FDropDownAlwaysVisible = false;
    bool FSpinButtonsAlwaysVisible = false;
    bool FFlatButton = false;
    bool FNoDisabledCheckRadioLook = false;
    bool FNoDisabledButtonLook = false;
    int FProgressMarginX = 2;
    int FProgressMarginY = 2;
    bool FProgressXP = false;
    QImage FCheckedGlyph, FUnCheckedGlyph, FRadioOnGlyph, FRadioOffGlyph;
    TColor FFixedGradientFrom = clNone;
    TColor FFixedGradientTo = clNone;
    TColor FFixedGradientMirrorFrom = clNone;
    TColor FFixedGradientMirrorTo = clNone;
    TColor FFixedGradientHoverFrom = clGray;
    TColor FFixedGradientHoverTo = clWhite;
    TColor FFixedGradientHoverMirrorFrom = clNone;
    TColor FFixedGradientHoverMirrorTo = clNone;
    TColor FFixedGradientHoverBorder = clSilver;
    TColor FFixedGradientDownFrom = clGray;
    TColor FFixedGradientDownTo = clSilver;
    TColor FFixedGradientDownMirrorFrom = clNone;
    TColor FFixedGradientDownMirrorTo = clNone;
    TColor FFixedGradientDownBorder = clGray;
    std::unique_ptr<THeaderAppearance> FDropDownHeader;
    std::unique_ptr<TFooterAppearance> FDropDownFooter;
};

// ---------------------------------------------------------------------------
// Sorting and the sort indicator.
class TSortSettings {
public:
    explicit TSortSettings(TExtStringGrid* grid);

    // Every property but IgnoreCase and SortOnVirtualCells; Show without a
    // repaint.
    void Assign(const TSortSettings& src);
    // "i;" and the grid's sort index list when IndexShow, else "u" or "d"
    // and Column.
    QString SaveToString() const;
    // Reads what SaveToString wrote and sorts the grid by it. An empty text
    // changes nothing; Show is set first; a text of one character raises
    // Exception "Invalid sort settings specifier".
    void LoadFromString(const QString& s);
    // Column -1, the grid's sort index list emptied, the sort row repainted.
    void Remove();
    void ToggleDirection();

    // When changed: stored and the grid repainted.
    bool Show() const { return FShow; }
    void SetShow(bool v);
    // Refused with Exception "Sort row should be smaller than number of
    // fixed rows" unless below the grid's fixed rows.
    int Row() const { return FRow; }
    void SetRow(int v);
    // When changed: stored; the last fixed row is repainted when there is one.
    TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor v);
    TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor v);
    TColor HeaderMirrorColor() const { return FHeaderMirrorColor; }
    void SetHeaderMirrorColor(TColor v);
    TColor HeaderMirrorColorTo() const { return FHeaderMirrorColorTo; }
    void SetHeaderMirrorColorTo(TColor v);
    const QImage& UpGlyph() const { return FUpGlyph; }
    void SetUpGlyph(const QImage& v) { FUpGlyph = v; }
    const QImage& DownGlyph() const { return FDownGlyph; }
    void SetDownGlyph(const QImage& v) { FDownGlyph = v; }
    const QImage& IndexUpGlyph() const { return FIndexUpGlyph; }
    void SetIndexUpGlyph(const QImage& v) { FIndexUpGlyph = v; }
    const QImage& IndexDownGlyph() const { return FIndexDownGlyph; }
    void SetIndexDownGlyph(const QImage& v) { FIndexDownGlyph = v; }

    KR_FIELD_PROP(bool, AutoSortForGrouping, true)
    KR_FIELD_PROP(bool, AutoColumnMerge, false)
    KR_FIELD_PROP(int, Column, -1)
    KR_FIELD_PROP(bool, IndexShow, false)
    KR_FIELD_PROP(TColor, IndexColor, clYellow)
    KR_FIELD_PROP(TIndexSortKey, IndexSortKey, TIndexSortKey::ikShift)
    KR_FIELD_PROP(bool, Full, true)
    KR_FIELD_PROP(bool, SingleColumn, false)
    KR_FIELD_PROP(bool, IgnoreBlanks, false)
    KR_FIELD_PROP(TSortBlankPosition, BlankPos, TSortBlankPosition::blFirst)
    KR_FIELD_PROP(bool, AutoFormat, true)
    KR_FIELD_PROP(TSortDirection, Direction, TSortDirection::sdAscending)
    KR_FIELD_PROP(bool, IgnoreCase, false)
    KR_FIELD_PROP(TSortDirection, InitSortDirection, TSortDirection::sdAscending)
    KR_FIELD_PROP(bool, FixedCols, false)
    KR_FIELD_PROP(bool, NormalCellsOnly, false)
    KR_FIELD_PROP(bool, UndoSort, false)
    KR_FIELD_PROP(bool, SortOnVirtualCells, true)

private:
    void SetHeader(TColor& field, TColor v);
    TExtStringGrid* FGrid;
    bool FShow = false;
    int FRow = 0;
    TColor FHeaderColor = clNone;
    TColor FHeaderColorTo = clNone;
    TColor FHeaderMirrorColor = clNone;
    TColor FHeaderMirrorColorTo = clNone;
    QImage FUpGlyph, FDownGlyph, FIndexUpGlyph, FIndexDownGlyph;
};

// ---------------------------------------------------------------------------
// Look of progress-bar cells: every write of a changed value fires OnChange.
#define KR_CHANGE_PROP(type, name, def)     \
public:                                     \
    type name() const { return F##name; }   \
    void Set##name(type v)                  \
    {                                       \
        if (F##name == v) return;           \
        F##name = v;                        \
        Changed();                          \
    }                                       \
                                            \
private:                                    \
    type F##name = def;

class TGridProgressAppearance {
    KR_CHANGE_PROP(TColor, CompleteColor, clRed)
    KR_CHANGE_PROP(TColor, CompleteFontColor, clBlue)
    KR_CHANGE_PROP(TColor, UnCompleteColor, clNone)
    KR_CHANGE_PROP(TColor, UnCompleteFontColor, clWindowText)
    KR_CHANGE_PROP(TColor, Level0Color, clLime)
    KR_CHANGE_PROP(TColor, Level0ColorTo, 0xE1FFE1)
    KR_CHANGE_PROP(TColor, Level1Color, clYellow)
    KR_CHANGE_PROP(TColor, Level1ColorTo, 0xCAFFFF)
    KR_CHANGE_PROP(TColor, Level2Color, 0x53A9FF)
    KR_CHANGE_PROP(TColor, Level2ColorTo, 0xA8D3FF)
    KR_CHANGE_PROP(TColor, Level3Color, clRed)
    KR_CHANGE_PROP(TColor, Level3ColorTo, 0xCACAFF)
    KR_CHANGE_PROP(int, Level1Perc, 70)
    KR_CHANGE_PROP(int, Level2Perc, 90)
    KR_CHANGE_PROP(TColor, BorderColor, clBlack)
    KR_CHANGE_PROP(bool, ShowBorder, false)
    KR_CHANGE_PROP(bool, Stacked, false)
    KR_CHANGE_PROP(bool, ShowPercentage, true)
    KR_CHANGE_PROP(bool, CompletionSmooth, true)
    KR_CHANGE_PROP(bool, ShowGradient, true)
    KR_CHANGE_PROP(int, Steps, 11)
    KR_CHANGE_PROP(TProgressStyle, Style, TProgressStyle::psXP)

public:
    // Copies every value (not OnChange), then fires OnChange once.
    void Assign(const TGridProgressAppearance& src);
    std::function<void(TGridProgressAppearance* sender)> OnChange;

private:
    void Changed()
    {
        if (OnChange) OnChange(this);
    }
};

// ---------------------------------------------------------------------------
// Balloon tool tips. Delays in milliseconds; -1 keeps the platform's.
class TBalloonSettings {
    KR_FIELD_PROP(int, AutoHideDelay, -1)
    KR_FIELD_PROP(TColor, BackgroundColor, clNone)
    KR_FIELD_PROP(int, InitialDelay, -1)
    KR_FIELD_PROP(int, ReshowDelay, -1)
    KR_FIELD_PROP(TColor, TextColor, clNone)
    KR_FIELD_PROP(uint8_t, Transparency, 0)
    // Stored, then OnEnableChange on every write.
    KR_NOTIFY_PROP(bool, Enable, false, if (OnEnableChange) OnEnableChange(this))

public:
    // Colours, delays and Enable (without the notification); not Transparency.
    void Assign(const TBalloonSettings& src);
    std::function<void(TBalloonSettings* sender)> OnEnableChange;
};

// Marking of modified rows.
class TShowModified {
    KR_FIELD_PROP(bool, Enabled, false)
    // Stored, then OnChange on every write.
    KR_NOTIFY_PROP(TColor, Color, clYellow, if (OnChange) OnChange(this))

public:
    void Assign(const TShowModified& src)
    {
        FColor = src.FColor;
        FEnabled = src.FEnabled;
    }
    std::function<void(TShowModified* sender)> OnChange;
};

// Look of group header and summary rows; plain values.
class TGrouping {
    KR_FIELD_PROP(bool, AutoSelectGroup, false)
    KR_FIELD_PROP(bool, AutoCheckGroup, false)
    KR_FIELD_PROP(QString, GroupCountFormat, QString())
    KR_FIELD_PROP(TColor, HeaderColor, clNone)
    KR_FIELD_PROP(TColor, HeaderColorTo, clNone)
    KR_FIELD_PROP(TColor, HeaderTextColor, clNone)
    KR_FIELD_PROP(bool, HeaderUnderline, false)
    KR_FIELD_PROP(TColor, HeaderLineColor, clBlue)
    KR_FIELD_PROP(int, HeaderLineWidth, 2)
    KR_FIELD_PROP(bool, MergeHeader, false)
    KR_FIELD_PROP(bool, MergeSummary, false)
    KR_FIELD_PROP(bool, ShowGroupCount, false)
    KR_FIELD_PROP(bool, Summary, false)
    KR_FIELD_PROP(TColor, SummaryColor, clNone)
    KR_FIELD_PROP(TColor, SummaryColorTo, clNone)
    KR_FIELD_PROP(TColor, SummaryTextColor, clNone)
    KR_FIELD_PROP(bool, SummaryLine, false)
    KR_FIELD_PROP(TColor, SummaryLineColor, clBlue)
    KR_FIELD_PROP(int, SummaryLineWidth, 2)

public:
    // Not the four line colours and widths, nor Summary.
    void Assign(const TGrouping& src);
};

// The process-wide switch that lets rich text be dropped on grids: the
// drag-and-drop layer's own switch.
extern bool& GridOleDropRTF;

// OLE drag and drop of the grid; plain values but for OleDropRTF (also set
// into GridOleDropRTF) and OleDropTarget (OnDropTargetChange tells the grid,
// which registers or revokes its drop target).
class TDragDropSettings {
    KR_FIELD_PROP(bool, ShowCells, true)
    KR_FIELD_PROP(bool, OleAcceptFiles, true)
    KR_FIELD_PROP(bool, OleAcceptText, true)
    KR_FIELD_PROP(bool, OleAcceptURLs, true)
    KR_FIELD_PROP(bool, OleAppendRows, false)
    KR_FIELD_PROP(bool, OleColumnDragDrop, false)
    KR_FIELD_PROP(bool, OleColumnReorder, false)
    KR_FIELD_PROP(bool, OleColumnsOnly, false)
    KR_FIELD_PROP(bool, OleCopyAlways, false)
    KR_FIELD_PROP(bool, OleDropSource, false)
    KR_FIELD_PROP(bool, OleEntireRows, false)
    KR_FIELD_PROP(bool, OleInsertRows, false)
    KR_FIELD_PROP(bool, OleRemoveRows, false)

public:
    explicit TDragDropSettings(TExtStringGrid* grid) : FGrid(grid) {}
    bool OleDropRTF() const { return FOleDropRTF; }
    void SetOleDropRTF(bool v);
    bool OleDropTarget() const { return FOleDropTarget; }
    void SetOleDropTarget(bool v);
    // All fifteen as plain values.
    void Assign(const TDragDropSettings& src);
    std::function<void(TDragDropSettings* sender)> OnDropTargetChange;

private:
    TExtStringGrid* FGrid;
    bool FOleDropRTF = false;
    bool FOleDropTarget = false;
};

class TDragScrollDelays {
    KR_FIELD_PROP(int, InitialDelay, 1000)
    KR_FIELD_PROP(int, RepeatDelay, 250)
public:
    void Assign(const TDragScrollDelays& s)
    {
        FInitialDelay = s.FInitialDelay;
        FRepeatDelay = s.FRepeatDelay;
    }
};

class TDragScrollMargins {
    KR_FIELD_PROP(int, TopMargin, 50)
    KR_FIELD_PROP(int, BottomMargin, 50)
    KR_FIELD_PROP(int, LeftMargin, 50)
    KR_FIELD_PROP(int, RightMargin, 50)
public:
    void Assign(const TDragScrollMargins& s)
    {
        FTopMargin = s.FTopMargin;
        FBottomMargin = s.FBottomMargin;
        FLeftMargin = s.FLeftMargin;
        FRightMargin = s.FRightMargin;
    }
};

// Automatic scrolling while something is dragged near the grid's edges.
class TDragScrollOptions {
    KR_FIELD_PROP(bool, Active, false)
public:
    TDragScrollDelays& Delays() { return FDelays; }
    const TDragScrollDelays& Delays() const { return FDelays; }
    void SetDelays(const TDragScrollDelays& v) { FDelays.Assign(v); }
    TDragScrollMargins& Margins() { return FMargins; }
    const TDragScrollMargins& Margins() const { return FMargins; }
    void SetMargins(const TDragScrollMargins& v) { FMargins.Assign(v); }
    void Assign(const TDragScrollOptions& src)
    {
        FMargins.Assign(src.FMargins);
        FDelays.Assign(src.FDelays);
        FActive = src.FActive;
    }

private:
    TDragScrollDelays FDelays;
    TDragScrollMargins FMargins;
};

// Picture or gradient behind the cells; every write repaints the grid.
class TBackGround {
    KR_NOTIFY_PROP(int, Top, 0, Repaint())
    KR_NOTIFY_PROP(int, Left, 0, Repaint())
    KR_NOTIFY_PROP(TBackGroundDisplay, Display, TBackGroundDisplay::bdTile, Repaint())
    KR_NOTIFY_PROP(TBackGroundCells, Cells, TBackGroundCells::bcNormal, Repaint())
    KR_NOTIFY_PROP(TColor, Color, clWindow, Repaint())
    KR_NOTIFY_PROP(TColor, ColorTo, clBtnFace, Repaint())

public:
    explicit TBackGround(TExtStringGrid* grid) : FGrid(grid) {}
    const QImage& Bitmap() const { return FBitmap; }
    void SetBitmap(const QImage& v)
    {
        FBitmap = v;
        Repaint();
    }
    // The grid's BackGround writer copies all seven values (no repaint here).
    void Assign(const TBackGround& src);

private:
    void Repaint();
    TExtStringGrid* FGrid;
    QImage FBitmap;
};

// ---------------------------------------------------------------------------
// Column sizing, saving and stretching.
class TColumnSize {
    KR_FIELD_PROP(bool, Save, false)
    KR_FIELD_PROP(QString, Key, QString())
    KR_FIELD_PROP(QString, Section, QString())
    KR_FIELD_PROP(int, StretchColumn, -1)
    KR_FIELD_PROP(bool, SynchWithGrid, false)
    KR_FIELD_PROP(bool, SynchNormalCellsOnly, false)
    KR_FIELD_PROP(TColumnSizeLocation, Location, TColumnSizeLocation::clRegistry)
    KR_FIELD_PROP(TAutoSizeRows, Rows, TAutoSizeRows::arAll)

public:
    explicit TColumnSize(TExtStringGrid* owner) : FOwner(owner) {}
    // Stores; when the grid has a parent, stretches StretchColumn at once.
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);
    void Assign(const TColumnSize& src);
    TExtStringGrid* Owner() const { return FOwner; }

private:
    TExtStringGrid* FOwner;
    bool FStretch = false;
};

// Look of tree-node rows.
class TCellNode {
    KR_FIELD_PROP(TColor, Color, clSilver)
    KR_FIELD_PROP(bool, ExpandOne, false)
    KR_FIELD_PROP(TColor, NodeColor, clBlack)

public:
    explicit TCellNode(TExtStringGrid* owner) : FOwner(owner) {}
    // When changed: stored and the grid repainted.
    TNodeType NodeType() const { return FNodeType; }
    void SetNodeType(TNodeType v);
    int NodeIndent() const { return FNodeIndent; }
    void SetNodeIndent(int v);
    bool ShowTree() const { return FShowTree; }
    void SetShowTree(bool v);
    bool ShowTreeFull() const { return FShowTreeFull; }
    void SetShowTreeFull(bool v);
    TColor TreeColor() const { return FTreeColor; }
    void SetTreeColor(TColor v);
    const QImage& ExpandGlyph() const { return FExpandGlyph; }
    void SetExpandGlyph(const QImage& v) { FExpandGlyph = v; }
    const QImage& ContractGlyph() const { return FContractGlyph; }
    void SetContractGlyph(const QImage& v) { FContractGlyph = v; }
    void Assign(const TCellNode& src);

private:
    template <typename T>
    void SetRepaint(T& field, T v);
    TExtStringGrid* FOwner;
    TNodeType FNodeType = TNodeType::cnXP;
    int FNodeIndent = 12;
    bool FShowTree = true;
    bool FShowTreeFull = true;
    TColor FTreeColor = clGray;
    QImage FExpandGlyph, FContractGlyph;
};

// Sizing of the current column or row while the user types.
class TSizeWhileTyping {
    KR_FIELD_PROP(bool, Height, false)
    KR_FIELD_PROP(bool, Width, false)
};

// Options of the HTML export.
class THTMLSettings {
    KR_FIELD_PROP(bool, AutoPreview, false)
    KR_FIELD_PROP(bool, ConvertSpecialChars, false)
    KR_FIELD_PROP(bool, NonBreakingText, false)
    KR_FIELD_PROP(bool, SaveColor, true)
    KR_FIELD_PROP(bool, SaveFonts, true)
    KR_FIELD_PROP(QString, FooterFile, QString())
    KR_FIELD_PROP(QString, HeaderFile, QString())
    KR_FIELD_PROP(int, BorderSize, 1)
    KR_FIELD_PROP(int, CellSpacing, 0)
    KR_FIELD_PROP(int, CellPadding, 0)
    KR_FIELD_PROP(QString, TableStyle, QString())
    KR_FIELD_PROP(QString, PrefixTag, QString())
    KR_FIELD_PROP(QString, SuffixTag, QString())
    KR_FIELD_PROP(QString, Summary, QString())
    KR_FIELD_PROP(int, Width, 100)
    KR_FIELD_PROP(bool, XHTML, false)
    KR_FIELD_PROP(bool, ExportImages, true)

public:
    THTMLSettings() : ColWidths(-1, -1) {}
    // Every published value but ExportImages; not ColWidths.
    void Assign(const THTMLSettings& src);
    // Column widths for the export (not published).
    TIntList ColWidths;
};

// Options of printing and print preview.
class TPrintSettings {
    KR_FIELD_PROP(int, FooterSize, 0)
    KR_FIELD_PROP(int, HeaderSize, 0)
    KR_FIELD_PROP(TPrintPosition, Time, TPrintPosition::ppNone)
    KR_FIELD_PROP(TPrintPosition, Date, TPrintPosition::ppNone)
    KR_FIELD_PROP(TPrintPosition, PageNr, TPrintPosition::ppNone)
    KR_FIELD_PROP(TPrintPosition, Title, TPrintPosition::ppNone)
    KR_FIELD_PROP(QString, DateFormat, QStringLiteral("dd/mm/yyyy"))
    KR_FIELD_PROP(QString, TitleText, QString())
    KR_FIELD_PROP(QStringList, TitleLines, QStringList())
    KR_FIELD_PROP(QFont, Font, QFont())
    KR_FIELD_PROP(QFont, FixedFont, QFont())
    KR_FIELD_PROP(QFont, HeaderFont, QFont())
    KR_FIELD_PROP(QFont, FooterFont, QFont())
    KR_FIELD_PROP(TPrintBorders, Borders, TPrintBorders::pbSingle)
    KR_FIELD_PROP(Qt::PenStyle, BorderStyle, Qt::SolidLine)
    KR_FIELD_PROP(TColor, BorderColor, clBlack)
    KR_FIELD_PROP(bool, Centered, true)
    KR_FIELD_PROP(bool, RepeatFixedRows, false)
    KR_FIELD_PROP(bool, RepeatFixedCols, false)
    KR_FIELD_PROP(int, LeftSize, 0)
    KR_FIELD_PROP(int, RightSize, 0)
    KR_FIELD_PROP(int, ColumnSpacing, 0)
    KR_FIELD_PROP(int, RowSpacing, 0)
    KR_FIELD_PROP(int, TitleSpacing, 0)
    KR_FIELD_PROP(TPrinterOrientation, Orientation, TPrinterOrientation::poPortrait)
    KR_FIELD_PROP(QString, PagePrefix, QString())
    KR_FIELD_PROP(QString, PageSuffix, QString())
    KR_FIELD_PROP(int, PageNumberOffset, 0)
    KR_FIELD_PROP(int, MaxPagesOffset, 0)
    KR_FIELD_PROP(int, FixedWidth, 0)
    KR_FIELD_PROP(int, FixedHeight, 0)
    KR_FIELD_PROP(bool, UseFixedHeight, false)
    KR_FIELD_PROP(bool, UseFixedWidth, false)
    KR_FIELD_PROP(TFitToPage, FitToPage, TFitToPage::fpNever)
    KR_FIELD_PROP(QString, JobName, QString())
    KR_FIELD_PROP(QString, PageNumSep, QStringLiteral("/"))
    KR_FIELD_PROP(bool, NoAutoSize, false)
    KR_FIELD_PROP(bool, NoAutoSizeRow, false)
    KR_FIELD_PROP(bool, PrintGraphics, false)
    KR_FIELD_PROP(bool, UseDisplayFont, true)
    KR_FIELD_PROP(bool, UseDefaultOrientation, false)
    KR_FIELD_PROP(bool, FixedCellsAlways, false)
    // The colours of the three printed fonts.
    KR_FIELD_PROP(TColor, FontColor, clWindowText)
    KR_FIELD_PROP(TColor, HeaderFontColor, clWindowText)
    KR_FIELD_PROP(TColor, FooterFontColor, clWindowText)

public:
    explicit TPrintSettings(TExtStringGrid* grid) : FGrid(grid) {}
    TExtStringGrid* Grid() const { return FGrid; }
    // Every published value (fonts and title lines by content); not
    // FixedCellsAlways.
    void Assign(const TPrintSettings& src);

private:
    TExtStringGrid* FGrid;
};

// ---------------------------------------------------------------------------
// Why a row is out of view: hidden by a program (HideRows), removed by a
// filter level (the item's Level), or folded under a contracted node. Each
// kind is shown again only by its own operations.
enum class THiddenRowKind : uint8_t { hkHidden, hkFilter, hkNode };

// One row taken out of view: its index among all rows, height, node level
// and its cells (texts with their objects), parked whole.
class TGridItem {
public:
    THiddenRowKind Kind() const { return FKind; }
    void SetKind(THiddenRowKind v) { FKind = v; }
    int Idx() const { return FIdx; }
    void SetIdx(int v) { FIdx = v; }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    int Level() const { return FLevel; }
    void SetLevel(int v) { FLevel = v; }
    // The texts of the row's cells, one per column held.
    QStringList Items() const;
    // Replaces the texts (objects of cells kept where a text is given).
    void SetItems(const QStringList& texts);
    // The parked cells; the item owns them. A row parked without cells
    // holds no storage until it is written.
    TGridRowData& Row();
    const TGridRowData& Row() const;
    void SetRow(std::unique_ptr<TGridRowData> row);
    // Hands the cells back (null for a row without any) and leaves the item
    // empty.
    std::unique_ptr<TGridRowData> TakeRowData();

private:
    THiddenRowKind FKind = THiddenRowKind::hkHidden;
    int FIdx = 0;
    int FHeight = 0;
    int FLevel = 0;
    std::unique_ptr<TGridRowData> FRow;
};

// The hidden-row store of a grid, ordered by Idx (the grid inserts every
// item at its place: InsertOrdered). Items are held by value: a reference
// or pointer to one holds only until the store next changes.
class TGridItems {
public:
    // Index of the first item whose Idx is not below realRow.
    int LowerBound(int realRow) const;
    // A new item with that Idx at its place in the order.
    TGridItem& InsertOrdered(int realRow);
    // Removes n items from index on.
    void DeleteRange(int index, int n);
    // Adds items given in Idx order, each at its place (one pass).
    void MergeOrdered(std::vector<TGridItem> items);
    // Removes the items at the given indexes (ascending).
    void DeleteAt(const std::vector<int>& indexes);
    int Count() const { return int(FItems.size()); }
    TGridItem& Items(int i) { return FItems.at(size_t(i)); }
    const TGridItem& Items(int i) const { return FItems.at(size_t(i)); }
    TGridItem& Add();
    TGridItem& Insert(int index);
    void Delete(int index);
    void Clear() { FItems.clear(); }
    // The item whose Idx is the real row; nullptr when the row is not hidden.
    TGridItem* FindIdx(int realRow);
    const TGridItem* FindIdx(int realRow) const;

private:
    std::vector<TGridItem> FItems;
};

// Told of changed cells: a grid calls CellsChanged of every registered
// notifier, in registration order, after its OnCellsChanged.
class TGridChangeNotifier : public QObject {
    Q_OBJECT
public:
    explicit TGridChangeNotifier(QObject* owner = nullptr) : QObject(owner) {}
    // The changed cells (both corners inclusive).
    virtual void CellsChanged(const TGridRect& r) {}
};

// The one selection listener a grid may have: told the new current cell.
class ITExtStringGridSelect {
public:
    virtual ~ITExtStringGridSelect() = default;
    virtual void CellSelected(int acol, int arow) = 0;
};
