#include "common/PixelSupport.h"
#include "common/TestSupport.h"
#include "controls/PbButton.h"
#include "platform/Exception.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Counts the pixels of exactly `c` in r.
int CountColor(const QImage& img, const TRect& r, TColor c)
{
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (At(img, x, y) == c) ++n;
    return n;
}

// Pixels darker than mid gray: the ink of a black caption.
int CountInk(const QImage& img, const TRect& r)
{
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (qGray(img.pixel(x, y)) < 110) ++n;
    return n;
}

void SendEnter(QWidget* w)
{
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(w, &e);
}

void SendLeave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

void SendKey(QWidget* w, QEvent::Type type, int key, bool autoRepeat = false)
{
    QKeyEvent e(type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString(), autoRepeat);
    QApplication::sendEvent(w, &e);
}

// A shown, active window with an edit and a button, as the program's dialogs have.
struct ButtonForm : ::testing::Test {
    TForm form;
    QLineEdit* edit = nullptr;
    TPbButton* button = nullptr;
    int clicks = 0;

    void SetUp() override
    {
        form.SetClientSize(300, 120);
        edit = new QLineEdit(&form);
        edit->setGeometry(10, 10, 150, 22);
        button = new TPbButton(&form);
        button->setGeometry(10, 60, 110, 28);
        button->SetCaption(QStringLiteral("OK"));
        button->ApplyProgramLook();
        button->OnClick = [this](TPbButton*) { ++clicks; };
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        edit->setFocus();
    }
};

} // namespace

TEST_F(ButtonForm, ProgramLookPixels)
{
    const TColor face = RGBColor(248, 247, 237), gray = RGBColor(128, 128, 128);
    edit->setFocus(); // the button unfocused: no focus frame
    QImage img = button->grab().toImage();
    // 1-pixel gray frame all round, light face inside.
    for (auto [x, y] : {std::pair{0, 0}, {109, 0}, {0, 27}, {109, 27}, {55, 0}, {55, 27}, {0, 14}, {109, 14}})
        EXPECT_EQ(At(img, x, y), gray) << x << "," << y;
    EXPECT_EQ(At(img, 1, 1), face);
    EXPECT_EQ(At(img, 3, 14), face);
    const TRect caption = Rect(30, 4, 80, 24);
    const int normalInk = CountInk(img, caption);
    EXPECT_GT(normalInk, 10);

    // Under the mouse: yellow face, same frame.
    SendEnter(button);
    img = button->grab().toImage();
    EXPECT_EQ(At(img, 3, 14), clYellow);
    EXPECT_EQ(At(img, 0, 0), gray);

    // Pressed: orange face, bold caption, no content shift (the frame stays).
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    img = button->grab().toImage();
    EXPECT_EQ(At(img, 2, 14), RGBColor(255, 128, 0));
    EXPECT_EQ(At(img, 0, 0), gray);
    EXPECT_EQ(At(img, 109, 27), gray);
    EXPECT_GT(CountInk(img, caption), normalInk);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    SendLeave(button);

    // Disabled: light face, gray caption, never pressed or hot.
    EXPECT_EQ(clicks, 1);
    clicks = 0;
    button->SetEnabled(false);
    SendEnter(button);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    img = button->grab().toImage();
    EXPECT_EQ(At(img, 3, 14), face);
    // The caption is there, but in gray: no pixel darker than the gray text.
    EXPECT_GT(caption.Width() * caption.Height() - CountColor(img, caption, face), 10);
    EXPECT_EQ(CountInk(img, caption), 0) << "no black ink";
    EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonForm, FocusFrameWhenFocused)
{
    button->setFocus();
    const QImage img = button->grab().toImage();
    // The dotted frame inverts every other pixel of the rectangle (4,4)-(106,24).
    EXPECT_EQ(At(img, 4, 4), RGBColor(255 - 248, 255 - 247, 255 - 237));
    EXPECT_EQ(At(img, 5, 4), RGBColor(248, 247, 237));
}

