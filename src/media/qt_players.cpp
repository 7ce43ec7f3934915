#include "qt_players.h"

#include "settings/app_error.h"
#include "ui/dialogs.h"
#include "ui/guard.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QPainter>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSink>
#include <QWidget>

// The clip's pictures painted into an ordinary widget of the screen. A video widget of the toolkit draws
// in a window of its own, which stays black when it is shown before the screen's window is on the display
// (a stored clip loaded as the entry screen opens) or after that window was closed and opened again (the
// quiz's second clip).
class VideoSurface : public QWidget {
public:
    explicit VideoSurface(QWidget *parent) : QWidget(parent), m_sink(new QVideoSink(this))
    {
        setObjectName(QStringLiteral("Media_video"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        connect(m_sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame &frame) {
            m_frame = frame;
            update();
        });
    }
    QVideoSink *sink() const { return m_sink; }
    // Forgets the last picture, so the surface shown again is black until the next clip's first frame.
    void clear()
    {
        m_frame = QVideoFrame();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        if (m_frame.isValid())
            m_frame.paint(&painter, rect(), {Qt::black, Qt::KeepAspectRatio, {}});
    }

private:
    QVideoSink *m_sink;
    QVideoFrame m_frame;
};

QString media_errors::unplayable(const QString &path, const QString &playerText)
{
    QString message = QStringLiteral("无法播放文件“%1”：文件已损坏，或者不是能播放的声音或视频。").arg(QFileInfo(path).fileName());
    message += QLatin1Char('\n') + path;
    if (!playerText.trimmed().isEmpty())
        message += QLatin1Char('\n') + playerText.trimmed();
    return message;
}

void AppOutputVolume::setVolume(int value)
{
    m_value = std::clamp(value, 0, 65535);
    emit changed(level());
}

QtMediaPlayer::QtMediaPlayer(Dialogs &dialogs, AppOutputVolume &volume, QObject *parent)
    : QObject(parent), m_dialogs(dialogs), m_volume(volume)
{
}

void QtMediaPlayer::ensurePlayer()
{
    if (m_player)
        return;
    m_player = new QMediaPlayer(this);
    m_audio = new QAudioOutput(this);
    m_audio->setVolume(m_volume.level());
    m_player->setAudioOutput(m_audio);
    connect(&m_volume, &AppOutputVolume::changed, m_audio, &QAudioOutput::setVolume);
    // Decoding fails after open() has returned, often with several errors of the pipeline for one file: the
    // operator hears of the first, once per opening, in the screen's handler or the standard error box.
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error, const QString &text) {
        if (error == QMediaPlayer::NoError || !m_open || m_reported)
            return;
        m_reported = true;
        const QString message = media_errors::unplayable(m_fileName, text);
        if (!failed(m_fileName, message))
            reportError(m_dialogs, nullptr, message);
    });
}

void QtMediaPlayer::setFileName(const QString &path)
{
    m_fileName = path;
}

void QtMediaPlayer::open()
{
    close();
    if (m_fileName.isEmpty() || !QFileInfo(m_fileName).isFile())
        throw AppError(QStringLiteral("无法找到指定的文件。请确认路径和文件名是否正确。\n%1").arg(m_fileName));
    ensurePlayer();
    // The clip reaches the player at play(), once its display is set: a video output attached while the
    // player is already loading a clip may never be fed a frame, and the clip stays black.
    m_open = true;
    m_reported = false;
}

void QtMediaPlayer::play()
{
    if (!m_open)
        throw AppError(QStringLiteral("该设备没有打开。"));
    const QUrl source = QUrl::fromLocalFile(m_fileName);
    if (m_player->source() != source)
        m_player->setSource(source);
    m_player->setPosition(0);
    m_player->play();
}

void QtMediaPlayer::stop()
{
    if (m_player)
        m_player->stop();
}

void QtMediaPlayer::pause()
{
    if (!m_player)
        return;
    if (m_player->playbackState() == QMediaPlayer::PausedState)
        m_player->play();
    else if (m_player->playbackState() == QMediaPlayer::PlayingState)
        m_player->pause();
}

void QtMediaPlayer::close()
{
    m_open = false;
    if (!m_player)
        return;
    m_player->stop();
    m_player->setSource(QUrl());
    // A closed player shows nothing: its last frame would stay over the page as a black box.
    if (m_video) {
        m_video->hide();
        m_video->clear();
    }
}

bool QtMediaPlayer::isPlaying() const
{
    return m_player && m_player->playbackState() == QMediaPlayer::PlayingState;
}

void QtMediaPlayer::setDisplay(QWidget *surface, const QRect &rect)
{
    ensurePlayer();
    if (!surface) {
        attachOutput(nullptr);
        if (m_video)
            m_video->hide();
        return;
    }
    if (!m_video || m_video->parentWidget() != surface) {
        attachOutput(nullptr);
        delete m_video;
        m_video = new VideoSurface(surface);
    }
    m_video->setGeometry(rect);
    m_video->show();
    m_video->raise();
    attachOutput(m_video->sink());
}

void QtMediaPlayer::attachOutput(QObject *output)
{
    if (m_player->videoOutput() == output)
        return;
    const QUrl source = m_player->source();
    if (source.isEmpty()) {
        m_player->setVideoOutput(output);
        return;
    }
    // A clip already loaded is loaded again behind the new output, which would otherwise stay black.
    const bool playing = m_player->playbackState() == QMediaPlayer::PlayingState;
    m_player->setSource(QUrl());
    m_player->setVideoOutput(output);
    m_player->setSource(source);
    if (playing)
        m_player->play();
}

QtClipPlayer::QtClipPlayer(AppOutputVolume &volume, QWidget *parent)
    : QObject(parent), m_volume(volume), m_surface(new QWidget(parent))
{
    m_surface->setObjectName(QStringLiteral("clip_surface"));
    m_surface->setAttribute(Qt::WA_TranslucentBackground);
}

void QtClipPlayer::ensurePlayer()
{
    if (m_player)
        return;
    m_video = new VideoSurface(m_surface);
    auto *layout = new QVBoxLayout(m_surface);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_video);
    m_player = new QMediaPlayer(this);
    m_audio = new QAudioOutput(this);
    m_audio->setVolume(m_volume.level());
    connect(&m_volume, &AppOutputVolume::changed, m_audio, &QAudioOutput::setVolume);
    m_player->setAudioOutput(m_audio);
    m_player->setVideoOutput(m_video->sink());
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error, const QString &text) {
        if (error == QMediaPlayer::NoError || m_path.isEmpty() || m_reported)
            return;
        m_reported = true;
        failed(m_path, media_errors::unplayable(m_path, text));
    });
}

void QtClipPlayer::setUrl(const QString &path)
{
    m_path = path;
}

void QtClipPlayer::play()
{
    // A missing clip simply does not play.
    if (m_path.isEmpty() || !QFileInfo(m_path).isFile())
        return;
    ensurePlayer();
    m_reported = false;
    m_player->setSource(QUrl::fromLocalFile(m_path));
    m_player->play();
}

void QtClipPlayer::close()
{
    m_path.clear(); // what the pipeline says after this is about no clip of the screen's
    if (!m_player)
        return;
    m_player->stop();
    m_player->setSource(QUrl());
    m_video->clear(); // the next clip does not open on this one's last picture
}
