#include "controls/PbButton.h"

#include "platform/Application.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QTimer>
#include <cmath>

namespace {
constexpr TColor kMagenta = RGBColor(255, 0, 255);
constexpr TColor kGrayText = RGBColor(128, 128, 128);
constexpr int kFadeSteps = 8;
constexpr int kFadeIntervalMs = 30;

bool IsEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }
bool IsClickKey(int key) { return IsEnterKey(key) || key == Qt::Key_Space; }

// Inverts every other pixel along the border of r: the dotted focus frame.
void DrawFocusFrame(QImage& img, const TRect& r)
{
    auto flip = [&](int x, int y) {
        if (!img.valid(x, y) || ((x + y) & 1)) return;
        const QRgb p = img.pixel(x, y);
        img.setPixel(x, y, qRgba(255 - qRed(p), 255 - qGreen(p), 255 - qBlue(p), 255));
    };
    if (r.IsEmpty()) return;
    for (int x = r.Left; x < r.Right; ++x) {
        flip(x, r.Top);
        if (r.Bottom - 1 != r.Top) flip(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        flip(r.Left, y);
        if (r.Right - 1 != r.Left) flip(r.Right - 1, y);
    }
}

// Draws the cell at `offset` of a glyph strip transparently: the strip is
// cut to one cell, the strip drawn into it shifted left by the offset (a
// cell beyond the strip leaves the first cell), and the cell's bottom-left
// pixel is the transparent colour.
void PbDrawGlyphTransparent(TCanvas& canvas, const QImage& strip, int gw, int gh, int offset, int x, int y)
{
    if (gw <= 0 || gh <= 0 || strip.isNull()) return;
    QImage cell = strip.copy(0, 0, gw, gh).convertToFormat(QImage::Format_ARGB32);
    if (offset > 0 && offset + gw <= strip.width()) {
        QPainter p(&cell);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(-offset, 0), strip);
    }
    const TColor key = QColorToColor(QColor::fromRgb(cell.pixel(0, gh - 1)));
    canvas.DrawTransparent(x, y, cell, key);
}

QImage MakeKindGlyph(const std::function<void(QPainter&, const QColor&)>& draw, const QColor& color)
{
    QImage img(32, 16, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw(p, color);
    p.translate(16, 0);
    draw(p, QColor(128, 128, 128));
    return img;
}
} // namespace

bool GetPbColorStyleColors(TPbColorStyle style, TPbColorStyleColors& c)
{
    const TColor black = clBlack, white = clWhite;
    switch (style) {
    case lcsCustom: return false;
    case lcsGold: c = {RGBColor(192, 192, 0), RGBColor(255, 255, 0), RGBColor(128, 128, 0), clNone, RGBColor(223, 223, 0), false, black, bsModern}; break;
    case lcsChrome: c = {RGBColor(192, 192, 192), white, RGBColor(128, 128, 128), clNone, clNone, false, black, bsModern}; break;
    case lcsBlue: c = {RGBColor(0, 128, 255), RGBColor(0, 255, 255), RGBColor(0, 0, 255), clNone, clNone, false, black, bsModern}; break;
    case lcsRed: c = {RGBColor(255, 0, 0), RGBColor(255, 192, 192), RGBColor(192, 0, 0), clNone, clNone, false, black, bsModern}; break;
    case lcsUltraFlat1:
        c = {clBtnFace, RGBColor(132, 146, 181), RGBColor(132, 146, 181), RGBColor(132, 146, 181), RGBColor(214, 211, 222), true, black, bsNormal};
        break;
    case lcsUltraFlat2: c = {clBtnFace, black, black, RGBColor(188, 218, 36), RGBColor(228, 246, 140), true, black, bsNormal}; break;
    case lcsUltraFlatXP:
        c = {RGBColor(219, 216, 209), RGBColor(132, 146, 181), RGBColor(133, 146, 181), RGBColor(133, 146, 181), RGBColor(182, 189, 210), true, black,
             bsNormal};
        break;
    case lcsAqua: c = {RGBColor(148, 206, 236), RGBColor(212, 230, 252), black, clNone, clNone, false, black, bsModern}; break;
    case lcsDefault: c = {clBtnFace, white, RGBColor(128, 128, 128), clNone, clNone, false, black, bsNormal}; break;
    case lcsQuicken:
        c = {RGBColor(0, 48, 96), RGBColor(192, 192, 192), RGBColor(192, 192, 192), RGBColor(41, 101, 173), RGBColor(156, 174, 206), false, white, bsQuicken};
        break;
    }
    return true;
}

