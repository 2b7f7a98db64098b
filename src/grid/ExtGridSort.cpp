// Sorting the rows of the string grid: by one column (ties going on with the
// columns to its right), by a list of keys, the children of node rows, and
// back to the recorded order.
//
// A sort never moves a row while it compares. It reads each key cell once
// (the column's style resolved first), orders a permutation of the row range
// stably, and then moves every row once through SortSwapRows. An exception
// raised by a compare event therefore leaves the rows as they were.
#include "grid/ExtGrid.h"
#include "grid/ExtGridPanels.h"
#include "grid/RowPermutation.h"
#include "controls/ExtUtil.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <type_traits>

namespace {

int Sign(int v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

template <typename T>
int CompareValues(const T& a, const T& b)
{
    return a < b ? -1 : b < a ? 1 : 0;
}

// Code unit by code unit; a proper prefix comes first.
int CompareOrdinal(const QString& a, const QString& b) { return Sign(a.compare(b, Qt::CaseSensitive)); }

// Only the ASCII letters a to z are raised.
QString AsciiUpper(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
    return r;
}

QString RemoveFirst(QString s, const QString& part)
{
    if (part.isEmpty()) return s;
    const qsizetype p = s.indexOf(part);
    if (p >= 0) s.remove(p, part.size());
    return s;
}

// A number text in the locale's notation as a value; nullopt when it does not
// read (NaN counts as not read, so that values stay ordered).
std::optional<double> ReadNumber(QString s, bool financial, const FormatSettings& fs)
{
    if (financial) s.remove(fs.ThousandSeparator);
    if (fs.DecimalSeparator != QLatin1Char('.')) {
        const qsizetype p = s.indexOf(fs.DecimalSeparator);
        if (p >= 0) s[p] = QLatin1Char('.');
    }
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || std::isnan(v)) return std::nullopt;
    return v;
}

// A locale date, optionally followed by a blank and a locale time.
double ReadDateTime(const QString& text, const FormatSettings& fs)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return 0;
    TDateTime v = 0;
    if (TryStrToDate(t, v, fs)) return v;
    const qsizetype blank = t.indexOf(QLatin1Char(' '));
    TDateTime d = 0, tm = 0;
    if (blank > 0 && TryStrToDate(t.left(blank), d, fs) && TryStrToTime(t.mid(blank + 1), tm, fs))
        return ComposeDateTime(d, tm);
    return 0;
}

double ReadTime(const QString& text, const FormatSettings& fs)
{
    TDateTime v = 0;
    return TryStrToTime(text, v, fs) ? v : 0;
}

// Day/month/year or month/day/year; a date that does not exist counts as an
// unreadable text (0) instead of ending the sort.
double ReadShortDate(const QString& text, bool dayFirst)
{
    try {
        return dayFirst ? ParseDateDMY(text) : ParseDateMDY(text);
    } catch (const Exception&) {
        return 0;
    }
}

// The separator test of the automatic style: the separator stands at the
// 1-based position p with lowest < p < last + 1 and p <= highest, with a digit
// on both sides.
bool SeparatorBetweenDigits(const QString& s, QChar sep, int lowest, int highest)
{
    const qsizetype i = s.indexOf(sep); // 0-based
    const qsizetype p = i + 1;
    if (i < 0 || p < lowest || p > highest || p >= s.size()) return false;
    return s[i - 1].isDigit() && s[i + 1].isDigit();
}

bool IsCheckBoxType(TCellType t)
{
    return t == TCellType::ctCheckBox || t == TCellType::ctDataCheckBox || t == TCellType::ctVirtCheckBox ||
           t == TCellType::ctRowCheckBox;
}

} // namespace

// Orders a set of grid rows by a list of keys. Slot s stands for the grid row
// Rows[s]; every per-row value is read on first use and kept.
class TGridSorter {
public:
    struct TKeySpec {
        int Col;
        bool Descending;
    };

