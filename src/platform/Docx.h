#pragma once
// Word-processor documents (.docx) written directly: a table of texts with
// single lines, each cell one paragraph per text line, aligned left, centred
// or right. A new document holds the table and a text paragraph; an existing
// one gets the text paragraph at its start and the table at a bookmark (its
// paragraph split in two) or at its end, every other part copied as it is.
#include "platform/Exception.h"

#include <QByteArray>
#include <QString>
#include <vector>

// A document that is not a readable .docx.
class EDocxError : public Exception {
public:
    using Exception::Exception;
};

enum class TDocxAlign { Left, Centre, Right };

struct TDocxCell {
    QString Text;  // lines separated by LF, CR LF or CR
    TDocxAlign Align = TDocxAlign::Left;
};
using TDocxTable = std::vector<std::vector<TDocxCell>>;

// A new document: the table, then a paragraph holding `text`.
QByteArray WriteNewDocx(const TDocxTable& table, const QString& text);
// The document `docx` with a paragraph holding `text` at its start and the
// table at the bookmark named `bookmark` (at the end, after a new paragraph,
// when the document has no such bookmark). Raises EDocxError when the
// document is broken.
QByteArray AppendDocxTable(const QByteArray& docx, const TDocxTable& table, const QString& text, const QString& bookmark);
