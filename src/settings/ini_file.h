#pragma once
// The profile (INI) file format of the settings files: "[section]" lines and "key=value" lines, in GBK.
// Section and key names match without regard to letter case; a value is the text after the first "=",
// trimmed. Every read of something missing gives the default; a write replaces the key in place.
// A file saved by a UTF-8 editor is read as UTF-8 and written back in UTF-8; a single line in UTF-8
// inside a GBK file is read as UTF-8 too. Lines a write does not change keep their bytes.
#include <QList>
#include <QString>

class IniFile {
public:
    struct Entry {
        QString section;
        QString key;
        QString value;
    };

    explicit IniFile(QString path);

    const QString &path() const { return m_path; }

    // The value of the key, or `fallback` when the file, the section or the key is missing.
    QString read(const QString &section, const QString &key, const QString &fallback = QStringLiteral("0")) const;

    // Stores the key, keeping every other line as it was and creating the section or the file.
    void write(const QString &section, const QString &key, const QString &value) const
    {
        writeAll({{section, key, value}});
    }

    // Stores many keys with one read and one replacement of the file, in the order given.
    // Throws "Unable to write to <path>" when the file cannot be written (its folder is missing) or
    // when it exists but cannot be read; the file then stays as it was. The file is replaced whole
    // through a temporary file, so a failure never leaves half a file.
    void writeAll(const QList<Entry> &entries) const;

private:
    QString m_path;
};
