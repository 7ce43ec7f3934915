#include "ini_file.h"

#include "app_error.h"
#include "durable_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <sys/stat.h>

namespace {

// GB18030 reads every GBK byte sequence as GBK does and can also store characters GBK lacks.
const char *const kLegacyEncoding = "GB18030";

bool hasHighBytes(const QByteArray &bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

// Strict UTF-8: no stray continuation bytes, no overlong forms, no surrogates, nothing above U+10FFFF.
bool isUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p++;
        if (c < 0x80)
            continue;
        int follow = 0;
        unsigned int code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p < follow)
            return false;
        for (int i = 0; i < follow; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        p += follow;
        if ((follow == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (follow == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
    }
    return true;
}

// One line of the file: its bytes without the line break, the line break as it was, and its text.
struct Line {
    QByteArray bytes;
    QByteArray end;
    QString text;
    bool changed = false;
};

struct Document {
    QList<Line> lines;
    bool utf8 = false;      // the file's own encoding, used for the lines a write changes or adds
    QByteArray bom;         // a UTF-8 byte order mark at the start, kept as it was
    QByteArray lineBreak = "\r\n";
};

QString decodeLine(const QByteArray &bytes)
{
    if (hasHighBytes(bytes) && isUtf8(bytes))
        return QString::fromUtf8(bytes);
    QStringDecoder decode(kLegacyEncoding);
    return decode(bytes);
}

Document parse(QByteArray bytes)
{
    Document doc;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        doc.bom = bytes.left(3);
        bytes.remove(0, 3);
        doc.utf8 = true;
    } else {
        doc.utf8 = hasHighBytes(bytes) && isUtf8(bytes);
    }
    qsizetype start = 0;
    bool sawBreak = false;
    while (start < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', start);
        Line line;
        if (nl < 0) {
            line.bytes = bytes.mid(start);
            start = bytes.size();
        } else {
            qsizetype stop = nl;
            if (stop > start && bytes.at(stop - 1) == '\r')
                --stop;
            line.bytes = bytes.mid(start, stop - start);
            line.end = bytes.mid(stop, nl + 1 - stop);
            if (!sawBreak) {
                doc.lineBreak = line.end;
                sawBreak = true;
            }
            start = nl + 1;
        }
        line.text = decodeLine(line.bytes);
        doc.lines.append(std::move(line));
    }
    return doc;
}

// Reads the file; `*exists` tells whether it is there at all, `*readable` whether its bytes were read.
QByteArray load(const QString &path, bool *exists, bool *readable)
{
    QFile file(path);
    *exists = file.exists();
    *readable = file.open(QIODevice::ReadOnly);
    if (!*readable)
        return {};
    return file.readAll();
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

Line newLine(const QString &text)
{
    Line line;
    line.text = text;
    line.changed = true;
    return line;
}

void apply(Document &doc, const IniFile::Entry &entry)
{
    const QString text = entry.key.trimmed() + QLatin1Char('=') + entry.value;
    QList<Line> &lines = doc.lines;
    qsizetype sectionStart = -1; // line index of the section header
    qsizetype lastKeyLine = -1;  // last non-blank line inside the section
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionOf(lines[i].text);
        if (!name.isNull()) {
            if (sectionStart >= 0)
                break; // the section ended
            if (sameName(name, entry.section)) {
                sectionStart = i;
                lastKeyLine = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (keyMatches(lines[i].text, entry.key, nullptr)) {
            if (lines[i].text != text) {
                lines[i].text = text;
                lines[i].changed = true;
            }
            return;
        }
        if (!lines[i].text.trimmed().isEmpty())
            lastKeyLine = i;
    }
    if (sectionStart >= 0) {
        lines.insert(lastKeyLine + 1, newLine(text));
    } else {
        lines.append(newLine(QLatin1Char('[') + entry.section.trimmed() + QLatin1Char(']')));
        lines.append(newLine(text));
    }
}

QByteArray serialise(const Document &doc)
{
    QByteArray bytes = doc.bom;
    QStringEncoder legacy(kLegacyEncoding);
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        const Line &line = doc.lines[i];
        if (!line.changed)
            bytes += line.bytes;
        else if (doc.utf8)
            bytes += line.text.toUtf8();
        else
            bytes += legacy(line.text);
        // A line that had no break (the last one) gets one when something follows it or it changed.
        if (!line.end.isEmpty())
            bytes += line.end;
        else if (line.changed || i + 1 < doc.lines.size())
            bytes += doc.lineBreak;
    }
    return bytes;
}

// The parses kept while a ReadScope is alive, by the file's full path.
struct Parsed {
    struct stat stamp {};
    bool exists = false;
    // Folded section name, then folded key name: the value of the key's first line in file order.
    QHash<QString, QHash<QString, QString>> values;
};

struct ScopeState {
    int depth = 0;
    QHash<QString, Parsed> files;
};

thread_local ScopeState t_scope;

QString cacheKey(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool sameStamp(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
        && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec
        && a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// The file's parse for this scope: parsed again when the file changed since.
const Parsed &parsed(const QString &path)
{
    struct stat now {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &now) == 0;
    const QString key = cacheKey(path);
    auto it = t_scope.files.find(key);
    if (it != t_scope.files.end() && it->exists == exists && (!exists || sameStamp(it->stamp, now)))
        return *it;
    Parsed p;
    p.exists = exists;
    p.stamp = now;
    bool fileExists = false;
    bool readable = false;
    const Document doc = parse(load(path, &fileExists, &readable));
    QHash<QString, QString> *section = nullptr;
    for (const Line &line : doc.lines) {
        const QString name = sectionOf(line.text);
        if (!name.isNull()) {
            section = &p.values[name.toCaseFolded()];
            continue;
        }
        if (!section)
            continue;
        const qsizetype eq = line.text.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString k = line.text.left(eq).trimmed().toCaseFolded();
        if (!section->contains(k))
            section->insert(k, line.text.mid(eq + 1).trimmed());
    }
    return *t_scope.files.insert(key, std::move(p));
}

} // namespace

IniFile::ReadScope::ReadScope()
{
    ++t_scope.depth;
}

IniFile::ReadScope::~ReadScope()
{
    if (--t_scope.depth == 0)
        t_scope.files.clear();
}

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::read(const QString &section, const QString &key, const QString &fallback) const
{
    if (t_scope.depth > 0) {
        const Parsed &p = parsed(m_path);
        const auto s = p.values.constFind(section.trimmed().toCaseFolded());
        if (s == p.values.constEnd())
            return fallback;
        const auto v = s->constFind(key.trimmed().toCaseFolded());
        return v == s->constEnd() ? fallback : *v;
    }
    bool exists = false;
    bool readable = false;
    const Document doc = parse(load(m_path, &exists, &readable));
    bool inSection = false;
    for (const Line &line : doc.lines) {
        const QString name = sectionOf(line.text);
        if (!name.isNull()) {
            inSection = sameName(name, section);
            continue;
        }
        QString value;
        if (inSection && keyMatches(line.text, key, &value))
            return value;
    }
    return fallback;
}

void IniFile::writeAll(const QList<Entry> &entries) const
{
    // Whatever happens, the next read in this scope reads the file again.
    t_scope.files.remove(cacheKey(m_path));
    bool exists = false;
    bool readable = false;
    const QByteArray before = load(m_path, &exists, &readable);
    const QString detail = QStringLiteral("Unable to write to %1").arg(m_path);
    if (exists && !readable) {
        // Replacing it would lose every line that could not be read.
        throw AppError(QStringLiteral("无法读取文件“%1”，为了不丢失其中的内容，数据没有保存。\n")
                           .arg(QDir::toNativeSeparators(m_path))
                       + detail);
    }
    Document doc = parse(before);
    for (const Entry &entry : entries)
        apply(doc, entry);
    const QByteArray after = serialise(doc);
    if (after == before)
        return; // nothing changed: no rewrite, no sync, and no empty file where there was none
    durable::replaceFile(m_path, after, detail);
}
