#pragma once
// The Flash panel a screen holds. The player and the web engine behind it live in a library of their
// own, loaded at the panel's first movie, so a show that plays no Flash never loads the engine.
#include "media_interfaces.h"

#include <QWidget>

class FlashPanel : public QWidget, public FlashPlayer {
    Q_OBJECT
public:
    // `library`: the player's library; by default "libquelmora_flash.so" beside the executable.
    explicit FlashPanel(QWidget *parent, const QString &library = QString());

    QWidget *widget() override { return this; }
    // Loads the player first; a library that cannot be loaded throws with the loader's reason.
    void setMovie(const QString &path) override;
    // Before the first movie there is nothing to play or halt.
    void play() override;
    void stop() override;
    void stopPlay() override;

    // The loaded player, or null before the first movie.
    FlashPlayer *player() const { return m_player; }

private:
    QString m_library;
    FlashPlayer *m_player = nullptr;
};
