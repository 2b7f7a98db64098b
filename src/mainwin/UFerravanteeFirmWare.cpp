#include "mainwin/UFerravanteeFirmWare.h"

#include "app/UComon.h"
#include "app/UNew_Project.h"
#include "app/UOpenConf.h"
#include "app/USoftOptions.h"
#include "controls/PbButton.h"
#include "gateway/USaveBincc.h"
#include "mainwin/Forms.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "platform/SysUtils.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int Step_Button_Width = 170;
constexpr int Step_Button_Height = 36;
constexpr int First_Check_Ms = 60000;
constexpr int Next_Check_Ms = 7200000;

// A frame or line drawn over the window, transparent to the mouse.
class TShape : public QWidget {
public:
    TShape(QWidget* parent, QColor pen, bool fill) : QWidget(parent), m_pen(pen), m_fill(fill)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (m_fill || height() <= 1) {
            p.fillRect(rect(), m_pen);
            return;
        }
        p.setPen(m_pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, width() - 1, height() - 1);
    }

private:
    QColor m_pen;
    bool m_fill;
};

// Glyph pictures of the buttons, drawn at start-up: one cell on a magenta
// background (the button takes the bottom-left pixel as transparent).
enum class GlyphKind { New, Open, Settings, LoRaWAN, Receive, Send, Update, Table, Info, Options, Close };

