#include "platform/Canvas.h"
#include "platform/ImageList.h"

#include <gtest/gtest.h>
#include <QPainter>

namespace {
QImage Solid(int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    return img;
}
} // namespace

TEST(ImageList, AddsScalesAndIndexes) {
    TCustomImageList list(8, 8);
    EXPECT_EQ(list.Add(Solid(8, 8, Qt::red)), 0);
    EXPECT_EQ(list.Add(Solid(16, 4, Qt::blue)), 1);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetImage(1).size(), QSize(8, 8));
    EXPECT_TRUE(list.GetImage(2).isNull());
    EXPECT_TRUE(list.GetImage(-1).isNull());
    list.Delete(0);
    EXPECT_EQ(list.GetImage(0).pixelColor(0, 0), QColor(Qt::blue));
    list.SetSize(4, 4);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ImageList, DrawsEnabledDisabledAndIgnoresBadIndex) {
    TCustomImageList list(4, 4);
    list.Add(Solid(4, 4, QColor(200, 0, 0)));
    QImage target = Solid(20, 10, Qt::white);
    {
        QPainter p(&target);
        TCanvas canvas(p);
        list.Draw(canvas, 2, 2, 0, true);
        list.Draw(canvas, 10, 2, 0, false);
        list.Draw(canvas, 15, 2, 5, true);
    }
    EXPECT_EQ(target.pixelColor(3, 3), QColor(200, 0, 0));
    const QColor grey = target.pixelColor(11, 3);
    EXPECT_EQ(grey.red(), grey.green());
    EXPECT_EQ(grey.green(), grey.blue());
    EXPECT_NE(grey, QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(16, 3), QColor(Qt::white));
}

TEST(ImageList, MaskedColourBecomesTransparent) {
    TCustomImageList list(2, 1);
    QImage img(2, 1, QImage::Format_ARGB32);
    img.setPixelColor(0, 0, QColor(255, 0, 255));
    img.setPixelColor(1, 0, QColor(0, 128, 0));
    list.AddMasked(img, RGBColor(255, 0, 255));
    EXPECT_EQ(list.GetImage(0).pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(list.GetImage(0).pixelColor(1, 0), QColor(0, 128, 0));
}
