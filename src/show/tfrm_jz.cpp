#include "tfrm_jz.h"

#include "media/asset_paths.h"
#include "ui/key_codes.h"
#include "ui/picture.h"

Tfrm_jz::Tfrm_jz(AppContext &context) : StageWindow(context, QStringLiteral("frm_jz"))
{
    setWindowTitle(QStringLiteral("静止画面"));
    Image1 = new Picture(this, QStringLiteral("Image1"));
    Image1->setStretch(true);
    Image1->setGeometry(0, 0, kStageWidth, kStageHeight);
}

void Tfrm_jz::onShow()
{
    Image1->loadFile(context().paths.file(assets::kStillBackground));
}

bool Tfrm_jz::keyUp(int key, Qt::KeyboardModifiers)
{
    if (key != vk::Escape)
        return false;
    closeScreen();
    return true;
}
