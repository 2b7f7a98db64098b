#pragma once
// TXMLDocument: the XML document the program's readers and writers use, over
// pugixml. A document is loaded whole, walked by element names and saved
// whole. Files are written without an XML declaration and without
// indentation, atomically.
//
// Reading is lossless or refused:
// - the encoding comes from a byte-order mark, else from the declaration's
//   encoding value (UTF-8, UTF-16, UTF-32, Windows-1252 and its ISO-8859-1
//   and latin1 names; any other is refused by name), else the bytes are
//   UTF-8 when they are valid UTF-8 and Windows-1252 otherwise;
// - a NUL character (a NUL byte, or a reference such as &#0;) refuses the
//   document: XML cannot hold one, and it would cut the value; so does a
//   reference to a surrogate or to a code point above U+10FFFF;
// - a file larger than the caller's limit (64 MB unless said) is refused, and
//   so is a document of so many tiny elements or attributes that its nodes
//   would take more than eight times that limit in memory.
// Writing keeps every character: a CR in an element's text is written as
// &#13;, so that it does not come back as a line feed.
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

// The largest project file the program reads (a real configuration is a few MB).
constexpr qint64 Max_Xml_File_Size = 64 * 1024 * 1024;

// The most memory the parsed nodes and attributes of one document may take,
// so that reading a file at the size limit stays below ten times its size.
constexpr qint64 Max_Xml_Structure = 8 * Max_Xml_File_Size;

// A value's UTF-8 text as a QString, a U+FEFF at its start included.
QString XmlText(const char* utf8);

class TXMLDocument {
public:
    TXMLDocument();
    ~TXMLDocument();
    TXMLDocument(const TXMLDocument&) = delete;
    TXMLDocument& operator=(const TXMLDocument&) = delete;

    // Empties the document.
    void Clear();

    // Loads a file; throws EXMLError (file missing, unreadable, larger than
    // `maxSize` bytes or not well-formed) with a message naming the file.
    void LoadFromFile(const QString& path, qint64 maxSize = Max_Xml_File_Size);
    // Loads from bytes; throws EXMLError when not well-formed.
    void LoadFromBytes(const QByteArray& bytes);
    // After a load that failed because the text is not well-formed: the
    // parser's status code (0 for any other failure and after a good load)
    // and the line, counted from 1, where the parser stopped.
    int ParseErrorCode() const { return m_errorCode; }
    int ParseErrorLine() const { return m_errorLine; }
    // As LoadFromFile but answers false instead of throwing.
    bool TryLoadFromFile(const QString& path, QString* error = nullptr);

    // The document's first node, whatever it is. Readers take the document
    // element instead: a comment or instruction may stand before it.
    XmlNode FirstNode() const;
    // The document element (the first element at document level), null when
    // none: the root every reader takes.
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
    void Parse(QByteArray&& bytes);

    std::unique_ptr<pugi::xml_document> m_doc;
    // The loaded text: the document is parsed in place and its names and
    // values point into it.
    QByteArray m_text;
    int m_errorCode = 0;
    int m_errorLine = 0;
};
