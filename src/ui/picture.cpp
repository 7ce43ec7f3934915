#include "picture.h"

#include "settings/app_error.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

Picture::Picture(QWidget *parent, const QString &name) : QWidget(parent)
{
    if (!name.isEmpty())
        setObjectName(name);
    setAttribute(Qt::WA_TranslucentBackground);
}

void Picture::loadFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw AppError(QStringLiteral("找不到图片文件“%1”。\nCannot open file \"%1\". The system cannot find the file specified.")
                           .arg(path));
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        throw AppError(QStringLiteral("图片文件“%1”无法读取，它不是可以显示的图片。\nCannot read picture \"%1\": %2")
                           .arg(path, reader.errorString()));
    const qreal dpr = devicePixelRatioF();
    if (m_stretch && !size().isEmpty()) {
        // Made to fit once, smoothly, at the display's resolution: each paint is then a plain copy.
        const QSize device = (QSizeF(size()) * dpr).toSize();
        if (image.size() != device)
            image = image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.setDevicePixelRatio(dpr);
    } else if (!size().isEmpty() && image.size() == size() * 2) {
        image.setDevicePixelRatio(2); // a picture drawn at twice its place's size, for scaled stages
    } else if (dpr > 1.0) {
        // Shown at its own size in stage pixels but held at the display's resolution, so what is drawn
        // into it later (the matching lines) is as sharp as the display.
        image = image.scaled((QSizeF(image.size()) * dpr).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.setDevicePixelRatio(dpr);
    }
    setPixmap(QPixmap::fromImage(std::move(image)));
}

bool Picture::loadIfExists(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    loadFile(path);
    return true;
}

void Picture::setPixmap(const QPixmap &pixmap)
{
    m_pixmap = pixmap;
    update();
}

void Picture::clear()
{
    m_pixmap = QPixmap();
    update();
}

void Picture::setStretch(bool stretch)
{
    m_stretch = stretch;
    update();
}

void Picture::setCentered(bool centered)
{
    m_centered = centered;
    update();
}

void Picture::paintEvent(QPaintEvent *)
{
    if (m_pixmap.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_stretch) {
        p.drawPixmap(rect(), m_pixmap);
    } else if (m_centered) {
        const QSize s = m_pixmap.deviceIndependentSize().toSize();
        p.drawPixmap(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), m_pixmap);
    } else {
        p.drawPixmap(0, 0, m_pixmap);
    }
}

QPixmap stageCanvas(qreal dpr)
{
    QPixmap canvas(QSize(1024, 768) * dpr);
    canvas.setDevicePixelRatio(dpr);
    canvas.fill(Qt::black);
    return canvas;
}

QPixmap moveArrow(bool up, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 40.0, size / 40.0); // drawn on a 40 x 40 grid
    p.setPen(QPen(QColor(20, 50, 130), 1));
    p.setBrush(QColor(60, 120, 220));
    const QPolygonF head = up ? QPolygonF({QPointF(20, 3), QPointF(37, 21), QPointF(3, 21)})
                              : QPolygonF({QPointF(20, 37), QPointF(37, 19), QPointF(3, 19)});
    p.drawPolygon(head);
    p.drawRect(up ? QRectF(13, 21, 14, 15) : QRectF(13, 4, 14, 15));
    return pixmap;
}
