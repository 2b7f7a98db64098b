#include "gateway/UBoot.h"

#include "grid/ExtCGrid.h"
#include "platform/GridsWidget.h"

#include "app/UComon.h"
#include "app/UEditorKit.h"
#include "app/ULanguage.h"
#include "app/UTableEditor.h"
#include "controls/PbButton.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

// ---- address -------------------------------------------------------------------

std::optional<uint32_t> Octets_To_Address(const QString& a, const QString& b, const QString& c, const QString& d)
{
    uint32_t address = 0;
    for (const QString* part : {&a, &b, &c, &d}) {
        const QString text = Trim(*part);
        if (text.isEmpty()) return std::nullopt;
        uint32_t value = 0;
        for (QChar ch : text) {
            if (ch < QLatin1Char('0') || ch > QLatin1Char('9')) return std::nullopt;
            value = value * 10 + uint32_t(ch.unicode() - '0');
            if (value > 255) return std::nullopt;
        }
        address = address << 8 | value;
    }
    return address;
}

// ---- echo check ------------------------------------------------------------------

TEcho_Clock System_Echo_Clock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return {[timer] { return int64_t(timer->elapsed()); }, [] { QCoreApplication::processEvents(); }};
}

bool Run_Echo_Check(IcmpEchoTransport& ping, uint32_t address, const QByteArray& data, const TEcho_Clock& clock,
                    int32_t& ping_res)
{
    ping_res = Ping_None;
    const int64_t start = clock.Now();
    int good = 0;
    try {
        for (;;) {
            const int64_t t = clock.Now();
            ping.SendEcho(address, data);
            // Wait for the reply in slices, letting the window paint between them.
            for (;;) {
                if (clock.Now() - t > Ping_Receive_Timeout) {
                    ping_res = Ping_No_Data;
                    break;
                }
                const int size = ping.WaitReply(Ping_Idle_Slice);
                if (size >= 0) {
                    ping_res = size > 0 ? Ping_Data : Ping_No_Data;
                    break;
                }
                clock.Process_Messages();
            }
            if (ping_res == Ping_Data && ++good >= 2) break;
            if (clock.Now() - start > Ping_Total_Time) break;
        }
    } catch (const EIcmpUnavailable&) {
        throw;
    } catch (const EIcmpError&) {
        return false;
    }
    return ping_res == Ping_Data;
}

// ---- update job file -------------------------------------------------------------

