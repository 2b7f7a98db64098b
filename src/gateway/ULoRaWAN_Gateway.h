#pragma once
// The LoRaWAN gateway editor: up to 1000 LoRaWAN end devices (EUIs, keys,
// activation, class) and, per device, the uplink and downlink rules that move
// payload bytes to and from the gateway's exchange memory, kept in
// LoRaWAN_Gateway.xml. The file's three tables are described by table
// definitions (UTableFile.h); the device objects own their rules and are
// mirrored into the grids: the device grid (a string grid whose Enable cells
// carry real check boxes) shows every device, the two rule grids (column
// grids) the rules of one device.
#include "app/UTableEditor.h"
#include "controls/ExtObjSettings.h"
#include "grid/ExtCGrid.h"

#include <QStringList>
#include <memory>
#include <vector>

class QSplitter;
class QTabWidget;
class TXMLDocument;

// One rule; an uplink rule uses the test fields, a downlink rule the send
// options. Texts are kept exactly as typed.
class TRuleLoRa {
    KR_FIELD_PROP(bool, Enable, true)
    KR_FIELD_PROP(QString, Port, QString())
    KR_FIELD_PROP(QString, StartTest, QString())
    KR_FIELD_PROP(QString, LenTest, QString())
    KR_FIELD_PROP(bool, HexTest, false)
    KR_FIELD_PROP(QString, ValueTest, QString())
    KR_FIELD_PROP(QString, StartBit, QString())
    KR_FIELD_PROP(QString, NumBits, QString())
    KR_FIELD_PROP(bool, OnChange, false)
    KR_FIELD_PROP(bool, OnCMD, false)
    KR_FIELD_PROP(bool, OnTimer, false)
    KR_FIELD_PROP(QString, Time, QString())
    KR_FIELD_PROP(QString, PosBit, QString())
    KR_FIELD_PROP(QString, Mnemonic, QString())
};

using TRuleList = std::vector<std::unique_ptr<TRuleLoRa>>;

// One end device with its two rule lists.
class TDeviceLoRa {
    KR_FIELD_PROP(bool, Enable, true)
    KR_FIELD_PROP(QString, DeviceEUI, QString())
    KR_FIELD_PROP(QString, JoinEUI, QString())
    KR_FIELD_PROP(QString, DeviceName, QString())
    KR_FIELD_PROP(QString, ActMethod, QString())
    KR_FIELD_PROP(QString, NetSessKey, QString())
    KR_FIELD_PROP(QString, AppSessKey, QString())
    KR_FIELD_PROP(QString, AppKey, QString())
    KR_FIELD_PROP(QString, DevAdd, QString())
    KR_FIELD_PROP(QString, ClassLoRa, QString())
    KR_FIELD_PROP(QString, DiagTimeOut, QString())
    KR_FIELD_PROP(QString, RX2Datarate, QString())
    KR_FIELD_PROP(QString, Mnemonic, QString())
public:
    TDeviceLoRa() = default;
    TDeviceLoRa(const TDeviceLoRa&) = delete;
    TDeviceLoRa& operator=(const TDeviceLoRa&) = delete;
    // Frees the rules of both lists, the last first.
    ~TDeviceLoRa();
    // Enabled, every text empty, no rules.
    void Clear();

    TRuleList UpLinkRules;
    TRuleList DownLinkRules;
};

using TDeviceList = std::vector<std::unique_ptr<TDeviceLoRa>>;

// The number of devices the editor keeps and of rules of one kind it shows.
inline constexpr int LoRaWAN_Max_Devices = 1000;
inline constexpr int LoRaWAN_Max_Rules = 1024;
// The activation method that makes the application key the one in use.
inline const QString LoRaWAN_OTAA = QStringLiteral("Over-the-Air Activation [OTAA]");
inline const QString LoRaWAN_ABP = QStringLiteral("Activation by Personalization [ABP]");

// The three tables: attribute names in writing order, headers, widths,
// colours and editors of grid columns 1 ..
const TTableDef& LoRaWAN_Device_Table();
const TTableDef& LoRaWAN_Uplink_Table();
const TTableDef& LoRaWAN_Downlink_Table();

// Objects and table rows (flags are "Y"/"N"; a flag cell is true when,
// trimmed and upper-cased, it is "Y").
TTableRow Device_To_Row(const TDeviceLoRa& d);
void Row_To_Device(const TTableRow& row, TDeviceLoRa& d);
TTableRow Uplink_To_Row(const TRuleLoRa& r);
TTableRow Downlink_To_Row(const TRuleLoRa& r);
std::unique_ptr<TRuleLoRa> Row_To_Uplink(const TTableRow& row);
std::unique_ptr<TRuleLoRa> Row_To_Downlink(const TTableRow& row);

// The RX2 data-rate items of an RF band (the BW500 ones for "US915" exactly).
QStringList RX2_Items(const QString& band);

// What loading found wrong with the file (device numbers from 1).
struct TLoRaWAN_Load_Report {
    int Devices_Read = 0;
    QList<int> Incomplete;    // devices read only in part
    bool Too_Many_Devices = false;
    QList<int> Too_Many_Rules; // devices with more rules of one kind than shown
    // The messages to show, one per finding.
    QStringList Messages() const;
};

