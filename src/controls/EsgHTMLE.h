#pragma once
// The mini-HTML renderer: measures, draws and hit-tests a text of the small
// tag language that cell texts, hints, footers, header buttons and list items
// may carry (bold, italic, fonts and colours, anchors, pictures, bullets, sub-
// and superscript, shadows, highlighted and hidden text, inline controls).
//
// One call does one of three jobs on a text in a rectangle of a canvas:
//   measure    MeasureOnly: the widest line and the total height, nothing drawn;
//   draw       the default: each line is measured, placed and drawn;
//   hit-test   HitTestOnly: as drawing, but nothing is painted; the anchor,
//              picture or inline control under (HitX, HitY) is reported.
// The renderer renders what it is given: a text that is not meant as markup
// (a file name, a value typed by the user) must be escaped with
// EscapeHtmlChars before it is put into a mini-HTML text.
//
// The inline control tags ("<CONTROL TYPE=.. ID=.. VALUE=.. WIDTH=..>") are
// read and rewritten by the routines at the end of this header.
#include "platform/Canvas.h"
#include "platform/Graphics.h"

#include <QString>
#include <vector>

class QWidget;
class TCustomImageList;
class THTMLPictureCache;
class TPictureContainer;

// What RenderMiniHtml is asked to do.
struct TMiniHtmlParams {
    TMiniHtmlParams(TCanvas& canvas, const QString& text, const TRect& rect) : Canvas(canvas), Text(text), Rect(rect) {}

    // Surface; its font, brush and pen are the starting state and are
    // restored before the call returns.
    TCanvas& Canvas;
    QString Text;
    // Layout rectangle: lines start one pixel right of its left edge, at its top.
    TRect Rect;
    // Source of "IDX:n" pictures.
    const TCustomImageList* Images = nullptr;
    // Hit-test point in canvas coordinates; -1 for none.
    int HitX = -1;
    int HitY = -1;
    // Anchor with the keyboard focus, counted from 0; -1 none.
    int FocusAnchorIndex = -1;
    // Anchor under the mouse, counted from 1 (an earlier HitAnchorNumber); 0 or -1 none.
    int HoverAnchorNumber = -1;
    // Offset of shadow text, both directions.
    int ShadowShift = 1;
    // Hit-test without drawing; HitControlID then names a control whose
    // rectangle is wanted.
    bool HitTestOnly = false;
    // Only measure: nothing is drawn and every line is measured.
    bool MeasureOnly = false;
    // Image-list and system-icon pictures are stretched by PrintScale.
    bool Printing = false;
    // Drawn on a selection: FONT colours and URLColor are not applied.
    bool OnSelection = false;
    // Blink phase; false hides the text after the blink tag.
    bool BlinkVisible = true;
    // Only the anchor numbered HoverAnchorNumber gets underline and hover colours.
    bool UnderlineHoverOnly = false;
    // Runs break at blanks and lines wrap; otherwise lines end only at
    // line-break tags and are cut with an ellipsis.
    bool WordWrap = false;
    // A mouse button is down (pressed look of inline buttons).
    bool ButtonDown = false;
    double PrintScale = 1.0;
    TColor URLColor = clBlue;
    TColor HoverBrushColor = clNone;
    TColor HoverTextColor = clNone;
    TColor ShadowTextColor = clGray;
    // With HitTestOnly: the ID of the inline control whose rectangle is wanted.
    QString HitControlID;
    // Pictures named by URL, and named pictures.
    THTMLPictureCache* PictureCache = nullptr;
    TPictureContainer* NamedPictures = nullptr;
    // Widget whose style draws inline controls.
    QWidget* ThemeWindow = nullptr;
    // 0 left to right, 1 right to left, 2 right to left without alignment
    // change, 3 right-to-left reading only.
    int BiDiMode = 0;
};