TEST_F(ButtonForm, MouseClickSemantics)
{
    struct Case {
        const char* name;
        QPoint press, release;
        Qt::MouseButton button;
        bool enabled;
        int clicks;
    };
    const Case cases[] = {
        {"press and release on the button", {10, 10}, {12, 12}, Qt::LeftButton, true, 1},
        {"press, drag off, release outside", {10, 10}, {400, 300}, Qt::LeftButton, true, 1},
        {"right button", {10, 10}, {10, 10}, Qt::RightButton, true, 0},
        {"disabled", {10, 10}, {10, 10}, Qt::LeftButton, false, 0},
    };
    for (const Case& c : cases) {
        clicks = 0;
        button->SetEnabled(c.enabled);
        QTest::mousePress(button, c.button, {}, c.press);
        QTest::mouseRelease(button, c.button, {}, c.release);
        EXPECT_EQ(clicks, c.clicks) << c.name;
        EXPECT_FALSE(button->IsDown()) << c.name;
    }
}

TEST_F(ButtonForm, AFailingClickLeavesTheButtonUp)
{
    ScriptedMessages boxes;
    boxes.Expect("click failed");
    button->OnClick = [](TPbButton*) { throw Exception("click failed"); };
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(button->IsDown());
}

TEST_F(ButtonForm, KeyClickSemantics)
{
    button->setFocus();
    // Space: pressed look while down, click on release.
    SendKey(button, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(button->IsDown());
    EXPECT_EQ(clicks, 0);
    SendKey(button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->IsDown());

    // Enter likewise.
    SendKey(button, QEvent::KeyPress, Qt::Key_Return);
    SendKey(button, QEvent::KeyRelease, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);

    // Auto-repeat clicks once, on the final release.
    SendKey(button, QEvent::KeyPress, Qt::Key_Space);
    for (int i = 0; i < 3; ++i) {
        SendKey(button, QEvent::KeyRelease, Qt::Key_Space, true);
        SendKey(button, QEvent::KeyPress, Qt::Key_Space, true);
    }
    EXPECT_EQ(clicks, 2);
    SendKey(button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(clicks, 3);

    // A release without the press (the key went down elsewhere) does nothing.
    SendKey(button, QEvent::KeyRelease, Qt::Key_Space);
    SendKey(button, QEvent::KeyRelease, Qt::Key_Return);
    EXPECT_EQ(clicks, 3);

    // A key pressed here and released after the focus moved away: no click.
    SendKey(button, QEvent::KeyPress, Qt::Key_Space);
    edit->setFocus();
    button->setFocus();
    SendKey(button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(clicks, 3);

    // Disabled: nothing.
    button->SetEnabled(false);
    SendKey(button, QEvent::KeyPress, Qt::Key_Space);
    SendKey(button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(clicks, 3);
}

TEST_F(ButtonForm, FocusMovesToTheButtonBeforeTheClick)
{
    bool editLostFocus = false;
    struct Watch : QObject {
        bool* flag;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::FocusOut) *flag = true;
            return false;
        }
    } watch;
    watch.flag = &editLostFocus;
    edit->installEventFilter(&watch);

    bool seenBeforeClick = false;
    button->OnClick = [&](TPbButton* b) {
        seenBeforeClick = editLostFocus && b->hasFocus();
        ++clicks;
    };
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(seenBeforeClick) << "mouse";

    // Enter on the default button while the edit has the focus.
    edit->setFocus();
    editLostFocus = false;
    seenBeforeClick = false;
    button->SetDefault(true);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(seenBeforeClick) << "default button";

    // The accelerator of the caption.
    button->SetDefault(false);
    button->SetCaption(QStringLiteral("&Save"));
    edit->setFocus();
    editLostFocus = false;
    seenBeforeClick = false;
    QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(clicks, 3);
    EXPECT_TRUE(seenBeforeClick) << "accelerator";
}

TEST_F(ButtonForm, DefaultAndCancelKeys)
{
    auto* other = new TPbButton(&form);
    other->setGeometry(150, 60, 110, 28);
    auto* radio = new QRadioButton(QStringLiteral("r"), &form);
    radio->setGeometry(180, 10, 60, 22);
    int otherClicks = 0;
    other->OnClick = [&](TPbButton*) { ++otherClicks; };
    other->show();
    radio->show();

    button->SetDefault(true);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks, 1) << "edit focused";

    // Another push button focused takes Enter itself.
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(otherClicks, 1);

    // A radio button does not: the default button clicks.
    radio->setFocus();
    QTest::keyClick(radio, Qt::Key_Return);
    EXPECT_EQ(clicks, 2) << "radio focused";

    // Not while disabled or hidden.
    button->SetEnabled(false);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    button->SetEnabled(true);
    button->hide();
    QTest::keyClick(edit, Qt::Key_Return);
    button->show();
    EXPECT_EQ(clicks, 2);

    // Escape clicks the cancel button, but not with Shift held.
    button->SetDefault(false);
    other->SetCancel(true);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_EQ(otherClicks, 1);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(otherClicks, 2);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks, 2) << "no default button any more";

    // A default button made inside a panel that joins the window later.
    auto* panel = new QWidget;
    auto* inPanel = new TPbButton(panel);
    int panelClicks = 0;
    inPanel->OnClick = [&](TPbButton*) { ++panelClicks; };
    inPanel->SetDefault(true);
    panel->setParent(&form);
    panel->setGeometry(0, 90, 120, 30);
    panel->show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(panelClicks, 1);
}

