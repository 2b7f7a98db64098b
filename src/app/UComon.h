#pragma once
// The shared application state: the open configuration, the program's
// folders, the identity texts, the user's options, the last device address,
// the row clipboard and the 29 project file paths. All of it is used from
// the GUI thread only. Also the settings file Ferravante.xml and the small
// converters that several editors share.
#include "app/ULanguage.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// ---- folder and file names -------------------------------------------------
inline const QString Master_Folder_Name = QStringLiteral("MASTER");
inline const QString Projects_Folder_Name = QStringLiteral("PROJECTS");
inline const QString Language_Folder_Name = QStringLiteral("LANGUAGE");
inline const QString Bin_Folder_Name = QStringLiteral("bin");
inline const QString Certificates_Folder_Name = QStringLiteral("Certificates");
inline const QString Settings_File_Name = QStringLiteral("Ferravante.xml");

// ---- identity ---------------------------------------------------------------
inline const QString Main_Caption_Text = QStringLiteral("TolvexCorp - Configurator KR52R08 CAN / LoRaWAN Gateway ");
inline const QString SW_Code_Text = QStringLiteral("KR52R08");
inline const QString SW_Desc_Text = QStringLiteral("CAN / LoRaWAN Gateway - Converter");
inline const QString Default_IP_Address = QStringLiteral("192.168.2.205");
inline const QString Default_Language_Name = QStringLiteral("English");

// ---- shared state -------------------------------------------------------------
extern QString Project_Name;   // name (folder name) of the open configuration
extern QString Project_Path;   // its folder; empty: no configuration is open
extern QString Projects_Path;  // Exe_Path/PROJECTS
extern QString Exe_Path;       // the executable's folder, no trailing separator
extern QString Master_Path;    // Exe_Path/MASTER
extern QString Language_Path;  // Exe_Path/LANGUAGE
extern QString Main_Caption;
extern QString SW_Code;
extern QString SW_Desc;
extern QString Last_IP_Address;
extern int32_t Update_Option_Index;
extern bool Update_Read_Back;
extern QString Language_Name;
extern bool Enable_Internet;
extern bool Enable_Update;
extern bool Enable_Jump_Field_Tables;
extern bool Double_Click_Auto_Size;
extern QString EDE_File_Dir;

// Row clipboard and the SNMP MIB writer's work lists.
extern QStringList SL_Copy_Row;
extern std::vector<bool> Copy_Row_Is_CheckBox;
extern QStringList SL_MIB_Read;
extern QStringList SL_MIB_Write;

// ---- project file paths (rebuilt by Set_Files) --------------------------------
extern QString ParGen_File;
extern QString LoRaWAN_Gateway_File;
extern QString ModbusM_SetAccess_File;
extern QString ModbusTCPM_SetAccess_File;
extern QString BACnet_Master_Access_File;
extern QString BACnet_Slave_File;
extern QString CAN_Rec_Frames_File;
extern QString CAN_Send_Frames_File;
extern QString SDO_Server_CANopen_File;
extern QString SDO_Client_CANopen_File;
extern QString PDO_CANopen_File;
extern QString DNETM_Net_File;
extern QString DNETM_DefOff_File;
extern QString DMX_Default_Values_File;
extern QString IEC_61850_Client_File;
extern QString TLS_Known_Cert_File;
extern QString IEC61850_Variables_File;
extern QString J1939_Rec_Frames_File;
extern QString J1939_Send_Frames_File;
extern QString MQTT_Set_Topic_File;
extern QString NMEA_Rec_Frames_File;
extern QString NMEA_Send_Frames_File;
extern QString OPC_UA_Client_File;
extern QString OPC_UA_Server_File;
extern QString SNMP_Manager_File;
extern QString SNMP_Trap_File;
extern QString EtherNetIP_Master_Rules_File;
extern QString S7_Protocol_File;
extern QString KNX_SetAccess_File;

// The 29 project files: path variable and file name, in the order Set_Files
// builds them.
struct ProjectFileEntry {
    QString* path;
    const char* fileName;
};
const std::vector<ProjectFileEntry>& Project_Files();

// Rebuilds the 29 paths from Project_Path (each Project_Path/file name).
void Set_Files();

// Sets Exe_Path from the executable's folder and the MASTER, PROJECTS and
// LANGUAGE paths under it, creating each folder that is missing (one level; a
// failure to create one is not reported).
void Set_Program_Folders();

// Sets the identity texts (caption, software code, description).
void Set_Identity();

// True for a name that can stand as a configuration folder name: not empty,
// no path separator, not "." or "..".
bool Is_Plain_Folder_Name(const QString& name);

// Reopens the configuration named by Project_Name when it is a plain folder
// name whose folder exists under Projects_Path: Project_Path := that folder.
// Otherwise Project_Path := empty. Project_Name is kept either way. Returns
// whether a configuration is open.
bool Reopen_Last_Project();

// ---- settings file Ferravante.xml --------------------------------------------
// Path of the settings file: Exe_Path/Ferravante.xml.
QString Settings_File_Path();

// Reads the settings file into Project_Name, Last_IP_Address, Language_Name
// and the four option flags. A missing, unreadable, not well-formed or
// oversized file gives every default; a missing element gives its own default.
void Read_Setting();
// Parses settings bytes as Read_Setting does (for a file already read).
void Read_Setting_Bytes(const QByteArray& bytes);

// The settings document as it is written (UTF-8, no declaration).
QByteArray Setting_Bytes();
// Writes the settings file whole, atomically. Throws EFileError when it
// cannot be written; the old file is then untouched.
void Save_Setting();
