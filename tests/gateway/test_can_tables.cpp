// The CAN frame editors: their tables (checks with the exact messages,
// defaults, the table end, the files written) and the windows.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "gateway/UReceiveCAN.h"
#include "gateway/USaveBincc.h"
#include "gateway/UTransmitCAN.h"
#include "controls/PbButton.h"
#include "grid/ExtCGrid.h"
#include "platform/GridsWidget.h"
#include "platform/SysUtils.h"
#include "platform/XmlDoc.h"

#include "../common/SharedState.h"
#include "../common/TestSupport.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

class CanTables : public SharedStateTest {
protected:
    void SetUp() override { Load_Default_Texts(); }

    // A receive row from its 14 cells given by name; the rest empty.
    static TTableRow Rec(const QString& en, const QString& cob, const QString& type, const QString& dim,
                         const QString& timeout, const QStringList& bytes = {}, const QString& mn = {})
    {
        TTableRow r{en, cob, type, dim, timeout};
        for (int k = 0; k < 8; ++k) r << (k < bytes.size() ? bytes[k] : QString());
        r << mn;
        return r;
    }
    static TTableRow Snd(const QString& en, const QString& cob, const QString& type, const QString& dim,
                         const QString& timer, const QString& time, const QStringList& bytes = {})
    {
        TTableRow r{en, cob, type, dim, "Y", "N", timer, time};
        for (int k = 0; k < 8; ++k) r << (k < bytes.size() ? bytes[k] : QString());
        r << QString();
        return r;
    }
    static QByteArray ReadFile(const QString& path) { return ReadTestFile(path); }
};

const QString A = QStringLiteral("2.0A (11 bits)");
const QString B = QStringLiteral("2.0B (29 bits)");

TEST_F(CanTables, ReceiveChecksGiveTheExactMessages)
{
    const TTableDef tableDef = ReceiveCAN_Table(2000);
    struct Case {
        std::vector<TTableRow> rows;
        const char* message; // "" passes
    };
    const TTableRow ok = Rec("Y", "100", A, "2", "0");
    const Case cases[] = {
        {{ok}, ""},
        {{Rec("Y", "2048", A, "1", "0")}, "Error row 1!! CobID must be between 0 and 2047"},
        {{Rec("Y", "2048", B, "1", "0")}, ""},
        {{Rec("Y", "2048", "", "1", "0")}, ""},
        {{Rec("Y", "0x7FF", A, "1", "0")}, ""},
        {{ok, Rec("Y", "0x1FFFFFFF", B, "1", "0")}, ""},
        {{ok, Rec("Y", "-1", B, "1", "0")}, "Error row 2!! CobID must be between 0x00000000 and 0x1FFFFFFF"},
        {{Rec("Y", "12 ", A, "1", "0")}, "Error row 1!! CobID must be between 0 and 2047"},
        {{Rec("Y", "1", A, "0", "0")}, "Error row 1!! Dimension must be between 1 and 8"},
        {{Rec("Y", "1", A, "9", "0")}, "Error row 1!! Dimension must be between 1 and 8"},
        {{Rec("N", "1", A, "0", "0")}, ""},
        {{Rec(" y ", "1", A, "0", "0")}, "Error row 1!! Dimension must be between 1 and 8"},
        {{Rec("Y", "1", A, "1", "100000001")}, "Error row 1!! TimeOut must be between 0 and 100000000 milliseconds"},
        {{Rec("Y", "1", A, "1", "")}, "Error row 1!! TimeOut must be between 0 and 100000000 milliseconds"},
        {{Rec("Y", "1", A, "3", "0", {"", "None", " None ", "5000"})}, ""},
        {{ok, ok, Rec("Y", "1", A, "3", "0", {"0", "1999", "5000"})},
         "Error row 3!! Byte3 must be between 0 and 1999 or None"},
        {{Rec("Y", "1", A, "2", "0", {"none"})}, "Error row 1!! Byte1 must be between 0 and 1999 or None"},
        {{Rec("Y", "1", A, "8", "0", {"", "", "", "", "", "", "", "2000"})},
         "Error row 1!! Byte8 must be between 0 and 1999 or None"},
        // The table ends at the first empty CobID: a filled row after it is refused.
        {{ok, Rec("Y", " ", A, "", "0"), Rec("Y", "200", A, "1", "0")},
         "Error row 2!! CobID is empty, but filled rows follow it"},
        // Rows after the end holding only the Enable flag are no rows.
        {{ok, Rec("Y", "", "", "", ""), Rec("N", "", "", "", "")}, ""},
        // Characters XML cannot carry are refused, also in disabled rows.
        {{Rec("N", "1", A, "1", "0", {}, QString(QChar(1)))},
         "Error row 1!! A character that cannot be saved is in the column Mnemonic"},
        {{ok, Rec("Y", "1", A, "1", "0", {QString(QChar(0xFFFF))})},
         "Error row 2!! A character that cannot be saved is in the column Byte1"},
        {{Rec("Y", "1", A, "1", "0", {}, QString(QChar(0xD800)))},
         "Error row 1!! A character that cannot be saved is in the column Mnemonic"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Table_Check(tableDef, cases[i].rows), QString::fromUtf8(cases[i].message));
    }
}

