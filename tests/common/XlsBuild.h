#pragma once
// Binary workbooks made byte by byte for the tests: BIFF8 records, a
// workbook stream of sheets, and a compound document of 512-byte sectors
// holding it, with the file offsets of its parts so that a test can damage
// one of them.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace XlsBuild {

inline void Put16(QByteArray& b, uint32_t v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
inline void Put32(QByteArray& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void Set32(QByteArray& b, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}
inline QByteArray Double(double v)
{
    QByteArray b(8, '\0');
    std::memcpy(b.data(), &v, 8);
    return b;
}

inline QByteArray Record(uint16_t type, const QByteArray& data)
{
    QByteArray r;
    Put16(r, type);
    Put16(r, uint32_t(data.size()));
    return r + data;
}
// Row, column and format of a cell record.
inline QByteArray Cell(int row, int col, int xf = 0)
{
    QByteArray b;
    Put16(b, uint32_t(row));
    Put16(b, uint32_t(col));
    Put16(b, uint32_t(xf));
    return b;
}
// A string with a 16-bit count (or an 8-bit one), 16 bits wide when a
// character needs it.
inline QByteArray String(const QString& s, bool shortCount = false)
{
    bool wide = false;
    for (QChar c : s) wide = wide || c.unicode() > 0xFF;
    QByteArray b;
    if (shortCount) b.append(char(s.size()));
    else Put16(b, uint32_t(s.size()));
    b.append(char(wide ? 1 : 0));
    for (QChar c : s) {
        if (wide) Put16(b, c.unicode());
        else b.append(char(c.unicode()));
    }
    return b;
}
inline QByteArray Bof(uint16_t kind, uint16_t version = 0x0600)
{
    QByteArray b;
    Put16(b, version);
    Put16(b, kind);
    return Record(0x0809, b + QByteArray(12, '\0'));
}
inline QByteArray Eof() { return Record(0x000A, {}); }

// A workbook stream: the globals (BOF, `globals`, one BOUNDSHEET per sheet,
// EOF), then each sheet's BOF, records and EOF.
inline QByteArray Workbook(const QByteArray& globals, const std::vector<std::pair<QString, QByteArray>>& sheets)
{
    QByteArray head = Bof(0x0005) + globals;
    std::vector<qsizetype> offsetAt;
    for (const auto& [name, records] : sheets) {
        QByteArray data(4, '\0');
        data += QByteArray(2, '\0') + String(name, true);
        offsetAt.push_back(head.size() + 4);
        head += Record(0x0085, data);
    }
    head += Eof();
    QByteArray body;
    for (size_t i = 0; i < sheets.size(); ++i) {
        Set32(head, offsetAt[i], uint32_t(head.size() + body.size()));
        body += Bof(0x0010) + sheets[i].second + Eof();
    }
    return head + body;
}

// A compound document of 512-byte sectors holding one stream. Sector 0 is
// the allocation table, sector 1 the directory (root entry, then the
// stream's entry); a stream under 4096 bytes lies in the mini stream, whose
// table is sector 2, from sector 3 on; a larger one from sector 2 on.
struct TCompound {
    QByteArray Bytes;
    qsizetype Fat = 512;    // file offset of the allocation table
    qsizetype Entry = 1152;  // file offset of the stream's directory entry
    qsizetype MiniFat = -1;  // file offset of the mini stream's table
    qsizetype Difat = -1;    // file offset of the DIFAT sector
    bool Mini = false;
};

// With `difat`, the allocation table has 110 sectors: 109 listed in the
// header, the last in a DIFAT sector; the 109 added ones, at the end of the
// file, are all free.
inline TCompound Compound(const QByteArray& stream, const QString& name = QStringLiteral("Workbook"), bool difat = false)
{
    constexpr uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSect = 0xFFFFFFFD;
    TCompound c;
    c.Mini = stream.size() < 4096;
    const QByteArray data = stream + QByteArray(int((512 - stream.size() % 512) % 512), '\0');
    const uint32_t dataSectors = uint32_t(data.size() / 512);
    const uint32_t first = c.Mini ? 3 : 2;
    if (first + dataSectors > 128) return c;  // one table sector: small streams only

    QByteArray h("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    h += QByteArray(16, '\0');
    Put16(h, 0x3E);
    Put16(h, 3);
    Put16(h, 0xFFFE);
    Put16(h, 9);
    Put16(h, 6);
    h += QByteArray(6, '\0');
    Put32(h, 0);  // directory sectors
    Put32(h, 1);  // table sectors
    Put32(h, 1);  // first directory sector
    Put32(h, 0);
    Put32(h, 4096);
    Put32(h, c.Mini ? 2 : kEnd);
    Put32(h, c.Mini ? 1 : 0);
    Put32(h, kEnd);  // no DIFAT sectors
    Put32(h, 0);
    Put32(h, 0);  // the table is sector 0
    for (int i = 1; i < 109; ++i) Put32(h, kFree);

    QByteArray fat;
    Put32(fat, kFatSect);
    Put32(fat, kEnd);
    if (c.Mini) Put32(fat, kEnd);
    for (uint32_t i = 0; i < dataSectors; ++i) Put32(fat, i + 1 < dataSectors ? first + i + 1 : kEnd);
    while (fat.size() < 512) Put32(fat, kFree);

    auto entry = [](const QString& entryName, uint8_t type, uint32_t child, uint32_t start, uint32_t size) {
        QByteArray e(64, '\0');
        for (qsizetype i = 0; i < entryName.size(); ++i) {
            e[2 * i] = char(entryName[i].unicode() & 0xFF);
            e[2 * i + 1] = char(entryName[i].unicode() >> 8);
        }
        Put16(e, uint32_t(entryName.size() + 1) * 2);
        e.append(char(type));
        e.append(char(1));
        Put32(e, kFree);
        Put32(e, kFree);
        Put32(e, child);
        e += QByteArray(36, '\0');
        Put32(e, start);
        Put32(e, size);
        Put32(e, 0);
        return e;
    };
    const uint32_t miniSectors = uint32_t((stream.size() + 63) / 64);
    QByteArray dir = entry(QStringLiteral("Root Entry"), 5, 1, c.Mini ? first : kEnd, c.Mini ? miniSectors * 64 : 0);
    dir += entry(name, 2, kFree, c.Mini ? 0 : first, uint32_t(stream.size()));
    dir += QByteArray(256, '\0');

    QByteArray out = h + QByteArray(512 - h.size(), '\0') + fat + dir;
    if (c.Mini) {
        QByteArray miniFat;
        for (uint32_t i = 0; i < miniSectors; ++i) Put32(miniFat, i + 1 < miniSectors ? i + 1 : kEnd);
        while (miniFat.size() < 512) Put32(miniFat, kFree);
        c.MiniFat = out.size();
        out += miniFat;
    }
    c.Bytes = out + data;
    if (difat) {
        const uint32_t extra = uint32_t(c.Bytes.size() / 512 - 1);
        QByteArray freeSector;
        while (freeSector.size() < 512) Put32(freeSector, kFree);
        for (int i = 0; i < 109; ++i) c.Bytes += freeSector;
        Set32(c.Bytes, 0x2C, 110);
        for (uint32_t i = 0; i < 108; ++i) Set32(c.Bytes, 0x50 + 4 * qsizetype(i), extra + i);
        Set32(c.Bytes, 0x44, extra + 109);
        Set32(c.Bytes, 0x48, 1);
        c.Difat = c.Bytes.size();
        QByteArray list;
        Put32(list, extra + 108);
        while (list.size() < 508) Put32(list, kFree);
        Put32(list, kEnd);
        c.Bytes += list;
    }
    return c;
}

} // namespace XlsBuild
