#include "gateway/UBoot.h"

#include "platform/Files.h"
#include "platform/SysUtils.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>

// ---- address -------------------------------------------------------------------

std::optional<uint32_t> Octets_To_Address(const QString& a, const QString& b, const QString& c, const QString& d)
{
    uint32_t address = 0;
    for (const QString* part : {&a, &b, &c, &d}) {
        const QString text = Trim(*part);
        if (text.isEmpty()) return std::nullopt;
        uint32_t value = 0;
        for (QChar ch : text) {
            if (ch < QLatin1Char('0') || ch > QLatin1Char('9')) return std::nullopt;
            value = value * 10 + uint32_t(ch.unicode() - '0');
            if (value > 255) return std::nullopt;
        }
        address = address << 8 | value;
    }
    return address;
}

QString Address_To_Text(uint32_t address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((address >> 24) & 0xFF)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

// ---- echo check ------------------------------------------------------------------

TEcho_Clock System_Echo_Clock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return {[timer] { return int64_t(timer->elapsed()); }, [] { QCoreApplication::processEvents(); }};
}

bool Run_Echo_Check(IcmpEchoTransport& ping, uint32_t address, const QByteArray& data, const TEcho_Clock& clock,
                    int32_t& ping_res)
{
    ping_res = Ping_None;
    const int64_t start = clock.Now();
    int good = 0;
    try {
        for (;;) {
            const int64_t t = clock.Now();
            ping.SendEcho(address, data);
            // Wait for the reply in slices, letting the window paint between them.
            for (;;) {
                if (clock.Now() - t > Ping_Receive_Timeout) {
                    ping_res = Ping_No_Data;
                    break;
                }
                const int size = ping.WaitReply(Ping_Idle_Slice);
                if (size >= 0) {
                    ping_res = size > 0 ? Ping_Data : Ping_No_Data;
                    break;
                }
                clock.Process_Messages();
            }
            if (ping_res == Ping_Data && ++good >= 2) break;
            if (clock.Now() - start > Ping_Total_Time) break;
        }
    } catch (const EIcmpUnavailable&) {
        throw;
    } catch (const EIcmpError&) {
        return false;
    }
    return ping_res == Ping_Data;
}

// ---- update job file -------------------------------------------------------------

namespace {

// One flash step of the job.
struct Flash_Step {
    QString File_Name;
    const char* Start_Address;
    const char* Bank_Type;
    const char* Write_CSS;
    const char* GoToApp_After;
};

void Add_Operation(XmlNode& operations, const Flash_Step& step, bool readBack)
{
    XmlNode op = operations.AddChild(QStringLiteral("Operation"));
    op.AddChild(QStringLiteral("Ope_Protection_Enabled"), QString());
    op.AddChild(QStringLiteral("Ope_GoToBoot_Before"), QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_GoToApp_Before"), QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_IP_Address"), QString());
    op.AddChild(QStringLiteral("Ope_Port"), QStringLiteral("2008"));
    op.AddChild(QStringLiteral("Ope_Port_Sec"), QStringLiteral("2007"));
    op.AddChild(QStringLiteral("Ope_Erase_Memory"), QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_FileName"), step.File_Name);
    op.AddChild(QStringLiteral("Ope_Start_Address"), QString::fromLatin1(step.Start_Address));
    op.AddChild(QStringLiteral("Ope_Memory_Type"), QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_Bank_Type"), QString::fromLatin1(step.Bank_Type));
    op.AddChild(QStringLiteral("Ope_Read_Back"), readBack ? QStringLiteral("1") : QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_Write_CSS"), QString::fromLatin1(step.Write_CSS));
    op.AddChild(QStringLiteral("Ope_Address_CSS"), QStringLiteral("0x07A00"));
    op.AddChild(QStringLiteral("Ope_Command_CSS"), QStringLiteral("0x02"));
    op.AddChild(QStringLiteral("Ope_Write_Internal_Data"), QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_WID_Address"), QStringLiteral("0x07810"));
    op.AddChild(QStringLiteral("Ope_WID_Command"), QStringLiteral("0x02"));
    op.AddChild(QStringLiteral("Ope_WID_Data"), QStringLiteral("0x00, 0x00, 0x00, 0x01"));
    op.AddChild(QStringLiteral("Ope_GoToApp_After"), QString::fromLatin1(step.GoToApp_After));
}

} // namespace

void Build_Update_Job(TXMLDocument& xml, const TUpdate_Job& job)
{
    xml.Clear();
    XmlNode root = xml.AddRoot(QStringLiteral("Ethernet_Update"));
    root.AddChild(QStringLiteral("Version"), QStringLiteral("1000"));
    root.AddChild(QStringLiteral("Title"), QStringLiteral("TolvexCorp - KR52R08 Ethernet Update"));
    root.AddChild(QStringLiteral("IP_Address_Dev"), job.IP_Address);
    root.AddChild(QStringLiteral("Application_Port"), QStringLiteral("10000"));
    root.AddChild(QStringLiteral("Boot_Port"), QStringLiteral("2008"));
    root.AddChild(QStringLiteral("Boot_Port_Sec"), QStringLiteral("2007"));
    root.AddChild(QStringLiteral("Address_Protection"), QStringLiteral("0x07800"));
    XmlNode protections = root.AddChild(QStringLiteral("Protections"));
    protections.AddChild(QStringLiteral("Protection"), QStringLiteral("0x2D7"));
    XmlNode operations = root.AddChild(QStringLiteral("Operations"));

    const bool firmwareOnly = job.Option_Index == Update_Firmware;
    const Flash_Step firmware{PathJoin(job.Master_Path, Firmware_File_Name), "0x8000", "1", "1",
                              firmwareOnly ? "1" : "0"};
    const Flash_Step general{PathJoin(job.Project_Path, QStringLiteral("bin"), QStringLiteral("bank1.bin")),
                             "0x07000", "2", "0", "0"};
    const Flash_Step tables{PathJoin(job.Project_Path, QStringLiteral("bin"), QStringLiteral("bank2.bin")),
                            "0x80000", "2", "0", "1"};
    switch (job.Option_Index) {
    case Update_Firmware_Configuration:
        Add_Operation(operations, firmware, job.Read_Back);
        Add_Operation(operations, general, job.Read_Back);
        Add_Operation(operations, tables, job.Read_Back);
        break;
    case Update_Firmware:
        Add_Operation(operations, firmware, job.Read_Back);
        break;
    case Update_Configuration:
        Add_Operation(operations, general, job.Read_Back);
        Add_Operation(operations, tables, job.Read_Back);
        break;
    default:
        break; // no option chosen: no flash step
    }
}
