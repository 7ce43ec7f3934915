#pragma once
// The judges' phones as the operator's screens see them: twelve seats, the performance the phones show and
// the scores they send. The keypad page pairs the seats and turns the link on and off; the scoring screen
// tells which performance is being scored and takes the scores into its entry panel. Nothing a phone sends
// reaches the stage or the database before the operator confirms it. The network server behind this lives
// in the judging module; tests use a fake.
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

namespace judging {

inline constexpr int kSeats = 12;

enum class SeatState {
    Unpaired,  // never paired since the tokens were last renewed
    Connected, // a phone is connected and its heartbeat is recent
    Stale,     // paired, but no heartbeat for a few seconds (asleep, out of range, closed)
    Locked,    // too many wrong pairing codes: only the operator's reset opens it again
};

struct SeatInfo {
    SeatState state = SeatState::Unpaired;
    QString device;            // a short, non-secret label of the live device ("" when none)
    QDateTime lastSeen;        // the last message or heartbeat of the live device
    bool secondDeviceWaiting = false; // another device asks for this seat and waits for the operator's yes
};

// What the phones show and accept. Round 0 or position 0: nothing is being scored, phones wait.
struct Performance {
    int round = 0;       // 1..4
    int position = 0;    // the contestant's position in the running order, 1..N
    QString number;      // the contestant's number as the stage shows it
    QString name;        // the contestant's name
    int judges = 0;      // seats 1..judges take part
    double lowest = 0;   // the round's lowest and highest score ("第一轮最低分" .. "第四轮最高分")
    double highest = 10;
    int decimals = 2;    // the contest's decimals ("小数点")

    bool operator==(const Performance &) const = default;
};

class JudgeLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Off until the operator turns it on; listens on one address of the hall's network and one port.
    virtual bool start(const QString &address, quint16 port, QString *error) = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;

    // Pairing. The join address carries the seat's secret token; the code is a six-digit fallback that
    // expires after a few minutes and is good for one pairing.
    virtual SeatInfo seat(int seat) const = 0;
    virtual QString joinUrl(int seat) const = 0;
    virtual QString newCode(int seat) = 0;
    // How long a code from newCode() stays good, so the operator can say until when.
    virtual int codeLifetimeSeconds() const { return 300; }
    virtual void resetSeat(int seat) = 0;      // unlocks, forgets the device, makes a new token
    virtual void renewTokens() = 0;            // every seat unpaired with a new token (a new contest)
    virtual void answerSecondDevice(int seat, bool accept) = 0;

    // The performance being scored, pushed to every phone; scores for any other one are refused.
    virtual void setPerformance(const Performance &performance) = 0;
    virtual Performance performance() const = 0;
    // The operator confirmed the entry panel: the seats' values of this performance are final, the phones
    // say so and take no more.
    virtual void confirm(const QStringList &values) = 0;

signals:
    void runningChanged(bool running);
    void seatsChanged();
    // A seat's score for the current performance, already checked against its range; the last one wins.
    void scoreArrived(int seat, const QString &value);
    void secondDeviceAsks(int seat);
};

} // namespace judging
