// The grid as an HTML table: one style class per distinct cell look, every
// cell text escaped (a cell cannot put markup or script into the page), links
// only for http, https and mailto, and with XHTML a well-formed XML page.
#include "grid/ExtGrid.h"
#include "controls/EsgHTMLUtil.h"
#include "controls/ExtUtil.h"
#include "platform/Files.h"
#include "platform/ImageList.h"
#include "platform/Jpeg.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QUrl>
#include <algorithm>
#include <map>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The names the page is written with: upper-case HTML, or lower-case XHTML.
struct TPageNames {
    bool X;
    QString Tag(const char* name) const { return X ? QString::fromLatin1(name).toLower() : QString::fromLatin1(name); }
    QString Nbsp() const { return X ? QStringLiteral("&#160;") : QStringLiteral("&nbsp;"); }
    QString Br() const { return X ? QStringLiteral("<br />") : QStringLiteral("<br>"); }
};

// A link for a text naming an http, https or mailto address, else empty.
QString LinkFor(const QString& text, bool full, const TPageNames& n)
{
    const QString t = text.trimmed();
    QString shown;
    const qsizetype scheme = t.indexOf(QLatin1String("://"));
    if (scheme >= 0) shown = full ? t : t.mid(scheme + 3, 255);
    else if (t.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) shown = full ? t : t.mid(7);
    else return {};
    if (!IsOpenableLink(t)) return {};
    return QStringLiteral("<%1 href=\"%2\">%3</%1>").arg(n.Tag("A"), EscapeHtmlChars(t, false), EscapeHtmlChars(shown, false));
}

// Escaping for a file of 7-bit characters: every other character as a
// numeric reference.
QString ToSevenBit(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80) out += QChar(char16_t(c));
        else out += QStringLiteral("&#%1;").arg(uint(c));
    }
    return out;
}

// The markup of a mini-HTML cell as page markup. Only the grid's own tags
// that a browser also knows pass through (bold, italic, underline, strike,
// sub- and superscript, breaks, rules, fonts, paragraphs, lists and links),
// each with only its look attributes, values quoted and escaped, and links
// only to http, https or mailto addresses. Any other tag, an attribute such as
// an event handler, or a link elsewhere is written as text, so a cell cannot
// script the page. Elements are closed in order, so an XHTML page stays
// well-formed.
QString MiniHtmlToPage(const QString& text, bool accents, bool nbsp, const TPageNames& n)
{
    static const QRegularExpression tagRe(
        QStringLiteral("^<(/?)([A-Za-z]+)((?:\\s+[A-Za-z-]+\\s*=\\s*(?:\"[^\"]*\"|'[^']*'|[^\\s\"'<>]+))*)\\s*/?>$"));
    static const QRegularExpression attrRe(QStringLiteral("([A-Za-z-]+)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'<>]+))"));
    auto allowed = [](const QString& name) -> QStringList {
        static const std::map<QString, QStringList> tags = {
            {QStringLiteral("B"), {}},   {QStringLiteral("I"), {}},   {QStringLiteral("U"), {}},
            {QStringLiteral("S"), {}},   {QStringLiteral("SUB"), {}}, {QStringLiteral("SUP"), {}},
            {QStringLiteral("BR"), {}},  {QStringLiteral("HR"), {}},  {QStringLiteral("UL"), {}},
            {QStringLiteral("LI"), {}},  {QStringLiteral("P"), {QStringLiteral("ALIGN")}},
            {QStringLiteral("A"), {QStringLiteral("HREF")}},
            {QStringLiteral("FONT"), {QStringLiteral("COLOR"), QStringLiteral("BGCOLOR"), QStringLiteral("FACE"), QStringLiteral("SIZE")}},
        };
        const auto it = tags.find(name);
        return it == tags.end() ? QStringList{QStringLiteral("-")} : it->second;
    };
    auto plain = [&](const QString& s) {
        QString out = EscapeHtmlChars(UnescapeHtmlChars(s, true), accents);
        return nbsp ? SpacesToNbsp(out) : out;
    };
    QString out;
    QStringList open; // the elements written and not yet closed
    auto closeTo = [&](qsizetype depth) {
        while (open.size() > depth) out += QStringLiteral("</") + n.Tag(open.takeLast().toLatin1().constData()) + u'>';
    };
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype lt = text.indexOf(u'<', at);
        const qsizetype gt = lt < 0 ? -1 : text.indexOf(u'>', lt);
        if (lt < 0 || gt < 0) {
            out += plain(text.mid(at));
            break;
        }
        out += plain(text.mid(at, lt - at));
        const QString tag = text.mid(lt, gt - lt + 1);
        at = gt + 1;
        const QRegularExpressionMatch m = tagRe.match(tag);
        const QString name = m.hasMatch() ? m.captured(2).toUpper() : QString();
        const QStringList attrs = allowed(name);
        bool ok = m.hasMatch() && attrs.value(0) != QLatin1String("-");
        const bool closing = ok && !m.captured(1).isEmpty();
        QString written = n.Tag(name.toLatin1().constData());
        for (auto it = attrRe.globalMatch(ok ? m.captured(3) : QString()); ok && it.hasNext();) {
            const QRegularExpressionMatch a = it.next();
            const QString attr = a.captured(1).toUpper();
            const QString value = UnescapeHtmlChars(a.captured(2) + a.captured(3) + a.captured(4), false).trimmed();
            ok = !closing && attrs.contains(attr) && (attr != QLatin1String("HREF") || IsOpenableLink(value));
            written += QStringLiteral(" %1=\"%2\"").arg(n.Tag(attr.toLatin1().constData()), EscapeHtmlChars(value, false));
        }
        if (ok && name == QLatin1String("A") && !closing && !written.contains(u'=')) ok = false;
        if (!ok) {
            out += plain(tag);
            continue;
        }
        if (name == QLatin1String("BR") || name == QLatin1String("HR")) {
            if (!closing) out += u'<' + written + (n.X ? QStringLiteral(" />") : QStringLiteral(">"));
        } else if (closing) {
            const qsizetype depth = open.lastIndexOf(name);
            if (depth >= 0) closeTo(depth);
        } else {
            out += u'<' + written + u'>';
            open << name;
        }
    }
    closeTo(0);
    return out;
}