// What RenderMiniHtml found.
struct TMiniHtmlResult {
    // An anchor run was hit within the text band of its line, or a picture
    // inside an anchor or an inline control lies under the point.
    bool Hit = false;
    // Reference of the anchor under the point, "ctrl" for an inline control,
    // empty when nothing is hit.
    QString HitAnchorRef;
    // The runs measured (a run moved on to the next line appears again) and
    // a CR for every <BR>.
    QString PlainText;
    // Reference of the anchor numbered FocusAnchorIndex + 1.
    QString FocusAnchorRef;
    QString HitAnchorTitle;
    // Width of the widest line, trailing blank excluded.
    int MaxLineWidth = 0;
    // Sum of the line heights; the height of "gh" when that is 0.
    int TotalHeight = 0;
    int AnchorCount = 0;
    // Number (from 1) of the anchor under the point; -1 none.
    int HitAnchorNumber = -1;
    TRect HitAnchorRect;
    // The inline control under the point (or the one asked for by ID).
    TRect HitControlRect;
    QString HitControlID;
    QString HitControlValue;
    // Upper-cased.
    QString HitControlType;
};

TMiniHtmlResult RenderMiniHtml(const TMiniHtmlParams& params);

// ---- Colours ---------------------------------------------------------------

// "clred" .. "clmaroon" and the system colour names "clbackground" ..
// "clinfobk" (compared exactly, lower case); unknown names give black.
TColor HtmlColorNameToColor(const QString& name);
// "#RRGGBB" (upper-case hexadecimal) to a colour.
TColor HtmlHexToColor(const QString& value);
// The brush and font colours of highlighted text (<HI>), process-wide.
void SetHtmlHighlightColors(TColor brushColor, TColor fontColor);
TColor HtmlHighlightBrushColor();
TColor HtmlHighlightFontColor();

// ---- Drawing helpers -------------------------------------------------------

// Reading from right to left (no text flag of the canvas; the renderer
// places runs from the right edge).
constexpr unsigned tfRtlReading = 0x20000;
// The text flags of a run: single line, bottom-aligned, no mnemonics; with a
// right-to-left mode the reading flag, and with mode 1 right alignment; with
// `wordWrap` false an end ellipsis.
unsigned MiniHtmlBiDiFlags(int biDiMode, bool wordWrap);

// Selects a copy of the canvas font turned by `angle` degrees; the returned
// font is the one it replaced, to be selected again afterwards.
struct TCanvasFontState {
    QFont Font;
    int Escapement = 0;
};
TCanvasFontState SelectRotatedFont(TCanvas& canvas, int angle);

// The desktop's icon of `path` ("16" .. whole numbers pick a standard icon),
// small (16 pixels) or large (32); drawn at (x, y) unless `draw` is false,
// stretched by printScale when printing. Returns the space it takes.
QSize DrawSystemIcon(TCanvas& canvas, const QString& path, bool large, int x, int y, bool draw, bool printing, double printScale);

// A picture stretched into r.
void StretchBitmapToRect(TCanvas& canvas, const TRect& r, const QImage& picture);

// ---- Attributes of a tag ---------------------------------------------------

// One attribute of a tag: NAME="value". An attribute without quotes has an
// empty value.
struct TTagAttribute {
    QString Name;  // upper-cased
    QString Value; // as written
};
// The attributes of a tag text ("<NAME A="1" B="2">"): names are whole
// tokens, so BGCOLOR is never read as COLOR and a name inside a quoted value
// is not an attribute.
std::vector<TTagAttribute> TagAttributes(const QString& tagText);
// The value of attribute `name` (any case); empty when absent.
QString TagAttribute(const std::vector<TTagAttribute>& attributes, const QString& name);
bool HasTagAttribute(const std::vector<TTagAttribute>& attributes, const QString& name);

// ---- Inline control tags ---------------------------------------------------

struct TControlTagAttributes {
    QString Type;   // upper-cased
    QString Width;
    QString Height;
    QString ID;
    QString Value;  // entities decoded
    QString Prop;   // entities decoded
    QString MaxLen;
};
TControlTagAttributes ParseControlTagAttributes(const QString& tagText);
// True when the text holds "<CONTROL" in any case.
bool HasControlTag(const QString& text);
// The ID of the first edit-like control (not BUTTON, CHECK or RADIO) after
// the control `id`, or the first one for an empty ID; empty when none.
QString NextEditableControlID(const QString& text, const QString& id);
bool GetControlValue(const QString& text, const QString& id, QString& value);
QString GetControlProp(const QString& text, const QString& id);
int GetControlMaxLen(const QString& text, const QString& id);
// Rewrites the tag of control `id` with `value`, keeping its other
// attributes; false (text unchanged) when no control has that ID.
bool BuildControlTag(QString& text, const QString& id, const QString& value);
// Every RADIO control's value set to "FALSE".
QString UncheckRadioControls(const QString& text);
