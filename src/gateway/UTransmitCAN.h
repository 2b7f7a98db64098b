#pragma once
// The CAN transmit frame editor: up to 512 CAN frames the gateway sends, when
// a byte changes, on command and/or on a timer, kept in CAN_Send_Frames.xml.
#include "app/UTableEditor.h"

// The table of CAN_Send_Frames.xml (root Transmit_Frames, 17 columns).
TTableDef TransmitCAN_Table(int maxByte);

class TFTransmitCAN : public TFTableEditor {
public:
    explicit TFTransmitCAN(QWidget* parent = nullptr);

    TExtColumnGrid& ACG_CAN_Transmit;
    QStringList& Hint_TransmitCAN;
    int32_t MAX_Byte = 2500;

protected:
    void Fill_Pick_Lists() override;
};
