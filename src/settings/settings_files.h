#pragma once
// The two settings files of a program folder. Nothing is cached: each call reads the file anew.
#include "ini_file.h"

class SettingsFiles {
public:
    explicit SettingsFiles(const QString &programFolder);

    IniFile config() const { return IniFile(m_config); }
    IniFile teamScores() const { return IniFile(m_teamScores); }

    // Shorthands on config.ini.
    QString read(const QString &section, const QString &key) const { return config().read(section, key); }
    int readInt(const QString &section, const QString &key) const;
    void write(const QString &section, const QString &key, const QString &value) const
    {
        config().write(section, key, value);
    }
    void writeAll(const QList<IniFile::Entry> &entries) const { config().writeAll(entries); }

private:
    QString m_config;
    QString m_teamScores;
};
