#include "grid/ExtGridPanels.h"

#include "controls/EsgHTMLE.h"
#include "controls/ExtUtil.h"
#include "grid/ExtGrid.h"
#include "controls/ExtDropDownDraw.h"
#include "controls/ExtObjWidgets.h"
#include "platform/Canvas.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>
#include <algorithm>
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
    if (FGrid && FGrid->HandleAllocated() && parentWidget() == FGrid->Widget()) {
        LayoutGridBottomPanels(*FGrid);
        return;
    }
    resize(width(), FHeight);
}

bool TGridBottomPanel::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::ParentAboutToChange:
        if (parentWidget()) parentWidget()->removeEventFilter(this);
        break;
    case QEvent::ParentChange:
        if (parentWidget()) parentWidget()->installEventFilter(this);
        Realign();
        break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent: {
        const bool done = QWidget::event(e);
        Realign();
        return done;
    }
    default: break;
    }
    return QWidget::event(e);
}

bool TGridBottomPanel::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == parentWidget() && e->type() == QEvent::Resize) Realign();
    return QWidget::eventFilter(watched, e);
}

void LayoutGridBottomPanels(TExtStringGrid& grid)
{
    if (!grid.HandleAllocated()) return;
    TGridWidget* w = grid.Widget();
    TGridBottomPanel* panels[] = {&grid.FooterPanel(), &grid.SearchPanel()};
    int margin = 0;
    for (TGridBottomPanel* p : panels)
        if (p->parentWidget() == w && !p->isHidden()) margin += p->PanelHeight();
    w->SetViewportBottomMargin(margin);
    const QRect vp = w->viewport()->geometry();
    int y = vp.bottom() + 1;
    for (TGridBottomPanel* p : panels) {
        if (p->parentWidget() != w) continue;
        const bool shown = !p->isHidden();
        p->setGeometry(vp.left(), y, vp.width(), p->PanelHeight());
        if (shown) y += p->PanelHeight();
    }
}

// --- the footer panel -------------------------------------------------------------------

std::vector<TFooterColumn> FooterColumns(TExtStringGrid& grid)
{
    std::vector<TFooterColumn> cols;
    const int fixed = std::min(grid.TCustomGrid::FixedCols(), grid.ColCount());
    for (int c = 0; c < fixed; ++c) cols.push_back({c, grid.ColWidths(c)});
    for (int c = std::max(grid.LeftCol(), fixed); c < grid.ColCount(); ++c) cols.push_back({c, grid.ColWidths(c)});
    return cols;
}

int FooterColumnAt(const std::vector<TFooterColumn>& columns, int x)
{
    int sum = 0;
    for (const TFooterColumn& fc : columns) {
        sum += fc.Width;
        if (sum >= x) return fc.Col;
    }
    return -1;
}

QString ExpandFooterTemplate(const QString& tmpl, int colCount, const std::function<QString(int col)>& cellText)
{
    QString out;
    qsizetype pos = 0;
    while (pos < tmpl.size()) {
        const qsizetype open = tmpl.indexOf(QLatin1String("<#"), pos);
        if (open < 0) break;
        const qsizetype close = tmpl.indexOf(QLatin1Char('>'), open + 2);
        // An unclosed placeholder is no placeholder: the rest stands as it is.
        if (close < 0) break;
        out += tmpl.mid(pos, open - pos);
        bool ok = false;
        const QString digits = tmpl.mid(open + 2, close - open - 2);
        const int col = digits.toInt(&ok, 10);
        const bool decimal = ok && !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar ch) {
            return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
        });
        if (decimal && col >= 0 && col < colCount && cellText) out += cellText(col);
        pos = close + 1;
    }
    out += tmpl.mid(pos);
    return out;
}

TFooterPanel::TFooterPanel(TExtStringGrid* grid) : TGridBottomPanel(grid)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int TFooterPanel::ColumnAt(int x) const { return Grid() ? FooterColumnAt(FooterColumns(*Grid()), x) : -1; }

void TFooterPanel::CreateWnd()
{
    TExtStringGrid* g = Grid();
    if (!g) return;
    const TFloatingFooter& ff = g->FloatingFooter();
    SetPanelHeight(ff.Visible() ? ff.Height() : 0);
    if (g->OnCreatedFloatingFooter) g->OnCreatedFloatingFooter(g);
}

