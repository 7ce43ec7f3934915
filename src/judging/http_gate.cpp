#include "http_gate.h"

#include "judging_rules.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocketServer>

#include <algorithm>

namespace judging {

namespace {
QString addressText(const QHostAddress &address)
{
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Content Too Large";
    case 431: return "Request Header Fields Too Large";
    default: return "Error";
    }
}

struct Head {
    QByteArray method;
    QByteArray path;
    QByteArray version;
    QHash<QByteArray, QByteArray> fields; // names in lower case
    bool valid = false;
};

Head parseHead(const QByteArray &text)
{
    Head h;
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty())
        return h;
    const QList<QByteArray> start = lines.first().trimmed().split(' ');
    if (start.size() != 3 || !start[2].startsWith("HTTP/1."))
        return h;
    h.method = start[0];
    h.path = start[1];
    h.version = start[2];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return h;
        const QByteArray name = line.left(colon).trimmed().toLower();
        if (h.fields.contains(name) && (name == "host" || name == "origin" || name == "content-length"))
            return h; // two of a field that decides where the request goes: refused as ambiguous
        h.fields.insert(name, line.mid(colon + 1).trimmed());
    }
    h.valid = true;
    return h;
}

bool hasToken(const QByteArray &field, const char *token)
{
    const QList<QByteArray> parts = field.split(',');
    return std::any_of(parts.cbegin(), parts.cend(), [&](const QByteArray &p) { return p.trimmed().compare(token, Qt::CaseInsensitive) == 0; });
}
} // namespace

HttpGate::HttpGate(QObject *parent) : QObject(parent)
{
    m_clock.start();
    m_sweep.setInterval(200);
    connect(&m_sweep, &QTimer::timeout, this, &HttpGate::sweep);
}

HttpGate::~HttpGate()
{
    close();
}

void HttpGate::addFile(const QByteArray &path, const QByteArray &type, const QByteArray &body)
{
    m_files.insert(path, {type, body});
}

bool HttpGate::listen(const QHostAddress &address, quint16 port, QString *error)
{
    close();
    m_listener = new QTcpServer(this);
    m_listener->setMaxPendingConnections(64);
    if (!m_listener->listen(address, port)) {
        if (error)
            *error = m_listener->errorString();
        delete m_listener;
        m_listener = nullptr;
        return false;
    }
    m_hostPort = address.toString() + QLatin1Char(':') + QString::number(m_listener->serverPort());
    m_csp = "default-src 'self'; connect-src ws://" + m_hostPort.toLatin1() + "; frame-ancestors 'none'";
    m_sockets = new QWebSocketServer(QStringLiteral("quelmora"), QWebSocketServer::NonSecureMode, this);
    m_sockets->setHandshakeTimeout(int(m_limits.headMs));
    connect(m_listener, &QTcpServer::newConnection, this, &HttpGate::accept);
    m_sweep.start();
    return true;
}

void HttpGate::close()
{
    m_sweep.stop();
    for (Open &o : m_open) {
        if (o.socket) {
            o.socket->disconnect(this);
            o.socket->abort();
            o.socket->deleteLater();
        }
    }
    m_open.clear();
    delete m_listener;
    m_listener = nullptr;
    delete m_sockets; // closes the sockets it still holds in its handshake
    m_sockets = nullptr;
    m_hostPort.clear();
}

quint16 HttpGate::port() const
{
    return m_listener ? m_listener->serverPort() : 0;
}

void HttpGate::accept()
{
    while (m_listener && m_listener->hasPendingConnections()) {
        QTcpSocket *socket = m_listener->nextPendingConnection();
        if (!socket)
            continue;
        // Qt stops reading from the network once this much waits unread, so a flood of requests stays in
        // the peer's and the kernel's buffers, not in ours.
        socket->setReadBufferSize(2 * m_limits.headBytes);
        const QString address = addressText(socket->peerAddress());
        makeRoom(address);
        const qint64 t = now();
        m_open.push_back({socket, address, t, t, t, 0, false});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
            const auto it = find(socket);
            if (it == m_open.end())
                return;
            it->lastProgress = now();
            if (socket->bytesToWrite() == 0)
                it->waitingSince = now();
            read(socket);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            forget(socket);
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0)
            read(socket);
    }
}

