#pragma once
// The demo question bank of a fresh program folder: eight groups of issue 0 holding every question type,
// with the pictures, sounds, clip and Flash movie they name.
#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace assetgen::demo_questions {

struct MediaFile {
    QString relative; // inside the program folder
    std::function<QByteArray()> bytes;
};

// The question pictures, answer pictures, audio and video clips and the Flash movie of the bank.
QList<MediaFile> files();

// Fills the bank into the database at `databasePath` when its question table holds no row at all, so an
// organiser's own bank is never touched. Returns whether it did. Throws AppError on a database error.
bool addBankIfEmpty(const QString &databasePath);

// A Motion-JPEG AVI clip of the given frames (all of one size), played at `framesPerSecond`.
QByteArray mjpegAvi(const QList<QByteArray> &jpegFrames, int width, int height, int framesPerSecond);

} // namespace assetgen::demo_questions
