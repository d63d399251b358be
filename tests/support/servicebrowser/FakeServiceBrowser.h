#pragma once

#include "platform/avahi/ServiceBrowser.h"

#include <QList>
#include <QString>

#include <vector>

namespace vantora::testing {

// A ServiceBrowser whose events the test scripts and whose calls it records.
//
// It keeps the real browser's promises where a test could notice: events are delivered
// only while a browse runs, a resolution only for a service resolve() was asked for, and a
// failure ends the browse as stop() would. Events are emitted at once, on the test's own
// call, which is never inside a call of the code under test.
class FakeServiceBrowser final : public platform::ServiceBrowser {
    Q_OBJECT

public:
    struct BrowseRequest {
        QString type;
        QString domain;
        bool operator==(const BrowseRequest &) const = default;
    };

    struct ResolveRequest {
        platform::ServiceIdentity service;
        runtime::Duration timeout{};
        bool operator==(const ResolveRequest &) const = default;
    };

    using platform::ServiceBrowser::ServiceBrowser;

    void startBrowsing(const QString &type, const QString &domain) override;
    void resolve(const platform::ServiceIdentity &service, runtime::Duration timeout) override;
    void stop() override;

    // Every call, in order; resolve() is recorded even when no browse runs.
    const QList<BrowseRequest> &browseRequests() const noexcept { return m_browseRequests; }
    const std::vector<ResolveRequest> &resolveRequests() const noexcept { return m_resolveRequests; }
    int stopCount() const noexcept { return m_stopCount; }

    bool isBrowsing() const noexcept { return m_isBrowsing; }
    // Services asked to resolve during the running browse (each once per request).
    const std::vector<platform::ServiceIdentity> &pendingResolutions() const noexcept { return m_pending; }

    // Each answers whether the event was delivered.
    bool announceFound(const platform::ServiceIdentity &service);
    // Delivered when resolution.service is pending; the resolution stays pending, as the
    // real one may answer again before its time-out.
    bool announceResolved(const platform::ServiceResolution &resolution);
    bool announceRemoved(const platform::ServiceIdentity &service);
    // Ends the browse, then announces the failure.
    bool failBrowsing(const QString &reason = QStringLiteral("scripted failure"));

private:
    void endBrowse();

    QList<BrowseRequest> m_browseRequests;
    std::vector<ResolveRequest> m_resolveRequests;
    int m_stopCount = 0;
    bool m_isBrowsing = false;
    std::vector<platform::ServiceIdentity> m_pending;
};

} // namespace vantora::testing
