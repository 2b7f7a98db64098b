#pragma once
// The track-bar drop-down: an integer edit whose pop-up holds a track bar;
// the value is Position between Min and Max. Without the editor, Up and Down
// step it by Frequency and dragging the pointer over the edit moves it by one
// per PageSize pixels.
#include "dropdown/ExtDropDown.h"

#include <QSlider>

// The position after the pointer moved dx pixels: one step per pageSize
// pixels, cut toward zero; a page size of 0 or less counts as 1.
int TrackBarDragPosition(int position, int dx, int pageSize);

class TExtTrackBarDropDown : public TExtCustomDropDown {
public:
    explicit TExtTrackBarDropDown(QWidget* parent = nullptr);

    int Min() const { return FMin; }
    void SetMin(int value);
    int Max() const { return FMax; }
    void SetMax(int value);
    // Kept within Min..Max by the track bar.
    int Position() const { return FPosition; }
    void SetPosition(int value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int value);
    // The tick interval of the track bar and the step of Up and Down.
    int Frequency() const { return FFrequency; }
    void SetFrequency(int value);
    QSlider* TrackBar() const { return FTrackBar; }

    std::function<void(TExtTrackBarDropDown* sender)> OnTrackChange;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    // A text that is no integer leaves Position as it is.
    void Change() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void TrackChanged();
    void ShowPosition();
    bool DragAllowed() const { return DropDownEnabled() && !EditorEnabled(); }

    QSlider* FTrackBar = nullptr;
    int FMin = 0;
    int FFrequency = 1;
    int FPageSize = 2;
    int FMax = 10;
    int FPosition = 0;
    bool FMouseDraging = false;
    int FMouseX = 0;
};
