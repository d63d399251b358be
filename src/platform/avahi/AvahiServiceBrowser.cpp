#include "platform/avahi/AvahiServiceBrowser.h"

#include "platform/avahi/AvahiQtPoll.h"
#include "runtime/TaskScope.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/error.h>

#include <QPointer>
#include <QtEndian>

#include <map>
#include <optional>

// Avahi's C type of the same name as our class.
using AvahiBrowserHandle = ::AvahiServiceBrowser;

namespace vantora::platform {

namespace {

struct ClientFree {
    void operator()(AvahiClient *client) const noexcept { avahi_client_free(client); }
};
struct BrowserFree {
    void operator()(AvahiBrowserHandle *browser) const noexcept { avahi_service_browser_free(browser); }
};
struct ResolverFree {
    void operator()(AvahiServiceResolver *resolver) const noexcept { avahi_service_resolver_free(resolver); }
};

// Avahi's daemon hands over only valid UTF-8 (D-Bus admits nothing else), so converting
// names back with toUtf8() reaches the very service that was announced.
QString textOf(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QString reasonOf(int avahiError)
{
    return QString::fromUtf8(avahi_strerror(avahiError));
}

AvahiProtocol avahiProtocolOf(ServiceIdentity::Protocol protocol)
{
    return protocol == ServiceIdentity::Protocol::IPv6 ? AVAHI_PROTO_INET6 : AVAHI_PROTO_INET;
}

ServiceIdentity identityOf(AvahiIfIndex interface, AvahiProtocol protocol, const char *name, const char *type,
                           const char *domain)
{
    return {interface,
            protocol == AVAHI_PROTO_INET6 ? ServiceIdentity::Protocol::IPv6 : ServiceIdentity::Protocol::IPv4,
            textOf(name), textOf(type), textOf(domain)};
}

QList<QByteArray> entriesOf(AvahiStringList *txt)
{
    QList<QByteArray> entries;
    for (AvahiStringList *entry = txt; entry; entry = avahi_string_list_get_next(entry)) {
        entries.append(QByteArray(reinterpret_cast<const char *>(avahi_string_list_get_text(entry)),
                                  qsizetype(avahi_string_list_get_size(entry))));
    }
    return entries;
}

} // namespace

struct AvahiServiceBrowser::Impl final {
    // One resolve() in flight: the resolver and the sleep that ends it.
    struct Resolution final {
        Resolution(Impl &impl, quint64 id, ServiceIdentity service)
            : impl(impl), id(id), service(std::move(service))
        {
        }
        ~Resolution() { deadline.cancel(); }

        Impl &impl;
        const quint64 id;
        const ServiceIdentity service;
        std::unique_ptr<AvahiServiceResolver, ResolverFree> resolver;
        runtime::TaskHandle<void> deadline;
    };

    Impl(AvahiServiceBrowser &owner, runtime::Clock &clock, runtime::Executor &executor)
        : m_owner(owner), m_clock(clock), m_executor(executor)
    {
    }
    ~Impl() { release(); }

    void start(const QString &type, const QString &domain)
    {
        release();
        m_deadlines.emplace(m_executor);
        int error = AVAHI_OK;
        m_client.reset(avahi_client_new(m_poll.api(), AvahiClientFlags(0), &Impl::onClientState, this, &error));
        if (!m_client) {
            fail(reasonOf(error));
            return;
        }
        m_browser.reset(avahi_service_browser_new(m_client.get(), AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                                  type.toUtf8().constData(), domain.toUtf8().constData(),
                                                  AvahiLookupFlags(0), &Impl::onBrowserEvent, this));
        if (!m_browser)
            fail(reasonOf(avahi_client_errno(m_client.get())));
    }

    void resolve(const ServiceIdentity &service, runtime::Duration timeout)
    {
        if (!m_client || m_failed)
            return;
        const quint64 id = m_nextResolutionId++;
        auto resolution = std::make_unique<Resolution>(*this, id, service);
        // Asking for IPv4 addresses only: the query may travel over either protocol.
        resolution->resolver.reset(avahi_service_resolver_new(
            m_client.get(), service.interfaceIndex, avahiProtocolOf(service.protocol), service.name.toUtf8().constData(),
            service.type.toUtf8().constData(), service.domain.toUtf8().constData(), AVAHI_PROTO_INET,
            AvahiLookupFlags(0), &Impl::onResolverEvent, resolution.get()));
        // A resolution the daemon refuses ends like one that fails: silently.
        if (!resolution->resolver)
            return;
        resolution->deadline = m_deadlines->spawn(expire(id, timeout));
        m_resolutions.emplace(id, std::move(resolution));
    }

    // Frees everything of the running browse, resolvers first and the connection last, and
    // makes whatever it still has queued for delivery stale.
    void release()
    {
        ++m_browse;
        m_failed = false;
        m_deadlines.reset();
        m_resolutions.clear();
        m_browser.reset();
        m_client.reset();
    }

