// The parameter editor's headless parts: lists, key filters, ParGen.xml,
// the checks and the panel layout.
#include "common/TestSupport.h"
#include "gateway/LoRaWANDefaults.h"
#include "gateway/UParGen.h"
#include "platform/Exception.h"
#include "platform/Files.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

QByteArray Fixture(const QString& name) { return ReadTestFile(FixturePath("pargen/" + name)); }

TParGen_Values ReadBytes(const QByteArray& bytes)
{
    TXMLDocument doc;
    doc.LoadFromBytes(bytes);
    return ParGen_Read(doc);
}

// The text of one element of a written file.
QString Element(const QByteArray& bytes, const QString& name)
{
    TXMLDocument doc;
    doc.LoadFromBytes(bytes);
    const XmlNode n = doc.FirstNode().FindChild(name);
    EXPECT_FALSE(n.IsNull()) << name.toStdString();
    return n.Text();
}

} // namespace

// --- lists and key filters ---------------------------------------------------

TEST(ParGenLists, DataRateItemsPerBandExactly)
{
    const QStringList eu{
        "0 -\tLoRa: SF12/125kHz 250 [bit/s]", "1 -\tLoRa: SF11/125kHz 440 [bit/s]",
        "2 -\tLoRa: SF10/125kHz 980 [bit/s]", "3 -\tLoRa: SF9/125kHz 1760 [bit/s]",
        "4 -\tLoRa: SF8/125kHz 3125 [bit/s]", "5 -\tLoRa: SF7/125kHz 5470 [bit/s]",
        "6 - LoRa: SF7/250kHz 11000 [bit/s]", "7 - FSK: 50kbps 50000 [bit/s]",
    };
    const QStringList us{
        "0  -\tLoRa: SF10/125kHz 980 [bit/s]", "1  -\tLoRa: SF9/125kHz 1760 [bit/s]",
        "2  -\tLoRa: SF8/125kHz 3125 [bit/s]", "3  -\tLoRa: SF7/125kHz 5470 [bit/s]",
        "4  -\tLoRa: SF8/500kHz 12500 [bit/s]", "8  -\tLoRa: SF12/500kHz 980 [bit/s]",
        "9  -\tLoRa: SF11/500kHz 1760 [bit/s]", "10 - LoRa: SF10/500kHz 3900 [bit/s]",
        "11 - LoRa: SF9/500kHz 7000 [bit/s]", "12 - LoRa: SF8/500kHz 12500 [bit/s]",
        "13 - LoRa: SF7/500kHz 21900 [bit/s]",
    };
    EXPECT_EQ(LoRaWAN_DataRate_Items("EU868"), eu);
    EXPECT_EQ(LoRaWAN_DataRate_Items("US915"), us);
    for (const char* band : {"KR920", "AS923", "", "eu868"}) EXPECT_TRUE(LoRaWAN_DataRate_Items(band).isEmpty()) << band;
}

TEST(ParGenLists, Rx2ItemsPerBand)
{
    const QStringList bw125{"SF12BW125", "SF11BW125", "SF10BW125", "SF9BW125", "SF8BW125", "SF7BW125"};
    EXPECT_EQ(LoRaWAN_RX2_Items("EU868"), bw125 + QStringList{"SF7BW250"});
    EXPECT_EQ(LoRaWAN_RX2_Items("US915"),
              (QStringList{"SF12BW500", "SF11BW500", "SF10BW500", "SF9BW500", "SF8BW500", "SF7BW500"}));
    EXPECT_EQ(LoRaWAN_RX2_Items("KR920"), bw125);
    EXPECT_EQ(LoRaWAN_RX2_Items("AS923"), bw125);
    EXPECT_TRUE(LoRaWAN_RX2_Items("us915").isEmpty());
}

TEST(ParGenLists, HexKeyFilter)
{
    for (QChar c : QString("0123456789ABCDEFabcdef \b\x03\x16\r")) EXPECT_TRUE(Hex_Key_Allowed(c)) << int(c.unicode());
    for (QChar c : QString("gGzZ-.!x\u00e9")) EXPECT_FALSE(Hex_Key_Allowed(c)) << int(c.unicode());
}

