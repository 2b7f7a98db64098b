#include "dropdown/ExtMemoDropDown.h"

#include "controls/ExtDropDownDraw.h"

#include <QFocusEvent>
#include <QMenu>

QStringList TextToLines(const QString& text)
{
    QStringList lines;
    QString line;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << line;
            line.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty()) lines << line;
    return lines;
}

QString LinesToText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines) text += line + QStringLiteral("\r\n");
    return text;
}

namespace {

Qt::ScrollBarPolicy Policy(TScrollStyle style, bool horizontal)
{
    using enum TScrollStyle;
    const bool on = style == ssBoth || (horizontal ? style == ssHorizontal : style == ssVertical);
    return on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
}

} // namespace

TExtMemoDropDown::TExtMemoDropDown(QWidget* parent) : TExtCustomDropDown(parent)
{
    CreateDropDownForm();
    SetMemoScrollBars(TScrollStyle::ssNone);
    SetMemoReadOnly(false);
    SetAutoDrop(false);
}

void TExtMemoDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (!DropDownForm()) return;
    if (!FMemo) {
        FMemo = new QPlainTextEdit(DropDownForm());
        FMemo->resize(FMemo->width(), 100);
        FMemo->setFrameShape(QFrame::NoFrame);
        QObject::connect(FMemo, &QPlainTextEdit::textChanged, this, [this] {
            if (OnMemoChange) OnMemoChange(this);
        });
    }
    SetControl(FMemo);
}

void TExtMemoDropDown::FillMemo()
{
    if (!FMemo) return;
    FMemo->setPlainText(FMemoText.join(QLatin1Char('\n')));
}

void TExtMemoDropDown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    if (DropDownForm()) DropDownForm()->FCancelOnDeActivate = false;
    if (!FMemo) return;
    FillMemo();
    FMemo->setContextMenuPolicy(FMemoPopup ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
    QObject::disconnect(FMemo, &QWidget::customContextMenuRequested, nullptr, nullptr);
    if (QMenu* menu = FMemoPopup)
        QObject::connect(FMemo, &QWidget::customContextMenuRequested, menu, [this, menu](QPoint p) { menu->popup(FMemo->mapToGlobal(p)); });
    FMemo->setHorizontalScrollBarPolicy(Policy(FMemoScrollBars, true));
    FMemo->setVerticalScrollBarPolicy(Policy(FMemoScrollBars, false));
    // Without a horizontal bar long lines wrap, as a memo without one does.
    FMemo->setLineWrapMode(Policy(FMemoScrollBars, true) == Qt::ScrollBarAlwaysOn ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    FMemo->setReadOnly(FMemoReadOnly);
}

void TExtMemoDropDown::DoHideDropDown(bool cancel)
{
    const bool autoDrop = FAutoDrop;
    FAutoDrop = false;
    if (cancel && FMemo) FillMemo();
    // The base puts its remembered text back on cancel; that text is not a
    // new MemoText, and the edit then shows MemoText again.
    const bool internal = FInternalUpdate;
    FInternalUpdate = true;
    TExtCustomDropDown::DoHideDropDown(cancel);
    FInternalUpdate = internal;
    if (cancel) RefreshDisplay();
    FAutoDrop = autoDrop;
}

void TExtMemoDropDown::DropDownFormHide()
{
    TExtCustomDropDown::DropDownFormHide();
    if (FMemo) FMemoText = TextToLines(FMemo->toPlainText());
    RefreshDisplay();
    setSelection(0, 0);
    setCursorPosition(0);
}

void TExtMemoDropDown::SetMemoText(const QStringList& value)
{
    FMemoText = value;
    MemoTextChanged();
    FillMemo();
}

void TExtMemoDropDown::MemoTextChanged() { RefreshDisplay(); }

void TExtMemoDropDown::SetMemoReadOnly(bool value)
{
    FMemoReadOnly = value;
    if (FMemo && DroppedDown()) FMemo->setReadOnly(value);
}

void TExtMemoDropDown::RefreshDisplay()
{
    QString display;
    if (FMemoText.isEmpty() || EditorEnabled()) {
        display = LinesToText(FMemoText);
    } else {
        const QString first = FMemoText.first();
        QImage scratch(1, 1, QImage::Format_ARGB32);
        TCanvas canvas(&scratch);
        canvas.SetFont(font());
        const int room = EditRect().width();
        if (TextExtent(canvas, first).width() < room)
            display = FMemoText.size() > 1 ? first + QStringLiteral("...") : first;
        else
            display = EllipsizeText(canvas, first, room, true);
    }
    const bool internal = FInternalUpdate;
    FInternalUpdate = true;
    SetTextDirect(display);
    FInternalUpdate = internal;
}

void TExtMemoDropDown::Change()
{
    if (!FInternalUpdate) FMemoText = TextToLines(Text());
    TExtCustomDropDown::Change();
}

void TExtMemoDropDown::ControlKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_A && (shift & Qt::ControlModifier) && FMemo) FMemo->selectAll();
    if ((shift & Qt::AltModifier) || key == Qt::Key_Escape || key == Qt::Key_F4) TExtCustomDropDown::ControlKeyDown(key, shift);
}

void TExtMemoDropDown::ControlKeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if ((shift & Qt::AltModifier) || key == Qt::Key_Escape || key == Qt::Key_F4) TExtCustomDropDown::ControlKeyUp(key, shift);
}

void TExtMemoDropDown::ControlKeyPress(QChar& key)
{
    // The Alt state of a typed character is not carried here; Escape is
    // the one character the edit takes from the memo.
    if (key == QChar(27)) TExtCustomDropDown::ControlKeyPress(key);
}

void TExtMemoDropDown::focusInEvent(QFocusEvent* event)
{
    TExtCustomDropDown::focusInEvent(event);
    if (FAutoDrop) DoShowDropDown();
}
