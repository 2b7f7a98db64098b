// The echo check with a scripted transport and clock, the address rule, and
// the update job file.
#include "gateway/UBoot.h"

#include <QStringList>
#include <QXmlStreamReader>
#include <deque>
#include <gtest/gtest.h>

namespace {

constexpr uint32_t kDevice = 0xC0A802CD; // 192.168.2.205 (never sent: the transport is scripted)

// How the scripted device treats one try.
struct Try {
    enum Kind { Reply, Silent, SendError, WaitError, Unavailable } kind = Silent;
    int after = 0;  // ms after the request that the reply arrives
    int bytes = 17; // size of the reply
};

// A transport whose device follows a script, on a clock that only moves
// while the check waits for a reply.
class ScriptedPing : public IcmpEchoTransport {
public:
    ScriptedPing(std::deque<Try> script, Try rest) : m_script(std::move(script)), m_rest(rest) {}

    void SendEcho(uint32_t address, const QByteArray& data) override
    {
        sendTimes.push_back(now);
        addresses.push_back(address);
        payloads.push_back(data);
        if (m_script.empty()) {
            m_try = m_rest;
        } else {
            m_try = m_script.front();
            m_script.pop_front();
        }
        m_sentAt = now;
        m_answered = false;
        if (m_try.kind == Try::SendError) throw EIcmpError("send failed");
        if (m_try.kind == Try::Unavailable) throw EIcmpUnavailable("no ICMP socket");
    }

    int WaitReply(int waitMs) override
    {
        EXPECT_GT(waitMs, 0);
        EXPECT_LE(waitMs, Ping_Idle_Slice);
        if (m_try.kind == Try::WaitError) throw EIcmpError("receive failed");
        if (m_try.kind == Try::Reply && !m_answered && now + waitMs >= m_sentAt + m_try.after) {
            now = std::max(now, m_sentAt + m_try.after);
            m_answered = true;
            return m_try.bytes;
        }
        now += waitMs;
        return -1;
    }

    TEcho_Clock Clock()
    {
        return {[this] { return now; }, [this] { ++idles; }};
    }

    int64_t now = 1000000; // any starting tick
    int idles = 0;
    std::vector<int64_t> sendTimes;
    std::vector<uint32_t> addresses;
    std::vector<QByteArray> payloads;

private:
    std::deque<Try> m_script;
    Try m_rest;
    Try m_try;
    int64_t m_sentAt = 0;
    bool m_answered = false;
};

struct CheckRun {
    bool result;
    int32_t ping_res;
};

CheckRun RunCheck(ScriptedPing& ping)
{
    int32_t ping_res = 77;
    const bool result = Run_Echo_Check(ping, kDevice, "192.168.2.205", ping.Clock(), ping_res);
    return {result, ping_res};
}

} // namespace

TEST(EchoCheck, TwoRepliesEndTheCheckAtOnce)
{
    ScriptedPing ping({{Try::Reply, 30}, {Try::Reply, 25}}, {Try::Reply, 1});
    const int64_t start = ping.now;
    const CheckRun r = RunCheck(ping);
    EXPECT_TRUE(r.result);
    EXPECT_EQ(r.ping_res, Ping_Data);
    ASSERT_EQ(ping.sendTimes.size(), 2u);
    EXPECT_EQ(ping.now - start, 55);
    EXPECT_EQ(ping.addresses[1], kDevice);
    EXPECT_EQ(ping.payloads[0], QByteArray("192.168.2.205"));
    EXPECT_GT(ping.idles, 0) << "the window got no chance to paint while waiting";
}

TEST(EchoCheck, AReplyThenSilenceTriesUntilTheTimeIsUp)
{
    ScriptedPing ping({{Try::Reply, 5}}, {Try::Silent});
    const int64_t start = ping.now;
    const CheckRun r = RunCheck(ping);
    EXPECT_FALSE(r.result);
    EXPECT_EQ(r.ping_res, Ping_No_Data); // the dialog shows "Device Not Found!"
    ASSERT_GE(ping.sendTimes.size(), 3u);
    // Each silent try waits its 400 ms (give or take one slice), then the next follows.
    for (size_t i = 2; i < ping.sendTimes.size(); ++i) {
        const int64_t gap = ping.sendTimes[i] - ping.sendTimes[i - 1];
        EXPECT_GT(gap, Ping_Receive_Timeout) << "try " << i;
        EXPECT_LE(gap, Ping_Receive_Timeout + Ping_Idle_Slice) << "try " << i;
    }
    // The last try began within the 5000 ms; the check ended after them.
    EXPECT_LE(ping.sendTimes.back() - start, Ping_Total_Time);
    EXPECT_GT(ping.now - start, Ping_Total_Time);
    EXPECT_LE(ping.now - start, Ping_Total_Time + Ping_Receive_Timeout + Ping_Idle_Slice);
}

