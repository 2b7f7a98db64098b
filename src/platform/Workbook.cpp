#include "platform/Workbook.h"

#include "platform/XlsReader.h"
#include "platform/XmlParts.h"
#include "platform/Zip.h"

#include <xlsxwriter.h>
#include <pugixml.hpp>

#include <QHash>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>

namespace {

// Cells of one sheet a reader keeps at most: far above any table a grid can
// show, low enough that a few repeat counts cannot exhaust the memory.
constexpr int64_t MaxSheetCells = int64_t(32) << 20;

[[noreturn]] void Bad(const QString& why)
{
    throw EWorkbookError(QStringLiteral("Incorrect XLS file (") + why + QStringLiteral(")"));
}

bool Is(const pugi::xml_node& n, const char* local) { return XmlIsLocal(n, local); }
pugi::xml_node Child(const pugi::xml_node& n, const char* local) { return XmlChildLocal(n, local); }
pugi::xml_attribute Attr(const pugi::xml_node& n, const char* local) { return XmlAttrLocal(n, local); }

QString Utf8(const char* s) { return QString::fromUtf8(s); }

void Parse(pugi::xml_document& doc, const QByteArray& bytes, const QString& part)
{
    const pugi::xml_parse_result r =
        doc.load_buffer(bytes.constData(), size_t(bytes.size()), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!r) Bad(QStringLiteral("%1: %2 at offset %3").arg(part, Utf8(r.description())).arg(qint64(r.offset)));
}

// Office Open XML escapes characters XML cannot hold as _xHHHH_.
QString DecodeOoxml(const QString& s)
{
    if (!s.contains(QLatin1String("_x"))) return s;
    static const QRegularExpression re(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype last = 0;
    for (auto it = re.globalMatch(s); it.hasNext();) {
        const auto m = it.next();
        out += QStringView(s).mid(last, m.capturedStart() - last);
        out += QChar(char16_t(m.captured(1).toUInt(nullptr, 16)));
        last = m.capturedEnd();
    }
    out += QStringView(s).mid(last);
    return out;
}

bool ParseDouble(const char* s, double& v)
{
    bool ok = false;
    v = QByteArray(s).trimmed().toDouble(&ok);
    return ok && std::isfinite(v);
}

// The 1900 date system counts 29 February 1900, a day that never was: serial
// numbers before it are one day behind the program's date values.
TDateTime SerialToDateTime(double serial, bool date1904)
{
    // A time of day alone has no date in either system.
    if (serial >= 0 && serial < 1) return serial;
    if (date1904) return serial + 1462;
    if (serial >= 1 && serial < 60) return serial + 1;
    return serial;
}

// Whether a number format shows a date or a time: a date or time letter
// outside quoted text, escapes and [colour] brackets ([h], [m], [s] count).
bool IsDateFormatCode(const QString& code)
{
    bool inQuote = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code[i];
        if (inQuote) {
            if (ch == u'"') inQuote = false;
            continue;
        }
        if (ch == u'"') inQuote = true;
        else if (ch == u'\\' || ch == u'_' || ch == u'*') ++i;
        else if (ch == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            if (end < 0) return false;
            const QString inner = code.mid(i + 1, end - i - 1).toLower();
            if (!inner.isEmpty() && QStringLiteral("hms").contains(inner[0]) &&
                inner.count(inner[0]) == inner.size())
                return true;
            i = end;
        } else if (QStringLiteral("dmyhsDMYHS").contains(ch))
            return true;
        else if (ch == u';')
            break;  // the first section decides
    }
    return false;
}

bool IsBuiltinDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

// Which cell styles show dates, from each style's number format id: a format
// the workbook defines by its code, any other as the built-in one of that id.
std::vector<bool> DateStylesOf(const std::vector<int>& styleFormats, const QHash<int, QString>& customFormats)
{
    QHash<int, bool> custom;
    for (auto it = customFormats.cbegin(); it != customFormats.cend(); ++it) custom.insert(it.key(), IsDateFormatCode(it.value()));
    std::vector<bool> dates;
    dates.reserve(styleFormats.size());
    for (const int id : styleFormats) dates.push_back(custom.contains(id) ? custom.value(id) : IsBuiltinDateFormat(id));
    return dates;
}

// "2024-03-05", "2024-03-05T10:20:30.5" or "2024-03-05 10:20:30".
std::optional<TDateTime> ParseIsoDateTime(const QString& s)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[T ](\\d{1,2}):(\\d{2})(?::(\\d{2})(?:[.,](\\d+))?)?)?"
                       "(?:Z|[+-]\\d{2}:?\\d{2})?\\s*$"));
    const auto m = re.match(s);
    if (!m.hasMatch()) return std::nullopt;
    TDateTime d;
    if (!TryEncodeDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), d)) return std::nullopt;
    if (m.capturedLength(4) == 0) return d;
    const int h = m.captured(4).toInt(), n = m.captured(5).toInt(), sec = m.captured(6).toInt();
    const double frac = m.capturedLength(7) ? QString(QStringLiteral("0.") + m.captured(7)).toDouble() : 0.0;
    if (h > 23 || n > 59 || sec > 59) return std::nullopt;
    return ComposeDateTime(d, (h * 3600.0 + n * 60.0 + sec + frac) / 86400.0);
}

// An OpenDocument duration "PT12H30M15S" (days allowed) as days.
std::optional<double> ParseDuration(const QString& s)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(-)?P(?:(\\d+)D)?(?:T(?:(\\d+)H)?(?:(\\d+)M)?(?:(\\d+(?:\\.\\d*)?)S)?)?\\s*$"));
    const auto m = re.match(s);
    if (!m.hasMatch()) return std::nullopt;
    const double v = m.captured(2).toDouble() + m.captured(3).toDouble() / 24 + m.captured(4).toDouble() / 1440 +
                     m.captured(5).toDouble() / 86400;
    return m.capturedLength(1) ? -v : v;
}

void Extend(TWorkbookSheet& sheet, TWorkbookCell cell)
{
    if (sheet.Cells.empty()) {
        sheet.Top = sheet.Bottom = cell.Row;
        sheet.Left = sheet.Right = cell.Col;
    } else {
        sheet.Top = std::min(sheet.Top, cell.Row);
        sheet.Bottom = std::max(sheet.Bottom, cell.Row);
        sheet.Left = std::min(sheet.Left, cell.Col);
        sheet.Right = std::max(sheet.Right, cell.Col);
    }
    if (int64_t(sheet.Cells.size()) >= MaxSheetCells) Bad(QStringLiteral("too many cells"));
    sheet.Cells.push_back(std::move(cell));
}

