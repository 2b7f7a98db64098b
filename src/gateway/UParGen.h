#pragma once
// The communication parameter editor: the window that edits the gateway's
// Ethernet connection, LoRaWAN, CAN and Ethernet settings of the open
// project, and its file ParGen.xml.
//
// The headless parts come first (lists, key filters, the file, the checks and
// the panel layout) so that they can be used and tested without a window; the
// window itself follows.
#include "app/UEditorKit.h"
#include "platform/Forms.h"
#include "platform/XmlDoc.h"

#include <QHash>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QWidget;
class TCategoryPanel;
class TCategoryPanelGroup;
class TPbButton;

// ---------------------------------------------------------------------------
// Lists and key filters
// ---------------------------------------------------------------------------

const QStringList& LoRaWAN_Mode_Items();              // "Gateway", "End Node"
const QStringList& LoRaWAN_RF_Band_Items();           // "EU868", "US915", "KR920", "AS923"
const QStringList& LoRaWAN_Network_Type_Items();      // "Private", "Public"
const QStringList& LoRaWAN_Transmission_Type_Items(); // "Unconfirmed", "Confirmed"
const QStringList& LoRaWAN_Activation_Method_Items(); // ABP, OTAA
const QStringList& LoRaWAN_Class_Items();             // "A", "B", "C"
const QStringList& LoRaWAN_FreqSubBand_Items();       // "1" .. "8"
const QStringList& CAN_Baudrate_Items();              // "10K" .. "1000K", index stored in the file

// The data-rate items of a band ("EU868" eight, "US915" eleven, any other
// text none). The item texts are stored whole in the file, tab included.
QStringList LoRaWAN_DataRate_Items(const QString& band);
// The RX2 data-rate items of a band.
QStringList LoRaWAN_RX2_Items(const QString& band);

// Key filter of the key and address edits: hex digits in either case and
// every character up to the blank (the control keys) pass.
bool Hex_Key_Allowed(QChar c);

// The octet edit that "." moves the focus to, empty when the edit has none.
QString Octet_Successor(const QString& editName);

// ---------------------------------------------------------------------------
// ParGen.xml
// ---------------------------------------------------------------------------

// The settings of the live panels as the file carries them. Lists hold the
// selected item index (-1: no selection); the data-rate and RX2 indexes refer
// to the lists of the band that RF_Band selects.
struct TParGen_Values {
    QString Device_Name;
    bool DHCP_Cable = false;
    bool DHCP_WiFi = false;
    bool Enable_DNS = false;
    std::array<QString, 4> Pri_DNS{"8", "8", "8", "8"};
    std::array<QString, 4> Sec_DNS{"8", "8", "8", "8"};
    int Mode = 0;
    int RF_Band = 0;
    QString Server_Address;
    QString Server_Port_Up = QStringLiteral("1780");
    QString Server_Port_Down = QStringLiteral("1780");
    QString KeepAlive_Interval = QStringLiteral("10");
    int Network_Type = 0;
    bool Adaptive_DataRate = false;
    int DataRate = 0;
    int Transmission_Type = 0;
    QString Join_EUI;
    int Activation_Method = -1;
    QString Device_Address;
    QString Network_Session_Key;
    QString Application_Session_Key;
    QString Application_Key;
    int Class = 0;
    QString Diag_Pos = QStringLiteral("0");
    int RX2_Datarate = 0;
    int FreqSubBand = 0;
    std::array<QString, 4> IP{"192", "168", "0", "5"};
    std::array<QString, 4> SM{"255", "255", "255", "0"};
    std::array<QString, 4> GAT{"192", "168", "0", "1"};
    bool En_GAT = false;
    int CAN_Baudrate = 9;

    // The text of the selected RF band, empty without a selection.
    QString RF_Band_Text() const;

    bool operator==(const TParGen_Values&) const = default;
};

// The values for a missing file.
TParGen_Values ParGen_Defaults();

// Reads the elements of a loaded document into `v`, element by element; a
// missing element (or a first node that is no element) gives its default.
TParGen_Values ParGen_Read(const TXMLDocument& doc);

// Loads a file: a missing file gives the defaults; a file that cannot be
// parsed throws EXMLError.
TParGen_Values ParGen_Load(const QString& path);

// The document as it is written: root, the version comment after it, the 46
// elements in their order.
void ParGen_Build(const TParGen_Values& v, TXMLDocument& doc);
QByteArray ParGen_ToBytes(const TParGen_Values& v);

// Writes the file atomically; throws EFileError when it cannot.
void ParGen_Save(const QString& path, const TParGen_Values& v);

// ---------------------------------------------------------------------------
// Checks run by OK
// ---------------------------------------------------------------------------

// A control's text and whether the layout shows its row.
struct TParGen_Field {
    QString Text;
    bool Visible = false;
};

