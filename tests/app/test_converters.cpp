#include "app/UComon.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

TEST(Converters, SplitIPAddress)
{
    struct Case {
        const char* text;
        bool ok;
        const char* parts[4];  // expected a..d ("-" = left unchanged)
    };
    const Case cases[] = {
        {"192.168.2.205", true, {"192", "168", "2", "205"}},
        {"  10 . 0 .\t1 . 2  ", true, {"10", "0", "1", "2"}},
        {"256.1.1.1", false, {"256", "1", "1", "1"}},
        {"1.2.3.x", false, {"1", "2", "3", "x"}},
        {"1.2.3", false, {"1", "2", "-", "-"}},
        {"1.2.3.4.5", false, {"1", "2", "3", "4.5"}},
        {"", false, {"-", "-", "-", "-"}},
        {"$C0.168.0.1", true, {"$C0", "168", "0", "1"}},
        {"-1.0.0.0", false, {"-1", "0", "0", "0"}},
    };
    for (const Case& c : cases) {
        QString p[4] = {"-", "-", "-", "-"};
        EXPECT_EQ(Split_IP_Address(c.text, p[0], p[1], p[2], p[3]), c.ok) << c.text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(p[i], QString(c.parts[i])) << c.text << " part " << i;
    }
}

TEST(Converters, IPToBytes)
{
    struct Case {
        const char* text;
        bool wrong;
        int bytes[4];
    };
    const Case cases[] = {
        {"192.168.1.10", false, {192, 168, 1, 10}},
        {"", true, {7, 7, 7, 7}},  // unchanged
        {"10.0.0.300", true, {10, 0, 0, 0}},
        {"1.2.3", true, {1, 2, 0, 3}},
        {" 1.2.3.4", false, {1, 2, 3, 4}},  // leading blanks belong to the integer convention
        {"1 .2.3.4", true, {0, 2, 3, 4}},   // a trailing blank does not: parts are not trimmed
        {"a.b.c.d", true, {0, 0, 0, 0}},
        {"1.2.3.4.5", true, {1, 2, 3, 0}},
    };
    for (const Case& c : cases) {
        uint8_t b[4] = {7, 7, 7, 7};
        EXPECT_EQ(IP_To_Bytes(c.text, b[0], b[1], b[2], b[3]), c.wrong) << c.text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(b[i], c.bytes[i]) << c.text << " byte " << i;
    }
}

