#pragma once
// TForm: a window with the life cycle the program's windows are written
// against (creation, FormShow, ShowModal with a modal result, fixed client
// size, caption, text routine).
//
// ShowModal goes through a replaceable handler, like the message boxes: the
// default runs a modal loop, a test installs one that shows the window, drives
// it and returns its modal result without a nested loop blocking the test.
#include <QDialog>
#include <functional>

class TForm;

using ModalHandler = std::function<int(TForm&)>;

// Installs a handler and returns the one it replaces; empty puts back the
// default (QDialog::exec).
ModalHandler SetModalHandler(ModalHandler handler);

class TForm : public QDialog {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    // Shows the window modally and returns its modal result.
    int ShowModal();

    int ModalResult() const { return m_modalResult; }
    // A non-zero result closes a window shown modally, as on the original platform.
    void SetModalResult(int result);

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& caption) { setWindowTitle(caption); }

    // Fixes the size of the client area; the window cannot be resized.
    void SetClientSize(int width, int height);
    int ClientWidth() const { return width(); }
    int ClientHeight() const { return height(); }

    // Sets every caption, hint, column title and list item from the text
    // table. Called when the window is created and after a language switch.
    virtual void Set_Lang() {}

    // True while ShowModal runs for this window.
    bool IsModal() const { return m_inModal; }

protected:
    // Called each time the window is about to be shown.
    virtual void FormShow() {}
    // Called when the window is asked to close; set canClose false to refuse.
    // An exception from it is shown and the window stays open.
    virtual void FormCloseQuery(bool& canClose) { canClose = true; }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int r) override;
    void reject() override;

private:
    int m_modalResult = 0;
    bool m_inModal = false;
};
