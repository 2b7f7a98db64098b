#pragma once
// The window of a grid: a QAbstractScrollArea whose viewport shows the cells.
// It paints through the grid's Paint, turns Qt's key, mouse and wheel events
// into the grid's input calls, keeps the scroll bars in step with LeftCol and
// TopRow, and shows the in-place text editor over the cell being edited.
// Every decision is the grid's; the widget only translates.
#include "platform/Grids.h"

#include <QAbstractScrollArea>
#include <QLineEdit>

class TCustomGrid;

// The in-place text editor: a frameless line edit over the edited cell. The
// keys that end an edit or move on go to the grid.
class TInplaceEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TInplaceEdit(TGridWidget* owner);
    TGridWidget* Owner() const { return m_owner; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    TGridWidget* m_owner;
};

class TGridWidget : public QAbstractScrollArea, public TGridView {
    Q_OBJECT
public:
    // Attaches itself to the grid as its view.
    TGridWidget(TCustomGrid* grid, QWidget* parent);
    ~TGridWidget() override;

    TCustomGrid* Grid() const { return m_grid; }
    TInplaceEdit* Editor() const { return m_editor; }
    bool EditorHasFocus() const;

    // TGridView
    void GridGone() override;
    bool HasParent() const override { return parentWidget() != nullptr; }
    void InvalidateAll() override { viewport()->update(); }
    void InvalidateRect(const TRect& r) override { viewport()->update(r.ToQRect()); }
    void SetRedraw(bool on) override { setUpdatesEnabled(on); }
    void ScrollBarsChanged() override { SyncScrollBars(); }
    void EditorOpened(const QString& text, int limit, const QString& mask) override;
    void EditorClosed() override;
    void PlaceEditor() override;
    QString EditorText() const override;
    void SetEditorText(const QString& s) override;

    void SyncScrollBars();

    // Key translation shared with the editor: answers whether the grid took it.
    bool ForwardKey(QKeyEvent* e, bool fromEditor);

    QSize sizeHint() const override { return QSize(320, 120); }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Tells the grid whether it (or its editor) has the focus now.
    void PushFocus();

    QMetaObject::Connection m_focusConnection;
    TCustomGrid* m_grid;
    TInplaceEdit* m_editor = nullptr;
    bool m_syncing = false;
    bool m_focusInside = false;
    bool m_resyncing = false;
    int m_wheelRest = 0;
};

// Qt key and modifiers to the platform's key code and shift state.
int QtKeyToVirtualKey(int qtKey);
TShiftState QtModifiersToShift(Qt::KeyboardModifiers m, Qt::MouseButtons b = Qt::NoButton);