// "xl/" + "worksheets/sheet1.xml", with "../" and absolute targets.
QString ResolvePart(const QString& dir, const QString& target)
{
    QString path = target.startsWith(u'/') ? target.mid(1) : dir + target;
    QStringList out;
    for (const QString& p : path.split(u'/')) {
        if (p == QLatin1String("..")) {
            if (!out.isEmpty()) out.removeLast();
        } else if (p != QLatin1String(".") && !p.isEmpty())
            out << p;
    }
    return out.join(u'/');
}

// 1 January of the year 1 and 1 January 10000 as date values.
constexpr double kFirstDate = -693593;
constexpr double kPastLastDate = 2958466;

} // namespace

QString WorkbookColumnLetters(int col)
{
    QString s;
    while (col > 0) {
        const int m = (col - 1) % 26;
        s.prepend(QChar(char16_t(u'A' + m)));
        col = (col - 1) / 26;
    }
    return s;
}

bool ParseWorkbookCellRef(QStringView ref, int& row, int& col)
{
    qsizetype i = 0;
    if (i < ref.size() && ref[i] == u'$') ++i;
    int64_t c = 0;
    int letters = 0;
    while (i < ref.size() && ref[i].toUpper() >= u'A' && ref[i].toUpper() <= u'Z') {
        c = c * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (++letters > 3) return false;
        ++i;
    }
    if (i < ref.size() && ref[i] == u'$') ++i;
    int64_t r = 0;
    int digits = 0;
    while (i < ref.size() && ref[i].isDigit() && ref[i].unicode() < 128) {
        r = r * 10 + (ref[i].unicode() - u'0');
        if (++digits > 7) return false;
        ++i;
    }
    if (i != ref.size() || letters == 0 || digits == 0) return false;
    if (c < 1 || c > WorkbookMaxCols || r < 1 || r > WorkbookMaxRows) return false;
    row = int(r);
    col = int(c);
    return true;
}

QString WorkbookNumberText(double v, const FormatSettings& fs)
{
    if (v == 0) v = 0;  // no "-0"
    QString s = QString::number(v, 'g', 15);
    const qsizetype e = s.indexOf(u'e');
    if (e >= 0) s = s.left(e) + u'E' + QString::number(s.mid(e + 1).toInt());
    s.replace(u'.', fs.DecimalSeparator);
    return s;
}

QString WorkbookDateTimeText(TDateTime v, const FormatSettings& fs)
{
    // Outside the years 1 to 9999 a value is no date: it shows as the number.
    if (!(v >= kFirstDate && v < kPastLastDate)) return WorkbookNumberText(v, fs);
    const double day = std::trunc(v);
    const double time = std::fabs(v - day);
    if (day == 0 && time != 0) return TimeToStr(v, fs);
    // The time of day as the text shows it, rounded to the second.
    if (std::lround(time * 86400) == 0) return DateToStr(v, fs);
    return DateToStr(v, fs) + u' ' + TimeToStr(v, fs);
}

// ---------------------------------------------------------------------------

struct TWorkbookReader::TImpl {
    enum class TKind { Xlsx, Ods, Xls } Kind = TKind::Xlsx;
    FormatSettings Fs;
    QByteArray Bytes;
    std::unique_ptr<TZipReader> Zip;
    // .xlsx
    QStringList SheetParts;
    bool Date1904 = false;
    std::vector<bool> DateStyles;
    QString SharedStringsPart;
    std::optional<QStringList> SharedStrings;
    // .ods
    pugi::xml_document Content;
    std::vector<pugi::xml_node> Tables;
    // .xls
    std::unique_ptr<TXlsWorkbook> Xls;

    QByteArray Part(const QString& name)
    {
        try {
            return Zip->Read(name);
        } catch (const EZipError& e) {
            Bad(e.Message());
        }
    }

    void OpenXlsx(QStringList& names, int& active);
    void OpenOds(QStringList& names, int& active);
    void OpenXls(QStringList& names);
    void ReadXlsx(int index, TWorkbookSheet& sheet);
    void ReadOds(int index, TWorkbookSheet& sheet);
    void ReadXls(int index, TWorkbookSheet& sheet);
    const QStringList& Strings();
    QString NumberCell(double v, int style) const
    {
        if (style >= 0 && size_t(style) < DateStyles.size() && DateStyles[size_t(style)])
            return WorkbookDateTimeText(SerialToDateTime(v, Date1904), Fs);
        return WorkbookNumberText(v, Fs);
    }
};

namespace {
// The relationships of a part: id -> target, and type suffix -> target.
struct TRels {
    QHash<QString, QString> ById;
    QHash<QString, QString> ByType;
};

TRels ReadRels(TWorkbookReader::TImpl& impl, const QString& part, const QString& dir)
{
    TRels rels;
    if (!impl.Zip->Contains(part)) return rels;
    pugi::xml_document doc;
    Parse(doc, impl.Part(part), part);
    for (pugi::xml_node r = Child(doc, "Relationships").first_child(); r; r = r.next_sibling()) {
        if (!Is(r, "Relationship")) continue;
        if (QString::fromUtf8(r.attribute("TargetMode").value()) == QLatin1String("External")) continue;
        const QString target = ResolvePart(dir, Utf8(r.attribute("Target").value()));
        rels.ById.insert(Utf8(r.attribute("Id").value()), target);
        const QString type = Utf8(r.attribute("Type").value());
        rels.ByType.insert(type.mid(type.lastIndexOf(u'/') + 1), target);
    }
    return rels;
}

// The text of a shared or inline string: its t, or the t of its runs
// (phonetic runs left out).
QString StringItemText(const pugi::xml_node& si)
{
    QString s;
    for (pugi::xml_node n = si.first_child(); n; n = n.next_sibling()) {
        if (Is(n, "t")) s += Utf8(n.child_value());
        else if (Is(n, "r")) s += Utf8(Child(n, "t").child_value());
    }
    return DecodeOoxml(s);
}
} // namespace