struct TParGen_CheckInput {
    bool Enable_DNS = false;
    std::array<QString, 4> Pri_DNS, Sec_DNS;
    QString RF_Band; // text of the selected band, empty without a selection
    TParGen_Field Server_Port_Up, Server_Port_Down, KeepAlive_Interval;
    TParGen_Field Network_Type, Diag_Pos, DataRate, Transmission_Type, Join_EUI, Activation_Method;
    TParGen_Field Device_Address, Network_Session_Key, Application_Session_Key, Application_Key;
    std::array<QString, 4> IP, SM, GAT;
    bool En_GAT = false;
};

// The number of the text of the first failing check, none when all pass.
std::optional<int> ParGen_Check(const TParGen_CheckInput& in);

// The highest diagnostic position.
constexpr int ParGen_Max_Diag_Pos = 1536;

// The message of a failed check: the text of that number, with the diagnostic
// limit put into its "%d".
QString ParGen_Check_Message(int textNumber, const std::function<QString(int)>& text);

// ---------------------------------------------------------------------------
// Panels and their layout
// ---------------------------------------------------------------------------

enum class TRowKind {
    Edit,        // label + edit
    Combo,       // label + drop-down list
    Check,       // check box
    Octets,      // label + four octet edits with "." labels between them
    CheckOctets, // check box + four octet edits
    CheckEdit,   // check box + edit
    Caption,     // label only
    FileRow,     // label + edit + "..." button
    Checks3,     // label + three check boxes
};

// One row of a panel. Names: `Label` is the label (or the check box of the
// check kinds), `Ctrl` the control, or the name prefix of octet edits and of
// the three check boxes (numbered 1..).
struct TRowDef {
    TRowKind Kind = TRowKind::Edit;
    const char* Label = "";
    const char* Ctrl = "";
    QStringList Items;          // design items of a list
    int Selected = 0;           // design selection of a list
    int MaxLen = 0;             // length limit of an edit (0: none)
    bool Disabled = false;      // disabled by design
    int ItemTexts = 0;          // items taken from the text table
    bool ItemsBeforeHint = false;
    int Text = 0;               // first text number when it does not follow the previous row
    int Hint = 0;               // hint text when it does not follow the caption
    bool NoHint = false;        // the control takes no hint
    bool Hex = false;           // hex key filter, upper case
    const char* Button = "";    // the "..." button of a file row
};

struct TPanelDef {
    const char* Name;
    int CaptionText;
    int FirstText;
    const char* HeightFrom;
    std::vector<TRowDef> Rows;
};

// The 38 panels, live ones first.
const std::vector<TPanelDef>& ParGen_Panels();

// One text assignment of the text routine: control name, what is set and the
// text number.
enum class TTextTarget { Caption, Hint, Item };
struct TTextAssign {
    QString Control;
    TTextTarget Target;
    int Text;
};
// Every caption, hint and text-table list item of the panels, in row order.
const std::vector<TTextAssign>& ParGen_Panel_Texts();

// Geometry of the row grid.
namespace ParGen_Geometry {
constexpr int Label_X = 14;
constexpr int Ctrl_X = 191;
constexpr int Ctrl_W = 238;
constexpr int Octet_X[4] = {191, 252, 313, 374};
constexpr int Octet_W = 55;
constexpr int Dot_X[3] = {247, 308, 369};
constexpr int Row_Pitch = 28;
constexpr int First_Row = 12;
constexpr int Edit_H = 21;
constexpr int Check_H = 17;
constexpr int Label_H = 13;
} // namespace ParGen_Geometry

// The place and state of one control.
struct TPlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Visible = true;
    bool Enabled = true;
    QString Panel;
};

struct TPanelState {
    bool Visible = false;
    int CaptionText = 0;
    QString Caption_Prefix; // "1. ", "2. ", ...
    int Height = 0;
    bool Collapsed = false;
    bool Enabled = true;
    int TabOrder = -1;
};

// What the layout reads from the controls.
struct TParGen_State {
    QHash<QString, bool> Checked; // check boxes
    QHash<QString, int> Index;    // lists: selected item
    QString RF_Band_Text;         // text of the RF band list
    bool IsChecked(const QString& n) const { return Checked.value(n, false); }
    int ItemIndex(const QString& n) const { return Index.value(n, -1); }
};

// Every control at its design place, every panel hidden; routines then move,
// show, hide, enable and size.
struct TParGen_Layout {
    QHash<QString, TPlace> Controls;
    QHash<QString, TPanelState> Panels;
    QStringList Order; // the shown panels, top to bottom

    const TPlace& At(const QString& control) const;
    TPlace& Mod(const QString& control);
};

TParGen_Layout ParGen_Design_Layout();