TColor PbBlendFadeColor(TColor color, TColor hotColor, int step)
{
    const TColor c = ColorToRGB(color), h = ColorToRGB(hotColor);
    const double w = step / double(kFadeSteps);
    auto mix = [&](int a, int b) { return int(std::trunc(a * (1.0 - w) + b * w)); };
    return RGBColor(mix(GetRValue(c), GetRValue(h)), mix(GetGValue(c), GetGValue(h)), mix(GetBValue(c), GetBValue(h)));
}

std::vector<TPbBand> PbGradientBands(TColor from, TColor to, int top, int bottom)
{
    const TColor f = ColorToRGB(from), t = ColorToRGB(to);
    const double sr = (GetRValue(t) - GetRValue(f)) / 31.0, sg = (GetGValue(t) - GetGValue(f)) / 31.0,
                 sb = (GetBValue(t) - GetBValue(f)) / 31.0;
    const int span = bottom - top;
    std::vector<TPbBand> bands;
    for (int i = 0; i <= 31; ++i) {
        const TColor c = RGBColor(int(std::trunc(GetRValue(f) + i * sr)), int(std::trunc(GetGValue(f) + i * sg)), int(std::trunc(GetBValue(f) + i * sb)));
        const int bt = top + i * span / 31;
        int bb = bt + span / 31 + 1;
        if (bb > bottom) bb = bottom;
        bands.push_back({c, bt, bb});
    }
    return bands;
}

void PbGradientFill(TCanvas& canvas, TColor from, TColor to, int left, int top, int right, int bottom)
{
    const TColor keepColor = canvas.BrushColor();
    const TBrushStyle keepStyle = canvas.BrushStyle();
    canvas.SetBrushStyle(TBrushStyle::Solid);
    for (const TPbBand& b : PbGradientBands(from, to, top, bottom)) {
        canvas.SetBrushColor(b.Color);
        canvas.FillRect(Rect(left, b.Top, right, b.Bottom));
    }
    canvas.SetBrushColor(keepColor);
    canvas.SetBrushStyle(keepStyle);
}

int PbAvailWidth(const TPbLayoutInput& in)
{
    int avail = in.W - 8;
    if ((in.Layout == blGlyphLeft || in.Layout == blGlyphRight) && in.Style != bsShape && in.GlyphW > 0) avail -= in.GlyphW + 4;
    return std::max(avail, 0);
}

TPbLayout PbLayoutFace(const TPbLayoutInput& in)
{
    const int W = in.W, H = in.H, gw = in.GlyphW, gh = in.GlyphH, th = in.TextH, tw = in.TextW, shift = in.Shift;
    const int avail = PbAvailWidth(in);
    TPbLayout out;
    if (in.Style == bsShape) {
        out.Glyph = QPoint((W - gw) / 2, (H - gh) / 2);
        out.Caption = Rect(shift, (H - th) / 2 + shift, W, H);
        return out;
    }
    int capLeft = shift + 4, capTop = 0, glyphLeft = 0, glyphTop = 0;
    if (in.Layout == blGlyphLeft || in.Layout == blGlyphRight) {
        capTop = (H - th) / 2 + shift;
        glyphTop = (H - gh) / 2 + shift;
        const int t = in.CaptionEmpty ? 0 : tw + 4;
        if (in.Layout == blGlyphLeft) {
            if (gw > 0) capLeft += gw + 4;
            glyphLeft = shift + 4;
            if (!in.WordWrap) {
                if (in.Alignment == taRightJustify) glyphLeft = W - 4 - gw - t + shift;
                else if (in.Alignment == taCenter) glyphLeft = (W - gw) / 2 + shift - t / 2;
            }
        } else {
            glyphLeft = capLeft + t;
            if (!in.WordWrap) {
                if (in.Alignment == taRightJustify) glyphLeft = W - 4 + shift - gw;
                else if (in.Alignment == taCenter) glyphLeft = (W - gw) / 2 + shift + t / 2;
            }
        }
    } else {
        const int block = th + (gh > 0 ? gh + 4 : 0);
        if (in.Layout == blGlyphTop) {
            glyphTop = (H - block) / 2 + shift;
            capTop = (H - block) / 2 + gh + shift;
        } else {
            capTop = (H - block) / 2 + shift;
            glyphTop = (H - block) / 2 + th + shift;
        }
        if (in.Alignment == taLeftJustify) glyphLeft = shift + 4;
        else if (in.Alignment == taRightJustify) glyphLeft = W - gw - 4 + shift;
        else glyphLeft = (W - gw) / 2 + shift;
    }
    out.Glyph = QPoint(glyphLeft, glyphTop);
    out.Caption = Rect(capLeft, capTop, capLeft + avail, capTop + th);
    return out;
}

