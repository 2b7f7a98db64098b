#include "platform/XlsReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

[[noreturn]] void Bad(const char* why) { throw EXlsError(QString::fromLatin1(why)); }

// Little-endian values at an offset the caller has checked.
uint16_t U16(const char* p) { return uint16_t(uint8_t(p[0]) | uint8_t(p[1]) << 8); }
uint32_t U32(const char* p) { return uint32_t(U16(p)) | uint32_t(U16(p + 2)) << 16; }
uint64_t U64(const char* p) { return uint64_t(U32(p)) | uint64_t(U32(p + 4)) << 32; }
double F64(const char* p)
{
    const uint64_t bits = U64(p);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// Sector numbers with a meaning of their own.
constexpr uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr qsizetype kHeaderBytes = 512;
constexpr qsizetype kEntryBytes = 128;
constexpr qsizetype kMiniSectorSize = 64;
constexpr uint8_t kStorage = 1, kStream = 2, kRoot = 5;

} // namespace

// ---------------------------------------------------------------------------
// The container

TCompoundFile::TCompoundFile(const QByteArray& bytes)
    : FBytes(bytes)
{
    if (FBytes.size() < kHeaderBytes || !FBytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        Bad("not a compound document");
    const char* h = FBytes.constData();
    if (U16(h + 0x1C) != 0xFFFE) Bad("byte order");
    const uint16_t shift = U16(h + 0x1E);
    if (shift != 9 && shift != 12) Bad("sector size");
    if (U16(h + 0x20) != 6) Bad("mini sector size");
    FSectorSize = qsizetype(1) << shift;
    if (FBytes.size() < FSectorSize) Bad("truncated header");
    // The header takes the first sector; the last may be cut short.
    FSectorCount = uint32_t(std::min<int64_t>((FBytes.size() - FSectorSize + FSectorSize - 1) / FSectorSize,
                                              kMaxRegularSector));
    const uint32_t fatSectors = U32(h + 0x2C);
    const uint32_t firstDir = U32(h + 0x30);
    FMiniCutoff = U32(h + 0x38);
    if (FMiniCutoff != 4096) Bad("mini stream cutoff");
    const uint32_t firstMiniFat = U32(h + 0x3C);
    const uint32_t difatSectors = U32(h + 0x48);
    if (fatSectors > FSectorCount || difatSectors > FSectorCount) Bad("allocation table size");

    // The sectors of the allocation table: 109 in the header, the rest in
    // the chain of DIFAT sectors, each of which ends with the next one's
    // number.
    std::vector<uint32_t> fatList;
    fatList.reserve(fatSectors);
    for (int i = 0; i < 109 && fatList.size() < fatSectors; ++i) fatList.push_back(U32(h + 0x4C + 4 * i));
    const qsizetype perSector = FSectorSize / 4;
    std::vector<bool> seen(FSectorCount, false);
    uint32_t difat = U32(h + 0x44);
    for (uint32_t n = 0; fatList.size() < fatSectors; ++n) {
        if (n >= difatSectors || difat >= FSectorCount) Bad("DIFAT chain");
        if (seen[difat]) Bad("loop in the DIFAT chain");
        seen[difat] = true;
        const QByteArray s = SectorBytes(difat, FSectorSize);
        for (qsizetype i = 0; i < perSector - 1 && fatList.size() < fatSectors; ++i)
            fatList.push_back(U32(s.constData() + 4 * i));
        difat = U32(s.constData() + FSectorSize - 4);
    }
    FFat.reserve(size_t(fatSectors) * size_t(perSector));
    for (uint32_t sector : fatList) {
        if (sector >= FSectorCount) Bad("allocation table sector past the file");
        const QByteArray s = SectorBytes(sector, FSectorSize);
        for (qsizetype i = 0; i < perSector; ++i) FFat.push_back(U32(s.constData() + 4 * i));
    }

    // The directory: a chain of whole sectors of 128-byte entries.
    const QByteArray dir = ReadChain(firstDir, 0, false);
    for (qsizetype at = 0; at + kEntryBytes <= dir.size(); at += kEntryBytes) {
        const char* e = dir.constData() + at;
        TEntry entry;
        entry.Type = uint8_t(e[66]);
        const uint16_t nameBytes = U16(e + 64);
        if (entry.Type != 0) {
            if (nameBytes > 64 || nameBytes % 2) Bad("directory entry name");
            for (int i = 0; i + 2 < nameBytes; i += 2) entry.Name += QChar(char16_t(U16(e + i)));
        }
        entry.Left = U32(e + 68);
        entry.Right = U32(e + 72);
        entry.Child = U32(e + 76);
        entry.Start = U32(e + 116);
        // Files of 512-byte sectors keep only the low half of the size.
        entry.Size = FSectorSize == 512 ? U32(e + 120) : U64(e + 120);
        FEntries.push_back(std::move(entry));
    }
    if (FEntries.empty() || FEntries[0].Type != kRoot) Bad("no root entry");

    FFirstMiniFat = firstMiniFat;
}

QByteArray TCompoundFile::SectorBytes(uint32_t sector, qsizetype length) const
{
    if (sector >= FSectorCount) Bad("sector number past the file");
    const qsizetype at = (qsizetype(sector) + 1) * FSectorSize;
    if (at + length > FBytes.size()) Bad("sector cut short");
    return QByteArray::fromRawData(FBytes.constData() + at, length);
}

// The bytes of a chain: `size` bytes, or with size 0 every sector up to
// the chain's end (directory, allocation tables). A chain that loops, leaves
// the table or ends before `size` bytes is refused.
QByteArray TCompoundFile::ReadChain(uint32_t start, uint64_t size, bool mini) const
{
    if (size > uint64_t(MaxStreamBytes)) Bad("stream too large");
    const std::vector<uint32_t>& table = mini ? FMiniFat : FFat;
    const qsizetype unit = mini ? kMiniSectorSize : FSectorSize;
    const bool whole = size == 0;
    QByteArray out;
    if (!whole) out.reserve(qsizetype(size));
    std::vector<bool> seen(table.size(), false);
    uint32_t s = start;
    while (whole ? s != kEndOfChain : uint64_t(out.size()) < size) {
        if (s >= table.size()) Bad(s == kEndOfChain ? "chain ends before the stream" : "sector number out of range");
        if (seen[s]) Bad("loop in a sector chain");
        seen[s] = true;
        const qsizetype want = whole ? unit : qsizetype(std::min<uint64_t>(uint64_t(unit), size - uint64_t(out.size())));
        if (mini) {
            const qsizetype at = qsizetype(s) * kMiniSectorSize;
            if (at + want > FMiniStream.size()) Bad("mini sector past the mini stream");
            out.append(FMiniStream.constData() + at, want);
        } else {
            out.append(SectorBytes(s, want));
        }
        if (out.size() > MaxStreamBytes) Bad("stream too large");
        s = table[s];
    }
    return out;
}

const TCompoundFile::TEntry* TCompoundFile::Find(const QString& name) const
{
    // The root's children form a tree through their left and right links.
    std::vector<bool> seen(FEntries.size(), false);
    std::vector<uint32_t> todo{FEntries[0].Child};
    const TEntry* found = nullptr;
    while (!todo.empty()) {
        const uint32_t i = todo.back();
        todo.pop_back();
        if (i == kNoStream) continue;
        if (i >= FEntries.size()) Bad("directory link out of range");
        if (seen[i]) Bad("loop in the directory");
        seen[i] = true;
        const TEntry& e = FEntries[i];
        if (e.Type == kStream && !found && e.Name.compare(name, Qt::CaseInsensitive) == 0) found = &e;
        else if (e.Type != kStream && e.Type != kStorage) Bad("directory entry type");
        todo.push_back(e.Left);
        todo.push_back(e.Right);
    }
    return found;
}

bool TCompoundFile::HasStream(const QString& name) const { return Find(name) != nullptr; }

QByteArray TCompoundFile::Stream(const QString& name)
{
    const TEntry* e = Find(name);
    if (!e) Bad("stream missing");
    if (e->Size == 0) return {};
    const bool mini = e->Size < FMiniCutoff;
    if (mini && !FMiniRead) {
        // The mini stream (the root entry's data) and its allocation table
        // hold the small streams.
        const TEntry& root = FEntries[0];
        FMiniStream = ReadChain(root.Start, root.Size, false);
        const QByteArray miniFat = ReadChain(FFirstMiniFat, 0, false);
        FMiniFat.reserve(size_t(miniFat.size() / 4));
        for (qsizetype i = 0; i + 4 <= miniFat.size(); i += 4) FMiniFat.push_back(U32(miniFat.constData() + i));
        FMiniRead = true;
    }
    return ReadChain(e->Start, e->Size, mini);
}

// ---------------------------------------------------------------------------
// The workbook stream

namespace {

constexpr uint16_t kFormula = 0x0006, kEof = 0x000A, kDateMode = 0x0022, kFilePass = 0x002F, kContinue = 0x003C,
                   kBoundSheet = 0x0085, kMulRk = 0x00BD, kRString = 0x00D6, kXf = 0x00E0, kSst = 0x00FC,
                   kLabelSst = 0x00FD, kNumber = 0x0203, kLabel = 0x0204, kBoolErr = 0x0205, kString = 0x0207,
                   kRk = 0x027E, kFormat = 0x041E, kBof = 0x0809;
constexpr uint16_t kBiff8 = 0x0600;

struct TRecord {
    uint16_t Type = 0;
    const char* Data = nullptr;
    qsizetype Size = 0;
};

// Walks the records of a stream from an offset.
class TRecords {
public:
    TRecords(const QByteArray& stream, qsizetype at)
        : FStream(stream)
        , FAt(at)
    {
    }
    bool AtEnd() const { return FAt >= FStream.size(); }
    TRecord Next()
    {
        if (FAt + 4 > FStream.size()) Bad("record header past the stream");
        const char* p = FStream.constData() + FAt;
        TRecord r{U16(p), p + 4, U16(p + 2)};
        if (FAt + 4 + r.Size > FStream.size()) Bad("record length past the stream");
        FAt += 4 + r.Size;
        return r;
    }
    // The type of the next record, 0 at the end.
    uint16_t PeekType() const { return FAt + 4 <= FStream.size() ? U16(FStream.constData() + FAt) : 0; }

private:
    const QByteArray& FStream;
    qsizetype FAt;
};

// The data of a record and the CONTINUE records after it, read as one run.
// Where the characters of a string go on in the next record, that record
// starts with a byte saying whether they are 8 or 16 bits wide.
class TContinued {
public:
    TContinued(const TRecord& first, TRecords& records)
    {
        FParts.push_back(first);
        while (records.PeekType() == kContinue) FParts.push_back(records.Next());
    }
    explicit TContinued(const TRecord& only) { FParts.push_back(only); }

    bool AtEnd()
    {
        while (FPart < FParts.size() && FAt == FParts[FPart].Size) {
            ++FPart;
            FAt = 0;
        }
        return FPart == FParts.size();
    }
    uint8_t Byte()
    {
        if (AtEnd()) Bad("string data past its record");
        return uint8_t(FParts[FPart].Data[FAt++]);
    }
    uint16_t Word() { return uint16_t(Byte() | Byte() << 8); }
    uint32_t DWord() { return uint32_t(Word()) | uint32_t(Word()) << 16; }
    void Skip(uint64_t n)
    {
        while (n > 0) {
            if (AtEnd()) Bad("string data past its record");
            const qsizetype step = qsizetype(std::min<uint64_t>(n, uint64_t(FParts[FPart].Size - FAt)));
            FAt += step;
            n -= uint64_t(step);
        }
    }
    // `count` characters, 8 or 16 bits wide as `wide` says at the start.
    QString Chars(int count, bool wide)
    {
        QString s;
        s.reserve(count);
        while (count > 0) {
            if (FAt == FParts[FPart].Size) {
                if (AtEnd()) Bad("string data past its record");
                wide = Byte() & 1;
                continue;
            }
            const TRecord& part = FParts[FPart];
            const qsizetype fit = (part.Size - FAt) / (wide ? 2 : 1);
            if (fit == 0) Bad("character split between records");
            const int n = int(std::min<qsizetype>(fit, count));
            for (int i = 0; i < n; ++i) {
                const char* p = part.Data + FAt + (wide ? 2 * i : i);
                s += QChar(char16_t(wide ? U16(p) : uint8_t(*p)));
            }
            FAt += wide ? 2 * n : n;
            count -= n;
        }
        return s;
    }
    // A string with a 16-bit count and a flag byte; runs and phonetic data
    // skipped when the flags announce them.
    QString String(bool rich)
    {
        const int count = Word();
        const uint8_t flags = Byte();
        const uint16_t runs = rich && (flags & 0x08) ? Word() : 0;
        const uint32_t ext = rich && (flags & 0x04) ? DWord() : 0;
        QString s = Chars(count, flags & 1);
        Skip(4 * uint64_t(runs) + ext);
        return s;
    }

private:
    std::vector<TRecord> FParts;
    size_t FPart = 0;
    qsizetype FAt = 0;
};

// A string inside one record at `at`: an 8- or 16-bit count, then a flag
// byte and the characters.
QString RecordString(const TRecord& r, qsizetype at, bool shortCount)
{
    const qsizetype head = shortCount ? 2 : 3;
    if (at + head > r.Size) Bad("string past its record");
    const int count = shortCount ? uint8_t(r.Data[at]) : U16(r.Data + at);
    const bool wide = uint8_t(r.Data[at + head - 1]) & 1;
    if (at + head + qsizetype(count) * (wide ? 2 : 1) > r.Size) Bad("string past its record");
    TRecord chars{r.Type, r.Data + at + head, r.Size - at - head};
    return TContinued(chars).Chars(count, wide);
}

void Need(const TRecord& r, qsizetype size)
{
    if (r.Size < size) Bad("record too short");
}

// A number stored in 30 bits: an integer or the high half of a double,
// divided by 100 when its low bit says so.
double RkValue(uint32_t rk)
{
    double v;
    if (rk & 2) {
        v = double(int32_t(rk) >> 2);
    } else {
        const uint64_t bits = uint64_t(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return rk & 1 ? v / 100 : v;
}

void CheckBof(const TRecord& r)
{
    if (r.Type != kBof) Bad("no BOF record");
    Need(r, 4);
    if (U16(r.Data) != kBiff8) Bad("not a BIFF8 workbook");
}

} // namespace

TXlsWorkbook::TXlsWorkbook(const QByteArray& bytes)
{
    TCompoundFile file(bytes);
    if (!file.HasStream(QStringLiteral("Workbook"))) {
        if (file.HasStream(QStringLiteral("Book"))) Bad("a BIFF5 or older workbook: save it as a newer workbook");
        Bad("no workbook stream");
    }
    FStream = file.Stream(QStringLiteral("Workbook"));

    TRecords records(FStream, 0);
    const TRecord bof = records.Next();
    CheckBof(bof);
    if (U16(bof.Data + 2) != 0x0005) Bad("no workbook globals");
    for (;;) {
        if (records.AtEnd()) Bad("workbook globals without an end");
        const TRecord r = records.Next();
        if (r.Type == kEof) break;
        switch (r.Type) {
        case kFilePass:
            Bad("an encrypted workbook");
        case kDateMode:
            Need(r, 2);
            FDate1904 = U16(r.Data) == 1;
            break;
        case kXf:
            Need(r, 4);
            FXfFormats.push_back(U16(r.Data + 2));
            break;
        case kFormat:
            Need(r, 2);
            FFormats.insert(U16(r.Data), RecordString(r, 2, false));
            break;
        case kBoundSheet:
            Need(r, 6);
            FOffsets.push_back(U32(r.Data));
            FNames << RecordString(r, 6, true);
            break;
        case kSst: {
            TContinued sst(r, records);
            sst.DWord();  // references in the workbook
            const uint32_t unique = sst.DWord();
            for (uint32_t i = 0; i < unique; ++i) FStrings << sst.String(true);
            break;
        }
        default:
            break;
        }
    }
    if (FNames.isEmpty()) Bad("no sheet");
}

std::vector<TXlsCell> TXlsWorkbook::ReadSheet(int index) const
{
    if (index < 0 || index >= FNames.size()) Bad("sheet index");
    const uint32_t offset = FOffsets[size_t(index)];
    if (offset >= uint32_t(FStream.size())) Bad("sheet offset past the stream");
    TRecords records(FStream, qsizetype(offset));
    std::vector<TXlsCell> cells;
    auto add = [&](const TRecord& r, int col, int xf, TXlsCell::TKind kind) -> TXlsCell& {
        TXlsCell c;
        c.Row = U16(r.Data);
        c.Col = col;
        c.Xf = xf;
        c.Kind = kind;
        cells.push_back(std::move(c));
        return cells.back();
    };
    auto number = [&](const TRecord& r, int col, int xf, double v) {
        if (!std::isfinite(v)) Bad("number value");
        add(r, col, xf, TXlsCell::TKind::Number).Number = v;
    };
    CheckBof(records.Next());
    // Charts embedded in a sheet bring BOF ... EOF blocks of their own.
    int depth = 1;
    // A formula whose text result follows in a STRING record.
    TRecord pendingString;
    bool stringPending = false;
    while (depth > 0) {
        if (records.AtEnd()) Bad("sheet without an end");
        const TRecord r = records.Next();
        if (r.Type == kBof) ++depth;
        else if (r.Type == kEof) --depth;
        if (depth != 1) continue;
        if (r.Type == kString) {
            if (stringPending) {
                add(pendingString, U16(pendingString.Data + 2), U16(pendingString.Data + 4), TXlsCell::TKind::Text)
                    .Text = TContinued(r, records).String(false);
                stringPending = false;
            }
            continue;
        }
        switch (r.Type) {
        case kLabelSst: {
            Need(r, 10);
            const uint32_t i = U32(r.Data + 6);
            if (i >= uint32_t(FStrings.size())) Bad("shared string index");
            add(r, U16(r.Data + 2), U16(r.Data + 4), TXlsCell::TKind::Text).Text = FStrings[qsizetype(i)];
            break;
        }
        case kLabel:
        case kRString:
            Need(r, 6);
            add(r, U16(r.Data + 2), U16(r.Data + 4), TXlsCell::TKind::Text).Text = RecordString(r, 6, false);
            break;
        case kNumber:
            Need(r, 14);
            number(r, U16(r.Data + 2), U16(r.Data + 4), F64(r.Data + 6));
            break;
        case kRk:
            Need(r, 10);
            number(r, U16(r.Data + 2), U16(r.Data + 4), RkValue(U32(r.Data + 6)));
            break;
        case kMulRk: {
            // Row, first column, (format, value) per cell, last column.
            Need(r, 12);
            if ((r.Size - 6) % 6) Bad("MULRK length");
            const int first = U16(r.Data + 2);
            const qsizetype n = (r.Size - 6) / 6;
            if (U16(r.Data + r.Size - 2) != first + n - 1) Bad("MULRK columns");
            for (qsizetype i = 0; i < n; ++i)
                number(r, first + int(i), U16(r.Data + 4 + 6 * i), RkValue(U32(r.Data + 6 + 6 * i)));
            break;
        }
        case kBoolErr:
            Need(r, 8);
            if (r.Data[7]) add(r, U16(r.Data + 2), U16(r.Data + 4), TXlsCell::TKind::Error);
            else add(r, U16(r.Data + 2), U16(r.Data + 4), TXlsCell::TKind::Boolean).Boolean = r.Data[6] != 0;
            break;
        case kFormula: {
            // The cached result: a double, or a tagged value whose top two
            // bytes are FFFF.
            Need(r, 20);
            const int col = U16(r.Data + 2), xf = U16(r.Data + 4);
            if (U16(r.Data + 12) != 0xFFFF) {
                number(r, col, xf, F64(r.Data + 6));
                break;
            }
            switch (uint8_t(r.Data[6])) {
            case 0:
                pendingString = r;
                stringPending = true;
                break;
            case 1: add(r, col, xf, TXlsCell::TKind::Boolean).Boolean = r.Data[8] != 0; break;
            case 2: add(r, col, xf, TXlsCell::TKind::Error); break;
            case 3: add(r, col, xf, TXlsCell::TKind::Text); break;
            default: Bad("formula result type");
            }
            break;
        }
        default:
            break;
        }
    }
    return cells;
}
