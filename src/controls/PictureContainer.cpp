#include "controls/PictureContainer.h"

#include "platform/Jpeg.h"

#include <QBuffer>
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPaintDevice>

namespace {

const char* const kNoStream = "Could not create image stream";
const char* const kInvalidFormat = "Could not load image. Invalid format";
const char* const kNotLoaded = "Could not load image";

int U8(const QByteArray& d, int pos) { return uchar(d[pos]); }
int U16(const QByteArray& d, int pos) { return uchar(d[pos]) | (uchar(d[pos + 1]) << 8); }

// Skips a chain of data sub-blocks starting at pos (a size byte, that many
// bytes, ... up to a size 0); the position after the terminator, or -1 when
// the data ends first.
int SkipSubBlocks(const QByteArray& d, int pos)
{
    while (pos < d.size()) {
        const int size = U8(d, pos);
        if (size == 0) return pos + 1;
        pos += size + 1;
    }
    return -1;
}

int ColorTableSize(int packed) { return (packed & 0x80) ? 3 * (1 << ((packed & 7) + 1)) : 0; }

// The resolution of the surface a canvas paints on (96 when unknown).
int DeviceDpi(TCanvas& canvas, bool vertical)
{
    const QPaintDevice* dev = canvas.Painter().device();
    if (!dev) return 96;
    const int dpi = vertical ? dev->logicalDpiY() : dev->logicalDpiX();
    return dpi > 0 ? dpi : 96;
}

} // namespace

int ScaleToCanvasX(TCanvas& canvas, int pixels) { return qRound(double(pixels) * DeviceDpi(canvas, false) / 96.0); }
int ScaleToCanvasY(TCanvas& canvas, int pixels) { return qRound(double(pixels) * DeviceDpi(canvas, true) / 96.0); }

bool IsGifData(const QByteArray& data) { return data.size() >= 5 && data.startsWith("GIF8"); }

std::vector<TGifFrameInfo> GifFrames(const QByteArray& d)
{
    std::vector<TGifFrameInfo> frames;
    if (!IsGifData(d) || d.size() < 13) return frames;
    int pos = 13 + ColorTableSize(U8(d, 10));
    TGifFrameInfo pending;
    bool hasControl = false;
    while (pos >= 0 && pos < d.size()) {
        const int kind = U8(d, pos);
        if (kind == 0x21) {
            if (pos + 2 > d.size()) break;
            const bool control = U8(d, pos + 1) == 0xF9 && pos + 8 <= d.size() && U8(d, pos + 2) == 4;
            if (control) {
                pending = TGifFrameInfo();
                pending.Start = pos;
                const int packed = U8(d, pos + 3);
                pending.Delay = U16(d, pos + 4);
                pending.Transparent = packed & 1;
                pending.Disposal = uint16_t((packed >> 2) & 7);
                hasControl = true;
            }
            pos = SkipSubBlocks(d, pos + 2);
        } else if (kind == 0x2C) {
            if (pos + 11 > d.size()) break;
            TGifFrameInfo frame = hasControl ? pending : TGifFrameInfo();
            if (!hasControl) frame.Start = pos;
            frame.Descriptor = pos;
            frame.Left = uint16_t(U16(d, pos + 1));
            frame.Top = uint16_t(U16(d, pos + 3));
            frame.Width = uint16_t(U16(d, pos + 5));
            frame.Height = uint16_t(U16(d, pos + 7));
            pos += 10 + ColorTableSize(U8(d, pos + 9)) + 1; // descriptor, local colour table, LZW code size
            pos = pos < d.size() ? SkipSubBlocks(d, pos) : -1;
            if (pos < 0) break;
            frames.push_back(frame);
            hasControl = false;
        } else {
            break; // the trailer 0x3B, or data that is no GIF block
        }
    }
    return frames;
}

// ---------------------------------------------------------------------------
// THTMLPicture

THTMLPicture::THTMLPicture() = default;

THTMLPicture::~THTMLPicture() = default;

void THTMLPicture::Changed()
{
    if (OnChange) OnChange(this);
}

void THTMLPicture::Clear()
{
    FIsEmpty = true;
    gpPicture = QImage();
    FFrameCount = -1;
    FNextCount = -1;
    FTimerCount = -1;
}

void THTMLPicture::Assign(const THTMLPicture* source)
{
    Clear();
    SetFrame(1);
    if (!source) {
        FDatastream.clear();
        return;
    }
    if (source == this) return;
    FDatastream = source->FDatastream;
    if (FDatastream.isEmpty()) return;
    FIsEmpty = false;
    DecodeOrEmpty();
    Changed();
}

void THTMLPicture::DecodeOrEmpty()
{
    try {
        DecodePicture();
    } catch (...) {
        FIsEmpty = true;
        gpPicture = QImage();
        throw;
    }
}

