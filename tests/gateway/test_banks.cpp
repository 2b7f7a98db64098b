// The configuration image builder: reference values, golden images of small
// projects, the concentrator text checked by an outside JSON parser, and
// refused builds that must leave the device's earlier images alone.
#include "common/TestSupport.h"
#include "gateway/LoRaWANDefaults.h"
#include "gateway/USaveBincc.h"
#include "platform/Files.h"
#include "platform/XmlDoc.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

uint32_t U32(const QByteArray& b, qsizetype at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(b.at(at + i));
    return v;
}

uint16_t U16(const QByteArray& b, qsizetype at) { return uint16_t(uint8_t(b.at(at)) | (uint8_t(b.at(at + 1)) << 8)); }

void Put32(QByteArray& b, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}

void Put16(QByteArray& b, qsizetype at, uint16_t v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

void PutBytes(QByteArray& b, qsizetype at, const QByteArray& bytes) { b.replace(at, bytes.size(), bytes); }

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

// Compares two byte runs and names the first offset where they differ.
void ExpectSameBytes(const QByteArray& actual, const QByteArray& expected, const char* what, qsizetype base = 0)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (qsizetype i = 0; i < actual.size(); ++i)
        if (actual[i] != expected[i]) {
            ADD_FAILURE() << what << ": first difference at offset 0x" << std::hex << (base + i) << ": got 0x"
                          << int(uint8_t(actual[i])) << ", expected 0x" << int(uint8_t(expected[i]));
            return;
        }
}

// A copy of a fixture project in a temporary folder, with its bin folder.
struct TestProject {
    QTemporaryDir dir;
    QString path;

    explicit TestProject(const QString& fixture = QString())
    {
        path = dir.path();
        QDir().mkpath(PathJoin(path, QStringLiteral("bin")));
        if (fixture.isEmpty()) return;
        const QString from = FixturePath(PathJoin(QStringLiteral("banks"), fixture));
        for (const QString& name : QDir(from).entryList(QDir::Files))
            EXPECT_TRUE(QFile::copy(PathJoin(from, name), PathJoin(path, name))) << name.toStdString();
    }
    QString File(const QString& name) const { return PathJoin(path, name); }
    QString Bank(int n) const { return PathJoin(path, QStringLiteral("bin/bank%1.bin").arg(n)); }
    void Write(const QString& name, const QByteArray& bytes) const { WriteTestFile(File(name), bytes); }
};

// What the main window's update step does: build, then write.
void Update(const QString& projectFolder) { Save_Banks(projectFolder, Compile_Banks(projectFolder)); }

// A CAN table entry as the device reads it.
QByteArray CanEntry(uint32_t cob, uint32_t sendTime, uint32_t timeout, uint8_t flags, uint8_t len, std::array<uint16_t, 8> pos)
{
    QByteArray e(32, '\0');
    Put32(e, 0, cob);
    Put32(e, 4, sendTime);
    Put32(e, 8, timeout);
    e[13] = char(flags);
    e[14] = char(len);
    for (int k = 0; k < 8; ++k) Put16(e, 16 + 2 * k, pos[size_t(k)]);
    return e;
}

constexpr uint16_t N = 0xFFFF;

QByteArray ClearedCanTable() { return CanEntry(0, 0, 0, 0, 0, {N, N, N, N, N, N, N, N}).repeated(1024); }

QByteArray DeviceSlot(const QByteArray& devEui, const QByteArray& joinEui, const QByteArray& name, const QByteArray& nwk,
                      const QByteArray& apps, const QByteArray& appk, const QByteArray& addr, uint32_t options, uint32_t timeout,
                      uint8_t dl)
{
    QByteArray s(96, '\0');
    PutBytes(s, 0, devEui);
    PutBytes(s, 8, joinEui);
    PutBytes(s, 16, name);
    PutBytes(s, 32, nwk);
    PutBytes(s, 48, apps);
    PutBytes(s, 64, appk);
    PutBytes(s, 80, addr);
    Put32(s, 84, options);
    Put32(s, 88, timeout);
    s[92] = char(dl);
    return s;
}

QByteArray Rule(uint16_t dev, uint16_t port, uint16_t start, uint16_t len, uint32_t testAdd, uint32_t poll, uint16_t frame,
                uint16_t memory, uint16_t bytes, uint16_t options)
{
    QByteArray r(24, '\0');
    Put16(r, 0, dev);
    Put16(r, 2, port);
    Put16(r, 4, start);
    Put16(r, 6, len);
    Put32(r, 8, testAdd);
    Put32(r, 12, poll);
    Put16(r, 16, frame);
    Put16(r, 18, memory);
    Put16(r, 20, bytes);
    Put16(r, 22, options);
    return r;
}

// The general block the device gets when ParGen.xml leaves every value at
// its built-in default.
QByteArray DefaultGeneralBlock()
{
    QByteArray g(2048, '\0');
    Put32(g, 0x000, 250000);
    Put32(g, 0x004, 250000);
    Put32(g, 0x00C, 9600);
    PutBytes(g, 0x028, Hex("c0a802cd"));
    PutBytes(g, 0x02C, Hex("ffffff00"));
    PutBytes(g, 0x030, Hex("ffffffff"));
    Put16(g, 0x034, 10000);
    Put16(g, 0x036, 10001);
    Put16(g, 0x038, 10001);
    PutBytes(g, 0x1B4, QByteArray(8, char(8)));
    return g;
}

// The general block's checksum: the sum of the bytes before it.
uint32_t Checksum(const QByteArray& g)
{
    uint32_t sum = 0;
    for (int i = 0; i < 0x7FC; ++i) sum += uint8_t(g[i]);
    return sum;
}

void SetChecksum(QByteArray& g) { Put32(g, 0x7FC, Checksum(g)); }

// Offset in bank2.bin of a device address inside the LoRaWAN section.
qsizetype At(uint32_t deviceAddress) { return qsizetype(deviceAddress - 0x80000); }

} // namespace

// ---------------------------------------------------------------------------

