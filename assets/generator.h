#pragma once
// Lays out a program folder: every asset folder, the default pictures and sounds, the demo database, the
// settings and the lottery list. Only what is missing is made, so an organiser's own files survive.
#include <QString>
#include <QStringList>

namespace assetgen {

struct Options {
    QString programFolder;
    QString schemaPath;
    QString lame; // the MP3 encoder's executable; empty when it is not installed (MP3 files are skipped)
};

struct Outcome {
    QStringList written; // relative paths of the files made
    QStringList notes;   // what the build output should tell (a missing encoder, say)
};

// The `lame` executable on the search path, or empty.
QString findLame();

// The build-output note for MP3 files skipped because the encoder is missing.
QString lameMissingNote(const QStringList &skipped);

// Relative paths of every folder and file the generator lays (MP3 files only `withMp3`).
QStringList plannedFolders();
QStringList plannedFiles(bool withMp3);

// Relative paths of the planned files that do not exist yet. Cheap: no drawing, no sound.
QStringList missingFiles(const Options &options);

// Makes every missing folder and file. Drawing needs a QGuiApplication. Throws AppError when a file cannot
// be written; files already made stay.
Outcome layProgramFolder(const Options &options);

} // namespace assetgen
