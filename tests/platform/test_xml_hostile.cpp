// The XML document against hand-edited and damaged files: nodes before the
// root, texts that must survive a round trip, NUL characters, encodings and
// the size limit.
#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/XmlDoc.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
// The message of the EXMLError that loading `bytes` throws; empty when it loads.
QString LoadError(const QByteArray& bytes)
{
    TXMLDocument doc;
    try {
        doc.LoadFromBytes(bytes);
    } catch (const EXMLError& e) {
        return e.Message();
    }
    return QString();
}
} // namespace

TEST(XmlHostile, TheRootIsTheDocumentElement)
{
    const char* const docs[] = {
        "<!-- note --><R><a>1</a></R>",
        "<?xml-stylesheet href=\"v.xsl\" type=\"text/xsl\"?><R><a>1</a></R>",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE R>\n<!--x--><R><a>1</a></R>",
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><?pi?><R><a>1</a></R>",
        "<?xml version=\"1.0\"?><?xml version=\"1.0\"?><R><a>1</a></R>",
    };
    for (const char* d : docs) {
        TXMLDocument doc;
        doc.LoadFromBytes(d);
        EXPECT_EQ(doc.DocumentElement().NodeName(), "R") << d;
        EXPECT_EQ(doc.DocumentElement().FindChild("a").Text(), "1") << d;
        EXPECT_TRUE(doc.SaveToBytes().endsWith("<R><a>1</a></R>")) << d;
        EXPECT_FALSE(doc.SaveToBytes().contains("<?xml ")) << d; // no declaration is written back
    }
}

// Every value comes back exactly as it was written, in element text and in
// attributes alike.
TEST(XmlHostile, TextsSurviveARoundTrip)
{
    const QString values[] = {
        QStringLiteral("a\rb"), QStringLiteral("a\r\nb"), QStringLiteral("\r"), QStringLiteral("\n\r\n\r"),
        QString(QChar(0xFEFF)) + "x", QString(QChar(0xFEFF)), QStringLiteral("x") + QChar(0xFEFF),
        QStringLiteral(" \t lead and trail \t "), QStringLiteral("]]> & <!-- --> \"'"), QString(QChar(1)) + "ctl",
        QString::fromUtf8("caf\u00e9 \u20ac \U0001F600"),
    };
    for (const QString& v : values) {
        TXMLDocument doc;
        XmlNode root = doc.AddRoot("R");
        root.AddChild("e", v);
        root.AddChild("row").SetAttribute("v", v);
        const QByteArray bytes = doc.SaveToBytes();
        EXPECT_FALSE(bytes.contains('\r')) << "a raw CR would come back as a line feed";
        TXMLDocument back;
        back.LoadFromBytes(bytes);
        EXPECT_EQ(back.DocumentElement().FindChild("e").Text(), v);
        EXPECT_EQ(back.DocumentElement().FindChild("row").Attribute("v"), v);
        EXPECT_EQ(back.SaveToBytes(), bytes);
    }
    // A text of blanks beside other nodes is a value too, not layout.
    for (const char* blanks : {"\n", " ", "\t\t", " \n"}) {
        TXMLDocument doc;
        XmlNode e = doc.AddRoot("R").AddChild("e", blanks);
        e.AddChild("c");
        TXMLDocument back;
        back.LoadFromBytes(doc.SaveToBytes());
        EXPECT_EQ(back.DocumentElement().FindChild("e").Text(), blanks);
        EXPECT_EQ(back.SaveToBytes(), doc.SaveToBytes());
    }
    // A CR in element text is written as a reference; comments stay as they are.
    TXMLDocument doc;
    doc.AddRoot("R").AddChild("e", "1\r\n2");
    doc.AddDocComment("SW_VERSION = 1.000");
    EXPECT_EQ(doc.SaveToBytes(), QByteArray("<R><e>1&#13;\n2</e></R><!--SW_VERSION = 1.000-->"));
}

// XML cannot hold the NUL character: a document that names one is refused
// instead of having a value cut short. The same text in a comment or a CDATA
// section is no reference.
TEST(XmlHostile, NulCharactersRefuseTheDocument)
{
    const std::pair<QByteArray, const char*> refused[] = {
        {"<R><e>ab&#0;cd</e></R>", "&#0;"},
        {"<R><e>&#x0;</e></R>", "&#x0;"},
        {"<R><row v=\"a&#X000;\"/></R>", "&#X000;"},
        {"<R><row v='&#00;'/></R>", "&#00;"},
        {QByteArray("<R><e>a\0b</e></R>", 17), "NUL byte"},
        // Characters XML cannot hold would be written back as bytes that are not UTF-8.
        {"<R><e>&#xD800;</e></R>", "&#xD800;"},
        {"<R><e>&#57343;</e></R>", "&#57343;"},
        {"<R><e>&#x110000;</e></R>", "&#x110000;"},
        {"<R><e>&#99999999999999999999;</e></R>", "&#99999999999999999999;"},
    };
    for (const auto& [bytes, part] : refused) {
        const QString error = LoadError(bytes);
        EXPECT_TRUE(error.contains(QString::fromLatin1(part))) << bytes.constData() << ": " << error.toStdString();
    }
    const char* const accepted[] = {
        "<R><!-- &#0; --><e>1</e></R>",
        "<R><e><![CDATA[&#0;]]></e></R>",
        "<?pi &#0;?><R><e>&#10;&#x20;&#xFFFD;&#x10FFFF;</e></R>",
        "<R><e>&#0</e></R>x", // no reference without its ";" (and not well-formed anyway)
    };
    for (const char* d : accepted) EXPECT_FALSE(LoadError(d).contains("NUL")) << d;
    TXMLDocument doc;
    doc.LoadFromBytes("<R><e><![CDATA[&#0;]]></e></R>");
    EXPECT_EQ(doc.DocumentElement().FindChild("e").Text(), "&#0;");
}

