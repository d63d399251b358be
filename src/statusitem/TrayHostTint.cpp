#include "statusitem/TrayHostTint.h"

#include <QFile>

#include <array>

namespace vantora::statusitem {

bool tintsSymbolicIcons(QStringView processName)
{
    // GNOME Shell (its tray extension runs inside it), Plasma (its watcher lives in kded, its
    // tray in plasmashell) and xfce4-panel draw symbolic icons in their text colour.
    static constexpr std::array tinting{u"gnome-shell", u"kded5", u"kded6", u"plasmashell", u"xfce4-panel"};
    for (const char16_t *name : tinting) {
        if (processName == QStringView(name))
            return true;
    }
    return false;
}

QString processName(uint pid)
{
    if (pid == 0)
        return {};
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    // A short line of another process's choosing: only compared with known names.
    return QString::fromUtf8(comm.read(64)).trimmed();
}

} // namespace vantora::statusitem
