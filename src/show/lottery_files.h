#pragma once
// The lottery's two files: the list of entries still to draw and the results log, both GBK text.
// The list keeps every line's own bytes, so writing it back after a draw changes nothing but the drawn
// line: bytes that are not valid GBK, blank lines and line breaks stay as the organiser wrote them.
#include <QByteArray>
#include <QList>
#include <QString>

class QDateTime;

namespace lottery {

class DrawList {
public:
    // Reads the list file. Returns false, with an empty list, when there is no such file; throws AppError
    // when it is there but cannot be read.
    bool load(const QString &path);
    void clear();

    // Entries are the lines holding more than blanks, in file order.
    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    // The entry's text, trimmed, as the audience sees it.
    QString text(int entry) const;
    // The entry as a line of the results file, in GBK; a line holding bytes that are no GBK character
    // keeps its own bytes, so the log names the winner exactly as the list did.
    QByteArray resultBytes(int entry) const;
    void remove(int entry);

    // The whole file as it would be written now.
    QByteArray bytes() const;
    // Replaces the file in one step through a temporary file beside it, so a crash or a power cut leaves
    // either the old list or the new one, never half a list. Throws AppError when it cannot.
    void save(const QString &path) const;

private:
    struct Line {
        QByteArray bytes; // without the line break
        QByteArray end;   // the line break as it was ("\r\n", "\n" or none on the last line)
        QString text;
        bool readable = true; // every byte decoded to a character
    };
    QByteArray m_bom;
    QList<Line> m_lines;
    QList<qsizetype> m_entries; // indexes of the lines that are entries
};

// The results file's line for the time of a draw: the date in the system's short form and the time
// with seconds.
QString drawTimeText(const QDateTime &when);

// Appends the lines to the results file, creating it when missing, each ending in "\r\n"; a file whose
// last line lacks its line break gets one first. The bytes are on the disk when this returns.
// Throws AppError when the file cannot be opened or written.
class ResultsFile {
public:
    // Opens the file for appending (creating it when missing); throws AppError when it cannot.
    explicit ResultsFile(const QString &path);
    void append(const QList<QByteArray> &lines);

private:
    QString m_path;
    bool m_needsBreak = false;
};

// Encodes text for the lottery files (GB18030, which reads as GBK and holds what GBK lacks).
QByteArray encode(const QString &text);

} // namespace lottery
