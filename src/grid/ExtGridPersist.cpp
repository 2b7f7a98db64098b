// Settings of the string grid kept outside the form: the column layout as
// one line of text, the column widths and order in an INI file or the
// per-user key store, the look in a text file of "Key=Value" lines and the
// print settings in an INI section.
//
// Every reader checks all it reads before it changes anything: a bad value
// raises an error naming its key or field and leaves the grid as it was.
// Readers never write their file.
#include "grid/ExtGrid.h"

#include "controls/ExtUtil.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <optional>

namespace {

// Column widths outside this range keep the current width.
constexpr int kMaxStoredWidth = 32767;
// The largest column count a column-state line may ask for.
constexpr int kMaxStateColumns = 65535;
// Settings files larger than this are refused unread.
constexpr qint64 kMaxVisualPropsFile = 1 << 20;
constexpr qint64 kMaxIniFile = 16 << 20;

// Error texts quote at most this much of a bad value.
QString Quoted(const QString& v) { return v.size() > 40 ? v.left(40) + QStringLiteral("...") : v; }

EConvertError NotInteger(const QString& value, const QString& where)
{
    return EConvertError(QStringLiteral("'%1' is not a valid integer value (%2)").arg(Quoted(value), where));
}

Exception ListIndex(int index, const QString& where)
{
    return Exception(QStringLiteral("List index out of bounds (%1) (%2)").arg(index).arg(where));
}

void RefuseLargeFile(const QString& fileName, qint64 limit)
{
    const QFileInfo fi(fileName);
    if (fi.exists() && fi.size() > limit)
        throw EFileError(QStringLiteral("Cannot open file %1: larger than %2 bytes").arg(fileName).arg(limit));
}

// True when the values are 0 .. size-1, each once.
bool IsPermutation(const std::vector<int>& v)
{
    std::vector<char> seen(v.size(), 0);
    for (int x : v) {
        if (x < 0 || size_t(x) >= v.size() || seen[size_t(x)]) return false;
        seen[size_t(x)] = 1;
    }
    return true;
}

// For each value k, the position that holds it.
std::vector<int> Inverse(const std::vector<int>& v)
{
    std::vector<int> inv(v.size());
    for (size_t p = 0; p < v.size(); ++p) inv[size_t(v[p])] = int(p);
    return inv;
}

bool HasLineBreak(const QString& s) { return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')); }

} // namespace

// ---------------------------------------------------------------------------
// Column-state text

QString TExtStringGrid::ColumnStatesToString()
{
    const int n = ColCount() + NumHiddenColumns();
    QStringList widths, order, visible;
    for (int d = 0; d < ColCount(); ++d) widths << QString::number(ColWidths(d));
    // The hidden columns' widths follow, so that showing them again later
    // gives back the widths they had.
    for (const THiddenCol& h : FHiddenCols) widths << QString::number(h.Width);
    // The order list may have been recorded while columns were hidden, with
    // fewer entries than columns: the indexes it lacks follow, so that the
    // line always holds one entry per column and reads back.
    std::vector<char> listed(size_t(n), 0);
    for (int i = 0; i < FColumnOrder.Count(); ++i) {
        const int v = FColumnOrder.Items(i);
        order << QString::number(v);
        if (v >= 0 && v < n) listed[size_t(v)] = 1;
    }
    for (int v = 0; v < n && order.size() < n; ++v)
        if (!listed[size_t(v)]) order << QString::number(v);
    for (int c = 0; c < n; ++c) visible << (IsHiddenColumn(c) ? QStringLiteral("0") : QStringLiteral("1"));
    return QString::number(n) + QLatin1Char('#') + widths.join(QLatin1Char(',')) + QLatin1Char('#') +
           order.join(QLatin1Char(',')) + QLatin1Char('#') + visible.join(QLatin1Char(','));
}

void TExtStringGrid::StringToColumnStates(const QString& value)
{
    if (!value.contains(QLatin1Char('#'))) return;
    const QStringList fields = value.split(QLatin1Char('#'));
    const auto field = [&fields](int i) { return i < fields.size() ? fields[i] : QString(); };
    const auto entries = [](const QString& f) { return f.isEmpty() ? QStringList() : f.split(QLatin1Char(',')); };
    const auto toInt = [](const QString& s, const QString& where) {
        const auto v = TryStrToInt(s);
        if (!v) throw NotInteger(s, where);
        return *v;
    };

    // Everything is read and checked first.
    const int n = toInt(field(0), QStringLiteral("column count"));
    if (n < 0 || n > kMaxStateColumns)
        throw EConvertError(QStringLiteral("Column count %1 out of range (0 .. %2)").arg(n).arg(kMaxStateColumns));

    const QStringList orderField = entries(field(2));
    std::vector<int> order;
    bool useOrder = false;
    if (!orderField.isEmpty()) {
        if (orderField.size() < n) throw ListIndex(orderField.size(), QStringLiteral("order field"));
        for (int i = 0; i < n; ++i) {
            const int v = toInt(orderField[i], QStringLiteral("order field"));
            if (v != -1) order.push_back(v);
        }
        // An order that is no arrangement of all the columns is not used.
        useOrder = !order.empty() && int(order.size()) == n && IsPermutation(order);
    }

    const QStringList flags = entries(field(3));
    if (flags.size() < n) throw ListIndex(flags.size(), QStringLiteral("visibility field"));
    // The columns that end up hidden: the grid always keeps one shown.
    std::vector<int> hidden;
    int shown = n;
    for (int c = n - 1; c >= 0; --c)
        if (flags[c] == QLatin1String("0") && shown >= 2) {
            hidden.push_back(c);
            --shown;
        }
    std::reverse(hidden.begin(), hidden.end());

    const QStringList widthField = entries(field(1));
    if (widthField.size() < shown) throw ListIndex(widthField.size(), QStringLiteral("width field"));
    const int widthCount = std::min<int>(widthField.size(), shown + int(hidden.size()));
    std::vector<int> widths;
    widths.reserve(size_t(widthCount));
    for (int i = 0; i < widthCount; ++i) widths.push_back(toInt(widthField[i], QStringLiteral("width field")));

    // Then applied.
    FColumnOrder.Clear();
    UnHideColumnsAll();
    SetColCount(n);
    if (useOrder) {
        const std::vector<int> inv = Inverse(order);
        for (int v : inv) FColumnOrder.Add(v);
        ResetColumnOrder();
        FColumnOrder.Clear();
        for (int v : order) FColumnOrder.Add(v);
    }
    for (auto it = hidden.rbegin(); it != hidden.rend(); ++it) HideColumn(*it);

    const bool stretch = FColumnSize->Stretch();
    FColumnSize->SetStretch(false);
    if (stretch) {
        int sc = FColumnSize->StretchColumn();
        if (sc == -1) sc = ColCount() - 1;
        if (sc >= 0 && sc < ColCount()) SetDefaultColWidth(ColWidths(sc));
    }
    const auto valid = [](int w) { return w >= 0 && w <= kMaxStoredWidth; };
    for (int d = 0; d < ColCount() && d < int(widths.size()); ++d)
        if (valid(widths[size_t(d)])) SetColWidths(d, widths[size_t(d)]);
    for (size_t k = 0; k < FHiddenCols.size(); ++k) {
        const size_t i = size_t(ColCount()) + k;
        if (i < widths.size() && valid(widths[i])) FHiddenCols[k].Width = widths[i];
    }
    FColumnSize->SetStretch(stretch);
}

// ---------------------------------------------------------------------------
// Column widths and order in the INI file or the per-user key store

namespace {

bool StoreNamed(const TColumnSize& cs) { return !cs.Key().isEmpty() && !cs.Section().isEmpty(); }

// The store ColumnSize names; null when reading a store that does not exist.
std::unique_ptr<TIniFile> OpenStore(const TColumnSize& cs, bool forWriting)
{
    if (cs.Location() == TColumnSizeLocation::clRegistry) {
        const QString file = RegistryKeyFileName(cs.Key());
        if (!forWriting && !FileExists(file)) return nullptr;
        RefuseLargeFile(file, kMaxIniFile);
        return OpenRegistryKey(cs.Key(), forWriting);
    }
    if (!forWriting && !FileExists(cs.Key())) return nullptr;
    RefuseLargeFile(cs.Key(), kMaxIniFile);
    return std::make_unique<TIniFile>(cs.Key());
}

} // namespace

void TExtStringGrid::SaveColSizes()
{
    if (!StoreNamed(*FColumnSize)) return;
    const auto store = OpenStore(*FColumnSize, true);
    store->BeginUpdate();
    for (int d = 0; d < ColCount(); ++d)
        store->WriteInteger(FColumnSize->Section(), QStringLiteral("Col") + QString::number(d), ColWidths(d));
    store->EndUpdate();
}

void TExtStringGrid::LoadColSizes()
{
    if (!StoreNamed(*FColumnSize)) return;
    const auto store = OpenStore(*FColumnSize, false);
    if (!store) return;
    const QString section = FColumnSize->Section();
    std::vector<int> widths(static_cast<size_t>(ColCount()));
    for (int d = 0; d < ColCount(); ++d) {
        // A value that is no number or no width keeps the current width.
        const int w = store->ReadInteger(section, QStringLiteral("Col") + QString::number(d), ColWidths(d));
        widths[size_t(d)] = w >= 0 && w <= kMaxStoredWidth ? w : ColWidths(d);
    }
    for (int d = 0; d < ColCount(); ++d)
        if (widths[size_t(d)] != ColWidths(d)) SetColWidths(d, widths[size_t(d)]);
}

void TExtStringGrid::SaveColPositions()
{
    if (!StoreNamed(*FColumnSize) || FColumnOrder.Count() == 0) return;
    const auto store = OpenStore(*FColumnSize, true);
    store->BeginUpdate();
    for (int i = 0; i < FColumnOrder.Count(); ++i)
        store->WriteInteger(FColumnSize->Section(), QStringLiteral("Pos") + QString::number(i), FColumnOrder.Items(i));
    store->EndUpdate();
}

void TExtStringGrid::LoadColPositions()
{
    if (!StoreNamed(*FColumnSize)) return;
    const auto store = OpenStore(*FColumnSize, false);
    if (!store) return;
    const QString section = FColumnSize->Section();
    const auto pos = [&](int i) { return store->ReadInteger(section, QStringLiteral("Pos") + QString::number(i), -1); };
    if (pos(0) == -1) return;
    const int m = AllColCount();
    std::vector<int> order;
    for (int i = 0; i < m; ++i)
        if (const int v = pos(i); v != -1) order.push_back(v);
    // Values that are no arrangement of all the columns change nothing.
    if (int(order.size()) != m || !IsPermutation(order)) return;

    std::vector<int> wasHidden;
    for (const THiddenCol& h : FHiddenCols) wasHidden.push_back(h.Real);
    UnHideColumnsAll();
    FColumnOrder.Clear();
    for (int v : Inverse(order)) FColumnOrder.Add(v);
    ResetColumnOrder();
    for (auto it = wasHidden.rbegin(); it != wasHidden.rend(); ++it) HideColumn(*it);
    FColumnOrder.Clear();
    for (int v : order) FColumnOrder.Add(v);
}

// ---------------------------------------------------------------------------
// Visual properties

namespace {

const char* const kControlStyleNames[] = {"csClassic", "csFlat", "csWinXP", "csBorland", "csStudio", "csGlyph", "csTheme"};
const char* const kLookNames[] = {"glStandard", "glSoft",  "glClassic", "glStudio",     "glXP",
                                  "glListView", "glVista", "glWin7",    "glOffice2007", "glCustom"};
const char* const kDisplayNames[] = {"bdTile", "bdFixed", "bdGradientHorz", "bdGradientVert"};
const char* const kCellsNames[] = {"bcNormal", "bcFixed", "bcAll"};

QString FontStyleText(const QFont& f)
{
    QStringList s;
    if (f.bold()) s << QStringLiteral("fsBold");
    if (f.italic()) s << QStringLiteral("fsItalic");
    if (f.underline()) s << QStringLiteral("fsUnderline");
    if (f.strikeOut()) s << QStringLiteral("fsStrikeOut");
    return s.join(QLatin1Char(','));
}

// The lines of a visual-properties file as a lookup by key: the first line
// whose text before its first "=" equals the key, in any letter case.
class TVisualReader {
public:
    explicit TVisualReader(const QStringList& lines)
    {
        for (const QString& l : lines) {
            const qsizetype eq = l.indexOf(QLatin1Char('='));
            if (eq < 0) continue;
            const QString key = l.left(eq).toCaseFolded();
            if (!FValues.contains(key)) FValues.insert(key, l.mid(eq + 1));
        }
    }

