#include "dropdown/ExtCalculatorDropDown.h"

#include "controls/ExtDropDownDraw.h"
#include "controls/ExtUtilDraw.h"
#include "platform/ImageList.h"
#include "platform/SysUtils.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

// ---- Number format -----------------------------------------------------------

QChar ThousandSeparatorChar() { return SystemFormatSettings().ThousandSeparator; }
QChar DecimalSeparatorChar() { return SystemFormatSettings().DecimalSeparator; }

QString StripThousandSeparators(const QString& text) { return StripThousandSeparators(text, SystemFormatSettings()); }

// ---- Button items --------------------------------------------------------------

void TButtonItem::SetBounds(int left, int top, int width, int height)
{
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
}

void TButtonItem::Assign(const TButtonItem& source)
{
    if (&source == this) return;
    FCaption = source.FCaption;
    FCaptionColor = source.FCaptionColor;
    FTag = source.FTag;
    FImageIndex = source.FImageIndex;
    FImage = source.FImage;
    FEnabled = source.FEnabled;
    FName = source.FName;
}

TButtonItem* TButtonItems::Items(int index) const
{
    return index >= 0 && index < Count() ? m_items[size_t(index)].get() : nullptr;
}

TButtonItem* TButtonItems::Add() { return Insert(Count()); }

TButtonItem* TButtonItems::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    auto it = m_items.insert(m_items.begin() + index, std::make_unique<TButtonItem>());
    return it->get();
}

void TButtonItems::Delete(int index)
{
    if (index >= 0 && index < Count()) m_items.erase(m_items.begin() + index);
}

void TButtonItems::Clear() { m_items.clear(); }

void TButtonItems::Assign(const TButtonItems& source)
{
    if (&source == this) return;
    Clear();
    for (int i = 0; i < source.Count(); ++i) Add()->Assign(*source.Items(i));
}

// ---- Appearance ------------------------------------------------------------------

TButtonAppearance::TButtonAppearance() : FFont(QApplication::font())
{
    FFont.setPointSize(10);
    FFont.setBold(true);
}

void TButtonAppearance::StoreColor(TColor& field, TColor v)
{
    if (field == v) return;
    field = v;
    if (OnChange) OnChange(this);
}

void TButtonAppearance::Assign(const TButtonAppearance& source)
{
    if (&source == this) return;
    SetBorderColor(source.FBorderColor);
    SetBorderColorHot(source.FBorderColorHot);
    SetBorderColorDown(source.FBorderColorDown);
    SetColor(source.FColor);
    SetColorTo(source.FColorTo);
    SetColorDown(source.FColorDown);
    SetColorDownTo(source.FColorDownTo);
    SetColorHot(source.FColorHot);
    SetColorHotTo(source.FColorHotTo);
    SetGlowColorHot(source.FGlowColorHot);
    SetGlowColorDown(source.FGlowColorDown);
    SetShineColor(source.FShineColor);
    SetFont(source.FFont);
    SetTextColor(source.FTextColor);
    SetSpecialTextColor(source.FSpecialTextColor);
}

// ---- Calculator keys ---------------------------------------------------------------

const TCalculatorKey CalculatorKeys[kCalculatorKeyCount] = {
    {"", "BTN_ON", CalcTag::Blank, false},
    {"Back", "BTN_BACK", CalcTag::Back, true},
    {"CE", "BTN_CE", CalcTag::ClearEntry, true},
    {"C", "BTN_C", CalcTag::Clear, true},
    {"MC", "BTN_MC", CalcTag::MemoryClear, true},
    {"MR", "BTN_MR", CalcTag::MemoryRecall, true},
    {"MS", "BTN_MS", CalcTag::MemoryStore, true},
    {"M+", "BTN_M+", CalcTag::MemoryAdd, true},
    {"0", "BTN_0", 0, false},
    {"1", "BTN_1", 1, false},
    {"4", "BTN_4", 4, false},
    {"7", "BTN_7", 7, false},
    {"8", "BTN_8", 8, false},
    {"5", "BTN_5", 5, false},
    {"2", "BTN_2", 2, false},
    {"+/-", "BTN_+/-", CalcTag::Sign, false},
    {".", "BTN_.", CalcTag::Point, false},
    {"3", "BTN_3", 3, false},
    {"6", "BTN_6", 6, false},
    {"9", "BTN_9", 9, false},
    {"/", "BTN_/", CalcTag::Divide, true},
    {"*", "BTN_*", CalcTag::Multiply, true},
    {"-", "BTN_-", CalcTag::Minus, true},
    {"+", "BTN_+", CalcTag::Plus, true},
    {"=", "BTN_=", CalcTag::Equals, true},
    {"1/x", "BTN_1/x", CalcTag::Reciprocal, false},
    {"%", "BTN_%", CalcTag::Percent, false},
    {"sqrt", "BTN_sqrt", CalcTag::Sqrt, true},
};