    TGridSorter(TExtStringGrid& grid, std::vector<int> rows, const std::vector<TKeySpec>& keys)
        : m_grid(grid), m_rows(std::move(rows)), m_fs(SystemFormatSettings())
    {
        const TSortSettings& ss = grid.SortSettings();
        m_ignoreBlanks = ss.IgnoreBlanks();
        m_blankFirst = ss.BlankPos() == TSortBlankPosition::blFirst;
        m_virtual = ss.SortOnVirtualCells();
        const TSortStyle proposed = ss.AutoFormat()   ? TSortStyle::ssAutomatic
                                    : ss.IgnoreCase() ? TSortStyle::ssAlphaNoCase
                                                      : TSortStyle::ssAlphabetic;
        m_keys.reserve(keys.size());
        for (const TKeySpec& k : keys) {
            TKey key;
            key.Col = k.Col;
            key.Descending = k.Descending;
            key.Ignored = grid.IsIgnoredColumn(k.Col);
            key.Style = proposed;
            // The format is asked once per key column and sort.
            if (!key.Ignored) grid.GetColFormat(k.Col, key.Style, key.Prefix, key.Suffix);
            if (key.Style == TSortStyle::ssCustom || key.Style == TSortStyle::ssRaw) m_events = true;
            m_keys.push_back(std::move(key));
        }
    }

    int Count() const { return int(m_rows.size()); }

    // Final order of two slots: negative when a goes first. Ties go on with
    // the next key; 0 after the last.
    int Compare(int a, int b, size_t fromKey = 0)
    {
        for (size_t i = fromKey; i < m_keys.size(); ++i)
            if (const int r = CompareKey(m_keys[i], a, b)) return r;
        return 0;
    }

    // The slots in their sorted order (stable: equal rows keep their order).
    std::vector<int> SortedSlots()
    {
        std::vector<int> order(m_rows.size());
        std::iota(order.begin(), order.end(), 0);
        if (!m_events) {
            SortRange(order, 0, order.size(), 0);
        } else {
            // A compare event may answer inconsistently; the merge sort below
            // stays within its ranges whatever it hears and so keeps every row.
            std::vector<int> buffer(order.size());
            MergeSort(order, buffer, 0, int(order.size()));
        }
        return order;
    }

    // Orders order[lo, hi) by the keys from `key` on. A number or plain text
    // key is read for the rows of the range and sorted beside them, so that
    // its comparisons touch no table; the runs of rows that tie then go on
    // with the next key, whose values are read only for them.
    void SortRange(std::vector<int>& order, size_t lo, size_t hi, size_t key)
    {
        if (hi - lo < 2 || key >= m_keys.size()) return;
        TKey& k = m_keys[key];
        if (k.Ignored) return SortRange(order, lo, hi, key + 1);
        if (!k.Prepared) Prepare(k);
        const auto first = order.begin() + std::ptrdiff_t(lo), last = order.begin() + std::ptrdiff_t(hi);
        if (hi - lo < 16) {
            // Few rows: a stable insertion sort by all remaining keys.
            for (auto i = first + 1; i != last; ++i)
                for (auto j = i; j != first && Compare(*j, *(j - 1), key) < 0; --j) std::iter_swap(j, j - 1);
            return;
        }
        if (k.Kind != TKind::Number && k.Kind != TKind::Text) {
            std::stable_sort(first, last, [this, key](int a, int b) { return Compare(a, b, key) < 0; });
            return;
        }
        if (k.Kind == TKind::Number)
            SortByValues<double>(order, lo, hi, key, [](TKey& kk, int s) { return kk.Number[size_t(s)]; });
        else
            SortByValues<QString>(order, lo, hi, key, [](TKey& kk, int s) { return kk.Text[size_t(s)]; });
    }

