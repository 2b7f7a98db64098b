#pragma once
// Message boxes. Every box of the program goes through MessageDlg (or one of
// the helpers below), which calls a replaceable handler: the default one shows
// a modal QMessageBox, tests install one that scripts the answers.
#include <QString>
#include <functional>

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Button set of a box; combine with |.
enum TMsgDlgBtn : int {
    mbYes = 1 << 0,
    mbNo = 1 << 1,
    mbOK = 1 << 2,
    mbCancel = 1 << 3,
    mbAbort = 1 << 4,
    mbRetry = 1 << 5,
    mbIgnore = 1 << 6,
    mbAll = 1 << 7,
    mbNoToAll = 1 << 8,
    mbYesToAll = 1 << 9,
    mbClose = 1 << 10,
};
using TMsgDlgButtons = int;
constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

// Modal results, with the values of the original platform.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
    mrClose = 11,
};

// What one box asks. `caption` is the title the box shows.
struct MessageRecord {
    QString text;
    TMsgDlgType type = TMsgDlgType::mtInformation;
    TMsgDlgButtons buttons = mbOK;
    QString caption;
};

// Returns the modal result of the button pressed.
using MessageHandler = std::function<int(const MessageRecord&)>;

// Installs a handler and returns the one it replaces. An empty handler puts
// the default (QMessageBox) back.
MessageHandler SetMessageHandler(MessageHandler handler);

// Shows a box with the caption of its type ("Warning", "Error",
// "Information", "Confirmation") and returns the modal result.
int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);

// A box with a caption of the caller's choice.
int MessageBoxEx(const QString& text, const QString& caption, TMsgDlgType type, TMsgDlgButtons buttons);

// An information box with an OK button and the application's title.
void ShowMessage(const QString& text);

// The caption MessageDlg gives a box of this type.
QString MessageCaption(TMsgDlgType type);
