#include "platform/XmlDoc.h"

#include "platform/Exception.h"
#include "platform/Files.h"

#include <QFile>
#include <pugixml.hpp>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

namespace {
std::string U8(const QString& s) { return s.toStdString(); }
QString Q(const char* s) { return XmlText(s); }

bool StartsWith(const char* s, size_t n, size_t i, std::string_view what)
{
    return n - i >= what.size() && std::memcmp(s + i, what.data(), what.size()) == 0;
}

size_t Find(const char* s, size_t n, size_t from, std::string_view what)
{
    const std::string_view all(s, n);
    const size_t at = all.find(what, from);
    return at == std::string_view::npos ? n : at;
}

// What a stretch of character data is: an attribute value, the text
// between two tags, or the whole text of an element (between its start and
// end tag).
enum class Stretch { Attribute, Text, WholeText };

// Calls data(begin, end, kind) for every stretch of character data of a
// UTF-8 document: the text between tags and the quoted attribute values.
// Comments, CDATA sections, processing instructions, the document type and
// the names inside tags are passed over.
template <class F>
void ForEachDataStretch(const char* s, size_t n, F&& data)
{
    size_t i = 0;
    bool afterStartTag = false;
    while (i < n) {
        if (s[i] != '<') {
            const void* lt = std::memchr(s + i, '<', n - i);
            const size_t j = lt ? size_t(static_cast<const char*>(lt) - s) : n;
            const bool whole = afterStartTag && j + 1 < n && s[j + 1] == '/';
            data(i, j, whole ? Stretch::WholeText : Stretch::Text);
            i = j;
            afterStartTag = false;
            continue;
        }
        afterStartTag = false;
        if (StartsWith(s, n, i, "<!--")) {
            i = std::min(n, Find(s, n, i + 4, "-->") + 3);
        } else if (StartsWith(s, n, i, "<![CDATA[")) {
            i = std::min(n, Find(s, n, i + 9, "]]>") + 3);
        } else if (StartsWith(s, n, i, "<?")) {
            i = std::min(n, Find(s, n, i + 2, "?>") + 2);
        } else if (StartsWith(s, n, i, "<!")) {
            // The document type, with its internal subset in brackets.
            int depth = 0;
            size_t j = i + 2;
            for (; j < n; ++j) {
                const char c = s[j];
                if (c == '"' || c == '\'') {
                    const void* q = std::memchr(s + j + 1, c, n - j - 1);
                    j = q ? size_t(static_cast<const char*>(q) - s) : n;
                } else if (c == '[') {
                    ++depth;
                } else if (c == ']') {
                    --depth;
                } else if (c == '>' && depth <= 0) {
                    break;
                }
            }
            i = std::min(n, j + 1);
        } else {
            // A tag: its quoted attribute values are data.
            size_t j = i + 1;
            while (j < n && s[j] != '>') {
                if (s[j] == '"' || s[j] == '\'') {
                    const void* q = std::memchr(s + j + 1, s[j], n - j - 1);
                    const size_t k = q ? size_t(static_cast<const char*>(q) - s) : n;
                    data(j + 1, k, Stretch::Attribute);
                    j = k + 1;
                    continue;
                }
                ++j;
            }
            afterStartTag = i + 1 < n && s[i + 1] != '/' && j < n && s[j - 1] != '/';
            i = std::min(n, j + 1);
        }
    }
}

// A character reference to a character XML cannot hold (&#0;, a surrogate
// such as &#xD800;, anything above U+10FFFF) in the data of the document:
// its offset, or -1 when there is none. NUL would cut the value, and the
// others would be written back as bytes that are not UTF-8.
qsizetype FindBadReference(const QByteArray& text)
{
    const char* s = text.constData();
    const size_t n = size_t(text.size());
    qsizetype found = -1;
    ForEachDataStretch(s, n, [&](size_t b, size_t e, Stretch) {
        for (size_t i = b; i < e && found < 0; ++i) {
            if (s[i] != '&' || i + 1 >= e || s[i + 1] != '#') continue;
            size_t j = i + 2;
            const bool hex = j < e && (s[j] == 'x' || s[j] == 'X');
            if (hex) ++j;
            const size_t digits = j;
            uint32_t value = 0;
            for (; j < e; ++j) {
                const char c = s[j];
                int d = -1;
                if (c >= '0' && c <= '9') d = c - '0';
                else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
                else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
                if (d < 0) break;
                value = std::min<uint32_t>(value * (hex ? 16 : 10) + uint32_t(d), 0x110000); // no overflow
            }
            if (j == digits || j >= e || s[j] != ';') continue;
            if (value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) found = qsizetype(i);
        }
    });
    return found;
}

// The value of the pseudo-attribute `encoding` of an XML declaration
// (<?xml version="1.0" encoding="..."?>) at the start of `s`; nothing when
// the text has no declaration or the declaration names no encoding. An
// instruction such as <?xml-stylesheet ...?> is no declaration.
std::optional<QByteArray> DeclaredEncoding(QByteArrayView s)
{
    if (!s.startsWith("<?xml") || s.size() < 6) return std::nullopt;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    if (!blank(s[5])) return std::nullopt;
    const qsizetype end = s.indexOf("?>");
    if (end < 0) return std::nullopt;
    const QByteArrayView decl = s.sliced(5, end - 5);
    qsizetype i = 0;
    const qsizetype n = decl.size();
    while (i < n) {
        while (i < n && blank(decl[i])) ++i;
        const qsizetype nameStart = i;
        while (i < n && !blank(decl[i]) && decl[i] != '=') ++i;
        const QByteArrayView name = decl.sliced(nameStart, i - nameStart);
        while (i < n && blank(decl[i])) ++i;
        if (i >= n || decl[i] != '=') return std::nullopt;
        ++i;
        while (i < n && blank(decl[i])) ++i;
        if (i >= n || (decl[i] != '"' && decl[i] != '\'')) return std::nullopt;
        const char quote = decl[i++];
        const qsizetype valueStart = i;
        while (i < n && decl[i] != quote) ++i;
        if (i >= n) return std::nullopt;
        const QByteArrayView value = decl.sliced(valueStart, i - valueStart);
        ++i;
        if (name == "encoding") return value.toByteArray();
    }
    return std::nullopt;
}

bool SameName(const QByteArray& a, const char* b) { return a.compare(QByteArrayView(b), Qt::CaseInsensitive) == 0; }

// The 16- and 32-bit forms, known by their byte-order mark or by how the
// declaration's "<?" is spelled in them.
std::optional<QStringDecoder::Encoding> WideEncoding(QByteArrayView b, qsizetype& skip)
{
    const auto at = [&](qsizetype i) { return i < b.size() ? uint8_t(b[i]) : 0x100; };
    skip = 0;
    if (at(0) == 0xFF && at(1) == 0xFE && at(2) == 0 && at(3) == 0) return skip = 4, QStringDecoder::Utf32LE;
    if (at(0) == 0 && at(1) == 0 && at(2) == 0xFE && at(3) == 0xFF) return skip = 4, QStringDecoder::Utf32BE;
    if (at(0) == 0xFF && at(1) == 0xFE) return skip = 2, QStringDecoder::Utf16LE;
    if (at(0) == 0xFE && at(1) == 0xFF) return skip = 2, QStringDecoder::Utf16BE;
    if (at(0) == '<' && at(1) == 0 && at(2) == 0 && at(3) == 0) return QStringDecoder::Utf32LE;
    if (at(0) == 0 && at(1) == 0 && at(2) == 0 && at(3) == '<') return QStringDecoder::Utf32BE;
    if (at(0) == '<' && at(1) == 0 && at(2) == '?' && at(3) == 0) return QStringDecoder::Utf16LE;
    if (at(0) == 0 && at(1) == '<' && at(2) == 0 && at(3) == '?') return QStringDecoder::Utf16BE;
    return std::nullopt;
}

// The document's bytes as UTF-8 without a byte-order mark, or EXMLError.
QByteArray ToUtf8(QByteArray&& bytes)
{
    qsizetype skip = 0;
    if (const auto wide = WideEncoding(bytes, skip)) {
        QStringDecoder decoder(*wide, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(QByteArrayView(bytes).sliced(skip));
        if (decoder.hasError())
            throw EXMLError(QStringLiteral("The document is not valid %1.").arg(QString::fromLatin1(decoder.name())));
        bytes = QByteArray();
        return text.toUtf8();
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
        qsizetype bad = 0;
        if (!IsValidUtf8(bytes, &bad))
            throw EXMLError(QStringLiteral("The document is marked as UTF-8, but its bytes at offset %1 are not UTF-8.").arg(bad + 3));
        return std::move(bytes);
    }
    const std::optional<QByteArray> declared = DeclaredEncoding(bytes);
    if (!declared) {
        // No declared encoding: UTF-8 when the bytes are UTF-8, else the
        // single-byte code page that text files are read in.
        if (IsValidUtf8(bytes)) return std::move(bytes);
        return AnsiToUtf8(bytes);
    }
    if (SameName(*declared, "UTF-8")) {
        qsizetype bad = 0;
        if (!IsValidUtf8(bytes, &bad))
            throw EXMLError(QStringLiteral("The document declares UTF-8, but its bytes at offset %1 are not UTF-8.").arg(bad));
        return std::move(bytes);
    }
    for (const char* name : {"windows-1252", "cp1252", "ISO-8859-1", "ISO_8859-1", "latin1", "US-ASCII"})
        if (SameName(*declared, name)) return AnsiToUtf8(bytes);
    throw EXMLError(QStringLiteral("The document's encoding \"%1\" is not one the program can read "
                                   "(UTF-8, UTF-16, UTF-32, Windows-1252, ISO-8859-1).")
                        .arg(QString::fromLatin1(*declared)));
}

// Writes pugixml's output straight into a QByteArray.
class ByteWriter final : public pugi::xml_writer {
public:
    QByteArray bytes;
    void write(const void* data, size_t size) override { bytes.append(static_cast<const char*>(data), qsizetype(size)); }
};
} // namespace

QString XmlText(const char* utf8)
{
    // QString::fromUtf8 drops a byte-order mark at the start; a value may
    // begin with U+FEFF all the same.
    if (utf8[0] == '\xEF' && utf8[1] == '\xBB' && utf8[2] == '\xBF') return QChar(0xFEFF) + QString::fromUtf8(utf8 + 3);
    return QString::fromUtf8(utf8);
}

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

void TXMLDocument::Parse(QByteArray&& bytes)
{
    Clear();
    m_errorCode = 0;
    m_errorLine = 0;
    QByteArray text = ToUtf8(std::move(bytes));
    if (const void* nul = std::memchr(text.constData(), 0, size_t(text.size())))
        throw EXMLError(QStringLiteral("The document holds a NUL byte at offset %1; XML cannot hold that character.")
                            .arg(static_cast<const char*>(nul) - text.constData()));
    if (const qsizetype at = FindBadReference(text); at >= 0)
        throw EXMLError(QStringLiteral("The document holds the reference \"%1\" at offset %2, to a character XML cannot "
                                       "hold (a value would be cut or spoiled there).")
                            .arg(QString::fromLatin1(text.mid(at, text.indexOf(';', at) + 1 - at)))
                            .arg(at));
    // The parsed document takes about 64 bytes per node and 40 per
    // attribute besides the text. A file of the largest size allowed that is
    // nothing but tiny elements would need many times its size: such a file
    // is no configuration and is refused before it is parsed.
    const qint64 structure = 64 * qint64(std::count(text.cbegin(), text.cend(), '<')) +
                             40 * qint64(std::count(text.cbegin(), text.cend(), '='));
    if (structure > Max_Xml_Structure)
        throw EXMLError(QStringLiteral("The document holds more elements and attributes than the program reads "
                                       "(about %1 MB of them; at most %2 MB).")
                            .arg(structure / (1024 * 1024))
                            .arg(Max_Xml_Structure / (1024 * 1024)));
    m_text = std::move(text);
    // Parsed in place: no copy of a large file is made. An element whose
    // whole text is blanks keeps it (a value of blanks must come back as it
    // was written); blanks between elements are layout and are dropped.
    const unsigned options = pugi::parse_default | pugi::parse_comments | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
    const pugi::xml_parse_result r = m_doc->load_buffer_inplace(m_text.data(), size_t(m_text.size()), options, pugi::encoding_utf8);
    if (!r) {
        m_errorCode = int(r.status);
        const qsizetype at = std::clamp<qsizetype>(qsizetype(r.offset), 0, m_text.size());
        m_errorLine = 1 + int(std::count(m_text.cbegin(), m_text.cbegin() + at, '\n'));
        Clear();
        throw EXMLError(QStringLiteral("XML error at offset %1: %2").arg(r.offset).arg(Q(r.description())));
    }
    // A declaration is not a node the program's readers see (nor one that
    // stands after another node: it would become the first when written).
    for (pugi::xml_node n = m_doc->first_child(); n;) {
        const pugi::xml_node next = n.next_sibling();
        if (n.type() == pugi::node_declaration) m_doc->remove_child(n);
        n = next;
    }
}

void TXMLDocument::LoadFromBytes(const QByteArray& bytes) { Parse(QByteArray(bytes)); }

void TXMLDocument::LoadFromFile(const QString& path, qint64 maxSize)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw EXMLError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    const auto tooLarge = [&]() {
        constexpr qint64 MB = 1024 * 1024;
        const QString limit = maxSize % MB == 0 ? QStringLiteral("%1 MB").arg(maxSize / MB) : QStringLiteral("%1 bytes").arg(maxSize);
        return EXMLError(QStringLiteral("The file \"%1\" is larger than %2 and is not read: it cannot be a configuration file.")
                             .arg(path, limit));
    };
    if (f.size() > maxSize) throw tooLarge();
    QByteArray bytes = f.readAll();
    if (bytes.size() > maxSize) throw tooLarge(); // it grew while it was read
    try {
        Parse(std::move(bytes));
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
    ByteWriter w;
    m_doc->save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    // pugixml writes two things in text as they are that no reader gets back:
    // a CR (every reader turns it into a line feed) and a text of nothing but
    // blanks beside other nodes (readers drop it as layout). Written as a
    // reference, the CR and the first blank of such a text come back.
    const char* s = w.bytes.constData();
    const size_t n = size_t(w.bytes.size());
    QByteArray out;
    size_t copied = 0;
    const auto replace = [&](size_t at, const char* reference) {
        if (out.isEmpty()) out.reserve(qsizetype(n) + 64);
        out.append(s + copied, qsizetype(at - copied));
        out.append(reference);
        copied = at + 1;
    };
    ForEachDataStretch(s, n, [&](size_t b, size_t e, Stretch kind) {
        if (kind == Stretch::Text && std::all_of(s + b, s + e, [](char c) { return c == ' ' || c == '\t' || c == '\n'; }))
            replace(b, s[b] == ' ' ? "&#32;" : s[b] == '\t' ? "&#9;" : "&#10;");
        for (size_t i = b; i < e; ++i)
            if (s[i] == '\r') replace(i, "&#13;");
    });
    if (copied == 0) return std::move(w.bytes);
    out.append(s + copied, qsizetype(n - copied));
    return out;
}

void TXMLDocument::SaveToFile(const QString& path) const { WriteFileAtomic(path, SaveToBytes()); }
