#include "tfrm_xsjs.h"

#include "media/asset_paths.h"
#include "media/media_interfaces.h"
#include "scoring/tfrm_pfmain.h"
#include "settings/app_error.h"
#include "ui/key_codes.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

// The backdrop of the name: a deep red stage under a soft spotlight, with a gold band framing the name.
QPixmap backdrop(qreal dpr)
{
    QPixmap pixmap = stageCanvas(dpr);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, StageWindow::kStageWidth, StageWindow::kStageHeight);

    QLinearGradient ground(0, 0, 0, all.height());
    ground.setColorAt(0, QColor(110, 8, 20));
    ground.setColorAt(0.55, QColor(70, 4, 14));
    ground.setColorAt(1, QColor(28, 2, 8));
    p.fillRect(all, ground);

    QRadialGradient spot(all.center().x(), 300, 560);
    spot.setColorAt(0, QColor(255, 200, 120, 90));
    spot.setColorAt(1, QColor(255, 200, 120, 0));
    p.fillRect(all, spot);

    // Light rays from the top corners.
    for (int side = 0; side < 2; ++side) {
        const qreal x = side == 0 ? 0 : all.width();
        for (int i = 0; i < 5; ++i) {
            QPainterPath ray;
            const qreal spread = 120 + i * 150;
            ray.moveTo(x, 0);
            ray.lineTo(side == 0 ? spread : all.width() - spread, all.height());
            ray.lineTo(side == 0 ? spread + 60 : all.width() - spread - 60, all.height());
            ray.closeSubpath();
            p.fillPath(ray, QColor(255, 230, 170, 14));
        }
    }

    // Gold rules above and below the name's place.
    QLinearGradient gold(0, 0, all.width(), 0);
    gold.setColorAt(0, QColor(255, 214, 90, 0));
    gold.setColorAt(0.5, QColor(255, 222, 120));
    gold.setColorAt(1, QColor(255, 214, 90, 0));
    for (qreal y : {236.0, 246.0, 500.0, 510.0})
        p.fillRect(QRectF(40, y, all.width() - 80, y == 236.0 || y == 510.0 ? 2 : 4), gold);

    QFont caption = stageFont(QStringLiteral("黑体"), 40, true);
    caption.setLetterSpacing(QFont::AbsoluteSpacing, 16);
    p.setFont(caption);
    p.setPen(QColor(255, 222, 140));
    p.drawText(QRectF(0, 120, all.width(), 80), Qt::AlignCenter, QStringLiteral("选手介绍"));
    return pixmap;
}

} // namespace

Tfrm_xsjs::Tfrm_xsjs(AppContext &context) : StageWindow(context, QStringLiteral("frm_xsjs"))
{
    setWindowTitle(QStringLiteral("选手介绍"));

    image_xszl = new Picture(this, QStringLiteral("image_xszl"));
    image_xszl->setStretch(true);
    image_xszl->setGeometry(0, 0, kStageWidth, kStageHeight);

    lab_xsxm = new ShadowLabel(this, QStringLiteral("lab_xsxm"));
    lab_xsxm->setGeometry(32, 264, 953, 214);
    lab_xsxm->setFont(stageFont(QStringLiteral("黑体"), 107, true));
    lab_xsxm->setTextColour(Qt::yellow);
    lab_xsxm->setShadow(Qt::black, 3, 3);
    lab_xsxm->setAlignment(Qt::AlignCenter);
    lab_xsxm->setWordWrap(true);
}

void Tfrm_xsjs::onShow()
{
    // Drawn when first shown, at the resolution of the display the stage is on.
    if (image_xszl->pixmap().devicePixelRatio() != devicePixelRatioF() || image_xszl->isEmpty())
        image_xszl->setPixmap(backdrop(devicePixelRatioF()));
    m_profile.clear();
    const QString name = context().screens.frm_pfmain->lab_xsxm->text();
    lab_xsxm->setText(name);

    Dataset &q = context().data->adoq_ls;
    q.close();
    q.setSql(QStringLiteral("select * from xsb where xm=:ls"));
    q.bindText(QStringLiteral(":ls"), name.trimmed());
    q.open();
    if (!q.eof())
        m_profile = q.text(QStringLiteral("xszl")).trimmed();
    runProfile();
}

bool Tfrm_xsjs::keyUp(int key, Qt::KeyboardModifiers)
{
    switch (key) {
    case vk::F1:
        runProfile();
        return true;
    case vk::Escape:
        closeScreen();
        return true;
    default:
        return false;
    }
}

void Tfrm_xsjs::runProfile()
{
    if (m_profile.isEmpty())
        return;
    // A stored name that points outside the profile folder is refused rather than followed.
    const QString path = context().paths.named(assets::kContestantProfiles, m_profile);
    if (path.isEmpty())
        throw AppError(QStringLiteral("选手资料“%1”不是“%2”中的文件名。").arg(m_profile, assets::kContestantProfiles));
    context().services.slides->run(path);
}
