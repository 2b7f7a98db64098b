#include "grid/ExtGridGraphic.h"

#include <cmath>

TColor PayloadColor(const TCellPayload& p)
{
    if (const auto* c = std::get_if<TColor>(&p)) return *c;
    return 0;
}

bool PayloadOwned(const TCellPayload& p)
{
    return std::holds_alternative<std::unique_ptr<QImage>>(p) ||
           std::holds_alternative<std::unique_ptr<TFilePicture>>(p) ||
           std::holds_alternative<std::unique_ptr<QStringList>>(p) || std::holds_alternative<std::unique_ptr<TIntList>>(p);
}

TCellGraphic::~TCellGraphic() = default;

bool TCellGraphic::HasAttachedBalloon() const
{
    using enum TCellType;
    return (CellType == ctCheckBox || CellType == ctDataCheckBox || CellType == ctRadioButton) && CellAngle == 1 &&
           Strings() != nullptr;
}

void TCellGraphic::Kind(TCellType t, TCellHAlign hal, TCellVAlign val)
{
    CellType = t;
    CellHAlign = hal;
    CellVAlign = val;
}

void TCellGraphic::SetBitmap(QImage* bmp, bool transparent, TCellHAlign hal, TCellVAlign val)
{
    Kind(TCellType::ctBitmap, hal, val);
    CellBitmap = bmp;
    CellTransparent = transparent;
}

void TCellGraphic::SetBitmap(std::unique_ptr<QImage> bmp, bool transparent, TCellHAlign hal, TCellVAlign val)
{
    Kind(TCellType::ctBitmap, hal, val);
    CellBitmap = std::move(bmp);
    CellTransparent = transparent;
    CellCreated = true;
}

void TCellGraphic::SetPicture(QImage* picture, bool transparent, TStretchMode stretchMode, int padding,
                              TCellHAlign hal, TCellVAlign val)
{
    Kind(TCellType::ctPicture, hal, val);
    CellBitmap = picture;
    CellTransparent = transparent;
    CellAngle = int(stretchMode);
    CellIndex = padding;
}

void TCellGraphic::SetPicture(std::unique_ptr<QImage> picture, bool transparent, TStretchMode stretchMode,
                              int padding, TCellHAlign hal, TCellVAlign val)
{
    SetPicture(picture.get(), transparent, stretchMode, padding, hal, val);
    CellBitmap = std::move(picture);
    CellCreated = true;
}

void TCellGraphic::SetFilePicture(TFilePicture* picture, bool transparent, TStretchMode stretchMode, int padding,
                                  TCellHAlign hal, TCellVAlign val)
{
    Kind(TCellType::ctFilePicture, hal, val);
    CellBitmap = picture;
    CellTransparent = transparent;
    CellAngle = int(stretchMode);
    CellIndex = padding;
}

void TCellGraphic::SetFilePicture(std::unique_ptr<TFilePicture> picture, bool transparent, TStretchMode stretchMode,
                                  int padding, TCellHAlign hal, TCellVAlign val)
{
    SetFilePicture(picture.get(), transparent, stretchMode, padding, hal, val);
    CellBitmap = std::move(picture);
    CellCreated = true;
}

void TCellGraphic::SetIcon(QImage* icon, TCellHAlign hal, TCellVAlign val)
{
    Kind(TCellType::ctIcon, hal, val);
    CellIcon = icon;
}

void TCellGraphic::SetIcon(std::unique_ptr<QImage> icon, TCellHAlign hal, TCellVAlign val)
{
    Kind(TCellType::ctIcon, hal, val);
    CellIcon = std::move(icon);
    CellCreated = true;
}

void TCellGraphic::SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val)
{
    Kind(TCellType::ctImageList, hal, val);
    CellIndex = idx;
}

void TCellGraphic::SetDataImage(int idx, TCellHAlign hal, TCellVAlign val)
{
    Kind(TCellType::ctDataImage, hal, val);
    CellIndex = idx;
}

void TCellGraphic::SetMultiImage(int col, int row, int dir, TCellHAlign hal, TCellVAlign val,
                                 std::function<void(TIntList*, int, int)> notifier)
{
    Kind(TCellType::ctImages, hal, val);
    CellBoolean = dir == 0;
    auto list = std::make_unique<TIntList>(col, row);
    list->OnChange = std::move(notifier);
    CellBitmap = std::move(list);
    CellCreated = true;
}

