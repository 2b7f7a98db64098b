#include "common/TestSupport.h"
#include "platform/Application.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "platform/XmlDoc.h"

#include <QFile>
#include <QPushButton>
#include <QMouseEvent>
#include <gtest/gtest.h>

struct IntCase {
    const char* text;
    std::optional<int32_t> value;
};

TEST(SysUtils, IntegerConvention)
{
    const IntCase cases[] = {
        {"0", 0}, {"42", 42}, {"  42", 42}, {"-7", -7}, {"+7", 7}, {"$1F", 31}, {"x1f", 31}, {"X10", 16},
        {"0x10", 16}, {"0X10", 16}, {"-$10", -16}, {"$FFFFFFFF", -1}, {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN}, {"2147483648", std::nullopt}, {"$100000000", std::nullopt}, {"", std::nullopt},
        {"  ", std::nullopt}, {"12 ", std::nullopt}, {"1a", std::nullopt}, {"abc", std::nullopt}, {"$", std::nullopt},
        {"0x", std::nullopt}, {"-", std::nullopt}, {"1.5", std::nullopt}, {"00012", 12},
    };
    for (const IntCase& c : cases) {
        EXPECT_EQ(TryStrToInt(QString::fromUtf8(c.text)), c.value) << c.text;
        EXPECT_EQ(StrToIntDef(QString::fromUtf8(c.text), -99), c.value.value_or(-99)) << c.text;
    }
    EXPECT_THROW(StrToInt("zz"), EConvertError);
}

TEST(SysUtils, TrimDropsControlCharacters)
{
    EXPECT_EQ(Trim(QString("\t a b \r\n")), "a b");
    EXPECT_EQ(TrimLeft(QString("  x ")), "x ");
    EXPECT_EQ(TrimRight(QString("  x ")), "  x");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
}

TEST(Files, TextEncodingsGiveTheSameText)
{
    const QString text = QString::fromUtf8("Caf\u00e9 \u00b6x\u00b6\r\nzwei\n\u20ac");
    const QByteArray utf8 = text.toUtf8();
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (QChar c : text) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    const QByteArray ansi = EncodeAnsi(text);
    EXPECT_EQ(ansi, QByteArray("Caf\xE9 \xB6x\xB6\r\nzwei\n\x80"));
    EXPECT_EQ(DecodeTextFile(QByteArray("\xEF\xBB\xBF") + utf8), text);
    EXPECT_EQ(DecodeTextFile(utf8), text);
    EXPECT_EQ(DecodeTextFile(le), text);
    EXPECT_EQ(DecodeTextFile(be), text);
    EXPECT_EQ(DecodeTextFile(ansi), text);
    EXPECT_EQ(SplitLines(text), QStringList({QString::fromUtf8("Caf\u00e9 \u00b6x\u00b6"), "zwei", QString::fromUtf8("\u20ac")}));
    EXPECT_EQ(SplitLines("a\r\rb\r\n"), QStringList({"a", "", "b"}));
    EXPECT_EQ(DecodeOem(QByteArray("\x82\x9C")), QString::fromUtf8("\u00e9\u00a3"));
    EXPECT_EQ(EncodeOem(QString::fromUtf8("\u00e9\u4e00")), QByteArray("\x82?"));
}

TEST(Files, AtomicWriteReplacesOrReportsAndKeepsTheOldFile)
{
    TempExeFolder dir;
    const QString path = dir.File("a.txt");
    WriteFileAtomic(path, "one");
    WriteFileAtomic(path, "two");
    EXPECT_EQ(ReadTestFile(path), "two");
    EXPECT_THROW(WriteFileAtomic(dir.File("missing/sub/b.txt"), "x"), EFileError);
    EXPECT_EQ(ExeFolder(), dir.Path());
    ASSERT_TRUE(ForceDirectories(dir.File("x/y")));
    EXPECT_TRUE(DirectoryExists(dir.File("x/y")));
    WriteTestFile(dir.File("x/English.LNG"), "a");
    WriteTestFile(dir.File("x/b.txt"), "a");
    EXPECT_EQ(ListFiles(dir.File("x"), "*.lng"), QStringList({"English.LNG"}));
    EXPECT_EQ(ListSubFolders(dir.File("x")), QStringList({"y"}));
}