TEST(EchoCheck, OutcomesOfScriptedDevices)
{
    struct Case {
        const char* name;
        std::deque<Try> script;
        Try rest;
        bool result;
        int32_t ping_res;
        size_t sends; // 0: not checked
    };
    const Case cases[] = {
        {"never answers", {}, {Try::Silent}, false, Ping_No_Data, 0},
        {"reply just inside the time-out", {{Try::Reply, 395}, {Try::Reply, 400}}, {Try::Silent}, true, Ping_Data, 2},
        {"reply after the time-out is none", {{Try::Reply, 450}}, {Try::Silent}, false, Ping_No_Data, 0},
        {"a reply without data", {{Try::Reply, 5, 0}}, {Try::Silent}, false, Ping_No_Data, 0},
        {"silent twice, then two replies", {{Try::Silent}, {Try::Silent}, {Try::Reply, 5}}, {Try::Reply, 5}, true,
         Ping_Data, 4},
        {"send fails at once", {{Try::SendError}}, {Try::Reply, 5}, false, Ping_None, 1},
        {"receive fails after a reply", {{Try::Reply, 5}, {Try::WaitError}}, {Try::Reply, 5}, false, Ping_Data, 2},
        {"send fails after a time-out", {{Try::Silent}, {Try::SendError}}, {Try::Reply, 5}, false, Ping_No_Data, 2},
    };
    for (const Case& c : cases) {
        ScriptedPing ping(c.script, c.rest);
        const CheckRun r = RunCheck(ping);
        EXPECT_EQ(r.result, c.result) << c.name;
        EXPECT_EQ(r.ping_res, c.ping_res) << c.name;
        if (c.sends) {
            EXPECT_EQ(ping.sendTimes.size(), c.sends) << c.name;
        }
    }
}

TEST(EchoCheck, TheLastReplyDecides)
{
    // Silent until the last try, which gets a reply with data: success with one reply.
    ScriptedPing probe({}, {Try::Silent});
    RunCheck(probe);
    const size_t tries = probe.sendTimes.size();
    ASSERT_GT(tries, 2u);

    std::deque<Try> lastAnswers(tries - 1, Try{Try::Silent});
    lastAnswers.push_back({Try::Reply, 395}); // late enough that no further try follows
    ScriptedPing ping(lastAnswers, {Try::Silent});
    const CheckRun r = RunCheck(ping);
    EXPECT_TRUE(r.result);
    EXPECT_EQ(r.ping_res, Ping_Data);
    EXPECT_EQ(ping.sendTimes.size(), tries);
}

TEST(EchoCheck, NoIcmpSocketPassesToTheCaller)
{
    ScriptedPing ping({{Try::Unavailable}}, {Try::Silent});
    int32_t ping_res = 0;
    EXPECT_THROW(Run_Echo_Check(ping, kDevice, "x", ping.Clock(), ping_res), EIcmpUnavailable);
}

TEST(EchoCheck, AddressRule)
{
    struct Case {
        const char* a;
        const char* b;
        const char* c;
        const char* d;
        const char* address; // nullptr: no address
    };
    const Case cases[] = {
        {"192", "168", "2", "205", "192.168.2.205"},
        {" 10 ", "\t0", "0 ", "1", "10.0.0.1"},
        {"0", "0", "0", "0", "0.0.0.0"},
        {"255", "255", "255", "255", "255.255.255.255"},
        {"010", "0001", "00", "7", "10.1.0.7"},
        {"192", "168", "1", "300", nullptr},
        {"256", "1", "1", "1", nullptr},
        {"", "1", "1", "1", nullptr},
        {"1", " ", "1", "1", nullptr},
        {"0x1", "1", "1", "1", nullptr},
        {"$1", "1", "1", "1", nullptr},
        {"+1", "1", "1", "1", nullptr},
        {"-1", "1", "1", "1", nullptr},
        {"1 2", "1", "1", "1", nullptr},
        {"1.2", "1", "1", "1", nullptr},
        {"gateway", "1", "1", "1", nullptr},
        {"99999999999999999999", "1", "1", "1", nullptr},
        {"\xd9\xa1", "1", "1", "1", nullptr}, // a digit of another script
    };
    for (const Case& c : cases) {
        const std::optional<uint32_t> a = Octets_To_Address(QString::fromUtf8(c.a), QString::fromUtf8(c.b),
                                                            QString::fromUtf8(c.c), QString::fromUtf8(c.d));
        if (c.address) {
            ASSERT_TRUE(a.has_value()) << c.a << "." << c.b << "." << c.c << "." << c.d;
            EXPECT_EQ(Ipv4Text(*a), QString::fromLatin1(c.address));
        } else {
            EXPECT_FALSE(a.has_value()) << c.a << "." << c.b << "." << c.c << "." << c.d;
        }
    }
}

