#pragma once
// A group of collapsible category panels: each panel has a header bar with
// its caption that folds and unfolds its body; the panels are stacked top to
// bottom without gaps in a scrolling area, and the mouse wheel anywhere over
// the group scrolls it.
#include <QList>
#include <QScrollArea>
#include <QString>
#include <functional>

class QVBoxLayout;
class TCategoryPanelGroup;

class TCategoryPanel : public QWidget {
    Q_OBJECT
public:
    explicit TCategoryPanel(TCategoryPanelGroup* group);

    // The widget the panel's controls are placed on, below the header.
    QWidget* Body() const { return m_body; }

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

    // Height of the unfolded panel, header included.
    int PanelHeight() const { return m_height; }
    void SetPanelHeight(int height);

    bool Collapsed() const { return m_collapsed; }
    void SetCollapsed(bool collapsed);
    void Collapse() { SetCollapsed(true); }
    void Expand() { SetCollapsed(false); }

    int HeaderHeight() const;

    // Called after the user folded or unfolded the panel.
    std::function<void(TCategoryPanel*)> OnToggle;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void UpdateHeight();
    TCategoryPanelGroup* m_group;
    QWidget* m_body;
    QString m_caption;
    int m_height = 100;
    bool m_collapsed = false;
};

class TCategoryPanelGroup : public QScrollArea {
    Q_OBJECT
public:
    explicit TCategoryPanelGroup(QWidget* parent = nullptr);

    static constexpr int Header_Height = 24;
    int HeaderHeight() const { return Header_Height; }

    // Creates a panel at the end of the stack.
    TCategoryPanel* AddPanel();
    QList<TCategoryPanel*> Panels() const { return m_panels; }

    // Stacks the panels in this order from the top; the others follow.
    void SetOrder(const QList<TCategoryPanel*>& order);

    // Scrolls by the desktop's wheel lines when `globalPos` lies over the
    // group's client area: up for a positive delta, down otherwise. Answers
    // whether the wheel was taken.
    bool WheelScroll(const QPoint& globalPos, int delta);

    // Sends the wheel of `w` and all its children to the group, so that a
    // list or an edit under the mouse does not take it.
    void RouteWheel(QWidget* w);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    QWidget* m_content;
    QVBoxLayout* m_layout;
    QList<TCategoryPanel*> m_panels;
};