QImage Make_Glyph(GlyphKind kind, int s)
{
    QImage img(s, s, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const double u = s / 24.0; // drawn on a 24-unit grid
    p.scale(u, u);
    const QColor blue(0, 84, 166), orange(255, 128, 0), grey(96, 96, 96), green(0, 140, 60), red(200, 30, 30);
    QPen pen(grey, 1.5);
    switch (kind) {
    case GlyphKind::New:
        p.setPen(QPen(grey, 1));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(14, 2), QPointF(19, 7), QPointF(19, 22), QPointF(4, 22)}));
        p.setPen(Qt::NoPen);
        p.setBrush(green);
        p.drawRect(QRectF(13, 13, 9, 3));
        p.drawRect(QRectF(16, 10, 3, 9));
        break;
    case GlyphKind::Open:
        p.setPen(QPen(QColor(150, 100, 0), 1));
        p.setBrush(QColor(240, 190, 60));
        p.drawPolygon(QPolygonF({QPointF(2, 5), QPointF(9, 5), QPointF(11, 8), QPointF(21, 8), QPointF(21, 20), QPointF(2, 20)}));
        p.setBrush(QColor(255, 215, 100));
        p.drawPolygon(QPolygonF({QPointF(2, 20), QPointF(6, 11), QPointF(23, 11), QPointF(21, 20)}));
        break;
    case GlyphKind::Settings:
        p.setPen(QPen(grey, 2));
        for (int i = 0; i < 3; ++i) p.drawLine(QPointF(3, 6 + 6 * i), QPointF(21, 6 + 6 * i));
        p.setPen(QPen(blue.darker(), 1));
        p.setBrush(blue);
        p.drawRect(QRectF(6, 3, 4, 6));
        p.drawRect(QRectF(14, 9, 4, 6));
        p.drawRect(QRectF(9, 15, 4, 6));
        break;
    case GlyphKind::LoRaWAN:
        p.setPen(QPen(grey, 2));
        p.drawLine(QPointF(12, 11), QPointF(12, 22));
        p.drawLine(QPointF(7, 22), QPointF(17, 22));
        p.setPen(QPen(blue, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(7, 4, 10, 10), 30 * 16, 120 * 16);
        p.drawArc(QRectF(3, 0, 18, 18), 30 * 16, 120 * 16);
        p.setBrush(orange);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(10, 8, 4, 4));
        break;
    case GlyphKind::Receive:
    case GlyphKind::Send: {
        p.setPen(QPen(grey, 1));
        p.setBrush(QColor(230, 230, 230));
        p.drawRect(QRectF(2, 6, 12, 14));
        p.setPen(QPen(grey, 1));
        for (int i = 0; i < 3; ++i) p.drawLine(QPointF(4, 10 + 3 * i), QPointF(12, 10 + 3 * i));
        p.setPen(Qt::NoPen);
        p.setBrush(kind == GlyphKind::Receive ? green : orange);
        if (kind == GlyphKind::Receive)
            p.drawPolygon(QPolygonF({QPointF(23, 10), QPointF(16, 10), QPointF(16, 7), QPointF(11, 13), QPointF(16, 19),
                                     QPointF(16, 16), QPointF(23, 16)}));
        else
            p.drawPolygon(QPolygonF({QPointF(10, 10), QPointF(17, 10), QPointF(17, 7), QPointF(23, 13), QPointF(17, 19),
                                     QPointF(17, 16), QPointF(10, 16)}));
        break;
    }
    case GlyphKind::Update:
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(QColor(70, 70, 70));
        p.drawRect(QRectF(5, 11, 14, 10));
        p.setPen(QPen(grey, 1));
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(7 + 3 * i, 21), QPointF(7 + 3 * i, 23));
            p.drawLine(QPointF(7 + 3 * i, 9), QPointF(7 + 3 * i, 11));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(orange);
        p.drawPolygon(QPolygonF({QPointF(10, 0), QPointF(14, 0), QPointF(14, 4), QPointF(17, 4), QPointF(12, 9),
                                 QPointF(7, 4), QPointF(10, 4)}));
        break;
    case GlyphKind::Table:
        p.setPen(QPen(grey, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2, 4, 20, 16));
        for (int i = 1; i < 4; ++i) p.drawLine(QPointF(2, 4 + 4 * i), QPointF(22, 4 + 4 * i));
        p.drawLine(QPointF(9, 4), QPointF(9, 20));
        break;
    case GlyphKind::Info:
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawEllipse(QRectF(1, 1, 22, 22));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(10.5, 4.5, 3, 3));
        p.drawRect(QRectF(10.5, 9.5, 3, 10));
        break;
    case GlyphKind::Options: {
        p.setPen(Qt::NoPen);
        p.setBrush(grey);
        p.translate(12, 12);
        for (int i = 0; i < 8; ++i) {
            p.drawRect(QRectF(-2, -11, 4, 6));
            p.rotate(45);
        }
        p.drawEllipse(QRectF(-8, -8, 16, 16));
        p.setBrush(QColor(255, 0, 255));
        p.drawEllipse(QRectF(-3.5, -3.5, 7, 7));
        break;
    }
    case GlyphKind::Close:
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        p.drawEllipse(QRectF(1, 1, 22, 22));
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(QPointF(7.5, 7.5), QPointF(16.5, 16.5));
        p.drawLine(QPointF(16.5, 7.5), QPointF(7.5, 16.5));
        break;
    }
    return img;
}

QLabel* Grey_Label(QWidget* parent, bool bold, int pixelSize = 0)
{
    auto* l = new QLabel(parent);
    QFont f = Dialog_Look::Font();
    f.setBold(bold);
    if (pixelSize > 0) f.setPixelSize(pixelSize);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, ColorToQColor(clGray));
    l->setPalette(pal);
    return l;
}

void Place(QLabel* l, int left, int top, const QString& text)
{
    l->setText(text);
    l->adjustSize();
    l->move(left, top);
}

} // namespace

TFFerravanteeFirmWare::TFFerravanteeFirmWare(QWidget* parent) : TForm(parent)
{
    Create_Components();
    // 1. The text table starts empty.
    SL_Lang.Clear();
    // 2. This variant's rows.
    Layout_Variant();
    // 3. Folders next to the executable.
    Set_Program_Folders();
    // 4.
    Project_Name.clear();
    Update_Read_Back = true;
    // 5. Settings.
    Read_Setting();
    // 6. The version check runs only with both internet options on.
    Set_Timer_Update(Enable_Internet && Enable_Update);
    // 7. Identity.
    Set_Identity();
    SetCaption(Main_Caption);
    Place(L_SW_Code, 16, 8, SW_Code);
    Place(L_SW_Desc, 16, 42, SW_Desc);
    // 8. Texts.
    Load_Language();
    // 9. The last configuration, when its folder is still there; its name is
    // kept either way, so it is stored again at exit.
    Reopen_Last_Project();
    // 10., 11.
    Set_Lang();
    Set_Files();
    // 12. The row clipboard and the MIB writer's lists start empty.
    SL_Copy_Row.clear();
    Copy_Row_Is_CheckBox.clear();
    SL_MIB_Read.clear();
    SL_MIB_Write.clear();
}