TEST(PbButton, ModalResultClosesItsDialog)
{
    TForm form;
    auto* ok = new TPbButton(&form);
    ok->SetCaption(QStringLiteral("OK"));
    ok->SetModalResult(mrOk);
    auto* none = new TPbButton(&form);
    none->move(0, 40);
    bool noneClicked = false;
    none->OnClick = [&](TPbButton*) { noneClicked = true; };
    ScriptedModals modals;
    modals.Then([&](TForm& f) {
        QTest::mouseClick(none, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_TRUE(f.isVisible()) << "a button without modal result leaves the window open";
        QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_FALSE(f.isVisible());
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_TRUE(noneClicked);
}

TEST(PbButton, PropertyRules)
{
    TPbButton b;
    EXPECT_EQ(b.size(), QSize(100, 23));
    EXPECT_EQ(b.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_EQ(b.LightColor(), clWhite);
    EXPECT_EQ(b.ShadowColor(), RGBColor(128, 128, 128));
    EXPECT_EQ(b.HotTrackColor(), clNone);
    EXPECT_EQ(b.ColorWhenDown(), clNone);
    EXPECT_EQ(b.Alignment(), taCenter);

    QImage strip(64, 16, QImage::Format_RGB32);
    strip.fill(Qt::white);
    b.SetKind(bkOK);
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.ModalResult(), 1);
    EXPECT_EQ(b.Caption(), "OK");
    b.SetGlyph(strip);
    EXPECT_EQ(b.NumGlyphs(), 4);
    EXPECT_EQ(b.Kind(), bkCustom);
    b.SetKind(bkClose);
    EXPECT_EQ(b.Caption(), QString::fromUtf8("Schlie\u00dfen"));
    EXPECT_EQ(b.ModalResult(), 0);
    b.SetKind(bkAll);
    EXPECT_EQ(b.ModalResult(), 12);
    b.SetModalResult(3);
    EXPECT_EQ(b.Kind(), bkCustom);
    b.SetGlyph(QImage());
    EXPECT_EQ(b.NumGlyphs(), 0);
    b.SetGlyph(QImage(10, 0, QImage::Format_RGB32));
    EXPECT_EQ(b.NumGlyphs(), 0);

    b.SetColorStyle(lcsGold);
    EXPECT_EQ(b.ColorStyle(), lcsCustom);
    EXPECT_EQ(b.Style(), bsModern);
    EXPECT_EQ(b.Color(), RGBColor(192, 192, 0));
    EXPECT_EQ(b.HotTrackColor(), RGBColor(223, 223, 0));
    b.SetColorStyle(lcsQuicken);
    EXPECT_EQ(b.Style(), bsQuicken);
    EXPECT_EQ(b.FontColor(), clWhite);
    EXPECT_EQ(b.ColorWhenDown(), RGBColor(41, 101, 173));
    b.SetColorStyle(lcsUltraFlat2);
    EXPECT_TRUE(b.Flat());
    EXPECT_EQ(b.Style(), bsNormal);
    b.SetColorStyle(lcsCustom); // no change
    EXPECT_EQ(b.ColorWhenDown(), RGBColor(188, 218, 36));
}

TEST(PbButton, FadeCountsDownOnTheTimer)
{
    TForm form;
    auto* b = new TPbButton(&form);
    b->SetHotTrackColor(clYellow);
    form.show();
    EXPECT_TRUE(b->HasFadeWorker());
    EXPECT_FALSE(b->FadeRunning());

    // Without SlowDecease the hot colour goes at once.
    SendEnter(b);
    EXPECT_EQ(b->HotTrackStep(), 8);
    SendLeave(b);
    EXPECT_EQ(b->HotTrackStep(), 0);
    EXPECT_FALSE(b->FadeRunning());

    b->SetSlowDecease(true);
    SendEnter(b);
    SendLeave(b);
    EXPECT_EQ(b->HotTrackStep(), 8);
    EXPECT_TRUE(b->FadeRunning());
    // Half way the face is half hot.
    for (int i = 0; i < 4; ++i) b->FadeStep();
    EXPECT_EQ(At(b->grab().toImage(), 10, 10), PbBlendFadeColor(clBtnFace, clYellow, 4));
    for (int i = 0; i < 4; ++i) b->FadeStep();
    EXPECT_EQ(b->HotTrackStep(), 0);
    EXPECT_FALSE(b->FadeRunning());

    // The timer itself finishes a fade.
    SendEnter(b);
    SendLeave(b);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !b->FadeRunning(); }, 5000));
    EXPECT_EQ(b->HotTrackStep(), 0);

    b->SetSlowDecease(false);
    EXPECT_FALSE(b->HasFadeWorker());
    // Destroying the window ends a running fade.
    b->SetSlowDecease(true);
    SendEnter(b);
    SendLeave(b);
    EXPECT_TRUE(b->FadeRunning());
}

