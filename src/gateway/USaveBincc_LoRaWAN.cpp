// Image builder: the LoRaWAN section of bank2.bin (its ParGen.xml values,
// the devices and rules of LoRaWAN_Gateway.xml, the layout and the writer).
#include "gateway/LoRaWANDefaults.h"
#include "gateway/USaveBincc.h"

#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "platform/XmlDoc.h"

namespace {

constexpr uint32_t Mode_Gateway = 4369;
constexpr uint32_t Mode_End_Node = 8448;

void Append16(QByteArray& out, uint16_t v)
{
    out.append(char(v & 0xFF)).append(char(v >> 8));
}

void Append32(QByteArray& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xFF));
}

template <size_t N>
void AppendBytes(QByteArray& out, const std::array<uint8_t, N>& a)
{
    out.append(reinterpret_cast<const char*>(a.data()), qsizetype(N));
}

std::optional<QString> ElementText(const XmlNode& root, const char* name)
{
    if (root.IsNull() || !root.IsElement()) return std::nullopt;
    const XmlNode n = root.FindChild(QString::fromLatin1(name));
    if (n.IsNull()) return std::nullopt;
    return n.Text();
}

QString ElementTextOr(const XmlNode& root, const char* name, const QString& def)
{
    const auto t = ElementText(root, name);
    return t ? *t : def;
}

int32_t ElementInt(const XmlNode& root, const char* name, int32_t def)
{
    const auto t = ElementText(root, name);
    return t ? StrToIntDef(*t, def) : def;
}

template <size_t N>
void ParseHex(const QString& text, std::array<uint8_t, N>& field, bool reversed)
{
    Parse_Hex_Field(text, field.data(), int(N), reversed);
}

// "0x" + pair read as an integer; 0 when the pair is no hex number.
uint8_t HexPair(const QString& pair)
{
    return uint8_t(StrToIntDef(QStringLiteral("0x") + pair, 0));
}

bool IsYes(const QString& text) { return Trim(text).toUpper() == QStringLiteral("Y"); }

// Where a device or rule stands in LoRaWAN_Gateway.xml, for messages.
struct Place {
    QString file;
    int device = 0;                // 1-based position in the device list
    const char* ruleKind = nullptr; // "uplink" / "downlink"
    int rule = 0;                  // 1-based position in its rule list

    QString Text() const
    {
        QString s = QStringLiteral("%1: device %2").arg(file).arg(device);
        if (ruleKind) s += QStringLiteral(", %1 rule %2").arg(QString::fromLatin1(ruleKind)).arg(rule);
        return s;
    }
};

QString RequiredAttribute(const XmlNode& node, const char* name, const Place& where)
{
    const QString n = QString::fromLatin1(name);
    if (!node.HasAttribute(n))
        throw EBankError(QStringLiteral("%1 has no attribute \"%2\". Open and confirm the LoRaWAN devices again.").arg(where.Text(), n));
    return node.Attribute(n);
}

int32_t RequiredInteger(const XmlNode& node, const char* name, const Place& where)
{
    const QString text = RequiredAttribute(node, name, where);
    const auto v = TryStrToInt(text);
    if (!v)
        throw EBankError(QStringLiteral("%1: the attribute \"%2\" is \"%3\", which is not an integer.")
                             .arg(where.Text(), QString::fromLatin1(name), text));
    return *v;
}

XmlNode RequiredChild(const XmlNode& parent, const char* name, const QString& where)
{
    const XmlNode n = parent.FindChild(QString::fromLatin1(name));
    if (n.IsNull()) throw EBankError(QStringLiteral("%1 has no element \"%2\".").arg(where, QString::fromLatin1(name)));
    return n;
}

// A decimal integer in JSON form (no blanks, no "+", no leading zeros), or
// nothing when the text is no decimal integer.
std::optional<QString> JsonInteger(const QString& text)
{
    const QString t = Trim(text);
    qsizetype i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (i >= t.size() || t.size() - i > 18) return std::nullopt;
    for (qsizetype k = i; k < t.size(); ++k)
        if (t[k] < '0' || t[k] > '9') return std::nullopt;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return QString::number(v);
}

} // namespace

// ---------------------------------------------------------------------------
// Small tests and parsers

bool Is_Public_Network(const QString& text) { return Trim(text).toUpper() == QStringLiteral("PUBLIC"); }
bool Is_Confirmed_Transmission(const QString& text) { return text == QStringLiteral("Confirmed"); }
bool Is_OTAA(const QString& text) { return Trim(text).toUpper() == QStringLiteral("OVER-THE-AIR ACTIVATION [OTAA]"); }

