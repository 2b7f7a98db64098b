#include "platform/Docx.h"

#include "platform/XmlParts.h"
#include "platform/Zip.h"

#include <pugixml.hpp>

#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <string>

namespace {

const char* const kMainNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
// The text width of an A4 page with 2 cm margins, in twentieths of a point.
constexpr int kTextWidth = 9638;

// Characters XML 1.0 cannot hold are left out.
std::string XmlText(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar ch : s)
        if (ch.unicode() >= 0x20 || ch == u'\t' || ch == u'\n') {
            if (ch.unicode() != 0xFFFE && ch.unicode() != 0xFFFF) out += ch;
        }
    return out.toStdString();
}

class TBuilder {
public:
    explicit TBuilder(std::string prefix)
        : P(std::move(prefix))
    {
    }
    pugi::xml_node Add(pugi::xml_node parent, const char* name) const { return parent.append_child((P + name).c_str()); }
    void Set(pugi::xml_node n, const char* attr, const std::string& v) const
    {
        n.append_attribute((P + attr).c_str()).set_value(v.c_str());
    }
    // A paragraph holding one line of text (tabs as tab elements).
    pugi::xml_node Paragraph(pugi::xml_node parent, const QString& line, TDocxAlign align,
                             pugi::xml_node before = {}) const
    {
        pugi::xml_node p = before ? parent.insert_child_before((P + "p").c_str(), before) : Add(parent, "p");
        if (align != TDocxAlign::Left) {
            pugi::xml_node jc = Add(Add(p, "pPr"), "jc");
            Set(jc, "val", align == TDocxAlign::Right ? "right" : "center");
        }
        if (line.isEmpty()) return p;
        pugi::xml_node r = Add(p, "r");
        const QStringList parts = line.split(u'\t');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) Add(r, "tab");
            if (parts[i].isEmpty()) continue;
            pugi::xml_node t = Add(r, "t");
            t.append_attribute("xml:space").set_value("preserve");
            t.text().set(XmlText(parts[i]).c_str());
        }
        return p;
    }
    pugi::xml_node Table(pugi::xml_node parent, const TDocxTable& table, pugi::xml_node before = {}) const
    {
        size_t cols = 0;
        for (const auto& row : table) cols = std::max(cols, row.size());
        const int width = cols ? std::max(1, kTextWidth / int(cols)) : kTextWidth;
        pugi::xml_node tbl = before ? parent.insert_child_before((P + "tbl").c_str(), before) : Add(parent, "tbl");
        pugi::xml_node pr = Add(tbl, "tblPr");
        pugi::xml_node w = Add(pr, "tblW");
        Set(w, "w", "0");
        Set(w, "type", "auto");
        pugi::xml_node borders = Add(pr, "tblBorders");
        for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
            pugi::xml_node b = Add(borders, side);
            Set(b, "val", "single");
            Set(b, "sz", "4");
            Set(b, "space", "0");
            Set(b, "color", "auto");
        }
        pugi::xml_node grid = Add(tbl, "tblGrid");
        for (size_t c = 0; c < cols; ++c) Set(Add(grid, "gridCol"), "w", std::to_string(width));
        static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
        for (const auto& row : table) {
            pugi::xml_node tr = Add(tbl, "tr");
            for (size_t c = 0; c < cols; ++c) {
                pugi::xml_node tc = Add(tr, "tc");
                pugi::xml_node tcW = Add(Add(tc, "tcPr"), "tcW");
                Set(tcW, "w", std::to_string(width));
                Set(tcW, "type", "dxa");
                const TDocxCell cell = c < row.size() ? row[c] : TDocxCell{};
                for (const QString& line : cell.Text.split(breaks)) Paragraph(tc, line, cell.Align);
            }
        }
        return tbl;
    }

private:
    std::string P;
};

} // namespace

QByteArray WriteNewDocx(const TDocxTable& table, const QString& text)
{
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version").set_value("1.0");
    decl.append_attribute("encoding").set_value("UTF-8");
    decl.append_attribute("standalone").set_value("yes");
    pugi::xml_node root = doc.append_child("w:document");
    root.append_attribute("xmlns:w").set_value(kMainNs);
    const TBuilder b("w:");
    pugi::xml_node body = b.Add(root, "body");
    b.Table(body, table);
    b.Paragraph(body, text, TDocxAlign::Left);
    pugi::xml_node sect = b.Add(body, "sectPr");
    pugi::xml_node size = b.Add(sect, "pgSz");
    b.Set(size, "w", "11906");
    b.Set(size, "h", "16838");
    pugi::xml_node mar = b.Add(sect, "pgMar");
    for (const char* side : {"top", "right", "bottom", "left"}) b.Set(mar, side, "1134");

    const QByteArray types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
    const QByteArray rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"word/document.xml\"/></Relationships>";
    try {
        return WriteZip({{QStringLiteral("[Content_Types].xml"), types},
                         {QStringLiteral("_rels/.rels"), rels},
                         {QStringLiteral("word/document.xml"), XmlSaveRaw(doc)}});
    } catch (const EZipError& e) {
        throw EDocxError(e.Message());
    }
}