std::vector<TRect> CalculatorKeyRects(const TRect& a)
{
    constexpr int G = 4;
    const int L = a.Left, T = a.Top;
    const int W = (a.Right - L - 2 * G) / 6;
    const int H = (a.Bottom - T - G) / 5;
    const int c[6] = {L, L + W + 4, L + 2 * W + 3, L + 3 * W + 2, L + 4 * W + 6, L + 5 * W + 5};
    const int r[5] = {T, T + H + 4, T + 2 * H + 3, T + 3 * H + 2, T + 4 * H + 1};
    // Column and row of every key but the three wide ones (indexes 1..3).
    static constexpr int place[kCalculatorKeyCount][2] = {
        {0, 0}, {-1, -1}, {-1, -1}, {-1, -1},            // blank, Back, CE, C
        {0, 1}, {0, 2}, {0, 3}, {0, 4},                  // MC MR MS M+
        {1, 4}, {1, 3}, {1, 2}, {1, 1},                  // 0 1 4 7
        {2, 1}, {2, 2}, {2, 3}, {2, 4},                  // 8 5 2 +/-
        {3, 4}, {3, 3}, {3, 2}, {3, 1},                  // . 3 6 9
        {4, 1}, {4, 2}, {4, 3}, {4, 4},                  // / * - +
        {5, 4}, {5, 3}, {5, 2}, {5, 1},                  // = 1/x % sqrt
    };
    std::vector<TRect> rects(kCalculatorKeyCount);
    for (int i = 0; i < kCalculatorKeyCount; ++i) {
        if (place[i][0] < 0) continue;
        const int x = c[place[i][0]], y = r[place[i][1]];
        rects[size_t(i)] = {x, y, x + W, y + H};
    }
    const int X = c[5] + W;
    const int W3 = (X - c[1] - 2 * G) / 3;
    rects[1] = {c[1], r[0], c[1] + W3, r[0] + H};
    rects[2] = {c[1] + W3 + 4, r[0], c[1] + 2 * W3 + 4, r[0] + H};
    rects[3] = {c[1] + 2 * W3 + 8, r[0], X, r[0] + H};
    return rects;
}

// ---- Panel ---------------------------------------------------------------------------

