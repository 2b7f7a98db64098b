#include "platform/ComponentStream.h"

#include "platform/Files.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

EReadError::EReadError(const QString& what, qint64 offset)
    : Exception(QStringLiteral("Error reading stream at offset %1: %2").arg(offset).arg(what)), m_offset(offset)
{
}

// ---------------------------------------------------------------------------
// Extended precision: 64-bit significand with an explicit integer bit, then
// a 15-bit exponent (bias 16383) and the sign.

void DoubleToExtended(double v, uint8_t out[10])
{
    const uint64_t bits = std::bit_cast<uint64_t>(v);
    const bool negative = bits >> 63;
    const int exp11 = int((bits >> 52) & 0x7FF);
    const uint64_t frac = bits & ((uint64_t(1) << 52) - 1);
    uint64_t mant = 0;
    int exp15 = 0;
    if (exp11 == 0x7FF) {  // infinity, NaN
        exp15 = 0x7FFF;
        mant = (uint64_t(1) << 63) | (frac << 11);
    } else if (exp11 != 0) {
        exp15 = exp11 - 1023 + 16383;
        mant = (uint64_t(1) << 63) | (frac << 11);
    } else if (frac != 0) {  // a double subnormal is an ordinary extended number
        const int shift = std::countl_zero(frac);
        mant = frac << shift;
        exp15 = 1 - 1023 + 16383 - (shift - 11);
    }
    for (int i = 0; i < 8; ++i) out[i] = uint8_t(mant >> (8 * i));
    const uint16_t se = uint16_t(exp15 | (negative ? 0x8000 : 0));
    out[8] = uint8_t(se);
    out[9] = uint8_t(se >> 8);
}

double ExtendedToDouble(const uint8_t in[10])
{
    uint64_t mant = 0;
    for (int i = 0; i < 8; ++i) mant |= uint64_t(in[i]) << (8 * i);
    const uint16_t se = uint16_t(in[8] | (in[9] << 8));
    const bool negative = se & 0x8000;
    const int exp15 = se & 0x7FFF;
    double v;
    if (exp15 == 0x7FFF) {
        v = (mant << 1) == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
    } else if (mant == 0) {
        v = 0;
    } else {
        // The significand rounded to 53 bits, then scaled; ldexp rounds into
        // the subnormal range and overflows to infinity as it should.
        const int shift = std::countl_zero(mant);
        const uint64_t top = mant << shift;  // leading bit at 63
        const double m = double(top);        // rounded to nearest
        v = std::ldexp(m, (exp15 == 0 ? 1 : exp15) - 16383 - 63 - shift);
    }
    return negative ? -v : v;
}

// ---------------------------------------------------------------------------
// Writer

void TComponentWriter::U16(uint16_t v)
{
    m_out.append(char(v & 0xFF));
    m_out.append(char(v >> 8));
}

void TComponentWriter::U32(uint32_t v)
{
    for (int i = 0; i < 4; ++i) m_out.append(char((v >> (8 * i)) & 0xFF));
}

void TComponentWriter::Short(QByteArrayView s)
{
    Q_ASSERT(s.size() < 256);
    m_out.append(char(s.size()));
    m_out.append(s);
}

void TComponentWriter::Name(QByteArrayView name) { Short(name); }

void TComponentWriter::BeginRecord(QByteArrayView className)
{
    m_out.append("TPF0");
    Short(className);
    m_out.append('\0');
}

void TComponentWriter::EndRecord()
{
    m_out.append('\0');
    m_out.append('\0');
}

void TComponentWriter::WriteInteger(QByteArrayView name, int32_t v)
{
    Name(name);
    if (v >= -128 && v <= 127) {
        Tag(TValueType::vaInt8);
        m_out.append(char(int8_t(v)));
    } else if (v >= -32768 && v <= 32767) {
        Tag(TValueType::vaInt16);
        U16(uint16_t(int16_t(v)));
    } else {
        Tag(TValueType::vaInt32);
        U32(uint32_t(v));
    }
}

void TComponentWriter::WriteBoolean(QByteArrayView name, bool v)
{
    Name(name);
    Tag(v ? TValueType::vaTrue : TValueType::vaFalse);
}

void TComponentWriter::Text(const QString& v)
{
    bool ascii = true;
    for (QChar c : v)
        if (c.unicode() > 127) {
            ascii = false;
            break;
        }
    if (ascii) {
        const QByteArray bytes = v.toLatin1();
        if (bytes.size() < 256) {
            Tag(TValueType::vaString);
            Short(bytes);
        } else {
            Tag(TValueType::vaLString);
            U32(uint32_t(bytes.size()));
            m_out.append(bytes);
        }
        return;
    }
    // UTF-8 cannot carry a lone surrogate: such a text goes as 16-bit units.
    bool paired = true;
    for (qsizetype i = 0; i < v.size() && paired; ++i) {
        if (v[i].isHighSurrogate() && i + 1 < v.size() && v[i + 1].isLowSurrogate())
            ++i;
        else if (v[i].isSurrogate())
            paired = false;
    }
    const QByteArray utf8 = paired ? v.toUtf8() : QByteArray();
    if (paired && utf8.size() < 2 * v.size()) {
        Tag(TValueType::vaUTF8String);
        U32(uint32_t(utf8.size()));
        m_out.append(utf8);
    } else {
        Tag(TValueType::vaWString);
        U32(uint32_t(v.size()));
        for (QChar c : v) U16(c.unicode());
    }
}

void TComponentWriter::WriteString(QByteArrayView name, const QString& v)
{
    Name(name);
    Text(v);
}

