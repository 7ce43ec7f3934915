#pragma once
// The standard error box's text for a database failure: what happened, in the operator's language,
// followed by the driver's own text for whoever has to mend it.
#include <QString>

class QSqlError;

QString sqlErrorText(const QSqlError &error);
// A database file that is not there at all.
QString missingDatabaseText(const QString &path);
