#include "grid/ExtGrid.h"

#include "controls/ExtUtil.h"
#include "controls/OleDragDrop.h"
#include "grid/ExtGridDrop.h"
#include "platform/Application.h"
#include "platform/GridsWidget.h"
#include "platform/SysUtils.h"

#include <QApplication>
#include <QBuffer>
#include <QEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>
#include <cmath>

const char* const GridCellsClipboardFormat = DragGridCellsMimeType;
int URLCursor = -21;

int GridEditDoneEventType()
{
    static const int type = QEvent::registerEventType();
    return type;
}

int DTPShiftFocusEventType()
{
    static const int type = QEvent::registerEventType();
    return type;
}

QChar GetDateSeparator() { return SystemFormatSettings().DateSeparator; }
QChar GetTimeSeparator() { return SystemFormatSettings().TimeSeparator; }
QChar GetThousandSeparator() { return SystemFormatSettings().ThousandSeparator; }
QChar GetDecimalSeparator() { return SystemFormatSettings().DecimalSeparator; }
QString GetShortDateFormat() { return SystemFormatSettings().ShortDateFormat; }
QString GetShortTimeFormat() { return QStringLiteral("hh") + GetTimeSeparator() + QStringLiteral("mm"); }
QString GetLongTimeFormat()
{
    return QStringLiteral("hh") + GetTimeSeparator() + QStringLiteral("mm") + GetTimeSeparator() + QStringLiteral("ss");
}

namespace {

// Watches the owner form's resizes for its grid. Each grid has its own, so
// no grid chains or restores another handler.
class TFormWatcher : public QObject {
public:
    TFormWatcher(TExtStringGrid* grid, QWidget* form) : m_grid(grid) { form->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Resize) Guard([this] { m_grid->OwnerFormResized(); });
        return QObject::eventFilter(watched, e);
    }

private:
    TExtStringGrid* m_grid;
};

} // namespace

TExtStringGrid::TExtStringGrid(QWidget* ownerForm, bool designing) : FDesigning(designing)
{
    // Companions, in the order the grid makes them.
    CreateCompanionWindows();
    FFocusHelper = std::make_unique<TFocusHelper>();
    FSearchFooter = std::make_unique<TSearchFooter>(designing);
    FSearchFooter->OnChange = [this](TSearchFooter*) { FSearchPanel->UpdateSearchFooter(*FSearchFooter); };
    FFloatingFooter = std::make_unique<TFloatingFooter>(this);
    FPrintSettings = std::make_unique<TPrintSettings>(this);
    FHTMLSettings = std::make_unique<THTMLSettings>();
    FSortSettings = std::make_unique<TSortSettings>(this);
    FDragDropSettings = std::make_unique<TDragDropSettings>(this);
    FDragDropSettings->OnDropTargetChange = [this](TDragDropSettings*) { DropTargetChanged(); };
    FDragScrollOptions = std::make_unique<TDragScrollOptions>();
    FControlLook = std::make_unique<TControlLook>(this);
    FNavigation = std::make_unique<TNavigation>();
    FColumnSize = std::make_unique<TColumnSize>(this);
    FCellNode = std::make_unique<TCellNode>(this);
    FBands = std::make_unique<TBands>();
    FBands->OnChange = [this](TBands*) { Invalidate(); };
    FSizeWhileTyping = std::make_unique<TSizeWhileTyping>();
    FMouseActions = std::make_unique<TMouseActions>();
    FMouseActions->OnIsDesigning = [this](TMouseActions*, bool& d) { d = FDesigning; };
    FMouseActions->OnInvalidate = [this](TMouseActions*) { Invalidate(); };
    FGrouping = std::make_unique<TGrouping>();

    FFixedFont.Font = QFont(QStringLiteral("Tahoma"));
    FFixedFont.Font.setBold(true);
    if (FDesigning) FActiveCellFont.Font.setFamily(QStringLiteral("Tahoma"));
    FActiveCellFont.Font.setBold(true);

    // The merged columns are merged anew, in list order, whenever the list changes.
    FMergedColumns.OnChange = [this](TIntList*, int, int) {
        for (int c = 0; c < ColCount(); ++c) SplitColumnCells(c);
        for (int i = 0; i < FMergedColumns.Count(); ++i) MergeColumnCells(FMergedColumns.Items(i), i == 0);
        Invalidate();
    };
    FBackGround = std::make_unique<TBackGround>(this);
    FProgressAppearance = std::make_unique<TGridProgressAppearance>();
    FProgressAppearance->OnChange = [this](TGridProgressAppearance*) { Invalidate(); };
    FSyncGrid = std::make_unique<TSyncGrid>(this);

    SetRowCount(10);
    FWidth = 400;
    FHeight = 250;
    SetClientSize(FWidth, FHeight);

    FBalloon = std::make_unique<TBalloonSettings>();
    FShowModified = std::make_unique<TShowModified>();
    FShowModified->OnChange = [this](TShowModified*) { InvalidateCol(0); };

    if (ownerForm && !FDesigning) {
        FOwnerForm = ownerForm;
        FFormWatcher = std::make_unique<TFormWatcher>(this, ownerForm);
        PrevSizeX = ownerForm->width();
        PrevSizeY = ownerForm->height();
    }

    SetDefaultRowHeight(22);
    FFixedRowHeight = DefaultRowHeight();
    FStudioGradTo = ColorToRGB(clBtnFace);

    // Windows XP look and later: the border colour of the themed frame.
    FBorderColor = 0xB99D7F;
    const bool widgets = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    if (widgets && QApplication::style())
        SetScrollWidth(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));

    FCellGraphic = std::make_unique<TCellGraphic>();
    FFilterDropDown = std::make_unique<TFilterDropDown>();
    FFilterDropDown->OnChange = [this](TFilterDropDown*) { Invalidate(); };

    if (!FDesigning && widgets) {
        FFocusWindow = std::make_unique<TGridFocusWindow>();
        for (int d = 0; d < 4; ++d) {
            FArrows[d] = std::make_unique<TArrowWindow>();
            FArrows[d]->Init(nullptr, TArrowDirection(d));
        }
    }
    URLCursor = -21;
    FMaxColCount = ColCount();
    InitGridTimer();
}

