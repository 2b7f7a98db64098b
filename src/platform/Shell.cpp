#include "platform/Shell.h"

#include <QDesktopServices>
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
