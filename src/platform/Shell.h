#pragma once
// Opening a link in the desktop's browser or mail program. Only http, https
// and mailto links are opened; anything else is refused, so nothing taken from
// a page or a file is ever run.
#include <QString>
#include <functional>

// Opens `url`; false when it is refused or the desktop cannot open it.
bool ShellOpenLink(const QString& url);

// Opens a document the program wrote (an HTML page) with the desktop's
// program for it; only names ending in ".htm" or ".html" are opened. Goes
// through the same handler as ShellOpenLink, given the file's URL.
bool ShellOpenDocument(const QString& fileName);

// True for the schemes ShellOpenLink accepts.
bool IsOpenableLink(const QString& url);

// The routine that hands an accepted link to the desktop. Tests replace it;
// an empty handler puts back the desktop's. Returns the one it replaces.
using ShellOpenHandler = std::function<bool(const QString& url)>;
ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler);