bool TFooterPanel::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && Grid()) {
        auto* he = static_cast<QHelpEvent*>(e);
        TExtStringGrid* g = Grid();
        const int col = ColumnAt(he->pos().x());
        QString hint;
        if (col >= 0 && g->OnGridHint) g->OnGridHint(g, g->RowCount() - 1, col, hint);
        FLastHintCol = FShowHint && col >= 0 ? col : -1;
        if (FShowHint && !hint.isEmpty())
            QToolTip::showText(he->globalPos(), hint, this);
        else
            QToolTip::hideText();
        return true;
    }
    return TGridBottomPanel::event(e);
}

void TFooterPanel::mouseMoveEvent(QMouseEvent* e)
{
    if (FShowHint && FLastHintCol >= 0) {
        const int col = ColumnAt(e->position().toPoint().x());
        if (col != FLastHintCol) {
            QToolTip::hideText();
            FLastHintCol = col;
        }
    }
    TGridBottomPanel::mouseMoveEvent(e);
}

void TFooterPanel::leaveEvent(QEvent* e)
{
    if (FLastHintCol >= 0) QToolTip::hideText();
    FLastHintCol = -1;
    TGridBottomPanel::leaveEvent(e);
}

void TFooterPanel::mouseReleaseEvent(QMouseEvent* e)
{
    TExtStringGrid* g = Grid();
    if (!g) return;
    if (g->OnClick) g->OnClick(g);
    const int col = ColumnAt(e->position().toPoint().x());
    if (col >= 0 && g->OnClickCell) g->OnClickCell(g, g->RowCount() - 1, col);
}

namespace {

bool SoftLook(TGridLook look)
{
    return look == TGridLook::glSoft || look == TGridLook::glStudio || look == TGridLook::glXP ||
           look == TGridLook::glVista;
}

} // namespace

int TFooterPanel::PaintFooterRow(TCanvas& canvas, const std::vector<TFooterColumn>& columns)
{
    TExtStringGrid& g = *Grid();
    const TFloatingFooter& ff = g.FloatingFooter();
    const int h = height();
    const int fixedCols = g.TCustomGrid::FixedCols();
    const bool vertLines = g.HasOption(goFixedVertLine), horzLines = g.HasOption(goFixedHorzLine);
    const bool soft = SoftLook(g.Look()) && !g.Flat();
    int w = 0;
    for (const TFooterColumn& fc : columns) w += fc.Width;
    canvas.SetBrushColor(ff.Color());
    canvas.FillRect(TRect{0, 0, w, h});
    canvas.SetBrushColor(g.Color);
    canvas.FillRect(TRect{w, 0, width(), h});

    // Column frames.
    int x = 0;
    for (const TFooterColumn& fc : columns) {
        if (vertLines && soft) {
            canvas.SetPenColor(clWhite);
            canvas.MoveTo(x, h);
            canvas.LineTo(x, 0);
        }
        const int left = x;
        x += fc.Width;
        canvas.SetPenColor(g.GridLineColor());
        if (horzLines) {
            canvas.MoveTo(left, 0);
            canvas.LineTo(x - 1, 0);
        }
        if (fc.Col >= fixedCols && g.Look() != TGridLook::glVista) canvas.SetPenColor(clGray);
        if (vertLines) {
            canvas.MoveTo(x - 1, 0);
            canvas.LineTo(x - 1, h);
        }
    }

    // Cells of the last row.
    const int lastRow = g.RowCount() - 1;
    const int top = horzLines ? 1 : 0;
    x = 0;
    int right = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const TFooterColumn& fc = columns[i];
        const int left = x;
        x += fc.Width;
        if (lastRow < 0 || g.IsMergedNonBaseCell(fc.Col, lastRow)) continue;
        int cellRight = x;
        // A merged cell spans the columns of its range.
        const QPoint span = g.CellSpan(fc.Col, lastRow);
        for (int k = 1; k <= span.x() && i + k < columns.size(); ++k) cellRight += columns[i + k].Width;
        TRect r{left, top, cellRight - 1, h};
        if (soft) r.Left += 1;
        right = std::max(right, cellRight);
        if (fc.Col >= fixedCols) {
            if (g.OnGetCellColor) {
                TCellBrush brush;
                brush.Color = clNone;
                TCellFont font;
                g.OnGetCellColor(&g, lastRow, fc.Col, TGridDrawState{gdFixed}, brush, font);
                if (brush.Color != clNone) {
                    canvas.SetBrushColor(brush.Color);
                    canvas.FillRect(r);
                }
            }
            const TColor cellColor = g.Colors(fc.Col, lastRow);
            if (cellColor != clNone) {
                canvas.SetBrushColor(cellColor);
                canvas.FillRect(r);
            }
            if (g.OnFooterPaint) {
                g.OnFooterPaint(this, fc.Col, canvas, r);
                continue;
            }
        }
        g.PaintLastRowCell(canvas, fc.Col, r, TGridDrawState{gdFixed});
    }
    return right;
}