    // Avahi's objects must not be freed inside some of its callbacks (the client's), so the
    // browse ends on the executor's turn, just before the failure is announced.
    void fail(const QString &reason)
    {
        if (m_failed)
            return;
        m_failed = true;
        deliver([reason](AvahiServiceBrowser &self) {
            self.m_impl->release();
            Q_EMIT self.browsingFailed(reason);
        });
    }

    // Events reach the slots on a later turn of the executor, never on Avahi's stack, and
    // only while the browse they belong to is still the current one.
    template <typename Emit>
    void deliver(Emit emit)
    {
        m_executor.post([self = QPointer<AvahiServiceBrowser>(&m_owner), browse = m_browse, emit = std::move(emit)] {
            if (self && self->m_impl->m_browse == browse)
                emit(*self);
        });
    }

    runtime::Task<void> expire(quint64 id, runtime::Duration timeout)
    {
        co_await m_clock.sleepFor(timeout);
        m_resolutions.erase(id);
    }

    static void onClientState(AvahiClient *client, AvahiClientState state, void *userdata)
    {
        // The client is the one passed here: during avahi_client_new ours is not stored yet.
        if (state == AVAHI_CLIENT_FAILURE)
            static_cast<Impl *>(userdata)->fail(reasonOf(avahi_client_errno(client)));
    }

    static void onBrowserEvent(AvahiBrowserHandle *browser, AvahiIfIndex interface, AvahiProtocol protocol,
                               AvahiBrowserEvent event, const char *name, const char *type, const char *domain,
                               AvahiLookupResultFlags, void *userdata)
    {
        Impl &impl = *static_cast<Impl *>(userdata);
        if (impl.m_failed)
            return;
        switch (event) {
        case AVAHI_BROWSER_NEW:
            impl.deliver([service = identityOf(interface, protocol, name, type, domain)](AvahiServiceBrowser &self) {
                Q_EMIT self.serviceFound(service);
            });
            break;
        case AVAHI_BROWSER_REMOVE:
            impl.deliver([service = identityOf(interface, protocol, name, type, domain)](AvahiServiceBrowser &self) {
                Q_EMIT self.serviceRemoved(service);
            });
            break;
        case AVAHI_BROWSER_FAILURE:
            impl.fail(reasonOf(avahi_client_errno(avahi_service_browser_get_client(browser))));
            break;
        case AVAHI_BROWSER_CACHE_EXHAUSTED:
        case AVAHI_BROWSER_ALL_FOR_NOW:
            // Hints that the flow pauses; every service is reported as it comes anyway.
            break;
        }
    }

    static void onResolverEvent(AvahiServiceResolver *, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event,
                                const char *, const char *, const char *, const char *hostName,
                                const AvahiAddress *address, uint16_t port, AvahiStringList *txt,
                                AvahiLookupResultFlags, void *userdata)
    {
        Resolution &resolution = *static_cast<Resolution *>(userdata);
        Impl &impl = resolution.impl;
        if (event != AVAHI_RESOLVER_FOUND) {
            // Avahi allows freeing a resolver inside its own callback; nothing here touches
            // the resolution afterwards.
            impl.m_resolutions.erase(resolution.id);
            return;
        }
        // The address family comes from Avahi's protocol field, never from raw bytes.
        if (impl.m_failed || !address || address->proto != AVAHI_PROTO_INET)
            return;
        ServiceResolution result{resolution.service, textOf(hostName),
                                 QHostAddress(qFromBigEndian<quint32>(address->data.ipv4.address)), port,
                                 TxtRecord::fromEntries(entriesOf(txt))};
        impl.deliver([result = std::move(result)](AvahiServiceBrowser &self) { Q_EMIT self.serviceResolved(result); });
    }

    AvahiServiceBrowser &m_owner;
    runtime::Clock &m_clock;
    runtime::Executor &m_executor;
    // Which browse queued events belong to; moves on whenever a browse ends.
    quint64 m_browse = 0;
    // The running browse has failed; its end is queued for delivery.
    bool m_failed = false;
    quint64 m_nextResolutionId = 0;
    AvahiQtPoll m_poll; // declared before the client, which must be freed first
    std::unique_ptr<AvahiClient, ClientFree> m_client;
    std::unique_ptr<AvahiBrowserHandle, BrowserFree> m_browser;
    std::map<quint64, std::unique_ptr<Resolution>> m_resolutions;
    // Last, so that the sleeps go first and never outlive what they end.
    std::optional<runtime::TaskScope> m_deadlines;
};

AvahiServiceBrowser::AvahiServiceBrowser(runtime::Clock &clock, runtime::Executor &executor, QObject *parent)
    : ServiceBrowser(parent)
    , m_impl(std::make_unique<Impl>(*this, clock, executor))
{
}

AvahiServiceBrowser::~AvahiServiceBrowser() = default;

void AvahiServiceBrowser::startBrowsing(const QString &type, const QString &domain)
{
    m_impl->start(type, domain);
}

void AvahiServiceBrowser::resolve(const ServiceIdentity &service, runtime::Duration timeout)
{
    m_impl->resolve(service, timeout);
}

void AvahiServiceBrowser::stop()
{
    m_impl->release();
}

} // namespace vantora::platform