TEST(Converters, IPPortToBytes)
{
    struct Case {
        const char* text;
        bool ok;
        int bytes[4];
        int port;
    };
    const Case cases[] = {
        {"192.168.1.10:47808", true, {192, 168, 1, 10}, 47808},
        {" 10 . 1 . 2 . 3 : 0 ", true, {10, 1, 2, 3}, 0},
        {"1.2.3.4:65535", true, {1, 2, 3, 4}, 65535},
        {"10.0.0.1", false, {0, 0, 0, 0}, 0},
        {"10.0.0.1:65536", false, {0, 0, 0, 0}, 0},
        {"10.0.0.256:80", false, {0, 0, 0, 0}, 0},
        {"10.0:80", false, {0, 0, 0, 0}, 0},
        {"", false, {0, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        uint8_t b[4] = {9, 9, 9, 9};
        uint16_t port = 9;
        EXPECT_EQ(IP_Port_To_Bytes(c.text, b[0], b[1], b[2], b[3], port), c.ok) << c.text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(b[i], c.bytes[i]) << c.text;
        EXPECT_EQ(port, c.port) << c.text;
    }
}

TEST(Converters, DecimalSeparatorAndTextToFloat)
{
    const FormatSettings saved = SystemFormatSettings();
    struct Case {
        const char* text;
        bool ok;
        float value;
    };
    const Case cases[] = {
        {"1,5", true, 1.5f}, {"1.5", true, 1.5f}, {" -2.25 ", true, -2.25f}, {"3", true, 3.0f}, {"1e3", true, 1000.0f},
        {"abc", false, 1.0f}, {"", false, 1.0f}, {"1.2.3", false, 1.0f}, {"1,5x", false, 1.0f}, {"1e400", false, 1.0f},
    };
    for (const char sep : {',', '.'}) {
        FormatSettings fs = saved;
        fs.DecimalSeparator = QLatin1Char(sep);
        SetFormatSettings(fs);
        EXPECT_EQ(Get_Decimal_Separator(), QLatin1Char(sep));
        for (const Case& c : cases) {
            float v = -7.0f;
            EXPECT_EQ(Text_To_Float(c.text, Get_Decimal_Separator(), v), c.ok) << c.text << " with " << sep;
            EXPECT_FLOAT_EQ(v, c.value) << c.text << " with " << sep;
        }
    }
    FormatSettings odd = saved;
    odd.DecimalSeparator = QLatin1Char('/');
    SetFormatSettings(odd);
    EXPECT_EQ(Get_Decimal_Separator(), QLatin1Char(','));
    SetFormatSettings(saved);
}

TEST(Converters, OPCUACodesAndTexts)
{
    struct CodeCase {
        int code;
        const char* nodeType;
        const char* varType;
        const char* auth;
        const char* secType;
        const char* policy;
    };
    const CodeCase cases[] = {
        {0, "Numeric", "Boolean", "Anonymous", "None", "None"},
        {1, "", "Int8", "Username and Password", "Sign", "Basic 128 RSA 15"},
        {2, "", "UInt8", "Certificate", "Sign and Encrypt", "Basic 256"},
        {3, "String", "Int16", "Certificate", "Sign and Encrypt", "Basic 256 SHA 256"},
        {4, "Guid", "UInt16", "Certificate", "Sign and Encrypt", "AES 128 SHA 256 RSA OAEP"},
        {5, "ByteString", "Int32", "Certificate", "Sign and Encrypt", "AES 256 SHA 256 RSA PSS"},
        {14, "", "ByteString", "Certificate", "Sign and Encrypt", "AES 256 SHA 256 RSA PSS"},
        {15, "", "", "Certificate", "Sign and Encrypt", "AES 256 SHA 256 RSA PSS"},
        {-1, "", "", "Certificate", "Sign and Encrypt", "AES 256 SHA 256 RSA PSS"},
    };
    for (const CodeCase& c : cases) {
        EXPECT_EQ(NodeType_To_Text(c.code), QString(c.nodeType)) << c.code;
        EXPECT_EQ(VarType_To_Text(c.code), QString(c.varType)) << c.code;
        EXPECT_EQ(Authorization_To_Text(c.code), QString(c.auth)) << c.code;
        EXPECT_EQ(SecurityType_To_Text(c.code), QString(c.secType)) << c.code;
        EXPECT_EQ(SecurityPolicy_To_Text(c.code), QString(c.policy)) << c.code;
    }
    EXPECT_EQ(VarType_To_Text(12), "DateTime");

    struct TextCase {
        const char* text;
        int nodeType, auth, secType, policy;
    };
    const TextCase texts[] = {
        {"Numeric", 0, 2, 2, 5},
        {"string", 3, 2, 2, 5},
        {"GUID", 4, 2, 2, 5},
        {"ByteString", 5, 2, 2, 5},
        {"Anonymous", 0, 0, 2, 5},
        {"anonymous", 0, 2, 2, 5},  // exact comparison
        {"Username and Password", 0, 1, 2, 5},
        {"None", 0, 2, 0, 0},
        {"Sign", 0, 2, 1, 5},
        {"Basic 128 RSA 15", 0, 2, 2, 1},
        {"Basic 256", 0, 2, 2, 2},
        {"Basic 256 SHA 256", 0, 2, 2, 3},
        {"AES 128 SHA 256 RSA OAEP", 0, 2, 2, 4},
        {"", 0, 2, 2, 5},
    };
    for (const TextCase& t : texts) {
        EXPECT_EQ(Text_To_NodeType(t.text), t.nodeType) << t.text;
        EXPECT_EQ(Text_To_Authorization(t.text), t.auth) << t.text;
        EXPECT_EQ(Text_To_SecurityType(t.text), t.secType) << t.text;
        EXPECT_EQ(Text_To_SecurityPolicy(t.text), t.policy) << t.text;
    }
}

TEST(Converters, NodeIDToText)
{
    opcua_structure n;
    n.identifierType = 0;
    n.numeric = 4294967295u;
    EXPECT_EQ(NodeID_To_Text(n), "4294967295");

    n.identifierType = 3;
    n.stringname = "Temp\xE9rature";  // 8-bit text in the ANSI code page
    n.stringLength = 2;               // not used: the text ends at its zero byte
    EXPECT_EQ(NodeID_To_Text(n), QString::fromUtf8("Temp\u00e9rature"));
    n.stringname = nullptr;
    EXPECT_EQ(NodeID_To_Text(n), "");

    n.identifierType = 4;
    n.guide1 = 0x72962B91;
    n.guide2 = 0xFA75;
    n.guide3 = 0x4AE6;
    const uint8_t g4[8] = {0x8D, 0x28, 0xB4, 0x04, 0xDC, 0x7D, 0xAF, 0x63};
    std::copy(g4, g4 + 8, n.guide4);
    EXPECT_EQ(NodeID_To_Text(n), "72962B91-FA75-4AE6-8D28-B404DC7DAF63");
    n.guide1 = 1;
    n.guide2 = 2;
    n.guide3 = 3;
    std::fill(n.guide4, n.guide4 + 8, 0x0A);
    EXPECT_EQ(NodeID_To_Text(n), "00000001-0002-0003-0A0A-0A0A0A0A0A0A");

    n.identifierType = 5;
    n.byteString = "AQID";
    EXPECT_EQ(NodeID_To_Text(n), "AQID");
    n.identifierType = 1;
    EXPECT_EQ(NodeID_To_Text(n), "");
}

TEST(Converters, CheckOID)
{
    const std::pair<QString, int> cases[] = {
        {"1.3.6.1.4.1", 0},
        {"1..3", 5},
        {".1", 3},
        {"1.3.", 4},
        {"1.4294967296", 6},
        {"1.4294967295", 0},
        {"1.99999999999999999999999", 6},  // too long for a 64-bit integer
        {"1.0000000000000000000000001", 0},
        {"1.3.a", 2},
        {"1 .3", 2},
        {"", 5},
        {".", 3},
        {QString(129, '1'), 1},
        {QString(128, '1'), 6},
        {"1." + QString(64, '0') + ".2", 0},
    };
    for (const auto& [text, code] : cases)
        EXPECT_EQ(Check_OID(text), code) << text.toStdString();
}

TEST(Converters, CheckSNMPv3UserPass)
{
    struct Case {
        const char* text;
        bool allowShort;
        int code;
    };
    const Case cases[] = {
        {"abc", true, 0},         {"abc", false, 2},          {"abcdefgh!", false, 3}, {"abcdefgh", false, 0},
        {"", true, 2},            {"A1b2C3d4E5f6G7h", false, 0}, {"A1b2C3d4E5f6G7h8", false, 1},
        {"abc def1", false, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Check_SNMPv3_User_Pass(c.text, c.allowShort), c.code) << c.text << " " << c.allowShort;
}

TEST(Converters, SecurityLevelFlags)
{
    const std::pair<const char*, int> cases[] = {
        {"AUTH NOPRIV", 1}, {" auth nopriv ", 1}, {"Auth Priv", 3}, {"", -1}, {"   ", -1}, {"NOAUTH NOPRIV", 0}, {"AUTHPRIV", 0},
    };
    for (const auto& [text, flags] : cases)
        EXPECT_EQ(Security_Level_Flags(text), flags) << text;
}

TEST(Converters, CheckKNXAddress)
{
    struct Case {
        const char* text;
        bool group;
        bool allowZero;
        int result;
    };
    const Case cases[] = {
        {"1.1.20", false, false, 0},  {"0.0.0", false, false, 1},   {"0.0.0", false, true, 0},
        {"1.2", false, false, 1},     {"16.1.1", false, false, 1},  {"15.15.255", false, false, 0},
        {"1.1.256", false, false, 1}, {"1.1.1.1", false, false, 1}, {" 1 . 2 . 3 ", false, false, 0},
        {"1/2", false, false, 1},     {"4660", false, false, 0},    {"0", false, false, 1},
        {"65536", false, false, 1},   {"", false, false, 1},        {"x.1.1", false, false, 1},
        {"3/2047", true, false, 0},   {"0/0", true, false, 1},      {"0/0", true, true, 1},
        {"31/7/255", true, false, 0}, {"0/0/0", true, false, 1},    {"0/0/1", true, false, 0},
        {"32/1", true, false, 1},     {"3/2048", true, false, 1},   {"1/8/1", true, false, 1},
        {"1/1/256", true, false, 1},  {"1/1/1/1", true, false, 1},  {"1.1.1", true, false, 1},
        {"1", true, false, 0},        {"65535", true, false, 0},    {"0", true, false, 1},
        {"1/", true, false, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Check_KNX_Address(c.text, c.group, c.allowZero), c.result)
            << c.text << (c.group ? " group" : " individual") << (c.allowZero ? " zero ok" : "");
    EXPECT_TRUE(Is_Group_Address("1/2/3"));
    EXPECT_TRUE(Is_Group_Address(""));
    EXPECT_FALSE(Is_Group_Address("1.1.1"));
    QString n1 = "x", n2 = "y";
    EXPECT_EQ(Get_Interface_Names(n1, n2), 1);
    EXPECT_TRUE(n1.isEmpty() && n2.isEmpty());
}