QString PbCutCaption(const QString& caption, int avail, const std::function<int(const QString&)>& width)
{
    QString s = caption;
    avail = std::max(avail, 0);
    while (!s.isEmpty() && width(s) > avail) s.chop(1);
    return s;
}

QImage PbResourceBitmap(const QString& name)
{
    auto cross = [](QPainter& p, const QColor& c) {
        p.setPen(QPen(c, 2));
        p.drawLine(4, 4, 11, 11);
        p.drawLine(11, 4, 4, 11);
    };
    auto check = [](QPainter& p, const QColor& c) {
        p.setPen(QPen(c, 2));
        p.drawLine(3, 8, 6, 11);
        p.drawLine(6, 11, 12, 4);
    };
    auto letter = [](const QString& s) {
        return [s](QPainter& p, const QColor& c) {
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setPixelSize(12);
            f.setBold(true);
            p.setFont(f);
            p.setPen(c);
            p.drawText(QRect(0, 0, 16, 15), Qt::AlignCenter, s);
        };
    };
    auto noEntry = [](QPainter& p, const QColor& c) {
        p.setPen(QPen(c, 2));
        p.drawEllipse(QRect(3, 3, 10, 10));
        p.drawLine(5, 11, 11, 5);
    };
    auto retry = [](QPainter& p, const QColor& c) {
        p.setPen(QPen(c, 2));
        p.drawArc(QRect(3, 3, 10, 10), 90 * 16, 270 * 16);
        p.setBrush(c);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygon({QPoint(8, 1), QPoint(12, 4), QPoint(8, 7)}));
    };
    auto door = [](QPainter& p, const QColor& c) {
        p.setPen(QPen(c, 1));
        p.drawRect(QRect(4, 2, 8, 12));
        p.drawLine(10, 8, 10, 9);
    };
    auto all = [](QPainter& p, const QColor& c) {
        p.setPen(QPen(c, 2));
        for (int dx : {0, 4}) {
            p.drawLine(1 + dx, 8, 3 + dx, 11);
            p.drawLine(3 + dx, 11, 8 + dx, 4);
        }
    };
    if (name == QLatin1String("LBOK")) return MakeKindGlyph(check, QColor(0, 128, 0));
    if (name == QLatin1String("LBCANCEL")) return MakeKindGlyph(cross, QColor(192, 0, 0));
    if (name == QLatin1String("LBHELP")) return MakeKindGlyph(letter(QStringLiteral("?")), QColor(0, 0, 160));
    if (name == QLatin1String("LBYES")) return MakeKindGlyph(check, QColor(0, 128, 0));
    if (name == QLatin1String("LBNO")) return MakeKindGlyph(noEntry, QColor(192, 0, 0));
    if (name == QLatin1String("LBCLOSE")) return MakeKindGlyph(door, QColor(0, 96, 96));
    if (name == QLatin1String("LBABORT")) return MakeKindGlyph(cross, QColor(128, 0, 0));
    if (name == QLatin1String("LBRETRY")) return MakeKindGlyph(retry, QColor(0, 96, 0));
    if (name == QLatin1String("LBIGNORE")) return MakeKindGlyph(letter(QStringLiteral("!")), QColor(128, 96, 0));
    if (name == QLatin1String("LBALL")) return MakeKindGlyph(all, QColor(0, 128, 0));
    if (name == QLatin1String("LBARROW")) {
        QImage img(7, 5, QImage::Format_RGB32);
        img.fill(QColor(255, 0, 255));
        for (int row = 0; row < 4; ++row)
            for (int x = row; x < 7 - row; ++x) img.setPixel(x, row, qRgb(0, 0, 0));
        return img;
    }
    return QImage();
}