    template <typename V, typename Get>
    void SortByValues(std::vector<int>& order, size_t lo, size_t hi, size_t key, Get get)
    {
        TKey& k = m_keys[key];
        struct TEntry {
            int Rank; // blanks before (0) or after (2) the others (1)
            int Slot;
            V Value;
        };
        std::vector<TEntry> entries;
        entries.reserve(hi - lo);
        for (size_t i = lo; i < hi; ++i) {
            const int s = order[i];
            if (!k.Ready[size_t(s)]) Fill(k, s);
            const int rank = m_ignoreBlanks && k.Blank[size_t(s)] ? (m_blankFirst ? 0 : 2) : 1;
            entries.push_back({rank, s, get(k, s)});
        }
        const int turn = k.Descending ? -1 : 1;
        int& compares = m_grid.Compares;
        auto compare = [turn](const TEntry& a, const TEntry& b) {
            if (a.Rank != b.Rank) return a.Rank < b.Rank ? -1 : 1;
            if constexpr (std::is_same_v<V, QString>)
                return CompareOrdinal(a.Value, b.Value) * turn;
            else
                return CompareValues(a.Value, b.Value) * turn;
        };
        std::stable_sort(entries.begin(), entries.end(), [&](const TEntry& a, const TEntry& b) {
            ++compares;
            return compare(a, b) < 0;
        });
        for (size_t i = 0; i < entries.size(); ++i) order[lo + i] = entries[i].Slot;
        if (key + 1 >= m_keys.size()) return;
        for (size_t i = 0; i < entries.size();) {
            size_t j = i + 1;
            while (j < entries.size() && compare(entries[i], entries[j]) == 0) ++j;
            if (j - i > 1) SortRange(order, lo + i, lo + j, key + 1);
            i = j;
        }
    }

    // CompareCells of the first key: the style's comparison, not turned for
    // the key's direction (only blanks follow it).
    int CompareRaw(int a, int b)
    {
        TKey& k = m_keys.front();
        const int r = CompareKey(k, a, b);
        return k.Descending ? -r : r;
    }

private:
    enum class TKind : uint8_t { Number, Text, Collated, AlphaNumeric, Custom, Raw };

    struct TKey {
        int Col = 0;
        bool Descending = false;
        bool Ignored = false;
        TSortStyle Style = TSortStyle::ssAutomatic;
        QString Prefix, Suffix;
        bool Prepared = false;
        TKind Kind = TKind::Text;
        std::optional<QCollator> Collator;
        std::vector<uint8_t> HasText, Ready, Blank, IsNumber;
        std::vector<QString> Text;
        std::vector<double> Number;
        std::vector<std::optional<QCollatorSortKey>> Collated;
    };

    const QString& TextOf(TKey& k, int s)
    {
        if (!k.HasText[size_t(s)]) {
            const int row = m_rows[size_t(s)];
            k.Text[size_t(s)] = m_virtual ? m_grid.Cells(k.Col, row) : m_grid.GridCells(k.Col, row);
            k.HasText[size_t(s)] = 1;
        }
        return k.Text[size_t(s)];
    }

    QString Stripped(const QString& text, const TKey& k) const
    {
        return RemoveFirst(RemoveFirst(text, k.Suffix), k.Prefix);
    }

    // The automatic style of a column, from all its rows at once, so that
    // every pair of rows is compared the same way.
    TSortStyle ResolveAutomatic(TKey& k)
    {
        const TSortSettings& ss = m_grid.SortSettings();
        const TSortStyle text = ss.IgnoreCase() ? TSortStyle::ssAlphaNoCase : TSortStyle::ssAlphabetic;
        const int n = Count();
        if (n == 0) return text;
        bool checks = true;
        for (int s = 0; s < n && checks; ++s) checks = IsCheckBoxType(m_grid.GetCellType(k.Col, m_rows[size_t(s)]));
        if (checks) return TSortStyle::ssCheckBox;
        bool numbers = true, dates = true, times = true, anyText = false, thousands = false, anyTime = false;
        for (int s = 0; s < n && (numbers || dates || times); ++s) {
            const QString t = Stripped(TextOf(k, s), k);
            if (t.isEmpty()) continue;
            anyText = true;
            if (numbers) {
                numbers = ClassifyNumericText(t, m_fs) != 2;
                thousands = thousands || t.contains(m_fs.ThousandSeparator);
                // Read once here: a number column needs no second pass.
                if (numbers) k.Number[size_t(s)] = ReadNumber(t, true, m_fs).value_or(0.0);
            }
            if (dates) {
                dates = SeparatorBetweenDigits(t, m_fs.DateSeparator, 2, 3);
                anyTime = anyTime || t.contains(m_fs.TimeSeparator);
            }
            if (times) times = SeparatorBetweenDigits(t, m_fs.TimeSeparator, 2, 3);
        }
        if (!anyText) return text;
        if (numbers) {
            for (int s = 0; s < n; ++s) {
                k.Blank[size_t(s)] = Stripped(k.Text[size_t(s)], k).isEmpty();
                k.Ready[size_t(s)] = 1;
            }
            // Thousand separators read only in the financial style.
            return thousands ? TSortStyle::ssFinancial : TSortStyle::ssNumeric;
        }
        if (dates) return anyTime ? TSortStyle::ssDateTime : TSortStyle::ssDate;
        if (times) return TSortStyle::ssTime;
        return text;
    }