namespace {

// One flash step of the job.
struct Flash_Step {
    QString File_Name;
    const char* Start_Address;
    const char* Bank_Type;
    const char* Write_CSS;
    const char* GoToApp_After;
};

void Add_Operation(XmlNode& operations, const Flash_Step& step, bool readBack)
{
    XmlNode op = operations.AddChild(QStringLiteral("Operation"));
    op.AddChild(QStringLiteral("Ope_Protection_Enabled"), QString());
    op.AddChild(QStringLiteral("Ope_GoToBoot_Before"), QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_GoToApp_Before"), QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_IP_Address"), QString());
    op.AddChild(QStringLiteral("Ope_Port"), QStringLiteral("2008"));
    op.AddChild(QStringLiteral("Ope_Port_Sec"), QStringLiteral("2007"));
    op.AddChild(QStringLiteral("Ope_Erase_Memory"), QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_FileName"), step.File_Name);
    op.AddChild(QStringLiteral("Ope_Start_Address"), QString::fromLatin1(step.Start_Address));
    op.AddChild(QStringLiteral("Ope_Memory_Type"), QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_Bank_Type"), QString::fromLatin1(step.Bank_Type));
    op.AddChild(QStringLiteral("Ope_Read_Back"), readBack ? QStringLiteral("1") : QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_Write_CSS"), QString::fromLatin1(step.Write_CSS));
    op.AddChild(QStringLiteral("Ope_Address_CSS"), QStringLiteral("0x07A00"));
    op.AddChild(QStringLiteral("Ope_Command_CSS"), QStringLiteral("0x02"));
    op.AddChild(QStringLiteral("Ope_Write_Internal_Data"), QStringLiteral("0"));
    op.AddChild(QStringLiteral("Ope_WID_Address"), QStringLiteral("0x07810"));
    op.AddChild(QStringLiteral("Ope_WID_Command"), QStringLiteral("0x02"));
    op.AddChild(QStringLiteral("Ope_WID_Data"), QStringLiteral("0x00, 0x00, 0x00, 0x01"));
    op.AddChild(QStringLiteral("Ope_GoToApp_After"), QString::fromLatin1(step.GoToApp_After));
}

} // namespace

void Build_Update_Job(TXMLDocument& xml, const TUpdate_Job& job)
{
    xml.Clear();
    XmlNode root = xml.AddRoot(QStringLiteral("Ethernet_Update"));
    root.AddChild(QStringLiteral("Version"), QStringLiteral("1000"));
    root.AddChild(QStringLiteral("Title"), QStringLiteral("TolvexCorp - KR52R08 Ethernet Update"));
    root.AddChild(QStringLiteral("IP_Address_Dev"), job.IP_Address);
    root.AddChild(QStringLiteral("Application_Port"), QStringLiteral("10000"));
    root.AddChild(QStringLiteral("Boot_Port"), QStringLiteral("2008"));
    root.AddChild(QStringLiteral("Boot_Port_Sec"), QStringLiteral("2007"));
    root.AddChild(QStringLiteral("Address_Protection"), QStringLiteral("0x07800"));
    XmlNode protections = root.AddChild(QStringLiteral("Protections"));
    protections.AddChild(QStringLiteral("Protection"), QStringLiteral("0x2D7"));
    XmlNode operations = root.AddChild(QStringLiteral("Operations"));

    const bool firmwareOnly = job.Option_Index == Update_Firmware;
    const Flash_Step firmware{PathJoin(job.Master_Path, Firmware_File_Name), "0x8000", "1", "1",
                              firmwareOnly ? "1" : "0"};
    const Flash_Step general{PathJoin(job.Project_Path, QStringLiteral("bin"), QStringLiteral("bank1.bin")),
                             "0x07000", "2", "0", "0"};
    const Flash_Step tables{PathJoin(job.Project_Path, QStringLiteral("bin"), QStringLiteral("bank2.bin")),
                            "0x80000", "2", "0", "1"};
    switch (job.Option_Index) {
    case Update_Firmware_Configuration:
        Add_Operation(operations, firmware, job.Read_Back);
        Add_Operation(operations, general, job.Read_Back);
        Add_Operation(operations, tables, job.Read_Back);
        break;
    case Update_Firmware:
        Add_Operation(operations, firmware, job.Read_Back);
        break;
    case Update_Configuration:
        Add_Operation(operations, general, job.Read_Back);
        Add_Operation(operations, tables, job.Read_Back);
        break;
    default:
        break; // no option chosen: no flash step
    }
}

// ---- the dialog --------------------------------------------------------------------

namespace {

constexpr int Client_Width = 449;
constexpr int Title_Height = 69;
constexpr int Button_Panel_Height = 40;
constexpr int Control_Left = 236; // left edge of the controls of a row

QWidget* Make_Panel(QWidget* parent, int height)
{
    auto* p = new QWidget(parent);
    p->setGeometry(0, 0, Client_Width, height);
    return p;
}

QLabel* Make_Label(QWidget* parent, int x, int y, int w, const QString& text = QString())
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 16);
    return l;
}

TPbButton* Make_Button(QWidget* parent, int x, int y, int w, int h)
{
    auto* b = new TPbButton(parent);
    b->ApplyProgramLook();
    b->setGeometry(x, y, w, h);
    return b;
}

} // namespace

// Disables the buttons while a check or an update runs, so nothing starts a
// second one; at its end, input that arrived meanwhile is handled (and
// dropped by the disabled buttons) before they are enabled again.
class TFBoot::Busy_Scope {
public:
    explicit Busy_Scope(TFBoot& form) : m_form(form)
    {
        m_form.m_busy = true;
        Enable(false);
    }
    ~Busy_Scope()
    {
        QCoreApplication::processEvents();
        Enable(true);
        m_form.m_busy = false;
    }
    Busy_Scope(const Busy_Scope&) = delete;
    Busy_Scope& operator=(const Busy_Scope&) = delete;

private:
    void Enable(bool on)
    {
        for (TPbButton* b : {m_form.Btn_Cancel, m_form.Btn_Update, m_form.Btn_COM_List, m_form.Btn_Search})
            b->SetEnabled(on);
    }
    TFBoot& m_form;
};

