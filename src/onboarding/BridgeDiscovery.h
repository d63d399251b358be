#pragma once

#include "bridge/DiscoveredBridge.h"
#include "platform/avahi/ServiceBrowser.h"
#include "runtime/Clock.h"
#include "runtime/Property.h"
#include "runtime/TaskScope.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace vantora {

// Finds the Hue Bridges that announce themselves on the local network. Make one for each
// search and drop it afterwards.
//
// A search browses for bridge services and resolves each one found. A resolution is listed
// only when its TXT record holds a valid bridge id and it has an IPv4 address; anything
// else is ignored without a report. Each bridge id is listed once, as its latest
// resolution announced it, and the list is kept in name order (code points after
// canonical composition, so "Attic" < "Hue Bridge" < "attic"). Names are untrusted text,
// kept exactly as announced.
//
// A search ends after six seconds whatever it found; `message` then explains only when it
// found nothing. A browser that cannot search ends it at once with `searchFailed`.
// `bridges`, `message` and `searchFailed` keep the last search's results until the next
// start().
class BridgeDiscovery final : public QObject {
    Q_OBJECT

public:
    // The browser serves this object alone, one browse at a time.
    explicit BridgeDiscovery(std::unique_ptr<platform::ServiceBrowser> browser,
                             runtime::Clock &clock = runtime::systemClock(),
                             runtime::Executor &executor = runtime::mainExecutor(), QObject *parent = nullptr);
    // Releases a running search without stopping it first and without announcing anything.
    ~BridgeDiscovery() override;

    const std::vector<DiscoveredBridge> &bridges() const noexcept { return m_bridges.get(); }
    bool isSearching() const noexcept { return m_isSearching.get(); }
    const std::optional<QString> &message() const noexcept { return m_message.get(); }
    bool searchFailed() const noexcept { return m_searchFailed.get(); }

    // Searches and returns the bridges once the list has stood still for half a second
    // (looked at every 0.1 s); when six seconds pass first, the list as it stands then,
    // empty when nothing was found. Throws HueError::discoveryUnavailable within 0.1 s of
    // the browser's refusal. Cancelling the awaiting task stops the search in the cancel
    // hook and ends the wait with CancellationError; the partial list is dropped. Always
    // leaves the search stopped. The object must outlive the wait.
    runtime::Task<std::vector<DiscoveredBridge>> findBridges();

    // Starts a search, restarting one that runs: the list and the message are cleared.
    void start();
    // Ends the browse, every resolution and the six-second limit; keeps the results.
    // Safe when nothing runs.
    void stop();

Q_SIGNALS:
    void bridgesChanged();
    void isSearchingChanged();
    void messageChanged();
    void searchFailedChanged();

private:
    void onServiceFound(const platform::ServiceIdentity &service);
    void onServiceResolved(const platform::ServiceResolution &resolution);
    void onBrowsingFailed();
    runtime::Task<void> endSearchAt(runtime::SteadyTime deadline);
    runtime::Task<void> pauseBetweenLooks();

    std::unique_ptr<platform::ServiceBrowser> m_browser;
    runtime::Clock &m_clock;
    runtime::Property<std::vector<DiscoveredBridge>> m_bridges{{}, [this] { Q_EMIT bridgesChanged(); }};
    runtime::Property<bool> m_isSearching{false, [this] { Q_EMIT isSearchingChanged(); }};
    runtime::Property<std::optional<QString>> m_message{std::nullopt, [this] { Q_EMIT messageChanged(); }};
    runtime::Property<bool> m_searchFailed{false, [this] { Q_EMIT searchFailedChanged(); }};
    // The six-second limit of the running search.
    runtime::TaskHandle<void> m_timeLimit;
    // Last, so that its tasks die before anything they touch.
    runtime::TaskScope m_tasks;
};

} // namespace vantora
