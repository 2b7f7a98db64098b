// The update dialog: its layouts, the octet edits, the update with a scripted
// device and a stand-in updater written by the test, and the failures.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "common/TestSupport.h"
#include "controls/PbButton.h"
#include "gateway/UBoot.h"
#include "grid/ExtCGrid.h"
#include "platform/GridsWidget.h"
#include "platform/Files.h"
#include "platform/XmlDoc.h"
#include "common/SharedState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A device that answers every request, or none, on a clock that moves only
// while the check waits. Never touches the network.
class FakeDevice : public IcmpEchoTransport {
public:
    enum Mode { Answers, Silent, SendFails, NoSocket } mode = Answers;

    void SendEcho(uint32_t address, const QByteArray& data) override
    {
        ++sends;
        lastAddress = address;
        lastData = data;
        if (mode == SendFails) throw EIcmpError("send failed");
        if (mode == NoSocket) throw EIcmpUnavailable("This system does not allow ICMP echo requests.");
        m_pending = mode == Answers;
    }
    int WaitReply(int waitMs) override
    {
        now += waitMs;
        if (!m_pending) return -1;
        m_pending = false;
        return 8 + int(lastData.size());
    }
    TEcho_Clock Clock()
    {
        return {[this] { return now; },
                [this] {
                    if (duringWait) duringWait();
                }};
    }

    int sends = 0;
    uint32_t lastAddress = 0;
    QByteArray lastData;
    int64_t now = 0;
    std::function<void()> duringWait;

private:
    bool m_pending = false;
};

// Keeps the shared state the dialog reads and writes, and puts it back.
struct SavedState {
    QString exe = Exe_Path, master = Master_Path, project = Project_Path, code = SW_Code, ip = Last_IP_Address;
    int32_t option = Update_Option_Index;
    bool readBack = Update_Read_Back;
    ~SavedState()
    {
        Exe_Path = exe;
        Master_Path = master;
        Project_Path = project;
        SW_Code = code;
        Last_IP_Address = ip;
        Update_Option_Index = option;
        Update_Read_Back = readBack;
    }
};

class BootDialog : public SharedStateTest {
protected:
    void SetUp() override
    {
        Load_Default_Texts();
        Exe_Path = exe.Path();
        Master_Path = PathJoin(Exe_Path, "MASTER");
        Project_Path = PathJoin(Exe_Path, "PROJECTS", "Plant 1");
        SW_Code = "KR52R08";
        Last_IP_Address = "192.168.2.205";
        Update_Option_Index = 0;
        Update_Read_Back = true;
        dlg = std::make_unique<TFBoot>();
        device = new FakeDevice;
        dlg->Ping.reset(device);
        dlg->Ping_Clock = device->Clock();
    }
    void TearDown() override { dlg.reset(); }