void TWorkbookReader::TImpl::OpenXlsx(QStringList& names, int& active)
{
    const TRels root = ReadRels(*this, QStringLiteral("_rels/.rels"), QString());
    const QString wbPart = root.ByType.value(QStringLiteral("officeDocument"), QStringLiteral("xl/workbook.xml"));
    const QString dir = wbPart.left(wbPart.lastIndexOf(u'/') + 1);
    const TRels rels = ReadRels(*this, dir + QStringLiteral("_rels/") + wbPart.mid(dir.size()) + QStringLiteral(".rels"), dir);

    pugi::xml_document wb;
    Parse(wb, Part(wbPart), wbPart);
    const pugi::xml_node workbook = Child(wb, "workbook");
    if (!workbook) Bad(QStringLiteral("no workbook"));
    const QString d1904 = Utf8(Attr(Child(workbook, "workbookPr"), "date1904").value());
    Date1904 = d1904 == QLatin1String("1") || d1904 == QLatin1String("true");
    for (pugi::xml_node s = Child(Child(workbook, "sheets"), "sheet"); s; s = s.next_sibling()) {
        if (!Is(s, "sheet")) continue;
        const QString id = Utf8(Attr(s, "id").value());
        if (!rels.ById.contains(id)) Bad(QStringLiteral("sheet without a part"));
        names << Utf8(s.attribute("name").value());
        SheetParts << rels.ById.value(id);
    }
    if (names.isEmpty()) Bad(QStringLiteral("no sheet"));
    const pugi::xml_attribute tab = Attr(Child(Child(workbook, "bookViews"), "workbookView"), "activeTab");
    active = tab ? tab.as_int(0) : 0;
    if (active < 0 || active >= names.size()) active = 0;

    // Which cell styles show dates.
    const QString stylesPart = rels.ByType.value(QStringLiteral("styles"));
    if (!stylesPart.isEmpty() && Zip->Contains(stylesPart)) {
        pugi::xml_document st;
        Parse(st, Part(stylesPart), stylesPart);
        const pugi::xml_node ss = Child(st, "styleSheet");
        QHash<int, QString> custom;
        for (pugi::xml_node f = Child(Child(ss, "numFmts"), "numFmt"); f; f = f.next_sibling())
            custom.insert(f.attribute("numFmtId").as_int(-1), Utf8(f.attribute("formatCode").value()));
        std::vector<int> formats;
        for (pugi::xml_node x = Child(Child(ss, "cellXfs"), "xf"); x; x = x.next_sibling())
            if (Is(x, "xf")) formats.push_back(x.attribute("numFmtId").as_int(0));
        DateStyles = DateStylesOf(formats, custom);
    }
    SharedStringsPart = rels.ByType.value(QStringLiteral("sharedStrings"));
}

const QStringList& TWorkbookReader::TImpl::Strings()
{
    if (!SharedStrings) {
        QStringList list;
        if (!SharedStringsPart.isEmpty() && Zip->Contains(SharedStringsPart)) {
            pugi::xml_document doc;
            Parse(doc, Part(SharedStringsPart), SharedStringsPart);
            for (pugi::xml_node si = Child(Child(doc, "sst"), "si"); si; si = si.next_sibling())
                if (Is(si, "si")) list << StringItemText(si);
        }
        SharedStrings = std::move(list);
    }
    return *SharedStrings;
}

void TWorkbookReader::TImpl::ReadXlsx(int index, TWorkbookSheet& sheet)
{
    const QString part = SheetParts[index];
    if (!Zip->Contains(part)) Bad(QStringLiteral("missing sheet part"));
    pugi::xml_document doc;
    Parse(doc, Part(part), part);
    const pugi::xml_node data = Child(Child(doc, "worksheet"), "sheetData");
    int row = 0;
    for (pugi::xml_node r = data.first_child(); r; r = r.next_sibling()) {
        if (!Is(r, "row")) continue;
        const pugi::xml_attribute ra = r.attribute("r");
        const int64_t rowNr = ra ? ra.as_llong(0) : int64_t(row) + 1;
        if (rowNr < 1 || rowNr > WorkbookMaxRows) Bad(QStringLiteral("row number beyond the format"));
        row = int(rowNr);
        int col = 0;
        for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
            if (!Is(c, "c")) continue;
            int cellRow = row, cellCol = col + 1;
            if (const pugi::xml_attribute ref = c.attribute("r")) {
                if (!ParseWorkbookCellRef(Utf8(ref.value()), cellRow, cellCol))
                    Bad(QStringLiteral("cell reference ") + Utf8(ref.value()));
            } else if (cellCol > WorkbookMaxCols)
                Bad(QStringLiteral("column beyond the format"));
            col = cellCol;
            const pugi::xml_node v = Child(c, "v");
            const pugi::xml_node is = Child(c, "is");
            const QString type = Utf8(c.attribute("t").value());
            // No value: a styled empty cell, or a formula never calculated.
            if (!is && (!v || (!*v.child_value() && type != QLatin1String("str")))) continue;
            TWorkbookCell cell{cellRow, cellCol, {}, false};
            if (type == QLatin1String("s")) {
                bool ok = false;
                const qsizetype i = QByteArray(v.child_value()).trimmed().toLongLong(&ok);
                const QStringList& sst = Strings();
                if (!ok || i < 0 || i >= sst.size()) Bad(QStringLiteral("shared string index"));
                cell.Text = sst[i];
            } else if (type == QLatin1String("inlineStr")) {
                cell.Text = is ? StringItemText(is) : DecodeOoxml(Utf8(v.child_value()));
            } else if (type == QLatin1String("str")) {
                cell.Text = DecodeOoxml(Utf8(v.child_value()));
            } else if (type == QLatin1String("b")) {
                cell.Text = QByteArray(v.child_value()).trimmed() == "0" ? QStringLiteral("False") : QStringLiteral("True");
            } else if (type == QLatin1String("e")) {
                cell.Error = true;
            } else if (type == QLatin1String("d")) {
                const auto d = ParseIsoDateTime(Utf8(v.child_value()));
                if (!d) Bad(QStringLiteral("date value"));
                cell.Text = WorkbookDateTimeText(*d, Fs);
            } else {
                double x;
                if (!ParseDouble(v.child_value(), x)) Bad(QStringLiteral("number value"));
                cell.Text = NumberCell(x, c.attribute("s").as_int(0));
            }
            Extend(sheet, std::move(cell));
        }
    }
}

// ---------------------------------------------------------------------------