TEST(PbButton, BlendAndGradientValues)
{
    EXPECT_EQ(PbBlendFadeColor(RGBColor(0, 100, 255), RGBColor(255, 0, 0), 0), RGBColor(0, 100, 255));
    EXPECT_EQ(PbBlendFadeColor(RGBColor(0, 100, 255), RGBColor(255, 0, 0), 8), RGBColor(255, 0, 0));
    // 255 * 3/8 = 95.6 and 100 * 5/8 = 62.5, 255 * 5/8 = 159.4: truncated.
    EXPECT_EQ(PbBlendFadeColor(RGBColor(0, 100, 255), RGBColor(255, 0, 0), 3), RGBColor(95, 62, 159));

    const auto bands = PbGradientBands(RGBColor(0, 0, 0), RGBColor(31, 62, 255), 2, 64);
    ASSERT_EQ(bands.size(), 32u);
    EXPECT_EQ(bands[0].Color, RGBColor(0, 0, 0));
    EXPECT_EQ(bands[1].Color, RGBColor(1, 2, 8)); // 255/31 = 8.2
    EXPECT_EQ(bands[31].Color, RGBColor(31, 62, 255));
    // span 62: bands start at top + i*62 div 31 and are 3 rows, cut at the bottom.
    EXPECT_EQ(bands[0].Top, 2);
    EXPECT_EQ(bands[0].Bottom, 5);
    EXPECT_EQ(bands[30].Top, 62);
    EXPECT_EQ(bands[31].Top, 64);
    EXPECT_EQ(bands[31].Bottom, 64);
}

