#pragma once

#include "platform/HotKeyBackend.h"
#include "platform/portal/PortalIdentity.h"

#include <QString>
#include <QStringList>

#include <set>

namespace vantora::platform {

// The desktop whose portal backend answers, where its answers need reading: GNOME's asks
// the person for every shortcut it does not hold yet and answers "failed", with nothing
// bound, when they turn it down in its window (it fails without asking only when it is
// broken); other desktops answer "cancelled" for that.
enum class PortalDesktop : quint8 { other, gnome };

// The Response codes of a portal request, and the answer that never came.
namespace portalResponse {
inline constexpr uint success = 0;
inline constexpr uint cancelled = 1;
inline constexpr uint failed = 2;
// The request failed, or its answer was not waited for: never a portal's code.
inline constexpr uint none = 0xffffffff;
} // namespace portalResponse

// How a desktop's answers about our shortcuts read, where GNOME and the others (Plasma) differ:
// which answer is a person's No, which keys are the desktop's own rather than its answer to
// the keys offered, and what a No leaves bound. Rules only: the session asks, these read.
class PortalAnswerRules final {
public:
    explicit PortalAnswerRules(PortalDesktop desktop)
        : m_desktop(desktop)
    {
    }

    // Why a request that bound nothing did so. Only what the portal says: a person's No is its
    // "cancelled" code, and GNOME's "failed" to a bind that bound nothing; how long an answer
    // took tells nothing (a loaded machine, a slow first start of the desktop's settings). A
    // portal that does not know our id refuses for that. `isBind`: the request was a bind.
    DesktopBinding::Refusal refusalOf(uint response, PortalIdentity identity, bool isBind) const;

    // Whether keys the desktop names for a shortcut are its own choice rather than its answer
    // to the keys offered: keys it held before it was asked, and GNOME's for a shortcut not
    // recorded anew, since GNOME binds the keys it saved whatever a bind prefers.
    bool isDesktopsChoice(bool heldBefore, bool recordedAnew) const;

    // What GNOME's No leaves bound: it binds none of the session's shortcuts, not even those it
    // saved and bound without asking. Of the `asked` shortcuts, those it `saved` are bound again
    // alone, the No being the rest's; none where the No is another desktop's, or where the
    // bind held nothing saved or only saved ones.
    std::set<QString> boundAgainAfterNo(const QStringList &asked, const std::set<QString> &saved) const;

    // The keys the desktop's `words` name for keys `offered` (see xdgShortcutTrigger): those
    // offered where they are among them (a desktop may list several), else the first it names,
    // as its own choice or as its answer; unknown keys where nothing can be read.
    static DesktopBinding boundAsWorded(const QString &offered, const QString &words, bool isDesktopsChoice);

private:
    PortalDesktop m_desktop;
};

} // namespace vantora::platform
