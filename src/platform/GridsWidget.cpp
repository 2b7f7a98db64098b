#include "platform/GridsWidget.h"

#include "platform/Application.h"
#include "platform/MaskEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

using enum TShiftStateItem;
using enum TScrollStyle;

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

void TCellEditor::Show(bool takeFocus)
{
    Control()->show();
    if (takeFocus) Control()->setFocus();
}

TInplaceEdit::TInplaceEdit(QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    hide();
}

TTextCellEditor::TTextCellEditor(TInplaceEdit* edit) : m_edit(edit ? edit : new TInplaceEdit) {}

TTextCellEditor::~TTextCellEditor()
{
    // The editor owns its control, also once it sits in the grid's viewport.
    delete m_edit.data();
}

void TTextCellEditor::SetLimits(int maxLength, const QString& mask)
{
    m_edit->setMaxLength(maxLength > 0 ? maxLength : 32767);
    // Masks come in the platform's syntax.
    m_mask = ParseEditMask(mask, SystemFormatSettings());
    m_edit->setInputMask(m_mask.InputMask);
}

QString TTextCellEditor::Text() const
{
    return MaskedText(m_edit->displayText(), m_mask);
}

void TTextCellEditor::Show(bool takeFocus)
{
    TCellEditor::Show(takeFocus);
    m_edit->selectAll();
}

// ---------------------------------------------------------------------------
// The grid's window members that make and reach the widget.

TGridWidget* TCustomGrid::Widget()
{
    if (auto* w = dynamic_cast<TGridWidget*>(View())) return w;
    return CreateWidget(nullptr);
}

TGridWidget* TCustomGrid::CreateWidget(QWidget* parent)
{
    if (auto* w = dynamic_cast<TGridWidget*>(View())) {
        if (parent && w->parentWidget() != parent) w->setParent(parent);
        return w;
    }
    auto* w = new TGridWidget(this, parent);
    const QSize vs = w->viewport()->size();
    if (vs.width() > 0 && vs.height() > 0) SetClientSize(vs.width(), vs.height());
    w->SyncScrollBars();
    return w;
}

TInplaceEdit* TCustomGrid::InplaceEditor() const
{
    auto* w = dynamic_cast<TGridWidget*>(View());
    return w ? w->Editor() : nullptr;
}

std::unique_ptr<TCellEditor> TCustomGrid::CreateCellEditor(int kind)
{
    return std::make_unique<TTextCellEditor>();
}

// ---------------------------------------------------------------------------

TGridWidget::TGridWidget(TCustomGrid* grid, QWidget* parent) : QAbstractScrollArea(parent), m_grid(grid)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // The text editor is there from the start.
    EditorOfKind(0);
    if (m_grid) m_grid->AttachView(this);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_syncing) Dispatch([&] { m_grid->ScrollBarMoved(true, v); });
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_syncing) Dispatch([&] { m_grid->ScrollBarMoved(false, v); });
    });
    // A dragged thumb and its release.
    for (const bool vertical : {true, false}) {
        QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
        connect(bar, &QScrollBar::sliderMoved, this, [this, vertical](int v) {
            if (!m_syncing) Dispatch([&] { m_grid->ScrollThumbTracked(vertical, v, false); });
        });
        connect(bar, &QScrollBar::sliderReleased, this, [this, vertical, bar] {
            if (!m_syncing) Dispatch([&] { m_grid->ScrollThumbTracked(vertical, bar->sliderPosition(), true); });
        });
    }
    // Entering and leaving the grid as a whole (the editor counts as part of
    // it); a pop-up window opened from the grid does not count as leaving.
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (!m_grid) return;
        PushFocus();
        auto inside = [this](QWidget* w) { return w && (w == this || isAncestorOf(w)); };
        if (inside(now)) {
            if (!m_focusInside) {
                m_focusInside = true;
                Dispatch([this] { m_grid->DoEnter(); });
            }
            return;
        }
        if (!m_focusInside || !inside(old)) return;
        // The whole window losing the focus, or a pop-up opened from the
        // grid, is not leaving it.
        if (!now && !QApplication::activeWindow()) return;
        if (now && (now->window()->windowFlags() & Qt::Popup) == Qt::Popup) return;
        m_focusInside = false;
        Dispatch([this] { m_grid->DoExit(); });
    });
}

TGridWidget::~TGridWidget()
{
    // Focus moves while the widget is taken down: that is not the user
    // leaving the grid, so no exit event runs from here.
    disconnect(m_focusConnection);
    if (m_grid) m_grid->DetachView(this);
    m_grid = nullptr;
}

