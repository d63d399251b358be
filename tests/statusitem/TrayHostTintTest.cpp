// Which tray hosts get the symbolic icon's name, told by the name of the process that keeps
// the item watcher.

#include "statusitem/TrayHostTint.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace vantora::statusitem;

namespace {

TEST(TrayHostTint, OnlyHostsKnownToTintGetTheSymbolicIcon)
{
    const struct {
        const char *process;
        bool tints;
    } rows[] = {
        {"gnome-shell", true}, {"kded5", true},      {"kded6", true},   {"plasmashell", true}, {"xfce4-panel", true},
        {"waybar", false},     {"lxqt-panel", false}, {"kded", false}, {"gnome-shell-x", false}, {"", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.process);
        EXPECT_EQ(tintsSymbolicIcons(QString::fromLatin1(row.process)), row.tints);
    }
}

// The kernel's name of a process, cut to fifteen characters; none for a process that is not
// there.
TEST(TrayHostTint, ReadsAProcessName)
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName().left(15);
    EXPECT_EQ(processName(uint(getpid())), program);
    EXPECT_EQ(processName(0), QString());
    EXPECT_EQ(processName(0x7ffffffe), QString());
}

} // namespace
