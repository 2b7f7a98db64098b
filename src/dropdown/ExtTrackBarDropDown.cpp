#include "dropdown/ExtTrackBarDropDown.h"

#include "platform/SysUtils.h"

#include <QKeyEvent>
#include <QMouseEvent>

int TrackBarDragPosition(int position, int dx, int pageSize)
{
    if (pageSize <= 0) pageSize = 1;
    return position + dx / pageSize; // C++ division cuts toward zero
}

TExtTrackBarDropDown::TExtTrackBarDropDown(QWidget* parent) : TExtCustomDropDown(parent)
{
    // The base built the pop-up; this adds the track bar to it.
    CreateDropDownForm();
    SetMin(0);
    SetMax(10);
    SetPosition(0);
    SetPageSize(2);
    SetFrequency(1);
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetEditType(TDropDownEditType::etNumeric);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    SetForceShadow(true);
}

void TExtTrackBarDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (FTrackBar || !DropDownForm()) return;
    FTrackBar = new QSlider(Qt::Horizontal, DropDownForm());
    FTrackBar->setGeometry(0, 0, width(), 40);
    FTrackBar->setTickPosition(QSlider::TicksBelow);
    FTrackBar->setRange(FMin, FMax);
    QObject::connect(FTrackBar, &QSlider::valueChanged, this, [this] { TrackChanged(); });
}

void TExtTrackBarDropDown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    if (DropDownForm()) DropDownForm()->FCancelOnDeActivate = false;
    if (!FTrackBar) return;
    // Escape gives back the value the pop-up opened with.
    FOldText = Text();
    FTrackBar->setRange(FMin, FMax);
    FTrackBar->setValue(FPosition);
    FTrackBar->setPageStep(FPageSize);
    FTrackBar->setTickInterval(FFrequency);
    FTrackBar->setSingleStep(1);
    FTrackBar->resize(width(), FTrackBar->height());
    SetControl(FTrackBar);
}

void TExtTrackBarDropDown::ShowPosition()
{
    const QString text = QString::number(FPosition);
    if (Text() != text) SetTextDirect(text);
}

void TExtTrackBarDropDown::SetPosition(int value)
{
    FPosition = value;
    if (FTrackBar) {
        const QSignalBlocker block(FTrackBar);
        FTrackBar->setValue(value);
        FPosition = FTrackBar->value();
    }
    ShowPosition();
}

void TExtTrackBarDropDown::SetMin(int value)
{
    FMin = value;
    if (FTrackBar) {
        FTrackBar->setMinimum(value);
        FMin = FTrackBar->minimum();
        FMax = FTrackBar->maximum();
    }
}

void TExtTrackBarDropDown::SetMax(int value)
{
    FMax = value;
    if (FTrackBar) {
        FTrackBar->setMaximum(value);
        FMax = FTrackBar->maximum();
        FMin = FTrackBar->minimum();
    }
}

void TExtTrackBarDropDown::SetPageSize(int value)
{
    FPageSize = value;
    if (FTrackBar) FTrackBar->setPageStep(value);
}

void TExtTrackBarDropDown::SetFrequency(int value)
{
    FFrequency = value;
    if (FTrackBar) FTrackBar->setTickInterval(value);
}

void TExtTrackBarDropDown::TrackChanged()
{
    if (!FTrackBar) return;
    FPosition = FTrackBar->value();
    SetTextDirect(QString::number(FPosition));
    if (OnTrackChange) OnTrackChange(this);
}

void TExtTrackBarDropDown::Change()
{
    TExtCustomDropDown::Change();
    if (const auto v = TryStrToInt(Text())) {
        if (*v != FPosition) SetPosition(*v);
    }
}

void TExtTrackBarDropDown::keyPressEvent(QKeyEvent* event)
{
    TExtCustomDropDown::keyPressEvent(event);
    if (EditorEnabled() || (event->modifiers() & Qt::AltModifier)) return;
    if (event->key() == Qt::Key_Up && FPosition - FFrequency >= FMin) SetPosition(FPosition - FFrequency);
    if (event->key() == Qt::Key_Down && FPosition + FFrequency <= FMax) SetPosition(FPosition + FFrequency);
}

void TExtTrackBarDropDown::mousePressEvent(QMouseEvent* event)
{
    if (DragAllowed()) {
        FMouseX = event->position().toPoint().x();
        FMouseDraging = true;
    }
    TExtCustomDropDown::mousePressEvent(event);
}

void TExtTrackBarDropDown::mouseMoveEvent(QMouseEvent* event)
{
    TExtCustomDropDown::mouseMoveEvent(event);
    if (!DragAllowed() || !FMouseDraging) return;
    const int x = event->position().toPoint().x();
    SetPosition(TrackBarDragPosition(FPosition, x - FMouseX, FPageSize));
    FMouseX = x;
}

void TExtTrackBarDropDown::mouseReleaseEvent(QMouseEvent* event)
{
    FMouseDraging = false;
    TExtCustomDropDown::mouseReleaseEvent(event);
}
