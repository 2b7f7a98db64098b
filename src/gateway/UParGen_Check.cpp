// The checks that OK runs before ParGen.xml is written. They stop at the
// first failure and name the text of its message.
#include "gateway/UParGen.h"

#include "platform/SysUtils.h"

namespace {

// Text that is no integer counts as -1, which every range below refuses.
bool InRange(const QString& text, int lo, int hi)
{
    const int n = StrToIntDef(text, -1);
    return n >= lo && n <= hi;
}

bool NotEmpty(const QString& text) { return !Trim(text).isEmpty(); }

} // namespace

std::optional<int> ParGen_Check(const TParGen_CheckInput& in)
{
    if (in.Enable_DNS) {
        for (int i = 0; i < 4; ++i)
            if (!InRange(in.Pri_DNS[i], 0, 255)) return 1051 + i;
        for (int i = 0; i < 4; ++i)
            if (!InRange(in.Sec_DNS[i], 0, 255)) return 1055 + i;
    }
    if (!NotEmpty(in.RF_Band)) return 1396;

    struct Step {
        const TParGen_Field& field;
        std::function<bool(const QString&)> ok;
        int text;
    };
    const auto range = [](int lo, int hi) { return [lo, hi](const QString& t) { return InRange(t, lo, hi); }; };
    const auto length = [](int n, bool atLeast) {
        return [n, atLeast](const QString& t) { return atLeast ? t.size() >= n : t.size() == n; };
    };
    const std::function<bool(const QString&)> notEmpty = NotEmpty;
    const Step steps[] = {
        {in.Server_Port_Up, range(0, 65535), 1343},
        {in.Server_Port_Down, range(0, 65535), 1344},
        {in.KeepAlive_Interval, range(0, 10000000), 1345},
        {in.Network_Type, notEmpty, 1397},
        {in.Diag_Pos, range(0, ParGen_Max_Diag_Pos), 1408},
        {in.DataRate, notEmpty, 1398},
        {in.Transmission_Type, notEmpty, 1399},
        {in.Join_EUI, length(16, true), 1400},
        {in.Activation_Method, notEmpty, 1401},
        {in.Device_Address, length(8, false), 1402},
        {in.Network_Session_Key, length(32, false), 1403},
        {in.Application_Session_Key, length(32, false), 1404},
        {in.Application_Key, length(32, false), 1405},
    };
    for (const Step& s : steps)
        if (s.field.Visible && !s.ok(s.field.Text)) return s.text;

    for (int i = 0; i < 4; ++i)
        if (!InRange(in.IP[i], 0, 255)) return 1142 + i;
    for (int i = 0; i < 4; ++i)
        if (!InRange(in.SM[i], 0, 255)) return 1146 + i;
    if (in.En_GAT) {
        for (int i = 0; i < 4; ++i)
            if (!InRange(in.GAT[i], 0, 255)) return 1150 + i;
    }
    return std::nullopt;
}

QString ParGen_Check_Message(int textNumber, const std::function<QString(int)>& text)
{
    QString s = text(textNumber);
    if (textNumber == 1408) {
        // Only the first "%d" is filled; a translation without one is shown as it is.
        const int at = s.indexOf(QLatin1String("%d"));
        if (at >= 0) s.replace(at, 2, QString::number(ParGen_Max_Diag_Pos));
    }
    return s;
}
