#pragma once
// A temporary program folder for one test: config/, database/sys_main.db made from the schema, and
// the asset folders, with helpers to lay files and settings into it.
#include <QString>
#include <QSize>
#include <QTemporaryDir>

class TestProgramFolder {
public:
    // `withDatabase` false leaves database/ empty.
    explicit TestProgramFolder(bool withDatabase = true);

    QString path() const;                          // ends in '/'
    QString file(const QString &relative) const;   // full path of a relative one
    QString databasePath() const { return file(QStringLiteral("database/sys_main.db")); }

    void setConfig(const QString &section, const QString &key, const QString &value) const;
    QString config(const QString &section, const QString &key) const;
    // Writes a small picture (JPEG, BMP, GIF or PNG by the name's extension) of the given colour.
    void writePicture(const QString &relative, QSize size = QSize(64, 48), Qt::GlobalColor colour = Qt::red) const;
    void writeBytes(const QString &relative, const QByteArray &bytes) const;
    // Runs SQL statements on the database file through a connection of its own.
    void exec(const QStringList &statements) const;
    // The values of one column of a query, as text.
    QStringList column(const QString &sql) const;

private:
    QTemporaryDir m_dir;
};

// The schema file of the source tree.
QString schemaPath();
// Creates a database file from the schema; throws AppError on failure.
void createDatabase(const QString &path);