TCustomButtonPanel::TCustomButtonPanel(QWidget* parent)
    : QWidget(parent), FButtons(std::make_unique<TButtonItems>(this)), FButtonAppearance(std::make_unique<TButtonAppearance>())
{
    FButtonAppearance->OnChange = [this](TButtonAppearance*) { AppearanceChanged(); };
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

TCustomButtonPanel::~TCustomButtonPanel() { FButtonAppearance->OnChange = nullptr; }

void TCustomButtonPanel::SetButtonLayout(TItemLayout v)
{
    if (FButtonLayout == v) return;
    FButtonLayout = v;
    update();
}

void TCustomButtonPanel::SetButtonPanelType(TButtonPanelType v)
{
    if (FButtonPanelType == v) return;
    FButtonPanelType = v;
    LayoutButtons();
    update();
}

void TCustomButtonPanel::SetImages(TCustomImageList* v)
{
    FImages = v;
    LayoutButtons();
    update();
}

void TCustomButtonPanel::SetColor(TColor v)
{
    if (FColor == v) return;
    FColor = v;
    update();
}

void TCustomButtonPanel::AppearanceChanged()
{
    // A hosting drop-down repaints on its own schedule.
    if (!FExtDropDown) update();
}

void TCustomButtonPanel::Loaded()
{
    if (!FExtDropDown) BuildButtons();
}

int TCustomButtonPanel::ButtonAtPos(int x, int y) const
{
    for (int i = 0; i < FButtons->Count(); ++i)
        if (FButtons->Items(i)->Rect().Contains(x, y)) return i;
    return -1;
}

void TCustomButtonPanel::GetButtonsArea(TRect& r)
{
    r = {FOffSetX, FOffSetY, width() - FOffSetX, height() - FOffSetY};
}

void TCustomButtonPanel::ClearButtons()
{
    FButtons->Clear();
    FButtonHot = -1;
    FButtonDown = -1;
    update();
}

void TCustomButtonPanel::ResetButtons()
{
    ClearButtons();
    BuildButtons();
}

void TCustomButtonPanel::BuildButtons()
{
    if (FButtonPanelType == TButtonPanelType::plCalculator && FButtons->Count() == 0) {
        for (const TCalculatorKey& k : CalculatorKeys) {
            TButtonItem* item = FButtons->Add();
            item->SetCaption(QString::fromLatin1(k.Caption));
            item->SetName(QString::fromLatin1(k.Name));
            item->SetTag(k.Tag);
            item->SetSpecial(k.Special);
            if (k.Special) item->SetCaptionColor(0x000080);
        }
        LayoutButtons();
    } else if (FButtonPanelType == TButtonPanelType::plCustom) {
        LayoutButtons();
    }
}

void TCustomButtonPanel::LayoutButtons()
{
    if (FButtonPanelType != TButtonPanelType::plCalculator || FButtons->Count() == 0) return;
    TRect area;
    GetButtonsArea(area);
    const std::vector<TRect> rects = CalculatorKeyRects(area);
    for (int i = 0; i < FButtons->Count() && i < kCalculatorKeyCount; ++i) {
        const TRect& r = rects[size_t(i)];
        FButtons->Items(i)->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    }
    update();
}

QImage TCustomButtonPanel::ButtonPicture(const TButtonItem& item) const
{
    if (!item.Image().isNull()) return item.Image();
    if (FImages && item.ImageIndex() >= 0) {
        QImage img = FImages->GetImage(item.ImageIndex());
        // An index past the list still takes the list's size.
        return img.isNull() ? QImage(FImages->Width(), FImages->Height(), QImage::Format_ARGB32) : img;
    }
    return {};
}

void TCustomButtonPanel::GetButtonSize(int& width, int& height)
{
    QImage probe(1, 1, QImage::Format_ARGB32);
    TCanvas canvas(&probe);
    canvas.SetFont(FButtonAppearance->Font());
    int picW = 0, picH = 0, capW = 0, capH = 0;
    for (int i = 0; i < FButtons->Count(); ++i) {
        const TButtonItem& item = *FButtons->Items(i);
        const QImage pic = ButtonPicture(item);
        picW = std::max(picW, pic.width());
        picH = std::max(picH, pic.height());
        const QSize ext = TextExtent(canvas, item.Caption());
        capW = std::max(capW, ext.width());
        capH = std::max(capH, ext.height());
    }
    const bool both = picW > 0 && capW > 0;
    if (FButtonLayout == TItemLayout::ilCaptionLeft || FButtonLayout == TItemLayout::ilCaptionRight) {
        width = 2 * FButtonOffSetX + (picW > 0 ? picW : 0) + (both ? FCaptionGap : 0) + capW;
        height = std::max(picH, capH) + 2 * FButtonOffSetY;
    } else {
        width = std::max(picW, capW) + 2 * FButtonOffSetX;
        height = 2 * FButtonOffSetY + (picH > 0 ? picH : 0) + (picH > 0 && capH > 0 ? FCaptionGap : 0) + (capH >= 1 ? capH : 0);
    }
}

void TCustomButtonPanel::DrawPicture(TCanvas& canvas, const TButtonItem& item, const QImage& picture, int x, int y)
{
    if (picture.isNull()) return;
    if (!item.Image().isNull())
        canvas.Draw(x, y, picture);
    else if (FImages)
        FImages->Draw(canvas, x, y, item.ImageIndex(), item.Enabled());
}

void TCustomButtonPanel::DrawButton(int index, TCanvas& canvas)
{
    const TButtonItem* item = FButtons->Items(index);
    if (!item) return;
    TRect r = item->Rect();
    if (r.Left < 0 && r.Right < 0) return;

    // The face: the desktop's push button in one of its four states.
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(FColor);
    canvas.FillRect(r);
    int state = bdsNormal;
    if (!isEnabled())
        state = bdsDisabled;
    else if (index == FButtonDown)
        state = bdsPressed;
    else if (index == FButtonHot)
        state = bdsHot;
    DrawThemedPushButton(canvas, this, r, TButtonColors{}, state, blkVisualStyles);

    const QImage picture = ButtonPicture(*item);
    const int pw = picture.width(), ph = picture.height();
    TRect content = r.Inflated(-FButtonOffSetX, -FButtonOffSetY);
    canvas.SetFont(FButtonAppearance->Font());
    canvas.SetFontColor(item->Special() ? FButtonAppearance->SpecialTextColor() : FButtonAppearance->TextColor());
    canvas.SetBrushStyle(TBrushStyle::Clear);
    const QString& caption = item->Caption();
    const QSize ext = TextExtent(canvas, caption);
    const unsigned line = tfSingleLine | tfVCenter | tfNoPrefix;
    auto drawCaption = [&](TRect cr, bool centred) {
        if (!caption.isEmpty()) canvas.DrawText(caption, cr, line | (centred ? unsigned(tfCenter) : 0u));
    };
    const int vCentre = content.Top + (content.Height() - ph) / 2;

    switch (FButtonLayout) {
    case TItemLayout::ilCaptionLeft: {
        int picLeft = content.Left;
        if (!caption.isEmpty()) {
            TRect cr = content;
            cr.Right -= pw;
            drawCaption(cr, picture.isNull());
            picLeft = content.Left + ext.width() + FCaptionGap;
        }
        DrawPicture(canvas, *item, picture, picLeft, vCentre);
        break;
    }
    case TItemLayout::ilCaptionRight: {
        DrawPicture(canvas, *item, picture, content.Left, vCentre);
        TRect cr = content;
        cr.Left = content.Left + pw + FCaptionGap;
        drawCaption(cr, picture.isNull());
        break;
    }
    case TItemLayout::ilCaptionTop: {
        int picTop = vCentre;
        if (!caption.isEmpty()) {
            TRect cr = content;
            cr.Bottom -= ph;
            drawCaption(cr, true);
            picTop = content.Top + ext.height() + FCaptionGap;
        }
        DrawPicture(canvas, *item, picture, content.Left, picTop);
        break;
    }
    case TItemLayout::ilCaptionBottom: {
        const int picTop = caption.isEmpty() ? vCentre : content.Top;
        DrawPicture(canvas, *item, picture, content.Left, picTop);
        TRect cr = content;
        cr.Top = picTop + ph + FCaptionGap;
        drawCaption(cr, true);
        break;
    }
    }
}

void TCustomButtonPanel::Paint(TCanvas& canvas)
{
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(FColor);
    canvas.FillRect({0, 0, width(), height()});
    if (!FExtDropDown) {
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(clBlack);
        canvas.SetPenWidth(1);
        canvas.Rectangle({0, 0, width(), height()});
    }
    for (int i = 0; i < FButtons->Count(); ++i)
        if (i != FButtonHot) DrawButton(i, canvas);
    if (FButtonHot >= 0) DrawButton(FButtonHot, canvas);
}

QImage TCustomButtonPanel::Render()
{
    QImage img(std::max(1, width()), std::max(1, height()), QImage::Format_ARGB32);
    img.fill(ColorToQColor(FColor));
    TCanvas canvas(&img);
    Paint(canvas);
    return img;
}

void TCustomButtonPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(QPoint(0, 0), Render());
}

