// The main window: start-up, step guard, configurations, options, language
// switch, version check and shutdown.
#include "app/UComon.h"
#include "common/TestSupport.h"
#include "mainwin/LocalHttpServer.h"
#include "controls/PbButton.h"
#include "mainwin/Forms.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "platform/XmlDoc.h"
#include "common/SharedState.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The windows of the program over a temporary executable folder.
class MainWindow : public SharedStateTest {
protected:
    void TearDown() override { Destroy_Forms(); }
    void Start()
    {
        Create_Forms();
        ASSERT_NE(FFerravanteeFirmWare, nullptr);
        M = FFerravanteeFirmWare;
    }
    void Settings(const QByteArray& body) { WriteTestFile(exe.File("Ferravante.xml"), body); }
    // The text of one leaf of the settings file.
    QString Setting(const char* group, const char* leaf)
    {
        TXMLDocument doc;
        if (!doc.TryLoadFromFile(exe.File("Ferravante.xml"))) return "<no file>";
        return doc.FirstNode().FindChild(group).FindChild(leaf).Text();
    }
    QString Line1() const { return M->L_Name_Conf->text(); }
    QString Line2() const { return M->L_Name_Conf_L2->text(); }

    TempExeFolder exe;
    TFFerravanteeFirmWare* M = nullptr;
};

} // namespace

TEST_F(MainWindow, FirstStartInEmptyFolder)
{
    Start();
    for (const char* f : {"MASTER", "PROJECTS", "LANGUAGE"}) EXPECT_TRUE(DirectoryExists(exe.File(f))) << f;
    EXPECT_EQ(Line1(), "None Configuration Opened ");
    EXPECT_EQ(Line2(), "Use Step1 to open or create new configuration");
    EXPECT_FALSE(M->Timer_Update_Enabled());
    EXPECT_EQ(Language_Name, "English");
    EXPECT_EQ(M->Caption(), "TolvexCorp - Configurator KR52R08 CAN / LoRaWAN Gateway ");
    EXPECT_EQ(M->L_SW_Code->text(), "KR52R08");
    EXPECT_EQ(M->L_SW_Desc->text(), "CAN / LoRaWAN Gateway - Converter");

    // The main window is created first, the others in their order; none is shown.
    const QStringList created = Created_Forms();
    ASSERT_FALSE(created.isEmpty());
    EXPECT_EQ(created.front(), "TFFerravanteeFirmWare");
    qsizetype last = -1;
    for (const QString& c : created) {
        const qsizetype at = Creation_Order().indexOf(c);
        EXPECT_GT(at, last) << c.toStdString();
        last = at;
        EXPECT_FALSE(Form_Instance(c)->isVisible()) << c.toStdString();
    }
    for (const char* c : {"TFNew_Project", "TFOpenConf", "TFAbout", "TFSoftOptions"}) EXPECT_TRUE(created.contains(c)) << c;

    // Every step but New, Open, Close, Information and Options refuses, and
    // opens nothing.
    ScriptedModals modals;
    const std::vector<TPbButton*> all = M->Buttons();
    ASSERT_EQ(all.size(), 34u);
    for (TPbButton* b : all) {
        if (b == M->Btn_New || b == M->Btn_Open || b == M->Btn_Close || b == M->Btn_Info || b == M->Btn_Opz) continue;
        ScriptedMessages msgs;
        msgs.Expect("Error! Project not Valid");
        M->Btn_Click(b);
    }
    EXPECT_TRUE(modals.opened.empty());
}

