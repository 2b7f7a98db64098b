#include "platform/XmlDoc.h"

#include "platform/Exception.h"
#include "platform/Files.h"

#include <QFile>
#include <pugixml.hpp>
#include <sstream>

namespace {
std::string U8(const QString& s) { return s.toStdString(); }
QString Q(const char* s) { return QString::fromUtf8(s); }

// A declaration naming a single-byte Western code page: pugixml reads only
// UTF encodings and Latin-1 by itself, so Windows-1252 is turned into UTF-8
// first.
QByteArray Normalise(const QByteArray& bytes)
{
    if (!bytes.startsWith("<?xml")) return bytes;
    const int end = bytes.indexOf("?>");
    if (end < 0) return bytes;
    const QByteArray decl = bytes.left(end).toLower();
    if (!decl.contains("windows-1252") && !decl.contains("iso-8859-1") && !decl.contains("latin1")) return bytes;
    QByteArray body = bytes.mid(end + 2);
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>") + DecodeAnsi(body).toUtf8();
}
} // namespace

pugi::xml_node XmlNode::Node() const { return pugi::xml_node(m_node); }
bool XmlNode::IsElement() const { return Node().type() == pugi::node_element; }
bool XmlNode::IsComment() const { return Node().type() == pugi::node_comment; }
QString XmlNode::NodeName() const { return Q(Node().name()); }

QString XmlNode::Text() const
{
    if (!m_node) return {};
    if (Node().type() == pugi::node_comment) return Q(Node().value());
    return Q(Node().child_value());
}

void XmlNode::SetText(const QString& text)
{
    if (!m_node) return;
    Node().text().set(U8(text).c_str());
}

bool XmlNode::HasAttribute(const QString& name) const { return m_node && Node().attribute(U8(name).c_str()); }
QString XmlNode::Attribute(const QString& name) const { return m_node ? Q(Node().attribute(U8(name).c_str()).value()) : QString(); }

void XmlNode::SetAttribute(const QString& name, const QString& value)
{
    if (!m_node) return;
    const std::string n = U8(name);
    pugi::xml_attribute a = Node().attribute(n.c_str());
    if (!a) a = Node().append_attribute(n.c_str());
    a.set_value(U8(value).c_str());
}

std::vector<std::pair<QString, QString>> XmlNode::Attributes() const
{
    std::vector<std::pair<QString, QString>> out;
    if (!m_node) return out;
    for (pugi::xml_attribute a : Node().attributes()) out.emplace_back(Q(a.name()), Q(a.value()));
    return out;
}

XmlNode XmlNode::FindChild(const QString& name) const
{
    if (!m_node) return {};
    return XmlNode(Node().child(U8(name).c_str()).internal_object());
}

std::vector<XmlNode> XmlNode::ChildElements() const
{
    std::vector<XmlNode> out;
    if (!m_node) return out;
    for (pugi::xml_node c : Node().children())
        if (c.type() == pugi::node_element) out.push_back(XmlNode(c.internal_object()));
    return out;
}

std::vector<XmlNode> XmlNode::ChildNodes() const
{
    std::vector<XmlNode> out;
    if (!m_node) return out;
    for (pugi::xml_node c : Node().children()) out.push_back(XmlNode(c.internal_object()));
    return out;
}

XmlNode XmlNode::FirstChild() const { return m_node ? XmlNode(Node().first_child().internal_object()) : XmlNode(); }
XmlNode XmlNode::NextSibling() const { return m_node ? XmlNode(Node().next_sibling().internal_object()) : XmlNode(); }

XmlNode XmlNode::AddChild(const QString& name)
{
    if (!m_node) return {};
    return XmlNode(Node().append_child(U8(name).c_str()).internal_object());
}

XmlNode XmlNode::AddChild(const QString& name, const QString& text)
{
    XmlNode n = AddChild(name);
    if (!text.isEmpty()) n.SetText(text);
    return n;
}

void XmlNode::AddComment(const QString& text)
{
    if (!m_node) return;
    Node().append_child(pugi::node_comment).set_value(U8(text).c_str());
}

TXMLDocument::TXMLDocument() : m_doc(std::make_unique<pugi::xml_document>()) {}
TXMLDocument::~TXMLDocument() = default;

void TXMLDocument::Clear()
{
    m_doc->reset();
    m_text.clear();
}

void TXMLDocument::Parse(QByteArray bytes)
{
    Clear();
    m_text = Normalise(bytes);
    bytes = QByteArray();
    // Parsed in place: no copy of a large file is made. An element whose
    // whole text is blanks keeps it (a value of blanks must come back as it
    // was written); blanks between elements are layout and are dropped.
    const unsigned options = pugi::parse_default | pugi::parse_comments | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
    const pugi::xml_parse_result r = m_doc->load_buffer_inplace(m_text.data(), size_t(m_text.size()), options, pugi::encoding_auto);
    if (!r) {
        Clear();
        throw EXMLError(QStringLiteral("XML error at offset %1: %2").arg(r.offset).arg(Q(r.description())));
    }
    // The declaration is not a node the program's readers see.
    pugi::xml_node first = m_doc->first_child();
    if (first && first.type() == pugi::node_declaration) m_doc->remove_child(first);
}

void TXMLDocument::LoadFromBytes(const QByteArray& bytes) { Parse(bytes); }

void TXMLDocument::LoadFromFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw EXMLError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    try {
        Parse(f.readAll());
    } catch (const EXMLError& e) {
        throw EXMLError(QStringLiteral("%1\n%2").arg(path, e.Message()));
    }
}

bool TXMLDocument::TryLoadFromFile(const QString& path, QString* error)
{
    try {
        LoadFromFile(path);
        return true;
    } catch (const EXMLError& e) {
        if (error) *error = e.Message();
        return false;
    }
}

XmlNode TXMLDocument::FirstNode() const { return XmlNode(m_doc->first_child().internal_object()); }
XmlNode TXMLDocument::DocumentElement() const { return XmlNode(m_doc->document_element().internal_object()); }

std::vector<XmlNode> TXMLDocument::Nodes() const
{
    std::vector<XmlNode> out;
    for (pugi::xml_node c : m_doc->children()) out.push_back(XmlNode(c.internal_object()));
    return out;
}

XmlNode TXMLDocument::AddRoot(const QString& name) { return XmlNode(m_doc->append_child(U8(name).c_str()).internal_object()); }

void TXMLDocument::AddDocComment(const QString& text) { m_doc->append_child(pugi::node_comment).set_value(U8(text).c_str()); }

QByteArray TXMLDocument::SaveToBytes() const
{
    std::ostringstream os;
    m_doc->save(os, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    const std::string s = os.str();
    return QByteArray(s.data(), qsizetype(s.size()));
}

void TXMLDocument::SaveToFile(const QString& path) const { WriteFileAtomic(path, SaveToBytes()); }
