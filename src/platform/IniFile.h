#pragma once
// A configuration file in INI syntax, read at once and written back whole. Section and key
// names match in any letter case, as with the Windows profile functions; sections, keys and
// comments that the program does not know are kept as they stand.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class TIniFile final {
public:
    // Reads the file; false when it cannot be read (the contents are then empty).
    bool Load(const QString& path);
    // Reads the text of a configuration file (replacing what was held).
    void LoadText(const QByteArray& text);
    // Writes every section; false when the file cannot be created or written.
    bool Save(const QString& path) const;
    // The text Save writes.
    QByteArray Text() const;

    // A decimal integer; def when the key is missing, empty or not a whole number.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    QString ReadString(const QString& section, const QString& key, const QString& def = {}) const;
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteString(const QString& section, const QString& key, const QString& value);

    // The key names of a section in file order; empty when it is missing.
    QStringList Keys(const QString& section) const;
    void EraseSection(const QString& section);

private:
    struct Entry {
        QString key;     // empty for a comment or blank line kept in raw
        QString value;   // the value, or the raw line
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };

    const Section* Find(const QString& name) const;
    Section& FindOrAdd(const QString& name);
    const QString* Value(const QString& section, const QString& key) const;

    std::vector<Section> m_sections;   // the first one (no name) holds lines before any header
};
