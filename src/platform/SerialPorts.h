#pragma once
// The serial devices of the machine.
#include <QString>
#include <QStringList>

// Paths of the serial devices present under `devFolder` (ttyS*, ttyUSB*,
// ttyACM*): a device counts when it can be opened, or when it exists but is
// busy or refused. Sorted by kind, then by number.
QStringList ListSerialPorts(const QString& devFolder = QStringLiteral("/dev"));
