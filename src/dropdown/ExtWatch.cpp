#include "dropdown/ExtWatch.h"

#include "controls/ExtDropDownDraw.h"
#include "platform/Application.h"
#include "platform/Exception.h"
#include "platform/Grids.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace {

int Nearest(double x) { return int(std::nearbyint(x)); }
double Rad(double degrees) { return degrees * std::numbers::pi / 180.0; }

// The pixels of a rectangle with elliptic corners, as a clip region.
QRegion RoundRegion(const TRect& r, int cw, int ch)
{
    QRegion region;
    const std::vector<TSpan> spans = RoundRectSpans(r, cw, ch);
    for (int i = 0; i < int(spans.size()); ++i)
        if (spans[size_t(i)].Right >= spans[size_t(i)].Left)
            region += QRect(spans[size_t(i)].Left, r.Top + i, spans[size_t(i)].Right - spans[size_t(i)].Left + 1, 1);
    return region;
}

QFont NamedFont(const char* name, int points)
{
    QFont f(QString::fromLatin1(name));
    f.setPointSize(points);
    return f;
}

void Line(TCanvas& canvas, const TWatchLine& l)
{
    canvas.MoveTo(l.From.x(), l.From.y());
    canvas.LineTo(l.To.x(), l.To.y());
}

} // namespace

// ---- Appearance ---------------------------------------------------------------

TWatchAppearance::Values::Values() : AMPMFont(NamedFont("Tahoma", 10)), HourFont(NamedFont("Tahoma", 8)) {}

TWatchAppearance::TWatchAppearance() = default;

void TWatchAppearance::SetAMPMFont(const QFont& f)
{
    v.AMPMFont = f;
    Changed();
}

void TWatchAppearance::SetHourFont(const QFont& f)
{
    v.HourFont = f;
    Changed();
}

void TWatchAppearance::SetPicture(const QImage& p)
{
    v.Picture = p;
    Changed();
}

void TWatchAppearance::Assign(const TWatchAppearance& source)
{
    if (&source == this) return;
    Values copy = source.v;
    copy.CenterPointOuterBorderColor = v.CenterPointOuterBorderColor;
    copy.TickMarks = v.TickMarks;
    copy.HourMarkStyle = v.HourMarkStyle;
    v = copy;
    SetCenterPointOuterBorderColor(source.v.CenterPointOuterBorderColor);
    SetTickMarks(source.v.TickMarks);
    SetHourMarkStyle(source.v.HourMarkStyle);
}

void TWatchAppearance::Reset()
{
    const Values initial;
    if (v == initial) return;
    v = initial;
    Changed();
}

// ---- Settings -------------------------------------------------------------------

void TWatchSettings::SetAuto(bool v)
{
    if (FAuto == v) return;
    FAuto = v;
    Changed();
}

void TWatchSettings::SetTimeOffset(int32_t v)
{
    if (FTimeOffset == v) return;
    FTimeOffset = v;
    Changed();
}

void TWatchSettings::SetSecond(bool v)
{
    if (FSecond == v) return;
    FSecond = v;
    Changed();
}

void TWatchSettings::Assign(const TWatchSettings& source)
{
    FSecond = source.FSecond;
    FTimeOffset = source.FTimeOffset;
    SetAuto(source.FAuto);
}

// ---- Geometry -------------------------------------------------------------------

TRect WatchSquare(int w, int h, int size)
{
    const int s = size <= 0 ? std::min(w, h) - 20 : std::min({size, w, h});
    const int left = (w - s) / 2, top = (h - s) / 2;
    return {left, top, left + s, top + s};
}

QPoint WatchCentre(const TRect& square) { return {square.Left + square.Width() / 2, square.Top + square.Height() / 2}; }

QPoint WatchPoint(QPoint centre, double degrees, double distance)
{
    return {Nearest(centre.x() + std::sin(Rad(degrees)) * distance), Nearest(centre.y() - std::cos(Rad(degrees)) * distance)};
}

TRect WatchAMPMRect(QPoint centre, double radius, QSize textExtent)
{
    const int w = textExtent.width() + 8, h = textExtent.height();
    const int left = centre.x() - w / 2;
    const int top = centre.y() + Nearest((radius - h) / 3);
    return {left, top, left + w, top + h};
}

int WatchMinuteAtPos(QPoint centre, int x, int y)
{
    const int cx = centre.x(), cy = centre.y();
    int dy = std::abs(cy - y), dx = std::abs(cx - x);
    if (dy == 0) dy = 1;
    if (dx == 0) dx = 1;
    const int f = Nearest(std::atan(double(dy) / dx) * 180.0 / std::numbers::pi / 6.0);
    int m;
    if (x >= cx && y >= cy)
        m = 15 + f;
    else if (x <= cx && y >= cy)
        m = 45 - f;
    else if (x <= cx && y <= cy)
        m = 45 + f;
    else
        m = 15 - f;
    return m < 0 || m > 59 ? 0 : m;
}

int WatchHourAtPos(QPoint centre, int x, int y, bool am)
{
    const int h = Nearest(WatchMinuteAtPos(centre, x, y) / 5.0) % 12;
    return am ? h : h + 12;
}

std::vector<TWatchLine> WatchHourMarks(QPoint centre, double inner, double outer, TTickMarks marks, THourMarkStyle style)
{
    std::vector<TWatchLine> lines;
    if (marks == TTickMarks::tmNone) return lines;
    for (int q = 0; q < 4; ++q) {
        const double a = q * 90.0;
        const TWatchLine l{WatchPoint(centre, a, inner), WatchPoint(centre, a, outer)};
        if (style == THourMarkStyle::hmsQuartDblLine) {
            // 12 and 6 o'clock split left and right, 3 and 9 up and down.
            const QPoint d = q % 2 == 0 ? QPoint(2, 0) : QPoint(0, 2);
            lines.push_back({l.From - d, l.To - d});
            lines.push_back({l.From + d, l.To + d});
        } else {
            lines.push_back(l);
        }
    }
    if (marks == TTickMarks::tmAll || marks == TTickMarks::tmHours)
        for (int h = 1; h < 12; ++h)
            if (h % 3 != 0) lines.push_back({WatchPoint(centre, h * 30.0, inner), WatchPoint(centre, h * 30.0, outer)});
    return lines;
}

std::vector<TWatchLine> WatchMinuteMarks(QPoint centre, double inner, double outer)
{
    std::vector<TWatchLine> lines;
    for (int m = 0; m < 60; ++m)
        if (m % 5 != 0) lines.push_back({WatchPoint(centre, m * 6.0, inner), WatchPoint(centre, m * 6.0, outer)});
    return lines;
}