TEST_F(CanTables, TransmitChecksGiveTheExactMessages)
{
    const TTableDef tableDef = TransmitCAN_Table(2500);
    struct Case {
        TTableRow row;
        const char* message;
    };
    const Case cases[] = {
        {Snd("Y", "2047", A, "2", "N", "abc"), ""},
        {Snd("Y", "2048", A, "2", "N", ""), "Error row 1!! CobID must be between 0 and 2047"},
        {Snd("Y", "0x20000000", B, "2", "N", ""), "Error row 1!! CobID must be between 0x00000000 and 0x1FFFFFFF"},
        {Snd("Y", "1", A, "", "N", ""), "Error row 1!! Dimension must be between 1 and 8"},
        {Snd("Y", "1", A, "2", "Y", "abc"), "Error row 1!! Time must be between 0 and 100000000 milliseconds"},
        {Snd("Y", "1", A, "2", " y", "0"), ""},
        {Snd("Y", "1", A, "2", "N", "", {"2499", "2500"}), "Error row 1!! Byte2 must be between 0 and 2499 or None"},
        {Snd("Y", "1", A, "2", "N", "", {"2499", "None", "9999"}), ""},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Table_Check(tableDef, {cases[i].row}), QString::fromUtf8(cases[i].message));
    }
}

TEST_F(CanTables, MissingAttributesTakeTheirDefaults)
{
    TXMLDocument rec;
    rec.LoadFromBytes("<Receive_Frames><row COBID=\"5\"/><row Enable=\"N\" TimeOut=\"7\" Mnemonic=\"m\"/></Receive_Frames>");
    const auto r = Table_Read(rec, ReceiveCAN_Table(2000));
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0], Rec("Y", "5", "", "", "0"));
    EXPECT_EQ(r[1], Rec("N", "", "", "", "7", {}, "m"));

    TXMLDocument snd;
    snd.LoadFromBytes("<Any><row COBID=\"1\"/><row COBID=\"2\" OnTimer=\"Y\"/><row OnTimer=\"Y\" Time=\"9\"/></Any>");
    const auto s = Table_Read(snd, TransmitCAN_Table(2500));
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].mid(0, 8), (QStringList{"Y", "1", A, "", "Y", "N", "N", ""}));
    EXPECT_EQ(s[1].mid(0, 8), (QStringList{"Y", "2", A, "", "Y", "N", "Y", "0"}));
    EXPECT_EQ(s[2].mid(6, 2), (QStringList{"Y", "9"}));
    // Row 3 has no COBID: the table ends before it at the next OK.
    EXPECT_EQ(Table_Length(TransmitCAN_Table(2500), s), 2);
}

