// Image builder: the build, the general block (bank1.bin), the CAN frame
// table (start of bank2.bin) and the writing of both files.
#include "gateway/USaveBincc.h"
#include "gateway/USaveBincc_Xml.h"

#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "platform/XmlDoc.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <string_view>

namespace {

void Put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

void Append16(QByteArray& out, uint16_t v)
{
    out.append(char(v & 0xFF)).append(char(v >> 8));
}

void Append32(QByteArray& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xFF));
}

// General block offsets.
constexpr int GB_CAN_Bitrate = 0x000;
constexpr int GB_CAN_Bitrate2 = 0x004;
constexpr int GB_Serial_Rate = 0x00C;
constexpr int GB_IP = 0x028;
constexpr int GB_Mask = 0x02C;
constexpr int GB_Gateway = 0x030;
constexpr int GB_Port_A = 0x034;
constexpr int GB_Port_B = 0x036;
constexpr int GB_Port_C = 0x038;
constexpr int GB_CAN_Count = 0x070;
constexpr int GB_CAN_Table_Address = 0x0C8;
constexpr int GB_Eights = 0x1B4;
constexpr int GB_Eth_Flags = 0x4E8;
constexpr int GB_Device_Name = 0x514;
constexpr int GB_Secondary_DNS = 0x53C;
constexpr int GB_Primary_DNS = 0x58C;
constexpr int GB_Version = 0x66C;
constexpr int GB_LoRaWAN_Address = 0x674;
constexpr int GB_Checksum = 0x7FC;

constexpr uint32_t CAN_Bitrates[10] = {10000, 20000, 50000, 62500, 100000, 125000, 250000, 500000, 800000, 1000000};

// The text of an element of the root, or nothing when it is missing.
std::optional<QString> ElementText(const XmlNode& root, const char* name)
{
    if (root.IsNull() || !root.IsElement()) return std::nullopt;
    const XmlNode n = root.FindChild(QString::fromLatin1(name));
    if (n.IsNull()) return std::nullopt;
    return n.Text();
}

int32_t ElementInt(const XmlNode& root, const char* name, int32_t def)
{
    const auto t = ElementText(root, name);
    return t ? StrToIntDef(*t, def) : def;
}

// A value of a project file that does not fit its field in the image: the
// build is refused, naming the file, the row (for the table files) and the
// field, before anything is written.
[[noreturn]] void Refuse_Value(const QString& path, int row, const QString& field, const QString& text, const char* range)
{
    const QString file = QFileInfo(path).fileName();
    const QString where = row > 0 ? QStringLiteral("%1, row %2").arg(file).arg(row) : file;
    throw EBankError(QStringLiteral("%1: the field \"%2\" holds \"%3\", which is outside %4.\n"
                                    "Nothing was written. Please correct the value, then update the device again.")
                         .arg(where, field, text, QString::fromLatin1(range)));
}

// Where a value is read from, for Refuse_Value.
struct Field_Place {
    const QString& path;
    int row; // 0 in ParGen.xml, which has no rows
};

inline QString Shown(const QString& text) { return text; }
inline QString Shown(const char* text) { return XmlText(text); }

// The integer of a text when it lies in lo .. hi; nothing when the text is
// no integer (the reader's default applies). An integer outside the range,
// however large, refuses the build.
template <class Text>
std::optional<int64_t> Checked_Integer(const Text& text, int64_t lo, int64_t hi, const Field_Place& at, const char* field,
                                       const char* range)
{
    const std::optional<int64_t> v = TryStrToInt64(text);
    if (v && *v >= lo && *v <= hi) return v;
    if (!v && !IsIntegerForm(text)) return std::nullopt;
    Refuse_Value(at.path, at.row, QString::fromLatin1(field), Shown(text), range);
}

// Four octets of an address from four elements, each with its default when
// missing or no integer; a number outside 0 .. 255 refuses the build.
void ReadOctets(uint8_t* dst, const XmlNode& root, const char* prefix, const int (&defaults)[4], const QString& path)
{
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = QByteArray(prefix) + QByteArray::number(i + 1);
        const auto text = ElementText(root, name.constData());
        const auto v = text ? Checked_Integer(*text, 0, 255, {path, 0}, name.constData(), "0 .. 255") : std::nullopt;
        dst[i] = uint8_t(v ? *v : defaults[i]);
    }
}

} // namespace

