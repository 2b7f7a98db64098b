// The image picker drop-down: the image index, items from an image list and
// from a folder, the keys and the wheel of the open list, and the chosen
// picture in the edit.
#include "common/PixelSupport.h"
#include "dropdown/ExtImagePickerDropDown.h"
#include "platform/ImageList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

QImage Solid(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    return img;
}

class Picker : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 12; ++i) images.Add(Solid(16, 16, QColor::fromHsv(i * 30, 255, 255)));
        host.resize(300, 300);
        edit = new TExtImagePickerDropDown(&host);
        edit->setGeometry(10, 10, 120, 24);
        edit->OnSelect = [this](TExtImagePickerDropDown*) { ++selects; };
        edit->OnChange = [this](TExtCustomDropDown*) { ++changes; };
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        edit->setFocus();
    }
    void TearDown() override
    {
        if (edit->DroppedDown()) edit->HideDropDown(false);
    }
    void FillFromList()
    {
        edit->SetImages(&images);
        edit->AddImagesFromImageList();
    }
    QWidget* List() { return edit->ItemSelector(); }
    // Sends a wheel turn; true when the widget took it.
    bool Wheel(QWidget* w, int delta)
    {
        QWheelEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
        return e.isAccepted();
    }

    TCustomImageList images;
    QWidget host;
    TExtImagePickerDropDown* edit = nullptr;
    int selects = 0;
    int changes = 0;
};

} // namespace

TEST_F(Picker, ItemsFromTheImageList)
{
    edit->AddImagesFromImageList(); // no list: nothing
    EXPECT_EQ(edit->Items().Count(), 0);
    FillFromList();
    ASSERT_EQ(edit->Items().Count(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(edit->Items().GetItem(i)->ImageIndex(), i);
        EXPECT_TRUE(edit->Items().GetItem(i)->Caption().isEmpty());
    }
    edit->AddImagesFromImageList(); // existing items stay
    EXPECT_EQ(edit->Items().Count(), 24);
}

TEST_F(Picker, ImageIndexSelectsByTheItemsImage)
{
    FillFromList();
    edit->Items().GetItem(3)->SetImageIndex(7);
    edit->SetImageIndex(7);
    EXPECT_EQ(edit->ItemIndex(), 3);
    EXPECT_EQ(edit->ImageIndex(), 7);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(changes, 1);
    edit->SetImageIndex(40);
    EXPECT_EQ(edit->ItemIndex(), -1);
    EXPECT_EQ(edit->ImageIndex(), -1);
    // Writing the current index again raises nothing; beyond the items is ignored.
    edit->SetItemIndex(2);
    selects = changes = 0;
    edit->SetItemIndex(2);
    edit->SetItemIndex(12);
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_EQ(selects + changes, 0);
}

TEST_F(Picker, UpAndDownMoveByColumns)
{
    FillFromList();
    edit->SetColumns(3);
    edit->SetItemIndex(4);
    edit->ShowDropDown();
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemSelector()->Columns(), 3);
    QTest::keyClick(List(), Qt::Key_Up);
    EXPECT_EQ(edit->ItemIndex(), 1);
    QTest::keyClick(List(), Qt::Key_Up);
    EXPECT_EQ(edit->ItemIndex(), 1);
    QTest::keyClick(List(), Qt::Key_Down);
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(edit->ItemIndex(), 7);
    QTest::keyClick(List(), Qt::Key_Right);
    EXPECT_EQ(edit->ItemIndex(), 8);
    EXPECT_TRUE(edit->DroppedDown());
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 8);
}