TEST(Banks, ReferenceValues)
{
    struct Ref {
        const char* what;
        std::function<int64_t()> actual;
        int64_t expected;
    };
    const auto bareBuild = [] {
        TestProject p;
        p.Write(QStringLiteral("ParGen.xml"), "<Par_Gen/>");
        return Compile_Banks(p.path);
    };
    const TBank_Images bare = bareBuild();
    const auto textSize = [](int band, int subBand, const char* networkType) {
        TBank_Builder b;
        b.LoRaWAN_ParGen.RF_Band = band;
        b.LoRaWAN_ParGen.NetworkType = QString::fromLatin1(networkType);
        b.LoRaWAN_ParGen.Server_Add = QStringLiteral("10.0.0.1");
        b.LoRaWAN_ParGen.Server_Port_Up = QStringLiteral("1700");
        b.LoRaWAN_ParGen.Server_Port_Down = QStringLiteral("1700");
        b.LoRaWAN_ParGen.KA_Interval = QStringLiteral("10");
        b.LoRaWAN_Infos.Freq_SubBand = uint8_t(subBand);
        b.Build_Forwarder_Conf();
        return int64_t(Forwarder_Conf_Bytes(b.Forwarder_Conf).size());
    };
    const auto rx2 = [](int band, const char* text, uint8_t def) {
        TBank_Builder b;
        b.LoRaWAN_ParGen.RF_Band = band;
        return int64_t(b.RX2_Datarate_Code(QString::fromUtf8(text), def));
    };
    const auto defaultChecksum = [] {
        TBank_Builder b;
        b.Init_General_Block();
        QByteArray out;
        b.Write_General_Block(out);
        return int64_t(U32(out, 0x7FC));
    };
    const auto hexField = [](const char* text, int size, bool reversed) {
        uint8_t f[16] = {};
        Parse_Hex_Field(QString::fromUtf8(text), f, size, reversed);
        int64_t v = 0;
        for (int i = 0; i < std::min(size, 8); ++i) v = (v << 8) | f[i];
        return v;
    };

    const Ref refs[] = {
        // general block
        {"default general block checksum", defaultChecksum, 3458},
        {"bare ParGen: CAN bit rate", [&] { return int64_t(U32(bare.Bank1, 0)); }, 1000000},
        {"bare ParGen: CAN bit rate again", [&] { return int64_t(U32(bare.Bank1, 4)); }, 1000000},
        {"bare ParGen: address", [&] { return int64_t(U32(bare.Bank1, 0x28)); }, 0x0A00A8C0},
        {"bare ParGen: gateway", [&] { return int64_t(U32(bare.Bank1, 0x30)); }, 0xFFFFFFFF},
        {"CAN table address at 0x0C8", [&] { return int64_t(U32(bare.Bank1, 0xC8)); }, 0x80000},
        {"LoRaWAN section address at 0x674", [&] { return int64_t(U32(bare.Bank1, 0x674)); }, 0x88000},
        {"CAN entry count without CAN files", [&] { return int64_t(U32(bare.Bank1, 0x70)); }, 0},
        // LoRaWAN layout
        {"bank2 size: table + header + 100 slots + text", [&] { return int64_t(bare.Bank2.size()); },
         32768 + 36 + 9600 + 5840 + (Default_LoRaWAN_Server_Address.size() - 8)},
        {"Address_DevList", [&] { return int64_t(U32(bare.Bank2, 32768 + 8)); }, 0x88024},
        {"Address_RuleList with 100 empty slots", [&] { return int64_t(U32(bare.Bank2, 32768 + 12)); }, 0x8A5A4},
        {"Address_ConfFile without rules", [&] { return int64_t(U32(bare.Bank2, 32768 + 16)); }, 0x8A5A4},
        {"mode of a gateway", [&] { return int64_t(U32(bare.Bank2, 32768 + 20)); }, 4369},
        {"default sub-band", [&] { return int64_t(uint8_t(bare.Bank2[32768 + 32])); }, 1},
        {"cleared CAN entry bytes 12..15", [&] { return int64_t(U32(bare.Bank2, 12)); }, 0},
        {"cleared CAN entry position 8", [&] { return int64_t(U16(bare.Bank2, 30)); }, 0xFFFF},
        // hex texts
        {"EUI 0011223344556677 reversed", [&] { return hexField("0011223344556677", 8, true); }, 0x7766554433221100},
        {"EUI ABC reversed", [&] { return hexField("ABC", 8, true); }, int64_t(0xBC0A000000000000)},
        {"device address 260B1234", [&] { return hexField("260B1234", 4, true); }, 0x34120B26},
        {"device address trimmed", [&] { return hexField(" 260B1234\t", 4, true); }, 0x34120B26},
        {"key in text order", [&] { return hexField("2B7E151628AED2A6ABF7158809CF4F3C", 16, false); }, 0x2B7E151628AED2A6},
        {"pair that is no hex", [&] { return hexField("zz01", 2, false); }, 0x0001},
        // RX2 codes
        {"RX2 ' sf9bw125' on EU868", [&] { return rx2(0, " sf9bw125", 0); }, 3},
        {"RX2 SF7BW250 on EU868", [&] { return rx2(0, "SF7BW250", 0); }, 6},
        {"RX2 SF7BW250 on KR920 gives the default", [&] { return rx2(2, "SF7BW250", 42); }, 42},
        {"RX2 SF12BW125 on AS923", [&] { return rx2(3, "SF12BW125", 9); }, 0},
        {"RX2 SF7BW500 on US915", [&] { return rx2(1, "sf7bw500", 0); }, 13},
        {"RX2 SF12BW125 on US915 gives the default", [&] { return rx2(1, "SF12BW125", 7); }, 7},
        {"RX2 on an unknown band uses the EU868 list", [&] { return rx2(9, "SF7BW250", 0); }, 6},
        // concentrator text bytes (lines + LF each + final 0x00)
        {"text EU868 public", [&] { return textSize(0, 1, "true"); }, 5839},
        {"text EU868 private", [&] { return textSize(0, 1, "false"); }, 5840},
        {"text US915 sub-band 2", [&] { return textSize(1, 2, "true"); }, 4905},
        {"text US915 sub-band 0", [&] { return textSize(1, 0, "true"); }, 4843},
        {"text US915 sub-band 9", [&] { return textSize(1, 9, "true"); }, 4843},
        {"text KR920", [&] { return textSize(2, 1, "true"); }, 3892},
        {"text AS923 private", [&] { return textSize(3, 1, "false"); }, 3853},
        {"text for no band", [&] { return textSize(4, 1, "true"); }, 2},
    };
    for (const Ref& r : refs) EXPECT_EQ(r.actual(), r.expected) << r.what;

    EXPECT_TRUE(Is_Public_Network(QStringLiteral(" public ")));
    EXPECT_FALSE(Is_Public_Network(QStringLiteral("Private")));
    EXPECT_TRUE(Is_OTAA(QStringLiteral(" over-the-air activation [otaa]")));
    EXPECT_FALSE(Is_OTAA(QStringLiteral("Activation by Personalization [ABP]")));
    EXPECT_FALSE(Is_Confirmed_Transmission(QStringLiteral("confirmed")));
}

TEST(Banks, GeneralBlockDefaultsAndChecksum)
{
    // Only an empty root: every element takes the builder's own default.
    TestProject p(QStringLiteral("bare"));
    const TBank_Images img = Compile_Banks(p.path);
    QByteArray g = DefaultGeneralBlock();
    Put32(g, 0x000, 1000000);
    Put32(g, 0x004, 1000000);
    PutBytes(g, 0x028, Hex("c0a8000a"));
    Put32(g, 0x0C8, 0x80000);
    PutBytes(g, 0x66C, "1.000");
    Put32(g, 0x674, 0x88000);
    SetChecksum(g);
    ExpectSameBytes(img.Bank1, g, "bank1.bin of an empty ParGen.xml");
    ExpectSameBytes(img.Bank2.left(32768), ClearedCanTable(), "CAN table without CAN files");

    // Each single value of the general block, one case each.
    struct Case {
        const char* elements;
        qsizetype at;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"<CAN_BAUDRATE>3</CAN_BAUDRATE>", 0x000, Hex("24f4000024f40000")},
        {"<CAN_BAUDRATE>-1</CAN_BAUDRATE>", 0x000, Hex("40420f0040420f00")},
        {"<CAN_BAUDRATE>0x0</CAN_BAUDRATE>", 0x000, Hex("1027000010270000")},
        {"<Ethernet_EN_GAT>1</Ethernet_EN_GAT><Ethernet_GAT1>10</Ethernet_GAT1><Ethernet_GAT4>254</Ethernet_GAT4>", 0x030, Hex("0aa800fe")},
        {"<Ethernet_EN_GAT>0</Ethernet_EN_GAT><Ethernet_GAT1>10</Ethernet_GAT1>", 0x030, Hex("ffffffff")},
        {"<Ethernet_IP1> 0x0C</Ethernet_IP1><Ethernet_IP2>x</Ethernet_IP2>", 0x028, Hex("0ca8000a")},
        {"<Eth_Conn_Device_Name>0123456789012345678901234567890123456789</Eth_Conn_Device_Name>", 0x514,
         QByteArray("0123456789012345678901234567890") + '\0'},
        {"<Eth_Conn_DHCP_Cable>1</Eth_Conn_DHCP_Cable>", 0x4E8, Hex("0100")},
        {"<Eth_Conn_DHCP_Cable> 1</Eth_Conn_DHCP_Cable>", 0x4E8, Hex("0000")},
        {"<Eth_Conn_Enable_DNS>1</Eth_Conn_Enable_DNS><Eth_Conn_Secondary_DNS1>1</Eth_Conn_Secondary_DNS1>", 0x53C, Hex("01080404")},
        {"<Eth_Conn_Enable_DNS>1</Eth_Conn_Enable_DNS>", 0x58C, Hex("08080808")},
        {"<Eth_Conn_Enable_DNS>Y</Eth_Conn_Enable_DNS><Eth_Conn_Primary_DNS1>1</Eth_Conn_Primary_DNS1>", 0x58C, Hex("00000000")},
    };
    for (const Case& c : cases) {
        TestProject q;
        q.Write(QStringLiteral("ParGen.xml"), QByteArray("<Par_Gen>") + c.elements + "</Par_Gen>");
        const QByteArray b1 = Compile_Banks(q.path).Bank1;
        EXPECT_EQ(b1.mid(c.at, c.bytes.size()).toHex(), c.bytes.toHex()) << c.elements;
        EXPECT_EQ(U32(b1, 0x7FC), Checksum(b1)) << c.elements;
    }
}

