// The pop-up window of the drop-down edits and the pure placement rules.
#include "dropdown/ExtDropDown.h"
#include "dropdown/ExtDropDownStrips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWheelEvent>

// ---- Clock -----------------------------------------------------------------

namespace {

TTickCountSource& TickSource()
{
    static TTickCountSource source;
    return source;
}

} // namespace

uint32_t DropDownTickCount()
{
    if (const TTickCountSource& s = TickSource()) return s();
    // The monotonic clock since the system started, as a tick count is.
    return uint32_t(QDeadlineTimer::current().deadline());
}

TTickCountSource SetDropDownTickCountSource(TTickCountSource source)
{
    TTickCountSource old = std::move(TickSource());
    TickSource() = std::move(source);
    return old;
}

// ---- Placement -------------------------------------------------------------

QPoint PlaceDropDown(QPoint anchor, int editHeight, QSize size, TDropPosition position, const QRect& workArea)
{
    const int below = anchor.y() + editHeight - 1;
    const int above = anchor.y() - size.height();
    int top = below;
    switch (position) {
    case TDropPosition::dpDown: top = below; break;
    case TDropPosition::dpUp: top = above; break;
    case TDropPosition::dpAuto: top = below + size.height() <= workArea.y() + workArea.height() ? below : above; break;
    }
    int left = anchor.x();
    const int workRight = workArea.x() + workArea.width();
    if (left + size.width() > workRight && left < workRight) left = workRight - size.width();
    return QPoint(left, top);
}

QRect DropDownWorkArea(QPoint point)
{
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// ---- TDropDownForm ---------------------------------------------------------

TDropDownForm::TDropDownForm(TExtCustomDropDown* owner) : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint), FExtDropDown(owner)
{
    setAttribute(Qt::WA_NoMouseReplay, false);
    setFocusPolicy(Qt::StrongFocus);
}

TDropDownForm::~TDropDownForm()
{
    if (FExtDropDown) FExtDropDown->DropDownFormDestroy();
}

QRect TDropDownForm::InnerRect() const
{
    const int bw = FExtDropDown ? std::max(0, FExtDropDown->DropDownBorderWidth()) : 0;
    return rect().adjusted(bw, bw, -bw, -bw);
}

void TDropDownForm::ArrangeChildren()
{
    if (!isVisible()) return;
    QRect client = InnerRect();
    if (FHeader && FHeader->isVisibleTo(this)) {
        FHeader->setGeometry(client.x(), client.y(), client.width(), FHeader->height());
        client.setTop(client.top() + FHeader->height());
    }
    if (FFooter && FFooter->isVisibleTo(this)) {
        FFooter->setGeometry(client.x(), client.bottom() + 1 - FFooter->height(), client.width(), FFooter->height());
        client.setBottom(client.bottom() - FFooter->height());
    }
    if (FExtDropDown && FExtDropDown->Control() && FExtDropDown->Control()->parentWidget() == this)
        FExtDropDown->Control()->setGeometry(client);
}

void TDropDownForm::InitializeAndUpdate()
{
    TExtCustomDropDown* e = FExtDropDown;
    if (!e) return;
    if (FHeader) {
        FHeader->AttachDropDown(e);
        FHeader->RefreshButtons();
        FHeader->setFixedHeight(std::max(0, e->DropDownHeader().Height()));
        FHeader->setVisible(e->DropDownHeader().Visible());
    } else if (e->DropDownHeader().Visible()) {
        FHeader = new TExtHeader(this);
        FHeader->setFixedHeight(std::max(0, e->DropDownHeader().Height()));
        FHeader->AttachDropDown(e);
        FHeader->RefreshButtons();
        FHeader->show();
    }
    if (FFooter) {
        FFooter->AttachDropDown(e);
        FFooter->RefreshButtons();
        FFooter->setFixedHeight(std::max(0, e->DropDownFooter().Height()));
        FFooter->setVisible(e->DropDownFooter().Visible());
    } else if (e->DropDownFooter().Visible()) {
        FFooter = new TExtFooter(this);
        FFooter->setFixedHeight(std::max(0, e->DropDownFooter().Height()));
        FFooter->AttachDropDown(e);
        FFooter->RefreshButtons();
        FFooter->show();
    }
    if (FHeader) {
        FHeader->OnDrawBackGround = e->OnDrawHeader;
        FHeader->OnGetText = e->OnGetHeaderText;
    }
    if (FFooter) {
        FFooter->OnDrawBackGround = e->OnDrawFooter;
        FFooter->OnGetText = e->OnGetFooterText;
    }
    ArrangeChildren();
    update();
}

void TDropDownForm::PaintBackground(TCanvas& canvas)
{
    TExtCustomDropDown* e = FExtDropDown;
    if (!e) return;
    const int bw = e->DropDownBorderWidth();
    const TRect client{0, 0, width(), height()};
    const TRect inner = client.Inflated(-std::max(0, bw), -std::max(0, bw));
    if (e->DropDownColor() != clNone && e->DropDownColorTo() != clNone) {
        FillDropDownGradient(canvas, e->DropDownColor(), e->DropDownColorTo(), 80, inner,
                             e->DropDownGradient() == TGradientDirection::gdHorizontal);
    } else if (e->DropDownColor() != clNone) {
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(e->DropDownColor());
        canvas.FillRect(inner);
    }
    if (bw > 0) {
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenWidth(bw);
        canvas.SetPenColor(e->DropDownBorderColor());
        canvas.Rectangle(TRect{client.Left + bw / 2, client.Top + bw / 2, client.Right, client.Bottom});
        canvas.SetPenWidth(1);
    }
}

