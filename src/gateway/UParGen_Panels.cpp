// The panels of the parameter editor described as tables of rows, the texts
// the text routine gives them, and the layout routines: which panels a
// variant of the gateway family shows, in which order, and where each row
// stands, shows and is enabled.
#include "gateway/UParGen.h"

#include "app/UComon.h"
#include "platform/Exception.h"

// The row tables name only the fields that differ from a row's defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using K = TRowKind;
namespace G = ParGen_Geometry;

QStringList Range(int from, int to)
{
    QStringList l;
    for (int i = from; i <= to; ++i) l << QString::number(i);
    return l;
}

const QStringList Serial_Bauds{"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
const QStringList BACnet_Bauds{"9600", "19200", "38400", "57600", "76800", "115200"};
const QStringList Parities{"NONE", "ODD", "EVEN"};
const QStringList Stop_Bits{"1 Stop Bits", "2 Stop Bits"};
const QStringList Serial_Types{"RS232", "RS485"};
const QStringList DeviceNet_Bauds{"125K", "250K", "500K"};
const QStringList Auth_Types{"None", "PAP", "CHAP", "PAP or CHAP"};

// The address rows that most panels share: address, mask and gateway.
std::vector<TRowDef> Address_Rows(const char* lIP, const char* eIP, const char* lSM, const char* eSM, const char* cGAT,
                                   const char* eGAT)
{
    return {
        {.Kind = K::Octets, .Label = lIP, .Ctrl = eIP},
        {.Kind = K::Octets, .Label = lSM, .Ctrl = eSM},
        {.Kind = K::CheckOctets, .Label = cGAT, .Ctrl = eGAT},
    };
}

std::vector<TRowDef> operator+(std::vector<TRowDef> a, const std::vector<TRowDef>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<TPanelDef> Build_Panels()
{
    std::vector<TPanelDef> p;

    // --- the live panels -------------------------------------------------
    p.push_back({"CP_Ethernet_Connection", 406, 407, "E_EthConn_Sec_DNS_IP4", {
        {.Kind = K::Edit, .Label = "L_EthConn_Device_Name", .Ctrl = "E_EthConn_Device_Name", .MaxLen = 31},
        {.Kind = K::Check, .Ctrl = "CB_EthConn_En_DHCP_Cable"},
        {.Kind = K::Check, .Ctrl = "CB_EthConn_En_DHCP_WiFi"},
        {.Kind = K::Check, .Ctrl = "CB_EthConn_Enable_DNS"},
        {.Kind = K::Octets, .Label = "L_EthConn_Primary_DNS", .Ctrl = "E_EthConn_Pri_DNS_IP"},
        {.Kind = K::Octets, .Label = "L_EthConn_Secondary_DNS", .Ctrl = "E_EthConn_Sec_DNS_IP"},
    }});
    p.push_back({"CP_LoRaWAN", 1337, 1367, "", {
        {.Kind = K::Combo, .Label = "L_LoRaWAN_Mode", .Ctrl = "CB_LoRaWAN_Mode", .Items = LoRaWAN_Mode_Items(), .Text = 1367, .Hint = 1368},
        {.Kind = K::Combo, .Label = "L_LoRaWAN_RF_Band", .Ctrl = "CB_LoRaWAN_RF_Band", .Items = LoRaWAN_RF_Band_Items(), .Text = 1338, .Hint = 1369},
        {.Kind = K::Edit, .Label = "L_LoRaWAN_Server_Address", .Ctrl = "E_LoRaWAN_Server_Address", .Text = 1339, .Hint = 1370},
        {.Kind = K::Edit, .Label = "L_LoRaWAN_Server_Port_Up", .Ctrl = "E_LoRaWAN_Server_Port_Up", .Text = 1340, .Hint = 1371},
        {.Kind = K::Edit, .Label = "L_LoRaWAN_Server_Port_Down", .Ctrl = "E_LoRaWAN_Server_Port_Down", .Text = 1341, .Hint = 1372},
        {.Kind = K::Edit, .Label = "L_LoRaWAN_KeepAlive_Interval", .Ctrl = "E_LoRaWAN_KeepAlive_Interval", .Text = 1342, .Hint = 1373},
        {.Kind = K::Combo, .Label = "L_LoRaWAN_Network_Type", .Ctrl = "CB_LoRaWAN_Network_Type", .Items = LoRaWAN_Network_Type_Items(), .Text = 1374, .Hint = 1375},
        {.Kind = K::Check, .Ctrl = "CB_LoRaWAN_Adaptive_DataRate", .Text = 1376, .Hint = 1377},
        {.Kind = K::Combo, .Label = "L_LoRaWAN_DataRate", .Ctrl = "CB_LoRaWAN_DataRate", .Text = 1378, .Hint = 1379},
        {.Kind = K::Combo, .Label = "L_LoRaWAN_Transmission_Type", .Ctrl = "CB_LoRaWAN_Transmission_Type", .Items = LoRaWAN_Transmission_Type_Items(), .Text = 1380, .Hint = 1381},
        {.Kind = K::Edit, .Label = "L_LoRaWAN_Join_EUI", .Ctrl = "E_LoRaWAN_Join_EUI", .MaxLen = 16, .Text = 1382, .Hint = 1383, .Hex = true},
        {.Kind = K::Combo, .Label = "L_LoRaWAN_Activation_Method", .Ctrl = "CB_LoRaWAN_Activation_Method", .Items = LoRaWAN_Activation_Method_Items(), .Selected = -1, .Text = 1384, .Hint = 1385},
        {.Kind = K::Edit, .Label = "L_LoRaWAN_Device_Address", .Ctrl = "E_LoRaWAN_Device_Address", .MaxLen = 8, .Text = 1386, .Hint = 1387, .Hex = true},
        {.Kind = K::Edit, .Label = "L_LoRaWAN_Network_Session_Key", .Ctrl = "E_LoRaWAN_Network_Session_Key", .MaxLen = 32, .Text = 1388, .Hint = 1389, .Hex = true},
        {.Kind = K::Edit, .Label = "L_LoRaWAN_Application_Session_Key", .Ctrl = "E_LoRaWAN_Application_Session_Key", .MaxLen = 32, .Text = 1390, .Hint = 1391, .Hex = true},
        {.Kind = K::Edit, .Label = "L_LoRaWAN_Application_Key", .Ctrl = "E_LoRaWAN_Application_Key", .MaxLen = 32, .Text = 1392, .Hint = 1393, .Hex = true},
        {.Kind = K::Combo, .Label = "L_LoRaWAN_Class", .Ctrl = "CB_LoRaWAN_Class", .Items = LoRaWAN_Class_Items(), .Text = 1394, .Hint = 1395},
        {.Kind = K::Edit, .Label = "L_LoRaWAN_Diag_Pos", .Ctrl = "E_LoRaWAN_Diag_Pos", .Text = 1406, .Hint = 1407},
        {.Kind = K::Combo, .Label = "L_LoRaWAN_RX2_Datarate", .Ctrl = "CB_LoRaWAN_RX2_Datarate", .Text = 1409, .Hint = 1410},
        {.Kind = K::Combo, .Label = "L_LoRaWAN_FreqSubBand", .Ctrl = "CB_LoRaWAN_FreqSubBand", .Items = LoRaWAN_FreqSubBand_Items(), .Text = 1411, .Hint = 1412},
    }});
    p.push_back({"CP_CAN", 605, 606, "CB_CAN_Baudrate", {
        {.Kind = K::Combo, .Label = "L_CAN_Baudrate", .Ctrl = "CB_CAN_Baudrate", .Items = CAN_Baudrate_Items(), .Selected = 9},
    }});
    p.push_back({"CP_Ethernet", 425, 426, "E_Ethernet_GAT4",
        Address_Rows("L_Ethernet_IP", "E_Ethernet_IP", "L_Ethernet_SM", "E_Ethernet_SM", "CB_Ethernet_En_GAT", "E_Ethernet_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_Ethernet_TCP_Port", .Ctrl = "E_Ethernet_TCP_Port"},
        {.Kind = K::Edit, .Label = "L_Ethernet_UDP_Port", .Ctrl = "E_Ethernet_UDP_Port"},
    }});

    // --- the panels of the other variants --------------------------------
    p.push_back({"CP_Select_Device", 1035, 1036, "CB_Select_Device_Device", {
        {.Kind = K::Combo, .Label = "L_Select_Device_Device", .Ctrl = "CB_Select_Device_Device"},
    }});
    p.push_back({"CP_Serial", 446, 447, "CB_Serial_StopBits", {
        {.Kind = K::Combo, .Label = "L_Serial_Serial", .Ctrl = "CB_Serial_Serial", .Items = Serial_Types},
        {.Kind = K::Combo, .Label = "L_Serial_Baudrate", .Ctrl = "CB_Serial_Baudrate", .Items = Serial_Bauds, .Selected = 7},
        {.Kind = K::Combo, .Label = "L_Serial_Parity", .Ctrl = "Cb_Serial_Parity", .Items = Parities},
        {.Kind = K::Combo, .Label = "L_Serial_StopBits", .Ctrl = "CB_Serial_StopBits", .Items = Stop_Bits},
    }});
    p.push_back({"CP_Modbus_Master", 455, 456, "E_ModbusMaster_CyclicDelay", {
        {.Kind = K::Combo, .Label = "L_ModbusMaster_Serial", .Ctrl = "CB_ModbusMaster_Serial", .Items = Serial_Types},
        {.Kind = K::Combo, .Label = "L_ModbusMaster_Baudrate", .Ctrl = "CB_ModbusMaster_Baudrate", .Items = Serial_Bauds, .Selected = 7},
        {.Kind = K::Combo, .Label = "L_ModbusMaster_Parity", .Ctrl = "CB_ModbusMaster_Parity", .Items = Parities},
        {.Kind = K::Combo, .Label = "L_ModbusMaster_StopBits", .Ctrl = "CB_ModbusMaster_StopBits", .Items = Stop_Bits},
        {.Kind = K::Edit, .Label = "L_ModbusMaster_TimeOut", .Ctrl = "E_ModbusMaster_TimeOut"},
        {.Kind = K::Edit, .Label = "L_ModbusMaster_CyclicDelay", .Ctrl = "E_ModbusMaster_CyclicDelay"},
    }});
    p.push_back({"CP_Modbus_Slave", 468, 469, "CB_ModbusSlave_ReadInput", {
        {.Kind = K::Combo, .Label = "L_ModbusSlave_Serial", .Ctrl = "CB_ModbusSlave_Serial", .Items = Serial_Types},
        {.Kind = K::Combo, .Label = "L_ModbusSlave_Baudrate", .Ctrl = "CB_ModbusSlave_Baudrate", .Items = Serial_Bauds, .Selected = 7},
        {.Kind = K::Combo, .Label = "L_ModbusSlave_Parity", .Ctrl = "CB_ModbusSlave_Parity", .Items = Parities},
        {.Kind = K::Combo, .Label = "L_ModbusSlave_StopBits", .Ctrl = "CB_ModbusSlave_StopBits", .Items = Stop_Bits},
        {.Kind = K::Edit, .Label = "L_ModbusSlave_IDDevice", .Ctrl = "E_ModbusSlave_IDDevice"},
        {.Kind = K::Check, .Ctrl = "CB_ModbusSlave_ReadInput"},
    }});
    p.push_back({"CP_Modbus_TCP_Master", 481, 482, "E_ModbusTCPMaster_CyclicDelay",
        Address_Rows("L_ModbusTCPMaster_IP", "E_ModbusTCPMaster_IP", "L_ModbusTCPMaster_SM", "E_ModbusTCPMaster_SM", "CB_ModbusTCPMaster_En_GAT", "E_ModbusTCPMaster_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_ModbusTCPMaster_TimeOut", .Ctrl = "E_ModbusTCPMaster_TimeOut"},
        {.Kind = K::Edit, .Label = "L_ModbusTCPMaster_CyclicDelay", .Ctrl = "E_ModbusTCPMaster_CyclicDelay"},
    }});
    p.push_back({"CP_Modbus_TCP_Slave", 502, 503, "E_ModbusTCPSlave_Port",
        Address_Rows("L_ModbusTCPSlave_IP", "E_ModbusTCPSlave_IP", "L_ModbusTCPSlave_SM", "E_ModbusTCPSlave_SM", "CB_ModbusTCPSlave_En_GAT", "E_ModbusTCPSlave_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_ModbusTCPSlave_Port", .Ctrl = "E_ModbusTCPSlave_Port"},
    }});
    p.push_back({"CP_BACnet_Master", 521, 522, "", std::vector<TRowDef>{
        {.Kind = K::Combo, .Label = "L_BACnet_Master_Type", .Ctrl = "CB_BACnet_Master_Type", .Items = {"BACnet/IP", "BACnet MS/TP"}},
    } + Address_Rows("L_BACnet_IP_Master_IP", "E_BACnet_IP_Master_IP", "L_BACnet_IP_Master_SM", "E_BACnet_IP_Master_SM", "CB_BACnet_IP_Master_GAT", "E_BACnet_IP_Master_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_BACnet_IP_Master_Port", .Ctrl = "E_BACnet_IP_Master_Port"},
        {.Kind = K::Edit, .Label = "L_BACnet_IP_Master_Device_Name", .Ctrl = "E_BACnet_IP_Master_Device_Name", .MaxLen = 15},
        {.Kind = K::Edit, .Label = "L_BACnet_IP_Master_Device_Identifier", .Ctrl = "E_BACnet_IP_Master_Device_Identifier"},
        {.Kind = K::Edit, .Label = "L_BACnet_IP_Master_TimeOut_Polling", .Ctrl = "E_BACnet_IP_Master_TimeOut_Polling"},
        {.Kind = K::Combo, .Label = "L_BACnet_MSTP_Master_Baudrate", .Ctrl = "CB_BACnet_MSTP_Master_Baudrate", .Items = BACnet_Bauds, .Selected = 5},
        {.Kind = K::Combo, .Label = "L_BACnet_MSTP_Master_Parity", .Ctrl = "CB_BACnet_MSTP_Master_Parity", .Items = Parities},
        {.Kind = K::Edit, .Label = "L_BACnet_MSTP_Master_Device_Name", .Ctrl = "E_BACnet_MSTP_Master_Device_Name", .MaxLen = 15},
        {.Kind = K::Edit, .Label = "L_BACnet_MSTP_Master_MAC_Address", .Ctrl = "E_BACnet_MSTP_Master_MAC_Address"},
        {.Kind = K::Edit, .Label = "L_BACnet_MSTP_Master_Max_Master", .Ctrl = "E_BACnet_MSTP_Master_Max_Master", .MaxLen = 15},
        {.Kind = K::Edit, .Label = "L_BACnet_MSTP_Master_Max_Info_Frame", .Ctrl = "E_BACnet_MSTP_Master_Max_Info_Frame"},
        {.Kind = K::Edit, .Label = "L_BACnet_MSTP_Master_Device_Instance", .Ctrl = "E_BACnet_MSTP_Master_Device_Instance", .MaxLen = 15},
    }});
    p.push_back({"CP_BACnet_Slave", 562, 563, "CB_BACnet_Slave_Desc_32_Chars", std::vector<TRowDef>{
        {.Kind = K::Combo, .Label = "L_BACnet_Slave_Type", .Ctrl = "CB_BACnet_Slave_Type", .Items = {"BACnet/IP", "BACnet MS/TP"}},
    } + Address_Rows("L_BACnet_IP_Slave_IP", "E_BACnet_IP_Slave_IP", "L_BACnet_IP_Slave_SM", "E_BACnet_IP_Slave_SM", "CB_BACnet_IP_Slave_GAT", "E_BACnet_IP_Slave_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_BACnet_IP_Slave_Port", .Ctrl = "E_BACnet_IP_Slave_Port"},
        {.Kind = K::Edit, .Label = "L_BACnet_IP_Slave_Device_Name", .Ctrl = "E_BACnet_IP_Slave_Device_Name", .MaxLen = 15},
        {.Kind = K::Edit, .Label = "L_BACnet_IP_Slave_Device_Identifier", .Ctrl = "E_BACnet_IP_Slave_Device_Identifier"},
        {.Kind = K::Combo, .Label = "L_BACnet_MSTP_Slave_Baudrate", .Ctrl = "CB_BACnet_MSTP_Slave_Baudrate", .Items = BACnet_Bauds, .Selected = 5},
        {.Kind = K::Combo, .Label = "L_BACnet_MSTP_Slave_Parity", .Ctrl = "CB_BACnet_MSTP_Slave_Parity", .Items = Parities},
        {.Kind = K::Edit, .Label = "L_BACnet_MSTP_Slave_Device_Name", .Ctrl = "E_BACnet_MSTP_Slave_Device_Name", .MaxLen = 15},
        {.Kind = K::Edit, .Label = "L_BACnet_MSTP_Slave_MAC_Address", .Ctrl = "E_BACnet_MSTP_Slave_MAC_Address"},
        {.Kind = K::Edit, .Label = "L_BACnet_MSTP_Slave_Max_Master", .Ctrl = "E_BACnet_MSTP_Slave_Max_Master", .MaxLen = 15},
        {.Kind = K::Edit, .Label = "L_BACnet_MSTP_Slave_Max_Info_Frame", .Ctrl = "E_BACnet_MSTP_Slave_Max_Info_Frame"},
        {.Kind = K::Edit, .Label = "L_BACnet_MSTP_Slave_Device_Instance", .Ctrl = "E_BACnet_MSTP_Slave_Device_Instance", .MaxLen = 15},
        {.Kind = K::Edit, .Label = "L_BACnet_MSTP_Slave_Network", .Ctrl = "E_BACnet_MSTP_Slave_Network"},
        {.Kind = K::Check, .Ctrl = "CB_BACnet_Slave_Desc_32_Chars"},
    }});
    p.push_back({"CP_CANopen", 608, 609, "E_CANopen_SDO_Timeout", {
        {.Kind = K::Edit, .Label = "L_CANopen_IDDevice", .Ctrl = "E_CANopen_IDDevice"},
        {.Kind = K::Combo, .Label = "L_CANopen_Baudrate", .Ctrl = "CB_CANopen_Baudrate",
         .Items = {"10K", "20K", "50K", "100K", "125K", "250K", "500K", "800K", "1000K", ""}, .Selected = 8},
        {.Kind = K::Check, .Ctrl = "CB_CANopen_SetOpe"},
        {.Kind = K::CheckEdit, .Label = "CB_CANopen_NetOpe", .Ctrl = "E_CANopen_NetOpe_Delay"},
        {.Kind = K::Edit, .Label = "L_CANopen_SDO_Timeout", .Ctrl = "E_CANopen_SDO_Timeout"},
    }});
    p.push_back({"CP_DeviceNet_Master", 620, 621, "CB_DeviceNet_Master_Baudrate", {
        {.Kind = K::Edit, .Label = "L_DeviceNet_Master_IDDevice", .Ctrl = "E_DeviceNet_Master_IDDevice"},
        {.Kind = K::Combo, .Label = "L_DeviceNet_Master_Baudrate", .Ctrl = "CB_DeviceNet_Master_Baudrate", .Items = DeviceNet_Bauds, .Selected = 2},
    }});
    p.push_back({"CP_DeviceNet_Slave", 625, 626, "E_DeviceNet_Slave_NumByteOut", {
        {.Kind = K::Edit, .Label = "L_DeviceNet_Slave_IDDevice", .Ctrl = "E_DeviceNet_Slave_IDDevice"},
        {.Kind = K::Combo, .Label = "L_DeviceNet_Slave_Baudrate", .Ctrl = "CB_DeviceNet_Slave_Baudrate", .Items = DeviceNet_Bauds, .Selected = 2},
        {.Kind = K::Edit, .Label = "L_DeviceNet_Slave_NumByteIn", .Ctrl = "E_DeviceNet_Slave_NumByteIn"},
        {.Kind = K::Edit, .Label = "L_DeviceNet_Slave_NumByteOut", .Ctrl = "E_DeviceNet_Slave_NumByteOut"},
    }});
    p.push_back({"CP_DMX", 634, 635, "E_DMX_ChannelNum", {
        {.Kind = K::Combo, .Label = "L_DMX_DMX", .Ctrl = "CB_DMX_DMX", .Items = {"IN", "OUT"}, .Selected = 1},
        {.Kind = K::Edit, .Label = "L_DMX_ChannelNum", .Ctrl = "E_DMX_ChannelNum"},
    }});
    p.push_back({"CP_IEC61850_Client", 639, 640, "E_IEC61850_Client_AppID",
        Address_Rows("L_IEC61850_Client_IP", "E_IEC61850_Client_IP", "L_IEC61850_Client_SM", "E_IEC61850_Client_SM", "CB_IEC61850_Client_En_GAT", "E_IEC61850_Client_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_IEC61850_Client_VLAN", .Ctrl = "E_IEC61850_Client_VLAN", .MaxLen = 8},
        {.Kind = K::Edit, .Label = "L_IEC61850_Client_AppID", .Ctrl = "E_IEC61850_Client_AppID"},
    }});
    {
        // The port and password rows carry the first texts of the block.
        std::vector<TRowDef> rows = Address_Rows("L_IEC61850_Server_IP", "E_IEC61850_Server_IP", "L_IEC61850_Server_SM", "E_IEC61850_Server_SM", "CB_IEC61850_Server_En_GAT", "E_IEC61850_Server_GAT");
        rows[0].Text = 665;
        rows.push_back({.Kind = K::Edit, .Label = "L_IEC61850_Server_Port", .Ctrl = "E_IEC61850_Server_Port", .Text = 661});
        rows.push_back({.Kind = K::Edit, .Label = "L_IEC61850_Server_Password", .Ctrl = "E_IEC61850_Server_Password"});
        p.push_back({"CP_IEC61850_Server", 660, 661, "E_IEC61850_Server_Password", rows});
    }
    p.push_back({"CP_J1939", 681, 682, "E_J1939_ID_Device", {
        {.Kind = K::Combo, .Label = "L_J1939_Baudrate", .Ctrl = "CB_J1939_Baudrate", .Items = CAN_Baudrate_Items(), .Selected = 9},
        {.Kind = K::Edit, .Label = "L_J1939_TimeOut", .Ctrl = "E_J1939_TimeOut"},
        {.Kind = K::Check, .Ctrl = "CB_J1939_Enable_Peer_To_Peer"},
        {.Kind = K::Edit, .Label = "L_J1939_ID_Device", .Ctrl = "E_J1939_ID_Device"},
    }});
    p.push_back({"CP_MQTT", 690, 691, "E_MQTT_Password", {
        {.Kind = K::Edit, .Label = "L_MQTT_Server", .Ctrl = "E_MQTT_Server"},
        {.Kind = K::Edit, .Label = "L_MQTT_Server_Port", .Ctrl = "E_MQTT_Server_Port"},
        {.Kind = K::Edit, .Label = "L_MQTT_Client_ID", .Ctrl = "E_MQTT_Client_ID"},
        {.Kind = K::Edit, .Label = "L_MQTT_Keep_Alive", .Ctrl = "E_MQTT_Keep_Alive"},
        {.Kind = K::Check, .Ctrl = "CB_MQTT_Clean_Session"},
        {.Kind = K::Check, .Ctrl = "CB_MQTT_WillFlag"},
        {.Kind = K::Edit, .Label = "L_MQTT_Will_TopicName", .Ctrl = "E_MQTT_Will_TopicName"},
        {.Kind = K::Edit, .Label = "L_MQTT_Will_Message", .Ctrl = "E_MQTT_Will_Message"},
        {.Kind = K::Check, .Ctrl = "CB_MQTT_Will_Retained"},
        {.Kind = K::Combo, .Label = "L_MQTT_Will_QoS", .Ctrl = "CB_MQTT_Will_QoS", .Items = {"0", "1", "2"}},
        {.Kind = K::Check, .Ctrl = "CB_MQTT_PublishTopicConnection"},
        {.Kind = K::Edit, .Label = "L_MQTT_Connection_TopicName", .Ctrl = "E_MQTT_Connection_TopicName"},
        {.Kind = K::Edit, .Label = "L_MQTT_Connection_Message", .Ctrl = "E_MQTT_Connection_Message"},
        {.Kind = K::Check, .Ctrl = "CB_MQTT_Connection_Retained"},
        {.Kind = K::Edit, .Label = "L_MQTT_Username", .Ctrl = "E_MQTT_Username"},
        {.Kind = K::Edit, .Label = "L_MQTT_Password", .Ctrl = "E_MQTT_Password"},
        {.Kind = K::Edit, .Label = "L_MQTT_ASync_Send_Time", .Ctrl = "E_MQTT_ASync_Send_Time"},
        {.Kind = K::Edit, .Label = "L_MQTT_TopicDALIAns", .Ctrl = "E_MQTT_TopicDALIAns"},
        {.Kind = K::Check, .Ctrl = "CB_MQTT_Enable_ReProgram"},
        {.Kind = K::Edit, .Label = "L_MQTT_Reprogram_Topic", .Ctrl = "E_MQTT_Reprogram_Topic"},
        {.Kind = K::Edit, .Label = "L_MQTT_Reproram_Value", .Ctrl = "E_MQTT_Reproram_Value"},
    }});
    p.push_back({"CP_WiFi2", 733, 734, "", std::vector<TRowDef>{
        {.Kind = K::Combo, .Label = "L_WiFi2_Type", .Ctrl = "CB_WiFi2_Type", .ItemTexts = 2},
        {.Kind = K::Caption, .Label = "L_WiFi2_IP1"},
    } + Address_Rows("L_WiFi2_IP1_IP", "E_WiFi2_IP1_IP", "L_WiFi2_IP1_SM", "E_WiFi2_IP1_SM", "CB_WiFi2_IP1_En_GAT", "E_WiFi2_IP1_GAT") + std::vector<TRowDef>{
        {.Kind = K::Caption, .Label = "L_WiFi2_IP2"},
    } + Address_Rows("L_WiFi2_IP2_IP", "E_WiFi2_IP2_IP", "L_WiFi2_IP2_SM", "E_WiFi2_IP2_SM", "CB_WiFi2_IP2_En_GAT", "E_WiFi2_IP2_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_WiFi2_SSID", .Ctrl = "E_WiFi2_SSID"},
        {.Kind = K::Edit, .Label = "L_WiFi2_Password", .Ctrl = "E_WiFi2_Password"},
        {.Kind = K::Combo, .Label = "L_WiFi2_Secure_Type", .Ctrl = "CB_WiFi2_Secure_Type", .ItemTexts = 4},
        {.Kind = K::Check, .Ctrl = "CB_WiFi2_En_DHCP"},
        {.Kind = K::Octets, .Label = "L_WiFi2_DHCP_First_IP", .Ctrl = "E_WiFi2_DHCP_First_IP"},
        {.Kind = K::Octets, .Label = "L_WiFi2_DHCP_SM", .Ctrl = "E_WiFi2_DHCP_SM"},
        {.Kind = K::Edit, .Label = "L_WiFi2_Lease_Time", .Ctrl = "E_WiFi2_Lease_Time"},
        {.Kind = K::Combo, .Label = "L_WiFi2_Max_Client", .Ctrl = "CB_WiFi2_Max_Client", .Items = Range(1, 10), .Selected = 9},
        {.Kind = K::Combo, .Label = "L_WiFi2_Channel", .Ctrl = "CB_WiFi2_Channel", .ItemTexts = 12},
    }});
    p.push_back({"CP_TLS", 812, 813, "", {
        {.Kind = K::Check, .Ctrl = "CB_TLS_Enable"},
        {.Kind = K::Check, .Ctrl = "CB_TLS_En_Server_Auth"},
        {.Kind = K::FileRow, .Label = "L_TLS_Server_Cert", .Ctrl = "E_TLS_Server_Cert", .Button = "Btn_TLS_Server_Cert"},
        {.Kind = K::Check, .Ctrl = "CB_TLS_En_Client_Auth"},
        {.Kind = K::FileRow, .Label = "L_TLS_CA_Cert", .Ctrl = "E_TLS_CA_Cert", .Text = 1428, .Button = "Btn_TLS_CA_Cert"},
        {.Kind = K::FileRow, .Label = "L_TLS_Client_Cert", .Ctrl = "E_TLS_Client_Cert", .Text = 821, .Button = "Btn_TLS_Client_Cert"},
        {.Kind = K::FileRow, .Label = "L_TLS_Client_Cert_Key", .Ctrl = "E_TLS_Client_Cert_Key", .Button = "Btn_TLS_Client_Cert_Key"},
        {.Kind = K::Edit, .Label = "L_TLS_Client_Cert_Key_Pass", .Ctrl = "E_TLS_Client_Cert_Key_Pass"},
    }});
    p.push_back({"CP_NTP", 827, 828, "E_NTP_Poll_Time", {
        {.Kind = K::Edit, .Label = "L_NTP_Server_URL", .Ctrl = "E_NTP_Server_URL"},
        {.Kind = K::Edit, .Label = "L_NTP_Poll_Time", .Ctrl = "E_NTP_Poll_Time"},
    }});
    p.push_back({"CP_NMEA2000", 832, 833, "CB_NMEA2000_Peer_To_Peer", {
        {.Kind = K::Combo, .Label = "L_NMEA2000_Baudrate", .Ctrl = "CB_NMEA2000_Baudrate", .Items = CAN_Baudrate_Items(), .Selected = 9},
        {.Kind = K::Edit, .Label = "L_NMEA2000_TimeOut", .Ctrl = "E_NMEA2000_TimeOut"},
        {.Kind = K::Check, .Ctrl = "CB_NMEA2000_Peer_To_Peer"},
    }});
    p.push_back({"CP_OPC_UA_Client", 839, 840, "E_OPC_UA_Client_GAT4",
        Address_Rows("L_OPC_UA_Client_IP", "E_OPC_UA_Client_IP", "L_OPC_UA_Client_SM", "E_OPC_UA_Client_SM", "CB_OPC_UA_Client_En_GAT", "E_OPC_UA_Client_GAT")});
    p.push_back({"CP_OPC_UA_Server", 856, 857, "E_OPC_UA_Server_Port",
        Address_Rows("L_OPC_UA_Server_IP", "E_OPC_UA_Server_IP", "L_OPC_UA_Server_SM", "E_OPC_UA_Server_SM", "CB_OPC_UA_Server_En_GAT", "E_OPC_UA_Server_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_OPC_UA_Server_Port", .Ctrl = "E_OPC_UA_Server_Port"},
    }});
    p.push_back({"CP_PROFINET", 875, 876, "E_PROFINET_NByte_Out",
        Address_Rows("L_PROFINET_IP", "E_PROFINET_IP", "L_PROFINET_SM", "E_PROFINET_SM", "CB_PROFINET_GAT", "E_PROFINET_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_PROFINET_TunnelPort", .Ctrl = "E_PROFINET_TunnelPort"},
        {.Kind = K::Edit, .Label = "L_PROFINET_NameStation", .Ctrl = "E_PROFINET_NameStation", .MaxLen = 15},
        {.Kind = K::Edit, .Label = "L_PROFINET_NByte_In", .Ctrl = "E_PROFINET_NByte_In"},
        {.Kind = K::Edit, .Label = "L_PROFINET_NByte_Out", .Ctrl = "E_PROFINET_NByte_Out"},
        {.Kind = K::CheckEdit, .Label = "CB_PROFINET_Diagnostic", .Ctrl = "E_PROFINET_Diagnostic"},
    }});
    p.push_back({"CP_SNMP_Manager", 903, 904, "E_SNMP_Manager_NameStation",
        Address_Rows("L_SNMP_Manager_IP", "E_SNMP_Manager_IP", "L_SNMP_Manager_SM", "E_SNMP_Manager_SM", "CB_SNMP_Manager_GAT", "E_SNMP_Manager_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_SNMP_Manager_NameStation", .Ctrl = "E_SNMP_Manager_NameStation", .MaxLen = 15, .NoHint = true},
    }});
    p.push_back({"CP_SNMP_Agent", 921, 922, "",
        Address_Rows("L_SNMP_Agent_IP", "E_SNMP_Agent_IP", "L_SNMP_Agent_SM", "E_SNMP_Agent_SM", "CB_SNMP_Agent_GAT", "E_SNMP_Agent_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_SNMP_Agent_NameStation", .Ctrl = "E_SNMP_Agent_NameStation", .MaxLen = 15},
        {.Kind = K::Edit, .Label = "L_SNMP_Agent_Contact", .Ctrl = "E_SNMP_Agent_Contact", .MaxLen = 16},
        {.Kind = K::Edit, .Label = "L_SNMP_Agent_Location", .Ctrl = "E_SNMP_Agent_Location", .MaxLen = 16},
        {.Kind = K::Checks3, .Label = "L_SNMP_Agent_Version", .Ctrl = "CB_SNMP_Agent_Version"},
        {.Kind = K::Edit, .Label = "L_SNMP_Agent_User", .Ctrl = "E_SNMP_Agent_User", .MaxLen = 19},
        {.Kind = K::Combo, .Label = "L_SNMP_Agent_SecurityLevel", .Ctrl = "CB_SNMP_Agent_SecurityLevel",
         .Items = {"NoAuthority NoPrivacy", "Authority NoPrivacy", "Authority Privacy"}},
        {.Kind = K::Edit, .Label = "L_SNMP_Agent_Authority", .Ctrl = "E_SNMP_Agent_Authority", .MaxLen = 15},
        {.Kind = K::Combo, .Label = "L_SNMP_Agent_AuthorityMode", .Ctrl = "CB_SNMP_Agent_AuthorityMode", .Items = {"MD5", "SHA"}},
        {.Kind = K::Edit, .Label = "L_SNMP_Agent_Privacy", .Ctrl = "E_SNMP_Agent_Privacy", .MaxLen = 15},
        {.Kind = K::Combo, .Label = "L_SNMP_Agent_PrivacyMode", .Ctrl = "CB_SNMP_Agent_PrivacyMode", .Items = {"DES", "AES"}},
    }});
    p.push_back({"CP_TLS_Server", 960, 961, "", {
        {.Kind = K::Check, .Ctrl = "CB_TLS_Server_Enable"},
        {.Kind = K::Edit, .Label = "L_TLS_Server_Key", .Ctrl = "E_TLS_Server_Key"},
        {.Kind = K::Edit, .Label = "L_TLS_Server_Key_Pass", .Ctrl = "E_TLS_Server_Key_Pass"},
        {.Kind = K::Edit, .Label = "L_TLS_Server_Server_Cert", .Ctrl = "E_TLS_Server_Server_Cert"},
        {.Kind = K::Edit, .Label = "L_TLS_Server_Root_Cert", .Ctrl = "E_TLS_Server_Root_Cert"},
        {.Kind = K::Check, .Ctrl = "CB_TLS_Server_En_Known_Cert"},
    }});
    p.push_back({"CP_EtherNetIP_Master", 973, 974, "E_EtherNetIP_Master_Port",
        Address_Rows("L_EtherNetIP_Master_IP", "E_EtherNetIP_Master_IP", "L_EtherNetIP_Master_SM", "E_EtherNetIP_Master_SM", "CB_EtherNetIP_Master_GAT", "E_EtherNetIP_Master_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_EtherNetIP_Master_TunnelPort", .Ctrl = "E_EtherNetIP_Master_Port", .Disabled = true},
    }});
    p.push_back({"CP_EtherNetIP", 992, 993, "E_EtherNetIP_NByte_Out",
        Address_Rows("L_EtherNetIP_IP", "E_EtherNetIP_IP", "L_EtherNetIP_SM", "E_EtherNetIP_SM", "CB_EtherNetIP_GAT", "E_EtherNetIP_GAT") + std::vector<TRowDef>{
        {.Kind = K::Edit, .Label = "L_EtherNetIP_TunnelPort", .Ctrl = "E_EtherNetIP_TunnelPort", .Disabled = true},
        {.Kind = K::Edit, .Label = "L_EtherNetIP_NByte_In", .Ctrl = "E_EtherNetIP_NByte_In"},
        {.Kind = K::Edit, .Label = "L_EtherNetIP_NByte_Out", .Ctrl = "E_EtherNetIP_NByte_Out"},
    }});
    p.push_back({"CP_S7_Protocol", 1018, 1019, "E_S7_Protocol_GAT4",
        Address_Rows("L_S7_Protocol_IP", "E_S7_Protocol_IP", "L_S7_Protocol_SM", "E_S7_Protocol_SM", "CB_S7_Protocol_En_GAT", "E_S7_Protocol_GAT")});
    p.push_back({"CP_GSM_GPRS", 1038, 1039, "CB_GSM_GPRS_Main_SIM", {
        {.Kind = K::Edit, .Label = "L_GSM_GPRS_PIN", .Ctrl = "E_GSM_GPRS_PIN", .MaxLen = 8},
        {.Kind = K::Edit, .Label = "L_GSM_GPRS_APN", .Ctrl = "E_GSM_GPRS_APN"},
        {.Kind = K::Combo, .Label = "L_GSM_GPRS_AuthType", .Ctrl = "CB_GSM_GPRS_AuthType", .Items = Auth_Types},
        {.Kind = K::Edit, .Label = "L_GSM_GPRS_UserName", .Ctrl = "E_GSM_GPRS_UserName", .MaxLen = 32},
        {.Kind = K::Edit, .Label = "L_GSM_GPRS_Password", .Ctrl = "E_GSM_GPRS_Password", .MaxLen = 32},
        {.Kind = K::Check, .Ctrl = "CB_GSM_GPRS_En_Second_SIM", .Text = 1413},
        {.Kind = K::Edit, .Label = "L_GSM_GPRS_PIN2", .Ctrl = "E_GSM_GPRS_PIN2", .MaxLen = 8},
        {.Kind = K::Edit, .Label = "L_GSM_GPRS_APN2", .Ctrl = "E_GSM_GPRS_APN2"},
        {.Kind = K::Combo, .Label = "L_GSM_GPRS_AuthType2", .Ctrl = "CB_GSM_GPRS_AuthType2", .Items = Auth_Types},
        {.Kind = K::Edit, .Label = "L_GSM_GPRS_UserName2", .Ctrl = "E_GSM_GPRS_UserName2", .MaxLen = 32},
        {.Kind = K::Edit, .Label = "L_GSM_GPRS_Password2", .Ctrl = "E_GSM_GPRS_Password2", .MaxLen = 32},
        {.Kind = K::Combo, .Label = "L_GSM_GPRS_Main_SIM", .Ctrl = "CB_GSM_GPRS_Main_SIM", .Items = {"SIM 1", "SIM 2"}},
    }});
    p.push_back({"CP_KNX", 1349, 1350, "E_KNX_IDDevice", {
        {.Kind = K::Combo, .Label = "L_KNX_Type", .Ctrl = "CB_KNX_Type", .Items = {"KNX TP", "KNXnet/IP"}, .Disabled = true},
        {.Kind = K::Edit, .Label = "L_KNX_IDDevice", .Ctrl = "E_KNX_IDDevice"},
    }});
    p.push_back({"CP_PROFIBUS", 1355, 1356, "E_PROFIBUS_NByte_Out", {
        {.Kind = K::Edit, .Label = "L_PROFIBUS_IDDevice", .Ctrl = "E_PROFIBUS_IDDevice"},
        {.Kind = K::Combo, .Label = "L_PROFIBUS_Baudrate", .Ctrl = "CB_PROFIBUS_Baudrate", .Items = {"Auto Baudrate"}, .Disabled = true},
        {.Kind = K::Edit, .Label = "L_PROFIBUS_NByte_In", .Ctrl = "E_PROFIBUS_NByte_In"},
        {.Kind = K::Edit, .Label = "L_PROFIBUS_NByte_Out", .Ctrl = "E_PROFIBUS_NByte_Out"},
    }});
    p.push_back({"CP_PLC", 1431, 1432, "CB_PLC_Type", {
        {.Kind = K::Check, .Ctrl = "CB_PLC_Enable"},
        {.Kind = K::Combo, .Label = "L_PLC_Type", .Ctrl = "CB_PLC_Type", .Items = {"Local", "Remote", "Local + Remote"}},
    }});
    p.push_back({"CP_Working_Mode", 1437, 1438, "CB_WorkMode_WorkMode", {
        {.Kind = K::Combo, .Label = "L_WorkMode_WorkMode", .Ctrl = "CB_WorkMode_WorkMode", .ItemTexts = 2, .ItemsBeforeHint = true},
    }});
    return p;
}