TEST(Banks, GoldenGatewayProject)
{
    TestProject p(QStringLiteral("gateway_eu"));
    Update(p.path);
    const QByteArray b1 = ReadTestFile(p.Bank(1));
    const QByteArray b2 = ReadTestFile(p.Bank(2));

    // bank1.bin
    QByteArray g = DefaultGeneralBlock();
    Put32(g, 0x000, 62500);
    Put32(g, 0x004, 62500);
    PutBytes(g, 0x028, Hex("0a010203"));
    PutBytes(g, 0x02C, Hex("ffff0000"));
    PutBytes(g, 0x030, Hex("0a0100fe"));
    Put32(g, 0x070, 5);
    Put32(g, 0x0C8, 0x80000);
    Put16(g, 0x4E8, 1);
    PutBytes(g, 0x514, QByteArray("Hall\xE9-?7")); // U+0100 is above one byte
    PutBytes(g, 0x53C, Hex("09090904"));             // fourth secondary octet missing
    PutBytes(g, 0x58C, Hex("01010101"));
    PutBytes(g, 0x66C, "1.000");
    Put32(g, 0x674, 0x88000);
    SetChecksum(g);
    ExpectSameBytes(b1, g, "bank1.bin");

    // CAN table: enabled receive rows in file order, then the send rows.
    QByteArray can;
    can += CanEntry(0x123, 0, 500, 0, 3, {10, 11, 12, N, N, N, N, N});
    can += CanEntry(419364865u | 0x80000000u, 0, 16, 0, 2, {0x20, 1999, N, N, N, N, N, N});
    can += CanEntry(0x7FF | 0x80000000u, 0, 0, 0, 8, {N, N, N, N, N, N, N, N});
    can += CanEntry(256, 1000, 0, 7, 2, {100, N, N, N, N, N, N, N});
    can += CanEntry(257, 0, 0, 15, 1, {2499, N, N, N, N, N, N, N});
    can += ClearedCanTable().mid(5 * 32);
    ExpectSameBytes(b2.left(32768), can, "CAN table");

    // LoRaWAN header
    const qsizetype s = 32768;
    QByteArray header(36, '\0');
    Put32(header, 0, 2);
    Put32(header, 4, 3);
    Put32(header, 8, 0x88024);
    Put32(header, 12, 0x8A5A4);
    Put32(header, 16, 0x8A5F0);
    Put32(header, 20, 4369);
    header[24] = 0; // EU868
    header[25] = 3; // SF9BW125
    Put32(header, 28, 100);
    header[32] = 1;
    ExpectSameBytes(b2.mid(s, 36), header, "LoRaWAN header", s);

    // Device slots: the disabled first element is not taken.
    QByteArray slotBytes;
    slotBytes += DeviceSlot(Hex("7766554433221100"), Hex("bc0a000000000000"), QByteArray("Sensor-?-0123456"), QByteArray(16, '\0'),
                        QByteArray(16, '\0'), Hex("000102030405060708090a0b0c0d0e0f"), Hex("34120b26"), 0x122, 0xFFFFFFFF, 3);
    slotBytes += DeviceSlot(Hex("0100000000000000"), Hex("0200000000000000"), QByteArray("B"), Hex("2b7e151628aed2a6abf7158809cf4f3c"),
                        QByteArray(16, '\0'), QByteArray(16, '\0'), Hex("01000000"), 0x20, 0, 3);
    slotBytes += QByteArray(98 * 96, '\0');
    ExpectSameBytes(b2.mid(At(0x88024), 100 * 96), slotBytes, "device slots", At(0x88024));

    // Rules, then their test bytes.
    QByteArray rules;
    rules += Rule(0, 10, 0, 2, 0x8A5EC, 0, 0, 100, 4, 0);
    rules += Rule(0, 12, N, N, 0x8A5EE, 0, 1, 200, 2, 0);
    rules += Rule(0, 20, 0, 0, 0x8A5F0, 5000, 0, 300, 8, 13);
    rules += Hex("0abc") + QByteArray("AB");
    ExpectSameBytes(b2.mid(At(0x8A5A4), rules.size()), rules, "rules and test bytes", At(0x8A5A4));

    // Concentrator text at the end.
    const QByteArray text = b2.mid(At(0x8A5F0));
    EXPECT_EQ(text.size(), 5839);
    EXPECT_TRUE(text.startsWith("{\n    \"SX130x_conf\": {\n"));
    EXPECT_TRUE(text.endsWith(QByteArray("}\n\0", 3)));
    EXPECT_FALSE(text.contains('\r'));
    const QList<QByteArray> lines = text.chopped(2).split('\n');
    EXPECT_EQ(lines.at(4), "        \"lorawan_public\": true,");
    EXPECT_TRUE(lines.contains("        \"server_address\": \"10.0.0.1\","));
    EXPECT_TRUE(lines.contains("        \"serv_port_up\": 1700,"));
    EXPECT_TRUE(lines.contains("        \"serv_port_down\": 1701,"));
    EXPECT_TRUE(lines.contains("        \"keepalive_interval\": 10,"));
    EXPECT_TRUE(lines.contains("        \"gateway_ID\": \"DCA632FFFFB3DC2B\","));
    EXPECT_EQ(text.count("scan_time_us"), 10); // the ten LBT channels of EU868

    // A second update with unchanged files writes the same bytes.
    Update(p.path);
    EXPECT_EQ(ReadTestFile(p.Bank(1)), b1);
    EXPECT_EQ(ReadTestFile(p.Bank(2)), b2);
}

