#include "app/UComon.h"
#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/XmlDoc.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
struct Settings {
    QString project, ip, language;
    bool internet, update, jump, autoSize;
    bool operator==(const Settings&) const = default;
};

Settings Current()
{
    return {Project_Name, Last_IP_Address, Language_Name, Enable_Internet, Enable_Update, Enable_Jump_Field_Tables,
            Double_Click_Auto_Size};
}

const Settings Defaults{"", "192.168.2.205", "English", false, false, false, false};

void PrintTo(const Settings& s, std::ostream* os)
{
    *os << "{" << s.project.toStdString() << "|" << s.ip.toStdString() << "|" << s.language.toStdString() << "|"
        << s.internet << s.update << s.jump << s.autoSize << "}";
}

// Puts the values into the shared state, as the dialogs do.
void Assign(const Settings& s)
{
    Project_Name = s.project;
    Last_IP_Address = s.ip;
    Language_Name = s.language;
    Enable_Internet = s.internet;
    Enable_Update = s.update;
    Enable_Jump_Field_Tables = s.jump;
    Double_Click_Auto_Size = s.autoSize;
}

// Leaves state that a previous read could not have produced.
void Scramble()
{
    Project_Name = "stale";
    Last_IP_Address = "stale";
    Language_Name = "stale";
    Enable_Internet = Enable_Update = Enable_Jump_Field_Tables = Double_Click_Auto_Size = true;
}

struct SettingsCase {
    const char* name;
    const char* xml;
    Settings expected;
};
} // namespace

TEST(SettingsFile, ReadCases)
{
    const SettingsCase cases[] = {
        {"full",
         "<Conf_Settings><lastproj><projectname>Plant A</projectname></lastproj><lastipadd><ipaddress>10.0.0.7</ipaddress>"
         "</lastipadd><lastlang><language>Italiano</language></lastlang><lastinternet><enable_internet>1</enable_internet>"
         "<enable_update>1</enable_update><enable_jump_field_tables>1</enable_jump_field_tables>"
         "<Double_Click_Auto_Size>1</Double_Click_Auto_Size></lastinternet></Conf_Settings>",
         {"Plant A", "10.0.0.7", "Italiano", true, true, true, true}},
        {"only internet flag",
         "<Conf_Settings><lastinternet><enable_internet>1</enable_internet></lastinternet></Conf_Settings>",
         {"", "192.168.2.205", "English", true, false, false, false}},
        {"flags need exactly 1",
         "<Conf_Settings><lastinternet><enable_internet>true</enable_internet><enable_update> 1</enable_update>"
         "<enable_jump_field_tables></enable_jump_field_tables><Double_Click_Auto_Size>01</Double_Click_Auto_Size>"
         "</lastinternet></Conf_Settings>",
         Defaults},
        {"present but empty ip and language",
         "<Conf_Settings><lastipadd><ipaddress></ipaddress></lastipadd><lastlang><language/></lastlang></Conf_Settings>",
         {"", "", "", false, false, false, false}},
        {"other root name, any order, unknown elements",
         "<Whatever><junk/><lastlang><language>Deutsch</language></lastlang><lastproj><projectname>P</projectname>"
         "</lastproj></Whatever>",
         {"P", "192.168.2.205", "Deutsch", false, false, false, false}},
        {"group without its child", "<Conf_Settings><lastproj/><lastipadd><ip>1.2.3.4</ip></lastipadd></Conf_Settings>",
         Defaults},
        {"element names are case-sensitive",
         "<Conf_Settings><lastinternet><double_click_auto_size>1</double_click_auto_size></lastinternet></Conf_Settings>",
         Defaults},
        {"leading declaration",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Conf_Settings><lastlang><language>Fran\xC3\xA7" "ais</language>"
         "</lastlang></Conf_Settings>",
         {"", "192.168.2.205", QString::fromUtf8("Fran\u00e7ais"), false, false, false, false}},
        {"not well-formed", "<Conf_Settings><lastproj><projectname>P</projectname></lastproj>", Defaults},
        {"truncated", "<Conf_Settings><lastlang><langu", Defaults},
        {"empty file", "", Defaults},
        {"comment first", "<!-- note --><Conf_Settings><lastlang><language>X</language></lastlang></Conf_Settings>",
         {"", "192.168.2.205", "X", false, false, false, false}},
        {"instruction and comment first",
         "<?xml-stylesheet href=\"s.xsl\"?><!--a--><Conf_Settings><lastinternet><enable_update>1</enable_update>"
         "</lastinternet></Conf_Settings>",
         {"", "192.168.2.205", "English", false, true, false, false}},
    };
    for (const SettingsCase& c : cases) {
        Scramble();
        Read_Setting_Bytes(QByteArray(c.xml));
        EXPECT_EQ(Current(), c.expected) << c.name;
    }
}

