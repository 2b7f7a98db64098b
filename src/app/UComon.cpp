#include "app/UComon.h"

#include "grid/ExtCGrid.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/SerialPorts.h"
#include "platform/SysUtils.h"
#include "platform/XmlDoc.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

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
    // The root is the document element, whatever its name: a comment or an
    // instruction before it changes nothing.
    const XmlNode root = doc.DocumentElement();
    if (root.IsNull())
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

// ---- address and number converters ---------------------------------------------

namespace {
bool InRange(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }
} // namespace

bool Split_IP_Address(const QString& text, QString& a, QString& b, QString& c, QString& d)
{
    QString rest = Trim(text);
    QString* parts[3] = {&a, &b, &c};
    for (QString* part : parts) {
        const int dot = rest.indexOf(QLatin1Char('.'));
        if (dot < 0)
            return false;
        *part = Trim(rest.left(dot));
        rest = Trim(rest.mid(dot + 1));
    }
    d = rest;
    for (const QString* p : {&a, &b, &c, &d}) {
        if (!InRange(StrToIntDef(*p, 1000), 0, 255))
            return false;
    }
    return true;
}

bool IP_To_Bytes(const QString& text, uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d)
{
    if (text.isEmpty())
        return true;
    uint8_t* bytes[4] = {&a, &b, &c, &d};
    bool wrong = false;
    QString rest = text;
    for (int i = 0; i < 4; ++i) {
        const int dot = rest.indexOf(QLatin1Char('.'));
        // The last part is the whole rest; a part with no dot after it is empty.
        const QString part = i == 3 ? rest : (dot < 0 ? QString() : rest.left(dot));
        const int32_t v = StrToIntDef(part, -1);
        if (InRange(v, 0, 255)) {
            *bytes[i] = uint8_t(v);
        } else {
            *bytes[i] = 0;
            wrong = true;
        }
        if (dot >= 0)
            rest = rest.mid(dot + 1);
    }
    return wrong;
}

bool IP_Port_To_Bytes(const QString& text, uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d, uint16_t& port)
{
    a = b = c = d = 0;
    port = 0;
    int32_t v[4] = {0, 0, 0, 0};
    QString rest = text;
    for (int i = 0; i < 3; ++i) {
        const int dot = rest.indexOf(QLatin1Char('.'));
        if (dot < 0)
            return false;
        v[i] = StrToIntDef(Trim(rest.left(dot)), -1);
        rest = Trim(rest.mid(dot + 1));
        if (!InRange(v[i], 0, 255))
            return false;
    }
    const int colon = rest.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    v[3] = StrToIntDef(Trim(rest.left(colon)), -1);
    const int32_t p = StrToIntDef(Trim(rest.mid(colon + 1)), -1);
    if (!InRange(v[3], 0, 255) || !InRange(p, 0, 65535))
        return false;
    a = uint8_t(v[0]);
    b = uint8_t(v[1]);
    c = uint8_t(v[2]);
    d = uint8_t(v[3]);
    port = uint16_t(p);
    return true;
}

QChar Get_Decimal_Separator()
{
    const QChar sep = SystemFormatSettings().DecimalSeparator;
    return sep == QLatin1Char('.') ? sep : QChar(QLatin1Char(','));
}

bool Text_To_Float(const QString& text, QChar separator, float& value)
{
    QString t = text;
    if (separator == QLatin1Char('.'))
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    else
        t.replace(QLatin1Char('.'), QLatin1Char(','));
    // Read with the process's number format: its decimal separator is the only
    // one allowed.
    const QChar fs = SystemFormatSettings().DecimalSeparator;
    t = Trim(t);
    bool ok = true;
    for (QChar ch : t) {
        if ((ch == QLatin1Char('.') || ch == QLatin1Char(',')) && ch != fs)
            ok = false;
    }
    if (ok) {
        t.replace(fs, QLatin1Char('.'));
        static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
        ok = number.match(t).hasMatch();
    }
    double v = 0;
    if (ok)
        v = t.toDouble(&ok);
    if (ok && !(std::isfinite(v) && std::fabs(v) <= double(std::numeric_limits<float>::max())))
        ok = false;
    value = ok ? float(v) : 1.0f;
    return ok;
}