QString Pad_Hex_Text(const QString& text, int width)
{
    if (text.size() >= width) return text;
    return QString(width - text.size(), QChar('0')) + text;
}

void Parse_Hex_Field(const QString& text, uint8_t* field, int size, bool reversed)
{
    const QString t = Pad_Hex_Text(Trim(text), 2 * size);
    for (int i = 0; i < size; ++i) {
        const uint8_t b = HexPair(t.mid(2 * i, 2));
        field[reversed ? size - 1 - i : i] = b;
    }
}

uint8_t TBank_Builder::RX2_Datarate_Code(const QString& text, uint8_t def) const
{
    struct Code {
        const char* text;
        uint8_t code;
    };
    static const Code bw500[] = {{"SF12BW500", 8}, {"SF11BW500", 9}, {"SF10BW500", 10}, {"SF9BW500", 11}, {"SF8BW500", 12}, {"SF7BW500", 13}};
    static const Code bw125[] = {{"SF12BW125", 0}, {"SF11BW125", 1}, {"SF10BW125", 2}, {"SF9BW125", 3}, {"SF8BW125", 4}, {"SF7BW125", 5}, {"SF7BW250", 6}};
    const QString key = Trim(text).toUpper();
    const Code* begin = bw125;
    size_t count = 7;
    if (LoRaWAN_ParGen.RF_Band == 1) {
        begin = bw500;
        count = 6;
    } else if (LoRaWAN_ParGen.RF_Band == 2 || LoRaWAN_ParGen.RF_Band == 3) {
        count = 6; // no 250 kHz channel
    }
    for (size_t i = 0; i < count; ++i)
        if (key == QLatin1String(begin[i].text)) return begin[i].code;
    return def;
}

// ---------------------------------------------------------------------------
// ParGen.xml, LoRaWAN part

void TBank_Builder::Read_ParGen_LoRaWAN(const XmlNode& root)
{
    TLoRaWAN_ParGen& p = LoRaWAN_ParGen;
    TLoRaWAN_Infos& h = LoRaWAN_Infos;

    p.ModeMaster = true;
    if (const auto mode = ElementText(root, "LoRaWAN_Mode"); mode && mode->toUpper() == QStringLiteral("END NODE")) p.ModeMaster = false;

    const QString band = ElementTextOr(root, "LoRaWAN_RF_Band", QString());
    p.RF_Band = band == QStringLiteral("US915") ? 1 : band == QStringLiteral("KR920") ? 2 : band == QStringLiteral("AS923") ? 3 : 0;
    h.RF_Band = uint8_t(p.RF_Band);

    h.position_diagnostic = uint32_t(ElementInt(root, "LoRaWAN_Diagostic_Position", 0));

    const QString networkType = ElementTextOr(root, "LoRaWAN_Network_Type", QString());
    if (p.ModeMaster) {
        h.opzioni_funzionamento = Mode_Gateway;
        p.Server_Add = ElementTextOr(root, "LoRaWAN_Server_Address", Default_LoRaWAN_Server_Address);
        p.Server_Port_Up = ElementTextOr(root, "LoRaWAN_Server_Port_Up", QStringLiteral("1780"));
        p.Server_Port_Down = ElementTextOr(root, "LoRaWAN_Server_Port_Down", QStringLiteral("1780"));
        p.KA_Interval = ElementTextOr(root, "LoRaWAN_KeepAlive_Interval", QStringLiteral("10"));
        p.NetworkType = Is_Public_Network(networkType) ? QStringLiteral("true") : QStringLiteral("false");
    } else {
        h.opzioni_funzionamento = Mode_End_Node;
        p.Server_Add = Default_LoRaWAN_Server_Address;
        p.Server_Port_Up = QStringLiteral("1780");
        p.Server_Port_Down = QStringLiteral("1780");
        p.KA_Interval = QStringLiteral("10");
        p.NetworkType = Is_Public_Network(networkType) ? QStringLiteral("true") : QStringLiteral("false");
        h.Adaptive_DataRate = uint8_t(ElementInt(root, "LoRaWAN_Adaptive_DataRate", 0));
        const QString dataRate = ElementTextOr(root, "LoRaWAN_DataRate", QString());
        const qsizetype dash = dataRate.indexOf(QChar('-'));
        h.DataRate = dash < 0 ? 0 : uint8_t(StrToIntDef(Trim(dataRate.left(dash)), 0));
        h.Transmission_Type = Is_Confirmed_Transmission(ElementTextOr(root, "LoRaWAN_Transmission_Type", QString())) ? 1 : 0;

        // The end-node record starts empty; only the keys of the chosen
        // activation method are read.
        p.JoinEUI.fill(0);
        p.DevNAME.fill(0);
        p.Dev_Address.fill(0);
        p.NwkSKey.fill(0);
        p.AppSKey.fill(0);
        p.AppKey.fill(0);
        p.Activation_method = 0;
        ParseHex(ElementTextOr(root, "LoRaWAN_Join_EUI", QString()), p.JoinEUI, true);
        p.Activation_method = Is_OTAA(ElementTextOr(root, "LoRaWAN_Activation_Method", QString())) ? 1 : 0;
        if (p.Activation_method == 1) {
            ParseHex(ElementTextOr(root, "LoRaWAN_Application_Key", QString()), p.AppKey, false);
        } else {
            ParseHex(ElementTextOr(root, "LoRaWAN_Device_Address", QString()), p.Dev_Address, true);
            ParseHex(ElementTextOr(root, "LoRaWAN_Network_Session_Key", QString()), p.NwkSKey, false);
            ParseHex(ElementTextOr(root, "LoRaWAN_Application_Session_Key", QString()), p.AppSKey, false);
        }
        const QString cls = Trim(ElementTextOr(root, "LoRaWAN_Class", QString())).toUpper();
        p.LoRaWAN_Class = cls == QStringLiteral("B") ? 1 : cls == QStringLiteral("C") ? 2 : 0;
    }

    h.position_diagnostic = uint32_t(ElementInt(root, "LoRaWAN_Diagostic_Position", 0));
    h.DataRate = RX2_Datarate_Code(ElementTextOr(root, "LoRaWAN_RX2_Datarate", QString()), 0);
    h.Freq_SubBand = uint8_t(ElementInt(root, "LoRaWAN_Frequency_Sub_Band", 1));
}

