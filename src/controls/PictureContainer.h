#pragma once
// Pictures named in mini-HTML texts.
//
// THTMLPicture keeps the raw bytes of a picture file and decodes them into a
// drawable picture; for an animated GIF it decodes one frame at a time. The
// picture cache holds the pictures a renderer loaded by URL (identified by
// that URL, case-sensitive); the picture container holds named pictures
// (names compared ignoring letter case).
//
// Pictures named by an URL other than "RES://" (a picture of the program's
// Qt resources) or "FILE://" (a file) are not downloaded: such a picture
// stays empty, findable in the cache by its URL.
#include "platform/Canvas.h"
#include "platform/Exception.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;

using TPictureNotifyEvent = std::function<void(void* sender)>;

// Where a frame of a GIF stands in the data, found by walking its blocks.
struct TGifFrameInfo {
    int Start = 0;           // offset of the frame's graphic-control extension, or of its image descriptor when it has none
    int Descriptor = 0;      // offset of the image separator 0x2C
    int Delay = 0;           // hundredths of a second
    bool Transparent = false;
    uint16_t Disposal = 0;   // 0..7
    uint16_t Left = 0, Top = 0, Width = 0, Height = 0;
};

// A length in pixels at 96 dpi converted to the resolution of the surface
// the canvas paints on (rounded).
int ScaleToCanvasX(TCanvas& canvas, int pixels);
int ScaleToCanvasY(TCanvas& canvas, int pixels);

// True when the data is at least 5 bytes long and begins with "GIF8".
bool IsGifData(const QByteArray& data);
// The frames of a GIF, in order; empty for other data and where the block
// structure ends early (a cut-off file keeps the frames complete before the cut).
std::vector<TGifFrameInfo> GifFrames(const QByteArray& data);

class THTMLPicture {
public:
    THTMLPicture();
    virtual ~THTMLPicture();
    THTMLPicture(const THTMLPicture&) = delete;
    THTMLPicture& operator=(const THTMLPicture&) = delete;

    // Takes the data of `source` (none: the picture becomes empty).
    virtual void Assign(const THTMLPicture* source);
    // Draws the current picture into r: stretched to it, or at its top-left
    // corner at the natural size for the canvas's resolution.
    virtual void Draw(TCanvas& canvas, const TRect& r) const;
    virtual bool Empty() const { return FIsEmpty; }
    // Size of the decoded picture in pixels at 96 dpi; 0 when not decoded.
    virtual int Width() const;
    virtual int Height() const;
    // The size follows the picture: setting it does nothing.
    virtual void SetWidth(int) {}
    virtual void SetHeight(int) {}
    // The streaming form is the raw data; reading decodes without a change event.
    virtual void ReadData(QIODevice& stream);
    virtual void WriteData(QIODevice& stream) const;

    // Any failure leaves the picture empty and is not reported.
    virtual void LoadFromFile(const QString& fileName);
    // The device's whole content becomes the data and is decoded; decoding
    // errors are raised (the picture is then empty). Null: nothing.
    virtual void LoadFromStream(QIODevice* stream);
    virtual void SaveToStream(QIODevice& stream) const;
    virtual void LoadFromClipboardFormat() {}
    virtual void SaveToClipboardFormat() const {}

    // A picture of the program's Qt resources (":/name", the name's letter
    // case ignored when no exact match exists); nothing when there is none.
    void LoadFromResourceName(const QString& name);
    // The same by number; a missing resource raises an error.
    void LoadFromResourceID(int id);
    // "RES://name", "FILE://path" (scheme in any case); any other URL is kept
    // as the picture's identity and source, and nothing is loaded.
    void LoadFromURL(const QString& url);

    // Raw data and the decoded picture (null when none).
    const QByteArray& Data() const { return FDatastream; }
    const QImage& Picture() const { return gpPicture; }

    bool Stretched() const { return FStretched; }
    void SetStretched(bool v) { FStretched = v; }
    QString ID() const { return FID; }
    void SetID(const QString& v) { FID = v; }
    QString URL() const { return FURL; }
    bool Asynch() const { return FAsynch; }
    void SetAsynch(bool v) { FAsynch = v; }
    bool ThreadBusy() const { return FThreadBusy; }
    bool IsDB() const { return FIsDB; }