TFFerravanteeFirmWare::~TFFerravanteeFirmWare() = default;

void TFFerravanteeFirmWare::Create_Components()
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(Dialog_Look::Font());
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorToQColor(Dialog_Look::Window_Color));
    setPalette(pal);

    L_SW_Code = Grey_Label(this, false, 32);
    L_SW_Desc = Grey_Label(this, true);

    LL_Update = new QLabel(this);
    LL_Update->setGeometry(208, 19, 294, 17);
    LL_Update->setTextFormat(Qt::RichText);
    LL_Update->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    LL_Update->setOpenExternalLinks(false);
    LL_Update->hide();
    GuardedConnect(LL_Update, &QLabel::linkActivated, this, [this](const QString& link) { LL_UpdateLinkClick(link); });

    auto iconButton = [this](GlyphKind kind) {
        auto* b = new TPbButton(this);
        b->resize(50, 50);
        b->ApplyProgramLook();
        b->SetColor(Dialog_Look::Window_Color);
        b->SetColorWhenDown(Dialog_Look::Pressed_Color);
        b->SetGlyph(Make_Glyph(kind, 32));
        b->OnClick = [this](TPbButton* sender) { Btn_Click(sender); };
        return b;
    };
    Btn_Info = iconButton(GlyphKind::Info);
    Btn_Opz = iconButton(GlyphKind::Options);
    Btn_Close = iconButton(GlyphKind::Close);

    L_Name_Conf = Grey_Label(this, false);
    L_Name_Conf_L2 = Grey_Label(this, false);
    Shape2 = new TShape(this, ColorToQColor(clSilver), false);
    Shape2->setGeometry(80, 70, 348, 36);
    L_Begin = Grey_Label(this, true);
    for (QLabel*& l : L_Step) l = Grey_Label(this, true);
    Shape1 = new TShape(this, ColorToQColor(clSilver), true);
    L_Tolvex = Grey_Label(this, true);
    L_Tolvex->setCursor(Qt::PointingHandCursor);
    L_Tolvex->installEventFilter(this);

    auto stepButton = [this](GlyphKind kind) {
        auto* b = new TPbButton(this);
        b->setGeometry(80, 112, Step_Button_Width, Step_Button_Height);
        b->ApplyProgramLook();
        b->SetColor(Dialog_Look::Window_Color);
        b->SetColorWhenDown(Dialog_Look::Pressed_Color);
        b->SetAlignment(taLeftJustify);
        b->SetGlyph(Make_Glyph(kind, 24));
        b->OnClick = [this](TPbButton* sender) { Btn_Click(sender); };
        return b;
    };
    Btn_New = stepButton(GlyphKind::New);
    Btn_Open = stepButton(GlyphKind::Open);
    Btn_Prm_Gen = stepButton(GlyphKind::Settings);
    Btn_LoRaWAN_Access = stepButton(GlyphKind::LoRaWAN);
    Btn_CAN_Rec_Frame = stepButton(GlyphKind::Receive);
    Btn_CAN_Send_Frame = stepButton(GlyphKind::Send);
    Btn_CreateBin = stepButton(GlyphKind::Update);
    for (TPbButton** b : {&Btn_Modbus_Set_Access, &Btn_BACnet_SetAccess, &Btn_BACnet_EDE_File, &Btn_SDO_Server_CANopen,
                          &Btn_SDO_Client_CANopen, &Btn_PDO_CANopen, &Btn_CANopen_EDS, &Btn_DNet_Net, &Btn_DNet_Offset,
                          &Btn_DMX_Default, &Btn_IEC61850_Client, &Btn_IEC61850_Access, &Btn_TLS_List_Certificates,
                          &Btn_MQTT_Set_Topic, &Btn_OPC_UA_Client_Access, &Btn_OPC_UA_Server_Access,
                          &Btn_SNMP_Manager_Access, &Btn_SNMP_Trap, &Btn_SNMP_MIB, &Btn_PROFINET_XML,
                          &Btn_EtherNetIP_Access, &Btn_S7_Protocol_Access, &Btn_KNX_Access, &Btn_PROFIBUS_GSD})
        *b = stepButton(GlyphKind::Table);

    Timer_Update = new QTimer(this);
    Timer_Update->setInterval(First_Check_Ms);
    GuardedConnect(Timer_Update, &QTimer::timeout, this, [this] { Timer_UpdateTimer(); });
}

