// The hint of the cell under the mouse, and the inline edit and combo that
// open over the CONTROL tags of a mini-HTML cell.
#include "controls/EsgHTMLE.h"
#include "controls/EsgHTMLUtil.h"
#include "controls/ExtUtil.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridEditors.h"
#include "platform/GridsWidget.h"
#include "platform/MaskEdit.h"

#include <QComboBox>
#include <QPalette>
#include <QTextDocument>
#include <QToolTip>

// --- hints --------------------------------------------------------------------------------------

bool TExtStringGrid::BuildHint(QPoint cursor, THintInfo& info)
{
    info = THintInfo();
    info.Color = HintColor();
    if (FControlLook->HintMaxWidth() > 0) info.MaxWidth = FControlLook->HintMaxWidth();
    const TGridCoord g = MouseCoord(cursor.x(), cursor.y());
    if (g.X < 0 || g.Y < 0) return false;
    const QPoint base = BaseCell(g.X, g.Y);
    const int c = base.x(), r = base.y();
    FLastHintPos = base;
    info.Cell = {c, r};
    const TRect rect = CellRect(c, r);
    const int rc = RealColIndex(c);
    const QString comment = GetComment(rc, r);
    QString hint;
    if (!comment.isEmpty()) {
        hint = comment;
        info.Pos = QPoint(rect.Right, rect.Top);
    } else {
        info.Pos = QPoint(cursor.x(), rect.Bottom + 6);
    }
    const QString text = Cells(rc, r);
    const int kind = DetectCellTextKind(text, EnableHTML());
    if (kind == 1 && AnchorHint()) {
        TAnchorHit hit;
        if (AnchorAt(c, r, cursor.x(), cursor.y(), hit) && !hit.Anchor.isEmpty()) {
            QString ah = hit.Title.isEmpty() ? hit.Anchor : hit.Title;
            if (OnAnchorHint) OnAnchorHint(this, r, rc, ah);
            FLastAnchorHint = ah;
            hint = ah;
            info.Pos = cursor + QPoint(8, -16);
        }
    }
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    const bool normal = c >= fc && r >= fr && c < ColCount() - FixedRightCols() && r < RowCount() - FixedFooters();
    if (HintShowCells() && normal) {
        info.Pos.setY(rect.Top);
        hint = HTMLHint() || kind != 1 ? text : StripTagsOnly(text);
    }
    if (HintShowLargeText()) {
        const QSize need = GetCellTextSize(rc, r);
        if (need.width() > rect.Width() || need.height() > rect.Height()) {
            if (HintShowLargeTextPos() == THintPosition::hpCell) info.Pos = QPoint(rect.Left, rect.Top);
            hint = HTMLHint() || kind != 1 ? text : StripTagsOnly(text);
        }
    }
    if (!(FloatingFooter().Visible() && r == RowCount() - 1)) {
        GetCellHint(c, r, hint);
        QString wide;
        if (OnGridWideHint) OnGridWideHint(this, r, c, wide);
        if (!wide.isEmpty()) hint = EncodeWideCellText(wide);
    }
    info.Text = hint;
    const int hintKind = DetectCellTextKind(hint, true);
    info.HtmlWindow = UseInternalHintClass() && (hintKind == 1 || hintKind == 5);
    return true;
}

bool TExtStringGrid::ShowCellHint(QPoint cursor)
{
    THintInfo info;
    const bool over = BuildHint(cursor, info);
    if (!HandleAllocated() || Panning()) return false;
    QWidget* vp = Widget()->viewport();
    if (FHintWnd) FHintWnd->ReleaseHandle();
    if (!over || info.Text.isEmpty()) {
        QToolTip::hideText();
        return false;
    }
    const QPoint global = vp->mapToGlobal(info.Pos);
    if (info.HtmlWindow) {
        QToolTip::hideText();
        if (!FHintWnd) FHintWnd = std::make_unique<THTMLHintWindow>();
        // Pictures of the text come from the grid's images; a wide text is
        // drawn in the grid's font.
        FHintWnd->SetImages(GridImages());
        FHintWnd->SetWideFontName(Font.family());
        FHintWnd->SetColor(info.Color);
        FHintWnd->ActivateHint(global, info.Text);
        return true;
    }
    QPalette pal = QToolTip::palette();
    pal.setColor(QPalette::ToolTipBase, ColorToQColor(info.Color));
    QToolTip::setPalette(pal);
    // Shown as plain text: whatever the cell holds is not read as markup.
    QToolTip::showText(global, Qt::convertFromPlainText(DecodeWideCellText(info.Text), Qt::WhiteSpaceNormal), vp,
                       QRect(), -1);
    return true;
}

void TExtStringGrid::CancelCellHint()
{
    FLastHintPos = QPoint(-1, -1);
    if (FHintWnd) FHintWnd->ReleaseHandle();
    if (HandleAllocated()) QToolTip::hideText();
}

// --- inline controls ----------------------------------------------------------------------------

TControlEdit* TExtStringGrid::ControlEditWidget() const
{
    return static_cast<TControlEdit*>(FInlineCtrls.Edit.data());
}

TControlCombo* TExtStringGrid::ControlComboWidget() const
{
    return static_cast<TControlCombo*>(FInlineCtrls.Combo.data());
}