TEST_F(CanTables, EmptyTableFileIsExact)
{
    EXPECT_EQ(Table_ToBytes(ReceiveCAN_Table(2000), {Table_Cleared_Row(ReceiveCAN_Table(2000))}),
              QByteArray("<Receive_Frames/><!--SW_VERSION = 1.000-->"));
}

TEST_F(CanTables, WrittenFilesAreReadBackAndWellFormed)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("CAN_Send_Frames.xml");
    const TTableDef tableDef = TransmitCAN_Table(2500);
    const std::vector<TTableRow> rows = {Snd("Y", "0x123", B, "2", "Y", "100", {"7", "None"}),
                                         Snd("n", " 9 ", A, "x", "N", "", {"a<b&\"c'"}), Snd("Y", "", A, "", "N", ""),
                                         Snd("Y", "3", A, "1", "N", "")};
    Table_Save(path, tableDef, rows);
    const auto back = Table_Load(path, tableDef);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0], rows[0]);
    EXPECT_EQ(back[1], rows[1]);
    QProcess lint;
    lint.start("xmllint", {"--noout", path});
    ASSERT_TRUE(lint.waitForFinished());
    EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().toStdString();
}

TEST_F(CanTables, EditorAndImageBuilderReadIntegersAlike)
{
    const char* texts[] = {"0x7FF", "$7FF", "x7ff", "X7FF", "0X7ff", " 12", "12 ", "-5", "+5", "", " ", "0x",
                           "2147483648", "-2147483648", "1e3", "0x1FFFFFFF"};
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        EXPECT_EQ(Table_Int(QString::fromUtf8(t)), TryStrToInt(t).value_or(-1));
    }
    EXPECT_EQ(Table_Int("0x7FF"), 2047);
    EXPECT_EQ(Table_Int(" 12"), 12);
    EXPECT_EQ(Table_Int("12 "), -1);
}

TEST_F(CanTables, ImageBuilderBuildsFromTheWrittenFiles)
{
    QTemporaryDir dir;
    WriteTestFile(dir.filePath("ParGen.xml"), "<Par_Gen/>");
    Table_Save(dir.filePath("CAN_Rec_Frames.xml"), ReceiveCAN_Table(2000),
               {Rec("Y", "0x101", A, "2", "250", {"10", "None"})});
    Table_Save(dir.filePath("CAN_Send_Frames.xml"), TransmitCAN_Table(2500),
               {Snd("Y", "0x1ABCDEF", B, "1", "Y", "500", {"2499"})});
    const TBank_Images img = Compile_Banks(dir.path());
    const auto u32 = [&](int at) { return uint32_t(uint8_t(img.Bank2[at])) | uint32_t(uint8_t(img.Bank2[at + 1])) << 8
                                          | uint32_t(uint8_t(img.Bank2[at + 2])) << 16
                                          | uint32_t(uint8_t(img.Bank2[at + 3])) << 24; };
    const auto u16 = [&](int at) { return uint16_t(uint8_t(img.Bank2[at]) | uint8_t(img.Bank2[at + 1]) << 8); };
    EXPECT_EQ(u32(0), 0x101u);
    EXPECT_EQ(u32(8), 250u);
    EXPECT_EQ(uint8_t(img.Bank2[14]), 2);
    EXPECT_EQ(u16(16), 10);
    EXPECT_EQ(u16(18), 0xFFFF);
    const int e = CAN_Entry_Size;
    EXPECT_EQ(u32(e), 0x81ABCDEFu);
    EXPECT_EQ(u32(e + 4), 500u);
    EXPECT_EQ(uint8_t(img.Bank2[e + 13]), 1 | 2 | 4);
    EXPECT_EQ(u16(e + 16), 2499);
}

// The windows.

class CanWindows : public CanTables {
protected:
    void SetUp() override
    {
        CanTables::SetUp();
        CAN_Rec_Frames_File = dir.filePath("CAN_Rec_Frames.xml");
        CAN_Send_Frames_File = dir.filePath("CAN_Send_Frames.xml");
    }
    QTemporaryDir dir;
};

