#pragma once
// Shared by the libFuzzer harnesses: a property that does not hold stops the
// run with a message (libFuzzer then keeps the input as a crash), and the
// ways a harness cuts its input into parts.
#include "platform/Exception.h"
#include "platform/XmlDoc.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Stops the run when `ok` is false: the input shows a fault.
inline void Require(bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "property does not hold: %s\n", what);
    std::abort();
}

inline QByteArray Bytes(const uint8_t* data, size_t size) { return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)); }

// The input as 16-bit text, unit by unit (so that lone surrogates and every
// other unit a QString can hold are reached), an odd last byte dropped.
inline QString Utf16(const QByteArray& bytes)
{
    return QString(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
}

// The parts of an input separated by a line "--8<--" (the seeds join files so).
inline QList<QByteArray> Parts(const QByteArray& bytes, int count)
{
    static const QByteArray cut = "\n--8<--\n";
    QList<QByteArray> parts;
    qsizetype from = 0;
    while (parts.size() < count - 1) {
        const qsizetype at = bytes.indexOf(cut, from);
        if (at < 0) break;
        parts << bytes.mid(from, at - from);
        from = at + cut.size();
    }
    parts << bytes.mid(from);
    return parts;
}

// Loads the input into `doc`; false when it is refused (not well-formed, an
// encoding or a character the program cannot read).
inline bool TryLoad(TXMLDocument& doc, const uint8_t* data, size_t size)
{
    try {
        doc.LoadFromBytes(Bytes(data, size));
        return true;
    } catch (const EXMLError&) {
        return false;
    }
}