    void Prepare(TKey& k)
    {
        const size_t n = m_rows.size();
        k.HasText.assign(n, 0);
        k.Text.assign(n, QString());
        k.Ready.assign(n, 0);
        k.Blank.assign(n, 0);
        k.Number.assign(n, 0);
        if (k.Style == TSortStyle::ssAutomatic) k.Style = ResolveAutomatic(k);
        switch (k.Style) {
        case TSortStyle::ssNumeric:
        case TSortStyle::ssFinancial:
        case TSortStyle::ssDate:
        case TSortStyle::ssShortDateEU:
        case TSortStyle::ssShortDateUS:
        case TSortStyle::ssDateTime:
        case TSortStyle::ssTime:
        case TSortStyle::ssCheckBox:
        case TSortStyle::ssImages: k.Kind = TKind::Number; break;
        case TSortStyle::ssAnsiAlphaCase:
        case TSortStyle::ssAnsiAlphaNoCase:
            k.Kind = TKind::Collated;
            k.Collator.emplace(CollationLocale());
            k.Collator->setCaseSensitivity(k.Style == TSortStyle::ssAnsiAlphaCase ? Qt::CaseSensitive
                                                                                  : Qt::CaseInsensitive);
            k.Collated.assign(n, std::nullopt);
            break;
        case TSortStyle::ssAlphaNumeric:
        case TSortStyle::ssAlphaNumericNoCase: k.Kind = TKind::AlphaNumeric; break;
        case TSortStyle::ssCustom: k.Kind = TKind::Custom; break;
        case TSortStyle::ssRaw: k.Kind = TKind::Raw; break;
        default: k.Kind = TKind::Text; break;
        }
        if (k.Kind == TKind::AlphaNumeric) k.IsNumber.assign(n, 0);
        k.Prepared = true;
    }

    // Reads the key of one slot.
    void Fill(TKey& k, int s)
    {
        const size_t i = size_t(s);
        const int row = m_rows[i];
        const QString& text = TextOf(k, s);
        switch (k.Style) {
        case TSortStyle::ssNumeric:
        case TSortStyle::ssFinancial: {
            const QString t = Stripped(text, k);
            k.Blank[i] = t.isEmpty();
            k.Number[i] = ReadNumber(t, k.Style == TSortStyle::ssFinancial, m_fs).value_or(0.0);
            break;
        }
        case TSortStyle::ssDate:
        case TSortStyle::ssDateTime: k.Number[i] = ReadDateTime(text, m_fs); break;
        case TSortStyle::ssShortDateEU: k.Number[i] = ReadShortDate(text, true); break;
        case TSortStyle::ssShortDateUS: k.Number[i] = ReadShortDate(text, false); break;
        case TSortStyle::ssTime: k.Number[i] = ReadTime(text, m_fs); break;
        case TSortStyle::ssCheckBox: {
            bool state = false;
            m_grid.GetCheckBoxState(k.Col, m_grid.RealRowIndex(TDisplRow(row)).Value(), state);
            k.Number[i] = state ? 1 : 0;
            break;
        }
        case TSortStyle::ssImages: k.Number[i] = double(m_grid.GraphicSortKey(k.Col, row)); break;
        case TSortStyle::ssAnsiAlphaCase:
        case TSortStyle::ssAnsiAlphaNoCase: k.Collated[i] = k.Collator->sortKey(text); break;
        case TSortStyle::ssAlphaNoCase: k.Text[i] = AsciiUpper(text); break;
        case TSortStyle::ssHTML: k.Text[i] = m_grid.StrippedCells(k.Col, row); break;
        case TSortStyle::ssAlphaNumeric:
        case TSortStyle::ssAlphaNumericNoCase: {
            if (ClassifyNumericText(text, m_fs) != 2) {
                const std::optional<double> v = ReadNumber(text, true, m_fs);
                k.IsNumber[i] = v.has_value();
                k.Number[i] = v.value_or(0.0);
            }
            if (k.Style == TSortStyle::ssAlphaNumericNoCase) k.Text[i] = AsciiUpper(text);
            break;
        }
        default: break;
        }
        if (k.Style != TSortStyle::ssNumeric && k.Style != TSortStyle::ssFinancial) k.Blank[i] = text.isEmpty();
        k.Ready[i] = 1;
    }

