#include "grid/ExtGridPanels.h"

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

THTMLHintWindow::THTMLHintWindow() : QWidget(nullptr, Qt::ToolTip) { hide(); }

THeaderDragButton::THeaderDragButton(TExtStringGrid* grid) : FGrid(grid)
{
    setEnabled(false);
    hide();
}

TScrollControl::TScrollControl(TExtStringGrid* grid, int direction) : FGrid(grid), FDirection(direction)
{
    // Double buffered: Qt paints every widget into a back buffer.
    hide();
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
