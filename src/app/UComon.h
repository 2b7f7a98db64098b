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

class TExtColumnGrid;
class TExtStringGrid;

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

// ---- address and number converters ---------------------------------------------
// Dotted IPv4 address: true when all four parts are integers 0 .. 255. The
// parts are assigned as they are found; those after a missing dot stay as
// they were.
bool Split_IP_Address(const QString& text, QString& a, QString& b, QString& c, QString& d);
// Every byte is written (0 for a wrong part); true when something was wrong.
// An empty text is wrong and leaves the bytes unchanged.
bool IP_To_Bytes(const QString& text, uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d);
// "a.b.c.d:port": true and all five written when valid; false with all 0.
bool IP_Port_To_Bytes(const QString& text, uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d, uint16_t& port);

// The desktop's decimal separator: "," or "." ("," when it is anything else).
QChar Get_Decimal_Separator();
// Reads a decimal number written with either separator; false (value 1.0)
// when the text is no number.
bool Text_To_Float(const QString& text, QChar separator, float& value);

// The serial devices present, in ascending order; the caller owns the list.
QStringList List_COM_Ports();
// Empties both names and returns 1 (one network interface).
int32_t Get_Interface_Names(QString& name1, QString& name2);

// OPC UA browse records shared with the outside browsing library.
struct TOPC_UA_Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

struct opcua_structure {
    uint16_t nameSpaceIndex = 0;
    uint16_t identifierType = 0;
    uint32_t numeric = 0;
    const char* stringname = nullptr;
    uint32_t stringLength = 0;
    uint32_t guide1 = 0;
    uint16_t guide2 = 0;
    uint16_t guide3 = 0;
    uint8_t guide4[8] = {};
    const char* byteString = nullptr;
    uint32_t byteStringLength = 0;
    const char* displayName = nullptr;
    uint32_t displayNameLength = 0;
    int32_t dataType = 0;
    uint8_t accessLevel = 0;
    uint8_t spare[3] = {};
};

struct opcua_server_to_discover {
    const char* server_address = nullptr;
    int32_t user_pass_auth_flag = 0;
    const char* username = nullptr;
    const char* password = nullptr;
    const char* cert = nullptr;
    const char* priv_key = nullptr;
    int32_t security_type = 0;
    int32_t security_policy = 0;
};

QString NodeType_To_Text(int32_t code);
int32_t Text_To_NodeType(const QString& text);
QString NodeID_To_Text(const opcua_structure& node);
QString VarType_To_Text(int32_t code);
QString Authorization_To_Text(int32_t code);
int32_t Text_To_Authorization(const QString& text);
QString SecurityType_To_Text(int32_t code);
int32_t Text_To_SecurityType(const QString& text);
QString SecurityPolicy_To_Text(int32_t code);
int32_t Text_To_SecurityPolicy(const QString& text);

// SNMP object identifier: 0 valid; 1 longer than 128 characters; 2 a
// character other than a digit or "."; 3 starts with "."; 4 ends with ".";
// 5 an empty arc ("..", or the empty text); 6 an arc above 4294967295.
int32_t Check_OID(const QString& text);
// SNMPv3 user name or pass phrase: 0 valid; 1 longer than 15; 2 shorter than
// 8 (than 1 when short names are allowed); 3 a character not 0-9, A-Z, a-z.
int32_t Check_SNMPv3_User_Pass(const QString& text, bool allowShort);
// "AUTH NOPRIV" 1, "AUTH PRIV" 3, empty -1, anything else 0.
int32_t Security_Level_Flags(const QString& text);
// KNX individual (area.line.device or 1 .. 65535) or group address (main/sub,
// main/middle/sub or 1 .. 65535): 0 valid, 1 invalid.
int32_t Check_KNX_Address(const QString& text, bool group, bool allowZero);
// True when the text holds no "." (a group address).
bool Is_Group_Address(const QString& text);

// ---- process starter ---------------------------------------------------------------
// The longest wait for a started program, in milliseconds (tests shorten it).
extern int32_t Start_Program_Limit_ms;

struct TStartResult {
    bool Started = false;   // the program could be started
    QString Error;          // why not, when it could not
    bool Finished = false;  // it ended within the limit
    int ExitCode = -1;      // its exit code when it ended normally
    qint64 Pid = 0;
};

// Starts the program NomeSW in the executable's folder (Parameter is its
// command line: arguments separated by blanks, quoted where they hold blanks;
// an empty text gives none) and waits until it ends, at most
// Start_Program_Limit_ms; the windows keep painting and take no input
// meanwhile. A program still running at the limit is left running. `tipo` is
// the show state of the original platform and has no meaning here.
TStartResult Start_Program(const QString& NomeSW, const QString& Parameter, uint8_t tipo);

// ---- table-row helpers -------------------------------------------------------
// The row buttons of the table editors, on the shared row clipboard
// SL_Copy_Row. They work on columns 1 .. full width - 1 of data rows (the
// hidden columns included); column 0 holds the row numbers and is left alone.
// Messages go through MessageDlg.

// Copies the row into the clipboard (and clears the check-box marks of the
// clipboard: this copy records none).
void Grid_Copy_Row(TExtColumnGrid* grid, int row);
// Pastes the clipboard into the row. Refuses (text 1502) when this editor has
// copied nothing, (text 1501) when the clipboard has another width; asks
// (text 1500) before overwriting a row whose text cells are not blank.
void Grid_Paste_Row(TExtColumnGrid* grid, int row, bool copied);
// Moves the rows below up by one; the last row becomes empty.
void Grid_Delete_Row(int row, TExtColumnGrid* grid);
// Moves the rows from `row` on down by one and empties `row` ("Y" in column 1
// when `enable`). When the last row is in use, asks first (text 1506): its
// content would be lost; No changes nothing. Answers whether it inserted.
bool Grid_Insert_Row(int row, TExtColumnGrid* grid, bool enable);
// The same four on string grids whose cells carry check boxes of their own
// (a Boolean state) and a read-only flag marking the free rows at the end.
// A cell with a box is copied, moved and cleared through its state ("Y" /
// "N" in the clipboard, recorded in Copy_Row_Is_CheckBox), every other cell
// through its text. "In use" counts any text, blanks included.
void Grid_Copy_Row_CheckBox(TExtStringGrid* grid, int row);
void Grid_Paste_Row_CheckBox(TExtStringGrid* grid, int row, bool copied);
// Also moves the read-only flags; the last row is emptied (column 1's box
// ticked when enable) and made read-only.
void Grid_Delete_Row_CheckBox(int row, TExtStringGrid* grid, bool enable);
// Also moves the read-only flags; the inserted row is emptied (column 1's box
// ticked when enable) and made editable. Asks first (text 1506) when the last
// row is in use; No changes nothing. Answers whether it inserted.
bool Grid_Insert_Row_CheckBox(int row, TExtStringGrid* grid, bool enable);
// Enter (13) moves to the next cell, wrapping to column 1 of the next row and
// from the last row to row 1, when Enable_Jump_Field_Tables is on; the key is
// then consumed. Other keys, or the option off, pass unchanged.
void Grid_Enter_Next_Cell(TExtStringGrid* grid, QChar& key);
// A double click on a column title (row 0) sizes that column to its content
// when Double_Click_Auto_Size is on; double clicks on data rows are the
// grid's.
void Grid_DblClick_AutoSize(TExtStringGrid* grid, int row, int col);
