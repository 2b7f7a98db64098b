#include "gateway/UTransmitCAN.h"

#include "app/UComon.h"
#include "app/ULanguage.h"
#include "gateway/UReceiveCAN.h"
#include "grid/ExtCGrid.h"

namespace {

constexpr int Byte_Columns_First = 9; // Byte1 .. Byte8: columns 9 .. 16

} // namespace

TTableDef TransmitCAN_Table(int maxByte)
{
    enum { Enable, CobID, Type, Dim, OnChange, OnCMD, OnTimer, Time, Byte1 };
    using CAN_Colors::Frame, CAN_Colors::Timing, CAN_Colors::Bytes;
    auto timer_on = [](const TTableRow& row) { return row[OnTimer].trimmed().toUpper() == QLatin1String("Y"); };
    auto time_check = [timer_on, range = CAN_Checks::Range(Time, 0, 100000000, 2551)](const TTableRow& row) {
        return timer_on(row) ? range(row) : QString();
    };
    TTableDef s;
    s.Root = QStringLiteral("Transmit_Frames");
    s.KeyColumn = 2;
    s.ErrorRowText = 2547;
    s.EmptyKeyText = 2564;
    s.BadCharText = 2565;
    s.Columns = {
        {"Enable", 2509, 2531, 50, edDataCheckBox, CAN_Colors::Enable, {}, "Y", {}, {}},
        {"COBID", 2510, 2532, 90, edNormal, Frame, {}, "", {}, CAN_Checks::CobID(Type, CobID, 2548, 2549)},
        {"CAN_Type", 2511, 2533, 90, edComboList, Frame, CAN_Type_Items(), CAN_Type_Items()[0], {}, {}},
        {"Dim", 2512, 2534, 70, edNormal, Frame, {}, "", {}, CAN_Checks::Range(Dim, 1, 8, 2550)},
        {"OnChange", 2513, 2535, 65, edDataCheckBox, Timing, {}, "Y", {}, {}},
        {"OnCMD", 2562, 2563, 50, edDataCheckBox, Timing, {}, "N", {}, {}},
        {"OnTimer", 2514, 2536, 55, edDataCheckBox, Timing, {}, "N", {}, {}},
        // Read after OnTimer: "0" when the row's timer is on.
        {"Time", 2515, 2537, 70, edNormal, Timing, {}, "",
         [timer_on](const TTableRow& row) { return timer_on(row) ? QStringLiteral("0") : QString(); }, time_check},
    };
    for (int k = 1; k <= 8; ++k)
        s.Columns.push_back({"Byte" + QString::number(k), 2515 + k, 2537 + k, 48, edComboList, Bytes, {}, "", {},
                             CAN_Checks::Byte(k, Dim, Byte1 + k - 1, maxByte, k == 1 ? 2552 : 2552 + k, 2553)});
    s.Columns.push_back({"Mnemonic", 2524, 2546, 110, edNormal, clWindow, {}, "", {}, {}});
    return s;
}

TFTransmitCAN::TFTransmitCAN(QWidget* parent)
    : TFTableEditor(TransmitCAN_Table(2500), {2500, 2501, 2502, 2525, 2508, 2561}, 1100, &CAN_Send_Frames_File,
                    parent),
      ACG_CAN_Transmit(Grid()), Hint_TransmitCAN(Hints)
{
}

void TFTransmitCAN::Fill_Pick_Lists()
{
    MAX_Byte = 2500;
    const QStringList items = CAN_Byte_Items(MAX_Byte);
    for (int c = Byte_Columns_First; c < Byte_Columns_First + 8; ++c)
        ACG_CAN_Transmit.Columns().Items(c).SetComboItems(items);
}
