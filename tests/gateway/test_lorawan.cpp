// The LoRaWAN gateway editor: its checks with the exact messages, the file it
// writes and reads, and the window (devices with their rules, the activation
// rule, end-node mode, OK).
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "controls/PbButton.h"
#include "gateway/ULoRaWAN_Gateway.h"
#include "gateway/USaveBincc.h"
#include "grid/ExtCGrid.h"
#include "grid/ExtGridEditors.h"
#include "platform/GridsWidget.h"
#include "platform/XmlDoc.h"

#include "../common/SharedState.h"
#include "../common/TestSupport.h"

#include <QLabel>
#include <QProcess>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

const QString EUI = QStringLiteral("0011223344556677");
const QString KEY = QStringLiteral("000102030405060708090A0B0C0D0E0F");

TDeviceList Devices(int n = LoRaWAN_Max_Devices)
{
    TDeviceList list;
    for (int i = 0; i < n; ++i) list.push_back(std::make_unique<TDeviceLoRa>());
    return list;
}

// A device that passes the check (OTAA).
void Good_Device(TDeviceLoRa& d, const QString& eui = EUI)
{
    d.SetDeviceEUI(eui);
    d.SetJoinEUI(QStringLiteral("70B3D57ED0000001"));
    d.SetActMethod(LoRaWAN_OTAA);
    d.SetAppKey(KEY);
    d.SetDevAdd(QStringLiteral("260B1234"));
    d.SetDiagTimeOut(QStringLiteral("0"));
}

std::unique_ptr<TRuleLoRa> Up(const QString& port, const QString& start, const QString& num, const QString& pos)
{
    auto r = std::make_unique<TRuleLoRa>();
    r->SetPort(port);
    r->SetStartBit(start);
    r->SetNumBits(num);
    r->SetPosBit(pos);
    return r;
}

void Lint(const QString& path)
{
    QProcess lint;
    lint.start("xmllint", {"--noout", path});
    ASSERT_TRUE(lint.waitForFinished());
    EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().toStdString();
}

class LoRaTables : public SharedStateTest {
protected:
    void SetUp() override { Load_Default_Texts(); }
};

TEST_F(LoRaTables, RX2ItemsFollowTheBandExactly)
{
    EXPECT_EQ(RX2_Items("US915"), QStringList({"SF12BW500", "SF11BW500", "SF10BW500", "SF9BW500", "SF8BW500", "SF7BW500", ""}));
    for (const char* band : {"us915", "US915 ", "EU868", ""}) {
        SCOPED_TRACE(band);
        EXPECT_EQ(RX2_Items(band).size(), 8);
        EXPECT_EQ(RX2_Items(band)[6], "SF7BW250");
    }
}

TEST_F(LoRaTables, CheckStringHexAnswersLengthThenCharacters)
{
    EXPECT_EQ(CheckStringHex(" 0011aabbccddeeff ", 16), 0);
    EXPECT_EQ(CheckStringHex("0011", 16), 1);
    EXPECT_EQ(CheckStringHex("0011AABBCCDDEEFG", 16), 2);
    EXPECT_EQ(CheckStringHex("", 32), 1);
}

