#include "controls/ExtObj.h"

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QApplication>
#include <cmath>

// ---------------------------------------------------------------------------
// TIntList

static void CheckIndex(int index, int count)
{
    if (index < 0 || index >= count) throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
}

int32_t TIntList::Items(int index) const
{
    CheckIndex(index, Count());
    return m_items[size_t(index)];
}

void TIntList::Changed()
{
    if (OnChange) OnChange(this, FCol, FRow);
}

void TIntList::SetItems(int index, int32_t value)
{
    CheckIndex(index, Count());
    m_items[size_t(index)] = value;
    Changed();
}

void TIntList::Add(int32_t value)
{
    m_items.push_back(value);
    Changed();
}

void TIntList::Insert(int index, int32_t value)
{
    if (index < 0 || index > Count()) throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
    m_items.insert(m_items.begin() + index, value);
}

void TIntList::Delete(int index)
{
    CheckIndex(index, Count());
    m_items.erase(m_items.begin() + index);
    Changed();
}

void TIntList::DeleteValue(int32_t value)
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[size_t(i)] == value) {
            Delete(i);
            return;
        }
}

bool TIntList::HasValue(int32_t value) const
{
    return std::find(m_items.begin(), m_items.end(), value) != m_items.end();
}

QString TIntList::StrValue() const
{
    QStringList parts;
    for (int32_t v : m_items) parts << QString::number(v);
    return parts.join(QLatin1Char(','));
}

// Splits a comma text: items end at commas and at blanks outside double
// quotes; a quoted item keeps its blanks and takes "" for one quote.
static QStringList SplitCommaText(const QString& s)
{
    QStringList out;
    int i = 0;
    const int n = s.size();
    auto skipBlanks = [&] {
        while (i < n && s[i] <= QLatin1Char(' ')) ++i;
    };
    skipBlanks();
    while (i < n) {
        QString item;
        if (s[i] == QLatin1Char('"')) {
            ++i;
            while (i < n) {
                if (s[i] == QLatin1Char('"')) {
                    if (i + 1 < n && s[i + 1] == QLatin1Char('"')) {
                        item += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += s[i++];
            }
            while (i < n && s[i] > QLatin1Char(' ') && s[i] != QLatin1Char(',')) item += s[i++];
        } else {
            while (i < n && s[i] > QLatin1Char(' ') && s[i] != QLatin1Char(',')) item += s[i++];
        }
        out << item;
        skipBlanks();
        if (i < n && s[i] == QLatin1Char(',')) {
            ++i;
            skipBlanks();
            if (i >= n) out << QString();
        }
    }
    return out;
}

void TIntList::SetStrValue(const QString& s)
{
    std::vector<int32_t> values;
    for (const QString& item : SplitCommaText(s)) values.push_back(StrToInt(item));
    m_items.clear();
    for (int32_t v : values) Add(v);
}

// ---------------------------------------------------------------------------
// TSortIndexList

static constexpr uint32_t kDescending = 0x80000000u;
static constexpr uint32_t kColumnBits = 0x7FFFFFFFu;

void TSortIndexList::AddIndex(int columnIndex, bool ascending)
{
    uint32_t v = uint32_t(columnIndex) & kColumnBits;
    if (!ascending) v |= kDescending;
    Add(int32_t(v));
}

int TSortIndexList::FindIndex(int columnIndex) const
{
    for (int i = 0; i < Count(); ++i)
        if ((uint32_t(m_items[size_t(i)]) & kColumnBits) == (uint32_t(columnIndex) & kColumnBits)) return i;
    return -1;
}

void TSortIndexList::ToggleIndex(int columnIndex)
{
    const int i = FindIndex(columnIndex);
    if (i >= 0) SetItems(i, int32_t(uint32_t(m_items[size_t(i)]) ^ kDescending));
}

int TSortIndexList::SortColumns(int i) const
{
    return int(uint32_t(Items(i)) & kColumnBits);
}

void TSortIndexList::SetSortColumns(int i, int column)
{
    SetItems(i, int32_t((uint32_t(Items(i)) & kDescending) | (uint32_t(column) & kColumnBits)));
}

bool TSortIndexList::SortDirections(int i) const
{
    return (uint32_t(Items(i)) & kDescending) == 0;
}

void TSortIndexList::SetSortDirections(int i, bool ascending)
{
    const uint32_t v = uint32_t(Items(i));
    SetItems(i, int32_t(ascending ? v & kColumnBits : v | kDescending));
}

QString TSortIndexList::SaveToString() const
{
    QStringList parts;
    for (int32_t e : m_items) {
        const uint32_t v = uint32_t(e);
        parts << QString((v & kDescending) ? QStringLiteral("d") : QStringLiteral("u")) +
                     QString::number(v & kColumnBits);
    }
    return parts.join(QLatin1Char(';'));
}

void TSortIndexList::LoadFromString(const QString& s)
{
    std::vector<std::pair<int, bool>> keys;
    for (const QString& item : s.split(QLatin1Char(';'))) {
        if (item.size() < 2) continue;
        bool ok = false;
        const int col = item.mid(1).toInt(&ok, 10);
        if (!ok || col < 0) throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(item.mid(1)));
        keys.emplace_back(col, item[0] == QLatin1Char('u'));
    }
    Clear();
    for (const auto& [col, asc] : keys) AddIndex(col, asc);
}

// ---------------------------------------------------------------------------
// TControlList

void TControlList::AddControl(int x, int y, QWidget* control)
{
    auto item = std::make_unique<TControlItem>();
    item->X = x;
    item->Y = y;
    item->Control = control;
    m_items.push_back(std::move(item));
}

int TControlList::ControlIndex(int x, int y) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->X == x && m_items[i]->Y == y) return int(i);
    return -1;
}