TExtStringGrid::~TExtStringGrid()
{
    FDestroying = true;
    FMoveForm.reset();
    vscrlctrl.reset();
    hscrlctrl.reset();
    FFormWatcher.reset();
    // The user's column widths are kept for the next start; a store that
    // cannot be written is reported, and the grid goes all the same.
    if (FColumnSize->Save()) Guard([this] { SaveColSizes(); });
    DestroyDragTimer();
    // Hidden rows and cell controls go first; the grid base frees the cells.
    FGridItems.Clear();
    FControlList.Clear();
    delete FEditTrans.data();
    delete FComboTrans.data();
    delete FScrollBar.data();
    DestroyCompanionWindows();
}

void TExtStringGrid::Assign(const TExtStringGrid& s)
{
    if (&s == this) return;
    Font = s.Font;
    FActiveCellColor = s.FActiveCellColor;
    FActiveCellColorTo = s.FActiveCellColorTo;
    FActiveCellFont = s.FActiveCellFont;
    FActiveCellShow = s.FActiveCellShow;
    SetActiveRowShow(s.ActiveRowShow());
    FFilterDropDown->Assign(*s.FFilterDropDown);
    SetAnchorHint(s.AnchorHint());
    SetAutoNumAlign(s.AutoNumAlign());
    FAutoSize = s.FAutoSize;
    SetAutoThemeAdapt(s.AutoThemeAdapt());
    SetAutoFilterUpdate(s.AutoFilterUpdate());
    FMouseActions->Assign(*s.FMouseActions);
    FNavigation->Assign(*s.FNavigation);
    FGrouping->Assign(*s.FGrouping);
    FSearchFooter->Assign(*s.FSearchFooter);
    FPrintSettings->Assign(*s.FPrintSettings);
    FHTMLSettings->Assign(*s.FHTMLSettings);
    FBands->Assign(*s.FBands);
    FCellNode->Assign(*s.FCellNode);
    FSortSettings->Assign(*s.FSortSettings);
    FDragScrollOptions->Assign(*s.FDragScrollOptions);
    FDragDropSettings->Assign(*s.FDragDropSettings);
    FProgressAppearance->Assign(*s.FProgressAppearance);
    FColumnSize->Assign(*s.FColumnSize);
    FSyncGrid->Assign(*s.FSyncGrid);
    FFocusHelper->Assign(*s.FFocusHelper);
    FFixedRowAlways = s.FFixedRowAlways;

    SetColCount(s.ColCount());
    SetRowCount(s.RowCount());
    SetFixedRows(s.FixedRows());
    SetFixedCols(s.FixedCols());
    SetDefaultColWidth(s.DefaultColWidth());
    SetDefaultRowHeight(s.DefaultRowHeight());
    SetFixedRowHeight(s.FixedRowHeight());
    SetFixedColWidth(s.FixedColWidth());
    SetInvalidEntryTitle(s.InvalidEntryTitle());
    SetInvalidEntryIcon(s.InvalidEntryIcon());
    SetInvalidEntryText(s.InvalidEntryText());
    SetOptions(s.Options());
    for (int c = 0; c < ColCount(); ++c) SetColWidths(c, s.ColWidths(c));
    SetColumnHeaders(s.ColumnHeaders());
    for (int r = 0; r < RowCount(); ++r) SetRowHeights(r, s.RowHeights(r));
    SetScrollProportional(s.ScrollProportional());
    SetScrollSynch(s.ScrollSynch());
    SetScrollWidth(s.ScrollWidth());
    SetScrollHints(s.ScrollHints());
    FScrollBarAlways = s.FScrollBarAlways;
    SetScrollBars(s.ScrollBars());
    SetScrollColor(s.ScrollColor());
    SetScrollType(s.ScrollType());
    AssignCells(s);
}