TEST_F(CanWindows, ReceiveWindowShowsTheTableAsSpecified)
{
    TFReceiveCAN f;
    ScriptedModals modals;
    modals.Then([](TForm&) {});
    f.ShowModal();
    TExtColumnGrid& g = f.ACG_CAN_Receive;
    EXPECT_EQ(f.windowTitle(), "Receive CAN Frames Set Access");
    EXPECT_EQ(f.ClientWidth(), 1010);
    EXPECT_EQ(g.ColCount(), 15);
    EXPECT_EQ(g.RowCount(), 513);
    EXPECT_EQ(g.Cells(0, 512), "512");
    EXPECT_EQ(g.Cells(1, 512), "Y");
    EXPECT_EQ(g.Cells(5, 1), "");
    EXPECT_EQ(g.Cells(0, 0), "N");
    EXPECT_EQ(g.Cells(14, 0), "Mnemonic");
    EXPECT_EQ(g.Columns().Items(1).Editor(), edDataCheckBox);
    EXPECT_EQ(g.Columns().Items(3).ComboItems(), CAN_Type_Items());
    const QStringList bytes = g.Columns().Items(13).ComboItems();
    EXPECT_EQ(bytes.size(), 2001);
    EXPECT_EQ(bytes.front(), "None");
    EXPECT_EQ(bytes.back(), "1999");
    EXPECT_EQ(g.Columns().Items(14).Width(), 185);
    EXPECT_EQ(g.Columns().Items(6).Color(), RGBColor(0xFC, 0xD6, 0xF4));
    QString hint;
    g.OnGridHint(&g, 0, 5, hint);
    EXPECT_EQ(hint, SL_Lang[2434]);
    g.OnGridHint(&g, 1, 5, hint);
    EXPECT_EQ(hint, "");
    // The mouse shows the header hints and marks the current cell's titles.
    EXPECT_TRUE(g.HintShowCells());
    EXPECT_TRUE(g.ActiveCellShow());
    EXPECT_EQ(g.ActiveCellColor(), RGBColor(0xB6, 0xCA, 0xEA));
    EXPECT_EQ(f.L_SW_Code->font().pixelSize(), 32);
    EXPECT_EQ(f.Btn_PasteRow->geometry(), QRect(16 + 5 * 118, 6, 110, 28));
    EXPECT_EQ(f.windowTitle(), SL_Lang[2400]);
}

TEST_F(CanWindows, TypedRowIsSavedByOkAndShownAgain)
{
    TFReceiveCAN f;
    f.resize(1010, 337);
    ScriptedModals modals;
    modals.Then([&](TForm&) {
        TExtColumnGrid& g = f.ACG_CAN_Receive;
        const auto type = [&](int col, const QString& text) {
            g.SetCol(col);
            g.SetRow(1);
            g.ShowEditor();
            ASSERT_NE(g.InplaceEditor(), nullptr);
            g.InplaceEditor()->selectAll();
            QTest::keyClicks(g.InplaceEditor(), text);
            g.HideEditor();
        };
        type(2, "0x7FF");
        type(4, "1");
        // TimeOut left empty: refused, the window stays open with the rows.
        {
            ScriptedMessages msgs;
            msgs.Expect("Error row 1!! TimeOut must be between 0 and 100000000 milliseconds");
            f.Btn_OKClick();
        }
        EXPECT_EQ(f.ModalResult(), 0);
        EXPECT_EQ(g.Cells(2, 1), "0x7FF");
        type(5, "250");
        type(14, "frame");
        f.Btn_OKClick();
    });
    EXPECT_EQ(f.ShowModal(), mrOk);
    const QByteArray file = ReadTestFile(CAN_Rec_Frames_File);
    EXPECT_EQ(file, QByteArray("<Receive_Frames><row Enable=\"Y\" COBID=\"0x7FF\" CAN_Type=\"\" Dim=\"1\" "
                               "TimeOut=\"250\" Byte1=\"\" Byte2=\"\" Byte3=\"\" Byte4=\"\" Byte5=\"\" Byte6=\"\" "
                               "Byte7=\"\" Byte8=\"\" Mnemonic=\"frame\"/></Receive_Frames><!--SW_VERSION = 1.000-->"));
    // Shown again, the window reads the row back.
    TFReceiveCAN again;
    ScriptedModals m2;
    m2.Then([](TForm&) {});
    again.ShowModal();
    EXPECT_EQ(again.ACG_CAN_Receive.Cells(2, 1), "0x7FF");
    EXPECT_EQ(again.ACG_CAN_Receive.Cells(14, 1), "frame");
    EXPECT_EQ(again.ACG_CAN_Receive.Cells(2, 2), "");
}

