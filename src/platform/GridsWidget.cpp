#include "platform/GridsWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

int QtKeyToVirtualKey(int k)
{
    switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: break;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 0x70 + (k - Qt::Key_F1);
    if ((k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_Z)) return k;
    return 0;
}

TShiftState QtModifiersToShift(Qt::KeyboardModifiers m, Qt::MouseButtons b)
{
    TShiftState s;
    if (m & Qt::ShiftModifier) s.Include(ssShift);
    if (m & Qt::AltModifier) s.Include(ssAlt);
    if (m & Qt::ControlModifier) s.Include(ssCtrl);
    if (b & Qt::LeftButton) s.Include(ssLeft);
    if (b & Qt::RightButton) s.Include(ssRight);
    if (b & Qt::MiddleButton) s.Include(ssMiddle);
    return s;
}

// ---------------------------------------------------------------------------

TInplaceEdit::TInplaceEdit(TGridWidget* owner) : QLineEdit(owner->viewport()), m_owner(owner)
{
    setFrame(false);
    hide();
}

void TInplaceEdit::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        if (m_owner->ForwardKey(e, true)) return;
        break;
    default: break;
    }
    QLineEdit::keyPressEvent(e);
}

void TInplaceEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // Leaving the grid altogether commits what was typed, so nothing is lost.
    QWidget* to = QApplication::focusWidget();
    if (to && (to == m_owner || m_owner->isAncestorOf(to))) return;
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    if (TCustomGrid* g = m_owner->Grid(); g && g->EditorMode()) g->HideEditor();
}

// ---------------------------------------------------------------------------

TGridWidget::TGridWidget(TCustomGrid* grid, QWidget* parent) : QAbstractScrollArea(parent), m_grid(grid)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_editor = new TInplaceEdit(this);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_syncing && m_grid) m_grid->ScrollBarMoved(true, v);
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_syncing && m_grid) m_grid->ScrollBarMoved(false, v);
    });
}

TGridWidget::~TGridWidget()
{
    if (m_grid) m_grid->WidgetGone();
}

void TGridWidget::SyncScrollBars()
{
    if (!m_grid || m_syncing) return;
    m_syncing = true;
    const TGridViewport& v = m_grid->Viewport();
    QScrollBar* vs = verticalScrollBar();
    vs->setRange(v.FixedRows, std::max(v.FixedRows, v.MaxTopRow()));
    vs->setPageStep(std::max(1, v.VisibleRowCount()));
    vs->setValue(v.TopRow);
    QScrollBar* hs = horizontalScrollBar();
    hs->setRange(v.FixedCols, std::max(v.FixedCols, v.MaxLeftCol()));
    hs->setPageStep(std::max(1, v.VisibleColCount()));
    hs->setValue(v.LeftCol);
    m_syncing = false;
}

void TGridWidget::SyncEditor()
{
    if (!m_grid) return;
    if (m_grid->EditorMode()) {
        m_editor->setText(m_grid->m_editText);
        PlaceEditor();
        m_editor->show();
        if (hasFocus() || viewport()->hasFocus() || isActiveWindow()) m_editor->setFocus();
        m_editor->selectAll();
    } else if (m_editor->isVisible()) {
        const bool hadFocus = m_editor->hasFocus();
        m_editor->hide();
        if (hadFocus) setFocus();
    }
}

void TGridWidget::PlaceEditor()
{
    if (!m_grid || !m_grid->EditorMode()) return;
    const TGridCoord c = m_grid->EditorCell();
    const QRect r = m_grid->CellRect(c.X, c.Y);
    if (r.isEmpty()) {
        m_editor->setGeometry(-1000, -1000, 10, 10);
        return;
    }
    m_editor->setGeometry(r.adjusted(1, 1, -1, -1));
}

QString TGridWidget::EditorText() const
{
    return m_editor->text();
}

void TGridWidget::SetEditorText(const QString& s)
{
    m_editor->setText(s);
}

bool TGridWidget::EditorHasFocus() const
{
    return m_editor->hasFocus();
}

bool TGridWidget::ForwardKey(QKeyEvent* e, bool fromEditor)
{
    if (!m_grid) return false;
    TShiftState shift = QtModifiersToShift(e->modifiers());
    if (e->key() == Qt::Key_Backtab) shift.Include(ssShift);
    int key = QtKeyToVirtualKey(e->key());
    bool taken = false;
    if (key != 0 && key != VK_RETURN && key != VK_ESCAPE) {
        const int before = key;
        m_grid->DoKeyDown(key, shift);
        taken = key == 0 || before != 0;
    }
    QChar ch;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        ch = QChar(VK_RETURN);
    else if (e->key() == Qt::Key_Escape)
        ch = QChar(VK_ESCAPE);
    else if (!fromEditor && !e->text().isEmpty() && !(e->modifiers() & Qt::ControlModifier))
        ch = e->text().at(0);
    if (!ch.isNull()) {
        m_grid->DoKeyPress(ch);
        taken = true;
    }
    return taken;
}

void TGridWidget::paintEvent(QPaintEvent* e)
{
    if (!m_grid) return;
    QPainter p(viewport());
    p.setClipRegion(e->region());
    m_grid->Paint(p);
}

void TGridWidget::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    if (!m_grid) return;
    m_grid->SetClientSize(viewport()->width(), viewport()->height());
    PlaceEditor();
}

void TGridWidget::keyPressEvent(QKeyEvent* e)
{
    if (!ForwardKey(e, false)) QAbstractScrollArea::keyPressEvent(e);
}

static TMouseButton ToButton(Qt::MouseButton b)
{
    if (b == Qt::RightButton) return mbRight;
    if (b == Qt::MiddleButton) return mbMiddle;
    return mbLeft;
}

void TGridWidget::mousePressEvent(QMouseEvent* e)
{
    if (!m_grid) return;
    setFocus(Qt::MouseFocusReason);
    const QPoint p = e->position().toPoint();
    m_grid->MouseDown(ToButton(e->button()), QtModifiersToShift(e->modifiers(), e->buttons()), p.x(), p.y());
}

void TGridWidget::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_grid) return;
    const QPoint p = e->position().toPoint();
    viewport()->setCursor(m_grid->IsOverSizingBorder(p.x(), p.y()) ? Qt::SplitHCursor : Qt::ArrowCursor);
    m_grid->MouseMove(QtModifiersToShift(e->modifiers(), e->buttons()), p.x(), p.y());
}

void TGridWidget::mouseReleaseEvent(QMouseEvent* e)
{
    if (!m_grid) return;
    const QPoint p = e->position().toPoint();
    m_grid->MouseUp(ToButton(e->button()), QtModifiersToShift(e->modifiers(), e->buttons()), p.x(), p.y());
}

void TGridWidget::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (!m_grid) return;
    mousePressEvent(e);
    m_grid->DblClick();
}

void TGridWidget::wheelEvent(QWheelEvent* e)
{
    if (!m_grid) return;
    m_wheelRest += e->angleDelta().y();
    const TShiftState s = QtModifiersToShift(e->modifiers(), e->buttons());
    const QPoint pos = e->position().toPoint();
    while (m_wheelRest <= -120) {
        m_wheelRest += 120;
        m_grid->DoMouseWheelDown(s, pos);
    }
    while (m_wheelRest >= 120) {
        m_wheelRest -= 120;
        m_grid->DoMouseWheelUp(s, pos);
    }
    e->accept();
}

void TGridWidget::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void TGridWidget::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}

void TGridWidget::scrollContentsBy(int, int)
{
    // The grid scrolls by whole cells: the scroll bars report through their
    // value signals and the grid repaints.
}