TEST(ParGenLists, OctetSuccessors)
{
    const std::pair<const char*, const char*> cases[] = {
        {"E_EthConn_Pri_DNS_IP1", "E_EthConn_Pri_DNS_IP2"}, {"E_EthConn_Pri_DNS_IP4", "E_EthConn_Sec_DNS_IP1"},
        {"E_EthConn_Sec_DNS_IP3", "E_EthConn_Sec_DNS_IP4"}, {"E_EthConn_Sec_DNS_IP4", ""},
        {"E_Ethernet_IP3", "E_Ethernet_IP4"},               {"E_Ethernet_IP4", "E_Ethernet_SM1"},
        {"E_Ethernet_SM4", "E_Ethernet_GAT1"},              {"E_Ethernet_GAT3", "E_Ethernet_GAT4"},
        {"E_Ethernet_GAT4", ""},                            {"E_PROFINET_IP1", ""},
    };
    for (const auto& [from, to] : cases) EXPECT_EQ(Octet_Successor(from), QString(to)) << from;
}

// --- ParGen.xml ----------------------------------------------------------------

TEST(ParGenFile, FixtureLoadsAndWritesBackByteForByte)
{
    const QByteArray bytes = Fixture("ParGen_US915.xml");
    const TParGen_Values v = ReadBytes(bytes);
    EXPECT_EQ(v.Device_Name, "Gateway-07");
    EXPECT_TRUE(v.Enable_DNS);
    EXPECT_EQ(v.RF_Band_Text(), "US915");
    EXPECT_EQ(v.DataRate, 6);
    EXPECT_EQ(v.RX2_Datarate, 2);
    EXPECT_EQ(v.FreqSubBand, 1);
    EXPECT_EQ(v.Activation_Method, 1);
    EXPECT_EQ(v.Server_Address, "lns.example.test");
    EXPECT_EQ(v.CAN_Baudrate, 6);
    EXPECT_TRUE(v.En_GAT);
    EXPECT_EQ(ParGen_ToBytes(v), bytes);
}

TEST(ParGenFile, SaveIsAtomicAndLoadsBack)
{
    TempExeFolder dir;
    const QString path = dir.File("ParGen.xml");
    TParGen_Values v = ReadBytes(Fixture("ParGen_US915.xml"));
    v.Device_Name = "edited";
    ParGen_Save(path, v);
    EXPECT_EQ(ParGen_Load(path), v);
    EXPECT_TRUE(ReadTestFile(path).startsWith("<Par_Gen><Eth_Conn_Device_Name>edited</Eth_Conn_Device_Name>"));
    EXPECT_TRUE(ReadTestFile(path).endsWith("</Par_Gen><!--SW_VERSION = 1.000-->"));

    // A folder that cannot hold the file: the failure is reported.
    WriteTestFile(dir.File("plainfile"), "x");
    EXPECT_THROW(ParGen_Save(dir.File("plainfile/ParGen.xml"), v), EFileError);
}