    std::optional<QString> Text(const QString& key) const
    {
        const auto it = FValues.constFind(key.toCaseFolded());
        if (it == FValues.constEnd()) return std::nullopt;
        return *it;
    }
    std::optional<TColor> Color(const QString& key) const
    {
        const auto v = Text(key);
        if (!v) return std::nullopt;
        if (v->isEmpty()) return clNone;
        TColor c = clNone;
        if (!TryStringToColor(*v, c)) throw NotInteger(*v, key);
        return c;
    }
    std::optional<bool> Bool(const QString& key) const
    {
        const auto v = Text(key);
        if (!v) return std::nullopt;
        return v->toUpper() == QLatin1String("TRUE");
    }
    std::optional<int> Int(const QString& key, int lo, int hi) const
    {
        const auto v = Text(key);
        if (!v) return std::nullopt;
        const auto i = TryStrToInt(*v);
        if (!i) throw NotInteger(*v, key);
        if (*i < lo || *i > hi)
            throw EConvertError(QStringLiteral("%1 out of range (%2 .. %3) (%4)").arg(*i).arg(lo).arg(hi).arg(key));
        return *i;
    }
    // The member whose name equals the value in any letter case; none when
    // nothing matches (the property then stays).
    template <class E, size_t N>
    std::optional<E> Enum(const QString& key, const char* const (&names)[N]) const
    {
        const auto v = Text(key);
        if (!v) return std::nullopt;
        for (size_t i = 0; i < N; ++i)
            if (v->compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0) return E(i);
        return std::nullopt;
    }
    // The font with the file's colour, style, size and name applied; none
    // when the file has none of the four.
    std::optional<TCellFont> Font(const QString& prefix, TCellFont f) const
    {
        bool any = false;
        if (const auto c = Color(prefix + QStringLiteral(".Color"))) {
            f.Color = *c;
            any = true;
        }
        if (const auto s = Text(prefix + QStringLiteral(".Style"))) {
            f.Font.setBold(s->contains(QLatin1String("fsBold")));
            f.Font.setItalic(s->contains(QLatin1String("fsItalic")));
            f.Font.setUnderline(s->contains(QLatin1String("fsUnderline")));
            f.Font.setStrikeOut(s->contains(QLatin1String("fsStrikeOut")));
            any = true;
        }
        if (const auto z = Int(prefix + QStringLiteral(".Size"), 1, 1000)) {
            f.Font.setPointSize(*z);
            any = true;
        }
        if (const auto n = Text(prefix + QStringLiteral(".Name"))) {
            f.Font.setFamily(*n);
            any = true;
        }
        if (!any) return std::nullopt;
        return f;
    }

private:
    QHash<QString, QString> FValues;
};

} // namespace

void TExtStringGrid::SaveVisualProps(const QString& fileName)
{
    QStringList lines;
    const auto text = [&lines](const QString& key, const QString& v) { lines << key + QLatin1Char('=') + v; };
    const auto color = [&](const QString& key, TColor c) { text(key, ColorToString(c)); };
    const auto boolean = [&](const QString& key, bool b) { text(key, b ? QStringLiteral("true") : QStringLiteral("false")); };
    const auto integer = [&](const QString& key, int v) { text(key, QString::number(v)); };
    const auto font = [&](const QString& prefix, const QFont& f, TColor c) {
        color(prefix + QStringLiteral(".Color"), c);
        text(prefix + QStringLiteral(".Style"), FontStyleText(f));
        integer(prefix + QStringLiteral(".Size"), FontSizeOf(f));
        text(prefix + QStringLiteral(".Name"), f.family());
    };
    using S = QString;
    color(S("Color"), TCustomGrid::Color);
    color(S("HintColor"), HintColor());
    color(S("SelectionColor"), SelectionColor());
    color(S("SelectionColorTo"), SelectionColorTo());
    color(S("SelectionMirrorColor"), SelectionMirrorColor());
    color(S("SelectionMirrorColorTo"), SelectionMirrorColorTo());
    color(S("SelectionTextColor"), SelectionTextColor());
    color(S("URLColor"), URLColor());
    boolean(S("URLShow"), URLShow());
    boolean(S("URLShowInText"), URLShowInText());
    color(S("ScrollColor"), ScrollColor());
    color(S("ActiveRowColor"), ActiveRowColor());
    boolean(S("ActiveRowShow"), ActiveRowShow());
    boolean(S("ActiveCellShow"), ActiveCellShow());
    font(S("Font"), TCustomGrid::Font, FontColor);
    color(S("ActiveCellColor"), ActiveCellColor());
    color(S("ActiveCellColorTo"), ActiveCellColorTo());
    font(S("ActiveCellFont"), ActiveCellFont().Font, ActiveCellFont().Color);
    font(S("FixedFont"), FixedFont().Font, FixedFont().Color);
    color(S("Balloon.BackgroundColor"), FBalloon->BackgroundColor());
    color(S("Balloon.TextColor"), FBalloon->TextColor());
    integer(S("Balloon.Transparency"), FBalloon->Transparency());
    color(S("Bands.PrimaryColor"), FBands->PrimaryColor());
    color(S("Bands.SecondaryColor"), FBands->SecondaryColor());
    boolean(S("Bands.Active"), FBands->Active());
    color(S("SortSettings.IndexColor"), FSortSettings->IndexColor());
    color(S("FloatingFooter.Color"), FFloatingFooter->Color());
    integer(S("ControlLook.CheckSize"), FControlLook->CheckSize());
    color(S("ControlLook.Color"), FControlLook->Color());
    color(S("ControlLook.CommentColor"), FControlLook->CommentColor());
    text(S("ControlLook.ControlStyle"), QString::fromLatin1(kControlStyleNames[int(FControlLook->ControlStyle())]));
    color(S("ControlLook.FixedGradientFrom"), FControlLook->FixedGradientFrom());
    color(S("ControlLook.FixedGradientTo"), FControlLook->FixedGradientTo());
    integer(S("ControlLook.RadioSize"), FControlLook->RadioSize());
    boolean(S("ControlLook.FlatButton"), FControlLook->FlatButton());
    color(S("ControlLook.ProgressBorderColor"), FControlLook->ProgressBorderColor());
    boolean(S("ControlLook.ProgressXP"), FControlLook->ProgressXP());
    QString look;
    LookToIdent(Look(), look);
    text(S("Look"), look);
    color(S("SearchFooter.Color"), FSearchFooter->Color());
    color(S("SearchFooter.ColorTo"), FSearchFooter->ColorTo());
    color(S("Grouping.HeaderColor"), FGrouping->HeaderColor());
    color(S("Grouping.HeaderColorTo"), FGrouping->HeaderColorTo());
    color(S("Grouping.HeaderTextColor"), FGrouping->HeaderTextColor());
    boolean(S("Grouping.HeaderUnderline"), FGrouping->HeaderUnderline());
    color(S("Grouping.HeaderLineColor"), FGrouping->HeaderLineColor());
    integer(S("Grouping.HeaderLineWidth"), FGrouping->HeaderLineWidth());
    color(S("Grouping.SummaryColor"), FGrouping->SummaryColor());
    color(S("Grouping.SummaryColorTo"), FGrouping->SummaryColorTo());
    color(S("Grouping.SummaryTextColor"), FGrouping->SummaryTextColor());
    boolean(S("Grouping.SummaryLine"), FGrouping->SummaryLine());
    color(S("Grouping.SummaryLineColor"), FGrouping->SummaryLineColor());
    integer(S("Grouping.SummaryLineWidth"), FGrouping->SummaryLineWidth());
    color(S("GridLineColor"), GridLineColor());
    color(S("GridFixedLineColor"), GridFixedLineColor());
    integer(S("BackGround.Top"), FBackGround->Top());
    integer(S("BackGround.Left"), FBackGround->Left());
    text(S("BackGround.Display"), QString::fromLatin1(kDisplayNames[int(FBackGround->Display())]));
    text(S("BackGround.Cells"), QString::fromLatin1(kCellsNames[int(FBackGround->Cells())]));
    color(S("BackGround.Color"), FBackGround->Color());
    color(S("BackGround.ColorTo"), FBackGround->ColorTo());

    QByteArray bytes;
    for (const QString& l : lines) bytes += EncodeAnsi(l) + "\r\n";
    try {
        WriteFileAtomic(fileName, bytes);
    } catch (const EFileError&) {
        throw EFileError(QStringLiteral("Cannot Create ") + fileName);
    }
}

void TExtStringGrid::LoadVisualProps(const QString& fileName)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Cannot open file ") + fileName);
    if (file.size() > kMaxVisualPropsFile)
        throw EFileError(QStringLiteral("Cannot open file %1: larger than %2 bytes").arg(fileName).arg(kMaxVisualPropsFile));
    const QByteArray bytes = file.read(kMaxVisualPropsFile + 1);
    file.close();
    if (bytes.size() > kMaxVisualPropsFile)
        throw EFileError(QStringLiteral("Cannot open file %1: larger than %2 bytes").arg(fileName).arg(kMaxVisualPropsFile));
    const TVisualReader in(SplitLines(DecodeAnsi(bytes)));

