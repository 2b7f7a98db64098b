#include "grid/ExtRichEdit.h"

#include "controls/CellEditors.h"
#include "controls/ExtRichText.h"
#include "grid/ExtGrid.h"
#include "platform/Application.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

TExtRichEdit::TExtRichEdit(TCustomGrid* owner, QWidget* parent) : QTextEdit(parent)
{
    if (owner) {
        FGrid = dynamic_cast<TExtStringGrid*>(owner);
        if (!FGrid) throw EInvalidCast();
    }
    setFrameStyle(QFrame::NoFrame);
    setAcceptRichText(false);  // pasted text comes in plain; formatting is ours
    setTabChangesFocus(false);
    // The edit grows instead of scrolling; a scroll bar would also narrow
    // the text while it grows.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(0);
    // The size request: every change of the document's size.
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this, [this](const QSizeF& s) {
        Guard([&] { RequestResize(QRect(0, 0, int(std::ceil(s.width())), int(std::ceil(s.height())))); });
    });
    connect(this, &QTextEdit::selectionChanged, this, [this] {
        if (FGrid && !FGrid->IsRichEditConverter(this) && FGrid->OnRichEditSelectionChange)
            Guard([&] { FGrid->OnRichEditSelectionChange(FGrid); });
    });
}

TExtRichEdit::~TExtRichEdit() = default;

void TExtRichEdit::ReCreate()
{
    const bool locked = FLocked;
    FLocked = true;
    clear();
    setCurrentCharFormat(QTextCharFormat());
    document()->clearUndoRedoStacks();
    FLocked = locked;
}

void TExtRichEdit::SetOffset(int twips)
{
    QTextCursor c = textCursor();
    SetRichTextOffset(c, twips);
    // Without a selection the offset holds for what is typed next.
    if (!c.hasSelection()) setCurrentCharFormat(c.charFormat());
}

bool TExtRichEdit::SelOffsetIs(int twips) const
{
    QTextCursor c = textCursor();
    int v = 0;
    if (!c.hasSelection()) return RichTextOffset(currentCharFormat()) == twips;
    return SelectionRichTextOffset(c, v) && v == twips;
}

void TExtRichEdit::SelNormal() { SetOffset(0); }
void TExtRichEdit::SelSubscript() { SetOffset(RichSubscriptOffset); }
void TExtRichEdit::SelSuperscript() { SetOffset(RichSuperscriptOffset); }
bool TExtRichEdit::IsSelNormal() const { return SelOffsetIs(0); }
bool TExtRichEdit::IsSelSubscript() const { return SelOffsetIs(RichSubscriptOffset); }
bool TExtRichEdit::IsSelSuperscript() const { return SelOffsetIs(RichSuperscriptOffset); }

void TExtRichEdit::LoadCellText(const QString& text)
{
    if (text.isEmpty()) {
        clear();
    } else if (IsRichText(text)) {
        LoadRichText(text, *document());
    } else {
        QString plain = text;
        plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        setPlainText(plain);
    }
    moveCursor(QTextCursor::Start);
}

QString TExtRichEdit::CellText() const
{
    if (document()->isEmpty()) return {};
    return DocumentToRtf(*document());
}

QString TExtRichEdit::PlainText() const { return DocumentPlainText(*document()); }

void TExtRichEdit::RequestResize(const QRect& r)
{
    if (!FGrid) return;
    if (FGrid->IsRichEditConverter(this)) {
        FReqWidth = r.width();
        FReqHeight = r.height();
        return;
    }
    // The in-place editor grows the row it edits, when it sits in the grid's
    // window and the grid sizes rows while typing.
    if (!parentWidget() || !isVisible() || FLocked || !FGrid->SizeWhileTyping().Height() || !FGrid->EditorMode()) return;
    const int h = r.height();
    const int row = FGrid->Row();
    if (FGrid->RowHeights(row) < h + 5 && FGrid->CellRect(FGrid->Col(), row).Top + h + 5 < FGrid->ClientHeight()) {
        resize(width(), h + 9);
        FGrid->SetRowHeights(row, h + 10);
        // The grid places its editor over the grown cell; the editor keeps
        // its own height.
        resize(width(), h + 9);
        if (FGrid->OnEndRowSize) FGrid->OnEndRowSize(FGrid, row);
    }
}