QString N(const char* s) { return QString::fromLatin1(s); }
QString N(const char* s, int i) { return QString::fromLatin1(s) + QString::number(i); }
QString Dot(const char* prefix, int i) { return QString::fromLatin1(prefix) + "_Dot" + QString::number(i); }

std::vector<TTextAssign> Build_Texts()
{
    std::vector<TTextAssign> out;
    auto cap = [&out](const QString& c, int t) { out.push_back({c, TTextTarget::Caption, t}); };
    auto hint = [&out](const QString& c, int t) { out.push_back({c, TTextTarget::Hint, t}); };
    auto item = [&out](const QString& c, int t) { out.push_back({c, TTextTarget::Item, t}); };
    for (const TPanelDef& p : ParGen_Panels()) {
        int t = p.FirstText;
        for (const TRowDef& r : p.Rows) {
            if (r.Text) t = r.Text;
            auto ownHint = [&](const QString& c) { hint(c, r.Hint ? r.Hint : t++); };
            switch (r.Kind) {
            case K::Edit:
            case K::Combo:
            case K::FileRow:
                cap(N(r.Label), t++);
                if (r.ItemsBeforeHint)
                    for (int i = 0; i < r.ItemTexts; ++i) item(N(r.Ctrl), t++);
                if (!r.NoHint) ownHint(N(r.Ctrl));
                if (!r.ItemsBeforeHint)
                    for (int i = 0; i < r.ItemTexts; ++i) item(N(r.Ctrl), t++);
                break;
            case K::Check:
                cap(N(r.Ctrl), t++);
                ownHint(N(r.Ctrl));
                break;
            case K::Octets:
                cap(N(r.Label), t++);
                for (int i = 1; i <= 4; ++i) hint(N(r.Ctrl, i), t++);
                break;
            case K::CheckOctets:
                cap(N(r.Label), t++);
                hint(N(r.Label), t++);
                for (int i = 1; i <= 4; ++i) hint(N(r.Ctrl, i), t++);
                break;
            case K::CheckEdit:
                cap(N(r.Label), t++);
                hint(N(r.Label), t++);
                hint(N(r.Ctrl), t++);
                break;
            case K::Caption:
                cap(N(r.Label), t++);
                break;
            case K::Checks3:
                cap(N(r.Label), t++);
                for (int i = 1; i <= 3; ++i) cap(N(r.Ctrl, i), t++);
                break;
            }
        }
    }
    return out;
}

