#include "platform/MaskEdit.h"

#include "platform/Application.h"
#include "platform/Menus.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QDropEvent>
#include <QProxyStyle>
#include <QRegularExpression>
#include <memory>

// ---------------------------------------------------------------------------
// Edit masks

namespace {

// Characters with a meaning in Qt's input masks: a literal one is escaped.
bool IsQtMaskChar(QChar c)
{
    static const QString meta = QStringLiteral("AaNnXx90Dd#HhBb><!;\\[]{}");
    return meta.contains(c);
}

// The fields of a mask, split at the semicolons that are not escaped.
QStringList MaskFields(const QString& mask)
{
    QStringList fields;
    QString cur;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (mask[i] == '\\' && i + 1 < mask.size()) {
            cur += mask[i];
            cur += mask[++i];
        } else if (mask[i] == ';') {
            fields << cur;
            cur.clear();
        } else {
            cur += mask[i];
        }
    }
    fields << cur;
    return fields;
}

} // namespace

TEditMask ParseEditMask(const QString& mask, const FormatSettings& fs)
{
    TEditMask r;
    r.Mask = mask;
    if (mask.isEmpty()) return r;
    const QStringList fields = MaskFields(mask);
    const QString body = fields[0];
    if (fields.size() > 1 && fields[1] == QLatin1String("0")) r.SaveLiterals = false;
    if (fields.size() > 2 && !fields[2].isEmpty()) r.Blank = fields[2][0];

    QString qt;
    auto literal = [&](QChar c) {
        if (IsQtMaskChar(c)) qt += '\\';
        qt += c;
        r.Literal.push_back(true);
    };
    auto input = [&](char q) {
        qt += QChar(q);
        r.Literal.push_back(false);
    };
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        switch (c.unicode()) {
        case '!': break;
        case '>': qt += '>'; break;
        case '<':
            if (i + 1 < body.size() && body[i + 1] == '>') {
                qt += '!';
                ++i;
            } else {
                qt += '<';
            }
            break;
        case '\\':
            if (i + 1 < body.size()) literal(body[++i]);
            break;
        case 'L': input('A'); break;
        case 'l': input('a'); break;
        case 'A': input('N'); break;
        case 'a': input('n'); break;
        case 'C': input('X'); break;
        case 'c': input('x'); break;
        case '0': input('9'); break;
        case '9': input('0'); break;
        case '#': input('#'); break;
        case ':': literal(fs.TimeSeparator); break;
        case '/': literal(fs.DateSeparator); break;
        case '_': literal(' '); break;
        default: literal(c); break;
        }
    }
    qt += ';';
    qt += r.Blank;
    r.InputMask = qt;
    return r;
}

QString MaskedText(const QString& shown, const TEditMask& mask)
{
    if (mask.InputMask.isEmpty()) return shown;
    QString r;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const bool lit = size_t(i) < mask.Literal.size() && mask.Literal[size_t(i)];
        if (lit && !mask.SaveLiterals) continue;
        r += (!lit && shown[i] == mask.Blank) ? QChar(' ') : shown[i];
    }
    return r;
}

// ---------------------------------------------------------------------------

TMaskEdit::TMaskEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(32767);
    GuardedConnect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange) OnChange(this);
    });
}

TMaskEdit::~TMaskEdit() = default;

void TMaskEdit::SetAutoSize(bool v)
{
    m_autoSize = v;
    if (v) AdjustHeight();
}

void TMaskEdit::SetBorderStyle(TBorderStyle v)
{
    m_borderStyle = v;
    setFrame(v == TBorderStyle::bsSingle);
    if (m_autoSize) AdjustHeight();
    RecreateWnd();
}

void TMaskEdit::SetMaxLength(int v)
{
    m_maxLength = v < 0 ? 0 : v;
    setMaxLength(m_maxLength == 0 ? 32767 : m_maxLength);
}

void TMaskEdit::SetEditMask(const QString& mask)
{
    const QString text = Text();
    m_mask = ParseEditMask(mask, SystemFormatSettings());
    setInputMask(m_mask.InputMask);
    setText(text);
}

QString TMaskEdit::Text() const { return m_mask.InputMask.isEmpty() ? text() : MaskedText(displayText(), m_mask); }

void TMaskEdit::SetText(const QString& text) { setText(text); }

int TMaskEdit::SelStart() const { return hasSelectedText() ? selectionStart() : cursorPosition(); }

void TMaskEdit::SetSelStart(int pos)
{
    deselect();
    setCursorPosition(pos);
}

int TMaskEdit::SelLength() const { return hasSelectedText() ? int(selectedText().size()) : 0; }

void TMaskEdit::SetSelLength(int length)
{
    const int start = SelStart();
    if (length <= 0)
        SetSelStart(start);
    else
        setSelection(start, length);
}

void TMaskEdit::SetSelText(const QString& text) { insert(text); }

