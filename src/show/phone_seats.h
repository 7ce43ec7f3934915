#pragma once
// What the keypad page shows of the judges' phones, without widgets: the hall's addresses to listen on,
// the port from the settings, and the look of a seat by its state.
#include "ui/judge_link.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace phone_seats {

struct HostAddress {
    QString ip;
    bool loopback = false;
};

// The addresses in the order the operator picks from: the hall's network first, as found, loopback last;
// each once.
QStringList orderAddresses(const QList<HostAddress> &addresses);

// The IPv4 addresses of this machine's interfaces that are up, ordered as above.
QStringList hallAddresses();

// The port saved in the settings, or the default when it is missing or no port.
quint16 configuredPort(const QString &saved);

struct SeatLook {
    QColor colour;
    QString state;      // what the seat's caption says, for those who cannot tell the colours apart
    bool lightNumber;   // the seat number drawn light on a dark circle
};

SeatLook seatLook(judging::SeatState state);

inline const QColor kGrey(160, 160, 160);
inline const QColor kGreen(0, 255, 0);
inline const QColor kAmber(255, 176, 0);
inline const QColor kLocked(96, 32, 120);

} // namespace phone_seats