TEST_F(CanWindows, FailedWriteIsReportedAndTheWindowStaysOpen)
{
    CAN_Send_Frames_File = dir.filePath("missing/folder/CAN_Send_Frames.xml");
    TFTransmitCAN f;
    ScriptedModals modals;
    modals.Then([&](TForm&) {
        f.ACG_CAN_Transmit.SetCells(2, 1, "5");
        f.ACG_CAN_Transmit.SetCells(4, 1, "1");
        ScriptedMessages msgs;
        msgs.Answer(mrOk);
        f.Btn_OKClick();
        EXPECT_EQ(msgs.shown.size(), 1u);
        EXPECT_EQ(f.ModalResult(), 0);
        EXPECT_EQ(f.ACG_CAN_Transmit.Cells(2, 1), "5");
    });
    EXPECT_NE(f.ShowModal(), mrOk);
    EXPECT_EQ(f.ACG_CAN_Transmit.ColCount(), 18);
    EXPECT_EQ(f.ClientWidth(), 1100);
    EXPECT_EQ(f.ACG_CAN_Transmit.Cells(6, 0), "OnCMD");
    EXPECT_EQ(f.ACG_CAN_Transmit.Columns().Items(16).ComboItems().back(), "2499");
}

TEST_F(CanWindows, CellXmlCannotCarryIsRefusedAndTheOldFileStays)
{
    const QByteArray oldSend = "<Transmit_Frames><row COBID=\"1\" Dim=\"1\"/></Transmit_Frames>";
    const QByteArray oldRec = "<Receive_Frames><row COBID=\"1\" Dim=\"1\"/><row COBID=\"2\" Dim=\"1\"/></Receive_Frames>";
    WriteTestFile(CAN_Send_Frames_File, oldSend);
    WriteTestFile(CAN_Rec_Frames_File, oldRec);
    struct Case {
        bool transmit;
        int col, row;
        QString text;
        const char* message;
    };
    const Case cases[] = {
        {true, 17, 1, QString("a") + QChar(1), "Error row 1!! A character that cannot be saved is in the column Mnemonic"},
        {false, 14, 2, QString(QChar(0xFFFF)) + "b", "Error row 2!! A character that cannot be saved is in the column Mnemonic"},
        {false, 2, 1, QString("1") + QChar(0xD800), "Error row 1!! A character that cannot be saved is in the column CobID"},
        // A disabled row is written too, so it is refused as well.
        {true, 3, 1, QString(QChar(0x1F)), "Error row 1!! A character that cannot be saved is in the column Type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        std::unique_ptr<TFTableEditor> f;
        if (c.transmit) {
            f = std::make_unique<TFTransmitCAN>();
        } else {
            f = std::make_unique<TFReceiveCAN>();
        }
        ScriptedModals modals;
        modals.Then([&](TForm&) {
            // The transmit reader gives a row without a type the first one.
            EXPECT_EQ(f->Grid().Cells(3, 1), c.transmit ? "2.0A (11 bits)" : "");
            if (c.col == 3) f->Grid().SetCells(1, 1, "N");
            f->Grid().SetCells(c.col, c.row, c.text);
            ScriptedMessages msgs;
            msgs.Expect(c.message);
            f->Btn_OKClick();
        });
        EXPECT_NE(f->ShowModal(), mrOk);
        EXPECT_EQ(ReadTestFile(CAN_Send_Frames_File), oldSend);
        EXPECT_EQ(ReadTestFile(CAN_Rec_Frames_File), oldRec);
    }
}

TEST_F(CanWindows, RowButtonsActOnTheCurrentRow)
{
    TFReceiveCAN f;
    ScriptedModals modals;
    modals.Then([&](TForm&) {
        TExtColumnGrid& g = f.ACG_CAN_Receive;
        g.SetCells(2, 1, "10");
        g.SetCells(2, 2, "20");
        g.SetCol(2);
        g.SetRow(1);
        {
            ScriptedMessages msgs;
            msgs.Expect("Error!!! Copy a valid row before Paste it");
            f.Btn_PasteRowClick();
        }
        f.Btn_CopyRowClick();
        EXPECT_TRUE(f.Do_Copy);
        {
            ScriptedMessages msgs;
            msgs.Expect("Are you sure to delete the Row number 1", mrNo);
            f.Btn_DelRowClick();
        }
        EXPECT_EQ(g.Cells(2, 1), "10");
        {
            ScriptedMessages msgs;
            msgs.Expect("Are you sure to delete the Row number 1", mrYes);
            f.Btn_DelRowClick();
        }
        EXPECT_EQ(g.Cells(2, 1), "20");
        f.Btn_InsRowClick();
        EXPECT_EQ(g.Cells(2, 1), "");
        f.Btn_PasteRowClick();
        EXPECT_EQ(g.Cells(2, 1), "10");
        EXPECT_EQ(g.Cells(2, 2), "20");
    });
    f.ShowModal();
    // Each showing starts with nothing copied.
    ScriptedModals again;
    again.Then([&](TForm&) { EXPECT_FALSE(f.Do_Copy); });
    f.ShowModal();
}

} // namespace