TEST_F(LoRaTables, DeviceChecksGiveTheExactMessages)
{
    struct Case {
        std::function<void(TDeviceLoRa&)> change;
        const char* message;
    };
    const Case cases[] = {
        {[](TDeviceLoRa&) {}, ""},
        {[](TDeviceLoRa& d) { d.SetDeviceEUI(" 0011aabbccddeeff "); }, ""},
        {[](TDeviceLoRa& d) { d.SetDeviceEUI("0011"); }, "Error Device 1!! Device EUI must have 8 bytes (16 characters)"},
        {[](TDeviceLoRa& d) { d.SetDeviceEUI("001122334455667X"); },
         "Error Device 1!! Device EUI must have only valid chatacter (0..9 and A..F)"},
        {[](TDeviceLoRa& d) { d.SetJoinEUI(""); }, "Error Device 1!! Join EUI must have 8 bytes (16 characters)"},
        {[](TDeviceLoRa& d) { d.SetActMethod(" "); }, "Error Device 1!! Activation Method must be selected"},
        // ABP: the session keys count, an empty application key passes.
        {[](TDeviceLoRa& d) { d.SetActMethod(LoRaWAN_ABP); },
         "Error Device 1!! Network Session Key must have 16 bytes (32 characters)"},
        {[](TDeviceLoRa& d) { d.SetActMethod(LoRaWAN_ABP); d.SetNetSessKey(KEY); d.SetAppSessKey(KEY + "0"); },
         "Error Device 1!! Application Session Key must have 16 bytes (32 characters)"},
        {[](TDeviceLoRa& d) { d.SetActMethod(LoRaWAN_ABP); d.SetNetSessKey(KEY); d.SetAppSessKey(KEY); d.SetAppKey(""); }, ""},
        {[](TDeviceLoRa& d) { d.SetAppKey(QString(32, 'Z')); },
         "Error Device 1!! Application Key must have only valid chatacter (0..9 and A..F)"},
        {[](TDeviceLoRa& d) { d.SetDevAdd("260B12"); }, "Error Device 1!! Device Address must have 4 bytes (8 characters)"},
        {[](TDeviceLoRa& d) { d.SetDevAdd("260B123G"); },
         "Error Device 1!! Device Address must have only valid chatacter (0..9 and A..F)"},
        {[](TDeviceLoRa& d) { d.SetDiagTimeOut(""); },
         "Error Device 1!! Diag. TimeOut must be between 0 and 4294967295 milliseconds"},
        {[](TDeviceLoRa& d) { d.SetDiagTimeOut("4294967295"); }, ""},
        {[](TDeviceLoRa& d) { d.SetDiagTimeOut("4294967296"); },
         "Error Device 1!! Diag. TimeOut must be between 0 and 4294967295 milliseconds"},
        // A disabled device is checked like an enabled one.
        {[](TDeviceLoRa& d) { d.SetEnable(false); d.SetDevAdd(""); },
         "Error Device 1!! Device Address must have 4 bytes (8 characters)"},
        // Characters XML cannot carry, also in keys the activation leaves unused.
        {[](TDeviceLoRa& d) { d.SetNetSessKey(QString(QChar(1))); },
         "Error Device 1!! A character that cannot be saved is in the column Network Session Key"},
        {[](TDeviceLoRa& d) { d.SetMnemonic(QString(QChar(0xFFFF))); },
         "Error Device 1!! A character that cannot be saved is in the column Mnemonic"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        TDeviceList devs = Devices(3);
        Good_Device(*devs[0]);
        cases[i].change(*devs[0]);
        EXPECT_EQ(LoRaWAN_Check(devs, true), QString::fromUtf8(cases[i].message));
    }
}

TEST_F(LoRaTables, RuleChecksGiveTheExactMessages)
{
    struct Case {
        bool uplink;
        std::function<void(TRuleLoRa&)> change;
        const char* message;
    };
    const Case cases[] = {
        {true, [](TRuleLoRa&) {}, ""},
        {true, [](TRuleLoRa& r) { r.SetPort("65536"); }, "Error Device 2, UpLink Rule 2!! Port must be between 0 and 65535"},
        {true, [](TRuleLoRa& r) { r.SetPort("99999"); r.SetEnable(false); }, ""},
        {true, [](TRuleLoRa& r) { r.SetStartTest("2"); r.SetLenTest("3"); r.SetHexTest(true); r.SetValueTest("0A0B0C"); }, ""},
        {true, [](TRuleLoRa& r) { r.SetStartTest("2"); r.SetLenTest("3"); r.SetHexTest(true); r.SetValueTest("0A0B"); },
         "Error Device 2, UpLink Rule 2!! Value Test must have 3 bytes (6 characters)"},
        {true, [](TRuleLoRa& r) { r.SetStartTest("2"); r.SetLenTest("1"); r.SetHexTest(true); r.SetValueTest("0G"); },
         "Error Device 2, UpLink Rule 2!! Value Test must have only valid chatacter (0..9 and A..F)"},
        {true, [](TRuleLoRa& r) { r.SetStartTest("2"); r.SetLenTest("3"); r.SetValueTest("a c"); }, ""},
        {true, [](TRuleLoRa& r) { r.SetStartTest("2"); r.SetLenTest("3"); r.SetValueTest("abcd"); },
         "Error Device 2, UpLink Rule 2!! Value Test must have 3 characters"},
        {true, [](TRuleLoRa& r) { r.SetStartTest("x"); }, "Error Device 2, UpLink Rule 2!! Start Test must be a valid numeric value"},
        {true, [](TRuleLoRa& r) { r.SetStartTest("1"); }, "Error Device 2, UpLink Rule 2!! Len Test must be a valid numeric value"},
        {true, [](TRuleLoRa& r) { r.SetValueTest("anything"); }, ""},
        {true, [](TRuleLoRa& r) { r.SetStartBit("501"); }, "Error Device 2, UpLink Rule 2!! Start Byte must be between 0 and 500"},
        {true, [](TRuleLoRa& r) { r.SetNumBits("0"); }, "Error Device 2, UpLink Rule 2!! Number Bytes must be between 1 and 1536"},
        {true, [](TRuleLoRa& r) { r.SetPosBit("1530"); r.SetNumBits("6"); }, ""},
        {true, [](TRuleLoRa& r) { r.SetPosBit("1530"); r.SetNumBits("7"); },
         "Error Device 2, UpLink Rule 2!! Position Byte plus Number Bytes must be minor of 1536"},
        {true, [](TRuleLoRa& r) { r.SetPosBit("1536"); }, "Error Device 2, UpLink Rule 2!! Position Byte must be between 0 and 1535"},
        {false, [](TRuleLoRa&) {}, ""},
        {false, [](TRuleLoRa& r) { r.SetPort("-1"); }, "Error Device 2, DownLink Rule 2!! Port must be between 0 and 65535"},
        {false, [](TRuleLoRa& r) { r.SetTime("abc"); }, ""},
        {false, [](TRuleLoRa& r) { r.SetTime("abc"); r.SetOnTimer(true); },
         "Error Device 2, DownLink Rule 2!! Time must be between 0 and 100000000 milliseconds"},
        {false, [](TRuleLoRa& r) { r.SetStartBit(""); }, "Error Device 2, DownLink Rule 2!! Start Byte must be between 0 and 500"},
        {false, [](TRuleLoRa& r) { r.SetNumBits("1537"); },
         "Error Device 2, DownLink Rule 2!! Number Bytes must be between 1 and 1536"},
        {false, [](TRuleLoRa& r) { r.SetPosBit("1535"); r.SetNumBits("2"); },
         "Error Device 2, DownLink Rule 2!! Position Byte plus Number Bytes must be minor of 1536"},
        {false, [](TRuleLoRa& r) { r.SetPosBit("2000"); }, "Error Device 2, DownLink Rule 2!! Position Byte must be between 0 and 1535"},
        // Characters XML cannot carry, in disabled rules too.
        {true, [](TRuleLoRa& r) { r.SetEnable(false); r.SetValueTest(QString("a") + QChar(1)); },
         "Error Device 2, UpLink Rule 2!! A character that cannot be saved is in the column Value Test"},
        {false, [](TRuleLoRa& r) { r.SetMnemonic(QString(QChar(0xFFFF))); },
         "Error Device 2, DownLink Rule 2!! A character that cannot be saved is in the column Mnemonic"},
        // A rule after a rule with an empty key would be lost.
        {true, [](TRuleLoRa& r) { r.SetPort(" "); },
         "Error Device 2, UpLink Rule 2!! Port is empty, but filled rules follow it"},
        {false, [](TRuleLoRa& r) { r.SetPort(""); },
         "Error Device 2, DownLink Rule 2!! Port is empty, but filled rules follow it"},
        // An uplink rule with a test but no port is still a rule (and fails its port).
        {true, [](TRuleLoRa& r) { r.SetPort(""); r.SetStartTest("0"); },
         "Error Device 2, UpLink Rule 2!! Port must be between 0 and 65535"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        TDeviceList devs = Devices(2);
        Good_Device(*devs[0]);
        Good_Device(*devs[1]);
        TRuleList& rules = cases[i].uplink ? devs[1]->UpLinkRules : devs[1]->DownLinkRules;
        for (int k = 0; k < 3; ++k) rules.push_back(Up("1", "0", "1", "0"));
        cases[i].change(*rules[1]);
        EXPECT_EQ(LoRaWAN_Check(devs, true), QString::fromUtf8(cases[i].message));
    }
}

TEST_F(LoRaTables, DeviceGapsAndSkippedDevices)
{
    // Device 3 without EUI, device 4 with a bad key: the check reaches device 4.
    TDeviceList devs = Devices(6);
    for (int i : {0, 1, 3}) Good_Device(*devs[size_t(i)]);
    devs[3]->SetAppKey("");
    EXPECT_EQ(LoRaWAN_Check(devs, true), "Error Device 4!! Application Key must have 16 bytes (32 characters)");
    // Fixed, device 4 would not be written: refused naming the empty device.
    devs[3]->SetAppKey(KEY);
    EXPECT_EQ(LoRaWAN_Check(devs, true), "Error Device 3!! Device EUI is empty, but filled devices follow it");
    // A device after the gap that holds only rules is refused as well.
    TDeviceList rulesOnly = Devices(3);
    Good_Device(*rulesOnly[0]);
    rulesOnly[2]->UpLinkRules.push_back(Up("1", "0", "1", "0"));
    EXPECT_EQ(LoRaWAN_Check(rulesOnly, true), "Error Device 2!! Device EUI is empty, but filled devices follow it");
    // Enable flags alone are nothing.
    TDeviceList flags = Devices(3);
    Good_Device(*flags[0]);
    flags[2]->SetEnable(false);
    EXPECT_EQ(LoRaWAN_Check(flags, true), "");
}

TEST_F(LoRaTables, EndNodeChecksOnlyTheRulesShown)
{
    TDeviceList devs = Devices(3);
    devs[0]->SetDeviceEUI("0001020304050607"); // no join EUI, no keys
    devs[2]->SetDeviceEUI("bad");
    EXPECT_EQ(LoRaWAN_Check(devs, false), "");
    devs[0]->DownLinkRules.push_back(Up("1", "0", "0", "0"));
    EXPECT_EQ(LoRaWAN_Check(devs, false), "Error Device 1, DownLink Rule 1!! Number Bytes must be between 1 and 1536");
}

// The file ------------------------------------------------------------------------

TDeviceList One_Device_Each_Way()
{
    TDeviceList devs = Devices(3);
    TDeviceLoRa& d = *devs[0];
    Good_Device(d, " 0011aabbccddeeff ");
    d.SetDeviceName("Sensor <1> & \"2\"");
    d.SetClassLoRa("C");
    d.SetDiagTimeOut("1000");
    d.SetRX2Datarate("SF9BW125");
    d.SetMnemonic("m");
    auto up = Up("10", "0", "2", "100");
    up->SetStartTest("1");
    up->SetLenTest("1");
    up->SetHexTest(true);
    up->SetValueTest("AB");
    up->SetMnemonic("up");
    d.UpLinkRules.push_back(std::move(up));
    auto down = Up("20", "1", "4", "200");
    down->SetEnable(false);
    down->SetOnChange(true);
    down->SetOnTimer(true);
    down->SetTime("500");
    down->SetMnemonic("down");
    d.DownLinkRules.push_back(std::move(down));
    return devs;
}

const QByteArray One_Device_File =
    "<LoRaWAN_Gateway><LoRaWAN_Devices_List><LoRaWAN_Device Enable=\"Y\" DeviceEUI=\"0011aabbccddeeff\" "
    "JoinEUI=\"70B3D57ED0000001\" DeviceName=\"Sensor &lt;1> &amp; &quot;2&quot;\" "
    "ActivationMethod=\"Over-the-Air Activation [OTAA]\" NetworkSessionKey=\"\" ApplicationSessionKey=\"\" "
    "ApplicationKey=\"000102030405060708090A0B0C0D0E0F\" DeviceAddress=\"260B1234\" Class=\"C\" DiagTimeOut=\"1000\" "
    "RX2_Datarate=\"SF9BW125\" Mnemonic=\"m\"><LoRaWAN_Rules><LoRaWAN_UpLink_Rules><Rule Enable=\"Y\" Port=\"10\" "
    "StartTest=\"1\" LenTest=\"1\" HexTest=\"Y\" ValueTest=\"AB\" StartBit=\"0\" NumberBits=\"2\" PositionBit=\"100\" "
    "Mnemonic=\"up\"/></LoRaWAN_UpLink_Rules><LoRaWAN_DownLink_Rules><Rule Enable=\"N\" Port=\"20\" StartBit=\"1\" "
    "NumberBits=\"4\" OnChange=\"Y\" OnCommand=\"N\" OnTimer=\"Y\" Time=\"500\" PositionBit=\"200\" Mnemonic=\"down\"/>"
    "</LoRaWAN_DownLink_Rules></LoRaWAN_Rules></LoRaWAN_Device></LoRaWAN_Devices_List></LoRaWAN_Gateway>"
    "<!--SW_VERSION = 1.000-->";

TEST_F(LoRaTables, FileIsByteExactTrimmedAndWellFormed)
{
    TDeviceList devs = One_Device_Each_Way();
    EXPECT_EQ(LoRaWAN_Check(devs, true), "");
    EXPECT_EQ(LoRaWAN_ToBytes(devs).toStdString(), One_Device_File.toStdString());
    QTemporaryDir dir;
    const QString path = dir.filePath("LoRaWAN_Gateway.xml");
    WriteTestFile(path, LoRaWAN_ToBytes(devs));
    Lint(path);
    // Read back: the same objects (the EUI as stored, trimmed).
    TXMLDocument doc;
    doc.LoadFromFile(path);
    TDeviceList back = Devices(3);
    const TLoRaWAN_Load_Report report = LoRaWAN_Read(doc, back);
    EXPECT_TRUE(report.Messages().isEmpty());
    EXPECT_EQ(report.Devices_Read, 1);
    EXPECT_EQ(back[0]->DeviceEUI(), "0011aabbccddeeff");
    EXPECT_EQ(Device_To_Row(*back[0]).mid(2), Device_To_Row(*devs[0]).mid(2));
    ASSERT_EQ(back[0]->UpLinkRules.size(), 1u);
    EXPECT_EQ(Uplink_To_Row(*back[0]->UpLinkRules[0]), Uplink_To_Row(*devs[0]->UpLinkRules[0]));
    ASSERT_EQ(back[0]->DownLinkRules.size(), 1u);
    EXPECT_EQ(Downlink_To_Row(*back[0]->DownLinkRules[0]), Downlink_To_Row(*devs[0]->DownLinkRules[0]));
    // No device: the lists alone.
    EXPECT_EQ(LoRaWAN_ToBytes(Devices(2)),
              QByteArray("<LoRaWAN_Gateway><LoRaWAN_Devices_List/></LoRaWAN_Gateway><!--SW_VERSION = 1.000-->"));
}

TEST_F(LoRaTables, ReadingIsLenientAndSaysWhatWasIncomplete)
{
    const QByteArray rules = "<LoRaWAN_Rules><LoRaWAN_UpLink_Rules/><LoRaWAN_DownLink_Rules/></LoRaWAN_Rules>";
    const QByteArray attrs = "DeviceEUI=\"1\" JoinEUI=\"2\" DeviceName=\"n\" ActivationMethod=\"a\" NetworkSessionKey=\"\" "
                             "ApplicationSessionKey=\"\" ApplicationKey=\"\" DeviceAddress=\"3\" Mnemonic=\"\"";
    const auto file = [](const QByteArray& devices) {
        return "<LoRaWAN_Gateway><LoRaWAN_Devices_List>" + devices + "</LoRaWAN_Devices_List></LoRaWAN_Gateway>";
    };
    const auto dev = [&](const QByteArray& more, const QByteArray& inner) {
        return "<LoRaWAN_Device " + more + ">" + inner + "</LoRaWAN_Device>";
    };
    const auto up = [](const QByteArray& ruleXml) {
        return "<LoRaWAN_Rules><LoRaWAN_UpLink_Rules>" + ruleXml + "</LoRaWAN_UpLink_Rules><LoRaWAN_DownLink_Rules/></LoRaWAN_Rules>";
    };
    const auto incomplete = [](int d) {
        return QStringLiteral("Warning!! LoRaWAN_Gateway.xml is damaged or incomplete: Device %1 was read only in part. "
                              "Check the devices before saving").arg(d);
    };
    struct Case {
        QByteArray xml;
        int read;
        QStringList messages;
        std::function<void(const TDeviceList&)> expect;
    };
    const Case cases[] = {
        // Device flags: exactly "Y"; no Class, DiagTimeOut or RX2_Datarate: empty, and the device is complete.
        {file(dev("Enable=\"y\" " + attrs, rules) + dev("Enable=\" Y\" " + attrs, rules) + dev(attrs, rules) +
              dev("Enable=\"Y\" Class=\"C\" " + attrs, rules)),
         4, {}, [](const TDeviceList& d) {
             EXPECT_FALSE(d[0]->Enable());
             EXPECT_FALSE(d[1]->Enable());
             EXPECT_FALSE(d[2]->Enable());
             EXPECT_TRUE(d[3]->Enable());
             EXPECT_EQ(d[0]->ClassLoRa(), "");
             EXPECT_EQ(d[0]->DiagTimeOut(), "");
             EXPECT_EQ(d[0]->RX2Datarate(), "");
             EXPECT_EQ(d[3]->ClassLoRa(), "C");
             EXPECT_EQ(d[0]->DevAdd(), "3");
         }},
        // Rule flags: trimmed and upper-cased; no HexTest: off; no test fields: empty.
        {file(dev(attrs, up("<Rule Enable=\" y \" Port=\"1\" StartBit=\"0\" NumberBits=\"1\" PositionBit=\"0\" Mnemonic=\"\"/>"))),
         1, {}, [](const TDeviceList& d) {
             ASSERT_EQ(d[0]->UpLinkRules.size(), 1u);
             EXPECT_TRUE(d[0]->UpLinkRules[0]->Enable());
             EXPECT_FALSE(d[0]->UpLinkRules[0]->HexTest());
             EXPECT_EQ(d[0]->UpLinkRules[0]->StartTest(), "");
         }},
        // A device without its DeviceAddress: read as far as it goes, the next device too.
        {file(dev(attrs, rules) + dev("DeviceEUI=\"5\"", rules) + dev(attrs, rules)), 3, {incomplete(2)},
         [](const TDeviceList& d) {
             EXPECT_EQ(d[1]->DeviceEUI(), "5");
             EXPECT_EQ(d[1]->DevAdd(), "");
             EXPECT_EQ(d[2]->DeviceEUI(), "1");
         }},
        // A device without rule lists, a rule without its Port.
        {file(dev(attrs, "") + dev(attrs, up("<Rule Enable=\"Y\" StartBit=\"0\" NumberBits=\"1\" PositionBit=\"0\" Mnemonic=\"\"/>"))),
         2, {incomplete(1), incomplete(2)}, [](const TDeviceList& d) {
             ASSERT_EQ(d[1]->UpLinkRules.size(), 1u);
             EXPECT_EQ(d[1]->UpLinkRules[0]->NumBits(), "1");
         }},
        // No device list at all.
        {"<LoRaWAN_Gateway/>", 0, {incomplete(1)}, [](const TDeviceList&) {}},
        {"<Other><LoRaWAN_Devices_List/></Other>", 0, {incomplete(1)}, [](const TDeviceList&) {}},
        // More devices than the list holds.
        {file(dev(attrs, rules) + dev(attrs, rules) + dev(attrs, rules)), 2,
         {"Warning!! LoRaWAN_Gateway.xml holds more than 1000 devices: only the first 1000 are loaded and saved"},
         [](const TDeviceList&) {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        TXMLDocument doc;
        doc.LoadFromBytes(cases[i].xml);
        TDeviceList devs = Devices(i + 1 == std::size(cases) ? 2 : 5);
        const TLoRaWAN_Load_Report report = LoRaWAN_Read(doc, devs);
        EXPECT_EQ(report.Devices_Read, cases[i].read);
        EXPECT_EQ(report.Messages(), cases[i].messages);
        cases[i].expect(devs);
    }
}

// The window --------------------------------------------------------------------

// The state of the check box of device row r: "Y", "N", or "-" without one.
QString Box(TExtStringGrid& d, int r)
{
    bool on = false;
    return d.GetCheckBoxState(1, r, on) ? QString(on ? "Y" : "N") : QString("-");
}

// The read-only flags of columns 1 .. 13 of device row r, "1" for read-only.
QString Flags(TExtStringGrid& d, int r)
{
    QString out;
    for (int c = 1; c <= 13; ++c) out += d.ReadOnly(c, r) ? "1" : "0";
    return out;
}

class LoRaWindow : public LoRaTables {
protected:
    void SetUp() override
    {
        LoRaTables::SetUp();
        ParGen_File = dir.filePath("ParGen.xml");
        LoRaWAN_Gateway_File = dir.filePath("LoRaWAN_Gateway.xml");
        f = std::make_unique<TFLoRaWAN_Gateway>();
        f->resize(1150, 660);
    }
    // Shows the window and runs the script inside it; the modal result.
    int Show(const std::function<void()>& script)
    {
        ScriptedModals modals;
        modals.Then([&](TForm&) { script(); });
        return f->ShowModal();
    }
    // Types a text into a cell through the in-place editor.
    static void Type(TExtStringGrid& g, int col, int row, const QString& text)
    {
        g.SetCol(col);
        g.SetRow(row);
        g.ShowEditor();
        ASSERT_NE(g.InplaceEditor(), nullptr);
        g.InplaceEditor()->selectAll();
        QTest::keyClicks(g.InplaceEditor(), text);
        g.HideEditor();
    }
    // Device row r: a passing OTAA device named by its EUI.
    void Fill_Device(int r, const QString& eui)
    {
        TExtStringGrid& g = f->ESG_LoRaWAN_Device_List;
        g.SetCells(2, r, eui);
        g.SetCells(3, r, "70B3D57ED0000001");
        g.SetCells(5, r, LoRaWAN_OTAA);
        g.SetCells(8, r, KEY);
        g.SetCells(9, r, "260B1234");
        g.SetCells(11, r, "0");
        f->Save_Device_List();
    }
    QTemporaryDir dir;
    std::unique_ptr<TFLoRaWAN_Gateway> f;
};

TEST_F(LoRaWindow, ShowsTheGridsAsSpecified)
{
    WriteTestFile(ParGen_File, "<Par_Gen><LoRaWAN_RF_Band>US915</LoRaWAN_RF_Band></Par_Gen>");
    Show([&] {
        TExtStringGrid& d = f->ESG_LoRaWAN_Device_List;
        EXPECT_EQ(f->windowTitle(), "LoRaWAN Gateway Access");
        EXPECT_EQ(f->ClientWidth(), 1150);
        EXPECT_EQ(f->ClientHeight(), 660);
        EXPECT_EQ(d.ColCount(), 14);
        EXPECT_EQ(d.RowCount(), 1001);
        EXPECT_EQ(d.Cells(0, 1000), "1000");
        EXPECT_EQ(d.Cells(0, 0), "N");
        EXPECT_EQ(d.Cells(12, 0), "RX2 Datarate");
        EXPECT_EQ(d.Cells(13, 0), "Mnemonic");
        // Column 1 carries real check boxes, ticked after clearing, no text.
        for (int r : {1, 1000}) {
            EXPECT_TRUE(d.HasCheckBox(1, r));
            EXPECT_FALSE(d.HasDataCheckBox(1, r));
            EXPECT_EQ(Box(d, r), "Y");
            EXPECT_EQ(d.Cells(1, r), "");
            EXPECT_EQ(d.Alignments(1, r), taCenter);
        }
        EXPECT_FALSE(d.HasCheckBox(2, 1));
        EXPECT_FALSE(d.HasCheckBox(1, 0));
        // Pick lists per cell: activation, class, RX2 (from the band).
        const auto pick = [&](int col) {
            TEditorType e = edNormal;
            d.OnGetEditorType(&d, col, 1, e);
            EXPECT_EQ(e, edComboList);
            return d.ComboItems();
        };
        EXPECT_EQ(pick(5), QStringList({LoRaWAN_ABP, LoRaWAN_OTAA}));
        EXPECT_EQ(pick(10), QStringList({"A", "C"}));
        EXPECT_EQ(pick(12).first(), "SF12BW500");
        TEditorType plain = edNormal;
        d.OnGetEditorType(&d, 4, 1, plain);
        EXPECT_EQ(plain, edNormal);
        EXPECT_EQ(d.ColWidths(0), 40);
        EXPECT_EQ(d.ColWidths(7), 150);
        EXPECT_EQ(d.ColWidths(12), 100);
        // Each cell of the device rows carries its colour.
        const struct {
            int col;
            TColor color;
        } colours[] = {{1, RGBColor(0xFF, 0xD8, 0xB0)}, {2, RGBColor(0xE0, 0xFA, 0xFE)}, {5, RGBColor(0xFF, 0xFF, 0xA8)},
                       {9, RGBColor(0xA8, 0xFF, 0xA8)}, {10, RGBColor(0xFC, 0xD6, 0xF4)}, {11, RGBColor(0xD5, 0xD5, 0xFF)},
                       {12, RGBColor(0x91, 0xDE, 0xFF)}, {13, clWhite}};
        for (const auto& c : colours)
            for (int r : {1, 500, 1000}) EXPECT_EQ(d.Colors(c.col, r), c.color) << c.col << " " << r;
        // This window shows no cell hints.
        for (TExtStringGrid* g : std::initializer_list<TExtStringGrid*>{&d, &f->ACG_LoRaWAN_Uplink, &f->ACG_LoRaWAN_Downlink})
            EXPECT_FALSE(g->HintShowCells());
        for (TExtColumnGrid* g : {&f->ACG_LoRaWAN_Uplink, &f->ACG_LoRaWAN_Downlink}) {
            EXPECT_EQ(g->ColCount(), 11);
            EXPECT_EQ(g->RowCount(), 1025);
            EXPECT_EQ(g->Cells(0, 1024), "1024");
            EXPECT_EQ(g->Cells(1, 1024), "Y");
            EXPECT_EQ(g->Cells(5, 1024), "N");
        }
        EXPECT_EQ(f->ACG_LoRaWAN_Downlink.Cells(7, 3), "N");
        EXPECT_EQ(f->ACG_LoRaWAN_Uplink.Cells(6, 0), "Value Test");
        EXPECT_EQ(f->ACG_LoRaWAN_Downlink.Cells(6, 0), "On CMD");
        EXPECT_EQ(f->Hint_Dev.size(), 13);
        EXPECT_EQ(f->Hint_Dev[1], "Insert the 8 Bytes of Device EUI (16 Characters)");
        EXPECT_EQ(f->Hint_Dev[11], "Select the RX2 Datarate of LoRaWAN Device");
        EXPECT_TRUE(f->PLoRaWAN_Device_List->isVisible());
        EXPECT_EQ(f->PC_LoRaWAN_Device_Rules_List->widget(0), f->TS_LoRaWAN_Uplink_Rules_List);
        EXPECT_EQ(f->PC_LoRaWAN_Device_Rules_List->tabText(0), "Uplink Rules");
        EXPECT_EQ(f->Btn_DelRow->Caption(), "Delete Row");
        // Typed texts go in as they are.
        Type(d, 2, 1, "0011");
        EXPECT_EQ(d.Cells(2, 1), "0011");
    });
}

// Five devices, device i with one uplink rule "r<i>".
TDeviceList Five_Devices()
{
    TDeviceList devs = Devices(5);
    for (int i = 0; i < 5; ++i) {
        Good_Device(*devs[size_t(i)], QString("00000000000000%1").arg(i + 1, 2, 10, QChar('0')));
        auto r = Up("1", "0", "1", "0");
        r->SetMnemonic(QString("r%1").arg(i + 1));
        devs[size_t(i)]->UpLinkRules.push_back(std::move(r));
    }
    return devs;
}

TEST_F(LoRaWindow, DevicesKeepTheirRulesThroughRowChangesInsertAndDelete)
{
    WriteTestFile(LoRaWAN_Gateway_File, LoRaWAN_ToBytes(Five_Devices()));
    Show([&] {
        TExtStringGrid& d = f->ESG_LoRaWAN_Device_List;
        TExtColumnGrid& up = f->ACG_LoRaWAN_Uplink;
        d.SetRow(5);
        EXPECT_EQ(up.Cells(10, 1), "r5");
        // A second rule for device 5, then device 6 by the keyboard.
        up.SetCells(2, 2, "9");
        up.SetCells(10, 2, "second");
        d.Widget()->setFocus();
        QTest::keyClick(d.Widget(), Qt::Key_Down);
        ASSERT_EQ(d.Row(), 6);
        EXPECT_EQ(up.Cells(10, 1), "");
        ASSERT_EQ(f->DeviceList[4]->UpLinkRules.size(), 2u);
        QTest::keyClick(d.Widget(), Qt::Key_Up);
        EXPECT_EQ(up.Cells(10, 2), "second");

        // Delete device row 3: rows and objects 4 and 5 move up together.
        d.SetRow(3);
        f->Grid_Enter(&d);
        {
            ScriptedMessages msgs;
            msgs.Expect("Are you sure to delete the Row number 3 in Devices List Grid?", mrNo);
            f->Btn_DelRowClick();
        }
        EXPECT_EQ(d.Cells(2, 3), "0000000000000003");
        {
            ScriptedMessages msgs;
            msgs.Expect("Are you sure to delete the Row number 3 in Devices List Grid?", mrYes);
            f->Btn_DelRowClick();
        }
        EXPECT_EQ(d.Cells(2, 3), "0000000000000004");
        EXPECT_EQ(d.Cells(2, 5), "");
        EXPECT_EQ(up.Cells(10, 1), "r4");
        EXPECT_EQ(f->DeviceList.size(), 1000u);
        EXPECT_EQ(f->DeviceList[3]->UpLinkRules.size(), 2u);
        EXPECT_EQ(f->DeviceList[4]->DeviceEUI(), "");

        // Insert at row 2: an empty device, the others move down with their rules.
        d.SetRow(2);
        f->Btn_InsRowClick();
        EXPECT_EQ(d.Cells(2, 2), "");
        EXPECT_EQ(Box(d, 2), "Y");
        EXPECT_EQ(d.Cells(2, 3), "0000000000000002");
        EXPECT_EQ(f->DeviceList[2]->UpLinkRules[0]->Mnemonic(), "r2");
        EXPECT_EQ(f->DeviceList[4]->UpLinkRules.size(), 2u);
        EXPECT_EQ(up.Cells(10, 1), "");
        EXPECT_EQ(f->DeviceList.size(), 1000u);

        // A full list: device 1000 would be lost, the user is asked first.
        d.SetCells(2, 1000, "last");
        f->Save_Device_List();
        {
            ScriptedMessages msgs;
            msgs.Expect(SL_Lang[1506], mrNo);
            f->Btn_InsRowClick();
        }
        EXPECT_EQ(f->DeviceList[999]->DeviceEUI(), "last");
        EXPECT_EQ(d.Cells(2, 3), "0000000000000002");
        {
            ScriptedMessages msgs;
            msgs.Expect(SL_Lang[1506], mrYes);
            f->Btn_InsRowClick();
        }
        EXPECT_EQ(f->DeviceList[999]->DeviceEUI(), "");
        EXPECT_EQ(d.Cells(2, 4), "0000000000000002");
    });
}

TEST_F(LoRaWindow, RuleButtonsActOnTheLastGridEntered)
{
    WriteTestFile(LoRaWAN_Gateway_File, LoRaWAN_ToBytes(Five_Devices()));
    Show([&] {
        TExtColumnGrid& up = f->ACG_LoRaWAN_Uplink;
        TExtColumnGrid& down = f->ACG_LoRaWAN_Downlink;
        f->ESG_LoRaWAN_Device_List.SetRow(1);
        f->Grid_Enter(&up);
        up.SetRow(1);
        f->Btn_CopyRowClick();
        EXPECT_TRUE(f->DoCopy_Up);
        f->Btn_InsRowClick();
        EXPECT_EQ(up.Cells(10, 2), "r1");
        f->Btn_PasteRowClick();
        ASSERT_EQ(f->DeviceList[0]->UpLinkRules.size(), 2u);
        EXPECT_EQ(f->DeviceList[0]->UpLinkRules[0]->Mnemonic(), "r1");
        {
            ScriptedMessages msgs;
            msgs.Expect("Are you sure to delete the Row number 1 in Uplink Grid?", mrYes);
            f->Btn_DelRowClick();
        }
        EXPECT_EQ(f->DeviceList[0]->UpLinkRules.size(), 1u);
        // Copied from the uplink grid, pasting into the downlink grid is refused.
        f->Grid_Enter(&down);
        {
            ScriptedMessages msgs;
            msgs.Expect("Error!!! Copy a valid row before Paste it");
            f->Btn_PasteRowClick();
        }
        EXPECT_EQ(down.Cells(10, 1), "");
    });
}

TEST_F(LoRaWindow, ActivationRuleFollowsEditPasteInsertAndDelete)
{
    Show([&] {
        TExtStringGrid& d = f->ESG_LoRaWAN_Device_List;
        const auto keys = [&](int r) {
            return QString("%1%2%3").arg(d.ReadOnly(6, r)).arg(d.ReadOnly(7, r)).arg(d.ReadOnly(8, r));
        };
        EXPECT_EQ(keys(1), "001");
        d.SetCells(6, 1, "session");
        // Choosing OTAA in the cell's pick list.
        d.SetCol(5);
        d.SetRow(1);
        d.ShowEditor();
        ASSERT_NE(d.EditCombo(), nullptr);
        d.EditCombo()->setCurrentIndex(1);
        EXPECT_EQ(keys(1), "110");
        d.HideEditor();
        EXPECT_EQ(d.Cells(5, 1), LoRaWAN_OTAA);
        EXPECT_EQ(d.Cells(6, 1), "session");
        d.SetCells(2, 1, EUI);
        f->Save_Device_List();
        EXPECT_EQ(f->DeviceList[0]->NetSessKey(), "session");
        // Paste into row 2.
        d.SetRow(1);
        f->Btn_CopyRowClick();
        d.SetRow(2);
        f->Btn_PasteRowClick();
        EXPECT_EQ(keys(2), "110");
        // Insert at 1: the new row follows its empty method, the old rows move with theirs.
        d.SetRow(1);
        f->Btn_InsRowClick();
        EXPECT_EQ(keys(1), "001");
        EXPECT_EQ(keys(2), "110");
        EXPECT_EQ(keys(3), "110");
        EXPECT_EQ(keys(4), "001");
        {
            ScriptedMessages msgs;
            msgs.Answer(mrYes);
            f->Btn_DelRowClick();
        }
        EXPECT_EQ(keys(1), "110");
        EXPECT_EQ(keys(3), "001");
        // The row a delete frees at the end holds a real, empty device: it
        // stays editable but for the activation rule's key cell.
        EXPECT_EQ(Flags(d, 1000), "0000000100000");
        // Left read-only by the row routine alone, as grids with free rows
        // at the end want it ...
        Grid_Delete_Row_CheckBox(1, &d, true);
        ASSERT_EQ(Flags(d, 1000), "1111111111111");
    });
    // ... it is editable again at the next showing: clearing resets every
    // flag; the file-less rows are cleared too.
    Show([&] {
        TExtStringGrid& d = f->ESG_LoRaWAN_Device_List;
        EXPECT_EQ(Flags(d, 1000), "0000000100000");
        EXPECT_EQ(Flags(d, 1), "0000000100000");
        EXPECT_EQ(d.Cells(6, 1), "");
        EXPECT_EQ(Box(d, 1000), "Y");
    });
}

TEST_F(LoRaWindow, EnableBoxesCarryTheDeviceFlagThroughFileAndRowButtons)
{
    TDeviceList devs = Five_Devices();
    devs[1]->SetEnable(false);
    WriteTestFile(LoRaWAN_Gateway_File, LoRaWAN_ToBytes(devs));
    Show([&] {
        TExtStringGrid& d = f->ESG_LoRaWAN_Device_List;
        EXPECT_EQ(Box(d, 1) + Box(d, 2) + Box(d, 3) + Box(d, 6), "YNYY");
        // Device 2 copied onto the empty row 6: the box comes unticked, the
        // cell keeps its box and holds no text.
        f->Grid_Enter(&d);
        d.SetRow(2);
        f->Btn_CopyRowClick();
        EXPECT_TRUE(f->DoCopy_Dev);
        EXPECT_EQ(SL_Copy_Row.first(), "N");
        d.SetRow(6);
        f->Btn_PasteRowClick();
        EXPECT_EQ(Box(d, 6), "N");
        EXPECT_EQ(d.Cells(1, 6), "");
        EXPECT_FALSE(f->DeviceList[5]->Enable());
        EXPECT_EQ(f->DeviceList[5]->DeviceEUI(), "0000000000000002");
        d.SetCells(2, 6, "0000000000000006");
        // The boxes changed in the grid reach the devices.
        d.ChangeCheckBoxState(1, 1, false);
        d.ChangeCheckBoxState(1, 2, true);
        // Device 3 deleted: the boxes move up with their rows, the freed
        // last row comes ticked.
        d.SetRow(3);
        {
            ScriptedMessages msgs;
            msgs.Answer(mrYes);
            f->Btn_DelRowClick();
        }
        EXPECT_EQ(Box(d, 1) + Box(d, 2) + Box(d, 3) + Box(d, 4) + Box(d, 5) + Box(d, 1000), "NYYYNY");
        // Inserted at row 1: a ticked empty row, the others move down.
        d.SetRow(1);
        f->Btn_InsRowClick();
        EXPECT_EQ(Box(d, 1) + Box(d, 2) + Box(d, 3) + Box(d, 6), "YNYN");
        {
            ScriptedMessages msgs;
            msgs.Answer(mrYes);
            f->Btn_DelRowClick();
        }
        f->Btn_OKClick();
    });
    ASSERT_EQ(f->ModalResult(), mrOk);
    TXMLDocument doc;
    doc.LoadFromFile(LoRaWAN_Gateway_File);
    TDeviceList after = Devices(10);
    ASSERT_EQ(LoRaWAN_Read(doc, after).Devices_Read, 5);
    QString flags;
    for (int i = 0; i < 5; ++i) flags += after[size_t(i)]->DeviceEUI().right(1) + (after[size_t(i)]->Enable() ? "Y" : "N");
    EXPECT_EQ(flags, "1N2Y4Y5Y6N");
    const QByteArray file = ReadTestFile(LoRaWAN_Gateway_File);
    EXPECT_TRUE(file.contains("<LoRaWAN_Device Enable=\"N\" DeviceEUI=\"0000000000000001\""));
    Lint(LoRaWAN_Gateway_File);
}

TEST_F(LoRaWindow, TypedRuleIsSavedByOkAndShownAgain)
{
    Show([&] {
        Fill_Device(1, EUI);
        TExtColumnGrid& up = f->ACG_LoRaWAN_Uplink;
        f->ESG_LoRaWAN_Device_List.SetRow(1);
        Type(up, 2, 1, "15");
        Type(up, 7, 1, "0");
        Type(up, 8, 1, "4");
        Type(up, 9, 1, "12");
        Type(up, 10, 1, "temperature");
        f->Btn_OK->Click();
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    const QByteArray file = ReadTestFile(LoRaWAN_Gateway_File);
    EXPECT_TRUE(file.contains("<LoRaWAN_UpLink_Rules><Rule Enable=\"Y\" Port=\"15\" StartTest=\"\" LenTest=\"\" HexTest=\"N\" "
                              "ValueTest=\"\" StartBit=\"0\" NumberBits=\"4\" PositionBit=\"12\" Mnemonic=\"temperature\"/>"
                              "</LoRaWAN_UpLink_Rules><LoRaWAN_DownLink_Rules/>"))
        << file.toStdString();
    Lint(LoRaWAN_Gateway_File);
    Show([&] {
        f->ESG_LoRaWAN_Device_List.SetRow(1);
        EXPECT_EQ(f->ESG_LoRaWAN_Device_List.Cells(2, 1), EUI);
        EXPECT_EQ(f->ACG_LoRaWAN_Uplink.Cells(10, 1), "temperature");
    });
}

TEST_F(LoRaWindow, RefusedSavesLeaveTheOldFile)
{
    const QByteArray old = LoRaWAN_ToBytes(Five_Devices());
    WriteTestFile(LoRaWAN_Gateway_File, old);
    struct Case {
        std::function<void(TFLoRaWAN_Gateway&)> change;
        const char* message;
    };
    const Case cases[] = {
        {[](TFLoRaWAN_Gateway& w) {
             w.ACG_LoRaWAN_Uplink.SetCells(2, 3, "5");
             w.ACG_LoRaWAN_Uplink.SetCells(10, 3, "lost?");
         },
         "Error Device 2, UpLink Rule 2!! Port is empty, but filled rules follow it"},
        {[](TFLoRaWAN_Gateway& w) { w.ACG_LoRaWAN_Downlink.SetCells(10, 2, "x"); },
         "Error Device 2, DownLink Rule 1!! Port is empty, but filled rules follow it"},
        {[](TFLoRaWAN_Gateway& w) { w.ACG_LoRaWAN_Uplink.SetCells(10, 1, QString("a") + QChar(1)); },
         "Error Device 2, UpLink Rule 1!! A character that cannot be saved is in the column Mnemonic"},
        {[](TFLoRaWAN_Gateway& w) { w.ESG_LoRaWAN_Device_List.SetCells(4, 2, QString(QChar(0xFFFF))); },
         "Error Device 2!! A character that cannot be saved is in the column Device Name"},
        {[](TFLoRaWAN_Gateway& w) { w.ESG_LoRaWAN_Device_List.SetCells(2, 2, ""); },
         "Error Device 2!! Device EUI is empty, but filled devices follow it"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const int result = Show([&] {
            f->ESG_LoRaWAN_Device_List.SetRow(2);
            cases[i].change(*f);
            ScriptedMessages msgs;
            msgs.Expect(QString::fromUtf8(cases[i].message));
            f->Btn_OKClick();
        });
        EXPECT_NE(result, mrOk);
        EXPECT_EQ(ReadTestFile(LoRaWAN_Gateway_File), old);
    }
}

TEST_F(LoRaWindow, LanguageSwitchRetextsTitlesTabsAndHeaders)
{
    SL_Lang.Set(5414, "Geraete");
    SL_Lang.Set(5416, "Aufwaerts");
    SL_Lang.Set(5445, "Anschluss");
    f->Set_Lang();
    EXPECT_EQ(f->LLoRaWAN_Device_List_Title->text(), "Geraete");
    EXPECT_EQ(f->PC_LoRaWAN_Device_Rules_List->tabText(0), "Aufwaerts");
    EXPECT_EQ(f->ACG_LoRaWAN_Uplink.Cells(2, 0), "Anschluss");
    EXPECT_EQ(f->ACG_LoRaWAN_Downlink.Cells(2, 0), "Port");
}

TEST_F(LoRaWindow, FailedWriteIsReportedAndTheWindowStaysOpen)
{
    LoRaWAN_Gateway_File = dir.filePath("missing/LoRaWAN_Gateway.xml");
    const int result = Show([&] {
        Fill_Device(1, EUI);
        ScriptedMessages msgs;
        msgs.Answer(mrOk);
        f->Btn_OKClick();
        EXPECT_EQ(msgs.shown.size(), 1u);
        EXPECT_EQ(f->ESG_LoRaWAN_Device_List.Cells(2, 1), EUI);
    });
    EXPECT_NE(result, mrOk);
}

TEST_F(LoRaWindow, UnreadableFileIsReportedAndLoadedAsFarAsItGoes)
{
    WriteTestFile(LoRaWAN_Gateway_File, "<LoRaWAN_Gateway><LoRaWAN_Devices_List><LoRaWAN_Device DeviceEUI=\"0A\"/>"
                                        "</LoRaWAN_Devices_List></LoRaWAN_Gateway>");
    ScriptedMessages msgs;
    msgs.Expect("Warning!! LoRaWAN_Gateway.xml is damaged or incomplete: Device 1 was read only in part. "
                "Check the devices before saving");
    Show([&] { EXPECT_EQ(f->ESG_LoRaWAN_Device_List.Cells(2, 1), "0A"); });
    WriteTestFile(LoRaWAN_Gateway_File, "<LoRaWAN_Gateway>");
    msgs.Answer(mrOk);
    Show([&] { EXPECT_EQ(f->ESG_LoRaWAN_Device_List.Cells(2, 1), ""); });
    EXPECT_EQ(msgs.shown.size(), 2u);
}

TEST_F(LoRaWindow, EndNodeModeSavesTheRulesAndKeepsTheDevices)
{
    WriteTestFile(ParGen_File, "<Par_Gen><LoRaWAN_Mode>end NODE</LoRaWAN_Mode><LoRaWAN_Activation_Method>"
                               "Activation by Personalization [ABP]</LoRaWAN_Activation_Method></Par_Gen>");
    struct Case {
        bool withFile;
    };
    for (const Case c : {Case{false}, Case{true}}) {
        SCOPED_TRACE(c.withFile);
        const TDeviceList before = Five_Devices();
        if (c.withFile) WriteTestFile(LoRaWAN_Gateway_File, LoRaWAN_ToBytes(before));
        else QFile::remove(LoRaWAN_Gateway_File);
        const int result = Show([&] {
            EXPECT_FALSE(f->ModeMaster);
            EXPECT_FALSE(f->PLoRaWAN_Device_List->isVisible());
            QTabWidget* pc = f->PC_LoRaWAN_Device_Rules_List;
            EXPECT_EQ(pc->widget(0), f->TS_LoRaWAN_Downlink_Rules_List);
            EXPECT_EQ(pc->tabText(0), "Uplink Rules");
            EXPECT_EQ(pc->currentIndex(), 0);
            EXPECT_EQ(f->DeviceList[0]->DeviceEUI(), c.withFile ? "0000000000000001" : "0001020304050607");
            EXPECT_EQ(f->ACG_LoRaWAN_Uplink.Cells(10, 1), c.withFile ? "r1" : "");
            TExtColumnGrid& down = f->ACG_LoRaWAN_Downlink;
            Type(down, 2, 1, "3");
            Type(down, 3, 1, "0");
            Type(down, 4, 1, "2");
            Type(down, 9, 1, "40");
            f->Btn_OKClick();
        });
        EXPECT_EQ(result, mrOk);
        TXMLDocument doc;
        doc.LoadFromFile(LoRaWAN_Gateway_File);
        TDeviceList after = Devices(10);
        EXPECT_EQ(LoRaWAN_Read(doc, after).Devices_Read, c.withFile ? 5 : 1);
        ASSERT_EQ(after[0]->DownLinkRules.size(), 1u);
        EXPECT_EQ(after[0]->DownLinkRules[0]->PosBit(), "40");
        if (c.withFile)
            for (size_t i = 0; i < 5; ++i) {
                EXPECT_EQ(Device_To_Row(*after[i]), Device_To_Row(*before[i]));
                EXPECT_EQ(Uplink_To_Row(*after[i]->UpLinkRules[0]), Uplink_To_Row(*before[i]->UpLinkRules[0]));
            }
        Lint(LoRaWAN_Gateway_File);
        const TBank_Images img = Compile_Banks(dir.path());
        EXPECT_FALSE(img.Bank2.isEmpty());
    }
}

uint32_t U32(const QByteArray& b, qsizetype at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(b[at + i]);
    return v;
}

TEST_F(LoRaWindow, ImageBuilderReadsWhatTheEditorChecked)
{
    WriteTestFile(ParGen_File, "<Par_Gen/>");
    Show([&] {
        TExtStringGrid& d = f->ESG_LoRaWAN_Device_List;
        Fill_Device(1, " 0011223344556677 ");
        d.SetCells(3, 1, "\t70B3D57ED0000001 ");
        d.SetCells(8, 1, QString(" ") + KEY + " ");
        d.SetCells(9, 1, " 260b1234");
        f->Save_Device_List();
        d.SetRow(1);
        f->ACG_LoRaWAN_Uplink.SetCells(2, 1, "1");
        f->ACG_LoRaWAN_Uplink.SetCells(7, 1, "0");
        f->ACG_LoRaWAN_Uplink.SetCells(8, 1, "2");
        f->ACG_LoRaWAN_Uplink.SetCells(9, 1, "0");
        f->ACG_LoRaWAN_Downlink.SetCells(2, 1, "2");
        f->ACG_LoRaWAN_Downlink.SetCells(3, 1, "0");
        f->ACG_LoRaWAN_Downlink.SetCells(4, 1, "1");
        f->ACG_LoRaWAN_Downlink.SetCells(9, 1, "5");
        f->Btn_OKClick();
    });
    ASSERT_EQ(f->ModalResult(), mrOk);
    const QByteArray b2 = Compile_Banks(dir.path()).Bank2;
    EXPECT_EQ(U32(b2, 32768), 1u);     // devices
    EXPECT_EQ(U32(b2, 32768 + 4), 2u); // rules
    const qsizetype slot = 0x8024;
    EXPECT_EQ(b2.mid(slot, 8).toHex(), QByteArray("7766554433221100"));
    EXPECT_EQ(b2.mid(slot + 8, 8).toHex(), QByteArray("010000d07ed5b370"));
    EXPECT_EQ(b2.mid(slot + 64, 16).toHex().toUpper(), KEY.toLatin1());
    EXPECT_EQ(b2.mid(slot + 80, 4).toHex(), QByteArray("34120b26"));
}

TEST_F(LoRaWindow, Screenshot)
{
    SW_Code = SW_Code_Text;
    f = std::make_unique<TFLoRaWAN_Gateway>();
    f->resize(1150, 660);
    WriteTestFile(LoRaWAN_Gateway_File, LoRaWAN_ToBytes(Five_Devices()));
    Show([&] {
        f->ESG_LoRaWAN_Device_List.SetRow(2);
        const QImage img = f->grab().toImage();
        EXPECT_EQ(img.size(), QSize(1150, 660));
        if (const QByteArray out = qgetenv("KR_SCREENSHOT_DIR"); !out.isEmpty())
            img.save(QString::fromLocal8Bit(out) + "/lorawan_gateway.png");
    });
}

} // namespace

namespace {

// A point inside the check box of a cell, as a user aims at it.
QPoint InBox(TExtStringGrid& g, int c, int r)
{
    const TRect rc = g.CellRect(c, r);
    const int y = (rc.Top + rc.Bottom) / 2;
    for (int x = rc.Left; x < rc.Right; ++x)
        if (g.IsInCheckBox(c, r, x, y)) return QPoint(x, y);
    ADD_FAILURE() << "no check box in cell " << c << "," << r;
    return QPoint((rc.Left + rc.Right) / 2, y);
}

void ClickBox(TExtStringGrid& g, int c, int r)
{
    QTest::mouseClick(g.Widget()->viewport(), Qt::LeftButton, {}, InBox(g, c, r));
}

void SpaceOn(TExtStringGrid& g, int c, int r)
{
    g.SetCol(c);
    g.SetRow(r);
    QTest::keyClick(g.Widget(), Qt::Key_Space);
}

// The hint the mouse shows over a column title.
QString TitleHint(TExtStringGrid& g, int c)
{
    QWidget* vp = g.Widget()->viewport();
    const TRect t = g.CellRect(c, 0);
    const QPoint p((t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2);
    QHelpEvent e(QEvent::ToolTip, p, vp->mapToGlobal(p));
    QApplication::sendEvent(vp, &e);
    const QString text = QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText();
    QToolTip::hideText();
    return text;
}

} // namespace

TEST_F(LoRaWindow, EnableAndRuleBoxesTickByMouseAndSpaceAndAreSaved)
{
    Show([&] {
        TExtStringGrid& d = f->ESG_LoRaWAN_Device_List;
        Fill_Device(1, EUI);
        Fill_Device(2, "0000000000000002");
        const QString before = Box(d, 1) + Box(d, 2);
        ClickBox(d, 1, 1);
        SpaceOn(d, 1, 2);
        const QString flipped = QString(before[0] == 'Y' ? "N" : "Y") + (before[1] == 'Y' ? "N" : "Y");
        EXPECT_EQ(Box(d, 1) + Box(d, 2), flipped);
        // This window keeps its column descriptions but shows no title hints.
        EXPECT_EQ(TitleHint(d, 1), "");
        // Device 1 back on, device 2 off.
        if (Box(d, 1) == "N") ClickBox(d, 1, 1);
        if (Box(d, 2) == "Y") SpaceOn(d, 1, 2);
        EXPECT_EQ(Box(d, 1) + Box(d, 2), "YN");

        // A rule of device 1: HexTest ticked by a click, Enable unticked
        // by Space.
        d.SetRow(1);
        TExtColumnGrid& up = f->ACG_LoRaWAN_Uplink;
        Type(up, 2, 1, "15");
        Type(up, 7, 1, "0");
        Type(up, 8, 1, "4");
        Type(up, 9, 1, "12");
        ClickBox(up, 5, 1);
        EXPECT_EQ(up.Cells(5, 1), "Y");
        SpaceOn(up, 1, 1);
        EXPECT_EQ(up.Cells(1, 1), "N");
        EXPECT_EQ(TitleHint(up, 5), "");
        f->Btn_OK->Click();
    });
    ASSERT_EQ(f->ModalResult(), mrOk);
    const QByteArray file = ReadTestFile(LoRaWAN_Gateway_File);
    EXPECT_TRUE(file.contains("<LoRaWAN_Device Enable=\"Y\" DeviceEUI=\"" + EUI.toUtf8() + "\"")) << file.constData();
    EXPECT_TRUE(file.contains("<LoRaWAN_Device Enable=\"N\" DeviceEUI=\"0000000000000002\"")) << file.constData();
    EXPECT_TRUE(file.contains("<Rule Enable=\"N\" Port=\"15\" StartTest=\"\" LenTest=\"\" HexTest=\"Y\""))
        << file.constData();
}
