// The parameter editor window: loading and saving through its controls,
// checks, Cancel and closing, the octet jump and the hex filters, the panel
// layout on screen and the language switch.
#include "common/TestSupport.h"
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "controls/PbButton.h"
#include "gateway/UParGen.h"
#include "platform/CategoryPanelGroup.h"
#include "platform/Files.h"
#include "common/SharedState.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// A temporary program folder with one open configuration.
class ParGenWindow : public SharedStateTest {
protected:
    void SetUp() override
    {
        Load_Default_Texts();
        Set_Identity();
        Project_Path = PathJoin(m_exe.Path(), "PROJECTS/P1");
        ASSERT_TRUE(ForceDirectories(Project_Path));
        Set_Files();
        f = std::make_unique<TFParGen>();
    }
    void TearDown() override { f.reset(); }

    void ShowWith(const QByteArray& file)
    {
        WriteTestFile(ParGen_File, file);
        Show();
    }
    void Show()
    {
        f->show();
        f->activateWindow();
        QApplication::setActiveWindow(f.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    }

    TempExeFolder m_exe;
    std::unique_ptr<TFParGen> f;
};

QByteArray Fixture() { return ReadTestFile(FixturePath("pargen/ParGen_US915.xml")); }

// Types into whichever widget has the focus, key by key.
void Type(const QString& text)
{
    for (QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

} // namespace

TEST_F(ParGenWindow, ShowsTheFileAndWritesItBackUnchanged)
{
    ShowWith(Fixture());
    EXPECT_EQ(f->Edit("E_EthConn_Device_Name")->text(), "Gateway-07");
    EXPECT_EQ(f->Combo("CB_LoRaWAN_RF_Band")->currentText(), "US915");
    EXPECT_EQ(f->Combo("CB_LoRaWAN_DataRate")->currentText(), "9  -\tLoRa: SF11/500kHz 1760 [bit/s]");
    EXPECT_EQ(f->Combo("CB_CAN_Baudrate")->currentText(), "250K");
    EXPECT_TRUE(f->Control("CB_LoRaWAN_FreqSubBand")->isVisible());
    EXPECT_FALSE(f->Control("E_LoRaWAN_Server_Address")->isVisible());
    EXPECT_FALSE(f->Is_Change);

    f->Btn_OKClick();
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(ReadTestFile(ParGen_File), Fixture());
}

TEST_F(ParGenWindow, OverlongTextsOfTheFilePassUnchanged)
{
    // Texts longer than their edits take by typing, written by another tool.
    const QString name(40, 'N');
    const QString eui = "0123456789ABCDEF0123";
    QByteArray file = Fixture();
    file.replace("Gateway-07", name.toUtf8());
    file.replace("70B3D57ED0001234", eui.toUtf8());
    ShowWith(file);
    EXPECT_EQ(f->Edit("E_EthConn_Device_Name")->text(), name);
    f->Btn_OKClick();
    ASSERT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(ReadTestFile(ParGen_File), file);

    // The next show with a short name limits typing again.
    f->SetModalResult(0);
    ShowWith(Fixture());
    TParEdit* e = f->Edit("E_EthConn_Device_Name");
    e->clear();
    QTest::keyClicks(e, QString(35, 'x'));
    EXPECT_EQ(e->text(), QString(31, 'x'));
}

TEST_F(ParGenWindow, MissingFileShowsDefaultsAndOkWritesThem)
{
    Show();
    EXPECT_EQ(f->Values(), ParGen_Defaults());
    EXPECT_FALSE(f->Check("CB_EthConn_En_DHCP_WiFi")->isChecked());
    EXPECT_FALSE(f->Check("CB_EthConn_En_DHCP_WiFi")->isEnabled());
    EXPECT_EQ(f->Combo("CB_LoRaWAN_DataRate")->count(), 8);
    f->Btn_OKClick();
    EXPECT_EQ(ParGen_Load(ParGen_File), ParGen_Defaults());
    EXPECT_EQ(ReadTestFile(ParGen_File), ParGen_ToBytes(ParGen_Defaults()));
}

TEST_F(ParGenWindow, FailedCheckShowsItsTextAndWritesNothing)
{
    Show();
    f->Check("CB_EthConn_En_DHCP_Cable")->setChecked(true);
    f->Edit("E_Ethernet_IP4")->setText("300");
    {
        ScriptedMessages m;
        m.Expect("Error Ethernet!! IP Address 4 must be between 0 and 255");
        f->Btn_OKClick();
        EXPECT_EQ(m.shown.at(0).type, TMsgDlgType::mtError);
    }
    f->Edit("E_Ethernet_IP4")->setText("5");
    f->Edit("E_LoRaWAN_Diag_Pos")->setText("1537");
    {
        ScriptedMessages m;
        m.Expect("Error LoRaWAN!! Diagnostic Position must be between 0 and 1536");
        f->Btn_OKClick();
    }
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->ModalResult(), 0);
    EXPECT_FALSE(FileExists(ParGen_File));
}

TEST_F(ParGenWindow, FailedWriteIsReportedAndTheWindowKeepsTheValues)
{
    Show();
    f->Edit("E_EthConn_Device_Name")->setText("kept");
    // The configuration folder is gone: the file cannot be written.
    ASSERT_TRUE(QDir(Project_Path).removeRecursively());
    WriteTestFile(Project_Path, "not a folder");
    {
        ScriptedMessages m;
        m.Answer(mrOk);
        f->Btn_OKClick();
        ASSERT_EQ(m.shown.size(), 1u);
        EXPECT_EQ(m.shown[0].type, TMsgDlgType::mtError);
        EXPECT_TRUE(m.shown[0].text.contains("ParGen.xml")) << m.shown[0].text.toStdString();
    }
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->Edit("E_EthConn_Device_Name")->text(), "kept");
}