void TFooterPanel::PaintPreviewFrame(TCanvas& canvas, int w)
{
    TExtStringGrid& g = *Grid();
    const int h = height();
    canvas.SetBrushColor(g.FloatingFooter().Color());
    canvas.FillRect(TRect{0, 0, w, h});
    canvas.SetPenColor(clWhite);
    canvas.MoveTo(0, h - 1);
    canvas.LineTo(0, 0);
    canvas.LineTo(w - 1, 0);
    canvas.SetPenColor(clGray);
    canvas.MoveTo(0, h - 1);
    canvas.LineTo(w - 1, h - 1);
    canvas.LineTo(w - 1, -1);
    canvas.SetBrushColor(g.Color);
    canvas.FillRect(TRect{w, 0, width(), h});
}

void TFooterPanel::paintEvent(QPaintEvent*)
{
    TExtStringGrid* gp = Grid();
    if (!gp) return;
    TExtStringGrid& g = *gp;
    const TFloatingFooter& ff = g.FloatingFooter();
    QPainter p(this);
    TCanvas canvas(p);
    canvas.SetFont(g.Font);
    const std::vector<TFooterColumn> columns = FooterColumns(g);
    int w = 0;
    for (const TFooterColumn& fc : columns) w += fc.Width;
    const TRect area{0, 0, w, height()};
    // A column outside the grid shows nothing: no cell outside is read.
    const bool columnInGrid = ff.Column() >= 0 && ff.Column() < g.ColCount() && g.Row() >= 0 && g.Row() < g.RowCount();
    int right = w;
    switch (ff.FooterStyle()) {
    case TFooterStyle::fsFixedLastRow: right = PaintFooterRow(canvas, columns); break;
    case TFooterStyle::fsColumnPreview: {
        PaintPreviewFrame(canvas, w);
        const TColor oldSelText = g.SelectionTextColor();
        g.SetSelectionTextColor(clBlack);
        if (g.OnFooterPaint)
            g.OnFooterPaint(this, ff.Column(), canvas, area);
        else if (columnInGrid)
            g.PaintCell(canvas, ff.Column(), g.Row(), area, TGridDrawState{});
        g.SetSelectionTextColor(oldSelText);
        break;
    }
    case TFooterStyle::fsCustomPreview: {
        PaintPreviewFrame(canvas, w);
        const int row = g.Row();
        const QString text = ExpandFooterTemplate(ff.CustomTemplate(), row >= 0 && row < g.RowCount() ? g.ColCount() : 0,
                                                  [&g, row](int c) { return g.DisplCells(c, row); });
        canvas.SetBkMode(TBkMode::Transparent);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        TMiniHtmlParams params(canvas, text, TRect{area.Left, area.Top + 2, area.Right, area.Bottom});
        params.Images = g.GridImages();
        params.URLColor = g.URLColor();
        RenderMiniHtml(params);
        break;
    }
    case TFooterStyle::fsCustomPaint:
        right = width();
        if (g.OnFooterPaint) g.OnFooterPaint(this, ff.Column(), canvas, TRect{0, 0, width(), height()});
        break;
    }
    if (ff.BorderColor() != clNone) {
        canvas.SetPenColor(ff.BorderColor());
        canvas.MoveTo(0, 0);
        canvas.LineTo(right, 0);
    }
}

// --- the search bar ---------------------------------------------------------------------

TRetEdit::TRetEdit(QWidget* parent) : QLineEdit(parent) {}

bool TRetEdit::event(QEvent* e)
{
    // Enter belongs to the box: no shortcut of the window takes it first.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            e->accept();
            return true;
        }
    }
    return QLineEdit::event(e);
}

void TRetEdit::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        if (e->modifiers() & Qt::ControlModifier) {
            if (OnCtrlReturn) OnCtrlReturn(this);
        } else if (OnReturn) {
            OnReturn(this);
        }
        return;
    }
    QLineEdit::keyPressEvent(e);
}

namespace {

TExtGridButton* MakeSearchButton(QWidget* parent, const char* glyph, const char* disabled)
{
    auto* b = new TExtGridButton(parent);
    b->SetGlyph(GridGlyph(QLatin1String(glyph)));
    b->SetGlyphDisabled(GridGlyph(QLatin1String(disabled)));
    b->setEnabled(false);
    return b;
}

void SetButtonHint(QWidget* w, const QString& hint) { w->setToolTip(hint); }

} // namespace