void TBank_Builder::Check_Server_Numbers()
{
    struct Field {
        QString* text;
        const char* what;
    };
    const Field fields[] = {{&LoRaWAN_ParGen.Server_Port_Up, "LoRaWAN server port up"},
                            {&LoRaWAN_ParGen.Server_Port_Down, "LoRaWAN server port down"},
                            {&LoRaWAN_ParGen.KA_Interval, "LoRaWAN keep-alive interval"}};
    for (const Field& f : fields) {
        const auto v = JsonInteger(*f.text);
        if (!v)
            throw EBankError(QStringLiteral("The %1 \"%2\" is not a decimal number.\n"
                                            "Please correct it in step 1 \"Set Communication\".")
                                 .arg(QString::fromLatin1(f.what), *f.text));
        *f.text = *v;
    }
}

// ---------------------------------------------------------------------------
// LoRaWAN_Gateway.xml

void TBank_Builder::Read_LoRaWAN_Gateway_File(const QString& path, uint32_t base)
{
    TLoRaWAN_Infos& h = LoRaWAN_Infos;
    const TLoRaWAN_ParGen& p = LoRaWAN_ParGen;
    h.Num_Devices = 0;
    h.Num_Rules = 0;

    if (FileExists(path)) {
        TXMLDocument doc;
        doc.LoadFromFile(path);
        const QString fileName = QStringLiteral("LoRaWAN_Gateway.xml");
        XmlNode root;
        for (const XmlNode& n : doc.Nodes())
            if (n.IsElement() && n.NodeName() == QStringLiteral("LoRaWAN_Gateway")) {
                root = n;
                break;
            }
        if (root.IsNull()) throw EBankError(QStringLiteral("%1 has no element \"LoRaWAN_Gateway\".").arg(fileName));
        const XmlNode list = RequiredChild(root, "LoRaWAN_Devices_List", fileName);

        int position = 0;
        for (const XmlNode& dev : list.ChildElements()) {
            ++position;
            if (p.ModeMaster && dev.Attribute(QStringLiteral("Enable")) != QStringLiteral("Y")) continue;
            Place where{fileName, position};
            TLoRaWAN_Device d;
            if (p.ModeMaster) {
                const QString cls = dev.HasAttribute(QStringLiteral("Class")) ? dev.Attribute(QStringLiteral("Class")) : QStringLiteral("A");
                if (cls == QStringLiteral("C")) d.options += 2;
                ParseHex(RequiredAttribute(dev, "DeviceEUI", where), d.DevEUI, true);
                ParseHex(RequiredAttribute(dev, "JoinEUI", where), d.JoinEUI, true);
                const QString name = RequiredAttribute(dev, "DeviceName", where);
                for (qsizetype i = 0; i < std::min<qsizetype>(name.size(), 16); ++i) d.DevNAME[size_t(i)] = Image_Char(name[i]);
                if (Is_OTAA(RequiredAttribute(dev, "ActivationMethod", where))) d.options |= 0x100;
                ParseHex(RequiredAttribute(dev, "NetworkSessionKey", where), d.NwkSKey, false);
                ParseHex(RequiredAttribute(dev, "ApplicationSessionKey", where), d.AppSKey, false);
                ParseHex(RequiredAttribute(dev, "ApplicationKey", where), d.AppKey, false);
                ParseHex(RequiredAttribute(dev, "DeviceAddress", where), d.DevADDR, true);
                if (dev.HasAttribute(QStringLiteral("DiagTimeOut"))) {
                    // An unsigned 32-bit decimal number; anything else gives 0.
                    const QString t = dev.Attribute(QStringLiteral("DiagTimeOut"));
                    uint64_t v = 0;
                    bool ok = !t.isEmpty();
                    for (QChar c : t) {
                        if (c < '0' || c > '9' || v > 0xFFFFFFFFull) {
                            ok = false;
                            break;
                        }
                        v = v * 10 + uint64_t(c.unicode() - '0');
                    }
                    d.timeout = ok && v <= 0xFFFFFFFFull ? uint32_t(v) : 0;
                }
                d.DL_settings = dev.HasAttribute(QStringLiteral("RX2_Datarate"))
                                    ? RX2_Datarate_Code(dev.Attribute(QStringLiteral("RX2_Datarate")), h.DataRate)
                                    : h.DataRate;
            } else {
                d.options = p.LoRaWAN_Class;
                d.JoinEUI = p.JoinEUI;
                if (p.Activation_method == 1) d.options |= 0x100;
                d.NwkSKey = p.NwkSKey;
                d.AppSKey = p.AppSKey;
                d.AppKey = p.AppKey;
                d.DevADDR = p.Dev_Address;
            }
            d.options |= 0x20;
            h.Devices_List.push_back(d);

            const QString devWhere = where.Text();
            const XmlNode rules = RequiredChild(dev, "LoRaWAN_Rules", devWhere);
            const XmlNode up = RequiredChild(rules, "LoRaWAN_UpLink_Rules", devWhere);
            const XmlNode down = RequiredChild(rules, "LoRaWAN_DownLink_Rules", devWhere);

            int rulePos = 0;
            for (const XmlNode& r : up.ChildElements()) {
                Place rw{fileName, position, "uplink", ++rulePos};
                if (!IsYes(RequiredAttribute(r, "Enable", rw))) continue;
                TLoRaWAN_Rule rule;
                rule.num_device = uint16_t(h.Num_Devices);
                rule.port = uint16_t(StrToIntDef(RequiredAttribute(r, "Port", rw), 0xFFFF));
                rule.start_test = r.HasAttribute(QStringLiteral("StartTest")) ? uint16_t(StrToIntDef(r.Attribute(QStringLiteral("StartTest")), 0xFFFF)) : 0xFFFF;
                rule.len_test = r.HasAttribute(QStringLiteral("LenTest")) ? uint16_t(StrToIntDef(r.Attribute(QStringLiteral("LenTest")), 0xFFFF)) : 0xFFFF;
                const bool hexTest = r.HasAttribute(QStringLiteral("HexTest")) && IsYes(r.Attribute(QStringLiteral("HexTest")));
                QString value = r.Attribute(QStringLiteral("ValueTest"));
                if (hexTest) {
                    if (value.size() % 2 == 1) value.prepend(QChar('0'));
                    for (qsizetype i = 0; i + 1 < value.size(); i += 2) rule.data_test.append(char(HexPair(value.mid(i, 2))));
                } else {
                    for (QChar c : value) rule.data_test.append(char(Image_Char(c)));
                }
                rule.byte_offset_frame = uint16_t(RequiredInteger(r, "StartBit", rw));
                rule.num_bytes = uint16_t(RequiredInteger(r, "NumberBits", rw));
                rule.byte_offset_memory = uint16_t(RequiredInteger(r, "PositionBit", rw));
                h.Rules_List.push_back(std::move(rule));
                ++h.Num_Rules;
            }

            rulePos = 0;
            for (const XmlNode& r : down.ChildElements()) {
                Place rw{fileName, position, "downlink", ++rulePos};
                if (!IsYes(RequiredAttribute(r, "Enable", rw))) continue;
                TLoRaWAN_Rule rule;
                rule.num_device = uint16_t(h.Num_Devices);
                rule.options = 8;
                rule.port = uint16_t(RequiredInteger(r, "Port", rw));
                rule.byte_offset_frame = uint16_t(RequiredInteger(r, "StartBit", rw));
                rule.num_bytes = uint16_t(RequiredInteger(r, "NumberBits", rw));
                if (IsYes(RequiredAttribute(r, "OnChange", rw))) rule.options |= 1;
                if (IsYes(RequiredAttribute(r, "OnCommand", rw))) rule.options |= 2;
                if (IsYes(RequiredAttribute(r, "OnTimer", rw))) rule.options |= 4;
                rule.time_poll = uint32_t(StrToIntDef(RequiredAttribute(r, "Time", rw), 0));
                rule.byte_offset_memory = uint16_t(RequiredInteger(r, "PositionBit", rw));
                h.Rules_List.push_back(std::move(rule));
                ++h.Num_Rules;
            }
            ++h.Num_Devices;
        }
    }

    // Layout of the section from its base address. The addresses are
    // computed in 64 bits; a section too large for the image is refused by
    // the capacity check before anything is written.
    h.Address_DevList = base + LoRaWAN_Header_Size;
    const uint64_t slotCount = std::max<uint64_t>(h.Devices_List.size(), LoRaWAN_Min_Device_Slots);
    uint64_t address = uint64_t(h.Address_DevList) + LoRaWAN_Device_Size * slotCount;
    h.Address_RuleList = uint32_t(address);
    address += uint64_t(LoRaWAN_Rule_Size) * h.Rules_List.size();
    for (TLoRaWAN_Rule& r : h.Rules_List) {
        r.data_test_add = uint32_t(address);
        address += uint64_t(r.data_test.size());
    }
    h.Address_ConfFile = uint32_t(address);
    Build_Forwarder_Conf();
}

