#include "app/UComon.h"

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/XmlDoc.h"

#include <QDir>
#include <QFileInfo>

QString Project_Name;
QString Project_Path;
QString Projects_Path;
QString Exe_Path;
QString Master_Path;
QString Language_Path;
QString Main_Caption;
QString SW_Code;
QString SW_Desc;
QString Last_IP_Address = Default_IP_Address;
int32_t Update_Option_Index = 0;
bool Update_Read_Back = true;
QString Language_Name = Default_Language_Name;
bool Enable_Internet = false;
bool Enable_Update = false;
bool Enable_Jump_Field_Tables = false;
bool Double_Click_Auto_Size = false;
QString EDE_File_Dir;

QStringList SL_Copy_Row;
std::vector<bool> Copy_Row_Is_CheckBox;
QStringList SL_MIB_Read;
QStringList SL_MIB_Write;

QString ParGen_File;
QString LoRaWAN_Gateway_File;
QString ModbusM_SetAccess_File;
QString ModbusTCPM_SetAccess_File;
QString BACnet_Master_Access_File;
QString BACnet_Slave_File;
QString CAN_Rec_Frames_File;
QString CAN_Send_Frames_File;
QString SDO_Server_CANopen_File;
QString SDO_Client_CANopen_File;
QString PDO_CANopen_File;
QString DNETM_Net_File;
QString DNETM_DefOff_File;
QString DMX_Default_Values_File;
QString IEC_61850_Client_File;
QString TLS_Known_Cert_File;
QString IEC61850_Variables_File;
QString J1939_Rec_Frames_File;
QString J1939_Send_Frames_File;
QString MQTT_Set_Topic_File;
QString NMEA_Rec_Frames_File;
QString NMEA_Send_Frames_File;
QString OPC_UA_Client_File;
QString OPC_UA_Server_File;
QString SNMP_Manager_File;
QString SNMP_Trap_File;
QString EtherNetIP_Master_Rules_File;
QString S7_Protocol_File;
QString KNX_SetAccess_File;

const std::vector<ProjectFileEntry>& Project_Files()
{
    static const std::vector<ProjectFileEntry> files = {
        {&ParGen_File, "ParGen.xml"},
        {&LoRaWAN_Gateway_File, "LoRaWAN_Gateway.xml"},
        {&ModbusM_SetAccess_File, "ModbusM_SetAccess.xml"},
        {&ModbusTCPM_SetAccess_File, "ModbusTCPM_SetAccess.xml"},
        {&BACnet_Master_Access_File, "BACnet_Master_Access.xml"},
        {&BACnet_Slave_File, "BACnet_Slave.xml"},
        {&CAN_Rec_Frames_File, "CAN_Rec_Frames.xml"},
        {&CAN_Send_Frames_File, "CAN_Send_Frames.xml"},
        {&SDO_Server_CANopen_File, "SDO_Server_CANopen.xml"},
        {&SDO_Client_CANopen_File, "SDO_Client_CANopen.xml"},
        {&PDO_CANopen_File, "PDO_CANopen.xml"},
        {&DNETM_Net_File, "DNETM_Net.xml"},
        {&DNETM_DefOff_File, "DNETM_DefOff.xml"},
        {&DMX_Default_Values_File, "DMX_Default_Values.xml"},
        {&IEC_61850_Client_File, "IEC_61850_Client.xml"},
        {&TLS_Known_Cert_File, "TLS_Known_Cert.xml"},
        {&IEC61850_Variables_File, "IEC61850_Variables.xml"},
        {&J1939_Rec_Frames_File, "J1939_Rec_Frames.xml"},
        {&J1939_Send_Frames_File, "J1939_Send_Frames.xml"},
        {&MQTT_Set_Topic_File, "MQTT_Set_Topic.xml"},
        {&NMEA_Rec_Frames_File, "NMEA_Rec_Frames.xml"},
        {&NMEA_Send_Frames_File, "NMEA_Send_Frames.xml"},
        {&OPC_UA_Client_File, "OPC_UA_Client.xml"},
        {&OPC_UA_Server_File, "OPC_UA_Server.xml"},
        {&SNMP_Manager_File, "SNMP_Manager.xml"},
        {&SNMP_Trap_File, "SNMP_Trap.xml"},
        {&EtherNetIP_Master_Rules_File, "EtherNetIP_Master_Rules.xml"},
        {&S7_Protocol_File, "S7_Protocol.xml"},
        {&KNX_SetAccess_File, "KNX_SetAccess.xml"},
    };
    return files;
}

void Set_Files()
{
    for (const ProjectFileEntry& f : Project_Files())
        *f.path = PathJoin(Project_Path, QString::fromLatin1(f.fileName));
}