std::vector<TPbButton*> TFFerravanteeFirmWare::Buttons() const
{
    return {Btn_Info,
            Btn_Opz,
            Btn_Close,
            Btn_New,
            Btn_Open,
            Btn_Prm_Gen,
            Btn_LoRaWAN_Access,
            Btn_CAN_Rec_Frame,
            Btn_CAN_Send_Frame,
            Btn_CreateBin,
            Btn_Modbus_Set_Access,
            Btn_BACnet_SetAccess,
            Btn_BACnet_EDE_File,
            Btn_SDO_Server_CANopen,
            Btn_SDO_Client_CANopen,
            Btn_PDO_CANopen,
            Btn_CANopen_EDS,
            Btn_DNet_Net,
            Btn_DNet_Offset,
            Btn_DMX_Default,
            Btn_IEC61850_Client,
            Btn_IEC61850_Access,
            Btn_TLS_List_Certificates,
            Btn_MQTT_Set_Topic,
            Btn_OPC_UA_Client_Access,
            Btn_OPC_UA_Server_Access,
            Btn_SNMP_Manager_Access,
            Btn_SNMP_Trap,
            Btn_SNMP_MIB,
            Btn_PROFINET_XML,
            Btn_EtherNetIP_Access,
            Btn_S7_Protocol_Access,
            Btn_KNX_Access,
            Btn_PROFIBUS_GSD};
}

void TFFerravanteeFirmWare::Layout_Variant()
{
    L_SW_Code->move(16, 8);
    L_SW_Desc->move(16, 42);
    L_Begin->move(16, 84);
    Shape2->move(80, 70);
    L_Name_Conf->move(87, 75);
    L_Name_Conf_L2->move(87, 88);
    for (QWidget* w : std::initializer_list<QWidget*>{L_SW_Code, L_SW_Desc, L_Begin, Shape2, L_Name_Conf, L_Name_Conf_L2}) w->show();
    Btn_Info->move(516, 8);
    Btn_Opz->move(574, 8);
    Btn_Close->move(632, 8);
    for (TPbButton* b : {Btn_Info, Btn_Opz, Btn_Close}) b->show();

    for (int n = 0; n < 8; ++n) {
        L_Step[n]->move(16, 128 + 44 * n);
        L_Step[n]->hide();
    }
    L_Tolvex->move(565, 392);
    L_Tolvex->hide();

    Btn_New->move(80, 112);
    Btn_Open->move(258, 112);
    Btn_Prm_Gen->move(80, 156);
    Btn_CreateBin->move(80, 332);
    for (TPbButton* b : {Btn_New, Btn_Open, Btn_Prm_Gen, Btn_CreateBin}) b->show();
    for (TPbButton* b :
         {Btn_LoRaWAN_Access, Btn_Modbus_Set_Access, Btn_CAN_Rec_Frame, Btn_CAN_Send_Frame, Btn_BACnet_SetAccess,
          Btn_BACnet_EDE_File, Btn_SDO_Server_CANopen, Btn_SDO_Client_CANopen, Btn_PDO_CANopen, Btn_CANopen_EDS,
          Btn_DNet_Net, Btn_DNet_Offset, Btn_DMX_Default, Btn_IEC61850_Client, Btn_IEC61850_Access,
          Btn_TLS_List_Certificates, Btn_MQTT_Set_Topic, Btn_OPC_UA_Client_Access, Btn_OPC_UA_Server_Access,
          Btn_SNMP_Manager_Access, Btn_SNMP_Trap, Btn_SNMP_MIB, Btn_PROFINET_XML, Btn_EtherNetIP_Access,
          Btn_S7_Protocol_Access, Btn_KNX_Access, Btn_PROFIBUS_GSD})
        b->hide();

    // This variant's own rows.
    for (int n = 0; n < 6; ++n) L_Step[n]->show();
    L_Tolvex->move(565, L_Step[5]->y());
    L_Tolvex->show();
    Btn_LoRaWAN_Access->move(80, 200);
    Btn_CAN_Rec_Frame->move(80, 244);
    Btn_CAN_Send_Frame->move(80, 288);
    for (TPbButton* b : {Btn_LoRaWAN_Access, Btn_CAN_Rec_Frame, Btn_CAN_Send_Frame}) b->show();
    Btn_CreateBin->move(80, 332);

    Shape1->setGeometry(10, Btn_CreateBin->y() + 51, 674, 1);
    SetClientSize(694, Btn_CreateBin->y() + 152);
}

