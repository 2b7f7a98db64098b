// New and open configuration dialogs.
#include "app/UComon.h"
#include "app/UNew_Project.h"
#include "app/UOpenConf.h"
#include "common/TestSupport.h"
#include "controls/PbButton.h"
#include "platform/Files.h"
#include "common/SharedState.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

namespace {

// A temporary executable folder with its PROJECTS folder and the English texts.
class ConfigDialogs : public SharedStateTest {
protected:
    void SetUp() override
    {
        Load_Default_Texts();
        Set_Program_Folders();
        Project_Name.clear();
        Project_Path.clear();
        Set_Files();
    }
    void MakeConfig(const QString& name) { ASSERT_TRUE(QDir(Projects_Path).mkdir(name)); }

    TempExeFolder exe;
};

} // namespace

TEST(ConfigName, ValidFolderNames)
{
    const std::pair<const char*, bool> cases[] = {
        {"Plant 1", true}, {" lead", true}, {"trail ", true}, {"n\xC3\xA4me", true}, {"a.b", true},
        {"", false}, {".", false}, {"..", false}, {"a/b", false}, {"a\\b", false}, {"a<b", false}, {"a>b", false},
        {"a:b", false}, {"a\"b", false}, {"a|b", false}, {"a?b", false}, {"a*b", false}, {"a\tb", false},
        {"a\nb", false}, {"a\x7f", false},
    };
    for (const auto& [name, valid] : cases) EXPECT_EQ(Is_Valid_Config_Name(QString::fromUtf8(name)), valid) << name;
}

TEST_F(ConfigDialogs, NewConfigurationErrorsChangeNothing)
{
    MakeConfig("Existing");
    TFNew_Project dlg;
    const std::pair<const char*, const char*> cases[] = {
        {"", "Error! Name Project is not valid"},
        {"Existing", "Error! Name project is not valid because directory already exists"},
        {"EXISTING", "Error! Name project is not valid because directory already exists"},
        {"..", "Error! Name project is not valid"},
        {".", "Error! Name project is not valid"},
        {"a/b", "Error! Name project is not valid"},
        {"what?", "Error! Name project is not valid"},
        {"star*", "Error! Name project is not valid"},
        {"x:y", "Error! Name project is not valid"},
    };
    for (const auto& [name, error] : cases) {
        ScriptedMessages msgs;
        msgs.Expect(QString::fromUtf8(error));
        dlg.E_New_Proj->setText(QString::fromUtf8(name));
        dlg.Btn_OKClick();
        EXPECT_EQ(dlg.ModalResult(), 0) << name;
        EXPECT_TRUE(Project_Path.isEmpty()) << name;
        EXPECT_TRUE(Project_Name.isEmpty()) << name;
        EXPECT_EQ(msgs.shown.size(), 1u) << name;
        if (!msgs.shown.empty()) {
            EXPECT_EQ(msgs.shown[0].type, TMsgDlgType::mtError);
        }
    }
    // Only the existing configuration is there.
    EXPECT_EQ(ListSubFolders(Projects_Path), QStringList{"Existing"});
}

