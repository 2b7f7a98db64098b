#pragma once
// The memo drop-down: a one-line edit standing for a multi-line text,
// MemoText, which is edited in a memo in the pop-up. Without the editor the
// edit shows the first line, shortened to fit, with "..." when more follows.
//
// MemoText keeps its lines without line breaks; as one text its lines are
// joined with CR LF, each followed by one. The memo widget works with LF;
// texts are converted where they pass between the two.
#include "dropdown/ExtDropDown.h"
#include "platform/Grids.h"

#include <QPlainTextEdit>
#include <QStringList>

class QMenu;

// The lines of a text broken at CR LF, CR or LF; a break at the very end
// ends the last line and starts none.
QStringList TextToLines(const QString& text);
// Every line followed by CR LF.
QString LinesToText(const QStringList& lines);

class TExtMemoDropDown : public TExtCustomDropDown {
public:
    explicit TExtMemoDropDown(QWidget* parent = nullptr);

    const QStringList& MemoText() const { return FMemoText; }
    // Copies the lines, refreshes the edit and, when the memo exists, its lines.
    void SetMemoText(const QStringList& value);
    // MemoText as one text (see LinesToText).
    QString MemoTextString() const { return LinesToText(FMemoText); }
    QMenu* MemoPopup() const { return FMemoPopup; }
    void SetMemoPopup(QMenu* value) { FMemoPopup = value; }
    TScrollStyle MemoScrollBars() const { return FMemoScrollBars; }
    void SetMemoScrollBars(TScrollStyle value) { FMemoScrollBars = value; }
    bool MemoReadOnly() const { return FMemoReadOnly; }
    void SetMemoReadOnly(bool value);
    // Opens the pop-up when the edit takes the focus.
    bool AutoDrop() const { return FAutoDrop; }
    void SetAutoDrop(bool value) { FAutoDrop = value; }
    QPlainTextEdit* Memo() const { return FMemo; }

    std::function<void(TExtMemoDropDown* sender)> OnMemoChange;

    // Shows MemoText in the edit (see the class comment).
    void RefreshDisplay();

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool cancel) override;
    void DropDownFormHide() override;
    void ControlKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void ControlKeyUp(int& key, Qt::KeyboardModifiers shift) override;
    void ControlKeyPress(QChar& key) override;
    // The edit's line becomes MemoText (unless the edit is being refreshed).
    void Change() override;

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void MemoTextChanged();
    // The memo's lines from MemoText, and back.
    void FillMemo();

    QMenu* FMemoPopup = nullptr;
    QStringList FMemoText;
    QPlainTextEdit* FMemo = nullptr;
    TScrollStyle FMemoScrollBars = TScrollStyle::ssNone;
    bool FMemoReadOnly = false;
    bool FInternalUpdate = false;
    bool FAutoDrop = false;
};
