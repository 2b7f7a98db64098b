#pragma once
// The grid's rich-text edit box. A grid uses two: a hidden converter (never
// shown, no window needed) through which rich-text cells are loaded,
// measured and turned into plain text, and the in-place editor of rich-text
// cells (editor kind edRichEdit).
//
// What it adds to a plain QTextEdit:
//  - sub- and superscript of the selection, kept as a vertical offset in
//    twips (0, -40, +40) in a character-format property of our own and drawn
//    as a baseline offset (controls/ExtRichText.h);
//  - the size request: whenever its document changes size, the converter
//    records the size its text needs (ReqWidth, ReqHeight) and the in-place
//    editor lets its grid grow the current row while the user types;
//  - Tab, Up and Down handed back to the grid, and its focus loss.
#include "platform/Exception.h"
#include "platform/GridsWidget.h"

#include <QPointer>
#include <QTextEdit>

class TCustomGrid;
class TExtStringGrid;

// A control created for an owner of the wrong class.
class EInvalidCast : public Exception {
public:
    EInvalidCast() : Exception(QStringLiteral("Invalid class typecast")) {}
};

class TExtRichEdit : public QTextEdit {
    Q_OBJECT
public:
    // The owner must be a string grid; without one the editor is bound to
    // the grid whose window it is first shown in. Throws EInvalidCast for
    // another owner.
    explicit TExtRichEdit(TCustomGrid* owner, QWidget* parent = nullptr);
    ~TExtRichEdit() override;

    TExtStringGrid* Grid() const { return FGrid; }
    void BindGrid(TExtStringGrid* grid) { FGrid = grid; }

    // The size in pixels that the text needs, from the last size request
    // (recorded for the grid's hidden converter).
    int ReqWidth() const { return FReqWidth; }
    int ReqHeight() const { return FReqHeight; }
    // While locked the in-place editor does not grow the row.
    bool Locked() const { return FLocked; }
    void Lock() { FLocked = true; }
    void Unlock() { FLocked = false; }
    // Starts afresh as a new edit box: empty, default format, no undo steps.
    void ReCreate();

    // The vertical offset of the selected characters: 0, -40 or +40 twips;
    // nothing else of the selection changes.
    void SelNormal();
    void SelSubscript();
    void SelSuperscript();
    // Whether every selected character has that offset (false for all three
    // when the selection mixes offsets).
    bool IsSelNormal() const;
    bool IsSelSubscript() const;
    bool IsSelSuperscript() const;

    // The content as a cell holds it: empty clears the box, text beginning
    // "{\" is read as rich text, other text is taken as it is (CR LF as
    // paragraph breaks).
    void LoadCellText(const QString& text);
    // The content as rich text starting "{\rtf"; empty when there is no text.
    QString CellText() const;
    // The text without formatting, lines ended by CR LF.
    QString PlainText() const;

    // Pixels kept free between the edges and the text.
    void SetTextMargin(int m) { setViewportMargins(m, m, m, m); }

    // The size request: `r` is the rectangle the content needs, in pixels.
    // Called whenever the document changes size.
    void RequestResize(const QRect& r);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void SetOffset(int twips);
    bool SelOffsetIs(int twips) const;
    // The grid takes the focus and the key, then, for Tab, reopens its editor.
    void HandKeyToGrid(int key, TShiftState shift, bool reopen);

    TExtStringGrid* FGrid = nullptr;
    int FReqWidth = 0;
    int FReqHeight = 0;
    bool FLocked = false;
};

// The in-place editor of edRichEdit cells, for the grid's window.
class TRichCellEditor : public TCellEditor {
public:
    // `grid` may be null: the editor then finds its grid when shown.
    explicit TRichCellEditor(TExtStringGrid* grid = nullptr);
    ~TRichCellEditor() override;

    TExtRichEdit* Edit() const { return FEdit; }
    QWidget* Control() const override { return FEdit; }
    // Locked while the cell's text is loaded, so that loading does not grow
    // the row; all of it selected with Navigation.EditSelectAll.
    void LoadText(const QString& text) override;
    QString Text() const override;
    void Place(const QRect& r) override;
    void Show(bool takeFocus) override;
    // Tab, Up and Down go to the rich edit first, which hands them on.
    bool WantsKey(int key, TShiftState shift) const override;

private:
    // The grid of the window the control sits in.
    void FindGrid();
    QPointer<TExtRichEdit> FEdit;
};

// Registers the rich editor for edRichEdit in the editor registry (once).
void RegisterRichCellEditor();