TEST(ParGenFile, BareRootAndMissingFileGiveDefaults)
{
    TempExeFolder dir;
    const TParGen_Values d = ParGen_Defaults();
    EXPECT_EQ(d.Server_Address, Default_LoRaWAN_Server_Address);
    EXPECT_EQ(ParGen_Load(dir.File("none.xml")), d);
    EXPECT_EQ(ReadBytes("<Par_Gen/>"), d);
    // Nodes before the root change nothing: the document element is read.
    for (const char* prolog : {"<!--c-->", "<?xml-stylesheet href=\"a.xsl\"?>", "<?xml version=\"1.0\"?><!--c-->"}) {
        const TParGen_Values v = ReadBytes(prolog + QByteArray("<Par_Gen><Eth_Conn_Device_Name>x</Eth_Conn_Device_Name></Par_Gen>"));
        EXPECT_EQ(v.Device_Name, "x") << prolog;
    }

    const QByteArray out = ParGen_ToBytes(d);
    const std::pair<const char*, QString> expected[] = {
        {"Eth_Conn_Primary_DNS1", "8"}, {"LoRaWAN_Mode", "Gateway"}, {"LoRaWAN_RF_Band", "EU868"},
        {"LoRaWAN_Server_Address", Default_LoRaWAN_Server_Address}, {"LoRaWAN_Server_Port_Up", "1780"},
        {"LoRaWAN_KeepAlive_Interval", "10"}, {"LoRaWAN_Network_Type", "Private"},
        {"LoRaWAN_DataRate", "0 -\tLoRa: SF12/125kHz 250 [bit/s]"}, {"LoRaWAN_Transmission_Type", "Unconfirmed"},
        {"LoRaWAN_Activation_Method", ""}, {"LoRaWAN_Class", "A"}, {"LoRaWAN_Diagostic_Position", "0"},
        {"LoRaWAN_RX2_Datarate", "SF12BW125"}, {"LoRaWAN_Frequency_Sub_Band", "1"}, {"Ethernet_IP4", "5"},
        {"Ethernet_SM4", "0"}, {"Ethernet_GAT4", "1"}, {"Ethernet_EN_GAT", "0"}, {"CAN_BAUDRATE", "9"},
    };
    for (const auto& [name, value] : expected) EXPECT_EQ(Element(out, name), value) << name;

    TXMLDocument doc;
    doc.LoadFromBytes(out);
    EXPECT_EQ(doc.DocumentElement().ChildElements().size(), 46u);
}

TEST(ParGenFile, ValuesTheEditorCorrectsOnReading)
{
    auto read = [](const QString& body) { return ReadBytes(("<Par_Gen>" + body + "</Par_Gen>").toUtf8()); };

    // Lists match their item ignoring case; the data rates follow the band.
    TParGen_Values v = read("<LoRaWAN_RF_Band>us915</LoRaWAN_RF_Band>"
                            "<LoRaWAN_DataRate>10 - lora: sf10/500khz 3900 [bit/s]</LoRaWAN_DataRate>");
    EXPECT_EQ(v.RF_Band_Text(), "US915");
    EXPECT_EQ(v.DataRate, 7);
    EXPECT_EQ(v.RX2_Datarate, 0);

    // A band without data rates: the data rate is written empty.
    v = read("<LoRaWAN_RF_Band>KR920</LoRaWAN_RF_Band>");
    EXPECT_EQ(v.DataRate, -1);
    EXPECT_EQ(Element(ParGen_ToBytes(v), "LoRaWAN_DataRate"), "");
    EXPECT_EQ(Element(ParGen_ToBytes(v), "LoRaWAN_RX2_Datarate"), "SF12BW125");

    // A band that matches no item: no band, no data-rate lists.
    v = read("<LoRaWAN_RF_Band>XX999</LoRaWAN_RF_Band>");
    EXPECT_EQ(v.RF_Band, -1);
    EXPECT_EQ(v.RX2_Datarate, -1);

    // The mode is always Gateway and the Wi-Fi DHCP box always comes back unchecked.
    v = read("<LoRaWAN_Mode>End Node</LoRaWAN_Mode><Eth_Conn_DHCP_WiFi>1</Eth_Conn_DHCP_WiFi>"
             "<Eth_Conn_DHCP_Cable>yes</Eth_Conn_DHCP_Cable>");
    EXPECT_EQ(v.Mode, 0);
    EXPECT_FALSE(v.DHCP_WiFi);
    EXPECT_FALSE(v.DHCP_Cable);

    // Edits take the text unchanged.
    v = read("<Ethernet_IP1> 300</Ethernet_IP1><LoRaWAN_Diagostic_Position>abc</LoRaWAN_Diagostic_Position>"
             "<Eth_Conn_Device_Name>  </Eth_Conn_Device_Name>");
    EXPECT_EQ(v.IP[0], " 300");
    EXPECT_EQ(v.Diag_Pos, "abc");
    EXPECT_EQ(v.Device_Name, "  ");

    const std::pair<const char*, int> bauds[] = {{"abc", 9}, {"12", 9}, {"-1", 9}, {"", 9}, {"0", 0}, {"3", 3}, {"$5", 5}};
    for (const auto& [text, index] : bauds) {
        v = read(QString("<CAN_BAUDRATE>%1</CAN_BAUDRATE>").arg(text));
        EXPECT_EQ(v.CAN_Baudrate, index) << text;
        EXPECT_EQ(Element(ParGen_ToBytes(v), "CAN_BAUDRATE"), QString::number(index)) << text;
    }
}

