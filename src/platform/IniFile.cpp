#include "platform/IniFile.h"

#include "platform/Files.h"
#include "platform/SysUtils.h"

#include <QFileInfo>

namespace {
bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }
} // namespace

TIniFile::TIniFile(QString fileName) : FFileName(std::move(fileName))
{
    if (!QFileInfo::exists(FFileName)) return;
    const QStringList lines = ReadTextLines(FFileName);
    std::vector<TLine>* target = &FPreamble;
    for (const QString& raw : lines) {
        const QString t = raw.trimmed();
        if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
            FSections.push_back(TSection{t.mid(1, t.size() - 2).trimmed(), {}});
            target = &FSections.back().Lines;
            continue;
        }
        const int eq = raw.indexOf(QLatin1Char('='));
        if (eq > 0 && !t.startsWith(QLatin1Char(';'))) {
            const QString key = raw.left(eq).trimmed();
            if (!key.isEmpty()) {
                target->push_back(TLine{true, key, raw.mid(eq + 1).trimmed()});
                continue;
            }
        }
        target->push_back(TLine{false, QString(), raw});
    }
}

const TIniFile::TSection* TIniFile::FindSection(const QString& name) const
{
    for (const TSection& s : FSections)
        if (SameName(s.Name, name)) return &s;
    return nullptr;
}

TIniFile::TSection* TIniFile::FindSection(const QString& name)
{
    return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

const TIniFile::TLine* TIniFile::FindKey(const QString& section, const QString& ident) const
{
    const TSection* s = FindSection(section);
    if (!s) return nullptr;
    for (const TLine& l : s->Lines)
        if (l.IsKey && SameName(l.Key, ident)) return &l;
    return nullptr;
}

QString TIniFile::ReadString(const QString& section, const QString& ident, const QString& def) const
{
    const TLine* l = FindKey(section, ident);
    return l ? l->Value : def;
}

int TIniFile::ReadInteger(const QString& section, const QString& ident, int def) const
{
    const TLine* l = FindKey(section, ident);
    if (!l) return def;
    return StrToIntDef(l->Value, def);
}

bool TIniFile::ReadBool(const QString& section, const QString& ident, bool def) const
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    TSection* s = FindSection(section);
    if (!s) {
        FSections.push_back(TSection{section, {}});
        s = &FSections.back();
    }
    for (TLine& l : s->Lines)
        if (l.IsKey && SameName(l.Key, ident)) {
            l.Value = value;
            Changed();
            return;
        }
    // New keys go after the section's last key, before trailing blank lines.
    size_t at = s->Lines.size();
    while (at > 0 && !s->Lines[at - 1].IsKey && s->Lines[at - 1].Value.trimmed().isEmpty()) --at;
    s->Lines.insert(s->Lines.begin() + std::ptrdiff_t(at), TLine{true, ident, value});
    Changed();
}

void TIniFile::WriteInteger(const QString& section, const QString& ident, int value)
{
    WriteString(section, ident, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::SectionExists(const QString& section) const { return FindSection(section) != nullptr; }

bool TIniFile::ValueExists(const QString& section, const QString& ident) const
{
    return FindKey(section, ident) != nullptr;
}

QStringList TIniFile::ReadSection(const QString& section) const
{
    QStringList keys;
    if (const TSection* s = FindSection(section))
        for (const TLine& l : s->Lines)
            if (l.IsKey) keys << l.Key;
    return keys;
}

QStringList TIniFile::ReadSections() const
{
    QStringList names;
    for (const TSection& s : FSections) names << s.Name;
    return names;
}

void TIniFile::EraseSection(const QString& section)
{
    const auto before = FSections.size();
    std::erase_if(FSections, [&](const TSection& s) { return SameName(s.Name, section); });
    if (FSections.size() != before) Changed();
}

void TIniFile::DeleteKey(const QString& section, const QString& ident)
{
    TSection* s = FindSection(section);
    if (!s) return;
    const auto before = s->Lines.size();
    std::erase_if(s->Lines, [&](const TLine& l) { return l.IsKey && SameName(l.Key, ident); });
    if (s->Lines.size() != before) Changed();
}

void TIniFile::EndUpdate()
{
    if (FUpdating > 0 && --FUpdating == 0) UpdateFile();
}

void TIniFile::Changed()
{
    if (FUpdating == 0) UpdateFile();
}

void TIniFile::UpdateFile()
{
    QString out;
    auto put = [&out](const std::vector<TLine>& lines) {
        for (const TLine& l : lines) {
            out += l.IsKey ? l.Key + QLatin1Char('=') + l.Value : l.Value;
            out += QStringLiteral("\r\n");
        }
    };
    put(FPreamble);
    for (const TSection& s : FSections) {
        out += QLatin1Char('[') + s.Name + QStringLiteral("]\r\n");
        put(s.Lines);
    }
    WriteFileAtomic(FFileName, out.toUtf8());
}
