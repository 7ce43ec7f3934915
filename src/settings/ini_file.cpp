#include "ini_file.h"

#include "app_error.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const char *const kEncoding = "GBK";

QStringList readLines(const QString &path, bool *exists)
{
    QFile file(path);
    *exists = file.open(QIODevice::ReadOnly);
    if (!*exists)
        return {};
    QStringDecoder decode(kEncoding);
    const QString text = decode(file.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the final line break
    return lines;
}

// The section name of a "[name]" line, or a null string for any other line.
QString sectionOf(const QString &line)
{
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return {};
}

bool keyMatches(const QString &line, const QString &key, QString *value)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    if (line.left(eq).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::read(const QString &section, const QString &key, const QString &fallback) const
{
    bool exists = false;
    const QStringList lines = readLines(m_path, &exists);
    bool inSection = false;
    for (const QString &line : lines) {
        const QString name = sectionOf(line);
        if (!name.isNull()) {
            inSection = sameName(name, section);
            continue;
        }
        QString value;
        if (inSection && keyMatches(line, key, &value))
            return value;
    }
    return fallback;
}

void IniFile::write(const QString &section, const QString &key, const QString &value) const
{
    bool exists = false;
    QStringList lines = readLines(m_path, &exists);
    const QString entry = key.trimmed() + QLatin1Char('=') + value;

    qsizetype sectionStart = -1; // line index of the section header
    qsizetype lastKeyLine = -1;  // last non-blank line inside the section
    bool replaced = false;
    for (qsizetype i = 0; i < lines.size() && !replaced; ++i) {
        const QString name = sectionOf(lines[i]);
        if (!name.isNull()) {
            if (sectionStart >= 0)
                break; // the section ended
            if (sameName(name, section)) {
                sectionStart = i;
                lastKeyLine = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (keyMatches(lines[i], key, nullptr)) {
            lines[i] = entry;
            replaced = true;
        } else if (!lines[i].trimmed().isEmpty()) {
            lastKeyLine = i;
        }
    }
    if (!replaced) {
        if (sectionStart >= 0) {
            lines.insert(lastKeyLine + 1, entry);
        } else {
            lines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
            lines.append(entry);
        }
    }

    QStringEncoder encode(kEncoding);
    QByteArray bytes;
    for (const QString &line : std::as_const(lines)) {
        bytes += encode(line);
        bytes += "\r\n";
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(QStringLiteral("Unable to write to %1").arg(m_path));
}