TBank_Files TBank_Files::InProject(const QString& projectFolder)
{
    TBank_Files f;
    f.ParGen_File = PathJoin(projectFolder, QStringLiteral("ParGen.xml"));
    f.CAN_Rec_Frames_File = PathJoin(projectFolder, QStringLiteral("CAN_Rec_Frames.xml"));
    f.CAN_Send_Frames_File = PathJoin(projectFolder, QStringLiteral("CAN_Send_Frames.xml"));
    f.LoRaWAN_Gateway_File = PathJoin(projectFolder, QStringLiteral("LoRaWAN_Gateway.xml"));
    return f;
}

uint8_t Image_Char(QChar c)
{
    const char16_t u = c.unicode();
    return u > 0xFF ? uint8_t('?') : uint8_t(u);
}

bool Is_Word(const char* text, std::string_view word)
{
    if (!Is_Ascii(text)) return Trim(XmlText(text)).toUpper() == QLatin1StringView(word.data(), qsizetype(word.size()));
    const char* b = text;
    const char* e = text + std::strlen(text);
    while (b < e && uint8_t(*b) <= ' ') ++b;
    while (e > b && uint8_t(e[-1]) <= ' ') --e;
    if (size_t(e - b) != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = (b[i] >= 'a' && b[i] <= 'z') ? char(b[i] - 'a' + 'A') : b[i];
        if (c != word[i]) return false;
    }
    return true;
}

bool Is_Ascii(const char* text)
{
    for (; *text; ++text)
        if (uint8_t(*text) >= 0x80) return false;
    return true;
}

// ---------------------------------------------------------------------------
// Build

TBank_Images Compile_Banks(const QString& projectFolder) { return Compile_Banks(TBank_Files::InProject(projectFolder)); }

TBank_Images Compile_Banks(const TBank_Files& files)
{
    TBank_Builder builder;
    return builder.Build_Banks(files);
}

TBank_Images TBank_Builder::Build_Banks(const TBank_Files& files)
{
    if (!FileExists(files.ParGen_File))
        throw EBankError(QStringLiteral(
            "The communication parameters of this configuration are not set (ParGen.xml is missing).\n"
            "Please set them first with \"Set Communication\", then update the device again."));

    Init_General_Block();
    LoRaWAN_ParGen = TLoRaWAN_ParGen();
    LoRaWAN_Infos = TLoRaWAN_Infos();
    Forwarder_Conf.clear();
    Clear_CAN_Table();
    Read_ParGen_File(files.ParGen_File);
    Check_Server_Numbers();
    Put32(&General_Block[GB_CAN_Table_Address], Bank2_Device_Address);
    Put32(&General_Block[GB_LoRaWAN_Address], LoRaWAN_Section_Address);
    Put32(&General_Block[GB_CAN_Count], uint32_t(Read_CAN_Frames(files.CAN_Rec_Frames_File, files.CAN_Send_Frames_File)));
    Read_LoRaWAN_Gateway_File(files.LoRaWAN_Gateway_File, LoRaWAN_Section_Address);

    const qsizetype bank2Size = CAN_Table_Size + LoRaWAN_Section_Size();
    if (bank2Size > Bank2_Capacity)
        throw EBankError(QStringLiteral("The configuration is too large for the device: bank2.bin would need %1 bytes, "
                                        "the device holds %2. Remove LoRaWAN devices, rules or test values.")
                             .arg(bank2Size)
                             .arg(Bank2_Capacity));

    TBank_Images images;
    images.Bank1.reserve(General_Block_Size);
    Write_General_Block(images.Bank1);
    images.Bank2.reserve(bank2Size);
    Write_CAN_Table(images.Bank2);
    Write_LoRaWAN_Section(images.Bank2);
    return images;
}

// ---------------------------------------------------------------------------
// General block

void TBank_Builder::Init_General_Block()
{
    General_Block.fill(0);
    uint8_t* g = General_Block.data();
    Put32(g + GB_CAN_Bitrate, 250000);
    Put32(g + GB_CAN_Bitrate2, 250000);
    Put32(g + GB_Serial_Rate, 9600);
    const uint8_t ip[4] = {192, 168, 2, 205}, mask[4] = {255, 255, 255, 0};
    std::copy(ip, ip + 4, g + GB_IP);
    std::copy(mask, mask + 4, g + GB_Mask);
    std::fill(g + GB_Gateway, g + GB_Gateway + 4, uint8_t(255));
    Put16(g + GB_Port_A, 10000);
    Put16(g + GB_Port_B, 10001);
    Put16(g + GB_Port_C, 10001);
    std::fill(g + GB_Eights, g + GB_Eights + 8, uint8_t(8));
}