TEST_F(ParGenWindow, CancelAsksOnlyAfterAChange)
{
    ShowWith(Fixture());
    f->Btn_CancelClick(); // loading fired change events, but nothing was changed by the user
    EXPECT_EQ(f->ModalResult(), mrCancel);
    EXPECT_FALSE(f->isVisible());

    f->SetModalResult(0);
    Show();
    QTest::keyClicks(f->Edit("E_EthConn_Device_Name"), "X");
    EXPECT_TRUE(f->Is_Change);
    {
        ScriptedMessages m;
        m.Expect("Do you want to exit without saving changes?", mrNo);
        f->Btn_CancelClick();
        EXPECT_EQ(m.shown.at(0).buttons, mbYesNo);
    }
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->Edit("E_EthConn_Device_Name")->text(), "Gateway-07X");
    {
        ScriptedMessages m;
        m.Expect("Do you want to exit without saving changes?", mrYes);
        f->Btn_CancelClick();
    }
    EXPECT_EQ(f->ModalResult(), mrCancel);
    EXPECT_EQ(ReadTestFile(ParGen_File), Fixture());
}

TEST_F(ParGenWindow, TitleBarCloseAsksAfterAChange)
{
    Show();
    f->close();
    EXPECT_FALSE(f->isVisible()); // nothing changed: no question

    f->SetModalResult(0);
    Show();
    f->Check("CB_Ethernet_En_GAT")->click();
    {
        ScriptedMessages m;
        m.Expect("Do you want to exit without saving changes?", mrNo);
        f->close();
    }
    EXPECT_TRUE(f->isVisible());
    {
        ScriptedMessages m;
        m.Expect("Do you want to exit without saving changes?", mrYes);
        f->close();
    }
    EXPECT_FALSE(f->isVisible());
    EXPECT_FALSE(FileExists(ParGen_File));
}

