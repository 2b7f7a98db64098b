#include "common/PixelSupport.h"
#include "common/TestSupport.h"
#include "controls/PictureContainer.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString Fixture(const QString& name) { return QStringLiteral(KR_FIXTURES_DIR "/pictures/") + name; }

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

QByteArray Gif() { return ReadAll(Fixture("three_frames.gif")); }

void LoadBytes(THTMLPicture& pic, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    pic.LoadFromStream(&buffer);
}

// The message of the error `f` raises; empty when none.
template <class F> QString ErrorOf(F f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return {};
}

QByteArray Jpeg(int w, int h, const QColor& color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(img.save(&buffer, "JPG", 100));
    return bytes;
}

TColor Centre(const QImage& img) { return QColorToColor(img.pixelColor(img.width() / 2, img.height() / 2)); }

} // namespace

TEST(GifFrames, FoundByWalkingTheBlocks)
{
    const QByteArray gif = Gif();
    ASSERT_TRUE(IsGifData(gif));
    const std::vector<TGifFrameInfo> frames = GifFrames(gif);
    // The comment extension holds the byte pattern of a frame: it is no frame.
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].Delay, 10);
    EXPECT_EQ(frames[1].Delay, 0xF921);
    EXPECT_EQ(frames[2].Delay, 20);
    EXPECT_EQ(frames[1].Left, 4);
    EXPECT_EQ(frames[1].Top, 44);
    EXPECT_EQ(frames[1].Width, 8);
    EXPECT_EQ(frames[1].Height, 8);
    EXPECT_EQ(uchar(gif[frames[1].Start]), 0x21);
    EXPECT_EQ(uchar(gif[frames[1].Descriptor]), 0x2C);

    // Not a GIF, too short, or cut inside the second frame.
    EXPECT_FALSE(IsGifData("GIF8"));
    EXPECT_TRUE(GifFrames("GIF89a").empty());
    EXPECT_TRUE(GifFrames("not a gif at all").empty());
    EXPECT_EQ(GifFrames(gif.left(frames[1].Descriptor + 20)).size(), 1u);
}

TEST(HTMLPicture, AnimatedGifFrames)
{
    THTMLPicture pic;
    int frameChanges = 0;
    pic.OnFrameChange = [&](void*) { ++frameChanges; };
    pic.LoadFromFile(Fixture("three_frames.gif"));
    ASSERT_FALSE(pic.Empty());
    EXPECT_EQ(pic.FrameCount(), 3);
    EXPECT_EQ(pic.Frame(), 1);
    EXPECT_EQ(pic.Width(), 16);
    EXPECT_EQ(pic.Height(), 16);
    EXPECT_EQ(pic.GetMaxWidth(), 64);
    EXPECT_EQ(pic.GetMaxHeight(), 56);
    EXPECT_EQ(Centre(pic.Picture()), clRed);

    pic.SetFrame(2);
    EXPECT_EQ(frameChanges, 1);
    EXPECT_EQ(pic.Width(), 8);
    EXPECT_EQ(pic.Height(), 8);
    EXPECT_EQ(pic.FrameXPos(), 4);
    EXPECT_EQ(pic.FrameYPos(), 44);
    EXPECT_EQ(pic.FrameXSize(), 8);
    EXPECT_EQ(pic.FrameYSize(), 8);
    EXPECT_EQ(Centre(pic.Picture()), clLime);

    pic.SetFrame(3);
    EXPECT_EQ(Centre(pic.Picture()), clBlue);
    pic.FrameNext();
    EXPECT_EQ(pic.Frame(), 1);
    EXPECT_EQ(Centre(pic.Picture()), clRed);
    pic.FramePrev();
    EXPECT_EQ(pic.Frame(), 3);
    // Beyond the frames: the last one.
    pic.SetFrame(9);
    EXPECT_EQ(pic.Frame(), 3);
    EXPECT_EQ(Centre(pic.Picture()), clBlue);

    EXPECT_EQ(pic.GetFrameTime(2), 0xF921);
    EXPECT_EQ(pic.GetFrameTime(3), 20);
    EXPECT_EQ(pic.GetFrameTime(4), -1);
    EXPECT_EQ(pic.GetFrameTime(0), -1);
    EXPECT_FALSE(pic.FrameTransp());
    EXPECT_EQ(pic.FrameDisposal(), 0);
}

