#include "platform/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace {

int ShowQtBox(const MessageRecord& r)
{
    QMessageBox box;
    box.setWindowTitle(r.caption);
    box.setText(r.text);
    switch (r.type) {
    case TMsgDlgType::mtWarning: box.setIcon(QMessageBox::Warning); break;
    case TMsgDlgType::mtError: box.setIcon(QMessageBox::Critical); break;
    case TMsgDlgType::mtInformation: box.setIcon(QMessageBox::Information); break;
    case TMsgDlgType::mtConfirmation: box.setIcon(QMessageBox::Question); break;
    case TMsgDlgType::mtCustom: box.setIcon(QMessageBox::NoIcon); break;
    }
    // "All" has no standard button of its own: it gets a button of its own
    // text, so that it is not confused with "Yes to All".
    struct Map { int flag; QMessageBox::StandardButton qt; int result; };
    static const Map maps[] = {
        {mbYes, QMessageBox::Yes, mrYes},         {mbNo, QMessageBox::No, mrNo},
        {mbOK, QMessageBox::Ok, mrOk},            {mbCancel, QMessageBox::Cancel, mrCancel},
        {mbAbort, QMessageBox::Abort, mrAbort},   {mbRetry, QMessageBox::Retry, mrRetry},
        {mbIgnore, QMessageBox::Ignore, mrIgnore}, {mbAll, QMessageBox::NoButton, mrAll},
        {mbNoToAll, QMessageBox::NoToAll, mrNoToAll}, {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
        {mbClose, QMessageBox::Close, mrClose},
    };
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    for (const Map& m : maps) {
        if (!(r.buttons & m.flag)) continue;
        QAbstractButton* b = m.qt == QMessageBox::NoButton ? box.addButton(QStringLiteral("All"), QMessageBox::AcceptRole)
                                                           : box.addButton(m.qt);
        buttons.emplace_back(b, m.result);
    }
    if (buttons.empty()) buttons.emplace_back(box.addButton(QMessageBox::Ok), mrOk);
    box.exec();
    for (const auto& [button, result] : buttons)
        if (box.clickedButton() == button) return result;
    // Closed by the title bar: Cancel when offered, else the first button.
    if (r.buttons & mbCancel) return mrCancel;
    if (r.buttons & mbNo) return mrNo;
    return mrOk;
}

MessageHandler& Handler()
{
    static MessageHandler h;
    return h;
}

} // namespace

MessageHandler SetMessageHandler(MessageHandler handler)
{
    MessageHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}

QString MessageCaption(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return QStringLiteral("Warning");
    case TMsgDlgType::mtError: return QStringLiteral("Error");
    case TMsgDlgType::mtInformation: return QStringLiteral("Information");
    case TMsgDlgType::mtConfirmation: return QStringLiteral("Confirmation");
    case TMsgDlgType::mtCustom: break;
    }
    return QApplication::applicationName();
}

int MessageBoxEx(const QString& text, const QString& caption, TMsgDlgType type, TMsgDlgButtons buttons)
{
    MessageRecord r{text, type, buttons, caption};
    if (Handler()) return Handler()(r);
    return ShowQtBox(r);
}

int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons, int)
{
    return MessageBoxEx(text, MessageCaption(type), type, buttons);
}

void ShowMessage(const QString& text)
{
    MessageBoxEx(text, QApplication::applicationName(), TMsgDlgType::mtInformation, mbOK);
}