void TWorkbookReader::TImpl::OpenOds(QStringList& names, int& active)
{
    Parse(Content, Part(QStringLiteral("content.xml")), QStringLiteral("content.xml"));
    const pugi::xml_node sheetNode = Child(Child(Child(Content, "document-content"), "body"), "spreadsheet");
    if (!sheetNode) Bad(QStringLiteral("no spreadsheet"));
    for (pugi::xml_node t = sheetNode.first_child(); t; t = t.next_sibling())
        if (Is(t, "table")) {
            Tables.push_back(t);
            names << Utf8(Attr(t, "name").value());
        }
    if (names.isEmpty()) Bad(QStringLiteral("no sheet"));
    active = 0;
    if (Zip->Contains(QStringLiteral("settings.xml"))) {
        pugi::xml_document settings;
        Parse(settings, Part(QStringLiteral("settings.xml")), QStringLiteral("settings.xml"));
        // The first ActiveTable item belongs to the first view.
        std::function<pugi::xml_node(const pugi::xml_node&)> find = [&](const pugi::xml_node& n) -> pugi::xml_node {
            for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
                if (c.type() != pugi::node_element) continue;
                if (Is(c, "config-item") && std::strcmp(Attr(c, "name").value(), "ActiveTable") == 0) return c;
                if (pugi::xml_node f = find(c)) return f;
            }
            return {};
        };
        if (const pugi::xml_node item = find(settings)) {
            const qsizetype i = names.indexOf(Utf8(item.child_value()));
            if (i >= 0) active = int(i);
        }
    }
}

namespace {
// The text of a text:p: its characters, text:s spaces, tabs and line breaks,
// spans and links.
void OdsText(const pugi::xml_node& n, QString& out)
{
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) out += Utf8(c.value());
        else if (c.type() != pugi::node_element) continue;
        else if (Is(c, "s")) out += QString(std::clamp(Attr(c, "c").as_int(1), 1, 32767), u' ');
        else if (Is(c, "tab")) out += u'\t';
        else if (Is(c, "line-break")) out += u'\n';
        else if (Is(c, "annotation") || Is(c, "note")) continue;
        else OdsText(c, out);
    }
}

int64_t Repeat(const pugi::xml_node& n, const char* attr)
{
    const pugi::xml_attribute a = Attr(n, attr);
    if (!a) return 1;
    const int64_t v = a.as_llong(0);
    if (v < 1) Bad(QStringLiteral("repeat count"));
    return v;
}
} // namespace

void TWorkbookReader::TImpl::ReadOds(int index, TWorkbookSheet& sheet)
{
    int64_t row = 0;  // rows passed so far
    std::function<void(const pugi::xml_node&)> rows = [&](const pugi::xml_node& parent) {
        for (pugi::xml_node r = parent.first_child(); r; r = r.next_sibling()) {
            if (r.type() != pugi::node_element) continue;
            if (Is(r, "table-header-rows") || Is(r, "table-row-group") || Is(r, "table-rows")) {
                rows(r);
                continue;
            }
            if (!Is(r, "table-row")) continue;
            const int64_t rowRepeat = Repeat(r, "number-rows-repeated");
            if (row + rowRepeat > WorkbookMaxRows) Bad(QStringLiteral("row repeat beyond the format"));
            int64_t col = 0;
            for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
                if (!Is(c, "table-cell") && !Is(c, "covered-table-cell")) continue;
                const int64_t colRepeat = Repeat(c, "number-columns-repeated");
                if (col + colRepeat > WorkbookMaxCols) Bad(QStringLiteral("column repeat beyond the format"));
                const QString type = Utf8(Attr(c, "value-type").value());
                const QString calcType = Utf8(c.attribute("calcext:value-type").value());
                std::optional<QString> text;
                bool error = calcType == QLatin1String("error");
                if (error) {
                    text = QString();
                } else if (type == QLatin1String("float") || type == QLatin1String("percentage") ||
                           type == QLatin1String("currency")) {
                    double x;
                    if (!ParseDouble(Attr(c, "value").value(), x)) Bad(QStringLiteral("number value"));
                    text = WorkbookNumberText(x, Fs);
                } else if (type == QLatin1String("date")) {
                    const auto d = ParseIsoDateTime(Utf8(Attr(c, "date-value").value()));
                    if (!d) Bad(QStringLiteral("date value"));
                    text = WorkbookDateTimeText(*d, Fs);
                } else if (type == QLatin1String("time")) {
                    const auto d = ParseDuration(Utf8(Attr(c, "time-value").value()));
                    if (!d) Bad(QStringLiteral("time value"));
                    text = WorkbookDateTimeText(*d, Fs);
                } else if (type == QLatin1String("boolean")) {
                    text = std::strcmp(Attr(c, "boolean-value").value(), "true") == 0 ? QStringLiteral("True")
                                                                                        : QStringLiteral("False");
                } else if (!type.isEmpty()) {
                    if (const pugi::xml_attribute sv = Attr(c, "string-value")) text = Utf8(sv.value());
                    else {
                        QStringList paras;
                        for (pugi::xml_node p = c.first_child(); p; p = p.next_sibling())
                            if (Is(p, "p")) {
                                QString s;
                                OdsText(p, s);
                                paras << s;
                            }
                        text = paras.join(u'\n');
                    }
                }
                if (text) {
                    if (rowRepeat * colRepeat > MaxSheetCells) Bad(QStringLiteral("too many cells"));
                    for (int64_t dr = 0; dr < rowRepeat; ++dr)
                        for (int64_t dc = 0; dc < colRepeat; ++dc)
                            Extend(sheet, {int(row + dr + 1), int(col + dc + 1), *text, error});
                }
                col += colRepeat;
            }
            row += rowRepeat;
        }
    };
    rows(Tables[size_t(index)]);
}

// ---------------------------------------------------------------------------

void TWorkbookReader::TImpl::OpenXls(QStringList& names)
{
    try {
        Xls = std::make_unique<TXlsWorkbook>(Bytes);
    } catch (const EXlsError& e) {
        Bad(e.Message());
    }
    names = Xls->SheetNames();
    Date1904 = Xls->Date1904();
    DateStyles = DateStylesOf(Xls->XfFormats(), Xls->Formats());
}

void TWorkbookReader::TImpl::ReadXls(int index, TWorkbookSheet& sheet)
{
    std::vector<TXlsCell> cells;
    try {
        cells = Xls->ReadSheet(index);
    } catch (const EXlsError& e) {
        Bad(e.Message());
    }
    // A cell written twice holds its last value.
    QHash<int64_t, size_t> at;
    for (const TXlsCell& c : cells) {
        if (c.Col + 1 > WorkbookMaxCols || c.Row + 1 > WorkbookMaxRows) Bad(QStringLiteral("cell beyond the format"));
        TWorkbookCell cell{c.Row + 1, c.Col + 1, {}, false};
        switch (c.Kind) {
        case TXlsCell::TKind::Number: cell.Text = NumberCell(c.Number, c.Xf); break;
        case TXlsCell::TKind::Text: cell.Text = c.Text; break;
        case TXlsCell::TKind::Boolean: cell.Text = c.Boolean ? QStringLiteral("True") : QStringLiteral("False"); break;
        case TXlsCell::TKind::Error: cell.Error = true; break;
        }
        const int64_t key = int64_t(cell.Row) << 16 | cell.Col;
        if (const auto it = at.constFind(key); it != at.cend()) {
            sheet.Cells[*it] = std::move(cell);
            continue;
        }
        at.insert(key, sheet.Cells.size());
        Extend(sheet, std::move(cell));
    }
}