void TGridWidget::GridGone()
{
    // The widget only shows this grid: it goes with it.
    m_grid = nullptr;
    delete this;
}

void TGridWidget::PushFocus()
{
    Dispatch([this] { m_grid->SetFocused(hasFocus() || viewport()->hasFocus() || EditorHasFocus()); });
}

void TGridWidget::SyncScrollBars()
{
    if (!m_grid || m_syncing) return;
    m_syncing = true;
    const TGridViewport& v = m_grid->Viewport();
    const TScrollStyle bars = m_grid->ScrollBars();
    const auto policy = [this](bool has, bool vertical) {
        if (!has) return Qt::ScrollBarAlwaysOff;
        return m_grid->ScrollBarKeptShown(vertical) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    };
    setVerticalScrollBarPolicy(policy(bars == ssVertical || bars == ssBoth, true));
    setHorizontalScrollBarPolicy(policy(bars == ssHorizontal || bars == ssBoth, false));
    const bool tracking = m_grid->HasOption(goThumbTracking);
    verticalScrollBar()->setTracking(tracking);
    horizontalScrollBar()->setTracking(tracking);
    TCustomGrid::TScrollBarScale scale;
    QScrollBar* vs = verticalScrollBar();
    if (m_grid->ScrollBarScale(true, scale)) {
        vs->setRange(scale.Min, scale.Max);
        vs->setPageStep(std::max(1, scale.Page));
        vs->setValue(scale.Pos);
    } else {
        vs->setRange(v.FixedRows(), std::max(v.FixedRows(), v.MaxTopRow()));
        vs->setPageStep(std::max(1, v.VisibleRowCount()));
        vs->setValue(v.TopRow());
    }
    QScrollBar* hs = horizontalScrollBar();
    if (m_grid->ScrollBarScale(false, scale)) {
        hs->setRange(scale.Min, scale.Max);
        hs->setPageStep(std::max(1, scale.Page));
        hs->setValue(scale.Pos);
    } else {
        hs->setRange(v.FixedCols(), std::max(v.FixedCols(), v.MaxLeftCol()));
        hs->setPageStep(std::max(1, v.VisibleColCount()));
        hs->setValue(v.LeftCol());
    }
    m_syncing = false;
    // A scroll bar that came or went changed the viewport: size the grid to
    // it once more.
    const QSize vp = viewport()->size();
    if (!m_resyncing && (vp.width() != v.ClientWidth() || vp.height() != v.ClientHeight())) {
        m_resyncing = true;
        m_grid->SetClientSize(vp.width(), vp.height());
        m_resyncing = false;
    }
}

TCellEditor* TGridWidget::EditorOfKind(int kind)
{
    auto it = m_editors.find(kind);
    if (it != m_editors.end()) return it->second.get();
    std::unique_ptr<TCellEditor> e = m_grid ? m_grid->CreateCellEditor(kind) : nullptr;
    // A grid that has no editor of its own for a kind edits it as text.
    if (!e) e = std::make_unique<TTextCellEditor>();
    QWidget* control = e->Control();
    control->setParent(viewport());
    control->hide();
    control->installEventFilter(this);
    TCellEditor* const raw = e.get();
    m_editors.emplace(kind, std::move(e));
    return raw;
}

TInplaceEdit* TGridWidget::Editor() const
{
    auto it = m_editors.find(0);
    if (it == m_editors.end()) return nullptr;
    auto* text = dynamic_cast<TTextCellEditor*>(it->second.get());
    return text ? text->Edit() : qobject_cast<TInplaceEdit*>(it->second->Control());
}

void TGridWidget::EditorOpened(const QString& text, int limit, const QString& mask)
{
    if (!m_grid) return;
    if (m_active) m_active->Hide();
    const TGridCoord cell = m_grid->EditorCell();
    m_active = EditorOfKind(m_grid->EditorKind(cell.X, cell.Y));
    m_active->SetLimits(limit, mask);
    m_active->LoadText(text);
    PlaceEditor();
    m_active->Show(hasFocus() || viewport()->hasFocus() || isActiveWindow());
}

void TGridWidget::EditorClosed()
{
    TCellEditor* const e = m_active;
    m_active = nullptr;
    if (!e || !e->Control()->isVisible()) return;
    const bool hadFocus = e->Control()->hasFocus();
    e->Hide();
    if (hadFocus) setFocus();
}

