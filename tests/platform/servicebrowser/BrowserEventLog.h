#pragma once

#include "platform/avahi/ServiceBrowser.h"

#include <QObject>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace vantora::testing {

// Everything one ServiceBrowser reported, in order of arrival per kind.
class BrowserEventLog final {
public:
    explicit BrowserEventLog(platform::ServiceBrowser &browser)
    {
        using platform::ServiceBrowser;
        QObject::connect(&browser, &ServiceBrowser::serviceFound, &m_context,
                         [this](const platform::ServiceIdentity &service) { m_found.push_back(service); });
        QObject::connect(&browser, &ServiceBrowser::serviceResolved, &m_context,
                         [this](const platform::ServiceResolution &resolution) { m_resolved.push_back(resolution); });
        QObject::connect(&browser, &ServiceBrowser::serviceRemoved, &m_context,
                         [this](const platform::ServiceIdentity &service) { m_removed.push_back(service); });
        QObject::connect(&browser, &ServiceBrowser::browsingFailed, &m_context,
                         [this](const QString &reason) { m_failures.append(reason); });
    }

    const std::vector<platform::ServiceIdentity> &found() const { return m_found; }
    const std::vector<platform::ServiceResolution> &resolved() const { return m_resolved; }
    const std::vector<platform::ServiceIdentity> &removed() const { return m_removed; }
    const QStringList &failures() const { return m_failures; }

    bool wasFound(const QString &name) const { return containsName(m_found, name); }
    bool wasRemoved(const QString &name) const { return containsName(m_removed, name); }

private:
    static bool containsName(const std::vector<platform::ServiceIdentity> &services, const QString &name)
    {
        return std::any_of(services.begin(), services.end(),
                           [&name](const platform::ServiceIdentity &service) { return service.name == name; });
    }

    QObject m_context;
    std::vector<platform::ServiceIdentity> m_found;
    std::vector<platform::ServiceResolution> m_resolved;
    std::vector<platform::ServiceIdentity> m_removed;
    QStringList m_failures;
};

} // namespace vantora::testing
