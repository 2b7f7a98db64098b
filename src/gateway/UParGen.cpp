// The communication parameter editor window.
#include "gateway/UParGen.h"

#include <QMouseEvent>

#include <QDropEvent>

#include <QMimeData>

#include "platform/Application.h"
#include "platform/CategoryPanelGroup.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Files.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/UComon.h"
#include "app/ULanguage.h"
#include "controls/PbButton.h"


namespace {

QString Txt(int n) { return SL_Lang[n]; }

TPbButton* MakeButton(QWidget* parent, const std::function<void()>& onClick)
{
    auto* b = new TPbButton(parent);
    b->ApplyProgramLook();
    b->setFixedSize(110, 28);
    b->OnClick = [onClick](TPbButton*) { onClick(); };
    return b;
}

QString N(const char* s) { return QString::fromLatin1(s); }

// Lists whose change re-lays out the panels.
const QStringList& Layout_Lists()
{
    static const QStringList l{"CB_BACnet_Slave_Type", "CB_SNMP_Agent_SecurityLevel", "CB_WiFi2_Type",
                               "CB_WiFi2_Secure_Type", "CB_BACnet_Master_Type", "CB_Select_Device_Device",
                               "CB_LoRaWAN_Mode", "CB_LoRaWAN_Activation_Method", "CB_LoRaWAN_RF_Band"};
    return l;
}

// Check boxes whose click re-lays out the panels.
const QStringList& Layout_Checks()
{
    static const QStringList l{"CB_MQTT_WillFlag", "CB_TLS_Enable", "CB_TLS_En_Server_Auth", "CB_TLS_En_Client_Auth",
                               "CB_SNMP_Agent_Version3", "CB_MQTT_PublishTopicConnection", "CB_MQTT_Enable_ReProgram",
                               "CB_EthConn_En_DHCP_Cable", "CB_EthConn_En_DHCP_WiFi", "CB_WiFi2_En_DHCP",
                               "CB_TLS_Server_Enable"};
    return l;
}

} // namespace

// --- TParEdit -------------------------------------------------------------

TParEdit::TParEdit(QWidget* parent) : QLineEdit(parent) {}

void TParEdit::SetMaxLen(int n)
{
    MaxLen = n;
    setMaxLength(n > 0 ? n : 32767);
}

void TParEdit::LoadText(const QString& text)
{
    if (MaxLen > 0) setMaxLength(std::max<int>(MaxLen, text.size()));
    setText(text);
}

void TParEdit::FilteredPaste() { InsertFiltered(QGuiApplication::clipboard()->text()); }

void TParEdit::InsertFiltered(const QString& in)
{
    QString out;
    for (QChar c : in) {
        if (c.unicode() < 32) continue; // line breaks and tabs are keys, not text
        QChar k = c;
        if (OnKeyPress) OnKeyPress(this, k);
        if (k.isNull()) continue;
        out += UpperCase ? k.toUpper() : k;
    }
    if (!out.isEmpty()) insert(out);
}

