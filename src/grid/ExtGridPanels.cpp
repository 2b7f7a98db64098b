#include "grid/ExtGridPanels.h"

#include "controls/EsgHTMLE.h"
#include "controls/ExtUtil.h"
#include "grid/ExtGrid.h"
#include "platform/Canvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <QEvent>
#include <QPointer>

TGridBottomPanel::TGridBottomPanel(TExtStringGrid* grid) : FGrid(grid)
{
    hide();
    resize(0, 0);
}

void TGridBottomPanel::SetPanelHeight(int h)
{
    FHeight = h < 0 ? 0 : h;
    Realign();
}

void TGridBottomPanel::Realign()
{
    QWidget* p = parentWidget();
    if (!p) {
        resize(width(), FHeight);
        return;
    }
    setGeometry(0, p->height() - FHeight, p->width(), FHeight);
}

bool TGridBottomPanel::event(QEvent* e)
{
    if (e->type() == QEvent::ParentAboutToChange && parentWidget()) parentWidget()->removeEventFilter(this);
    if (e->type() == QEvent::ParentChange) {
        if (parentWidget()) parentWidget()->installEventFilter(this);
        Realign();
    }
    return QWidget::event(e);
}

bool TGridBottomPanel::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == parentWidget() && e->type() == QEvent::Resize) Realign();
    return QWidget::eventFilter(watched, e);
}

TFooterPanel::TFooterPanel(TExtStringGrid* grid) : TGridBottomPanel(grid) {}

TSearchPanel::TSearchPanel(TExtStringGrid* grid) : TGridBottomPanel(grid) {}

void TSearchPanel::UpdateSearchFooter(const TSearchFooter& footer)
{
    FSettings.Assign(footer);
    const bool shown = footer.Visible();
    SetPanelHeight(shown ? ShownHeight : 0);
    setVisible(shown && parentWidget() != nullptr);
}

TDropList::TDropList(TExtStringGrid* grid) : FGrid(grid)
{
    hide();
    resize(0, 0);
}

TDropCheckList::TDropCheckList(TExtStringGrid* grid) : FGrid(grid)
{
    hide();
    resize(0, 0);
}

// --- the hint window -----------------------------------------------------------------

THTMLHintWindow::THTMLHintWindow()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void THTMLHintWindow::SetColor(TColor v)
{
    if (v == FColor) return;
    FColor = v;
    update();
}

void THTMLHintWindow::SetText(const QString& v)
{
    FText = v;
    FWideCaption = v.startsWith(WideTextMarker) ? DecodeWideCellText(v) : QString();
    update();
}

QFont THTMLHintWindow::WideFont() const
{
    QFont f = font();
    if (!FWideFontName.isEmpty()) f.setFamily(FWideFontName);
    return f;
}

QSize THTMLHintWindow::MeasureText(const QString& hint, int maxWidth)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    TCanvas canvas(&scratch);
    if (hint.startsWith(WideTextMarker)) {
        canvas.SetFont(WideFont());
        TRect r{0, 0, maxWidth, 0};
        canvas.DrawText(DecodeWideCellText(hint), r, tfCalcRect | tfSingleLine | tfNoPrefix);
        return QSize(r.Right - r.Left, r.Bottom - r.Top);
    }
    canvas.SetFont(font());
    TMiniHtmlParams params(canvas, hint, TRect{0, 0, maxWidth, 65535});
    params.MeasureOnly = true;
    params.Images = FImages;
    params.NamedPictures = FPictureContainer;
    params.URLColor = clBlue;
    const TMiniHtmlResult res = RenderMiniHtml(params);
    return QSize(res.MaxLineWidth, res.TotalHeight);
}

QRect THTMLHintWindow::CalcHintRect(int maxWidth, const QString& hint)
{
    const QSize sz = MeasureText(hint, maxWidth);
    return QRect(0, 0, sz.width(), sz.height());
}

void THTMLHintWindow::ActivateHint(QPoint topLeft, const QString& hint)
{
    SetText(hint);
    const bool wide = hint.startsWith(WideTextMarker);
    const QSize sz = MeasureText(hint, 1008);
    FTextWidth = sz.width();
    FTextHeight = sz.height();
    QRect r(topLeft, QSize(FTextWidth + (wide ? 8 : 16), FTextHeight + 4));
    // The hint stays on the screen under its top-left corner.
    QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) r = KeepHintOnScreen(r, screen->geometry());
    setGeometry(r);
    show();
    raise();
    update();
}

void THTMLHintWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    TCanvas canvas(p);
    const int w = width(), h = height();
    canvas.SetBrushColor(FColor);
    canvas.FillRect(TRect{0, 0, w, h});
    // Light edges left and top, dark edges bottom and right.
    canvas.SetPenColor(cl3DLight);
    canvas.MoveTo(0, h - 2);
    canvas.LineTo(0, 0);
    canvas.LineTo(w - 1, 0);
    canvas.SetPenColor(cl3DDkShadow);
    canvas.MoveTo(0, h - 1);
    canvas.LineTo(w - 1, h - 1);
    canvas.LineTo(w - 1, -1);
    const int top = (h - FTextHeight) / 2;
    TRect tr{4, top, w - 4, top + FTextHeight + 8};
    canvas.SetBkMode(TBkMode::Transparent);
    canvas.SetBrushStyle(TBrushStyle::Clear);
    if (FText.startsWith(WideTextMarker)) {
        canvas.SetFont(WideFont());
        canvas.DrawText(FWideCaption, tr, tfSingleLine | tfNoPrefix);
        return;
    }
    canvas.SetFont(font());
    TMiniHtmlParams params(canvas, FText, tr);
    params.Images = FImages;
    params.NamedPictures = FPictureContainer;
    params.URLColor = clBlue;
    RenderMiniHtml(params);
}

// --- the header drag button -------------------------------------------------------------

THeaderDragButton::THeaderDragButton(TExtStringGrid* grid) : FGrid(grid)
{
    setEnabled(false);
    hide();
}

void THeaderDragButton::SetCaption(const QString& v)
{
    if (v == FCaption) return;
    FCaption = v;
    update();
}

void THeaderDragButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    TCanvas canvas(p);
    const TRect r{0, 0, width(), height()};
    // The look of the grid's header cell: its fixed colour and grid lines
    // inside a thin border.
    canvas.SetBrushColor(FGrid ? FGrid->FixedColor : clBtnFace);
    canvas.FillRect(r);
    canvas.SetBrushColor(FGrid ? FGrid->GridLineColor() : clGray);
    canvas.FrameRect(r);
    if (FGrid) {
        canvas.SetFont(FGrid->FixedFont().Font);
        canvas.SetFontColor(FGrid->FixedFont().Color);
    } else {
        canvas.SetFont(font());
    }
    canvas.SetBkMode(TBkMode::Transparent);
    canvas.SetBrushStyle(TBrushStyle::Clear);
    TRect tr{2, 2, r.Right - 2, r.Bottom - 2};
    if (FCaption.contains(QLatin1String("</"))) {
        TMiniHtmlParams params(canvas, FCaption, tr);
        params.Images = FGrid ? FGrid->GridImages() : nullptr;
        params.URLColor = clBlue;
        RenderMiniHtml(params);
        return;
    }
    canvas.DrawText(FCaption, tr, tfCenter | tfVCenter | tfSingleLine | tfEndEllipsis | tfNoPrefix);
}

// --- the slim scroll bar ----------------------------------------------------------------

TScrollControl::TScrollControl(TExtStringGrid* grid, int direction) : FGrid(grid), FDirection(direction)
{
    // Double buffered: Qt paints every widget into a back buffer. The strip
    // shows the grid's picture behind the thumb.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    hide();
}

void TScrollControl::Realign()
{
    QWidget* p = parentWidget();
    if (!p) return;
    if (FDirection == sdHorizontal)
        setGeometry(0, p->height() - height(), p->width(), height());
    else
        setGeometry(p->width() - width(), 0, width(), p->height());
}

bool TScrollControl::event(QEvent* e)
{
    if (e->type() == QEvent::ParentAboutToChange && parentWidget()) parentWidget()->removeEventFilter(this);
    if (e->type() == QEvent::ParentChange && parentWidget()) parentWidget()->installEventFilter(this);
    return QWidget::event(e);
}

bool TScrollControl::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == parentWidget() && e->type() == QEvent::Resize) Realign();
    return QWidget::eventFilter(watched, e);
}