TEST_F(MainWindow, LayoutOfThisVariant)
{
    Start();
    M->show();
    EXPECT_EQ(M->ClientWidth(), 694);
    EXPECT_EQ(M->ClientHeight(), 484);
    // The ten buttons this variant shows, and where.
    const struct {
        TPbButton* b;
        int left, top, width, height;
    } shown[] = {
        {M->Btn_Info, 516, 8, 50, 50},          {M->Btn_Opz, 574, 8, 50, 50},
        {M->Btn_Close, 632, 8, 50, 50},         {M->Btn_New, 80, 112, 170, 36},
        {M->Btn_Open, 258, 112, 170, 36},       {M->Btn_Prm_Gen, 80, 156, 170, 36},
        {M->Btn_LoRaWAN_Access, 80, 200, 170, 36}, {M->Btn_CAN_Rec_Frame, 80, 244, 170, 36},
        {M->Btn_CAN_Send_Frame, 80, 288, 170, 36}, {M->Btn_CreateBin, 80, 332, 170, 36},
    };
    int visible = 0;
    for (TPbButton* b : M->Buttons()) visible += b->isVisible();
    EXPECT_EQ(visible, 10);
    for (const auto& s : shown) {
        EXPECT_TRUE(s.b->isVisible()) << s.b->Caption().toStdString();
        EXPECT_EQ(s.b->geometry(), QRect(s.left, s.top, s.width, s.height)) << s.b->Caption().toStdString();
    }
    EXPECT_EQ(M->Btn_Prm_Gen->Caption(), "Set Communication");
    EXPECT_EQ(M->Btn_CreateBin->Caption(), "Update Device");
    EXPECT_EQ(M->Btn_Info->toolTip(), "Information");
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(M->L_Step[n]->pos(), QPoint(16, 128 + 44 * n));
        EXPECT_EQ(M->L_Step[n]->isVisible(), n < 6);
        EXPECT_EQ(M->L_Step[n]->text(), QString("Step %1").arg(n + 1));
    }
    EXPECT_EQ(M->L_Begin->pos(), QPoint(16, 84));
    EXPECT_EQ(M->L_Tolvex->y(), 348);
    EXPECT_LE(M->L_Tolvex->x(), 565);
    EXPECT_LE(M->L_Tolvex->geometry().right(), 694); // the address stays whole
    EXPECT_EQ(M->L_Tolvex->text(), "www.tolvexcorp.com");
    EXPECT_EQ(M->Shape1->geometry(), QRect(10, 383, 674, 1));
    EXPECT_EQ(M->Shape2->geometry(), QRect(80, 70, 348, 36));
    EXPECT_EQ(M->L_Name_Conf->pos(), QPoint(87, 75));
    EXPECT_EQ(M->L_Name_Conf_L2->pos(), QPoint(87, 88));
    EXPECT_FALSE(M->LL_Update->isVisible());
}

TEST_F(MainWindow, LastConfigurationReopenedOrKept)
{
    const QByteArray body = "<Conf_Settings><lastproj><projectname>Alpha</projectname></lastproj></Conf_Settings>";
    Settings(body);
    ASSERT_TRUE(QDir().mkpath(exe.File("PROJECTS/Alpha")));
    Start();
    EXPECT_EQ(Project_Path, exe.File("PROJECTS/Alpha"));
    EXPECT_EQ(ParGen_File, exe.File("PROJECTS/Alpha/ParGen.xml"));
    EXPECT_EQ(Line1(), "Opened Configuration of the Converter : ");
    EXPECT_EQ(Line2(), "Alpha");
    M->close();
    EXPECT_EQ(Setting("lastproj", "projectname"), "Alpha");
    Destroy_Forms();

    // The folder is gone: nothing is open, the name is written back.
    QDir(exe.File("PROJECTS/Alpha")).removeRecursively();
    Start();
    EXPECT_TRUE(Project_Path.isEmpty());
    EXPECT_EQ(Line1(), "None Configuration Opened ");
    {
        ScriptedMessages msgs;
        msgs.Expect("Error! Project not Valid");
        M->Btn_Click(M->Btn_Prm_Gen);
    }
    M->close();
    EXPECT_EQ(Setting("lastproj", "projectname"), "Alpha");
    EXPECT_EQ(Setting("lastinternet", "enable_update"), "0");
}

TEST_F(MainWindow, NewAndOpenConfigurationSteps)
{
    Start();
    ScriptedModals modals;
    modals.Then([](TForm&) {
        FNew_Project->E_New_Proj->setText("Plant");
        FNew_Project->Btn_OK->Click();
    });
    M->Btn_Click(M->Btn_New);
    EXPECT_EQ(Project_Path, exe.File("PROJECTS/Plant"));
    EXPECT_EQ(Line1(), "Opened Configuration of the Converter : ");
    EXPECT_EQ(Line2(), "Plant");
    EXPECT_EQ(CAN_Rec_Frames_File, exe.File("PROJECTS/Plant/CAN_Rec_Frames.xml"));

    // With a configuration open the steps open their editors.
    modals.Then([](TForm& f) {
        EXPECT_EQ(&f, FParGen);
        f.SetModalResult(mrCancel);
    });
    M->Btn_Click(M->Btn_Prm_Gen);
    EXPECT_EQ(modals.opened.size(), 2u);
    modals.Then([](TForm& f) {
        EXPECT_EQ(&f, FLoRaWAN_Gateway);
        FLoRaWAN_Gateway->Btn_Cancel->Click();
    });
    M->Btn_Click(M->Btn_LoRaWAN_Access);
    EXPECT_EQ(modals.opened.size(), 3u);
    EXPECT_FALSE(QFileInfo::exists(LoRaWAN_Gateway_File));

    // Cancel of the new dialog changes nothing.
    modals.Then([](TForm&) { FNew_Project->Btn_Cancel->Click(); });
    M->Btn_Click(M->Btn_New);
    EXPECT_EQ(Project_Name, "Plant");

    ASSERT_TRUE(QDir().mkpath(exe.File("PROJECTS/Other")));
    modals.Then([](TForm&) {
        EXPECT_EQ(FOpenConf->Name_Conf, "Plant"); // the open one is preselected
        FOpenConf->ListBox1->setCurrentRow(0);
        FOpenConf->Btn_OK->Click();
    });
    M->Btn_Click(M->Btn_Open);
    EXPECT_EQ(Project_Name, "Other");
    EXPECT_EQ(Project_Path, exe.File("PROJECTS/Other"));
    EXPECT_EQ(ParGen_File, exe.File("PROJECTS/Other/ParGen.xml"));
    EXPECT_EQ(Line2(), "Other");

    // An empty PROJECTS folder: OK leaves no configuration open.
    QDir(exe.File("PROJECTS")).removeRecursively();
    QDir().mkpath(exe.File("PROJECTS"));
    modals.Then([](TForm&) { FOpenConf->Btn_OK->Click(); });
    M->Btn_Click(M->Btn_Open);
    EXPECT_TRUE(Project_Path.isEmpty());
    EXPECT_EQ(Line1(), "None Configuration Opened ");
    EXPECT_EQ(Line2(), "Use Step1 to open or create new configuration");
}