std::vector<int> WatchNumberHours(TTickMarks marks, bool showNumbers)
{
    if (!showNumbers) return {};
    switch (marks) {
    case TTickMarks::tmAll: return {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    case TTickMarks::tmQuartHours: return {3, 6, 9, 12};
    default: return {};
    }
}

QPoint WatchNumberPos(QPoint centre, double R, int b, int hour, QSize ext)
{
    const int th = ext.height(), tw = ext.width();
    const int k = hour == 10 ? Nearest(th * 0.2) : hour == 11 ? Nearest(th * 0.15) : 0;
    const double D = R - 2 * b - 2 + (b / 2) - k;
    const double a = Rad(hour * 30.0);
    return {centre.x() + Nearest(std::sin(a) * D) - tw / 2, centre.y() - Nearest(std::cos(a) * D) - th / 2};
}

TWatchLine WatchHandLine(QPoint centre, double degrees, double tail, double tip)
{
    return {WatchPoint(centre, degrees + 180.0, tail), WatchPoint(centre, degrees, tip)};
}

std::vector<QPoint> WatchPointerShape(QPoint centre, double degrees, double radius, double tip)
{
    return {WatchPoint(centre, degrees + 180.0, 0.1 * radius), WatchPoint(centre, degrees + 90.0, 0.05 * radius),
            WatchPoint(centre, degrees, tip), WatchPoint(centre, degrees - 90.0, 0.05 * radius)};
}

TWatchAngles WatchHandAngles(int hour, int minute, int second)
{
    return {(hour % 12) * 30.0 + minute / 2.0, minute * 6.0, second * 6.0};
}

TTimeParts DecodeTimeParts(TDateTime t)
{
    const double frac = t - std::floor(t);
    long long ms = std::llround(frac * 86400000.0) % 86400000LL;
    TTimeParts p;
    p.Hour = int(ms / 3600000);
    p.Minute = int(ms / 60000 % 60);
    p.Second = int(ms / 1000 % 60);
    p.MSec = int(ms % 1000);
    return p;
}

TDateTime EncodeTimeParts(const TTimeParts& p)
{
    TDateTime t = 0;
    TryEncodeTime(p.Hour, p.Minute, p.Second, p.MSec, t);
    return t;
}

// ---- Component styles -------------------------------------------------------------

namespace {

struct TWatchToneRow {
    TStudioStyle Style;
    TColor AMPMBorderColor;
    TColor AMPMColor;
    TColor BackgroundFrom;
    TColor BackgroundTo;
    TColor B; // borders, centre point, marks and hands
    std::optional<TColor> SecondPointer = {};
    std::optional<TColor> BorderColor = {};
    std::optional<TColor> CenterPoint = {};       // the point and its border
    std::optional<TColor> CenterPointBorder = {}; // its border only
    std::optional<TColor> FontColor = {};
    std::optional<TColor> Shadow = {};
};

const TWatchToneRow WatchToneRows[] = {
    {tsOffice2003Blue, 0x962D00, 0xD68759, 0xFFD2AF, 0xFFD2AF, 0xD68759, 0xFFFFFF},
    {tsOffice2003Silver, 0x962D00, 0xBDA4A5, 0xE6D8D8, 0xE6D8D8, 0xBDA4A5, 0xFFFFFF},
    {tsOffice2003Olive, 0x962D00, 0x82C0AF, 0xB9EAE1, 0xB9EAE1, 0x82C0AF, 0xFFFFFF},
    {tsOffice2003Classic, 0x962D00, 0x808080, 0xF2F2F2, 0xF2F2F2, 0x808080},
    {tsOffice2007Luna, 0xF0DED0, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0x723708, {}, 0xF0DED0, 0xFFEFE3},
    {tsOffice2007Obsidian, 0xF2F1F0, 0x5C534C, 0x5C534C, 0x5C534C, 0xF2F1F0, {}, {}, 0xFFEFE3, {}, 0xF2F1F0},
    {tsWindowsXP, 0x000000, clBtnFace, clBtnFace, clBtnFace, 0x000000},
    {tsWhidbey, 0x7E9898, 0xF5F9FA, 0xF5F9FA, 0xF5F9FA, 0x7E9898},
    {tsOffice2007Silver, 0xE8E0DB, 0xF8F4F1, 0xF8F4F1, 0xF8F4F1, 0x74706F, {}, 0xE8E0DB, {}, 0xE8E0DB},
    {tsWindowsVista, 0xFEDF9A, 0xFFFDF9, 0xFFFDF9, 0xFFFAF0, 0xFEDF9A},
    {tsWindows7, 0xFBD6B8, 0xFDFBFA, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8},
    {tsTerminal, 0x808080, clBtnFace, clBtnFace, clBtnFace, 0x808080},
    {tsOffice2010Blue, 0xC7B29F, 0xF0DAC7, 0xFDF6EF, 0xFDF6EF, 0xC7B29F},
    {tsOffice2010Silver, 0xD2CDC8, 0xEDE5E0, 0xFFFFFF, 0xFFFFFF, 0xD2CDC8, {}, {}, {}, {}, {}, 0xC0C0C0},
    {tsOffice2010Black, 0x6D6D6D, 0x919191, 0xBFBFBF, 0xBFBFBF, 0x6D6D6D},
};

} // namespace

void ApplyWatchComponentStyle(TWatchAppearance& a, TStudioStyle style)
{
    const auto row = std::find_if(std::begin(WatchToneRows), std::end(WatchToneRows), [&](const TWatchToneRow& r) { return r.Style == style; });
    if (row == std::end(WatchToneRows)) return; // tsCustom
    a.SetCenterPointOuterBorderColor(0x000000);
    const TColor font = row->FontColor.value_or(0x000000);
    a.SetHourFontColor(font);
    a.SetAMPMFontColor(font);
    a.SetAMPMBorderColor(row->AMPMBorderColor);
    a.SetAMPMColor(row->AMPMColor);
    a.SetBackgroundColor(row->BackgroundFrom);
    a.SetBackgroundColorTo(row->BackgroundTo);
    const TColor B = row->B;
    a.SetBorderColor(row->BorderColor.value_or(B));
    a.SetCenterPointColor(row->CenterPoint.value_or(B));
    a.SetCenterPointBorderColor(row->CenterPointBorder.value_or(row->CenterPoint.value_or(B)));
    a.SetHourColor(B);
    a.SetMinuteColor(B);
    a.SetHourPointer(B);
    a.SetMinutePointer(B);
    a.SetSecondPointer(row->SecondPointer.value_or(B));
    const TColor shadow = row->Shadow.value_or(0xFFFFFF);
    a.SetHourPointerShadow(shadow);
    a.SetMinutePointerShadow(shadow);
}

// ---- Presets ------------------------------------------------------------------------

namespace {

struct TPresetFont {
    const char* Name = nullptr;
    int Size = 0;
    bool Bold = false;
    std::optional<TColor> Color = {};
};

// What a preset sets; everything left empty keeps its initial value.
struct TWatchPreset {
    TWatchStyle Style;
    TPresetFont AMPMFont = {};
    std::optional<TAMPMFrame> AMPMFrame = {};
    std::optional<TColor> AMPMColor = {};
    std::optional<TColor> AMPMBorderColor = {};
    std::optional<TColor> BorderColor = {};
    std::optional<int> BorderWidth = {};
    std::optional<TColor> BackgroundColor = {};
    std::optional<TColor> BackgroundColorTo = {};
    std::optional<TWatchGradient> BackgroundGradient = {};
    std::optional<TColor> CenterPointColor = {};
    std::optional<TColor> CenterPointBorderColor = {};
    std::optional<TColor> CenterPointOuterBorderColor = {};
    std::optional<int> CenterPointSize = {};
    TPresetFont HourFont = {};
    std::optional<TColor> HourColor = {};
    std::optional<TColor> MinuteColor = {};
    std::optional<TColor> HourPointer = {};
    std::optional<TColor> MinutePointer = {};
    std::optional<TColor> PointerShadows = {};
    std::optional<TColor> SecondPointer = {};
    std::optional<int> HourMarkLength = {};
    std::optional<int> HourMarkWidth = {};
    std::optional<THourMarkStyle> HourMarkStyle = {};
    std::optional<int> HourPointerSize = {};
    std::optional<int> MinutePointerSize = {};
    std::optional<int> MinuteMarkLength = {};
    std::optional<TWatchShape> Shape = {};
    std::optional<TPointerStyle> PointerStyle = {};
    std::optional<TTickMarks> TickMarks = {};
    std::optional<bool> Animation = {};
    std::optional<int> AnimationFactor = {};
    std::optional<bool> ShowAMPM = {};
    std::optional<bool> ShowNumbers = {};
};

using enum TWatchStyle;
using enum TAMPMFrame;
using enum TWatchGradient;
using enum THourMarkStyle;
using enum TPointerStyle;
using enum TWatchShape;
using enum TTickMarks;

const TWatchPreset WatchPresets[] = {
    {.Style = wsClassic, .AMPMFont = {"MS Sans Serif"}, .HourFont = {"Comic Sans MS", 10, true}, .HourMarkLength = 8,
     .HourPointerSize = 5, .MinuteMarkLength = 4, .Animation = true, .AnimationFactor = 10, .ShowAMPM = true, .ShowNumbers = true},
    {.Style = wsTower, .AMPMFont = {"MS Sans Serif"}, .AMPMColor = 0xB1F0FE, .BorderWidth = 1, .BackgroundColor = 0xB1F0FE,
     .BackgroundColorTo = 0x5BCCE8, .BackgroundGradient = wgDiagonalForward, .CenterPointColor = 0x002BD5, .CenterPointSize = 6,
     .HourFont = {"Century", 0, true}, .SecondPointer = 0x002BD5, .HourPointerSize = 5, .Shape = wsRect, .PointerStyle = psPointer,
     .TickMarks = tmHours, .ShowNumbers = false},
    {.Style = wsFluorescent, .AMPMFont = {"MS Sans Serif", 10}, .AMPMFrame = apRoundRect, .BorderColor = 0xFF3E3E,
     .BackgroundColor = 0x000000, .BackgroundColorTo = 0x000000, .CenterPointColor = 0xFF3E3E, .CenterPointBorderColor = 0x000000,
     .CenterPointOuterBorderColor = 0x000000, .CenterPointSize = 20, .HourFont = {"MS Sans Serif", 8}, .HourColor = 0xFF3E3E,
     .MinuteColor = 0xFF3E3E, .HourPointer = 0xFF3E3E, .MinutePointer = 0xFF3E3E, .HourMarkLength = 10, .HourMarkWidth = 2,
     .HourMarkStyle = hmsQuartDblLine, .HourPointerSize = 2, .MinutePointerSize = 2, .Shape = wsRoundRect, .TickMarks = tmHours,
     .ShowAMPM = false, .ShowNumbers = false},
    {.Style = wsEmerald, .AMPMFont = {"MS Sans Serif", 0, false, 0xA00000}, .AMPMFrame = apRoundRect, .AMPMColor = clNone,
     .BorderColor = 0x3AE800, .BackgroundColor = 0x3AE800, .BackgroundColorTo = 0x000000, .BackgroundGradient = wgDiagonalForward,
     .CenterPointColor = 0x38E100, .CenterPointBorderColor = 0x40FF00, .CenterPointOuterBorderColor = 0x000000, .CenterPointSize = 16,
     .HourFont = {"MS Sans Serif", 0, false, 0x3AE800}, .HourColor = 0x3AE800, .HourPointer = 0x40FF00, .MinutePointer = 0x40FF00,
     .SecondPointer = 0x00FFFF, .HourMarkStyle = hmsQuartDblLine, .HourPointerSize = 5, .Shape = wsRect, .PointerStyle = psPointer,
     .TickMarks = tmHours, .ShowAMPM = false, .ShowNumbers = false},
    {.Style = wsBlueStar, .AMPMFont = {"MS Sans Serif", 10, false, 0xA00000}, .AMPMFrame = apRoundRect, .AMPMColor = clNone,
     .AMPMBorderColor = clNone, .BorderColor = 0xFFD5D5, .BackgroundColor = 0xFFD5D5, .BackgroundColorTo = 0xA00000,
     .BackgroundGradient = wgRadial, .HourFont = {"MS Sans Serif", 8, false, 0xFFD5D5}, .HourPointer = 0xA00000,
     .MinutePointer = 0xA00000, .HourPointerSize = 5, .Shape = wsRoundRect, .PointerStyle = psPointer, .ShowAMPM = true,
     .ShowNumbers = true},
    {.Style = wsFuchsia, .AMPMFont = {"MS Sans Serif", 10}, .AMPMFrame = apRoundRect, .BorderColor = 0xFFD0FF,
     .BackgroundColor = 0x000000, .BackgroundColorTo = 0x000000, .CenterPointBorderColor = 0xDD68DD,
     .CenterPointOuterBorderColor = 0x000000, .CenterPointSize = 20, .HourFont = {"MS Sans Serif", 8}, .HourColor = 0xFFD0FF,
     .MinuteColor = 0xFFD0FF, .HourPointer = 0xFFD0FF, .MinutePointer = 0xFFD0FF, .SecondPointer = 0xDD68DD, .HourMarkLength = 10,
     .HourMarkWidth = 2, .HourMarkStyle = hmsQuartDblLine, .HourPointerSize = 2, .MinutePointerSize = 2, .Shape = wsRect,
     .TickMarks = tmQuartHours, .ShowAMPM = false, .ShowNumbers = false},
    {.Style = wsBlack, .AMPMFont = {"MS Sans Serif"}, .BorderColor = 0x000000, .BackgroundColor = 0x202020, .BackgroundColorTo = clNone,
     .CenterPointColor = 0xFFFFFF, .CenterPointBorderColor = 0xFFFFFF, .CenterPointOuterBorderColor = 0xFFFFFF,
     .HourFont = {"Century Gothic", 11, false, 0xFFFFFF}, .HourColor = 0x585858, .MinuteColor = 0x585858, .HourPointer = 0xFFFFFF,
     .MinutePointer = 0xFFFFFF, .HourPointerSize = 5, .MinuteMarkLength = 4, .ShowAMPM = false, .ShowNumbers = true},
    {.Style = wsBlackWhite, .BorderColor = 0x000000, .BorderWidth = 8, .BackgroundColor = 0xFFFFFF, .BackgroundColorTo = clNone,
     .CenterPointColor = 0x000000, .CenterPointBorderColor = 0x000000, .CenterPointOuterBorderColor = 0x000000, .CenterPointSize = 8,
     .HourFont = {"Century Gothic", 14, true, 0x000000}, .HourColor = 0x585858, .HourPointer = 0x000000, .MinutePointer = 0x000000,
     .SecondPointer = 0x000080, .HourPointerSize = 5, .MinuteMarkLength = 4, .PointerStyle = psPointer, .TickMarks = tmQuartHours,
     .ShowAMPM = false, .ShowNumbers = true},
    {.Style = wsGray, .AMPMFont = {"MS Sans Serif", 10}, .BorderColor = 0x454545, .BackgroundColor = 0xD1D1D1,
     .BackgroundColorTo = 0x6C6C6C, .BackgroundGradient = wgRadial, .CenterPointColor = 0x000000, .CenterPointBorderColor = 0x454545,
     .CenterPointOuterBorderColor = clNone, .HourFont = {"Comic Sans MS", 8}, .HourColor = 0x000000, .MinuteColor = 0x808080,
     .HourPointer = 0x4E4E4E, .MinutePointer = 0x4E4E4E, .PointerShadows = clNone, .SecondPointer = 0x0000FF, .HourPointerSize = 1,
     .MinutePointerSize = 1, .ShowAMPM = true, .ShowNumbers = true},
    {.Style = wsSuperNova, .BorderColor = clNone, .BackgroundColorTo = 0xD1D3D3, .CenterPointOuterBorderColor = 0x000000,
     .CenterPointSize = 10, .MinuteColor = 0x808080, .ShowAMPM = false, .ShowNumbers = false},
    {.Style = wsSports, .BorderColor = 0x000000, .BorderWidth = 1, .BackgroundColor = 0x000000, .BackgroundColorTo = clNone,
     .CenterPointColor = 0x191919, .CenterPointBorderColor = 0xFF0000, .CenterPointOuterBorderColor = 0x000000,
     .HourFont = {"Times New Roman", 9, false, 0x797979}, .HourColor = 0xABB0B1, .MinuteColor = 0x808080, .HourPointer = 0x0000FF,
     .MinutePointer = 0x00FFFF, .PointerShadows = clNone, .SecondPointer = 0x188BFE, .HourPointerSize = 2, .MinutePointerSize = 2,
     .MinuteMarkLength = 1, .TickMarks = tmQuartHours, .ShowAMPM = false, .ShowNumbers = true},
    {.Style = wsSmooth, .BorderColor = 0x585858, .BorderWidth = 1, .BackgroundColor = 0xFFFFFF, .BackgroundColorTo = 0xABB0B1,
     .CenterPointColor = 0xFFFFFF, .CenterPointBorderColor = 0x000000, .CenterPointOuterBorderColor = 0x4A4A4A, .CenterPointSize = 6,
     .HourFont = {"Times New Roman", 9, false, 0x797979}, .HourColor = 0xABB0B1, .MinuteColor = 0x808080, .HourPointer = 0x4A4A4A,
     .MinutePointer = 0x4A4A4A, .PointerShadows = 0xB2B2B2, .SecondPointer = 0x4A4A4A, .HourPointerSize = 2, .MinutePointerSize = 2,
     .MinuteMarkLength = 1, .TickMarks = tmQuartHours, .ShowAMPM = false, .ShowNumbers = true},
};

void ApplyFont(const TPresetFont& p, QFont font, TColor color, const std::function<void(const QFont&)>& setFont,
               const std::function<void(TColor)>& setColor)
{
    if (!p.Name) return;
    font.setFamily(QString::fromLatin1(p.Name));
    if (p.Size > 0) font.setPointSize(p.Size);
    if (p.Bold) font.setBold(true);
    setFont(font);
    setColor(p.Color.value_or(color));
}

// A size taken from the control's size, kept within a byte.
uint8_t ByteSize(double v) { return uint8_t(std::clamp(Nearest(v), 0, 255)); }

} // namespace

void TExtWatch::ApplyPreset(TWatchStyle s)
{
    const auto p = std::find_if(std::begin(WatchPresets), std::end(WatchPresets), [&](const TWatchPreset& x) { return x.Style == s; });
    if (p == std::end(WatchPresets)) return;
    TWatchAppearance& a = *FAppearance;
    a.Reset();
    ApplyFont(p->AMPMFont, a.AMPMFont(), a.AMPMFontColor(), [&](const QFont& f) { a.SetAMPMFont(f); },
              [&](TColor c) { a.SetAMPMFontColor(c); });
    ApplyFont(p->HourFont, a.HourFont(), a.HourFontColor(), [&](const QFont& f) { a.SetHourFont(f); },
              [&](TColor c) { a.SetHourFontColor(c); });
    auto set = [](const auto& opt, auto setter) {
        if (opt) setter(*opt);
    };
    set(p->AMPMFrame, [&](TAMPMFrame v) { a.SetAMPMFrame(v); });
    set(p->AMPMColor, [&](TColor v) { a.SetAMPMColor(v); });
    set(p->AMPMBorderColor, [&](TColor v) { a.SetAMPMBorderColor(v); });
    set(p->BorderColor, [&](TColor v) { a.SetBorderColor(v); });
    set(p->BorderWidth, [&](int v) { a.SetBorderWidth(v); });
    set(p->BackgroundColor, [&](TColor v) { a.SetBackgroundColor(v); });
    set(p->BackgroundColorTo, [&](TColor v) { a.SetBackgroundColorTo(v); });
    set(p->BackgroundGradient, [&](TWatchGradient v) { a.SetBackgroundGradient(v); });
    set(p->CenterPointColor, [&](TColor v) { a.SetCenterPointColor(v); });
    set(p->CenterPointBorderColor, [&](TColor v) { a.SetCenterPointBorderColor(v); });
    set(p->CenterPointOuterBorderColor, [&](TColor v) { a.SetCenterPointOuterBorderColor(v); });
    set(p->CenterPointSize, [&](int v) { a.SetCenterPointSize(uint8_t(v)); });
    set(p->HourColor, [&](TColor v) { a.SetHourColor(v); });
    set(p->MinuteColor, [&](TColor v) { a.SetMinuteColor(v); });
    set(p->HourPointer, [&](TColor v) { a.SetHourPointer(v); });
    set(p->MinutePointer, [&](TColor v) { a.SetMinutePointer(v); });
    set(p->PointerShadows, [&](TColor v) {
        a.SetHourPointerShadow(v);
        a.SetMinutePointerShadow(v);
    });
    set(p->SecondPointer, [&](TColor v) { a.SetSecondPointer(v); });
    set(p->HourMarkLength, [&](int v) { a.SetHourMarkLength(uint8_t(v)); });
    set(p->HourMarkWidth, [&](int v) { a.SetHourMarkWidth(uint8_t(v)); });
    set(p->HourMarkStyle, [&](THourMarkStyle v) { a.SetHourMarkStyle(v); });
    set(p->HourPointerSize, [&](int v) { a.SetHourPointerSize(uint8_t(v)); });
    set(p->MinutePointerSize, [&](int v) { a.SetMinutePointerSize(uint8_t(v)); });
    set(p->MinuteMarkLength, [&](int v) { a.SetMinuteMarkLength(uint8_t(v)); });
    set(p->Shape, [&](TWatchShape v) { a.SetShape(v); });
    set(p->PointerStyle, [&](TPointerStyle v) { a.SetPointerStyle(v); });
    set(p->TickMarks, [&](TTickMarks v) { a.SetTickMarks(v); });
    set(p->Animation, [&](bool v) { SetAnimation(v); });
    set(p->AnimationFactor, [&](int v) { SetAnimationFactor(v); });
    set(p->ShowAMPM, [&](bool v) { SetShowAMPM(v); });
    set(p->ShowNumbers, [&](bool v) { SetShowNumbers(v); });
    // Sizes that follow the control's size (kept within a byte).
    const int side = std::min(width(), height());
    if (s == wsSuperNova) {
        a.SetHourMarkLength(ByteSize(side / 4.5));
        a.SetMinuteMarkLength(ByteSize(side / 3));
    } else if (s == wsSports) {
        a.SetCenterPointSize(ByteSize(side / 3.6));
    }
}

// ---- Watch --------------------------------------------------------------------------

TExtWatch::TExtWatch(QWidget* parent)
    : QWidget(parent), FAppearance(std::make_unique<TWatchAppearance>()), FSettings(std::make_unique<TWatchSettings>())
{
    FAppearance->OnChange = [this](TWatchAppearance*) { FaceChanged(); };
    FSettings->OnChange = [this](TWatchSettings*) { SettingsChanged(); };
    FWatchTimer.setInterval(100);
    QObject::connect(&FWatchTimer, &QTimer::timeout, this, [this] { update(); });
    FAnimationTimer.setInterval(1);
    QObject::connect(&FAnimationTimer, &QTimer::timeout, this, [this] { Guard([this] { AnimationTick(); }); });
    FAMPMTimer.setInterval(10);
    QObject::connect(&FAMPMTimer, &QTimer::timeout, this, [this] { AMPMAnimationTick(); });
    resize(180, 180);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    SettingsChanged();
}

TExtWatch::~TExtWatch()
{
    FAppearance->OnChange = nullptr;
    FSettings->OnChange = nullptr;
}

void TExtWatch::SetAppearance(const TWatchAppearance& a)
{
    FAppearance->Assign(a);
    FaceChanged();
}

void TExtWatch::FaceChanged()
{
    FCacheValid = false;
    update();
}

void TExtWatch::SettingsChanged()
{
    if (FSettings->Auto()) {
        FWatchTimer.start();
        FInternalSet = true;
        FTime = GetShownTime();
        SetAM(DecodeTimeParts(FTime).Hour < 12);
        FInternalSet = false;
    } else {
        FWatchTimer.stop();
    }
    FaceChanged();
}

void TExtWatch::SetShowAMPM(bool v)
{
    if (FShowAMPM == v) return;
    FShowAMPM = v;
    FaceChanged();
}

void TExtWatch::SetShowNumbers(bool v)
{
    if (FShowNumbers == v) return;
    FShowNumbers = v;
    FaceChanged();
}

void TExtWatch::SetStyle(TWatchStyle s)
{
    if (FStyle == s) return;
    FStyle = s;
    ApplyPreset(s);
}

void TExtWatch::SetComponentStyle(TStudioStyle style) { ApplyWatchComponentStyle(*FAppearance, style); }

TDateTime TExtWatch::GetShownTime() const
{
    if (!FSettings->Auto()) return FTime;
    const QTime now = QTime::currentTime();
    const TDateTime t = now.msecsSinceStartOfDay() / 86400000.0 + FSettings->TimeOffset() / 1440.0;
    return t - std::floor(t);
}

TRect TExtWatch::GetWatchRect() const { return WatchSquare(width(), height(), FAppearance->Size()); }

TRect TExtWatch::GetAMPMRect() const
{
    if (!FShowAMPM) return {-1, -1, -1, -1};
    QImage probe(1, 1, QImage::Format_ARGB32);
    TCanvas canvas(&probe);
    canvas.SetFont(FAppearance->AMPMFont());
    return WatchAMPMRect(WatchCentre(GetWatchRect()), Radius(), TextExtent(canvas, QStringLiteral("AM")));
}

int TExtWatch::MinuteAtPos(int x, int y) const { return WatchMinuteAtPos(WatchCentre(GetWatchRect()), x, y); }
int TExtWatch::HourAtPos(int x, int y) const { return WatchHourAtPos(WatchCentre(GetWatchRect()), x, y, FAM); }

void TExtWatch::Changed()
{
    if (!FQuietSteps && OnChange) OnChange(this);
}

void TExtWatch::SetTimeInternal(TDateTime t)
{
    FTime = t;
    FInternalSet = true;
    SetAM(DecodeTimeParts(t).Hour < 12);
    FInternalSet = false;
}

void TExtWatch::SetTime(TDateTime t)
{
    if (t == FTime) return;
    SetTimeInternal(t);
    update();
}

void TExtWatch::ApplyHour(int hour)
{
    TTimeParts p = DecodeTimeParts(GetShownTime());
    p.Hour = hour;
    SetTimeInternal(EncodeTimeParts(p));
    update();
    Changed();
}

void TExtWatch::SetHour(int value)
{
    if (DecodeTimeParts(GetShownTime()).Hour == value) return;
    if (FAnimation && !FInternalCall) {
        FCurrentHourTo = uint8_t(value);
        FHourAnimating = true;
        FAnimationTimer.start();
        return;
    }
    ApplyHour(value);
}

void TExtWatch::ApplyMinute(int minute)
{
    TTimeParts p = DecodeTimeParts(GetShownTime());
    if (!FAnimation) FMinuteFrom = uint8_t(p.Minute);
    if (minute == 0 && FMinuteFrom > 30) {
        p.Hour = (p.Hour + 1) % 24;
        FMinuteFrom = 0;
    }
    p.Minute = minute;
    SetTimeInternal(EncodeTimeParts(p));
    update();
    Changed();
}

void TExtWatch::SetMinute(int value)
{
    if (value >= 60) throw Exception(QStringLiteral("Invalid time"));
    const int current = DecodeTimeParts(GetShownTime()).Minute;
    if (current == value) return;
    if (FAnimation && !FInternalCall) {
        FCurrentMinuteTo = uint8_t(value);
        FHourAnimating = false;
        FMinuteFrom = uint8_t(current);
        FAnimationTimer.start();
        return;
    }
    ApplyMinute(value);
}

void TExtWatch::AnimationTick()
{
    if (!FAnimationTimer.isActive()) return;
    const TTimeParts p = DecodeTimeParts(GetShownTime());
    const double factor = FAnimationFactor > 0 ? FAnimationFactor : 1;
    bool done = false;
    int value;
    if (FHourAnimating) {
        const int target = FCurrentHourTo;
        const int step = std::max(Nearest(std::abs(target - p.Hour) / factor), 1);
        if (std::abs(p.Hour - target) < 1) {
            value = target;
            done = true;
        } else {
            value = p.Hour < target ? std::min(p.Hour + step, target) : std::max(p.Hour - step, target);
        }
    } else {
        const int target = FCurrentMinuteTo, m = p.Minute;
        const bool forwardOverTop = target == 0 && m > 30;
        const int step = std::max(Nearest((forwardOverTop ? 60 - m : std::abs(target - m)) / factor), 1);
        if (std::abs(m - target) < 1) {
            value = target;
            done = true;
        } else if (m < target || forwardOverTop) {
            value = m + step;
            if (value > 59) value -= 60;
        } else {
            value = m - step;
        }
    }
    // Every step is applied at once; only the end of the move is a change.
    FInternalCall = true;
    FQuietSteps = true;
    try {
        if (FHourAnimating)
            SetHour(value);
        else
            SetMinute(value);
    } catch (...) {
        FInternalCall = false;
        FQuietSteps = false;
        FAnimationTimer.stop();
        throw;
    }
    FInternalCall = false;
    FQuietSteps = false;
    if (done) {
        FAnimationTimer.stop();
        Changed();
    }
}

void TExtWatch::SetAM(bool am)
{
    if (FAM == am) return;
    FAM = am;
    const TRect box = GetAMPMRect();
    if (FAnimation && FShowAMPM && FAppearance->AMPMColor() != clNone && !FInternalSet && box.Height() > 2) {
        // The strip of "AM" over "PM" slides one pixel per frame.
        const int inner = box.Height() - 2;
        FAMPMOffset = am ? inner : 0;
        FAMPMTarget = am ? 0 : inner;
        FAMPMTimer.start();
    } else {
        FAMPMTimer.stop();
    }
    FaceChanged();
}

void TExtWatch::AMPMAnimationTick()
{
    if (!FAMPMTimer.isActive()) return;
    FAMPMOffset += FAMPMTarget > FAMPMOffset ? 1 : -1;
    if (FAMPMOffset == FAMPMTarget) FAMPMTimer.stop();
    update();
}

void TExtWatch::HandleWatchKey(int key)
{
    if (FSettings->Auto()) return;
    const TTimeParts p = DecodeTimeParts(GetShownTime());
    auto setDirect = [&](int hour, int minute) {
        TTimeParts q = p;
        q.Hour = hour;
        q.Minute = minute;
        SetTimeInternal(EncodeTimeParts(q));
        update();
    };
    switch (key) {
    case 'A':
        if (p.Hour >= 12) SetHour(p.Hour - 12);
        break;
    case 'P':
        if (p.Hour < 12) SetHour(p.Hour + 12);
        break;
    case VK_PRIOR:
        if (p.Hour == 23)
            setDirect(0, p.Minute);
        else
            SetHour(p.Hour + 1);
        break;
    case VK_NEXT:
        if (p.Hour == 0)
            setDirect(23, p.Minute);
        else
            SetHour(p.Hour - 1);
        break;
    case VK_HOME: setDirect(12, p.Minute); break;
    case VK_END: SetMinute(0); break;
    case VK_LEFT:
        if (p.Minute == 0)
            setDirect(p.Hour == 0 ? 23 : p.Hour - 1, 59);
        else
            SetMinute(p.Minute - 1);
        break;
    case VK_RIGHT: SetMinute(p.Minute == 59 ? 0 : p.Minute + 1); break;
    default: break;
    }
}

// ---- Input ----------------------------------------------------------------------------

void TExtWatch::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
    if (FSettings->Auto()) return;
    const int x = e->position().toPoint().x(), y = e->position().toPoint().y();
    const TRect sq = GetWatchRect();
    const double a = sq.Width() / 2.0, b = sq.Height() / 2.0;
    const double dx = x - (sq.Left + a), dy = y - (sq.Top + b);
    const bool inFace = a > 0 && b > 0 && (dx * dx) / (a * a) + (dy * dy) / (b * b) <= 1.0;
    if (!inFace) {
        SetMinute(MinuteAtPos(x, y));
    } else if (GetAMPMRect().Contains(x, y)) {
        if (FAnimation) SetAM(!FAM);
        const int h = DecodeTimeParts(GetShownTime()).Hour;
        FInternalCall = true;
        SetHour(h < 12 ? h + 12 : h - 12);
        FInternalCall = false;
    } else {
        SetHour(HourAtPos(x, y));
    }
}