TSlimThumb TScrollControl::Thumb() const
{
    if (!FGrid) return {};
    TExtStringGrid& g = *FGrid;
    if (FDirection == sdHorizontal) {
        int offset = 0, tail = 0;
        for (int c = 0; c < g.FixedCols(); ++c) offset += g.ColWidths(c);
        for (int c = std::max(0, g.ColCount() - g.FixedRightCols()); c < g.ColCount(); ++c) tail += g.ColWidths(c);
        return SlimScrollThumb(width(), offset, tail, g.VisibleColCount(), g.ColCount(), g.LeftCol(), g.FixedCols());
    }
    int offset = 0, tail = 0;
    for (int r = 0; r < g.FixedRows(); ++r) offset += g.RowHeights(r);
    for (int r = std::max(0, g.RowCount() - g.FixedFooters()); r < g.RowCount(); ++r) tail += g.RowHeights(r);
    return SlimScrollThumb(height(), offset, tail, g.VisibleRowCount(), g.RowCount(), g.TopRow(), g.FixedRows());
}

void TScrollControl::paintEvent(QPaintEvent*)
{
    if (!FGrid) return;
    const TSlimThumb t = Thumb();
    if (!t.Shown) return;
    QPainter p(this);
    TCanvas canvas(p);
    canvas.SetBrushColor(FColor);
    canvas.SetPenColor(FColor);
    if (FDirection == sdHorizontal)
        canvas.Rectangle(t.Start, 0, t.Start + t.Length, FScrollWidth);
    else
        canvas.Rectangle(0, t.Start, FScrollWidth, t.Start + t.Length);
}

void TScrollControl::mousePressEvent(QMouseEvent* e)
{
    if (!FGrid) return;
    TExtStringGrid& g = *FGrid;
    const bool horz = FDirection == sdHorizontal;
    const int pos = horz ? e->position().toPoint().x() : e->position().toPoint().y();
    const TSlimThumb t = Thumb();
    const int first = horz ? g.LeftCol() : g.TopRow();
    const int to = horz ? SlimScrollPress(t, pos, g.VisibleColCount(), g.ColCount(), first, g.FixedCols())
                        : SlimScrollPress(t, pos, g.VisibleRowCount(), g.RowCount(), first, g.FixedRows());
    if (to < 0) {
        FDragging = true;
        FDragStart = pos;
        FDragFirst = first;
        return;
    }
    if (horz)
        g.SetLeftCol(to);
    else
        g.SetTopRow(to);
    update();
}

void TScrollControl::mouseMoveEvent(QMouseEvent* e)
{
    if (!FGrid || !FDragging) return;
    TExtStringGrid& g = *FGrid;
    if (FDirection == sdHorizontal) {
        const int delta = e->position().toPoint().x() - FDragStart;
        g.SetLeftCol(SlimScrollDrag(delta, width(), g.ColCount() > 0 ? g.ColWidths(0) : 0, g.VisibleColCount(),
                                    g.ColCount(), FDragFirst, g.FixedCols()));
    } else {
        const int delta = e->position().toPoint().y() - FDragStart;
        g.SetTopRow(SlimScrollDrag(delta, height(), g.RowCount() > 0 ? g.RowHeights(0) : 0, g.VisibleRowCount(),
                                   g.RowCount(), FDragFirst, g.FixedRows()));
    }
    update();
}

void TScrollControl::mouseReleaseEvent(QMouseEvent*)
{
    FDragging = false;
}

namespace {

// A child of the grid's window, made before the companions are put into it.
// A window deletes its children in the order they came, so this one goes
// first and takes the companions out before the window would delete them.
class TCompanionKeeper : public QObject {
public:
    explicit TCompanionKeeper(QWidget* window) : QObject(window) {}
    ~TCompanionKeeper() override
    {
        for (const QPointer<QWidget>& w : m_kept) {
            if (!w || w->parent() != parent()) continue;
            w->hide();
            w->setParent(nullptr);
        }
    }
    void Keep(QWidget* w) { m_kept.emplace_back(w); }

private:
    std::vector<QPointer<QWidget>> m_kept;
};

} // namespace

void TGridCompanionWindows::Parent(QWidget* window, const std::vector<QWidget*>& companions)
{
    if (!window) return;
    TCompanionKeeper* keeper = nullptr;
    for (QObject* child : window->children())
        if ((keeper = dynamic_cast<TCompanionKeeper*>(child))) break;
    if (!keeper) keeper = new TCompanionKeeper(window);
    for (QWidget* w : companions) {
        if (!w) continue;
        const bool visible = !w->isHidden();
        if (w->parentWidget() != window) {
            w->setParent(window);
            keeper->Keep(w);
        }
        // setParent hides a widget; one that was shown stays shown.
        w->setVisible(visible);
    }
}
