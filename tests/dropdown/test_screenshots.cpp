// Pictures of the drop-down controls for a person to look at. They are kept
// as artefacts and never compared: ctest runs this under xvfb-run with
// KR_SCREENSHOT_DIR set to build/screenshots; without it the test is skipped.
#include "dropdown/ExtCalculatorDropDown.h"
#include "dropdown/ExtTimePickerDropDown.h"
#include "dropdown/ExtWatch.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QString ScreenshotDir() { return qEnvironmentVariable("KR_SCREENSHOT_DIR"); }

void Save(QWidget& w, const QString& name)
{
    const QString path = QDir(ScreenshotDir()).filePath(name + ".png");
    ASSERT_TRUE(w.grab().save(path)) << path.toStdString();
    EXPECT_GT(QFileInfo(path).size(), 0);
}

} // namespace

TEST(Screenshots, WatchPresetsAndKeypad)
{
    if (ScreenshotDir().isEmpty()) GTEST_SKIP() << "KR_SCREENSHOT_DIR not set";
    ASSERT_TRUE(QDir().mkpath(ScreenshotDir()));
    const char* names[] = {"Classic", "Tower", "Fluorescent", "Emerald", "BlueStar", "Fuchsia",
                           "Black", "BlackWhite", "Gray", "SuperNova", "Sports", "Smooth"};
    for (int i = 0; i < 12; ++i) {
        TExtWatch watch;
        watch.SetStyle(TWatchStyle(i));
        if (i == 0) { // the initial style is stored without its preset: apply it through another
            watch.SetStyle(TWatchStyle::wsTower);
            watch.SetStyle(TWatchStyle::wsClassic);
        }
        watch.SetAnimation(false);
        watch.SetTime(EncodeTimeParts({14, 47, 0, 0}));
        watch.show();
        Save(watch, QStringLiteral("watch_%1").arg(QString::fromLatin1(names[i])));
    }
    TCustomButtonPanel keypad;
    keypad.resize(230, 150);
    keypad.show();
    keypad.Loaded();
    keypad.SetButtonHot(12);
    Save(keypad, QStringLiteral("calculator_keypad"));

    TExtTimePickerDropDown picker;
    picker.SetShowTimePicker(true);
    picker.SetAnimation(false);
    picker.show();
    picker.SetTime(EncodeTimeParts({9, 41, 12, 0}));
    picker.ShowDropDown();
    Save(*picker.DropDownForm(), QStringLiteral("timepicker_popup"));
    picker.HideDropDown(false);

    TExtCalculatorDropdown calc;
    calc.show();
    calc.SetText("1234.5");
    calc.ShowDropDown();
    Save(*calc.DropDownForm(), QStringLiteral("calculator_popup"));
    calc.HideDropDown(false);
}
