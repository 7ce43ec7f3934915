#pragma once
// The rules of the judges' phone link that need no network: secrets and pairing codes, the seats' pairing
// book, the throttle of bad pairing attempts per address, the message rate of one device, the check of a
// score against the performance and the parsing of the phones' messages. Times are steady milliseconds
// passed in by the caller, so every rule can be tried without waiting.
#include "ui/judge_link.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

namespace judging {

inline constexpr int kMaxMessageBytes = 1024;
inline constexpr qint64 kCodeLifetimeMs = 5 * 60 * 1000;
inline constexpr int kWrongCodesToLock = 5;

// 128 random bits from the system's source, as URL-safe text (22 characters).
QString randomSecret();
// Six random digits, "000000" to "999999".
QString randomCode();
// Compares two secrets in a time that does not depend on where they first differ.
bool sameSecret(const QString &a, const QString &b);
// A short label of a device that gives nothing of its secret away ("D-1a2b").
QString deviceLabel(const QString &deviceKey);

// Who may take which seat: each seat's token, its one-time code and the key of its paired device.
class SeatBook {
public:
    struct Seat {
        QString token;
        QString code;          // "" when none is out
        qint64 codeExpires = 0;
        int wrongCodes = 0;    // wrong codes tried while this seat's code was out
        bool locked = false;
        QString deviceKey;     // the paired device's secret; "" when unpaired
        QString device;        // its label
    };

    SeatBook();

    const Seat &seat(int seat) const { return m_seats[seat - 1]; }
    static bool valid(int seat) { return seat >= 1 && seat <= kSeats; }

    // The seat a token or a device key belongs to; 0 for none.
    int seatForToken(const QString &token) const;
    int seatForDevice(const QString &key) const;

    enum class CodeResult { Taken, Wrong, Expired, Locked };
    struct CodeOutcome {
        CodeResult result = CodeResult::Wrong;
        int seat = 0;               // the seat of a taken, expired or locked code
        QVector<int> newlyLocked;   // seats locked by this wrong try
    };
    // Uses a code once. A wrong code counts against every seat whose code is out, so guessing wears
    // all of them out at once; the fifth wrong try locks them.
    CodeOutcome takeCode(const QString &code, qint64 now);
    // A new code for the seat (the old one no longer works); "" for a locked seat.
    QString newCode(int seat, qint64 now);

    // Pairs a new device with the seat, forgetting any earlier one; returns the device's key.
    QString pair(int seat);
    void forgetDevice(int seat);
    // Unlocks, forgets the device and the code, gives a new token.
    void reset(int seat);
    void renewAll();

private:
    QVector<Seat> m_seats;
};

// Bad tokens and codes from one address: after a few within a short time, that address is refused for
// a while, each time longer.
class AddressThrottle {
public:
    static constexpr int kAllowed = 8;
    static constexpr qint64 kFirstPenaltyMs = 30 * 1000;
    static constexpr qint64 kLongestPenaltyMs = 15 * 60 * 1000;
    static constexpr qint64 kForgetMs = 10 * 60 * 1000;

    bool blocked(const QString &address, qint64 now) const;
    void failure(const QString &address, qint64 now);

private:
    struct Entry {
        int failures = 0;
        qint64 lastFailure = 0;
        qint64 blockedUntil = 0;
        qint64 penalty = kFirstPenaltyMs;
    };
    QHash<QString, Entry> m_entries;
};

// About ten messages a second per device, with a short burst allowed.
class RateBucket {
public:
    static constexpr double kPerSecond = 10;
    static constexpr double kBurst = 20;
    explicit RateBucket(qint64 now = 0) : m_last(now) {}
    bool take(qint64 now);

private:
    double m_tokens = kBurst;
    qint64 m_last;
};

// Why a submission was or was not taken; the audit keeps the text of `outcomeText`.
enum class Outcome {
    Accepted,
    Duplicate,        // the same sequence number again (a resend after a lost echo): echoed, not taken twice
    OlderSequence,    // older than one already taken for this seat and performance
    OtherPerformance, // for another round or contestant
    NoPerformance,    // nothing is being scored
    NotJudging,       // the seat takes no part in this contest
    BadFormat,
    OutOfRange,
    Final,            // the operator has confirmed this performance
    RateLimited,
};
QString outcomeText(Outcome outcome);

// Checks a score text against the performance: digits with at most `decimals` places, from lowest to
// highest. Returns the text as the entry panel holds it ("09.5" → "9.5"), or "" when it is not a score.
QString checkScore(const QString &text, const Performance &performance, Outcome *why);

// One message of a phone (JSON text).
struct Message {
    enum class Kind { Invalid, Hello, Score, Ping };
    Kind kind = Kind::Invalid;
    QString token; // hello: the seat's token from the join address
    QString code;  // hello: a pairing code
    QString key;   // hello: the device's key from an earlier pairing
    int round = 0;
    int position = 0;
    qint64 seq = 0;
    QString value;
};
Message parseMessage(const QByteArray &text);

} // namespace judging