TEST_F(ConfigDialogs, NewConfigurationCreatesFolderAndPaths)
{
    ScriptedModals modals;
    TFNew_Project dlg;
    modals.Then([&](TForm&) {
        EXPECT_TRUE(dlg.E_New_Proj->text().isEmpty()); // emptied when shown
        dlg.E_New_Proj->setText(" Plant A");
        dlg.E_New_Proj->returnPressed(); // Enter runs OK
    });
    ASSERT_EQ(dlg.ShowModal(), mrOk);

    // The name exactly as typed, leading blank included.
    const QString folder = PathJoin(Projects_Path, " Plant A");
    EXPECT_EQ(Project_Name, " Plant A");
    EXPECT_EQ(Project_Path, folder);
    EXPECT_TRUE(DirectoryExists(PathJoin(folder, "bin")));

    // The 29 project files, in the order they are built.
    const char* names[] = {
        "ParGen.xml", "LoRaWAN_Gateway.xml", "ModbusM_SetAccess.xml", "ModbusTCPM_SetAccess.xml",
        "BACnet_Master_Access.xml", "BACnet_Slave.xml", "CAN_Rec_Frames.xml", "CAN_Send_Frames.xml",
        "SDO_Server_CANopen.xml", "SDO_Client_CANopen.xml", "PDO_CANopen.xml", "DNETM_Net.xml", "DNETM_DefOff.xml",
        "DMX_Default_Values.xml", "IEC_61850_Client.xml", "TLS_Known_Cert.xml", "IEC61850_Variables.xml",
        "J1939_Rec_Frames.xml", "J1939_Send_Frames.xml", "MQTT_Set_Topic.xml", "NMEA_Rec_Frames.xml",
        "NMEA_Send_Frames.xml", "OPC_UA_Client.xml", "OPC_UA_Server.xml", "SNMP_Manager.xml", "SNMP_Trap.xml",
        "EtherNetIP_Master_Rules.xml", "S7_Protocol.xml", "KNX_SetAccess.xml",
    };
    const auto& files = Project_Files();
    ASSERT_EQ(files.size(), std::size(names));
    for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(*files[i].path, PathJoin(folder, names[i])) << i;
    EXPECT_EQ(ParGen_File, PathJoin(folder, "ParGen.xml"));
    EXPECT_EQ(KNX_SetAccess_File, PathJoin(folder, "KNX_SetAccess.xml"));
}

TEST_F(ConfigDialogs, OpenListsSortedAndPreselects)
{
    TFOpenConf dlg;
    ScriptedModals modals;

    // No configurations: nothing selected, OK gives an empty name.
    modals.Then([&](TForm&) {
        EXPECT_EQ(dlg.ListBox1->count(), 0);
        EXPECT_TRUE(dlg.Name_Conf.isEmpty());
        dlg.Btn_OK->Click();
    });
    EXPECT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_TRUE(dlg.Name_Conf.isEmpty());

    for (const char* n : {"gamma", "Beta", "alpha"}) MakeConfig(n);
    WriteTestFile(PathJoin(Projects_Path, "zfile.xml"), "x"); // a file is no configuration

    // None open: sorted without regard to case, the first preselected.
    modals.Then([&](TForm&) {
        EXPECT_EQ(dlg.SL, (QStringList{"alpha", "Beta", "gamma"}));
        EXPECT_EQ(dlg.ListBox1->currentRow(), 0);
        EXPECT_EQ(dlg.Name_Conf, "alpha");
        dlg.ListBox1->setCurrentRow(2); // a click on an entry
        EXPECT_EQ(dlg.Name_Conf, "gamma");
        dlg.Btn_OK->Click();
    });
    EXPECT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_EQ(dlg.Name_Conf, "gamma");

    // The open configuration differs from its folder only in letter case.
    Project_Name = "BETA";
    Project_Path = PathJoin(Projects_Path, "BETA");
    modals.Then([&](TForm&) {
        EXPECT_EQ(dlg.ListBox1->currentRow(), 1);
        EXPECT_EQ(dlg.Name_Conf, "Beta");
        dlg.Btn_Cancel->Click();
    });
    EXPECT_EQ(dlg.ShowModal(), mrCancel);
    EXPECT_EQ(dlg.Search_Open_Conf("GAMMA"), 2);
    EXPECT_EQ(dlg.Search_Open_Conf("delta"), -1);

    // Two folders that differ only in letter case: the open one is preselected.
    MakeConfig("BETA");
    Project_Name = "Beta";
    Project_Path = PathJoin(Projects_Path, "Beta");
    modals.Then([&](TForm&) {
        EXPECT_EQ(dlg.SL, (QStringList{"alpha", "BETA", "Beta", "gamma"}));
        EXPECT_EQ(dlg.Name_Conf, "Beta");
        dlg.Btn_OK->Click();
    });
    EXPECT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_EQ(dlg.Name_Conf, "Beta");
}