    // A stand-in updater: a script that notes how it was run.
    void WriteUpdater(const QString& extra = QString())
    {
        const QString script = QStringLiteral(
                                   "#!/bin/sh\n"
                                   "{ echo \"args=$#\"; echo \"pwd=$(pwd -P)\";\n"
                                   "  if [ -f Ethernet_Update.xml ]; then echo job=yes; else echo job=no; fi; } >> '%1'\n")
                                   .arg(LogPath())
                               + extra;
        WriteTestFile(exe.File("Ethernet_Update.exe"), script.toUtf8());
        QFile::setPermissions(exe.File("Ethernet_Update.exe"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QString LogPath() const { return exe.File("updater.log"); }
    QStringList UpdaterRuns() const
    {
        QFile f(LogPath());
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    void SetOctets(const char* a, const char* b, const char* c, const char* d)
    {
        dlg->E_IP1->setText(a);
        dlg->E_IP2->setText(b);
        dlg->E_IP3->setText(c);
        dlg->E_IP4->setText(d);
    }

    SavedState saved;
    TempExeFolder exe;
    std::unique_ptr<TFBoot> dlg;
    FakeDevice* device = nullptr; // owned by the dialog
};

} // namespace

TEST_F(BootDialog, EthernetLayoutShowsTheStoredAddressAndOptions)
{
    Last_IP_Address = "10.1.2.3";
    Update_Option_Index = 2;
    Update_Read_Back = false;
    dlg->show();
    EXPECT_EQ(dlg->Caption(), "Update Device by Ethernet (UDP)");
    EXPECT_EQ(dlg->L_SW_Desc->text(), "Update Device Using the Ethernet Port");
    EXPECT_EQ(dlg->L_SW_Code->text(), "KR52R08");
    EXPECT_EQ(dlg->L_IP_Address->text(), "Insert the IP Address of Device");
    EXPECT_EQ(dlg->ClientWidth(), 449);
    EXPECT_EQ(dlg->ClientHeight(), 230);
    EXPECT_TRUE(dlg->P_IP_Address->isVisible());
    EXPECT_TRUE(dlg->P_Options->isVisible());
    EXPECT_FALSE(dlg->P_Serial->isVisible());
    EXPECT_FALSE(dlg->P_Eth_Search->isVisible());
    EXPECT_EQ(dlg->P_IP_Address->geometry(), QRect(0, 69, 449, 49));
    EXPECT_EQ(dlg->P_Options->geometry(), QRect(0, 118, 449, 72));
    EXPECT_EQ(dlg->P_Button->geometry(), QRect(0, 190, 449, 40));
    EXPECT_EQ(dlg->Btn_Update->size(), QSize(228, 28));
    EXPECT_EQ(dlg->Btn_Cancel->size(), QSize(110, 28));
    EXPECT_EQ(dlg->Btn_Update->Caption(), "Execute Update Firmware");
    EXPECT_EQ(dlg->E_IP1->text(), "10");
    EXPECT_EQ(dlg->E_IP4->text(), "3");
    EXPECT_EQ(dlg->E_IP2->toolTip(), "Insert second byte of IP Address");
    ASSERT_EQ(dlg->CB_Update_Options->count(), 3);
    EXPECT_EQ(dlg->CB_Update_Options->itemText(0), "Firmware + Configuration");
    EXPECT_EQ(dlg->CB_Update_Options->itemText(2), "Configuration");
    EXPECT_EQ(dlg->CB_Update_Options->currentIndex(), 2);
    EXPECT_FALSE(dlg->CB_Update_Option_Read_Back->isChecked());
    EXPECT_EQ(dlg->CB_Update_Option_Read_Back->text(), "Read Back");

    // A stored text that is no address leaves the edits as they are.
    dlg->hide();
    Last_IP_Address = "1.2.3";
    dlg->show();
    EXPECT_EQ(dlg->E_IP1->text(), "10");
    EXPECT_EQ(dlg->E_IP4->text(), "3");
}

TEST_F(BootDialog, DeviceListIsAHiddenTwoColumnGridRetextedByTheLanguage)
{
    dlg->show();
    TExtColumnGrid& g = dlg->ACG_List_Devices();
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.Cells(0, 0), "IP Address");
    EXPECT_EQ(g.Cells(1, 0), "MAC Address");
    ASSERT_NE(g.Widget(), nullptr);
    EXPECT_EQ(g.Widget()->toolTip(), "Select a device in the list");
    EXPECT_EQ(g.Widget()->parentWidget(), dlg->P_Eth_Search);
    EXPECT_FALSE(g.Widget()->isVisible());
    SL_Lang.Set(1611, "IP");
    SL_Lang.Set(1630, "Pick one");
    dlg->Set_Lang();
    EXPECT_EQ(g.Cells(0, 0), "IP");
    EXPECT_EQ(g.Widget()->toolTip(), "Pick one");
}

TEST_F(BootDialog, DotsMoveOnToTheNextOctet)
{
    // The edits hold the stored address; typing over them replaces each octet.
    Last_IP_Address = "10.1.22.3";
    dlg->show();
    QApplication::setActiveWindow(dlg.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    ASSERT_TRUE(dlg->E_IP1->hasFocus());
    for (QChar ch : QStringLiteral("192.168.2.205.")) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, ch.toLatin1());
    }
    EXPECT_EQ(dlg->E_IP1->text(), "192");
    EXPECT_EQ(dlg->E_IP2->text(), "168");
    EXPECT_EQ(dlg->E_IP3->text(), "2");
    EXPECT_EQ(dlg->E_IP4->text(), "205"); // the last dot is discarded
    EXPECT_TRUE(dlg->E_IP4->hasFocus());
    // Other keys are not filtered.
    QTest::keyClicks(dlg->E_IP4, "x");
    EXPECT_EQ(dlg->E_IP4->text(), "205x");
}

TEST_F(BootDialog, UpdateChecksStoresWritesTheJobAndRunsTheUpdater)
{
    WriteUpdater();
    dlg->show();
    SetOctets(" 192", "168", "2 ", "205");
    dlg->CB_Update_Options->setCurrentIndex(Update_Configuration);
    dlg->CB_Update_Option_Read_Back->setChecked(false);
    dlg->Btn_Update->Click();

    EXPECT_EQ(device->sends, 2);
    EXPECT_EQ(device->lastAddress, 0xC0A802CDu);
    EXPECT_EQ(device->lastData, QByteArray("192.168.2.205"));
    EXPECT_EQ(Last_IP_Address, "192.168.2.205");
    EXPECT_EQ(Update_Option_Index, Update_Configuration);
    EXPECT_FALSE(Update_Read_Back);

    TXMLDocument job;
    job.LoadFromFile(exe.File("Ethernet_Update.xml"));
    const XmlNode root = job.FirstNode();
    EXPECT_EQ(root.NodeName(), "Ethernet_Update");
    EXPECT_EQ(root.FindChild("IP_Address_Dev").Text(), "192.168.2.205");
    const std::vector<XmlNode> ops = root.FindChild("Operations").ChildElements();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].FindChild("Ope_FileName").Text(), PathJoin(Project_Path, "bin", "bank1.bin"));
    EXPECT_EQ(ops[1].FindChild("Ope_Read_Back").Text(), "0");

    const QString folder = QFileInfo(exe.Path()).canonicalFilePath();
    EXPECT_EQ(UpdaterRuns(), QStringList({"args=0", "pwd=" + folder, "job=yes"}));
    // The dialog stays open, ready for another update.
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->ModalResult(), 0);
    EXPECT_TRUE(dlg->Btn_Update->isEnabled());
    EXPECT_FALSE(dlg->Busy());

    // An independent parser reads the job file; without it the check fails
    // rather than passing unseen (scripts/deps.sh installs it).
    ASSERT_FALSE(QStandardPaths::findExecutable("xmllint").isEmpty()) << "xmllint is missing (libxml2-utils)";
    EXPECT_EQ(QProcess::execute("xmllint", {"--noout", exe.File("Ethernet_Update.xml")}), 0);
}

