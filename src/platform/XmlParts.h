#pragma once
// Small helpers for the XML parts of the office packages (.xlsx, .docx):
// elements and attributes found by their name without a namespace prefix,
// and a part written back as compact UTF-8.
#include <QByteArray>
#include <pugixml.hpp>

// The name without its namespace prefix.
const char* XmlLocalName(const char* name);
// Whether an element's name, without its prefix, is `local`.
bool XmlIsLocal(const pugi::xml_node& n, const char* local);
// The first child element whose name without its prefix is `local`.
pugi::xml_node XmlChildLocal(const pugi::xml_node& n, const char* local);
// The first attribute whose name without its prefix is `local`.
pugi::xml_attribute XmlAttrLocal(const pugi::xml_node& n, const char* local);
// The document as UTF-8 without a declaration and without added white space.
QByteArray XmlSaveRaw(const pugi::xml_document& doc);
