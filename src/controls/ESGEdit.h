#pragma once
// The edit with a button of the grid's edit-button editors, and its subclass
// that edits a value followed by a unit chosen from a menu.
//
// TEsgEditBtn: an edit with a button at its right edge; a left click on the
// button, or F4, raises OnClickBtn. TEsgUnitEditBtn shows the unit between
// the value and the button; its button opens a menu of the units.
// TEsgEditButton is the container at the right edge that holds the one speed
// button (TExtSpeedButton) and forwards its click.
#include "controls/EsgCombo.h"
#include "platform/Buttons.h"
#include "platform/Graphics.h"
#include "platform/MaskEdit.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class TEsgEditButton;

class TExtSpeedButton : public TSpeedButton {
public:
    explicit TExtSpeedButton(QWidget* parent = nullptr);
    ~TExtSpeedButton() override;

    bool IsWinXP() const { return m_isWinXP; }
    void SetIsWinXP(bool v);
    // The mouse is over it.
    bool Hot() const { return MouseInControl(); }

protected:
    void Paint(TCanvas& canvas) override;

private:
    TEsgEditButton* Container() const;

    bool m_isWinXP = false;
};

class TEsgEditButton : public QWidget, public TButtonColorProperties {
public:
    explicit TEsgEditButton(QWidget* parent = nullptr);
    ~TEsgEditButton() override;

    TExtSpeedButton* Button() const { return m_button.get(); }

    QImage Glyph() const { return m_button->Glyph(); }
    void SetGlyph(const QImage& glyph) { m_button->SetGlyph(glyph); }
    int NumGlyphs() const { return m_button->NumGlyphs(); }
    void SetNumGlyphs(int n) { m_button->SetNumGlyphs(n); }
    QString ButtonCaption() const { return m_button->Caption(); }
    void SetButtonCaption(const QString& caption) { m_button->SetCaption(caption); }
    bool Flat() const { return m_flat; }
    void SetFlat(bool v);
    // The control that takes the focus after a click (not owned).
    QWidget* FocusControl() const { return m_focusControl; }
    void SetFocusControl(QWidget* w) { m_focusControl = w; }
    bool TabStop() const { return focusPolicy() & Qt::TabFocus; }
    void SetTabStop(bool v) { setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus); }


    void SetBounds(int left, int top, int width, int height) { setGeometry(left, top, width, height); }

    std::function<void(QObject* Sender)> OnClick;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BtnMouseUp(Qt::MouseButton button);
    // (the text and border colours are kept but not painted)
    void ButtonColorsChanged() override { m_button->update(); }

    std::unique_ptr<TExtSpeedButton> m_button;
    QPointer<QWidget> m_focusControl;
    bool m_flat = false;
};

class TEsgEditBtn : public TMaskEdit {
public:
    explicit TEsgEditBtn(QWidget* parent = nullptr);
    ~TEsgEditBtn() override;

    TEsgEditButton* Button() const { return m_button.get(); }

    int ButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int w);
    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool v) { m_editorEnabled = v; }
    QImage Glyph() const { return m_button->Glyph(); }
    void SetGlyph(const QImage& glyph) { m_button->SetGlyph(glyph); }
    bool IsWinXP() const { return m_isWinXP; }
    void SetIsWinXP(bool v);
    QString ButtonCaption() const { return m_button->ButtonCaption(); }
    void SetButtonCaption(const QString& caption) { m_button->SetButtonCaption(caption); }
    bool RightAlign() const { return m_rightAlign; }
    void SetRightAlign(bool v);

    // The smallest height that shows the font.
    int MinHeight() const;

    // Raises OnClickBtn.
    virtual void ButtonClick(QObject* Sender);

    std::function<void(QObject* Sender)> OnClickBtn;

protected:
    explicit TEsgEditBtn(QWidget* parent, int unitSize, bool rightAlign);

    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void WMChar(QChar& key, bool keypad) override;
    void WMPaste(const QString& text) override;
    void WMCut() override;
    void WMSize() override;
    void CMEnter() override;
    Qt::Alignment CreateAlignment() const override;
    void CreateWnd() override;
    void AdjustHeight() override;

    void SetEditRect();
    int m_unitSize = 0;

private:
    bool m_rightAlign = false;
    std::unique_ptr<TEsgEditButton> m_button;
    bool m_editorEnabled = true;
    int m_buttonWidth = 0;
    bool m_isWinXP = false;
};

class TEsgUnitEditBtn : public TEsgEditBtn {
public:
    explicit TEsgUnitEditBtn(QWidget* parent = nullptr);
    ~TEsgUnitEditBtn() override;

    // The unit choices, in menu order.
    const QStringList& Units() const { return m_units; }
    void SetUnits(const QStringList& units) { m_units = units; }
    QString UnitID() const { return m_unitID; }
    void SetUnitID(const QString& unit);
    // Width kept for the unit text.
    int UnitSpace() const { return m_unitSize; }
    void SetUnitSpace(int w);
    // The text immediately followed by the unit. Writing splits a value by
    // the first unit that ends it and occurs nowhere earlier in it; nothing
    // changes when none does.
    QString TextAndUnit() const;
    void SetTextAndUnit(const QString& value);

    // Raises OnClickBtn, then shows the units menu.
    void ButtonClick(QObject* Sender) override;
    // The menu's command `id` (1 = the first unit).
    void WMCommand(int id);

    std::function<void(QObject* Sender, const QString& NewUnit)> OnUnitChanged;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_unitID;
    QStringList m_units;
};
