#pragma once
// Drags without the platform's drag loop: hand-built drag events sent to a
// widget, and a drag runner that carries a started drag to a widget.
#include "controls/OleDragDrop.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QWidget>

#include <vector>

// What a widget answered to one drag.
struct DragOutcome {
    bool EnterAccepted = false;
    Qt::DropAction EnterAction = Qt::IgnoreAction;
    // One per point moved over (after the enter point).
    std::vector<bool> MovesAccepted;
    std::vector<Qt::DropAction> MoveActions;
    bool Dropped = false;           // the drop event was sent (the drag was not refused before)
    bool DropAccepted = false;
    Qt::DropAction DropAction = Qt::IgnoreAction;
};

// Enters `target` at points.front(), moves over every point, and drops at
// the last one (or leaves when `drop` is false). As the platform does, a
// refused enter ends the drag there.
inline DragOutcome SendDrag(QWidget* target, const QMimeData* data, const std::vector<QPoint>& points,
                            Qt::DropActions allowed = Qt::CopyAction | Qt::MoveAction,
                            Qt::KeyboardModifiers keys = Qt::NoModifier, bool drop = true)
{
    DragOutcome out;
    if (points.empty()) return out;
    QDragEnterEvent enter(points.front(), allowed, data, Qt::LeftButton, keys);
    QApplication::sendEvent(target, &enter);
    out.EnterAccepted = enter.isAccepted();
    out.EnterAction = enter.dropAction();
    if (!out.EnterAccepted) return out;
    for (const QPoint& p : points) {
        QDragMoveEvent move(p, allowed, data, Qt::LeftButton, keys);
        QApplication::sendEvent(target, &move);
        out.MovesAccepted.push_back(move.isAccepted());
        out.MoveActions.push_back(move.isAccepted() ? move.dropAction() : Qt::IgnoreAction);
    }
    if (!drop) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(target, &leave);
        return out;
    }
    QDropEvent ev(points.back(), allowed, data, Qt::LeftButton, keys);
    QApplication::sendEvent(target, &ev);
    out.Dropped = true;
    out.DropAccepted = ev.isAccepted();
    out.DropAction = ev.isAccepted() ? ev.dropAction() : Qt::IgnoreAction;
    return out;
}

// While alive, every drag started through the drag runner is carried to
// `target` over `points` (widget coordinates) and dropped there; the source
// gets the feedback of every move. The drags' data stay readable in Data.
class CarryDragsTo {
public:
    CarryDragsTo(QWidget* target, std::vector<QPoint> points, Qt::KeyboardModifiers keys = Qt::NoModifier)
        : m_target(target), m_points(std::move(points)), m_keys(keys)
    {
        SetDragRunner([this](QDrag& drag, Qt::DropActions allowed) {
            ++Drags;
            Data.clear();
            for (const QString& f : drag.mimeData()->formats()) Data.emplace_back(f, drag.mimeData()->data(f));
            Last = SendDrag(m_target, drag.mimeData(), m_points, allowed, m_keys);
            for (Qt::DropAction a : Last.MoveActions) emit drag.actionChanged(a);
            if (!Last.EnterAccepted) emit drag.actionChanged(Qt::IgnoreAction);
            return Last.DropAction;
        });
    }
    ~CarryDragsTo() { SetDragRunner({}); }
    CarryDragsTo(const CarryDragsTo&) = delete;
    CarryDragsTo& operator=(const CarryDragsTo&) = delete;

    int Drags = 0;
    DragOutcome Last;
    std::vector<std::pair<QString, QByteArray>> Data;

private:
    QWidget* m_target;
    std::vector<QPoint> m_points;
    Qt::KeyboardModifiers m_keys;
};
