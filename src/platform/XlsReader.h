#pragma once
// Binary workbooks (.xls) read from bytes held in memory: the compound
// document container (sectors, allocation tables, directory, mini stream) and
// the BIFF8 workbook stream inside it (sheets, shared strings, number
// formats, cell values). Every sector number, offset, count and length is
// checked against what the file holds: a damaged file raises EXlsError and
// hands out nothing, whatever its bytes.
#include "platform/Exception.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// A file that is not a readable compound document or binary workbook; the
// message says what is wrong.
class EXlsError : public Exception {
public:
    using Exception::Exception;
};

// The streams of a compound document.
class TCompoundFile {
public:
    // The largest stream read: anything larger is refused unread.
    static constexpr int64_t MaxStreamBytes = int64_t(256) << 20;

    // Checks the header and reads the allocation tables and the directory.
    explicit TCompoundFile(const QByteArray& bytes);

    // Whether the root storage holds a stream of that name (letter case
    // ignored).
    bool HasStream(const QString& name) const;
    // The bytes of that stream of the root storage; raises EXlsError when it
    // is missing or its sectors are damaged.
    QByteArray Stream(const QString& name);

private:
    struct TEntry {
        QString Name;
        uint8_t Type = 0;
        uint32_t Left = 0, Right = 0, Child = 0, Start = 0;
        uint64_t Size = 0;
    };
    const TEntry* Find(const QString& name) const;
    QByteArray ReadChain(uint32_t start, uint64_t size, bool mini) const;
    QByteArray SectorBytes(uint32_t sector, qsizetype length) const;

    QByteArray FBytes;
    qsizetype FSectorSize = 512;
    uint32_t FSectorCount = 0;
    uint32_t FMiniCutoff = 4096;
    uint32_t FFirstMiniFat = 0;
    bool FMiniRead = false;
    std::vector<uint32_t> FFat;
    std::vector<uint32_t> FMiniFat;
    std::vector<TEntry> FEntries;
    QByteArray FMiniStream;
};

// One cell value of a sheet, as the file stores it.
struct TXlsCell {
    enum class TKind : uint8_t { Number, Text, Boolean, Error };
    int Row = 0;  // 0-based
    int Col = 0;  // 0-based
    TKind Kind = TKind::Number;
    double Number = 0;
    bool Boolean = false;
    QString Text;
    int Xf = 0;  // the cell's format record
};

// The BIFF8 workbook of a compound document.
class TXlsWorkbook {
public:
    // Reads the container and the workbook globals (sheet list, shared
    // strings, formats, date system); raises EXlsError when either is broken,
    // encrypted, or the workbook is older than BIFF8.
    explicit TXlsWorkbook(const QByteArray& bytes);

    const QStringList& SheetNames() const { return FNames; }
    // Whether dates count from 1904 rather than 1900.
    bool Date1904() const { return FDate1904; }
    // The number format id of each cell format record, by its index.
    const std::vector<int>& XfFormats() const { return FXfFormats; }
    // The format codes the workbook defines, by number format id.
    const QHash<int, QString>& Formats() const { return FFormats; }

    // The cells of one sheet holding a value (blank cells left out), in file
    // order; raises EXlsError when its records are broken.
    std::vector<TXlsCell> ReadSheet(int index) const;

private:
    QByteArray FStream;
    QStringList FNames;
    std::vector<uint32_t> FOffsets;
    bool FDate1904 = false;
    std::vector<int> FXfFormats;
    QHash<int, QString> FFormats;
    QStringList FStrings;
};