void TBank_Builder::Read_ParGen_File(const QString& path)
{
    if (!FileExists(path)) return;
    TXMLDocument doc;
    doc.LoadFromFile(path);
    const XmlNode root = doc.DocumentElement();
    uint8_t* g = General_Block.data();

    std::fill(g + GB_Version, g + GB_Version + 8, uint8_t(0));
    const char version[] = "1.000";
    std::copy(version, version + 5, g + GB_Version);

    if (const auto name = ElementText(root, "Eth_Conn_Device_Name")) {
        const qsizetype n = std::min<qsizetype>(name->size(), 31);
        for (qsizetype i = 0; i < n; ++i) g[GB_Device_Name + i] = Image_Char(name->at(i));
    }

    Put16(g + GB_Eth_Flags, ElementText(root, "Eth_Conn_DHCP_Cable") == QStringLiteral("1") ? 1 : 0);

    if (ElementText(root, "Eth_Conn_Enable_DNS") == QStringLiteral("1")) {
        ReadOctets(g + GB_Primary_DNS, root, "Eth_Conn_Primary_DNS", {8, 8, 8, 8}, path);
        ReadOctets(g + GB_Secondary_DNS, root, "Eth_Conn_Secondary_DNS", {8, 8, 4, 4}, path);
    }

    Read_ParGen_LoRaWAN(root);

    ReadOctets(g + GB_IP, root, "Ethernet_IP", {192, 168, 0, 10}, path);
    ReadOctets(g + GB_Mask, root, "Ethernet_SM", {255, 255, 255, 0}, path);
    // The gateway octets reach the image only while the gateway is enabled;
    // otherwise the device gets 255.255.255.255 whatever they hold.
    if (ElementText(root, "Ethernet_EN_GAT") == QStringLiteral("1"))
        ReadOctets(g + GB_Gateway, root, "Ethernet_GAT", {192, 168, 0, 1}, path);
    else
        std::fill(g + GB_Gateway, g + GB_Gateway + 4, uint8_t(255));

    const int32_t index = ElementInt(root, "CAN_BAUDRATE", 9);
    const uint32_t bitrate = (index >= 0 && index <= 9) ? CAN_Bitrates[index] : 1000000;
    Put32(g + GB_CAN_Bitrate, bitrate);
    Put32(g + GB_CAN_Bitrate2, bitrate);
}

void TBank_Builder::Write_General_Block(QByteArray& out)
{
    uint32_t sum = 0;
    for (int i = 0; i < GB_Checksum; ++i) sum += General_Block[i];
    Put32(&General_Block[GB_Checksum], sum);
    out.append(reinterpret_cast<const char*>(General_Block.data()), General_Block_Size);
}

// ---------------------------------------------------------------------------
// CAN frame table

void TBank_Builder::Clear_CAN_Table() { CAN_Table.fill(TCAN_Frame_Entry()); }

int TBank_Builder::Read_CAN_Frames(const QString& receivePath, const QString& sendPath)
{
    int index = 0;
    Read_CAN_File(receivePath, false, index);
    Read_CAN_File(sendPath, true, index);
    return index;
}

