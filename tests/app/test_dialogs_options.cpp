// Options dialog, version check, links.
#include "app/UAbout.h"
#include "app/UComon.h"
#include "app/USoftOptions.h"
#include "common/TestSupport.h"
#include "controls/PbButton.h"
#include "mainwin/LocalHttpServer.h"
#include "platform/Files.h"
#include "platform/Http.h"
#include "platform/Shell.h"
#include "common/SharedState.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {
// Points the maker's site at the local server for one test.
struct SiteScope {
    explicit SiteScope(const QString& site) : old(Maker_Site()) { Set_Maker_Site(site); }
    ~SiteScope() { Set_Maker_Site(old); }
    QString old;
};
} // namespace

TEST(VersionCheck, ConvVersion)
{
    const std::pair<const char*, int> cases[] = {
        {"1.000", 1000}, {"VER. 1.002", 1002}, {"VER. 0.000", 0}, {"ver.  2.345 ", 2345}, {"VER. 1.0A0", -1},
        {"VER. 2", -1}, {"VER. 2.01", -1}, {"", -1}, {"VER. x.abc", -1}, {"VER. -.123", -1}, {"9.999", 9999},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(Conv_Version(QString::fromUtf8(text)), value) << text;
}

// A reply is a version only in the exact form d.ddd after its first blank;
// anything near it is "no newer version".
TEST(VersionCheck, OnlyTheExactFormIsAVersion)
{
    const std::pair<const char*, bool> replies[] = {
        {"VER. 1.001", true},       {"VER. 9.999", true},        {"Ver. 1X001", false},     {"VER. 2.000 beta", false},
        {"2.000 beta", false},      {"VER. 1.0009", false},      {"VER. 2.0009", false},    {"VER. 12.000", false},
        {"VER. 2,000", false},      {"VER. 2.00", false},        {"VER. \xD9\xA2.000", false}, {"VER. 2.000.1", false},
        {"VER.  2.000 ", true},     {"VER. 2 .000", false},
    };
    for (const auto& [reply, newer] : replies) {
        EXPECT_EQ(Is_Newer_Version(QString::fromUtf8(reply)), newer) << reply;
        if (!newer) {
            EXPECT_NE(Conv_Version(QString::fromUtf8(reply)), 2000) << reply;
        }
    }
}

TEST(VersionCheck, RepliesAgainstLocalServer)
{
    LocalHttpServer server;
    SiteScope site(server.Site());
    const std::pair<const char*, bool> cases[] = {
        {"VER. 1.001", true}, {"  VER. 1.001\r\n", true}, {"VER. 2.000", true}, {"VER. 1.000", false},
        {"VER. 0.999", false}, {"VER. 0.000", false}, {"ver. 0.000", false}, {"", false}, {"VER. 2", false},
        {"VER. 1.00Z", false}, {"1.500", true},
    };
    for (const auto& [body, newer] : cases) {
        server.Reply(200, body);
        EXPECT_EQ(Query_Newer_Version(), newer) << body;
    }
    // Every query is one HTTP/1.0 GET of the service's path with the software code.
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), std::size(cases));
    EXPECT_EQ(requests.front(), "GET /home/download/GetversionSW.asp?nomesw=KR52R08 HTTP/1.0");
}

TEST(VersionCheck, FailuresMeanNoNewerVersion)
{
    LocalHttpServer server;
    {
        SiteScope site(server.Site());
        server.Reply(404, "VER. 9.999");
        EXPECT_FALSE(Query_Newer_Version()); // an error status gives an empty reply
        server.Reply(500, "VER. 9.999");
        EXPECT_FALSE(Query_Newer_Version());
    }
    // Nothing listens on this port once the server is gone.
    const int port = [] {
        LocalHttpServer gone;
        return gone.Port();
    }();
    SiteScope site(QStringLiteral("http://127.0.0.1:%1").arg(port));
    EXPECT_FALSE(Query_Newer_Version());
}

TEST(Http, TimeOutAndRefusedSchemes)
{
    LocalHttpServer server;
    server.Silent();
    const HttpReply r = HttpGet(server.Site() + "/x", 300);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.body.isEmpty());
    EXPECT_FALSE(r.error.isEmpty());

    EXPECT_FALSE(HttpGet("file:///etc/passwd").ok);
    EXPECT_FALSE(HttpGet("ftp://127.0.0.1/").ok);
}