// The variants whose panel order and re-position routines exist.
QStringList ParGen_Variants();
// The variant this program serves.
inline const QString ParGen_Built_Variant = QStringLiteral("52R08");

// Shows the variant's panels in its order with numbered captions (throws
// Exception for an unknown variant).
void ParGen_Order_Panels(const QString& variant, TParGen_Layout& layout);
// Runs the variant's re-position routine: each of its panels' routines in
// its panel order, then its extra rules.
void ParGen_RePosition(const QString& variant, const TParGen_State& state, int headerHeight, TParGen_Layout& layout);
// Runs one panel's re-position routine.
void ParGen_RePosition_Panel(const QString& panel, const TParGen_State& state, int headerHeight, TParGen_Layout& layout);

// ---------------------------------------------------------------------------
// The window
// ---------------------------------------------------------------------------

// An edit with the program's key event: `OnKeyPress` sees every typed
// character and may change it or drop it (set it to 0). With `FilterPaste`
// text pasted in passes the same handler character by character.
class TParEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TParEdit(QWidget* parent = nullptr);
    std::function<void(TParEdit* sender, QChar& key)> OnKeyPress;
    bool FilterPaste = false;
    bool UpperCase = false;
    // The length the user may type (0: none). A longer text set by the
    // program is kept whole; the user cannot make it longer.
    int MaxLen = 0;
    void SetMaxLen(int n);
    void LoadText(const QString& text);
    // Inserts the clipboard's text through the key handler.
    void FilteredPaste();
    // Inserts a text through the key handler, as if it had been typed.
    void InsertFiltered(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    // The selection paste of the middle button and dropped text go through
    // the same filter as typing.
    void mouseReleaseEvent(QMouseEvent* e) override;
    void dropEvent(QDropEvent* e) override;
};

class TFParGen : public TForm {
    Q_OBJECT
public:
    explicit TFParGen(QWidget* parent = nullptr);
    ~TFParGen() override;

    // True once the user changed anything since the window was shown.
    bool Is_Change = false;

    void Set_Lang() override;
    void Order_TAB_Panels();
    void Move_GroupBoxs();
    void Order_TAB_Panels_52R08();
    void RePosition_Objects_52R08();
    // The order and re-position routines of any variant of the family.
    void Order_TAB_Panels_Variant(const QString& variant);
    void RePosition_Objects_Variant(const QString& variant);

    void Change_LoRaWAN_DataRate();
    bool Controllo_Dati();
    void Btn_OKClick();
    void Btn_CancelClick();

    // Loads ParGen.xml into the controls (what showing the window does).
    void Load_ParGen();
    // The live panels' values as the controls hold them, and the reverse.
    TParGen_Values Values() const;
    void SetValues(const TParGen_Values& v);

    // The layout as last applied.
    const TParGen_Layout& Layout() const { return m_layout; }

    // Controls by name (null when there is none of that name and kind).
    QWidget* Control(const QString& name) const;
    QLabel* Label(const QString& name) const;
    TParEdit* Edit(const QString& name) const;
    QComboBox* Combo(const QString& name) const;
    QCheckBox* Check(const QString& name) const;
    TCategoryPanel* Panel(const QString& name) const;

    TCategoryPanelGroup* CPG = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    TPbButton* Btn_OK = nullptr;
    TPbButton* Btn_Cancel = nullptr;

    // The "..." buttons of the certificate rows: copies the chosen file into
    // the configuration's Certificates folder and names it in the row.
    void Btn_OnCertificate(QWidget* sender);
    // The certificate open dialog: gets the starting folder, answers the
    // chosen file or an empty text when cancelled. Replaceable for tests.
    std::function<QString(const QString& folder)> OD_Certificate;

    // The key handlers of the octet edits and of the hex edits.
    void KeyPress(TParEdit* sender, QChar& key);
    void OnKeyPress(TParEdit* sender, QChar& key);

protected:
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;

private:
    // On a screen lower than the window, the window takes the screen's
    // height and stays on it, so that OK and Cancel can be reached.
    void Fit_To_Screen();
    void Build_Panels();
    void Apply_Layout();
    TParGen_State Read_State() const;
    void On_Change(QWidget* sender);
    void On_Click(QWidget* sender);
    void Set_Panel_Captions();
    void Set_Select_Device_Items();
    void Set_List_From_Texts(const QString& combo, int first, int count);

    QHash<QString, QWidget*> m_controls;
    QHash<QString, TCategoryPanel*> m_panels;
    // The file's values and their controls, checked when the window is made.
    std::unique_ptr<TValueBinder<TParGen_Values>> m_binder;
    TParGen_Layout m_layout;
    QString m_variant;
    bool m_inLayout = false;
};

// The values of ParGen.xml and the controls that show them, in the order
// they are loaded (the band before its data-rate lists).
const std::vector<TBinding<TParGen_Values>>& ParGen_Bindings();