    // Animation. Frames count from 1.
    int Frame() const { return FFrame; }
    // Selects frame n, kept within 1..FrameCount; decodes again when there
    // is data and fires OnFrameChange.
    void SetFrame(int n);
    void FrameNext();
    void FramePrev();
    // Number of frames; 0 for a GIF without frames, -1 for other data.
    int FrameCount();
    // One animation tick of 10 hundredths of a second; true when the frame changed.
    bool Step();
    // Delay of frame n in hundredths of a second, -1 when there is no such
    // frame; sets FrameTransp and FrameDisposal from it.
    int GetFrameTime(int n);
    uint16_t FrameXPos() const { return FFrameXPos; }
    uint16_t FrameYPos() const { return FFrameYPos; }
    uint16_t FrameXSize() const { return FFrameXSize; }
    uint16_t FrameYSize() const { return FFrameYSize; }
    bool FrameTransp() const { return FFrameTransp; }
    uint16_t FrameDisposal() const { return FFrameDisposal; }
    // The animation's logical screen size when known, else the picture's size.
    int GetMaxWidth() const;
    int GetMaxHeight() const;

    TPictureNotifyEvent OnChange;
    TPictureNotifyEvent OnFrameChange;
    // Download notifications: never fired, no picture is downloaded.
    TPictureNotifyEvent OnDownLoadProgress, OnDownLoadCancel, OnDownLoadComplete, OnDownLoadError;

protected:
    // Decodes the data (the current frame of a GIF); raises the loader's errors.
    void DecodePicture();

private:
    void Changed();
    void Clear();
    // Decodes and, on failure, leaves the picture empty before raising.
    void DecodeOrEmpty();

    QByteArray FDatastream;
    bool FIsEmpty = true;
    bool FStretched = false;
    QImage gpPicture;
    int FLogPixX = 96;
    int FLogPixY = 96;
    QString FURL;
    QString FID;
    bool FIsDB = false;
    bool FAsynch = true;
    bool FThreadBusy = false;
    int FFrame = 1;
    int FFrameCount = -1;
    uint16_t FFrameXPos = 0, FFrameYPos = 0, FFrameXSize = 0, FFrameYSize = 0;
    bool FFrameTransp = false;
    uint16_t FFrameDisposal = 0;
    uint16_t FAnimMaxX = 0, FAnimMaxY = 0;
    int FNextCount = -1;
    int FTimerCount = -1;
};

// The pictures a renderer loaded by URL; it owns them.
class THTMLPictureCache {
public:
    // A new, empty picture appended to the cache.
    THTMLPicture* AddPicture();
    // The first picture whose ID equals `id` exactly; null when none.
    THTMLPicture* FindPicture(const QString& id) const;
    int Count() const { return int(m_pictures.size()); }
    THTMLPicture* GetPicture(int index) const;
    // Puts `picture` at `index` in place of the one there, which is freed.
    void SetPicture(int index, std::unique_ptr<THTMLPicture> picture);
    void ClearPictures() { m_pictures.clear(); }
    // One animation tick on every picture; true when any changed frame.
    bool Animate();

private:
    std::vector<std::unique_ptr<THTMLPicture>> m_pictures;
};

class TPictureItem {
public:
    // Copies name, tag and picture data.
    void Assign(const TPictureItem& source);
    THTMLPicture& Picture() { return FPicture; }
    const THTMLPicture& Picture() const { return FPicture; }
    // Takes the data of `picture`.
    void SetPicture(const THTMLPicture& picture) { FPicture.Assign(&picture); }
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    QString Name() const { return FName; }
    void SetName(const QString& v) { FName = v; }

private:
    THTMLPicture FPicture;
    int FTag = 0;
    QString FName;
};

class TPictureContainer;

class TPictureCollection {
public:
    explicit TPictureCollection(TPictureContainer* owner = nullptr) : FOwner(owner) {}
    TPictureContainer* Owner() const { return FOwner; }
    TPictureItem& Add();
    // A new item at `index` (0..Count).
    TPictureItem& Insert(int index);
    int Count() const { return int(m_items.size()); }
    TPictureItem& GetItem(int index);
    const TPictureItem& GetItem(int index) const;
    // Assigns name, tag and picture of `item` to the item at `index`.
    void SetItem(int index, const TPictureItem& item);
    void Delete(int index);
    // One animation tick on every item's picture; true when any changed frame.
    bool Animate();

private:
    TPictureContainer* FOwner;
    std::vector<std::unique_ptr<TPictureItem>> m_items;
};

class TPictureContainer {
public:
    TPictureContainer() : FItems(this) {}
    virtual ~TPictureContainer() = default;
    TPictureContainer(const TPictureContainer&) = delete;
    TPictureContainer& operator=(const TPictureContainer&) = delete;

    TPictureCollection& Items() { return FItems; }
    const TPictureCollection& Items() const { return FItems; }
    // The picture of the first item named `name`, ASCII letter case ignored;
    // null when none.
    virtual THTMLPicture* FindPicture(const QString& name);

private:
    TPictureCollection FItems;
};