void THTMLPicture::DecodePicture()
{
    FFrameXPos = FFrameYPos = FFrameXSize = FFrameYSize = 0;
    FAnimMaxX = FAnimMaxY = 0;
    gpPicture = QImage();
    QByteArray copy;
    const TGifFrameInfo* current = nullptr;
    std::vector<TGifFrameInfo> frames;
    if (IsGifData(FDatastream)) frames = GifFrames(FDatastream);
    if (!frames.empty()) {
        FFrameCount = int(frames.size());
        FFrame = std::clamp(FFrame, 1, FFrameCount);
        FAnimMaxX = uint16_t(U16(FDatastream, 6));
        FAnimMaxY = uint16_t(U16(FDatastream, 8));
        // The frames before the current one are left out, so that the
        // decoder shows the current frame as the file's first.
        current = &frames[size_t(FFrame - 1)];
        copy = FDatastream.left(frames.front().Start) + FDatastream.mid(current->Start);
        FFrameXPos = current->Left;
        FFrameYPos = current->Top;
        FFrameXSize = current->Width;
        FFrameYSize = current->Height;
    } else {
        copy = FDatastream;
    }

    QImage image;
    if (IsJpegData(copy)) {
        switch (DecodeJpeg(copy, image)) {
        case TJpegResult::Ok: break;
        case TJpegResult::InvalidFormat: throw Exception(kInvalidFormat);
        case TJpegResult::Failed: throw Exception(kNotLoaded);
        }
    } else {
        QBuffer buffer(&copy);
        if (!buffer.open(QIODevice::ReadOnly)) throw Exception(kNoStream);
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        if (copy.isEmpty() || !reader.canRead()) throw Exception(kInvalidFormat);
        image = reader.read();
        if (image.isNull()) throw Exception(kNotLoaded);
    }
    // The decoder paints a GIF frame on the animation's whole screen; the
    // picture is the frame's own area, drawn at the frame's offset.
    if (current && current->Width > 0 && current->Height > 0 && image.size() != QSize(current->Width, current->Height)) {
        const QRect area = QRect(current->Left, current->Top, current->Width, current->Height).intersected(image.rect());
        if (!area.isEmpty()) image = image.copy(area);
    }
    gpPicture = image;
}

void THTMLPicture::Draw(TCanvas& canvas, const TRect& r) const
{
    if (FIsEmpty || gpPicture.isNull()) return;
    if (FStretched) {
        canvas.StretchDraw(r, gpPicture);
        return;
    }
    const int w = ScaleToCanvasX(canvas, Width());
    const int h = ScaleToCanvasY(canvas, Height());
    if (w == gpPicture.width() && h == gpPicture.height())
        canvas.Draw(r.Left, r.Top, gpPicture);
    else
        canvas.StretchDraw(TRect{r.Left, r.Top, r.Left + w, r.Top + h}, gpPicture);
}

int THTMLPicture::Width() const { return gpPicture.isNull() ? 0 : qRound(gpPicture.width() * 96.0 / FLogPixX); }

int THTMLPicture::Height() const { return gpPicture.isNull() ? 0 : qRound(gpPicture.height() * 96.0 / FLogPixY); }

int THTMLPicture::GetMaxWidth() const { return FAnimMaxX != 0 ? FAnimMaxX : Width(); }

int THTMLPicture::GetMaxHeight() const { return FAnimMaxY != 0 ? FAnimMaxY : Height(); }

void THTMLPicture::ReadData(QIODevice& stream)
{
    Clear();
    FDatastream = stream.readAll();
    if (FDatastream.isEmpty()) return;
    FIsEmpty = false;
    DecodeOrEmpty();
}

void THTMLPicture::WriteData(QIODevice& stream) const { stream.write(FDatastream); }

void THTMLPicture::SaveToStream(QIODevice& stream) const { stream.write(FDatastream); }

void THTMLPicture::LoadFromStream(QIODevice* stream)
{
    if (!stream) return;
    Clear();
    FFrame = 1;
    FDatastream = stream->readAll();
    FIsEmpty = false;
    DecodeOrEmpty();
    Changed();
}

void THTMLPicture::LoadFromFile(const QString& fileName)
{
    try {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            Clear();
            return;
        }
        LoadFromStream(&file);
    } catch (const Exception&) {
        FIsEmpty = true;
    }
}

