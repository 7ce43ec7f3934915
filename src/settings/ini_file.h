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

    // While one is alive on this thread, each file is parsed once for all the keys read from it, so an
    // operation that reads many keys (a screen's showing, a save) reads a large file once. A write through
    // IniFile, or any change of the file on disk, makes the next read parse it again; nothing is kept once
    // the outermost scope ends, so the next operation sees the file as it is then. Scopes nest.
    class ReadScope {
    public:
        ReadScope();
        ~ReadScope();
        ReadScope(const ReadScope &) = delete;
        ReadScope &operator=(const ReadScope &) = delete;
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
    // Throws AppError, a Chinese cause and then "Unable to write to <path>", when the file cannot be
    // written (a full disk, a read-only or missing folder) or when it exists but cannot be read; the file
    // then stays as it was, byte for byte. The file is replaced whole through a temporary file that is
    // written and synced first, so a failure or a kill never leaves half a file.
    void writeAll(const QList<Entry> &entries) const;

private:
    QString m_path;
};