TEST(PbButton, LayoutTable)
{
    // W 110, H 28, glyph 16x16, caption 20x13 (one line).
    struct Case {
        TPbButtonLayout layout;
        TAlignment align;
        int shift;
        bool wordWrap;
        int gw;
        TRect caption;
        QPoint glyph;
    };
    const Case cases[] = {
        // avail = 110 - 8 - 20 = 82; caption left 4 + 20; t = 24
        {blGlyphLeft, taLeftJustify, 0, false, 16, Rect(24, 7, 106, 20), {4, 6}},
        {blGlyphLeft, taCenter, 0, false, 16, Rect(24, 7, 106, 20), {(110 - 16) / 2 - 12, 6}},
        {blGlyphLeft, taRightJustify, 0, false, 16, Rect(24, 7, 106, 20), {110 - 4 - 16 - 24, 6}},
        {blGlyphLeft, taCenter, 0, true, 16, Rect(24, 7, 106, 20), {4, 6}},
        {blGlyphLeft, taCenter, 1, false, 16, Rect(25, 8, 107, 21), {36, 7}},
        // no glyph: the caption takes the full width
        {blGlyphLeft, taCenter, 0, false, 0, Rect(4, 7, 106, 20), {55 - 12, 14}},
        {blGlyphRight, taLeftJustify, 0, false, 16, Rect(4, 7, 86, 20), {28, 6}},
        {blGlyphRight, taCenter, 0, false, 16, Rect(4, 7, 86, 20), {47 + 12, 6}},
        {blGlyphRight, taRightJustify, 0, false, 16, Rect(4, 7, 86, 20), {90, 6}},
        // block = 13 + 20 = 33; (28 - 33) div 2 = -2 (toward zero)
        {blGlyphTop, taCenter, 0, false, 16, Rect(4, 14, 106, 27), {47, -2}},
        {blGlyphTop, taLeftJustify, 0, false, 16, Rect(4, 14, 106, 27), {4, -2}},
        {blGlyphBottom, taRightJustify, 0, false, 16, Rect(4, -2, 106, 11), {90, 11}},
    };
    for (const Case& c : cases) {
        TPbLayoutInput in;
        in.W = 110;
        in.H = 28;
        in.Style = bsEncarta;
        in.Layout = c.layout;
        in.Alignment = c.align;
        in.Shift = c.shift;
        in.WordWrap = c.wordWrap;
        in.GlyphW = c.gw;
        in.GlyphH = c.gw;
        in.TextW = 20;
        in.TextH = 13;
        in.CaptionEmpty = false;
        const TPbLayout out = PbLayoutFace(in);
        EXPECT_EQ(out.Caption, c.caption) << int(c.layout) << "/" << int(c.align) << "/" << c.shift;
        EXPECT_EQ(out.Glyph, c.glyph) << int(c.layout) << "/" << int(c.align) << "/" << c.shift;
    }
    // bsShape centres both and uses W - 8.
    TPbLayoutInput s;
    s.W = 100;
    s.H = 30;
    s.Style = bsShape;
    s.GlyphW = s.GlyphH = 10;
    s.TextH = 12;
    s.Shift = 1;
    EXPECT_EQ(PbAvailWidth(s), 92);
    EXPECT_EQ(PbLayoutFace(s).Glyph, QPoint(45, 10));
    EXPECT_EQ(PbLayoutFace(s).Caption, Rect(1, 10, 100, 30));
}