TEST(ParGenFile, UnparsableFileIsAnError)
{
    TempExeFolder dir;
    WriteTestFile(dir.File("ParGen.xml"), "<Par_Gen><Eth_Conn_Device_Name>x</Par_Gen>");
    EXPECT_THROW(ParGen_Load(dir.File("ParGen.xml")), EXMLError);
}

// --- checks --------------------------------------------------------------------

namespace {

// What the live gateway layout checks: a valid entry.
TParGen_CheckInput ValidInput()
{
    TParGen_CheckInput in;
    in.Pri_DNS = {"8", "8", "8", "8"};
    in.Sec_DNS = {"8", "8", "8", "8"};
    in.RF_Band = "EU868";
    in.Server_Port_Up = {"1780", false};
    in.Server_Port_Down = {"1780", false};
    in.KeepAlive_Interval = {"10", false};
    in.Network_Type = {"Private", true};
    in.Diag_Pos = {"0", true};
    in.DataRate = {"0 -\tLoRa", false};
    in.Transmission_Type = {"Unconfirmed", false};
    in.Activation_Method = {"", false};
    in.IP = {"192", "168", "0", "5"};
    in.SM = {"255", "255", "255", "0"};
    in.GAT = {"192", "168", "0", "1"};
    return in;
}

} // namespace

TEST(ParGenCheck, FirstFailingCheckNamesItsText)
{
    using Edit = std::function<void(TParGen_CheckInput&)>;
    const std::pair<std::optional<int>, Edit> cases[] = {
        {std::nullopt, [](auto&) {}},
        {std::nullopt, [](auto& i) { i.Pri_DNS = {"", "", "", ""}; i.Sec_DNS = {"x", "", "", ""}; }},
        {1053, [](auto& i) { i.Enable_DNS = true; i.Pri_DNS[2] = "256"; }},
        {1051, [](auto& i) { i.Enable_DNS = true; i.Pri_DNS[0] = "-1"; i.IP[3] = "300"; }},
        {1056, [](auto& i) { i.Enable_DNS = true; i.Sec_DNS[1] = "ab"; }},
        {1058, [](auto& i) { i.Enable_DNS = true; i.Sec_DNS[3] = ""; }},
        {1396, [](auto& i) { i.RF_Band = " "; i.IP[3] = "300"; }},
        {std::nullopt, [](auto& i) { i.Server_Port_Up.Text = "70000"; i.Join_EUI.Text = "1"; }},
        {1343, [](auto& i) { i.Server_Port_Up = {"65536", true}; }},
        {1344, [](auto& i) { i.Server_Port_Down = {"", true}; }},
        {1345, [](auto& i) { i.KeepAlive_Interval = {"10000001", true}; }},
        {1397, [](auto& i) { i.Network_Type.Text = ""; }},
        {std::nullopt, [](auto& i) { i.Diag_Pos.Text = "1536"; }},
        {1408, [](auto& i) { i.Diag_Pos.Text = "1537"; }},
        {1408, [](auto& i) { i.Diag_Pos.Text = ""; }},
        {std::nullopt, [](auto& i) { i.Diag_Pos = {"", false}; }},
        {1398, [](auto& i) { i.DataRate = {"", true}; }},
        {1399, [](auto& i) { i.Transmission_Type = {" ", true}; }},
        {1400, [](auto& i) { i.Join_EUI = {"0123456789ABCDE", true}; }},
        {1401, [](auto& i) { i.Join_EUI = {"0123456789ABCDEF", true}; i.Activation_Method.Visible = true; }},
        {1402, [](auto& i) { i.Device_Address = {"1234567", true}; }},
        {1403, [](auto& i) { i.Network_Session_Key = {QString(31, 'A'), true}; }},
        {1404, [](auto& i) { i.Application_Session_Key = {QString(33, 'A'), true}; }},
        {1405, [](auto& i) { i.Application_Key = {"", true}; }},
        {std::nullopt, [](auto& i) { i.Application_Key = {QString(32, 'A'), true}; }},
        {1145, [](auto& i) { i.IP[3] = "300"; }},
        {1142, [](auto& i) { i.IP[0] = "a"; i.SM[0] = "a"; }},
        {1146, [](auto& i) { i.SM[0] = "-5"; }},
        {1149, [](auto& i) { i.SM[3] = "256"; }},
        {std::nullopt, [](auto& i) { i.GAT = {"999", "999", "999", "999"}; }},
        {1151, [](auto& i) { i.En_GAT = true; i.GAT[1] = "999"; }},
        {1153, [](auto& i) { i.En_GAT = true; i.GAT[3] = ""; }},
    };
    int n = 0;
    for (const auto& [expected, edit] : cases) {
        TParGen_CheckInput in = ValidInput();
        edit(in);
        EXPECT_EQ(ParGen_Check(in), expected) << "case " << n;
        ++n;
    }
}

