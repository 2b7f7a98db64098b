#pragma once
// The text table: every visible text and message of the program is read from
// it by number. The English texts are built in; a language file in the
// LANGUAGE folder may replace any of them by number.
#include <QString>
#include <QStringList>
#include <cstdint>

// The numbered texts. Reading a number outside the table gives an empty text
// instead of undefined behaviour; every window reads SL_Lang[n] directly.
class TLangTable {
public:
    const QString& operator[](int n) const;
    int Count() const { return int(m_texts.size()); }
    void Clear() { m_texts.clear(); }
    void Append(const QString& text) { m_texts.append(text); }
    // Replaces text n; a number outside the table is ignored.
    void Set(int n, const QString& text);
    const QStringList& Texts() const { return m_texts; }

private:
    QStringList m_texts;
};

// Number of texts in the table: 0 .. 5599.
inline constexpr int Lang_Table_Size = 5600;

extern TLangTable SL_Lang;
// First text number that a language file cannot replace.
extern int32_t Max_Lang_Index;

// One built-in English text.
struct BuiltInText {
    int number;
    const char* text;  // UTF-8
};
// The built-in texts, in ascending number order; numbers not listed hold " ".
const BuiltInText* Built_In_Texts(int& count);

// Empties SL_Lang, fills it with the 5600 built-in texts and sets
// Max_Lang_Index.
void Load_Default_Texts();

// Applies one language file to SL_Lang. A file that cannot be read, is not a
// text file of a sane size, or holds no valid line changes nothing.
void Load_Lng_File(const QString& path);

// Applies the lines of a language file (already decoded) to SL_Lang.
void Apply_Lng_Lines(const QStringList& lines);

// The language file of a language name in Language_Path, matched without
// regard to letter case; empty when there is none.
QString Find_Lng_File(const QString& languageName);

// Load_Default_Texts, then the language file of Language_Name; when that
// file is missing Language_Name becomes "English" and English.lng is applied
// when present.
void Load_Language();
