#include "FakeServiceBrowser.h"

#include <algorithm>

namespace vantora::testing {

void FakeServiceBrowser::startBrowsing(const QString &type, const QString &domain)
{
    m_browseRequests.append({type, domain});
    endBrowse();
    m_isBrowsing = true;
}

void FakeServiceBrowser::resolve(const platform::ServiceIdentity &service, runtime::Duration timeout)
{
    m_resolveRequests.push_back({service, timeout});
    if (m_isBrowsing)
        m_pending.push_back(service);
}

void FakeServiceBrowser::stop()
{
    ++m_stopCount;
    endBrowse();
}

bool FakeServiceBrowser::announceFound(const platform::ServiceIdentity &service)
{
    if (!m_isBrowsing)
        return false;
    Q_EMIT serviceFound(service);
    return true;
}

bool FakeServiceBrowser::announceResolved(const platform::ServiceResolution &resolution)
{
    if (std::find(m_pending.begin(), m_pending.end(), resolution.service) == m_pending.end())
        return false;
    Q_EMIT serviceResolved(resolution);
    return true;
}

bool FakeServiceBrowser::announceRemoved(const platform::ServiceIdentity &service)
{
    if (!m_isBrowsing)
        return false;
    Q_EMIT serviceRemoved(service);
    return true;
}

bool FakeServiceBrowser::failBrowsing(const QString &reason)
{
    if (!m_isBrowsing)
        return false;
    endBrowse();
    Q_EMIT browsingFailed(reason);
    return true;
}

void FakeServiceBrowser::endBrowse()
{
    m_isBrowsing = false;
    m_pending.clear();
}

} // namespace vantora::testing
