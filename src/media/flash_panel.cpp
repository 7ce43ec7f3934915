#include "flash_panel.h"

#include "settings/app_error.h"

#include <QCoreApplication>
#include <QHash>
#include <QLibrary>
#include <QStackedLayout>

namespace {

using MakePlayer = FlashPlayer *(*)(QWidget *parent);

// A library is loaded once and stays for the rest of the run, as the web engine must.
MakePlayer playerMaker(const QString &path)
{
    static QHash<QString, MakePlayer> loaded;
    if (MakePlayer make = loaded.value(path))
        return make;
    QLibrary library(path);
    const auto make = library.load() ? reinterpret_cast<MakePlayer>(library.resolve("quelmora_make_flash_player")) : nullptr;
    if (!make)
        throw AppError(QStringLiteral("Flash 播放组件无法加载：") + library.errorString());
    loaded.insert(path, make);
    return make;
}

} // namespace

FlashPanel::FlashPanel(QWidget *parent, const QString &library)
    : QWidget(parent),
      m_library(library.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/libquelmora_flash.so")
                                  : library)
{
    auto *layout = new QStackedLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void FlashPanel::setMovie(const QString &path)
{
    if (!m_player) {
        m_player = playerMaker(m_library)(this);
        QWidget *view = m_player->widget();
        view->setFocusPolicy(focusPolicy());
        layout()->addWidget(view);
    }
    m_player->setMovie(path);
}

void FlashPanel::play()
{
    if (m_player)
        m_player->play();
}

void FlashPanel::stop()
{
    if (m_player)
        m_player->stop();
}

void FlashPanel::stopPlay()
{
    if (m_player)
        m_player->stopPlay();
}