void THTMLPicture::LoadFromResourceName(const QString& name)
{
    QString path = QStringLiteral(":/") + name;
    if (!QFile::exists(path)) {
        // Resource names are not case-sensitive: look for the name in any case.
        path.clear();
        const QStringList entries = QDir(QStringLiteral(":/")).entryList(QDir::Files);
        for (const QString& e : entries)
            if (e.compare(name, Qt::CaseInsensitive) == 0) {
                path = QStringLiteral(":/") + e;
                break;
            }
        if (path.isEmpty()) return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    LoadFromStream(&file);
}

void THTMLPicture::LoadFromResourceID(int id)
{
    const QString name = QString::number(id);
    if (!QFile::exists(QStringLiteral(":/") + name)) throw Exception(QStringLiteral("Resource %1 not found").arg(id));
    LoadFromResourceName(name);
}

void THTMLPicture::LoadFromURL(const QString& url)
{
    const QString upper = url.toUpper();
    if (upper.startsWith(QLatin1String("RES://"))) {
        FID = url;
        LoadFromResourceName(url.mid(6));
    } else if (upper.startsWith(QLatin1String("FILE://"))) {
        FID = url;
        LoadFromFile(url.mid(7));
    } else {
        // No picture is downloaded: the picture keeps its source and stays
        // empty, findable by the URL.
        FURL = url;
        FID = url;
        if (FAsynch) FThreadBusy = true;
    }
}

int THTMLPicture::FrameCount()
{
    if (FFrameCount == -1 && IsGifData(FDatastream)) FFrameCount = int(GifFrames(FDatastream).size());
    return FFrameCount;
}

void THTMLPicture::SetFrame(int n)
{
    const int count = FrameCount();
    FFrame = std::max(1, count > 0 ? std::min(n, count) : n);
    if (FDatastream.isEmpty()) return;
    if (!FIsEmpty) DecodeOrEmpty();
    if (OnFrameChange) OnFrameChange(this);
}

void THTMLPicture::FrameNext()
{
    const int count = FrameCount();
    SetFrame(FFrame + 1 > count ? 1 : FFrame + 1);
}

void THTMLPicture::FramePrev()
{
    const int count = FrameCount();
    SetFrame(FFrame - 1 < 1 ? count : FFrame - 1);
}

int THTMLPicture::GetFrameTime(int n)
{
    if (!IsGifData(FDatastream)) return -1;
    const std::vector<TGifFrameInfo> frames = GifFrames(FDatastream);
    if (n < 1 || n > int(frames.size())) return -1;
    const TGifFrameInfo& f = frames[size_t(n - 1)];
    FFrameTransp = f.Transparent;
    FFrameDisposal = f.Disposal;
    return f.Delay;
}

bool THTMLPicture::Step()
{
    if (FIsEmpty || FrameCount() < 2) return false;
    bool changed = false;
    if (FNextCount == -1) FNextCount = GetFrameTime(FFrame);
    if (FTimerCount * 10 >= FNextCount) {
        FrameNext();
        FNextCount += GetFrameTime(FFrame);
        changed = true;
    }
    ++FTimerCount;
    return changed;
}

// ---------------------------------------------------------------------------
// Cache, items, collection, container

THTMLPicture* THTMLPictureCache::AddPicture()
{
    m_pictures.push_back(std::make_unique<THTMLPicture>());
    return m_pictures.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const QString& id) const
{
    for (const auto& p : m_pictures)
        if (p->ID() == id) return p.get();
    return nullptr;
}

THTMLPicture* THTMLPictureCache::GetPicture(int index) const
{
    return index >= 0 && index < Count() ? m_pictures[size_t(index)].get() : nullptr;
}

void THTMLPictureCache::SetPicture(int index, std::unique_ptr<THTMLPicture> picture)
{
    if (index >= 0 && index < Count() && picture) m_pictures[size_t(index)] = std::move(picture);
}

bool THTMLPictureCache::Animate()
{
    bool changed = false;
    for (auto& p : m_pictures)
        if (p->Step()) changed = true;
    return changed;
}

void TPictureItem::Assign(const TPictureItem& source)
{
    if (&source == this) return;
    FName = source.FName;
    FTag = source.FTag;
    FPicture.Assign(&source.FPicture);
}

TPictureItem& TPictureCollection::Add() { return Insert(Count()); }

TPictureItem& TPictureCollection::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    return **m_items.insert(m_items.begin() + index, std::make_unique<TPictureItem>());
}

TPictureItem& TPictureCollection::GetItem(int index)
{
    if (index < 0 || index >= Count()) throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
    return *m_items[size_t(index)];
}

const TPictureItem& TPictureCollection::GetItem(int index) const { return const_cast<TPictureCollection*>(this)->GetItem(index); }

void TPictureCollection::SetItem(int index, const TPictureItem& item) { GetItem(index).Assign(item); }

void TPictureCollection::Delete(int index)
{
    if (index >= 0 && index < Count()) m_items.erase(m_items.begin() + index);
}

bool TPictureCollection::Animate()
{
    bool changed = false;
    for (auto& item : m_items)
        if (item->Picture().Step()) changed = true;
    return changed;
}

THTMLPicture* TPictureContainer::FindPicture(const QString& name)
{
    for (int i = 0; i < FItems.Count(); ++i) {
        TPictureItem& item = FItems.GetItem(i);
        if (item.Name().compare(name, Qt::CaseInsensitive) == 0) return &item.Picture();
    }
    return nullptr;
}