TEST(ParGenCheck, DiagnosticMessageCarriesTheLimit)
{
    const auto text = [](int n) {
        return n == 1408 ? QString("Error LoRaWAN!! Diagnostic Position must be between 0 and %d") : QString("other");
    };
    EXPECT_EQ(ParGen_Check_Message(1408, text), "Error LoRaWAN!! Diagnostic Position must be between 0 and 1536");
    EXPECT_EQ(ParGen_Check_Message(1145, text), "other");
    EXPECT_EQ(ParGen_Check_Message(1408, [](int) { return QString("no number %s"); }), "no number %s");
}

// --- panels and layout -----------------------------------------------------------

namespace {

constexpr int H = 24; // header height used by these tests

TParGen_State GatewayState(const QString& band, bool dhcp)
{
    TParGen_State s;
    s.RF_Band_Text = band;
    s.Index["CB_LoRaWAN_Mode"] = 0;
    s.Index["CB_Select_Device_Device"] = 0;
    s.Checked["CB_EthConn_En_DHCP_Cable"] = dhcp;
    return s;
}

TParGen_Layout Live(const TParGen_State& s)
{
    TParGen_Layout L = ParGen_Design_Layout();
    ParGen_Order_Panels(ParGen_Built_Variant, L);
    ParGen_RePosition(ParGen_Built_Variant, s, H, L);
    return L;
}

} // namespace

TEST(ParGenLayout, LiveVariantShowsFourNumberedPanels)
{
    const TParGen_Layout L = Live(GatewayState("EU868", false));
    EXPECT_EQ(L.Order, (QStringList{"CP_Ethernet_Connection", "CP_LoRaWAN", "CP_CAN", "CP_Ethernet"}));
    int shown = 0;
    for (const TPanelState& p : L.Panels) shown += p.Visible;
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(L.Panels.size(), 38);
    const std::tuple<const char*, const char*, int, int> panels[] = {
        {"CP_Ethernet_Connection", "1. ", 406, 149 + 21 + H + 12},
        {"CP_LoRaWAN", "2. ", 1337, 93 + 21 + H + 12},
        {"CP_CAN", "3. ", 605, 9 + 21 + H + 12},
        {"CP_Ethernet", "4. ", 425, 66 + 21 + H + 12},
    };
    for (const auto& [name, prefix, text, height] : panels) {
        const TPanelState& p = L.Panels[name];
        EXPECT_EQ(p.Caption_Prefix, prefix) << name;
        EXPECT_EQ(p.CaptionText, text) << name;
        EXPECT_EQ(p.Height, height) << name;
    }
}

