#pragma once
// The device update dialog: the echo check of the device address, the update
// job file Ethernet_Update.xml and the start of the outside updater.
#include "platform/Icmp.h"
#include "platform/XmlDoc.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

// ---- address ---------------------------------------------------------------
// The address of four octet texts: each, trimmed of blanks, must be decimal
// digits with a value 0..255. Anything else (empty, a sign, hexadecimal, a
// name) is no address. The result is in host byte order.
std::optional<uint32_t> Octets_To_Address(const QString& a, const QString& b, const QString& c, const QString& d);
// The canonical dotted text of an address ("192.168.2.205").
QString Address_To_Text(uint32_t address);

// ---- echo check ------------------------------------------------------------
inline constexpr int Ping_Receive_Timeout = 400;  // ms one try waits for its reply
inline constexpr int Ping_Total_Time = 5000;      // ms after which no new try starts
inline constexpr int Ping_Idle_Slice = 10;        // ms between looks at the window's messages

// ping_res values: the status of the last try.
inline constexpr int32_t Ping_None = 0;      // no try has ended yet
inline constexpr int32_t Ping_Data = 1;      // the reply carried data
inline constexpr int32_t Ping_No_Data = 2;   // no data: the try timed out

// Time and waiting for the check. Now gives a tick count in milliseconds;
// Process_Messages lets the window do its pending work (paint) between the
// slices of a wait.
struct TEcho_Clock {
    std::function<int64_t()> Now;
    std::function<void()> Process_Messages;
};

// The steady clock of the system, processing the application's pending events.
TEcho_Clock System_Echo_Clock();

// The echo check. One request per try carrying `data`; a try waits for its
// reply at most Ping_Receive_Timeout ms, looking at the window's messages every
// Ping_Idle_Slice ms; a reply with data sets ping_res to Ping_Data, a reply
// without data or a time-out to Ping_No_Data. The check ends after two replies
// with data, or when a try ends more than Ping_Total_Time ms after the first
// began. True when the last try got a reply with data. A failed send or
// receive ends the check with false and leaves ping_res as the last try left
// it; EIcmpUnavailable (no ICMP socket allowed at all) passes to the caller.
bool Run_Echo_Check(IcmpEchoTransport& ping, uint32_t address, const QByteArray& data, const TEcho_Clock& clock,
                    int32_t& ping_res);

// ---- update job file ---------------------------------------------------------
inline const QString Update_Job_File_Name = QStringLiteral("Ethernet_Update.xml");
inline const QString Updater_File_Name = QStringLiteral("Ethernet_Update.exe");
inline const QString Firmware_File_Name = QStringLiteral("Sim52R08.sim");

// Items of the update option list.
inline constexpr int32_t Update_Firmware_Configuration = 0;
inline constexpr int32_t Update_Firmware = 1;
inline constexpr int32_t Update_Configuration = 2;

// What one update job holds.
struct TUpdate_Job {
    QString IP_Address;        // dotted device address
    int32_t Option_Index = -1; // item of the option list; -1: none
    bool Read_Back = true;
    QString Master_Path;       // folder of the firmware image
    QString Project_Path;      // folder of the configuration (with bin/bank1.bin, bin/bank2.bin)
};

// Empties `xml` and fills it with the job: root Ethernet_Update with its fixed
// elements and one Operation per flash step of the option.
void Build_Update_Job(TXMLDocument& xml, const TUpdate_Job& job);