    int CompareKey(TKey& k, int a, int b)
    {
        if (k.Ignored) return 0;
        ++m_grid.Compares;
        if (!k.Prepared) Prepare(k);
        if (!k.Ready[size_t(a)]) Fill(k, a);
        if (!k.Ready[size_t(b)]) Fill(k, b);
        // Blanks go first or last whatever the direction.
        if (m_ignoreBlanks && k.Blank[size_t(a)] != k.Blank[size_t(b)])
            return (k.Blank[size_t(a)] ? -1 : 1) * (m_blankFirst ? 1 : -1);
        int r = 0;
        switch (k.Kind) {
        case TKind::Number: r = CompareValues(k.Number[size_t(a)], k.Number[size_t(b)]); break;
        case TKind::Text: r = CompareOrdinal(k.Text[size_t(a)], k.Text[size_t(b)]); break;
        case TKind::Collated: r = Sign(k.Collated[size_t(a)]->compare(*k.Collated[size_t(b)])); break;
        case TKind::AlphaNumeric: {
            const bool na = k.IsNumber[size_t(a)], nb = k.IsNumber[size_t(b)];
            if (na && nb)
                r = CompareValues(k.Number[size_t(a)], k.Number[size_t(b)]);
            else if (na != nb)
                r = na ? -1 : 1;
            else
                r = CompareOrdinal(k.Text[size_t(a)], k.Text[size_t(b)]);
            break;
        }
        case TKind::Custom: {
            int res = 0;
            if (m_grid.OnCustomCompare) m_grid.OnCustomCompare(&m_grid, k.Text[size_t(a)], k.Text[size_t(b)], res);
            r = Sign(res);
            break;
        }
        case TKind::Raw: {
            int res = 0;
            if (m_grid.OnRawCompare) m_grid.OnRawCompare(&m_grid, k.Col, m_rows[size_t(a)], m_rows[size_t(b)], res);
            r = Sign(res);
            break;
        }
        }
        return k.Descending ? -r : r;
    }

    // Stable top-down merge sort of order[lo, hi) that only ever takes
    // elements from inside the two halves it merges.
    void MergeSort(std::vector<int>& order, std::vector<int>& buffer, int lo, int hi)
    {
        if (hi - lo < 2) return;
        const int mid = lo + (hi - lo) / 2;
        MergeSort(order, buffer, lo, mid);
        MergeSort(order, buffer, mid, hi);
        int i = lo, j = mid, o = lo;
        while (i < mid && j < hi) buffer[size_t(o++)] = Compare(order[size_t(j)], order[size_t(i)]) < 0 ? order[size_t(j++)] : order[size_t(i++)];
        while (i < mid) buffer[size_t(o++)] = order[size_t(i++)];
        while (j < hi) buffer[size_t(o++)] = order[size_t(j++)];
        std::copy(buffer.begin() + lo, buffer.begin() + hi, order.begin() + lo);
    }

    TExtStringGrid& m_grid;
    std::vector<int> m_rows;
    const FormatSettings& m_fs;
    std::vector<TKey> m_keys;
    bool m_ignoreBlanks = false;
    bool m_blankFirst = true;
    bool m_virtual = true;
    bool m_events = false;