QStringList FileLines(const QString& fileName)
{
    const QByteArray bytes = ReadFileBytes(fileName);
    QString text;
    if (bytes.startsWith("\xFF\xFE")) text = QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    else if (bytes.startsWith("\xEF\xBB\xBF")) text = QString::fromUtf8(bytes.mid(3));
    else text = DecodeAnsi(bytes);
    if (text.endsWith(kCrLf)) text.chop(2);
    else if (text.endsWith(u'\n')) text.chop(1);
    if (text.isEmpty()) return {};
    return text.split(QRegularExpression(QStringLiteral("\r\n|\n")));
}

bool IsHtmlName(const QString& fileName)
{
    const QString lower = fileName.toLower();
    return lower.endsWith(QLatin1String(".htm")) || lower.endsWith(QLatin1String(".html"));
}

} // namespace

QString TExtStringGrid::HTMLImage(const QImage& image, const QString& dir, int& imageNo)
{
    const QByteArray jpeg = EncodeJpeg(image);
    if (jpeg.isEmpty()) return {};
    if (!QDir().mkpath(dir + QStringLiteral("images"))) throw EExtGridError(QStringLiteral("Cannot create ") + dir + QStringLiteral("images"));
    const QString file = dir + QStringLiteral("images/img%1.jpg").arg(++imageNo);
    WriteFileAtomic(file, jpeg);
    const QString src = EscapeHtmlChars(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded), false);
    return FHTMLSettings->XHTML() ? QStringLiteral("<img src=\"%1\" alt=\"\" />").arg(src) : QStringLiteral("<img src= \"%1\">").arg(src);
}