TEST_F(CanWindows, PickListCellsAreEditedWithTheKeyboard)
{
    const bool jump = Enable_Jump_Field_Tables;
    Enable_Jump_Field_Tables = true;
    TFReceiveCAN f;
    f.resize(1010, 337);
    ScriptedModals modals;
    modals.Then([&](TForm&) {
        TExtColumnGrid& g = f.ACG_CAN_Receive;
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        g.Widget()->setFocus();
        const auto pick = [&](int col, int downs) {
            g.SetCol(col);
            g.SetRow(1);
            QTest::keyClick(g.Widget(), Qt::Key_F2);
            ASSERT_TRUE(g.EditMode());
            ASSERT_EQ(g.EditCtrl(), g.EditCombo());
            for (int i = 0; i < downs; ++i) QTest::keyClick(g.EditCtrl(), Qt::Key_Down);
            QTest::keyClick(g.EditCtrl(), Qt::Key_Return);
            EXPECT_FALSE(g.EditMode());
        };
        pick(3, 1);
        EXPECT_EQ(g.Cells(3, 1), B);
        EXPECT_EQ(g.Col(), 4) << "Enter moves to the next cell";
        pick(6, 13);
        EXPECT_EQ(g.Cells(6, 1), "12") << "the list starts with None";
        EXPECT_FALSE(g.EditCombo()->isEditable()) << "a pick list takes only its items";
        // Typing into a text cell and Enter: stored, and on to the next cell.
        g.SetCol(2);
        QTest::keyClicks(g.Widget(), "0x10");
        QTest::keyClick(g.EditCtrl(), Qt::Key_Return);
        EXPECT_EQ(g.Cells(2, 1), "0x10");
        EXPECT_EQ(g.Col(), 3);
        QTest::keyClicks(g.Widget(), "");
        g.SetCol(4);
        QTest::keyClicks(g.Widget(), "1");
        QTest::keyClick(g.EditCtrl(), Qt::Key_Return);
        g.SetCol(5);
        QTest::keyClicks(g.Widget(), "250");
        ASSERT_TRUE(g.EditMode());
        // OK takes the focus when pressed: the open edit is committed before
        // the check.
        QTest::mouseClick(f.Btn_OK, Qt::LeftButton);
    });
    EXPECT_EQ(f.ShowModal(), mrOk);
    Enable_Jump_Field_Tables = jump;
    const QByteArray file = ReadTestFile(CAN_Rec_Frames_File);
    EXPECT_EQ(file, QByteArray("<Receive_Frames><row Enable=\"Y\" COBID=\"0x10\" CAN_Type=\"2.0B (29 bits)\" "
                               "Dim=\"1\" TimeOut=\"250\" Byte1=\"12\" Byte2=\"\" Byte3=\"\" Byte4=\"\" Byte5=\"\" "
                               "Byte6=\"\" Byte7=\"\" Byte8=\"\" Mnemonic=\"\"/></Receive_Frames><!--SW_VERSION = 1.000-->"));
}

