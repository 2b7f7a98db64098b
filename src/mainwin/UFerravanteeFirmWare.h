#pragma once
// The main window: a column of numbered steps with one push button each, the
// icon buttons for information, options and closing, the identity labels,
// the box naming the open configuration, the new-version link and the
// maker's web address. Every button runs Btn_Click, the dispatcher of the
// whole user interface.
#include "app/UComon.h"
#include "platform/Forms.h"
#include "platform/XmlDoc.h"

#include <QString>
#include <cstdint>
#include <vector>

class QLabel;
class QTimer;
class QWidget;
class TPbButton;

class TFFerravanteeFirmWare : public TForm {
    Q_OBJECT
public:
    // The start-up sequence of the program's state (folders, settings, texts,
    // last configuration, project file paths).
    explicit TFFerravanteeFirmWare(QWidget* parent = nullptr);
    ~TFFerravanteeFirmWare() override;

    void Set_Lang() override;
    // The dispatcher of every button of the window.
    void Btn_Click(TPbButton* Sender);
    void Create_New_Project();
    void Open_Project();
    void Set_Files();
    void Save_Setting();
    // Builds the configuration images and opens the update dialog.
    void Update_Device();
    // One tick of the version check.
    void Timer_UpdateTimer();
    // Re-texts every window that exists.
    void Change_Language();
    // Starts an outside program from the executable's folder and waits for
    // its end (at most 150 s); says whether it could be started.
    TStartResult Start_Program(const QString& NomeSW, const QString& Parameter, uint8_t tipo);
    // Shutdown: stops the version check and writes the settings file; a file
    // that cannot be written is reported, and the program ends all the same.
    void FormClose();
    void LL_UpdateLinkClick(const QString& Link);
    void L_TolvexClick();
    // BACnet_Type of the parameter file, 0 when it is missing or no integer.
    int32_t Get_Type_BACnet();

    // Enables or disables the version-check timer; enabling a running timer
    // keeps its current count.
    void Set_Timer_Update(bool enabled);
    bool Timer_Update_Enabled() const;
    int Timer_Update_Interval() const;

    // Shows the two configuration lines for the current state.
    void Show_Configuration_Lines();

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* LL_Update = nullptr;
    TPbButton* Btn_Info = nullptr;
    TPbButton* Btn_Opz = nullptr;
    TPbButton* Btn_Close = nullptr;
    QLabel* L_Name_Conf = nullptr;
    QLabel* L_Name_Conf_L2 = nullptr;
    QWidget* Shape2 = nullptr;
    QLabel* L_Begin = nullptr;
    QLabel* L_Step[8] = {};  // L_Step_1 .. L_Step_8
    QWidget* Shape1 = nullptr;
    QLabel* L_Tolvex = nullptr;

    TPbButton* Btn_New = nullptr;
    TPbButton* Btn_Open = nullptr;
    TPbButton* Btn_Prm_Gen = nullptr;
    TPbButton* Btn_LoRaWAN_Access = nullptr;
    TPbButton* Btn_CAN_Rec_Frame = nullptr;
    TPbButton* Btn_CAN_Send_Frame = nullptr;
    TPbButton* Btn_CreateBin = nullptr;
    TPbButton* Btn_Modbus_Set_Access = nullptr;
    TPbButton* Btn_BACnet_SetAccess = nullptr;
    TPbButton* Btn_BACnet_EDE_File = nullptr;
    TPbButton* Btn_SDO_Server_CANopen = nullptr;
    TPbButton* Btn_SDO_Client_CANopen = nullptr;
    TPbButton* Btn_PDO_CANopen = nullptr;
    TPbButton* Btn_CANopen_EDS = nullptr;
    TPbButton* Btn_DNet_Net = nullptr;
    TPbButton* Btn_DNet_Offset = nullptr;
    TPbButton* Btn_DMX_Default = nullptr;
    TPbButton* Btn_IEC61850_Client = nullptr;
    TPbButton* Btn_IEC61850_Access = nullptr;
    TPbButton* Btn_TLS_List_Certificates = nullptr;
    TPbButton* Btn_MQTT_Set_Topic = nullptr;
    TPbButton* Btn_OPC_UA_Client_Access = nullptr;
    TPbButton* Btn_OPC_UA_Server_Access = nullptr;
    TPbButton* Btn_SNMP_Manager_Access = nullptr;
    TPbButton* Btn_SNMP_Trap = nullptr;
    TPbButton* Btn_SNMP_MIB = nullptr;
    TPbButton* Btn_PROFINET_XML = nullptr;
    TPbButton* Btn_EtherNetIP_Access = nullptr;
    TPbButton* Btn_S7_Protocol_Access = nullptr;
    TPbButton* Btn_KNX_Access = nullptr;
    TPbButton* Btn_PROFIBUS_GSD = nullptr;

    // All 34 buttons of the window, the three icon buttons first.
    std::vector<TPbButton*> Buttons() const;

    QTimer* Timer_Update = nullptr;
    TXMLDocument XML1;

protected:
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Create_Components();
    void Layout_Variant();
    // The window a step button opens, by its class name; empty for the
    // buttons with an action of their own.
    const char* Step_Window(const TPbButton* button) const;
};
