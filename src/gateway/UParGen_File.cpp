// ParGen.xml: one element per setting under the root Par_Gen, the version
// comment after the root, no declaration.
#include "gateway/LoRaWANDefaults.h"
#include "gateway/UParGen.h"

#include "platform/Files.h"
#include "platform/SysUtils.h"

namespace {

const QString Root_Name = QStringLiteral("Par_Gen");
const QString Version_Comment = QStringLiteral("SW_VERSION = 1.000");

int MatchItem(const QStringList& items, const QString& text)
{
    for (int i = 0; i < items.size(); ++i)
        if (items[i].compare(text, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString ItemText(const QStringList& items, int index)
{
    return index >= 0 && index < items.size() ? items[index] : QString();
}

QString Flag(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }

// Each element is looked up on its own; a missing one leaves the value as
// the caller set it.
class Reader {
public:
    explicit Reader(const XmlNode& root) : m_root(root.IsElement() ? root : XmlNode()) {}
    std::optional<QString> Get(const QString& name) const
    {
        const XmlNode n = m_root.FindChild(name);
        if (n.IsNull()) return std::nullopt;
        return n.Text();
    }
    void Text(const QString& name, QString& out, const QString& def) const { out = Get(name).value_or(def); }
    void Check(const QString& name, bool& out) const
    {
        const auto t = Get(name);
        out = t && *t == QLatin1String("1");
    }
    void List(const QString& name, const QStringList& items, int& out, int def) const
    {
        const auto t = Get(name);
        out = t ? MatchItem(items, *t) : def;
    }

private:
    XmlNode m_root;
};

void ReadOctets(const Reader& r, const QString& prefix, std::array<QString, 4>& out, const std::array<QString, 4>& def)
{
    for (int i = 0; i < 4; ++i) r.Text(prefix + QString::number(i + 1), out[i], def[i]);
}

} // namespace

QString TParGen_Values::RF_Band_Text() const { return ItemText(LoRaWAN_RF_Band_Items(), RF_Band); }

TParGen_Values ParGen_Defaults()
{
    TParGen_Values v;
    v.Server_Address = Default_LoRaWAN_Server_Address;
    v.DataRate = LoRaWAN_DataRate_Items(v.RF_Band_Text()).isEmpty() ? -1 : 0;
    v.RX2_Datarate = LoRaWAN_RX2_Items(v.RF_Band_Text()).isEmpty() ? -1 : 0;
    return v;
}

TParGen_Values ParGen_Read(const TXMLDocument& doc)
{
    const TParGen_Values d = ParGen_Defaults();
    TParGen_Values v = d;
    const Reader r(doc.DocumentElement());

    r.Text("Eth_Conn_Device_Name", v.Device_Name, d.Device_Name);
    r.Check("Eth_Conn_DHCP_Cable", v.DHCP_Cable);
    v.DHCP_WiFi = false; // never read: the box comes back unchecked
    r.Check("Eth_Conn_Enable_DNS", v.Enable_DNS);
    ReadOctets(r, "Eth_Conn_Primary_DNS", v.Pri_DNS, d.Pri_DNS);
    ReadOctets(r, "Eth_Conn_Secondary_DNS", v.Sec_DNS, d.Sec_DNS);
    v.Mode = 0; // this editor always works as a gateway, whatever the file says

    r.List("LoRaWAN_RF_Band", LoRaWAN_RF_Band_Items(), v.RF_Band, d.RF_Band);
    // The data-rate lists follow the band before their elements are read.
    const QStringList dataRates = LoRaWAN_DataRate_Items(v.RF_Band_Text());
    const QStringList rx2 = LoRaWAN_RX2_Items(v.RF_Band_Text());

    r.Text("LoRaWAN_Server_Address", v.Server_Address, d.Server_Address);
    r.Text("LoRaWAN_Server_Port_Up", v.Server_Port_Up, d.Server_Port_Up);
    r.Text("LoRaWAN_Server_Port_Down", v.Server_Port_Down, d.Server_Port_Down);
    r.Text("LoRaWAN_KeepAlive_Interval", v.KeepAlive_Interval, d.KeepAlive_Interval);
    r.List("LoRaWAN_Network_Type", LoRaWAN_Network_Type_Items(), v.Network_Type, d.Network_Type);
    r.Check("LoRaWAN_Adaptive_DataRate", v.Adaptive_DataRate);
    r.List("LoRaWAN_DataRate", dataRates, v.DataRate, dataRates.isEmpty() ? -1 : 0);
    r.List("LoRaWAN_Transmission_Type", LoRaWAN_Transmission_Type_Items(), v.Transmission_Type, d.Transmission_Type);
    r.Text("LoRaWAN_Join_EUI", v.Join_EUI, d.Join_EUI);
    r.List("LoRaWAN_Activation_Method", LoRaWAN_Activation_Method_Items(), v.Activation_Method, d.Activation_Method);
    r.Text("LoRaWAN_Device_Address", v.Device_Address, d.Device_Address);
    r.Text("LoRaWAN_Network_Session_Key", v.Network_Session_Key, d.Network_Session_Key);
    r.Text("LoRaWAN_Application_Session_Key", v.Application_Session_Key, d.Application_Session_Key);
    r.Text("LoRaWAN_Application_Key", v.Application_Key, d.Application_Key);
    r.List("LoRaWAN_Class", LoRaWAN_Class_Items(), v.Class, d.Class);
    r.Text("LoRaWAN_Diagostic_Position", v.Diag_Pos, d.Diag_Pos);
    r.List("LoRaWAN_RX2_Datarate", rx2, v.RX2_Datarate, rx2.isEmpty() ? -1 : 0);
    r.List("LoRaWAN_Frequency_Sub_Band", LoRaWAN_FreqSubBand_Items(), v.FreqSubBand, d.FreqSubBand);

    ReadOctets(r, "Ethernet_IP", v.IP, d.IP);
    ReadOctets(r, "Ethernet_SM", v.SM, d.SM);
    ReadOctets(r, "Ethernet_GAT", v.GAT, d.GAT);
    r.Check("Ethernet_EN_GAT", v.En_GAT);

    // Text that is no integer, and an index outside the list, select 1000K:
    // the file is never written with "-1" and agrees with the image builder.
    if (const auto t = r.Get("CAN_BAUDRATE")) {
        const int i = StrToIntDef(*t, 9);
        v.CAN_Baudrate = i >= 0 && i < CAN_Baudrate_Items().size() ? i : 9;
    }
    return v;
}

TParGen_Values ParGen_Load(const QString& path)
{
    if (!FileExists(path)) return ParGen_Defaults();
    TXMLDocument doc;
    doc.LoadFromFile(path);
    return ParGen_Read(doc);
}

void ParGen_Build(const TParGen_Values& v, TXMLDocument& doc)
{
    doc.Clear();
    XmlNode root = doc.AddRoot(Root_Name);
    doc.AddDocComment(Version_Comment);

    auto add = [&root](const QString& name, const QString& value) { root.AddChild(name, value); };
    auto octets = [&add](const QString& prefix, const std::array<QString, 4>& o) {
        for (int i = 0; i < 4; ++i) add(prefix + QString::number(i + 1), o[i]);
    };
    const QString band = v.RF_Band_Text();

    add("Eth_Conn_Device_Name", v.Device_Name);
    add("Eth_Conn_DHCP_Cable", Flag(v.DHCP_Cable));
    add("Eth_Conn_DHCP_WiFi", Flag(v.DHCP_WiFi));
    add("Eth_Conn_Enable_DNS", Flag(v.Enable_DNS));
    octets("Eth_Conn_Primary_DNS", v.Pri_DNS);
    octets("Eth_Conn_Secondary_DNS", v.Sec_DNS);
    add("LoRaWAN_Mode", LoRaWAN_Mode_Items().first());
    add("LoRaWAN_RF_Band", band);
    add("LoRaWAN_Server_Address", v.Server_Address);
    add("LoRaWAN_Server_Port_Up", v.Server_Port_Up);
    add("LoRaWAN_Server_Port_Down", v.Server_Port_Down);
    add("LoRaWAN_KeepAlive_Interval", v.KeepAlive_Interval);
    add("LoRaWAN_Network_Type", ItemText(LoRaWAN_Network_Type_Items(), v.Network_Type));
    add("LoRaWAN_Adaptive_DataRate", Flag(v.Adaptive_DataRate));
    add("LoRaWAN_DataRate", ItemText(LoRaWAN_DataRate_Items(band), v.DataRate));
    add("LoRaWAN_Transmission_Type", ItemText(LoRaWAN_Transmission_Type_Items(), v.Transmission_Type));
    add("LoRaWAN_Join_EUI", v.Join_EUI);
    add("LoRaWAN_Activation_Method", ItemText(LoRaWAN_Activation_Method_Items(), v.Activation_Method));
    add("LoRaWAN_Device_Address", v.Device_Address);
    add("LoRaWAN_Network_Session_Key", v.Network_Session_Key);
    add("LoRaWAN_Application_Session_Key", v.Application_Session_Key);
    add("LoRaWAN_Application_Key", v.Application_Key);
    add("LoRaWAN_Class", ItemText(LoRaWAN_Class_Items(), v.Class));
    add("LoRaWAN_Diagostic_Position", v.Diag_Pos);
    add("LoRaWAN_RX2_Datarate", ItemText(LoRaWAN_RX2_Items(band), v.RX2_Datarate));
    add("LoRaWAN_Frequency_Sub_Band", ItemText(LoRaWAN_FreqSubBand_Items(), v.FreqSubBand));
    octets("Ethernet_IP", v.IP);
    octets("Ethernet_SM", v.SM);
    octets("Ethernet_GAT", v.GAT);
    add("Ethernet_EN_GAT", Flag(v.En_GAT));
    add("CAN_BAUDRATE", QString::number(v.CAN_Baudrate));
}

QByteArray ParGen_ToBytes(const TParGen_Values& v)
{
    TXMLDocument doc;
    ParGen_Build(v, doc);
    return doc.SaveToBytes();
}

void ParGen_Save(const QString& path, const TParGen_Values& v) { WriteFileAtomic(path, ParGen_ToBytes(v)); }