    // Every value is converted before the first is assigned; the writes are
    // collected and run at the end.
    std::vector<std::function<void()>> set;
    const auto on = [&set](const auto& value, auto setter) {
        if (value) set.push_back([v = *value, setter] { setter(v); });
    };
    using S = QString;
    const int maxInt = std::numeric_limits<int>::max();
    const int minInt = std::numeric_limits<int>::min();

    // The look first: a preset must not overwrite the values read after it.
    on(in.Enum<TGridLook>(S("Look"), kLookNames), [this](TGridLook v) { SetLook(v); });
    on(in.Color(S("Color")), [this](TColor v) {
        TCustomGrid::Color = v;
        Invalidate();
    });
    on(in.Color(S("HintColor")), [this](TColor v) { SetHintColor(v); });
    on(in.Color(S("SelectionColor")), [this](TColor v) { SetSelectionColor(v); });
    on(in.Color(S("SelectionColorTo")), [this](TColor v) { SetSelectionColorTo(v); });
    on(in.Color(S("SelectionMirrorColor")), [this](TColor v) { SetSelectionMirrorColor(v); });
    on(in.Color(S("SelectionMirrorColorTo")), [this](TColor v) { SetSelectionMirrorColorTo(v); });
    on(in.Color(S("SelectionTextColor")), [this](TColor v) { SetSelectionTextColor(v); });
    on(in.Color(S("URLColor")), [this](TColor v) { SetURLColor(v); });
    on(in.Bool(S("URLShow")), [this](bool v) { SetURLShow(v); });
    on(in.Bool(S("URLShowInText")), [this](bool v) { SetURLShowInText(v); });
    on(in.Color(S("ScrollColor")), [this](TColor v) { SetScrollColor(v); });
    on(in.Color(S("ActiveRowColor")), [this](TColor v) { SetActiveRowColor(v); });
    on(in.Bool(S("ActiveRowShow")), [this](bool v) { SetActiveRowShow(v); });
    on(in.Bool(S("ActiveCellShow")), [this](bool v) { SetActiveCellShow(v); });
    on(in.Font(S("Font"), TCellFont{TCustomGrid::Font, FontColor}), [this](const TCellFont& f) {
        TCustomGrid::Font = f.Font;
        FontColor = f.Color;
        Invalidate();
    });
    on(in.Color(S("ActiveCellColor")), [this](TColor v) { SetActiveCellColor(v); });
    on(in.Color(S("ActiveCellColorTo")), [this](TColor v) { SetActiveCellColorTo(v); });
    on(in.Font(S("ActiveCellFont"), ActiveCellFont()), [this](const TCellFont& f) { SetActiveCellFont(f); });
    on(in.Font(S("FixedFont"), FixedFont()), [this](const TCellFont& f) { SetFixedFont(f); });
    on(in.Color(S("Balloon.BackgroundColor")), [this](TColor v) { FBalloon->SetBackgroundColor(v); });
    on(in.Color(S("Balloon.TextColor")), [this](TColor v) { FBalloon->SetTextColor(v); });
    on(in.Int(S("Balloon.Transparency"), 0, 255), [this](int v) { FBalloon->SetTransparency(uint8_t(v)); });
    on(in.Color(S("Bands.PrimaryColor")), [this](TColor v) { FBands->SetPrimaryColor(v); });
    on(in.Color(S("Bands.SecondaryColor")), [this](TColor v) { FBands->SetSecondaryColor(v); });
    on(in.Bool(S("Bands.Active")), [this](bool v) { FBands->SetActive(v); });
    on(in.Color(S("SortSettings.IndexColor")), [this](TColor v) { FSortSettings->SetIndexColor(v); });
    on(in.Color(S("FloatingFooter.Color")), [this](TColor v) { FFloatingFooter->SetColor(v); });
    on(in.Int(S("ControlLook.CheckSize"), 0, 1000), [this](int v) { FControlLook->SetCheckSize(v); });
    on(in.Color(S("ControlLook.Color")), [this](TColor v) { FControlLook->SetColor(v); });
    on(in.Color(S("ControlLook.CommentColor")), [this](TColor v) { FControlLook->SetCommentColor(v); });
    on(in.Enum<TControlStyle>(S("ControlLook.ControlStyle"), kControlStyleNames),
       [this](TControlStyle v) { FControlLook->SetControlStyle(v); });
    on(in.Color(S("ControlLook.FixedGradientFrom")), [this](TColor v) { FControlLook->SetFixedGradientFrom(v); });
    on(in.Color(S("ControlLook.FixedGradientTo")), [this](TColor v) { FControlLook->SetFixedGradientTo(v); });
    on(in.Int(S("ControlLook.RadioSize"), 0, 1000), [this](int v) { FControlLook->SetRadioSize(v); });
    on(in.Bool(S("ControlLook.FlatButton")), [this](bool v) { FControlLook->SetFlatButton(v); });
    on(in.Color(S("ControlLook.ProgressBorderColor")), [this](TColor v) { FControlLook->SetProgressBorderColor(v); });
    on(in.Bool(S("ControlLook.ProgressXP")), [this](bool v) { FControlLook->SetProgressXP(v); });
    on(in.Color(S("SearchFooter.Color")), [this](TColor v) { FSearchFooter->SetColor(v); });
    on(in.Color(S("SearchFooter.ColorTo")), [this](TColor v) { FSearchFooter->SetColorTo(v); });
    on(in.Color(S("GridLineColor")), [this](TColor v) { SetGridLineColor(v); });
    on(in.Color(S("GridFixedLineColor")), [this](TColor v) { SetGridFixedLineColor(v); });
    on(in.Color(S("Grouping.HeaderColor")), [this](TColor v) { FGrouping->SetHeaderColor(v); });
    on(in.Color(S("Grouping.HeaderColorTo")), [this](TColor v) { FGrouping->SetHeaderColorTo(v); });
    on(in.Color(S("Grouping.HeaderTextColor")), [this](TColor v) { FGrouping->SetHeaderTextColor(v); });
    on(in.Bool(S("Grouping.HeaderUnderline")), [this](bool v) { FGrouping->SetHeaderUnderline(v); });
    on(in.Color(S("Grouping.HeaderLineColor")), [this](TColor v) { FGrouping->SetHeaderLineColor(v); });
    on(in.Int(S("Grouping.HeaderLineWidth"), 0, 1000), [this](int v) { FGrouping->SetHeaderLineWidth(v); });
    on(in.Color(S("Grouping.SummaryColor")), [this](TColor v) { FGrouping->SetSummaryColor(v); });
    on(in.Color(S("Grouping.SummaryColorTo")), [this](TColor v) { FGrouping->SetSummaryColorTo(v); });
    on(in.Color(S("Grouping.SummaryTextColor")), [this](TColor v) { FGrouping->SetSummaryTextColor(v); });
    on(in.Bool(S("Grouping.SummaryLine")), [this](bool v) { FGrouping->SetSummaryLine(v); });
    on(in.Color(S("Grouping.SummaryLineColor")), [this](TColor v) { FGrouping->SetSummaryLineColor(v); });
    on(in.Int(S("Grouping.SummaryLineWidth"), 0, 1000), [this](int v) { FGrouping->SetSummaryLineWidth(v); });
    on(in.Int(S("BackGround.Top"), minInt, maxInt), [this](int v) { FBackGround->SetTop(v); });
    on(in.Int(S("BackGround.Left"), minInt, maxInt), [this](int v) { FBackGround->SetLeft(v); });
    on(in.Enum<TBackGroundDisplay>(S("BackGround.Display"), kDisplayNames),
       [this](TBackGroundDisplay v) { FBackGround->SetDisplay(v); });
    on(in.Enum<TBackGroundCells>(S("BackGround.Cells"), kCellsNames), [this](TBackGroundCells v) { FBackGround->SetCells(v); });
    on(in.Color(S("BackGround.Color")), [this](TColor v) { FBackGround->SetColor(v); });
    on(in.Color(S("BackGround.ColorTo")), [this](TColor v) { FBackGround->SetColorTo(v); });

