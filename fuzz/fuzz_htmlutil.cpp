// fuzz-layer: kr_controls
// The text and HTML helpers over any 16-bit text: escaping and the cell
// codings come back exactly, marking keeps the text, and the rest never
// fails. The first byte holds the options, the rest is split into the text
// and a search text at the first unit 0xFFFF.
#include "FuzzSupport.h"
#include "controls/EsgHTMLUtil.h"
#include "controls/ExtUtil.h"
#include "platform/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint8_t options = data[0];
    const QString all = Utf16(Bytes(data + 1, size - 1));
    const qsizetype cut = all.indexOf(QChar(0xFFFF));
    const QString text = cut < 0 ? all : all.left(cut);
    const QString search = cut < 0 ? QString() : all.mid(cut + 1);
    const bool flag = options & 1;

    Require(UnescapeHtmlChars(EscapeHtmlChars(text, flag), flag) == text, "escaping comes back");
    Require(DecodeWideCellText(EncodeWideCellText(text)) == text, "the wide cell coding comes back");
    const auto holds = [&text](std::initializer_list<char16_t> units) {
        for (char16_t u : units)
            if (text.contains(QChar(u))) return true;
        return false;
    };
    // The single-line form is told by its character 8, so a text with a CR
    // but no LF does not come back; nor does one that holds the code units.
    if (!holds({9, 8, 1}) && (!holds({'\r'}) || holds({'\n'})))
        Require(SingleLineToMultiline(MultilineToSingleLine(text), true) == text, "the single-line form comes back");
    if (!holds({11})) {
        QString crlf = text;
        crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n').replace('\n', QStringLiteral("\r\n"));
        Require(VTToCRLF(CsvQuoteMultiline(crlf)) == '"' + crlf + '"', "the quoted field coding comes back");
    }
    Require(ProperCaseText(text).size() == text.size(), "proper case keeps the length");

    const QString marked = MarkMatchesInHtml(text, search, QStringLiteral("HI"), flag);
    if (!holds({'<', '>', '&'}) && !search.contains('<') && !search.contains('>'))
        Require(UnmarkMatchesInHtml(marked, QStringLiteral("HI")) == text, "marking keeps the text");
    (void)StripMiniHtml(text);
    (void)SpacesToNbsp(text);
    QString replaced = text;
    (void)ReplaceFirstIgnoreCase(search, QStringLiteral("x"), replaced);
    QString html;
    (void)TextToHtmlWithLinks(text, QStringLiteral("HTTP://"), html);
    const FormatSettings fs; // the built-in values, not the system's
    (void)ClassifyNumericText(text, fs);
    (void)NormalizeNumericText(text, fs);
    (void)ProperCaseText(search);
    try {
        (void)ParseDateDMY(text);
        (void)ParseDateMDY(text);
    } catch (const Exception&) {
        // A day or month that does not exist is the platform's conversion error.
    }
    return 0;
}