QStringList List_COM_Ports() { return ListSerialPorts(); }

int32_t Get_Interface_Names(QString& name1, QString& name2)
{
    name1.clear();
    name2.clear();
    return 1;
}

QString NodeType_To_Text(int32_t code)
{
    switch (code) {
    case 0: return QStringLiteral("Numeric");
    case 3: return QStringLiteral("String");
    case 4: return QStringLiteral("Guid");
    case 5: return QStringLiteral("ByteString");
    default: return QString();
    }
}

int32_t Text_To_NodeType(const QString& text)
{
    const QString t = text.toUpper();
    if (t == QLatin1String("STRING"))
        return 3;
    if (t == QLatin1String("GUID"))
        return 4;
    if (t == QLatin1String("BYTESTRING"))
        return 5;
    return 0;
}

QString NodeID_To_Text(const opcua_structure& node)
{
    const auto ansi = [](const char* p) { return p ? DecodeAnsi(QByteArray(p)) : QString(); };
    switch (node.identifierType) {
    case 0:
        return QString::number(node.numeric);
    case 3:
        return ansi(node.stringname);
    case 4: {
        QString tail;
        for (int i = 2; i < 8; ++i)
            tail += IntToHex(node.guide4[i], 2);
        return IntToHex(node.guide1, 8) + '-' + IntToHex(node.guide2, 4) + '-' + IntToHex(node.guide3, 4) + '-' +
               IntToHex(node.guide4[0], 2) + IntToHex(node.guide4[1], 2) + '-' + tail;
    }
    case 5:
        return ansi(node.byteString);
    default:
        return QString();
    }
}

QString VarType_To_Text(int32_t code)
{
    static const char* const names[] = {"Boolean", "Int8",   "UInt8",  "Int16",    "UInt16", "Int32",      "UInt32", "Int64",
                                        "UInt64",  "Float",  "Double", "String",   "DateTime", "Guid",   "ByteString"};
    if (code < 0 || code >= int32_t(std::size(names)))
        return QString();
    return QString::fromLatin1(names[code]);
}

namespace {
const char* const Authorizations[] = {"Anonymous", "Username and Password", "Certificate"};
const char* const SecurityTypes[] = {"None", "Sign", "Sign and Encrypt"};
const char* const SecurityPolicies[] = {"None", "Basic 128 RSA 15", "Basic 256", "Basic 256 SHA 256",
                                        "AES 128 SHA 256 RSA OAEP", "AES 256 SHA 256 RSA PSS"};

// Code to text: codes beyond the list (or negative) take the last text.
template <size_t N> QString CodeText(const char* const (&names)[N], int32_t code)
{
    return QString::fromLatin1(names[(code >= 0 && code < int32_t(N)) ? code : int32_t(N) - 1]);
}
// Exact text to code: any other text takes the last code.
template <size_t N> int32_t TextCode(const char* const (&names)[N], const QString& text)
{
    for (size_t i = 0; i + 1 < N; ++i) {
        if (text == QLatin1String(names[i]))
            return int32_t(i);
    }
    return int32_t(N) - 1;
}
} // namespace

QString Authorization_To_Text(int32_t code) { return CodeText(Authorizations, code); }
int32_t Text_To_Authorization(const QString& text) { return TextCode(Authorizations, text); }
QString SecurityType_To_Text(int32_t code) { return CodeText(SecurityTypes, code); }
int32_t Text_To_SecurityType(const QString& text) { return TextCode(SecurityTypes, text); }
QString SecurityPolicy_To_Text(int32_t code) { return CodeText(SecurityPolicies, code); }
int32_t Text_To_SecurityPolicy(const QString& text) { return TextCode(SecurityPolicies, text); }