TEST_F(MainWindow, OptionsOkWritesSettingsAndSetsTimer)
{
    Settings("<Conf_Settings><lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update>"
             "</lastinternet></Conf_Settings>");
    Start();
    EXPECT_TRUE(M->Timer_Update_Enabled());
    EXPECT_EQ(M->Timer_Update_Interval(), 60000);

    ScriptedModals modals;
    modals.Then([](TForm&) {
        FSoftOptions->CB_En_Con->setChecked(false);
        FSoftOptions->Btn_OK->Click();
    });
    M->Btn_Click(M->Btn_Opz);
    EXPECT_FALSE(M->Timer_Update_Enabled());
    // Written at once, before any shutdown.
    EXPECT_EQ(Setting("lastinternet", "enable_internet"), "0");
    EXPECT_EQ(Setting("lastinternet", "enable_update"), "1");

    modals.Then([](TForm&) {
        FSoftOptions->CB_En_Con->setChecked(true);
        FSoftOptions->Btn_OK->Click();
    });
    M->Btn_Click(M->Btn_Opz);
    EXPECT_TRUE(M->Timer_Update_Enabled());
    EXPECT_EQ(Setting("lastinternet", "enable_internet"), "1");

    // Cancel writes nothing.
    QFile::remove(exe.File("Ferravante.xml"));
    modals.Then([](TForm&) { FSoftOptions->Btn_Cancel->Click(); });
    M->Btn_Click(M->Btn_Opz);
    EXPECT_FALSE(FileExists(exe.File("Ferravante.xml")));
}

TEST_F(MainWindow, LanguageSwitchRetextsEveryWindow)
{
    WriteTestFile(exe.File("LANGUAGE/Italiano.lng"), "STR9 = Nessuna Configurazione \r\nSTR11 = \xC2\xB6" "Configurazione : \xC2\xB6\r\n"
                                                     "STR15 = Nuova Configurazione\r\nSTR100 = Crea Configurazione\r\n"
                                                     "STR200 = Apri Configurazione\r\nSTR300 = Opzioni\r\n"
                                                     "STR1606 = Indirizzo IP\r\n");
    ASSERT_TRUE(QDir().mkpath(exe.File("PROJECTS/Plant")));
    Settings("<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj></Conf_Settings>");
    Start();
    ScriptedModals modals;
    ScriptedMessages msgs;
    msgs.Answer(mrYes);
    modals.Then([](TForm&) {
        FSoftOptions->LangClick(1);
        EXPECT_EQ(FSoftOptions->Caption(), "Opzioni");
        FSoftOptions->Btn_OK->Click();
    });
    M->Btn_Click(M->Btn_Opz);
    EXPECT_EQ(M->Btn_New->Caption(), "Nuova Configurazione");
    EXPECT_EQ(FNew_Project->Caption(), "Crea Configurazione");
    EXPECT_EQ(FOpenConf->Caption(), "Apri Configurazione");
    EXPECT_EQ(FBoot->L_IP_Address->text(), "Indirizzo IP");
    // The configuration lines keep the name with the new text.
    EXPECT_EQ(Line1(), "Configurazione : ");
    EXPECT_EQ(Line2(), "Plant");
    EXPECT_EQ(Language_Name, "Italiano");
    EXPECT_EQ(Setting("lastlang", "language"), "Italiano");
}

