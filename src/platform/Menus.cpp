#include "platform/Menus.h"

#include <QMenu>

namespace {
PopupMenuHandler& Current()
{
    static PopupMenuHandler handler;
    return handler;
}
} // namespace

PopupMenuHandler SetPopupMenuHandler(PopupMenuHandler handler)
{
    PopupMenuHandler previous = std::move(Current());
    Current() = std::move(handler);
    return previous;
}

QAction* TrackPopupMenu(QMenu& menu, const QPoint& screenPos)
{
    if (Current()) return Current()(menu, screenPos);
    return menu.exec(screenPos);
}
