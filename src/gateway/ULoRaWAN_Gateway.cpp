#include "gateway/ULoRaWAN_Gateway.h"

#include "app/UComon.h"
#include "app/ULanguage.h"
#include "controls/PbButton.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/GridsWidget.h"
#include "platform/SysUtils.h"
#include "platform/XmlDoc.h"

#include <QFileInfo>
#include <QLabel>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>
#include <initializer_list>

namespace {

// ---- objects and rows ------------------------------------------------------------

bool Is_Yes(const QString& text) { return text.trimmed().toUpper() == QLatin1String("Y"); }
QString Yes_No(bool on) { return on ? QStringLiteral("Y") : QStringLiteral("N"); }

// One cell of a table row and the property of an object it mirrors.
template <class T>
struct TFieldLink {
    std::function<QString(const T&)> Get;
    std::function<void(T&, const QString&)> Set;
};

template <class T>
TFieldLink<T> Text(QString (T::*get)() const, void (T::*set)(QString))
{
    return {[get](const T& o) { return (o.*get)(); }, [set](T& o, const QString& v) { (o.*set)(v); }};
}

template <class T>
TFieldLink<T> Flag(bool (T::*get)() const, void (T::*set)(bool))
{
    return {[get](const T& o) { return Yes_No((o.*get)()); }, [set](T& o, const QString& v) { (o.*set)(Is_Yes(v)); }};
}

// Links in the order of the table's columns.
const std::vector<TFieldLink<TDeviceLoRa>>& Device_Links()
{
    using D = TDeviceLoRa;
    static const std::vector<TFieldLink<D>> links = {
        Flag(&D::Enable, &D::SetEnable),           Text(&D::DeviceEUI, &D::SetDeviceEUI),
        Text(&D::JoinEUI, &D::SetJoinEUI),         Text(&D::DeviceName, &D::SetDeviceName),
        Text(&D::ActMethod, &D::SetActMethod),     Text(&D::NetSessKey, &D::SetNetSessKey),
        Text(&D::AppSessKey, &D::SetAppSessKey),   Text(&D::AppKey, &D::SetAppKey),
        Text(&D::DevAdd, &D::SetDevAdd),           Text(&D::ClassLoRa, &D::SetClassLoRa),
        Text(&D::DiagTimeOut, &D::SetDiagTimeOut), Text(&D::RX2Datarate, &D::SetRX2Datarate),
        Text(&D::Mnemonic, &D::SetMnemonic),
    };
    return links;
}

const std::vector<TFieldLink<TRuleLoRa>>& Uplink_Links()
{
    using R = TRuleLoRa;
    static const std::vector<TFieldLink<R>> links = {
        Flag(&R::Enable, &R::SetEnable),       Text(&R::Port, &R::SetPort),         Text(&R::StartTest, &R::SetStartTest),
        Text(&R::LenTest, &R::SetLenTest),     Flag(&R::HexTest, &R::SetHexTest),   Text(&R::ValueTest, &R::SetValueTest),
        Text(&R::StartBit, &R::SetStartBit),   Text(&R::NumBits, &R::SetNumBits),   Text(&R::PosBit, &R::SetPosBit),
        Text(&R::Mnemonic, &R::SetMnemonic),
    };
    return links;
}

const std::vector<TFieldLink<TRuleLoRa>>& Downlink_Links()
{
    using R = TRuleLoRa;
    static const std::vector<TFieldLink<R>> links = {
        Flag(&R::Enable, &R::SetEnable),     Text(&R::Port, &R::SetPort),       Text(&R::StartBit, &R::SetStartBit),
        Text(&R::NumBits, &R::SetNumBits),   Flag(&R::OnChange, &R::SetOnChange), Flag(&R::OnCMD, &R::SetOnCMD),
        Flag(&R::OnTimer, &R::SetOnTimer),   Text(&R::Time, &R::SetTime),       Text(&R::PosBit, &R::SetPosBit),
        Text(&R::Mnemonic, &R::SetMnemonic),
    };
    return links;
}

template <class T>
TTableRow To_Row(const std::vector<TFieldLink<T>>& links, const T& o)
{
    TTableRow row;
    for (const TFieldLink<T>& l : links) row << l.Get(o);
    return row;
}

template <class T>
void From_Row(const std::vector<TFieldLink<T>>& links, const TTableRow& row, T& o)
{
    for (size_t i = 0; i < links.size(); ++i) links[i].Set(o, int(i) < row.size() ? row[int(i)] : QString());
}

// Table indexes of the device columns (grid column - 1).
enum { dEnable, dDeviceEUI, dJoinEUI, dDeviceName, dActMethod, dNetSessKey, dAppSessKey, dAppKey, dDevAdd };
// Grid columns of the device grid.
constexpr int Col_Enable = 1;
constexpr int Col_ActMethod = 5;
constexpr int Col_NetSessKey = 6;
constexpr int Col_AppSessKey = 7;
constexpr int Col_AppKey = 8;
constexpr int Col_Class = 10;
constexpr int Col_RX2 = 12;

// "%d" placeholders filled in order; any further ones stay as they are.
QString Fill(const QString& text, std::initializer_list<int> numbers)
{
    QString out = text;
    qsizetype from = 0;
    for (int n : numbers) {
        const qsizetype at = out.indexOf(QLatin1String("%d"), from);
        if (at < 0) break;
        const QString s = QString::number(n);
        out.replace(at, 2, s);
        from = at + s.size();
    }
    return out;
}

TTableDef Rule_Table()
{
    TTableDef s;
    s.KeyColumn = 2;
    s.Rows = LoRaWAN_Max_Rules;
    return s;
}

constexpr TColor Col_Orange = RGBColor(0xFF, 0xD8, 0xB0);
constexpr TColor Col_Cyan = RGBColor(0xE0, 0xFA, 0xFE);
constexpr TColor Col_Yellow = RGBColor(0xFF, 0xFF, 0xA8);
constexpr TColor Col_Green = RGBColor(0xA8, 0xFF, 0xA8);
constexpr TColor Col_Pink = RGBColor(0xFC, 0xD6, 0xF4);
constexpr TColor Col_Lilac = RGBColor(0xD5, 0xD5, 0xFF);
constexpr TColor Col_Blue = RGBColor(0x91, 0xDE, 0xFF);

// The rows of a rule list, padded with cleared rules to the grid's rows.
std::vector<TTableRow> Rule_Rows(const TRuleList& rules, bool uplink)
{
    std::vector<TTableRow> rows;
    const auto to_row = uplink ? Uplink_To_Row : Downlink_To_Row;
    for (const auto& r : rules) {
        if (int(rows.size()) >= LoRaWAN_Max_Rules) break;
        rows.push_back(to_row(*r));
    }
    const TTableRow cleared = to_row(TRuleLoRa());
    while (int(rows.size()) < LoRaWAN_Max_Rules) rows.push_back(cleared);
    return rows;
}

// The rows of a rule grid up to the last filled one, as rules.
void Rules_From_Grid(TExtColumnGrid& grid, bool uplink, TRuleList& rules)
{
    const TTableDef& def = uplink ? LoRaWAN_Uplink_Table() : LoRaWAN_Downlink_Table();
    std::vector<TTableRow> rows = Table_From_Grid(grid, def);
    while (!rows.empty() && !Table_Row_Filled(def, rows.back())) rows.pop_back();
    // Freed from the last to the first, as the device does.
    while (!rules.empty()) rules.pop_back();
    for (const TTableRow& row : rows) rules.push_back(uplink ? Row_To_Uplink(row) : Row_To_Downlink(row));
}

std::vector<TTableRow> Rows_Of(const TRuleList& rules, bool uplink)
{
    std::vector<TTableRow> rows;
    for (const auto& r : rules) rows.push_back(uplink ? Uplink_To_Row(*r) : Downlink_To_Row(*r));
    return rows;
}

// ---- reading -------------------------------------------------------------------

// Attributes a device or rule may lack without being incomplete.
const QStringList Optional_Device{"Enable", "Class", "DiagTimeOut", "RX2_Datarate"};
const QStringList Optional_Uplink{"StartTest", "LenTest", "HexTest", "ValueTest"};

bool Read_Complete(const XmlNode& e, const TTableDef& def, const QStringList& optional, TTableRow& row)
{
    QStringList missing;
    row = Table_Read_Row(e, def, &missing);
    for (const QString& m : missing)
        if (!optional.contains(m)) return false;
    return true;
}

// The rules of one list element; false when a rule is incomplete.
bool Read_Rules(const XmlNode& list, bool uplink, TRuleList& rules, bool& tooMany)
{
    bool complete = true;
    for (const XmlNode& e : list.ChildElements()) {
        if (int(rules.size()) >= LoRaWAN_Max_Rules) {
            tooMany = true;
            break;
        }
        TTableRow row;
        if (!Read_Complete(e, uplink ? LoRaWAN_Uplink_Table() : LoRaWAN_Downlink_Table(),
                           uplink ? Optional_Uplink : QStringList(), row))
            complete = false;
        rules.push_back(uplink ? Row_To_Uplink(row) : Row_To_Downlink(row));
    }
    return complete;
}

XmlNode Child_Element(const XmlNode& parent, const char* name)
{
    const XmlNode n = parent.FindChild(QString::fromLatin1(name));
    return !n.IsNull() && n.IsElement() ? n : XmlNode();
}

// ---- checking -------------------------------------------------------------------

QString Device_Error(int text, int d) { return Fill(SL_Lang[text], {d}); }

QString Check_Hex(const QString& value, int len, int d, int textLength, int textChars)
{
    switch (CheckStringHex(value, len)) {
    case 1: return Device_Error(textLength, d);
    case 2: return Device_Error(textChars, d);
    default: return QString();
    }
}

bool In(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

QString Check_Device(const TDeviceLoRa& dev, int d)
{
    QString e = Check_Hex(dev.DeviceEUI(), 16, d, 5485, 5486);
    if (e.isEmpty()) e = Check_Hex(dev.JoinEUI(), 16, d, 5487, 5488);
    if (!e.isEmpty()) return e;
    if (dev.ActMethod().trimmed().isEmpty()) return Device_Error(5489, d);
    if (dev.ActMethod() == LoRaWAN_ABP) {
        e = Check_Hex(dev.NetSessKey(), 32, d, 5490, 5491);
        if (e.isEmpty()) e = Check_Hex(dev.AppSessKey(), 32, d, 5492, 5493);
    } else {
        e = Check_Hex(dev.AppKey(), 32, d, 5494, 5495);
    }
    if (e.isEmpty()) e = Check_Hex(dev.DevAdd(), 8, d, 5496, 5514);
    if (!e.isEmpty()) return e;
    const int64_t timeout = TryStrToInt64(dev.DiagTimeOut()).value_or(-1);
    if (timeout < 0 || timeout > int64_t(4294967295LL)) return Device_Error(5497, d);
    return QString();
}

QString Check_Uplink(const TRuleLoRa& r, int d, int n)
{
    const auto err = [&](int text, std::initializer_list<int> more = {}) {
        QString t = Fill(SL_Lang[text], {d, n});
        for (int m : more) t = Fill(t, {m});
        return t;
    };
    if (!In(Table_Int(r.Port()), 0, 65535)) return err(5498);
    if (!r.StartTest().trimmed().isEmpty()) {
        if (Table_Int(r.StartTest()) < 0) return err(5499);
        const int32_t len = Table_Int(r.LenTest());
        if (len < 0) return err(5500);
        if (r.HexTest()) {
            switch (CheckStringHex(r.ValueTest(), 2 * len)) {
            case 1: return err(5501, {len, 2 * len});
            case 2: return err(5502);
            default: break;
            }
        } else if (r.ValueTest().size() != len) {
            return err(5503, {len});
        }
    }
    if (!In(Table_Int(r.StartBit()), 0, 500)) return err(5504);
    const int32_t num = Table_Int(r.NumBits());
    if (!In(num, 1, 1536)) return err(5505, {1536});
    const int32_t pos = Table_Int(r.PosBit());
    if (!In(pos, 0, 1535)) return err(5506, {1535});
    if (pos + num > 1536) return err(5507, {1536});
    return QString();
}

QString Check_Downlink(const TRuleLoRa& r, int d, int n)
{
    const auto err = [&](int text, std::initializer_list<int> more = {}) {
        QString t = Fill(SL_Lang[text], {d, n});
        for (int m : more) t = Fill(t, {m});
        return t;
    };
    if (!In(Table_Int(r.Port()), 0, 65535)) return err(5508);
    if (!In(Table_Int(r.StartBit()), 0, 500)) return err(5509);
    const int32_t num = Table_Int(r.NumBits());
    if (!In(num, 1, 1536)) return err(5510, {1536});
    if (r.OnTimer() && !In(Table_Int(r.Time()), 0, 100000000)) return err(5511);
    const int32_t pos = Table_Int(r.PosBit());
    if (!In(pos, 0, 1535)) return err(5512, {1535});
    if (pos + num > 1536) return err(5513, {1536});
    return QString();
}

// A cell of the row XML cannot carry: the message naming the column.
QString Check_Chars(const TTableDef& def, const TTableRow& row, const QString& prefix)
{
    const int c = Table_Bad_Char_Column(def, row);
    return c < 0 ? QString() : prefix + SL_Lang[def.Columns[size_t(c)].HeaderText];
}

// The written rules of one kind: characters, the enabled rules' values and
// rules after an empty key.
QString Check_Rules(const TRuleList& rules, bool uplink, int d)
{
    const TTableDef& def = uplink ? LoRaWAN_Uplink_Table() : LoRaWAN_Downlink_Table();
    const std::vector<TTableRow> rows = Rows_Of(rules, uplink);
    const int length = Table_Length(def, rows);
    for (int i = 0; i < length; ++i) {
        const int n = i + 1;
        QString e = Check_Chars(def, rows[size_t(i)], Fill(SL_Lang[uplink ? 5522 : 5523], {d, n}));
        if (e.isEmpty() && rules[size_t(i)]->Enable())
            e = uplink ? Check_Uplink(*rules[size_t(i)], d, n) : Check_Downlink(*rules[size_t(i)], d, n);
        if (!e.isEmpty()) return e;
    }
    if (const int gap = Table_Gap_Row(def, rows)) return Fill(SL_Lang[uplink ? 5519 : 5520], {d, gap});
    return QString();
}

} // namespace

// ---- objects ------------------------------------------------------------------------

TDeviceLoRa::~TDeviceLoRa()
{
    while (!UpLinkRules.empty()) UpLinkRules.pop_back();
    while (!DownLinkRules.empty()) DownLinkRules.pop_back();
}

void TDeviceLoRa::Clear()
{
    From_Row(Device_Links(), Device_To_Row(TDeviceLoRa()), *this);
    while (!UpLinkRules.empty()) UpLinkRules.pop_back();
    while (!DownLinkRules.empty()) DownLinkRules.pop_back();
}

TTableRow Device_To_Row(const TDeviceLoRa& d) { return To_Row(Device_Links(), d); }
void Row_To_Device(const TTableRow& row, TDeviceLoRa& d) { From_Row(Device_Links(), row, d); }
TTableRow Uplink_To_Row(const TRuleLoRa& r) { return To_Row(Uplink_Links(), r); }
TTableRow Downlink_To_Row(const TRuleLoRa& r) { return To_Row(Downlink_Links(), r); }

std::unique_ptr<TRuleLoRa> Row_To_Uplink(const TTableRow& row)
{
    auto r = std::make_unique<TRuleLoRa>();
    From_Row(Uplink_Links(), row, *r);
    return r;
}

std::unique_ptr<TRuleLoRa> Row_To_Downlink(const TTableRow& row)
{
    auto r = std::make_unique<TRuleLoRa>();
    From_Row(Downlink_Links(), row, *r);
    return r;
}

// ---- tables ------------------------------------------------------------------------

const TTableDef& LoRaWAN_Device_Table()
{
    static const TTableDef def = [] {
        TTableDef s;
        s.Root = QStringLiteral("LoRaWAN_Devices_List");
        s.KeyColumn = 2;
        s.Rows = LoRaWAN_Max_Devices;
        const QStringList act{LoRaWAN_ABP, LoRaWAN_OTAA};
        const QStringList cls{QStringLiteral("A"), QStringLiteral("C")};
        s.Columns = {
            {"Enable", 5419, 5431, 50, edDataCheckBox, Col_Orange, {}, "N", {}, {}},
            {"DeviceEUI", 5420, 5432, 80, edNormal, Col_Cyan, {}, "", {}, {}},
            {"JoinEUI", 5421, 5433, 60, edNormal, Col_Cyan, {}, "", {}, {}},
            {"DeviceName", 5422, 5434, 80, edNormal, Col_Cyan, {}, "", {}, {}},
            {"ActivationMethod", 5423, 5435, 120, edComboList, Col_Yellow, act, "", {}, {}},
            {"NetworkSessionKey", 5424, 5436, 140, edNormal, Col_Yellow, {}, "", {}, {}},
            {"ApplicationSessionKey", 5425, 5437, 150, edNormal, Col_Yellow, {}, "", {}, {}},
            {"ApplicationKey", 5426, 5438, 100, edNormal, Col_Yellow, {}, "", {}, {}},
            {"DeviceAddress", 5427, 5439, 100, edNormal, Col_Green, {}, "", {}, {}},
            {"Class", 5428, 5440, 60, edComboList, Col_Pink, cls, "", {}, {}},
            {"DiagTimeOut", 5429, 5441, 100, edNormal, Col_Lilac, {}, "", {}, {}},
            {"RX2_Datarate", 5515, 5516, 100, edComboList, Col_Blue, {}, "", {}, {}},
            {"Mnemonic", 5430, 5442, 120, edNormal, clWhite, {}, "", {}, {}},
        };
        return s;
    }();
    return def;
}

const TTableDef& LoRaWAN_Uplink_Table()
{
    static const TTableDef def = [] {
        TTableDef s = Rule_Table();
        s.Root = QStringLiteral("LoRaWAN_UpLink_Rules");
        // An uplink rule with a test but no port still belongs to the list.
        s.AltKeyColumn = 3;
        s.Columns = {
            {"Enable", 5444, 5454, 50, edDataCheckBox, Col_Orange, {}, "N", {}, {}},
            {"Port", 5445, 5455, 70, edNormal, Col_Yellow, {}, "", {}, {}},
            {"StartTest", 5446, 5456, 70, edNormal, Col_Yellow, {}, "", {}, {}},
            {"LenTest", 5447, 5457, 70, edNormal, Col_Yellow, {}, "", {}, {}},
            {"HexTest", 5448, 5458, 30, edDataCheckBox, Col_Yellow, {}, "N", {}, {}},
            {"ValueTest", 5449, 5459, 230, edNormal, Col_Yellow, {}, "", {}, {}},
            {"StartBit", 5450, 5460, 70, edNormal, Col_Cyan, {}, "", {}, {}},
            {"NumberBits", 5451, 5461, 90, edNormal, Col_Cyan, {}, "", {}, {}},
            {"PositionBit", 5452, 5462, 80, edNormal, Col_Pink, {}, "", {}, {}},
            {"Mnemonic", 5453, 5463, 310, edNormal, clWhite, {}, "", {}, {}},
        };
        return s;
    }();
    return def;
}

const TTableDef& LoRaWAN_Downlink_Table()
{
    static const TTableDef def = [] {
        TTableDef s = Rule_Table();
        s.Root = QStringLiteral("LoRaWAN_DownLink_Rules");
        s.Columns = {
            {"Enable", 5465, 5475, 50, edDataCheckBox, Col_Orange, {}, "N", {}, {}},
            {"Port", 5466, 5476, 70, edNormal, Col_Yellow, {}, "", {}, {}},
            {"StartBit", 5467, 5477, 70, edNormal, Col_Cyan, {}, "", {}, {}},
            {"NumberBits", 5468, 5478, 90, edNormal, Col_Cyan, {}, "", {}, {}},
            {"OnChange", 5469, 5479, 68, edDataCheckBox, Col_Green, {}, "N", {}, {}},
            {"OnCommand", 5470, 5480, 52, edDataCheckBox, Col_Green, {}, "N", {}, {}},
            {"OnTimer", 5471, 5481, 60, edDataCheckBox, Col_Green, {}, "N", {}, {}},
            {"Time", 5472, 5482, 80, edNormal, Col_Green, {}, "", {}, {}},
            {"PositionBit", 5473, 5483, 80, edNormal, Col_Pink, {}, "", {}, {}},
            {"Mnemonic", 5474, 5484, 450, edNormal, clWhite, {}, "", {}, {}},
        };
        return s;
    }();
    return def;
}

QStringList RX2_Items(const QString& band)
{
    if (band == QLatin1String("US915"))
        return {"SF12BW500", "SF11BW500", "SF10BW500", "SF9BW500", "SF8BW500", "SF7BW500", ""};
    return {"SF12BW125", "SF11BW125", "SF10BW125", "SF9BW125", "SF8BW125", "SF7BW125", "SF7BW250", ""};
}

// ---- the file ------------------------------------------------------------------------

QStringList TLoRaWAN_Load_Report::Messages() const
{
    QStringList out;
    for (int d : Incomplete) out << Fill(SL_Lang[5517], {d});
    if (Too_Many_Devices) out << Fill(SL_Lang[5524], {LoRaWAN_Max_Devices, LoRaWAN_Max_Devices});
    for (int d : Too_Many_Rules) out << Fill(SL_Lang[5525], {d, LoRaWAN_Max_Rules, LoRaWAN_Max_Rules});
    return out;
}

TLoRaWAN_Load_Report LoRaWAN_Read(const TXMLDocument& doc, TDeviceList& devices)
{
    TLoRaWAN_Load_Report report;
    XmlNode root;
    for (const XmlNode& n : doc.Nodes())
        if (n.IsElement() && n.NodeName() == QLatin1String("LoRaWAN_Gateway")) {
            root = n;
            break;
        }
    const XmlNode list = root.IsNull() ? XmlNode() : Child_Element(root, "LoRaWAN_Devices_List");
    if (list.IsNull()) {
        report.Incomplete << 1;
        return report;
    }
    size_t i = 0;
    for (const XmlNode& e : list.ChildElements()) {
        if (i >= devices.size()) {
            report.Too_Many_Devices = true;
            break;
        }
        TDeviceLoRa& dev = *devices[i];
        const int d = int(++i);
        report.Devices_Read = d;
        TTableRow row;
        bool complete = Read_Complete(e, LoRaWAN_Device_Table(), Optional_Device, row);
        // The device's flag is on only when it is exactly "Y".
        row[dEnable] = Yes_No(row[dEnable] == QLatin1String("Y"));
        Row_To_Device(row, dev);
        const XmlNode rules = Child_Element(e, "LoRaWAN_Rules");
        const XmlNode up = rules.IsNull() ? XmlNode() : Child_Element(rules, "LoRaWAN_UpLink_Rules");
        const XmlNode down = rules.IsNull() ? XmlNode() : Child_Element(rules, "LoRaWAN_DownLink_Rules");
        bool tooMany = false;
        if (up.IsNull() || !Read_Rules(up, true, dev.UpLinkRules, tooMany)) complete = false;
        if (down.IsNull() || !Read_Rules(down, false, dev.DownLinkRules, tooMany)) complete = false;
        if (!complete) report.Incomplete << d;
        if (tooMany) report.Too_Many_Rules << d;
    }
    return report;
}

QByteArray LoRaWAN_ToBytes(const TDeviceList& devices)
{
    TXMLDocument doc;
    XmlNode root = doc.AddRoot(QStringLiteral("LoRaWAN_Gateway"));
    doc.AddDocComment(QStringLiteral("SW_VERSION = 1.000"));
    XmlNode list = root.AddChild(QStringLiteral("LoRaWAN_Devices_List"));
    for (const auto& dev : devices) {
        if (dev->DeviceEUI().trimmed().isEmpty()) break;
        TTableRow row = Device_To_Row(*dev);
        for (int k : {dDeviceEUI, dJoinEUI, dNetSessKey, dAppSessKey, dAppKey, dDevAdd}) row[k] = row[k].trimmed();
        XmlNode e = list.AddChild(QStringLiteral("LoRaWAN_Device"));
        Table_Write_Row(e, LoRaWAN_Device_Table(), row);
        XmlNode rules = e.AddChild(QStringLiteral("LoRaWAN_Rules"));
        for (const bool uplink : {true, false}) {
            const TTableDef& def = uplink ? LoRaWAN_Uplink_Table() : LoRaWAN_Downlink_Table();
            const std::vector<TTableRow> rows = Rows_Of(uplink ? dev->UpLinkRules : dev->DownLinkRules, uplink);
            XmlNode kind = rules.AddChild(def.Root);
            const int length = Table_Length(def, rows);
            for (int r = 0; r < length; ++r) {
                XmlNode rule = kind.AddChild(QStringLiteral("Rule"));
                Table_Write_Row(rule, def, rows[size_t(r)]);
            }
        }
    }
    return doc.SaveToBytes();
}

int CheckStringHex(const QString& text, int len)
{
    const QString t = text.toUpper().trimmed();
    if (t.size() != len) return 1;
    for (QChar c : t)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return 2;
    return 0;
}

QString LoRaWAN_Check(const TDeviceList& devices, bool modeMaster)
{
    if (!modeMaster) {
        if (devices.empty()) return QString();
        QString e = Check_Rules(devices[0]->UpLinkRules, true, 1);
        return e.isEmpty() ? Check_Rules(devices[0]->DownLinkRules, false, 1) : e;
    }
    std::vector<TTableRow> rows;
    for (size_t i = 0; i < devices.size(); ++i) {
        const TDeviceLoRa& dev = *devices[i];
        const int d = int(i) + 1;
        rows.push_back(Device_To_Row(dev));
        if (dev.DeviceEUI().trimmed().isEmpty()) continue;
        QString e = Check_Chars(LoRaWAN_Device_Table(), rows.back(), Fill(SL_Lang[5521], {d}));
        if (e.isEmpty()) e = Check_Device(dev, d);
        if (e.isEmpty()) e = Check_Rules(dev.UpLinkRules, true, d);
        if (e.isEmpty()) e = Check_Rules(dev.DownLinkRules, false, d);
        if (!e.isEmpty()) return e;
    }
    // Devices after an empty DeviceEUI would not be written.
    const TTableDef& def = LoRaWAN_Device_Table();
    const int length = Table_Length(def, rows);
    for (size_t i = size_t(length) + 1; i < devices.size(); ++i)
        if (Table_Row_Filled(def, rows[i]) || !devices[i]->UpLinkRules.empty() || !devices[i]->DownLinkRules.empty())
            return Fill(SL_Lang[5518], {length + 1});
    return QString();
}

// ---- the window ----------------------------------------------------------------------

namespace {

constexpr int Client_Width = 1150;
constexpr int Client_Height = 660;

QWidget* Title_Bar(QWidget* parent, QLabel*& label)
{
    auto* bar = new QWidget(parent);
    bar->setFixedHeight(17);
    bar->setAutoFillBackground(true);
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    pal.setColor(QPalette::WindowText, Qt::white);
    bar->setPalette(pal);
    label = new QLabel(bar);
    label->setGeometry(6, 1, 600, 15);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return bar;
}

} // namespace

TFLoRaWAN_Gateway::TFLoRaWAN_Gateway(QWidget* parent)
    : TForm(parent), m_devices(std::make_unique<TExtStringGrid>()), m_uplink(std::make_unique<TExtColumnGrid>()),
      m_downlink(std::make_unique<TExtColumnGrid>()), ESG_LoRaWAN_Device_List(*m_devices),
      ACG_LoRaWAN_Uplink(*m_uplink), ACG_LoRaWAN_Downlink(*m_downlink)
{
    QVBoxLayout* layout = Editor_Window_Frame(this, Qt::WindowMaximizeButtonHint);
    P_Title = Make_Title_Panel(this, L_SW_Code, L_SW_Desc);
    layout->addWidget(P_Title);

    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    PLoRaWAN_Device_List = new QWidget(Splitter1);
    auto* devLayout = new QVBoxLayout(PLoRaWAN_Device_List);
    devLayout->setContentsMargins(0, 0, 0, 0);
    devLayout->setSpacing(0);
    devLayout->addWidget(Title_Bar(PLoRaWAN_Device_List, LLoRaWAN_Device_List_Title));
    Init_Table();
    devLayout->addWidget(m_devices->CreateWidget(PLoRaWAN_Device_List), 1);
    auto* panel2 = new QWidget(PLoRaWAN_Device_List);
    panel2->setFixedHeight(12);
    devLayout->addWidget(panel2);

    PLoRaWAN_Rules_List = new QWidget(Splitter1);
    auto* rulesLayout = new QVBoxLayout(PLoRaWAN_Rules_List);
    rulesLayout->setContentsMargins(0, 0, 0, 0);
    rulesLayout->setSpacing(0);
    rulesLayout->addWidget(Title_Bar(PLoRaWAN_Rules_List, LLoRaWAN_Rules_List_Title));
    PC_LoRaWAN_Device_Rules_List = new QTabWidget(PLoRaWAN_Rules_List);
    const auto page = [this](TExtColumnGrid& grid) {
        auto* p = new QWidget(PC_LoRaWAN_Device_Rules_List);
        auto* l = new QVBoxLayout(p);
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(grid.CreateWidget(p));
        return p;
    };
    TS_LoRaWAN_Uplink_Rules_List = page(*m_uplink);
    TS_LoRaWAN_Downlink_Rules_List = page(*m_downlink);
    PC_LoRaWAN_Device_Rules_List->addTab(TS_LoRaWAN_Uplink_Rules_List, QString());
    PC_LoRaWAN_Device_Rules_List->addTab(TS_LoRaWAN_Downlink_Rules_List, QString());
    rulesLayout->addWidget(PC_LoRaWAN_Device_Rules_List, 1);
    Splitter1->addWidget(PLoRaWAN_Device_List);
    Splitter1->addWidget(PLoRaWAN_Rules_List);
    Splitter1->setSizes({196, Client_Height - 69 - 40 - 196 - 3});
    layout->addWidget(Splitter1, 1);

    Make_Button_Panel(this);
    layout->addWidget(P_Button);

    for (TExtStringGrid* g : {m_devices.get(), static_cast<TExtStringGrid*>(m_uplink.get()),
                              static_cast<TExtStringGrid*>(m_downlink.get())}) {
        g->OnEnter = [this](TCustomGrid* sender) { Grid_Enter(sender); };
        g->OnExit = [this](TCustomGrid* sender) { Grid_Exit(sender); };
        g->OnKeyPress = [g](TCustomGrid*, QChar& key) { Grid_Enter_Next_Cell(g, key); };
        g->OnDblClickCell = [](TExtStringGrid* grid, int row, int col) { Grid_DblClick_AutoSize(grid, row, col); };
    }
    // Whatever moves the device grid's current row (mouse, keyboard, a
    // program), the rules shown go back to their device first.
    m_devices->OnSelectCell = [this](TCustomGrid*, int, int r, bool&) {
        if (!ModeMaster || r == m_devices->Row() || r < 1 || r > LoRaWAN_Max_Devices) return;
        Store_Shown_Rules();
        Show_Rules_Of(DeviceList[size_t(r - 1)].get());
    };
    m_devices->OnGetEditorType = [this](TExtStringGrid* sender, int c, int r, TEditorType& editor) {
        ESG_LoRaWAN_Device_ListGetEditorType(sender, c, editor, r);
    };
    m_devices->OnComboChange = [this](TExtStringGrid* sender, int c, int r, int index, const QString& value) {
        ESG_LoRaWAN_Device_ListComboChange(sender, c, value, index, r);
    };

    for (int i = 0; i < LoRaWAN_Max_Devices; ++i) DeviceList.push_back(std::make_unique<TDeviceLoRa>());
    Act_Meth_SL = {LoRaWAN_ABP, LoRaWAN_OTAA};
    Class_SL = {QStringLiteral("A"), QStringLiteral("C")};
    RX2_SL = RX2_Items(QString());

    SetClientSize(Client_Width, Client_Height);
    Set_Lang();
}

TFLoRaWAN_Gateway::~TFLoRaWAN_Gateway() = default;

void TFLoRaWAN_Gateway::Init_Table()
{
    // The device grid: a string grid whose Enable column carries real check
    // boxes and whose cells carry their colours of their own. It shows no
    // cell hints: the column descriptions are kept in the hint lists only.
    TExtStringGrid& g = *m_devices;
    const TTableDef& def = LoRaWAN_Device_Table();
    const int n = int(def.Columns.size());
    g.SetColCount(n + 1);
    g.SetRowCount(LoRaWAN_Max_Devices + 1);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    g.SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goColSizing,
                              goEditing});
    g.SetScrollBars(TScrollStyle::ssBoth);
    g.SetDefaultRowHeight(22);
    g.SetColWidths(0, 40);
    for (int c = 1; c <= n; ++c) g.SetColWidths(c, def.Columns[size_t(c - 1)].Width);
    Set_Device_Headers();
    g.AddCheckBoxColumn(Col_Enable, true, false);
    for (int r = 1; r <= LoRaWAN_Max_Devices; ++r) {
        g.SetCells(0, r, QString::number(r));
        for (int c = 1; c <= n; ++c) g.SetColors(c, r, def.Columns[size_t(c - 1)].Color);
        g.SetAlignments(Col_Enable, r, taCenter);
    }

    Table_Setup_Grid(*m_uplink, LoRaWAN_Uplink_Table(), false);
    Table_Setup_Grid(*m_downlink, LoRaWAN_Downlink_Table(), false);
}

