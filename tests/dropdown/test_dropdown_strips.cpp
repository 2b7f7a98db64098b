// The header and footer strips of the pop-up and their buttons.
#include "common/PixelSupport.h"
#include "dropdown/ExtDropDown.h"
#include "dropdown/ExtDropDownStrips.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A strip painted into an image of its size.
QImage Paint(TExtStrip& strip)
{
    QImage img = White(strip.width(), strip.height());
    TCanvas c(&img);
    strip.PaintStrip(c);
    return img;
}

class StripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldClock = SetDropDownTickCountSource([] { return 500000u; });
        host.resize(300, 300);
        edit = new TExtCustomDropDown(&host);
        edit->setGeometry(10, 10, 200, 21);
        auto* list = new QListWidget;
        list->resize(200, 100);
        edit->SetControl(list);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }
    void TearDown() override
    {
        edit->HideDropDown(false);
        SetDropDownTickCountSource(m_oldClock);
    }
    TDropDownForm* Form() const { return edit->DropDownForm(); }

    QWidget host;
    TExtCustomDropDown* edit = nullptr;

private:
    TTickCountSource m_oldClock;
};

} // namespace

TEST_F(StripTest, DrawHeaderHandlerPaintsAlone)
{
    edit->DropDownHeader().SetCaption(QStringLiteral("Caption"));
    edit->DropDownHeader().SetBorderColor(clBlack);
    int calls = 0;
    edit->OnDrawHeader = [&](QWidget* sender, TCanvas& c, const TRect& r) {
        ++calls;
        EXPECT_EQ(sender, Form()->Header());
        c.SetBrushStyle(TBrushStyle::Solid);
        c.SetBrushColor(clRed);
        c.FillRect(r);
    };
    edit->ShowDropDown();
    const QImage img = Paint(*Form()->Header());
    EXPECT_EQ(calls, 1);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) ASSERT_EQ(At(img, x, y), clRed) << x << "," << y; // no border, no caption
}

TEST_F(StripTest, HeaderBorderGradientAndCaption)
{
    THeaderAppearance& h = edit->DropDownHeader();
    h.SetColor(clWhite);
    h.SetColorTo(clBlue);
    h.SetGradientDirection(TGradientDirection::gdHorizontal);
    h.SetBorderColor(clBlack);
    h.SetCaption(QStringLiteral("Pick"));
    h.SetFontColor(clBlack);
    edit->SetDropDownBorderColor(clNone); // no pop-up border: the header frames itself
    edit->ShowDropDown();
    const QImage img = Paint(*Form()->Header());
    const int w = img.width(), hgt = img.height();
    // The bottom line in the border colour; the light rectangle (20 % border
    // colour, 80 % white) over the rest of the frame, its bottom raised by
    // the border width.
    const TColor light = RGBColor(204, 204, 204);
    EXPECT_EQ(At(img, w / 2, hgt - 1), clBlack);
    EXPECT_EQ(At(img, w / 2, hgt - 2), light);
    EXPECT_EQ(At(img, 0, hgt / 2), light);
    EXPECT_EQ(At(img, w / 2, 0), light);
    EXPECT_EQ(At(img, w - 1, hgt / 2), light);
    // Gradient along X: bluer to the right.
    EXPECT_GT(GetBValue(At(img, w - 10, hgt / 2)) - GetRValue(At(img, w - 10, hgt / 2)),
              GetBValue(At(img, 10, hgt / 2)) - GetRValue(At(img, 10, hgt / 2)));
    // Some dark caption pixels in the middle rows.
    int ink = 0;
    for (int y = 3; y < hgt - 3; ++y)
        for (int x = 2; x < 60; ++x) ink += (GetRValue(At(img, x, y)) < 60 && GetBValue(At(img, x, y)) < 60);
    EXPECT_GT(ink, 5);
}

TEST_F(StripTest, FooterGripPixels)
{
    TFooterAppearance& f = edit->DropDownFooter();
    f.SetColor(RGBColor(200, 200, 200));
    f.SetColorTo(clNone);
    f.SetBorderColor(clNavy);
    edit->ShowDropDown();
    TExtFooter* footer = Form()->Footer();
    ASSERT_TRUE(footer->SizeGripActive());
    const QImage img = Paint(*footer);
    const int R = img.width() - 1 - 16, B = img.height(); // grip rectangle's left edge and bottom
    for (QPoint p : {QPoint(R + 5, B - 4), QPoint(R + 13, B - 12), QPoint(R + 9, B - 8)}) {
        EXPECT_EQ(At(img, p.x() + 1, p.y() + 1), clWhite) << p.x() << "," << p.y();
        EXPECT_EQ(At(img, p.x() - 1, p.y() - 1), clNavy) << p.x() << "," << p.y();
    }
    EXPECT_EQ(At(img, R + 3, B - 3), RGBColor(200, 200, 200));

    // Not sizeable: no grip, and the corner does nothing.
    edit->HideDropDown(false);
    edit->SetDropDownSizeable(false);
    edit->ShowDropDown();
    EXPECT_FALSE(footer->SizeGripActive());
    EXPECT_FALSE(footer->InGripCorner(QPoint(footer->width() - 2, footer->height() - 2)));
    const QImage plain = Paint(*footer);
    EXPECT_EQ(At(plain, R + 6, B - 3), RGBColor(200, 200, 200));
    EXPECT_EQ(footer->ButtonArea().Right, footer->width() - 2);
}