void TExtRichEdit::HandKeyToGrid(int key, TShiftState shift, bool reopen)
{
    TExtStringGrid* const grid = FGrid;
    grid->SetGridFocusChanging(true);
    Guard([&] {
        if (auto* w = dynamic_cast<QWidget*>(grid->View())) w->setFocus(Qt::OtherFocusReason);
        int k = key;
        grid->DoKeyDown(k, shift);
        if (reopen && !grid->EditorMode()) grid->ShowEditor();
    });
    grid->SetGridFocusChanging(false);
}

void TExtRichEdit::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    TShiftState shift = QtModifiersToShift(e->modifiers());
    const bool inPlace = FGrid && !FGrid->IsRichEditConverter(this);
    if (inPlace && (key == Qt::Key_Tab || key == Qt::Key_Backtab) && FGrid->HasOption(goTabs)) {
        // The grid moves to the next cell and edits it; no tab is typed.
        if (key == Qt::Key_Backtab) shift.Include(TShiftStateItem::ssShift);
        e->accept();
        HandKeyToGrid(VK_TAB, shift, true);
        return;
    }
    QTextEdit::keyPressEvent(e);
    if (inPlace && (key == Qt::Key_Up || key == Qt::Key_Down) && !FGrid->WordWrap() && !FGrid->Multilinecells())
        HandKeyToGrid(key == Qt::Key_Up ? VK_UP : VK_DOWN, shift, false);
}

void TExtRichEdit::focusOutEvent(QFocusEvent* e)
{
    if (FGrid && FGrid->GridFocusChanging()) return;  // the grid moves the focus itself
    if (FGrid && !FGrid->IsRichEditConverter(this) && FGrid->EditorMode()) {
        auto* window = dynamic_cast<QAbstractScrollArea*>(FGrid->View());
        QWidget* const now = QApplication::focusWidget();
        // Back to the grid's own window: the edit ends. A loss to another
        // control is the grid's exit handling.
        if (window && now && (now == window || now == window->viewport())) Guard([&] { FGrid->HideEditor(); });
    }
    QTextEdit::focusOutEvent(e);
}

// ---------------------------------------------------------------------------
// TRichCellEditor

TRichCellEditor::TRichCellEditor(TExtStringGrid* grid) : FEdit(new TExtRichEdit(grid)) { FEdit->hide(); }

TRichCellEditor::~TRichCellEditor()
{
    // The editor owns its control, also once it sits in the grid's viewport.
    delete FEdit.data();
}

void TRichCellEditor::FindGrid()
{
    if (FEdit->Grid()) return;
    for (QWidget* w = FEdit->parentWidget(); w; w = w->parentWidget()) {
        if (auto* gw = dynamic_cast<TGridWidget*>(w)) {
            FEdit->BindGrid(dynamic_cast<TExtStringGrid*>(gw->Grid()));
            return;
        }
    }
}

void TRichCellEditor::LoadText(const QString& text)
{
    FindGrid();
    FEdit->ReCreate();
    FEdit->Lock();
    FEdit->LoadCellText(text);
    if (FEdit->Grid() && FEdit->Grid()->Navigation().EditSelectAll()) FEdit->selectAll();
    FEdit->Unlock();
}

QString TRichCellEditor::Text() const { return FEdit->CellText(); }

void TRichCellEditor::Place(const QRect& r)
{
    FEdit->setGeometry(r);
    // The text keeps 2 pixels from the edges.
    FEdit->SetTextMargin(2);
}

void TRichCellEditor::Show(bool takeFocus)
{
    FindGrid();
    if (TExtStringGrid* g = FEdit->Grid()) {
        FEdit->setFont(g->Font);
        QPalette pal = FEdit->palette();
        pal.setColor(QPalette::Base, ColorToQColor(g->Color));
        FEdit->setPalette(pal);
    }
    FEdit->setEnabled(true);
    FEdit->show();
    if (takeFocus) FEdit->setFocus(Qt::OtherFocusReason);
}

bool TRichCellEditor::WantsKey(int key, TShiftState shift) const
{
    return key == VK_TAB || key == VK_UP || key == VK_DOWN;
}

void RegisterRichCellEditor()
{
    TCellEditorRegistry& reg = TCellEditorRegistry::Instance();
    if (!reg.IsRegistered(edRichEdit)) reg.Register(edRichEdit, [] { return std::make_unique<TRichCellEditor>(); });
}
