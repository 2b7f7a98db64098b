#include "platform/XmlParts.h"

#include <cstring>

const char* XmlLocalName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

bool XmlIsLocal(const pugi::xml_node& n, const char* local) { return std::strcmp(XmlLocalName(n.name()), local) == 0; }

pugi::xml_node XmlChildLocal(const pugi::xml_node& n, const char* local)
{
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && XmlIsLocal(c, local)) return c;
    return {};
}

pugi::xml_attribute XmlAttrLocal(const pugi::xml_node& n, const char* local)
{
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        if (std::strcmp(XmlLocalName(a.name()), local) == 0) return a;
    return {};
}

QByteArray XmlSaveRaw(const pugi::xml_document& doc)
{
    struct TWriter : pugi::xml_writer {
        QByteArray Out;
        void write(const void* data, size_t size) override { Out.append(static_cast<const char*>(data), qsizetype(size)); }
    } w;
    doc.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return w.Out;
}