void TFFerravanteeFirmWare::Set_Lang()
{
    L_Begin->setText(SL_Lang[0]);
    L_Begin->adjustSize();
    for (int n = 0; n < 8; ++n) {
        L_Step[n]->setText(SL_Lang[1 + n]);
        L_Step[n]->adjustSize();
    }
    Btn_Info->setToolTip(SL_Lang[12]);
    Btn_Opz->setToolTip(SL_Lang[13]);
    Btn_Close->setToolTip(SL_Lang[14]);
    const struct {
        TPbButton* button;
        int caption;
        int hint;
    } texts[] = {
        {Btn_New, 15, 22},
        {Btn_Open, 16, 23},
        {Btn_CreateBin, 17, 26},
        {Btn_Prm_Gen, 20, 24},
        {Btn_LoRaWAN_Access, 21, 25},
        {Btn_CAN_Rec_Frame, 33, 34},
        {Btn_CAN_Send_Frame, 35, 36},
        {Btn_Modbus_Set_Access, 27, 28},
        {Btn_BACnet_SetAccess, 29, 30},
        {Btn_BACnet_EDE_File, 31, 32},
        {Btn_SDO_Server_CANopen, 41, 42},
        {Btn_SDO_Client_CANopen, 43, 44},
        {Btn_PDO_CANopen, 45, 46},
        {Btn_CANopen_EDS, 47, 48},
        {Btn_DNet_Net, 49, 50},
        {Btn_DNet_Offset, 51, 52},
        {Btn_DMX_Default, 53, 54},
        {Btn_IEC61850_Client, 55, 56},
        {Btn_IEC61850_Access, 57, 58},
        {Btn_TLS_List_Certificates, 59, 60},
        {Btn_MQTT_Set_Topic, 61, 62},
        {Btn_SNMP_Trap, 63, 64},
        {Btn_SNMP_MIB, 65, 66},
        {Btn_SNMP_Manager_Access, 67, 68},
        {Btn_OPC_UA_Client_Access, 69, 70},
        {Btn_OPC_UA_Server_Access, 71, 72},
        {Btn_PROFINET_XML, 73, 74},
        {Btn_EtherNetIP_Access, 75, 76},
        {Btn_S7_Protocol_Access, 77, 78},
        {Btn_KNX_Access, 79, 80},
        {Btn_PROFIBUS_GSD, 81, 82},
    };
    for (const auto& t : texts) {
        t.button->SetCaption(SL_Lang[t.caption]);
        t.button->setToolTip(SL_Lang[t.hint]);
    }
    L_Tolvex->setText(Maker_Web_Address());
    L_Tolvex->adjustSize();
    // Where the system's font is wider than the window's design font, the
    // address moves left so that it stays whole inside the window.
    L_Tolvex->move(std::min(565, 694 - 6 - L_Tolvex->width()), L_Tolvex->y());
    Show_Configuration_Lines();
}

