#pragma once
// INI files as the platform keeps them: "[Section]" lines and "Key=Value"
// lines below them, section and key names matched without regard to case,
// values taken as they stand (no quoting, escapes or lists; only the blanks
// around the "=" are dropped). The file is read whole when the object is made
// and written whole, atomically and with CR LF line ends, after each change,
// so a failed write never leaves half a file and is reported (EFileError).
// Lines that are neither a section nor a key (comments, blank lines) are kept.
#include <QString>
#include <QStringList>
#include <vector>

class TIniFile {
public:
    // Reads the file; a file that does not exist yet is an empty one. A file
    // that exists but cannot be read raises EFileError.
    explicit TIniFile(QString fileName);

    const QString& FileName() const { return FFileName; }

    QString ReadString(const QString& section, const QString& ident, const QString& def) const;
    // The value as the program's integers are written (decimal or "$"/"0x"
    // hexadecimal); def when missing or not a number.
    int ReadInteger(const QString& section, const QString& ident, int def) const;
    // "0" is false, any other number true; def when missing or not a number.
    bool ReadBool(const QString& section, const QString& ident, bool def) const;

    void WriteString(const QString& section, const QString& ident, const QString& value);
    void WriteInteger(const QString& section, const QString& ident, int value);
    void WriteBool(const QString& section, const QString& ident, bool value);

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& ident) const;
    // The key names of a section, in file order.
    QStringList ReadSection(const QString& section) const;
    // The section names, in file order.
    QStringList ReadSections() const;
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& ident);

    // Writes several changes at once: between BeginUpdate and EndUpdate the
    // writers only change the copy in memory; EndUpdate writes the file.
    void BeginUpdate() { ++FUpdating; }
    void EndUpdate();
    // Writes the file now.
    void UpdateFile();

private:
    struct TLine {
        bool IsKey = false;
        QString Key;   // IsKey: the key name
        QString Value; // IsKey: its value; else the raw line
    };
    struct TSection {
        QString Name;
        std::vector<TLine> Lines;
    };
    const TSection* FindSection(const QString& name) const;
    TSection* FindSection(const QString& name);
    const TLine* FindKey(const QString& section, const QString& ident) const;
    void Changed();

    QString FFileName;
    // Lines before the first section header.
    std::vector<TLine> FPreamble;
    std::vector<TSection> FSections;
    int FUpdating = 0;
};