// --- layout helpers ----------------------------------------------------------

void Put(TParGen_Layout& L, const QString& name, int top, bool visible = true)
{
    TPlace& p = L.Mod(name);
    p.Top = top;
    p.Visible = visible;
}

void Show(TParGen_Layout& L, const QString& name, bool visible) { L.Mod(name).Visible = visible; }
void Enable(TParGen_Layout& L, const QString& name, bool enabled) { L.Mod(name).Enabled = enabled; }

// A label-and-control row with its label at `top` and its control 3 above.
void Row(TParGen_Layout& L, const char* label, const char* ctrl, int top, bool visible = true)
{
    Put(L, N(label), top, visible);
    Put(L, N(ctrl), top - 3, visible);
}

void HideRow(TParGen_Layout& L, const char* label, const char* ctrl)
{
    Show(L, N(label), false);
    Show(L, N(ctrl), false);
}

void OctetRow(TParGen_Layout& L, const char* label, const char* prefix, int top, bool visible = true)
{
    Put(L, N(label), top, visible);
    for (int i = 1; i <= 4; ++i) Put(L, N(prefix, i), top - 3, visible);
    for (int i = 1; i <= 3; ++i) Put(L, Dot(prefix, i), top, visible);
}

void GatewayRow(TParGen_Layout& L, const char* box, const char* prefix, int top, bool visible = true)
{
    Put(L, N(box), top, visible);
    for (int i = 1; i <= 4; ++i) Put(L, N(prefix, i), top - 2, visible);
    for (int i = 1; i <= 3; ++i) Put(L, Dot(prefix, i), top, visible);
}

