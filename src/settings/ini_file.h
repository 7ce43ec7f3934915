#pragma once
// The profile (INI) file format of the settings files: GBK text, "[section]" lines and "key=value" lines.
// Section and key names match without regard to letter case; a value is the text after the first "=",
// trimmed. Every read of something missing gives the default; a write replaces the key in place.
#include <QString>

class IniFile {
public:
    explicit IniFile(QString path);

    const QString &path() const { return m_path; }

    // The value of the key, or `fallback` when the file, the section or the key is missing.
    QString read(const QString &section, const QString &key, const QString &fallback = QStringLiteral("0")) const;

    // Stores the key, keeping every other line as it was and creating the section or the file.
    // Throws "Unable to write to <path>" when the file cannot be written (its folder is missing).
    // The file is replaced whole through a temporary file, so a failure never leaves half a file.
    void write(const QString &section, const QString &key, const QString &value) const;

private:
    QString m_path;
};
