// The grid's XML list of records: the writer builds the text itself, line
// by line; the reader takes any well-formed document of nested elements and
// attributes through TXMLDocument (no DTD, no external entity), walks it
// without recursion, stages every cell and applies nothing until the whole
// document has been read and checked against the grid size limits.
#include "grid/ExtGrid.h"
#include "grid/GridIOLimits.h"
#include "platform/Files.h"
#include "platform/XmlDoc.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cmath>
#include <map>
#include <pugixml.hpp>
#include <vector>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool IsNameStart(char32_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c)
{
    return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 || (c >= 0x300 && c <= 0x36F) ||
           (c >= 0x203F && c <= 0x2040);
}

// An XML 1.0 name.
bool IsXmlName(const QString& name)
{
    if (name.isEmpty()) return false;
    const QList<uint> ucs = name.toUcs4();
    if (name.size() != QString::fromUcs4(reinterpret_cast<const char32_t*>(ucs.constData()), ucs.size()).size()) return false;
    for (qsizetype i = 0; i < ucs.size(); ++i) {
        const char32_t c = ucs[i];
        if (c >= 0xD800 && c <= 0xDFFF) return false; // a lone surrogate
        if (!(i == 0 ? IsNameStart(c) : IsNameChar(c))) return false;
    }
    return true;
}

// A character XML 1.0 can hold at all (as itself or as a reference).
// One code point as text. (QString::fromUcs4 is no use here: it takes a
// leading U+FEFF for a byte-order mark and drops it.)
QString CodePoint(char32_t c)
{
    if (!QChar::requiresSurrogates(c)) return QString(QChar(char16_t(c)));
    const QChar pair[2] = {QChar(QChar::highSurrogate(c)), QChar(QChar::lowSurrogate(c))};
    return QString(pair, 2);
}

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Encodes the document text in the declared encoding; a character the
// encoding cannot hold is written as a numeric reference. Names were
// checked to be encodable before (a reference is not allowed in a name).
class TXmlEncoder {
public:
    explicit TXmlEncoder(const QString& encoding) : m_name(encoding)
    {
        QStringEncoder probe(encoding.toLatin1().constData());
        m_valid = probe.isValid();
        const QString lower = encoding.toLower();
        m_bom = lower.startsWith(QLatin1String("utf-16")) || lower.startsWith(QLatin1String("utf-32"));
    }
    bool IsValid() const { return m_valid; }

    // True when the encoding holds this code point.
    bool Holds(char32_t c)
    {
        if (c < 0x80 && !m_bom) return true;
        if (auto it = m_cache.constFind(c); it != m_cache.constEnd()) return *it;
        const QString s = CodePoint(c);
        QStringEncoder enc(m_name.toLatin1().constData(), QStringConverter::Flag::Stateless);
        const QByteArray bytes = enc.encode(s);
        bool ok = !enc.hasError();
        if (ok) {
            QStringDecoder dec(m_name.toLatin1().constData(), QStringConverter::Flag::Stateless);
            const QString back = dec.decode(bytes);
            ok = !dec.hasError() && back == s;
        }
        m_cache.insert(c, ok);
        return ok;
    }

    bool HoldsAll(const QString& text)
    {
        for (const char32_t c : text.toUcs4())
            if (!Holds(c)) return false;
        return true;
    }

    // Every character the encoding lacks becomes "&#N;".
    QString WithReferences(const QString& text)
    {
        QString out;
        out.reserve(text.size());
        for (const char32_t c : text.toUcs4()) {
            if (Holds(c)) out += CodePoint(c);
            else out += QStringLiteral("&#%1;").arg(uint(c));
        }
        return out;
    }