TSearchPanel::TSearchPanel(TExtStringGrid* grid) : TGridBottomPanel(grid)
{
    FEdit = new TRetEdit(this);
    FForward = MakeSearchButton(this, "ESGARDOWN", "ESGARDOWND");
    FBackward = MakeSearchButton(this, "ESGARUP", "ESGARUPD");
    FExit = new TExtGridButton(this);
    FExit->SetGlyph(GridGlyph(QStringLiteral("ESGCLOSE")));
    FExit->SetGlyphHot(GridGlyph(QStringLiteral("ESGCLOSEH")));
    FExit->SetGlyphDown(GridGlyph(QStringLiteral("ESGCLOSED")));
    FExit->SetShowCaption(false);
    FHilite = MakeSearchButton(this, "ESGHI", "ESGHID");
    FHilite->SetStyle(tasCheck);
    FHilite->SetAllowAllUp(true);
    FMatchCase = new TExtCheckBox(this);
    FMatchCase->SetTransparent(true);

    FEdit->OnReturn = [this](TRetEdit*) {
        if (OnForwardClick) OnForwardClick(this);
    };
    FEdit->OnCtrlReturn = [this](TRetEdit*) {
        if (OnBackwardClick) OnBackwardClick(this);
    };
    QObject::connect(FEdit, &QLineEdit::textChanged, this, [this] { TextChanged(); });
    FForward->OnClick = [this](TExtGridButton*) {
        if (OnForwardClick) OnForwardClick(this);
    };
    FBackward->OnClick = [this](TExtGridButton*) {
        if (OnBackwardClick) OnBackwardClick(this);
    };
    FHilite->OnClick = [this](TExtGridButton*) {
        if (OnHighlightClick) OnHighlightClick(this);
    };
    FExit->OnClick = [this](TExtGridButton*) {
        if (OnExitClick) OnExitClick(this);
    };
}

TSearchPanel::~TSearchPanel() = default;

void TSearchPanel::SetColor(TColor v)
{
    FColor = v;
    update();
}

void TSearchPanel::SetColorTo(TColor v)
{
    FColorTo = v;
    update();
}

void TSearchPanel::TextChanged()
{
    const bool any = !FEdit->text().isEmpty();
    FForward->setEnabled(any);
    FBackward->setEnabled(any);
    FHilite->setEnabled(any);
    if (OnEditChange) OnEditChange(this);
}

void TSearchPanel::PlaceControls()
{
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const int w = width();
    auto place = [rtl, w](QWidget* c, int left, int top, int cw, int ch) {
        c->setGeometry(rtl ? w - cw - left : left, top, cw, ch);
    };
    place(FEdit, 25, 6, 110, FEdit->sizeHint().height());
    place(FForward, 140, 5, 90, FForward->isHidden() ? 0 : 23);
    place(FBackward, 235, 5, 90, FBackward->isHidden() ? 0 : 23);
    place(FExit, 5, 7, 14, 14);
    place(FHilite, 330, 5, 90, FHilite->isHidden() ? 0 : 23);
    const int boxWidth = QFontMetrics(FMatchCase->font()).horizontalAdvance(FMatchCase->Caption()) + 24;
    place(FMatchCase, FHilite->isHidden() ? 330 : 425, 8, boxWidth, FMatchCase->isHidden() ? 0 : 18);
}

void TSearchPanel::CreateWnd()
{
    FForward->SetCaption(FindNextCaption);
    FBackward->SetCaption(FindPrevCaption);
    FHilite->SetCaption(HighLightCaption);
    QFont plain = FHilite->font();
    plain.setBold(false);
    plain.setItalic(false);
    plain.setUnderline(false);
    plain.setStrikeOut(false);
    FHilite->setFont(plain);
    FMatchCase->SetCaption(MatchCaseCaption);
    SetButtonHint(FForward, HintFindNext);
    SetButtonHint(FBackward, HintFindPrev);
    SetButtonHint(FExit, HintClose);
    SetButtonHint(FHilite, HintHighlight);
    PlaceControls();
    if (Grid() && Grid()->OnCreatedSearchFooter) Grid()->OnCreatedSearchFooter(Grid());
}

