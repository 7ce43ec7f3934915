#include "phone_seats.h"

#include "settings/settings_keys.h"

#include <QHostAddress>
#include <QNetworkInterface>

namespace phone_seats {

QStringList orderAddresses(const QList<HostAddress> &addresses)
{
    QStringList hall;
    QStringList loopback;
    for (const HostAddress &a : addresses) {
        QStringList &list = a.loopback ? loopback : hall;
        if (!a.ip.isEmpty() && !hall.contains(a.ip) && !loopback.contains(a.ip))
            list << a.ip;
    }
    return hall + loopback;
}

QStringList hallAddresses()
{
    QList<HostAddress> found;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &i : interfaces) {
        const auto flags = i.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning))
            continue;
        const auto entries = i.addressEntries();
        for (const QNetworkAddressEntry &e : entries) {
            const QHostAddress ip = e.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol)
                found.append({ip.toString(), ip.isLoopback() || flags.testFlag(QNetworkInterface::IsLoopBack)});
        }
    }
    return orderAddresses(found);
}

quint16 configuredPort(const QString &saved)
{
    bool ok = false;
    const int port = saved.trimmed().toInt(&ok);
    return ok && port >= 1 && port <= 65535 ? quint16(port) : keys::kPhonesDefaultPort;
}

SeatLook seatLook(judging::SeatState state)
{
    switch (state) {
    case judging::SeatState::Connected: return {kGreen, QStringLiteral("已连接"), false};
    case judging::SeatState::Stale: return {kAmber, QStringLiteral("无心跳"), false};
    case judging::SeatState::Locked: return {kLocked, QStringLiteral("已锁定"), true};
    case judging::SeatState::Unpaired: break;
    }
    return {kGrey, QStringLiteral("未配对"), false};
}

} // namespace phone_seats