// ---------------------------------------------------------------------------

TWorkbookReader::TWorkbookReader(const QByteArray& bytes, const FormatSettings& fs)
    : FImpl(std::make_unique<TImpl>())
{
    FImpl->Fs = fs;
    FImpl->Bytes = bytes;
    if (bytes.startsWith("PK\x03\x04")) {
        try {
            FImpl->Zip = std::make_unique<TZipReader>(FImpl->Bytes);
        } catch (const EZipError& e) {
            Bad(e.Message());
        }
        if (FImpl->Zip->Contains(QStringLiteral("content.xml")) && FImpl->Zip->Contains(QStringLiteral("mimetype")) &&
            FImpl->Part(QStringLiteral("mimetype")).startsWith("application/vnd.oasis.opendocument.spreadsheet")) {
            FImpl->Kind = TImpl::TKind::Ods;
            FImpl->OpenOds(FNames, FActive);
        } else if (FImpl->Zip->Contains(QStringLiteral("[Content_Types].xml"))) {
            FImpl->Kind = TImpl::TKind::Xlsx;
            FImpl->OpenXlsx(FNames, FActive);
        } else
            Bad(QStringLiteral("an archive that is no workbook"));
    } else if (bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        // A binary workbook: its active sheet is taken to be the first.
        FImpl->Kind = TImpl::TKind::Xls;
        FImpl->OpenXls(FNames);
    } else
        Bad(QStringLiteral("not a workbook"));
}

TWorkbookReader::~TWorkbookReader() = default;

TWorkbookSheet TWorkbookReader::ReadSheet(int index)
{
    if (index < 0 || index >= FNames.size()) throw EWorkbookError(QStringLiteral("Sheet index out of range"));
    TWorkbookSheet sheet;
    sheet.Name = FNames[index];
    switch (FImpl->Kind) {
    case TImpl::TKind::Xlsx: FImpl->ReadXlsx(index, sheet); break;
    case TImpl::TKind::Ods: FImpl->ReadOds(index, sheet); break;
    case TImpl::TKind::Xls: FImpl->ReadXls(index, sheet); break;
    }
    return sheet;
}

// ---------------------------------------------------------------------------
// Writing


bool WorkbookTextIsNumber(const QString& text, const FormatSettings& fs, double& value)
{
    if (text.isEmpty() || text.size() > 40) return false;
    if (fs.DecimalSeparator != u'.' && text.contains(u'.')) return false;
    QString s = text;
    s.replace(fs.DecimalSeparator, u'.');
    bool ok = false;
    value = s.toDouble(&ok);
    return ok && std::isfinite(value) && WorkbookNumberText(value, fs) == text;
}

bool IsValidSheetName(const QString& name)
{
    if (name.isEmpty() || name.size() > 31) return false;
    if (name.startsWith(u'\'') || name.endsWith(u'\'')) return false;
    for (const QChar ch : name)
        if (QStringLiteral(":\\/?*[]").contains(ch) || ch.unicode() < 32) return false;
    return true;
}

namespace {

void CheckRows(const QString& sheetName, const std::vector<QStringList>& rows, int firstRow = 1)
{
    if (!IsValidSheetName(sheetName)) throw EWorkbookError(QStringLiteral("Invalid sheet name \"%1\"").arg(sheetName));
    if (int64_t(firstRow) - 1 + int64_t(rows.size()) > WorkbookMaxRows)
        throw EWorkbookError(QStringLiteral("Too many rows for a worksheet: %1").arg(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].size() > WorkbookMaxCols)
            throw EWorkbookError(QStringLiteral("Too many columns for a worksheet: %1").arg(rows[r].size()));
        for (qsizetype c = 0; c < rows[r].size(); ++c)
            if (rows[r][c].size() > WorkbookMaxText)
                throw EWorkbookError(QStringLiteral("The text of cell %1%2 is longer than %3 characters")
                                         .arg(WorkbookColumnLetters(int(c) + 1))
                                         .arg(r + 1)
                                         .arg(WorkbookMaxText));
    }
}

} // namespace

QByteArray WriteNewWorkbook(const QString& sheetName, const std::vector<QStringList>& rows, const FormatSettings& fs)
{
    CheckRows(sheetName, rows);
    QTemporaryFile tmp;
    if (!tmp.open()) throw EFileError(QStringLiteral("Cannot create a temporary file"));
    tmp.close();
    const QByteArray path = tmp.fileName().toLocal8Bit();
    lxw_workbook_options options{};
    options.constant_memory = 1;
    lxw_workbook* wb = workbook_new_opt(path.constData(), &options);
    if (!wb) throw EWorkbookError(QStringLiteral("Cannot create the workbook"));
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheetName.toUtf8().constData());
    lxw_error err = ws ? LXW_NO_ERROR : LXW_ERROR_SHEETNAME_ALREADY_USED;
    for (size_t r = 0; r < rows.size() && err == LXW_NO_ERROR; ++r)
        for (qsizetype c = 0; c < rows[r].size() && err == LXW_NO_ERROR; ++c) {
            const QString& text = rows[r][c];
            if (text.isEmpty()) continue;
            double v;
            if (WorkbookTextIsNumber(text, fs, v)) err = worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), v, nullptr);
            else err = worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), text.toUtf8().constData(), nullptr);
        }
    const lxw_error closed = workbook_close(wb);
    if (err != LXW_NO_ERROR || closed != LXW_NO_ERROR)
        throw EWorkbookError(QStringLiteral("Cannot write the workbook: ") +
                             Utf8(lxw_strerror(err != LXW_NO_ERROR ? err : closed)));
    QFile f(tmp.fileName());
    if (!f.open(QIODevice::ReadOnly)) throw EFileError(QStringLiteral("Cannot read the temporary file"));
    return f.readAll();
}

