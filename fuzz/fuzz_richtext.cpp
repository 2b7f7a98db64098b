// fuzz-layer: kr_controls
// The rich-text reader over any 16-bit text: it never fails, and what the
// writer makes of the runs it read reads back as the same runs.
#include "FuzzSupport.h"
#include "controls/ExtRichText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Even bytes as Latin-1 text reach the control words more often than
    // 16-bit units; the first byte chooses the reading.
    if (size < 1) return 0;
    const QByteArray bytes = Bytes(data + 1, size - 1);
    const QString text = data[0] & 1 ? Utf16(bytes) : QString::fromLatin1(bytes);
    const TRichTextRuns runs = ParseRichText(text);
    for (const TRichTextRun& r : runs) Require(!r.Text.isEmpty(), "no empty run");
    const QString rtf = RichTextRunsToRtf(runs);
    Require(IsRichText(rtf), "the writer writes rich text");
    for (QChar c : rtf) Require(c.unicode() < 0x80, "the writer writes 7-bit text");
    Require(ParseRichText(rtf) == runs, "written runs read back the same");
    Require(RichTextToPlainText(rtf) == RichTextRunsToPlainText(runs), "the plain text comes back");
    return 0;
}