void TDropDownForm::paintEvent(QPaintEvent*)
{
    TCanvas canvas(this);
    PaintBackground(canvas);
}

void TDropDownForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ArrangeChildren();
    update();
}

void TDropDownForm::RememberForwarded(const QKeyEvent* event)
{
    FForwarded = {event, event->type(), event->key(), event->timestamp()};
}

bool TDropDownForm::AlreadyForwarded(const QKeyEvent* event) const
{
    // The same event object travelling on from the hosted control.
    return FForwarded.Event == event && FForwarded.Type == event->type() && FForwarded.Key == event->key() &&
           FForwarded.Timestamp == event->timestamp();
}

void TDropDownForm::keyPressEvent(QKeyEvent* event)
{
    if (!FExtDropDown || AlreadyForwarded(event)) {
        event->accept();
        return;
    }
    int key = event->key();
    FExtDropDown->DropDownFormKeyDown(key, event->modifiers());
    const QString text = event->text();
    if (isVisible() && !text.isEmpty() && text.at(0).isPrint()) {
        QChar c = text.at(0);
        FExtDropDown->DropDownFormKeyPress(c);
    }
    event->accept();
}

void TDropDownForm::keyReleaseEvent(QKeyEvent* event)
{
    if (!FExtDropDown || AlreadyForwarded(event)) return;
    int key = event->key();
    FExtDropDown->DropDownFormKeyUp(key, event->modifiers());
    event->accept();
}

void TDropDownForm::wheelEvent(QWheelEvent* event)
{
    if (!FExtDropDown) return;
    if (event->angleDelta().y() < 0)
        FExtDropDown->DropDownFormMouseWheelDown();
    else if (event->angleDelta().y() > 0)
        FExtDropDown->DropDownFormMouseWheelUp();
    event->accept();
}

void TDropDownForm::BeginSizing(QPoint globalPos)
{
    FSizing = true;
    FSizeStart = globalPos;
    FSizeStartSize = size();
}

void TDropDownForm::SizeTo(QPoint globalPos)
{
    if (!FSizing) return;
    const QPoint d = globalPos - FSizeStart;
    resize(std::max(minimumWidth(), FSizeStartSize.width() + d.x()), std::max(minimumHeight(), FSizeStartSize.height() + d.y()));
    if (FOnSizing) FOnSizing(this);
}

void TDropDownForm::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (!rect().contains(p)) {
        Deactivate(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (FSizeable && event->button() == Qt::LeftButton && p.x() >= width() - 10 && p.y() >= height() - 10) {
        BeginSizing(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    event->accept();
}

void TDropDownForm::mouseMoveEvent(QMouseEvent* event)
{
    if (FSizing) SizeTo(event->globalPosition().toPoint());
}

void TDropDownForm::mouseReleaseEvent(QMouseEvent*) { FSizing = false; }

void TDropDownForm::Deactivate(QPoint globalPos)
{
    if (!isVisible()) return;
    if (FBlockActivate) return;
    FDeActivate = DropDownTickCount();
    // A press in a window opened from the pop-up keeps it open.
    for (QWidget* w = QApplication::widgetAt(globalPos); w; w = w->parentWidget())
        if (w == this) return;
    if (FExtDropDown)
        FExtDropDown->DoHideDropDown(FCancelOnDeActivate);
    else
        hide();
}

void TDropDownForm::closeEvent(QCloseEvent* event)
{
    // Qt closes a pop-up on its own (a press outside it, the application
    // losing the focus): that is a deactivation.
    event->ignore();
    if (isVisible()) Deactivate(QCursor::pos());
}

void TDropDownForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ArrangeChildren();
}

void TDropDownForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    FSizing = false;
    if (FExtDropDown) FExtDropDown->DropDownFormHide();
}

bool TDropDownForm::eventFilter(QObject* watched, QEvent* event)
{
    // Keys of the hosted control reach the edit first; the control handles
    // them afterwards unless the edit closed the pop-up.
    TExtCustomDropDown* e = FExtDropDown;
    if (!e || watched != FWatchedControl.data()) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        int key = k->key();
        e->ControlKeyDown(key, k->modifiers());
        if (!isVisible()) return true;
        const QString text = k->text();
        if (!text.isEmpty() && text.at(0).isPrint()) {
            QChar c = text.at(0);
            e->ControlKeyPress(c);
            if (!isVisible()) return true;
        }
        RememberForwarded(k);
    } else if (event->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(event);
        int key = k->key();
        e->ControlKeyUp(key, k->modifiers());
        RememberForwarded(k);
    }
    return QWidget::eventFilter(watched, event);
}