void TCustomButtonPanel::InvalidateButton(int index)
{
    if (const TButtonItem* item = FButtons->Items(index)) update(item->Rect().Inflated(8, 8).ToQRect());
}

void TCustomButtonPanel::ButtonClick(int index)
{
    if (OnButtonClick) OnButtonClick(this, index);
}

void TCustomButtonPanel::SetTrackedIndex(int& field, int index)
{
    if (field == index) return;
    if (const TButtonItem* item = FButtons->Items(index); item && !item->Enabled()) return;
    const int previous = field;
    field = index;
    if (previous >= 0) InvalidateButton(previous);
    if (index >= 0) InvalidateButton(index);
}

void TCustomButtonPanel::SetButtonHot(int index) { SetTrackedIndex(FButtonHot, index); }
void TCustomButtonPanel::SetButtonDown(int index) { SetTrackedIndex(FButtonDown, index); }

void TCustomButtonPanel::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    LayoutButtons();
}

void TCustomButtonPanel::mousePressEvent(QMouseEvent* e)
{
    QWidget::mousePressEvent(e);
    const int i = ButtonAtPos(e->position().toPoint().x(), e->position().toPoint().y());
    if (i >= 0 && FButtons->Items(i)->Enabled()) SetButtonDown(i);
}

void TCustomButtonPanel::mouseMoveEvent(QMouseEvent* e)
{
    QWidget::mouseMoveEvent(e);
    int i = ButtonAtPos(e->position().toPoint().x(), e->position().toPoint().y());
    if (i >= 0 && !FButtons->Items(i)->Enabled()) i = -1;
    SetButtonHot(i);
}