void TComponentWriter::WriteIdent(QByteArrayView name, QByteArrayView ident)
{
    Name(name);
    Tag(TValueType::vaIdent);
    Short(ident);
}

void TComponentWriter::WriteSet(QByteArrayView name, const QList<QByteArray>& members)
{
    Name(name);
    Tag(TValueType::vaSet);
    for (const QByteArray& m : members) Short(m);
    m_out.append('\0');
}

void TComponentWriter::WriteBinary(QByteArrayView name, const QByteArray& bytes)
{
    Name(name);
    Tag(TValueType::vaBinary);
    U32(uint32_t(bytes.size()));
    m_out.append(bytes);
}

void TComponentWriter::WriteFloat(QByteArrayView name, double v)
{
    Name(name);
    Tag(TValueType::vaExtended);
    uint8_t ext[10];
    DoubleToExtended(v, ext);
    m_out.append(reinterpret_cast<const char*>(ext), 10);
}

void TComponentWriter::WriteList(QByteArrayView name, const QStringList& lines)
{
    Name(name);
    Tag(TValueType::vaList);
    for (const QString& line : lines) Text(line);
    Tag(TValueType::vaNull);
}

// ---------------------------------------------------------------------------
// Reader

void TComponentReader::Need(qint64 n) const
{
    if (n < 0 || n > Remaining()) Fail(QStringLiteral("%1 bytes needed, %2 left").arg(n).arg(Remaining()));
}

uint8_t TComponentReader::U8()
{
    Need(1);
    return uint8_t(m_data[m_pos++]);
}

uint16_t TComponentReader::U16()
{
    Need(2);
    const uint16_t v = uint16_t(uint8_t(m_data[m_pos]) | (uint8_t(m_data[m_pos + 1]) << 8));
    m_pos += 2;
    return v;
}

uint32_t TComponentReader::U32()
{
    Need(4);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(m_data[m_pos + i])) << (8 * i);
    m_pos += 4;
    return v;
}

QByteArray TComponentReader::Bytes(qint64 n)
{
    Need(n);
    QByteArray b = m_data.sliced(m_pos, n).toByteArray();
    m_pos += n;
    return b;
}

QByteArray TComponentReader::Short() { return Bytes(U8()); }

QByteArray TComponentReader::BeginRecord()
{
    Need(4);
    if (m_data.sliced(m_pos, 4) != QByteArrayView("TPF0")) Fail(QStringLiteral("no component signature"));
    m_pos += 4;
    QByteArray cls = Short();
    Short();  // component name
    return cls;
}

bool TComponentReader::EndOfProperties()
{
    Need(1);
    if (m_data[m_pos] != 0) return false;
    ++m_pos;
    return true;
}

QByteArray TComponentReader::ReadName()
{
    QByteArray name = Short();
    if (name.isEmpty()) Fail(QStringLiteral("empty property name"));
    return name;
}

void TComponentReader::EndRecord()
{
    if (U8() != 0) {
        --m_pos;
        Fail(QStringLiteral("child components are not accepted"));
    }
}

QString TComponentReader::ReadText(TValueType t)
{
    switch (t) {
    case TValueType::vaString: return DecodeAnsi(Short());
    case TValueType::vaLString: return DecodeAnsi(Bytes(U32()));
    case TValueType::vaUTF8String: {
        const qint64 at = m_pos;
        const QByteArray bytes = Bytes(U32());
        if (!IsValidUtf8(bytes)) throw EReadError(QStringLiteral("invalid UTF-8 text"), at);
        return QString::fromUtf8(bytes);
    }
    case TValueType::vaWString: {
        const qint64 count = U32();
        Need(count * 2);
        QString s(count, Qt::Uninitialized);
        for (qint64 i = 0; i < count; ++i) s[i] = QChar(U16());
        return s;
    }
    default: Fail(QStringLiteral("a text value was expected"));
    }
}

TStreamValue TComponentReader::ReadValue()
{
    TStreamValue v;
    const qint64 at = m_pos;
    const uint8_t tag = U8();
    v.Type = TValueType(tag);
    switch (v.Type) {
    case TValueType::vaInt8: v.Int = int8_t(U8()); break;
    case TValueType::vaInt16: v.Int = int16_t(U16()); break;
    case TValueType::vaInt32: v.Int = int32_t(U32()); break;
    case TValueType::vaExtended: {
        Need(10);
        uint8_t ext[10];
        std::memcpy(ext, m_data.data() + m_pos, 10);
        m_pos += 10;
        v.Float = ExtendedToDouble(ext);
        break;
    }
    case TValueType::vaString:
    case TValueType::vaLString:
    case TValueType::vaUTF8String:
    case TValueType::vaWString: v.Text = ReadText(v.Type); break;
    case TValueType::vaIdent:
        v.Ident = Short();
        if (v.Ident.isEmpty()) throw EReadError(QStringLiteral("empty identifier"), at);
        break;
    case TValueType::vaFalse: v.Bool = false; break;
    case TValueType::vaTrue: v.Bool = true; break;
    case TValueType::vaSet:
        for (;;) {
            QByteArray m = Short();
            if (m.isEmpty()) break;
            v.Members << m;
        }
        break;
    case TValueType::vaBinary: v.Binary = Bytes(U32()); break;
    case TValueType::vaList:
        for (;;) {
            const uint8_t t = U8();
            if (t == uint8_t(TValueType::vaNull)) break;
            v.Lines << ReadText(TValueType(t));
        }
        break;
    default: throw EReadError(QStringLiteral("unknown value tag %1").arg(tag), at);
    }
    return v;
}