TEST_F(ParGenWindow, DotJumpsToTheNextOctet)
{
    Show();
    TParEdit* ip1 = f->Edit("E_Ethernet_IP1");
    ip1->clear();
    f->Edit("E_Ethernet_IP2")->setText("7");
    ip1->setFocus();
    Type("192.168");
    EXPECT_EQ(ip1->text(), "192");
    // The next octet's old text is replaced, not added to.
    EXPECT_EQ(f->Edit("E_Ethernet_IP2")->text(), "168");
    EXPECT_EQ(QApplication::focusWidget(), f->Edit("E_Ethernet_IP2"));

    // The last octet of a row passes on to the first of the next row.
    f->Edit("E_Ethernet_IP4")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), '.');
    EXPECT_EQ(QApplication::focusWidget(), f->Edit("E_Ethernet_SM1"));

    // No successor: the dot is dropped and the focus stays.
    TParEdit* gat4 = f->Edit("E_Ethernet_GAT4");
    gat4->setFocus();
    Type("1.2");
    EXPECT_EQ(gat4->text(), "112");
    EXPECT_EQ(QApplication::focusWidget(), gat4);

    // A successor that cannot take the focus: the dot is only dropped.
    TParEdit* dns = f->Edit("E_EthConn_Pri_DNS_IP4");
    f->Edit("E_EthConn_Sec_DNS_IP1")->setEnabled(false);
    dns->setFocus();
    QTest::keyClicks(dns, ".");
    EXPECT_EQ(QApplication::focusWidget(), dns);
    EXPECT_EQ(dns->text(), "8");
}

