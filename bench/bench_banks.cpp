// Building and writing the configuration images of a large configuration
// (1000 LoRaWAN devices with 4 rules each, full CAN tables), against only
// parsing the same four XML files with pugixml.
#include "gateway/USaveBincc.h"
#include "platform/Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

namespace {

class LargeProject {
public:
    LargeProject()
    {
        m_path = m_dir.path();
        QDir().mkpath(PathJoin(m_path, QStringLiteral("bin")));
        Write("ParGen.xml", "<Par_Gen><Eth_Conn_Device_Name>Bench</Eth_Conn_Device_Name><LoRaWAN_Mode>Gateway</LoRaWAN_Mode>"
                            "<LoRaWAN_RF_Band>EU868</LoRaWAN_RF_Band><LoRaWAN_Server_Address>127.0.0.1</LoRaWAN_Server_Address>"
                            "<LoRaWAN_Server_Port_Up>1700</LoRaWAN_Server_Port_Up><LoRaWAN_Server_Port_Down>1700"
                            "</LoRaWAN_Server_Port_Down><LoRaWAN_KeepAlive_Interval>10</LoRaWAN_KeepAlive_Interval>"
                            "<LoRaWAN_Network_Type>Public</LoRaWAN_Network_Type><LoRaWAN_RX2_Datarate>SF9BW125"
                            "</LoRaWAN_RX2_Datarate><Ethernet_IP1>10</Ethernet_IP1><CAN_BAUDRATE>6</CAN_BAUDRATE></Par_Gen>"
                            "<!--SW_VERSION = 1.000-->");
        QByteArray rec = "<Receive_Frames>", send = "<Transmit_Frames>";
        for (int i = 0; i < 512; ++i) {
            const QByteArray id = QByteArray::number(i);
            rec += "<row Enable=\"Y\" COBID=\"" + id + "\" CAN_Type=\"2.0A (11 bits)\" Dim=\"8\" TimeOut=\"500\" Byte1=\"1\" "
                   "Byte2=\"2\" Byte3=\"3\" Byte4=\"4\" Byte5=\"5\" Byte6=\"6\" Byte7=\"7\" Byte8=\"None\" Mnemonic=\"frame " + id + "\"/>";
            send += "<row Enable=\"Y\" COBID=\"" + QByteArray::number(i + 1000) + "\" CAN_Type=\"2.0B (29 bits)\" Dim=\"8\" "
                    "OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"Y\" Time=\"1000\" Byte1=\"10\" Byte2=\"11\" Byte3=\"12\" Byte4=\"13\" "
                    "Byte5=\"14\" Byte6=\"15\" Byte7=\"16\" Byte8=\"17\" Mnemonic=\"frame " + id + "\"/>";
        }
        Write("CAN_Rec_Frames.xml", rec + "</Receive_Frames><!--SW_VERSION = 1.000-->");
        Write("CAN_Send_Frames.xml", send + "</Transmit_Frames><!--SW_VERSION = 1.000-->");

        QByteArray lw = "<LoRaWAN_Gateway><LoRaWAN_Devices_List>";
        for (int d = 0; d < 1000; ++d) {
            const QByteArray n = QByteArray::number(d);
            lw += "<LoRaWAN_Device Enable=\"Y\" DeviceEUI=\"70B3D57ED000" + QByteArray::number(d, 16).rightJustified(4, '0') +
                  "\" JoinEUI=\"0000000000000001\" DeviceName=\"Device " + n +
                  "\" ActivationMethod=\"Activation by Personalization [ABP]\" "
                  "NetworkSessionKey=\"2B7E151628AED2A6ABF7158809CF4F3C\" ApplicationSessionKey=\"2B7E151628AED2A6ABF7158809CF4F3C\" "
                  "ApplicationKey=\"\" DeviceAddress=\"260B" + QByteArray::number(d, 16).rightJustified(4, '0') +
                  "\" Class=\"A\" DiagTimeOut=\"60000\" RX2_Datarate=\"SF9BW125\" Mnemonic=\"\"><LoRaWAN_Rules><LoRaWAN_UpLink_Rules>"
                  "<Rule Enable=\"Y\" Port=\"1\" StartTest=\"0\" LenTest=\"2\" HexTest=\"Y\" ValueTest=\"0A0B\" StartBit=\"0\" "
                  "NumberBits=\"4\" PositionBit=\"0\" Mnemonic=\"\"/>"
                  "<Rule Enable=\"Y\" Port=\"2\" StartTest=\"\" LenTest=\"\" HexTest=\"N\" ValueTest=\"AB\" StartBit=\"4\" "
                  "NumberBits=\"4\" PositionBit=\"4\" Mnemonic=\"\"/></LoRaWAN_UpLink_Rules><LoRaWAN_DownLink_Rules>"
                  "<Rule Enable=\"Y\" Port=\"3\" StartBit=\"0\" NumberBits=\"2\" OnChange=\"Y\" OnCommand=\"N\" OnTimer=\"N\" "
                  "Time=\"0\" PositionBit=\"8\" Mnemonic=\"\"/>"
                  "<Rule Enable=\"Y\" Port=\"4\" StartBit=\"2\" NumberBits=\"2\" OnChange=\"N\" OnCommand=\"N\" OnTimer=\"Y\" "
                  "Time=\"5000\" PositionBit=\"10\" Mnemonic=\"\"/></LoRaWAN_DownLink_Rules></LoRaWAN_Rules></LoRaWAN_Device>";
        }
        Write("LoRaWAN_Gateway.xml", lw + "</LoRaWAN_Devices_List></LoRaWAN_Gateway><!--SW_VERSION = 1.000-->");
    }

    const QString& Path() const { return m_path; }
    std::string File(const char* name) const { return PathJoin(m_path, QString::fromLatin1(name)).toStdString(); }

private:
    void Write(const char* name, const QByteArray& bytes) const { WriteFileAtomic(PathJoin(m_path, QString::fromLatin1(name)), bytes); }

    QTemporaryDir m_dir;
    QString m_path;
};

LargeProject& Project()
{
    static LargeProject p;
    return p;
}

void BM_BuildAndWriteImages(benchmark::State& state)
{
    const QString path = Project().Path();
    for (auto _ : state) {
        const TBank_Images img = Compile_Banks(path);
        Save_Banks(path, img);
        benchmark::DoNotOptimize(img.Bank2.size());
    }
}
BENCHMARK(BM_BuildAndWriteImages)->Unit(benchmark::kMillisecond);

// The build alone, without writing the two files.
void BM_BuildImagesInMemory(benchmark::State& state)
{
    const QString path = Project().Path();
    for (auto _ : state) {
        const TBank_Images img = Compile_Banks(path);
        benchmark::DoNotOptimize(img.Bank2.size());
    }
}
BENCHMARK(BM_BuildImagesInMemory)->Unit(benchmark::kMillisecond);

void BM_ParseFourFilesOnly(benchmark::State& state)
{
    const std::string files[] = {Project().File("ParGen.xml"), Project().File("CAN_Rec_Frames.xml"),
                                 Project().File("CAN_Send_Frames.xml"), Project().File("LoRaWAN_Gateway.xml")};
    for (auto _ : state) {
        for (const std::string& f : files) {
            pugi::xml_document doc;
            const pugi::xml_parse_result r = doc.load_file(f.c_str(), pugi::parse_default | pugi::parse_comments);
            if (!r) state.SkipWithError("parse failed");
            benchmark::DoNotOptimize(doc.first_child());
        }
    }
}
BENCHMARK(BM_ParseFourFilesOnly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