void TFLoRaWAN_Gateway::Set_Device_Headers()
{
    const TTableDef& def = LoRaWAN_Device_Table();
    m_devices->SetCells(0, 0, SL_Lang[5418]);
    for (size_t c = 0; c < def.Columns.size(); ++c) m_devices->SetCells(int(c) + 1, 0, SL_Lang[def.Columns[c].HeaderText]);
}

TTableRow TFLoRaWAN_Gateway::Device_Grid_Row(int row)
{
    TTableRow cells;
    bool on = false;
    // A cell without a box reads as not enabled.
    if (!m_devices->GetCheckBoxState(Col_Enable, row, on)) on = false;
    cells << Yes_No(on);
    for (int c = Col_Enable + 1; c <= int(LoRaWAN_Device_Table().Columns.size()); ++c) cells << m_devices->Cells(c, row);
    return cells;
}

void TFLoRaWAN_Gateway::Set_Device_Grid_Row(int row, const TTableRow& cells)
{
    m_devices->SetCheckBoxState(Col_Enable, row, !cells.isEmpty() && Is_Yes(cells[0]));
    for (int c = Col_Enable + 1; c <= int(LoRaWAN_Device_Table().Columns.size()); ++c)
        m_devices->SetCells(c, row, c - 1 < cells.size() ? cells[c - 1] : QString());
}

