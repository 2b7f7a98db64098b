// Fixed lists of the parameter editor, the band-dependent data-rate lists and
// the key filters of its edits.
#include "gateway/UParGen.h"

#include <QHash>

const QStringList& LoRaWAN_Mode_Items()
{
    static const QStringList l{"Gateway", "End Node"};
    return l;
}

const QStringList& LoRaWAN_RF_Band_Items()
{
    static const QStringList l{"EU868", "US915", "KR920", "AS923"};
    return l;
}

const QStringList& LoRaWAN_Network_Type_Items()
{
    static const QStringList l{"Private", "Public"};
    return l;
}

const QStringList& LoRaWAN_Transmission_Type_Items()
{
    static const QStringList l{"Unconfirmed", "Confirmed"};
    return l;
}

const QStringList& LoRaWAN_Activation_Method_Items()
{
    static const QStringList l{"Activation by Personalization [ABP]", "Over-the-Air Activation [OTAA]"};
    return l;
}

const QStringList& LoRaWAN_Class_Items()
{
    static const QStringList l{"A", "B", "C"};
    return l;
}

const QStringList& LoRaWAN_FreqSubBand_Items()
{
    static const QStringList l{"1", "2", "3", "4", "5", "6", "7", "8"};
    return l;
}

const QStringList& CAN_Baudrate_Items()
{
    static const QStringList l{"10K", "20K", "50K", "62.5K", "100K", "125K", "250K", "500K", "800K", "1000K"};
    return l;
}

// The item texts read "<index> -<TAB><description>" or "<index> - <description>";
// the device takes the number before the first "-".
QStringList LoRaWAN_DataRate_Items(const QString& band)
{
    if (band == QLatin1String("EU868")) {
        return {
            "0 -\tLoRa: SF12/125kHz 250 [bit/s]",
            "1 -\tLoRa: SF11/125kHz 440 [bit/s]",
            "2 -\tLoRa: SF10/125kHz 980 [bit/s]",
            "3 -\tLoRa: SF9/125kHz 1760 [bit/s]",
            "4 -\tLoRa: SF8/125kHz 3125 [bit/s]",
            "5 -\tLoRa: SF7/125kHz 5470 [bit/s]",
            "6 - LoRa: SF7/250kHz 11000 [bit/s]",
            "7 - FSK: 50kbps 50000 [bit/s]",
        };
    }
    if (band == QLatin1String("US915")) {
        return {
            "0  -\tLoRa: SF10/125kHz 980 [bit/s]",
            "1  -\tLoRa: SF9/125kHz 1760 [bit/s]",
            "2  -\tLoRa: SF8/125kHz 3125 [bit/s]",
            "3  -\tLoRa: SF7/125kHz 5470 [bit/s]",
            "4  -\tLoRa: SF8/500kHz 12500 [bit/s]",
            "8  -\tLoRa: SF12/500kHz 980 [bit/s]",
            "9  -\tLoRa: SF11/500kHz 1760 [bit/s]",
            "10 - LoRa: SF10/500kHz 3900 [bit/s]",
            "11 - LoRa: SF9/500kHz 7000 [bit/s]",
            "12 - LoRa: SF8/500kHz 12500 [bit/s]",
            "13 - LoRa: SF7/500kHz 21900 [bit/s]",
        };
    }
    return {};
}

QStringList LoRaWAN_RX2_Items(const QString& band)
{
    if (band == QLatin1String("EU868"))
        return {"SF12BW125", "SF11BW125", "SF10BW125", "SF9BW125", "SF8BW125", "SF7BW125", "SF7BW250"};
    if (band == QLatin1String("US915"))
        return {"SF12BW500", "SF11BW500", "SF10BW500", "SF9BW500", "SF8BW500", "SF7BW500"};
    if (band == QLatin1String("KR920") || band == QLatin1String("AS923"))
        return {"SF12BW125", "SF11BW125", "SF10BW125", "SF9BW125", "SF8BW125", "SF7BW125"};
    return {};
}

bool Hex_Key_Allowed(QChar c)
{
    const char16_t u = c.unicode();
    if (u <= 32) return true;
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
}

QString Octet_Successor(const QString& editName)
{
    static const QHash<QString, QString> next = [] {
        QHash<QString, QString> h;
        auto chain = [&h](const QString& prefix, const QString& after) {
            for (int i = 1; i <= 3; ++i) h.insert(prefix + QString::number(i), prefix + QString::number(i + 1));
            if (!after.isEmpty()) h.insert(prefix + "4", after);
        };
        chain("E_EthConn_Pri_DNS_IP", "E_EthConn_Sec_DNS_IP1");
        chain("E_EthConn_Sec_DNS_IP", QString());
        chain("E_Ethernet_IP", "E_Ethernet_SM1");
        chain("E_Ethernet_SM", "E_Ethernet_GAT1");
        chain("E_Ethernet_GAT", QString());
        return h;
    }();
    return next.value(editName);
}