void TExtStringGrid::AssignCells(const TExtStringGrid& s)
{
    // Through the native text stream: the source's save range and widths.
    if (&s == this) return;
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    const_cast<TExtStringGrid&>(s).SaveToStream(buffer);
    buffer.seek(0);
    LoadFromStream(buffer);
    Invalidate();
}

void TExtStringGrid::Loaded()
{
    FOldCursor = FCursor;
    WriteColumnHeaders();
    WriteRowHeaders();
    if (FColumnSize->Save()) Guard([this] { LoadColSizes(); });
    FFixedRowsMin = TCustomGrid::FixedRows();
    FFixedColsMin = TCustomGrid::FixedCols();
    FMaxRowCount = RowCount();
    FLoaded = true;
    if (Options().Contains(goAlwaysShowEditor)) {
        FNavigation->SetAlwaysEdit(true);
        SetOptions(Options().Without(goAlwaysShowEditor));
    }
    FSearchFooter->SetAutoThemeAdapt(FAutoThemeAdapt);
    FSearchPanel->UpdateSearchFooter(*FSearchFooter);
    UpdateScrollBarAlways(false);
    InitOrigColSizes();
    SetColumnOrder();
}

void TExtStringGrid::Invalidate()
{
    if (FEditChange) {
        FEditChange = false;
        return;
    }
    TCustomGrid::Invalidate();
    if (!FLoading && FFloatingFooter->Visible()) FFooterPanel->Invalidate();
}

void TExtStringGrid::SetBounds(int left, int top, int width, int height)
{
    if (FIntegralHeight && FUpdateCount == 0 && DefaultRowHeight() > 0) {
        const int h = VisibleColCount() + TCustomGrid::FixedCols() < ColCount() ? ScrollWidth() : 0;
        const int b = 2;
        height = height + b - ((height - h - b) % DefaultRowHeight());
    }
    const bool changed = width != FWidth || height != FHeight;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (HandleAllocated())
        Widget()->setGeometry(left, top, width, height);
    else
        SetClientSize(width, height);
    if (changed) Resize();
}

void TExtStringGrid::Resize()
{
    if (OnResize) OnResize(this);
    if ((FBackGround->Display() == TBackGroundDisplay::bdGradientHorz ||
         FBackGround->Display() == TBackGroundDisplay::bdGradientVert) &&
        FBackGround->ColorTo() != clNone)
        Invalidate();
    UpdateScrollBarAlways(false);
}