void TFLoRaWAN_Gateway::Free_Device_Row(int row)
{
    for (int c = Col_Enable; c <= int(LoRaWAN_Device_Table().Columns.size()); ++c) m_devices->SetReadOnly(c, row, false);
}

void TFLoRaWAN_Gateway::Set_Lang()
{
    setWindowTitle(SL_Lang[5400]);
    L_SW_Desc->setText(SL_Lang[5401]);
    Set_Button_Texts(5402, 5408);
    LLoRaWAN_Device_List_Title->setText(SL_Lang[5414]);
    LLoRaWAN_Rules_List_Title->setText(SL_Lang[5415]);
    Set_Device_Headers();
    Hint_Dev.clear();
    for (const TTableColumn& c : LoRaWAN_Device_Table().Columns) Hint_Dev << SL_Lang[c.HintText];
    Table_Set_Lang(*m_uplink, LoRaWAN_Uplink_Table(), 5443, Hint_Uplink);
    Table_Set_Lang(*m_downlink, LoRaWAN_Downlink_Table(), 5464, Hint_Downlink);
    Set_Tabs();
}

void TFLoRaWAN_Gateway::Set_Tabs()
{
    // In end-node mode the downlink grid comes first, under the uplink
    // caption: the device's own point of view.
    QTabWidget* pc = PC_LoRaWAN_Device_Rules_List;
    QWidget* first = ModeMaster ? TS_LoRaWAN_Uplink_Rules_List : TS_LoRaWAN_Downlink_Rules_List;
    QWidget* second = ModeMaster ? TS_LoRaWAN_Downlink_Rules_List : TS_LoRaWAN_Uplink_Rules_List;
    if (pc->widget(0) != first) {
        pc->clear();
        pc->addTab(first, QString());
        pc->addTab(second, QString());
    }
    pc->setTabText(0, SL_Lang[5416]);
    pc->setTabText(1, SL_Lang[5417]);
}

