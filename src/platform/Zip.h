#pragma once
// Zip archives held in memory: reading entries of an archive whose bytes were
// read whole, and writing a new archive into bytes. Readers of outside files
// use this, so every entry is checked against a size limit before it is
// unpacked, and a damaged archive raises an error instead of giving a part.
#include "platform/Exception.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// A damaged archive, a damaged entry or an entry over the size limit.
class EZipError : public Exception {
public:
    using Exception::Exception;
};

class TZipReader {
public:
    // The largest entry Read unpacks.
    static constexpr int64_t MaxEntryBytes = int64_t(256) << 20;

    // Opens the archive held in `bytes` (the reader keeps a shared copy);
    // raises EZipError when it is not a readable archive.
    explicit TZipReader(const QByteArray& bytes);
    ~TZipReader();
    TZipReader(const TZipReader&) = delete;
    TZipReader& operator=(const TZipReader&) = delete;

    // The entry names in archive order.
    const QStringList& Names() const { return FNames; }
    bool Contains(const QString& name) const { return FNames.contains(name); }
    // The unpacked bytes of an entry; raises EZipError when the entry is
    // missing, damaged or larger than MaxEntryBytes.
    QByteArray Read(const QString& name) const;

private:
    struct TImpl;
    QByteArray FBytes;
    std::unique_ptr<TImpl> FImpl;
    QStringList FNames;
};

// The archive of the given entries, in that order, deflated. Raises
// EZipError when libzip fails.
QByteArray WriteZip(const std::vector<std::pair<QString, QByteArray>>& entries);