QString TExtStringGrid::HTMLCell(int c, int r, bool header, int widthCol, std::vector<QString>& styles, const QString& dir,
                                 int& imageNo)
{
    const THTMLSettings& hs = *FHTMLSettings;
    const TPageNames n{hs.XHTML()};
    const int real = c < ColCount() ? RealColIndex(TDisplCol(c)).Value() : c;

    // The look the painter gives the cell.
    TVisualProperties vp;
    vp.Select = false;
    vp.Remap = true;
    GetVisualProperties(c, r, vp);
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    GetCellAlignment(real, r, ha, va);
    // Colours are written only where something chose them: the header row
    // and the fixed cells have the grid's fixed colour; a body cell's
    // background is written when its properties, the row bands or the colour
    // hook make it differ from the grid's own background, and a font colour
    // when they make it differ from the grid's text colour.
    const bool fixedCell = header || IsFixed(c, r) || c < TCustomGrid::FixedCols() || r < TCustomGrid::FixedRows();
    TColor background = clNone;
    if (header) background = FixedColor;
    else if (fixedCell)
        background = int(FLook) > int(TGridLook::glClassic) && vp.Brush.Color == FStudioGradFrom ? FixedColor : vp.Brush.Color;
    else if (vp.Brush.Color != Color) background = vp.Brush.Color;
    const TColor plainFont = fixedCell ? FFixedFont.Color : FontColor;
    const TColor fontColor = vp.Font.Color != plainFont ? vp.Font.Color : TColor(clNone);
    QStringList parts;
    if (hs.SaveColor() && background != clNone) parts << QStringLiteral("background-color: #") + ColorToHtmlHex(background);
    if (hs.SaveColor() && fontColor != clNone) parts << QStringLiteral("color: #") + ColorToHtmlHex(fontColor);
    if (hs.SaveFonts()) {
        const QFont& f = vp.Font.Font;
        parts << QStringLiteral("font-size:%1pt").arg(f.pointSize() > 0 ? f.pointSize() : 10);
        if (f.italic()) parts << QStringLiteral("font-style: italic");
        if (f.bold()) parts << QStringLiteral("font-weight: bold");
        // A family name cannot end the style rule nor the style block.
        QString family = f.family();
        family.remove(QRegularExpression(QStringLiteral("[;{}<>\"'\\\\]")));
        parts << QStringLiteral("font-family: ") + family;
    }
    if (ha == taRightJustify) parts << QStringLiteral("text-align: right");
    else if (ha == taCenter) parts << QStringLiteral("text-align: center");
    parts << (va == vtaCenter ? QStringLiteral("vertical-align: middle")
                              : va == vtaBottom ? QStringLiteral("vertical-align: bottom") : QStringLiteral("vertical-align: top"));
    const QString style = parts.join(u';');
    auto found = std::find(styles.begin(), styles.end(), style);
    const qsizetype index = found - styles.begin();
    if (found == styles.end()) styles.push_back(style);

    QString cell = QStringLiteral("<%1 class=\"c%2\"").arg(n.Tag("TD")).arg(index);
    const QPoint span = CellSpan(real, r);
    if (span.x() > 0) cell += QStringLiteral(" %1=\"%2\"").arg(n.Tag("COLSPAN")).arg(span.x() + 1);
    if (span.y() > 0) cell += QStringLiteral(" %1=\"%2\"").arg(n.Tag("ROWSPAN")).arg(span.y() + 1);
    if (!vp.WordWrap) cell += n.X ? QStringLiteral(" nowrap=\"nowrap\"") : QStringLiteral(" nowrap");
    if (widthCol >= 0 && widthCol < hs.ColWidths.Count())
        cell += QStringLiteral(" %1=\"%2\"").arg(header ? n.Tag("WIDTH") : QStringLiteral("width")).arg(hs.ColWidths.Items(widthCol));
    cell += u'>';

    QString text;
    GetSaveText(c, r, text);
    // Every text is escaped: a cell writes no markup of its own beyond the
    // grid's mini-HTML tags a mini-HTML cell keeps.
    QString content;
    const bool miniHtml = SaveWithHTML() && DetectCellTextKind(text, EnableHTML()) == 1;
    const QString link = (!miniHtml && URLShow() && !text.contains(QLatin1String("</"))) ? LinkFor(text, URLFull(), n) : QString();
    if (!link.isEmpty()) content = link;
    else if (miniHtml) {
        content = MiniHtmlToPage(text, !header && hs.ConvertSpecialChars(), !header && hs.NonBreakingText(), n);
        if (n.X) content.replace(QLatin1String("&nbsp;"), QLatin1String("&#160;"));
        content.replace(kCrLf, n.Br()).replace(u'\r', n.Br()).replace(u'\n', n.Br());
    } else {
        content = EscapeHtmlChars(text, !header && hs.ConvertSpecialChars());
        if (!header && hs.NonBreakingText()) content = SpacesToNbsp(content);
        if (n.X) content.replace(QLatin1String("&nbsp;"), QLatin1String("&#160;"));
        content.replace(kCrLf, n.Br()).replace(u'\r', n.Br()).replace(u'\n', n.Br());
    }
    if (n.X) {
        // Named entities other than XML's own are not defined in XML.
        static const QRegularExpression named(QStringLiteral("&(?!amp;|lt;|gt;|quot;|#)([A-Za-z0-9]+);"));
        QString out;
        qsizetype at = 0;
        for (auto it = named.globalMatch(content); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            out += content.mid(at, m.capturedStart() - at);
            const QString ch = UnescapeHtmlChars(m.captured(0), true);
            out += ch == m.captured(0) ? QStringLiteral("&amp;") + m.captured(0).mid(1)
                                       : QStringLiteral("&#%1;").arg(uint(ch.toUcs4().value(0)));
            at = m.capturedEnd();
        }
        content = out + content.mid(at);
    }
    if (text.trimmed().isEmpty()) content = n.Nbsp();
    if (hs.ExportImages() && !dir.isEmpty()) {
        if (const TCellGraphic* gr = GetCellGraphic(real, r)) {
            switch (gr->CellType) {
            case TCellType::ctBitmap:
            case TCellType::ctPicture:
                if (const QImage* img = gr->Bitmap(); img && !img->isNull()) {
                    const QString tag = HTMLImage(*img, dir, imageNo);
                    content = text.trimmed().isEmpty() ? tag : content + tag;
                }
                break;
            case TCellType::ctImageList:
                if (const TCustomImageList* images = GetGridImages(); images && images->ValidIndex(gr->CellIndex))
                    content = HTMLImage(images->GetImage(gr->CellIndex), dir, imageNo) +
                              (text.trimmed().isEmpty() ? QString() : content);
                break;
            case TCellType::ctDataImage: {
                // The text names the picture and is never shown itself.
                bool isNumber = false;
                const int picture = text.trimmed().toInt(&isNumber);
                const TCustomImageList* images = GetGridImages();
                content = isNumber && images && images->ValidIndex(picture) ? HTMLImage(images->GetImage(picture), dir, imageNo)
                                                                           : n.Nbsp();
                break;
            }
            case TCellType::ctImages:
                if (const TCustomImageList* images = GetGridImages(); images && gr->IntList()) {
                    QString tags;
                    for (int i = 0; i < gr->IntList()->Count(); ++i)
                        if (images->ValidIndex(gr->IntList()->Items(i)))
                            tags += HTMLImage(images->GetImage(gr->IntList()->Items(i)), dir, imageNo);
                    if (!tags.isEmpty()) content = tags + (text.trimmed().isEmpty() ? QString() : content);
                }
                break;
            case TCellType::ctNode: content = u'+' + content; break;
            default: break;
            }
        }
    }
    return cell + content + QStringLiteral("</") + n.Tag("td").toLower() + u'>';
}

