#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString Path(const QTemporaryDir& d, const char* name) { return QDir(d.path()).filePath(QString::fromLatin1(name)); }
} // namespace

TEST(IniFile, ReadsNamesWithoutRegardToCaseAndValuesAsTheyStand)
{
    QTemporaryDir dir;
    const QString p = Path(dir, "a.ini");
    WriteFileAtomic(p, "; comment\r\n[Grid]\r\n CP0 = 2 \r\nName=\"quoted\" \\n raw\r\nList=a,b\r\n\r\n[Other]\nX=$10\n");
    TIniFile ini(p);
    EXPECT_EQ(ini.ReadString("grid", "cp0", "?"), "2");
    EXPECT_EQ(ini.ReadString("GRID", "NAME", "?"), "\"quoted\" \\n raw");
    EXPECT_EQ(ini.ReadString("Grid", "List", "?"), "a,b");
    EXPECT_EQ(ini.ReadInteger("other", "x", -1), 16);
    EXPECT_EQ(ini.ReadInteger("Grid", "List", -1), -1);
    EXPECT_EQ(ini.ReadString("Grid", "missing", "def"), "def");
    EXPECT_EQ(ini.ReadSections(), (QStringList{"Grid", "Other"}));
    EXPECT_EQ(ini.ReadSection("GRID"), (QStringList{"CP0", "Name", "List"}));
    EXPECT_TRUE(ini.SectionExists("other"));
    EXPECT_FALSE(ini.ValueExists("Other", "Y"));
}

TEST(IniFile, WritesWholeFileWithCrLfAndKeepsCommentsAndOtherKeys)
{
    QTemporaryDir dir;
    const QString p = Path(dir, "b.ini");
    WriteFileAtomic(p, "; keep me\r\n[S]\r\nA=1\r\n\r\n[T]\r\nB=2\r\n");
    {
        TIniFile ini(p);
        ini.WriteString("s", "a", "10");   // existing key, other case
        ini.WriteInteger("S", "C", 3);     // new key in an existing section
        ini.WriteBool("New", "Flag", true); // new section
        ini.DeleteKey("T", "B");
    }
    EXPECT_EQ(ReadFileBytes(p), QByteArray("; keep me\r\n[S]\r\nA=10\r\nC=3\r\n\r\n[T]\r\n[New]\r\nFlag=1\r\n"));
    TIniFile again(p);
    EXPECT_TRUE(again.ReadBool("new", "flag", false));
    again.EraseSection("s");
    EXPECT_FALSE(TIniFile(p).SectionExists("S"));
}

TEST(IniFile, MissingFileIsEmptyAndFailedWriteIsReported)
{
    QTemporaryDir dir;
    TIniFile ini(Path(dir, "none.ini"));
    EXPECT_TRUE(ini.ReadSections().isEmpty());
    TIniFile bad(Path(dir, "no/such/folder/x.ini"));
    EXPECT_THROW(bad.WriteString("S", "K", "V"), EFileError);
}
