#include "platform/SerialPorts.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

QStringList ListSerialPorts(const QString& devFolder)
{
    static const QRegularExpression name(QStringLiteral("^(ttyS|ttyUSB|ttyACM)([0-9]{1,3})$"));
    struct Port {
        QString kind;
        int number;
        QString path;
    };
    std::vector<Port> ports;
    const QStringList entries = QDir(devFolder).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        const QRegularExpressionMatch m = name.match(e);
        if (!m.hasMatch())
            continue;
        const QString path = QDir(devFolder).filePath(e);
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        else if (errno != EACCES && errno != EBUSY)
            continue;  // no device behind the name
        ports.push_back({m.captured(1), m.captured(2).toInt(), path});
    }
    std::sort(ports.begin(), ports.end(), [](const Port& a, const Port& b) {
        return a.kind != b.kind ? a.kind < b.kind : a.number < b.number;
    });
    QStringList out;
    for (const Port& p : ports)
        out << p.path;
    return out;
}