void ShowOctets(TParGen_Layout& L, const char* label, const char* prefix, bool visible)
{
    if (*label) Show(L, N(label), visible);
    for (int i = 1; i <= 4; ++i) Show(L, N(prefix, i), visible);
    for (int i = 1; i <= 3; ++i) Show(L, Dot(prefix, i), visible);
}

void EnableOctets(TParGen_Layout& L, const char* prefix, bool enabled)
{
    for (int i = 1; i <= 4; ++i) Enable(L, N(prefix, i), enabled);
}

// Height of a panel from the bottom of one of its controls.
void HeightFrom(TParGen_Layout& L, const QString& panel, const QString& ctrl, int header)
{
    const TPlace& p = L.At(ctrl);
    L.Panels[panel].Height = p.Top + p.Height + header + 12;
}

const TPanelDef* Panel_Def(const QString& panel)
{
    for (const TPanelDef& p : ParGen_Panels())
        if (N(p.Name) == panel) return &p;
    return nullptr;
}

// The DHCP rule: while the cable connection takes its address by DHCP the
// panel's address, mask and gateway edits (and with `gatBox` the gateway
// check box) are disabled.
void DhcpRule(TParGen_Layout& L, const TParGen_State& s, const QString& panel, bool gatBox)
{
    const bool on = !s.IsChecked("CB_EthConn_En_DHCP_Cable");
    const TPanelDef* p = Panel_Def(panel);
    int n = 0;
    for (const TRowDef& r : p->Rows) {
        if (r.Kind != K::Octets && r.Kind != K::CheckOctets) continue;
        if (n++ == 3) break;
        EnableOctets(L, r.Ctrl, on);
        if (r.Kind == K::CheckOctets && gatBox) Enable(L, N(r.Label), on);
    }
}

