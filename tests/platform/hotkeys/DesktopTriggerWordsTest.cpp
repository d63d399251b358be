#include "platform/portal/DesktopTriggerWords.h"

#include <gtest/gtest.h>

using namespace vantora::platform;

TEST(DesktopTriggerWords, ReadsTheKeysInTheDesktopsOwnWordsAndLanguage)
{
    const struct {
        const char *name;
        const char *words;
        QStringList triggers;
    } rows[] = {
        {"GNOME in English", "Press <Control><Alt>k", {QStringLiteral("Ctrl+Alt+K")}},
        {"GNOME in French", "Appuyer sur <Control><Alt>k", {QStringLiteral("Ctrl+Alt+K")}},
        {"GNOME in Spanish, a key GTK names by word", "Pulse <Control><Alt>comma", {QStringLiteral("Ctrl+Alt+,")}},
        {"GNOME's two triggers, in French", "Appuyer sur <Primary>Page_Up ou <Shift><Super>F5",
         {QStringLiteral("Ctrl+PgUp"), QStringLiteral("Meta+Shift+F5")}},
        {"a key of another script", "Press <Control>odiaeresis", {QStringLiteral("Ctrl+Ö")}},
        {"Plasma in English", "Ctrl+Alt+K", {QStringLiteral("Ctrl+Alt+K")}},
        {"Plasma in German", "Strg+Alt+K", {QStringLiteral("Ctrl+Alt+K")}},
        {"Plasma in German, with Shift", "Strg+Umschalt+F5", {QStringLiteral("Ctrl+Shift+F5")}},
        {"Plasma in French", "Ctrl+Maj+K", {QStringLiteral("Ctrl+Shift+K")}},
        {"Plasma's two triggers", "Ctrl+Alt+K, Meta+F5", {QStringLiteral("Ctrl+Alt+K"), QStringLiteral("Meta+F5")}},
        {"Plasma's comma key among two triggers", "Ctrl+,, Meta+F5", {QStringLiteral("Ctrl+,"), QStringLiteral("Meta+F5")}},
        {"a modifier GTK has and we do not", "Press <Hyper>k", {}},
        {"a key name GTK does not have", "Press <Control>nokey", {}},
        {"words without keys", "Appuyer sur la touche", {}},
        {"nothing", "", {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(readDesktopTriggers(QString::fromUtf8(row.words)), row.triggers);
    }
}

TEST(DesktopTriggerWords, OurTriggersReadAsQtsPortableText)
{
    const struct {
        const char *trigger;
        std::optional<QString> portable;
    } rows[] = {
        {"CTRL+ALT+l", QStringLiteral("Ctrl+Alt+L")},
        {"CTRL+ALT+comma", QStringLiteral("Ctrl+Alt+,")},
        {"LOGO+SHIFT+Page_Up", QStringLiteral("Meta+Shift+PgUp")},
        {"CTRL+Return", QStringLiteral("Ctrl+Return")},
        {"CTRL+nokey", std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.trigger);
        EXPECT_EQ(portableTextOfXdgTrigger(QString::fromLatin1(row.trigger)), row.portable);
    }
}
