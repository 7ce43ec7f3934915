#include "lottery_files.h"

#include "settings/app_error.h"
#include "settings/durable_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

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

QString drawTimeText(const QDateTime &when)
{
    return (QLocale::system().toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
            + when.time().toString(QStringLiteral("HH:mm:ss")))
        .trimmed();
}

QString drawNotePath(const QString &listPath)
{
    return listPath + QStringLiteral(".draw");
}

namespace {

const QByteArray kNoteHeader = "QUELMORA-DRAW 1\n";

// The note of a draw: where the results file ended, the lines appended to it and the list after the draw.
struct DrawNote {
    qint64 resultsSize = 0;
    QByteArray appended;
    QByteArray list;

    QByteArray bytes() const
    {
        return kNoteHeader + QByteArray::number(resultsSize) + '\n' + QByteArray::number(appended.size()) + '\n'
            + QByteArray::number(list.size()) + '\n' + appended + list;
    }
    // False for anything but a whole note.
    bool parse(const QByteArray &note)
    {
        if (!note.startsWith(kNoteHeader))
            return false;
        qsizetype at = kNoteHeader.size();
        qint64 numbers[3] = {};
        for (qint64 &n : numbers) {
            const qsizetype nl = note.indexOf('\n', at);
            bool ok = false;
            n = nl < 0 ? -1 : note.mid(at, nl - at).toLongLong(&ok);
            if (!ok || n < 0)
                return false;
            at = nl + 1;
        }
        if (note.size() - at != numbers[1] + numbers[2])
            return false;
        resultsSize = numbers[0];
        appended = note.mid(at, numbers[1]);
        list = note.mid(at + numbers[1]);
        return true;
    }
};

QByteArray readFile(const QString &path, bool *readable = nullptr)
{
    QFile file(path);
    const bool ok = file.open(QIODevice::ReadOnly);
    if (readable)
        *readable = ok;
    return ok ? file.readAll() : QByteArray();
}

QString detailFor(const QString &path)
{
    return QStringLiteral("Unable to write to %1").arg(path);
}

const QString kNotDrawn = QStringLiteral("这次抽奖没有进行，名单没有改变。");

} // namespace

QString commitDraw(const QString &listPath, const QString &resultsPath, DrawList &list, int entry, const QString &when)
{
    DrawList remaining = list;
    const QString winner = remaining.text(entry);
    const QByteArray logged = remaining.resultBytes(entry);
    remaining.remove(entry);

    DrawNote note;
    const QFileInfo results(resultsPath);
    note.resultsSize = results.isFile() ? results.size() : 0;
    QByteArray lastByte;
    if (note.resultsSize > 0) {
        QFile reader(resultsPath);
        if (reader.open(QIODevice::ReadOnly) && reader.seek(note.resultsSize - 1))
            lastByte = reader.read(1);
    }
    if (note.resultsSize > 0 && lastByte != "\n")
        note.appended = "\r\n"; // the last line had no break
    note.appended += encode(when) + "\r\n" + logged + "\r\n";
    note.list = remaining.bytes();

    const QString notePath = drawNotePath(listPath);
    try {
        durable::replaceFile(notePath, note.bytes(), detailFor(notePath));
        try {
            durable::appendFile(resultsPath, note.appended, detailFor(resultsPath));
        } catch (...) {
            durable::removeFile(notePath);
            throw;
        }
        try {
            durable::replaceFile(listPath, note.list, detailFor(listPath));
        } catch (const durable::WriteError &e) {
            try {
                durable::truncateFile(resultsPath, note.resultsSize, detailFor(resultsPath));
                durable::removeFile(notePath);
            } catch (const durable::WriteError &) {
                // The winner stays logged; the next opening takes it off the list as the note says.
                throw AppError(e.cause() + QStringLiteral("\n抽奖结果已经记下，名单将在下次打开抽奖时更正。\n")
                               + e.detail());
            }
            throw;
        }
    } catch (const durable::WriteError &e) {
        throw AppError(e.cause() + QLatin1Char('\n') + kNotDrawn + QLatin1Char('\n') + e.detail());
    }
    try {
        durable::removeFile(notePath);
    } catch (const durable::WriteError &) {
        // The draw is complete; a note left behind only repeats it at the next opening.
    }
    list = std::move(remaining);
    return winner;
}

void recover(const QString &listPath, const QString &resultsPath)
{
    const QString notePath = drawNotePath(listPath);
    for (const QString &path : {listPath, resultsPath, notePath})
        durable::removeLeftovers(path);
    if (!QFileInfo::exists(notePath))
        return;
    bool readable = false;
    const QByteArray bytes = readFile(notePath, &readable);
    if (!readable)
        throw AppError(QStringLiteral("无法读取上次抽奖的记录“%1”，名单可能没有更新。\nCannot read %1")
                           .arg(QDir::toNativeSeparators(notePath)));
    DrawNote note;
    try {
        if (note.parse(bytes)) {
            const QByteArray results = readFile(resultsPath);
            const bool logged = results.size() >= note.resultsSize + note.appended.size()
                                && results.mid(note.resultsSize, note.appended.size()) == note.appended;
            if (logged) {
                if (readFile(listPath) != note.list)
                    durable::replaceFile(listPath, note.list, detailFor(listPath));
            } else if (results.size() > note.resultsSize && note.appended.startsWith(results.mid(note.resultsSize))) {
                durable::truncateFile(resultsPath, note.resultsSize, detailFor(resultsPath));
            }
        }
        durable::removeFile(notePath, detailFor(notePath));
    } catch (const durable::WriteError &e) {
        throw AppError(e.cause() + QStringLiteral("\n上次被中断的抽奖没能整理好，请先处理后再抽奖。\n") + e.detail());
    }
}

} // namespace lottery
