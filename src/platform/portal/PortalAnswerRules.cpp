#include "platform/portal/PortalAnswerRules.h"

#include "platform/portal/DesktopTriggerWords.h"

namespace vantora::platform {

DesktopBinding::Refusal PortalAnswerRules::refusalOf(uint response, PortalIdentity identity, bool isBind) const
{
    using Refusal = DesktopBinding::Refusal;
    if (response == portalResponse::cancelled)
        return Refusal::cancelled;
    if (identity == PortalIdentity::refused)
        return Refusal::noApplicationId;
    // A call that failed, or an answer that never came, is no answer of GNOME's.
    return isBind && response == portalResponse::failed && m_desktop == PortalDesktop::gnome ? Refusal::cancelled
                                                                                              : Refusal::unexplained;
}

bool PortalAnswerRules::isDesktopsChoice(bool heldBefore, bool recordedAnew) const
{
    return heldBefore || (m_desktop == PortalDesktop::gnome && !recordedAnew);
}

std::set<QString> PortalAnswerRules::boundAgainAfterNo(const QStringList &asked, const std::set<QString> &saved) const
{
    if (m_desktop != PortalDesktop::gnome)
        return {};
    std::set<QString> again;
    for (const QString &id : asked) {
        if (saved.contains(id))
            again.insert(id);
    }
    return again.size() == std::set<QString>(asked.begin(), asked.end()).size() ? std::set<QString>() : again;
}

DesktopBinding PortalAnswerRules::boundAsWorded(const QString &offered, const QString &words, bool isDesktopsChoice)
{
    const QStringList triggers = readDesktopTriggers(words);
    if (triggers.isEmpty())
        return DesktopBinding::boundToUnknownKeys();
    const auto ours = portableTextOfXdgTrigger(offered);
    if (ours && triggers.contains(*ours))
        return DesktopBinding::boundTo(*ours);
    return isDesktopsChoice ? DesktopBinding::chosenByDesktop(triggers.constFirst())
                            : DesktopBinding::boundTo(triggers.constFirst());
}

} // namespace vantora::platform