TFBoot::TFBoot(QWidget* parent) : TForm(parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("Verdana"), 8));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xF8, 0xF7, 0xED));
    setPalette(pal);
    setAutoFillBackground(true);

    P_Title = Make_Panel(this, Title_Height);
    L_SW_Code = new QLabel(P_Title);
    L_SW_Code->setGeometry(12, 4, 420, 36);
    L_SW_Desc = Make_Label(P_Title, 14, 44, 420);
    Style_Title_Labels(L_SW_Code, L_SW_Desc);

    P_IP_Address = Make_Panel(this, 49);
    L_IP_Address = Make_Label(P_IP_Address, 14, 17, Control_Left - 20);
    QLineEdit** edits[] = {&E_IP1, &E_IP2, &E_IP3, &E_IP4};
    for (int i = 0; i < 4; ++i) {
        auto* e = new QLineEdit(QStringLiteral("0"), P_IP_Address);
        e->setGeometry(Control_Left + i * 52, 13, 41, 22);
        e->installEventFilter(this);
        *edits[i] = e;
        if (i < 3) {
            QLabel* dot = Make_Label(P_IP_Address, Control_Left + i * 52 + 41, 17, 11, QStringLiteral("."));
            dot->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        }
    }

    P_Options = Make_Panel(this, 72);
    L_Update_Option = Make_Label(P_Options, 14, 14, Control_Left - 20);
    CB_Update_Options = new QComboBox(P_Options);
    CB_Update_Options->setEditable(false);
    CB_Update_Options->setGeometry(Control_Left, 10, 197, 22);
    CB_Update_Option_Read_Back = new QCheckBox(P_Options);
    CB_Update_Option_Read_Back->setGeometry(Control_Left, 40, 197, 20);
    CB_Update_Option_Read_Back->setChecked(true);

    P_Serial = Make_Panel(this, 51);
    L_COM_Port = Make_Label(P_Serial, 14, 17, Control_Left - 20, QStringLiteral("Select the COM port for the Update"));
    CB_COM_Port = new QComboBox(P_Serial);
    CB_COM_Port->setGeometry(Control_Left, 13, 150, 22);
    Btn_COM_List = Make_Button(P_Serial, 392, 12, 41, 24);
    Btn_COM_List->SetCaption(QStringLiteral("..."));
    Btn_COM_List->setToolTip(QStringLiteral("Update COM Ports List"));
    Btn_COM_List->OnClick = [this](TPbButton*) { Btn_COM_ListClick(); };

    // The network search: never shown, and its button does nothing.
    P_Eth_Search = Make_Panel(this, 184);
    L_List_Device = Make_Label(P_Eth_Search, 14, 10, 300);
    Btn_Search = Make_Button(P_Eth_Search, 336, 6, 97, 25);
    CB_Find_All_TVX = new QCheckBox(P_Eth_Search);
    CB_Find_All_TVX->setGeometry(14, 158, 419, 20);
    m_listDevices = std::make_unique<TExtColumnGrid>();
    m_listDevices->SetColCount(2);
    m_listDevices->SetRowCount(2);
    m_listDevices->SetFixedCols(0);
    m_listDevices->SetFixedRows(1);
    m_listDevices->SetColWidths(0, 200);
    m_listDevices->SetColWidths(1, 200);
    m_listDevices->SyncColumnItems();
    m_listDevices->CreateWidget(P_Eth_Search)->setGeometry(14, 36, 419, 116);

    P_Button = Make_Panel(this, Button_Panel_Height);
    Btn_Cancel = Make_Button(P_Button, Client_Width - 8 - 228 - 6 - 110, 6, 110, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Update = Make_Button(P_Button, Client_Width - 8 - 228, 6, 228, 28);
    Btn_Update->OnClick = [this](TPbButton*) { Btn_UpdateClick(); };

    for (QWidget* p : {P_IP_Address, P_Options, P_Serial, P_Eth_Search}) p->hide();
    Stack_Panels({P_IP_Address, P_Options});
    Set_Lang();
}

