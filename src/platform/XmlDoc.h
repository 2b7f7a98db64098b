#pragma once
// TXMLDocument: the XML document the program's readers and writers use, over
// pugixml. A document is loaded whole, walked by element names and saved
// whole. Files are written without an XML declaration and without
// indentation, atomically.
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
struct xml_node_struct;
} // namespace pugi

// A node of a TXMLDocument; a light handle that stays valid while the
// document holds the node. A null node answers empty to every question.
class XmlNode {
public:
    XmlNode() = default;

    bool IsNull() const { return m_node == nullptr; }
    bool IsElement() const;
    bool IsComment() const;
    QString NodeName() const;

    // The text of an element (its first text child), empty when none.
    QString Text() const;
    void SetText(const QString& text);

    bool HasAttribute(const QString& name) const;
    QString Attribute(const QString& name) const;
    void SetAttribute(const QString& name, const QString& value);
    // The attributes in document order, as name/value pairs.
    std::vector<std::pair<QString, QString>> Attributes() const;

    // The first child element of this name, null when none.
    XmlNode FindChild(const QString& name) const;
    // Child elements only (comments, text and instructions are skipped).
    std::vector<XmlNode> ChildElements() const;
    // Every child node, comments included.
    std::vector<XmlNode> ChildNodes() const;
    XmlNode FirstChild() const;
    XmlNode NextSibling() const;

    XmlNode AddChild(const QString& name);
    XmlNode AddChild(const QString& name, const QString& text);
    void AddComment(const QString& text);

    bool operator==(const XmlNode& o) const { return m_node == o.m_node; }

private:
    friend class TXMLDocument;
    explicit XmlNode(pugi::xml_node_struct* node) : m_node(node) {}
    pugi::xml_node Node() const;
    pugi::xml_node_struct* m_node = nullptr;
};

class TXMLDocument {
public:
    TXMLDocument();
    ~TXMLDocument();
    TXMLDocument(const TXMLDocument&) = delete;
    TXMLDocument& operator=(const TXMLDocument&) = delete;

    // Empties the document.
    void Clear();

    // Loads a file; throws EXMLError (file missing, unreadable or not
    // well-formed) with a message naming the file.
    void LoadFromFile(const QString& path);
    // Loads from bytes; throws EXMLError when not well-formed.
    void LoadFromBytes(const QByteArray& bytes);
    // As LoadFromFile but answers false instead of throwing.
    bool TryLoadFromFile(const QString& path, QString* error = nullptr);

    // The document's first node (what the program's readers take as the root).
    XmlNode FirstNode() const;
    // The first element at document level, null when none.
    XmlNode DocumentElement() const;
    // Nodes at document level, comments included.
    std::vector<XmlNode> Nodes() const;

    // Appends an element / a comment at document level.
    XmlNode AddRoot(const QString& name);
    void AddDocComment(const QString& text);

    // UTF-8, no declaration, no whitespace of our own.
    QByteArray SaveToBytes() const;
    // Writes atomically; throws EFileError when the file cannot be written.
    void SaveToFile(const QString& path) const;

    // The parsed document itself, for readers that walk large files on
    // pugixml without making a QString of every name and value. Valid until
    // the document is loaded again, cleared or destroyed.
    const pugi::xml_document& Raw() const { return *m_doc; }

private:
    void Parse(QByteArray bytes);

    std::unique_ptr<pugi::xml_document> m_doc;
    // The loaded text: the document is parsed in place and its names and
    // values point into it.
    QByteArray m_text;
};