TEST_F(BootDialog, FailedChecksShowTheirMessageAndChangeNothing)
{
    struct Case {
        const char* name;
        FakeDevice::Mode mode;
        const char* octets[4];
        const char* message;
        TMsgDlgType type;
        bool sends;
    };
    const Case cases[] = {
        {"device silent", FakeDevice::Silent, {"192", "168", "2", "205"}, "Device Not Found!", TMsgDlgType::mtWarning, true},
        {"octet above 255", FakeDevice::Answers, {"192", "168", "1", "300"}, "Error!!! Check the Ip Address",
         TMsgDlgType::mtError, false},
        {"a name", FakeDevice::Answers, {"localhost", "", "", ""}, "Error!!! Check the Ip Address", TMsgDlgType::mtError,
         false},
        {"empty octet", FakeDevice::Answers, {"10", "", "0", "1"}, "Error!!! Check the Ip Address", TMsgDlgType::mtError,
         false},
        {"send fails", FakeDevice::SendFails, {"10", "0", "0", "1"}, "Error!!! Check the Ip Address", TMsgDlgType::mtError,
         true},
        {"no ICMP socket allowed", FakeDevice::NoSocket, {"10", "0", "0", "1"},
         "This system does not allow ICMP echo requests.", TMsgDlgType::mtError, true},
    };
    WriteUpdater();
    dlg->show();
    for (const Case& c : cases) {
        device->mode = c.mode;
        device->sends = 0;
        SetOctets(c.octets[0], c.octets[1], c.octets[2], c.octets[3]);
        dlg->CB_Update_Options->setCurrentIndex(Update_Firmware);
        {
            ScriptedMessages boxes;
            boxes.Expect(c.message);
            dlg->Btn_Update->Click();
            ASSERT_EQ(boxes.shown.size(), 1u) << c.name;
            EXPECT_EQ(boxes.shown[0].type, c.type) << c.name;
        }
        EXPECT_EQ(device->sends > 0, c.sends) << c.name;
        EXPECT_EQ(Last_IP_Address, "192.168.2.205") << c.name;
        EXPECT_EQ(Update_Option_Index, 0) << c.name;
        EXPECT_FALSE(FileExists(exe.File("Ethernet_Update.xml"))) << c.name;
        EXPECT_TRUE(UpdaterRuns().isEmpty()) << c.name;
        EXPECT_TRUE(dlg->Btn_Update->isEnabled()) << c.name;
    }
}