// ---------------------------------------------------------------------------

TPbButton::TPbButton(QWidget* parent) : QWidget(parent)
{
    resize(100, 23);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    m_htFont = font();
    if (auto* form = qobject_cast<TForm*>(parent)) m_htFont = form->font();
    // The fade timer exists from the start, idle until a mouse leave with
    // SlowDecease wakes it.
    m_fade = std::make_unique<QTimer>();
    m_fade->setInterval(kFadeIntervalMs);
    QObject::connect(m_fade.get(), &QTimer::timeout, this, [this] { FadeStep(); });
}

TPbButton::~TPbButton()
{
    m_destroying = true;
    if (m_fade) m_fade->stop();
    m_fade.reset();
    if (m_filteredWindow) m_filteredWindow->removeEventFilter(this);
}

void TPbButton::ApplyProgramLook(TColor hotTrackColor, TColor colorWhenDown, TPbButtonStyle style)
{
    SetColor(RGBColor(248, 247, 237));
    SetParentColor(false);
    SetLightColor(RGBColor(128, 128, 128));
    SetUseHotTrackFont(false);
    SetColorWhenDown(colorWhenDown);
    SetHotTrackColor(hotTrackColor);
    SetStyle(style);
}

void TPbButton::SetAlignment(TAlignment a)
{
    m_alignment = a;
    Repaint();
}

void TPbButton::SetCancel(bool on)
{
    m_cancel = on;
    UpdateDialogKeyFilter();
}

void TPbButton::SetDefault(bool on)
{
    m_default = on;
    UpdateDialogKeyFilter();
}

void TPbButton::SetCaption(const QString& caption)
{
    if (caption == m_caption) return;
    m_caption = caption;
    setAccessibleName(caption);
    UpdateShortcut();
    update();
}

TColor TPbButton::Color() const
{
    if (m_parentColor && parentWidget()) return QColorToColor(parentWidget()->palette().color(parentWidget()->backgroundRole()));
    return m_color;
}

void TPbButton::SetColor(TColor c)
{
    m_color = c;
    m_parentColor = false;
    update();
}

void TPbButton::SetParentColor(bool on)
{
    m_parentColor = on;
    update();
}

void TPbButton::SetColorStyle(TPbColorStyle style)
{
    TPbColorStyleColors c;
    if (!GetPbColorStyleColors(style, c)) return;
    SetColor(c.Color);
    m_lightColor = c.LightColor;
    m_shadowColor = c.ShadowColor;
    m_colorWhenDown = c.ColorWhenDown;
    m_hotTrackColor = c.HotTrackColor;
    m_flat = c.Flat;
    m_fontColor = c.FontColor;
    SetStyle(c.Style);
    Repaint();
}

void TPbButton::SetFlat(bool on)
{
    m_flat = on;
    Repaint();
}

void TPbButton::SetGlyph(const QImage& glyph)
{
    m_glyph = glyph.isNull() ? QImage() : glyph.convertToFormat(QImage::Format_RGB32);
    m_numGlyphs = m_glyph.height() > 0 ? m_glyph.width() / m_glyph.height() : 0;
    m_kind = bkCustom;
    update();
}

void TPbButton::SetHotTrackFont(const QFont& f, TColor color)
{
    m_htFont = f;
    m_htFontColor = color;
}

void TPbButton::SetKind(TPbButtonKind kind)
{
    struct Preset {
        int modalResult;
        const char* resource;
        const char* caption;
    };
    static const Preset presets[] = {
        {0, "", ""},
        {1, "LBOK", "OK"},
        {2, "LBCANCEL", "Abbrechen"},
        {0, "LBHELP", "Hilfe"},
        {6, "LBYES", "Ja"},
        {7, "LBNO", "Nein"},
        {0, "LBCLOSE", "Schlie\u00dfen"},
        {3, "LBABORT", "Abbrechen"},
        {4, "LBRETRY", "Wiederholen"},
        {5, "LBIGNORE", "Ignorieren"},
        {12, "LBALL", "Alle"},
    };
    if (kind != bkCustom) {
        const Preset& p = presets[kind];
        m_numGlyphs = 2;
        m_modalResult = p.modalResult;
        m_glyph = PbResourceBitmap(QString::fromLatin1(p.resource));
        SetCaption(QString::fromUtf8(p.caption));
    }
    m_kind = kind;
    update();
}

