#pragma once
// The image builder's own reading of the table files: the CAN and LoRaWAN
// files are loaded by TXMLDocument and walked straight on its pugixml
// document (TXMLDocument::Raw), reading attribute texts as UTF-8
// without making a QString of each (the table files of a large configuration
// hold hundreds of thousands of attributes). Texts are turned into QString
// only where characters beyond ASCII change the result.
#include "platform/XmlDoc.h"

#include <QString>
#include <cstring>
#include <string_view>
#include <pugixml.hpp>

// A text that, trimmed and upper-cased, equals the upper-case ASCII `word`.
bool Is_Word(const char* text, std::string_view word);

bool Is_Ascii(const char* text);
inline QString Utf8_Text(const char* text) { return XmlText(text); }

// Reads the attributes of one element. The readers ask for them in the order
// the editors write them, so each search starts after the last one found and
// wraps around once.
class TAttribute_Reader {
public:
    explicit TAttribute_Reader(const pugi::xml_node& node) : m_node(node), m_next(node.first_attribute()) {}

    // The attribute's text, or null when the element has no such attribute.
    const char* Find(const char* name)
    {
        for (pugi::xml_attribute a = m_next; a; a = a.next_attribute())
            if (Same(a, name)) return Take(a);
        for (pugi::xml_attribute a = m_node.first_attribute(); a && a != m_next; a = a.next_attribute())
            if (Same(a, name)) return Take(a);
        return nullptr;
    }

private:
    static bool Same(const pugi::xml_attribute& a, const char* name) { return std::strcmp(a.name(), name) == 0; }
    const char* Take(const pugi::xml_attribute& a)
    {
        m_next = a.next_attribute();
        return a.value();
    }

    pugi::xml_node m_node;
    pugi::xml_attribute m_next;
};