TEST(SettingsFile, MissingBinaryAndHugeFilesGiveDefaults)
{
    TempExeFolder exe;
    Set_Program_Folders();
    Scramble();
    Read_Setting();  // no file
    EXPECT_EQ(Current(), Defaults);

    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 37 + 11) & 0xFF));
    QByteArray huge("<Conf_Settings><lastlang><language>Big</language></lastlang><pad>");
    huge.append(QByteArray(3 * 1024 * 1024, 'x')).append("</pad></Conf_Settings>");
    for (const QByteArray& bytes : {binary, huge}) {
        WriteTestFile(Settings_File_Path(), bytes);
        Scramble();
        Read_Setting();
        EXPECT_EQ(Current(), Defaults);
    }
}

TEST(SettingsFile, SaveWritesAllSevenLeavesAndReadsBack)
{
    TempExeFolder exe;
    Set_Program_Folders();
    Read_Setting();  // defaults, nothing changed
    Save_Setting();
    EXPECT_EQ(ReadTestFile(Settings_File_Path()).toStdString(),
              std::string("<Conf_Settings><lastproj><projectname/></lastproj><lastipadd><ipaddress>"
                         "192.168.2.205</ipaddress></lastipadd><lastlang><language>English</language></lastlang>"
                         "<lastinternet><enable_internet>0</enable_internet><enable_update>0</enable_update>"
                         "<enable_jump_field_tables>0</enable_jump_field_tables><Double_Click_Auto_Size>0"
                         "</Double_Click_Auto_Size></lastinternet></Conf_Settings>"));

    const Settings written{QString::fromUtf8("Impianto <n\u00b01> & \"x\"\x01\t"), "10.1.2.3", "Deutsch", true, false, true, false};
    Assign(written);
    Save_Setting();
    Scramble();
    Read_Setting();
    EXPECT_EQ(Current(), written);

    // Line breaks and a leading U+FEFF come back as they were written.
    const Settings odd{QStringLiteral("Line 1\r\nLine 2\r"), QString(QChar(0xFEFF)) + "10.0.0.1", QStringLiteral("\r"), false,
                       true, false, true};
    Assign(odd);
    Save_Setting();
    Scramble();
    Read_Setting();
    EXPECT_EQ(Current(), odd);
}

TEST(SettingsFile, FailedWriteIsReported)
{
    TempExeFolder exe;
    Set_Program_Folders();
    // A folder standing where the file belongs makes the write fail.
    ASSERT_TRUE(ForceDirectories(Settings_File_Path()));
    EXPECT_THROW(Save_Setting(), EFileError);
    EXPECT_TRUE(DirectoryExists(Settings_File_Path()));
}

TEST(SharedState, FoldersPathsAndReopening)
{
    TempExeFolder exe;
    Set_Program_Folders();
    EXPECT_EQ(Exe_Path, exe.Path());
    EXPECT_EQ(Projects_Path, exe.Path() + "/PROJECTS");
    for (const QString& f : {Master_Path, Projects_Path, Language_Path})
        EXPECT_TRUE(DirectoryExists(f)) << f.toStdString();

    ASSERT_TRUE(ForceDirectories(PathJoin(Projects_Path, "Plant")));
    struct ReopenCase {
        const char* name;
        bool opens;
    };
    const ReopenCase cases[] = {{"Plant", true}, {"Missing", false}, {"", false}, {".", false}, {"..", false},
                                {"../PROJECTS/Plant", false}, {"Plant/", false}, {"..\\Plant", false}};
    for (const ReopenCase& c : cases) {
        Project_Name = c.name;
        Project_Path = "stale";
        EXPECT_EQ(Reopen_Last_Project(), c.opens) << c.name;
        EXPECT_EQ(Project_Path, c.opens ? PathJoin(Projects_Path, c.name) : QString()) << c.name;
        EXPECT_EQ(Project_Name, c.name);  // the stored name is kept either way
    }

    Project_Path = PathJoin(Projects_Path, "Plant");
    Set_Files();
    ASSERT_EQ(Project_Files().size(), 29u);
    EXPECT_EQ(ParGen_File, Project_Path + "/ParGen.xml");
    EXPECT_EQ(LoRaWAN_Gateway_File, Project_Path + "/LoRaWAN_Gateway.xml");
    EXPECT_EQ(CAN_Rec_Frames_File, Project_Path + "/CAN_Rec_Frames.xml");
    EXPECT_EQ(CAN_Send_Frames_File, Project_Path + "/CAN_Send_Frames.xml");
    EXPECT_EQ(KNX_SetAccess_File, Project_Path + "/KNX_SetAccess.xml");
    QStringList seen;
    for (const ProjectFileEntry& f : Project_Files()) {
        EXPECT_TRUE(f.path->startsWith(Project_Path + "/")) << f.fileName;
        seen << *f.path;
    }
    seen.removeDuplicates();
    EXPECT_EQ(seen.size(), 29);
}