TEST(PbButton, CaptionCutToTheAvailableWidth)
{
    auto width = [](const QString& s) { return 7 * int(s.size()); };
    EXPECT_EQ(PbCutCaption("Configure", 100, width), "Configure");
    EXPECT_EQ(PbCutCaption("Configure", 63, width), "Configure");
    EXPECT_EQ(PbCutCaption("Configure", 62, width), "Configur");
    EXPECT_EQ(PbCutCaption("Configure", 20, width), "Co");
    EXPECT_EQ(PbCutCaption("Configure", 3, width), "");
    EXPECT_EQ(PbCutCaption("Configure", -5, width), "");

    // On a narrow button the caption loses characters; with WordWrap it wraps.
    TForm form;
    auto* b = new TPbButton(&form);
    b->resize(40, 40);
    b->SetCaption(QStringLiteral("WWWW WWWW"));
    form.show();
    const QImage cut = b->grab().toImage();
    b->SetWordWrap(true);
    const QImage wrapped = b->grab().toImage();
    // Ink outside the available width (x >= 36) appears only when wrapped text overflows a word.
    EXPECT_GT(CountInk(wrapped, Rect(0, 0, 40, 40)), CountInk(cut, Rect(0, 0, 40, 40)));
}

TEST(PbButton, GlyphCellByState)
{
    // Four 8x8 cells: red, green, blue, yellow, each with a magenta bottom-left pixel.
    QImage strip(32, 8, QImage::Format_RGB32);
    const QRgb cells[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    for (int i = 0; i < 4; ++i)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) strip.setPixel(8 * i + x, y, cells[i]);
    for (int i = 0; i < 4; ++i) strip.setPixel(8 * i, 7, qRgb(255, 0, 255));

    TForm form;
    auto* other = new TPbButton(&form);
    other->move(0, 50);
    auto* b = new TPbButton(&form);
    b->resize(60, 20);
    b->SetGlyph(strip);
    ASSERT_EQ(b->NumGlyphs(), 4);
    form.show();
    // Empty caption, glyph left, centred: glyph at ((60 - 8) div 2, (20 - 8) div 2).
    auto probe = [&] { return b->grab().toImage().pixel(26 + 4, 6 + 4); };
    auto transparentCorner = [&] { return b->grab().toImage().pixel(26, 6 + 7); };
    EXPECT_EQ(probe(), cells[0]);
    EXPECT_EQ(transparentCorner(), ColorToQColor(clBtnFace).rgb());
    SendEnter(b);
    EXPECT_EQ(probe(), cells[3]) << "hot";
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(2, 2));
    // Pressed shifts the content by one pixel (bsNormal).
    EXPECT_EQ(b->grab().toImage().pixel(27 + 4, 7 + 4), cells[2]) << "pressed";
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(2, 2));
    b->SetEnabled(false);
    EXPECT_EQ(probe(), cells[1]) << "disabled";

    // A single-cell strip shows its one cell when disabled.
    b->SetGlyph(strip.copy(0, 0, 8, 8));
    EXPECT_EQ(probe(), cells[0]);
    // NumGlyphs 0: no glyph at all.
    b->SetNumGlyphs(0);
    EXPECT_EQ(probe(), ColorToQColor(clBtnFace).rgb());
}

TEST(PbButton, PopupMenuOpensAtTheBottomLeft)
{
    TForm form;
    auto* b = new TPbButton(&form);
    QMenu menu;
    menu.addAction(QStringLiteral("One"));
    b->SetPopupMenu(&menu);
    form.show();
    // The arrow is drawn near the right edge.
    const QImage img = b->grab().toImage();
    EXPECT_EQ(At(img, 100 - 11 + 3, 23 / 2 - 1), clBlack);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), b->mapToGlobal(QPoint(0, b->height())));
    menu.hide();
}

