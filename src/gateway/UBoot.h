#pragma once
// The device update dialog: the echo check of the device address, the update
// job file Ethernet_Update.xml and the start of the outside updater.
#include "platform/Forms.h"
#include "platform/Icmp.h"
#include "platform/XmlDoc.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class TPbButton;

// ---- address ---------------------------------------------------------------
// The address of four octet texts: each, trimmed of blanks, must be decimal
// digits with a value 0..255. Anything else (empty, a sign, hexadecimal, a
// name) is no address. The result is in host byte order.
std::optional<uint32_t> Octets_To_Address(const QString& a, const QString& b, const QString& c, const QString& d);

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

// ---- the dialog --------------------------------------------------------------------
// Form_Type values.
inline constexpr int32_t Boot_Serial = 0;
inline constexpr int32_t Boot_Ethernet = 1;
inline constexpr int32_t Boot_USB = 2;

class TExtColumnGrid;

class TFBoot : public TForm {
    Q_OBJECT
public:
    explicit TFBoot(QWidget* parent = nullptr);
    ~TFBoot() override;

    int32_t Form_Type = Boot_Ethernet;
    int32_t ping_res = Ping_None;
    int32_t BACnetType = 0; // not used by this dialog

    void Set_Lang() override;
    // The echo check of the address in the four octet edits; true when the
    // device answered. An address that is not four decimal octets sends
    // nothing and gives false.
    bool Send_Ping();
    // Writes the update job file Exe_Path/Ethernet_Update.xml from the stored
    // address and options. Throws EFileError when it cannot be written.
    void Compile_XML_Parameter_New_Boot();
    void Btn_UpdateClick();
    void Btn_COM_ListClick();
    // Loads ParGen.xml into XML1 when it exists; always 0.
    int32_t Get_Type_Dev();

    // True while a check or an update runs.
    bool Busy() const { return m_busy; }

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QWidget* P_IP_Address = nullptr;
    QLabel* L_IP_Address = nullptr;
    QLineEdit* E_IP1 = nullptr;
    QLineEdit* E_IP2 = nullptr;
    QLineEdit* E_IP3 = nullptr;
    QLineEdit* E_IP4 = nullptr;
    QWidget* P_Options = nullptr;
    QLabel* L_Update_Option = nullptr;
    QComboBox* CB_Update_Options = nullptr;
    QCheckBox* CB_Update_Option_Read_Back = nullptr;
    QWidget* P_Serial = nullptr;
    QLabel* L_COM_Port = nullptr;
    QComboBox* CB_COM_Port = nullptr;
    TPbButton* Btn_COM_List = nullptr;
    QWidget* P_Eth_Search = nullptr;
    QLabel* L_List_Device = nullptr;
    TPbButton* Btn_Search = nullptr;
    QCheckBox* CB_Find_All_TVX = nullptr;
    // The devices found on the network (IP and MAC address); never filled.
    TExtColumnGrid& ACG_List_Devices() { return *m_listDevices; }
    QWidget* P_Button = nullptr;
    TPbButton* Btn_Cancel = nullptr;
    TPbButton* Btn_Update = nullptr;

    // The echo client (an IcmpClient made at the first check unless one was
    // set) and the clock of the check (the system's unless one was set).
    std::unique_ptr<IcmpEchoTransport> Ping;
    TEcho_Clock Ping_Clock;
    TXMLDocument XML1;

protected:
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<TExtColumnGrid> m_listDevices;
    class Busy_Scope;
    void Stack_Panels(std::initializer_list<QWidget*> shown);
    void Fill_COM_Ports();
    void Update_Ethernet();

    bool m_busy = false;
    QString m_checked_address; // canonical text of the address the last check used
};
