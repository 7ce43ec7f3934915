#pragma once
// The judges' phones over the hall's network: one embedded page over HTTP and, on the same port, the
// phones' WebSocket. The program decides the seat: a phone proves it by the seat's token (from the join
// address), a one-time code or the key of a device paired before. Nothing is readable before that. Scores
// are checked against the performance being scored, echoed to the phone, and every submission is kept in
// the audit table.
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
class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponse;
class QTcpServer;
class QWebSocket;
class SettingsFiles;

namespace judging {

class JudgeServer : public JudgeLink {
    Q_OBJECT
public:
    static constexpr qint64 kStaleMs = 5000;     // no heartbeat this long: the seat shows amber
    static constexpr qint64 kSilentMs = 30000;   // a paired connection silent this long is closed
    static constexpr qint64 kHelloMs = 10000;    // a new connection must prove its seat within this
    static constexpr int kMaxConnections = 48;
    static constexpr int kMaxPerAddress = 6;     // the default; see setPerAddressLimit
    static constexpr int kMaxDropped = 100;      // messages over the rate in a row before the device is cut off

    explicit JudgeServer(QObject *parent = nullptr);
    ~JudgeServer() override;

    // Judges' names come from the settings; the audit goes to the contest database.
    void attach(const SettingsFiles *settings, Connection *database);
    // The port actually bound while running (the one asked for, or the one chosen for port 0).
    quint16 port() const { return m_port; }
    // Steady milliseconds for codes, heartbeats and rates; tests pass their own clock.
    void setSteadyClock(std::function<qint64()> clock);
    // Connections one address may hold. A hall's network gives each phone its own address; tests and
    // benchmarks on loopback share one.
    void setPerAddressLimit(int limit) { m_perAddress = limit; }
    // The heartbeat check, run every second.
    void sweep();
    // Writes the gathered audit rows now (also done a few times a second and on stop).
    bool flushAudit();

    bool start(const QString &address, quint16 port, QString *error) override;
    void stop() override;
    bool isRunning() const override { return m_http != nullptr; }

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
        int seat = 0;         // the seat it proved; 0 before
        bool waiting = false; // a second device waiting for the operator's yes
        qint64 opened = 0;
        qint64 lastSeen = 0;
        RateBucket bucket;
        int dropped = 0;
    };
    struct Ledger {           // one seat's score for the current performance
        qint64 seq = 0;
        QString value;
    };

    qint64 now() const { return m_clock(); }
    QHttpServerResponse page(const QHttpServerRequest &request, const QString &file, const QByteArray &type) const;
    void acceptSockets();
    void onText(QWebSocket *socket, const QString &text);
    void onHello(QWebSocket *socket, Client &client, const Message &m);
    void onScore(QWebSocket *socket, Client &client, const Message &m);
    void admit(QWebSocket *socket, Client &client, int seat, const QString &key);
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

    std::unique_ptr<QHttpServer> m_http;
    QString m_address;
    quint16 m_port = 0;
    int m_perAddress = kMaxPerAddress;
    QString m_hostPort; // "192.168.1.10:8765", as the page's address and its origin hold it
    QTimer m_sweep;
    QTimer m_flush;

    SeatBook m_book;
    AddressThrottle m_throttle;
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
};

} // namespace judging
