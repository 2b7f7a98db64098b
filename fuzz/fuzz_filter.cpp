// fuzz-layer: kr_controls
// The filter and search matcher: any condition against any value. The first
// byte chooses the case rule, the rest is the condition and the value, split
// at the first NUL byte (UTF-8 each).
#include "FuzzSupport.h"
#include "controls/ExtFilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const bool caseSensitive = data[0] & 1;
    const QByteArray rest = Bytes(data + 1, size - 1);
    const qsizetype cut = rest.indexOf('\0');
    const QString condition = QString::fromUtf8(cut < 0 ? rest : rest.left(cut));
    const QString value = cut < 0 ? QString() : QString::fromUtf8(rest.mid(cut + 1));
    FormatSettings fs; // the built-in values, not the system's
    if (data[0] & 2) {
        fs.DecimalSeparator = ',';
        fs.ThousandSeparator = '.';
    }
    const bool a = MatchFilterExpression(condition, value, caseSensitive, fs);
    Require(a == MatchFilterExpression(condition, value, caseSensitive, fs), "the matcher is a function of its input");
    (void)StripBlanksOutsideQuotes(condition);
    (void)NumberTextForConversion(value, fs);
    return 0;
}