bool TFLoRaWAN_Gateway::Is_a_Master() const
{
    if (!QFileInfo(ParGen_File).isFile()) return true;
    TXMLDocument doc;
    if (!doc.TryLoadFromFile(ParGen_File)) return true;
    const XmlNode root = doc.DocumentElement();
    if (root.IsNull()) return true;
    const XmlNode mode = root.FindChild(QStringLiteral("LoRaWAN_Mode"));
    return mode.IsNull() || mode.Text().toUpper() != QLatin1String("END NODE");
}

void TFLoRaWAN_Gateway::Clear_Rules_List()
{
    m_shown = nullptr;
    for (auto& d : DeviceList) d->Clear();
}

void TFLoRaWAN_Gateway::Clear_Devices_Table()
{
    // Every row is ticked, emptied and made editable again: a row freed by a
    // delete or a key cell of the activation rule must not stay read-only
    // into the next showing.
    const TTableRow cleared = Device_To_Row(TDeviceLoRa());
    for (int r = 1; r <= LoRaWAN_Max_Devices; ++r) {
        Set_Device_Grid_Row(r, cleared);
        Free_Device_Row(r);
    }
}

void TFLoRaWAN_Gateway::Clear_Rules_Tables()
{
    Table_To_Grid(*m_uplink, LoRaWAN_Uplink_Table(), Rule_Rows({}, true));
    Table_To_Grid(*m_downlink, LoRaWAN_Downlink_Table(), Rule_Rows({}, false));
}

