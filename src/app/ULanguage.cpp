#include "app/ULanguage.h"

#include "app/UComon.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"

#include <QFileInfo>

TLangTable SL_Lang;
int32_t Max_Lang_Index = Lang_Table_Size;

namespace {
// A language file is a few hundred kilobytes; anything far beyond that is not
// one, and is not read into memory.
constexpr qint64 Max_Lng_File_Size = 16 * 1024 * 1024;
const QString Pilcrow = QString(QChar(0x00B6));
} // namespace

const QString& TLangTable::operator[](int n) const
{
    static const QString empty;
    if (n < 0 || n >= m_texts.size())
        return empty;
    return m_texts[n];
}

void TLangTable::Set(int n, const QString& text)
{
    if (n >= 0 && n < m_texts.size())
        m_texts[n] = text;
}

void Load_Default_Texts()
{
    SL_Lang.Clear();
    int count = 0;
    const BuiltInText* texts = Built_In_Texts(count);
    int next = 0;
    for (int n = 0; n < Lang_Table_Size; ++n) {
        if (next < count && texts[next].number == n)
            SL_Lang.Append(QString::fromUtf8(texts[next++].text));
        else
            SL_Lang.Append(QStringLiteral(" "));
    }
    // Every entry of the table may be translated, the LoRaWAN editor's last
    // texts included.
    Max_Lang_Index = Lang_Table_Size;
}

void Apply_Lng_Lines(const QStringList& lines)
{
    for (const QString& raw : lines) {
        const QString line = Trim(raw);
        if (!line.startsWith(QLatin1String("STR")))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const std::optional<int32_t> number = TryStrToInt(Trim(line.mid(3, eq - 3)));
        if (!number || *number < 0 || *number >= Max_Lang_Index)
            continue;
        QString text = Trim(line.mid(eq + 1));
        if (text.isEmpty())
            continue;
        const int comment = text.indexOf(QLatin1String("/#/"));
        if (comment >= 0) {
            text = Trim(text.left(comment));
            // Nothing but a note: the built-in text stays.
            if (text.isEmpty())
                continue;
        }
        if (text.startsWith(Pilcrow)) {
            text.remove(0, 1);
            const int end = text.indexOf(Pilcrow);
            if (end >= 0)
                text.truncate(end);
        }
        SL_Lang.Set(*number, text);
    }
}

void Load_Lng_File(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > Max_Lng_File_Size)
        return;
    QStringList lines;
    try {
        lines = ReadTextLines(path);
    } catch (const Exception&) {
        // Unreadable (locked, no permission): the texts stay as they are.
        return;
    }
    Apply_Lng_Lines(lines);
}

QString Find_Lng_File(const QString& languageName)
{
    if (languageName.isEmpty())
        return QString();
    const QString wanted = languageName + QStringLiteral(".lng");
    const QStringList files = ListFiles(Language_Path, QStringLiteral("*.lng"), false);
    if (files.contains(wanted))
        return PathJoin(Language_Path, wanted);
    for (const QString& f : files) {
        if (f.compare(wanted, Qt::CaseInsensitive) == 0)
            return PathJoin(Language_Path, f);
    }
    return QString();
}

void Load_Language()
{
    Load_Default_Texts();
    QString file = Find_Lng_File(Language_Name);
    if (file.isEmpty()) {
        Language_Name = Default_Language_Name;
        file = Find_Lng_File(Language_Name);
    }
    if (!file.isEmpty())
        Load_Lng_File(file);
}