// Both windows with a few rows, as a user sees them; saved as pictures when
// KR_SCREENSHOT_DIR names a folder.
TEST_F(CanWindows, ScreenshotsWithAFewRows)
{
    Table_Save(CAN_Rec_Frames_File, ReceiveCAN_Table(2000),
               {Rec("Y", "0x101", A, "2", "250", {"10", "None"}, "engine speed"),
                Rec("N", "0x1ABCDEF", B, "8", "0", {"0", "1", "2", "3", "4", "5", "6", "7"}, "status")});
    Table_Save(CAN_Send_Frames_File, TransmitCAN_Table(2500),
               {Snd("Y", "0x200", A, "1", "Y", "100", {"2499"}), Snd("N", "0x201", B, "2", "N", "", {"7", "None"})});
    SW_Code = SW_Code_Text;
    const QByteArray out = qgetenv("KR_SCREENSHOT_DIR");
    const auto shoot = [&](TFTableEditor& f, QSize size, const char* name) {
        ScriptedModals modals;
        modals.Then([&](TForm&) {
            f.Grid().SetCol(2);
            f.Grid().SetRow(1);
            const QImage img = f.grab().toImage();
            EXPECT_EQ(img.size(), size);
            if (!out.isEmpty()) img.save(QString::fromLocal8Bit(out) + "/" + name);
        });
        f.ShowModal();
    };
    TFReceiveCAN rec;
    EXPECT_EQ(rec.L_SW_Code->text(), "KR52R08");
    shoot(rec, QSize(1010, 337), "can_receive.png");
    EXPECT_EQ(rec.ACG_CAN_Receive.Cells(14, 2), "status");
    TFTransmitCAN snd;
    shoot(snd, QSize(1100, 337), "can_transmit.png");
    EXPECT_EQ(snd.ACG_CAN_Transmit.Cells(9, 1), "2499");
}

TEST_F(CanWindows, DoubleClickOnATitleSizesThatColumnWhenTheOptionIsOn)
{
    const bool option = Double_Click_Auto_Size;
    TFTransmitCAN f;
    ScriptedModals modals;
    modals.Then([&](TForm&) {
        TExtColumnGrid& g = f.ACG_CAN_Transmit;
        g.SetCells(17, 1, "a description much wider than its column");
        struct Case {
            bool option;
            int row;
            bool sized;
        };
        for (const Case c : {Case{false, 0, false}, Case{true, 1, false}, Case{true, 0, true}}) {
            SCOPED_TRACE(testing::Message() << c.option << " " << c.row);
            Double_Click_Auto_Size = c.option;
            g.SetColWidths(17, 110);
            // A double click in the middle of the cell, as a user makes it.
            const TRect r = g.CellRect(17, c.row);
            const int x = (r.Left + r.Right) / 2, y = (r.Top + r.Bottom) / 2;
            g.MouseDown(mbLeft, {}, x, y);
            g.MouseUp(mbLeft, {}, x, y);
            g.MouseDown(mbLeft, {TShiftStateItem::ssDouble}, x, y);
            g.DblClick();
            g.MouseUp(mbLeft, {}, x, y);
            EXPECT_EQ(g.ColWidths(17) > 110, c.sized);
            EXPECT_EQ(g.ColWidths(16), 48);
        }
    });
    f.ShowModal();
    Double_Click_Auto_Size = option;
}