TEST_F(StripTest, ButtonPositionsForBothAlignments)
{
    THeaderButtons& buttons = edit->DropDownHeader().Buttons();
    buttons.Add()->SetCaption(QStringLiteral("First"));
    buttons.Add()->SetWidth(30);
    buttons.Items(1)->SetHeight(200); // cut to the button area
    edit->DropDownHeader().SetCaption(QStringLiteral("Title"));
    edit->ShowDropDown();
    TExtHeader* header = Form()->Header();
    const TDbgList<TExtButton*>& list = header->ButtonList();
    ASSERT_EQ(list.Count(), 2);
    const TRect area = header->ButtonArea();
    EXPECT_EQ(area, Rect(2, 2, header->width() - 2, header->height() - 3));
    // baRight: the first item is rightmost, the next abuts it on the left.
    EXPECT_EQ(list[0]->x() + list[0]->width(), area.Right);
    EXPECT_EQ(list[1]->x() + list[1]->width(), list[0]->x());
    EXPECT_EQ(list[1]->width(), 30);
    EXPECT_EQ(list[1]->height(), area.Height());
    EXPECT_EQ(list[0]->Tag(), 0);
    EXPECT_EQ(list[1]->Tag(), 1);

    edit->HideDropDown(false);
    edit->DropDownHeader().SetButtonAlignment(TButtonAlignment::baLeft);
    edit->ShowDropDown();
    const TDbgList<TExtButton*>& left = header->ButtonList();
    ASSERT_EQ(left.Count(), 2);
    EXPECT_EQ(left[0]->x(), area.Left);
    EXPECT_EQ(left[1]->x(), left[0]->x() + left[0]->width());
}

TEST_F(StripTest, IdleButtonShowsTheStrip)
{
    edit->DropDownFooter().SetColor(clLime);
    edit->DropDownFooter().SetColorTo(clNone);
    edit->DropDownFooter().Buttons().Add()->SetCaption(QStringLiteral("  OK  "));
    // The button look's own defaults have no normal-state colours.
    TExtButtonAppearance plain;
    edit->ButtonAppearance().Assign(plain);
    edit->ShowDropDown();
    TExtButton* b = Form()->Footer()->ButtonList()[0];
    const QImage img = Form()->Footer()->grab().toImage();
    EXPECT_EQ(QColorToColor(img.pixelColor(b->x() + 1, b->y() + 1)), clLime);
    // Hot: the hot colour and its border.
    QTest::mouseMove(b, QPoint(3, 3));
    QImage hot(b->size(), QImage::Format_ARGB32);
    hot.fill(Qt::white);
    {
        TCanvas c(&hot);
        QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
        QApplication::sendEvent(b, &enter);
        b->DrawButton(c);
    }
    EXPECT_EQ(QColorToColor(hot.pixelColor(0, 0)), edit->ButtonAppearance().BorderColorHot());
}

TEST_F(StripTest, FooterModalResultsByClickAndByEnter)
{
    for (int result = 0; result <= 14; ++result) {
        for (bool byKey : {false, true}) {
            edit->DropDownFooter().Buttons().Clear();
            edit->DropDownFooter().Buttons().Add()->SetCaption(QStringLiteral("B"));
            edit->DropDownFooter().Buttons().Items(0)->SetModalResult(result);
            edit->SetText(QStringLiteral("old"));
            std::vector<std::string> events;
            bool cancelled = false;
            edit->OnDropUp = [&](TExtCustomDropDown*, bool c) {
                events.push_back("up");
                cancelled = c;
            };
            edit->OnDropDownFooterButtonClick = [&](TExtCustomDropDown* s, int index) {
                EXPECT_EQ(s, edit);
                EXPECT_EQ(index, 0);
                events.push_back(Form()->isVisible() ? "click while open" : "click after hiding");
            };
            edit->ShowDropDown();
            ASSERT_TRUE(edit->DroppedDown());
            edit->SetTextDirect(QStringLiteral("new"));
            TExtButton* b = Form()->Footer()->ButtonList()[0];
            if (byKey) {
                b->setFocus();
                QTest::keyClick(b, Qt::Key_Return);
            } else {
                QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(2, 2));
            }
            EXPECT_EQ(Form()->ModalResult(), result);
            const bool closes = result == 1 || result == 2 || result == 3 || result == 5 || result == 6 || result == 7 || result >= 12;
            const bool cancels = result == 2 || result == 3 || result == 5 || result == 7 || result == 13;
            const std::string label = "result " + std::to_string(result) + (byKey ? " by Enter" : " by click");
            EXPECT_EQ(edit->DroppedDown(), !closes) << label;
            if (closes) {
                EXPECT_EQ(events, (std::vector<std::string>{"up", "click after hiding"})) << label;
                EXPECT_EQ(cancelled, cancels) << label;
                EXPECT_EQ(edit->Text(), QString::fromLatin1(cancels ? "old" : "new")) << label;
            } else {
                EXPECT_EQ(events, (std::vector<std::string>{"click while open"})) << label;
            }
            edit->OnDropUp = nullptr;
            edit->OnDropDownFooterButtonClick = nullptr;
            edit->HideDropDown(false);
        }
    }
}