TEST_F(Picker, WheelMovesTheHotItemAndEnterTakesIt)
{
    FillFromList();
    edit->SetItemIndex(0);
    selects = 0;
    edit->ShowDropDown();
    // The list leaves the wheel to its window, which hands it to the edit.
    EXPECT_FALSE(Wheel(edit->ItemSelector()->viewport(), -120));
    Wheel(edit->DropDownForm(), -120);
    Wheel(edit->DropDownForm(), -120);
    EXPECT_EQ(edit->ItemSelector()->ItemHot(), 1);
    EXPECT_EQ(edit->ItemIndex(), 0); // only the hot item moved
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 1);
    EXPECT_EQ(selects, 1); // once, for the taken item

    // Closed, the wheel steps the choice itself.
    Wheel(edit, -120);
    EXPECT_EQ(edit->ItemIndex(), 2);
    Wheel(edit, 120);
    Wheel(edit, 120);
    EXPECT_EQ(edit->ItemIndex(), 0);
    EXPECT_FALSE(edit->DroppedDown());
}

TEST_F(Picker, CancelRestoresTheIndexAtOpening)
{
    FillFromList();
    edit->ShowDropDown();
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(edit->ItemIndex(), 0);
    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_EQ(edit->ItemIndex(), -1);

    edit->SetItemIndex(5);
    edit->ShowDropDown();
    const TRect r = edit->ItemSelector()->Items().GetItem(9)->ItemRect();
    QTest::mouseClick(edit->ItemSelector()->Panel(), Qt::LeftButton, {}, QPoint(r.Left + 3, r.Top + 3));
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 9);
    edit->ShowDropDown();
    QTest::keyClick(List(), Qt::Key_Home);
    edit->HideDropDown(true);
    EXPECT_EQ(edit->ItemIndex(), 9);
}

TEST_F(Picker, TheEditShowsTheChosenPicture)
{
    edit->Items().Add()->SetImage(Solid(8, 8, Qt::blue));
    FillFromList();
    edit->SetItemIndex(0);
    QImage img = edit->grab().toImage();
    const QRect area = edit->EditRect();
    const QPoint centre = area.center();
    EXPECT_EQ(At(img, centre.x(), centre.y()), clBlue);
    edit->SetItemIndex(1); // image 0 of the list
    img = edit->grab().toImage();
    EXPECT_EQ(At(img, centre.x(), centre.y()), QColorToColor(images.GetImage(0).pixelColor(8, 8)));
    edit->SetItemIndex(-1);
    img = edit->grab().toImage();
    EXPECT_NE(At(img, centre.x(), centre.y()), clBlue);
}

TEST(PickerFolder, FilesMatchingTheMaskWithTheirPictures)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Solid(4, 4, Qt::red).save(dir.filePath(QStringLiteral("a.png")));
    Solid(5, 5, Qt::green).save(dir.filePath(QStringLiteral("B.PNG")));
    QFile text(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub.png")));

    EXPECT_EQ(PickerFolderFiles(dir.path(), QStringLiteral("*.png")), (QStringList{"a.png", "B.PNG"}));

    TExtImagePickerDropDown picker;
    picker.AddImagesFromFolder(dir.filePath(QStringLiteral("*.png")), true);
    ASSERT_EQ(picker.Items().Count(), 2);
    EXPECT_EQ(picker.Items().GetItem(0)->Caption(), QStringLiteral("a.png"));
    EXPECT_EQ(picker.Items().GetItem(0)->Image().size(), QSize(4, 4));
    EXPECT_EQ(picker.Items().GetItem(1)->Caption(), QStringLiteral("B.PNG"));
    EXPECT_EQ(picker.Items().GetItem(1)->Image().size(), QSize(5, 5));

    // A file that is no picture still gives an item, without picture or caption.
    TExtImagePickerDropDown all;
    all.AddImagesFromFolder(dir.filePath(QStringLiteral("*.*")), true);
    ASSERT_EQ(all.Items().Count(), 3);
    EXPECT_TRUE(all.Items().GetItem(2)->Image().isNull());
    EXPECT_TRUE(all.Items().GetItem(2)->Caption().isEmpty());
    EXPECT_TRUE(LoadPickerImageFile(dir.filePath(QStringLiteral("missing.png"))).isNull());
}