void TPbButton::SetLayout(TPbButtonLayout l)
{
    m_layout = l;
    Repaint();
}

void TPbButton::SetLightColor(TColor c)
{
    m_lightColor = c;
    Repaint();
}

void TPbButton::SetModalResult(int mr)
{
    m_modalResult = mr;
    m_kind = bkCustom;
}

void TPbButton::SetNumGlyphs(int n)
{
    m_numGlyphs = std::max(n, 0);
    update();
}

void TPbButton::SetShadowColor(TColor c)
{
    m_shadowColor = c;
    Repaint();
}

void TPbButton::SetSlowDecease(bool on)
{
    m_slowDecease = on;
    if (on) {
        if (!m_fade) {
            m_fade = std::make_unique<QTimer>();
            m_fade->setInterval(kFadeIntervalMs);
            QObject::connect(m_fade.get(), &QTimer::timeout, this, [this] { FadeStep(); });
        }
    } else if (m_fade) {
        m_hotTrackStep = 0;
        m_fade->stop();
        m_fade.reset();
    }
    update();
}

void TPbButton::SetStyle(TPbButtonStyle s)
{
    m_style = s;
    // The styles with rounded or shaped outlines let the parent show around them.
    setAttribute(Qt::WA_OpaquePaintEvent, !(s == bsModern || s == bsShape || s == bsQuicken));
    update();
}

void TPbButton::SetWordWrap(bool on)
{
    m_wordWrap = on;
    Repaint();
}

void TPbButton::SetFontColor(TColor c)
{
    m_fontColor = c;
    update();
}

void TPbButton::SetPopupMenu(QMenu* menu)
{
    m_popup = menu;
    update();
}

void TPbButton::SetAction(QAction* action)
{
    if (m_actionChanged) QObject::disconnect(m_actionChanged);
    m_action = action;
    if (action) {
        m_actionChanged = QObject::connect(action, &QAction::changed, this, [this] { ActionChanged(); });
        ActionChanged();
    }
}

void TPbButton::ActionChanged()
{
    if (!m_action) return;
    SetCaption(m_action->text());
    setEnabled(m_action->isEnabled());
    setVisible(m_action->isVisible());
    setToolTip(m_action->toolTip());
    GlyphFromImageList();
}

// The linked action's picture becomes the glyph while the button has none:
// one cell, drawn on magenta, which then counts as transparent.
void TPbButton::GlyphFromImageList()
{
    if (!m_action || !m_glyph.isNull() || m_action->icon().isNull()) return;
    const QList<QSize> sizes = m_action->icon().availableSizes();
    const QSize size = sizes.isEmpty() ? QSize(16, 16) : sizes.front();
    QImage img(size, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255));
    {
        QPainter p(&img);
        p.drawPixmap(0, 0, m_action->icon().pixmap(size, QIcon::Normal));
    }
    m_glyph = img;
    m_numGlyphs = 1;
    Repaint();
}

bool TPbButton::HasFadeWorker() const { return m_fade != nullptr; }

bool TPbButton::FadeRunning() const { return m_fade && m_fade->isActive(); }

void TPbButton::FadeStep()
{
    if (m_destroying) return;
    --m_hotTrackStep;
    if (m_hotTrackStep <= 0) {
        if (m_fade) m_fade->stop();
        m_hotTrackStep = 0;
    }
    Repaint();
}

bool TPbButton::ParentShowing() const { return !parentWidget() || parentWidget()->isVisible(); }

void TPbButton::TakeFocus()
{
    if (focusPolicy() != Qt::NoFocus && !hasFocus()) setFocus(Qt::MouseFocusReason);
}

void TPbButton::Click()
{
    m_down = true;
    QPointer<TPbButton> self(this);
    DoButtonClick();
    if (self && m_action) m_action->trigger();
}

void TPbButton::DoButtonClick()
{
    if (!isVisible() || !isEnabled() || !m_down) return;
    m_down = false;
    QPointer<TPbButton> self(this);
    // A failing handler is shown here, where the click began, and abandons
    // the rest of the click (no modal result, no menu); it never unwinds
    // through the toolkit's own frames.
    if (OnClick && !Guard([&] { OnClick(this); })) return;
    if (!self) return;
    if (m_modalResult != 0) {
        if (auto* form = qobject_cast<TForm*>(window())) form->SetModalResult(m_modalResult);
    }
    if (!self) return;
    if (m_popup) m_popup->popup(mapToGlobal(QPoint(0, height())));
}