namespace {

// A point inside the check box of a cell, as a user aims at it.
QPoint InBox(TExtStringGrid& g, int c, int r)
{
    const TRect rc = g.CellRect(c, r);
    const int y = (rc.Top + rc.Bottom) / 2;
    for (int x = rc.Left; x < rc.Right; ++x)
        if (g.IsInCheckBox(c, r, x, y)) return QPoint(x, y);
    ADD_FAILURE() << "no check box in cell " << c << "," << r;
    return QPoint((rc.Left + rc.Right) / 2, y);
}

// Clicks the check box of a cell through the grid's window, presses Space on
// another cell, and shows the hint of a column title; the texts of both cells
// after each step.
struct BoxSteps {
    QString clicked, spaced, hint;
};
BoxSteps WorkBoxes(TExtStringGrid& g, int col, int clickRow, int spaceRow)
{
    BoxSteps s;
    QWidget* vp = g.Widget()->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, InBox(g, col, clickRow));
    s.clicked = g.Cells(col, clickRow);
    g.SetCol(col);
    g.SetRow(spaceRow);
    QTest::keyClick(g.Widget(), Qt::Key_Space);
    s.spaced = g.Cells(col, spaceRow);
    const TRect t = g.CellRect(col, 0);
    const QPoint p((t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2);
    QHelpEvent e(QEvent::ToolTip, p, vp->mapToGlobal(p));
    QApplication::sendEvent(vp, &e);
    s.hint = QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText();
    QToolTip::hideText();
    return s;
}

} // namespace

TEST_F(CanWindows, CheckBoxColumnsTickByMouseAndSpaceAndAreSaved)
{
    {
        TFReceiveCAN f;
        ScriptedModals modals;
        modals.Then([&](TForm&) {
            TExtColumnGrid& g = f.ACG_CAN_Receive;
            g.SetCells(2, 1, "0x10");
            g.SetCells(4, 1, "1");
            g.SetCells(5, 1, "100");
            g.SetCells(2, 2, "0x11");
            g.SetCells(4, 2, "1");
            g.SetCells(5, 2, "100");
            const BoxSteps s = WorkBoxes(g, 1, 1, 2);
            EXPECT_EQ(s.clicked, "N");
            EXPECT_EQ(s.spaced, "N");
            EXPECT_EQ(s.hint, SL_Lang[2429]);
            // A second click ticks the box again.
            QTest::mouseClick(g.Widget()->viewport(), Qt::LeftButton, {}, InBox(g, 1, 1));
            EXPECT_EQ(g.Cells(1, 1), "Y");
            f.Btn_OKClick();
        });
        ASSERT_EQ(f.ShowModal(), mrOk);
        const QByteArray file = ReadTestFile(CAN_Rec_Frames_File);
        EXPECT_TRUE(file.contains("<row Enable=\"Y\" COBID=\"0x10\"")) << file.constData();
        EXPECT_TRUE(file.contains("<row Enable=\"N\" COBID=\"0x11\"")) << file.constData();
    }
    {
        TFTransmitCAN f;
        ScriptedModals modals;
        modals.Then([&](TForm&) {
            TExtColumnGrid& g = f.ACG_CAN_Transmit;
            g.SetCells(2, 1, "0x20");
            g.SetCells(4, 1, "1");
            // OnCMD (column 6) starts unticked: the click and Space tick it.
            const BoxSteps s = WorkBoxes(g, 6, 1, 2);
            EXPECT_EQ(s.clicked, "Y");
            EXPECT_EQ(s.spaced, "Y");
            EXPECT_EQ(s.hint, SL_Lang[2563]);
            g.SetCells(2, 2, "0x21");
            g.SetCells(4, 2, "1");
            f.Btn_OKClick();
        });
        ASSERT_EQ(f.ShowModal(), mrOk);
        const QByteArray file = ReadTestFile(CAN_Send_Frames_File);
        EXPECT_TRUE(file.contains("COBID=\"0x20\"")) << file.constData();
        EXPECT_EQ(file.count("OnCMD=\"Y\""), 2) << file.constData();
    }
}
