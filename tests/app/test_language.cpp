#include "app/UComon.h"
#include "app/ULanguage.h"
#include "common/TestSupport.h"
#include "platform/Files.h"
#include "common/SharedState.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
// Points the program's folders at a temporary executable folder.
struct LangFixture : SharedStateTest {
    TempExeFolder exe;
    void SetUp() override
    {
        Set_Program_Folders();
        Language_Name = Default_Language_Name;
        Load_Default_Texts();
    }
    QString LngPath(const QString& name) const { return PathJoin(Language_Path, name); }
};
} // namespace

TEST(TextTable, BuiltInTextsAreCompleteAndInOrder)
{
    int count = 0;
    const BuiltInText* texts = Built_In_Texts(count);
    ASSERT_GT(count, 0);
    for (int i = 1; i < count; ++i)
        ASSERT_LT(texts[i - 1].number, texts[i].number) << "text " << texts[i].number << " out of order or repeated";
    EXPECT_LT(texts[count - 1].number, Lang_Table_Size);

    Load_Default_Texts();
    ASSERT_EQ(SL_Lang.Count(), 5600);
    EXPECT_EQ(SL_Lang[0], "Begin");
    EXPECT_EQ(SL_Lang[9], "None Configuration Opened ");
    EXPECT_EQ(SL_Lang[18], "Error! Project not Valid");
    EXPECT_EQ(SL_Lang[316], "Do you want to change the Language from ");
    EXPECT_EQ(SL_Lang[1500], "Row Already used. Do you want to overwrite the values?");
    EXPECT_EQ(SL_Lang[5400], "LoRaWAN Gateway Access");
    EXPECT_EQ(SL_Lang[5485], "Error Device %d!! Device EUI must have 8 bytes (16 characters)");
    EXPECT_EQ(SL_Lang[5516], "Select the RX2 Datarate of LoRaWAN Device");
    EXPECT_EQ(SL_Lang[2449], "!! Byte1 must be between 0 and ");
    EXPECT_EQ(SL_Lang[3010], "Use \"None\" to not pass the byte from DeviceNet to LoRaWAN");
    EXPECT_EQ(SL_Lang[5357], "!! [KNX in Write] Bit Mode must be \"No\" or between 0 and 7");
    // Texts that quote a character keep the quote and what follows it.
    EXPECT_EQ(SL_Lang[4640], "!! OID string can contains only number and \".\"");
    EXPECT_EQ(SL_Lang[4643], "!! OID string cannot contains two or more consecutive \".\"");
    EXPECT_EQ(SL_Lang[4644], "!! OID string cannot contains number major of $FFFFFFFF between two \".\"");
    for (int n = 4640; n <= 4644; ++n) EXPECT_TRUE(SL_Lang[n].endsWith("\".\"")) << n;
    EXPECT_EQ(SL_Lang[4214], " ");   // a message with no built-in wording
    EXPECT_EQ(SL_Lang[99], " ");     // an empty tail of a block
    EXPECT_EQ(SL_Lang[5599], " ");
    EXPECT_EQ(SL_Lang[-1], "");      // outside the table: empty, never a crash
    EXPECT_EQ(SL_Lang[5600], "");
    EXPECT_EQ(Max_Lang_Index, 5600);
}

struct LineCase {
    const char* line;
    int number;
    const char* expected;  // nullptr: the built-in text stays
};

TEST_F(LangFixture, LanguageFileLines)
{
    const QString pil = QString(QChar(0x00B6));
    const LineCase cases[] = {
        {"STR15 = Neue Konfiguration", 15, "Neue Konfiguration"},
        {"STR16 =", 16, nullptr},                       // nothing after "=": built-in stays
        {"str17 = klein", 17, nullptr},                 // lower case prefix: ignored
        {"  STR20 = trimmed line  \t", 20, "trimmed line"},
        {"STR5499 = last low", 5499, "last low"},
        {"STR5516 = RX2 translated", 5516, "RX2 translated"},  // the LoRaWAN texts are translatable
        {"STR5600 = beyond", 5599, nullptr},
        {"STR6000 = beyond", 5599, nullptr},
        {"STR-1 = negative", 0, nullptr},
        {"STR21=x", 21, "x"},                           // no blank before "=": the whole number counts
        {"STR21x = junk number", 21, "x"},
        {"STR22 no equals sign", 22, nullptr},
        {"STR23 = text /#/ a note", 23, "text"},
        {"STR24 = /#/ only a note", 24, nullptr},
        {"STR$19 = hex number", 25, "hex number"},      // the number follows the integer convention
        {"STR26 = a = b", 26, "a = b"},                 // only the first "=" separates
        {"Comment line", 27, nullptr},
        {"", 27, nullptr},
        {"STR28 = first", 28, "second"},                // a later line wins
        {"STR28 = second", 28, "second"},
    };
    QStringList lines;
    for (const LineCase& c : cases)
        lines << QString::fromUtf8(c.line);
    lines << "STR9 = " + pil + "Nessuna configurazione aperta " + pil + " trailing";
    lines << "STR10 = " + pil + "  leading blanks";

    Load_Default_Texts();
    const QStringList builtIn = SL_Lang.Texts();
    Apply_Lng_Lines(lines);
    for (const LineCase& c : cases) {
        const QString want = c.expected ? QString::fromUtf8(c.expected) : builtIn[c.number];
        EXPECT_EQ(SL_Lang[c.number], want) << c.line;
    }
    EXPECT_EQ(SL_Lang[9], "Nessuna configurazione aperta ");
    EXPECT_EQ(SL_Lang[10], "  leading blanks");
    EXPECT_EQ(SL_Lang[1], builtIn[1]);  // "STR15=x" style never reaches text 1
}

