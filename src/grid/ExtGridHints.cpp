// The hint of the cell under the mouse, and the inline edit and combo that
// open over the CONTROL tags of a mini-HTML cell.
#include "controls/EsgHTMLE.h"
#include "controls/EsgHTMLUtil.h"
#include "controls/ExtUtil.h"
#include "grid/ExtGrid.h"
#include "platform/GridsWidget.h"
#include "platform/MaskEdit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPalette>
#include <QTextDocument>
#include <QToolTip>

namespace {

// Focus loss of an inline control ends its editing.
class TInlineExitFilter : public QObject {
public:
    TInlineExitFilter(QObject* parent, std::function<void()> onExit) : QObject(parent), m_onExit(std::move(onExit)) {}
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::FocusOut && m_onExit) {
            auto* combo = qobject_cast<QComboBox*>(o);
            // The combo's own list takes the focus while it is open.
            if (!(combo && combo->view() && combo->view()->isVisible())) m_onExit();
        }
        return false;
    }

private:
    std::function<void()> m_onExit;
};

} // namespace

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
        auto* edit = dynamic_cast<TMaskEdit*>(FInlineCtrls.Edit.data());
        if (!edit) {
            edit = new TMaskEdit(parent);
            edit->installEventFilter(new TInlineExitFilter(edit, [this] { StopControlEdit(); }));
            FInlineCtrls.Edit = edit;
        } else if (edit->parentWidget() != parent) {
            edit->setParent(parent);
        }
        edit->setEchoMode(type == QLatin1String("PASSWORD") ? QLineEdit::Password : QLineEdit::Normal);
        edit->SetEditMask(type == QLatin1String("MASK") ? GetControlProp(text, ctrlID) : QString());
        edit->SetText(ctrlValue);
        edit->setFrame(false);
        edit->setGeometry(ctrlRect.Left + 1, ctrlRect.Top + 8, std::max(0, ctrlRect.Width() - 4), 14);
        edit->SetMaxLength(std::max(0, GetControlMaxLen(text, ctrlID)));
        edit->show();
        edit->raise();
        edit->setFocus();
        return;
    }
    if (type == QLatin1String("COMBO")) {
        begin();
        auto* combo = qobject_cast<QComboBox*>(FInlineCtrls.Combo.data());
        if (!combo) {
            combo = new QComboBox(parent);
            combo->installEventFilter(new TInlineExitFilter(combo, [this] { StopControlEdit(); }));
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
        combo->clear();
        combo->addItems(values);
        combo->setEditable(edit);
        const int idx = int(values.indexOf(ctrlValue));
        combo->setCurrentIndex(idx);
        // A value that is not in the list still shows as the text.
        if (edit)
            combo->setEditText(ctrlValue);
        else if (idx < 0 && !ctrlValue.isEmpty()) {
            combo->addItem(ctrlValue);
            combo->setCurrentIndex(combo->count() - 1);
        }
        combo->setMaxVisibleItems(std::max(1, dropCount));
        if (combo->lineEdit()) combo->lineEdit()->setMaxLength(GetControlMaxLen(text, ctrlID) > 0
                                                                   ? GetControlMaxLen(text, ctrlID)
                                                                   : 32767);
        combo->setGeometry(ctrlRect.Left - 1, ctrlRect.Top + 4, ctrlRect.Width(), combo->sizeHint().height());
        combo->show();
        combo->setFocus();
        if (parent && parent->isVisible()) combo->showPopup();
    }
}

void TExtStringGrid::StopControlEdit()
{
    if (!FCtrlEditing) return;
    FCtrlEditing = false;
    QString value;
    const int c = FCtrlXY.x(), r = FCtrlXY.y();
    if (FCtrlType == QLatin1String("COMBO")) {
        auto* combo = qobject_cast<QComboBox*>(FInlineCtrls.Combo.data());
        if (combo) {
            value = combo->currentText();
            combo->hide();
        }
    } else {
        auto* edit = dynamic_cast<TMaskEdit*>(FInlineCtrls.Edit.data());
        if (edit) {
            value = edit->text();
            edit->hide();
        }
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
    auto* combo = qobject_cast<QComboBox*>(FInlineCtrls.Combo.data());
    if (!combo || !OnControlComboSelect) return;
    OnControlComboSelect(this, FCtrlXY.y(), FCtrlXY.x(), index, FCtrlID, combo->itemText(index));
}