    QByteArray Encode(const QString& text) const
    {
        QStringEncoder enc(m_name.toLatin1().constData(),
                           m_bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
        return enc.encode(text);
    }

private:
    QString m_name;
    bool m_valid = false;
    bool m_bom = false;
    QHash<char32_t, bool> m_cache;
};

// The writer's form of a cell text: "&" as "$amp;" (the form readers of
// these files rely on), then the XML entities for the other reserved
// characters, and a CR as a reference so that it is not read back as a
// line feed.
QString XmlValue(const QString& text)
{
    QString v = text;
    v.replace(u'&', QStringLiteral("$amp;"));
    v.replace(u'>', QStringLiteral("&gt;"));
    v.replace(u'<', QStringLiteral("&lt;"));
    v.replace(u'"', QStringLiteral("&quot;"));
    v.replace(u'\r', QStringLiteral("&#13;"));
    return v;
}

// The reader's decoding: the parser has already resolved the entities, so
// only "$amp;" goes back to "&", in one pass.
QString XmlDecode(QString text) { return text.replace(QStringLiteral("$amp;"), QStringLiteral("&")); }

bool CountsAsChild(const pugi::xml_node& n)
{
    const pugi::xml_node_type t = n.type();
    return t == pugi::node_element || t == pugi::node_pcdata || t == pugi::node_cdata;
}

int ChildCount(const pugi::xml_node& n, int stopAt)
{
    int count = 0;
    for (pugi::xml_node ch = n.first_child(); ch && count < stopAt; ch = ch.next_sibling())
        if (CountsAsChild(ch)) ++count;
    return count;
}

// The text content of a node: its own value for text, else the texts of
// all its descendants in document order (walked without recursion).
QString TextContent(const pugi::xml_node& node)
{
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) return XmlText(node.value());
    std::string out;
    pugi::xml_node n = node.first_child();
    while (n && n != node) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) out += n.value();
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && n != node && !n.next_sibling()) n = n.parent();
        if (n && n != node) n = n.next_sibling();
    }
    return XmlText(out.c_str());
}

struct TXmlStaged {
    int Col;
    int Row;
    QString Text;
};

} // namespace

QByteArray TExtStringGrid::SaveToXMLBytes(const QString& listDescr, const QString& recordDescr,
                                          const QStringList& fieldDescr, bool exportEmptyCells)
{
    TXmlEncoder enc(XMLEncoding());
    if (!enc.IsValid() || XMLEncoding().contains(u'"'))
        throw EExtGridError(QStringLiteral("Unknown XML encoding: ") + XMLEncoding());
    const int startCol = SaveStartCol();
    const int endCol = SaveEndCol() + (SaveHiddenCells() ? NumHiddenColumns() : 0);
    auto checkName = [&](const QString& name) {
        if (!IsXmlName(name) || !enc.HoldsAll(name)) throw EExtGridError(QStringLiteral("Invalid XML element name: ") + name);
    };
    checkName(listDescr);
    checkName(recordDescr);
    std::vector<QString> tags;
    for (int c = startCol; c <= endCol; ++c) {
        const int k = c - startCol;
        tags.push_back(k < fieldDescr.size() ? fieldDescr[k] : QStringLiteral("FIELD") + QString::number(k));
        checkName(tags.back());
    }

    QString out;
    out += QStringLiteral("<?xml version=\"1.0\" encoding=\"") + XMLEncoding() + QStringLiteral("\" ?>") + kCrLf;
    out += u'<' + listDescr + u'>' + kCrLf;
    const int startRow = SaveStartRow(), endRow = SaveEndRow();
    ExportNotification(TGridExportState::esExportStart, startRow);
    for (int r = startRow; r <= endRow; ++r) {
        ExportNotification(TGridExportState::esExportNextRow, r);
        // A record without a written cell has no line break inside: a reader
        // would take that blank for the text of its first cell.
        QString fields;
        for (int c = startCol; c <= endCol; ++c) {
            const int real = c < ColCount() ? RealColIndex(TDisplCol(c)).Value() : c;
            if (IsMergedNonBaseCell(real, r)) continue;
            QString text;
            GetSaveText(c, r, text);
            if (text.isEmpty() && !exportEmptyCells) continue;
            if (text.isEmpty() && QuoteEmptyCells()) text = QStringLiteral("\"\"");
            for (const char32_t ch : text.toUcs4())
                if (!IsXmlChar(ch))
                    throw EExtGridError(QStringLiteral("Cell [%1, %2] holds a character XML cannot hold (code %3)")
                                            .arg(c)
                                            .arg(r)
                                            .arg(uint(ch)));
            const QString& tag = tags[size_t(c - startCol)];
            fields += u'<' + tag + u'>' + enc.WithReferences(XmlValue(text)) + QStringLiteral("</") + tag + u'>' + kCrLf;
        }
        out += u'<' + recordDescr + u'>' + (fields.isEmpty() ? QString() : kCrLf) + fields + QStringLiteral("</") + recordDescr + u'>' + kCrLf;
        const int done = r - startRow;
        FileProgress(int(std::lround(double(done) / std::max(1, endRow - startRow) * 100)), done == 0);
    }
    out += QStringLiteral("</") + listDescr + u'>' + kCrLf;
    ExportNotification(TGridExportState::esExportDone, -1);
    return enc.Encode(out);
}