TEST(Http, OversizedBodyIsRefused)
{
    LocalHttpServer server;
    server.Reply(200, QByteArray(HttpMaxBody + 1, 'x'));
    EXPECT_FALSE(HttpGet(server.Site() + "/big").ok);
    server.Reply(200, "small");
    const HttpReply ok = HttpGet(server.Site() + "/small");
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(ok.body, "small");
    EXPECT_EQ(ok.status, 200);
}

TEST(Shell, OnlyWebAndMailLinksAreOpened)
{
    RecordedLinks links;
    const std::pair<const char*, bool> cases[] = {
        {"http://www.example.com/a", true}, {"HTTPS://example.com", true}, {"mailto:someone@example.com", true},
        {"file:///etc/passwd", false}, {"/usr/bin/xterm", false}, {"javascript:alert(1)", false},
        {"ftp://example.com", false}, {"http://", false}, {"", false}, {"mailto:", false},
    };
    for (const auto& [url, accepted] : cases) EXPECT_EQ(ShellOpenLink(QString::fromUtf8(url)), accepted) << url;
    EXPECT_EQ(links.opened.size(), 3u);
}

TEST(VersionCheck, MakerPages)
{
    SiteScope site("http://host.test");
    EXPECT_EQ(Maker_Home_Page(), "http://host.test/HOME/default.asp?frompg=KR52R08");
    EXPECT_EQ(Maker_Download_Page(), "http://host.test/Home/download/download.asp#PT52R08");
}

// ---- options dialog ------------------------------------------------------------

namespace {

class OptionsDialog : public SharedStateTest {
protected:
    void SetUp() override
    {
        Set_Program_Folders();
        Language_Name = "English";
        Enable_Internet = Enable_Update = Enable_Jump_Field_Tables = Double_Click_Auto_Size = false;
        Load_Language();
    }
    void Lng(const QString& name, const QByteArray& body = "STR0 = x\r\n")
    {
        WriteTestFile(PathJoin(Language_Path, name), body);
    }
    static void Flag(const QString& path, QColor c)
    {
        QImage img(20, 12, QImage::Format_RGB32);
        img.fill(c);
        ASSERT_TRUE(img.save(path, "BMP"));
    }
    static QStringList Shown(TFSoftOptions& d)
    {
        QStringList r;
        for (int i = 0; i < 6; ++i)
            if (d.L_L[i]->isVisibleTo(&d)) r << d.L_L[i]->text();
        return r;
    }

    TempExeFolder exe;
};

} // namespace

TEST_F(OptionsDialog, LanguagePagesWithSevenFiles)
{
    for (const char* n : {"English.lng", "italiano.lng", "Deutsch.LNG", "Francais.lng", "Espanol.lng", "Polski.lng",
                          "Svenska.lng"})
        Lng(n);
    Lng("notes.txt");
    QDir(Language_Path).mkdir("Folder.lng"); // a folder is no language file
    Lng("ReadOnly.lng");
    QFile::setPermissions(PathJoin(Language_Path, "ReadOnly.lng"), QFile::ReadOwner | QFile::ReadGroup);
    Flag(PathJoin(Language_Path, "Deutsch.bmp"), Qt::black);

    TFSoftOptions d;
    ScriptedModals modals;
    modals.Then([&](TForm&) {
        EXPECT_EQ(d.SL_Languages, (QStringList{"Deutsch.LNG", "English.lng", "Espanol.lng", "Francais.lng",
                                               "italiano.lng", "Polski.lng", "ReadOnly.lng", "Svenska.lng"}));
        EXPECT_EQ(d.PC_Options->currentWidget(), d.TS_Language);
        EXPECT_EQ(Shown(d), (QStringList{"Deutsch", "English", "Espanol", "Francais", "italiano", "Polski"}));
        EXPECT_EQ(d.L_Page_Lang->text(), "Page 1 / 2");
        EXPECT_EQ(d.L_Sel_Lang->text(), "Selected Language : English");
        EXPECT_FALSE(d.Btn_Prev->isVisibleTo(&d));
        EXPECT_TRUE(d.Btn_Next->isVisibleTo(&d));
        // Own flag, else no picture (no DefaultFlag.bmp yet).
        EXPECT_TRUE(d.I_L[0]->isVisibleTo(&d));
        EXPECT_FALSE(d.I_L[1]->isVisibleTo(&d));

        d.Btn_Next->Click();
        EXPECT_EQ(d.Show_Page, 2);
        EXPECT_EQ(Shown(d), (QStringList{"ReadOnly", "Svenska"}));
        EXPECT_EQ(d.L_Page_Lang->text(), "Page 2 / 2");
        EXPECT_TRUE(d.Btn_Prev->isVisibleTo(&d));
        EXPECT_FALSE(d.Btn_Next->isVisibleTo(&d));
        d.Btn_NextClick(d.Btn_Next); // beyond the last page: stays
        EXPECT_EQ(d.Show_Page, 2);
        d.Btn_Prev->Click();
        EXPECT_EQ(d.Show_Page, 1);
        d.Btn_Cancel->Click();
    });
    d.ShowModal();

    // The default flag serves languages without one of their own.
    Flag(PathJoin(Language_Path, "DefaultFlag.bmp"), Qt::red);
    modals.Then([&](TForm&) {
        EXPECT_TRUE(d.I_L[1]->isVisibleTo(&d));
        d.Btn_Cancel->Click();
    });
    d.ShowModal();
}