TEST(Banks, GoldenEndNodeProject)
{
    TestProject p(QStringLiteral("endnode_us"));
    // The end-node build does not read the server texts, so the bad port
    // in this file does not matter.
    const TBank_Images img = Compile_Banks(p.path);

    QByteArray g = DefaultGeneralBlock();
    Put32(g, 0x000, 1000000); // index 12 is outside the list
    Put32(g, 0x004, 1000000);
    PutBytes(g, 0x028, Hex("c0a8000a"));
    Put32(g, 0x0C8, 0x80000);
    PutBytes(g, 0x66C, "1.000");
    Put32(g, 0x674, 0x88000);
    SetChecksum(g);
    ExpectSameBytes(img.Bank1, g, "bank1.bin");

    const QByteArray& b2 = img.Bank2;
    QByteArray header(36, '\0');
    Put32(header, 0, 1);
    Put32(header, 4, 1);
    Put32(header, 8, 0x88024);
    Put32(header, 12, 0x8A5A4);
    Put32(header, 16, 0x8A5A4 + 24 + 1);
    Put32(header, 20, 8448);
    header[24] = 1;  // US915
    header[25] = 10; // SF10BW500
    header[26] = 1;  // adaptive data rate
    header[27] = 1;  // confirmed
    Put32(header, 28, 32);
    header[32] = 2;
    ExpectSameBytes(b2.mid(32768, 36), header, "LoRaWAN header", 32768);

    // The one slot carries the parameter file's join EUI and key; the
    // session keys are not read for over-the-air activation.
    const QByteArray slot = DeviceSlot(QByteArray(8, '\0'), Hex("010000d07ed5b370"), QByteArray(16, '\0'), QByteArray(16, '\0'),
                                       QByteArray(16, '\0'), Hex("00112233445566778899aabbccddeeff"), QByteArray(4, '\0'),
                                       0x20 + 2 + 0x100, 0, 0);
    ExpectSameBytes(b2.mid(At(0x88024), 96), slot, "device slot", At(0x88024));
    ExpectSameBytes(b2.mid(At(0x8A5A4), 25), Rule(0, 2, 1, 1, 0x8A5BC, 0, 0, 10, 2, 0) + Hex("07"), "rule", At(0x8A5A4));

    const QByteArray text = b2.mid(At(0x8A5BD));
    // "false" is one byte longer than "true", the default host longer than "10.0.0.1".
    EXPECT_EQ(text.size(), 4905 + 1 + (Default_LoRaWAN_Server_Address.size() - 8));
    const QList<QByteArray> lines = text.chopped(2).split('\n');
    EXPECT_EQ(lines.at(4), "        \"lorawan_public\": false,");
    EXPECT_TRUE(lines.contains("            \"freq\": 904300000,"));
    EXPECT_TRUE(lines.contains("            \"freq\": 905000000,"));
    EXPECT_TRUE(lines.contains("        \"server_address\": \"" + Default_LoRaWAN_Server_Address.toLatin1() + "\","));
    EXPECT_TRUE(lines.contains("        \"serv_port_up\": 1780,"));
    EXPECT_TRUE(lines.contains("        \"beacon_period\": 0, /* disable class B beacon */"));
    EXPECT_TRUE(lines.contains("        \"gateway_ID\": \"AA555A0000000000\","));
}

TEST(Banks, AbpEndNodeAndGatewayDeviceDefaults)
{
    TestProject p;
    p.Write(QStringLiteral("ParGen.xml"),
            "<Par_Gen><LoRaWAN_Mode>end node</LoRaWAN_Mode><LoRaWAN_Activation_Method>Activation by Personalization [ABP]"
            "</LoRaWAN_Activation_Method><LoRaWAN_Device_Address>260B1234</LoRaWAN_Device_Address>"
            "<LoRaWAN_Network_Session_Key>000102030405060708090A0B0C0D0E0F</LoRaWAN_Network_Session_Key>"
            "<LoRaWAN_Application_Key>FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF</LoRaWAN_Application_Key>"
            "<LoRaWAN_Class>B</LoRaWAN_Class></Par_Gen>");
    p.Write(QStringLiteral("LoRaWAN_Gateway.xml"),
            "<LoRaWAN_Gateway><LoRaWAN_Devices_List><LoRaWAN_Device><LoRaWAN_Rules><LoRaWAN_UpLink_Rules/><LoRaWAN_DownLink_Rules/>"
            "</LoRaWAN_Rules></LoRaWAN_Device></LoRaWAN_Devices_List></LoRaWAN_Gateway>");
    QByteArray b2 = Compile_Banks(p.path).Bank2;
    const QByteArray slot = DeviceSlot(QByteArray(8, '\0'), QByteArray(8, '\0'), QByteArray(16, '\0'),
                                       Hex("000102030405060708090a0b0c0d0e0f"), QByteArray(16, '\0'), QByteArray(16, '\0'),
                                       Hex("34120b26"), 0x21, 0, 0);
    ExpectSameBytes(b2.mid(At(0x88024), 96), slot, "ABP end-node slot", At(0x88024));

    // Gateway mode: no Class means class A; no RX2_Datarate takes the header's code.
    p.Write(QStringLiteral("ParGen.xml"), "<Par_Gen><LoRaWAN_RF_Band>KR920</LoRaWAN_RF_Band><LoRaWAN_RX2_Datarate>SF8BW125"
                                          "</LoRaWAN_RX2_Datarate></Par_Gen>");
    p.Write(QStringLiteral("LoRaWAN_Gateway.xml"),
            "<LoRaWAN_Gateway><LoRaWAN_Devices_List><LoRaWAN_Device Enable=\"Y\" DeviceEUI=\"1\" JoinEUI=\"\" DeviceName=\"\" "
            "ActivationMethod=\"\" NetworkSessionKey=\"\" ApplicationSessionKey=\"\" ApplicationKey=\"\" DeviceAddress=\"\" "
            "Mnemonic=\"\"><LoRaWAN_Rules><LoRaWAN_UpLink_Rules/><LoRaWAN_DownLink_Rules/></LoRaWAN_Rules></LoRaWAN_Device>"
            "</LoRaWAN_Devices_List></LoRaWAN_Gateway>");
    b2 = Compile_Banks(p.path).Bank2;
    EXPECT_EQ(uint8_t(b2[32768 + 24]), 2);          // KR920
    EXPECT_EQ(U32(b2, At(0x88024) + 84), 0x20u);    // class A, by personalization
    EXPECT_EQ(uint8_t(b2[At(0x88024) + 92]), 4);    // SF8BW125
}

// Characters beyond ASCII: up to U+00FF they keep their low byte, above they
// become "?"; in hex texts they are no digit. A file may declare Windows-1252.
TEST(Banks, TextsBeyondAscii)
{
    TestProject p;
    p.Write(QStringLiteral("ParGen.xml"), "<Par_Gen/>");
    const QByteArray device =
        "<LoRaWAN_Device Enable=\"Y\" DeviceEUI=\"\xE9" "01\" JoinEUI=\"\" DeviceName=\"\x80\xE9x\" ActivationMethod=\"\" "
        "NetworkSessionKey=\"\" ApplicationSessionKey=\"\" ApplicationKey=\"\" DeviceAddress=\"\" Mnemonic=\"\"><LoRaWAN_Rules>"
        "<LoRaWAN_UpLink_Rules><Rule Enable=\"\xA0Y\" Port=\"1\" StartBit=\"0\" NumberBits=\"1\" PositionBit=\"0\"/>"
        "<Rule Enable=\"Y\" Port=\"1\" HexTest=\"N\" ValueTest=\"\xE9\x80\" StartBit=\"0\" "
        "NumberBits=\"1\" PositionBit=\"0\"/><Rule Enable=\"Y\" Port=\"1\" HexTest=\"Y\" ValueTest=\"\xE9" "AB\" StartBit=\"0\" "
        "NumberBits=\"1\" PositionBit=\"0\"/></LoRaWAN_UpLink_Rules><LoRaWAN_DownLink_Rules/></LoRaWAN_Rules></LoRaWAN_Device>";
    p.Write(QStringLiteral("LoRaWAN_Gateway.xml"), "<?xml version=\"1.0\" encoding=\"windows-1252\"?><LoRaWAN_Gateway>"
                                                   "<LoRaWAN_Devices_List>" + device + "</LoRaWAN_Devices_List></LoRaWAN_Gateway>");
    const QByteArray b2 = Compile_Banks(p.path).Bank2;
    const qsizetype slot = At(0x88024);
    // Three characters padded to 16: the pair "0" + "\xE9" is no hex number, "01" is.
    EXPECT_EQ(b2.mid(slot, 8).toHex(), QByteArray("0100000000000000"));
    EXPECT_EQ(b2.mid(slot + 16, 4), QByteArray("?\xE9x\0", 4)); // the euro sign is U+20AC
    // A no-break space is not trimmed away, so the first rule is not taken.
    EXPECT_EQ(U32(b2, 32768 + 4), 2u);
    // "\xE9\x80" as text, then "\xE9" "AB" as hex: "0\xE9" is no hex pair, "AB" is.
    EXPECT_EQ(b2.mid(At(0x8A5A4) + 48, 4).toHex(), QByteArray("e93f00ab"));
}

