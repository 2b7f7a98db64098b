// The string grid's companion windows: made with the grid, put into its
// window when the window is made, freed with the grid.
#include "grid/ExtGrid.h"

#include "platform/GridsWidget.h"

void TExtStringGrid::CreateCompanionWindows()
{
    // The two panels under the cells, bottom-aligned, height 0, no border.
    FFooterPanel = std::make_unique<TFooterPanel>(this);
    FSearchPanel = std::make_unique<TSearchPanel>(this);
    FSearchPanel->OnEditChange = [this](TSearchPanel*, const QString& value) { SearchFooterEditChange(value); };
    FSearchPanel->OnBackward = [this](TSearchPanel*) { SearchFooterFindPrev(); };
    FSearchPanel->OnForward = [this](TSearchPanel*) { SearchFooterFindNext(); };
    FSearchPanel->OnExit = [this](TSearchPanel*) { SearchFooterCloseClick(); };
    FSearchPanel->OnHighlight = [this](TSearchPanel*) { SearchFooterHighlight(); };

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
    FSearchPanel->UpdateSearchFooter(*FSearchFooter);
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
    FFooterPanel.reset();
    FSearchPanel.reset();
    FDropList.reset();
    FDropCheckList.reset();
    FHeaderDragButton.reset();
    FScrollHintWnd.reset();
}
