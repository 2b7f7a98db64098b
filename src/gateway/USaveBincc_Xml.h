#pragma once
// The image builder's own reading of the table files: the CAN and LoRaWAN
// files are walked straight on pugixml, reading attribute texts as UTF-8
// without making a QString of each (the table files of a large configuration
// hold hundreds of thousands of attributes). Texts are turned into QString
// only where characters beyond ASCII change the result.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <pugixml.hpp>

// Loads a project file as TXMLDocument does (byte-order marks, a declared
// Windows-1252 or Latin-1 encoding, comments kept, the declaration dropped);
// throws EXMLError naming the file when it does not parse. The document is
// parsed in place in `storage`, which must live as long as the document.
void Load_Project_Xml(const QString& path, pugi::xml_document& doc, QByteArray& storage);

// A text that, trimmed and upper-cased, equals the upper-case ASCII `word`.
bool Is_Word(const char* text, std::string_view word);

// The program's integer convention on a UTF-8 text: 32-bit as TryStrToInt,
// 64-bit as TryStrToInt64.
std::optional<int32_t> Utf8_To_Int(const char* text);
std::optional<int64_t> Utf8_To_Int64(const char* text);
inline int32_t Utf8_To_Int_Def(const char* text, int32_t def) { return Utf8_To_Int(text).value_or(def); }

bool Is_Ascii(const char* text);
inline QString Utf8_Text(const char* text) { return QString::fromUtf8(text); }

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
