#pragma once
// TSpeedButton: a small button without focus that shows a glyph and a
// caption, clicked by a left press and a release over it. Derived buttons
// paint themselves (Paint) and hook the mouse (MouseDown, MouseUp).
#include "platform/Canvas.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public QWidget {
public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    ~TSpeedButton() override;

    // The picture; a strip of NumGlyphs cells (up, disabled, down, exclusive).
    const QImage& Glyph() const { return m_glyph; }
    void SetGlyph(const QImage& glyph);
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int n);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    bool Flat() const { return m_flat; }
    void SetFlat(bool v);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool v);

    TButtonState State() const { return m_state; }
    // The mouse is over the button.
    bool MouseInControl() const { return m_mouseIn; }
    // A left press is being tracked (the button holds the mouse).
    bool MouseCapture() const { return m_dragging; }

    // Runs OnClick.
    virtual void Click();

    std::function<void(QObject* Sender)> OnClick;
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)> OnMouseDown;
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)> OnMouseUp;

protected:
    // The default look: the classic frame (one line when flat), the glyph
    // and the caption, both moved one pixel right and down while pressed.
    virtual void Paint(TCanvas& canvas);
    // The glyph cell for the state, centred in r (moved when down).
    void PaintGlyph(TCanvas& canvas, const TRect& r);
    virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    bool Pressed() const { return m_state == TButtonState::bsDown || m_state == TButtonState::bsExclusive; }

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QImage m_glyph;
    int m_numGlyphs = 1;
    QString m_caption;
    bool m_flat = false;
    bool m_transparent = false;
    bool m_mouseIn = false;
    bool m_dragging = false;
    TButtonState m_state = TButtonState::bsUp;
};