TFBoot::~TFBoot() = default;

void TFBoot::Set_Lang()
{
    const int base = Form_Type == Boot_Serial ? 1600 : (Form_Type == Boot_USB ? 1604 : 1602);
    SetCaption(SL_Lang[base]);
    L_SW_Desc->setText(SL_Lang[base + 1]);
    L_IP_Address->setText(SL_Lang[1606]);
    L_List_Device->setText(SL_Lang[1609]);
    Btn_Search->SetCaption(SL_Lang[1610]);
    CB_Find_All_TVX->setText(SL_Lang[1613]);
    L_Update_Option->setText(SL_Lang[1614]);
    CB_Update_Options->clear();
    CB_Update_Options->addItems({SL_Lang[1615], SL_Lang[1616], SL_Lang[1617]});
    CB_Update_Options->setCurrentIndex(0);
    CB_Update_Option_Read_Back->setText(SL_Lang[1618]);
    Btn_Cancel->SetCaption(SL_Lang[1619]);
    Btn_Update->SetCaption(SL_Lang[1620]);
    E_IP1->setToolTip(SL_Lang[1621]);
    E_IP2->setToolTip(SL_Lang[1622]);
    E_IP3->setToolTip(SL_Lang[1623]);
    E_IP4->setToolTip(SL_Lang[1624]);
    Btn_Search->setToolTip(SL_Lang[1629]);
    CB_Find_All_TVX->setToolTip(SL_Lang[1631]);
    m_listDevices->Columns().Items(0).SetHeader(SL_Lang[1611]);
    m_listDevices->Columns().Items(1).SetHeader(SL_Lang[1612]);
    if (QWidget* w = m_listDevices->Widget()) w->setToolTip(SL_Lang[1630]);
    CB_Update_Options->setToolTip(SL_Lang[1632]);
    CB_Update_Option_Read_Back->setToolTip(SL_Lang[1633]);
    Btn_Cancel->setToolTip(SL_Lang[1634]);
    Btn_Update->setToolTip(SL_Lang[1635]);
}

void TFBoot::Stack_Panels(std::initializer_list<QWidget*> shown)
{
    for (QWidget* p : {P_IP_Address, P_Eth_Search, P_Options, P_Serial}) p->hide();
    P_Title->setGeometry(0, 0, Client_Width, Title_Height);
    int y = Title_Height;
    for (QWidget* p : shown) {
        p->setGeometry(0, y, Client_Width, p->height());
        p->show();
        y += p->height();
    }
    SetClientSize(Client_Width, y + Button_Panel_Height);
    P_Button->setGeometry(0, y, Client_Width, Button_Panel_Height);
}

void TFBoot::FormShow()
{
    Set_Lang();
    L_SW_Code->setText(SW_Code);
    if (Form_Type == Boot_Ethernet) {
        Stack_Panels({P_IP_Address, P_Options});
        QWidget* order[] = {E_IP1, E_IP2, E_IP3, E_IP4, CB_Update_Options, CB_Update_Option_Read_Back, Btn_Cancel,
                            Btn_Update, CB_COM_Port, Btn_COM_List};
        for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
        QString a, b, c, d;
        if (!Last_IP_Address.isEmpty() && Split_IP_Address(Last_IP_Address, a, b, c, d)) {
            E_IP1->setText(a);
            E_IP2->setText(b);
            E_IP3->setText(c);
            E_IP4->setText(d);
        }
        CB_Update_Options->setCurrentIndex(Update_Option_Index);
        CB_Update_Option_Read_Back->setChecked(Update_Read_Back);
        E_IP1->setFocus(Qt::TabFocusReason);
        E_IP1->selectAll();
    } else if (Form_Type == Boot_Serial) {
        Stack_Panels({P_Serial, P_Options});
        QWidget* order[] = {CB_COM_Port, Btn_COM_List, CB_Update_Options, CB_Update_Option_Read_Back, Btn_Cancel,
                            Btn_Update, E_IP1, E_IP2, E_IP3, E_IP4};
        for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
        CB_Update_Options->setCurrentIndex(Update_Option_Index);
        CB_Update_Option_Read_Back->setChecked(Update_Read_Back);
        Fill_COM_Ports();
        CB_COM_Port->setFocus();
    } else {
        // Any other type shows none of the middle panels and keeps its size.
        for (QWidget* p : {P_IP_Address, P_Eth_Search, P_Options, P_Serial}) p->hide();
        P_Button->setGeometry(0, ClientHeight() - Button_Panel_Height, Client_Width, Button_Panel_Height);
    }
}