void TCustomButtonPanel::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
    if (FButtonDown < 0) return;
    const int pressed = FButtonDown;
    const int under = ButtonAtPos(e->position().toPoint().x(), e->position().toPoint().y());
    SetButtonDown(-1);
    if (under == pressed) ButtonClick(pressed);
}

void TCustomButtonPanel::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    SetButtonHot(-1);
}

void TCustomButtonPanel::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) update();
}

// ---- The calculator drop-down ------------------------------------------------------

namespace {
enum TPendingOp : int32_t { opNone = -1, opAdd = 0, opMultiply = 1, opSubtract = 2, opDivide = 3 };
const QString ErrorText = QStringLiteral("Error");
} // namespace

TExtCalculatorDropdown::TExtCalculatorDropdown(QWidget* parent)
    : TExtCustomDropDown(parent), FCalcButtonAppearance(std::make_unique<TButtonAppearance>())
{
    SetDropDownColor(0xFFFFFF);
    SetDropDownWidth(230);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    SetEditType(TDropDownEditType::etFloat);
    SetPrecision(2);
    CreateDropDownForm();
}

TExtCalculatorDropdown::~TExtCalculatorDropdown()
{
    if (FExtButtonPanel) FExtButtonPanel->OnButtonClick = nullptr;
}

long double TExtCalculatorDropdown::ShownNumber() const
{
    return TextToFloat(Text(), SystemFormatSettings());
}

long double TExtCalculatorDropdown::Value()
{
    if (Text().isEmpty()) SetText(QStringLiteral("0"));
    return ShownNumber();
}

void TExtCalculatorDropdown::SetValue(long double value)
{
    SetText(FormatFloatText(double(value), -1, false, SystemFormatSettings()));
}

void TExtCalculatorDropdown::SetShowThousandSeparator(bool value)
{
    if (FShowThousandSeparator == value) return;
    FShowThousandSeparator = value;
    const double v = FloatValue();
    SetEditType(value ? TDropDownEditType::etMoney : TDropDownEditType::etFloat);
    SetFloatValue(v);
}

