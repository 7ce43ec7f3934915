#pragma once
// The demo contest of a fresh program folder: the database made from the schema with eight contestants,
// the settings file, and the lottery list.
#include <QString>
#include <QStringList>

namespace assetgen::demo {

struct Person {
    QString name;
    QString photo; // bare file name in the photo folder
    QString group; // contestants only
    QString profile = {}; // bare file name in the profile folder; contestants only, may be empty
};

QList<Person> contestants(); // eight, in running order
QList<Person> judges();      // five

// Creates the database file at `path` from the schema file and fills the demo roster and countdown presets.
// The file is built beside its final name and moved into place only when complete. Throws AppError.
void createDatabase(const QString &path, const QString &schemaPath);

// Writes config.ini for the demo contest (GBK) at `path`, through a temporary file. Throws AppError.
void writeSettings(const QString &path);

// The lottery list: thirty-six seat labels ("3排4号"), one per line, GBK.
QByteArray lotteryList();

} // namespace assetgen::demo