// Texts the device editor accepts must reach the image as it checked them:
// its time-out check reads any integer text, and its hex test values are
// checked without the blanks around them (plain test values keep theirs).
TEST(Banks, DeviceTimeOutAndTestValueTexts)
{
    struct Case {
        const char* diag;
        const char* hexTest;
        const char* value;
        uint32_t timeout;
        QByteArray testBytes;
    };
    const Case cases[] = {
        {"5000", "Y", "0A0B", 5000, Hex("0a0b")},
        {" 5000", "Y", " 0A0B ", 5000, Hex("0a0b")},
        {"0x1388", "Y", "\tABC ", 5000, Hex("0abc")},
        {"+7", "Y", "  ", 7, QByteArray()},
        {"4294967296", "N", " AB ", 0, QByteArray(" AB ")},
        {"-1", "N", "", 0, QByteArray()},
        {"5000 ", "N", "x", 0, QByteArray("x")},
    };
    for (const Case& c : cases) {
        TestProject p;
        p.Write(QStringLiteral("ParGen.xml"), "<Par_Gen/>");
        p.Write(QStringLiteral("LoRaWAN_Gateway.xml"),
                QByteArray("<LoRaWAN_Gateway><LoRaWAN_Devices_List><LoRaWAN_Device Enable=\"Y\" DeviceEUI=\"1\" JoinEUI=\"\" "
                           "DeviceName=\"\" ActivationMethod=\"\" NetworkSessionKey=\"\" ApplicationSessionKey=\"\" "
                           "ApplicationKey=\"\" DeviceAddress=\"\" DiagTimeOut=\"") +
                    c.diag + "\"><LoRaWAN_Rules><LoRaWAN_UpLink_Rules><Rule Enable=\"Y\" Port=\"1\" StartTest=\"0\" LenTest=\"2\" "
                    "HexTest=\"" + c.hexTest + "\" ValueTest=\"" + c.value + "\" StartBit=\"0\" NumberBits=\"1\" PositionBit=\"0\"/>"
                    "</LoRaWAN_UpLink_Rules><LoRaWAN_DownLink_Rules/></LoRaWAN_Rules></LoRaWAN_Device></LoRaWAN_Devices_List>"
                    "</LoRaWAN_Gateway>");
        const QByteArray b2 = Compile_Banks(p.path).Bank2;
        const std::string label = std::string(c.diag) + " / " + c.value;
        EXPECT_EQ(U32(b2, At(0x88024) + 88), c.timeout) << label;
        const uint32_t testAt = 0x8A5A4 + 24;
        EXPECT_EQ(U32(b2, At(0x8A5A4) + 8), testAt) << label;
        EXPECT_EQ(U32(b2, 32768 + 16), testAt + uint32_t(c.testBytes.size())) << label; // the text follows the test bytes
        EXPECT_EQ(b2.mid(At(testAt), c.testBytes.size()).toHex(), c.testBytes.toHex()) << label;
    }
}

TEST(Banks, LargeDeviceListMovesTheRules)
{
    TestProject p;
    p.Write(QStringLiteral("ParGen.xml"), "<Par_Gen/>");
    QByteArray devs;
    const QByteArray dev = "<LoRaWAN_Device Enable=\"Y\" DeviceEUI=\"1\" JoinEUI=\"2\" DeviceName=\"d\" ActivationMethod=\"\" "
                           "NetworkSessionKey=\"\" ApplicationSessionKey=\"\" ApplicationKey=\"\" DeviceAddress=\"3\" Mnemonic=\"\">"
                           "<LoRaWAN_Rules><LoRaWAN_UpLink_Rules/><LoRaWAN_DownLink_Rules><Rule Enable=\"Y\" Port=\"1\" StartBit=\"0\" "
                           "NumberBits=\"1\" OnChange=\"N\" OnCommand=\"Y\" OnTimer=\"N\" Time=\"\" PositionBit=\"7\" Mnemonic=\"\"/>"
                           "</LoRaWAN_DownLink_Rules></LoRaWAN_Rules></LoRaWAN_Device>";
    for (int i = 0; i < 150; ++i) devs += dev;
    p.Write(QStringLiteral("LoRaWAN_Gateway.xml"),
            "<LoRaWAN_Gateway><LoRaWAN_Devices_List>" + devs + "</LoRaWAN_Devices_List></LoRaWAN_Gateway>");
    const QByteArray b2 = Compile_Banks(p.path).Bank2;
    const uint32_t ruleList = 0x88024 + 150 * 96;
    EXPECT_EQ(U32(b2, 32768 + 0), 150u);
    EXPECT_EQ(U32(b2, 32768 + 12), ruleList);
    EXPECT_EQ(U32(b2, 32768 + 16), ruleList + 150 * 24);
    // The last rule belongs to device 149 and has no test bytes.
    ExpectSameBytes(b2.mid(At(ruleList) + 149 * 24, 24), Rule(149, 1, 0, 0, ruleList + 150 * 24, 0, 0, 7, 1, 10), "last rule");
    EXPECT_EQ(U32(b2, At(0x88024) + 149 * 96 + 84), 0x20u);
}