void TCellGraphic::SetCheckBox(bool value, bool data, bool flat, TCellHAlign hal, TCellVAlign val)
{
    Kind(data ? TCellType::ctDataCheckBox : TCellType::ctCheckBox, hal, val);
    CellBoolean = value;
    CellTransparent = flat;
    CellAngle = 0;
}

void TCellGraphic::SetCheckBox(TCheckBoxState value, bool flat, TCellHAlign hal, TCellVAlign val)
{
    Kind(TCellType::ctTriStateCheckBox, hal, val);
    CellCheckBoxState = value;
    CellBoolean = false;
    CellTransparent = flat;
}

void TCellGraphic::SetRadioButton(bool value, bool flat, TCellHAlign hal, TCellVAlign val)
{
    Kind(TCellType::ctRadioButton, hal, val);
    CellBoolean = value;
    CellTransparent = flat;
    CellAngle = 0;
}

void TCellGraphic::SetButton(int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val)
{
    Kind(TCellType::ctButton, hal, val);
    CellIndex = int32_t((uint32_t(bh) << 16) | (uint32_t(bw) & 0xFFFFu));
    CellBoolean = false;
    CellText = caption;
}

void TCellGraphic::SetBitButton(int bw, int bh, const QString& caption, QImage* glyph, TCellHAlign hal,
                                TCellVAlign val)
{
    SetButton(bw, bh, caption, hal, val);
    CellType = TCellType::ctBitButton;
    CellBitmap = glyph;
}

void TCellGraphic::SetBitButton(int bw, int bh, const QString& caption, std::unique_ptr<QImage> glyph,
                                TCellHAlign hal, TCellVAlign val)
{
    SetButton(bw, bh, caption, hal, val);
    CellType = TCellType::ctBitButton;
    CellBitmap = std::move(glyph);
    CellCreated = true;
}

void TCellGraphic::SetAngle(int16_t angle)
{
    int a = angle;
    while (a < 0) a += 360;
    while (a > 360) a -= 360;
    CellType = TCellType::ctRotated;
    CellAngle = a;
}

void TCellGraphic::SetInterfacedCell(TInterfacedPersistent* object)
{
    CellType = TCellType::ctInterface;
    CellBitmap = object;
}

void TCellGraphic::GetPictureSize(int cw, int rh, bool /*hastext*/, QPoint& size) const
{
    int w = 0;
    int h = 0;
    if (CellType == TCellType::ctPicture) {
        if (const QImage* p = Picture()) {
            w = p->width();
            h = p->height();
        }
    } else if (CellType == TCellType::ctFilePicture) {
        if (const TFilePicture* p = FilePicture()) {
            w = p->Width();
            h = p->Height();
        }
    } else {
        return;
    }
    const int aw = cw - CellIndex;
    const int ah = rh - CellIndex;
    const bool fits = w <= aw && h <= ah;
    auto aspect = [&](bool cap) {
        double hr = w > 0 ? double(aw) / w : 1.0;
        double vr = h > 0 ? double(ah) / h : 1.0;
        if (cap) {
            hr = std::min(hr, 1.0);
            vr = std::min(vr, 1.0);
        }
        if (hr >= vr)
            size = QPoint(int(std::lround(w * vr)), ah);
        else
            size = QPoint(aw, int(std::lround(h * hr)));
    };
    switch (TStretchMode(CellAngle)) {
    case TStretchMode::noStretch: size = QPoint(w, h); break;
    case TStretchMode::Stretch: size = QPoint(aw, ah); break;
    case TStretchMode::Shrink: size = fits ? QPoint(w, h) : QPoint(aw, ah); break;
    case TStretchMode::StretchWithAspectRatio: aspect(false); break;
    case TStretchMode::ShrinkWithAspectRatio:
        if (fits)
            size = QPoint(w, h);
        else
            aspect(true);
        break;
    default: size = QPoint(w, h); break;
    }
}

void TCellGraphic::Assign(const TCellGraphic& s)
{
    CellType = s.CellType;
    CellHAlign = s.CellHAlign;
    CellVAlign = s.CellVAlign;
    CellIndex = s.CellIndex;
    CellTransparent = s.CellTransparent;
    CellValue = s.CellValue;
    CellAngle = s.CellAngle;
    CellBoolean = s.CellBoolean;
    CellErrFrom = s.CellErrFrom;
    CellErrLen = s.CellErrLen;
    CellText = s.CellText;
    CellCreated = s.CellCreated;
}