const TControlItem& TControlList::Control(int i) const
{
    CheckIndex(i, Count());
    return *m_items[size_t(i)];
}

TControlItem& TControlList::Control(int i)
{
    CheckIndex(i, Count());
    return *m_items[size_t(i)];
}

void TControlList::RemoveControl(int i)
{
    CheckIndex(i, Count());
    m_items.erase(m_items.begin() + i);
}

bool TControlList::HasHandle(const QWidget* window) const
{
    if (!window) return false;
    for (const auto& item : m_items)
        if (item->Control && item->Control.data() == window) return true;
    return false;
}

// ---------------------------------------------------------------------------
// TFileStringList, TFilePicture

void TFileStringList::LoadFromFile(const QString& path)
{
    Lines = ReadTextLines(path);
    Reset();
}

void TFileStringList::Reset()
{
    fp = 0;
    cache.clear();
}

void TFileStringList::ReadLn(QString& s)
{
    s = fp < Lines.size() ? Lines[fp] : QString();
    ++fp;
}

void TFileStringList::WriteLn(const QString& s)
{
    Lines << cache + s;
    cache.clear();
}

void TFilePicture::SetFilename(const QString& name)
{
    FFilename = name;
    QImage img;
    if (!name.isEmpty() && img.load(name)) {
        FWidth = img.width();
        FHeight = img.height();
    } else {
        FWidth = 0;
        FHeight = 0;
    }
}

void TFilePicture::DrawPicture(TCanvas& canvas, const TRect& r) const
{
    if (FFilename.isEmpty()) return;
    QImage img;
    if (!img.load(FFilename)) return;
    canvas.StretchDraw(r, img);
}

void TFilePicture::Assign(const TFilePicture& src)
{
    FFilename = src.FFilename;
    FWidth = src.FWidth;
    FHeight = src.FHeight;
}

// ---------------------------------------------------------------------------
// TSearchFooter

TSearchFooter::TSearchFooter(bool initDesign)
{
    if (initDesign) {
        FFindNextCaption = QStringLiteral("Find &next");
        FFindPrevCaption = QStringLiteral("Find &previous");
        FHighLightCaption = QStringLiteral("Highlight");
        FHintClose = QStringLiteral("Close");
        FHintFindNext = QStringLiteral("Find next occurrence");
        FHintFindPrev = QStringLiteral("Find previous occurrence");
        FHintHighlight = QStringLiteral("Highlight occurrences");
        FMatchCaseCaption = QStringLiteral("Match case");
    }
}

void TSearchFooter::Changed()
{
    if (OnChange) OnChange(this);
}

void TSearchFooter::SetText(QString& field, const QString& v)
{
    field = v;
    Changed();
}

void TSearchFooter::SetFlag(bool& field, bool v)
{
    if (field == v) return;
    field = v;
    Changed();
}

