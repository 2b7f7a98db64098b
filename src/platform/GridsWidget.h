#pragma once
// The window of a grid: a QAbstractScrollArea whose viewport shows the cells.
// It paints through the grid's Paint, turns Qt's key, mouse and wheel events
// into the grid's input calls, keeps the scroll bars in step with LeftCol and
// TopRow, and shows the in-place text editor over the cell being edited.
// Every decision is the grid's; the widget only translates.
#include "platform/Grids.h"
#include "platform/MaskEdit.h"

#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <map>
#include <tuple>
#include <memory>

class TCustomGrid;

// An in-place cell editor: one control that the grid's window shows over the
// cell being edited. The grid's window keeps one editor per editor kind,
// made by the grid (TCustomGrid::CreateCellEditor) on first use, and reuses
// it for every cell of that kind. The grid keeps the edit state (which cell,
// the text it started with); the editor only shows and takes the text.
class TCellEditor {
public:
    virtual ~TCellEditor() = default;
    // The control; a child of the grid's viewport once the window took it.
    virtual QWidget* Control() const = 0;
    // The cell's text as the editor starts; its length limit (0: none) and
    // input mask (empty: none), where the editor has such things.
    virtual void LoadText(const QString& text) = 0;
    virtual void SetLimits(int maxLength, const QString& mask) {}
    // The text to store into the cell.
    virtual QString Text() const = 0;
    // Places the control over the cell (rectangle in viewport pixels).
    virtual void Place(const QRect& r) { Control()->setGeometry(r); }
    // Shows the control, taking the focus when asked; hides it.
    virtual void Show(bool takeFocus);
    virtual void Hide() { Control()->hide(); }
    // Whether the editor keeps a key that the grid would otherwise take
    // (arrows up and down, page keys, Tab, Enter, Esc: the grid moves on,
    // commits or cancels). A combo box keeps Up and Down, for instance.
    // Keys the grid does not take always go to the editor.
    virtual bool WantsKey(int key, TShiftState shift) const { return false; }
};

// The control of the text editor: a frameless line edit.
class TInplaceEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TInplaceEdit(QWidget* parent = nullptr);
};

// The text editor, the grid's editor of plain text cells.
class TTextCellEditor : public TCellEditor {
public:
    // Takes the given control (a TInplaceEdit or a subclass of it), or makes one.
    explicit TTextCellEditor(TInplaceEdit* edit = nullptr);
    ~TTextCellEditor() override;
    QWidget* Control() const override { return m_edit; }
    TInplaceEdit* Edit() const { return m_edit; }
    void LoadText(const QString& text) override { m_edit->setText(text); }
    void SetLimits(int maxLength, const QString& mask) override;
    QString Text() const override;
    void Show(bool takeFocus) override;

private:
    QPointer<TInplaceEdit> m_edit;
    TEditMask m_mask;
};

class TGridWidget : public QAbstractScrollArea, public TGridView {
    Q_OBJECT
public:
    // Attaches itself to the grid as its view.
    TGridWidget(TCustomGrid* grid, QWidget* parent);
    ~TGridWidget() override;

    TCustomGrid* Grid() const { return m_grid; }
    // The control of the text editor (editor kind 0), made with the widget.
    TInplaceEdit* Editor() const;
    // The editor open now, else null.
    TCellEditor* ActiveEditor() const { return m_active; }
    // The editor of a kind, made through the grid on first use.
    TCellEditor* EditorOfKind(int kind);
    bool EditorHasFocus() const;

    // TGridView
    void GridGone() override;
    bool HasParent() const override { return parentWidget() != nullptr; }
    void InvalidateAll() override
    {
        if (RepaintObserver) RepaintObserver(TRect{0, 0, viewport()->width(), viewport()->height()});
        viewport()->update();
    }
    void InvalidateRect(const TRect& r) override
    {
        if (RepaintObserver) RepaintObserver(r);
        viewport()->update(r.ToQRect());
    }
    // Sees every area the grid asks to have repainted (the whole viewport
    // for a full repaint), for tools that follow the painting.
    std::function<void(const TRect&)> RepaintObserver;
    void SetRedraw(bool on) override { setUpdatesEnabled(on); }
    void ScrollBarsChanged() override { SyncScrollBars(); }
    void EditorOpened(const QString& text, int limit, const QString& mask) override;
    void EditorClosed() override;
    void PlaceEditor() override;
    QString EditorText() const override;
    void SetEditorText(const QString& s) override;

    void SyncScrollBars();
    // Room kept free under the cells (above the horizontal scroll bar) for
    // panels that belong to the grid.
    void SetViewportBottomMargin(int h) { setViewportMargins(0, 0, 0, h < 0 ? 0 : h); }
    int ViewportBottomMargin() const { return viewportMargins().bottom(); }

    // Key translation shared with the editor: answers whether the grid took it.
    bool ForwardKey(QKeyEvent* e, bool fromEditor);

    QSize sizeHint() const override { return QSize(320, 120); }

protected:
    // The grid's window procedure sees every event first.
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
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
    // Every event handler and slot reaches the grid through here: the call
    // runs only while there is a grid, and an exception from it is shown
    // through the default handler (it never travels through Qt's frames).
    // Answers false when the call failed or there was no grid.
    bool Dispatch(const std::function<void()>& call);
    bool TranslateKey(QKeyEvent* e, bool fromEditor);
    // While the editor is open, a key reaching this window either comes up
    // from the editor, which has seen it already (dropped here), or was
    // typed with the focus on the grid (handed to the editor). Answers
    // whether the editor was open.
    bool KeyToOpenEditor(QKeyEvent* e);

    bool eventFilter(QObject* watched, QEvent* event) override;

    QMetaObject::Connection m_focusConnection;
    TCustomGrid* m_grid;
    // One editor per kind; the text editor is made first.
    std::map<int, std::unique_ptr<TCellEditor>> m_editors;
    TCellEditor* m_active = nullptr;
    bool m_keyToEditor = false; // a key is being handed to the open editor
    // The last key event the open editor received, and what it was.
    const QKeyEvent* m_editorKey = nullptr;
    std::tuple<int, int, quint64> m_editorKeyStamp;
    bool m_syncing = false;
    bool m_focusInside = false;
    bool m_resyncing = false;
    int m_wheelRest = 0;
};

// Qt key and modifiers to the platform's key code and shift state.
int QtKeyToVirtualKey(int qtKey);
TShiftState QtModifiersToShift(Qt::KeyboardModifiers m, Qt::MouseButtons b = Qt::NoButton);
