#pragma once
// The per-user key store that stands in for the registry: a registry key
// path such as "Software\Maker\Grid" becomes the INI file
// <user configuration folder>/Software/Maker/Grid.ini, its subkeys become
// sections and its named values become keys. The folder is Qt's
// AppConfigLocation (~/.config/<organisation>/<application>).
#include "platform/IniFile.h"

#include <QString>
#include <memory>

// The INI file of a key path, "\" and "/" both taken as separators. A path
// that is empty, absolute ("\x", "/x", "C:x") or holds a "." or ".." part is
// refused with Exception "Invalid registry key: " + key, so that no key
// reaches outside the user's configuration folder.
QString RegistryKeyFileName(const QString& key);

// Opens the store of a key (an INI file that does not exist yet is empty);
// `forWriting` creates the folders the file needs. Folder or file errors
// raise EFileError.
std::unique_ptr<TIniFile> OpenRegistryKey(const QString& key, bool forWriting);
