#pragma once
// The sound, music and clip players on Qt Multimedia. Their pipelines are made on first use, so screens
// that own a player cost nothing at start-up.
#include "media_interfaces.h"

#include <QObject>
#include <QPointer>

class Dialogs;
class QAudioOutput;
class QMediaPlayer;
class VideoSurface;

namespace media_errors {
// The operator's text for a file the player cannot decode: a Chinese sentence naming the file, then its
// full path and the player's own text.
QString unplayable(const QString &path, const QString &playerText);
} // namespace media_errors

// The application's own output level, applied to every player it makes.
class AppOutputVolume : public QObject, public OutputVolume {
    Q_OBJECT
public:
    void setVolume(int value) override;
    int volume() const override { return m_value; }
    float level() const { return float(m_value) / 65535.0f; }

signals:
    void changed(float level);

private:
    int m_value = 65535;
};

class QtMediaPlayer : public QObject, public MediaPlayer {
    Q_OBJECT
public:
    QtMediaPlayer(Dialogs &dialogs, AppOutputVolume &volume, QObject *parent);

    void setFileName(const QString &path) override;
    void open() override;
    void play() override;
    void stop() override;
    void pause() override;
    void close() override;
    bool isPlaying() const override;
    void setDisplay(QWidget *surface, const QRect &rect) override;

    QMediaPlayer *player() const { return m_player; }

private:
    void ensurePlayer();
    // Sets the player's video output; a loaded clip is loaded again behind it.
    void attachOutput(QObject *output);

    Dialogs &m_dialogs;
    AppOutputVolume &m_volume;
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_audio = nullptr;
    QPointer<VideoSurface> m_video;
    QString m_fileName;
    bool m_open = false;
    bool m_reported = false; // the failure of the file opened last has been reported
};

class QtClipPlayer : public QObject, public ClipPlayer {
    Q_OBJECT
public:
    QtClipPlayer(AppOutputVolume &volume, QWidget *parent);

    QWidget *widget() override { return m_surface; }
    void setUrl(const QString &path) override;
    void play() override;
    void close() override;

    QMediaPlayer *player() const { return m_player; }

private:
    void ensurePlayer();

    AppOutputVolume &m_volume;
    QWidget *m_surface;
    VideoSurface *m_video = nullptr;
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_audio = nullptr;
    QString m_path;
    bool m_reported = false;
};
