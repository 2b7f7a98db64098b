// The web colour table: its names and values against the CSS3 keywords.
#include "platform/WebColors.h"

#include <QColor>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

namespace {

QString Html(TColor c)
{
    return QStringLiteral("#%1%2%3")
        .arg(GetRValue(c), 2, 16, QLatin1Char('0'))
        .arg(GetGValue(c), 2, 16, QLatin1Char('0'))
        .arg(GetBValue(c), 2, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace

TEST(WebColors, TableShape)
{
    const auto table = WebColorTable();
    ASSERT_EQ(table.size(), 138u);
    std::set<TColor> values;
    for (const TWebColorEntry& e : table) {
        EXPECT_TRUE(values.insert(e.Value).second) << e.Name;
        EXPECT_EQ(e.Value & 0xFF000000, 0) << e.Name;
    }
    EXPECT_STREQ(table.front().Name, "clWebSnow");
    EXPECT_STREQ(table.back().Name, "clWebBlack");
    QString name;
    ASSERT_TRUE(WebColorName(0x00FFFF, name));
    EXPECT_EQ(name, QStringLiteral("clWebYellow"));
    ASSERT_TRUE(WebColorName(0xFFFF00, name));
    EXPECT_EQ(name, QStringLiteral("clWebCyan"));
    ASSERT_TRUE(WebColorName(0xD3D3D3, name));
    EXPECT_EQ(name, QStringLiteral("clWebLightgrey"));
    name = QStringLiteral("unchanged");
    EXPECT_FALSE(WebColorName(0x123456, name));
    EXPECT_EQ(name, QStringLiteral("unchanged"));
}

// Every keyword Qt knows (the same CSS / SVG list) has an entry of its value.
TEST(WebColors, CoversQtKeywords)
{
    int checked = 0;
    for (const QString& keyword : QColor::colorNames()) {
        if (keyword == QLatin1String("transparent")) continue;
        const QColor qc = QColor::fromString(keyword);
        const TColor value = RGBColor(qc.red(), qc.green(), qc.blue());
        QString name;
        EXPECT_TRUE(WebColorName(value, name)) << keyword.toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 147);
}

// An independent peer: Debian's webcolors module reads the table as written.
TEST(WebColors, AgreesWithTheCss3TableOfWebcolors)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("webcolors.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (const TWebColorEntry& e : WebColorTable()) f.write((QString::fromLatin1(e.Name) + QLatin1Char(' ') + Html(e.Value) + QLatin1Char('\n')).toLatin1());
    f.close();
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(KR_FIXTURES_DIR "/../../scripts/check_webcolors.py"), path});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAll());
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("138 entries, 138 CSS3 values, 0 faults"))) << out.toStdString();
}
