// The LoRaWAN gateway editor: its checks with the exact messages, the file it
// writes and reads, and the window (devices with their rules, the activation
// rule, end-node mode, OK).
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "controls/PbButton.h"
#include "gateway/ULoRaWAN_Gateway.h"
#include "gateway/USaveBincc.h"
#include "grid/ExtCGrid.h"
#include "platform/GridsWidget.h"
#include "platform/XmlDoc.h"

#include "../common/SharedState.h"
#include "../common/TestSupport.h"

#include <QProcess>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
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

} // namespace
