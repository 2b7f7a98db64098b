#pragma once
// Rich text of grid cells: a small reader and writer of the RTF subset that
// the grid's rich-text cells use, without any window.
//
// The reader turns RTF into a list of formatted runs; the runs become a
// QTextDocument (for painting, measuring and editing) and come back from
// one; the writer turns runs into RTF again. What is kept:
//   groups, \par, \line, \tab, \b, \i, \ul / \ulnone, \plain, \fs, \f with
//   the font table, \cf with the colour table, \up / \dn (vertical offset),
//   \'hh (Windows-1252), \uN with \uc, \~, \_ and the escapes \\ \{ \}.
// Everything else is skipped: paragraph formatting, pictures, objects,
// fields' instructions (their shown result is kept), style sheets, the info
// group and any destination marked with \*. The reader never throws and
// never recurses: group nesting beyond MaxRichTextDepth is flattened.
#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

class QPainter;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;

// Groups nested deeper than this keep the formatting of the deepest kept one.
constexpr int MaxRichTextDepth = 64;

// The character-format property of a QTextDocument that holds the vertical
// offset in twips (positive raises, negative lowers); it is drawn as the
// format's baseline offset.
int RichTextOffsetProperty();

// Offsets of sub- and superscript characters, in twips.
constexpr int RichSubscriptOffset = -40;
constexpr int RichSuperscriptOffset = 40;

// One stretch of text in one format. U+2029 in Text ends a paragraph, U+2028
// breaks a line inside one, a TAB is a tab.
struct TRichTextRun {
    QString Text;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int FontSize = 0;   // half points; 0: the document's own size
    QString FontName;   // empty: the document's own font
    QColor Color;       // invalid: the document's own text colour
    int Offset = 0;     // twips

    // Same format (the text is not compared).
    bool SameFormat(const TRichTextRun& o) const;
    bool operator==(const TRichTextRun& o) const = default;
};
using TRichTextRuns = std::vector<TRichTextRun>;

// True when the text starts like RTF ("{\").
bool IsRichText(const QString& text);

// Reads RTF into runs (adjacent runs of one format merged, empty runs
// dropped). Text after the outermost group's end is ignored; input that
// ends early keeps what was read.
TRichTextRuns ParseRichText(const QString& rtf);
// Writes runs as RTF starting "{\rtf1". Characters of Windows-1252 above
// ASCII are written as \'hh, all others beyond it as \uN.
QString RichTextRunsToRtf(const TRichTextRuns& runs);

// The text of runs with CR LF line breaks (paragraphs and lines alike).
QString RichTextRunsToPlainText(const TRichTextRuns& runs);
// ParseRichText + RichTextRunsToPlainText.
QString RichTextToPlainText(const QString& rtf);

// Replaces the document's content by the runs; unset sizes, fonts and
// colours fall back to the document's default font and the painter's colour.
void RichTextRunsToDocument(const TRichTextRuns& runs, QTextDocument& doc);
// Reads the RTF into the document.
void LoadRichText(const QString& rtf, QTextDocument& doc);
// The runs of a document.
TRichTextRuns DocumentToRichTextRuns(const QTextDocument& doc);
// The document as RTF.
QString DocumentToRtf(const QTextDocument& doc);
// The document's text with CR LF line breaks.
QString DocumentPlainText(const QTextDocument& doc);

// The vertical offset of a character format, in twips.
int RichTextOffset(const QTextCharFormat& fmt);
// Sets the vertical offset of the cursor's selection to `twips`, changing no
// other attribute; each stretch keeps its size, the drawn baseline offset
// follows it.
void SetRichTextOffset(QTextCursor& cursor, int twips);
// The vertical offset shared by every character of the selection (the
// character before the cursor when nothing is selected); false when the
// selection mixes offsets.
bool SelectionRichTextOffset(const QTextCursor& cursor, int& twips);

// The size, in pixels, that the rich text needs in `font`: unbounded lines
// when `width` is negative, otherwise wrapped at `width`. No margins.
QSizeF MeasureRichText(const QString& rtf, const QFont& font, qreal width = -1);
// Draws the rich text into `rect` (clipped to it) with `font` for unset
// fonts and sizes and `textColor` for unset colours, wrapping when `wrap`.
void DrawRichText(QPainter& painter, const QRectF& rect, const QString& rtf, const QFont& font,
                  const QColor& textColor, bool wrap = true);
