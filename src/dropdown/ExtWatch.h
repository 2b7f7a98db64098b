#pragma once
// The analog watch: a round, square or rounded-square clock face with tick
// marks, hour numbers, an AM/PM box and hour, minute and second hands. It
// shows a settable time that the user changes by clicking (the hour inside
// the face, the minute outside it, the AM/PM box to switch halves) or with
// keys routed to it, moving the hands in animated steps; or it runs as a live
// clock. Twelve named looks (Style) and a colour set per component style are
// built in.
//
// Geometry comes first as pure functions (face square, AM/PM box, the time
// at a point, tick segments, number positions, hand points); painting draws
// what they give. The face, marks, numbers and AM/PM box are painted once
// into a face cache, redrawn only when the face changes; time changes only
// put the hands on a copy of it.
#include "controls/ExtStyleIF.h"
#include "controls/ExtUtil.h"
#include "platform/Canvas.h"
#include "platform/Graphics.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

enum class TAMPMFrame { apRect, apRoundRect };
enum class TWatchGradient { wgRadial, wgVertical, wgDiagonalForward, wgDiagonalBackward };
enum class THourMarkStyle { hmsLine, hmsQuartDblLine };
enum class TPointerStyle { psLine, psShortLine, psPointer, psLineArrow };
enum class TWatchShape { wsCircle, wsRect, wsRoundRect };
enum class TTickMarks { tmAll, tmHours, tmQuartHours, tmNone };
enum class TWatchStyle {
    wsClassic, wsTower, wsFluorescent, wsEmerald, wsBlueStar, wsFuchsia, wsBlack, wsBlackWhite, wsGray, wsSuperNova, wsSports,
    wsSmooth
};

// The look of the watch. Every setter that changes a value (fonts and the
// picture: every call) raises OnChange.
class TWatchAppearance {
public:
    TWatchAppearance();
    TWatchAppearance(const TWatchAppearance&) = delete;
    TWatchAppearance& operator=(const TWatchAppearance&) = delete;

    // All values, as the constructor sets them.
    struct Values {
        QFont AMPMFont;
        TColor AMPMFontColor = clWindowText;
        TColor AMPMBorderColor = 0x000000;
        TColor AMPMColor = 0xFFFFFF;
        TAMPMFrame AMPMFrame = TAMPMFrame::apRect;
        TColor BorderColor = 0x000000;
        int32_t BorderWidth = 4;
        TColor BackgroundColor = 0xFFFFFF;
        TColor BackgroundColorTo = clNone;
        TWatchGradient BackgroundGradient = TWatchGradient::wgVertical;
        TColor CenterPointBorderColor = clNone;
        TColor CenterPointOuterBorderColor = clNone;
        TColor CenterPointColor = 0x000000;
        uint8_t CenterPointSize = 4;
        QFont HourFont;
        TColor HourFontColor = clWindowText;
        TColor HourColor = 0x000000;
        uint8_t HourMarkLength = 0;
        uint8_t HourMarkWidth = 1;
        THourMarkStyle HourMarkStyle = THourMarkStyle::hmsLine;
        TColor HourPointer = 0x000000;
        TColor HourPointerShadow = clBtnShadow;
        uint8_t HourPointerSize = 4;
        TColor MinuteColor = 0x808080;
        TColor MinutePointer = 0x000000;
        TColor MinutePointerShadow = clBtnShadow;
        uint8_t MinutePointerSize = 3;
        uint8_t MinuteMarkLength = 0;
        uint8_t MinuteMarkWidth = 1;
        QImage Picture;
        TPointerStyle PointerStyle = TPointerStyle::psLine;
        TColor SecondPointer = 0x0000FF;
        uint8_t SecondPointerSize = 1;
        TWatchShape Shape = TWatchShape::wsCircle;
        int32_t Size = 0;
        TTickMarks TickMarks = TTickMarks::tmAll;
        Values();
        bool operator==(const Values&) const = default;
    };
    const Values& AllValues() const { return v; }

#define KR_WATCH_VALUE(Type, Name) \
    Type Name() const { return v.Name; } \
    void Set##Name(Type value) { Store(v.Name, value); }
    KR_WATCH_VALUE(TColor, AMPMFontColor)
    KR_WATCH_VALUE(TColor, AMPMBorderColor)
    KR_WATCH_VALUE(TColor, AMPMColor)
    KR_WATCH_VALUE(TAMPMFrame, AMPMFrame)
    KR_WATCH_VALUE(TColor, BorderColor)
    KR_WATCH_VALUE(int32_t, BorderWidth)
    KR_WATCH_VALUE(TColor, BackgroundColor)
    KR_WATCH_VALUE(TColor, BackgroundColorTo)
    KR_WATCH_VALUE(TWatchGradient, BackgroundGradient)
    KR_WATCH_VALUE(TColor, CenterPointBorderColor)
    KR_WATCH_VALUE(TColor, CenterPointOuterBorderColor)
    KR_WATCH_VALUE(TColor, CenterPointColor)
    KR_WATCH_VALUE(uint8_t, CenterPointSize)
    KR_WATCH_VALUE(TColor, HourFontColor)
    KR_WATCH_VALUE(TColor, HourColor)
    KR_WATCH_VALUE(uint8_t, HourMarkLength)
    KR_WATCH_VALUE(uint8_t, HourMarkWidth)
    KR_WATCH_VALUE(THourMarkStyle, HourMarkStyle)
    KR_WATCH_VALUE(TColor, HourPointer)
    KR_WATCH_VALUE(TColor, HourPointerShadow)
    KR_WATCH_VALUE(uint8_t, HourPointerSize)
    KR_WATCH_VALUE(TColor, MinuteColor)
    KR_WATCH_VALUE(TColor, MinutePointer)
    KR_WATCH_VALUE(TColor, MinutePointerShadow)
    KR_WATCH_VALUE(uint8_t, MinutePointerSize)
    KR_WATCH_VALUE(uint8_t, MinuteMarkLength)
    KR_WATCH_VALUE(uint8_t, MinuteMarkWidth)
    KR_WATCH_VALUE(TPointerStyle, PointerStyle)
    KR_WATCH_VALUE(TColor, SecondPointer)
    KR_WATCH_VALUE(uint8_t, SecondPointerSize)
    KR_WATCH_VALUE(TWatchShape, Shape)
    KR_WATCH_VALUE(int32_t, Size)
    KR_WATCH_VALUE(TTickMarks, TickMarks)
#undef KR_WATCH_VALUE

