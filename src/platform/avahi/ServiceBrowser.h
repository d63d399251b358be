#pragma once

#include "platform/avahi/ServiceIdentity.h"
#include "platform/avahi/ServiceResolution.h"
#include "runtime/Clock.h"

#include <QObject>
#include <QString>

namespace vantora::platform {

// Browses the local network for services of one type (DNS-SD over multicast DNS) and
// resolves the ones its user picks.
//
// Events arrive as signals on later turns of the event loop, never inside a call to
// startBrowsing, resolve or stop, so a slot may call any of them. They belong to the
// current browse only: once stop() or a new startBrowsing has been called, nothing of the
// earlier browse is reported any more.
class ServiceBrowser : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~ServiceBrowser() override = default;

    // Starts browsing for `type` ("_hue._tcp") in `domain` ("local."), after stopping any
    // browse that runs. A browse that cannot start reports browsingFailed.
    virtual void startBrowsing(const QString &type, const QString &domain) = 0;

    // Resolves a service found by the running browse to an IPv4 address, port and TXT
    // record. Each answer within `timeout` is one serviceResolved (usually one; another
    // when the service's data changes); then the resolution ends. One that fails or times
    // out ends without a report. Does nothing when no browse runs.
    virtual void resolve(const ServiceIdentity &service, runtime::Duration timeout) = 0;

    // Ends the browse and every resolution at once and holds nothing of them afterwards.
    // Safe when nothing runs.
    virtual void stop() = 0;

Q_SIGNALS:
    // A service appeared. Each interface and protocol it is seen on is its own identity.
    void serviceFound(const vantora::platform::ServiceIdentity &service);
    void serviceResolved(const vantora::platform::ServiceResolution &resolution);
    // A service found earlier has gone away.
    void serviceRemoved(const vantora::platform::ServiceIdentity &service);
    // The browse could not start or has ended: no daemon, the daemon went away, or the
    // type was refused. The browse is over, as after stop(). `reason` is technical text
    // for logs only.
    void browsingFailed(const QString &reason);
};

} // namespace vantora::platform