void TExtCalculatorDropdown::SetComponentStyle(TStudioStyle style)
{
    TExtCustomDropDown::SetComponentStyle(style);
    if (!FCalcButtonAppearance) return; // while the base is being built
    const TExtButtonAppearance& b = ButtonAppearance();
    TButtonAppearance& c = *FCalcButtonAppearance;
    c.SetBorderColor(b.BorderColor());
    c.SetBorderColorHot(b.BorderColorHot());
    c.SetBorderColorDown(b.BorderColorDown());
    c.SetColor(b.Color());
    c.SetColorTo(b.ColorTo());
    c.SetColorDown(b.ColorDown());
    c.SetColorDownTo(b.ColorDownTo());
    c.SetColorHot(b.ColorHot());
    c.SetColorHotTo(b.ColorHotTo());
    if (style == tsOffice2010Blue || style == tsOffice2010Silver || style == tsOffice2010Black) {
        c.SetGlowColorDown(b.ColorHot());
        c.SetGlowColorHot(b.ColorHot());
    } else {
        c.SetGlowColorDown(0xD5C244);
        c.SetGlowColorHot(b.ColorDownTo());
    }
}

// -- evaluation --------------------------------------------------------------------------

void TExtCalculatorDropdown::DoCalc()
{
    if (Text().isEmpty() || Text() == ErrorText) SetText(QStringLiteral("0"));
    const long double x = ShownNumber();
    switch (FPrevop) {
    case opAdd: FPrevval = FPrevval + x; break;
    case opMultiply: FPrevval = FPrevval * x; break;
    case opSubtract: FPrevval = FPrevval - x; break;
    case opDivide:
        if (x == 0) {
            FPrevval = 0;
            SetText(ErrorText);
            return;
        }
        FPrevval = FPrevval / x;
        break;
    default: FPrevval = x; break;
    }
    // An overflow is an arithmetic failure: the accumulator starts again.
    if (!std::isfinite(double(FPrevval))) FPrevval = 0;
    SetFloatValue(double(FPrevval));
    FNewval = true;
}

void TExtCalculatorDropdown::DoPlus()
{
    DoCalc();
    FPrevop = opAdd;
}

void TExtCalculatorDropdown::DoMinus()
{
    DoCalc();
    FPrevop = opSubtract;
}

void TExtCalculatorDropdown::DoMultiply()
{
    DoCalc();
    FPrevop = opMultiply;
}

void TExtCalculatorDropdown::DoDivide()
{
    DoCalc();
    FPrevop = opDivide;
}

void TExtCalculatorDropdown::DoEquals()
{
    DoCalc();
    if (Text().isEmpty()) SetText(QStringLiteral("0"));
    FPrevop = opNone;
    if (Text() != ErrorText) FPrevval = ShownNumber();
}

void TExtCalculatorDropdown::DoPercent()
{
    if (Text().isEmpty() || Text() == ErrorText) SetText(QStringLiteral("0"));
    const long double r = FPrevval * ShownNumber() / 100;
    SetText(FormatFloatText(std::isfinite(double(r)) ? double(r) : 0.0, -1, false, SystemFormatSettings()));
}

void TExtCalculatorDropdown::ClearAll()
{
    SetText(QStringLiteral("0"));
    FPrevval = 0;
    FPrevop = opNone;
}

bool TExtCalculatorDropdown::AtMaxLength() const
{
    return maxLength() > 0 && Text().size() >= maxLength();
}

// -- keypad --------------------------------------------------------------------------------