TEST_F(StripTest, HeaderButtonClickRoutesByTag)
{
    edit->DropDownHeader().Buttons().Add()->SetCaption(QStringLiteral("A"));
    edit->DropDownHeader().Buttons().Add()->SetCaption(QStringLiteral("B"));
    std::vector<int> clicked;
    edit->OnDropDownHeaderButtonClick = [&](TExtCustomDropDown*, int index) { clicked.push_back(index); };
    edit->ShowDropDown();
    const TDbgList<TExtButton*>& list = Form()->Header()->ButtonList();
    QTest::mouseClick(list[1], Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(list[0], Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(clicked, (std::vector<int>{1, 0}));
    EXPECT_TRUE(edit->DroppedDown()); // header buttons never close
    // A disabled item gives a disabled button that does not click.
    edit->DropDownHeader().Buttons().Items(0)->SetEnabled(false);
    ASSERT_EQ(Form()->Header()->ButtonList().Count(), 2);
    QTest::mouseClick(Form()->Header()->ButtonList()[0], Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(clicked.size(), 2u);
}

TEST_F(StripTest, PopupBackgroundAndBorder)
{
    edit->SetDropDownColor(clYellow);
    edit->SetDropDownColorTo(clNone);
    edit->SetDropDownBorderColor(clRed);
    edit->DropDownHeader().SetVisible(false);
    edit->DropDownFooter().SetVisible(false);
    edit->SetControl(nullptr);
    edit->SetDropDownWidth(100);
    edit->SetDropDownHeight(60);
    edit->ShowDropDown();
    QImage img = White(100, 60);
    {
        TCanvas c(&img);
        Form()->PaintBackground(c);
    }
    EXPECT_EQ(At(img, 0, 0), clRed);
    EXPECT_EQ(At(img, 99, 59), clRed);
    EXPECT_EQ(At(img, 1, 1), clYellow);
    EXPECT_EQ(At(img, 98, 58), clYellow);
    EXPECT_EQ(Form()->size(), QSize(100, 60));
}

// Pictures of open pop-ups in three styles, kept for a person to look at
// (in KR_ARTEFACTS_DIR when set, else in a temporary folder); not compared.
TEST_F(StripTest, ScreenshotsOfThreeStyles)
{
    QTemporaryDir tmp;
    const QString dir = qEnvironmentVariableIsSet("KR_ARTEFACTS_DIR") ? qEnvironmentVariable("KR_ARTEFACTS_DIR") : tmp.path();
    edit->DropDownHeader().SetCaption(QStringLiteral("<b>Header</b> caption"));
    edit->DropDownHeader().Buttons().Add()->SetCaption(QStringLiteral("Clear"));
    edit->DropDownFooter().SetCaption(QStringLiteral("Footer"));
    edit->DropDownFooter().Buttons().Add()->SetCaption(QStringLiteral("OK"));
    edit->DropDownFooter().Buttons().Items(0)->SetModalResult(1);
    edit->DropDownFooter().Buttons().Add()->SetCaption(QStringLiteral("Cancel"));
    edit->DropDownFooter().Buttons().Items(1)->SetModalResult(2);
    for (auto [style, name] : {std::pair{tsOffice2007Luna, "luna"}, {tsWindows7, "windows7"}, {tsOffice2010Black, "office2010black"}}) {
        edit->SetComponentStyle(style);
        edit->ShowDropDown();
        const QImage shot = Form()->grab().toImage();
        EXPECT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.save(dir + QStringLiteral("/dropdown-") + QString::fromLatin1(name) + QStringLiteral(".png")));
        edit->HideDropDown(false);
    }
}
