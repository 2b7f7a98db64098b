// Image builder: the LoRaWAN section of bank2.bin (its ParGen.xml values,
// the devices and rules of LoRaWAN_Gateway.xml, the layout and the writer).
#include "gateway/LoRaWANDefaults.h"
#include "gateway/USaveBincc.h"
#include "gateway/USaveBincc_Xml.h"

#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "platform/XmlDoc.h"

#include <cstring>

namespace {

constexpr uint32_t Mode_Gateway = 4369;
constexpr uint32_t Mode_End_Node = 8448;

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

const char* RequiredAttribute(TAttribute_Reader& node, const char* name, const Place& where)
{
    const char* v = node.Find(name);
    if (!v)
        throw EBankError(QStringLiteral("%1 has no attribute \"%2\". Open and confirm the LoRaWAN devices again.")
                             .arg(where.Text(), QString::fromLatin1(name)));
    return v;
}

int32_t RequiredInteger(TAttribute_Reader& node, const char* name, const Place& where)
{
    const char* text = RequiredAttribute(node, name, where);
    const auto v = TryStrToInt(text);
    if (!v)
        throw EBankError(QStringLiteral("%1: the attribute \"%2\" is \"%3\", which is not an integer.")
                             .arg(where.Text(), QString::fromLatin1(name), Utf8_Text(text)));
    return *v;
}

pugi::xml_node RequiredChild(const pugi::xml_node& parent, const char* name, const QString& where)
{
    const pugi::xml_node n = parent.child(name);
    if (!n) throw EBankError(QStringLiteral("%1 has no element \"%2\".").arg(where, QString::fromLatin1(name)));
    return n;
}

// A flag that is "Y" once trimmed and upper-cased.
bool IsYes(const char* text) { return Is_Word(text, "Y"); }

// A hex field from an attribute text; ASCII texts are read in place.
template <size_t N>
void ParseHex(const char* text, std::array<uint8_t, N>& field, bool reversed)
{
    if (!Is_Ascii(text)) {
        Parse_Hex_Field(Utf8_Text(text), field.data(), int(N), reversed);
        return;
    }
    const char* b = text;
    const char* e = text + std::strlen(text);
    while (b < e && uint8_t(*b) <= ' ') ++b;
    while (e > b && uint8_t(e[-1]) <= ' ') --e;
    const qsizetype len = e - b;
    const qsizetype pad = len < qsizetype(2 * N) ? qsizetype(2 * N) - len : 0;
    const auto at = [&](qsizetype i) { return i < pad ? QChar('0') : QChar(char16_t(uint8_t(b[i - pad]))); };
    for (size_t i = 0; i < N; ++i) field[reversed ? N - 1 - i : i] = Hex_Pair(at(qsizetype(2 * i)), at(qsizetype(2 * i + 1)));
}

// An integer text in the unsigned 32-bit range (the range the device editor
// accepts for a time-out); anything else gives 0.
uint32_t UInt32Or0(const char* t)
{
    const auto v = TryStrToInt64(t);
    return v && *v >= 0 && *v <= int64_t(0xFFFFFFFF) ? uint32_t(*v) : 0;
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

uint8_t Hex_Pair(QChar high, QChar low)
{
    const auto digit = [](QChar c) -> int {
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9') return u - '0';
        if (u >= 'a' && u <= 'f') return u - 'a' + 10;
        if (u >= 'A' && u <= 'F') return u - 'A' + 10;
        return -1;
    };
    const int h = digit(high), l = digit(low);
    return h < 0 || l < 0 ? 0 : uint8_t(h * 16 + l);
}

void Parse_Hex_Field(const QString& text, uint8_t* field, int size, bool reversed)
{
    const QString t = Pad_Hex_Text(Trim(text), 2 * size);
    for (int i = 0; i < size; ++i) {
        const uint8_t b = Hex_Pair(t[2 * i], t[2 * i + 1]);
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
                                            "Please correct it with \"Set Communication\".")
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
        TXMLDocument xml;
        xml.LoadFromFile(path);
        const pugi::xml_document& doc = xml.Raw();
        const QString fileName = QStringLiteral("LoRaWAN_Gateway.xml");
        const pugi::xml_node root = doc.child("LoRaWAN_Gateway");
        if (!root) throw EBankError(QStringLiteral("%1 has no element \"LoRaWAN_Gateway\".").arg(fileName));
        const pugi::xml_node list = RequiredChild(root, "LoRaWAN_Devices_List", fileName);

        int position = 0;
        for (const pugi::xml_node devNode : list.children()) {
            if (devNode.type() != pugi::node_element) continue;
            ++position;
            TAttribute_Reader dev(devNode);
            if (p.ModeMaster) {
                const char* enable = dev.Find("Enable");
                if (!enable || std::strcmp(enable, "Y") != 0) continue;
            }
            const Place where{fileName, position};
            TLoRaWAN_Device d;
            if (p.ModeMaster) {
                const char* cls = dev.Find("Class"); // missing: class A
                if (cls && std::strcmp(cls, "C") == 0) d.options += 2;
                ParseHex(RequiredAttribute(dev, "DeviceEUI", where), d.DevEUI, true);
                ParseHex(RequiredAttribute(dev, "JoinEUI", where), d.JoinEUI, true);
                const QString name = Utf8_Text(RequiredAttribute(dev, "DeviceName", where));
                for (qsizetype i = 0; i < std::min<qsizetype>(name.size(), 16); ++i) d.DevNAME[size_t(i)] = Image_Char(name[i]);
                if (Is_Word(RequiredAttribute(dev, "ActivationMethod", where), "OVER-THE-AIR ACTIVATION [OTAA]")) d.options |= 0x100;
                ParseHex(RequiredAttribute(dev, "NetworkSessionKey", where), d.NwkSKey, false);
                ParseHex(RequiredAttribute(dev, "ApplicationSessionKey", where), d.AppSKey, false);
                ParseHex(RequiredAttribute(dev, "ApplicationKey", where), d.AppKey, false);
                ParseHex(RequiredAttribute(dev, "DeviceAddress", where), d.DevADDR, true);
                if (const char* diag = dev.Find("DiagTimeOut")) d.timeout = UInt32Or0(diag);
                const char* rx2 = dev.Find("RX2_Datarate");
                d.DL_settings = rx2 ? RX2_Datarate_Code(Utf8_Text(rx2), h.DataRate) : h.DataRate;
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
            const pugi::xml_node rules = RequiredChild(devNode, "LoRaWAN_Rules", devWhere);
            const pugi::xml_node up = RequiredChild(rules, "LoRaWAN_UpLink_Rules", devWhere);
            const pugi::xml_node down = RequiredChild(rules, "LoRaWAN_DownLink_Rules", devWhere);

            int rulePos = 0;
            for (const pugi::xml_node ruleNode : up.children()) {
                if (ruleNode.type() != pugi::node_element) continue;
                TAttribute_Reader r(ruleNode);
                const Place rw{fileName, position, "uplink", ++rulePos};
                if (!IsYes(RequiredAttribute(r, "Enable", rw))) continue;
                TLoRaWAN_Rule rule;
                rule.num_device = uint16_t(h.Num_Devices);
                rule.port = uint16_t(TryStrToInt(RequiredAttribute(r, "Port", rw)).value_or(0xFFFF));
                const char* startTest = r.Find("StartTest");
                rule.start_test = startTest ? uint16_t(TryStrToInt(startTest).value_or(0xFFFF)) : 0xFFFF;
                const char* lenTest = r.Find("LenTest");
                rule.len_test = lenTest ? uint16_t(TryStrToInt(lenTest).value_or(0xFFFF)) : 0xFFFF;
                const char* hexText = r.Find("HexTest");
                const bool hexTest = hexText && IsYes(hexText);
                const char* valueText = r.Find("ValueTest");
                if (!valueText) valueText = "";
                if (Is_Ascii(valueText)) {
                    qsizetype len = qsizetype(std::strlen(valueText));
                    if (hexTest) {
                        // Hex digits are read without the blanks around them;
                        // an odd count of digits gets a "0" in front.
                        while (len > 0 && uint8_t(*valueText) <= ' ') ++valueText, --len;
                        while (len > 0 && uint8_t(valueText[len - 1]) <= ' ') --len;
                        const qsizetype pad = len % 2;
                        const auto at = [&](qsizetype i) { return i < pad ? QChar('0') : QChar(char16_t(uint8_t(valueText[i - pad]))); };
                        for (qsizetype i = 0; i + 1 < len + pad; i += 2) rule.data_test.append(char(Hex_Pair(at(i), at(i + 1))));
                    } else {
                        rule.data_test = QByteArray(valueText, len);
                    }
                } else {
                    QString value = Utf8_Text(valueText);
                    if (hexTest) {
                        value = Trim(value);
                        if (value.size() % 2 == 1) value.prepend(QChar('0'));
                        for (qsizetype i = 0; i + 1 < value.size(); i += 2) rule.data_test.append(char(Hex_Pair(value[i], value[i + 1])));
                    } else {
                        for (QChar c : value) rule.data_test.append(char(Image_Char(c)));
                    }
                }
                rule.byte_offset_frame = uint16_t(RequiredInteger(r, "StartBit", rw));
                rule.num_bytes = uint16_t(RequiredInteger(r, "NumberBits", rw));
                rule.byte_offset_memory = uint16_t(RequiredInteger(r, "PositionBit", rw));
                h.Rules_List.push_back(std::move(rule));
                ++h.Num_Rules;
            }

            rulePos = 0;
            for (const pugi::xml_node ruleNode : down.children()) {
                if (ruleNode.type() != pugi::node_element) continue;
                TAttribute_Reader r(ruleNode);
                const Place rw{fileName, position, "downlink", ++rulePos};
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
                rule.time_poll = uint32_t(TryStrToInt(RequiredAttribute(r, "Time", rw)).value_or(0));
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
    const QByteArray text = Forwarder_Conf_Bytes(Forwarder_Conf);
    const size_t slotCount = std::max<size_t>(h.Devices_List.size(), LoRaWAN_Min_Device_Slots);
    qsizetype testBytes = 0;
    for (const TLoRaWAN_Rule& r : h.Rules_List) testBytes += r.data_test.size();
    const qsizetype start = out.size();
    out.resize(start + LoRaWAN_Header_Size + LoRaWAN_Device_Size * qsizetype(slotCount) +
               LoRaWAN_Rule_Size * qsizetype(h.Rules_List.size()) + testBytes + text.size());
    uint8_t* p = reinterpret_cast<uint8_t*>(out.data()) + start;
    std::fill(p, reinterpret_cast<uint8_t*>(out.data()) + out.size(), uint8_t(0));

    const auto put16 = [&p](uint16_t v) {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p += 2;
    };
    const auto put32 = [&p](uint32_t v) {
        for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
        p += 4;
    };
    const auto put = [&p](const auto& bytes) {
        std::copy(bytes.begin(), bytes.end(), p);
        p += bytes.size();
    };

    put32(h.Num_Devices);
    put32(h.Num_Rules);
    put32(h.Address_DevList);
    put32(h.Address_RuleList);
    put32(h.Address_ConfFile);
    put32(h.opzioni_funzionamento);
    *p++ = h.RF_Band;
    *p++ = h.DataRate;
    *p++ = h.Adaptive_DataRate;
    *p++ = h.Transmission_Type;
    put32(h.position_diagnostic);
    *p++ = h.Freq_SubBand;
    p += 3;

    for (const TLoRaWAN_Device& d : h.Devices_List) {
        put(d.DevEUI);
        put(d.JoinEUI);
        put(d.DevNAME);
        put(d.NwkSKey);
        put(d.AppSKey);
        put(d.AppKey);
        put(d.DevADDR);
        put32(d.options);
        put32(d.timeout);
        *p++ = d.DL_settings;
        p += 3;
    }
    p += LoRaWAN_Device_Size * (slotCount - h.Devices_List.size()); // empty slots stay zero

    for (const TLoRaWAN_Rule& r : h.Rules_List) {
        put16(r.num_device);
        put16(r.port);
        put16(r.start_test);
        put16(r.len_test);
        put32(r.data_test_add);
        put32(r.time_poll);
        put16(r.byte_offset_frame);
        put16(r.byte_offset_memory);
        put16(r.num_bytes);
        put16(r.options);
    }
    for (const TLoRaWAN_Rule& r : h.Rules_List) put(r.data_test);
    put(text);
}
