#include "platform/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace {
bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// A key's line as the file holds it. The value goes in quotes when reading would otherwise lose
// its outer blanks or its own quotes, or take the line for a section's header.
QString KeyLine(const QString& key, const QString& value)
{
    const bool blanks = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    const bool quotes = value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'));
    const bool header = key.startsWith(QLatin1Char('[')) && value.endsWith(QLatin1Char(']'));
    if (blanks || quotes || header)
        return key + QStringLiteral("=\"") + value + QLatin1Char('"');
    return key + QLatin1Char('=') + value;
}
}  // namespace

bool TIniFile::Load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        LoadText({});
        return false;
    }
    LoadText(file.readAll());
    return true;
}

void TIniFile::LoadText(const QByteArray& text)
{
    m_sections.clear();
    m_sections.push_back({});
    QTextStream in(text);
    QString current;   // name of the section being read
    bool atStart = true;
    while (!in.atEnd()) {
        QString raw = in.readLine();
        // Blanks and carriage returns at a line's end mean nothing, nor do byte order marks
        // at the file's start (an editor may have written two); a kept line goes without them.
        while (!raw.isEmpty() && raw.back().isSpace())
            raw.chop(1);
        while (atStart && raw.startsWith(QChar(0xFEFF)))
            raw.remove(0, 1);
        atStart = false;
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            // A repeated header continues the section met first, as the profile functions do.
            current = line.mid(1, line.size() - 2).trimmed();
            FindOrAdd(current);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')) || eq <= 0) {
            if (!line.isEmpty())
                FindOrAdd(current).entries.push_back({{}, raw});
            continue;
        }
        const QString key = line.left(eq).trimmed();
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        // The first of two equal keys counts.
        if (!Value(current, key))
            WriteString(current, key, value);
    }
}

bool TIniFile::Save(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QByteArray text = Text();
    return file.write(text) == text.size() && file.commit();
}

QByteArray TIniFile::Text() const
{
    QByteArray text;
    QTextStream out(&text);
    bool first = true;
    for (const Section& s : m_sections) {
        if (s.name.isEmpty() && s.entries.empty())
            continue;
        if (!s.name.isEmpty()) {
            if (!first)
                out << '\n';
            out << '[' << s.name << "]\n";
        }
        first = false;
        for (const Entry& e : s.entries) {
            if (e.key.isEmpty())
                out << e.value << '\n';
            else
                out << KeyLine(e.key, e.value) << '\n';
        }
    }
    out.flush();
    return text;
}

const TIniFile::Section* TIniFile::Find(const QString& name) const
{
    for (const Section& s : m_sections)
        if (SameName(s.name, name))
            return &s;
    return nullptr;
}

TIniFile::Section& TIniFile::FindOrAdd(const QString& name)
{
    for (Section& s : m_sections)
        if (SameName(s.name, name))
            return s;
    m_sections.push_back({name, {}});
    return m_sections.back();
}

const QString* TIniFile::Value(const QString& section, const QString& key) const
{
    const Section* s = Find(section);
    if (!s)
        return nullptr;
    for (const Entry& e : s->entries)
        if (!e.key.isEmpty() && SameName(e.key, key))
            return &e.value;
    return nullptr;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const
{
    const QString* v = Value(section, key);
    if (!v)
        return def;
    bool ok = false;
    const int n = v->toInt(&ok, 10);
    return ok ? n : def;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const
{
    const QString* v = Value(section, key);
    return v ? *v : def;
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    if (m_sections.empty())
        m_sections.push_back({});
    Section& s = FindOrAdd(section);
    for (Entry& e : s.entries) {
        if (!e.key.isEmpty() && SameName(e.key, key)) {
            e.value = value;
            return;
        }
    }
    s.entries.push_back({key, value});
}

QStringList TIniFile::Keys(const QString& section) const
{
    QStringList keys;
    if (const Section* s = Find(section))
        for (const Entry& e : s->entries)
            if (!e.key.isEmpty())
                keys << e.key;
    return keys;
}

void TIniFile::EraseSection(const QString& section)
{
    for (auto it = m_sections.begin(); it != m_sections.end(); ++it) {
        if (!it->name.isEmpty() && SameName(it->name, section)) {
            m_sections.erase(it);
            return;
        }
    }
}