void TPbButton::ClickFromKeyboard()
{
    QPointer<TPbButton> self(this);
    m_down = true;
    TakeFocus();
    if (!self) return;
    Click();
    if (self) Repaint();
}

void TPbButton::UpdateShortcut()
{
    delete m_shortcut;
    m_shortcut = nullptr;
    const QKeySequence seq = QKeySequence::mnemonic(m_caption);
    if (seq.isEmpty()) return;
    m_shortcut = new QShortcut(seq, this);
    m_shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(m_shortcut, &QShortcut::activated, this, [this] {
        if (isVisible() && isEnabled() && ParentShowing()) ClickFromKeyboard();
    });
}

void TPbButton::UpdateDialogKeyFilter()
{
    QWidget* target = (m_default || m_cancel) && window() != this ? window() : nullptr;
    if (m_filteredWindow == target) return;
    if (m_filteredWindow) m_filteredWindow->removeEventFilter(this);
    m_filteredWindow = target;
    if (target) target->installEventFilter(this);
}

bool TPbButton::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_filteredWindow && e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        const bool enter = m_default && IsEnterKey(ke->key());
        const bool escape = m_cancel && ke->key() == Qt::Key_Escape && !(ke->modifiers() & Qt::ShiftModifier);
        if ((enter || escape) && isVisible() && isEnabled() && !ke->isAutoRepeat()) {
            // A focused push button (but not a radio button) takes the key itself.
            QWidget* focused = window()->focusWidget();
            if (focused) {
                const QString cls = QString::fromLatin1(focused->metaObject()->className()).toUpper();
                if (cls.contains(QLatin1String("BUTTON")) && !cls.contains(QLatin1String("RADIOBUTTON"))) return false;
            }
            ClickFromKeyboard();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

bool TPbButton::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        // Enter and Space belong to the focused button, not to shortcuts.
        auto* ke = static_cast<QKeyEvent*>(e);
        if (IsClickKey(ke->key()) && ke->modifiers() == Qt::NoModifier) {
            e->accept();
            return true;
        }
    } else if (e->type() == QEvent::ParentChange || e->type() == QEvent::Show) {
        UpdateDialogKeyFilter();
    }
    return QWidget::event(e);
}

void TPbButton::enterEvent(QEnterEvent* e)
{
    QWidget::enterEvent(e);
    if (!isEnabled() || !isVisible() || !ParentShowing()) return;
    m_cursorOn = true;
    m_hotTrackStep = kFadeSteps;
    if (m_fade) m_fade->stop();
    Repaint();
    if (OnMouseEnter) OnMouseEnter(this);
}

void TPbButton::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    m_cursorOn = false;
    if (m_slowDecease) {
        if (m_fade && !m_fade->isActive()) m_fade->start();
    } else {
        m_hotTrackStep = 0;
        Repaint();
    }
    if (isEnabled() && isVisible() && ParentShowing() && OnMouseExit) OnMouseExit(this);
}

void TPbButton::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    m_cursorOn = false;
    m_down = false;
    m_hotTrackStep = 0;
    if (m_fade) m_fade->stop();
}

void TPbButton::mousePressEvent(QMouseEvent* e)
{
    QWidget::mousePressEvent(e);
    if (e->button() != Qt::LeftButton || !isEnabled()) return;
    e->accept();
    m_down = true;
    QPointer<TPbButton> self(this);
    TakeFocus();
    if (self) Repaint();
}

void TPbButton::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
    e->accept();
    // The face comes up after the click, also when the click handler fails.
    struct RaiseFace {
        QPointer<TPbButton> button;
        ~RaiseFace()
        {
            if (!button) return;
            button->m_down = false;
            button->Repaint();
        }
    } raise{this};
    if (m_down) Click();
}

void TPbButton::keyPressEvent(QKeyEvent* e)
{
    if (!IsClickKey(e->key()) || e->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(e);
        return;
    }
    e->accept();
    if (e->isAutoRepeat() || !isEnabled()) return;
    m_keyDown = e->key();
    m_down = true;
    Repaint();
}

