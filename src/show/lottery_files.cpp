#include "lottery_files.h"

#include "settings/app_error.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <unistd.h>

namespace lottery {

namespace {

const char *const kLegacyEncoding = "GB18030";

bool hasHighBytes(const QByteArray &bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// A line in UTF-8 is read as UTF-8 (an editor may have saved the list so); any other line as GBK, where
// a byte that fits no character becomes a replacement mark on screen and keeps its value in the file.
QString decodeLine(const QByteArray &bytes, bool *readable)
{
    *readable = true;
    if (hasHighBytes(bytes)) {
        QStringDecoder decodeUtf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decodeUtf8(bytes);
        if (!decodeUtf8.hasError())
            return text;
    }
    QStringDecoder decode(kLegacyEncoding, QStringDecoder::Flag::Stateless);
    QString text = decode(bytes);
    *readable = !decode.hasError();
    return text;
}

QByteArray trimmedBytes(const QByteArray &bytes)
{
    // Only ASCII blanks: a byte of 0x80 or above may be the second half of a GBK character.
    qsizetype start = 0, stop = bytes.size();
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    while (start < stop && blank(bytes.at(start)))
        ++start;
    while (stop > start && blank(bytes.at(stop - 1)))
        --stop;
    return bytes.mid(start, stop - start);
}

QString fileError(const QString &what, const QString &path, const QString &reason)
{
    return what.arg(path) + QLatin1Char('\n') + reason;
}

} // namespace

QByteArray encode(const QString &text)
{
    QStringEncoder encoder(kLegacyEncoding);
    return encoder(text);
}

bool DrawList::load(const QString &path)
{
    clear();
    QFile file(path);
    if (!file.exists())
        return false;
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(fileError(QStringLiteral("无法读取抽奖名单文件“%1”。"), path, file.errorString()));
    QByteArray all = file.readAll();
    if (all.startsWith("\xEF\xBB\xBF")) {
        m_bom = all.left(3);
        all.remove(0, 3);
    }
    qsizetype start = 0;
    while (start < all.size()) {
        const qsizetype nl = all.indexOf('\n', start);
        Line line;
        if (nl < 0) {
            line.bytes = all.mid(start);
            start = all.size();
        } else {
            qsizetype stop = nl;
            if (stop > start && all.at(stop - 1) == '\r')
                --stop;
            line.bytes = all.mid(start, stop - start);
            line.end = all.mid(stop, nl + 1 - stop);
            start = nl + 1;
        }
        line.text = decodeLine(line.bytes, &line.readable);
        if (!line.text.trimmed().isEmpty())
            m_entries.append(m_lines.size());
        m_lines.append(std::move(line));
    }
    return true;
}

void DrawList::clear()
{
    m_bom.clear();
    m_lines.clear();
    m_entries.clear();
}

QString DrawList::text(int entry) const
{
    return m_lines.at(m_entries.at(entry)).text.trimmed();
}

QByteArray DrawList::resultBytes(int entry) const
{
    const Line &line = m_lines.at(m_entries.at(entry));
    return line.readable ? encode(line.text.trimmed()) : trimmedBytes(line.bytes);
}

void DrawList::remove(int entry)
{
    const qsizetype index = m_entries.at(entry);
    m_lines.removeAt(index);
    m_entries.removeAt(entry);
    for (qsizetype i = entry; i < m_entries.size(); ++i)
        --m_entries[i];
}

QByteArray DrawList::bytes() const
{
    QByteArray out = m_bom;
    for (const Line &line : m_lines)
        out += line.bytes + line.end;
    return out;
}

void DrawList::save(const QString &path) const
{
    QSaveFile file(path);
    const QByteArray content = bytes();
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw AppError(fileError(QStringLiteral("无法写入抽奖名单文件“%1”。"), path, file.errorString()));
}

QString drawTimeText(const QDateTime &when)
{
    return (QLocale::system().toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
            + when.time().toString(QStringLiteral("HH:mm:ss")))
        .trimmed();
}

ResultsFile::ResultsFile(const QString &path) : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw AppError(fileError(QStringLiteral("无法打开抽奖结果文件“%1”。"), path, file.errorString()));
    const qint64 size = file.size();
    file.close();
    if (size > 0) {
        QFile reader(path);
        char last = '\n';
        if (reader.open(QIODevice::ReadOnly) && reader.seek(size - 1))
            reader.getChar(&last);
        m_needsBreak = last != '\n';
    }
}

void ResultsFile::append(const QList<QByteArray> &lines)
{
    QByteArray out = m_needsBreak ? QByteArray("\r\n") : QByteArray();
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    QFile file(m_path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(out) == out.size()
                         && file.flush() && ::fsync(file.handle()) == 0;
    if (!written)
        throw AppError(fileError(QStringLiteral("无法写入抽奖结果文件“%1”。"), m_path, file.errorString()));
    m_needsBreak = false;
}

} // namespace lottery