void HttpGate::makeRoom(const QString &address)
{
    std::erase_if(m_open, [](const Open &o) { return !o.socket; });
    QHash<QString, int> counts;
    for (const Open &o : m_open)
        ++counts[o.address];
    const QString victim =
        evictionVictim(counts, address, m_limits.perAddress, int(m_open.size()) >= m_limits.total);
    if (victim.isEmpty())
        return;
    // The list is in the order of arrival: the first of that address is its oldest.
    const auto it = std::find_if(m_open.begin(), m_open.end(), [&](const Open &o) { return o.address == victim; });
    if (it == m_open.end())
        return;
    QTcpSocket *s = it->socket;
    m_open.erase(it);
    s->disconnect(this);
    s->abort();
    s->deleteLater();
}

HttpGate::Iter HttpGate::find(QTcpSocket *socket)
{
    return std::find_if(m_open.begin(), m_open.end(), [&](const Open &o) { return o.socket == socket; });
}

void HttpGate::forget(QTcpSocket *socket)
{
    const auto it = find(socket);
    if (it != m_open.end())
        m_open.erase(it);
}

void HttpGate::read(QTcpSocket *socket)
{
    auto it = find(socket);
    while (it != m_open.end() && !it->closing) {
        Open &o = *it;
        // Answers the peer does not read: nothing more is read from it until they drain.
        if (socket->bytesToWrite() > m_limits.queuedBytes)
            return;
        const QByteArray peeked = socket->peek(m_limits.headBytes);
        const qsizetype end = peeked.indexOf("\r\n\r\n");
        if (end < 0) {
            if (peeked.size() >= m_limits.headBytes)
                refuse(o, 431);
            return;
        }
        const Head head = parseHead(peeked.left(end));
        if (!head.valid) {
            refuse(o, 400);
            return;
        }
        if (head.fields.value("host") != m_hostPort.toLatin1()) {
            // Only this address: a name of another site pointed here (rebinding) is refused.
            refuse(o, 403);
            return;
        }
        if (head.fields.value("content-length", "0") != "0" || head.fields.contains("transfer-encoding")) {
            refuse(o, 413);
            return;
        }
        const bool isHead = head.method == "HEAD";
        if (head.method != "GET" && !isHead) {
            refuse(o, 405);
            return;
        }
        const QByteArray path = head.path.left(head.path.indexOf('?') >= 0 ? head.path.indexOf('?') : head.path.size());
        if (path == "/ws") {
            const bool upgrade = hasToken(head.fields.value("upgrade"), "websocket")
                                 && hasToken(head.fields.value("connection"), "upgrade");
            if (!upgrade || head.fields.value("origin") != "http://" + m_hostPort.toLatin1()) {
                refuse(o, 403);
                return;
            }
            handOver(it); // the head stays unread for the WebSocket side
            return;
        }
        socket->read(end + 4);
        const auto file = m_files.constFind(path == "/" ? QByteArray("/index.html") : path);
        ++o.served;
        const bool keepAlive = !hasToken(head.fields.value("connection"), "close") && head.version == "HTTP/1.1"
                               && o.served < m_limits.requestsPerConnection;
        if (file == m_files.cend())
            answer(o, 404, {}, {}, keepAlive, isHead);
        else
            answer(o, 200, file->first, file->second, keepAlive, isHead);
        it = find(socket);
    }
}

void HttpGate::answer(Open &open, int status, const QByteArray &type, const QByteArray &body, bool keepAlive, bool head)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    if (!type.isEmpty())
        out += "Content-Type: " + type + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (status == 200) {
        out += "Cache-Control: no-store\r\nReferrer-Policy: no-referrer\r\nX-Content-Type-Options: nosniff\r\n"
               "X-Frame-Options: DENY\r\nContent-Security-Policy: " + m_csp + "\r\n";
    }
    out += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    if (!head)
        out += body;
    if (open.socket->bytesToWrite() == 0) // the stall is counted from the first answer left waiting
        open.lastProgress = now();
    open.socket->write(out);
    open.waitingSince = now();
    if (!keepAlive) {
        open.closing = true;
        open.socket->disconnectFromHost(); // after what is written has gone
    }
}

void HttpGate::refuse(Open &open, int status)
{
    answer(open, status, {}, {}, false, false);
}

void HttpGate::handOver(Iter it)
{
    QTcpSocket *socket = it->socket;
    m_open.erase(it);
    socket->disconnect(this);
    socket->setParent(nullptr);
    m_sockets->handleConnection(socket);
}

void HttpGate::sweep()
{
    const qint64 t = now();
    std::vector<QTcpSocket *> late;
    for (Open &o : m_open) {
        if (!o.socket)
            continue;
        const bool unread = o.socket->bytesToWrite() > 0;
        if ((unread && t - o.lastProgress > m_limits.stallMs) || (!unread && t - o.waitingSince > m_limits.headMs))
            late.push_back(o.socket);
    }
    for (QTcpSocket *s : late) {
        forget(s);
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
}

} // namespace judging