TEST(ParGenLayout, LoRaWANRowsByBand)
{
    struct Row {
        const char* label;
        const char* ctrl;
        int top; // 0: hidden
    };
    const Row eu[] = {
        {"L_LoRaWAN_RF_Band", "CB_LoRaWAN_RF_Band", 12},
        {"L_LoRaWAN_Network_Type", "CB_LoRaWAN_Network_Type", 40},
        {"L_LoRaWAN_Diag_Pos", "E_LoRaWAN_Diag_Pos", 68},
        {"L_LoRaWAN_RX2_Datarate", "CB_LoRaWAN_RX2_Datarate", 96},
        {"L_LoRaWAN_FreqSubBand", "CB_LoRaWAN_FreqSubBand", 0},
        {"L_LoRaWAN_Mode", "CB_LoRaWAN_Mode", 0},
        {"L_LoRaWAN_Server_Address", "E_LoRaWAN_Server_Address", 0},
        {"L_LoRaWAN_Server_Port_Up", "E_LoRaWAN_Server_Port_Up", 0},
        {"L_LoRaWAN_KeepAlive_Interval", "E_LoRaWAN_KeepAlive_Interval", 0},
        {"L_LoRaWAN_DataRate", "CB_LoRaWAN_DataRate", 0},
        {"L_LoRaWAN_Join_EUI", "E_LoRaWAN_Join_EUI", 0},
        {"L_LoRaWAN_Application_Key", "E_LoRaWAN_Application_Key", 0},
        {"L_LoRaWAN_Class", "CB_LoRaWAN_Class", 0},
    };
    for (const char* band : {"EU868", "US915"}) {
        const TParGen_Layout L = Live(GatewayState(band, false));
        const bool us = QString(band) == "US915";
        for (const Row& r : eu) {
            int top = r.top;
            if (QString(r.ctrl) == "CB_LoRaWAN_FreqSubBand" && us) top = 124;
            EXPECT_EQ(L.At(r.label).Visible, top != 0) << band << " " << r.label;
            EXPECT_EQ(L.At(r.ctrl).Visible, top != 0) << band << " " << r.ctrl;
            if (top) {
                EXPECT_EQ(L.At(r.label).Top, top) << r.label;
                EXPECT_EQ(L.At(r.ctrl).Top, top - 3) << r.ctrl;
                EXPECT_EQ(L.At(r.label).Left, 14);
                EXPECT_EQ(L.At(r.ctrl).Left, 191);
                EXPECT_EQ(L.At(r.ctrl).Width, 238);
            }
        }
        EXPECT_FALSE(L.At("CB_LoRaWAN_Adaptive_DataRate").Visible);
        EXPECT_EQ(L.Panels["CP_LoRaWAN"].Height, (us ? 121 : 93) + 21 + H + 12) << band;
    }
}

TEST(ParGenLayout, DhcpDisablesTheWholeEthernetPanel)
{
    for (bool dhcp : {false, true}) {
        TParGen_State s = GatewayState("EU868", dhcp);
        s.Checked["CB_Ethernet_En_GAT"] = false;
        const TParGen_Layout L = Live(s);
        for (const char* prefix : {"E_Ethernet_IP", "E_Ethernet_SM", "E_Ethernet_GAT"})
            for (int i = 1; i <= 4; ++i) EXPECT_EQ(L.At(prefix + QString::number(i)).Enabled, !dhcp) << prefix << i;
        EXPECT_EQ(L.At("CB_Ethernet_En_GAT").Enabled, !dhcp);
        EXPECT_FALSE(L.At("E_Ethernet_TCP_Port").Visible);
        EXPECT_FALSE(L.At("L_Ethernet_UDP_Port").Visible);
        // The DNS edits stay enabled whatever DNS and DHCP say.
        EXPECT_TRUE(L.At("E_EthConn_Pri_DNS_IP1").Enabled);
    }
    // The gateway row: box at the row top, edits two above it.
    const TParGen_Layout L = Live(GatewayState("EU868", false));
    EXPECT_EQ(L.At("CB_Ethernet_En_GAT").Top, 68);
    EXPECT_EQ(L.At("E_Ethernet_GAT1").Top, 66);
    EXPECT_EQ(L.At("E_Ethernet_SM4").Left, 374);
    EXPECT_EQ(L.At("E_Ethernet_SM4").Width, 55);
}