QString TExtStringGrid::HTMLText(int left, int top, int right, int bottom, bool headerRow, const QString& dir)
{
    int imageNo = 0;
    const THTMLSettings& hs = *FHTMLSettings;
    const TPageNames n{hs.XHTML()};
    std::vector<QString> styles;
    QStringList table;

    QString open = QStringLiteral("<%1 %2=\"%3\" %4=\"%5\" %6=\"%7\" ")
                       .arg(n.Tag("TABLE"), n.Tag("BORDER"))
                       .arg(hs.BorderSize())
                       .arg(n.Tag("CELLSPACING"))
                       .arg(hs.CellSpacing())
                       .arg(n.Tag("CELLPADDING"))
                       .arg(hs.CellPadding());
    if (!hs.Summary().isEmpty()) open += QStringLiteral("%1=\"%2\" ").arg(n.Tag("SUMMARY"), EscapeHtmlChars(hs.Summary(), false));
    if (!hs.TableStyle().isEmpty()) open += u' ' + hs.TableStyle() + u' ';
    open += QStringLiteral(" %1=\"%2%\">").arg(n.Tag("WIDTH")).arg(hs.Width());
    table << open;

    auto writeRow = [&](int r, bool header) {
        table << QStringLiteral("<%1>").arg(n.Tag("TR"));
        for (int c = left; c <= right; ++c) {
            const int real = c < ColCount() ? RealColIndex(TDisplCol(c)).Value() : c;
            if (IsMergedNonBaseCell(real, r)) continue;
            const int widthCol = header ? c : (headerRow ? -1 : c - left);
            table << HTMLCell(c, r, header, widthCol, styles, dir, imageNo);
        }
        table << QStringLiteral("</%1>").arg(n.Tag("TR"));
    };
    ExportNotification(TGridExportState::esExportStart, top);
    int first = top;
    if (headerRow) {
        writeRow(0, true);
        first = std::max(first, 1);
    }
    for (int r = first; r <= bottom; ++r) {
        ExportNotification(TGridExportState::esExportNextRow, r);
        writeRow(r, false);
    }
    table << QStringLiteral("</%1>").arg(n.Tag("TABLE"));
    if (!hs.SuffixTag().isEmpty()) table << hs.SuffixTag();
    if (n.X) table << QStringLiteral("</html>");
    ExportNotification(TGridExportState::esExportDone, -1);

    QString out;
    if (n.X) {
        out += QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>") + kCrLf;
        out += QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"") + kCrLf;
        out += QStringLiteral("\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">") + kCrLf;
        out += QStringLiteral("<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">") + kCrLf;
    }
    if (!hs.PrefixTag().isEmpty()) out += hs.PrefixTag();
    out += QStringLiteral("<style>") + kCrLf;
    for (size_t i = 0; i < styles.size(); ++i) out += QStringLiteral(".c%1 {%2}").arg(i).arg(styles[i]) + kCrLf;
    out += QStringLiteral("</style>") + kCrLf;
    for (const QString& line : table) out += line + kCrLf;
    return out;
}

QString TExtStringGrid::SaveToHTMLString(const QString& dir)
{
    const int left = SaveFixedCells() || SaveFixedCols() ? 0 : FixedCols();
    const int top = SaveFixedCells() || SaveFixedRows() ? 0 : FixedRows();
    const int right = ColCount() - 1 + (SaveHiddenCells() ? NumHiddenColumns() : 0);
    const bool header = FixedRows() > 0 && (SaveFixedCells() || SaveFixedRows());
    return HTMLText(left, top, right, RowCount() - 1, header, dir);
}

QString TExtStringGrid::SaveRectToHTMLString(const TGridRect& rect, const QString& dir)
{
    if (rect.Left < 0 || rect.Top < 0 || rect.Left > rect.Right || rect.Top > rect.Bottom ||
        rect.Right >= AllColCount() || rect.Bottom >= RowCount())
        throw EExtGridError(QStringLiteral("Cell block outside the grid"));
    return HTMLText(rect.Left, rect.Top, rect.Right, rect.Bottom, false, dir);
}

void TExtStringGrid::WriteHTMLFile(const QString& fileName, bool append, bool show, bool unicode)
{
    const THTMLSettings& hs = *FHTMLSettings;
    QStringList lines;
    if (append && QFile::exists(fileName)) {
        try {
            lines = FileLines(fileName);
        } catch (const EFileError&) {
            lines.clear(); // an unreadable old file counts as empty
        }
    }
    if (!hs.HeaderFile().isEmpty()) lines += FileLines(hs.HeaderFile());
    QString dir = QFileInfo(fileName).absolutePath().replace(u'\\', u'/');
    if (!dir.endsWith(u'/')) dir += u'/';
    QString html = SaveToHTMLString(dir);
    if (html.endsWith(kCrLf)) html.chop(2);
    lines += html.split(kCrLf);
    if (!hs.FooterFile().isEmpty()) lines += FileLines(hs.FooterFile());
    QString text = lines.join(kCrLf) + kCrLf;
    QByteArray bytes;
    if (unicode) {
        if (hs.XHTML()) text.replace(QLatin1String("encoding=\"utf-8\""), QLatin1String("encoding=\"utf-16\""));
        bytes = QStringEncoder(QStringEncoder::Utf16LE, QStringConverter::Flag::WriteBom).encode(text);
    } else {
        bytes = ToSevenBit(text).toLatin1();
    }
    WriteFileAtomic(fileName, bytes);
    if ((show || hs.AutoPreview()) && IsHtmlName(fileName)) ShellOpenDocument(fileName);
}

void TExtStringGrid::SaveToHTML(const QString& fileName, bool show, bool unicode) { WriteHTMLFile(fileName, false, show, unicode); }
void TExtStringGrid::AppendToHTML(const QString& fileName, bool show, bool unicode) { WriteHTMLFile(fileName, true, show, unicode); }

double TExtStringGrid::CellToReal(int ACol, int ARow)
{
    const QString raw = Cells(ACol, ARow);
    if (raw.isEmpty()) return 0;
    const FormatSettings& fs = SystemFormatSettings();
    const QString text = NormalizeNumericText(raw, fs);
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (ok) return v;
    // The position (from 1) of the first character that does not belong to
    // a number.
    qsizetype pos = 0;
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch m = number.match(text);
    pos = (m.hasMatch() ? m.capturedLength() : 0) + 1;
    throw EExtGridError(QStringLiteral("Error at position: %1 in Cell [%2, %3].").arg(pos).arg(ACol).arg(ARow));
}
