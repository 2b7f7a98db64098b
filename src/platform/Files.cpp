#include "platform/Files.h"

#include "platform/Exception.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

namespace {
QString& ExeFolderOverride()
{
    static QString f;
    return f;
}

// Code points of the bytes 0x80..0xFF.
const char16_t kCp1252High[128] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

const char16_t kCp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

QString DecodeSingleByte(const QByteArray& bytes, const char16_t* high)
{
    QString out;
    out.resize(bytes.size());
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        d[i] = b < 0x80 ? QChar(b) : QChar(high[b - 0x80]);
    }
    return out;
}

QByteArray EncodeSingleByte(const QString& text, const char16_t* high, char unknown)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out.append(char(u));
            continue;
        }
        char b = unknown;
        for (int i = 0; i < 128; ++i)
            if (high[i] == u) {
                b = char(0x80 + i);
                break;
            }
        out.append(b);
    }
    return out;
}
} // namespace

QString ExeFolder()
{
    if (!ExeFolderOverride().isEmpty()) return ExeFolderOverride();
    return QCoreApplication::applicationDirPath();
}

void SetExeFolder(const QString& folder) { ExeFolderOverride() = folder; }

QString PathJoin(const QString& a, const QString& b)
{
    if (a.isEmpty()) return b;
    if (a.endsWith('/')) return a + b;
    return a + '/' + b;
}

bool FileExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }
bool DirectoryExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }
bool ForceDirectories(const QString& path) { return !path.isEmpty() && QDir().mkpath(path); }

QStringList ListSubFolders(const QString& folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Unsorted);
}

QStringList ListFiles(const QString& folder, const QString& pattern, bool caseSensitive)
{
    QDir dir(folder);
    const QStringList all = dir.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                caseSensitive ? QRegularExpression::NoPatternOption : QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    for (const QString& n : all)
        if (re.match(n).hasMatch()) out << n;
    return out;
}

bool CopyFileTo(const QString& from, const QString& to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) return false;
    // A file copied onto itself (the same path spelled otherwise, or a link
    // to it) is already in place; replacing it would lose it.
    const QString fromReal = QFileInfo(from).canonicalFilePath();
    if (!fromReal.isEmpty() && fromReal == QFileInfo(to).canonicalFilePath()) return true;
    // The copy is written beside the target and takes its place only once
    // complete: a failed copy leaves the old target as it was.
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly)) return false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = source.read(buffer, sizeof buffer);
        if (n < 0) {
            target.cancelWriting();
            return false;
        }
        if (n == 0) break;
        if (target.write(buffer, n) != n) {
            target.cancelWriting();
            return false;
        }
    }
    return target.commit();
}

QByteArray ReadFileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw EFileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    return f.readAll();
}

void WriteFileAtomic(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw EFileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, f.errorString()));
    if (f.write(bytes) != bytes.size()) {
        const QString why = f.errorString();
        f.cancelWriting();
        throw EFileError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, why));
    }
    if (!f.commit()) throw EFileError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, f.errorString()));
}

QString DecodeAnsi(const QByteArray& bytes) { return DecodeSingleByte(bytes, kCp1252High); }
QByteArray EncodeAnsi(const QString& text, char unknown) { return EncodeSingleByte(text, kCp1252High, unknown); }
QString DecodeOem(const QByteArray& bytes) { return DecodeSingleByte(bytes, kCp850High); }

QByteArray AnsiToUtf8(QByteArrayView bytes)
{
    qsizetype size = bytes.size();
    for (const char c : bytes)
        if (uint8_t(c) >= 0x80) size += kCp1252High[uint8_t(c) - 0x80] < 0x800 ? 1 : 2;
    QByteArray out(size, Qt::Uninitialized);
    char* d = out.data();
    for (const char c : bytes) {
        const uint8_t b = uint8_t(c);
        if (b < 0x80) {
            *d++ = char(b);
            continue;
        }
        const char16_t u = kCp1252High[b - 0x80];
        if (u < 0x800) {
            *d++ = char(0xC0 | (u >> 6));
        } else {
            *d++ = char(0xE0 | (u >> 12));
            *d++ = char(0x80 | ((u >> 6) & 0x3F));
        }
        *d++ = char(0x80 | (u & 0x3F));
    }
    return out;
}

bool IsValidUtf8(QByteArrayView bytes, qsizetype* badOffset)
{
    const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    const auto fail = [&](qsizetype at) {
        if (badOffset) *badOffset = at;
        return false;
    };
    while (i < n) {
        const uint8_t b = s[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        uint8_t lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            more = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            if (b == 0xE0) lo = 0xA0;      // no overlong forms
            else if (b == 0xED) hi = 0x9F; // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            if (b == 0xF0) lo = 0x90;      // no overlong forms
            else if (b == 0xF4) hi = 0x8F; // nothing above U+10FFFF
        } else {
            return fail(i);
        }
        if (i + more >= n) return fail(i); // cut short at the end
        if (s[i + 1] < lo || s[i + 1] > hi) return fail(i);
        for (int k = 2; k <= more; ++k)
            if ((s[i + k] & 0xC0) != 0x80) return fail(i);
        i += more + 1;
    }
    return true;
}
QByteArray EncodeOem(const QString& text, char unknown) { return EncodeSingleByte(text, kCp850High, unknown); }

QString DecodeTextFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder d(QStringDecoder::Utf16LE);
        return d.decode(QByteArrayView(bytes).sliced(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder d(QStringDecoder::Utf16BE);
        return d.decode(QByteArrayView(bytes).sliced(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    if (!utf8.hasError()) return asUtf8;
    return DecodeAnsi(bytes);
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == '\r' || c == '\n') {
            lines << text.mid(start, i - start);
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < n) lines << text.mid(start);
    return lines;
}

QStringList ReadTextLines(const QString& path) { return SplitLines(DecodeTextFile(ReadFileBytes(path))); }

bool DecodeTextFileChecked(const QByteArray& bytes, QString& text, TTextEncoding* encoding, qsizetype* badOffset)
{
    auto bad = [&](qsizetype at) {
        if (badOffset) *badOffset = at;
        return false;
    };
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        if (encoding) *encoding = TTextEncoding::teUtf8;
        const QByteArrayView body = QByteArrayView(bytes).sliced(3);
        qsizetype at = 0;
        if (!IsValidUtf8(body, &at)) return bad(at + 3);
        text = QString::fromUtf8(body);
        return true;
    }
    const bool le = bytes.startsWith("\xFF\xFE");
    if (le || bytes.startsWith("\xFE\xFF")) {
        if (encoding) *encoding = le ? TTextEncoding::teUtf16LE : TTextEncoding::teUtf16BE;
        const QByteArrayView body = QByteArrayView(bytes).sliced(2);
        text.resize(body.size() / 2);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const uint8_t a = uint8_t(body[2 * i]), b = uint8_t(body[2 * i + 1]);
            text[i] = QChar(le ? char16_t(a | (b << 8)) : char16_t((a << 8) | b));
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
            else if (text[i].isSurrogate())
                return bad(2 + 2 * i);
        }
        if (body.size() % 2) return bad(bytes.size() - 1);
        return true;
    }
    if (encoding) *encoding = TTextEncoding::teAnsi;
    text = DecodeAnsi(bytes);
    return true;
}