TEST_F(BootDialog, UpdaterThatCannotStartIsReported)
{
    dlg->show();
    ScriptedMessages boxes;
    boxes.Answer(mrOk);
    dlg->Btn_Update->Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].type, TMsgDlgType::mtError);
    EXPECT_TRUE(boxes.shown[0].text.contains("Ethernet_Update.exe")) << boxes.shown[0].text.toStdString();
    EXPECT_TRUE(FileExists(exe.File("Ethernet_Update.xml")));
}

TEST_F(BootDialog, JobFileThatCannotBeWrittenStopsTheUpdate)
{
    WriteUpdater();
    ASSERT_TRUE(QDir(exe.Path()).mkdir("Ethernet_Update.xml")); // a folder stands in the file's place
    dlg->show();
    ScriptedMessages boxes;
    boxes.Answer(mrOk);
    dlg->Btn_Update->Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].type, TMsgDlgType::mtError);
    EXPECT_TRUE(UpdaterRuns().isEmpty()) << "the updater ran without its job file";
}

TEST_F(BootDialog, NothingStartsTwiceWhileBusy)
{
    // The updater takes a while; meanwhile a timer tries to start again.
    WriteUpdater("sleep 0.3\n");
    dlg->show();
    int checksDuringWait = 0;
    device->duringWait = [&] {
        ++checksDuringWait;
        EXPECT_FALSE(dlg->Btn_Update->isEnabled());
        EXPECT_FALSE(dlg->Btn_Cancel->isEnabled());
        const int before = device->sends;
        dlg->Btn_UpdateClick();
        EXPECT_EQ(device->sends, before) << "a second check started";
        dlg->close();
        EXPECT_TRUE(dlg->isVisible()) << "the dialog closed during the check";
    };
    device->mode = FakeDevice::Silent; // waits long enough for the hook to run
    {
        ScriptedMessages boxes;
        boxes.Expect("Device Not Found!");
        dlg->Btn_Update->Click();
    }
    EXPECT_GT(checksDuringWait, 0);

    device->duringWait = nullptr;
    device->mode = FakeDevice::Answers;
    int triesDuringUpdater = 0;
    QTimer poke;
    poke.setInterval(50);
    QObject::connect(&poke, &QTimer::timeout, [&] {
        ++triesDuringUpdater;
        EXPECT_FALSE(dlg->Btn_Update->isEnabled());
        dlg->Btn_UpdateClick();
        dlg->close();
    });
    poke.start();
    dlg->Btn_Update->Click();
    poke.stop();
    EXPECT_GT(triesDuringUpdater, 0);
    EXPECT_EQ(UpdaterRuns().size(), 3) << "the updater ran more than once";
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->Btn_Update->isEnabled());
}

