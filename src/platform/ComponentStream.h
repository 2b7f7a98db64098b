#pragma once
// The binary component-image format: records that start with "TPF0", a class
// name and an empty component name, followed by named properties with tagged
// values (little-endian) and two 0 bytes. The writer appends records to a
// byte array; the reader walks a byte array and checks every length against
// the bytes left before it allocates anything, so a damaged or hostile image
// fails with EReadError (carrying the offset) instead of reading past its
// end or asking for huge blocks.
#include "platform/Exception.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

// A component image that cannot be read: malformed, cut short, or holding a
// value its reader does not accept. Offset is where in the input it failed.
class EReadError : public Exception {
public:
    EReadError(const QString& what, qint64 offset);
    qint64 Offset() const { return m_offset; }

private:
    qint64 m_offset;
};

// The tags of the tagged values (their numbers are the format's).
enum class TValueType : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaWString = 18,
    vaUTF8String = 20,
};

// The 10-byte extended-precision form of a double and back, converted bit
// by bit (the host's long double is not used: it may not be 80 bits wide).
void DoubleToExtended(double v, uint8_t out[10]);
double ExtendedToDouble(const uint8_t in[10]);

// One value read from an image. Which members hold it depends on Type:
// integers in Int, vaExtended in Float, Booleans in Bool, texts in Text,
// identifiers in Ident, sets in Members, vaBinary in Binary, lists in Lines.
struct TStreamValue {
    TValueType Type = TValueType::vaNull;
    qint64 Int = 0;
    double Float = 0;
    bool Bool = false;
    QString Text;
    QByteArray Ident;
    QList<QByteArray> Members;
    QByteArray Binary;
    QStringList Lines;

    bool IsInteger() const { return Type == TValueType::vaInt8 || Type == TValueType::vaInt16 || Type == TValueType::vaInt32; }
    bool IsBoolean() const { return Type == TValueType::vaFalse || Type == TValueType::vaTrue; }
    bool IsText() const
    {
        return Type == TValueType::vaString || Type == TValueType::vaLString || Type == TValueType::vaWString ||
               Type == TValueType::vaUTF8String;
    }
};

class TComponentWriter {
public:
    explicit TComponentWriter(QByteArray& out) : m_out(out) {}

    // "TPF0", the class name and an empty component name.
    void BeginRecord(QByteArrayView className);
    // The end of the property list and of the (empty) child list.
    void EndRecord();

    // An integer in the fewest bytes its value needs (1, 2 or 4).
    void WriteInteger(QByteArrayView name, int32_t v);
    void WriteBoolean(QByteArrayView name, bool v);
    // ASCII shorter than 256 bytes as vaString, longer ASCII as vaLString;
    // other text as vaUTF8String when that is shorter than twice its
    // character count, else as vaWString.
    void WriteString(QByteArrayView name, const QString& v);
    void WriteIdent(QByteArrayView name, QByteArrayView ident);
    void WriteSet(QByteArrayView name, const QList<QByteArray>& members);
    void WriteBinary(QByteArrayView name, const QByteArray& bytes);
    void WriteFloat(QByteArrayView name, double v);
    // A string list: vaList, one text value per line, vaNull.
    void WriteList(QByteArrayView name, const QStringList& lines);

private:
    void Name(QByteArrayView name);
    void Short(QByteArrayView s);
    void Tag(TValueType t) { m_out.append(char(t)); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    void Text(const QString& v);

    QByteArray& m_out;
};

class TComponentReader {
public:
    explicit TComponentReader(QByteArrayView data, qint64 pos = 0) : m_data(data), m_pos(pos) {}

    qint64 Position() const { return m_pos; }
    qint64 Remaining() const { return m_data.size() - m_pos; }

    // Reads "TPF0", the class name and the component name; answers the class
    // name.
    QByteArray BeginRecord();
    // True (and the 0 consumed) at the end of the property list.
    bool EndOfProperties();
    // The name of the next property.
    QByteArray ReadName();
    TStreamValue ReadValue();
    // The (empty) child list's 0; a record with children is refused.
    void EndRecord();

    // Fails at the current position.
    [[noreturn]] void Fail(const QString& what) const { throw EReadError(what, m_pos); }

private:
    void Need(qint64 n) const;
    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    QByteArray Bytes(qint64 n);
    QByteArray Short();
    QString ReadText(TValueType t);

    QByteArrayView m_data;
    qint64 m_pos;
};
