#pragma once
// The judges' phones over the hall's network: one embedded page over HTTP and, on the same port, the
// phones' WebSocket. The program decides the seat: a phone proves it by the seat's token (from the join
// address), a one-time code or, once paired, by answering the connection's challenge with its key, which
// never travels again. Nothing is readable before that. Scores are checked against the performance being
// scored, written to the audit table and only then echoed to the phone.
#include "http_gate.h"
#include "judge_audit.h"
#include "judging_rules.h"
#include "ui/judge_link.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <unordered_map>

class Connection;
class QWebSocket;
class SettingsFiles;

namespace judging {

class JudgeServer : public JudgeLink {
    Q_OBJECT
public:
    static constexpr qint64 kStaleMs = 5000;     // no heartbeat this long: the seat shows amber
    static constexpr qint64 kSilentMs = 30000;   // a paired connection silent this long is closed
    static constexpr qint64 kHelloMs = 10000;    // a new connection must prove its seat within this
    static constexpr int kMaxUnproven = 48;      // sockets that have not proved a seat, in all
    static constexpr int kMaxPerAddress = 8;     // the default of those per address; see setPerAddressLimit
    static constexpr int kMaxDropped = 100;      // messages over the rate in a row before the device is cut off
    static constexpr qint64 kMaxQueuedBytes = 64 * 1024; // messages a phone leaves unread before it is cut off

    explicit JudgeServer(QObject *parent = nullptr);
    ~JudgeServer() override;

    // Judges' names come from the settings; the audit goes to the contest database.
    void attach(const SettingsFiles *settings, Connection *database);
    // The port actually bound while running (the one asked for, or the one chosen for port 0).
    quint16 port() const { return m_port; }
    // Steady milliseconds for codes, heartbeats and rates; tests pass their own clock.
    void setSteadyClock(std::function<qint64()> clock);
    // Sockets without a seat one address may hold before its oldest gives way. A hall's network gives each
    // phone its own address; tests and benchmarks on loopback share one.
    void setPerAddressLimit(int limit) { m_perAddress = limit; }
    // The limits of the HTTP side, for tests that cannot wait the real ones out.
    void setGateLimits(const GateLimits &limits) { m_gateLimits = limits; }
    // The heartbeat check, run every second.
    void sweep();
    // Writes the gathered audit rows now (also done a few times a second and on stop).
    bool flushAudit();

    bool start(const QString &address, quint16 port, QString *error) override;
    void stop() override;
    bool isRunning() const override { return m_gate != nullptr; }

    SeatInfo seat(int seat) const override;
    QString joinUrl(int seat) const override;
    QString newCode(int seat) override;
    int codeLifetimeSeconds() const override { return int(kCodeLifetimeMs / 1000); }
    void resetSeat(int seat) override;
    void renewTokens() override;
    void answerSecondDevice(int seat, bool accept) override;

    void setPerformance(const Performance &performance) override;
    Performance performance() const override { return m_performance; }
    void confirm(const QStringList &values) override;

private:
    struct Client {
        QString address;
        QString nonce;        // the challenge a paired device answers; spent once answered
        int seat = 0;         // the seat it proved; 0 before
        bool waiting = false; // a second connection waiting for the operator's yes
        bool sameDevice = false; // waiting with the seat's own device (its key), not a new one
        qint64 opened = 0;
        quint64 arrival = 0;  // the order of arrival: the oldest gives way first
        qint64 lastSeen = 0;
        RateBucket bucket;    // before it has a seat; a seat's device has its own, kept across reconnects
        int dropped = 0;
    };
    struct Ledger {           // one seat's score for the current performance
        qint64 seq = 0;
        QString value;
    };

    qint64 now() const { return m_clock(); }
    void acceptSockets();
    void makeRoom(const QString &address);
    void onText(QWebSocket *socket, const QString &text);
    void onHello(QWebSocket *socket, Client &client, const Message &m);
    void onScore(QWebSocket *socket, Client &client, const Message &m);
    void onBadScore(QWebSocket *socket, Client &client, const Message &m);
    void askOperator(QWebSocket *socket, Client &client, int seat, bool sameDevice);
    void pairNew(QWebSocket *socket, Client &client, int seat);
    void admit(QWebSocket *socket, Client &client, int seat, const QString &key);
    void forgetSequences(int seat);
    void commitEchoes();
    void loadPairings();
    void drop(QWebSocket *socket, const QString &reason);
    void detach(QWebSocket *socket);
    void closeAll();
    void send(QWebSocket *socket, const QJsonObject &message) const;
    void deny(QWebSocket *socket, const QString &reason) const;
    QJsonObject performanceMessage(int seat) const;
    QString judgeName(int seat) const;
    static QString roundName(int round);
    void refreshSeats(bool force = false);

    const SettingsFiles *m_settings = nullptr;
    JudgeAudit m_audit;
    QElapsedTimer m_steady;
    std::function<qint64()> m_clock;

    std::unique_ptr<HttpGate> m_gate;
    GateLimits m_gateLimits;
    QString m_address;
    quint16 m_port = 0;
    int m_perAddress = kMaxPerAddress;
    QString m_hostPort; // "192.168.1.10:8765", as the page's address and its origin hold it
    QTimer m_sweep;
    QTimer m_flush;

    SeatBook m_book;
    AddressThrottle m_throttle;
    GuessBudget m_guesses;
    std::array<RateBucket, kSeats> m_seatBuckets;
    std::array<int, kSeats> m_seatDropped{};
    quint64 m_arrivals = 0;
    std::unordered_map<QWebSocket *, Client> m_clients; // node-based: a client stays put while others go
    std::array<QWebSocket *, kSeats> m_live{};
    std::array<QWebSocket *, kSeats> m_waiting{};
    std::array<qint64, kSeats> m_lastSeen{};
    std::array<SeatInfo, kSeats> m_shown{}; // what seatsChanged last told

    Performance m_performance;
    std::array<Ledger, kSeats> m_ledger{};
    QHash<QPair<int, int>, std::array<qint64, kSeats>> m_seqs; // the last sequence taken, per performance
    bool m_final = false;
    QStringList m_finalValues;

    // Scores taken since the event loop last ran: their rows are committed together, then they reach the
    // entry panel and the phones are told. One disk sync for a burst, none of them echoed before it.
    struct Echo {
        QPointer<QWebSocket> socket;
        int seat = 0;
        int round = 0;
        int position = 0;
        qint64 seq = 0;
        QString value;
        bool fresh = false;       // taken now (not a resend of one taken before)
        Ledger before;            // the seat's ledger before it, restored when the row cannot be written
        qint64 seqBefore = 0;
    };
    QVector<Echo> m_echoes;
    QVector<AuditRow> m_echoRows;
};

} // namespace judging
