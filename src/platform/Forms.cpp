#include "platform/Forms.h"

#include "platform/Application.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace {
ModalHandler& Handler()
{
    static ModalHandler h;
    return h;
}
} // namespace

ModalHandler SetModalHandler(ModalHandler handler)
{
    ModalHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}

TForm::TForm(QWidget* parent) : QDialog(parent)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

TForm::~TForm() = default;

int TForm::ShowModal()
{
    m_modalResult = 0;
    m_inModal = true;
    int result = 0;
    if (Handler()) {
        result = Handler()(*this);
        if (isVisible()) hide();
    } else {
        exec();
        result = m_modalResult;
    }
    m_inModal = false;
    return result;
}

void TForm::SetModalResult(int result)
{
    m_modalResult = result;
    if (result != 0 && isVisible()) QDialog::done(result);
}

void TForm::SetClientSize(int width, int height)
{
    setFixedSize(width, height);
}

void TForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) Guard([this] { FormShow(); });
}

void TForm::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    // An error while deciding is shown and the window stays open: closing
    // it anyway could lose what the user entered.
    if (!Guard([&] { FormCloseQuery(canClose); })) canClose = false;
    if (canClose) {
        if (m_modalResult == 0) m_modalResult = 2; // closed by the title bar: Cancel
        event->accept();
        if (isVisible()) QDialog::done(m_modalResult);
    } else {
        event->ignore();
    }
}

void TForm::done(int r)
{
    if (m_modalResult == 0) m_modalResult = r == QDialog::Accepted ? 1 : (r == QDialog::Rejected ? 2 : r);
    QDialog::done(r);
}

void TForm::reject()
{
    // Esc closes a window only where the window itself says so (it overrides
    // this); the title bar's close button goes through closeEvent.
}