// The encoding comes from a byte-order mark, else from the declaration's
// encoding value only; without either, bytes that are not UTF-8 are
// Windows-1252, as in text files.
TEST(XmlHostile, EncodingsAreReadAsDeclaredOrRefusedByName)
{
    const QString cafe = QString::fromUtf8("caf\u00e9 \u20ac");
    struct Case {
        const char* what;
        QByteArray bytes;
        QString text;        // of <a>, when it loads
        const char* error;   // part of the message, when it is refused
    };
    const QByteArray utf16 = QByteArray("\xFF\xFE", 2) +
                             QByteArray(reinterpret_cast<const char*>(QStringLiteral("<R><a>%1</a></R>").arg(cafe).utf16()),
                                        qsizetype(QStringLiteral("<R><a>%1</a></R>").arg(cafe).size() * 2));
    const Case cases[] = {
        {"undeclared UTF-8", "<R><a>caf\xC3\xA9 \xE2\x82\xAC</a></R>", cafe, nullptr},
        {"undeclared Windows-1252", "<R><a>caf\xE9 \x80</a></R>", cafe, nullptr},
        {"declaration without encoding", "<?xml version=\"1.0\"?><R><a>caf\xE9 \x80</a></R>", cafe, nullptr},
        {"stylesheet naming latin1", "<?xml-stylesheet href=\"latin1.xsl\" type=\"text/xsl\"?><R><a>caf\xC3\xA9 \xE2\x82\xAC</a></R>",
         cafe, nullptr},
        {"latin1 in a comment", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!-- encoding='latin1' --><R><a>caf\xC3\xA9 \xE2\x82\xAC</a></R>",
         cafe, nullptr},
        {"windows-1252 any case", "<?xml version='1.0' encoding='WINDOWS-1252'?><R><a>caf\xE9 \x80</a></R>", cafe, nullptr},
        {"iso-8859-1", "<?xml version=\"1.0\" encoding=\"iso-8859-1\" standalone=\"yes\"?><R><a>caf\xE9 \x80</a></R>", cafe, nullptr},
        {"UTF-16 with its mark", utf16, cafe, nullptr},
        {"ISO-8859-15", "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?><R><a>caf\xE9 \xA4</a></R>", QString(), "\"ISO-8859-15\""},
        {"a name that only begins like a known one", "<?xml version=\"1.0\" encoding=\"latin1x\"?><R/>", QString(), "\"latin1x\""},
        {"declared UTF-8, bytes are not", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><R><a>caf\xE9</a></R>", QString(),
         "not UTF-8"},
    };
    for (const Case& c : cases) {
        TXMLDocument doc;
        if (c.error) {
            const QString error = LoadError(c.bytes);
            EXPECT_TRUE(error.contains(QString::fromLatin1(c.error))) << c.what << ": " << error.toStdString();
            continue;
        }
        doc.LoadFromBytes(c.bytes);
        EXPECT_EQ(doc.DocumentElement().FindChild("a").Text(), c.text) << c.what;
        // Written back as UTF-8, never with replacement characters.
        EXPECT_TRUE(doc.SaveToBytes().endsWith("<R><a>caf\xC3\xA9 \xE2\x82\xAC</a></R>")) << c.what;
    }
}

TEST(XmlHostile, FilesOverTheLimitAreRefusedByName)
{
    TempExeFolder dir;
    const QString path = dir.File("ParGen.xml");
    const QByteArray small = "<Par_Gen><CAN_BAUDRATE>3</CAN_BAUDRATE></Par_Gen>";
    WriteTestFile(path, small);
    TXMLDocument doc;
    doc.LoadFromFile(path, small.size());
    EXPECT_EQ(doc.DocumentElement().FindChild("CAN_BAUDRATE").Text(), "3");
    try {
        doc.LoadFromFile(path, small.size() - 1);
        ADD_FAILURE() << "a file over the limit was read";
    } catch (const EXMLError& e) {
        EXPECT_TRUE(e.Message().contains(path)) << e.what();
    }

    // A document of nothing but tiny elements would take many times its size
    // once parsed: it is refused before it is.
    const QByteArray tiny = "<R>" + QByteArray("<a/>").repeated(int(Max_Xml_Structure / 64) + 1) + "</R>";
    try {
        doc.LoadFromBytes(tiny);
        ADD_FAILURE() << "a document of " << tiny.size() << " bytes of tiny elements was parsed";
    } catch (const EXMLError& e) {
        EXPECT_TRUE(e.Message().contains("more elements and attributes")) << e.what();
    }

    // The project files' limit: 64 MB. The file is sparse, and is refused
    // before anything of it is read.
    QFile big(path);
    ASSERT_TRUE(big.open(QIODevice::ReadWrite));
    ASSERT_TRUE(big.resize(Max_Xml_File_Size + 1));
    big.close();
    try {
        doc.LoadFromFile(path);
        ADD_FAILURE() << "a file over 64 MB was read";
    } catch (const EXMLError& e) {
        EXPECT_TRUE(e.Message().contains(path)) << e.what();
        EXPECT_TRUE(e.Message().contains("64 MB")) << e.what();
    }
}