TEST(ParGenLayout, WifiDhcpBoxFollowsSelectDevice)
{
    for (int device : {0, 1, 2}) {
        TParGen_State s = GatewayState("EU868", false);
        s.Index["CB_Select_Device_Device"] = device;
        EXPECT_EQ(Live(s).At("CB_EthConn_En_DHCP_WiFi").Enabled, device == 1) << device;
    }
}

TEST(ParGenLayout, OtherVariantsFoldTheirPanels)
{
    TParGen_State s = GatewayState("EU868", false);
    s.Index["CB_Select_Device_Device"] = 2;
    TParGen_Layout L = ParGen_Design_Layout();
    ParGen_Order_Panels("52R56", L);
    ParGen_RePosition("52R56", s, H, L);
    EXPECT_EQ(L.Order.size(), 11);
    EXPECT_EQ(L.Panels["CP_PLC"].Caption_Prefix, "11. ");
    EXPECT_TRUE(L.Panels["CP_WiFi2"].Collapsed);
    EXPECT_FALSE(L.Panels["CP_WiFi2"].Enabled);
    EXPECT_FALSE(L.Panels["CP_GSM_GPRS"].Collapsed);
    EXPECT_TRUE(L.Panels["CP_GSM_GPRS"].Enabled);
    EXPECT_FALSE(L.Panels["CP_CAN"].Visible);

    // BACnet master: MS/TP rows move up to the address row.
    s.Index["CB_BACnet_Master_Type"] = 1;
    L = ParGen_Design_Layout();
    ParGen_Order_Panels("52R36", L);
    ParGen_RePosition("52R36", s, H, L);
    EXPECT_FALSE(L.Panels["CP_Ethernet"].Collapsed);
    EXPECT_FALSE(L.At("E_BACnet_IP_Master_IP1").Visible);
    EXPECT_EQ(L.At("L_BACnet_MSTP_Master_Baudrate").Top, 40);
    EXPECT_EQ(L.At("CB_BACnet_MSTP_Master_Baudrate").Top, 37);
    EXPECT_EQ(L.At("E_BACnet_MSTP_Master_Device_Instance").Top, 37 + 6 * 28);
    EXPECT_EQ(L.Panels["CP_BACnet_Master"].Height, 37 + 6 * 28 + 21 + H + 12);

    s.Index["CB_BACnet_Master_Type"] = 0;
    ParGen_RePosition("52R36", s, H, L);
    EXPECT_TRUE(L.Panels["CP_Ethernet"].Collapsed);
    EXPECT_FALSE(L.Panels["CP_Ethernet"].Enabled);
    EXPECT_TRUE(L.At("E_BACnet_IP_Master_IP1").Visible);
    EXPECT_FALSE(L.At("CB_BACnet_MSTP_Master_Baudrate").Visible);

    EXPECT_EQ(ParGen_Variants().size(), 28);
    EXPECT_THROW(ParGen_Order_Panels("52R99", L), Exception);
}