// The concentrator text of every band, read by Python's JSON parser once the
// C comments are removed (comment markers inside strings are kept).
TEST(Banks, ConcentratorTextIsJsonForEveryBand)
{
    const char* const script = R"PY(
import json, sys
def strip(s):
    out = []; i = 0; n = len(s); in_str = False
    while i < n:
        c = s[i]
        if in_str:
            out.append(c)
            if c == '\\':
                out.append(s[i + 1]); i += 2; continue
            if c == '"': in_str = False
            i += 1
        elif c == '"':
            in_str = True; out.append(c); i += 1
        elif s.startswith('/*', i):
            j = s.find('*/', i + 2)
            if j < 0: raise ValueError('unterminated comment')
            i = j + 2
        else:
            out.append(c); i += 1
    return ''.join(out)
required = {
    'SX130x_conf': ['com_type', 'com_path', 'lorawan_public', 'clksrc', 'radio_0', 'radio_1', 'chan_multiSF_0', 'chan_FSK'],
    'gateway_conf': ['gateway_ID', 'server_address', 'serv_port_up', 'serv_port_down', 'keepalive_interval',
                     'stat_interval', 'push_timeout_ms', 'forward_crc_valid', 'beacon_freq_hz'],
}
results = []
for path in sys.argv[1:]:
    raw = open(path, 'rb').read()
    assert raw.endswith(b'\n\x00') and b'\r' not in raw
    text = raw[:-1].decode('latin-1')
    try:
        conf = json.loads(strip(text))
    except Exception as e:
        results.append({'error': str(e)}); continue
    missing = [s + '.' + k for s, keys in required.items() for k in keys if k not in conf.get(s, {})]
    sx, gw = conf['SX130x_conf'], conf['gateway_conf']
    results.append({'missing': missing, 'public': sx['lorawan_public'], 'server': gw['server_address'],
                    'up': gw['serv_port_up'], 'down': gw['serv_port_down'], 'keepalive': gw['keepalive_interval'],
                    'id': gw['gateway_ID'], 'beacon': gw['beacon_freq_hz'],
                    'freq0': sx['radio_0'].get('freq', 0), 'freq1': sx['radio_1'].get('freq', 0),
                    'sx1261': 'sx1261_conf' in sx, 'sf7': sx['chan_multiSF_7']['enable']})
print(json.dumps(results))
)PY";
    struct Case {
        int band;
        int subBand;
        bool isPublic;
        bool publicInText;
        const char* id;
        int64_t beacon;
        int64_t freq0, freq1;
        bool sx1261, sf7;
    };
    std::vector<Case> cases;
    for (bool pub : {true, false}) {
        cases.push_back({0, 1, pub, pub, "DCA632FFFFB3DC2B", 869525000, 867500000, 868500000, true, true});
        cases.push_back({1, 2, pub, pub, "AA555A0000000000", 869525000, 904300000, 905000000, true, true});
        cases.push_back({1, 8, pub, pub, "AA555A0000000000", 869525000, 913900000, 914600000, true, true});
        cases.push_back({1, 0, pub, pub, "AA555A0000000000", 869525000, 0, 0, true, true});
        cases.push_back({2, 1, pub, pub, "AA555A0000000000", 923100000, 922400000, 923000000, false, false});
        cases.push_back({3, 1, pub, true, "AA555A0000000000", 923400000, 923500000, 924300000, false, true});
    }
    // An address that needs escaping, with comment markers inside it.
    const QString server = QString::fromUtf8("lns.example/*x*/\"q\"\\\t\u00e9");

    QTemporaryDir dir;
    QStringList args{QStringLiteral("-c"), QString::fromLatin1(script)};
    for (size_t i = 0; i < cases.size(); ++i) {
        TBank_Builder b;
        b.LoRaWAN_ParGen.RF_Band = cases[i].band;
        b.LoRaWAN_ParGen.NetworkType = cases[i].isPublic ? QStringLiteral("true") : QStringLiteral("false");
        b.LoRaWAN_ParGen.Server_Add = i == 0 ? server : QStringLiteral("10.0.0.%1").arg(i);
        b.LoRaWAN_ParGen.Server_Port_Up = QStringLiteral("1700");
        b.LoRaWAN_ParGen.Server_Port_Down = QStringLiteral("1701");
        b.LoRaWAN_ParGen.KA_Interval = QStringLiteral("%1").arg(10 + i);
        b.LoRaWAN_Infos.Freq_SubBand = uint8_t(cases[i].subBand);
        b.Build_Forwarder_Conf();
        const QString file = PathJoin(dir.path(), QStringLiteral("conf%1.txt").arg(i));
        WriteTestFile(file, Forwarder_Conf_Bytes(b.Forwarder_Conf));
        args << file;
    }
    QProcess py;
    py.start(QStringLiteral("python3"), args);
    ASSERT_TRUE(py.waitForFinished(60000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    const QJsonArray results = QJsonDocument::fromJson(py.readAllStandardOutput()).array();
    ASSERT_EQ(size_t(results.size()), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const QJsonObject r = results[qsizetype(i)].toObject();
        const std::string label = "band " + std::to_string(c.band) + " sub-band " + std::to_string(c.subBand) +
                                  (c.isPublic ? " public" : " private");
        ASSERT_FALSE(r.contains(QStringLiteral("error"))) << label << ": " << r[QStringLiteral("error")].toString().toStdString();
        EXPECT_TRUE(r[QStringLiteral("missing")].toArray().isEmpty()) << label;
        EXPECT_EQ(r[QStringLiteral("public")].toBool(), c.publicInText) << label;
        EXPECT_EQ(r[QStringLiteral("server")].toString(), i == 0 ? server : QStringLiteral("10.0.0.%1").arg(i)) << label;
        EXPECT_EQ(r[QStringLiteral("up")].toInteger(), 1700) << label;
        EXPECT_EQ(r[QStringLiteral("down")].toInteger(), 1701) << label;
        EXPECT_EQ(r[QStringLiteral("keepalive")].toInteger(), int64_t(10 + i)) << label;
        EXPECT_EQ(r[QStringLiteral("id")].toString(), QLatin1String(c.id)) << label;
        EXPECT_EQ(r[QStringLiteral("beacon")].toInteger(), c.beacon) << label;
        EXPECT_EQ(r[QStringLiteral("freq0")].toInteger(), c.freq0) << label;
        EXPECT_EQ(r[QStringLiteral("freq1")].toInteger(), c.freq1) << label;
        EXPECT_EQ(r[QStringLiteral("sx1261")].toBool(), c.sx1261) << label;
        EXPECT_EQ(r[QStringLiteral("sf7")].toBool(), c.sf7) << label;
    }
}

TEST(Banks, ServerNumbersAreWrittenAsJsonNumbers)
{
    TestProject p;
    p.Write(QStringLiteral("ParGen.xml"), "<Par_Gen><LoRaWAN_Server_Port_Up> 01700</LoRaWAN_Server_Port_Up>"
                                          "<LoRaWAN_Server_Port_Down>+1701</LoRaWAN_Server_Port_Down></Par_Gen>");
    const QByteArray b2 = Compile_Banks(p.path).Bank2;
    EXPECT_TRUE(b2.contains("\n        \"serv_port_up\": 1700,\n"));
    EXPECT_TRUE(b2.contains("\n        \"serv_port_down\": 1701,\n"));
    EXPECT_TRUE(b2.contains("\n        \"keepalive_interval\": 10,\n"));
    EXPECT_TRUE(b2.contains("\n        \"server_address\": \"" + Default_LoRaWAN_Server_Address.toLatin1() + "\",\n"));
}

// Builds that must be refused: nothing is written, the device's earlier
// images stay as they were.
TEST(Banks, RefusedBuildLeavesEarlierImages)
{
    TestProject p(QStringLiteral("gateway_eu"));
    Update(p.path);
    const QByteArray old1 = ReadTestFile(p.Bank(1));
    const QByteArray old2 = ReadTestFile(p.Bank(2));
    const QByteArray parGen = ReadTestFile(p.File(QStringLiteral("ParGen.xml")));
    const QByteArray lorawan = ReadTestFile(p.File(QStringLiteral("LoRaWAN_Gateway.xml")));

    struct Case {
        const char* what;
        const char* file;
        QByteArray content;
        const char* messagePart;
    };
    QByteArray many = "<Receive_Frames>";
    for (int i = 0; i < 1025 - 2; ++i) many += "<row COBID=\"1\"/>"; // plus the two send rows
    many += "</Receive_Frames>";
    QByteArray bigValue = lorawan;
    bigValue.replace("ValueTest=\"AB\"", "ValueTest=\"" + QByteArray(600000, 'x') + "\"");
    QByteArray noStartBit = lorawan;
    noStartBit.replace("StartBit=\"1\"", "");
    QByteArray badBit = lorawan;
    badBit.replace("PositionBit=\"300\"", "PositionBit=\"3x\"");
    QByteArray noRules = lorawan;
    noRules.replace("<LoRaWAN_DownLink_Rules/></LoRaWAN_Rules></LoRaWAN_Device></LoRaWAN_Devices_List>",
                    "</LoRaWAN_Rules></LoRaWAN_Device></LoRaWAN_Devices_List>");
    const Case cases[] = {
        {"port up not a number", "ParGen.xml", QByteArray(parGen).replace(">1700<", ">17OO<"), "server port up \"17OO\""},
        {"empty port down", "ParGen.xml", QByteArray(parGen).replace(">1701<", "><"), "server port down"},
        {"keep-alive not a number", "ParGen.xml", QByteArray(parGen).replace("Interval>10<", "Interval>abc<"), "keep-alive"},
        {"ParGen.xml missing", "ParGen.xml", QByteArray(), "set them first with \"Set Communication\""},
        {"more than 1024 CAN frames", "CAN_Rec_Frames.xml", many, "1024"},
        {"bank2 over capacity", "LoRaWAN_Gateway.xml", bigValue, "524288"},
        {"uplink rule without StartBit", "LoRaWAN_Gateway.xml", noStartBit, "uplink rule 3 has no attribute \"StartBit\""},
        {"downlink PositionBit not an integer", "LoRaWAN_Gateway.xml", badBit, "\"3x\""},
        {"device without its downlink list", "LoRaWAN_Gateway.xml", noRules, "LoRaWAN_DownLink_Rules"},
        {"file that does not parse", "CAN_Send_Frames.xml", "<Transmit_Frames><row", "CAN_Send_Frames.xml"},
    };
    for (const Case& c : cases) {
        TestProject q(QStringLiteral("gateway_eu"));
        Update(q.path);
        const QString file = q.File(QString::fromLatin1(c.file));
        if (c.content.isEmpty())
            QFile::remove(file);
        else
            q.Write(QString::fromLatin1(c.file), c.content);
        try {
            Update(q.path);
            ADD_FAILURE() << c.what << ": the build was not refused";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Message().contains(QString::fromLatin1(c.messagePart))) << c.what << ": " << e.what();
        }
        EXPECT_EQ(ReadTestFile(q.Bank(1)), old1) << c.what;
        EXPECT_EQ(ReadTestFile(q.Bank(2)), old2) << c.what;
    }
}