TEST_F(OptionsDialog, EmptyLanguageFolder)
{
    TFSoftOptions d;
    ScriptedModals modals;
    modals.Then([&](TForm&) {
        EXPECT_TRUE(Shown(d).isEmpty());
        EXPECT_EQ(d.L_Page_Lang->text(), "Page 1 / 0");
        EXPECT_FALSE(d.Btn_Prev->isVisibleTo(&d));
        EXPECT_TRUE(d.Btn_Next->isVisibleTo(&d));
        d.Btn_Next->Click(); // no effect
        EXPECT_EQ(d.Show_Page, 1);
        d.LangClick(1); // an empty slot does nothing
        d.Btn_Cancel->Click();
    });
    d.ShowModal();
}

TEST_F(OptionsDialog, CheckBoxRulesAndOk)
{
    Enable_Internet = true;
    Enable_Update = true;
    TFSoftOptions d;
    ScriptedModals modals;
    modals.Then([&](TForm&) {
        EXPECT_TRUE(d.CB_En_Con->isChecked());
        EXPECT_TRUE(d.CB_Update->isEnabled());
        EXPECT_TRUE(d.Btn_Check_Update->isEnabled());
        d.CB_Update->setChecked(false);
        EXPECT_FALSE(d.Btn_Check_Update->isEnabled());
        d.CB_Update->setChecked(true);
        // Unticking the connection disables the update box but keeps its tick.
        d.CB_En_Con->setChecked(false);
        EXPECT_FALSE(d.CB_Update->isEnabled());
        EXPECT_TRUE(d.CB_Update->isChecked());
        EXPECT_FALSE(d.Btn_Check_Update->isEnabled());
        d.CB_Soft_Set_Jump_Table->setChecked(true);
        d.Btn_OK->Click();
    });
    EXPECT_EQ(d.ShowModal(), mrOk);
    EXPECT_FALSE(Enable_Internet);
    EXPECT_TRUE(Enable_Update);
    EXPECT_TRUE(Enable_Jump_Field_Tables);
    EXPECT_FALSE(Double_Click_Auto_Size);

    // Cancel stores nothing.
    modals.Then([&](TForm&) {
        EXPECT_FALSE(d.CB_En_Con->isChecked());
        d.CB_En_Con->setChecked(true);
        d.CB_DoubleClick_Auto_Size->setChecked(true);
        d.Btn_Cancel->Click();
    });
    EXPECT_EQ(d.ShowModal(), mrCancel);
    EXPECT_FALSE(Enable_Internet);
    EXPECT_FALSE(Double_Click_Auto_Size);
}