    const QFont& AMPMFont() const { return v.AMPMFont; }
    void SetAMPMFont(const QFont& f);
    const QFont& HourFont() const { return v.HourFont; }
    void SetHourFont(const QFont& f);
    const QImage& Picture() const { return v.Picture; }
    void SetPicture(const QImage& p);

    // Copies every value; OnChange is raised only through the last three it
    // copies by their setters (CenterPointOuterBorderColor, TickMarks,
    // HourMarkStyle).
    void Assign(const TWatchAppearance& source);
    // Every value back to its initial one (one OnChange when any changed).
    void Reset();

    std::function<void(TWatchAppearance* sender)> OnChange;

private:
    template <typename T>
    void Store(T& field, const T& value)
    {
        if (field == value) return;
        field = value;
        Changed();
    }
    void Changed()
    {
        if (OnChange) OnChange(this);
    }
    Values v;
};

// Live-clock settings.
class TWatchSettings {
public:
    bool Auto() const { return FAuto; }
    void SetAuto(bool v);
    int32_t TimeOffset() const { return FTimeOffset; }
    void SetTimeOffset(int32_t v);
    bool Second() const { return FSecond; }
    void SetSecond(bool v);
    // Copies Second and TimeOffset silently, Auto through its setter.
    void Assign(const TWatchSettings& source);
    std::function<void(TWatchSettings* sender)> OnChange;

private:
    void Changed()
    {
        if (OnChange) OnChange(this);
    }
    bool FAuto = false;
    int32_t FTimeOffset = 0;
    bool FSecond = true;
};

// ---- Geometry (pure) -----------------------------------------------------------

// A line of the face: tick marks and hands.
struct TWatchLine {
    QPoint From;
    QPoint To;
    bool operator==(const TWatchLine&) const = default;
};

// The face square of a w x h client: side min(w, h) - 20 when size <= 0,
// else min(size, w, h), centred (integer division).
TRect WatchSquare(int w, int h, int size);
// The centre of the square: left + width div 2, top + height div 2.
QPoint WatchCentre(const TRect& square);
// The point at `degrees` clockwise from 12 o'clock and `distance` from the
// centre, rounded to the nearest pixel (halves to even).
QPoint WatchPoint(QPoint centre, double degrees, double distance);
// The AM/PM box under the centre for a text extent of "AM".
TRect WatchAMPMRect(QPoint centre, double radius, QSize textExtent);
// The minute whose hand points at (x, y), 0..59.
int WatchMinuteAtPos(QPoint centre, int x, int y);
// The hour at (x, y) in the AM half (0..11) or the PM half (12..23).
int WatchHourAtPos(QPoint centre, int x, int y, bool am);
// Hour marks (the four quarter marks, doubled with hmsQuartDblLine, then the
// other eight with tmAll and tmHours) from radius `inner` to `outer`.
std::vector<TWatchLine> WatchHourMarks(QPoint centre, double inner, double outer, TTickMarks marks, THourMarkStyle style);
// The 48 minute marks between the hour positions.
std::vector<TWatchLine> WatchMinuteMarks(QPoint centre, double inner, double outer);
// The hours whose numbers are drawn.
std::vector<int> WatchNumberHours(TTickMarks marks, bool showNumbers);
// The top-left corner of number `hour`'s text of extent `ext`: outer radius
// R, mark length b.
QPoint WatchNumberPos(QPoint centre, double R, int b, int hour, QSize ext);
// A hand from `tail` behind the centre to `tip` before it.
TWatchLine WatchHandLine(QPoint centre, double degrees, double tail, double tip);
// A pointer hand: tail, side, tip, other side.
std::vector<QPoint> WatchPointerShape(QPoint centre, double degrees, double radius, double tip);
// The hand angles of a time of day: hour, minute, second.
struct TWatchAngles {
    double Hour;
    double Minute;
    double Second;
};
TWatchAngles WatchHandAngles(int hour, int minute, int second);

