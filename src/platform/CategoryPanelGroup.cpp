#include "platform/CategoryPanelGroup.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

TCategoryPanel::TCategoryPanel(TCategoryPanelGroup* group) : QWidget(nullptr), m_group(group), m_body(new QWidget(this))
{
    m_body->move(0, HeaderHeight());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    UpdateHeight();
}

int TCategoryPanel::HeaderHeight() const { return TCategoryPanelGroup::Header_Height; }

void TCategoryPanel::SetCaption(const QString& caption)
{
    if (caption == m_caption) return;
    m_caption = caption;
    update(0, 0, width(), HeaderHeight());
}

void TCategoryPanel::SetPanelHeight(int height)
{
    m_height = std::max(height, HeaderHeight());
    UpdateHeight();
}

void TCategoryPanel::SetCollapsed(bool collapsed)
{
    if (collapsed == m_collapsed) return;
    m_collapsed = collapsed;
    UpdateHeight();
    update();
}

void TCategoryPanel::UpdateHeight()
{
    const int h = m_collapsed ? HeaderHeight() : m_height;
    setFixedHeight(h);
    m_body->setVisible(!m_collapsed);
    m_body->resize(width(), std::max(0, m_height - HeaderHeight()));
}

void TCategoryPanel::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    m_body->resize(width(), std::max(0, m_height - HeaderHeight()));
}

void TCategoryPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect header(0, 0, width(), HeaderHeight());
    QLinearGradient g(header.topLeft(), header.bottomLeft());
    g.setColorAt(0, QColor(0xF4, 0xF4, 0xF4));
    g.setColorAt(1, QColor(0xDC, 0xDC, 0xDC));
    p.fillRect(header, g);
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawLine(header.bottomLeft(), header.bottomRight());
    p.drawLine(header.topLeft(), header.topRight());

    // The fold mark: a chevron pointing up while open, down while folded.
    const QColor ink = isEnabled() ? QColor(0x40, 0x40, 0x40) : QColor(0xA0, 0xA0, 0xA0);
    p.setPen(QPen(ink, 2));
    const int cx = header.right() - 14, cy = header.center().y();
    if (m_collapsed) {
        p.drawLine(cx - 4, cy - 2, cx, cy + 2);
        p.drawLine(cx, cy + 2, cx + 4, cy - 2);
    } else {
        p.drawLine(cx - 4, cy + 2, cx, cy - 2);
        p.drawLine(cx, cy - 2, cx + 4, cy + 2);
    }

    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(ink);
    p.drawText(header.adjusted(8, 0, -28, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, m_caption);
}

void TCategoryPanel::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && e->position().y() < HeaderHeight()) {
        SetCollapsed(!m_collapsed);
        if (OnToggle) OnToggle(this);
        e->accept();
        return;
    }
    QWidget::mousePressEvent(e);
}

TCategoryPanelGroup::TCategoryPanelGroup(QWidget* parent)
    : QScrollArea(parent), m_content(new QWidget), m_layout(new QVBoxLayout(m_content))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addStretch(1);
    setWidget(m_content);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::StyledPanel);
    verticalScrollBar()->setSingleStep(16);
}

TCategoryPanel* TCategoryPanelGroup::AddPanel()
{
    auto* p = new TCategoryPanel(this);
    m_layout->insertWidget(m_layout->count() - 1, p);
    m_panels << p;
    return p;
}

void TCategoryPanelGroup::SetOrder(const QList<TCategoryPanel*>& order)
{
    QList<TCategoryPanel*> all = order;
    for (TCategoryPanel* p : m_panels)
        if (!all.contains(p)) all << p;
    for (TCategoryPanel* p : all) m_layout->removeWidget(p);
    for (int i = 0; i < all.size(); ++i) m_layout->insertWidget(i, all[i]);
}

bool TCategoryPanelGroup::WheelScroll(const QPoint& globalPos, int delta)
{
    const QPoint local = viewport()->mapFromGlobal(globalPos);
    if (!viewport()->rect().contains(local)) return false;
    const int lines = QApplication::wheelScrollLines();
    for (int i = 0; i < lines; ++i)
        verticalScrollBar()->triggerAction(delta > 0 ? QAbstractSlider::SliderSingleStepSub
                                                      : QAbstractSlider::SliderSingleStepAdd);
    return true;
}

void TCategoryPanelGroup::RouteWheel(QWidget* w)
{
    w->installEventFilter(this);
    for (QWidget* c : w->findChildren<QWidget*>()) c->installEventFilter(this);
}

bool TCategoryPanelGroup::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::Wheel) {
        auto* we = static_cast<QWheelEvent*>(e);
        const int delta = we->angleDelta().y();
        if (delta != 0 && WheelScroll(we->globalPosition().toPoint(), delta)) return true;
    }
    return QScrollArea::eventFilter(watched, e);
}

void TCategoryPanelGroup::wheelEvent(QWheelEvent* e)
{
    const int delta = e->angleDelta().y();
    if (delta != 0 && WheelScroll(e->globalPosition().toPoint(), delta))
        e->accept();
    else
        QScrollArea::wheelEvent(e);
}