void TFLoRaWAN_Gateway::Load_Configuration()
{
    RX2_SL = RX2_Items(QString());
    if (QFileInfo(ParGen_File).isFile()) {
        TXMLDocument doc;
        if (doc.TryLoadFromFile(ParGen_File) && !doc.DocumentElement().IsNull()) {
            const XmlNode band = doc.DocumentElement().FindChild(QStringLiteral("LoRaWAN_RF_Band"));
            if (!band.IsNull()) RX2_SL = RX2_Items(band.Text());
        }
    }

    QStringList problems;
    int read = 0;
    if (QFileInfo(LoRaWAN_Gateway_File).isFile()) {
        TXMLDocument doc;
        QString error;
        if (doc.TryLoadFromFile(LoRaWAN_Gateway_File, &error)) {
            const TLoRaWAN_Load_Report report = LoRaWAN_Read(doc, DeviceList);
            problems = report.Messages();
            read = report.Devices_Read;
        } else {
            // Nothing is read; saving would replace the unreadable file.
            problems << error;
        }
    }
    // The end node without a device of its own: the default one.
    if (!ModeMaster && read == 0) DeviceList[0]->SetDeviceEUI(QStringLiteral("0001020304050607"));
    for (const QString& p : problems) MessageDlg(p, TMsgDlgType::mtWarning, mbOK);
}

