// How GNOME's and the other desktops' answers about our shortcuts read, without a bus: the
// portal tests drive the same rules through a stand-in portal.
#include "platform/portal/PortalAnswerRules.h"

#include <gtest/gtest.h>

using namespace vantora::platform;
using Refusal = DesktopBinding::Refusal;

// Only a person's No is read as one: GNOME's "failed" to a bind that bound nothing, anyone's
// "cancelled"; a failed call or a missing answer is never a No, and a portal that turned our id
// down refuses for that.
TEST(PortalAnswerRules, OnlyThePersonsNoReadsAsTurnedDown)
{
    const struct {
        const char *name;
        PortalDesktop desktop;
        uint response;
        PortalIdentity identity;
        bool isBind;
        Refusal expected;
    } rows[] = {
        {"GNOME's failed bind", PortalDesktop::gnome, portalResponse::failed, PortalIdentity::registered, true,
         Refusal::cancelled},
        {"GNOME's failed session", PortalDesktop::gnome, portalResponse::failed, PortalIdentity::registered, false,
         Refusal::unexplained},
        {"GNOME's bind that never answered", PortalDesktop::gnome, portalResponse::none, PortalIdentity::registered, true,
         Refusal::unexplained},
        {"GNOME, our id turned down", PortalDesktop::gnome, portalResponse::failed, PortalIdentity::refused, true,
         Refusal::noApplicationId},
        {"another desktop's failed bind", PortalDesktop::other, portalResponse::failed, PortalIdentity::unstated, true,
         Refusal::unexplained},
        {"another desktop's cancelled", PortalDesktop::other, portalResponse::cancelled, PortalIdentity::refused, true,
         Refusal::cancelled},
    };
    for (const auto &row : rows)
        EXPECT_EQ(PortalAnswerRules(row.desktop).refusalOf(row.response, row.identity, row.isBind), row.expected) << row.name;
}

// Keys the desktop names are its own choice where it held them before it was asked, and on GNOME
// wherever the keys were not recorded anew (it binds what it saved); otherwise its answer to
// the keys offered, which the page explains.
TEST(PortalAnswerRules, TheDesktopsOwnKeysAreThoseItHeldOrGnomeSaved)
{
    const QString ctrlAltK = QStringLiteral("CTRL+ALT+k");
    const struct {
        const char *name;
        PortalDesktop desktop;
        bool heldBefore;
        bool recordedAnew;
        QString words;
        DesktopBinding expected;
    } rows[] = {
        {"the keys offered, among others", PortalDesktop::other, true, false, QStringLiteral("Meta+F5, Ctrl+Alt+K"),
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K"))},
        {"other keys, held before", PortalDesktop::other, true, false, QStringLiteral("Ctrl+Alt+M"),
         DesktopBinding::chosenByDesktop(QStringLiteral("Ctrl+Alt+M"))},
        {"other keys, bound when asked", PortalDesktop::other, false, false, QStringLiteral("Ctrl+Alt+M"),
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+M"))},
        {"GNOME's saved keys", PortalDesktop::gnome, false, false, QStringLiteral("Press <Control><Alt>m"),
         DesktopBinding::chosenByDesktop(QStringLiteral("Ctrl+Alt+M"))},
        {"GNOME's answer to keys recorded anew", PortalDesktop::gnome, false, true, QStringLiteral("Press <Control><Alt>m"),
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+M"))},
        {"words that cannot be read", PortalDesktop::gnome, false, false, QStringLiteral("Press <Hyper>k"),
         DesktopBinding::boundToUnknownKeys()},
    };
    for (const auto &row : rows) {
        const PortalAnswerRules rules(row.desktop);
        EXPECT_EQ(PortalAnswerRules::boundAsWorded(ctrlAltK, row.words, rules.isDesktopsChoice(row.heldBefore, row.recordedAnew)),
                  row.expected)
            << row.name;
    }
}

// GNOME's No binds none of the session's shortcuts: those it saved are bound again alone, and
// the No is the rest's. Elsewhere a No binds nothing to bind again.
TEST(PortalAnswerRules, GnomesNoLeavesWhatItSavedToBindAgain)
{
    const QString show = QStringLiteral("showVantora"), toggle = QStringLiteral("toggleHomeLights");
    const struct {
        const char *name;
        PortalDesktop desktop;
        std::set<QString> saved;
        std::set<QString> expected;
    } rows[] = {
        {"one saved, one asked", PortalDesktop::gnome, {show}, {show}},
        {"nothing saved: a No to all", PortalDesktop::gnome, {}, {}},
        {"all saved: nothing was asked", PortalDesktop::gnome, {show, toggle}, {}},
        {"another desktop", PortalDesktop::other, {show}, {}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(PortalAnswerRules(row.desktop).boundAgainAfterNo({show, toggle}, row.saved), row.expected) << row.name;
}
