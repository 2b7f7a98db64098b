// Program entry: creates every window once, the main window first, shows the
// main window and runs the message loop until it closes.
#include "dropdown/RegisterGridDropDowns.h"
#include "mainwin/Forms.h"
#include "platform/Application.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    // The grid offers the drop-down controls as cell editors.
    RegisterGridDropDownEditors();
    // A window that cannot be created is reported like any other error; the
    // program then ends instead of running with windows missing.
    if (!Guard([] { Create_Forms(); })) {
        Destroy_Forms();
        return 1;
    }
    QObject::connect(FFerravanteeFirmWare, &QDialog::finished, &app, &QCoreApplication::quit);
    FFerravanteeFirmWare->show();
    const int rc = app.exec();
    Destroy_Forms();
    return rc;
}