TEST_F(LangFixture, EncodingsGiveIdenticalTables)
{
    const QString body = QString::fromUtf8("STR15 = Configurazione \u00e8 nuova\r\nSTR9 = \u00b6Vide \u00b6\r\nSTR16 = Caf\u00e9\r\n");
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (QChar ch : body) {
        le.append(char(ch.unicode() & 0xFF)).append(char(ch.unicode() >> 8));
        be.append(char(ch.unicode() >> 8)).append(char(ch.unicode() & 0xFF));
    }
    const QByteArray ansi = EncodeAnsi(body);
    ASSERT_TRUE(ansi.contains('\xB6'));  // the pilcrow byte of Windows-1252
    const QByteArray files[] = {QByteArray("\xEF\xBB\xBF") + body.toUtf8(), le, be, ansi};

    QStringList first;
    for (const QByteArray& bytes : files) {
        WriteTestFile(LngPath("Test.lng"), bytes);
        Load_Default_Texts();
        Load_Lng_File(LngPath("Test.lng"));
        EXPECT_EQ(SL_Lang[15], QString::fromUtf8("Configurazione \u00e8 nuova"));
        EXPECT_EQ(SL_Lang[9], "Vide ");
        if (first.isEmpty())
            first = SL_Lang.Texts();
        else
            EXPECT_EQ(SL_Lang.Texts(), first);
    }
}

TEST_F(LangFixture, LoadLanguageFallsBackToEnglishAndMatchesAnyCase)
{
    WriteTestFile(LngPath("english.LNG"), "STR0 = Start\r\n");
    WriteTestFile(LngPath("Deutsch.lng"), "STR0 = Anfang\r\n");

    Language_Name = "deutsch";
    Load_Language();
    EXPECT_EQ(SL_Lang[0], "Anfang");
    EXPECT_EQ(Language_Name, "deutsch");

    Language_Name = "Klingon";  // its file is missing
    Load_Language();
    EXPECT_EQ(Language_Name, "English");
    EXPECT_EQ(SL_Lang[0], "Start");  // English.lng applies, whatever its case

    // A switch rebuilds the table: nothing of the previous language survives.
    QFile::remove(LngPath("english.LNG"));
    Language_Name = "Deutsch";
    Load_Language();
    Language_Name = "Klingon";
    Load_Language();
    EXPECT_EQ(SL_Lang[0], "Begin");

    // A name is matched against the folder's files only; it never reaches
    // outside the language folder.
    WriteTestFile(PathJoin(exe.Path(), "Evil.lng"), "STR0 = Outside\r\n");
    Language_Name = "../Evil";
    Load_Language();
    EXPECT_EQ(SL_Lang[0], "Begin");
}

TEST_F(LangFixture, DamagedLanguageFilesNeverCrash)
{
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary.append(char((i * 131 + 7) & 0xFF));
    QByteArray huge;
    huge.reserve(17 * 1024 * 1024);
    while (huge.size() < 17 * 1024 * 1024)
        huge.append("STR0 = Overwritten by a file far too large to be a language file\r\n");
    const QByteArray files[] = {
        binary,
        QByteArray("STR0 = Tru"),                         // truncated, no line end
        QByteArray("\xFF\xFE" "S\0T\0R\0" "0", 9),         // UTF-16 cut in the middle of a character
        QByteArray("STR0 = a\0b\r\nSTR1 = c", 20),        // an embedded NUL
        huge,
    };
    for (const QByteArray& bytes : files) {
        WriteTestFile(LngPath("Bad.lng"), bytes);
        Load_Default_Texts();
        Load_Lng_File(LngPath("Bad.lng"));
        EXPECT_EQ(SL_Lang.Count(), 5600);
    }
    EXPECT_EQ(SL_Lang[0], "Begin");  // the oversized file was not applied
    Load_Lng_File(LngPath("Missing.lng"));
    Load_Lng_File(Language_Path);    // a folder, not a file
    EXPECT_EQ(SL_Lang[0], "Begin");
}