TEST(Banks, CapacityLimitIsExact)
{
    TestProject p(QStringLiteral("gateway_eu"));
    const QByteArray lorawan = ReadTestFile(p.File(QStringLiteral("LoRaWAN_Gateway.xml")));
    const qsizetype size = Compile_Banks(p.path).Bank2.size();
    const qsizetype room = 524288 - size;
    const auto withValue = [&](qsizetype extra) {
        QByteArray f = lorawan;
        f.replace("ValueTest=\"AB\"", "ValueTest=\"AB" + QByteArray(extra, 'x') + "\"");
        p.Write(QStringLiteral("LoRaWAN_Gateway.xml"), f);
    };
    withValue(room);
    EXPECT_EQ(Compile_Banks(p.path).Bank2.size(), 524288);
    withValue(room + 1);
    EXPECT_THROW(Compile_Banks(p.path), EBankError);

    // 1024 CAN frames fill the table exactly.
    QByteArray rows = "<Receive_Frames>";
    for (int i = 0; i < 1022; ++i) rows += "<row COBID=\"" + QByteArray::number(i) + "\"/>";
    rows += "</Receive_Frames>";
    p.Write(QStringLiteral("CAN_Rec_Frames.xml"), rows);
    withValue(0);
    const TBank_Images img = Compile_Banks(p.path);
    EXPECT_EQ(U32(img.Bank1, 0x70), 1024u);
    EXPECT_EQ(U32(img.Bank2, 1023 * 32), 257u); // the last send row
}

TEST(Banks, SaveWritesBothOrNeither)
{
    TestProject p(QStringLiteral("gateway_eu"));
    Update(p.path);
    const QByteArray old1 = ReadTestFile(p.Bank(1));

    // bank2.bin cannot be replaced (a folder stands in its place).
    QFile::remove(p.Bank(2));
    ASSERT_TRUE(QDir().mkpath(p.Bank(2)));
    TBank_Images other = Compile_Banks(p.path);
    other.Bank1[0] = char(other.Bank1[0] ^ 0xFF);
    EXPECT_THROW(Save_Banks(p.path, other), EFileError);
    EXPECT_EQ(ReadTestFile(p.Bank(1)), old1);
    EXPECT_TRUE(DirectoryExists(p.Bank(2)));

    // No bin folder: the failure is reported and no file appears.
    TestProject q(QStringLiteral("bare"));
    ASSERT_TRUE(QDir(PathJoin(q.path, QStringLiteral("bin"))).removeRecursively());
    try {
        Update(q.path);
        ADD_FAILURE() << "writing without a bin folder succeeded";
    } catch (const EFileError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("bin"))) << e.what();
    }
    EXPECT_FALSE(FileExists(q.Bank(1)));
    EXPECT_FALSE(FileExists(q.Bank(2)));
}

TEST(Banks, NothingCarriesOverBetweenBuilds)
{
    TestProject gw(QStringLiteral("gateway_eu")), en(QStringLiteral("endnode_us"));
    const TBank_Images first = Compile_Banks(gw.path);
    Compile_Banks(en.path);
    const TBank_Images again = Compile_Banks(gw.path);
    EXPECT_EQ(again.Bank1, first.Bank1);
    EXPECT_EQ(again.Bank2, first.Bank2);

    // The four paths can also be given one by one.
    TBank_Files files = TBank_Files::InProject(gw.path);
    files.CAN_Send_Frames_File = en.File(QStringLiteral("missing.xml"));
    EXPECT_EQ(U32(Compile_Banks(files).Bank1, 0x70), 3u);
}

namespace {
// A ParGen.xml with one element's text replaced (or added when missing).
QByteArray WithElement(QByteArray parGen, const QByteArray& name, const QByteArray& value)
{
    const QByteArray open = "<" + name + ">", close = "</" + name + ">";
    const qsizetype a = parGen.indexOf(open);
    if (a < 0) return parGen.replace("</Par_Gen>", open + value + close + "</Par_Gen>");
    const qsizetype b = parGen.indexOf(close, a);
    return parGen.replace(a + open.size(), b - a - open.size(), value);
}
} // namespace

// A comment, an instruction or a declaration before the root changes
// nothing: every file is read from its document element.
TEST(Banks, NodesBeforeTheRootChangeNothing)
{
    TestProject plain(QStringLiteral("gateway_eu"));
    const TBank_Images expected = Compile_Banks(plain.path);
    const char* const prologs[] = {"<!-- note -->", "<?xml-stylesheet href=\"view.xsl\" type=\"text/xsl\"?>",
                                   "<?xml version=\"1.0\"?>\r\n<!--a--><!--b-->"};
    const char* const files[] = {"ParGen.xml", "CAN_Rec_Frames.xml", "CAN_Send_Frames.xml", "LoRaWAN_Gateway.xml"};
    for (const char* prolog : prologs) {
        TestProject p(QStringLiteral("gateway_eu"));
        for (const char* file : files) p.Write(QString::fromLatin1(file), prolog + ReadTestFile(p.File(QString::fromLatin1(file))));
        const TBank_Images img = Compile_Banks(p.path);
        ExpectSameBytes(img.Bank1, expected.Bank1, prolog);
        ExpectSameBytes(img.Bank2, expected.Bank2, prolog);
    }
}

