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
inline constexpr int kCodeDigits = 8;
inline constexpr qint64 kMaxSequence = 2147483647;

// 128 random bits from the system's source, as URL-safe text (22 characters).
QString randomSecret();
// Eight random digits, "00000000" to "99999999".
QString randomCode();
// What the program keeps of a device's key: its SHA-256, never the key itself. The phone answers a
// challenge with an HMAC keyed by the same hash, so the key never travels after the pairing.
QByteArray keyVerifier(const QString &deviceKey);
// The answer to the challenge `nonce`: HMAC-SHA-256 keyed by the verifier, as lower-case hex.
QString challengeAnswer(const QByteArray &verifier, const QString &nonce);
// Compares two secrets in a time that does not depend on where they first differ.
bool sameSecret(const QString &a, const QString &b);
// A short label of a device that gives nothing of its secret away ("D-1a2b").
QString deviceLabel(const QString &deviceKey);

// A seat's paired device as the program keeps it: a public id the phone names itself by, a label for the
// operator and the verifier of its key.
struct Pairing {
    QString id;
    QString device;
    QByteArray verifier;
    bool operator==(const Pairing &) const = default;
};

// Who may take which seat: each seat's token, its one-time code and its paired device. A wrong code
// never locks a seat: guessing is held back per address and in all (AddressThrottle, GuessBudget).
class SeatBook {
public:
    struct Seat {
        QString token;
        QString code;          // "" when none is out
        qint64 codeExpires = 0;
        Pairing pairing;       // id "" when unpaired
    };

    SeatBook();

    const Seat &seat(int seat) const { return m_seats[seat - 1]; }
    static bool valid(int seat) { return seat >= 1 && seat <= kSeats; }
    bool paired(int seat) const { return !m_seats[seat - 1].pairing.id.isEmpty(); }

    // The seat a token or a device id belongs to; 0 for none.
    int seatForToken(const QString &token) const;
    int seatForDevice(const QString &id) const;

    enum class CodeResult { Taken, Wrong, Expired };
    struct CodeOutcome {
        CodeResult result = CodeResult::Wrong;
        int seat = 0; // the seat of a taken or expired code
    };
    // Uses a code once.
    CodeOutcome takeCode(const QString &code, qint64 now);
    // A new code for the seat (the old one no longer works).
    QString newCode(int seat, qint64 now);
    bool codeOut(int seat, qint64 now) const;

    // Pairs a new device with the seat, forgetting any earlier one; returns the device's key, which only
    // the phone keeps. The seat's token and code are spent: the seat gets a new token.
    QString pair(int seat);
    // A device paired before, as stored.
    void restore(int seat, const Pairing &pairing);
    // Forgets the device and the code, gives a new token.
    void reset(int seat);
    void renewAll();

private:
    QVector<Seat> m_seats;
};

// Wrong pairing codes from every address together: about one a second, a short burst allowed. A code of
// eight digits then takes months to find even with every seat's code out.
class GuessBudget {
public:
    static constexpr double kPerSecond = 1;
    static constexpr double kBurst = 10;
    bool available(qint64 now);
    void spend() { m_tokens -= 1; }

private:
    double m_tokens = kBurst;
    qint64 m_last = 0;
    bool m_started = false;
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
    Unsaved,          // the audit could not be written: not taken, the phone sends it again
};
QString outcomeText(Outcome outcome);

// Checks a score text against the performance: ASCII digits and at most one point, nothing else, with at
// most `decimals` places, from lowest to highest. Returns the text as the entry panel holds it
// ("09.5" → "9.5"), or "" when it is not a score.
QString checkScore(const QString &text, const Performance &performance, Outcome *why);

// A sent value as the audit keeps it: printable ASCII as it is, anything else (direction overrides,
// controls) as \uXXXX, so a stored row reads as what was sent.
QString auditText(const QString &value);

// One message of a phone (JSON text).
struct Message {
    // BadScore: a score whose fields are not as the page sends them; what could be read is kept.
    enum class Kind { Invalid, Hello, Score, BadScore, Ping };
    Kind kind = Kind::Invalid;
    QString token;  // hello: the seat's token from the join address
    QString code;   // hello: a pairing code
    QString device; // hello: the id of a device paired before
    QString proof;  // hello: its answer to the connection's challenge
    int round = 0;
    int position = 0;
    qint64 seq = 0;
    QString value;
};
Message parseMessage(const QByteArray &text);

// Which address gives up its oldest connection before one more from `address` is let in: that address
// itself once it holds `perAddress`, else, when `full`, the address holding most; empty when none need.
QString evictionVictim(const QHash<QString, int> &counts, const QString &address, int perAddress, bool full);

} // namespace judging