void TFFerravanteeFirmWare::Show_Configuration_Lines()
{
    if (!Project_Path.isEmpty()) {
        L_Name_Conf->setText(SL_Lang[11]);
        L_Name_Conf_L2->setText(Project_Name);
    } else {
        L_Name_Conf->setText(SL_Lang[9]);
        L_Name_Conf_L2->setText(SL_Lang[10]);
    }
    L_Name_Conf->adjustSize();
    L_Name_Conf_L2->adjustSize();
}

const char* TFFerravanteeFirmWare::Step_Window(const TPbButton* b) const
{
    const struct {
        const TPbButton* button;
        const char* window;
    } steps[] = {
        {Btn_Prm_Gen, "TFParGen"},
        {Btn_LoRaWAN_Access, "TFLoRaWAN_Gateway"},
        {Btn_CAN_Rec_Frame, "TFReceiveCAN"},
        {Btn_CAN_Send_Frame, "TFTransmitCAN"},
        {Btn_Modbus_Set_Access, "TFModbus_TCP_Master_Set_Access"},
        {Btn_BACnet_SetAccess, "TFBACnetAccess"},
        {Btn_PDO_CANopen, "TFSet_PDO_Access"},
        {Btn_SDO_Client_CANopen, "TFSet_SDO_Client_Access"},
        {Btn_SDO_Server_CANopen, "TFSet_SDO_Server_Access"},
        {Btn_DNet_Net, "TFDNet"},
        {Btn_DNet_Offset, "TFDefOffset"},
        {Btn_DMX_Default, "TFDMXDefVal"},
        {Btn_IEC61850_Client, "TFIEC_61850_Access"},
        {Btn_TLS_List_Certificates, "TFTLS_Server_Known_Cert"},
        {Btn_IEC61850_Access, "TFIEC61850_Variables"},
        {Btn_MQTT_Set_Topic, "TFMQTT_Set_Topic"},
        {Btn_OPC_UA_Client_Access, "TFOPC_UA_Client_Access"},
        {Btn_OPC_UA_Server_Access, "TFOPC_UA_Server_Access"},
        {Btn_SNMP_Manager_Access, "TFSNMPManagerAccess"},
        {Btn_SNMP_Trap, "TFSNMP_Trap_Access"},
        {Btn_EtherNetIP_Access, "TFEtherNetIP_Master_Access"},
        {Btn_S7_Protocol_Access, "TFS7_Protocol_Set_Access"},
        {Btn_KNX_Access, "TFKNXAccess"},
    };
    for (const auto& s : steps)
        if (s.button == b) return s.window;
    return nullptr;
}

void TFFerravanteeFirmWare::Btn_Click(TPbButton* Sender)
{
    if (Sender == Btn_New) {
        Create_New_Project();
    } else if (Sender == Btn_Open) {
        Open_Project();
    } else if (Sender == Btn_Close) {
        close();
    } else if (Sender == Btn_Info) {
        if (FAbout) FAbout->ShowModal();
    } else if (Sender == Btn_Opz) {
        if (FSoftOptions && FSoftOptions->ShowModal() == mrOk) {
            // A settings file that cannot be written is reported; the timer
            // follows the new options all the same.
            Guard([this] { Save_Setting(); });
            Set_Timer_Update(Enable_Internet && Enable_Update);
        }
    } else if (Project_Path.isEmpty()) {
        MessageDlg(SL_Lang[18], TMsgDlgType::mtError, mbOK);
    } else if (Sender == Btn_CreateBin) {
        Update_Device();
    } else if (const char* window = Step_Window(Sender)) {
        // The editor reads its file when shown and writes it on its own OK.
        if (TForm* f = Form_Instance(window)) f->ShowModal();
    }
    // The description-file writers of the hidden buttons (EDE, EDS, MIB,
    // GSDML, GSD) act once their editors are part of the program.
}