void TSearchFooter::SetColor(TColor v)
{
    FColor = v;
    Changed();
}
void TSearchFooter::SetColorTo(TColor v)
{
    FColorTo = v;
    Changed();
}
void TSearchFooter::SetFont(const QFont& v)
{
    FFont = v;
    Changed();
}
void TSearchFooter::SetAutoThemeAdapt(bool v)
{
    FAutoThemeAdapt = v;
    Changed();
}
void TSearchFooter::SetFindNextCaption(const QString& v) { SetText(FFindNextCaption, v); }
void TSearchFooter::SetFindPrevCaption(const QString& v) { SetText(FFindPrevCaption, v); }
void TSearchFooter::SetHighLightCaption(const QString& v) { SetText(FHighLightCaption, v); }
void TSearchFooter::SetHintClose(const QString& v) { SetText(FHintClose, v); }
void TSearchFooter::SetHintFindNext(const QString& v) { SetText(FHintFindNext, v); }
void TSearchFooter::SetHintFindPrev(const QString& v) { SetText(FHintFindPrev, v); }
void TSearchFooter::SetHintHighlight(const QString& v) { SetText(FHintHighlight, v); }
void TSearchFooter::SetMatchCaseCaption(const QString& v) { SetText(FMatchCaseCaption, v); }
void TSearchFooter::SetShowClose(bool v)
{
    FShowClose = v;
    Changed();
}
void TSearchFooter::SetShowFindNext(bool v) { SetFlag(FShowFindNext, v); }
void TSearchFooter::SetShowFindPrev(bool v) { SetFlag(FShowFindPrev, v); }
void TSearchFooter::SetShowHighLight(bool v) { SetFlag(FShowHighLight, v); }
void TSearchFooter::SetShowMatchCase(bool v) { SetFlag(FShowMatchCase, v); }
void TSearchFooter::SetVisible(bool v) { SetFlag(FVisible, v); }

void TSearchFooter::Assign(const TSearchFooter& s)
{
    FAlwaysHighLight = s.FAlwaysHighLight;
    FColor = s.FColor;
    FColorTo = s.FColorTo;
    FFindNextCaption = s.FFindNextCaption;
    FFindPrevCaption = s.FFindPrevCaption;
    FHighLightCaption = s.FHighLightCaption;
    FMatchCaseCaption = s.FMatchCaseCaption;
    FHintClose = s.FHintClose;
    FHintFindNext = s.FHintFindNext;
    FHintFindPrev = s.FHintFindPrev;
    FHintHighlight = s.FHintHighlight;
    FShowClose = s.FShowClose;
    FShowFindNext = s.FShowFindNext;
    FShowFindPrev = s.FShowFindPrev;
    FShowHighLight = s.FShowHighLight;
    FShowMatchCase = s.FShowMatchCase;
    FSearchActiveColumnOnly = s.FSearchActiveColumnOnly;
    FSearchMatchStart = s.FSearchMatchStart;
    FSearchColumn = s.FSearchColumn;
    FSearchDirection = s.FSearchDirection;
    FSearchHiddenRows = s.FSearchHiddenRows;
    FVisible = s.FVisible;
    FFont = s.FFont;
}

// ---------------------------------------------------------------------------
// TNavigation

void TNavigation::SetAdvanceDirection(TAdvanceDirection v)
{
    if (v == FAdvanceDirection) return;
    FAdvanceDirection = v;
    if (OnChange) OnChange(this);
}

void TNavigation::SetAdvanceInsert(bool v)
{
    if (v == FAdvanceInsert) return;
    FAdvanceInsert = v;
    if (OnChange) OnChange(this);
}

void TNavigation::SetAdvanceAuto(bool v)
{
    FAdvanceAuto = v;
    if (v) FAdvanceOnEnter = true;
}

void TNavigation::Assign(const TNavigation& src)
{
    const bool keepScroll = FKeepScrollOnSort;
    auto onChange = std::move(OnChange);
    *this = src;
    FKeepScrollOnSort = keepScroll;
    OnChange = std::move(onChange);
}

// ---------------------------------------------------------------------------
// TMouseActions

bool TMouseActions::Designing()
{
    bool designing = false;
    if (OnIsDesigning) OnIsDesigning(this, designing);
    return designing;
}

void TMouseActions::SetWheelAction(TWheelAction v)
{
    if (v == FWheelAction) return;
    FWheelAction = v;
    if (OnChange) OnChange(this);
}

