#pragma once
// Files and folders: the executable folder, existence tests, folder creation
// and listing, copy, whole-file reading and atomic writing, text files as
// line lists, and the two single-byte code pages of the program.
#include <QByteArray>
#include <QString>
#include <QStringList>

// The folder of the executable, without a trailing separator. Tests point it
// at a temporary folder with SetExeFolder.
QString ExeFolder();
void SetExeFolder(const QString& folder);

// Joins path parts with the platform's separator ("/").
QString PathJoin(const QString& a, const QString& b);
inline QString PathJoin(const QString& a, const QString& b, const QString& c) { return PathJoin(PathJoin(a, b), c); }

bool FileExists(const QString& path);       // a file (not a folder) exists
bool DirectoryExists(const QString& path);  // a folder exists
// Creates the folder and any missing parents; false when it cannot.
bool ForceDirectories(const QString& path);

// Names (not paths) of the sub-folders of `folder`, in the file system's order.
QStringList ListSubFolders(const QString& folder);
// Names of the files of `folder` matching a wildcard such as "*.lng";
// `caseSensitive` false matches the pattern in any letter case.
QStringList ListFiles(const QString& folder, const QString& pattern, bool caseSensitive = false);

// Copies a file, replacing the target atomically: a failed copy leaves the
// old target untouched. Copying a file onto itself leaves it as it is.
// False when it fails.
bool CopyFileTo(const QString& from, const QString& to);

// Reads a whole file; throws EFileError when it cannot.
QByteArray ReadFileBytes(const QString& path);

// Writes a whole file atomically (temporary file, then rename): either the
// new content is there or the old file is untouched. Throws EFileError with
// a message naming the file when it fails.
void WriteFileAtomic(const QString& path, const QByteArray& bytes);

// Windows-1252 (the program's "ANSI" code page) and code page 850 ("OEM").
QString DecodeAnsi(const QByteArray& bytes);
QByteArray EncodeAnsi(const QString& text, char unknown = '?');
QString DecodeOem(const QByteArray& bytes);
// Windows-1252 bytes straight to UTF-8 bytes (no 16-bit text in between).
QByteArray AnsiToUtf8(QByteArrayView bytes);
// True when the bytes are strict UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF); otherwise false, with the offset of the first
// wrong byte in `badOffset` when given.
bool IsValidUtf8(QByteArrayView bytes, qsizetype* badOffset = nullptr);
QByteArray EncodeOem(const QString& text, char unknown = '?');

// Decodes a text file's bytes: a byte-order mark selects UTF-8, UTF-16 LE or
// UTF-16 BE; without one, bytes that are valid UTF-8 are read as UTF-8 and
// anything else as Windows-1252.
QString DecodeTextFile(const QByteArray& bytes);

// The encodings a text file may come in, as its byte-order mark tells.
enum class TTextEncoding { teAnsi, teUtf8, teUtf16LE, teUtf16BE };
// Decodes a text file's bytes by their byte-order mark (none: Windows-1252)
// and checks them: false, with the offset of the first bad byte in
// `badOffset`, when the bytes are not what the mark says (invalid UTF-8, an
// odd UTF-16 byte count or a lone surrogate).
bool DecodeTextFileChecked(const QByteArray& bytes, QString& text, TTextEncoding* encoding = nullptr,
                           qsizetype* badOffset = nullptr);

// Splits a text into lines at CR LF, LF or a lone CR (no trailing empty line
// for a final line break).
QStringList SplitLines(const QString& text);

// Reads a text file as a line list (DecodeTextFile + SplitLines); throws
// EFileError when it cannot be read.
QStringList ReadTextLines(const QString& path);
