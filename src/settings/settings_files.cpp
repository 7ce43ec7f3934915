#include "settings_files.h"

#include "decimal_text.h"

SettingsFiles::SettingsFiles(const QString &programFolder)
    : m_config(programFolder + QStringLiteral("config/config.ini")),
      m_teamScores(programFolder + QStringLiteral("config/fenshu.ini"))
{
}

int SettingsFiles::readInt(const QString &section, const QString &key) const
{
    return decimal_text::toInt(read(section, key));
}