// ---- update job file ----------------------------------------------------------------

namespace {

// The document flattened to "path=text" entries in document order, read with
// Qt's own stream reader.
QStringList Flatten(const QByteArray& bytes)
{
    QStringList out;
    QStringList path;
    QString text;
    QXmlStreamReader r(bytes);
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::StartElement:
            if (!path.isEmpty() && !text.trimmed().isEmpty()) ADD_FAILURE() << "mixed content at " << path.join('/').toStdString();
            path << r.name().toString();
            text.clear();
            out << path.join('/') + "=";
            break;
        case QXmlStreamReader::Characters:
            text += r.text();
            break;
        case QXmlStreamReader::EndElement:
            if (out.last().startsWith(path.join('/') + "=")) out.last() += text;
            path.removeLast();
            text.clear();
            break;
        default:
            break;
        }
    }
    EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
    return out;
}

// The flash steps, column by column.
enum Step { Firmware, General, Tables };

QStringList Operation(Step s, bool readBack, bool firmwareOnly)
{
    const QString base = "Ethernet_Update/Operations/Operation/";
    const char* fileName[] = {"/opt/kr/MASTER/Sim52R08.sim", "/tmp/p q/My Project/bin/bank1.bin",
                              "/tmp/p q/My Project/bin/bank2.bin"};
    const char* start[] = {"0x8000", "0x07000", "0x80000"};
    const char* bank[] = {"1", "2", "2"};
    const char* css[] = {"1", "0", "0"};
    const char* toApp[] = {firmwareOnly ? "1" : "0", "0", "1"};
    QStringList e = {"Ope_Protection_Enabled=", "Ope_GoToBoot_Before=0", "Ope_GoToApp_Before=0", "Ope_IP_Address=",
                     "Ope_Port=2008", "Ope_Port_Sec=2007", "Ope_Erase_Memory=0",
                     QString("Ope_FileName=") + fileName[s], QString("Ope_Start_Address=") + start[s],
                     "Ope_Memory_Type=0", QString("Ope_Bank_Type=") + bank[s],
                     QString("Ope_Read_Back=") + (readBack ? "1" : "0"), QString("Ope_Write_CSS=") + css[s],
                     "Ope_Address_CSS=0x07A00", "Ope_Command_CSS=0x02", "Ope_Write_Internal_Data=0",
                     "Ope_WID_Address=0x07810", "Ope_WID_Command=0x02", "Ope_WID_Data=0x00, 0x00, 0x00, 0x01",
                     QString("Ope_GoToApp_After=") + toApp[s]};
    for (QString& x : e) x.prepend(base);
    e.prepend("Ethernet_Update/Operations/Operation=");
    return e;
}

} // namespace

TEST(UpdateJob, ElementsForEachOptionAndReadBack)
{
    const QStringList head = {
        "Ethernet_Update=",
        "Ethernet_Update/Version=1000",
        "Ethernet_Update/Title=TolvexCorp - KR52R08 Ethernet Update",
        "Ethernet_Update/IP_Address_Dev=192.168.2.205",
        "Ethernet_Update/Application_Port=10000",
        "Ethernet_Update/Boot_Port=2008",
        "Ethernet_Update/Boot_Port_Sec=2007",
        "Ethernet_Update/Address_Protection=0x07800",
        "Ethernet_Update/Protections=",
        "Ethernet_Update/Protections/Protection=0x2D7",
        "Ethernet_Update/Operations=",
    };
    struct Case {
        int32_t option;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {Update_Firmware_Configuration, {Firmware, General, Tables}},
        {Update_Firmware, {Firmware}},
        {Update_Configuration, {General, Tables}},
        {-1, {}},
    };
    TXMLDocument xml;
    xml.AddRoot("Left_Over"); // the document is emptied first
    for (const Case& c : cases) {
        for (bool readBack : {true, false}) {
            TUpdate_Job job;
            job.IP_Address = "192.168.2.205";
            job.Option_Index = c.option;
            job.Read_Back = readBack;
            job.Master_Path = "/opt/kr/MASTER";
            job.Project_Path = "/tmp/p q/My Project";
            Build_Update_Job(xml, job);
            QStringList expected = head;
            for (Step s : c.steps) expected += Operation(s, readBack, c.option == Update_Firmware);
            const QStringList actual = Flatten(xml.SaveToBytes());
            ASSERT_EQ(actual.size(), expected.size()) << "option " << c.option << " read back " << readBack;
            for (int i = 0; i < expected.size(); ++i)
                EXPECT_EQ(actual[i], expected[i]) << "option " << c.option << " read back " << readBack << " entry " << i;
        }
    }
}