TEST(HTMLPicture, StepAdvancesAfterTheFrameDelay)
{
    THTMLPicture pic;
    pic.LoadFromFile(Fixture("three_frames.gif"));
    // Frame 1 lasts 10 hundredths: each step is 10.
    std::vector<bool> steps;
    for (int i = 0; i < 4; ++i) steps.push_back(pic.Step());
    EXPECT_EQ(steps, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(pic.Frame(), 2);

    // One frame: never a change.
    const QByteArray gif = Gif();
    const std::vector<TGifFrameInfo> frames = GifFrames(gif);
    THTMLPicture single;
    LoadBytes(single, gif.left(frames[1].Start) + QByteArray(1, 0x3B));
    ASSERT_FALSE(single.Empty());
    EXPECT_EQ(single.FrameCount(), 1);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(single.Step());

    THTMLPicture empty;
    EXPECT_FALSE(empty.Step());
}

TEST(HTMLPicture, UndecodableData)
{
    THTMLPicture pic;
    // A text file: LoadFromFile leaves the picture empty and says nothing.
    EXPECT_EQ(ErrorOf([&] { pic.LoadFromFile(Fixture("not_a_picture.txt")); }), "");
    EXPECT_TRUE(pic.Empty());
    EXPECT_EQ(pic.Width(), 0);
    // A missing file likewise.
    EXPECT_EQ(ErrorOf([&] { pic.LoadFromFile(Fixture("no_such_file.png")); }), "");
    EXPECT_TRUE(pic.Empty());

    // From a stream the decoder's refusal is raised, and the picture is empty.
    int changes = 0;
    pic.OnChange = [&](void*) { ++changes; };
    EXPECT_EQ(ErrorOf([&] { LoadBytes(pic, "not a picture"); }), "Could not load image. Invalid format");
    EXPECT_TRUE(pic.Empty());
    EXPECT_EQ(pic.Width(), 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(pic.Data(), QByteArray("not a picture"));
    // Data that starts as a JPEG but is none.
    EXPECT_EQ(ErrorOf([&] { LoadBytes(pic, QByteArray("\xFF\xD8\xFF\x00garbage", 11)); }), "Could not load image. Invalid format");
    EXPECT_TRUE(pic.Empty());
    // A null stream does nothing.
    pic.LoadFromStream(nullptr);
    EXPECT_TRUE(pic.Empty());
}

TEST(HTMLPicture, JpegThroughTheCodec)
{
    THTMLPicture pic;
    int changes = 0;
    pic.OnChange = [&](void*) { ++changes; };
    LoadBytes(pic, Jpeg(10, 6, QColor(255, 0, 0)));
    ASSERT_FALSE(pic.Empty());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pic.Width(), 10);
    EXPECT_EQ(pic.Height(), 6);
    EXPECT_EQ(pic.FrameCount(), -1);
    const QColor c = pic.Picture().pixelColor(5, 3);
    EXPECT_GT(c.red(), 240);
    EXPECT_LT(c.green(), 16);
    EXPECT_LT(c.blue(), 16);

    // The raw bytes are kept, written back as they were, and read again.
    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    pic.SaveToStream(out);
    EXPECT_EQ(saved, pic.Data());
    THTMLPicture copy;
    out.close();
    out.open(QIODevice::ReadOnly);
    copy.ReadData(out);
    EXPECT_EQ(copy.Width(), 10);
}

TEST(HTMLPicture, AssignCopiesTheData)
{
    THTMLPicture a, b;
    a.LoadFromFile(Fixture("three_frames.gif"));
    a.SetFrame(2);
    b.Assign(&a);
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(b.Data(), a.Data());
    EXPECT_EQ(b.Frame(), 1); // the copy starts at the first frame
    EXPECT_EQ(b.Width(), 16);
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    EXPECT_TRUE(b.Data().isEmpty());
    EXPECT_EQ(b.Width(), 0);
}

TEST(HTMLPicture, DrawAtNaturalSizeOrStretched)
{
    THTMLPicture pic;
    LoadBytes(pic, Jpeg(10, 6, QColor(0, 0, 255)));
    QImage img = White(40, 30);
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    {
        TCanvas c(&img);
        pic.Draw(c, Rect(5, 5, 40, 30));
    }
    auto blue = [&](int x, int y) { return GetBValue(At(img, x, y)) > 200 && GetRValue(At(img, x, y)) < 50; };
    EXPECT_TRUE(blue(5, 5));
    EXPECT_TRUE(blue(14, 10));
    EXPECT_FALSE(blue(15, 10));
    EXPECT_FALSE(blue(14, 11));

    img = White(40, 30);
    {
        TCanvas c(&img);
        pic.SetStretched(true);
        pic.Draw(c, Rect(0, 0, 30, 20));
    }
    EXPECT_TRUE(blue(29, 19));
    EXPECT_FALSE(blue(30, 20));

    // An empty picture draws nothing.
    THTMLPicture empty;
    img = White(40, 30);
    {
        TCanvas c(&img);
        empty.Draw(c, Rect(0, 0, 30, 20));
    }
    EXPECT_EQ(At(img, 10, 10), clWhite);
}

TEST(HTMLPicture, LoadFromUrl)
{
    THTMLPicture res;
    res.LoadFromURL("res://LOGO");
    EXPECT_FALSE(res.Empty());
    EXPECT_EQ(res.ID(), "res://LOGO");
    EXPECT_EQ(res.FrameCount(), 3);
    // Resource names in any case.
    THTMLPicture lower;
    lower.LoadFromURL("RES://logo");
    EXPECT_FALSE(lower.Empty());
    // A missing resource loads nothing; one that cannot be decoded raises.
    THTMLPicture missing;
    EXPECT_EQ(ErrorOf([&] { missing.LoadFromURL("res://NOSUCH"); }), "");
    EXPECT_TRUE(missing.Empty());
    THTMLPicture broken;
    EXPECT_EQ(ErrorOf([&] { broken.LoadFromURL("res://BROKEN"); }), "Could not load image. Invalid format");
    EXPECT_TRUE(broken.Empty());
    EXPECT_EQ(ErrorOf([&] { broken.LoadFromResourceID(4711); }), "Resource 4711 not found");

    THTMLPicture file;
    file.LoadFromURL("FILE://" + Fixture("three_frames.gif"));
    EXPECT_FALSE(file.Empty());
    EXPECT_EQ(file.ID(), "FILE://" + Fixture("three_frames.gif"));

    // Any other URL: nothing is fetched; the picture keeps the URL.
    for (bool asynch : {false, true}) {
        THTMLPicture web;
        web.SetAsynch(asynch);
        web.LoadFromURL("http://127.0.0.1:9/logo.png");
        EXPECT_TRUE(web.Empty());
        EXPECT_EQ(web.URL(), "http://127.0.0.1:9/logo.png");
        EXPECT_EQ(web.ID(), "http://127.0.0.1:9/logo.png");
        EXPECT_EQ(web.ThreadBusy(), asynch);
    }
}

TEST(PictureCache, LookupIsExactAndOwnsItsPictures)
{
    THTMLPictureCache cache;
    THTMLPicture* a = cache.AddPicture();
    a->LoadFromURL("res://LOGO");
    THTMLPicture* b = cache.AddPicture();
    b->SetAsynch(false);
    b->LoadFromURL("http://example.invalid/x.png");
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.FindPicture("res://LOGO"), a);
    EXPECT_EQ(cache.FindPicture("RES://LOGO"), nullptr);
    EXPECT_EQ(cache.FindPicture("http://example.invalid/x.png"), b);
    EXPECT_EQ(cache.GetPicture(1), b);
    EXPECT_EQ(cache.GetPicture(2), nullptr);

    // Animation: the GIF changes frame on its third tick; the empty one never.
    EXPECT_FALSE(cache.Animate());
    EXPECT_FALSE(cache.Animate());
    EXPECT_TRUE(cache.Animate());

    auto replacement = std::make_unique<THTMLPicture>();
    replacement->SetID("other");
    cache.SetPicture(0, std::move(replacement));
    EXPECT_EQ(cache.FindPicture("other"), cache.GetPicture(0));
    cache.ClearPictures();
    EXPECT_EQ(cache.Count(), 0);
}

