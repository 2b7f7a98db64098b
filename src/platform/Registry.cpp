#include "platform/Registry.h"

#include "platform/Exception.h"
#include "platform/Files.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

QString RegistryKeyFileName(const QString& key)
{
    const auto refuse = [&key] { throw Exception(QStringLiteral("Invalid registry key: ") + key); };
    if (key.isEmpty() || key.startsWith(QLatin1Char('\\')) || key.startsWith(QLatin1Char('/'))) refuse();
    if (key.size() >= 2 && key.at(1) == QLatin1Char(':')) refuse();
    if (key.contains(QChar(0))) refuse();
    QStringList parts;
    for (const QString& p : key.split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts)) {
        if (p == QLatin1String(".") || p == QLatin1String("..")) refuse();
        parts << p;
    }
    if (parts.isEmpty()) refuse();
    const QString root = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (root.isEmpty()) throw EFileError(QStringLiteral("No folder for the user's settings"));
    return PathJoin(root, parts.join(QLatin1Char('/')) + QStringLiteral(".ini"));
}

std::unique_ptr<TIniFile> OpenRegistryKey(const QString& key, bool forWriting)
{
    const QString file = RegistryKeyFileName(key);
    if (forWriting) {
        const QString folder = QFileInfo(file).absolutePath();
        if (!ForceDirectories(folder)) throw EFileError(QStringLiteral("Cannot create folder ") + folder);
    }
    return std::make_unique<TIniFile>(file);
}