void TExtCalculatorDropdown::KeypadButtonClick(TCustomButtonPanel*, int index)
{
    const TButtonItem* item = FExtButtonPanel ? FExtButtonPanel->Buttons().Items(index) : nullptr;
    if (!item) return;
    BeforeCalculatorAction();
    const int tag = item->Tag();
    using namespace CalcTag;
    if ((tag >= Plus && tag <= Sign) || (tag >= Clear && tag <= Percent) || tag == Blank || tag == ClearEntry) FDecim = 0;
    const bool digit = tag >= 0 && tag <= 9;
    if ((digit || tag == Sign || tag == Point) && AtMaxLength()) return;
    const FormatSettings& fs = SystemFormatSettings();
    const QChar ds = fs.DecimalSeparator;

    if (digit) {
        double v = FloatValue();
        if ((v == 0 && FDecim == 0) || FNewval) {
            SetText(QString::number(tag));
            FNewval = false;
        } else {
            if (FDecim > 0) {
                v = v + double(tag) / FDecim;
                FDecim *= 10;
            } else {
                v = v * 10 + tag;
            }
            SetFloatValue(v);
        }
    } else {
        switch (tag) {
        case Plus: DoPlus(); break;
        case Minus: DoMinus(); break;
        case Multiply: DoMultiply(); break;
        case Divide: DoDivide(); break;
        case Sign: {
            QString t = Text();
            if (t.startsWith('-'))
                t.remove(0, 1);
            else
                t.prepend('-');
            SetText(t);
            break;
        }
        case Point:
            if (!Text().contains(ds)) SetText(Text() + ds);
            FDecim = 10;
            if (FNewval) SetText(QStringLiteral("0"));
            FNewval = false;
            break;
        case Clear:
        case Blank:
        case ClearEntry: ClearAll(); break;
        case Equals: DoEquals(); break;
        case Percent: DoPercent(); break;
        case Back:
            if (FPrevop == opNone) {
                QString t = FormatFloatText(FloatValue(), -1, false, fs);
                t.chop(1);
                SetText(t.isEmpty() ? QStringLiteral("0") : t);
            }
            break;
        case MemoryClear: FMVal = 0; break;
        case MemoryRecall: SetFloatValue(double(FMVal)); break;
        case MemoryStore: FMVal = ShownNumber(); break;
        case MemoryAdd: FMVal = FMVal + ShownNumber(); break;
        case Sqrt: {
            const double v = FloatValue();
            if (v >= 0)
                SetFloatValue(std::sqrt(v));
            else
                SetText(ErrorText);
            break;
        }
        case Reciprocal: {
            const double v = FloatValue();
            if (v != 0)
                SetFloatValue(1 / v);
            else
                SetText(ErrorText);
            break;
        }
        default: break;
        }
    }
    SetModifiedState(true);
}

// -- keys -------------------------------------------------------------------------------------

void TExtCalculatorDropdown::EditKeyPress(QChar& key, bool popupOpen)
{
    const FormatSettings& fs = SystemFormatSettings();
    const QChar ds = fs.DecimalSeparator;
    const ushort k = key.unicode();
    if (!popupOpen) {
        switch (k) {
        case 13:
        case '=': DoEquals(); break;
        case '%': DoPercent(); break;
        case '*': DoMultiply(); break;
        case '+': DoPlus(); break;
        case '-': DoMinus(); break;
        case '/': DoDivide(); break;
        case 'C':
        case 'c':
            SetText(QStringLiteral("0"));
            FNewval = true;
            FPrevop = opNone;
            break;
        default: break;
        }
    }
    const bool digit = k >= '0' && k <= '9';
    if (!digit && key != ds && k != 8 && k != '-') {
        key = QChar();
        return;
    }
    if (digit && (Text() == QStringLiteral("0") || FNewval)) {
        SetText(QString(key));
        setCursorPosition(int(Prefix().size()) + 1);
        FNewval = false;
        key = QChar();
        return;
    }
    if (k == 8 && Text().size() == 1) {
        SetText(QStringLiteral("0"));
        setCursorPosition(int(Prefix().size()) + 1);
        key = QChar();
        return;
    }
    if (key == ds && Text().contains(ds)) {
        key = QChar();
        return;
    }
    TExtCustomDropDown::KeyPress(key);
}

void TExtCalculatorDropdown::KeyPress(QChar& key)
{
    const bool popupShowing = DropDownForm() && DropDownForm()->isVisible();
    EditKeyPress(key, popupShowing);
}