void TFLoRaWAN_Gateway::Show_Data_Devices_Table()
{
    for (size_t i = 0; i < DeviceList.size() && int(i) < LoRaWAN_Max_Devices; ++i)
        Set_Device_Grid_Row(int(i) + 1, Device_To_Row(*DeviceList[i]));
    Apply_Activation_All();
}

int TFLoRaWAN_Gateway::Current_Device() const
{
    if (!ModeMaster) return 0;
    const int r = m_devices->Row();
    return r >= 1 && r <= LoRaWAN_Max_Devices ? r - 1 : -1;
}

void TFLoRaWAN_Gateway::Show_Rules_Data()
{
    const int i = Current_Device();
    Show_Rules_Of(i < 0 ? nullptr : DeviceList[size_t(i)].get());
}

void TFLoRaWAN_Gateway::Show_Rules_Of(TDeviceLoRa* device)
{
    m_shown = device;
    static const TRuleList none;
    Table_To_Grid(*m_uplink, LoRaWAN_Uplink_Table(), Rule_Rows(device ? device->UpLinkRules : none, true));
    Table_To_Grid(*m_downlink, LoRaWAN_Downlink_Table(), Rule_Rows(device ? device->DownLinkRules : none, false));
}

void TFLoRaWAN_Gateway::Store_Shown_Rules()
{
    if (!m_shown) return;
    for (TExtColumnGrid* g : {m_uplink.get(), m_downlink.get()})
        if (g->EditorMode()) g->HideEditor();
    Rules_From_Grid(*m_uplink, true, m_shown->UpLinkRules);
    Rules_From_Grid(*m_downlink, false, m_shown->DownLinkRules);
}