void TPbButton::keyReleaseEvent(QKeyEvent* e)
{
    if (!IsClickKey(e->key())) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    e->accept();
    if (e->isAutoRepeat()) return;
    // Only a key whose press this button saw clicks it.
    if (m_keyDown != e->key()) return;
    m_keyDown = 0;
    QPointer<TPbButton> self(this);
    Click();
    if (self) Repaint();
}

void TPbButton::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    Repaint();
}

void TPbButton::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    if (m_keyDown) {
        // The key went down here but will come up elsewhere: no click.
        m_keyDown = 0;
        m_down = false;
    }
    Repaint();
}

void TPbButton::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        m_down = false;
        m_keyDown = 0;
        if (!isEnabled()) {
            m_cursorOn = false;
            m_hotTrackStep = 0;
        }
        Repaint();
    } else if (e->type() == QEvent::FontChange) {
        update();
    }
}

// ---------------------------------------------------------------------------
// Painting

void TPbButton::DrawFace(TCanvas& canvas, int W, int H, TColor light) const
{
    const bool enabled = isEnabled();
    const bool pressed = m_down && enabled; // a disabled button is never drawn pressed
    const bool hot = IsHot();
    const int shift = (pressed && m_style != bsEncarta) ? 1 : 0;

    TColor face = Color();
    if (enabled && m_hotTrackColor != clNone) face = PbBlendFadeColor(face, m_hotTrackColor, m_hotTrackStep);
    if (pressed && m_colorWhenDown != clNone) face = m_colorWhenDown;

    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    switch (m_style) {
    case bsShape:
        canvas.SetBrushColor(kMagenta);
        canvas.FillRect(Rect(-1, -1, W + 1, H + 1));
        break;
    case bsNormal:
    case bsEncarta:
    case bsOld:
        canvas.SetBrushColor(face);
        canvas.FillRect(Rect(-1, -1, W + 1, H + 1));
        break;
    case bsModern:
        PbGradientFill(canvas, m_lightColor, face, 2, 2, W - 2, H / 4 + shift);
        PbGradientFill(canvas, face, m_lightColor, 2, H / 4 + shift, W - 2, H - 1);
        break;
    case bsQuicken: break;
    }

    canvas.SetBrushStyle(TBrushStyle::Clear);
    const TColor shadow = m_shadowColor;
    const bool outline = (enabled && (!m_flat || hot || pressed)) || (!enabled && !m_flat);
    switch (m_style) {
    case bsNormal:
    case bsEncarta:
        if (!outline) break;
        canvas.SetPenColor(pressed ? shadow : light);
        canvas.MoveTo(0, H - 1);
        canvas.LineTo(0, 0);
        canvas.LineTo(W - 1, 0);
        canvas.SetPenColor(pressed ? light : shadow);
        canvas.LineTo(W - 1, H - 1);
        canvas.LineTo(0, H - 1);
        break;
    case bsOld:
        if (!outline) break;
        canvas.SetPenColor(shadow);
        if (!pressed) {
            canvas.MoveTo(W - 2, 0);
            canvas.LineTo(W - 2, H - 2);
            canvas.LineTo(0, H - 2);
        } else {
            canvas.MoveTo(1, H - 3);
            canvas.LineTo(1, 1);
            canvas.LineTo(W - 2, 1);
        }
        canvas.SetPenColor(pressed ? cl3DDkShadow : light);
        canvas.MoveTo(0, H - 1);
        canvas.LineTo(0, 0);
        canvas.LineTo(W - 1, 0);
        canvas.SetPenColor(pressed ? light : cl3DDkShadow);
        canvas.LineTo(W - 1, H - 1);
        canvas.LineTo(-1, H - 1);
        break;
    case bsModern:
        canvas.SetPenColor(pressed ? shadow : face);
        canvas.Rectangle(Rect(1, 1, W - 1, H - 1));
        canvas.SetPenColor(shadow);
        canvas.RoundRect(Rect(0, 0, W, H), 6, 6);
        break;
    case bsQuicken:
        canvas.SetPenStyle(TPenStyle::Clear);
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(face);
        canvas.RoundRect(Rect(0, 1, W, H), 4, 4);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(shadow);
        canvas.MoveTo(4, 0);
        canvas.LineTo(W - 5, 0);
        canvas.MoveTo(4, H - 1);
        canvas.LineTo(W - 5, H - 1);
        break;
    case bsShape: break;
    }

    // Font: the hot-track font replaces the button's own while hot.
    const bool useHot = hot && m_useHTFont;
    QFont f = useHot ? m_htFont : font();
    if (m_style == bsEncarta && pressed) f.setBold(true);
    // Smoothed text on the colour-keyed background would leave magenta fringes.
    if (m_style == bsShape) f.setStyleStrategy(QFont::NoAntialias);
    canvas.SetFont(f);
    canvas.SetFontColor(useHot ? m_htFontColor : m_fontColor);
    canvas.SetBkMode(TBkMode::Transparent);

    // Glyph cell.
    const int gh = m_glyph.height();
    const int gw = m_numGlyphs > 0 ? m_glyph.width() / m_numGlyphs : 0;
    int offset = 0;
    if (!enabled) offset = gw;
    else if (pressed && m_numGlyphs > 2) offset = 2 * gw;
    else if (hot && m_numGlyphs > 3) offset = 3 * gw;

    unsigned format = tfWordBreak;
    if (m_alignment == taRightJustify) format |= tfRight;
    else if (m_alignment == taCenter) format |= tfCenter;

    TPbLayoutInput in;
    in.W = W;
    in.H = H;
    in.Style = m_style;
    in.Layout = m_layout;
    in.Alignment = m_alignment;
    in.WordWrap = m_wordWrap;
    in.Shift = shift;
    in.GlyphW = gw;
    in.GlyphH = gh;
    const int avail = PbAvailWidth(in);
    QString caption = m_caption;
    if (!m_wordWrap) caption = PbCutCaption(caption, avail, [&](const QString& s) { return canvas.TextWidth(s); });
    if (m_style == bsShape) format = tfWordBreak | tfCenter;
    TRect measure = Rect(0, 0, avail, 0);
    canvas.DrawText(caption, measure, format | tfCalcRect);
    in.TextW = measure.Width();
    in.TextH = measure.Height();
    in.CaptionEmpty = caption.isEmpty();
    const TPbLayout lay = PbLayoutFace(in);

    if (!enabled && m_style != bsShape) canvas.SetFontColor(kGrayText);
    TRect capRect = lay.Caption;
    canvas.DrawText(caption, capRect, format);
    PbDrawGlyphTransparent(canvas, m_glyph, gw, gh, offset, lay.Glyph.x(), lay.Glyph.y());

    if (m_popup) {
        const QImage arrow = PbResourceBitmap(QStringLiteral("LBARROW"));
        canvas.DrawTransparent(W - 11, H / 2 - 1, arrow, QColorToColor(QColor::fromRgb(arrow.pixel(0, arrow.height() - 1))));
    }
}