int32_t Check_OID(const QString& text)
{
    if (text.size() > 128)
        return 1;
    for (QChar ch : text) {
        if (!(ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) && ch != QLatin1Char('.'))
            return 2;
    }
    if (text.isEmpty())
        return 5;  // nothing but one empty arc
    if (text.startsWith(QLatin1Char('.')))
        return 3;
    if (text.endsWith(QLatin1Char('.')))
        return 4;
    if (text.contains(QLatin1String("..")))
        return 5;
    for (const QString& arc : text.split(QLatin1Char('.'))) {
        int first = 0;
        while (first < arc.size() - 1 && arc[first] == QLatin1Char('0'))
            ++first;
        const QString digits = arc.mid(first);
        if (digits.size() > 10 || digits.toULongLong() > 0xFFFFFFFFull)
            return 6;
    }
    return 0;
}

int32_t Check_SNMPv3_User_Pass(const QString& text, bool allowShort)
{
    if (text.size() > 15)
        return 1;
    if (text.size() < (allowShort ? 1 : 8))
        return 2;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')))
            return 3;
    }
    return 0;
}

int32_t Security_Level_Flags(const QString& text)
{
    const QString t = Trim(text.toUpper());
    if (t == QLatin1String("AUTH NOPRIV"))
        return 1;
    if (t == QLatin1String("AUTH PRIV"))
        return 3;
    if (t.isEmpty())
        return -1;
    return 0;
}

int32_t Check_KNX_Address(const QString& text, bool group, bool allowZero)
{
    const auto num = [](const QString& s) { return StrToIntDef(Trim(s), -1); };
    if (!group) {
        if (text.contains(QLatin1Char('/')))
            return 1;
        if (!text.contains(QLatin1Char('.')))
            return InRange(num(text), 1, 65535) ? 0 : 1;
        const QStringList p = text.split(QLatin1Char('.'));
        if (p.size() != 3)
            return 1;
        const int32_t area = num(p[0]), line = num(p[1]), device = num(p[2]);
        if (!InRange(area, 0, 15) || !InRange(line, 0, 15) || !InRange(device, 0, 255))
            return 1;
        if (area == 0 && line == 0 && device == 0 && !allowZero)
            return 1;
        return 0;
    }
    if (text.contains(QLatin1Char('.')))
        return 1;
    if (!text.contains(QLatin1Char('/')))
        return InRange(num(text), 1, 65535) ? 0 : 1;
    const QStringList p = text.split(QLatin1Char('/'));
    if (p.size() == 2) {
        const int32_t main = num(p[0]), sub = num(p[1]);
        return InRange(main, 0, 31) && InRange(sub, 0, 2047) && (main != 0 || sub != 0) ? 0 : 1;
    }
    if (p.size() == 3) {
        const int32_t main = num(p[0]), middle = num(p[1]), sub = num(p[2]);
        return InRange(main, 0, 31) && InRange(middle, 0, 7) && InRange(sub, 0, 255) && (main != 0 || middle != 0 || sub != 0)
                   ? 0
                   : 1;
    }
    return 1;
}

bool Is_Group_Address(const QString& text) { return !text.contains(QLatin1Char('.')); }

// ---- process starter ---------------------------------------------------------------

int32_t Start_Program_Limit_ms = 150000;

TStartResult Start_Program(const QString& NomeSW, const QString& Parameter, uint8_t tipo)
{
    (void)tipo;
    const QString folder = Exe_Path.isEmpty() ? ExeFolder() : Exe_Path;
    // Parameter is a command line: blanks separate the arguments, quotes keep
    // an argument with blanks together.
    const ProcessRun run = RunProgramAndWait(NomeSW, QProcess::splitCommand(Parameter), folder, Start_Program_Limit_ms);
    TStartResult r;
    r.Started = run.started;
    r.Error = run.error;
    r.Finished = run.finished;
    r.ExitCode = run.exitCode;
    r.Pid = run.pid;
    return r;
}

// ---- table-row helpers -------------------------------------------------------