// ---------------------------------------------------------------------------
// Section writer

qsizetype TBank_Builder::LoRaWAN_Section_Size() const
{
    const TLoRaWAN_Infos& h = LoRaWAN_Infos;
    qsizetype size = LoRaWAN_Header_Size;
    size += LoRaWAN_Device_Size * qsizetype(std::max<size_t>(h.Devices_List.size(), LoRaWAN_Min_Device_Slots));
    size += LoRaWAN_Rule_Size * qsizetype(h.Rules_List.size());
    for (const TLoRaWAN_Rule& r : h.Rules_List) size += r.data_test.size();
    return size + Forwarder_Conf_Bytes(Forwarder_Conf).size();
}

void TBank_Builder::Write_LoRaWAN_Section(QByteArray& out) const
{
    const TLoRaWAN_Infos& h = LoRaWAN_Infos;
    Append32(out, h.Num_Devices);
    Append32(out, h.Num_Rules);
    Append32(out, h.Address_DevList);
    Append32(out, h.Address_RuleList);
    Append32(out, h.Address_ConfFile);
    Append32(out, h.opzioni_funzionamento);
    out.append(char(h.RF_Band)).append(char(h.DataRate)).append(char(h.Adaptive_DataRate)).append(char(h.Transmission_Type));
    Append32(out, h.position_diagnostic);
    out.append(char(h.Freq_SubBand)).append(3, char(0));

    for (const TLoRaWAN_Device& d : h.Devices_List) {
        AppendBytes(out, d.DevEUI);
        AppendBytes(out, d.JoinEUI);
        AppendBytes(out, d.DevNAME);
        AppendBytes(out, d.NwkSKey);
        AppendBytes(out, d.AppSKey);
        AppendBytes(out, d.AppKey);
        AppendBytes(out, d.DevADDR);
        Append32(out, d.options);
        Append32(out, d.timeout);
        out.append(char(d.DL_settings)).append(3, char(0));
    }
    if (h.Devices_List.size() < size_t(LoRaWAN_Min_Device_Slots))
        out.append(qsizetype(LoRaWAN_Min_Device_Slots - h.Devices_List.size()) * LoRaWAN_Device_Size, char(0));

    for (const TLoRaWAN_Rule& r : h.Rules_List) {
        Append16(out, r.num_device);
        Append16(out, r.port);
        Append16(out, r.start_test);
        Append16(out, r.len_test);
        Append32(out, r.data_test_add);
        Append32(out, r.time_poll);
        Append16(out, r.byte_offset_frame);
        Append16(out, r.byte_offset_memory);
        Append16(out, r.num_bytes);
        Append16(out, r.options);
    }
    for (const TLoRaWAN_Rule& r : h.Rules_List) out.append(r.data_test);
    out.append(Forwarder_Conf_Bytes(Forwarder_Conf));
}
