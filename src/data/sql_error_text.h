#pragma once
// The standard error box's text for a database failure: what happened, in the operator's language,
// followed by the driver's own text for whoever has to mend it.
#include <QString>

class QSqlError;

// `databasePath`, when given, lets a failure to write be told by its cause: a full disk, a read-only
// folder or file.
QString sqlErrorText(const QSqlError &error, const QString &databasePath = {});
// The folder of the database or the file itself cannot be written, in Chinese, or an empty text.
QString readOnlyProblem(const QString &databasePath);
// Why the database cannot be written, in Chinese, or an empty text: the disk full, the folder or the
// file read-only.
QString storageProblem(const QString &databasePath);
// A database file that is not there at all.
QString missingDatabaseText(const QString &path);