void Set_Program_Folders()
{
    Exe_Path = ExeFolder();
    Master_Path = PathJoin(Exe_Path, Master_Folder_Name);
    Projects_Path = PathJoin(Exe_Path, Projects_Folder_Name);
    Language_Path = PathJoin(Exe_Path, Language_Folder_Name);
    for (const QString& folder : {Master_Path, Projects_Path, Language_Path}) {
        if (!DirectoryExists(folder))
            QDir().mkdir(folder);
    }
}

void Set_Identity()
{
    Main_Caption = Main_Caption_Text;
    SW_Code = SW_Code_Text;
    SW_Desc = SW_Desc_Text;
}

bool Is_Plain_Folder_Name(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

bool Reopen_Last_Project()
{
    if (Is_Plain_Folder_Name(Project_Name) && DirectoryExists(PathJoin(Projects_Path, Project_Name))) {
        Project_Path = PathJoin(Projects_Path, Project_Name);
        return true;
    }
    Project_Path.clear();
    return false;
}

// ---- settings file ------------------------------------------------------------

namespace {
// The settings file holds seven short values; a file far larger is not one.
constexpr qint64 Max_Setting_File_Size = 1024 * 1024;

void Setting_Defaults()
{
    Project_Name.clear();
    Project_Path.clear();
    Last_IP_Address = Default_IP_Address;
    Language_Name = Default_Language_Name;
    Enable_Internet = false;
    Enable_Update = false;
    Enable_Jump_Field_Tables = false;
    Double_Click_Auto_Size = false;
}

// The text of group/child under the root, or `def` when either is missing.
QString Leaf(const XmlNode& root, const char* group, const char* child, const QString& def)
{
    const XmlNode g = root.FindChild(QString::fromLatin1(group));
    if (g.IsNull())
        return def;
    const XmlNode c = g.FindChild(QString::fromLatin1(child));
    if (c.IsNull())
        return def;
    return c.Text();
}

bool Flag(const XmlNode& root, const char* child)
{
    return Leaf(root, "lastinternet", child, QString()) == QLatin1String("1");
}
} // namespace

QString Settings_File_Path() { return PathJoin(Exe_Path, Settings_File_Name); }

void Read_Setting_Bytes(const QByteArray& bytes)
{
    Setting_Defaults();
    TXMLDocument doc;
    try {
        doc.LoadFromBytes(bytes);
    } catch (const Exception&) {
        return;  // not well-formed: every default, as for a missing file
    }
    // The root is the document's first node; a leading XML declaration (or
    // another prolog node) is passed over.
    XmlNode root;
    for (const XmlNode& n : doc.Nodes()) {
        if (n.IsElement() || n.IsComment()) {
            root = n;
            break;
        }
    }
    if (root.IsNull() || !root.IsElement())
        return;
    Project_Name = Leaf(root, "lastproj", "projectname", QString());
    Last_IP_Address = Leaf(root, "lastipadd", "ipaddress", Default_IP_Address);
    Language_Name = Leaf(root, "lastlang", "language", Default_Language_Name);
    Enable_Internet = Flag(root, "enable_internet");
    Enable_Update = Flag(root, "enable_update");
    Enable_Jump_Field_Tables = Flag(root, "enable_jump_field_tables");
    Double_Click_Auto_Size = Flag(root, "Double_Click_Auto_Size");
}

void Read_Setting()
{
    const QString path = Settings_File_Path();
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > Max_Setting_File_Size) {
        Setting_Defaults();
        return;
    }
    QByteArray bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const Exception&) {
        Setting_Defaults();
        return;
    }
    Read_Setting_Bytes(bytes);
}

QByteArray Setting_Bytes()
{
    TXMLDocument doc;
    XmlNode root = doc.AddRoot(QStringLiteral("Conf_Settings"));
    root.AddChild(QStringLiteral("lastproj")).AddChild(QStringLiteral("projectname"), Project_Name);
    root.AddChild(QStringLiteral("lastipadd")).AddChild(QStringLiteral("ipaddress"), Last_IP_Address);
    root.AddChild(QStringLiteral("lastlang")).AddChild(QStringLiteral("language"), Language_Name);
    XmlNode internet = root.AddChild(QStringLiteral("lastinternet"));
    const auto bit = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
    internet.AddChild(QStringLiteral("enable_internet"), bit(Enable_Internet));
    internet.AddChild(QStringLiteral("enable_update"), bit(Enable_Update));
    internet.AddChild(QStringLiteral("enable_jump_field_tables"), bit(Enable_Jump_Field_Tables));
    internet.AddChild(QStringLiteral("Double_Click_Auto_Size"), bit(Double_Click_Auto_Size));
    return doc.SaveToBytes();
}

void Save_Setting() { WriteFileAtomic(Settings_File_Path(), Setting_Bytes()); }
