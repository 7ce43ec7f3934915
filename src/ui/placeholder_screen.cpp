#include "placeholder_screen.h"

#include "key_codes.h"
#include "shadow_label.h"

#include <QPainter>

PlaceholderScreen::PlaceholderScreen(AppContext &context, const QString &instanceName, const QString &title)
    : StageWindow(context, instanceName), m_title(title)
{
}

bool PlaceholderScreen::keyUp(int key, Qt::KeyboardModifiers)
{
    if (key != vk::Escape)
        return false;
    closeScreen();
    return true;
}

void PlaceholderScreen::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(16, 32, 72));
    p.setPen(Qt::white);
    p.setFont(stageFont(QStringLiteral("黑体"), 56, true));
    p.drawText(rect(), Qt::AlignCenter, m_title);
    p.setFont(stageFont(QStringLiteral("黑体"), 22));
    p.drawText(rect().adjusted(0, 0, 0, -60), Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("按 Esc 返回"));
}
