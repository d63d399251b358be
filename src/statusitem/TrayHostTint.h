#pragma once

#include <QString>
#include <QStringView>

namespace vantora::statusitem {

// Whether the tray host running as the process named `processName` (as the kernel names it)
// recolours a symbolic icon from the theme to suit its bar. Hosts not known to do so (those
// that draw a named icon as it is, and those not known at all) are better given pixels that
// read on any bar. An empty name is not known.
bool tintsSymbolicIcons(QStringView processName);

// The kernel's short name of the process `pid` of this system; empty when there is none or
// it cannot be read (another process namespace, no /proc).
QString processName(uint pid);

} // namespace vantora::statusitem
