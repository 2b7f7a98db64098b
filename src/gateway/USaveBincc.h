#pragma once
// The configuration image builder: turns a project's four XML files
// (ParGen.xml, CAN_Rec_Frames.xml, CAN_Send_Frames.xml, LoRaWAN_Gateway.xml)
// into the two images the gateway is loaded with:
//   bank1.bin  the 2048-byte general block (loaded at 0x07000);
//   bank2.bin  the 1024-entry CAN frame table (loaded at 0x80000), then the
//              LoRaWAN section (0x88000) ending with the concentrator text.
// All numbers in the images are little-endian.
//
// Compile_Banks builds both images in memory and throws an Exception
// (EXMLError for a project file that does not parse, EBankError for a
// configuration that cannot give a valid image); Save_Banks writes both files
// or neither and throws EFileError when it cannot. Every build starts from
// scratch: nothing of an earlier build carries over.
#include "platform/Exception.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// A configuration the builder refuses (the message says what to correct).
class EBankError : public Exception {
public:
    using Exception::Exception;
};

// Device addresses and sizes of the images.
constexpr uint32_t Bank1_Device_Address = 0x07000;
constexpr uint32_t Bank2_Device_Address = 0x80000;
constexpr uint32_t LoRaWAN_Section_Address = 0x88000;
constexpr int General_Block_Size = 2048;
constexpr int CAN_Table_Entries = 1024;
constexpr int CAN_Entry_Size = 32;
constexpr int CAN_Table_Size = CAN_Table_Entries * CAN_Entry_Size; // 32768
constexpr int Bank2_Capacity = 524288;
constexpr int LoRaWAN_Header_Size = 36;
constexpr int LoRaWAN_Device_Size = 96;
constexpr int LoRaWAN_Rule_Size = 24;
constexpr int LoRaWAN_Min_Device_Slots = 100;

// The four project files a build reads. A file that does not exist is
// skipped, except ParGen.xml, without which the build is refused.
struct TBank_Files {
    QString ParGen_File;
    QString CAN_Rec_Frames_File;
    QString CAN_Send_Frames_File;
    QString LoRaWAN_Gateway_File;

    // The four files inside a project folder.
    static TBank_Files InProject(const QString& projectFolder);
};

// The two images of one build.
struct TBank_Images {
    QByteArray Bank1; // always 2048 bytes
    QByteArray Bank2; // 32768 bytes of CAN table + the LoRaWAN section
};

// Builds both images from the project folder's files (or the given files).
TBank_Images Compile_Banks(const QString& projectFolder);
TBank_Images Compile_Banks(const TBank_Files& files);

// Writes bin/bank1.bin and bin/bank2.bin into the project folder: both files
// are replaced, or (on any failure) neither. The bin folder must exist.
void Save_Banks(const QString& projectFolder, const TBank_Images& images);

// ---------------------------------------------------------------------------
// The records of one build.

