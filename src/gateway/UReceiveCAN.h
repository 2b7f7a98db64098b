#pragma once
// The CAN receive frame editor: up to 512 CAN frames the gateway receives,
// with the exchange position of each data byte, kept in CAN_Rec_Frames.xml.
#include "app/UTableEditor.h"

// The pick list of an exchange position: "None", "0" .. maxByte - 1.
QStringList CAN_Byte_Items(int maxByte);
// The frame format items: "2.0A (11 bits)", "2.0B (29 bits)".
const QStringList& CAN_Type_Items();

// The column colours both CAN tables use.
namespace CAN_Colors {
constexpr TColor Enable = RGBColor(0xFF, 0xD8, 0xB0); // the Enable flag
constexpr TColor Frame = RGBColor(0xE0, 0xFA, 0xFE);  // COB-ID, type, dimension
constexpr TColor Timing = RGBColor(0xA8, 0xFF, 0xA8); // time-out, send options
constexpr TColor Bytes = RGBColor(0xFC, 0xD6, 0xF4);  // the byte positions
} // namespace CAN_Colors

// The checks both CAN tables share; the indexes are table indexes (grid
// column - 1), the texts text numbers.
namespace CAN_Checks {
// COB-ID in 0..2047 for "2.0A (11 bits)", else in 0..0x1FFFFFFF.
std::function<QString(const TTableRow&)> CobID(int typeIdx, int cobIdx, int text2047, int text29);
std::function<QString(const TTableRow&)> Range(int idx, int32_t lo, int32_t hi, int text);
// Byte k, looked at only when the frame's dimension reaches it: empty, "None"
// or 0 .. maxByte - 1.
std::function<QString(const TTableRow&)> Byte(int k, int dimIdx, int byteIdx, int maxByte, int text, int orNone);
} // namespace CAN_Checks

// The table of CAN_Rec_Frames.xml (root Receive_Frames, 14 columns).
TTableDef ReceiveCAN_Table(int maxByte);

class TFReceiveCAN : public TFTableEditor {
public:
    explicit TFReceiveCAN(QWidget* parent = nullptr);

    TExtColumnGrid& ACG_CAN_Receive;
    QStringList& Hint_ReceiveCAN;
    // The number of exchange positions a byte may name (set at each showing).
    int32_t MAX_Byte = 2000;

protected:
    void Fill_Pick_Lists() override;
};