QByteArray AppendDocxTable(const QByteArray& docx, const TDocxTable& table, const QString& text, const QString& bookmark)
{
    std::vector<std::pair<QString, QByteArray>> entries;
    try {
        TZipReader zip(docx);
        for (const QString& n : zip.Names()) entries.emplace_back(n, zip.Read(n));
    } catch (const EZipError& e) {
        throw EDocxError(QStringLiteral("Not a readable document: ") + e.Message());
    }
    // The main part from the package relationships.
    QString mainPart = QStringLiteral("word/document.xml");
    for (const auto& [name, bytes] : entries)
        if (name == QLatin1String("_rels/.rels")) {
            pugi::xml_document d;
            if (!d.load_buffer(bytes.constData(), size_t(bytes.size()))) throw EDocxError(QStringLiteral("Broken package relationships"));
            for (pugi::xml_node r = XmlChildLocal(d, "Relationships").first_child(); r; r = r.next_sibling())
                if (QString::fromUtf8(r.attribute("Type").value()).endsWith(QLatin1String("/officeDocument"))) {
                    QString t = QString::fromUtf8(r.attribute("Target").value());
                    mainPart = t.startsWith(u'/') ? t.mid(1) : t;
                }
        }
    auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.first == mainPart; });
    if (it == entries.end()) throw EDocxError(QStringLiteral("The document has no main part"));

    pugi::xml_document doc;
    if (!doc.load_buffer(it->second.constData(), size_t(it->second.size()),
                         pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata))
        throw EDocxError(QStringLiteral("Broken document part"));
    pugi::xml_node root = XmlChildLocal(doc, "document");
    pugi::xml_node body = XmlChildLocal(root, "body");
    if (!body) throw EDocxError(QStringLiteral("The document has no body"));
    const char* colon = std::strchr(body.name(), ':');
    const TBuilder b(colon ? std::string(body.name(), size_t(colon - body.name() + 1)) : std::string());

    // The text paragraph comes first.
    pugi::xml_node first;
    for (pugi::xml_node n = body.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element) {
            first = n;
            break;
        }
    b.Paragraph(body, text, TDocxAlign::Left, first);

    pugi::xml_node mark;
    if (!bookmark.isEmpty()) {
        const std::string name = bookmark.toStdString();
        mark = body.find_node([&](const pugi::xml_node& n) {
            const pugi::xml_attribute a = XmlAttrLocal(n, "name");
            return n.type() == pugi::node_element && XmlIsLocal(n, "bookmarkStart") && a && name == a.value();
        });
    }
    pugi::xml_node para;
    for (pugi::xml_node n = mark; n && n != body; n = n.parent())
        if (XmlIsLocal(n, "p")) {
            para = n;
            break;
        }
    if (para) {
        // Split the bookmark's paragraph: what comes before the bookmark
        // stays in a paragraph of the same look, the table follows, the rest
        // after it.
        pugi::xml_node top = mark;
        while (top.parent() != para) top = top.parent();
        pugi::xml_node head = para.parent().insert_child_before(para.name(), para);
        if (pugi::xml_node pPr = XmlChildLocal(para, "pPr")) head.append_copy(pPr);
        for (pugi::xml_node n = para.first_child(); n && n != top;) {
            const pugi::xml_node next = n.next_sibling();
            if (!XmlIsLocal(n, "pPr")) head.append_move(n);
            n = next;
        }
        b.Table(para.parent(), table, para);
    } else if (mark) {
        // A bookmark between paragraphs: the table goes in its place.
        pugi::xml_node tbl = b.Table(mark.parent(), table, mark);
        pugi::xml_node next = tbl.next_sibling();
        while (next && next.type() != pugi::node_element) next = next.next_sibling();
        if (!next || !XmlIsLocal(next, "p")) b.Paragraph(mark.parent(), QString(), TDocxAlign::Left, next ? next : pugi::xml_node());
    } else {
        // At the end: a new paragraph, the table on it, the paragraph after.
        pugi::xml_node sect = XmlChildLocal(body, "sectPr");
        b.Table(body, table, sect);
        b.Paragraph(body, QString(), TDocxAlign::Left, sect);
    }
    it->second = XmlSaveRaw(doc);
    try {
        return WriteZip(entries);
    } catch (const EZipError& e) {
        throw EDocxError(e.Message());
    }
}