namespace {

const char* const kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* const kWorksheetType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";

struct TEntry {
    QString Name;
    QByteArray Bytes;
};

void ParseFull(pugi::xml_document& doc, const QByteArray& bytes, const QString& part)
{
    const pugi::xml_parse_result r = doc.load_buffer(bytes.constData(), size_t(bytes.size()),
                                                     pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata);
    if (!r) Bad(QStringLiteral("%1: %2").arg(part, Utf8(r.description())));
}

// The prefix a root element binds to a namespace ("r" for xmlns:r="..."),
// binding "r" (or a free name) when it has none.
std::string PrefixFor(pugi::xml_node root, const char* ns)
{
    for (pugi::xml_attribute a = root.first_attribute(); a; a = a.next_attribute())
        if (std::strncmp(a.name(), "xmlns:", 6) == 0 && std::strcmp(a.value(), ns) == 0) return a.name() + 6;
    // The name is written into a buffer: GCC 12 at -O3 reports a false
    // overlap in std::string's copies here.
    char name[32] = "xmlns:r";
    for (int i = 0; root.attribute(name); ++i) std::snprintf(name, sizeof name, "xmlns:r%d", i);
    root.append_attribute(name).set_value(ns);
    return std::string(name + 6);
}

// A formula moved by dRow rows and dCol columns, as a cell of a shared
// formula reads it: the relative parts of its A1 references shift, the `$`
// parts stay; quoted text, sheet names and function names stand as they are.
// A reference pushed off the sheet becomes #REF!.
QString ShiftFormula(const QString& f, int dRow, int dCol)
{
    static const QRegularExpression cellRe(QStringLiteral("^(\\$?)([A-Za-z]{1,3})(\\$?)([0-9]{1,7})$"));
    static const QRegularExpression colRe(QStringLiteral("^(\\$?)([A-Za-z]{1,3})$"));
    static const QRegularExpression rowRe(QStringLiteral("^(\\$?)([0-9]{1,7})$"));
    const auto identChar = [](QChar ch) {
        return ch.isLetterOrNumber() || ch == u'_' || ch == u'.' || ch == u'$' || ch == u'\\';
    };
    const auto colOf = [](QStringView letters) {
        int c = 0;
        for (QChar ch : letters) c = c * 26 + (ch.toUpper().unicode() - u'A' + 1);
        return c;
    };
    // One part moved, or an empty string when it leaves the sheet.
    const auto col = [&](bool abs, int c) {
        if (!abs) c += dCol;
        return c < 1 || c > WorkbookMaxCols ? QString() : (abs ? QStringLiteral("$") : QString()) + WorkbookColumnLetters(c);
    };
    const auto row = [&](bool abs, int64_t r) {
        if (!abs) r += dRow;
        return r < 1 || r > WorkbookMaxRows ? QString() : (abs ? QStringLiteral("$") : QString()) + QString::number(r);
    };
    const auto orRef = [](const QString& a, const QString& b) {
        return a.isEmpty() || b.isEmpty() ? QStringLiteral("#REF!") : a + b;
    };

    QString out;
    qsizetype i = 0;
    const qsizetype n = f.size();
    const auto tokenAt = [&](qsizetype from) {
        qsizetype e = from;
        while (e < n && identChar(f[e])) ++e;
        return e;
    };
    while (i < n) {
        const QChar ch = f[i];
        if (ch == u'"' || ch == u'\'' || ch == u'[') {
            // A string, a quoted sheet name or a bracketed part: copied whole.
            qsizetype e = i + 1;
            if (ch == u'[') {
                for (int depth = 1; e < n && depth > 0; ++e) depth += f[e] == u'[' ? 1 : f[e] == u']' ? -1 : 0;
            } else {
                // A doubled quote stands for one and does not end it.
                for (; e < n; ++e)
                    if (f[e] == ch) {
                        if (e + 1 < n && f[e + 1] == ch) ++e;
                        else break;
                    }
                e = std::min(n, e + 1);
            }
            out += QStringView(f).mid(i, e - i);
            i = e;
            continue;
        }
        if (!identChar(ch)) {
            out += ch;
            ++i;
            continue;
        }
        const qsizetype e = tokenAt(i);
        const QString tok = f.mid(i, e - i);
        // A function or sheet name is never a reference.
        if (e < n && (f[e] == u'(' || f[e] == u'!')) {
            out += tok;
            i = e;
            continue;
        }
        if (const auto m = cellRe.match(tok); m.hasMatch()) {
            const int c = colOf(m.capturedView(2));
            const int64_t r = m.capturedView(4).toLongLong();
            if (c <= WorkbookMaxCols && r >= 1 && r <= WorkbookMaxRows) {
                out += orRef(col(!m.capturedView(1).isEmpty(), c), row(!m.capturedView(3).isEmpty(), r));
                i = e;
                continue;
            }
        }
        // Whole columns (A:C) and whole rows (2:5) come as a pair.
        if (e < n && f[e] == u':') {
            const qsizetype e2 = tokenAt(e + 1);
            const QString tok2 = f.mid(e + 1, e2 - e - 1);
            const auto c1 = colRe.match(tok), c2 = colRe.match(tok2);
            const auto r1 = rowRe.match(tok), r2 = rowRe.match(tok2);
            if (c1.hasMatch() && c2.hasMatch() && colOf(c1.capturedView(2)) <= WorkbookMaxCols &&
                colOf(c2.capturedView(2)) <= WorkbookMaxCols && !(e2 < n && (f[e2] == u'(' || f[e2] == u'!'))) {
                const QString a = col(!c1.capturedView(1).isEmpty(), colOf(c1.capturedView(2)));
                const QString b = col(!c2.capturedView(1).isEmpty(), colOf(c2.capturedView(2)));
                out += a.isEmpty() || b.isEmpty() ? QStringLiteral("#REF!") : a + u':' + b;
                i = e2;
                continue;
            }
            if (r1.hasMatch() && r2.hasMatch() && !(e2 < n && (f[e2] == u'(' || f[e2] == u'!'))) {
                const QString a = row(!r1.capturedView(1).isEmpty(), r1.capturedView(2).toLongLong());
                const QString b = row(!r2.capturedView(1).isEmpty(), r2.capturedView(2).toLongLong());
                out += a.isEmpty() || b.isEmpty() ? QStringLiteral("#REF!") : a + u':' + b;
                i = e2;
                continue;
            }
        }
        out += tok;
        i = e;
    }
    return out;
}

// Fills a cell element with a value: a number or an inline string.
void SetCellValue(pugi::xml_node c, const QString& text, const FormatSettings& fs)
{
    double v;
    if (WorkbookTextIsNumber(text, fs, v)) {
        c.remove_attribute("t");
        c.append_child("v").text().set(WorkbookNumberText(v, FormatSettings{}).toUtf8().constData());
    } else {
        if (!c.attribute("t")) c.append_attribute("t");
        c.attribute("t").set_value("inlineStr");
        pugi::xml_node t = c.append_child("is").append_child("t");
        t.append_attribute("xml:space").set_value("preserve");
        t.text().set(text.toUtf8().constData());
    }
}

} // namespace