TEST(PictureContainer, NamesIgnoreCase)
{
    TPictureContainer container;
    TPictureItem& item = container.Items().Add();
    item.SetName("LOGO");
    item.SetTag(7);
    item.Picture().LoadFromFile(Fixture("three_frames.gif"));
    container.Items().Add().SetName("other");
    EXPECT_EQ(container.Items().Owner(), &container);

    EXPECT_EQ(container.FindPicture("Logo"), &item.Picture());
    EXPECT_EQ(container.FindPicture("logo"), &item.Picture());
    EXPECT_EQ(container.FindPicture("log"), nullptr);

    // Items copy name, tag and data.
    TPictureItem& inserted = container.Items().Insert(0);
    container.Items().SetItem(0, item);
    EXPECT_EQ(inserted.Name(), "LOGO");
    EXPECT_EQ(inserted.Tag(), 7);
    EXPECT_EQ(inserted.Picture().Data(), item.Picture().Data());
    EXPECT_FALSE(inserted.Picture().Empty());
    EXPECT_EQ(container.FindPicture("logo"), &inserted.Picture()); // the first match
    EXPECT_EQ(container.Items().Count(), 3);
    EXPECT_EQ(ErrorOf([&] { container.Items().GetItem(3); }), "List index out of bounds (3)");
    container.Items().Delete(0);
    EXPECT_EQ(container.FindPicture("logo"), &item.Picture());
}