    friend class TExtStringGrid;

public:
    // Moves the rows first .. first + order.size() - 1 so that position
    // first + i receives the row that stood at first + order[i], each row
    // once, through the grid's row exchange.
    static void ApplyOrder(TExtStringGrid& grid, const std::vector<int>& order, int first)
    {
        PermuteBySwaps(order, [&](int p, int q) { grid.SortSwapRows(first + p, first + q); });
    }
};

namespace {

std::vector<int> RowRange(int left, int right)
{
    std::vector<int> rows;
    if (right >= left) {
        rows.resize(size_t(right - left + 1));
        std::iota(rows.begin(), rows.end(), left);
    }
    return rows;
}

} // namespace

// ---------------------------------------------------------------------------
// Key lists

namespace {

// The sort column, then (with Full) every column to its right, hidden
// columns included, in the sort direction.
std::vector<TGridSorter::TKeySpec> ColumnKeys(TExtStringGrid& g, int col)
{
    const bool desc = g.SortSettings().Direction() == TSortDirection::sdDescending;
    std::vector<TGridSorter::TKeySpec> keys{{col, desc}};
    if (g.SortSettings().Full())
        for (int c = col + 1; c < g.AllColCount(); ++c) keys.push_back({c, desc});
    return keys;
}

std::vector<TGridSorter::TKeySpec> IndexKeys(TExtStringGrid& g)
{
    std::vector<TGridSorter::TKeySpec> keys;
    const TSortIndexList& list = g.SortIndexes();
    const int n = g.SortSettings().Full() ? list.Count() : std::min(list.Count(), 1);
    for (int i = 0; i < n; ++i) keys.push_back({list.SortColumns(i), !list.SortDirections(i)});
    return keys;
}

} // namespace

// ---------------------------------------------------------------------------
// The sorting operations

void TExtStringGrid::InitSortXRef()
{
    FSortRowXRef.Clear();
    for (int i = 0; i < RowCount(); ++i) FSortRowXRef.Add(i);
}

int TExtStringGrid::CompareCells(int col, int row1, TSortDirection direction, int row2)
{
    TGridSorter sorter(*this, {row1, row2}, {{col, direction == TSortDirection::sdDescending}});
    return sorter.CompareRaw(0, 1);
}

bool TExtStringGrid::SortLine(int col, int row1, int row2)
{
    const TSortDirection dir = FSortSettings->Direction();
    const int wanted = dir == TSortDirection::sdDescending ? -1 : 1;
    for (int c = std::max(col, 0); c < AllColCount(); ++c) {
        const int r = CompareCells(c, row1, dir, row2);
        if (r == wanted) {
            SortSwapRows(row1, row2);
            return true;
        }
        if (r != 0) return false;
    }
    return false;
}

namespace {

// What a sort changes around the rows and puts back when it ends, also when
// a compare event raises: the column-0 cells (NormalCellsOnly with fixed
// columns), the top row and the update lock.
class TSortScope {
public:
    TSortScope(TExtStringGrid& g, bool lockUpdate) : m_grid(g), m_lock(lockUpdate), m_top(g.TopRow())
    {
        if (m_lock) m_grid.BeginUpdate();
    }
    ~TSortScope()
    {
        if (!m_done) m_grid.SetTopRow(m_top);
        if (m_lock) m_grid.EndUpdate();
    }
    TSortScope(const TSortScope&) = delete;
    TSortScope& operator=(const TSortScope&) = delete;

