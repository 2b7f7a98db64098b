#include "gateway/UReceiveCAN.h"

#include "app/UComon.h"
#include "app/ULanguage.h"
#include "grid/ExtCGrid.h"

namespace {

constexpr int Byte_Columns_First = 6; // Byte1 .. Byte8: columns 6 .. 13

} // namespace

QStringList CAN_Byte_Items(int maxByte)
{
    QStringList items{QStringLiteral("None")};
    for (int p = 0; p < maxByte; ++p) items << QString::number(p);
    return items;
}

const QStringList& CAN_Type_Items()
{
    static const QStringList items{QStringLiteral("2.0A (11 bits)"), QStringLiteral("2.0B (29 bits)")};
    return items;
}

namespace CAN_Checks {

std::function<QString(const TTableRow&)> CobID(int typeIdx, int cobIdx, int text2047, int text29)
{
    return [=](const TTableRow& row) {
        const int32_t v = Table_Int(row[cobIdx]);
        if (row[typeIdx].trimmed() == CAN_Type_Items()[0]) return v >= 0 && v <= 2047 ? QString() : SL_Lang[text2047];
        return v >= 0 && v <= 0x1FFFFFFF ? QString() : SL_Lang[text29];
    };
}

std::function<QString(const TTableRow&)> Range(int idx, int32_t lo, int32_t hi, int text)
{
    return [=](const TTableRow& row) {
        const int32_t v = Table_Int(row[idx]);
        return v >= lo && v <= hi ? QString() : SL_Lang[text];
    };
}

// Byte k (1..8) is looked at only when the frame's dimension reaches it.
std::function<QString(const TTableRow&)> Byte(int k, int dimIdx, int byteIdx, int maxByte, int text, int orNone)
{
    return [=](const TTableRow& row) {
        if (k > Table_Int(row[dimIdx])) return QString();
        const QString t = row[byteIdx].trimmed();
        if (t.isEmpty() || t == QLatin1String("None")) return QString();
        const int32_t v = Table_Int(row[byteIdx]);
        if (v >= 0 && v < maxByte) return QString();
        return SL_Lang[text] + QString::number(maxByte - 1) + SL_Lang[orNone];
    };
}

} // namespace CAN_Checks

TTableDef ReceiveCAN_Table(int maxByte)
{
    // Table indexes: column k of the grid is item k - 1.
    enum { Enable, CobID, Type, Dim, TimeOut, Byte1 };
    using CAN_Colors::Frame, CAN_Colors::Timing, CAN_Colors::Bytes;
    TTableDef s;
    s.Root = QStringLiteral("Receive_Frames");
    s.KeyColumn = 2;
    s.ErrorRowText = 2444;
    s.EmptyKeyText = 2460;
    s.BadCharText = 2461;
    s.Columns = {
        {"Enable", 2409, 2429, 50, edDataCheckBox, CAN_Colors::Enable, {}, "Y", {}, {}},
        {"COBID", 2410, 2430, 90, edNormal, Frame, {}, "", {}, CAN_Checks::CobID(Type, CobID, 2445, 2446)},
        {"CAN_Type", 2411, 2431, 90, edComboList, Frame, CAN_Type_Items(), "", {}, {}},
        {"Dim", 2412, 2432, 70, edNormal, Frame, {}, "", {}, CAN_Checks::Range(Dim, 1, 8, 2447)},
        {"TimeOut", 2413, 2434, 75, edNormal, Timing, {}, "0", {}, CAN_Checks::Range(TimeOut, 0, 100000000, 2448)},
    };
    for (int k = 1; k <= 8; ++k)
        s.Columns.push_back({"Byte" + QString::number(k), 2413 + k, 2434 + k, 48, edComboList, Bytes, {}, "", {},
                             CAN_Checks::Byte(k, Dim, Byte1 + k - 1, maxByte, k == 1 ? 2449 : 2449 + k, 2450)});
    s.Columns.push_back({"Mnemonic", 2422, 2443, 185, edNormal, clWindow, {}, "", {}, {}});
    return s;
}

TFReceiveCAN::TFReceiveCAN(QWidget* parent)
    : TFTableEditor(ReceiveCAN_Table(2000), {2400, 2401, 2402, 2423, 2408, 2458}, 1010, &CAN_Rec_Frames_File, parent),
      ACG_CAN_Receive(Grid()), Hint_ReceiveCAN(Hints)
{
}

void TFReceiveCAN::Fill_Pick_Lists()
{
    MAX_Byte = 2000;
    const QStringList items = CAN_Byte_Items(MAX_Byte);
    for (int c = Byte_Columns_First; c < Byte_Columns_First + 8; ++c) ACG_CAN_Receive.Columns().Items(c).SetComboItems(items);
}
