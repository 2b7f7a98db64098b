#include "common/TestSupport.h"
#include "platform/Application.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "platform/XmlDoc.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <pugixml.hpp>

struct IntCase {
    const char* text; // UTF-8
    std::optional<int32_t> value;
    std::optional<int64_t> value64;
};

// Every form reads the same convention: QString and UTF-8 texts, 32 and 64 bits.
TEST(SysUtils, IntegerConvention)
{
    const std::nullopt_t no = std::nullopt;
    const IntCase cases[] = {
        {"0", 0, 0}, {"42", 42, 42}, {"  42", 42, 42}, {"-7", -7, -7}, {"+7", 7, 7}, {"$1F", 31, 31}, {"x1f", 31, 31},
        {"X10", 16, 16}, {"0x10", 16, 16}, {"0X10", 16, 16}, {"-$10", -16, -16}, {"00012", 12, 12},
        {"$FFFFFFFF", -1, 4294967295LL}, {"-$80000000", INT32_MIN, -2147483648LL}, {"$0000000000FF", 255, 255},
        {"2147483647", 2147483647, 2147483647}, {"-2147483648", INT32_MIN, INT32_MIN},
        {"2147483648", no, 2147483648LL}, {"$100000000", no, 4294967296LL},
        {"9223372036854775807", no, INT64_MAX}, {"-9223372036854775808", no, INT64_MIN},
        {"9223372036854775808", no, no}, {"-9223372036854775809", no, no}, {"99999999999999999999", no, no},
        {"$FFFFFFFFFFFFFFFF", no, -1}, {"$8000000000000000", no, INT64_MIN}, {"-$1", -1, -1},
        {"$00000000000000000001", 1, 1}, {"$10000000000000000", no, no},
        {"", no, no}, {"  ", no, no}, {"12 ", no, no}, {"1a", no, no}, {"abc", no, no}, {"$", no, no},
        {"0x", no, no}, {"-", no, no}, {"1.5", no, no}, {"- 1", no, no}, {"$-1", no, no},
        // Characters beyond ASCII are no digits, whatever their low byte.
        {"4\u00B2", no, no}, {"\u01302", no, no}, {"\u0661\u0662", no, no}, {"$\uFF21", no, no},
    };
    for (const IntCase& c : cases) {
        const QString q = QString::fromUtf8(c.text);
        EXPECT_EQ(TryStrToInt(q), c.value) << c.text;
        EXPECT_EQ(TryStrToInt(std::string_view(c.text)), c.value) << c.text;
        EXPECT_EQ(TryStrToInt64(q), c.value64) << c.text;
        EXPECT_EQ(TryStrToInt64(std::string_view(c.text)), c.value64) << c.text;
        EXPECT_EQ(StrToIntDef(q, -99), c.value.value_or(-99)) << c.text;
    }
    // A UTF-8 text is read to its end only, not to a terminating zero.
    EXPECT_EQ(TryStrToInt(std::string_view("123", 2)), 12);
    EXPECT_EQ(TryStrToInt64(std::string_view("$FF", 2)), 15);
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

TEST(Files, CopyReplacesTheTargetOnlyWhenItSucceeds)
{
    TempExeFolder dir;
    const QString source = dir.File("a.pem");
    const QString target = dir.File("certs/a.pem");
    WriteTestFile(source, "new");
    WriteTestFile(target, "old");
    ASSERT_TRUE(CopyFileTo(source, target));
    EXPECT_EQ(ReadTestFile(target), "new");

    // A missing source leaves the old target as it was.
    WriteTestFile(target, "old");
    EXPECT_FALSE(CopyFileTo(dir.File("missing.pem"), target));
    EXPECT_EQ(ReadTestFile(target), "old");

    // The same file under another spelling or through a link is kept.
    EXPECT_TRUE(CopyFileTo(target, dir.File("certs/../certs/a.pem")));
    EXPECT_EQ(ReadTestFile(target), "old");
    ASSERT_TRUE(QFile::link(target, dir.File("link.pem")));
    EXPECT_TRUE(CopyFileTo(dir.File("link.pem"), target));
    EXPECT_EQ(ReadTestFile(target), "old");
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

TEST(Xml, BlankValuesSurviveAndLayoutBlanksDoNot)
{
    TXMLDocument doc;
    doc.AddRoot("R").AddChild("Name", "   ");
    TXMLDocument back;
    back.LoadFromBytes(doc.SaveToBytes());
    EXPECT_EQ(back.FirstNode().FindChild("Name").Text(), "   ");

    back.LoadFromBytes("<R>\r\n  <a>1</a>\r\n  <b> </b>\r\n</R>");
    const auto kids = back.FirstNode().ChildNodes();
    ASSERT_EQ(kids.size(), 2u);
    EXPECT_EQ(kids[0].Text(), "1");
    EXPECT_EQ(kids[1].Text(), " ");
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

// A file is parsed in place: its raw document stays readable and editable
// while the document holds it, and a new load replaces it.
TEST(Xml, LoadedFileIsWalkedRawAndStaysEditable)
{
    TempExeFolder dir;
    const QString path = dir.File("t.xml");
    WriteTestFile(path, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><R><row Name=\"\xE9\x80\"/></R><!--v-->");
    TXMLDocument doc;
    doc.LoadFromFile(path);
    const pugi::xml_node root = doc.Raw().first_child();
    EXPECT_STREQ(root.name(), "R");
    EXPECT_STREQ(root.child("row").attribute("Name").value(), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(doc.Raw().last_child().type(), pugi::node_comment);
    doc.FirstNode().FindChild("row").SetAttribute("Name", "a longer value than before");
    doc.FirstNode().AddChild("B", "b");
    EXPECT_EQ(doc.SaveToBytes(), QByteArray("<R><row Name=\"a longer value than before\"/><B>b</B></R><!--v-->"));

    WriteTestFile(path, "<S a=\"1\"/>");
    doc.LoadFromFile(path);
    EXPECT_STREQ(doc.Raw().first_child().attribute("a").value(), "1");

    WriteTestFile(path, "<S><T></S>");
    try {
        doc.LoadFromFile(path);
        ADD_FAILURE() << "no error";
    } catch (const EXMLError& e) {
        EXPECT_TRUE(e.Message().startsWith(path + "\nXML error at offset ")) << e.Message().toStdString();
    }
    EXPECT_FALSE(doc.Raw().first_child());
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

TEST(Dialogs, TheDesktopBoxTellsAllFromYesToAll)
{
    // The real box, answered by clicking its buttons as a user would.
    const MessageHandler scripted = SetMessageHandler({});
    const auto answer = [](const QString& text) {
        QTimer::singleShot(0, [text] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible()) continue;
                QStringList texts;
                for (QAbstractButton* b : box->buttons()) texts << b->text().remove(QLatin1Char('&'));
                EXPECT_EQ(texts.size(), 3) << texts.join(QLatin1Char('|')).toStdString();
                for (QAbstractButton* b : box->buttons())
                    if (b->text().remove(QLatin1Char('&')) == text) {
                        b->click();
                        return;
                    }
                ADD_FAILURE() << "no button " << text.toStdString();
                box->done(0);
                return;
            }
            ADD_FAILURE() << "no message box";
        });
    };
    answer("All");
    const int all = MessageDlg("Replace?", TMsgDlgType::mtConfirmation, mbYes | mbAll | mbYesToAll);
    answer("Yes to All");
    const int yesToAll = MessageDlg("Replace?", TMsgDlgType::mtConfirmation, mbYes | mbAll | mbYesToAll);
    SetMessageHandler(scripted);
    EXPECT_EQ(all, mrAll);
    EXPECT_EQ(yesToAll, mrYesToAll);
}

TEST(Dialogs, ExceptionFromAnEventHandlerIsShownAndTheProgramGoesOn)
{
    ScriptedMessages boxes;
    boxes.Expect("from click");
    QPushButton b;
    // Handlers are connected guarded: the exception is shown before it could
    // reach Qt's frames.
    GuardedConnect(&b, &QPushButton::clicked, &b, [] { throw Exception("from click"); });
    int clicks = 0;
    GuardedConnect(&b, &QPushButton::clicked, &b, [&](bool checked) { clicks += checked ? 10 : 1; });
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    b.resize(20, 20);
    QApplication::sendEvent(&b, &press);
    QApplication::sendEvent(&b, &release);
    EXPECT_EQ(boxes.shown.size(), 1u);
    // The program goes on: the next handler ran, with the signal's argument.
    EXPECT_EQ(clicks, 1);
}

namespace {
class ProbeForm : public TForm {
public:
    int shows = 0;
    bool allowClose = true;
    bool failClose = false;

protected:
    void FormShow() override { ++shows; }
    void FormCloseQuery(bool& canClose) override
    {
        if (failClose) throw Exception("cannot save");
        canClose = allowClose;
    }
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

TEST(Forms, AnErrorWhileClosingIsShownAndKeepsTheWindowOpen)
{
    ProbeForm f;
    f.failClose = true;
    f.show();
    ScriptedMessages boxes;
    boxes.Expect("cannot save");
    f.close();
    EXPECT_TRUE(f.isVisible());
    f.failClose = false;
    f.close();
    EXPECT_FALSE(f.isVisible());
}