// --- the live panels ---------------------------------------------------------

void RePosition_Object_Ethernet_Connection(TParGen_Layout& L, const TParGen_State& s, int header)
{
    HeightFrom(L, "CP_Ethernet_Connection", "E_EthConn_Sec_DNS_IP4", header);
    Enable(L, "CB_EthConn_En_DHCP_WiFi", s.ItemIndex("CB_Select_Device_Device") == 1);
}

void RePosition_Object_LoRaWAN(TParGen_Layout& L, const TParGen_State& s, int header)
{
    // Mode and network-server rows never show: their values only pass from
    // the file back into the file.
    HideRow(L, "L_LoRaWAN_Mode", "CB_LoRaWAN_Mode");
    HideRow(L, "L_LoRaWAN_Server_Address", "E_LoRaWAN_Server_Address");
    HideRow(L, "L_LoRaWAN_Server_Port_Up", "E_LoRaWAN_Server_Port_Up");
    HideRow(L, "L_LoRaWAN_Server_Port_Down", "E_LoRaWAN_Server_Port_Down");
    HideRow(L, "L_LoRaWAN_KeepAlive_Interval", "E_LoRaWAN_KeepAlive_Interval");

    auto at = [](int k) { return G::First_Row + G::Row_Pitch * k; };
    Row(L, "L_LoRaWAN_RF_Band", "CB_LoRaWAN_RF_Band", at(0));
    Row(L, "L_LoRaWAN_Network_Type", "CB_LoRaWAN_Network_Type", at(1));

    const char* endNodeRows[][2] = {
        {"L_LoRaWAN_DataRate", "CB_LoRaWAN_DataRate"},
        {"L_LoRaWAN_Transmission_Type", "CB_LoRaWAN_Transmission_Type"},
        {"L_LoRaWAN_Join_EUI", "E_LoRaWAN_Join_EUI"},
        {"L_LoRaWAN_Activation_Method", "CB_LoRaWAN_Activation_Method"},
        {"L_LoRaWAN_Device_Address", "E_LoRaWAN_Device_Address"},
        {"L_LoRaWAN_Network_Session_Key", "E_LoRaWAN_Network_Session_Key"},
        {"L_LoRaWAN_Application_Session_Key", "E_LoRaWAN_Application_Session_Key"},
        {"L_LoRaWAN_Application_Key", "E_LoRaWAN_Application_Key"},
        {"L_LoRaWAN_Class", "CB_LoRaWAN_Class"},
    };
    const bool us915 = s.RF_Band_Text == QLatin1String("US915");

    if (s.ItemIndex("CB_LoRaWAN_Mode") == 0) {
        Row(L, "L_LoRaWAN_Diag_Pos", "E_LoRaWAN_Diag_Pos", at(2));
        Row(L, "L_LoRaWAN_RX2_Datarate", "CB_LoRaWAN_RX2_Datarate", at(3));
        Row(L, "L_LoRaWAN_FreqSubBand", "CB_LoRaWAN_FreqSubBand", at(4), us915);
        Show(L, "CB_LoRaWAN_Adaptive_DataRate", false);
        for (auto& r : endNodeRows) HideRow(L, r[0], r[1]);
        HeightFrom(L, "CP_LoRaWAN", us915 ? "CB_LoRaWAN_FreqSubBand" : "CB_LoRaWAN_RX2_Datarate", header);
        return;
    }

    Put(L, "CB_LoRaWAN_Adaptive_DataRate", at(2));
    Row(L, "L_LoRaWAN_DataRate", "CB_LoRaWAN_DataRate", at(3));
    Row(L, "L_LoRaWAN_Transmission_Type", "CB_LoRaWAN_Transmission_Type", at(4));
    Row(L, "L_LoRaWAN_Join_EUI", "E_LoRaWAN_Join_EUI", at(5));
    Row(L, "L_LoRaWAN_Activation_Method", "CB_LoRaWAN_Activation_Method", at(6));
    int k = 7;
    if (s.ItemIndex("CB_LoRaWAN_Activation_Method") == 0) {
        Row(L, "L_LoRaWAN_Device_Address", "E_LoRaWAN_Device_Address", at(k++));
        Row(L, "L_LoRaWAN_Network_Session_Key", "E_LoRaWAN_Network_Session_Key", at(k++));
        Row(L, "L_LoRaWAN_Application_Session_Key", "E_LoRaWAN_Application_Session_Key", at(k++));
        HideRow(L, "L_LoRaWAN_Application_Key", "E_LoRaWAN_Application_Key");
    } else {
        HideRow(L, "L_LoRaWAN_Device_Address", "E_LoRaWAN_Device_Address");
        HideRow(L, "L_LoRaWAN_Network_Session_Key", "E_LoRaWAN_Network_Session_Key");
        HideRow(L, "L_LoRaWAN_Application_Session_Key", "E_LoRaWAN_Application_Session_Key");
        Row(L, "L_LoRaWAN_Application_Key", "E_LoRaWAN_Application_Key", at(k++));
    }
    Row(L, "L_LoRaWAN_Class", "CB_LoRaWAN_Class", at(k++));
    // An end node keeps its diagnostic position and RX2 rows below the class.
    Row(L, "L_LoRaWAN_Diag_Pos", "E_LoRaWAN_Diag_Pos", at(k++));
    Row(L, "L_LoRaWAN_RX2_Datarate", "CB_LoRaWAN_RX2_Datarate", at(k++));
    Row(L, "L_LoRaWAN_FreqSubBand", "CB_LoRaWAN_FreqSubBand", at(k), us915);
    HeightFrom(L, "CP_LoRaWAN", us915 ? "CB_LoRaWAN_FreqSubBand" : "CB_LoRaWAN_RX2_Datarate", header);
}