TExtColumnGrid* TFLoRaWAN_Gateway::Rule_Grid(int32_t which) const
{
    return which == 2 ? m_downlink.get() : m_uplink.get();
}

TExtStringGrid* TFLoRaWAN_Gateway::Grid_Of(int32_t which) const
{
    if (which == 1 || which == 2) return Rule_Grid(which);
    return m_devices.get();
}

void TFLoRaWAN_Gateway::Grid_Enter(TCustomGrid* grid)
{
    for (int32_t i = 0; i < 3; ++i)
        if (Grid_Of(i) == grid) Last_Grid = i;
}

void TFLoRaWAN_Gateway::Grid_Exit(TCustomGrid* grid)
{
    if (grid == m_devices.get())
        Save_Device_List();
    else if (grid == m_uplink.get())
        Save_UpLink_Rules_List();
    else if (grid == m_downlink.get())
        Save_DownLink_Rules_List();
}

void TFLoRaWAN_Gateway::Save_Device_List()
{
    if (!ModeMaster) return; // the hidden list stays as it was read
    if (m_devices->EditorMode()) m_devices->HideEditor();
    for (size_t i = 0; i < DeviceList.size() && int(i) < LoRaWAN_Max_Devices; ++i)
        Row_To_Device(Device_Grid_Row(int(i) + 1), *DeviceList[i]);
}

void TFLoRaWAN_Gateway::Save_UpLink_Rules_List()
{
    if (m_shown) Rules_From_Grid(*m_uplink, true, m_shown->UpLinkRules);
}

void TFLoRaWAN_Gateway::Save_DownLink_Rules_List()
{
    if (m_shown) Rules_From_Grid(*m_downlink, false, m_shown->DownLinkRules);
}

