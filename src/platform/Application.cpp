#include "platform/Application.h"

#include "platform/Dialogs.h"
#include "platform/Exception.h"

void HandleException(const std::exception& e)
{
    QString text;
    if (auto* ex = dynamic_cast<const Exception*>(&e))
        text = ex->Message();
    else
        text = QString::fromUtf8(e.what());
    MessageDlg(text, TMsgDlgType::mtError, mbOK);
}

bool Guard(const std::function<void()>& f)
{
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        MessageDlg(QStringLiteral("Unknown error"), TMsgDlgType::mtError, mbOK);
    }
    return false;
}

namespace {
BeepHandler& CurrentBeep()
{
    static BeepHandler handler;
    return handler;
}
} // namespace

BeepHandler SetBeepHandler(BeepHandler handler)
{
    BeepHandler previous = std::move(CurrentBeep());
    CurrentBeep() = std::move(handler);
    return previous;
}

void Beep()
{
    if (CurrentBeep())
        CurrentBeep()();
    else
        QApplication::beep();
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    Guard([&] { result = QApplication::notify(receiver, event); });
    return result;
}
