#pragma once

#include "platform/avahi/ServiceBrowser.h"
#include "runtime/Clock.h"
#include "runtime/Executor.h"

#include <memory>

namespace vantora::platform {

// ServiceBrowser over the Avahi daemon (its client library, on the Qt event loop).
//
// Each browse opens its own connection to the daemon and closes it in stop(). No daemon on
// the system bus, the daemon leaving it, or a browse the daemon refuses is reported as
// browsingFailed on the next turn of the executor. Resolution asks only for IPv4 addresses;
// its time-out is a sleep on `clock`.
class AvahiServiceBrowser final : public ServiceBrowser {
    Q_OBJECT

public:
    explicit AvahiServiceBrowser(runtime::Clock &clock = runtime::systemClock(),
                                 runtime::Executor &executor = runtime::mainExecutor(), QObject *parent = nullptr);
    ~AvahiServiceBrowser() override;

    void startBrowsing(const QString &type, const QString &domain) override;
    void resolve(const ServiceIdentity &service, runtime::Duration timeout) override;
    void stop() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace vantora::platform
