#pragma once
// The application object and its default exception handler: an exception
// that leaves an event handler is shown in an error box and the program goes
// on with the next event.
#include <QApplication>
#include <functional>
#include <type_traits>
#include <utility>
#include <exception>

// Shows the message of `e` in an error box (MessageDlg, so tests see it).
void HandleException(const std::exception& e);

// Runs `f`; an exception that leaves it goes to HandleException.
// Returns false when one did.
bool Guard(const std::function<void()>& f);

// The desktop's default beep (QApplication::beep). Tests count beeps by
// installing a handler; SetBeepHandler returns the one it replaces, and an
// empty handler puts back the default.
using BeepHandler = std::function<void()>;
BeepHandler SetBeepHandler(BeepHandler handler);
void Beep();

// Calls a handler with the signal's arguments, or with none when it takes none.
template <typename Handler, typename... Args>
void CallWithArgumentsOrNone(Handler& handler, Args&&... args)
{
    if constexpr (std::is_invocable_v<Handler&, Args...>)
        handler(std::forward<Args>(args)...);
    else
        handler();
}

// Connects a signal to a handler that runs guarded: an exception from the
// handler is shown through the default handler and never travels through
// Qt's frames (which do not support it). The handler takes either all the
// signal's arguments or none. Windows connect their handlers with this.
template <typename Sender, typename Signal, typename Handler>
QMetaObject::Connection GuardedConnect(const Sender* sender, Signal signal, const QObject* context, Handler handler)
{
    // The return type is spelled out so that asking whether the slot can take
    // fewer arguments (as connect does) does not compile its body.
    return QObject::connect(sender, signal, context, [handler = std::move(handler)](auto&&... args) mutable -> void {
        Guard([&] { CallWithArgumentsOrNone(handler, std::forward<decltype(args)>(args)...); });
    });
}

// The application object: an exception that still reaches the event
// dispatch (it should not: handlers are guarded where they are entered) is
// shown and the event abandoned, as the last line of defence.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    // Every event passes here: an exception from a handler is shown and the
    // event is abandoned.
    bool notify(QObject* receiver, QEvent* event) override;
};