void TMouseActions::SetHotmailRowSelect(bool v)
{
    FHotmailRowSelect = v;
    if (v) {
        FDisjunctRowSelect = true;
        FCheckAllCheck = true;
    }
    if (OnInvalidate) OnInvalidate(this);
}

void TMouseActions::SetEditOnDblClickOnly(bool v)
{
    FEditOnDblClickOnly = v;
    if (v && OnDisableEdit) OnDisableEdit(this);
}

void TMouseActions::SetDisjunctRowSelect(bool v)
{
    FDisjunctRowSelect = v;
    if (v && Designing()) FDisjunctColSelect = FDisjunctCellSelect = false;
}

void TMouseActions::SetDisjunctColSelect(bool v)
{
    FDisjunctColSelect = v;
    if (v && Designing()) FDisjunctRowSelect = FDisjunctCellSelect = false;
}

void TMouseActions::SetDisjunctCellSelect(bool v)
{
    FDisjunctCellSelect = v;
    if (v && Designing()) FDisjunctRowSelect = FDisjunctColSelect = false;
}

void TMouseActions::Assign(const TMouseActions& src)
{
    const bool editDbl = FEditOnDblClickOnly, hotmail = FHotmailRowSelect, sizeRow = FSizeFixedRow;
    QStringList combo = FFixedComboValues;
    auto a = std::move(OnChange);
    auto b = std::move(OnInvalidate);
    auto c = std::move(OnDisableEdit);
    auto d = std::move(OnIsDesigning);
    *this = src;
    FEditOnDblClickOnly = editDbl;
    FHotmailRowSelect = hotmail;
    FSizeFixedRow = sizeRow;
    FFixedComboValues = combo;
    OnChange = std::move(a);
    OnInvalidate = std::move(b);
    OnDisableEdit = std::move(c);
    OnIsDesigning = std::move(d);
}

// ---------------------------------------------------------------------------
// TSyncGrid, TBands

void TSyncGrid::SetGrid(TStringGrid* g)
{
    if (g == FOwner) return;
    FGrid = g;
}

void TSyncGrid::Assign(const TSyncGrid& src)
{
    SetGrid(src.FGrid);
    FScrollHorizontal = src.FScrollHorizontal;
    FScrollVertical = src.FScrollVertical;
    FSelectionRow = src.FSelectionRow;
    FSelectionColumn = src.FSelectionColumn;
    FMoveRow = src.FMoveRow;
    FMoveColumn = src.FMoveColumn;
}

void TBands::Changed()
{
    if (OnChange) OnChange(this);
}

void TBands::SetActive(bool v)
{
    if (v == FActive) return;
    FActive = v;
    Changed();
}

void TBands::SetPrimaryColor(TColor v)
{
    if (v == FPrimaryColor) return;
    FPrimaryColor = v;
    if (FActive) Changed();
}

void TBands::SetSecondaryColor(TColor v)
{
    if (v == FSecondaryColor) return;
    FSecondaryColor = v;
    if (FActive) Changed();
}

void TBands::SetPrimaryLength(int v)
{
    if (v == FPrimaryLength) return;
    FPrimaryLength = v;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    if (FActive) Changed();
}

void TBands::SetSecondaryLength(int v)
{
    if (v == FSecondaryLength) return;
    FSecondaryLength = v;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    if (FActive) Changed();
}

void TBands::Assign(const TBands& s)
{
    FActive = s.FActive;
    FPrimaryColor = s.FPrimaryColor;
    FPrimaryLength = s.FPrimaryLength;
    FSecondaryColor = s.FSecondaryColor;
    FSecondaryLength = s.FSecondaryLength;
    FPrint = s.FPrint;
    FTotalLength = FPrimaryLength + FSecondaryLength;
}

// ---------------------------------------------------------------------------
// Platform tests, gradient


bool IsThemedComCtl6()
{
    return IsWinXPOrLater() && IsThemeActive() && IsComCtl6();
}

int GetXPColorScheme()
{
    if (!IsWinXPOrLater() || !IsThemeActive()) return 0;
    const QString name = GetCurrentThemeColorName();
    if (name == QLatin1String("NormalColor")) return 1;
    if (name == QLatin1String("HomeStead")) return 2;
    if (name == QLatin1String("Metallic")) return 3;
    return 0;
}