void TGridWidget::PlaceEditor()
{
    if (!m_grid || !m_grid->EditorMode() || !m_active) return;
    const TGridCoord c = m_grid->EditorCell();
    const TRect r = m_grid->CellRect(c.X, c.Y);
    if (r.IsEmpty()) {
        m_active->Place(QRect(-1000, -1000, 10, 10));
        return;
    }
    m_active->Place(r.ToQRect().adjusted(1, 1, -1, -1));
}

QString TGridWidget::EditorText() const
{
    return m_active ? m_active->Text() : QString();
}

void TGridWidget::SetEditorText(const QString& s)
{
    if (m_active) m_active->LoadText(s);
}

bool TGridWidget::EditorHasFocus() const
{
    for (const auto& [kind, e] : m_editors)
        if (e->Control()->hasFocus()) return true;
    return false;
}

bool TGridWidget::eventFilter(QObject* watched, QEvent* event)
{
    // The keys of an editor's control: the ones the grid acts on go to the
    // grid first, unless the editor keeps them.
    // Every key the open editor receives is noted: should the editor
    // ignore it, the same event climbs on to this widget.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && m_active &&
        watched == m_active->Control()) {
        auto* k = static_cast<QKeyEvent*>(event);
        m_editorKey = k;
        m_editorKeyStamp = {int(k->type()), k->key(), k->timestamp()};
    }
    if (event->type() != QEvent::KeyPress || !m_active || watched != m_active->Control())
        return QAbstractScrollArea::eventFilter(watched, event);
    auto* e = static_cast<QKeyEvent*>(event);
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: {
        TShiftState shift = QtModifiersToShift(e->modifiers());
        if (e->key() == Qt::Key_Backtab) shift.Include(ssShift);
        if (m_active->WantsKey(QtKeyToVirtualKey(e->key()), shift)) return false;
        return ForwardKey(e, true);
    }
    default: return false;
    }
}

bool TGridWidget::Dispatch(const std::function<void()>& call)
{
    if (!m_grid) return false;
    return Guard(call);
}

bool TGridWidget::ForwardKey(QKeyEvent* e, bool fromEditor)
{
    bool taken = false;
    // A failing key handler abandons the key: nobody else gets it.
    if (!Dispatch([&] { taken = TranslateKey(e, fromEditor); })) return m_grid != nullptr;
    return taken;
}

bool TGridWidget::TranslateKey(QKeyEvent* e, bool fromEditor)
{
    TShiftState shift = QtModifiersToShift(e->modifiers());
    if (e->key() == Qt::Key_Backtab) shift.Include(ssShift);
    const bool editing = m_grid->EditorMode();
    const bool isReturn = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    const bool isEscape = e->key() == Qt::Key_Escape;
    int key = QtKeyToVirtualKey(e->key());
    bool cleared = false;
    if (key != 0) {
        m_grid->DoKeyDown(key, shift);
        cleared = key == 0;
    }
    // The key press (character) follows the key down, as on the platform.
    QChar ch;
    if (isReturn)
        ch = QChar(VK_RETURN);
    else if (isEscape)
        ch = QChar(VK_ESCAPE);
    else if (!fromEditor && e->key() == Qt::Key_Backspace && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        ch = QChar(VK_BACK);
    else if (!fromEditor && !e->text().isEmpty() && e->text().at(0).isPrint() &&
             !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        ch = e->text().at(0);
    if (!ch.isNull() && !cleared) {
        if (fromEditor)
            m_grid->DoKeyPress(ch);
        else
            m_grid->DoCharMessage(ch, shift, e->modifiers() & Qt::KeypadModifier);
    }
    // Keys the grid does not use go on to the window: Tab without goTabs
    // moves the focus, Enter and Esc reach the dialog unless an edit is open
    // (or Enter opens one).
    if (cleared || fromEditor) return true;
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) return m_grid->HasOption(goTabs);
    if (isReturn) return editing || m_grid->HasOption(goEditing);
    if (isEscape) return editing;
    return key != 0 || !ch.isNull();
}

bool TGridWidget::focusNextPrevChild(bool next)
{
    // With goTabs the grid keeps Tab for moving between cells.
    if (m_grid && m_grid->HasOption(goTabs)) return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

bool TGridWidget::event(QEvent* e)
{
    bool taken = false;
    if (m_grid && e->type() != QEvent::Paint) Dispatch([&] { taken = m_grid->WndProc(*e); });
    const bool result = taken || QAbstractScrollArea::event(e);
    // The frame is drawn: the grid may paint its own border over it.
    if (e->type() == QEvent::Paint && m_grid && frameShape() != QFrame::NoFrame)
        Dispatch([&] {
            QPainter p(this);
            TCanvas canvas(p);
            m_grid->PaintNonClient(canvas, width(), height());
        });
    return result;
}

bool TGridWidget::viewportEvent(QEvent* e)
{
    bool taken = false;
    if (m_grid && e->type() != QEvent::Paint) Dispatch([&] { taken = m_grid->WndProc(*e); });
    return taken || QAbstractScrollArea::viewportEvent(e);
}

void TGridWidget::paintEvent(QPaintEvent* e)
{
    if (!m_grid) return;
    QPainter p(viewport());
    p.setClipRegion(e->region());
    Dispatch([&] { m_grid->PaintTo(p); });
}

void TGridWidget::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    Dispatch([&] {
        m_grid->SetClientSize(viewport()->width(), viewport()->height());
        PlaceEditor();
    });
}

bool TGridWidget::KeyToOpenEditor(QKeyEvent* e)
{
    if (!m_grid || !m_grid->EditorMode() || !m_active || !m_active->Control()->isVisible()) return false;
    QWidget* control = m_active->Control();
    // A key the editor ignores climbs back up its parents to this widget:
    // it ends here instead of being handed over again.
    const bool seen = e == m_editorKey && m_editorKeyStamp == std::tuple{int(e->type()), e->key(), e->timestamp()};
    m_editorKey = nullptr;
    if (m_keyToEditor || seen) return true;
    QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text(), e->isAutoRepeat(), ushort(e->count()));
    m_keyToEditor = true;
    QApplication::sendEvent(control, &copy);
    m_keyToEditor = false;
    return true;
}

