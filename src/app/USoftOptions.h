#pragma once
// Options dialog: language, connection and table options, and the check for
// a newer software version, which the main window's timer runs too.
#include <QString>
#include <cstdint>

// This program's version and software code as the maker's service knows them.
inline const QString Soft_Version = QStringLiteral("1.000");
inline const QString Soft_Code = QStringLiteral("KR52R08");

// The maker's web site (scheme and host, optionally a port), base of the
// version query and of the pages opened in the browser. Tests point it at a
// local server.
QString Maker_Site();
void Set_Maker_Site(const QString& site);
// The maker's home page, its download page and the version query.
QString Maker_Home_Page();
QString Maker_Download_Page();
QString Maker_Version_Query();
// The maker's web address as the main window shows it.
QString Maker_Web_Address();

// The version number of a version text: the text after its first blank (the
// whole text when it has none), trimmed, of the form d.ddd; its four digits
// give the number (1.000 gives 1000). -1 when it is not of that form.
int32_t Conv_Version(const QString& Ver_str);

// True when the reply of the version service names a newer version than
// this program's.
bool Is_Newer_Version(const QString& reply);

// Asks the maker's service; true when it reports a newer version. A failed
// query counts as no newer version.
bool Check_Version();