void TFFerravanteeFirmWare::Create_New_Project()
{
    if (!FNew_Project) return;
    if (FNew_Project->ShowModal() == mrOk) Show_Configuration_Lines();
}

void TFFerravanteeFirmWare::Open_Project()
{
    if (!FOpenConf) return;
    if (FOpenConf->ShowModal() != mrOk) return;
    Project_Name = FOpenConf->Name_Conf;
    if (!Project_Name.isEmpty())
        Project_Path = PathJoin(Projects_Path, Project_Name);
    else
        Project_Path.clear();
    Show_Configuration_Lines();
    Set_Files();
}

void TFFerravanteeFirmWare::Set_Files() { ::Set_Files(); }

void TFFerravanteeFirmWare::Save_Setting() { ::Save_Setting(); }

void TFFerravanteeFirmWare::Update_Device()
{
    // The images are rebuilt at every click, before the update dialog opens,
    // whether or not the device is then updated. A build or write that fails
    // is shown and the dialog stays closed.
    try {
        const TBank_Images images = Compile_Banks(Project_Path);
        ForceDirectories(PathJoin(Project_Path, Bin_Folder_Name));
        Save_Banks(Project_Path, images);
    } catch (const std::exception& e) {
        HandleException(e);
        return;
    }
    if (FBoot) {
        FBoot->Form_Type = Boot_Ethernet;
        FBoot->ShowModal();
    }
}

void TFFerravanteeFirmWare::Set_Timer_Update(bool enabled)
{
    if (!enabled)
        Timer_Update->stop();
    else if (!Timer_Update->isActive())
        Timer_Update->start();
}

bool TFFerravanteeFirmWare::Timer_Update_Enabled() const { return Timer_Update->isActive(); }
int TFFerravanteeFirmWare::Timer_Update_Interval() const { return Timer_Update->interval(); }

void TFFerravanteeFirmWare::Timer_UpdateTimer()
{
    Set_Timer_Update(false);
    const bool newer = FSoftOptions ? FSoftOptions->Check_Version() : Query_Newer_Version();
    if (newer) {
        LL_Update->setText(QStringLiteral("<a href=\"") + Maker_Download_Page().toHtmlEscaped() + QStringLiteral("\">") +
                           SL_Lang[19].toHtmlEscaped() + QStringLiteral("</a>"));
        // The link takes the width of its text, from its designed place on.
        LL_Update->resize(std::max(294, LL_Update->sizeHint().width()), 17);
        LL_Update->show();
    } else {
        LL_Update->hide();
    }
    Timer_Update->setInterval(Next_Check_Ms);
    Set_Timer_Update(true);
}

void TFFerravanteeFirmWare::Change_Language() { Set_Lang_All_Forms(); }

TStartResult TFFerravanteeFirmWare::Start_Program(const QString& NomeSW, const QString& Parameter, uint8_t tipo)
{
    return ::Start_Program(NomeSW, Parameter, tipo);
}

void TFFerravanteeFirmWare::LL_UpdateLinkClick(const QString& Link) { ShellOpenLink(Link); }

void TFFerravanteeFirmWare::L_TolvexClick() { ShellOpenLink(Maker_Home_Page()); }

int32_t TFFerravanteeFirmWare::Get_Type_BACnet()
{
    if (!FileExists(ParGen_File)) return 0;
    if (!XML1.TryLoadFromFile(ParGen_File)) return 0;
    const XmlNode node = XML1.DocumentElement().FindChild(QStringLiteral("BACnet_Type"));
    if (node.IsNull()) return 0;
    return StrToIntDef(node.Text(), 0);
}

void TFFerravanteeFirmWare::FormShow()
{
    if (QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TFFerravanteeFirmWare::FormClose()
{
    Timer_Update->stop();
    Guard([this] { Save_Setting(); });
}

void TFFerravanteeFirmWare::FormCloseQuery(bool& canClose)
{
    // Closing always ends the program.
    FormClose();
    canClose = true;
}

bool TFFerravanteeFirmWare::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == L_Tolvex && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        L_TolvexClick();
        return true;
    }
    return TForm::eventFilter(watched, event);
}