void TParEdit::keyPressEvent(QKeyEvent* e)
{
    if (FilterPaste && e->matches(QKeySequence::Paste)) {
        FilteredPaste();
        e->accept();
        return;
    }
    const QString t = e->text();
    const Qt::KeyboardModifiers m = e->modifiers();
    const bool plain = !(m & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    // AltGr arrives as Ctrl+Alt and types characters like any plain key.
    const bool altGr = (m & Qt::ControlModifier) && (m & Qt::AltModifier);
    if (t.size() == 1 && (plain || altGr) && (OnKeyPress || UpperCase)) {
        QChar k = t[0];
        if (OnKeyPress) OnKeyPress(this, k);
        if (k.isNull()) {
            e->accept();
            return;
        }
        if (UpperCase && k.unicode() > 32) k = k.toUpper();
        if (k != t[0] && k.unicode() > 32) {
            insert(QString(k));
            e->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void TParEdit::mouseReleaseEvent(QMouseEvent* e)
{
    QClipboard* cb = QGuiApplication::clipboard();
    if (FilterPaste && e->button() == Qt::MiddleButton && cb->supportsSelection() && !isReadOnly()) {
        setCursorPosition(cursorPositionAt(e->position().toPoint()));
        InsertFiltered(cb->text(QClipboard::Selection));
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void TParEdit::dropEvent(QDropEvent* e)
{
    if (FilterPaste && e->mimeData() && e->mimeData()->hasText() && !isReadOnly()) {
        setCursorPosition(cursorPositionAt(e->position().toPoint()));
        InsertFiltered(e->mimeData()->text());
        e->setDropAction(Qt::CopyAction);
        e->accept();
        return;
    }
    QLineEdit::dropEvent(e);
}

void TParEdit::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu* menu = createStandardContextMenu();
    if (FilterPaste) {
        for (QAction* a : menu->actions()) {
            if (a->objectName() != QLatin1String("edit-paste")) continue;
            QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
            GuardedConnect(a, &QAction::triggered, this, [this] { FilteredPaste(); });
        }
    }
    menu->exec(e->globalPos());
    delete menu;
}

// --- TFParGen ---------------------------------------------------------------

TFParGen::TFParGen(QWidget* parent) : TForm(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont f(QStringLiteral("Verdana"));
    f.setPointSize(8);
    setFont(f);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);

    auto* title = new QWidget(this);
    title->setObjectName("P_Title");
    title->setFixedHeight(69);
    title->setAutoFillBackground(true);
    QPalette tp = title->palette();
    tp.setColor(QPalette::Window, Qt::white);
    title->setPalette(tp);
    L_SW_Code = new QLabel(title);
    L_SW_Code->setObjectName("L_SW_Code");
    QFont big(QStringLiteral("Verdana"));
    big.setPixelSize(32);
    L_SW_Code->setFont(big);
    L_SW_Code->setStyleSheet("color: grey");
    L_SW_Code->setGeometry(14, 4, 420, 38);
    L_SW_Desc = new QLabel(title);
    L_SW_Desc->setObjectName("L_SW_Desc");
    QFont bold = font();
    bold.setBold(true);
    L_SW_Desc->setFont(bold);
    L_SW_Desc->setStyleSheet("color: grey");
    L_SW_Desc->setGeometry(16, 44, 420, 18);
    top->addWidget(title);

    CPG = new TCategoryPanelGroup(this);
    CPG->setObjectName("CPG");
    top->addWidget(CPG, 1);

    auto* buttons = new QWidget(this);
    buttons->setObjectName("P_Button");
    buttons->setFixedHeight(40);
    auto* bl = new QHBoxLayout(buttons);
    bl->setContentsMargins(8, 6, 8, 6);
    bl->setSpacing(8);
    bl->addStretch(1);
    Btn_OK = MakeButton(buttons, [this] { Btn_OKClick(); });
    Btn_OK->setObjectName("Btn_OK");
    Btn_Cancel = MakeButton(buttons, [this] { Btn_CancelClick(); });
    Btn_Cancel->setObjectName("Btn_Cancel");
    bl->addWidget(Btn_OK);
    bl->addWidget(Btn_Cancel);
    top->addWidget(buttons);

    L_SW_Code->setText(SW_Code);
    // Only the height follows the user: the client width stays 460.
    setMinimumWidth(460);
    setMaximumWidth(460);
    resize(460, 700);

    Build_Panels();
    m_layout = ParGen_Design_Layout();
    for (TCategoryPanel* p : m_panels) p->hide();
    Order_TAB_Panels();
    Move_GroupBoxs();
    Set_Select_Device_Items();
    Combo("CB_Select_Device_Device")->setCurrentIndex(0);
    m_binder = std::make_unique<TValueBinder<TParGen_Values>>(ParGen_Bindings(),
                                                              [this](const QString& name) { return Control(name); });
    m_binder->LoadText = [](QLineEdit* e, const QString& t) {
        if (auto* p = qobject_cast<TParEdit*>(e))
            p->LoadText(t);
        else
            e->setText(t);
    };
    m_binder->AfterLoad = [this](const TBinding<TParGen_Values>& b) {
        if (b.Control == QLatin1String("CB_LoRaWAN_RF_Band")) Change_LoRaWAN_DataRate();
    };
    Set_Lang();
    CPG->RouteWheel(CPG->widget());
}

TFParGen::~TFParGen() = default;

void TFParGen::Build_Panels()
{
    for (const TPanelDef& def : ParGen_Panels()) {
        TCategoryPanel* panel = CPG->AddPanel();
        panel->setObjectName(N(def.Name));
        m_panels.insert(N(def.Name), panel);
        // A panel the user folds stays folded when the layout runs again.
        panel->OnToggle = [this, name = N(def.Name)](TCategoryPanel* p) { m_layout.Panels[name].Collapsed = p->Collapsed(); };
        QWidget* body = panel->Body();

        auto label = [&](const QString& name, const QString& text = QString()) {
            auto* l = new QLabel(text, body);
            l->setObjectName(name);
            m_controls.insert(name, l);
        };
        auto edit = [&](const QString& name, const TRowDef& r, bool octet) {
            auto* e = new TParEdit(body);
            e->setObjectName(name);
            if (r.MaxLen > 0) e->SetMaxLen(r.MaxLen);
            if (octet) e->OnKeyPress = [this](TParEdit* s, QChar& k) { KeyPress(s, k); };
            if (r.Hex) {
                e->OnKeyPress = [this](TParEdit* s, QChar& k) { OnKeyPress(s, k); };
                e->FilterPaste = true;
                e->UpperCase = true;
                e->setAcceptDrops(false);
            }
            GuardedConnect(e, &QLineEdit::textChanged, this, [this, e] { On_Change(e); });
            m_controls.insert(name, e);
        };
        auto combo = [&](const QString& name, const TRowDef& r) {
            auto* c = new QComboBox(body);
            c->setObjectName(name);
            c->addItems(r.Items);
            c->setCurrentIndex(r.Items.isEmpty() ? -1 : r.Selected);
            c->setMaxVisibleItems(12);
            GuardedConnect(c, &QComboBox::currentIndexChanged, this, [this, c] { On_Change(c); });
            m_controls.insert(name, c);
        };
        auto check = [&](const QString& name) {
            auto* c = new QCheckBox(body);
            c->setObjectName(name);
            GuardedConnect(c, &QCheckBox::toggled, this, [this, c] { On_Click(c); });
            m_controls.insert(name, c);
        };
        auto octets = [&](const TRowDef& r) {
            for (int i = 1; i <= 4; ++i) edit(N(r.Ctrl) + QString::number(i), r, true);
            for (int i = 1; i <= 3; ++i) label(N(r.Ctrl) + "_Dot" + QString::number(i), ".");
        };

        for (const TRowDef& r : def.Rows) {
            switch (r.Kind) {
            case TRowKind::Edit:
                label(N(r.Label));
                edit(N(r.Ctrl), r, false);
                break;
            case TRowKind::Combo:
                label(N(r.Label));
                combo(N(r.Ctrl), r);
                break;
            case TRowKind::Check:
                check(N(r.Ctrl));
                break;
            case TRowKind::Octets:
                label(N(r.Label));
                octets(r);
                break;
            case TRowKind::CheckOctets:
                check(N(r.Label));
                octets(r);
                break;
            case TRowKind::CheckEdit:
                check(N(r.Label));
                edit(N(r.Ctrl), r, false);
                break;
            case TRowKind::Caption:
                label(N(r.Label));
                break;
            case TRowKind::FileRow: {
                label(N(r.Label));
                edit(N(r.Ctrl), r, false);
                auto* b = new QPushButton(QStringLiteral("..."), body);
                b->setObjectName(N(r.Button));
                GuardedConnect(b, &QPushButton::clicked, this, [this, b] { Btn_OnCertificate(b); });
                m_controls.insert(N(r.Button), b);
                break;
            }
            case TRowKind::Checks3:
                label(N(r.Label));
                for (int i = 1; i <= 3; ++i) check(N(r.Ctrl) + QString::number(i));
                break;
            }
        }
    }
}

QWidget* TFParGen::Control(const QString& name) const { return m_controls.value(name); }
QLabel* TFParGen::Label(const QString& name) const { return qobject_cast<QLabel*>(Control(name)); }
TParEdit* TFParGen::Edit(const QString& name) const { return qobject_cast<TParEdit*>(Control(name)); }
QComboBox* TFParGen::Combo(const QString& name) const { return qobject_cast<QComboBox*>(Control(name)); }
QCheckBox* TFParGen::Check(const QString& name) const { return qobject_cast<QCheckBox*>(Control(name)); }
TCategoryPanel* TFParGen::Panel(const QString& name) const { return m_panels.value(name); }

void TFParGen::Set_Select_Device_Items()
{
    QComboBox* c = Combo("CB_Select_Device_Device");
    const int keep = c->currentIndex();
    const QSignalBlocker block(c);
    c->clear();
    c->addItems({Txt(1346), Txt(1347), Txt(1348)});
    c->setCurrentIndex(keep < 0 ? 0 : keep);
}

void TFParGen::Set_Panel_Captions()
{
    for (const QString& name : m_layout.Order) {
        const TPanelState& p = m_layout.Panels.value(name);
        Panel(name)->SetCaption(p.Caption_Prefix + Txt(p.CaptionText));
    }
}

void TFParGen::Set_Lang()
{
    setWindowTitle(Txt(400));
    L_SW_Desc->setText(Txt(401));
    Btn_OK->SetCaption(Txt(402));
    Btn_Cancel->SetCaption(Txt(403));
    Btn_OK->setToolTip(Txt(404));
    Btn_Cancel->setToolTip(Txt(405));

    QHash<QString, QStringList> items;
    QStringList itemOrder;
    for (const TTextAssign& a : ParGen_Panel_Texts()) {
        QWidget* w = Control(a.Control);
        if (!w) continue;
        switch (a.Target) {
        case TTextTarget::Caption:
            if (auto* l = qobject_cast<QLabel*>(w))
                l->setText(Txt(a.Text));
            else if (auto* c = qobject_cast<QCheckBox*>(w))
                c->setText(Txt(a.Text));
            break;
        case TTextTarget::Hint:
            w->setToolTip(Txt(a.Text));
            break;
        case TTextTarget::Item:
            if (!items.contains(a.Control)) itemOrder << a.Control;
            items[a.Control] << Txt(a.Text);
            break;
        }
    }
    for (const QString& name : itemOrder) {
        QComboBox* c = Combo(name);
        c->clear();
        c->addItems(items.value(name));
        c->setCurrentIndex(0);
    }
    // The panel captions and the Select Device items follow the language too.
    Set_Panel_Captions();
    Set_Select_Device_Items();
}

void TFParGen::Order_TAB_Panels() { Order_TAB_Panels_Variant(ParGen_Built_Variant); }
void TFParGen::Move_GroupBoxs() { RePosition_Objects_Variant(m_variant.isEmpty() ? ParGen_Built_Variant : m_variant); }
void TFParGen::Order_TAB_Panels_52R08() { Order_TAB_Panels_Variant("52R08"); }
void TFParGen::RePosition_Objects_52R08() { RePosition_Objects_Variant("52R08"); }

void TFParGen::Order_TAB_Panels_Variant(const QString& variant)
{
    ParGen_Order_Panels(variant, m_layout);
    m_variant = variant;
    QList<TCategoryPanel*> order;
    for (const QString& name : m_layout.Order) order << Panel(name);
    CPG->SetOrder(order);
    for (auto it = m_panels.cbegin(); it != m_panels.cend(); ++it) it.value()->setVisible(m_layout.Panels.value(it.key()).Visible);
    Set_Panel_Captions();
    // Tab order follows the panels' order.
    for (int i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void TFParGen::RePosition_Objects_Variant(const QString& variant)
{
    if (m_inLayout) return;
    m_inLayout = true;
    ParGen_RePosition(variant, Read_State(), CPG->HeaderHeight(), m_layout);
    Apply_Layout();
    m_inLayout = false;
}

TParGen_State TFParGen::Read_State() const
{
    TParGen_State s;
    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
        if (auto* c = qobject_cast<QCheckBox*>(it.value()))
            s.Checked.insert(it.key(), c->isChecked());
        else if (auto* combo = qobject_cast<QComboBox*>(it.value()))
            s.Index.insert(it.key(), combo->currentIndex());
    }
    s.RF_Band_Text = Combo("CB_LoRaWAN_RF_Band")->currentText();
    return s;
}

void TFParGen::Apply_Layout()
{
    for (auto it = m_layout.Controls.cbegin(); it != m_layout.Controls.cend(); ++it) {
        QWidget* w = Control(it.key());
        if (!w) continue;
        const TPlace& p = it.value();
        w->setGeometry(p.Left, p.Top, p.Width, p.Height);
        w->setVisible(p.Visible);
        w->setEnabled(p.Enabled);
    }
    for (auto it = m_layout.Panels.cbegin(); it != m_layout.Panels.cend(); ++it) {
        TCategoryPanel* panel = Panel(it.key());
        const TPanelState& p = it.value();
        if (p.Height > 0) panel->SetPanelHeight(p.Height);
        panel->SetCollapsed(p.Collapsed);
        panel->setEnabled(p.Enabled);
    }
}

void TFParGen::On_Change(QWidget* sender)
{
    Is_Change = true;
    const QString name = sender->objectName();
    if (Layout_Lists().contains(name)) Move_GroupBoxs();
    if (name == QLatin1String("CB_LoRaWAN_RF_Band")) Change_LoRaWAN_DataRate();
}

void TFParGen::On_Click(QWidget* sender)
{
    Is_Change = true;
    if (Layout_Checks().contains(sender->objectName())) Move_GroupBoxs();
}

void TFParGen::Change_LoRaWAN_DataRate()
{
    const QString band = Combo("CB_LoRaWAN_RF_Band")->currentText();
    for (const auto& [name, items] : {std::pair{QStringLiteral("CB_LoRaWAN_DataRate"), LoRaWAN_DataRate_Items(band)},
                                      std::pair{QStringLiteral("CB_LoRaWAN_RX2_Datarate"), LoRaWAN_RX2_Items(band)}}) {
        QComboBox* c = Combo(name);
        c->clear();
        c->addItems(items);
        c->setCurrentIndex(items.isEmpty() ? -1 : 0);
    }
}

void TFParGen::Btn_OnCertificate(QWidget* sender)
{
    static const QHash<QString, QString> boxes{{"Btn_TLS_CA_Cert", "E_TLS_CA_Cert"},
                                               {"Btn_TLS_Server_Cert", "E_TLS_Server_Cert"},
                                               {"Btn_TLS_Client_Cert", "E_TLS_Client_Cert"},
                                               {"Btn_TLS_Client_Cert_Key", "E_TLS_Client_Cert_Key"}};
    const QString box = boxes.value(sender->objectName());
    if (box.isEmpty()) return;

    const QString folder = PathJoin(Project_Path, Certificates_Folder_Name);
    if (!DirectoryExists(folder) && !ForceDirectories(folder))
        throw EFileError(QStringLiteral("Cannot create the folder \"%1\".").arg(folder));
    const QString chosen = OD_Certificate ? OD_Certificate(folder)
                                          : QFileDialog::getOpenFileName(this, QString(), folder, QStringLiteral("Any Files (*)"));
    if (chosen.isEmpty() || !FileExists(chosen)) return;

    const QString name = QFileInfo(chosen).fileName();
    const QString target = PathJoin(folder, name);
    const bool inside = QFileInfo(chosen).absoluteFilePath().compare(QFileInfo(target).absoluteFilePath(), Qt::CaseInsensitive) == 0;
    if (!inside) {
        if (FileExists(target) && MessageDlg(Txt(1430), TMsgDlgType::mtConfirmation, mbYesNoCancel) != mrYes) return;
        if (!CopyFileTo(chosen, target))
            throw EFileError(QStringLiteral("Cannot copy \"%1\" to \"%2\".").arg(chosen, target));
    }
    Edit(box)->clear();
    Edit(box)->setText(name);
}

void TFParGen::KeyPress(TParEdit* sender, QChar& key)
{
    const QString next = Octet_Successor(sender->objectName());
    if (OctetDotKey(key, next.isEmpty() ? nullptr : Control(next))) key = QChar();
}

void TFParGen::OnKeyPress(TParEdit*, QChar& key)
{
    if (!Hex_Key_Allowed(key)) key = QChar();
}

const std::vector<TBinding<TParGen_Values>>& ParGen_Bindings()
{
    using V = TParGen_Values;
    using enum TBindKind;
    static const std::vector<TBinding<V>> table = {
        {&V::Device_Name, "E_EthConn_Device_Name", Text},
        {&V::DHCP_Cable, "CB_EthConn_En_DHCP_Cable", Check},
        {&V::DHCP_WiFi, "CB_EthConn_En_DHCP_WiFi", Check},
        {&V::Enable_DNS, "CB_EthConn_Enable_DNS", Check},
        {&V::Pri_DNS, "E_EthConn_Pri_DNS_IP", Octets},
        {&V::Sec_DNS, "E_EthConn_Sec_DNS_IP", Octets},
        {&V::Mode, "CB_LoRaWAN_Mode", List},
        {&V::RF_Band, "CB_LoRaWAN_RF_Band", List},
        {&V::Server_Address, "E_LoRaWAN_Server_Address", Text},
        {&V::Server_Port_Up, "E_LoRaWAN_Server_Port_Up", Text},
        {&V::Server_Port_Down, "E_LoRaWAN_Server_Port_Down", Text},
        {&V::KeepAlive_Interval, "E_LoRaWAN_KeepAlive_Interval", Text},
        {&V::Network_Type, "CB_LoRaWAN_Network_Type", List},
        {&V::Adaptive_DataRate, "CB_LoRaWAN_Adaptive_DataRate", Check},
        {&V::DataRate, "CB_LoRaWAN_DataRate", List},
        {&V::Transmission_Type, "CB_LoRaWAN_Transmission_Type", List},
        {&V::Join_EUI, "E_LoRaWAN_Join_EUI", UpperText},
        {&V::Activation_Method, "CB_LoRaWAN_Activation_Method", List},
        {&V::Device_Address, "E_LoRaWAN_Device_Address", UpperText},
        {&V::Network_Session_Key, "E_LoRaWAN_Network_Session_Key", UpperText},
        {&V::Application_Session_Key, "E_LoRaWAN_Application_Session_Key", UpperText},
        {&V::Application_Key, "E_LoRaWAN_Application_Key", UpperText},
        {&V::Class, "CB_LoRaWAN_Class", List},
        {&V::Diag_Pos, "E_LoRaWAN_Diag_Pos", Text},
        {&V::RX2_Datarate, "CB_LoRaWAN_RX2_Datarate", List},
        {&V::FreqSubBand, "CB_LoRaWAN_FreqSubBand", List},
        {&V::IP, "E_Ethernet_IP", Octets},
        {&V::SM, "E_Ethernet_SM", Octets},
        {&V::GAT, "E_Ethernet_GAT", Octets},
        {&V::En_GAT, "CB_Ethernet_En_GAT", Check},
        {&V::CAN_Baudrate, "CB_CAN_Baudrate", List},
    };
    return table;
}

void TFParGen::SetValues(const TParGen_Values& v)
{
    m_binder->Load(v);
}

TParGen_Values TFParGen::Values() const
{
    return m_binder->Store();
}

void TFParGen::Load_ParGen()
{
    // Start from the defaults, so that a file that cannot be read never
    // leaves the values of an earlier configuration on screen.
    SetValues(ParGen_Defaults());
    struct Finish {
        TFParGen* f;
        ~Finish()
        {
            f->Is_Change = false;
            f->Move_GroupBoxs();
        }
    } finish{this};
    SetValues(ParGen_Load(ParGen_File));
}

void TFParGen::FormShow()
{
    Fit_To_Screen();
    Load_ParGen();
}

void TFParGen::Fit_To_Screen()
{
    const QScreen* s = screen();
    if (!s) return;
    const QRect area = s->availableGeometry();
    const int frame = std::max(0, frameGeometry().height() - height());
    const int room = area.height() - frame;
    if (height() > room) resize(width(), std::max(minimumHeight(), room));
    const QRect outer = frameGeometry();
    if (outer.bottom() > area.bottom() || outer.top() < area.top())
        move(x(), std::max(area.top(), area.bottom() + 1 - outer.height()));
}

bool TFParGen::Controllo_Dati()
{
    TParGen_CheckInput in;
    auto field = [this](const char* n) {
        QWidget* w = Control(N(n));
        TParGen_Field f;
        if (auto* e = qobject_cast<QLineEdit*>(w)) f.Text = e->text();
        if (auto* c = qobject_cast<QComboBox*>(w)) f.Text = c->currentText();
        f.Visible = m_layout.At(N(n)).Visible;
        return f;
    };
    const TParGen_Values v = Values();
    in.Enable_DNS = v.Enable_DNS;
    in.Pri_DNS = v.Pri_DNS;
    in.Sec_DNS = v.Sec_DNS;
    in.RF_Band = Combo("CB_LoRaWAN_RF_Band")->currentText();
    in.Server_Port_Up = field("E_LoRaWAN_Server_Port_Up");
    in.Server_Port_Down = field("E_LoRaWAN_Server_Port_Down");
    in.KeepAlive_Interval = field("E_LoRaWAN_KeepAlive_Interval");
    in.Network_Type = field("CB_LoRaWAN_Network_Type");
    in.Diag_Pos = field("E_LoRaWAN_Diag_Pos");
    in.DataRate = field("CB_LoRaWAN_DataRate");
    in.Transmission_Type = field("CB_LoRaWAN_Transmission_Type");
    in.Join_EUI = field("E_LoRaWAN_Join_EUI");
    in.Activation_Method = field("CB_LoRaWAN_Activation_Method");
    in.Device_Address = field("E_LoRaWAN_Device_Address");
    in.Network_Session_Key = field("E_LoRaWAN_Network_Session_Key");
    in.Application_Session_Key = field("E_LoRaWAN_Application_Session_Key");
    in.Application_Key = field("E_LoRaWAN_Application_Key");
    in.IP = v.IP;
    in.SM = v.SM;
    in.GAT = v.GAT;
    in.En_GAT = v.En_GAT;

    const std::optional<int> failed = ParGen_Check(in);
    if (!failed) return true;
    MessageDlg(ParGen_Check_Message(*failed, Txt), TMsgDlgType::mtError, mbOK);
    return false;
}

void TFParGen::Btn_OKClick()
{
    if (!Controllo_Dati()) return;
    try {
        ParGen_Save(ParGen_File, Values());
    } catch (const Exception& e) {
        // The file is untouched; the window stays open with the user's values.
        MessageDlg(e.Message(), TMsgDlgType::mtError, mbOK);
        return;
    }
    SetModalResult(mrOk);
}

void TFParGen::Btn_CancelClick()
{
    if (Is_Change && MessageDlg(Txt(1336), TMsgDlgType::mtConfirmation, mbYesNo) != mrYes) return;
    SetModalResult(mrCancel);
}

void TFParGen::FormCloseQuery(bool& canClose)
{
    // Closing by the title bar asks like Cancel does.
    canClose = true;
    if (ModalResult() == 0 && Is_Change)
        canClose = MessageDlg(Txt(1336), TMsgDlgType::mtConfirmation, mbYesNo) == mrYes;
}