void RePosition_Object_Ethernet(TParGen_Layout& L, const TParGen_State& s, int header)
{
    HideRow(L, "L_Ethernet_TCP_Port", "E_Ethernet_TCP_Port");
    HideRow(L, "L_Ethernet_UDP_Port", "E_Ethernet_UDP_Port");
    HeightFrom(L, "CP_Ethernet", "E_Ethernet_GAT4", header);
    DhcpRule(L, s, "CP_Ethernet", true);
}

// --- the panels of the other variants ---------------------------------------

void RePosition_Object_BACnet(TParGen_Layout& L, const TParGen_State& s, int header, bool slave)
{
    const QString panel = slave ? "CP_BACnet_Slave" : "CP_BACnet_Master";
    const char* side = slave ? "Slave" : "Master";
    auto n = [side](const char* fmt) { return QString::fromLatin1(fmt).arg(QLatin1String(side)); };
    const QString type = n("CB_BACnet_%1_Type");
    const QStringList ipRows = slave
        ? QStringList{"Port", "Device_Name", "Device_Identifier"}
        : QStringList{"Port", "Device_Name", "Device_Identifier", "TimeOut_Polling"};
    QStringList mstp{"Baudrate", "Parity", "Device_Name", "MAC_Address", "Max_Master", "Max_Info_Frame", "Device_Instance"};
    if (slave) mstp << "Network";
    auto mstpCtrl = [&](const QString& r) {
        return QString("%1_BACnet_MSTP_%2_%3").arg(r == "Baudrate" || r == "Parity" ? "CB" : "E", side, r);
    };
    auto mstpLabel = [&](const QString& r) { return QString("L_BACnet_MSTP_%1_%2").arg(side, r); };
    const QByteArray ip = n("E_BACnet_IP_%1_IP").toLatin1(), sm = n("E_BACnet_IP_%1_SM").toLatin1(),
                     gat = n("E_BACnet_IP_%1_GAT").toLatin1(), lip = n("L_BACnet_IP_%1_IP").toLatin1(),
                     lsm = n("L_BACnet_IP_%1_SM").toLatin1(), cgat = n("CB_BACnet_IP_%1_GAT").toLatin1();
    const bool isIP = s.ItemIndex(type) == 0;

    ShowOctets(L, lip.constData(), ip.constData(), isIP);
    ShowOctets(L, lsm.constData(), sm.constData(), isIP);
    ShowOctets(L, "", gat.constData(), isIP);
    Show(L, N(cgat.constData()), isIP);
    for (const QString& r : ipRows) {
        Show(L, QString("L_BACnet_IP_%1_%2").arg(side, r), isIP);
        Show(L, QString("E_BACnet_IP_%1_%2").arg(side, r), isIP);
    }
    QString last;
    if (isIP) {
        for (const QString& r : mstp) {
            Show(L, mstpLabel(r), false);
            Show(L, mstpCtrl(r), false);
        }
        DhcpRule(L, s, panel, false);
        last = QString("L_BACnet_IP_%1_%2").arg(side, ipRows.last());
        if (!slave) HeightFrom(L, panel, "E_BACnet_IP_Master_TimeOut_Polling", header);
    } else {
        const int labelTop = L.At(N(lip.constData())).Top;
        const int ctrlTop = L.At(N(ip.constData(), 1)).Top;
        for (int k = 0; k < mstp.size(); ++k) {
            Put(L, mstpLabel(mstp[k]), labelTop + G::Row_Pitch * k);
            Put(L, mstpCtrl(mstp[k]), ctrlTop + G::Row_Pitch * k);
        }
        last = mstpLabel(mstp.last());
        if (!slave) HeightFrom(L, panel, "E_BACnet_MSTP_Master_Device_Instance", header);
    }
    if (slave) {
        Put(L, "CB_BACnet_Slave_Desc_32_Chars", L.At(last).Top + G::Row_Pitch);
        HeightFrom(L, panel, "CB_BACnet_Slave_Desc_32_Chars", header);
    }
}

void RePosition_Object_WiFi2(TParGen_Layout& L, const TParGen_State& s, int header)
{
    const int T = L.At("L_WiFi2_Type").Top;
    Show(L, "L_WiFi2_IP1", false);
    OctetRow(L, "L_WiFi2_IP1_IP", "E_WiFi2_IP1_IP", T + 28);
    OctetRow(L, "L_WiFi2_IP1_SM", "E_WiFi2_IP1_SM", T + 56);
    GatewayRow(L, "CB_WiFi2_IP1_En_GAT", "E_WiFi2_IP1_GAT", T + 84);
    Show(L, "L_WiFi2_IP2", false);
    ShowOctets(L, "L_WiFi2_IP2_IP", "E_WiFi2_IP2_IP", false);
    ShowOctets(L, "L_WiFi2_IP2_SM", "E_WiFi2_IP2_SM", false);
    ShowOctets(L, "CB_WiFi2_IP2_En_GAT", "E_WiFi2_IP2_GAT", false);
    Row(L, "L_WiFi2_SSID", "E_WiFi2_SSID", T + 112);

    if (s.ItemIndex("CB_WiFi2_Type") == 0) {
        Row(L, "L_WiFi2_Secure_Type", "CB_WiFi2_Secure_Type", T + 140);
        int y = T + 168;
        if (s.ItemIndex("CB_WiFi2_Secure_Type") >= 1) {
            Row(L, "L_WiFi2_Password", "E_WiFi2_Password", y);
            y += 28;
        } else {
            HideRow(L, "L_WiFi2_Password", "E_WiFi2_Password");
        }
        Put(L, "CB_WiFi2_En_DHCP", y);
        int z;
        if (s.IsChecked("CB_WiFi2_En_DHCP")) {
            OctetRow(L, "L_WiFi2_DHCP_First_IP", "E_WiFi2_DHCP_First_IP", y + 28);
            OctetRow(L, "L_WiFi2_DHCP_SM", "E_WiFi2_DHCP_SM", y + 56);
            Row(L, "L_WiFi2_Lease_Time", "E_WiFi2_Lease_Time", y + 84);
            z = y + 112;
        } else {
            ShowOctets(L, "L_WiFi2_DHCP_First_IP", "E_WiFi2_DHCP_First_IP", false);
            ShowOctets(L, "L_WiFi2_DHCP_SM", "E_WiFi2_DHCP_SM", false);
            HideRow(L, "L_WiFi2_Lease_Time", "E_WiFi2_Lease_Time");
            z = y + 28;
        }
        Row(L, "L_WiFi2_Max_Client", "CB_WiFi2_Max_Client", z);
        Row(L, "L_WiFi2_Channel", "CB_WiFi2_Channel", z + 28);
        HeightFrom(L, "CP_WiFi2", "CB_WiFi2_Channel", header);
        return;
    }

    QString name1, name2;
    Get_Interface_Names(name1, name2);
    const bool on = !s.IsChecked("CB_EthConn_En_DHCP_WiFi");
    EnableOctets(L, "E_WiFi2_IP1_IP", on);
    EnableOctets(L, "E_WiFi2_IP1_SM", on);
    EnableOctets(L, "E_WiFi2_IP1_GAT", on);
    Enable(L, "CB_WiFi2_IP1_En_GAT", on);
    Row(L, "L_WiFi2_Password", "E_WiFi2_Password", T + 140);
    HideRow(L, "L_WiFi2_Secure_Type", "CB_WiFi2_Secure_Type");
    Show(L, "CB_WiFi2_En_DHCP", false);
    ShowOctets(L, "L_WiFi2_DHCP_First_IP", "E_WiFi2_DHCP_First_IP", false);
    ShowOctets(L, "L_WiFi2_DHCP_SM", "E_WiFi2_DHCP_SM", false);
    HideRow(L, "L_WiFi2_Lease_Time", "E_WiFi2_Lease_Time");
    HideRow(L, "L_WiFi2_Max_Client", "CB_WiFi2_Max_Client");
    HideRow(L, "L_WiFi2_Channel", "CB_WiFi2_Channel");
    HeightFrom(L, "CP_WiFi2", "E_WiFi2_Password", header);
}

