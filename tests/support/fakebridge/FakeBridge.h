#pragma once

#include "FakeBridgeReply.h"
#include "FakeBridgeRequest.h"
#include "FakeBridgeRoute.h"
#include "TestPki.h"

#include <QHostAddress>
#include <QObject>
#include <QSslServer>

#include <deque>
#include <map>
#include <vector>

class QSslSocket;

namespace vantora::testing {

// A bridge on the loopback interface for integration tests: TLS with a chosen leaf of the
// test PKI, one request per connection, scripted answers per route and a log of what it
// received. Lives on the thread that runs the test's event loop.
class FakeBridge final : public QObject {
    Q_OBJECT

public:
    explicit FakeBridge(TestLeaf leaf);

    // Listens on `port` of `address`, or on a free port without one: a loopback address, or
    // any address inside a network namespace of the test's own. False when it cannot be
    // bound (a machine without IPv6 loopback).
    bool listen(const QHostAddress &address = QHostAddress(QHostAddress::LocalHost), quint16 port = 0);
    // Takes no more connections, as a bridge that was switched off; listen() starts it again.
    void close();
    // Offers only `protocol` in the handshakes that follow (any secure protocol by default).
    void offerOnly(QSsl::SslProtocol protocol);
    quint16 port() const;

    // The answers to a route, used one per request in this order; the last one keeps
    // answering. A route nobody scripted answers as `other` does, and `other` answers 404
    // with an empty body until scripted.
    void script(FakeBridgeRoute route, std::vector<FakeBridgeReply> replies);

    // Every complete request, in the order received.
    const std::vector<FakeBridgeRequest> &requests() const { return m_requests; }
    // TCP connections accepted, whether or not their handshake succeeded.
    int connectionCount() const { return m_connectionCount; }

Q_SIGNALS:
    void requestReceived();

private:
    void acceptPending();
    void serve(QSslSocket *socket);
    FakeBridgeReply nextReplyFor(FakeBridgeRoute route);
    static void answer(QSslSocket *socket, const FakeBridgeReply &reply);
    static void trickle(QSslSocket *socket, const FakeBridgeReply &reply);

    QSslServer m_server;
    std::map<FakeBridgeRoute, std::deque<FakeBridgeReply>> m_scripts;
    std::vector<FakeBridgeRequest> m_requests;
    int m_connectionCount = 0;
};

} // namespace vantora::testing
