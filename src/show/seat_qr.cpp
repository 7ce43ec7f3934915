#include "seat_qr.h"

#include <qrcodegen/qrcodegen.hpp>

#include <QPainter>

#include <algorithm>

#include <string>

namespace {
constexpr int kQuietModules = 4;
}

SeatQr::SeatQr(QWidget *parent, const QString &name) : QWidget(parent)
{
    setObjectName(name);
    setAccessibleName(QStringLiteral("座位二维码（未显示）"));
}

void SeatQr::setCode(int seat, const QString &text)
{
    m_dark.clear();
    m_size = 0;
    m_seat = text.isEmpty() ? 0 : seat;
    m_text = text;
    if (!text.isEmpty()) {
        const std::string utf8 = text.toStdString();
        const qrcodegen::QrCode code = qrcodegen::QrCode::encodeText(utf8.c_str(), qrcodegen::QrCode::Ecc::MEDIUM);
        m_size = code.getSize();
        m_dark.resize(std::size_t(m_size) * std::size_t(m_size));
        for (int y = 0; y < m_size; ++y)
            for (int x = 0; x < m_size; ++x)
                m_dark[std::size_t(y) * std::size_t(m_size) + std::size_t(x)] = code.getModule(x, y);
    }
    setAccessibleName(m_seat > 0 ? QStringLiteral("%1号座位的配对二维码").arg(m_seat)
                                 : QStringLiteral("座位二维码（未显示）"));
    update();
}

void SeatQr::paintEvent(QPaintEvent *)
{
    if (m_size == 0)
        return;
    QPainter p(this);
    const int side = std::min(width(), height());
    // Whole pixels per module keep the edges sharp for the camera.
    const int module = side / (m_size + 2 * kQuietModules);
    if (module < 1)
        return;
    const int drawn = module * (m_size + 2 * kQuietModules);
    const QPoint origin((width() - drawn) / 2, (height() - drawn) / 2);
    p.fillRect(QRect(origin, QSize(drawn, drawn)), Qt::white);
    const QPoint first = origin + QPoint(kQuietModules * module, kQuietModules * module);
    for (int y = 0; y < m_size; ++y)
        for (int x = 0; x < m_size; ++x)
            if (m_dark[std::size_t(y) * std::size_t(m_size) + std::size_t(x)])
                p.fillRect(first.x() + x * module, first.y() + y * module, module, module, Qt::black);
}
