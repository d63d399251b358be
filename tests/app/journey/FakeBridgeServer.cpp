// The fake bridge as a program of its own, for tests that run the real application against
// it: it listens on every IPv4 address of its network namespace (a namespace made for the
// test), writes its port to a file once it listens, and appends one line per request it
// received to a log ("METHOD PATH key=APPLICATION-KEY BODY", "-" for no key). It answers like a bridge whose link button is
// pressed only after the second pairing attempt, and lists the lights of a fixture.
//
// Usage: fake_bridge_server <port file> <request log> <resources reply file> [listen address]
// A test that runs in no namespace of its own listens on 127.0.0.1 only.
#include "FakeBridge.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>

#include <cstdio>

using namespace vantora::testing;

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4 && arguments.size() != 5) {
        std::fprintf(stderr, "usage: fake_bridge_server <port file> <request log> <resources reply file> [listen address]\n");
        return 2;
    }
    QFile resources(arguments[3]);
    if (!resources.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "fake_bridge_server: cannot read %s\n", qPrintable(arguments[3]));
        return 2;
    }

    FakeBridge bridge(TestLeaf::bridge123456);
    const QByteArray notPressed = R"([{"error":{"type":101,"address":"","description":"link button not pressed"}}])";
    bridge.script(FakeBridgeRoute::config,
                  {FakeBridgeReply::json(200, R"({"bridgeid":"001788FFFE123456","name":"Test Bridge","modelid":"BSB002"})")});
    bridge.script(FakeBridgeRoute::pairing,
                  {FakeBridgeReply::json(200, notPressed), FakeBridgeReply::json(200, notPressed),
                   FakeBridgeReply::json(200, R"([{"success":{"username":"journey-application-key"}}])")});
    bridge.script(FakeBridgeRoute::resources, {FakeBridgeReply::json(200, resources.readAll())});
    bridge.script(FakeBridgeRoute::light, {FakeBridgeReply::json(200, R"({"data":[],"errors":[]})")});
    bridge.script(FakeBridgeRoute::groupedLight, {FakeBridgeReply::json(200, R"({"data":[],"errors":[]})")});
    const QHostAddress address =
        arguments.size() == 5 ? QHostAddress(arguments[4]) : QHostAddress(QHostAddress::AnyIPv4);
    if (!bridge.listen(address)) {
        std::fprintf(stderr, "fake_bridge_server: cannot listen\n");
        return 1;
    }

    QFile log(arguments[2]);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return 1;
    QObject::connect(&bridge, &FakeBridge::requestReceived, &application, [&] {
        const FakeBridgeRequest &request = bridge.requests().back();
        QByteArray key = "-";
        for (const auto &header : request.headers) {
            if (header.name.compare("hue-application-key", Qt::CaseInsensitive) == 0)
                key = header.value;
        }
        log.write(request.method + ' ' + request.path + " key=" + key + ' ' + request.body + '\n');
    });

    QFile port(arguments[1]);
    if (!port.open(QIODevice::WriteOnly))
        return 1;
    port.write(QByteArray::number(bridge.port()) + '\n');
    port.close();
    return QCoreApplication::exec();
}