void TExtStringGrid::SaveToXML(const QString& fileName, const QString& listDescr, const QString& recordDescr,
                               const QStringList& fieldDescr, bool exportEmptyCells)
{
    const QByteArray bytes = SaveToXMLBytes(listDescr, recordDescr, fieldDescr, exportEmptyCells);
    try {
        WriteFileAtomic(fileName, bytes);
    } catch (const EFileError&) {
        throw EExtGridError(QStringLiteral("Cannot Create file ") + fileName);
    }
}

void TExtStringGrid::LoadFromXMLBytes(const QByteArray& bytes, bool levelToRow, bool loadFieldDescr)
{
    using namespace GridIOLimits;
    TXMLDocument doc;
    try {
        doc.LoadFromBytes(bytes);
    } catch (const EXMLError& e) {
        if (doc.ParseErrorCode() != 0)
            throw EExtGridError(QStringLiteral("XMLDOM Parsing error %1 on line %2").arg(doc.ParseErrorCode()).arg(doc.ParseErrorLine()));
        throw EExtGridError(QStringLiteral("XMLDOM Parsing error: ") + e.Message());
    }
    const pugi::xml_node root = doc.Raw().document_element();

    const bool headerOn = SaveFixedCells() || SaveFixedRows();
    const int c0 = SaveStartCol();
    const int r0 = (!headerOn || loadFieldDescr) ? FixedRows() : 0;
    int maxCol = c0, maxRow = r0;
    // The grid's size as the walk grows it, and the cells it stores.
    int64_t cols = ColCount(), rows = RowCount();
    std::vector<TXmlStaged> staged;
    std::map<std::pair<int, int>, size_t> header; // staged row-0 texts: (col, 0) -> index
    auto tooLarge = []() { return EExtGridError(QStringLiteral("XMLDOM Parsing error: the document holds more columns or rows than a grid can")); };

    int r = 0, c = 0, level = 1;
    auto grow = [&]() {
        if (r < 0) r = 0; // nothing lands above the first row
        const int64_t needCols = int64_t(c0) + c + 1, needRows = int64_t(r0) + r + 1;
        if (!ColsFit(needCols) || !RowsFit(needRows)) throw tooLarge();
        cols = std::max(cols, needCols);
        rows = std::max(rows, needRows);
    };
    auto headerEmpty = [&](int col) {
        if (auto it = header.find({col, 0}); it != header.end()) return staged[it->second].Text.isEmpty();
        return col >= ColCount() || RowCount() < 1 || GridCells(col, 0).isEmpty();
    };
    auto store = [&](int col, int row, const QString& text) {
        // A text the writer could not write back (a control character the
        // parser let through) makes the document malformed.
        for (const char32_t ch : text.toUcs4())
            if (!IsXmlChar(ch))
                throw EExtGridError(QStringLiteral("The document holds a character XML cannot hold (code %1)").arg(uint(ch)));
        if (row == 0) header[{col, 0}] = staged.size();
        staged.push_back({col, row, text});
    };
    auto stored = [&]() {
        maxCol = std::max(maxCol, c0 + c);
        maxRow = std::max(maxRow, r0 + r);
    };

    std::vector<pugi::xml_node> stack;
    int i = 0;
    for (pugi::xml_node record = root.first_child(); record; record = record.next_sibling()) {
        if (!CountsAsChild(record)) continue;
        c = 0;
        level = 1;
        if (levelToRow && i == 0 && !record.first_attribute()) r = -1;
        stack.assign(1, record);
        while (!stack.empty()) {
            const pugi::xml_node node = stack.back();
            stack.pop_back();
            bool newRow = false;
            if (node.type() == pugi::node_element && node.first_attribute()) {
                for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
                    grow();
                    if (headerEmpty(c0 + c) && headerOn) store(c0 + c, 0, XmlText(a.name()));
                    store(c0 + c, r0 + r, XmlDecode(XmlText(a.value())));
                    stored();
                    ++c;
                    if (!ColsFit(int64_t(c0) + c)) throw tooLarge();
                }
                if (levelToRow) {
                    ++r;
                    c = level;
                    newRow = true;
                }
            }
            const int children = node.type() == pugi::node_element ? ChildCount(node, 2) : 0;
            if (children > 1) {
                if (levelToRow && !newRow) {
                    ++r;
                    c = 0;
                }
                ++level;
                if (!RowsFit(int64_t(r0) + r)) throw tooLarge();
                const size_t at = stack.size();
                for (pugi::xml_node ch = node.first_child(); ch; ch = ch.next_sibling())
                    if (CountsAsChild(ch)) stack.push_back(ch);
                std::reverse(stack.begin() + qsizetype(at), stack.end());
            } else if (children == 1 || node.type() != pugi::node_element) {
                grow();
                if (headerEmpty(c0 + c) && headerOn && loadFieldDescr && node.type() == pugi::node_element)
                    store(c0 + c, 0, XmlText(node.name()));
                QString text = XmlDecode(TextContent(node));
                if (QuoteEmptyCells() && text == QLatin1String("\"\"")) text.clear();
                store(c0 + c, r0 + r, text);
                stored();
                ++c;
            } else {
                if (r < 0) r = 0;
                if (c0 + c < cols && r0 + r < rows) store(c0 + c, r0 + r, QString());
                ++c;
            }
            if (!ColsFit(int64_t(c0) + c)) throw tooLarge();
        }
        if (!levelToRow) ++r;
        if (!RowsFit(int64_t(r0) + r)) throw tooLarge();
        ++i;
    }

    // Everything is read: apply.
    if (cols != ColCount()) SetColCount(int(cols));
    if (rows != RowCount()) SetRowCount(int(rows));
    for (const TXmlStaged& s : staged) SetLoadText(s.Col, s.Row, s.Text);
    SetColCount(maxCol + 1);
    SetRowCount(maxRow + 1);
    CellsChanged({0, 0, ColCount(), RowCount()});
    CellsLoaded();
}

void TExtStringGrid::LoadFromXML(const QString& fileName, bool levelToRow, bool loadFieldDescr)
{
    QFile f(fileName);
    if (!f.exists()) throw EExtGridError(QStringLiteral("XML file not found"));
    if (!f.open(QIODevice::ReadOnly)) throw EFileError(QStringLiteral("Cannot open file \"%1\"").arg(fileName));
    if (f.size() > Max_Xml_File_Size) throw EExtGridError(QStringLiteral("XMLDOM Parsing error: the file is too large"));
    LoadFromXMLBytes(f.readAll(), levelToRow, loadFieldDescr);
}