void TExtCalculatorDropdown::keyPressEvent(QKeyEvent* event)
{
    // Enter reaches the edit as a key, not as a typed character: it is the
    // typed "=" of a closed calculator.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & Qt::ControlModifier) && !(DropDownForm() && DropDownForm()->isVisible())) DoEquals();
    TExtCustomDropDown::keyPressEvent(event);
    if (event->key() == Qt::Key_Delete && (Text().isEmpty() || Text() == ErrorText)) SetText(QStringLiteral("0"));
}

void TExtCalculatorDropdown::focusInEvent(QFocusEvent* event)
{
    TExtCustomDropDown::focusInEvent(event);
    if (AutoSelect() && !(QApplication::mouseButtons() & Qt::LeftButton)) SelectAll();
}

void TExtCalculatorDropdown::DropDownFormKeyPress(QChar& key)
{
    const QChar typed = key;
    QChar c = key;
    EditKeyPress(c, true);
    if (!c.isNull()) TExtCustomDropDown::DropDownFormKeyPress(c);
    PopupKeyPress(typed);
}

void TExtCalculatorDropdown::PopupKeyPress(QChar key)
{
    BeforeCalculatorAction();
    const QChar ds = SystemFormatSettings().DecimalSeparator;
    const ushort k = key.unicode();
    if (key == ds && !Text().contains(ds)) SetText(Text() + ds);
    const bool digit = k >= '0' && k <= '9';
    if (digit && AtMaxLength()) return;
    switch (k) {
    case 13:
        DoEquals();
        DoHideDropDown(false);
        break;
    case 27: DoHideDropDown(true); break;
    case '%': DoPercent(); break;
    case '*': DoMultiply(); break;
    case '+': DoPlus(); break;
    case '-': DoMinus(); break;
    case '/': DoDivide(); break;
    case '=': DoEquals(); break;
    case 'C':
    case 'c':
        ClearAll();
        FNewval = true;
        FDecim = 0;
        break;
    default:
        if (digit) FNewval = false;
        break;
    }
}

void TExtCalculatorDropdown::DropDownFormKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    // Enter and Escape come as keys, not characters: they take the
    // character steps of the open pop-up.
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        PopupKeyPress(QChar(key == Qt::Key_Escape ? 27 : 13));
        key = 0;
        return;
    }
    TExtCustomDropDown::DropDownFormKeyDown(key, shift);
    if (key == Qt::Key_Tab || key == Qt::Key_F4) {
        DoHideDropDown(false);
    } else if (key == Qt::Key_Backspace) {
        QString t = Text();
        t.chop(1);
        SetText(t.isEmpty() || t == ErrorText ? QStringLiteral("0") : t);
    }
}

// -- pop-up ---------------------------------------------------------------------------------

void TExtCalculatorDropdown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (!DropDownForm()) return;
    if (!FExtButtonPanel) {
        FExtButtonPanel = new TCustomButtonPanel(DropDownForm());
        FExtButtonPanel->SetExtDropDown(this);
        FExtButtonPanel->resize(std::max(DropDownWidth(), 1), 150);
        FExtButtonPanel->BuildButtons();
    }
    SetControl(FExtButtonPanel);
    FExtButtonPanel->OnButtonClick = [this](TCustomButtonPanel* sender, int index) { KeypadButtonClick(sender, index); };
}

void TExtCalculatorDropdown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    if (TDropDownForm* form = DropDownForm()) form->FCancelOnDeActivate = false;
    FTextAtOpening = Text();
    if (FExtButtonPanel) {
        FExtButtonPanel->SetButtonAppearance(*FCalcButtonAppearance);
        FExtButtonPanel->SetColor(DropDownColor());
        FExtButtonPanel->LayoutButtons();
    }
    FNewval = true;
    FDecim = 0;
    FCalcClosed = false;
}

void TExtCalculatorDropdown::DoHideDropDown(bool cancel)
{
    const bool open = DropDownForm() && DropDownForm()->isVisible();
    TExtCustomDropDown::DoHideDropDown(cancel);
    // A cancel gives back the text the pop-up opened with.
    if (open && cancel) SetText(FTextAtOpening);
}