// A project file over 64 MB is refused by name before anything of it is
// read, and nothing is written.
TEST(Banks, ProjectFilesOverTheSizeLimitAreRefused)
{
    for (const char* name : {"ParGen.xml", "CAN_Rec_Frames.xml", "CAN_Send_Frames.xml", "LoRaWAN_Gateway.xml"}) {
        TestProject p(QStringLiteral("gateway_eu"));
        Update(p.path);
        const QByteArray old2 = ReadTestFile(p.Bank(2));
        QFile big(p.File(QString::fromLatin1(name)));
        ASSERT_TRUE(big.open(QIODevice::ReadWrite));
        ASSERT_TRUE(big.resize(Max_Xml_File_Size + 1)); // sparse
        big.close();
        try {
            Update(p.path);
            ADD_FAILURE() << name << " over 64 MB was read";
        } catch (const EXMLError& e) {
            EXPECT_TRUE(e.Message().contains(p.File(QString::fromLatin1(name)))) << e.what();
            EXPECT_TRUE(e.Message().contains("64 MB")) << e.what();
        }
        EXPECT_EQ(ReadTestFile(p.Bank(2)), old2) << name;
    }
}

// A number that does not fit its field in the image refuses the build,
// naming the file, the row and the field; nothing is written. Text that is no
// number keeps the readers' defaults, and values that do not reach the image
// are not looked at.
TEST(Banks, ValuesThatDoNotFitTheirFieldRefuseTheBuild)
{
    TestProject base(QStringLiteral("gateway_eu"));
    const QByteArray parGen = ReadTestFile(base.File(QStringLiteral("ParGen.xml")));
    const QByteArray rec = ReadTestFile(base.File(QStringLiteral("CAN_Rec_Frames.xml")));
    const QByteArray send = ReadTestFile(base.File(QStringLiteral("CAN_Send_Frames.xml")));
    const auto replaced = [](QByteArray bytes, const char* from, const char* to) {
        EXPECT_TRUE(bytes.contains(from)) << from;
        return bytes.replace(from, to);
    };
    struct Case {
        const char* file;
        QByteArray content;
        const char* where;   // file and row as the message names them
        const char* field;
        const char* text;
    };
    const Case refused[] = {
        {"ParGen.xml", WithElement(parGen, "Ethernet_IP1", "300"), "ParGen.xml:", "Ethernet_IP1", "300"},
        {"ParGen.xml", WithElement(parGen, "Ethernet_SM4", "-1"), "ParGen.xml:", "Ethernet_SM4", "-1"},
        {"ParGen.xml", WithElement(parGen, "Ethernet_GAT2", "0x100"), "ParGen.xml:", "Ethernet_GAT2", "0x100"},
        {"ParGen.xml", WithElement(parGen, "Eth_Conn_Primary_DNS3", "256"), "ParGen.xml:", "Eth_Conn_Primary_DNS3", "256"},
        {"ParGen.xml", WithElement(parGen, "Eth_Conn_Secondary_DNS4", "99999999999999999999999"), "ParGen.xml:",
         "Eth_Conn_Secondary_DNS4", "99999999999999999999999"},
        {"CAN_Rec_Frames.xml", replaced(rec, "COBID=\"291\"", "COBID=\"0x1FFFFFFFF\""), "CAN_Rec_Frames.xml, row 1:", "COBID",
         "0x1FFFFFFFF"},
        {"CAN_Rec_Frames.xml", replaced(rec, "COBID=\"419364865\"", "COBID=\"-1\""), "CAN_Rec_Frames.xml, row 3:", "COBID", "-1"},
        {"CAN_Rec_Frames.xml", replaced(rec, "Dim=\"3\"", "Dim=\"9\""), "CAN_Rec_Frames.xml, row 1:", "Dim", "9"},
        {"CAN_Rec_Frames.xml", replaced(rec, "TimeOut=\"500\"", "TimeOut=\"4294967296\""), "CAN_Rec_Frames.xml, row 1:",
         "TimeOut", "4294967296"},
        {"CAN_Send_Frames.xml", replaced(send, "Time=\"1000\"", "Time=\"4294967296\""), "CAN_Send_Frames.xml, row 1:", "Time",
         "4294967296"},
        {"CAN_Send_Frames.xml", replaced(send, "COBID=\"257\"", "COBID=\"536870912\""), "CAN_Send_Frames.xml, row 2:", "COBID",
         "536870912"},
        {"CAN_Send_Frames.xml", replaced(send, "Dim=\"1\"", "Dim=\" -1\""), "CAN_Send_Frames.xml, row 2:", "Dim", " -1"},
    };
    for (const Case& c : refused) {
        TestProject p(QStringLiteral("gateway_eu"));
        Update(p.path);
        const QByteArray old1 = ReadTestFile(p.Bank(1)), old2 = ReadTestFile(p.Bank(2));
        p.Write(QString::fromLatin1(c.file), c.content);
        try {
            Update(p.path);
            ADD_FAILURE() << c.where << " " << c.field << ": the build was not refused";
        } catch (const EBankError& e) {
            const QString expected = QStringLiteral("%1 the field \"%2\" holds \"%3\"")
                                         .arg(QString::fromLatin1(c.where), QString::fromLatin1(c.field), QString::fromLatin1(c.text));
            EXPECT_TRUE(e.Message().startsWith(expected)) << e.what();
        }
        EXPECT_EQ(ReadTestFile(p.Bank(1)), old1) << c.where << c.field;
        EXPECT_EQ(ReadTestFile(p.Bank(2)), old2) << c.where << c.field;
    }

    // Values at the edges of their fields, and values that never reach the image.
    QByteArray noGateway = WithElement(WithElement(parGen, "Ethernet_EN_GAT", "0"), "Ethernet_GAT1", "999");
    noGateway = WithElement(WithElement(noGateway, "Eth_Conn_Enable_DNS", "0"), "Eth_Conn_Primary_DNS1", "300");
    TestProject p(QStringLiteral("gateway_eu"));
    p.Write(QStringLiteral("ParGen.xml"), WithElement(noGateway, "Ethernet_IP4", " 255"));
    QByteArray recEdges = replaced(rec, "COBID=\"291\"", "COBID=\"0x1FFFFFFF\"");
    recEdges = replaced(recEdges, "TimeOut=\"500\"", "TimeOut=\"4294967295\"");
    recEdges = replaced(recEdges, "Dim=\"3\"", "Dim=\"0\"");
    recEdges = replaced(recEdges, "COBID=\"5\"", "COBID=\"0x1FFFFFFFF\""); // a disabled row
    p.Write(QStringLiteral("CAN_Rec_Frames.xml"), recEdges);
    // Without the timer flag the period is not used, and the editor does not check it.
    p.Write(QStringLiteral("CAN_Send_Frames.xml"),
            replaced(replaced(send, "OnTimer=\"Y\" Time=\"1000\"", "OnTimer=\"N\" Time=\"4294967297\""), "Dim=\"2\"", "Dim=\"x\""));
    const TBank_Images img = Compile_Banks(p.path);
    EXPECT_EQ(img.Bank1.mid(0x028, 4), Hex("0a0102ff"));
    EXPECT_EQ(img.Bank1.mid(0x030, 4), Hex("ffffffff"));
    EXPECT_EQ(img.Bank1.mid(0x58C, 4), Hex("00000000"));
    EXPECT_EQ(img.Bank2.mid(0, 16), Hex("ffffff1f00000000ffffffff00000000"));
    const qsizetype sendEntry = 32 * 3; // after the three taken receive rows
    EXPECT_EQ(U32(img.Bank2, sendEntry + 4), 1u);       // the period's low 32 bits, as before
    EXPECT_EQ(uint8_t(img.Bank2[sendEntry + 14]), 8u); // no number: eight data bytes
}