void TExtStringGrid::UpdateScrollBarAlways(bool force)
{
    // The window asks ScrollBarKeptShown as it sets up its bars.
    if (force || FScrollBarAlways != TScrollBarAlways::saNone) TCustomGrid::SetScrollBars(TCustomGrid::ScrollBars());
}

bool TExtStringGrid::ScrollBarKeptShown(bool vertical)
{
    using enum TScrollBarAlways;
    return FScrollBarAlways == saBoth || FScrollBarAlways == (vertical ? saVert : saHorz);
}

void TExtStringGrid::ChangeScale(int m, int d)
{
    if (d <= 0 || m == d) return;
    ScaleFont(Font, m, d);
    if (FDesigning) return;
    ScaleFont(FFixedFont.Font, m, d);
    ScaleFont(FActiveCellFont.Font, m, d);
}

void TExtStringGrid::OwnerFormResized()
{
    QWidget* form = FOwnerForm.data();
    if (!form || FDesigning || FDestroying) return;
    if (FSizeWithForm) {
        const int w = FWidth + form->width() - PrevSizeX;
        const int h = FHeight + form->height() - PrevSizeY;
        if (w > 0 && h > 0) {
            SetBounds(FLeft, FTop, w, h);
            PrevSizeX = form->width();
            PrevSizeY = form->height();
        }
    }
    if (FColumnSize->Stretch()) StretchColumn(FColumnSize->StretchColumn());
}

void ScaleFont(QFont& f, int m, int d)
{
    // A scale of zero or below is no scale; a font never shrinks to nothing.
    if (d <= 0) return;
    if (f.pointSize() > 0)
        f.setPointSize(std::max(1, int(std::lround(double(f.pointSize()) * m / d))));
    else if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, int(std::lround(double(f.pixelSize()) * m / d))));
}

QString VersionNrText(int32_t nr)
{
    const uint32_t v = uint32_t(nr);
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

QString TExtStringGrid::GetVersionString() const { return VersionNrText(GetVersionNr()); }

QString TExtStringGrid::Version() const { return VersionNrText(GetVersionNr()); }

void TExtStringGrid::SetColumnHeaders(const QStringList& v)
{
    FColumnHeaders = v;
    if (TCustomGrid::FixedRows() > 0) ClearColumnHeaders();
    ColumnHeadersChanged();
    ShowColumnHeaders();
}

void TExtStringGrid::SetRowHeaders(const QStringList& v)
{
    FRowHeaders = v;
    if (FDesigning && TCustomGrid::FixedCols() > 0) ClearRowHeaders();
    ShowRowHeaders();
}

void TExtStringGrid::ShowColumnHeaders()
{
    // A backslash-n in a header is a line break.
    if (TCustomGrid::FixedRows() <= 0 || RowCount() == 0) return;
    for (int i = 0; i < FColumnHeaders.size() && i < TotalColCount(); ++i)
        SetCells(i, 0, EscapedNewlineToCR(FColumnHeaders[i]));
}

void TExtStringGrid::ClearColumnHeaders()
{
    for (int i = 0; i < ColCount(); ++i) SetCells(i, 0, QString());
}

void TExtStringGrid::ShowRowHeaders()
{
    if (TCustomGrid::FixedCols() <= 0 || ColCount() == 0) return;
    for (int i = 0; i < FRowHeaders.size() && i < RowCount(); ++i) SetCells(0, i, EscapedNewlineToCR(FRowHeaders[i]));
}

void TExtStringGrid::ClearRowHeaders()
{
    for (int i = 0; i < RowCount(); ++i) SetCells(0, i, QString());
}

void TExtStringGrid::WriteColumnHeaders() { ShowColumnHeaders(); }

void TExtStringGrid::WriteRowHeaders() { ShowRowHeaders(); }

void TExtStringGrid::SetBackGround(const TBackGround& v)
{
    FBackGround->Assign(v);
    Invalidate();
}

void TExtStringGrid::InitOrigColSizes()
{
    FOrigColSizes.Clear();
    for (int c = 0; c < ColCount(); ++c) FOrigColSizes.Add(ColWidths(c));
    FOldSize = FWidth;
}