namespace {

// Columns 1 .. W - 1 of a grid, W its full width.
int Full_Width(TExtColumnGrid* grid) { return grid->ColCount() + grid->NumHiddenColumns(); }

bool Is_Data_CheckBox_Column(TExtColumnGrid* grid, int c)
{
    return c < grid->Columns().Count() && grid->Columns().Items(c).Editor() == edDataCheckBox;
}

// A row is in use when a column other than a data check box holds more than
// blanks.
bool Row_In_Use(TExtColumnGrid* grid, int row)
{
    const int w = Full_Width(grid);
    for (int c = 1; c < w; ++c)
        if (!Is_Data_CheckBox_Column(grid, c) && !grid->Cells(c, row).trimmed().isEmpty()) return true;
    return false;
}

void Copy_Cells(TExtColumnGrid* grid, int from, int to)
{
    const int w = Full_Width(grid);
    for (int c = 1; c < w; ++c) grid->SetCells(c, to, grid->Cells(c, from));
}

void Clear_Cells(TExtColumnGrid* grid, int row, bool enable)
{
    const int w = Full_Width(grid);
    for (int c = 1; c < w; ++c) grid->SetCells(c, row, c == 1 && enable ? QStringLiteral("Y") : QString());
}

} // namespace

void Grid_Copy_Row(TExtColumnGrid* grid, int row)
{
    SL_Copy_Row.clear();
    const int w = Full_Width(grid);
    for (int c = 1; c < w; ++c) SL_Copy_Row.append(grid->Cells(c, row));
    Copy_Row_Is_CheckBox.clear();
}