TEST_F(BootDialog, SerialModeStoresTheOptionsOnly)
{
    dlg->Form_Type = Boot_Serial;
    dlg->show();
    EXPECT_EQ(dlg->Caption(), "Update Device by Serial");
    EXPECT_EQ(dlg->L_SW_Desc->text(), "Update Device Using the Serial Port");
    EXPECT_TRUE(dlg->P_Serial->isVisible());
    EXPECT_TRUE(dlg->P_Options->isVisible());
    EXPECT_FALSE(dlg->P_IP_Address->isVisible());
    EXPECT_EQ(dlg->P_Serial->y(), 69);
    EXPECT_EQ(dlg->P_Options->y(), 120);
    EXPECT_EQ(dlg->ClientHeight(), 232);
    const QStringList ports = List_COM_Ports();
    ASSERT_EQ(dlg->CB_COM_Port->count(), ports.size());
    for (int i = 0; i < ports.size(); ++i) EXPECT_EQ(dlg->CB_COM_Port->itemText(i), ports[i]);
    EXPECT_EQ(dlg->CB_COM_Port->currentIndex(), ports.isEmpty() ? -1 : 0);

    dlg->CB_Update_Options->setCurrentIndex(Update_Firmware);
    dlg->CB_Update_Option_Read_Back->setChecked(false);
    dlg->Btn_Update->Click();
    EXPECT_EQ(Update_Option_Index, Update_Firmware);
    EXPECT_FALSE(Update_Read_Back);
    EXPECT_EQ(device->sends, 0);
    EXPECT_FALSE(FileExists(exe.File("Ethernet_Update.xml")));
}

TEST_F(BootDialog, UsbModeShowsNoMiddlePanel)
{
    dlg->Form_Type = Boot_USB;
    dlg->show();
    EXPECT_EQ(dlg->Caption(), "Update Device by USB");
    EXPECT_EQ(dlg->L_SW_Desc->text(), "Update Device Using the USB Port");
    for (QWidget* p : {dlg->P_IP_Address, dlg->P_Options, dlg->P_Serial, dlg->P_Eth_Search}) EXPECT_FALSE(p->isVisible());
    EXPECT_TRUE(dlg->P_Button->isVisible());
}

TEST_F(BootDialog, CancelClosesWithTheCancelResult)
{
    ScriptedModals modals;
    modals.Then([&](TForm& f) {
        EXPECT_TRUE(dlg->P_IP_Address->isVisible());
        dlg->Btn_Cancel->Click();
    });
    EXPECT_EQ(dlg->ShowModal(), mrCancel);
}

TEST_F(BootDialog, RealCheckOfLoopbackRunsTheUpdate)
{
    try {
        IcmpClient probe;
        probe.Open();
    } catch (const EIcmpUnavailable& e) {
        GTEST_SKIP() << e.what();
    }
    // The dialog's own client and the system clock.
    dlg->Ping.reset();
    dlg->Ping_Clock = {};
    device = nullptr;
    WriteUpdater();
    dlg->show();
    SetOctets("127", "0", "0", "1");
    dlg->Btn_Update->Click();
    EXPECT_EQ(dlg->ping_res, Ping_Data);
    EXPECT_EQ(Last_IP_Address, "127.0.0.1");
    EXPECT_EQ(UpdaterRuns().size(), 3);
}
