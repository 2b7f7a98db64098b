#pragma once
// The application object and its default exception handler: an exception
// that leaves an event handler is shown in an error box and the program goes
// on with the next event.
#include <QApplication>
#include <functional>
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

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    // Every event passes here: an exception from a handler is shown and the
    // event is abandoned.
    bool notify(QObject* receiver, QEvent* event) override;
};
