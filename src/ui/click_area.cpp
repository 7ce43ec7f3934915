#include "click_area.h"

#include <QMouseEvent>

ClickArea::ClickArea(QWidget *parent, const QString &name) : QWidget(parent)
{
    if (!name.isEmpty())
        setObjectName(name);
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
}

void ClickArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickArea::enterEvent(QEnterEvent *)
{
    emit entered();
}

void ClickArea::leaveEvent(QEvent *)
{
    emit left();
}