    for (const auto& f : set) f();
}

// ---------------------------------------------------------------------------
// Print settings

namespace {

// Pen styles by the platform's ordinal: solid, dash, dot, dash-dot,
// dash-dot-dot, clear, inside frame (drawn solid here).
const Qt::PenStyle kPenStyles[] = {Qt::SolidLine,      Qt::DashLine, Qt::DotLine,  Qt::DashDotLine,
                                   Qt::DashDotDotLine, Qt::NoPen,    Qt::SolidLine};

int PenStyleOrdinal(Qt::PenStyle s)
{
    for (int i = 0; i < 6; ++i)
        if (kPenStyles[i] == s) return i;
    return 0;
}

int StyleBits(const QFont& f)
{
    return (f.bold() ? 1 : 0) | (f.italic() ? 2 : 0) | (f.underline() ? 4 : 0) | (f.strikeOut() ? 8 : 0);
}

QString YN(bool b) { return b ? QStringLiteral("Y") : QStringLiteral("N"); }

} // namespace

void TExtStringGrid::SavePrintSettings(const QString& key, const QString& section)
{
    const TPrintSettings& p = *FPrintSettings;
    // A line break inside a value would start a new line of the file.
    const std::pair<const char*, QString> texts[] = {
        {"DateFormat", p.DateFormat()},         {"TitleText", p.TitleText()},
        {"FontName", p.Font().family()},        {"HeaderFontName", p.HeaderFont().family()},
        {"FooterFontName", p.FooterFont().family()}, {"PageNumSep", p.PageNumSep()},
        {"PageSuffix", p.PageSuffix()},         {"PagePrefix", p.PagePrefix()}};
    for (const auto& [name, value] : texts)
        if (HasLineBreak(value))
            throw EConvertError(QStringLiteral("The print setting %1 holds a line break").arg(QLatin1String(name)));

    RefuseLargeFile(key, kMaxIniFile);
    TIniFile ini(key);
    ini.BeginUpdate();
    const auto str = [&](const char* k, const QString& v) { ini.WriteString(section, QLatin1String(k), v); };
    const auto num = [&](const char* k, int v) { ini.WriteInteger(section, QLatin1String(k), v); };
    num("ColumnSpacing", p.ColumnSpacing());
    num("RowSpacing", p.RowSpacing());
    num("TitleSpacing", p.TitleSpacing());
    num("FixedHeight", p.FixedHeight());
    num("FixedWidth", p.FixedWidth());
    str("Centered", YN(p.Centered()));
    str("NoAutoSize", YN(p.NoAutoSize()));
    str("UseFixedHeight", YN(p.UseFixedHeight()));
    str("UseFixedWidth", YN(p.UseFixedWidth()));
    str("RepeatFixedRows", YN(p.RepeatFixedRows()));
    str("RepeatFixedCols", YN(p.RepeatFixedCols()));
    str("UseDisplFont", YN(p.UseDisplayFont()));
    str("UseDefOrientation", YN(p.UseDefaultOrientation()));
    num("Borders", int(p.Borders()));
    num("BorderColor", p.BorderColor());
    num("BorderStyle", PenStyleOrdinal(p.BorderStyle()));
    num("Date", int(p.Date()));
    num("PageNr", int(p.PageNr()));
    num("Title", int(p.Title()));
    num("Time", int(p.Time()));
    str("DateFormat", p.DateFormat());
    str("TitleText", p.TitleText());
    num("FooterSize", p.FooterSize());
    num("HeaderSize", p.HeaderSize());
    num("LeftSize", p.LeftSize());
    num("RightSize", p.RightSize());
    num("FitToPage", int(p.FitToPage()));
    const auto font = [&](const char* prefix, const QFont& f, TColor c) {
        const QString k = QLatin1String(prefix);
        ini.WriteString(section, k + QStringLiteral("FontName"), f.family());
        ini.WriteInteger(section, k + QStringLiteral("FontSize"), FontSizeOf(f));
        ini.WriteInteger(section, k + QStringLiteral("FontStyle"), StyleBits(f));
        ini.WriteInteger(section, k + QStringLiteral("FontColor"), c);
    };
    font("", p.Font(), p.FontColor());
    font("Header", p.HeaderFont(), p.HeaderFontColor());
    font("Footer", p.FooterFont(), p.FooterFontColor());
    str("PageNumSep", p.PageNumSep());
    str("PageSuffix", p.PageSuffix());
    str("PagePrefix", p.PagePrefix());
    num("Orientation", int(p.Orientation()));
    // The list's text (each line ended by a line break) on one line.
    QString lines;
    for (const QString& l : p.TitleLines()) lines += l + QStringLiteral("\r\n");
    str("TitleLines", CRToEscapedNewline(lines));
    str("PrintGraphics", YN(p.PrintGraphics()));
    ini.EndUpdate();
}

