#include "app/USoftOptions.h"

#include "platform/Http.h"
#include "platform/SysUtils.h"

namespace {
QString& Site()
{
    static QString site = QStringLiteral("http://www.tolvexcorp.com");
    return site;
}
} // namespace

QString Maker_Site() { return Site(); }
void Set_Maker_Site(const QString& site) { Site() = site; }

QString Maker_Home_Page() { return Site() + QStringLiteral("/HOME/default.asp?frompg=") + Soft_Code; }
QString Maker_Download_Page() { return Site() + QStringLiteral("/Home/download/download.asp#PT52R08"); }
QString Maker_Version_Query() { return Site() + QStringLiteral("/home/download/GetversionSW.asp?nomesw=") + Soft_Code; }
QString Maker_Web_Address() { return QStringLiteral("www.tolvexcorp.com"); }

int32_t Conv_Version(const QString& Ver_str)
{
    const qsizetype blank = Ver_str.indexOf(QLatin1Char(' '));
    const QString v = Trim(blank < 0 ? Ver_str : Ver_str.mid(blank + 1));
    // d.ddd: the point is skipped; a shorter text is no version.
    if (v.size() < 5) return -1;
    const QString digits = QString(v[0]) + v[2] + v[3] + v[4];
    int32_t n = 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
        n = n * 10 + (c.unicode() - '0');
    }
    return n;
}

bool Is_Newer_Version(const QString& reply)
{
    const QString r = Trim(reply.toUpper());
    if (r.isEmpty() || r == QLatin1String("VER. 0.000")) return false;
    const int32_t mine = Conv_Version(Soft_Version);
    const int32_t theirs = Conv_Version(Trim(reply));
    return mine != -1 && theirs != -1 && mine < theirs;
}

bool Check_Version()
{
    const HttpReply reply = HttpGet(Maker_Version_Query());
    // A failed query gives an empty reply: no newer version.
    return Is_Newer_Version(reply.ok ? QString::fromUtf8(reply.body) : QString());
}