void TExtStringGrid::ShowControlEdit(const QString& text, const QString& ctrlType, int r, int realCol, int c,
                                     const TRect& ctrlRect, const QString& ctrlValue, const QString& ctrlID)
{
    QWidget* parent = HandleAllocated() ? Widget()->viewport() : nullptr;
    const QString type = ctrlType.toUpper();
    auto begin = [&] {
        FCtrlXY = QPoint(realCol, r);
        FCtrlID = ctrlID;
        FCtrlType = type;
        FCtrlEditing = true;
    };
    if (type == QLatin1String("EDIT") || type == QLatin1String("PASSWORD") || type == QLatin1String("MASK")) {
        begin();
        TControlEdit* edit = ControlEditWidget();
        if (!edit) {
            edit = new TControlEdit(parent);
            edit->SetGrid(this);
            // Leaving the edit ends its editing; a focus loss that comes
            // after another inline control has opened is not its exit.
            edit->OnExit = [this](QObject*) {
                if (FCtrlType != QLatin1String("COMBO")) StopControlEdit();
            };
            FInlineCtrls.Edit = edit;
        } else if (edit->parentWidget() != parent) {
            edit->setParent(parent);
        }
        SetEditPasswordChar(edit, type == QLatin1String("PASSWORD") ? QChar('*') : QChar());
        edit->SetEditMask(type == QLatin1String("MASK") ? GetControlProp(text, ctrlID) : QString());
        edit->SetText(ctrlValue);
        edit->SetBorderStyle(TBorderStyle::bsNone);
        edit->setGeometry(ctrlRect.Left + 1, ctrlRect.Top + 8, std::max(0, ctrlRect.Width() - 4), 14);
        edit->SetMaxLength(std::max(0, GetControlMaxLen(text, ctrlID)));
        edit->show();
        edit->raise();
        edit->setFocus();
        return;
    }
    if (type == QLatin1String("COMBO")) {
        begin();
        TControlCombo* combo = ControlComboWidget();
        if (!combo) {
            combo = new TControlCombo(parent);
            combo->SetGrid(this);
            combo->OnExit = [this](QObject*) {
                if (FCtrlType == QLatin1String("COMBO")) StopControlEdit();
            };
            QObject::connect(combo, qOverload<int>(&QComboBox::activated), combo,
                             [this](int index) { ControlComboSelect(index); });
            FInlineCtrls.Combo = combo;
        } else if (combo->parentWidget() != parent) {
            combo->setParent(parent);
        }
        QStringList values;
        bool edit = true;
        int dropCount = 8;
        if (OnControlComboList) OnControlComboList(this, r, c, ctrlID, type, ctrlValue, values, edit, dropCount);
        combo->SetFlat(false);
        combo->SetStyle(edit ? TComboStyle::csDropDown : TComboStyle::csDropDownList);
        combo->SetItems(values);
        combo->SetText(ctrlValue);
        // A value that is not in the list still shows as the text.
        if (!edit && combo->ItemIndex() < 0 && !ctrlValue.isEmpty()) {
            combo->addItem(ctrlValue);
            combo->setCurrentIndex(combo->count() - 1);
        }
        combo->SetDropDownCount(dropCount);
        combo->SetMaxLength(std::max(0, GetControlMaxLen(text, ctrlID)));
        combo->setGeometry(ctrlRect.Left - 1, ctrlRect.Top + 4, ctrlRect.Width(), combo->sizeHint().height());
        combo->show();
        combo->raise();
        combo->setFocus();
        if (parent && parent->isVisible()) combo->SetDroppedDown(true);
    }
}

void TExtStringGrid::EditCellControl(int c, int r, const QString& ctrlID)
{
    auto focusGrid = [this] {
        if (HandleAllocated()) Widget()->setFocus();
    };
    if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount()) return focusGrid();
    const QString text = Cells(RealColIndex(c), r);
    if (DetectCellTextKind(text, EnableHTML()) != 1) return focusGrid();
    const QString next = NextEditableControlID(text, ctrlID);
    TAnchorHit hit;
    if (next.isEmpty() || !AnchorAt(c, r, -1, -1, hit, next) || hit.CtrlID != next) return focusGrid();
    ShowControlEdit(text, hit.CtrlType, r, RealColIndex(c), c, hit.CtrlRect, hit.CtrlValue, next);
}

void TExtStringGrid::StopControlEdit()
{
    if (!FCtrlEditing) return;
    FCtrlEditing = false;
    QString value;
    const int c = FCtrlXY.x(), r = FCtrlXY.y();
    if (FCtrlType == QLatin1String("COMBO")) {
        if (TControlCombo* combo = ControlComboWidget()) {
            value = combo->Text();
            combo->hide();
        }
    } else if (TControlEdit* edit = ControlEditWidget()) {
        value = edit->Text();
        edit->hide();
    }
    if (c >= 0 && r >= 0 && r < RowCount()) {
        QString cell = Cells(c, r);
        if (BuildControlTag(cell, FCtrlID, value)) SetCells(c, r, cell);
    }
    if (OnControlEditDone) OnControlEditDone(this, r, c, FCtrlID, FCtrlType, value);
    FCtrlType.clear();
}

void TExtStringGrid::ControlComboSelect(int index)
{
    TControlCombo* combo = ControlComboWidget();
    if (!combo || !OnControlComboSelect) return;
    OnControlComboSelect(this, FCtrlXY.y(), FCtrlXY.x(), index, FCtrlID, combo->itemText(index));
}