void FileRowAt(TParGen_Layout& L, const char* label, const char* box, const char* button, int top, bool visible)
{
    Put(L, N(label), top, visible);
    Put(L, N(box), top - 3, visible);
    Put(L, N(button), top - 3, visible);
}

void RePosition_Object_TLS(TParGen_Layout& L, const TParGen_State& s, int header)
{
    const bool enabled = s.IsChecked("CB_TLS_Enable");
    const bool server = enabled && s.IsChecked("CB_TLS_En_Server_Auth");
    const bool client = enabled && s.IsChecked("CB_TLS_En_Client_Auth");
    Show(L, "CB_TLS_En_Server_Auth", enabled);
    Show(L, "L_TLS_Server_Cert", server);
    Show(L, "E_TLS_Server_Cert", server);
    Show(L, "Btn_TLS_Server_Cert", server);
    Show(L, "CB_TLS_En_Client_Auth", enabled);
    if (!enabled) {
        FileRowAt(L, "L_TLS_CA_Cert", "E_TLS_CA_Cert", "Btn_TLS_CA_Cert", L.At("L_TLS_CA_Cert").Top, false);
        FileRowAt(L, "L_TLS_Client_Cert", "E_TLS_Client_Cert", "Btn_TLS_Client_Cert", L.At("L_TLS_Client_Cert").Top, false);
        FileRowAt(L, "L_TLS_Client_Cert_Key", "E_TLS_Client_Cert_Key", "Btn_TLS_Client_Cert_Key", L.At("L_TLS_Client_Cert_Key").Top, false);
        HideRow(L, "L_TLS_Client_Cert_Key_Pass", "E_TLS_Client_Cert_Key_Pass");
        HeightFrom(L, "CP_TLS", "CB_TLS_Enable", header);
        return;
    }
    const int y = (server ? L.At("E_TLS_Server_Cert").Top : L.At("CB_TLS_En_Server_Auth").Top) + 28;
    Put(L, "CB_TLS_En_Client_Auth", y);
    FileRowAt(L, "L_TLS_CA_Cert", "E_TLS_CA_Cert", "Btn_TLS_CA_Cert", y + 28, client);
    FileRowAt(L, "L_TLS_Client_Cert", "E_TLS_Client_Cert", "Btn_TLS_Client_Cert", y + 56, client);
    FileRowAt(L, "L_TLS_Client_Cert_Key", "E_TLS_Client_Cert_Key", "Btn_TLS_Client_Cert_Key", y + 84, client);
    Row(L, "L_TLS_Client_Cert_Key_Pass", "E_TLS_Client_Cert_Key_Pass", y + 112, client);
    HeightFrom(L, "CP_TLS", client ? "E_TLS_Client_Cert_Key_Pass" : "CB_TLS_En_Client_Auth", header);
}

void RePosition_Object_TLS_Server(TParGen_Layout& L, const TParGen_State& s, int header)
{
    const bool on = s.IsChecked("CB_TLS_Server_Enable");
    for (const char* r : {"Key", "Key_Pass", "Server_Cert", "Root_Cert"}) {
        Show(L, QString("L_TLS_Server_%1").arg(r), on);
        Show(L, QString("E_TLS_Server_%1").arg(r), on);
    }
    Show(L, "CB_TLS_Server_En_Known_Cert", on);
    HeightFrom(L, "CP_TLS_Server", on ? "CB_TLS_Server_En_Known_Cert" : "CB_TLS_Server_Enable", header);
}

void RePosition_Object_MQTT(TParGen_Layout& L, const TParGen_State& s, int header)
{
    const bool will = s.IsChecked("CB_MQTT_WillFlag");
    for (const char* r : {"L_MQTT_Will_TopicName", "E_MQTT_Will_TopicName", "L_MQTT_Will_Message", "E_MQTT_Will_Message",
                          "CB_MQTT_Will_Retained", "L_MQTT_Will_QoS", "CB_MQTT_Will_QoS"})
        Show(L, N(r), will);
    const int y = will ? L.At("L_MQTT_Will_QoS").Top + 28 : L.At("L_MQTT_Will_TopicName").Top;
    Put(L, "CB_MQTT_PublishTopicConnection", y);
    int z;
    if (s.IsChecked("CB_MQTT_PublishTopicConnection")) {
        Row(L, "L_MQTT_Connection_TopicName", "E_MQTT_Connection_TopicName", y + 28);
        Row(L, "L_MQTT_Connection_Message", "E_MQTT_Connection_Message", y + 56);
        Put(L, "CB_MQTT_Connection_Retained", y + 84);
        z = y + 112;
    } else {
        HideRow(L, "L_MQTT_Connection_TopicName", "E_MQTT_Connection_TopicName");
        HideRow(L, "L_MQTT_Connection_Message", "E_MQTT_Connection_Message");
        Show(L, "CB_MQTT_Connection_Retained", false);
        z = y + 28;
    }
    Row(L, "L_MQTT_Username", "E_MQTT_Username", z);
    Row(L, "L_MQTT_Password", "E_MQTT_Password", z + 28);
    HideRow(L, "L_MQTT_ASync_Send_Time", "E_MQTT_ASync_Send_Time");
    HideRow(L, "L_MQTT_TopicDALIAns", "E_MQTT_TopicDALIAns");
    Show(L, "CB_MQTT_Enable_ReProgram", false);
    HideRow(L, "L_MQTT_Reprogram_Topic", "E_MQTT_Reprogram_Topic");
    HideRow(L, "L_MQTT_Reproram_Value", "E_MQTT_Reproram_Value");
    HeightFrom(L, "CP_MQTT", "E_MQTT_Password", header);
}

void RePosition_Object_SNMP_Agent(TParGen_Layout& L, const TParGen_State& s, int header)
{
    const bool v3 = s.IsChecked("CB_SNMP_Agent_Version3");
    const int level = s.ItemIndex("CB_SNMP_Agent_SecurityLevel");
    const bool auth = v3 && level >= 1;
    const bool priv = v3 && level >= 2;
    auto row = [&L](const char* r, bool v) {
        Show(L, QString("L_SNMP_Agent_%1").arg(r), v);
        Show(L, QString("%1_SNMP_Agent_%2").arg(QString(r).endsWith("Mode") || QString(r) == "SecurityLevel" ? "CB" : "E", r), v);
    };
    row("User", v3);
    row("SecurityLevel", v3);
    row("Authority", auth);
    row("AuthorityMode", auth);
    row("Privacy", priv);
    row("PrivacyMode", priv);
    const char* from = !v3 ? "CB_SNMP_Agent_Version3"
                     : priv ? "CB_SNMP_Agent_PrivacyMode"
                     : auth ? "CB_SNMP_Agent_AuthorityMode"
                            : "CB_SNMP_Agent_SecurityLevel";
    HeightFrom(L, "CP_SNMP_Agent", from, header);
    DhcpRule(L, s, "CP_SNMP_Agent", false);
}

// Collapses and disables a panel, or enables and expands it.
void Fold(TParGen_Layout& L, const QString& panel, bool open)
{
    TPanelState& p = L.Panels[panel];
    p.Collapsed = !open;
    p.Enabled = open;
}

enum class TRule { None, BACnet_Master, BACnet_Slave, WiFi, WiFi_Mobile };

struct TVariant {
    const char* Code;
    std::vector<const char*> Panels;
    std::vector<TRule> Rules;
};

