// TExtStringGrid: rich-text cells, through the hidden converter and the
// in-place rich editor.
#include "controls/ExtRichText.h"
#include "grid/ExtGrid.h"
#include "grid/ExtRichEdit.h"

void TExtStringGrid::TRichEditDeleter::operator()(TExtRichEdit* e) const { delete e; }

TExtRichEdit* TExtStringGrid::RichEdit()
{
    if (!FRichEdit) {
        // Never shown and without a window of its own: it only holds,
        // measures and converts a document. It does not wrap, so that the
        // size it reports is the one the text needs.
        FRichEdit.reset(new TExtRichEdit(this));
        FRichEdit->setLineWrapMode(QTextEdit::NoWrap);
        FRichEdit->setFixedSize(0, 0);
        FRichEdit->setAttribute(Qt::WA_DontShowOnScreen);
    }
    FRichEdit->setFont(Font);
    return FRichEdit.get();
}

TExtRichEdit* TExtStringGrid::InplaceRichEdit()
{
    RegisterRichCellEditor();
    TGridWidget* w = Widget();
    if (!w) return nullptr;
    auto* editor = dynamic_cast<TRichCellEditor*>(w->EditorOfKind(edRichEdit));
    if (!editor) return nullptr;
    editor->Edit()->BindGrid(this);
    return editor->Edit();
}

void TExtStringGrid::CellToRich(int c, int r, TExtRichEdit* editor)
{
    if (!editor) return;
    editor->LoadCellText(Cells(c, r));
}

QString TExtStringGrid::RichToString(TExtRichEdit* editor)
{
    if (Destroying() || !editor) return {};
    return editor->CellText();
}

void TExtStringGrid::RichToCell(int c, int r, TExtRichEdit* editor) { SetCells(c, r, RichToString(editor)); }

QString TExtStringGrid::RichCellToPlainText(const QString& richText)
{
    TExtRichEdit* converter = RichEdit();
    converter->LoadCellText(richText);
    return converter->PlainText();
}

namespace {

// The grid's rich-text cells are edited by the rich editor from the start:
// this unit is linked with every string grid (its destructor frees the
// converter through here).
[[maybe_unused]] const bool RichEditorRegistered = [] {
    RegisterRichCellEditor();
    return true;
}();

} // namespace