void TExtWatch::mouseMoveEvent(QMouseEvent* e)
{
    QWidget::mouseMoveEvent(e);
    const QPoint p = e->position().toPoint();
    setCursor(GetAMPMRect().Contains(p.x(), p.y()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TExtWatch::keyPressEvent(QKeyEvent* e)
{
    const int key = QtKeyToVirtualKey(e->key());
    if (key == 0) {
        QWidget::keyPressEvent(e);
        return;
    }
    HandleWatchKey(key);
}

void TExtWatch::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    FaceChanged();
}

// ---- Painting ---------------------------------------------------------------------------

const QImage& TExtWatch::FaceCache()
{
    if (!FCacheValid || FBKGCache.size() != size()) {
        FBKGCache = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_ARGB32);
        FBKGCache.fill(palette().color(backgroundRole()));
        TCanvas canvas(&FBKGCache);
        PaintFace(canvas);
        FCacheValid = true;
        ++FFacePaints;
    }
    return FBKGCache;
}

void TExtWatch::PaintFace(TCanvas& canvas)
{
    DrawFace(canvas);
    DrawTickMarks(canvas);
    DrawNumbers(canvas);
    DrawAMPM(canvas);
}

void TExtWatch::DrawFace(TCanvas& canvas)
{
    const TWatchAppearance& a = *FAppearance;
    const TRect sq = GetWatchRect();
    const TRect client{0, 0, width(), height()};
    const TRect area = a.Shape() == wsCircle ? sq : client;
    if (a.Shape() == wsCircle)
        canvas.SetClipRegion(RoundRegion({sq.Left - 1, sq.Top - 1, sq.Right + 2, sq.Bottom + 2}, sq.Width() + 3, sq.Height() + 3));
    else if (a.Shape() == wsRoundRect)
        canvas.SetClipRegion(RoundRegion({-1, -1, client.Right + 2, client.Bottom + 2}, 20, 20));
    if (a.BackgroundColor() != clNone && a.BackgroundColorTo() != clNone) {
        FillDropDownGradient(canvas, a.BackgroundColor(), a.BackgroundColorTo(), 80, area, a.BackgroundGradient() == wgRadial);
    } else if (a.BackgroundColor() != clNone) {
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(a.BackgroundColor());
        canvas.FillRect(area);
    }
    if (a.BorderColor() != clNone && a.BorderWidth() > 0) {
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(a.BorderColor());
        canvas.SetPenWidth(a.BorderWidth());
        if (a.Shape() == wsCircle)
            canvas.Ellipse(sq);
        else if (a.Shape() == wsRect)
            canvas.Rectangle(client);
        else
            canvas.RoundRect(client, 20, 20);
    }
    canvas.RemoveClip();
    if (!a.Picture().isNull() && width() > 0 && height() > 0) {
        const QImage stretched = a.Picture().scaled(width(), height()).convertToFormat(QImage::Format_ARGB32);
        canvas.DrawTransparent(0, 0, stretched, QColorToColor(QColor::fromRgb(stretched.pixel(0, stretched.height() - 1))));
    }
}

void TExtWatch::DrawTickMarks(TCanvas& canvas)
{
    const TWatchAppearance& a = *FAppearance;
    if (a.TickMarks() == tmNone) return;
    const QPoint c = WatchCentre(GetWatchRect());
    const double R = Radius() - a.BorderWidth() / 2;
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenColor(a.HourColor());
    canvas.SetPenWidth(a.HourMarkWidth());
    const double hourInner = a.HourMarkLength() > 0 ? R - a.HourMarkLength() : R * 0.9;
    for (const TWatchLine& l : WatchHourMarks(c, hourInner, R, a.TickMarks(), a.HourMarkStyle())) Line(canvas, l);
    if (a.TickMarks() != tmAll) return;
    canvas.SetPenColor(a.MinuteColor());
    canvas.SetPenWidth(a.MinuteMarkWidth());
    const double minuteInner = a.MinuteMarkLength() > 0 ? R - a.MinuteMarkLength() : R * 0.95;
    for (const TWatchLine& l : WatchMinuteMarks(c, minuteInner, R)) Line(canvas, l);
}

void TExtWatch::DrawNumbers(TCanvas& canvas)
{
    const TWatchAppearance& a = *FAppearance;
    const std::vector<int> hours = WatchNumberHours(a.TickMarks(), FShowNumbers);
    if (hours.empty()) return;
    const QPoint c = WatchCentre(GetWatchRect());
    const double R = Radius() - a.BorderWidth() / 2;
    const int b = a.HourMarkLength() > 0 ? a.HourMarkLength() : Nearest(R - R * 0.9) + 2;
    canvas.SetFont(a.HourFont());
    canvas.SetFontColor(a.HourFontColor());
    canvas.SetBrushStyle(TBrushStyle::Clear);
    canvas.SetBkMode(TBkMode::Transparent);
    for (int h : hours) {
        const QString text = QString::number(h);
        const QPoint pos = WatchNumberPos(c, R, b, h, TextExtent(canvas, text));
        canvas.TextOut(pos.x(), pos.y(), text);
    }
}

void TExtWatch::DrawAMPMFrame(TCanvas& canvas)
{
    const TWatchAppearance& a = *FAppearance;
    const TRect box = GetAMPMRect();
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    canvas.SetPenColor(a.AMPMBorderColor());
    canvas.SetBrushStyle(TBrushStyle::Clear);
    if (a.AMPMFrame() == apRect)
        canvas.Rectangle(box);
    else
        canvas.RoundRect(box, 5, 5);
}

void TExtWatch::DrawAMPM(TCanvas& canvas)
{
    if (!FShowAMPM) return;
    const TWatchAppearance& a = *FAppearance;
    const TRect box = GetAMPMRect();
    if (a.AMPMColor() != clNone || a.AMPMBorderColor() != clNone) {
        canvas.SetPenStyle(a.AMPMBorderColor() != clNone ? TPenStyle::Solid : TPenStyle::Clear);
        canvas.SetPenWidth(1);
        canvas.SetPenColor(a.AMPMBorderColor());
        canvas.SetBrushStyle(a.AMPMColor() != clNone ? TBrushStyle::Solid : TBrushStyle::Clear);
        canvas.SetBrushColor(a.AMPMColor());
        if (a.AMPMFrame() == apRect)
            canvas.Rectangle(box);
        else
            canvas.RoundRect(box, 5, 5);
    }
    canvas.SetFont(a.AMPMFont());
    canvas.SetFontColor(a.AMPMFontColor());
    canvas.SetBrushStyle(TBrushStyle::Clear);
    TRect r = box;
    canvas.DrawText(FAM ? QStringLiteral("AM") : QStringLiteral("PM"), r, tfCenter | tfVCenter | tfSingleLine | tfNoClip);
}

void TExtWatch::DrawHands(TCanvas& canvas)
{
    const TWatchAppearance& a = *FAppearance;
    const TTimeParts t = DecodeTimeParts(GetShownTime());
    const QPoint c = WatchCentre(GetWatchRect());
    const double r = Radius();
    const TWatchAngles ang = WatchHandAngles(t.Hour, t.Minute, t.Second);
    canvas.SetPenStyle(TPenStyle::Solid);
    auto line = [&](TColor color, int width, const TWatchLine& l, QPoint shift) {
        if (color == clNone) return;
        canvas.SetPenColor(color);
        canvas.SetPenWidth(width);
        Line(canvas, {l.From + shift, l.To + shift});
    };
    auto shape = [&](TColor color, std::vector<QPoint> pts, QPoint shift) {
        if (color == clNone) return;
        for (QPoint& p : pts) p += shift;
        canvas.SetPenColor(color);
        canvas.SetPenWidth(1);
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(color);
        canvas.Polygon(pts);
    };
    if (a.PointerStyle() == psPointer) {
        shape(a.HourPointerShadow(), WatchPointerShape(c, ang.Hour, r, 0.5 * r), {1, 3});
        shape(a.HourPointer(), WatchPointerShape(c, ang.Hour, r, 0.5 * r), {});
        shape(a.MinutePointerShadow(), WatchPointerShape(c, ang.Minute, r, 0.7 * r), {1, 3});
        shape(a.MinutePointer(), WatchPointerShape(c, ang.Minute, r, 0.7 * r), {});
    } else {
        // psLine; the short-line and arrow styles draw their hands the same way.
        line(a.HourPointerShadow(), a.HourPointerSize(), WatchHandLine(c, ang.Hour, 0.1 * r, 0.46 * r), {-1, 3});
        line(a.MinutePointerShadow(), a.MinutePointerSize(), WatchHandLine(c, ang.Minute, 0.1 * r, 0.65 * r), {0, 3});
        line(a.HourPointer(), a.HourPointerSize(), WatchHandLine(c, ang.Hour, 0.1 * r, 0.5 * r), {});
        line(a.MinutePointer(), a.MinutePointerSize(), WatchHandLine(c, ang.Minute, 0.1 * r, 0.7 * r), {});
    }
    if (FSettings->Auto() && FSettings->Second())
        line(a.SecondPointer(), a.SecondPointerSize(), WatchHandLine(c, ang.Second, 0.2 * r, 0.9 * r), {});

    const int s = a.CenterPointSize();
    if (s <= 0) return;
    auto circle = [&](double side, TColor color, int penWidth, bool filled) {
        const int x0 = Nearest(c.x() - side / 2), y0 = Nearest(c.y() - side / 2);
        const int n = int(side);
        canvas.SetPenColor(color);
        canvas.SetPenWidth(penWidth);
        canvas.SetBrushStyle(filled ? TBrushStyle::Solid : TBrushStyle::Clear);
        canvas.SetBrushColor(color);
        canvas.Ellipse({x0, y0, x0 + n, y0 + n});
    };
    if (a.CenterPointColor() != clNone) circle(s, a.CenterPointColor(), 1, true);
    int v = 0;
    if (a.CenterPointOuterBorderColor() != clNone) {
        v = Nearest(s * 0.2);
        circle(s, a.CenterPointOuterBorderColor(), v, false);
    }
    if (a.CenterPointBorderColor() != clNone) circle(s - v, a.CenterPointBorderColor(), Nearest(s * 0.1), false);
}

QImage TExtWatch::Render()
{
    QImage img = FaceCache().copy();
    TCanvas canvas(&img);
    if (FSettings->Auto()) {
        FInternalSet = true;
        SetAM(DecodeTimeParts(GetShownTime()).Hour < 12);
        FInternalSet = false;
    }
    if (FAMPMTimer.isActive()) {
        // A frame of the AM/PM switch: the window into the strip of "AM"
        // over "PM", then the box frame.
        const TWatchAppearance& a = *FAppearance;
        const TRect inner = GetAMPMRect().Inflated(-1, -1);
        QImage strip(inner.Width(), 2 * inner.Height(), QImage::Format_ARGB32);
        strip.fill(ColorToQColor(a.AMPMColor()));
        {
            TCanvas sc(&strip);
            sc.SetFont(a.AMPMFont());
            sc.SetFontColor(a.AMPMFontColor());
            sc.SetBrushStyle(TBrushStyle::Clear);
            TRect upper{0, 0, inner.Width(), inner.Height()}, lower{0, inner.Height(), inner.Width(), 2 * inner.Height()};
            sc.DrawText(QStringLiteral("AM"), upper, tfCenter | tfVCenter | tfSingleLine | tfNoClip);
            sc.DrawText(QStringLiteral("PM"), lower, tfCenter | tfVCenter | tfSingleLine | tfNoClip);
        }
        canvas.Draw(inner.Left, inner.Top, strip.copy(0, FAMPMOffset, inner.Width(), inner.Height()));
        DrawAMPMFrame(canvas);
    }
    DrawHands(canvas);
    return img;
}

void TExtWatch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(QPoint(0, 0), Render());
}
