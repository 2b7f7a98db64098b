#pragma once
// TMaskEdit: the single-line edit with an optional edit mask that the cell
// editors stand on, over QLineEdit.
//
// Every way text can enter the edit passes one of two doors, so that a
// derived editor sees all of them:
// - characters (typed keys, control characters such as Ctrl+C = 3 and
//   Ctrl+V = 22, Backspace = 8, input-method commits) go through WMChar,
//   then KeyPress, then the default entry;
// - pasted text (Ctrl+V, Shift+Insert, the context menu, the middle mouse
//   button, drops) goes through WMPaste; cutting through WMCut.
// Keys go through WMKeyDown (the message level: true consumes the key before
// anything else sees it), then KeyDown (the key may be changed or cleared).
//
// Edit masks use the platform's syntax (see ParseEditMask).
#include "platform/Graphics.h"
#include "platform/SysUtils.h"

#include <QLineEdit>
#include <functional>
#include <vector>

// ---------------------------------------------------------------------------
// Edit masks: "mask;save;blank". Mask characters:
//   L letter   l letter or nothing     A letter or digit  a ... or nothing
//   C any      c any or nothing        0 digit            9 digit or nothing
//   # digit, sign or nothing           > upper case on    < lower case on
//   <> case conversion off             ! (leading blanks; no effect here)
//   \x the literal x                   _ a blank literal
//   : the time separator               / the date separator
// Every other character is a literal. The second field "0" keeps the
// literals out of the text (any other value, or none, keeps them in); the
// third field's first character shows an unfilled position ("_" by default).
struct TEditMask {
    QString Mask;             // the mask as given
    QString InputMask;        // the same in Qt's input-mask syntax ("" for none)
    bool SaveLiterals = true; // the text holds the literals
    QChar Blank = '_';        // shown at unfilled positions
    std::vector<bool> Literal; // per shown position: a literal
};
TEditMask ParseEditMask(const QString& mask, const FormatSettings& fs);
// The text of a masked edit from what it shows: unfilled positions become
// blanks, literals are left out unless the mask saves them.
QString MaskedText(const QString& shown, const TEditMask& mask);

// The password character of a line edit: every character shows as c (a
// null character shows the text itself). The widget's own style is wrapped
// so that it answers c for the password character.
void SetEditPasswordChar(QLineEdit* edit, QChar c);
QChar EditPasswordChar(const QLineEdit* edit);

// ---------------------------------------------------------------------------

class TMaskEdit : public QLineEdit {
public:
    explicit TMaskEdit(QWidget* parent = nullptr);
    ~TMaskEdit() override;

    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool v) { m_autoSelect = v; }
    // Keeps the height fitted to the font.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle v);
    bool Ctl3D() const { return m_ctl3D; }
    void SetCtl3D(bool v) { m_ctl3D = v; }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool v) { setReadOnly(v); }
    // 0: no limit.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int v);
    QString EditMask() const { return m_mask.Mask; }
    void SetEditMask(const QString& mask);

    // The text (for a masked edit see MaskedText) and the text as shown.
    QString Text() const;
    void SetText(const QString& text);
    QString EditText() const { return displayText(); }

    int SelStart() const;
    void SetSelStart(int pos);
    int SelLength() const;
    void SetSelLength(int length);
    QString SelText() const { return selectedText(); }
    // Replaces the selection (a paste that bypasses the paste door).
    void SetSelText(const QString& text);
    void SelectAll() { selectAll(); }

    // The area the text is shown in, in client coordinates; outside it the
    // edit keeps margins.
    TRect EditRect() const { return m_editRect; }
    void SetEditRect(const TRect& r);

    // Applies alignment and layout again, as re-creating the window does.
    void RecreateWnd();

    // The paste and cut doors.
    void Paste();
    void Cut();

    // The client area lies inside the border: child controls and the edit
    // rectangle are placed in client coordinates, which start at
    // (BorderWidth(), BorderWidth()) of the widget.
    int BorderWidth() const { return m_borderStyle == TBorderStyle::bsSingle ? 2 : 0; }
    int ClientWidth() const { return width() - 2 * BorderWidth(); }
    int ClientHeight() const { return height() - 2 * BorderWidth(); }

    std::function<void(QObject* Sender)> OnChange;
    std::function<void(QObject* Sender)> OnClick;
    std::function<void(QObject* Sender)> OnEnter;
    std::function<void(QObject* Sender)> OnExit;
    std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)> OnKeyDown;
    std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)> OnKeyUp;
    std::function<void(QObject* Sender, QChar& Key)> OnKeyPress;

protected:
    // Message level, before KeyDown: true consumes the key.
    virtual bool WMKeyDown(int key, Qt::KeyboardModifiers shift);
    // The key may be changed (no further default handling) or cleared.
    virtual void KeyDown(int& key, Qt::KeyboardModifiers shift);
    virtual void KeyUp(int& key, Qt::KeyboardModifiers shift);
    // A character at the message level (`keypad`: typed on the numeric
    // keypad); clearing it drops it.
    virtual void WMChar(QChar& key, bool keypad);
    // A character: clearing it drops it.
    virtual void KeyPress(QChar& key);
    // Text to paste at the caret over the selection.
    virtual void WMPaste(const QString& text);
    virtual void WMCut();
    // The size changed.
    virtual void WMSize() {}
    // The edit got or lost the focus (after the base handling).
    virtual void CMEnter();
    virtual void CMExit();
    // Alignment of the text when the window is (re-)created.
    virtual Qt::Alignment CreateAlignment() const { return Qt::AlignLeft; }
    // Runs after the window is (re-)created.
    virtual void CreateWnd() {}
    // Fits the height to the font.
    virtual void AdjustHeight();

    // The one character entry; `original` is the key event it came from.
    void EnterChar(QChar key, bool keypad, QKeyEvent* original);
    // The text that a paste of `text` would leave.
    QString TextAfterPaste(const QString& text) const;

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyEditRect();

    bool m_autoSelect = true;
    bool m_autoSize = true;
    bool m_ctl3D = true;
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
    int m_maxLength = 0;
    TEditMask m_mask;
    TRect m_editRect;
    bool m_hasEditRect = false;
};
