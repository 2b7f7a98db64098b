// fuzz-layer: kr_platform
// Text file decoding: the byte-order mark, UTF-8 and Windows-1252 readings,
// and the line split.
#include "FuzzSupport.h"
#include "platform/Files.h"

#include <QStringDecoder>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    const QString text = DecodeTextFile(bytes);
    const QStringList lines = SplitLines(text);
    for (const QString& line : lines) Require(!line.contains('\r') && !line.contains('\n'), "lines hold no line breaks");

    // The strict UTF-8 test agrees with Qt's decoder.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString decoded = utf8.decode(bytes);
    Require(IsValidUtf8(bytes) == !utf8.hasError(), "IsValidUtf8 agrees with the UTF-8 decoder");
    if (!bytes.startsWith("\xEF\xBB\xBF") && !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF"))
        Require(text == (IsValidUtf8(bytes) ? decoded : DecodeAnsi(bytes)), "unmarked text is UTF-8 or else Windows-1252");

    // Windows-1252 straight to UTF-8 is the same as through 16-bit text, and
    // every byte comes back.
    Require(AnsiToUtf8(bytes) == DecodeAnsi(bytes).toUtf8(), "AnsiToUtf8 agrees with DecodeAnsi");
    Require(EncodeAnsi(DecodeAnsi(bytes)) == bytes, "Windows-1252 reading keeps every byte");
    return 0;
}
