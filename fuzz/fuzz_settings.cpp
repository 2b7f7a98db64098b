// fuzz-layer: kr_app
// The settings file and reopening the last configuration: any bytes give
// values that are written and read back unchanged, and a configuration is
// reopened only from a folder directly under PROJECTS.
#include "FuzzSupport.h"
#include "app/UComon.h"
#include "platform/Files.h"

#include <QDir>
#include <QTemporaryDir>

namespace {
struct Values {
    QString project, ip, language;
    bool flags[4];
    bool operator==(const Values& o) const
    {
        return project == o.project && ip == o.ip && language == o.language && std::equal(flags, flags + 4, o.flags);
    }
};
Values Current()
{
    return {Project_Name, Last_IP_Address, Language_Name, {Enable_Internet, Enable_Update, Enable_Jump_Field_Tables, Double_Click_Auto_Size}};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir exe;
    static const bool once = [] {
        SetExeFolder(exe.path());
        Set_Program_Folders();
        QDir().mkpath(PathJoin(Projects_Path, QStringLiteral("Plant A")));
        return true;
    }();
    (void)once;

    Read_Setting_Bytes(Bytes(data, size));
    const Values read = Current();
    if (Reopen_Last_Project()) {
        Require(Project_Path == PathJoin(Projects_Path, Project_Name), "the configuration folder is under PROJECTS");
        Require(QDir(Project_Path).exists(), "the reopened folder exists");
        Require(QDir(Project_Path).canonicalPath().startsWith(QDir(Projects_Path).canonicalPath() + '/'),
                "nothing outside PROJECTS is opened");
    } else {
        Require(Project_Path.isEmpty(), "no configuration is open");
    }
    Require(Current() == read, "reopening changes no setting");

    Read_Setting_Bytes(Setting_Bytes());
    Require(Current() == read, "the settings survive being written and read again");
    return 0;
}
