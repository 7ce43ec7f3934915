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

// One draw on disk, in an order that a kill or a full disk at any step cannot break: every entry is
// always in exactly one of the list and the results file, or recover() puts it back there.
//  1. A note of the draw, "<list>.draw", holding the results file's size, the lines to append and the
//     new list, is written whole and synced.
//  2. The time and the winner are appended to the results file and synced: from here the draw counts.
//  3. The list file is replaced by the new list (through a synced temporary file).
//  4. The note is removed.
// A failure undoes what was done (the results are cut back, the note removed) and throws AppError
// saying why in Chinese; `list` then stays as it was. On success the entry is taken off `list` and its
// text, as the audience sees it, is returned.
QString commitDraw(const QString &listPath, const QString &resultsPath, DrawList &list, int entry,
                   const QString &when);

// Finishes or undoes a draw that a kill interrupted, as the note of step 1 says: a draw whose lines are
// all in the results file is completed (the list replaced), any other is undone (a part of its lines
// cut off the results); then the note and the temporary files that killed writes left are removed.
// Throws AppError when a file cannot be mended.
void recover(const QString &listPath, const QString &resultsPath);

// The note of a draw in progress beside the list file.
QString drawNotePath(const QString &listPath);

// Encodes text for the lottery files (GB18030, which reads as GBK and holds what GBK lacks).
QByteArray encode(const QString &text);

} // namespace lottery
