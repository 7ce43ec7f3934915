#include "tshow_main.h"

#include "media/media_interfaces.h"
#include "scoring/tfrm_pfmain.h"
#include "show/tfrm_banjiangjm.h"
#include "show/tfrm_cj.h"
#include "show/hub_keys.h"
#include "show/tfrm_xuanchuan.h"
#include "ui/dialogs.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QFrame>

Tshow_main::Tshow_main(AppContext &context) : StageWindow(context, QStringLiteral("show_main"))
{
    setMaximised(true);

    Image1 = new Picture(this, QStringLiteral("Image1"));
    Image1->setStretch(true);
    Image1->setGeometry(rect());

    Panel_help = new QFrame(this);
    Panel_help->setObjectName(QStringLiteral("Panel_help"));
    Panel_help->setGeometry(0, 715, kStageWidth, 50);
    Panel_help->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel_help->setAutoFillBackground(true);
    Panel_help->hide();

    lab_help = new ShadowLabel(Panel_help, QStringLiteral("lab_help"));
    lab_help->setGeometry(8, 5, 1011, 50);
    lab_help->setFont(stageFont(QStringLiteral("宋体"), 14));
    lab_help->setWordWrap(true);

    media1 = context.services.media->createMediaPlayer(this);
}

QString Tshow_main::helpText()
{
    return QStringLiteral("F1:") + QLatin1Char(' ') + QStringLiteral("F2:") + QLatin1Char(' ') + QStringLiteral("F3:")
           + QLatin1Char(' ') + QStringLiteral("F4:") + QLatin1Char(' ') + QStringLiteral("F5:") + QLatin1Char(' ')
           + QStringLiteral("F6:") + QLatin1Char(' ') + QStringLiteral("F7:") + QLatin1Char(' ') + QStringLiteral("F8:")
           + QLatin1Char(' ') + QStringLiteral("F9:") + QLatin1Char(' ') + QStringLiteral("F10:")
           + QStringLiteral("Shift+H:显示和隐藏帮助条") + QLatin1Char(' ') + QStringLiteral("Shift+?:恢复当前得分")
           + QLatin1Char(' ') + QStringLiteral("> 进入颁奖界面") + QLatin1Char(' ')
           + QStringLiteral("< 进入企业宣传口号界面 PageUp：显示当前分数 PageDown：显示分数排行榜 "
                            "1..10：首先进入各个环节的片头 End：开始和停止播放颁奖音乐 A/S/D/F:播放和停止背景音乐");
}

void Tshow_main::onShow()
{
    // The bar comes first, so that a missing background leaves the hub with its help ready.
    Panel_help->hide();
    lab_help->setText(helpText());
    Image1->loadFile(context().paths.file(assets::kHubBackground));
}

void Tshow_main::onClose()
{
    media1->close();
}

bool Tshow_main::keyDown(int key, Qt::KeyboardModifiers modifiers, bool)
{
    const hub_keys::Entry *entry = hub_keys::find(key);
    if (!entry || !hub_keys::acts(*entry, true, modifiers.testFlag(Qt::ShiftModifier)))
        return false;
    act(entry->action);
    return true;
}

bool Tshow_main::keyUp(int key, Qt::KeyboardModifiers modifiers)
{
    // Every key of the table is the hub's, also where it does nothing on this event.
    const hub_keys::Entry *entry = hub_keys::find(key);
    if (!entry)
        return false;
    if (hub_keys::acts(*entry, false, modifiers.testFlag(Qt::ShiftModifier)))
        act(entry->action);
    return true;
}

void Tshow_main::act(hub_keys::Action action)
{
    const Screens &screens = context().screens;
    switch (action) {
    case hub_keys::Action::ToggleHelp:
        Panel_help->setVisible(Panel_help->isHidden());
        break;
    case hub_keys::Action::Scoring:
        screens.frm_pfmain->openModeless(this);
        break;
    case hub_keys::Action::JudgesShow:
        context().services.slides->run(context().paths.file(assets::kJudgeIntroShow));
        break;
    case hub_keys::Action::Lottery:
        screens.frm_cj->openModal(this);
        break;
    case hub_keys::Action::Awards:
        screens.frm_banjiangjm->openModal(this);
        break;
    case hub_keys::Action::Slogan:
        // The less-than sign, as the help bar says; the plain comma does nothing.
        screens.frm_xuanchuan->openModal(this);
        break;
    case hub_keys::Action::ScoresRestored:
        context().dialogs().information(this, QStringLiteral("分数已经成功恢复！"));
        break;
    case hub_keys::Action::Close:
        closeScreen();
        break;
    }
}

void Tshow_main::resizeEvent(QResizeEvent *event)
{
    StageWindow::resizeEvent(event);
    Image1->setGeometry(rect());
}