// Reads a loaded LoRaWAN_Gateway.xml into the devices (which the caller has
// cleared), each attribute on its own guard: a missing part marks its device
// incomplete and the reading goes on.
TLoRaWAN_Load_Report LoRaWAN_Read(const TXMLDocument& doc, TDeviceList& devices);
// The file as it is written: the devices up to the first one with an empty
// DeviceEUI, their rules up to the first rule with an empty key; EUIs, keys
// and device addresses trimmed.
QByteArray LoRaWAN_ToBytes(const TDeviceList& devices);

// 0 when the text, trimmed and upper-cased, has `len` hex digits; 1 when its
// length differs; 2 when a character is no hex digit.
int CheckStringHex(const QString& text, int len);
// The check of OK: the first failure's message, empty when the devices may
// be written. In end-node mode only the rules of device 1 are looked at.
QString LoRaWAN_Check(const TDeviceList& devices, bool modeMaster);

class TFLoRaWAN_Gateway : public TForm, public TEditorButtons {
    // The grids, made before the names below refer to them.
    std::unique_ptr<TExtStringGrid> m_devices;
    std::unique_ptr<TExtColumnGrid> m_uplink;
    std::unique_ptr<TExtColumnGrid> m_downlink;

public:
    explicit TFLoRaWAN_Gateway(QWidget* parent = nullptr);
    ~TFLoRaWAN_Gateway() override;

    void Set_Lang() override;
    void Init_Table();
    bool Is_a_Master() const;
    void Clear_Rules_List();
    void Clear_Devices_Table();
    void Clear_Rules_Tables();
    void Load_Configuration();
    void Show_Data_Devices_Table();
    // The rules of the current device into the rule grids.
    void Show_Rules_Data();
    void Grid_Enter(TCustomGrid* grid);
    void Grid_Exit(TCustomGrid* grid);
    void Save_Device_List();
    void Save_UpLink_Rules_List();
    void Save_DownLink_Rules_List();
    // The activation rule of a device row: OTAA makes the session keys
    // read-only, anything else the application key.
    void Apply_Activation(int row, const QString& method);
    // The pick list of a device cell: activation, class and RX2 columns.
    void ESG_LoRaWAN_Device_ListGetEditorType(TExtStringGrid* sender, int col, TEditorType& editor, int row);
    // A pick-list choice: the activation rule for that row.
    void ESG_LoRaWAN_Device_ListComboChange(TExtStringGrid* sender, int col, const QString& value, int index, int row);
    void Delete_Device_From_List(int index);
    bool Check_Data();
    // Writes the file; false (reported) when it cannot.
    bool Save_Configuration();

    void Btn_OKClick() override;
    void Btn_DelRowClick() override;
    void Btn_InsRowClick() override;
    void Btn_CopyRowClick() override;
    void Btn_PasteRowClick() override;

    // The device shown in the rule grids (index into DeviceList).
    int Current_Device() const;

    TDeviceList DeviceList;
    bool ModeMaster = true;
    int32_t Last_Grid = 0;
    bool DoCopy_Dev = false;
    bool DoCopy_Up = false;
    bool DoCopy_Down = false;
    QStringList Act_Meth_SL;
    QStringList Class_SL;
    QStringList RX2_SL;
    QStringList Hint_Dev;
    QStringList Hint_Uplink;
    QStringList Hint_Downlink;

    TExtStringGrid& ESG_LoRaWAN_Device_List;
    TExtColumnGrid& ACG_LoRaWAN_Uplink;
    TExtColumnGrid& ACG_LoRaWAN_Downlink;

    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* PLoRaWAN_Device_List = nullptr;
    QLabel* LLoRaWAN_Device_List_Title = nullptr;
    QWidget* PLoRaWAN_Rules_List = nullptr;
    QLabel* LLoRaWAN_Rules_List_Title = nullptr;
    QTabWidget* PC_LoRaWAN_Device_Rules_List = nullptr;
    QWidget* TS_LoRaWAN_Uplink_Rules_List = nullptr;
    QWidget* TS_LoRaWAN_Downlink_Rules_List = nullptr;

protected:
    void FormShow() override;

private:
    // The rule grids into the device they show; then nothing is shown.
    void Store_Shown_Rules();
    void Show_Rules_Of(TDeviceLoRa* device);
    void Apply_Activation_All();
    void Set_Tabs();
    // The device grid's column titles.
    void Set_Device_Headers();
    // A device row as a table row (column 1 from its box) and back.
    TTableRow Device_Grid_Row(int row);
    void Set_Device_Grid_Row(int row, const TTableRow& cells);
    // Every cell of a device row editable again.
    void Free_Device_Row(int row);
    // The grid the row buttons act on: 0 the device grid, 1 uplink, 2 downlink.
    TExtStringGrid* Grid_Of(int32_t which) const;
    TExtColumnGrid* Rule_Grid(int32_t which) const;

    // The device whose rules the rule grids show (null: none).
    TDeviceLoRa* m_shown = nullptr;
};