const std::vector<TVariant>& Variants()
{
    static const std::vector<TVariant> v = [] {
        const char* EC = "CP_Ethernet_Connection";
        const char* LW = "CP_LoRaWAN";
        const char* ET = "CP_Ethernet";
        const char* SD = "CP_Select_Device";
        const char* WF = "CP_WiFi2";
        using R = TRule;
        return std::vector<TVariant>{
            {"52R31", {EC, LW, "CP_Modbus_Master", ET}, {}},
            {"52R32", {EC, LW, "CP_Modbus_Slave", ET}, {}},
            {"52R33", {SD, EC, LW, "CP_Modbus_TCP_Master", WF}, {R::WiFi}},
            {"52R34", {SD, EC, LW, "CP_Modbus_TCP_Slave", WF}, {R::WiFi}},
            {"52R35", {EC, LW, "CP_Serial", ET}, {}},
            {"52R36", {SD, EC, LW, "CP_BACnet_Master", ET, WF}, {R::BACnet_Master, R::WiFi}},
            {"52R37", {SD, EC, LW, "CP_BACnet_Slave", ET, WF}, {R::BACnet_Slave, R::WiFi}},
            {"52R38", {SD, EC, LW, ET, WF}, {R::WiFi}},
            {"52R08", {EC, LW, "CP_CAN", ET}, {}},
            {"52R11", {EC, LW, "CP_CANopen", ET}, {}},
            {"52R41", {EC, LW, "CP_DeviceNet_Master", ET}, {}},
            {"52R42", {EC, LW, "CP_DeviceNet_Slave", ET}, {}},
            {"52R43", {EC, LW, "CP_DMX", ET}, {}},
            {"52R44", {EC, LW, "CP_EtherNetIP_Master"}, {}},
            {"52R45", {EC, LW, "CP_EtherNetIP"}, {}},
            {"52R46", {EC, LW, "CP_J1939", ET}, {}},
            {"52R47", {EC, LW, "CP_KNX", ET}, {}},
            {"52R49", {EC, LW, "CP_NMEA2000", ET}, {}},
            {"52R22", {EC, LW, "CP_PROFIBUS", ET}, {}},
            {"52R24", {EC, LW, "CP_PROFINET"}, {}},
            {"52R54", {SD, EC, LW, "CP_IEC61850_Client", WF}, {R::WiFi}},
            {"52R55", {SD, EC, LW, "CP_IEC61850_Server", "CP_TLS_Server", WF}, {R::WiFi}},
            {"52R56", {SD, EC, LW, "CP_Working_Mode", "CP_MQTT", ET, "CP_TLS", "CP_NTP", WF, "CP_GSM_GPRS", "CP_PLC"}, {R::WiFi_Mobile}},
            {"52R57", {SD, EC, LW, "CP_OPC_UA_Client", "CP_NTP", WF}, {R::WiFi}},
            {"52R58", {SD, EC, LW, "CP_OPC_UA_Server", "CP_NTP", WF}, {R::WiFi}},
            {"52R59", {EC, LW, "CP_S7_Protocol"}, {}},
            {"52R60", {SD, EC, LW, "CP_SNMP_Manager", WF}, {R::WiFi}},
            {"52R61", {SD, EC, LW, "CP_SNMP_Agent", WF}, {R::WiFi}},
        };
    }();
    return v;
}

const TVariant& Variant(const QString& code)
{
    for (const TVariant& v : Variants())
        if (N(v.Code) == code) return v;
    throw Exception(QStringLiteral("Unknown gateway variant %1").arg(code));
}

} // namespace

const std::vector<TPanelDef>& ParGen_Panels()
{
    static const std::vector<TPanelDef> p = Build_Panels();
    return p;
}

const std::vector<TTextAssign>& ParGen_Panel_Texts()
{
    static const std::vector<TTextAssign> t = Build_Texts();
    return t;
}

const TPlace& TParGen_Layout::At(const QString& control) const
{
    static const TPlace none;
    const auto it = Controls.constFind(control);
    return it == Controls.constEnd() ? none : it.value();
}

TPlace& TParGen_Layout::Mod(const QString& control)
{
    const auto it = Controls.find(control);
    if (it == Controls.end()) throw Exception(QStringLiteral("No control %1 in the parameter editor").arg(control));
    return it.value();
}

TParGen_Layout ParGen_Design_Layout()
{
    TParGen_Layout L;
    for (const TPanelDef& p : ParGen_Panels()) {
        const QString panel = N(p.Name);
        TPanelState& ps = L.Panels[panel];
        ps.CaptionText = p.CaptionText;
        int k = 0;
        for (const TRowDef& r : p.Rows) {
            const int top = G::First_Row + G::Row_Pitch * k++;
            auto add = [&](const QString& name, int left, int t, int w, int h, bool enabled = true) {
                L.Controls.insert(name, TPlace{left, t, w, h, true, enabled, panel});
            };
            const int labelW = G::Ctrl_X - G::Label_X - 4;
            const int checkW = G::Ctrl_X + G::Ctrl_W - G::Label_X;
            switch (r.Kind) {
            case K::Edit:
            case K::Combo:
                add(N(r.Label), G::Label_X, top, labelW, G::Label_H);
                add(N(r.Ctrl), G::Ctrl_X, top - 3, G::Ctrl_W, G::Edit_H, !r.Disabled);
                break;
            case K::FileRow:
                add(N(r.Label), G::Label_X, top, labelW, G::Label_H);
                add(N(r.Ctrl), G::Ctrl_X, top - 3, G::Ctrl_W - 30, G::Edit_H);
                add(N(r.Button), G::Ctrl_X + G::Ctrl_W - 26, top - 3, 26, G::Edit_H);
                break;
            case K::Check:
                add(N(r.Ctrl), G::Label_X, top, checkW, G::Check_H);
                break;
            case K::Octets:
            case K::CheckOctets:
                if (r.Kind == K::Octets)
                    add(N(r.Label), G::Label_X, top, labelW, G::Label_H);
                else
                    add(N(r.Label), G::Label_X, top, labelW, G::Check_H);
                for (int i = 0; i < 4; ++i)
                    add(N(r.Ctrl, i + 1), G::Octet_X[i], top - (r.Kind == K::Octets ? 3 : 2), G::Octet_W, G::Edit_H);
                for (int i = 0; i < 3; ++i) add(Dot(r.Ctrl, i + 1), G::Dot_X[i], top, 5, G::Label_H);
                break;
            case K::CheckEdit:
                add(N(r.Label), G::Label_X, top, labelW, G::Check_H);
                add(N(r.Ctrl), G::Ctrl_X, top - 3, G::Ctrl_W, G::Edit_H);
                break;
            case K::Caption:
                add(N(r.Label), G::Label_X, top, checkW, G::Label_H);
                break;
            case K::Checks3:
                add(N(r.Label), G::Label_X, top, labelW, G::Label_H);
                for (int i = 0; i < 3; ++i) add(N(r.Ctrl, i + 1), G::Ctrl_X + 80 * i, top, 75, G::Check_H);
                break;
            }
        }
    }
    return L;
}

QStringList ParGen_Variants()
{
    QStringList l;
    for (const TVariant& v : Variants()) l << N(v.Code);
    return l;
}

void ParGen_Order_Panels(const QString& variant, TParGen_Layout& L)
{
    const TVariant& v = Variant(variant);
    for (TPanelState& p : L.Panels) {
        p.Visible = false;
        p.TabOrder = -1;
    }
    L.Order.clear();
    int k = 0;
    for (const char* name : v.Panels) {
        TPanelState& p = L.Panels[N(name)];
        p.Visible = true;
        p.Caption_Prefix = QString::number(k + 1) + ". ";
        p.TabOrder = k++;
        L.Order << N(name);
    }
}

void ParGen_RePosition_Panel(const QString& panel, const TParGen_State& s, int header, TParGen_Layout& L)
{
    if (panel == "CP_Ethernet_Connection") return RePosition_Object_Ethernet_Connection(L, s, header);
    if (panel == "CP_LoRaWAN") return RePosition_Object_LoRaWAN(L, s, header);
    if (panel == "CP_Ethernet") return RePosition_Object_Ethernet(L, s, header);
    if (panel == "CP_BACnet_Master") return RePosition_Object_BACnet(L, s, header, false);
    if (panel == "CP_BACnet_Slave") return RePosition_Object_BACnet(L, s, header, true);
    if (panel == "CP_WiFi2") return RePosition_Object_WiFi2(L, s, header);
    if (panel == "CP_TLS") return RePosition_Object_TLS(L, s, header);
    if (panel == "CP_TLS_Server") return RePosition_Object_TLS_Server(L, s, header);
    if (panel == "CP_MQTT") return RePosition_Object_MQTT(L, s, header);
    if (panel == "CP_SNMP_Agent") return RePosition_Object_SNMP_Agent(L, s, header);

    const TPanelDef* p = Panel_Def(panel);
    if (!p) throw Exception(QStringLiteral("No panel %1 in the parameter editor").arg(panel));
    if (panel == "CP_PROFINET") {
        Show(L, "CB_PROFINET_Diagnostic", false);
        Show(L, "E_PROFINET_Diagnostic", false);
    }
    HeightFrom(L, panel, N(p->HeightFrom), header);
    static const QStringList dhcp{"CP_IEC61850_Client", "CP_IEC61850_Server", "CP_OPC_UA_Client", "CP_OPC_UA_Server",
                                  "CP_PROFINET", "CP_SNMP_Manager", "CP_EtherNetIP_Master", "CP_EtherNetIP",
                                  "CP_S7_Protocol"};
    if (panel == "CP_Modbus_TCP_Master" || panel == "CP_Modbus_TCP_Slave")
        DhcpRule(L, s, panel, true);
    else if (dhcp.contains(panel))
        DhcpRule(L, s, panel, false);
}

void ParGen_RePosition(const QString& variant, const TParGen_State& s, int header, TParGen_Layout& L)
{
    const TVariant& v = Variant(variant);
    for (const char* panel : v.Panels) ParGen_RePosition_Panel(N(panel), s, header, L);
    const int device = s.ItemIndex("CB_Select_Device_Device");
    for (TRule r : v.Rules) {
        switch (r) {
        case TRule::None:
            break;
        case TRule::BACnet_Master:
            Fold(L, "CP_Ethernet", s.ItemIndex("CB_BACnet_Master_Type") != 0);
            break;
        case TRule::BACnet_Slave:
            Fold(L, "CP_Ethernet", s.ItemIndex("CB_BACnet_Slave_Type") != 0);
            break;
        case TRule::WiFi:
            if (device == 0) Fold(L, "CP_WiFi2", false);
            if (device == 1) Fold(L, "CP_WiFi2", true);
            break;
        case TRule::WiFi_Mobile:
            Fold(L, "CP_WiFi2", device == 1);
            Fold(L, "CP_GSM_GPRS", device == 2);
            break;
        }
    }
}