void TSearchPanel::UpdateSearchFooter(const TSearchFooter& footer)
{
    TExtStringGrid* g = Grid();
    // Highlighting goes when the bar closes with the highlight button down,
    // or always when asked to.
    if (g && ((FHilite->Down() && isVisible() && !footer.Visible()) || footer.AlwaysHighLight()))
        g->UnHilightInGrid(false);
    FSettings.Assign(footer);
    FColor = footer.Color();
    FColorTo = footer.ColorTo();
    FindNextCaption = footer.FindNextCaption();
    FindPrevCaption = footer.FindPrevCaption();
    MatchCaseCaption = footer.MatchCaseCaption();
    HighLightCaption = footer.HighLightCaption();
    FForward->SetCaption(FindNextCaption);
    FBackward->SetCaption(FindPrevCaption);
    FMatchCase->SetCaption(MatchCaseCaption);
    FHilite->SetCaption(HighLightCaption);
    HintFindNext = footer.HintFindNext();
    HintFindPrev = footer.HintFindPrev();
    HintClose = footer.HintClose();
    HintHighlight = footer.HintHighlight();
    SetButtonHint(FForward, HintFindNext);
    SetButtonHint(FBackward, HintFindPrev);
    SetButtonHint(FExit, HintClose);
    SetButtonHint(FHilite, HintHighlight);
    setFont(footer.Font());

    // Button look: flat but with the classic control style; with theme
    // adaption the three search buttons follow the theme.
    const TControlStyle style = g ? g->ControlLook().ControlStyle() : TControlStyle::csFlat;
    const bool flat = style != TControlStyle::csClassic || footer.AutoThemeAdapt();
    for (TExtGridButton* b : {FForward, FBackward, FHilite, FExit}) b->SetFlat(flat);
    for (TExtGridButton* b : {FForward, FBackward, FHilite}) b->SetAutoThemeAdapt(footer.AutoThemeAdapt());

    FHilite->setVisible(footer.ShowHighLight());
    FExit->setVisible(footer.ShowClose());
    FMatchCase->setVisible(footer.ShowMatchCase());
    FBackward->setVisible(footer.ShowFindPrev());
    FForward->setVisible(footer.ShowFindNext());
    PlaceControls();

    const bool shown = footer.Visible();
    SetPanelHeight(shown ? ShownHeight : 0);
    setVisible(shown && parentWidget() != nullptr);
    update();
}

QString TSearchPanel::Text() const { return FEdit->text(); }

TColor TSearchPanel::BoxColor() const { return QColorToColor(FEdit->palette().color(QPalette::Base)); }

void TSearchPanel::SetBoxColor(TColor color)
{
    QPalette pal = FEdit->palette();
    pal.setColor(QPalette::Base, ColorToQColor(color));
    FEdit->setPalette(pal);
}

bool TSearchPanel::HighlightDown() const { return FHilite->Down(); }

bool TSearchPanel::MatchCase() const { return FMatchCase->Checked(); }

bool TSearchPanel::event(QEvent* e)
{
    const bool done = TGridBottomPanel::event(e);
    if (e->type() == QEvent::Resize || e->type() == QEvent::LayoutDirectionChange) PlaceControls();
    return done;
}

void TSearchPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    TCanvas canvas(p);
    const TRect r{0, 0, width(), height()};
    canvas.SetBrushColor(FColor);
    canvas.SetPenColor(FColor);
    if (FColorTo == clNone)
        canvas.FillRect(r);
    else
        FillDropDownGradient(canvas, FColor, FColorTo, 32, r, false);
    canvas.SetPenColor(Grid() ? Grid()->GridLineColor() : clSilver);
    canvas.MoveTo(0, 0);
    canvas.LineTo(width(), 0);
}

// --- the filter lists -------------------------------------------------------------------

// Watches the presses of the whole application while its list is shown.
class TFilterListCloser : public QObject {
public:
    explicit TFilterListCloser(std::function<void(QPoint)> onPress) : m_onPress(std::move(onPress)) {}
    void Watch(bool on)
    {
        if (on == m_watching || !qApp) return;
        m_watching = on;
        if (on)
            qApp->installEventFilter(this);
        else
            qApp->removeEventFilter(this);
    }
    ~TFilterListCloser() override { Watch(false); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        // The press reaches the window before any widget in it, and before
        // the focus moves.
        (void)watched;
        if (e->type() == QEvent::MouseButtonPress) {
            const QPoint global = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
            m_onPress(global);
        }
        return false;
    }

private:
    std::function<void(QPoint)> m_onPress;
    bool m_watching = false;
};