void Grid_Paste_Row(TExtColumnGrid* grid, int row, bool copied)
{
    if (!copied) {
        MessageDlg(SL_Lang[1502], TMsgDlgType::mtError, mbOK);
        return;
    }
    const int w = Full_Width(grid);
    if (w != SL_Copy_Row.size() + 1) {
        MessageDlg(SL_Lang[1501], TMsgDlgType::mtError, mbOK);
        return;
    }
    if (Row_In_Use(grid, row) && MessageDlg(SL_Lang[1500], TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
        return;
    for (int c = 1; c < w; ++c) grid->SetCells(c, row, SL_Copy_Row[c - 1]);
}

void Grid_Delete_Row(int row, TExtColumnGrid* grid)
{
    const int last = grid->RowCount() - 1;
    if (row < 1 || row > last) return;
    for (int r = row; r < last; ++r) Copy_Cells(grid, r + 1, r);
    Clear_Cells(grid, last, false);
}

bool Grid_Insert_Row(int row, TExtColumnGrid* grid, bool enable)
{
    const int last = grid->RowCount() - 1;
    if (row < 1 || row > last) return false;
    if (row < last && Row_In_Use(grid, last)
        && MessageDlg(SL_Lang[1506], TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
        return false;
    for (int r = last - 1; r >= row; --r) Copy_Cells(grid, r, r + 1);
    Clear_Cells(grid, row, enable);
    return true;
}

// ---- the check-box family: string grids whose cells carry their own boxes --

namespace {

// One cell as the check-box routines move it: its box state or its text, and
// its read-only flag.
struct TBoxCell {
    bool HasBox = false;
    bool Ticked = false;
    QString Text;
    bool ReadOnly = false;
};

TBoxCell Read_Box_Cell(TExtStringGrid* grid, int c, int r)
{
    TBoxCell cell;
    cell.HasBox = grid->HasCheckBox(c, r);
    if (cell.HasBox)
        grid->GetCheckBoxState(c, r, cell.Ticked);
    else
        cell.Text = grid->Cells(c, r);
    cell.ReadOnly = grid->CellProperties(c, r)->ReadOnly();
    return cell;
}

void Write_Box_Cell(TExtStringGrid* grid, int c, int r, const TBoxCell& cell)
{
    if (grid->HasCheckBox(c, r))
        grid->SetCheckBoxState(c, r, cell.Ticked);
    else
        grid->SetCells(c, r, cell.Text);
    grid->CellProperties(c, r)->SetReadOnly(cell.ReadOnly);
}

void Move_Box_Row(TExtStringGrid* grid, int from, int to)
{
    const int w = grid->AllColCount();
    for (int c = 1; c < w; ++c) Write_Box_Cell(grid, c, to, Read_Box_Cell(grid, c, from));
}

// Empties the row: texts emptied, boxes unticked but the one of column 1
// (ticked when enable); every cell read-only or editable as asked.
void Clear_Box_Row(TExtStringGrid* grid, int row, bool enable, bool readOnly)
{
    const int w = grid->AllColCount();
    for (int c = 1; c < w; ++c) {
        TBoxCell cell;
        cell.Ticked = c == 1 && enable;
        cell.ReadOnly = readOnly;
        Write_Box_Cell(grid, c, row, cell);
    }
}

// In use: a cell without a box holds any text (blanks count).
bool Box_Row_In_Use(TExtStringGrid* grid, int row)
{
    const int w = grid->AllColCount();
    for (int c = 1; c < w; ++c)
        if (!grid->HasCheckBox(c, row) && !grid->Cells(c, row).isEmpty()) return true;
    return false;
}

} // namespace

void Grid_Copy_Row_CheckBox(TExtStringGrid* grid, int row)
{
    SL_Copy_Row.clear();
    const int w = grid->AllColCount();
    Copy_Row_Is_CheckBox.assign(size_t(std::max(0, w - 1)), false);
    for (int c = 1; c < w; ++c) {
        const TBoxCell cell = Read_Box_Cell(grid, c, row);
        Copy_Row_Is_CheckBox[size_t(c - 1)] = cell.HasBox;
        SL_Copy_Row.append(cell.HasBox ? QString(cell.Ticked ? QStringLiteral("Y") : QStringLiteral("N")) : cell.Text);
    }
}

void Grid_Paste_Row_CheckBox(TExtStringGrid* grid, int row, bool copied)
{
    if (!copied) {
        MessageDlg(SL_Lang[1502], TMsgDlgType::mtError, mbOK);
        return;
    }
    const int w = grid->AllColCount();
    if (w != SL_Copy_Row.size() + 1) {
        MessageDlg(SL_Lang[1501], TMsgDlgType::mtError, mbOK);
        return;
    }
    if (Box_Row_In_Use(grid, row) && MessageDlg(SL_Lang[1500], TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
        return;
    for (int c = 1; c < w; ++c) {
        // Columns the last copy did not record as boxes (a plain copy records
        // none) are pasted as texts.
        const bool box = size_t(c - 1) < Copy_Row_Is_CheckBox.size() && Copy_Row_Is_CheckBox[size_t(c - 1)];
        if (box)
            grid->SetCheckBoxState(c, row, SL_Copy_Row[c - 1] == QStringLiteral("Y"));
        else
            grid->SetCells(c, row, SL_Copy_Row[c - 1]);
    }
}

void Grid_Delete_Row_CheckBox(int row, TExtStringGrid* grid, bool enable)
{
    const int last = grid->RowCount() - 1;
    if (row < 1 || row > last) return;
    for (int r = row; r < last; ++r) Move_Box_Row(grid, r + 1, r);
    // A delete frees one row at the end.
    Clear_Box_Row(grid, last, enable, true);
}

bool Grid_Insert_Row_CheckBox(int row, TExtStringGrid* grid, bool enable)
{
    const int last = grid->RowCount() - 1;
    if (row < 1 || row > last) return false;
    if (row < last && Box_Row_In_Use(grid, last)
        && MessageDlg(SL_Lang[1506], TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
        return false;
    for (int r = last - 1; r >= row; --r) Move_Box_Row(grid, r, r + 1);
    Clear_Box_Row(grid, row, enable, false);
    return true;
}

void Grid_Enter_Next_Cell(TExtStringGrid* grid, QChar& key)
{
    if (!Enable_Jump_Field_Tables || key != QChar(13)) return;
    if (grid->Col() > 0 && grid->Row() > 0) {
        if (grid->Col() < grid->ColCount() - 1) {
            grid->SetCol(grid->Col() + 1);
        } else {
            const int next = grid->Row() < grid->RowCount() - 1 ? grid->Row() + 1 : 1;
            grid->SetCol(1);
            grid->SetRow(next);
        }
    }
    key = QChar(0);
}

void Grid_DblClick_AutoSize(TExtStringGrid* grid, int row, int col)
{
    if (!Double_Click_Auto_Size || row != 0) return;
    grid->AutoSizeCol(col, 0);
}