void TGridWidget::keyPressEvent(QKeyEvent* e)
{
    // While the editor is open, keys that reach the grid belong to it.
    if (KeyToOpenEditor(e)) return;
    if (!ForwardKey(e, false)) QAbstractScrollArea::keyPressEvent(e);
}

void TGridWidget::keyReleaseEvent(QKeyEvent* e)
{
    if (KeyToOpenEditor(e)) return;
    int key = QtKeyToVirtualKey(e->key());
    if (!m_grid || key == 0 || e->isAutoRepeat()) {
        QAbstractScrollArea::keyReleaseEvent(e);
        return;
    }
    TShiftState shift = QtModifiersToShift(e->modifiers());
    if (e->key() == Qt::Key_Backtab) shift.Include(ssShift);
    Dispatch([&] { m_grid->DoKeyUp(key, shift); });
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
    Dispatch([&] {
        m_grid->MouseDown(ToButton(e->button()), QtModifiersToShift(e->modifiers(), e->buttons()), p.x(), p.y());
    });
}

void TGridWidget::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    Dispatch([&] {
        if (m_grid->GridState() == gsNormal) {
            TGridState state = gsNormal;
            int index = -1;
            m_grid->CalcSizingState(p.x(), p.y(), state, index);
            viewport()->setCursor(state == gsColSizing   ? Qt::SplitHCursor
                                  : state == gsRowSizing ? Qt::SplitVCursor
                                                         : Qt::ArrowCursor);
        }
        m_grid->MouseMove(QtModifiersToShift(e->modifiers(), e->buttons()), p.x(), p.y());
    });
}

void TGridWidget::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    Dispatch([&] {
        m_grid->MouseUp(ToButton(e->button()), QtModifiersToShift(e->modifiers(), e->buttons()), p.x(), p.y());
    });
}

void TGridWidget::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (!m_grid) return;
    setFocus(Qt::MouseFocusReason);
    const QPoint p = e->position().toPoint();
    Dispatch([&] {
        m_grid->MouseDown(ToButton(e->button()), QtModifiersToShift(e->modifiers(), e->buttons()).With(ssDouble),
                          p.x(), p.y());
        m_grid->DblClick();
    });
}

void TGridWidget::wheelEvent(QWheelEvent* e)
{
    e->accept();
    if (!m_grid) return;
    m_wheelRest += e->angleDelta().y();
    const TShiftState s = QtModifiersToShift(e->modifiers(), e->buttons());
    const QPoint pos = e->position().toPoint();
    Dispatch([&] {
        while (m_wheelRest <= -120) {
            m_wheelRest += 120;
            m_grid->DoMouseWheelDown(s, pos);
        }
        while (m_wheelRest >= 120) {
            m_wheelRest -= 120;
            m_grid->DoMouseWheelUp(s, pos);
        }
    });
}

void TGridWidget::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    PushFocus();
    viewport()->update();
}

void TGridWidget::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    PushFocus();
    viewport()->update();
}

void TGridWidget::scrollContentsBy(int, int)
{
    // The grid scrolls by whole cells: the scroll bars report through their
    // value signals and the grid repaints.
}