void FillGradientSteps(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& r, int steps,
                       TColor borderColor)
{
    if (steps <= 0) steps = 1;
    const TColor f = ColorToRGB(from), t = ColorToRGB(to);
    const int fr = GetRValue(f), fg = GetGValue(f), fb = GetBValue(f);
    const int dr = GetRValue(t) - fr, dg = GetGValue(t) - fg, db = GetBValue(t) - fb;
    const int length = horizontal ? r.Width() : r.Height();
    canvas.Save();
    canvas.SetBrushStyle(TBrushStyle::Solid);
    for (int k = 0; k < steps; ++k) {
        canvas.SetBrushColor(RGBColor(fr + int(std::lround(double(k) * dr / steps)),
                                      fg + int(std::lround(double(k) * dg / steps)),
                                      fb + int(std::lround(double(k) * db / steps))));
        // Each band one pixel longer than its share, cut at the end.
        const int a = k * length / steps, b = std::min(length, (k + 1) * length / steps + 1);
        const TRect band = horizontal ? TRect{r.Left + a, r.Top, r.Left + b, r.Bottom}
                                      : TRect{r.Left, r.Top + a, r.Right, r.Top + b};
        if (!band.IsEmpty()) canvas.FillRect(band);
    }
    if (borderColor != clNone) {
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(borderColor);
        canvas.Rectangle(r);
    }
    canvas.Restore();
}

// ---------------------------------------------------------------------------
// Indicator windows

QPolygon TArrowWindow::Outline(TArrowDirection dir)
{
    switch (dir) {
    case arrUp: return QPolygon({{5, 0}, {10, 5}, {7, 5}, {7, 9}, {3, 9}, {3, 5}, {0, 5}});
    case arrDown: return QPolygon({{3, 0}, {7, 0}, {7, 4}, {9, 4}, {5, 8}, {1, 4}, {3, 4}});
    case arrLeft: return QPolygon({{0, 3}, {0, 7}, {4, 7}, {4, 10}, {8, 5}, {4, 0}, {4, 3}});
    case arrRight: return QPolygon({{0, 5}, {4, 10}, {4, 7}, {8, 7}, {8, 3}, {4, 3}, {4, 0}});
    }
    return {};
}

TArrowWindow::TArrowWindow(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void TArrowWindow::Init(QWidget* owner, TArrowDirection dir)
{
    m_dir = dir;
    m_arrow = Outline(dir);
    Color = 0x00FF00;
    if (owner && parentWidget() != owner) setParent(owner);
    const QRect b = m_arrow.boundingRect();
    resize(b.right() + 2, b.bottom() + 2);
    setMask(QRegion(m_arrow, Qt::WindingFill));
    hide();
}

void TArrowWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), ColorToQColor(Color));
}

TGridFocusWindow::TGridFocusWindow(QWidget* owner) : QWidget(owner)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setEnabled(false);
    resize(0, 0);
    hide();
}

void TGridFocusWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (Layer.isNull()) {
        p.fillRect(rect(), ColorToQColor(Color));
        return;
    }
    p.setOpacity(Opacity / 255.0);
    p.drawImage(0, 0, Layer);
}

// ---------------------------------------------------------------------------
// Alpha mask, shadow, blur

TGridAlphaMask::TGridAlphaMask() : m_image(0, 0, QImage::Format_ARGB32_Premultiplied) {}

void TGridAlphaMask::SetSize(int w, int h)
{
    QImage n(std::max(0, w), std::max(0, h), QImage::Format_ARGB32_Premultiplied);
    n.fill(Qt::transparent);
    m_image = n;
}

void TGridAlphaMask::Assign(const TGridAlphaMask& src)
{
    FOpacity = src.FOpacity;
    if (m_image.isNull() || m_image.size().isEmpty()) {
        m_image = src.m_image.copy();
        return;
    }
    QImage n(m_image.size(), QImage::Format_ARGB32_Premultiplied);
    n.fill(Qt::transparent);
    const int rows = std::min(n.height(), src.m_image.height());
    const int bytes = std::min(n.width(), src.m_image.width()) * 4;
    for (int y = 0; y < rows; ++y) memcpy(n.scanLine(y), src.m_image.constScanLine(y), size_t(bytes));
    m_image = n;
}