TEST(Xml, WritesRawWithoutDeclarationAndReadsBack)
{
    TXMLDocument doc;
    XmlNode root = doc.AddRoot("Par_Gen");
    doc.AddDocComment("SW_VERSION = 1.000");
    root.AddChild("A", QString::fromUtf8("x & <\u00e9>"));
    root.AddChild("B", "");
    XmlNode row = root.AddChild("row");
    row.SetAttribute("Name", "q\"t");
    const QByteArray bytes = doc.SaveToBytes();
    EXPECT_EQ(bytes, QByteArray("<Par_Gen><A>x &amp; &lt;\xC3\xA9&gt;</A><B/><row Name=\"q&quot;t\"/></Par_Gen><!--SW_VERSION = 1.000-->"));

    TXMLDocument back;
    back.LoadFromBytes(bytes);
    XmlNode r = back.FirstNode();
    EXPECT_EQ(r.NodeName(), "Par_Gen");
    EXPECT_EQ(r.FindChild("A").Text(), QString::fromUtf8("x & <\u00e9>"));
    EXPECT_TRUE(r.FindChild("B").Text().isEmpty());
    EXPECT_TRUE(r.FindChild("C").IsNull());
    EXPECT_EQ(r.FindChild("C").Text(), "");
    EXPECT_EQ(r.ChildElements().size(), 3u);
    EXPECT_EQ(r.FindChild("row").Attribute("Name"), "q\"t");
    ASSERT_EQ(back.Nodes().size(), 2u);
    EXPECT_TRUE(back.Nodes()[1].IsComment());
    EXPECT_EQ(back.Nodes()[1].Text(), "SW_VERSION = 1.000");
}

TEST(Xml, DeclarationIsSkippedAndBadInputThrows)
{
    TXMLDocument doc;
    doc.LoadFromBytes("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<R><a>\x80</a></R>");
    EXPECT_EQ(doc.FirstNode().NodeName(), "R");
    EXPECT_EQ(doc.FirstNode().FindChild("a").Text(), QString::fromUtf8("\u20ac"));
    EXPECT_THROW(doc.LoadFromBytes("<R><a></R>"), EXMLError);
    EXPECT_THROW(doc.LoadFromBytes(QByteArray("\x00\x01\x02", 3)), EXMLError);
    EXPECT_THROW(doc.LoadFromFile("/nonexistent/file.xml"), EXMLError);
    EXPECT_TRUE(doc.FirstNode().IsNull());
}

TEST(Dialogs, ScriptedAnswersAndTopLevelHandler)
{
    ScriptedMessages boxes;
    boxes.Expect("Sure?", mrYes).Expect("boom", mrOk);
    EXPECT_EQ(MessageDlg("Sure?", TMsgDlgType::mtConfirmation, mbYesNo), mrYes);
    EXPECT_FALSE(Guard([] { throw Exception("boom"); }));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].type, TMsgDlgType::mtError);
    EXPECT_EQ(boxes.shown[1].caption, "Error");
}

TEST(Dialogs, ExceptionFromAnEventHandlerIsShownAndTheProgramGoesOn)
{
    ScriptedMessages boxes;
    boxes.Expect("from click");
    QPushButton b;
    QObject::connect(&b, &QPushButton::clicked, [] { throw Exception("from click"); });
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    b.resize(20, 20);
    QApplication::sendEvent(&b, &press);
    QApplication::sendEvent(&b, &release);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

namespace {
class ProbeForm : public TForm {
public:
    int shows = 0;
    bool allowClose = true;

protected:
    void FormShow() override { ++shows; }
    void FormCloseQuery(bool& canClose) override { canClose = allowClose; }
};
} // namespace

TEST(Forms, ShowModalThroughTheSeam)
{
    ProbeForm f;
    f.SetClientSize(200, 100);
    EXPECT_EQ(f.size(), QSize(200, 100));
    ScriptedModals modals;
    modals.Then([](TForm& form) { form.SetModalResult(mrOk); })
        .Then([](TForm& form) {
            static_cast<ProbeForm&>(form).allowClose = false;
            form.close();
            EXPECT_TRUE(form.isVisible());
            static_cast<ProbeForm&>(form).allowClose = true;
            form.close();
            EXPECT_FALSE(form.isVisible());
        });
    EXPECT_EQ(f.ShowModal(), mrOk);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.ShowModal(), mrCancel);
    EXPECT_EQ(f.shows, 2);
}
