// fuzz-layer: kr_gateway
// The image builder over a project folder. The input holds the four project
// files, separated by lines "--8<--": ParGen.xml, CAN_Rec_Frames.xml,
// CAN_Send_Frames.xml, LoRaWAN_Gateway.xml (an empty part, or one missing
// from the end of the input, is a file missing from the folder). A build either is refused, the same
// way twice, or gives images that are self-consistent and the same twice.
#include "FuzzSupport.h"
#include "gateway/USaveBincc.h"
#include "platform/Files.h"

#include <QFile>
#include <QTemporaryDir>

namespace {
uint32_t U32(const QByteArray& b, qsizetype at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(b.at(at + i));
    return v;
}

void CheckImages(const TBank_Images& img)
{
    const QByteArray& g = img.Bank1;
    Require(g.size() == General_Block_Size, "bank1.bin is 2048 bytes");
    uint32_t sum = 0;
    for (int i = 0; i < 0x7FC; ++i) sum += uint8_t(g[i]);
    Require(U32(g, 0x7FC) == sum, "the checksum is the sum of the bytes");
    Require(U32(g, 0x0C8) == Bank2_Device_Address && U32(g, 0x674) == LoRaWAN_Section_Address, "table addresses");
    const uint32_t frames = U32(g, 0x070);
    Require(frames <= uint32_t(CAN_Table_Entries), "at most 1024 CAN frames");

    const QByteArray& b = img.Bank2;
    Require(b.size() <= Bank2_Capacity, "bank2.bin fits the device");
    const QByteArray cleared = QByteArray(16, '\0') + QByteArray(16, '\xFF');
    for (uint32_t e = frames; e < uint32_t(CAN_Table_Entries); ++e)
        Require(b.mid(qsizetype(e) * CAN_Entry_Size, CAN_Entry_Size) == cleared, "entries after the count stay cleared");
    for (uint32_t e = 0; e < frames; ++e) {
        const qsizetype at = qsizetype(e) * CAN_Entry_Size;
        Require((U32(b, at) & 0x7FFFFFFF) <= 0x1FFFFFFF, "a COB-ID has at most 29 bits");
        Require(uint8_t(b[at + 14]) <= 8, "a frame has at most 8 data bytes");
    }

    const qsizetype s = CAN_Table_Size;
    Require(b.size() >= s + LoRaWAN_Header_Size + LoRaWAN_Device_Size * LoRaWAN_Min_Device_Slots + 2, "the section is complete");
    const uint32_t devices = U32(b, s), rules = U32(b, s + 4);
    const uint32_t devList = U32(b, s + 8), ruleList = U32(b, s + 12), confFile = U32(b, s + 16);
    Require(devList == LoRaWAN_Section_Address + LoRaWAN_Header_Size, "the device list follows the header");
    Require(ruleList == devList + LoRaWAN_Device_Size * std::max<uint32_t>(devices, LoRaWAN_Min_Device_Slots), "rules follow the slots");
    Require(uint64_t(ruleList) + uint64_t(LoRaWAN_Rule_Size) * rules <= confFile, "test bytes follow the rules");
    const qsizetype text = qsizetype(confFile - Bank2_Device_Address);
    Require(text >= s && text + 2 <= b.size(), "the concentrator text lies inside the image");
    const QByteArray conf = b.mid(text);
    Require(conf.endsWith(QByteArray("\n\0", 2)) && !conf.contains('\r') && conf.indexOf('\0') == conf.size() - 1,
            "the concentrator text has its lines and one end byte");
    const uint64_t testStart = uint64_t(ruleList) + uint64_t(LoRaWAN_Rule_Size) * rules;
    uint64_t previous = testStart;
    for (uint32_t r = 0; r < rules; ++r) {
        const qsizetype at = qsizetype(ruleList - Bank2_Device_Address) + qsizetype(r) * LoRaWAN_Rule_Size;
        Require(at + LoRaWAN_Rule_Size <= b.size(), "every rule lies inside the image");
        const uint32_t testAt = U32(b, at + 8);
        Require(testAt >= previous && testAt <= confFile, "test bytes lie in rule order between the rules and the text");
        previous = testAt;
        Require(uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8) < std::max<uint32_t>(devices, 1), "a rule belongs to a device");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir project;
    static const char* const names[] = {"ParGen.xml", "CAN_Rec_Frames.xml", "CAN_Send_Frames.xml", "LoRaWAN_Gateway.xml"};
    const QList<QByteArray> parts = Parts(Bytes(data, size), 4);
    for (int i = 0; i < 4; ++i) {
        const QString path = PathJoin(project.path(), QString::fromLatin1(names[i]));
        QFile::remove(path);
        if (i < parts.size() && !parts[i].isEmpty()) {
            QFile f(path);
            Require(f.open(QIODevice::WriteOnly) && f.write(parts[i]) == parts[i].size(), "the test folder takes the file");
        }
    }
    TBank_Images first, second;
    QString firstError, secondError;
    try {
        first = Compile_Banks(project.path());
    } catch (const Exception& e) {
        firstError = e.Message();
    }
    try {
        second = Compile_Banks(project.path());
    } catch (const Exception& e) {
        secondError = e.Message();
    }
    Require(firstError == secondError, "a build is refused the same way twice");
    if (!firstError.isEmpty()) return 0;
    Require(first.Bank1 == second.Bank1 && first.Bank2 == second.Bank2, "two builds give the same images");
    CheckImages(first);
    return 0;
}
