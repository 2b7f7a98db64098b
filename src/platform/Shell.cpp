#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {
ShellOpenHandler& Handler()
{
    static ShellOpenHandler h;
    return h;
}
} // namespace

ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler)
{
    ShellOpenHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}

bool IsOpenableLink(const QString& url)
{
    const QUrl u(url.trimmed(), QUrl::StrictMode);
    if (!u.isValid()) return false;
    const QString scheme = u.scheme().toLower();
    if (scheme == QLatin1String("mailto")) return !u.path().isEmpty();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !u.host().isEmpty();
}

bool ShellOpenLink(const QString& url)
{
    if (!IsOpenableLink(url)) return false;
    if (Handler()) return Handler()(url.trimmed());
    return QDesktopServices::openUrl(QUrl(url.trimmed(), QUrl::StrictMode));
}

bool ShellOpenDocument(const QString& fileName)
{
    const QString lower = fileName.toLower();
    if (!lower.endsWith(QLatin1String(".htm")) && !lower.endsWith(QLatin1String(".html"))) return false;
    const QUrl url = QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath());
    if (Handler()) return Handler()(url.toString());
    return QDesktopServices::openUrl(url);
}