    // The order is known: the rows move, column 0 staying put when asked.
    void Apply(const std::vector<int>& order, int first)
    {
        const bool keepCol0 = m_grid.SortSettings().NormalCellsOnly() && m_grid.FixedCols() > 0;
        const int n = int(order.size());
        std::vector<QString> texts;
        std::vector<std::unique_ptr<TCellObject>> objects;
        if (keepCol0) {
            for (int i = 0; i < n; ++i) {
                texts.push_back(m_grid.GridCells(0, first + i));
                objects.push_back(m_grid.Store().ReleaseObject(0, first + i));
            }
        }
        TGridSorter::ApplyOrder(m_grid, order, first);
        if (keepCol0) {
            for (int i = 0; i < n; ++i) {
                m_grid.Store().ClearCell(0, first + i);
                m_grid.SetGridCells(0, first + i, texts[size_t(i)]);
                if (objects[size_t(i)]) m_grid.Store().SetObject(0, first + i, std::move(objects[size_t(i)]));
            }
        }
    }
    void Done(bool keepScroll)
    {
        if (keepScroll) m_grid.SetTopRow(m_top);
        m_done = true;
    }

private:
    TExtStringGrid& m_grid;
    bool m_lock;
    int m_top;
    bool m_done = false;
};

} // namespace

void TExtStringGrid::QuickSort(int col, int left, int right)
{
    left = std::max(left, 0);
    right = std::min(right, RowCount() - 1);
    if (col < 0 || right <= left) return;
    SortDir = FSortSettings->Direction() == TSortDirection::sdDescending ? -1 : 1;
    TGridSorter sorter(*this, RowRange(left, right), ColumnKeys(*this, col));
    TSortScope scope(*this, false);
    scope.Apply(sorter.SortedSlots(), left);
    scope.Done(true);
}

void TExtStringGrid::QuickSortIndexed(int left, int right)
{
    left = std::max(left, 0);
    right = std::min(right, RowCount() - 1);
    if (FSortIndexes.Count() == 0 || right <= left) return;
    SortDir = FSortSettings->Direction() == TSortDirection::sdDescending ? -1 : 1;
    TGridSorter sorter(*this, RowRange(left, right), IndexKeys(*this));
    TSortScope scope(*this, false);
    scope.Apply(sorter.SortedSlots(), left);
    scope.Done(true);
}

namespace {

// The last row a sort moves: above the fixed footers and above a shown
// floating footer row.
int LastSortRow(TExtStringGrid& g)
{
    const int footers = std::max(g.FixedFooters(), g.FloatingFooter().Visible() ? 1 : 0);
    return g.RowCount() - footers - 1;
}

} // namespace

void TExtStringGrid::QSort()
{
    const int col = FSortSettings->Column();
    if (col < 0) return;
    if (RowCount() != FSortRowXRef.Count()) InitSortXRef();
    FSortIndexes.Clear();
    SortDir = FSortSettings->Direction() == TSortDirection::sdDescending ? -1 : 1;
    const int left = FixedRows();
    const int right = LastSortRow(*this);
    const int oldRow = Row();
    {
        TSortScope scope(*this, true);
        SortRow = Row();
        if (right > left) {
            TGridSorter sorter(*this, RowRange(left, right), ColumnKeys(*this, col));
            scope.Apply(sorter.SortedSlots(), left);
        }
        if (!FMouseActions->DisjunctRowSelect() && FNavigation->MoveRowOnSort() && SortRow != Row()) {
            FOldRowSel = -1;
            SetRow(SortRow);
        }
        if (OnRowUpdate && !FNavigation->MoveRowOnSort()) OnRowUpdate(this, oldRow, Row());
        scope.Done(FNavigation->KeepScrollOnSort());
    }
    if (FFloatingFooter->Visible()) FFooterPanel->update();
    if (FSearchFooter->Visible() && FSearchPanel->isVisible()) FSearchPanel->update();
}

void TExtStringGrid::QSortIndexed()
{
    if (RowCount() != FSortRowXRef.Count()) InitSortXRef();
    if (FSortIndexes.Count() == 0) throw EExtGridError(QStringLiteral("No indexes specified for indexed sort"));
    SortDir = FSortSettings->Direction() == TSortDirection::sdDescending ? -1 : 1;
    const int left = FixedRows();
    const int right = LastSortRow(*this);
    {
        TSortScope scope(*this, true);
        SortRow = Row();
        if (right > left) {
            TGridSorter sorter(*this, RowRange(left, right), IndexKeys(*this));
            scope.Apply(sorter.SortedSlots(), left);
        }
        if (FNavigation->MoveRowOnSort() && SortRow != Row()) {
            FOldRowSel = -1;
            SetRow(SortRow);
        }
        scope.Done(FNavigation->KeepScrollOnSort());
    }
    if (FFloatingFooter->Visible()) FFooterPanel->update();
}