void TBank_Builder::Read_CAN_File(const QString& path, bool sendFile, int& index)
{
    if (!FileExists(path)) return;
    TXMLDocument doc;
    doc.LoadFromFile(path);
    static const char* const byteNames[8] = {"Byte1", "Byte2", "Byte3", "Byte4", "Byte5", "Byte6", "Byte7", "Byte8"};
    const auto isY = [](const char* v) { return v && std::strcmp(v, "Y") == 0; };

    int rowNumber = 0; // the row's number in the editor's table
    for (const pugi::xml_node node : doc.Raw().document_element().children()) {
        if (node.type() != pugi::node_element) continue;
        ++rowNumber;
        const Field_Place at{path, rowNumber};
        TAttribute_Reader row(node);
        if (const char* enable = row.Find("Enable"); enable && !isY(enable)) continue;
        if (index >= CAN_Table_Entries)
            throw EBankError(QStringLiteral("The CAN frame files enable more than %1 frames (received and sent together); "
                                            "the device's CAN table holds %1. Disable or remove frames.")
                                 .arg(CAN_Table_Entries));
        // A number that does not fit its field refuses the build; a text that
        // is no number leaves the field's default.
        const auto checked = [&row, &at](const char* name, int64_t hi, const char* range) -> std::optional<int64_t> {
            const char* v = row.Find(name);
            return v ? Checked_Integer(v, 0, hi, at, name, range) : std::nullopt;
        };
        TCAN_Frame_Entry& e = CAN_Table[size_t(index)];
        if (const auto id = checked("COBID", 0x1FFFFFFF, "0 .. 0x1FFFFFFF")) e.COB_ID = uint32_t(*id);
        if (const char* type = row.Find("CAN_Type")) {
            // Trimmed as the program trims: characters up to the blank at both ends.
            const char* b = type;
            const char* end = type + std::strlen(type);
            while (b < end && uint8_t(*b) <= ' ') ++b;
            while (end > b && uint8_t(end[-1]) <= ' ') --end;
            if (std::string_view(b, size_t(end - b)) == "2.0B (29 bits)") e.COB_ID |= 0x80000000u;
        }
        const auto dim = checked("Dim", 8, "0 .. 8");
        e.Data_Length = dim ? uint8_t(*dim) : 8;
        if (!sendFile) {
            const auto t = checked("TimeOut", 0xFFFFFFFF, "0 .. 4294967295");
            e.Receive_Timeout = t ? uint32_t(*t) : 0;
        } else {
            e.Send_Flags = 1;
            if (isY(row.Find("OnChange"))) e.Send_Flags |= 2;
            if (isY(row.Find("OnCMD"))) e.Send_Flags |= 8;
            if (isY(row.Find("OnTimer"))) e.Send_Flags |= 4;
            // The period matters only to a frame sent on the timer; the editor
            // checks it only then, so only then does it refuse the build.
            const char* timeText = row.Find("Time");
            std::optional<int64_t> t;
            if (timeText && (e.Send_Flags & 4))
                t = Checked_Integer(timeText, 0, 0xFFFFFFFF, at, "Time", "0 .. 4294967295");
            else if (timeText)
                t = TryStrToInt64(timeText);
            e.Send_Time = t ? uint32_t(*t) : 0;
        }
        for (int k = 1; k <= 8; ++k) {
            uint16_t pos = 0xFFFF;
            if (const char* v = row.Find(byteNames[k - 1])) pos = uint16_t(TryStrToInt(v).value_or(0xFFFF));
            if (e.Data_Length < k) pos = 0xFFFF;
            e.Byte_Position[size_t(k - 1)] = pos;
        }
        ++index;
    }
}

void TBank_Builder::Write_CAN_Table(QByteArray& out) const
{
    for (const TCAN_Frame_Entry& e : CAN_Table) {
        Append32(out, e.COB_ID);
        Append32(out, e.Send_Time);
        Append32(out, e.Receive_Timeout);
        out.append(char(0)).append(char(e.Send_Flags)).append(char(e.Data_Length)).append(char(0));
        for (uint16_t p : e.Byte_Position) Append16(out, p);
    }
}

// ---------------------------------------------------------------------------
// Writing both files

void Save_Banks(const QString& projectFolder, const TBank_Images& images)
{
    const QString bin = PathJoin(projectFolder, QStringLiteral("bin"));
    if (!DirectoryExists(bin))
        throw EFileError(QStringLiteral("Cannot write the configuration images: the folder \"%1\" does not exist.").arg(bin));
    const QString path1 = PathJoin(bin, QStringLiteral("bank1.bin"));
    const QString path2 = PathJoin(bin, QStringLiteral("bank2.bin"));

    // Both new files are written in full beside the old ones before either
    // replaces its old file.
    QSaveFile f1(path1), f2(path2);
    const auto prepare = [](QSaveFile& f, const QByteArray& bytes) {
        if (!f.open(QIODevice::WriteOnly))
            throw EFileError(QStringLiteral("Cannot create file \"%1\". %2").arg(f.fileName(), f.errorString()));
        if (f.write(bytes) != bytes.size()) {
            const QString why = f.errorString();
            f.cancelWriting();
            throw EFileError(QStringLiteral("Cannot write file \"%1\". %2").arg(f.fileName(), why));
        }
    };
    prepare(f1, images.Bank1);
    prepare(f2, images.Bank2);

    // Keep the old bank1.bin so that it can be put back if bank2.bin cannot
    // take its place.
    const bool had1 = FileExists(path1);
    QByteArray old1;
    if (had1) {
        QFile f(path1);
        if (!f.open(QIODevice::ReadOnly))
            throw EFileError(QStringLiteral("Cannot read file \"%1\". %2").arg(path1, f.errorString()));
        old1 = f.readAll();
    }
    if (!f1.commit()) throw EFileError(QStringLiteral("Cannot write file \"%1\". %2").arg(path1, f1.errorString()));
    if (!f2.commit()) {
        const QString why = f2.errorString();
        if (had1) {
            try {
                WriteFileAtomic(path1, old1);
            } catch (const EFileError&) {
            }
        } else {
            QFile::remove(path1);
        }
        throw EFileError(QStringLiteral("Cannot write file \"%1\". %2").arg(path2, why));
    }
}
