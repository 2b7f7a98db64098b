// Entry point of every test binary: an offscreen application with a fixed
// style and font, so that widget and pixel tests are deterministic, and a
// message handler that fails a test on any box it did not script.
#include "platform/Application.h"
#include "platform/Dialogs.h"

#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    TApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const int id = QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    if (id >= 0) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(11);
        TApplication::setFont(f);
    }
    SetMessageHandler([](const MessageRecord& r) {
        ADD_FAILURE() << "unexpected message box: \"" << r.text.toStdString() << "\"";
        return int(mrCancel);
    });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
