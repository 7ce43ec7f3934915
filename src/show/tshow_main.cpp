#include "tshow_main.h"

#include "media/media_interfaces.h"
#include "scoring/tfrm_pfmain.h"
#include "show/tfrm_banjiangjm.h"
#include "show/tfrm_cj.h"
#include "show/tfrm_xuanchuan.h"
#include "ui/dialogs.h"
#include "ui/key_codes.h"
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

bool Tshow_main::keyDown(int key, Qt::KeyboardModifiers, bool)
{
    if (key != vk::Escape)
        return false;
    closeScreen();
    return true;
}

bool Tshow_main::keyUp(int key, Qt::KeyboardModifiers modifiers)
{
    const Screens &screens = context().screens;
    switch (key) {
    case vk::letter('H'):
        Panel_help->setVisible(Panel_help->isHidden());
        return true;
    case vk::F1:
        screens.frm_pfmain->openModeless(this);
        return true;
    case vk::F2:
        context().services.slides->run(context().paths.file(assets::kJudgeIntroShow));
        return true;
    case vk::F3:
        screens.frm_cj->openModal(this);
        return true;
    case vk::Period:
        screens.frm_banjiangjm->openModal(this);
        return true;
    case vk::Comma:
        // The less-than sign, as the help bar says; the plain comma does nothing.
        if (modifiers.testFlag(Qt::ShiftModifier))
            screens.frm_xuanchuan->openModal(this);
        return true;
    case vk::Slash:
        if (modifiers.testFlag(Qt::ShiftModifier))
            context().dialogs().information(this, QStringLiteral("分数已经成功恢复！"));
        return true;
    case vk::Escape:
        return true; // acted on when pressed
    default:
        return false;
    }
}

void Tshow_main::resizeEvent(QResizeEvent *event)
{
    StageWindow::resizeEvent(event);
    Image1->setGeometry(rect());
}