TEST(ParGenLayout, OptionRowsOfDormantPanels)
{
    TParGen_Layout L = ParGen_Design_Layout();
    TParGen_State s;
    // MQTT: no will, no connection topic: user name takes the will topic's place.
    ParGen_RePosition_Panel("CP_MQTT", s, H, L);
    EXPECT_FALSE(L.At("E_MQTT_Will_TopicName").Visible);
    EXPECT_EQ(L.At("CB_MQTT_PublishTopicConnection").Top, 12 + 6 * 28);
    EXPECT_EQ(L.At("L_MQTT_Username").Top, 12 + 7 * 28);
    EXPECT_EQ(L.At("E_MQTT_Password").Top, 12 + 8 * 28 - 3);
    EXPECT_FALSE(L.At("E_MQTT_ASync_Send_Time").Visible);

    // Wi-Fi access point with a password and DHCP.
    s.Index["CB_WiFi2_Type"] = 0;
    s.Index["CB_WiFi2_Secure_Type"] = 2;
    s.Checked["CB_WiFi2_En_DHCP"] = true;
    ParGen_RePosition_Panel("CP_WiFi2", s, H, L);
    EXPECT_EQ(L.At("L_WiFi2_Password").Top, 12 + 168);
    EXPECT_EQ(L.At("CB_WiFi2_En_DHCP").Top, 12 + 196);
    EXPECT_EQ(L.At("E_WiFi2_DHCP_First_IP1").Top, 12 + 196 + 25);
    EXPECT_EQ(L.At("CB_WiFi2_Channel").Top, 12 + 196 + 112 + 25);
    EXPECT_FALSE(L.At("E_WiFi2_IP2_IP1").Visible);

    // SNMP agent, version 3 with authority only.
    s.Checked["CB_SNMP_Agent_Version3"] = true;
    s.Index["CB_SNMP_Agent_SecurityLevel"] = 1;
    ParGen_RePosition_Panel("CP_SNMP_Agent", s, H, L);
    EXPECT_TRUE(L.At("E_SNMP_Agent_Authority").Visible);
    EXPECT_FALSE(L.At("CB_SNMP_Agent_PrivacyMode").Visible);
    const TPlace& mode = L.At("CB_SNMP_Agent_AuthorityMode");
    EXPECT_EQ(L.Panels["CP_SNMP_Agent"].Height, mode.Top + mode.Height + H + 12);
}

TEST(ParGenTexts, EveryPanelTakesItsBlockOnce)
{
    // The text blocks of the panels; each number is used exactly once.
    const std::vector<std::pair<int, int>> blocks{
        {407, 424}, {606, 607}, {426, 445}, {1036, 1037}, {447, 454}, {456, 467}, {469, 480}, {482, 501},
        {503, 520}, {522, 561}, {563, 604}, {609, 619}, {621, 624}, {626, 633}, {635, 638}, {640, 659},
        {661, 680}, {682, 689}, {691, 732}, {734, 811}, {813, 826}, {1428, 1429}, {828, 831}, {833, 838},
        {840, 855}, {857, 874}, {876, 902}, {904, 920}, {922, 959}, {961, 972}, {974, 991}, {993, 1014},
        {1019, 1034}, {1039, 1048}, {1413, 1426}, {1350, 1353}, {1356, 1363}, {1432, 1435}, {1438, 1441},
        {1338, 1342}, {1367, 1395}, {1406, 1407}, {1409, 1412},
    };
    QSet<int> expected;
    for (const auto& [a, b] : blocks)
        for (int i = a; i <= b; ++i) expected.insert(i);
    QHash<int, int> used;
    for (const TTextAssign& a : ParGen_Panel_Texts()) ++used[a.Text];
    for (int n : expected) EXPECT_EQ(used.value(n), 1) << "text " << n;
    for (auto it = used.cbegin(); it != used.cend(); ++it) EXPECT_TRUE(expected.contains(it.key())) << "text " << it.key();

    // Spot checks of rows with their own numbering.
    auto find = [](const QString& control, TTextTarget t) {
        for (const TTextAssign& a : ParGen_Panel_Texts())
            if (a.Control == control && a.Target == t) return a.Text;
        return -1;
    };
    EXPECT_EQ(find("L_IEC61850_Server_Port", TTextTarget::Caption), 661);
    EXPECT_EQ(find("L_IEC61850_Server_IP", TTextTarget::Caption), 665);
    EXPECT_EQ(find("E_TLS_CA_Cert", TTextTarget::Hint), 1429);
    EXPECT_EQ(find("CB_GSM_GPRS_En_Second_SIM", TTextTarget::Caption), 1413);
    EXPECT_EQ(find("CB_WorkMode_WorkMode", TTextTarget::Hint), 1441);
    EXPECT_EQ(find("L_LoRaWAN_RF_Band", TTextTarget::Caption), 1338);
    EXPECT_EQ(find("CB_LoRaWAN_RF_Band", TTextTarget::Hint), 1369);
    EXPECT_EQ(find("E_EthConn_Sec_DNS_IP4", TTextTarget::Hint), 424);
}
