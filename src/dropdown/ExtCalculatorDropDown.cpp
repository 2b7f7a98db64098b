#include "dropdown/ExtCalculatorDropDown.h"

#include "controls/ExtDropDownDraw.h"
#include "controls/ExtUtilDraw.h"
#include "platform/ImageList.h"
#include "platform/SysUtils.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

// ---- Number format -----------------------------------------------------------

QChar ThousandSeparatorChar() { return SystemFormatSettings().ThousandSeparator; }
QChar DecimalSeparatorChar() { return SystemFormatSettings().DecimalSeparator; }

QString StripThousandSeparators(const QString& text)
{
    QString s = text;
    s.remove(ThousandSeparatorChar());
    return s;
}

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
