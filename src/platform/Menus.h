#pragma once
// Pop-up menus built at run time. Showing one goes through a replaceable
// handler, like the message boxes: the default runs the menu's own loop at
// the screen point, a test installs one that picks an item (or none) without
// a nested loop.
#include <QPoint>
#include <functional>

class QAction;
class QMenu;

// Answers the chosen action, null when the menu closed without a choice.
using PopupMenuHandler = std::function<QAction*(QMenu& menu, const QPoint& screenPos)>;
// Installs a handler and returns the one it replaces; empty puts back the default.
PopupMenuHandler SetPopupMenuHandler(PopupMenuHandler handler);

// Shows the menu with its top-left corner at the screen point and waits for
// the choice.
QAction* TrackPopupMenu(QMenu& menu, const QPoint& screenPos);
