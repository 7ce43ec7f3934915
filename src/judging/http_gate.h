#pragma once
// The front door of the judges' server: a small HTTP/1.1 reader that serves the page's few files and hands
// the phones' socket requests to the WebSocket side. Everything a stranger can make it hold is bounded: the
// bytes of a request head, the time to send it, the answers waiting unread, and the connections, in all and
// per address. When the connections are all taken, the oldest of the address holding most gives way, so a
// phone always gets in however many half-open connections others keep.
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <list>

class QTcpServer;
class QTcpSocket;
class QWebSocketServer;

namespace judging {

struct GateLimits {
    int headBytes = 8192;         // a request head longer than this is refused
    qint64 headMs = 5000;         // a request head must be complete this long after the connection or the last answer
    qint64 queuedBytes = 64 * 1024; // answers waiting unread: no further request is read past this
    qint64 stallMs = 10000;       // answers left unread this long: the connection is closed
    int perAddress = 16;          // connections one address may hold before its oldest gives way
    int total = 96;               // connections not yet handed to the socket side, in all
    int requestsPerConnection = 200;
};

class HttpGate : public QObject {
    Q_OBJECT
public:
    explicit HttpGate(QObject *parent = nullptr);
    ~HttpGate() override;

    void setLimits(const GateLimits &limits) { m_limits = limits; }
    const GateLimits &limits() const { return m_limits; }
    // A file served at `path` ("/judge.js").
    void addFile(const QByteArray &path, const QByteArray &type, const QByteArray &body);

    bool listen(const QHostAddress &address, quint16 port, QString *error);
    void close();
    quint16 port() const;
    // "192.168.1.10:8765": the only Host the page and the socket are served under.
    QString hostPort() const { return m_hostPort; }
    int openConnections() const { return int(m_open.size()); }
    // Where the accepted phones' sockets come out (newConnection).
    QWebSocketServer *sockets() const { return m_sockets; }

    // Closes what has outlived its limits; run a few times a second.
    void sweep();

private:
    struct Open {
        QPointer<QTcpSocket> socket;
        QString address;
        qint64 opened = 0;
        qint64 waitingSince = 0; // since the last answer: the next head must come within headMs
        qint64 lastProgress = 0; // answers last read by the peer
        int served = 0;
        bool closing = false;
    };
    using Iter = std::list<Open>::iterator;

    qint64 now() const { return m_clock.elapsed(); }
    void accept();
    void makeRoom(const QString &address);
    void read(QTcpSocket *socket);
    Iter find(QTcpSocket *socket);
    void forget(QTcpSocket *socket);
    void answer(Open &open, int status, const QByteArray &type, const QByteArray &body, bool keepAlive, bool head);
    void refuse(Open &open, int status);
    void handOver(Iter it);

    GateLimits m_limits;
    QElapsedTimer m_clock;
    QTcpServer *m_listener = nullptr;
    QWebSocketServer *m_sockets = nullptr;
    QTimer m_sweep;
    QString m_hostPort;
    QByteArray m_csp;
    QHash<QByteArray, QPair<QByteArray, QByteArray>> m_files; // path → type, body
    std::list<Open> m_open;
};

} // namespace judging