namespace {

// Whether a global point lies on the filter button of the grid's open
// filter column: the press there is left to the button's own release.
bool OnOpenFilterButton(TExtStringGrid* g, QPoint global)
{
    if (!g || !g->HandleAllocated() || g->FilterCol() < 0) return false;
    QWidget* vp = g->Widget()->viewport();
    const QPoint p = vp->mapFromGlobal(global);
    if (!vp->rect().contains(p)) return false;
    const TGridCoord cell = g->MouseCoord(p.x(), p.y());
    if (cell.X < 0 || cell.Y != g->FilterDropDownRow() || g->RealColIndex(cell.X) != g->FilterCol()) return false;
    const TRect r = g->CellRect(cell.X, cell.Y);
    return p.x() > r.Right - 16 && p.x() < r.Right - 3 && p.y() < r.Top + 19;
}

// The cancel-mode handling shared by both lists.
void CancelFilterList(QWidget* list, TExtStringGrid* g, QPoint global)
{
    if (list->isHidden()) return;
    if (list->rect().contains(list->mapFromGlobal(global))) return;
    if (!OnOpenFilterButton(g, global) && g) g->SetFilterCol(-1);
    list->hide();
}

} // namespace

TDropList::TDropList(TExtStringGrid* grid)
    : FGrid(grid), FCloser(std::make_unique<TFilterListCloser>([this](QPoint p) { CancelMode(p); }))
{
    hide();
    resize(0, 0);
}

TDropList::~TDropList() = default;

QString TDropList::Entry(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

bool TDropList::Checked(int) const { return false; }

void TDropList::CancelMode(QPoint globalPos) { CancelFilterList(this, FGrid, globalPos); }

void TDropList::Select()
{
    const int index = currentRow();
    hide();
    if (OnSelect) OnSelect(this, index);
}

void TDropList::keyPressEvent(QKeyEvent* e)
{
    QListWidget::keyPressEvent(e);
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        Select();
    }
}

void TDropList::mouseReleaseEvent(QMouseEvent* e)
{
    QListWidget::mouseReleaseEvent(e);
    Select();
}

void TDropList::focusOutEvent(QFocusEvent* e)
{
    QListWidget::focusOutEvent(e);
    // A press takes the focus before it arrives; the press itself decides.
    if (e->reason() != Qt::MouseFocusReason) CancelMode(QCursor::pos());
}

void TDropList::showEvent(QShowEvent* e)
{
    QListWidget::showEvent(e);
    FCloser->Watch(true);
}

void TDropList::hideEvent(QHideEvent* e)
{
    FCloser->Watch(false);
    QListWidget::hideEvent(e);
}

TDropCheckList::TDropCheckList(TExtStringGrid* grid)
    : FGrid(grid), FCloser(std::make_unique<TFilterListCloser>([this](QPoint p) { CancelMode(p); }))
{
    hide();
    resize(0, 0);
    QObject::connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { ItemChanged(item); });
}

TDropCheckList::~TDropCheckList() = default;

QString TDropCheckList::Entry(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

bool TDropCheckList::Checked(int index) const
{
    const QListWidgetItem* it = item(index);
    return it && it->checkState() == Qt::Checked;
}

void TDropCheckList::CancelMode(QPoint globalPos) { CancelFilterList(this, FGrid, globalPos); }

void TDropCheckList::AddEntry(const QString& text, bool checked)
{
    FFilling = true;
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    FFilling = false;
}

void TDropCheckList::ItemChanged(QListWidgetItem*)
{
    if (FFilling) return;
    if (OnSelect) OnSelect(this, -1);
}

void TDropCheckList::focusOutEvent(QFocusEvent* e)
{
    QListWidget::focusOutEvent(e);
    // A press takes the focus before it arrives; the press itself decides.
    if (e->reason() != Qt::MouseFocusReason) CancelMode(QCursor::pos());
}

void TDropCheckList::showEvent(QShowEvent* e)
{
    QListWidget::showEvent(e);
    FCloser->Watch(true);
}

void TDropCheckList::hideEvent(QHideEvent* e)
{
    FCloser->Watch(false);
    QListWidget::hideEvent(e);
}

// --- the window that never takes the activation --------------------------------------------

TNoActiveForm::TNoActiveForm(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setEnabled(false);
}

void TNoActiveForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    TCanvas canvas(p);
    canvas.SetBrushColor(clBtnFace);
    canvas.FillRect(TRect{0, 0, width(), height()});
    canvas.SetBrushColor(clWindowFrame);
    canvas.FrameRect(TRect{0, 0, width(), height()});
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