void TFLoRaWAN_Gateway::Apply_Activation(int row, const QString& method)
{
    const bool otaa = method == LoRaWAN_OTAA;
    m_devices->SetReadOnly(Col_NetSessKey, row, otaa);
    m_devices->SetReadOnly(Col_AppSessKey, row, otaa);
    m_devices->SetReadOnly(Col_AppKey, row, !otaa);
}

void TFLoRaWAN_Gateway::Apply_Activation_All()
{
    for (int r = 1; r <= LoRaWAN_Max_Devices; ++r) Apply_Activation(r, m_devices->Cells(Col_ActMethod, r));
}

void TFLoRaWAN_Gateway::ESG_LoRaWAN_Device_ListGetEditorType(TExtStringGrid* sender, int col, TEditorType& editor, int)
{
    const QStringList* items = col == Col_ActMethod ? &Act_Meth_SL
                               : col == Col_Class   ? &Class_SL
                               : col == Col_RX2     ? &RX2_SL
                                                    : nullptr;
    if (!items) return;
    editor = edComboList;
    sender->ClearComboString();
    for (const QString& item : *items) sender->AddComboString(item);
}

void TFLoRaWAN_Gateway::ESG_LoRaWAN_Device_ListComboChange(TExtStringGrid*, int col, const QString& value, int,
                                                           int row)
{
    if (col != Col_ActMethod || row < 1) return;
    Apply_Activation(row, value);
    m_devices->Invalidate();
}

void TFLoRaWAN_Gateway::Delete_Device_From_List(int index)
{
    if (index < 0 || index >= int(DeviceList.size())) return;
    if (m_shown == DeviceList[size_t(index)].get()) m_shown = nullptr;
    DeviceList.erase(DeviceList.begin() + index);
    DeviceList.push_back(std::make_unique<TDeviceLoRa>());
}

void TFLoRaWAN_Gateway::FormShow()
{
    Clear_Rules_List();
    Clear_Devices_Table();
    Clear_Rules_Tables();
    ModeMaster = Is_a_Master();
    PLoRaWAN_Device_List->setVisible(ModeMaster);
    Set_Tabs();
    PC_LoRaWAN_Device_Rules_List->setCurrentIndex(0);
    Load_Configuration();
    Show_Data_Devices_Table();
    Show_Rules_Data();
    Last_Grid = 0;
    DoCopy_Dev = DoCopy_Up = DoCopy_Down = false;
}

bool TFLoRaWAN_Gateway::Check_Data()
{
    const QString error = LoRaWAN_Check(DeviceList, ModeMaster);
    if (error.isEmpty()) return true;
    MessageDlg(error, TMsgDlgType::mtError, mbOK);
    return false;
}

bool TFLoRaWAN_Gateway::Save_Configuration()
{
    try {
        WriteFileAtomic(LoRaWAN_Gateway_File, LoRaWAN_ToBytes(DeviceList));
    } catch (const Exception& e) {
        MessageDlg(e.Message(), TMsgDlgType::mtError, mbOK);
        return false;
    }
    SetModalResult(mrOk);
    return true;
}

void TFLoRaWAN_Gateway::Btn_OKClick()
{
    // The grids' latest edits reach the objects even when no focus change
    // ran their exit.
    Save_Device_List();
    Store_Shown_Rules();
    if (Check_Data()) Save_Configuration();
}

void TFLoRaWAN_Gateway::Btn_CopyRowClick()
{
    if (Last_Grid == 0)
        Grid_Copy_Row_CheckBox(m_devices.get(), m_devices->Row());
    else
        Grid_Copy_Row(Rule_Grid(Last_Grid), Rule_Grid(Last_Grid)->Row());
    DoCopy_Dev = Last_Grid == 0;
    DoCopy_Up = Last_Grid == 1;
    DoCopy_Down = Last_Grid == 2;
}

void TFLoRaWAN_Gateway::Btn_PasteRowClick()
{
    if (Last_Grid == 0) {
        const int row = m_devices->Row();
        Grid_Paste_Row_CheckBox(m_devices.get(), row, DoCopy_Dev);
        Apply_Activation(row, m_devices->Cells(Col_ActMethod, row));
        Save_Device_List();
        return;
    }
    TExtColumnGrid* g = Rule_Grid(Last_Grid);
    Grid_Paste_Row(g, g->Row(), Last_Grid == 1 ? DoCopy_Up : DoCopy_Down);
    Grid_Exit(g);
}

void TFLoRaWAN_Gateway::Btn_InsRowClick()
{
    if (Last_Grid != 0) {
        TExtColumnGrid* g = Rule_Grid(Last_Grid);
        if (Grid_Insert_Row(g->Row(), g, true)) Grid_Exit(g);
        return;
    }
    const int row = m_devices->Row();
    Store_Shown_Rules();
    if (!Grid_Insert_Row_CheckBox(row, m_devices.get(), true)) return;
    if (row >= 1 && row <= LoRaWAN_Max_Devices) {
        if (m_shown == DeviceList.back().get()) m_shown = nullptr;
        DeviceList.pop_back();
        DeviceList.insert(DeviceList.begin() + (row - 1), std::make_unique<TDeviceLoRa>());
    }
    Save_Device_List();
    Apply_Activation_All();
    Show_Rules_Data();
}

void TFLoRaWAN_Gateway::Btn_DelRowClick()
{
    TExtStringGrid* g = Grid_Of(Last_Grid);
    const int row = g->Row();
    const int text = 3346 + Last_Grid;
    if (MessageDlg(Fill(SL_Lang[text], {row}), TMsgDlgType::mtConfirmation, mbYesNo) != mrYes) return;
    if (Last_Grid != 0) {
        Grid_Delete_Row(row, Rule_Grid(Last_Grid));
        Grid_Exit(g);
        return;
    }
    Store_Shown_Rules();
    Grid_Delete_Row_CheckBox(row, m_devices.get(), true);
    // The row freed at the end holds a real, empty device, which the user
    // may fill like any other: it stays editable (the row routine marks it
    // read-only, as the grids with free rows at the end need).
    if (row >= 1 && row <= LoRaWAN_Max_Devices) Free_Device_Row(LoRaWAN_Max_Devices);
    Delete_Device_From_List(row - 1);
    Save_Device_List();
    Apply_Activation_All();
    Show_Rules_Data();
}
