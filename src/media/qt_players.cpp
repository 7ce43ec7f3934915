#include "qt_players.h"

#include "settings/app_error.h"
#include "ui/dialogs.h"
#include "ui/guard.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

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
    // Decoding fails after open() has returned; the operator hears of it in the standard error box, one
    // box at a time for a sound that a running clock plays again and again.
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error, const QString &text) {
        if (error != QMediaPlayer::NoError && m_open)
            reportError(m_dialogs, nullptr, text.isEmpty() ? QStringLiteral("无法播放文件“%1”。").arg(m_fileName) : text);
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
    m_player->setSource(QUrl::fromLocalFile(m_fileName));
    m_open = true;
}

void QtMediaPlayer::play()
{
    if (!m_open)
        throw AppError(QStringLiteral("该设备没有打开。"));
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
    if (m_video)
        m_video->hide();
}

bool QtMediaPlayer::isPlaying() const
{
    return m_player && m_player->playbackState() == QMediaPlayer::PlayingState;
}

void QtMediaPlayer::setDisplay(QWidget *surface, const QRect &rect)
{
    ensurePlayer();
    if (!surface) {
        m_player->setVideoOutput(nullptr);
        if (m_video)
            m_video->hide();
        return;
    }
    if (!m_video || m_video->parentWidget() != surface) {
        delete m_video;
        m_video = new QVideoWidget(surface);
    }
    m_video->setGeometry(rect);
    m_video->show();
    m_player->setVideoOutput(m_video);
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
    m_video = new QVideoWidget(m_surface);
    auto *layout = new QVBoxLayout(m_surface);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_video);
    m_player = new QMediaPlayer(this);
    m_audio = new QAudioOutput(this);
    m_audio->setVolume(m_volume.level());
    connect(&m_volume, &AppOutputVolume::changed, m_audio, &QAudioOutput::setVolume);
    m_player->setAudioOutput(m_audio);
    m_player->setVideoOutput(m_video);
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
    m_player->setSource(QUrl::fromLocalFile(m_path));
    m_player->play();
}

void QtClipPlayer::close()
{
    if (!m_player)
        return;
    m_player->stop();
    m_player->setSource(QUrl());
}