void TExtStringGrid::LoadPrintSettings(const QString& key, const QString& section)
{
    RefuseLargeFile(key, kMaxIniFile);
    const TIniFile ini(key);
    // Read into a copy, handed over whole at the end.
    TPrintSettings p(this);
    p.Assign(*FPrintSettings);
    const auto num = [&](const char* k, int def) { return ini.ReadInteger(section, QLatin1String(k), def); };
    const auto yes = [&](const char* k, bool def) {
        return ini.ReadString(section, QLatin1String(k), YN(def)) == QLatin1String("Y");
    };
    const auto position = [&](const char* k) {
        const int v = num(k, 0);
        return v >= 1 && v <= 6 ? TPrintPosition(v) : TPrintPosition::ppNone;
    };
    p.SetColumnSpacing(num("ColumnSpacing", 20));
    p.SetRowSpacing(num("RowSpacing", 20));
    p.SetTitleSpacing(num("TitleSpacing", 20));
    p.SetFixedHeight(num("FixedHeight", 0));
    p.SetFixedWidth(num("FixedWidth", 0));
    p.SetCentered(yes("Centered", true));
    p.SetNoAutoSize(yes("NoAutoSize", false));
    p.SetUseFixedHeight(yes("UseFixedHeight", false));
    p.SetUseFixedWidth(yes("UseFixedWidth", false));
    p.SetRepeatFixedRows(yes("RepeatFixedRows", false));
    p.SetRepeatFixedCols(yes("RepeatFixedCols", false));
    p.SetUseDisplayFont(yes("UseDisplFont", false));
    p.SetUseDefaultOrientation(yes("UseDefOrientation", false));
    if (const int v = num("Borders", 0); v >= 0 && v <= 8) p.SetBorders(TPrintBorders(v));
    p.SetBorderColor(num("BorderColor", 0));
    if (const int v = num("BorderStyle", 0); v >= 0 && v <= 6) p.SetBorderStyle(kPenStyles[v]);
    p.SetDate(position("Date"));
    p.SetPageNr(position("PageNr"));
    p.SetTitle(position("Title"));
    p.SetTime(position("Time"));
    p.SetDateFormat(ini.ReadString(section, QStringLiteral("DateFormat"), QString()));
    p.SetTitleText(ini.ReadString(section, QStringLiteral("TitleText"), QString()));
    p.SetFooterSize(num("FooterSize", 100));
    p.SetHeaderSize(num("HeaderSize", 100));
    p.SetLeftSize(num("LeftSize", 100));
    p.SetRightSize(num("RightSize", 100));
    if (const int v = num("FitToPage", 0); v >= 0 && v <= 4) p.SetFitToPage(TFitToPage(v));
    const auto font = [&](const QString& prefix, QFont f, TColor& color) {
        f.setFamily(ini.ReadString(section, prefix + QStringLiteral("FontName"), QStringLiteral("Arial")));
        // A size no font can have keeps the current one.
        if (const int z = ini.ReadInteger(section, prefix + QStringLiteral("FontSize"), 10); z >= 1 && z <= 1000)
            f.setPointSize(z);
        const int bits = ini.ReadInteger(section, prefix + QStringLiteral("FontStyle"), 0);
        f.setBold(bits & 1);
        f.setItalic(bits & 2);
        f.setUnderline(bits & 4);
        f.setStrikeOut(bits & 8);
        color = ini.ReadInteger(section, prefix + QStringLiteral("FontColor"), 0);
        return f;
    };
    TColor c = 0;
    p.SetFont(font(QString(), p.Font(), c));
    p.SetFontColor(c);
    p.SetHeaderFont(font(QStringLiteral("Header"), p.HeaderFont(), c));
    p.SetHeaderFontColor(c);
    p.SetFooterFont(font(QStringLiteral("Footer"), p.FooterFont(), c));
    p.SetFooterFontColor(c);
    p.SetPageNumSep(ini.ReadString(section, QStringLiteral("PageNumSep"), QString()));
    p.SetPageSuffix(ini.ReadString(section, QStringLiteral("PageSuffix"), QString()));
    p.SetPagePrefix(ini.ReadString(section, QStringLiteral("PagePrefix"), QString()));
    if (const int v = num("Orientation", 0); v == 0 || v == 1) p.SetOrientation(TPrinterOrientation(v));
    const QString title = ini.ReadString(section, QStringLiteral("TitleLines"), QString());
    p.SetTitleLines(title.isEmpty() ? QStringList() : SplitLines(EscapedNewlineToCR(title)));
    p.SetPrintGraphics(yes("PrintGraphics", false));
    FPrintSettings->Assign(p);
}
