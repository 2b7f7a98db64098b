// fuzz-layer: kr_app
// The version text of the maker's reply: a reply counts as a newer version
// only when the text after its first blank is exactly d.ddd, above 1.000.
#include "FuzzSupport.h"
#include "app/USoftOptions.h"
#include "platform/SysUtils.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString reply = QString::fromUtf8(Bytes(data, size));
    const int32_t v = Conv_Version(reply);
    Require(v == -1 || (v >= 0 && v <= 9999), "a version number has four digits");
    if (Is_Newer_Version(reply)) {
        static const QRegularExpression form(QStringLiteral("\\A[0-9]\\.[0-9]{3}\\z"));
        const QString t = Trim(reply);
        const qsizetype blank = t.indexOf(' ');
        const QString version = Trim(blank < 0 ? t : t.mid(blank + 1));
        Require(form.match(version).hasMatch(), "a newer version has the exact form d.ddd");
        Require(Conv_Version(version) > 1000, "newer means above 1.000");
    }
    return 0;
}