QByteArray RewriteWorkbookSheet(const QByteArray& xlsx, const QString& sheetName, const std::vector<QStringList>& rows,
                                const FormatSettings& fs)
{
    CheckRows(sheetName, rows);
    if (!xlsx.startsWith("PK\x03\x04")) Bad(QStringLiteral("not an archive"));
    std::vector<TEntry> entries;
    {
        try {
            TZipReader zip(xlsx);
            for (const QString& n : zip.Names()) entries.push_back({n, zip.Read(n)});
        } catch (const EZipError& e) {
            Bad(e.Message());
        }
    }
    auto find = [&](const QString& name) -> TEntry* {
        for (TEntry& e : entries)
            if (e.Name == name) return &e;
        return nullptr;
    };
    TEntry* types = find(QStringLiteral("[Content_Types].xml"));
    if (!types) Bad(QStringLiteral("not a workbook"));

    // The workbook part from the package relationships.
    QString wbPart = QStringLiteral("xl/workbook.xml");
    if (TEntry* rootRels = find(QStringLiteral("_rels/.rels"))) {
        pugi::xml_document d;
        ParseFull(d, rootRels->Bytes, rootRels->Name);
        for (pugi::xml_node r = Child(d, "Relationships").first_child(); r; r = r.next_sibling())
            if (Utf8(r.attribute("Type").value()).endsWith(QLatin1String("/officeDocument")))
                wbPart = ResolvePart(QString(), Utf8(r.attribute("Target").value()));
    }
    const QString dir = wbPart.left(wbPart.lastIndexOf(u'/') + 1);
    TEntry* wbEntry = find(wbPart);
    TEntry* relsEntry = find(dir + QStringLiteral("_rels/") + wbPart.mid(dir.size()) + QStringLiteral(".rels"));
    if (!wbEntry || !relsEntry) Bad(QStringLiteral("no workbook part"));
    // Entries are added below: keep names, not pointers.
    const QString relsName = relsEntry->Name;

    pugi::xml_document wb, rels, ct;
    ParseFull(wb, wbEntry->Bytes, wbEntry->Name);
    ParseFull(rels, relsEntry->Bytes, relsEntry->Name);
    ParseFull(ct, types->Bytes, types->Name);
    pugi::xml_node workbook = Child(wb, "workbook");
    pugi::xml_node sheets = Child(workbook, "sheets");
    pugi::xml_node relRoot = Child(rels, "Relationships");
    pugi::xml_node typesRoot = Child(ct, "Types");
    if (!sheets || !relRoot || !typesRoot) Bad(QStringLiteral("no sheet list"));

    QHash<QString, QString> targets;
    for (pugi::xml_node r = relRoot.first_child(); r; r = r.next_sibling())
        if (Is(r, "Relationship")) targets.insert(Utf8(r.attribute("Id").value()), ResolvePart(dir, Utf8(r.attribute("Target").value())));
    QString sheetPart;
    for (pugi::xml_node s = sheets.first_child(); s; s = s.next_sibling())
        if (Is(s, "sheet") && Utf8(s.attribute("name").value()) == sheetName) sheetPart = targets.value(Utf8(Attr(s, "id").value()));

    bool workbookChanged = false;
    pugi::xml_document sheetDoc;
    if (sheetPart.isEmpty() || !find(sheetPart)) {
        // A new sheet: its part, relationship, content type and list entry.
        int n = 1;
        while (find(dir + QStringLiteral("worksheets/sheet%1.xml").arg(n))) ++n;
        sheetPart = dir + QStringLiteral("worksheets/sheet%1.xml").arg(n);
        int id = 1;
        while (targets.contains(QStringLiteral("rId%1").arg(id))) ++id;
        const QByteArray rid = QStringLiteral("rId%1").arg(id).toUtf8();
        pugi::xml_node rel = relRoot.append_child("Relationship");
        rel.append_attribute("Id").set_value(rid.constData());
        rel.append_attribute("Type").set_value(kWorksheetType);
        rel.append_attribute("Target").set_value(QStringLiteral("worksheets/sheet%1.xml").arg(n).toUtf8().constData());
        pugi::xml_node ov = typesRoot.append_child("Override");
        ov.append_attribute("PartName").set_value(('/' + sheetPart).toUtf8().constData());
        ov.append_attribute("ContentType").set_value("application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
        unsigned maxId = 0;
        for (pugi::xml_node s = sheets.first_child(); s; s = s.next_sibling()) maxId = std::max(maxId, s.attribute("sheetId").as_uint());
        const std::string prefix = PrefixFor(workbook, kRelNs);
        const char* colon = std::strchr(sheets.name(), ':');
        const std::string sheetElem = colon ? std::string(sheets.name(), size_t(colon - sheets.name() + 1)) + "sheet" : "sheet";
        pugi::xml_node s = sheets.append_child(sheetElem.c_str());
        s.append_attribute("name").set_value(sheetName.toUtf8().constData());
        s.append_attribute("sheetId").set_value(maxId + 1);
        s.append_attribute((prefix + ":id").c_str()).set_value(rid.constData());
        workbookChanged = true;
        ParseFull(sheetDoc,
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                  "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData/></worksheet>",
                  sheetPart);
        entries.push_back({sheetPart, {}});
    } else
        ParseFull(sheetDoc, find(sheetPart)->Bytes, sheetPart);

    pugi::xml_node worksheet = Child(sheetDoc, "worksheet");
    pugi::xml_node data = Child(worksheet, "sheetData");
    if (!worksheet || !data) Bad(QStringLiteral("no sheet data"));
    // The stored size is no longer true; readers work it out without it.
    worksheet.remove_child(Child(worksheet, "dimension"));
    // Element names carry the document's prefix, if any.
    const std::string prefix = [&] {
        const char* n = data.name();
        const char* colon = std::strchr(n, ':');
        return colon ? std::string(n, size_t(colon - n + 1)) : std::string();
    }();
    const std::string rowName = prefix + "row", cName = prefix + "c";

    bool formulaOverwritten = false;
    // Shared formulas whose master cell the range overwrote, by group index.
    struct TMaster {
        int Row, Col;
        QString Text;
    };
    QHash<QByteArray, TMaster> orphaned;
    pugi::xml_node row = data.first_child();
    auto rowNumber = [](pugi::xml_node r, int fallback) {
        const pugi::xml_attribute a = r.attribute("r");
        return a ? a.as_int() : fallback;
    };
    int lastRow = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int want = int(i) + 1;
        // Find or insert the row in order.
        while (row && (!Is(row, "row") || rowNumber(row, lastRow + 1) < want)) {
            if (Is(row, "row")) lastRow = rowNumber(row, lastRow + 1);
            row = row.next_sibling();
        }
        pugi::xml_node target;
        if (row && Is(row, "row") && rowNumber(row, lastRow + 1) == want) target = row;
        else {
            target = row ? data.insert_child_before(rowName.c_str(), row) : data.append_child(rowName.c_str());
            target.append_attribute("r").set_value(want);
        }
        if (!target.attribute("r")) target.append_attribute("r").set_value(want);
        target.remove_attribute("spans");
        lastRow = want;
        row = target.next_sibling();

        // Cells: number them, then replace or insert the range's.
        int lastCol = 0;
        for (pugi::xml_node c = target.first_child(); c; c = c.next_sibling()) {
            if (!Is(c, "c")) continue;
            int rr = want, cc = lastCol + 1;
            if (c.attribute("r") && !ParseWorkbookCellRef(Utf8(c.attribute("r").value()), rr, cc))
                Bad(QStringLiteral("cell reference"));
            if (!c.attribute("r"))
                c.append_attribute("r").set_value((WorkbookColumnLetters(cc) + QString::number(want)).toUtf8().constData());
            lastCol = cc;
        }
        pugi::xml_node cell = target.first_child();
        for (qsizetype j = 0; j < rows[i].size(); ++j) {
            const int col = int(j) + 1;
            int rr = 0, cc = 0;
            while (cell && (!Is(cell, "c") || (ParseWorkbookCellRef(Utf8(cell.attribute("r").value()), rr, cc) && cc < col)))
                cell = cell.next_sibling();
            const QString& text = rows[i][j];
            pugi::xml_node c;
            if (cell && Is(cell, "c") && ParseWorkbookCellRef(Utf8(cell.attribute("r").value()), rr, cc) && cc == col) {
                c = cell;
                // Keep the style, drop the old value.
                for (pugi::xml_node k = c.first_child(); k;) {
                    const pugi::xml_node nextK = k.next_sibling();
                    if (Is(k, "f")) {
                        formulaOverwritten = true;
                        // The master of a shared formula: its other cells
                        // hold no text of their own and are given it below.
                        if (std::strcmp(k.attribute("t").value(), "shared") == 0 && k.attribute("ref") &&
                            *k.child_value())
                            orphaned.insert(QByteArray(k.attribute("si").value()),
                                            {want, col, Utf8(k.child_value())});
                    }
                    c.remove_child(k);
                    k = nextK;
                }
                c.remove_attribute("t");
                if (text.isEmpty() && !c.attribute("s")) {
                    cell = c.next_sibling();
                    target.remove_child(c);
                    continue;
                }
            } else {
                if (text.isEmpty()) continue;
                c = cell ? target.insert_child_before(cName.c_str(), cell) : target.append_child(cName.c_str());
                c.append_attribute("r").set_value((WorkbookColumnLetters(col) + QString::number(want)).toUtf8().constData());
            }
            if (!text.isEmpty()) SetCellValue(c, text, fs);
            cell = c.next_sibling();
        }
    }
    if (!orphaned.isEmpty()) {
        // Every remaining cell of such a group gets the formula as its own,
        // moved to its place.
        int rowAt = 0;
        for (pugi::xml_node rw = data.first_child(); rw; rw = rw.next_sibling()) {
            if (!Is(rw, "row")) continue;
            rowAt = rowNumber(rw, rowAt + 1);
            int colAt = 0;
            for (pugi::xml_node c = rw.first_child(); c; c = c.next_sibling()) {
                if (!Is(c, "c")) continue;
                int rr = rowAt, cc = colAt + 1;
                if (c.attribute("r") && !ParseWorkbookCellRef(Utf8(c.attribute("r").value()), rr, cc))
                    Bad(QStringLiteral("cell reference"));
                colAt = cc;
                pugi::xml_node fn = Child(c, "f");
                if (!fn || std::strcmp(fn.attribute("t").value(), "shared") != 0) continue;
                const auto it = orphaned.constFind(QByteArray(fn.attribute("si").value()));
                if (it == orphaned.cend()) continue;
                fn.remove_attribute("t");
                fn.remove_attribute("si");
                fn.remove_attribute("ref");
                fn.text().set(ShiftFormula(it->Text, rr - it->Row, cc - it->Col).toUtf8().constData());
            }
        }
    }
    for (TEntry& e : entries)
        if (e.Name == sheetPart) e.Bytes = XmlSaveRaw(sheetDoc);

    if (formulaOverwritten) {
        // The calculation chain names the formula cells; a stale one makes
        // the workbook unreadable, and the program rebuilds it when missing.
        for (pugi::xml_node r = relRoot.first_child(); r;) {
            const pugi::xml_node nextR = r.next_sibling();
            if (Utf8(r.attribute("Type").value()).endsWith(QLatin1String("/calcChain"))) {
                const QString part = ResolvePart(dir, Utf8(r.attribute("Target").value()));
                relRoot.remove_child(r);
                std::erase_if(entries, [&](const TEntry& e) { return e.Name == part; });
                for (pugi::xml_node o = typesRoot.first_child(); o;) {
                    const pugi::xml_node nextO = o.next_sibling();
                    if (Utf8(o.attribute("PartName").value()) == u'/' + part) typesRoot.remove_child(o);
                    o = nextO;
                }
                workbookChanged = true;
            }
            r = nextR;
        }
    }
    if (workbookChanged) {
        find(wbPart)->Bytes = XmlSaveRaw(wb);
        find(relsName)->Bytes = XmlSaveRaw(rels);
        find(QStringLiteral("[Content_Types].xml"))->Bytes = XmlSaveRaw(ct);
    }

    std::vector<std::pair<QString, QByteArray>> out;
    out.reserve(entries.size());
    for (TEntry& e : entries) out.emplace_back(e.Name, std::move(e.Bytes));
    try {
        return WriteZip(out);
    } catch (const EZipError& e) {
        throw EWorkbookError(e.Message());
    }
}