// Hours, minutes, seconds and milliseconds of a time of day.
struct TTimeParts {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int MSec = 0;
};
TTimeParts DecodeTimeParts(TDateTime t);
TDateTime EncodeTimeParts(const TTimeParts& p);

// The colours of a component style put onto a watch appearance (tsCustom
// leaves it unchanged).
void ApplyWatchComponentStyle(TWatchAppearance& a, TStudioStyle style);

class TExtWatch : public QWidget, public IStudioStyle {
public:
    explicit TExtWatch(QWidget* parent = nullptr);
    ~TExtWatch() override;

    bool Animation() const { return FAnimation; }
    void SetAnimation(bool v) { FAnimation = v; }
    int32_t AnimationFactor() const { return FAnimationFactor; }
    void SetAnimationFactor(int32_t v) { FAnimationFactor = v; }
    TWatchAppearance& Appearance() { return *FAppearance; }
    void SetAppearance(const TWatchAppearance& a);
    TWatchSettings& Settings() { return *FSettings; }
    void SetSettings(const TWatchSettings& s) { FSettings->Assign(s); }
    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime t);
    bool ShowAMPM() const { return FShowAMPM; }
    void SetShowAMPM(bool v);
    bool ShowNumbers() const { return FShowNumbers; }
    void SetShowNumbers(bool v);
    TWatchStyle Style() const { return FStyle; }
    void SetStyle(TWatchStyle s);
    bool AM() const { return FAM; }

    std::function<void(TExtWatch* sender)> OnChange;

    // Hour 0..23, applied at once or animated.
    void SetHour(int value);
    // Minute 0..59 ("Invalid time" above), applied at once or animated;
    // 0 after a minute above 30 moves into the next hour.
    void SetMinute(int value);
    void SetComponentStyle(TStudioStyle style) override;
    // A virtual key code routed to the watch (A, P, Page Up/Down, Home,
    // End, Left, Right).
    void HandleWatchKey(int key);

    // The time shown: the live time in live mode, else Time.
    TDateTime GetShownTime() const;
    TRect GetWatchRect() const;
    TRect GetAMPMRect() const;
    int MinuteAtPos(int x, int y) const;
    int HourAtPos(int x, int y) const;

    // One step of the hand animation and of the AM/PM switch (the timers
    // call them; tests may too).
    void AnimationTick();
    void AMPMAnimationTick();
    bool HandAnimating() const { return FAnimationTimer.isActive(); }
    bool AMPMAnimating() const { return FAMPMTimer.isActive(); }
    bool LiveClockRunning() const { return FWatchTimer.isActive(); }
    // How often the face cache has been painted.
    int FaceCachePaints() const { return FFacePaints; }

    // The watch as painted (face cache, AM/PM animation frame, hands).
    QImage Render();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void SettingsChanged();
    void FaceChanged();
    void SetTimeInternal(TDateTime t);
    void SetAM(bool am);
    void Changed();
    void ApplyHour(int hour);
    void ApplyMinute(int minute);
    double Radius() const { return GetWatchRect().Width() / 2; }
    const QImage& FaceCache();
    void PaintFace(TCanvas& canvas);
    void DrawFace(TCanvas& canvas);
    void DrawTickMarks(TCanvas& canvas);
    void DrawNumbers(TCanvas& canvas);
    void DrawAMPM(TCanvas& canvas);
    void DrawAMPMFrame(TCanvas& canvas);
    void DrawHands(TCanvas& canvas);
    void ApplyPreset(TWatchStyle s);

    std::unique_ptr<TWatchAppearance> FAppearance;
    std::unique_ptr<TWatchSettings> FSettings;
    TDateTime FTime = 0;
    QImage FBKGCache;
    bool FCacheValid = false;
    int FFacePaints = 0;
    QTimer FWatchTimer;
    bool FAnimation = true;
    int32_t FAnimationFactor = 10;
    QTimer FAnimationTimer;
    uint8_t FCurrentHourTo = 0;
    uint8_t FCurrentMinuteTo = 0;
    uint8_t FMinuteFrom = 0;
    bool FHourAnimating = false;
    bool FInternalCall = false;
    bool FAM = true;
    bool FShowAMPM = true;
    bool FShowNumbers = true;
    bool FInternalSet = false;
    bool FQuietSteps = false;
    TWatchStyle FStyle = TWatchStyle::wsClassic;
    // The AM/PM switch animation: the strip's window offset and its end.
    QTimer FAMPMTimer;
    int FAMPMOffset = 0;
    int FAMPMTarget = 0;
};