void TGridAlphaMask::Assign(const QImage& src)
{
    m_image = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TGridAlphaMask::MergeMask(const QImage& mask, const QImage& bitmap, TColor)
{
    if (bitmap.format() != QImage::Format_RGB888) return;
    if (mask.width() < bitmap.width() || mask.height() < bitmap.height()) return;
    const QImage m = mask.convertToFormat(QImage::Format_RGB888);
    QImage out(bitmap.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < bitmap.height(); ++y) {
        const uchar* src = bitmap.constScanLine(y);
        const uchar* ms = m.constScanLine(y);
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            const int a = ms[x * 3]; // red channel of the mask
            auto pm = [a](int ch) { return int(std::lround(double(ch) * a / 255.0)); };
            dst[x] = qRgba(pm(src[x * 3]), pm(src[x * 3 + 1]), pm(src[x * 3 + 2]), a);
        }
    }
    m_image = out;
}

void MakeShadowMask(QImage& bmp, int w, int h, int penWidth, int rounding, int radius)
{
    bmp = QImage(std::max(1, w), std::max(1, h), QImage::Format_RGB888);
    bmp.fill(Qt::black);
    {
        QPainter p(&bmp);
        const int pw = penWidth / 2;
        const QRectF r(pw + 2, pw + 2, w - 2 * pw - 4, h - 2 * pw - 4);
        if (penWidth <= 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
        } else {
            p.setPen(QPen(Qt::white, penWidth));
            p.setBrush(Qt::NoBrush);
        }
        p.drawRoundedRect(r, rounding / 2.0, rounding / 2.0);
    }
    if (radius > 0) BlurBitmap24(bmp, radius);
}

std::vector<double> BuildGaussKernel(double radius)
{
    if (radius <= 0) radius = 0.0001;
    double w[21];
    double sum = 0;
    for (int j = -10; j <= 10; ++j) {
        w[j + 10] = std::exp(-(double(j) / radius) * (double(j) / radius) / 2);
        sum += w[j + 10];
    }
    for (double& v : w) v /= sum;
    int n = 10;
    double tail = 0;
    while (n > 1 && tail + 2 * w[n + 10] < 1.0 / 510) {
        tail += 2 * w[n + 10];
        --n;
    }
    std::vector<double> k(size_t(2 * n + 1));
    double s2 = 0;
    for (int j = -n; j <= n; ++j) s2 += w[j + 10];
    for (int j = -n; j <= n; ++j) k[size_t(j + n)] = w[j + 10] / s2;
    return k;
}

namespace {
inline uchar ClampChannel(double v)
{
    if (v < 0) return 0;
    if (v >= 255) return 255;
    return uchar(v);
}

// Convolves one line of `count` pixels, `stride` bytes apart, repeating the
// edge pixels beyond the ends.
void BlurLine(uchar* line, int count, int stride, const std::vector<double>& k, std::vector<uchar>& tmp)
{
    const int n = int(k.size() / 2);
    tmp.resize(size_t(count) * 3);
    for (int i = 0; i < count; ++i)
        for (int ch = 0; ch < 3; ++ch) tmp[size_t(i) * 3 + ch] = line[i * stride + ch];
    for (int i = 0; i < count; ++i) {
        double acc[3] = {0, 0, 0};
        for (int j = -n; j <= n; ++j) {
            const int src = std::clamp(i + j, 0, count - 1);
            const double w = k[size_t(j + n)];
            for (int ch = 0; ch < 3; ++ch) acc[ch] += w * tmp[size_t(src) * 3 + ch];
        }
        for (int ch = 0; ch < 3; ++ch) line[i * stride + ch] = ClampChannel(acc[ch] + 1e-9);
    }
}
} // namespace

void BlurBitmap24(QImage& bmp, double radius)
{
    if (bmp.format() != QImage::Format_RGB888) throw Exception(QStringLiteral("Blur only works for 24-bit bitmaps"));
    const std::vector<double> k = BuildGaussKernel(radius);
    std::vector<uchar> tmp;
    const int w = bmp.width(), h = bmp.height();
    for (int y = 0; y < h; ++y) BlurLine(bmp.scanLine(y), w, 3, k, tmp);
    uchar* bits = bmp.bits();
    const int bpl = int(bmp.bytesPerLine());
    for (int x = 0; x < w; ++x) BlurLine(bits + x * 3, h, bpl, k, tmp);
}