TEST_F(MainWindow, VersionCheckTick)
{
    Start();
    LocalHttpServer server;
    const QString site = Maker_Site();
    Set_Maker_Site(server.Site());
    server.Reply(200, "VER. 1.001");
    M->Timer_UpdateTimer();
    EXPECT_TRUE(M->LL_Update->isVisibleTo(M));
    EXPECT_EQ(M->LL_Update->text(), "<a href=\"" + server.Site() +
                                        "/Home/download/download.asp#PT52R08\">New Version Available. Click Here "
                                        "for more Details</a>");
    // Every tick re-arms the timer with the two-hour interval.
    EXPECT_TRUE(M->Timer_Update_Enabled());
    EXPECT_EQ(M->Timer_Update_Interval(), 7200000);

    server.Reply(200, "VER. 1.000");
    M->Timer_UpdateTimer();
    EXPECT_FALSE(M->LL_Update->isVisibleTo(M));
    server.Reply(404, "");
    M->Timer_UpdateTimer();
    EXPECT_FALSE(M->LL_Update->isVisibleTo(M));
    EXPECT_EQ(server.Requests().size(), 3u);
    Set_Maker_Site(site);

    RecordedLinks links;
    M->L_TolvexClick();
    ASSERT_EQ(links.opened.size(), 1u);
    EXPECT_EQ(links.opened[0], site + "/HOME/default.asp?frompg=KR52R08");
}

TEST_F(MainWindow, CloseAlwaysEndsEvenWhenSettingsCannotBeWritten)
{
    Start();
    M->show();
    QSignalSpy finished(M, &QDialog::finished);
    // A folder where the settings file should be: the write must fail.
    ASSERT_TRUE(QDir().mkpath(exe.File("Ferravante.xml")));
    ScriptedMessages msgs;
    msgs.Answer(mrOk);
    M->Btn_Close->Click();
    ASSERT_EQ(msgs.shown.size(), 1u);
    EXPECT_EQ(msgs.shown[0].type, TMsgDlgType::mtError);
    EXPECT_FALSE(M->isVisible());
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(MainWindow, UpdateDeviceBuildsImagesAtEveryClick)
{
    ASSERT_TRUE(QDir().mkpath(exe.File("PROJECTS/Plant/bin")));
    Settings("<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj></Conf_Settings>");
    Start();
    // Without its parameter file the build is refused, shown, and writes nothing.
    {
        ScriptedMessages msgs;
        msgs.Answer(mrOk);
        M->Btn_Click(M->Btn_CreateBin);
        ASSERT_EQ(msgs.shown.size(), 1u);
        EXPECT_EQ(msgs.shown[0].type, TMsgDlgType::mtError);
    }
    EXPECT_FALSE(FileExists(exe.File("PROJECTS/Plant/bin/bank1.bin")));

    ASSERT_TRUE(CopyFileTo(FixturePath("banks/bare/ParGen.xml"), exe.File("PROJECTS/Plant/ParGen.xml")));
    // The images are rebuilt at every click, before the update dialog opens in
    // its Ethernet mode, even when it is then closed without an update.
    ScriptedModals modals;
    for (int click = 0; click < 2; ++click) {
        QFile::remove(exe.File("PROJECTS/Plant/bin/bank1.bin"));
        modals.Then([&](TForm& f) {
            EXPECT_EQ(&f, FBoot);
            EXPECT_EQ(FBoot->Form_Type, Boot_Ethernet);
            EXPECT_EQ(QFileInfo(exe.File("PROJECTS/Plant/bin/bank1.bin")).size(), 2048);
            EXPECT_TRUE(FileExists(exe.File("PROJECTS/Plant/bin/bank2.bin")));
            FBoot->Btn_Cancel->Click();
        });
        M->Btn_Click(M->Btn_CreateBin);
    }
    EXPECT_EQ(modals.opened.size(), 2u);
}

TEST_F(MainWindow, BACnetTypeOfTheParameterFile)
{
    ASSERT_TRUE(QDir().mkpath(exe.File("PROJECTS/Plant")));
    Settings("<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj></Conf_Settings>");
    Start();
    EXPECT_EQ(M->Get_Type_BACnet(), 0); // no file
    const std::pair<const char*, int> cases[] = {
        {"<ParGen><BACnet_Type>3</BACnet_Type></ParGen>", 3},
        {"<Other><BACnet_Type>$10</BACnet_Type></Other>", 16},
        {"<ParGen><BACnet_Type>two</BACnet_Type></ParGen>", 0},
        {"<ParGen><Other>5</Other></ParGen>", 0},
        {"<ParGen><BACnet_Type>3</Par", 0},
    };
    for (const auto& [xml, type] : cases) {
        WriteTestFile(ParGen_File, xml);
        EXPECT_EQ(M->Get_Type_BACnet(), type) << xml;
    }
}
