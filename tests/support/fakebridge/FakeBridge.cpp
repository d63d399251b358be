#include "FakeBridge.h"

#include "HttpRequestParser.h"

#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

#include <memory>

namespace vantora::testing {

namespace {

QByteArray headOf(const FakeBridgeReply &reply)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Scripted\r\n";
    for (const auto &header : reply.headers)
        head += header.name + ": " + header.value + "\r\n";
    head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    return head;
}

} // namespace

FakeBridge::FakeBridge(TestLeaf leaf)
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    // A bridge presents its leaf alone, never the chain above it.
    tls.setLocalCertificate(TestPki::certificate(leaf));
    tls.setPrivateKey(TestPki::privateKey(leaf));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server.setSslConfiguration(tls);
    connect(&m_server, &QSslServer::startedEncryptionHandshake, this, [this] { ++m_connectionCount; });
    connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, &FakeBridge::acceptPending);
}

bool FakeBridge::listen(const QHostAddress &address, quint16 port)
{
    return m_server.listen(address, port);
}

void FakeBridge::close()
{
    m_server.close();
}

void FakeBridge::offerOnly(QSsl::SslProtocol protocol)
{
    QSslConfiguration tls = m_server.sslConfiguration();
    tls.setProtocol(protocol);
    m_server.setSslConfiguration(tls);
}

quint16 FakeBridge::port() const
{
    return m_server.serverPort();
}

void FakeBridge::script(FakeBridgeRoute route, std::vector<FakeBridgeReply> replies)
{
    m_scripts[route] = std::deque<FakeBridgeReply>(replies.begin(), replies.end());
}

void FakeBridge::acceptPending()
{
    while (auto *socket = qobject_cast<QSslSocket *>(m_server.nextPendingConnection()))
        serve(socket);
}

void FakeBridge::serve(QSslSocket *socket)
{
    auto parser = std::make_shared<HttpRequestParser>();
    connect(socket, &QSslSocket::readyRead, this, [this, socket, parser] {
        if (!parser->append(socket->readAll()))
            return;
        // One request per connection: later bytes are not read.
        disconnect(socket, &QSslSocket::readyRead, this, nullptr);
        FakeBridgeRequest request = *parser->request();
        request.receivedAt = std::chrono::steady_clock::now();
        const FakeBridgeReply reply = nextReplyFor(request.route);
        m_requests.push_back(std::move(request));
        Q_EMIT requestReceived();
        if (reply.delivery == FakeBridgeReply::Delivery::silence)
            return;
        if (reply.delivery == FakeBridgeReply::Delivery::trickle) {
            trickle(socket, reply);
            return;
        }
        QTimer::singleShot(reply.delay, socket, [socket, reply] { answer(socket, reply); });
    });
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
}

FakeBridgeReply FakeBridge::nextReplyFor(FakeBridgeRoute route)
{
    auto script = m_scripts.find(route);
    if (script == m_scripts.end() || script->second.empty())
        script = m_scripts.find(FakeBridgeRoute::other);
    if (script == m_scripts.end() || script->second.empty())
        return FakeBridgeReply{404, {}, {}};
    FakeBridgeReply reply = script->second.front();
    if (script->second.size() > 1)
        script->second.pop_front();
    return reply;
}

void FakeBridge::trickle(QSslSocket *socket, const FakeBridgeReply &reply)
{
    socket->write(headOf(reply));
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, sent, body = reply.body] {
        if (*sent == body.size()) {
            timer->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.sliced((*sent)++, 1));
    });
    timer->start(reply.delay);
}

void FakeBridge::answer(QSslSocket *socket, const FakeBridgeReply &reply)
{
    socket->write(headOf(reply));
    if (reply.delivery == FakeBridgeReply::Delivery::closeMidBody)
        socket->write(reply.body.first(reply.body.size() / 2));
    else
        socket->write(reply.body);
    // Closes once everything written has been sent.
    socket->disconnectFromHost();
}

} // namespace vantora::testing