void TMaskEdit::SetEditRect(const TRect& r)
{
    m_editRect = r;
    m_hasEditRect = true;
    ApplyEditRect();
}

void TMaskEdit::ApplyEditRect()
{
    if (!m_hasEditRect) return;
    // The frame of the line edit lies outside the client area; the rectangle
    // gives the margins within it.
    const int left = std::max(0, m_editRect.Left);
    const int top = std::max(0, m_editRect.Top);
    const int right = std::max(0, ClientWidth() - m_editRect.Right);
    const int bottom = std::max(0, ClientHeight() - m_editRect.Bottom);
    setTextMargins(left, top, right, bottom);
}

void TMaskEdit::RecreateWnd()
{
    setAlignment(CreateAlignment() | Qt::AlignVCenter);
    CreateWnd();
    update();
}

void TMaskEdit::Paste()
{
    WMPaste(QGuiApplication::clipboard()->text());
}

void TMaskEdit::Cut() { WMCut(); }

bool TMaskEdit::WMKeyDown(int, Qt::KeyboardModifiers) { return false; }

void TMaskEdit::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TMaskEdit::KeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TMaskEdit::WMChar(QChar&, bool) {}

void TMaskEdit::KeyPress(QChar& key)
{
    if (OnKeyPress) OnKeyPress(this, key);
}

QString TMaskEdit::TextAfterPaste(const QString& pasted) const
{
    const QString t = text();
    const int start = SelStart();
    return t.left(start) + pasted + t.mid(start + SelLength());
}

void TMaskEdit::WMPaste(const QString& text)
{
    if (isReadOnly() || text.isEmpty()) return;
    // One line only: the text up to the first line break.
    QString line = text;
    const qsizetype br = line.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (br >= 0) line.truncate(br);
    insert(line);
}

void TMaskEdit::WMCut()
{
    if (isReadOnly() || !hasSelectedText()) return;
    cut();
}

void TMaskEdit::CMEnter()
{
    if (m_autoSelect && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) selectAll();
    if (OnEnter) OnEnter(this);
}

void TMaskEdit::CMExit()
{
    if (OnExit) OnExit(this);
}

void TMaskEdit::AdjustHeight()
{
    const int h = QFontMetrics(font()).height();
    resize(width(), h + (m_borderStyle == TBorderStyle::bsSingle ? 8 : 2));
}

void TMaskEdit::EnterChar(QChar key, bool keypad, QKeyEvent* original)
{
    WMChar(key, keypad);
    if (key.isNull()) return;
    KeyPress(key);
    if (key.isNull()) return;
    switch (key.unicode()) {
    case 1: selectAll(); return;
    case 3: copy(); return;
    case 8:
        if (!isReadOnly()) backspace();
        return;
    case 22: Paste(); return;
    case 24: WMCut(); return;
    case 26:
        if (!isReadOnly()) undo();
        return;
    default: break;
    }
    if (key.unicode() < 32) {
        if (original) QLineEdit::keyPressEvent(original);
        return;
    }
    if (!isReadOnly()) insert(QString(key));
}

void TMaskEdit::keyPressEvent(QKeyEvent* event)
{
    // No exception leaves the event handler.
    Guard([&] {
        const Qt::KeyboardModifiers shift = event->modifiers();
        const int original = event->key();
        if (WMKeyDown(original, shift)) {
            event->accept();
            return;
        }
        int key = original;
        KeyDown(key, shift);
        if (key == 0 || key != original) {
            event->accept();
            return;
        }
        const bool ctrl = shift & Qt::ControlModifier;
        const bool alt = shift & Qt::AltModifier;
        if (key == Qt::Key_Insert && (shift & Qt::ShiftModifier) && !ctrl) {
            Paste();
            return;
        }
        if (key == Qt::Key_Delete && (shift & Qt::ShiftModifier) && !ctrl) {
            WMCut();
            return;
        }
        // The character the key types, control characters included.
        QChar c;
        if (ctrl && !alt && key >= Qt::Key_A && key <= Qt::Key_Z)
            c = QChar(key - Qt::Key_A + 1);
        else if (key == Qt::Key_Backspace)
            c = QChar(8);
        else if (key == Qt::Key_Return || key == Qt::Key_Enter)
            c = QChar(13);
        else if (key == Qt::Key_Escape)
            c = QChar(27);
        else if (!ctrl && !event->text().isEmpty() && event->text()[0].isPrint())
            c = event->text()[0];
        if (!c.isNull()) {
            EnterChar(c, shift & Qt::KeypadModifier, event);
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    });
}

void TMaskEdit::keyReleaseEvent(QKeyEvent* event)
{
    // No exception leaves the event handler.
    Guard([&] {
        int key = event->key();
        KeyUp(key, event->modifiers());
        if (key != 0) QLineEdit::keyReleaseEvent(event);
    });
}

void TMaskEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // No exception leaves the event handler.
    Guard([&] {
        const QString commit = event->commitString();
        if (commit.isEmpty()) {
            QLineEdit::inputMethodEvent(event);
            return;
        }
        for (QChar c : commit) EnterChar(c, false, nullptr);
        event->accept();
    });
}

void TMaskEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // No exception leaves the event handler.
    Guard([&] {
        // The usual editing commands; the ones that change the text take the same
        // doors as the keys.
        QMenu menu(this);
        const bool editable = !isReadOnly();
        auto add = [&](const QString& text, const char* name, bool enabled, std::function<void()> run) {
            QAction* a = menu.addAction(text);
            a->setObjectName(QString::fromLatin1(name));
            a->setEnabled(enabled);
            connect(a, &QAction::triggered, this, std::move(run));
        };
        add(tr("&Undo"), "edit-undo", editable && isUndoAvailable(), [this] { undo(); });
        add(tr("&Redo"), "edit-redo", editable && isRedoAvailable(), [this] { redo(); });
        menu.addSeparator();
        add(tr("Cu&t"), "edit-cut", editable && hasSelectedText(), [this] { WMCut(); });
        add(tr("&Copy"), "edit-copy", hasSelectedText(), [this] { copy(); });
        add(tr("&Paste"), "edit-paste", editable && !QGuiApplication::clipboard()->text().isEmpty(), [this] { Paste(); });
        add(tr("Delete"), "edit-delete", editable && hasSelectedText(), [this] {
            int key = Qt::Key_Delete;
            KeyDown(key, Qt::NoModifier);
            if (key == Qt::Key_Delete && !isReadOnly()) del();
        });
        menu.addSeparator();
        add(tr("Select All"), "select-all", !text().isEmpty(), [this] { selectAll(); });
        if (QAction* chosen = TrackPopupMenu(menu, event->globalPos())) chosen->trigger();
        event->accept();
    });
}

void TMaskEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // No exception leaves the event handler.
    Guard([&] {
        if (event->button() == Qt::MiddleButton) {
            // The selection paste of X11 desktops.
            QClipboard* cb = QGuiApplication::clipboard();
            if (cb->supportsSelection()) {
                setCursorPosition(cursorPositionAt(event->position().toPoint()));
                WMPaste(cb->text(QClipboard::Selection));
            }
            event->accept();
            return;
        }
        QLineEdit::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick) OnClick(this);
    });
}

void TMaskEdit::dropEvent(QDropEvent* event)
{
    // No exception leaves the event handler.
    Guard([&] {
        if (!event->mimeData()->hasText()) {
            event->ignore();
            return;
        }
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        WMPaste(event->mimeData()->text());
        event->setDropAction(Qt::CopyAction);
        event->accept();
    });
}

void TMaskEdit::focusInEvent(QFocusEvent* event)
{
    // No exception leaves the event handler.
    Guard([&] {
        // The line edit selects all when tabbed into; AutoSelect decides here.
        const int caret = cursorPosition();
        QLineEdit::focusInEvent(event);
        if (!m_autoSelect && hasSelectedText()) {
            deselect();
            setCursorPosition(caret);
        }
        CMEnter();
    });
}

void TMaskEdit::focusOutEvent(QFocusEvent* event)
{
    // No exception leaves the event handler.
    Guard([&] {
        QLineEdit::focusOutEvent(event);
        CMExit();
    });
}

void TMaskEdit::resizeEvent(QResizeEvent* event)
{
    // No exception leaves the event handler.
    Guard([&] {
        QLineEdit::resizeEvent(event);
        WMSize();
        ApplyEditRect();
    });
}

void TMaskEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_autoSize) AdjustHeight();
}

// ---------------------------------------------------------------------------
// Password characters

namespace {

class TPasswordCharStyle : public QProxyStyle {
public:
    explicit TPasswordCharStyle(QChar c) : m_char(c) {}
    QChar Char() const { return m_char; }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter) return m_char.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar m_char;
};

} // namespace

void SetEditPasswordChar(QLineEdit* edit, QChar c)
{
    if (!edit) return;
    if (c.isNull()) {
        edit->setEchoMode(QLineEdit::Normal);
        return;
    }
    auto* current = dynamic_cast<TPasswordCharStyle*>(edit->style());
    if (!current || current->Char() != c) {
        // The style lives as long as the edit (it is its child).
        auto* style = new TPasswordCharStyle(c);
        style->setParent(edit);
        edit->setStyle(style);
        if (current) current->deleteLater();
    }
    edit->setEchoMode(QLineEdit::Password);
}

QChar EditPasswordChar(const QLineEdit* edit)
{
    if (!edit || edit->echoMode() != QLineEdit::Password) return QChar();
    return QChar(char16_t(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit)));
}