void TFBoot::FormCloseQuery(bool& canClose)
{
    canClose = !m_busy;
}

bool TFBoot::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->text() == QLatin1String(".")) {
        QLineEdit* const edits[] = {E_IP1, E_IP2, E_IP3, E_IP4};
        for (int i = 0; i < 4; ++i)
            if (watched == edits[i]) return OctetDotKey(QLatin1Char('.'), i < 3 ? edits[i + 1] : nullptr);
    }
    return TForm::eventFilter(watched, event);
}

bool TFBoot::Send_Ping()
{
    ping_res = Ping_None;
    const std::optional<uint32_t> address =
        Octets_To_Address(E_IP1->text(), E_IP2->text(), E_IP3->text(), E_IP4->text());
    if (!address) return false; // no address: nothing is sent and nothing is resolved
    m_checked_address = Ipv4Text(*address);
    if (!Ping) Ping = std::make_unique<IcmpClient>();
    return Run_Echo_Check(*Ping, *address, m_checked_address.toLatin1(), Ping_Clock.Now ? Ping_Clock : System_Echo_Clock(),
                          ping_res);
}

void TFBoot::Compile_XML_Parameter_New_Boot()
{
    TUpdate_Job job;
    job.IP_Address = Last_IP_Address;
    job.Option_Index = Update_Option_Index;
    job.Read_Back = Update_Read_Back;
    job.Master_Path = Master_Path;
    job.Project_Path = Project_Path;
    Build_Update_Job(XML1, job);
    XML1.SaveToFile(PathJoin(Exe_Path, Update_Job_File_Name));
}

void TFBoot::Btn_UpdateClick()
{
    if (m_busy) return;
    if (Form_Type == Boot_Ethernet) {
        Update_Ethernet();
    } else if (Form_Type == Boot_Serial) {
        Update_Option_Index = CB_Update_Options->currentIndex();
        Update_Read_Back = CB_Update_Option_Read_Back->isChecked();
    }
}

void TFBoot::Update_Ethernet()
{
    Busy_Scope busy(*this);
    // The options as they stood at the click.
    const int32_t option = CB_Update_Options->currentIndex();
    const bool readBack = CB_Update_Option_Read_Back->isChecked();
    bool answered = false;
    try {
        answered = Send_Ping();
    } catch (const EIcmpUnavailable& e) {
        MessageDlg(e.Message(), TMsgDlgType::mtError, mbOK);
        return;
    }
    if (!answered) {
        if (ping_res == Ping_No_Data)
            MessageDlg(SL_Lang[1636], TMsgDlgType::mtWarning, mbOK);
        else
            MessageDlg(SL_Lang[1637], TMsgDlgType::mtError, mbOK);
        return;
    }
    Last_IP_Address = m_checked_address;
    Update_Option_Index = option;
    Update_Read_Back = readBack;
    try {
        Compile_XML_Parameter_New_Boot();
    } catch (const Exception& e) {
        // Without its job file the updater would run the last update's job.
        MessageDlg(e.Message(), TMsgDlgType::mtError, mbOK);
        return;
    }
    const TStartResult run = Start_Program(PathJoin(Exe_Path, Updater_File_Name), QString(), 0);
    if (!run.Started) MessageDlg(run.Error, TMsgDlgType::mtError, mbOK);
}

void TFBoot::Fill_COM_Ports()
{
    CB_COM_Port->clear();
    CB_COM_Port->addItems(List_COM_Ports());
    CB_COM_Port->setCurrentIndex(CB_COM_Port->count() > 0 ? 0 : -1);
}

void TFBoot::Btn_COM_ListClick()
{
    Fill_COM_Ports();
}

int32_t TFBoot::Get_Type_Dev()
{
    if (FileExists(ParGen_File)) XML1.TryLoadFromFile(ParGen_File);
    return 0;
}
