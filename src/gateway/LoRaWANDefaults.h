#pragma once
// The network-server host the program proposes: the parameter editor's
// default server address and the image builder's host for end-node mode and
// for a configuration that names none.
#include <QString>

inline const QString Default_LoRaWAN_Server_Address = QStringLiteral("eu1.cloud.thethings.network");