struct TCAN_Frame_Entry {
    uint32_t COB_ID = 0;          // bit 31 set for a 29-bit frame
    uint32_t Send_Time = 0;       // ms, send frames
    uint32_t Receive_Timeout = 0; // ms, receive frames, 0 = none
    uint8_t Send_Flags = 0;       // 1 send frame, 2 on change, 4 on timer, 8 on command
    uint8_t Data_Length = 0;
    std::array<uint16_t, 8> Byte_Position{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
};

struct TLoRaWAN_Device {
    std::array<uint8_t, 8> DevEUI{};
    std::array<uint8_t, 8> JoinEUI{};
    std::array<uint8_t, 16> DevNAME{};
    std::array<uint8_t, 16> NwkSKey{};
    std::array<uint8_t, 16> AppSKey{};
    std::array<uint8_t, 16> AppKey{};
    std::array<uint8_t, 4> DevADDR{};
    uint32_t options = 0; // +1 class B, +2 class C, 0x20 filled slot, 0x100 over the air
    uint32_t timeout = 0;
    uint8_t DL_settings = 0;
};

struct TLoRaWAN_Rule {
    uint16_t num_device = 0;
    uint16_t port = 0;
    uint16_t start_test = 0;
    uint16_t len_test = 0;
    uint32_t data_test_add = 0;
    QByteArray data_test; // test bytes, stored after the rules
    uint32_t time_poll = 0;
    uint16_t byte_offset_frame = 0;
    uint16_t byte_offset_memory = 0;
    uint16_t num_bytes = 0;
    uint16_t options = 0; // downlink: 8, +1 on change, +2 on command, +4 on timer
};

struct TLoRaWAN_Infos {
    uint32_t Num_Devices = 0;
    uint32_t Num_Rules = 0;
    uint32_t Address_DevList = 0;
    uint32_t Address_RuleList = 0;
    uint32_t Address_ConfFile = 0;
    uint32_t opzioni_funzionamento = 0; // 4369 gateway, 8448 end node
    uint8_t RF_Band = 0;                // 0 EU868, 1 US915, 2 KR920, 3 AS923
    uint8_t DataRate = 0;
    uint8_t Adaptive_DataRate = 0;
    uint8_t Transmission_Type = 0;
    uint32_t position_diagnostic = 0;
    uint8_t Freq_SubBand = 0;
    std::vector<TLoRaWAN_Device> Devices_List;
    std::vector<TLoRaWAN_Rule> Rules_List;
};

struct TLoRaWAN_ParGen {
    bool ModeMaster = true;
    int32_t RF_Band = 0;
    QString Server_Add;
    QString Server_Port_Up;
    QString Server_Port_Down;
    QString KA_Interval;
    QString NetworkType = QStringLiteral("false");
    std::array<uint8_t, 8> JoinEUI{};
    uint8_t Activation_method = 0;
    std::array<uint8_t, 16> DevNAME{};
    std::array<uint8_t, 4> Dev_Address{};
    std::array<uint8_t, 16> NwkSKey{};
    std::array<uint8_t, 16> AppSKey{};
    std::array<uint8_t, 16> AppKey{};
    uint8_t LoRaWAN_Class = 0;
};

class XmlNode;

// One build. Compile_Banks makes a fresh builder for every build; the steps
// are public so that each can be checked by itself.
class TBank_Builder {
public:
    std::array<uint8_t, General_Block_Size> General_Block{};
    std::array<TCAN_Frame_Entry, CAN_Table_Entries> CAN_Table{};
    TLoRaWAN_ParGen LoRaWAN_ParGen;
    TLoRaWAN_Infos LoRaWAN_Infos;
    QStringList Forwarder_Conf;

    TBank_Images Build_Banks(const TBank_Files& files);

    // General block.
    void Init_General_Block();
    void Read_ParGen_File(const QString& path);
    // Adds the checksum and appends the 2048 bytes.
    void Write_General_Block(QByteArray& out);

    // CAN frame table.
    void Clear_CAN_Table();
    int Read_CAN_Frames(const QString& receivePath, const QString& sendPath);
    void Write_CAN_Table(QByteArray& out) const;

    // LoRaWAN section.
    void Read_ParGen_LoRaWAN(const XmlNode& root);
    void Read_LoRaWAN_Gateway_File(const QString& path, uint32_t base);
    void Build_Forwarder_Conf();
    // The section's size in bytes, checked against the capacity before writing.
    qsizetype LoRaWAN_Section_Size() const;
    void Write_LoRaWAN_Section(QByteArray& out) const;

    uint8_t RX2_Datarate_Code(const QString& text, uint8_t def) const;

private:
    void Read_CAN_File(const QString& path, bool sendFile, int& index);
    // Refuses server ports and keep-alive texts that are no decimal integers.
    void Check_Server_Numbers();
};

// ---------------------------------------------------------------------------
// Conversions shared by the builder's parts.

// A text stored into an image: one byte per UTF-16 unit, its low byte for
// characters up to U+00FF and "?" above.
uint8_t Image_Char(QChar c);

// A pair of hex digits as one byte, 0 when either is no hex digit.
uint8_t Hex_Pair(QChar high, QChar low);

// "0" characters in front of a text shorter than `width`.
QString Pad_Hex_Text(const QString& text, int width);
// Trims the text, pads it to twice the field's size and stores it pair by
// pair (a pair that is no hex number gives 0); `reversed` puts the first pair
// into the last byte.
void Parse_Hex_Field(const QString& text, uint8_t* field, int size, bool reversed);

bool Is_Public_Network(const QString& text);
bool Is_Confirmed_Transmission(const QString& text);
bool Is_OTAA(const QString& text);

// The concentrator text's bytes as stored in the image: every line followed
// by 0x0A, then 0x00.
QByteArray Forwarder_Conf_Bytes(const QStringList& lines);
// A text as a JSON string body (quotes, backslashes and control characters
// escaped; ordinary host names unchanged).
QString Json_Escape(const QString& text);