TEST(PbButton, StylesPaintTheirOutline)
{
    TForm form;
    auto* edit = new QLineEdit(&form);
    edit->move(0, 40);
    auto* b = new TPbButton(&form);
    b->resize(80, 24);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    edit->setFocus();
    const TColor face = ColorToRGB(clBtnFace);

    b->SetStyle(bsNormal);
    QImage img = b->grab().toImage();
    EXPECT_EQ(At(img, 0, 0), clWhite);
    EXPECT_EQ(At(img, 79, 23), RGBColor(128, 128, 128));
    EXPECT_EQ(At(img, 79, 0), RGBColor(128, 128, 128)) << "the light line stops before the corner";

    b->SetFlat(true); // flat: no outline unless hot
    EXPECT_EQ(At(b->grab().toImage(), 0, 0), face);
    SendEnter(b);
    EXPECT_EQ(At(b->grab().toImage(), 0, 0), clWhite);
    SendLeave(b);
    b->SetFlat(false);

    b->SetStyle(bsOld);
    img = b->grab().toImage();
    EXPECT_EQ(At(img, 78, 5), RGBColor(128, 128, 128)) << "inner shadow";
    EXPECT_EQ(At(img, 79, 5), ColorToRGB(cl3DDkShadow));
    b->setFocus();
    img = b->grab().toImage();
    EXPECT_EQ(At(img, 0, 0), clBlack) << "focused: black frame";
    EXPECT_EQ(At(img, 1, 1), clWhite);

    b->SetStyle(bsModern);
    img = b->Render();
    EXPECT_EQ(img.pixelColor(0, 0).alpha(), 0) << "rounded corner shows the parent";
    EXPECT_EQ(At(img, 40, 0), RGBColor(128, 128, 128));
    // The upper gradient runs from the light colour over rows 2..5: its bands
    // overlap there, the last one starting on a row wins.
    const auto upper = PbGradientBands(clWhite, clBtnFace, 2, 24 / 4);
    EXPECT_EQ(At(img, 40, 2), upper[7].Color);
    EXPECT_EQ(At(img, 40, 5), upper[30].Color) << "the last band is cut away";

    b->SetStyle(bsQuicken);
    img = b->Render();
    EXPECT_EQ(At(img, 10, 0), RGBColor(128, 128, 128));
    EXPECT_EQ(img.pixelColor(1, 0).alpha(), 0);
    EXPECT_EQ(At(img, 10, 10), face);

    b->SetStyle(bsShape);
    img = b->Render();
    EXPECT_EQ(img.pixelColor(2, 2).alpha(), 0) << "shape: all transparent but caption and glyph";
}

TEST(PbButton, LinkedAction)
{
    TForm form;
    auto* b = new TPbButton(&form);
    QAction action(QStringLiteral("&Run"));
    QPixmap pic(8, 8);
    pic.fill(Qt::red);
    action.setIcon(QIcon(pic));
    int triggered = 0, clicked = 0;
    QObject::connect(&action, &QAction::triggered, [&] { ++triggered; });
    b->OnClick = [&](TPbButton*) {
        EXPECT_EQ(triggered, 0) << "OnClick runs first";
        ++clicked;
    };
    b->SetAction(&action);
    form.show();
    EXPECT_EQ(b->Caption(), "&Run");
    EXPECT_EQ(b->NumGlyphs(), 1);
    EXPECT_EQ(b->Glyph().pixel(3, 3), qRgb(255, 0, 0));
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(triggered, 1);
    action.setEnabled(false);
    EXPECT_FALSE(b->Enabled());
    // A glyph of its own is kept.
    QImage own(4, 4, QImage::Format_RGB32);
    own.fill(Qt::green);
    b->SetGlyph(own);
    action.setText(QStringLiteral("Go"));
    EXPECT_EQ(b->Glyph().pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(b->Caption(), "Go");
}

TEST_F(ButtonForm, HiddenUnderTheMouseComesBackCold)
{
    // A dialog closed by its button hides under the mouse and gets no leave
    // event: shown again, the button must not still look hot.
    SendEnter(button);
    ASSERT_TRUE(button->IsCursorOnButton());
    form.hide();
    form.show();
    EXPECT_FALSE(button->IsCursorOnButton());
    edit->setFocus();
    EXPECT_EQ(At(button->grab().toImage(), 3, 14), RGBColor(248, 247, 237));
}
