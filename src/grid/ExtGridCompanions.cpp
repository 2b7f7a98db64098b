// The string grid's companion windows: made with the grid, put into its
// window when the window is made, freed with the grid.
#include "grid/ExtGrid.h"

#include "platform/GridsWidget.h"

#include <QFontMetrics>
#include <QPalette>
#include <algorithm>

void TExtStringGrid::CreateCompanionWindows()
{
    // The two panels under the cells, bottom-aligned, height 0, no border.
    FFooterPanel = std::make_unique<TFooterPanel>(this);
    FSearchPanel = std::make_unique<TSearchPanel>(this);
    SetSearchBarView(FSearchPanel.get());
    FSearchPanel->OnEditChange = [this](TSearchPanel* p) { SearchFooterEditChange(p->EditControl()->text()); };
    FSearchPanel->OnBackwardClick = [this](TSearchPanel*) { SearchFooterFindPrev(); };
    FSearchPanel->OnForwardClick = [this](TSearchPanel*) { SearchFooterFindNext(); };
    FSearchPanel->OnExitClick = [this](TSearchPanel*) { SearchFooterCloseClick(); };
    FSearchPanel->OnHighlightClick = [this](TSearchPanel*) { SearchFooterHighlight(); };

    FScrollHintWnd = std::make_unique<THTMLHintWindow>();

    FDropList = std::make_unique<TDropList>(this);
    FDropList->OnSelect = [this](TDropList*, int index) { FilterListSelect(index); };
    FDropCheckList = std::make_unique<TDropCheckList>(this);
    FDropCheckList->OnSelect = [this](TDropCheckList*, int index) { FilterCheckListClick(index); };

    if (!FDesigning) FHeaderDragButton = std::make_unique<THeaderDragButton>(this);
}

void TExtStringGrid::ParentCompanionWindows(QWidget* window)
{
    if (FDestroying) return;
    if (!FDesigning && ScrollType() == TScrollType::ssMetro) CreateMetroScrollControls();
    TGridCompanionWindows::Parent(window, {FFooterPanel.get(), FSearchPanel.get(), FDropList.get(),
                                           FDropCheckList.get(), FHeaderDragButton.get()});
    FFooterPanel->setVisible(FFloatingFooter->Visible());
    FFooterPanel->CreateWnd();
    FSearchPanel->UpdateSearchFooter(*FSearchFooter);
    FSearchPanel->CreateWnd();
}

void TExtStringGrid::CreateMetroScrollControls()
{
    if (!HandleAllocated()) return;
    QWidget* window = Widget();
    // The vertical one along the right edge, the horizontal one along the
    // bottom, 6 pixels thick; the scroll code keeps them in place.
    if (!vscrlctrl) {
        vscrlctrl = std::make_unique<TScrollControl>(this, TScrollControl::sdVertical);
        TGridCompanionWindows::Parent(window, {vscrlctrl.get()});
        vscrlctrl->setGeometry(window->width() - 6, 0, 6, window->height());
        vscrlctrl->show();
    }
    if (!hscrlctrl) {
        hscrlctrl = std::make_unique<TScrollControl>(this, TScrollControl::sdHorizontal);
        TGridCompanionWindows::Parent(window, {hscrlctrl.get()});
        hscrlctrl->setGeometry(0, window->height() - 6, window->width(), 6);
        hscrlctrl->show();
    }
}

void TExtStringGrid::SearchFooterCloseClick()
{
    if (OnSearchFooterClose) OnSearchFooterClose(this);
    FSearchFooter->SetVisible(false);
}

void TExtStringGrid::DestroyCompanionWindows()
{
    SetFilterListView(nullptr);
    SetSearchBarView(nullptr);
    FFooterPanel.reset();
    FSearchPanel.reset();
    FDropList.reset();
    FDropCheckList.reset();
    FHeaderDragButton.reset();
    FScrollHintWnd.reset();
}

// --- the filter buttons and their lists ----------------------------------------------

bool TExtStringGrid::HasFilterButton(int c)
{
    // A column shows a filter button when its filter list has entries.
    return GetColumnFilter(c);
}

void TExtStringGrid::CloseFilterLists()
{
    if (FDropList->isVisible()) FDropList->hide();
    if (FDropCheckList->isVisible()) FDropCheckList->hide();
    SetFilterCol(-1);
    SetFilterListView(nullptr);
}

void TExtStringGrid::FilterButtonClick(int c, int r)
{
    const int rc = RealColIndex(c);
    // A second click on the button of the open list closes it.
    if (rc == FilterCol() || !HandleAllocated() || !GetColumnFilter(rc)) {
        CloseFilterLists();
        return;
    }
    CloseFilterLists();
    SetFilterCol(rc);
    const bool check = FilterDropDownCheck();
    QListWidget* list = check ? static_cast<QListWidget*>(FDropCheckList.get()) : FDropList.get();
    // The filter handlers read the open list's entries and ticks.
    if (check)
        SetFilterListView(FDropCheckList.get());
    else
        SetFilterListView(FDropList.get());
    const TFilterDropDown& look = *FFilterDropDown;
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, ColorToQColor(look.Color()));
    list->setPalette(pal);
    list->setFont(look.Font());
    list->clear();
    const QFontMetrics fm(look.Font());
    int widest = 0;
    for (const QString& entry : std::as_const(FFilterList)) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        QString text = eq >= 0 ? entry.left(eq) : entry;
        if (check) {
            if (text.contains(QLatin1Char(' '))) text = QLatin1Char('"') + text + QLatin1Char('"');
            FDropCheckList->AddEntry(text, FilterListEntryTicked(rc, text));
        } else {
            FDropList->addItem(text);
        }
        widest = std::max(widest, fm.horizontalAdvance(text) + 8);
    }
    if (!check && FDropList->count() > 0) FDropList->setCurrentRow(0);

    int w = look.Width(), h = look.Height();
    if (look.AutoSize()) {
        const int edge = 2;
        const int itemHeight = list->count() > 0 ? std::max(1, list->sizeHintForRow(0)) : fm.height();
        h = list->count() * itemHeight + 2 * edge;
        w = widest + 2 * edge + (check ? 20 : 0);
    }
    const TRect cell = CellRect(c, r);
    int left = cell.Right - 16;
    const int top = cell.Top + 16;
    if (look.ColumnWidth()) {
        left = cell.Left;
        w = cell.Right - cell.Left;
    }
    // A list that would pass the grid's right edge is right-aligned with the
    // column, never left of the grid.
    if (left + w > ClientWidth()) left = std::max(0, CellRect(c, 0).Right - w);
    const QPoint origin = Widget()->viewport()->geometry().topLeft();
    list->setGeometry(origin.x() + left, origin.y() + top, w, h);
    list->show();
    list->raise();
    list->setFocus(Qt::PopupFocusReason);
}

bool TExtStringGrid::FilterListEntryTicked(int c, const QString& text)
{
    for (int i = 0; i < FFilter->Count(); ++i) {
        const TFilterData& d = FFilter->Items(i);
        if (d.Column() == c && d.Condition() == text) return true;
    }
    return false;
}