TEST_F(ParGenWindow, HexEditsFilterTypingAndPasting)
{
    Show();
    // The key edits show in end-node mode only.
    f->Combo("CB_LoRaWAN_Mode")->setCurrentIndex(1);
    f->Combo("CB_LoRaWAN_Activation_Method")->setCurrentIndex(0);
    TParEdit* eui = f->Edit("E_LoRaWAN_Join_EUI");
    TParEdit* addr = f->Edit("E_LoRaWAN_Device_Address");
    ASSERT_TRUE(eui->isVisible());
    ASSERT_TRUE(addr->isVisible());

    eui->setFocus();
    QTest::keyClicks(eui, "a1g-Zb.f");
    EXPECT_EQ(eui->text(), "A1BF");
    // Characters typed with AltGr (Ctrl+Alt) pass the same filter.
    QTest::keyClick(eui, '@', Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(eui, '{', Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(eui->text(), "A1BF");
    QTest::keyClick(eui, Qt::Key_Backspace);
    EXPECT_EQ(eui->text(), "A1B");

    QApplication::clipboard()->setText("12zz\nab-CD!9");
    QTest::keyClick(eui, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(eui->text(), "A1B12ABCD9");

    // Dropped text passes the same filter.
    eui->clear();
    QMimeData dropped;
    dropped.setText("x0e-f");
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject*>(eui)->event(&drop);
    EXPECT_EQ(eui->text(), "0EF");

    // Pasting stops at the edit's length limit.
    addr->setFocus();
    QApplication::clipboard()->setText("0123456789");
    QTest::keyClick(addr, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(addr->text(), "01234567");

    // An octet edit takes a paste as it is.
    TParEdit* ip = f->Edit("E_Ethernet_IP1");
    ip->clear();
    ip->setFocus();
    QApplication::clipboard()->setText("1x");
    QTest::keyClick(ip, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ip->text(), "1x");
}

TEST_F(ParGenWindow, SwitchingTheBandResetsListsAndRepacksPanels)
{
    ShowWith(Fixture());
    TCategoryPanel* lora = f->Panel("CP_LoRaWAN");
    TCategoryPanel* can = f->Panel("CP_CAN");
    const int tallLora = lora->height();
    EXPECT_EQ(can->y(), lora->y() + tallLora);

    f->Combo("CB_LoRaWAN_RF_Band")->setCurrentText("EU868");
    QApplication::processEvents();
    EXPECT_TRUE(f->Is_Change);
    EXPECT_FALSE(f->Control("CB_LoRaWAN_FreqSubBand")->isVisible());
    EXPECT_EQ(lora->height(), tallLora - 28);
    EXPECT_EQ(can->y(), lora->y() + lora->height());
    EXPECT_EQ(f->Combo("CB_LoRaWAN_DataRate")->currentText(), "0 -\tLoRa: SF12/125kHz 250 [bit/s]");
    EXPECT_EQ(f->Combo("CB_LoRaWAN_RX2_Datarate")->currentText(), "SF12BW125");

    f->Combo("CB_LoRaWAN_RF_Band")->setCurrentText("AS923");
    EXPECT_EQ(f->Combo("CB_LoRaWAN_DataRate")->count(), 0);
    EXPECT_EQ(f->Combo("CB_LoRaWAN_RX2_Datarate")->count(), 6);
}

TEST_F(ParGenWindow, PanelsAndRowsOnScreen)
{
    Show();
    const QStringList live{"CP_Ethernet_Connection", "CP_LoRaWAN", "CP_CAN", "CP_Ethernet"};
    int y = 0;
    for (TCategoryPanel* p : f->CPG->Panels()) {
        const bool isLive = live.contains(p->objectName());
        EXPECT_EQ(p->isVisible(), isLive) << p->objectName().toStdString();
        if (!isLive) continue;
        EXPECT_EQ(p->y(), y) << p->objectName().toStdString();
        y += p->height();
    }
    EXPECT_EQ(f->Panel("CP_CAN")->Caption(), "3. CAN");
    EXPECT_EQ(f->Panel("CP_CAN")->height(), 9 + 21 + f->CPG->HeaderHeight() + 12);
    const QWidget* gat = f->Control("E_Ethernet_GAT3");
    EXPECT_EQ(gat->geometry(), QRect(313, 66, 55, 21));
    EXPECT_EQ(f->windowTitle(), "Set Communication");
    EXPECT_EQ(f->L_SW_Code->text(), "KR52R08");
    EXPECT_EQ(f->Btn_OK->Caption(), "OK");

    // Only the height follows a resize.
    f->resize(600, 400);
    EXPECT_EQ(f->width(), 460);
    EXPECT_EQ(f->height(), 400);
}

TEST_F(ParGenWindow, OkAndCancelStayOnALowScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    f->resize(460, area.height() + 200);
    f->move(area.left() + 10, area.top() + 50);
    Show();
    EXPECT_LE(f->height(), area.height());
    EXPECT_TRUE(area.contains(f->frameGeometry())) << f->frameGeometry().y() << " " << f->frameGeometry().height();
    for (const QWidget* b : {static_cast<QWidget*>(f->Btn_OK), static_cast<QWidget*>(f->Btn_Cancel)}) {
        const QRect onScreen(b->mapToGlobal(QPoint(0, 0)), b->size());
        EXPECT_TRUE(area.contains(onScreen));
    }
}

TEST_F(ParGenWindow, WheelOverTheGroupScrollsIt)
{
    Show();
    f->resize(460, 300);
    QApplication::processEvents();
    QScrollBar* bar = f->CPG->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    const int step = QApplication::wheelScrollLines() * bar->singleStep();
    auto wheel = [](QWidget* w, int delta) {
        const QPoint at = w->rect().center();
        QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    };
    wheel(f->Edit("E_EthConn_Device_Name"), -120);
    EXPECT_EQ(bar->value(), std::min(bar->maximum(), step));

    // A list under the mouse does not take the wheel: the group scrolls.
    QComboBox* band = f->Combo("CB_LoRaWAN_RF_Band");
    f->CPG->ensureWidgetVisible(band);
    const int before = bar->value();
    const int index = band->currentIndex();
    wheel(band, 120);
    EXPECT_EQ(bar->value(), std::max(0, before - step));
    EXPECT_EQ(band->currentIndex(), index);

    // Outside the group the wheel is not taken.
    EXPECT_FALSE(f->CPG->WheelScroll(f->mapToGlobal(QPoint(5, 5)), 120));
}

TEST_F(ParGenWindow, LanguageSwitchRetextsEveryPanel)
{
    Apply_Lng_Lines({"STR 406 = Ethernet-Verbindung", "STR 1346 = Nur Kabel", "STR 409 = DHCP Kabel",
                     "STR 447 = Schnittstelle", "STR 736 = Zugangspunkt", "STR 400 = Kommunikation"});
    f->Set_Lang();
    EXPECT_EQ(f->windowTitle(), "Kommunikation");
    EXPECT_EQ(f->Panel("CP_Ethernet_Connection")->Caption(), "1. Ethernet-Verbindung");
    EXPECT_EQ(f->Combo("CB_Select_Device_Device")->itemText(0), "Nur Kabel");
    EXPECT_EQ(f->Combo("CB_Select_Device_Device")->currentIndex(), 0);
    EXPECT_EQ(f->Check("CB_EthConn_En_DHCP_Cable")->text(), "DHCP Kabel");
    EXPECT_EQ(f->Label("L_Serial_Serial")->text(), "Schnittstelle");
    EXPECT_EQ(f->Combo("CB_WiFi2_Type")->itemText(0), "Zugangspunkt");
    EXPECT_EQ(f->Combo("CB_WiFi2_Channel")->count(), 12);
}

TEST_F(ParGenWindow, OtherVariantLayoutsRunOnTheWindow)
{
    Show();
    f->Order_TAB_Panels_Variant("52R56");
    f->Combo("CB_Select_Device_Device")->setCurrentIndex(1);
    f->RePosition_Objects_Variant("52R56");
    EXPECT_TRUE(f->Panel("CP_MQTT")->isVisible());
    EXPECT_FALSE(f->Panel("CP_CAN")->isVisible());
    EXPECT_FALSE(f->Panel("CP_GSM_GPRS")->isEnabled());
    EXPECT_TRUE(f->Panel("CP_GSM_GPRS")->Collapsed());
    EXPECT_FALSE(f->Panel("CP_WiFi2")->Collapsed());
    EXPECT_EQ(f->Panel("CP_PLC")->Caption(), "11. " + SL_Lang[1431]);
}

TEST_F(ParGenWindow, UnreadableFileShowsItsErrorAndTheDefaults)
{
    ShowWith(Fixture());
    f->Btn_CancelClick();
    f->SetModalResult(0);
    WriteTestFile(ParGen_File, "<Par_Gen><Eth_Conn_Device_Name>x</Par_Gen>");
    {
        ScriptedMessages m;
        m.Answer(mrOk);
        Show();
        ASSERT_EQ(m.shown.size(), 1u);
        EXPECT_EQ(m.shown[0].type, TMsgDlgType::mtError);
    }
    // Nothing of the configuration shown before stays on screen.
    EXPECT_EQ(f->Values(), ParGen_Defaults());
    EXPECT_FALSE(f->Is_Change);
}

TEST_F(ParGenWindow, HeaderClickFoldsAPanel)
{
    Show();
    TCategoryPanel* lora = f->Panel("CP_LoRaWAN");
    TCategoryPanel* can = f->Panel("CP_CAN");
    QTest::mouseClick(lora, Qt::LeftButton, Qt::NoModifier, QPoint(40, 10));
    QApplication::processEvents();
    EXPECT_TRUE(lora->Collapsed());
    EXPECT_EQ(lora->height(), f->CPG->HeaderHeight());
    EXPECT_EQ(can->y(), lora->y() + f->CPG->HeaderHeight());
    EXPECT_FALSE(f->Control("CB_LoRaWAN_RF_Band")->isVisible());
    // A change elsewhere that lays the panels out again leaves the fold alone.
    f->Check("CB_EthConn_En_DHCP_Cable")->click();
    EXPECT_TRUE(lora->Collapsed());
    EXPECT_EQ(lora->height(), f->CPG->HeaderHeight());
    QTest::mouseClick(lora, Qt::LeftButton, Qt::NoModifier, QPoint(40, 10));
    EXPECT_FALSE(lora->Collapsed());
    f->Check("CB_EthConn_En_DHCP_Cable")->click();
    EXPECT_FALSE(lora->Collapsed());
}

TEST_F(ParGenWindow, CertificateButtonsCopyIntoTheConfiguration)
{
    const QString folder = PathJoin(Project_Path, "Certificates");
    const QString outside = PathJoin(m_exe.Path(), "ca.pem");
    WriteTestFile(outside, "new");
    QString chosen;
    f->OD_Certificate = [&](const QString& start) {
        EXPECT_EQ(start, folder);
        return chosen;
    };
    QWidget* button = f->Control("Btn_TLS_CA_Cert");
    TParEdit* box = f->Edit("E_TLS_CA_Cert");

    chosen = "";
    f->Btn_OnCertificate(button);
    EXPECT_TRUE(DirectoryExists(folder));
    EXPECT_EQ(box->text(), "");

    chosen = outside;
    f->Btn_OnCertificate(button);
    EXPECT_EQ(box->text(), "ca.pem");
    EXPECT_EQ(ReadTestFile(PathJoin(folder, "ca.pem")), "new");

    // The name is taken: overwrite only on Yes.
    WriteTestFile(PathJoin(folder, "ca.pem"), "old");
    box->setText("keep");
    for (int answer : {int(mrNo), int(mrCancel)}) {
        ScriptedMessages m;
        m.Expect("This file is already present in Certificates folder. Do you want to overwrite?", answer);
        f->Btn_OnCertificate(button);
    }
    EXPECT_EQ(box->text(), "keep");
    EXPECT_EQ(ReadTestFile(PathJoin(folder, "ca.pem")), "old");
    {
        ScriptedMessages m;
        m.Answer(mrYes);
        f->Btn_OnCertificate(button);
    }
    EXPECT_EQ(ReadTestFile(PathJoin(folder, "ca.pem")), "new");

    // A file of the folder itself is taken without a question.
    WriteTestFile(PathJoin(folder, "key.pem"), "k");
    chosen = PathJoin(folder, "key.pem");
    f->Btn_OnCertificate(f->Control("Btn_TLS_Client_Cert_Key"));
    EXPECT_EQ(f->Edit("E_TLS_Client_Cert_Key")->text(), "key.pem");
}

TEST_F(ParGenWindow, EditedValuesComeBackOnTheNextShow)
{
    ShowWith(Fixture());
    f->Edit("E_EthConn_Device_Name")->setText("Hall-3");
    f->Combo("CB_LoRaWAN_RF_Band")->setCurrentText("EU868");
    f->Combo("CB_LoRaWAN_RX2_Datarate")->setCurrentText("SF7BW250");
    f->Combo("CB_CAN_Baudrate")->setCurrentText("62.5K");
    f->Check("CB_EthConn_En_DHCP_Cable")->setChecked(true);
    const TParGen_Values edited = f->Values();
    f->Btn_OKClick();
    ASSERT_EQ(f->ModalResult(), mrOk);

    f->SetModalResult(0);
    Show();
    EXPECT_EQ(f->Values(), edited);
    EXPECT_EQ(f->Combo("CB_LoRaWAN_RX2_Datarate")->currentText(), "SF7BW250");
    EXPECT_FALSE(f->Control("CB_LoRaWAN_FreqSubBand")->isVisible());
    EXPECT_FALSE(f->Edit("E_Ethernet_IP1")->isEnabled());
    EXPECT_EQ(ParGen_Load(ParGen_File).CAN_Baudrate, 3);
}