TEST_F(OptionsDialog, LanguageSwitchThenCancelOrOk)
{
    Lng("English.lng", "");
    Lng("Italiano.lng", "STR300 = Opzioni Software\r\nSTR304 = Lingua Selezionata : \r\nSTR312 = Conferma\r\n");
    TFSoftOptions d;
    int retexted = 0;
    d.OnChange_Language = [&] {
        ++retexted;
        d.Set_Lang();
    };
    ScriptedModals modals;
    ScriptedMessages msgs;

    // No: nothing changes.
    msgs.Expect("Do you want to change the Language from English to Italiano?", mrNo);
    // Yes: the texts switch at once; Cancel puts the stored language back.
    msgs.Expect("Do you want to change the Language from English to Italiano?", mrYes);
    modals.Then([&](TForm&) {
        d.LangClick(2);
        EXPECT_EQ(retexted, 0);
        EXPECT_EQ(d.Caption(), "Software Options");
        d.LangClick(2);
        EXPECT_EQ(retexted, 1);
        EXPECT_EQ(d.Language_In_Use, "Italiano");
        EXPECT_EQ(Language_Name, "English"); // stored only by OK
        EXPECT_EQ(d.Caption(), "Opzioni Software");
        EXPECT_EQ(d.L_Sel_Lang->text(), "Lingua Selezionata :Italiano"); // texts are read trimmed
        d.Btn_Cancel->Click();
    });
    d.ShowModal();
    EXPECT_EQ(retexted, 2);
    EXPECT_EQ(SL_Lang[300], "Software Options");
    EXPECT_EQ(d.Caption(), "Software Options");
    EXPECT_EQ(Language_Name, "English");

    // Choosing the language in use still asks and reloads; OK stores it.
    msgs.Expect("Do you want to change the Language from English to Italiano?", mrYes);
    msgs.Expect("Do you want to change the Language from Italiano to Italiano?", mrYes);
    modals.Then([&](TForm&) {
        d.LangClick(2);
        d.LangClick(2);
        EXPECT_EQ(retexted, 4);
        d.Btn_OK->Click();
    });
    EXPECT_EQ(d.ShowModal(), mrOk);
    EXPECT_EQ(Language_Name, "Italiano");
    EXPECT_EQ(SL_Lang[312], "Conferma");
    EXPECT_EQ(retexted, 4);
}

TEST_F(OptionsDialog, ManualVersionCheck)
{
    LocalHttpServer server;
    SiteScope site(server.Site());
    Enable_Internet = Enable_Update = true;
    TFSoftOptions d;
    RecordedLinks links;
    ScriptedModals modals;
    modals.Then([&](TForm&) {
        EXPECT_FALSE(d.LL_Check_Update->isVisibleTo(&d));
        d.PC_Options->setCurrentWidget(d.TS_Con_Options);
        server.Reply(200, "VER. 1.001");
        d.Btn_Check_Update->Click();
        EXPECT_TRUE(d.LL_Check_Update->isVisibleTo(&d));
        EXPECT_EQ(d.LL_Check_Update->text(), "<a href=\"" + server.Site() +
                                                 "/Home/download/download.asp#PT52R08\">New Version Available. "
                                                 "Click Here for more Details</a>");
        d.LL_Check_Update->linkActivated(server.Site() + "/Home/download/download.asp#PT52R08");
        server.Reply(200, "VER. 1.000");
        d.Btn_Check_Update->Click();
        EXPECT_EQ(d.LL_Check_Update->text(), "No Update Available");
        d.Btn_Cancel->Click();
    });
    d.ShowModal();
    ASSERT_EQ(links.opened.size(), 1u);
    EXPECT_EQ(links.opened[0], server.Site() + "/Home/download/download.asp#PT52R08");
}

TEST(AboutBox, IdentityAndHomePage)
{
    TFAbout about;
    RecordedLinks links;
    ScriptedModals modals;
    modals.Then([&](TForm&) {
        EXPECT_EQ(about.Label2->text(), "CAN / LoRaWAN Gateway - Converter");
        EXPECT_EQ(about.Label9->text(), "KR52R08");
        EXPECT_EQ(about.Label10->text(), "1.000");
        EXPECT_EQ(about.Label12->text(), "ZL52R08");
        EXPECT_EQ(about.ClientWidth(), 425);
        EXPECT_EQ(about.ClientHeight(), 148);
        about.Label4Click();
        about.PbButton1->Click();
    });
    EXPECT_EQ(about.ShowModal(), mrOk);
    ASSERT_EQ(links.opened.size(), 1u);
    EXPECT_EQ(links.opened[0], Maker_Home_Page());
    EXPECT_TRUE(links.opened[0].endsWith("/HOME/default.asp?frompg=KR52R08"));

    // The maker's name stays whole inside the logo: no white text pixel in
    // the outer columns.
    const QImage logo = about.Image2->pixmap().toImage();
    ASSERT_FALSE(logo.isNull());
    int edgeText = 0;
    for (int y = 0; y < logo.height() - 8; ++y)
        for (int x : {0, 1, 2, 3, logo.width() - 4, logo.width() - 3, logo.width() - 2, logo.width() - 1})
            if (QColor(logo.pixel(x, y)).red() > 200) ++edgeText;
    EXPECT_EQ(edgeText, 0);
}