QImage TPbButton::Render() const
{
    const int W = width(), H = height();
    QImage img(std::max(W, 1), std::max(H, 1), QImage::Format_ARGB32);
    const bool transparent = m_style == bsModern || m_style == bsShape || m_style == bsQuicken;
    img.fill(transparent ? QColor(255, 0, 255) : ColorToQColor(Color()));
    const bool pressed = m_down && isEnabled();
    {
        TCanvas canvas(&img);
        if (m_style == bsOld && hasFocus()) {
            QImage inner(std::max(W - 2, 1), std::max(H - 2, 1), QImage::Format_ARGB32);
            inner.fill(ColorToQColor(Color()));
            {
                TCanvas ic(&inner);
                DrawFace(ic, W - 2, H - 2, pressed ? m_shadowColor : m_lightColor);
            }
            canvas.Draw(1, 1, inner);
            canvas.SetBrushStyle(TBrushStyle::Solid);
            canvas.SetBrushColor(clBlack);
            canvas.FrameRect(Rect(0, 0, W, H));
        } else {
            DrawFace(canvas, W, H, m_lightColor);
        }
    }
    if (transparent) {
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if ((line[x] & 0xFFFFFF) == 0xFF00FF) line[x] = 0;
        }
    }
    if (hasFocus() && isEnabled() && m_style != bsShape) DrawFocusFrame(img, Rect(4, 4, W - 4, H - 4));
    return img;
}

void TPbButton::paintEvent(QPaintEvent*)
{
    if (!isVisible() || m_destroying) return;
    QPainter p(this);
    p.drawImage(QPoint(0, 0), Render());
}