namespace {

// The children of every expanded node row of the deepest node level, as row
// ranges.
std::vector<std::pair<int, int>> GroupRanges(TExtStringGrid& g)
{
    const int left = g.FixedRows();
    const int right = LastSortRow(g);
    int deepest = -1;
    for (int r = left; r <= right; ++r)
        if (g.IsNode(r)) deepest = std::max(deepest, g.GetNodeLevel(r));
    std::vector<std::pair<int, int>> ranges;
    if (deepest < 0) return ranges;
    for (int r = left; r <= right; ++r) {
        if (!g.IsNode(r) || g.GetNodeLevel(r) != deepest || g.NodeState(r)) continue;
        const int span = g.GetNodeSpan(r);
        if (span <= 2) continue;
        const int last = std::min(r + span - 1, right);
        if (last > r + 1) ranges.emplace_back(r + 1, last);
    }
    return ranges;
}

} // namespace

void TExtStringGrid::QSortGroup()
{
    if (RowCount() != FSortRowXRef.Count()) InitSortXRef();
    const int col = FSortSettings->Column();
    SortDir = FSortSettings->Direction() == TSortDirection::sdDescending ? -1 : 1;
    TSortScope scope(*this, true);
    SortRow = Row();
    if (col >= 0) {
        // Every range is ordered before any row moves.
        std::vector<std::pair<std::vector<int>, int>> work;
        for (const auto& [first, last] : GroupRanges(*this)) {
            TGridSorter sorter(*this, RowRange(first, last), ColumnKeys(*this, col));
            work.emplace_back(sorter.SortedSlots(), first);
        }
        for (const auto& [order, first] : work) scope.Apply(order, first);
    }
    if (FNavigation->MoveRowOnSort() && SortRow != Row()) {
        FOldRowSel = -1;
        SetRow(SortRow);
    }
    scope.Done(FNavigation->KeepScrollOnSort());
}

void TExtStringGrid::QSortGroupIndexed()
{
    if (RowCount() != FSortRowXRef.Count()) InitSortXRef();
    SortDir = FSortSettings->Direction() == TSortDirection::sdDescending ? -1 : 1;
    TSortScope scope(*this, true);
    SortRow = Row();
    if (FSortIndexes.Count() > 0) {
        std::vector<std::pair<std::vector<int>, int>> work;
        for (const auto& [first, last] : GroupRanges(*this)) {
            TGridSorter sorter(*this, RowRange(first, last), IndexKeys(*this));
            work.emplace_back(sorter.SortedSlots(), first);
        }
        for (const auto& [order, first] : work) scope.Apply(order, first);
    }
    if (FNavigation->MoveRowOnSort() && SortRow != Row()) {
        FOldRowSel = -1;
        SetRow(SortRow);
    }
    scope.Done(FNavigation->KeepScrollOnSort());
}

void TExtStringGrid::QUnSort()
{
    const int n = RowCount();
    // Only a cross reference that records every row exactly once is applied.
    if (FSortRowXRef.Count() != n) return;
    std::vector<int> order(size_t(n), -1);
    for (int p = 0; p < n; ++p) {
        const int v = FSortRowXRef.Items(p);
        if (v < 0 || v >= n || order[size_t(v)] >= 0) return;
        order[size_t(v)] = p;
    }
    FUnSortRowXRef.Clear();
    for (int p = 0; p < n; ++p) FUnSortRowXRef.Add(FSortRowXRef.Items(p));
    TSortScope scope(*this, true);
    scope.Apply(order, 0);
    scope.Done(true);
}

void TExtStringGrid::Sort(int column, TSortDirection direction)
{
    FSortSettings->SetColumn(column);
    FSortSettings->SetDirection(direction);
    QSort();
}

void TExtStringGrid::SortByColumn(int col)
{
    if (RowCount() <= 1) return;
    FSortSettings->SetColumn(col);
    QSort();
}
